#include "records/TableCsv.h"

#include "store/Database.h"

#include <QDate>

namespace records {

namespace {

// Stops a write from inside the transaction, so that the transaction is rolled back.
struct Stopped {};

bool isBlankRecord(const csv::Record& record) {
    for (const QString& field : record.fields)
        if (!field.trimmed().isEmpty())
            return false;
    return true;
}

} // namespace

TableCsv::TableCsv()
    : m_thisYear(QDate::currentDate().year()) {}

bool TableCsv::write(Database& db, const CsvProgress& progress) {
    const int total = pendingWrites();
    constexpr int step = 256;
    try {
        db.runInTransaction([&] {
            beginWrites(db);
            for (int i = 0; i < total; ++i) {
                if (i % step == 0 && progress && !progress(i, total))
                    throw Stopped();
                writeOne(db, i);
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

RecordReader::RecordReader(const csv::Record& record, const QStringList& header,
                           QList<CsvRejection>& rejections)
    : m_record(record)
    , m_header(header)
    , m_rejections(rejections) {
    if (record.fields.size() != header.size()) {
        reject(-1, QStringLiteral("項目の数が %1 です（%2 項目のはずです）。")
                       .arg(record.fields.size())
                       .arg(header.size()));
        m_whole = false;
    }
}

QString RecordReader::field(int column) const {
    return m_whole ? m_record.fields.at(column) : QString();
}

void RecordReader::reject(int column, const QString& reason) {
    // A record of the wrong shape says so once; its fields are not looked at.
    if (!m_whole)
        return;
    m_ok = false;
    m_rejections.append({m_record.line, column >= 0 ? m_header.at(column) : QString(), reason});
}

void RecordReader::reject(const QList<Refusal>& refusals) {
    for (const Refusal& refusal : refusals)
        reject(static_cast<int>(m_header.indexOf(refusal.field)), refusal.message);
}

QList<csv::Record> dataRecords(const csv::Document& document, const QStringList& header, CsvCheck& check) {
    QList<csv::Record> records;
    QStringList found = document.records.isEmpty() ? QStringList() : document.records.first().fields;
    for (QString& heading : found)
        heading = heading.trimmed();
    if (found != header) {
        check.error = QStringLiteral("1 行目の見出しが違います。見出しは次の通りです。\r\n") +
                      header.join(QLatin1Char(','));
        return records;
    }
    records.reserve(document.records.size() - 1);
    for (qsizetype i = 1; i < document.records.size(); ++i)
        if (!isBlankRecord(document.records.at(i)))
            records.append(document.records.at(i));
    return records;
}

} // namespace records
