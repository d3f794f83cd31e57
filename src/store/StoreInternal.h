#pragma once

// Pieces shared by the store's own sources; windows use Database.h and Recordset.h only.

#include "store/RefusedValues.h"

#include <QHash>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>
#include <vector>

class TableWriter;
struct sqlite3;
struct sqlite3_stmt;

namespace store {

// The source named in the error messages of the store.
QString errorSource();

[[noreturn]] void raise(int number, const QString& description);

// Turns an engine result code into the error the windows know (3022 duplicate key, 3356 locked,
// 3343 not a database, 3317 a column's rule, 3315 other constraint, 3026 disk full, 3027 read-only,
// 3051 cannot open, 3709 anything else) and throws it. The message names the database file (path,
// or the handle's main file); where it gives the engine's own text, a Japanese reason comes first and
// the engine's text follows in brackets.
[[noreturn]] void raiseEngineError(sqlite3* handle, int resultCode, const QString& path = {});

// A table or saved query as the record sets see it.
struct ObjectInfo {
    QString name; // as stored in the database
    bool isView = false;
    QStringList columns;
    // Column positions by name as stored and in lower case, made once per connection.
    QHash<QString, int> fieldIndex;
    // The expression that finds a row again: rowid for tables, the first column for views.
    QString keyExpression;
    // For tables: the INTEGER PRIMARY KEY column (its value is the rowid), if any.
    QString integerKeyColumn;
};

// The stored name of one of the object's columns, matched as the record sets match field names;
// an unknown one is error 3265.
QString storedColumn(const ObjectInfo& object, const QString& field);

// One open connection. Record sets share it with their Database; after close the handle is null.
struct Connection {
    QString connectionName;
    QString path;
    QSqlDatabase qtDatabase;
    sqlite3* handle = nullptr;
    // Counts writes made through this connection, so that record sets know when rows they hold may
    // have changed under them.
    quint64 writeVersion = 0;
    QHash<QString, ObjectInfo> objects; // by lower-case name
    // Prepared statements not in use, by their SQL text: preparing a query on a view costs more
    // than running it for a handful of rows.
    QHash<QString, sqlite3_stmt*> statements;

    ~Connection();
    bool isOpen() const { return handle != nullptr; }
    void close();
    void execute(const QString& sql); // statements without results
    const ObjectInfo& object(const QString& name);

    // A prepared statement for sql: a cached one if free, otherwise a new one.
    sqlite3_stmt* takeStatement(const QString& sql);
    // Hands a statement back, reset and without bindings, to be used again (or finalizes it).
    void giveBackStatement(const QString& sql, sqlite3_stmt* statement);
};

// Opens path read-write through the QtSql SQLite driver. With create, a missing file is made;
// otherwise it is error 3024 and nothing is created. Checks that the file is a readable database.
std::shared_ptr<Connection> openConnection(const QString& path, bool create = false);

QString quoteIdentifier(const QString& name);

// A prepared statement of a connection, handed back to the connection's cache when it goes out
// of scope.
class Statement {
public:
    Statement(Connection& connection, const QString& sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    void bind(int index, const QVariant& value); // index from 1
    bool step();                                 // true while a row is available
    void reset();
    int columnCount() const;
    QString columnName(int column) const;
    QVariant value(int column) const;
    qint64 integer(int column) const;
    // Appends the current row's values from firstColumn on to a packed buffer (see decodeValue).
    void encodeRow(std::vector<char>& buffer, int firstColumn) const;

private:
    Connection& m_connection;
    QString m_sql;
    sqlite3_stmt* m_statement = nullptr;
};

// The start of value number column of a row packed by Statement::encodeRow at data (the end of the
// row when column is its number of values).
const char* findPackedValue(const char* data, int column);
// Reads value number column of a row packed by Statement::encodeRow at data.
QVariant decodeValue(const char* data, int column);
// True when the packed value equals the integer (an integer, a real or a numeric text).
bool decodedEquals(const char* data, int column, qint64 number);

// The text of one of the program's schema files (schema.sql, kana.sql, views.sql, masters.sql).
QString resourceText(const QString& name);

// The schema version schema.sql sets (PRAGMA user_version), and the tables it makes.
int currentSchemaVersion();
const QStringList& programTables();

// The copy of a database kept before its upgrade: <path>.bak.
QString backupPath(const QString& path);

// Writes a copy of the file at path as backup: first under a name of its own, made new and never
// through a link, flushed, then renamed into place, so that the copy is always whole.
void keepCopy(const QString& path, const QString& backup);

// The values of the file (of any version the program knows) that the current rules refuse; see
// findRefusedValues.
QList<RefusedValue> refusedValues(Connection& connection);

// The file's schema version. A file without every table of the program is not the program's own:
// 3343 naming the file. One with them all and no version number is of the first version.
int schemaVersion(Connection& connection);

// Brings a file of an earlier schema version up to the current one, in one transaction under a
// write lock, after keeping a copy of it as <path>.bak: the tables are rebuilt with the current
// definitions and every row, and all views and triggers are made again. A file that cannot be
// brought up to date is left as it was, without a copy: 3049 naming the file and why (a value the
// current rules refuse by its table, key and field; a read-only file), 3356 when another process
// holds it.
// No other connection of this process may be open on the file.
void upgradeSchema(const QString& path);

// The writer behind Database::openWriter.
std::unique_ptr<TableWriter> openTableWriter(std::shared_ptr<Connection> connection,
                                             const ObjectInfo& object);

// Busy wait of a connection before a locked file counts as in use elsewhere.
constexpr int busyTimeoutMs = 300;

} // namespace store
