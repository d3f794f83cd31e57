#include "records/RacerRecord.h"

#include "core/Conversions.h"
#include "core/Errors.h"
#include "store/Recordset.h"

namespace records {

QString readingInitial(const QString& reading) {
    if (reading.isEmpty())
        return {};
    return reading.left(reading.at(0).isHighSurrogate() && reading.size() > 1 ? 2 : 1);
}

namespace {

qint16 int16(const Recordset& set, const QString& field) {
    const QVariant value = set.field(field);
    return value.isNull() ? 0 : conv::valueToInt16(value);
}

} // namespace

StoredRacer readStoredRacer(const Recordset& set) {
    RacerFields r;
    r.affiliationId = int16(set, QStringLiteral("所属ID"));
    const QVariant term = set.field(QStringLiteral("期"));
    r.term = term.isNull() ? QVariant() : QVariant(conv::valueToInt16(term));
    r.racerId = int16(set, QStringLiteral("選手ID"));
    r.name = conv::valueText(set.field(QStringLiteral("名前")));
    r.reading = conv::valueText(set.field(QStringLiteral("よみがな")));
    r.grade = set.field(QStringLiteral("級"));
    r.birthYear = int16(set, QStringLiteral("生年"));
    r.birthMonth = int16(set, QStringLiteral("生月"));
    r.birthDay = int16(set, QStringLiteral("生日"));
    r.bloodTypeId = int16(set, QStringLiteral("血液型ID"));
    return {r, conv::valueText(set.field(QStringLiteral("よみがな１桁")))};
}

bool sameRacer(const RacerFields& a, const StoredRacer& stored) {
    const RacerFields& b = stored.fields;
    return a.affiliationId == b.affiliationId && a.term == b.term && a.racerId == b.racerId &&
           a.name == b.name && a.reading == b.reading && a.grade.toString() == b.grade.toString() &&
           a.birthYear == b.birthYear && a.birthMonth == b.birthMonth && a.birthDay == b.birthDay &&
           a.bloodTypeId == b.bloodTypeId && readingInitial(a.reading) == stored.readingInitial;
}

void writeRacer(Recordset& set, const RacerFields& v, const StoredRacer* stored) {
    const RacerFields* old = stored ? &stored->fields : nullptr;
    const QString initial = readingInitial(v.reading);
    if (!old || v.affiliationId != old->affiliationId)
        set.setField(QStringLiteral("所属ID"), v.affiliationId);
    if (!old || v.term != old->term)
        set.setField(QStringLiteral("期"), v.term);
    if (!old || v.racerId != old->racerId)
        set.setField(QStringLiteral("選手ID"), v.racerId);
    if (!old || v.name != old->name)
        set.setField(QStringLiteral("名前"), v.name);
    if (!old || v.reading != old->reading)
        set.setField(QStringLiteral("よみがな"), v.reading);
    if (!old || initial != stored->readingInitial)
        set.setField(QStringLiteral("よみがな１桁"), initial);
    if (!old || v.grade.toString() != old->grade.toString())
        set.setField(QStringLiteral("級"), v.grade);
    if (!old || v.birthYear != old->birthYear)
        set.setField(QStringLiteral("生年"), v.birthYear);
    if (!old || v.birthMonth != old->birthMonth)
        set.setField(QStringLiteral("生月"), v.birthMonth);
    if (!old || v.birthDay != old->birthDay)
        set.setField(QStringLiteral("生日"), v.birthDay);
    if (!old || v.bloodTypeId != old->bloodTypeId)
        set.setField(QStringLiteral("血液型ID"), v.bloodTypeId);
    try {
        set.update();
    } catch (const KorvaneError&) {
        if (set.isEditing())
            set.cancelUpdate();
        throw;
    }
}

} // namespace records
