#include "platform/CodePage.h"
#include "platform/MessageBox.h"
#include "platform/ProgramPath.h"
#include "viewer/CMyCommandLineInfo.h"
#include "viewer/CSonoprobeCtrl.h"
#include "viewer/ComponentRegistration.h"
#include "viewer/ConsoleReporter.h"
#include "viewer/ShellVerbs.h"
#include "viewer/WindowModes.h"

#include <clocale>
#include <cstdio>

namespace {

int RunConsoleMode(const viewer::CMyCommandLineInfo& commandLine) {
    viewer::CSonoprobeCtrl control;
    if (!control.IsCreated()) {
        platform::ShowMessage(u"Cannot create the Sonoprobe component!\n" +
                                  platform::HResultText(control.CreationResult()),
                              u"ERROR!", platform::MB_OK | platform::MB_ICONERROR);
        return 1;
    }
    viewer::ConsoleReporter reporter(control, commandLine.RecursiveScan);
    for (const std::u16string& pattern : commandLine.Paths)
        reporter.WriteConsoleReports(pattern);
    return 0;
}

int RunMode(int argc, char** argv, const viewer::CMyCommandLineInfo& commandLine) {
    // Console mode touches no window-system class, so it runs without a display.
    if (commandLine.ConsoleMode && !commandLine.TextOnlyMode())
        return RunConsoleMode(commandLine);
    return viewer::RunWindowModes(argc, argv, commandLine);
}

} // namespace

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "");
    // The control is registered before anything else and unregistered last, when this
    // process was the one that registered it.
    viewer::ComponentRegistration& registration = viewer::ComponentRegistration::ForProgram();
    registration.CheckRegistration();
    viewer::ShellVerbs(platform::ProgramPath()).Refresh();
    viewer::CMyCommandLineInfo commandLine;
    commandLine.Parse(argc, argv);
    if (commandLine.UsageRequested) {
        std::string usage = platform::ToLocaleCharset(viewer::UsageText()) + "\n";
        std::fwrite(usage.data(), 1, usage.size(), stdout);
        std::fflush(stdout);
    }
    int status = RunMode(argc, argv, commandLine);
    registration.UnregisterAtExit();
    return status;
}
