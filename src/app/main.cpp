#include "app/Startup.h"
#include "shell/MessageBoxDialogs.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    MessageBoxDialogs dialogs;
    return runKorvane(app, dialogs);
}
