#include "masters/TableCsv.h"

#include "store/Database.h"

#include <QDate>

namespace masters {

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
    if (record.fields.size() != header.size())
        reject(-1, QStringLiteral("項目の数が %1 です（%2 項目のはずです）。")
                       .arg(record.fields.size())
                       .arg(header.size()));
}

void RecordReader::reject(int column, const QString& reason) {
    if (!m_ok)
        return;
    m_ok = false;
    m_rejections.append({m_record.line, column >= 0 ? m_header.at(column) : QString(), reason});
}

QString RecordReader::text(int column, bool required) {
    if (!m_ok)
        return {};
    const QString value = m_record.fields.at(column);
    if (required && value.trimmed().isEmpty())
        reject(column, QStringLiteral("%1がありません。").arg(m_header.at(column)));
    return value;
}

std::optional<qint16> RecordReader::number(int column, int min, int max, bool required) {
    if (!m_ok)
        return std::nullopt;
    const QString value = m_record.fields.at(column).trimmed();
    if (value.isEmpty() && !required)
        return std::nullopt;
    bool isNumber = false;
    const int n = value.toInt(&isNumber);
    if (!isNumber || n < min || n > max) {
        reject(column, QStringLiteral("%1「%2」は %3 から %4 までの整数ではありません。")
                           .arg(m_header.at(column), value)
                           .arg(min)
                           .arg(max));
        return std::nullopt;
    }
    return static_cast<qint16>(n);
}

bool RecordReader::date(int yearColumn, qint16& year, qint16& month, qint16& day) {
    const auto y = number(yearColumn, 1, 9999);
    const auto m = number(yearColumn + 1, 1, 12);
    const auto d = number(yearColumn + 2, 1, 31);
    if (!y || !m || !d)
        return false;
    if (!QDate(*y, *m, *d).isValid()) {
        reject(yearColumn + 2, QStringLiteral("%1年%2月%3日という日はありません。").arg(*y).arg(*m).arg(*d));
        return false;
    }
    year = *y;
    month = *m;
    day = *d;
    return true;
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

} // namespace masters
