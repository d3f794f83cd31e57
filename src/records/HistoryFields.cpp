#include "records/HistoryFields.h"

#include "core/Conversions.h"
#include "core/Errors.h"
#include "store/Recordset.h"

namespace history {

QString slotField(const QString& stem, int slot) {
    return stem + QString::number(slot);
}

double fieldDouble(const Recordset& set, const QString& name) {
    return conv::valueToDouble(set.field(name));
}

bool liveIdIs(const Recordset& set, double id) {
    try {
        return fieldDouble(set, QStringLiteral("履歴ID")) == id;
    } catch (const KorvaneError& error) {
        if (error.number() == ErrorNumber::RecordDeleted)
            return false;
        throw;
    }
}

qint16 fieldInt16(const Recordset& set, const QString& name) {
    return conv::valueToInt16(set.field(name));
}

QString fieldText(const Recordset& set, const QString& name) {
    return conv::valueText(conv::requireValue(set.field(name)));
}

SlotState slotState(const Recordset& race, int slot) {
    if (fieldDouble(race, slotField(QStringLiteral("選手"), slot)) == 0)
        return SlotState::Empty;
    if (fieldInt16(race, slotField(QStringLiteral("所属ID"), slot)) == 0)
        return SlotState::RacerGone;
    return SlotState::Racer;
}

bio::Evaluations slotEvaluations(const Recordset& race, int slot) {
    const double elapsed = bio::ElapsedDays(
        fieldInt16(race, QStringLiteral("調査年")), fieldInt16(race, QStringLiteral("調査月")),
        fieldInt16(race, QStringLiteral("調査日")), fieldInt16(race, slotField(QStringLiteral("生年"), slot)),
        fieldInt16(race, slotField(QStringLiteral("生月"), slot)),
        fieldInt16(race, slotField(QStringLiteral("生日"), slot)));
    return bio::EvaluateDay(elapsed);
}

} // namespace history
