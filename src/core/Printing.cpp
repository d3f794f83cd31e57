#include "core/Printing.h"

#include "core/Conversions.h"

void PrintJob::printNumber(double value) {
    printText(conv::printStyle(value));
}
