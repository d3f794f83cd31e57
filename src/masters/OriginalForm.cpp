#include "masters/OriginalForm.h"

#include "core/AppContext.h"
#include "core/Conversions.h"
#include "core/Dialogs.h"
#include "core/Errors.h"
#include "core/Services.h"
#include "core/SharedRoutines.h"
#include "masters/CsvPreviewDialog.h"
#include "masters/MasterPanels.h"
#include "masters/OriginalFormLayout.h"
#include "masters/RecordBrowser.h"
#include "records/MasterCsv.h"
#include "records/TableRules.h"
#include "shell/Controls.h"
#include "shell/ErrorTrap.h"
#include "shell/TextWatch.h"
#include "store/Database.h"
#include "store/Recordset.h"

#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <algorithm>

namespace {

const QString TableName = QStringLiteral("T_個別名簿");

QStringList numberTexts(int from, int to) {
    QStringList texts;
    for (int i = from; i <= to; ++i)
        texts << QString::number(i);
    return texts;
}

// Shows a text in a picker, on its list entry when it has one, so that the list and the arrow keys go
// on from there.
void showText(QComboBox* box, const QString& text) {
    const int index = box->findText(text);
    if (index >= 0)
        box->setCurrentIndex(index);
    else
        box->setEditText(text);
}

// The birth year the chart gets: the number in the entry's first four characters, 0 when there is none.
qint16 birthYearInSlot(const QString& entry) {
    const QString head = entry.left(4);
    if (head.size() < 4 || !std::all_of(head.begin(), head.end(), [](QChar c) {
            return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
                   (c.unicode() >= 0xFF10 && c.unicode() <= 0xFF19);
        }))
        return 0;
    return conv::numericValueInt16(head);
}

[[noreturn]] void raiseNotOpen() {
    throw KorvaneError(ErrorNumber::StoreFailure, programErrorSource(),
                       QStringLiteral("データベースが開かれていません。"));
}

} // namespace

OriginalForm::OriginalForm(AppContext& ctx, QWidget* parent)
    : FormWindow(ctx, WindowId::OriginalForm, QStringLiteral("個別調査"), parent) {
    setObjectName(QStringLiteral("OriginalForm"));
    buildMenu();
    buildControls();
    Form_Load();
}

// The record set is declared after the database, so it goes first.
OriginalForm::~OriginalForm() = default;

void OriginalForm::buildMenu() {
    addMenuCommand(QStringLiteral("Menu_Close"), QStringLiteral("終了(&X)"), [this] { Menu_Close_Click(); });
    addMenuCommand(QStringLiteral("Menu_Disp"), QStringLiteral("ﾊﾞｲｵﾘｽﾞﾑ(&B)"),
                   [this] { Menu_Disp_Click(); });
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
    QMenu* help = addHelpMenu();
    // The kana marker after the mnemonic is doubled so that it shows as a plain "&".
    controls::addAction(help, this, QStringLiteral("Menu_Sales"), QStringLiteral("ｿﾌﾄ紹介(&S&&ﾄ)"),
                        [this] { Menu_Sales_Click(); });
}

void OriginalForm::buildControls() {
    QWidget* client = createClientArea(WorkWidth, WorkHeight, QStringLiteral("OriginalFormClient"));
    // The survey pickers are as narrow as on the old screens: a slim arrow leaves room for four digits.
    // The style comes first, since a picker takes its height from it when it is placed.
    client->setStyleSheet(
        QStringLiteral("QComboBox { padding: 0px 0px 0px 1px; } QComboBox::drop-down { width: 12px; }"));
    controls::Table table(m_ctx.state, client, originalform::layout());
    for (int index = 0; index <= 7; ++index) {
        auto* button = table.get<QPushButton>(QStringLiteral("CommandDB"), index);
        connect(button, &QPushButton::clicked, this, [this, index] { CommandDB_Click(index); });
    }
    m_comboChoNen = table.get<QComboBox>(QStringLiteral("ComboChoNen"));
    m_comboChoTuki = table.get<QComboBox>(QStringLiteral("ComboChoTuki"));
    m_comboChoHi = table.get<QComboBox>(QStringLiteral("ComboChoHi"));
    m_recordNo = table.get<QLineEdit>(QStringLiteral("RecordNo"));
    m_recordNo->setReadOnly(true);
    m_recordNo->setFocusPolicy(Qt::NoFocus);
    m_recordNo->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_textNamae = table.get<QLineEdit>(QStringLiteral("TextNamae"));
    m_comboNen = table.get<QComboBox>(QStringLiteral("ComboNen"));
    m_comboTuki = table.get<QComboBox>(QStringLiteral("ComboTuki"));
    m_comboHi = table.get<QComboBox>(QStringLiteral("ComboHi"));
    // The record buttons and the number stay whole where the person panel reaches under them.
    for (int index = 0; index <= 3; ++index)
        table.widget(controls::indexedName(QStringLiteral("CommandDB"), index))->raise();
    table.widget(QStringLiteral("LabelCommand"))->raise();
    m_recordNo->raise();
    masters::tintPanel(table.widget(QStringLiteral("PictureWaku")), true);
    for (const char16_t* panel : {u"PictureChoNen", u"PictureCommand", u"PictureMain"})
        masters::tintPanel(table.widget(QString::fromUtf16(panel)), false);

    // Every new text of a survey picker, however it came, is one change of the survey date; the texts
    // the window sets itself are not.
    for (auto [box, handler] : {std::pair{m_comboChoNen, &OriginalForm::ComboChoNen_Change},
                                std::pair{m_comboChoTuki, &OriginalForm::ComboChoTuki_Change},
                                std::pair{m_comboChoHi, &OriginalForm::ComboChoHi_Change}})
        controls::onNewText(box, [this, handler] {
            if (!m_fillingBoxes)
                (this->*handler)();
        });
    // The sheet above sets the pickers' inner fields before the table gives the pickers their fonts.
    for (QComboBox* box : {m_comboChoNen, m_comboChoTuki, m_comboChoHi, m_comboNen, m_comboTuki, m_comboHi})
        box->lineEdit()->setFont(box->font());

    m_browser = std::make_unique<RecordBrowser>(m_ctx.dialogs, m_recordNo, [this] { showRecord(); });
}

void OriginalForm::fillPickers() {
    const QDate today = m_ctx.clock.today();
    const int year = today.year();
    m_comboChoNen->addItems(numberTexts(year, year + 4));
    m_comboChoTuki->addItems(numberTexts(1, 12));
    m_comboChoHi->addItems(numberTexts(1, 31));
    showText(m_comboChoNen, QString::number(year));
    showText(m_comboChoTuki, QString::number(today.month()));
    showText(m_comboChoHi, QString::number(today.day()));
    // The race's survey date gives way to today's.
    m_ctx.state.surveyDate = SurveyDate{static_cast<qint16>(year), static_cast<qint16>(today.month()),
                                        static_cast<qint16>(today.day())};

    QStringList years;
    for (int y = year - 60; y <= year; ++y)
        years << records::birthYearEntry(y);
    m_comboNen->addItems(years);
    m_comboTuki->addItems(numberTexts(1, 12));
    m_comboHi->addItems(numberTexts(1, 31));
    for (QComboBox* box : {m_comboNen, m_comboTuki, m_comboHi})
        box->setCurrentIndex(-1);
}

void OriginalForm::Form_Load() {
    fillPickers();
    // A database that cannot be opened leaves the window open and empty.
    m_recordNo->setText(QStringLiteral("0"));
    runTrapped(m_ctx.dialogs, [this] {
        m_db = std::make_unique<Database>(m_ctx.state.databasePath());
        m_meibo = m_db->openRecordset(TableName);
        m_browser->setRecordset(m_meibo.get());
        m_browser->load();
    });
}

Recordset& OriginalForm::roster() {
    if (!m_meibo)
        raiseNotOpen();
    return *m_meibo;
}

void OriginalForm::showRecord() {
    const Recordset& set = roster();
    const auto text = [&set](const char16_t* name) {
        return conv::valueText(set.field(QString::fromUtf16(name)));
    };
    m_shown = {text(u"名前"), text(u"生年"), text(u"生月"), text(u"生日")};
    m_textNamae->setText(m_shown.at(0));
    showText(m_comboNen, m_shown.at(1));
    showText(m_comboTuki, m_shown.at(2));
    showText(m_comboHi, m_shown.at(3));
}

int OriginalForm::currentRecordNo() const {
    return m_browser->number();
}

int OriginalForm::recordTotal() const {
    return m_browser->total();
}

// The detail chart stepped the shared survey date: the pickers show it.
void OriginalForm::SurveyDate_Change() {
    const SurveyDate& date = m_ctx.state.surveyDate;
    m_fillingBoxes = true;
    showText(m_comboChoNen, QString::number(date.year));
    showText(m_comboChoTuki, QString::number(date.month));
    showText(m_comboChoHi, QString::number(date.day));
    m_fillingBoxes = false;
}

// A number beyond 16 bits is the overflow error, as the birth pickers give it, and the date keeps its
// value; any other number becomes that part of the date, which is then checked.
void OriginalForm::surveyPartChanged(qint16 SurveyDate::*part, const QComboBox* box) {
    runTrapped(m_ctx.dialogs, [this, part, box] {
        const qint16 value = conv::numericValueInt16(box->currentText());
        m_ctx.state.surveyDate.*part = value;
        checkSurveyDate(m_ctx.state.surveyDate, m_ctx.dialogs);
    });
}

void OriginalForm::ComboChoNen_Change() {
    surveyPartChanged(&SurveyDate::year, m_comboChoNen);
}

void OriginalForm::ComboChoTuki_Change() {
    surveyPartChanged(&SurveyDate::month, m_comboChoTuki);
}

void OriginalForm::ComboChoHi_Change() {
    surveyPartChanged(&SurveyDate::day, m_comboChoHi);
}

// Stores the person on screen after the roster's rules accepted every value; an update writes only the
// fields the user changed, so that what he did not touch stays as it was stored.
bool OriginalForm::storeFromBoxes(bool adding) {
    const QStringList boxes{m_textNamae->text(), m_comboNen->currentText(), m_comboTuki->currentText(),
                            m_comboHi->currentText()};
    records::RosterPerson person;
    QList<records::Refusal> refusals;
    if (!records::checkRosterPerson(boxes.at(0), boxes.at(1), boxes.at(2), boxes.at(3),
                                    m_ctx.clock.today().year(), person, refusals)) {
        m_ctx.dialogs.critical(records::refusalText(refusals), records::refusalTitle(refusals));
        return false;
    }
    const QStringList values = person.storedTexts();
    static const QString fields[4] = {QStringLiteral("名前"), QStringLiteral("生年"), QStringLiteral("生月"),
                                      QStringLiteral("生日")};
    Recordset& set = roster();
    if (adding)
        set.addNew();
    else
        set.edit();
    try {
        for (int i = 0; i < 4; ++i)
            if (adding || boxes.at(i) != m_shown.value(i))
                set.setField(fields[i], values.at(i));
        set.update();
    } catch (...) {
        if (set.isEditing())
            set.cancelUpdate();
        throw;
    }
    return true;
}

void OriginalForm::CommandDB_Click(int index) {
    runTrapped(m_ctx.dialogs, [this, index] {
        m_browser->command(index, QStringLiteral("個別名簿テーブル"),
                           {[this](bool adding) { return storeFromBoxes(adding); },
                            [this] { roster().deleteCurrent(); }, [this] { Meibo_Print(); }});
    });
}

void OriginalForm::Menu_Ment_Click(int index) {
    CommandDB_Click(index);
}

void OriginalForm::Menu_Disp_Click() {
    runTrapped(m_ctx.dialogs, [this] {
        // Every number is read before the slot changes, so a value out of range leaves it as it was.
        const qint16 year = birthYearInSlot(m_comboNen->currentText());
        const qint16 month = conv::numericValueInt16(m_comboTuki->currentText());
        const qint16 day = conv::numericValueInt16(m_comboHi->currentText());
        PersonSlot& slot = m_ctx.state.selectedPersons[AppState::RosterSlot];
        slot.name = m_textNamae->text();
        slot.birthYear = year;
        slot.birthMonth = month;
        slot.birthDay = day;
        m_ctx.state.chartSlot = AppState::RosterSlot;
        m_ctx.navigator.open(WindowId::Bior2Form);
    });
}

void OriginalForm::Menu_Sales_Click() {
    runTrapped(m_ctx.dialogs, [this] { m_ctx.navigator.open(WindowId::SalesForm); });
}

void OriginalForm::Menu_Close_Click() {
    close();
}

void OriginalForm::Menu_CsvImport_Click() {
    runTrapped(m_ctx.dialogs, [this] {
        records::RosterCsv table;
        if (!m_db || !m_meibo || !masters::importCsv(m_ctx, this, table, *m_db))
            return;
        // The roster read again, so that the new persons can be reached; the first is shown.
        m_browser->reopen(*m_db, m_meibo, TableName);
    });
}

void OriginalForm::Menu_CsvExport_Click() {
    runTrapped(m_ctx.dialogs, [this] {
        records::RosterCsv table;
        if (m_db)
            masters::exportCsv(m_ctx, table, *m_db, QStringLiteral("個別名簿.csv"));
    });
}

void OriginalForm::Form_Unload() {
    closeStore({&m_meibo}, m_db);
}
