// Inputs that once crashed an analysis or broke a rule (most found by the fuzz targets in
// fuzz/), kept under tests/fixtures/regressions/ and named after what they show. Each is
// analysed through the driver and must end with the outcome written here.
#include "control/AnalysisDriver.h"
#include "platform/CodePage.h"
#include "tests/support/TestSupport.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <set>

using testsupport::U8;

namespace {

using Field = std::u16string control::AnalysisRecord::*;

struct Check {
    Field field;
    std::string text;
};

struct Regression {
    std::string name;
    int result;
    std::vector<Check> checks;
};

const std::string Folder = std::string(SONO_SOURCE_DIR) + "/tests/fixtures/regressions";

const std::vector<Regression> Regressions = {
    // 1,300,711,475 frames of 294,912 blocks at 15 Hz: some 2.6e13 seconds, more hours than
    // the length text holds. The minutes once overflowed their integer.
    {"frame-count-times-frame-size-beyond-int-hours.ape",
     0,
     {{&control::AnalysisRecord::Codec, "Monkey\xE2\x80\x99s Audio ver 3.99"},
      {&control::AnalysisRecord::SamplingRate, "15 Hz"},
      {&control::AnalysisRecord::Channels, "38432 channels"},
      {&control::AnalysisRecord::AdditionalInfo, "17217 bit/sample ( compression)"},
      {&control::AnalysisRecord::Length, "2147483647:00:00.000"},
      {&control::AnalysisRecord::Bitrate, "0 kbps"}}},
};

TEST(RegressionFilesTest, EveryFileInTheFolderHasItsOutcomeListed) {
    std::set<std::string> listed;
    for (const Regression& r : Regressions)
        listed.insert(r.name);
    std::set<std::string> present;
    for (const auto& entry : std::filesystem::directory_iterator(Folder))
        present.insert(entry.path().filename().string());
    EXPECT_EQ(listed, present);
}

TEST(RegressionFilesTest, EveryFileEndsWithItsOutcome) {
    testsupport::MessageBoxCapture boxes;
    for (const Regression& r : Regressions) {
        SCOPED_TRACE(r.name);
        control::AnalysisRecord record;
        record.FilePath = platform::Utf8ToUtf16(Folder + "/" + r.name);
        EXPECT_NO_THROW(record.Result = control::AnalyseFile(record));
        EXPECT_EQ(r.result, record.Result);
        EXPECT_EQ(r.result == 1, !record.LastError.empty()) << U8(record.LastError);
        for (const Check& check : r.checks)
            EXPECT_EQ(check.text, U8(record.*check.field));
    }
}

} // namespace
