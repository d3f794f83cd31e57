#include "shell/ReportPrinter.h"
#include "core/AppState.h"
#include "core/Errors.h"
#include "shell/Placement.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QImage>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextLayout>
#include <csignal>
#include <functional>
#include <numeric>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

// Points per column and per line, and the left and top margin of the PDF page in points.
constexpr double ColumnPoints = 6;
constexpr double LinePoints = 12;
constexpr double MarginPoints = 6 * 72 / 25.4;

QString run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

int pdfPageCount(const QString& path) {
    static const QRegularExpression pages(QStringLiteral("^Pages:\\s+(\\d+)"),
                                          QRegularExpression::MultilineOption);
    const auto match = pages.match(run(QStringLiteral("pdfinfo"), {path}));
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

// A word of the PDF with its box in points.
struct Word {
    QString text;
    double xMin, yMin, xMax, yMax;
    int page;
};

QList<Word> pdfWords(const QString& path) {
    // One <page> element per page, one <word> element per word.
    const QString html =
        run(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), path, QStringLiteral("-")});
    static const QRegularExpression token(
        QStringLiteral("<page |<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" "
                       "yMax=\"([\\d.]+)\">([^<]*)</word>"));
    QList<Word> words;
    int page = 0;
    for (auto it = token.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        if (m.captured(0).startsWith(QStringLiteral("<page"))) {
            ++page;
            continue;
        }
        words.append(Word{m.captured(5), m.captured(1).toDouble(), m.captured(2).toDouble(),
                          m.captured(3).toDouble(), m.captured(4).toDouble(), page});
    }
    return words;
}

const Word* findWord(const QList<Word>& words, const QString& text) {
    for (const Word& w : words) {
        if (w.text == text)
            return &w;
    }
    return nullptr;
}

// Red and dark pixels inside a box given in points, on a page rendered at 72 dpi scaled by 2.
struct Ink {
    int red = 0;
    int dark = 0;
};
Ink inkIn(const QImage& page, const Word& w) {
    Ink ink;
    for (int y = static_cast<int>(w.yMin * 2); y < static_cast<int>(w.yMax * 2); ++y) {
        for (int x = static_cast<int>(w.xMin * 2); x < static_cast<int>(w.xMax * 2); ++x) {
            const QColor c = page.pixelColor(x, y);
            if (c.red() > 180 && c.green() < 90 && c.blue() < 90)
                ++ink.red;
            else if (c.red() < 90 && c.green() < 90 && c.blue() < 90)
                ++ink.dark;
        }
    }
    return ink;
}

QStringList pdfFiles(const QString& appPath) {
    return QDir(appPath + ReportPrinter::pdfFolderName()).entryList({QStringLiteral("*.pdf")}, QDir::Files);
}

// Every entry of the PDF folder, hidden ones and links included.
QStringList folderEntries(const QString& appPath) {
    return QDir(appPath + ReportPrinter::pdfFolderName())
        .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

// Limits the size of files this process writes, as a nearly full disk would.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &m_old);
        m_handler = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit limit = m_old;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_handler);
    }

private:
    struct rlimit m_old {};
    void (*m_handler)(int) = nullptr;
};

} // namespace

class ReportPrinterTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cellFont_data();
    void cellFont();
    void gridInPdf();
    void pageCount_data();
    void pageCount();
    void unwritable_data();
    void unwritable();
    void jobsNeverShareAFile();
    void beyondBasicPlane();
    void toldWhereThePdfWent_data();
    void toldWhereThePdfWent();
    void fullDiskLeavesNoFile_data();
    void fullDiskLeavesNoFile();
    void plantedLinksAreNotFollowed();
    void folderErrorNamesTheFolder();
    void layoutOfWords_data();
    void layoutOfWords();

private:
    // The words of the layout report, made once.
    QList<Word> m_layoutWords;
    QTemporaryDir m_dir;
};

void ReportPrinterTest::initTestCase() {
    testsupport::initGui();
    QVERIFY(m_dir.isValid());
    QVERIFY2(!QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty(), "poppler-utils missing");
}

void ReportPrinterTest::cellFont_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("cells");
    QTest::newRow("digit") << QStringLiteral("0") << 1;
    QTest::newRow("latin") << QStringLiteral("W") << 1;
    QTest::newRow("half-width katakana") << QStringLiteral("ｶ") << 1;
    QTest::newRow("hiragana") << QStringLiteral("あ") << 2;
    QTest::newRow("kanji") << QStringLiteral("競") << 2;
    QTest::newRow("full-width blank") << QStringLiteral("　") << 2;
    QTest::newRow("full-width colon") << QStringLiteral("：") << 2;
}

void ReportPrinterTest::cellFont() {
    QFETCH(QString, text);
    QFETCH(int, cells);
    QCOMPARE(printcells::cellWidth(text.at(0)), cells);

    // On a real page device the glyph fills exactly its cells.
    QPrinter device(QPrinter::HighResolution);
    device.setOutputFormat(QPrinter::PdfFormat);
    device.setOutputFileName(m_dir.filePath(QStringLiteral("metrics.pdf")));
    QFont font(QStringLiteral("IPAGothic"));
    font.setPointSizeF(printcells::cellFontPointSize());
    QCOMPARE(QFontInfo(font).family(), QStringLiteral("IPAGothic"));
    const double cellPixels = device.resolution() / 12.0;
    const double advance = QFontMetricsF(font, &device).horizontalAdvance(text);
    QVERIFY2(qAbs(advance - cells * cellPixels) < 0.01 * cellPixels,
             qPrintable(QStringLiteral("advance %1, cell %2").arg(advance).arg(cellPixels)));
    // IPAGothic's half-width glyph is half an em: 12 points, not the 10 of a Courier-like face.
    QCOMPARE(qRound(printcells::cellFontPointSize() * 10), 120);
}

void ReportPrinterTest::gridInPdf() {
    TestContext t;
    QTemporaryDir dir;
    t.state.appPath = dir.path() + QLatin1Char('/');
    QStringList opened;
    ReportPrinter printer(
        t.state, [&](const QString& path) { opened << path; }, ReportPrinter::Target::PdfOnly);

    auto job = printer.startJob(QStringLiteral("レース履歴"));
    job->setScaleCharacters();
    job->setColor(PrintJob::Black);
    job->setColumn(2);
    job->printText(QStringLiteral("ABC"));
    job->setColor(PrintJob::Red);
    job->setColumn(10);
    job->printText(QStringLiteral("競輪"));
    job->setColor(PrintJob::Black);
    job->printLineBreak();
    job->endLine();
    job->setColumn(4);
    job->printNumber(17);
    job->setColumn(20);
    job->printText(QStringLiteral("ｱｲｳ"));
    job->printText(QStringLiteral("全角"));
    job->newPage();
    job->setColumn(30);
    job->setColor(PrintJob::Red);
    job->printText(QStringLiteral("PAGE2"));
    QVERIFY2(pdfFiles(t.state.appPath).isEmpty(), "written before the end of the job");
    QVERIFY(opened.isEmpty());
    job->endJob();

    const QStringList files = pdfFiles(t.state.appPath);
    QCOMPARE(files.size(), 1);
    QVERIFY2(QRegularExpression(QStringLiteral("^レース履歴_\\d{8}-\\d{6}\\.pdf$"))
                 .match(files.first())
                 .hasMatch(),
             qPrintable(files.first()));
    const QString path = t.state.appPath + ReportPrinter::pdfFolderName() + QLatin1Char('/') + files.first();
    QCOMPARE(opened, QStringList{path});
    QCOMPARE(printer.lastPdfPath(), path);
    QCOMPARE(pdfPageCount(path), 2);

    // Each word at its column and line (line 1 stays empty under the line break and end of line).
    struct Expected {
        QString text;
        int page, column, line;
    };
    const QList<Word> words = pdfWords(path);
    for (const Expected& e :
         {Expected{QStringLiteral("ABC"), 1, 2, 0}, Expected{QStringLiteral("競輪"), 1, 10, 0},
          Expected{QStringLiteral("17"), 1, 5, 2}, Expected{QStringLiteral("ｱｲｳ全角"), 1, 20, 2},
          Expected{QStringLiteral("PAGE2"), 2, 30, 0}}) {
        const Word* w = findWord(words, e.text);
        QVERIFY2(w, qPrintable(QStringLiteral("missing word ") + e.text));
        QCOMPARE(w->page, e.page);
        QVERIFY2(qAbs(w->xMin - (MarginPoints + e.column * ColumnPoints)) < 1.0,
                 qPrintable(QStringLiteral("%1 starts at %2").arg(e.text).arg(w->xMin)));
        const double lineTop = MarginPoints + e.line * LinePoints;
        QVERIFY2(w->yMin >= lineTop - 1.0 && w->yMax <= lineTop + LinePoints + 1.0,
                 qPrintable(QStringLiteral("%1 spans %2..%3").arg(e.text).arg(w->yMin).arg(w->yMax)));
        const int cells =
            static_cast<int>(std::accumulate(e.text.begin(), e.text.end(), 0, [](int sum, QChar ch) {
                return sum + printcells::cellWidth(ch);
            }));
        QVERIFY2(qAbs((w->xMax - w->xMin) - cells * ColumnPoints) < 1.0,
                 qPrintable(QStringLiteral("%1 is %2 wide").arg(e.text).arg(w->xMax - w->xMin)));
    }

    // Colours, looked at on the rendered first page.
    const QString pngBase = dir.filePath(QStringLiteral("page"));
    run(QStringLiteral("pdftoppm"),
        {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("144"), QStringLiteral("-f"),
         QStringLiteral("1"), QStringLiteral("-singlefile"), path, pngBase});
    const QImage page(pngBase + QStringLiteral(".png"));
    QVERIFY(!page.isNull());
    const Ink black = inkIn(page, *findWord(words, QStringLiteral("ABC")));
    const Ink red = inkIn(page, *findWord(words, QStringLiteral("競輪")));
    QVERIFY(black.dark > 20);
    QCOMPARE(black.red, 0);
    QVERIFY(red.red > 20);
    QCOMPARE(red.dark, 0);
}

void ReportPrinterTest::pageCount_data() {
    QTest::addColumn<std::function<void(PrintJob&)>>("script");
    QTest::addColumn<int>("pages");
    QTest::newRow("one line") << std::function<void(PrintJob&)>([](PrintJob& job) {
        job.printText(QStringLiteral("x"));
    }) << 1;
    QTest::newRow("explicit new page") << std::function<void(PrintJob&)>([](PrintJob& job) {
        job.printText(QStringLiteral("x"));
        job.newPage();
        job.printText(QStringLiteral("y"));
    }) << 2;
    QTest::newRow("page break with nothing after it") << std::function<void(PrintJob&)>([](PrintJob& job) {
        job.printText(QStringLiteral("x"));
        job.newPage();
    }) << 1;
    // A4 less its margins holds 67 lines of 1/6 inch; the next line continues on a fresh sheet.
    QTest::newRow("67 lines fill one page") << std::function<void(PrintJob&)>([](PrintJob& job) {
        for (int i = 0; i < 67; ++i) {
            job.printText(QString::number(i));
            job.endLine();
        }
    }) << 1;
    QTest::newRow("line 68 overflows") << std::function<void(PrintJob&)>([](PrintJob& job) {
        for (int i = 0; i < 68; ++i) {
            job.printText(QString::number(i));
            job.endLine();
        }
    }) << 2;
}

void ReportPrinterTest::pageCount() {
    QFETCH(std::function<void(PrintJob&)>, script);
    QFETCH(int, pages);
    AppState state;
    QTemporaryDir dir;
    state.appPath = dir.path() + QLatin1Char('/');
    ReportPrinter printer(state, {}, ReportPrinter::Target::PdfOnly);
    auto job = printer.startJob(QStringLiteral("頁"));
    script(*job);
    job->endJob();
    QCOMPARE(pdfPageCount(printer.lastPdfPath()), pages);
}

void ReportPrinterTest::unwritable_data() {
    QTest::addColumn<QString>("blocker"); // a regular file placed where a folder is needed
    QTest::addColumn<QString>("appPath"); // relative to the temporary directory
    QTest::newRow("program directory under a file")
        << QStringLiteral("plain") << QStringLiteral("plain/bin/");
    QTest::newRow("印刷 is a file") << QStringLiteral("印刷") << QString();
}

void ReportPrinterTest::unwritable() {
    QFETCH(QString, blocker);
    QFETCH(QString, appPath);
    QTemporaryDir dir;
    QFile file(dir.filePath(blocker));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    AppState state;
    state.appPath = dir.path() + QLatin1Char('/') + appPath;
    int opened = 0;
    ReportPrinter printer(
        state, [&](const QString&) { ++opened; }, ReportPrinter::Target::PdfOnly);
    try {
        auto job = printer.startJob(QStringLiteral("レース履歴"));
        job->printText(QStringLiteral("x"));
        job->endJob();
        QFAIL("no error raised");
    } catch (const KorvaneError& error) {
        QCOMPARE(error.number(), ErrorNumber::PrinterError);
        QVERIFY(!error.source().isEmpty());
    }
    QCOMPARE(opened, 0);
    QVERIFY(printer.lastPdfPath().isEmpty());
}

void ReportPrinterTest::jobsNeverShareAFile() {
    AppState state;
    QTemporaryDir dir;
    state.appPath = dir.path() + QLatin1Char('/');
    QStringList opened;
    ReportPrinter printer(
        state, [&](const QString& path) { opened << path; }, ReportPrinter::Target::PdfOnly);
    for (const QString& text : {QStringLiteral("first"), QStringLiteral("second"), QStringLiteral("third")}) {
        auto job = printer.startJob(QStringLiteral("名簿/一覧"));
        job->printText(text);
        job->endJob();
    }
    QCOMPARE(opened.size(), 3);
    QCOMPARE(pdfFiles(state.appPath).size(), 3);
    for (qsizetype i = 0; i < opened.size(); ++i) {
        QVERIFY2(opened.at(i).contains(QStringLiteral("/名簿_一覧_")), qPrintable(opened.at(i)));
        const QList<Word> words = pdfWords(opened.at(i));
        QCOMPARE(words.size(), 1);
        QCOMPARE(
            words.first().text,
            QStringList({QStringLiteral("first"), QStringLiteral("second"), QStringLiteral("third")}).at(i));
    }
}

// 𠮷 is one character of two cells, though it is two UTF-16 units.
void ReportPrinterTest::beyondBasicPlane() {
    AppState state;
    QTemporaryDir dir;
    state.appPath = dir.path() + QLatin1Char('/');
    ReportPrinter printer(state, {}, ReportPrinter::Target::PdfOnly);
    auto job = printer.startJob(QStringLiteral("名簿"));
    job->setColumn(3);
    job->printText(QStringLiteral("𠮷田"));
    job->printText(QStringLiteral("X"));
    job->endLine();
    job->setColumn(3);
    job->printText(QStringLiteral("ABCDEFG"));
    job->endJob();

    QCOMPARE(printcells::characters(QStringLiteral("𠮷田")), (QList<char32_t>{0x20BB7, 0x7530}));
    QCOMPARE(printcells::cellWidth(char32_t(0x20BB7)), 2);
    const QList<Word> words = pdfWords(printer.lastPdfPath());
    const Word* x = nullptr;
    for (const Word& w : words) {
        if (w.text.endsWith(QLatin1Char('X')))
            x = &w;
        QVERIFY2(!w.text.contains(QChar(0xFFFD)), qPrintable(w.text));
    }
    QVERIFY(x);
    // 𠮷 and 田 take two cells each: X stands at column 3 + 4.
    QVERIFY2(qAbs(x->xMax - (MarginPoints + 8 * ColumnPoints)) < 1.0, qPrintable(QString::number(x->xMax)));
    // No Gothic face has 𠮷: paper and screen draw it in IPAmj Mincho, not as a box.
    QVERIFY(run(QStringLiteral("pdffonts"), {printer.lastPdfPath()}).contains(QStringLiteral("IPAmjMincho")));
    QTextLayout screen(QStringLiteral("𠮷"), QFont(gothicFace()));
    screen.beginLayout();
    screen.createLine();
    screen.endLayout();
    QCOMPARE(screen.glyphRuns().value(0).rawFont().familyName(), QStringLiteral("IPAmjMincho"));

    // The recording printer of the report tests lays the cells out alike: Z at column 4 follows 田.
    RecordingPrinter recording;
    auto recorded = recording.startJob(QStringLiteral("名簿"));
    recorded->printText(QStringLiteral("𠮷田"));
    recorded->setColumn(4);
    recorded->printText(QStringLiteral("Z"));
    recorded->endJob();
    QCOMPARE(recording.pageText(0), QStringList{QStringLiteral("𠮷田Z")});
}

void ReportPrinterTest::toldWhereThePdfWent_data() {
    QTest::addColumn<bool>("viewerOpens");
    QTest::addColumn<QString>("tail");
    QTest::newRow("viewer opened") << true << QString();
    QTest::newRow("no viewer")
        << false
        << QStringLiteral("\r\nPDF を表示するプログラムを起動できませんでした。ファイルを直接開いて下さい。");
}

void ReportPrinterTest::toldWhereThePdfWent() {
    QFETCH(bool, viewerOpens);
    QFETCH(QString, tail);
    TestContext t;
    QTemporaryDir dir;
    t.state.appPath = dir.path() + QLatin1Char('/');
    QStringList viewed;
    ReportPrinter printer(
        t.state, t.dialogs,
        [&](const QString& path) {
            viewed << path;
            return viewerOpens;
        },
        ReportPrinter::Target::PdfOnly);
    auto job = printer.startJob(QStringLiteral("レース履歴"));
    job->printText(QStringLiteral("x"));
    QVERIFY(t.dialogs.shown().isEmpty());
    job->endJob();
    QCOMPARE(viewed, QStringList{printer.lastPdfPath()});
    QCOMPARE(t.dialogs.shown().size(), 1);
    QCOMPARE(t.dialogs.shown().first().kind, ShownBox::Kind::Message);
    QCOMPARE(t.dialogs.shown().first().title, QString());
    QCOMPARE(t.dialogs.shown().first().text,
             QStringLiteral("プリンタがないため、印刷内容を PDF ファイルに保存しました。\r\n") +
                 printer.lastPdfPath() + tail);
}

void ReportPrinterTest::fullDiskLeavesNoFile_data() {
    QTest::addColumn<int>("room"); // bytes a file may take
    QTest::newRow("no space at all") << 0;
    QTest::newRow("room for the start only") << 3000;
}

void ReportPrinterTest::fullDiskLeavesNoFile() {
    QFETCH(int, room);
    TestContext t;
    QTemporaryDir dir;
    t.state.appPath = dir.path() + QLatin1Char('/');
    int viewed = 0;
    ReportPrinter printer(
        t.state, t.dialogs,
        [&](const QString&) {
            ++viewed;
            return true;
        },
        ReportPrinter::Target::PdfOnly);
    auto job = printer.startJob(QStringLiteral("選手一覧"));
    for (int i = 0; i < 60; ++i) {
        job->printText(QStringLiteral("行 %1 競輪選手の一覧").arg(i));
        job->endLine();
    }
    try {
        FileSizeLimit limit(static_cast<rlim_t>(room));
        job->endJob();
        QFAIL("no error raised");
    } catch (const KorvaneError& error) {
        QCOMPARE(error.number(), ErrorNumber::PrinterError);
        const QString folder = t.state.appPath + ReportPrinter::pdfFolderName() + QLatin1Char('/');
        QVERIFY2(error.description().contains(folder + QStringLiteral("選手一覧_")),
                 qPrintable(error.description()));
    }
    QCOMPARE(folderEntries(t.state.appPath), QStringList());
    QCOMPARE(viewed, 0);
    QVERIFY(t.dialogs.shown().isEmpty());
    QVERIFY(printer.lastPdfPath().isEmpty());
}

// Links planted at the names the next report could take: the report stays in 印刷 and what the
// links point at is untouched.
void ReportPrinterTest::plantedLinksAreNotFollowed() {
    AppState state;
    QTemporaryDir dir;
    QTemporaryDir outside;
    state.appPath = dir.path() + QLatin1Char('/');
    const QString folder = state.appPath + ReportPrinter::pdfFolderName() + QLatin1Char('/');
    QVERIFY(QDir().mkpath(folder));
    const QString existing = outside.filePath(QStringLiteral("existing.pdf"));
    {
        QFile file(existing);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("keep");
    }
    const QDateTime now = QDateTime::currentDateTime();
    QStringList planted;
    for (int second = -1; second <= 30; ++second) {
        const QString base = folder + QStringLiteral("選手一覧_") +
                             now.addSecs(second).toString(QStringLiteral("yyyyMMdd-HHmmss"));
        // The plain name leads nowhere yet, the next one to an existing file.
        QVERIFY(QFile::link(outside.filePath(QStringLiteral("new-%1.pdf").arg(second + 1)),
                            base + QStringLiteral(".pdf")));
        QVERIFY(QFile::link(existing, base + QStringLiteral("-2.pdf")));
        planted << base + QStringLiteral(".pdf") << base + QStringLiteral("-2.pdf");
    }
    ReportPrinter printer(state, {}, ReportPrinter::Target::PdfOnly);
    auto job = printer.startJob(QStringLiteral("選手一覧"));
    job->printText(QStringLiteral("report"));
    job->endJob();

    const QString path = printer.lastPdfPath();
    QVERIFY2(path.startsWith(folder) && path.endsWith(QStringLiteral("-3.pdf")), qPrintable(path));
    struct stat info {};
    QCOMPARE(::lstat(QFile::encodeName(path).constData(), &info), 0);
    QVERIFY(S_ISREG(info.st_mode));
    QCOMPARE(pdfWords(path).size(), 1);
    for (const QString& link : planted)
        QVERIFY(QFileInfo(link).isSymLink());
    QCOMPARE(QDir(outside.path()).entryList(QDir::Files | QDir::NoDotAndDotDot),
             QStringList{QStringLiteral("existing.pdf")});
    QFile kept(existing);
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), QByteArray("keep"));
}

void ReportPrinterTest::folderErrorNamesTheFolder() {
    AppState state;
    QTemporaryDir dir;
    state.appPath = dir.path() + QLatin1Char('/');
    QFile blocker(state.appPath + ReportPrinter::pdfFolderName());
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    ReportPrinter printer(state, {}, ReportPrinter::Target::PdfOnly);
    try {
        printer.startJob(QStringLiteral("名簿"));
        QFAIL("no error raised");
    } catch (const KorvaneError& error) {
        QCOMPARE(error.number(), ErrorNumber::PrinterError);
        QVERIFY2(error.description().contains(state.appPath + ReportPrinter::pdfFolderName()),
                 qPrintable(error.description()));
    }
}

// A report that puts cells together in every way the printer must keep: colours side by side, blanks
// inside text, wide and half-width characters, a character the cell font lacks (𠮷), characters with
// narrow glyphs that still take two cells (é), and wide characters whose second half is overwritten.
namespace {
void layoutReport(PrintJob& job) {
    job.setScaleCharacters();
    job.setColumn(2);
    job.printText(QStringLiteral("売上一覧"));
    job.setColumn(20);
    job.printText(QStringLiteral("No."));
    job.printNumber(7);
    job.endLine();
    job.printText(QStringLiteral("ABC DEF"));
    job.setColumn(10);
    job.setColor(PrintJob::Red);
    job.printText(QStringLiteral("-0.25"));
    job.setColor(PrintJob::Black);
    job.setColumn(16);
    job.printText(QStringLiteral("12.50"));
    job.setColumn(24);
    job.printText(QStringLiteral("競輪　場"));
    job.endLine();
    job.setColumn(3);
    job.printText(QStringLiteral("𠮷田ﾀﾛｳ"));
    job.printText(QStringLiteral("X"));
    job.endLine();
    job.setColumn(4);
    job.printText(QStringLiteral("競輪場"));
    job.setColumn(5);
    job.printText(QStringLiteral("z"));
    job.setColumn(14);
    job.printText(QStringLiteral("AB"));
    job.setColumn(15);
    job.printText(QStringLiteral("全角"));
    job.endLine();
    job.printText(QStringLiteral("×÷±é"));
    job.printText(QStringLiteral("Z"));
    job.endLine();
    job.setColor(PrintJob::Red);
    job.printText(QStringLiteral("RED"));
    job.setColor(PrintJob::Black);
    job.printText(QStringLiteral("BLK"));
    job.setColor(PrintJob::Red);
    job.printText(QStringLiteral("赤"));
    job.newPage();
    job.setColumn(30);
    job.printText(QStringLiteral("PAGE2"));
    job.endLine();
    job.setColor(PrintJob::Black);
    job.printText(QStringLiteral("1234567890123456789012345678901234567890"));
    job.printText(QStringLiteral("あいうえおかきくけこさしすせそたちつてと"));
}
} // namespace

// Where pdftotext found each word of the layout report when the printer drew one character at a time
// (boxes in points, rounded to a hundredth).
void ReportPrinterTest::layoutOfWords_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("page");
    QTest::addColumn<double>("xMin");
    QTest::addColumn<double>("yMin");
    QTest::addColumn<double>("xMax");
    QTest::addColumn<double>("yMax");
    QTest::newRow("売上一覧") << QStringLiteral("売上一覧") << 1 << 28.98 << 16.53 << 76.98 << 28.53;
    QTest::newRow("No.") << QStringLiteral("No.") << 1 << 136.98 << 16.53 << 154.98 << 28.53;
    QTest::newRow("7") << QStringLiteral("7") << 1 << 160.98 << 16.53 << 166.98 << 28.53;
    QTest::newRow("ABC") << QStringLiteral("ABC") << 1 << 16.98 << 28.53 << 34.98 << 40.53;
    QTest::newRow("DEF") << QStringLiteral("DEF") << 1 << 40.98 << 28.53 << 58.98 << 40.53;
    QTest::newRow("-0.25") << QStringLiteral("-0.25") << 1 << 76.98 << 28.53 << 106.98 << 40.53;
    QTest::newRow("12.50") << QStringLiteral("12.50") << 1 << 112.98 << 28.53 << 142.98 << 40.53;
    QTest::newRow("競輪") << QStringLiteral("競輪") << 1 << 160.98 << 28.53 << 184.98 << 40.53;
    QTest::newRow("田ﾀﾛｳX") << QStringLiteral("田ﾀﾛｳX") << 1 << 46.98 << 40.53 << 82.98 << 52.53;
    QTest::newRow("競z輪場") << QStringLiteral("競z輪場") << 1 << 40.98 << 52.53 << 76.98 << 64.53;
    QTest::newRow("A全角") << QStringLiteral("A全角") << 1 << 100.98 << 52.53 << 130.98 << 64.53;
    QTest::newRow("×÷±é") << QStringLiteral("×÷±é") << 1 << 16.98 << 64.53 << 58.98 << 76.53;
    QTest::newRow("Z") << QStringLiteral("Z") << 1 << 64.98 << 64.53 << 70.98 << 76.53;
    QTest::newRow("REDBLK赤") << QStringLiteral("REDBLK赤") << 1 << 16.98 << 76.53 << 64.98 << 88.53;
    QTest::newRow("場") << QStringLiteral("場") << 1 << 196.98 << 28.53 << 208.98 << 40.53;
    QTest::newRow("PAGE2") << QStringLiteral("PAGE2") << 2 << 196.98 << 16.53 << 226.98 << 28.53;
    QTest::newRow("page 2 long line")
        << QStringLiteral("1234567890123456789012345678901234567890あいうえおかきくけこさしすせそたちつてと")
        << 2 << 16.98 << 28.53 << 496.98 << 40.53;
}

void ReportPrinterTest::layoutOfWords() {
    QFETCH(QString, text);
    QFETCH(int, page);
    QFETCH(double, xMin);
    QFETCH(double, yMin);
    QFETCH(double, xMax);
    QFETCH(double, yMax);
    if (m_layoutWords.isEmpty()) {
        AppState state;
        state.appPath = m_dir.path() + QStringLiteral("/layout/");
        ReportPrinter printer(state, {}, ReportPrinter::Target::PdfOnly);
        auto job = printer.startJob(QStringLiteral("配置"));
        layoutReport(*job);
        job->endJob();
        m_layoutWords = pdfWords(printer.lastPdfPath());
    }
    const Word* w = findWord(m_layoutWords, text);
    QVERIFY2(w, qPrintable(QStringLiteral("missing word ") + text));
    QCOMPARE(w->page, page);
    for (const auto& [found, expected] : {std::pair{w->xMin, xMin}, std::pair{w->yMin, yMin},
                                          std::pair{w->xMax, xMax}, std::pair{w->yMax, yMax}})
        QVERIFY2(qAbs(found - expected) < 0.02,
                 qPrintable(QStringLiteral("%1: %2 where it was %3").arg(text).arg(found).arg(expected)));
    // No word was split or joined differently.
    QCOMPARE(m_layoutWords.size(), 17);
}

QTEST_MAIN(ReportPrinterTest)
#include "ReportPrinterTest.moc"
