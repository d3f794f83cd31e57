#include "shell/Placement.h"

#include "core/AppState.h"

#include <QFont>
#include <QGuiApplication>
#include <QMainWindow>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <cmath>

void installFontSubstitutions() {
    // Qt tries the substitutes of a face in order before the faces fontconfig ranks, so a character
    // the Gothic face lacks comes from the rare-kanji face, not from whatever else is installed.
    const QString gothic = QStringLiteral("IPAGothic");
    const QString proportionalGothic = QStringLiteral("IPAPGothic");
    QFont::insertSubstitutions(gothicFace(), {gothic, rareKanjiFace()});
    QFont::insertSubstitutions(proportionalGothicFace(), {proportionalGothic, rareKanjiFace()});
    QFont::insertSubstitution(gothic, rareKanjiFace());
    QFont::insertSubstitution(proportionalGothic, rareKanjiFace());
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
    // Styles and fonts first, so that the menu bar has the height it will be shown with.
    window->ensurePolished();
    if (mainWindow && mainWindow->centralWidget()) {
        mainWindow->centralWidget()->setFixedSize(width, height);
        mainWindow->adjustSize();
        mainWindow->setFixedSize(mainWindow->size());
    } else {
        window->setFixedSize(width, height);
    }
    centreOnScreen(window);
}

namespace {

// The frame a window manager puts around a window is known only once the window is shown: the first
// showing centres the window again with its frame.
class CentreOnFirstShow : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show) {
            auto* window = static_cast<QWidget*>(watched);
            QTimer::singleShot(0, window, [window] { centreOnScreen(window); });
            deleteLater();
            window->removeEventFilter(this);
        }
        return false;
    }
};

} // namespace

void centreOnScreen(QWidget* window) {
    static const char* const watched = "korvaneCentreOnShow";
    if (!window->isVisible() && !window->property(watched).toBool()) {
        window->setProperty(watched, true);
        window->installEventFilter(new CentreOnFirstShow(window));
    }
    const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    // The whole window counts: menu bar and, once the window manager has given it one, the frame.
    const QRect area = screen->availableGeometry();
    const QRect frame = window->frameGeometry();
    const int wholeWidth = std::max(frame.width(), window->width());
    const int wholeHeight = std::max(frame.height(), window->height());
    window->move(area.x() + (area.width() - wholeWidth) / 2, area.y() + (area.height() - wholeHeight) / 2);
}
