// MP3 files from real encoders and taggers: the fixtures beside make.sh, a file with a tag of
// over 2 MiB that make.sh writes at run time, and the peer library's samples.
#include "control/AnalysisDriver.h"
#include "control/ModuleState.h"
#include "platform/CodePage.h"
#include "tests/control/AnalyseForTest.h"
#include "tests/support/TestSupport.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

using testsupport::U8;

namespace {

const std::string FixtureDir = std::string(SONO_SOURCE_DIR) + "/tests/fixtures/mp3";

using controltest::Analyse;

std::vector<std::string> SplitTabs(const std::string& line) {
    std::vector<std::string> fields;
    std::stringstream stream(line);
    std::string field;
    while (std::getline(stream, field, '\t'))
        fields.push_back(field);
    if (!line.empty() && line.back() == '\t')
        fields.emplace_back();
    return fields;
}

// Each line of expected.tsv: file, title, artist, album, genre, comment, track, sampling
// rate, channels, as mutagen and ffprobe read them.
void ExpectAsRecorded(const std::string& dir) {
    std::ifstream expected(dir + "/expected.tsv");
    ASSERT_TRUE(expected) << dir;
    std::string line;
    int files = 0;
    while (std::getline(expected, line)) {
        const std::vector<std::string> f = SplitTabs(line);
        ASSERT_EQ(9u, f.size()) << line;
        SCOPED_TRACE(f[0]);
        const auto r = Analyse(dir + "/" + f[0]);
        EXPECT_EQ(0, r.Result) << U8(r.LastError);
        EXPECT_EQ(f[1], U8(r.Title));
        EXPECT_EQ(f[2], U8(r.Artist));
        EXPECT_EQ(f[3], U8(r.Album));
        EXPECT_EQ(f[4], U8(r.Genre));
        EXPECT_EQ(f[5], U8(r.Comment));
        EXPECT_EQ(f[6], U8(r.TrackNum));
        EXPECT_EQ(f[7] + " Hz", U8(r.SamplingRate));
        EXPECT_EQ(f[8] + " channels", U8(r.Channels));
        ++files;
    }
    EXPECT_GT(files, 0);
}

class MP3RealFilesTest : public ::testing::Test {
  protected:
    void SetUp() override { control::SetShowMessageBoxEnabled(false); }
    void TearDown() override { control::SetShowMessageBoxEnabled(true); }
};

TEST_F(MP3RealFilesTest, TaggersAgreeWithAStandardTagReader) {
    ExpectAsRecorded(FixtureDir);
}

TEST_F(MP3RealFilesTest, TagOverTwoMiBFromARealTagger) {
    if (testsupport::RunCommand("/usr/bin/python3 -c 'import mutagen' 2>/dev/null && "
                                "command -v lame >/dev/null && command -v ffprobe >/dev/null") != 0)
        GTEST_SKIP() << "lame, ffprobe or mutagen is missing";
    testsupport::TempDir dir;
    ASSERT_EQ(0,
              testsupport::RunCommand("sh '" + FixtureDir + "/make.sh' big '" + dir.path() + "'"));
    ASSERT_GT(std::filesystem::file_size(dir.path() + "/big-cover.mp3"), 2u * 1024 * 1024);
    ExpectAsRecorded(dir.path());
}

} // namespace

namespace {

// What each MPEG sample of the peer library shows, worked out from its bytes: the first Layer
// III header within 2048 bytes after the ID3v2 tag, a Xing header inside that frame, the
// ID3v2 frames of the field map (version 2.2 tags give none), an ID3v1 tag beside an empty
// ID3v2 tag. Files whose tag claims more bytes than they hold are non-valid but keep the texts
// read up to their end.
TEST_F(MP3RealFilesTest, PeerSamplesAsTheirBytesSay) {
    struct Case {
        const char* file;
        int result;
        const char* codec;
        const char* rate;
        const char* channels;
        const char* bitrate;
        const char* length;
        const char* title;
        const char* artist;
        const char* album;
        const char* genre;
        const char* comment;
        const char* track;
    } cases[] = {
        // ID3v1 or ID3v2 titles beside an APE tag, which an MP3 analysis does not read.
        {"ape-id3v1.mp3", 0, "MPA-1 Layer III", "44100 Hz", "2 channels", "32 kbps", "00:00:02.073",
         "Title", "", "", "", "", ""},
        {"ape-id3v2.mp3", 0, "MPA-1 Layer III", "44100 Hz", "2 channels", "32 kbps", "00:00:02.075",
         "Title", "", "", "", "", ""},
        {"ape.mp3", 0, "MPA-1 Layer III", "44100 Hz", "2 channels", "32 kbps", "00:00:02.073", "",
         "", "", "", "", ""},
        {"bladeenc.mp3", 0, "MPA-1 Layer III", "44100 Hz", "1 channels", "64 kbps", "00:00:03.553",
         "", "", "", "", "", ""},
        // Tags of 5102 and 5684 bytes in files of 4088 and 5000 bytes: no audio after them.
        {"compressed_id3_frame.mp3", 1, "", "", "", "", "", "Braveheart Theme (Techno remix",
         "Moby", "<Undefined>", "Techno-Dance", "", ""},
        {"compressed_id3_frame_invalid.mp3", 1, "", "", "", "", "",
         "Braveheart Theme (Techno remix", "Moby", "<Undefined>", "Techno-Dance", "", ""},
        // A second tag of 4096 bytes follows the first: the audio lies beyond the window.
        {"duplicate_id3v2.mp3", 1, "", "", "", "", "", "TitleXXXX", "ArtistXXXX", "AlbumXXXX", "",
         "", ""},
        // The album is marked UTF-8 but holds the 8-bit byte 9C.
        {"excessive_alloc.mp3", 1, "", "", "", "", "", "Bush", "Rihanna",
         "Music\xEF\xBF\xBDof the Sun", "Reggae", "www.torrentazos.com", "10/13"},
        // Frames behind an extended header; the tag claims more than the 159 bytes.
        {"extended-header.mp3", 1, "", "", "", "", "", "Druids", "Excelsis", "Vo Chrieger U Drache",
         "Folk/Power Metal", "", "03"},
        {"garbage.mp3", 0, "MPA-2 Layer III", "24000 Hz", "2 channels", "144 kbps", "00:00:00.455",
         "", "", "", "", "", ""},
        {"id3v22-tda.mp3", 0, "MPA-1 Layer III", "44100 Hz", "2 channels", "32 kbps",
         "00:00:00.898", "", "", "", "", "", ""},
        // Layer I look-alikes are passed over on the way to the first Layer III header.
        {"invalid-frames1.mp3", 0, "MPA-1 Layer III", "44100 Hz", "2 channels", "160 kbps",
         "00:00:00.408", "", "", "", "", "", ""},
        {"invalid-frames2.mp3", 0, "MPA-2 Layer III", "22050 Hz", "1 channels", "56 kbps",
         "00:00:01.128", "", "", "", "", "", ""},
        {"invalid-frames3.mp3", 0, "MPA-1 Layer III", "44100 Hz", "2 channels", "320 kbps",
         "00:00:00.205", "", "", "", "", "", ""},
        {"itunes10.mp3", 0, "MPA-1 Layer III", "44100 Hz", "2 channels", "192 kbps", "00:00:00.079",
         "", "", "", "", "", ""},
        // An Info header is no Xing header.
        {"lame_cbr.mp3", 0, "MPA-1 Layer III", "44100 Hz", "1 channels", "64 kbps", "00:00:00.487",
         "", "", "", "", "", ""},
        // Cut from longer files: the Xing counts (72243 frames, 206232 frames) say how long.
        {"lame_vbr.mp3", 0, "MPA-1 Layer III", "44100 Hz", "1 channels", "70.3 kbps (VBR)",
         "00:31:27.164", "", "", "", "", "", ""},
        {"mpeg2.mp3", 0, "MPA-2 Layer III", "22050 Hz", "1 channels", "25.1 kbps (VBR)",
         "01:29:47.285", "", "", "", "", "", ""},
        // A bare genre number stays as written.
        {"rare_frames.mp3", 0, "MPA-1 Layer III", "44100 Hz", "2 channels", "160 kbps",
         "00:00:00.360", "", "", "", "13", "A COMMENT", ""},
        {"toc_many_children.mp3", 0, "MPA-1 Layer III", "44100 Hz", "1 channels", "192 kbps",
         "00:00:00.079", "", "", "", "", "", ""},
        {"w000.mp3", 1, "", "", "", "", "", "Knowing You", "Sergio Galoyan f. Tamra Keenan",
         "Knowing You", "Dance",
         "Promo Only - www.promoonly.com - Distribution of this file is strictly prohibited.", "1"},
        // Its "Xing" lies far behind the first frame.
        {"xing.mp3", 0, "MPA-1 Layer III", "44100 Hz", "2 channels", "32 kbps", "00:00:02.052", "",
         "", "", "", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const auto r = Analyse(std::string(SONO_PEER_SAMPLES) + "/" + c.file);
        EXPECT_EQ(c.result, r.Result);
        EXPECT_EQ(c.codec, U8(r.Codec));
        EXPECT_EQ(c.rate, U8(r.SamplingRate));
        EXPECT_EQ(c.channels, U8(r.Channels));
        EXPECT_EQ(c.bitrate, U8(r.Bitrate));
        EXPECT_EQ(c.length, U8(r.Length));
        EXPECT_EQ(c.title, U8(r.Title));
        EXPECT_EQ(c.artist, U8(r.Artist));
        EXPECT_EQ(c.album, U8(r.Album));
        EXPECT_EQ(c.genre, U8(r.Genre));
        EXPECT_EQ(c.comment, U8(r.Comment));
        EXPECT_EQ(c.track, U8(r.TrackNum));
    }
}

} // namespace
