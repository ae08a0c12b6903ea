// A small TagLib program, the way an application reads tags and stream properties: every file
// of a folder through FileRef (default read style), printing what it found.
//
//   taglib_reader FOLDER
#include <taglib/fileref.h>
#include <taglib/tag.h>

#include <dirent.h>
#include <iostream>
#include <string>

namespace {

void Print(const std::string& path) {
    TagLib::FileRef file(path.c_str());
    std::cout << path;
    if (file.isNull()) {
        std::cout << "\tunsupported\n";
        return;
    }
    if (const TagLib::AudioProperties* audio = file.audioProperties())
        std::cout << '\t' << audio->sampleRate() << " Hz\t" << audio->channels() << " ch\t"
                  << audio->bitrate() << " kbps\t" << audio->lengthInMilliseconds() << " ms";
    if (const TagLib::Tag* tag = file.tag())
        std::cout << '\t' << tag->title().to8Bit(true) << '\t' << tag->artist().to8Bit(true) << '\t'
                  << tag->album().to8Bit(true) << '\t' << tag->genre().to8Bit(true) << '\t'
                  << tag->year() << '\t' << tag->comment().to8Bit(true) << '\t' << tag->track();
    std::cout << '\n';
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: taglib_reader FOLDER\n";
        return 2;
    }
    DIR* folder = opendir(argv[1]);
    if (!folder) {
        std::perror(argv[1]);
        return 1;
    }
    while (const dirent* entry = readdir(folder))
        if (entry->d_name[0] != '.')
            Print(std::string(argv[1]) + "/" + entry->d_name);
    closedir(folder);
    return 0;
}
