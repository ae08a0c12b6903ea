#include "platform/CodePage.h"
#include "platform/DynamicLibrary.h"
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

// The window modes run from the window module, loaded only now: console mode never pays for
// the window system's libraries.
int RunWindowModesFromModule(int argc, char** argv, const viewer::CMyCommandLineInfo& commandLine) {
    const std::string path = platform::ProgramFolder() + viewer::WindowModuleName;
    platform::DynamicLibrary module(path);
    auto entry = module.Find<viewer::WindowModuleEntryFunction>(viewer::WindowModuleEntry);
    if (!entry) {
        platform::ShowMessage(u"Cannot load library\n" + platform::Utf8ToUtf16(path), u"ERROR!",
                              platform::MB_OK | platform::MB_ICONERROR);
        return 1;
    }
    // The window system's libraries register exit handlers: the module stays to the end.
    module.KeepLoaded();
    return entry(argc, argv, &commandLine);
}

int RunMode(int argc, char** argv, const viewer::CMyCommandLineInfo& commandLine) {
    // Console mode touches no window-system class, so it runs without a display.
    if (commandLine.ConsoleMode && !commandLine.TextOnlyMode())
        return RunConsoleMode(commandLine);
    return RunWindowModesFromModule(argc, argv, commandLine);
}

} // namespace

int main(int argc, char** argv) {
    // Only the character set follows the user's locale. Numbers in reports keep the C
    // locale's decimal point, whatever the locale, so that scripts can read them; grouping
    // of file sizes follows the locale through ICU.
    std::setlocale(LC_CTYPE, "");
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
