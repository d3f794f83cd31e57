#pragma once

#include <QAnyStringView>
#include <QObject>
#include <QString>
#include <QWidget>

class QAction;
class QComboBox;
class QLabel;

// Finding a window's controls by the names the window gives them.
namespace testsupport {

// The name of a member of a control array: "LabelNamae(3)".
QString indexedName(QAnyStringView stem, int index);

// The window's child of that name and type; null when there is none, or no window.
template <typename T = QWidget> T* child(const QObject* window, QAnyStringView name) {
    return window ? window->findChild<T*>(name.toString()) : nullptr;
}

// A member of a control array: child<QLabel>(form, u"LabelNamae", 3) finds "LabelNamae(3)".
template <typename T = QWidget> T* child(const QObject* window, QAnyStringView stem, int index) {
    return child<T>(window, indexedName(stem, index));
}

QAction* action(const QObject* window, QAnyStringView name);
QLabel* label(const QObject* window, QAnyStringView name);
QLabel* label(const QObject* window, QAnyStringView stem, int index);

// Chooses an entry of a drop-down list, as a click in its open list does; fails the test when the
// list has no such entry.
void choose(QComboBox* box, int index);
void choose(QComboBox* box, const QString& text);

// Clicks the window's button of that name with the left mouse button; fails the test when it is missing.
void click(const QObject* window, QAnyStringView name);

} // namespace testsupport
