#pragma once

#include "core/Services.h"

#include <QMainWindow>
#include <functional>

class QAction;
class QMenu;
struct AppContext;

// What every window of the program shares: the context, its id for the navigator, the close that runs
// once whether it comes from the close command or the frame, and the help menu of the work windows.
class FormWindow : public QMainWindow {
    Q_OBJECT

public:
    // The client area of the main menu and the work windows.
    static constexpr int WorkWidth = 632;
    static constexpr int WorkHeight = 434;

    ~FormWindow() override;

    WindowId windowId() const { return m_windowId; }
    bool isUnloaded() const { return m_unloaded; }

    void Menu_HelpCard_Click();
    void Menu_Help_About_Click();

    // Another window changed the shared survey date; a window that shows it redraws.
    virtual void SurveyDate_Change() {}

protected:
    FormWindow(AppContext& ctx, WindowId id, const QString& title, QWidget* parent = nullptr);

    // A central widget of width x height pixels below the menu bar; the window takes its size from it and
    // is centred on the screen. Call after the menu bar is built.
    QWidget* createClientArea(int width = WorkWidth, int height = WorkHeight,
                              const QString& name = QStringLiteral("client"));

    // A command on the menu bar itself, named as the control is named.
    QAction* addMenuCommand(const QString& name, const QString& caption, std::function<void()> handler);
    // "ﾍﾙﾌﾟ(&H)" with the help contents and the version box, as every work window has it.
    QMenu* addHelpMenu();

    // Runs once when the window closes, inside the error trap: close record sets and the database here.
    virtual void Form_Unload() {}

    // Marks the window unloaded; false when it already was. For windows that end in their own way.
    bool beginUnload();
    // Tells the navigator that this window is gone, so that it shows the window it returns to.
    void notifyClosed();

    void closeEvent(QCloseEvent* event) override;

    AppContext& m_ctx;

private:
    WindowId m_windowId;
    bool m_unloaded = false;
};
