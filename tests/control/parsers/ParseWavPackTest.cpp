#include "control/AnalysisDriver.h"
#include "platform/CodePage.h"
#include "tests/control/AnalyseForTest.h"
#include "tests/control/parsers/TrailingTagBytes.h"
#include "tests/support/TestSupport.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <random>
#include <sstream>
#include <unistd.h>

using testsupport::Bytes;
using testsupport::U8;

namespace {

constexpr uint32_t Bits8 = 0, Bits16 = 1, Bits24 = 2, Bits32 = 3;
constexpr uint32_t Mono = 1u << 2;
constexpr uint32_t Hybrid = 1u << 3;
constexpr uint32_t Joint = 1u << 4;
constexpr uint32_t RateIndex(uint32_t index) {
    return index << 23;
}
constexpr uint32_t Rate44100 = RateIndex(9);

constexpr unsigned BoxFlags = platform::MB_OK | platform::MB_ICONEXCLAMATION;
constexpr uint64_t Mebibyte = 1048576;

struct BlockHeader {
    std::string id = "wvpk";
    uint16_t version = 0x410;
    uint32_t totalSamples = 13230000;
    uint32_t flags = Bits16 | Joint | Rate44100;
};

Bytes BuildBlockHeader(const BlockHeader& h) {
    Bytes out;
    testsupport::PutText(out, h.id);
    testsupport::PutLE(out, 0x1000, 4); // block size
    testsupport::PutLE(out, h.version, 2);
    testsupport::PutLE(out, 0, 2); // track and index number
    testsupport::PutLE(out, h.totalSamples, 4);
    testsupport::PutLE(out, 0, 4);    // block index
    testsupport::PutLE(out, 4410, 4); // samples in this block
    testsupport::PutLE(out, h.flags, 4);
    testsupport::PutLE(out, 0xDEADBEEF, 4); // checksum
    return out;
}

// The bytes placed at an offset of an otherwise zero-filled run of the given size.
Bytes Placed(const Bytes& bytes, uint64_t offset, uint64_t size) {
    Bytes out(size, 0);
    std::copy(bytes.begin(), bytes.begin() + std::min<uint64_t>(bytes.size(), size - offset),
              out.begin() + static_cast<std::ptrdiff_t>(offset));
    return out;
}

Bytes Concat(Bytes first, const Bytes& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

using controltest::Analyse;

class ParseWavPackTest : public ::testing::Test {
  protected:
    // A file of the given size that begins with the bytes; the rest is a hole.
    std::string WriteSparse(const std::string& name, const Bytes& start, uint64_t size) {
        std::string path = dir.Write(name, start);
        EXPECT_EQ(0, truncate(path.c_str(), static_cast<off_t>(size)));
        return path;
    }

    testsupport::TempDir dir;
    testsupport::MessageBoxCapture boxes;
};

TEST_F(ParseWavPackTest, WorkedExampleOfFiveMinutesOfLosslessJointStereo) {
    auto record = Analyse(WriteSparse("a.wv", BuildBlockHeader({}), 20000000));
    EXPECT_EQ(0, record.Result);
    EXPECT_EQ("", U8(record.LastError));
    EXPECT_EQ("a.wv", U8(record.FileName));
    EXPECT_EQ("19.07 Mb ( 20,000,000 bytes )", U8(record.FileSize));
    EXPECT_EQ("WavPack ver 4.16", U8(record.Codec));
    EXPECT_EQ("2 ch (joint stereo)", U8(record.Channels));
    EXPECT_EQ("16 bit/sample (lossless mode)", U8(record.AdditionalInfo));
    EXPECT_EQ("44100 Hz", U8(record.SamplingRate));
    EXPECT_EQ("00:05:00.000", U8(record.Length));
    EXPECT_EQ("533 kbps", U8(record.Bitrate));
    for (auto* field : {&record.Title, &record.Artist, &record.Album, &record.Genre, &record.Year,
                        &record.Comment, &record.TrackNum})
        EXPECT_EQ("", U8(*field));
    EXPECT_TRUE(boxes.shown().empty());
}

struct HeaderCase {
    const char* what;
    BlockHeader header;
    uint64_t fileSize;
    const char* codec;
    const char* channels;
    const char* info;
    const char* rate;
    const char* length;
    const char* bitrate;
};

TEST_F(ParseWavPackTest, HeaderFieldsBecomeTheStreamTexts) {
    const HeaderCase cases[] = {
        {"mono wins over the joint-stereo bit",
         {"wvpk", 0x403, 441000, Bits16 | Mono | Joint | Rate44100},
         1000000,
         "WavPack ver 4.03",
         "1 ch (mono)",
         "16 bit/sample (lossless mode)",
         "44100 Hz",
         "00:00:10.000",
         "800 kbps"},
        {"true stereo, 8 bits",
         {"wvpk", 0x410, 48000, Bits8 | RateIndex(10)},
         6000,
         "WavPack ver 4.16",
         "2 ch (true stereo)",
         "8 bit/sample (lossless mode)",
         "48000 Hz",
         "00:00:01.000",
         "48 kbps"},
        {"32 bits, hybrid, hours past a day",
         {"wvpk", 0x407, 540369000, Bits32 | Hybrid | RateIndex(0)},
         100000000,
         "WavPack ver 4.07",
         "2 ch (true stereo)",
         "32 bit/sample (hybrid mode)",
         "6000 Hz",
         "25:01:01.500",
         "8 kbps"},
        {"24 bits, two-digit version parts",
         {"wvpk", 0x0A05, 11025, Bits24 | RateIndex(3)},
         1000,
         "WavPack ver 10.05",
         "2 ch (true stereo)",
         "24 bit/sample (lossless mode)",
         "11025 Hz",
         "00:00:01.000",
         "8 kbps"},
        {"rate index 15: the header gives no rate",
         {"wvpk", 0x410, 3675, Bits16 | RateIndex(15)},
         1000,
         "WavPack ver 4.16",
         "2 ch (true stereo)",
         "16 bit/sample (lossless mode)",
         "0 Hz",
         "",
         ""},
        {"no samples: zero length, no bitrate",
         {"wvpk", 0x410, 0, Bits16 | Rate44100},
         1000,
         "WavPack ver 4.16",
         "2 ch (true stereo)",
         "16 bit/sample (lossless mode)",
         "44100 Hz",
         "00:00:00.000",
         ""},
        {"unknown sample count",
         {"wvpk", 0x410, 0xFFFFFFFF, Bits16 | Rate44100},
         1000,
         "WavPack ver 4.16",
         "2 ch (true stereo)",
         "16 bit/sample (lossless mode)",
         "44100 Hz",
         "",
         ""},
        {"the largest known sample count",
         {"wvpk", 0x410, 0xFFFFFFFE, Bits16 | RateIndex(14)},
         1000,
         "WavPack ver 4.16",
         "2 ch (true stereo)",
         "16 bit/sample (lossless mode)",
         "192000 Hz",
         "06:12:49.621",
         "0 kbps"},
        {"bits above the rate index are ignored",
         {"wvpk", 0x410, 44100, Bits16 | Rate44100 | 0xF8000000u},
         44100,
         "WavPack ver 4.16",
         "2 ch (true stereo)",
         "16 bit/sample (lossless mode)",
         "44100 Hz",
         "00:00:01.000",
         "352 kbps"},
    };
    for (const HeaderCase& c : cases) {
        SCOPED_TRACE(c.what);
        auto record = Analyse(WriteSparse("case.wv", BuildBlockHeader(c.header), c.fileSize));
        EXPECT_EQ(0, record.Result);
        EXPECT_EQ(c.codec, U8(record.Codec));
        EXPECT_EQ(c.channels, U8(record.Channels));
        EXPECT_EQ(c.info, U8(record.AdditionalInfo));
        EXPECT_EQ(c.rate, U8(record.SamplingRate));
        EXPECT_EQ(c.length, U8(record.Length));
        EXPECT_EQ(c.bitrate, U8(record.Bitrate));
    }
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(ParseWavPackTest, EverySampleRateIndexGivesItsRate) {
    const char* rates[16] = {"6000",  "8000",  "9600",   "11025", "12000", "16000",
                             "22050", "24000", "32000",  "44100", "48000", "64000",
                             "88200", "96000", "192000", "0"};
    for (uint32_t index = 0; index < 16; ++index) {
        SCOPED_TRACE(index);
        BlockHeader header;
        header.flags = Bits16 | RateIndex(index);
        auto record = Analyse(dir.Write("rate.wv", BuildBlockHeader(header)));
        EXPECT_EQ(std::string(rates[index]) + " Hz", U8(record.SamplingRate));
    }
}

// A duration of one sample at 192 kHz makes the whole-file figure exceed 32 bits many times.
TEST_F(ParseWavPackTest, BitrateOfAHugeFileDoesNotWrap) {
    BlockHeader header;
    header.totalSamples = 1;
    header.flags = Bits16 | RateIndex(14);
    auto record = Analyse(WriteSparse("huge.wv", BuildBlockHeader(header), uint64_t{1} << 34));
    EXPECT_EQ(0, record.Result);
    EXPECT_EQ("00:00:00.000", U8(record.Length));
    EXPECT_EQ("26388279066624 kbps", U8(record.Bitrate));
}

struct NonValidCase {
    const char* name;
    Bytes content;
    const char* message;
    const char* codec;
};

TEST_F(ParseWavPackTest, NonValidFilesAreReportedWithTheirCodec) {
    const Bytes header = BuildBlockHeader({});
    const Bytes header31(header.begin(), header.begin() + 31);
    const NonValidCase cases[] = {
        {"empty.wv", {}, "empty.wv is non-valid WavPack file!", "WavPack"},
        {"short.wv", header31, "short.wv is non-valid WavPack file!", "WavPack"},
        {"other.wv", BuildBlockHeader({"wvpK"}), "other.wv is non-valid WavPack file!", "WavPack"},
        {"later.wv", Placed(header, 1, 64), "later.wv is non-valid WavPack file!", "WavPack"},
        {"LIVE.ISO.WV", Placed(header, 100, 400), "LIVE.ISO.WV is non-valid WavPack file!",
         "WavPack"},
        {"Live.iso.wv", Bytes(4000, 'x'), "Live.iso.wv: Wavepack file into ISO not found!",
         "ISO with WavPack"},
        {"empty.iso.wv", {}, "empty.iso.wv: Wavepack file into ISO not found!", "ISO with WavPack"},
        {"cut.iso.wv", Placed(header, 100, 131), "cut.iso.wv is non-valid WavPack file!",
         "ISO with WavPack"},
        {"tail.iso.wv", Placed(header, 97, 100), "tail.iso.wv: Wavepack file into ISO not found!",
         "ISO with WavPack"},
    };
    for (const NonValidCase& c : cases) {
        SCOPED_TRACE(c.name);
        testsupport::MessageBoxCapture capture;
        auto record = Analyse(dir.Write(c.name, c.content));
        EXPECT_EQ(1, record.Result);
        EXPECT_EQ(c.message, U8(record.LastError));
        EXPECT_EQ(c.codec, U8(record.Codec));
        EXPECT_EQ("", U8(record.SamplingRate));
        EXPECT_EQ("", U8(record.Length));
        ASSERT_EQ(1u, capture.shown().size());
        EXPECT_EQ(u"Error!", capture.shown()[0].caption);
        EXPECT_EQ(record.LastError, capture.shown()[0].text);
        EXPECT_EQ(BoxFlags, capture.shown()[0].flags);
    }
}

TEST_F(ParseWavPackTest, ImageStreamIsFoundUpToTheLastOffsetOfTheFirstMebibyte) {
    const Bytes header = BuildBlockHeader({});
    const uint64_t size = Mebibyte + 4096;
    auto found = Analyse(dir.Write("found.iso.wv", Placed(header, Mebibyte - 1, size)));
    EXPECT_EQ(0, found.Result);
    EXPECT_EQ("ISO with WavPack ver 4.16", U8(found.Codec));
    EXPECT_EQ("2 ch (joint stereo)", U8(found.Channels));
    EXPECT_EQ("00:05:00.000", U8(found.Length));
    // The whole image counts: 1,052,672 bytes over five minutes.
    EXPECT_EQ("28 kbps", U8(found.Bitrate));

    auto missed = Analyse(dir.Write("missed.iso.wv", Placed(header, Mebibyte, size)));
    EXPECT_EQ(1, missed.Result);
    EXPECT_EQ("missed.iso.wv: Wavepack file into ISO not found!", U8(missed.LastError));
}

struct ImageCase {
    const char* what;
    const char* name;
    Bytes content;
    int result;
    const char* codec;
    const char* channels;
};

TEST_F(ParseWavPackTest, ImageSearchTakesTheFirstWholeIdentifier) {
    const Bytes mono = BuildBlockHeader({"wvpk", 0x410, 44100, Bits16 | Mono | Rate44100});
    const Bytes stereo = BuildBlockHeader({});
    Bytes decoys;
    testsupport::PutText(decoys, "wvp wv wvpwvpK");
    const ImageCase cases[] = {
        {"the first of two headers", "two.iso.wv", Concat(Concat(Bytes(10, 0), mono), stereo), 0,
         "ISO with WavPack ver 4.16", "1 ch (mono)"},
        {"partial identifiers before it", "decoy.iso.wv", Concat(decoys, stereo), 0,
         "ISO with WavPack ver 4.16", "2 ch (joint stereo)"},
        {"a header that ends the image", "end.iso.wv", Concat(Bytes(500, 0xFF), stereo), 0,
         "ISO with WavPack ver 4.16", "2 ch (joint stereo)"},
        {"any name ending in iso.wv", "Radiso.wv", Concat(Bytes(7, 0), mono), 0,
         "ISO with WavPack ver 4.16", "1 ch (mono)"},
        {"a plain file may end in ISO.WV", "PLAIN.ISO.WV", stereo, 0, "WavPack ver 4.16",
         "2 ch (joint stereo)"},
        {"the image ending is compared exactly", "a.iso.WV", Concat(Bytes(7, 0), mono), 1,
         "WavPack", ""},
    };
    for (const ImageCase& c : cases) {
        SCOPED_TRACE(c.what);
        auto record = Analyse(dir.Write(c.name, c.content));
        EXPECT_EQ(c.result, record.Result);
        EXPECT_EQ(c.codec, U8(record.Codec));
        EXPECT_EQ(c.channels, U8(record.Channels));
    }
}

TEST_F(ParseWavPackTest, IdTagsComeFirstAndTheApeTagOnlyWithoutThem) {
    const Bytes stream = Placed(BuildBlockHeader({}), 0, 4000);
    const Bytes ape = testsupport::ApeTag({{"Title", "Ape title"}, {"ARTIST", "Ape artist"}});
    const Bytes id3v1 = testsupport::Id3v1Tag("V1 title", "V1 artist", "V1 album", "1999", 17);

    auto both = Analyse(dir.Write("both.wv", Concat(Concat(stream, ape), id3v1)));
    EXPECT_EQ(0, both.Result);
    EXPECT_EQ("V1 title", U8(both.Title));
    EXPECT_EQ("V1 artist", U8(both.Artist));
    EXPECT_EQ("V1 album", U8(both.Album));
    EXPECT_EQ("1999", U8(both.Year));
    EXPECT_EQ("Rock", U8(both.Genre));

    auto apeOnly = Analyse(dir.Write("ape.wv", Concat(stream, ape)));
    EXPECT_EQ(0, apeOnly.Result);
    EXPECT_EQ("Ape title", U8(apeOnly.Title));
    EXPECT_EQ("Ape artist", U8(apeOnly.Artist));
    EXPECT_EQ("", U8(apeOnly.Album));

    auto untagged = Analyse(dir.Write("none.wv", stream));
    EXPECT_EQ(0, untagged.Result);
    EXPECT_EQ("", U8(untagged.Title));
}

TEST_F(ParseWavPackTest, ShortFilesAreAnalysedWithoutTags) {
    for (size_t size : {32, 100, 127, 128, 1000}) {
        SCOPED_TRACE(size);
        auto record = Analyse(dir.Write("short.wv", Placed(BuildBlockHeader({}), 0, size)));
        EXPECT_EQ(0, record.Result);
        EXPECT_EQ("WavPack ver 4.16", U8(record.Codec));
        EXPECT_EQ("00:05:00.000", U8(record.Length));
        EXPECT_EQ("", U8(record.Title));
    }
}

std::string Field(std::istringstream& line) {
    std::string value;
    std::getline(line, value, '\t');
    return value;
}

// Files made by the wavpack tool and by ffmpeg's encoder (tests/fixtures/wavpack/make_fixtures.sh)
// against what ffprobe read from them when they were made.
TEST(ParseWavPackEncoders, RealFilesShowWhatFfprobeReads) {
    struct ModeRow {
        const char* file;
        const char* channels;
        const char* mode;
    };
    const ModeRow modes[] = {
        {"true16-44100.wv", "2 ch (true stereo)", "lossless"},
        {"joint16-44100.wv", "2 ch (joint stereo)", "lossless"},
        {"mono8-22050.wv", "1 ch (mono)", "lossless"},
        {"hybrid24-48000.wv", "2 ch (joint stereo)", "hybrid"},
        {"float32-96000.wv", "1 ch (mono)", "lossless"},
        {"ffmpeg-mono16-32000.wv", "1 ch (mono)", "lossless"},
        {"ffmpeg-stereo16-8000.wv", "2 ch (joint stereo)", "lossless"},
    };
    const std::string folder = SONO_SOURCE_DIR "/tests/fixtures/wavpack/";
    std::ifstream manifest(folder + "ffprobe.tsv");
    ASSERT_TRUE(manifest.good());
    testsupport::MessageBoxCapture boxes;
    std::string text;
    std::vector<std::string> seen;
    while (std::getline(manifest, text)) {
        std::istringstream line(text);
        const std::string file = Field(line);
        const std::string rate = Field(line);
        const std::string channels = Field(line);
        const std::string bits = Field(line);
        const double duration = std::stod(Field(line));
        SCOPED_TRACE(file);
        seen.push_back(file);

        auto record = Analyse(folder + file);
        EXPECT_EQ(0, record.Result);
        EXPECT_EQ(rate + " Hz", U8(record.SamplingRate));
        EXPECT_EQ(channels + " ch", U8(record.Channels).substr(0, channels.size() + 3));
        EXPECT_EQ(bits + " bit/sample", U8(record.AdditionalInfo).substr(0, bits.size() + 11));
        char length[32];
        std::snprintf(length, sizeof length, "00:00:%06.3f", duration);
        EXPECT_EQ(length, U8(record.Length));
        EXPECT_EQ(0u, U8(record.Codec).rfind("WavPack ver 4.", 0));
        for (const ModeRow& row : modes) {
            if (file != row.file)
                continue;
            EXPECT_EQ(row.channels, U8(record.Channels));
            EXPECT_NE(std::string::npos, U8(record.AdditionalInfo).find(row.mode));
        }
    }
    for (const ModeRow& row : modes)
        EXPECT_NE(seen.end(), std::find(seen.begin(), seen.end(), row.file)) << row.file;
    EXPECT_TRUE(boxes.shown().empty());
}

struct PeerRow {
    const char* file;
    const char* codec;
    const char* channels;
    const char* info;
    const char* rate;
    const char* length;
    const char* bitrate;
    const char* title;
    const char* artist;
};

// Expected texts worked out from each file's block header and trailing tags. A total-samples
// value of 0xFFFFFFFF (infloop.wv, no_length.wv) marks a stream of unknown length. Tags are
// left unchecked (nullptr) where the file's tag is itself broken. four_channels.wv shows its
// first block, which holds one channel.
TEST(ParseWavPackPeerSamples, EveryFileIsAnalysedAsItsBytesSay) {
    const std::string folder = SONO_PEER_SAMPLES "/";
    if (!std::filesystem::exists(folder + "click.wv"))
        GTEST_SKIP() << "peer samples not present";
    const PeerRow rows[] = {
        {"click.wv", "WavPack ver 4.06", "2 ch (joint stereo)", "16 bit/sample (lossless mode)",
         "44100 Hz", "00:00:00.078", "324 kbps", "", ""},
        {"dsd_stereo.wv", "WavPack ver 4.16", "2 ch (true stereo)", "8 bit/sample (lossless mode)",
         "88200 Hz", "00:00:00.800", "525 kbps", "Long Hard Road (excerpt)", "Lorna Hunt"},
        {"four_channels.wv", "WavPack ver 4.07", "1 ch (mono)", "16 bit/sample (hybrid mode)",
         "44100 Hz", "00:00:03.833", "111 kbps", "", ""},
        {"infloop.wv", "WavPack ver 4.05", "1 ch (mono)", "16 bit/sample (lossless mode)",
         "6000 Hz", "", "", nullptr, nullptr},
        {"no_length.wv", "WavPack ver 4.07", "2 ch (true stereo)", "16 bit/sample (lossless mode)",
         "44100 Hz", "", "", "", ""},
        {"non_standard_rate.wv", "WavPack ver 4.16", "2 ch (true stereo)",
         "16 bit/sample (lossless mode)", "0 Hz", "", "", "", ""},
        {"tagged.wv", "WavPack ver 4.07", "2 ch (joint stereo)", "16 bit/sample (hybrid mode)",
         "44100 Hz", "00:00:03.550", "172 kbps", "TestTitle", "TestArtist"},
    };
    testsupport::MessageBoxCapture boxes;
    for (const PeerRow& row : rows) {
        SCOPED_TRACE(row.file);
        auto record = Analyse(folder + row.file);
        EXPECT_EQ(0, record.Result);
        EXPECT_EQ(row.codec, U8(record.Codec));
        EXPECT_EQ(row.channels, U8(record.Channels));
        EXPECT_EQ(row.info, U8(record.AdditionalInfo));
        EXPECT_EQ(row.rate, U8(record.SamplingRate));
        EXPECT_EQ(row.length, U8(record.Length));
        EXPECT_EQ(row.bitrate, U8(record.Bitrate));
        if (row.title) {
            EXPECT_EQ(row.title, U8(record.Title));
            EXPECT_EQ(row.artist, U8(record.Artist));
        }
    }
    EXPECT_TRUE(boxes.shown().empty());
}

// Whatever the bytes: accepted or rejected with a message, and no stream text holds a negative
// figure, "inf" or "nan".
void ExpectHandled(const control::AnalysisRecord& record, const std::string& codecStart) {
    EXPECT_TRUE(record.Result == 0 || record.Result == 1) << record.Result;
    EXPECT_EQ(record.Result == 1, !record.LastError.empty());
    EXPECT_EQ(0u, U8(record.Codec).rfind(codecStart, 0)) << U8(record.Codec);
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

TEST(ParseWavPackForeignBytes, EverySampleFileAsPlainStreamAndAsImage) {
    testsupport::TempDir dir;
    testsupport::MessageBoxCapture boxes;
    for (const auto& entry : std::filesystem::directory_iterator(SONO_PEER_SAMPLES)) {
        const std::string name = entry.path().filename().string();
        for (const char* ending : {".wv", ".iso.wv"}) {
            SCOPED_TRACE(name + ending);
            const std::string link = dir.path() + "/" + name + ending;
            std::filesystem::create_symlink(entry.path(), link);
            ExpectHandled(Analyse(link), ending == std::string(".wv") ? "WavPack" : "ISO with");
        }
    }
}

// Random headers behind the identifier, with and without bytes in front (found as an image).
TEST(ParseWavPackForeignBytes, RandomBytesBehindTheIdentifier) {
    testsupport::TempDir dir;
    testsupport::MessageBoxCapture boxes;
    std::mt19937 random(4160);
    std::uniform_int_distribution<int> byte(0, 255);
    for (size_t size = 0; size < 1300; size += 1 + size / 8) {
        for (size_t offset : {size_t{0}, size / 3}) {
            SCOPED_TRACE(std::to_string(size) + " bytes, identifier at " + std::to_string(offset));
            Bytes bytes(size);
            for (uint8_t& b : bytes)
                b = static_cast<uint8_t>(byte(random));
            if (offset + 4 <= size)
                std::copy_n("wvpk", 4, bytes.begin() + static_cast<std::ptrdiff_t>(offset));
            ExpectHandled(Analyse(dir.Write("r.wv", bytes)), "WavPack");
            ExpectHandled(Analyse(dir.Write("r.iso.wv", bytes)), "ISO with WavPack");
        }
    }
}

} // namespace
