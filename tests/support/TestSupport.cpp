#include "support/TestSupport.h"

#include "core/Errors.h"
#include "shell/MessageBoxDialogs.h"
#include "shell/Placement.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QPixmap>
#include <QProcess>
#include <QTest>
#include <QWidget>
#include <cstdio>
#include <sys/wait.h>
#include <unistd.h>

namespace {

void writeBox(const QString& text, const QString& title) {
    const QString line = (title.isEmpty() ? Dialogs::defaultTitle() : title) + QStringLiteral(": ") +
                         MessageBoxDialogs::displayText(text) + QLatin1Char('\n');
    std::fputs(line.toLocal8Bit().constData(), stderr);
    std::fflush(stderr);
}

} // namespace

void ScriptedDialogs::message(const QString& text, const QString& title) {
    m_shown.push_back({ShownBox::Kind::Message, text, title});
}

Dialogs::Answer ScriptedDialogs::question(const QString& text, const QString& title) {
    m_shown.push_back({ShownBox::Kind::Question, text, title});
    if (m_answers.empty()) {
        ++m_unanswered;
        QTest::qFail(qPrintable(QStringLiteral("unscripted question: ") + text), __FILE__, __LINE__);
        return Answer::No;
    }
    const Answer a = m_answers.front();
    m_answers.pop_front();
    return a;
}

void ScriptedDialogs::critical(const QString& text, const QString& title) {
    m_shown.push_back({ShownBox::Kind::Critical, text, title});
}

void ScriptedDialogs::information(const QString& text, const QString& title) {
    m_shown.push_back({ShownBox::Kind::Information, text, title});
}

QString ScriptedDialogs::openFileName(const QString& title, const QString& directory, const QString&) {
    return nextFile(ShownBox::Kind::OpenFile, title, directory);
}

QString ScriptedDialogs::saveFileName(const QString& title, const QString& suggestedPath, const QString&) {
    return nextFile(ShownBox::Kind::SaveFile, title, suggestedPath);
}

QString ScriptedDialogs::nextFile(ShownBox::Kind kind, const QString& title, const QString& offered) {
    m_shown.push_back({kind, offered, title});
    if (m_files.empty()) {
        ++m_unanswered;
        QTest::qFail(qPrintable(QStringLiteral("unscripted file dialog: ") + title), __FILE__, __LINE__);
        return {};
    }
    const QString path = m_files.front();
    m_files.pop_front();
    return path;
}

QStringList ScriptedDialogs::texts() const {
    QStringList result;
    for (const ShownBox& box : m_shown)
        result << box.text;
    return result;
}

QString ScriptedDialogs::lastText() const {
    return m_shown.isEmpty() ? QString() : m_shown.constLast().text;
}

void StderrDialogs::message(const QString& text, const QString& title) {
    writeBox(text, title);
}

Dialogs::Answer StderrDialogs::question(const QString& text, const QString& title) {
    writeBox(text, title);
    return Answer::No;
}

void StderrDialogs::critical(const QString& text, const QString& title) {
    writeBox(text, title);
}

void StderrDialogs::information(const QString& text, const QString& title) {
    writeBox(text, title);
}

double ScriptedRandom::next() {
    ++m_used;
    if (m_values.empty())
        return m_default;
    const double v = m_values.front();
    m_values.pop_front();
    return v;
}

void RecordingPrintJob::printText(const QString& text) {
    auto& page = m_pages->pages.last();
    while (page.size() <= m_line)
        page.append(QList<PrintedCell>());
    auto& line = page[m_line];
    for (char32_t ch : text.toUcs4()) {
        // Half-width forms (ASCII, half-width katakana) take one cell, everything else two.
        const bool half = ch < 0x80 || (ch >= 0xFF61 && ch <= 0xFF9F);
        const int width = half ? 1 : 2;
        while (line.size() < m_column + width)
            line.append(PrintedCell{});
        line[m_column] = PrintedCell{ch, m_color};
        if (width == 2)
            line[m_column + 1] = PrintedCell{0, m_color};
        m_column += width;
    }
}

void RecordingPrintJob::newPage() {
    m_pages->pages.append(QList<QList<PrintedCell>>());
    m_line = 0;
    m_column = 0;
}

void RecordingPrintJob::nextLine() {
    ++m_line;
    m_column = 0;
    auto& page = m_pages->pages.last();
    while (page.size() < m_line)
        page.append(QList<PrintedCell>());
}

namespace {

class FailingPrintJob : public PrintJob {
public:
    [[noreturn]] static void fail() {
        throw KorvaneError(ErrorNumber::PrinterError, QStringLiteral("Printer"),
                           QStringLiteral("印刷中にエラーが発生しました。"));
    }
    void setScaleCharacters() override { fail(); }
    void setColor(int) override { fail(); }
    void setColumn(int) override { fail(); }
    void printText(const QString&) override { fail(); }
    void printLineBreak() override { fail(); }
    void endLine() override { fail(); }
    void newPage() override { fail(); }
    void endJob() override { fail(); }
};

} // namespace

std::unique_ptr<PrintJob> RecordingPrinter::startJob(const QString& reportName) {
    if (m_fail) {
        m_fail = false;
        return std::make_unique<FailingPrintJob>();
    }
    auto pages = std::make_shared<RecordingPrintJob::Pages>();
    m_jobs.append(pages);
    m_names.append(reportName);
    return std::make_unique<RecordingPrintJob>(pages);
}

QStringList RecordingPrinter::pageText(int job, int page) const {
    QStringList lines;
    for (const auto& line : m_jobs.at(job)->pages.at(page)) {
        QString text;
        for (const PrintedCell& cell : line) {
            if (cell.ch != 0)
                text += QString::fromUcs4(&cell.ch, 1);
        }
        while (text.endsWith(QLatin1Char(' ')))
            text.chop(1);
        lines << text;
    }
    while (!lines.isEmpty() && lines.constLast().isEmpty())
        lines.removeLast();
    return lines;
}

QString RecordingPrinter::lineColors(int job, int page, int line) const {
    QString colors;
    const auto& lines = m_jobs.at(job)->pages.at(page);
    if (line >= lines.size())
        return colors;
    for (const PrintedCell& cell : lines.at(line)) {
        if (cell.ch == 0)
            continue;
        if (cell.ch == U' ')
            colors += QLatin1Char('.');
        else
            colors += cell.color == PrintJob::Red ? QLatin1Char('R') : QLatin1Char('B');
    }
    return colors;
}

namespace testsupport {

void initGui() {
    installFontSubstitutions();
}

QString builtBinDir() {
    const QString dir = qEnvironmentVariable("KORVANE_BIN_DIR");
    return dir.isEmpty() ? QStringLiteral("bin") : dir;
}

ProgramDir copyOfProgramDir() {
    ProgramDir result;
    result.dir = std::make_unique<QTemporaryDir>();
    result.path = result.dir->path() + QLatin1Char('/');
    const QString bin = builtBinDir() + QLatin1Char('/');
    const QString seed = qEnvironmentVariable("KORVANE_SEED_DB");
    const QString database = QFile::exists(seed) ? seed : bin + QStringLiteral("Korvane.mdb");
    for (const auto& [from, name] :
         {std::pair{database, QStringLiteral("Korvane.mdb")},
          std::pair{bin + QStringLiteral("Korvane.hlp"), QStringLiteral("Korvane.hlp")}}) {
        if (QFile::exists(from)) {
            QFile::copy(from, result.path + name);
            QFile::setPermissions(result.path + name, QFile::ReadOwner | QFile::WriteOwner);
        }
    }
    return result;
}

void saveScreenshot(QWidget* widget, const QString& name) {
    const QString dir = qEnvironmentVariable("KORVANE_SCREENSHOT_DIR");
    if (dir.isEmpty())
        return;
    QDir().mkpath(dir);
    widget->grab().save(dir + QLatin1Char('/') + name + QStringLiteral(".png"));
}

void saveScreenshotWithPopup(QWidget* window, QWidget* popup, const QString& name) {
    const QString dir = qEnvironmentVariable("KORVANE_SCREENSHOT_DIR");
    if (dir.isEmpty())
        return;
    QDir().mkpath(dir);
    // The open list is a window of its own: draw it over the window where the screen shows it.
    const QPixmap base = window->grab();
    const QPixmap list = popup->grab();
    const QPoint at = popup->mapToGlobal(QPoint(0, 0)) - window->mapToGlobal(QPoint(0, 0));
    const QRect whole = QRect(QPoint(0, 0), base.size()).united(QRect(at, list.size()));
    QPixmap picture(whole.size());
    picture.fill(Qt::darkGray);
    QPainter painter(&picture);
    painter.drawPixmap(-whole.topLeft(), base);
    painter.drawPixmap(at - whole.topLeft(), list);
    painter.end();
    picture.save(dir + QLatin1Char('/') + name + QStringLiteral(".png"));
}

int errorNumberOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const KorvaneError& error) {
        return error.number();
    }
    return 0;
}

int exitStatusAsUnprivileged(const QString& folder, const std::function<int()>& action) {
    if (::geteuid() != 0)
        return action();
    constexpr uid_t nobody = 65534;
    for (const QString& name : QDir(folder).entryList(QDir::Files))
        ::chown(QFile::encodeName(QDir(folder).filePath(name)).constData(), nobody, nobody);
    ::chown(QFile::encodeName(folder).constData(), nobody, nobody);
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(::setgid(nobody) == 0 && ::setuid(nobody) == 0 ? action() : 99);
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 98;
}

QStringList pdfTextLines(const QString& pdfPath) {
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdfPath, QStringLiteral("-")});
    if (!pdftotext.waitForFinished(30000))
        return {};
    QStringList lines = QString::fromUtf8(pdftotext.readAllStandardOutput()).split(QLatin1Char('\n'));
    lines.removeIf([](const QString& line) { return line.trimmed().isEmpty(); });
    return lines;
}

void savePdfPicture(const QString& pdfPath, const QString& name, int page) {
    const QString dir = qEnvironmentVariable("KORVANE_SCREENSHOT_DIR");
    if (dir.isEmpty())
        return;
    QDir().mkpath(dir);
    QProcess::execute(QStringLiteral("pdftoppm"),
                      {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("110"),
                       QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"),
                       QString::number(page), QStringLiteral("-singlefile"), pdfPath,
                       dir + QLatin1Char('/') + name});
}

} // namespace testsupport
