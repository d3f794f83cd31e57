#pragma once

#include <QDate>
#include <QString>

// Small services behind interfaces so that tests can replace them.

class Clock {
public:
    virtual ~Clock() = default;
    virtual QDate today() const = 0;
};

class SystemClock : public Clock {
public:
    QDate today() const override { return QDate::currentDate(); }
};

// Uniform random numbers in [0, 1).
class RandomSource {
public:
    virtual ~RandomSource() = default;
    virtual double next() = 0;
};

class SystemRandom : public RandomSource {
public:
    double next() override;
};

// Shows the help file at its contents.
class HelpViewer {
public:
    virtual ~HelpViewer() = default;
    virtual void showContents() = 0;
};

// The windows of the program, for navigation between them.
enum class WindowId {
    MainForm,
    SelectForm,
    DispForm,
    BiorForm,
    Bior2Form,
    RirekiForm,
    OriginalForm,
    SensyuForm,
    KeirinjyoForm,
    SalesForm,
};

// Windows never create each other: they ask the navigator, which knows what each move means
// (the main menu closes before a work window opens; closing a window shows the one it came from).
class Navigator {
public:
    virtual ~Navigator() = default;
    // Whether that window exists in this build; commands for missing windows are disabled.
    virtual bool isAvailable(WindowId id) const = 0;
    // Opens the window (or brings it to the front if it is already open), closing the main menu
    // first when the main menu asks for a work window.
    virtual void open(WindowId id) = 0;
    // Called by a window after it has closed itself: shows the window it returns to.
    virtual void closed(WindowId id) = 0;
    // Called by a window that changed the shared survey date: the other open windows follow it, so
    // that what they show is what they print and store.
    virtual void surveyDateChanged(WindowId from) = 0;
};
