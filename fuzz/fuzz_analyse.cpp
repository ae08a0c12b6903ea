// The analysis driver over every parser. The first input byte picks the file name (and so the
// parser) and whether the bytes are served from memory or from a real file; the rest is the
// file's content.
#include "FuzzSupport.h"

#include "control/AnalysisDriver.h"
#include "control/parsers/Parsers.h"
#include "platform/CodePage.h"

#include <cstdlib>
#include <fstream>
#include <iterator>

namespace {

// The nine extensions the driver knows, and a disc image for the WavPack search.
constexpr const char* Names[] = {"a.ac3", "a.mp3", "a.dts", "a.ogg", "a.flac",
                                 "a.wav", "a.pcm", "a.ape", "a.wv",  "a.iso.wv"};
constexpr uint8_t OnDiskFlag = 0x80;

void Expect(bool condition) {
    if (!condition)
        std::abort();
}

// Every parser either accepts (0, no error text) or rejects (1, with its message).
void CheckOutcome(const control::AnalysisRecord& record, int result) {
    Expect(result == 0 || result == 1);
    Expect((result == 1) == !record.LastError.empty());
}

// The driver's steps around an InputFile that serves the bytes from memory.
void AnalyseInMemory(const std::string& name, const uint8_t* data, size_t size) {
    control::AnalysisRecord record;
    record.FileName = platform::Utf8ToUtf16(name);
    platform::InputFile file;
    fuzz::OpenMemoryFile(file, data, size, name);
    record.FileSize = control::FormatFileSize(file.GetLength());
    const control::ParserFunction parser = control::SelectParser(record.FileName);
    Expect(parser != nullptr);
    fuzz::RunAllowingFileErrors([&] {
        const int result = parser(record, file, record.FileName);
        CheckOutcome(record, result);
        for (std::u16string* field : {&record.Title, &record.Artist, &record.Album, &record.Genre,
                                      &record.Year, &record.Comment, &record.TrackNum})
            *field = control::TrimWhiteSpace(*field);
    });
}

// The whole driver on a real file: the buffered reads of a file descriptor, not of memory.
void AnalyseOnDisk(const std::string& name, const uint8_t* data, size_t size) {
    const std::string path = fuzz::ScratchFolder() + "/" + name;
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    control::AnalysisRecord record;
    record.FilePath = platform::Utf8ToUtf16(path);
    fuzz::RunAllowingFileErrors([&] { CheckOutcome(record, control::AnalyseFile(record)); });
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::SilenceMessageBoxes();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    const std::string name = Names[(data[0] & ~OnDiskFlag) % std::size(Names)];
    if (data[0] & OnDiskFlag)
        AnalyseOnDisk(name, data + 1, size - 1);
    else
        AnalyseInMemory(name, data + 1, size - 1);
    return 0;
}
