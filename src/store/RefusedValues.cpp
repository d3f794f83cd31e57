#include "store/RefusedValues.h"

#include "core/Errors.h"
#include "store/StoreInternal.h"

#include <QHash>
#include <sqlite3.h>
#include <utility>

namespace store {

namespace {

// A database in memory with the current tables, into which a file's rows are written as the upgrade
// writes them: what the rules refuse there, they refuse in the upgrade.
class Probe {
public:
    Probe() {
        sqlite3_open_v2(":memory:", &m_db, SQLITE_OPEN_READWRITE, nullptr);
        const QByteArray schema = resourceText(QStringLiteral("schema.sql")).toUtf8();
        if (sqlite3_exec(m_db, schema.constData(), nullptr, nullptr, nullptr) != SQLITE_OK)
            raiseEngineError(m_db, SQLITE_ERROR, QStringLiteral(":memory:"));
        // One transaction for all the rows: a refused row ends only its own statement.
        sqlite3_exec(m_db, "BEGIN", nullptr, nullptr, nullptr);
    }
    ~Probe() {
        for (sqlite3_stmt* insert : std::as_const(m_inserts))
            sqlite3_finalize(insert);
        sqlite3_close(m_db);
    }
    Probe(const Probe&) = delete;
    Probe& operator=(const Probe&) = delete;

    QStringList columns(const QString& table) const {
        QStringList names;
        for (const QVariantList& row :
             rows(QStringLiteral("SELECT name FROM pragma_table_info('%1')").arg(table)))
            names.append(row.at(0).toString());
        return names;
    }
    QString keyColumn(const QString& table) const {
        return rows(QStringLiteral("SELECT name FROM pragma_table_info('%1') WHERE pk > 0").arg(table))
            .value(0)
            .value(0)
            .toString();
    }

    // Writes the values into columns; false when the rules refuse them. Kept unless trial, so that
    // a later row with the same key would be refused as the upgrade refuses it.
    bool accepts(const QString& table, const QStringList& columns, const QList<sqlite3_value*>& values,
                 bool trial) {
        if (trial)
            sqlite3_exec(m_db, "SAVEPOINT trial", nullptr, nullptr, nullptr);
        sqlite3_stmt* insert = prepared(table, columns);
        for (int i = 0; i < values.size(); ++i)
            sqlite3_bind_value(insert, i + 1, values.at(i));
        const bool accepted = sqlite3_step(insert) == SQLITE_DONE;
        sqlite3_reset(insert);
        sqlite3_clear_bindings(insert);
        if (trial)
            sqlite3_exec(m_db, "ROLLBACK TO trial; RELEASE trial", nullptr, nullptr, nullptr);
        return accepted;
    }

private:
    // The insert of these columns, prepared once: a file of 100,000 races is probed row by row.
    sqlite3_stmt* prepared(const QString& table, const QStringList& columns) {
        const QString key = table + QLatin1Char('|') + columns.join(QLatin1Char(','));
        if (sqlite3_stmt* known = m_inserts.value(key))
            return known;
        QStringList quoted;
        QStringList places;
        for (const QString& column : columns) {
            quoted.append(quoteIdentifier(column));
            places.append(QStringLiteral("?"));
        }
        const QByteArray sql =
            QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                .arg(quoteIdentifier(table), quoted.join(QLatin1Char(',')), places.join(QLatin1Char(',')))
                .toUtf8();
        sqlite3_stmt* insert = nullptr;
        if (sqlite3_prepare_v2(m_db, sql.constData(), -1, &insert, nullptr) != SQLITE_OK) {
            sqlite3_finalize(insert);
            raiseEngineError(m_db, SQLITE_ERROR, QStringLiteral(":memory:"));
        }
        m_inserts.insert(key, insert);
        return insert;
    }

    QList<QVariantList> rows(const QString& sql) const {
        QList<QVariantList> result;
        sqlite3_stmt* statement = nullptr;
        sqlite3_prepare_v2(m_db, sql.toUtf8().constData(), -1, &statement, nullptr);
        while (sqlite3_step(statement) == SQLITE_ROW)
            result.append(
                {QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)))});
        sqlite3_finalize(statement);
        return result;
    }

    sqlite3* m_db = nullptr;
    QHash<QString, sqlite3_stmt*> m_inserts;
};

QStringList fileColumns(Connection& connection, const QString& table) {
    QStringList names;
    Statement info(connection, QStringLiteral("SELECT name FROM pragma_table_info(?1)"));
    info.bind(1, table);
    while (info.step())
        names.append(info.value(0).toString());
    return names;
}

// The file's version, refusing one newer than the program.
void requireKnownVersion(Connection& connection) {
    if (schemaVersion(connection) > currentSchemaVersion())
        raise(ErrorNumber::NotADatabase,
              QStringLiteral("データベース '%1' はこの版より新しいコルヴァンで作られているため、開けません。")
                  .arg(connection.path));
}

} // namespace

QString describe(const RefusedValue& refused) {
    return QStringLiteral("テーブル '%1'、%2 %3 のレコード、フィールド '%4' の値 '%5'")
        .arg(refused.table, refused.keyField)
        .arg(refused.key)
        .arg(refused.field, refused.value.toString());
}

QList<RefusedValue> refusedValues(Connection& connection) {
    QList<RefusedValue> refused;
    Probe probe;
    for (const QString& table : programTables()) {
        const QStringList had = fileColumns(connection, table);
        QStringList columns;
        for (const QString& column : probe.columns(table))
            if (had.contains(column))
                columns.append(column);
        QStringList quoted;
        for (const QString& column : columns)
            quoted.append(quoteIdentifier(column));
        const QByteArray sql = QStringLiteral("SELECT rowid, %1 FROM %2 ORDER BY rowid")
                                   .arg(quoted.join(QLatin1Char(',')), quoteIdentifier(table))
                                   .toUtf8();
        sqlite3_stmt* read = nullptr;
        if (sqlite3_prepare_v2(connection.handle, sql.constData(), -1, &read, nullptr) != SQLITE_OK) {
            sqlite3_finalize(read);
            raiseEngineError(connection.handle, SQLITE_ERROR);
        }
        const QString key = probe.keyColumn(table);
        int rc = SQLITE_ROW;
        while ((rc = sqlite3_step(read)) == SQLITE_ROW) {
            QList<sqlite3_value*> values;
            for (int i = 0; i < columns.size(); ++i)
                values.append(sqlite3_column_value(read, i + 1));
            if (probe.accepts(table, columns, values, false))
                continue;
            // Which of the row's values: each alone, in a trial that leaves nothing behind.
            for (int i = 0; i < columns.size(); ++i) {
                if (!probe.accepts(table, {columns.at(i)}, {values.at(i)}, true)) {
                    const QVariant value = sqlite3_column_type(read, i + 1) == SQLITE_NULL
                                               ? QVariant()
                                               : QVariant(QString::fromUtf8(reinterpret_cast<const char*>(
                                                     sqlite3_column_text(read, i + 1))));
                    refused.append({table, key, sqlite3_column_int64(read, 0), columns.at(i), value});
                }
            }
        }
        sqlite3_finalize(read);
        if (rc != SQLITE_DONE)
            raiseEngineError(connection.handle, rc);
    }
    return refused;
}

QList<RefusedValue> findRefusedValues(const QString& path) {
    auto connection = openConnection(path);
    requireKnownVersion(*connection);
    // A consistent reading, though another process may be writing.
    connection->execute(QStringLiteral("BEGIN"));
    const QList<RefusedValue> refused = refusedValues(*connection);
    connection->execute(QStringLiteral("COMMIT"));
    return refused;
}

QString repairBackupPath(const QString& path) {
    return path + QStringLiteral(".before-repair.bak");
}

RepairOutcome repairRefusedValues(const QString& path) {
    auto connection = openConnection(path);
    requireKnownVersion(*connection);
    if (sqlite3_db_readonly(connection->handle, "main") == 1)
        raise(ErrorNumber::ReadOnly,
              QStringLiteral("データベース '%1' は読み取り専用のため、直せません。").arg(path));
    connection->execute(QStringLiteral("BEGIN IMMEDIATE"));
    RepairOutcome outcome;
    try {
        const QList<RefusedValue> refused = refusedValues(*connection);
        for (const RefusedValue& value : refused)
            if (value.field == value.keyField)
                raise(ErrorNumber::ValidationRule,
                      QStringLiteral("%1 はキーのため空にできません。データベース '%2' は変更していません。")
                          .arg(describe(value), path));
        if (!refused.isEmpty()) {
            keepCopy(path, repairBackupPath(path));
            for (const RefusedValue& value : refused) {
                Statement clear(*connection,
                                QStringLiteral("UPDATE %1 SET %2 = NULL WHERE rowid = ?1")
                                    .arg(quoteIdentifier(value.table), quoteIdentifier(value.field)));
                clear.bind(1, value.key);
                clear.step();
            }
            outcome = {repairBackupPath(path), refused};
        }
        connection->execute(QStringLiteral("COMMIT"));
    } catch (const KorvaneError&) {
        try {
            connection->execute(QStringLiteral("ROLLBACK"));
        } catch (const KorvaneError&) {
            // The engine has already rolled back.
        }
        throw;
    }
    return outcome;
}

} // namespace store
