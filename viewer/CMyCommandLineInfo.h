#pragma once
#include <string>
#include <vector>

namespace viewer {

// The viewer's command line: "-" flags (only the first character counts, lower case only) and
// plain arguments. Console mode reports every plain argument in order; window mode shows the
// last one.
class CMyCommandLineInfo {
public:
    bool ConsoleMode = false;
    bool RecursiveScan = false;
    bool TextWindowFirst = false;
    bool NoMainWindow = false;
    bool UsageRequested = false;
    std::vector<std::u16string> Paths;

    void ParseParam(const std::u16string& parameter, bool isFlag);
    void Parse(int argc, const char* const* argv);
    // The file window mode shows: the last plain argument, empty when there is none.
    std::u16string FilePath() const { return Paths.empty() ? std::u16string() : Paths.back(); }
    bool TextOnlyMode() const { return ConsoleMode && TextWindowFirst && NoMainWindow; }
};

// The nine lines of the usage text, joined by line feeds, without a final one.
std::u16string UsageText();

} // namespace viewer
