// The program as it starts, for tests that run it as a process: every message box is written to
// standard error and every question is answered No, so nothing waits for a hand on the keyboard.
#include "app/Startup.h"
#include "support/TestSupport.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    StderrDialogs dialogs;
    return runKorvane(app, dialogs);
}
