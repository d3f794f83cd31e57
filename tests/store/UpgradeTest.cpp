#include "core/Errors.h"
#include "store/Database.h"
#include "store/Recordset.h"
#include "store/RefusedValues.h"
#include "store/SeedDatabase.h"
#include "support/TestSupport.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <sqlite3.h>
#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {

// A file an earlier version made, as an SQL dump kept with the tests.
QString earlierDump(int version = 1) {
    return qEnvironmentVariable("KORVANE_SOURCE_DIR") +
           QStringLiteral("/tests/store/data/korvane-v%1.sql").arg(version);
}

// Runs SQL on a file with the engine itself, not through the store under test.
bool execute(const QString& path, const QString& sql) {
    sqlite3* db = nullptr;
    bool ok = sqlite3_open_v2(QFile::encodeName(path).constData(), &db,
                              SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) == SQLITE_OK &&
              sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok;
}

QStringList query(const QString& path, const QString& sql) {
    QStringList lines;
    sqlite3* db = nullptr;
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr) ==
            SQLITE_OK &&
        sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &statement, nullptr) == SQLITE_OK) {
        while (sqlite3_step(statement) == SQLITE_ROW) {
            QStringList values;
            for (int i = 0; i < sqlite3_column_count(statement); ++i) {
                const char* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, i));
                values.append(QString::number(sqlite3_column_type(statement, i)) + QLatin1Char(':') +
                              (text ? QString::fromUtf8(text) : QStringLiteral("<null>")));
            }
            lines.append(values.join(QLatin1Char('|')));
        }
    }
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return lines;
}

// Every row of the user's tables and the key counters, each value with its storage type.
QStringList userRows(const QString& path) {
    QStringList rows;
    for (const char16_t* table : {u"T_所属", u"T_血液型", u"T_地区", u"T_競輪場", u"T_選手", u"T_選手抽出",
                                  u"T_個別名簿", u"T_レース履歴", u"sqlite_sequence"}) {
        rows.append(QString::fromUtf16(table));
        rows.append(
            query(path, QStringLiteral("SELECT * FROM %1 ORDER BY rowid").arg(QString::fromUtf16(table))));
    }
    return rows;
}

QByteArray contents(const QString& path) {
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

int count(const QString& path, const QString& table) {
    return query(path, QStringLiteral("SELECT count(*) FROM ") + table)
        .value(0)
        .section(QLatin1Char(':'), 1)
        .toInt();
}

} // namespace

class UpgradeTest : public QObject {
    Q_OBJECT

private slots:
    void init() { load(1); }

    void earlierFileKeepsEveryRowAndACopy_data() {
        QTest::addColumn<int>("version");
        QTest::addColumn<QString>("change");
        QTest::addColumn<int>("races");
        QTest::addColumn<QString>("newestRaces");
        QTest::addColumn<int>("nextRaceId");
        QTest::newRow("version 1") << 1 << QString() << 3 << u"2,3,1"_s << 6;
        // The first version's files may carry no number; its tables tell it.
        QTest::newRow("no version number")
            << 1 << QStringLiteral("PRAGMA user_version = 0") << 3 << u"2,3,1"_s << 6;
        // Races 4 and 9 share a day, as do 1 and 13: the later registered comes first.
        QTest::newRow("version 2") << 2 << QString() << 12 << u"11,8,5,10,7,9,4,13,1,6,3,12"_s << 15;
    }
    void earlierFileKeepsEveryRowAndACopy() {
        QFETCH(int, version);
        QFETCH(QString, change);
        QFETCH(int, races);
        QFETCH(QString, newestRaces);
        QFETCH(int, nextRaceId);
        load(version);
        QVERIFY(change.isEmpty() || execute(m_path, change));
        const QByteArray before = contents(m_path);
        const QStringList rowsBefore = userRows(m_path);
        // The dump's own figures.
        QCOMPARE(count(m_path, QStringLiteral("T_選手")), 60);
        QCOMPARE(count(m_path, QStringLiteral("T_選手抽出")), 5);
        QCOMPARE(count(m_path, QStringLiteral("T_レース履歴")), races);
        {
            Database db(m_path);
            QStringList order;
            for (auto set = db.openRecordset(QStringLiteral("Q_レース履歴")); !set->eof(); set->moveNext())
                order.append(set->field(QStringLiteral("履歴ID")).toString());
            QCOMPARE(order.join(QLatin1Char(',')), newestRaces);
        }
        QCOMPARE(contents(m_path + QStringLiteral(".bak")), before);
        QCOMPARE(userRows(m_path), rowsBefore);
        QCOMPARE(query(m_path, QStringLiteral("PRAGMA user_version")), QStringList{QStringLiteral("1:3")});
        QCOMPARE(query(m_path, QStringLiteral("PRAGMA integrity_check")),
                 QStringList{QStringLiteral("3:ok")});
        QCOMPARE(query(m_path, QStringLiteral("PRAGMA foreign_key_check")), QStringList());

        // Every view, trigger and index is the current program's.
        const QString fresh = m_dir.filePath(QStringLiteral("fresh.mdb"));
        QFile::remove(fresh);
        seed::createDatabase(fresh, 10, 1);
        const QString schema = QStringLiteral(
            "SELECT type, name, sql FROM sqlite_schema WHERE name NOT LIKE 'sqlite_%' ORDER BY type, name");
        QCOMPARE(query(m_path, schema), query(fresh, schema));

        // Deleted races' numbers stay used; the new rules hold.
        Database db(m_path);
        auto history = db.openRecordset(QStringLiteral("T_レース履歴"));
        history->addNew();
        history->setField(QStringLiteral("調査年"), 2025);
        history->update();
        history->moveLast();
        QCOMPARE(history->field(QStringLiteral("履歴ID")).toLongLong(), nextRaceId);
        auto racers = db.openRecordset(QStringLiteral("Q_選手"));
        racers->edit();
        racers->setField(QStringLiteral("生年"), QStringLiteral("1965x"));
        QCOMPARE(testsupport::errorNumberOf([&] { racers->update(); }), ErrorNumber::ValidationRule);
    }

    // Once up to date, opening again changes nothing and keeps no further copy.
    void currentFileIsNotUpgradedAgain() {
        { Database db(m_path); }
        QVERIFY(QFile::remove(m_path + QStringLiteral(".bak")));
        const QByteArray upgraded = contents(m_path);
        { Database db(m_path); }
        QVERIFY(!QFile::exists(m_path + QStringLiteral(".bak")));
        QCOMPARE(contents(m_path), upgraded);
    }

    void fileThatCannotBeUpgradedIsLeftAlone_data() {
        QTest::addColumn<QString>("change");
        QTest::addColumn<int>("error");
        QTest::newRow("a value the new rules refuse")
            << QStringLiteral(
                   "UPDATE T_選手 SET 生年 = '1965x' WHERE 選手ID = (SELECT min(選手ID) FROM T_選手)")
            << ErrorNumber::CannotUpgrade;
        QTest::newRow("made by a newer version")
            << QStringLiteral("PRAGMA user_version = 4") << ErrorNumber::NotADatabase;
        QTest::newRow("not the program's tables")
            << QStringLiteral("DROP TABLE T_選手抽出") << ErrorNumber::NotADatabase;
        QTest::newRow("not the program's tables, no schema version")
            << QStringLiteral("DROP TABLE T_選手抽出; PRAGMA user_version = 0") << ErrorNumber::NotADatabase;
    }
    void fileThatCannotBeUpgradedIsLeftAlone() {
        QFETCH(QString, change);
        QFETCH(int, error);
        QVERIFY(execute(m_path, change));
        const QByteArray before = contents(m_path);
        try {
            Database db(m_path);
            QFAIL("opened");
        } catch (const KorvaneError& raised) {
            QCOMPARE(raised.number(), error);
            QVERIFY2(raised.description().contains(m_path), qPrintable(raised.description()));
        }
        QCOMPARE(contents(m_path), before);
        QVERIFY(!QFile::exists(m_path + QStringLiteral("-journal")));
        QVERIFY(!QFile::exists(m_path + QStringLiteral(".bak")));
    }

    // The message names the record and the value, not only the field.
    void refusalNamesTheRecord_data() {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("named");
        QTest::newRow("birth year with a letter")
            << QStringLiteral("UPDATE T_選手 SET 生年 = '1965x' WHERE 選手ID = 10003")
            << QStringLiteral("テーブル 'T_選手'、選手ID 10003 のレコード、フィールド '生年' の値 '1965x'");
        QTest::newRow("region beyond the range")
            << QStringLiteral("UPDATE T_競輪場 SET 地区ID = 40000 WHERE 競輪場ID = 5")
            << QStringLiteral("テーブル 'T_競輪場'、競輪場ID 5 のレコード、フィールド '地区ID' の値 '40000'");
        QTest::newRow("finishing order in words")
            << QStringLiteral("UPDATE T_レース履歴 SET 結果3 = '三着' WHERE 履歴ID = 2")
            << QStringLiteral("テーブル 'T_レース履歴'、履歴ID 2 のレコード、フィールド '結果3' の値 '三着'");
    }
    void refusalNamesTheRecord() {
        QFETCH(QString, change);
        QFETCH(QString, named);
        QVERIFY(execute(m_path, change));
        try {
            Database db(m_path);
            QFAIL("opened");
        } catch (const KorvaneError& raised) {
            QCOMPARE(raised.number(), ErrorNumber::CannotUpgrade);
            QVERIFY2(raised.description().contains(named), qPrintable(raised.description()));
        }
        QVERIFY(!QFile::exists(m_path + QStringLiteral(".bak")));
    }

    // A copy is no use beside a file that stays as it is.
    void readOnlyEarlierFileGetsNoCopy() {
        QCOMPARE(::chmod(QFile::encodeName(m_path).constData(), 0444), 0);
        const int status = testsupport::exitStatusAsUnprivileged(m_dir.path(), [this] {
            const int error = testsupport::errorNumberOf([this] { Database db(m_path); });
            return error != ErrorNumber::CannotUpgrade              ? 1
                   : QFile::exists(m_path + QStringLiteral(".bak")) ? 2
                                                                    : 0;
        });
        QCOMPARE(status, 0);
    }

    // Every value the rules refuse is listed, then stored as unknown after a copy; the file then
    // comes up to date.
    void refusedValuesAreListedThenCleared() {
        QVERIFY(execute(m_path,
                        QStringLiteral("UPDATE T_選手 SET 生年 = '1965x', 生月 = 5.5 WHERE 選手ID = 10003; "
                                       "UPDATE T_競輪場 SET 地区ID = 40000 WHERE 競輪場ID = 5; "
                                       "UPDATE T_レース履歴 SET 結果3 = '三着' WHERE 履歴ID = 2")));
        const QStringList expected{
            QStringLiteral("テーブル 'T_競輪場'、競輪場ID 5 のレコード、フィールド '地区ID' の値 '40000'"),
            QStringLiteral("テーブル 'T_選手'、選手ID 10003 のレコード、フィールド '生年' の値 '1965x'"),
            QStringLiteral("テーブル 'T_選手'、選手ID 10003 のレコード、フィールド '生月' の値 '5.5'"),
            QStringLiteral("テーブル 'T_レース履歴'、履歴ID 2 のレコード、フィールド '結果3' の値 '三着'"),
        };
        const auto described = [](const QList<store::RefusedValue>& values) {
            QStringList lines;
            for (const store::RefusedValue& value : values)
                lines.append(store::describe(value));
            return lines;
        };
        const QByteArray before = contents(m_path);
        QCOMPARE(described(store::findRefusedValues(m_path)), expected);
        QCOMPARE(contents(m_path), before);

        const store::RepairOutcome outcome = store::repairRefusedValues(m_path);
        QCOMPARE(described(outcome.cleared), expected);
        QCOMPARE(contents(outcome.backup), before);
        QCOMPARE(query(m_path, QStringLiteral("SELECT 生年, 生月, 期 FROM T_選手 WHERE 選手ID = 10003")),
                 QStringList{QStringLiteral("5:<null>|5:<null>|1:63")});
        QCOMPARE(store::findRefusedValues(m_path), QList<store::RefusedValue>());
        { Database db(m_path); }
        QCOMPARE(query(m_path, QStringLiteral("PRAGMA user_version")), QStringList{QStringLiteral("1:3")});
        QCOMPARE(query(m_path, QStringLiteral("SELECT 地区ID, 競輪場名 FROM T_競輪場 WHERE 競輪場ID = 5")),
                 QStringList{QStringLiteral("5:<null>|3:前橋")});
    }

    // Another process writing: the upgrade waits its turn, the file stays as it was.
    void fileInUseIsLeftAlone() {
        const QByteArray before = contents(m_path);
        {
            QSqlDatabase other =
                QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("other"));
            other.setDatabaseName(m_path);
            QVERIFY(other.open());
            QSqlQuery write(other);
            QVERIFY(write.exec(QStringLiteral("BEGIN IMMEDIATE")));
            QVERIFY(write.exec(QStringLiteral("UPDATE T_地区 SET 地区名 = 地区名")));
            QCOMPARE(testsupport::errorNumberOf([&] { Database db(m_path); }), ErrorNumber::ExclusiveUse);
            QVERIFY(write.exec(QStringLiteral("ROLLBACK")));
            other.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("other"));
        QCOMPARE(contents(m_path), before);
        Database db(m_path);
        QCOMPARE(query(m_path, QStringLiteral("PRAGMA user_version")), QStringList{QStringLiteral("1:3")});
    }

private:
    // Makes the test's file from the dump of the given version.
    void load(int version) {
        QVERIFY(m_dir.isValid());
        m_path = m_dir.filePath(QStringLiteral("Korvane.mdb"));
        QFile::remove(m_path);
        QFile::remove(m_path + QStringLiteral(".bak"));
        QFile dump(earlierDump(version));
        QVERIFY2(dump.open(QIODevice::ReadOnly), qPrintable(earlierDump(version)));
        QVERIFY(execute(m_path, QString::fromUtf8(dump.readAll())));
        QCOMPARE(query(m_path, QStringLiteral("PRAGMA user_version")),
                 QStringList{QStringLiteral("1:%1").arg(version)});
    }

    QTemporaryDir m_dir;
    QString m_path;
};

QTEST_GUILESS_MAIN(UpgradeTest)
#include "UpgradeTest.moc"
