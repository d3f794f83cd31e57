#pragma once

#include "core/AppState.h"

#include <QDate>
#include <QString>
#include <array>

namespace testsupport {

// A made-up racer as the race selection hands him on.
struct Racer {
    QString affiliation;
    int id = 0;
    QString name;
    int term = 0;
    QDate birth;
    QString bloodType;
};

// Nine made-up racers with birth dates spread over the cycles, one of them born on 29 February.
const std::array<Racer, 9>& nineRacers();

// The slot a racer takes in a race: affiliation padded to 6 characters and name to 22, as the race
// selection fills them.
PersonSlot slotOf(const Racer& racer);

// The first count of the nine racers in slots 0, 1, ...; the other slots stay as they are.
void fillRace(AppState& state, int count);

// Every slot, 0 to 9, filled with a made-up person (racer IDs 1000 to 1009); the detail chart shows
// slot 6.
void fillAllSlots(AppState& state);

// What the master commands leave in a slot they clear: the racer ID, blood type "0", nothing else.
PersonSlot clearedSlot(qint16 racerId);

// A slot field by field, so that a failed comparison shows which field differs.
QString slotText(const PersonSlot& slot);

} // namespace testsupport
