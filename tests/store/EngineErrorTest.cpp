#include "core/Errors.h"
#include "store/StoreInternal.h"

#include <QTest>
#include <memory>
#include <sqlite3.h>

class EngineErrorTest : public QObject {
    Q_OBJECT

private slots:
    void japaneseReasonFirst_data();
    void japaneseReasonFirst();
    void systemErrors_data();
    void systemErrors();
};

void EngineErrorTest::japaneseReasonFirst_data() {
    QTest::addColumn<QString>("open"); // a file the engine opens, or none for a bare result code
    QTest::addColumn<QString>("sql");  // run on it when given
    QTest::addColumn<int>("code");     // the bare result code
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("description");
    QTest::newRow("no such table")
        << QStringLiteral(":memory:") << QStringLiteral("SELECT * FROM T_無い") << 0 << 3709
        << QStringLiteral("データベース '/data/Korvane.mdb' でエラーが発生しました。 "
                          "データベースへの命令に誤りがあるか、データベースの内容が正しくありません。 "
                          "(no such table: T_無い)");
    QTest::newRow("cannot open") << QStringLiteral("/no-such-folder/Korvane.mdb") << QString() << 0 << 3051
                                 << QStringLiteral("データベース '/data/Korvane.mdb' を使用できません。 "
                                                   "データベース ファイルを開けません。 "
                                                   "(unable to open database file)");
    QTest::newRow("write failed") << QString() << QString() << (SQLITE_IOERR | (3 << 8)) << 3709
                                  << QStringLiteral(
                                         "データベース '/data/Korvane.mdb' でエラーが発生しました。 "
                                         "ディスクの読み書きに失敗しました。");
    QTest::newRow("permission") << QString() << QString() << SQLITE_PERM << 3051
                                << QStringLiteral("データベース '/data/Korvane.mdb' を使用できません。 "
                                                  "アクセスが拒否されました。");
}

// The engine's words, which the user may not read, follow a Japanese reason; the file stays named.
void EngineErrorTest::japaneseReasonFirst() {
    QFETCH(QString, open);
    QFETCH(QString, sql);
    QFETCH(int, code);
    QFETCH(int, number);
    QFETCH(QString, description);
    sqlite3* handle = nullptr;
    if (!open.isEmpty()) {
        code = sqlite3_open_v2(open.toUtf8().constData(), &handle, SQLITE_OPEN_READWRITE, nullptr);
        if (!sql.isEmpty())
            code = sqlite3_exec(handle, sql.toUtf8().constData(), nullptr, nullptr, nullptr);
    }
    const std::unique_ptr<sqlite3, int (*)(sqlite3*)> closer(handle, sqlite3_close);
    try {
        store::raiseEngineError(handle, code, QStringLiteral("/data/Korvane.mdb"));
        QFAIL("no error raised");
    } catch (const KorvaneError& error) {
        QCOMPARE(error.number(), number);
        QCOMPARE(error.description(), description);
    }
}

void EngineErrorTest::systemErrors_data() {
    QTest::addColumn<int>("error");
    QTest::addColumn<QString>("reason");
    QTest::newRow("EPERM") << EPERM << QStringLiteral("操作が許可されていません。");
    QTest::newRow("EIO") << EIO << QStringLiteral("ディスクの読み書きに失敗しました。");
    QTest::newRow("ENOSPC") << ENOSPC << QStringLiteral("ディスクの空き容量が足りません。");
    QTest::newRow("EROFS") << EROFS << QStringLiteral("読み取り専用のドライブです。");
    QTest::newRow("unlisted") << EDOM << QStringLiteral("システム エラーが発生しました。");
}

void EngineErrorTest::systemErrors() {
    QFETCH(int, error);
    QFETCH(QString, reason);
    const QString text = systemErrorText(error);
    QVERIFY2(text.startsWith(reason + QStringLiteral(" (")) && text.endsWith(QLatin1Char(')')),
             qPrintable(text));
}

QTEST_MAIN(EngineErrorTest)
#include "EngineErrorTest.moc"
