#pragma once

#include <QComboBox>
#include <QHash>
#include <QString>
#include <functional>
#include <span>

class QAction;
class QFrame;
class QIcon;
class QLabel;
class QMenu;
class QMenuBar;
class QObject;
class QToolButton;
class QWidget;
struct AppState;

// Building blocks of the windows: indexed control names, framed boxes, menu entries, and layout tables.
namespace controls {

// The object name of a member of a control array: "Kenmei(12)".
QString indexedName(const QString& stem, int index);

// A sunken panel, the frame the old screens drew around groups of controls.
QFrame* framedBox(QWidget* parent, const QString& name, int left, int top, int width, int height);

// A menu entry (on a menu or directly on the menu bar) named as the control is named.
QAction* addAction(QWidget* menu, QObject* receiver, const QString& name, const QString& caption,
                   std::function<void()> handler);
QMenu* addMenu(QMenuBar* bar, const QString& name, const QString& caption);
QMenu* addMenu(QMenu* menu, const QString& name, const QString& caption);

// A picture button of a tool strip with its tip. A captioned one (the table switch) shows its caption
// beside a smaller picture.
void setToolPicture(QToolButton* button, const QIcon& icon, const QString& tip, bool captioned);

// A combo box whose list opens wide enough for its longest entry and at most MaxRows rows high, and
// that tells a choice from its list (chosen) from keys or the wheel moving through it (activated only).
class ListCombo : public QComboBox {
    Q_OBJECT

public:
    static constexpr int MaxRows = 20;

    explicit ListCombo(QWidget* parent = nullptr);
    void showPopup() override;

signals:
    void chosen(int index);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    int widestEntry() const;

    bool m_notChosen = false;
};

// How a window's combo boxes look: as the style draws them, or slim (a narrow arrow and no padding
// but a little on the left, so that a narrow picker keeps room for its value).
enum class Pickers { Plain, Slim };

// Makes the combo boxes under holder slim; call it before they are made, since a picker takes its height
// from its style when it is placed. The rules go on the smallest parent that holds the pickers, not on
// the whole window: every control under a style sheet goes through the style sheet machinery, which
// costs memory for each of them.
void holdSlimPickers(QWidget* holder);

enum class Kind { Frame, Label, Button, ToolButton, Combo, EditCombo, Edit, List, Check };
enum class Face { Default, Gothic, PGothic };

// One row of a window's layout table: the control's name, kind, parent (empty for the client area),
// pixel geometry and font. A height of 0 takes the height from the font, as combo boxes do.
struct Row {
    const char16_t* name;
    Kind kind;
    const char16_t* parent;
    int left;
    int top;
    int width;
    int height;
    Face face = Face::Default;
    double size = 0;
    const char16_t* text = u"";
};

// The controls of one layout table, built in the table's order (parents before children).
class Table {
public:
    Table(const AppState& state, QWidget* client, std::span<const Row> rows,
          Pickers pickers = Pickers::Plain);
    // More rows, created after whatever the window built in between (the tab order follows creation).
    void add(std::span<const Row> rows);

    QWidget* widget(const QString& name) const;
    template <typename T> T* get(const QString& name) const { return static_cast<T*>(widget(name)); }
    template <typename T> T* get(const QString& stem, int index) const {
        return get<T>(indexedName(stem, index));
    }

private:
    const AppState& m_state;
    QWidget* m_client;
    Pickers m_pickers;
    QHash<QString, QWidget*> m_controls;
};

} // namespace controls
