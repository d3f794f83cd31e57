#include "core/Errors.h"
#include "harness/RecordingVfs.h"
#include "store/Database.h"
#include "store/Recordset.h"
#include "store/SeedDatabase.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <functional>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray contents(const QString& path) {
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

// Every row of every table and view, as text, in each one's order.
QStringList dump(const QString& path) {
    QStringList lines;
    Database db(path);
    for (const char16_t* name :
         {u"T_所属", u"T_血液型", u"T_地区", u"T_競輪場", u"T_選手", u"T_選手抽出", u"T_個別名簿",
          u"T_レース履歴", u"Q_選手", u"Q_選手抽出", u"Q_期", u"Q_登番", u"Q_競輪場", u"Q_レース履歴"}) {
        auto set = db.openRecordset(QString::fromUtf16(name));
        lines.append(QString::fromUtf16(name));
        for (; !set->eof(); set->moveNext()) {
            QStringList values;
            for (const QString& field : set->fieldNames())
                values.append(set->field(field).isNull() ? QStringLiteral("<null>")
                                                         : set->field(field).toString());
            lines.append(values.join(QLatin1Char('|')));
        }
    }
    return lines;
}

// Leaves free pages behind: races added and most of them deleted again, racers removed.
void churn(const QString& path) {
    Database db(path);
    auto history = db.openRecordset(QStringLiteral("T_レース履歴"));
    for (int i = 0; i < 200; ++i) {
        history->addNew();
        history->setField(QStringLiteral("調査年"), 1990 + i % 10);
        history->setField(QStringLiteral("競輪場ID"), 1 + i % 43);
        history->setField(QStringLiteral("選手1"), 10000 + i);
        history->update();
    }
    history->moveFirst();
    for (int i = 0; i < 195; ++i) {
        history->deleteCurrent();
        history->moveNext();
    }
    auto racers = db.openRecordset(QStringLiteral("T_選手"));
    for (int i = 0; i < 300; ++i) {
        racers->deleteCurrent();
        racers->moveNext();
    }
}

struct stat statOf(const QString& path) {
    struct stat info {};
    ::lstat(QFile::encodeName(path).constData(), &info);
    return info;
}

int regionCount(const QString& path, int id) {
    Database db(path);
    return db.openRecordset(QStringLiteral("T_地区"), {{QStringLiteral("地区ID"), id}})->recordCount();
}

// The sqlite3 shell as a second process, fed line by line; waits for each step's marker.
class ShellProcess {
public:
    explicit ShellProcess(const QString& path) {
        m_process.setProcessChannelMode(QProcess::MergedChannels);
        m_process.start(QStringLiteral("sqlite3"), {path});
    }
    ~ShellProcess() {
        m_process.closeWriteChannel();
        if (!m_process.waitForFinished(5000))
            m_process.kill();
    }
    bool started() { return m_process.waitForStarted(5000); }
    // Runs the statements and returns their output up to the marker.
    QString run(const QString& statements) {
        const QByteArray marker = "step-done-" + QByteArray::number(++m_step);
        m_process.write(statements.toUtf8() + "\n.print " + marker + "\n");
        QByteArray output;
        while (!output.contains(marker) && m_process.waitForReadyRead(5000))
            output += m_process.readAll();
        return QString::fromUtf8(output).remove(QString::fromLatin1(marker)).trimmed();
    }

private:
    QProcess m_process;
    int m_step = 0;
};

} // namespace

class CompactionTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        m_dir = testsupport::copyOfProgramDir();
        m_path = m_dir.database();
        m_compact = m_dir.path + QStringLiteral("korvnew.mdb");
    }
    void cleanup() {
        recording::failWritesTo({}, 0);
        recording::makeDefault(false);
        m_dir = {};
    }

    void keepsContentAndShrinks() {
        churn(m_path);
        const QStringList before = dump(m_path);
        const qint64 sizeBefore = QFileInfo(m_path).size();
        compactDatabase(m_path, m_compact);
        QVERIFY(!QFile::exists(m_compact));
        QCOMPARE(dump(m_path), before);
        QVERIFY(QFileInfo(m_path).size() < sizeBefore);
    }

    void historyIdsStayUnusedAfterCompaction() {
        {
            Database db(m_path);
            auto history = db.openRecordset(QStringLiteral("T_レース履歴"));
            for (int i = 0; i < 3; ++i) {
                history->addNew();
                history->update();
            }
            history->moveLast();
            history->deleteCurrent();
        }
        compactDatabase(m_path, m_compact);
        Database db(m_path);
        auto history = db.openRecordset(QStringLiteral("T_レース履歴"));
        history->addNew();
        history->update();
        history->moveLast();
        QCOMPARE(history->field(QStringLiteral("履歴ID")).toLongLong(), 4);
    }

    void staleCopyIsReplaced() {
        QFile stale(m_compact);
        QVERIFY(stale.open(QIODevice::WriteOnly));
        stale.write("left over from a crash");
        stale.close();
        const QStringList before = dump(m_path);
        compactDatabase(m_path, m_compact);
        QVERIFY(!QFile::exists(m_compact));
        QCOMPARE(dump(m_path), before);
    }

    void failureLeavesOriginal_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("targetIsDirectory");
        QTest::newRow("directory missing") << QStringLiteral("missing/korvnew.mdb") << false;
        QTest::newRow("target is a directory") << QStringLiteral("korvnew.mdb") << true;
        QTest::newRow("target is the database") << QStringLiteral("Korvane.mdb") << false;
    }
    void failureLeavesOriginal() {
        QFETCH(QString, target);
        QFETCH(bool, targetIsDirectory);
        if (targetIsDirectory)
            QVERIFY(QDir(m_dir.path).mkdir(target));
        const QByteArray before = contents(m_path);
        const QStringList entries =
            QDir(m_dir.path).entryList(QDir::NoDotAndDotDot | QDir::AllEntries, QDir::Name);
        QCOMPARE(testsupport::errorNumberOf([&] { compactDatabase(m_path, m_dir.path + target); }),
                 ErrorNumber::StoreFailure);
        QCOMPARE(contents(m_path), before);
        QCOMPARE(QDir(m_dir.path).entryList(QDir::NoDotAndDotDot | QDir::AllEntries, QDir::Name), entries);
        QCOMPARE(dump(m_path).size(), dump(m_dir.database()).size());
    }

    void lockedDatabaseIsLeftAlone() {
        const QByteArray before = contents(m_path);
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("locker"));
            db.setDatabaseName(m_path);
            QVERIFY(db.open());
            QSqlQuery query(db);
            QVERIFY(query.exec(QStringLiteral("BEGIN EXCLUSIVE")));
            QVERIFY(query.exec(QStringLiteral("DELETE FROM T_個別名簿")));
            QCOMPARE(testsupport::errorNumberOf([&] { compactDatabase(m_path, m_compact); }),
                     ErrorNumber::ExclusiveUse);
            QVERIFY(!QFile::exists(m_compact));
            query.exec(QStringLiteral("ROLLBACK"));
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("locker"));
        QCOMPARE(contents(m_path), before);
    }

    void missingDatabase() {
        QVERIFY(QFile::remove(m_path));
        QCOMPARE(testsupport::errorNumberOf([&] { compactDatabase(m_path, m_compact); }),
                 ErrorNumber::FileNotFound);
        QVERIFY(!QFile::exists(m_path));
        QVERIFY(!QFile::exists(m_compact));
    }

    // A second process in a write transaction: compaction must not take the file from under it.
    void writerInAnotherProcessKeepsItsRow() {
        ShellProcess writer(m_path);
        QVERIFY(writer.started());
        QCOMPARE(writer.run(QStringLiteral(
                     "BEGIN IMMEDIATE; INSERT INTO T_地区 (地区ID, 地区名) VALUES (90, '並行');")),
                 QString());
        const QByteArray before = contents(m_path);
        const ino_t inode = statOf(m_path).st_ino;
        QCOMPARE(testsupport::errorNumberOf([&] { compactDatabase(m_path, m_compact); }),
                 ErrorNumber::ExclusiveUse);
        QCOMPARE(contents(m_path), before);
        QCOMPARE(statOf(m_path).st_ino, inode);
        QVERIFY(!QFile::exists(m_compact));
        QCOMPARE(writer.run(QStringLiteral("COMMIT;")), QString());
        QCOMPARE(regionCount(m_path, 90), 1);
    }

    // A connection opened before the compaction cannot write into the replaced file unseen.
    void writerOpenedBeforeFailsInsteadOfLosingItsRow() {
        const QString name = QStringLiteral("early-writer");
        {
            QSqlDatabase early = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
            early.setDatabaseName(m_path);
            QVERIFY(early.open());
            QSqlQuery read(early);
            QVERIFY(read.exec(QStringLiteral("SELECT count(*) FROM T_地区")));
            read.finish();
            QCOMPARE(compactDatabase(m_path, m_compact), CompactionResult::Compacted);
            QSqlQuery write(early);
            const bool stored =
                write.exec(QStringLiteral("INSERT INTO T_地区 (地区ID, 地区名) VALUES (91, '後')"));
            QVERIFY2(!stored, "a write to the replaced file reported success");
            early.close();
        }
        QSqlDatabase::removeDatabase(name);
        QCOMPARE(regionCount(m_path, 91), 0);
    }

    void keepsModeAndGroup_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("group"); // -1: unchanged
        QTest::newRow("read-only for everyone") << 0444 << -1;
        QTest::newRow("owner and group") << 0640 << -1;
        QTest::newRow("another group") << 0660 << 65534;
    }
    void keepsModeAndGroup() {
        QFETCH(int, mode);
        QFETCH(int, group);
        if (group >= 0 && ::geteuid() != 0)
            QSKIP("only root can give a file another group here");
        if (group >= 0)
            QCOMPARE(::chown(QFile::encodeName(m_path).constData(), static_cast<uid_t>(-1),
                             static_cast<gid_t>(group)),
                     0);
        QCOMPARE(::chmod(QFile::encodeName(m_path).constData(), static_cast<mode_t>(mode)), 0);
        const struct stat before = statOf(m_path);
        if (::access(QFile::encodeName(m_path).constData(), W_OK) != 0)
            QSKIP("a file this user cannot write is left alone");
        QCOMPARE(compactDatabase(m_path, m_compact), CompactionResult::Compacted);
        const struct stat after = statOf(m_path);
        QVERIFY(after.st_ino != before.st_ino);
        QCOMPARE(after.st_mode & 07777, static_cast<mode_t>(mode));
        QCOMPARE(after.st_uid, before.st_uid);
        QCOMPARE(after.st_gid, before.st_gid);
    }

    void anotherUsersFileIsLeftAlone() {
        if (::geteuid() != 0)
            QSKIP("only root can give a file to another user here");
        QCOMPARE(::chown(QFile::encodeName(m_path).constData(), 65534, 65534), 0);
        const QByteArray before = contents(m_path);
        const struct stat was = statOf(m_path);
        QCOMPARE(compactDatabase(m_path, m_compact), CompactionResult::Skipped);
        const struct stat now = statOf(m_path);
        QCOMPARE(now.st_ino, was.st_ino);
        QCOMPARE(now.st_uid, uid_t(65534));
        QCOMPARE(contents(m_path), before);
        QVERIFY(!QFile::exists(m_compact));
    }

    // Korvane.mdb kept elsewhere through a link: the link stays, the file it names is compacted.
    void linkedDatabaseKeepsItsLink() {
        QTemporaryDir elsewhere;
        const QString real = elsewhere.filePath(QStringLiteral("data.mdb"));
        QVERIFY(QFile::rename(m_path, real));
        QVERIFY(QFile::link(real, m_path));
        churn(m_path);
        const QStringList before = dump(real);
        const ino_t inode = statOf(real).st_ino;
        QCOMPARE(compactDatabase(m_path, m_compact), CompactionResult::Compacted);
        QVERIFY(S_ISLNK(statOf(m_path).st_mode));
        QCOMPARE(QFileInfo(m_path).symLinkTarget(), real);
        QVERIFY(statOf(real).st_ino != inode);
        QCOMPARE(dump(m_path), before);
        QVERIFY(!QFile::exists(m_compact));
        QCOMPARE(QDir(elsewhere.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::System),
                 QStringList{QStringLiteral("data.mdb")});
    }

    // A link planted as korvnew.mdb is removed, never followed, and never becomes the database.
    void plantedCopyLinkIsNotFollowed_data() {
        QTest::addColumn<bool>("targetExists");
        QTest::newRow("dangling") << false;
        QTest::newRow("to a file") << true;
    }
    void plantedCopyLinkIsNotFollowed() {
        QFETCH(bool, targetExists);
        QTemporaryDir outside;
        const QString bait = outside.filePath(QStringLiteral("bait.mdb"));
        const QByteArray baitBytes("not to be touched");
        if (targetExists) {
            QFile file(bait);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(baitBytes);
        }
        QVERIFY(QFile::link(bait, m_compact));
        const QStringList before = dump(m_path);
        QCOMPARE(compactDatabase(m_path, m_compact), CompactionResult::Compacted);
        QVERIFY(S_ISREG(statOf(m_path).st_mode));
        QCOMPARE(dump(m_path), before);
        QVERIFY(!QFileInfo::exists(m_compact) && !QFileInfo(m_compact).isSymLink());
        if (targetExists)
            QCOMPARE(contents(bait), baitBytes);
        else
            QVERIFY(!QFileInfo::exists(bait));
    }

    // A database of some other program is no business of the exit.
    void otherProgramsDatabaseIsRefused() {
        const QString other = m_dir.path + QStringLiteral("other.db");
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("other"));
            db.setDatabaseName(other);
            QVERIFY(db.open());
            QSqlQuery query(db);
            QVERIFY(query.exec(QStringLiteral("CREATE TABLE notes (id INTEGER PRIMARY KEY, text TEXT)")));
            QVERIFY(query.exec(QStringLiteral("INSERT INTO notes (text) VALUES ('x')")));
            QVERIFY(query.exec(QStringLiteral("DELETE FROM notes")));
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("other"));
        const QByteArray before = contents(other);
        try {
            compactDatabase(other, m_compact);
            QFAIL("compacted a file that is not the program's");
        } catch (const KorvaneError& error) {
            QCOMPARE(error.number(), ErrorNumber::NotADatabase);
            QVERIFY2(error.description().contains(other), qPrintable(error.description()));
        }
        QCOMPARE(contents(other), before);
        QVERIFY(!QFile::exists(m_compact));
    }

    // What the user is told names the file, in Japanese.
    void failureMessagesNameTheFile_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("targetIsDirectory");
        QTest::newRow("folder of the copy missing") << QStringLiteral("missing/korvnew.mdb") << false;
        QTest::newRow("leftover copy is a folder") << QStringLiteral("korvnew.mdb") << true;
    }
    void failureMessagesNameTheFile() {
        QFETCH(QString, target);
        QFETCH(bool, targetIsDirectory);
        if (targetIsDirectory)
            QVERIFY(QDir(m_dir.path).mkdir(target));
        try {
            compactDatabase(m_path, m_dir.path + target);
            QFAIL("no error");
        } catch (const KorvaneError& error) {
            QVERIFY2(error.description().contains(m_dir.path + target), qPrintable(error.description()));
            QVERIFY2(error.description().contains(QStringLiteral("できません")),
                     qPrintable(error.description()));
        }
    }

    // Another tool put the file in WAL mode: compaction must never put a copy under a live log.
    void walFileIsLeftOrReturnedToItsJournal_data() {
        QTest::addColumn<bool>("heldOpen");
        QTest::newRow("held open by another process") << true;
        QTest::newRow("left in WAL mode") << false;
    }
    void walFileIsLeftOrReturnedToItsJournal() {
        QFETCH(bool, heldOpen);
        {
            ShellProcess tool(m_path);
            QVERIFY(tool.started());
            QCOMPARE(tool.run(QStringLiteral("PRAGMA journal_mode = wal;")), QStringLiteral("wal"));
        }
        const ino_t inode = statOf(m_path).st_ino;
        if (heldOpen) {
            ShellProcess other(m_path);
            QVERIFY(other.started());
            QCOMPARE(other.run(QStringLiteral("SELECT count(*) FROM T_地区;")), QStringLiteral("8"));
            QCOMPARE(compactDatabase(m_path, m_compact), CompactionResult::Skipped);
            QCOMPARE(statOf(m_path).st_ino, inode);
            QCOMPARE(other.run(QStringLiteral("INSERT INTO T_地区 (地区ID, 地区名) VALUES (92, '後');")),
                     QString());
        } else {
            QCOMPARE(compactDatabase(m_path, m_compact), CompactionResult::Compacted);
            QCOMPARE(contents(m_path).mid(18, 2), QByteArray("\x01\x01", 2)); // rollback journal
            QCOMPARE(QDir(m_dir.path).entryList(QDir::Files | QDir::Hidden),
                     (QStringList{QStringLiteral("Korvane.hlp"), QStringLiteral("Korvane.mdb")}));
        }
        QCOMPARE(regionCount(m_path, 92), heldOpen ? 1 : 0);
        QCOMPARE(regionCount(m_path, 8), 1);
    }

    // Files the windows refuse to open are not rewritten at exit either.
    void refusedVersionIsLeftAlone_data() {
        QTest::addColumn<int>("version");
        QTest::newRow("made by a newer version") << 4;
        QTest::newRow("of an earlier version, not brought up to date") << 1;
    }
    void refusedVersionIsLeftAlone() {
        QFETCH(int, version);
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("version"));
            db.setDatabaseName(m_path);
            QVERIFY(db.open());
            QVERIFY(QSqlQuery(db).exec(QStringLiteral("PRAGMA user_version = %1").arg(version)));
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("version"));
        const QByteArray before = contents(m_path);
        const ino_t inode = statOf(m_path).st_ino;
        QCOMPARE(compactDatabase(m_path, m_compact), CompactionResult::Skipped);
        QCOMPARE(statOf(m_path).st_ino, inode);
        QCOMPARE(contents(m_path), before);
        QVERIFY(!QFile::exists(m_compact));
    }

    // A portable copy in a folder this user may not write: the copy cannot be made, and nothing is said.
    void readOnlyFolderIsLeftSilently() {
        const QByteArray before = contents(m_path);
        QCOMPARE(::chmod(QFile::encodeName(m_dir.path).constData(), 0555), 0);
        const int status = testsupport::exitStatusAsUnprivileged(m_dir.path, [this] {
            try {
                return compactDatabase(m_path, m_compact) == CompactionResult::Skipped ? 0 : 1;
            } catch (const KorvaneError& error) {
                std::fprintf(stderr, "%s\n", qPrintable(error.description()));
                return 2;
            }
        });
        ::chmod(QFile::encodeName(m_dir.path).constData(), 0755);
        QCOMPARE(status, 0);
        QCOMPARE(contents(m_path), before);
    }

    // The copy is what a full disk stops; the message names it, not the database it came from.
    void diskFullNamesTheCopy() {
        recording::failWritesTo(QStringLiteral("korvnew.mdb"), SQLITE_FULL);
        recording::makeDefault(true);
        try {
            compactDatabase(m_path, m_compact);
            QFAIL("no error");
        } catch (const KorvaneError& error) {
            QCOMPARE(error.number(), ErrorNumber::DiskFull);
            QVERIFY2(error.description().contains(m_compact), qPrintable(error.description()));
            QVERIFY2(!error.description().contains(m_path), qPrintable(error.description()));
        }
        QVERIFY(!QFile::exists(m_compact));
    }

private:
    testsupport::ProgramDir m_dir;
    QString m_path;
    QString m_compact;
};

QTEST_GUILESS_MAIN(CompactionTest)
#include "CompactionTest.moc"
