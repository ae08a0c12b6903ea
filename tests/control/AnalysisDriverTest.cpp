#include "control/AnalysisDriver.h"
#include "control/ModuleState.h"
#include "control/parsers/Parsers.h"
#include "platform/CodePage.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

using testsupport::U8;

namespace {

control::AnalysisRecord Analyse(const std::u16string& path) {
    control::AnalysisRecord record;
    record.FilePath = path;
    record.Result = control::AnalyseFile(record);
    return record;
}

TEST(SelectParserTest, ChoosesByTheLastCharactersWithoutLetterCase) {
    struct Case {
        const char16_t* name;
        control::ParserFunction parser;
    } cases[] = {
        {u"Track.MP3", control::ParseMP3},   {u"a.ac3", control::ParseAC3},
        {u"a.Dts", control::ParseDTS},       {u"a.ogg", control::ParseOGG},
        {u"Song.flac", control::ParseFLAC},  {u"Songflac", control::ParseFLAC},
        {u"a.wav", control::ParseWAV},       {u"a.PCM", control::ParseWAV},
        {u"a.ape", control::ParseAPE},       {u"a.WV", control::ParseWavPack},
        {u"xy.wv", control::ParseWavPack},   {u".wv", control::ParseWavPack},
        {u"a.mp2", nullptr},                 {u"a.mpa", nullptr},
        {u"a.m4a", nullptr},                 {u"noextension", nullptr},
        {u"", nullptr},                      {u"v", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(U8(c.name));
        EXPECT_EQ(c.parser, control::SelectParser(c.name));
    }
}

class AnalysisDriverTest : public ::testing::Test {
protected:
    testsupport::TempDir dir;
    testsupport::MessageBoxCapture boxes;
};

TEST_F(AnalysisDriverTest, CannotOpenGivesResultTwoAndNamesTheFile) {
    std::string folderName = dir.path().substr(dir.path().rfind('/') + 1);
    struct Case {
        std::u16string path;
        std::string error;
    } cases[] = {
        {platform::Utf8ToUtf16(dir.path() + "/missing.mp3"), "Cannot open file missing.mp3!"},
        {u"", "Cannot open file !"},
        // A folder is not a file.
        {platform::Utf8ToUtf16(dir.path()), "Cannot open file " + folderName + "!"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.error);
        auto record = Analyse(c.path);
        EXPECT_EQ(2, record.Result);
        EXPECT_TRUE(record.FileSize.empty());
        EXPECT_EQ(c.error, U8(record.LastError));
        ASSERT_FALSE(boxes.shown().empty());
        EXPECT_EQ(u"Error!", boxes.shown().back().caption);
        EXPECT_EQ(record.LastError, boxes.shown().back().text);
    }
}

TEST_F(AnalysisDriverTest, QuotesAreRemovedBeforeTheNameIsTaken) {
    std::string path = dir.Write("a.mp2", std::string(100, 'x'));
    auto record = Analyse(u"\"" + platform::Utf8ToUtf16(path) + u"\"");
    EXPECT_EQ(0, record.Result);
    EXPECT_EQ("a.mp2", U8(record.FileName));
    EXPECT_EQ("0.00 Mb ( 100 bytes )", U8(record.FileSize));
    EXPECT_TRUE(record.Codec.empty());
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(AnalysisDriverTest, NoMessageBoxWhenSwitchedOff) {
    control::SetShowMessageBoxEnabled(false);
    auto record = Analyse(u"/nonexistent/x.wav");
    control::SetShowMessageBoxEnabled(true);
    EXPECT_EQ(2, record.Result);
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(AnalysisDriverTest, ASecondAnalysisKeepsNothingOfAFailedOne) {
    std::string bad = dir.Write("bad.wav", std::string(10, 'x'));
    testsupport::Bytes good;
    testsupport::PutText(good, "RIFF");
    testsupport::PutLE(good, 36, 4);
    testsupport::PutText(good, "WAVEfmt ");
    testsupport::PutLE(good, 16, 4);
    for (uint64_t v : {1, 1})
        testsupport::PutLE(good, v, 2);
    testsupport::PutLE(good, 8000, 4);
    testsupport::PutLE(good, 16000, 4);
    for (uint64_t v : {2, 16})
        testsupport::PutLE(good, v, 2);
    std::string goodPath = dir.Write("good.wav", good);

    control::AnalysisRecord record;
    record.FilePath = platform::Utf8ToUtf16(bad);
    record.Result = control::AnalyseFile(record);
    EXPECT_EQ(1, record.Result);
    record.ResetResults();
    record.FilePath = platform::Utf8ToUtf16(goodPath);
    record.Result = control::AnalyseFile(record);
    EXPECT_EQ(0, record.Result);
    EXPECT_TRUE(record.LastError.empty());
    EXPECT_EQ("8000 Hz", U8(record.SamplingRate));
}

TEST(FormatFileSizeTest, GroupsDigitsAndShowsMebibytes) {
    struct Case {
        uint64_t size;
        const char* text;
    } cases[] = {
        {0, "0.00 Mb ( 0 bytes )"},
        {999, "0.00 Mb ( 999 bytes )"},
        {10584044, "10.09 Mb ( 10,584,044 bytes )"},
        {1ull << 40, "1048576.00 Mb ( 1,099,511,627,776 bytes )"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.text, U8(control::FormatFileSize(c.size)));
}

TEST(TrimWhiteSpaceTest, RemovesEveryKindOfSpaceAtBothEnds) {
    EXPECT_EQ(u"a b", control::TrimWhiteSpace(u" \t\r\n\v\fa b \t\r\n"));
    EXPECT_EQ(u"", control::TrimWhiteSpace(u" \t "));
    EXPECT_EQ(u"english", control::TrimWhiteSpace(u"english"));
}

} // namespace
