#include "app/PrinterFactory.h"

#include "shell/ReportPrinter.h"

std::unique_ptr<Printer> createPrinter(const AppState& state) {
    return std::make_unique<ReportPrinter>(state);
}
