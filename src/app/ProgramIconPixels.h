#pragma once

#include "app/ProgramIcon.h"

#include <QtGlobal>
#include <array>

// One size of the window icon: size x size premultiplied ARGB words, row after row.
struct IconPixels {
    int size;
    const quint32* pixels;
};

// Written at build time by korvane_makeicons --pixels.
extern const std::array<IconPixels, WindowIconSizes.size()> builtWindowIcon;
