#include "mainmenu/MainForm.h"
#include "support/Controls.h"
#include "support/TestSupport.h"

#include <QLabel>
#include <QSet>
#include <QTest>

namespace {

// A random number that makes a rider advance by exactly step degrees (5..19).
double stepDraw(int step) {
    return (step - 5 + 0.5) / 15.0;
}

struct Race {
    TestContext t;
    MainForm form{t.context};

    QLabel* label(const QString& name) { return testsupport::label(&form, name); }
    QLabel* rider(int i) { return testsupport::label(&form, u"Senshu", i); }
    QString banner() {
        QLabel* jyuni = label(QStringLiteral("LabelJyuni"));
        return jyuni->isHidden() ? QString() : jyuni->text();
    }
    QString standings() { return label(QStringLiteral("LabelResult"))->text(); }
    QString lapLabel() { return label(QStringLiteral("LabelSyukai"))->text(); }
    void start() { testsupport::click(&form, u"CommandStart"); }
    void ticks(int n) {
        for (int i = 0; i < n; ++i)
            form.Timer1_Timer();
    }
    // Rider 1 advances firstStep on the first tick; every other step of every rider is step degrees
    // (12 unless said), and every other draw is the number that gives that step.
    void startWithFirstStep(int firstStep, int step = 12) {
        t.random.setDefault(stepDraw(step));
        t.random.push(stepDraw(firstStep));
        start();
    }
    qint64 pixmapKey(QLabel* l) { return l->pixmap().cacheKey(); }
    qint64 templateKey(int index) { return pixmapKey(testsupport::label(&form, u"ImageSenshu", index)); }
};

// Notes whether the track was drawn when the window was first painted.
class FirstPaintWatch : public QObject {
public:
    explicit FirstPaintWatch(QLabel* track)
        : m_track(track) {}
    bool painted = false;
    bool trackAtFirstPaint = false;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && !painted) {
            painted = true;
            trackAtFirstPaint = !m_track->pixmap().isNull();
        }
        return false;
    }

private:
    QLabel* m_track;
};

// Spread-out numbers for the pictures, the same on every run.
void pushSpreadNumbers(ScriptedRandom& random, int count) {
    quint32 x = 12345;
    for (int i = 0; i < count; ++i) {
        x = x * 1103515245u + 12345u;
        random.push(double((x >> 8) & 0xFFFF) / 65536.0);
    }
}

} // namespace

class MainFormRaceTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { testsupport::initGui(); }
    void startLinesUp();
    void firstTick_data();
    void firstTick();
    void drawsInRiderOrder();
    void bannersLapsAndSpeeds_data();
    void bannersLapsAndSpeeds();
    void lanesAndPosesAtTheEnds();
    void standingsBySortedAngles();
    void sameTickFinishersAndGoal();
    void finishedRiderStepsTenWithoutDrawing();
    void startAgainRestarts();
    void timerRunsTheRace();
    void screenshots();
    void picturesFollowTheMenu_data();
    void picturesFollowTheMenu();
};

void MainFormRaceTest::startLinesUp() {
    Race race;
    for (int i = 0; i < 6; ++i)
        QVERIFY(testsupport::label(&race.form, u"ImageSenshu", i)->isHidden());
    race.start();
    QVERIFY(race.form.timer().isActive());
    QCOMPARE(race.form.timer().interval(), 200);
    for (int i = 0; i < 6; ++i) {
        QCOMPARE(race.rider(i)->geometry(), QRect(176, 192 + 16 * i, 32, 32));
        QCOMPARE(race.form.riderAngle(i), qint16(-90));
        QCOMPARE(race.form.riderLane(i), qint16(0));
        QCOMPARE(race.form.riderPose(i), i + 6);
        QCOMPARE(race.pixmapKey(race.rider(i)), race.templateKey(i + 6));
        QVERIFY(!race.rider(i)->isHidden());
    }
    QVERIFY(race.standings().isEmpty());
    QCOMPARE(race.t.random.used(), 0);
}

void MainFormRaceTest::firstTick_data() {
    QTest::addColumn<double>("r");
    QTest::addColumn<int>("angle");
    QTest::addColumn<int>("left");
    QTest::addColumn<QList<int>>("tops");
    QTest::newRow("smallest step") << 0.0 << -95 << 208 << QList<int>{196, 206, 216, 226, 236, 246};
    QTest::newRow("middle step") << 0.5 << -102 << 229 << QList<int>{200, 209, 219, 229, 239, 249};
    QTest::newRow("largest step") << 0.99 << -109 << 250 << QList<int>{202, 211, 221, 230, 240, 249};
}

void MainFormRaceTest::firstTick() {
    QFETCH(double, r);
    QFETCH(int, angle);
    QFETCH(int, left);
    QFETCH(QList<int>, tops);
    Race race;
    race.t.random.setDefault(r);
    race.start();
    race.ticks(1);
    for (int i = 0; i < 6; ++i) {
        QVERIFY(race.form.riderAngle(i) >= -109 && race.form.riderAngle(i) <= -95);
        QCOMPARE(race.form.riderAngle(i), qint16(angle));
        QCOMPARE(race.form.riderLane(i), qint16(50 + 10 * (i + 1)));
        QCOMPARE(race.form.riderPose(i), i + 6);
        QCOMPARE(race.rider(i)->pos(), QPoint(left, tops.at(i)));
    }
    // One number for each advance and one for each height; no lane is drawn in the start window.
    QCOMPARE(race.t.random.used(), 12);
    QCOMPARE(race.form.lapState(), qint16(1));
    QCOMPARE(race.lapLabel(), QStringLiteral("1"));
    QCOMPARE(race.banner(), QStringLiteral("Start !"));
    QVERIFY(race.standings().isEmpty());
    QCOMPARE(race.form.timer().interval(), 200);
}

void MainFormRaceTest::drawsInRiderOrder() {
    Race race;
    for (int i = 0; i < 6; ++i) {
        race.t.random.push(stepDraw(5 + i)); // advance of rider i + 1
        race.t.random.push(i * 0.1);         // its height jitter
    }
    race.t.random.setDefault(0.999);
    race.start();
    race.ticks(1);
    const QList<QPoint> expected{{208, 196}, {211, 207}, {214, 217}, {217, 228}, {220, 239}, {223, 249}};
    for (int i = 0; i < 6; ++i) {
        QCOMPARE(race.form.riderAngle(i), qint16(-95 - i));
        QCOMPARE(race.rider(i)->pos(), expected.at(i));
    }
    QCOMPARE(race.t.random.used(), 12);
}

void MainFormRaceTest::bannersLapsAndSpeeds_data() {
    QTest::addColumn<int>("firstStep");
    QTest::addColumn<int>("step");
    QTest::addColumn<int>("ticks");
    QTest::addColumn<int>("angle");
    QTest::addColumn<QString>("banner");
    QTest::addColumn<int>("interval");
    QTest::addColumn<int>("lap");
    // Rider 1's angle after n ticks is -90 - firstStep - step (n - 1).
    QTest::newRow("start banner to its end") << 11 << 12 << 15 << -269 << "Start !" << 200 << 1;
    QTest::newRow("start banner gone") << 12 << 12 << 15 << -270 << "" << 200 << 1;
    QTest::newRow("just before last 2") << 12 << 12 << 120 << -1530 << "" << 200 << 4;
    QTest::newRow("last 2 begins") << 13 << 12 << 120 << -1531 << "Last 2 !" << 100 << 5;
    QTest::newRow("last 2 to its end") << 11 << 12 << 135 << -1709 << "Last 2 !" << 100 << 5;
    QTest::newRow("after last 2 the speed stays") << 12 << 12 << 135 << -1710 << "" << 100 << 5;
    QTest::newRow("just before last 1") << 12 << 12 << 150 << -1890 << "" << 100 << 5;
    QTest::newRow("last 1 begins") << 13 << 12 << 150 << -1891 << "Last 1 !" << 50 << 6;
    QTest::newRow("last 1 to its end") << 11 << 12 << 165 << -2069 << "Last 1 !" << 50 << 6;
    QTest::newRow("after last 1") << 12 << 12 << 165 << -2070 << "" << 50 << 6;
    QTest::newRow("second lap not before -451") << 18 << 19 << 19 << -450 << "" << 200 << 1;
    QTest::newRow("second lap down to -469") << 18 << 19 << 20 << -469 << "" << 200 << 2;
}

void MainFormRaceTest::bannersLapsAndSpeeds() {
    QFETCH(int, firstStep);
    QFETCH(int, step);
    QFETCH(int, ticks);
    QFETCH(int, angle);
    QFETCH(QString, banner);
    QFETCH(int, interval);
    QFETCH(int, lap);
    Race race;
    race.startWithFirstStep(firstStep, step);
    race.ticks(ticks);
    QCOMPARE(race.form.riderAngle(0), qint16(angle));
    QCOMPARE(race.banner(), banner);
    QVERIFY(race.form.timer().isActive());
    QCOMPARE(race.form.timer().interval(), interval);
    QCOMPARE(race.form.lapState(), qint16(lap));
    QCOMPARE(race.lapLabel(), QString::number(lap));
}

void MainFormRaceTest::lanesAndPosesAtTheEnds() {
    Race race;
    race.t.random.setDefault(0.5);
    race.start();
    race.ticks(6); // -162: between the windows, the start lanes stay
    for (int i = 0; i < 6; ++i) {
        QCOMPARE(race.form.riderLane(i), qint16(60 + 10 * i));
        QCOMPARE(race.form.riderPose(i), i + 6);
    }
    const int before = race.t.random.used();
    race.ticks(1); // -174: the right end turns them to the left onto new lanes of 71..130
    QCOMPARE(race.t.random.used() - before, 18);
    for (int i = 0; i < 6; ++i) {
        QCOMPARE(race.form.riderLane(i), qint16(101));
        QCOMPARE(race.form.riderPose(i), i);
        QCOMPARE(race.pixmapKey(race.rider(i)), race.templateKey(i));
    }
    race.ticks(15); // -354: the left end turns them back to the right, lanes of 61..120
    QCOMPARE(race.form.riderAngle(0), qint16(-354));
    for (int i = 0; i < 6; ++i) {
        QCOMPARE(race.form.riderLane(i), qint16(91));
        QCOMPARE(race.form.riderPose(i), i + 6);
        QCOMPARE(race.pixmapKey(race.rider(i)), race.templateKey(i + 6));
    }
}

void MainFormRaceTest::standingsBySortedAngles() {
    Race race;
    race.startWithFirstStep(11); // rider 1 one degree behind the others all race
    race.ticks(6);
    QCOMPARE(race.form.riderAngle(0), qint16(-161));
    QVERIFY(race.standings().isEmpty());
    race.ticks(1); // -173: the first refresh window
    QCOMPARE(race.standings(), QStringLiteral("234561"));
}

void MainFormRaceTest::sameTickFinishersAndGoal() {
    Race race;
    race.startWithFirstStep(11);
    race.ticks(180);
    QVERIFY(race.form.finishOrder().isEmpty());
    QVERIFY(race.form.timer().isActive());
    race.ticks(1);
    // All six pass the line in this tick: the finish order follows the index, the banner the standings.
    QCOMPARE(race.form.finishOrder(), QStringLiteral("123456"));
    QCOMPARE(race.standings(), QStringLiteral("234561"));
    QCOMPARE(race.banner(), QStringLiteral("Goal ! 2-3"));
    QVERIFY(!race.form.timer().isActive());
    for (int i = 0; i < 6; ++i)
        QVERIFY(race.form.riderFinished(i));
    QCOMPARE(race.lapLabel(), QStringLiteral("6"));
}

void MainFormRaceTest::finishedRiderStepsTenWithoutDrawing() {
    Race race;
    race.startWithFirstStep(19);
    race.ticks(180);
    QCOMPARE(race.form.riderAngle(0), qint16(-2257));
    QCOMPARE(race.form.riderAngle(1), qint16(-2250));
    QCOMPARE(race.form.finishOrder(), QStringLiteral("1"));
    QVERIFY(race.form.timer().isActive());
    QVERIFY(race.banner().isEmpty());
    const int before = race.t.random.used();
    race.ticks(1);
    // Rider 1 draws only its height; the five others draw an advance and a height each.
    QCOMPARE(race.t.random.used() - before, 11);
    QCOMPARE(race.form.riderAngle(0), qint16(-2267));
    QCOMPARE(race.form.riderAngle(1), qint16(-2262));
    QCOMPARE(race.form.finishOrder(), QStringLiteral("123456"));
    QCOMPARE(race.banner(), QStringLiteral("Goal ! 1-2"));
    QVERIFY(!race.form.timer().isActive());
}

void MainFormRaceTest::startAgainRestarts() {
    Race race;
    race.startWithFirstStep(11);
    race.ticks(140); // past "Last 2 !": 100 ms ticks
    QCOMPARE(race.form.timer().interval(), 100);
    race.start();
    QCOMPARE(race.form.timer().interval(), 200);
    QCOMPARE(race.form.lapState(), qint16(0));
    race.ticks(200);
    QVERIFY(!race.form.timer().isActive());
    QVERIFY(race.banner().startsWith(QStringLiteral("Goal ! ")));

    race.start();
    QVERIFY(race.form.timer().isActive());
    QCOMPARE(race.form.timer().interval(), 200);
    QVERIFY(race.form.finishOrder().isEmpty());
    QVERIFY(race.standings().isEmpty());
    QCOMPARE(race.form.lapState(), qint16(0));
    for (int i = 0; i < 6; ++i) {
        QCOMPARE(race.form.riderAngle(i), qint16(-90));
        QVERIFY(!race.form.riderFinished(i));
        QCOMPARE(race.rider(i)->geometry(), QRect(176, 192 + 16 * i, 32, 32));
        QCOMPARE(race.pixmapKey(race.rider(i)), race.templateKey(i + 6));
    }
    race.ticks(1);
    QCOMPARE(race.banner(), QStringLiteral("Start !"));
    QCOMPARE(race.lapLabel(), QStringLiteral("1"));
}

void MainFormRaceTest::timerRunsTheRace() {
    Race race;
    race.t.random.setDefault(0.99);
    race.form.show();
    race.start();
    QTRY_VERIFY_WITH_TIMEOUT(race.form.riderAngle(0) <= -109 * 2 + 90, 3000);
    QCOMPARE(race.lapLabel(), QStringLiteral("1"));
}

void MainFormRaceTest::screenshots() {
    Race race;
    pushSpreadNumbers(race.t.random, 6000);
    race.form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&race.form));
    race.start();
    race.ticks(75);
    QVERIFY(race.form.timer().isActive());
    testsupport::saveScreenshot(&race.form, QStringLiteral("MainForm-race"));
    int guard = 0;
    while (race.form.timer().isActive() && guard++ < 400)
        race.ticks(1);
    QVERIFY(race.banner().startsWith(QStringLiteral("Goal ! ")));
    testsupport::saveScreenshot(&race.form, QStringLiteral("MainForm-goal"));
}

void MainFormRaceTest::picturesFollowTheMenu_data() {
    QTest::addColumn<bool>("shown");
    QTest::newRow("shown: after the first paint") << true;
    QTest::newRow("never shown: when the race starts") << false;
}

void MainFormRaceTest::picturesFollowTheMenu() {
    QFETCH(bool, shown);
    Race race;
    QLabel* track = race.label(QStringLiteral("PictureRace"));
    QVERIFY(track->pixmap().isNull());
    for (int i = 0; i < 12; ++i)
        QVERIFY(testsupport::label(&race.form, u"ImageSenshu", i)->pixmap().isNull());

    if (shown) {
        FirstPaintWatch watch(track);
        race.form.installEventFilter(&watch);
        race.form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&race.form));
        QTRY_VERIFY(!track->pixmap().isNull());
        QVERIFY(watch.painted);
        QVERIFY2(!watch.trackAtFirstPaint, "the first paint waited for the pictures");
        race.form.removeEventFilter(&watch);
    } else {
        race.start();
    }
    QCOMPARE(track->pixmap().size(), QSize(417, 363));
    QSet<qint64> templates;
    for (int i = 0; i < 12; ++i) {
        const QPixmap picture = testsupport::label(&race.form, u"ImageSenshu", i)->pixmap();
        QCOMPARE(picture.size(), QSize(32, 32));
        templates.insert(picture.cacheKey());
    }
    QCOMPARE(templates.size(), 12);
    // The riders stand at the line facing their first pose.
    for (int i = 0; i < 6; ++i)
        QCOMPARE(race.pixmapKey(race.rider(i)), race.templateKey(i + 6));
}

QTEST_MAIN(MainFormRaceTest)
#include "MainFormRaceTest.moc"
