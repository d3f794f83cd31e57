#include "records/HistoryStatistics.h"

#include "core/Conversions.h"
#include "core/Errors.h"
#include "records/Biorhythm.h"
#include "records/HistoryFields.h"
#include "store/Database.h"
#include "store/Recordset.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>

namespace history {

namespace {

constexpr int Cycles[CycleCount] = {bio::Physical, bio::Emotional, bio::Intellectual};

// The column names, made once: the walks over the races ask for the same ones at every row.
struct ColumnNames {
    QString id = QStringLiteral("履歴ID");
    QString year = QStringLiteral("調査年");
    QString month = QStringLiteral("調査月");
    QString day = QStringLiteral("調査日");
    QString venueId = QStringLiteral("競輪場ID");
    QString venueName = QStringLiteral("競輪場名");
    struct Slot {
        QString racer, birthYear, birthMonth, birthDay, order;
    };
    std::array<Slot, PositionCount> entries;

    ColumnNames() {
        for (int n = 1; n <= PositionCount; ++n)
            entries[n - 1] = {slotField(QStringLiteral("選手"), n), slotField(QStringLiteral("生年"), n),
                              slotField(QStringLiteral("生月"), n), slotField(QStringLiteral("生日"), n),
                              slotField(QStringLiteral("結果"), n)};
    }
};

// A field that a user's edits may have left empty or odd: such a value is read as none, so that one
// damaged race does not keep the statistics of all the others from showing.
std::optional<qint16> optionalInt16(const Recordset& set, const QString& name) {
    try {
        return conv::valueToInt16(set.field(name));
    } catch (const KorvaneError& error) {
        if (error.number() == ErrorNumber::RecordDeleted)
            throw;
        return std::nullopt;
    }
}

std::optional<double> optionalDouble(const Recordset& set, const QString& name) {
    try {
        return conv::valueToDouble(set.field(name));
    } catch (const KorvaneError& error) {
        if (error.number() == ErrorNumber::RecordDeleted)
            throw;
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
    std::vector<double> values(n);
    for (size_t i = 0; i < n; ++i)
        values[i] = starters[i].order;
    std::vector<double> ranks = midranks(values);
    for (size_t i = 0; i < n; ++i)
        starters[i].finishRank = middle - ranks[i];
    for (int k = 0; k < CycleCount; ++k) {
        for (size_t i = 0; i < n; ++i)
            values[i] = std::round(starters[i].evaluation[k] * 10000);
        ranks = midranks(values);
        for (size_t i = 0; i < n; ++i)
            starters[i].evaluationRank[k] = ranks[i] - middle;
    }
}

} // namespace

std::vector<RaceRow> readRaceRows(Recordset& races) {
    static const ColumnNames names;
    std::vector<RaceRow> rows;
    if (races.recordCount() == 0)
        return rows;
    rows.resize(static_cast<size_t>(races.recordCount()));
    // One walk for the race's own columns, then one per slot: the record set keeps the last sixteen
    // names asked for at hand, and each walk asks for no more than six.
    size_t r = 0;
    for (races.moveFirst(); !races.eof() && r < rows.size(); races.moveNext(), ++r) {
        RaceRow& row = rows[r];
        row.id = static_cast<qint64>(fieldDouble(races, names.id));
        row.year = optionalInt16(races, names.year);
        row.month = optionalInt16(races, names.month);
        row.day = optionalInt16(races, names.day);
        row.venueId = optionalInt16(races, names.venueId).value_or(0);
        row.venueName = conv::valueText(races.field(names.venueName));
    }
    for (int i = 0; i < PositionCount; ++i) {
        const ColumnNames::Slot& column = names.entries[i];
        r = 0;
        for (races.moveFirst(); !races.eof() && r < rows.size(); races.moveNext(), ++r) {
            RaceRow::Slot& slot = rows[r].entries[i];
            const std::optional<double> racer = optionalDouble(races, column.racer);
            if (racer)
                slot.racer = static_cast<qint64>(*racer);
            // An empty slot is not a starter: nothing more of it is needed.
            if (slot.racer.value_or(0) == 0)
                continue;
            slot.birthYear = optionalInt16(races, column.birthYear);
            slot.birthMonth = optionalInt16(races, column.birthMonth);
            slot.birthDay = optionalInt16(races, column.birthDay);
            slot.order = optionalDouble(races, column.order);
        }
    }
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
    auto db = std::make_unique<Database>(databasePath);
    auto races = db->openRecordset(QStringLiteral("Q_レース履歴"));
    const std::vector<RaceRow> rows = readRaceRows(*races);
    // Everything the figures need is now in memory: the database is free for the history window.
    closeStore({&races}, db);
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
    PooledRanks ranks;
    ranks.columns.resize(CycleCount);
    ranks.raceStart.push_back(0);
    for (const CountedRace& race : races) {
        if ((filter.venueId && race.venueId != *filter.venueId) || race.surveyKey < filter.fromKey ||
            race.surveyKey > filter.toKey) {
            figures.subset = figures.subset || !race.starters.empty();
            continue;
        }
        figures.unborn += race.unborn;
        if (race.starters.empty())
            continue;
        ++figures.races;
        const int field = static_cast<int>(race.starters.size());
        std::array<MarkedRace, CycleCount> markedRace{};
        for (MarkedRace& m : markedRace) {
            m.starters = field;
            m.outcomes = static_cast<int>(std::count_if(race.starters.begin(), race.starters.end(),
                                                        [](const Starter& s) { return s.order == 1; }));
        }
        for (const Starter& starter : race.starters) {
            ++figures.starters;
            const int p = starter.order - 1;
            ++figures.positionCount[p];
            ranks.finish.push_back(starter.finishRank);
            for (int k = 0; k < CycleCount; ++k) {
                const double value = starter.evaluation[k];
                sums[k][p] += value;
                squares[k][p] += value * value;
                ranks.columns[k].push_back(starter.evaluationRank[k]);
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
        ranks.raceStart.push_back(ranks.finish.size());
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

    const std::vector<RankAssociation> association =
        rankAssociations(ranks, NormalRankRaces, RankPermutations, PermutationSeed);
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
