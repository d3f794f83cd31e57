#include "shell/Placement.h"

#include "core/AppState.h"

#include <QFont>
#include <QGuiApplication>
#include <QMainWindow>
#include <QScreen>
#include <QWidget>
#include <cmath>

void installFontSubstitutions() {
    QFont::insertSubstitution(gothicFace(), QStringLiteral("IPAGothic"));
    QFont::insertSubstitution(proportionalGothicFace(), QStringLiteral("IPAPGothic"));
}

int scaledFontSize(double nominalSize, int twipsPerPixel) {
    return static_cast<int>(std::floor(nominalSize * twipsPerPixel / 15.0));
}

void placeControl(QWidget* control, int width, int height, int left, int top) {
    control->setGeometry(left, top, width, height);
}

namespace {

void applyFontSize(const AppState& state, QWidget* control, double fontSize) {
    QFont font = control->font();
    // Point sizes are pixel sizes at 15 twips per pixel (96 dpi): keep the pixel size fixed.
    font.setPixelSize(std::max(
        1, static_cast<int>(std::lround(scaledFontSize(fontSize, state.twipsPerPixelX) * 96.0 / 72.0))));
    control->setFont(font);
}

} // namespace

void placeControl(const AppState& state, QWidget* control, double fontSize, int width, int left, int top) {
    applyFontSize(state, control, fontSize);
    control->move(left, top);
    control->resize(width, control->sizeHint().height());
}

void placeControl(const AppState& state, QWidget* control, double fontSize, int width, int height, int left,
                  int top) {
    applyFontSize(state, control, fontSize);
    control->setGeometry(left, top, width, height);
}

void setControlFont(const AppState& state, QWidget* control, const QString& face, double fontSize,
                    bool bold) {
    QFont font(face);
    font.setBold(bold);
    control->setFont(font);
    applyFontSize(state, control, fontSize);
}

void sizeAndCentre(QWidget* window, int width, int height) {
    // The client area is the central widget: the menu bar comes on top of it, as on the old screens.
    auto* mainWindow = qobject_cast<QMainWindow*>(window);
    if (mainWindow && mainWindow->centralWidget()) {
        mainWindow->centralWidget()->setFixedSize(width, height);
        mainWindow->adjustSize();
        mainWindow->setFixedSize(mainWindow->size());
    } else {
        window->setFixedSize(width, height);
    }
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        const QRect frame = window->frameGeometry();
        const int frameExtraW = frame.width() - window->width();
        const int frameExtraH = frame.height() - window->height();
        window->move(area.x() + (area.width() - (width + frameExtraW)) / 2,
                     area.y() + (area.height() - (height + frameExtraH)) / 2);
    }
}
