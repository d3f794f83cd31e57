#pragma once

#include <QString>
#include <QVariant>
#include <memory>

class Recordset;

// An equality condition on one integer column, the only form of filter the windows use.
// The column name is checked against the record set's columns and the value is bound: window text
// never becomes SQL.
struct FieldEquals {
    QString field;
    qint64 value = 0;
};

// One open connection on Korvane.mdb. Every window opens its own and closes it when it closes.
// Failures throw KorvaneError (see Errors.h for the numbers).
class Database {
public:
    // Opens an existing database file shared and read-write. A missing file is error 3024 and no file
    // is created; a file locked by another process is 3356; a file that is not a database is 3343.
    explicit Database(const QString& path);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // Opens a table or saved query by name as a dynaset: rows in the order the table or query gives,
    // positioned on the first row (or at EOF when empty). Unknown names are error 3078.
    std::unique_ptr<Recordset> openRecordset(const QString& name);

    // The same, holding only the rows where every condition holds, in the same order.
    std::unique_ptr<Recordset> openRecordset(const QString& name, const QList<FieldEquals>& conditions);

    // Closes the connection; record sets opened from it must be closed first.
    void close();
    bool isOpen() const;
    QString path() const;

    struct Impl;

private:
    std::unique_ptr<Impl> m_impl;
};

// Compacts the database file: VACUUM INTO a fresh compactPath, flushed to disk, then renamed over
// path in one atomic step. No connection may be open. The old file is never removed before the
// new one is in place; on any failure path is left as it was and compactPath is removed.
// A database locked by another process is error 3356.
void compactDatabase(const QString& path, const QString& compactPath);
