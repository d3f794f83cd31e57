#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>

struct FieldEquals;

// A dynaset on a table or saved query: the record operations through which every window reads
// and writes data. Failures throw KorvaneError:
//   3021 no current record (BOF or EOF, or moving past them), 3022 duplicate key,
//   3167 the current record was deleted (until the next move), 3265 unknown field,
//   3077 a find-first criterion of an unsupported form, 3020 update without edit or add new,
//   3315 another rule broken (a code without its row, a view row added without its key),
//   3356 the file is locked by another process.
//
// The set's rows (its keyset) are fixed when it opens. A write through any record set of the same
// Database is seen when a row is next read (a row deleted elsewhere reads as 3167); rows added
// elsewhere appear only in sets opened later. Rows added through this set join its end.
// Field names match case-insensitively for Latin letters; values come as qlonglong, double or
// QString (null as a null QVariant).
class Recordset {
public:
    virtual ~Recordset() = default;

    virtual QString name() const = 0;
    virtual QStringList fieldNames() const = 0;

    // Moving next from the last row sets EOF, moving previous from the first sets BOF; moving on
    // past either is 3021. An empty set is at BOF and EOF, and moveFirst/moveLast on it are 3021.
    virtual bool bof() const = 0;
    virtual bool eof() const = 0;
    // Exact at any time (deleted rows no longer count, added ones do).
    virtual int recordCount() const = 0;

    virtual void moveFirst() = 0;
    virtual void moveNext() = 0;
    virtual void movePrevious() = 0;
    virtual void moveLast() = 0;

    // Positions on the first row (in set order) that satisfies the criterion. The criterion forms
    // are "期=5", "登番=5", "よみがなID=5", "所属ID=5" and "選手ID = 5" (any integer column name, an
    // equals sign with or without blanks around it, a 16-bit integer). Returns false and sets
    // noMatch() when no row matches; the position is then unchanged. A text, a field the set does
    // not have, a number beyond 16 bits or anything more (an OR, a second condition) is 3077.
    virtual bool findFirst(const QString& criterion) = 0;
    virtual bool noMatch() const = 0;

    // The current row's value of a field; a null value is a null QVariant.
    virtual QVariant field(const QString& name) const = 0;

    // Edit the current row, or start a new row; set fields; update stores the row, cancelUpdate drops
    // the changes. After an update of a new row the position stays where it was before addNew.
    // While editing, field() gives the values set so far. Moving drops an unsaved edit. Through an
    // updatable query (Q_選手, Q_選手抽出, Q_競輪場) a new row needs its key field (選手ID,
    // 競輪場ID), an edit may change it, and the columns the query derives (所属名, 登番, ...)
    // are not stored. After update the row is read again, so derived columns are current.
    virtual void edit() = 0;
    virtual void addNew() = 0;
    virtual void setField(const QString& name, const QVariant& value) = 0;
    virtual void update() = 0;
    virtual void cancelUpdate() = 0;
    virtual bool isEditing() const = 0;

    // Deletes the current row; reading it afterwards is error 3167 until the next move. moveNext then
    // goes to the row that followed it, movePrevious to the one before.
    virtual void deleteCurrent() = 0;

    virtual void close() = 0;
};
