#include "control/parsers/ParserCommon.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

using testsupport::U8;

namespace {

TEST(FormatLengthTest, HoursMinutesAndRoundedSeconds) {
    struct Case {
        double seconds;
        const char* text;
    } cases[] = {
        {0, "00:00:00.000"},
        {60.0000453, "00:01:00.000"},
        // The rest is rounded by the format only, not carried into the minutes.
        {3599.9996, "00:59:60.000"},
        {90061.5, "25:01:01.500"},
        {360000.25, "100:00:00.250"},
        {-1, "00:00:00.000"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.text, U8(control::FormatLength(c.seconds))) << c.seconds;
}

TEST(BitArrayTest, TakesBitsMostSignificantFirstAndStopsAtTheEnd) {
    const uint8_t header[] = {0xB0, 0xFF, 0x01};
    control::SpreadBits(header, sizeof header);
    control::BitCursor = 0;
    EXPECT_EQ(11, control::GetBits(4));
    EXPECT_EQ(4u, control::BitCursor);
    EXPECT_EQ(0, control::GetBits(0));
    EXPECT_EQ(0x0FF, control::GetBits(12));
    control::BitCursor = 0;
    EXPECT_EQ(0xB0FF01u, control::GetBits32(24));

    // Past the 1024 entries of the array the cursor reads zero bits instead of memory.
    const uint8_t ones[128] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    control::SpreadBits(ones, 200); // cut at 128 bytes
    control::BitCursor = 1020;
    EXPECT_EQ(0u, control::GetBits32(32));
    control::BitCursor = 0;
    EXPECT_EQ(0xFFFFFFFFu, control::GetBits32(32));
}

TEST(ReportNonValidTest, NamesTheFileAndShowsTheBox) {
    testsupport::MessageBoxCapture boxes;
    control::AnalysisRecord record;
    record.Codec = u"kept";
    EXPECT_EQ(1, control::ReportNonValid(record, u"x.mp3", "%s is non-valid MP3 file!", true));
    EXPECT_EQ(u"x.mp3 is non-valid MP3 file!", record.LastError);
    EXPECT_EQ(u"kept", record.Codec);
    ASSERT_EQ(1u, boxes.shown().size());
    EXPECT_EQ(platform::MB_ICONEXCLAMATION | platform::MB_TOPMOST, boxes.shown()[0].flags);
}

} // namespace
