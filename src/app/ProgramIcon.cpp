#include "app/ProgramIcon.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <cmath>

namespace {

// The design is laid out on a 256-pixel square and scaled.
constexpr double Design = 256;

QPainterPath wave(double periods, double phase, double amplitude) {
    QPainterPath path;
    for (int x = 24; x <= 232; x += 2) {
        const double angle = (x - 24) / 208.0 * periods * 2 * M_PI + phase;
        const QPointF point(x, 128 - amplitude * std::sin(angle));
        if (x == 24)
            path.moveTo(point);
        else
            path.lineTo(point);
    }
    return path;
}

} // namespace

QImage programIcon(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / Design, size / Design);
    // Small sizes keep only what still reads: thicker lines, no spokes.
    const bool small = size < 32;

    QLinearGradient night(0, 0, 0, Design);
    night.setColorAt(0, QColor(0x24, 0x3b, 0x6e));
    night.setColorAt(1, QColor(0x10, 0x1a, 0x33));
    painter.setPen(Qt::NoPen);
    painter.setBrush(night);
    painter.drawRoundedRect(QRectF(8, 8, 240, 240), 40, 40);

    // The wheel: rim, spokes and hub.
    const QPointF hub(128, 128);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(0xe8, 0xec, 0xf2), small ? 22 : 14));
    painter.drawEllipse(hub, 92, 92);
    if (!small) {
        painter.setPen(QPen(QColor(0xb8, 0xc2, 0xd2), 4));
        for (int k = 0; k < 16; ++k) {
            const double angle = k * M_PI / 8;
            painter.drawLine(hub, hub + QPointF(86 * std::cos(angle), 86 * std::sin(angle)));
        }
    }

    // The three cycles, physical in red, emotional in green, intellectual in blue.
    const struct {
        QColor color;
        double periods;
        double phase;
    } cycles[] = {
        {QColor(0xff, 0x4d, 0x4d), 23.0 / 23.0 * 1.5, 0.0},
        {QColor(0x4c, 0xd9, 0x64), 23.0 / 28.0 * 1.5, 1.2},
        {QColor(0x4d, 0xa6, 0xff), 23.0 / 33.0 * 1.5, 2.4},
    };
    for (const auto& cycle : cycles) {
        painter.setPen(QPen(cycle.color, small ? 20 : 12, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawPath(wave(cycle.periods, cycle.phase, 56));
    }

    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xe8, 0xec, 0xf2));
    painter.drawEllipse(hub, small ? 20 : 16, small ? 20 : 16);
    return image;
}
