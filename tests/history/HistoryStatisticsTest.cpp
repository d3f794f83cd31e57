#include "records/HistoryStatistics.h"

#include <QTest>

using namespace Qt::StringLiterals;

using history::CautionShare;
using history::Figures;
using history::RaceRow;

namespace {

// Every race here is run on 10 March 2001. The racers are born a few days before it, so that the
// phases are the elapsed days themselves and the values can be worked out with a table of sines
// (value = sin(phase / cycle * 360°) * cycle / 4; caution when -0.1 <= sin < 0.2):
//   born   days  身体 (23)              感情 (28)              知性 (33)              caution
//   03-10    0   0                      0                      0                      all three
//   03-03    7   5.418000 (sin 109.6°)  7.000000 (sin 90°)     8.017446 (sin 76.4°)   none
//   02-24   14  -3.628758 (sin 219.1°) -0.000002 (sin 180°)    3.780367 (sin 152.7°)  感情
//   02-15   23   0                     -6.306780 (sin 295.7°) -7.796258 (sin 250.9°)  身体
//   02-05   33   2.290805 (sin 156.5°)  6.306782 (sin 64.3°)   0                      知性
// 3.141593 is a little above pi, so 180° gives a sine just below 0 and 感情 -0.000002.
struct Born {
    qint16 year, month, day;
};
constexpr Born Day0{2001, 3, 10};
constexpr Born Day7{2001, 3, 3};
constexpr Born Day14{2001, 2, 24};
constexpr Born Day23{2001, 2, 15};
constexpr Born Day33{2001, 2, 5};
constexpr Born NoBirth{0, 0, 0}; // the racer has been deleted: the query gives 0s

RaceRow::Slot starter(qint64 racer, Born born, double order) {
    RaceRow::Slot slot;
    slot.racer = racer;
    slot.birthYear = born.year;
    slot.birthMonth = born.month;
    slot.birthDay = born.day;
    slot.order = order;
    return slot;
}

// An empty slot as the query gives it: racer 0, and whatever order was typed into its row.
RaceRow::Slot emptySlot(double order = 0) {
    return starter(0, NoBirth, order);
}

RaceRow race(qint64 id, qint16 venue, QList<RaceRow::Slot> seats, Born date = Day0) {
    RaceRow row;
    row.id = id;
    row.year = date.year;
    row.month = date.month;
    row.day = date.day;
    row.venueId = venue;
    row.venueName = QStringLiteral("場%1").arg(venue);
    for (int i = 0; i < history::PositionCount; ++i)
        row.entries[i] = i < seats.size() ? seats[i] : emptySlot();
    return row;
}

// Two races with orders and two without any that counts:
//   race 1: 0 days 1着, 7 days 2着, an empty slot with 3 typed in, a deleted racer 4着,
//           14 days without an order, 23 days 3着
//   race 2: 7 days and 14 days both 1着 (a tie), 33 days 3着, 0 days 9着
//   race 3: nobody has an order
//   race 4: only the deleted racer and an empty slot have orders
std::vector<RaceRow> smallHistory() {
    return {
        race(1, 1,
             {starter(101, Day0, 1), starter(102, Day7, 2), emptySlot(3), starter(103, NoBirth, 4),
              starter(104, Day14, 0), starter(105, Day23, 3)}),
        race(2, 2,
             {starter(102, Day7, 1), starter(104, Day14, 1), starter(106, Day33, 3), starter(101, Day0, 9)}),
        race(3, 1, {starter(101, Day0, 0), starter(102, Day7, 0)}),
        race(4, 1, {starter(103, NoBirth, 1), emptySlot(2)}),
    };
}

Figures allOf(const std::vector<RaceRow>& rows) {
    return history::computeFigures(history::countRaces(rows), {});
}

} // namespace

class HistoryStatisticsTest : public QObject {
    Q_OBJECT

private slots:
    void figuresOfSmallHistory();
    void whichSlotsCount_data();
    void whichSlotsCount();
    void filters_data();
    void filters();
    void summary_data();
    void summary();
    void csv();
};

void HistoryStatisticsTest::figuresOfSmallHistory() {
    const Figures f = allOf(smallHistory());
    QCOMPARE(f.races, 2);
    QCOMPARE(f.starters, 7);
    QCOMPARE(f.positionCount, (std::array<int, 9>{3, 1, 2, 0, 0, 0, 0, 0, 1}));
    // 1着: 0, 7 and 14 days (the tie); 2着: 7 days; 3着: 23 and 33 days; 9着: 0 days.
    const double means[][4] = {
        {1, (0 + 5.418000 - 3.628758) / 3, (0 + 7.0 - 0.000002) / 3, (0 + 8.017446 + 3.780367) / 3},
        {2, 5.418000, 7.0, 8.017446},
        {3, (0 + 2.290805) / 2, (-6.306780 + 6.306782) / 2, (-7.796258 + 0) / 2},
        {9, 0, 0, 0},
    };
    for (const auto& m : means)
        for (int k = 0; k < 3; ++k)
            QVERIFY2(std::abs(f.positionMean[k][int(m[0]) - 1] - m[k + 1]) < 1e-5,
                     qPrintable(u"position %1, cycle %2"_s.arg(m[0]).arg(k)));

    const auto shares = [](const std::array<CautionShare, 3>& s) {
        return QList<int>{s[0].caution, s[1].caution, s[2].caution, s[0].total};
    };
    // Winners 0, 7, 14 days: 身体 the first, 感情 the first and the third, 知性 the first.
    QCOMPARE(shares(f.winners), (QList<int>{1, 2, 1, 3}));
    // With 7 days 2着 and 23, 33 days 3着 each cycle gains one; with 0 days 9着 one more.
    QCOMPARE(shares(f.firstThree), (QList<int>{2, 2, 2, 6}));
    QCOMPARE(shares(f.everyone), (QList<int>{3, 3, 3, 7}));
}

void HistoryStatisticsTest::whichSlotsCount_data() {
    QTest::addColumn<qint64>("racer");
    QTest::addColumn<int>("birthYear");
    QTest::addColumn<double>("order");
    QTest::addColumn<int>("surveyYear");
    QTest::addColumn<bool>("counted");
    QTest::newRow("1着") << qint64(7) << 2001 << 1.0 << 2001 << true;
    QTest::newRow("9着") << qint64(7) << 2001 << 9.0 << 2001 << true;
    QTest::newRow("order 0") << qint64(7) << 2001 << 0.0 << 2001 << false;
    QTest::newRow("order 10") << qint64(7) << 2001 << 10.0 << 2001 << false;
    QTest::newRow("order -1") << qint64(7) << 2001 << -1.0 << 2001 << false;
    QTest::newRow("order 2.5") << qint64(7) << 2001 << 2.5 << 2001 << false;
    QTest::newRow("empty slot") << qint64(0) << 2001 << 1.0 << 2001 << false;
    QTest::newRow("deleted racer") << qint64(7) << 0 << 1.0 << 2001 << false;
    // Year - 1 leaves 16 bits: the day number overflows, so there is no biorhythm to count.
    QTest::newRow("survey date out of range") << qint64(7) << 2001 << 1.0 << -32768 << false;
}

void HistoryStatisticsTest::whichSlotsCount() {
    QFETCH(qint64, racer);
    QFETCH(int, birthYear);
    QFETCH(double, order);
    QFETCH(int, surveyYear);
    QFETCH(bool, counted);
    RaceRow row = race(1, 1, {starter(racer, {static_cast<qint16>(birthYear), 2, 5}, order)});
    row.year = static_cast<qint16>(surveyYear);
    row.month = 1;
    const Figures f = allOf({row});
    QCOMPARE(f.races, counted ? 1 : 0);
    QCOMPARE(f.starters, counted ? 1 : 0);
}

void HistoryStatisticsTest::filters_data() {
    QTest::addColumn<int>("venue"); // 0: every velodrome
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<int>("races");
    // Races on 9, 10 and 11 March at velodromes 1, 2 and 1, one starter each.
    QTest::newRow("everything") << 0 << 0 << 99991231 << 3;
    QTest::newRow("velodrome 1") << 1 << 0 << 99991231 << 2;
    QTest::newRow("velodrome without races") << 3 << 0 << 99991231 << 0;
    QTest::newRow("one day, bounds included") << 0 << 20010310 << 20010310 << 1;
    QTest::newRow("up to the 10th at velodrome 1") << 1 << 0 << 20010310 << 1;
    QTest::newRow("after the last race") << 0 << 20010312 << 20011231 << 0;
    QTest::newRow("from after to") << 0 << 20010311 << 20010309 << 0;
}

void HistoryStatisticsTest::filters() {
    QFETCH(int, venue);
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(int, races);
    const std::vector<RaceRow> rows{race(1, 1, {starter(1, Day0, 1)}, {2001, 3, 9}),
                                    race(2, 2, {starter(1, Day0, 1)}, {2001, 3, 10}),
                                    race(3, 1, {starter(1, Day0, 1)}, {2001, 3, 11})};
    history::StatisticsFilter filter{venue ? std::optional<qint16>(venue) : std::nullopt, from, to};
    const Figures f = history::computeFigures(history::countRaces(rows), filter);
    QCOMPARE(f.races, races);
    QCOMPARE(f.winners[0].total, races);
}

void HistoryStatisticsTest::summary_data() {
    QTest::addColumn<int>("races");
    QTest::addColumn<QList<int>>("winnerCautions"); // of 40 winners, per cycle
    QTest::addColumn<QString>("line");
    const QString tooFew = u"着順のあるレースは %1 件です。データが足りません（20 件以上で傾向を見ます）。"_s;
    const QString same =
        u"着順のあるレース %1 件では、1着の選手が要注意日だった割合に、全出走者との目立った差はありません。"_s;
    const QString differs =
        u"着順のあるレース 40 件では、1着の選手が要注意日だった割合が全出走者より%1なっています。"_s;
    QTest::newRow("no race") << 0 << QList<int>{10, 10, 10} << tooFew.arg(0);
    QTest::newRow("19 races") << 19 << QList<int>{0, 10, 40} << tooFew.arg(19);
    QTest::newRow("20 races, the same shares") << 20 << QList<int>{10, 10, 10} << same.arg(20);
    // All starters 90 of 360 (25%); two standard errors of a share of 40 are 13.7 points, so
    // 2/40 (5%) is low, 5/40 (12.5%), 8/40 (20%) and 15/40 (37.5%) are chance, 16/40 and 22/40 high.
    QTest::newRow("low and high") << 40 << QList<int>{2, 8, 22} << differs.arg(u"身体で低く、知性で高く"_s);
    QTest::newRow("just inside chance") << 40 << QList<int>{5, 15, 10} << same.arg(40);
    QTest::newRow("only 感情 high") << 40 << QList<int>{10, 16, 10} << differs.arg(u"感情で高く"_s);
}

void HistoryStatisticsTest::summary() {
    QFETCH(int, races);
    QFETCH(QList<int>, winnerCautions);
    QFETCH(QString, line);
    Figures f;
    f.races = races;
    for (int k = 0; k < 3; ++k) {
        f.winners[k] = {winnerCautions[k], 40};
        f.everyone[k] = {90, 360};
    }
    QCOMPARE(history::summaryLine(f), line);
}

void HistoryStatisticsTest::csv() {
    const QByteArray bytes =
        history::tableCsv({{u"着順"_s, u"a,b"_s}, {u"say \"hi\""_s, u""_s}, {u"two\nlines"_s, u"-3.90"_s}});
    QCOMPARE(bytes, QByteArray("\xEF\xBB\xBF"
                               "\xE7\x9D\x80\xE9\xA0\x86,\"a,b\"\r\n"
                               "\"say \"\"hi\"\"\",\r\n"
                               "\"two\nlines\",-3.90\r\n"));
}

QTEST_APPLESS_MAIN(HistoryStatisticsTest)
#include "HistoryStatisticsTest.moc"
