#include "support/DirectSql.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlRecord>

namespace testsupport {

namespace {
int connectionCount = 0;
}

DirectSql::DirectSql(const QString& path)
    : m_name(QStringLiteral("direct%1").arg(++connectionCount)) {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
    db.setDatabaseName(path);
    if (!db.open())
        qFatal("cannot open the test database %s", qPrintable(path));
    QSqlQuery(db).exec(QStringLiteral("PRAGMA foreign_keys=ON"));
}

DirectSql::~DirectSql() {
    { QSqlDatabase::database(m_name).close(); }
    QSqlDatabase::removeDatabase(m_name);
}

QSqlQuery DirectSql::run(const QString& sql, const QVariantList& binds) const {
    QSqlQuery query(QSqlDatabase::database(m_name));
    if (!query.prepare(sql))
        qFatal("%s", qPrintable(query.lastError().text()));
    for (const QVariant& v : binds)
        query.addBindValue(v);
    if (!query.exec())
        qFatal("%s", qPrintable(query.lastError().text()));
    return query;
}

QList<QVariantList> DirectSql::rows(const QString& sql, const QVariantList& binds) const {
    QSqlQuery query = run(sql, binds);
    QList<QVariantList> result;
    while (query.next()) {
        QVariantList row;
        for (int i = 0; i < query.record().count(); ++i)
            row << query.value(i);
        result << row;
    }
    return result;
}

QList<int> DirectSql::ints(const QString& sql, const QVariantList& binds) const {
    QSqlQuery query = run(sql, binds);
    QList<int> values;
    while (query.next())
        values << query.value(0).toInt();
    return values;
}

} // namespace testsupport
