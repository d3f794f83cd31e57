// The program's printer with a real cups-pdf queue: the document as sent (kept in the scheduler's
// spool) and the pages the queue made of it (through Ghostscript, whose fonts pdftotext cannot read).
// Run as root: it starts the scheduler when none runs and adds and removes a queue of its own.
#include "app/PrinterFactory.h"
#include "core/AppState.h"
#include "core/Errors.h"
#include "masters/SensyuFormReport.h"
#include "race/RaceReport.h"
#include "store/Database.h"
#include "support/DirectSql.h"
#include "support/Racers.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>
#include <QThread>

namespace {

const QString Queue = QStringLiteral("KorvaneTestPdf");
const QString Output = QStringLiteral("/var/spool/cups-pdf/KorvaneTest/");

QString outputOf(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    process.waitForFinished(60000);
    return QString::fromUtf8(process.readAll());
}

bool schedulerRunning() {
    return outputOf(QStringLiteral("lpstat"), {QStringLiteral("-r")}).contains(QStringLiteral("is running"));
}

// The file cups-pdf wrote, once the queue has no job left (a minute at most).
QString pageFile() {
    for (int i = 0; i < 600; ++i, QThread::msleep(100)) {
        const QStringList files = QDir(Output).entryList({QStringLiteral("*.pdf")}, QDir::Files);
        if (files.size() == 1 && outputOf(QStringLiteral("lpstat"), {QStringLiteral("-o"), Queue}).isEmpty())
            return Output + files.first();
    }
    return {};
}

// The document of the queue's last job as the program sent it.
QString sentDocument() {
    const QString jobs =
        outputOf(QStringLiteral("lpstat"),
                 {QStringLiteral("-W"), QStringLiteral("completed"), QStringLiteral("-o"), Queue});
    int last = 0;
    const QRegularExpression id(QStringLiteral("^%1-(\\d+)\\s").arg(Queue),
                                QRegularExpression::MultilineOption);
    for (auto match = id.globalMatch(jobs); match.hasNext();)
        last = std::max(last, match.next().captured(1).toInt());
    return QStringLiteral("/var/spool/cups/d%1-001").arg(last, 5, 10, QLatin1Char('0'));
}

// Each page's text lines with every blank taken out (the text tool spaces words by their ink).
QList<QStringList> pagesOf(const QString& pdf) {
    QList<QStringList> pages;
    const QString text =
        outputOf(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    for (const QString& page : text.split(QLatin1Char('\f')).mid(0, text.count(QLatin1Char('\f')))) {
        pages.append(page.split(QLatin1Char('\n')));
        for (QString& line : pages.last())
            line.remove(QRegularExpression(QStringLiteral("[\\s\\x{3000}]")));
        pages.last().removeAll(QString());
    }
    return pages;
}

// The pixel rows of the first page, at 50 dots per inch, that hold red ink.
QList<int> redRows(const QString& pdf) {
    outputOf(QStringLiteral("pdftoppm"), {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("50"),
                                          QStringLiteral("-singlefile"), pdf, pdf});
    const QImage image(pdf + QStringLiteral(".png"));
    QList<int> rows;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.red() > 180 && c.green() < 100 && c.blue() < 100) {
                rows << y;
                break;
            }
        }
    }
    return rows;
}

} // namespace

class CupsPrintTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase() { QProcess::execute(QStringLiteral("lpadmin"), {QStringLiteral("-x"), Queue}); }
    void reportsThroughTheQueue_data();
    void reportsThroughTheQueue();
    void printerProblems_data();
    void printerProblems();

private:
    void addQueue();

    testsupport::ProgramDir m_dir = testsupport::copyOfProgramDir();
    AppState m_state;
};

void CupsPrintTest::initTestCase() {
    testsupport::initGui();
    if (!schedulerRunning())
        QProcess::execute(QStringLiteral("cupsd"), {});
    for (int i = 0; i < 100 && !schedulerRunning(); ++i)
        QThread::msleep(100);
    QVERIFY2(schedulerRunning(), "the CUPS scheduler cannot be reached");
    // cups-pdf:/KorvaneTest reads cups-pdf-KorvaneTest.conf.
    QFile config(QStringLiteral("/etc/cups/cups-pdf-KorvaneTest.conf"));
    QVERIFY(config.open(QIODevice::WriteOnly) &&
            config.write((QStringLiteral("Out ") + Output).toUtf8()) > 0);
    config.close();
    addQueue();
    // The default printer of this program alone: other tests keep printing to files.
    qputenv("PRINTER", Queue.toUtf8());

    m_state.appPath = m_dir.path;
    // Two racers first on the extraction list, then sixty of the seed: 62 lines, two pages.
    testsupport::DirectSql(m_dir.database())
        .exec(QStringLiteral(
            "INSERT INTO T_選手 VALUES (4321, '試験太郎', 'シケンタロウ', 'シ', NULL, NULL, 12, "
            "1970, 5, 9, 3), (4322, '見本一', 'ミホンハジメ', 'ミ', 85, 'A1', 1, 1965, 12, 31, 4)"));
    testsupport::DirectSql(m_dir.database()).exec(QStringLiteral("DELETE FROM T_選手抽出"));
    testsupport::DirectSql(m_dir.database())
        .exec(QStringLiteral(
            "INSERT INTO T_選手抽出 SELECT 選手ID FROM T_選手 WHERE 選手ID IN (4321, 4322) OR "
            "選手ID IN (SELECT 選手ID FROM T_選手 WHERE 選手ID >= 10000 ORDER BY 選手ID LIMIT 60)"));
    // One racer far from zero in every cycle, one born on the survey date: 0.00 three times, in red.
    m_state.surveyDate = SurveyDate{1999, 8, 1};
    m_state.surveyVenue = QStringLiteral("青森");
    m_state.surveyRaceNo = 5;
    m_state.selectedPersons[0] =
        testsupport::slotOf({QStringLiteral("青森"), 4321, QStringLiteral("北村 一郎"), 85,
                             QDate(1965, 4, 10), QStringLiteral("A")});
    m_state.selectedPersons[1] =
        testsupport::slotOf({QStringLiteral("東京"), 4322, QStringLiteral("見本 二郎"), 99, QDate(1999, 8, 1),
                             QStringLiteral("B")});
}

void CupsPrintTest::addQueue() {
    QVERIFY(QDir(Output).removeRecursively() && QDir().mkpath(Output));
    QCOMPARE(QProcess::execute(QStringLiteral("lpadmin"),
                               {QStringLiteral("-p"), Queue, QStringLiteral("-E"), QStringLiteral("-v"),
                                QStringLiteral("cups-pdf:/KorvaneTest"), QStringLiteral("-P"),
                                QStringLiteral("/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd"),
                                QStringLiteral("-o"), QStringLiteral("PageSize=A4")}),
             0);
}

void CupsPrintTest::reportsThroughTheQueue_data() {
    QTest::addColumn<bool>("race"); // else the racer list
    QTest::addColumn<QStringList>("firstLines");
    QTest::addColumn<QString>("lastPageHead");
    QTest::addColumn<int>("pages");
    QTest::addColumn<bool>("red");
    QTest::newRow("race table")
        << true
        << QStringList{QStringLiteral("調査日：1999.8.1青森競輪第5レースバイオリズム表示"),
                       QStringLiteral("No.所属期名前生年生月生日血液型身体評価感情評価知性評価"),
                       QStringLiteral("1青森85北村一郎1965410A-5.11-1.56-8.17"),
                       QStringLiteral("2東京99見本二郎199981B0.000.000.00")}
        << QStringLiteral("調査日：1999.8.1青森競輪第5レースバイオリズム表示") << 1 << true;
    QTest::newRow("racer list, 62 racers")
        << false
        << QStringList{QStringLiteral("抽出テーブル一覧競輪選手一覧表1"),
                       QStringLiteral("期登番級出身名前よみがな生年生月生日血液"),
                       QStringLiteral("4321東京試験太郎シケンタロウ197059O"),
                       QStringLiteral("854322A1北海道見本一ミホンハジメ19651231AB")}
        << QStringLiteral("抽出テーブル一覧競輪選手一覧表2") << 2 << false;
}

void CupsPrintTest::reportsThroughTheQueue() {
    QFETCH(bool, race);
    QFETCH(QStringList, firstLines);
    QFETCH(QString, lastPageHead);
    QFETCH(int, pages);
    QFETCH(bool, red);
    QVERIFY(QDir(Output).removeRecursively() && QDir().mkpath(Output));
    ScriptedDialogs dialogs;
    const std::unique_ptr<Printer> printer = createPrinter(m_state, dialogs);
    Database db(m_dir.database());
    QVERIFY(race ? racereport::printRaceTable(*printer, m_state)
                 : sensyureport::printRacerList(*printer, db, {4, 0, 1}));
    QCOMPARE(dialogs.texts(), QStringList()); // no word of a PDF file
    const QString paper = pageFile();
    QVERIFY2(!paper.isEmpty(), "the queue wrote nothing");

    const QList<QStringList> sent = pagesOf(sentDocument());
    QCOMPARE(sent.size(), pages);
    QCOMPARE(sent.first().mid(0, firstLines.size()), firstLines);
    QCOMPARE(sent.last().value(0), lastPageHead);

    QCOMPARE(pagesOf(paper).size(), pages);
    const QString size = outputOf(QStringLiteral("pdfinfo"), {paper});
    QVERIFY2(size.contains(QStringLiteral("(A4)")), qPrintable(size));
    // Red on one line only, the row of zeros: a line is 1/6 inch, under 9 pixel rows.
    const QList<int> rows = redRows(paper);
    QCOMPARE(!rows.isEmpty(), red);
    QVERIFY(rows.isEmpty() || rows.last() - rows.first() < 9);
}

void CupsPrintTest::printerProblems_data() {
    QTest::addColumn<QStringList>("command"); // what happens to the queue
    QTest::addColumn<bool>("duringJob");      // after the job started, before it is sent
    QTest::addColumn<QString>("problem");
    QTest::newRow("stopped") << QStringList{QStringLiteral("cupsdisable")} << false
                             << QStringLiteral("は停止しています。");
    QTest::newRow("refusing jobs") << QStringList{QStringLiteral("cupsreject")} << false
                                   << QStringLiteral("は印刷を受け付けていません。");
    QTest::newRow("deleted during the job") << QStringList{QStringLiteral("lpadmin"), QStringLiteral("-x")}
                                            << true << QStringLiteral("が見つかりません。");
}

void CupsPrintTest::printerProblems() {
    QFETCH(QStringList, command);
    QFETCH(bool, duringJob);
    QFETCH(QString, problem);
    ScriptedDialogs dialogs;
    const std::unique_ptr<Printer> printer = createPrinter(m_state, dialogs);
    const auto breakQueue = [&] { QCOMPARE(QProcess::execute(command.first(), command.mid(1) << Queue), 0); };
    QString description;
    try {
        if (!duringJob)
            breakQueue();
        auto job = printer->startJob(QStringLiteral("印刷試験"));
        job->printText(QStringLiteral("x"));
        if (duringJob)
            breakQueue();
        job->endJob();
    } catch (const KorvaneError& error) {
        QCOMPARE(error.number(), ErrorNumber::PrinterError);
        description = error.description();
    }
    addQueue(); // a queue that works again, for the next case
    QCOMPARE(description, QStringLiteral("プリンタに問題があります。\rプリンタ 'KorvaneTestPdf' ") + problem);
}

QTEST_MAIN(CupsPrintTest)
#include "CupsPrintTest.moc"
