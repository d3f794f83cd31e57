#pragma once

#include "shell/Controls.h"

#include <span>

namespace selectform {

// The race selection window's layout tables (SelectFormLayout.cpp).
std::span<const controls::Spec> topLayout();
std::span<const controls::Spec> listLayout();

} // namespace selectform
