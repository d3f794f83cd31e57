#pragma once

#include "core/Printing.h"

#include <QString>
#include <functional>

struct AppState;
class Dialogs;

// The real printer: character cells of 1/12 by 1/6 inch in IPAGothic, whose half-width glyphs fill
// one cell and full-width glyphs two; a character IPAGothic lacks (𠮷) is drawn at its cells in the
// rare-kanji face. A job is kept in memory as pages of cells and drawn at endJob().
// Output goes to the system's default printer when there is one: its CUPS queue gets the same PDF
// document a file would hold, and a queue that is stopped, refuses jobs, is gone or does not take
// the job raises 482 ("プリンタに問題があります。" and the reason). Otherwise it goes to a PDF file in
// the 印刷 folder of the data folder, which is then handed to the viewer (the desktop's PDF viewer).
//
// A PDF file appears only complete: it is written to a new file of its own in 印刷, every write
// checked, then given its final name, which never replaces or follows anything already there. A
// failed write leaves no file behind and raises 482 naming the file.
class ReportPrinter : public Printer {
public:
    // Opens a written PDF file; returns false when no viewer could be started.
    using Viewer = std::function<bool(const QString& pdfPath)>;
    using Opener = std::function<void(const QString& pdfPath)>;
    enum class Target {
        DefaultPrinterElsePdf, // the program's choice
        PdfOnly,               // ignores any installed printer (tests, previews)
    };

    // state gives the program directory at the time each job starts. After a PDF file is written,
    // one message through dialogs tells where it is, and whether the viewer could not be opened.
    ReportPrinter(const AppState& state, Dialogs& dialogs, Viewer viewer = openWithDesktopViewer,
                  Target target = Target::DefaultPrinterElsePdf);
    // Without message: the opener is told of each PDF file written.
    explicit ReportPrinter(const AppState& state, Opener opener = openWithDesktopViewer,
                           Target target = Target::DefaultPrinterElsePdf);

    // Throws KorvaneError 482 when neither a printer nor the PDF folder can be used.
    std::unique_ptr<PrintJob> startJob(const QString& reportName) override;

    // The PDF file the last ended job wrote, or an empty text when it went to a printer.
    QString lastPdfPath() const { return m_lastPdfPath; }

    static bool openWithDesktopViewer(const QString& pdfPath);
    // The folder under the program directory that takes the PDF files.
    static QString pdfFolderName() { return QStringLiteral("印刷"); }

    // The message after a PDF file is written.
    static QString pdfWrittenMessage(const QString& pdfPath, bool viewerOpened);

private:
    void pdfWritten(const QString& path);

    const AppState& m_state;
    Dialogs* m_dialogs = nullptr;
    Viewer m_viewer;
    Target m_target;
    QString m_lastPdfPath;
};

namespace printcells {

// Cells a character takes: one for ASCII and half-width katakana, two for everything else,
// including characters beyond the basic plane (𠮷).
int cellWidth(char32_t ch);
inline int cellWidth(QChar ch) {
    return cellWidth(static_cast<char32_t>(ch.unicode()));
}

// The characters of a text, a pair of UTF-16 surrogates counting as one; a lone surrogate stays
// a character of its own.
QList<char32_t> characters(const QString& text);

// The text cut to at most cells display cells and padded with blanks to exactly that many. A wide
// character that would not fit whole is left out, so the next column never gets half a character.
QString padCutCells(const QString& text, int cells);

// The point size at which the cell font's half-width glyph is exactly one column (1/12 inch) wide.
double cellFontPointSize();

} // namespace printcells
