#include "mainmenu/SalesForm.h"
#include "support/Controls.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QImage>
#include <QTest>

class SalesFormTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { testsupport::initGui(); }
    void animatesWhileShown();
    void closeByButtonOrMenu_data();
    void closeByButtonOrMenu();
};

void SalesFormTest::animatesWhileShown() {
    TestContext t;
    SalesForm form(t.context);
    QCOMPARE(form.windowTitle(), QStringLiteral("作者ソフト紹介"));
    QVERIFY(!form.timer().isActive());
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QVERIFY(form.timer().isActive());

    const QImage before = form.picture()->grab().toImage();
    for (int i = 0; i < 10; ++i)
        form.Timer1_Timer();
    QCOMPARE(form.picture()->frame(), 10);
    const QImage after = form.picture()->grab().toImage();
    QVERIFY2(before != after, "the picture moves");
    testsupport::saveScreenshot(&form, QStringLiteral("SalesForm"));

    // The real timer drives it too.
    QTRY_VERIFY_WITH_TIMEOUT(form.picture()->frame() > 12, 2000);
    form.hide();
    QVERIFY(!form.timer().isActive());
}

void SalesFormTest::closeByButtonOrMenu_data() {
    QTest::addColumn<bool>("byMenu");
    QTest::newRow("button") << false;
    QTest::newRow("menu") << true;
}

void SalesFormTest::closeByButtonOrMenu() {
    QFETCH(bool, byMenu);
    TestContext t;
    SalesForm form(t.context);
    form.show();
    if (byMenu)
        testsupport::action(&form, u"Menu_Close")->trigger();
    else
        testsupport::click(&form, u"CommandClose");
    QVERIFY(!form.isVisible());
    QVERIFY(!form.timer().isActive());
    QCOMPARE(t.navigator.closedWindows(), QList<WindowId>{WindowId::SalesForm});
    QVERIFY(t.navigator.opened().isEmpty());
}

QTEST_MAIN(SalesFormTest)
#include "SalesFormTest.moc"
