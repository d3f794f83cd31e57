#include "race/RacerSearch.h"

#include "core/Conversions.h"
#include "core/Dialogs.h"
#include "core/Errors.h"
#include "store/Recordset.h"

#include <QStringBuilder>
#include <algorithm>

namespace {

const QString fAffiliationId = QStringLiteral("所属ID");
const QString fAffiliation = QStringLiteral("所属名");
const QString fRacerId = QStringLiteral("選手ID");
const QString fRegistration = QStringLiteral("登番");
const QString fTerm = QStringLiteral("期");
const QString fName = QStringLiteral("名前");
const QString fKana = QStringLiteral("よみがなID");
const QString fBirthYear = QStringLiteral("生年");
const QString fBirthMonth = QStringLiteral("生月");
const QString fBirthDay = QStringLiteral("生日");
const QString fBloodType = QStringLiteral("血液型名");

QString requiredText(const Recordset& row, const QString& field) {
    return conv::requireValue(row.field(field)).toString();
}

qint16 requiredInt16(const Recordset& row, const QString& field) {
    return conv::valueToInt16(row.field(field));
}

// The row condition of the old find-and-walk: a null never equals the key.
bool meets(const Recordset& row, const QList<FieldEquals>& conditions) {
    for (const FieldEquals& condition : conditions) {
        const QVariant value = row.field(condition.field);
        if (value.typeId() == QMetaType::LongLong) {
            if (*static_cast<const qlonglong*>(value.constData()) != condition.value)
                return false;
            continue;
        }
        bool ok = false;
        const double number = value.toDouble(&ok);
        if (value.isNull() || !ok || number != static_cast<double>(condition.value))
            return false;
    }
    return true;
}

} // namespace

SearchRequest SearchRequest::term(qint16 term, bool combined, qint16 prefecture) {
    return {SearchKind::Term, term, combined, prefecture};
}

SearchRequest SearchRequest::registrationNumber(qint16 number) {
    return {SearchKind::RegistrationNumber, number, false, 0};
}

SearchRequest SearchRequest::kana(qint16 kanaIndex) {
    return {SearchKind::Kana, kanaIndex, false, 0};
}

SearchRequest SearchRequest::prefecture(qint16 prefecture, bool combined, qint16 term) {
    return {SearchKind::Prefecture, prefecture, combined, term};
}

SearchRequest SearchRequest::wholeTable() {
    return {SearchKind::WholeTable, 0, false, 0};
}

void SearchResults::clear() {
    lines.clear();
    rows.clear();
}

QString racerViewName(qint16 extractionMode) {
    return extractionMode != 0 ? QStringLiteral("Q_選手抽出") : QStringLiteral("Q_選手");
}

QList<FieldEquals> searchConditions(const SearchRequest& request) {
    switch (request.kind) {
    case SearchKind::Term:
        if (request.combined)
            return {{fTerm, request.key}, {fAffiliationId, request.otherKey}};
        return {{fTerm, request.key}};
    case SearchKind::RegistrationNumber:
        return {{fRegistration, request.key}};
    case SearchKind::Kana:
        return {{fKana, request.key}};
    case SearchKind::Prefecture:
        if (request.combined)
            return {{fAffiliationId, request.key}, {fTerm, request.otherKey}};
        return {{fAffiliationId, request.key}};
    case SearchKind::WholeTable:
        break;
    }
    return {};
}

namespace {

// Reads each field of the row once. The line needs 所属名, 選手ID and 名前; only then are the values
// converted for the slot, so a null in those three is reported before a number out of range. The
// racer table allows a racer without a term: he shows an empty term and gets term 0 in his slot.
void readRacerRow(const Recordset& row, QString* line, PersonSlot* slot) {
    const QString affiliation = requiredText(row, fAffiliation);
    const QVariant racerId = conv::requireValue(row.field(fRacerId));
    const QVariant term = row.field(fTerm);
    const QString name = requiredText(row, fName);
    if (line) {
        const QLatin1StringView gap =
            affiliation.size() == 2 ? QLatin1StringView("    ") : QLatin1StringView(" ");
        const QLatin1StringView twoBlanks("  ");
        const QString termText = term.isNull() ? QString() : conv::valueText(term);
        *line = affiliation % gap % conv::valueText(racerId) % twoBlanks % termText % twoBlanks % name;
    }
    if (slot) {
        slot->affiliation = conv::padCut(affiliation, 6);
        slot->racerId = conv::valueToInt16(racerId);
        slot->name = conv::padCut(name, 22);
        slot->term = term.isNull() ? qint16(0) : conv::valueToInt16(term);
        slot->birthYear = requiredInt16(row, fBirthYear);
        slot->birthMonth = requiredInt16(row, fBirthMonth);
        slot->birthDay = requiredInt16(row, fBirthDay);
        slot->bloodType = requiredText(row, fBloodType);
    }
}

} // namespace

QString racerRowText(const Recordset& row) {
    QString line;
    readRacerRow(row, &line, nullptr);
    return line;
}

PersonSlot racerRowSlot(const Recordset& row) {
    PersonSlot slot;
    readRacerRow(row, nullptr, &slot);
    return slot;
}

SearchOutcome listRacers(Recordset& source, const SearchRequest& request, SearchResults& results) {
    if (request.kind == SearchKind::WholeTable && source.bof() && source.eof())
        return SearchOutcome::EmptyTable;

    const QList<FieldEquals> conditions = searchConditions(request);
    if (!(source.bof() && source.eof()))
        source.moveFirst();
    results.clear();
    const int expected = std::min(source.recordCount(), int(SearchResults::MaxRows));
    results.lines.reserve(expected);
    results.rows.reserve(expected);
    for (; !source.eof(); source.moveNext()) {
        if (!meets(source, conditions))
            continue;
        // Both halves of a row are made before either is kept, so a line is never listed
        // without the values a pick would copy.
        QString line;
        PersonSlot slot;
        readRacerRow(source, &line, &slot);
        results.lines.append(std::move(line));
        results.rows.append(std::move(slot));
        if (results.size() >= SearchResults::MaxRows)
            return SearchOutcome::Overflow;
    }
    return results.size() == 0 ? SearchOutcome::NoMatch : SearchOutcome::Listed;
}

QString overflowMessage(SearchKind kind) {
    switch (kind) {
    case SearchKind::Term:
        return QStringLiteral("期別領域オーバーフロー");
    case SearchKind::RegistrationNumber:
        return QStringLiteral("登番別領域オーバーフロー");
    case SearchKind::Kana:
        return QStringLiteral("よみがな別領域オーバーフロー");
    case SearchKind::Prefecture:
        return QStringLiteral("県別領域オーバーフロー");
    case SearchKind::WholeTable:
        break;
    }
    return QStringLiteral("一覧検索領域オーバーフロー");
}

QString noMatchMessage() {
    return QStringLiteral("該当レコードがありません");
}

QString outcomeMessage(SearchKind kind, SearchOutcome outcome) {
    switch (outcome) {
    case SearchOutcome::Overflow:
        return overflowMessage(kind);
    case SearchOutcome::NoMatch:
    case SearchOutcome::EmptyTable:
        return noMatchMessage();
    case SearchOutcome::Listed:
        break;
    }
    return {};
}

void listAndShow(Recordset& source, const SearchRequest& request, SearchResults& results, Dialogs& dialogs,
                 const std::function<void()>& show) {
    SearchOutcome outcome = SearchOutcome::Listed;
    try {
        outcome = listRacers(source, request, results);
    } catch (const KorvaneError&) {
        show(); // the rows listed before the faulty one stay
        throw;
    }
    if (outcome != SearchOutcome::EmptyTable)
        show();
    const QString message = outcomeMessage(request.kind, outcome);
    if (!message.isEmpty())
        dialogs.message(message);
}
