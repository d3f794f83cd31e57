#include "masters/SensyuForm.h"
#include "app/AppNavigator.h"
#include "app/WindowRegistry.h"
#include "mainmenu/MainForm.h"
#include "race/SearchPanel.h"
#include "race/SelectForm.h"
#include "support/Controls.h"
#include "support/DirectSql.h"
#include "support/Racers.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFontInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// 4000 is an Okinawa racer without term or grade, below every seed number so that he is listed first.
const QString racer4000 = QStringLiteral(
    "INSERT INTO T_選手 VALUES (4000, '検査花子', 'ケンサハナコ', 'ケ', NULL, NULL, 47, 1980, 2, 29, 2)");
const QString line4000 = QStringLiteral("沖縄    4000    検査花子");

// The first column of every row a query yields, as texts.
QStringList column(const QString& path, const QString& query) {
    QStringList texts;
    for (const QVariantList& row : testsupport::DirectSql(path).rows(query))
        texts << row.value(0).toString();
    return texts;
}

// One window on its own copy of the database, holding racer 4000.
struct Fixture {
    TestContext tc;
    testsupport::ProgramDir dir = testsupport::copyOfProgramDir();
    SensyuSearchMemory memory;
    std::unique_ptr<SensyuForm> form;

    explicit Fixture(qint16 extractionMode = 0, const QStringList& sql = {}) {
        tc.state.appPath = dir.path;
        tc.state.extractionMode = extractionMode;
        run(QStringList{racer4000} + sql);
    }
    void run(const QStringList& statements) const {
        const testsupport::DirectSql direct(dir.database());
        for (const QString& statement : statements)
            direct.exec(statement);
    }
    SensyuForm& open() {
        form = std::make_unique<SensyuForm>(tc.context, memory);
        form->show();
        return *form;
    }
    template <typename T> T* child(const QString& name) const {
        T* c = form->findChild<T*>(name);
        if (!c)
            qFatal("no control %s", qPrintable(name));
        return c;
    }
    QListWidget* list1() const { return child<QListWidget>(QStringLiteral("List1")); }
    QStringList lines() const {
        QStringList texts;
        for (int i = 0; i < list1()->count(); ++i)
            texts << list1()->item(i)->text();
        return texts;
    }
    QStringList sql(const QString& query) const { return column(dir.database(), query); }
    // Picks the listed racer with that number, as a click on his line does.
    void pick(qint16 racerId) const {
        const int line = int(form->listRacerIds().indexOf(racerId));
        QVERIFY(line >= 0);
        list1()->setCurrentRow(line);
    }
    void choose(const QString& box, const QString& text) const {
        testsupport::choose(child<QComboBox>(box), text);
    }
    // Sets the edit panel: affiliation, term, number, name, reading, grade, birth y/m/d, blood type.
    void fill(const QStringList& values) const {
        static const char* names[10] = {"ComboSyozoku", "Ki",     "Toban",   "Namae", "Yomigana",
                                        "Kyu",          "Seinen", "Seituki", "Seihi", "ComboBladtype"};
        for (int i = 0; i < 10; ++i) {
            QWidget* field = child<QWidget>(QString::fromLatin1(names[i]));
            if (auto* box = qobject_cast<QComboBox*>(field))
                box->setEditText(values.at(i));
            else
                static_cast<QLineEdit*>(field)->setText(values.at(i));
        }
    }
    QStringList panel() const {
        QStringList values;
        for (const char* name : {"ComboSyozoku", "Ki", "Toban", "Namae", "Yomigana", "Kyu", "Seinen",
                                 "Seituki", "Seihi", "ComboBladtype"}) {
            QWidget* field = child<QWidget>(QString::fromLatin1(name));
            auto* box = qobject_cast<QComboBox*>(field);
            values << (box ? box->currentText() : static_cast<QLineEdit*>(field)->text());
        }
        return values;
    }
    // The racer table row of a number, field by field.
    QStringList stored(int racerId) const {
        QStringList row;
        for (const char* field :
             {"所属ID", "期", "名前", "よみがな", "よみがな１桁", "級", "生年", "生月", "生日", "血液型ID"})
            row += sql(QStringLiteral("SELECT %1 FROM T_選手 WHERE 選手ID = %2")
                           .arg(QString::fromUtf8(field))
                           .arg(racerId));
        return row;
    }
};

} // namespace

class SensyuFormTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void layout_data();
    void layout();
    void controls();
    void tableMode_data();
    void tableMode();
    void load();
    void loadWithoutDatabase();
    void searchesRemember_data();
    void searchesRemember();
    void andSearchUsesItsOwnMemory();
    void showRacer();
    void enterChain();
    void updateRenumbers();
    void addWith1234();
    void addRefusedInExtractionMode();
    void noLineSelected_data();
    void noLineSelected();
    void panelRefused_data();
    void panelRefused();
    void standsOnWhatItStored();
    void deleteInBothModes();
    void deleteAll_data();
    void deleteAll();
    void reportFollowsTheLastSearch();
    void toolsAndClose();
    void fromTheMainMenu();
    void screenshots();
};

void SensyuFormTest::initTestCase() {
    testsupport::initGui();
    QVERIFY2(QFile::exists(testsupport::copyOfProgramDir().database()), "no seed database");
}

void SensyuFormTest::layout_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");
    QTest::newRow("tool strip") << QStringLiteral("PictureBotton") << QRect(4, 0, 350, 28);
    QTest::newRow("close") << QStringLiteral("CommandDisp(0)") << QRect(0, 0, 25, 25);
    QTest::newRow("print") << QStringLiteral("CommandDisp(4)") << QRect(96, 0, 25, 25);
    QTest::newRow("switch") << QStringLiteral("CommandDisp(5)") << QRect(120, 0, 75, 25);
    QTest::newRow("version") << QStringLiteral("CommandDisp(7)") << QRect(218, 0, 25, 25);
    QTest::newRow("delete all") << QStringLiteral("CommandDisp(8)") << QRect(48, 0, 25, 25);
    QTest::newRow("table label") << QStringLiteral("LabelTable") << QRect(240, 0, 110, 25);
    QTest::newRow("search panel") << QStringLiteral("PictureWaku") << QRect(4, 29, 350, 400);
    QTest::newRow("Tokyo") << QStringLiteral("Kenmei(12)") << QRect(280, 168, 25, 32);
    QTest::newRow("list-all box") << QStringLiteral("PicNo(2)") << QRect(266, 278, 70, 30);
    QTest::newRow("kana n") << QStringLiteral("ComboNamae(49)") << QRect(304, 377, 33, 17);
    QTest::newRow("heading") << QStringLiteral("LabelHyouji") << QRect(360, 0, 265, 17);
    QTest::newRow("list") << QStringLiteral("List1") << QRect(360, 16, 265, 240);
    QTest::newRow("edit caption") << QStringLiteral("LabelSentaku") << QRect(360, 256, 265, 17);
    QTest::newRow("edit panel") << QStringLiteral("PictureHensyu") << QRect(360, 272, 265, 155);
    QTest::newRow("label grade") << QStringLiteral("LabelHensyu(5)") << QRect(8, 128, 40, 17);
    QTest::newRow("label rate") << QStringLiteral("LabelHensyu(10)") << QRect(160, 104, 40, 17);
    QTest::newRow("affiliation") << QStringLiteral("ComboSyozoku") << QRect(48, 8, 81, 18);
    QTest::newRow("number") << QStringLiteral("Toban") << QRect(48, 56, 41, 18);
    QTest::newRow("reading") << QStringLiteral("Yomigana") << QRect(48, 104, 105, 18);
    QTest::newRow("birth day") << QStringLiteral("Seihi") << QRect(200, 56, 25, 18);
    QTest::newRow("blood type") << QStringLiteral("ComboBladtype") << QRect(200, 80, 49, 18);
    QTest::newRow("place rate") << QStringLiteral("Fukuritu") << QRect(200, 128, 49, 18);
}

void SensyuFormTest::layout() {
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    Fixture f;
    SensyuForm& form = f.open();
    QCOMPARE(form.windowTitle(), QStringLiteral("選手テーブルメンテナンス"));
    QCOMPARE(form.centralWidget()->size(), QSize(632, 434));
    QCOMPARE(f.child<QWidget>(name)->geometry(), geometry);
}

void SensyuFormTest::controls() {
    Fixture f;
    f.open();
    const QStringList captions{QStringLiteral("終了(&X)"), QStringLiteral("更新(&E)"),
                               QStringLiteral("追加(A)"),  QStringLiteral("削除(&D)"),
                               QStringLiteral("印刷(&P)"), QStringLiteral("選手ﾃｰﾌﾞﾙ変更(&T)"),
                               QStringLiteral("ﾌｧｲﾙ(&F)"), QStringLiteral("ﾍﾙﾌﾟ(&H)")};
    const QStringList names{QStringLiteral("Menu_Close"),   QStringLiteral("Menu_Ment(0)"),
                            QStringLiteral("Menu_Ment(1)"), QStringLiteral("Menu_Ment(2)"),
                            QStringLiteral("Menu_Ment(3)"), QStringLiteral("Menu_Change"),
                            QStringLiteral("Menu_File"),    QStringLiteral("Meun_Help")};
    const QList<QAction*> bar = f.form->menuBar()->actions();
    QCOMPARE(bar.size(), captions.size());
    for (int i = 0; i < bar.size(); ++i) {
        QCOMPARE(bar.at(i)->text(), captions.at(i));
        QCOMPARE(bar.at(i)->menu() ? bar.at(i)->menu()->objectName() : bar.at(i)->objectName(), names.at(i));
    }
    QCOMPARE(f.child<QAction>(QStringLiteral("Menu_Table(0)"))->text(), QStringLiteral("抽出→通常ﾃｰﾌﾞﾙ(&N)"));
    QCOMPARE(f.child<QAction>(QStringLiteral("Menu_Help_About"))->text(), QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報(&A)"));
    const QStringList tips{QStringLiteral("終了します。"),
                           QStringLiteral("選手データを更新します。"),
                           QStringLiteral("選手データを追加します。"),
                           QStringLiteral("選手データを削除します。"),
                           QStringLiteral("選手データを印刷します。"),
                           QStringLiteral("選手ﾃｰﾌﾞﾙを通常のﾃｰﾌﾞﾙか各ﾕｰｻﾞｰ抽出後のﾃｰﾌﾞﾙに変更します。"),
                           QStringLiteral("ﾍﾙﾌﾟを表示します。"),
                           QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報です。"),
                           QStringLiteral("リストに表示されている抽出テーブルのデータを全て削除します。")};
    for (int i = 0; i < 9; ++i) {
        auto* button = f.child<QToolButton>(QStringLiteral("CommandDisp(%1)").arg(i));
        QCOMPARE(button->toolTip(), tips.at(i));
        QVERIFY(!button->icon().isNull());
    }
    QCOMPARE(f.child<QLabel>(QStringLiteral("LabelHyouji"))->text(),
             QStringLiteral("出身　  登番　期　氏名"));
    QCOMPARE(f.child<QLabel>(QStringLiteral("LabelSentaku"))->text(), QStringLiteral("編集ボックス"));
    QCOMPARE(f.child<QLabel>(QStringLiteral("LabelHensyu(4)"))->text(), QStringLiteral("ﾖﾐｶﾞﾅ"));
    QCOMPARE(f.child<QLabel>(QStringLiteral("LabelHensyu(11)"))->text(), QStringLiteral("複勝率"));
    QVERIFY(!f.child<QLineEdit>(QStringLiteral("Syoritu"))->isEnabled());
    QVERIFY(!f.child<QLineEdit>(QStringLiteral("Fukuritu"))->isEnabled());
    QCOMPARE(QFontInfo(f.list1()->font()).family(), QStringLiteral("IPAGothic"));
    QCOMPARE(f.child<QPushButton>(QStringLiteral("Kenmei(46)"))->text(), QStringLiteral("鹿児島"));
    QVERIFY(!f.child<QPushButton>(QStringLiteral("ComboNamae(46)"))->isEnabled());
}

void SensyuFormTest::tableMode_data() {
    QTest::addColumn<qint16>("mode");
    QTest::newRow("normal") << qint16(0);
    QTest::newRow("extraction") << qint16(1);
}

void SensyuFormTest::tableMode() {
    QFETCH(qint16, mode);
    Fixture f(mode, {QStringLiteral("INSERT INTO T_選手抽出 VALUES (4000)")});
    f.open();
    const auto check = [&f](bool extraction) {
        QCOMPARE(f.tc.state.extractionMode, qint16(extraction ? 1 : 0));
        QCOMPARE(f.child<QToolButton>(QStringLiteral("CommandDisp(5)"))->text(),
                 extraction ? QStringLiteral("抽出→通常") : QStringLiteral("通常→抽出"));
        QCOMPARE(f.child<QLabel>(QStringLiteral("LabelTable"))->text(),
                 extraction ? QStringLiteral("抽出テーブル") : QStringLiteral("通常テーブル"));
        QCOMPARE(f.child<QAction>(QStringLiteral("Menu_Ment(1)"))->text(),
                 extraction ? QStringLiteral("全削除(C)") : QStringLiteral("追加(A)"));
        QCOMPARE(f.child<QAction>(QStringLiteral("Menu_Table(0)"))->isEnabled(), extraction);
        QCOMPARE(f.child<QAction>(QStringLiteral("Menu_Table(1)"))->isEnabled(), !extraction);
        QCOMPARE(f.child<QWidget>(QStringLiteral("PicNo(2)"))->isVisible(), extraction);
        QCOMPARE(f.child<QWidget>(QStringLiteral("CommandDisp(2)"))->isVisible(), !extraction);
        QCOMPARE(f.child<QWidget>(QStringLiteral("CommandDisp(8)"))->isVisible(), extraction);
    };
    check(mode == 1);
    // A switch empties the list; the menu entry does the same as the button.
    f.form->Kenmei_Click(47);
    QVERIFY(!f.lines().isEmpty());
    testsupport::click(f.form.get(), u"CommandDisp(5)");
    check(mode == 0);
    QVERIFY(f.lines().isEmpty());
    QVERIFY(f.form->listRacerIds().isEmpty());
    f.child<QAction>(mode == 0 ? u"Menu_Table(0)"_s : u"Menu_Table(1)"_s)->trigger();
    check(mode == 1);
}

void SensyuFormTest::load() {
    Fixture f;
    f.open();
    QVERIFY2(f.tc.dialogs.shown().isEmpty(), qPrintable(f.tc.dialogs.lastText()));
    auto* syozoku = f.child<QComboBox>(QStringLiteral("ComboSyozoku"));
    QCOMPARE(syozoku->count(), 47);
    QCOMPARE(syozoku->itemText(0), QStringLiteral("北海道"));
    QCOMPARE(syozoku->itemText(46), QStringLiteral("沖縄"));
    auto* blood = f.child<QComboBox>(QStringLiteral("ComboBladtype"));
    QCOMPARE(blood->count(), 4);
    QCOMPARE(blood->itemText(3), QStringLiteral("AB"));
    auto* ki = f.child<QComboBox>(QStringLiteral("ComboKi"));
    QCOMPARE(ki->count(), f.sql(QStringLiteral("SELECT COUNT(DISTINCT 期) FROM T_選手")).value(0).toInt());
    auto* toban = f.child<QComboBox>(QStringLiteral("ComboToban"));
    QCOMPARE(toban->itemText(0), QStringLiteral("4000"));
    QCOMPARE(toban->count(), f.sql(QStringLiteral("SELECT COUNT(*) FROM T_選手")).value(0).toInt());
    QCOMPARE(ki->currentIndex(), -1);
    QVERIFY(f.lines().isEmpty());
    QCOMPARE(f.panel(), QStringList(10));
}

void SensyuFormTest::loadWithoutDatabase() {
    Fixture f;
    QVERIFY(QFile::remove(f.dir.database()));
    f.open();
    QCOMPARE(f.tc.dialogs.shown().size(), 1);
    QVERIFY(f.tc.dialogs.lastText().startsWith(QStringLiteral("エラー番号  3024")));
    QVERIFY(f.form->isVisible());
    f.tc.dialogs.clear();
    f.form->Kenmei_Click(12);
    f.tc.dialogs.answerYes();
    f.form->CommandDisp_Click(4);
    QCOMPARE(f.tc.dialogs.shown().size(), 3);
    QVERIFY(f.tc.dialogs.texts().at(0).startsWith(QStringLiteral("エラー番号 ")));
    QVERIFY(f.tc.dialogs.texts().at(2).startsWith(QStringLiteral("エラー番号 ")));
    QVERIFY(!QFile::exists(f.dir.database()));
}

void SensyuFormTest::searchesRemember_data() {
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("where"); // the racers listed, in number order
    QTest::addColumn<qint16>("mode");
    QTest::addColumn<qint16>("prefecture");
    QTest::addColumn<qint16>("term");
    QTest::addColumn<qint16>("kana");
    QTest::newRow("Okinawa") << u"Kenmei(47)"_s << u"所属ID = 47"_s << qint16(0) << qint16(47) << qint16(0)
                             << qint16(0);
    QTest::newRow("kana ｹ") << u"ComboNamae(8)"_s << u"よみがな１桁 IN ('ケ', 'け', 'ゲ', 'げ')"_s
                            << qint16(3) << qint16(0) << qint16(0) << qint16(8);
    QTest::newRow("term 85") << u"ComboKi=85"_s << u"期 = 85"_s << qint16(2) << qint16(0) << qint16(85)
                             << qint16(0);
    QTest::newRow("number 4000") << u"ComboToban=4000"_s << u"選手ID = 4000"_s << qint16(1) << qint16(0)
                                 << qint16(0) << qint16(0);
}

void SensyuFormTest::searchesRemember() {
    QFETCH(QString, action);
    QFETCH(QString, where);
    QFETCH(qint16, mode);
    QFETCH(qint16, prefecture);
    QFETCH(qint16, term);
    QFETCH(qint16, kana);
    Fixture f;
    f.memory = {4, 0, 0, 0};
    f.open();
    if (action.contains(QLatin1Char('=')))
        f.choose(action.section(QLatin1Char('='), 0, 0), action.section(QLatin1Char('='), 1));
    else
        testsupport::click(f.form.get(), action);
    QVERIFY2(f.tc.dialogs.shown().isEmpty(), qPrintable(f.tc.dialogs.lastText()));
    QStringList ids;
    for (qint16 id : f.form->listRacerIds())
        ids << QString::number(id);
    QCOMPARE(ids, f.sql(QStringLiteral("SELECT 選手ID FROM T_選手 WHERE %1 ORDER BY 選手ID").arg(where)));
    QCOMPARE(f.lines().size(), ids.size());
    if (ids.first() == QStringLiteral("4000"))
        QCOMPARE(f.lines().first(), line4000);
    QCOMPARE(f.memory.searchMode, mode);
    QCOMPARE(f.memory.lastPrefecture, prefecture);
    QCOMPARE(f.memory.lastTerm, term);
    QCOMPARE(f.memory.lastKana, kana);
}

// With the AND box, the prefecture search narrows by this window's last term, 0 until one was chosen.
void SensyuFormTest::andSearchUsesItsOwnMemory() {
    Fixture f;
    f.open();
    f.child<QCheckBox>(QStringLiteral("CheckSelect"))->setChecked(true);
    f.form->Kenmei_Click(47);
    QCOMPARE(f.tc.dialogs.lastText(), QStringLiteral("該当レコードがありません"));
    const QString term =
        f.sql(QStringLiteral("SELECT 期 FROM T_選手 WHERE 所属ID = 47 AND 期 IS NOT NULL")).first();
    f.choose(QStringLiteral("ComboKi"), term);
    const QStringList expected = f.sql(
        QStringLiteral("SELECT 選手ID FROM T_選手 WHERE 所属ID = 47 AND 期 = %1 ORDER BY 選手ID").arg(term));
    QStringList ids;
    for (qint16 id : f.form->listRacerIds())
        ids << QString::number(id);
    QCOMPARE(ids, expected);
}

void SensyuFormTest::showRacer() {
    Fixture f(
        0, {QStringLiteral("INSERT INTO T_選手 VALUES (4001, '見本一', 'みほんはじめ', 'み', 85, 'A1', 47, "
                           "1965, 12, 31, 4)")});
    f.open();
    f.form->Kenmei_Click(47);
    f.pick(4000);
    // No term shows 0, no grade an empty box.
    QCOMPARE(f.panel(), (QStringList{u"沖縄"_s, u"0"_s, u"4000"_s, u"検査花子"_s, u"ケンサハナコ"_s, u""_s,
                                     u"1980"_s, u"2"_s, u"29"_s, u"B"_s}));
    QCOMPARE(f.form->focusWidget(), f.child<QWidget>(QStringLiteral("ComboSyozoku")));
    f.pick(4001);
    QCOMPARE(f.panel(), (QStringList{u"沖縄"_s, u"85"_s, u"4001"_s, u"見本一"_s, u"みほんはじめ"_s, u"A1"_s,
                                     u"1965"_s, u"12"_s, u"31"_s, u"AB"_s}));
}

void SensyuFormTest::enterChain() {
    Fixture f;
    f.open();
    const QStringList chain{u"ComboSyozoku"_s, u"Ki"_s,     u"Toban"_s,   u"Namae"_s, u"Yomigana"_s,
                            u"Kyu"_s,          u"Seinen"_s, u"Seituki"_s, u"Seihi"_s, u"ComboBladtype"_s,
                            u"ComboSyozoku"_s};
    f.child<QWidget>(chain.first())->setFocus();
    for (int i = 1; i < chain.size(); ++i) {
        QWidget* from = f.form->focusWidget();
        auto* box = qobject_cast<QComboBox*>(from);
        QTest::keyClick(box ? static_cast<QWidget*>(box->lineEdit()) : from, Qt::Key_Return);
        QCOMPARE(f.form->focusWidget()->objectName(), chain.at(i));
    }
    // Choosing an entry moves on too: the affiliation to the term, the blood type back to the affiliation.
    f.choose(QStringLiteral("ComboSyozoku"), QStringLiteral("東京"));
    QCOMPARE(f.form->focusWidget()->objectName(), QStringLiteral("Ki"));
    f.choose(QStringLiteral("ComboBladtype"), QStringLiteral("O"));
    QCOMPARE(f.form->focusWidget()->objectName(), QStringLiteral("ComboSyozoku"));
}

void SensyuFormTest::updateRenumbers() {
    Fixture f;
    f.open();
    f.form->Kenmei_Click(47);
    f.pick(4000);
    f.fill({u"青森"_s, u"90"_s, u"4100"_s, u"検査花子"_s, u"ハナコ"_s, u"A3"_s, u"1980"_s, u"2"_s, u"29"_s,
            u"AB"_s});
    f.tc.dialogs.answerNo();
    f.form->CommandDisp_Click(1);
    QCOMPARE(f.stored(4000).value(0), QStringLiteral("47"));
    f.tc.dialogs.answerYes();
    f.child<QAction>(QStringLiteral("Menu_Ment(0)"))->trigger();
    QCOMPARE(f.tc.dialogs.shown().last().text,
             QStringLiteral("4000 検査花子　選手の内容を更新しますか。\r\n"));
    QCOMPARE(f.tc.dialogs.shown().last().title, QStringLiteral("選手テーブル更新"));
    QVERIFY(f.stored(4000).isEmpty());
    QCOMPARE(f.stored(4100), (QStringList{u"2"_s, u"90"_s, u"検査花子"_s, u"ハナコ"_s, u"ハ"_s, u"A3"_s,
                                          u"1980"_s, u"2"_s, u"29"_s, u"4"_s}));
    // The list keeps its old line until the next search. Its number finds nobody now, so neither the
    // panel nor a delete may fall on the racer the view happens to stand on.
    QCOMPARE(f.lines().first(), line4000);
    f.list1()->setCurrentRow(-1);
    f.pick(4000);
    const QString gone = QStringLiteral("登番 4000 の選手は見つかりません。\r\n検索し直して下さい。");
    QCOMPARE(f.tc.dialogs.lastText(), gone);
    const qsizetype boxes = f.tc.dialogs.shown().size();
    const QStringList racers = f.sql(QStringLiteral("SELECT COUNT(*) FROM T_選手"));
    f.form->CommandDisp_Click(3);
    QCOMPARE(f.tc.dialogs.shown().size(), boxes + 1);
    QCOMPARE(f.tc.dialogs.lastText(), gone);
    QCOMPARE(f.sql(QStringLiteral("SELECT COUNT(*) FROM T_選手")), racers);
    // The new number is found, the old one not.
    f.form->Kenmei_Click(2);
    QCOMPARE(f.lines().first(), QStringLiteral("青森    4100  90  検査花子"));
    f.choose(QStringLiteral("ComboToban"), QStringLiteral("4000"));
    QCOMPARE(f.tc.dialogs.lastText(), QStringLiteral("該当レコードがありません"));
}

void SensyuFormTest::addWith1234() {
    Fixture f;
    f.open();
    f.fill({u"東京"_s, u"70"_s, u"1234"_s, u"追加次郎"_s, u"ツイカジロウ"_s, u"S2"_s, u"1975"_s, u"7"_s,
            u"7"_s, u"A"_s});
    f.tc.dialogs.answerYes();
    f.form->CommandDisp_Click(2);
    QCOMPARE(f.tc.dialogs.shown().size(), 1);
    QCOMPARE(f.tc.dialogs.shown().first().text, QStringLiteral("選手テーブルを追加しますか。\r\n"));
    QCOMPARE(f.tc.dialogs.shown().first().title, QStringLiteral("選手テーブル追加"));
    QCOMPARE(f.stored(1234), (QStringList{u"12"_s, u"70"_s, u"追加次郎"_s, u"ツイカジロウ"_s, u"ツ"_s,
                                          u"S2"_s, u"1975"_s, u"7"_s, u"7"_s, u"1"_s}));
    // The new racer is listed and selected, so that an update or delete acts on him.
    QCOMPARE(f.lines(), QStringList{QStringLiteral("東京    1234  70  追加次郎")});
    QCOMPARE(f.list1()->currentRow(), 0);
    f.form->Kenmei_Click(12);
    QCOMPARE(f.lines().first(), QStringLiteral("東京    1234  70  追加次郎"));
    // The same number again is the store's duplicate key, shown by the common trap.
    f.tc.dialogs.answerYes();
    f.form->CommandDisp_Click(2);
    QVERIFY(f.tc.dialogs.lastText().startsWith(QStringLiteral("エラー番号  3022")));
}

void SensyuFormTest::addRefusedInExtractionMode() {
    Fixture f(1);
    f.open();
    f.fill({u"東京"_s, u"70"_s, u"1234"_s, u"追加次郎"_s, u"ツイカジロウ"_s, u"S2"_s, u"1975"_s, u"7"_s,
            u"7"_s, u"A"_s});
    f.form->CommandDisp_Click(2);
    QCOMPARE(f.tc.dialogs.shown().size(), 1);
    QCOMPARE(f.tc.dialogs.shown().first().kind, ShownBox::Kind::Critical);
    QCOMPARE(f.tc.dialogs.shown().first().text,
             QStringLiteral("抽出テーブルの場合は追加処理は選択出来ません\r\n"));
    QCOMPARE(f.tc.dialogs.shown().first().title, QStringLiteral("抽出テーブル追加処理選択エラー"));
    QVERIFY(f.stored(1234).isEmpty());
}

void SensyuFormTest::noLineSelected_data() {
    QTest::addColumn<int>("command");
    QTest::newRow("update") << 1;
    QTest::newRow("delete") << 3;
}

void SensyuFormTest::noLineSelected() {
    QFETCH(int, command);
    Fixture f;
    f.open();
    f.form->Kenmei_Click(47);
    f.fill({u"東京"_s, u"70"_s, u"4000"_s, u"追加次郎"_s, u"ツイカジロウ"_s, u"S2"_s, u"1975"_s, u"7"_s,
            u"7"_s, u"A"_s});
    f.form->CommandDisp_Click(command);
    QCOMPARE(f.tc.dialogs.shown().size(), 1);
    QCOMPARE(f.tc.dialogs.shown().first().kind, ShownBox::Kind::Critical);
    QCOMPARE(f.tc.dialogs.shown().first().text, QStringLiteral("レコードを選択してから実行して下さい。\r\n"));
    QCOMPARE(f.tc.dialogs.shown().first().title, QStringLiteral("レコード未選択エラー"));
    QCOMPARE(f.stored(4000).value(2), QStringLiteral("検査花子"));
}

void SensyuFormTest::panelRefused_data() {
    QTest::addColumn<int>("command");
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QStringList>("boxes"); // title, or text for plain boxes
    for (const int command : {1, 2}) {
        const char* what = command == 1 ? "update" : "add";
        QTest::addRow("%s: unknown affiliation", what)
            << command << 0 << u"東京都"_s << QStringList{u"所属テーブルなし"_s};
        QTest::addRow("%s: unknown blood type", what)
            << command << 9 << u"C"_s << QStringList{u"血液型テーブルなし"_s};
        QTest::addRow("%s: both unknown", what)
            << command << -1 << u""_s << QStringList{u"所属テーブルなし"_s};
        // An empty name meets the first unused cache slot: ID 0, no message.
        QTest::addRow("%s: empty affiliation", what) << command << 0 << u""_s << QStringList{};
        QTest::addRow("%s: empty number", what) << command << 2 << u""_s << QStringList{u"登番入力エラー"_s};
        QTest::addRow("%s: letters for a number", what)
            << command << 2 << u"abc"_s << QStringList{u"登番入力エラー"_s};
        QTest::addRow("%s: number 0", what) << command << 2 << u"0"_s << QStringList{u"登番入力エラー"_s};
        // The window names the field by its own label.
        QTest::addRow("%s: empty reading", what)
            << command << 4 << u""_s << QStringList{u"ﾖﾐｶﾞﾅ入力エラー"_s};
        QTest::addRow("%s: letters for a year", what)
            << command << 6 << u"abc"_s << QStringList{u"生年入力エラー"_s};
        QTest::addRow("%s: 30 February", what) << command << 7 << u"2"_s << QStringList{u"生日入力エラー"_s};
    }
}

void SensyuFormTest::panelRefused() {
    QFETCH(int, command);
    QFETCH(int, field);
    QFETCH(QString, value);
    QFETCH(QStringList, boxes);
    Fixture f;
    f.open();
    f.form->Kenmei_Click(47);
    f.pick(4000);
    QStringList values{u"東京"_s, u"70"_s,   u"4200"_s, u"試験次郎"_s, u"シケンジロウ"_s,
                       u"S2"_s,   u"1975"_s, u"7"_s,    u"30"_s,       u"A"_s};
    if (field >= 0)
        values[field] = value;
    else
        values = QStringList{u"東京都"_s} + values.mid(1, 8) + QStringList{u"C"_s};
    f.fill(values);
    const int racers = f.sql(QStringLiteral("SELECT COUNT(*) FROM T_選手")).value(0).toInt();
    f.tc.dialogs.answerYes();
    f.form->CommandDisp_Click(command);
    QStringList shown;
    for (const ShownBox& box : f.tc.dialogs.shown().mid(1))
        shown << (box.title.isEmpty() ? box.text : box.title);
    QCOMPARE(shown, boxes);
    QCOMPARE(f.stored(4000), (QStringList{u"47"_s, u""_s, u"検査花子"_s, u"ケンサハナコ"_s, u"ケ"_s, u""_s,
                                          u"1980"_s, u"2"_s, u"29"_s, u"2"_s}));
    QCOMPARE(f.sql(QStringLiteral("SELECT COUNT(*) FROM T_選手")).value(0).toInt(), racers);
}

// An update leaves what the user did not edit as stored, an unknown term and grade included; a click
// on the selected line drops the edits; an add leaves the window on the new racer, so that the update
// that follows corrects him and not the racer selected before.
void SensyuFormTest::standsOnWhatItStored() {
    Fixture f;
    f.open();
    f.form->Kenmei_Click(47);
    f.pick(4000);
    f.tc.dialogs.answerYes();
    f.form->CommandDisp_Click(1);
    QCOMPARE(f.tc.dialogs.shown().size(), 1);
    QCOMPARE(f.sql(u"SELECT typeof(期) || ' ' || typeof(級) FROM T_選手 WHERE 選手ID = 4000"_s),
             QStringList{u"null null"_s});

    f.child<QLineEdit>(u"Namae"_s)->setText(u"書き換え"_s);
    QListWidget* list = f.list1();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->currentItem()).center());
    QCOMPARE(f.panel().at(3), u"検査花子"_s);

    f.fill({u"東京"_s, u"70"_s, u"４３００"_s, u" 追加次郎 "_s, u"ツイカジロウ"_s, u"S2"_s, u"1975"_s, u"7"_s,
            u"7"_s, u"A"_s});
    f.tc.dialogs.answerYes();
    f.form->CommandDisp_Click(2);
    QCOMPARE(f.lines().last(), u"東京    4300  70  追加次郎"_s);
    QCOMPARE(f.list1()->currentRow(), f.lines().size() - 1);
    QCOMPARE(f.panel().at(2), u"4300"_s);
    f.child<QLineEdit>(u"Namae"_s)->setText(u"追加訂正"_s);
    f.tc.dialogs.answerYes();
    f.form->CommandDisp_Click(1);
    QCOMPARE(f.tc.dialogs.shown().last().text, u"4300 追加次郎　選手の内容を更新しますか。\r\n"_s);
    QCOMPARE(f.stored(4300).value(2), u"追加訂正"_s);
    QCOMPARE(f.stored(4000).value(2), u"検査花子"_s);
}

void SensyuFormTest::deleteInBothModes() {
    const QString other = column(testsupport::copyOfProgramDir().database(),
                                 QStringLiteral("SELECT MAX(選手ID) FROM T_選手 WHERE 所属ID = 47"))
                              .first();
    {
        Fixture f(0, {QStringLiteral("INSERT INTO T_選手抽出 VALUES (4000)")});
        f.open();
        f.form->Kenmei_Click(47);
        const int listed = int(f.lines().size());
        f.pick(4000);
        f.tc.dialogs.answerYes();
        f.child<QAction>(QStringLiteral("Menu_Ment(2)"))->trigger();
        QCOMPARE(f.tc.dialogs.shown().first().text,
                 QStringLiteral("4000 検査花子　選手を削除しますか。\r\n"));
        QCOMPARE(f.tc.dialogs.shown().first().title, QStringLiteral("選手テーブル削除"));
        QVERIFY(f.stored(4000).isEmpty());
        // His pick goes with him: a pick of nobody could not be seen, yet would count against the list.
        QCOMPARE(f.sql(u"SELECT COUNT(*) FROM T_選手抽出"_s), QStringList{u"0"_s});
        // The last search is made again: one line fewer, without 4000.
        QCOMPARE(f.lines().size(), listed - 1);
        QVERIFY(!f.form->listRacerIds().contains(qint16(4000)));
    }
    Fixture f(1, {QStringLiteral("INSERT INTO T_選手抽出 VALUES (4000), (%1)").arg(other)});
    f.open();
    f.form->Command500_Click();
    QCOMPARE(f.lines().first(), line4000);
    f.pick(4000);
    f.tc.dialogs.answerYes();
    f.form->CommandDisp_Click(3);
    QCOMPARE(
        f.tc.dialogs.shown().first().text,
        QStringLiteral(
            "4000 検査花子　選手を削除しますか。\r\n\r\n（選手テーブル自体は削除されません。）\r\n\r\n"));
    QCOMPARE(f.tc.dialogs.shown().first().title, QStringLiteral("選手抽出テーブル削除"));
    QCOMPARE(f.sql(QStringLiteral("SELECT 選手ID FROM T_選手抽出")), QStringList{other});
    QCOMPARE(f.form->listRacerIds(), QList<qint16>{qint16(other.toInt())});
    // The racer himself stays: back in the normal table, the prefecture search finds him.
    f.form->CommandDisp_Click(5);
    f.form->Kenmei_Click(47);
    QCOMPARE(f.lines().first(), line4000);
}

void SensyuFormTest::deleteAll_data() {
    QTest::addColumn<QString>("search"); // empty: nothing listed
    QTest::addColumn<bool>("dropOneFirst");
    QTest::newRow("empty list") << QString() << false;
    QTest::newRow("listed Okinawa racers") << u"Kenmei(47)"_s << false;
    QTest::newRow("a listed racer already gone") << u"Kenmei(47)"_s << true;
    QTest::newRow("whole list") << u"Command500"_s << false;
}

// The extraction list holds 4000, four more Okinawa racers and three of Hokkaido.
void SensyuFormTest::deleteAll() {
    QFETCH(QString, search);
    QFETCH(bool, dropOneFirst);
    const testsupport::ProgramDir seedDir = testsupport::copyOfProgramDir();
    const QString seed = seedDir.database();
    const QStringList okinawa =
        column(seed, u"SELECT 選手ID FROM T_選手 WHERE 所属ID = 47 ORDER BY 選手ID LIMIT 4"_s);
    const QStringList hokkaido =
        column(seed, u"SELECT 選手ID FROM T_選手 WHERE 所属ID = 1 ORDER BY 選手ID LIMIT 3"_s);
    Fixture f(
        1, {QStringLiteral("INSERT INTO T_選手抽出 SELECT 選手ID FROM T_選手 WHERE 選手ID IN (4000, %1, %2)")
                .arg(okinawa.join(u','), hokkaido.join(u','))});
    f.open();
    if (!search.isEmpty())
        testsupport::click(f.form.get(), search);
    if (dropOneFirst)
        f.run({QStringLiteral("DELETE FROM T_選手抽出 WHERE 選手ID = %1").arg(okinawa.at(1))});
    const int racers = f.sql(QStringLiteral("SELECT COUNT(*) FROM T_選手")).value(0).toInt();
    f.tc.dialogs.answerYes();
    // In extraction mode the second menu entry clears the list as the button does.
    if (search == QStringLiteral("Command500"))
        f.child<QAction>(QStringLiteral("Menu_Ment(1)"))->trigger();
    else
        testsupport::click(f.form.get(), u"CommandDisp(8)");
    const ShownBox& box = f.tc.dialogs.shown().last();
    if (search.isEmpty()) {
        QCOMPARE(box.kind, ShownBox::Kind::Critical);
        QCOMPARE(box.text, QStringLiteral("削除したいレコードをリストに表示させてから実行して下さい。\r\n"));
        QCOMPARE(box.title, QStringLiteral("抽出テーブル全削除エラー"));
        QCOMPARE(f.sql(QStringLiteral("SELECT COUNT(*) FROM T_選手抽出")).value(0).toInt(), 8);
        f.tc.dialogs.answer(Dialogs::Answer::No); // unused
        return;
    }
    QCOMPARE(box.text, QStringLiteral("リストに表示されている選手抽出テーブルのデータを全て削除します。\r\n"
                                      "（選手テーブル自体は削除されません。）\r\n\r\n実行しますか。"));
    QCOMPARE(box.title, QStringLiteral("選手抽出テーブル削除"));
    const QStringList left = f.sql(QStringLiteral("SELECT 選手ID FROM T_選手抽出 ORDER BY 選手ID"));
    QCOMPARE(left, search == QStringLiteral("Command500") ? QStringList{} : hokkaido);
    QCOMPARE(f.sql(QStringLiteral("SELECT COUNT(*) FROM T_選手")).value(0).toInt(), racers);
    QVERIFY(f.lines().isEmpty());
}

// The report follows the last search of an earlier opening; the number report takes the picker's text.
void SensyuFormTest::reportFollowsTheLastSearch() {
    Fixture f;
    f.open();
    f.child<QCheckBox>(QStringLiteral("CheckSelect"))->setChecked(true);
    f.form->Kenmei_Click(47); // nothing listed: no term chosen yet
    f.form->close();
    f.open();
    f.tc.dialogs.clear();
    f.tc.dialogs.answerYes();
    f.form->CommandDisp_Click(4);
    QCOMPARE(f.tc.printer.jobCount(), 1);
    const int okinawa =
        f.sql(QStringLiteral("SELECT COUNT(*) FROM T_選手 WHERE 所属ID = 47")).value(0).toInt();
    QCOMPARE(f.tc.printer.pageText(0).size(), 4 + std::min(okinawa, 61));
    QVERIFY(f.tc.printer.pageText(0).first().startsWith(QStringLiteral("          出身地　沖縄")));

    // A list of the extraction table reopened in extraction mode still lists that table alone.
    f.run({QStringLiteral("INSERT INTO T_選手抽出 VALUES (4000)")});
    f.form->CommandDisp_Click(5);
    f.form->Command500_Click();
    f.form->close();
    f.open();
    f.tc.dialogs.answerYes();
    f.form->CommandDisp_Click(4);
    QCOMPARE(f.tc.printer.jobCount(), 2);
    QCOMPARE(f.tc.printer.pageText(1).size(), 5);
    QCOMPARE(f.tc.printer.pageText(1).at(4).left(17), QStringLiteral("             4000"));

    f.choose(QStringLiteral("ComboToban"), QStringLiteral("4000"));
    f.child<QComboBox>(QStringLiteral("ComboToban"))->setCurrentIndex(-1);
    f.tc.dialogs.answerYes();
    f.form->CommandDisp_Click(4);
    QCOMPARE(f.tc.dialogs.lastText(), QStringLiteral("該当レコードがありません"));
    QCOMPARE(f.tc.printer.jobCount(), 2);
}

void SensyuFormTest::toolsAndClose() {
    Fixture f;
    f.open();
    f.form->CommandDisp_Click(6);
    QCOMPARE(f.tc.help.shownCount(), 1);
    f.form->CommandDisp_Click(7);
    QCOMPARE(f.tc.dialogs.shown().last().title, QStringLiteral("コルヴァン  Ver2.10"));
    f.form->CommandDisp_Click(0);
    QCOMPARE(f.tc.navigator.closedWindows(), QList<WindowId>{WindowId::SensyuForm});
    QVERIFY(!f.form->isVisible());
}

namespace {

void processDeletes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

// From the main menu and back, in the program's own window table; the race selection sees the changes.
void SensyuFormTest::fromTheMainMenu() {
    TestContext t;
    testsupport::ProgramDir dir = testsupport::copyOfProgramDir();
    t.state.appPath = dir.path;
    AppNavigator navigator{[] {}};
    AppContext ctx{t.state, t.dialogs, t.clock, t.random, t.help, navigator, t.printer};
    RacerSearchChoices choices;
    registerWindows(navigator, ctx, choices);
    testsupport::fillAllSlots(t.state);
    const PersonSlot slot6 = t.state.selectedPersons[6];
    navigator.open(WindowId::MainForm);
    auto* menu = qobject_cast<MainForm*>(navigator.window(WindowId::MainForm));
    QVERIFY(testsupport::child(menu, u"CommandSelect(3)")->isEnabled());
    QVERIFY(testsupport::action(menu, u"Menu_Sensyu")->isEnabled());
    testsupport::click(menu, u"CommandSelect(3)");
    processDeletes();
    auto* master = qobject_cast<SensyuForm*>(navigator.window(WindowId::SensyuForm));
    QVERIFY(master && master->isVisible());
    QVERIFY(!navigator.window(WindowId::MainForm));
    // Slots 0..5 are cleared (their racer IDs stay), slot 6 keeps its person.
    QCOMPARE(testsupport::slotText(t.state.selectedPersons[5]),
             testsupport::slotText(testsupport::clearedSlot(1005)));
    QCOMPARE(testsupport::slotText(t.state.selectedPersons[6]), testsupport::slotText(slot6));

    // Add 1234 of Tokyo and delete the first Tokyo racer of the seed.
    master->Kenmei_Click(12);
    const qint16 gone = master->listRacerIds().first();
    master->findChild<QListWidget*>(QStringLiteral("List1"))->setCurrentRow(0);
    t.dialogs.answerYes();
    master->CommandDisp_Click(3);
    master->findChild<QLineEdit*>(QStringLiteral("Toban"))->setText(QStringLiteral("1234"));
    t.dialogs.answerYes();
    master->CommandDisp_Click(2);
    master->CommandDisp_Click(0);
    processDeletes();
    QVERIFY(!navigator.window(WindowId::SensyuForm));
    menu = qobject_cast<MainForm*>(navigator.window(WindowId::MainForm));
    QVERIFY(menu && menu->isVisible());

    menu->CommandSelect_Click(MainForm::Select);
    processDeletes();
    auto* select = qobject_cast<SelectForm*>(navigator.window(WindowId::SelectForm));
    QVERIFY(select);
    select->Kenmei_Click(12);
    const QList<PersonSlot> rows = select->searchResults().rows;
    QCOMPARE(rows.first().racerId, qint16(1234));
    QVERIFY(
        std::none_of(rows.begin(), rows.end(), [gone](const PersonSlot& r) { return r.racerId == gone; }));
    QVERIFY(t.dialogs.allAnswersUsed());
}

void SensyuFormTest::screenshots() {
    {
        Fixture f;
        f.open();
        f.form->Kenmei_Click(47);
        f.pick(4000);
        QVERIFY(QTest::qWaitForWindowExposed(f.form.get()));
        testsupport::saveScreenshot(f.form.get(), QStringLiteral("SensyuForm"));
    }
    Fixture f(1, {QStringLiteral(
                     "INSERT INTO T_選手抽出 SELECT 選手ID FROM T_選手 WHERE 選手ID % 23 = 0 LIMIT 30")});
    f.open();
    testsupport::click(f.form.get(), u"Command500");
    QCOMPARE(f.lines().size(), 30);
    QVERIFY(QTest::qWaitForWindowExposed(f.form.get()));
    testsupport::saveScreenshot(f.form.get(), QStringLiteral("SensyuForm-extraction"));
}

QTEST_MAIN(SensyuFormTest)
#include "SensyuFormTest.moc"
