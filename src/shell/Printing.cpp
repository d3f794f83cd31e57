#include "Printing.h"

#include "Conversions.h"

void PrintJob::printNumber(double value) {
    printText(conv::printStyle(value));
}
