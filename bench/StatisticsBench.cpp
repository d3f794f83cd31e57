// Times what the statistics window computes when it opens over 10,000 and over 100,000 stored races
// (opening the database, reading the history query through the record set, evaluating and ranking
// every starter, counting the figures and testing them: the exact test of caution days up to 2,000
// races, then its normal form; the rank test's normal form from 200 races) against a bare query
// through the SQLite C API that reads the same rows and columns. Wall clock, several alternating
// runs; the ratio printed is the median of the runs' ratios.
#include "records/HistoryStatistics.h"
#include "store/Database.h"
#include "store/SeedDatabase.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <sqlite3.h>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr int Runs = 9;

void check(int rc, sqlite3* db, const char* what) {
    if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW) {
        std::fprintf(stderr, "%s: %s\n", what, db ? sqlite3_errmsg(db) : sqlite3_errstr(rc));
        std::exit(1);
    }
}

std::vector<int> column(sqlite3* db, const char* sql) {
    sqlite3_stmt* statement = nullptr;
    check(sqlite3_prepare_v2(db, sql, -1, &statement, nullptr), db, sql);
    std::vector<int> values;
    while (sqlite3_step(statement) == SQLITE_ROW)
        values.push_back(sqlite3_column_int(statement, 0));
    sqlite3_finalize(statement);
    return values;
}

// A small deterministic generator, so that every run stores the same history.
class Numbers {
public:
    int below(int n) {
        m_state = m_state * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<int>((m_state >> 33) % static_cast<unsigned long long>(n));
    }

private:
    unsigned long long m_state = 20240401;
};

// Races as users store them: mostly nine racers with their orders, some with seven, a few without
// orders yet, the odd racer who did not finish (order 0); afterwards some racers leave the table.
void storeHistory(const QString& path, int raceCount) {
    sqlite3* db = nullptr;
    check(sqlite3_open(path.toUtf8().constData(), &db), db, "open");
    const std::vector<int> racers = column(db, "SELECT 選手ID FROM T_選手 ORDER BY 選手ID");
    const std::vector<int> venues = column(db, "SELECT 競輪場ID FROM T_競輪場 ORDER BY 競輪場ID");
    check(sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr), db, "begin");
    std::string sql = "INSERT INTO T_レース履歴 (調査年, 調査月, 調査日, 競輪場ID, レースNO";
    for (int n = 1; n <= 9; ++n)
        sql += ", 選手" + std::to_string(n) + ", 結果" + std::to_string(n);
    sql += ") VALUES (?, ?, ?, ?, ?";
    for (int n = 1; n <= 9; ++n)
        sql += ", ?, ?";
    sql += ")";
    sqlite3_stmt* insert = nullptr;
    check(sqlite3_prepare_v2(db, sql.c_str(), -1, &insert, nullptr), db, "prepare insert");
    Numbers numbers;
    for (int race = 0; race < raceCount; ++race) {
        // Some 25 years of races, however many there are.
        sqlite3_bind_int(insert, 1, 1995 + race / (raceCount / 25));
        sqlite3_bind_int(insert, 2, 1 + race / 33 % 12);
        sqlite3_bind_int(insert, 3, 1 + race % 28);
        sqlite3_bind_int(insert, 4,
                         venues[static_cast<size_t>(numbers.below(static_cast<int>(venues.size())))]);
        sqlite3_bind_int(insert, 5, 1 + race % 12);
        const int starters = race % 10 == 0 ? 7 : 9;
        const bool ordered = race % 50 != 0;
        std::vector<int> orders{1, 2, 3, 4, 5, 6, 7, 8, 9};
        for (int i = 8; i > 0; --i)
            std::swap(orders[static_cast<size_t>(i)], orders[static_cast<size_t>(numbers.below(i + 1))]);
        for (int slot = 0; slot < 9; ++slot) {
            const bool filled = slot < starters;
            const int racer =
                filled ? racers[static_cast<size_t>(numbers.below(static_cast<int>(racers.size())))] : 0;
            int order = filled && ordered ? orders[static_cast<size_t>(slot)] : 0;
            if (order > starters || numbers.below(40) == 0)
                order = 0;
            sqlite3_bind_int(insert, 6 + 2 * slot, racer);
            sqlite3_bind_int(insert, 7 + 2 * slot, order);
        }
        check(sqlite3_step(insert), db, "insert");
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    check(sqlite3_exec(db, "DELETE FROM T_選手 WHERE 選手ID % 97 = 0", nullptr, nullptr, nullptr), db,
          "delete");
    check(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), db, "commit");
    sqlite3_close(db);
}

// The bare side: open, one prepared query over the history view reading the columns the statistics
// read, close. Returns the number of rows, after folding every value into sink.
int bareQuery(const QString& path, double& sink) {
    sqlite3* db = nullptr;
    check(sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr), db, "open");
    std::string sql = "SELECT 履歴ID, 調査年, 調査月, 調査日, 競輪場ID, 競輪場名";
    for (int n = 1; n <= 9; ++n) {
        const std::string s = std::to_string(n);
        sql += ", 選手" + s + ", 生年" + s + ", 生月" + s + ", 生日" + s + ", 結果" + s;
    }
    sql += " FROM Q_レース履歴";
    sqlite3_stmt* statement = nullptr;
    check(sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr), db, "prepare");
    const int columns = sqlite3_column_count(statement);
    int rows = 0;
    while (sqlite3_step(statement) == SQLITE_ROW) {
        for (int c = 0; c < columns; ++c) {
            if (c == 5)
                sink += sqlite3_column_bytes(statement, c) + (sqlite3_column_text(statement, c) != nullptr);
            else
                sink += sqlite3_column_double(statement, c);
        }
        ++rows;
    }
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return rows;
}

// The window's side, as it runs when the window opens with every velodrome and every date.
history::Figures windowComputation(const QString& path) {
    return history::computeFigures(history::loadCountedRaces(path), {});
}

double milliseconds(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// One size of history: prints the figures and the line "RATIO statistics-<count> <median ratio> <goal>".
bool runCase(int raceCount, double goal, double& sink) {
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/Korvane.mdb");
    std::fprintf(stderr, "Making a database of %d racers and %d races...\n", seed::defaultRacerCount,
                 raceCount);
    seed::createDatabase(path);
    storeHistory(path, raceCount);

    // Both sides must read the same rows before their times mean anything.
    const int rows = bareQuery(path, sink);
    const history::Figures figures = windowComputation(path);
    std::fprintf(stderr, "rows %d, races with orders %d, starters counted %d\n", rows, figures.races,
                 figures.starters);
    if (rows != raceCount || figures.races == 0 || figures.races > rows) {
        std::fprintf(stderr, "the two sides do not agree on the history\n");
        return false;
    }

    std::vector<double> ours;
    std::vector<double> bare;
    std::vector<double> ratios;
    for (int run = 0; run < Runs; ++run) {
        const auto start = std::chrono::steady_clock::now();
        const history::Figures f = windowComputation(path);
        const auto middle = std::chrono::steady_clock::now();
        const int read = bareQuery(path, sink);
        const auto end = std::chrono::steady_clock::now();
        if (f.races != figures.races || read != rows)
            return false;
        ours.push_back(milliseconds(middle - start));
        bare.push_back(milliseconds(end - middle));
        ratios.push_back(ours.back() / bare.back());
    }

    // Where the window's time goes: opening the database, reading the query's rows, evaluating the
    // starters, counting and testing the figures.
    std::vector<double> opening, reading, evaluating, counting;
    for (int run = 0; run < Runs; ++run) {
        const auto t0 = std::chrono::steady_clock::now();
        Database db(path);
        const auto t1 = std::chrono::steady_clock::now();
        const std::vector<history::RaceRow> read = history::readRaceRows(db);
        db.close();
        const auto t2 = std::chrono::steady_clock::now();
        const std::vector<history::CountedRace> counted = history::countRaces(read);
        const auto t3 = std::chrono::steady_clock::now();
        sink += history::computeFigures(counted, {}).starters;
        const auto t4 = std::chrono::steady_clock::now();
        opening.push_back(milliseconds(t1 - t0));
        reading.push_back(milliseconds(t2 - t1));
        evaluating.push_back(milliseconds(t3 - t2));
        counting.push_back(milliseconds(t4 - t3));
    }

    // A filter change recounts and retests the races held in memory: one velodrome, which at these
    // sizes takes the exact test of caution days.
    const std::vector<history::CountedRace> races = history::loadCountedRaces(path);
    std::vector<double> recounts;
    for (int run = 0; run < Runs; ++run) {
        history::StatisticsFilter filter;
        filter.venueId = races[static_cast<size_t>(run)].venueId;
        const auto start = std::chrono::steady_clock::now();
        sink += history::computeFigures(races, filter).starters;
        recounts.push_back(milliseconds(std::chrono::steady_clock::now() - start));
    }

    std::printf("statistics over %d races: window %.1f ms, bare query %.1f ms (medians of %d runs)\n",
                raceCount, median(ours), median(bare), Runs);
    std::printf("  opening %.1f ms, reading %.1f ms, evaluating %.1f ms, figures and tests %.2f ms; "
                "a velodrome chosen %.2f ms\n",
                median(opening), median(reading), median(evaluating), median(counting), median(recounts));
    std::printf("RATIO statistics-%d %.2f %.1f\n", raceCount, median(ratios), goal);
    std::fflush(stdout);
    return true;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    double sink = 0;
    // 10,000 races must stay as quick as before the record sets' blocks (2.4); 100,000 may cost more.
    for (const auto& [raceCount, goal] : {std::pair{10000, 2.6}, std::pair{100000, 3.0}})
        if (!runCase(raceCount, goal, sink))
            return 1;
    // The values read must not be optimised away.
    return sink > 0 ? 0 : 1;
}
