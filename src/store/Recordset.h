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
//   3077 a find-first criterion of an unsupported form, 3020 update without edit or add new.
class Recordset {
public:
    virtual ~Recordset() = default;

    virtual QString name() const = 0;
    virtual QStringList fieldNames() const = 0;

    virtual bool bof() const = 0;
    virtual bool eof() const = 0;
    virtual int recordCount() const = 0;

    virtual void moveFirst() = 0;
    virtual void moveNext() = 0;
    virtual void movePrevious() = 0;
    virtual void moveLast() = 0;

    // Positions on the first row (in set order) that satisfies the criterion. The criterion forms
    // are "期=5", "登番=5", "よみがなID=5", "所属ID=5" and "選手ID = 5" (any integer column name, an
    // equals sign with or without blanks around it, a 16-bit integer). Returns false and sets
    // noMatch() when no row matches; the position is then unchanged.
    virtual bool findFirst(const QString& criterion) = 0;
    virtual bool noMatch() const = 0;

    // The current row's value of a field; a null value is a null QVariant.
    virtual QVariant field(const QString& name) const = 0;

    // Edit the current row, or start a new row; set fields; update stores the row, cancelUpdate drops
    // the changes. After an update of a new row the position stays where it was before addNew.
    virtual void edit() = 0;
    virtual void addNew() = 0;
    virtual void setField(const QString& name, const QVariant& value) = 0;
    virtual void update() = 0;
    virtual void cancelUpdate() = 0;
    virtual bool isEditing() const = 0;

    // Deletes the current row; reading it afterwards is error 3167 until the next move.
    virtual void deleteCurrent() = 0;

    virtual void close() = 0;
};
