#include "biorhythm/BiorForm.h"
#include "core/Errors.h"
#include "shell/ErrorTrap.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QDate>
#include <QImage>
#include <QLabel>
#include <QTest>
#include <cmath>

namespace {

struct Racer {
    const char* name;
    QDate birth;
};

// Fictional racers with birth dates spread over the cycles.
const Racer nineRacers[] = {
    {"北村 一郎", QDate(1965, 4, 10)}, {"南野 二郎", QDate(1970, 1, 31)},  {"東山 三郎", QDate(1972, 2, 29)},
    {"西田 四郎", QDate(1968, 12, 8)}, {"中川 五郎", QDate(1975, 6, 15)},  {"上野 六郎", QDate(1980, 9, 1)},
    {"下田 七郎", QDate(1962, 3, 3)},  {"前原 八郎", QDate(1978, 11, 30)}, {"後藤 九郎", QDate(1985, 7, 7)},
};

void fillRace(AppState& state, int count, SurveyDate survey) {
    state.surveyDate = survey;
    for (int k = 0; k < count; ++k) {
        PersonSlot& p = state.selectedPersons[k];
        p.affiliation = QStringLiteral("青森    ");
        p.racerId = static_cast<qint16>(1000 + k);
        p.name = QString::fromUtf8(nineRacers[k].name).leftJustified(22);
        p.birthYear = static_cast<qint16>(nineRacers[k].birth.year());
        p.birthMonth = static_cast<qint16>(nineRacers[k].birth.month());
        p.birthDay = static_cast<qint16>(nineRacers[k].birth.day());
    }
}

// Glyph top from the calendar day count, worked out without the chart code.
int expectedTop(qint64 days, int cycle) {
    const qint64 phase = ((days % cycle) + cycle) % cycle;
    const double sine = std::sin(phase * 360.0 / cycle * 3.141593 / 180.0);
    return static_cast<int>(std::nearbyint(std::nearbyint((1 - sine) * 750 + 20) / 15));
}

QAction* action(QWidget* window, const QString& name) {
    return window->findChild<QAction*>(name);
}

bool hasColorNear(const QImage& image, QPoint at, QColor color) {
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            if (image.pixelColor(at + QPoint(dx, dy)) == color)
                return true;
        }
    }
    return false;
}

} // namespace

class BiorFormTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { testsupport::initGui(); }
    void layoutAndCaptions();
    void filledAndEmptySlots();
    void glyphsFollowTheCalendar();
    void paintedChart();
    void menuEntriesOpenTheirSlot_data();
    void menuEntriesOpenTheirSlot();
    void clickingAChartOpensItsSlot();
    void closeReturnsToRaceTable();
    void overflowStopsTheDrawing();
    void screenshot();
};

void BiorFormTest::layoutAndCaptions() {
    TestContext t;
    fillRace(t.state, 9, SurveyDate{1999, 12, 8});
    BiorForm form(t.context);
    QCOMPARE(form.windowTitle(), QStringLiteral("バイオリズム一覧"));
    QCOMPARE(form.centralWidget()->size(), QSize(632, 434));
    for (int k = 0; k < 9; ++k) {
        const int row = k / 3;
        const int column = k % 3;
        auto* chart = form.findChild<QWidget*>(QStringLiteral("PictureBior(%1)").arg(k));
        QVERIFY(chart);
        QCOMPARE(chart->geometry(), QRect(12 + 200 * column, 24 + 136 * row, 187, 113));
        auto* name = form.findChild<QLabel*>(QStringLiteral("LabelNamae(%1)").arg(k));
        QCOMPARE(name->geometry(), QRect(12 + 200 * column, 5 + 136 * row, 75, 17));
    }
    QCOMPARE(form.findChild<QWidget*>(QStringLiteral("PictureHaikei"))->geometry(), QRect(8, 0, 617, 425));
    const QStringList legend = {QStringLiteral("身体"), QStringLiteral("感情"), QStringLiteral("知性")};
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(form.findChild<QWidget*>(QStringLiteral("PictureBikou(%1)").arg(i))->geometry(),
                 QRect(490 + 40 * i, 5, 40, 18));
        QCOMPARE(form.findChild<QLabel*>(QStringLiteral("LabelBikou(%1)").arg(i))->text(), legend[i]);
    }
    QCOMPARE(action(&form, QStringLiteral("Menu_Close"))->text(), QStringLiteral("終了(&X)"));
    const QStringList entries = {
        QStringLiteral("上左(&Q)"), QStringLiteral("上中(&W)"), QStringLiteral("上右(&E)"), QString(),
        QStringLiteral("中左(&A)"), QStringLiteral("中中(&S)"), QStringLiteral("中右(&D)"), QString(),
        QStringLiteral("下左(&Z)"), QStringLiteral("下中(&X)"), QStringLiteral("下右(&C)")};
    for (int i = 0; i < entries.size(); ++i) {
        QAction* entry = action(&form, QStringLiteral("Menu_disp(%1)").arg(i));
        QVERIFY(entry);
        QCOMPARE(entry->isSeparator(), entries[i].isEmpty());
        QCOMPARE(entry->text(), entries[i]);
    }
}

void BiorFormTest::filledAndEmptySlots() {
    TestContext t;
    fillRace(t.state, 5, SurveyDate{1999, 12, 8});
    BiorForm form(t.context);
    for (int k = 0; k < 9; ++k) {
        QCOMPARE(form.chartAt(k)->glyphs().size(), k < 5 ? 39 : 0);
        QVERIFY(form.chartAt(k)->axesDrawn());
        QCOMPARE(form.findChild<QLabel*>(QStringLiteral("LabelNamae(%1)").arg(k))->text(),
                 t.state.selectedPersons[k].name);
    }
    QVERIFY(t.dialogs.shown().isEmpty());
}

void BiorFormTest::glyphsFollowTheCalendar() {
    TestContext t;
    // A survey day of 3 makes the first columns fall in the previous month.
    const QDate survey(2000, 3, 3);
    fillRace(t.state, 9, SurveyDate{2000, 3, 3});
    BiorForm form(t.context);
    for (int k = 0; k < 9; ++k) {
        const QList<chart::Glyph>& glyphs = form.chartAt(k)->glyphs();
        QCOMPARE(glyphs.size(), 39);
        for (int column = 0; column < 13; ++column) {
            const qint64 days = nineRacers[k].birth.daysTo(survey.addDays(column - 6));
            const int x = static_cast<int>(std::nearbyint(((column + 1) * 200 - 80) / 15.0));
            const int cycles[] = {23, 28, 33};
            for (int c = 0; c < 3; ++c) {
                const chart::Glyph& glyph = glyphs.at(column * 3 + c);
                QCOMPARE(glyph.cycle, cycles[c]);
                QCOMPARE(glyph.topLeft, QPoint(x, expectedTop(days, cycles[c])));
            }
        }
    }
}

void BiorFormTest::paintedChart() {
    TestContext t;
    fillRace(t.state, 1, SurveyDate{1999, 12, 8});
    BiorForm form(t.context);
    const QImage filled = form.chartAt(0)->grab().toImage();
    // Each cube's face is cyan, each figure's body blue, where the glyph list says they are.
    for (const chart::Glyph& glyph : form.chartAt(0)->glyphs()) {
        if (glyph.cycle == 33)
            QVERIFY(hasColorNear(filled, glyph.topLeft + QPoint(4, 7), QColor(0, 128, 128)));
    }
    const QImage empty = form.chartAt(8)->grab().toImage();
    QVERIFY(hasColorNear(empty, QPoint(93, 20), Qt::black)); // survey-date line
    QVERIFY(hasColorNear(empty, QPoint(40, 57), Qt::black)); // zero line
    QCOMPARE(empty.pixelColor(40, 20), QColor(Qt::white));
    QCOMPARE(empty.pixelColor(150, 90), QColor(Qt::white));
}

void BiorFormTest::menuEntriesOpenTheirSlot_data() {
    QTest::addColumn<int>("entry");
    QTest::addColumn<int>("slot");
    QTest::newRow("上左") << 0 << 0;
    QTest::newRow("上右") << 2 << 2;
    QTest::newRow("separator") << 3 << -1;
    QTest::newRow("中左") << 4 << 3;
    QTest::newRow("中右") << 6 << 5;
    QTest::newRow("second separator") << 7 << -1;
    QTest::newRow("下左") << 8 << 6;
    QTest::newRow("下中") << 9 << 7;
    QTest::newRow("下右") << 10 << 8;
}

void BiorFormTest::menuEntriesOpenTheirSlot() {
    QFETCH(int, entry);
    QFETCH(int, slot);
    TestContext t;
    fillRace(t.state, 9, SurveyDate{1999, 12, 8});
    t.state.chartSlot = -1;
    BiorForm form(t.context);
    action(&form, QStringLiteral("Menu_disp(%1)").arg(entry))->trigger();
    QCOMPARE(t.state.chartSlot, qint16(slot));
    QCOMPARE(t.navigator.opened().size(), slot < 0 ? 0 : 1);
    if (slot >= 0)
        QCOMPARE(t.navigator.opened().first(), WindowId::Bior2Form);
}

void BiorFormTest::clickingAChartOpensItsSlot() {
    TestContext t;
    fillRace(t.state, 9, SurveyDate{1999, 12, 8});
    BiorForm form(t.context);
    form.show();
    for (int k = 8; k >= 0; --k) {
        QTest::mouseClick(form.chartAt(k), Qt::LeftButton, {}, QPoint(50, 50));
        QCOMPARE(t.state.chartSlot, qint16(k));
    }
    QCOMPARE(t.navigator.opened().size(), 9);
    QVERIFY(t.navigator.closedWindows().isEmpty());
}

void BiorFormTest::closeReturnsToRaceTable() {
    TestContext t;
    fillRace(t.state, 3, SurveyDate{1999, 12, 8});
    BiorForm form(t.context);
    form.show();
    action(&form, QStringLiteral("Menu_Close"))->trigger();
    QVERIFY(!form.isVisible());
    QCOMPARE(t.navigator.closedWindows(), QList<WindowId>{WindowId::BiorForm});
}

void BiorFormTest::overflowStopsTheDrawing() {
    TestContext t;
    // Day 32767 + 1 leaves the 16-bit range at the eighth column of the first chart.
    fillRace(t.state, 2, SurveyDate{1999, 1, 32767});
    BiorForm form(t.context);
    QCOMPARE(t.dialogs.shown().size(), 1);
    QCOMPARE(t.dialogs.shown().first().title, QStringLiteral("エラー"));
    QVERIFY(t.dialogs.lastText().startsWith(QStringLiteral("エラー番号  6")));
    QCOMPARE(form.chartAt(0)->glyphs().size(), 7 * 3);
    QVERIFY(!form.chartAt(0)->axesDrawn());
    for (int k = 1; k < 9; ++k) {
        QVERIFY(form.chartAt(k)->glyphs().isEmpty());
        QVERIFY(!form.chartAt(k)->axesDrawn());
    }
}

void BiorFormTest::screenshot() {
    TestContext t;
    fillRace(t.state, 9, SurveyDate{1999, 12, 8});
    BiorForm form(t.context);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    testsupport::saveScreenshot(&form, QStringLiteral("BiorForm"));
    QVERIFY(!form.grab().isNull());
}

QTEST_MAIN(BiorFormTest)
#include "BiorFormTest.moc"
