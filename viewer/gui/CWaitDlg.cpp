#include "viewer/gui/CWaitDlg.h"

#include "shared-ui/DialogUnits.h"
#include "shared-ui/ProductArt.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QScreen>

namespace viewer {
namespace {

QFont WaitFont() {
    QFont font;
    font.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("Sans Serif")});
    font.setPointSize(9);
    return font;
}

QRect CentreArea(QWidget* owner) {
    if (owner && owner->isVisible())
        return owner->frameGeometry();
    QScreen* screen = QApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

} // namespace

CWaitDlg::CWaitDlg(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("131"));
    setFont(WaitFont());
    sharedui::DialogUnits units(font());
    setFixedSize(units.X(143), units.Y(27));
    auto* frame = new QFrame(this);
    frame->setFrameStyle(QFrame::Panel | QFrame::Raised);
    frame->setGeometry(rect());
    auto* text = new QLabel(QStringLiteral("Please wait..."), this);
    text->setAlignment(Qt::AlignCenter);
    text->setGeometry(units.Rect(11, 2, 130, 23));
    QRect iconArea = units.Rect(9, 5, 20, 20);
    auto* icon = new QLabel(this);
    int iconSize = std::min(iconArea.width(), iconArea.height());
    icon->setPixmap(sharedui::ProductArt::WaitPixmap(iconSize));
    icon->setGeometry(iconArea.x(), iconArea.y(), iconSize, iconSize);
}

void CWaitDlg::ShowNow() {
    QRect area = CentreArea(parentWidget());
    if (area.isValid())
        move(area.center() - rect().center());
    show();
    raise();
    activateWindow();
    repaint();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

} // namespace viewer
