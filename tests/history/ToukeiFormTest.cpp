#include "history/ToukeiForm.h"
#include "history/RirekiForm.h"
#include "store/Database.h"
#include "store/Recordset.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QChartView>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineSeries>
#include <QMenuBar>
#include <QPushButton>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTest>
#include <QValueAxis>
#include <numbers>

using namespace Qt::StringLiterals;

namespace {

// A stored race: per slot a racer ID (0 for an empty slot) and a finishing order.
struct TestRace {
    QDate date;
    qint16 venueId = 0;
    QList<QPair<qint16, double>> seats;
};

// Adds racers with IDs below 10000 (free in the seed database) and the given birth dates.
void addRacers(Database& db, const QList<QPair<qint16, QDate>>& racers) {
    auto set = db.openRecordset(u"T_選手"_s);
    for (const auto& [id, birth] : racers) {
        set->addNew();
        set->setField(u"選手ID"_s, id);
        set->setField(u"名前"_s, u"試験 選手%1"_s.arg(id));
        set->setField(u"所属ID"_s, 1);
        set->setField(u"生年"_s, birth.year());
        set->setField(u"生月"_s, birth.month());
        set->setField(u"生日"_s, birth.day());
        set->update();
    }
    set->close();
}

void storeRaces(Database& db, const QList<TestRace>& races) {
    auto set = db.openRecordset(u"T_レース履歴"_s);
    for (const TestRace& race : races) {
        set->addNew();
        set->setField(u"調査年"_s, race.date.year());
        set->setField(u"調査月"_s, race.date.month());
        set->setField(u"調査日"_s, race.date.day());
        set->setField(u"競輪場ID"_s, race.venueId);
        set->setField(u"レースNO"_s, 1);
        for (int n = 1; n <= race.seats.size(); ++n) {
            set->setField(u"選手"_s + QString::number(n), race.seats[n - 1].first);
            set->setField(u"結果"_s + QString::number(n), race.seats[n - 1].second);
        }
        set->update();
    }
    set->close();
}

// The first rows of a table in key order, as (ID, trimmed name or text of the second column).
QList<QPair<qint16, QString>> firstRows(Database& db, const QString& table, const QString& id,
                                        const QString& text, int count) {
    auto set = db.openRecordset(table);
    QList<QPair<qint16, QString>> rows;
    for (; !set->eof() && rows.size() < count; set->moveNext())
        rows.append({static_cast<qint16>(set->field(id).toInt()), set->field(text).toString().trimmed()});
    set->close();
    return rows;
}

// Every small race is run on 10 March 2001.
const QDate RaceDay(2001, 3, 10);

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
    void exports();
    void exportCancelledOrFailing();
    void invertedRangeAndLateBirth();
    void openedFromHistoryAndClosed();
    void screenshotOfLargerHistory();
    void screenshotOfPlantedEffect();

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
    // A row of a table, its cells joined with commas.
    static QString gridRow(ToukeiForm& form, int row, const QString& name = u"GridToukei"_s) {
        auto* grid = form.findChild<QTableWidget*>(name);
        QStringList texts;
        for (int column = 0; column < grid->columnCount(); ++column)
            texts << (grid->item(row, column) ? grid->item(row, column)->text() : QString());
        return texts.join(QLatin1Char(','));
    }
    static QList<QPointF> points(ToukeiForm& form, int cycle) {
        auto* view = form.findChild<QChartView*>(u"ChartToukei"_s);
        return qobject_cast<QXYSeries*>(view->chart()->series().at(cycle))->points();
    }
    // The widest step between neighbouring points of any line drawn.
    static double widestStep(ToukeiForm& form) {
        double widest = 0;
        for (QAbstractSeries* series : form.findChild<QChartView*>(u"ChartToukei"_s)->chart()->series()) {
            if (auto* line = qobject_cast<QLineSeries*>(series))
                for (qsizetype i = 1; i < line->count(); ++i)
                    widest = std::max(widest, std::abs(line->at(i).x() - line->at(i - 1).x()));
        }
        return widest;
    }
    static QString summary(ToukeiForm& form) { return form.findChild<QLabel*>(u"LabelSetsumei"_s)->text(); }

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
    Database db(m_dir.database());
    m_venues = firstRows(db, u"T_競輪場"_s, u"競輪場ID"_s, u"競輪場名"_s, 3);
    QCOMPARE(m_venues.size(), 3);
    m_asked.clear();
    m_answerPath.clear();
}

void ToukeiFormTest::cleanup() {
    QCOMPARE(m_t->dialogs.unansweredQuestions(), 0);
    m_t.reset();
    m_dir = {};
}

// Racers 1 to 5 are born 0, 7, 14, 23 and 33 days before the race day; HistoryStatisticsTest works out
// their evaluations (身体, 感情, 知性): 0, 0, 0 (caution in all); 5.418, 7.000, 8.017; -3.629, -0.000002,
// 3.780 (感情); 0, -6.307, -7.796 (身体); 2.291, 6.307, 0 (知性). Racer 6 is deleted.
// Race 1, first velodrome: 1 1着, 2 2着, an empty slot with 3 typed in, 6 4着, 3 without an order, 4 3着.
// Race 2, second velodrome: 2 and 3 both 1着, 5 3着, 1 9着. Race 3 (1999, third velodrome) has no
// orders; race 4 (2002) only the deleted racer's.
void ToukeiFormTest::storeSmallHistory() {
    Database db(m_dir.database());
    addRacers(db, {{1, QDate(2001, 3, 10)},
                   {2, QDate(2001, 3, 3)},
                   {3, QDate(2001, 2, 24)},
                   {4, QDate(2001, 2, 15)},
                   {5, QDate(2001, 2, 5)},
                   {6, QDate(1970, 5, 5)}});
    storeRaces(db, {{RaceDay, m_venues[0].first, {{1, 1}, {2, 2}, {0, 3}, {6, 4}, {3, 0}, {4, 3}}},
                    {RaceDay, m_venues[1].first, {{2, 1}, {3, 1}, {5, 3}, {1, 9}}},
                    {QDate(1999, 1, 1), m_venues[2].first, {{1, 0}, {2, 0}}},
                    {QDate(2002, 6, 1), m_venues[0].first, {{6, 1}, {0, 2}}}});
    auto racers = db.openRecordset(u"T_選手"_s);
    QVERIFY(racers->findFirst(u"選手ID = 6"_s));
    racers->deleteCurrent();
    racers->close();
}

void ToukeiFormTest::layout() {
    auto form = openForm();
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    QCOMPARE(form->windowTitle(), u"バイオリズム統計"_s);
    QCOMPARE(form->centralWidget()->size(), QSize(760, 628));
    const QList<QPair<QString, QRect>> places = {
        {u"LabelBasho"_s, QRect(8, 11, 48, 20)},      {u"DateKaishi"_s, QRect(262, 9, 104, 24)},
        {u"DateShuryo"_s, QRect(388, 9, 104, 24)},    {u"GridToukei"_s, QRect(8, 40, 328, 215)},
        {u"LabelChuui"_s, QRect(8, 259, 328, 44)},    {u"ChartToukei"_s, QRect(344, 40, 408, 263)},
        {u"GridKentei"_s, QRect(8, 311, 744, 215)},   {u"LabelSetsumei"_s, QRect(8, 532, 744, 56)},
        {u"CommandGazou"_s, QRect(576, 594, 84, 26)}, {u"CommandCsv"_s, QRect(668, 594, 84, 26)},
    };
    for (const auto& [name, rect] : places)
        QCOMPARE(form->findChild<QWidget*>(name)->geometry(), rect);
    QCOMPARE(form->findChild<QComboBox*>(u"ComboBasho"_s)->geometry().topLeft(), QPoint(56, 9));
    QCOMPARE(form->findChild<QPushButton*>(u"CommandGazou"_s)->text(), u"画像保存"_s);
    QCOMPARE(form->findChild<QPushButton*>(u"CommandCsv"_s)->text(), u"CSV出力"_s);
    QStringList captions;
    for (QAction* a : form->menuBar()->actions())
        captions << a->text();
    QCOMPARE(captions.join(QLatin1Char(',')), u"終了(&X),ﾍﾙﾌﾟ(&H)"_s);

    // Both tables are in view whole, without scrolling.
    for (const auto& [name, rows, columns] :
         {std::tuple{u"GridToukei"_s, 9, 5}, std::tuple{u"GridKentei"_s, 9, 9}}) {
        auto* grid = form->findChild<QTableWidget*>(name);
        QCOMPARE(grid->rowCount(), rows);
        QCOMPARE(grid->columnCount(), columns);
        const QHeaderView* across = grid->horizontalHeader();
        QVERIFY(across->sectionPosition(columns - 1) + across->sectionSize(columns - 1) <=
                grid->viewport()->width());
        const QHeaderView* down = grid->verticalHeader();
        QVERIFY(down->sectionPosition(rows - 1) + down->sectionSize(rows - 1) <= grid->viewport()->height());
    }
    // The values over their amplitudes on a scale that does not move with the data.
    auto* axis = qobject_cast<QValueAxis*>(
        form->findChild<QChartView*>(u"ChartToukei"_s)->chart()->axes(Qt::Vertical).first());
    QCOMPARE(std::pair(axis->min(), axis->max()), std::pair(-1.0, 1.0));

    // The cycles in the colours of the chart windows: 身体 blue, 感情 red, 知性 the cube's cyan.
    const QList<QPair<QString, QColor>> cycles = {
        {u"身体"_s, QColor(0, 0, 255)}, {u"感情"_s, QColor(255, 0, 0)}, {u"知性"_s, QColor(0, 128, 128)}};
    for (int k = 0; k < 3; ++k) {
        auto* series =
            qobject_cast<QXYSeries*>(form->findChild<QChartView*>(u"ChartToukei"_s)->chart()->series().at(k));
        QCOMPARE(series->name(), cycles[k].first);
        QCOMPARE(series->pen().color(), cycles[k].second);
    }
}

void ToukeiFormTest::figuresFromStoredHistory() {
    storeSmallHistory();
    auto form = openForm();
    QCOMPARE(m_t->dialogs.texts(), QStringList());
    // Means rounded to hundredths, e.g. 1着 身体 (0 + 5.418 - 3.629) / 3 = 0.596, with half the 95 %
    // interval (HistoryStatisticsTest works them out); one starter has no interval.
    QCOMPARE(gridRow(*form, 0), u"1着,3,0.60±11.31,2.33±10.04,3.93±9.96"_s);
    QCOMPARE(gridRow(*form, 1), u"2着,1,5.42,7.00,8.02"_s);
    QCOMPARE(gridRow(*form, 2), u"3着,2,1.15±14.55,0.00±80.14,-3.90±49.53"_s);
    QCOMPARE(gridRow(*form, 3), u"4着,0,,,"_s);
    QCOMPARE(gridRow(*form, 8), u"9着,1,0.00,0.00,0.00"_s);
    // Caution-day starters of 身体 (0 days 1着 and 9着, 23 days 3着) and the other four; the exact p of
    // 1 stays 1 after the correction.
    QCOMPARE(gridRow(*form, 0, u"GridKentei"_s).section(QLatin1Char(','), 0, 6),
             u"身体,要注意日,3,33.3% (6.1～79.2),33.3% (6.1～79.2),66.7% (20.8～93.9),1.000"_s);
    QCOMPARE(gridRow(*form, 1, u"GridKentei"_s),
             u",その他の日,4,50.0% (15.0～85.0),75.0% (30.1～95.4),100.0% (51.0～100.0),,,"_s);
    QCOMPARE(gridRow(*form, 2, u"GridKentei"_s), u",偶然なら,,30.6%,61.1%,91.7%,,,"_s);
    // Every figure here stands on fewer than 30 starters: greyed.
    auto* grid = form->findChild<QTableWidget*>(u"GridToukei"_s);
    QVERIFY(grid->item(0, 2)->foreground().color() != grid->item(0, 0)->foreground().color());
    QCOMPARE(summary(*form),
             u"着順のあるレースは 2 件です。データが足りません（20 件以上で傾向を見ます）。"_s);

    // A point for each position someone finished in: 1, 2, 3 and 9, 身体 set 0.2 to the left, its mean
    // over the amplitude 5.75 (3着 1.145403 / 5.75); no line from 3 to 9.
    const QList<QPointF> physical = points(*form, 0);
    QCOMPARE(physical.size(), 4);
    QCOMPARE(physical[3], QPointF(8.8, 0));
    QCOMPARE(physical[2].x(), 2.8);
    QVERIFY(std::abs(physical[2].y() - 0.199200) < 1e-5);
    QCOMPARE(widestStep(*form), 1.0);
    // The dates span the races with orders only (not 1999, not 2002).
    QCOMPARE(form->findChild<QDateEdit*>(u"DateKaishi"_s)->date(), RaceDay);
    QCOMPARE(form->findChild<QDateEdit*>(u"DateShuryo"_s)->date(), RaceDay);
}

void ToukeiFormTest::filters_data() {
    QTest::addColumn<int>("venue"); // index in the velodrome picker
    QTest::addColumn<QDate>("from");
    QTest::addColumn<QDate>("to");
    QTest::addColumn<QString>("winnerRow");
    QTest::addColumn<QString>("allStarters");
    // Race 2 alone, racers 2 and 3 tied: (5.418 - 3.629) / 2, (7 - 0.000002) / 2, (8.017 + 3.780) / 2;
    // two values are one difference d apart, so half the interval is 12.7062 * d / 2: 57.47, 44.47, 26.92.
    QTest::newRow("second velodrome, a tie")
        << 2 << RaceDay << RaceDay << u"1着,2,0.89±57.47,3.50±44.47,5.90±26.92"_s << u"4"_s;
    QTest::newRow("a range without races")
        << 0 << QDate(2001, 3, 11) << QDate(2001, 12, 31) << u"1着,0,,,"_s << u"0"_s;
}

void ToukeiFormTest::filters() {
    QFETCH(int, venue);
    QFETCH(QDate, from);
    QFETCH(QDate, to);
    QFETCH(QString, winnerRow);
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
    QCOMPARE(QString::number(form->figures().starters), allStarters);
    const bool none = allStarters == u"0"_s;
    QVERIFY2(summary(*form).contains(u"データが足りません"_s), qPrintable(summary(*form)));
    QCOMPARE(summary(*form).startsWith(u"着順のあるレースは 0 件"_s), none);
    QCOMPARE(points(*form, 0).isEmpty(), none);
}

void ToukeiFormTest::emptyHistory() {
    auto form = openForm();
    QCOMPARE(m_t->dialogs.texts(), QStringList());
    QCOMPARE(form->findChild<QComboBox*>(u"ComboBasho"_s)->count(), 1);
    // Nothing to span: both dates are today's.
    QCOMPARE(form->findChild<QDateEdit*>(u"DateKaishi"_s)->date(), QDate(1999, 12, 8));
    QCOMPARE(form->findChild<QDateEdit*>(u"DateShuryo"_s)->date(), QDate(1999, 12, 8));
    QCOMPARE(summary(*form),
             u"着順のあるレースは 0 件です。データが足りません（20 件以上で傾向を見ます）。"_s);
    QCOMPARE(gridRow(*form, 0, u"GridKentei"_s), u"身体,要注意日,0,,,,,,"_s);
}

void ToukeiFormTest::exports() {
    storeSmallHistory();
    auto form = openForm();
    // Only the second velodrome: the CSV follows the filters, as the table does.
    form->findChild<QComboBox*>(u"ComboBasho"_s)->setCurrentIndex(2);
    m_answerPath = m_dir.path + u"統計"_s;
    form->findChild<QPushButton*>(u"CommandCsv"_s)->click();
    QFile file(m_answerPath + u".csv"_s);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
    const QStringList lines = QString::fromUtf8(bytes.mid(3)).split(u"\r\n"_s);
    QCOMPARE(lines.size(), 33); // 32 rows, each ending in CR LF
    // The context: the filter, the counts and the summary.
    QCOMPARE(lines[0], u"条件,競輪場 %1、調査日 2001.03.10～2001.03.10"_s.arg(m_venues[1].second));
    QCOMPARE(lines[1], u"着順のあるレース,1"_s);
    QCOMPARE(lines[2], u"出走者,4"_s);
    QVERIFY2(lines[4].startsWith(u"要約,着順のあるレースは 1 件です。"_s), qPrintable(lines[4]));
    QVERIFY2(lines[4].contains(u"絞り込んだ一部のレースです。"_s), qPrintable(lines[4]));
    // Means with four places and their interval; racer 5 alone finished third, so without one.
    QCOMPARE(lines[9], u"3着,1,2.2908,,,6.3068,,,0.0000,,"_s);
    // Racers 2 and 3 won; 身体 caution: racer 1 (9着); 知性: racers 5 and 1, neither won.
    QCOMPARE(lines[18].section(QLatin1Char(','), 0, 6), u"身体,要注意日,1,0,0.0%,0.0%,79.3%"_s);
    QCOMPARE(lines[24].section(QLatin1Char(','), 0, 4), u"知性,要注意日,2,0,0.0%"_s);

    // The image is the whole window; a name of another kind gets ".png" added.
    m_answerPath = m_dir.path + u"統計.jpg"_s;
    form->findChild<QPushButton*>(u"CommandGazou"_s)->click();
    const QImage picture(m_answerPath + u".png"_s, "PNG");
    QCOMPARE(picture.size(), QSize(760, 628));
    QVERIFY(!QFile::exists(m_answerPath));
    // The first dialog opens in the documents folder, the next where the last file went.
    QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    documents = QDir(documents).exists() ? documents : QDir::homePath();
    QCOMPARE(
        m_asked,
        (QList<QStringList>{
            {u"CSV出力"_s, QDir(documents).filePath(u"バイオリズム統計.csv"_s), u"CSV ファイル (*.csv)"_s},
            {u"画像保存"_s, QDir(m_dir.path).filePath(u"バイオリズム統計.png"_s), u"PNG 画像 (*.png)"_s}}));
    QCOMPARE(m_t->dialogs.texts(), QStringList());
}

void ToukeiFormTest::exportCancelledOrFailing() {
    storeSmallHistory();
    auto form = openForm();
    // A cancelled choice writes nothing and says nothing.
    form->findChild<QPushButton*>(u"CommandGazou"_s)->click();
    QCOMPARE(m_asked.size(), 1);
    QCOMPARE(m_t->dialogs.texts(), QStringList());
    // A file that cannot be written is named in the message, and nothing is left behind.
    m_answerPath = m_dir.path + u"ない/統計.csv"_s;
    form->findChild<QPushButton*>(u"CommandCsv"_s)->click();
    QVERIFY(!QFile::exists(m_answerPath));
    QCOMPARE(m_t->dialogs.shown().size(), 1);
    const ShownBox& box = m_t->dialogs.shown().first();
    QCOMPARE(box.kind, ShownBox::Kind::Critical);
    QCOMPARE(box.title, u"CSV出力"_s);
    QVERIFY2(box.text.startsWith(u"表をファイル %1 に保存できませんでした。\r\n"_s.arg(m_answerPath)),
             qPrintable(box.text));
}

void ToukeiFormTest::invertedRangeAndLateBirth() {
    storeSmallHistory();
    {
        // Racer 7 "born" after race 2, with an order: left out, and said so under the table.
        Database db(m_dir.database());
        addRacers(db, {{7, QDate(2001, 4, 1)}});
        storeRaces(db, {{RaceDay, m_venues[1].first, {{7, 2}, {2, 1}}}});
    }
    auto form = openForm();
    QCOMPARE(form->figures().unborn, 1);
    QVERIFY2(form->findChild<QLabel*>(u"LabelChuui"_s)
                 ->text()
                 .endsWith(u"生年月日がレースの日より後の選手 1 人は数えていません。"_s),
             qPrintable(form->findChild<QLabel*>(u"LabelChuui"_s)->text()));

    form->findChild<QDateEdit*>(u"DateKaishi"_s)->setDate(RaceDay.addDays(1));
    QCOMPARE(summary(*form), u"調査日の範囲が逆です。開始日を終了日より前にしてください。"_s);
    QCOMPARE(gridRow(*form, 0), u",,,,"_s);
    QCOMPARE(gridRow(*form, 0, u"GridKentei"_s), u",,,,,,,,"_s);
    QVERIFY(points(*form, 0).isEmpty());
    QVERIFY(!form->findChild<QPushButton*>(u"CommandCsv"_s)->isEnabled());
    QCOMPARE(m_t->dialogs.texts(), QStringList());
}

void ToukeiFormTest::openedFromHistoryAndClosed() {
    storeSmallHistory();
    RirekiForm history(m_t->context);
    QAction* entry = history.findChild<QAction*>(u"Menu_Toukei"_s);
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
    // 60 races at three velodromes, every 12 days, nine seed racers each in orders that rotate.
    Database db(m_dir.database());
    const QList<QPair<qint16, QString>> racers = firstRows(db, u"T_選手"_s, u"選手ID"_s, u"名前"_s, 40);
    QCOMPARE(racers.size(), 40);
    QList<TestRace> races;
    for (int r = 0; r < 60; ++r) {
        TestRace race{QDate(2023, 1, 7).addDays(r * 12), m_venues[r % 3].first, {}};
        for (int slot = 0; slot < 9; ++slot)
            race.seats.append({racers[(r * 7 + slot * 3) % 40].first, double((slot + r) % 9 + 1)});
        races << race;
    }
    storeRaces(db, races);
    db.close();
    auto form = openForm();
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    testsupport::saveScreenshot(form.get(), u"ToukeiForm"_s);
    QCOMPARE(form->figures().races, 60);
    QCOMPARE(form->figures().positionCount, (std::array<int, 9>{60, 60, 60, 60, 60, 60, 60, 60, 60}));
    QVERIFY(!summary(*form).contains(u"データが足りません"_s));
    for (int k = 0; k < 3; ++k)
        QCOMPARE(points(*form, k).size(), 9);
    // Orders with nothing to do with the biorhythm: nothing is claimed, and 60 starters per cell are
    // enough not to be greyed.
    QCOMPARE(summary(*form), u"着順のあるレース 60 件では、バイオリズムと着順の関係は見られません。"_s);
    auto* grid = form->findChild<QTableWidget*>(u"GridToukei"_s);
    QCOMPARE(grid->item(0, 2)->foreground().color(), grid->item(0, 0)->foreground().color());
}

void ToukeiFormTest::screenshotOfPlantedEffect() {
    // 200 races of nine of 27 racers, placed by 0.15 * sin(身体) plus a random score, as the statistics
    // test plants it: a rank correlation near +0.3.
    Database db(m_dir.database());
    QList<QPair<qint16, QDate>> racers;
    for (qint16 id = 1; id <= 27; ++id)
        racers.append({id, QDate(1970, 1, 1).addDays(id * 41)});
    addRacers(db, racers);
    QRandomGenerator random(25);
    QList<TestRace> races;
    for (int r = 0; r < 200; ++r) {
        TestRace race{QDate(2023, 1, 7).addDays(r * 2), m_venues[r % 3].first, {}};
        QList<std::pair<double, qint16>> field;
        for (int slot = 0; slot < 9; ++slot) {
            const auto& [id, birth] = racers[(r * 9 + slot) % 27];
            const double phase = birth.daysTo(race.date) % 23;
            field.append({random.generateDouble() + 0.15 * std::sin(2 * std::numbers::pi * phase / 23), id});
        }
        for (const auto& [score, id] : field)
            race.seats.append(
                {id, double(1 + std::count_if(field.begin(), field.end(),
                                              [&](const auto& other) { return other.first > score; }))});
        races << race;
    }
    storeRaces(db, races);
    db.close();
    auto form = openForm();
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    testsupport::saveScreenshot(form.get(), u"ToukeiForm-effect"_s);
    QVERIFY2(summary(*form).startsWith(
                 u"着順のあるレース 200 件では、身体の評価値が高い選手ほど着順が上です（順位相関 +0."_s),
             qPrintable(summary(*form)));

    // The exported picture holds the same window; a copy goes beside the screenshots to be looked at.
    m_answerPath = m_dir.path + u"効果.png"_s;
    form->findChild<QPushButton*>(u"CommandGazou"_s)->click();
    QCOMPARE(QImage(m_answerPath, "PNG").size(), QSize(760, 628));
    if (const QString shots = qEnvironmentVariable("KORVANE_SCREENSHOT_DIR"); !shots.isEmpty())
        QFile::copy(m_answerPath, shots + u"/ToukeiForm-export.png"_s);
}

QTEST_MAIN(ToukeiFormTest)
#include "ToukeiFormTest.moc"
