#pragma once

#include <QtGlobal>
#include <memory>

class Dialogs;
class QApplication;

// Twips per pixel for a logical resolution: 1440 / dots per inch (15 at 96 dpi).
qint16 twipsPerPixel(double dotsPerInch);

// The message boxes of the program. With KORVANE_DIALOGS=stderr set (for unattended runs) every box
// is written to standard error instead and questions are answered No.
std::unique_ptr<Dialogs> createDialogs();

// Start-up and the event loop; returns the exit code.
int runKorvane(QApplication& app);
