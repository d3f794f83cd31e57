#include "records/RacerCsv.h"

#include "core/Conversions.h"
#include "core/Errors.h"
#include "store/Database.h"
#include "store/Recordset.h"

#include <algorithm>
#include <numeric>

namespace records {

namespace {

const QString RacerTable = QStringLiteral("T_選手");

enum Column { Id, Name, Reading, Affiliation, Term, Grade, BirthYear, BirthMonth, BirthDay, BloodType };

QString text(const Recordset& set, const QString& field) {
    return conv::valueText(set.field(field));
}

qint16 int16(const Recordset& set, const QString& field) {
    const QVariant value = set.field(field);
    return value.isNull() ? 0 : conv::valueToInt16(value);
}

// Names of codes (所属名, 血液型名) to their IDs, as the pickers of the window list them: trimmed.
QHash<QString, qint16> codeNames(Database& db, const QString& table, const QString& idField,
                                 const QString& nameField) {
    QHash<QString, qint16> names;
    for (auto set = db.openRecordset(table); !set->eof(); set->moveNext()) {
        const QString name = conv::trimBlanks(text(*set, nameField));
        if (!names.contains(name))
            names.insert(name, conv::valueToInt16(set->field(idField)));
    }
    return names;
}

} // namespace

RacerCsv::RacerCsv(int extractionMode)
    : m_extractionMode(extractionMode) {}

RacerCsv::~RacerCsv() = default;

QStringList RacerCsv::header() const {
    return {QStringLiteral("選手ID"), QStringLiteral("名前"), QStringLiteral("よみがな"),
            QStringLiteral("所属"),   QStringLiteral("期"),   QStringLiteral("級"),
            QStringLiteral("生年"),   QStringLiteral("生月"), QStringLiteral("生日"),
            QStringLiteral("血液型")};
}

QByteArray RacerCsv::exportFile(Database& db) {
    csv::Writer writer;
    writer.record(header());
    const QString view = m_extractionMode != 0 ? QStringLiteral("Q_選手抽出") : QStringLiteral("Q_選手");
    const QString fields[] = {QStringLiteral("選手ID"),  QStringLiteral("名前"), QStringLiteral("よみがな"),
                              QStringLiteral("所属名"),  QStringLiteral("期"),   QStringLiteral("級"),
                              QStringLiteral("生年"),    QStringLiteral("生月"), QStringLiteral("生日"),
                              QStringLiteral("血液型名")};
    for (auto racers = db.openRecordset(view); !racers->eof(); racers->moveNext()) {
        for (int column = Id; column <= BloodType; ++column) {
            const QVariant value = racers->field(fields[column]);
            // Whole numbers go out as digits without a text in between; a null is an empty field.
            if (value.typeId() == QMetaType::LongLong)
                writer.field(value.toLongLong());
            else if (column == Affiliation)
                writer.field(conv::trimBlanks(conv::valueText(value)));
            else
                writer.field(conv::valueText(value));
        }
        writer.endRecord();
    }
    return writer.bytes();
}

CsvCheck RacerCsv::check(Database& db, const csv::Document& document) {
    CsvCheck result;
    m_writes.clear();
    m_order.clear();
    endWrites();
    const QStringList heading = header();
    const QList<csv::Record> records = dataRecords(document, heading, result);
    if (!result.error.isEmpty())
        return result;

    const QHash<QString, qint16> affiliations =
        codeNames(db, QStringLiteral("T_所属"), QStringLiteral("所属ID"), QStringLiteral("所属名"));
    const QHash<QString, qint16> bloodTypes =
        codeNames(db, QStringLiteral("T_血液型"), QStringLiteral("血液型ID"), QStringLiteral("血液型名"));
    QHash<qint16, StoredRacer> stored;
    // The racer table stays open for the writes, which walk it again for the changes.
    m_racers = db.openRecordset(RacerTable);
    stored.reserve(m_racers->recordCount());
    for (; !m_racers->eof(); m_racers->moveNext())
        stored.insert(int16(*m_racers, QStringLiteral("選手ID")), readStoredRacer(*m_racers));

    m_writes.reserve(records.size());
    QHash<qint16, int> seen; // 選手ID -> the line that has it first
    for (const csv::Record& record : records) {
        RecordReader read(record, heading, result.rejections);
        RacerFields r;
        QList<Refusal> refusals;
        checkRacer({read.field(Id), read.field(Name), read.field(Reading), read.field(Term),
                    read.field(Grade), read.field(BirthYear), read.field(BirthMonth), read.field(BirthDay)},
                   m_thisYear, r, refusals);
        read.reject(refusals);
        const QString affiliation = trimBlanks(read.field(Affiliation));
        r.affiliationId = affiliations.value(affiliation);
        if (r.affiliationId == 0)
            read.reject(Affiliation, affiliation.isEmpty()
                                         ? QStringLiteral("所属がありません。")
                                         : QStringLiteral("所属「%1」はありません。").arg(affiliation));
        const QString bloodType = trimBlanks(read.field(BloodType));
        r.bloodTypeId = bloodTypes.value(bloodType);
        if (r.bloodTypeId == 0)
            read.reject(BloodType, bloodType.isEmpty()
                                       ? QStringLiteral("血液型がありません。")
                                       : QStringLiteral("血液型「%1」はありません。").arg(bloodType));
        if (read.ok()) {
            const auto first = seen.constFind(r.racerId);
            if (first != seen.constEnd())
                read.reject(Id,
                            QStringLiteral("選手ID %1 は %2 行目にもあります。").arg(r.racerId).arg(*first));
            else
                seen.insert(r.racerId, record.line);
        }
        if (!read.ok()) {
            ++result.rejected;
            continue;
        }
        const auto old = stored.constFind(r.racerId);
        if (old == stored.constEnd()) {
            ++result.added;
            m_writes.append({r, true, {}});
        } else if (sameRacer(r, *old)) {
            ++result.unchanged;
        } else {
            ++result.changed;
            m_writes.append({r, false, *old});
        }
    }
    // New racers first, then the changes in the order of the racer table, so that one walk over the
    // table reaches them all.
    m_order.resize(m_writes.size());
    std::iota(m_order.begin(), m_order.end(), 0);
    std::stable_sort(m_order.begin(), m_order.end(), [this](int a, int b) {
        const Write& x = m_writes.at(a);
        const Write& y = m_writes.at(b);
        return x.adding != y.adding ? x.adding : x.fields.racerId < y.fields.racerId;
    });
    return result;
}

// The racers are written straight into T_選手: the triggers of Q_選手 only pass the same fields on,
// and the view would read every stored racer back through its joins.
void RacerCsv::beginWrites(Database& db) {
    if (!m_racers)
        m_racers = db.openRecordset(RacerTable);
    else if (m_racers->recordCount() > 0)
        m_racers->moveFirst();
}

void RacerCsv::writeOne(Database&, int index) {
    const Write& write = m_writes.at(m_order.at(static_cast<size_t>(index)));
    if (write.adding) {
        m_racers->addNew();
    } else {
        // The changes come in the table's order, after the new racers: the walk goes on from the last.
        while (!m_racers->eof() && int16(*m_racers, QStringLiteral("選手ID")) != write.fields.racerId)
            m_racers->moveNext();
        if (m_racers->eof())
            throw KorvaneError(
                ErrorNumber::RecordDeleted, programErrorSource(),
                QStringLiteral("選手ID %1 の選手が見つかりません。").arg(write.fields.racerId));
        m_racers->edit();
    }
    writeRacer(*m_racers, write.fields, write.adding ? nullptr : &write.stored);
}

void RacerCsv::endWrites() {
    if (m_racers)
        m_racers->close();
    m_racers.reset();
}

} // namespace records
