#include "shared-ui/CSelectCodepageDlg.h"

#include "shared-ui/CodePageList.h"
#include "shared-ui/DialogUnits.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>

#include <algorithm>

namespace sharedui {
namespace {

// The list's rectangle in the template: its height is that of the dropped-down list.
constexpr int ListX = 6, ListY = 25, ListWidth = 154, ListDroppedHeight = 325;

QFont DialogFont(int pointSize) {
    QFont font;
    font.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("Sans Serif")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(pointSize);
    return font;
}

} // namespace

CSelectCodepageDlg::CSelectCodepageDlg(Program program, int fontPointSize, QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
    setObjectName(program == Program::Viewer ? QStringLiteral("134") : QStringLiteral("108"));
    setWindowTitle(QStringLiteral("Select Codepage"));
    setFont(DialogFont(fontPointSize));
    BuildControls(program);
}

void CSelectCodepageDlg::BuildControls(Program program) {
    DialogUnits units(font());
    setFixedSize(units.X(166), units.Y(67));

    auto* prompt = new QLabel(
        QStringLiteral("Please select codepage for non-unicode tag fields conversion"), this);
    prompt->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    prompt->setWordWrap(true);
    prompt->setGeometry(units.Rect(6, 5, 156, 18));

    list_ = new QComboBox(this);
    list_->setObjectName(program == Program::Viewer ? QStringLiteral("1007")
                                                    : QStringLiteral("1034"));
    list_->setGeometry(units.X(ListX), units.Y(ListY), units.X(ListWidth),
                       list_->sizeHint().height());

    auto* done = new QPushButton(QStringLiteral("Done"), this);
    done->setObjectName(QStringLiteral("1"));
    done->setDefault(true);
    done->setGeometry(units.Rect(47, 44, 71, 17));
    connect(done, &QPushButton::clicked, this, &CSelectCodepageDlg::accept);
}

// The list is filled when the dialog opens, so that it selects what the caller has set.
void CSelectCodepageDlg::showEvent(QShowEvent* event) {
    if (!initialised_)
        InitDialog();
    initialised_ = true;
    QDialog::showEvent(event);
}

void CSelectCodepageDlg::InitDialog() {
    for (const CodePageList::Row& row : CodePageList::Rows())
        list_->addItem(QString::fromUtf16(row.name), QVariant::fromValue(row.codePage));
    list_->setCurrentIndex(static_cast<int>(CodePageList::RowOf(SelectedCodePage)));
    // The dropped-down list takes the template's height below the closed box; styles that
    // drop a list as a menu over the whole screen are told not to.
    list_->setStyleSheet(QStringLiteral("QComboBox { combobox-popup: 0; }"));
    const int rowHeight = std::max(1, list_->view()->sizeHintForRow(0));
    list_->setMaxVisibleItems(
        std::max(1, (DialogUnits(font()).Y(ListDroppedHeight) - list_->height()) / rowHeight));
    list_->setFocus();
}

void CSelectCodepageDlg::accept() {
    if (list_->currentIndex() >= 0)
        SelectedCodePage = list_->currentData().value<uint32_t>();
    QDialog::accept();
}

} // namespace sharedui
