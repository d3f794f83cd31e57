#pragma once

#include "records/RaceStatistics.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

class Database;

// Biorhythm statistics over the stored races: how the starters' evaluations and caution days line up
// with their finishing orders. No GUI here, so the figures can be checked on their own.
namespace history {

constexpr int CycleCount = 3;    // 身体, 感情, 知性, in the order of the arithmetic
constexpr int PositionCount = 9; // finishing positions 1..9
// Below this many races with orders the figures say more about chance than about the racers.
constexpr int EnoughRaces = 20;

// One stored race as Q_レース履歴 gives it, reduced to what the statistics read. A value that cannot
// be read as a number is left empty.
struct RaceRow {
    struct Slot {
        std::optional<qint64> racer; // 選手n: 0 for an empty slot
        std::optional<qint16> birthYear, birthMonth, birthDay;
        std::optional<double> order; // 結果n
    };
    qint64 id = 0;
    std::optional<qint16> year, month, day;
    qint16 venueId = 0;
    QString venueName;
    std::array<Slot, PositionCount> entries;
};

// Reads every row of Q_レース履歴 once, in the query's order.
std::vector<RaceRow> readRaceRows(Database& db);

// A starter with a finishing order, evaluated for the race's survey date.
struct Starter {
    int order = 0; // 1..9
    std::array<double, CycleCount> evaluation{};
    std::array<bool, CycleCount> caution{}; // message level 0: the detail chart's caution day
    // Ranks within the race, centred on the race's mean rank (ties share their ranks): finishRank is
    // higher for a better place, evaluationRank higher for a higher evaluation.
    double finishRank = 0;
    std::array<double, CycleCount> evaluationRank{};
};

// A race with at least one starter that has a finishing order, or with a racer left out because he
// was born after the race.
struct CountedRace {
    qint64 id = 0;
    int surveyKey = 0; // year * 10000 + month * 100 + day, for the date filter
    qint16 venueId = 0;
    QString venueName;
    std::vector<Starter> starters;
    int unborn = 0; // racers with an order whose birth date is after the survey date
};

// The starters that count, evaluated with the program's arithmetic. A slot counts when it holds a
// racer (選手n not 0) with a birth date (a deleted racer has none) on or before the survey date and a
// finishing order that is a whole number from 1 to 9; an order of 0 means none was entered. Races
// whose survey date cannot be read are left out.
std::vector<CountedRace> countRaces(const std::vector<RaceRow>& rows);

// What the statistics window does when it opens: reads Q_レース履歴 of the database file and counts
// its races; the database is closed again before this returns. Store errors are raised.
std::vector<CountedRace> loadCountedRaces(const QString& databasePath);

// Which races the figures take: one velodrome or all, and survey dates from..to, both included.
struct StatisticsFilter {
    std::optional<qint16> venueId;
    int fromKey = 0;
    int toKey = 99991231;
};

// The thresholds of the figures; the help text gives the same numbers.
constexpr int EnoughCautionStarters = 10; // per cycle, below this the cycle has too little data
constexpr int ThinCell = 30;              // a figure behind fewer starters is shown greyed
constexpr int ExactCautionRaces = 2000;   // up to this many races the caution test is exact
constexpr int NormalRankRaces = 200;      // from this many races the rank test takes its normal form
constexpr int RankPermutations = 1999;
constexpr std::uint64_t PermutationSeed = 20010310;
constexpr double ClaimLevel = 0.05;

// A cycle's value divided by this runs from -1 to 1, so that the three cycles compare.
double cycleAmplitude(int cycle);
QString cycleName(int cycle);

// Hits out of a group of starters, for example winners among the starters on a caution day.
struct Rate {
    int hits = 0;
    int total = 0;
};

// Places that count as hits: 1着 (win), 2着以内 (2連対), 3着以内 (3連対).
constexpr int PlaceCount = 3;

struct CycleFigures {
    std::array<Rate, PlaceCount> caution; // starters on a caution day of the cycle
    std::array<Rate, PlaceCount> other;   // starters on its other days
    // What the caution-day starters would reach by chance alone: the mean of 1/field, 2/field and
    // 3/field over them (NaN without such starters).
    std::array<double, PlaceCount> expected{};
    // Spearman's correlation of the evaluation with the place within races, pooled (NaN when
    // undefined); above 0 the higher evaluations finish earlier.
    double rankCorrelation = 0;
    TestResult cautionTest; // caution day against winning
    TestResult rankTest;    // evaluation against the finishing order
    // The two p-values after Holm's correction over the six tests of the three cycles.
    double pCaution = 1;
    double pRank = 1;
    bool enough = false; // enough races and caution-day starters to judge the cycle
    bool claimCaution = false;
    bool claimRank = false;
    bool claim() const { return claimCaution || claimRank; }
};

struct Figures {
    int races = 0;
    int starters = 0;
    int unborn = 0;      // starters left out: born after the race
    bool subset = false; // the filter left races out
    std::array<int, PositionCount> positionCount{};
    // The mean evaluation per cycle and position; meaningful where the position's count is not 0.
    std::array<std::array<double, PositionCount>, CycleCount> positionMean{};
    // Half the width of the mean's 95 % interval (Student's t); 0 below two starters.
    std::array<std::array<double, PositionCount>, CycleCount> positionMargin{};
    std::array<CycleFigures, CycleCount> cycles;
};

Figures computeFigures(const std::vector<CountedRace>& races, const StatisticsFilter& filter);

// The plain-words line under the table: no relation unless a corrected p-value is below 5 %, then
// which cycle, which way, how large, and the p-value.
QString summaryLine(const Figures& figures);

// The means by position as the window shows them: a heading row, then one row per position. Cells
// without a value (a position nobody finished in) are empty texts.
QList<QStringList> figureTable(const Figures& figures);

// The two questions per cycle as the window shows them: a heading row, then three rows per cycle
// (caution days, other days, chance); the cycle and its p-values and correlation stand in its first row.
QList<QStringList> testTable(const Figures& figures);

// The filter in words, the velodrome named as the races name it.
QString describeFilter(const std::vector<CountedRace>& races, const StatisticsFilter& filter);

// Everything the figures hold, with their context: the filter, the counts, the summary line, the
// means with their intervals, every rate with its numerator and denominator, the p-values.
QList<QStringList> reportTable(const Figures& figures, const QString& filterText);

// The report table as CSV: UTF-8 with a byte-order mark, fields quoted where needed, lines ending in CR LF.
QByteArray tableCsv(const QList<QStringList>& table);

// The report for a terminal: the table's rows, cells separated by tabs.
QString reportText(const Figures& figures, const QString& filterText);

// The figures for scripts: races, starters, cycles (name, caution_win_rate, other_win_rate,
// expected_win_rate, rank_correlation, p_caution, p_rank, claim) and summary; null where undefined.
QByteArray reportJson(const Figures& figures);

} // namespace history
