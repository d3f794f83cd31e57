#include "records/TableCsv.h"

#include "core/Conversions.h"
#include "store/Database.h"
#include "store/Recordset.h"

#include <QDate>

namespace records {

namespace {

// Stops a write from inside the transaction, so that the transaction is rolled back.
struct Stopped {};

bool isBlankRecord(const csv::Record& record) {
    for (const QString& field : record.fields)
        if (!trimBlanks(field).isEmpty())
            return false;
    return true;
}

// Headings compare as a person reads them: half- and full-width forms alike (ﾖﾐｶﾞﾅ, ヨミガナ),
// blanks around them dropped.
QString headingKey(const QString& heading) {
    return trimBlanks(heading).normalized(QString::NormalizationForm_KC).toCaseFolded();
}

QString quotedList(const QStringList& names) {
    QString text;
    for (const QString& name : names)
        text += QStringLiteral("「%1」").arg(name);
    return text;
}

} // namespace

TableCsv::TableCsv()
    : m_thisYear(QDate::currentDate().year()) {}

QStringList TableCsv::header() const {
    QStringList headings;
    for (const CsvColumn& column : columns())
        headings.append(column.heading);
    return headings;
}

bool TableCsv::write(Database& db, const CsvProgress& progress) {
    const int total = pendingWrites();
    constexpr int step = 256;
    try {
        db.runInTransaction([&] {
            beginWrites(db);
            for (int i = 0; i < total; ++i) {
                if (i % step == 0 && progress && !progress(i, total))
                    throw Stopped();
                writeOne(i);
            }
            if (progress && !progress(total, total))
                throw Stopped();
            endWrites();
        });
    } catch (const Stopped&) {
        endWrites();
        return false;
    } catch (...) {
        endWrites();
        throw;
    }
    return true;
}

QHash<QString, qint16> codeNames(Database& db, const QString& table, const QString& idField,
                                 const QString& nameField) {
    QHash<QString, qint16> names;
    for (auto set = db.openRecordset(table); !set->eof(); set->moveNext()) {
        const QString name = conv::trimBlanks(conv::valueText(set->field(nameField)));
        if (!names.contains(name))
            names.insert(name, conv::valueToInt16(set->field(idField)));
    }
    return names;
}

RecordReader::RecordReader(const csv::Record& record, const CsvLayout& layout,
                           QList<CsvRejection>& rejections)
    : m_record(record)
    , m_layout(layout)
    , m_rejections(rejections) {
    // Fields after the last heading may be there as long as they are empty, as spreadsheets write them.
    qsizetype used = record.fields.size();
    while (used > layout.width && trimBlanks(record.fields.at(used - 1)).isEmpty())
        --used;
    if (used != layout.width) {
        reject(-1, QStringLiteral("項目の数が %1 です（%2 項目のはずです）。").arg(used).arg(layout.width));
        m_whole = false;
    }
}

QString RecordReader::field(int column) const {
    return m_whole ? m_record.fields.at(m_layout.positions.at(column)) : QString();
}

void RecordReader::reject(int column, const QString& reason) {
    // A record of the wrong shape says so once; its fields are not looked at.
    if (!m_whole)
        return;
    m_ok = false;
    m_rejections.append({m_record.line, column >= 0 ? m_layout.headings.at(column) : QString(), reason});
}

void RecordReader::reject(const QList<Refusal>& refusals) {
    for (const Refusal& refusal : refusals) {
        qsizetype column = m_layout.headings.indexOf(refusal.field);
        if (column < 0)
            column = m_layout.names.indexOf(refusal.field);
        reject(static_cast<int>(column), refusal.message);
    }
}

QList<csv::Record> dataRecords(const csv::Document& document, const QList<CsvColumn>& columns,
                               CsvCheck& check, CsvLayout& layout) {
    QList<csv::Record> records;
    const QStringList found = document.records.isEmpty() ? QStringList() : document.records.first().fields;
    layout = CsvLayout();
    layout.width = static_cast<int>(found.size());
    while (layout.width > 0 && trimBlanks(found.at(layout.width - 1)).isEmpty())
        --layout.width;

    QStringList missing;
    QStringList twice;
    QList<bool> used(layout.width, false);
    for (const CsvColumn& column : columns) {
        QStringList keys{headingKey(column.heading)};
        for (const QString& alias : column.aliases)
            keys.append(headingKey(alias));
        int position = -1;
        for (int i = 0; i < layout.width; ++i) {
            if (!keys.contains(headingKey(found.at(i))))
                continue;
            if (position >= 0 && !twice.contains(column.heading))
                twice.append(column.heading);
            position = position < 0 ? i : position;
            used[i] = true;
        }
        if (position < 0)
            missing.append(column.heading);
        layout.positions.append(position);
        layout.headings.append(position < 0 ? column.heading : trimBlanks(found.at(position)));
        layout.names.append(column.heading);
    }
    QStringList headings;
    for (const CsvColumn& column : columns)
        headings.append(column.heading);
    if (!missing.isEmpty() || !twice.isEmpty()) {
        check.error =
            !missing.isEmpty()
                ? QStringLiteral("1 行目の見出しに%1の列がありません。").arg(quotedList(missing))
                : QStringLiteral("1 行目の見出しに%1の列が二つ以上あります。").arg(quotedList(twice));
        check.error +=
            QStringLiteral("\r\n見出しは次の通りです（順不同）。\r\n") + headings.join(QLatin1Char(','));
        return records;
    }
    for (int i = 0; i < layout.width; ++i)
        if (!used.at(i))
            check.ignoredColumns.append(trimBlanks(found.at(i)).isEmpty()
                                            ? QStringLiteral("（%1 列目）").arg(i + 1)
                                            : trimBlanks(found.at(i)));

    records.reserve(document.records.size() - 1);
    for (qsizetype i = 1; i < document.records.size(); ++i)
        if (!isBlankRecord(document.records.at(i)))
            records.append(document.records.at(i));
    return records;
}

} // namespace records
