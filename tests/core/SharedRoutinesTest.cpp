#include "core/SharedRoutines.h"
#include "core/AppState.h"
#include "core/Errors.h"
#include "shell/ErrorTrap.h"
#include "shell/Placement.h"
#include "support/Racers.h"
#include "support/TestSupport.h"

#include <QTest>

class SharedRoutinesTest : public QObject {
    Q_OBJECT

private slots:
    void surveyDateCheck_data();
    void surveyDateCheck();
    void errorTrapMessage();
    void errorTrapPassesWithoutError();
    void fontScaling_data();
    void fontScaling();
    void appPath_data();
    void appPath();
    void masterCommandsClearSixSlots();
    void nullSafeRead();
};

void SharedRoutinesTest::surveyDateCheck_data() {
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("month");
    QTest::addColumn<int>("day");
    QTest::addColumn<QString>("message");
    const QString dayWrong = QStringLiteral("日が正しくありません");
    const QString monthWrong = QStringLiteral("月が正しくありません");
    QTest::newRow("29 Feb of a leap year") << 2000 << 2 << 29 << QString();
    QTest::newRow("29 Feb 1900 divisible by 4") << 1900 << 2 << 29 << QString();
    QTest::newRow("29 Feb of a common year") << 1999 << 2 << 29 << dayWrong;
    QTest::newRow("30 Feb of a leap year") << 2000 << 2 << 30 << dayWrong;
    QTest::newRow("31 April") << 1999 << 4 << 31 << dayWrong;
    QTest::newRow("31 September") << 1999 << 9 << 31 << dayWrong;
    QTest::newRow("30 November") << 1999 << 11 << 30 << QString();
    QTest::newRow("31 December") << 1999 << 12 << 31 << QString();
    QTest::newRow("32 January passes") << 1999 << 1 << 32 << QString();
    QTest::newRow("month 13") << 1999 << 13 << 1 << monthWrong;
    QTest::newRow("month 13 with a bad day") << 1999 << 13 << 40 << monthWrong;
    QTest::newRow("month -1") << 1999 << -1 << 1 << monthWrong;
    QTest::newRow("month 0") << 1999 << 0 << 31 << QString();
    QTest::newRow("day 0") << 1999 << 5 << 0 << QString();
}

void SharedRoutinesTest::surveyDateCheck() {
    QFETCH(int, year);
    QFETCH(int, month);
    QFETCH(int, day);
    QFETCH(QString, message);
    ScriptedDialogs dialogs;
    const SurveyDate date{qint16(year), qint16(month), qint16(day)};
    const bool passed = checkSurveyDate(date, dialogs);
    QCOMPARE(passed, message.isEmpty());
    if (message.isEmpty()) {
        QVERIFY(dialogs.shown().isEmpty());
    } else {
        QCOMPARE(dialogs.shown().size(), 1);
        QCOMPARE(dialogs.shown().first().text, message);
        QCOMPARE(dialogs.shown().first().kind, ShownBox::Kind::Message);
        QVERIFY(dialogs.shown().first().title.isEmpty());
    }
}

void SharedRoutinesTest::errorTrapMessage() {
    ScriptedDialogs dialogs;
    const bool ok = runTrapped(dialogs, [] {
        throw KorvaneError(3024, QStringLiteral("Database"), QStringLiteral("ファイルが見つかりません。"));
    });
    QVERIFY(!ok);
    QCOMPARE(dialogs.shown().size(), 1);
    QCOMPARE(
        dialogs.shown().first().text,
        QStringLiteral("エラー番号  3024Database でエラーが発生しました。 \rファイルが見つかりません。"));
    QCOMPARE(dialogs.shown().first().title, QStringLiteral("エラー"));
    QCOMPARE(dialogs.shown().first().kind, ShownBox::Kind::Message);

    const KorvaneError negative(-5, QStringLiteral("X"), QStringLiteral("d"));
    QCOMPARE(::errorTrapMessage(negative, true),
             QStringLiteral("エラー番号 -5 X でエラーが発生しました。 \rd"));
}

void SharedRoutinesTest::errorTrapPassesWithoutError() {
    ScriptedDialogs dialogs;
    int ran = 0;
    QVERIFY(runTrapped(dialogs, [&] { ++ran; }));
    QCOMPARE(ran, 1);
    QVERIFY(dialogs.shown().isEmpty());
}

void SharedRoutinesTest::fontScaling_data() {
    QTest::addColumn<double>("size");
    QTest::addColumn<int>("twips");
    QTest::addColumn<int>("expected");
    QTest::newRow("9 at 15") << 9.0 << 15 << 9;
    QTest::newRow("9 at 12") << 9.0 << 12 << 7;
    QTest::newRow("18 at 12") << 18.0 << 12 << 14;
    QTest::newRow("10 at 12") << 10.0 << 12 << 8;
    QTest::newRow("12 at 15") << 12.0 << 15 << 12;
    QTest::newRow("8 at 12") << 8.0 << 12 << 6;
}

void SharedRoutinesTest::fontScaling() {
    QFETCH(double, size);
    QFETCH(int, twips);
    QFETCH(int, expected);
    QCOMPARE(scaledFontSize(size, twips), expected);
}

void SharedRoutinesTest::appPath_data() {
    QTest::addColumn<QString>("directory");
    QTest::addColumn<QString>("expected");
    QTest::newRow("plain") << QStringLiteral("/opt/korvane") << QStringLiteral("/opt/korvane/");
    QTest::newRow("already ends") << QStringLiteral("/opt/korvane/") << QStringLiteral("/opt/korvane/");
    QTest::newRow("root") << QStringLiteral("/") << QStringLiteral("/");
}

void SharedRoutinesTest::appPath() {
    QFETCH(QString, directory);
    QFETCH(QString, expected);
    const QString path = normalisedAppPath(directory);
    QCOMPARE(path, expected);
    QVERIFY(!path.endsWith(QStringLiteral("//")));
    QCOMPARE((path + QStringLiteral("Korvane.mdb")).count(QStringLiteral("//")), 0);
}

void SharedRoutinesTest::masterCommandsClearSixSlots() {
    AppState state;
    testsupport::fillAllSlots(state);
    state.chartSlot = 8;
    const auto before = state.selectedPersons;
    state.clearSlotsForMasters();
    QCOMPARE(state.chartSlot, qint16(0));
    for (int i = 0; i < AppState::SlotCount; ++i) {
        const PersonSlot& old = before[std::size_t(i)];
        // The racer ID is never cleared; slots 6 to 9 keep everything.
        const PersonSlot expected = i < 6 ? testsupport::clearedSlot(old.racerId) : old;
        QCOMPARE(testsupport::slotText(state.selectedPersons[std::size_t(i)]),
                 testsupport::slotText(expected));
    }
}

void SharedRoutinesTest::nullSafeRead() {
    QCOMPARE(nullSafe(QVariant(), true), QVariant(QString()));
    QCOMPARE(nullSafe(QVariant(), false), QVariant(0));
    QCOMPARE(nullSafe(QVariant(42), false), QVariant(42));
    QCOMPARE(nullSafe(QVariant(QStringLiteral("x")), true), QVariant(QStringLiteral("x")));
}

QTEST_MAIN(SharedRoutinesTest)
#include "SharedRoutinesTest.moc"
