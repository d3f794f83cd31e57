// Power-cut test: each scenario does what the program does (registers races, renumbers racers whose
// races follow them, imports a CSV file, brings an earlier version's file up to date, compacts at
// exit) in a folder whose every change is recorded (RecordingVfs). The replayer then builds every
// state a power cut could leave: each file's data as of its last sync and the folder's names as of
// the folder's last sync, plus any prefix of the changes made since, in the order they were made.
// Each state must open, pass the engine's integrity and key checks and the scenario's own rules,
// hold every change the program reported done before the cut, and be opened by the program.
//
//   PowerCutHarness [--rounds N]
//
// A control run of the bare engine at synchronous=FULL must lose an acknowledged change in some
// state, so that a replayer grown blind is caught. Prints "<scenarios> passed, <failed> failed".

#include "core/Csv.h"
#include "core/Errors.h"
#include "harness/RecordingVfs.h"
#include "records/RacerCsv.h"
#include "store/Database.h"
#include "store/Recordset.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>
#include <sqlite3.h>

namespace {

const QString DatabaseName = QStringLiteral("Korvane.mdb");

// A query on a state and the text its first row must read (columns joined by '|').
struct Check {
    QString sql;
    QString expected;
};

// Runs sql on a connection and returns its first row as text; no row is an empty text.
QString firstRow(sqlite3* db, const QString& sql) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &statement, nullptr) != SQLITE_OK)
        return QStringLiteral("<error %1>").arg(QString::fromUtf8(sqlite3_errmsg(db)));
    QStringList values;
    const int rc = sqlite3_step(statement);
    if (rc == SQLITE_ROW) {
        for (int c = 0; c < sqlite3_column_count(statement); ++c) {
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, c));
            values.append(text ? QString::fromUtf8(text) : QStringLiteral("<null>"));
        }
    } else if (rc != SQLITE_DONE) {
        values.append(QStringLiteral("<error %1>").arg(QString::fromUtf8(sqlite3_errmsg(db))));
    }
    sqlite3_finalize(statement);
    return values.join(QLatin1Char('|'));
}

// Runs statements on a file with the engine itself, outside the recording.
void execute(const QString& path, const QString& sql) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                    nullptr);
    char* error = nullptr;
    if (sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &error) != SQLITE_OK) {
        std::fprintf(stderr, "preparing: %s\n", error);
        sqlite3_free(error);
    }
    sqlite3_close(db);
}

// The checks of each acknowledged change, by its number.
QList<QList<Check>> g_acks;

void acknowledge(const QList<Check>& checks) {
    recording::acknowledge();
    g_acks.append(checks);
}

struct Scenario {
    QString name;
    std::function<void(const QString& path)> prepare; // before recording
    std::function<void(const QString& path)> run;
    QList<Check> rules; // hold in every state
    bool expectLoss = false;
};

// A race as the registration window stores it; acknowledged once update() returns.
void registerRace(Database& db, int year, int race) {
    auto history = db.openRecordset(QStringLiteral("T_レース履歴"), {}, 0);
    history->addNew();
    history->setField(QStringLiteral("調査年"), year);
    history->setField(QStringLiteral("調査月"), 4);
    history->setField(QStringLiteral("調査日"), 1 + race % 28);
    history->setField(QStringLiteral("競輪場ID"), 1 + race % 43);
    history->setField(QStringLiteral("レースNO"), race);
    for (int slot = 1; slot <= 9; ++slot)
        history->setField(QStringLiteral("選手%1").arg(slot), 10000 + race * 10 + slot);
    history->update();
    acknowledge({{QStringLiteral("SELECT count(*), sum(選手9) FROM T_レース履歴 WHERE 調査年 = %1 AND "
                                 "レースNO = %2")
                      .arg(year)
                      .arg(race),
                  QStringLiteral("1|%1").arg(10000 + race * 10 + 9)}});
}

QList<Scenario> scenarios(int rounds) {
    QList<Scenario> list;
    list.append({QStringLiteral("registering races"),
                 {},
                 [rounds](const QString& path) {
                     Database db(path);
                     for (int race = 1; race <= rounds; ++race)
                         registerRace(db, 3000, race);
                 },
                 {}});

    // Racers 10001, ... are renumbered 5001, ...; each rode two races, in slots 1 and 5.
    list.append(
        {QStringLiteral("renumbering racers"),
         [rounds](const QString& path) {
             execute(path,
                     QStringLiteral("INSERT INTO T_レース履歴 (調査年, レースNO, 選手1, 選手5) "
                                    "SELECT 3100, 選手ID, 選手ID, 選手ID FROM (SELECT 選手ID FROM T_選手 "
                                    "ORDER BY 選手ID LIMIT %1), (SELECT 1 UNION ALL SELECT 2)")
                         .arg(rounds));
         },
         [](const QString& path) {
             Database db(path);
             QList<int> ids;
             db.readColumns(QStringLiteral("T_レース履歴"), {QStringLiteral("選手1")},
                            [&ids](const QVariantList& row) {
                                if (!ids.contains(row.at(0).toInt()) && row.at(0).toInt() > 0)
                                    ids.append(row.at(0).toInt());
                            });
             for (int i = 0; i < ids.size(); ++i) {
                 const int renumbered = 5001 + i;
                 auto racers = db.openRecordset(QStringLiteral("Q_選手"));
                 racers->findFirst(QStringLiteral("選手ID = %1").arg(ids.at(i)));
                 racers->edit();
                 racers->setField(QStringLiteral("選手ID"), renumbered);
                 racers->setField(QStringLiteral("名前"), QStringLiteral("改番%1").arg(i + 1));
                 racers->update();
                 acknowledge({{QStringLiteral("SELECT (SELECT count(*) FROM T_選手 WHERE 選手ID = %1), "
                                              "(SELECT 名前 FROM T_選手 WHERE 選手ID = %2), (SELECT count(*) "
                                              "FROM T_レース履歴 WHERE 選手1 = %2 AND 選手5 = %2)")
                                   .arg(ids.at(i))
                                   .arg(renumbered),
                               QStringLiteral("0|改番%1|2").arg(i + 1)}});
             }
         },
         // A renumbering is whole: both slots follow, and each slot names a racer.
         {{QStringLiteral(
               "SELECT count(*) FROM T_レース履歴 AS h WHERE 調査年 = 3100 AND (選手1 IS NOT 選手5 "
               "OR NOT EXISTS (SELECT 1 FROM T_選手 AS s WHERE s.選手ID = h.選手1))"),
           QStringLiteral("0")}}});

    // Each import adds three racers, 6001... in the file's order.
    list.append({QStringLiteral("importing racers from a CSV file"),
                 {},
                 [rounds](const QString& path) {
                     Database db(path);
                     for (int round = 0; round < rounds; ++round) {
                         QByteArray file = "選手ID,名前,よみがな,所属,期,級,生年,生月,生日,血液型\r\n";
                         for (int i = 1; i <= 3; ++i)
                             file += QStringLiteral("%1,取込%1,とりこみ,東京,90,A1,1985,5,%2,AB\r\n")
                                         .arg(6000 + round * 3 + i)
                                         .arg(i)
                                         .toUtf8();
                         records::RacerCsv csv;
                         csv.setThisYear(2024);
                         const records::CsvCheck check = csv.check(db, csv::parse(file));
                         if (check.added != 3)
                             throw KorvaneError(
                                 0, QStringLiteral("harness"),
                                 QStringLiteral("the import would add %1 racers, not 3").arg(check.added));
                         csv.write(db, [](int, int) { return true; });
                         acknowledge({{QStringLiteral("SELECT count(*), max(名前) FROM T_選手 WHERE 選手ID "
                                                      "BETWEEN %1 AND %2")
                                           .arg(6001 + round * 3)
                                           .arg(6003 + round * 3),
                                       QStringLiteral("3|取込%1").arg(6003 + round * 3)}});
                     }
                 },
                 // An import is whole.
                 {{QStringLiteral("SELECT count(*) % 3 FROM T_選手 WHERE 選手ID BETWEEN 6001 AND 6999"),
                   QStringLiteral("0")}}});

    list.append({QStringLiteral("bringing an earlier version's file up to date"),
                 [](const QString& path) {
                     QFile::remove(path);
                     QFile dump(qEnvironmentVariable("KORVANE_SOURCE_DIR") +
                                QStringLiteral("/tests/store/data/korvane-v1.sql"));
                     dump.open(QIODevice::ReadOnly);
                     execute(path, QString::fromUtf8(dump.readAll()));
                 },
                 [rounds](const QString& path) {
                     Database db(path);
                     acknowledge({{QStringLiteral("PRAGMA user_version"), QStringLiteral("3")}});
                     for (int race = 1; race <= rounds; ++race)
                         registerRace(db, 3200, race);
                 },
                 // The dump's 60 racers, in either version.
                 {{QStringLiteral("SELECT count(*) FROM T_選手"), QStringLiteral("60")}}});

    // Races 1-200 of 3300 were added and all but ten deleted again: free pages for the compaction.
    list.append(
        {QStringLiteral("compacting at exit"),
         [](const QString& path) {
             execute(path, QStringLiteral("WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM n "
                                          "WHERE x < 2000) INSERT INTO T_レース履歴 (調査年, レースNO) "
                                          "SELECT 3300, x FROM n; DELETE FROM T_レース履歴 WHERE 調査年 = "
                                          "3300 AND レースNO > 10"));
         },
         [rounds](const QString& path) {
             for (int race = 1; race <= rounds; ++race) {
                 {
                     Database db(path);
                     registerRace(db, 3400, race);
                 }
                 if (compactDatabase(path, QFileInfo(path).absolutePath() + QStringLiteral("/korvnew.mdb")) !=
                     CompactionResult::Compacted)
                     throw KorvaneError(0, QStringLiteral("harness"), QStringLiteral("compaction skipped"));
                 acknowledge({{QStringLiteral("PRAGMA freelist_count"), QStringLiteral("0")}});
             }
         },
         {{QStringLiteral("SELECT count(*) FROM T_レース履歴 WHERE 調査年 = 3300"), QStringLiteral("10")}}});

    // The engine as the store used it before: a commit ends with the journal's removal, unflushed.
    list.append(
        {QStringLiteral("control: the bare engine at synchronous=FULL"),
         {},
         [rounds](const QString& path) {
             sqlite3* db = nullptr;
             sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
             sqlite3_exec(db, "PRAGMA synchronous = FULL", nullptr, nullptr, nullptr);
             for (int region = 1; region <= rounds; ++region) {
                 const QString insert =
                     QStringLiteral("INSERT INTO T_地区 VALUES (%1, '停電')").arg(90 + region);
                 sqlite3_exec(db, insert.toUtf8().constData(), nullptr, nullptr, nullptr);
                 acknowledge(
                     {{QStringLiteral("SELECT count(*) FROM T_地区 WHERE 地区ID = %1").arg(90 + region),
                       QStringLiteral("1")}});
             }
             sqlite3_close(db);
         },
         {},
         true});
    return list;
}

// ---------------------------------------------------------------------------------------------
// The replayer.

bool isChange(const recording::Event& event) {
    using recording::Event;
    return event.kind == Event::Write || event.kind == Event::Truncate || event.kind == Event::Create ||
           event.kind == Event::Remove || event.kind == Event::Rename;
}

bool isFolderChange(const recording::Event& event) {
    using recording::Event;
    return event.kind == Event::Create || event.kind == Event::Remove || event.kind == Event::Rename;
}

// The folder's names and the files' contents once the applied events are done.
struct FolderState {
    QHash<QString, int> names;
    QHash<int, QByteArray> files;
};

FolderState build(const recording::Recording& record, const std::vector<char>& applied) {
    using recording::Event;
    FolderState state{record.names, record.files};
    for (std::size_t i = 0; i < applied.size(); ++i) {
        if (!applied[i])
            continue;
        const Event& event = record.events.at(static_cast<qsizetype>(i));
        switch (event.kind) {
        case Event::Write: {
            QByteArray& data = state.files[event.file];
            const qint64 end = event.offset + event.data.size();
            if (data.size() < end)
                data.append(QByteArray(end - data.size(), '\0'));
            data.replace(event.offset, event.data.size(), event.data);
            break;
        }
        case Event::Truncate: {
            QByteArray& data = state.files[event.file];
            if (data.size() > event.offset)
                data.truncate(event.offset);
            else
                data.append(QByteArray(event.offset - data.size(), '\0'));
            break;
        }
        case Event::Create:
            state.names.insert(event.name, event.file);
            state.files[event.file];
            break;
        case Event::Remove:
            state.names.remove(event.name);
            break;
        case Event::Rename:
            if (state.names.contains(event.name))
                state.names.insert(event.newName, state.names.take(event.name));
            break;
        default:
            break;
        }
    }
    return state;
}

struct Figures {
    int states = 0;
    int corrupt = 0;
    int lost = 0;
    QStringList problems;
};

// What is wrong with a state: damage, and acknowledged changes that are missing.
struct Verdict {
    QStringList damage;
    QStringList lost;
};

// Writes the state into folder and checks it.
Verdict judge(const FolderState& state, const QString& folder, const Scenario& scenario, int acks) {
    QDir dir(folder);
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System))
        dir.remove(name);
    for (auto it = state.names.constBegin(); it != state.names.constEnd(); ++it) {
        QFile file(dir.filePath(it.key()));
        file.open(QIODevice::WriteOnly);
        file.write(state.files.value(it.value()));
    }
    Verdict verdict;
    if (!state.names.contains(DatabaseName)) {
        verdict.damage << QStringLiteral("Korvane.mdb is missing");
        return verdict;
    }
    const QString path = dir.filePath(DatabaseName);
    sqlite3* db = nullptr;
    sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    const QString integrity = firstRow(db, QStringLiteral("PRAGMA integrity_check"));
    if (integrity != QLatin1String("ok")) {
        verdict.damage << QStringLiteral("integrity: ") + integrity;
    } else {
        const QString keys = firstRow(db, QStringLiteral("PRAGMA foreign_key_check"));
        if (!keys.isEmpty())
            verdict.damage << QStringLiteral("foreign keys: ") + keys;
        for (const Check& rule : scenario.rules) {
            const QString now = firstRow(db, rule.sql);
            if (now != rule.expected)
                verdict.damage << QStringLiteral("%1 gives %2, not %3").arg(rule.sql, now, rule.expected);
        }
        for (int ack = 0; ack < acks; ++ack) {
            for (const Check& check : g_acks.at(ack)) {
                const QString now = firstRow(db, check.sql);
                if (now != check.expected)
                    verdict.lost << QStringLiteral("change %1 lost: %2 gives %3, not %4")
                                        .arg(ack + 1)
                                        .arg(check.sql, now, check.expected);
            }
        }
    }
    sqlite3_close(db);
    try {
        Database program(path);
    } catch (const KorvaneError& error) {
        verdict.damage << QStringLiteral("the program cannot open it: ") + error.description();
    }
    return verdict;
}

// Every state a cut could leave, cut by cut. Between two syncs the states of a cut are those of
// the next sync's cut with fewer changes, and that cut has the most acknowledged, so each state
// is checked there.
Figures replay(const recording::Recording& record, const Scenario& scenario) {
    using recording::Event;
    Figures figures;
    QTemporaryDir scratch;
    QHash<int, qsizetype> lastSync; // file -> its last sync so far
    qsizetype lastFolderSync = -1;
    int acks = 0;
    QSet<QByteArray> seen;
    const qsizetype count = record.events.size();
    for (qsizetype cut = 0; cut <= count; ++cut) {
        const Event::Kind next = cut < count ? record.events.at(cut).kind : Event::Sync;
        if (next == Event::Sync || next == Event::FolderSync) {
            std::vector<char> durable(static_cast<std::size_t>(cut), 0);
            QList<qsizetype> pending;
            for (qsizetype i = 0; i < cut; ++i) {
                const Event& event = record.events.at(i);
                if (!isChange(event))
                    continue;
                const bool onDisk =
                    isFolderChange(event) ? lastFolderSync > i : lastSync.value(event.file, -1) > i;
                if (onDisk)
                    durable[static_cast<std::size_t>(i)] = 1;
                else
                    pending.append(i);
            }
            for (qsizetype prefix = 0; prefix <= pending.size(); ++prefix) {
                std::vector<char> applied = durable;
                for (qsizetype p = 0; p < prefix; ++p)
                    applied[static_cast<std::size_t>(pending.at(p))] = 1;
                QByteArray key(applied.data(), static_cast<qsizetype>(applied.size()));
                key.append(QByteArray::number(acks));
                if (seen.contains(key))
                    continue;
                seen.insert(key);
                const Verdict verdict = judge(build(record, applied), scratch.path(), scenario, acks);
                ++figures.states;
                figures.corrupt += verdict.damage.isEmpty() ? 0 : 1;
                figures.lost += verdict.lost.isEmpty() ? 0 : 1;
                const QStringList problems = verdict.damage + verdict.lost;
                if (!problems.isEmpty() && figures.problems.size() < 6)
                    figures.problems << QStringLiteral(
                                            "cut before event %1 of %2, %3 of %4 later changes: %5")
                                            .arg(cut)
                                            .arg(count)
                                            .arg(prefix)
                                            .arg(pending.size())
                                            .arg(problems.join(QStringLiteral("; ")));
            }
        }
        if (cut == count)
            break;
        const Event& event = record.events.at(cut);
        if (event.kind == Event::Sync)
            lastSync.insert(event.file, cut);
        else if (event.kind == Event::FolderSync)
            lastFolderSync = cut;
        else if (event.kind == Event::Ack)
            ++acks;
    }
    return figures;
}

int runAll(int rounds, const QString& seedDatabase) {
    int failed = 0;
    const QList<Scenario> list = scenarios(rounds);
    for (const Scenario& scenario : list) {
        QTemporaryDir dir;
        const QString path = QDir(dir.path()).filePath(DatabaseName);
        QFile::copy(seedDatabase, path);
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
        if (scenario.prepare)
            scenario.prepare(path);
        g_acks.clear();
        recording::start(dir.path());
        recording::makeDefault(true);
        QString error;
        try {
            scenario.run(path);
        } catch (const KorvaneError& raised) {
            error = raised.description();
        }
        recording::makeDefault(false);
        const recording::Recording record = recording::stop();
        const Figures figures = replay(record, scenario);
        const bool ok = error.isEmpty() && figures.corrupt == 0 &&
                        (scenario.expectLoss ? figures.lost > 0 : figures.lost == 0);
        std::printf("%s: %lld changes acknowledged, %lld events, %d states replayed, %d corrupt, %d with an "
                    "acknowledged change lost%s\n",
                    qPrintable(scenario.name), static_cast<long long>(g_acks.size()),
                    static_cast<long long>(record.events.size()), figures.states, figures.corrupt,
                    figures.lost, scenario.expectLoss ? " (a loss is expected here)" : "");
        if (!error.isEmpty())
            std::printf("  PROBLEM: the scenario failed: %s\n", error.toUtf8().constData());
        if (!ok || scenario.expectLoss)
            for (const QString& problem : figures.problems)
                std::printf("  %s%s\n", ok ? "" : "PROBLEM: ", problem.toUtf8().constData());
        if (!ok)
            ++failed;
    }
    std::printf("%lld passed, %d failed\n", static_cast<long long>(list.size()) - failed, failed);
    return failed == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    const qsizetype at = arguments.indexOf(QStringLiteral("--rounds"));
    const int rounds = at >= 0 && at + 1 < arguments.size() ? arguments.at(at + 1).toInt() : 2;
    QString database = qEnvironmentVariable("KORVANE_SEED_DB");
    if (database.isEmpty())
        database = QStringLiteral("seed/Korvane.mdb");
    return runAll(std::max(rounds, 1), database);
}
