#include "viewer/gui/CShowTextDlg.h"

#include "viewer/TextReport.h"
#include "viewer/ViewerSettings.h"

#include <QApplication>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QTextDocument>

namespace viewer {
namespace {

// The text field's distance from the window's edges.
constexpr int Margin = 10;

bool FlagSetting(const std::u16string& key) {
    return ViewerSettings::ReadIntSetting(key, 0) == 1;
}

QString WindowReport(const AudioFileFields& fields) {
    std::u16string report;
    BuildTextReport(fields, u", ", u"\r\n", report);
    // No line break after the last line.
    report.resize(report.size() >= 2 ? report.size() - 2 : 0);
    // The text field breaks lines at every carriage return and every line feed alike.
    return QString::fromStdU16String(report).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

// A tool window beside the information dialog; alone in text-only mode it is an ordinary
// window, so that the task bar shows it.
Qt::WindowFlags WindowFlags(CShowTextDlg::Kind kind) {
    Qt::WindowFlags type = kind == CShowTextDlg::Kind::Modeless ? Qt::Tool : Qt::Dialog;
    return type | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
           Qt::WindowCloseButtonHint;
}

void CentreOver(QWidget* window, QWidget* parent) {
    QRect area;
    if (parent && parent->isVisible())
        area = parent->frameGeometry();
    else if (QScreen* screen = QApplication::primaryScreen())
        area = screen->availableGeometry();
    if (area.isValid())
        window->move(area.center() - window->rect().center());
}

} // namespace

CShowTextDlg::CShowTextDlg(const AudioFileFields& fields, QWidget* parent, Kind kind)
    : CMyDialog(QStringLiteral("Lucida Console"), parent, WindowFlags(kind)), kind_(kind) {
    setObjectName(QStringLiteral("130"));
    setWindowTitle(QStringLiteral("Audio File Text Information"));
    edit_ = new QPlainTextEdit(this);
    edit_->setObjectName(QStringLiteral("1018"));
    edit_->setReadOnly(true);
    edit_->setLineWrapMode(QPlainTextEdit::NoWrap);
    edit_->setPlainText(WindowReport(fields));
    saveSize_ = FlagSetting(u"SaveTextWindowSize");
    savePosition_ = FlagSetting(u"SaveTextWindowPos");
    CreateMenu();
    ChooseGeometry();
    placed_ = true;
}

QString CShowTextDlg::Report() const {
    return edit_->toPlainText();
}

void CShowTextDlg::CreateMenu() {
    // Linux gives programs no system menu; the two items live in a menu of the window's own.
    menuBar_ = new QMenuBar(this);
    menuBar_->setNativeMenuBar(false);
    QMenu* menu = menuBar_->addMenu(QStringLiteral("&Window"));
    saveSizeItem_ =
        menu->addAction(QStringLiteral("Save window size"), this, &CShowTextDlg::OnSaveSize);
    saveSizeItem_->setObjectName(QStringLiteral("17"));
    saveSizeItem_->setCheckable(true);
    saveSizeItem_->setChecked(saveSize_);
    savePositionItem_ = menu->addAction(QStringLiteral("Save window position"), this,
                                        &CShowTextDlg::OnSavePosition);
    savePositionItem_->setObjectName(QStringLiteral("18"));
    savePositionItem_->setCheckable(true);
    savePositionItem_->setChecked(savePosition_);
}

int CShowTextDlg::MenuHeight() const {
    return menuBar_->sizeHint().height();
}

// Wide enough for the longest line and a vertical scroll bar, tall enough for every line, with
// two letters and one line to spare. The text field's own frame and inner margins and the
// window's 10-pixel margins come on top, so that the whole report shows without scrolling.
QSize CShowTextDlg::TextSize() const {
    QFontMetrics metrics(edit_->font());
    int widest = 0;
    int height = 15;
    for (const QString& line : Report().split(u'\n')) {
        widest = std::max(widest, metrics.horizontalAdvance(line));
        height += metrics.lineSpacing();
    }
    height += metrics.lineSpacing();
    int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, edit_);
    int inner = 2 * (edit_->frameWidth() + qRound(edit_->document()->documentMargin()));
    QSize text(widest + 2 * metrics.horizontalAdvance(u'W') + scrollBar, height - 5);
    return text + QSize(inner + 2 * Margin, inner + 2 * Margin + MenuHeight());
}

void CShowTextDlg::ChooseGeometry() {
    QSize size(400, 150);
    if (saveSize_)
        size = QSize(ViewerSettings::ReadIntSetting(u"TextWindowWidth", 400),
                     ViewerSettings::ReadIntSetting(u"TextWindowHeight", 150));
    else if (!Report().isEmpty())
        size = TextSize();
    resize(size);
    if (savePosition_)
        move(ViewerSettings::ReadIntSetting(u"TextWindowX", 350),
             ViewerSettings::ReadIntSetting(u"TextWindowY", 250));
    else
        CentreOver(this, parentWidget());
}

void CShowTextDlg::WriteGeometry(bool position, bool size) {
    if (position) {
        ViewerSettings::WriteIntSetting(u"TextWindowX", x());
        ViewerSettings::WriteIntSetting(u"TextWindowY", y());
    }
    if (size) {
        ViewerSettings::WriteIntSetting(u"TextWindowWidth", width());
        ViewerSettings::WriteIntSetting(u"TextWindowHeight", height());
    }
}

void CShowTextDlg::resizeEvent(QResizeEvent* event) {
    CMyDialog::resizeEvent(event);
    int menuHeight = MenuHeight();
    menuBar_->setGeometry(0, 0, width(), menuHeight);
    edit_->setGeometry(Margin, menuHeight + Margin, width() - 2 * Margin,
                       height() - menuHeight - 2 * Margin);
    if (isVisible() && saveSize_ && placed_)
        WriteGeometry(true, true);
}

void CShowTextDlg::moveEvent(QMoveEvent* event) {
    CMyDialog::moveEvent(event);
    if (isVisible() && savePosition_ && placed_)
        WriteGeometry(true, true);
}

void CShowTextDlg::OnSaveSize() {
    saveSize_ = !saveSize_;
    ViewerSettings::WriteIntSetting(u"SaveTextWindowSize", saveSize_ ? 1 : 0);
    saveSizeItem_->setChecked(saveSize_);
    if (saveSize_)
        WriteGeometry(false, true);
}

void CShowTextDlg::OnSavePosition() {
    savePosition_ = !savePosition_;
    ViewerSettings::WriteIntSetting(u"SaveTextWindowPos", savePosition_ ? 1 : 0);
    savePositionItem_->setChecked(savePosition_);
    if (savePosition_)
        WriteGeometry(true, false);
}

void CShowTextDlg::mouseDoubleClickEvent(QMouseEvent* event) {
    // Reaches the window only on its margin: the text field and the menu take their own.
    if (event->button() == Qt::LeftButton) {
        reject();
        return;
    }
    CMyDialog::mouseDoubleClickEvent(event);
}

void CShowTextDlg::done(int result) {
    CMyDialog::done(result);
    if (kind_ == Kind::Modeless)
        deleteLater();
}

} // namespace viewer
