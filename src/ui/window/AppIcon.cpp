#include "AppIcon.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace kestrava {

namespace {

QPixmap drawIcon(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 64.0, size / 64.0);

    // Dark stage background.
    QLinearGradient stage(0, 0, 0, 64);
    stage.setColorAt(0, QColor(0x1d, 0x2b, 0x4f));
    stage.setColorAt(1, QColor(0x0b, 0x12, 0x24));
    p.setPen(Qt::NoPen);
    p.setBrush(stage);
    p.drawRoundedRect(QRectF(2, 2, 60, 60), 10, 10);

    // Beam from the lamp at the top.
    QPainterPath beam;
    beam.moveTo(26, 12);
    beam.lineTo(38, 12);
    beam.lineTo(54, 44);
    beam.lineTo(10, 44);
    beam.closeSubpath();
    QLinearGradient light(0, 12, 0, 44);
    light.setColorAt(0, QColor(0xff, 0xd8, 0x6b, 0xf0));
    light.setColorAt(1, QColor(0xff, 0xb3, 0x2e, 0x50));
    p.setBrush(light);
    p.drawPath(beam);

    // The lamp.
    p.setBrush(QColor(0xe8, 0xe8, 0xe8));
    p.drawRoundedRect(QRectF(23, 6, 18, 8), 2, 2);

    // Two rows of patch sockets: the unit's A and B lines.
    p.setBrush(QColor(0x5f, 0xd3, 0xf3));
    for (int row = 0; row < 2; ++row)
        for (int col = 0; col < 5; ++col)
            p.drawEllipse(QPointF(12 + col * 10, 50 + row * 6), 2.2, 2.2);
    return pixmap;
}

} // namespace

QIcon KestravaAppIcon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128})
        icon.addPixmap(drawIcon(size));
    return icon;
}

} // namespace kestrava
