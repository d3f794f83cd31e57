#include "shell/ReportPrinter.h"

#include "core/AppState.h"
#include "core/Errors.h"

#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QFontMetricsF>
#include <QList>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QUrl>
#include <cmath>

namespace {

constexpr double ColumnsPerInch = 12;
constexpr double LinesPerInch = 6;
// The PDF page stands for a printer's printable area: A4 with the usual hardware margins.
constexpr double PdfMarginMillimetres = 6;

[[noreturn]] void raisePrinterError(const QString& description) {
    throw KorvaneError(ErrorNumber::PrinterError, QStringLiteral("Printer"), description);
}

QFont cellFont() {
    QFont font(QStringLiteral("IPAGothic"));
    font.setKerning(false);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setStyleStrategy(QFont::PreferOutline);
    return font;
}

// Printer colour values hold blue, green and red bytes from the high end down: 255 is red.
QColor colorOfValue(int value) {
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

QString fileSafe(const QString& name) {
    QString safe;
    for (QChar ch : name) {
        const bool forbidden = ch.unicode() < 0x20 || QStringLiteral("\\/:*?\"<>|").contains(ch);
        safe += forbidden ? QLatin1Char('_') : ch;
    }
    return safe.trimmed().isEmpty() ? QStringLiteral("印刷") : safe;
}

struct Cell {
    QChar ch = QLatin1Char(' ');
    int color = PrintJob::Black;
};
using Line = QList<Cell>;
using Page = QList<Line>;

class ReportPrintJob : public PrintJob {
public:
    // pdfFolder is empty when the printer is a real one.
    ReportPrintJob(std::unique_ptr<QPrinter> printer, QString reportName, QString pdfFolder,
                   std::function<void(const QString&)> pdfWritten)
        : m_printer(std::move(printer))
        , m_reportName(std::move(reportName))
        , m_pdfFolder(std::move(pdfFolder))
        , m_pdfWritten(std::move(pdfWritten)) {
        const double inches = m_printer->pageLayout().paintRect(QPageLayout::Inch).height();
        m_linesPerPage = std::max(1, static_cast<int>(std::floor(inches * LinesPerInch + 1e-9)));
    }

    // The job keeps every position in cells, so the scale needs no state of its own.
    void setScaleCharacters() override {}
    void setColor(int colorValue) override { m_color = colorValue; }
    void setColumn(int column) override { m_column = std::max(0, column); }

    void printText(const QString& text) override {
        Line& line = currentLine();
        for (QChar ch : text) {
            const int width = printcells::cellWidth(ch);
            while (line.size() < m_column + width)
                line.append(Cell{});
            line[m_column] = Cell{ch, m_color};
            if (width == 2)
                line[m_column + 1] = Cell{QChar(0), m_color};
            m_column += width;
        }
    }

    void printLineBreak() override { nextLine(); }
    void endLine() override { nextLine(); }

    void newPage() override {
        m_pages.append(Page());
        m_line = 0;
        m_column = 0;
    }

    void endJob() override {
        if (m_ended)
            return;
        m_ended = true;
        // A page break with nothing after it would feed a blank sheet.
        while (m_pages.size() > 1 && m_pages.constLast().isEmpty())
            m_pages.removeLast();
        QString path;
        if (!m_pdfFolder.isEmpty()) {
            path = freePdfPath();
            m_printer->setOutputFileName(path);
        }
        render();
        if (!path.isEmpty()) {
            const QFileInfo written(path);
            if (!written.isFile() || written.size() == 0)
                raisePrinterError(QStringLiteral("印刷ファイルを書き込めません。"));
            m_pdfWritten(path);
        }
    }

private:
    Line& currentLine() {
        Page& page = m_pages.last();
        while (page.size() <= m_line)
            page.append(Line());
        return page[m_line];
    }

    void nextLine() {
        m_column = 0;
        if (++m_line >= m_linesPerPage)
            newPage();
    }

    QString freePdfPath() const {
        const QString base = m_pdfFolder + fileSafe(m_reportName) + QLatin1Char('_') +
                             QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
        QString path = base + QStringLiteral(".pdf");
        for (int n = 2; QFileInfo::exists(path); ++n)
            path = base + QLatin1Char('-') + QString::number(n) + QStringLiteral(".pdf");
        return path;
    }

    void render() {
        m_printer->setDocName(m_reportName);
        QPainter painter;
        if (!painter.begin(m_printer.get()))
            raisePrinterError(QStringLiteral("プリンタを開始できません。"));
        const double resolution = m_printer->resolution();
        const double columnWidth = resolution / ColumnsPerInch;
        const double lineHeight = resolution / LinesPerInch;
        QFont font = cellFont();
        font.setPointSizeF(printcells::cellFontPointSize());
        painter.setFont(font);
        const QFontMetricsF metrics(font, m_printer.get());
        const double baseline = (lineHeight - metrics.ascent() - metrics.descent()) / 2 + metrics.ascent();

        for (qsizetype p = 0; p < m_pages.size(); ++p) {
            if (p > 0 && !m_printer->newPage())
                raisePrinterError(QStringLiteral("改ページできません。"));
            const Page& page = m_pages.at(p);
            for (qsizetype l = 0; l < page.size(); ++l) {
                const Line& line = page.at(l);
                for (qsizetype c = 0; c < line.size(); ++c) {
                    const Cell& cell = line.at(c);
                    if (cell.ch.isNull() || cell.ch.isSpace())
                        continue;
                    painter.setPen(colorOfValue(cell.color));
                    painter.drawText(QPointF(c * columnWidth, l * lineHeight + baseline), QString(cell.ch));
                }
            }
        }
        if (!painter.end())
            raisePrinterError(QStringLiteral("印刷を終了できません。"));
    }

    std::unique_ptr<QPrinter> m_printer;
    QString m_reportName;
    QString m_pdfFolder;
    std::function<void(const QString&)> m_pdfWritten;
    QList<Page> m_pages{Page()};
    int m_linesPerPage = 1;
    int m_line = 0;
    int m_column = 0;
    int m_color = Black;
    bool m_ended = false;
};

} // namespace

namespace printcells {

int cellWidth(QChar ch) {
    const char16_t u = ch.unicode();
    return (u < 0x80 || (u >= 0xFF61 && u <= 0xFF9F)) ? 1 : 2;
}

double cellFontPointSize() {
    // Measured rather than assumed: the size depends on the face's half-width advance (half an em
    // in IPAGothic, so 12 points, where a Courier-like face would need 10).
    constexpr int ReferencePixels = 1000;
    QFont font = cellFont();
    font.setPixelSize(ReferencePixels);
    const double emPerColumn = QFontMetricsF(font).horizontalAdvance(QLatin1Char('0')) / ReferencePixels;
    const double pointsPerColumn = 72.0 / ColumnsPerInch;
    return emPerColumn > 0 ? pointsPerColumn / emPerColumn : 2 * pointsPerColumn;
}

} // namespace printcells

ReportPrinter::ReportPrinter(const AppState& state, Opener opener, Target target)
    : m_state(state)
    , m_opener(std::move(opener))
    , m_target(target) {}

std::unique_ptr<PrintJob> ReportPrinter::startJob(const QString& reportName) {
    const auto pdfWritten = [this](const QString& path) {
        m_lastPdfPath = path;
        if (m_opener)
            m_opener(path);
    };
    if (m_target == Target::DefaultPrinterElsePdf) {
        const QPrinterInfo info = QPrinterInfo::defaultPrinter();
        if (!info.isNull()) {
            auto printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
            if (!printer->isValid())
                raisePrinterError(QStringLiteral("プリンタを使用できません。"));
            // Values near zero are printed red; a printer left in grey would lose that mark.
            printer->setColorMode(QPrinter::Color);
            m_lastPdfPath.clear();
            return std::make_unique<ReportPrintJob>(std::move(printer), reportName, QString(), pdfWritten);
        }
    }

    const QString folder = m_state.appPath + pdfFolderName() + QLatin1Char('/');
    if (!QDir().mkpath(folder) || !QFileInfo(folder).isDir() || !QFileInfo(folder).isWritable())
        raisePrinterError(QStringLiteral("印刷フォルダを作成できません。"));

    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setCreator(QStringLiteral("コルヴァン"));
    printer->setPageLayout(QPageLayout(
        QPageSize(QPageSize::A4), QPageLayout::Portrait,
        QMarginsF(PdfMarginMillimetres, PdfMarginMillimetres, PdfMarginMillimetres, PdfMarginMillimetres),
        QPageLayout::Millimeter));
    return std::make_unique<ReportPrintJob>(std::move(printer), reportName, folder, pdfWritten);
}

void ReportPrinter::openWithDesktopViewer(const QString& pdfPath) {
    QDesktopServices::openUrl(QUrl::fromLocalFile(pdfPath));
}
