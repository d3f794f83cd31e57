#pragma once

#include <QPixmap>

// The pictures of the racer master window's own tool buttons; close, add, help, version and the
// clearing of a list come from the race selection window's set.
enum class SensyuPicture { Update, Delete, Print };

// A picture of size x size pixels, drawn here rather than loaded.
QPixmap sensyuPicture(SensyuPicture picture, int size = 20);
