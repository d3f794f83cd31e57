#include "biorhythm/ChartPictures.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <cmath>

namespace chart {

QColor physicalColor() {
    return QColor(0, 0, 255);
}
QColor emotionalColor() {
    return QColor(255, 0, 0);
}
QColor cubeFaceColor() {
    return QColor(0, 128, 128);
}
QColor cubeEdgeColor() {
    return QColor(0, 255, 0);
}

namespace {

// The glyphs were laid out in twips at 15 twips per pixel: t(n) is n twips in pixels.
constexpr double t(double twips) {
    return twips / 15.0;
}

void filledCircle(QPainter& painter, QPointF centre, double radius) {
    painter.drawEllipse(centre, radius, radius);
}

} // namespace

void drawGlyph(QPainter& painter, int cycle, QPointF topLeft) {
    const double x = topLeft.x();
    const double y = topLeft.y();
    painter.save();
    switch (cycle) {
    case 23: // a small figure: head, body, crossed limbs
        painter.setPen(QPen(physicalColor(), 1));
        painter.setBrush(physicalColor());
        filledCircle(painter, {x + t(80), y + t(35)}, t(35));
        filledCircle(painter, {x + t(80), y + t(115)}, 3);
        painter.drawLine(QPointF(x, y + t(50)), QPointF(x + t(160), y + t(160)));
        painter.drawLine(QPointF(x, y + t(160)), QPointF(x + t(160), y + t(50)));
        break;
    case 28: // a heart: two lobes, a centre and the point
        painter.setPen(QPen(emotionalColor(), 1));
        painter.setBrush(emotionalColor());
        filledCircle(painter, {x + t(40), y + t(40)}, t(40));
        filledCircle(painter, {x + 8, y + t(40)}, t(40));
        filledCircle(painter, {x + t(80), y + t(100)}, 2);
        painter.drawLine(QPointF(x + t(10), y + t(70)), QPointF(x + t(80), y + t(160)));
        painter.drawLine(QPointF(x + t(80), y + t(160)), QPointF(x + 10, y + t(70)));
        break;
    case 33: // a cube: the front face and the edges of the top and side
        painter.setPen(QPen(cubeFaceColor(), 1));
        painter.setBrush(cubeFaceColor());
        painter.drawRect(QRectF(QPointF(x, y + t(40)), QPointF(x + 8, y + t(160))));
        painter.setPen(QPen(cubeEdgeColor(), 1));
        painter.drawLine(QPointF(x, y + t(40)), QPointF(x + t(40), y));
        painter.drawLine(QPointF(x + t(40), y), QPointF(x + t(160), y));
        painter.drawLine(QPointF(x + 8, y + t(40)), QPointF(x + t(160), y));
        painter.drawLine(QPointF(x + t(160), y), QPointF(x + t(160), y + 8));
        painter.drawLine(QPointF(x + 8, y + t(160)), QPointF(x + t(160), y + 8));
        break;
    default:
        break;
    }
    painter.restore();
}

QSize markerSize() {
    return QSize(22, 26);
}

QPixmap markerPicture(int cycle) {
    const QSize size = markerSize();
    QPixmap picture(size);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    // The glyph twice as large, its centre on the marker's centre.
    constexpr double scale = 2.0;
    const double glyphHalf = t(80) * scale;
    painter.translate(size.width() / 2.0 - glyphHalf, size.height() / 2.0 - glyphHalf);
    painter.scale(scale, scale);
    drawGlyph(painter, cycle, QPointF(0, 0));
    return picture;
}

QPixmap overviewBackground(QSize size) {
    QPixmap picture(size);
    QPainter painter(&picture);
    QLinearGradient sky(0, 0, 0, size.height());
    sky.setColorAt(0, QColor(214, 232, 250));
    sky.setColorAt(1, QColor(246, 250, 255));
    painter.fillRect(picture.rect(), sky);
    // Faint waves behind the charts, a hint of the three rhythms.
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor waves[] = {QColor(0, 0, 255, 28), QColor(255, 0, 0, 28), QColor(0, 160, 80, 28)};
    const double periods[] = {23, 28, 33};
    for (int k = 0; k < 3; ++k) {
        QPainterPath path;
        for (int px = 0; px <= size.width(); px += 3) {
            const double y =
                size.height() * 0.5 + size.height() * 0.38 * std::sin(px / (periods[k] * 3.0) + k * 1.7);
            if (px == 0)
                path.moveTo(px, y);
            else
                path.lineTo(px, y);
        }
        painter.setPen(QPen(waves[k], 3));
        painter.drawPath(path);
    }
    painter.setPen(QColor(150, 170, 200));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(picture.rect().adjusted(0, 0, -1, -1));
    return picture;
}

QPixmap detailFrame(QSize size) {
    QPixmap picture(size);
    QPainter painter(&picture);
    QLinearGradient shade(0, 0, 0, size.height());
    shade.setColorAt(0, QColor(226, 236, 248));
    shade.setColorAt(1, QColor(200, 214, 234));
    painter.fillRect(picture.rect(), shade);
    painter.setPen(QColor(255, 255, 255));
    painter.drawLine(0, 0, size.width() - 1, 0);
    painter.drawLine(0, 0, 0, size.height() - 1);
    painter.setPen(QColor(120, 136, 160));
    painter.drawLine(size.width() - 1, 0, size.width() - 1, size.height() - 1);
    painter.drawLine(0, size.height() - 1, size.width() - 1, size.height() - 1);
    return picture;
}

} // namespace chart
