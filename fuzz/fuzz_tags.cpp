// The tag readers: ReadID3Tags and ReadAPETag on the same bytes, and DecodeTagText on them.
// The first input byte picks the code page for 8-bit tag text.
#include "FuzzSupport.h"

#include "control/DecodeTagText.h"
#include "control/TagReaders.h"

#include <iterator>
#include <string_view>

namespace {

// The locale's code page, single-byte and multi-byte ones, UTF-8, and numbers that are no
// code page at all.
constexpr uint32_t CodePages[] = {0, 1252, 1251, 932, 936, 65001, 1200, 54321};

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::SilenceMessageBoxes();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    const uint32_t codePage = CodePages[data[0] % std::size(CodePages)];
    ++data;
    --size;

    control::AnalysisRecord record;
    record.CodePage = codePage;
    platform::InputFile file;
    fuzz::OpenMemoryFile(file, data, size, "tags");
    fuzz::RunAllowingFileErrors([&] {
        uint64_t id3v2Size = 0;
        control::ReadID3Tags(file, id3v2Size, record);
    });
    fuzz::RunAllowingFileErrors([&] { control::ReadAPETag(file, record); });
    fuzz::RunAllowingFileErrors([&] {
        control::DecodeTagText(std::string_view(reinterpret_cast<const char*>(data), size),
                               codePage);
    });
    return 0;
}
