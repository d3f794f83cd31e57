#include "records/RaceStatistics.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

namespace history {

namespace {

// The two-sided 95 % quantiles of Student's t for 1..30 degrees of freedom, from the printed tables;
// beyond 30 the Cornish-Fisher expansion agrees with them to four places.
constexpr double TTable[] = {12.7062, 4.3027, 3.1824, 2.7764, 2.5706, 2.4469, 2.3646, 2.3060, 2.2622, 2.2281,
                             2.2010,  2.1788, 2.1604, 2.1448, 2.1314, 2.1199, 2.1098, 2.1009, 2.0930, 2.0860,
                             2.0796,  2.0739, 2.0687, 2.0639, 2.0595, 2.0555, 2.0518, 2.0484, 2.0452, 2.0423};

double choose(int n, int k) {
    if (k < 0 || k > n)
        return 0;
    double value = 1;
    for (int i = 1; i <= k; ++i)
        value = value * (n - k + i) / i;
    return value;
}

// Two-sided p from the two tails, each including the value seen.
double twoSided(double lower, double upper) {
    return std::min(1.0, 2 * std::min(lower, upper));
}

// splitmix64: small, fast and the same on every platform, so the same data give the same p-values.
class Shuffler {
public:
    explicit Shuffler(std::uint64_t seed)
        : m_state(seed) {}

    // A whole number in 0..n-1.
    std::size_t below(std::size_t n) {
        m_state += 0x9E3779B97F4A7C15ULL;
        std::uint64_t z = m_state;
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        z ^= z >> 31;
        return static_cast<std::size_t>(((z >> 32) * static_cast<std::uint64_t>(n)) >> 32);
    }

    void shuffle(double* first, std::size_t count) {
        for (std::size_t i = count; i > 1; --i)
            std::swap(first[i - 1], first[below(i)]);
    }

private:
    std::uint64_t m_state;
};

bool varies(const MarkedRace& race) {
    return race.starters >= 2 && race.outcomes > 0 && race.outcomes < race.starters && race.marked > 0 &&
           race.marked < race.starters;
}

} // namespace

Interval wilsonInterval(int hits, int total) {
    const double n = total;
    const double p = hits / n;
    const double z2 = Z95 * Z95;
    const double denominator = 1 + z2 / n;
    const double centre = (p + z2 / (2 * n)) / denominator;
    const double half = Z95 * std::sqrt(p * (1 - p) / n + z2 / (4 * n * n)) / denominator;
    return {std::max(0.0, centre - half), std::min(1.0, centre + half)};
}

double tQuantile95(int df) {
    if (df <= static_cast<int>(std::size(TTable)))
        return TTable[df - 1];
    const double z = Z95;
    const double v = df;
    const double z3 = z * z * z;
    const double z5 = z3 * z * z;
    const double z7 = z5 * z * z;
    return z + (z3 + z) / (4 * v) + (5 * z5 + 16 * z3 + 3 * z) / (96 * v * v) +
           (3 * z7 + 19 * z5 + 17 * z3 - 15 * z) / (384 * v * v * v);
}

double normalUpperTail(double z) {
    return 0.5 * std::erfc(z / std::sqrt(2.0));
}

void midranks(std::span<const double> values, std::span<double> ranks) {
    for (std::size_t i = 0; i < values.size(); ++i) {
        int below = 0;
        int equal = 0;
        for (const double other : values) {
            below += other < values[i];
            equal += other == values[i];
        }
        // The tied values take ranks below + 1 .. below + equal.
        ranks[i] = below + (equal + 1) / 2.0;
    }
}

std::vector<double> holmAdjusted(std::span<const double> p) {
    std::vector<std::size_t> order(p.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return p[a] < p[b]; });
    std::vector<double> adjusted(p.size());
    double running = 0;
    for (std::size_t i = 0; i < order.size(); ++i) {
        running = std::max(running, std::min(1.0, static_cast<double>(p.size() - i) * p[order[i]]));
        adjusted[order[i]] = running;
    }
    return adjusted;
}

TestResult markedOutcomeTest(std::span<const MarkedRace> races, int exactLimit) {
    // Races where nothing can move under a shuffle add a constant: only the others are looked at.
    int seen = 0;
    double mean = 0;
    double variance = 0;
    for (const MarkedRace& race : races) {
        if (!varies(race))
            continue;
        const double n = race.starters;
        const double w = race.outcomes;
        const double c = race.marked;
        seen += race.markedOutcomes;
        mean += c * w / n;
        variance += c * w * (n - c) * (n - w) / (n * n * (n - 1));
    }
    if (variance <= 0)
        return {1, TestMethod::Exact};

    if (static_cast<int>(races.size()) > exactLimit) {
        const double sd = std::sqrt(variance);
        return {
            twoSided(normalUpperTail((mean - seen - 0.5) / sd), normalUpperTail((seen - 0.5 - mean) / sd)),
            TestMethod::Normal};
    }

    // The distribution of the sum, race by race; index i stands for offset + i.
    std::vector<double> distribution{1.0};
    std::vector<double> next;
    int offset = 0;
    for (const MarkedRace& race : races) {
        if (!varies(race))
            continue;
        const int n = race.starters;
        const int w = race.outcomes;
        const int c = race.marked;
        const int low = std::max(0, w - (n - c));
        const int high = std::min(w, c);
        const double all = choose(n, w);
        next.assign(distribution.size() + static_cast<std::size_t>(high - low), 0.0);
        for (int x = low; x <= high; ++x) {
            const double p = choose(c, x) * choose(n - c, w - x) / all;
            for (std::size_t i = 0; i < distribution.size(); ++i)
                next[i + static_cast<std::size_t>(x - low)] += distribution[i] * p;
        }
        distribution.swap(next);
        offset += low;
    }
    const auto at = static_cast<std::size_t>(seen - offset);
    double lower = 0;
    double upper = 0;
    for (std::size_t i = 0; i < distribution.size(); ++i) {
        if (i <= at)
            lower += distribution[i];
        if (i >= at)
            upper += distribution[i];
    }
    return {twoSided(lower, upper), TestMethod::Exact};
}

PooledRankTest::PooledRankTest(std::size_t columns, bool permute)
    : m_columns(columns)
    , m_permute(permute)
    , m_seen(columns, 0.0)
    , m_columnSquares(columns, 0.0)
    , m_variance(columns, 0.0) {}

void PooledRankTest::addRace(std::span<const double> finish, std::span<const double> columns) {
    const std::size_t n = finish.size();
    if (n < 2)
        return;
    double b2 = 0;
    for (const double b : finish)
        b2 += b * b;
    m_finishSquares += b2;
    for (std::size_t k = 0; k < m_columns; ++k) {
        const std::span<const double> a = columns.subspan(k * n, n);
        double a2 = 0;
        for (std::size_t i = 0; i < n; ++i) {
            a2 += a[i] * a[i];
            m_seen[k] += a[i] * finish[i];
        }
        m_columnSquares[k] += a2;
        // The variance of sum(a * b) over the shuffles of b within the race.
        m_variance[k] += a2 * b2 / static_cast<double>(n - 1);
    }
    if (!m_permute)
        return;
    m_finish.insert(m_finish.end(), finish.begin(), finish.end());
    for (std::size_t i = 0; i < n; ++i)
        for (std::size_t k = 0; k < m_columns; ++k)
            m_ranks.push_back(columns[k * n + i]);
    m_raceStart.push_back(m_finish.size());
}

std::vector<RankAssociation> PooledRankTest::results(int permutations, std::uint64_t seed) const {
    std::vector<RankAssociation> results(m_columns);
    for (std::size_t k = 0; k < m_columns; ++k) {
        results[k].correlation = m_columnSquares[k] > 0 && m_finishSquares > 0
                                     ? m_seen[k] / std::sqrt(m_columnSquares[k] * m_finishSquares)
                                     : std::numeric_limits<double>::quiet_NaN();
        if (m_variance[k] <= 0)
            results[k].test = {1, TestMethod::Exact};
        else if (!m_permute)
            results[k].test = {2 * normalUpperTail(std::abs(m_seen[k]) / std::sqrt(m_variance[k])),
                               TestMethod::Normal};
    }
    if (!m_permute)
        return results;

    // Centred ranks are multiples of one half, so every sum below is exact and ties compare exactly.
    Shuffler shuffler(seed);
    std::vector<double> finish = m_finish;
    std::vector<int> atLeast(m_columns, 0);
    std::vector<int> atMost(m_columns, 0);
    std::vector<double> sum(m_columns);
    for (int m = 0; m < permutations; ++m) {
        std::fill(sum.begin(), sum.end(), 0.0);
        for (std::size_t r = 0; r + 1 < m_raceStart.size(); ++r) {
            const std::size_t first = m_raceStart[r];
            const std::size_t end = m_raceStart[r + 1];
            shuffler.shuffle(finish.data() + first, end - first);
            for (std::size_t i = first; i < end; ++i) {
                const double* a = m_ranks.data() + i * m_columns;
                for (std::size_t k = 0; k < m_columns; ++k)
                    sum[k] += a[k] * finish[i];
            }
        }
        for (std::size_t k = 0; k < m_columns; ++k) {
            atLeast[k] += sum[k] >= m_seen[k];
            atMost[k] += sum[k] <= m_seen[k];
        }
    }
    for (std::size_t k = 0; k < m_columns; ++k) {
        if (m_variance[k] <= 0)
            continue;
        // The data themselves count as one of the arrangements, so p is never 0.
        const double total = permutations + 1.0;
        results[k].test = {twoSided((1 + atMost[k]) / total, (1 + atLeast[k]) / total),
                           TestMethod::Permutation};
    }
    return results;
}

} // namespace history
