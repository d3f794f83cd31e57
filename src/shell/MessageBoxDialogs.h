#pragma once

#include "core/Dialogs.h"

#include <QMessageBox>
#include <memory>

// The real boxes, on QMessageBox, parented to the active window.
class MessageBoxDialogs : public Dialogs {
public:
    void message(const QString& text, const QString& title = {}) override;
    Answer question(const QString& text, const QString& title) override;
    void critical(const QString& text, const QString& title) override;
    void information(const QString& text, const QString& title) override;
    QString openFileName(const QString& title, const QString& directory, const QString& filter) override;
    QString saveFileName(const QString& title, const QString& suggestedPath, const QString& filter) override;

    // "\r\n" and lone "\r" become "\n" for display; trailing line ends are dropped.
    static QString displayText(const QString& text);

    // The boxes as they are shown, for a look at them without waiting on an answer.
    static std::unique_ptr<QMessageBox> makeBox(QMessageBox::Icon icon, const QString& text,
                                                const QString& title, QMessageBox::StandardButtons buttons,
                                                QMessageBox::StandardButton defaultButton);
    static std::unique_ptr<QMessageBox> questionBox(const QString& text, const QString& title);
};
