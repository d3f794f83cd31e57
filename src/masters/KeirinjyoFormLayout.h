#pragma once

#include "shell/Controls.h"

#include <span>

namespace keirinjyoform {

// The velodrome master window's controls (KeirinjyoFormLayout.cpp).
std::span<const controls::Spec> layout();

} // namespace keirinjyoform
