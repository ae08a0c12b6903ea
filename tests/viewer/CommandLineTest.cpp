#include "tests/support/TestSupport.h"
#include "viewer/CMyCommandLineInfo.h"

#include <gtest/gtest.h>

namespace {

viewer::CMyCommandLineInfo Parse(std::vector<const char*> arguments) {
    arguments.insert(arguments.begin(), "Sonoprobe");
    viewer::CMyCommandLineInfo info;
    info.Parse(static_cast<int>(arguments.size()), arguments.data());
    return info;
}

TEST(CommandLineTest, FlagsAndModes) {
    struct Case {
        std::vector<const char*> arguments;
        bool console, recursive, textFirst, noMain, usage;
    } cases[] = {
        {{}, false, false, false, false, false},
        {{"-a"}, true, false, false, false, false},
        {{"-abc"}, true, false, false, false, false},   // only the first character counts
        {{"-A", "-T", "-D"}, false, false, false, false, false}, // upper case does nothing
        {{"-a", "-d", "x"}, true, true, false, false, false},
        {{"-?"}, true, false, false, false, true},
        {{"-h"}, true, false, false, false, true},
        {{"-x", "-t"}, false, false, true, false, false}, // -x before -t is ignored
        {{"-t", "-x", "f"}, true, false, true, true, false},
        {{"-", "-q"}, false, false, false, false, false},
    };
    for (const auto& c : cases) {
        auto info = Parse(c.arguments);
        SCOPED_TRACE(c.arguments.empty() ? "" : c.arguments[0]);
        EXPECT_EQ(c.console, info.ConsoleMode);
        EXPECT_EQ(c.recursive, info.RecursiveScan);
        EXPECT_EQ(c.textFirst, info.TextWindowFirst);
        EXPECT_EQ(c.noMain, info.NoMainWindow);
        EXPECT_EQ(c.usage, info.UsageRequested);
    }
}

TEST(CommandLineTest, PlainArgumentsAreKeptInOrderAndTheLastIsShown) {
    auto info = Parse({"/music/a.mp3", "-a", "/music/b.mp3"});
    ASSERT_EQ(2u, info.Paths.size());
    EXPECT_EQ(u"/music/a.mp3", info.Paths[0]);
    EXPECT_EQ(u"/music/b.mp3", info.FilePath());
    EXPECT_TRUE(Parse({}).FilePath().empty());
}

TEST(CommandLineTest, UsageTextHasNineLinesWithoutAFinalBreak) {
    std::u16string usage = viewer::UsageText();
    EXPECT_EQ(8, std::count(usage.begin(), usage.end(), u'\n'));
    EXPECT_NE(u'\n', usage.back());
    EXPECT_EQ(0u, usage.find(u"Usage: Sonoprobe <FilePath> [-?] [-a] [-d]\nwhere :\n"));
}

} // namespace
