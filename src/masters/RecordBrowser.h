#pragma once

#include <QString>
#include <functional>
#include <memory>

class Database;
class Dialogs;
class QLineEdit;
class Recordset;

// The record-by-record moves shared by the velodrome and roster windows: first, previous, next and
// last through one record set, the messages at its ends and for an empty set, and the record number
// in RecordNo. The number is the window's own counter, kept by counting moves and adds and deletes;
// it is not worked out again from the set's position.
class RecordBrowser {
public:
    // showFields fills the window's boxes from the set's current record.
    RecordBrowser(Dialogs& dialogs, QLineEdit* recordNo, std::function<void()> showFields);

    void setRecordset(Recordset* set) { m_set = set; }

    // Counts the records by walking them, then shows the first one (number 1); an empty set shows
    // nothing and the number 0.
    void load();
    // Closes set and opens name again, then loads it: after rows came in from outside the set.
    void reopen(Database& db, std::unique_ptr<Recordset>& set, const QString& name);

    int total() const { return m_total; }
    int number() const { return m_number; }

    // "レコードがありません" while there is no record; true when the command must stop there.
    bool refusedWhenEmpty();

    void first();
    void previous();
    void next();
    void last();

    // The count after a record was stored or deleted through the set.
    void added() { ++m_total; }
    void deleted() { --m_total; }

    // What the window does for the commands that change or print its table.
    struct Actions {
        std::function<bool(bool adding)> store; // false when nothing was stored
        std::function<void()> deleteCurrent;
        std::function<void()> print;
    };
    // CommandDB(index): 0..3 the moves; 4 update, 5 add, 6 delete, 7 print, each after the question
    // "<table>を<verb>しますか。" titled "<table><verb>". Every command but add needs a record; after an
    // add the new record is shown.
    void command(int index, const QString& table, const Actions& actions);

private:
    void show();

    Dialogs& m_dialogs;
    QLineEdit* m_recordNo;
    std::function<void()> m_showFields;
    Recordset* m_set = nullptr;
    int m_total = 0;
    int m_number = 0;
};
