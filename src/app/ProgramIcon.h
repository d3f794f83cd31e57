#pragma once

#include <QImage>
#include <array>

class QIcon;

// The program's picture: a keirin wheel over the three biorhythm waves, on a dark rounded square.
// Drawn at the given size in pixels (square), for the windows and for the desktop's icon theme.
QImage programIcon(int size);

// The sizes the windows' icon carries.
inline constexpr std::array<int, 5> WindowIconSizes{16, 32, 48, 64, 128};

// The windows' icon at WindowIconSizes. Its pixels were drawn by programIcon when the program was
// built (korvane_makeicons --pixels), since drawing them at start-up takes a noticeable part of it.
QIcon programWindowIcon();
