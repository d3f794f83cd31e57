#include "records/Biorhythm.h"
#include "core/Errors.h"

#include <QDate>
#include <QTest>
#include <cmath>

// Expected values come from calendar arithmetic (QDate) and from figures worked out by hand,
// never from the routines under test.
class BiorhythmTest : public QObject {
    Q_OBJECT

private slots:
    void workedExample();
    void birthDay();
    void elapsedMatchesCalendar_data();
    void elapsedMatchesCalendar();
    void februaryOfCenturyYears_data();
    void februaryOfCenturyYears();
    void dayOutsideMonthContinues();
    void negativeElapsedKeepsPhaseInRange();
    void phaseSweep();
    void messageLevelBounds();
    void cautionMessages_data();
    void cautionMessages();
    void overflowOfSixteenBitOperands();
};

void BiorhythmTest::workedExample() {
    const double e = bio::ElapsedDays(1999, 8, 1, 1965, 4, 10);
    QCOMPARE(e, 12531.0);
    QCOMPARE(bio::CyclePhase(e, bio::Physical), 19.0);
    QCOMPARE(bio::CyclePhase(e, bio::Emotional), 15.0);
    QCOMPARE(bio::CyclePhase(e, bio::Intellectual), 24.0);
    QVERIFY(std::fabs(bio::EvaluationValue(e, bio::Physical) - (-5.105338491786189)) < 1e-12);
    QVERIFY(std::fabs(bio::EvaluationValue(e, bio::Emotional) - (-1.5576490706314403)) < 1e-12);
    QVERIFY(std::fabs(bio::EvaluationValue(e, bio::Intellectual) - (-8.166027487108408)) < 1e-12);
    QCOMPARE(bio::MessageLevel(19, bio::Physical), -9);
    QCOMPARE(bio::MessageLevel(15, bio::Emotional), -3);
    QCOMPARE(bio::MessageLevel(24, bio::Intellectual), -10);
    QCOMPARE(bio::CautionMessage(-9, -3, -10), QStringLiteral("※今日は、特に問題はありません。"));
    const bio::Evaluations all = bio::EvaluateDay(e);
    QCOMPARE(all.physical, bio::EvaluationValue(e, bio::Physical));
    QCOMPARE(all.intellectual, bio::EvaluationValue(e, bio::Intellectual));
}

void BiorhythmTest::birthDay() {
    const double e = bio::ElapsedDays(1970, 5, 17, 1970, 5, 17);
    QCOMPARE(e, 0.0);
    for (int c : {bio::Physical, bio::Emotional, bio::Intellectual}) {
        QCOMPARE(bio::CyclePhase(e, c), 0.0);
        QCOMPARE(bio::EvaluationValue(e, c), 0.0);
        QCOMPARE(bio::MessageLevel(0, c), 0);
    }
    QCOMPARE(bio::CautionMessage(0, 0, 0), QStringLiteral("※今日は、全てが要注意、最悪の日です。"));
}

void BiorhythmTest::elapsedMatchesCalendar_data() {
    QTest::addColumn<QDate>("birth");
    QTest::addColumn<QDate>("target");
    QTest::newRow("1943-03-09 to 1972-07-11") << QDate(1943, 3, 9) << QDate(1972, 7, 11);
    QTest::newRow("year end") << QDate(1998, 12, 31) << QDate(1999, 1, 1);
    QTest::newRow("across 2000-02-29") << QDate(2000, 2, 28) << QDate(2000, 3, 1);
    QTest::newRow("1900-03-01 to 2100-02-28") << QDate(1900, 3, 1) << QDate(2100, 2, 28);
    QTest::newRow("target before birth") << QDate(1999, 12, 8) << QDate(1980, 1, 15);
    QTest::newRow("January birth") << QDate(1961, 1, 31) << QDate(2026, 12, 8);
}

void BiorhythmTest::elapsedMatchesCalendar() {
    QFETCH(QDate, birth);
    QFETCH(QDate, target);
    const double e = bio::ElapsedDays(qint16(target.year()), qint16(target.month()), qint16(target.day()),
                                      qint16(birth.year()), qint16(birth.month()), qint16(birth.day()));
    QCOMPARE(e, double(birth.daysTo(target)));
    if (QTest::currentDataTag() == QByteArray("1943-03-09 to 1972-07-11"))
        QCOMPARE(e, 10717.0);
}

void BiorhythmTest::februaryOfCenturyYears_data() {
    QTest::addColumn<int>("year");
    QTest::addColumn<double>("gap");
    // The numbering uses a 365.25-day year: every year divisible by 4 has a 29 February.
    QTest::newRow("1900") << 1900 << 2.0;
    QTest::newRow("2000") << 2000 << 2.0;
    QTest::newRow("2100") << 2100 << 2.0;
    QTest::newRow("1999") << 1999 << 1.0;
    QTest::newRow("2001") << 2001 << 1.0;
}

void BiorhythmTest::februaryOfCenturyYears() {
    QFETCH(int, year);
    QFETCH(double, gap);
    const auto y = qint16(year);
    QCOMPARE(bio::DayNumber(y, 3, 1) - bio::DayNumber(y, 2, 28), gap);
}

void BiorhythmTest::dayOutsideMonthContinues() {
    QCOMPARE(bio::DayNumber(1999, 5, 0), bio::DayNumber(1999, 5, 1) - 1);
    QCOMPARE(bio::DayNumber(1999, 3, -5), bio::DayNumber(1999, 2, 23));
    QCOMPARE(bio::DayNumber(1999, 1, 35), bio::DayNumber(1999, 2, 4));
    QCOMPARE(bio::DayNumber(1999, 1, 1) - bio::DayNumber(1998, 12, 31), 1.0);
}

void BiorhythmTest::negativeElapsedKeepsPhaseInRange() {
    QCOMPARE(bio::CyclePhase(-1, 23), 22.0);
    QCOMPARE(bio::CyclePhase(-1, 28), 27.0);
    QCOMPARE(bio::CyclePhase(-33, 33), 0.0);
    QCOMPARE(bio::CyclePhase(-34, 33), 32.0);
}

void BiorhythmTest::phaseSweep() {
    for (int c : {bio::Physical, bio::Emotional, bio::Intellectual}) {
        for (int e = -20000; e <= 20000; e += 7) {
            const double p = bio::CyclePhase(e, c);
            QVERIFY(p >= 0 && p <= c - 1);
            QCOMPARE(std::fmod(double(e) - p, double(c)), 0.0);
            const double v = bio::EvaluationValue(e, c);
            QVERIFY(std::fabs(v) <= c / 4.0);
        }
    }
}

void BiorhythmTest::messageLevelBounds() {
    // Level = floor(sin * 10); -1, 0 and 1 all mean "needs care".
    // 身体 phase 1: sin(15.652°) = 0.2698 -> 2; 感情 phase 14: sin(≈180°) ≈ -3.5e-7 -> -1 -> 0.
    QCOMPARE(bio::MessageLevel(1, bio::Physical), 2);
    QCOMPARE(bio::MessageLevel(14, bio::Emotional), 0);
    // 知性 phase 1: sin(10.909°) = 0.1893 -> 1 -> 0; phase 17: sin(185.45°) = -0.0950 -> -1 -> 0.
    QCOMPARE(bio::MessageLevel(1, bio::Intellectual), 0);
    QCOMPARE(bio::MessageLevel(17, bio::Intellectual), 0);
    // 知性 phase 18: sin(196.36°) = -0.2817 -> -3.
    QCOMPARE(bio::MessageLevel(18, bio::Intellectual), -3);
    // 身体 phase 6: sin(93.913°) = 0.99767 -> 9.
    QCOMPARE(bio::MessageLevel(6, bio::Physical), 9);
}

void BiorhythmTest::cautionMessages_data() {
    QTest::addColumn<int>("b");
    QTest::addColumn<int>("s");
    QTest::addColumn<int>("i");
    QTest::addColumn<QString>("text");
    QTest::newRow("body") << 0 << 5 << -4 << QStringLiteral("※今日は、身体が要注意です。");
    QTest::newRow("soul") << 3 << 0 << 2 << QStringLiteral("※今日は、感情が要注意です。");
    QTest::newRow("intellect") << -2 << 9 << 0 << QStringLiteral("※今日は、知性が要注意です。");
    QTest::newRow("body and soul") << 0 << 0 << 4 << QStringLiteral("※今日は、身体と感情が要注意です。");
    QTest::newRow("body and intellect") << 0 << 7 << 0 << QStringLiteral("※今日は、身体と知性が要注意です。");
    QTest::newRow("soul and intellect") << 6 << 0 << 0 << QStringLiteral("※今日は、感情と知性が要注意です。");
    QTest::newRow("all") << 0 << 0 << 0 << QStringLiteral("※今日は、全てが要注意、最悪の日です。");
    QTest::newRow("none") << 2 << -2 << 10 << QStringLiteral("※今日は、特に問題はありません。");
}

void BiorhythmTest::cautionMessages() {
    QFETCH(int, b);
    QFETCH(int, s);
    QFETCH(int, i);
    QFETCH(QString, text);
    QCOMPARE(bio::CautionMessage(b, s, i), text);
}

void BiorhythmTest::overflowOfSixteenBitOperands() {
    // year - 1 and month + 1 leave the 16-bit range; month + 13 of -32768 stays inside it.
    for (auto [year, month] : {std::pair<qint16, qint16>{-32768, 1}, {1999, 32767}}) {
        try {
            bio::DayNumber(year, month, 1);
            QFAIL("expected an overflow error");
        } catch (const KorvaneError& error) {
            QCOMPARE(error.number(), ErrorNumber::Overflow);
        }
    }
    // Worked by hand: floor(1998 * 365.25) = 729769, floor(-32755 * 30.6) = -1002303, + 1 - 122.
    QCOMPARE(bio::DayNumber(1999, -32768, 1), -272655.0);
}

QTEST_APPLESS_MAIN(BiorhythmTest)
#include "BiorhythmTest.moc"
