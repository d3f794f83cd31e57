#include "history/HistoryStatistics.h"

#include "core/Conversions.h"
#include "core/Csv.h"
#include "core/Errors.h"
#include "records/Biorhythm.h"
#include "records/HistoryFields.h"
#include "store/Database.h"
#include "store/Recordset.h"

#include <cmath>
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

std::optional<Starter> starterOf(const RaceRow& row, const RaceRow::Slot& slot, const PhaseTable& table) {
    if (slot.racer.value_or(0) == 0 || !hasBirthDate(slot))
        return std::nullopt;
    const std::optional<int> order = position(slot);
    if (!order)
        return std::nullopt;
    Starter starter;
    starter.order = *order;
    try {
        const double elapsed = bio::ElapsedDays(*row.year, *row.month, *row.day, *slot.birthYear,
                                                *slot.birthMonth, *slot.birthDay);
        for (int k = 0; k < CycleCount; ++k) {
            const auto phase = static_cast<size_t>(bio::CyclePhase(elapsed, Cycles[k]));
            starter.evaluation[k] = table.evaluation[k][phase];
            starter.caution[k] = table.caution[k][phase];
        }
    } catch (const KorvaneError&) {
        // A date whose day number overflows has no biorhythm to count.
        return std::nullopt;
    }
    return starter;
}

void count(CautionShare& share, bool caution) {
    ++share.total;
    if (caution)
        ++share.caution;
}

QString percent(const CautionShare& share) {
    if (share.total == 0)
        return {};
    return QString::number(100.0 * share.caution / share.total, 'f', 1) + QLatin1Char('%');
}

const QString CycleNames[CycleCount] = {QStringLiteral("身体"), QStringLiteral("感情"),
                                        QStringLiteral("知性")};

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
            if (std::optional<Starter> starter = starterOf(row, slot, table))
                race.starters.push_back(*starter);
        }
        if (race.starters.empty())
            continue;
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

Figures computeFigures(const std::vector<CountedRace>& races, const StatisticsFilter& filter) {
    Figures figures;
    std::array<std::array<double, PositionCount>, CycleCount> sums{};
    for (const CountedRace& race : races) {
        if (filter.venueId && race.venueId != *filter.venueId)
            continue;
        if (race.surveyKey < filter.fromKey || race.surveyKey > filter.toKey)
            continue;
        ++figures.races;
        for (const Starter& starter : race.starters) {
            ++figures.starters;
            const int p = starter.order - 1;
            ++figures.positionCount[p];
            for (int k = 0; k < CycleCount; ++k) {
                sums[k][p] += starter.evaluation[k];
                // Ties count for every starter that shares the place.
                if (starter.order == 1)
                    count(figures.winners[k], starter.caution[k]);
                if (starter.order <= 3)
                    count(figures.firstThree[k], starter.caution[k]);
                count(figures.everyone[k], starter.caution[k]);
            }
        }
    }
    for (int k = 0; k < CycleCount; ++k)
        for (int p = 0; p < PositionCount; ++p)
            if (figures.positionCount[p] > 0)
                figures.positionMean[k][p] = sums[k][p] / figures.positionCount[p];
    return figures;
}

QString summaryLine(const Figures& figures) {
    if (figures.races < EnoughRaces)
        return QStringLiteral("着順のあるレースは %1 件です。データが足りません（%2 件以上で傾向を見ます）。")
            .arg(figures.races)
            .arg(EnoughRaces);
    // A difference counts when it is beyond twice the standard error of a share of that many winners
    // drawn from all starters: smaller ones are what chance alone gives.
    QStringList differences;
    for (int k = 0; k < CycleCount; ++k) {
        const CautionShare& winners = figures.winners[k];
        const CautionShare& everyone = figures.everyone[k];
        if (winners.total == 0 || everyone.total == 0)
            continue;
        const double expected = static_cast<double>(everyone.caution) / everyone.total;
        const double seen = static_cast<double>(winners.caution) / winners.total;
        const double margin = 2 * std::sqrt(expected * (1 - expected) / winners.total);
        if (seen < expected - margin)
            differences << CycleNames[k] + QStringLiteral("で低く");
        else if (seen > expected + margin)
            differences << CycleNames[k] + QStringLiteral("で高く");
    }
    const QString head =
        QStringLiteral("着順のあるレース %1 件では、1着の選手が要注意日だった割合").arg(figures.races);
    if (differences.isEmpty())
        return head + QStringLiteral("に、全出走者との目立った差はありません。");
    return head + QStringLiteral("が全出走者より") + differences.join(QStringLiteral("、")) +
           QStringLiteral("なっています。");
}

QList<QStringList> figureTable(const Figures& figures) {
    QList<QStringList> table;
    table << QStringList{QStringLiteral("着順"), QStringLiteral("人数"), CycleNames[0], CycleNames[1],
                         CycleNames[2]};
    for (int p = 0; p < PositionCount; ++p) {
        QStringList row{QString::number(p + 1) + QStringLiteral("着"),
                        QString::number(figures.positionCount[p])};
        for (int k = 0; k < CycleCount; ++k)
            row << (figures.positionCount[p] > 0 ? conv::formatAmount(figures.positionMean[k][p])
                                                 : QString());
        table << row;
    }
    const auto shareRow = [](const QString& label, const std::array<CautionShare, CycleCount>& shares) {
        QStringList row{label, QString::number(shares[0].total)};
        for (const CautionShare& share : shares)
            row << percent(share);
        return row;
    };
    table << shareRow(QStringLiteral("1着の要注意日"), figures.winners);
    table << shareRow(QStringLiteral("3着以内の要注意日"), figures.firstThree);
    table << shareRow(QStringLiteral("全出走者の要注意日"), figures.everyone);
    return table;
}

QByteArray tableCsv(const QList<QStringList>& table) {
    return csv::document(table);
}

} // namespace history
