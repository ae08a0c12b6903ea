#include "shared-ui/DialogUnits.h"

#include <QFontMetrics>

namespace sharedui {
namespace {

// The average character width is taken over the letters of the alphabet, rounded.
int AverageCharacterWidth(const QFontMetrics& metrics) {
    const QString alphabet = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    return (metrics.horizontalAdvance(alphabet) / 26 + 1) / 2;
}

// units * base / divisor, rounded to the nearest pixel.
int Scale(int units, int base, int divisor) {
    return (units * base * 2 + divisor) / (2 * divisor);
}

} // namespace

DialogUnits::DialogUnits(const QFont& font) {
    QFontMetrics metrics(font);
    baseX_ = AverageCharacterWidth(metrics);
    baseY_ = metrics.height();
}

int DialogUnits::X(int units) const {
    return Scale(units, baseX_, 4);
}
int DialogUnits::Y(int units) const {
    return Scale(units, baseY_, 8);
}

QRect DialogUnits::Rect(int x, int y, int width, int height) const {
    return QRect(X(x), Y(y), X(width), Y(height));
}

} // namespace sharedui
