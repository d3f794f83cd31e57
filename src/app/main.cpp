#include "Placement.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    installFontSubstitutions();
    return 0;
}
