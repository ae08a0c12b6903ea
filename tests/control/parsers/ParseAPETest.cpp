#include "control/AnalysisDriver.h"
#include "platform/CodePage.h"
#include "tests/control/AnalyseForTest.h"
#include "tests/control/parsers/TrailingTagBytes.h"
#include "tests/support/TestSupport.h"

#include <cctype>
#include <filesystem>
#include <gtest/gtest.h>
#include <random>
#include <unistd.h>

using testsupport::Bytes;
using testsupport::PutLE;
using testsupport::U8;

namespace {

constexpr unsigned BoxFlags = platform::MB_OK | platform::MB_ICONEXCLAMATION;

// Header fields of both layouts; each builder writes the ones its layout holds.
struct ApeHeader {
    std::string id = "MAC ";
    uint16_t version = 3990;
    uint16_t level = 2000;
    uint16_t formatFlags = 0;
    uint32_t blocksPerFrame = 294912;
    uint32_t finalFrameBlocks = 253872;
    uint32_t totalFrames = 45;
    uint16_t bitsPerSample = 16;
    uint16_t channels = 2;
    uint32_t sampleRate = 44100;
};

// Descriptor (52 bytes, mostly irrelevant here) and header, padded to the given size.
Bytes NewLayout(const ApeHeader& h, size_t size = 200) {
    Bytes out;
    testsupport::PutText(out, h.id);
    PutLE(out, h.version, 2);
    PutLE(out, 0, 2);
    PutLE(out, 52, 4); // descriptor length
    PutLE(out, 24, 4); // header length
    out.resize(52, 0x5A);
    PutLE(out, h.level, 2);
    PutLE(out, h.formatFlags, 2);
    PutLE(out, h.blocksPerFrame, 4);
    PutLE(out, h.finalFrameBlocks, 4);
    PutLE(out, h.totalFrames, 4);
    PutLE(out, h.bitsPerSample, 2);
    PutLE(out, h.channels, 2);
    PutLE(out, h.sampleRate, 4);
    out.resize(std::max(size, out.size()), 0);
    return out;
}

// The header of versions before the descriptor: straight on from the version.
Bytes OldLayout(const ApeHeader& h, size_t size = 200) {
    Bytes out;
    testsupport::PutText(out, h.id);
    PutLE(out, h.version, 2);
    PutLE(out, h.level, 2);
    PutLE(out, h.formatFlags, 2);
    PutLE(out, h.channels, 2);
    PutLE(out, h.sampleRate, 4);
    PutLE(out, 44, 4); // header length
    PutLE(out, 0, 4);  // terminating length
    PutLE(out, h.totalFrames, 4);
    PutLE(out, h.finalFrameBlocks, 4);
    out.resize(std::max(size, out.size()), 0);
    return out;
}

Bytes Concat(Bytes first, const Bytes& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

using controltest::Analyse;

class ParseAPETest : public ::testing::Test {
  protected:
    testsupport::TempDir dir;
    testsupport::MessageBoxCapture boxes;
};

TEST_F(ParseAPETest, WorkedExampleOfFiveMinutesAtNormalCompression) {
    std::string path = dir.Write("a.ape", NewLayout({}));
    ASSERT_EQ(0, truncate(path.c_str(), 25000000));
    auto record = Analyse(path);
    EXPECT_EQ(0, record.Result);
    EXPECT_EQ("", U8(record.LastError));
    EXPECT_EQ("23.84 Mb ( 25,000,000 bytes )", U8(record.FileSize));
    EXPECT_EQ(u"Monkey\u2019s Audio ver 3.99", record.Codec);
    EXPECT_EQ("16 bit/sample (normal compression)", U8(record.AdditionalInfo));
    EXPECT_EQ("00:05:00.000", U8(record.Length));
    EXPECT_EQ("44100 Hz", U8(record.SamplingRate));
    EXPECT_EQ("2 channels", U8(record.Channels));
    EXPECT_EQ("666 kbps", U8(record.Bitrate));
    EXPECT_EQ("", U8(record.Title));
    EXPECT_TRUE(boxes.shown().empty());
}

struct OldHeaderCase {
    uint16_t version;
    uint16_t level;
    uint16_t formatFlags;
    const char* codec;
    const char* info;
    const char* length;
};

// Two frames with an empty final frame: the length is one frame, 294,912, 73,728 or 9,216 blocks.
TEST_F(ParseAPETest, OldHeadersDeriveFrameSizeAndSampleWidth) {
    const OldHeaderCase cases[] = {
        {3970, 1000, 0, "3.97", "16 bit/sample (fast compression)", "00:00:06.687"},
        {3950, 2000, 0, "3.95", "16 bit/sample (normal compression)", "00:00:06.687"},
        {3920, 1000, 8, "3.92", "24 bit/sample (fast compression)", "00:00:01.672"},
        {3900, 5000, 1, "3.90", "8 bit/sample (insane compression)", "00:00:01.672"},
        {3850, 4000, 9, "3.85", "8 bit/sample (extra-high compression)", "00:00:01.672"},
        {3850, 3000, 0, "3.85", "16 bit/sample (high compression)", "00:00:00.209"},
        {3800, 4000, 0, "3.80", "16 bit/sample (extra-high compression)", "00:00:01.672"},
        {3790, 4000, 0, "3.79", "16 bit/sample (extra-high compression)", "00:00:00.209"},
        {3979, 0, 0x16, "3.97", "16 bit/sample ( compression)", "00:00:06.687"},
        {150, 1000, 0, "0.15", "16 bit/sample (fast compression)", "00:00:00.209"},
    };
    for (const OldHeaderCase& c : cases) {
        SCOPED_TRACE(c.version);
        ApeHeader header;
        header.version = c.version;
        header.level = c.level;
        header.formatFlags = c.formatFlags;
        header.totalFrames = 2;
        header.finalFrameBlocks = 0;
        auto record = Analyse(dir.Write("old.ape", OldLayout(header)));
        EXPECT_EQ(0, record.Result);
        EXPECT_EQ("Monkey\u2019s Audio ver " + std::string(c.codec), U8(record.Codec));
        EXPECT_EQ(c.info, U8(record.AdditionalInfo));
        EXPECT_EQ(c.length, U8(record.Length));
        EXPECT_EQ("2 channels", U8(record.Channels));
        EXPECT_EQ("44100 Hz", U8(record.SamplingRate));
    }
}

TEST_F(ParseAPETest, CompressionLevelTexts) {
    const std::pair<uint16_t, const char*> cases[] = {
        {0, ""},          {999, ""},      {1000, "fast"},       {1999, "fast"},
        {2000, "normal"}, {3000, "high"}, {4000, "extra-high"}, {5000, "insane"},
        {5999, "insane"}, {6000, ""},     {65535, ""},
    };
    for (const auto& [level, text] : cases) {
        SCOPED_TRACE(level);
        ApeHeader header;
        header.level = level;
        auto record = Analyse(dir.Write("level.ape", NewLayout(header)));
        EXPECT_EQ("16 bit/sample (" + std::string(text) + " compression)",
                  U8(record.AdditionalInfo));
    }
}

// From version 3980 on, the header sits behind the descriptor, whatever lies at offset 6.
TEST_F(ParseAPETest, DescriptorVersionsReadTheHeaderAtOffset52) {
    ApeHeader header;
    header.version = 3980;
    header.totalFrames = 1;
    header.finalFrameBlocks = 48000;
    header.sampleRate = 48000;
    header.bitsPerSample = 24;
    header.channels = 6;
    Bytes bytes = NewLayout(header, 1000);
    for (size_t i = 6; i < 52; ++i)
        bytes[i] = 0x11;
    auto record = Analyse(dir.Write("new.ape", bytes));
    EXPECT_EQ(0, record.Result);
    EXPECT_EQ("Monkey\u2019s Audio ver 3.98", U8(record.Codec));
    EXPECT_EQ("24 bit/sample (normal compression)", U8(record.AdditionalInfo));
    EXPECT_EQ("00:00:01.000", U8(record.Length));
    EXPECT_EQ("48000 Hz", U8(record.SamplingRate));
    EXPECT_EQ("6 channels", U8(record.Channels));
    EXPECT_EQ("8 kbps", U8(record.Bitrate));
}

// Counts whose 32-bit product or printed form would wrap are taken at their full value.
TEST_F(ParseAPETest, BlockCountsAndRatesDoNotWrap) {
    ApeHeader wide;
    wide.totalFrames = 65537;
    wide.blocksPerFrame = 65536;
    wide.finalFrameBlocks = 0;
    wide.sampleRate = 65536;
    auto product = Analyse(dir.Write("wide.ape", NewLayout(wide)));
    EXPECT_EQ(0, product.Result);
    EXPECT_EQ("18:12:16.000", U8(product.Length));
    EXPECT_EQ("0 kbps", U8(product.Bitrate));

    ApeHeader fast;
    fast.totalFrames = 1;
    fast.finalFrameBlocks = 1;
    fast.sampleRate = 0x80000000u;
    std::string path = dir.Write("fast.ape", NewLayout(fast));
    ASSERT_EQ(0, truncate(path.c_str(), off_t{1} << 32));
    auto rate = Analyse(path);
    EXPECT_EQ(0, rate.Result);
    EXPECT_EQ("2147483648 Hz", U8(rate.SamplingRate));
    EXPECT_EQ("00:00:00.000", U8(rate.Length));
    EXPECT_EQ("73786976294838208 kbps", U8(rate.Bitrate));

    ApeHeader largest;
    largest.totalFrames = 0xFFFFFFFF;
    largest.blocksPerFrame = 0xFFFFFFFF;
    largest.finalFrameBlocks = 0xFFFFFFFF;
    largest.sampleRate = 0xFFFFFFFF;
    auto extreme = Analyse(dir.Write("largest.ape", NewLayout(largest)));
    EXPECT_EQ(0, extreme.Result);
    EXPECT_EQ("1193046:28:15.000", U8(extreme.Length));
}

struct NonValidCase {
    const char* what;
    Bytes content;
    const char16_t* codec;
};

TEST_F(ParseAPETest, NonValidFilesAreReported) {
    auto with = [](auto change) {
        ApeHeader header;
        change(header);
        return header;
    };
    const ApeHeader valid;
    const Bytes valid80 = NewLayout(valid, 80);
    const NonValidCase cases[] = {
        {"empty", {}, u"Monkey\u2019s Audio (APE)"},
        {"80 bytes are too short", Bytes(valid80.begin(), valid80.begin() + 80),
         u"Monkey\u2019s Audio (APE)"},
        {"another identifier", NewLayout(with([](ApeHeader& h) { h.id = "mac "; })),
         u"Monkey\u2019s Audio (APE)"},
        {"an ID3v2 tag first", Concat(Bytes{'I', 'D', '3', 3, 0, 0, 0, 0, 0, 0}, NewLayout(valid)),
         u"Monkey\u2019s Audio (APE)"},
        {"no frames", NewLayout(with([](ApeHeader& h) { h.totalFrames = 0; })),
         u"Monkey\u2019s Audio ver 3.99"},
        {"no frames, old header", OldLayout(with([](ApeHeader& h) {
             h.version = 3970;
             h.totalFrames = 0;
         })),
         u"Monkey\u2019s Audio ver 3.97"},
        {"one empty frame", NewLayout(with([](ApeHeader& h) {
             h.totalFrames = 1;
             h.finalFrameBlocks = 0;
         })),
         u"Monkey\u2019s Audio ver 3.99"},
        {"empty frames", NewLayout(with([](ApeHeader& h) {
             h.blocksPerFrame = 0;
             h.finalFrameBlocks = 0;
         })),
         u"Monkey\u2019s Audio ver 3.99"},
        {"no sample rate", NewLayout(with([](ApeHeader& h) { h.sampleRate = 0; })),
         u"Monkey\u2019s Audio ver 3.99"},
        {"no channels", OldLayout(with([](ApeHeader& h) {
             h.version = 3960;
             h.channels = 0;
         })),
         u"Monkey\u2019s Audio ver 3.96"},
        {"no bits per sample", NewLayout(with([](ApeHeader& h) {
             h.version = 4000;
             h.bitsPerSample = 0;
         })),
         u"Monkey\u2019s Audio ver 4.00"},
    };
    for (const NonValidCase& c : cases) {
        SCOPED_TRACE(c.what);
        testsupport::MessageBoxCapture capture;
        auto record = Analyse(dir.Write("bad.ape", c.content));
        EXPECT_EQ(1, record.Result);
        EXPECT_EQ("bad.ape is non-valid APE file!", U8(record.LastError));
        EXPECT_EQ(c.codec, record.Codec);
        EXPECT_EQ("", U8(record.Length));
        EXPECT_EQ("", U8(record.Bitrate));
        ASSERT_EQ(1u, capture.shown().size());
        EXPECT_EQ(u"Error!", capture.shown()[0].caption);
        EXPECT_EQ(record.LastError, capture.shown()[0].text);
        EXPECT_EQ(BoxFlags, capture.shown()[0].flags);
    }
}

TEST_F(ParseAPETest, TagIsReadBeforeTheStreamIsLookedAt) {
    const Bytes tag =
        testsupport::ApeTag({{"TITLE", "Song"}, {"Artist", "Band"}, {"Year", "2004"}});
    auto good = Analyse(dir.Write("good.ape", Concat(NewLayout({}, 5000), tag)));
    EXPECT_EQ(0, good.Result);
    EXPECT_EQ("Song", U8(good.Title));
    EXPECT_EQ("Band", U8(good.Artist));
    EXPECT_EQ("2004", U8(good.Year));
    EXPECT_EQ("00:05:00.000", U8(good.Length));

    ApeHeader broken;
    broken.sampleRate = 0;
    auto bad = Analyse(dir.Write("bad.ape", Concat(NewLayout(broken, 5000), tag)));
    EXPECT_EQ(1, bad.Result);
    EXPECT_EQ("Song", U8(bad.Title));
    EXPECT_EQ("Band", U8(bad.Artist));
}

// Too short for the tag reader's look at the last 128 or 1152 bytes: no tag, and no abort.
TEST_F(ParseAPETest, ShortFilesAreAnalysedWithoutTags) {
    for (size_t size : {81, 100, 127, 128, 500}) {
        SCOPED_TRACE(size);
        auto record = Analyse(dir.Write("short.ape", NewLayout({}, size)));
        EXPECT_EQ(0, record.Result);
        EXPECT_EQ("00:05:00.000", U8(record.Length));
        EXPECT_EQ("", U8(record.Title));
    }
    auto tiny = Analyse(dir.Write("tiny.ape", Bytes{'M', 'A', 'C', ' '}));
    EXPECT_EQ(1, tiny.Result);
    EXPECT_EQ(u"Monkey\u2019s Audio (APE)", tiny.Codec);
}

struct PeerRow {
    const char* file;
    int result;
    const char* codec;
    const char* info;
    const char* length;
    const char* rate;
    const char* channels;
    const char* bitrate;
};

// Expected texts worked out from each file's bytes. longloop.ape holds garbage in its header
// fields, which are shown as they stand; zerodiv.ape gives a sample rate of 0; the ID3v2 tag of
// mac-399-id3v2.ape hides the identifier, which must open the file.
TEST(ParseAPEPeerSamples, EveryFileIsAnalysedAsItsBytesSay) {
    const std::string folder = SONO_PEER_SAMPLES "/";
    if (!std::filesystem::exists(folder + "mac-399.ape"))
        GTEST_SKIP() << "peer samples not present";
    const PeerRow rows[] = {
        {"mac-399.ape", 0, "3.99", "16 bit/sample (high compression)", "00:00:03.550", "44100 Hz",
         "2 channels", "192 kbps"},
        {"mac-399-tagged.ape", 0, "3.99", "16 bit/sample (high compression)", "00:00:03.550",
         "44100 Hz", "2 channels", "206 kbps"},
        {"mac-396.ape", 0, "3.96", "16 bit/sample (normal compression)", "00:00:03.685", "44100 Hz",
         "2 channels", "0 kbps"},
        {"mac-390-hdr.ape", 0, "3.90", "16 bit/sample (extra-high compression)", "00:00:15.630",
         "44100 Hz", "2 channels", "0 kbps"},
        {"longloop.ape", 0, "3.99", "1248 bit/sample ( compression)", "507116:55:15.578",
         "2734688001 Hz", "50688 channels", "0 kbps"},
        {"zerodiv.ape", 1, "0.15", "", "", "", "", ""},
        {"mac-399-id3v2.ape", 1, nullptr, "", "", "", "", ""},
    };
    testsupport::MessageBoxCapture boxes;
    for (const PeerRow& row : rows) {
        SCOPED_TRACE(row.file);
        auto record = Analyse(folder + row.file);
        EXPECT_EQ(row.result, record.Result);
        EXPECT_EQ(row.codec ? "Monkey\u2019s Audio ver " + std::string(row.codec)
                            : "Monkey\u2019s Audio (APE)",
                  U8(record.Codec));
        EXPECT_EQ(row.info, U8(record.AdditionalInfo));
        EXPECT_EQ(row.length, U8(record.Length));
        EXPECT_EQ(row.rate, U8(record.SamplingRate));
        EXPECT_EQ(row.channels, U8(record.Channels));
        EXPECT_EQ(row.bitrate, U8(record.Bitrate));
        EXPECT_EQ(row.result ? std::string(row.file) + " is non-valid APE file!" : "",
                  U8(record.LastError));
    }
}

// Whatever the bytes: accepted or rejected with a message, and no stream text holds a negative
// figure, "inf" or "nan".
void ExpectHandled(const control::AnalysisRecord& record) {
    EXPECT_TRUE(record.Result == 0 || record.Result == 1) << record.Result;
    EXPECT_EQ(record.Result == 1, !record.LastError.empty());
    EXPECT_EQ(0u, record.Codec.rfind(u"Monkey\u2019s Audio ", 0)) << U8(record.Codec);
    for (const std::u16string* field : {&record.Channels, &record.AdditionalInfo,
                                        &record.SamplingRate, &record.Length, &record.Bitrate}) {
        const std::string text = U8(*field);
        for (size_t at = text.find('-'); at != std::string::npos; at = text.find('-', at + 1))
            EXPECT_FALSE(at + 1 < text.size() &&
                         std::isdigit(static_cast<unsigned char>(text[at + 1])))
                << text;
        EXPECT_EQ(std::string::npos, text.find("inf")) << text;
        EXPECT_EQ(std::string::npos, text.find("nan")) << text;
    }
}

TEST(ParseAPEForeignBytes, EverySampleFileAsMonkeysAudio) {
    testsupport::TempDir dir;
    testsupport::MessageBoxCapture boxes;
    for (const auto& entry : std::filesystem::directory_iterator(SONO_PEER_SAMPLES)) {
        const std::string name = entry.path().filename().string();
        SCOPED_TRACE(name);
        const std::string link = dir.path() + "/" + name + ".ape";
        std::filesystem::create_symlink(entry.path(), link);
        ExpectHandled(Analyse(link));
    }
}

// Random headers of both layouts behind the identifier, around the 80-byte limit and beyond.
TEST(ParseAPEForeignBytes, RandomBytesBehindTheIdentifier) {
    testsupport::TempDir dir;
    testsupport::MessageBoxCapture boxes;
    std::mt19937 random(3990);
    std::uniform_int_distribution<int> byte(0, 255);
    for (size_t size = 0; size < 1300; size += 1 + size / 16) {
        for (uint16_t version : {uint16_t{3950}, uint16_t{3990}, uint16_t{0}}) {
            SCOPED_TRACE(std::to_string(size) + " bytes, version " + std::to_string(version));
            Bytes bytes(size);
            for (uint8_t& b : bytes)
                b = static_cast<uint8_t>(byte(random));
            std::copy_n("MAC ", std::min<size_t>(size, 4), bytes.begin());
            if (size >= 6 && version != 0) {
                bytes[4] = static_cast<uint8_t>(version);
                bytes[5] = static_cast<uint8_t>(version >> 8);
            }
            ExpectHandled(Analyse(dir.Write("r.ape", bytes)));
        }
    }
}

} // namespace
