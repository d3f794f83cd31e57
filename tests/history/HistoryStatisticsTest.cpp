#include "records/HistoryStatistics.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QTest>
#include <numbers>

using namespace Qt::StringLiterals;

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

// Three races of three: 23 days wins each (身体 caution), 7 days second, 14 days third (感情 caution).
std::vector<RaceRow> threeWins() {
    std::vector<RaceRow> rows;
    for (int id = 1; id <= 3; ++id)
        rows.push_back(race(id, 1, {starter(1, Day23, 1), starter(2, Day7, 2), starter(3, Day14, 3)}));
    return rows;
}

// What a history is made to hold: nothing but chance, finishing orders that follow one cycle's value
// (rank), or starters on a caution day of one cycle who always finish last (caution).
struct Plant {
    int cycle = -1;
    double rank = 0;
    bool caution = false;
};

// Races on successive days from 1 April 2001 at three velodromes, nine racers born 1960..1999 each.
// Orders go by a random score; a planted effect adds rank * sin(phase) to it, or sends caution-day
// starters (sine within -0.1..0.2, as the detail chart reads it) to the back.
std::vector<RaceRow> randomHistory(int races, quint32 seed, Plant plant = {}) {
    QRandomGenerator random(seed);
    std::vector<RaceRow> rows;
    for (int r = 0; r < races; ++r) {
        const QDate day = QDate(2001, 4, 1).addDays(r);
        std::array<QDate, 9> births;
        std::array<double, 9> score;
        for (int i = 0; i < 9; ++i) {
            births[i] = QDate(1960, 1, 1).addDays(random.bounded(14600));
            score[i] = random.generateDouble();
            if (plant.cycle < 0)
                continue;
            const int cycle = std::array{23, 28, 33}[plant.cycle];
            const double sine = std::sin(2 * std::numbers::pi * (births[i].daysTo(day) % cycle) / cycle);
            score[i] += plant.rank * sine - (plant.caution && sine >= -0.1 && sine < 0.2 ? 10 : 0);
        }
        QList<RaceRow::Slot> seats;
        for (int i = 0; i < 9; ++i) {
            const int better = static_cast<int>(
                std::count_if(score.begin(), score.end(), [&](double s) { return s > score[i]; }));
            seats << starter(100 + i,
                             {qint16(births[i].year()), qint16(births[i].month()), qint16(births[i].day())},
                             better + 1);
        }
        rows.push_back(race(r + 1, qint16(1 + r % 3), seats,
                            {qint16(day.year()), qint16(day.month()), qint16(day.day())}));
    }
    return rows;
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
    void handWorked_data();
    void handWorked();
    void holm_data();
    void holm();
    void falseAlarms_data();
    void falseAlarms();
    void plantedEffects_data();
    void plantedEffects();
    void report();
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

    // Wins (1着) and starters on each cycle's caution days and on its other days:
    // 身体 caution 0 days 1着 and 9着, 23 days 3着; 感情 0 days twice, 14 days 1着; 知性 0 days twice, 33
    // days.
    const auto wins = [&](bool caution) {
        QList<int> counts;
        for (const history::CycleFigures& c : f.cycles)
            counts << (caution ? c.caution[0] : c.other[0]).hits
                   << (caution ? c.caution[0] : c.other[0]).total;
        return counts;
    };
    QCOMPARE(wins(true), (QList<int>{1, 3, 2, 3, 1, 3}));
    QCOMPARE(wins(false), (QList<int>{2, 4, 1, 4, 2, 4}));
}

void HistoryStatisticsTest::whichSlotsCount_data() {
    QTest::addColumn<qint64>("racer");
    QTest::addColumn<int>("birthYear");
    QTest::addColumn<double>("order");
    QTest::addColumn<int>("surveyYear");
    QTest::addColumn<bool>("counted");
    QTest::addColumn<int>("unborn");
    // The race is on 10 January, the racer born on 5 February.
    QTest::newRow("1着") << qint64(7) << 2000 << 1.0 << 2001 << true << 0;
    QTest::newRow("9着") << qint64(7) << 2000 << 9.0 << 2001 << true << 0;
    QTest::newRow("order 0") << qint64(7) << 2000 << 0.0 << 2001 << false << 0;
    QTest::newRow("order 10") << qint64(7) << 2000 << 10.0 << 2001 << false << 0;
    QTest::newRow("order -1") << qint64(7) << 2000 << -1.0 << 2001 << false << 0;
    QTest::newRow("order 2.5") << qint64(7) << 2000 << 2.5 << 2001 << false << 0;
    QTest::newRow("empty slot") << qint64(0) << 2000 << 1.0 << 2001 << false << 0;
    QTest::newRow("deleted racer") << qint64(7) << 0 << 1.0 << 2001 << false << 0;
    QTest::newRow("born after the race") << qint64(7) << 2001 << 1.0 << 2001 << false << 1;
    QTest::newRow("born after the race, no order") << qint64(7) << 2001 << 0.0 << 2001 << false << 0;
    // Year - 1 leaves 16 bits: the day number overflows, so there is no biorhythm to count.
    QTest::newRow("survey date out of range") << qint64(7) << 2000 << 1.0 << -32768 << false << 0;
}

void HistoryStatisticsTest::whichSlotsCount() {
    QFETCH(qint64, racer);
    QFETCH(int, birthYear);
    QFETCH(double, order);
    QFETCH(int, surveyYear);
    QFETCH(bool, counted);
    QFETCH(int, unborn);
    RaceRow row = race(1, 1, {starter(racer, {static_cast<qint16>(birthYear), 2, 5}, order)});
    row.year = static_cast<qint16>(surveyYear);
    row.month = 1;
    const Figures f = allOf({row});
    QCOMPARE(f.races, counted ? 1 : 0);
    QCOMPARE(f.starters, counted ? 1 : 0);
    QCOMPARE(f.unborn, unborn);
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
    const std::vector<RaceRow> rows{race(1, 1, {starter(1, Day7, 1)}, {2001, 3, 9}),
                                    race(2, 2, {starter(1, Day7, 1)}, {2001, 3, 10}),
                                    race(3, 1, {starter(1, Day7, 1)}, {2001, 3, 11})};
    history::StatisticsFilter filter{venue ? std::optional<qint16>(venue) : std::nullopt, from, to};
    const Figures f = history::computeFigures(history::countRaces(rows), filter);
    QCOMPARE(f.races, races);
    QCOMPARE(f.cycles[0].caution[0].total + f.cycles[0].other[0].total, races);
    // Leaving races out is looking at a subset.
    QCOMPARE(f.subset, races < 3);
}

void HistoryStatisticsTest::summary_data() {
    QTest::addColumn<int>("races");
    QTest::addColumn<QList<int>>("claims"); // per cycle: 0 none, 1 caution day, 2 rank, 3 both, -1 too few
    QTest::addColumn<bool>("subset");
    QTest::addColumn<QString>("line");
    const QString tooFew = u"着順のあるレースは %1 件です。データが足りません（20 件以上で傾向を見ます）。"_s;
    const QString subset =
        u"絞り込んだ一部のレースです。多くの絞り込みを見れば、偶然の偏りもどれかに現れます。"_s;
    const QString none = u"着順のあるレース %1 件では、バイオリズムと着順の関係は見られません。"_s;
    QTest::newRow("no race") << 0 << QList<int>{0, 0, 0} << false << tooFew.arg(0);
    QTest::newRow("19 races") << 19 << QList<int>{0, 0, 0} << false << tooFew.arg(19);
    QTest::newRow("20 races, nothing beyond chance") << 20 << QList<int>{0, 0, 0} << false << none.arg(20);
    // Caution-day starters won 2 of 40 (5.0 %), the others 38 of 320 (11.9 %).
    QTest::newRow("caution days lose")
        << 40 << QList<int>{1, 0, 0} << false
        << u"着順のあるレース 40 件では、身体の要注意日の選手は1着率が低くなっています（要注意日 5.0%、その他の日 11.9%、補正後 p = 0.012）。"_s;
    QTest::newRow("rank, p below 0.001, a thin cycle, a subset")
        << 40 << QList<int>{0, -1, 2} << true
        << u"着順のあるレース 40 件では、知性の評価値が低い選手ほど着順が上です（順位相関 -0.31、補正後 p < 0.001）。感情はデータが足りません（要注意日の出走が 10 人未満）。"_s +
               subset;
    QTest::newRow("two claims of one cycle")
        << 40 << QList<int>{3, 0, 0} << false
        << u"着順のあるレース 40 件では、身体の要注意日の選手は1着率が低くなっています（要注意日 5.0%、その他の日 11.9%、補正後 p = 0.012）。身体の評価値が高い選手ほど着順が上です（順位相関 +0.30、補正後 p < 0.001）。"_s;
}

void HistoryStatisticsTest::summary() {
    QFETCH(int, races);
    QFETCH(QList<int>, claims);
    QFETCH(bool, subset);
    QFETCH(QString, line);
    Figures f;
    f.races = races;
    f.subset = subset;
    const double correlations[] = {0.3, 0.05, -0.31};
    for (int k = 0; k < 3; ++k) {
        history::CycleFigures& c = f.cycles[k];
        c.caution[0] = {2, 40};
        c.other[0] = {38, 320};
        c.rankCorrelation = correlations[k];
        c.pCaution = 0.012;
        c.pRank = 0.0004;
        c.enough = races >= 20 && claims[k] >= 0;
        c.claimCaution = claims[k] > 0 && (claims[k] & 1);
        c.claimRank = claims[k] > 0 && (claims[k] & 2);
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

void HistoryStatisticsTest::handWorked_data() {
    QTest::addColumn<bool>("small"); // smallHistory(), else threeWins()
    QTest::addColumn<QString>("table");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("text");
    // Means with t intervals: 1着 身体 0, 5.418000, -3.628758: mean 0.596414, s 4.552773,
    // 4.3027 (t, 2 df) * s / sqrt 3 = 11.31; 3着 知性 -7.796258, 0: s 5.512750, 12.7062 * s / sqrt 2 = 49.53.
    QTest::newRow("1着 身体 mean") << true << u"means"_s << 1 << 2 << u"0.60±11.31"_s;
    QTest::newRow("3着 知性 mean") << true << u"means"_s << 3 << 4 << u"-3.90±49.53"_s;
    // Wilson intervals: 1 of 3 gives 6.1..79.2 %, 2 of 4 15.0..85.0 %, 4 of 4 51.0..100 %.
    QTest::newRow("身体 caution wins 1 of 3") << true << u"tests"_s << 1 << 3 << u"33.3% (6.1～79.2)"_s;
    QTest::newRow("身体 other wins 2 of 4") << true << u"tests"_s << 2 << 3 << u"50.0% (15.0～85.0)"_s;
    QTest::newRow("身体 other top three 4 of 4") << true << u"tests"_s << 2 << 5 << u"100.0% (51.0～100.0)"_s;
    // By chance a caution-day starter in fields of 3, 3 and 4 wins (1/3 + 1/3 + 1/4) / 3, is in the first
    // two (2/3 + 2/3 + 2/4) / 3 and the first three (1 + 1 + 3/4) / 3 of the time.
    QTest::newRow("身体 chance 1着") << true << u"tests"_s << 3 << 3 << u"30.6%"_s;
    QTest::newRow("身体 chance 3連対") << true << u"tests"_s << 3 << 5 << u"91.7%"_s;
    // Centred ranks. Race 1 (3 starters): finish 0 days +1, 7 days 0, 23 days -1; 身体 0 and 23 days tie
    // at -0.5, 7 days +1. Race 2 (4): 7 and 14 days tie for 1着 at +1, 33 days -0.5, 0 days -1.5; 身体 7 days
    // +1.5, 14 days -1.5, 33 days +0.5, 0 days -0.5. Sum of products 0 + 0.5, squares 6.5 and 6.5: 0.5 / 6.5.
    QTest::newRow("身体 rank correlation, ties on both sides") << true << u"tests"_s << 1 << 7 << u"+0.08"_s;
    // 感情 of 14 days is -0.000002, the same value as 0 days' 0: they tie, and the sum is 1 + 1.75 = 2.75.
    QTest::newRow("感情 rank correlation, a tie of sines") << true << u"tests"_s << 4 << 7 << u"+0.42"_s;
    // Each race's one caution-day starter wins with chance 1/3: all three win with (1/3)^3 = 1/27, so
    // p = 2/27. 感情's never win: (2/3)^3 = 8/27, p = 16/27. 知性 has no caution day: p = 1.
    QTest::newRow("身体 exact p") << false << u"report"_s << 29 << 1 << u"0.0741"_s;
    QTest::newRow("感情 exact p") << false << u"report"_s << 30 << 1 << u"0.5926"_s;
    QTest::newRow("知性 no caution day") << false << u"report"_s << 31 << 1 << u"1.0000"_s;
    QTest::newRow("permutation method") << false << u"report"_s << 29 << 7 << u"並べ替え 1999 回"_s;
}

void HistoryStatisticsTest::handWorked() {
    QFETCH(bool, small);
    QFETCH(QString, table);
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(QString, text);
    const Figures f = allOf(small ? smallHistory() : threeWins());
    const QList<QStringList> cells = table == u"means"_s   ? history::figureTable(f)
                                     : table == u"tests"_s ? history::testTable(f)
                                                           : history::reportTable(f, u"all"_s);
    QCOMPARE(cells.value(row).value(column), text);
}

void HistoryStatisticsTest::holm_data() {
    QTest::addColumn<QList<double>>("p");
    QTest::addColumn<QList<double>>("adjusted");
    // Sorted 0.005, 0.01, 0.03, 0.04, 0.2, 0.5 times 6, 5, 4, 3, 2, 1: 0.03, 0.05, 0.12, 0.12, 0.4, 0.5.
    QTest::newRow("six tests") << QList<double>{0.01, 0.04, 0.03, 0.005, 0.5, 0.2}
                               << QList<double>{0.05, 0.12, 0.12, 0.03, 0.5, 0.4};
    // 0.011 * 2 = 0.022 carries over to the larger 0.02 * 1.
    QTest::newRow("never below a smaller one") << QList<double>{0.02, 0.011} << QList<double>{0.022, 0.022};
    QTest::newRow("at most 1") << QList<double>{0.7, 0.6} << QList<double>{1.0, 1.0};
}

void HistoryStatisticsTest::holm() {
    QFETCH(QList<double>, p);
    QFETCH(QList<double>, adjusted);
    const std::vector<double> got = history::holmAdjusted(std::vector<double>(p.begin(), p.end()));
    for (qsizetype i = 0; i < p.size(); ++i)
        QVERIFY2(std::abs(got[size_t(i)] - adjusted[i]) < 1e-12, qPrintable(QString::number(got[size_t(i)])));
}

void HistoryStatisticsTest::falseAlarms_data() {
    QTest::addColumn<int>("races");
    QTest::addColumn<int>("histories");
    QTest::addColumn<int>("allowed");
    // Orders are pure chance, so every claim is a false alarm. Allowed: 5 % plus the simulation's own
    // margin, 1.645 standard errors of a share of 5 % (one-sided 95 %): 400 histories 20 + 7.2 (27),
    // 200 histories 10 + 5.1 (15). The rule before claimed in 33 and 47 of 400 and 20 of 200 of them.
    QTest::newRow("30 races: exact and permutation tests") << 30 << 400 << 27;
    QTest::newRow("300 races: exact test and the rank test's normal form") << 300 << 400 << 27;
    QTest::newRow("2,100 races: both normal forms") << 2100 << 200 << 15;
}

void HistoryStatisticsTest::falseAlarms() {
    QFETCH(int, races);
    QFETCH(int, histories);
    QFETCH(int, allowed);
    int claimed = 0;
    for (int h = 0; h < histories; ++h) {
        const Figures f = allOf(randomHistory(races, 1000 + h));
        claimed += f.cycles[0].claim() || f.cycles[1].claim() || f.cycles[2].claim();
    }
    qInfo("%d of %d histories claimed", claimed, histories);
    QVERIFY2(claimed <= allowed, qPrintable(u"%1 claims"_s.arg(claimed)));
}

void HistoryStatisticsTest::plantedEffects_data() {
    QTest::addColumn<int>("races");
    QTest::addColumn<int>("cycle");
    QTest::addColumn<double>("rank");
    QTest::addColumn<bool>("caution");
    QTest::addColumn<QString>("claim");
    // A score of sin * 0.15 beside the random one gives a rank correlation near +0.3, sin * -0.05 near -0.1.
    QTest::newRow("higher 身体 finishes earlier")
        << 100 << 0 << 0.15 << false << u"身体の評価値が高い選手ほど着順が上です"_s;
    QTest::newRow("lower 知性 finishes earlier, 2,100 races")
        << 2100 << 2 << -0.05 << false << u"知性の評価値が低い選手ほど着順が上です"_s;
    QTest::newRow("感情 caution days finish last")
        << 150 << 1 << 0.0 << true << u"感情の要注意日の選手は1着率が低くなっています"_s;
}

void HistoryStatisticsTest::plantedEffects() {
    QFETCH(int, races);
    QFETCH(int, cycle);
    QFETCH(double, rank);
    QFETCH(bool, caution);
    QFETCH(QString, claim);
    const std::vector<RaceRow> rows = randomHistory(races, 77, {cycle, rank, caution});
    const Figures f = allOf(rows);
    QVERIFY2(history::summaryLine(f).contains(claim), qPrintable(history::summaryLine(f)));
    QVERIFY(caution ? f.cycles[cycle].claimCaution : f.cycles[cycle].claimRank);
    // The same data give the same figures: the shuffles come from a fixed seed.
    const Figures again = allOf(rows);
    for (int k = 0; k < 3; ++k)
        QCOMPARE(again.cycles[k].rankTest.p, f.cycles[k].rankTest.p);
}

void HistoryStatisticsTest::report() {
    const std::vector<history::CountedRace> races = history::countRaces(smallHistory());
    const history::StatisticsFilter filter{qint16(2), 20010301, 20010331};
    const Figures f = history::computeFigures(races, filter);
    const QList<QStringList> table = history::reportTable(f, history::describeFilter(races, filter));
    // The context first, then every rate with its numerator and denominator.
    QCOMPARE(table[0], (QStringList{u"条件"_s, u"競輪場 場2、調査日 2001.03.01～2001.03.31"_s}));
    QCOMPARE(table[1], (QStringList{u"着順のあるレース"_s, u"1"_s}));
    QCOMPARE(table[2], (QStringList{u"出走者"_s, u"4"_s}));
    QVERIFY(table[4][1].startsWith(u"着順のあるレースは 1 件です。"_s));
    // Race 2 alone: 感情 caution days are 14 days (1着) and 0 days (9着).
    QCOMPARE(table[21].mid(0, 7),
             (QStringList{u"感情"_s, u"要注意日"_s, u"2"_s, u"1"_s, u"50.0%"_s, u"9.5%"_s, u"90.5%"_s}));

    const QJsonObject json = QJsonDocument::fromJson(history::reportJson(f)).object();
    QCOMPARE(json.keys(), (QStringList{u"cycles"_s, u"races"_s, u"starters"_s, u"summary"_s}));
    QCOMPARE(json[u"races"_s].toInt(), 1);
    const QJsonObject emotional = json[u"cycles"_s].toArray()[1].toObject();
    QCOMPARE(emotional.keys(),
             (QStringList{u"caution_win_rate"_s, u"claim"_s, u"expected_win_rate"_s, u"name"_s,
                          u"other_win_rate"_s, u"p_caution"_s, u"p_rank"_s, u"rank_correlation"_s}));
    QCOMPARE(emotional[u"name"_s].toString(), u"感情"_s);
    QCOMPARE(emotional[u"caution_win_rate"_s].toDouble(), 0.5);
    QCOMPARE(emotional[u"expected_win_rate"_s].toDouble(), 0.25);
}

QTEST_APPLESS_MAIN(HistoryStatisticsTest)
#include "HistoryStatisticsTest.moc"
