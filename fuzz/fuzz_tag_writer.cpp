// The ID3v2 tag writer on a file whose old content is the fuzzer's. The first input byte picks
// the Unicode or the 8-bit form and the code page. Whatever the old tag holds: a write that
// succeeds keeps every byte after the old tag and reads back with the new texts; a write that
// fails leaves the file as it was; neither leaves a temporary file behind.
#include "FuzzSupport.h"

#include "control/ID3v2TagWriter.h"
#include "control/TagReaders.h"
#include "platform/CodePage.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

constexpr uint32_t CodePages[] = {0, 1252, 1251, 932, 65001};
const std::u16string Title = u"T\u00EFtle \u0416 \u20AC";
const std::u16string Artist = u"Artist";
const std::u16string Album = u"Album \u00E9";

void Expect(bool condition) {
    if (!condition)
        std::abort();
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

uint64_t TagLength(const std::string& content) {
    const auto byte = [&](size_t i) { return uint64_t{static_cast<uint8_t>(content[i]) & 0x7Fu}; };
    return 10 + (byte(6) << 21 | byte(7) << 14 | byte(8) << 7 | byte(9));
}

void CheckWritten(const std::string& path, const std::string& old, bool unicode) {
    const std::string now = ReadAll(path);
    Expect(now.size() >= 10 && now.compare(0, 4, "ID3\x03") == 0);
    const uint64_t tag = TagLength(now);
    Expect(tag <= now.size());
    // Everything behind the new tag is the end of the old file, unchanged.
    const size_t rest = now.size() - static_cast<size_t>(tag);
    Expect(rest <= old.size());
    Expect(now.compare(static_cast<size_t>(tag), rest, old, old.size() - rest, rest) == 0);
    if (!unicode)
        return;
    control::AnalysisRecord record;
    platform::InputFile file;
    Expect(file.Open(path));
    uint64_t id3v2Size = 0;
    control::ReadID3Tags(file, id3v2Size, record);
    Expect(id3v2Size == tag);
    Expect(record.Title == Title && record.Artist == Artist && record.Album == Album);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::SilenceMessageBoxes();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    const bool unicode = (data[0] & 1) != 0;
    const uint32_t codePage = CodePages[(data[0] >> 1) % std::size(CodePages)];
    const std::string old(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::string path = fuzz::ScratchFolder() + "/a.mp3";
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << old;
    }
    const bool written =
        control::WriteID3v2Tags(platform::Utf8ToUtf16(path), Title, Artist, Album, u"2024", u"Rock",
                                u"Nice", u"7", unicode, codePage);
    if (written)
        CheckWritten(path, old, unicode);
    else
        Expect(ReadAll(path) == old);
    // Only the file itself is left in the folder.
    Expect(std::distance(std::filesystem::directory_iterator(fuzz::ScratchFolder()),
                         std::filesystem::directory_iterator()) == 1);
    return 0;
}
