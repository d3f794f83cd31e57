#include "mainmenu/RacePictures.h"

#include <QPainter>
#include <QPainterPath>
#include <array>

namespace racepictures {

QColor riderColour(int rider) {
    static const std::array<QColor, RiderCount> colours{
        QColor(250, 250, 250), QColor(30, 30, 30),   QColor(220, 30, 30),
        QColor(30, 80, 220),   QColor(245, 210, 20), QColor(20, 150, 60),
    };
    return colours.at(static_cast<std::size_t>((rider - 1 + RiderCount) % RiderCount));
}

QPixmap riderPicture(int rider, bool facingRight) {
    QPixmap picture(32, 32);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    if (!facingRight) {
        p.translate(32, 0);
        p.scale(-1, 1);
    }
    const QColor jersey = riderColour(rider);
    const QColor outline = rider == 2 ? QColor(120, 120, 120) : QColor(20, 20, 20);

    // Wheels and frame.
    p.setPen(QPen(QColor(40, 40, 40), 1.6));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(8, 24), 6, 6);
    p.drawEllipse(QPointF(25, 24), 6, 6);
    p.setPen(QPen(QColor(90, 90, 90), 1.8));
    p.drawLine(QPointF(8, 24), QPointF(15, 16));
    p.drawLine(QPointF(15, 16), QPointF(23, 16));
    p.drawLine(QPointF(23, 16), QPointF(25, 24));
    p.drawLine(QPointF(8, 24), QPointF(16, 24));
    p.drawLine(QPointF(16, 24), QPointF(15, 16));
    p.drawLine(QPointF(16, 24), QPointF(23, 16));

    // Leg on the pedal, body bent low over the bars, helmet in front.
    p.setPen(QPen(QColor(40, 40, 40), 2.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(13, 13), QPointF(18, 19));
    p.drawLine(QPointF(18, 19), QPointF(16, 25));
    p.drawLine(QPointF(21, 10), QPointF(24, 15));
    QPainterPath body;
    body.moveTo(10, 14);
    body.quadTo(15, 5, 23, 9);
    body.lineTo(21, 13);
    body.quadTo(15, 12, 13, 16);
    body.closeSubpath();
    p.setPen(QPen(outline, 1));
    p.setBrush(jersey);
    p.drawPath(body);
    p.drawEllipse(QPointF(25, 7), 3.2, 3.2);

    // The rider's number on the back.
    p.setPen(rider == 1 || rider == 5 ? Qt::black : Qt::white);
    QFont font = p.font();
    font.setPixelSize(7);
    font.setBold(true);
    p.setFont(font);
    if (!facingRight) {
        // Keep the number readable on the mirrored picture.
        p.save();
        p.translate(32, 0);
        p.scale(-1, 1);
        p.drawText(QRectF(32 - 21, 7, 8, 7), Qt::AlignCenter, QString::number(rider));
        p.restore();
    } else {
        p.drawText(QRectF(13, 7, 8, 7), Qt::AlignCenter, QString::number(rider));
    }
    return picture;
}

QColor groundColour() {
    return QColor(70, 140, 70);
}

QPixmap trackPicture(QSize size) {
    QPixmap picture(size);
    picture.fill(groundColour());
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);

    // The riders' centres run on ellipses around (209, 156) with a half width of 175 and half heights
    // of 60 to 130 (the lane radii), so the band covers those with room for the pictures.
    const QPointF centre(209, 156);
    p.setPen(QPen(QColor(235, 235, 225), 3));
    p.setBrush(QColor(196, 180, 160));
    p.drawEllipse(centre, 204, 151);
    p.setPen(QPen(QColor(40, 90, 200), 2)); // inner line
    p.setBrush(QColor(90, 165, 90));
    p.drawEllipse(centre, 150, 46);
    p.setPen(QPen(QColor(200, 40, 40), 1.5)); // sprinters' line
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(centre, 162, 70);
    p.setPen(QPen(QColor(245, 245, 245), 1, Qt::DashLine));
    p.drawEllipse(centre, 186, 122);

    // Finish line at the bottom centre, where the riders stand at the start.
    p.setPen(QPen(Qt::white, 3));
    p.drawLine(QPointF(centre.x(), centre.y() + 46), QPointF(centre.x(), centre.y() + 151));
    p.setPen(QPen(Qt::black, 1));
    for (int y = int(centre.y()) + 48; y < int(centre.y()) + 150; y += 6)
        p.drawLine(QPointF(centre.x() - 1, y), QPointF(centre.x() + 1, y + 3));

    p.setPen(QColor(235, 245, 235));
    QFont font(QStringLiteral("IPAGothic"));
    font.setPixelSize(22);
    font.setBold(true);
    p.setFont(font);
    p.drawText(QRectF(centre.x() - 120, centre.y() - 20, 240, 40), Qt::AlignCenter,
               QStringLiteral("KORVANE BANK"));
    return picture;
}

} // namespace racepictures
