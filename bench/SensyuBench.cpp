// Times the racer master window on a database of 32,767 racers against bare baselines doing the same
// work: each search through the window (record set, list lines, the list box filled) against the same
// SQL through the raw SQLite C API filling a bare list box; and the racer lists to PDF through the
// program's printer against a bare QPdfWriter loop drawing the same text runs. Wall clock, runs
// interleaved, medians. Prints one line "RATIO <name> <median ratio> <goal>" per case.
#include "BenchSupport.h"
#include "BenchTiming.h"
#include "core/AppContext.h"
#include "core/AppState.h"
#include "core/Conversions.h"
#include "core/Dialogs.h"
#include "core/Services.h"
#include "masters/SensyuForm.h"
#include "race/SearchPanel.h"
#include "shell/Placement.h"
#include "shell/ReportPrinter.h"
#include "store/SeedDatabase.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetricsF>
#include <QListWidget>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <iterator>
#include <sqlite3.h>
#include <vector>

namespace {

using benchsupport::Bare;
using benchsupport::columnText;
using benchsupport::fail;
using benchsupport::NoHelp;
using benchsupport::NoNavigation;
using benchsupport::QuietDialogs;
using benchtiming::compare;

// Steps a bound statement and hands every row over with all its columns read, as a record set reads them.
template <typename Row> void eachRow(sqlite3_stmt* statement, Row row) {
    const int columns = sqlite3_column_count(statement);
    std::vector<QVariant> values(static_cast<size_t>(columns));
    while (sqlite3_step(statement) == SQLITE_ROW) {
        for (int c = 0; c < columns; ++c) {
            switch (sqlite3_column_type(statement, c)) {
            case SQLITE_INTEGER:
                values[size_t(c)] = QVariant(qlonglong(sqlite3_column_int64(statement, c)));
                break;
            case SQLITE_TEXT:
                values[size_t(c)] = QVariant(columnText(statement, c));
                break;
            case SQLITE_NULL:
                values[size_t(c)] = QVariant();
                break;
            default:
                values[size_t(c)] = QVariant(sqlite3_column_double(statement, c));
                break;
            }
        }
        row(values);
    }
    sqlite3_reset(statement);
}

// A printed page in cells: the bare side lays the report's items into lines as a character printer
// would, then draws each run of text with one call.
struct BareReport {
    QList<QList<QString>> pages; // pages of lines of cells ('\0' marks the second half of a wide one)

    QString* line = nullptr;
    void put(int column, const QString& text) {
        for (QChar ch : text) {
            const int width =
                ch.unicode() < 0x80 || (ch.unicode() >= 0xFF61 && ch.unicode() <= 0xFF9F) ? 1 : 2;
            while (line->size() < column + width)
                line->append(QLatin1Char(' '));
            (*line)[column] = ch;
            if (width == 2)
                (*line)[column + 1] = QChar(0);
            column += width;
        }
    }
    void newLine() {
        pages.last().append(QString());
        line = &pages.last().last();
    }
};

void writeBarePdf(const BareReport& report, const QString& path) {
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
    painter.setPen(Qt::black);
    const double column = 1200.0 / 12;
    const double lineHeight = 1200.0 / 6;
    const QFontMetricsF metrics(font, &writer);
    const double baseline = (lineHeight - metrics.ascent() - metrics.descent()) / 2 + metrics.ascent();
    for (qsizetype p = 0; p < report.pages.size(); ++p) {
        if (p > 0)
            writer.newPage();
        const QList<QString>& lines = report.pages.at(p);
        for (qsizetype l = 0; l < lines.size(); ++l) {
            const QString& cells = lines.at(l);
            qsizetype c = 0;
            while (c < cells.size()) {
                if (cells.at(c).isSpace()) {
                    ++c;
                    continue;
                }
                const qsizetype start = c;
                QString run;
                while (c < cells.size() && !cells.at(c).isSpace()) {
                    if (!cells.at(c).isNull())
                        run += cells.at(c);
                    ++c;
                }
                painter.drawText(QPointF(start * column, l * lineHeight + baseline), run);
            }
        }
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
    const QString path = dir.path() + QStringLiteral("/Korvane.mdb");
    std::fprintf(stderr, "Making a database of %d racers...\n", seed::maximumRacerCount);
    seed::createDatabase(path, seed::maximumRacerCount, seed::defaultSeed);
    Bare bare(path);
    // 500 racers spread over the whole table make the extraction list.
    bare.exec(
        QStringLiteral("INSERT INTO T_選手抽出 (選手ID) SELECT 選手ID FROM T_選手 WHERE 選手ID % 61 = 0 "
                       "ORDER BY 選手ID LIMIT 500"));
    const auto busiest = [&](const char* column) {
        return qint16(bare.first(QStringLiteral("SELECT %1 FROM Q_選手 WHERE %1 IS NOT NULL GROUP BY %1 "
                                                "ORDER BY COUNT(*) DESC LIMIT 1")
                                     .arg(QString::fromUtf8(column))));
    };
    const qint16 prefecture = busiest("所属ID");
    const qint16 term = busiest("期");
    const qint16 kana = busiest("よみがなID");
    const qint16 number = qint16(bare.first(QStringLiteral("SELECT 登番 FROM Q_登番 LIMIT 1 OFFSET 16000")));
    const qint16 andTerm = qint16(bare.first(
        QStringLiteral("SELECT 期 FROM T_選手 WHERE 所属ID = %1 GROUP BY 期 ORDER BY COUNT(*) DESC")
            .arg(prefecture)));

    AppState state;
    state.appPath = dir.path() + QLatin1Char('/');
    QuietDialogs dialogs;
    SystemClock clock;
    SystemRandom random;
    NoHelp help;
    NoNavigation navigator;
    ReportPrinter printer(
        state, [](const QString&) {}, ReportPrinter::Target::PdfOnly);
    AppContext ctx{state, dialogs, clock, random, help, navigator, printer};
    SensyuSearchMemory memory;
    SensyuForm form(ctx, memory);
    form.show();
    auto* list = form.findChild<QListWidget*>(QStringLiteral("List1"));

    // The bare window: a list box of the same font and size, shown the same way.
    QListWidget bareList;
    bareList.setFont(list->font());
    bareList.resize(list->size());
    bareList.show();

    struct SearchCase {
        const char* name;
        qint16 mode;
        QString where;
        QList<qint64> binds;
        std::function<void()> search;
    };
    SearchPanel* panel = form.searchPanel();
    const int numberIndex = panel->comboToban()->findText(QString::number(number));
    const int termIndex = panel->comboKi()->findText(QString::number(term));
    const std::vector<SearchCase> searches = {
        {"sensyu-search-prefecture",
         0,
         QStringLiteral("所属ID = ?"),
         {prefecture},
         [&] { form.Kenmei_Click(prefecture); }},
        {"sensyu-search-number",
         0,
         QStringLiteral("登番 = ?"),
         {number},
         [&] {
             panel->comboToban()->setCurrentIndex(numberIndex);
             form.ComboToban_Click();
         }},
        {"sensyu-search-term",
         0,
         QStringLiteral("期 = ?"),
         {term},
         [&] {
             panel->comboKi()->setCurrentIndex(termIndex);
             form.ComboKi_Click();
         }},
        {"sensyu-search-kana",
         0,
         QStringLiteral("よみがなID = ?"),
         {kana},
         [&] { form.ComboNamae_Click(kana); }},
        {"sensyu-search-and",
         0,
         QStringLiteral("所属ID = ? AND 期 = ?"),
         {prefecture, andTerm},
         [&] {
             panel->checkSelect()->setChecked(true);
             memory.lastTerm = andTerm;
             form.Kenmei_Click(prefecture);
             panel->checkSelect()->setChecked(false);
         }},
        {"sensyu-search-listall", 1, QString(), {}, [&] { form.Command500_Click(); }},
    };

    for (const SearchCase& c : searches) {
        state.extractionMode = c.mode;
        const QString view = c.mode ? QStringLiteral("Q_選手抽出") : QStringLiteral("Q_選手");
        sqlite3_stmt* query =
            bare.prepare(QStringLiteral("SELECT * FROM ") + view +
                         (c.where.isEmpty() ? QString() : QStringLiteral(" WHERE ") + c.where) +
                         QStringLiteral(" LIMIT 501"));
        const int affiliation = 9, id = 0, termColumn = 6, name = 2; // the view's column order
        QList<qint16> bareIds;
        const auto runBare = [&] {
            for (int i = 0; i < c.binds.size(); ++i)
                sqlite3_bind_int64(query, i + 1, c.binds.at(i));
            QStringList lines;
            bareIds.clear();
            // Only the columns the line needs, read straight from the engine.
            while (sqlite3_step(query) == SQLITE_ROW) {
                bareIds << qint16(sqlite3_column_int(query, id));
                const QString prefecture = columnText(query, affiliation);
                lines << prefecture + QString(prefecture.size() == 2 ? 4 : 1, QLatin1Char(' ')) +
                             columnText(query, id) + QStringLiteral("  ") + columnText(query, termColumn) +
                             QStringLiteral("  ") + columnText(query, name);
            }
            sqlite3_reset(query);
            bareList.clear();
            bareList.addItems(lines);
        };
        // Both sides must list the same racers before their times mean anything.
        c.search();
        runBare();
        if (form.listRacerIds() != bareIds || bareIds.isEmpty())
            fail(c.name, QStringLiteral("lists differ"));
        for (int i = 0; i < list->count(); ++i) {
            if (list->item(i)->text() != bareList.item(i)->text())
                fail(c.name, list->item(i)->text() + QStringLiteral(" / ") + bareList.item(i)->text());
        }
        std::fprintf(stderr, "%-26s %4lld racers listed\n", c.name, static_cast<long long>(bareIds.size()));
        compare(c.name, 1.5, repetitions, c.search, runBare);
    }

    // The reports: the largest prefecture, and the whole extraction list.
    struct ReportCase {
        const char* name;
        qint16 mode;
        QString where;
        QString heading;
        QString title;
        std::function<void()> search; // sets the window's last search
    };
    const std::vector<ReportCase> reports = {
        {"sensyu-report-prefecture", 0, QStringLiteral(" WHERE 所属ID = %1").arg(prefecture),
         QStringLiteral("出身地　"), QStringLiteral("競輪選手一覧表"),
         [&] { form.Kenmei_Click(prefecture); }},
        {"sensyu-report-extraction", 1, QString(), QStringLiteral("抽出テーブル一覧"),
         QStringLiteral("競輪選手一覧表"), [&] { form.Command500_Click(); }},
    };
    struct Field {
        const char* name;
        int column;
        int width;
        bool wholeNumber;
    };
    static const Field fields[] = {{"期", 10, 5, false},    {"選手ID", 13, 5, false},
                                   {"級", 18, 2, false},    {"所属名", 21, 6, false},
                                   {"名前", 28, 20, false}, {"よみがな", 43, 20, false},
                                   {"生年", 58, 4, false},  {"生月", 63, 4, true},
                                   {"生日", 68, 4, true},   {"血液型名", 73, 4, false}};
    static const std::pair<int, const char*> headings[] = {
        {10, "期"},       {13, "登番"}, {18, "級"},   {21, "出身"}, {28, "名前"},
        {43, "よみがな"}, {58, "生年"}, {63, "生月"}, {68, "生日"}, {73, "血液"}};
    int bareFiles = 0;
    for (const ReportCase& r : reports) {
        state.extractionMode = r.mode;
        r.search();
        const QString view = r.mode ? QStringLiteral("Q_選手抽出") : QStringLiteral("Q_選手");
        QString columns = QStringLiteral("所属名");
        for (const Field& f : fields)
            columns += QStringLiteral(", ") + QString::fromUtf8(f.name);
        sqlite3_stmt* query =
            bare.prepare(QStringLiteral("SELECT ") + columns + QStringLiteral(" FROM ") + view + r.where);
        int racers = 0;
        const auto runBare = [&] {
            BareReport report;
            int linesOnPage = 0;
            int page = 0;
            racers = 0;
            eachRow(query, [&](const std::vector<QVariant>& row) {
                if (linesOnPage == 0) {
                    report.pages.append(QList<QString>());
                    ++page;
                    report.newLine();
                    report.put(10, r.mode ? r.heading : r.heading + row[0].toString());
                    report.put(40, r.title);
                    report.put(88, QLatin1Char(' ') + QString::number(page) + QLatin1Char(' '));
                    report.newLine();
                    report.newLine();
                    for (const auto& [column, text] : headings)
                        report.put(column, QString::fromUtf8(text));
                    report.newLine();
                    report.newLine();
                }
                for (size_t f = 0; f < std::size(fields); ++f) {
                    QString text = conv::padCut(row[f + 1].isNull() ? QString() : row[f + 1].toString(),
                                                fields[f].width);
                    if (fields[f].wholeNumber && !text.trimmed().isEmpty())
                        text = QString::number(text.trimmed().toInt());
                    report.put(fields[f].column, text);
                }
                report.newLine();
                ++racers;
                if (++linesOnPage >= 61)
                    linesOnPage = 0;
            });
            writeBarePdf(report, dir.path() + QStringLiteral("/bare-%1.pdf").arg(++bareFiles));
        };
        std::fprintf(stderr, "%-26s ", r.name);
        runBare();
        std::fprintf(stderr, "%4d racers\n", racers);
        compare(
            r.name, 1.2, std::max(3, repetitions / 3), [&] { form.SensyuPrint(); }, runBare);
        if (printer.lastPdfPath().isEmpty())
            fail(r.name, QStringLiteral("no PDF written"));
    }
    return 0;
}
