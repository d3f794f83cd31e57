#include "records/RacerCsv.h"

#include "core/Conversions.h"
#include "core/Errors.h"
#include "store/Database.h"
#include "store/Recordset.h"

#include <QHash>

namespace records {

namespace {

const QString RacerTable = QStringLiteral("T_選手");

enum Column { Id, Name, Reading, Affiliation, Term, Grade, BirthYear, BirthMonth, BirthDay, BloodType };

// Every stored racer by 選手ID, read in one pass without a record set: an import of many racers
// compares each with the file.
QHash<qint16, StoredRacer> storedRacers(Database& db) {
    QHash<qint16, StoredRacer> racers;
    racers.reserve(db.countRows(RacerTable));
    const auto int16 = [](const QVariant& value) {
        return value.isNull() ? qint16(0) : conv::valueToInt16(value);
    };
    db.readColumns(RacerTable,
                   {QStringLiteral("選手ID"), QStringLiteral("所属ID"), QStringLiteral("期"),
                    QStringLiteral("名前"), QStringLiteral("よみがな"), QStringLiteral("級"),
                    QStringLiteral("生年"), QStringLiteral("生月"), QStringLiteral("生日"),
                    QStringLiteral("血液型ID"), QStringLiteral("よみがな１桁")},
                   [&](const QVariantList& v) {
                       StoredRacer racer;
                       RacerFields& r = racer.fields;
                       r.racerId = int16(v.at(0));
                       r.affiliationId = int16(v.at(1));
                       r.term = v.at(2).isNull() ? QVariant() : QVariant(int16(v.at(2)));
                       r.name = conv::valueText(v.at(3));
                       r.reading = conv::valueText(v.at(4));
                       r.grade = v.at(5);
                       r.birthYear = int16(v.at(6));
                       r.birthMonth = int16(v.at(7));
                       r.birthDay = int16(v.at(8));
                       r.bloodTypeId = int16(v.at(9));
                       racer.readingInitial = conv::valueText(v.at(10));
                       racers.emplace(r.racerId, std::move(racer));
                   });
    return racers;
}

} // namespace

RacerCsv::RacerCsv(int extractionMode)
    : m_extractionMode(extractionMode) {}

RacerCsv::~RacerCsv() = default;

QList<CsvColumn> RacerCsv::columns() const {
    return {{QStringLiteral("選手ID"), {QStringLiteral("登番")}},
            {QStringLiteral("名前"), {QStringLiteral("氏名")}},
            {QStringLiteral("よみがな"), {QStringLiteral("ﾖﾐｶﾞﾅ")}},
            {QStringLiteral("所属"), {QStringLiteral("出身"), QStringLiteral("所属名")}},
            {QStringLiteral("期"), {}},
            {QStringLiteral("級"), {}},
            {QStringLiteral("生年"), {}},
            {QStringLiteral("生月"), {}},
            {QStringLiteral("生日"), {}},
            {QStringLiteral("血液型"), {QStringLiteral("血液型名")}}};
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
    CsvLayout layout;
    const QList<csv::Record> records = dataRecords(document, columns(), result, layout);
    if (!result.error.isEmpty())
        return result;
    const QStringList& headings = layout.headings;
    RacerLabels labels;
    labels.racerId = headings.at(Id);
    labels.name = headings.at(Name);
    labels.reading = headings.at(Reading);
    labels.term = headings.at(Term);
    labels.grade = headings.at(Grade);
    labels.birthYear = headings.at(BirthYear);
    labels.birthMonth = headings.at(BirthMonth);
    labels.birthDay = headings.at(BirthDay);

    const QHash<QString, qint16> affiliations =
        codeNames(db, QStringLiteral("T_所属"), QStringLiteral("所属ID"), QStringLiteral("所属名"));
    const QHash<QString, qint16> bloodTypes =
        codeNames(db, QStringLiteral("T_血液型"), QStringLiteral("血液型ID"), QStringLiteral("血液型名"));
    const QHash<qint16, StoredRacer> stored = storedRacers(db);

    m_writes.reserve(static_cast<size_t>(records.size()));
    QHash<qint16, int> seen; // 選手ID -> the line that has it first
    for (const csv::Record& record : records) {
        RecordReader read(record, layout, result.rejections);
        RacerFields r;
        QList<Refusal> refusals;
        checkRacer({read.field(Id), read.field(Name), read.field(Reading), read.field(Term),
                    read.field(Grade), read.field(BirthYear), read.field(BirthMonth), read.field(BirthDay)},
                   m_thisYear, r, refusals, labels);
        read.reject(refusals);
        const QString affiliation = trimBlanks(read.field(Affiliation));
        r.affiliationId = affiliations.value(affiliation);
        if (r.affiliationId == 0)
            read.reject(
                Affiliation,
                affiliation.isEmpty()
                    ? QStringLiteral("%1がありません。").arg(headings.at(Affiliation))
                    : QStringLiteral("%1「%2」はありません。").arg(headings.at(Affiliation), affiliation));
        const QString bloodType = trimBlanks(read.field(BloodType));
        r.bloodTypeId = bloodTypes.value(bloodType);
        if (r.bloodTypeId == 0)
            read.reject(
                BloodType,
                bloodType.isEmpty()
                    ? QStringLiteral("%1がありません。").arg(headings.at(BloodType))
                    : QStringLiteral("%1「%2」はありません。").arg(headings.at(BloodType), bloodType));
        if (read.ok()) {
            const auto first = seen.constFind(r.racerId);
            if (first != seen.constEnd())
                read.reject(Id, QStringLiteral("%1 %2 は %3 行目にもあります。")
                                    .arg(headings.at(Id))
                                    .arg(r.racerId)
                                    .arg(*first));
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
            m_writes.push_back({std::move(r), true, {}});
        } else if (sameRacer(r, *old)) {
            ++result.unchanged;
        } else {
            ++result.changed;
            m_writes.push_back({std::move(r), false, *old});
        }
    }
    return result;
}

// The racers are written straight into T_選手: the triggers of Q_選手 only pass the same fields on,
// and the view would read every stored racer back through its joins.
void RacerCsv::beginWrites(Database& db) {
    m_writer = db.openWriter(RacerTable);
}

void RacerCsv::writeOne(int index) {
    const Write& write = m_writes.at(static_cast<size_t>(index));
    const RacerFields& v = write.fields;
    const QString initial = readingInitial(v.reading);
    // A change writes only the fields that differ: a file that changes one field of many racers
    // writes that field only.
    const RacerFields* old = write.adding ? nullptr : &write.stored.fields;
    QStringList names;
    QVariantList values;
    const auto put = [&](bool differs, const QString& name, const QVariant& value) {
        if (!old || differs) {
            names.append(name);
            values.append(value);
        }
    };
    put(old && v.affiliationId != old->affiliationId, QStringLiteral("所属ID"), v.affiliationId);
    put(old && v.term != old->term, QStringLiteral("期"), v.term);
    put(false, QStringLiteral("選手ID"), v.racerId);
    put(old && v.name != old->name, QStringLiteral("名前"), v.name);
    put(old && v.reading != old->reading, QStringLiteral("よみがな"), v.reading);
    put(old && initial != write.stored.readingInitial, QStringLiteral("よみがな１桁"), initial);
    put(old && v.grade.toString() != old->grade.toString(), QStringLiteral("級"), v.grade);
    put(old && v.birthYear != old->birthYear, QStringLiteral("生年"), v.birthYear);
    put(old && v.birthMonth != old->birthMonth, QStringLiteral("生月"), v.birthMonth);
    put(old && v.birthDay != old->birthDay, QStringLiteral("生日"), v.birthDay);
    put(old && v.bloodTypeId != old->bloodTypeId, QStringLiteral("血液型ID"), v.bloodTypeId);
    if (write.adding)
        m_writer->insert(names, values);
    else if (!m_writer->update(QStringLiteral("選手ID"), v.racerId, names, values))
        throw KorvaneError(ErrorNumber::RecordDeleted, programErrorSource(),
                           QStringLiteral("選手ID %1 の選手が見つかりません。").arg(v.racerId));
}

void RacerCsv::endWrites() {
    m_writer.reset();
}

} // namespace records
