#pragma once
#include "shared-ui/DialogUnits.h"

#include <QDialog>

namespace viewer {

// Base of the viewer's dialogs whose font follows the "FontSize" setting, so that one setting
// scales them all. The font is set before any control exists; controls are placed in dialog
// units of that font.
class CMyDialog : public QDialog {
    Q_OBJECT
  public:
    CMyDialog(const QString& fontFamily, QWidget* parent, Qt::WindowFlags flags);

    const sharedui::DialogUnits& Units() const { return units_; }
    // The "FontSize" setting as a usable point size.
    static int FontPointSize();

  private:
    QFont ApplyFont(const QString& fontFamily);

    sharedui::DialogUnits units_;
};

} // namespace viewer
