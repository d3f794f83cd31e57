#include "biorhythm/BiorForm.h"
#include "core/Errors.h"
#include "shell/ErrorTrap.h"
#include "support/Controls.h"
#include "support/Racers.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QDate>
#include <QImage>
#include <QLabel>
#include <QTest>

namespace {

using testsupport::action;
using testsupport::child;
using testsupport::label;

// The glyphs' left edges in pixels, first column to last.
const int glyphLefts[13] = {8, 21, 35, 48, 61, 75, 88, 101, 115, 128, 141, 155, 168};

// Glyph tops for the survey date 3 March 2000 (columns 26 February to 9 March) per racer, one list per
// cycle of 23, 28 and 33 days; worked out once, outside the program, from the cycles and the calendar.
const int glyphTops[9][3][13] = {
    // 北村 一郎, born 1965-04-10
    {{77, 65, 51, 38, 25, 15, 7, 2, 1, 4, 10, 20, 31},
     {51, 40, 30, 20, 12, 6, 3, 1, 3, 6, 12, 20, 30},
     {33, 24, 17, 11, 6, 3, 1, 2, 4, 8, 14, 20, 28}},
    // 南野 二郎, born 1970-01-31
    {{58, 71, 83, 92, 98, 101, 100, 96, 88, 77, 65, 51, 38},
     {1, 3, 6, 12, 20, 30, 40, 51, 62, 73, 83, 90, 96},
     {97, 92, 86, 78, 70, 61, 51, 42, 33, 24, 17, 11, 6}},
    // 東山 三郎, born 1972-02-29
    {{58, 71, 83, 92, 98, 101, 100, 96, 88, 77, 65, 51, 38},
     {12, 6, 3, 1, 3, 6, 12, 20, 30, 40, 51, 62, 73},
     {97, 92, 86, 78, 70, 61, 51, 42, 33, 24, 17, 11, 6}},
    // 西田 四郎, born 1968-12-08
    {{101, 100, 96, 88, 77, 65, 51, 38, 25, 15, 7, 2, 1},
     {3, 1, 3, 6, 12, 20, 30, 40, 51, 62, 73, 83, 90},
     {56, 65, 74, 82, 89, 95, 99, 101, 101, 100, 97, 92, 86}},
    // 中川 五郎, born 1975-06-15
    {{1, 4, 10, 20, 31, 45, 58, 71, 83, 92, 98, 101, 100},
     {3, 1, 3, 6, 12, 20, 30, 40, 51, 62, 73, 83, 90},
     {20, 28, 37, 47, 56, 65, 74, 82, 89, 95, 99, 101, 101}},
    // 上野 六郎, born 1980-09-01
    {{31, 45, 58, 71, 83, 92, 98, 101, 100, 96, 88, 77, 65},
     {6, 3, 1, 3, 6, 12, 20, 30, 40, 51, 62, 73, 83},
     {95, 99, 101, 101, 100, 97, 92, 86, 78, 70, 61, 51, 42}},
    // 下田 七郎, born 1962-03-03
    {{2, 1, 4, 10, 20, 31, 45, 58, 71, 83, 92, 98, 101},
     {51, 62, 73, 83, 90, 96, 100, 101, 100, 96, 90, 83, 73},
     {28, 37, 47, 56, 65, 74, 82, 89, 95, 99, 101, 101, 100}},
    // 前原 八郎, born 1978-11-30
    {{4, 10, 20, 31, 45, 58, 71, 83, 92, 98, 101, 100, 96},
     {30, 20, 12, 6, 3, 1, 3, 6, 12, 20, 30, 40, 51},
     {24, 17, 11, 6, 3, 1, 2, 4, 8, 14, 20, 28, 37}},
    // 後藤 九郎, born 1985-07-07
    {{45, 58, 71, 83, 92, 98, 101, 100, 96, 88, 77, 65, 51},
     {62, 51, 40, 30, 20, 12, 6, 3, 1, 3, 6, 12, 20},
     {42, 33, 24, 17, 11, 6, 3, 1, 2, 4, 8, 14, 20}},
};

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
    t.state.surveyDate = SurveyDate{1999, 12, 8};
    testsupport::fillRace(t.state, 9);
    BiorForm form(t.context);
    QCOMPARE(form.windowTitle(), QStringLiteral("バイオリズム一覧"));
    QCOMPARE(form.centralWidget()->size(), QSize(632, 434));
    for (int k = 0; k < 9; ++k) {
        const int row = k / 3;
        const int column = k % 3;
        auto* chart = child(&form, u"PictureBior", k);
        QVERIFY(chart);
        QCOMPARE(chart->geometry(), QRect(12 + 200 * column, 24 + 136 * row, 187, 113));
        auto* name = label(&form, u"LabelNamae", k);
        QCOMPARE(name->geometry(), QRect(12 + 200 * column, 5 + 136 * row, 75, 17));
    }
    QCOMPARE(child(&form, u"PictureHaikei")->geometry(), QRect(8, 0, 617, 425));
    const QStringList legend = {QStringLiteral("身体"), QStringLiteral("感情"), QStringLiteral("知性")};
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(child(&form, u"PictureBikou", i)->geometry(), QRect(490 + 40 * i, 5, 40, 18));
        QCOMPARE(label(&form, u"LabelBikou", i)->text(), legend[i]);
    }
    QCOMPARE(action(&form, u"Menu_Close")->text(), QStringLiteral("終了(&X)"));
    const QStringList entries = {
        QStringLiteral("上左(&Q)"), QStringLiteral("上中(&W)"), QStringLiteral("上右(&E)"), QString(),
        QStringLiteral("中左(&A)"), QStringLiteral("中中(&S)"), QStringLiteral("中右(&D)"), QString(),
        QStringLiteral("下左(&Z)"), QStringLiteral("下中(&X)"), QStringLiteral("下右(&C)")};
    for (int i = 0; i < entries.size(); ++i) {
        QAction* entry = child<QAction>(&form, u"Menu_disp", i);
        QVERIFY(entry);
        QCOMPARE(entry->isSeparator(), entries[i].isEmpty());
        QCOMPARE(entry->text(), entries[i]);
    }
}

void BiorFormTest::filledAndEmptySlots() {
    TestContext t;
    t.state.surveyDate = SurveyDate{1999, 12, 8};
    testsupport::fillRace(t.state, 5);
    BiorForm form(t.context);
    for (int k = 0; k < 9; ++k) {
        QCOMPARE(form.chartAt(k)->glyphs().size(), k < 5 ? 39 : 0);
        QVERIFY(form.chartAt(k)->axesDrawn());
        QCOMPARE(label(&form, u"LabelNamae", k)->text(), t.state.selectedPersons[k].name);
    }
    QVERIFY(t.dialogs.shown().isEmpty());
}

void BiorFormTest::glyphsFollowTheCalendar() {
    TestContext t;
    // A survey day of 3 makes the first columns fall in the previous month.
    t.state.surveyDate = SurveyDate{2000, 3, 3};
    testsupport::fillRace(t.state, 9);
    BiorForm form(t.context);
    const int cycles[] = {23, 28, 33};
    for (int k = 0; k < 9; ++k) {
        const QList<chart::Glyph>& glyphs = form.chartAt(k)->glyphs();
        QCOMPARE(glyphs.size(), 39);
        for (int column = 0; column < 13; ++column) {
            for (int c = 0; c < 3; ++c) {
                const chart::Glyph& glyph = glyphs.at(column * 3 + c);
                QCOMPARE(glyph.cycle, cycles[c]);
                QCOMPARE(glyph.topLeft, QPoint(glyphLefts[column], glyphTops[k][c][column]));
            }
        }
    }
}

void BiorFormTest::paintedChart() {
    TestContext t;
    t.state.surveyDate = SurveyDate{1999, 12, 8};
    testsupport::fillRace(t.state, 1);
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
    t.state.surveyDate = SurveyDate{1999, 12, 8};
    testsupport::fillRace(t.state, 9);
    t.state.chartSlot = -1;
    BiorForm form(t.context);
    child<QAction>(&form, u"Menu_disp", entry)->trigger();
    QCOMPARE(t.state.chartSlot, qint16(slot));
    QCOMPARE(t.navigator.opened().size(), slot < 0 ? 0 : 1);
    if (slot >= 0)
        QCOMPARE(t.navigator.opened().first(), WindowId::Bior2Form);
}

void BiorFormTest::clickingAChartOpensItsSlot() {
    TestContext t;
    t.state.surveyDate = SurveyDate{1999, 12, 8};
    testsupport::fillRace(t.state, 9);
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
    t.state.surveyDate = SurveyDate{1999, 12, 8};
    testsupport::fillRace(t.state, 3);
    BiorForm form(t.context);
    form.show();
    action(&form, u"Menu_Close")->trigger();
    QVERIFY(!form.isVisible());
    QCOMPARE(t.navigator.closedWindows(), QList<WindowId>{WindowId::BiorForm});
}

void BiorFormTest::overflowStopsTheDrawing() {
    TestContext t;
    // Day 32767 + 1 leaves the 16-bit range at the eighth column of the first chart.
    t.state.surveyDate = SurveyDate{1999, 1, 32767};
    testsupport::fillRace(t.state, 2);
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
    t.state.surveyDate = SurveyDate{1999, 12, 8};
    testsupport::fillRace(t.state, 9);
    BiorForm form(t.context);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    testsupport::saveScreenshot(&form, QStringLiteral("BiorForm"));
    QVERIFY(!form.grab().isNull());
}

QTEST_MAIN(BiorFormTest)
#include "BiorFormTest.moc"
