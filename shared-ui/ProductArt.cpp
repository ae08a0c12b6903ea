#include "shared-ui/ProductArt.h"

#include <QPainter>
#include <QPainterPath>
#include <cmath>

namespace sharedui {
namespace {

QPixmap TransparentPixmap(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

QPainterPath SoundWave(const QRectF& area) {
    QPainterPath wave;
    const int steps = 48;
    for (int i = 0; i <= steps; ++i) {
        double t = static_cast<double>(i) / steps;
        double envelope = std::sin(t * M_PI);
        double y = area.center().y() - envelope * std::sin(t * 6 * M_PI) * area.height() / 2;
        QPointF point(area.left() + t * area.width(), y);
        if (i == 0)
            wave.moveTo(point);
        else
            wave.lineTo(point);
    }
    return wave;
}

} // namespace

QPixmap ProductArt::ApplicationPixmap(int size) {
    QPixmap pixmap = TransparentPixmap(size);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 32.0, size / 32.0);
    QLinearGradient face(0, 0, 0, 32);
    face.setColorAt(0, QColor(40, 110, 200));
    face.setColorAt(1, QColor(20, 50, 120));
    painter.setPen(Qt::NoPen);
    painter.setBrush(face);
    painter.drawRoundedRect(QRectF(1, 1, 30, 30), 6, 6);
    painter.setPen(QPen(QColor(120, 230, 140), 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(SoundWave(QRectF(4, 6, 24, 14)));
    painter.setPen(QPen(Qt::white, 2.2, Qt::SolidLine, Qt::RoundCap));
    painter.drawEllipse(QPointF(18, 20), 5.5, 5.5);
    painter.drawLine(QPointF(22, 24), QPointF(27.5, 29.5));
    return pixmap;
}

QIcon ProductArt::ApplicationIcon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addPixmap(ApplicationPixmap(size));
    return icon;
}

QPixmap ProductArt::WaitPixmap(int size) {
    QPixmap pixmap = TransparentPixmap(size);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 32.0, size / 32.0);
    QPainterPath glass;
    glass.moveTo(8, 4);
    glass.lineTo(24, 4);
    glass.cubicTo(24, 12, 17, 14, 17, 16);
    glass.cubicTo(17, 18, 24, 20, 24, 28);
    glass.lineTo(8, 28);
    glass.cubicTo(8, 20, 15, 18, 15, 16);
    glass.cubicTo(15, 14, 8, 12, 8, 4);
    painter.setPen(QPen(QColor(60, 60, 60), 1.5));
    painter.setBrush(QColor(230, 240, 250));
    painter.drawPath(glass);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(220, 170, 60));
    painter.drawPolygon(QPolygonF({QPointF(11, 9), QPointF(21, 9), QPointF(16, 14)}));
    painter.drawPolygon(QPolygonF({QPointF(16, 21), QPointF(22, 27), QPointF(10, 27)}));
    painter.setBrush(QColor(90, 60, 30));
    painter.drawRoundedRect(QRectF(6, 2, 20, 3), 1, 1);
    painter.drawRoundedRect(QRectF(6, 27, 20, 3), 1, 1);
    return pixmap;
}

QPixmap ProductArt::DonatePixmap() {
    QPixmap pixmap(74, 21);
    pixmap.fill(Qt::white);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient face(0, 0, 0, 21);
    face.setColorAt(0, QColor(255, 220, 110));
    face.setColorAt(1, QColor(245, 170, 40));
    painter.setPen(QPen(QColor(180, 110, 20), 1));
    painter.setBrush(face);
    painter.drawRoundedRect(QRectF(0.5, 0.5, 73, 20), 9, 9);
    QFont font(QStringLiteral("Sans Serif"));
    font.setPixelSize(12);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(QColor(20, 40, 110));
    painter.drawText(QRect(0, 0, 74, 21), Qt::AlignCenter, QStringLiteral("Donate"));
    return pixmap;
}

} // namespace sharedui
