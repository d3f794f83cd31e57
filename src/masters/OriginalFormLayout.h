#pragma once

#include "shell/Controls.h"

#include <span>

namespace originalform {

// The roster window's controls (OriginalFormLayout.cpp).
std::span<const controls::Row> layout();

} // namespace originalform
