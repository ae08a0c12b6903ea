#include "viewer/gui/CMyDialog.h"

#include "viewer/ViewerSettings.h"

namespace viewer {
namespace {

constexpr int DefaultFontSize = 9;

QFont DialogFont(const QString& family) {
    QFont font;
    // The generic family stands in where the template's font is not installed.
    bool fixedPitch = family == QStringLiteral("Lucida Console");
    font.setFamilies(
        {family, fixedPitch ? QStringLiteral("Monospace") : QStringLiteral("Sans Serif")});
    font.setStyleHint(fixedPitch ? QFont::TypeWriter : QFont::SansSerif);
    font.setPointSize(CMyDialog::FontPointSize());
    return font;
}

} // namespace

int CMyDialog::FontPointSize() {
    int size = ViewerSettings::ReadIntSetting(u"FontSize", DefaultFontSize);
    // A hand-edited .ini can hold anything; a size no one can read would make the windows useless.
    return size >= 1 && size <= 72 ? size : DefaultFontSize;
}

CMyDialog::CMyDialog(const QString& fontFamily, QWidget* parent, Qt::WindowFlags flags)
    : QDialog(parent, flags), units_(ApplyFont(fontFamily)) {}

QFont CMyDialog::ApplyFont(const QString& fontFamily) {
    QFont font = DialogFont(fontFamily);
    setFont(font);
    return font;
}

} // namespace viewer
