#include "control/AnalysisDriver.h"
#include "platform/CodePage.h"
#include "tests/control/AnalyseForTest.h"
#include "tests/support/TestSupport.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <sstream>
#include <unistd.h>
#include <vector>

using testsupport::Bytes;
using testsupport::U8;

namespace {

// Bits appended most significant first, as the bit stream information stores them.
class BitWriter {
  public:
    void Put(unsigned value, int width) {
        for (int bit = width - 1; bit >= 0; --bit) {
            if (used_ % 8 == 0)
                bytes_.push_back(0);
            bytes_.back() |= static_cast<uint8_t>(((value >> bit) & 1) << (7 - used_ % 8));
            ++used_;
        }
    }
    const Bytes& bytes() const { return bytes_; }

  private:
    Bytes bytes_;
    unsigned used_ = 0;
};

// The bit stream information of the first frame; fields are written only where the syntax has
// them. Skipped fields hold all ones so that a parser that loses its place reads nonsense.
struct Ac3Header {
    uint8_t codeByte = 0x1E; // fscod 0 (48 kHz), frmsizecod 30 (448 kbps)
    unsigned acmod = 7;
    unsigned cmixlev = 0;
    unsigned surmixlev = 1;
    unsigned dsurmod = 0;
    unsigned lfeon = 1;
    bool compre = false;
    bool langcode = false;
    bool audprodie = false;
    unsigned roomtyp = 0;
};

Bytes BuildAc3(const Ac3Header& h) {
    Bytes out = {0x0B, 0x77, 0xFF, 0xFF, h.codeByte};
    BitWriter bits;
    bits.Put(8, 5); // bsid
    bits.Put(7, 3); // bsmod
    bits.Put(h.acmod, 3);
    if ((h.acmod & 1) != 0 && h.acmod != 1)
        bits.Put(h.cmixlev, 2);
    if ((h.acmod & 4) != 0)
        bits.Put(h.surmixlev, 2);
    if (h.acmod == 2)
        bits.Put(h.dsurmod, 2);
    bits.Put(h.lfeon, 1);
    bits.Put(31, 5); // dialnorm
    bits.Put(h.compre, 1);
    if (h.compre)
        bits.Put(0xFF, 8);
    bits.Put(h.langcode, 1);
    if (h.langcode)
        bits.Put(0xFF, 8);
    bits.Put(h.audprodie, 1);
    if (h.audprodie) {
        bits.Put(31, 5); // mixlevel
        bits.Put(h.roomtyp, 2);
    }
    out.insert(out.end(), bits.bytes().begin(), bits.bytes().end());
    out.resize(64, 0);
    return out;
}

using controltest::Analyse;

class ParseAC3Test : public ::testing::Test {
  protected:
    std::string WriteSized(const std::string& name, const Bytes& bytes, off_t size) {
        std::string path = dir.Write(name, bytes);
        EXPECT_EQ(0, truncate(path.c_str(), size));
        return path;
    }

    testsupport::TempDir dir;
    testsupport::MessageBoxCapture boxes;
};

TEST_F(ParseAC3Test, WorkedExampleOfFiveOneAt448kbps) {
    auto record = Analyse(WriteSized("movie.ac3", BuildAc3({}), 10000000));
    EXPECT_EQ(0, record.Result);
    EXPECT_EQ("", U8(record.LastError));
    EXPECT_EQ("movie.ac3", U8(record.FileName));
    EXPECT_EQ("9.54 Mb ( 10,000,000 bytes )", U8(record.FileSize));
    EXPECT_EQ("AC3 Dolby Digital", U8(record.Codec));
    EXPECT_EQ("48 kHz", U8(record.SamplingRate));
    EXPECT_EQ("448 kbps", U8(record.Bitrate));
    EXPECT_EQ("00:02:58.571", U8(record.Length));
    EXPECT_EQ("3/2 (L,C,R,l,r) + LFE ch", U8(record.Channels));
    EXPECT_EQ("Center mix level -3.0 dB", U8(record.AdditionalInfo));
    for (const auto* tag : {&record.Title, &record.Artist, &record.Album, &record.Genre,
                            &record.Year, &record.Comment, &record.TrackNum})
        EXPECT_TRUE(tag->empty());
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(ParseAC3Test, HeaderFieldsGiveTheirTexts) {
    struct Case {
        const char* what;
        Ac3Header header;
        const char* samplingRate;
        const char* bitrate;
        const char* length; // of a 64,000-byte file
        const char* channels;
        const char* info;
    } cases[] = {
        {"44.1 kHz at 32 kbps, lowest bit of frmsizecod dropped",
         {.codeByte = 0x41, .acmod = 2, .lfeon = 0},
         "44.1 kHz",
         "32 kbps",
         "00:00:16.000",
         "2/0 (L,R) ch",
         ""},
        {"fscod 3",
         {.codeByte = 0xC0 | 8},
         "0 kHz",
         "64 kbps",
         "00:00:08.000",
         "3/2 (L,C,R,l,r) + LFE ch",
         "Center mix level -3.0 dB"},
        {"frmsizecod 37 is the last defined rate",
         {.codeByte = 37},
         "48 kHz",
         "640 kbps",
         "00:00:00.800",
         "3/2 (L,C,R,l,r) + LFE ch",
         "Center mix level -3.0 dB"},
        {"frmsizecod 38 has no rate and no length",
         {.codeByte = 38},
         "48 kHz",
         "undefined kbps",
         "",
         "3/2 (L,C,R,l,r) + LFE ch",
         "Center mix level -3.0 dB"},
        {"Dolby Surround stereo",
         {.acmod = 2, .dsurmod = 2, .lfeon = 0},
         "48 kHz",
         "448 kbps",
         "00:00:01.143",
         "2/0 (L,R) Surround Encoded ch",
         ""},
        {"dsurmod 1 is not surround encoded",
         {.acmod = 2, .dsurmod = 1},
         "48 kHz",
         "448 kbps",
         "00:00:01.143",
         "2/0 (L,R) + LFE ch",
         ""},
        {"mono with a small room",
         {.acmod = 1, .lfeon = 0, .audprodie = true, .roomtyp = 2},
         "48 kHz",
         "448 kbps",
         "00:00:01.143",
         "1/0 (C) ch",
         "Small room, flat monitor"},
        {"room type behind compression and language codes",
         {.acmod = 0,
          .lfeon = 0,
          .compre = true,
          .langcode = true,
          .audprodie = true,
          .roomtyp = 1},
         "48 kHz",
         "448 kbps",
         "00:00:01.143",
         "1+1 ch",
         "Large room, X curve monitor"},
        {"no production info, no room",
         {.acmod = 1, .lfeon = 0},
         "48 kHz",
         "448 kbps",
         "00:00:01.143",
         "1/0 (C) ch",
         ""},
        {"2/2 has a surround level only",
         {.acmod = 6, .surmixlev = 2},
         "48 kHz",
         "448 kbps",
         "00:00:01.143",
         "2/2 (L,R,l,r) + LFE ch",
         "Surround mix level 0 dB"},
        {"reserved centre level falls through to surround",
         {.acmod = 5, .cmixlev = 3},
         "48 kHz",
         "448 kbps",
         "00:00:01.143",
         "3/1 (L,C,R,l) + LFE ch",
         "Surround mix level -6.0 dB"},
        {"3/0 centre level",
         {.acmod = 3, .cmixlev = 2, .lfeon = 0},
         "48 kHz",
         "448 kbps",
         "00:00:01.143",
         "3/0 (L,C,R) ch",
         "Center mix level -6.0 dB"},
        {"2/1",
         {.acmod = 4, .surmixlev = 0, .lfeon = 0},
         "48 kHz",
         "448 kbps",
         "00:00:01.143",
         "2/1 (L,R,l) ch",
         "Surround mix level -3.0 dB"},
        {"4.5 dB centre",
         {.acmod = 7, .cmixlev = 1},
         "48 kHz",
         "448 kbps",
         "00:00:01.143",
         "3/2 (L,C,R,l,r) + LFE ch",
         "Center mix level -4.5 dB"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto record = Analyse(WriteSized("a.ac3", BuildAc3(c.header), 64000));
        EXPECT_EQ(0, record.Result);
        EXPECT_EQ(c.samplingRate, U8(record.SamplingRate));
        EXPECT_EQ(c.bitrate, U8(record.Bitrate));
        EXPECT_EQ(c.length, U8(record.Length));
        EXPECT_EQ(c.channels, U8(record.Channels));
        EXPECT_EQ(c.info, U8(record.AdditionalInfo));
    }
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(ParseAC3Test, SyncWordOnlyAtTheStartOfALongEnoughFile) {
    Bytes frame = BuildAc3({});
    Bytes behindRiff = frame;
    behindRiff.insert(behindRiff.begin(), {'R', 'I', 'F', 'F', 0, 0, 0, 0});
    Bytes shifted = frame;
    shifted.insert(shifted.begin(), 0);
    struct Case {
        const char* what;
        Bytes bytes;
        bool valid;
    } cases[] = {
        {"empty file", {}, false},
        {"20 bytes", Bytes(frame.begin(), frame.begin() + 20), false},
        {"21 bytes", Bytes(frame.begin(), frame.begin() + 21), true},
        {"behind a RIFF header", behindRiff, false},
        {"one byte late", shifted, false},
        {"byte-swapped sync word",
         Bytes{0x77, 0x0B, 0, 0, 0x1E, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        control::AnalysisRecord record = Analyse(dir.Write("x.ac3", c.bytes));
        EXPECT_EQ("AC3 Dolby Digital", U8(record.Codec));
        if (c.valid) {
            EXPECT_EQ(0, record.Result);
            EXPECT_EQ("448 kbps", U8(record.Bitrate));
            continue;
        }
        EXPECT_EQ(1, record.Result);
        EXPECT_EQ("x.ac3 is non-valid AC3 file!", U8(record.LastError));
        EXPECT_EQ("", U8(record.SamplingRate));
        EXPECT_EQ("", U8(record.Channels));
    }
    // One box per rejected file, not kept on top.
    ASSERT_EQ(5u, boxes.shown().size());
    EXPECT_EQ("Error!", U8(boxes.shown()[0].caption));
    EXPECT_EQ("x.ac3 is non-valid AC3 file!", U8(boxes.shown()[0].text));
    EXPECT_EQ(unsigned{platform::MB_ICONEXCLAMATION}, boxes.shown()[0].flags);
}

std::vector<std::string> TabFields(const std::string& line) {
    std::vector<std::string> fields;
    std::istringstream in(line);
    for (std::string field; std::getline(in, field, '\t');)
        fields.push_back(field);
    return fields;
}

// Files made by ffmpeg's encoder (tests/fixtures/ac3/make_fixtures.sh) against what ffprobe
// read from them when they were made: sampling rate, channel layout and bitrate.
TEST(ParseAC3Encoder, RealFilesShowWhatFfprobeReads) {
    struct Row {
        const char* file;
        const char* layout; // as ffprobe names it
        const char* channels;
        const char* info; // from the encoder options
    } rows[] = {
        {"mono-32000-small-room.ac3", "mono", "1/0 (C) ch", "Small room, flat monitor"},
        {"stereo-48000-surround.ac3", "stereo", "2/0 (L,R) Surround Encoded ch", ""},
        {"quad-48000.ac3", "quad(side)", "2/2 (L,R,l,r) ch", "Surround mix level -6.0 dB"},
        {"5.1-44100-center.ac3", "5.1(side)", "3/2 (L,C,R,l,r) + LFE ch",
         "Center mix level -4.5 dB"},
    };
    const std::string folder = SONO_SOURCE_DIR "/tests/fixtures/ac3/";
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
        char rate[32];
        std::snprintf(rate, sizeof rate, "%g kHz", std::stod(f[1]) / 1000);

        auto record = Analyse(folder + f[0]);
        EXPECT_EQ(0, record.Result);
        EXPECT_EQ(rate, U8(record.SamplingRate));
        EXPECT_EQ(std::to_string(std::stoi(f[4]) / 1000) + " kbps", U8(record.Bitrate));
        EXPECT_EQ(row->channels, U8(record.Channels));
        EXPECT_EQ(row->info, U8(record.AdditionalInfo));
        EXPECT_FALSE(record.Length.empty());
        ++checked;
    }
    EXPECT_EQ(std::size(rows), checked);
    EXPECT_TRUE(boxes.shown().empty());
}

} // namespace
