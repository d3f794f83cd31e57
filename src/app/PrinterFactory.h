#pragma once

#include "core/Printing.h"

#include <memory>

struct AppState;
class Dialogs;

// The one place the program's printer is made; the reports reach it through AppContext::printer.
// A report written to a PDF file is announced through dialogs.
std::unique_ptr<Printer> createPrinter(const AppState& state, Dialogs& dialogs);
