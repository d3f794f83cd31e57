#pragma once

#include "core/Csv.h"
#include "records/TableRules.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

class Database;

namespace records {

// A record of a file that will not be imported, and why.
struct CsvRejection {
    int line = 0;
    QString column; // the file's heading of the column at fault; empty for the record as a whole
    QString reason;
};

// What an import would do, worked out before anything is written.
struct CsvCheck {
    QString error; // the file as a whole cannot be imported (a column missing); empty otherwise
    int added = 0;
    int changed = 0;
    int unchanged = 0;
    int rejected = 0; // records, each with one or more rejections
    QList<CsvRejection> rejections;
    QStringList ignoredColumns; // headings of the file's columns that are not read
    int toWrite() const { return added + changed; }
};

// Told how far a write has come; answers false to stop it.
using CsvProgress = std::function<bool(int done, int total)>;

// A column of a table's file: the heading export writes, and the other headings import knows it by
// (the windows' own labels).
struct CsvColumn {
    QString heading;
    QStringList aliases;
};

// Where a table's columns stand in a file, found by their headings in any order.
struct CsvLayout {
    QList<int> positions; // for each column of the table, its field in a record
    QStringList headings; // for each column of the table, the file's heading of it
    QStringList names;    // for each column of the table, its own heading
    int width = 0;        // the file's columns up to the last heading; empty ones after it do not count
};

// A table read from and written to CSV files with its own header. check() reads the table and the
// file and keeps what it would write; write() stores that in one transaction. The windows' import
// and korvane-cli both go through these, so both take the same rows.
class TableCsv {
public:
    TableCsv();
    virtual ~TableCsv() = default;
    virtual QList<CsvColumn> columns() const = 0;
    // The headings export writes.
    QStringList header() const;
    // The table as the window lists it, header first.
    virtual QByteArray exportFile(Database& db) = 0;
    virtual CsvCheck check(Database& db, const csv::Document& document) = 0;
    // All the checked rows, or none when the progress answers false (then false is returned) or a
    // write fails (the error goes on up).
    bool write(Database& db, const CsvProgress& progress);
    // Birth years are accepted up to this one (this year unless set).
    void setThisYear(int year) { m_thisYear = year; }

protected:
    int m_thisYear;

    virtual int pendingWrites() const = 0;
    // Opens what the writes need, inside the transaction.
    virtual void beginWrites(Database& db) = 0;
    virtual void writeOne(int index) = 0;
    virtual void endWrites() = 0;
};

// Names of codes (所属名, 血液型名, 地区名) to their IDs, trimmed as the windows' pickers list them; the
// first of two equal names wins.
QHash<QString, qint16> codeNames(Database& db, const QString& table, const QString& idField,
                                 const QString& nameField);

// Reads the fields of one record and notes every fault of it.
class RecordReader {
public:
    RecordReader(const csv::Record& record, const CsvLayout& layout, QList<CsvRejection>& rejections);
    bool ok() const { return m_ok; }
    // The field of a table column as it stands; empty when the record has the wrong number of fields.
    QString field(int column) const;
    void reject(int column, const QString& reason);
    // The table rules' refusals, each at the column its field names (by the file's heading or the
    // table's own).
    void reject(const QList<Refusal>& refusals);

private:
    const csv::Record& m_record;
    const CsvLayout& m_layout;
    QList<CsvRejection>& m_rejections;
    bool m_ok = true;
    bool m_whole = true; // the record has a field for every column
};

// Finds the table's columns in the file's first record and returns the records after it, skipping
// blank ones. A column missing or given twice sets check.error; columns the table does not read are
// listed in check.ignoredColumns.
QList<csv::Record> dataRecords(const csv::Document& document, const QList<CsvColumn>& columns,
                               CsvCheck& check, CsvLayout& layout);

} // namespace records
