#include "mainmenu/MainForm.h"

#include "core/AppState.h"
#include "core/Dialogs.h"
#include "core/Errors.h"
#include "core/Services.h"
#include "shell/Controls.h"
#include "shell/ErrorTrap.h"
#include "shell/Placement.h"
#include "shell/VersionBox.h"
#include "store/Database.h"

#include <QAction>
#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>

namespace {

struct CommandEntry {
    const char16_t* caption;
    WindowId window; // the window the command opens, MainForm for commands that open none
};

// The buttons from the top; 作者ソフト紹介 stands above 終了 so that 終了 stays at the bottom.
const std::array<CommandEntry, MainForm::CommandCount> commandTable{{
    {u"選手検索", WindowId::SelectForm},
    {u"レース履歴", WindowId::RirekiForm},
    {u"個別調査", WindowId::OriginalForm},
    {u"選手テーブルメンテナンス", WindowId::SensyuForm},
    {u"競輪場テーブルメンテナンス", WindowId::KeirinjyoForm},
    {u"ヘルプ", WindowId::MainForm},
    {u"バージョン情報", WindowId::MainForm},
    {u"作者ソフト紹介", WindowId::SalesForm},
    {u"終了", WindowId::MainForm},
}};

} // namespace

// Menu captions carry a second marker for the kana key ("選手検索(&S&ﾄ)"). Qt has one mnemonic per
// entry, so the first marker stays and the later ones are dropped: the entry reads 選手検索(Sﾄ). A doubled
// "&&" is a literal ampersand and stays as it is.
QString menuCaption(const QString& caption) {
    QString result;
    bool mnemonicSeen = false;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        const QChar ch = caption.at(i);
        if (ch == QLatin1Char('&')) {
            if (i + 1 < caption.size() && caption.at(i + 1) == QLatin1Char('&')) {
                result += QStringLiteral("&&");
                ++i;
                continue;
            }
            if (!mnemonicSeen)
                result += ch;
            mnemonicSeen = true;
            continue;
        }
        result += ch;
    }
    return result;
}

MainForm::MainForm(AppContext& ctx, QWidget* parent)
    : FormWindow(ctx, WindowId::MainForm, QStringLiteral("メインメニュー"), parent) {
    setObjectName(QStringLiteral("MainForm"));
    buildMenu();
    QWidget* client = createClientArea(WorkWidth, WorkHeight, QStringLiteral("MainFormClient"));

    m_labelTitle = new QLabel(client);
    m_labelTitle->setObjectName(QStringLiteral("LabelTitle"));
    setControlFont(ctx.state, m_labelTitle, gothicFace(), 18, true);
    placeControl(m_labelTitle, 417, 33, 8, 16);
    m_labelTitle->setText(QStringLiteral("コルヴァン Ver2.10"));
    m_labelTitle->setStyleSheet(QStringLiteral("color: #1c3f8c;"));

    buildCommands();
    buildRace();
}

void MainForm::buildMenu() {
    auto addAction = [this](QWidget* menu, const QString& name, const QString& caption,
                            void (MainForm::*handler)(), WindowId window) {
        auto* action = new QAction(menuCaption(caption), this);
        action->setObjectName(name);
        if (window != WindowId::MainForm)
            action->setEnabled(m_ctx.navigator.isAvailable(window));
        connect(action, &QAction::triggered, this, handler);
        menu->addAction(action);
        return action;
    };
    QMenuBar* bar = menuBar();
    addAction(bar, QStringLiteral("Menu_Select"), QStringLiteral("選手検索(&S&ﾄ)"),
              &MainForm::Menu_Select_Click, WindowId::SelectForm);
    addAction(bar, QStringLiteral("Menu_Rireki"), QStringLiteral("ﾚｰｽ履歴(&R&ｽ)"),
              &MainForm::Menu_Rireki_Click, WindowId::RirekiForm);
    addAction(bar, QStringLiteral("Menu_Original"), QStringLiteral("個別調査(&O&ﾗ)"),
              &MainForm::Menu_Original_Click, WindowId::OriginalForm);

    QMenu* master = bar->addMenu(menuCaption(QStringLiteral("ﾏｽﾀｰﾒﾝﾃ(&M&ﾓ)")));
    master->setObjectName(QStringLiteral("Menu_Master"));
    addAction(master, QStringLiteral("Menu_Sensyu"), QStringLiteral("選手ﾃｰﾌﾞﾙ(&S&ﾄ)"),
              &MainForm::Menu_Sensyu_Click, WindowId::SensyuForm);
    addAction(master, QStringLiteral("Menu_Kyoteijyo"), QStringLiteral("競艇場ﾃｰﾌﾞﾙ(&K&ﾉ)"),
              &MainForm::Menu_Kyoteijyo_Click, WindowId::KeirinjyoForm);

    QMenu* help = bar->addMenu(menuCaption(QStringLiteral("ﾍﾙﾌﾟ(&H&ｸ)")));
    help->setObjectName(QStringLiteral("Menu_Help"));
    addAction(help, QStringLiteral("Menu_Help_Card"), QStringLiteral("ﾍﾙﾌﾟ(&H&ｸ)"),
              &MainForm::Menu_HelpCard_Click, WindowId::MainForm);
    addAction(help, QStringLiteral("Menu_Help_About"), QStringLiteral("ﾊﾞｰｼﾞｮﾝ(&A&ﾁ)"),
              &MainForm::Menu_Help_About_Click, WindowId::MainForm);
    addAction(help, QStringLiteral("Menu_Help_Sales"), QStringLiteral("作者ソフト紹介(&I&ﾆ)"),
              &MainForm::Menu_Help_Sales_Click, WindowId::SalesForm);

    addAction(bar, QStringLiteral("Menu_Close"), QStringLiteral("終了(&X)"), &MainForm::Menu_Close_Click,
              WindowId::MainForm);
}

void MainForm::buildCommands() {
    m_pictureWaku = controls::framedBox(centralWidget(), QStringLiteral("PictureWaku"), 432, 16, 188, 404);
    for (int i = 0; i < CommandCount; ++i) {
        const CommandEntry& entry = commandTable.at(std::size_t(i));
        auto* button = new QPushButton(QString::fromUtf16(entry.caption), m_pictureWaku);
        button->setObjectName(controls::indexedName(QStringLiteral("CommandSelect"), i));
        setControlFont(m_ctx.state, button, proportionalGothicFace(), 9);
        placeControl(button, 185, 41, 0, 40 * i);
        if (entry.window != WindowId::MainForm)
            button->setEnabled(m_ctx.navigator.isAvailable(entry.window));
        connect(button, &QPushButton::clicked, this, [this, i] { CommandSelect_Click(i); });
        m_commandSelect.at(std::size_t(i)) = button;
    }
}

void MainForm::openWorkWindow(WindowId id) {
    if (!m_ctx.navigator.isAvailable(id))
        return;
    m_ctx.navigator.open(id);
}

void MainForm::openMasterWindow(WindowId id) {
    if (!m_ctx.navigator.isAvailable(id))
        return;
    m_ctx.state.clearSlotsForMasters();
    m_ctx.navigator.open(id);
}

void MainForm::CommandSelect_Click(int index) {
    runTrapped(m_ctx.dialogs, [this, index] {
        switch (index) {
        case Select:
            openWorkWindow(WindowId::SelectForm);
            break;
        case Rireki:
            openWorkWindow(WindowId::RirekiForm);
            break;
        case Original:
            openWorkWindow(WindowId::OriginalForm);
            break;
        case Sensyu:
            openMasterWindow(WindowId::SensyuForm);
            break;
        case Keirinjyo:
            openMasterWindow(WindowId::KeirinjyoForm);
            break;
        case Help:
            m_ctx.help.showContents();
            break;
        case Version:
            showVersionBox(m_ctx.dialogs, VersionBoxFrom::MainMenu);
            break;
        case Sales:
            openWorkWindow(WindowId::SalesForm);
            break;
        case Close:
            exitProgram();
            break;
        default:
            break;
        }
    });
}

void MainForm::Menu_Select_Click() {
    runTrapped(m_ctx.dialogs, [this] { openWorkWindow(WindowId::SelectForm); });
}

void MainForm::Menu_Rireki_Click() {
    runTrapped(m_ctx.dialogs, [this] { openWorkWindow(WindowId::RirekiForm); });
}

void MainForm::Menu_Original_Click() {
    runTrapped(m_ctx.dialogs, [this] { openWorkWindow(WindowId::OriginalForm); });
}

void MainForm::Menu_Sensyu_Click() {
    runTrapped(m_ctx.dialogs, [this] { openMasterWindow(WindowId::SensyuForm); });
}

// The entry under the master menu opens the velodrome master, like its button.
void MainForm::Menu_Kyoteijyo_Click() {
    runTrapped(m_ctx.dialogs, [this] { openMasterWindow(WindowId::KeirinjyoForm); });
}

void MainForm::Menu_Help_Sales_Click() {
    runTrapped(m_ctx.dialogs, [this] { openWorkWindow(WindowId::SalesForm); });
}

void MainForm::Menu_Close_Click() {
    exitProgram();
}

MainForm::ExitOutcome MainForm::exitProgram() {
    if (m_ctx.dialogs.question(QStringLiteral("コルヴァンを終了しますか。\r\n"),
                               QStringLiteral("コルヴァン終了")) != Dialogs::Answer::Yes)
        return ExitOutcome::Declined;

    // The main window goes first; the program ends once the compaction is over, whatever its outcome.
    beginUnload();
    setTimerInterval(0);
    hide();
    ExitOutcome outcome = ExitOutcome::Compacted;
    try {
        // A file of another user, or one this user may not write, is left alone as one in use is.
        if (compactDatabase(m_ctx.state.databasePath(), m_ctx.state.compactPath()) ==
            CompactionResult::Skipped)
            outcome = ExitOutcome::Skipped;
    } catch (const KorvaneError& error) {
        if (error.number() == ErrorNumber::ExclusiveUse) {
            outcome = ExitOutcome::Skipped;
        } else {
            showTrappedError(m_ctx.dialogs, error);
            outcome = ExitOutcome::Failed;
        }
    }
    notifyClosed();
    return outcome;
}

// Closing by the frame ends the program without compaction.
void MainForm::closeEvent(QCloseEvent* event) {
    event->accept();
    if (!beginUnload())
        return;
    setTimerInterval(0);
    notifyClosed();
}
