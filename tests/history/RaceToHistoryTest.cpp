#include "core/AppState.h"
#include "core/Conversions.h"
#include "history/RirekiForm.h"
#include "race/DispForm.h"
#include "store/Database.h"
#include "store/Recordset.h"
#include "support/Controls.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QTest>

// A race registered from the race table shows in the history window with the same evaluations,
// the same colours and the same racers, for survey dates on either side of the racers' births.
class RaceToHistoryTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { testsupport::initGui(); }
    void sameEvaluationsInBothWindows_data();
    void sameEvaluationsInBothWindows();
};

namespace {

using testsupport::action;
using testsupport::label;

// Fills the race slots from racers of the database, as the selection window does.
int fillSlots(AppState& state, int count, int offset) {
    Database db(state.databasePath());
    auto racers = db.openRecordset(QStringLiteral("Q_選手"));
    for (int i = 0; i < offset; ++i)
        racers->moveNext();
    int filled = 0;
    while (filled < count && !racers->eof()) {
        if (!racers->field(QStringLiteral("期")).isNull()) {
            PersonSlot& slot = state.selectedPersons[std::size_t(filled)];
            slot.affiliation = conv::padCut(racers->field(QStringLiteral("所属名")).toString(), 6);
            slot.racerId = qint16(racers->field(QStringLiteral("選手ID")).toInt());
            slot.name = conv::padCut(racers->field(QStringLiteral("名前")).toString(), 22);
            slot.term = qint16(racers->field(QStringLiteral("期")).toInt());
            slot.birthYear = qint16(racers->field(QStringLiteral("生年")).toInt());
            slot.birthMonth = qint16(racers->field(QStringLiteral("生月")).toInt());
            slot.birthDay = qint16(racers->field(QStringLiteral("生日")).toInt());
            slot.bloodType = racers->field(QStringLiteral("血液型名")).toString();
            ++filled;
        }
        racers->moveNext();
    }
    racers->close();
    return filled;
}

} // namespace

void RaceToHistoryTest::sameEvaluationsInBothWindows_data() {
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("offset");
    QTest::addColumn<QDate>("surveyDate");
    QTest::newRow("nine racers") << 9 << 0 << QDate(1999, 12, 8);
    QTest::newRow("five racers, recent date") << 5 << 300 << QDate(2026, 12, 8);
    QTest::newRow("three racers, date before some births") << 3 << 1200 << QDate(1985, 2, 28);
}

void RaceToHistoryTest::sameEvaluationsInBothWindows() {
    QFETCH(int, count);
    QFETCH(int, offset);
    QFETCH(QDate, surveyDate);
    TestContext t;
    const testsupport::ProgramDir dir = testsupport::copyOfProgramDir();
    t.state.appPath = dir.path;
    t.state.surveyDate =
        SurveyDate{qint16(surveyDate.year()), qint16(surveyDate.month()), qint16(surveyDate.day())};
    t.state.surveyVenue = QStringLiteral("青森");
    t.state.surveyRaceNo = 5;
    QCOMPARE(fillSlots(t.state, count, offset), count);

    DispForm table(t.context);
    t.dialogs.answerYes();
    action(&table, "Menu_Add")->trigger();
    QVERIFY2(t.dialogs.allAnswersUsed(), "the registration question was not asked");

    RirekiForm history(t.context);
    auto* combo = testsupport::child<QComboBox>(&history, u"ComboRireki");
    QVERIFY(combo);
    QCOMPARE(combo->count(), 1);
    QVERIFY(combo->itemText(0).endsWith(QStringLiteral("　青森競輪　第5レース")));
    testsupport::choose(combo, 0);

    for (int i = 0; i < count; ++i) {
        for (const char* name : {"LabelBody", "LabelHeart", "LabelIntel"}) {
            QLabel* shown = label(&table, name, i);
            QLabel* stored = label(&history, name, i);
            QVERIFY(shown && stored);
            QVERIFY(!shown->text().isEmpty());
            QCOMPARE(stored->text(), shown->text());
            QCOMPARE(stored->palette().color(QPalette::Window), shown->palette().color(QPalette::Window));
        }
        QCOMPARE(label(&history, "LabelNamae", i)->text().trimmed(),
                 label(&table, "LabelNamae", i)->text().trimmed());
    }
    t.dialogs.clear();
}

QTEST_MAIN(RaceToHistoryTest)
#include "RaceToHistoryTest.moc"
