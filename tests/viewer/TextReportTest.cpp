#include "platform/Profile.h"
#include "platform/ProgramPath.h"
#include "tests/support/TestSupport.h"
#include "viewer/TextReport.h"
#include "viewer/ViewerSettings.h"

#include <gtest/gtest.h>

using testsupport::U8;

namespace {

viewer::AudioFileFields WaveFields() {
    viewer::AudioFileFields fields;
    fields.FileName = u"a.wav";
    fields.FileSize = u"10.09 Mb ( 10,584,044 bytes )";
    fields.Length = u"00:01:00.000";
    fields.SamplingRate = u"44100 Hz";
    fields.Codec = u"PCM (Pulse Code Modulation)";
    fields.Channels = u"2 channels";
    fields.Bitrate = u"1411 kbps";
    fields.AdditionalInfo = u"16 bit/sample";
    return fields;
}

TEST(BuildTextReportTest, LinesInOrderAndOnlyWhenSet) {
    viewer::AudioFileFields fields = WaveFields();
    fields.Title = u"T";
    fields.Artist = u"Ar";
    fields.Album = u"Al";
    fields.Genre = u"G";
    fields.Year = u"Y";
    fields.Comment = u"C";
    fields.TrackNum = u"7";
    std::u16string report = u"old content";
    viewer::BuildTextReport(fields, u", ", u"\n", report);
    EXPECT_EQ("File      : a.wav\n"
              "Title     : T\n"
              "Size      : 10.09 Mb ( 10,584,044 bytes )\n"
              "Length    : 00:01:00.000\n"
              "Artist    : Ar\n"
              "Album     : Al\n"
              "Genre     : G\n"
              "Year      : Y\n"
              "Comment   : C\n"
              "Track     : 7\n"
              "Parameters: 44100 Hz, PCM (Pulse Code Modulation), 2 channels, ~1411 kbps\n"
              "Additional: 16 bit/sample\n",
              U8(report));
}

TEST(BuildTextReportTest, EmptyFieldsKeepTheParametersLine) {
    viewer::AudioFileFields fields;
    fields.FileName = u"x";
    std::u16string report;
    viewer::BuildTextReport(fields, u"|", u";", report);
    EXPECT_EQ("File      : x;Parameters: |||~;", U8(report));
}

class DelimiterTest : public ::testing::Test {
protected:
    testsupport::ScopedConfigHome config;
    testsupport::TempDir dir;
    void SetUp() override { viewer::ViewerSettings::SetIniPath(dir.path() + "/none.ini"); }
    void Set(const std::u16string& key, const std::u16string& value) {
        viewer::ViewerSettings::WriteStringSetting(key, value);
    }
};

TEST_F(DelimiterTest, DefaultsAndSettings) {
    EXPECT_EQ(u"\n", viewer::LineDelimiter());
    EXPECT_EQ(u", ", viewer::FieldDelimiter());

    struct Case {
        std::u16string lineBinary, line, fieldBinary, field;
        std::u16string expectedLine, expectedField;
    } cases[] = {
        {u"3B", u"", u"09", u"", u";", u"\t"},
        {u"D0A", u"", u"", u"", u"\n", u", "},        // odd length: a "0" goes in front
        {u"", u"|", u"9", u"", u"|", u"\x90"},         // odd field: a "0" goes at the end
        {u"", u"", u"", u" / ", u"\n", u" / "},
        {u"0D0A0D0A", u"", u"zz", u"", u"\n\n", u"?"}, // a pair that is not hexadecimal
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(U8(c.lineBinary + u"/" + c.fieldBinary));
        Set(u"Console delimiter binary", c.lineBinary);
        Set(u"Console delimiter", c.line);
        Set(u"Field delimiter binary", c.fieldBinary);
        Set(u"Field delimiter", c.field);
        EXPECT_EQ(c.expectedLine, viewer::LineDelimiter());
        EXPECT_EQ(c.expectedField, viewer::FieldDelimiter());
    }
}

TEST(ViewerSettingsTest, IniOverridesOnlyTheKeysItHolds) {
    testsupport::ScopedConfigHome config;
    testsupport::TempDir dir;
    std::string ini = dir.Write("Sonoprobe.ini", "[Settings]\nFontSize=11\n");
    viewer::ViewerSettings::SetIniPath(ini);

    EXPECT_EQ(11, viewer::ViewerSettings::ReadIntSetting(u"FontSize", 9));
    viewer::ViewerSettings::WriteIntSetting(u"FontSize", 10);
    EXPECT_EQ(10, platform::GetPrivateProfileInt(u"Settings", u"FontSize", 0, ini));

    EXPECT_EQ(0, viewer::ViewerSettings::ReadIntSetting(u"AlwaysOnTop", 0));
    viewer::ViewerSettings::WriteIntSetting(u"AlwaysOnTop", 1);
    EXPECT_EQ(1, viewer::ViewerSettings::ReadIntSetting(u"AlwaysOnTop", 0));
    EXPECT_EQ(-5, platform::GetPrivateProfileInt(u"Settings", u"AlwaysOnTop", -5, ini));

    // 16777215 in the INI file reads as absent: the registry value wins.
    dir.Write("Sonoprobe.ini", "[Settings]\nAlwaysOnTop=16777215\n");
    EXPECT_EQ(1, viewer::ViewerSettings::ReadIntSetting(u"AlwaysOnTop", 0));
}

TEST(ViewerSettingsTest, IniPathIsBesideTheProgramWithItsName) {
    viewer::ViewerSettings::SetIniPath("");
    EXPECT_EQ(platform::ProgramFolder() + platform::ApplicationName() + ".ini",
              viewer::ViewerSettings::IniPath());
}

} // namespace
