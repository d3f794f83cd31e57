// Times the racer CSV import and export on 32,767 racers against the sqlite3 command-line shell doing
// the same file work: importing the file into a scratch table (.import), and writing the same
// columns of Q_選手 as CSV. The program side reads, checks and writes (through the store's table writer)
// in one transaction, as the racer master window and korvane-cli do after their check. Wall clock, runs
// interleaved, medians. Prints one line "RATIO <name> <median ratio> <goal>" per case.
#include "BenchSupport.h"
#include "BenchTiming.h"
#include "core/Csv.h"
#include "records/RacerCsv.h"
#include "store/Database.h"
#include "store/SeedDatabase.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

namespace {

using benchsupport::fail;
using benchtiming::median;
using benchtiming::msSince;

// Runs both sides in turn, repetitions times after one warm-up each; prepare runs untimed before
// each side (a fresh copy of the database).
void compare(const char* name, double goal, int repetitions, const std::function<void()>& prepare,
             const std::function<void()>& program, const std::function<void()>& bare) {
    std::vector<double> programMs;
    std::vector<double> bareMs;
    std::vector<double> ratios;
    for (int i = 0; i <= repetitions; ++i) {
        prepare();
        auto start = std::chrono::steady_clock::now();
        program();
        const double p = msSince(start);
        prepare();
        start = std::chrono::steady_clock::now();
        bare();
        const double b = msSince(start);
        if (i == 0)
            continue; // warm-up
        programMs.push_back(p);
        bareMs.push_back(b);
        ratios.push_back(p / b);
    }
    std::printf("%-20s program %8.2f ms (min %8.2f)  sqlite3 %8.2f ms (min %8.2f)\n", name, median(programMs),
                *std::min_element(programMs.begin(), programMs.end()), median(bareMs),
                *std::min_element(bareMs.begin(), bareMs.end()));
    std::printf("RATIO %s %.2f %.1f\n", name, median(ratios), goal);
    std::fflush(stdout);
}

void copyFile(const QString& from, const QString& to) {
    QFile::remove(to);
    if (!QFile::copy(from, to))
        fail("cannot copy", from);
}

// The shell with its arguments run to the end; its standard output goes to outFile when given.
void sqliteShell(const QStringList& arguments, const QString& outFile = {}) {
    QProcess shell;
    if (!outFile.isEmpty())
        shell.setStandardOutputFile(outFile);
    shell.start(QStringLiteral("sqlite3"), arguments);
    if (!shell.waitForFinished(120000) || shell.exitStatus() != QProcess::NormalExit || shell.exitCode() != 0)
        fail("sqlite3 failed:", QString::fromUtf8(shell.readAllStandardError()));
}

// The shell's import: the header skipped, every record into a scratch table of the file's columns.
void bareImport(const QString& database, const QString& csvFile) {
    sqliteShell({QStringLiteral("-bail"), database,
                 QStringLiteral(
                     "CREATE TABLE scratch (選手ID INTEGER, 名前 TEXT, よみがな TEXT, 所属 TEXT, 期 INTEGER, "
                     "級 TEXT, 生年 INTEGER, 生月 INTEGER, 生日 INTEGER, 血液型 TEXT)"),
                 QStringLiteral(".import --csv --skip 1 ") + csvFile + QStringLiteral(" scratch")});
}

// The program's import as the window runs it once the file is chosen: read, check, write.
void programImport(const QString& database, const QString& csvFile, int expectedAdded, int expectedChanged) {
    Database db(database);
    records::RacerCsv table;
    const csv::Document document = csv::readFile(csvFile);

    if (!document.ok())
        fail("cannot read", document.error);
    const records::CsvCheck check = table.check(db, document);
    if (check.added != expectedAdded || check.changed != expectedChanged || !check.rejections.isEmpty())
        fail("unexpected check", QStringLiteral("%1 new %2 changed %3 rejected")
                                     .arg(check.added)
                                     .arg(check.changed)
                                     .arg(check.rejections.size()));
    if (!table.write(db, [](int, int) { return true; }))
        fail("write stopped");
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const int repetitions = argc > 1 ? std::max(3, atoi(argv[1])) : 7;
    const int racers = seed::maximumRacerCount;

    QTemporaryDir dir;
    const QString full = dir.filePath(QStringLiteral("full.mdb"));
    const QString empty = dir.filePath(QStringLiteral("empty.mdb"));
    const QString work = dir.filePath(QStringLiteral("work.mdb"));
    const QString exported = dir.filePath(QStringLiteral("racers.csv"));
    const QString changed = dir.filePath(QStringLiteral("changed.csv"));
    const QString bareOut = dir.filePath(QStringLiteral("bare.csv"));
    std::fprintf(stderr, "Making a database of %d racers...\n", racers);
    seed::createDatabase(full, racers, seed::defaultSeed);
    seed::createDatabase(empty, 0, seed::defaultSeed);

    // The file both imports read: the program's own export. The changed file gives every racer
    // another grade.
    {
        Database db(full);
        const QByteArray bytes = records::RacerCsv().exportFile(db);
        if (!csv::saveWhole(exported, bytes).isEmpty())
            fail("cannot write", exported);
        csv::Document document = csv::parse(bytes);
        csv::Writer writer;
        writer.record(document.records.first().fields);
        for (qsizetype i = 1; i < document.records.size(); ++i) {
            QStringList fields = document.records.at(i).fields;
            fields[5] = fields[5] == QStringLiteral("S1") ? QStringLiteral("A1") : QStringLiteral("S1");
            writer.record(fields);
        }
        if (!csv::saveWhole(changed, writer.bytes()).isEmpty())
            fail("cannot write", changed);
    }

    compare(
        "csv-export", 2.0, repetitions, [] {},
        [&] {
            Database db(full);
            if (!csv::saveWhole(exported, records::RacerCsv().exportFile(db)).isEmpty())
                fail("cannot write", exported);
        },
        [&] {
            sqliteShell(
                {QStringLiteral("-csv"), QStringLiteral("-header"), full,
                 QStringLiteral("SELECT 選手ID, 名前, よみがな, 所属名, 期, 級, 生年, 生月, 生日, 血液型名 "
                                "FROM Q_選手")},
                bareOut);
        });
    compare(
        "csv-import-new", 3.0, repetitions, [&] { copyFile(empty, work); },
        [&] { programImport(work, exported, racers, 0); }, [&] { bareImport(work, exported); });
    compare(
        "csv-import-changed", 3.0, repetitions, [&] { copyFile(full, work); },
        [&] { programImport(work, changed, 0, racers); }, [&] { bareImport(work, changed); });
    return 0;
}
