#pragma once

#include <QString>
#include <QVariant>

class Recordset;

namespace masters {

// A racer's own fields as the racer master stores them through Q_選手, whether typed into the edit
// panel or read from a file.
struct RacerFields {
    qint16 affiliationId = 0;
    QVariant term; // a number; null for an unknown term
    qint16 racerId = 0;
    QString name;
    QString reading;
    QVariant grade; // a text; null for an unknown grade
    qint16 birthYear = 0;
    qint16 birthMonth = 0;
    qint16 birthDay = 0;
    qint16 bloodTypeId = 0;
};

// よみがな１桁: the first character of the reading, a surrogate pair kept whole. The view derives
// よみがなID and 登番 from the stored racer itself.
QString readingInitial(const QString& reading);

// Writes the fields, よみがな１桁 with them, into the set's row being edited or added, and stores it.
// A refused row is not left half-edited in the set.
void writeRacer(Recordset& set, const RacerFields& fields);

} // namespace masters
