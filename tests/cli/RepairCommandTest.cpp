#include "cli/RepairCommand.h"
#include "store/Database.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>
#include <sqlite3.h>

namespace {

QByteArray contents(const QString& path) {
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

// Runs SQL on a file with the engine itself, not through the store.
bool execute(const QString& path, const QString& sql) {
    sqlite3* db = nullptr;
    const bool ok = sqlite3_open(QFile::encodeName(path).constData(), &db) == SQLITE_OK &&
                    sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok;
}

} // namespace

class RepairCommandTest : public QObject {
    Q_OBJECT

private slots:
    void exitStatusAndWhatIsSaid_data() {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("said");
        QTest::addColumn<bool>("repaired");
        const QString birthYear = QStringLiteral("UPDATE T_選手 SET 生年 = '1965x' WHERE 選手ID = 10003");
        const QString named =
            QStringLiteral("テーブル 'T_選手'、選手ID 10003 のレコード、フィールド '生年' の値 '1965x'");
        QTest::newRow("nothing to repair") << QString() << QStringList{QStringLiteral("--yes")} << 0
                                           << QStringLiteral("直す値はありません") << false;
        QTest::newRow("not confirmed") << birthYear << QStringList() << 1 << named << false;
        QTest::newRow("confirmed") << birthYear << QStringList{QStringLiteral("--yes")} << 0
                                   << QStringLiteral("空 (不明) にした値: 1 件\n  ") + named << true;
        QTest::newRow("a key the rules refuse")
            << QStringLiteral("UPDATE T_競輪場 SET 競輪場ID = 40000 WHERE 競輪場ID = 5")
            << QStringList{QStringLiteral("--yes")} << 1 << QStringLiteral("キーのため空にできません")
            << false;
        QTest::newRow("database missing") << QStringLiteral("missing") << QStringList{QStringLiteral("--yes")}
                                          << 2 << QStringLiteral("見つかりません") << false;
        QTest::newRow("unknown option")
            << QString() << QStringList{QStringLiteral("--force")} << 2 << QStringLiteral("使い方") << false;
    }
    void exitStatusAndWhatIsSaid() {
        QFETCH(QString, change);
        QFETCH(QStringList, options);
        QFETCH(int, status);
        QFETCH(QString, said);
        QFETCH(bool, repaired);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Korvane.mdb"));
        QFile dump(qEnvironmentVariable("KORVANE_SOURCE_DIR") +
                   QStringLiteral("/tests/store/data/korvane-v1.sql"));
        QVERIFY(dump.open(QIODevice::ReadOnly));
        QVERIFY(execute(path, QString::fromUtf8(dump.readAll())));
        if (change == QLatin1String("missing"))
            QVERIFY(QFile::remove(path));
        else if (!change.isEmpty())
            QVERIFY(execute(path, change));
        const QByteArray before = contents(path);

        QString text;
        QTextStream out(&text);
        QTextStream err(&text);
        QCOMPARE(cli::runRepairCommand(QStringList{QStringLiteral("--database"), path} + options, out, err),
                 status);
        out.flush();
        err.flush();
        QVERIFY2(text.contains(said), qPrintable(text));
        QCOMPARE(QFile::exists(path + QStringLiteral(".before-repair.bak")), repaired);
        if (repaired) {
            QCOMPARE(contents(path + QStringLiteral(".before-repair.bak")), before);
            Database upgraded(path);
        } else {
            QCOMPARE(contents(path), before);
        }
    }
};

QTEST_GUILESS_MAIN(RepairCommandTest)
#include "RepairCommandTest.moc"
