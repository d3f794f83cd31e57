#include "masters/RacerRecord.h"

#include "core/Errors.h"
#include "store/Recordset.h"

namespace masters {

QString readingInitial(const QString& reading) {
    if (reading.isEmpty())
        return {};
    return reading.left(reading.at(0).isHighSurrogate() && reading.size() > 1 ? 2 : 1);
}

void writeRacer(Recordset& set, const RacerFields& v) {
    set.setField(QStringLiteral("所属ID"), v.affiliationId);
    set.setField(QStringLiteral("期"), v.term);
    set.setField(QStringLiteral("選手ID"), v.racerId);
    set.setField(QStringLiteral("名前"), v.name);
    set.setField(QStringLiteral("よみがな"), v.reading);
    set.setField(QStringLiteral("よみがな１桁"), readingInitial(v.reading));
    set.setField(QStringLiteral("級"), v.grade);
    set.setField(QStringLiteral("生年"), v.birthYear);
    set.setField(QStringLiteral("生月"), v.birthMonth);
    set.setField(QStringLiteral("生日"), v.birthDay);
    set.setField(QStringLiteral("血液型ID"), v.bloodTypeId);
    try {
        set.update();
    } catch (const KorvaneError&) {
        if (set.isEditing())
            set.cancelUpdate();
        throw;
    }
}

} // namespace masters
