#include "control/AnalysisDriver.h"
#include "platform/CodePage.h"
#include "tests/control/AnalyseForTest.h"
#include "tests/support/TestSupport.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <random>

using testsupport::Bytes;
using testsupport::U8;

namespace {

struct Format {
    const char* ending;
    Bytes magic;
    const char* codec;
};

const Format Formats[] = {
    {".ac3", {0x0B, 0x77}, "AC3 Dolby Digital"},
    {".dts", {0x7F, 0xFE, 0x80, 0x01}, "DTS Dolby Digital"},
    {".flac", {'f', 'L', 'a', 'C'}, "FLAC (Free Lossless Audio Codec)"},
    {".ogg", {'O', 'g', 'g', 'S'}, "OGG Vorbis"},
};

using controltest::Analyse;

// Whatever the bytes, each parser accepts or rejects the file and names its codec; the
// sanitizers watch every read.
void ExpectHandled(const control::AnalysisRecord& record, const Format& format) {
    EXPECT_TRUE(record.Result == 0 || record.Result == 1) << record.Result;
    EXPECT_EQ(format.codec, U8(record.Codec));
    EXPECT_EQ(record.Result == 1, !record.LastError.empty());
}

TEST(ForeignBytes, EverySampleFileUnderEachEnding) {
    testsupport::TempDir dir;
    testsupport::MessageBoxCapture boxes;
    size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(SONO_PEER_SAMPLES)) {
        const std::string name = entry.path().filename().string();
        if (name == "README.md")
            continue;
        ++files;
        for (const Format& format : Formats) {
            SCOPED_TRACE(name + format.ending);
            const std::string link = dir.path() + "/" + name + format.ending;
            std::filesystem::create_symlink(entry.path(), link);
            ExpectHandled(Analyse(link), format);
        }
    }
    EXPECT_GT(files, 50u);
}

// Random bytes behind each format's magic number, of every length around the parsers' limits.
TEST(ForeignBytes, RandomBytesBehindTheMagicNumbers) {
    testsupport::TempDir dir;
    testsupport::MessageBoxCapture boxes;
    std::mt19937 random(20240611);
    std::uniform_int_distribution<int> byte(0, 255);
    for (const Format& format : Formats) {
        for (size_t size = 0; size < 1100; size += 1 + size / 16) {
            SCOPED_TRACE(std::string(format.ending) + " of " + std::to_string(size) + " bytes");
            Bytes bytes(size);
            for (uint8_t& b : bytes)
                b = static_cast<uint8_t>(byte(random));
            std::copy_n(format.magic.begin(), std::min(size, format.magic.size()), bytes.begin());
            ExpectHandled(Analyse(dir.Write(std::string("r") + format.ending, bytes)), format);
        }
    }
}

} // namespace
