#include "tests/control/ID3v2WriterTestSupport.h"

#include "platform/CodePage.h"

#include <algorithm>
#include <filesystem>

namespace writertest {

Bytes MpegAudio(size_t frames) {
    constexpr size_t FrameLength = 417; // 144 * 128000 / 44100, no padding
    Bytes audio;
    for (size_t i = 0; i < frames; ++i) {
        const Bytes header{0xFF, 0xFB, 0x90, 0x40};
        audio.insert(audio.end(), header.begin(), header.end());
        for (size_t j = 4; j < FrameLength; ++j)
            audio.push_back(static_cast<uint8_t>((i * 31 + j * 7) % 251));
    }
    return audio;
}

Texts SampleTexts() {
    return {u"Title", u"Artist", u"Album", u"1999", u"Rock", u"A comment", u"3/12"};
}

bool Write(const std::string& path, const Texts& t, bool useUnicode, uint32_t codePage) {
    return control::WriteID3v2Tags(platform::Utf8ToUtf16(path), t.title, t.artist, t.album, t.year,
                                   t.genre, t.comment, t.trackNum, useUnicode, codePage);
}

std::vector<std::string> FolderEntries(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string CopySourceFile(const std::string& relativePath, const std::string& folder) {
    const std::filesystem::path source = std::filesystem::path(SONO_SOURCE_DIR) / relativePath;
    const std::filesystem::path target = std::filesystem::path(folder) / source.filename();
    std::filesystem::copy_file(source, target, std::filesystem::copy_options::overwrite_existing);
    return target.string();
}

static bool StartsWithTag(const Bytes& file) {
    return file.size() >= 10 && file[0] == 'I' && file[1] == 'D' && file[2] == '3';
}

static uint32_t TagBodySize(const Bytes& file) {
    if (!StartsWithTag(file))
        return 0;
    return uint32_t{file[6]} << 21 | uint32_t{file[7]} << 14 | uint32_t{file[8]} << 7 | file[9];
}

std::vector<FrameBytes> Version3Frames(const Bytes& file) {
    const uint32_t size = TagBodySize(file);
    std::vector<FrameBytes> frames;
    if (size == 0 || file.size() < 10 + size)
        return frames;
    // Plain sizes only: a frame size in 7-bit groups would derail the walk and show.
    size_t offset = 10;
    while (offset + 10 <= 10 + size) {
        FrameBytes frame;
        frame.id.assign(file.begin() + offset, file.begin() + offset + 4);
        const uint32_t length = uint32_t{file[offset + 4]} << 24 |
                                uint32_t{file[offset + 5]} << 16 | uint32_t{file[offset + 6]} << 8 |
                                file[offset + 7];
        frame.statusFlags = file[offset + 8];
        frame.formatFlags = file[offset + 9];
        if (offset + 10 + length > 10 + size)
            break;
        frame.data.assign(file.begin() + offset + 10, file.begin() + offset + 10 + length);
        frames.push_back(frame);
        offset += 10 + length;
    }
    return frames;
}

Bytes AfterTag(const Bytes& file) {
    const size_t skip = StartsWithTag(file) ? 10 + TagBodySize(file) : 0;
    return Bytes(file.begin() + static_cast<long>(std::min(skip, file.size())), file.end());
}

} // namespace writertest
