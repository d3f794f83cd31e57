#include "shell/Controls.h"

#include "shell/Placement.h"

#include <QAbstractItemView>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QHash>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>
#include <QWheelEvent>

namespace controls {

ListCombo::ListCombo(QWidget* parent)
    : QComboBox(parent) {
    // A list as long as the screen is hard to use: the list scrolls beyond MaxRows rows.
    setStyleSheet(QStringLiteral("QComboBox { combobox-popup: 0; }"));
    setMaxVisibleItems(MaxRows);
    connect(this, &QComboBox::activated, this, [this](int index) {
        if (!m_notChosen)
            emit chosen(index);
    });
}

void ListCombo::showPopup() {
    QAbstractItemView* list = view();
    // Every entry is one line of text, so a list of thousands need not measure each to lay them out.
    if (auto* lines = qobject_cast<QListView*>(list))
        lines->setUniformItemSizes(true);
    // The list takes its scroll bar from the style in force when it was made, which may be the
    // platform's popup without one; a list of thousands needs the bar to show how far it goes.
    list->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    const int scrollBar =
        count() > MaxRows ? style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this) : 0;
    list->setMinimumWidth(widestEntry() + scrollBar + 2 * list->frameWidth() + 4);
    QComboBox::showPopup();
}

int ListCombo::widestEntry() const {
    // Shaping thousands of entries takes a visible while: the entry whose characters add up to the
    // widest is taken as the widest, and only that one is measured as the list draws it.
    const QFontMetrics metrics(view()->font());
    QHash<char16_t, int> advances;
    int widestRow = -1;
    int widest = -1;
    for (int row = 0; row < count(); ++row) {
        int width = 0;
        for (const QChar ch : itemText(row)) {
            auto advance = advances.constFind(ch.unicode());
            if (advance == advances.constEnd())
                advance = advances.insert(ch.unicode(), metrics.horizontalAdvance(ch));
            width += *advance;
        }
        if (width > widest) {
            widest = width;
            widestRow = row;
        }
    }
    if (widestRow < 0)
        return 0;
    return view()->sizeHintForIndex(model()->index(widestRow, modelColumn(), rootModelIndex())).width();
}

void ListCombo::keyPressEvent(QKeyEvent* event) {
    m_notChosen = true;
    QComboBox::keyPressEvent(event);
    m_notChosen = false;
}

void ListCombo::wheelEvent(QWheelEvent* event) {
    // A box that offers only its list keeps its value under a passing wheel.
    if (!isEditable()) {
        event->ignore();
        return;
    }
    m_notChosen = true;
    QComboBox::wheelEvent(event);
    m_notChosen = false;
}

void holdSlimPickers(QWidget* holder) {
    static const QString rules =
        QStringLiteral("QComboBox { padding: 0px 0px 0px 2px; } QComboBox::drop-down { width: 14px; }");
    if (holder->styleSheet() != rules)
        holder->setStyleSheet(rules);
}

QString indexedName(const QString& stem, int index) {
    return stem + QLatin1Char('(') + QString::number(index) + QLatin1Char(')');
}

QFrame* framedBox(QWidget* parent, const QString& name, int left, int top, int width, int height) {
    auto* box = new QFrame(parent);
    box->setObjectName(name);
    box->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    box->setLineWidth(1);
    placeControl(box, width, height, left, top);
    return box;
}

QAction* addAction(QWidget* menu, QObject* receiver, const QString& name, const QString& caption,
                   std::function<void()> handler) {
    auto* action = new QAction(caption, menu);
    action->setObjectName(name);
    QObject::connect(action, &QAction::triggered, receiver, std::move(handler));
    menu->addAction(action);
    return action;
}

QMenu* addMenu(QMenuBar* bar, const QString& name, const QString& caption) {
    QMenu* menu = bar->addMenu(caption);
    menu->setObjectName(name);
    return menu;
}

QMenu* addMenu(QMenu* parent, const QString& name, const QString& caption) {
    QMenu* menu = parent->addMenu(caption);
    menu->setObjectName(name);
    return menu;
}

void setToolPicture(QToolButton* button, const QIcon& icon, const QString& tip, bool captioned) {
    button->setIcon(icon);
    button->setIconSize(captioned ? QSize(14, 14) : QSize(18, 18));
    button->setToolTip(tip);
    button->setAutoRaise(false);
    if (captioned) {
        button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        button->setStyleSheet(QStringLiteral("QToolButton { padding: 0px; }"));
    }
}

namespace {

QWidget* create(const Row& row, QWidget* parent) {
    const QString text = QString::fromUtf16(row.text);
    switch (row.kind) {
    case Kind::Frame: {
        auto* frame = new QFrame(parent);
        frame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        frame->setLineWidth(1);
        return frame;
    }
    case Kind::Label:
        return new QLabel(text, parent);
    case Kind::Button:
        return new QPushButton(text, parent);
    case Kind::ToolButton: {
        auto* button = new QToolButton(parent);
        button->setText(text);
        return button;
    }
    case Kind::Combo:
    case Kind::EditCombo: {
        auto* combo = new ListCombo(parent);
        if (row.kind == Kind::EditCombo) {
            combo->setEditable(true);
            combo->setInsertPolicy(QComboBox::NoInsert);
        }
        return combo;
    }
    case Kind::Edit:
        return new QLineEdit(text, parent);
    case Kind::List:
        return new QListWidget(parent);
    case Kind::Check:
        return new QCheckBox(text, parent);
    }
    return nullptr;
}

} // namespace

Table::Table(const AppState& state, QWidget* client, std::span<const Row> rows, Pickers pickers)
    : m_state(state)
    , m_client(client)
    , m_pickers(pickers) {
    add(rows);
}

void Table::add(std::span<const Row> rows) {
    const AppState& state = m_state;
    for (const Row& row : rows) {
        const QString parentName = QString::fromUtf16(row.parent);
        QWidget* parent = parentName.isEmpty() ? m_client : widget(parentName);
        if (m_pickers == Pickers::Slim && (row.kind == Kind::Combo || row.kind == Kind::EditCombo))
            holdSlimPickers(parent);
        QWidget* control = create(row, parent);
        control->setObjectName(QString::fromUtf16(row.name));
        if (row.face != Face::Default)
            setControlFont(state, control, row.face == Face::Gothic ? gothicFace() : proportionalGothicFace(),
                           row.size);
        if (row.height == 0)
            placeControl(state, control, row.size, row.width, row.left, row.top);
        else
            placeControl(control, row.width, row.height, row.left, row.top);
        m_controls.insert(control->objectName(), control);
    }
}

QWidget* Table::widget(const QString& name) const {
    QWidget* control = m_controls.value(name);
    // A name missing from the table is a fault in the window's own code, found by its first test.
    if (!control)
        qFatal("No control named %s in the layout table", qPrintable(name));
    return control;
}

} // namespace controls
