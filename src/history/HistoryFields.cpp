#include "HistoryFields.h"

#include "Conversions.h"
#include "Errors.h"
#include "Recordset.h"

namespace history {

namespace {

QVariant nonNull(const Recordset& set, const QString& name) {
    QVariant value = set.field(name);
    if (value.isNull())
        throw KorvaneError(ErrorNumber::InvalidUseOfNull, programErrorSource(),
                           QStringLiteral("Null の使い方が不正です。"));
    return value;
}

bool isNumber(const QVariant& value) {
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Bool:
        return true;
    default:
        return false;
    }
}

} // namespace

QString slotField(const QString& stem, int slot) {
    return stem + QString::number(slot);
}

double fieldDouble(const Recordset& set, const QString& name) {
    const QVariant value = nonNull(set, name);
    bool ok = false;
    const double number = value.toDouble(&ok);
    if (!ok)
        throw KorvaneError(13, programErrorSource(), QStringLiteral("型が一致しません。"));
    return number;
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
    return conv::toInt16(fieldDouble(set, name));
}

QString fieldText(const Recordset& set, const QString& name) {
    return listText(nonNull(set, name));
}

QString listText(const QVariant& value) {
    if (value.isNull())
        return {};
    return isNumber(value) ? conv::plainNumber(value.toDouble()) : value.toString();
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
