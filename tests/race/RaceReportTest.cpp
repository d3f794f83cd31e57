#include "race/RaceReport.h"
#include "core/AppState.h"
#include "core/Errors.h"
#include "records/Biorhythm.h"
#include "shell/ReportPrinter.h"
#include "support/Racers.h"
#include "support/TestSupport.h"

#include <QDate>
#include <QTemporaryDir>
#include <QTest>

namespace {

// A printed line built cell by cell, as a character printer would lay the items down:
// full-width characters take two columns, later items overwrite earlier ones.
class ExpectedLine {
public:
    ExpectedLine& at(int column, const QString& text) {
        for (QChar ch : text) {
            const bool half = ch.unicode() < 0x80 || (ch.unicode() >= 0xFF61 && ch.unicode() <= 0xFF9F);
            const int width = half ? 1 : 2;
            while (m_cells.size() < column + width)
                m_cells.append(QLatin1Char(' '));
            m_cells[column] = ch;
            if (width == 2)
                m_cells[column + 1] = QChar(0);
            column += width;
        }
        return *this;
    }
    QString text() const {
        QString result;
        for (QChar ch : m_cells) {
            if (!ch.isNull())
                result += ch;
        }
        while (result.endsWith(QLatin1Char(' ')))
            result.chop(1);
        return result;
    }

private:
    QList<QChar> m_cells;
};

using testsupport::slotOf;

QString headingLine() {
    return ExpectedLine()
        .at(10, QStringLiteral("No."))
        .at(13, QStringLiteral("所属"))
        .at(21, QStringLiteral("期"))
        .at(26, QStringLiteral("名前"))
        .at(40, QStringLiteral("生年"))
        .at(46, QStringLiteral("生月"))
        .at(52, QStringLiteral("生日"))
        .at(58, QStringLiteral("血液型"))
        .at(66, QStringLiteral("身体評価"))
        .at(76, QStringLiteral("感情評価"))
        .at(86, QStringLiteral("知性評価"))
        .text();
}

} // namespace

class RaceReportTest : public QObject {
    Q_OBJECT

private slots:
    void titleLine();
    void oneRacer();
    void nineRacers();
    void nineRacersOnPaper();
    void rowColours_data();
    void rowColours();
    void noRacerPrintsNothing();
    void failingPrinterThrows();
    void rowCountStopsAtFirstEmptyAffiliation_data();
    void rowCountStopsAtFirstEmptyAffiliation();
};

void RaceReportTest::titleLine() {
    AppState state;
    state.surveyDate = SurveyDate{1999, 12, 8};
    state.surveyVenue = QStringLiteral("青森");
    state.surveyRaceNo = 5;
    QCOMPARE(racereport::reportTitle(state),
             QStringLiteral("調査日： 1999. 12. 8  青森競輪  第5レース    バイオリズム表示"));
    state.surveyVenue.clear();
    state.surveyRaceNo = 12;
    QCOMPARE(racereport::reportTitle(state),
             QStringLiteral("調査日： 1999. 12. 8  競輪  第12レース    バイオリズム表示"));
}

void RaceReportTest::oneRacer() {
    AppState state;
    state.surveyDate = SurveyDate{1999, 8, 1};
    state.surveyVenue = QStringLiteral("青森");
    state.surveyRaceNo = 5;
    state.selectedPersons[0] = slotOf({QStringLiteral("青森"), 4321, QStringLiteral("北村 一郎"), 85,
                                       QDate(1965, 4, 10), QStringLiteral("A")});
    RecordingPrinter printer;
    QVERIFY(racereport::printRaceTable(printer, state));
    QCOMPARE(printer.jobCount(), 1);
    QVERIFY(printer.ended(0));
    QCOMPARE(printer.pageCount(0), 1);
    // Values -5.105, -1.557 and -8.166 cut towards minus infinity.
    const QString row = ExpectedLine()
                            .at(10, QStringLiteral(" 1 "))
                            .at(13, QStringLiteral("青森    "))
                            .at(21, QStringLiteral(" 85 "))
                            .at(26, QStringLiteral("北村 一郎").leftJustified(22))
                            .at(40, QStringLiteral(" 1965 "))
                            .at(46, QStringLiteral(" 4 "))
                            .at(52, QStringLiteral(" 10 "))
                            .at(58, QStringLiteral("A"))
                            .at(66, QStringLiteral("-5.11"))
                            .at(76, QStringLiteral("-1.56"))
                            .at(86, QStringLiteral("-8.17"))
                            .text();
    const QStringList expected = {
        QStringLiteral("          調査日： 1999. 8. 1  青森競輪  第5レース    バイオリズム表示"), QString(),
        headingLine(), QString(), row};
    QCOMPARE(printer.pageText(0), expected);
    // All black: every value lies outside -1..1.
    QVERIFY(!printer.lineColors(0, 0, 4).contains(QLatin1Char('R')));
}

void RaceReportTest::nineRacers() {
    AppState state;
    state.surveyDate = SurveyDate{2000, 3, 1};
    state.surveyVenue = QStringLiteral("前橋");
    state.surveyRaceNo = 11;
    for (int k = 0; k < 9; ++k) {
        state.selectedPersons[k] =
            slotOf({QStringLiteral("群馬"), 100 + k, QStringLiteral("選手%1").arg(k + 1), 60 + k,
                    QDate(1970 + k, 1 + k, 1 + 3 * k), QStringLiteral("O")});
    }
    // Slot 9 belongs to nobody's race: it is never printed.
    state.selectedPersons[9] = slotOf(
        {QStringLiteral("東京"), 999, QStringLiteral("余分"), 1, QDate(1980, 1, 1), QStringLiteral("B")});
    RecordingPrinter printer;
    QVERIFY(racereport::printRaceTable(printer, state));
    QCOMPARE(printer.pageCount(0), 1);
    const QStringList lines = printer.pageText(0);
    QCOMPARE(lines.size(), 4 + 9 * 2 - 1);
    for (int k = 0; k < 9; ++k) {
        const QString row = lines.at(4 + 2 * k);
        QCOMPARE(row.left(13), QStringLiteral("           %1 ").arg(k + 1));
        QVERIFY(row.contains(QStringLiteral("選手%1").arg(k + 1)));
        if (k < 8)
            QVERIFY(lines.at(5 + 2 * k).isEmpty());
    }
    QVERIFY(!lines.join(QLatin1Char('\n')).contains(QStringLiteral("余分")));
}

// The same race through the real back end: a PDF page whose text sits in the report's columns.
void RaceReportTest::nineRacersOnPaper() {
    QTemporaryDir dir;
    AppState state;
    state.appPath = dir.path() + QLatin1Char('/');
    state.surveyDate = SurveyDate{1999, 12, 8};
    state.surveyVenue = QStringLiteral("青森");
    state.surveyRaceNo = 5;
    for (int k = 0; k < 9; ++k) {
        state.selectedPersons[k] =
            slotOf({QStringLiteral("青森"), 10100 + k, QStringLiteral("見本%1郎").arg(k + 1), 70 + k,
                    QDate(1965 + k, 4, 10 + k), QStringLiteral("AB")});
    }
    QStringList opened;
    ReportPrinter paper(
        state, [&](const QString& path) { opened << path; }, ReportPrinter::Target::PdfOnly);
    QVERIFY(racereport::printRaceTable(paper, state));
    QCOMPARE(opened.size(), 1);
    QVERIFY(opened.first().startsWith(state.appPath + QStringLiteral("印刷/")));

    RecordingPrinter cells;
    QVERIFY(racereport::printRaceTable(cells, state));
    const QStringList expected = cells.pageText(0);

    const QStringList lines = testsupport::pdfTextLines(opened.first());
    QStringList printed = expected;
    printed.removeIf([](const QString& line) { return line.trimmed().isEmpty(); });
    QCOMPARE(lines.size(), printed.size());
    // The text tool lays words out again by their ink, so compare the words line by line.
    for (int i = 0; i < printed.size(); ++i) {
        const QStringList want = printed.at(i).split(QLatin1Char(' '), Qt::SkipEmptyParts);
        const QStringList got = lines.at(i).split(QLatin1Char(' '), Qt::SkipEmptyParts);
        QCOMPARE(got.join(QLatin1Char(' ')).remove(QChar(0x3000)),
                 want.join(QLatin1Char(' ')).remove(QChar(0x3000)));
    }

    testsupport::savePdfPicture(opened.first(), QStringLiteral("DispForm-report"));
}

void RaceReportTest::rowColours_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("printed");
    QTest::addColumn<bool>("red");
    QTest::newRow("0.999 cut to 0.99, red") << 0.999 << QStringLiteral("0.99") << true;
    QTest::newRow("-0.995 cut to -1.00, black") << -0.995 << QStringLiteral("-1.00") << false;
    QTest::newRow("exactly 1, black") << 1.0 << QStringLiteral("1.00") << false;
    QTest::newRow("zero, red") << 0.0 << QStringLiteral("0.00") << true;
    QTest::newRow("-0.99, red") << -0.99 << QStringLiteral("-0.99") << true;
    QTest::newRow("1.239 cut to 1.23, black") << 1.239 << QStringLiteral("1.23") << false;
}

void RaceReportTest::rowColours() {
    QFETCH(double, value);
    QFETCH(QString, printed);
    QFETCH(bool, red);
    // Half-width texts only, so that string positions are print columns.
    const PersonSlot person = slotOf(
        {QStringLiteral("Aomori"), 1, QStringLiteral("Test"), 70, QDate(1970, 1, 1), QStringLiteral("AB")});
    RecordingPrinter printer;
    auto job = printer.startJob(QStringLiteral("t"));
    // The value in each of the three columns, with a black neighbour on each side.
    racereport::printRaceRow(*job, 2, person, bio::Evaluations{value, 3.0, value});
    job->setColumn(96);
    job->printText(QStringLiteral("X"));
    const QString line = printer.pageText(0).first();
    QCOMPARE(line.mid(66, printed.size()), printed);
    QCOMPARE(line.mid(76, 4), QStringLiteral("3.00"));
    QCOMPARE(line.mid(86, printed.size()), printed);
    const QString colours = printer.lineColors(0, 0, 0);
    const QChar mark = red ? QLatin1Char('R') : QLatin1Char('B');
    QCOMPARE(colours.mid(66, printed.size()), QString(printed.size(), mark));
    QCOMPARE(colours.mid(76, 4), QStringLiteral("BBBB"));
    QCOMPARE(colours.mid(86, printed.size()), QString(printed.size(), mark));
    // An empty line follows the row, and the colour is back to black for what comes next.
    QCOMPARE(printer.pageText(0).size(), 3);
    QVERIFY(printer.pageText(0).at(1).isEmpty());
    QCOMPARE(printer.lineColors(0, 0, 2).mid(96), QStringLiteral("B"));
}

void RaceReportTest::noRacerPrintsNothing() {
    AppState state;
    state.surveyDate = SurveyDate{1999, 12, 8};
    state.selectedPersons[1] = slotOf(
        {QStringLiteral("青森"), 1, QStringLiteral("二番目"), 70, QDate(1970, 1, 1), QStringLiteral("A")});
    RecordingPrinter printer;
    QVERIFY(!racereport::printRaceTable(printer, state));
    QCOMPARE(printer.jobCount(), 0);
}

void RaceReportTest::failingPrinterThrows() {
    AppState state;
    state.surveyDate = SurveyDate{1999, 12, 8};
    state.selectedPersons[0] = slotOf(
        {QStringLiteral("青森"), 1, QStringLiteral("一番"), 70, QDate(1970, 1, 1), QStringLiteral("A")});
    RecordingPrinter printer;
    printer.failNextJob();
    int number = 0;
    try {
        racereport::printRaceTable(printer, state);
    } catch (const KorvaneError& error) {
        number = error.number();
    }
    QCOMPARE(number, ErrorNumber::PrinterError);
}

void RaceReportTest::rowCountStopsAtFirstEmptyAffiliation_data() {
    QTest::addColumn<QList<bool>>("filled");
    QTest::addColumn<int>("rows");
    QTest::newRow("none") << QList<bool>{} << 0;
    QTest::newRow("five") << QList<bool>{true, true, true, true, true} << 5;
    QTest::newRow("gap after two") << QList<bool>{true, true, false, true} << 2;
    QTest::newRow("all ten filled") << QList<bool>(10, true) << 9;
}

void RaceReportTest::rowCountStopsAtFirstEmptyAffiliation() {
    QFETCH(QList<bool>, filled);
    QFETCH(int, rows);
    AppState state;
    for (int k = 0; k < filled.size(); ++k) {
        if (filled[k])
            state.selectedPersons[k].affiliation = QStringLiteral("青森    ");
    }
    QCOMPARE(racereport::raceRowCount(state), rows);
}

QTEST_MAIN(RaceReportTest)
#include "RaceReportTest.moc"
