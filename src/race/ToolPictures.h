#pragma once

#include <QPixmap>

// The pictures of the race selection window's tool strip, drawn here rather than loaded.
enum class ToolPicture { Close, Biorhythm, Clear, TableSwitch, AddToTable, Help, Version };

// A picture of size x size pixels; greyed gives the faded form shown where a button is unavailable.
QPixmap toolPicture(ToolPicture picture, int size = 20, bool greyed = false);
