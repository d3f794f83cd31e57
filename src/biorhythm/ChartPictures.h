#pragma once

#include <QColor>
#include <QPixmap>
#include <QPointF>
#include <QSize>

class QPainter;

// The pictures of the chart windows, all drawn here: the small cycle glyphs of the nine-chart
// overview, the markers of the detail chart, and the backgrounds.
namespace chart {

// Glyph colours: 身体 light blue, 感情 light red, 知性 a cyan box with light green edges.
QColor physicalColor();
QColor emotionalColor();
QColor cubeFaceColor();
QColor cubeEdgeColor();

// Draws the glyph of a cycle (23, 28 or 33) with its top-left at topLeft; it fits in about 11 x 11 pixels.
void drawGlyph(QPainter& painter, int cycle, QPointF topLeft);

// The detail chart's marker of a cycle, transparent around the figure. Its centre is the day's
// point on the curve.
QSize markerSize();
QPixmap markerPicture(int cycle);

// Backgrounds of the overview window and the frame of the detail window.
QPixmap overviewBackground(QSize size);
QPixmap detailFrame(QSize size);

} // namespace chart
