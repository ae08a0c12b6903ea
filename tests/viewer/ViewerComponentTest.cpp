// The viewer program with the component: registration at start and removal at exit, a missing
// library, and console reports made through the dispatch interface.
#include "control/AnalysisDriver.h"
#include "control/SonoprobeCtrlIds.h"
#include "platform/CodePage.h"
#include "platform/ComActivation.h"
#include "platform/Registry.h"
#include "tests/support/TestSupport.h"
#include "viewer/ConsoleReporter.h"
#include "viewer/ShellVerbs.h"
#include "viewer/TextReport.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace platform;
namespace fs = std::filesystem;

namespace {

const std::string BinDir = SONO_BIN_DIR;
const std::string Samples = std::string(SONO_SOURCE_DIR) + "/samples/";

class ViewerComponentTest : public ::testing::Test {
  protected:
    testsupport::ScopedConfigHome home;
    testsupport::TempDir dir;
    testsupport::TempDir outputs;

    int Run(const std::string& program, const std::string& arguments, std::string* out,
            std::string* err) {
        const std::string errFile = outputs.path() + "/stderr";
        int status =
            testsupport::RunCommand("cd '" + dir.path() + "' && DISPLAY= WAYLAND_DISPLAY= '" +
                                        program + "' " + arguments + " 2>'" + errFile + "'",
                                    out);
        testsupport::Bytes bytes = testsupport::ReadFileBytes(errFile);
        err->assign(bytes.begin(), bytes.end());
        return status;
    }
    static bool ClassKeyExists() {
        return Registry::KeyExists(Hive::ClassesRoot, ClassKey(control::CLSID_SonoprobeCtrl));
    }
    void CopySamples() {
        for (const auto& entry : fs::directory_iterator(Samples))
            fs::copy_file(entry.path(), dir.path() + "/" + entry.path().filename().string());
    }
};

// The report that console mode writes for one path, made by the analysis directly.
std::string DirectReport(const std::u16string& path) {
    control::AnalysisRecord record;
    record.FilePath = path;
    record.Result = control::AnalyseFile(record);
    viewer::AudioFileFields fields{path,
                                   record.FileName,
                                   record.FileSize,
                                   record.Title,
                                   record.Artist,
                                   record.Album,
                                   record.Genre,
                                   record.Year,
                                   record.Comment,
                                   record.TrackNum,
                                   record.SamplingRate,
                                   record.Codec,
                                   record.Channels,
                                   record.Bitrate,
                                   record.AdditionalInfo,
                                   record.Length};
    std::u16string report;
    viewer::BuildTextReport(fields, viewer::FieldDelimiter(), viewer::LineDelimiter(), report);
    return ToLocaleCharset(report) + "\n";
}

} // namespace

TEST_F(ViewerComponentTest, UnregisteredControlIsRegisteredForTheRunAndRemovedAtExit) {
    CopySamples();
    ASSERT_FALSE(ClassKeyExists());
    std::string out, err;
    EXPECT_EQ(0, Run(BinDir + "/Sonoprobe", "-a '*.wav' tone.flac", &out, &err));
    EXPECT_EQ("", err);
    EXPECT_NE(std::string::npos, out.find("File      : mono-22050.wav\n"));
    EXPECT_NE(std::string::npos, out.find("File      : tone.flac\n"));
    EXPECT_FALSE(ClassKeyExists());
    EXPECT_FALSE(Registry::KeyExists(Hive::ClassesRoot, u"SONOPROBECTRL.SonoprobeCtrlCtrl.1"));
    // The shell verbs stay.
    const std::u16string command =
        u"\"" + Utf8ToUtf16(fs::canonical(BinDir + "/Sonoprobe").string()) + u"\" \"%1\"";
    EXPECT_EQ(RegistryValue(command),
              Registry::GetValue(Hive::ClassesRoot,
                                 u"SystemFileAssociations\\.mp3\\Shell\\Sonoprobe\\command", u""));
    EXPECT_TRUE(fs::exists(viewer::ShellVerbs::DesktopEntryPath()));
}

TEST_F(ViewerComponentTest, ControlRegisteredBeforehandStaysRegistered) {
    ASSERT_EQ(0, testsupport::RunCommand("'" + BinDir + "/dispcall' --register '" + BinDir +
                                         "/libSonoprobeCtrl.so'"));
    const auto before = Registry::GetValue(
        Hive::ClassesRoot, ClassKey(control::CLSID_SonoprobeCtrl) + u"\\InprocServer32", u"");
    std::string out, err;
    EXPECT_EQ(0, Run(BinDir + "/Sonoprobe", "-a '" + Samples + "tone.dts'", &out, &err));
    EXPECT_NE(std::string::npos, out.find("File      : tone.dts\n"));
    EXPECT_EQ(before, Registry::GetValue(
                          Hive::ClassesRoot,
                          ClassKey(control::CLSID_SonoprobeCtrl) + u"\\InprocServer32", u""));
}

TEST_F(ViewerComponentTest, MissingLibraryIsReportedAndTheStartGoesOn) {
    // The program and its platform library without the component beside them.
    testsupport::TempDir programFolder;
    for (const char* file : {"Sonoprobe", "libSonoprobePlatform.so"})
        fs::copy_file(BinDir + "/" + file, programFolder.path() + "/" + file);
    std::string out, err;
    EXPECT_EQ(1,
              Run(programFolder.path() + "/Sonoprobe", "-a '" + Samples + "tone.ogg'", &out, &err));
    EXPECT_EQ(0u, err.find("ERROR!: Cannot load library\nlibSonoprobeCtrl.so\n")) << err;
    EXPECT_NE(std::string::npos, err.find("Cannot create the Sonoprobe component!")) << err;
    EXPECT_EQ("", out);
    // The start went on: the verbs of the moved program were written.
    EXPECT_TRUE(Registry::KeyExists(Hive::ClassesRoot,
                                    u"SystemFileAssociations\\.ogg\\Shell\\Sonoprobe\\command"));
}

TEST_F(ViewerComponentTest, ConsoleReportsThroughTheComponentEqualTheDirectAnalysis) {
    CopySamples();
    dir.Write("junk.wav", std::string(20, 'x'));
    dir.Write("empty.wav", std::string());
    dir.Write("Track.MP2", std::string(300, '\0'));
    dir.Write("short.mp3", std::string("ID3"));
    fs::create_directory(dir.path() + "/folder.ogg");
    const std::string pattern = dir.path() + "/*";
    std::string out, err;
    ASSERT_EQ(0, Run(BinDir + "/Sonoprobe", "-a '" + pattern + "'", &out, &err));

    testsupport::MessageBoxCapture boxes;
    std::string expected;
    for (const std::string& name : viewer::ConsoleReporter::ListMatches(dir.path() + "/", "*"))
        expected += DirectReport(Utf8ToUtf16(dir.path() + "/" + name));
    std::string expectedErrors;
    for (const auto& box : boxes.shown())
        expectedErrors += testsupport::U8(box.caption + u": " + box.text) + "\n";
    EXPECT_EQ(expected, out);
    EXPECT_EQ(expectedErrors, err);
    EXPECT_GE(boxes.shown().size(), 3u) << "the failures were part of the comparison";
}
