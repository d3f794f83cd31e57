#include "shell/VersionBox.h"

#include "core/Dialogs.h"

void showVersionBox(Dialogs& dialogs, VersionBoxFrom from) {
    const QString title = from == VersionBoxFrom::MainMenu ? QStringLiteral("コルヴァン Ver2.10")
                                                           : QStringLiteral("コルヴァン  Ver2.10");
    dialogs.information(QStringLiteral("コルヴァン\r\nVer2.10\r\n競輪選手のバイオリズム"), title);
}
