#include "shell/MessageBoxDialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QFontMetrics>
#include <QMessageBox>
#include <QTextBoundaryFinder>

namespace {

QString titleOrDefault(const QString& title) {
    return title.isEmpty() ? Dialogs::defaultTitle() : title;
}

// The widest a question shows a run of text it cannot break, in pixels: the box stays about as wide as
// for a short question.
constexpr int LongestRun = 300;

// Each run of text without a line-break opportunity that is wider than maxWidth, cut to fit with "…".
// Line ends are no break opportunity to the finder, so each line is taken on its own.
QString elideLongRuns(const QString& text, const QFontMetrics& metrics, int maxWidth) {
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString& line : lines) {
        QString shown;
        QTextBoundaryFinder breaks(QTextBoundaryFinder::Line, line);
        qsizetype start = 0;
        for (qsizetype end = breaks.toNextBoundary(); end >= 0; end = breaks.toNextBoundary()) {
            const QStringView run = QStringView(line).mid(start, end - start);
            qsizetype body = run.size();
            while (body > 0 && run.at(body - 1).isSpace())
                --body;
            const QString word = run.left(body).toString();
            shown += metrics.horizontalAdvance(word) > maxWidth
                         ? metrics.elidedText(word, Qt::ElideRight, maxWidth)
                         : word;
            shown += run.mid(body);
            start = end;
        }
        line = shown;
    }
    return lines.join(QLatin1Char('\n'));
}

} // namespace

std::unique_ptr<QMessageBox> MessageBoxDialogs::makeBox(QMessageBox::Icon icon, const QString& text,
                                                        const QString& title,
                                                        QMessageBox::StandardButtons buttons,
                                                        QMessageBox::StandardButton defaultButton) {
    auto box = std::make_unique<QMessageBox>(icon, titleOrDefault(title), displayText(text), buttons,
                                             QApplication::activeWindow());
    box->setDefaultButton(defaultButton);
    box->setEscapeButton(buttons.testFlag(QMessageBox::No) ? QMessageBox::No : QMessageBox::Ok);
    return box;
}

std::unique_ptr<QMessageBox> MessageBoxDialogs::questionBox(const QString& text, const QString& title) {
    auto box =
        makeBox(QMessageBox::Question, text, title, QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    // A value the box cannot wrap (a long name of letters, a long number) would widen it to the screen
    // and be cut there, and the question after it with it.
    box->setText(elideLongRuns(box->text(), box->fontMetrics(), LongestRun));
    return box;
}

namespace {

QMessageBox::StandardButton showBox(QMessageBox::Icon icon, const QString& text, const QString& title,
                                    QMessageBox::StandardButtons buttons,
                                    QMessageBox::StandardButton defaultButton) {
    return static_cast<QMessageBox::StandardButton>(
        MessageBoxDialogs::makeBox(icon, text, title, buttons, defaultButton)->exec());
}

} // namespace

QString MessageBoxDialogs::displayText(const QString& text) {
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    while (shown.endsWith(QLatin1Char('\n')))
        shown.chop(1);
    return shown;
}

void MessageBoxDialogs::message(const QString& text, const QString& title) {
    showBox(QMessageBox::NoIcon, text, title, QMessageBox::Ok, QMessageBox::Ok);
}

Dialogs::Answer MessageBoxDialogs::question(const QString& text, const QString& title) {
    return questionBox(text, title)->exec() == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

void MessageBoxDialogs::critical(const QString& text, const QString& title) {
    showBox(QMessageBox::Critical, text, title, QMessageBox::Ok, QMessageBox::Ok);
}

void MessageBoxDialogs::information(const QString& text, const QString& title) {
    showBox(QMessageBox::Information, text, title, QMessageBox::Ok, QMessageBox::Ok);
}

QString MessageBoxDialogs::openFileName(const QString& title, const QString& directory,
                                        const QString& filter) {
    return QFileDialog::getOpenFileName(QApplication::activeWindow(), title, directory, filter);
}

QString MessageBoxDialogs::saveFileName(const QString& title, const QString& suggestedPath,
                                        const QString& filter) {
    return QFileDialog::getSaveFileName(QApplication::activeWindow(), title, suggestedPath, filter);
}
