#include "store/Database.h"

#include "core/Errors.h"
#include "store/Dynaset.h"
#include "store/Recordset.h"
#include "store/StoreInternal.h"

#include <optional>

struct Database::Impl {
    std::shared_ptr<store::Connection> connection;
};

Database::Database(const QString& path)
    : m_impl(std::make_unique<Impl>()) {
    m_impl->connection = store::openConnection(path);
    int version = store::schemaVersion(*m_impl->connection);
    if (version < store::currentSchemaVersion()) {
        // A file of an earlier version: brought up to date on its own connection, then opened again.
        m_impl->connection->close();
        m_impl->connection.reset();
        store::upgradeSchema(path);
        m_impl->connection = store::openConnection(path);
        version = store::schemaVersion(*m_impl->connection);
    }
    if (version > store::currentSchemaVersion()) {
        m_impl->connection->close();
        store::raise(
            ErrorNumber::NotADatabase,
            QStringLiteral("データベース '%1' はこの版より新しいコルヴァンで作られているため、開けません。")
                .arg(path));
    }
}

Database::~Database() {
    close();
}

std::unique_ptr<Recordset> Database::openRecordset(const QString& name) {
    return openRecordset(name, {});
}

std::unique_ptr<Recordset> Database::openRecordset(const QString& name,
                                                   const QList<FieldEquals>& conditions) {
    if (!isOpen())
        store::raise(ErrorNumber::StoreFailure, QStringLiteral("データベースは閉じられています。"));
    const store::ObjectInfo& object = m_impl->connection->object(name);
    return std::make_unique<store::Dynaset>(m_impl->connection, object, conditions);
}

std::unique_ptr<Recordset> Database::openRecordset(const QString& name, const QList<FieldEquals>& conditions,
                                                   int maxRows) {
    if (maxRows < 0)
        store::raise(ErrorNumber::StoreFailure,
                     QStringLiteral("レコード数の上限 %1 は正しくありません。").arg(maxRows));
    if (!isOpen())
        store::raise(ErrorNumber::StoreFailure, QStringLiteral("データベースは閉じられています。"));
    const store::ObjectInfo& object = m_impl->connection->object(name);
    return std::make_unique<store::Dynaset>(m_impl->connection, object, conditions, maxRows);
}

std::unique_ptr<Recordset> Database::openColumns(const QString& name, const QStringList& columns,
                                                 const QList<FieldEquals>& conditions) {
    if (!isOpen())
        store::raise(ErrorNumber::StoreFailure, QStringLiteral("データベースは閉じられています。"));
    const store::ObjectInfo& object = m_impl->connection->object(name);
    return std::make_unique<store::Dynaset>(m_impl->connection, object, conditions, -1, columns);
}

std::unique_ptr<TableWriter> Database::openWriter(const QString& table) {
    if (!isOpen())
        store::raise(ErrorNumber::StoreFailure, QStringLiteral("データベースは閉じられています。"));
    return store::openTableWriter(m_impl->connection, m_impl->connection->object(table));
}

int Database::countRows(const QString& name, const QList<FieldEquals>& conditions) {
    if (!isOpen())
        store::raise(ErrorNumber::StoreFailure, QStringLiteral("データベースは閉じられています。"));
    const store::ObjectInfo& object = m_impl->connection->object(name);
    QStringList where;
    for (const FieldEquals& condition : conditions)
        where.append(store::quoteIdentifier(store::storedColumn(object, condition.field)) +
                     QStringLiteral(" = ?"));
    QString sql = QStringLiteral("SELECT COUNT(*) FROM %1").arg(store::quoteIdentifier(object.name));
    if (!where.isEmpty())
        sql += QStringLiteral(" WHERE ") + where.join(QStringLiteral(" AND "));
    store::Statement query(*m_impl->connection, sql);
    for (int i = 0; i < conditions.size(); ++i)
        query.bind(i + 1, QVariant::fromValue(conditions.at(i).value));
    query.step();
    return static_cast<int>(query.integer(0));
}

void Database::readColumns(const QString& name, const QStringList& columns,
                           const std::function<void(const QVariantList&)>& row) {
    if (!isOpen())
        store::raise(ErrorNumber::StoreFailure, QStringLiteral("データベースは閉じられています。"));
    const store::ObjectInfo& object = m_impl->connection->object(name);
    QStringList quoted;
    for (const QString& column : columns)
        quoted.append(store::quoteIdentifier(store::storedColumn(object, column)));
    QString sql = QStringLiteral("SELECT %1 FROM %2")
                      .arg(quoted.join(QStringLiteral(", ")), store::quoteIdentifier(object.name));
    // The same order as a record set: a view yields its own, a table is read in key order.
    if (!object.isView)
        sql += QStringLiteral(" ORDER BY rowid");
    store::Statement query(*m_impl->connection, sql);
    QVariantList values(columns.size());
    while (query.step()) {
        for (int i = 0; i < values.size(); ++i)
            values[i] = query.value(i);
        row(values);
    }
}

void Database::runInTransaction(const std::function<void()>& body) {
    if (!isOpen())
        store::raise(ErrorNumber::StoreFailure, QStringLiteral("データベースは閉じられています。"));
    store::Connection& connection = *m_impl->connection;
    connection.execute(QStringLiteral("BEGIN IMMEDIATE"));
    try {
        body();
        connection.execute(QStringLiteral("COMMIT"));
    } catch (...) {
        if (connection.isOpen()) {
            try {
                connection.execute(QStringLiteral("ROLLBACK"));
            } catch (const KorvaneError&) {
                // The engine already ended the transaction; the first error is the one to report.
            }
            // Rows the record sets hold may have changed back: they read them again.
            ++connection.writeVersion;
        }
        throw;
    }
}

void Database::close() {
    if (m_impl->connection)
        m_impl->connection->close();
}

bool Database::isOpen() const {
    return m_impl->connection && m_impl->connection->isOpen();
}

QString Database::path() const {
    return m_impl->connection ? m_impl->connection->path : QString();
}

void closeStore(std::initializer_list<std::unique_ptr<Recordset>*> recordsets,
                std::unique_ptr<Database>& db) {
    std::optional<KorvaneError> first;
    const auto closeOne = [&first](auto& owner) {
        if (auto open = std::move(owner)) {
            try {
                open->close();
            } catch (const KorvaneError& error) {
                if (!first)
                    first = error;
            }
        }
    };
    for (std::unique_ptr<Recordset>* set : recordsets)
        closeOne(*set);
    closeOne(db);
    if (first)
        throw *first;
}
