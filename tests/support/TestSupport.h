#pragma once

#include "core/AppContext.h"
#include "core/AppState.h"
#include "core/Dialogs.h"
#include "core/Printing.h"
#include "core/Services.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QTemporaryDir>
#include <deque>
#include <functional>
#include <memory>

class QWidget;

// A record of one message box the program showed.
struct ShownBox {
    enum class Kind { Message, Question, Critical, Information, OpenFile, SaveFile };
    Kind kind;
    QString text;
    QString title;
};

// Records every box and answers questions from a script; a question nobody scripted fails the test.
class ScriptedDialogs : public Dialogs {
public:
    void message(const QString& text, const QString& title = {}) override;
    Answer question(const QString& text, const QString& title) override;
    void critical(const QString& text, const QString& title) override;
    void information(const QString& text, const QString& title) override;
    // A file dialog is recorded with its title and the folder or path it offered.
    QString openFileName(const QString& title, const QString& directory, const QString& filter) override;
    QString saveFileName(const QString& title, const QString& suggestedPath, const QString& filter) override;

    void answer(Answer a) { m_answers.push_back(a); }
    // The path the next file dialog gives; an empty path is the user's cancel.
    void chooseFile(const QString& path) { m_files.push_back(path); }
    void answerYes() { answer(Answer::Yes); }
    void answerNo() { answer(Answer::No); }

    const QList<ShownBox>& shown() const { return m_shown; }
    QStringList texts() const;
    // The text of the last box, or an empty text when none was shown.
    QString lastText() const;
    int unansweredQuestions() const { return m_unanswered; }
    bool allAnswersUsed() const { return m_answers.empty() && m_files.empty(); }
    void clear() { m_shown.clear(); }

private:
    QList<ShownBox> m_shown;
    QString nextFile(ShownBox::Kind kind, const QString& title, const QString& offered);

    std::deque<Answer> m_answers;
    std::deque<QString> m_files;
    int m_unanswered = 0;
};

// Writes every box to standard error and answers questions No: the program run as a test's process.
class StderrDialogs : public Dialogs {
public:
    void message(const QString& text, const QString& title = {}) override;
    Answer question(const QString& text, const QString& title) override;
    void critical(const QString& text, const QString& title) override;
    void information(const QString& text, const QString& title) override;
};

class FixedClock : public Clock {
public:
    explicit FixedClock(QDate date = QDate(1999, 12, 8))
        : m_date(date) {}
    QDate today() const override { return m_date; }
    void set(QDate date) { m_date = date; }

private:
    QDate m_date;
};

// Hands out scripted numbers in order, then a fixed one.
class ScriptedRandom : public RandomSource {
public:
    double next() override;
    void push(double value) { m_values.push_back(value); }
    void setDefault(double value) { m_default = value; }
    int used() const { return m_used; }

private:
    std::deque<double> m_values;
    double m_default = 0.5;
    int m_used = 0;
};

class RecordingHelp : public HelpViewer {
public:
    void showContents() override { ++m_shown; }
    int shownCount() const { return m_shown; }

private:
    int m_shown = 0;
};

// Records navigation requests instead of opening windows.
class RecordingNavigator : public Navigator {
public:
    bool isAvailable(WindowId) const override { return true; }
    void open(WindowId id) override { m_opened.push_back(id); }
    void closed(WindowId id) override { m_closed.push_back(id); }
    void surveyDateChanged(WindowId from) override { m_dateChanges.push_back(from); }

    const QList<WindowId>& opened() const { return m_opened; }
    const QList<WindowId>& closedWindows() const { return m_closed; }
    const QList<WindowId>& surveyDateChanges() const { return m_dateChanges; }

private:
    QList<WindowId> m_opened;
    QList<WindowId> m_closed;
    QList<WindowId> m_dateChanges;
};

// One cell of a recorded page: one character, a pair of UTF-16 surrogates (𠮷) included.
struct PrintedCell {
    char32_t ch = U' ';
    int color = PrintJob::Black;
};

// Keeps every page as lines of cells: full-width characters, and characters beyond the basic
// plane, take two cells (the second holds 0).
class RecordingPrintJob : public PrintJob {
public:
    struct Pages {
        QList<QList<QList<PrintedCell>>> pages{{}};
        bool ended = false;
        bool scaled = false;
    };
    explicit RecordingPrintJob(std::shared_ptr<Pages> pages)
        : m_pages(std::move(pages)) {}

    void setScaleCharacters() override { m_pages->scaled = true; }
    void setColor(int colorValue) override { m_color = colorValue; }
    void setColumn(int column) override { m_column = column; }
    void printText(const QString& text) override;
    void printLineBreak() override { nextLine(); }
    void endLine() override { nextLine(); }
    void newPage() override;
    void endJob() override { m_pages->ended = true; }

private:
    void nextLine();
    std::shared_ptr<Pages> m_pages;
    int m_line = 0;
    int m_column = 0;
    int m_color = Black;
};

class RecordingPrinter : public Printer {
public:
    std::unique_ptr<PrintJob> startJob(const QString& reportName) override;

    // Make the next startJob (or the job's first write) fail with error 482.
    void failNextJob() { m_fail = true; }
    int jobCount() const { return static_cast<int>(m_jobs.size()); }
    QString reportName(int job) const { return m_names.at(job); }
    bool ended(int job) const { return m_jobs.at(job)->ended; }
    // Page p of job j as text lines (trailing blanks removed, full-width filler cells dropped).
    QStringList pageText(int job, int page = 0) const;
    // The colours of each printed character of line l, as a string of 'B'/'R' ('.' for blanks).
    QString lineColors(int job, int page, int line) const;
    int pageCount(int job) const { return static_cast<int>(m_jobs.at(job)->pages.size()); }

private:
    QList<std::shared_ptr<RecordingPrintJob::Pages>> m_jobs;
    QStringList m_names;
    bool m_fail = false;
};

// Everything a window needs, built fresh for each test.
struct TestContext {
    AppState state;
    ScriptedDialogs dialogs;
    FixedClock clock;
    ScriptedRandom random;
    RecordingHelp help;
    RecordingNavigator navigator;
    RecordingPrinter printer;
    AppContext context{state, dialogs, clock, random, help, navigator, printer};
};

namespace testsupport {

// Sets up fonts for a GUI test program (call once from main or initTestCase).
void initGui();

// A temporary program directory holding a copy of the freshly generated database (KORVANE_SEED_DB,
// else build/bin/Korvane.mdb) and of Korvane.hlp;
// returns the directory path ending in '/'. The directory lives as long as the returned object.
struct ProgramDir {
    std::unique_ptr<QTemporaryDir> dir;
    QString path; // ends in '/'
    QString database() const { return path + QStringLiteral("Korvane.mdb"); }
};
ProgramDir copyOfProgramDir();

// The built program directory (build/bin), from the environment CTest sets.
QString builtBinDir();

// Saves a window picture to the screenshot directory when the screenshots target runs the tests.
void saveScreenshot(QWidget* widget, const QString& name);

// The same with an open list (a window of its own) drawn over the window where it stands.
void saveScreenshotWithPopup(QWidget* window, QWidget* popup, const QString& name);

// The number of the KorvaneError the action raises, or 0 when it raises none.
int errorNumberOf(const std::function<void()>& action);

// Runs action as the user nobody when the test runs as root (who may write anywhere), after giving
// folder and its files to nobody, in a process of its own; returns its exit status.
int exitStatusAsUnprivileged(const QString& folder, const std::function<int()>& action);

// The non-empty text lines of a PDF file as pdftotext lays them out.
QStringList pdfTextLines(const QString& pdfPath);

// Saves one page of a PDF file (the first unless told) as a picture in the screenshot directory.
void savePdfPicture(const QString& pdfPath, const QString& name, int page = 1);

} // namespace testsupport
