#include "masters/RacerCsv.h"

#include "core/Conversions.h"
#include "store/Database.h"
#include "store/Recordset.h"

#include <QSet>

namespace masters {

namespace {

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

// A stored racer as its fields. 級 null and empty are the same to the user: both are compared as text.
RacerFields storedRacer(const Recordset& set) {
    RacerFields r;
    r.affiliationId = int16(set, QStringLiteral("所属ID"));
    const QVariant term = set.field(QStringLiteral("期"));
    r.term = term.isNull() ? QVariant() : QVariant(conv::valueToInt16(term));
    r.racerId = int16(set, QStringLiteral("選手ID"));
    r.name = text(set, QStringLiteral("名前"));
    r.reading = text(set, QStringLiteral("よみがな"));
    r.grade = set.field(QStringLiteral("級"));
    r.birthYear = int16(set, QStringLiteral("生年"));
    r.birthMonth = int16(set, QStringLiteral("生月"));
    r.birthDay = int16(set, QStringLiteral("生日"));
    r.bloodTypeId = int16(set, QStringLiteral("血液型ID"));
    return r;
}

bool sameRacer(const RacerFields& a, const RacerFields& b, const QString& storedInitial) {
    return a.affiliationId == b.affiliationId && a.term == b.term && a.name == b.name &&
           a.reading == b.reading && a.grade.toString() == b.grade.toString() && a.birthYear == b.birthYear &&
           a.birthMonth == b.birthMonth && a.birthDay == b.birthDay && a.bloodTypeId == b.bloodTypeId &&
           readingInitial(a.reading) == storedInitial;
}

} // namespace

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
        for (const QString& field : fields) {
            const QString value = text(*racers, field);
            writer.field(field == fields[Affiliation] ? conv::trimBlanks(value) : value);
        }
        writer.endRecord();
    }
    return writer.bytes();
}

CsvCheck RacerCsv::check(Database& db, const csv::Document& document) {
    CsvCheck result;
    m_writes.clear();
    const QStringList heading = header();
    const QList<csv::Record> records = dataRecords(document, heading, result);
    if (!result.error.isEmpty())
        return result;

    const QHash<QString, qint16> affiliations =
        codeNames(db, QStringLiteral("T_所属"), QStringLiteral("所属ID"), QStringLiteral("所属名"));
    const QHash<QString, qint16> bloodTypes =
        codeNames(db, QStringLiteral("T_血液型"), QStringLiteral("血液型ID"), QStringLiteral("血液型名"));
    struct Stored {
        RacerFields fields;
        QString initial;
    };
    QHash<qint16, Stored> stored;
    {
        auto racers = db.openRecordset(QStringLiteral("Q_選手"));
        stored.reserve(racers->recordCount());
        for (; !racers->eof(); racers->moveNext())
            stored.insert(int16(*racers, QStringLiteral("選手ID")),
                          {storedRacer(*racers), text(*racers, QStringLiteral("よみがな１桁"))});
    }

    QHash<qint16, int> seen; // 選手ID -> the line that has it first
    for (const csv::Record& record : records) {
        RecordReader read(record, heading, result.rejections);
        RacerFields r;
        if (const auto id = read.number(Id, 1, 32767))
            r.racerId = *id;
        r.name = read.text(Name, true);
        r.reading = read.text(Reading, true);
        const QString affiliation = conv::trimBlanks(read.text(Affiliation, true));
        if (read.ok()) {
            r.affiliationId = affiliations.value(affiliation);
            if (r.affiliationId == 0)
                read.reject(Affiliation, QStringLiteral("所属「%1」はありません。").arg(affiliation));
        }
        if (const auto term = read.number(Term, 0, 32767, false))
            r.term = *term;
        // An empty grade is an unknown one, as an empty term is.
        const QString grade = read.text(Grade, false);
        if (!grade.isEmpty())
            r.grade = grade;
        read.date(BirthYear, r.birthYear, r.birthMonth, r.birthDay);
        const QString bloodType = conv::trimBlanks(read.text(BloodType, true));
        if (read.ok()) {
            r.bloodTypeId = bloodTypes.value(bloodType);
            if (r.bloodTypeId == 0)
                read.reject(BloodType, QStringLiteral("血液型「%1」はありません。").arg(bloodType));
        }
        if (read.ok()) {
            const auto first = seen.constFind(r.racerId);
            if (first != seen.constEnd())
                read.reject(Id,
                            QStringLiteral("選手ID %1 は %2 行目にもあります。").arg(r.racerId).arg(*first));
            else
                seen.insert(r.racerId, record.line);
        }
        if (!read.ok())
            continue;
        const auto old = stored.constFind(r.racerId);
        if (old == stored.constEnd()) {
            ++result.added;
            m_writes.append({r, true});
        } else if (sameRacer(r, old->fields, old->initial)) {
            ++result.unchanged;
        } else {
            ++result.changed;
            m_writes.append({r, false});
        }
    }
    return result;
}

void RacerCsv::beginWrites(Database& db) {
    // New racers all go through one set that reads no rows.
    m_added = db.openRecordset(QStringLiteral("Q_選手"), {}, 0);
}

void RacerCsv::writeOne(Database& db, int index) {
    const Write& write = m_writes.at(index);
    if (write.adding) {
        m_added->addNew();
        writeRacer(*m_added, write.fields);
        return;
    }
    auto racer =
        db.openRecordset(QStringLiteral("Q_選手"), {{QStringLiteral("選手ID"), write.fields.racerId}});
    racer->edit();
    writeRacer(*racer, write.fields);
    racer->close();
}

void RacerCsv::endWrites() {
    if (m_added)
        m_added->close();
    m_added.reset();
}

} // namespace masters
