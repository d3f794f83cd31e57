#include "records/MasterCsv.h"

#include "core/Conversions.h"
#include "core/Errors.h"
#include "store/Database.h"
#include "store/Recordset.h"

#include <QHash>

namespace records {

namespace {

QString text(const Recordset& set, const QString& field) {
    return conv::valueText(set.field(field));
}

const QString VelodromeView = QStringLiteral("Q_競輪場");
const QString RosterTable = QStringLiteral("T_個別名簿");

} // namespace

VelodromeCsv::VelodromeCsv() = default;
VelodromeCsv::~VelodromeCsv() = default;

QList<CsvColumn> VelodromeCsv::columns() const {
    return {{QStringLiteral("競輪場ID"), {}},
            {QStringLiteral("競輪場名"), {}},
            {QStringLiteral("地区"), {QStringLiteral("地区名")}}};
}

QByteArray VelodromeCsv::exportFile(Database& db) {
    csv::Writer writer;
    writer.record(header());
    for (auto set = db.openRecordset(VelodromeView); !set->eof(); set->moveNext())
        writer.record({text(*set, QStringLiteral("競輪場ID")), text(*set, QStringLiteral("競輪場名")),
                       conv::trimBlanks(text(*set, QStringLiteral("地区名")))});
    return writer.bytes();
}

CsvCheck VelodromeCsv::check(Database& db, const csv::Document& document) {
    CsvCheck result;
    m_writes.clear();
    CsvLayout layout;
    const QList<csv::Record> records = dataRecords(document, columns(), result, layout);
    if (!result.error.isEmpty())
        return result;
    const QHash<QString, qint16> regions =
        codeNames(db, QStringLiteral("T_地区"), QStringLiteral("地区ID"), QStringLiteral("地区名"));
    QHash<qint16, std::pair<QString, qint16>> stored;
    for (auto set = db.openRecordset(VelodromeView); !set->eof(); set->moveNext())
        stored.insert(conv::valueToInt16(set->field(QStringLiteral("競輪場ID"))),
                      {text(*set, QStringLiteral("競輪場名")),
                       conv::valueToInt16(set->field(QStringLiteral("地区ID")))});

    QHash<qint16, int> seen;
    for (const csv::Record& record : records) {
        RecordReader read(record, layout, result.rejections);
        Write w;
        QList<Refusal> refusals;
        VelodromeValues values;
        checkVelodrome(read.field(0), read.field(1), values, refusals, layout.headings.at(0),
                       layout.headings.at(1));
        read.reject(refusals);
        w.id = values.id;
        w.name = values.name;
        const QString region = trimBlanks(read.field(2));
        w.regionId = regions.value(region);
        if (w.regionId == 0)
            read.reject(2, region.isEmpty()
                               ? QStringLiteral("%1がありません。").arg(layout.headings.at(2))
                               : QStringLiteral("%1「%2」はありません。").arg(layout.headings.at(2), region));
        if (read.ok()) {
            const auto first = seen.constFind(w.id);
            if (first != seen.constEnd())
                read.reject(0, QStringLiteral("%1 %2 は %3 行目にもあります。")
                                   .arg(layout.headings.at(0))
                                   .arg(w.id)
                                   .arg(*first));
            else
                seen.insert(w.id, record.line);
        }
        if (!read.ok()) {
            ++result.rejected;
            continue;
        }
        const auto old = stored.constFind(w.id);
        w.adding = old == stored.constEnd();
        if (w.adding)
            ++result.added;
        else if (old->first == w.name && old->second == w.regionId)
            ++result.unchanged;
        else
            ++result.changed;
        if (w.adding || old->first != w.name || old->second != w.regionId)
            m_writes.append(w);
    }
    return result;
}

void VelodromeCsv::beginWrites(Database& db) {
    m_writer = db.openWriter(QStringLiteral("T_競輪場"));
}

void VelodromeCsv::writeOne(int index) {
    const Write& w = m_writes.at(index);
    const QStringList fields{QStringLiteral("競輪場名"), QStringLiteral("地区ID")};
    if (w.adding)
        m_writer->insert({QStringLiteral("競輪場ID"), fields.at(0), fields.at(1)},
                         {w.id, w.name, w.regionId});
    else if (!m_writer->update(QStringLiteral("競輪場ID"), w.id, fields, {w.name, w.regionId}))
        throw KorvaneError(ErrorNumber::RecordDeleted, programErrorSource(),
                           QStringLiteral("競輪場ID %1 の競輪場が見つかりません。").arg(w.id));
}

void VelodromeCsv::endWrites() {
    m_writer.reset();
}

RosterCsv::RosterCsv() = default;
RosterCsv::~RosterCsv() = default;

QList<CsvColumn> RosterCsv::columns() const {
    return {{QStringLiteral("名前"), {QStringLiteral("氏名")}},
            {QStringLiteral("生年"), {}},
            {QStringLiteral("生月"), {}},
            {QStringLiteral("生日"), {}}};
}

QByteArray RosterCsv::exportFile(Database& db) {
    csv::Writer writer;
    writer.record(header());
    for (auto set = db.openRecordset(RosterTable); !set->eof(); set->moveNext()) {
        const QString yearEntry = text(*set, QStringLiteral("生年"));
        const auto year = birthYearOf(yearEntry);
        // An entry typed by hand without a year in front goes out as it stands.
        writer.record({text(*set, QStringLiteral("名前")), year ? QString::number(*year) : yearEntry,
                       text(*set, QStringLiteral("生月")), text(*set, QStringLiteral("生日"))});
    }
    return writer.bytes();
}

namespace {

// A person by value: the name without the blanks around it and the date as numbers, so that a row
// typed by hand ("1965", "04") is the same person as the picker's texts ("1965 (昭和40)", "4").
// A date that does not read as numbers keeps its texts, and matches only the same texts.
QString personKey(const QString& name, const QString& year, const QString& month, const QString& day) {
    const auto y = birthYearOf(year);
    const auto m = wholeNumber(month);
    const auto d = wholeNumber(day);
    const QChar separator(0x1F);
    if (y && m && d)
        return trimBlanks(name) + separator + QString::number(*y) + separator + QString::number(*m) +
               separator + QString::number(*d);
    return trimBlanks(name) + separator + separator + year + separator + month + separator + day;
}

} // namespace

CsvCheck RosterCsv::check(Database& db, const csv::Document& document) {
    CsvCheck result;
    m_writes.clear();
    CsvLayout layout;
    const QList<csv::Record> records = dataRecords(document, columns(), result, layout);
    if (!result.error.isEmpty())
        return result;
    QHash<QString, int> stored; // each person listed, with how many times
    for (auto set = db.openRecordset(RosterTable); !set->eof(); set->moveNext())
        ++stored[personKey(text(*set, QStringLiteral("名前")), text(*set, QStringLiteral("生年")),
                           text(*set, QStringLiteral("生月")), text(*set, QStringLiteral("生日")))];
    for (const csv::Record& record : records) {
        RecordReader read(record, layout, result.rejections);
        QList<Refusal> refusals;
        RosterPerson checked;
        checkRosterPerson(read.field(0), read.field(1), read.field(2), read.field(3), m_thisYear, checked,
                          refusals);
        read.reject(refusals);
        if (!read.ok()) {
            ++result.rejected;
            continue;
        }
        const QStringList person = checked.storedTexts();
        auto found = stored.find(personKey(person.at(0), person.at(1), person.at(2), person.at(3)));
        if (found != stored.end() && *found > 0) {
            --*found;
            ++result.unchanged;
        } else {
            ++result.added;
            m_writes.append(person);
        }
    }
    return result;
}

void RosterCsv::beginWrites(Database& db) {
    m_writer = db.openWriter(RosterTable);
}

void RosterCsv::writeOne(int index) {
    const QStringList& person = m_writes.at(index);
    m_writer->insert(
        {QStringLiteral("名前"), QStringLiteral("生年"), QStringLiteral("生月"), QStringLiteral("生日")},
        {person.at(0), person.at(1), person.at(2), person.at(3)});
}

void RosterCsv::endWrites() {
    m_writer.reset();
}

} // namespace records
