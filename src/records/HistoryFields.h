#pragma once

#include "records/Biorhythm.h"

#include <QString>
#include <QVariant>
#include <QtGlobal>

class Recordset;

// Reading the slot columns of a stored race. A missing value is an error (94) wherever a number or
// a text is needed, as it has always been; the caller's error trap reports it.
namespace history {

// A slot column's name: the stem followed by the slot number 1..9 ("所属ID" and 3 give 所属ID3).
QString slotField(const QString& stem, int slot);

// A field as a number (94 when null, 13 when not a number).
double fieldDouble(const Recordset& set, const QString& name);

// Whether the current row's 履歴ID is id. A race deleted since the set was opened matches nothing,
// so a walk over the list goes on past it.
bool liveIdIs(const Recordset& set, double id);

// A field as a 16-bit integer, rounded half to even (6 beyond the range, 94 when null, 13 when not a number).
qint16 fieldInt16(const Recordset& set, const QString& name);

// A field as text: numbers in plain decimal, texts as stored (94 when null).
QString fieldText(const Recordset& set, const QString& name);

// What a slot of a stored race holds: no racer (選手n = 0), a racer since deleted from the racer
// table (the view gives no affiliation for it), or a racer.
enum class SlotState { Empty, RacerGone, Racer };
SlotState slotState(const Recordset& race, int slot);

// The three evaluations of slot n for the survey date of the current race.
bio::Evaluations slotEvaluations(const Recordset& race, int slot);

} // namespace history
