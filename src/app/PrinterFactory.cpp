#include "PrinterFactory.h"

#include "ReportPrinter.h"

std::unique_ptr<Printer> createPrinter(const AppState& state) {
    return std::make_unique<ReportPrinter>(state);
}
