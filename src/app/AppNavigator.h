#pragma once

#include "core/Services.h"

#include <QPointer>
#include <QWidget>
#include <functional>
#include <map>
#include <vector>

// Opens and closes the program's windows from a table of factories. Each window registers once:
//     navigator.registerWindow(WindowId::SelectForm, [&ctx] { return new SelectForm(ctx); });
// Windows are deleted when they close; the program ends when the main menu closes.
class AppNavigator : public Navigator {
public:
    using Factory = std::function<QWidget*()>;

    // quit ends the program; the default asks the application to quit.
    explicit AppNavigator(std::function<void()> quit = {});
    ~AppNavigator() override;
    AppNavigator(const AppNavigator&) = delete;
    AppNavigator& operator=(const AppNavigator&) = delete;

    void registerWindow(WindowId id, Factory factory);

    bool isAvailable(WindowId id) const override;
    void open(WindowId id) override;
    void closed(WindowId id) override;
    void surveyDateChanged(WindowId from) override;

    // The open window of that kind, or nullptr.
    QWidget* window(WindowId id) const;

    // The work windows the main menu opens (it closes itself first).
    static bool isWorkWindow(WindowId id);
    // The windows that open on top of that one and close with it.
    static std::vector<WindowId> windowsOpenedFrom(WindowId id);

private:
    QWidget* create(WindowId id);
    void closeMainMenu();
    void raise(QWidget* window);

    std::map<WindowId, Factory> m_factories;
    std::map<WindowId, QPointer<QWidget>> m_open;
    std::function<void()> m_quit;
    bool m_ending = false;
};
