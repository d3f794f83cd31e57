#pragma once

#include <QtGlobal>

class Dialogs;
class QApplication;
class QCoreApplication;

// Twips per pixel for a logical resolution: 1440 / dots per inch (15 at 96 dpi).
qint16 twipsPerPixel(double dotsPerInch);

// Loads Qt's own Japanese texts (standard buttons はい/いいえ); false when they are not installed.
bool installQtTranslations(QCoreApplication& app);

// Start-up and the event loop with the given message boxes; returns the exit code.
int runKorvane(QApplication& app, Dialogs& dialogs);
