#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <initializer_list>
#include <memory>

class Recordset;
class TableWriter;

// An equality condition on one integer column, the only form of filter the windows use.
// The column name is checked against the record set's columns and the value is bound: window text
// never becomes SQL.
struct FieldEquals {
    QString field;
    qint64 value = 0;
};

// One open connection on Korvane.mdb. Every window opens its own and closes it when it closes.
// Failures throw KorvaneError (see Errors.h for the numbers) with the source "Database" and a
// Japanese description. Foreign keys are enforced; a lock held by another connection is waited
// for briefly, then reported as 3356.
class Database {
public:
    // Opens an existing database file shared and read-write. A missing file is error 3024 and no file
    // is created; a file locked by another process is 3356; a file that is not a database, is
    // damaged, is not the program's own (its tables are missing) or was made by a newer version is
    // 3343. A file of an earlier version is brought up to date first, after a copy of it is kept as
    // <path>.bak; one that cannot be is left as it was, error 3049.
    explicit Database(const QString& path);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // Opens a table or saved query by name as a dynaset: rows in the order the table or query gives
    // (tables in key order), positioned on the first row (or at BOF and EOF when empty). All rows
    // are read at once, so moves and find-first cost no further queries. Unknown names are error
    // 3078; a lock met while reading is 3356.
    std::unique_ptr<Recordset> openRecordset(const QString& name);

    // The same, holding only the rows where every condition holds, in the same order. A field the
    // table or query does not have is error 3265.
    std::unique_ptr<Recordset> openRecordset(const QString& name, const QList<FieldEquals>& conditions);

    // The same, holding no more than the first maxRows of those rows; the rest are never read, which
    // keeps a set that is only walked to a fixed count quick to open. Rows added through the set
    // still join its end. A negative maxRows is error 3709.
    std::unique_ptr<Recordset> openRecordset(const QString& name, const QList<FieldEquals>& conditions,
                                             int maxRows);

    // The same, holding only the named columns of the rows (a saved query's first column, the one that
    // finds its rows again, is always held too, as the first). A window that lists a few columns of
    // many rows reads no more than those. An unknown column is error 3265.
    std::unique_ptr<Recordset> openColumns(const QString& name, const QStringList& columns,
                                           const QList<FieldEquals>& conditions = {});

    // Reads the named columns of every row once, in the order openRecordset yields the rows, and hands
    // each row's values (in the order of columns) to row; nothing is kept, so a list filled once from
    // many rows costs no record set. An unknown column is error 3265; an error while reading goes on
    // up after the rows handed so far.
    void readColumns(const QString& name, const QStringList& columns,
                     const std::function<void(const QVariantList&)>& row);

    // Plain writes into a table, for an import (see TableWriter). An unknown table is error 3078; a
    // saved query is 3709.
    std::unique_ptr<TableWriter> openWriter(const QString& table);

    // The number of rows of a table or saved query where every condition holds, without reading them.
    int countRows(const QString& name, const QList<FieldEquals>& conditions = {});

    // Runs body as one transaction: the writes made through this database's record sets inside it are
    // stored together, or none of them when body throws (the error goes on up). Many writes in one
    // transaction also cost one flush to disk instead of one each. Not nested.
    void runInTransaction(const std::function<void()>& body);

    // Closes the connection. Record sets opened from it should be closed first; any use of one
    // afterwards is error 3709.
    void close();
    bool isOpen() const;
    QString path() const;

    struct Impl;

private:
    std::unique_ptr<Impl> m_impl;
};

// Writes rows of one table for an import: each insert or update is one prepared statement run once,
// and nothing is read back (a record set reads every row it writes again). The table's triggers and
// rules apply as to any write, and a refused write is the same error as through a record set. Record
// sets of the same database see the writes when they next read a row. An unknown column is 3265.
class TableWriter {
public:
    virtual ~TableWriter() = default;
    // Adds a row holding values in columns (in the same order).
    virtual void insert(const QStringList& columns, const QVariantList& values) = 0;
    // Sets columns of the row whose keyColumn holds key; false when no row does.
    virtual bool update(const QString& keyColumn, qint64 key, const QStringList& columns,
                        const QVariantList& values) = 0;
};

// What the engine's own checks find in a database file, read without changing it (a file of an
// earlier version is not brought up to date). A file that is not the program's is 3343, a missing
// one 3024.
struct FileCheck {
    int schemaVersion = 0;  // the file's
    int programVersion = 0; // the one this program writes
    QStringList problems;   // the integrity and foreign key checks' findings; empty for a sound file
};
FileCheck checkDatabaseFile(const QString& path);

// A window's close: each record set, then the database, is closed and released, even when closing an
// earlier one failed; the first failure is raised afterwards.
void closeStore(std::initializer_list<std::unique_ptr<Recordset>*> recordsets, std::unique_ptr<Database>& db);

enum class CompactionResult {
    Compacted, // the file was replaced by its compacted copy
    Skipped,   // the file belongs to another user or cannot be written by this one: left as it is
};

// Compacts the database file: under a write lock held from before the copy until after the rename,
// VACUUM INTO a fresh compactPath (a leftover one is removed by its own name, the new one made
// exclusively, never through a link), flushed to disk with the original's mode and group, then
// renamed over path in one atomic step. No connection of this process may be open. A path that is
// a symbolic link keeps its link: the file it names is replaced, its copy made beside it.
// The old file is never removed before the new one is in place; on any failure path is left as it
// was and the copy is removed. Only a file with the program's own tables is compacted (otherwise
// 3343). A database another process is writing is 3356, a missing one 3024, a full disk 3026,
// a copy that cannot be made 3027 or 3709, each message naming the file.
CompactionResult compactDatabase(const QString& path, const QString& compactPath);
