#include "Startup.h"

#include "AppContext.h"
#include "AppNavigator.h"
#include "AppState.h"
#include "Conversions.h"
#include "Dialogs.h"
#include "HelpWindow.h"
#include "Placement.h"
#include "PrinterFactory.h"
#include "RacerSearch.h"
#include "Services.h"
#include "SingleInstance.h"
#include "WindowRegistry.h"

#include <QApplication>
#include <QScreen>
#include <cstdio>

namespace {

class StderrDialogs : public Dialogs {
public:
    void message(const QString& text, const QString& title) override { write(text, title); }
    Answer question(const QString& text, const QString& title) override {
        write(text, title);
        return Answer::No;
    }
    void critical(const QString& text, const QString& title) override { write(text, title); }
    void information(const QString& text, const QString& title) override { write(text, title); }

private:
    static void write(const QString& text, const QString& title) {
        const QString line = (title.isEmpty() ? defaultTitle() : title) + QStringLiteral(": ") +
                             MessageBoxDialogs::displayText(text) + QLatin1Char('\n');
        std::fputs(line.toLocal8Bit().constData(), stderr);
        std::fflush(stderr);
    }
};

} // namespace

qint16 twipsPerPixel(double dotsPerInch) {
    if (dotsPerInch <= 0)
        return 15;
    return conv::toInt16(1440.0 / dotsPerInch);
}

std::unique_ptr<Dialogs> createDialogs() {
    if (qEnvironmentVariable("KORVANE_DIALOGS") == QStringLiteral("stderr"))
        return std::make_unique<StderrDialogs>();
    return std::make_unique<MessageBoxDialogs>();
}

int runKorvane(QApplication& app) {
    const std::unique_ptr<Dialogs> dialogs = createDialogs();

    SingleInstance instance;
    if (!instance.acquire()) {
        dialogs->message(QStringLiteral("コルヴァンは複数起動出来ません。"));
        return 0;
    }

    AppState state;
    // The racer search choices hold for the whole run, across openings of the selection window.
    RacerSearchChoices searchChoices;
    state.appPath = normalisedAppPath(QCoreApplication::applicationDirPath());
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        state.twipsPerPixelX = twipsPerPixel(screen->logicalDotsPerInchX());
        state.twipsPerPixelY = twipsPerPixel(screen->logicalDotsPerInchY());
    }
    installFontSubstitutions();

    SystemClock clock;
    SystemRandom random;
    HelpBrowserViewer help(state, *dialogs);
    const std::unique_ptr<Printer> printer = createPrinter(state);
    // Declared after the services: the windows it still holds at the end go before them.
    AppNavigator navigator;
    AppContext ctx{state, *dialogs, clock, random, help, navigator, *printer};
    registerWindows(navigator, ctx, searchChoices);

    // The program ends when the main menu says so, not when the last window happens to close.
    app.setQuitOnLastWindowClosed(false);
    navigator.open(WindowId::MainForm);
    return app.exec();
}
