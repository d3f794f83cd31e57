#pragma once

#include <QString>

// Every message box of the program goes through this interface, so tests can script the answers.
// Texts keep the program's own line ends ("\r\n" or "\r"); the production boxes show them as line breaks.
class Dialogs {
public:
    enum class Answer { Yes, No };

    virtual ~Dialogs() = default;

    // OK button, no icon; an empty title means the program's default title.
    virtual void message(const QString& text, const QString& title = {}) = 0;
    // Yes and No buttons, question icon, No as the default button.
    virtual Answer question(const QString& text, const QString& title) = 0;
    // OK button, critical icon.
    virtual void critical(const QString& text, const QString& title) = 0;
    // OK button, information icon.
    virtual void information(const QString& text, const QString& title) = 0;

    // The file dialogs: a file to read, or a file to write (the path suggests folder and name). Both
    // give an empty path when the user cancels; without a screen to ask on, nothing is chosen.
    virtual QString openFileName(const QString& /*title*/, const QString& /*directory*/,
                                 const QString& /*filter*/) {
        return {};
    }
    virtual QString saveFileName(const QString& /*title*/, const QString& /*suggestedPath*/,
                                 const QString& /*filter*/) {
        return {};
    }

    static QString defaultTitle() { return QStringLiteral("コルヴァン"); }
};
