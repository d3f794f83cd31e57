#pragma once

#include <QtGlobal>

class Dialogs;
class QApplication;

// Twips per pixel for a logical resolution: 1440 / dots per inch (15 at 96 dpi).
qint16 twipsPerPixel(double dotsPerInch);

// Start-up and the event loop with the given message boxes; returns the exit code.
int runKorvane(QApplication& app, Dialogs& dialogs);
