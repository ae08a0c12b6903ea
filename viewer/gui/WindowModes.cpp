#include "viewer/WindowModes.h"

#include "shared-ui/ProductArt.h"
#include "shared-ui/QtMessageBoxSink.h"
#include "viewer/gui/CShowTextDlg.h"
#include "viewer/gui/CSonoprobeDlg.h"

#include <QApplication>
#include <clocale>

namespace viewer {
namespace {

// Only the text window: the information dialog exists hidden, to host the analysis.
void RunTextOnlyMode(CSonoprobeDlg& dialog) {
    dialog.SetGuiMode(false);
    dialog.Initialize();
    if (LoadAudioFile(dialog.Control(), dialog.Fields(), &dialog) != LoadResult::Loaded)
        return;
    CShowTextDlg text(dialog.Fields(), &dialog, CShowTextDlg::Kind::Modal);
    text.exec();
}

} // namespace

int RunWindowModes(int argc, char** argv, const CMyCommandLineInfo& commandLine) {
    QApplication application(argc, argv);
    // Qt sets every locale category from the environment; the component formats numbers with
    // the C locale's decimal point, as in console mode.
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setWindowIcon(sharedui::ProductArt::ApplicationIcon());
    sharedui::QtMessageBoxSink messageBoxes;
    CSonoprobeDlg dialog(commandLine.FilePath(), commandLine.TextWindowFirst);
    if (commandLine.TextOnlyMode())
        RunTextOnlyMode(dialog);
    else
        dialog.Run();
    return 0;
}

} // namespace viewer
