#include "app/PrinterFactory.h"

#include "shell/ReportPrinter.h"

std::unique_ptr<Printer> createPrinter(const AppState& state, Dialogs& dialogs) {
    return std::make_unique<ReportPrinter>(state, dialogs);
}
