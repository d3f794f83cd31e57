#include "shell/ErrorTrap.h"
#include "support/TestSupport.h"

#include <QTest>
#include <functional>
#include <stdexcept>
#include <vector>

using Thrower = std::function<void()>;
Q_DECLARE_METATYPE(Thrower)

class ErrorTrapTest : public QObject {
    Q_OBJECT

private slots:
    void anyExceptionBecomesTheCommonMessage_data();
    void anyExceptionBecomesTheCommonMessage();
};

void ErrorTrapTest::anyExceptionBecomesTheCommonMessage_data() {
    QTest::addColumn<Thrower>("thrower");
    QTest::addColumn<QString>("expected");
    QTest::newRow("the program's own error")
        << Thrower([] {
               throw KorvaneError(3021, QStringLiteral("Database"),
                                  QStringLiteral("カレント レコードがありません。"));
           })
        << QStringLiteral(
               "エラー番号  3021Database でエラーが発生しました。 \rカレント レコードがありません。");
    QTest::newRow(".at() past the end")
        << Thrower([] {
               const std::vector<int> three{1, 2, 3};
               (void)three.at(3);
           })
        << QStringLiteral(
               "エラー番号  9Korvane でエラーが発生しました。 \rインデックスが有効範囲にありません。");
    QTest::newRow("out of memory") << Thrower([] {
        throw std::bad_alloc();
    }) << QStringLiteral("エラー番号  7Korvane でエラーが発生しました。 \rメモリが不足しています。");
    QTest::newRow("overflow") << Thrower([] {
        throw std::overflow_error("x");
    }) << QStringLiteral("エラー番号  6Korvane でエラーが発生しました。 \rオーバーフローしました。");
    QTest::newRow("other library error")
        << Thrower([] { throw std::runtime_error("disk"); })
        << QStringLiteral("エラー番号  51Korvane でエラーが発生しました。 \r内部エラーです。 (disk)");
    QTest::newRow("not an exception class")
        << Thrower([] { throw 42; })
        << QStringLiteral("エラー番号  51Korvane でエラーが発生しました。 \r内部エラーです。");
}

// The handler ends with the message and the program goes on: the next handler runs normally.
void ErrorTrapTest::anyExceptionBecomesTheCommonMessage() {
    QFETCH(Thrower, thrower);
    QFETCH(QString, expected);
    ScriptedDialogs dialogs;
    bool after = false;
    QVERIFY(!runTrapped(dialogs, [&] {
        thrower();
        after = true;
    }));
    QVERIFY(!after);
    QCOMPARE(dialogs.texts(), QStringList{expected});
    QCOMPARE(dialogs.shown().first().title, QStringLiteral("エラー"));
    QVERIFY(runTrapped(dialogs, [] {}));
    QCOMPARE(dialogs.shown().size(), 1);
}

QTEST_MAIN(ErrorTrapTest)
#include "ErrorTrapTest.moc"
