#pragma once
#include <QDialog>

namespace viewer {

// "Please wait...": a small caption-less topmost window shown while the user-interface thread
// is busy, centred over its owner (or the screen when the owner is hidden).
class CWaitDlg : public QDialog {
    Q_OBJECT
  public:
    explicit CWaitDlg(QWidget* owner);
    // Shows the window and paints it at once, because the caller blocks the event loop next.
    void ShowNow();
};

} // namespace viewer
