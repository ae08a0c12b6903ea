#include "viewer/update/UpdateVersion.h"

#include <gtest/gtest.h>

namespace {

using namespace std::string_literals;

TEST(UpdateVersionTest, PublishedAgainstRunning) {
    struct Case {
        std::string published, running;
        bool newer;
    } cases[] = {
        {"1.0.3", "1.0.3", false},
        {"1.0.4", "1.0.3", true},
        {"1.0.2", "1.0.3", false},
        {"1.1", "1.0.3", true},
        {"1.0.10", "1.0.3", false},  // '1' is below '3' at the fifth byte
        {"1.0.3.1", "1.0.3", false}, // '.' is below the 0xFF filler
        {"1.0.3\r\n", "1.0.3", false},
        {"1.0.4\0zzz"s, "1.0.3", true}, // the text ends at its first zero byte
        {"1.0.3\0999"s, "1.0.3", false},
        {"1.0.\xC3", "1.0.3", true}, // bytes compare unsigned
        {"", "1.0.3", false},        // an empty text stays empty and is the smallest
        {"1.0.3", "", true},
        {"", "", false},
        // Only the first 20 bytes count.
        {"1.0.3.00000000000009", "1.0.3.00000000000001", true},
        {"1.0.3.000000000000009", "1.0.3.000000000000001", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("published \"" + c.published + "\" running \"" + c.running + "\"");
        EXPECT_EQ(c.newer, viewer::UpdateVersion::IsNewer(c.published, c.running));
    }
}

TEST(UpdateVersionTest, ComparableFormIsFilledTo20Bytes) {
    EXPECT_EQ("1.0.3" + std::string(15, '\xFF'), viewer::UpdateVersion::Comparable("1.0.3"));
    EXPECT_EQ("", viewer::UpdateVersion::Comparable(""));
    EXPECT_EQ("", viewer::UpdateVersion::Comparable("\0"
                                                    "1.0"s));
    EXPECT_EQ(std::string(20, '7'), viewer::UpdateVersion::Comparable(std::string(25, '7')));
}

} // namespace
