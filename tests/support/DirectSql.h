#pragma once

#include <QList>
#include <QSqlQuery>
#include <QString>
#include <QVariant>

namespace testsupport {

// A connection of its own on a test's database copy, to prepare data and to check what a window
// stored without going through the store. A statement that fails ends the test program.
class DirectSql {
public:
    explicit DirectSql(const QString& path);
    ~DirectSql();
    DirectSql(const DirectSql&) = delete;
    DirectSql& operator=(const DirectSql&) = delete;

    QSqlQuery run(const QString& sql, const QVariantList& binds = {}) const;
    void exec(const QString& sql, const QVariantList& binds = {}) const { run(sql, binds); }
    // Every row of the result, each a list of its column values.
    QList<QVariantList> rows(const QString& sql, const QVariantList& binds = {}) const;
    // The first column of every row, as numbers.
    QList<int> ints(const QString& sql, const QVariantList& binds = {}) const;
    // The first column of the first row, 0 when there is none.
    int count(const QString& sql, const QVariantList& binds = {}) const { return ints(sql, binds).value(0); }

private:
    QString m_name;
};

} // namespace testsupport
