// Times a 15-page report of 501 rows written to PDF by the program's printer (cells laid out, the
// document made, the file written) against a bare QPdfWriter loop drawing the same runs of text at the
// same places. Wall clock, the two sides interleaved, median and minimum of all repetitions.
// Prints "RATIO pdf-report <median ratio> 1.2".
#include "BenchTiming.h"
#include "core/AppState.h"
#include "core/Printing.h"
#include "shell/Placement.h"
#include "shell/ReportPrinter.h"

#include <QApplication>
#include <QFile>
#include <QFont>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

constexpr int Rows = 501;
constexpr int RowsPerPage = 34;

// A text printed at a column of a line, in one colour; no blanks at either end.
struct Item {
    int page;
    int line;
    int column;
    int color;
    QString text;
};

int cells(const QString& text) {
    int n = 0;
    for (char32_t ch : printcells::characters(text))
        n += printcells::cellWidth(ch);
    return n;
}

// The report: a heading on each page, then rows of number, velodrome, racer name, reading and three
// values, those near zero in red. The same every run.
std::vector<Item> reportItems() {
    static const std::array<const char*, 8> velodromes{"函館", "青森", "いわき平", "弥彦",
                                                       "前橋", "取手", "宇都宮",   "大宮"};
    static const std::array<const char*, 10> families{"佐藤", "鈴木", "高橋", "田中", "渡辺",
                                                      "伊藤", "山本", "中村", "小林", "𠮷田"};
    static const std::array<const char*, 10> givens{"一郎", "健太", "翔",   "大輔", "拓也",
                                                    "直樹", "誠",   "浩二", "亮",   "隆之"};
    static const std::array<const char*, 10> readings{"ｻﾄｳ", "ｽｽﾞｷ", "ﾀｶﾊｼ", "ﾀﾅｶ",   "ﾜﾀﾅﾍﾞ",
                                                      "ｲﾄｳ", "ﾔﾏﾓﾄ", "ﾅｶﾑﾗ", "ｺﾊﾞﾔｼ", "ﾖｼﾀﾞ"};
    std::vector<Item> items;
    quint32 x = 20261209;
    const auto next = [&x](quint32 n) {
        x = x * 1103515245u + 12345u;
        return (x >> 8) % n;
    };
    const auto rightAligned = [](int endColumn, const QString& text) { return endColumn - cells(text); };
    for (int row = 0; row < Rows; ++row) {
        const int page = row / RowsPerPage;
        if (row % RowsPerPage == 0) {
            items.push_back({page, 0, 30, PrintJob::Black, QStringLiteral("レース履歴一覧表")});
            const QString number = QString::number(page + 1);
            items.push_back({page, 0, rightAligned(74, number), PrintJob::Black, number});
            int column = 2;
            for (const char* heading : {"番号", "競輪場", "選手名", "よみがな", "身体", "感情", "知性"}) {
                items.push_back({page, 2, column, PrintJob::Black, QString::fromUtf8(heading)});
                column += column < 30 ? 10 : (column < 50 ? 14 : 8);
            }
        }
        const int line = 4 + row % RowsPerPage;
        const QString number = QString::number(row + 1);
        items.push_back({page, line, rightAligned(6, number), PrintJob::Black, number});
        items.push_back({page, line, 12, PrintJob::Black, QString::fromUtf8(velodromes.at(next(8)))});
        const quint32 who = next(10);
        items.push_back({page, line, 22, PrintJob::Black,
                         QString::fromUtf8(families.at(who)) + QString::fromUtf8(givens.at(next(10)))});
        items.push_back({page, line, 36, PrintJob::Black, QString::fromUtf8(readings.at(who))});
        for (int v = 0; v < 3; ++v) {
            const double value = (int(next(20001)) - 10000) / 100.0;
            const QString text = QString::number(value, 'f', 2);
            items.push_back({page, line, rightAligned(58 + 8 * v, text),
                             std::abs(value) < 10 ? PrintJob::Red : PrintJob::Black, text});
        }
    }
    return items;
}

// The program: the report through the printer's operations, one line after another.
void printReport(Printer& printer, const std::vector<Item>& items) {
    std::unique_ptr<PrintJob> job = printer.startJob(QStringLiteral("レース履歴"));
    job->setScaleCharacters();
    int page = 0;
    int line = 0;
    for (const Item& item : items) {
        if (item.page != page) {
            job->newPage();
            page = item.page;
            line = 0;
        }
        for (; line < item.line; ++line)
            job->endLine();
        job->setColor(item.color);
        job->setColumn(item.column);
        job->printText(item.text);
    }
    job->endJob();
}

// A run: the items of one colour next to each other on a line, joined by the blanks between them.
struct Run {
    int page;
    int line;
    int column;
    int color;
    QString text;
};

std::vector<Run> runsOf(const std::vector<Item>& items) {
    std::vector<Run> runs;
    for (const Item& item : items) {
        if (!runs.empty()) {
            Run& last = runs.back();
            const int end = last.column + cells(last.text);
            if (last.page == item.page && last.line == item.line && last.color == item.color &&
                end <= item.column) {
                last.text += QString(item.column - end, QLatin1Char(' ')) + item.text;
                continue;
            }
        }
        runs.push_back({item.page, item.line, item.column, item.color, item.text});
    }
    return runs;
}

QColor colorOf(int value) {
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

// The bare side: a PDF writer of the same page, the same font, each run drawn with one call.
void writeBare(const std::vector<Run>& runs, const QString& path) {
    QPdfWriter writer(path);
    writer.setResolution(1200);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(6, 6, 6, 6),
                                     QPageLayout::Millimeter));
    QPainter painter(&writer);
    QFont font(QStringLiteral("IPAGothic"));
    font.setKerning(false);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setPointSizeF(printcells::cellFontPointSize());
    painter.setFont(font);
    const double column = 1200.0 / 12;
    const double lineHeight = 1200.0 / 6;
    const QFontMetricsF metrics(font, &writer);
    const double baseline = (lineHeight - metrics.ascent() - metrics.descent()) / 2 + metrics.ascent();
    int page = 0;
    int color = -1;
    for (const Run& run : runs) {
        if (run.page != page) {
            writer.newPage();
            page = run.page;
        }
        if (run.color != color) {
            painter.setPen(colorOf(run.color));
            color = run.color;
        }
        painter.drawText(QPointF(run.column * column, run.line * lineHeight + baseline), run.text);
    }
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    installFontSubstitutions();
    const int repetitions = argc > 1 ? std::max(3, atoi(argv[1])) : 15;

    QTemporaryDir dir;
    AppState state;
    state.appPath = dir.path() + QLatin1Char('/');
    ReportPrinter printer(state, ReportPrinter::Opener{}, ReportPrinter::Target::PdfOnly);
    const std::vector<Item> items = reportItems();
    const std::vector<Run> runs = runsOf(items);
    int characters = 0;
    for (const Item& item : items)
        characters += int(printcells::characters(item.text).size());
    std::fprintf(stderr, "%d rows on %d pages: %d characters in %zu runs\n", Rows, items.back().page + 1,
                 characters, runs.size());

    const QString barePath = dir.filePath(QStringLiteral("bare.pdf"));
    const auto program = [&] {
        const auto start = std::chrono::steady_clock::now();
        printReport(printer, items);
        const double ms = benchtiming::msSince(start);
        QFile::remove(printer.lastPdfPath());
        return ms;
    };
    const auto bare = [&] {
        const auto start = std::chrono::steady_clock::now();
        writeBare(runs, barePath);
        const double ms = benchtiming::msSince(start);
        QFile::remove(barePath);
        return ms;
    };
    benchtiming::compareTimed("pdf-report", 1.2, repetitions, program, bare);
    return 0;
}
