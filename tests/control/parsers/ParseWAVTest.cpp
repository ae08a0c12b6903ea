#include "control/AnalysisDriver.h"
#include "control/ModuleState.h"
#include "platform/CodePage.h"
#include "tests/control/AnalyseForTest.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>
#include <unistd.h>

using testsupport::Bytes;
using testsupport::U8;

namespace {

struct WaveHeader {
    std::string riff = "RIFF";
    uint32_t riffSize = 1000;
    std::string wave = "WAVE";
    std::string fmt = "fmt ";
    uint32_t fmtSize = 16;
    uint16_t formatTag = 1;
    uint16_t channels = 2;
    uint32_t sampleRate = 44100;
    uint32_t byteRate = 176400;
    uint16_t blockAlign = 4;
    uint16_t bitsPerSample = 16;
};

Bytes BuildWave(const WaveHeader& h, size_t fmtExtra = 0) {
    Bytes out;
    testsupport::PutText(out, h.riff);
    testsupport::PutLE(out, h.riffSize, 4);
    testsupport::PutText(out, h.wave);
    testsupport::PutText(out, h.fmt);
    testsupport::PutLE(out, h.fmtSize, 4);
    testsupport::PutLE(out, h.formatTag, 2);
    testsupport::PutLE(out, h.channels, 2);
    testsupport::PutLE(out, h.sampleRate, 4);
    testsupport::PutLE(out, h.byteRate, 4);
    testsupport::PutLE(out, h.blockAlign, 2);
    testsupport::PutLE(out, h.bitsPerSample, 2);
    out.resize(out.size() + fmtExtra, 0);
    return out;
}

using controltest::Analyse;

class ParseWAVTest : public ::testing::Test {
  protected:
    testsupport::TempDir dir;
    testsupport::MessageBoxCapture boxes;
};

TEST_F(ParseWAVTest, WorkedExampleOfOneMinuteOfCdAudio) {
    std::string path = dir.Write("a.wav", BuildWave({}));
    ASSERT_EQ(0, truncate(path.c_str(), 10584044));
    auto record = Analyse(path);
    EXPECT_EQ(0, record.Result);
    EXPECT_EQ("a.wav", U8(record.FileName));
    EXPECT_EQ("10.09 Mb ( 10,584,044 bytes )", U8(record.FileSize));
    EXPECT_EQ("00:01:00.000", U8(record.Length));
    EXPECT_EQ("44100 Hz", U8(record.SamplingRate));
    EXPECT_EQ("PCM (Pulse Code Modulation)", U8(record.Codec));
    EXPECT_EQ("2 channels", U8(record.Channels));
    EXPECT_EQ("1411 kbps", U8(record.Bitrate));
    EXPECT_EQ("16 bit/sample", U8(record.AdditionalInfo));
    EXPECT_TRUE(boxes.shown().empty());
}

struct AcceptedCase {
    const char* what;
    WaveHeader header;
    size_t fmtExtra;
    uint64_t fileSize;
    const char* bitrate;
    const char* length;
};

TEST_F(ParseWAVTest, AcceptedHeaders) {
    const AcceptedCase cases[] = {
        {"exactly the header", {}, 0, 36, "1411 kbps", "00:00:00.000"},
        {"riff size larger than the file",
         {.riffSize = 0xFFFFFFFF},
         0,
         36,
         "1411 kbps",
         "00:00:00.000"},
        {"floating point format tag shown like PCM",
         {.formatTag = 3},
         0,
         36,
         "1411 kbps",
         "00:00:00.000"},
        {"six channels 24 bit",
         {.channels = 6, .sampleRate = 48000, .byteRate = 864000, .bitsPerSample = 24},
         0,
         36 + 864000,
         "6912 kbps",
         "00:00:01.000"},
        // The extended fmt forms hold the same first 16 bytes; the header then counts 20 + size.
        {"fmt of 18 bytes", {.fmtSize = 18}, 2, 38 + 176400, "1411 kbps", "00:00:01.000"},
        {"extensible fmt of 40 bytes",
         {.fmtSize = 40},
         24,
         60 + 176400 * 2,
         "1411 kbps",
         "00:00:02.000"},
        {"byte rate zero gives no division", {.byteRate = 0}, 0, 1000, "0 kbps", "00:00:00.000"},
        {"byte rate of 2^29 shows its true bitrate",
         {.byteRate = 536870912},
         0,
         36,
         "4294967 kbps",
         "00:00:00.000"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::string path = dir.Write("x.wav", BuildWave(c.header, c.fmtExtra));
        ASSERT_EQ(0, truncate(path.c_str(), static_cast<off_t>(c.fileSize)));
        auto record = Analyse(path);
        EXPECT_EQ(0, record.Result);
        EXPECT_EQ(c.bitrate, U8(record.Bitrate));
        EXPECT_EQ(c.length, U8(record.Length));
        EXPECT_TRUE(record.LastError.empty());
    }
}

struct RejectedCase {
    const char* what;
    Bytes content;
};

TEST_F(ParseWAVTest, RejectedHeadersReportNonValid) {
    Bytes tooShort = BuildWave({});
    tooShort.resize(35);
    Bytes listFirst = BuildWave({.fmt = "LIST"});
    Bytes smallRiff = BuildWave({.riffSize = 35});
    Bytes notWave = BuildWave({.wave = "AVI "});
    Bytes notRiff = BuildWave({.riff = "RIFX"});
    Bytes oddFmt = BuildWave({.fmtSize = 20});
    Bytes extensibleCut = BuildWave({.fmtSize = 40}); // the header is longer than the file
    const RejectedCase cases[] = {
        {"35 bytes", tooShort},
        {"LIST before fmt", listFirst},
        {"RIFF size 35", smallRiff},
        {"form type not WAVE", notWave},
        {"not RIFF", notRiff},
        {"fmt size 20", oddFmt},
        {"fmt 40 cut short", extensibleCut},
        {"raw samples", Bytes(4000, 0x11)},
        {"empty", Bytes()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::string path = dir.Write("x.pcm", c.content);
        size_t before = boxes.shown().size();
        auto record = Analyse(path);
        EXPECT_EQ(1, record.Result);
        EXPECT_EQ("x.pcm is non-valid PCM/WAVE file!", U8(record.LastError));
        EXPECT_EQ("PCM (Pulse Code Modulation)", U8(record.Codec));
        EXPECT_TRUE(record.SamplingRate.empty());
        EXPECT_TRUE(record.Length.empty());
        ASSERT_EQ(before + 1, boxes.shown().size());
        EXPECT_EQ(u"Error!", boxes.shown().back().caption);
        EXPECT_EQ(platform::MB_ICONEXCLAMATION, boxes.shown().back().flags);
    }
}

TEST_F(ParseWAVTest, EmptyFileIsSizedBeforeItIsRejected) {
    auto record = Analyse(dir.Write("x.wav", Bytes()));
    EXPECT_EQ(1, record.Result);
    EXPECT_EQ("0.00 Mb ( 0 bytes )", U8(record.FileSize));
}

} // namespace

namespace {

// Real files from a peer library's test data; expectations read off their header bytes.
TEST_F(ParseWAVTest, PeerSampleFiles) {
    struct Case {
        const char* name;
        int result;
        const char* sampling;
        const char* bitrate;
        const char* length;
    } cases[] = {
        {"alaw.wav", 0, "8000 Hz", "128 kbps", "00:00:03.551"},    // fmt of 18 bytes
        {"uint8we.wav", 0, "8000 Hz", "128 kbps", "00:00:02.949"}, // extensible fmt
        {"float64.wav", 0, "44100 Hz", "5644 kbps", "00:00:00.097"},
        {"infloop.wav", 0, "11025 Hz", "88 kbps", "00:00:01.291"},
        {"duplicate_tags.wav", 0, "1000 Hz", "32 kbps", "00:00:04.254"},
        {"zero-size-chunk.wav", 1, "", "", ""}, // RIFF size 8
        {"segfault.wav", 1, "", "", ""},        // fmt of 2 bytes
        {"invalid-chunk.wav", 1, "", "", ""},   // "id3 " chunk first
        {"rf64.wav", 1, "", "", ""},            // not RIFF
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto record = Analyse(std::string(SONO_PEER_SAMPLES) + "/" + c.name);
        EXPECT_EQ(c.result, record.Result);
        EXPECT_EQ(c.sampling, U8(record.SamplingRate));
        EXPECT_EQ(c.bitrate, U8(record.Bitrate));
        EXPECT_EQ(c.length, U8(record.Length));
    }
}

} // namespace
