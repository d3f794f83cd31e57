#pragma once

#include <QColor>
#include <QPixmap>
#include <QSize>

// The pictures of the main menu's race, drawn here so that the program needs no picture files.
namespace racepictures {

constexpr int RiderCount = 6;

// The frame colours riders 1..6 wear (white, black, red, blue, yellow, green).
QColor riderColour(int rider);

// A 32 x 32 rider on a bicycle with a transparent background, riding to the right or to the left.
QPixmap riderPicture(int rider, bool facingRight);

// The grass around the track.
QColor groundColour();

// The oval track the riders run on, with its finish line at the bottom centre.
QPixmap trackPicture(QSize size);

} // namespace racepictures
