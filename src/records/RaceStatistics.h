#pragma once

#include <cstdint>
#include <span>
#include <vector>

// The statistical tools behind the history statistics: intervals, ranks within a race, and tests
// whose null hypothesis is "the finishing orders of each race are a random shuffle of its starters".
// Nothing here knows about biorhythms.
namespace history {

// The normal quantile for a two-sided 95 % interval.
constexpr double Z95 = 1.959963984540054;

struct Interval {
    double low = 0;
    double high = 0;
};

// Wilson's score interval for hits out of total (total > 0): unlike the textbook "p ± 2 SE" it
// stays inside 0..1 and keeps its coverage for small counts and rates near 0.
Interval wilsonInterval(int hits, int total);

// Student's t quantile for a two-sided 95 % interval with df degrees of freedom (df >= 1).
double tQuantile95(int df);

// P(Z >= z) for a standard normal Z.
double normalUpperTail(double z);

// Ranks 1..n of the values into ranks (of the same size), ties sharing the mean of the ranks they
// take. By counting, without sorting or allocating: meant for the handful of starters of a race.
void midranks(std::span<const double> values, std::span<double> ranks);

// Holm's step-down adjustment: each p-value raised so that the whole family keeps its 5 %.
std::vector<double> holmAdjusted(std::span<const double> p);

// How a p-value was worked out.
enum class TestMethod {
    Exact,       // the permutation distribution, enumerated
    Permutation, // random permutations with a fixed seed
    Normal,      // the large-sample normal form with the permutation mean and variance
};

struct TestResult {
    double p = 1;
    TestMethod method = TestMethod::Exact;
};

// One race seen by a 2 x 2 question: its starters, how many of them hold the outcome (for example
// won), how many are marked (for example on a caution day), and how many marked ones hold it.
struct MarkedRace {
    int starters = 0;
    int outcomes = 0;
    int marked = 0;
    int markedOutcomes = 0;
};

// Two-sided test of the sum of markedOutcomes over the races, each race's count following the
// hypergeometric law when its orders are shuffled. Exact up to exactLimit races, the normal form
// with continuity correction beyond. Doubling the smaller tail keeps the test on the cautious side.
TestResult markedOutcomeTest(std::span<const MarkedRace> races, int exactLimit);

struct RankAssociation {
    double correlation = 0; // the correlation of the centred ranks; NaN where a side never varies
    TestResult test;
};

// Spearman's correlation of several columns with the finishing order within races, pooled, and its
// two-sided test. Fed race by race with the starters' centred ranks (rank minus the race's mean rank:
// finish ranks higher for better places, column ranks higher for higher values), it keeps the sums
// that the correlation and the normal form need. With permute it also keeps the ranks, for random
// shuffles of the finish ranks within each race, the same shuffles for every column, from a fixed seed.
class PooledRankTest {
public:
    PooledRankTest(std::size_t columns, bool permute);

    // columns holds each column's n ranks one column after the other; finish holds n. A race of one
    // starter adds nothing.
    void addRace(std::span<const double> finish, std::span<const double> columns);

    // The normal form with the exact permutation variance, or with permute that many shuffles.
    std::vector<RankAssociation> results(int permutations, std::uint64_t seed) const;

private:
    std::size_t m_columns;
    bool m_permute;
    std::vector<double> m_seen;          // sum of column rank * finish rank
    std::vector<double> m_columnSquares; // sum of column rank squared
    std::vector<double> m_variance;      // of m_seen over the shuffles
    double m_finishSquares = 0;
    std::vector<std::size_t> m_raceStart{0}; // kept with permute: where each race begins in m_finish
    std::vector<double> m_finish;
    std::vector<double> m_ranks; // per starter, its column ranks side by side
};

} // namespace history
