#include "core/Errors.h"
#include "store/Database.h"
#include "store/StoreInternal.h"

#include <memory>
#include <sqlite3.h>

namespace store {

namespace {

class BulkWriter final : public TableWriter {
public:
    BulkWriter(std::shared_ptr<Connection> connection, const ObjectInfo& object)
        : m_connection(std::move(connection))
        , m_table(quoteIdentifier(object.name))
        , m_object(object) {}

    void insert(const QStringList& columns, const QVariantList& values) override {
        run(statement(m_insert, columns, {}), values);
    }

    bool update(const QString& keyColumn, qint64 key, const QStringList& columns,
                const QVariantList& values) override {
        Statement& write = statement(m_update, columns, keyColumn);
        write.bind(static_cast<int>(values.size()) + 1, QVariant::fromValue(key));
        run(write, values);
        return sqlite3_changes(m_connection->handle) > 0;
    }

private:
    // The last statement of each kind, kept prepared: an import writes the same columns row after
    // row, and building and finding the statement would cost more than running it.
    struct LastSql {
        QStringList columns;
        QString key;
        QString text;
        std::unique_ptr<Statement> statement;
    };

    Statement& statement(LastSql& last, const QStringList& columns, const QString& key) {
        if (!m_connection->isOpen())
            raise(ErrorNumber::StoreFailure, QStringLiteral("データベースは閉じられています。"));
        if (last.statement && last.columns == columns && last.key == key)
            return *last.statement;
        last.statement.reset();
        QStringList names;
        for (const QString& column : columns)
            names.append(quoteIdentifier(storedColumn(m_object, column)));
        if (!key.isEmpty())
            last.text = QStringLiteral("UPDATE %1 SET %2 = ? WHERE %3 = ?")
                            .arg(m_table, names.join(QStringLiteral(" = ?, ")),
                                 quoteIdentifier(storedColumn(m_object, key)));
        else
            last.text = QStringLiteral("INSERT INTO %1 (%2) VALUES (?%3)")
                            .arg(m_table, names.join(QStringLiteral(", ")),
                                 QStringLiteral(", ?").repeated(names.size() - 1));
        last.columns = columns;
        last.key = key;
        last.statement = std::make_unique<Statement>(*m_connection, last.text);
        return *last.statement;
    }

    void run(Statement& write, const QVariantList& values) {
        for (int i = 0; i < values.size(); ++i)
            write.bind(i + 1, values.at(i));
        ++m_connection->writeVersion;
        write.step();
        write.reset();
    }

    std::shared_ptr<Connection> m_connection;
    QString m_table;
    ObjectInfo m_object;
    LastSql m_insert;
    LastSql m_update;
};

} // namespace

std::unique_ptr<TableWriter> openTableWriter(std::shared_ptr<Connection> connection,
                                             const ObjectInfo& object) {
    // A saved query writes through its triggers, which report no changed rows.
    if (object.isView)
        raise(ErrorNumber::StoreFailure,
              QStringLiteral("保存されたクエリ '%1' には直接書き込めません。").arg(object.name));
    return std::make_unique<BulkWriter>(std::move(connection), object);
}

} // namespace store

FileCheck checkDatabaseFile(const QString& path) {
    const std::shared_ptr<store::Connection> connection = store::openConnection(path);
    FileCheck check;
    check.programVersion = store::currentSchemaVersion();
    check.schemaVersion = store::schemaVersion(*connection);
    {
        store::Statement integrity(*connection, QStringLiteral("PRAGMA integrity_check"));
        while (integrity.step()) {
            const QString finding = integrity.value(0).toString();
            if (finding != QLatin1String("ok"))
                check.problems.append(finding);
        }
        store::Statement keys(*connection, QStringLiteral("PRAGMA foreign_key_check"));
        while (keys.step())
            check.problems.append(
                QStringLiteral("%1 の行 %2 が %3 にない行を指しています。")
                    .arg(keys.value(0).toString(), keys.value(1).toString(), keys.value(2).toString()));
    }
    connection->close();
    return check;
}
