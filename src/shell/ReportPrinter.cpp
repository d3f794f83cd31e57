#include "shell/ReportPrinter.h"

#include "core/AppState.h"
#include "core/Dialogs.h"
#include "core/Errors.h"
#include "shell/Placement.h"

#include <QBuffer>
#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QList>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QUrl>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <cups/cups.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr double ColumnsPerInch = 12;
constexpr double LinesPerInch = 6;
// The PDF page stands for a printer's printable area: A4 with the usual hardware margins.
constexpr double PdfMarginMillimetres = 6;

[[noreturn]] void raisePrinterError(const QString& description) {
    throw KorvaneError(ErrorNumber::PrinterError, QStringLiteral("Printer"), description);
}

[[noreturn]] void raiseWriteError(const QString& path, int error) {
    raisePrinterError(
        QStringLiteral("印刷ファイル '%1' を書き込めません。 %2").arg(path, systemErrorText(error)));
}

// A print queue is told apart from its instance ("queue/instance") the way CUPS names it.
QByteArray queueName(const QString& printerName) {
    return printerName.section(QLatin1Char('/'), 0, 0).toLocal8Bit();
}

[[noreturn]] void raiseQueueError(const QString& printerName, const QString& problem) {
    raisePrinterError(QStringLiteral("プリンタに問題があります。\r") +
                      QStringLiteral("プリンタ '%1' ").arg(printerName) + problem);
}

// A stopped queue would hold the job without a word, one that refuses jobs would drop it: either is
// said before the report is sent.
void checkQueue(const QString& printerName) {
    cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, queueName(printerName).constData(), nullptr);
    if (!dest)
        raiseQueueError(printerName, QStringLiteral("が見つかりません。"));
    const char* state = cupsGetOption("printer-state", dest->num_options, dest->options);
    const char* accepting = cupsGetOption("printer-is-accepting-jobs", dest->num_options, dest->options);
    const bool stopped = state && qstrcmp(state, "5") == 0;
    const bool refusing = accepting && qstrcmp(accepting, "false") == 0;
    cupsFreeDests(1, dest);
    if (stopped)
        raiseQueueError(printerName, QStringLiteral("は停止しています。"));
    if (refusing)
        raiseQueueError(printerName, QStringLiteral("は印刷を受け付けていません。"));
}

// Hands a finished PDF document to the print queue, every step checked, so that a job the scheduler
// did not take is never lost without a message.
void sendToQueue(const QString& printerName, const QString& title, const QByteArray& pdf,
                 const QPageLayout& layout) {
    checkQueue(printerName);
    const QByteArray queue = queueName(printerName);
    const QByteArray jobTitle = title.toUtf8();
    cups_option_t* options = nullptr;
    int count = cupsAddOption("media", layout.pageSize().key().toLatin1().constData(), 0, &options);
    // Values near zero are printed red; a printer left in grey would lose that mark.
    count = cupsAddOption("print-color-mode", "color", count, &options);
    const int job = cupsCreateJob(CUPS_HTTP_DEFAULT, queue.constData(), jobTitle.constData(), count, options);
    cupsFreeOptions(count, options);
    if (job <= 0)
        raiseQueueError(printerName,
                        QStringLiteral("に送れません。 (%1)").arg(QString::fromUtf8(cupsLastErrorString())));
    const bool sent =
        cupsStartDocument(CUPS_HTTP_DEFAULT, queue.constData(), job, jobTitle.constData(), CUPS_FORMAT_PDF,
                          1) == HTTP_STATUS_CONTINUE &&
        cupsWriteRequestData(CUPS_HTTP_DEFAULT, pdf.constData(), static_cast<size_t>(pdf.size())) ==
            HTTP_STATUS_CONTINUE &&
        cupsFinishDocument(CUPS_HTTP_DEFAULT, queue.constData()) <= IPP_STATUS_OK_EVENTS_COMPLETE;
    if (!sent) {
        const QString reason = QString::fromUtf8(cupsLastErrorString());
        cupsCancelJob2(CUPS_HTTP_DEFAULT, queue.constData(), job, 0);
        raiseQueueError(printerName, QStringLiteral("に送れません。 (%1)").arg(reason));
    }
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

// One character cell; a full-width character's second cell holds 0.
struct Cell {
    char32_t ch = U' ';
    int color = PrintJob::Black;
};
using Line = QList<Cell>;
using Page = QList<Line>;

// Whether the cell font draws a character exactly across its cells. Only such characters join a run
// of text drawn in one call, so that each glyph of a run lands on its own cell; any other (one the
// font lacks, drawn by a fallback face, or a narrow glyph of a two-cell character) is drawn alone at
// its cell.
class CellFit {
public:
    CellFit(const QFontMetricsF& metrics, double columnWidth)
        : m_metrics(metrics)
        , m_columnWidth(columnWidth) {}

    bool operator()(char32_t ch) {
        const auto known = m_fits.constFind(ch);
        if (known != m_fits.constEnd())
            return *known;
        const double advance = m_metrics.horizontalAdvance(QString::fromUcs4(&ch, 1));
        const bool fits =
            m_metrics.inFontUcs4(ch) &&
            std::abs(advance - printcells::cellWidth(ch) * m_columnWidth) < 0.001 * m_columnWidth;
        m_fits.insert(ch, fits);
        return fits;
    }
    bool inCellFont(char32_t ch) const { return m_metrics.inFontUcs4(ch); }

private:
    QFontMetricsF m_metrics;
    double m_columnWidth;
    QHash<char32_t, bool> m_fits;
};

// The cells the character at column c takes when all of them are its own: a wide character whose
// second cell was overwritten later takes none, and is drawn alone.
int wholeWidth(const Line& line, qsizetype c) {
    const int width = printcells::cellWidth(line.at(c).ch);
    if (c + width > line.size())
        return 0;
    for (int k = 1; k < width; ++k) {
        if (line.at(c + k).ch != 0)
            return 0;
    }
    return width;
}

void appendCharacter(QString& text, char32_t ch) {
    if (QChar::requiresSurrogates(ch)) {
        text += QChar(QChar::highSurrogate(ch));
        text += QChar(QChar::lowSurrogate(ch));
    } else {
        text += QChar(static_cast<char16_t>(ch));
    }
}

// Text drawn with one call from a column: characters of one colour on consecutive cells, blanks
// between them included, none at either end. next is the column to look at after it.
struct Run {
    QString text;
    int color = PrintJob::Black;
    qsizetype next = 0;
    bool rareKanji = false; // a character the cell font lacks, drawn in the rare-kanji face
};

Run runAt(const Line& line, qsizetype start, CellFit& fits) {
    const Cell& first = line.at(start);
    Run run{QString(), first.color, start + 1};
    if (first.ch == 0 || QChar::isSpace(first.ch))
        return run;
    run.text = QString::fromUcs4(&first.ch, 1);
    const int firstWidth = wholeWidth(line, start);
    if (firstWidth == 0 || !fits(first.ch)) {
        run.rareKanji = !fits.inCellFont(first.ch);
        return run;
    }
    qsizetype textEnd = run.text.size();
    run.next = start + firstWidth;
    for (qsizetype c = run.next; c < line.size();) {
        const Cell& cell = line.at(c);
        if (cell.ch == 0)
            break;
        const bool blank = QChar::isSpace(cell.ch);
        if (blank ? (cell.ch != U' ' && cell.ch != U'\u3000') : cell.color != run.color)
            break;
        const int width = wholeWidth(line, c);
        if (width == 0 || !fits(cell.ch))
            break;
        appendCharacter(run.text, cell.ch);
        c += width;
        if (!blank) {
            textEnd = run.text.size();
            run.next = c;
        }
    }
    run.text.truncate(textEnd);
    return run;
}

class ReportPrintJob : public PrintJob {
public:
    // pdfFolder is empty when the printer is a real one, printerName empty when it is a file.
    ReportPrintJob(std::unique_ptr<QPrinter> printer, QString reportName, QString pdfFolder,
                   std::function<void(const QString&)> pdfWritten, QString printerName = {})
        : m_printer(std::move(printer))
        , m_reportName(std::move(reportName))
        , m_pdfFolder(std::move(pdfFolder))
        , m_pdfWritten(std::move(pdfWritten))
        , m_printerName(std::move(printerName)) {
        const double inches = m_printer->pageLayout().paintRect(QPageLayout::Inch).height();
        m_linesPerPage = std::max(1, static_cast<int>(std::floor(inches * LinesPerInch + 1e-9)));
    }

    // The job keeps every position in cells, so the scale needs no state of its own.
    void setScaleCharacters() override {}
    void setColor(int colorValue) override { m_color = colorValue; }
    void setColumn(int column) override { m_column = std::max(0, column); }

    void printText(const QString& text) override {
        Line& line = currentLine();
        for (char32_t ch : printcells::characters(text)) {
            const int width = printcells::cellWidth(ch);
            while (line.size() < m_column + width)
                line.append(Cell{});
            line[m_column] = Cell{ch, m_color};
            if (width == 2)
                line[m_column + 1] = Cell{0, m_color};
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
        if (m_pdfFolder.isEmpty()) {
            // The same document a file would hold, on the printer's paper, handed to its queue.
            sendToQueue(m_printerName, m_reportName, pdfBytes(), m_printer->pageLayout());
            return;
        }
        m_pdfWritten(writePdf());
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

    // The document in memory first, so that only complete bytes reach the disk.
    QByteArray pdfBytes() {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        {
            QPdfWriter writer(&buffer);
            writer.setResolution(m_printer->resolution());
            writer.setPageLayout(m_printer->pageLayout());
            writer.setCreator(m_printer->creator());
            writer.setTitle(m_reportName);
            render(writer, writer.resolution());
        }
        return buffer.data();
    }

    QString writePdf() {
        const QByteArray bytes = pdfBytes();
        const QString base = m_pdfFolder + fileSafe(m_reportName) + QLatin1Char('_') +
                             QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
        const QString firstName = base + QStringLiteral(".pdf");
        // A file of its own: created here, never one that was there before, never through a link.
        QString partial;
        int fd = -1;
        for (int n = 0; fd < 0; ++n) {
            partial = m_pdfFolder + QStringLiteral(".") + QFileInfo(base).fileName() + QLatin1Char('-') +
                      QString::number(::getpid()) + QLatin1Char('-') + QString::number(n) +
                      QStringLiteral(".part");
            fd = ::open(QFile::encodeName(partial).constData(),
                        O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
            if (fd < 0 && (errno != EEXIST || n > 100))
                raiseWriteError(firstName, errno);
        }
        const QByteArray partialName = QFile::encodeName(partial);
        try {
            writeAll(fd, bytes, firstName);
            if (!endsAsPdf(fd, bytes.size()))
                raisePrinterError(
                    QStringLiteral("印刷ファイル '%1' が完全に書き込まれていません。").arg(firstName));
            // The mode a file made in the folder would have had.
            const mode_t mask = ::umask(0);
            ::umask(mask);
            ::fchmod(fd, 0666 & ~mask);
            const int closed = ::close(fd);
            fd = -1;
            if (closed != 0)
                raiseWriteError(firstName, errno);
            const QString path = placeUnderFreeName(partialName, base);
            syncFolder();
            return path;
        } catch (...) {
            if (fd >= 0)
                ::close(fd);
            ::unlink(partialName.constData());
            throw;
        }
    }

    static void writeAll(int fd, const QByteArray& bytes, const QString& shownName) {
        qsizetype done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(fd, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                raiseWriteError(shownName, n < 0 ? errno : ENOSPC);
            done += n;
        }
        if (::fsync(fd) != 0)
            raiseWriteError(shownName, errno);
    }

    // The file on disk has every byte and ends with the PDF end-of-file marker.
    static bool endsAsPdf(int fd, qsizetype expectedSize) {
        struct stat info {};
        if (::fstat(fd, &info) != 0 || info.st_size != expectedSize)
            return false;
        constexpr qsizetype tailSize = 32;
        const qsizetype tailStart = std::max<qsizetype>(0, expectedSize - tailSize);
        QByteArray tail(expectedSize - tailStart, '\0');
        if (::pread(fd, tail.data(), static_cast<size_t>(tail.size()), tailStart) != tail.size())
            return false;
        return tail.trimmed().endsWith("%%EOF");
    }

    // Gives the written file the report's name, or the next free one (-2, -3 ...). An existing
    // entry of that name, a link above all, is never replaced or followed.
    QString placeUnderFreeName(const QByteArray& partialName, const QString& base) const {
        for (int n = 1; n < 1000; ++n) {
            const QString path = n == 1
                                     ? base + QStringLiteral(".pdf")
                                     : base + QLatin1Char('-') + QString::number(n) + QStringLiteral(".pdf");
            const QByteArray name = QFile::encodeName(path);
            if (::renameat2(AT_FDCWD, partialName.constData(), AT_FDCWD, name.constData(),
                            RENAME_NOREPLACE) == 0)
                return path;
            if (errno == EEXIST)
                continue;
            if (errno != EINVAL && errno != ENOSYS)
                raiseWriteError(path, errno);
            // A file system without an exclusive rename: a new link fails on any existing entry too.
            if (::link(partialName.constData(), name.constData()) == 0) {
                ::unlink(partialName.constData());
                return path;
            }
            if (errno != EEXIST)
                raiseWriteError(path, errno);
        }
        raisePrinterError(
            QStringLiteral("印刷フォルダ '%1' に空いているファイル名がありません。").arg(m_pdfFolder));
    }

    void syncFolder() const {
        const int fd = ::open(QFile::encodeName(m_pdfFolder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd >= 0) {
            ::fsync(fd);
            ::close(fd);
        }
    }

    void render(QPagedPaintDevice& device, double resolution) {
        QPainter painter;
        if (!painter.begin(&device))
            raisePrinterError(QStringLiteral("プリンタを開始できません。"));
        const double columnWidth = resolution / ColumnsPerInch;
        const double lineHeight = resolution / LinesPerInch;
        QFont font = cellFont();
        font.setPointSizeF(printcells::cellFontPointSize());
        // Left to itself, Qt would take any installed face that has the character.
        QFont rareKanjiFont = font;
        rareKanjiFont.setFamilies({rareKanjiFace()});
        painter.setFont(font);
        bool drawingRareKanji = false;
        const QFontMetricsF metrics(font, &device);
        const double baseline = (lineHeight - metrics.ascent() - metrics.descent()) / 2 + metrics.ascent();
        CellFit fit(metrics, columnWidth);

        int pen = -1;
        for (qsizetype p = 0; p < m_pages.size(); ++p) {
            if (p > 0 && !device.newPage())
                raisePrinterError(QStringLiteral("改ページできません。"));
            const Page& page = m_pages.at(p);
            for (qsizetype l = 0; l < page.size(); ++l) {
                const Line& line = page.at(l);
                for (qsizetype c = 0; c < line.size();) {
                    const Run run = runAt(line, c, fit);
                    if (run.text.isEmpty()) {
                        c = run.next;
                        continue;
                    }
                    if (run.color != pen) {
                        painter.setPen(colorOfValue(run.color));
                        pen = run.color;
                    }
                    if (run.rareKanji != drawingRareKanji) {
                        painter.setFont(run.rareKanji ? rareKanjiFont : font);
                        drawingRareKanji = run.rareKanji;
                    }
                    painter.drawText(QPointF(c * columnWidth, l * lineHeight + baseline), run.text);
                    c = run.next;
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
    QString m_printerName;
    QList<Page> m_pages{Page()};
    int m_linesPerPage = 1;
    int m_line = 0;
    int m_column = 0;
    int m_color = Black;
    bool m_ended = false;
};

} // namespace

namespace printcells {

int cellWidth(char32_t ch) {
    return (ch < 0x80 || (ch >= 0xFF61 && ch <= 0xFF9F)) ? 1 : 2;
}

QList<char32_t> characters(const QString& text) {
    QList<char32_t> result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar unit = text.at(i);
        if (unit.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            result.append(QChar::surrogateToUcs4(unit, text.at(i + 1)));
            ++i;
        } else {
            result.append(unit.unicode());
        }
    }
    return result;
}

QString padCutCells(const QString& text, int cells) {
    QString result;
    int used = 0;
    for (char32_t ch : characters(text)) {
        const int width = cellWidth(ch);
        if (used + width > cells)
            break;
        appendCharacter(result, ch);
        used += width;
    }
    return result + QString(std::max(0, cells - used), QLatin1Char(' '));
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

ReportPrinter::ReportPrinter(const AppState& state, Dialogs& dialogs, Viewer viewer, Target target)
    : m_state(state)
    , m_dialogs(&dialogs)
    , m_viewer(std::move(viewer))
    , m_target(target) {}

ReportPrinter::ReportPrinter(const AppState& state, Opener opener, Target target)
    : m_state(state)
    , m_target(target) {
    if (opener)
        m_viewer = [opener = std::move(opener)](const QString& path) {
            opener(path);
            return true;
        };
}

void ReportPrinter::pdfWritten(const QString& path) {
    m_lastPdfPath = path;
    const bool opened = m_viewer && m_viewer(path);
    if (m_dialogs)
        m_dialogs->message(pdfWrittenMessage(path, opened));
}

QString ReportPrinter::pdfWrittenMessage(const QString& pdfPath, bool viewerOpened) {
    QString text =
        QStringLiteral("プリンタがないため、印刷内容を PDF ファイルに保存しました。\r\n") + pdfPath;
    if (!viewerOpened)
        text += QStringLiteral(
            "\r\nPDF を表示するプログラムを起動できませんでした。ファイルを直接開いて下さい。");
    return text;
}

std::unique_ptr<PrintJob> ReportPrinter::startJob(const QString& reportName) {
    const auto written = [this](const QString& path) { pdfWritten(path); };
    if (m_target == Target::DefaultPrinterElsePdf) {
        const QPrinterInfo info = QPrinterInfo::defaultPrinter();
        if (!info.isNull()) {
            checkQueue(info.printerName());
            auto printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
            if (!printer->isValid())
                raisePrinterError(QStringLiteral("プリンタ '%1' を使用できません。").arg(info.printerName()));
            m_lastPdfPath.clear();
            return std::make_unique<ReportPrintJob>(std::move(printer), reportName, QString(), written,
                                                    info.printerName());
        }
    }

    const QString folder = m_state.appPath + pdfFolderName() + QLatin1Char('/');
    if (!QDir().mkpath(folder) || !QFileInfo(folder).isDir())
        raisePrinterError(QStringLiteral("印刷フォルダ '%1' を作成できません。").arg(folder));
    if (!QFileInfo(folder).isWritable())
        raisePrinterError(QStringLiteral("印刷フォルダ '%1' に書き込めません。").arg(folder));

    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setCreator(QStringLiteral("コルヴァン"));
    printer->setPageLayout(QPageLayout(
        QPageSize(QPageSize::A4), QPageLayout::Portrait,
        QMarginsF(PdfMarginMillimetres, PdfMarginMillimetres, PdfMarginMillimetres, PdfMarginMillimetres),
        QPageLayout::Millimeter));
    return std::make_unique<ReportPrintJob>(std::move(printer), reportName, folder, written);
}

bool ReportPrinter::openWithDesktopViewer(const QString& pdfPath) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(pdfPath));
}
