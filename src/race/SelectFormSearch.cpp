// The race selection window's searches and its extraction table commands.
#include "race/SelectForm.h"

#include "core/AppContext.h"
#include "core/AppState.h"
#include "core/Conversions.h"
#include "core/Dialogs.h"
#include "core/Errors.h"
#include "race/SearchPanel.h"
#include "shell/ErrorTrap.h"
#include "store/Database.h"
#include "store/Recordset.h"

#include <QAction>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QToolButton>

namespace {

// Using the database after it failed to open at load.
constexpr int ObjectNotSet = 91;

} // namespace

Database& SelectForm::database() {
    if (!m_db)
        throw KorvaneError(ObjectNotSet, programErrorSource(),
                           QStringLiteral("オブジェクト変数または With ブロック変数が設定されていません。"));
    return *m_db;
}

void SelectForm::Table_Change(const QList<FieldEquals>& conditions) {
    Database& db = database();
    if (m_racerSource)
        m_racerSource->close();
    m_racerSource.reset();
    // The set only feeds a search, which never lists more than its first 501 rows.
    m_racerSource =
        db.openRecordset(racerViewName(m_ctx.state.extractionMode), conditions, SearchResults::MaxRows);
}

void SelectForm::search(SearchRequest request) {
    Table_Change(searchConditions(request));
    listAndShow(*m_racerSource, request, m_results, m_ctx.dialogs, [this] { showSearchList(); });
}

void SelectForm::showSearchList() {
    m_list1->clear();
    m_list1->addItems(m_results.lines);
}

void SelectForm::ComboKi_Click() {
    runTrapped(m_ctx.dialogs, [this] {
        m_choices.term = conv::numericValueInt16(m_panel->comboKi()->currentText());
        search(SearchRequest::term(m_choices.term, m_panel->combined(), m_choices.prefecture));
    });
}

void SelectForm::ComboToban_Click() {
    runTrapped(m_ctx.dialogs, [this] {
        m_choices.registrationNumber = conv::numericValueInt16(m_panel->comboToban()->currentText());
        search(SearchRequest::registrationNumber(m_choices.registrationNumber));
    });
}

void SelectForm::ComboNamae_Click(int k) {
    if (!SearchPanel::kanaActive(k))
        return;
    runTrapped(m_ctx.dialogs, [this, k] { search(SearchRequest::kana(static_cast<qint16>(k))); });
}

void SelectForm::Kenmei_Click(int k) {
    if (k < 1 || k > SearchPanel::PrefectureCount)
        return;
    runTrapped(m_ctx.dialogs, [this, k] {
        m_choices.prefecture = static_cast<qint16>(k);
        search(SearchRequest::prefecture(m_choices.prefecture, m_panel->combined(), m_choices.term));
    });
}

void SelectForm::Command500_Click() {
    runTrapped(m_ctx.dialogs, [this] { search(SearchRequest::wholeTable()); });
}

void SelectForm::switchTable() {
    // The racers listed belong to the table being left.
    m_list1->clear();
    m_results.clear();
    if (m_ctx.state.extractionMode == 1) {
        m_ctx.state.extractionMode = 0;
        showTableMode();
        setAddActionAvailable(m_pickCount >= 1);
    } else {
        m_ctx.state.extractionMode = 1;
        showTableMode();
        setAddActionAvailable(false);
    }
}

void SelectForm::addToExtractionTable() {
    if (m_ctx.state.extractionMode == 1) {
        m_ctx.dialogs.critical(QStringLiteral("抽出テーブル選択時は抽出テーブルへの追加は出来ません。"),
                               QStringLiteral("抽出テーブル追加エラー"));
        return;
    }
    if (m_ctx.dialogs.question(QStringLiteral("選択ボックスの選手データを抽出テーブルへ追加しますか。\r\n"),
                               QStringLiteral("抽出テーブル追加")) != Dialogs::Answer::Yes)
        return;

    // Adding reads none of the rows already listed, only how many there are.
    const QString tableName = QStringLiteral("T_選手抽出");
    int rows = database().countRows(tableName);
    std::unique_ptr<Recordset> table = database().openRecordset(tableName, {}, 0);
    for (int i = 0; i < m_pickCount; ++i) {
        if (rows >= ExtractionLimit) {
            m_ctx.dialogs.critical(QStringLiteral("抽出テーブルは５００件までです。"
                                                  "既存の抽出テーブルを削除後、再度実行して下さい。"),
                                   QStringLiteral("抽出テーブルエラー"));
            table->close();
            return;
        }
        const PersonSlot& slot = m_ctx.state.selectedPersons[i];
        table->addNew();
        table->setField(QStringLiteral("選手ID"), slot.racerId);
        try {
            table->update();
            ++rows;
        } catch (const KorvaneError& error) {
            if (error.number() != ErrorNumber::DuplicateKey)
                throw;
            if (table->isEditing())
                table->cancelUpdate();
            m_ctx.dialogs.critical(conv::trimBlanks(slot.name) +
                                       QStringLiteral("さんは既に抽出テーブルにあるので追加出来ません。"),
                                   QStringLiteral("抽出テーブルエラー"));
        }
    }
    table->close();
}
