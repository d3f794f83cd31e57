#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <array>
#include <optional>
#include <vector>

class Recordset;

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

// Reads every row of an open Q_レース履歴 set from its first row, in the set's order.
std::vector<RaceRow> readRaceRows(Recordset& races);

// A starter with a finishing order, evaluated for the race's survey date.
struct Starter {
    int order = 0; // 1..9
    std::array<double, CycleCount> evaluation{};
    std::array<bool, CycleCount> caution{}; // message level 0
};

// A race with at least one starter that has a finishing order.
struct CountedRace {
    qint64 id = 0;
    int surveyKey = 0; // year * 10000 + month * 100 + day, for the date filter
    qint16 venueId = 0;
    QString venueName;
    std::vector<Starter> starters;
};

// The starters that count, evaluated with the program's arithmetic. A slot counts when it holds a
// racer (選手n not 0) with a birth date (a deleted racer has none) and a finishing order that is a
// whole number from 1 to 9; an order of 0 means none was entered. Races without such a starter, or
// whose survey date cannot be read, are left out.
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

// The share of a group of starters whose cycle was on a caution day.
struct CautionShare {
    int caution = 0;
    int total = 0;
};

struct Figures {
    int races = 0;
    int starters = 0;
    std::array<int, PositionCount> positionCount{};
    // The mean evaluation per cycle and position; meaningful where the position's count is not 0.
    std::array<std::array<double, PositionCount>, CycleCount> positionMean{};
    std::array<CautionShare, CycleCount> winners{};    // 1着
    std::array<CautionShare, CycleCount> firstThree{}; // 3着以内
    std::array<CautionShare, CycleCount> everyone{};   // all starters
};

Figures computeFigures(const std::vector<CountedRace>& races, const StatisticsFilter& filter);

// The plain-words line under the table.
QString summaryLine(const Figures& figures);

// The table as the window shows it: a heading row, then one row per position and one per share.
// Cells without a value (a position nobody finished in) are empty texts.
QList<QStringList> figureTable(const Figures& figures);

// The table as CSV: UTF-8 with a byte-order mark, fields quoted where needed, lines ending in CR LF.
QByteArray tableCsv(const QList<QStringList>& table);

} // namespace history
