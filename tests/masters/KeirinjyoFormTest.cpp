#include "masters/KeirinjyoForm.h"
#include "race/RacerSearch.h"
#include "race/SelectForm.h"
#include "shell/ReportPrinter.h"
#include "store/Database.h"
#include "store/Recordset.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QComboBox>
#include <QFontInfo>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>

namespace {

struct Velodrome {
    qint64 id;
    QString name;
    qint64 region;
    friend bool operator==(const Velodrome&, const Velodrome&) = default;
};

QList<Velodrome> storedVelodromes(const QString& path) {
    Database db(path);
    auto set = db.openRecordset(QStringLiteral("T_競輪場"));
    QList<Velodrome> rows;
    for (; !set->eof(); set->moveNext())
        rows.append({set->field(QStringLiteral("競輪場ID")).toLongLong(),
                     set->field(QStringLiteral("競輪場名")).toString(),
                     set->field(QStringLiteral("地区ID")).toLongLong()});
    set->close();
    db.close();
    return rows;
}

// Velodromes 101, 102, ... named 場101, ... in region 1; a negative count deletes every velodrome.
void changeVelodromes(const QString& path, int count) {
    Database db(path);
    auto set = db.openRecordset(QStringLiteral("T_競輪場"));
    if (count < 0) {
        while (!set->eof()) {
            set->deleteCurrent();
            set->moveNext();
        }
    }
    for (int k = 0; k < count; ++k) {
        set->addNew();
        set->setField(QStringLiteral("競輪場ID"), 101 + k);
        set->setField(QStringLiteral("競輪場名"), QStringLiteral("場%1").arg(101 + k));
        set->setField(QStringLiteral("地区ID"), 1);
        set->update();
    }
    set->close();
    db.close();
}

QString spaces(int n) {
    return QString(n, QLatin1Char(' '));
}

// Cells 30.. hold the title (six full-width characters), 60.. the page number in print style.
QString pageHead(int page) {
    return spaces(30) + QStringLiteral("競輪場一覧表") + spaces(18) + QStringLiteral(" %1").arg(page);
}

const QString Heading = spaces(10) + QStringLiteral("競輪場");
const QString First = QStringLiteral("先頭レコードです。");
const QString Last = QStringLiteral("最終レコードです。");
const QString Empty = QStringLiteral("レコードがありません");

} // namespace

class KeirinjyoFormTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { testsupport::initGui(); }
    void init();
    void cleanup();

    void layout();
    void moves_data();
    void moves();
    void updateRegionOnly();
    void addAndDuplicate();
    void deleteThenMove();
    void refusedValues_data();
    void refusedValues();
    void unknownRegion_data();
    void unknownRegion();
    void noChangesOnNo_data();
    void noChangesOnNo();
    void emptyTable();
    void report_data();
    void report();
    void failingPrinter();
    void reportOnPaper();
    void selectionListFollows();

private:
    std::unique_ptr<KeirinjyoForm> openForm() { return std::make_unique<KeirinjyoForm>(m_t->context); }
    static void press(KeirinjyoForm& form, int index) {
        form.findChild<QPushButton*>(QStringLiteral("CommandDB(%1)").arg(index))->click();
    }
    template <typename T> static T* control(KeirinjyoForm& form, const char* name) {
        return form.findChild<T*>(QString::fromLatin1(name));
    }
    static QString shownId(KeirinjyoForm& form) { return control<QLineEdit>(form, "KeirinjyoID")->text(); }
    static QString recordNo(KeirinjyoForm& form) { return control<QLineEdit>(form, "RecordNo")->text(); }
    static void pickRegion(KeirinjyoForm& form, const QString& name) {
        auto* combo = control<QComboBox>(form, "ComboChikuMei");
        combo->setCurrentIndex(combo->findText(name));
    }

    std::unique_ptr<TestContext> m_t;
    testsupport::ProgramDir m_dir;
};

void KeirinjyoFormTest::init() {
    m_t = std::make_unique<TestContext>();
    m_dir = testsupport::copyOfProgramDir();
    m_t->state.appPath = m_dir.path;
}

void KeirinjyoFormTest::cleanup() {
    if (m_t) {
        QCOMPARE(m_t->dialogs.unansweredQuestions(), 0);
        QVERIFY(m_t->dialogs.allAnswersUsed());
    }
    m_t.reset();
    m_dir = {};
}

void KeirinjyoFormTest::layout() {
    auto form = openForm();
    QCOMPARE(form->windowTitle(), QStringLiteral("競輪場テーブルメンテナンス"));
    QCOMPARE(form->centralWidget()->size(), QSize(632, 434));
    const QList<QPair<const char*, QRect>> expected = {
        {"PictureWaku", QRect(8, 8, 609, 417)},      {"PictureButton", QRect(32, 24, 545, 65)},
        {"CommandDB(4)", QRect(56, 16, 73, 33)},     {"CommandDB(7)", QRect(272, 16, 73, 33)},
        {"PictureHyouji", QRect(32, 120, 545, 265)}, {"PictureRecord", QRect(56, 32, 441, 209)},
        {"CommandDB(0)", QRect(0, 0, 73, 33)},       {"CommandDB(3)", QRect(216, 0, 73, 33)},
        {"LabelRecNo", QRect(288, 0, 49, 31)},       {"RecordNo", QRect(336, 0, 105, 31)},
        {"LabelKeirin(0)", QRect(56, 56, 129, 25)},  {"LabelKeirin(2)", QRect(56, 152, 129, 25)},
        {"KeirinjyoID", QRect(312, 56, 73, 25)},     {"KeirinjyoMei", QRect(240, 104, 145, 25)}};
    for (const auto& [name, rect] : expected) {
        auto* w = control<QWidget>(*form, name);
        QVERIFY2(w, name);
        QCOMPARE(w->geometry(), rect);
    }
    const QStringList captions = {QStringLiteral("先頭ﾚｺｰﾄﾞ"), QStringLiteral("前ﾚｺｰﾄﾞ"),
                                  QStringLiteral("次ﾚｺｰﾄﾞ"),   QStringLiteral("最終ﾚｺｰﾄﾞ"),
                                  QStringLiteral("更新"),      QStringLiteral("追加"),
                                  QStringLiteral("削除"),      QStringLiteral("印刷")};
    for (int i = 0; i < 8; ++i)
        QCOMPARE(form->findChild<QPushButton*>(QStringLiteral("CommandDB(%1)").arg(i))->text(),
                 captions.at(i));
    auto* combo = control<QComboBox>(*form, "ComboChikuMei");
    QCOMPARE(combo->geometry().topLeft(), QPoint(240, 152));
    QCOMPARE(combo->width(), 145);
    QVERIFY(!combo->isEditable());
    QCOMPARE(combo->count(), 8);
    QCOMPARE(combo->itemText(0), QStringLiteral("北日本"));
    QCOMPARE(combo->itemText(7), QStringLiteral("九州"));
    QCOMPARE(QFontInfo(control<QLineEdit>(*form, "KeirinjyoMei")->font()).family(),
             QStringLiteral("IPAGothic"));
    QVERIFY(control<QLineEdit>(*form, "RecordNo")->isReadOnly());
    QVERIFY(!control<QLineEdit>(*form, "KeirinjyoID")->isReadOnly());

    QStringList menus;
    for (QAction* a : form->menuBar()->actions())
        menus << a->text();
    QCOMPARE(menus,
             QStringList({QStringLiteral("終了(&C)"), QStringLiteral("更新(&E)"), QStringLiteral("追加(&A)"),
                          QStringLiteral("削除(&D)"), QStringLiteral("印刷(&P)"), QStringLiteral("ﾌｧｲﾙ(&F)"),
                          QStringLiteral("ﾍﾙﾌﾟ(&H)")}));

    // The first velodrome of the seed table is on show.
    QCOMPARE(shownId(*form), QStringLiteral("1"));
    QCOMPARE(control<QLineEdit>(*form, "KeirinjyoMei")->text(), QStringLiteral("函館"));
    QCOMPARE(combo->currentText(), QStringLiteral("北日本"));
    QCOMPARE(recordNo(*form), QStringLiteral("1"));
    QCOMPARE(form->recordTotal(), 43);
    QVERIFY(m_t->dialogs.shown().isEmpty());
    form->show();
    testsupport::saveScreenshot(form.get(), QStringLiteral("KeirinjyoForm"));
}

void KeirinjyoFormTest::moves_data() {
    QTest::addColumn<QList<int>>("buttons");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QString>("id");       // shown in the ID box afterwards
    QTest::addColumn<QString>("recordNo"); // shown in RecordNo
    QTest::addColumn<int>("number");       // the window's counter
    QTest::newRow("previous on the first") << QList<int>{1} << QStringList{First} << "1"
                                           << "1" << 1;
    QTest::newRow("next twice, previous") << QList<int>{2, 2, 1} << QStringList() << "2"
                                          << "2" << 2;
    QTest::newRow("last") << QList<int>{3} << QStringList() << "43"
                          << "43" << 43;
    QTest::newRow("next on the last") << QList<int>{3, 2} << QStringList{Last} << "43"
                                      << "43" << 43;
    QTest::newRow("last, previous") << QList<int>{3, 1} << QStringList() << "42"
                                    << "42" << 42;
    QTest::newRow("previous on the first twice, next")
        << QList<int>{1, 1, 2} << QStringList{First, First} << "2"
        << "2" << 2;
}

void KeirinjyoFormTest::moves() {
    QFETCH(QList<int>, buttons);
    QFETCH(QStringList, messages);
    QFETCH(QString, id);
    QFETCH(QString, recordNo);
    QFETCH(int, number);
    auto form = openForm();
    for (int b : buttons)
        press(*form, b);
    QCOMPARE(m_t->dialogs.texts(), messages);
    for (const ShownBox& box : m_t->dialogs.shown()) {
        QCOMPARE(box.kind, ShownBox::Kind::Message);
        QCOMPARE(box.title, QString());
    }
    QCOMPARE(shownId(*form), id);
    QCOMPARE(this->recordNo(*form), recordNo);
    QCOMPARE(form->currentRecordNo(), number);
}

void KeirinjyoFormTest::updateRegionOnly() {
    auto form = openForm();
    press(*form, 2); // 青森, 北日本
    pickRegion(*form, QStringLiteral("関東"));
    m_t->dialogs.answerYes();
    control<QAction>(*form, "Menu_Ment(4)")->trigger();
    QCOMPARE(m_t->dialogs.texts(), QStringList{QStringLiteral("競輪場テーブルを更新しますか。\r\n")});
    QCOMPARE(m_t->dialogs.shown().first().title, QStringLiteral("競輪場テーブル更新"));
    QCOMPARE(m_t->dialogs.shown().first().kind, ShownBox::Kind::Question);
    const QList<Velodrome> rows = storedVelodromes(m_dir.database());
    QCOMPARE(rows.size(), 43);
    QCOMPARE(rows.at(1), (Velodrome{2, QStringLiteral("青森"), 2}));
    QCOMPARE(rows.at(0), (Velodrome{1, QStringLiteral("函館"), 1}));
    // The view shows the new region name when the record is shown again.
    press(*form, 0);
    press(*form, 2);
    QCOMPARE(control<QComboBox>(*form, "ComboChikuMei")->currentText(), QStringLiteral("関東"));
    QCOMPARE(recordNo(*form), QStringLiteral("2"));
}

void KeirinjyoFormTest::addAndDuplicate() {
    auto form = openForm();
    press(*form, 2);
    control<QLineEdit>(*form, "KeirinjyoID")->setText(QStringLiteral("99"));
    control<QLineEdit>(*form, "KeirinjyoMei")->setText(QStringLiteral("新設"));
    pickRegion(*form, QStringLiteral("九州"));
    m_t->dialogs.answerYes();
    press(*form, 5);
    QCOMPARE(m_t->dialogs.texts(), QStringList{QStringLiteral("競輪場テーブルを追加しますか。\r\n")});
    QCOMPARE(m_t->dialogs.shown().first().title, QStringLiteral("競輪場テーブル追加"));
    QCOMPARE(storedVelodromes(m_dir.database()).last(), (Velodrome{99, QStringLiteral("新設"), 8}));
    // The window stands on the new record, the last, so that an update acts on it and not on record 2.
    QCOMPARE(recordNo(*form), QStringLiteral("44"));
    QCOMPARE(form->recordTotal(), 44);
    QCOMPARE(shownId(*form), QStringLiteral("99"));
    form->show();
    testsupport::saveScreenshot(form.get(), QStringLiteral("KeirinjyoForm-after-add"));
    control<QLineEdit>(*form, "KeirinjyoMei")->setText(QStringLiteral("新設改"));
    m_t->dialogs.answerYes();
    press(*form, 4);
    QCOMPARE(storedVelodromes(m_dir.database()).at(1), (Velodrome{2, QStringLiteral("青森"), 1}));
    QCOMPARE(storedVelodromes(m_dir.database()).last(), (Velodrome{99, QStringLiteral("新設改"), 8}));

    // An ID already in the table is refused by the store; nothing is stored, the count stays.
    m_t->dialogs.clear();
    control<QLineEdit>(*form, "KeirinjyoID")->setText(QStringLiteral("5"));
    m_t->dialogs.answerYes();
    press(*form, 5);
    QCOMPARE(m_t->dialogs.shown().size(), 2);
    QVERIFY2(m_t->dialogs.lastText().startsWith(QStringLiteral("エラー番号  3022")),
             qPrintable(m_t->dialogs.lastText()));
    QCOMPARE(m_t->dialogs.shown().last().title, QStringLiteral("エラー"));
    QCOMPARE(storedVelodromes(m_dir.database()).size(), 44);
    QCOMPARE(form->recordTotal(), 44);
    // The window goes on working: the record on show can still be updated.
    control<QLineEdit>(*form, "KeirinjyoID")->setText(QStringLiteral("99"));
    control<QLineEdit>(*form, "KeirinjyoMei")->setText(QStringLiteral("改名"));
    m_t->dialogs.answerYes();
    press(*form, 4);
    QCOMPARE(storedVelodromes(m_dir.database()).last(), (Velodrome{99, QStringLiteral("改名"), 8}));
}

void KeirinjyoFormTest::deleteThenMove() {
    // A race run at the velodrome about to go.
    {
        Database db(m_dir.database());
        auto races = db.openRecordset(QStringLiteral("T_レース履歴"));
        races->addNew();
        races->setField(QStringLiteral("競輪場ID"), 2);
        races->setField(QStringLiteral("レースNO"), 3);
        races->update();
    }
    auto form = openForm();
    press(*form, 2);
    m_t->dialogs.answerYes();
    control<QAction>(*form, "Menu_Ment(6)")->trigger();
    QCOMPARE(m_t->dialogs.texts(), QStringList{QStringLiteral("競輪場テーブルを削除しますか。\r\n")});
    QCOMPARE(m_t->dialogs.shown().first().title, QStringLiteral("競輪場テーブル削除"));
    const QList<Velodrome> rows = storedVelodromes(m_dir.database());
    QCOMPARE(rows.size(), 42);
    QCOMPARE(rows.at(1).id, 3);
    QCOMPARE(form->recordTotal(), 42);
    // The boxes keep the deleted velodrome until the next move.
    QCOMPARE(shownId(*form), QStringLiteral("2"));
    // The race stays, with no velodrome name.
    {
        Database db(m_dir.database());
        auto history = db.openRecordset(QStringLiteral("Q_レース履歴"));
        QCOMPARE(history->recordCount(), 1);
        QCOMPARE(history->field(QStringLiteral("競輪場名")).toString(), QString());
        QCOMPARE(history->field(QStringLiteral("レースNO")).toInt(), 3);
    }

    // Update and delete of the deleted record report the store's error and write nothing.
    m_t->dialogs.clear();
    control<QLineEdit>(*form, "KeirinjyoMei")->setText(QStringLiteral("上書き"));
    m_t->dialogs.answerYes();
    press(*form, 4);
    m_t->dialogs.answerYes();
    press(*form, 6);
    QCOMPARE(m_t->dialogs.shown().size(), 4);
    QVERIFY(m_t->dialogs.texts().at(1).startsWith(QStringLiteral("エラー番号  3167")));
    QVERIFY(m_t->dialogs.texts().at(3).startsWith(QStringLiteral("エラー番号  3167")));
    QCOMPARE(storedVelodromes(m_dir.database()), rows);

    // The next move goes on from the deleted record: the one after it, with the counter one up.
    press(*form, 2);
    QCOMPARE(shownId(*form), QStringLiteral("3"));
    QCOMPARE(recordNo(*form), QStringLiteral("3"));
    press(*form, 3);
    QCOMPARE(recordNo(*form), QStringLiteral("42"));
}

void KeirinjyoFormTest::refusedValues_data() {
    QTest::addColumn<QString>("id");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("message");
    QTest::newRow("letters") << "abc"
                             << "新場"
                             << "競輪場ID入力エラー"
                             << "競輪場ID「abc」は 1 から 32767 までの整数ではありません。\r\n";
    QTest::newRow("full-width digits are digits") << "１２０"
                                                  << " 新場 "
                                                  << ""
                                                  << "";
}

// Update and add alike refuse what the velodrome table's rules refuse, and store nothing.
void KeirinjyoFormTest::refusedValues() {
    QFETCH(QString, id);
    QFETCH(QString, name);
    QFETCH(QString, title);
    QFETCH(QString, message);
    const QList<Velodrome> before = storedVelodromes(m_dir.database());
    auto form = openForm();
    for (const int command : {5, 4}) {
        m_t->dialogs.clear();
        control<QLineEdit>(*form, "KeirinjyoID")->setText(id);
        control<QLineEdit>(*form, "KeirinjyoMei")->setText(name);
        m_t->dialogs.answerYes();
        press(*form, command);
        if (title.isEmpty()) {
            QCOMPARE(m_t->dialogs.shown().size(), 1);
            continue;
        }
        QCOMPARE(m_t->dialogs.shown().size(), 2);
        QCOMPARE(m_t->dialogs.shown().last().kind, ShownBox::Kind::Critical);
        QCOMPARE(m_t->dialogs.shown().last().title, title);
        QCOMPARE(m_t->dialogs.lastText(), message);
        QCOMPARE(storedVelodromes(m_dir.database()), before);
    }
    if (title.isEmpty())
        QCOMPARE(storedVelodromes(m_dir.database()).last(), (Velodrome{120, QStringLiteral("新場"), 1}));
}

void KeirinjyoFormTest::unknownRegion_data() {
    QTest::addColumn<int>("button");
    QTest::newRow("update") << 4;
    QTest::newRow("add") << 5;
}

void KeirinjyoFormTest::unknownRegion() {
    QFETCH(int, button);
    auto form = openForm();
    QCOMPARE(form->ChikuID_Kensaku(QStringLiteral("四国")), qint16(7));
    QCOMPARE(form->ChikuID_Kensaku(QStringLiteral("東北")), qint16(0));
    QCOMPARE(m_t->dialogs.texts(), QStringList{QStringLiteral("地区テーブルなし")});
    // An empty region box is no region either.
    m_t->dialogs.clear();
    control<QLineEdit>(*form, "KeirinjyoID")->setText(QStringLiteral("77"));
    control<QComboBox>(*form, "ComboChikuMei")->setCurrentIndex(-1);
    m_t->dialogs.answerYes();
    press(*form, button);
    QCOMPARE(m_t->dialogs.texts().size(), 2);
    QCOMPARE(m_t->dialogs.lastText(), QStringLiteral("地区テーブルなし"));
    QCOMPARE(storedVelodromes(m_dir.database()).first(), (Velodrome{1, QStringLiteral("函館"), 1}));
    QCOMPARE(storedVelodromes(m_dir.database()).size(), 43);
    QCOMPARE(form->recordTotal(), 43);
}

void KeirinjyoFormTest::noChangesOnNo_data() {
    QTest::addColumn<int>("button");
    QTest::addColumn<QString>("question");
    QTest::addColumn<QString>("title");
    QTest::newRow("update") << 4 << "競輪場テーブルを更新しますか。\r\n"
                            << "競輪場テーブル更新";
    QTest::newRow("add") << 5 << "競輪場テーブルを追加しますか。\r\n"
                         << "競輪場テーブル追加";
    QTest::newRow("delete") << 6 << "競輪場テーブルを削除しますか。\r\n"
                            << "競輪場テーブル削除";
    QTest::newRow("print") << 7 << "競輪場テーブルを印刷しますか。\r\n"
                           << "競輪場テーブル印刷";
}

void KeirinjyoFormTest::noChangesOnNo() {
    QFETCH(int, button);
    QFETCH(QString, question);
    QFETCH(QString, title);
    const QList<Velodrome> before = storedVelodromes(m_dir.database());
    auto form = openForm();
    control<QLineEdit>(*form, "KeirinjyoID")->setText(QStringLiteral("88"));
    pickRegion(*form, QStringLiteral("中国"));
    m_t->dialogs.answerNo();
    press(*form, button);
    QCOMPARE(m_t->dialogs.texts(), QStringList{question});
    QCOMPARE(m_t->dialogs.shown().first().title, title);
    QCOMPARE(storedVelodromes(m_dir.database()), before);
    QCOMPARE(form->recordTotal(), 43);
    QCOMPARE(m_t->printer.jobCount(), 0);
}

void KeirinjyoFormTest::emptyTable() {
    changeVelodromes(m_dir.database(), -1);
    auto form = openForm();
    QCOMPARE(recordNo(*form), QStringLiteral("0"));
    QCOMPARE(shownId(*form), QString());
    QCOMPARE(control<QComboBox>(*form, "ComboChikuMei")->currentText(), QString());
    for (int b : {0, 1, 2, 3, 4, 6, 7})
        press(*form, b);
    QCOMPARE(m_t->dialogs.texts(), QStringList(7, Empty));

    // The first velodrome makes the other buttons work.
    m_t->dialogs.clear();
    control<QLineEdit>(*form, "KeirinjyoID")->setText(QStringLiteral("7"));
    control<QLineEdit>(*form, "KeirinjyoMei")->setText(QStringLiteral("唯一"));
    pickRegion(*form, QStringLiteral("近畿"));
    m_t->dialogs.answerYes();
    press(*form, 5);
    QCOMPARE(storedVelodromes(m_dir.database()), QList<Velodrome>{(Velodrome{7, QStringLiteral("唯一"), 5})});
    press(*form, 2);
    QCOMPARE(m_t->dialogs.lastText(), Last);
    control<QLineEdit>(*form, "KeirinjyoMei")->clear();
    press(*form, 0);
    QCOMPARE(recordNo(*form), QStringLiteral("1"));
    QCOMPARE(control<QLineEdit>(*form, "KeirinjyoMei")->text(), QStringLiteral("唯一"));

    // Deleting it empties the table again.
    m_t->dialogs.answerYes();
    press(*form, 6);
    m_t->dialogs.clear();
    press(*form, 2);
    QCOMPARE(m_t->dialogs.texts(), QStringList{Empty});
    QCOMPARE(storedVelodromes(m_dir.database()), QList<Velodrome>());
}

void KeirinjyoFormTest::report_data() {
    QTest::addColumn<int>("added");
    QTest::addColumn<int>("pages");
    QTest::newRow("seed, 43 velodromes") << 0 << 1;
    QTest::newRow("61 velodromes fill one page") << 18 << 1;
    QTest::newRow("62 velodromes") << 19 << 2;
}

void KeirinjyoFormTest::report() {
    QFETCH(int, added);
    QFETCH(int, pages);
    changeVelodromes(m_dir.database(), added);
    auto form = openForm();
    press(*form, 2);
    m_t->dialogs.answerYes();
    press(*form, 7);
    QCOMPARE(m_t->dialogs.shown().size(), 1);
    QCOMPARE(m_t->printer.jobCount(), 1);
    QCOMPARE(m_t->printer.reportName(0), QStringLiteral("競輪場一覧表"));
    QVERIFY(m_t->printer.ended(0));
    // A page break after the 61st line leaves an empty page that the printer does not feed.
    QCOMPARE(m_t->printer.pageCount(0), added == 18 ? 2 : pages);

    const QStringList first = m_t->printer.pageText(0, 0);
    QCOMPARE(first.size(), 4 + std::min(61, 43 + added));
    QCOMPARE(first.at(0), pageHead(1));
    QCOMPARE(first.at(1), QString());
    QCOMPARE(first.at(2), Heading);
    QCOMPARE(first.at(3), QString());
    QCOMPARE(first.at(4), spaces(10) + QStringLiteral("1    函館"));
    QCOMPARE(first.at(6), spaces(10) + QStringLiteral("3    いわき平"));
    QCOMPARE(first.at(4 + 42), spaces(10) + QStringLiteral("43   熊本"));
    if (added > 0)
        QCOMPARE(first.at(4 + 43), spaces(10) + QStringLiteral("101  場101"));
    if (pages == 2) {
        QCOMPARE(m_t->printer.pageText(0, 1), QStringList({pageHead(2), QString(), Heading, QString(),
                                                           spaces(10) + QStringLiteral("119  場119")}));
    }
    if (added == 18)
        QCOMPARE(m_t->printer.pageText(0, 1), QStringList());

    // The window's record is where it was: moving on goes from the second velodrome.
    press(*form, 2);
    QCOMPARE(shownId(*form), QStringLiteral("3"));
    QCOMPARE(recordNo(*form), QStringLiteral("3"));
    QCOMPARE(m_t->dialogs.shown().size(), 1);
}

void KeirinjyoFormTest::failingPrinter() {
    auto form = openForm();
    m_t->printer.failNextJob();
    m_t->dialogs.answerYes();
    press(*form, 7);
    QCOMPARE(m_t->dialogs.texts(), QStringList({QStringLiteral("競輪場テーブルを印刷しますか。\r\n"),
                                                QStringLiteral("プリンタに問題があります。")}));
    QCOMPARE(m_t->dialogs.shown().last().kind, ShownBox::Kind::Message);
    QCOMPARE(m_t->dialogs.shown().last().title, QString());
    QCOMPARE(m_t->printer.jobCount(), 0);
}

void KeirinjyoFormTest::reportOnPaper() {
    QStringList opened;
    ReportPrinter paper(
        m_t->state, [&](const QString& path) { opened << path; }, ReportPrinter::Target::PdfOnly);
    AppContext context{m_t->state, m_t->dialogs, m_t->clock, m_t->random, m_t->help, m_t->navigator, paper};
    KeirinjyoForm form(context);
    form.Keirinjyo_Print();
    QCOMPARE(m_t->dialogs.shown().size(), 0);
    QCOMPARE(opened.size(), 1);
    QVERIFY2(opened.first().startsWith(m_dir.path + QStringLiteral("印刷/競輪場一覧表_")),
             qPrintable(opened.first()));
    const QStringList lines = testsupport::pdfTextLines(opened.first());
    QCOMPARE(lines.size(), 2 + 43);
    QCOMPARE(lines.at(0).split(QLatin1Char(' '), Qt::SkipEmptyParts),
             QStringList({QStringLiteral("競輪場一覧表"), QStringLiteral("1")}));
    QCOMPARE(lines.at(1).trimmed(), QStringLiteral("競輪場"));
    QCOMPARE(lines.at(2).split(QLatin1Char(' '), Qt::SkipEmptyParts),
             QStringList({QStringLiteral("1"), QStringLiteral("函館")}));
    QCOMPARE(lines.at(44).split(QLatin1Char(' '), Qt::SkipEmptyParts),
             QStringList({QStringLiteral("43"), QStringLiteral("熊本")}));
    testsupport::savePdfPicture(opened.first(), QStringLiteral("KeirinjyoForm-report"));
}

void KeirinjyoFormTest::selectionListFollows() {
    {
        auto form = openForm();
        control<QLineEdit>(*form, "KeirinjyoMei")->setText(QStringLiteral("函館新"));
        m_t->dialogs.answerYes();
        press(*form, 4);
        control<QLineEdit>(*form, "KeirinjyoID")->setText(QStringLiteral("50"));
        control<QLineEdit>(*form, "KeirinjyoMei")->setText(QStringLiteral("新設"));
        m_t->dialogs.answerYes();
        press(*form, 5);
        control<QAction>(*form, "Menu_Close")->trigger();
        QCOMPARE(m_t->navigator.closedWindows(), QList<WindowId>{WindowId::KeirinjyoForm});
    }
    RacerSearchChoices choices;
    SelectForm select(m_t->context, choices);
    auto* venues = select.findChild<QComboBox*>(QStringLiteral("ComboBasho"));
    QCOMPARE(venues->count(), 44);
    QCOMPARE(venues->itemText(0), QStringLiteral("函館新"));
    QVERIFY(venues->findText(QStringLiteral("新設")) >= 0);
}

QTEST_MAIN(KeirinjyoFormTest)
#include "KeirinjyoFormTest.moc"
