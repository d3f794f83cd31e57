#include "history/ToukeiForm.h"
#include "history/RirekiForm.h"
#include "store/Database.h"
#include "store/Recordset.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QChartView>
#include <QComboBox>
#include <QDateEdit>
#include <QFile>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineSeries>
#include <QMenuBar>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// A racer of the test history; IDs below 10000 are free in the seed database.
struct TestRacer {
    qint16 id;
    QDate birth;
};

// A stored race: per slot a racer ID (0 for an empty slot) and a finishing order.
struct TestRace {
    QDate date;
    qint16 venueId = 0;
    QList<QPair<qint16, double>> seats;
};

QString slotField(const QString& stem, int n) {
    return stem + QString::number(n);
}

void addRacers(const QString& path, const QList<TestRacer>& racers) {
    Database db(path);
    auto set = db.openRecordset(u"T_選手"_s);
    for (const TestRacer& r : racers) {
        set->addNew();
        set->setField(u"選手ID"_s, r.id);
        set->setField(u"名前"_s, u"試験 選手%1"_s.arg(r.id));
        set->setField(u"よみがな"_s, u"しけん"_s);
        set->setField(u"よみがな１桁"_s, u"し"_s);
        set->setField(u"期"_s, 80);
        set->setField(u"所属ID"_s, 1);
        set->setField(u"生年"_s, r.birth.year());
        set->setField(u"生月"_s, r.birth.month());
        set->setField(u"生日"_s, r.birth.day());
        set->update();
    }
    set->close();
    db.close();
}

void deleteRacer(const QString& path, qint16 id) {
    Database db(path);
    auto set = db.openRecordset(u"T_選手"_s);
    QVERIFY(set->findFirst(u"選手ID = %1"_s.arg(id)));
    set->deleteCurrent();
    set->close();
    db.close();
}

void storeRaces(const QString& path, const QList<TestRace>& races) {
    Database db(path);
    auto set = db.openRecordset(u"T_レース履歴"_s);
    for (const TestRace& race : races) {
        set->addNew();
        set->setField(u"調査年"_s, race.date.year());
        set->setField(u"調査月"_s, race.date.month());
        set->setField(u"調査日"_s, race.date.day());
        set->setField(u"競輪場ID"_s, race.venueId);
        set->setField(u"レースNO"_s, 1);
        for (int n = 1; n <= 9; ++n) {
            const QPair<qint16, double> slot =
                n <= race.seats.size() ? race.seats.at(n - 1) : QPair<qint16, double>(0, 0.0);
            set->setField(slotField(u"選手"_s, n), slot.first);
            set->setField(slotField(u"結果"_s, n), slot.second);
        }
        set->update();
    }
    set->close();
    db.close();
}

// The first rows of a table in key order: (ID, trimmed name).
QList<QPair<qint16, QString>> firstVelodromes(const QString& path, int count) {
    Database db(path);
    auto set = db.openRecordset(u"T_競輪場"_s);
    QList<QPair<qint16, QString>> venues;
    for (; !set->eof() && venues.size() < count; set->moveNext())
        venues.append({static_cast<qint16>(set->field(u"競輪場ID"_s).toInt()),
                       set->field(u"競輪場名"_s).toString().trimmed()});
    set->close();
    db.close();
    return venues;
}

QList<qint16> seedRacerIds(const QString& path, int count) {
    Database db(path);
    auto set = db.openRecordset(u"T_選手"_s);
    QList<qint16> ids;
    for (; !set->eof() && ids.size() < count; set->moveNext())
        if (set->field(u"生年"_s).toInt() > 0)
            ids.append(static_cast<qint16>(set->field(u"選手ID"_s).toInt()));
    set->close();
    db.close();
    return ids;
}

// Racers born 0, 7, 14, 23 and 33 days before 10 March 2001, the day every small race is run; their
// evaluations on that day (身体, 感情, 知性) are worked out in HistoryStatisticsTest:
//   1: 0, 0, 0 (caution in all)   2: 5.418, 7.000, 8.017   3: -3.629, -0.000002, 3.780 (感情)
//   4: 0, -6.307, -7.796 (身体)   5: 2.291, 6.307, 0 (知性)  6: deleted before the window opens
const QDate RaceDay(2001, 3, 10);

const QString TooFewTwo = u"着順のあるレースは 2 件です。データが足りません（20 件以上で傾向を見ます）。"_s;

} // namespace

class ToukeiFormTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { testsupport::initGui(); }
    void init();
    void cleanup();

    void layout();
    void figuresFromStoredHistory();
    void filters_data();
    void filters();
    void emptyHistory();
    void missingDatabase();
    void csvExport();
    void imageExport();
    void exportCancelledOrFailing_data();
    void exportCancelledOrFailing();
    void openedFromHistoryAndClosed();
    void screenshotOfLargerHistory();

private:
    std::unique_ptr<ToukeiForm> openForm() {
        auto form = std::make_unique<ToukeiForm>(m_t->context);
        form->setPathChooser([this](const QString& title, const QString& suggested, const QString& filter) {
            m_asked << QStringList{title, suggested, filter};
            return m_answerPath;
        });
        return form;
    }
    void storeSmallHistory();
    static QStringList gridRow(ToukeiForm& form, int row);
    static QList<QPointF> points(ToukeiForm& form, int cycle);

    std::unique_ptr<TestContext> m_t;
    testsupport::ProgramDir m_dir;
    QList<QPair<qint16, QString>> m_venues;
    QList<QStringList> m_asked;
    QString m_answerPath;
};

void ToukeiFormTest::init() {
    m_t = std::make_unique<TestContext>();
    m_dir = testsupport::copyOfProgramDir();
    m_t->state.appPath = m_dir.path;
    m_venues = firstVelodromes(m_dir.database(), 3);
    QCOMPARE(m_venues.size(), 3);
    m_asked.clear();
    m_answerPath.clear();
}

void ToukeiFormTest::cleanup() {
    if (m_t)
        QCOMPARE(m_t->dialogs.unansweredQuestions(), 0);
    m_t.reset();
    m_dir = {};
}

// Race 1 at the first velodrome: racer 1 1着, 2 2着, an empty slot with 3 typed in, the deleted racer
// 4着, racer 3 without an order, racer 4 3着. Race 2 at the second: racers 2 and 3 both 1着, 5 3着,
// 1 9着. Race 3 (at the third velodrome, long before) has no orders; race 4 only the deleted racer's.
void ToukeiFormTest::storeSmallHistory() {
    addRacers(m_dir.database(), {{1, QDate(2001, 3, 10)},
                                 {2, QDate(2001, 3, 3)},
                                 {3, QDate(2001, 2, 24)},
                                 {4, QDate(2001, 2, 15)},
                                 {5, QDate(2001, 2, 5)},
                                 {6, QDate(1970, 5, 5)}});
    storeRaces(m_dir.database(),
               {{RaceDay, m_venues[0].first, {{1, 1}, {2, 2}, {0, 3}, {6, 4}, {3, 0}, {4, 3}}},
                {RaceDay, m_venues[1].first, {{2, 1}, {3, 1}, {5, 3}, {1, 9}}},
                {QDate(1999, 1, 1), m_venues[2].first, {{1, 0}, {2, 0}}},
                {QDate(2002, 6, 1), m_venues[0].first, {{6, 1}, {0, 2}}}});
    deleteRacer(m_dir.database(), 6);
}

QStringList ToukeiFormTest::gridRow(ToukeiForm& form, int row) {
    auto* grid = form.findChild<QTableWidget*>(u"GridToukei"_s);
    QStringList texts;
    for (int column = 0; column < grid->columnCount(); ++column)
        texts << (grid->item(row, column) ? grid->item(row, column)->text() : QString());
    return texts;
}

QList<QPointF> ToukeiFormTest::points(ToukeiForm& form, int cycle) {
    auto* view = form.findChild<QChartView*>(u"ChartToukei"_s);
    return static_cast<QLineSeries*>(view->chart()->series().at(cycle))->points();
}

void ToukeiFormTest::layout() {
    auto form = openForm();
    QCOMPARE(form->windowTitle(), u"バイオリズム統計"_s);
    QCOMPARE(form->centralWidget()->size(), QSize(632, 434));
    const QList<QPair<QString, QRect>> places = {
        {u"LabelBasho"_s, QRect(8, 11, 48, 20)},      {u"DateKaishi"_s, QRect(262, 9, 104, 24)},
        {u"DateShuryo"_s, QRect(388, 9, 104, 24)},    {u"GridToukei"_s, QRect(8, 40, 302, 276)},
        {u"ChartToukei"_s, QRect(318, 40, 306, 276)}, {u"LabelSetsumei"_s, QRect(8, 324, 616, 66)},
        {u"CommandGazou"_s, QRect(448, 400, 84, 26)}, {u"CommandCsv"_s, QRect(540, 400, 84, 26)},
    };
    for (const auto& [name, rect] : places) {
        auto* w = form->findChild<QWidget*>(name);
        QVERIFY2(w, qPrintable(name));
        QCOMPARE(w->geometry(), rect);
    }
    QCOMPARE(form->findChild<QComboBox*>(u"ComboBasho"_s)->geometry().topLeft(), QPoint(56, 9));
    QCOMPARE(form->findChild<QPushButton*>(u"CommandGazou"_s)->text(), u"画像保存"_s);
    QCOMPARE(form->findChild<QPushButton*>(u"CommandCsv"_s)->text(), u"CSV出力"_s);
    QStringList captions;
    for (QAction* a : form->menuBar()->actions())
        captions << a->text();
    QCOMPARE(captions, (QStringList{u"終了(&X)"_s, u"ﾍﾙﾌﾟ(&H)"_s}));

    // The whole table is in view: every column and row inside the grid, no scrolling.
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    auto* grid = form->findChild<QTableWidget*>(u"GridToukei"_s);
    QCOMPARE(grid->rowCount(), 12);
    QCOMPARE(grid->columnCount(), 5);
    const QHeaderView* across = grid->horizontalHeader();
    QVERIFY(across->sectionPosition(4) + across->sectionSize(4) <= grid->viewport()->width());
    const QHeaderView* down = grid->verticalHeader();
    QVERIFY(down->sectionPosition(11) + down->sectionSize(11) <= grid->viewport()->height());

    // The cycles in the colours of the chart windows: 身体 blue, 感情 red, 知性 the cube's cyan.
    auto* view = form->findChild<QChartView*>(u"ChartToukei"_s);
    const QList<QPair<QString, QColor>> cycles = {
        {u"身体"_s, QColor(0, 0, 255)}, {u"感情"_s, QColor(255, 0, 0)}, {u"知性"_s, QColor(0, 128, 128)}};
    QCOMPARE(view->chart()->series().size(), 3);
    for (int k = 0; k < 3; ++k) {
        auto* series = static_cast<QLineSeries*>(view->chart()->series().at(k));
        QCOMPARE(series->name(), cycles[k].first);
        QCOMPARE(series->pen().color(), cycles[k].second);
    }
}

void ToukeiFormTest::figuresFromStoredHistory() {
    storeSmallHistory();
    auto form = openForm();
    QCOMPARE(m_t->dialogs.texts(), QStringList());
    QCOMPARE(gridRow(*form, 0), (QStringList{u"1着"_s, u"3"_s, u"0.60"_s, u"2.33"_s, u"3.93"_s}));
    QCOMPARE(gridRow(*form, 1), (QStringList{u"2着"_s, u"1"_s, u"5.42"_s, u"7.00"_s, u"8.02"_s}));
    QCOMPARE(gridRow(*form, 2), (QStringList{u"3着"_s, u"2"_s, u"1.15"_s, u"0.00"_s, u"-3.90"_s}));
    QCOMPARE(gridRow(*form, 3), (QStringList{u"4着"_s, u"0"_s, QString(), QString(), QString()}));
    QCOMPARE(gridRow(*form, 8), (QStringList{u"9着"_s, u"1"_s, u"0.00"_s, u"0.00"_s, u"0.00"_s}));
    QCOMPARE(gridRow(*form, 9),
             (QStringList{u"1着の要注意日"_s, u"3"_s, u"33.3%"_s, u"66.7%"_s, u"33.3%"_s}));
    QCOMPARE(gridRow(*form, 10),
             (QStringList{u"3着以内の要注意日"_s, u"6"_s, u"33.3%"_s, u"33.3%"_s, u"33.3%"_s}));
    QCOMPARE(gridRow(*form, 11),
             (QStringList{u"全出走者の要注意日"_s, u"7"_s, u"42.9%"_s, u"42.9%"_s, u"42.9%"_s}));
    QCOMPARE(form->findChild<QLabel*>(u"LabelSetsumei"_s)->text(), TooFewTwo);

    // The chart has a point for each position someone finished in: 1, 2, 3 and 9.
    const QList<QPointF> physical = points(*form, 0);
    QCOMPARE(physical.size(), 4);
    const double expected[][2] = {{1, 0.596414}, {2, 5.418}, {3, 1.145403}, {9, 0}};
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(physical[i].x(), expected[i][0]);
        QVERIFY2(std::abs(physical[i].y() - expected[i][1]) < 1e-5, qPrintable(QString::number(i)));
    }
    QVERIFY(std::abs(points(*form, 2)[2].y() - (-3.898129)) < 1e-5);

    // The date range spans the races with orders only: the race of 1999 has none.
    QCOMPARE(form->findChild<QDateEdit*>(u"DateKaishi"_s)->date(), RaceDay);
    QCOMPARE(form->findChild<QDateEdit*>(u"DateShuryo"_s)->date(), RaceDay);
}

void ToukeiFormTest::filters_data() {
    QTest::addColumn<int>("venue"); // index in the velodrome picker
    QTest::addColumn<QDate>("from");
    QTest::addColumn<QDate>("to");
    QTest::addColumn<QStringList>("winnerRow");
    QTest::addColumn<QString>("allStarters");
    QTest::newRow("every velodrome") << 0 << RaceDay << RaceDay
                                     << QStringList{u"1着"_s, u"3"_s, u"0.60"_s, u"2.33"_s, u"3.93"_s}
                                     << u"7"_s;
    // Race 1 alone: racer 1 won.
    QTest::newRow("first velodrome") << 1 << RaceDay << RaceDay
                                     << QStringList{u"1着"_s, u"1"_s, u"0.00"_s, u"0.00"_s, u"0.00"_s}
                                     << u"3"_s;
    // Race 2 alone: racers 2 and 3 tied for the win: (5.418 - 3.629) / 2, (7 - 0) / 2, (8.017 + 3.780) / 2.
    QTest::newRow("second velodrome, a tie")
        << 2 << RaceDay << RaceDay << QStringList{u"1着"_s, u"2"_s, u"0.89"_s, u"3.50"_s, u"5.90"_s}
        << u"4"_s;
    QTest::newRow("a range after the races")
        << 0 << QDate(2001, 3, 11) << QDate(2001, 12, 31)
        << QStringList{u"1着"_s, u"0"_s, QString(), QString(), QString()} << u"0"_s;
    QTest::newRow("a range before the races")
        << 0 << QDate(1990, 1, 1) << QDate(2001, 3, 9)
        << QStringList{u"1着"_s, u"0"_s, QString(), QString(), QString()} << u"0"_s;
    QTest::newRow("a whole year") << 0 << QDate(2001, 1, 1) << QDate(2001, 12, 31)
                                  << QStringList{u"1着"_s, u"3"_s, u"0.60"_s, u"2.33"_s, u"3.93"_s} << u"7"_s;
}

void ToukeiFormTest::filters() {
    QFETCH(int, venue);
    QFETCH(QDate, from);
    QFETCH(QDate, to);
    QFETCH(QStringList, winnerRow);
    QFETCH(QString, allStarters);
    storeSmallHistory();
    auto form = openForm();
    auto* combo = form->findChild<QComboBox*>(u"ComboBasho"_s);
    // Only the velodromes of races with orders are offered, in the order of their IDs.
    QCOMPARE(combo->count(), 3);
    QCOMPARE(combo->itemText(0), u"全競輪場"_s);
    QCOMPARE(combo->itemText(1), m_venues[0].second);
    QCOMPARE(combo->itemText(2), m_venues[1].second);

    combo->setCurrentIndex(venue);
    form->findChild<QDateEdit*>(u"DateKaishi"_s)->setDate(from);
    form->findChild<QDateEdit*>(u"DateShuryo"_s)->setDate(to);
    QCOMPARE(gridRow(*form, 0), winnerRow);
    QCOMPARE(gridRow(*form, 11).at(1), allStarters);
    const QString summary = form->findChild<QLabel*>(u"LabelSetsumei"_s)->text();
    QVERIFY2(summary.contains(u"データが足りません"_s), qPrintable(summary));
    QCOMPARE(summary.startsWith(u"着順のあるレースは 0 件"_s), allStarters == u"0"_s);
    QCOMPARE(points(*form, 0).isEmpty(), allStarters == u"0"_s);
}

void ToukeiFormTest::emptyHistory() {
    auto form = openForm();
    QCOMPARE(m_t->dialogs.texts(), QStringList());
    QCOMPARE(form->findChild<QComboBox*>(u"ComboBasho"_s)->count(), 1);
    // Nothing to span: both dates are today's.
    QCOMPARE(form->findChild<QDateEdit*>(u"DateKaishi"_s)->date(), QDate(1999, 12, 8));
    QCOMPARE(form->findChild<QDateEdit*>(u"DateShuryo"_s)->date(), QDate(1999, 12, 8));
    QCOMPARE(form->findChild<QLabel*>(u"LabelSetsumei"_s)->text(),
             u"着順のあるレースは 0 件です。データが足りません（20 件以上で傾向を見ます）。"_s);
    QCOMPARE(gridRow(*form, 11),
             (QStringList{u"全出走者の要注意日"_s, u"0"_s, QString(), QString(), QString()}));
}

void ToukeiFormTest::missingDatabase() {
    QFile::remove(m_dir.database());
    auto form = openForm();
    QCOMPARE(m_t->dialogs.shown().size(), 1);
    QVERIFY2(m_t->dialogs.lastText().startsWith(u"エラー番号  3024"_s), qPrintable(m_t->dialogs.lastText()));
    QCOMPARE(m_t->dialogs.shown().first().title, u"エラー"_s);
    QVERIFY(form->findChild<QLabel*>(u"LabelSetsumei"_s)->text().contains(u"データが足りません"_s));
}

void ToukeiFormTest::csvExport() {
    storeSmallHistory();
    auto form = openForm();
    // Only the second velodrome: the CSV follows the filters, as the table does.
    form->findChild<QComboBox*>(u"ComboBasho"_s)->setCurrentIndex(2);
    m_answerPath = m_dir.path + u"統計.csv"_s;
    form->findChild<QPushButton*>(u"CommandCsv"_s)->click();
    QCOMPARE(m_asked, (QList<QStringList>{{u"CSV出力"_s, m_dir.path + u"バイオリズム統計.csv"_s,
                                           u"CSV ファイル (*.csv)"_s}}));
    QFile file(m_answerPath);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
    const QStringList lines = QString::fromUtf8(bytes.mid(3)).split(u"\r\n"_s);
    QCOMPARE(lines.size(), 14); // 13 rows and the empty text after the last line end
    QCOMPARE(lines[0], u"着順,人数,身体,感情,知性"_s);
    QCOMPARE(lines[1], u"1着,2,0.89,3.50,5.90"_s);
    QCOMPARE(lines[3], u"3着,1,2.29,6.31,0.00"_s);
    QCOMPARE(lines[4], u"4着,0,,,"_s);
    QCOMPARE(lines[9], u"9着,1,0.00,0.00,0.00"_s);
    // Winners 2 and 3 (感情 of 3 on a caution day); all four starters add 5 (知性) and 1 (all three).
    QCOMPARE(lines[10], u"1着の要注意日,2,0.0%,50.0%,0.0%"_s);
    QCOMPARE(lines[11], u"3着以内の要注意日,3,0.0%,33.3%,33.3%"_s);
    QCOMPARE(lines[12], u"全出走者の要注意日,4,25.0%,50.0%,50.0%"_s);
    QCOMPARE(lines[13], QString());
    QCOMPARE(m_t->dialogs.texts(), QStringList());
}

void ToukeiFormTest::imageExport() {
    storeSmallHistory();
    auto form = openForm();
    m_answerPath = m_dir.path + u"統計.png"_s;
    form->findChild<QPushButton*>(u"CommandGazou"_s)->click();
    QCOMPARE(m_asked, (QList<QStringList>{
                          {u"画像保存"_s, m_dir.path + u"バイオリズム統計.png"_s, u"PNG 画像 (*.png)"_s}}));
    QImage picture(m_answerPath, "PNG");
    QVERIFY(!picture.isNull());
    QCOMPARE(picture.size(), QSize(306, 276));
    // The physical line is drawn in its blue somewhere in the picture.
    bool blue = false;
    for (int y = 0; y < picture.height() && !blue; ++y)
        for (int x = 0; x < picture.width() && !blue; ++x)
            blue = picture.pixelColor(x, y) == QColor(0, 0, 255);
    QVERIFY(blue);
    QCOMPARE(m_t->dialogs.texts(), QStringList());
}

void ToukeiFormTest::exportCancelledOrFailing_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("title");
    QTest::addColumn<bool>("cancel");
    QTest::addColumn<QString>("what");
    for (const auto& [command, title, what] : {std::tuple{u"CommandCsv"_s, u"CSV出力"_s, u"表"_s},
                                               std::tuple{u"CommandGazou"_s, u"画像保存"_s, u"画像"_s}}) {
        QTest::addRow("%s cancelled", qPrintable(command)) << command << title << true << what;
        QTest::addRow("%s into a missing folder", qPrintable(command)) << command << title << false << what;
    }
}

void ToukeiFormTest::exportCancelledOrFailing() {
    QFETCH(QString, command);
    QFETCH(QString, title);
    QFETCH(bool, cancel);
    QFETCH(QString, what);
    storeSmallHistory();
    auto form = openForm();
    const QString path = m_dir.path + u"ない/統計.out"_s;
    m_answerPath = cancel ? QString() : path;
    form->findChild<QPushButton*>(command)->click();
    QCOMPARE(m_asked.size(), 1);
    QVERIFY(!QFile::exists(path));
    if (cancel) {
        QCOMPARE(m_t->dialogs.texts(), QStringList());
        return;
    }
    QCOMPARE(m_t->dialogs.shown().size(), 1);
    const ShownBox& box = m_t->dialogs.shown().first();
    QCOMPARE(box.kind, ShownBox::Kind::Critical);
    QCOMPARE(box.title, title);
    QVERIFY2(box.text.startsWith(u"%1をファイル %2 に保存できませんでした。\r\n"_s.arg(what, path)),
             qPrintable(box.text));
}

void ToukeiFormTest::openedFromHistoryAndClosed() {
    storeSmallHistory();
    RirekiForm history(m_t->context);
    QAction* entry = history.findChild<QAction*>(u"Menu_Toukei"_s);
    QVERIFY(entry);
    QCOMPARE(entry->text(), u"統計(&S)"_s);
    entry->trigger();
    QCOMPARE(m_t->navigator.opened(), QList<WindowId>{WindowId::ToukeiForm});

    // The history window keeps its database open; the statistics window reads beside it.
    auto form = openForm();
    QCOMPARE(form->figures().races, 2);
    form->show();
    form->findChild<QAction*>(u"Menu_Close"_s)->trigger();
    QVERIFY(!form->isVisible());
    QCOMPARE(m_t->navigator.closedWindows(), QList<WindowId>{WindowId::ToukeiForm});
}

void ToukeiFormTest::screenshotOfLargerHistory() {
    // 60 races at three velodromes over two years, nine seed racers each, in orders that rotate.
    const QList<qint16> racers = seedRacerIds(m_dir.database(), 40);
    QCOMPARE(racers.size(), 40);
    QList<TestRace> races;
    for (int r = 0; r < 60; ++r) {
        TestRace race{QDate(2023, 1, 7).addDays(r * 12), m_venues[r % 3].first, {}};
        for (int slot = 0; slot < 9; ++slot)
            race.seats.append({racers[(r * 7 + slot * 3) % 40], double((slot + r) % 9 + 1)});
        races << race;
    }
    storeRaces(m_dir.database(), races);
    auto form = openForm();
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    testsupport::saveScreenshot(form.get(), u"ToukeiForm"_s);
    QCOMPARE(form->figures().races, 60);
    QCOMPARE(form->figures().starters, 540);
    QCOMPARE(form->figures().positionCount, (std::array<int, 9>{60, 60, 60, 60, 60, 60, 60, 60, 60}));
    QVERIFY(!form->findChild<QLabel*>(u"LabelSetsumei"_s)->text().contains(u"データが足りません"_s));
    for (int k = 0; k < 3; ++k)
        QCOMPARE(points(*form, k).size(), 9);
    QCOMPARE(form->findChild<QDateEdit*>(u"DateKaishi"_s)->date(), QDate(2023, 1, 7));
    QCOMPARE(form->findChild<QDateEdit*>(u"DateShuryo"_s)->date(), QDate(2023, 1, 7).addDays(59 * 12));
}

QTEST_MAIN(ToukeiFormTest)
#include "ToukeiFormTest.moc"
