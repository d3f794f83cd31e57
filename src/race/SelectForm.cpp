#include "race/SelectForm.h"

#include "core/AppContext.h"
#include "core/AppState.h"
#include "core/Conversions.h"
#include "core/Dialogs.h"
#include "core/Errors.h"
#include "core/Services.h"
#include "core/SharedRoutines.h"
#include "race/SearchPanel.h"
#include "race/SelectFormLayout.h"
#include "race/ToolPictures.h"
#include "shell/Controls.h"
#include "shell/ErrorTrap.h"
#include "shell/Placement.h"
#include "shell/VersionBox.h"
#include "store/Database.h"
#include "store/Recordset.h"

#include <QComboBox>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QToolButton>
#include <functional>

namespace {

QStringList numberTexts(int from, int to) {
    QStringList texts;
    for (int i = from; i <= to; ++i)
        texts << QString::number(i);
    return texts;
}

// Every value of one column of a record set, in record order; the set is closed afterwards.
QStringList columnTexts(Recordset& rs, const QString& field) {
    QStringList texts;
    for (; !rs.eof(); rs.moveNext())
        texts << rs.field(field).toString();
    rs.close();
    return texts;
}

// The Enter key on a list line acts as a click on it. (A double click is one click and a double
// click, so the item view's activation signal, which a double click also sends, is not used.)
class EnterKeyFilter : public QObject {
public:
    EnterKeyFilter(QListWidget* list, std::function<void(int)> click)
        : QObject(list)
        , m_list(list)
        , m_click(std::move(click)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if ((key == Qt::Key_Return || key == Qt::Key_Enter) && m_list->currentRow() >= 0) {
                m_click(m_list->currentRow());
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QListWidget* m_list;
    std::function<void(int)> m_click;
};

} // namespace

SelectForm::SelectForm(AppContext& ctx, RacerSearchChoices& choices, QWidget* parent)
    : FormWindow(ctx, WindowId::SelectForm, QStringLiteral("選手検索"), parent)
    , m_choices(choices) {
    setObjectName(QStringLiteral("SelectForm"));
    buildMenus();
    buildControls();
    Form_Load();
}

SelectForm::~SelectForm() {
    // A box that loses the keyboard while the window goes reports it; nothing here may hear that.
    for (QComboBox* box : {m_comboNen, m_comboTuki, m_comboHi, m_comboBasho, m_comboRace}) {
        disconnect(box->lineEdit(), nullptr, this, nullptr);
        disconnect(box, nullptr, this, nullptr);
    }
}

void SelectForm::buildControls() {
    const AppState& state = m_ctx.state;
    QWidget* central = createClientArea(WorkWidth, WorkHeight, QStringLiteral("SelectFormClient"));
    // The pickers are as narrow as on the old screens: a slim arrow leaves room for the value.
    controls::Table table(state, central, selectform::topLayout(), controls::Pickers::Slim);

    // The tool strip. The picture under the add button shows while that button is hidden.
    m_pictureBotton = table.get<QFrame>(QStringLiteral("PictureBotton"));
    m_imageTuika = table.get<QLabel>(QStringLiteral("ImageTuika"));
    m_imageTuika->setAlignment(Qt::AlignCenter);
    m_imageTuika->setPixmap(toolPicture(ToolPicture::AddToTable, 20, true));

    static constexpr ToolPicture pictures[7] = {
        ToolPicture::Close,      ToolPicture::Biorhythm, ToolPicture::Clear,  ToolPicture::TableSwitch,
        ToolPicture::AddToTable, ToolPicture::Help,      ToolPicture::Version};
    const QString tips[7] = {
        QStringLiteral("終了します。"),
        QStringLiteral("ﾊﾞｲｵﾘｽﾞﾑを表示します。"),
        QStringLiteral("選択ﾎﾞｯｸｽを初期化します。"),
        QStringLiteral("選手ﾃｰﾌﾞﾙを通常のﾃｰﾌﾞﾙか各ﾕｰｻﾞｰ抽出後のﾃｰﾌﾞﾙに変更します。"),
        QStringLiteral("選択ﾎﾞｯｸｽに表示されている選手ﾃﾞｰﾀを抽出ﾃｰﾌﾞﾙに追加します。"),
        QStringLiteral("ﾍﾙﾌﾟを表示します。"),
        QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報です。"),
    };
    for (int i = 0; i < 7; ++i) {
        auto* button = table.get<QToolButton>(QStringLiteral("CommandDisp"), i);
        controls::setToolPicture(button, QIcon(toolPicture(pictures[i])), tips[i], i == 3);
        connect(button, &QToolButton::clicked, this, [this, i] { CommandDisp_Click(i); });
        m_commandDisp[i] = button;
    }
    m_labelTable = table.get<QLabel>(QStringLiteral("LabelTable"));
    m_labelTable->setAlignment(Qt::AlignCenter);

    // The frame of the pickers and search controls.
    m_pictureWaku = table.get<QFrame>(QStringLiteral("PictureWaku"));
    for (int i = 0; i < 2; ++i)
        m_picZentei[i] = table.get<QFrame>(QStringLiteral("PicZentei"), i);
    m_labelChoNen = table.get<QLabel>(QStringLiteral("LabelChoNen"));
    m_comboNen = table.get<QComboBox>(QStringLiteral("ComboNen"));
    // Four digits need the field's own margins and the cursor besides: the year box gives its field
    // its padding, and the field draws its text a little closer to its ends.
    m_comboNen->setStyleSheet(m_comboNen->styleSheet() + QStringLiteral(" QComboBox { padding-left: 0px; }"));
    m_comboNen->lineEdit()->setTextMargins(-1, 0, -2, 0);
    m_comboTuki = table.get<QComboBox>(QStringLiteral("ComboTuki"));
    m_comboHi = table.get<QComboBox>(QStringLiteral("ComboHi"));
    for (int i = 0; i < 3; ++i) {
        m_labelYMD[i] = table.get<QLabel>(QStringLiteral("LabelYMD"), i);
        m_labelRace[i] = table.get<QLabel>(QStringLiteral("LabelRace"), i);
    }
    m_comboBasho = table.get<QComboBox>(QStringLiteral("ComboBasho"));
    m_comboRace = table.get<QComboBox>(QStringLiteral("ComboRace"));

    m_panel = new SearchPanel(state, m_pictureWaku, controls::Pickers::Slim);

    table.add(selectform::listLayout());
    m_labelHyouji = table.get<QLabel>(QStringLiteral("LabelHyouji"));
    m_list1 = table.get<QListWidget>(QStringLiteral("List1"));
    m_labelSentaku = table.get<QLabel>(QStringLiteral("LabelSentaku"));
    m_list2 = table.get<QListWidget>(QStringLiteral("List2"));

    // What a box shows is what the shared state holds: typing, completion, choosing from the list and
    // leaving the box all lead here, and each new text is handled once (one change, one date check).
    for (auto [box, handler] : {std::pair{m_comboNen, &SelectForm::ComboNen_Change},
                                std::pair{m_comboTuki, &SelectForm::ComboTuki_Change},
                                std::pair{m_comboHi, &SelectForm::ComboHi_Change},
                                std::pair{m_comboBasho, &SelectForm::ComboBasho_Change},
                                std::pair{m_comboRace, &SelectForm::ComboRace_Change}}) {
        const auto changed = [this, box, handler] {
            const QString text = box->currentText();
            if (m_fillingBoxes || m_handledText.value(box) == text)
                return;
            m_handledText.insert(box, text);
            (this->*handler)();
        };
        connect(box->lineEdit(), &QLineEdit::textChanged, this, changed);
        connect(box, &QComboBox::activated, this, changed);
        connect(box->lineEdit(), &QLineEdit::editingFinished, this, changed);
    }
    connect(m_list1, &QListWidget::clicked, this,
            [this](const QModelIndex& index) { List1_Click(index.row()); });
    connect(m_list2, &QListWidget::clicked, this,
            [this](const QModelIndex& index) { List2_Click(index.row()); });
    m_list1->installEventFilter(new EnterKeyFilter(m_list1, [this](int line) { List1_Click(line); }));
    m_list2->installEventFilter(new EnterKeyFilter(m_list2, [this](int line) { List2_Click(line); }));

    connect(m_panel, &SearchPanel::termChosen, this, &SelectForm::ComboKi_Click);
    connect(m_panel, &SearchPanel::registrationChosen, this, &SelectForm::ComboToban_Click);
    connect(m_panel, &SearchPanel::kanaClicked, this, &SelectForm::ComboNamae_Click);
    connect(m_panel, &SearchPanel::prefectureClicked, this, &SelectForm::Kenmei_Click);
    connect(m_panel, &SearchPanel::listAllClicked, this, &SelectForm::Command500_Click);
}

void SelectForm::buildMenus() {
    m_menuClose = addMenuCommand(QStringLiteral("Menu_Close"), QStringLiteral("終了(&X)"),
                                 [this] { Menu_Close_Click(); });
    m_menuDisp = addMenuCommand(QStringLiteral("Menu_Disp"), QStringLiteral("ﾊﾞｲｵﾘｽﾞﾑ表示(&H)"),
                                [this] { Menu_Disp_Click(); });
    m_menuCancel = addMenuCommand(QStringLiteral("Menu_Cancel"), QStringLiteral("選択解除(&C)"),
                                  [this] { Menu_Cancel_Click(); });
    m_menuChange =
        controls::addMenu(menuBar(), QStringLiteral("Menu_Change"), QStringLiteral("選手ﾃｰﾌﾞﾙ変更(&T)"));
    const QString tableCaptions[2] = {QStringLiteral("抽出→通常ﾃｰﾌﾞﾙ(&N)"),
                                      QStringLiteral("通常→抽出ﾃｰﾌﾞﾙ(&O)")};
    for (int i = 0; i < 2; ++i)
        m_menuTable[i] =
            controls::addAction(m_menuChange, this, controls::indexedName(QStringLiteral("Menu_Table"), i),
                                tableCaptions[i], [this, i] { Menu_Table_Click(i); });
    m_menuSelect = addMenuCommand(QStringLiteral("Menu_Select"), QStringLiteral("抽出ﾃｰﾌﾞﾙ追加(&A)"),
                                  [this] { Menu_Select_Click(); });
    addHelpMenu();
}

void SelectForm::Form_Load() {
    showTableMode();
    m_menuSelect->setEnabled(m_pickCount != 0);

    // Filling the boxes is not a change by the user; the shared values are set once below.
    m_fillingBoxes = true;
    // A database that cannot be opened leaves the window open and empty.
    runTrapped(m_ctx.dialogs, [this] {
        m_db = std::make_unique<Database>(m_ctx.state.databasePath());
        auto venues = m_db->openRecordset(QStringLiteral("T_競輪場"));
        auto terms = m_db->openRecordset(QStringLiteral("Q_期"));

        // Two-digit years above 90 are of the 1900s, the others of the 2000s.
        const QDate today = m_ctx.clock.today();
        const int yy = today.year() % 100;
        const int year = yy > 90 ? 1900 + yy : 2000 + yy;
        m_comboNen->addItems(numberTexts(year, year + 4));
        m_comboTuki->addItems(numberTexts(1, 12));
        m_comboHi->addItems(numberTexts(1, 31));
        m_comboNen->setEditText(QString::number(year));
        m_comboTuki->setEditText(QString::number(today.month()));
        m_comboHi->setEditText(QString::number(today.day()));
        SurveyDate& date = m_ctx.state.surveyDate;
        date.year = conv::numericValueInt16(m_comboNen->currentText());
        date.month = conv::numericValueInt16(m_comboTuki->currentText());
        date.day = conv::numericValueInt16(m_comboHi->currentText());
        checkSurveyDate(date, m_ctx.dialogs);

        m_comboBasho->addItems(columnTexts(*venues, QStringLiteral("競輪場名")));
        m_comboRace->addItems(numberTexts(1, 12));
        m_panel->comboKi()->addItems(columnTexts(*terms, QStringLiteral("期")));
        m_panel->fillRegistrationNumbers(*m_db, [this] { return m_db.get(); });
        for (QComboBox* box : {m_comboBasho, m_comboRace, m_panel->comboKi(), m_panel->comboToban()}) {
            box->setCurrentIndex(-1);
            if (box->isEditable())
                box->setEditText(QString());
        }
    });
    rememberBoxTexts();
}

void SelectForm::rememberBoxTexts() {
    for (QComboBox* box : {m_comboNen, m_comboTuki, m_comboHi, m_comboBasho, m_comboRace})
        m_handledText.insert(box, box->currentText());
    m_fillingBoxes = false;
}

void SelectForm::SurveyDate_Change() {
    m_fillingBoxes = true;
    const SurveyDate& date = m_ctx.state.surveyDate;
    m_comboNen->setEditText(QString::number(date.year));
    m_comboTuki->setEditText(QString::number(date.month));
    m_comboHi->setEditText(QString::number(date.day));
    rememberBoxTexts();
}

void SelectForm::showTableMode() {
    const bool extraction = m_ctx.state.extractionMode != 0;
    m_commandDisp[3]->setText(extraction ? QStringLiteral("抽出→通常") : QStringLiteral("通常→抽出"));
    m_labelTable->setText(extraction ? QStringLiteral("抽出テーブル") : QStringLiteral("通常テーブル"));
    m_menuTable[0]->setEnabled(extraction);
    m_menuTable[1]->setEnabled(!extraction);
    m_panel->picNo(2)->setVisible(extraction);
    // Shown in extraction mode so that pressing it explains why adding is refused there.
    m_commandDisp[4]->setVisible(extraction);
}

void SelectForm::ComboNen_Change() {
    setSurveyDatePart(m_ctx.state.surveyDate, &SurveyDate::year, m_comboNen->currentText(), m_ctx.dialogs);
}

void SelectForm::ComboTuki_Change() {
    setSurveyDatePart(m_ctx.state.surveyDate, &SurveyDate::month, m_comboTuki->currentText(), m_ctx.dialogs);
}

void SelectForm::ComboHi_Change() {
    setSurveyDatePart(m_ctx.state.surveyDate, &SurveyDate::day, m_comboHi->currentText(), m_ctx.dialogs);
}

void SelectForm::ComboBasho_Change() {
    m_ctx.state.surveyVenue = m_comboBasho->currentText();
}

void SelectForm::ComboRace_Change() {
    try {
        m_ctx.state.surveyRaceNo = conv::numericValueInt16(m_comboRace->currentText());
    } catch (const KorvaneError&) {
        // Beyond 16 bits: no race number; the last valid one stays.
    }
}

void SelectForm::List1_Click(int line) {
    runTrapped(m_ctx.dialogs, [&] { pickRacer(line); });
}

void SelectForm::List2_Click(int line) {
    runTrapped(m_ctx.dialogs, [&] { removeRacer(line); });
}

void SelectForm::pickRacer(int line) {
    if (line < 0 || line >= m_results.size())
        return;
    if (m_pickCount >= MaxPicks) {
        m_ctx.dialogs.message(QStringLiteral("既に９人選択済みです。"));
        return;
    }
    if (m_ctx.state.extractionMode == 0)
        setAddActionAvailable(true);
    m_list2->addItem(m_results.lines.at(line));
    m_ctx.state.selectedPersons[m_pickCount] = m_results.rows.at(line);
    ++m_pickCount;
}

void SelectForm::removeRacer(int line) {
    if (line < 0 || line >= m_list2->count())
        return;
    auto& persons = m_ctx.state.selectedPersons;
    QStringList texts;
    for (int i = 0; i < MaxPicks; ++i)
        texts << (i < m_list2->count() ? m_list2->item(i)->text() : QString());
    const int oldCount = m_pickCount;
    m_list2->clear();
    m_pickCount = 0;
    for (int i = 0; i < MaxPicks; ++i) {
        if (texts.at(i).isEmpty()) {
            persons[i].clear();
        } else if (i != line) {
            m_list2->addItem(texts.at(i));
            persons[m_pickCount] = persons[i];
            ++m_pickCount;
        }
    }
    if (oldCount > 0)
        persons[oldCount - 1].clear();
}

void SelectForm::clearSelection() {
    m_list2->clear();
    m_pickCount = 0;
    for (int i = 0; i < AppState::RaceSlotCount; ++i)
        m_ctx.state.selectedPersons[i].clear();
}

void SelectForm::setAddActionAvailable(bool available) {
    m_menuSelect->setEnabled(available);
    m_commandDisp[4]->setVisible(available);
}

void SelectForm::openRaceTable() {
    if (m_ctx.state.selectedPersons[0].affiliation.isEmpty()) {
        m_ctx.dialogs.message(QStringLiteral("選手を選択して下さい"));
        return;
    }
    m_ctx.navigator.open(WindowId::DispForm);
}

void SelectForm::CommandDisp_Click(int index) {
    // The tool strip's trap: a duplicate racer is reported where it happens while adding and the
    // work goes on; any other error ends the command with the common message.
    runTrapped(m_ctx.dialogs, [&] {
        switch (index) {
        case 0:
            Menu_Close_Click();
            break;
        case 1:
            openRaceTable();
            break;
        case 2:
            clearSelection();
            setAddActionAvailable(false);
            break;
        case 3:
            switchTable();
            break;
        case 4:
            addToExtractionTable();
            break;
        case 5:
            m_ctx.help.showContents();
            break;
        case 6:
            showVersionBox(m_ctx.dialogs, VersionBoxFrom::WorkWindow);
            break;
        default:
            break;
        }
    });
}

void SelectForm::Menu_Close_Click() {
    close();
}

void SelectForm::Menu_Disp_Click() {
    openRaceTable();
}

void SelectForm::Menu_Cancel_Click() {
    clearSelection();
}

void SelectForm::Menu_Table_Click(int) {
    CommandDisp_Click(3);
}

void SelectForm::Menu_Select_Click() {
    CommandDisp_Click(4);
}

void SelectForm::Form_Unload() {
    // The picks belong to this opening of the window, whatever the store does on closing.
    clearSelection();
    closeStore({&m_racerSource}, m_db);
}
