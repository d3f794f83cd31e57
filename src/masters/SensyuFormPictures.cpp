#include "masters/SensyuFormPictures.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>

namespace {

// A record card: a white sheet with a few text lines.
void drawCard(QPainter& p, const QRectF& r) {
    p.setPen(QPen(QColor(60, 60, 60), 1));
    p.setBrush(Qt::white);
    p.drawRect(r);
    p.setPen(QPen(QColor(120, 140, 190), 1));
    for (int i = 1; i <= 3; ++i) {
        const double y = r.top() + r.height() * i / 4.5;
        p.drawLine(QPointF(r.left() + 2, y), QPointF(r.right() - 2, y));
    }
}

void draw(QPainter& p, SensyuPicture picture, double s) {
    switch (picture) {
    case SensyuPicture::Update: {
        // A card with a pencil writing on it.
        drawCard(p, QRectF(0.08 * s, 0.08 * s, 0.6 * s, 0.78 * s));
        p.save();
        p.translate(0.62 * s, 0.62 * s);
        p.rotate(45);
        const double w = 0.16 * s;
        p.setPen(QPen(QColor(120, 80, 20), 1));
        p.setBrush(QColor(240, 190, 40));
        p.drawRect(QRectF(-w / 2, -0.55 * s, w, 0.45 * s));
        QPainterPath tip;
        tip.moveTo(-w / 2, -0.1 * s);
        tip.lineTo(w / 2, -0.1 * s);
        tip.lineTo(0, 0.08 * s);
        tip.closeSubpath();
        p.setBrush(QColor(250, 225, 180));
        p.drawPath(tip);
        p.setBrush(QColor(230, 120, 140));
        p.drawRect(QRectF(-w / 2, -0.62 * s, w, 0.08 * s));
        p.restore();
        break;
    }
    case SensyuPicture::Delete: {
        // A waste bin with its lid.
        p.setPen(QPen(QColor(50, 50, 60), 1));
        p.setBrush(QColor(150, 160, 175));
        QPainterPath bin;
        bin.moveTo(0.22 * s, 0.3 * s);
        bin.lineTo(0.78 * s, 0.3 * s);
        bin.lineTo(0.7 * s, 0.92 * s);
        bin.lineTo(0.3 * s, 0.92 * s);
        bin.closeSubpath();
        p.drawPath(bin);
        p.drawRect(QRectF(0.14 * s, 0.18 * s, 0.72 * s, 0.1 * s));
        p.drawRect(QRectF(0.4 * s, 0.08 * s, 0.2 * s, 0.1 * s));
        p.setPen(QPen(QColor(70, 75, 90), std::max(1.0, s / 16.0)));
        for (double x : {0.38, 0.5, 0.62})
            p.drawLine(QPointF(x * s, 0.4 * s), QPointF(x * s, 0.84 * s));
        break;
    }
    case SensyuPicture::Print: {
        // A printer with a sheet coming out.
        p.setPen(QPen(QColor(60, 60, 60), 1));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(0.28 * s, 0.06 * s, 0.44 * s, 0.3 * s));
        p.setBrush(QColor(110, 115, 130));
        p.drawRoundedRect(QRectF(0.08 * s, 0.34 * s, 0.84 * s, 0.36 * s), 0.06 * s, 0.06 * s);
        p.setBrush(QColor(60, 200, 80));
        p.drawEllipse(QRectF(0.74 * s, 0.42 * s, 0.08 * s, 0.08 * s));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(0.24 * s, 0.6 * s, 0.52 * s, 0.34 * s));
        p.setPen(QPen(QColor(120, 140, 190), 1));
        p.drawLine(QPointF(0.3 * s, 0.74 * s), QPointF(0.7 * s, 0.74 * s));
        p.drawLine(QPointF(0.3 * s, 0.84 * s), QPointF(0.62 * s, 0.84 * s));
        break;
    }
    }
}

} // namespace

QPixmap sensyuPicture(SensyuPicture picture, int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        draw(painter, picture, size);
    }
    return QPixmap::fromImage(image);
}
