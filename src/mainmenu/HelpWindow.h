#pragma once

#include "core/Services.h"

#include <QMainWindow>
#include <QPointer>

class Dialogs;
class QTextBrowser;
struct AppState;

// The help window: Korvane.hlp (HTML in UTF-8) in a browser, opened at its contents.
class HelpWindow : public QMainWindow {
    Q_OBJECT

public:
    explicit HelpWindow(const QString& helpPath, QWidget* parent = nullptr);

    QTextBrowser* browser() const { return m_browser; }
    // Back to the top of the help file, its table of contents.
    void showContents();

private:
    QTextBrowser* m_browser;
    QString m_helpPath;
};

// Shows AppPath + Korvane.hlp in one help window, raised when it is already open.
// A missing help file is reported through the dialogs instead.
class HelpBrowserViewer : public HelpViewer {
public:
    HelpBrowserViewer(const AppState& state, Dialogs& dialogs);
    ~HelpBrowserViewer() override;
    HelpBrowserViewer(const HelpBrowserViewer&) = delete;
    HelpBrowserViewer& operator=(const HelpBrowserViewer&) = delete;

    void showContents() override;
    // The open help window, or nullptr.
    HelpWindow* window() const { return m_window.data(); }

private:
    const AppState& m_state;
    Dialogs& m_dialogs;
    QPointer<HelpWindow> m_window;
};
