// Bad files: the program meets a Korvane.mdb that is missing, empty, random bytes, cut short, of
// another program, read-only, in a read-only folder, or locked by another process. For each, a
// child process does what the program does with the file (a window loads and reads it, the user
// changes a racer, the exit compacts it) with the program's own error trap, and prints every
// message shown. The case passes when nothing crashed, the user was told in Japanese naming the
// file or its folder, and the file is byte for byte as it was.
//
//   BadFileHarness                      (all cases)
//   BadFileHarness --case NAME --dir D  (one case, in the child)
//
// Prints "<cases> passed, <failed> failed"; exits non-zero on any failure.

#include "core/Dialogs.h"
#include "core/Errors.h"
#include "shell/ErrorTrap.h"
#include "store/Database.h"
#include "store/Recordset.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <cstdio>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr uid_t nobody = 65534;

const QStringList caseNames = {
    QStringLiteral("missing"),          QStringLiteral("empty"),        QStringLiteral("random-bytes"),
    QStringLiteral("truncated"),        QStringLiteral("wrong-schema"), QStringLiteral("read-only-file"),
    QStringLiteral("read-only-folder"), QStringLiteral("locked"),
};

// The message boxes of the child: written to standard output, one line each.
class PrintedDialogs : public Dialogs {
public:
    void message(const QString& text, const QString&) override { print(text); }
    Answer question(const QString& text, const QString&) override {
        print(text);
        return Answer::No;
    }
    void critical(const QString& text, const QString&) override { print(text); }
    void information(const QString& text, const QString&) override { print(text); }

private:
    static void print(QString text) {
        text.replace(QLatin1Char('\r'), QStringLiteral("\\r"))
            .replace(QLatin1Char('\n'), QStringLiteral("\\n"));
        std::printf("message: %s\n", text.toUtf8().constData());
        std::fflush(stdout);
    }
};

// What the program does with its file: a window loads it, the user changes a racer, the exit.
int runCase(const QString& dir) {
    const QString path = dir + QStringLiteral("/Korvane.mdb");
    PrintedDialogs dialogs;
    runTrapped(dialogs, [&] {
        Database db(path);
        for (auto racers = db.openRecordset(QStringLiteral("Q_選手")); !racers->eof(); racers->moveNext())
            racers->field(QStringLiteral("名前"));
        db.openRecordset(QStringLiteral("Q_レース履歴"));
    });
    runTrapped(dialogs, [&] {
        Database db(path);
        auto racers = db.openRecordset(QStringLiteral("Q_選手"));
        racers->edit();
        racers->setField(QStringLiteral("名前"), QStringLiteral("変更"));
        racers->update();
    });
    try {
        compactDatabase(path, dir + QStringLiteral("/korvnew.mdb"));
    } catch (const KorvaneError& error) {
        if (error.number() != ErrorNumber::ExclusiveUse)
            showTrappedError(dialogs, error);
    }
    std::printf("end\n");
    return 0;
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Holds a file locked from this process, as another program would.
class Locker {
public:
    explicit Locker(const QString& path) {
        sqlite3_open_v2(QFile::encodeName(path).constData(), &m_db, SQLITE_OPEN_READWRITE, nullptr);
        m_locked = sqlite3_exec(m_db, "BEGIN EXCLUSIVE; UPDATE T_地区 SET 地区名 = 地区名;", nullptr, nullptr,
                                nullptr) == SQLITE_OK;
    }
    ~Locker() {
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(m_db);
    }
    bool locked() const { return m_locked; }

private:
    sqlite3* m_db = nullptr;
    bool m_locked = false;
};

// A message the user can act on: Japanese, naming the file or its folder; the engine's or the
// system's own words only in brackets.
QString judgeMessage(const QString& message, const QString& folder) {
    const QString description = message.section(QStringLiteral("\\r"), -1);
    if (!description.contains(folder))
        return QStringLiteral("names neither the file nor its folder");
    static const QRegularExpression japanese(QStringLiteral("[\\x{3040}-\\x{30FF}\\x{4E00}-\\x{9FFF}]"));
    if (!japanese.match(description).hasMatch())
        return QStringLiteral("is not in Japanese");
    QString own = description;
    own.remove(QRegularExpression(QStringLiteral("'[^']*'")));      // the file names
    own.remove(QRegularExpression(QStringLiteral("\\([^()]*\\)"))); // the engine's text
    static const QRegularExpression latin(QStringLiteral("[A-Za-z]{2,}"));
    if (latin.match(own).hasMatch())
        return QStringLiteral("has English text outside brackets");
    return {};
}

int runAll(const QString& seedDatabase) {
    QTemporaryDir base;
    // The cases that drop to another user must reach their folders.
    QFile::setPermissions(base.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                           QFile::ReadOther | QFile::ExeOther | QFile::ReadGroup |
                                           QFile::ExeGroup);
    const QByteArray seed = readFile(seedDatabase);
    if (seed.isEmpty()) {
        std::fprintf(stderr, "bad files: cannot read %s\n", qPrintable(seedDatabase));
        return 2;
    }
    const bool root = ::geteuid() == 0;
    int failed = 0;
    for (const QString& name : caseNames) {
        const QString dir = base.filePath(name);
        QDir().mkpath(dir);
        const QString path = dir + QStringLiteral("/Korvane.mdb");
        QStringList problems;
        QRandomGenerator random(7);
        if (name == QLatin1String("empty")) {
            writeFile(path, {});
        } else if (name == QLatin1String("random-bytes")) {
            QByteArray bytes(65536, '\0');
            for (char& b : bytes)
                b = static_cast<char>(random.bounded(256));
            writeFile(path, bytes);
        } else if (name == QLatin1String("truncated")) {
            writeFile(path, seed.left(seed.size() / 2));
        } else if (name == QLatin1String("wrong-schema")) {
            sqlite3* db = nullptr;
            sqlite3_open(QFile::encodeName(path).constData(), &db);
            sqlite3_exec(
                db, "CREATE TABLE 住所録 (名前 TEXT, 電話 TEXT); INSERT INTO 住所録 VALUES ('山田', '03');",
                nullptr, nullptr, nullptr);
            sqlite3_close(db);
        } else if (name != QLatin1String("missing")) {
            writeFile(path, seed);
        }
        // Read-only as the user sees it: root runs these cases as another user.
        const bool dropUser = root && name.startsWith(QStringLiteral("read-only"));
        if (dropUser) {
            ::chown(QFile::encodeName(dir).constData(), nobody, nobody);
            ::chown(QFile::encodeName(path).constData(), nobody, nobody);
        }
        if (name == QLatin1String("read-only-file"))
            ::chmod(QFile::encodeName(path).constData(), 0444);
        if (name == QLatin1String("read-only-folder"))
            ::chmod(QFile::encodeName(dir).constData(), 0555);
        const bool existed = QFileInfo::exists(path);
        const QByteArray before = readFile(path);
        const QStringList entriesBefore =
            QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);

        QByteArray output;
        {
            std::unique_ptr<Locker> locker;
            if (name == QLatin1String("locked")) {
                locker = std::make_unique<Locker>(path);
                if (!locker->locked())
                    problems << QStringLiteral("could not lock the file");
            }
            QProcess child;
            child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
            QStringList arguments{QStringLiteral("--case"), name, QStringLiteral("--dir"), dir};
            if (dropUser)
                arguments << QStringLiteral("--as-nobody");
            child.start(QCoreApplication::applicationFilePath(), arguments);
            if (!child.waitForFinished(60000)) {
                child.kill();
                child.waitForFinished();
                problems << QStringLiteral("did not end");
            }
            output = child.readAllStandardOutput();
            if (child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0)
                problems << QStringLiteral("ended badly (status %1, code %2)")
                                .arg(child.exitStatus())
                                .arg(child.exitCode());
        }
        QStringList messages;
        for (const QByteArray& line : output.split('\n'))
            if (line.startsWith("message: "))
                messages << QString::fromUtf8(line.mid(9));
        if (!output.contains("end\n"))
            problems << QStringLiteral("did not finish its steps");
        if (messages.isEmpty())
            problems << QStringLiteral("the user was told nothing");
        for (const QString& message : messages) {
            const QString verdict = judgeMessage(message, dir);
            if (!verdict.isEmpty())
                problems << QStringLiteral("message %1: %2").arg(verdict, message);
        }
        if (QFileInfo::exists(path) != existed || readFile(path) != before)
            problems << QStringLiteral("the file changed");
        const QStringList entriesAfter =
            QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        if (entriesAfter != entriesBefore)
            problems << QStringLiteral("the folder changed: %1").arg(entriesAfter.join(QLatin1Char(' ')));

        std::printf("%s:\n", qPrintable(name));
        for (const QString& message : messages)
            std::printf("  shown: %s\n", message.toUtf8().constData());
        std::printf("  file byte-identical after: %s\n",
                    readFile(path) == before && QFileInfo::exists(path) == existed ? "yes" : "no");
        for (const QString& problem : problems)
            std::printf("  PROBLEM: %s\n", problem.toUtf8().constData());
        if (!problems.isEmpty())
            ++failed;
        ::chmod(QFile::encodeName(dir).constData(), 0755);
    }
    std::printf("%lld passed, %d failed\n", static_cast<long long>(caseNames.size()) - failed, failed);
    return failed == 0 ? 0 : 1;
}

QString argument(const QStringList& arguments, const QString& name) {
    const qsizetype at = arguments.indexOf(name);
    return at >= 0 && at + 1 < arguments.size() ? arguments.at(at + 1) : QString();
}

} // namespace

int main(int argc, char** argv) {
    // Before anything else: a case run as another user drops root at once.
    for (int i = 1; i < argc; ++i) {
        if (qstrcmp(argv[i], "--as-nobody") == 0 && (::setgid(nobody) != 0 || ::setuid(nobody) != 0)) {
            std::perror("setuid");
            return 4;
        }
    }
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (!argument(arguments, QStringLiteral("--case")).isEmpty())
        return runCase(argument(arguments, QStringLiteral("--dir")));
    QString database = qEnvironmentVariable("KORVANE_SEED_DB");
    if (database.isEmpty())
        database = QStringLiteral("seed/Korvane.mdb");
    return runAll(database);
}
