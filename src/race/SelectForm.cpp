#include "SelectForm.h"

#include "AppContext.h"
#include "AppState.h"
#include "Conversions.h"
#include "Database.h"
#include "Dialogs.h"
#include "ErrorTrap.h"
#include "Errors.h"
#include "Placement.h"
#include "Recordset.h"
#include "SearchPanel.h"
#include "Services.h"
#include "SharedRoutines.h"
#include "ToolPictures.h"
#include "VersionBox.h"

#include <QCloseEvent>
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

QFrame* makePictureBox(QWidget* parent, const QString& name, int left, int top, int width, int height) {
    auto* box = new QFrame(parent);
    box->setObjectName(name);
    box->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    placeControl(box, width, height, left, top);
    return box;
}

QLabel* makeLabel(const AppState& state, QWidget* parent, const QString& name, const QString& text,
                  const QString& face, double fontSize, int left, int top, int width, int height) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    setControlFont(state, label, face, fontSize);
    placeControl(label, width, height, left, top);
    return label;
}

QComboBox* makeCombo(const AppState& state, QWidget* parent, const QString& name, bool editable,
                     double fontSize, int left, int top, int width) {
    auto* combo = new QComboBox(parent);
    combo->setObjectName(name);
    combo->setEditable(editable);
    if (editable)
        combo->setInsertPolicy(QComboBox::NoInsert);
    setControlFont(state, combo, proportionalGothicFace(), fontSize);
    placeControl(state, combo, fontSize, width, left, top);
    return combo;
}

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
    : QMainWindow(parent)
    , m_ctx(ctx)
    , m_choices(choices) {
    setObjectName(QStringLiteral("SelectForm"));
    setWindowTitle(QStringLiteral("選手検索"));
    buildMenus();
    buildControls();
    sizeAndCentre(this, 632, 434);
    Form_Load();
}

SelectForm::~SelectForm() = default;

void SelectForm::buildControls() {
    const AppState& state = m_ctx.state;
    const QString pFace = proportionalGothicFace();
    const QString fixedFace = gothicFace();

    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("SelectFormClient"));
    setCentralWidget(central);

    // The tool strip. The picture under the add button shows while that button is hidden.
    m_pictureBotton = makePictureBox(central, QStringLiteral("PictureBotton"), 4, 0, 350, 28);
    m_imageTuika = new QLabel(m_pictureBotton);
    m_imageTuika->setObjectName(QStringLiteral("ImageTuika"));
    m_imageTuika->setAlignment(Qt::AlignCenter);
    m_imageTuika->setPixmap(toolPicture(ToolPicture::AddToTable, 20, true));
    placeControl(m_imageTuika, 25, 25, 146, 0);

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
        auto* button = new QToolButton(m_pictureBotton);
        button->setObjectName(QStringLiteral("CommandDisp(%1)").arg(i));
        button->setIcon(QIcon(toolPicture(pictures[i])));
        button->setIconSize(i == 3 ? QSize(14, 14) : QSize(18, 18));
        button->setToolTip(tips[i]);
        button->setAutoRaise(false);
        setControlFont(state, button, pFace, 8);
        if (i == 3) {
            button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
            button->setStyleSheet(QStringLiteral("QToolButton { padding: 0px; }"));
            placeControl(button, 75, 25, 72, 0);
        } else {
            placeControl(button, 25, 25, i < 3 ? 24 * i : 50 + 24 * i, 0);
        }
        connect(button, &QToolButton::clicked, this, [this, i] { CommandDisp_Click(i); });
        m_commandDisp[i] = button;
    }
    m_labelTable = makeLabel(state, m_pictureBotton, QStringLiteral("LabelTable"), QString(), pFace, 10, 219,
                             0, 131, 25);
    m_labelTable->setAlignment(Qt::AlignCenter);

    // The frame of the pickers and search controls.
    m_pictureWaku = makePictureBox(central, QStringLiteral("PictureWaku"), 4, 29, 350, 400);
    // The pickers are as narrow as on the old screens: a slim arrow leaves room for four digits.
    m_pictureWaku->setStyleSheet(
        QStringLiteral("QComboBox { padding: 0px 0px 0px 2px; } QComboBox::drop-down { width: 14px; }"));
    m_picZentei[0] = makePictureBox(m_pictureWaku, QStringLiteral("PicZentei(0)"), 8, 8, 250, 35);
    m_picZentei[1] = makePictureBox(m_pictureWaku, QStringLiteral("PicZentei(1)"), 8, 50, 250, 35);

    m_labelChoNen = makeLabel(state, m_picZentei[0], QStringLiteral("LabelChoNen"),
                              QStringLiteral("調査年月日"), pFace, 8, 8, 8, 57, 17);
    m_comboNen = makeCombo(state, m_picZentei[0], QStringLiteral("ComboNen"), true, 9, 64, 8, 49);
    m_comboTuki = makeCombo(state, m_picZentei[0], QStringLiteral("ComboTuki"), true, 9, 128, 8, 41);
    m_comboHi = makeCombo(state, m_picZentei[0], QStringLiteral("ComboHi"), true, 9, 184, 8, 41);
    const QString units[3] = {QStringLiteral("年"), QStringLiteral("月"), QStringLiteral("日")};
    for (int i = 0; i < 3; ++i)
        m_labelYMD[i] = makeLabel(state, m_picZentei[0], QStringLiteral("LabelYMD(%1)").arg(i), units[i],
                                  pFace, 8, 112 + 56 * i, 16, 17, 17);

    const QString raceTexts[3] = {QStringLiteral("対象レース"), QStringLiteral("第"),
                                  QStringLiteral("レース")};
    static constexpr int raceLefts[3] = {8, 152, 208};
    for (int i = 0; i < 3; ++i)
        m_labelRace[i] = makeLabel(state, m_picZentei[1], QStringLiteral("LabelRace(%1)").arg(i),
                                   raceTexts[i], pFace, 8, raceLefts[i], 8, 57, 10);
    m_comboBasho = makeCombo(state, m_picZentei[1], QStringLiteral("ComboBasho"), true, 9, 67, 8, 87);
    m_comboRace = makeCombo(state, m_picZentei[1], QStringLiteral("ComboRace"), true, 9, 168, 8, 41);

    m_panel = new SearchPanel(state, m_pictureWaku);

    m_labelHyouji = makeLabel(state, central, QStringLiteral("LabelHyouji"),
                              QStringLiteral("出身　  登番　期　氏名"), fixedFace, 9, 360, 0, 265, 17);
    m_list1 = new QListWidget(central);
    m_list1->setObjectName(QStringLiteral("List1"));
    setControlFont(state, m_list1, fixedFace, 9);
    placeControl(m_list1, 265, 280, 360, 16);
    m_labelSentaku = makeLabel(state, central, QStringLiteral("LabelSentaku"), QStringLiteral("選択ボックス"),
                               fixedFace, 9, 360, 300, 265, 17);
    m_list2 = new QListWidget(central);
    m_list2->setObjectName(QStringLiteral("List2"));
    setControlFont(state, m_list2, fixedFace, 9);
    placeControl(m_list2, 265, 112, 360, 316);

    // Typing and choosing from the list both write the shared values at once.
    for (auto [box, handler] : {std::pair{m_comboNen, &SelectForm::ComboNen_Change},
                                std::pair{m_comboTuki, &SelectForm::ComboTuki_Change},
                                std::pair{m_comboHi, &SelectForm::ComboHi_Change},
                                std::pair{m_comboBasho, &SelectForm::ComboBasho_Change},
                                std::pair{m_comboRace, &SelectForm::ComboRace_Change}}) {
        connect(box->lineEdit(), &QLineEdit::textEdited, this, handler);
        connect(box, &QComboBox::activated, this, handler);
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
    QMenuBar* bar = menuBar();
    const auto entry = [this](QAction* action, const QString& name, void (SelectForm::*handler)()) {
        action->setObjectName(name);
        connect(action, &QAction::triggered, this, handler);
        return action;
    };
    m_menuClose = entry(bar->addAction(QStringLiteral("終了(&X)")), QStringLiteral("Menu_Close"),
                        &SelectForm::Menu_Close);
    m_menuDisp = entry(bar->addAction(QStringLiteral("ﾊﾞｲｵﾘｽﾞﾑ表示(&H)")), QStringLiteral("Menu_Disp"),
                       &SelectForm::Menu_Disp);
    m_menuCancel = entry(bar->addAction(QStringLiteral("選択解除(&C)")), QStringLiteral("Menu_Cancel"),
                         &SelectForm::Menu_Cancel);
    m_menuChange = bar->addMenu(QStringLiteral("選手ﾃｰﾌﾞﾙ変更(&T)"));
    m_menuChange->setObjectName(QStringLiteral("Menu_Change"));
    const QString tableCaptions[2] = {QStringLiteral("抽出→通常ﾃｰﾌﾞﾙ(&N)"),
                                      QStringLiteral("通常→抽出ﾃｰﾌﾞﾙ(&O)")};
    for (int i = 0; i < 2; ++i) {
        m_menuTable[i] = m_menuChange->addAction(tableCaptions[i]);
        m_menuTable[i]->setObjectName(QStringLiteral("Menu_Table(%1)").arg(i));
        connect(m_menuTable[i], &QAction::triggered, this, [this, i] { Menu_Table_Click(i); });
    }
    m_menuSelect = entry(bar->addAction(QStringLiteral("抽出ﾃｰﾌﾞﾙ追加(&A)")), QStringLiteral("Menu_Select"),
                         &SelectForm::Menu_Select_Click);
    m_menuHelp = bar->addMenu(QStringLiteral("ﾍﾙﾌﾟ(&H)"));
    m_menuHelp->setObjectName(QStringLiteral("Menu_Help"));
    m_menuHelpCard = entry(m_menuHelp->addAction(QStringLiteral("ﾍﾙﾌﾟ(&H)")), QStringLiteral("Menu_HelpCard"),
                           &SelectForm::Menu_HelpCard);
    m_menuHelpAbout = entry(m_menuHelp->addAction(QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報(&A)")),
                            QStringLiteral("Menu_Help_About"), &SelectForm::Menu_Help_About);
}

void SelectForm::Form_Load() {
    showTableMode();
    m_menuSelect->setEnabled(m_pickCount != 0);

    // A database that cannot be opened leaves the window open and empty.
    runTrapped(m_ctx.dialogs, [this] {
        m_db = std::make_unique<Database>(m_ctx.state.databasePath());
        m_racerSource = m_db->openRecordset(racerViewName(0));
        auto venues = m_db->openRecordset(QStringLiteral("T_競輪場"));
        auto terms = m_db->openRecordset(QStringLiteral("Q_期"));
        auto numbers = m_db->openRecordset(QStringLiteral("Q_登番"));

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
        m_panel->comboToban()->addItems(columnTexts(*numbers, QStringLiteral("登番")));
        for (QComboBox* box : {m_comboBasho, m_comboRace, m_panel->comboKi(), m_panel->comboToban()}) {
            box->setCurrentIndex(-1);
            if (box->isEditable())
                box->setEditText(QString());
        }
    });
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

void SelectForm::setDatePart(qint16 SurveyDate::*part, QComboBox* box) {
    // A text beyond the 16-bit range is not a date part: the shared date keeps its value.
    qint16 value = 0;
    try {
        value = conv::numericValueInt16(box->currentText());
    } catch (const KorvaneError&) {
        return;
    }
    m_ctx.state.surveyDate.*part = value;
    checkSurveyDate(m_ctx.state.surveyDate, m_ctx.dialogs);
}

void SelectForm::ComboNen_Change() {
    setDatePart(&SurveyDate::year, m_comboNen);
}

void SelectForm::ComboTuki_Change() {
    setDatePart(&SurveyDate::month, m_comboTuki);
}

void SelectForm::ComboHi_Change() {
    setDatePart(&SurveyDate::day, m_comboHi);
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
            Menu_Close();
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

void SelectForm::Menu_Close() {
    close();
}

void SelectForm::Menu_Disp() {
    openRaceTable();
}

void SelectForm::Menu_Cancel() {
    clearSelection();
}

void SelectForm::Menu_Table_Click(int) {
    CommandDisp_Click(3);
}

void SelectForm::Menu_Select_Click() {
    CommandDisp_Click(4);
}

void SelectForm::Menu_HelpCard() {
    m_ctx.help.showContents();
}

void SelectForm::Menu_Help_About() {
    showVersionBox(m_ctx.dialogs, VersionBoxFrom::WorkWindow);
}

void SelectForm::closeEvent(QCloseEvent* event) {
    // The frame's close control closes the window like the close command.
    if (!m_closing) {
        m_closing = true;
        runTrapped(m_ctx.dialogs, [this] {
            if (m_racerSource)
                m_racerSource->close();
            m_racerSource.reset();
            if (m_db)
                m_db->close();
        });
        m_racerSource.reset();
        m_db.reset();
        clearSelection();
        event->accept();
        QMainWindow::closeEvent(event);
        m_ctx.navigator.closed(WindowId::SelectForm);
        return;
    }
    event->accept();
}
