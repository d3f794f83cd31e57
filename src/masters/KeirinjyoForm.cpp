#include "masters/KeirinjyoForm.h"

#include "core/AppContext.h"
#include "core/AppState.h"
#include "core/Conversions.h"
#include "core/Dialogs.h"
#include "core/Errors.h"
#include "masters/CsvPreviewDialog.h"
#include "masters/KeirinjyoFormLayout.h"
#include "masters/MasterPanels.h"
#include "masters/RecordBrowser.h"
#include "records/MasterCsv.h"
#include "records/TableRules.h"
#include "shell/Controls.h"
#include "shell/ErrorTrap.h"
#include "store/Database.h"
#include "store/Recordset.h"

#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

namespace {

const QString ViewName = QStringLiteral("Q_競輪場");

QString fieldText(const Recordset& set, const QString& name) {
    return conv::valueText(set.field(name));
}

[[noreturn]] void raiseNotOpen() {
    throw KorvaneError(ErrorNumber::StoreFailure, programErrorSource(),
                       QStringLiteral("データベースが開かれていません。"));
}

} // namespace

KeirinjyoForm::KeirinjyoForm(AppContext& ctx, QWidget* parent)
    : FormWindow(ctx, WindowId::KeirinjyoForm, QStringLiteral("競輪場テーブルメンテナンス"), parent) {
    setObjectName(QStringLiteral("KeirinjyoForm"));
    buildMenu();
    buildControls();
    Form_Load();
}

// The record sets are declared after the database, so they go first.
KeirinjyoForm::~KeirinjyoForm() = default;

void KeirinjyoForm::buildMenu() {
    addMenuCommand(QStringLiteral("Menu_Close"), QStringLiteral("終了(&C)"), [this] { Menu_Close_Click(); });
    const QString captions[4] = {QStringLiteral("更新(&E)"), QStringLiteral("追加(&A)"),
                                 QStringLiteral("削除(&D)"), QStringLiteral("印刷(&P)")};
    for (int index = 4; index <= 7; ++index)
        addMenuCommand(controls::indexedName(QStringLiteral("Menu_Ment"), index), captions[index - 4],
                       [this, index] { Menu_Ment_Click(index); });
    QMenu* file = controls::addMenu(menuBar(), QStringLiteral("Menu_File"), QStringLiteral("ﾌｧｲﾙ(&F)"));
    controls::addAction(file, this, QStringLiteral("Menu_CsvImport"), QStringLiteral("CSV取込(&I)..."),
                        [this] { Menu_CsvImport_Click(); });
    controls::addAction(file, this, QStringLiteral("Menu_CsvExport"), QStringLiteral("CSV出力(&O)..."),
                        [this] { Menu_CsvExport_Click(); });
    addHelpMenu();
}

void KeirinjyoForm::buildControls() {
    QWidget* client = createClientArea(WorkWidth, WorkHeight, QStringLiteral("KeirinjyoFormClient"));
    controls::Table table(m_ctx.state, client, keirinjyoform::layout());
    for (int index = 0; index <= 7; ++index) {
        auto* button = table.get<QPushButton>(QStringLiteral("CommandDB"), index);
        connect(button, &QPushButton::clicked, this, [this, index] { CommandDB_Click(index); });
    }
    m_recordNo = table.get<QLineEdit>(QStringLiteral("RecordNo"));
    m_recordNo->setReadOnly(true);
    m_recordNo->setFocusPolicy(Qt::NoFocus);
    m_recordNo->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_keirinjyoID = table.get<QLineEdit>(QStringLiteral("KeirinjyoID"));
    m_keirinjyoMei = table.get<QLineEdit>(QStringLiteral("KeirinjyoMei"));
    m_comboChikuMei = table.get<QComboBox>(QStringLiteral("ComboChikuMei"));
    masters::tintPanel(table.widget(QStringLiteral("PictureWaku")), true);
    masters::tintPanel(table.widget(QStringLiteral("PictureButton")), false);
    masters::tintPanel(table.widget(QStringLiteral("PictureHyouji")), false);

    m_browser = std::make_unique<RecordBrowser>(m_ctx.dialogs, m_recordNo, [this] { showRecord(); });
}

void KeirinjyoForm::Form_Load() {
    // A database that cannot be opened leaves the window open and empty.
    m_recordNo->setText(QStringLiteral("0"));
    runTrapped(m_ctx.dialogs, [this] {
        m_db = std::make_unique<Database>(m_ctx.state.databasePath());
        m_keirinjyo = m_db->openRecordset(ViewName);
        m_chiku = m_db->openRecordset(QStringLiteral("T_地区"));

        for (; !m_chiku->eof(); m_chiku->moveNext()) {
            const Region region{conv::valueToInt16(m_chiku->field(QStringLiteral("地区ID"))),
                                conv::trimBlanks(fieldText(*m_chiku, QStringLiteral("地区名")))};
            m_comboChikuMei->addItem(region.name);
            m_regionCache.append(region);
        }
        m_comboChikuMei->setCurrentIndex(-1);

        m_browser->setRecordset(m_keirinjyo.get());
        m_browser->load();
    });
}

Recordset& KeirinjyoForm::velodromes() {
    if (!m_keirinjyo)
        raiseNotOpen();
    return *m_keirinjyo;
}

void KeirinjyoForm::showRecord() {
    const Recordset& set = velodromes();
    m_keirinjyoID->setText(fieldText(set, QStringLiteral("競輪場ID")));
    m_keirinjyoMei->setText(fieldText(set, QStringLiteral("競輪場名")));
    m_comboChikuMei->setCurrentIndex(
        m_comboChikuMei->findText(conv::trimBlanks(fieldText(set, QStringLiteral("地区名")))));
}

int KeirinjyoForm::currentRecordNo() const {
    return m_browser->number();
}

int KeirinjyoForm::recordTotal() const {
    return m_browser->total();
}

qint16 KeirinjyoForm::ChikuID_Kensaku(const QString& name) {
    // Only loaded regions take part: an empty region box is no region, and says so.
    for (const Region& region : m_regionCache) {
        if (region.name == name)
            return region.id;
    }
    m_ctx.dialogs.message(QStringLiteral("地区テーブルなし"));
    return 0;
}

bool KeirinjyoForm::storeFromBoxes(bool adding) {
    const qint16 regionId = ChikuID_Kensaku(m_comboChikuMei->currentText());
    if (regionId == 0)
        return false;
    // Checked before the record is opened for writing, so that a refused value leaves nothing open.
    records::VelodromeValues values;
    QList<records::Refusal> refusals;
    if (!records::checkVelodrome(m_keirinjyoID->text(), m_keirinjyoMei->text(), values, refusals)) {
        m_ctx.dialogs.critical(records::refusalText(refusals), records::refusalTitle(refusals));
        return false;
    }
    Recordset& set = velodromes();
    if (adding)
        set.addNew();
    else
        set.edit();
    try {
        set.setField(QStringLiteral("競輪場ID"), values.id);
        set.setField(QStringLiteral("競輪場名"), values.name);
        set.setField(QStringLiteral("地区ID"), regionId);
        set.update();
    } catch (...) {
        if (set.isEditing())
            set.cancelUpdate();
        throw;
    }
    return true;
}

void KeirinjyoForm::CommandDB_Click(int index) {
    runTrapped(m_ctx.dialogs, [this, index] {
        m_browser->command(index, QStringLiteral("競輪場テーブル"),
                           {[this](bool adding) { return storeFromBoxes(adding); },
                            [this] { velodromes().deleteCurrent(); }, [this] { Keirinjyo_Print(); }});
    });
}

void KeirinjyoForm::Menu_Ment_Click(int index) {
    CommandDB_Click(index);
}

void KeirinjyoForm::Menu_Close_Click() {
    close();
}

void KeirinjyoForm::Menu_CsvImport_Click() {
    runTrapped(m_ctx.dialogs, [this] {
        records::VelodromeCsv table;
        if (!m_db || !m_keirinjyo || !masters::importCsv(m_ctx, this, table, *m_db))
            return;
        // The velodromes read again, so that the new ones can be reached; the first is shown.
        m_browser->reopen(*m_db, m_keirinjyo, ViewName);
    });
}

void KeirinjyoForm::Menu_CsvExport_Click() {
    runTrapped(m_ctx.dialogs, [this] {
        records::VelodromeCsv table;
        if (m_db)
            masters::exportCsv(m_ctx, table, *m_db, QStringLiteral("競輪場.csv"));
    });
}

void KeirinjyoForm::Form_Unload() {
    closeStore({&m_keirinjyo, &m_chiku}, m_db);
}
