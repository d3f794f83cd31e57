#include "cli/StatsCommand.h"
#include "support/DirectSql.h"
#include "support/TestSupport.h"

#include <QTest>
#include <QTextStream>

using namespace Qt::StringLiterals;

class StatsCommandTest : public QObject {
    Q_OBJECT

private slots:
    void run_data();
    void run();
};

void StatsCommandTest::run_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("out"); // a part of the output
    QTest::addColumn<QString>("err"); // a part of the messages
    // Two races: 10 March 2001 and 12 March 2001.
    QTest::newRow("text") << QStringList{} << 0 << u"着順のあるレース\t2\n出走者\t4\n"_s << QString();
    QTest::newRow("text of a period")
        << QStringList{u"--from"_s, u"2001-03-01"_s, u"--to"_s, u"2001-03-10"_s} << 0
        << u"条件\t競輪場 全競輪場、調査日 2001.03.01～2001.03.10\n着順のあるレース\t1\n"_s << QString();
    QTest::newRow("json") << QStringList{u"--format"_s, u"json"_s} << 0 << u"\"races\": 2,"_s << QString();
    QTest::newRow("json from a day") << QStringList{u"--from"_s, u"2001-03-11"_s, u"--format"_s, u"json"_s}
                                     << 0 << u"\"starters\": 2,"_s << QString();
    QTest::newRow("inverted range") << QStringList{u"--from"_s, u"2001-03-11"_s, u"--to"_s, u"2001-03-10"_s}
                                    << 1 << QString() << u"調査日の範囲が逆です。"_s;
    QTest::newRow("not a date") << QStringList{u"--from"_s, u"2001-3-1"_s} << 1 << QString()
                                << u"日付は YYYY-MM-DD の形で指定してください: 2001-3-1"_s;
    QTest::newRow("not a velodrome") << QStringList{u"--velodrome"_s, u"平塚"_s} << 1 << QString()
                                     << u"競輪場IDは整数で指定してください: 平塚"_s;
    QTest::newRow("unknown option") << QStringList{u"--venue"_s, u"3"_s} << 1 << QString()
                                    << u"知らないオプションです: venue"_s;
    QTest::newRow("missing value") << QStringList{u"--to"_s} << 1 << QString()
                                   << u"オプションの値がありません。"_s;
    QTest::newRow("unknown format") << QStringList{u"--format"_s, u"xml"_s} << 1 << QString()
                                    << u"--format は text か json です: xml"_s;
    QTest::newRow("no database") << QStringList{u"--database"_s, u"ない.mdb"_s} << 2 << QString()
                                 << u"データベース ない.mdb を使えません。"_s;
}

void StatsCommandTest::run() {
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, out);
    QFETCH(QString, err);
    const testsupport::ProgramDir dir = testsupport::copyOfProgramDir();
    {
        const testsupport::DirectSql sql(dir.database());
        sql.exec(u"INSERT INTO T_選手 (選手ID, 名前, 所属ID, 生年, 生月, 生日) VALUES (1, '試験 一', 1, "
                 u"2001, 3, 10), "
                 "(2, '試験 二', 1, 2001, 3, 3)"_s);
        const int venue = sql.count(u"SELECT MIN(競輪場ID) FROM T_競輪場"_s);
        for (int day : {10, 12})
            sql.exec(u"INSERT INTO T_レース履歴 (調査年, 調査月, 調査日, 競輪場ID, レースNO, 選手1, 結果1, "
                     u"選手2, 結果2) "
                     "VALUES (2001, 3, ?, ?, 1, 1, 1, 2, 2)"_s,
                     {day, venue});
    }
    if (!arguments.contains(u"--database"_s))
        arguments = QStringList{u"--database"_s, dir.database()} + arguments;
    QString written;
    QString messages;
    QTextStream outStream(&written);
    QTextStream errStream(&messages);
    QCOMPARE(cli::runStatsCommand(arguments, outStream, errStream), exitCode);
    QVERIFY2(written.contains(out), qPrintable(written));
    QVERIFY2(messages.contains(err), qPrintable(messages));
    QCOMPARE(written.isEmpty(), exitCode != 0);
    QCOMPARE(messages.isEmpty(), exitCode == 0);
}

QTEST_APPLESS_MAIN(StatsCommandTest)
#include "StatsCommandTest.moc"
