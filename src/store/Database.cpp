#include "Database.h"

#include "Dynaset.h"
#include "Errors.h"
#include "StoreInternal.h"

struct Database::Impl {
    std::shared_ptr<store::Connection> connection;
};

Database::Database(const QString& path)
    : m_impl(std::make_unique<Impl>()) {
    m_impl->connection = store::openConnection(path);
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
