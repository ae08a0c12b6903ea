#include "control/AnalysisDriver.h"
#include "platform/CodePage.h"
#include "tests/support/TestSupport.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <map>
#include <sstream>
#include <unistd.h>
#include <vector>

using testsupport::Bytes;
using testsupport::PutBE;
using testsupport::PutLE;
using testsupport::U8;

namespace {

enum BlockType : uint8_t { StreamInfo = 0, Padding = 1, SeekTable = 3, VorbisComment = 4 };

struct StreamFields {
    uint32_t sampleRate = 44100;
    unsigned channels = 2;
    unsigned bitsPerSample = 16;
    uint64_t totalSamples = 13230000;
};

Bytes BlockHeader(uint8_t type, bool last, uint32_t length) {
    Bytes out = {static_cast<uint8_t>((last ? 0x80 : 0) | type)};
    PutBE(out, length, 3);
    return out;
}

Bytes Block(uint8_t type, bool last, const Bytes& data) {
    Bytes out = BlockHeader(type, last, static_cast<uint32_t>(data.size()));
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

Bytes StreamInfoBlock(const StreamFields& f, bool last = false) {
    Bytes data;
    PutBE(data, 4096, 2); // minimum block size
    PutBE(data, 4096, 2); // maximum block size
    PutBE(data, 14, 3);   // minimum frame size
    PutBE(data, 12000, 3);
    PutBE(data,
          uint64_t{f.sampleRate} << 44 | uint64_t{f.channels - 1} << 41 |
              uint64_t{f.bitsPerSample - 1} << 36 | f.totalSamples,
          8);
    data.resize(34, 0xA5); // MD5 signature
    return Block(StreamInfo, last, data);
}

Bytes CommentData(const std::string& vendor, const std::vector<std::string>& entries) {
    Bytes out;
    PutLE(out, vendor.size(), 4);
    testsupport::PutText(out, vendor);
    PutLE(out, entries.size(), 4);
    for (const std::string& entry : entries) {
        PutLE(out, entry.size(), 4);
        testsupport::PutText(out, entry);
    }
    return out;
}

// "fLaC", the blocks, the start of an audio frame and zeros up to at least 200 bytes.
Bytes Flac(const std::vector<Bytes>& blocks) {
    Bytes out = {'f', 'L', 'a', 'C'};
    for (const Bytes& block : blocks)
        out.insert(out.end(), block.begin(), block.end());
    out.insert(out.end(), {0xFF, 0xF8, 0x69, 0x18});
    out.resize(std::max<size_t>(out.size(), 200), 0);
    return out;
}

Bytes TaggedFlac(const std::string& vendor, const std::vector<std::string>& entries,
                 const StreamFields& fields = {}) {
    return Flac(
        {StreamInfoBlock(fields), Block(VorbisComment, true, CommentData(vendor, entries))});
}

const std::vector<std::string> AllFields = {"TITLE=Song",   "ARTIST=Someone", "ALBUM=Record",
                                            "DATE=2001",    "GENRE=Ambient",  "DESCRIPTION=Nice",
                                            "TRACKNUMBER=7"};

control::AnalysisRecord Analyse(const std::string& path, uint32_t codePage = 0) {
    control::AnalysisRecord record;
    record.CodePage = codePage;
    record.FilePath = platform::Utf8ToUtf16(path);
    record.Result = control::AnalyseFile(record);
    return record;
}

struct Tags {
    std::string title{}, artist{}, album{}, genre{}, year{}, comment{}, track{};
    bool operator==(const Tags&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Tags& t) {
    return out << "title '" << t.title << "' artist '" << t.artist << "' album '" << t.album
               << "' genre '" << t.genre << "' year '" << t.year << "' comment '" << t.comment
               << "' track '" << t.track << "'";
}

Tags TagsOf(const control::AnalysisRecord& r) {
    return {U8(r.Title), U8(r.Artist),  U8(r.Album),   U8(r.Genre),
            U8(r.Year),  U8(r.Comment), U8(r.TrackNum)};
}

class ParseFLACTest : public ::testing::Test {
  protected:
    std::string WriteSized(const std::string& name, const Bytes& bytes, off_t size) {
        std::string path = dir.Write(name, bytes);
        EXPECT_EQ(0, truncate(path.c_str(), size));
        return path;
    }

    testsupport::TempDir dir;
    testsupport::MessageBoxCapture boxes;
};

TEST_F(ParseFLACTest, WorkedExampleOfFiveMinutesAt800kbps) {
    Bytes bytes = TaggedFlac("reference libFLAC 1.4.3 20230623", AllFields);
    auto record = Analyse(WriteSized("track.flac", bytes, 30000000));
    EXPECT_EQ(0, record.Result);
    EXPECT_EQ("", U8(record.LastError));
    EXPECT_EQ("track.flac", U8(record.FileName));
    EXPECT_EQ("28.61 Mb ( 30,000,000 bytes )", U8(record.FileSize));
    EXPECT_EQ("FLAC (Free Lossless Audio Codec)", U8(record.Codec));
    EXPECT_EQ("44100 Hz", U8(record.SamplingRate));
    EXPECT_EQ("2/0 (L,R) ch", U8(record.Channels));
    EXPECT_EQ("16 bit/sample", U8(record.AdditionalInfo));
    EXPECT_EQ("00:05:00.000", U8(record.Length));
    EXPECT_EQ("800 kbps", U8(record.Bitrate));
    EXPECT_EQ((Tags{"Song", "Someone", "Record", "Ambient", "2001", "Nice", "7"}), TagsOf(record));
    EXPECT_TRUE(boxes.shown().empty());
}

// The comment block starts with the vendor string and the count whatever the encoder, so
// files from encoders other than the reference one keep their comments.
TEST_F(ParseFLACTest, CommentsReadBehindAnyVendorString) {
    const Tags all{"Song", "Someone", "Record", "Ambient", "2001", "Nice", "7"};
    for (const char* vendor :
         {"reference libFLAC 1.3.2 20170101", "Lavf60.3.100", "", "TITLE=Vendor, not a comment"}) {
        SCOPED_TRACE(vendor);
        EXPECT_EQ(all, TagsOf(Analyse(dir.Write("a.flac", TaggedFlac(vendor, AllFields)))));
    }
}

TEST_F(ParseFLACTest, KeysMatchWithoutCaseAndValuesStayAsWritten) {
    struct Case {
        std::vector<std::string> entries;
        Tags tags;
    } cases[] = {
        {{"title=Song"}, {.title = "Song"}},
        {{"Title=Song"}, {.title = "Song"}},
        {{"TITLE = Song", "TITLE_SORT=Sorted", "TITLE"}, {}},
        {{"TITLE=a=b"}, {.title = "a=b"}},
        {{"TITLE=", "ALBUM=x"}, {.album = "x"}},
        {{"ARTIST=First", "ALBUMARTIST=Band"}, {.artist = "Band"}},
        {{"ALBUMARTIST=Band", "artist=Last"}, {.artist = "Last"}},
        {{"TITLE=One", "TITLE=Two"}, {.title = "Two"}},
        {{"COMMENT=unmapped", "DESCRIPTION=mapped"}, {.comment = "mapped"}},
        {{"DATE=2004", "YEAR=1999", "TRACKNUMBER=02/10", "TRACK=3"},
         {.year = "2004", .track = "02/10"}},
        {{std::string("TITLE=ab\0cd", 11)}, {.title = "ab"}},
        {{"GENRE=  Rock\t"}, {.genre = "Rock"}}, // the driver trims every tag field
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.entries.front());
        EXPECT_EQ(c.tags, TagsOf(Analyse(dir.Write("a.flac", TaggedFlac("v", c.entries)))));
    }
}

TEST_F(ParseFLACTest, ValuesAreUtf8WhateverTheCodePageAndCutAtAWholeCharacter) {
    auto record = Analyse(dir.Write("a.flac", TaggedFlac("v", {"ARTIST=Группа Кино"})), 1251);
    EXPECT_EQ("Группа Кино", U8(record.Artist));

    const std::string fits(255, 'a');
    const std::string cut = std::string(254, 'b') + "é"; // the é would need bytes 255 and 256
    record = Analyse(dir.Write("b.flac", TaggedFlac("v", {"TITLE=" + fits, "ALBUM=" + cut})));
    EXPECT_EQ(fits, U8(record.Title));
    EXPECT_EQ(std::string(254, 'b'), U8(record.Album));
}

TEST_F(ParseFLACTest, ReadsEntriesOnlyWhileTheBytesUsedStayBelowTheLimit) {
    // Vendor "v" and its count use 5 bytes; an entry of 4090 bytes brings the sum to 4095,
    // so the next entry is still read, and the one after it is not.
    const std::string filler = "X=" + std::string(4088, 'x');
    const Tags readToSecond{.title = "In"};
    EXPECT_EQ(
        readToSecond,
        TagsOf(Analyse(dir.Write("a.flac", TaggedFlac("v", {filler, "TITLE=In", "ARTIST=Out"})))));

    // An entry of more than 4096 bytes is skipped unread and ends the walk.
    const std::string huge = "TITLE=" + std::string(4091, 'x');
    EXPECT_EQ(Tags{},
              TagsOf(Analyse(dir.Write("b.flac", TaggedFlac("v", {huge, "ARTIST=After"})))));

    // A block shorter than 4096 bytes sets the limit by its own length.
    Bytes data = CommentData("vendor", {"TITLE=Counted in", "ARTIST=Past the limit"});
    Bytes shortBlock = BlockHeader(VorbisComment, true, 20);
    shortBlock.insert(shortBlock.end(), data.begin(), data.end());
    EXPECT_EQ(Tags{.title = "Counted in"},
              TagsOf(Analyse(dir.Write("c.flac", Flac({StreamInfoBlock({}), shortBlock})))));
}

TEST_F(ParseFLACTest, BrokenCommentBlocksKeepWhatWasReadBeforeTheBreak) {
    // Offsets in a file of TaggedFlac: the comment data begins after "fLaC", STREAMINFO and
    // the block header; with the vendor "v" the count lies 5 bytes into it.
    constexpr size_t DataStart = 4 + 38 + 4;
    auto withWord = [](Bytes bytes, size_t at, uint32_t value) {
        for (int i = 0; i < 4; ++i)
            bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
        return bytes;
    };
    const Bytes vendorPastEnd = withWord(TaggedFlac("v", {"TITLE=Lost"}), DataStart, 0x7FFFFFFF);
    const Bytes countTooLarge =
        withWord(TaggedFlac("v", {"TITLE=Only"}), DataStart + 5, 0xFFFFFFFF);

    // The artist entry loses its last bytes to the end of the file; a long vendor string
    // keeps the file above 150 bytes.
    Bytes entryPastEnd = {'f', 'L', 'a', 'C'};
    for (const Bytes& part : {StreamInfoBlock({}), BlockHeader(VorbisComment, true, 300),
                              CommentData(std::string(100, 'v'), {"TITLE=Kept", "ARTIST=Lost"})})
        entryPastEnd.insert(entryPastEnd.end(), part.begin(), part.end());
    entryPastEnd.resize(entryPastEnd.size() - 2);

    // The count ends the entries even where the block's length has room for more.
    Bytes countOfOne = CommentData("v", {"TITLE=Counted"});
    PutLE(countOfOne, 12, 4);
    testsupport::PutText(countOfOne, "ARTIST=Ghost");

    struct Case {
        const char* what;
        Bytes bytes;
        Tags tags;
    } cases[] = {
        {"vendor length past the end", vendorPastEnd, {}},
        {"entry length past the end", entryPastEnd, {.title = "Kept"}},
        {"count larger than the entries", countTooLarge, {.title = "Only"}},
        {"entries beyond the count",
         Flac({StreamInfoBlock({}), Block(VorbisComment, true, countOfOne)}),
         {.title = "Counted"}},
        {"empty block", Flac({StreamInfoBlock({}), Block(VorbisComment, true, {})}), {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto record = Analyse(dir.Write("a.flac", c.bytes));
        EXPECT_EQ(0, record.Result);
        EXPECT_EQ("44100 Hz", U8(record.SamplingRate));
        EXPECT_EQ(c.tags, TagsOf(record));
    }
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(ParseFLACTest, BlockWalkEndsOnEveryChain) {
    const Bytes comments = Block(VorbisComment, true, CommentData("v", {"TITLE=Found"}));
    Bytes pastEnd = Flac({StreamInfoBlock({}), BlockHeader(SeekTable, false, 0xFFFFFF)});
    Bytes firstPastEnd = Flac({StreamInfoBlock({})});
    firstPastEnd[5] = firstPastEnd[6] = firstPastEnd[7] = 0xFF;
    Bytes endsInsideHeader = Flac({StreamInfoBlock({}), Block(Padding, false, Bytes(150, 0))});
    endsInsideHeader.resize(4 + 38 + 4 + 150 + 2);
    struct Case {
        const char* what;
        Bytes bytes;
        const char* title;
    } cases[] = {
        {"seek table, padding, comments",
         Flac({StreamInfoBlock({}), Block(SeekTable, false, Bytes(18, 0)),
               Block(Padding, false, Bytes(100, 0)), comments}),
         "Found"},
        {"zero-length padding before the comments",
         Flac({StreamInfoBlock({}), Block(Padding, false, {}), comments}), "Found"},
        {"comments behind the last block",
         Flac({StreamInfoBlock({}), Block(SeekTable, false, Bytes(18, 0)),
               Block(Padding, true, Bytes(10, 0)), comments}),
         ""},
        {"STREAMINFO only: the audio frame ends the walk", Flac({StreamInfoBlock({})}), ""},
        // STREAMINFO's own last flag is not looked at.
        {"comments behind a STREAMINFO marked last", Flac({StreamInfoBlock({}, true), comments}),
         "Found"},
        {"block running past the end", pastEnd, ""},
        {"first block running past the end", firstPastEnd, ""},
        {"file ending inside a block header", endsInsideHeader, ""},
        {"second STREAMINFO", Flac({StreamInfoBlock({}), StreamInfoBlock({}), comments}), ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto record = Analyse(dir.Write("a.flac", c.bytes));
        EXPECT_EQ(0, record.Result);
        EXPECT_EQ("2/0 (L,R) ch", U8(record.Channels));
        EXPECT_EQ(c.title, U8(record.Title));
    }
    EXPECT_TRUE(boxes.shown().empty());
}

// Zeros behind STREAMINFO read as a chain of empty blocks, four bytes each; over a terabyte
// that chain would take hours to walk.
TEST_F(ParseFLACTest, ZeroFilledFileEndsTheWalkAtOnce) {
    Bytes bytes = {'f', 'L', 'a', 'C'};
    const Bytes info = StreamInfoBlock({});
    bytes.insert(bytes.end(), info.begin(), info.end());
    bytes.resize(200, 0);
    std::string path = dir.Write("hole.flac", bytes);
    if (truncate(path.c_str(), off_t{1} << 40) != 0)
        GTEST_SKIP() << "no sparse terabyte file on this file system";
    auto record = Analyse(path);
    EXPECT_EQ(0, record.Result);
    EXPECT_EQ("44100 Hz", U8(record.SamplingRate));
    EXPECT_EQ("", U8(record.Title));
}

TEST_F(ParseFLACTest, StreamFieldsAndUndefinedValues) {
    struct Case {
        const char* what;
        StreamFields fields;
        off_t size;
        const char* samplingRate;
        const char* channels;
        const char* info;
        const char* length;
        const char* bitrate;
    } cases[] = {
        {"ten seconds",
         {.totalSamples = 441000},
         100000,
         "44100 Hz",
         "2/0 (L,R) ch",
         "16 bit/sample",
         "00:00:10.000",
         "80 kbps"},
        {"sample rate 0",
         {.sampleRate = 0},
         100000,
         "0 Hz",
         "2/0 (L,R) ch",
         "16 bit/sample",
         "",
         ""},
        {"sample rate and total samples 0",
         {.sampleRate = 0, .totalSamples = 0},
         100000,
         "0 Hz",
         "2/0 (L,R) ch",
         "16 bit/sample",
         "",
         ""},
        {"total samples 0",
         {.totalSamples = 0},
         100000,
         "44100 Hz",
         "2/0 (L,R) ch",
         "16 bit/sample",
         "00:00:00.000",
         ""},
        // Far beyond 32 bits: shown whole, not wrapped into a negative number.
        {"one sample at the highest rate",
         {.sampleRate = 1000000, .channels = 1, .bitsPerSample = 32, .totalSamples = 1},
         1000000,
         "1000000 Hz",
         "1/0 (mono) ch",
         "32 bit/sample",
         "00:00:00.000",
         "8000000000 kbps"},
        {"largest fields",
         {.sampleRate = 1048575,
          .channels = 8,
          .bitsPerSample = 4,
          .totalSamples = (uint64_t{1} << 36) - 1},
         1000,
         "1048575 Hz",
         "8 channels",
         "4 bit/sample",
         "18:12:16.062",
         "0 kbps"},
        {"3 channels",
         {.channels = 3},
         1000,
         "44100 Hz",
         "3/0 (L,C,R) ch",
         "16 bit/sample",
         "00:05:00.000",
         "0 kbps"},
        {"4 channels",
         {.channels = 4},
         1000,
         "44100 Hz",
         "2/2 (L,R,l,r) ch",
         "16 bit/sample",
         "00:05:00.000",
         "0 kbps"},
        {"5 channels",
         {.channels = 5},
         1000,
         "44100 Hz",
         "3/2 (L,C,R,l,r) ch",
         "16 bit/sample",
         "00:05:00.000",
         "0 kbps"},
        {"6 channels",
         {.channels = 6},
         1000,
         "44100 Hz",
         "3/2 (L,C,R,l,r) + LFE ch",
         "16 bit/sample",
         "00:05:00.000",
         "0 kbps"},
        {"7 channels",
         {.channels = 7, .bitsPerSample = 24},
         1000,
         "44100 Hz",
         "7 channels",
         "24 bit/sample",
         "00:05:00.000",
         "0 kbps"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto record =
            Analyse(WriteSized("a.flac", Flac({StreamInfoBlock(c.fields, true)}), c.size));
        EXPECT_EQ(0, record.Result);
        EXPECT_EQ(c.samplingRate, U8(record.SamplingRate));
        EXPECT_EQ(c.channels, U8(record.Channels));
        EXPECT_EQ(c.info, U8(record.AdditionalInfo));
        EXPECT_EQ(c.length, U8(record.Length));
        EXPECT_EQ(c.bitrate, U8(record.Bitrate));
    }
}

TEST_F(ParseFLACTest, OnlyALongEnoughFileWithTheMarkerIsValid) {
    Bytes tagged = TaggedFlac("v", AllFields);
    Bytes behindId3 = {'I', 'D', '3', 3, 0, 0, 0, 0, 0, 0};
    behindId3.insert(behindId3.end(), tagged.begin(), tagged.end());
    Bytes lowerCase = tagged;
    lowerCase[1] = 'l';
    struct Case {
        const char* what;
        Bytes bytes;
        bool valid;
    } cases[] = {
        {"150 bytes", Bytes(tagged.begin(), tagged.begin() + 150), false},
        {"151 bytes", Bytes(tagged.begin(), tagged.begin() + 151), true},
        {"behind an ID3v2 tag", behindId3, false},
        {"marker in other letter case", lowerCase, false},
        {"empty file", {}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto record = Analyse(dir.Write("x.flac", c.bytes));
        EXPECT_EQ("FLAC (Free Lossless Audio Codec)", U8(record.Codec));
        if (c.valid) {
            EXPECT_EQ(0, record.Result);
            EXPECT_EQ("Song", U8(record.Title));
            continue;
        }
        EXPECT_EQ(1, record.Result);
        EXPECT_EQ("x.flac is non-valid FLAC file!", U8(record.LastError));
        EXPECT_EQ("", U8(record.SamplingRate));
        EXPECT_EQ(Tags{}, TagsOf(record));
    }
    ASSERT_EQ(4u, boxes.shown().size());
    EXPECT_EQ("Error!", U8(boxes.shown()[0].caption));
    EXPECT_EQ(unsigned{platform::MB_ICONEXCLAMATION}, boxes.shown()[0].flags);
}

// Files of a peer tag library's test data; the expected texts were worked out from each
// file's STREAMINFO and metadata blocks.
TEST_F(ParseFLACTest, PeerSampleFiles) {
    struct Case {
        const char* file;
        const char* samplingRate;
        const char* channels;
        const char* info;
        const char* length;
        const char* bitrate;
        Tags tags;
    } cases[] = {
        // Seek table of length 0, then comments with a count of 0.
        {"empty-seektable.flac",
         "88200 Hz",
         "2/0 (L,R) ch",
         "24 bit/sample",
         "00:03:37.868",
         "0 kbps",
         {}},
        // Its last block is a seek table: no comments.
        {"mpeg-sync-flac.flac",
         "44100 Hz",
         "2/0 (L,R) ch",
         "16 bit/sample",
         "00:00:05.068",
         "1 kbps",
         {}},
        // Empty vendor string; only the first of its comment blocks is read.
        {"multiple-vc.flac",
         "44100 Hz",
         "2/0 (L,R) ch",
         "16 bit/sample",
         "00:00:03.685",
         "10 kbps",
         {.artist = "Artist 1"}},
        {"no-tags.flac",
         "44100 Hz",
         "2/0 (L,R) ch",
         "16 bit/sample",
         "00:00:03.685",
         "10 kbps",
         {}},
        // Lower-case keys; of its two artists the later one wins.
        {"silence-44-s.flac",
         "44100 Hz",
         "2/0 (L,R) ch",
         "16 bit/sample",
         "00:00:03.685",
         "110 kbps",
         {.title = "Silence",
          .artist = "jzig",
          .album = "Quod Libet Test Data",
          .genre = "Silence",
          .year = "2004",
          .track = "02/10"}},
        {"sinewave.flac",
         "44100 Hz",
         "2/0 (L,R) ch",
         "16 bit/sample",
         "00:00:03.550",
         "145 kbps",
         {}},
        // Its only comment is a title of 4124 bytes: skipped unread.
        {"zero-sized-padding.flac",
         "44100 Hz",
         "2/0 (L,R) ch",
         "16 bit/sample",
         "00:00:03.685",
         "10 kbps",
         {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        auto record = Analyse(std::string(SONO_PEER_SAMPLES) + "/" + c.file);
        EXPECT_EQ(0, record.Result);
        EXPECT_EQ("FLAC (Free Lossless Audio Codec)", U8(record.Codec));
        EXPECT_EQ(c.samplingRate, U8(record.SamplingRate));
        EXPECT_EQ(c.channels, U8(record.Channels));
        EXPECT_EQ(c.info, U8(record.AdditionalInfo));
        EXPECT_EQ(c.length, U8(record.Length));
        EXPECT_EQ(c.bitrate, U8(record.Bitrate));
        EXPECT_EQ(c.tags, TagsOf(record));
    }
    EXPECT_TRUE(boxes.shown().empty());
}

std::vector<std::string> TabFields(const std::string& line) {
    std::vector<std::string> fields;
    std::istringstream in(line);
    for (std::string field; std::getline(in, field, '\t');)
        fields.push_back(field);
    return fields;
}

// The tag fields that the comments exported by metaflac fill: keys of any letter case, the
// later entry winning, ARTIST and ALBUMARTIST both filling Artist.
Tags TagsFromExport(const std::string& path) {
    Tags tags;
    const std::map<std::string, std::string Tags::*> keys = {
        {"TITLE", &Tags::title},         {"ARTIST", &Tags::artist},
        {"ALBUMARTIST", &Tags::artist},  {"ALBUM", &Tags::album},
        {"GENRE", &Tags::genre},         {"DATE", &Tags::year},
        {"DESCRIPTION", &Tags::comment}, {"TRACKNUMBER", &Tags::track}};
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) {
        const size_t equals = line.find('=');
        std::string key = line.substr(0, equals);
        std::transform(key.begin(), key.end(), key.begin(),
                       [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
        if (auto found = keys.find(key); equals != std::string::npos && found != keys.end())
            tags.*(found->second) = line.substr(equals + 1);
    }
    return tags;
}

// Files made by the flac tool and ffmpeg's encoder (tests/fixtures/flac/make_fixtures.sh)
// against what ffprobe and metaflac read from them when they were made.
TEST(ParseFLACEncoders, RealFilesShowWhatFfprobeAndMetaflacRead) {
    const std::map<std::string, std::string> layouts = {{"1", "1/0 (mono) ch"},
                                                        {"2", "2/0 (L,R) ch"},
                                                        {"6", "3/2 (L,C,R,l,r) + LFE ch"},
                                                        {"8", "8 channels"}};
    const char* expectedFiles[] = {"stereo16-44100.flac", "mono24-48000.flac", "eight8-8000.flac",
                                   "ffmpeg-5.1-32000.flac"};
    const std::string folder = SONO_SOURCE_DIR "/tests/fixtures/flac/";
    std::ifstream probe(folder + "ffprobe.tsv");
    ASSERT_TRUE(probe.good());
    testsupport::MessageBoxCapture boxes;
    std::vector<std::string> seen;
    for (std::string line; std::getline(probe, line);) {
        const std::vector<std::string> f = TabFields(line); // file, rate, channels, bits, seconds
        ASSERT_EQ(5u, f.size()) << line;
        SCOPED_TRACE(f[0]);
        seen.push_back(f[0]);
        const std::string path = folder + f[0];
        const double seconds = std::stod(f[4]);
        char length[32];
        std::snprintf(length, sizeof length, "00:00:%06.3f", seconds);
        const double bits = static_cast<double>(testsupport::ReadFileBytes(path).size()) * 8;

        auto record = Analyse(path);
        EXPECT_EQ(0, record.Result);
        EXPECT_EQ(f[1] + " Hz", U8(record.SamplingRate));
        EXPECT_EQ(layouts.at(f[2]), U8(record.Channels));
        EXPECT_EQ(f[3] + " bit/sample", U8(record.AdditionalInfo));
        EXPECT_EQ(length, U8(record.Length));
        EXPECT_EQ(std::to_string(static_cast<long>(std::trunc(bits / (seconds * 1000)))) + " kbps",
                  U8(record.Bitrate));
        const std::string exported = path.substr(0, path.size() - 5) + ".tags";
        EXPECT_EQ(TagsFromExport(exported), TagsOf(record));
    }
    for (const char* file : expectedFiles)
        EXPECT_NE(seen.end(), std::find(seen.begin(), seen.end(), file)) << file;
    EXPECT_TRUE(boxes.shown().empty());
}

} // namespace
