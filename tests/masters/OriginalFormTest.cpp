#include "masters/OriginalForm.h"
#include "app/AppNavigator.h"
#include "biorhythm/Bior2Form.h"
#include "mainmenu/SalesForm.h"
#include "shell/ReportPrinter.h"
#include "store/Database.h"
#include "store/Recordset.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QComboBox>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QTest>

Q_DECLARE_METATYPE(SurveyDate)

using namespace Qt::StringLiterals;

namespace {

// 名前, 生年, 生月, 生日 of every stored person, in table order.
QList<QStringList> storedRoster(const QString& path) {
    Database db(path);
    auto set = db.openRecordset(QStringLiteral("T_個別名簿"));
    QList<QStringList> rows;
    for (; !set->eof(); set->moveNext()) {
        QStringList row;
        for (const char16_t* field : {u"名前", u"生年", u"生月", u"生日"})
            row << set->field(QString::fromUtf16(field)).toString();
        rows << row;
    }
    set->close();
    db.close();
    return rows;
}

// Appends persons; with clearFirst the roster is emptied before.
void changeRoster(const QString& path, const QList<QStringList>& persons, bool clearFirst = false) {
    Database db(path);
    auto set = db.openRecordset(QStringLiteral("T_個別名簿"));
    while (clearFirst && !set->eof()) {
        set->deleteCurrent();
        set->moveNext();
    }
    for (const QStringList& p : persons) {
        set->addNew();
        set->setField(QStringLiteral("名前"), p.at(0));
        set->setField(QStringLiteral("生年"), p.at(1));
        set->setField(QStringLiteral("生月"), p.at(2));
        set->setField(QStringLiteral("生日"), p.at(3));
        set->update();
    }
    set->close();
    db.close();
}

QString spaces(int n) {
    return QString(n, QLatin1Char(' '));
}

// The title (seven full-width characters) from cell 30, the page number in print style from cell 60.
QString pageHead(int page) {
    return spaces(30) + QStringLiteral("個別名簿一覧表") + spaces(16) + QStringLiteral(" %1").arg(page);
}

const QString Headings = spaces(10) + QStringLiteral("名前") + spaces(10) + QStringLiteral("生年") +
                         spaces(2) + QStringLiteral("生月") + spaces(2) + QStringLiteral("生日");
const QString First = QStringLiteral("先頭レコードです。");
const QString Last = QStringLiteral("最終レコードです。");
const QString Empty = QStringLiteral("レコードがありません");

} // namespace

class OriginalFormTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { testsupport::initGui(); }
    void init();
    void cleanup();

    void layout();
    void pickers_data();
    void pickers();
    void surveyPickers_data();
    void surveyPickers();
    void moves_data();
    void moves();
    void updateAddDelete();
    void refusedValues_data();
    void refusedValues();
    void keptAndFollowed();
    void noChangesOnNo_data();
    void noChangesOnNo();
    void emptyTable();
    void chartAndIntroduction();
    void report();
    void reportTwoPages();
    void reportNameCuts_data();
    void reportNameCuts();
    void reportWithoutPersons();
    void failingPrinter();
    void reportOnPaper();

private:
    std::unique_ptr<OriginalForm> openForm() { return std::make_unique<OriginalForm>(m_t->context); }
    static void press(OriginalForm& form, int index) {
        form.findChild<QPushButton*>(QStringLiteral("CommandDB(%1)").arg(index))->click();
    }
    template <typename T> static T* control(QWidget& form, const char* name) {
        return form.findChild<T*>(QString::fromLatin1(name));
    }
    static QStringList shown(OriginalForm& form) {
        return {control<QLineEdit>(form, "TextNamae")->text(),
                control<QComboBox>(form, "ComboNen")->currentText(),
                control<QComboBox>(form, "ComboTuki")->currentText(),
                control<QComboBox>(form, "ComboHi")->currentText()};
    }
    static QString recordNo(OriginalForm& form) { return control<QLineEdit>(form, "RecordNo")->text(); }
    static void pick(OriginalForm& form, const char* box, const QString& text) {
        auto* combo = control<QComboBox>(form, box);
        const int index = combo->findText(text);
        QVERIFY2(index >= 0, qPrintable(text));
        combo->setCurrentIndex(index);
        emit combo->activated(index);
    }

    std::unique_ptr<TestContext> m_t;
    testsupport::ProgramDir m_dir;
    const QList<QStringList> m_seed = {{QStringLiteral("見本　一郎"), QStringLiteral("1965 (昭和40)"),
                                        QStringLiteral("4"), QStringLiteral("10")},
                                       {QStringLiteral("見本　花子"), QStringLiteral("1972 (昭和47)"),
                                        QStringLiteral("11"), QStringLiteral("3")},
                                       {QStringLiteral("見本　次郎"), QStringLiteral("1990 (平成2)"),
                                        QStringLiteral("2"), QStringLiteral("28")}};
};

void OriginalFormTest::init() {
    m_t = std::make_unique<TestContext>();
    m_dir = testsupport::copyOfProgramDir();
    m_t->state.appPath = m_dir.path;
    m_t->clock.set(QDate(2026, 5, 17));
    QCOMPARE(storedRoster(m_dir.database()), m_seed);
}

void OriginalFormTest::cleanup() {
    if (m_t) {
        QCOMPARE(m_t->dialogs.unansweredQuestions(), 0);
        QVERIFY(m_t->dialogs.allAnswersUsed());
    }
    m_t.reset();
    m_dir = {};
}

void OriginalFormTest::layout() {
    auto form = openForm();
    QCOMPARE(form->windowTitle(), QStringLiteral("個別調査"));
    QCOMPARE(form->centralWidget()->size(), QSize(632, 434));
    const QList<QPair<const char*, QRect>> expected = {
        {"PictureWaku", QRect(16, 8, 600, 410)},       {"PictureChoNen", QRect(24, 32, 193, 65)},
        {"LabelChoNen", QRect(8, 8, 97, 17)},          {"LabelYMD(0)", QRect(56, 32, 17, 17)},
        {"LabelYMD(2)", QRect(168, 32, 17, 17)},       {"PictureCommand", QRect(240, 32, 330, 65)},
        {"CommandDB(4)", QRect(16, 16, 73, 33)},       {"CommandDB(7)", QRect(232, 16, 73, 33)},
        {"PictureMain", QRect(24, 120, 545, 265)},     {"CommandDB(0)", QRect(0, 0, 73, 33)},
        {"CommandDB(3)", QRect(216, 0, 73, 33)},       {"LabelCommand", QRect(288, 0, 49, 31)},
        {"RecordNo", QRect(336, 0, 105, 31)},          {"PictureSelect", QRect(50, 30, 440, 205)},
        {"LabelSeiNen(0)", QRect(64, 48, 67, 33)},     {"LabelSeiNen(3)", QRect(64, 168, 67, 33)},
        {"TextNamae", QRect(152, 48, 173, 28)},        {"LabelSeiNenYMD(0)", QRect(344, 88, 67, 33)},
        {"LabelSeiNenYMD(2)", QRect(344, 168, 67, 33)}};
    for (const auto& [name, rect] : expected) {
        auto* w = control<QWidget>(*form, name);
        QVERIFY2(w, name);
        QCOMPARE(w->geometry(), rect);
    }
    const QList<std::tuple<const char*, QPoint, int>> pickers = {
        {"ComboChoNen", QPoint(8, 24), 49},  {"ComboChoTuki", QPoint(72, 24), 41},
        {"ComboChoHi", QPoint(128, 24), 41}, {"ComboNen", QPoint(152, 88), 173},
        {"ComboTuki", QPoint(256, 128), 67}, {"ComboHi", QPoint(256, 168), 67}};
    for (const auto& [name, position, width] : pickers) {
        auto* box = control<QComboBox>(*form, name);
        QCOMPARE(box->pos(), position);
        QCOMPARE(box->width(), width);
        QCOMPARE(QFontInfo(box->font()).family(), QStringLiteral("IPAPGothic"));
    }
    QCOMPARE(control<QLabel>(*form, "LabelChoNen")->text(), QStringLiteral("調査年月日"));
    QCOMPARE(control<QLabel>(*form, "LabelCommand")->text(), QStringLiteral("RecNo."));
    QCOMPARE(control<QLabel>(*form, "LabelSeiNen(2)")->text(), QStringLiteral("生月"));

    QStringList menus;
    for (QAction* a : form->menuBar()->actions())
        menus << a->text();
    QCOMPARE(menus, QStringList({QStringLiteral("終了(&X)"), QStringLiteral("ﾊﾞｲｵﾘｽﾞﾑ(&B)"),
                                 QStringLiteral("更新(&E)"), QStringLiteral("追加(&A)"),
                                 QStringLiteral("削除(&D)"), QStringLiteral("印刷(&P)"),
                                 QStringLiteral("ﾌｧｲﾙ(&F)"), QStringLiteral("ﾍﾙﾌﾟ(&H)")}));
    QStringList help;
    for (QAction* a : control<QMenu>(*form, "Menu_Help")->actions())
        help << a->text();
    QCOMPARE(help, QStringList({QStringLiteral("ﾍﾙﾌﾟ(&H)"), QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報(&A)"),
                                QStringLiteral("ｿﾌﾄ紹介(&S&&ﾄ)")}));
    control<QAction>(*form, "Menu_Help_About")->trigger();
    QCOMPARE(m_t->dialogs.shown().last().title, QStringLiteral("コルヴァン  Ver2.10"));

    QCOMPARE(shown(*form), m_seed.at(0));
    QCOMPARE(recordNo(*form), QStringLiteral("1"));
    form->show();
    testsupport::saveScreenshot(form.get(), QStringLiteral("OriginalForm"));
}

void OriginalFormTest::pickers_data() {
    QTest::addColumn<QDate>("today");
    QTest::addColumn<QStringList>("surveyYears");
    QTest::addColumn<QList<int>>("birthIndexes");
    QTest::addColumn<QStringList>("birthYears");
    QTest::newRow("2026") << QDate(2026, 5, 17)
                          << QStringList({QStringLiteral("2026"), QStringLiteral("2027"),
                                          QStringLiteral("2028"), QStringLiteral("2029"),
                                          QStringLiteral("2030")})
                          << QList<int>{0, 22, 23, 52, 53, 60}
                          << QStringList({QStringLiteral("1966 (昭和41)"), QStringLiteral("1988 (昭和63)"),
                                          QStringLiteral("1989 (平成1)"), QStringLiteral("2018 (平成30)"),
                                          QStringLiteral("2019 (令和1)"), QStringLiteral("2026 (令和8)")});
    QTest::newRow("1999") << QDate(1999, 12, 31)
                          << QStringList({QStringLiteral("1999"), QStringLiteral("2000"),
                                          QStringLiteral("2001"), QStringLiteral("2002"),
                                          QStringLiteral("2003")})
                          << QList<int>{0, 49, 50, 60}
                          << QStringList({QStringLiteral("1939 (昭和14)"), QStringLiteral("1988 (昭和63)"),
                                          QStringLiteral("1989 (平成1)"), QStringLiteral("1999 (平成11)")});
}

void OriginalFormTest::pickers() {
    QFETCH(QDate, today);
    QFETCH(QStringList, surveyYears);
    QFETCH(QList<int>, birthIndexes);
    QFETCH(QStringList, birthYears);
    m_t->clock.set(today);
    m_t->state.surveyDate = SurveyDate{1998, 1, 2};
    auto form = openForm();
    const auto items = [&](const char* name) {
        QStringList texts;
        auto* box = control<QComboBox>(*form, name);
        for (int i = 0; i < box->count(); ++i)
            texts << box->itemText(i);
        return texts;
    };
    QCOMPARE(items("ComboChoNen"), surveyYears);
    QCOMPARE(items("ComboChoTuki").size(), 12);
    QCOMPARE(items("ComboChoHi").size(), 31);
    QCOMPARE(items("ComboChoHi").last(), QStringLiteral("31"));
    QCOMPARE(control<QComboBox>(*form, "ComboChoNen")->currentText(), QString::number(today.year()));
    QCOMPARE(control<QComboBox>(*form, "ComboChoTuki")->currentText(), QString::number(today.month()));
    QCOMPARE(control<QComboBox>(*form, "ComboChoHi")->currentText(), QString::number(today.day()));
    QCOMPARE(m_t->state.surveyDate,
             (SurveyDate{qint16(today.year()), qint16(today.month()), qint16(today.day())}));

    const QStringList years = items("ComboNen");
    QCOMPARE(years.size(), 61);
    QStringList picked;
    for (int index : birthIndexes)
        picked << years.at(index);
    QCOMPARE(picked, birthYears);
    QCOMPARE(items("ComboTuki"), items("ComboChoTuki"));
    QCOMPARE(items("ComboHi"), items("ComboChoHi"));
    QVERIFY(m_t->dialogs.shown().isEmpty());
}

void OriginalFormTest::surveyPickers_data() {
    QTest::addColumn<QDate>("today");
    // "Box=text" types the text key by key; "Box#n" picks list entry n; "Box^" is the down-arrow key.
    QTest::addColumn<QStringList>("actions");
    QTest::addColumn<SurveyDate>("date");
    QTest::addColumn<QStringList>("messages");
    const QString badDay = QStringLiteral("日が正しくありません");
    QTest::newRow("29 February 2000") << QDate(2000, 2, 10) << QStringList{QStringLiteral("ComboChoHi=29")}
                                      << SurveyDate{2000, 2, 29} << QStringList();
    QTest::newRow("30 February 2000") << QDate(2000, 2, 10) << QStringList{QStringLiteral("ComboChoHi=30")}
                                      << SurveyDate{2000, 2, 30} << QStringList{badDay};
    QTest::newRow("a later year with 29 February")
        << QDate(2000, 2, 29) << QStringList{QStringLiteral("ComboChoNen#1")} << SurveyDate{2001, 2, 29}
        << QStringList{badDay};
    QTest::newRow("April after the 31st")
        << QDate(2026, 3, 31)
        << QStringList{QStringLiteral("ComboChoTuki#3"), QStringLiteral("ComboChoTuki#4")}
        << SurveyDate{2026, 5, 31} << QStringList{badDay};
    QTest::newRow("month 13") << QDate(2026, 3, 1) << QStringList{QStringLiteral("ComboChoTuki=13")}
                              << SurveyDate{2026, 13, 1}
                              << QStringList{QStringLiteral("月が正しくありません")};
    QTest::newRow("arrow key through the end of February, one warning a day")
        << QDate(2000, 2, 28)
        << QStringList{QStringLiteral("ComboChoHi^"), QStringLiteral("ComboChoHi^"),
                       QStringLiteral("ComboChoHi^")}
        << SurveyDate{2000, 2, 31} << QStringList{badDay, badDay};
    QTest::newRow("no number") << QDate(2026, 3, 1) << QStringList{QStringLiteral("ComboChoNen=x")}
                               << SurveyDate{0, 3, 1} << QStringList();
}

void OriginalFormTest::surveyPickers() {
    QFETCH(QDate, today);
    QFETCH(QStringList, actions);
    QFETCH(SurveyDate, date);
    QFETCH(QStringList, messages);
    m_t->clock.set(today);
    auto form = openForm();
    for (const QString& action : actions) {
        const bool typed = action.contains(QLatin1Char('='));
        const QStringList parts = action.split(typed ? QLatin1Char('=') : QLatin1Char('#'));
        auto* box = form->findChild<QComboBox*>(parts.at(0));
        if (action.endsWith(QLatin1Char('^'))) {
            QTest::keyClick(form->findChild<QComboBox*>(action.chopped(1)), Qt::Key_Down);
            continue;
        }
        if (typed) {
            box->lineEdit()->clear();
            QTest::keyClicks(box->lineEdit(), parts.at(1));
        } else {
            box->setCurrentIndex(parts.at(1).toInt());
            emit box->activated(parts.at(1).toInt());
        }
    }
    QCOMPARE(m_t->state.surveyDate, date);
    QCOMPARE(m_t->dialogs.texts(), messages);
}

void OriginalFormTest::moves_data() {
    QTest::addColumn<QList<int>>("buttons");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<int>("person"); // index into the seed roster of the person shown
    QTest::addColumn<QString>("recordNo");
    QTest::newRow("previous on the first") << QList<int>{1} << QStringList{First} << 0 << "1";
    QTest::newRow("next") << QList<int>{2} << QStringList() << 1 << "2";
    QTest::newRow("next past the last") << QList<int>{2, 2, 2} << QStringList{Last} << 2 << "3";
    QTest::newRow("last, previous") << QList<int>{3, 1} << QStringList() << 1 << "2";
    QTest::newRow("last, next, previous") << QList<int>{3, 2, 1} << QStringList{Last} << 1 << "2";
}

void OriginalFormTest::moves() {
    QFETCH(QList<int>, buttons);
    QFETCH(QStringList, messages);
    QFETCH(int, person);
    QFETCH(QString, recordNo);
    auto form = openForm();
    for (int b : buttons)
        press(*form, b);
    QCOMPARE(m_t->dialogs.texts(), messages);
    for (const ShownBox& box : m_t->dialogs.shown())
        QCOMPARE(box.title, QString());
    QCOMPARE(shown(*form), m_seed.at(person));
    QCOMPARE(this->recordNo(*form), recordNo);
}

void OriginalFormTest::updateAddDelete() {
    auto form = openForm();
    press(*form, 2);
    control<QLineEdit>(*form, "TextNamae")->setText(QStringLiteral("見本　花代"));
    pick(*form, "ComboTuki", QStringLiteral("12"));
    m_t->dialogs.answerYes();
    press(*form, 4);
    QCOMPARE(m_t->dialogs.shown().at(0).text, QStringLiteral("個別名簿テーブルを更新しますか。\r\n"));
    QCOMPARE(m_t->dialogs.shown().at(0).title, QStringLiteral("個別名簿テーブル更新"));
    QList<QStringList> rows = m_seed;
    rows[1] = QStringList{QStringLiteral("見本　花代"), QStringLiteral("1972 (昭和47)"), QStringLiteral("12"),
                          QStringLiteral("3")};
    QCOMPARE(storedRoster(m_dir.database()), rows);

    // Add: a typed month is stored as typed.
    control<QLineEdit>(*form, "TextNamae")->setText(QStringLiteral("追加　三郎"));
    pick(*form, "ComboNen", QStringLiteral("2019 (令和1)"));
    control<QComboBox>(*form, "ComboTuki")->setEditText(QStringLiteral("5"));
    pick(*form, "ComboHi", QStringLiteral("1"));
    m_t->dialogs.answerYes();
    control<QAction>(*form, "Menu_Ment(5)")->trigger();
    QCOMPARE(m_t->dialogs.shown().at(1).title, QStringLiteral("個別名簿テーブル追加"));
    rows << QStringList{QStringLiteral("追加　三郎"), QStringLiteral("2019 (令和1)"), QStringLiteral("5"),
                        QStringLiteral("1")};
    QCOMPARE(storedRoster(m_dir.database()), rows);
    QCOMPARE(form->recordTotal(), 4);
    // The window stands on the new person, so that the update that follows corrects him and not the
    // person shown before the add.
    QCOMPARE(recordNo(*form), QStringLiteral("4"));
    QCOMPARE(shown(*form), rows.at(3));
    control<QLineEdit>(*form, "TextNamae")->setText(QStringLiteral("追加　三朗"));
    m_t->dialogs.answerYes();
    press(*form, 4);
    rows[3][0] = QStringLiteral("追加　三朗");
    QCOMPARE(storedRoster(m_dir.database()), rows);

    // Delete the last: the boxes keep it until the next move, which goes to the one before.
    m_t->dialogs.answerYes();
    press(*form, 6);
    QCOMPARE(m_t->dialogs.shown().at(3).title, QStringLiteral("個別名簿テーブル削除"));
    const QStringList deleted = rows.takeLast();
    QCOMPARE(storedRoster(m_dir.database()), rows);
    QCOMPARE(form->recordTotal(), 3);
    QCOMPARE(shown(*form), deleted);
    press(*form, 1);
    QCOMPARE(shown(*form), rows.at(2));
    QCOMPARE(recordNo(*form), QStringLiteral("3"));
    press(*form, 2);
    QCOMPARE(m_t->dialogs.lastText(), Last);
    QCOMPARE(m_t->dialogs.shown().size(), 5);
}

void OriginalFormTest::refusedValues_data() {
    QTest::addColumn<QStringList>("person"); // 名前, 生年, 生月, 生日 as typed
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("message");
    QTest::newRow("month 13, day xyz")
        << QStringList{u"見本"_s, u"1965"_s, u"13"_s, u"xyz"_s} << u"生月入力エラー"_s
        << u"生月「13」は 1 から 12 までの整数ではありません。\r\n生日「xyz」は 1 から 31 までの整数ではありません。\r\n"_s;
    // Accepted: typed digits, full-width ones included, are stored as the pickers' own texts.
    QTest::newRow("typed year") << QStringList{u" 見本 "_s, u"１９２０"_s, u"０４"_s, u"1"_s} << u""_s
                                << u"見本|1920 (大正9)|4|1"_s;
}

// Add and update alike refuse what the roster's rules refuse, and store nothing.
void OriginalFormTest::refusedValues() {
    QFETCH(QStringList, person);
    QFETCH(QString, title);
    QFETCH(QString, message);
    m_t->clock.set(QDate(2026, 12, 9));
    auto form = openForm();
    for (const int command : {5, 4}) {
        m_t->dialogs.clear();
        control<QLineEdit>(*form, "TextNamae")->setText(person.at(0));
        control<QComboBox>(*form, "ComboNen")->setEditText(person.at(1));
        control<QComboBox>(*form, "ComboTuki")->setEditText(person.at(2));
        control<QComboBox>(*form, "ComboHi")->setEditText(person.at(3));
        m_t->dialogs.answerYes();
        press(*form, command);
        if (title.isEmpty()) {
            QCOMPARE(m_t->dialogs.shown().size(), 1);
            QCOMPARE(storedRoster(m_dir.database()).last(), message.split(QLatin1Char('|')));
            continue;
        }
        QCOMPARE(m_t->dialogs.shown().size(), 2);
        QCOMPARE(m_t->dialogs.shown().last().kind, ShownBox::Kind::Critical);
        QCOMPARE(m_t->dialogs.shown().last().title, title);
        QCOMPARE(m_t->dialogs.lastText(), message);
        QCOMPARE(storedRoster(m_dir.database()), m_seed);
    }
}

// What the user did not change keeps its stored text; the survey date follows the detail chart and
// a survey year beyond 16 bits is the overflow error; typing a wrong day warns once.
void OriginalFormTest::keptAndFollowed() {
    changeRoster(m_dir.database(), {{u"手書き"_s, u"1965"_s, u"04"_s, u"10"_s}}, true);
    m_t->clock.set(QDate(2026, 2, 10));
    auto form = openForm();
    control<QLineEdit>(*form, "TextNamae")->setText(u"手書き改"_s);
    m_t->dialogs.answerYes();
    press(*form, 4);
    QCOMPARE(storedRoster(m_dir.database()),
             (QList<QStringList>{{u"手書き改"_s, u"1965"_s, u"04"_s, u"10"_s}}));

    m_t->state.surveyDate = SurveyDate{2027, 3, 11};
    form->SurveyDate_Change();
    QStringList survey;
    for (const char* box : {"ComboChoNen", "ComboChoTuki", "ComboChoHi"})
        survey << control<QComboBox>(*form, box)->currentText();
    QCOMPARE(survey, (QStringList{u"2027"_s, u"3"_s, u"11"_s}));
    QCOMPARE(m_t->state.surveyDate, (SurveyDate{2027, 3, 11}));

    m_t->dialogs.clear();
    auto* year = control<QComboBox>(*form, "ComboChoNen");
    year->lineEdit()->clear();
    QTest::keyClicks(year->lineEdit(), u"99999"_s);
    QCOMPARE(m_t->dialogs.shown().size(), 1);
    QVERIFY2(m_t->dialogs.lastText().startsWith(u"エラー番号  6"_s), qPrintable(m_t->dialogs.lastText()));
    QCOMPARE(m_t->state.surveyDate.year, qint16(9999));

    m_t->dialogs.clear();
    auto* month = control<QComboBox>(*form, "ComboChoTuki");
    month->lineEdit()->clear();
    QTest::keyClicks(month->lineEdit(), u"2"_s);
    auto* day = control<QComboBox>(*form, "ComboChoHi");
    day->lineEdit()->clear();
    QTest::keyClicks(day->lineEdit(), u"31"_s);
    QTest::keyClick(day->lineEdit(), Qt::Key_Return);
    year->setFocus();
    QCOMPARE(m_t->dialogs.texts(), QStringList{u"日が正しくありません"_s});

    // The birth pickers draw their text at the size of their font.
    for (const char* box : {"ComboNen", "ComboTuki", "ComboHi"}) {
        auto* picker = control<QComboBox>(*form, box);
        QCOMPARE(QFontInfo(picker->lineEdit()->font()).pixelSize(), QFontInfo(picker->font()).pixelSize());
    }
}

void OriginalFormTest::noChangesOnNo_data() {
    QTest::addColumn<int>("button");
    QTest::addColumn<QString>("question");
    QTest::addColumn<QString>("title");
    QTest::newRow("update") << 4 << "個別名簿テーブルを更新しますか。\r\n"
                            << "個別名簿テーブル更新";
    QTest::newRow("add") << 5 << "個別名簿テーブルを追加しますか。\r\n"
                         << "個別名簿テーブル追加";
    QTest::newRow("delete") << 6 << "個別名簿テーブルを削除しますか。\r\n"
                            << "個別名簿テーブル削除";
    QTest::newRow("print") << 7 << "個別名簿テーブルを印刷しますか。\r\n"
                           << "個別名簿テーブル印刷";
}

void OriginalFormTest::noChangesOnNo() {
    QFETCH(int, button);
    QFETCH(QString, question);
    QFETCH(QString, title);
    auto form = openForm();
    control<QLineEdit>(*form, "TextNamae")->setText(QStringLiteral("変更"));
    m_t->dialogs.answerNo();
    press(*form, button);
    QCOMPARE(m_t->dialogs.texts(), QStringList{question});
    QCOMPARE(m_t->dialogs.shown().first().title, title);
    QCOMPARE(m_t->dialogs.shown().first().kind, ShownBox::Kind::Question);
    QCOMPARE(storedRoster(m_dir.database()), m_seed);
    QCOMPARE(form->recordTotal(), 3);
    QCOMPARE(m_t->printer.jobCount(), 0);
}

void OriginalFormTest::emptyTable() {
    changeRoster(m_dir.database(), {}, true);
    auto form = openForm();
    QCOMPARE(recordNo(*form), QStringLiteral("0"));
    QCOMPARE(shown(*form), QStringList(4, QString()));
    for (int b : {0, 1, 2, 3, 4, 6, 7})
        press(*form, b);
    QCOMPARE(m_t->dialogs.texts(), QStringList(7, Empty));

    m_t->dialogs.clear();
    control<QLineEdit>(*form, "TextNamae")->setText(QStringLiteral("最初　一人"));
    pick(*form, "ComboNen", QStringLiteral("2000 (平成12)"));
    pick(*form, "ComboTuki", QStringLiteral("7"));
    pick(*form, "ComboHi", QStringLiteral("7"));
    m_t->dialogs.answerYes();
    press(*form, 5);
    const QStringList person{QStringLiteral("最初　一人"), QStringLiteral("2000 (平成12)"),
                             QStringLiteral("7"), QStringLiteral("7")};
    QCOMPARE(storedRoster(m_dir.database()), QList<QStringList>{person});
    control<QLineEdit>(*form, "TextNamae")->clear();
    press(*form, 1);
    QCOMPARE(m_t->dialogs.lastText(), First);
    press(*form, 3);
    QCOMPARE(shown(*form), person);
    QCOMPARE(recordNo(*form), QStringLiteral("1"));
}

void OriginalFormTest::chartAndIntroduction() {
    m_t->clock.set(QDate(1999, 8, 1));
    AppNavigator navigator([] {});
    AppContext ctx{m_t->state, m_t->dialogs, m_t->clock, m_t->random, m_t->help, navigator, m_t->printer};
    navigator.registerWindow(WindowId::OriginalForm, [&ctx] { return new OriginalForm(ctx); });
    navigator.registerWindow(WindowId::Bior2Form, [&ctx] { return new Bior2Form(ctx); });
    navigator.registerWindow(WindowId::SalesForm, [&ctx] { return new SalesForm(ctx); });
    navigator.open(WindowId::OriginalForm);
    QPointer<OriginalForm> form = qobject_cast<OriginalForm*>(navigator.window(WindowId::OriginalForm));
    QVERIFY(form);

    // What the boxes hold is charted, saved or not.
    press(*form, 2);
    control<QLineEdit>(*form, "TextNamae")->setText(QStringLiteral("調査　太郎"));
    pick(*form, "ComboNen", QStringLiteral("1965 (昭和40)"));
    pick(*form, "ComboTuki", QStringLiteral("4"));
    pick(*form, "ComboHi", QStringLiteral("10"));
    control<QAction>(*form, "Menu_Disp")->trigger();
    const PersonSlot& slot = m_t->state.selectedPersons[6];
    QCOMPARE(slot.name, QStringLiteral("調査　太郎"));
    QCOMPARE(slot.birthYear, qint16(1965));
    QCOMPARE(slot.birthMonth, qint16(4));
    QCOMPARE(slot.birthDay, qint16(10));
    QCOMPARE(m_t->state.chartSlot, qint16(6));
    QPointer<Bior2Form> chart = qobject_cast<Bior2Form*>(navigator.window(WindowId::Bior2Form));
    QVERIFY(chart && chart->isVisible());
    QCOMPARE(control<QLabel>(*chart, "LabelNamae")->text(), QStringLiteral("調査　太郎"));
    QCOMPARE(control<QLabel>(*chart, "LabelChoHi")->text(), QStringLiteral("1999.8.1"));
    QCOMPARE(control<QLabel>(*chart, "LabelMSG")->text(), QStringLiteral("※今日は、特に問題はありません。"));
    QVERIFY(chart->marker(23, 10));
    testsupport::saveScreenshot(chart.data(), QStringLiteral("OriginalForm-chart"));
    QVERIFY(m_t->dialogs.shown().isEmpty());

    // A birth year that does not start with four digits charts an empty slot; the chart is made anew.
    control<QComboBox>(*form, "ComboNen")->setEditText(QStringLiteral("65"));
    form->Menu_Disp_Click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(chart.isNull());
    chart = qobject_cast<Bior2Form*>(navigator.window(WindowId::Bior2Form));
    QCOMPARE(m_t->state.selectedPersons[6].birthYear, qint16(0));
    QVERIFY(chart && !chart->marker(23, 10));

    // Closing the chart leaves the roster; closing the roster takes chart and introduction along.
    chart->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(chart.isNull());
    QVERIFY(form && form->isVisible());
    form->Menu_Disp_Click();
    chart = qobject_cast<Bior2Form*>(navigator.window(WindowId::Bior2Form));
    control<QAction>(*form, "Menu_Sales")->trigger();
    QPointer<QWidget> sales = navigator.window(WindowId::SalesForm);
    QVERIFY(sales && sales->isVisible());
    QVERIFY(form->isVisible());
    control<QAction>(*form, "Menu_Close")->trigger();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(form.isNull());
    QVERIFY(chart.isNull());
    QVERIFY(sales.isNull());
    QVERIFY(m_t->dialogs.shown().isEmpty());
    // The database is free again.
    changeRoster(m_dir.database(),
                 {{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("d")}});
}

void OriginalFormTest::report() {
    auto form = openForm();
    press(*form, 2);
    m_t->dialogs.answerYes();
    press(*form, 7);
    QCOMPARE(m_t->dialogs.texts(), QStringList{QStringLiteral("個別名簿テーブルを印刷しますか。\r\n")});
    QCOMPARE(m_t->dialogs.shown().first().title, QStringLiteral("個別名簿テーブル印刷"));
    QCOMPARE(m_t->printer.jobCount(), 1);
    QVERIFY(m_t->printer.ended(0));
    QCOMPARE(m_t->printer.pageCount(0), 1);
    // Name padded to twelve characters, the year's four digits, month and day a column right of their
    // headings.
    QCOMPARE(m_t->printer.pageText(0),
             QStringList({pageHead(1), QString(), Headings, QString(),
                          spaces(10) + QStringLiteral("見本　一郎") + spaces(4) + QStringLiteral("1965") +
                              spaces(3) + QStringLiteral("4") + spaces(5) + QStringLiteral("10"),
                          spaces(10) + QStringLiteral("見本　花子") + spaces(4) + QStringLiteral("1972") +
                              spaces(3) + QStringLiteral("11") + spaces(4) + QStringLiteral("3"),
                          spaces(10) + QStringLiteral("見本　次郎") + spaces(4) + QStringLiteral("1990") +
                              spaces(3) + QStringLiteral("2") + spaces(5) + QStringLiteral("28")}));
    // The record on show stays: moving on goes from the second person.
    press(*form, 2);
    QCOMPARE(shown(*form), m_seed.at(2));
    QCOMPARE(m_t->dialogs.shown().size(), 1);
}

void OriginalFormTest::reportTwoPages() {
    QList<QStringList> more;
    for (int k = 4; k <= 61; ++k)
        more << QStringList{QStringLiteral("P%1").arg(k), QStringLiteral("1970 (昭和45)"),
                            QStringLiteral("1"), QStringLiteral("1")};
    more << QStringList{QStringLiteral("ABCDEFGHIJKLMNO"), QStringLiteral("2001 (平成13)"),
                        QStringLiteral("12"), QStringLiteral("31")};
    changeRoster(m_dir.database(), more);
    auto form = openForm();
    m_t->dialogs.answerYes();
    press(*form, 7);
    QCOMPARE(m_t->printer.pageCount(0), 2);
    const QStringList first = m_t->printer.pageText(0, 0);
    QCOMPARE(first.size(), 4 + 61);
    QCOMPARE(first.at(0), pageHead(1));
    QCOMPARE(first.at(64), spaces(10) + QStringLiteral("P61") + spaces(11) + QStringLiteral("1970") +
                               spaces(3) + QStringLiteral("1") + spaces(5) + QStringLiteral("1"));
    // The 62nd person starts page 2 under a head of its own; 15 characters of name are cut to the 13
    // cells before the blank before the year.
    QCOMPARE(m_t->printer.pageText(0, 1),
             QStringList({pageHead(2), QString(), Headings, QString(),
                          spaces(10) + QStringLiteral("ABCDEFGHIJKLM") + QStringLiteral(" 2001") + spaces(3) +
                              QStringLiteral("12") + spaces(4) + QStringLiteral("31")}));
}

// A name takes the cells 10 to 22 and loses any character that would reach the blank before the year.
void OriginalFormTest::reportNameCuts_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("printed");
    QTest::newRow("12 full-width") << QStringLiteral("一二三四五六七八九十百千")
                                   << QStringLiteral("一二三四五六 ");
    QTest::newRow("mixed widths") << QStringLiteral("ABC見本一郎です") << QStringLiteral("ABC見本一郎で");
    QTest::newRow("surrogate pairs") << QStringLiteral("A𠮷𠮷𠮷𠮷𠮷𠮷𠮷") << QStringLiteral("A𠮷𠮷𠮷𠮷𠮷𠮷");
}

void OriginalFormTest::reportNameCuts() {
    QFETCH(QString, name);
    QFETCH(QString, printed);
    changeRoster(m_dir.database(),
                 {{name, QStringLiteral("1970 (昭和45)"), QStringLiteral("1"), QStringLiteral("1")}}, true);
    auto form = openForm();
    form->Meibo_Print();
    QCOMPARE(m_t->printer.pageText(0).value(4), spaces(10) + printed + QStringLiteral(" 1970") + spaces(3) +
                                                    QStringLiteral("1") + spaces(5) + QStringLiteral("1"));
}

void OriginalFormTest::reportWithoutPersons() {
    changeRoster(m_dir.database(), {}, true);
    auto form = openForm();
    form->Meibo_Print();
    QCOMPARE(m_t->dialogs.texts(), QStringList{QStringLiteral("該当レコードがありません")});
    QVERIFY(m_t->printer.jobCount() <= 1);
    if (m_t->printer.jobCount() == 1) {
        QVERIFY(!m_t->printer.ended(0));
        QCOMPARE(m_t->printer.pageText(0), QStringList());
    }
}

void OriginalFormTest::failingPrinter() {
    auto form = openForm();
    m_t->printer.failNextJob();
    m_t->dialogs.answerYes();
    control<QAction>(*form, "Menu_Ment(7)")->trigger();
    QCOMPARE(m_t->dialogs.lastText(), QStringLiteral("プリンタに問題があります。"));
    QCOMPARE(m_t->dialogs.shown().last().title, QString());
    QCOMPARE(m_t->dialogs.shown().size(), 2);
    QCOMPARE(m_t->printer.jobCount(), 0);
}

void OriginalFormTest::reportOnPaper() {
    // A full-width name longer than its cells, and 𠮷, which only the rare-kanji face has.
    changeRoster(m_dir.database(),
                 {{QStringLiteral("勅使河原　小百合之丞太郎"), QStringLiteral("1972 (昭和47)"),
                   QStringLiteral("6"), QStringLiteral("30")},
                  {QStringLiteral("𠮷田　一郎"), QStringLiteral("1981 (昭和56)"), QStringLiteral("7"),
                   QStringLiteral("7")}});
    QStringList opened;
    ReportPrinter paper(
        m_t->state, [&](const QString& path) { opened << path; }, ReportPrinter::Target::PdfOnly);
    AppContext context{m_t->state, m_t->dialogs, m_t->clock, m_t->random, m_t->help, m_t->navigator, paper};
    OriginalForm form(context);
    form.Meibo_Print();
    QCOMPARE(m_t->dialogs.shown().size(), 0);
    QCOMPARE(opened.size(), 1);
    QVERIFY2(opened.first().startsWith(m_dir.path + QStringLiteral("印刷/個別名簿一覧表_")),
             qPrintable(opened.first()));
    const QStringList lines = testsupport::pdfTextLines(opened.first());
    QCOMPARE(lines.size(), 7);
    const auto words = [](const QString& line) {
        return QString(line)
            .replace(QChar(0x3000), QLatin1Char(' '))
            .split(QLatin1Char(' '), Qt::SkipEmptyParts);
    };
    QCOMPARE(words(lines.at(0)), QStringList({QStringLiteral("個別名簿一覧表"), QStringLiteral("1")}));
    QCOMPARE(words(lines.at(1)), QStringList({QStringLiteral("名前"), QStringLiteral("生年"),
                                              QStringLiteral("生月"), QStringLiteral("生日")}));
    QCOMPARE(words(lines.at(2)),
             QStringList({QStringLiteral("見本"), QStringLiteral("一郎"), QStringLiteral("1965"),
                          QStringLiteral("4"), QStringLiteral("10")}));
    QCOMPARE(words(lines.at(4)),
             QStringList({QStringLiteral("見本"), QStringLiteral("次郎"), QStringLiteral("1990"),
                          QStringLiteral("2"), QStringLiteral("28")}));
    QCOMPARE(words(lines.at(5)),
             QStringList({QStringLiteral("勅使河原"), QStringLiteral("小"), QStringLiteral("1972"),
                          QStringLiteral("6"), QStringLiteral("30")}));
    testsupport::savePdfPicture(opened.first(), QStringLiteral("OriginalForm-report"));
}

QTEST_MAIN(OriginalFormTest)
#include "OriginalFormTest.moc"
