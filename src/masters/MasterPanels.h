#pragma once

#include <QColor>
#include <QPalette>
#include <QWidget>

namespace masters {

// The backgrounds of the maintenance windows' picture boxes: a blue-grey frame around lighter panels.
// Only the panel's own background changes; the controls on it keep their colours.
inline void tintPanel(QWidget* panel, bool outer) {
    QPalette palette = panel->palette();
    palette.setColor(QPalette::Window, outer ? QColor(0xd8, 0xe2, 0xec) : QColor(0xee, 0xf1, 0xf5));
    panel->setPalette(palette);
    panel->setAutoFillBackground(true);
}

} // namespace masters
