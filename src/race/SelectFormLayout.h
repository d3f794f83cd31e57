#pragma once

#include "shell/Controls.h"

#include <span>

namespace selectform {

// The race selection window's layout tables (SelectFormLayout.cpp).
std::span<const controls::Row> topLayout();
std::span<const controls::Row> listLayout();

} // namespace selectform
