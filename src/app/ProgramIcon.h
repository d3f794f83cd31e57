#pragma once

#include <QImage>

// The program's picture: a keirin wheel over the three biorhythm waves, on a dark rounded square.
// Drawn at the given size in pixels (square), for the windows and for the desktop's icon theme.
QImage programIcon(int size);
