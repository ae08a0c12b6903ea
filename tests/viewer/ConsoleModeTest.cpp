// Runs the real program in console mode, the way scripts use it.
#include "platform/CodePage.h"
#include "platform/Profile.h"
#include "tests/support/HostileFiles.h"
#include "tests/support/TestSupport.h"
#include "viewer/ConsoleReporter.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using testsupport::Bytes;

namespace {

Bytes Wave(uint32_t sampleRate, uint16_t channels, uint16_t bits) {
    Bytes out;
    testsupport::PutText(out, "RIFF");
    testsupport::PutLE(out, 1000, 4);
    testsupport::PutText(out, "WAVEfmt ");
    testsupport::PutLE(out, 16, 4);
    testsupport::PutLE(out, 1, 2);
    testsupport::PutLE(out, channels, 2);
    testsupport::PutLE(out, sampleRate, 4);
    testsupport::PutLE(out, uint64_t{sampleRate} * channels * bits / 8, 4);
    testsupport::PutLE(out, channels * bits / 8, 2);
    testsupport::PutLE(out, bits, 2);
    return out;
}

class ConsoleModeTest : public ::testing::Test {
  protected:
    testsupport::ScopedConfigHome config;
    testsupport::TempDir dir;

    // Runs Sonoprobe with the arguments (already quoted for the shell) from the temp folder.
    // The environment assignments go before the program.
    int Run(const std::string& arguments, std::string* out, std::string* err = nullptr,
            const std::string& environment = "") {
        std::string errFile = dir.path() + "/.stderr";
        std::string command = "cd '" + dir.path() +
                              "' && DISPLAY= WAYLAND_DISPLAY= " + environment + " '" +
                              SONO_BIN_DIR + "/Sonoprobe' " + arguments + " 2>'" + errFile + "'";
        int status = testsupport::RunCommand(command, out);
        if (err) {
            Bytes bytes = testsupport::ReadFileBytes(errFile);
            err->assign(bytes.begin(), bytes.end());
        }
        return status;
    }
};

TEST_F(ConsoleModeTest, WorkedWaveExamplePrintsExactlyTheseLines) {
    std::string path = dir.Write("a.wav", Wave(44100, 2, 16));
    ASSERT_EQ(0, truncate(path.c_str(), 10584044));
    std::string out, err;
    EXPECT_EQ(0, Run("-a a.wav", &out, &err));
    EXPECT_EQ("File      : a.wav\n"
              "Size      : 10.09 Mb ( 10,584,044 bytes )\n"
              "Length    : 00:01:00.000\n"
              "Parameters: 44100 Hz, PCM (Pulse Code Modulation), 2 channels, ~1411 kbps\n"
              "Additional: 16 bit/sample\n"
              "\n",
              out);
    EXPECT_EQ("", err);
}

TEST_F(ConsoleModeTest, FailuresStillReportAndSayWhyOnStandardError) {
    dir.Write("x.wav", std::string(20, 'x'));
    std::string out, err;
    EXPECT_EQ(0, Run("-a x.wav missing.wav", &out, &err));
    EXPECT_EQ("File      : x.wav\n"
              "Size      : 0.00 Mb ( 20 bytes )\n"
              "Parameters: , PCM (Pulse Code Modulation), , ~\n"
              "\n",
              out);
    EXPECT_NE(std::string::npos, err.find("x.wav is non-valid PCM/WAVE file!"));
    // A plain name that matches nothing is not reported at all.
    EXPECT_EQ(std::string::npos, out.find("missing.wav"));
}

TEST_F(ConsoleModeTest, UnreadableFileSaysCannotOpen) {
    std::string path = dir.Write("locked.wav", Wave(8000, 1, 8));
    chmod(path.c_str(), 0);
    if (access(path.c_str(), R_OK) == 0)
        GTEST_SKIP() << "running with rights that read any file";
    std::string out, err;
    Run("-a locked.wav", &out, &err);
    EXPECT_NE(std::string::npos, err.find("Cannot open file locked.wav!"));
    EXPECT_EQ("File      : locked.wav\nParameters: , , , ~\n\n", out);
}

TEST_F(ConsoleModeTest, RecursionReportsSubfoldersFirstAndSkipsDotFolders) {
    dir.Write("top.WAV", Wave(8000, 1, 8));
    dir.Write("b/deep/d.wav", Wave(8000, 1, 8));
    dir.Write("a/a.wav", Wave(8000, 1, 8));
    dir.Write(".hidden/h.wav", Wave(8000, 1, 8));
    dir.Write("a/ignored.mp2", std::string(10, 'x'));
    std::string out;
    EXPECT_EQ(0, Run("-a -d '*.wav'", &out));
    std::vector<std::string> files;
    for (size_t at = out.find("File      : "); at != std::string::npos;
         at = out.find("File      : ", at + 1))
        files.push_back(out.substr(at + 12, out.find('\n', at) - at - 12));
    EXPECT_EQ((std::vector<std::string>{"a.wav", "d.wav", "top.WAV"}), files);
}

TEST_F(ConsoleModeTest, DelimitersFromTheRegistryProfile) {
    dir.Write("a.wav", Wave(8000, 1, 8));
    platform::Profile profile(u"Orvane", u"Sonoprobe");
    profile.WriteProfileString(u"Settings", u"Console delimiter binary", u"3B");
    profile.WriteProfileString(u"Settings", u"Field delimiter binary", u"09");
    std::string out;
    Run("-a a.wav", &out);
    EXPECT_EQ("File      : a.wav;Size      : 0.00 Mb ( 36 bytes );Length    : 00:00:00.000;"
              "Parameters: 8000 Hz\tPCM (Pulse Code Modulation)\t1 channels\t~64 kbps;"
              "Additional: 8 bit/sample;\n",
              out);
}

TEST_F(ConsoleModeTest, UsageGoesToStandardOutputThenConsoleModeRuns) {
    dir.Write("a.wav", Wave(8000, 1, 8));
    std::string out;
    EXPECT_EQ(0, Run("-? a.wav", &out));
    EXPECT_EQ(0u, out.find("Usage: Sonoprobe <FilePath> [-?] [-a] [-d]\n"));
    EXPECT_NE(std::string::npos, out.find("File      : a.wav\n"));
    EXPECT_EQ(0, Run("-a", &out));
    EXPECT_EQ("", out);
}

// A locale whose decimal separator is a comma changes the grouping of sizes only: every other
// number keeps its point, so that scripts read the same report in every locale.
TEST_F(ConsoleModeTest, DecimalCommaLocaleGroupsSizesButKeepsDecimalPoints) {
    const std::string locales = dir.path() + "/locales";
    ASSERT_EQ(0, mkdir(locales.c_str(), 0700));
    if (testsupport::RunCommand("localedef -i de_DE -f UTF-8 '" + locales +
                                "/de_DE.UTF-8' >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "no locale sources to build de_DE.UTF-8 from (package locales)";
    std::string path = dir.Write("a.wav", Wave(44100, 2, 16));
    ASSERT_EQ(0, truncate(path.c_str(), 10584044));
    for (const testsupport::HostileFile& file : testsupport::MakeHostileFiles())
        if (file.name == "mp3-xing-frames-zero.mp3")
            testsupport::WriteHostileFile(dir.path(), file);
    std::string out;
    EXPECT_EQ(0, Run("-a a.wav mp3-xing-frames-zero.mp3", &out, nullptr,
                     "LOCPATH='" + locales + "' LC_ALL=de_DE.UTF-8"));
    EXPECT_NE(std::string::npos, out.find("Size      : 10.09 Mb ( 10.584.044 bytes )\n")) << out;
    EXPECT_NE(std::string::npos, out.find("~1411 kbps")) << out;
    EXPECT_NE(std::string::npos, out.find("128.0 kbps (VBR)")) << out;
}

TEST(WildcardTest, MatchesWithoutLetterCase) {
    struct Case {
        const char* name;
        const char* pattern;
        bool match;
    } cases[] = {
        {"A.MP3", "*.mp3", true},
        {"a.mp3x", "*.mp3", false},
        {"noext", "*.*", true},
        {"song.flac", "s?ng.*", true},
        {"sng.flac", "s?ng.*", false},
        {"abc", "*b*", true},
        {"aXbXc", "a*b*c", true},
        {"", "*", true},
        {"ab", "a", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.match, viewer::ConsoleReporter::MatchesWildcard(c.name, c.pattern))
            << c.name << " ~ " << c.pattern;
}

} // namespace
