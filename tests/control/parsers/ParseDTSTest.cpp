#include "control/AnalysisDriver.h"
#include "platform/CodePage.h"
#include "tests/control/AnalyseForTest.h"
#include "tests/support/TestSupport.h"

#include <algorithm>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <map>
#include <sstream>
#include <unistd.h>
#include <vector>

using testsupport::Bytes;
using testsupport::U8;

namespace {

struct DtsHeader {
    unsigned amode = 9;  // 3/2
    unsigned sfreq = 13; // 48 kHz
    unsigned rate = 15;  // 768 kbps
    unsigned extension = 0;
};

// Sync word and the 7 header bytes: frame type to frame size as a real encoder writes them,
// the five flag bits all set and the extension-present flag clear.
Bytes BuildDts(const DtsHeader& h) {
    Bytes out = {0x7F, 0xFE, 0x80, 0x01};
    const uint64_t header = uint64_t{0xFC3C3FF} << 28 | uint64_t{h.amode} << 22 |
                            uint64_t{h.sfreq} << 18 | uint64_t{h.rate} << 13 | 0x1Fu << 8 |
                            uint64_t{h.extension} << 5;
    testsupport::PutBE(out, header, 7);
    out.resize(64, 0);
    return out;
}

using controltest::Analyse;

class ParseDTSTest : public ::testing::Test {
  protected:
    std::string WriteSized(const std::string& name, const Bytes& bytes, off_t size) {
        std::string path = dir.Write(name, bytes);
        EXPECT_EQ(0, truncate(path.c_str(), size));
        return path;
    }

    testsupport::TempDir dir;
    testsupport::MessageBoxCapture boxes;
};

TEST_F(ParseDTSTest, WorkedExampleOfAHundredMillionBytesAt768kbps) {
    auto record = Analyse(WriteSized("film.dts", BuildDts({}), 100000000));
    EXPECT_EQ(0, record.Result);
    EXPECT_EQ("", U8(record.LastError));
    EXPECT_EQ("film.dts", U8(record.FileName));
    EXPECT_EQ("95.37 Mb ( 100,000,000 bytes )", U8(record.FileSize));
    EXPECT_EQ("DTS Dolby Digital", U8(record.Codec));
    EXPECT_EQ("3/2 (L+C+R+SL+SR)", U8(record.Channels));
    EXPECT_EQ("48 KHz", U8(record.SamplingRate));
    EXPECT_EQ("768 kbps", U8(record.Bitrate));
    EXPECT_EQ("00:17:40.305", U8(record.Length));
    EXPECT_EQ("Channel Extension", U8(record.AdditionalInfo));
    for (const auto* tag : {&record.Title, &record.Artist, &record.Album, &record.Genre,
                            &record.Year, &record.Comment, &record.TrackNum})
        EXPECT_TRUE(tag->empty());
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(ParseDTSTest, HeaderFieldsGiveTheirTexts) {
    struct Case {
        const char* what;
        DtsHeader header;
        off_t size;
        const char* channels;
        const char* samplingRate;
        const char* bitrate;
        const char* length;
        const char* info;
    } cases[] = {
        {"1536 kbps uses 1509.75",
         {.rate = 24},
         1509750,
         "3/2 (L+C+R+SL+SR)",
         "48 KHz",
         "1536 kbps",
         "00:00:08.000",
         "Channel Extension"},
        {"1411 kbps uses 1411 / 1.017",
         {.rate = 22},
         1411000,
         "3/2 (L+C+R+SL+SR)",
         "48 KHz",
         "1411 kbps",
         "00:00:08.136",
         "Channel Extension"},
        {"lowest rate",
         {.rate = 0},
         32000,
         "3/2 (L+C+R+SL+SR)",
         "48 KHz",
         "32 kbps",
         "00:00:08.136",
         "Channel Extension"},
        {"open rate",
         {.rate = 29},
         32000,
         "3/2 (L+C+R+SL+SR)",
         "48 KHz",
         "0 kbps",
         "",
         "Channel Extension"},
        {"lossless rate",
         {.rate = 31},
         32000,
         "3/2 (L+C+R+SL+SR)",
         "48 KHz",
         "0 kbps",
         "",
         "Channel Extension"},
        {"mono at 8 kHz",
         {.amode = 0, .sfreq = 1, .extension = 1},
         754500,
         "1/0 (mono)",
         "8 KHz",
         "768 kbps",
         "00:00:08.000",
         "Reserved"},
        {"stereo at 11025 Hz",
         {.amode = 2, .sfreq = 6, .extension = 2},
         754500,
         "2/0 (L+R stereo)",
         "11025 Hz",
         "768 kbps",
         "00:00:08.000",
         "Frequency Extension"},
        {"last defined arrangement",
         {.amode = 15, .sfreq = 8, .extension = 3},
         754500,
         "3.2/3 (CL+C+CR+L+R+SL+S+SR)",
         "44100 Hz",
         "768 kbps",
         "00:00:08.000",
         "Channel Extension + Frequency Extension"},
        {"user defined arrangement",
         {.amode = 16, .sfreq = 15, .extension = 5},
         754500,
         "user defined",
         "invalid",
         "768 kbps",
         "00:00:08.000",
         ""},
        {"arrangement 40",
         {.amode = 40, .sfreq = 0, .extension = 7},
         754500,
         "user defined",
         "invalid",
         "768 kbps",
         "00:00:08.000",
         ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto record = Analyse(WriteSized("a.dts", BuildDts(c.header), c.size));
        EXPECT_EQ(0, record.Result);
        EXPECT_EQ(c.channels, U8(record.Channels));
        EXPECT_EQ(c.samplingRate, U8(record.SamplingRate));
        EXPECT_EQ(c.bitrate, U8(record.Bitrate));
        EXPECT_EQ(c.length, U8(record.Length));
        EXPECT_EQ(c.info, U8(record.AdditionalInfo));
    }
}

TEST_F(ParseDTSTest, OnlyTheBigEndianCoreSyncAtTheStartIsValid) {
    Bytes frame = BuildDts({});
    Bytes behindRiff = frame;
    behindRiff.insert(behindRiff.begin(), {'R', 'I', 'F', 'F', 0, 0, 0, 0});
    Bytes fourteenBit = frame;
    std::copy_n(Bytes{0x1F, 0xFF, 0xE8, 0x00}.begin(), 4, fourteenBit.begin());
    Bytes littleEndian = frame;
    std::copy_n(Bytes{0xFE, 0x7F, 0x01, 0x80}.begin(), 4, littleEndian.begin());
    struct Case {
        const char* what;
        Bytes bytes;
        bool valid;
    } cases[] = {
        {"empty file", {}, false},
        {"11 bytes", Bytes(frame.begin(), frame.begin() + 11), false},
        {"12 bytes", Bytes(frame.begin(), frame.begin() + 12), true},
        {"14-bit stream", fourteenBit, false},
        {"little-endian stream", littleEndian, false},
        {"behind a RIFF header", behindRiff, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        control::AnalysisRecord record = Analyse(dir.Write("x.dts", c.bytes));
        EXPECT_EQ("DTS Dolby Digital", U8(record.Codec));
        if (c.valid) {
            EXPECT_EQ(0, record.Result);
            EXPECT_EQ("3/2 (L+C+R+SL+SR)", U8(record.Channels));
            continue;
        }
        EXPECT_EQ(1, record.Result);
        EXPECT_EQ("x.dts is non-valid DTS file!", U8(record.LastError));
        EXPECT_EQ("", U8(record.Channels));
        EXPECT_EQ("", U8(record.Bitrate));
    }
    ASSERT_EQ(5u, boxes.shown().size());
    EXPECT_EQ("Error!", U8(boxes.shown()[4].caption));
    EXPECT_EQ("x.dts is non-valid DTS file!", U8(boxes.shown()[4].text));
    EXPECT_EQ(unsigned{platform::MB_ICONEXCLAMATION}, boxes.shown()[4].flags);
}

std::vector<std::string> TabFields(const std::string& line) {
    std::vector<std::string> fields;
    std::istringstream in(line);
    for (std::string field; std::getline(in, field, '\t');)
        fields.push_back(field);
    return fields;
}

// Files made by ffmpeg's encoder (tests/fixtures/dts/make_fixtures.sh) against what ffprobe
// read from them when they were made: sampling rate, channel layout and bitrate. The LFE
// channel of 5.1 is not part of the arrangement text.
TEST(ParseDTSEncoder, RealFilesShowWhatFfprobeReads) {
    struct Row {
        const char* file;
        const char* layout; // as ffprobe names it
        const char* channels;
    } rows[] = {
        {"mono-44100.dts", "mono", "1/0 (mono)"},
        {"stereo-48000.dts", "stereo", "2/0 (L+R stereo)"},
        {"5.1-48000.dts", "5.1(side)", "3/2 (L+C+R+SL+SR)"},
    };
    const std::map<std::string, std::string> rateTexts = {
        {"32000", "32 KHz"}, {"44100", "44100 Hz"}, {"48000", "48 KHz"}};
    const std::string folder = SONO_SOURCE_DIR "/tests/fixtures/dts/";
    std::ifstream probe(folder + "ffprobe.tsv");
    ASSERT_TRUE(probe.good());
    testsupport::MessageBoxCapture boxes;
    size_t checked = 0;
    for (std::string line; std::getline(probe, line);) {
        const std::vector<std::string> f = TabFields(line); // file, rate, channels, layout, bps
        ASSERT_EQ(5u, f.size()) << line;
        SCOPED_TRACE(f[0]);
        const Row* row = std::find_if(std::begin(rows), std::end(rows),
                                      [&](const Row& r) { return f[0] == r.file; });
        ASSERT_NE(std::end(rows), row);
        EXPECT_EQ(row->layout, f[3]);

        auto record = Analyse(folder + f[0]);
        EXPECT_EQ(0, record.Result);
        EXPECT_EQ(rateTexts.at(f[1]), U8(record.SamplingRate));
        EXPECT_EQ(std::to_string(std::stoi(f[4]) / 1000) + " kbps", U8(record.Bitrate));
        EXPECT_EQ(row->channels, U8(record.Channels));
        // The encoder leaves the extension flag clear and the descriptor 0, which is shown.
        EXPECT_EQ("Channel Extension", U8(record.AdditionalInfo));
        EXPECT_FALSE(record.Length.empty());
        ++checked;
    }
    EXPECT_EQ(std::size(rows), checked);
    EXPECT_TRUE(boxes.shown().empty());
}

} // namespace
