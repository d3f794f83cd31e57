// Crash test: a child process writes to a database as the windows do (registrations, racer edits,
// extraction adds, history edits) and compacts it as the exit does, announcing each operation
// before it starts and once it is committed. The parent kills it with SIGKILL at random moments,
// then checks the file: integrity, foreign keys, and that every committed operation is there.
//
//   CrashHarness [--trials N] [--seed S] [--database PATH]
//   CrashHarness --child PATH --seed S --first SEQUENCE     (the writer; runs until killed)
//
// Prints "<trials> passed, <failed> failed" and the figures; exits non-zero on any failure.

#include "core/Errors.h"
#include "store/Database.h"
#include "store/Recordset.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QRandomGenerator>
#include <QStringList>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>
#include <memory>
#include <optional>
#include <signal.h>
#include <sqlite3.h>
#include <unistd.h>

namespace {

// Harness rows are registered in years the windows never use.
constexpr int firstYear = 3000;
constexpr int racesPerYear = 30000;

QString compactPathOf(const QString& database) {
    return QFileInfo(database).absolutePath() + QStringLiteral("/korvnew.mdb");
}

void say(const QByteArray& line) {
    const QByteArray text = line + '\n';
    // One write per line, unbuffered: what the parent reads was said before the kill.
    for (qsizetype done = 0; done < text.size();) {
        const ssize_t n =
            ::write(STDOUT_FILENO, text.constData() + done, static_cast<size_t>(text.size() - done));
        if (n <= 0)
            return;
        done += n;
    }
}

// An operation as the child announces it: its target and the value the target has once it is done.
struct Operation {
    qint64 sequence = 0;
    QString kind;   // register, racer, extract, result, compact
    QString target; // R:year:race, S:racer, X:racer, H:year:race; empty for compact
    QString value;
};

QByteArray describe(const Operation& op) {
    return QStringLiteral("%1 %2 %3 %4")
        .arg(op.sequence)
        .arg(op.kind, op.target.isEmpty() ? QStringLiteral("-") : op.target,
             op.value.isEmpty() ? QStringLiteral("-") : op.value)
        .toUtf8();
}

// ---------------------------------------------------------------------------------------------
// The writer.

int runChild(const QString& path, quint64 seed, qint64 first) {
    QRandomGenerator random(static_cast<quint32>(seed));
    QList<int> racers;
    QList<QPair<int, int>> races; // year, race of harness registrations in the file
    {
        Database db(path);
        for (auto set = db.openRecordset(QStringLiteral("Q_登番")); !set->eof(); set->moveNext())
            racers.append(set->field(QStringLiteral("登番")).toInt());
        for (auto set = db.openRecordset(QStringLiteral("T_レース履歴")); !set->eof(); set->moveNext()) {
            const int year = set->field(QStringLiteral("調査年")).toInt();
            if (year >= firstYear)
                races.append({year, set->field(QStringLiteral("レースNO")).toInt()});
        }
    }
    say("ready");
    qint64 sequence = first;
    std::unique_ptr<Database> db;
    for (;;) {
        const int roll = random.bounded(100);
        Operation op;
        op.sequence = sequence++;
        if (roll < 10) {
            op.kind = QStringLiteral("compact");
            db.reset();
            say("begin " + describe(op));
            compactDatabase(path, compactPathOf(path));
            say("done " + QByteArray::number(op.sequence));
            continue;
        }
        if (!db || random.bounded(4) == 0)
            db = std::make_unique<Database>(path);
        if (roll < 40 || (roll >= 85 && races.isEmpty())) {
            const int year = static_cast<int>(firstYear + op.sequence / racesPerYear);
            const int race = static_cast<int>(op.sequence % racesPerYear);
            op.kind = QStringLiteral("register");
            op.target = QStringLiteral("R:%1:%2").arg(year).arg(race);
            op.value = QStringLiteral("1");
            say("begin " + describe(op));
            auto history = db->openRecordset(QStringLiteral("T_レース履歴"), {}, 0);
            history->addNew();
            history->setField(QStringLiteral("調査年"), year);
            history->setField(QStringLiteral("調査月"), 1 + random.bounded(12));
            history->setField(QStringLiteral("調査日"), 1 + random.bounded(28));
            history->setField(QStringLiteral("競輪場ID"), 1 + random.bounded(43));
            history->setField(QStringLiteral("レースNO"), race);
            const int filled = 1 + random.bounded(9);
            for (int slot = 1; slot <= filled; ++slot)
                history->setField(QStringLiteral("選手%1").arg(slot),
                                  racers.at(random.bounded(racers.size())));
            history->update();
            races.append({year, race});
        } else if (roll < 65) {
            const int racer = racers.at(random.bounded(racers.size()));
            op.kind = QStringLiteral("racer");
            op.target = QStringLiteral("S:%1").arg(racer);
            op.value = QStringLiteral("試験%1").arg(op.sequence);
            say("begin " + describe(op));
            auto set = db->openRecordset(QStringLiteral("Q_選手"));
            set->findFirst(QStringLiteral("選手ID = %1").arg(racer));
            set->edit();
            set->setField(QStringLiteral("名前"), op.value);
            set->update();
        } else if (roll < 85) {
            const int racer = racers.at(random.bounded(racers.size()));
            const bool listed =
                db->openRecordset(QStringLiteral("T_選手抽出"), {{QStringLiteral("選手ID"), racer}})
                    ->recordCount() > 0;
            op.kind = QStringLiteral("extract");
            op.target = QStringLiteral("X:%1").arg(racer);
            op.value = listed ? QStringLiteral("0") : QStringLiteral("1");
            say("begin " + describe(op));
            if (listed) {
                auto picks =
                    db->openRecordset(QStringLiteral("T_選手抽出"), {{QStringLiteral("選手ID"), racer}});
                picks->deleteCurrent();
            } else {
                auto picks = db->openRecordset(QStringLiteral("Q_選手抽出"), {}, 0);
                picks->addNew();
                picks->setField(QStringLiteral("選手ID"), racer);
                picks->update();
            }
        } else {
            const auto [year, race] = races.at(random.bounded(races.size()));
            const int order = 1 + random.bounded(9);
            op.kind = QStringLiteral("result");
            op.target = QStringLiteral("H:%1:%2").arg(year).arg(race);
            op.value = QString::number(order);
            say("begin " + describe(op));
            auto history =
                db->openRecordset(QStringLiteral("T_レース履歴"),
                                  {{QStringLiteral("調査年"), year}, {QStringLiteral("レースNO"), race}});
            history->edit();
            history->setField(QStringLiteral("結果1"), order);
            history->update();
        }
        say("done " + QByteArray::number(op.sequence));
    }
}

// ---------------------------------------------------------------------------------------------
// The checks, with the engine itself rather than the store under test.

class File {
public:
    explicit File(const QString& path) {
        if (sqlite3_open_v2(QFile::encodeName(path).constData(), &m_db, SQLITE_OPEN_READWRITE, nullptr) !=
            SQLITE_OK) {
            sqlite3_close(m_db);
            m_db = nullptr;
        }
        if (m_db)
            sqlite3_busy_timeout(m_db, 2000);
    }
    ~File() { sqlite3_close(m_db); }
    bool isOpen() const { return m_db; }

    QStringList rows(const QString& sql, const QVariantList& bind = {}) const {
        QStringList result;
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(m_db, sql.toUtf8().constData(), -1, &statement, nullptr) != SQLITE_OK) {
            result.append(QStringLiteral("<error %1>").arg(QString::fromUtf8(sqlite3_errmsg(m_db))));
            return result;
        }
        for (int i = 0; i < bind.size(); ++i) {
            const QByteArray text = bind.at(i).toString().toUtf8();
            sqlite3_bind_text(statement, i + 1, text.constData(), static_cast<int>(text.size()),
                              SQLITE_TRANSIENT);
        }
        int rc = SQLITE_ROW;
        while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
            QStringList values;
            for (int c = 0; c < sqlite3_column_count(statement); ++c) {
                const char* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, c));
                values.append(text ? QString::fromUtf8(text) : QStringLiteral("<null>"));
            }
            result.append(values.join(QLatin1Char('|')));
        }
        if (rc != SQLITE_DONE)
            result.append(QStringLiteral("<error %1>").arg(QString::fromUtf8(sqlite3_errmsg(m_db))));
        sqlite3_finalize(statement);
        return result;
    }

    // The value a target has in the file now.
    QString valueOf(const QString& target) const {
        const QStringList parts = target.split(QLatin1Char(':'));
        const QChar kind = target.at(0);
        if (kind == QLatin1Char('R'))
            return rows(QStringLiteral(
                            "SELECT count(*) FROM T_レース履歴 WHERE 調査年 = ?1 AND レースNO = ?2"),
                        {parts.at(1), parts.at(2)})
                .value(0);
        if (kind == QLatin1Char('H'))
            return rows(QStringLiteral("SELECT 結果1 FROM T_レース履歴 WHERE 調査年 = ?1 AND レースNO = ?2"),
                        {parts.at(1), parts.at(2)})
                .value(0);
        if (kind == QLatin1Char('S'))
            return rows(QStringLiteral("SELECT 名前 FROM T_選手 WHERE 選手ID = ?1"), {parts.at(1)}).value(0);
        return rows(QStringLiteral("SELECT count(*) FROM T_選手抽出 WHERE 選手ID = ?1"), {parts.at(1)})
            .value(0);
    }

private:
    sqlite3* m_db = nullptr;
};

struct Figures {
    int trials = 0;
    int failed = 0;
    int kills = 0;
    int killsInCompaction = 0;
    qint64 committed = 0;
    qint64 compactions = 0;
};

// Reads the child's output until it says wanted after what was seen so far (or the time is up).
bool waitForLine(QProcess& child, const QByteArray& wanted, QByteArray& seen, int timeoutMs) {
    const qsizetype from = seen.size();
    QElapsedTimer timer;
    timer.start();
    while (seen.indexOf(wanted, from) < 0) {
        if (timer.elapsed() > timeoutMs || child.state() != QProcess::Running)
            return false;
        child.waitForReadyRead(20);
        seen += child.readAllStandardOutput();
    }
    return true;
}

int runParent(int trials, quint64 seed, const QString& seedDatabase) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Korvane.mdb"));
    if (!QFile::copy(seedDatabase, path)) {
        std::fprintf(stderr, "crash test: cannot copy %s\n", qPrintable(seedDatabase));
        return 2;
    }
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    QRandomGenerator random(static_cast<quint32>(seed));
    QHash<QString, QString> expected; // target -> value once its last committed operation is in
    Figures figures;
    qint64 nextSequence = 0;

    for (int trial = 0; trial < trials; ++trial) {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--child"), path, QStringLiteral("--seed"),
                     QString::number(random.generate()), QStringLiteral("--first"),
                     QString::number(nextSequence)});
        QByteArray output;
        QStringList problems;
        if (!child.waitForStarted(30000) || !waitForLine(child, "ready", output, 30000)) {
            problems << QStringLiteral("the writer did not start");
        } else {
            // A third of the kills aim at a compaction, the rest at any moment.
            const bool aimAtCompaction = random.bounded(3) == 0;
            if (aimAtCompaction)
                waitForLine(child, " compact ", output, 5000);
            const int delay = aimAtCompaction ? random.bounded(40) : random.bounded(400);
            QElapsedTimer timer;
            timer.start();
            while (timer.elapsed() < delay && child.state() == QProcess::Running) {
                child.waitForReadyRead(std::max<int>(1, delay - static_cast<int>(timer.elapsed())));
                output += child.readAllStandardOutput();
            }
        }
        if (child.state() == QProcess::Running) {
            ::kill(static_cast<pid_t>(child.processId()), SIGKILL);
            ++figures.kills;
        } else if (problems.isEmpty()) {
            problems << QStringLiteral("the writer ended by itself (exit %1)").arg(child.exitCode());
        }
        if (!child.waitForFinished(30000)) {
            problems << QStringLiteral("the writer did not end");
            child.kill();
            child.waitForFinished(-1);
        }
        output += child.readAllStandardOutput();

        // What the writer said: committed operations, and the one it was in when killed.
        QHash<qint64, Operation> begun;
        std::optional<Operation> inFlight;
        for (const QByteArray& line : output.split('\n')) {
            const QStringList words = QString::fromUtf8(line).split(QLatin1Char(' '));
            if (words.value(0) == QLatin1String("begin") && words.size() == 5) {
                Operation op{words.at(1).toLongLong(), words.at(2),
                             words.at(3) == QLatin1String("-") ? QString() : words.at(3),
                             words.at(4) == QLatin1String("-") ? QString() : words.at(4)};
                begun.insert(op.sequence, op);
                inFlight = op;
                nextSequence = std::max(nextSequence, op.sequence + 1);
            } else if (words.value(0) == QLatin1String("done") && words.size() == 2) {
                const Operation op = begun.take(words.at(1).toLongLong());
                ++figures.committed;
                if (op.kind == QLatin1String("compact"))
                    ++figures.compactions;
                else
                    expected.insert(op.target, op.value);
                inFlight.reset();
            }
        }
        if (inFlight && inFlight->kind == QLatin1String("compact"))
            ++figures.killsInCompaction;

        // The file as the next start finds it.
        if (!QFileInfo(path).isFile() || QFileInfo(path).isSymLink()) {
            problems << QStringLiteral("Korvane.mdb is gone");
        } else {
            File file(path);
            const QStringList integrity = file.rows(QStringLiteral("PRAGMA integrity_check"));
            if (integrity != QStringList{QStringLiteral("ok")})
                problems << QStringLiteral("integrity: ") + integrity.join(QLatin1Char(' '));
            const QStringList keys = file.rows(QStringLiteral("PRAGMA foreign_key_check"));
            if (!keys.isEmpty())
                problems << QStringLiteral("foreign keys: ") + keys.join(QLatin1Char(' '));
            // An operation cut off may or may not have been committed; either is sound.
            if (inFlight && !inFlight->target.isEmpty()) {
                const QString now = file.valueOf(inFlight->target);
                if (now == inFlight->value)
                    expected.insert(inFlight->target, inFlight->value);
            }
            for (auto it = expected.constBegin(); it != expected.constEnd(); ++it) {
                const QString now = file.valueOf(it.key());
                if (now != it.value())
                    problems << QStringLiteral("%1 is %2, committed as %3").arg(it.key(), now, it.value());
            }
            try {
                Database reopened(path); // the program still opens it
            } catch (const KorvaneError& error) {
                problems << QStringLiteral("the program cannot open it: ") + error.description();
            }
        }
        ++figures.trials;
        if (!problems.isEmpty()) {
            ++figures.failed;
            std::fprintf(stderr, "trial %d failed:\n  %s\n", trial + 1,
                         qPrintable(problems.mid(0, 10).join(QStringLiteral("\n  "))));
        }
    }

    // A last compaction as the exit makes it, over whatever the kills left behind.
    try {
        compactDatabase(path, compactPathOf(path));
        if (QFileInfo::exists(compactPathOf(path))) {
            ++figures.failed;
            std::fprintf(stderr, "final compaction left korvnew.mdb behind\n");
        }
    } catch (const KorvaneError& error) {
        ++figures.failed;
        std::fprintf(stderr, "final compaction failed: %s\n", qPrintable(error.description()));
    }

    std::printf("crash test: %d trials, %d kills (%d during compaction), %lld operations committed "
                "(%lld compactions), %lld targets checked after every kill\n",
                figures.trials, figures.kills, figures.killsInCompaction, figures.committed,
                figures.compactions, static_cast<long long>(expected.size()));
    std::printf("%d passed, %d failed\n", figures.trials - figures.failed, figures.failed);
    return figures.failed == 0 ? 0 : 1;
}

QString argument(const QStringList& arguments, const QString& name, const QString& fallback = {}) {
    const qsizetype at = arguments.indexOf(name);
    return at >= 0 && at + 1 < arguments.size() ? arguments.at(at + 1) : fallback;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    const quint64 seed =
        argument(arguments, QStringLiteral("--seed"), QStringLiteral("20240401")).toULongLong();
    const QString child = argument(arguments, QStringLiteral("--child"));
    if (!child.isEmpty()) {
        try {
            return runChild(child, seed, argument(arguments, QStringLiteral("--first")).toLongLong());
        } catch (const KorvaneError& error) {
            // A writer that fails is a finding too: the parent reports that it ended by itself.
            std::fprintf(stderr, "writer: error %d: %s\n", error.number(), qPrintable(error.description()));
            return 3;
        }
    }
    const int trials = argument(arguments, QStringLiteral("--trials"), QStringLiteral("50")).toInt();
    QString database =
        argument(arguments, QStringLiteral("--database"), qEnvironmentVariable("KORVANE_SEED_DB"));
    if (database.isEmpty())
        database = QStringLiteral("seed/Korvane.mdb");
    return runParent(trials, seed, database);
}
