#include "platform/CodePage.h"
#include "viewer/CMyCommandLineInfo.h"
#include "viewer/CSonoprobeCtrl.h"
#include "viewer/ConsoleReporter.h"
#include "viewer/WindowModes.h"

#include <clocale>
#include <cstdio>

namespace {

int RunConsoleMode(const viewer::CMyCommandLineInfo& commandLine) {
    viewer::CSonoprobeCtrl control;
    viewer::ConsoleReporter reporter(control, commandLine.RecursiveScan);
    for (const std::u16string& pattern : commandLine.Paths)
        reporter.WriteConsoleReports(pattern);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "");
    viewer::CMyCommandLineInfo commandLine;
    commandLine.Parse(argc, argv);
    if (commandLine.UsageRequested) {
        std::string usage = platform::ToLocaleCharset(viewer::UsageText()) + "\n";
        std::fwrite(usage.data(), 1, usage.size(), stdout);
        std::fflush(stdout);
    }
    // Console mode touches no window-system class, so it runs without a display.
    if (commandLine.ConsoleMode && !commandLine.TextOnlyMode())
        return RunConsoleMode(commandLine);
    return viewer::RunWindowModes(argc, argv, commandLine);
}
