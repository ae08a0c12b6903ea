#include "control/AnalysisDriver.h"
#include "platform/CodePage.h"
#include "tests/control/AnalyseForTest.h"
#include "tests/support/TestSupport.h"

#include <algorithm>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <sstream>
#include <vector>

using testsupport::Bytes;
using testsupport::PutLE;
using testsupport::U8;

namespace {

constexpr uint32_t Unset = 0xFFFFFFFF; // what encoders store for a bound they do not set

struct Identification {
    uint32_t version = 0;
    uint8_t channels = 2;
    uint32_t sampleRate = 44100;
    uint32_t maximum = 128000;
    uint32_t nominal = 128000;
    uint32_t minimum = 128000;
};

void PutIdentification(Bytes& out, const Identification& id) {
    testsupport::PutText(out, "vorbis");
    PutLE(out, id.version, 4);
    PutLE(out, id.channels, 1);
    PutLE(out, id.sampleRate, 4);
    PutLE(out, id.maximum, 4);
    PutLE(out, id.nominal, 4);
    PutLE(out, id.minimum, 4);
    out.push_back(0xB8); // block sizes
    out.push_back(0x01); // framing flag
}

// A first page as an encoder writes it: 27-byte page header, one lacing value, the packet type
// and the identification header at offset 29, then zeros up to the given size.
Bytes BuildOgg(const Identification& id, size_t size = 400) {
    Bytes out;
    testsupport::PutText(out, "OggS");
    out.push_back(0);    // stream structure version
    out.push_back(0x02); // beginning of stream
    PutLE(out, 0, 8);    // granule position
    PutLE(out, 0x1234, 4);
    PutLE(out, 0, 4);          // page sequence
    PutLE(out, 0xDEADBEEF, 4); // checksum, never looked at
    out.push_back(1);          // one segment
    out.push_back(30);         // of 30 bytes
    out.push_back(0x01);       // identification packet
    PutIdentification(out, id);
    out.resize(size, 0);
    return out;
}

// "OggS", zeros, and the identification header's signature at the given offset.
Bytes SignatureAt(size_t offset, size_t size) {
    Bytes out;
    testsupport::PutText(out, "OggS");
    out.resize(offset, 0);
    PutIdentification(out, {});
    out.resize(size, 0);
    return out;
}

using controltest::Analyse;

class ParseOGGTest : public ::testing::Test {
  protected:
    testsupport::TempDir dir;
    testsupport::MessageBoxCapture boxes;
};

TEST_F(ParseOGGTest, StandardFileShowsRateChannelsAndNoLength) {
    auto record = Analyse(dir.Write("song.ogg", BuildOgg({})));
    EXPECT_EQ(0, record.Result);
    EXPECT_EQ("", U8(record.LastError));
    EXPECT_EQ("song.ogg", U8(record.FileName));
    EXPECT_EQ("0.00 Mb ( 400 bytes )", U8(record.FileSize));
    EXPECT_EQ("OGG Vorbis", U8(record.Codec));
    EXPECT_EQ("128 kbps", U8(record.Bitrate));
    EXPECT_EQ("44100 Hz", U8(record.SamplingRate));
    EXPECT_EQ("2 channels", U8(record.Channels));
    EXPECT_EQ("", U8(record.Length));
    EXPECT_EQ("", U8(record.AdditionalInfo));
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(ParseOGGTest, BitrateLabelFromTheBounds) {
    struct Case {
        uint32_t maximum, nominal, minimum;
        const char* bitrate;
    } cases[] = {
        {192000, 128000, 64000, "128 kbps (VBR)"},
        {130000, 128000, 126000, "128 kbps (ABR)"},
        {Unset, 160000, Unset, "160 kbps"},
        {Unset, 112000, 0, "112 kbps (VBR)"},
        {0, 112000, 0, "112 kbps"},
        {192000, 0, 64000, "0 kbps"},
        // Each bound must lie more than ten per cent away for VBR.
        {140800, 128000, 64000, "128 kbps (ABR)"},
        {192000, 128000, 115200, "128 kbps (ABR)"},
        {140801, 128000, 115199, "128 kbps (VBR)"},
        {Unset, Unset, 0, "4294967 kbps (ABR)"},
        {0, 127999, 0, "127 kbps"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bitrate);
        Identification id;
        id.maximum = c.maximum;
        id.nominal = c.nominal;
        id.minimum = c.minimum;
        auto record = Analyse(dir.Write("a.ogg", BuildOgg(id)));
        EXPECT_EQ(0, record.Result);
        EXPECT_EQ(c.bitrate, U8(record.Bitrate));
    }
}

TEST_F(ParseOGGTest, OtherHeaderValuesAreShownAsStored) {
    Identification mono;
    mono.channels = 1;
    mono.sampleRate = 8000;
    auto record = Analyse(dir.Write("mono.ogg", BuildOgg(mono)));
    EXPECT_EQ("8000 Hz", U8(record.SamplingRate));
    EXPECT_EQ("1 channels", U8(record.Channels));

    Identification odd;
    odd.channels = 255;
    odd.sampleRate = 0;
    record = Analyse(dir.Write("odd.ogg", BuildOgg(odd)));
    EXPECT_EQ(0, record.Result);
    EXPECT_EQ("0 Hz", U8(record.SamplingRate));
    EXPECT_EQ("255 channels", U8(record.Channels));
}

TEST_F(ParseOGGTest, NonValidFiles) {
    Bytes riff = BuildOgg({});
    std::copy_n("RIFF", 4, riff.begin());
    Identification versionOne;
    versionOne.version = 1;
    Bytes opus;
    testsupport::PutText(opus, "OggS");
    opus.resize(28, 0);
    testsupport::PutText(opus, "OpusHead");
    opus.resize(1200, 0);
    Bytes shortAndBare;
    testsupport::PutText(shortAndBare, "OggS");
    shortAndBare.resize(200, 0);
    // The identification header ends 29 bytes after its signature's offset.
    struct Case {
        const char* what;
        Bytes bytes;
        bool valid;
    } cases[] = {
        {"150 bytes", BuildOgg({}, 150), false},
        {"151 bytes", BuildOgg({}, 151), true},
        {"no capture pattern", riff, false},
        {"another codec", opus, false},
        {"version 1", BuildOgg(versionOne), false},
        {"signature at 999", SignatureAt(999, 1028), true},
        {"signature at 1000", SignatureAt(1000, 1100), false},
        {"file ends inside the header", SignatureAt(999, 1027), false},
        {"file ends inside the signature search", shortAndBare, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto record = Analyse(dir.Write("x.ogg", c.bytes));
        EXPECT_EQ("OGG Vorbis", U8(record.Codec));
        if (c.valid) {
            EXPECT_EQ(0, record.Result);
            EXPECT_EQ("128 kbps", U8(record.Bitrate));
            continue;
        }
        EXPECT_EQ(1, record.Result);
        EXPECT_EQ("x.ogg is non-valid OGG file!", U8(record.LastError));
        EXPECT_EQ("", U8(record.Bitrate));
        EXPECT_EQ("", U8(record.SamplingRate));
        EXPECT_EQ("", U8(record.Channels));
    }
    ASSERT_EQ(7u, boxes.shown().size());
    EXPECT_EQ("Error!", U8(boxes.shown()[0].caption));
    EXPECT_EQ(unsigned{platform::MB_ICONEXCLAMATION}, boxes.shown()[0].flags);
}

std::vector<std::string> TabFields(const std::string& line) {
    std::vector<std::string> fields;
    std::istringstream in(line);
    for (std::string field; std::getline(in, field, '\t');)
        fields.push_back(field);
    return fields;
}

// Files made by oggenc (tests/fixtures/ogg/make_fixtures.sh) against what ffprobe read from
// them when they were made: sampling rate, channels and nominal bitrate.
TEST(ParseOGGEncoder, RealFilesShowWhatFfprobeReads) {
    struct Row {
        const char* file;
        const char* label; // from the encoder's bitrate management
    } rows[] = {
        {"quality-44100.ogg", ""},
        {"mono-22050.ogg", ""},
        {"managed-48000.ogg", " (VBR)"},
    };
    const std::string folder = SONO_SOURCE_DIR "/tests/fixtures/ogg/";
    std::ifstream probe(folder + "ffprobe.tsv");
    ASSERT_TRUE(probe.good());
    testsupport::MessageBoxCapture boxes;
    size_t checked = 0;
    for (std::string line; std::getline(probe, line);) {
        const std::vector<std::string> f = TabFields(line); // file, rate, channels, bitrate
        ASSERT_EQ(4u, f.size()) << line;
        SCOPED_TRACE(f[0]);
        const Row* row = std::find_if(std::begin(rows), std::end(rows),
                                      [&](const Row& r) { return f[0] == r.file; });
        ASSERT_NE(std::end(rows), row);

        auto record = Analyse(folder + f[0]);
        EXPECT_EQ(0, record.Result);
        EXPECT_EQ(f[1] + " Hz", U8(record.SamplingRate));
        EXPECT_EQ(f[2] + " channels", U8(record.Channels));
        EXPECT_EQ(std::to_string(std::stoi(f[3]) / 1000) + " kbps" + row->label,
                  U8(record.Bitrate));
        // Comments (mono-22050.ogg has a title) and the length are not read.
        EXPECT_EQ("", U8(record.Title));
        EXPECT_EQ("", U8(record.Length));
        ++checked;
    }
    EXPECT_EQ(std::size(rows), checked);
    EXPECT_TRUE(boxes.shown().empty());
}

// Files of a peer tag library's test data; the expected texts were read from the bytes of
// each file's Vorbis identification header. The .oga names belong to no parser, so those files
// are also analysed as copies named .ogg.
TEST(ParseOGGPeerSamples, EveryFileAnalysed) {
    struct Case {
        const char* file;
        int result; // of the bytes under an .ogg name
        const char* samplingRate;
        const char* channels;
        const char* bitrate;
    } cases[] = {
        {"empty.ogg", 0, "44100 Hz", "2 channels", "112 kbps"},
        {"lowercase-fields.ogg", 0, "44100 Hz", "2 channels", "112 kbps"},
        {"test.ogg", 0, "44100 Hz", "2 channels", "112 kbps"},
        // A Theora stream first; the Vorbis header follows at offset 99.
        {"multiplex.ogg", 0, "48000 Hz", "2 channels", "96 kbps"},
        {"empty_vorbis.oga", 0, "44100 Hz", "2 channels", "112 kbps"},
        // FLAC in Ogg: no Vorbis header.
        {"empty_flac.oga", 1, "", "", ""},
        // 120 bytes.
        {"segfault.oga", 1, "", "", ""},
    };
    testsupport::TempDir dir;
    testsupport::MessageBoxCapture boxes;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const std::string original = std::string(SONO_PEER_SAMPLES) + "/" + c.file;
        std::string path = original;
        if (path.ends_with(".oga")) {
            auto asIs = Analyse(original);
            EXPECT_EQ(0, asIs.Result);
            EXPECT_EQ("", U8(asIs.Codec));
            path = dir.Write(std::string(c.file) + ".ogg", testsupport::ReadFileBytes(original));
        }
        auto record = Analyse(path);
        EXPECT_EQ(c.result, record.Result);
        EXPECT_EQ("OGG Vorbis", U8(record.Codec));
        EXPECT_EQ(c.samplingRate, U8(record.SamplingRate));
        EXPECT_EQ(c.channels, U8(record.Channels));
        EXPECT_EQ(c.bitrate, U8(record.Bitrate));
        EXPECT_EQ("", U8(record.Length));
        EXPECT_EQ("", U8(record.Title));
    }
    EXPECT_EQ(2u, boxes.shown().size());
}

} // namespace
