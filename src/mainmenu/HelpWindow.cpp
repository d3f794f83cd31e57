#include "mainmenu/HelpWindow.h"

#include "core/AppState.h"
#include "core/Dialogs.h"
#include "shell/Placement.h"

#include <QDir>
#include <QFileInfo>
#include <QMenuBar>
#include <QScrollBar>
#include <QTextBrowser>
#include <QUrl>

HelpWindow::HelpWindow(const QString& helpPath, QWidget* parent)
    : QMainWindow(parent)
    , m_browser(new QTextBrowser(this))
    , m_helpPath(helpPath) {
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("コルヴァン ヘルプ"));
    m_browser->setObjectName(QStringLiteral("HelpBrowser"));
    m_browser->setOpenExternalLinks(false);
    QFont font(proportionalGothicFace());
    font.setPixelSize(14);
    m_browser->setFont(font);
    setCentralWidget(m_browser);

    QMenu* menu = menuBar()->addMenu(QStringLiteral("ﾍﾙﾌﾟ(&H)"));
    QAction* contents = menu->addAction(QStringLiteral("目次(&C)"));
    contents->setObjectName(QStringLiteral("Menu_Contents"));
    connect(contents, &QAction::triggered, this, &HelpWindow::showContents);
    QAction* back = menu->addAction(QStringLiteral("戻る(&B)"));
    back->setObjectName(QStringLiteral("Menu_Back"));
    connect(back, &QAction::triggered, m_browser, &QTextBrowser::backward);
    menu->addSeparator();
    QAction* close = menu->addAction(QStringLiteral("閉じる(&X)"));
    close->setObjectName(QStringLiteral("Menu_Close"));
    connect(close, &QAction::triggered, this, &QWidget::close);

    ensurePolished();
    resize(640, 520);
    centreOnScreen(this);
    showContents();
}

void HelpWindow::showContents() {
    // The file is HTML whatever its extension says.
    m_browser->setSource(QUrl::fromLocalFile(m_helpPath), QTextDocument::HtmlResource);
    m_browser->verticalScrollBar()->setValue(0);
}

HelpBrowserViewer::HelpBrowserViewer(const AppState& state, Dialogs& dialogs)
    : m_state(state)
    , m_dialogs(dialogs) {}

HelpBrowserViewer::~HelpBrowserViewer() {
    delete m_window.data();
}

void HelpBrowserViewer::showContents() {
    const QString path = m_state.helpPath();
    if (!QFileInfo(path).isFile()) {
        m_dialogs.message(QStringLiteral("ヘルプファイルが見つかりません。\r\n") +
                          QDir::toNativeSeparators(path));
        return;
    }
    if (!m_window) {
        m_window = new HelpWindow(path);
        m_window->setAttribute(Qt::WA_DeleteOnClose);
    } else {
        m_window->showContents();
    }
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}
