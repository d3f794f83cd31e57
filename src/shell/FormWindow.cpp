#include "shell/FormWindow.h"

#include "core/AppContext.h"
#include "shell/Controls.h"
#include "shell/ErrorTrap.h"
#include "shell/Placement.h"
#include "shell/VersionBox.h"

#include <QCloseEvent>
#include <QMenu>
#include <QMenuBar>

FormWindow::FormWindow(AppContext& ctx, WindowId id, const QString& title, QWidget* parent)
    : QMainWindow(parent)
    , m_ctx(ctx)
    , m_windowId(id) {
    setWindowTitle(title);
}

FormWindow::~FormWindow() = default;

QWidget* FormWindow::createClientArea(int width, int height, const QString& name) {
    auto* client = new QWidget(this);
    client->setObjectName(name);
    setCentralWidget(client);
    sizeAndCentre(this, width, height);
    return client;
}

QAction* FormWindow::addMenuCommand(const QString& name, const QString& caption,
                                    std::function<void()> handler) {
    return controls::addAction(menuBar(), this, name, caption, std::move(handler));
}

QMenu* FormWindow::addHelpMenu() {
    QMenu* help = controls::addMenu(menuBar(), QStringLiteral("Menu_Help"), QStringLiteral("ﾍﾙﾌﾟ(&H)"));
    controls::addAction(help, this, QStringLiteral("Menu_HelpCard"), QStringLiteral("ﾍﾙﾌﾟ(&H)"),
                        [this] { Menu_HelpCard_Click(); });
    controls::addAction(help, this, QStringLiteral("Menu_Help_About"), QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報(&A)"),
                        [this] { Menu_Help_About_Click(); });
    return help;
}

void FormWindow::Menu_HelpCard_Click() {
    runTrapped(m_ctx.dialogs, [this] { m_ctx.help.showContents(); });
}

void FormWindow::Menu_Help_About_Click() {
    const VersionBoxFrom from =
        m_windowId == WindowId::MainForm ? VersionBoxFrom::MainMenu : VersionBoxFrom::WorkWindow;
    runTrapped(m_ctx.dialogs, [this, from] { showVersionBox(m_ctx.dialogs, from); });
}

bool FormWindow::beginUnload() {
    if (m_unloaded)
        return false;
    m_unloaded = true;
    return true;
}

void FormWindow::notifyClosed() {
    m_ctx.navigator.closed(m_windowId);
}

void FormWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    if (!beginUnload())
        return;
    runTrapped(m_ctx.dialogs, [this] { Form_Unload(); });
    notifyClosed();
}
