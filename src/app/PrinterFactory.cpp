#include "PrinterFactory.h"

#include "Errors.h"

namespace {

// Until the page back end is part of the program, every report ends in the printer error the
// reports already handle, rather than pretending to print.
class UnavailablePrinter : public Printer {
public:
    std::unique_ptr<PrintJob> startJob(const QString&) override {
        throw KorvaneError(ErrorNumber::PrinterError, QStringLiteral("Printer"),
                           QStringLiteral("プリンタを使用できません。"));
    }
};

} // namespace

std::unique_ptr<Printer> createPrinter(const AppState&) {
    return std::make_unique<UnavailablePrinter>();
}
