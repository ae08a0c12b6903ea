// Every hostile file is analysed through the driver, from a real file, and must end with the
// outcome that the format's rules give: accepted with these fields, or non-valid. Memory and
// time limits are checked on the release build by scripts/check-hostile-limits.sh.
#include "tests/support/HostileFiles.h"
#include "control/AnalysisDriver.h"
#include "platform/CodePage.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <set>

using testsupport::U8;

namespace {

using Field = std::u16string control::AnalysisRecord::*;
constexpr Field Title = &control::AnalysisRecord::Title;
constexpr Field Artist = &control::AnalysisRecord::Artist;
constexpr Field Album = &control::AnalysisRecord::Album;
constexpr Field Year = &control::AnalysisRecord::Year;
constexpr Field Genre = &control::AnalysisRecord::Genre;
constexpr Field Comment = &control::AnalysisRecord::Comment;
constexpr Field Codec = &control::AnalysisRecord::Codec;
constexpr Field SamplingRate = &control::AnalysisRecord::SamplingRate;
constexpr Field Channels = &control::AnalysisRecord::Channels;
constexpr Field Bitrate = &control::AnalysisRecord::Bitrate;
constexpr Field Info = &control::AnalysisRecord::AdditionalInfo;
constexpr Field Length = &control::AnalysisRecord::Length;
constexpr Field LastError = &control::AnalysisRecord::LastError;
constexpr Field FileSize = &control::AnalysisRecord::FileSize;

struct Check {
    Field field;
    std::string text;
};

struct Expectation {
    std::string name;
    int result;
    std::vector<Check> checks;
};

std::string Repeat(const std::string& text, size_t count) {
    std::string out;
    for (size_t i = 0; i < count; ++i)
        out += text;
    return out;
}

// The first count letters of the repeated alphabet that the 8-bit texts hold.
std::string Alphabet(size_t count) {
    std::string out;
    for (size_t i = 0; i < count; ++i)
        out += static_cast<char>('a' + i % 26);
    return out;
}

// count times U+0416, the character of the UTF-16 texts.
std::string Zhe(size_t count) {
    return Repeat("\xD0\x96", count);
}

// "a" and 84 euro signs: 253 bytes, the longest whole-character cut of the UTF-8 texts.
const std::string Euro84 = "a" + Repeat("\xE2\x82\xAC", 84);
const std::string Replacement = "\xEF\xBF\xBD";

const std::string NoStream = "";
const std::string Mpa1Layer3 = "MPA-1 Layer III";
const std::string Pcm = "PCM (Pulse Code Modulation)";
const std::string Monkey399 = "Monkey\xE2\x80\x99s Audio ver 3.99";
const std::string Stereo = "2/0 (L,R) ch";

std::string NonValid(const std::string& name, const std::string& format) {
    return name + " is non-valid " + format + " file!";
}

std::string NotInImage(const std::string& name) {
    return name + ": Wavepack file into ISO not found!";
}

// ID3v2 sizes, frames and texts. ".mp3" files end with two MPEG-1 Layer III frames at 128 kbps
// behind the tag unless the name says otherwise.
const std::vector<Expectation> Id3Expectations = {
    // The tag claims 256 MiB: the frames in the file are read, the audio would start past the end.
    {"id3-tag-size-past-file.mp3",
     1,
     {{Title, "Hello"},
      {Codec, NoStream},
      {LastError, NonValid("id3-tag-size-past-file.mp3", "MP3")}}},
    // Frame data is read only up to the end of the tag, whatever the frame size says.
    {"id3-frame-size-ffffffff.mp3",
     0,
     {{Title, "Hello"}, {Codec, Mpa1Layer3}, {Bitrate, "128 kbps"}}},
    {"id3v24-frame-size-7f7f7f7f.mp3", 0, {{Title, "Hello"}, {Codec, Mpa1Layer3}}},
    // A tag of size 0 leaves the ID3v1 tag in charge.
    {"id3-size-zero-with-id3v1.mp3",
     0,
     {{Title, "Version one"}, {Artist, "Artist one"}, {Year, "1999"}, {Genre, "Rock"}}},
    {"id3-60000-empty-frames.mp3", 0, {{Title, ""}, {Artist, "Artist"}, {Codec, Mpa1Layer3}}},
    {"id3-header-only.mp3", 1, {{Title, ""}, {Codec, NoStream}}},
    {"id3-truncated-4-bytes.mp3", 1, {{Codec, NoStream}}},
    {"tag-3-bytes.mp3", 1, {{Title, ""}}},
    // Three-letter frame ids are not read.
    {"id3v22-frames.mp3", 0, {{Title, ""}, {Codec, Mpa1Layer3}}},

    // 8-bit text is cut at 255 bytes.
    {"id3-latin1-254.mp3", 0, {{Title, Alphabet(254)}}},
    {"id3-latin1-255.mp3", 0, {{Title, Alphabet(255)}}},
    {"id3-latin1-256.mp3", 0, {{Title, Alphabet(255)}}},
    {"id3-latin1-257.mp3", 0, {{Title, Alphabet(255)}}},
    {"id3-latin1-4096.mp3", 0, {{Title, Alphabet(255)}}},
    // UTF-16 keeps whole characters within 255 bytes of UTF-8 (two bytes each); an odd byte
    // at the end is half a unit and dropped.
    {"id3-utf16-bom-254.mp3", 0, {{Title, Zhe(126)}}},
    {"id3-utf16-bom-255.mp3", 0, {{Title, Zhe(126)}}},
    {"id3-utf16-bom-256.mp3", 0, {{Title, Zhe(127)}}},
    {"id3-utf16-bom-257.mp3", 0, {{Title, Zhe(127)}}},
    {"id3-utf16-bom-4096.mp3", 0, {{Title, Zhe(127)}}},
    {"id3-utf16be-254.mp3", 0, {{Title, Zhe(127)}}},
    {"id3-utf16be-255.mp3", 0, {{Title, Zhe(127)}}},
    {"id3-utf16be-256.mp3", 0, {{Title, Zhe(127)}}},
    {"id3-utf16be-257.mp3", 0, {{Title, Zhe(127)}}},
    {"id3-utf16be-4096.mp3", 0, {{Title, Zhe(127)}}},
    // UTF-8 is cut before the character that would pass 255 bytes.
    {"id3-utf8-254.mp3", 0, {{Title, Euro84 + "b"}}},
    {"id3-utf8-255.mp3", 0, {{Title, Euro84 + "bb"}}},
    {"id3-utf8-256.mp3", 0, {{Title, Euro84}}},
    {"id3-utf8-257.mp3", 0, {{Title, Euro84}}},
    {"id3-utf8-4096.mp3", 0, {{Title, Euro84}}},
    // Unpaired surrogates become the replacement character; the rest of the text stays.
    {"id3-utf16-lone-high-surrogate.mp3", 0, {{Title, "A" + Replacement + "B"}}},
    {"id3-utf16be-lone-low-surrogate.mp3", 0, {{Title, "A" + Replacement + "B"}}},
    {"id3-utf16-surrogate-at-end.mp3", 0, {{Title, "A" + Replacement}}},
    {"id3-utf16-bom-only.mp3", 0, {{Title, ""}}},
    // A description without its end takes the whole frame: no comment text is left.
    {"id3-comm-utf16-description-unterminated.mp3", 0, {{Comment, ""}, {Codec, Mpa1Layer3}}},
    {"id3-comm-latin1-description-unterminated.mp3", 0, {{Comment, ""}}},
    {"id3-comm-3-bytes.mp3", 0, {{Comment, ""}}},
    {"id3-genre-number-overflow.mp3", 0, {{Genre, ""}}},
    {"id3-genre-unclosed.mp3", 0, {{Genre, "(17"}}},
    {"id3-genre-negative.mp3", 0, {{Genre, "(-17)"}}},
    {"id3-genre-255.mp3", 0, {{Genre, ""}}},
    {"id3v1-genre-255.mp3", 0, {{Title, "Title"}, {Genre, ""}}},
    {"id3v1-fields-unterminated.mp3",
     0,
     {{Title, std::string(30, 'T')},
      {Artist, std::string(30, 'A')},
      {Album, std::string(30, 'L')},
      {Year, "1999"},
      {Comment, std::string(30, 'C')},
      {Genre, "Rock"}}},
};

const std::vector<Expectation> Mp3StreamExpectations = {
    // Frames estimated from 4,000,000 bytes: 9570 frames of 1152 samples.
    {"mp3-xing-frames-zero.mp3",
     0,
     {{Bitrate, "128.0 kbps (VBR)"},
      {Length, "00:04:09.992"},
      {SamplingRate, "44100 Hz"},
      {Channels, "2 channels"},
      {Info, "Joint Stereo"}}},
    // No sampling rate: no frames can be estimated, so no average and no length.
    {"mp3-xing-rate-index-3.mp3",
     0,
     {{SamplingRate, "0 Hz"}, {Bitrate, "0.0 kbps (VBR)"}, {Length, "00:00:00.000"}}},
    // 0xFFFFFFFF bytes in 0xFFFFFFFF frames: K = 0.30625 kbit per frame.
    {"mp3-xing-counts-ffffffff.mp3", 0, {{Bitrate, "0.3 kbps (VBR)"}, {Length, "31165:17:44.033"}}},
    {"mp3-xing-truncated.mp3", 0, {{Bitrate, "0.0 kbps (VBR)"}, {Length, "00:00:00.000"}}},
    {"mp3-free-format.mp3", 1, {{Codec, NoStream}}},
    {"mp3-bitrate-index-15.mp3", 1, {{Codec, NoStream}}},
    {"mp3-mpeg25.mp3", 1, {{Codec, NoStream}}},
    {"mp3-reserved-version.mp3", 1, {{Codec, NoStream}}},
    {"mp3-reserved-layer.mp3", 1, {{Codec, NoStream}}},
    {"mp3-layer2-candidates-only.mp3", 1, {{Codec, NoStream}}},
    {"mp3-frame-at-2048.mp3", 1, {{Codec, NoStream}}},
    {"mp3-frame-at-2047.mp3", 0, {{Codec, Mpa1Layer3}}},
    // 16,000 bytes at 128 kbps.
    {"mp3-sampling-index-3.mp3",
     0,
     {{SamplingRate, "0 Hz"}, {Bitrate, "128 kbps"}, {Length, "00:00:01.000"}}},
};

// 444-byte WAVE files: 408 bytes after the header at 176,400 bytes per second.
const std::vector<Expectation> WaveExpectations = {
    {"wav-riff-size-ffffffff.wav",
     0,
     {{SamplingRate, "44100 Hz"},
      {Channels, "2 channels"},
      {Info, "16 bit/sample"},
      {Bitrate, "1411 kbps"},
      {Length, "00:00:00.002"}}},
    {"wav-riff-size-35.wav", 1, {{Codec, Pcm}, {SamplingRate, ""}}},
    {"wav-fmt-size-ffffffff.wav", 1, {{Codec, Pcm}}},
    {"wav-fmt-size-40-past-file.wav", 1, {{Codec, Pcm}}},
    {"wav-byte-rate-zero.wav", 0, {{Bitrate, "0 kbps"}, {Length, "00:00:00.000"}}},
    // 0xFFFFFFFF × 8 passes 2^32; the bit rate is still the true one.
    {"wav-byte-rate-ffffffff.wav", 0, {{Bitrate, "34359738 kbps"}, {Length, "00:00:00.000"}}},
    {"wav-sample-rate-80000000.wav", 0, {{SamplingRate, "-2147483648 Hz"}}},
    {"wav-channels-bits-zero.wav", 0, {{Channels, "0 channels"}, {Info, "0 bit/sample"}}},
    {"wav-35-bytes.wav", 1, {{Codec, Pcm}}},
    {"wav-list-before-fmt.wav", 1, {{Codec, Pcm}}},
    {"raw-samples.pcm", 1, {{LastError, NonValid("raw-samples.pcm", "PCM/WAVE")}}},
};

// FLAC files are stereo 16-bit at 44,100 Hz with 441,000 samples unless the name says
// otherwise.
const std::vector<Expectation> FlacExpectations = {
    {"flac-150-bytes.flac", 1, {{SamplingRate, ""}}},
    {"flac-60000-empty-blocks.flac",
     0,
     {{Title, "End"},
      {SamplingRate, "44100 Hz"},
      {Channels, Stereo},
      {Info, "16 bit/sample"},
      {Length, "00:00:10.000"}}},
    {"flac-block-length-past-file.flac", 0, {{Title, ""}, {SamplingRate, "44100 Hz"}}},
    {"flac-streaminfo-length-ffffff.flac",
     0,
     {{SamplingRate, "44100 Hz"}, {Length, "00:00:10.000"}}},
    // The walk stops at the second STREAMINFO that zeros read as. 64 KiB in ten seconds.
    {"flac-zero-filled-after-streaminfo.flac", 0, {{Title, ""}, {Bitrate, "52 kbps"}}},
    {"flac-sample-rate-zero.flac", 0, {{SamplingRate, "0 Hz"}, {Length, ""}, {Bitrate, ""}}},
    {"flac-total-samples-zero.flac", 0, {{Length, "00:00:00.000"}, {Bitrate, ""}}},
    {"flac-total-samples-max-at-1-hz.flac",
     0,
     {{SamplingRate, "1 Hz"}, {Length, "19088743:32:15.000"}, {Bitrate, "0 kbps"}}},
    {"flac-8-channels-32-bits.flac", 0, {{Channels, "8 channels"}, {Info, "32 bit/sample"}}},
    {"flac-comment-length-ffffffff.flac", 0, {{Title, ""}}},
    {"flac-vendor-length-ffffffff.flac", 0, {{Title, ""}}},
    {"flac-comment-count-ffffffff.flac", 0, {{Title, "Only"}}},
    {"flac-empty-comments-1mib.flac", 0, {{Title, ""}, {SamplingRate, "44100 Hz"}}},
    {"flac-comment-value-254.flac", 0, {{Title, Euro84 + "b"}}},
    {"flac-comment-value-255.flac", 0, {{Title, Euro84 + "bb"}}},
    {"flac-comment-value-256.flac", 0, {{Title, Euro84}}},
    {"flac-comment-value-257.flac", 0, {{Title, Euro84}}},
    {"flac-comment-entry-4096.flac", 0, {{Title, Euro84}}},
    // Longer than 4096 bytes: skipped unread, and the walk ends.
    {"flac-comment-entry-4097.flac", 0, {{Title, ""}}},
    {"flac-id3v2-before-marker.flac", 1, {{Title, ""}}},
};

const std::vector<Expectation> OggAc3DtsExpectations = {
    {"ogg-150-bytes.ogg", 1, {{Codec, "OGG Vorbis"}, {Bitrate, ""}}},
    {"ogg-no-vorbis.ogg", 1, {}},
    {"ogg-signature-at-999.ogg",
     0,
     {{Bitrate, "128 kbps"}, {SamplingRate, "44100 Hz"}, {Channels, "2 channels"}, {Length, ""}}},
    {"ogg-signature-at-1000.ogg", 1, {}},
    {"ogg-id-header-cut.ogg", 1, {}},
    {"ogg-version-1.ogg", 1, {}},
    {"ogg-bitrates-ffffffff.ogg", 0, {{Bitrate, "4294967 kbps"}}},
    {"ogg-nominal-zero.ogg", 0, {{Bitrate, "0 kbps"}}},
    {"ogg-rate-channels-zero.ogg", 0, {{SamplingRate, "0 Hz"}, {Channels, "0 channels"}}},
    {"ogg-unset-maximum.ogg", 0, {{Bitrate, "112 kbps (VBR)"}}},

    {"ac3-20-bytes.ac3", 1, {{Codec, "AC3 Dolby Digital"}}},
    {"ac3-all-ff.ac3",
     0,
     {{SamplingRate, "0 kHz"},
      {Bitrate, "undefined kbps"},
      {Length, ""},
      {Channels, "3/2 (L,C,R,l,r) + LFE ch"},
      {Info, ""}}},
    {"ac3-frmsizecod-38.ac3",
     0,
     {{SamplingRate, "48 kHz"}, {Bitrate, "undefined kbps"}, {Length, ""}, {Channels, "1+1 ch"}}},
    {"dts-11-bytes.dts", 1, {{Codec, "DTS Dolby Digital"}}},
    {"dts-all-ff.dts",
     0,
     {{Channels, "user defined"},
      {SamplingRate, "invalid"},
      {Bitrate, "0 kbps"},
      {Length, ""},
      {Info, ""}}},
    {"dts-14-bit.dts", 1, {{Channels, ""}}},
};

const std::vector<Expectation> WavPackExpectations = {
    {"wv-31-bytes.wv", 1, {{Codec, "WavPack"}}},
    {"wv-rate-index-15.wv",
     0,
     {{Codec, "WavPack ver 4.16"},
      {Channels, "2 ch (true stereo)"},
      {Info, "16 bit/sample (lossless mode)"},
      {SamplingRate, "0 Hz"},
      {Length, ""},
      {Bitrate, ""}}},
    {"wv-total-samples-zero.wv", 0, {{Length, "00:00:00.000"}, {Bitrate, ""}}},
    {"wv-total-samples-unknown.wv", 0, {{SamplingRate, "44100 Hz"}, {Length, ""}, {Bitrate, ""}}},
    {"image-no-block.iso.wv", 1, {{LastError, NotInImage("image-no-block.iso.wv")}}},
    {"image-block-at-last-offset.iso.wv",
     0,
     {{Codec, "ISO with WavPack ver 4.16"}, {SamplingRate, "44100 Hz"}, {Length, "00:00:10.000"}}},
    {"image-block-past-search.iso.wv",
     1,
     {{LastError, NotInImage("image-block-past-search.iso.wv")}}},
    {"image-block-cut-by-end.iso.wv",
     1,
     {{Codec, "ISO with WavPack"},
      {LastError, NonValid("image-block-cut-by-end.iso.wv", "WavPack")}}},
    {"wv-ape-tag-size-ffffffff.wv", 0, {{Title, ""}, {Codec, "WavPack ver 4.16"}}},
};

// Monkey's Audio 3.99 files of 300 seconds unless the name says otherwise.
const std::vector<Expectation> ApeExpectations = {
    {"ape-80-bytes.ape", 1, {{Codec, "Monkey\xE2\x80\x99s Audio (APE)"}}},
    {"ape-total-frames-zero.ape", 1, {{Codec, Monkey399}}},
    // About 1.8e19 seconds: far more hours than the text can hold, so it shows the most.
    {"ape-blocks-overflow.ape",
     0,
     {{Length, "2147483647:00:00.000"},
      {Bitrate, "0 kbps"},
      {SamplingRate, "1 Hz"},
      {Info, "16 bit/sample (normal compression)"}}},
    {"ape-sample-rate-zero.ape", 1, {{Codec, Monkey399}}},
    {"ape-channels-zero.ape", 1, {{Codec, Monkey399}}},
    {"ape-bits-zero.ape", 1, {{Codec, Monkey399}}},
    {"ape-level-ffff.ape", 0, {{Info, "16 bit/sample ( compression)"}, {Length, "00:05:00.000"}}},
    {"ape-tag-size-past-file.ape", 0, {{Title, ""}, {Length, "00:05:00.000"}}},
    {"ape-item-length-ffffffff.ape", 0, {{Title, "Song"}}},
    {"ape-key-unterminated.ape", 0, {{Title, ""}}},
    {"ape-header-size-ffffffff.ape", 0, {{Title, "Song"}}},
    {"ape-item-count-ffffffff.ape", 0, {{Artist, "Singer"}}},
    {"ape-value-254.ape", 0, {{Title, Euro84 + "b"}}},
    {"ape-value-255.ape", 0, {{Title, Euro84 + "bb"}}},
    {"ape-value-256.ape", 0, {{Title, Euro84}}},
    {"ape-value-257.ape", 0, {{Title, Euro84}}},
    {"ape-value-4096.ape", 0, {{Title, Euro84}}},
};

const std::string EmptySize = "0.00 Mb ( 0 bytes )";

const std::vector<Expectation> EmptyFilledSparseExpectations = {
    {"empty.mp3", 1, {{FileSize, EmptySize}, {LastError, NonValid("empty.mp3", "MP3")}}},
    {"empty.wav", 1, {{FileSize, EmptySize}, {LastError, NonValid("empty.wav", "PCM/WAVE")}}},
    {"empty.pcm", 1, {{FileSize, EmptySize}, {LastError, NonValid("empty.pcm", "PCM/WAVE")}}},
    {"empty.flac", 1, {{FileSize, EmptySize}, {LastError, NonValid("empty.flac", "FLAC")}}},
    {"empty.ogg", 1, {{FileSize, EmptySize}, {LastError, NonValid("empty.ogg", "OGG")}}},
    {"empty.ac3", 1, {{FileSize, EmptySize}, {LastError, NonValid("empty.ac3", "AC3")}}},
    {"empty.dts", 1, {{FileSize, EmptySize}, {LastError, NonValid("empty.dts", "DTS")}}},
    {"empty.ape", 1, {{FileSize, EmptySize}, {LastError, NonValid("empty.ape", "APE")}}},
    {"empty.wv", 1, {{FileSize, EmptySize}, {LastError, NonValid("empty.wv", "WavPack")}}},
    {"empty.iso.wv", 1, {{FileSize, EmptySize}, {LastError, NotInImage("empty.iso.wv")}}},
    {"ff-16mib.mp3", 1, {{LastError, NonValid("ff-16mib.mp3", "MP3")}}},
    {"ff-16mib.ape", 1, {{Title, ""}, {LastError, NonValid("ff-16mib.ape", "APE")}}},
    {"ff-16mib.iso.wv", 1, {{LastError, NotInImage("ff-16mib.iso.wv")}}},
    // 1 GiB less the ID3v1 tag at 128 kbps.
    {"sparse-1gib.mp3", 0, {{Title, "Far end"}, {Bitrate, "128 kbps"}, {Length, "18:38:28.856"}}},
    {"sparse-1gib.wav", 0, {{Bitrate, "1411 kbps"}, {Length, "01:41:26.972"}}},
    {"sparse-1gib.flac", 0, {{Title, ""}, {Length, "00:00:10.000"}, {Bitrate, "858993 kbps"}}},
    {"sparse-1gib-empty-comments.flac", 0, {{Title, ""}, {Length, "00:00:10.000"}}},
    {"sparse-1gib-ape-tag.ape", 0, {{Title, ""}, {Length, "00:05:00.000"}}},
    {"sparse-1gib.iso.wv", 1, {{LastError, NotInImage("sparse-1gib.iso.wv")}}},
};

class HostileFilesTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        folder_ = std::make_unique<testsupport::TempDir>();
        for (const testsupport::HostileFile& file : testsupport::MakeHostileFiles())
            paths_[file.name] = testsupport::WriteHostileFile(folder_->path(), file);
    }
    static void TearDownTestSuite() {
        paths_.clear();
        folder_.reset();
    }

    static std::vector<Expectation> AllExpectations() {
        std::vector<Expectation> all;
        for (const auto* group : {&Id3Expectations, &Mp3StreamExpectations, &WaveExpectations,
                                  &FlacExpectations, &OggAc3DtsExpectations, &WavPackExpectations,
                                  &ApeExpectations, &EmptyFilledSparseExpectations})
            all.insert(all.end(), group->begin(), group->end());
        return all;
    }

    static std::unique_ptr<testsupport::TempDir> folder_;
    static std::map<std::string, std::string> paths_;
    testsupport::MessageBoxCapture boxes_;
};

std::unique_ptr<testsupport::TempDir> HostileFilesTest::folder_;
std::map<std::string, std::string> HostileFilesTest::paths_;

TEST_F(HostileFilesTest, EveryFileHasAnExpectedOutcomeAndEveryOutcomeAFile) {
    std::set<std::string> expected;
    for (const Expectation& e : AllExpectations())
        EXPECT_TRUE(expected.insert(e.name).second) << "listed twice: " << e.name;
    std::set<std::string> made;
    for (const auto& [name, path] : paths_)
        made.insert(name);
    EXPECT_EQ(expected, made);
}

TEST_F(HostileFilesTest, EveryFileEndsWithTheOutcomeItsFormatGives) {
    for (const Expectation& e : AllExpectations()) {
        SCOPED_TRACE(e.name);
        const auto path = paths_.find(e.name);
        ASSERT_NE(path, paths_.end());
        control::AnalysisRecord record;
        record.FilePath = platform::Utf8ToUtf16(path->second);
        EXPECT_NO_THROW(record.Result = control::AnalyseFile(record));
        EXPECT_EQ(e.result, record.Result);
        // A rejection always says why; an accepted file has no error text.
        EXPECT_EQ(e.result == 1, !record.LastError.empty()) << U8(record.LastError);
        for (const Check& check : e.checks)
            EXPECT_EQ(check.text, U8(record.*check.field));
    }
}

} // namespace
