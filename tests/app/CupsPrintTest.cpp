// The program's printer with a real CUPS queue of cups-pdf: what it put on paper (passed through
// Ghostscript, whose fonts the text tool cannot read) and the document as the program sent it, which
// the scheduler keeps in its spool. Run as root: it starts the scheduler when none runs and adds and
// removes a queue of its own.
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

struct Run {
    int code = -1;
    QString output;
};

Run run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(60000))
        return {};
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAll())};
}

bool schedulerRunning() {
    return run(QStringLiteral("lpstat"), {QStringLiteral("-r")})
        .output.contains(QStringLiteral("is running"));
}

// The files the queue wrote, once it has no job left (a minute at most).
QStringList queueOutput() {
    for (int i = 0; i < 600; ++i) {
        const bool idle =
            run(QStringLiteral("lpstat"), {QStringLiteral("-o"), Queue}).output.trimmed().isEmpty();
        QStringList files = QDir(Output).entryList({QStringLiteral("*.pdf")}, QDir::Files);
        if (idle && !files.isEmpty()) {
            for (QString& file : files)
                file.prepend(Output);
            return files;
        }
        QThread::msleep(100);
    }
    return {};
}

// The document of the queue's last job as the program sent it.
QString lastJobDocument() {
    const Run jobs = run(QStringLiteral("lpstat"),
                         {QStringLiteral("-W"), QStringLiteral("completed"), QStringLiteral("-o"), Queue});
    int last = 0;
    const QRegularExpression id(QStringLiteral("^%1-(\\d+)\\s").arg(Queue),
                                QRegularExpression::MultilineOption);
    for (auto match = id.globalMatch(jobs.output); match.hasNext();)
        last = std::max(last, match.next().captured(1).toInt());
    return QStringLiteral("/var/spool/cups/d%1-001").arg(last, 5, 10, QLatin1Char('0'));
}

// The text lines of a page with every blank taken out: the text tool spaces words by their ink.
QStringList packedLines(const QString& pdf, int page) {
    const Run text = run(QStringLiteral("pdftotext"),
                         {QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"),
                          QString::number(page), QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    QStringList lines;
    for (QString line : text.output.split(QLatin1Char('\n'))) {
        line.remove(QRegularExpression(QStringLiteral("[\\s\\x{3000}]")));
        if (!line.isEmpty())
            lines << line;
    }
    return lines;
}

QString pdfInfo(const QString& pdf, const QString& field) {
    const QRegularExpression pattern(QStringLiteral("^%1:\\s*(.*)$").arg(field),
                                     QRegularExpression::MultilineOption);
    return pattern.match(run(QStringLiteral("pdfinfo"), {pdf}).output).captured(1).trimmed();
}

// The pixel rows of the first page (at 50 dots per inch) that hold red ink.
QList<int> redRows(const QString& pdf) {
    const QString picture = pdf + QStringLiteral("-page");
    run(QStringLiteral("pdftoppm"), {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("50"),
                                     QStringLiteral("-singlefile"), pdf, picture});
    const QImage image(picture + QStringLiteral(".png"));
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

enum class Report { Race, RacerList };

} // namespace

class CupsPrintTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void reportsThroughTheQueue_data();
    void reportsThroughTheQueue();
    void printerProblems_data();
    void printerProblems();

private:
    void addQueue();

    testsupport::ProgramDir m_dir;
    AppState m_state;
};

void CupsPrintTest::initTestCase() {
    testsupport::initGui();
    if (!schedulerRunning()) {
        QProcess::execute(QStringLiteral("cupsd"), {});
        for (int i = 0; i < 100 && !schedulerRunning(); ++i)
            QThread::msleep(100);
    }
    QVERIFY2(schedulerRunning(), "the CUPS scheduler cannot be reached");
    addQueue();
    // The queue stands as the default printer for this program alone: other tests print to files.
    qputenv("PRINTER", Queue.toUtf8());

    m_dir = testsupport::copyOfProgramDir();
    m_state.appPath = m_dir.path;
    // Two racers first on the extraction list, then sixty of the seed: 62 lines, two pages.
    const testsupport::DirectSql sql(m_dir.database());
    sql.exec(QStringLiteral(
        "INSERT INTO T_選手 VALUES (4321, '試験太郎', 'シケンタロウ', 'シ', NULL, NULL, 12, 1970, 5, 9, 3)"));
    sql.exec(QStringLiteral(
        "INSERT INTO T_選手 VALUES (4322, '見本一', 'ミホンハジメ', 'ミ', 85, 'A1', 1, 1965, 12, 31, 4)"));
    sql.exec(QStringLiteral("DELETE FROM T_選手抽出"));
    sql.exec(QStringLiteral("INSERT INTO T_選手抽出 VALUES (4321), (4322)"));
    sql.exec(QStringLiteral(
        "INSERT INTO T_選手抽出 SELECT 選手ID FROM T_選手 WHERE 選手ID >= 10000 ORDER BY 選手ID LIMIT 60"));

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
    QDir(Output).removeRecursively();
    QVERIFY(QDir().mkpath(Output));
    // cups-pdf:/KorvaneTest reads cups-pdf-KorvaneTest.conf.
    QFile config(QStringLiteral("/etc/cups/cups-pdf-KorvaneTest.conf"));
    QVERIFY(config.open(QIODevice::WriteOnly));
    config.write((QStringLiteral("Out ") + Output + QLatin1Char('\n')).toUtf8());
    config.close();
    const Run added = run(QStringLiteral("lpadmin"),
                          {QStringLiteral("-p"), Queue, QStringLiteral("-E"), QStringLiteral("-v"),
                           QStringLiteral("cups-pdf:/KorvaneTest"), QStringLiteral("-P"),
                           QStringLiteral("/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd"), QStringLiteral("-o"),
                           QStringLiteral("PageSize=A4")});
    QVERIFY2(added.code == 0, qPrintable(added.output));
}

void CupsPrintTest::cleanupTestCase() {
    run(QStringLiteral("lpadmin"), {QStringLiteral("-x"), Queue});
    QFile::remove(QStringLiteral("/etc/cups/cups-pdf-KorvaneTest.conf"));
    QDir(Output).removeRecursively();
}

void CupsPrintTest::reportsThroughTheQueue_data() {
    QTest::addColumn<int>("report");
    QTest::addColumn<int>("pages");
    QTest::addColumn<QStringList>("firstLines"); // the first lines of page 1, blanks taken out
    QTest::addColumn<QString>("lastPageHead");
    QTest::addColumn<bool>("red");

    QTest::newRow("race table")
        << int(Report::Race) << 1
        << QStringList{QStringLiteral("調査日：1999.8.1青森競輪第5レースバイオリズム表示"),
                       QStringLiteral("No.所属期名前生年生月生日血液型身体評価感情評価知性評価"),
                       QStringLiteral("1青森85北村一郎1965410A-5.11-1.56-8.17"),
                       QStringLiteral("2東京99見本二郎199981B0.000.000.00")}
        << QStringLiteral("調査日：1999.8.1青森競輪第5レースバイオリズム表示") << true;
    QTest::newRow("racer list, 62 racers")
        << int(Report::RacerList) << 2
        << QStringList{QStringLiteral("抽出テーブル一覧競輪選手一覧表1"),
                       QStringLiteral("期登番級出身名前よみがな生年生月生日血液"),
                       QStringLiteral("4321東京試験太郎シケンタロウ197059O"),
                       QStringLiteral("854322A1北海道見本一ミホンハジメ19651231AB")}
        << QStringLiteral("抽出テーブル一覧競輪選手一覧表2") << false;
}

void CupsPrintTest::reportsThroughTheQueue() {
    QFETCH(int, report);
    QFETCH(int, pages);
    QFETCH(QStringList, firstLines);
    QFETCH(QString, lastPageHead);
    QFETCH(bool, red);
    QDir(Output).removeRecursively();
    QVERIFY(QDir().mkpath(Output));

    // The program's own printer, as the windows get it.
    ScriptedDialogs dialogs;
    const std::unique_ptr<Printer> printer = createPrinter(m_state, dialogs);
    if (static_cast<Report>(report) == Report::Race) {
        QVERIFY(racereport::printRaceTable(*printer, m_state));
    } else {
        Database db(m_dir.database());
        QVERIFY(sensyureport::printRacerList(*printer, db, {4, 0, 1}));
    }
    // Sent to the queue: no word of a PDF file.
    QCOMPARE(dialogs.texts(), QStringList());
    const QStringList paper = queueOutput();
    QCOMPARE(paper.size(), 1);

    // The document as sent: its text.
    const QString sent = lastJobDocument();
    QVERIFY2(QFile::exists(sent), qPrintable(sent + QStringLiteral(": the scheduler kept no job file")));
    QCOMPARE(packedLines(sent, 1).mid(0, firstLines.size()), firstLines);
    QCOMPARE(packedLines(sent, pages).value(0), lastPageHead);

    // What the PDF printer put on paper: pages, A4, and red only on the row of zeros.
    QCOMPARE(pdfInfo(paper.first(), QStringLiteral("Pages")), QString::number(pages));
    QVERIFY2(pdfInfo(paper.first(), QStringLiteral("Page size")).contains(QStringLiteral("(A4)")),
             qPrintable(pdfInfo(paper.first(), QStringLiteral("Page size"))));
    const QList<int> rows = redRows(paper.first());
    QCOMPARE(!rows.isEmpty(), red);
    // One line of text is 1/6 inch, under 9 pixel rows at 50 dots per inch.
    if (red)
        QVERIFY2(rows.last() - rows.first() < 9,
                 qPrintable(QStringLiteral("red from row %1 to %2").arg(rows.first()).arg(rows.last())));
}

void CupsPrintTest::printerProblems_data() {
    QTest::addColumn<QString>("command"); // what happens to the queue
    QTest::addColumn<bool>("duringJob");  // after the job started, before it is sent
    QTest::addColumn<QString>("message");
    QTest::newRow("queue stopped")
        << QStringLiteral("cupsdisable") << false
        << QStringLiteral("プリンタに問題があります。\rプリンタ 'KorvaneTestPdf' は停止しています。");
    QTest::newRow("queue refusing jobs")
        << QStringLiteral("cupsreject") << false
        << QStringLiteral(
               "プリンタに問題があります。\rプリンタ 'KorvaneTestPdf' は印刷を受け付けていません。");
    QTest::newRow("queue stopped during the job")
        << QStringLiteral("cupsdisable") << true
        << QStringLiteral("プリンタに問題があります。\rプリンタ 'KorvaneTestPdf' は停止しています。");
    QTest::newRow("printer deleted during the job")
        << QStringLiteral("lpadmin -x") << true
        << QStringLiteral("プリンタに問題があります。\rプリンタ 'KorvaneTestPdf' が見つかりません。");
}

void CupsPrintTest::printerProblems() {
    QFETCH(QString, command);
    QFETCH(bool, duringJob);
    QFETCH(QString, message);
    ScriptedDialogs dialogs;
    const std::unique_ptr<Printer> printer = createPrinter(m_state, dialogs);
    const QStringList words = command.split(QLatin1Char(' '));
    const auto breakQueue = [&] { QCOMPARE(run(words.first(), words.mid(1) << Queue).code, 0); };
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
    // A queue that works again, for the next case.
    run(QStringLiteral("lpadmin"), {QStringLiteral("-x"), Queue});
    addQueue();
    QCOMPARE(description, message);
    QCOMPARE(dialogs.texts(), QStringList());
}

QTEST_MAIN(CupsPrintTest)
#include "CupsPrintTest.moc"
