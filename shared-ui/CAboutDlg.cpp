#include "shared-ui/CAboutDlg.h"

#include "shared-ui/BitmapButton.h"
#include "shared-ui/DialogUnits.h"
#include "shared-ui/ProductArt.h"

#include <QDesktopServices>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QToolTip>
#include <QUrlQuery>

namespace sharedui {
namespace {

// The maker's addresses.
const QString MakerMail = QStringLiteral("support@orvane.example");
const QString MakerWeb = QStringLiteral("https://www.orvane.example/forum/");
const QString DonatePage = QStringLiteral("https://www.orvane.example/donate/");

// Positions in dialog units: x, y, width, height.
struct Box {
    int x, y, width, height;
};

struct Template {
    QString caption;
    QString versionLabel;
    Box size;
    Box icon;
    Box version;
    Box lead;
    Box maker;
    Box donate;
    bool thanksLine;
};

const Template& TemplateOf(CAboutDlg::Program program) {
    static const Template viewer{QStringLiteral("About Sonoprobe..."),
                                 QStringLiteral("Sonoprobe ver "),
                                 {0, 0, 166, 81},
                                 {10, 10, 20, 20},
                                 {40, 10, 119, 8},
                                 {33, 25, 88, 8},
                                 {124, 25, 34, 8},
                                 {57, 62, 50, 14},
                                 true};
    static const Template tagger{QStringLiteral("About..."),
                                 QStringLiteral("Trackwright ver "),
                                 {0, 0, 170, 60},
                                 {7, 7, 21, 20},
                                 {44, 10, 119, 8},
                                 {40, 25, 88, 8},
                                 {131, 25, 34, 8},
                                 {59, 41, 50, 14},
                                 false};
    return program == CAboutDlg::Program::Viewer ? viewer : tagger;
}

QRect Area(const DialogUnits& units, const Box& box) {
    return units.Rect(box.x, box.y, box.width, box.height);
}

QFont AboutFont() {
    QFont font;
    font.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("Sans Serif")});
    font.setPointSize(8);
    return font;
}

void SetTextColour(QLabel* label, const QColor& colour) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

} // namespace

QUrl CAboutDlg::MailUrl(Program program) {
    QUrl url(QStringLiteral("mailto:") + MakerMail);
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("subject"), program == Program::Viewer
                                                      ? QStringLiteral("Sonoprobe")
                                                      : QStringLiteral("Sonoprobe (Trackwright)"));
    url.setQuery(query);
    return url;
}

QUrl CAboutDlg::WebUrl() {
    return QUrl(MakerWeb);
}

QUrl CAboutDlg::DonateUrl(Program program) {
    QUrl url(DonatePage);
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("item"), program == Program::Viewer
                                                   ? QStringLiteral("Sonoprobe")
                                                   : QStringLiteral("Sonoprobe/Trackwright"));
    url.setQuery(query);
    return url;
}

CAboutDlg::CAboutDlg(Program program, const QString& versionText, QWidget* owner)
    : QDialog(owner, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      program_(program), openUrl_([](const QUrl& url) { QDesktopServices::openUrl(url); }) {
    const Template& layout = TemplateOf(program);
    setWindowTitle(layout.caption);
    setFont(AboutFont());
    setAttribute(Qt::WA_AlwaysShowToolTips);
    setMouseTracking(true);
    DialogUnits units(font());
    setFixedSize(units.X(layout.size.width), units.Y(layout.size.height));
    BuildControls(versionText, units);
}

void CAboutDlg::BuildControls(const QString& versionText, const DialogUnits& units) {
    const Template& layout = TemplateOf(program_);
    QRect iconArea = Area(units, layout.icon);
    QLabel* icon = AddText(QString(), iconArea, Qt::AlignCenter);
    int iconSize = std::min(iconArea.width(), iconArea.height());
    icon->setPixmap(ProductArt::ApplicationPixmap(iconSize));

    QLabel* version = AddText(layout.versionLabel + versionText, Area(units, layout.version),
                              Qt::AlignHCenter | Qt::AlignTop);
    version->setObjectName(QStringLiteral("1042"));
    QFont bold = font();
    bold.setWeight(QFont::Bold);
    version->setFont(bold);
    SetTextColour(version, QColor(255, 0, 0));

    AddText(QStringLiteral("Copyright (C) 2024"), Area(units, layout.lead),
            Qt::AlignRight | Qt::AlignVCenter);
    QLabel* maker = AddText(QStringLiteral("Orvane"), Area(units, layout.maker),
                            Qt::AlignLeft | Qt::AlignVCenter);
    maker->setObjectName(QStringLiteral("1047"));
    AddLink(maker, MailUrl(program_));
    if (layout.thanksLine) {
        AddText(QStringLiteral("Thanks to"), units.Rect(12, 39, 49, 9),
                Qt::AlignRight | Qt::AlignVCenter);
        QLabel* forum = AddText(QStringLiteral("forum"), units.Rect(63, 39, 37, 9),
                                Qt::AlignHCenter | Qt::AlignTop);
        forum->setObjectName(QStringLiteral("1048"));
        AddLink(forum, WebUrl());
        AddText(QStringLiteral("members"), units.Rect(102, 39, 51, 9),
                Qt::AlignLeft | Qt::AlignVCenter);
        AddText(QStringLiteral("for help and support "), units.Rect(15, 48, 134, 8),
                Qt::AlignHCenter | Qt::AlignTop);
    }
    AddDonateButton(Area(units, layout.donate));
}

QLabel* CAboutDlg::AddText(const QString& text, const QRect& area, Qt::Alignment alignment) {
    auto* label = new QLabel(text, this);
    label->setGeometry(area);
    label->setAlignment(alignment);
    label->setTextFormat(Qt::PlainText);
    // The box itself tracks the mouse over the links.
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    return label;
}

void CAboutDlg::AddLink(QLabel* label, const QUrl& url) {
    QFont underlined = font();
    underlined.setUnderline(true);
    label->setFont(underlined);
    SetTextColour(label, QColor(0, 0, 255));
    links_.push_back({label->geometry(), url, url.toString()});
}

void CAboutDlg::AddDonateButton(const QRect& area) {
    auto* donate = new BitmapButton(ProductArt::DonatePixmap(), this);
    donate->setObjectName(QStringLiteral("1054"));
    donate->setGeometry(area.x(), area.y(), 74, 21);
    donate->setCursor(Qt::PointingHandCursor);
    donate->setToolTip(program_ == Program::Viewer
                           ? QStringLiteral("Donate for Sonoprobe")
                           : QStringLiteral("Donate for Sonoprobe/Trackwright"));
    QUrl url = DonateUrl(program_);
    connect(donate, &QAbstractButton::clicked, this, [this, url] { openUrl_(url); });
}

const CAboutDlg::Link* CAboutDlg::LinkAt(const QPoint& point) const {
    for (const Link& link : links_)
        if (link.area.contains(point))
            return &link;
    return nullptr;
}

bool CAboutDlg::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        if (const Link* link = LinkAt(help->pos()))
            QToolTip::showText(help->globalPos(), link->tip, this, link->area);
        else
            QToolTip::hideText();
        return true;
    }
    return QDialog::event(event);
}

void CAboutDlg::mouseMoveEvent(QMouseEvent* event) {
    if (LinkAt(event->position().toPoint()))
        setCursor(Qt::PointingHandCursor);
    else
        unsetCursor();
    QDialog::mouseMoveEvent(event);
}

void CAboutDlg::mouseReleaseEvent(QMouseEvent* event) {
    const Link* link = LinkAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && link)
        openUrl_(link->url);
    QDialog::mouseReleaseEvent(event);
}

void CAboutDlg::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace sharedui
