#pragma once

#include "shell/Controls.h"

#include <span>

namespace keirinjyoform {

// The velodrome master window's controls (KeirinjyoFormLayout.cpp).
std::span<const controls::Row> layout();

} // namespace keirinjyoform
