#include "race/ToolPictures.h"

#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <numbers>

namespace {

// A small table: a white sheet with a header row and grid lines.
void drawTable(QPainter& p, const QRectF& r, const QColor& header) {
    p.setPen(QPen(QColor(60, 60, 60), 1));
    p.setBrush(Qt::white);
    p.drawRect(r);
    p.fillRect(QRectF(r.left() + 0.5, r.top() + 0.5, r.width() - 0.5, r.height() / 4), header);
    for (int i = 1; i < 4; ++i) {
        const double y = r.top() + r.height() * i / 4;
        p.drawLine(QPointF(r.left(), y), QPointF(r.right(), y));
    }
    const double x = r.left() + r.width() / 3;
    p.drawLine(QPointF(x, r.top()), QPointF(x, r.bottom()));
}

void drawWave(QPainter& p, double s, double period, double phase, const QColor& color) {
    QPainterPath path;
    for (int i = 0; i <= 40; ++i) {
        const double x = 0.1 * s + 0.8 * s * i / 40.0;
        const double y = 0.5 * s - 0.32 * s * std::sin(2 * std::numbers::pi * (i / 40.0) * period + phase);
        if (i == 0)
            path.moveTo(x, y);
        else
            path.lineTo(x, y);
    }
    p.setPen(QPen(color, std::max(1.0, s / 14.0)));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
}

void drawCircleMark(QPainter& p, double s, const QString& mark) {
    p.setPen(QPen(QColor(20, 60, 160), 1));
    p.setBrush(QColor(60, 120, 220));
    p.drawEllipse(QRectF(0.1 * s, 0.1 * s, 0.8 * s, 0.8 * s));
    QFont font = p.font();
    font.setBold(true);
    font.setPixelSize(static_cast<int>(0.6 * s));
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(0, 0, s, s), Qt::AlignCenter, mark);
}

void draw(QPainter& p, ToolPicture picture, double s) {
    switch (picture) {
    case ToolPicture::Close: {
        // A door standing open with an arrow leaving through it.
        p.setPen(QPen(QColor(90, 50, 20), 1));
        p.setBrush(QColor(170, 110, 60));
        p.drawRect(QRectF(0.15 * s, 0.1 * s, 0.45 * s, 0.8 * s));
        p.setBrush(QColor(230, 200, 80));
        p.drawEllipse(QRectF(0.48 * s, 0.48 * s, 0.07 * s, 0.07 * s));
        p.setPen(QPen(QColor(200, 30, 30), std::max(1.5, s / 10.0), Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(0.5 * s, 0.5 * s), QPointF(0.9 * s, 0.5 * s));
        p.drawLine(QPointF(0.9 * s, 0.5 * s), QPointF(0.75 * s, 0.35 * s));
        p.drawLine(QPointF(0.9 * s, 0.5 * s), QPointF(0.75 * s, 0.65 * s));
        break;
    }
    case ToolPicture::Biorhythm:
        p.setPen(QPen(QColor(120, 120, 120), 1));
        p.drawLine(QPointF(0.05 * s, 0.5 * s), QPointF(0.95 * s, 0.5 * s));
        drawWave(p, s, 1.0, 0.0, QColor(220, 30, 30));
        drawWave(p, s, 0.8, 1.2, QColor(30, 150, 40));
        drawWave(p, s, 0.65, 2.4, QColor(30, 60, 210));
        break;
    case ToolPicture::Clear:
        // A list with a red cross over it.
        drawTable(p, QRectF(0.12 * s, 0.1 * s, 0.66 * s, 0.8 * s), QColor(190, 210, 240));
        p.setPen(QPen(QColor(210, 20, 20), std::max(1.5, s / 9.0), Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(0.45 * s, 0.45 * s), QPointF(0.9 * s, 0.9 * s));
        p.drawLine(QPointF(0.9 * s, 0.45 * s), QPointF(0.45 * s, 0.9 * s));
        break;
    case ToolPicture::TableSwitch: {
        drawTable(p, QRectF(0.05 * s, 0.05 * s, 0.5 * s, 0.5 * s), QColor(190, 210, 240));
        drawTable(p, QRectF(0.45 * s, 0.45 * s, 0.5 * s, 0.5 * s), QColor(250, 220, 140));
        p.setPen(QPen(QColor(30, 120, 30), std::max(1.0, s / 14.0)));
        p.drawLine(QPointF(0.1 * s, 0.7 * s), QPointF(0.3 * s, 0.9 * s));
        p.drawLine(QPointF(0.3 * s, 0.9 * s), QPointF(0.3 * s, 0.72 * s));
        p.drawLine(QPointF(0.7 * s, 0.1 * s), QPointF(0.9 * s, 0.3 * s));
        p.drawLine(QPointF(0.7 * s, 0.1 * s), QPointF(0.7 * s, 0.28 * s));
        break;
    }
    case ToolPicture::AddToTable:
        drawTable(p, QRectF(0.08 * s, 0.08 * s, 0.66 * s, 0.72 * s), QColor(250, 220, 140));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(20, 150, 40));
        p.drawEllipse(QRectF(0.5 * s, 0.5 * s, 0.46 * s, 0.46 * s));
        p.setPen(QPen(Qt::white, std::max(1.5, s / 10.0)));
        p.drawLine(QPointF(0.73 * s, 0.6 * s), QPointF(0.73 * s, 0.86 * s));
        p.drawLine(QPointF(0.6 * s, 0.73 * s), QPointF(0.86 * s, 0.73 * s));
        break;
    case ToolPicture::Help:
        drawCircleMark(p, s, QStringLiteral("?"));
        break;
    case ToolPicture::Version:
        drawCircleMark(p, s, QStringLiteral("i"));
        break;
    }
}

} // namespace

QPixmap toolPicture(ToolPicture picture, int size, bool greyed) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        draw(painter, picture, size);
    }
    if (greyed) {
        for (int y = 0; y < image.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x) {
                const int alpha = qAlpha(line[x]);
                const int grey = (qGray(line[x]) + 2 * 192) / 3;
                line[x] = qRgba(grey * alpha / 255, grey * alpha / 255, grey * alpha / 255, alpha);
            }
        }
    }
    return QPixmap::fromImage(image);
}
