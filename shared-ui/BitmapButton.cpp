#include "shared-ui/BitmapButton.h"

#include <QBitmap>
#include <QPainter>

namespace sharedui {

BitmapButton::BitmapButton(const QPixmap& picture, QWidget* parent)
    : QAbstractButton(parent), picture_(picture) {
    picture_.setMask(picture_.createMaskFromColor(Qt::white));
    setFocusPolicy(Qt::NoFocus);
}

QSize BitmapButton::sizeHint() const {
    return picture_.size();
}

void BitmapButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawPixmap(rect(), picture_);
}

} // namespace sharedui
