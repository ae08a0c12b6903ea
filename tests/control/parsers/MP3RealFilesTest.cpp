// MP3 files from real encoders and taggers: the fixtures beside make.sh, a file with a tag of
// over 2 MiB that make.sh writes at run time, and the peer library's samples.
#include "control/AnalysisDriver.h"
#include "control/ModuleState.h"
#include "platform/CodePage.h"
#include "tests/support/TestSupport.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

using testsupport::U8;

namespace {

const std::string FixtureDir = std::string(SONO_SOURCE_DIR) + "/tests/fixtures/mp3";

control::AnalysisRecord Analyse(const std::string& path) {
    control::AnalysisRecord record;
    record.FilePath = platform::Utf8ToUtf16(path);
    record.Result = control::AnalyseFile(record);
    return record;
}

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
