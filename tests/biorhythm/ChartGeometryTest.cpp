#include "biorhythm/ChartGeometry.h"
#include "core/AppState.h"
#include "core/Errors.h"

#include <QDate>
#include <QTest>

Q_DECLARE_METATYPE(SurveyDate)

namespace {

PersonSlot personBorn(int year, int month, int day) {
    PersonSlot p;
    p.affiliation = QStringLiteral("青森    ");
    p.name = QStringLiteral("試験 太郎");
    p.birthYear = static_cast<qint16>(year);
    p.birthMonth = static_cast<qint16>(month);
    p.birthDay = static_cast<qint16>(day);
    return p;
}

SurveyDate date(int y, int m, int d) {
    return SurveyDate{static_cast<qint16>(y), static_cast<qint16>(m), static_cast<qint16>(d)};
}

// The glyph columns' left edges in pixels, first to last.
const int overviewLefts[13] = {8, 21, 35, 48, 61, 75, 88, 101, 115, 128, 141, 155, 168};

// Glyph tops of the thirteen columns, one list per cycle (23, 28, 33 days).
using Tops = QList<QList<int>>;

} // namespace

class ChartGeometryTest : public QObject {
    Q_OBJECT

private slots:
    void overviewPositions_data();
    void overviewPositions();
    void overviewColumns_data();
    void overviewColumns();
    void earlySurveyDayUsesPreviousMonth_data();
    void earlySurveyDayUsesPreviousMonth();
    void bornOnSurveyDateSitsOnZeroLine();
    void detailPositions_data();
    void detailPositions();
    void gridLinesRunThroughMarkers();
    void stepping_data();
    void stepping();
    void steppingOverflowRaises();
    void shiftedDayOverflowRaises();
    void centreDayMessage_data();
    void centreDayMessage();
};

void ChartGeometryTest::overviewPositions_data() {
    QTest::addColumn<double>("sine");
    QTest::addColumn<int>("y");
    QTest::newRow("top") << 1.0 << 1;
    QTest::newRow("zero line") << 0.0 << 51;
    QTest::newRow("bottom") << -1.0 << 101;
    QTest::newRow("half up") << 0.5 << 26;
    // (1 - 0.4) * 750 + 20 = 470 twips, 31.33 pixels
    QTest::newRow("0.4") << 0.4 << 31;
}

void ChartGeometryTest::overviewPositions() {
    QFETCH(double, sine);
    QFETCH(int, y);
    QCOMPARE(chart::overviewY(sine), y);
}

void ChartGeometryTest::overviewColumns_data() {
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("x");
    QTest::newRow("first") << 0 << 8;   // 120 / 15
    QTest::newRow("second") << 1 << 21; // 320 / 15 = 21.33
    QTest::newRow("centre") << 6 << 88; // 1320 / 15
    QTest::newRow("ninth") << 8 << 115; // 1720 / 15 = 114.67
    QTest::newRow("last") << 12 << 168; // 2520 / 15
}

void ChartGeometryTest::overviewColumns() {
    QFETCH(int, column);
    QFETCH(int, x);
    QCOMPARE(chart::overviewX(column), x);
}

void ChartGeometryTest::earlySurveyDayUsesPreviousMonth_data() {
    QTest::addColumn<SurveyDate>("survey");
    QTest::addColumn<QDate>("birth");
    QTest::addColumn<Tops>("tops");
    // Worked out once, outside the program, from the 23/28/33-day cycles and the calendar days of
    // the thirteen columns (the survey day and six days either side).
    QTest::newRow("1 March 1999") << date(1999, 3, 1) << QDate(1965, 4, 10)
                                  << Tops{{77, 65, 51, 38, 25, 15, 7, 2, 1, 4, 10, 20, 31},
                                          {90, 83, 73, 62, 51, 40, 30, 20, 12, 6, 3, 1, 3},
                                          {78, 70, 61, 51, 42, 33, 24, 17, 11, 6, 3, 1, 2}};
    QTest::newRow("3 March 2000 (leap)") << date(2000, 3, 3) << QDate(1971, 12, 30)
                                         << Tops{{7, 2, 1, 4, 10, 20, 31, 45, 58, 71, 83, 92, 98},
                                                 {6, 12, 20, 30, 40, 51, 62, 73, 83, 90, 96, 100, 101},
                                                 {95, 99, 101, 101, 100, 97, 92, 86, 78, 70, 61, 51, 42}};
    QTest::newRow("2 January 1999") << date(1999, 1, 2) << QDate(1958, 2, 14)
                                    << Tops{{65, 51, 38, 25, 15, 7, 2, 1, 4, 10, 20, 31, 45},
                                            {30, 20, 12, 6, 3, 1, 3, 6, 12, 20, 30, 40, 51},
                                            {4, 8, 14, 20, 28, 37, 47, 56, 65, 74, 82, 89, 95}};
    QTest::newRow("6 May 2001") << date(2001, 5, 6) << QDate(1980, 7, 31)
                                << Tops{{45, 58, 71, 83, 92, 98, 101, 100, 96, 88, 77, 65, 51},
                                        {90, 96, 100, 101, 100, 96, 90, 83, 73, 62, 51, 40, 30},
                                        {89, 95, 99, 101, 101, 100, 97, 92, 86, 78, 70, 61, 51}};
    QTest::newRow("1 August before birth") << date(1960, 8, 1) << QDate(1965, 4, 10)
                                           << Tops{{1, 4, 10, 20, 31, 45, 58, 71, 83, 92, 98, 101, 100},
                                                   {83, 90, 96, 100, 101, 100, 96, 90, 83, 73, 62, 51, 40},
                                                   {78, 70, 61, 51, 42, 33, 24, 17, 11, 6, 3, 1, 2}};
}

void ChartGeometryTest::earlySurveyDayUsesPreviousMonth() {
    QFETCH(SurveyDate, survey);
    QFETCH(QDate, birth);
    QFETCH(Tops, tops);
    const PersonSlot person = personBorn(birth.year(), birth.month(), birth.day());
    for (int column = 0; column < chart::OverviewDays; ++column) {
        const auto glyphs = chart::overviewGlyphs(survey, column, person);
        for (std::size_t k = 0; k < 3; ++k) {
            QCOMPARE(glyphs[k].cycle, chart::Cycles[k]);
            QCOMPARE(glyphs[k].topLeft, QPoint(overviewLefts[column], tops.at(qsizetype(k)).at(column)));
        }
    }
}

void ChartGeometryTest::bornOnSurveyDateSitsOnZeroLine() {
    const PersonSlot person = personBorn(1999, 12, 8);
    const auto glyphs = chart::overviewGlyphs(date(1999, 12, 8), chart::OverviewCentre, person);
    for (const chart::Glyph& glyph : glyphs)
        QCOMPARE(glyph.topLeft, QPoint(88, 51));
    // The day before, every cycle is below the line; the day after, above it.
    for (const chart::Glyph& glyph : chart::overviewGlyphs(date(1999, 12, 8), 5, person))
        QVERIFY(glyph.topLeft.y() > 51);
    for (const chart::Glyph& glyph : chart::overviewGlyphs(date(1999, 12, 8), 7, person))
        QVERIFY(glyph.topLeft.y() < 51);
}

void ChartGeometryTest::detailPositions_data() {
    QTest::addColumn<double>("sine");
    QTest::addColumn<double>("top");
    QTest::newRow("top") << 1.0 << 16.0;
    QTest::newRow("zero line") << 0.0 << 159.75;
    QTest::newRow("bottom") << -1.0 << 303.5;
}

void ChartGeometryTest::detailPositions() {
    QFETCH(double, sine);
    QFETCH(double, top);
    QCOMPARE(chart::detailTop(sine), top);
}

void ChartGeometryTest::gridLinesRunThroughMarkers() {
    QCOMPARE(chart::detailLeft(0), 31.25);   // 260 / 16 + 15
    QCOMPARE(chart::detailLeft(10), 268.75); // centred on the centre-day line at 280
    QCOMPARE(chart::detailLeft(20), 506.25);
    QCOMPARE(chart::gridLineX(1), 42.5);
    QCOMPARE(chart::gridLineX(21), 517.5);
    for (int line = 1; line <= chart::DetailDays; ++line)
        QCOMPARE(chart::gridLineX(line), chart::detailLeft(line - 1) + 11.25);
}

void ChartGeometryTest::stepping_data() {
    QTest::addColumn<int>("step"); // 0 previous month, 1 previous day, 2 next day, 3 next month
    QTest::addColumn<SurveyDate>("from");
    QTest::addColumn<SurveyDate>("to");
    QTest::newRow("31 Mar 1999 back a month") << 0 << date(1999, 3, 31) << date(1999, 2, 28);
    QTest::newRow("31 Mar 2000 back a month") << 0 << date(2000, 3, 31) << date(2000, 2, 29);
    QTest::newRow("31 May back a month") << 0 << date(1999, 5, 31) << date(1999, 4, 30);
    QTest::newRow("31 Aug back a month keeps 31") << 0 << date(1999, 8, 31) << date(1999, 7, 31);
    QTest::newRow("15 Jan back a month") << 0 << date(2000, 1, 15) << date(1999, 12, 15);
    QTest::newRow("31 Jan 1999 forward a month") << 3 << date(1999, 1, 31) << date(1999, 2, 28);
    QTest::newRow("31 Jan 2000 forward a month") << 3 << date(2000, 1, 31) << date(2000, 2, 29);
    QTest::newRow("31 Oct forward a month") << 3 << date(1999, 10, 31) << date(1999, 11, 30);
    QTest::newRow("20 Dec forward a month") << 3 << date(1999, 12, 20) << date(2000, 1, 20);
    QTest::newRow("1 Jan 2000 back a day") << 1 << date(2000, 1, 1) << date(1999, 12, 31);
    QTest::newRow("1 Mar 1999 back a day") << 1 << date(1999, 3, 1) << date(1999, 2, 28);
    QTest::newRow("1 Mar 2000 back a day") << 1 << date(2000, 3, 1) << date(2000, 2, 29);
    QTest::newRow("1 Jul back a day") << 1 << date(1999, 7, 1) << date(1999, 6, 30);
    QTest::newRow("1 Aug back a day") << 1 << date(1999, 8, 1) << date(1999, 7, 31);
    QTest::newRow("15 Aug back a day") << 1 << date(1999, 8, 15) << date(1999, 8, 14);
    QTest::newRow("31 Dec 1999 forward a day") << 2 << date(1999, 12, 31) << date(2000, 1, 1);
    QTest::newRow("28 Feb 1999 forward a day") << 2 << date(1999, 2, 28) << date(1999, 3, 1);
    QTest::newRow("28 Feb 2000 forward a day") << 2 << date(2000, 2, 28) << date(2000, 2, 29);
    QTest::newRow("29 Feb 2000 forward a day") << 2 << date(2000, 2, 29) << date(2000, 3, 1);
    QTest::newRow("30 Apr forward a day") << 2 << date(1999, 4, 30) << date(1999, 5, 1);
    QTest::newRow("30 May forward a day") << 2 << date(1999, 5, 30) << date(1999, 5, 31);
    QTest::newRow("28 Feb 1900 forward a day (divisible by 4)")
        << 2 << date(1900, 2, 28) << date(1900, 2, 29);
    QTest::newRow("month 13 back a month is a plain decrement")
        << 0 << date(1999, 13, 31) << date(1999, 12, 31);
    QTest::newRow("month 0 forward a month is a plain increment")
        << 3 << date(1999, 0, 31) << date(1999, 1, 31);
    QTest::newRow("month 0 back a day") << 1 << date(1999, 0, 1) << date(1999, 0, 0);
    QTest::newRow("month 13 forward a day") << 2 << date(1999, 13, 31) << date(1999, 13, 32);
}

void ChartGeometryTest::stepping() {
    QFETCH(int, step);
    QFETCH(SurveyDate, from);
    QFETCH(SurveyDate, to);
    SurveyDate result;
    switch (step) {
    case 0:
        result = chart::previousMonth(from);
        break;
    case 1:
        result = chart::previousDay(from);
        break;
    case 2:
        result = chart::nextDay(from);
        break;
    default:
        result = chart::nextMonth(from);
        break;
    }
    QCOMPARE(result.year, to.year);
    QCOMPARE(result.month, to.month);
    QCOMPARE(result.day, to.day);
}

void ChartGeometryTest::steppingOverflowRaises() {
    const auto raisesOverflow = [](auto step, SurveyDate from) {
        try {
            step(from);
        } catch (const KorvaneError& error) {
            return error.number() == ErrorNumber::Overflow;
        }
        return false;
    };
    QVERIFY(raisesOverflow(chart::nextDay, date(1999, 13, 32767)));
    QVERIFY(raisesOverflow(chart::previousDay, date(1999, 0, -32768)));
    QVERIFY(raisesOverflow(chart::nextMonth, date(32767, 12, 1)));
    QVERIFY(raisesOverflow(chart::previousMonth, date(-32768, 1, 1)));
    QVERIFY(raisesOverflow(chart::nextMonth, date(1999, 32767, 1)));
}

void ChartGeometryTest::shiftedDayOverflowRaises() {
    QCOMPARE(chart::shiftedDay(32757, 10), qint16(32767));
    QCOMPARE(chart::shiftedDay(3, -10), qint16(-7));
    bool raised = false;
    try {
        chart::shiftedDay(32758, 10);
    } catch (const KorvaneError& error) {
        raised = error.number() == ErrorNumber::Overflow;
    }
    QVERIFY(raised);
}

void ChartGeometryTest::centreDayMessage_data() {
    QTest::addColumn<SurveyDate>("survey");
    QTest::addColumn<QDate>("birth");
    QTest::addColumn<QString>("message");
    QTest::newRow("birth day itself")
        << date(2000, 3, 1) << QDate(2000, 3, 1) << QStringLiteral("※今日は、全てが要注意、最悪の日です。");
    // One day later the sines are 0.27, 0.22 and 0.19: only 知性 stays below 0.2.
    QTest::newRow("a day after birth")
        << date(2000, 3, 2) << QDate(2000, 3, 1) << QStringLiteral("※今日は、知性が要注意です。");
    // One day before, all three sines are below -0.1.
    QTest::newRow("a day before birth")
        << date(2000, 2, 29) << QDate(2000, 3, 1) << QStringLiteral("※今日は、特に問題はありません。");
    QTest::newRow("worked example") << date(1999, 8, 1) << QDate(1965, 4, 10)
                                    << QStringLiteral("※今日は、特に問題はありません。");
    // 23 days after birth 身体 is back at zero; 感情 at phase 23 (sin -0.90), 知性 at 23 (sin -0.95).
    QTest::newRow("23 days after birth")
        << date(2000, 3, 24) << QDate(2000, 3, 1) << QStringLiteral("※今日は、身体が要注意です。");
    // 28 days: 感情 at zero, 身体 at phase 5 (sin 0.98), 知性 at 28 (sin -0.81).
    QTest::newRow("28 days after birth")
        << date(2000, 3, 29) << QDate(2000, 3, 1) << QStringLiteral("※今日は、感情が要注意です。");
}

void ChartGeometryTest::centreDayMessage() {
    QFETCH(SurveyDate, survey);
    QFETCH(QDate, birth);
    QFETCH(QString, message);
    QCOMPARE(chart::centreDayMessage(survey, personBorn(birth.year(), birth.month(), birth.day())), message);
}

QTEST_MAIN(ChartGeometryTest)
#include "ChartGeometryTest.moc"
