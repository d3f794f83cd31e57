#pragma once

#include "shell/Controls.h"

#include <span>

namespace sensyuform {

// The racer master window's layout tables (SensyuFormLayout.cpp).
std::span<const controls::Row> toolLayout();
std::span<const controls::Row> listAndEditLayout();

} // namespace sensyuform
