#pragma once

#include <QList>
#include <QString>
#include <QVariant>

namespace store {

// A value in a file of an earlier version that the current rules of its column refuse (a text or
// 40000 in 生年): such a file cannot be brought up to date until the value goes.
struct RefusedValue {
    QString table;
    QString keyField; // the table's key column
    qint64 key = 0;   // the record's key
    QString field;
    QVariant value;
    bool operator==(const RefusedValue&) const = default;
};

// How messages name it: テーブル 'T_選手'、選手ID 10001 のレコード、フィールド '生年' の値 '1965x'.
QString describe(const RefusedValue& refused);

// Every value of the file that the current rules refuse, table by table in the schema's order,
// then by key and column; empty for a file that can be brought up to date. The file is not
// changed. A missing file is 3024; one that is not the program's, or of a newer version, is 3343.
QList<RefusedValue> findRefusedValues(const QString& path);

struct RepairOutcome {
    QString backup;              // the copy of the file as it was; empty when nothing was changed
    QList<RefusedValue> cleared; // the values now stored as unknown (null)
};

// Stores every refused value as unknown (null), all in one transaction under a write lock, after a
// copy of the file as it was is kept as <path>.before-repair.bak. A file without such values is left
// as it is, without a copy. A key the rules refuse cannot be cleared: 3317 naming it, nothing
// changed. A read-only file is 3027, one another process is writing 3356, one of a newer version 3343.
RepairOutcome repairRefusedValues(const QString& path);

// The copy repairRefusedValues keeps.
QString repairBackupPath(const QString& path);

} // namespace store
