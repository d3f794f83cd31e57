#pragma once

#include <QString>
#include <QVariant>

class Recordset;

namespace records {

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

// A racer as stored, with the よみがな１桁 stored for him.
struct StoredRacer {
    RacerFields fields;
    QString readingInitial;
};

// The racer the set stands on (T_選手 or Q_選手), as stored.
StoredRacer readStoredRacer(const Recordset& set);

// Whether the fields would store nothing new for the stored racer. 級 null and empty are the same
// to the user: both are compared as text.
bool sameRacer(const RacerFields& fields, const StoredRacer& stored);

// Writes the fields, よみがな１桁 with them, into the set's row being edited or added, and stores it.
// Given the racer as stored, an edit writes only the fields that differ: a file that changes one
// field of many racers writes that field only. A refused row is not left half-edited in the set.
void writeRacer(Recordset& set, const RacerFields& fields, const StoredRacer* stored = nullptr);

} // namespace records
