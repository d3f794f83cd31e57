#include "records/MasterCsv.h"

#include "core/Conversions.h"
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

VelodromeCsv::~VelodromeCsv() = default;

QStringList VelodromeCsv::header() const {
    return {QStringLiteral("競輪場ID"), QStringLiteral("競輪場名"), QStringLiteral("地区")};
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
    const QStringList heading = header();
    const QList<csv::Record> records = dataRecords(document, heading, result);
    if (!result.error.isEmpty())
        return result;
    QHash<QString, qint16> regions;
    for (auto set = db.openRecordset(QStringLiteral("T_地区")); !set->eof(); set->moveNext()) {
        const QString name = conv::trimBlanks(text(*set, QStringLiteral("地区名")));
        if (!regions.contains(name))
            regions.insert(name, conv::valueToInt16(set->field(QStringLiteral("地区ID"))));
    }
    QHash<qint16, std::pair<QString, qint16>> stored;
    for (auto set = db.openRecordset(VelodromeView); !set->eof(); set->moveNext())
        stored.insert(conv::valueToInt16(set->field(QStringLiteral("競輪場ID"))),
                      {text(*set, QStringLiteral("競輪場名")),
                       conv::valueToInt16(set->field(QStringLiteral("地区ID")))});

    QHash<qint16, int> seen;
    for (const csv::Record& record : records) {
        RecordReader read(record, heading, result.rejections);
        Write w;
        QList<Refusal> refusals;
        VelodromeValues values;
        checkVelodrome(read.field(0), read.field(1), values, refusals);
        read.reject(refusals);
        w.id = values.id;
        w.name = values.name;
        const QString region = trimBlanks(read.field(2));
        w.regionId = regions.value(region);
        if (w.regionId == 0)
            read.reject(2, region.isEmpty() ? QStringLiteral("地区がありません。")
                                            : QStringLiteral("地区「%1」はありません。").arg(region));
        if (read.ok()) {
            const auto first = seen.constFind(w.id);
            if (first != seen.constEnd())
                read.reject(0, QStringLiteral("競輪場ID %1 は %2 行目にもあります。").arg(w.id).arg(*first));
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

void VelodromeCsv::writeOne(Database& db, int index) {
    const Write& w = m_writes.at(index);
    auto set = w.adding ? db.openRecordset(VelodromeView, {}, 0)
                        : db.openRecordset(VelodromeView, {{QStringLiteral("競輪場ID"), w.id}});
    if (w.adding)
        set->addNew();
    else
        set->edit();
    set->setField(QStringLiteral("競輪場ID"), w.id);
    set->setField(QStringLiteral("競輪場名"), w.name);
    set->setField(QStringLiteral("地区ID"), w.regionId);
    set->update();
    set->close();
}

RosterCsv::RosterCsv() = default;
RosterCsv::~RosterCsv() = default;

QStringList RosterCsv::header() const {
    return {QStringLiteral("名前"), QStringLiteral("生年"), QStringLiteral("生月"), QStringLiteral("生日")};
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

CsvCheck RosterCsv::check(Database& db, const csv::Document& document) {
    CsvCheck result;
    m_writes.clear();
    const QStringList heading = header();
    const QList<csv::Record> records = dataRecords(document, heading, result);
    if (!result.error.isEmpty())
        return result;
    QHash<QStringList, int> stored; // each person listed, with how many times
    for (auto set = db.openRecordset(RosterTable); !set->eof(); set->moveNext())
        ++stored[{text(*set, QStringLiteral("名前")), text(*set, QStringLiteral("生年")),
                  text(*set, QStringLiteral("生月")), text(*set, QStringLiteral("生日"))}];
    for (const csv::Record& record : records) {
        RecordReader read(record, heading, result.rejections);
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
        auto found = stored.find(person);
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
    m_roster = db.openRecordset(RosterTable, {}, 0);
}

void RosterCsv::writeOne(Database&, int index) {
    const QStringList& person = m_writes.at(index);
    m_roster->addNew();
    m_roster->setField(QStringLiteral("名前"), person.at(0));
    m_roster->setField(QStringLiteral("生年"), person.at(1));
    m_roster->setField(QStringLiteral("生月"), person.at(2));
    m_roster->setField(QStringLiteral("生日"), person.at(3));
    m_roster->update();
}

void RosterCsv::endWrites() {
    if (m_roster)
        m_roster->close();
    m_roster.reset();
}

} // namespace records
