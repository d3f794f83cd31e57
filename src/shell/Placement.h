#pragma once

#include <QString>

class QWidget;
struct AppState;

// Font faces of the program's layouts; start-up maps them to the IPA fonts (installFontSubstitutions).
inline QString gothicFace() {
    return QStringLiteral("ＭＳ ゴシック");
}
inline QString proportionalGothicFace() {
    return QStringLiteral("ＭＳ Ｐゴシック");
}
// The face for characters the Gothic faces lack (𠮷 and other rare kanji), on screen and on paper.
inline QString rareKanjiFace() {
    return QStringLiteral("IPAmjMincho");
}

// Maps the layout faces to fonts that exist here: IPAGothic for "ＭＳ ゴシック", IPAPGothic for
// "ＭＳ Ｐゴシック", each falling back to the rare-kanji face.
void installFontSubstitutions();

// A nominal font size scaled so that text keeps its pixel size: floor(size * twips per pixel / 15).
int scaledFontSize(double nominalSize, int twipsPerPixel);

// The placement routines: pixel geometry, font size scaled by the screen's twips per pixel.
void placeControl(QWidget* control, int width, int height, int left, int top);
void placeControl(const AppState& state, QWidget* control, double fontSize, int width, int left, int top);
void placeControl(const AppState& state, QWidget* control, double fontSize, int width, int height, int left,
                  int top);

// Sets the face and the scaled point size of a control's font.
void setControlFont(const AppState& state, QWidget* control, const QString& face, double fontSize,
                    bool bold = false);

// Gives a window a client area of width x height pixels (below its menu bar) and centres it on the screen.
void sizeAndCentre(QWidget* window, int width, int height);

// Centres the whole window, menu bar and frame included, on its screen.
void centreOnScreen(QWidget* window);
