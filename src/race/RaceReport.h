#pragma once

#include <QString>
#include <QVariant>

struct AppState;
struct PersonSlot;
class PrintJob;
class Printer;
class Recordset;

namespace bio {
struct Evaluations;
}

// The race table on paper and the race as a history record: both work on the hand-over values of
// the race, never on what the race table window shows.
namespace racereport {

// The racers of the race: slots 0..8 up to the first one with an empty affiliation.
int raceRowCount(const AppState& state);

// The three evaluations of a racer on the survey date.
bio::Evaluations evaluationsOf(const AppState& state, const PersonSlot& person);

// "調査日： 1999. 12. 8  青森競輪  第5レース    バイオリズム表示"
QString reportTitle(const AppState& state);

// Prints the race table as one job: the title, the headings and one row per racer, each followed by
// an empty line. Starts no job and returns false when the race has no racer. A failure on the way
// throws and leaves the job unended.
bool printRaceTable(Printer& printer, const AppState& state);

// One row of the table for slot index `slot`; the evaluations are cut to hundredths and coloured
// for paper. Ends the line and leaves an empty line under it.
void printRaceRow(PrintJob& job, int slot, const PersonSlot& person, const bio::Evaluations& values);

// Stores the race as a new row of T_レース履歴 (survey date, velodrome, race number, the nine racer
// IDs, 0 for slots without a racer). A failed store drops the half-made row and rethrows.
void addRaceHistory(Recordset& history, const AppState& state, const QVariant& velodromeId);

} // namespace racereport
