#include "shell/Placement.h"
#include "support/TestSupport.h"

#include <QGuiApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QScreen>
#include <QTest>

class PlacementTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { testsupport::initGui(); }
    void wholeWindowIsCentred_data();
    void wholeWindowIsCentred();
};

void PlacementTest::wholeWindowIsCentred_data() {
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::newRow("work window") << 632 << 434;
    QTest::newRow("detail chart") << 634 << 434;
    QTest::newRow("introduction") << 400 << 330;
}

// The window with its menu bar sits in the middle of the screen, not its client area alone.
void PlacementTest::wholeWindowIsCentred() {
    QFETCH(int, width);
    QFETCH(int, height);
    QMainWindow window;
    window.menuBar()->addAction(QStringLiteral("終了(&X)"));
    window.setCentralWidget(new QWidget);
    sizeAndCentre(&window, width, height);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCoreApplication::processEvents();

    QCOMPARE(window.centralWidget()->size(), QSize(width, height));
    QVERIFY(window.height() > height); // the menu bar is part of the window
    const QRect area = window.screen()->availableGeometry();
    const QRect whole = window.frameGeometry();
    QVERIFY2(qAbs((whole.top() - area.top()) - (area.bottom() - whole.bottom())) <= 1,
             qPrintable(QStringLiteral("window %1..%2 in %3..%4")
                            .arg(whole.top())
                            .arg(whole.bottom())
                            .arg(area.top())
                            .arg(area.bottom())));
    QVERIFY(qAbs((whole.left() - area.left()) - (area.right() - whole.right())) <= 1);
}

QTEST_MAIN(PlacementTest)
#include "PlacementTest.moc"
