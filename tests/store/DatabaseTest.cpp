#include "store/Database.h"
#include "core/Errors.h"
#include "store/Recordset.h"
#include "store/StoreInternal.h"
#include "support/DirectSql.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>
#include <functional>
#include <memory>
#include <sqlite3.h>

namespace {

KorvaneError errorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const KorvaneError& error) {
        return error;
    }
    return KorvaneError(0, {}, {});
}

QByteArray contents(const QString& path) {
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

// A second connection, as another process would hold it.
class Locker {
public:
    Locker(const QString& path, const QString& begin)
        : m_name(QStringLiteral("locker")) {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        db.setDatabaseName(path);
        QVERIFY(db.open());
        QSqlQuery query(db);
        QVERIFY(query.exec(begin));
        // A write takes the lock at once also where BEGIN alone would not.
        QVERIFY(query.exec(QStringLiteral("UPDATE T_地区 SET 地区名 = 地区名 WHERE 地区ID = 1")));
    }
    ~Locker() {
        {
            QSqlDatabase db = QSqlDatabase::database(m_name);
            QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
            db.close();
        }
        QSqlDatabase::removeDatabase(m_name);
    }

private:
    QString m_name;
};

} // namespace

class DatabaseTest : public QObject {
    Q_OBJECT

private slots:
    void missingFileIsNotCreated_data() {
        QTest::addColumn<QString>("relative");
        QTest::newRow("file") << QStringLiteral("Korvane.mdb");
        QTest::newRow("directory") << QStringLiteral("nowhere/Korvane.mdb");
        QTest::newRow("special characters") << QStringLiteral("a?b#c%20.mdb");
    }
    void missingFileIsNotCreated() {
        QFETCH(QString, relative);
        QTemporaryDir dir;
        const QString path = dir.filePath(relative);
        const KorvaneError error = errorOf([&] { Database db(path); });
        QCOMPARE(error.number(), ErrorNumber::FileNotFound);
        QCOMPARE(error.source(), QStringLiteral("Database"));
        QVERIFY(!error.description().isEmpty());
        QVERIFY(!QFile::exists(path));
        QCOMPARE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());
    }

    void pathWithSpecialCharactersOpens() {
        testsupport::ProgramDir program = testsupport::copyOfProgramDir();
        const QString path = program.path + QStringLiteral("競輪 #1?x%41.mdb");
        QVERIFY(QFile::copy(program.database(), path));
        Database db(path);
        QCOMPARE(db.openRecordset(QStringLiteral("T_血液型"))->recordCount(), 4);
        QCOMPARE(db.path(), path);
    }

    void notADatabase_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("text")
            << QByteArray("This is not a database file, only some text written by hand.\n").repeated(40);
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("truncated header") << QByteArray("SQLite format 3\0", 16);
    }
    void notADatabase() {
        QFETCH(QByteArray, bytes);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Korvane.mdb"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();
        QCOMPARE(errorOf([&] { Database db(path); }).number(), ErrorNumber::NotADatabase);
        QCOMPARE(contents(path), bytes);
    }

    void damagedDatabase() {
        testsupport::ProgramDir program = testsupport::copyOfProgramDir();
        QFile file(program.database());
        QVERIFY(file.open(QIODevice::ReadWrite));
        file.seek(100); // the first page's header, after the file header
        file.write(QByteArray(4000, '\xA5'));
        file.close();
        QCOMPARE(errorOf([&] {
                     Database db(program.database());
                     db.openRecordset(QStringLiteral("Q_選手"));
                 }).number(),
                 ErrorNumber::NotADatabase);
    }

    void lockedFile() {
        testsupport::ProgramDir program = testsupport::copyOfProgramDir();
        const QByteArray before = contents(program.database());
        {
            Locker locker(program.database(), QStringLiteral("BEGIN EXCLUSIVE"));
            QCOMPARE(errorOf([&] { Database db(program.database()); }).number(), ErrorNumber::ExclusiveUse);
        }
        QCOMPARE(contents(program.database()), before);
        Database db(program.database());
        QCOMPARE(db.openRecordset(QStringLiteral("T_地区"))->recordCount(), 8);
    }

    void lockMetWhileOpen() {
        testsupport::ProgramDir program = testsupport::copyOfProgramDir();
        Database db(program.database());
        auto regions = db.openRecordset(QStringLiteral("T_地区"));
        {
            Locker locker(program.database(), QStringLiteral("BEGIN EXCLUSIVE"));
            QCOMPARE(errorOf([&] { db.openRecordset(QStringLiteral("T_所属")); }).number(),
                     ErrorNumber::ExclusiveUse);
            regions->edit();
            regions->setField(QStringLiteral("地区名"), QStringLiteral("変更"));
            QCOMPARE(errorOf([&] { regions->update(); }).number(), ErrorNumber::ExclusiveUse);
            regions->cancelUpdate();
        }
        {
            // Another writer's pending change blocks writes but not reads.
            Locker locker(program.database(), QStringLiteral("BEGIN IMMEDIATE"));
            QCOMPARE(db.openRecordset(QStringLiteral("T_所属"))->recordCount(), 47);
            QCOMPARE(errorOf([&] { regions->deleteCurrent(); }).number(), ErrorNumber::ExclusiveUse);
        }
        QCOMPARE(regions->field(QStringLiteral("地区名")).toString(), QStringLiteral("北日本"));
        regions->edit();
        regions->setField(QStringLiteral("地区名"), QStringLiteral("変更"));
        regions->update();
        QCOMPARE(Database(program.database())
                     .openRecordset(QStringLiteral("T_地区"))
                     ->field(QStringLiteral("地区名")),
                 QVariant(QStringLiteral("変更")));
    }

    void foreignKeysAreEnforced() {
        testsupport::ProgramDir program = testsupport::copyOfProgramDir();
        Database db(program.database());
        auto racers = db.openRecordset(QStringLiteral("Q_選手"));
        racers->edit();
        racers->setField(QStringLiteral("所属ID"), 48);
        QCOMPARE(errorOf([&] { racers->update(); }).number(), ErrorNumber::ConstraintFailed);
        racers->cancelUpdate();
        auto velodromes = db.openRecordset(QStringLiteral("Q_競輪場"));
        velodromes->addNew();
        velodromes->setField(QStringLiteral("競輪場ID"), 50);
        velodromes->setField(QStringLiteral("地区ID"), 9);
        QCOMPARE(errorOf([&] { velodromes->update(); }).number(), ErrorNumber::ConstraintFailed);
        QCOMPARE(velodromes->recordCount(), 43);
    }

    void addThroughViewNeedsKey() {
        testsupport::ProgramDir program = testsupport::copyOfProgramDir();
        Database db(program.database());
        auto velodromes = db.openRecordset(QStringLiteral("Q_競輪場"));
        velodromes->addNew();
        velodromes->setField(QStringLiteral("競輪場名"), QStringLiteral("番号なし"));
        QCOMPARE(errorOf([&] { velodromes->update(); }).number(), ErrorNumber::ConstraintFailed);
        QCOMPARE(db.openRecordset(QStringLiteral("T_競輪場"))->recordCount(), 43);
    }

    void transactionStoresAllOrNothing_data() {
        QTest::addColumn<bool>("fails");
        QTest::newRow("committed") << false;
        QTest::newRow("rolled back") << true;
    }
    void transactionStoresAllOrNothing() {
        QFETCH(bool, fails);
        testsupport::ProgramDir program = testsupport::copyOfProgramDir();
        Database db(program.database());
        auto roster = db.openRecordset(QStringLiteral("T_個別名簿"));
        const KorvaneError error = errorOf([&] {
            db.runInTransaction([&] {
                roster->deleteCurrent();
                roster->moveNext();
                roster->edit();
                roster->setField(QStringLiteral("名前"), QStringLiteral("変更"));
                roster->update();
                if (fails)
                    throw KorvaneError(ErrorNumber::DuplicateKey, QStringLiteral("test"),
                                       QStringLiteral("test"));
            });
        });
        QCOMPARE(error.number(), fails ? ErrorNumber::DuplicateKey : 0);
        const testsupport::DirectSql sql(program.database());
        const auto names = [&sql] {
            QStringList texts;
            for (const QVariantList& row :
                 sql.rows(QStringLiteral("SELECT 名前 FROM T_個別名簿 ORDER BY 名簿ID")))
                texts << row.value(0).toString();
            return texts;
        };
        QCOMPARE(names(), fails ? (QStringList{QStringLiteral("見本　一郎"), QStringLiteral("見本　花子"),
                                               QStringLiteral("見本　次郎")})
                                : (QStringList{QStringLiteral("変更"), QStringLiteral("見本　次郎")}));
        // The connection takes writes again afterwards.
        auto more = db.openRecordset(QStringLiteral("T_個別名簿"));
        more->moveLast();
        more->deleteCurrent();
        QCOMPARE(names().size(), fails ? 2 : 1);
    }

    void readOnlyQueriesRefuseWrites() {
        testsupport::ProgramDir program = testsupport::copyOfProgramDir();
        Database db(program.database());
        auto terms = db.openRecordset(QStringLiteral("Q_期"));
        QVERIFY(errorOf([&] { terms->deleteCurrent(); }).number() != 0);
        QCOMPARE(db.openRecordset(QStringLiteral("Q_期"))->recordCount(), terms->recordCount());
    }

    void japaneseReasonFirst_data() {
        QTest::addColumn<QByteArray>("open");
        QTest::addColumn<QByteArray>("sql"); // run on the file when given
        QTest::addColumn<QString>("expected");
        QTest::newRow("no such table")
            << QByteArray(":memory:") << QByteArray("SELECT * FROM T_無い")
            << QStringLiteral(
                   "データベース '/data/Korvane.mdb' でエラーが発生しました。 データベースへの命令に"
                   "誤りがあるか、データベースの内容が正しくありません。 (no such table: T_無い)");
        QTest::newRow("cannot open")
            << QByteArray("/no-such-folder/K.mdb") << QByteArray()
            << QStringLiteral("データベース '/data/Korvane.mdb' を使用できません。 "
                              "データベース ファイルを開けません。 (unable to open database file)");
    }
    // The engine's words, which the user may not read, follow a Japanese reason.
    void japaneseReasonFirst() {
        QFETCH(QByteArray, open);
        QFETCH(QByteArray, sql);
        QFETCH(QString, expected);
        sqlite3* handle = nullptr;
        int code = sqlite3_open_v2(open.constData(), &handle, SQLITE_OPEN_READWRITE, nullptr);
        if (!sql.isEmpty())
            code = sqlite3_exec(handle, sql.constData(), nullptr, nullptr, nullptr);
        const std::unique_ptr<sqlite3, int (*)(sqlite3*)> closer(handle, sqlite3_close);
        const auto raise = [&] {
            store::raiseEngineError(handle, code, QStringLiteral("/data/Korvane.mdb"));
        };
        QCOMPARE(errorOf(raise).description(), expected);
    }
};

QTEST_GUILESS_MAIN(DatabaseTest)
#include "DatabaseTest.moc"
