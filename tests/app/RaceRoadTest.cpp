#include "app/AppNavigator.h"
#include "app/WindowRegistry.h"
#include "biorhythm/Bior2Form.h"
#include "biorhythm/BiorForm.h"
#include "mainmenu/MainForm.h"
#include "race/DispForm.h"
#include "race/RacerSearch.h"
#include "race/SelectForm.h"
#include "store/Database.h"
#include "store/Recordset.h"
#include "support/Controls.h"
#include "support/TestSupport.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QTest>

// The whole road of a race through the program's own window table: main menu, selection, race
// table, nine charts, detail chart, back to the main menu, and the exit with compaction.
class RaceRoadTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { testsupport::initGui(); }
    void everyCommandOfTheMainMenuHasItsWindow();
    void raceRoad();
};

namespace {

void processDeletes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

using testsupport::child;

struct Program {
    TestContext t;
    testsupport::ProgramDir dir = testsupport::copyOfProgramDir();
    int quitCount = 0;
    AppNavigator navigator{[this] { ++quitCount; }};
    AppContext ctx{t.state, t.dialogs, t.clock, t.random, t.help, navigator, t.printer};
    RacerSearchChoices choices;

    Program() {
        t.state.appPath = dir.path;
        registerWindows(navigator, ctx, choices);
        navigator.open(WindowId::MainForm);
    }
};

} // namespace

void RaceRoadTest::everyCommandOfTheMainMenuHasItsWindow() {
    Program p;
    auto* menu = qobject_cast<MainForm*>(p.navigator.window(WindowId::MainForm));
    QVERIFY(menu);
    // Every work window of the main menu is built.
    for (const auto& [name, enabled] :
         {std::pair{"CommandSelect(0)", true}, std::pair{"CommandSelect(1)", true},
          std::pair{"CommandSelect(2)", true}, std::pair{"CommandSelect(3)", true},
          std::pair{"CommandSelect(4)", true}}) {
        auto* button = child(menu, name);
        QVERIFY2(button, name);
        QCOMPARE(button->isEnabled(), enabled);
    }
}

void RaceRoadTest::raceRoad() {
    Program p;
    auto* menu = qobject_cast<MainForm*>(p.navigator.window(WindowId::MainForm));
    menu->CommandSelect_Click(0);
    processDeletes();
    QVERIFY(!p.navigator.window(WindowId::MainForm));
    auto* select = qobject_cast<SelectForm*>(p.navigator.window(WindowId::SelectForm));
    QVERIFY(select && select->isVisible());
    QVERIFY2(p.t.dialogs.shown().isEmpty(), qPrintable(p.t.dialogs.lastText()));

    // A velodrome, a race number, then three racers of one term.
    auto* venue = child<QComboBox>(select, u"ComboBasho");
    venue->setCurrentIndex(venue->findText(QStringLiteral("青森")));
    select->ComboBasho_Change();
    auto* race = child<QComboBox>(select, u"ComboRace");
    race->setCurrentIndex(race->findText(QStringLiteral("5")));
    select->ComboRace_Change();
    auto* term = child<QComboBox>(select, u"ComboKi");
    term->setCurrentIndex(term->count() / 2);
    select->ComboKi_Click();
    auto* found = child<QListWidget>(select, u"List1");
    QVERIFY(found->count() >= 3);
    for (int line = 0; line < 3; ++line)
        select->List1_Click(line);
    QCOMPARE(child<QListWidget>(select, u"List2")->count(), 3);
    QCOMPARE(p.t.state.surveyVenue, QStringLiteral("青森"));
    QCOMPARE(p.t.state.surveyRaceNo, qint16(5));

    select->CommandDisp_Click(1);
    auto* table = qobject_cast<DispForm*>(p.navigator.window(WindowId::DispForm));
    QVERIFY(table && table->isVisible());
    QCOMPARE(child<QLabel>(table, u"LabelDisp", 1)->text(), QStringLiteral("青森競輪  第5レース"));
    QCOMPARE(child<QLabel>(table, u"LabelNamae", 2)->text(), p.t.state.selectedPersons[2].name);
    QVERIFY(child<QLabel>(table, u"LabelNamae", 3)->text().isEmpty());

    table->Menu_Disp_Click();
    auto* charts = qobject_cast<BiorForm*>(p.navigator.window(WindowId::BiorForm));
    QVERIFY(charts && charts->isVisible());
    charts->PictureBior_Click(1);
    QCOMPARE(p.t.state.chartSlot, qint16(1));
    QWidget* detail = p.navigator.window(WindowId::Bior2Form);
    QVERIFY(detail && detail->isVisible());
    QCOMPARE(child<QLabel>(detail, u"LabelNamae")->text().trimmed(),
             p.t.state.selectedPersons[1].name.trimmed());

    // A day stepped in the detail chart: the race table and the nine charts show the new date at once,
    // as a window opened afresh on that date does, and the selection's date boxes show it too.
    QCOMPARE(p.t.state.surveyDate, (SurveyDate{1999, 12, 8}));
    qobject_cast<Bior2Form*>(detail)->CommandChoYMD_Click(2);
    QCOMPARE(p.t.state.surveyDate, (SurveyDate{1999, 12, 9}));
    DispForm fresh(p.ctx);
    for (const QString& name : {QStringLiteral("LabelDisp(0)"), QStringLiteral("LabelBody(0)"),
                                QStringLiteral("LabelHeart(1)"), QStringLiteral("LabelIntel(2)")})
        QCOMPARE(child<QLabel>(table, name)->text(), child<QLabel>(&fresh, name)->text());
    QCOMPARE(child<QLabel>(table, QStringLiteral("LabelDisp(0)"))->text(),
             QStringLiteral("調査日： 1999. 12. 9"));
    testsupport::saveScreenshot(table, QStringLiteral("DispForm-after-step"));
    BiorForm freshCharts(p.ctx);
    for (int k = 0; k < 3; ++k) {
        QCOMPARE(charts->chartAt(k)->glyphs().size(), 13 * 3);
        QCOMPARE(charts->chartAt(k)->glyphs(), freshCharts.chartAt(k)->glyphs());
    }
    QCOMPARE(child<QComboBox>(select, QStringLiteral("ComboHi"))->currentText(), QStringLiteral("9"));

    // Closing the selection takes everything above it along and brings back the main menu.
    QPointer<QWidget> tableWindow = table;
    QPointer<QWidget> detailWindow = detail;
    select->CommandDisp_Click(0);
    processDeletes();
    QVERIFY(tableWindow.isNull());
    QVERIFY(detailWindow.isNull());
    QVERIFY(p.t.state.selectedPersons[0].affiliation.isEmpty());
    menu = qobject_cast<MainForm*>(p.navigator.window(WindowId::MainForm));
    QVERIFY(menu && menu->isVisible());

    // The exit compacts the database in place (no window holds it any more) and ends the program.
    p.t.dialogs.answerYes();
    QCOMPARE(menu->exitProgram(), MainForm::ExitOutcome::Compacted);
    QVERIFY(!QFile::exists(p.dir.path + QStringLiteral("korvnew.mdb")));
    Database db(p.dir.database());
    QCOMPARE(db.openRecordset(QStringLiteral("T_競輪場"))->recordCount(), 43);
    QCOMPARE(p.quitCount, 1);
}

QTEST_MAIN(RaceRoadTest)
#include "RaceRoadTest.moc"
