#include "app/Startup.h"
#include "core/Dialogs.h"
#include "support/TestSupport.h"

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

// The unattended program that process tests start never waits on a question.
void StartupTest::unattendedDialogsAnswerNo() {
    StderrDialogs unattended;
    QCOMPARE(unattended.question(QStringLiteral("コルヴァンを終了しますか。\r\n"),
                                 QStringLiteral("コルヴァン終了")),
             Dialogs::Answer::No);
}

QTEST_MAIN(StartupTest)
#include "StartupTest.moc"
