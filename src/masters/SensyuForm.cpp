#include "masters/SensyuForm.h"

#include "core/AppContext.h"
#include "core/AppState.h"
#include "core/Conversions.h"
#include "core/Dialogs.h"
#include "core/Errors.h"
#include "core/Services.h"
#include "masters/CsvPreviewDialog.h"
#include "masters/SensyuFormLayout.h"
#include "masters/SensyuFormPictures.h"
#include "race/SearchPanel.h"
#include "race/ToolPictures.h"
#include "records/RacerCsv.h"
#include "records/RacerRecord.h"
#include "records/TableRules.h"
#include "shell/Controls.h"
#include "shell/ErrorTrap.h"
#include "shell/VersionBox.h"
#include "store/Database.h"
#include "store/Recordset.h"

#include <QComboBox>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QToolButton>
#include <utility>

namespace {

const QString fRacerId = QStringLiteral("選手ID");
const QString fName = QStringLiteral("名前");

// Numbers as the boxes show them: plain decimal, and an empty text for a null.
QString fieldText(const Recordset& set, const QString& field) {
    return conv::valueText(set.field(field));
}

// A field that must hold a value to be shown: a null is the error the old boxes raised.
QString requiredText(const Recordset& set, const QString& field) {
    return conv::valueText(conv::requireValue(set.field(field)));
}

void setComboText(QComboBox* box, const QString& text) {
    const int index = box->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    box->setCurrentIndex(index);
    if (index < 0)
        box->setEditText(text);
}

} // namespace

SensyuForm::SensyuForm(AppContext& ctx, SensyuSearchMemory& memory, QWidget* parent)
    : FormWindow(ctx, WindowId::SensyuForm, QStringLiteral("選手テーブルメンテナンス"), parent)
    , m_memory(memory) {
    setObjectName(QStringLiteral("SensyuForm"));
    buildMenus();
    buildControls();
    Form_Load();
}

SensyuForm::~SensyuForm() = default;

void SensyuForm::buildMenus() {
    addMenuCommand(QStringLiteral("Menu_Close"), QStringLiteral("終了(&X)"), [this] { Menu_Close_Click(); });
    // Menu_Ment(1) gets its caption from the table mode at load.
    const QString captions[4] = {QStringLiteral("更新(&E)"), QStringLiteral("追加(&A)"),
                                 QStringLiteral("削除(&D)"), QStringLiteral("印刷(&P)")};
    for (int i = 0; i < 4; ++i)
        m_menuMent[i] = addMenuCommand(controls::indexedName(QStringLiteral("Menu_Ment"), i), captions[i],
                                       [this, i] { Menu_Ment_Click(i); });
    QMenu* change =
        controls::addMenu(menuBar(), QStringLiteral("Menu_Change"), QStringLiteral("選手ﾃｰﾌﾞﾙ変更(&T)"));
    const QString tableCaptions[2] = {QStringLiteral("抽出→通常ﾃｰﾌﾞﾙ(&N)"),
                                      QStringLiteral("通常→抽出ﾃｰﾌﾞﾙ(&O)")};
    for (int i = 0; i < 2; ++i)
        m_menuTable[i] =
            controls::addAction(change, this, controls::indexedName(QStringLiteral("Menu_Table"), i),
                                tableCaptions[i], [this, i] { Menu_Table_Click(i); });
    QMenu* file = controls::addMenu(menuBar(), QStringLiteral("Menu_File"), QStringLiteral("ﾌｧｲﾙ(&F)"));
    controls::addAction(file, this, QStringLiteral("Menu_CsvImport"), QStringLiteral("CSV取込(&I)..."),
                        [this] { Menu_CsvImport_Click(); });
    controls::addAction(file, this, QStringLiteral("Menu_CsvExport"), QStringLiteral("CSV出力(&O)..."),
                        [this] { Menu_CsvExport_Click(); });
    // The help menu has always carried this spelling as its name.
    addHelpMenu()->setObjectName(QStringLiteral("Meun_Help"));
}

void SensyuForm::buildControls() {
    const AppState& state = m_ctx.state;
    QWidget* central = createClientArea(WorkWidth, WorkHeight, QStringLiteral("SensyuFormClient"));
    // Slim arrows, so that the narrow pickers keep room for their text.
    controls::Table table(state, central, sensyuform::toolLayout(), controls::Pickers::Slim);

    const QIcon icons[9] = {
        QIcon(toolPicture(ToolPicture::Close)),      QIcon(sensyuPicture(SensyuPicture::Update)),
        QIcon(toolPicture(ToolPicture::AddToTable)), QIcon(sensyuPicture(SensyuPicture::Delete)),
        QIcon(sensyuPicture(SensyuPicture::Print)),  QIcon(toolPicture(ToolPicture::TableSwitch)),
        QIcon(toolPicture(ToolPicture::Help)),       QIcon(toolPicture(ToolPicture::Version)),
        QIcon(toolPicture(ToolPicture::Clear)),
    };
    const QString tips[9] = {
        QStringLiteral("終了します。"),
        QStringLiteral("選手データを更新します。"),
        QStringLiteral("選手データを追加します。"),
        QStringLiteral("選手データを削除します。"),
        QStringLiteral("選手データを印刷します。"),
        QStringLiteral("選手ﾃｰﾌﾞﾙを通常のﾃｰﾌﾞﾙか各ﾕｰｻﾞｰ抽出後のﾃｰﾌﾞﾙに変更します。"),
        QStringLiteral("ﾍﾙﾌﾟを表示します。"),
        QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報です。"),
        QStringLiteral("リストに表示されている抽出テーブルのデータを全て削除します。"),
    };
    for (int i = 0; i < 9; ++i) {
        auto* button = table.get<QToolButton>(QStringLiteral("CommandDisp"), i);
        controls::setToolPicture(button, icons[i], tips[i], i == 5);
        connect(button, &QToolButton::clicked, this, [this, i] { CommandDisp_Click(i); });
        m_commandDisp[i] = button;
    }
    m_labelTable = table.get<QLabel>(QStringLiteral("LabelTable"));
    m_labelTable->setAlignment(Qt::AlignCenter);
    m_pictureWaku = table.get<QFrame>(QStringLiteral("PictureWaku"));

    m_panel = new SearchPanel(state, m_pictureWaku, controls::Pickers::Slim);
    connect(m_panel, &SearchPanel::prefectureClicked, this, &SensyuForm::Kenmei_Click);
    connect(m_panel, &SearchPanel::kanaClicked, this, &SensyuForm::ComboNamae_Click);
    connect(m_panel, &SearchPanel::registrationChosen, this, &SensyuForm::ComboToban_Click);
    connect(m_panel, &SearchPanel::termChosen, this, &SensyuForm::ComboKi_Click);
    connect(m_panel, &SearchPanel::listAllClicked, this, &SensyuForm::Command500_Click);

    table.add(sensyuform::listAndEditLayout());
    m_list1 = table.get<QListWidget>(QStringLiteral("List1"));
    // The selection moves by mouse or arrow keys alike; either shows the racer. A click on the line
    // already selected shows it again, which drops the edits not stored.
    connect(m_list1, &QListWidget::currentRowChanged, this, [this](int line) {
        m_pressMovedSelection = QGuiApplication::mouseButtons() != Qt::NoButton;
        if (line >= 0)
            List1_Click(line);
    });
    connect(m_list1, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        if (!std::exchange(m_pressMovedSelection, false))
            List1_Click(m_list1->row(item));
    });

    m_comboSyozoku = table.get<QComboBox>(QStringLiteral("ComboSyozoku"));
    m_ki = table.get<QLineEdit>(QStringLiteral("Ki"));
    m_toban = table.get<QLineEdit>(QStringLiteral("Toban"));
    m_namae = table.get<QLineEdit>(QStringLiteral("Namae"));
    m_yomigana = table.get<QLineEdit>(QStringLiteral("Yomigana"));
    m_kyu = table.get<QLineEdit>(QStringLiteral("Kyu"));
    m_seinen = table.get<QLineEdit>(QStringLiteral("Seinen"));
    m_seituki = table.get<QLineEdit>(QStringLiteral("Seituki"));
    m_seihi = table.get<QLineEdit>(QStringLiteral("Seihi"));
    m_comboBladtype = table.get<QComboBox>(QStringLiteral("ComboBladtype"));
    // Nothing fills, reads or stores the two rate boxes.
    for (const QString& name : {QStringLiteral("Syoritu"), QStringLiteral("Fukuritu")})
        table.get<QLineEdit>(name)->setEnabled(false);

    m_enterChain = {m_comboSyozoku, m_ki,     m_toban,   m_namae, m_yomigana,
                    m_kyu,          m_seinen, m_seituki, m_seihi, m_comboBladtype};
    for (QWidget* field : m_enterChain) {
        field->installEventFilter(this);
        if (auto* box = qobject_cast<QComboBox*>(field))
            box->lineEdit()->installEventFilter(this);
    }
    connect(m_comboSyozoku, &QComboBox::activated, this, &SensyuForm::ComboSyozoku_Click);
    connect(m_comboBladtype, &QComboBox::activated, this, &SensyuForm::ComboBladtype_Click);
}

void SensyuForm::Form_Load() {
    showTableMode();
    // A database that cannot be opened leaves the window open and empty.
    runTrapped(m_ctx.dialogs, [this] {
        m_db = std::make_unique<Database>(m_ctx.state.databasePath());
        // The racer view and table start on the racer table whatever the mode; the first search
        // reopens them. Nothing reads their rows before that, so none are read here.
        m_setMode = 0;
        m_racerView = m_db->openRecordset(racerViewName(0), {}, 0);
        m_affiliations = m_db->openRecordset(QStringLiteral("T_所属"));
        m_bloodTypes = m_db->openRecordset(QStringLiteral("T_血液型"));
        std::unique_ptr<Recordset> terms = m_db->openRecordset(QStringLiteral("Q_期"));
        m_racerTable = m_db->openRecordset(QStringLiteral("T_選手"), {}, 0);

        const auto fillCache = [](Recordset& set, const QString& idField, const QString& nameField,
                                  auto& cache, QComboBox* box) {
            QStringList names;
            size_t slot = 0;
            for (; !set.eof(); set.moveNext()) {
                const QString name = conv::trimBlanks(conv::valueText(set.field(nameField)));
                names << name;
                if (slot < cache.size())
                    cache[slot++] = {conv::valueToInt16(set.field(idField)), name};
            }
            box->addItems(names);
        };
        fillCache(*m_affiliations, QStringLiteral("所属ID"), QStringLiteral("所属名"), m_affiliationCache,
                  m_comboSyozoku);
        fillCache(*m_bloodTypes, QStringLiteral("血液型ID"), QStringLiteral("血液型名"), m_bloodTypeCache,
                  m_comboBladtype);

        const auto fillPicker = [](Recordset& set, const QString& field, QComboBox* box) {
            QStringList texts;
            texts.reserve(set.recordCount());
            for (; !set.eof(); set.moveNext())
                texts << conv::valueText(set.field(field));
            set.close();
            box->addItems(texts);
        };
        fillPicker(*terms, QStringLiteral("期"), m_panel->comboKi());
        m_panel->fillRegistrationNumbers(*m_db, [this] { return m_db.get(); });
        for (QComboBox* box : {m_panel->comboKi(), m_panel->comboToban(), m_comboSyozoku, m_comboBladtype}) {
            box->setCurrentIndex(-1);
            if (box->isEditable())
                box->setEditText(QString());
        }
    });
}

void SensyuForm::showTableMode() {
    const bool extraction = m_ctx.state.extractionMode != 0;
    m_commandDisp[5]->setText(extraction ? QStringLiteral("抽出→通常") : QStringLiteral("通常→抽出"));
    m_labelTable->setText(extraction ? QStringLiteral("抽出テーブル") : QStringLiteral("通常テーブル"));
    m_menuMent[1]->setText(extraction ? QStringLiteral("全削除(C)") : QStringLiteral("追加(A)"));
    m_menuTable[0]->setEnabled(extraction);
    m_menuTable[1]->setEnabled(!extraction);
    m_panel->picNo(2)->setVisible(extraction);
    m_commandDisp[2]->setVisible(!extraction);
    m_commandDisp[8]->setVisible(extraction);
}

QList<qint16> SensyuForm::listRacerIds() const {
    QList<qint16> ids;
    ids.reserve(m_results.rows.size());
    for (const PersonSlot& row : m_results.rows)
        ids << row.racerId;
    return ids;
}

int SensyuForm::selectedLine() const {
    const int line = m_list1->currentRow();
    return line >= 0 && line < m_results.size() && m_list1->item(line)->isSelected() ? line : -1;
}

bool SensyuForm::requireSelection() {
    if (selectedLine() >= 0)
        return true;
    m_ctx.dialogs.critical(QStringLiteral("レコードを選択してから実行して下さい。\r\n"),
                           QStringLiteral("レコード未選択エラー"));
    return false;
}

// Positions the racer view on a listed racer. A racer renumbered or removed since the list was made
// is not there: the view would stay on another racer, whose fields an update would overwrite, so the
// user is told instead.
bool SensyuForm::findListedRacer(qint16 racerId) {
    if (racerView().findFirst(QStringLiteral("選手ID = ") + QString::number(racerId)))
        return true;
    m_ctx.dialogs.message(
        QStringLiteral("登番 %1 の選手は見つかりません。\r\n検索し直して下さい。").arg(racerId));
    return false;
}

// Positions the racer table (the racers, or the extraction list in extraction mode) on a racer.
bool SensyuForm::positionRacerTable(qint16 racerId) {
    if (m_racerTable)
        m_racerTable->close();
    m_racerTable.reset();
    const QString table = m_setMode != 0 ? QStringLiteral("T_選手抽出") : QStringLiteral("T_選手");
    m_racerTable = database().openRecordset(table, {{fRacerId, racerId}});
    if (m_racerTable->findFirst(QStringLiteral("選手ID = ") + QString::number(racerId)))
        return true;
    m_ctx.dialogs.message(
        QStringLiteral("登番 %1 の選手は見つかりません。\r\n検索し直して下さい。").arg(racerId));
    return false;
}

// "1234 山田太郎": the racer the view stands on, as the questions name him.
QString SensyuForm::racerCaption() const {
    return fieldText(*m_racerView, fRacerId) + QLatin1Char(' ') + fieldText(*m_racerView, fName);
}

void SensyuForm::List1_Click(int line) {
    runTrapped(m_ctx.dialogs, [this, line] { showRacer(line); });
}

void SensyuForm::showRacer(int line) {
    if (line < 0 || line >= m_results.size())
        return;
    if (!findListedRacer(m_results.rows.at(line).racerId))
        return;
    const Recordset& view = *m_racerView;
    setComboText(m_comboSyozoku, conv::trimBlanks(requiredText(view, QStringLiteral("所属名"))));
    m_namae->setText(requiredText(view, fName));
    m_yomigana->setText(requiredText(view, QStringLiteral("よみがな")));
    const QVariant term = view.field(QStringLiteral("期"));
    m_ki->setText(term.isNull() ? QStringLiteral("0") : conv::valueText(term));
    m_toban->setText(requiredText(view, fRacerId));
    m_kyu->setText(fieldText(view, QStringLiteral("級")));
    m_seinen->setText(requiredText(view, QStringLiteral("生年")));
    m_seituki->setText(requiredText(view, QStringLiteral("生月")));
    m_seihi->setText(requiredText(view, QStringLiteral("生日")));
    setComboText(m_comboBladtype, requiredText(view, QStringLiteral("血液型名")));
    m_comboSyozoku->setFocus();
}

bool SensyuForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            for (size_t i = 0; i < m_enterChain.size(); ++i) {
                QWidget* field = m_enterChain[i];
                const auto* box = qobject_cast<QComboBox*>(field);
                if (watched == field || (box && watched == box->lineEdit())) {
                    m_enterChain[(i + 1) % m_enterChain.size()]->setFocus();
                    return true;
                }
            }
        }
    }
    return FormWindow::eventFilter(watched, event);
}

void SensyuForm::ComboSyozoku_Click() {
    m_ki->setFocus();
}

void SensyuForm::ComboBladtype_Click() {
    m_comboSyozoku->setFocus();
}

void SensyuForm::CommandDisp_Click(int index) {
    runTrapped(m_ctx.dialogs, [this, index] {
        switch (index) {
        case 0:
            Menu_Close_Click();
            break;
        case 1:
            if (requireSelection())
                updateRacer();
            break;
        case 2:
            addRacer();
            break;
        case 3:
            if (requireSelection())
                deleteRacer();
            break;
        case 4:
            printList();
            break;
        case 5:
            switchTable();
            break;
        case 6:
            m_ctx.help.showContents();
            break;
        case 7:
            showVersionBox(m_ctx.dialogs, VersionBoxFrom::WorkWindow);
            break;
        case 8:
            deleteListedExtraction();
            break;
        default:
            break;
        }
    });
}

void SensyuForm::Menu_Close_Click() {
    close();
}

void SensyuForm::Menu_Ment_Click(int index) {
    static constexpr int commands[4] = {1, 2, 3, 4};
    if (index < 0 || index > 3)
        return;
    // The second entry adds to the racer table, or clears the listed extraction rows.
    const int command = index == 1 && m_ctx.state.extractionMode != 0 ? 8 : commands[index];
    CommandDisp_Click(command);
}

void SensyuForm::Menu_Table_Click(int) {
    CommandDisp_Click(5);
}

qint16 SensyuForm::SyozokuID_Kensaku(const QString& name) {
    for (const auto& [id, slotName] : m_affiliationCache) {
        if (slotName == name)
            return id;
    }
    m_ctx.dialogs.message(QStringLiteral("所属テーブルなし"));
    return 0;
}

qint16 SensyuForm::BladID_Kensaku(const QString& name) {
    for (const auto& [id, slotName] : m_bloodTypeCache) {
        if (slotName == name)
            return id;
    }
    m_ctx.dialogs.message(QStringLiteral("血液型テーブルなし"));
    return 0;
}

// Reads the edit panel for a store. An unknown affiliation or blood type stops it after its message;
// then the racer table's rules check every value, and a refusal names each field at fault.
bool SensyuForm::readEditPanel(records::RacerFields& values, const records::StoredRacer* stored) {
    values.affiliationId = SyozokuID_Kensaku(m_comboSyozoku->currentText());
    if (values.affiliationId == 0)
        return false;
    values.bloodTypeId = BladID_Kensaku(m_comboBladtype->currentText());
    if (values.bloodTypeId == 0)
        return false;
    records::RacerTexts texts{m_toban->text(), m_namae->text(),  m_yomigana->text(), m_ki->text(),
                              m_kyu->text(),   m_seinen->text(), m_seituki->text(),  m_seihi->text()};
    if (stored && stored->fields.term.isNull() && records::wholeNumber(texts.term) == 0)
        texts.term.clear();
    records::RacerLabels labels;
    labels.racerId = QStringLiteral("登番");
    labels.reading = QStringLiteral("ﾖﾐｶﾞﾅ");
    QList<records::Refusal> refusals;
    if (!records::checkRacer(texts, m_ctx.clock.today().year(), values, refusals, labels)) {
        m_ctx.dialogs.critical(records::refusalText(refusals), records::refusalTitle(refusals));
        return false;
    }
    return true;
}

void SensyuForm::updateRacer() {
    if (!findListedRacer(m_results.rows.at(selectedLine()).racerId))
        return;
    if (m_ctx.dialogs.question(racerCaption() + QStringLiteral("　選手の内容を更新しますか。\r\n"),
                               QStringLiteral("選手テーブル更新")) != Dialogs::Answer::Yes)
        return;
    // Only what differs from the stored racer is written: a field left as shown keeps its value.
    const records::StoredRacer stored = records::readStoredRacer(*m_racerView);
    records::RacerFields values;
    if (!readEditPanel(values, &stored))
        return;
    m_racerView->edit();
    records::writeRacer(*m_racerView, values, &stored);
}

void SensyuForm::addRacer() {
    if (m_ctx.state.extractionMode == 1) {
        m_ctx.dialogs.critical(QStringLiteral("抽出テーブルの場合は追加処理は選択出来ません\r\n"),
                               QStringLiteral("抽出テーブル追加処理選択エラー"));
        return;
    }
    if (m_ctx.dialogs.question(QStringLiteral("選手テーブルを追加しますか。\r\n"),
                               QStringLiteral("選手テーブル追加")) != Dialogs::Answer::Yes)
        return;
    records::RacerFields values;
    if (!readEditPanel(values, nullptr))
        return;
    // Always into the racer table: after a switch back from the extraction list the view may still be
    // the list's, and a racer added there would be put on the list as well. Such a view and its list
    // give way to the racer table, holding only the new racer.
    if (m_setMode != 0 || !m_racerView) {
        Table_Change({{fRacerId, values.racerId}});
        m_results.clear();
        showSearchList();
    }
    Recordset& view = racerView();
    view.addNew();
    records::writeRacer(view, values);
    // The new racer joins the list and is selected, so that an update or a delete that follows acts
    // on him and not on the racer selected before.
    view.moveLast();
    m_results.lines.append(racerRowText(view));
    m_results.rows.append(racerRowSlot(view));
    m_list1->addItem(m_results.lines.last());
    m_list1->setCurrentRow(m_results.size() - 1);
}

void SensyuForm::deleteRacer() {
    const qint16 racerId = m_results.rows.at(selectedLine()).racerId;
    if (!findListedRacer(racerId))
        return;
    const bool extraction = m_ctx.state.extractionMode != 0;
    QString text = racerCaption() + QStringLiteral("　選手を削除しますか。\r\n");
    if (extraction)
        text += QStringLiteral("\r\n（選手テーブル自体は削除されません。）\r\n\r\n");
    if (m_ctx.dialogs.question(text, extraction ? QStringLiteral("選手抽出テーブル削除")
                                                : QStringLiteral("選手テーブル削除")) != Dialogs::Answer::Yes)
        return;
    if (!positionRacerTable(racerId))
        return;
    m_racerTable->deleteCurrent();
    repeatLastSearch();
}

void SensyuForm::printList() {
    if (m_ctx.dialogs.question(QStringLiteral("選手テーブルを印刷しますか。\r\n"),
                               QStringLiteral("選手テーブル印刷")) != Dialogs::Answer::Yes)
        return;
    SensyuPrint();
}

void SensyuForm::Menu_CsvImport_Click() {
    runTrapped(m_ctx.dialogs, [this] {
        // Into the racer table whatever the mode; the list shows the new rows after the next search.
        records::RacerCsv table;
        masters::importCsv(m_ctx, this, table, database());
    });
}

void SensyuForm::Menu_CsvExport_Click() {
    runTrapped(m_ctx.dialogs, [this] {
        const bool extraction = m_ctx.state.extractionMode != 0;
        records::RacerCsv table(extraction ? 1 : 0);
        masters::exportCsv(m_ctx, table, database(),
                           extraction ? QStringLiteral("選手抽出.csv") : QStringLiteral("選手.csv"));
    });
}

void SensyuForm::Form_Unload() {
    closeStore({&m_racerView, &m_affiliations, &m_bloodTypes, &m_racerTable}, m_db);
}
