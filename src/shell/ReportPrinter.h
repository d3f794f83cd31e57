#pragma once

#include "core/Printing.h"

#include <QString>
#include <functional>

struct AppState;

// The real printer: character cells of 1/12 by 1/6 inch in IPAGothic, whose half-width glyphs fill
// one cell and full-width glyphs two. A job is kept in memory as pages of cells and drawn at endJob().
// Output goes to the system's default printer when there is one; otherwise to a PDF file in the
// program directory's 印刷 folder, which is then handed to the opener (the desktop's viewer).
class ReportPrinter : public Printer {
public:
    using Opener = std::function<void(const QString& pdfPath)>;
    enum class Target {
        DefaultPrinterElsePdf, // the program's choice
        PdfOnly,               // ignores any installed printer (tests, previews)
    };

    // state gives the program directory at the time each job starts.
    explicit ReportPrinter(const AppState& state, Opener opener = openWithDesktopViewer,
                           Target target = Target::DefaultPrinterElsePdf);

    // Throws KorvaneError 482 when neither a printer nor the PDF folder can be used.
    std::unique_ptr<PrintJob> startJob(const QString& reportName) override;

    // The PDF file the last ended job wrote, or an empty text when it went to a printer.
    QString lastPdfPath() const { return m_lastPdfPath; }

    static void openWithDesktopViewer(const QString& pdfPath);
    // The folder under the program directory that takes the PDF files.
    static QString pdfFolderName() { return QStringLiteral("印刷"); }

private:
    const AppState& m_state;
    Opener m_opener;
    Target m_target;
    QString m_lastPdfPath;
};

namespace printcells {

// Cells a character takes: one for ASCII and half-width katakana, two for everything else.
int cellWidth(QChar ch);

// The point size at which the cell font's half-width glyph is exactly one column (1/12 inch) wide.
double cellFontPointSize();

} // namespace printcells
