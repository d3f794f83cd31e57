// Times each racer search through the code the windows run (opening the record set included)
// against the bare SQLite query that yields the same rows, on a database of 32,767 racers.
#include "core/Errors.h"
#include "race/RacerSearch.h"
#include "store/Database.h"
#include "store/Recordset.h"
#include "store/SeedDatabase.h"

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <map>
#include <memory>

namespace {

struct SearchCase {
    QString name;
    qint16 mode = 0;
    SearchRequest request;
    QString bareSql; // the same rows: all columns, at most 501
    QVariantList binds;

    // The bare query without its row limit: every matching row, as the record set reads them.
    QString everyMatchSql() const { return QString(bareSql).remove(QStringLiteral(" LIMIT 501")); }
};

class BenchDatabase {
public:
    BenchDatabase() {
        m_path = m_dir.path() + QStringLiteral("/Korvane.mdb");
        seed::createDatabase(m_path, seed::maximumRacerCount, seed::defaultSeed);
        m_sql = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("bare"));
        m_sql.setDatabaseName(m_path);
        if (!m_sql.open())
            qFatal("cannot open %s", qPrintable(m_path));
        // 500 racers spread over the whole table make the extraction list.
        exec(QStringLiteral("INSERT INTO T_選手抽出 (選手ID) SELECT 選手ID FROM T_選手 WHERE 選手ID % 61 = 0 "
                            "ORDER BY 選手ID LIMIT 500"));
        m_db = std::make_unique<Database>(m_path);
    }

    QSqlQuery exec(const QString& sql, const QVariantList& binds = {}) {
        QSqlQuery query(m_sql);
        query.prepare(sql);
        for (const QVariant& v : binds)
            query.addBindValue(v);
        if (!query.exec())
            qFatal("%s: %s", qPrintable(sql), qPrintable(query.lastError().text()));
        return query;
    }
    int first(const QString& sql) {
        QSqlQuery query = exec(sql);
        return query.next() ? query.value(0).toInt() : 0;
    }

    Database& db() { return *m_db; }
    QSqlDatabase& sql() { return m_sql; }

private:
    QTemporaryDir m_dir;
    QString m_path;
    QSqlDatabase m_sql;
    std::unique_ptr<Database> m_db;
};

std::vector<SearchCase> searchCases(BenchDatabase& data) {
    const auto busiest = [&](const QString& column) {
        return qint16(data.first(QStringLiteral("SELECT %1 FROM Q_選手 WHERE %1 IS NOT NULL GROUP BY %1 "
                                                "ORDER BY COUNT(*) DESC LIMIT 1")
                                     .arg(column)));
    };
    const qint16 term = busiest(QStringLiteral("期"));
    const qint16 prefecture = busiest(QStringLiteral("所属ID"));
    const qint16 kana = busiest(QStringLiteral("よみがなID"));
    const qint16 number = qint16(data.first(QStringLiteral("SELECT 登番 FROM Q_選手 LIMIT 1 OFFSET 16000")));
    const qint16 andTerm = qint16(data.first(
        QStringLiteral("SELECT 期 FROM T_選手 WHERE 所属ID = %1 GROUP BY 期 ORDER BY COUNT(*) DESC")
            .arg(prefecture)));

    const QString racers = QStringLiteral("SELECT * FROM Q_選手 ");
    const QString limit = QStringLiteral(" LIMIT 501");
    return {
        {QStringLiteral("term"),
         0,
         SearchRequest::term(term, false, 0),
         racers + QStringLiteral("WHERE 期 = ?") + limit,
         {term}},
        {QStringLiteral("registration number"),
         0,
         SearchRequest::registrationNumber(number),
         racers + QStringLiteral("WHERE 登番 = ?") + limit,
         {number}},
        {QStringLiteral("kana"),
         0,
         SearchRequest::kana(kana),
         racers + QStringLiteral("WHERE よみがなID = ?") + limit,
         {kana}},
        {QStringLiteral("prefecture"),
         0,
         SearchRequest::prefecture(prefecture, false, 0),
         racers + QStringLiteral("WHERE 所属ID = ?") + limit,
         {prefecture}},
        {QStringLiteral("prefecture AND term"),
         0,
         SearchRequest::prefecture(prefecture, true, andTerm),
         racers + QStringLiteral("WHERE 所属ID = ? AND 期 = ?") + limit,
         {prefecture, andTerm}},
        {QStringLiteral("extraction list (500)"),
         1,
         SearchRequest::wholeTable(),
         QStringLiteral("SELECT * FROM Q_選手抽出") + limit,
         {}},
    };
}

// What the window does for one search, short of filling its list box.
int runSearch(Database& db, const SearchCase& c, SearchResults& results) {
    std::unique_ptr<Recordset> source = openRacerSource(db, c.mode, c.request);
    listRacers(*source, c.request, results);
    source->close();
    return results.size();
}

// The bare query: prepared once, executed, every column of every row read.
int runBare(QSqlQuery& query, const SearchCase& c, QList<qint64>* ids = nullptr) {
    for (int i = 0; i < c.binds.size(); ++i)
        query.bindValue(i, c.binds.at(i));
    if (!query.exec())
        qFatal("%s", qPrintable(query.lastError().text()));
    const int columns = query.record().count();
    const int idColumn = query.record().indexOf(QStringLiteral("選手ID"));
    int rows = 0;
    while (query.next()) {
        for (int col = 0; col < columns; ++col)
            benchmark::DoNotOptimize(query.value(col));
        if (ids)
            ids->append(query.value(idColumn).toLongLong());
        ++rows;
    }
    query.finish();
    return rows;
}

// Keeps each benchmark's time per iteration for the ratio table printed at the end.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration && !run.error_occurred)
                m_times[run.benchmark_name()] = run.GetAdjustedCPUTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
    double time(const std::string& name) const {
        const auto found = m_times.find(name);
        return found == m_times.end() ? 0.0 : found->second;
    }

private:
    std::map<std::string, double> m_times;
};

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);

    std::fprintf(stderr, "Making a database of %d racers...\n", seed::maximumRacerCount);
    BenchDatabase data;
    const std::vector<SearchCase> cases = searchCases(data);

    // Both sides must yield the same rows before their times mean anything.
    for (const SearchCase& c : cases) {
        SearchResults results;
        runSearch(data.db(), c, results);
        QSqlQuery bare(data.sql());
        bare.prepare(c.bareSql);
        QList<qint64> ids;
        runBare(bare, c, &ids);
        QList<qint64> listed;
        for (const PersonSlot& slot : results.rows)
            listed.append(slot.racerId);
        if (listed != ids || ids.isEmpty()) {
            std::fprintf(stderr, "%s: the search listed %lld rows, the query %lld\n", qPrintable(c.name),
                         static_cast<long long>(listed.size()), static_cast<long long>(ids.size()));
            return 1;
        }
        std::fprintf(stderr, "%-24s %4lld rows\n", qPrintable(c.name), static_cast<long long>(ids.size()));
    }

    auto queries = std::make_shared<std::vector<QSqlQuery>>();
    auto everyMatch = std::make_shared<std::vector<QSqlQuery>>();
    for (const SearchCase& c : cases) {
        queries->emplace_back(data.sql());
        queries->back().prepare(c.bareSql);
        everyMatch->emplace_back(data.sql());
        everyMatch->back().prepare(c.everyMatchSql());
    }
    for (size_t i = 0; i < cases.size(); ++i) {
        const SearchCase& c = cases[i];
        benchmark::RegisterBenchmark(("search/" + c.name.toStdString()).c_str(),
                                     [&data, &c](benchmark::State& state) {
                                         for (auto _ : state) {
                                             SearchResults results;
                                             benchmark::DoNotOptimize(runSearch(data.db(), c, results));
                                         }
                                     })
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(("bare/" + c.name.toStdString()).c_str(), [queries, i,
                                                                                &c](benchmark::State& state) {
            for (auto _ : state)
                benchmark::DoNotOptimize(runBare((*queries)[i], c));
        })->Unit(benchmark::kMicrosecond);
        // Where the time goes: opening the record set alone, and the bare query reading every match.
        benchmark::RegisterBenchmark(("open/" + c.name.toStdString()).c_str(), [&data,
                                                                                &c](benchmark::State& state) {
            for (auto _ : state)
                benchmark::DoNotOptimize(openRacerSource(data.db(), c.mode, c.request)->recordCount());
        })->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(("bare-all/" + c.name.toStdString()).c_str(),
                                     [everyMatch, i, &c](benchmark::State& state) {
                                         for (auto _ : state)
                                             benchmark::DoNotOptimize(runBare((*everyMatch)[i], c));
                                     })
            ->Unit(benchmark::kMicrosecond);
    }

    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    std::printf("\n%-24s %12s %12s %7s %12s %14s\n", "search", "search (us)", "bare (us)", "ratio",
                "open (us)", "all rows (us)");
    bool allWithin = true;
    for (const SearchCase& c : cases) {
        const double ours = reporter.time("search/" + c.name.toStdString());
        const double bare = reporter.time("bare/" + c.name.toStdString());
        if (ours <= 0 || bare <= 0)
            continue;
        const double ratio = ours / bare;
        allWithin = allWithin && ratio <= 1.5;
        std::printf("%-24s %12.1f %12.1f %7.2f %12.1f %14.1f\n", qPrintable(c.name), ours, bare, ratio,
                    reporter.time("open/" + c.name.toStdString()),
                    reporter.time("bare-all/" + c.name.toStdString()));
    }
    std::printf("%s\n", allWithin ? "every search within 1.5x of its bare query"
                                  : "some searches above 1.5x of their bare query");
    queries->clear();
    everyMatch->clear();
    benchmark::Shutdown();
    return 0;
}
