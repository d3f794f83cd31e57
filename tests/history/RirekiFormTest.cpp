#include "history/RirekiForm.h"
#include "shell/ReportPrinter.h"
#include "store/Database.h"
#include "store/Recordset.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QComboBox>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QTest>
#include <cmath>

namespace {

struct Racer {
    qint16 id = 0;
    QString name;
    qint16 term = 0;
    qint16 affiliationId = 0;
    QString affiliation;
    QDate birth;
};

// A race as the test stores it; a racer ID of 0 leaves the slot empty.
struct Race {
    QDate date;
    qint16 venueId = 0;
    qint16 raceNo = 0;
    QList<qint16> racerIds;
};

QString slotField(const char* stem, int n) {
    return QString::fromUtf8(stem) + QString::number(n);
}

// Racers of the seed database with every field filled, in table order.
QList<Racer> seedRacers(const QString& path) {
    Database db(path);
    QHash<qint64, QString> affiliations;
    {
        auto set = db.openRecordset(QStringLiteral("T_所属"));
        for (; !set->eof(); set->moveNext())
            affiliations.insert(set->field(QStringLiteral("所属ID")).toLongLong(),
                                set->field(QStringLiteral("所属名")).toString());
        set->close();
    }
    QList<Racer> racers;
    auto set = db.openRecordset(QStringLiteral("T_選手"));
    for (; !set->eof(); set->moveNext()) {
        Racer r;
        r.id = static_cast<qint16>(set->field(QStringLiteral("選手ID")).toInt());
        r.name = set->field(QStringLiteral("名前")).toString();
        r.term = static_cast<qint16>(set->field(QStringLiteral("期")).toInt());
        r.affiliationId = static_cast<qint16>(set->field(QStringLiteral("所属ID")).toInt());
        r.affiliation = affiliations.value(r.affiliationId);
        r.birth =
            QDate(set->field(QStringLiteral("生年")).toInt(), set->field(QStringLiteral("生月")).toInt(),
                  set->field(QStringLiteral("生日")).toInt());
        if (r.id != 0 && r.affiliationId != 0 && !r.affiliation.isEmpty() && r.birth.isValid() &&
            !set->field(QStringLiteral("期")).isNull())
            racers.append(r);
    }
    set->close();
    db.close();
    return racers;
}

QPair<qint16, QString> seedVenue(const QString& path, const QString& name) {
    Database db(path);
    auto set = db.openRecordset(QStringLiteral("T_競輪場"));
    QPair<qint16, QString> found{0, QString()};
    for (; !set->eof(); set->moveNext()) {
        if (set->field(QStringLiteral("競輪場名")).toString().trimmed() == name || found.first == 0)
            found = {static_cast<qint16>(set->field(QStringLiteral("競輪場ID")).toInt()),
                     set->field(QStringLiteral("競輪場名")).toString()};
        if (found.second.trimmed() == name)
            break;
    }
    set->close();
    db.close();
    return found;
}

// Stores races and returns their 履歴ID, read back from the table.
QList<qint64> storeRaces(const QString& path, const QList<Race>& races) {
    Database db(path);
    auto set = db.openRecordset(QStringLiteral("T_レース履歴"));
    QSet<qint64> before;
    for (; !set->eof(); set->moveNext())
        before.insert(set->field(QStringLiteral("履歴ID")).toLongLong());
    QList<qint64> ids;
    for (const Race& race : races) {
        set->addNew();
        set->setField(QStringLiteral("調査年"), race.date.year());
        set->setField(QStringLiteral("調査月"), race.date.month());
        set->setField(QStringLiteral("調査日"), race.date.day());
        set->setField(QStringLiteral("競輪場ID"), race.venueId);
        set->setField(QStringLiteral("レースNO"), race.raceNo);
        for (int n = 1; n <= 9; ++n)
            set->setField(slotField("選手", n), n <= race.racerIds.size() ? race.racerIds.at(n - 1) : 0);
        set->update();
        qint64 newId = -1;
        for (set->moveFirst(); !set->eof(); set->moveNext()) {
            const qint64 id = set->field(QStringLiteral("履歴ID")).toLongLong();
            if (!before.contains(id) && !ids.contains(id))
                newId = std::max(newId, id);
        }
        ids.append(newId);
    }
    set->close();
    db.close();
    return ids;
}

// The stored history rows: 履歴ID -> 結果1..9.
QMap<qint64, QList<QVariant>> storedResults(const QString& path) {
    Database db(path);
    auto set = db.openRecordset(QStringLiteral("T_レース履歴"));
    QMap<qint64, QList<QVariant>> rows;
    for (; !set->eof(); set->moveNext()) {
        QList<QVariant> results;
        for (int n = 1; n <= 9; ++n)
            results << set->field(slotField("結果", n));
        rows.insert(set->field(QStringLiteral("履歴ID")).toLongLong(), results);
    }
    set->close();
    db.close();
    return rows;
}

// The three evaluations by the closed formula, with full-precision pi and calendar days.
std::array<double, 3> closedEvaluations(QDate birth, QDate survey) {
    const qint64 elapsed = birth.daysTo(survey);
    std::array<double, 3> values{};
    const int cycles[3] = {23, 28, 33};
    for (int k = 0; k < 3; ++k) {
        const int c = cycles[k];
        const qint64 phase = ((elapsed % c) + c) % c;
        values[k] = std::sin(2 * M_PI * static_cast<double>(phase) / c) * c / 4;
    }
    return values;
}

// Two decimals; close to a rounding or cutting edge the two constants for pi may disagree.
bool nearEdge(double scaled) {
    return std::abs(scaled - std::floor(scaled) - 0.5) < 1e-4 || std::abs(scaled - std::round(scaled)) < 1e-4;
}
QString twoDecimals(double value) {
    QString text = QString::number(value, 'f', 2);
    return text == QStringLiteral("-0.00") ? QStringLiteral("0.00") : text;
}

// A printed line built cell by cell: ASCII and half-width kana take one cell, the rest two.
class GridLine {
public:
    void put(int column, const QString& text, bool red = false) {
        for (QChar ch : text) {
            const int width =
                (ch.unicode() < 0x80 || (ch.unicode() >= 0xFF61 && ch.unicode() <= 0xFF9F)) ? 1 : 2;
            while (m_cells.size() < column + width)
                m_cells.append({QLatin1Char(' '), false});
            m_cells[column] = {ch, red};
            if (width == 2)
                m_cells[column + 1] = {QChar(0), red};
            column += width;
        }
    }
    QString text() const {
        QString s;
        for (const auto& [ch, red] : m_cells)
            if (!ch.isNull())
                s += ch;
        while (s.endsWith(QLatin1Char(' ')))
            s.chop(1);
        return s;
    }
    QString colors() const {
        QString s;
        for (const auto& [ch, red] : m_cells)
            if (!ch.isNull())
                s += ch == QLatin1Char(' ') ? QLatin1Char('.') : (red ? QLatin1Char('R') : QLatin1Char('B'));
        return s;
    }

private:
    QList<QPair<QChar, bool>> m_cells;
};

const QString NotPicked = QStringLiteral("レース履歴を選択してから実行して下さい");
const QString EmptyHistory = QStringLiteral("レース履歴がありません。レース履歴登録後実行して下さい\r");

} // namespace

class RirekiFormTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void layout();
    void loadMessage_data();
    void loadMessage();
    void refusedBeforePick_data();
    void refusedBeforePick();
    void itemText_data();
    void itemText();
    void pickFillsRows_data();
    void pickFillsRows();
    void secondPickReplacesRows();
    void storeOrders_data();
    void storeOrders();
    void deleteRace();
    void noChangesOnNo_data();
    void noChangesOnNo();
    void report_data();
    void report();
    void reportWithoutFirstRacer();
    void failingPrinter();
    void reportOnPaper();
    void helpVersionAndClose_data();
    void helpVersionAndClose();

private:
    std::unique_ptr<RirekiForm> openForm() { return std::make_unique<RirekiForm>(m_t->context); }
    static QAction* action(RirekiForm& form, const char* name) {
        return form.findChild<QAction*>(QString::fromLatin1(name));
    }
    static void pickId(RirekiForm& form, qint64 id);
    template <typename T> static T* control(RirekiForm& form, const QString& name, int index) {
        return form.findChild<T*>(name + QLatin1Char('(') + QString::number(index) + QLatin1Char(')'));
    }
    void checkRows(RirekiForm& form, const Race& race);
    QList<Racer> pickRacers(int count, int offset = 0) const { return m_racers.mid(offset, count); }

    std::unique_ptr<TestContext> m_t;
    testsupport::ProgramDir m_dir;
    QList<Racer> m_racers;
    QHash<qint16, Racer> m_byId;
    QPair<qint16, QString> m_venue;
};

void RirekiFormTest::initTestCase() {
    testsupport::initGui();
}

void RirekiFormTest::init() {
    m_t = std::make_unique<TestContext>();
    m_dir = testsupport::copyOfProgramDir();
    m_t->state.appPath = m_dir.path;
    m_racers = seedRacers(m_dir.database());
    QVERIFY(m_racers.size() >= 20);
    m_byId.clear();
    for (const Racer& r : m_racers)
        m_byId.insert(r.id, r);
    m_venue = seedVenue(m_dir.database(), QStringLiteral("青森"));
    QVERIFY(m_venue.first != 0);
}

void RirekiFormTest::cleanup() {
    if (m_t)
        QCOMPARE(m_t->dialogs.unansweredQuestions(), 0);
    m_t.reset();
    m_dir = {};
}

void RirekiFormTest::pickId(RirekiForm& form, qint64 id) {
    auto* combo = form.findChild<QComboBox*>(QStringLiteral("ComboRireki"));
    QVERIFY(combo);
    const int index = combo->findText(QString::number(id) + QStringLiteral(" ："), Qt::MatchStartsWith);
    QVERIFY2(index >= 0, qPrintable(QStringLiteral("race %1 not listed").arg(id)));
    combo->setCurrentIndex(index);
    emit combo->activated(index);
}

void RirekiFormTest::checkRows(RirekiForm& form, const Race& race) {
    for (int i = 0; i < 9; ++i) {
        QCOMPARE(control<QLabel>(form, QStringLiteral("LabelNo"), i)->text(), QString::number(i + 1));
        const qint16 id = i < race.racerIds.size() ? race.racerIds.at(i) : 0;
        if (id == 0) {
            QCOMPARE(control<QLabel>(form, QStringLiteral("LabelShozokuMei"), i)->text(), QString());
            continue;
        }
        const Racer r = m_byId.value(id);
        QCOMPARE(control<QLabel>(form, QStringLiteral("LabelShozokuMei"), i)->text(), r.affiliation);
        QCOMPARE(control<QLabel>(form, QStringLiteral("LabelKi"), i)->text(), QString::number(r.term));
        QCOMPARE(control<QLabel>(form, QStringLiteral("LabelNamae"), i)->text(), r.name);
        QCOMPARE(control<QLabel>(form, QStringLiteral("LabelSeiNen"), i)->text(),
                 QString::number(r.birth.year()));
        QCOMPARE(control<QLabel>(form, QStringLiteral("LabelSeiTuki"), i)->text(),
                 QString::number(r.birth.month()));
        QCOMPARE(control<QLabel>(form, QStringLiteral("LabelSeiHi"), i)->text(),
                 QString::number(r.birth.day()));
        QCOMPARE(control<QLineEdit>(form, QStringLiteral("TextJyuni"), i)->text(), QStringLiteral("0"));

        const auto expected = closedEvaluations(r.birth, race.date);
        const QString names[3] = {QStringLiteral("LabelBody"), QStringLiteral("LabelHeart"),
                                  QStringLiteral("LabelIntel")};
        for (int k = 0; k < 3; ++k) {
            QLabel* label = control<QLabel>(form, names[k], i);
            if (!nearEdge(expected[k] * 100))
                QCOMPARE(label->text(), twoDecimals(expected[k]));
            if (std::abs(std::abs(expected[k]) - 1) > 1e-5) {
                const bool red = expected[k] >= -1 && expected[k] <= 1;
                QCOMPARE(label->palette().color(QPalette::Window),
                         red ? QColor(255, 0, 0) : QColor(255, 255, 255));
            }
        }
    }
}

void RirekiFormTest::layout() {
    auto form = openForm();
    QCOMPARE(form->windowTitle(), QStringLiteral("レース履歴"));
    QCOMPARE(form->centralWidget()->size(), QSize(632, 434));
    struct Expected {
        QString name;
        QRect geometry;
    };
    for (const Expected& e : {Expected{QStringLiteral("PictureWaku"), QRect(8, 8, 617, 409)},
                              Expected{QStringLiteral("LabelRireki"), QRect(8, 16, 100, 24)},
                              Expected{QStringLiteral("PictureHyouji"), QRect(8, 56, 593, 337)},
                              Expected{QStringLiteral("LabelMidashi"), QRect(8, 16, 577, 15)},
                              Expected{QStringLiteral("PictureGyo(0)"), QRect(8, 40, 577, 33)},
                              Expected{QStringLiteral("PictureGyo(8)"), QRect(8, 296, 577, 33)},
                              Expected{QStringLiteral("LabelNamae(4)"), QRect(124, 2, 122, 25)},
                              Expected{QStringLiteral("LabelIntel(8)"), QRect(472, 2, 55, 25)},
                              Expected{QStringLiteral("TextJyuni(3)"), QRect(536, 2, 33, 25)}}) {
        auto* w = form->findChild<QWidget*>(e.name);
        QVERIFY2(w, qPrintable(e.name));
        QCOMPARE(w->geometry(), e.geometry);
    }
    auto* combo = form->findChild<QComboBox*>(QStringLiteral("ComboRireki"));
    QCOMPARE(combo->geometry().topLeft(), QPoint(104, 16));
    QCOMPARE(combo->width(), 497);
    QCOMPARE(QFontInfo(combo->font()).family(), QStringLiteral("IPAPGothic"));
    QVERIFY(combo->font().bold());
    auto* heading = form->findChild<QLabel*>(QStringLiteral("LabelMidashi"));
    QCOMPARE(heading->text(), QStringLiteral("No.　出身　　　期　　名前　　　　 "
                                             "　　　　　生年月日　　　　身体評価　感情評価　知性評価　順位"));
    QCOMPARE(QFontInfo(heading->font()).family(), QStringLiteral("IPAGothic"));
    QVERIFY(control<QLineEdit>(*form, QStringLiteral("TextJyuni"), 0)->font().bold());
    QStringList captions;
    for (QAction* a : form->menuBar()->actions())
        captions << a->text();
    QCOMPARE(captions, QStringList({QStringLiteral("終了(&X)"), QStringLiteral("順位更新(&E)"),
                                    QStringLiteral("履歴削除(&D)"), QStringLiteral("印刷(&P)"),
                                    QStringLiteral("統計(&S)"), QStringLiteral("ﾍﾙﾌﾟ(&H)")}));
}

void RirekiFormTest::loadMessage_data() {
    QTest::addColumn<int>("races");
    QTest::newRow("empty history") << 0;
    QTest::newRow("one race") << 1;
    QTest::newRow("three races") << 3;
}

void RirekiFormTest::loadMessage() {
    QFETCH(int, races);
    QList<Race> list;
    for (int k = 0; k < races; ++k)
        list << Race{QDate(2001, 3, 10 + k), m_venue.first, static_cast<qint16>(k + 1), {m_racers.at(k).id}};
    storeRaces(m_dir.database(), list);
    auto form = openForm();
    QCOMPARE(m_t->dialogs.texts(), races == 0 ? QStringList{EmptyHistory} : QStringList());
    QCOMPARE(form->findChild<QComboBox*>(QStringLiteral("ComboRireki"))->count(), races);
}

void RirekiFormTest::refusedBeforePick_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<int>("races");
    for (const char* command : {"Menu_Edit", "Mneu_Delete", "Menu_Print"}) {
        QTest::addRow("%s, empty history", command) << QString::fromLatin1(command) << 0;
        QTest::addRow("%s, races listed", command) << QString::fromLatin1(command) << 2;
    }
}

void RirekiFormTest::refusedBeforePick() {
    QFETCH(QString, command);
    QFETCH(int, races);
    QList<Race> list;
    for (int k = 0; k < races; ++k)
        list << Race{QDate(2001, 3, 10), m_venue.first, 1, {m_racers.at(k).id}};
    storeRaces(m_dir.database(), list);
    auto form = openForm();
    m_t->dialogs.clear();
    form->findChild<QAction*>(command)->trigger();
    form->findChild<QAction*>(command)->trigger();
    QCOMPARE(m_t->dialogs.texts(), QStringList({NotPicked, NotPicked}));
    QCOMPARE(m_t->dialogs.shown().first().kind, ShownBox::Kind::Message);
    QCOMPARE(m_t->dialogs.shown().first().title, QString());
    QCOMPARE(m_t->printer.jobCount(), 0);
    QCOMPARE(storedResults(m_dir.database()).size(), races);
}

void RirekiFormTest::itemText_data() {
    QTest::addColumn<QDate>("date");
    QTest::addColumn<int>("raceNo");
    QTest::newRow("1999-12-8 race 5") << QDate(1999, 12, 8) << 5;
    QTest::newRow("2026-1-31 race 12") << QDate(2026, 1, 31) << 12;
    QTest::newRow("2000-2-29 race 1") << QDate(2000, 2, 29) << 1;
}

void RirekiFormTest::itemText() {
    QFETCH(QDate, date);
    QFETCH(int, raceNo);
    // Eleven races before it, so the race under test has a two-digit ID in a fresh history.
    QList<Race> races(11, Race{QDate(1998, 1, 1), m_venue.first, 1, {m_racers.at(0).id}});
    races << Race{date, m_venue.first, static_cast<qint16>(raceNo), {m_racers.at(0).id, m_racers.at(1).id}};
    const QList<qint64> ids = storeRaces(m_dir.database(), races);
    auto form = openForm();
    auto* combo = form->findChild<QComboBox*>(QStringLiteral("ComboRireki"));
    QCOMPARE(combo->count(), 12);
    const QString expected = QStringLiteral("%1 ： %2.%3.%4　%5競輪　第%6レース")
                                 .arg(ids.last())
                                 .arg(date.year())
                                 .arg(date.month())
                                 .arg(date.day())
                                 .arg(m_venue.second.trimmed())
                                 .arg(raceNo);
    QStringList items;
    for (int k = 0; k < combo->count(); ++k)
        items << combo->itemText(k);
    QVERIFY2(items.contains(expected), qPrintable(items.join(QLatin1Char('\n'))));
    if (ids.last() == 12 && date == QDate(1999, 12, 8) && m_venue.second.trimmed() == QStringLiteral("青森"))
        QVERIFY(items.contains(QStringLiteral("12 ： 1999.12.8　青森競輪　第5レース")));
}

void RirekiFormTest::pickFillsRows_data() {
    QTest::addColumn<QDate>("date");
    QTest::addColumn<int>("racers");
    QTest::addColumn<bool>("bornOnSurveyDay"); // the first racer's birthday as survey date: all 0.00 on red
    QTest::newRow("nine racers") << QDate(1999, 12, 8) << 9 << false;
    QTest::newRow("five racers") << QDate(2024, 7, 1) << 5 << false;
    QTest::newRow("survey on the birth date") << QDate() << 9 << true;
    QTest::newRow("survey before the birth dates") << QDate(1950, 5, 5) << 9 << false;
}

void RirekiFormTest::pickFillsRows() {
    QFETCH(QDate, date);
    QFETCH(int, racers);
    QFETCH(bool, bornOnSurveyDay);
    Race race{bornOnSurveyDay ? m_racers.at(3).birth : date, m_venue.first, 7, {}};
    for (const Racer& r : pickRacers(racers, 3))
        race.racerIds << r.id;
    const QList<qint64> ids = storeRaces(m_dir.database(), {race});
    auto form = openForm();
    pickId(*form, ids.first());
    QCOMPARE(m_t->dialogs.texts(), QStringList());
    checkRows(*form, race);
    if (bornOnSurveyDay) {
        for (const char* name : {"LabelBody", "LabelHeart", "LabelIntel"}) {
            QLabel* label = control<QLabel>(*form, QString::fromLatin1(name), 0);
            QCOMPARE(label->text(), QStringLiteral("0.00"));
            QCOMPARE(label->palette().color(QPalette::Window), QColor(255, 0, 0));
        }
    }
    form->show();
    if (bornOnSurveyDay)
        testsupport::saveScreenshot(form.get(), QStringLiteral("RirekiForm"));
}

void RirekiFormTest::secondPickReplacesRows() {
    Race first{QDate(2010, 4, 4), m_venue.first, 3, {}};
    for (const Racer& r : pickRacers(9))
        first.racerIds << r.id;
    Race second{QDate(2011, 8, 20), m_venue.first, 9, {}};
    for (const Racer& r : pickRacers(4, 10))
        second.racerIds << r.id;
    const QList<qint64> ids = storeRaces(m_dir.database(), {first, second});
    auto form = openForm();
    pickId(*form, ids.at(0));
    checkRows(*form, first);
    control<QLineEdit>(*form, QStringLiteral("TextJyuni"), 8)->setText(QStringLiteral("typed"));
    pickId(*form, ids.at(1));
    checkRows(*form, second);
    pickId(*form, ids.at(0));
    checkRows(*form, first);
}

void RirekiFormTest::storeOrders_data() {
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QList<double>>("stored");
    QTest::addColumn<QStringList>("shownAgain");
    QTest::newRow("plain, empty, with a suffix")
        << QStringList({QStringLiteral("1"), QString(), QStringLiteral("3着"), QStringLiteral("2"),
                        QStringLiteral("5"), QStringLiteral("4"), QStringLiteral("9"), QStringLiteral("8"),
                        QStringLiteral("7")})
        << QList<double>({1, 0, 3, 2, 5, 4, 9, 8, 7})
        << QStringList({QStringLiteral("1"), QStringLiteral("0"), QStringLiteral("3"), QStringLiteral("2"),
                        QStringLiteral("5"), QStringLiteral("4"), QStringLiteral("9"), QStringLiteral("8"),
                        QStringLiteral("7")});
    QTest::newRow("blanks, full-width digits, no number")
        << QStringList({QStringLiteral(" 6 "), QStringLiteral("１"), QStringLiteral("落車"),
                        QStringLiteral("1 2"), QString(), QString(), QString(), QString(),
                        QStringLiteral("-")})
        << QList<double>({6, 1, 0, 12, 0, 0, 0, 0, 0})
        << QStringList({QStringLiteral("6"), QStringLiteral("1"), QStringLiteral("0"), QStringLiteral("12"),
                        QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0"),
                        QStringLiteral("0")});
}

void RirekiFormTest::storeOrders() {
    QFETCH(QStringList, texts);
    QFETCH(QList<double>, stored);
    QFETCH(QStringList, shownAgain);
    Race race{QDate(2005, 6, 15), m_venue.first, 11, {}};
    for (const Racer& r : pickRacers(9))
        race.racerIds << r.id;
    const QList<qint64> ids = storeRaces(m_dir.database(), {race, race});
    {
        auto form = openForm();
        pickId(*form, ids.at(1));
        for (int i = 0; i < 9; ++i)
            control<QLineEdit>(*form, QStringLiteral("TextJyuni"), i)->setText(texts.at(i));
        m_t->dialogs.answerYes();
        action(*form, "Menu_Edit")->trigger();
        QCOMPARE(m_t->dialogs.texts(), QStringList{QStringLiteral("履歴テーブルを更新しますか。")});
        QCOMPARE(m_t->dialogs.shown().first().title, QStringLiteral("履歴テーブル更新"));
        QCOMPARE(m_t->dialogs.shown().first().kind, ShownBox::Kind::Question);
        // The rows are not refreshed after storing.
        QCOMPARE(control<QLineEdit>(*form, QStringLiteral("TextJyuni"), 2)->text(), texts.at(2));
        action(*form, "Menu_Close")->trigger();
    }
    const auto rows = storedResults(m_dir.database());
    for (int i = 0; i < 9; ++i) {
        QCOMPARE(rows.value(ids.at(1)).at(i).toDouble(), stored.at(i));
        QCOMPARE(rows.value(ids.at(0)).at(i).toDouble(), 0.0); // the other race is untouched
    }
    auto again = openForm();
    pickId(*again, ids.at(1));
    for (int i = 0; i < 9; ++i)
        QCOMPARE(control<QLineEdit>(*again, QStringLiteral("TextJyuni"), i)->text(), shownAgain.at(i));
}

void RirekiFormTest::deleteRace() {
    Race race{QDate(2003, 9, 9), m_venue.first, 4, {m_racers.at(0).id, m_racers.at(1).id}};
    const Race later{QDate(2003, 9, 10), m_venue.first, 6, {m_racers.at(5).id}};
    const QList<qint64> ids = storeRaces(m_dir.database(), {race, race, later});
    {
        auto form = openForm();
        pickId(*form, ids.at(1));
        m_t->dialogs.answerYes();
        action(*form, "Mneu_Delete")->trigger();
        QCOMPARE(m_t->dialogs.texts(), QStringList{QStringLiteral("履歴テーブルを削除しますか。")});
        QCOMPARE(m_t->dialogs.shown().first().title, QStringLiteral("履歴テーブル削除"));
        QCOMPARE(storedResults(m_dir.database()).keys(), QList<qint64>({ids.at(0), ids.at(2)}));
        // The list and the rows stay as they were until the window is opened again.
        auto* combo = form->findChild<QComboBox*>(QStringLiteral("ComboRireki"));
        QCOMPARE(combo->count(), 3);
        QCOMPARE(control<QLabel>(*form, QStringLiteral("LabelNamae"), 1)->text(), m_racers.at(1).name);
        // The races on either side of the deleted one in the list can still be picked and stored.
        for (int k : {0, 2}) {
            pickId(*form, ids.at(k));
            checkRows(*form, k == 0 ? race : later);
            control<QLineEdit>(*form, QStringLiteral("TextJyuni"), 0)->setText(QString::number(k + 5));
            m_t->dialogs.answerYes();
            action(*form, "Menu_Edit")->trigger();
            QCOMPARE(storedResults(m_dir.database()).value(ids.at(k)).first().toDouble(), k + 5.0);
        }
        QCOMPARE(m_t->dialogs.shown().size(), 3);
        action(*form, "Menu_Close")->trigger();
    }
    auto again = openForm();
    auto* combo = again->findChild<QComboBox*>(QStringLiteral("ComboRireki"));
    QCOMPARE(combo->count(), 2);
    QCOMPARE(combo->findText(QString::number(ids.at(1)) + QStringLiteral(" ："), Qt::MatchStartsWith), -1);
}

void RirekiFormTest::noChangesOnNo_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("question");
    QTest::newRow("store orders") << QStringLiteral("Menu_Edit")
                                  << QStringLiteral("履歴テーブルを更新しますか。");
    QTest::newRow("delete") << QStringLiteral("Mneu_Delete")
                            << QStringLiteral("履歴テーブルを削除しますか。");
    QTest::newRow("print") << QStringLiteral("Menu_Print")
                           << QStringLiteral("レース履歴を印刷しますか。\r\n");
}

void RirekiFormTest::noChangesOnNo() {
    QFETCH(QString, command);
    QFETCH(QString, question);
    Race race{QDate(2003, 9, 9), m_venue.first, 4, {m_racers.at(0).id, m_racers.at(1).id}};
    const QList<qint64> ids = storeRaces(m_dir.database(), {race});
    const auto before = storedResults(m_dir.database());
    auto form = openForm();
    pickId(*form, ids.first());
    control<QLineEdit>(*form, QStringLiteral("TextJyuni"), 0)->setText(QStringLiteral("2"));
    m_t->dialogs.answerNo();
    form->findChild<QAction*>(command)->trigger();
    QCOMPARE(m_t->dialogs.texts(), QStringList{question});
    QCOMPARE(storedResults(m_dir.database()), before);
    QCOMPARE(m_t->printer.jobCount(), 0);
}

void RirekiFormTest::report_data() {
    QTest::addColumn<QList<int>>("racerSlots"); // indexes into the seed racers, -1 for an empty slot
    QTest::addColumn<int>("rows");              // rows expected on paper
    QTest::addColumn<QStringList>("orders");    // finishing orders stored before printing, empty: none
    QTest::newRow("nine racers, never updated")
        << QList<int>({0, 1, 2, 3, 4, 5, 6, 7, 8}) << 9 << QStringList();
    QTest::newRow("nine racers with orders")
        << QList<int>({9, 10, 11, 12, 13, 14, 15, 16, 17}) << 9
        << QStringList({QStringLiteral("3"), QStringLiteral("1"), QStringLiteral("9"), QStringLiteral("2"),
                        QStringLiteral("4"), QStringLiteral("6"), QStringLiteral("5"), QStringLiteral("8"),
                        QStringLiteral("7")});
    QTest::newRow("slot 4 empty, later slots filled")
        << QList<int>({0, 1, 2, -1, 4, 5, 6, 7, 8}) << 3 << QStringList();
    QTest::newRow("single racer") << QList<int>({5}) << 1 << QStringList();
}

void RirekiFormTest::report() {
    QFETCH(QList<int>, racerSlots);
    QFETCH(int, rows);
    QFETCH(QStringList, orders);
    Race race{QDate(1999, 12, 8), m_venue.first, 5, {}};
    for (int s : racerSlots)
        race.racerIds << (s < 0 ? qint16(0) : m_racers.at(s).id);
    const QList<qint64> ids = storeRaces(m_dir.database(), {race});
    auto form = openForm();
    pickId(*form, ids.first());
    if (!orders.isEmpty()) {
        for (int i = 0; i < 9; ++i)
            control<QLineEdit>(*form, QStringLiteral("TextJyuni"), i)->setText(orders.at(i));
        m_t->dialogs.answerYes();
        action(*form, "Menu_Edit")->trigger();
        action(*form, "Menu_Close")->trigger();
        form = openForm();
        pickId(*form, ids.first());
    }
    m_t->dialogs.clear();
    m_t->dialogs.answerYes();
    action(*form, "Menu_Print")->trigger();
    QCOMPARE(m_t->dialogs.texts(), QStringList{QStringLiteral("レース履歴を印刷しますか。\r\n")});
    QCOMPARE(m_t->dialogs.shown().first().title, QStringLiteral("レース履歴印刷"));
    QCOMPARE(m_t->printer.jobCount(), 1);
    QVERIFY(m_t->printer.ended(0));
    QCOMPARE(m_t->printer.pageCount(0), 1);

    QList<GridLine> expected(4);
    expected[0].put(
        10,
        QStringLiteral("調査日： 1999. 12. 8  %1競輪  第5レース    バイオリズム表示").arg(m_venue.second));
    const QList<QPair<int, QString>> headings = {
        {10, QStringLiteral("No.")},  {13, QStringLiteral("出身")}, {20, QStringLiteral("期")},
        {25, QStringLiteral("名前")}, {39, QStringLiteral("生年")}, {44, QStringLiteral("生月")},
        {49, QStringLiteral("生日")}, {66, QStringLiteral("身体")}, {73, QStringLiteral("感情")},
        {80, QStringLiteral("知性")}, {86, QStringLiteral("順位")}};
    for (const auto& [column, text] : headings)
        expected[2].put(column, text);
    QList<int> uncertainLines;
    for (int n = 1; n <= rows; ++n) {
        const Racer r = m_byId.value(race.racerIds.at(n - 1));
        GridLine line;
        line.put(10, QStringLiteral(" %1 ").arg(n));
        line.put(13, r.affiliation);
        line.put(19, QStringLiteral(" %1 ").arg(r.term));
        line.put(25, r.name);
        line.put(40, QStringLiteral(" %1 ").arg(r.birth.year()));
        line.put(46, QStringLiteral(" %1 ").arg(r.birth.month()));
        line.put(49, QStringLiteral(" %1 ").arg(r.birth.day()));
        line.put(86, orders.isEmpty() ? QStringLiteral("0") : orders.at(n - 1));
        const auto values = closedEvaluations(r.birth, race.date);
        const int columns[3] = {66, 73, 80};
        for (int k = 0; k < 3; ++k) {
            const double cut = std::floor(values[k] * 100) / 100;
            if (nearEdge(values[k] * 100))
                uncertainLines << expected.size();
            line.put(columns[k], twoDecimals(cut), cut > -1 && cut < 1);
        }
        expected << line << GridLine();
    }
    expected.removeLast();

    const QStringList page = m_t->printer.pageText(0);
    QCOMPARE(page.size(), expected.size());
    for (int l = 0; l < expected.size(); ++l) {
        if (uncertainLines.contains(l))
            continue;
        QCOMPARE(page.at(l), expected.at(l).text());
        QCOMPARE(m_t->printer.lineColors(0, 0, l), expected.at(l).colors());
    }
}

void RirekiFormTest::reportWithoutFirstRacer() {
    Race race{QDate(1999, 12, 8), m_venue.first, 5, {0, m_racers.at(1).id, m_racers.at(2).id}};
    const QList<qint64> ids = storeRaces(m_dir.database(), {race});
    auto form = openForm();
    pickId(*form, ids.first());
    m_t->dialogs.answerYes();
    action(*form, "Menu_Print")->trigger();
    QCOMPARE(m_t->dialogs.lastText(), QStringLiteral("該当レコードがありません"));
    QCOMPARE(m_t->dialogs.shown().last().kind, ShownBox::Kind::Message);
    QVERIFY(m_t->printer.jobCount() <= 1);
    if (m_t->printer.jobCount() == 1) {
        QVERIFY(!m_t->printer.ended(0));
        QCOMPARE(m_t->printer.pageText(0), QStringList());
    }
}

void RirekiFormTest::failingPrinter() {
    Race race{QDate(1999, 12, 8), m_venue.first, 5, {m_racers.at(0).id}};
    const QList<qint64> ids = storeRaces(m_dir.database(), {race});
    auto form = openForm();
    pickId(*form, ids.first());
    m_t->printer.failNextJob();
    m_t->dialogs.answerYes();
    action(*form, "Menu_Print")->trigger();
    QCOMPARE(m_t->dialogs.shown().size(), 2);
    QVERIFY2(m_t->dialogs.lastText().startsWith(
                 QStringLiteral("エラー番号  482Printer でエラーが発生しました。 \r")),
             qPrintable(m_t->dialogs.lastText()));
    QCOMPARE(m_t->dialogs.shown().last().title, QStringLiteral("エラー"));
    // The window goes on working after the error.
    m_t->dialogs.answerYes();
    action(*form, "Menu_Print")->trigger();
    QCOMPARE(m_t->printer.jobCount(), 1);
    QVERIFY(m_t->printer.ended(0));
}

void RirekiFormTest::reportOnPaper() {
    // Surveyed on the first racer's birthday, so the page shows red values too.
    Race race{m_racers.at(0).birth, m_venue.first, 5, {}};
    for (const Racer& r : pickRacers(9))
        race.racerIds << r.id;
    const QList<qint64> ids = storeRaces(m_dir.database(), {race});
    QStringList opened;
    ReportPrinter paper(
        m_t->state, [&](const QString& path) { opened << path; }, ReportPrinter::Target::PdfOnly);
    AppContext context{m_t->state, m_t->dialogs, m_t->clock, m_t->random, m_t->help, m_t->navigator, paper};
    RirekiForm form(context);
    pickId(form, ids.first());
    m_t->dialogs.answerYes();
    action(form, "Menu_Print")->trigger();
    QCOMPARE(m_t->dialogs.shown().size(), 1);
    QCOMPARE(opened.size(), 1);
    QVERIFY2(opened.first().startsWith(m_dir.path + QStringLiteral("印刷/レース履歴_")),
             qPrintable(opened.first()));

    const QStringList lines = testsupport::pdfTextLines(opened.first());
    QCOMPARE(lines.size(), 11); // title, headings, nine racers
    const QString date = QStringLiteral("調査日： %1. %2. %3")
                             .arg(race.date.year())
                             .arg(race.date.month())
                             .arg(race.date.day());
    QVERIFY2(lines.at(0).contains(date), qPrintable(lines.at(0)));
    QVERIFY2(lines.at(1).contains(QStringLiteral("順位")), qPrintable(lines.at(1)));
    for (int n = 1; n <= 9; ++n) {
        const Racer r = m_byId.value(race.racerIds.at(n - 1));
        // Blanks are not inked, so the text tool turns them into a run of its own blanks.
        const auto squeezed = [](QString text) {
            return text.remove(QLatin1Char(' ')).remove(QChar(0x3000));
        };
        QVERIFY2(squeezed(lines.at(n + 1)).contains(squeezed(r.name)) &&
                     lines.at(n + 1).trimmed().startsWith(QString::number(n)),
                 qPrintable(lines.at(n + 1)));
    }

    testsupport::savePdfPicture(opened.first(), QStringLiteral("RirekiForm-report"));
}

void RirekiFormTest::helpVersionAndClose_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("menu") << QStringLiteral("menu");
    QTest::newRow("frame") << QStringLiteral("frame");
}

void RirekiFormTest::helpVersionAndClose() {
    QFETCH(QString, how);
    auto form = openForm();
    form->show();
    m_t->dialogs.clear();
    action(*form, "Menu_HelpCard")->trigger();
    QCOMPARE(m_t->help.shownCount(), 1);
    action(*form, "Menu_Help_About")->trigger();
    QCOMPARE(m_t->dialogs.shown().size(), 1);
    QCOMPARE(m_t->dialogs.shown().first().kind, ShownBox::Kind::Information);
    QCOMPARE(m_t->dialogs.shown().first().title, QStringLiteral("コルヴァン  Ver2.10"));
    if (how == QStringLiteral("menu"))
        action(*form, "Menu_Close")->trigger();
    else
        form->close();
    QVERIFY(!form->isVisible());
    QCOMPARE(m_t->navigator.closedWindows(), QList<WindowId>{WindowId::RirekiForm});
    // The database is free again: another connection can write to it.
    storeRaces(m_dir.database(), {Race{QDate(2001, 1, 1), m_venue.first, 1, {m_racers.at(0).id}}});
    QCOMPARE(storedResults(m_dir.database()).size(), 1);
    QCOMPARE(m_t->dialogs.shown().size(), 1);
}

QTEST_MAIN(RirekiFormTest)
#include "RirekiFormTest.moc"
