#include "masters/RecordBrowser.h"

#include "core/Dialogs.h"
#include "store/Database.h"
#include "store/Recordset.h"

#include <QLineEdit>

RecordBrowser::RecordBrowser(Dialogs& dialogs, QLineEdit* recordNo, std::function<void()> showFields)
    : m_dialogs(dialogs)
    , m_recordNo(recordNo)
    , m_showFields(std::move(showFields)) {}

void RecordBrowser::reopen(Database& db, std::unique_ptr<Recordset>& set, const QString& name) {
    set->close();
    set = db.openRecordset(name);
    setRecordset(set.get());
    load();
}

void RecordBrowser::load() {
    m_total = 0;
    m_number = 0;
    if (!(m_set->bof() && m_set->eof())) {
        for (m_set->moveFirst(); !m_set->eof(); m_set->moveNext())
            ++m_total;
        m_set->moveFirst();
        m_number = 1;
        m_showFields();
    }
    m_recordNo->setText(QString::number(m_number));
}

void RecordBrowser::command(int index, const QString& table, const Actions& actions) {
    if (index != 5 && refusedWhenEmpty())
        return;
    const auto asked = [this, &table](const QString& verb) {
        return m_dialogs.question(table + QStringLiteral("を%1しますか。\r\n").arg(verb), table + verb) ==
               Dialogs::Answer::Yes;
    };
    switch (index) {
    case 0:
        first();
        break;
    case 1:
        previous();
        break;
    case 2:
        next();
        break;
    case 3:
        last();
        break;
    case 4:
        if (asked(QStringLiteral("更新")))
            actions.store(false);
        break;
    case 5:
        // The window then stands on the new record, the set's last, so that an update or a delete
        // that follows acts on it and not on the record shown before.
        if (asked(QStringLiteral("追加")) && actions.store(true)) {
            added();
            last();
        }
        break;
    case 6:
        if (asked(QStringLiteral("削除"))) {
            actions.deleteCurrent();
            deleted();
        }
        break;
    case 7:
        if (asked(QStringLiteral("印刷")))
            actions.print();
        break;
    default:
        break;
    }
}

bool RecordBrowser::refusedWhenEmpty() {
    if (m_total > 0)
        return false;
    m_dialogs.message(QStringLiteral("レコードがありません"));
    return true;
}

void RecordBrowser::show() {
    m_showFields();
    m_recordNo->setText(QString::number(m_number));
}

void RecordBrowser::first() {
    m_set->moveFirst();
    m_number = 1;
    show();
}

// At either end the set goes back to the end record; the boxes and RecordNo keep what they show.
// A set that stands on no record (after the first record was added to an empty table) is at both ends.
void RecordBrowser::previous() {
    if (!m_set->bof())
        m_set->movePrevious();
    if (m_set->bof()) {
        m_dialogs.message(QStringLiteral("先頭レコードです。"));
        m_set->moveFirst();
        m_number = 1;
        return;
    }
    --m_number;
    show();
}

void RecordBrowser::next() {
    if (!m_set->eof())
        m_set->moveNext();
    if (m_set->eof()) {
        m_dialogs.message(QStringLiteral("最終レコードです。"));
        m_set->moveLast();
        m_number = m_total;
        return;
    }
    ++m_number;
    show();
}

void RecordBrowser::last() {
    m_set->moveLast();
    m_number = m_total;
    show();
}
