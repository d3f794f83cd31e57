#include "race/EvaluationDisplay.h"

#include "core/Conversions.h"
#include "core/Printing.h"

#include <QColor>
#include <QLabel>
#include <QPalette>

bool isRedOnScreen(double value) {
    return value >= -1 && value <= 1;
}

void showEvaluation(QLabel* label, double value) {
    label->setText(conv::formatAmount(value));
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, isRedOnScreen(value) ? QColor(255, 0, 0) : QColor(255, 255, 255));
    label->setPalette(palette);
    label->setAutoFillBackground(true);
}

void clearEvaluation(QLabel* label) {
    label->clear();
    label->setAutoFillBackground(false);
}

bool isRedOnPaper(double cutValue) {
    return cutValue > -1 && cutValue < 1;
}

void printEvaluation(PrintJob& job, int column, double value) {
    const double cut = conv::floorHundredths(value);
    job.setColor(isRedOnPaper(cut) ? PrintJob::Red : PrintJob::Black);
    job.setColumn(column);
    job.printText(conv::formatAmount(cut));
}
