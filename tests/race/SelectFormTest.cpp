#include "race/SelectForm.h"
#include "core/Conversions.h"
#include "core/Errors.h"
#include "race/RacerSearch.h"
#include "race/SearchPanel.h"
#include "support/Controls.h"
#include "support/DirectSql.h"
#include "support/TestSupport.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSqlQuery>
#include <QTest>
#include <QToolButton>
#include <QWheelEvent>

namespace {

using testsupport::choose;

// The direct connection, with the search lists as the window should show them.
class Sql : public testsupport::DirectSql {
public:
    using DirectSql::DirectSql;

    // The search-list lines of the racers the query selects, in view order, at most 501. A racer
    // without a term shows an empty term; one with another null a slot cannot hold ends the list
    // there, and faulty tells whether that happened.
    QStringList lines(const QString& where, const QVariantList& binds = {}, bool* faulty = nullptr) const {
        QSqlQuery query =
            run(QStringLiteral("SELECT 所属名, 選手ID, 期, 名前, 生年, 生月, 生日, 血液型名 FROM Q_選手 ") +
                    where + QStringLiteral(" ORDER BY 選手ID LIMIT 501"),
                binds);
        QStringList result;
        if (faulty)
            *faulty = false;
        while (query.next()) {
            for (int c = 0; c < 8; ++c) {
                if (c != 2 && query.value(c).isNull()) {
                    if (faulty)
                        *faulty = true;
                    return result;
                }
            }
            const QString affiliation = query.value(0).toString();
            result << affiliation + QString(affiliation.size() == 2 ? 4 : 1, QLatin1Char(' ')) +
                          query.value(1).toString() + QStringLiteral("  ") + query.value(2).toString() +
                          QStringLiteral("  ") + query.value(3).toString();
        }
        return result;
    }
};

QStringList listTexts(const QListWidget* list) {
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->item(i)->text();
    return texts;
}

void clickLine(QListWidget* list, int row) {
    QListWidgetItem* item = list->item(row);
    QVERIFY(item);
    list->scrollToItem(item);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
}

// Types key by key, full-width characters too, as an input method hands them over.
void typeInto(QComboBox* box, const QString& text) {
    box->lineEdit()->clear();
    for (QChar ch : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(box->lineEdit(), &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(box->lineEdit(), &release);
    }
}

} // namespace

class SelectFormTest : public QObject {
    Q_OBJECT

private:
    // One window on its own copy of the database.
    struct Fixture {
        TestContext tc;
        testsupport::ProgramDir dir = testsupport::copyOfProgramDir();
        RacerSearchChoices choices;
        std::unique_ptr<SelectForm> form;

        explicit Fixture(qint16 extractionMode = 0, QDate today = QDate(1999, 12, 8)) {
            tc.state.appPath = dir.path;
            tc.state.extractionMode = extractionMode;
            tc.clock.set(today);
        }
        SelectForm& open() {
            form = std::make_unique<SelectForm>(tc.context, choices);
            form->show();
            return *form;
        }
        Sql sql() const { return Sql(dir.database()); }
        template <typename T> T* child(const QString& name) const {
            T* c = testsupport::child<T>(form.get(), name);
            if (!c)
                qFatal("no control %s", qPrintable(name));
            return c;
        }
        QListWidget* list1() const { return child<QListWidget>(QStringLiteral("List1")); }
        QListWidget* list2() const { return child<QListWidget>(QStringLiteral("List2")); }
        QComboBox* comboKi() const { return child<QComboBox>(QStringLiteral("ComboKi")); }
        QToolButton* tool(int i) const {
            return child<QToolButton>(QStringLiteral("CommandDisp(%1)").arg(i));
        }
        QAction* action(const QString& name) const { return child<QAction>(name); }
        void click(const QString& name) const {
            QTest::mouseClick(child<QAbstractButton>(name), Qt::LeftButton);
        }
        // The term with the most racers, so that its search lists several lines.
        QString busiestTerm() const {
            return QString::number(sql().count(QStringLiteral(
                "SELECT 期 FROM T_選手 WHERE 期 IS NOT NULL GROUP BY 期 ORDER BY COUNT(*) DESC")));
        }
        void searchBusiestTerm() {
            choose(comboKi(), busiestTerm());
            QVERIFY(list1()->count() >= 10);
        }
    };

private slots:
    void initTestCase();
    void layout_data();
    void layout();
    void menusAndTips();
    void styleSheetsOnlyOverThePickers_data();
    void styleSheetsOnlyOverThePickers();
    void load_data();
    void load();
    void loadWithoutDatabase();
    void dateAndRaceBoxes_data();
    void dateAndRaceBoxes();
    void chosenFromTheList();
    void completionIsWhatTheStateHolds_data();
    void completionIsWhatTheStateHolds();
    void oneChangeOneCheck();
    void onlyAChoiceSearches();
    void listsFitTheirEntries();
    void dateFromAnotherWindow();
    void pickLimit();
    void sameRacerTwice();
    void removeMiddle_data();
    void removeMiddle();
    void clearSelection_data();
    void clearSelection();
    void openRaceTable();
    void searches_data();
    void searches();
    void kanaListsEveryMatch();
    void andSearch();
    void choicesOutliveTheWindow();
    void rowLimit_data();
    void rowLimit();
    void kanaWithoutRacers();
    void tableSwitch_data();
    void tableSwitch();
    void extractionSearches();
    void addToExtraction_data();
    void addToExtraction();
    void addOtherError();
    void helpVersionClose();
    void screenshots();
};

void SelectFormTest::initTestCase() {
    testsupport::initGui();
    QVERIFY2(QFile::exists(testsupport::copyOfProgramDir().database()), "no seed database");
}

void SelectFormTest::layout_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry"); // height 0: follows the font

    QTest::newRow("tool strip") << QStringLiteral("PictureBotton") << QRect(4, 0, 350, 28);
    QTest::newRow("close button") << QStringLiteral("CommandDisp(0)") << QRect(0, 0, 25, 25);
    QTest::newRow("clear button") << QStringLiteral("CommandDisp(2)") << QRect(48, 0, 25, 25);
    QTest::newRow("switch button") << QStringLiteral("CommandDisp(3)") << QRect(72, 0, 75, 25);
    QTest::newRow("add button") << QStringLiteral("CommandDisp(4)") << QRect(146, 0, 25, 25);
    QTest::newRow("version button") << QStringLiteral("CommandDisp(6)") << QRect(194, 0, 25, 25);
    QTest::newRow("add picture") << QStringLiteral("ImageTuika") << QRect(146, 0, 25, 25);
    QTest::newRow("table label") << QStringLiteral("LabelTable") << QRect(219, 0, 131, 25);
    QTest::newRow("frame") << QStringLiteral("PictureWaku") << QRect(4, 29, 350, 400);
    QTest::newRow("race row") << QStringLiteral("PicZentei(1)") << QRect(8, 50, 250, 35);
    QTest::newRow("year") << QStringLiteral("ComboNen") << QRect(64, 8, 49, 0);
    QTest::newRow("day unit") << QStringLiteral("LabelYMD(2)") << QRect(224, 16, 17, 17);
    QTest::newRow("race label") << QStringLiteral("LabelRace(1)") << QRect(152, 8, 57, 10);
    QTest::newRow("velodrome") << QStringLiteral("ComboBasho") << QRect(67, 8, 87, 0);
    QTest::newRow("Hokkaido") << QStringLiteral("Kenmei(1)") << QRect(312, 8, 25, 32);
    QTest::newRow("Mie") << QStringLiteral("Kenmei(20)") << QRect(184, 232, 25, 32);
    QTest::newRow("Okinawa") << QStringLiteral("Kenmei(47)") << QRect(16, 240, 25, 32);
    QTest::newRow("AND box") << QStringLiteral("CheckSelect") << QRect(223, 248, 113, 25);
    QTest::newRow("number box") << QStringLiteral("PicNo(0)") << QRect(16, 278, 125, 30);
    QTest::newRow("term picker") << QStringLiteral("ComboKi") << QRect(50, 2, 55, 0);
    QTest::newRow("list-all") << QStringLiteral("Command500") << QRect(4, 2, 60, 20);
    QTest::newRow("kana a") << QStringLiteral("ComboNamae(0)") << QRect(16, 313, 33, 17);
    QTest::newRow("kana ko") << QStringLiteral("ComboNamae(9)") << QRect(48, 377, 33, 17);
    QTest::newRow("kana n") << QStringLiteral("ComboNamae(49)") << QRect(304, 377, 33, 17);
    QTest::newRow("list heading") << QStringLiteral("LabelHyouji") << QRect(360, 0, 265, 17);
    QTest::newRow("search list") << QStringLiteral("List1") << QRect(360, 16, 265, 280);
    QTest::newRow("selection box") << QStringLiteral("List2") << QRect(360, 316, 265, 112);
}

void SelectFormTest::layout() {
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    Fixture f;
    SelectForm& form = f.open();
    QCOMPARE(form.centralWidget()->size(), QSize(632, 434));
    QCOMPARE(form.windowTitle(), QStringLiteral("選手検索"));
    const QWidget* control = f.child<QWidget>(name);
    if (geometry.height() == 0) {
        QCOMPARE(control->pos(), geometry.topLeft());
        QCOMPARE(control->width(), geometry.width());
    } else {
        QCOMPARE(control->geometry(), geometry);
    }
}

void SelectFormTest::styleSheetsOnlyOverThePickers_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("styled");
    QTest::newRow("prefecture button") << QStringLiteral("Kenmei(1)") << false;
    QTest::newRow("kana button") << QStringLiteral("ComboNamae(0)") << false;
    QTest::newRow("tool button") << QStringLiteral("CommandDisp(0)") << false;
    QTest::newRow("search list") << QStringLiteral("List1") << false;
    QTest::newRow("list caption") << QStringLiteral("LabelHyouji") << false;
    QTest::newRow("year picker") << QStringLiteral("ComboNen") << true;
    QTest::newRow("venue picker") << QStringLiteral("ComboBasho") << true;
    QTest::newRow("number picker") << QStringLiteral("ComboToban") << true;
}

// The slim pickers' style sheet costs memory for every control under it: it stays on the frames that
// hold the pickers, and the window's other controls keep the plain style.
void SelectFormTest::styleSheetsOnlyOverThePickers() {
    QFETCH(QString, name);
    QFETCH(bool, styled);
    Fixture f;
    f.open();
    QCOMPARE(f.child<QWidget>(name)->style() != QApplication::style(), styled);
}

void SelectFormTest::menusAndTips() {
    Fixture f;
    f.open();
    const QStringList entries{QStringLiteral("Menu_Close"),  QStringLiteral("Menu_Disp"),
                              QStringLiteral("Menu_Cancel"), QStringLiteral("Menu_Change"),
                              QStringLiteral("Menu_Select"), QStringLiteral("Menu_Help")};
    const QStringList captions{QStringLiteral("終了(&X)"),          QStringLiteral("ﾊﾞｲｵﾘｽﾞﾑ表示(&H)"),
                               QStringLiteral("選択解除(&C)"),      QStringLiteral("選手ﾃｰﾌﾞﾙ変更(&T)"),
                               QStringLiteral("抽出ﾃｰﾌﾞﾙ追加(&A)"), QStringLiteral("ﾍﾙﾌﾟ(&H)")};
    const QList<QAction*> bar = f.form->menuBar()->actions();
    QCOMPARE(bar.size(), entries.size());
    for (int i = 0; i < bar.size(); ++i) {
        QCOMPARE(bar.at(i)->text(), captions.at(i));
        const QString name = bar.at(i)->menu() ? bar.at(i)->menu()->objectName() : bar.at(i)->objectName();
        QCOMPARE(name, entries.at(i));
    }
    QCOMPARE(f.action(QStringLiteral("Menu_Table(0)"))->text(), QStringLiteral("抽出→通常ﾃｰﾌﾞﾙ(&N)"));
    QCOMPARE(f.action(QStringLiteral("Menu_Table(1)"))->text(), QStringLiteral("通常→抽出ﾃｰﾌﾞﾙ(&O)"));
    QCOMPARE(f.action(QStringLiteral("Menu_HelpCard"))->text(), QStringLiteral("ﾍﾙﾌﾟ(&H)"));
    QCOMPARE(f.action(QStringLiteral("Menu_Help_About"))->text(), QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報(&A)"));
    QCOMPARE(f.tool(1)->toolTip(), QStringLiteral("ﾊﾞｲｵﾘｽﾞﾑを表示します。"));
    QCOMPARE(f.tool(4)->toolTip(),
             QStringLiteral("選択ﾎﾞｯｸｽに表示されている選手ﾃﾞｰﾀを抽出ﾃｰﾌﾞﾙに追加します。"));
    for (int i = 0; i < 7; ++i)
        QVERIFY(!f.tool(i)->icon().isNull());
    QCOMPARE(f.child<QLabel>(QStringLiteral("LabelHyouji"))->text(),
             QStringLiteral("出身　  登番　期　氏名"));
    // The inactive kana buttons cannot search.
    for (int k = 0; k < SearchPanel::KanaCount; ++k) {
        const bool inactive = k == 36 || k == 38 || k >= 46;
        QCOMPARE(f.child<QPushButton>(QStringLiteral("ComboNamae(%1)").arg(k))->isEnabled(), !inactive);
    }
    QCOMPARE(f.child<QPushButton>(QStringLiteral("ComboNamae(27)"))->text(), QStringLiteral("ﾌ"));
    QCOMPARE(f.child<QPushButton>(QStringLiteral("Kenmei(29)"))->text(), QStringLiteral("和歌山"));
}

void SelectFormTest::load_data() {
    QTest::addColumn<QDate>("today");
    QTest::addColumn<int>("year");

    QTest::newRow("8 December 1999") << QDate(1999, 12, 8) << 1999;
    QTest::newRow("1991 is of the 1900s") << QDate(1991, 1, 31) << 1991;
    QTest::newRow("two-digit 90 is of the 2000s") << QDate(1990, 6, 1) << 2090;
    QTest::newRow("29 February 2024") << QDate(2024, 2, 29) << 2024;
}

void SelectFormTest::load() {
    QFETCH(QDate, today);
    QFETCH(int, year);
    Fixture f(0, today);
    f.tc.state.surveyVenue = QStringLiteral("前の競輪場");
    f.tc.state.surveyRaceNo = 7;
    f.tc.state.selectedPersons[3].name = QStringLiteral("残る");
    f.open();

    QStringList years;
    for (int y = year; y < year + 5; ++y)
        years << QString::number(y);
    const auto items = [](const QComboBox* box) {
        QStringList texts;
        for (int i = 0; i < box->count(); ++i)
            texts << box->itemText(i);
        return texts;
    };
    QComboBox* nen = f.child<QComboBox>(QStringLiteral("ComboNen"));
    QCOMPARE(items(nen), years);
    QCOMPARE(nen->currentText(), QString::number(year));
    QCOMPARE(f.child<QComboBox>(QStringLiteral("ComboTuki"))->currentText(), QString::number(today.month()));
    QCOMPARE(f.child<QComboBox>(QStringLiteral("ComboHi"))->currentText(), QString::number(today.day()));
    QCOMPARE(f.child<QComboBox>(QStringLiteral("ComboTuki"))->count(), 12);
    QCOMPARE(f.child<QComboBox>(QStringLiteral("ComboHi"))->count(), 31);
    QCOMPARE(f.tc.state.surveyDate, (SurveyDate{qint16(year), qint16(today.month()), qint16(today.day())}));
    QVERIFY2(f.tc.dialogs.shown().isEmpty(), qPrintable(f.tc.dialogs.texts().join(u'|')));

    // The pickers list the velodromes, terms and numbers in record order, none chosen.
    const Sql sql = f.sql();
    QComboBox* basho = f.child<QComboBox>(QStringLiteral("ComboBasho"));
    QCOMPARE(basho->count(), sql.count(QStringLiteral("SELECT COUNT(*) FROM T_競輪場")));
    QVERIFY(basho->currentText().isEmpty());
    QComboBox* ki = f.comboKi();
    QCOMPARE(ki->count(), sql.count(QStringLiteral("SELECT COUNT(*) FROM Q_期")));
    QCOMPARE(ki->currentIndex(), -1);
    QComboBox* toban = f.child<QComboBox>(QStringLiteral("ComboToban"));
    QCOMPARE(toban->count(), sql.count(QStringLiteral("SELECT COUNT(*) FROM Q_登番")));
    QCOMPARE(toban->itemText(0).toInt(), sql.count(QStringLiteral("SELECT 登番 FROM Q_登番")));
    QCOMPARE(f.child<QComboBox>(QStringLiteral("ComboRace"))->count(), 12);

    // Opening touches neither the venue, the race number nor the slots.
    QCOMPARE(f.tc.state.surveyVenue, QStringLiteral("前の競輪場"));
    QCOMPARE(f.tc.state.surveyRaceNo, qint16(7));
    QCOMPARE(f.tc.state.selectedPersons[3].name, QStringLiteral("残る"));
    QCOMPARE(f.list1()->count(), 0);
    QCOMPARE(f.list2()->count(), 0);
    QVERIFY(!f.action(QStringLiteral("Menu_Select"))->isEnabled());
}

void SelectFormTest::loadWithoutDatabase() {
    Fixture f;
    QVERIFY(QFile::remove(f.dir.database()));
    f.open();
    QCOMPARE(f.tc.dialogs.shown().size(), 1);
    QVERIFY(f.tc.dialogs.lastText().startsWith(QStringLiteral("エラー番号  3024")));
    QCOMPARE(f.tc.dialogs.shown().first().title, QStringLiteral("エラー"));
    QVERIFY(f.form->isVisible());
    QCOMPARE(f.comboKi()->count(), 0);
    QCOMPARE(f.child<QComboBox>(QStringLiteral("ComboBasho"))->count(), 0);
    QVERIFY(!QFile::exists(f.dir.database()));

    // The searches and the add command report the missing database instead of failing.
    f.tc.dialogs.clear();
    f.click(QStringLiteral("Kenmei(12)"));
    f.click(QStringLiteral("ComboNamae(0)"));
    QCOMPARE(f.tc.dialogs.shown().size(), 2);
    QVERIFY(f.tc.dialogs.texts().at(0).startsWith(QStringLiteral("エラー番号 ")));
    QCOMPARE(f.list1()->count(), 0);
}

void SelectFormTest::dateAndRaceBoxes_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<SurveyDate>("date");
    QTest::addColumn<qint16>("raceNo");
    QTest::addColumn<QStringList>("messages");

    // The window opens on 30 December 1999; each key typed writes the shared value at once.
    const QStringList none;
    QTest::newRow("February with day 30")
        << QStringLiteral("ComboTuki") << QStringLiteral("2") << SurveyDate{1999, 2, 30} << qint16(0)
        << QStringList{QStringLiteral("日が正しくありません")};
    QTest::newRow("month 13") << QStringLiteral("ComboTuki") << QStringLiteral("13")
                              << SurveyDate{1999, 13, 30} << qint16(0)
                              << QStringList{QStringLiteral("月が正しくありません")};
    QTest::newRow("full-width day") << QStringLiteral("ComboHi") << QStringLiteral("１５")
                                    << SurveyDate{1999, 12, 15} << qint16(0) << none;
    QTest::newRow("text is day 0") << QStringLiteral("ComboHi") << QStringLiteral("x")
                                   << SurveyDate{1999, 12, 0} << qint16(0) << none;
    QTest::newRow("year beyond 16 bits keeps the last valid")
        << QStringLiteral("ComboNen") << QStringLiteral("99999") << SurveyDate{9999, 12, 30} << qint16(0)
        << none;
    QTest::newRow("day beyond 16 bits keeps the last valid")
        << QStringLiteral("ComboHi") << QStringLiteral("40000") << SurveyDate{1999, 12, 4000} << qint16(0)
        << none;
    QTest::newRow("negative year beyond 16 bits") << QStringLiteral("ComboNen") << QStringLiteral("-40000")
                                                  << SurveyDate{-4000, 12, 30} << qint16(0) << none;
    QTest::newRow("race number") << QStringLiteral("ComboRace") << QStringLiteral("11")
                                 << SurveyDate{1999, 12, 30} << qint16(11) << none;
    QTest::newRow("race number halves to even") << QStringLiteral("ComboRace") << QStringLiteral("2.5")
                                                << SurveyDate{1999, 12, 30} << qint16(2) << none;
    QTest::newRow("race number beyond 16 bits") << QStringLiteral("ComboRace") << QStringLiteral("32768")
                                                << SurveyDate{1999, 12, 30} << qint16(3276) << none;
}

void SelectFormTest::dateAndRaceBoxes() {
    QFETCH(QString, box);
    QFETCH(QString, typed);
    QFETCH(SurveyDate, date);
    QFETCH(qint16, raceNo);
    QFETCH(QStringList, messages);
    Fixture f(0, QDate(1999, 12, 30));
    f.open();
    typeInto(f.child<QComboBox>(box), typed);
    QCOMPARE(f.tc.state.surveyDate, date);
    QCOMPARE(f.tc.state.surveyRaceNo, raceNo);
    QCOMPARE(f.tc.dialogs.texts(), messages);
}

void SelectFormTest::chosenFromTheList() {
    Fixture f(0, QDate(2001, 3, 31));
    f.open();
    // April has no 31st: choosing it from the list warns and keeps it.
    choose(f.child<QComboBox>(QStringLiteral("ComboTuki")), QStringLiteral("4"));
    QCOMPARE(f.tc.state.surveyDate, (SurveyDate{2001, 4, 31}));
    QCOMPARE(f.tc.dialogs.texts(), QStringList{QStringLiteral("日が正しくありません")});
    choose(f.child<QComboBox>(QStringLiteral("ComboNen")), QStringLiteral("2004"));
    QCOMPARE(f.tc.state.surveyDate.year, qint16(2004));

    QComboBox* basho = f.child<QComboBox>(QStringLiteral("ComboBasho"));
    const QString venue = basho->itemText(basho->count() - 1);
    choose(basho, venue);
    QCOMPARE(f.tc.state.surveyVenue, venue);
    typeInto(basho, QStringLiteral("どこか"));
    QCOMPARE(f.tc.state.surveyVenue, QStringLiteral("どこか"));
    choose(f.child<QComboBox>(QStringLiteral("ComboRace")), QStringLiteral("12"));
    QCOMPARE(f.tc.state.surveyRaceNo, qint16(12));
}

void SelectFormTest::completionIsWhatTheStateHolds_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::newRow("year") << QStringLiteral("ComboNen") << QStringLiteral("2") << QStringLiteral("2026");
    QTest::newRow("velodrome") << QStringLiteral("ComboBasho") << QStringLiteral("取")
                               << QStringLiteral("取手");
}

// The boxes complete what is typed from their lists; the shared values follow what the box shows.
void SelectFormTest::completionIsWhatTheStateHolds() {
    QFETCH(QString, box);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    Fixture f(0, QDate(2026, 12, 9));
    f.open();
    auto* combo = f.child<QComboBox>(box);
    // Completion works in the box that has the keyboard, as when the user types into it.
    f.form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(f.form.get()));
    combo->lineEdit()->setFocus();
    QVERIFY(combo->lineEdit()->hasFocus());
    typeInto(combo, typed);
    QCOMPARE(combo->currentText(), shown);
    if (box == QStringLiteral("ComboNen"))
        QCOMPARE(f.tc.state.surveyDate, (SurveyDate{2026, 12, 9}));
    else
        QCOMPARE(f.tc.state.surveyVenue, shown);
    // Leaving the box changes nothing more.
    emit combo->lineEdit()->editingFinished();
    QCOMPARE(combo->currentText(), shown);
    QVERIFY(f.tc.dialogs.shown().isEmpty());
}

// A day typed and confirmed with Enter, or chosen from the list, is one change: one warning.
void SelectFormTest::oneChangeOneCheck() {
    Fixture f(0, QDate(2001, 2, 10));
    f.open();
    auto* day = f.child<QComboBox>(QStringLiteral("ComboHi"));
    day->setFocus();
    typeInto(day, QStringLiteral("30"));
    QTest::keyClick(day->lineEdit(), Qt::Key_Return);
    emit day->lineEdit()->editingFinished();
    QCOMPARE(f.tc.state.surveyDate, (SurveyDate{2001, 2, 30}));
    QCOMPARE(f.tc.dialogs.texts(), QStringList{QStringLiteral("日が正しくありません")});

    f.tc.dialogs.clear();
    choose(day, QStringLiteral("29"));
    QCOMPARE(f.tc.state.surveyDate, (SurveyDate{2001, 2, 29}));
    QCOMPARE(f.tc.dialogs.texts(), QStringList{QStringLiteral("日が正しくありません")});
}

// Keys and the wheel over the term and number pickers start no search; a choice from the list does.
void SelectFormTest::onlyAChoiceSearches() {
    Fixture f;
    f.open();
    for (const QString& name : {QStringLiteral("ComboKi"), QStringLiteral("ComboToban")}) {
        auto* box = f.child<QComboBox>(name);
        box->setFocus();
        QTest::keyClick(box, Qt::Key_1);
        QTest::keyClick(box, Qt::Key_Down);
        QWheelEvent wheel(QPointF(5, 5), box->mapToGlobal(QPointF(5, 5)), {}, QPoint(0, -120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(box, &wheel);
        QCOMPARE(f.list1()->count(), 0);
        QCOMPARE(f.form->searchResults().size(), 0);
    }
    f.searchBusiestTerm();
}

// The number list opens wide enough for its numbers, the term list at most 20 rows high, both with a
// scroll bar, and the year box shows all four digits, also while it has the focus.
void SelectFormTest::listsFitTheirEntries() {
    Fixture f;
    f.open();
    auto* numbers = f.child<QComboBox>(QStringLiteral("ComboToban"));
    numbers->setCurrentIndex(numbers->count() / 2);
    numbers->showPopup();
    QVERIFY(QTest::qWaitForWindowExposed(numbers->view()->window()));
    QVERIFY(numbers->view()->verticalScrollBar()->isVisible());
    testsupport::saveScreenshotWithPopup(f.form.get(), numbers->view()->window(),
                                         QStringLiteral("SelectForm-toban-list"));
    const int widest = numbers->view()->fontMetrics().horizontalAdvance(QStringLiteral("55555"));
    QVERIFY2(numbers->view()->viewport()->width() >= widest,
             qPrintable(QString::number(numbers->view()->viewport()->width())));
    numbers->hidePopup();

    auto* terms = f.comboKi();
    QVERIFY(terms->count() > 20);
    terms->showPopup();
    QVERIFY(terms->view()->verticalScrollBar()->isVisible());
    const int row = terms->view()->sizeHintForRow(0);
    QVERIFY2(terms->view()->height() <= 21 * row + 2 * terms->view()->frameWidth(),
             qPrintable(QString::number(terms->view()->height())));
    QVERIFY(terms->view()->height() >= 15 * row);
    terms->hidePopup();

    auto* year = f.child<QComboBox>(QStringLiteral("ComboNen"));
    QVERIFY(year->lineEdit()->width() >=
            year->lineEdit()->fontMetrics().horizontalAdvance(QStringLiteral("2026")));
    // With the cursor at either end, the field scrolls none of the digits out of view.
    year->setEditText(QStringLiteral("2026"));
    f.form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(f.form.get()));
    year->setFocus();
    const auto cursorAt = [edit = year->lineEdit()](Qt::Key key) {
        QTest::keyClick(edit, key);
        edit->grab(); // the field scrolls to the cursor as it is drawn
        return edit->inputMethodQuery(Qt::ImCursorRectangle).toRect().left();
    };
    const int end = cursorAt(Qt::Key_End);
    testsupport::saveScreenshot(f.form.get(), QStringLiteral("SelectForm-year-focused"));
    QCOMPARE(end - cursorAt(Qt::Key_Home),
             year->lineEdit()->fontMetrics().horizontalAdvance(QStringLiteral("2026")));
}

// The detail chart steps the shared date: the date boxes show it, and handling it is no change by the user.
void SelectFormTest::dateFromAnotherWindow() {
    Fixture f(0, QDate(1999, 12, 8));
    f.open();
    f.tc.state.surveyDate = SurveyDate{2000, 1, 31};
    f.form->SurveyDate_Change();
    QCOMPARE(f.child<QComboBox>(QStringLiteral("ComboNen"))->currentText(), QStringLiteral("2000"));
    QCOMPARE(f.child<QComboBox>(QStringLiteral("ComboTuki"))->currentText(), QStringLiteral("1"));
    QCOMPARE(f.child<QComboBox>(QStringLiteral("ComboHi"))->currentText(), QStringLiteral("31"));
    QVERIFY(f.tc.dialogs.shown().isEmpty());
    QCOMPARE(f.tc.state.surveyDate, (SurveyDate{2000, 1, 31}));
}

void SelectFormTest::pickLimit() {
    Fixture f;
    SelectForm& form = f.open();
    f.searchBusiestTerm();
    for (int i = 0; i < 9; ++i)
        clickLine(f.list1(), i);
    QCOMPARE(form.pickCount(), qint16(9));
    QVERIFY(f.tc.dialogs.shown().isEmpty());
    const PersonSlot ninth = f.tc.state.selectedPersons[8];
    clickLine(f.list1(), 9);
    QCOMPARE(f.tc.dialogs.texts(), QStringList{QStringLiteral("既に９人選択済みです。")});
    QCOMPARE(form.pickCount(), qint16(9));
    QCOMPARE(f.list2()->count(), 9);
    QCOMPARE(f.tc.state.selectedPersons[8].racerId, ninth.racerId);
    QVERIFY(f.tc.state.selectedPersons[9].affiliation.isEmpty());
    QCOMPARE(listTexts(f.list2()), listTexts(f.list1()).mid(0, 9));
}

void SelectFormTest::sameRacerTwice() {
    Fixture f;
    SelectForm& form = f.open();
    f.searchBusiestTerm();
    clickLine(f.list1(), 4);
    clickLine(f.list1(), 4);
    QCOMPARE(form.pickCount(), qint16(2));
    QCOMPARE(listTexts(f.list2()), QStringList(2, f.list1()->item(4)->text()));
    const auto& persons = f.tc.state.selectedPersons;
    QCOMPARE(persons[0].racerId, form.searchResults().rows.at(4).racerId);
    QCOMPARE(persons[1].racerId, persons[0].racerId);
    QCOMPARE(persons[1].name, persons[0].name);
    QCOMPARE(persons[0].affiliation.size(), 6);
    QCOMPARE(persons[0].name.size(), 22);
    // A double click picks once, as one click and a double click; Enter picks the current line.
    QListWidget* list = f.list1();
    const QPoint at = list->visualItemRect(list->item(6)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, at);
    QCOMPARE(form.pickCount(), qint16(3));
    list->setCurrentRow(7);
    QTest::keyClick(list, Qt::Key_Return);
    QCOMPARE(form.pickCount(), qint16(4));
    QCOMPARE(f.tc.state.selectedPersons[3].racerId, form.searchResults().rows.at(7).racerId);
    // The add command becomes available with the first pick.
    QVERIFY(f.action(QStringLiteral("Menu_Select"))->isEnabled());
    QVERIFY(!f.tool(4)->isHidden());
}

void SelectFormTest::removeMiddle_data() {
    QTest::addColumn<int>("picks");
    QTest::addColumn<int>("removed");
    QTest::addColumn<QList<int>>("kept"); // search lines left in the selection

    QTest::newRow("middle of three") << 3 << 1 << QList<int>{0, 2};
    QTest::newRow("first of three") << 3 << 0 << QList<int>{1, 2};
    QTest::newRow("last of three") << 3 << 2 << QList<int>{0, 1};
    QTest::newRow("only one") << 1 << 0 << QList<int>{};
    QTest::newRow("fifth of nine") << 9 << 4 << QList<int>{0, 1, 2, 3, 5, 6, 7, 8};
}

void SelectFormTest::removeMiddle() {
    QFETCH(int, picks);
    QFETCH(int, removed);
    QFETCH(QList<int>, kept);
    Fixture f;
    SelectForm& form = f.open();
    f.searchBusiestTerm();
    for (int i = 0; i < picks; ++i)
        clickLine(f.list1(), i);
    clickLine(f.list2(), removed);

    QStringList expected;
    for (int line : kept)
        expected << f.list1()->item(line)->text();
    QCOMPARE(listTexts(f.list2()), expected);
    QCOMPARE(form.pickCount(), qint16(kept.size()));
    const auto& persons = f.tc.state.selectedPersons;
    for (int i = 0; i < kept.size(); ++i)
        QCOMPARE(persons[i].racerId, form.searchResults().rows.at(kept.at(i)).racerId);
    for (int i = int(kept.size()); i < AppState::SlotCount; ++i) {
        QVERIFY(persons[i].affiliation.isEmpty());
        QCOMPARE(persons[i].racerId, qint16(0));
        QCOMPARE(persons[i].birthYear, qint16(0));
    }
    QVERIFY(f.tc.dialogs.shown().isEmpty());
}

void SelectFormTest::clearSelection_data() {
    QTest::addColumn<bool>("fromMenu");
    QTest::newRow("tool button") << false;
    QTest::newRow("menu") << true;
}

void SelectFormTest::clearSelection() {
    QFETCH(bool, fromMenu);
    Fixture f;
    SelectForm& form = f.open();
    f.searchBusiestTerm();
    for (int i = 0; i < 3; ++i)
        clickLine(f.list1(), i);
    const int listed = f.list1()->count();
    if (fromMenu)
        f.action(QStringLiteral("Menu_Cancel"))->trigger();
    else
        f.click(QStringLiteral("CommandDisp(2)"));
    QCOMPARE(f.list2()->count(), 0);
    QCOMPARE(form.pickCount(), qint16(0));
    for (int i = 0; i < AppState::RaceSlotCount; ++i)
        QCOMPARE(f.tc.state.selectedPersons[i].racerId, qint16(0));
    QCOMPARE(f.list1()->count(), listed);
    // Only the tool button takes the add command away again.
    QCOMPARE(f.action(QStringLiteral("Menu_Select"))->isEnabled(), fromMenu);
    QCOMPARE(f.tool(4)->isHidden(), !fromMenu);
    // Picking starts again from slot 0.
    clickLine(f.list1(), 5);
    QCOMPARE(f.tc.state.selectedPersons[0].racerId, form.searchResults().rows.at(5).racerId);
}

void SelectFormTest::openRaceTable() {
    Fixture f;
    f.open();
    f.click(QStringLiteral("CommandDisp(1)"));
    f.action(QStringLiteral("Menu_Disp"))->trigger();
    QCOMPARE(f.tc.dialogs.texts(), QStringList(2, QStringLiteral("選手を選択して下さい")));
    QVERIFY(f.tc.navigator.opened().isEmpty());

    f.searchBusiestTerm();
    clickLine(f.list1(), 0);
    f.click(QStringLiteral("CommandDisp(1)"));
    QCOMPARE(f.tc.navigator.opened(), QList<WindowId>{WindowId::DispForm});
    QVERIFY(f.form->isVisible());
    QCOMPARE(f.tc.dialogs.shown().size(), 2);
}

void SelectFormTest::searches_data() {
    QTest::addColumn<QString>("control"); // button name, or "ki"/"toban" for the pickers
    QTest::addColumn<QString>("where");   // the same rows, asked of the database directly
    QTest::addColumn<QVariantList>("binds");

    QTest::newRow("prefecture 4") << QStringLiteral("Kenmei(4)") << QStringLiteral("WHERE 所属ID = ?")
                                  << QVariantList{4};
    QTest::newRow("prefecture 13") << QStringLiteral("Kenmei(13)") << QStringLiteral("WHERE 所属ID = ?")
                                   << QVariantList{13};
    QTest::newRow("kana ｱ") << QStringLiteral("ComboNamae(0)") << QStringLiteral("WHERE よみがなID = ?")
                            << QVariantList{0};
    QTest::newRow("kana ｻ") << QStringLiteral("ComboNamae(10)") << QStringLiteral("WHERE よみがなID = ?")
                            << QVariantList{10};
    QTest::newRow("kana ﾔ") << QStringLiteral("ComboNamae(35)") << QStringLiteral("WHERE よみがなID = ?")
                            << QVariantList{35};
    QTest::newRow("first term") << QStringLiteral("ki") << QStringLiteral("WHERE 期 = ?") << QVariantList{0};
    QTest::newRow("last term") << QStringLiteral("ki") << QStringLiteral("WHERE 期 = ?") << QVariantList{-1};
    QTest::newRow("first number") << QStringLiteral("toban") << QStringLiteral("WHERE 登番 = ?")
                                  << QVariantList{0};
    QTest::newRow("last number") << QStringLiteral("toban") << QStringLiteral("WHERE 登番 = ?")
                                 << QVariantList{-1};
}

void SelectFormTest::searches() {
    QFETCH(QString, control);
    QFETCH(QString, where);
    QFETCH(QVariantList, binds);
    Fixture f;
    SelectForm& form = f.open();
    QVariantList values = binds;
    if (control == QStringLiteral("ki") || control == QStringLiteral("toban")) {
        // Picker searches: the bind is the index of the entry chosen (-1 the last one).
        QComboBox* box =
            control == QStringLiteral("ki") ? f.comboKi() : f.child<QComboBox>(QStringLiteral("ComboToban"));
        const int index = binds.at(0).toInt() < 0 ? box->count() - 1 : binds.at(0).toInt();
        values = {box->itemText(index).toInt()};
        choose(box, box->itemText(index));
        if (control == QStringLiteral("ki"))
            QCOMPARE(f.choices.term, qint16(values.at(0).toInt()));
        else
            QCOMPARE(f.choices.registrationNumber, qint16(values.at(0).toInt()));
    } else {
        f.click(control);
    }
    bool faulty = false;
    const QStringList expected = f.sql().lines(where, values, &faulty);
    QCOMPARE(listTexts(f.list1()), expected);
    QCOMPARE(form.searchResults().lines, expected);
    const QList<int> ids = f.sql().ints(QStringLiteral("SELECT 選手ID FROM Q_選手 ") + where +
                                            QStringLiteral(" ORDER BY 選手ID LIMIT 501"),
                                        values);
    for (int i = 0; i < expected.size(); ++i)
        QCOMPARE(form.searchResults().rows.at(i).racerId, qint16(ids.at(i)));
    // The seed racers hold no null but terms, and those are listed: no search ends in an error.
    QVERIFY(!faulty);
    QVERIFY(!expected.isEmpty());
    QCOMPARE(f.tc.dialogs.texts(), QStringList());
}

void SelectFormTest::kanaListsEveryMatch() {
    Fixture f;
    SelectForm& form = f.open();
    const Sql sql = f.sql();
    int withoutTerm = 0;
    for (int k = 0; k < SearchPanel::KanaCount; ++k) {
        if (!SearchPanel::kanaActive(k))
            continue;
        f.tc.dialogs.clear();
        f.click(QStringLiteral("ComboNamae(%1)").arg(k));
        const int matches =
            sql.count(QStringLiteral("SELECT COUNT(*) FROM Q_選手 WHERE よみがなID = ?"), {k});
        const QStringList expected = sql.lines(QStringLiteral("WHERE よみがなID = ?"), {k});
        QCOMPARE(expected.size(), std::min(matches, 501));
        QCOMPARE(listTexts(f.list1()), expected);
        QCOMPARE(form.searchResults().rows.size(), expected.size());
        QCOMPARE(f.tc.dialogs.texts(),
                 matches == 0 ? QStringList{QStringLiteral("該当レコードがありません")} : QStringList());
        withoutTerm +=
            sql.count(QStringLiteral("SELECT COUNT(*) FROM Q_選手 WHERE よみがなID = ? AND 期 IS NULL"), {k});
    }
    QVERIFY(withoutTerm > 0);

    // A racer without a term is picked with term 0 and listed in the selection as found.
    const int racer = sql.count(QStringLiteral("SELECT MIN(選手ID) FROM Q_選手 WHERE 期 IS NULL"));
    const int kana = sql.count(QStringLiteral("SELECT よみがなID FROM Q_選手 WHERE 選手ID = ?"), {racer});
    f.click(QStringLiteral("ComboNamae(%1)").arg(kana));
    int line = -1;
    for (int i = 0; i < form.searchResults().size(); ++i)
        if (form.searchResults().rows.at(i).racerId == racer)
            line = i;
    QVERIFY(line >= 0);
    QVERIFY(f.list1()->item(line)->text().contains(QString::number(racer) + QStringLiteral("    ")));
    clickLine(f.list1(), line);
    QCOMPARE(f.tc.state.selectedPersons[0].racerId, qint16(racer));
    QCOMPARE(f.tc.state.selectedPersons[0].term, qint16(0));
    QCOMPARE(listTexts(f.list2()), QStringList{f.list1()->item(line)->text()});
    testsupport::saveScreenshot(&form, QStringLiteral("SelectForm-no-term"));
}

void SelectFormTest::andSearch() {
    Fixture f;
    f.open();
    const Sql sql = f.sql();
    // A prefecture and term pair with racers, and racers of that term elsewhere too.
    QSqlQuery pair = sql.run(QStringLiteral(
        "SELECT 所属ID, 期 FROM T_選手 WHERE 期 IS NOT NULL GROUP BY 所属ID, 期 "
        "HAVING COUNT(*) >= 1 AND 期 IN (SELECT 期 FROM T_選手 GROUP BY 期 HAVING COUNT(DISTINCT 所属ID) > "
        "1) "
        "ORDER BY COUNT(*) DESC LIMIT 1"));
    QVERIFY(pair.next());
    const int prefecture = pair.value(0).toInt();
    const QString term = pair.value(1).toString();

    f.child<QCheckBox>(QStringLiteral("CheckSelect"))->click();
    // No prefecture chosen yet in this run: the term search needs 所属ID 0.
    choose(f.comboKi(), term);
    QCOMPARE(f.list1()->count(), 0);
    QCOMPARE(f.tc.dialogs.texts(), QStringList{QStringLiteral("該当レコードがありません")});

    f.click(QStringLiteral("Kenmei(%1)").arg(prefecture));
    const QStringList both =
        sql.lines(QStringLiteral("WHERE 所属ID = ? AND 期 = ?"), {prefecture, term.toInt()});
    QCOMPARE(listTexts(f.list1()), both);
    choose(f.comboKi(), term);
    QCOMPARE(listTexts(f.list1()), both);
    QVERIFY(both.size() < sql.lines(QStringLiteral("WHERE 期 = ?"), {term.toInt()}).size());

    // Unchecked, the same choices search on their own again.
    f.child<QCheckBox>(QStringLiteral("CheckSelect"))->click();
    choose(f.comboKi(), term);
    QCOMPARE(listTexts(f.list1()), sql.lines(QStringLiteral("WHERE 期 = ?"), {term.toInt()}));
    f.click(QStringLiteral("Kenmei(%1)").arg(prefecture));
    QCOMPARE(listTexts(f.list1()), sql.lines(QStringLiteral("WHERE 所属ID = ?"), {prefecture}));
    QCOMPARE(f.tc.dialogs.shown().size(), 1);
}

void SelectFormTest::choicesOutliveTheWindow() {
    Fixture f;
    f.open();
    f.click(QStringLiteral("Kenmei(5)"));
    f.action(QStringLiteral("Menu_Close"))->trigger();
    QCOMPARE(f.choices.prefecture, qint16(5));

    // A new window with the program's choices narrows by the prefecture chosen before.
    f.open();
    f.child<QCheckBox>(QStringLiteral("CheckSelect"))->click();
    const QString term = QString::number(f.sql().count(
        QStringLiteral("SELECT 期 FROM T_選手 WHERE 所属ID = 5 GROUP BY 期 ORDER BY COUNT(*) DESC")));
    choose(f.comboKi(), term);
    QCOMPARE(listTexts(f.list1()),
             f.sql().lines(QStringLiteral("WHERE 所属ID = 5 AND 期 = ?"), {term.toInt()}));
    QVERIFY(f.list1()->count() > 0);
}

void SelectFormTest::rowLimit_data() {
    QTest::addColumn<int>("racers");
    QTest::addColumn<int>("listed");
    QTest::addColumn<QStringList>("messages");

    QTest::newRow("500") << 500 << 500 << QStringList();
    QTest::newRow("501") << 501 << 501 << QStringList{QStringLiteral("期別領域オーバーフロー")};
    QTest::newRow("600") << 600 << 501 << QStringList{QStringLiteral("期別領域オーバーフロー")};
}

void SelectFormTest::rowLimit() {
    QFETCH(int, racers);
    QFETCH(int, listed);
    QFETCH(QStringList, messages);
    Fixture f;
    {
        const Sql sql = f.sql();
        sql.run(QStringLiteral("BEGIN"));
        for (int i = 0; i < racers; ++i)
            sql.run(QStringLiteral(
                        "INSERT INTO T_選手 (選手ID, 名前, よみがな, よみがな１桁, 期, 級, 所属ID, 生年, "
                        "生月, 生日, 血液型ID) SELECT ?, ?, 'てすと', 'て', 999, 'A1', 12, 1980, 1, 2, "
                        "MIN(血液型ID) FROM T_血液型"),
                    {1 + i, QStringLiteral("試験%1").arg(i)});
        sql.run(QStringLiteral("COMMIT"));
    }
    SelectForm& form = f.open();
    choose(f.comboKi(), QStringLiteral("999"));
    QCOMPARE(f.list1()->count(), listed);
    QCOMPARE(form.searchResults().rows.size(), listed);
    QCOMPARE(f.tc.dialogs.texts(), messages);
    QCOMPARE(f.list1()->item(listed - 1)->text(),
             QStringLiteral("東京    %1  999  試験%2").arg(listed).arg(listed - 1));
    // Every listed line can be picked, the last one too.
    clickLine(f.list1(), listed - 1);
    QCOMPARE(f.tc.state.selectedPersons[0].racerId, qint16(listed));
}

void SelectFormTest::kanaWithoutRacers() {
    Fixture f;
    {
        // Make sure the kana ﾇ has no racer.
        const Sql sql = f.sql();
        sql.run(QStringLiteral(
            "DELETE FROM T_選手 WHERE 選手ID IN (SELECT 選手ID FROM Q_選手 WHERE よみがなID = 22)"));
    }
    f.open();
    f.click(QStringLiteral("Kenmei(13)"));
    QVERIFY(f.list1()->count() > 0);
    f.click(QStringLiteral("ComboNamae(22)"));
    QCOMPARE(f.list1()->count(), 0);
    QCOMPARE(f.tc.dialogs.texts(), QStringList{QStringLiteral("該当レコードがありません")});
    // Inactive buttons start nothing.
    f.click(QStringLiteral("Kenmei(13)"));
    f.click(QStringLiteral("ComboNamae(46)"));
    f.form->ComboNamae_Click(38);
    QVERIFY(f.list1()->count() > 0);
    QCOMPARE(f.tc.dialogs.shown().size(), 1);
}

void SelectFormTest::tableSwitch_data() {
    QTest::addColumn<int>("startMode");
    QTest::addColumn<int>("picks");
    QTest::addColumn<QString>("trigger"); // control or menu entry that switches; empty: none
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("addShown"); // CommandDisp(4)
    QTest::addColumn<bool>("addMenu");  // Menu_Select

    QTest::newRow("opens normal") << 0 << 0 << QString() << 0 << false << false;
    QTest::newRow("opens in extraction") << 1 << 0 << QString() << 1 << true << false;
    QTest::newRow("to extraction by button")
        << 0 << 2 << QStringLiteral("CommandDisp(3)") << 1 << false << false;
    QTest::newRow("to extraction by menu")
        << 0 << 0 << QStringLiteral("Menu_Table(1)") << 1 << false << false;
    QTest::newRow("back to normal with picks")
        << 1 << 2 << QStringLiteral("Menu_Table(0)") << 0 << true << true;
    QTest::newRow("back to normal without picks")
        << 1 << 0 << QStringLiteral("CommandDisp(3)") << 0 << false << false;
}

void SelectFormTest::tableSwitch() {
    QFETCH(int, startMode);
    QFETCH(int, picks);
    QFETCH(QString, trigger);
    QFETCH(int, mode);
    QFETCH(bool, addShown);
    QFETCH(bool, addMenu);
    Fixture f{qint16(startMode)};
    {
        const Sql sql = f.sql();
        sql.run(QStringLiteral(
            "INSERT INTO T_選手抽出 (選手ID) SELECT 選手ID FROM T_選手 ORDER BY 選手ID LIMIT 5"));
    }
    f.open();
    f.click(startMode == 1 ? QStringLiteral("Command500") : QStringLiteral("Kenmei(1)"));
    QVERIFY(f.list1()->count() > 0);
    for (int i = 0; i < picks; ++i)
        clickLine(f.list1(), 0);
    if (!trigger.isEmpty()) {
        if (trigger.startsWith(QStringLiteral("Menu")))
            f.action(trigger)->trigger();
        else
            f.click(trigger);
        QCOMPARE(f.list1()->count(), 0);
    }
    const bool extraction = mode == 1;
    QCOMPARE(f.tc.state.extractionMode, qint16(mode));
    QCOMPARE(f.child<QLabel>(QStringLiteral("LabelTable"))->text(),
             extraction ? QStringLiteral("抽出テーブル") : QStringLiteral("通常テーブル"));
    QCOMPARE(f.tool(3)->text(), extraction ? QStringLiteral("抽出→通常") : QStringLiteral("通常→抽出"));
    QCOMPARE(f.action(QStringLiteral("Menu_Table(0)"))->isEnabled(), extraction);
    QCOMPARE(f.action(QStringLiteral("Menu_Table(1)"))->isEnabled(), !extraction);
    QCOMPARE(f.child<QFrame>(QStringLiteral("PicNo(2)"))->isVisible(), extraction);
    QCOMPARE(f.child<QPushButton>(QStringLiteral("Command500"))->isVisible(), extraction);
    QCOMPARE(f.tool(4)->isVisible(), addShown);
    QCOMPARE(f.action(QStringLiteral("Menu_Select"))->isEnabled(), addMenu);
    QCOMPARE(f.form->pickCount(), qint16(picks));
    QCOMPARE(f.list2()->count(), picks);
    QVERIFY(f.tc.dialogs.shown().isEmpty());
}

void SelectFormTest::extractionSearches() {
    Fixture f;
    const Sql sql = f.sql();
    const QList<int> busiest = sql.ints(QStringLiteral(
        "SELECT 期 FROM T_選手 WHERE 期 IS NOT NULL GROUP BY 期 ORDER BY COUNT(*) DESC LIMIT 1"));
    // Every other racer of the busiest term, and one of another term.
    sql.run(QStringLiteral(
                "INSERT INTO T_選手抽出 (選手ID) SELECT 選手ID FROM T_選手 WHERE 期 = ? AND 選手ID % 2 = 0"),
            {busiest.at(0)});
    sql.run(QStringLiteral("INSERT INTO T_選手抽出 (選手ID) SELECT MAX(選手ID) FROM T_選手 WHERE 期 <> ?"),
            {busiest.at(0)});
    f.open();
    f.searchBusiestTerm();
    QCOMPARE(f.list1()->count(), sql.lines(QStringLiteral("WHERE 期 = ?"), {busiest.at(0)}).size());

    f.click(QStringLiteral("CommandDisp(3)"));
    QCOMPARE(f.list1()->count(), 0);
    choose(f.comboKi(), QString::number(busiest.at(0)));
    const QStringList extracted = sql.lines(
        QStringLiteral("WHERE 期 = ? AND 選手ID IN (SELECT 選手ID FROM T_選手抽出)"), {busiest.at(0)});
    QVERIFY(!extracted.isEmpty());
    QCOMPARE(listTexts(f.list1()), extracted);

    f.click(QStringLiteral("Command500"));
    QCOMPARE(listTexts(f.list1()),
             sql.lines(QStringLiteral("WHERE 選手ID IN (SELECT 選手ID FROM T_選手抽出)")));
    QCOMPARE(f.list1()->count(), extracted.size() + 1);

    // An empty extraction table: the message, and the old list stays.
    sql.run(QStringLiteral("DELETE FROM T_選手抽出"));
    const QStringList before = listTexts(f.list1());
    f.click(QStringLiteral("Command500"));
    QCOMPARE(f.tc.dialogs.texts(), QStringList{QStringLiteral("該当レコードがありません")});
    QCOMPARE(listTexts(f.list1()), before);
    // A keyed search on the empty table empties the list.
    f.click(QStringLiteral("Kenmei(1)"));
    QCOMPARE(f.list1()->count(), 0);
    QCOMPARE(f.tc.dialogs.shown().size(), 2);
}

void SelectFormTest::addToExtraction_data() {
    QTest::addColumn<int>("existing");     // rows in the table before
    QTest::addColumn<QList<int>>("picks"); // search lines picked
    QTest::addColumn<bool>("yes");
    QTest::addColumn<int>("added");
    QTest::addColumn<QStringList>("critical");

    const QString full =
        QStringLiteral("抽出テーブルは５００件までです。既存の抽出テーブルを削除後、再度実行して下さい。");
    QTest::newRow("three added") << 0 << QList<int>{0, 1, 2} << true << 3 << QStringList();
    QTest::newRow("answered No") << 0 << QList<int>{0, 1} << false << 0 << QStringList();
    QTest::newRow("499 rows and three picked")
        << 499 << QList<int>{0, 1, 2} << true << 1 << QStringList{full};
    QTest::newRow("full table") << 500 << QList<int>{0} << true << 0 << QStringList{full};
    QTest::newRow("same racer in two slots")
        << 0 << QList<int>{3, 3, 4} << true << 2
        << QStringList{QStringLiteral("@3さんは既に抽出テーブルにあるので追加出来ません。")};
    QTest::newRow("already listed") << -1 << QList<int>{0, 1} << true << 1
                                    << QStringList{QStringLiteral(
                                           "@0さんは既に抽出テーブルにあるので追加出来ません。")};
}

void SelectFormTest::addToExtraction() {
    QFETCH(int, existing);
    QFETCH(QList<int>, picks);
    QFETCH(bool, yes);
    QFETCH(int, added);
    QFETCH(QStringList, critical);
    Fixture f;
    const Sql sql = f.sql();
    f.open();
    f.searchBusiestTerm();
    const SearchResults& results = f.form->searchResults();
    if (existing > 0) {
        // Fill the table with racers that are not in the search list.
        sql.run(QStringLiteral("INSERT INTO T_選手抽出 (選手ID) SELECT 選手ID FROM T_選手 WHERE 期 IS NOT ? "
                               "ORDER BY 選手ID LIMIT ?"),
                {results.rows.at(0).term, existing});
        QCOMPARE(sql.count(QStringLiteral("SELECT COUNT(*) FROM T_選手抽出")), existing);
    } else if (existing < 0) {
        sql.run(QStringLiteral("INSERT INTO T_選手抽出 (選手ID) VALUES (?)"), {results.rows.at(0).racerId});
    }
    const int before = sql.count(QStringLiteral("SELECT COUNT(*) FROM T_選手抽出"));
    for (int line : picks)
        clickLine(f.list1(), line);

    if (yes)
        f.tc.dialogs.answerYes();
    else
        f.tc.dialogs.answerNo();
    f.click(QStringLiteral("CommandDisp(4)"));

    QVERIFY(f.tc.dialogs.allAnswersUsed());
    const QList<ShownBox>& shown = f.tc.dialogs.shown();
    QCOMPARE(shown.first().kind, ShownBox::Kind::Question);
    QCOMPARE(shown.first().text,
             QStringLiteral("選択ボックスの選手データを抽出テーブルへ追加しますか。\r\n"));
    QCOMPARE(shown.first().title, QStringLiteral("抽出テーブル追加"));
    QStringList criticalTexts;
    for (int i = 1; i < shown.size(); ++i) {
        QCOMPARE(shown.at(i).kind, ShownBox::Kind::Critical);
        QCOMPARE(shown.at(i).title, QStringLiteral("抽出テーブルエラー"));
        criticalTexts << shown.at(i).text;
    }
    for (QString& text : critical) {
        if (text.startsWith(u'@')) // @n: the trimmed name of search line n
            text = conv::trimBlanks(results.rows.at(text.mid(1, 1).toInt()).name) + text.mid(2);
    }
    QCOMPARE(criticalTexts, critical);
    QCOMPARE(sql.count(QStringLiteral("SELECT COUNT(*) FROM T_選手抽出")), before + added);
    // The first picks go in first; the selection and the mode stay.
    if (added > 0)
        QCOMPARE(sql.count(QStringLiteral("SELECT COUNT(*) FROM T_選手抽出 WHERE 選手ID = ?"),
                           {f.tc.state.selectedPersons[0].racerId}),
                 1);
    QCOMPARE(f.list2()->count(), picks.size());
    QCOMPARE(f.tc.state.extractionMode, qint16(0));
}

void SelectFormTest::addOtherError() {
    Fixture f(1);
    const Sql sql = f.sql();
    sql.run(
        QStringLiteral("INSERT INTO T_選手抽出 (選手ID) SELECT 選手ID FROM T_選手 ORDER BY 選手ID LIMIT 3"));
    f.open();
    f.click(QStringLiteral("Command500"));
    clickLine(f.list1(), 1);
    // Adding in extraction mode is refused before any question.
    f.click(QStringLiteral("CommandDisp(4)"));
    QCOMPARE(f.tc.dialogs.shown().size(), 1);
    QCOMPARE(f.tc.dialogs.shown().first().kind, ShownBox::Kind::Critical);
    QCOMPARE(f.tc.dialogs.shown().first().text,
             QStringLiteral("抽出テーブル選択時は抽出テーブルへの追加は出来ません。"));
    QCOMPARE(f.tc.dialogs.shown().first().title, QStringLiteral("抽出テーブル追加エラー"));

    // Back in normal mode, a racer deleted meanwhile cannot be added: the common error message,
    // not the duplicate message, and nothing stored.
    f.click(QStringLiteral("CommandDisp(3)"));
    sql.run(QStringLiteral("DELETE FROM T_選手 WHERE 選手ID = ?"), {f.tc.state.selectedPersons[0].racerId});
    const int before = sql.count(QStringLiteral("SELECT COUNT(*) FROM T_選手抽出"));
    f.tc.dialogs.clear();
    f.tc.dialogs.answerYes();
    f.action(QStringLiteral("Menu_Select"))->trigger();
    QCOMPARE(f.tc.dialogs.shown().size(), 2);
    QCOMPARE(f.tc.dialogs.shown().at(1).title, QStringLiteral("エラー"));
    QVERIFY(f.tc.dialogs.shown().at(1).text.startsWith(QStringLiteral("エラー番号 ")));
    QCOMPARE(sql.count(QStringLiteral("SELECT COUNT(*) FROM T_選手抽出")), before);
}

void SelectFormTest::helpVersionClose() {
    Fixture f;
    f.tc.state.surveyVenue = QStringLiteral("青森");
    f.open();
    f.click(QStringLiteral("CommandDisp(5)"));
    f.action(QStringLiteral("Menu_HelpCard"))->trigger();
    QCOMPARE(f.tc.help.shownCount(), 2);
    f.click(QStringLiteral("CommandDisp(6)"));
    f.action(QStringLiteral("Menu_Help_About"))->trigger();
    QCOMPARE(f.tc.dialogs.shown().size(), 2);
    for (const ShownBox& box : f.tc.dialogs.shown()) {
        QCOMPARE(box.kind, ShownBox::Kind::Information);
        QCOMPARE(box.title, QStringLiteral("コルヴァン  Ver2.10"));
    }

    f.searchBusiestTerm();
    clickLine(f.list1(), 0);
    clickLine(f.list1(), 1);
    f.tc.state.extractionMode = 0;
    f.click(QStringLiteral("CommandDisp(0)"));
    QVERIFY(!f.form->isVisible());
    QCOMPARE(f.tc.navigator.closedWindows(), QList<WindowId>{WindowId::SelectForm});
    for (int i = 0; i < AppState::RaceSlotCount; ++i)
        QVERIFY(f.tc.state.selectedPersons[i].affiliation.isEmpty());
    QCOMPARE(f.tc.state.surveyDate, (SurveyDate{1999, 12, 8}));
    QCOMPARE(f.tc.state.surveyVenue, QStringLiteral("青森"));

    // The frame's close control closes like the close command.
    f.open();
    QCOMPARE(f.list1()->count(), 0);
    QCOMPARE(f.list2()->count(), 0);
    f.searchBusiestTerm();
    clickLine(f.list1(), 0);
    QVERIFY(f.form->close());
    QCOMPARE(f.tc.navigator.closedWindows().size(), 2);
    QVERIFY(f.tc.state.selectedPersons[0].affiliation.isEmpty());
}

void SelectFormTest::screenshots() {
    Fixture f;
    f.tc.state.surveyVenue = QStringLiteral("青森");
    SelectForm& form = f.open();
    choose(f.child<QComboBox>(QStringLiteral("ComboBasho")),
           f.child<QComboBox>(QStringLiteral("ComboBasho"))->itemText(1));
    choose(f.child<QComboBox>(QStringLiteral("ComboRace")), QStringLiteral("11"));
    f.searchBusiestTerm();
    for (int i = 0; i < 4; ++i)
        clickLine(f.list1(), 2 * i);
    QVERIFY(f.list2()->count() == 4);
    testsupport::saveScreenshot(&form, QStringLiteral("SelectForm"));

    f.click(QStringLiteral("CommandDisp(3)"));
    QVERIFY(f.tc.dialogs.shown().isEmpty());
    testsupport::saveScreenshot(&form, QStringLiteral("SelectForm-extraction"));
}

QTEST_MAIN(SelectFormTest)
#include "SelectFormTest.moc"
