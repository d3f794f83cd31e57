#include "app/Startup.h"

#include "app/AppNavigator.h"
#include "app/DataFolder.h"
#include "app/PrinterFactory.h"
#include "app/ProgramIcon.h"
#include "app/WindowRegistry.h"
#include "core/AppContext.h"
#include "core/AppState.h"
#include "core/Conversions.h"
#include "core/Dialogs.h"
#include "core/Services.h"
#include "core/SingleInstance.h"
#include "mainmenu/HelpWindow.h"
#include "race/RacerSearch.h"
#include "shell/Placement.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QScreen>
#include <QStandardPaths>
#include <QTranslator>

qint16 twipsPerPixel(double dotsPerInch) {
    if (dotsPerInch <= 0)
        return 15;
    return conv::toInt16(1440.0 / dotsPerInch);
}

bool installQtTranslations(QCoreApplication& app) {
    // Owned by the application, so that the texts stay for the whole run.
    auto* translator = new QTranslator(&app);
    if (!translator->load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
        !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return false;
    }
    return true;
}

int runKorvane(QApplication& app, Dialogs& dialogs) {
    // The user's data folder is ~/.local/share/korvane whatever the program file is called, and the
    // windows belong to the desktop entry and its icon.
    QCoreApplication::setApplicationName(QStringLiteral("korvane"));
    QGuiApplication::setDesktopFileName(QStringLiteral("jp.korvane.korvane"));
    QApplication::setWindowIcon(programWindowIcon());
    // The standard buttons of the message boxes read はい, いいえ and OK; without the translation
    // they stay English, which is no reason not to start.
    installQtTranslations(app);

    SingleInstance instance;
    switch (instance.tryAcquire()) {
    case SingleInstance::Outcome::Acquired:
        break;
    case SingleInstance::Outcome::Running:
        dialogs.message(QStringLiteral("コルヴァンは複数起動出来ません。"));
        return 0;
    case SingleInstance::Outcome::Failed:
        dialogs.message(instance.failureMessage());
        return 1;
    }

    // Decided once the lock is held, so that two first starts never both copy the database.
    const QString programFolder = QCoreApplication::applicationDirPath();
    const DataFolders folders =
        chooseDataFolders(programFolder, installedSharedFolder(programFolder),
                          QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    if (!folders.problem.isEmpty()) {
        dialogs.critical(folders.problem, Dialogs::defaultTitle());
        return 1;
    }
    AppState state;
    // The racer search choices hold for the whole run, across openings of the selection window.
    RacerSearchChoices searchChoices;
    state.appPath = folders.dataFolder;
    state.helpFolder = folders.helpFolder;
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        state.twipsPerPixelX = twipsPerPixel(screen->logicalDotsPerInchX());
        state.twipsPerPixelY = twipsPerPixel(screen->logicalDotsPerInchY());
    }
    installFontSubstitutions();

    SystemClock clock;
    SystemRandom random;
    HelpBrowserViewer help(state, dialogs);
    const std::unique_ptr<Printer> printer = createPrinter(state, dialogs);
    // Declared after the services: the windows it still holds at the end go before them.
    AppNavigator navigator;
    AppContext ctx{state, dialogs, clock, random, help, navigator, *printer};
    registerWindows(navigator, ctx, searchChoices);

    // The program ends when the main menu says so, not when the last window happens to close.
    app.setQuitOnLastWindowClosed(false);
    navigator.open(WindowId::MainForm);
    return app.exec();
}
