// The racer master window's searches, its table switch and the clearing of listed extraction rows.
#include "masters/SensyuForm.h"

#include "core/AppContext.h"
#include "core/AppState.h"
#include "core/Conversions.h"
#include "core/Dialogs.h"
#include "core/Errors.h"
#include "race/SearchPanel.h"
#include "shell/ErrorTrap.h"
#include "store/Database.h"
#include "store/Recordset.h"

#include <QComboBox>
#include <QListWidget>
#include <QSignalBlocker>

namespace {

// Using the database after it failed to open at load.
constexpr int ObjectNotSet = 91;

[[noreturn]] void raiseObjectNotSet() {
    throw KorvaneError(ObjectNotSet, programErrorSource(),
                       QStringLiteral("オブジェクト変数または With ブロック変数が設定されていません。"));
}

} // namespace

Database& SensyuForm::database() {
    if (!m_db)
        raiseObjectNotSet();
    return *m_db;
}

Recordset& SensyuForm::racerView() {
    if (!m_racerView)
        raiseObjectNotSet();
    return *m_racerView;
}

void SensyuForm::Table_Change(const QList<FieldEquals>& conditions) {
    Database& db = database();
    for (std::unique_ptr<Recordset>* set : {&m_racerView, &m_racerTable}) {
        if (*set)
            (*set)->close();
        set->reset();
    }
    m_setMode = m_ctx.state.extractionMode;
    m_memory.searchedTable = m_setMode;
    m_racerView = db.openRecordset(racerViewName(m_setMode), conditions, SearchResults::MaxRows);
    // The table is opened on the racer a delete names (positionRacerTable).
}

void SensyuForm::search(const SearchRequest& request) {
    Table_Change(searchConditions(request));
    listAndShow(*m_racerView, request, m_results, m_ctx.dialogs, [this] { showSearchList(); });
}

void SensyuForm::showSearchList() {
    // A new list selects nothing, so nothing is shown until the user picks a line.
    const QSignalBlocker blocker(m_list1);
    m_list1->clear();
    m_list1->addItems(m_results.lines);
    m_list1->setCurrentRow(-1);
}

void SensyuForm::Kenmei_Click(int k) {
    if (k < 1 || k > SearchPanel::PrefectureCount)
        return;
    runTrapped(m_ctx.dialogs, [this, k] {
        m_memory.searchMode = SensyuSearchMemory::Prefecture;
        m_memory.lastPrefecture = static_cast<qint16>(k);
        search(SearchRequest::prefecture(m_memory.lastPrefecture, m_panel->combined(), m_memory.lastTerm));
    });
}

void SensyuForm::ComboNamae_Click(int k) {
    if (!SearchPanel::kanaActive(k))
        return;
    runTrapped(m_ctx.dialogs, [this, k] {
        m_memory.searchMode = SensyuSearchMemory::Kana;
        m_memory.lastKana = static_cast<qint16>(k);
        search(SearchRequest::kana(m_memory.lastKana));
    });
}

void SensyuForm::ComboToban_Click() {
    runTrapped(m_ctx.dialogs, [this] {
        const qint16 number = conv::numericValueInt16(m_panel->comboToban()->currentText());
        m_memory.searchMode = SensyuSearchMemory::RegistrationNumber;
        search(SearchRequest::registrationNumber(number));
    });
}

void SensyuForm::ComboKi_Click() {
    runTrapped(m_ctx.dialogs, [this] {
        const qint16 term = conv::numericValueInt16(m_panel->comboKi()->currentText());
        m_memory.searchMode = SensyuSearchMemory::Term;
        m_memory.lastTerm = term;
        search(SearchRequest::term(term, m_panel->combined(), m_memory.lastPrefecture));
    });
}

void SensyuForm::Command500_Click() {
    runTrapped(m_ctx.dialogs, [this] {
        m_memory.searchMode = SensyuSearchMemory::ListAll;
        search(SearchRequest::wholeTable());
    });
}

// After a delete the list shows what the last search finds now.
void SensyuForm::repeatLastSearch() {
    switch (m_memory.searchMode) {
    case SensyuSearchMemory::Prefecture:
        Kenmei_Click(m_memory.lastPrefecture);
        break;
    case SensyuSearchMemory::RegistrationNumber:
        ComboToban_Click();
        break;
    case SensyuSearchMemory::Term:
        ComboKi_Click();
        break;
    case SensyuSearchMemory::Kana:
        ComboNamae_Click(m_memory.lastKana);
        break;
    default:
        Command500_Click();
        break;
    }
}

void SensyuForm::switchTable() {
    // The racers listed belong to the table being left. The record sets stay until the next search.
    {
        const QSignalBlocker blocker(m_list1);
        m_list1->clear();
    }
    m_results.clear();
    m_ctx.state.extractionMode = m_ctx.state.extractionMode == 1 ? 0 : 1;
    showTableMode();
}

// Removes the listed racers from the extraction list, walking the list and the table together by
// ascending 選手ID; the racers themselves stay.
void SensyuForm::deleteListedExtraction() {
    if (m_list1->count() == 0) {
        m_ctx.dialogs.critical(
            QStringLiteral("削除したいレコードをリストに表示させてから実行して下さい。\r\n"),
            QStringLiteral("抽出テーブル全削除エラー"));
        return;
    }
    if (m_ctx.dialogs.question(
            QStringLiteral("リストに表示されている選手抽出テーブルのデータを全て削除します。\r\n"
                           "（選手テーブル自体は削除されません。）\r\n\r\n"
                           "実行しますか。"),
            QStringLiteral("選手抽出テーブル削除")) != Dialogs::Answer::Yes)
        return;

    const QList<qint16> ids = listRacerIds();
    if (m_racerTable)
        m_racerTable->close();
    Database& db = database();
    m_racerTable = db.openRecordset(QStringLiteral("T_選手抽出"));
    Recordset& table = *m_racerTable;
    const QString idField = QStringLiteral("選手ID");
    // All listed rows go together, or none when something fails on the way.
    db.runInTransaction([&] {
        qsizetype i = 0;
        if (!table.eof())
            table.moveFirst();
        while (!table.eof() && i < ids.size()) {
            const qint16 r = conv::valueToInt16(table.field(idField));
            if (r > ids.at(i)) {
                // A listed racer the table no longer holds: the next listed one may be this row.
                ++i;
                continue;
            }
            if (r == ids.at(i)) {
                table.deleteCurrent();
                ++i;
            }
            table.moveNext();
        }
    });
    {
        const QSignalBlocker blocker(m_list1);
        m_list1->clear();
    }
    m_results.clear();
}
