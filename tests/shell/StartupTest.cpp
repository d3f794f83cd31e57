#include "Startup.h"
#include "Dialogs.h"
#include "TestSupport.h"

#include <QTest>

class StartupTest : public QObject {
    Q_OBJECT

private slots:
    void twips_data();
    void twips();
    void unattendedDialogsAnswerNo();
};

void StartupTest::twips_data() {
    QTest::addColumn<double>("dpi");
    QTest::addColumn<int>("twips");
    QTest::newRow("96 dpi") << 96.0 << 15;
    QTest::newRow("120 dpi") << 120.0 << 12;
    QTest::newRow("144 dpi") << 144.0 << 10;
    QTest::newRow("72 dpi") << 72.0 << 20;
    QTest::newRow("192 dpi rounds half to even") << 192.0 << 8; // 7.5
    QTest::newRow("110 dpi") << 110.0 << 13;                    // 13.09
    QTest::newRow("no screen information") << 0.0 << 15;
}

void StartupTest::twips() {
    QFETCH(double, dpi);
    QFETCH(int, twips);
    QCOMPARE(twipsPerPixel(dpi), qint16(twips));
}

void StartupTest::unattendedDialogsAnswerNo() {
    qputenv("KORVANE_DIALOGS", "stderr");
    const auto unattended = createDialogs();
    QVERIFY(!dynamic_cast<MessageBoxDialogs*>(unattended.get()));
    QCOMPARE(unattended->question(QStringLiteral("コルヴァンを終了しますか。\r\n"),
                                  QStringLiteral("コルヴァン終了")),
             Dialogs::Answer::No);
    qunsetenv("KORVANE_DIALOGS");
    const auto interactive = createDialogs();
    QVERIFY(dynamic_cast<MessageBoxDialogs*>(interactive.get()));
}

QTEST_MAIN(StartupTest)
#include "StartupTest.moc"
