#include "masters/SensyuForm.h"
#include "masters/SensyuFormReport.h"
#include "shell/ReportPrinter.h"
#include "store/Database.h"
#include "support/DirectSql.h"
#include "support/TestSupport.h"

#include <QComboBox>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Two racers below every seed number, so that they come first in the views' order; the first has no
// term and no grade. Both are on the extraction list, which holds nothing else.
const QStringList twoRacers = {
    QStringLiteral(
        "INSERT INTO T_選手 VALUES (4321, '試験太郎', 'シケンタロウ', 'シ', NULL, NULL, 12, 1970, 5, 9, 3)"),
    QStringLiteral(
        "INSERT INTO T_選手 VALUES (4322, '見本一', 'ミホンハジメ', 'ミ', 85, 'A1', 1, 1965, 12, 31, 4)"),
    QStringLiteral("DELETE FROM T_選手抽出"),
    QStringLiteral("INSERT INTO T_選手抽出 VALUES (4321), (4322)"),
};

// Worked cell by cell: full-width characters take two columns; term and number stand right-aligned in
// the cells 8-10 and 12-16, their headings over them.
const QString headings =
    QStringLiteral("         期  登番 級 出身   名前           よみがな       生年 生月 生日 血液");
const QString racer4321 =
    QStringLiteral("             4321    東京   試験太郎       シケンタロウ   1970 5    9    O");
const QString racer4322 =
    QStringLiteral("         85  4322 A1 北海道 見本一         ミホンハジメ   1965 12   31   AB");

QString pageHead(const QString& heading, int headingCells, const QString& title, int titleCells, int page) {
    return QString(10, QLatin1Char(' ')) + heading + QString(40 - 10 - headingCells, QLatin1Char(' ')) +
           title + QString(88 - 40 - titleCells + 1, QLatin1Char(' ')) + QString::number(page);
}

struct ReportDb {
    testsupport::ProgramDir dir = testsupport::copyOfProgramDir();
    ReportDb() { run(twoRacers); }
    void run(const QStringList& statements) const {
        const testsupport::DirectSql sql(dir.database());
        for (const QString& statement : statements)
            sql.exec(statement);
    }
};

// Sixty seed racers more on the extraction list, 62 in all.
const QString sixtyMore = QStringLiteral(
    "INSERT INTO T_選手抽出 SELECT 選手ID FROM T_選手 WHERE 選手ID >= 10000 ORDER BY 選手ID LIMIT 60");

} // namespace

class SensyuReportTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { testsupport::initGui(); }
    void extractionListPage();
    void racerLines_data();
    void racerLines();
    void kinds_data();
    void kinds();
    void nothingMatches();
    void sixtyTwoRacersThroughTheWindow();
    void reportOnPaper();
};

void SensyuReportTest::extractionListPage() {
    ReportDb data;
    Database db(data.dir.database());
    RecordingPrinter printer;
    QVERIFY(sensyureport::printRacerList(printer, db, {4, 0, 1}));
    QCOMPARE(printer.jobCount(), 1);
    QVERIFY(printer.ended(0));
    QCOMPARE(printer.pageCount(0), 1);
    const QStringList expected{
        pageHead(QStringLiteral("抽出テーブル一覧"), 16, QStringLiteral("競輪選手一覧表"), 14, 1),
        QString(),
        headings,
        QString(),
        racer4321,
        racer4322};
    QCOMPARE(printer.pageText(0), expected);
}

// One racer alone on the extraction list.
void SensyuReportTest::racerLines_data() {
    QTest::addColumn<QString>("racer"); // the values of T_選手, the number first
    QTest::addColumn<QString>("line");
    QTest::newRow("three-digit term, five-digit number")
        << QStringLiteral("10100, '大川一', 'オオカワハジメ', 'オ', 105, 'S1', 12, 1980, 4, 7, 1")
        << QStringLiteral("        105 10100 S1 東京   大川一         オオカワハジメ 1980 4    7    A");
    QTest::newRow("two-digit term, no grade")
        << QStringLiteral("10101, '見本二郎', 'ミホンジロウ', 'ミ', 83, NULL, 1, 1975, 12, 31, 4")
        << QStringLiteral("         83 10101    北海道 見本二郎       ミホンジロウ   1975 12   31   AB");
    // Seven full-width characters fill the 14 cells before the blank that ends the column.
    QTest::newRow("long name and reading")
        << QStringLiteral(
               "10102, '長谷川龍之介太郎', 'ハセガワリュウノスケ', 'ハ', 99, 'A3', 46, 1990, 1, 2, 2")
        << QStringLiteral("         99 10102 A3 鹿児島 長谷川龍之介太 ハセガワリュウ 1990 1    2    B");
}

void SensyuReportTest::racerLines() {
    QFETCH(QString, racer);
    QFETCH(QString, line);
    ReportDb data;
    data.run({QStringLiteral("INSERT INTO T_選手 VALUES (%1)").arg(racer),
              QStringLiteral("DELETE FROM T_選手抽出"),
              QStringLiteral("INSERT INTO T_選手抽出 VALUES (%1)").arg(racer.left(5))});
    Database db(data.dir.database());
    RecordingPrinter printer;
    QVERIFY(sensyureport::printRacerList(printer, db, {4, 0, 1}));
    QCOMPARE(printer.pageText(0).mid(2), (QStringList{headings, QString(), line}));
}

void SensyuReportTest::kinds_data() {
    QTest::addColumn<qint16>("mode");
    QTest::addColumn<qint16>("key");
    QTest::addColumn<QString>("head");
    QTest::addColumn<QString>("where"); // the racers the report lists

    QTest::newRow("prefecture") << qint16(0) << qint16(12)
                                << pageHead(QStringLiteral("出身地　東京"), 12,
                                            QStringLiteral("競輪選手一覧表"), 14, 1)
                                << QStringLiteral("所属ID = 12");
    QTest::newRow("number") << qint16(1) << qint16(4321)
                            << pageHead(QStringLiteral("登番　4321"), 10,
                                        QStringLiteral("競輪選手一覧表（登番別）"), 24, 1)
                            << QStringLiteral("選手ID = 4321");
    QTest::newRow("term") << qint16(2) << qint16(85)
                          << pageHead(QStringLiteral("期　85"), 6, QStringLiteral("競輪選手一覧表（期別）"),
                                      22, 1)
                          << QStringLiteral("期 = 85");
    // ｼ is button 11; the heading takes the first listed racer's initial.
    QTest::newRow("kana") << qint16(3) << qint16(11)
                          << pageHead(QStringLiteral("よみがな　シ"), 12,
                                      QStringLiteral("競輪選手一覧表（よみがな別）"), 28, 1)
                          << QStringLiteral("substr(よみがな, 1, 1) IN ('シ', 'し', 'ジ', 'じ', 'ｼ')");
}

// Every racer of the kind is printed, 61 to a page, on the racer view whatever the list showed.
void SensyuReportTest::kinds() {
    QFETCH(qint16, mode);
    QFETCH(qint16, key);
    QFETCH(QString, head);
    QFETCH(QString, where);
    ReportDb data;
    const int racers = testsupport::DirectSql(data.dir.database())
                           .count(QStringLiteral("SELECT COUNT(*) FROM T_選手 WHERE ") + where);
    QVERIFY(racers > 0);
    Database db(data.dir.database());
    RecordingPrinter printer;
    QVERIFY(sensyureport::printRacerList(printer, db, {mode, key, 0}));
    int printed = 0;
    for (int page = 0; page < printer.pageCount(0); ++page) {
        const QStringList lines = printer.pageText(0, page);
        QCOMPARE(lines.value(0), QString(head).chopped(1) + QString::number(page + 1));
        QCOMPARE(lines.value(2), headings);
        QVERIFY(lines.size() <= 4 + 61);
        printed += int(lines.size()) - 4;
    }
    QCOMPARE(printed, racers);
    // The lowest number comes first; 4321 has no term.
    QCOMPARE(printer.pageText(0).value(4), mode == 2 ? racer4322 : racer4321);
}

void SensyuReportTest::nothingMatches() {
    ReportDb data;
    Database db(data.dir.database());
    RecordingPrinter printer;
    QVERIFY(!sensyureport::printRacerList(printer, db, {0, 0, 0}));  // no prefecture 0
    QVERIFY(!sensyureport::printRacerList(printer, db, {0, 13, 1})); // nobody of 千葉 listed
    QCOMPARE(printer.jobCount(), 0);
}

// 62 racers on the extraction list: the 62nd starts page 2 under a new page head.
void SensyuReportTest::sixtyTwoRacersThroughTheWindow() {
    ReportDb data;
    data.run({sixtyMore});
    TestContext tc;
    tc.state.appPath = data.dir.path;
    tc.state.extractionMode = 1;
    SensyuSearchMemory memory;
    SensyuForm form(tc.context, memory);
    form.Command500_Click();
    tc.dialogs.answerYes();
    form.CommandDisp_Click(4);
    QCOMPARE(tc.dialogs.shown().size(), 1);
    QCOMPARE(tc.dialogs.shown().at(0).text, QStringLiteral("選手テーブルを印刷しますか。\r\n"));
    QCOMPARE(tc.dialogs.shown().at(0).title, QStringLiteral("選手テーブル印刷"));
    QCOMPARE(tc.printer.pageCount(0), 2);
    const QStringList first = tc.printer.pageText(0, 0);
    const QStringList second = tc.printer.pageText(0, 1);
    QCOMPARE(first.size(), 4 + 61);
    QCOMPARE(second.size(), 4 + 1);
    QCOMPARE(first.at(0),
             pageHead(QStringLiteral("抽出テーブル一覧"), 16, QStringLiteral("競輪選手一覧表"), 14, 1));
    QCOMPARE(second.at(0),
             pageHead(QStringLiteral("抽出テーブル一覧"), 16, QStringLiteral("競輪選手一覧表"), 14, 2));
    QCOMPARE(second.at(2), headings);
}

// The real back end: the PDF's text sits in the report's columns, page by page.
void SensyuReportTest::reportOnPaper() {
    ReportDb data;
    data.run({sixtyMore});
    AppState state;
    state.appPath = data.dir.path;
    Database db(data.dir.database());
    QStringList opened;
    ReportPrinter paper(
        state, [&](const QString& path) { opened << path; }, ReportPrinter::Target::PdfOnly);
    for (const auto& [request, picture] :
         {std::pair{sensyureport::ListRequest{0, 12, 0}, "SensyuForm-report"},
          std::pair{sensyureport::ListRequest{4, 0, 1}, "SensyuForm-report-page2"}}) {
        opened.clear();
        QVERIFY(sensyureport::printRacerList(paper, db, request));
        QCOMPARE(opened.size(), 1);
        QVERIFY(opened.first().startsWith(state.appPath + QStringLiteral("印刷/")));
        RecordingPrinter cells;
        QVERIFY(sensyureport::printRacerList(cells, db, request));
        QStringList printed;
        for (int page = 0; page < cells.pageCount(0); ++page)
            printed += cells.pageText(0, page);
        printed.removeIf([](const QString& line) { return line.trimmed().isEmpty(); });
        const QStringList lines = testsupport::pdfTextLines(opened.first());
        QCOMPARE(lines.size(), printed.size());
        // The text tool lays blanks out again by the ink, and a full-width character cut in half by the
        // next field leaves a gap on paper: compare each line's characters without the blanks.
        for (int i = 0; i < printed.size(); ++i) {
            const auto ink = [](QString line) {
                line.removeIf([](QChar ch) { return ch.isSpace(); });
                return line;
            };
            QCOMPARE(ink(lines.at(i)), ink(printed.at(i)));
        }
        const bool twoPages = request.searchMode == 4;
        testsupport::savePdfPicture(opened.first(), QString::fromLatin1(picture), twoPages ? 2 : 1);
    }
}

QTEST_MAIN(SensyuReportTest)
#include "SensyuReportTest.moc"
