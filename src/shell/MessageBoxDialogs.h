#pragma once

#include "core/Dialogs.h"

// The real boxes, on QMessageBox, parented to the active window.
class MessageBoxDialogs : public Dialogs {
public:
    void message(const QString& text, const QString& title = {}) override;
    Answer question(const QString& text, const QString& title) override;
    void critical(const QString& text, const QString& title) override;
    void information(const QString& text, const QString& title) override;

    // "\r\n" and lone "\r" become "\n" for display; trailing line ends are dropped.
    static QString displayText(const QString& text);
};
