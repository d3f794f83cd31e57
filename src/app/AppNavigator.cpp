#include "app/AppNavigator.h"

#include "shell/FormWindow.h"

#include <QCoreApplication>

AppNavigator::AppNavigator(std::function<void()> quit)
    : m_quit(std::move(quit)) {
    if (!m_quit)
        m_quit = [] { QCoreApplication::quit(); };
}

AppNavigator::~AppNavigator() {
    // Windows still open at the end go with the navigator, before the application object.
    m_ending = true;
    for (auto& [id, window] : m_open)
        delete window.data();
}

void AppNavigator::registerWindow(WindowId id, Factory factory) {
    m_factories[id] = std::move(factory);
}

bool AppNavigator::isAvailable(WindowId id) const {
    return m_factories.contains(id);
}

QWidget* AppNavigator::window(WindowId id) const {
    const auto it = m_open.find(id);
    return it == m_open.end() ? nullptr : it->second.data();
}

std::vector<WindowId> AppNavigator::windowsOpenedFrom(WindowId id) {
    switch (id) {
    case WindowId::SelectForm:
        return {WindowId::DispForm};
    case WindowId::DispForm:
        return {WindowId::BiorForm};
    case WindowId::BiorForm:
        return {WindowId::Bior2Form};
    case WindowId::OriginalForm:
        return {WindowId::Bior2Form, WindowId::SalesForm};
    default:
        return {};
    }
}

bool AppNavigator::isWorkWindow(WindowId id) {
    switch (id) {
    case WindowId::SelectForm:
    case WindowId::RirekiForm:
    case WindowId::OriginalForm:
    case WindowId::SensyuForm:
    case WindowId::KeirinjyoForm:
        return true;
    default:
        return false;
    }
}

QWidget* AppNavigator::create(WindowId id) {
    const auto it = m_factories.find(id);
    if (it == m_factories.end())
        return nullptr;
    QWidget* window = it->second();
    if (window) {
        window->setAttribute(Qt::WA_DeleteOnClose);
        m_open[id] = window;
    }
    return window;
}

void AppNavigator::raise(QWidget* window) {
    window->show();
    window->raise();
    window->activateWindow();
}

// The main menu is unloaded, not closed by its frame: hidden and deleted without ending the program.
void AppNavigator::closeMainMenu() {
    QWidget* menu = window(WindowId::MainForm);
    if (!menu)
        return;
    m_open.erase(WindowId::MainForm);
    menu->hide();
    menu->deleteLater();
}

void AppNavigator::open(WindowId id) {
    if (m_ending || !isAvailable(id))
        return;
    if (QWidget* existing = window(id)) {
        if (id != WindowId::Bior2Form) {
            raise(existing);
            return;
        }
        // The detail chart always shows the slot just chosen: the old one goes, a new one comes.
        m_open.erase(id);
        existing->close();
    }

    const bool fromMainMenu = isWorkWindow(id);
    if (fromMainMenu)
        closeMainMenu();
    QWidget* created = nullptr;
    try {
        created = create(id);
    } catch (...) {
        // A work window that cannot be built must not leave the user without any window.
        if (fromMainMenu)
            open(WindowId::MainForm);
        throw;
    }
    if (!created) {
        if (fromMainMenu)
            open(WindowId::MainForm);
        return;
    }
    created->show();
    created->raise();
    created->activateWindow();
}

void AppNavigator::closed(WindowId id) {
    if (m_ending)
        return;
    if (QWidget* closedWindow = window(id)) {
        m_open.erase(id);
        closedWindow->deleteLater();
    }
    // A window opened on top of this one shows its data: it goes with it.
    for (const WindowId above : windowsOpenedFrom(id)) {
        if (QWidget* dependent = window(above))
            dependent->close();
    }
    if (id == WindowId::MainForm) {
        m_ending = true;
        m_quit();
        return;
    }
    if (isWorkWindow(id)) {
        open(WindowId::MainForm);
        return;
    }
    if (id == WindowId::DispForm) {
        if (QWidget* select = window(WindowId::SelectForm))
            raise(select);
    } else if (id == WindowId::BiorForm) {
        if (QWidget* disp = window(WindowId::DispForm))
            raise(disp);
    }
}

void AppNavigator::surveyDateChanged(WindowId from) {
    for (const auto& [id, window] : m_open) {
        if (id == from)
            continue;
        if (auto* form = qobject_cast<FormWindow*>(window.data()))
            form->SurveyDate_Change();
    }
}
