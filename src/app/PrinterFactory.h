#pragma once

#include "core/Printing.h"

#include <memory>

struct AppState;

// The one place the program's printer is made; the reports reach it through AppContext::printer.
std::unique_ptr<Printer> createPrinter(const AppState& state);
