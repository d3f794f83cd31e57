#include "records/HistoryStatistics.h"

#include "core/Conversions.h"
#include "core/Errors.h"
#include "records/Biorhythm.h"
#include "records/HistoryFields.h"
#include "store/Database.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>

namespace history {

namespace {

constexpr int Cycles[CycleCount] = {bio::Physical, bio::Emotional, bio::Intellectual};

// The columns read, in this order: the race's own, then five for each slot.
enum RaceColumn { Id, Year, Month, Day, VenueId, VenueName, FirstSlot };
enum SlotColumn { Racer, BirthYear, BirthMonth, BirthDay, Order, SlotColumns };

QStringList raceColumns() {
    QStringList columns{QStringLiteral("履歴ID"), QStringLiteral("調査年"),   QStringLiteral("調査月"),
                        QStringLiteral("調査日"), QStringLiteral("競輪場ID"), QStringLiteral("競輪場名")};
    for (int n = 1; n <= PositionCount; ++n)
        for (const char16_t* stem : {u"選手", u"生年", u"生月", u"生日", u"結果"})
            columns << slotField(QString::fromUtf16(stem), n);
    return columns;
}

// A field that a user's edits may have left empty or odd: such a value is read as none, so that one
// damaged race does not keep the statistics of all the others from showing.
std::optional<qint16> optionalInt16(const QVariant& value) {
    try {
        return conv::valueToInt16(value);
    } catch (const KorvaneError&) {
        return std::nullopt;
    }
}

std::optional<double> optionalDouble(const QVariant& value) {
    try {
        return conv::valueToDouble(value);
    } catch (const KorvaneError&) {
        return std::nullopt;
    }
}

bool hasBirthDate(const RaceRow::Slot& slot) {
    return slot.birthYear.value_or(0) != 0 && slot.birthMonth.value_or(0) != 0 &&
           slot.birthDay.value_or(0) != 0;
}

// A finishing order the figures can place: a whole number from 1 to 9.
std::optional<int> position(const RaceRow::Slot& slot) {
    if (!slot.order)
        return std::nullopt;
    const double order = *slot.order;
    if (order < 1 || order > PositionCount || order != std::floor(order))
        return std::nullopt;
    return static_cast<int>(order);
}

// A cycle's evaluation and caution level depend on the phase alone, so they are worked out once for
// each of its 23, 28 or 33 phases with the program's own routines, and looked up for every starter.
struct PhaseTable {
    std::array<std::array<double, bio::Intellectual>, CycleCount> evaluation{};
    std::array<std::array<bool, bio::Intellectual>, CycleCount> caution{};

    PhaseTable() {
        for (int k = 0; k < CycleCount; ++k) {
            for (int phase = 0; phase < Cycles[k]; ++phase) {
                evaluation[k][phase] = bio::EvaluationValue(phase, Cycles[k]);
                caution[k][phase] = bio::MessageLevel(phase, Cycles[k]) == 0;
            }
        }
    }
};

// A slot that counts, one whose racer was born after the race, or neither.
enum class SlotCount { None, Starter, Unborn };

SlotCount starterOf(const RaceRow& row, const RaceRow::Slot& slot, const PhaseTable& table,
                    Starter& starter) {
    if (slot.racer.value_or(0) == 0 || !hasBirthDate(slot))
        return SlotCount::None;
    const std::optional<int> order = position(slot);
    if (!order)
        return SlotCount::None;
    starter.order = *order;
    try {
        const double elapsed = bio::ElapsedDays(*row.year, *row.month, *row.day, *slot.birthYear,
                                                *slot.birthMonth, *slot.birthDay);
        // A birth date after the race is a typing slip, not a racer with a biorhythm.
        if (elapsed < 0)
            return SlotCount::Unborn;
        for (int k = 0; k < CycleCount; ++k) {
            const auto phase = static_cast<size_t>(bio::CyclePhase(elapsed, Cycles[k]));
            starter.evaluation[k] = table.evaluation[k][phase];
            starter.caution[k] = table.caution[k][phase];
        }
    } catch (const KorvaneError&) {
        // A date whose day number overflows has no biorhythm to count.
        return SlotCount::None;
    }
    return SlotCount::Starter;
}

// The ranks within one race, centred on the race's mean rank. Evaluations equal to four places are
// one value: two phases with the same sine differ only by the rounding of the constant pi.
void rankWithinRace(std::vector<Starter>& starters) {
    const size_t n = starters.size();
    const double middle = (static_cast<double>(n) + 1) / 2;
    std::array<double, PositionCount> values{};
    std::array<double, PositionCount> ranks{};
    const std::span<const double> from(values.data(), n);
    const std::span<double> to(ranks.data(), n);
    for (size_t i = 0; i < n; ++i)
        values[i] = starters[i].order;
    midranks(from, to);
    for (size_t i = 0; i < n; ++i)
        starters[i].finishRank = middle - ranks[i];
    for (int k = 0; k < CycleCount; ++k) {
        for (size_t i = 0; i < n; ++i)
            values[i] = std::round(starters[i].evaluation[k] * 10000);
        midranks(from, to);
        for (size_t i = 0; i < n; ++i)
            starters[i].evaluationRank[k] = ranks[i] - middle;
    }
}

} // namespace

std::vector<RaceRow> readRaceRows(Database& db) {
    static const QStringList columns = raceColumns();
    std::vector<RaceRow> rows;
    // One pass over the query, nothing held but the rows themselves.
    db.readColumns(QStringLiteral("Q_レース履歴"), columns, [&rows](const QVariantList& values) {
        RaceRow& row = rows.emplace_back();
        row.id = static_cast<qint64>(conv::valueToDouble(values[Id]));
        row.year = optionalInt16(values[Year]);
        row.month = optionalInt16(values[Month]);
        row.day = optionalInt16(values[Day]);
        row.venueId = optionalInt16(values[VenueId]).value_or(0);
        row.venueName = conv::valueText(values[VenueName]);
        for (int i = 0; i < PositionCount; ++i) {
            const auto at = [&](SlotColumn column) -> const QVariant& {
                return values[FirstSlot + i * SlotColumns + column];
            };
            RaceRow::Slot& slot = row.entries[static_cast<size_t>(i)];
            if (const std::optional<double> racer = optionalDouble(at(Racer)))
                slot.racer = static_cast<qint64>(*racer);
            // An empty slot is not a starter: nothing more of it is needed.
            if (slot.racer.value_or(0) == 0)
                continue;
            slot.birthYear = optionalInt16(at(BirthYear));
            slot.birthMonth = optionalInt16(at(BirthMonth));
            slot.birthDay = optionalInt16(at(BirthDay));
            slot.order = optionalDouble(at(Order));
        }
    });
    return rows;
}

std::vector<CountedRace> countRaces(const std::vector<RaceRow>& rows) {
    static const PhaseTable table;
    std::vector<CountedRace> races;
    races.reserve(rows.size());
    for (const RaceRow& row : rows) {
        if (!row.year || !row.month || !row.day)
            continue;
        CountedRace race;
        for (const RaceRow::Slot& slot : row.entries) {
            Starter starter;
            switch (starterOf(row, slot, table, starter)) {
            case SlotCount::Starter:
                race.starters.push_back(starter);
                break;
            case SlotCount::Unborn:
                ++race.unborn;
                break;
            case SlotCount::None:
                break;
            }
        }
        if (race.starters.empty() && race.unborn == 0)
            continue;
        rankWithinRace(race.starters);
        race.id = row.id;
        race.surveyKey = *row.year * 10000 + *row.month * 100 + *row.day;
        race.venueId = row.venueId;
        race.venueName = row.venueName;
        races.push_back(std::move(race));
    }
    return races;
}

std::vector<CountedRace> loadCountedRaces(const QString& databasePath) {
    std::vector<RaceRow> rows;
    {
        Database db(databasePath);
        rows = readRaceRows(db);
        // Everything the figures need is now in memory: the database is free for the history window.
        db.close();
    }
    return countRaces(rows);
}

double cycleAmplitude(int cycle) {
    return Cycles[cycle] / 4.0;
}

QString cycleName(int cycle) {
    static const QString names[CycleCount] = {QStringLiteral("身体"), QStringLiteral("感情"),
                                              QStringLiteral("知性")};
    return names[cycle];
}

Figures computeFigures(const std::vector<CountedRace>& races, const StatisticsFilter& filter) {
    Figures figures;
    std::array<std::array<double, PositionCount>, CycleCount> sums{};
    std::array<std::array<double, PositionCount>, CycleCount> squares{};
    std::array<std::array<double, PlaceCount>, CycleCount> chance{};
    std::array<std::vector<MarkedRace>, CycleCount> marked;
    const auto taken = [&filter](const CountedRace& race) {
        return (!filter.venueId || race.venueId == *filter.venueId) && race.surveyKey >= filter.fromKey &&
               race.surveyKey <= filter.toKey;
    };
    // Below so many races the rank test shuffles the orders, and keeps the ranks to do so.
    const auto raceCount =
        static_cast<int>(std::count_if(races.begin(), races.end(), [&](const CountedRace& race) {
            return taken(race) && !race.starters.empty();
        }));
    PooledRankTest rankTest(CycleCount, raceCount < NormalRankRaces);
    for (int k = 0; k < CycleCount; ++k)
        marked[k].reserve(static_cast<size_t>(raceCount));
    for (const CountedRace& race : races) {
        if (!taken(race)) {
            figures.subset = figures.subset || !race.starters.empty();
            continue;
        }
        figures.unborn += race.unborn;
        if (race.starters.empty())
            continue;
        ++figures.races;
        const int field = static_cast<int>(race.starters.size());
        std::array<MarkedRace, CycleCount> markedRace{};
        std::array<double, PositionCount> finishRanks{};
        std::array<double, CycleCount * PositionCount> evaluationRanks{};
        for (MarkedRace& m : markedRace) {
            m.starters = field;
            m.outcomes = static_cast<int>(std::count_if(race.starters.begin(), race.starters.end(),
                                                        [](const Starter& s) { return s.order == 1; }));
        }
        for (int i = 0; i < field; ++i) {
            const Starter& starter = race.starters[static_cast<size_t>(i)];
            ++figures.starters;
            const int p = starter.order - 1;
            ++figures.positionCount[p];
            finishRanks[static_cast<size_t>(i)] = starter.finishRank;
            for (int k = 0; k < CycleCount; ++k) {
                const double value = starter.evaluation[k];
                sums[k][p] += value;
                squares[k][p] += value * value;
                evaluationRanks[static_cast<size_t>(k * field + i)] = starter.evaluationRank[k];
                CycleFigures& cycle = figures.cycles[k];
                std::array<Rate, PlaceCount>& group = starter.caution[k] ? cycle.caution : cycle.other;
                // Ties count for every starter that shares the place.
                for (int j = 0; j < PlaceCount; ++j) {
                    ++group[j].total;
                    group[j].hits += starter.order <= j + 1;
                }
                if (!starter.caution[k])
                    continue;
                ++markedRace[k].marked;
                markedRace[k].markedOutcomes += starter.order == 1;
                for (int j = 0; j < PlaceCount; ++j)
                    chance[k][j] += std::min(1.0, (j + 1.0) / field);
            }
        }
        rankTest.addRace(
            std::span<const double>(finishRanks.data(), static_cast<size_t>(field)),
            std::span<const double>(evaluationRanks.data(), static_cast<size_t>(CycleCount * field)));
        for (int k = 0; k < CycleCount; ++k)
            marked[k].push_back(markedRace[k]);
    }

    for (int k = 0; k < CycleCount; ++k) {
        for (int p = 0; p < PositionCount; ++p) {
            const int n = figures.positionCount[p];
            if (n == 0)
                continue;
            const double mean = sums[k][p] / n;
            figures.positionMean[k][p] = mean;
            if (n > 1) {
                const double variance = std::max(0.0, (squares[k][p] - n * mean * mean) / (n - 1));
                figures.positionMargin[k][p] = tQuantile95(n - 1) * std::sqrt(variance / n);
            }
        }
    }

    const std::vector<RankAssociation> association = rankTest.results(RankPermutations, PermutationSeed);
    std::vector<double> p;
    for (int k = 0; k < CycleCount; ++k) {
        CycleFigures& cycle = figures.cycles[k];
        const int cautionStarters = cycle.caution[0].total;
        for (int j = 0; j < PlaceCount; ++j)
            cycle.expected[j] = cautionStarters > 0 ? chance[k][j] / cautionStarters
                                                    : std::numeric_limits<double>::quiet_NaN();
        cycle.cautionTest = markedOutcomeTest(marked[k], ExactCautionRaces);
        cycle.rankCorrelation = association[k].correlation;
        cycle.rankTest = association[k].test;
        cycle.enough = figures.races >= EnoughRaces && cautionStarters >= EnoughCautionStarters;
        p.push_back(cycle.cautionTest.p);
        p.push_back(cycle.rankTest.p);
    }
    const std::vector<double> adjusted = holmAdjusted(p);
    for (int k = 0; k < CycleCount; ++k) {
        CycleFigures& cycle = figures.cycles[k];
        cycle.pCaution = adjusted[2 * k];
        cycle.pRank = adjusted[2 * k + 1];
        cycle.claimCaution = cycle.enough && cycle.pCaution < ClaimLevel;
        cycle.claimRank = cycle.enough && cycle.pRank < ClaimLevel;
    }
    return figures;
}

} // namespace history
