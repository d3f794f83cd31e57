#include "core/Services.h"

#include <QRandomGenerator>

double SystemRandom::next() {
    return QRandomGenerator::global()->generateDouble();
}
