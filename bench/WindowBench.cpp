// Times how the windows open as the database grows, against baselines doing the same work: the race
// selection window at 32,767 racers against itself at 2,300; the race table with 10,000 stored races
// against itself with none; the race table registering its race with 10,000 and 100,000 stored against
// the raw SQLite C API storing the same row beside a bare window of the same labels; the history window
// at 10,000 and 100,000 races against a bare window that fills the same combo from the raw SQLite C API;
// the compaction at exit against the engine's own VACUUM INTO of the same file; and the peak memory
// after a 501-row search against a bare window listing the same rows under a menu bar of the same
// captions, and against one without the menu bar as this benchmark first measured it (each side in a
// process of its own, since a peak cannot be taken back). Wall clock, runs interleaved; prints median and
// minimum of each side and "RATIO <name> <median ratio> <goal>".
#include "BenchSupport.h"
#include "BenchTiming.h"
#include "core/AppContext.h"
#include "core/AppState.h"
#include "core/Dialogs.h"
#include "core/Printing.h"
#include "core/Services.h"
#include "history/RirekiForm.h"
#include "race/DispForm.h"
#include "race/SelectForm.h"
#include "shell/Placement.h"
#include "store/Database.h"
#include "store/SeedDatabase.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <span>
#include <sqlite3.h>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace {

using benchsupport::columnText;
using benchsupport::fail;
using benchsupport::NoHelp;
using benchsupport::NoNavigation;
using benchsupport::QuietDialogs;
using benchtiming::median;
using benchtiming::minimum;
using benchtiming::msSince;

constexpr int RaceCount = 10000;
constexpr int ManyRaceCount = 100000;

class NoPrinter : public Printer {
public:
    std::unique_ptr<PrintJob> startJob(const QString&) override { return nullptr; }
};

// The services a window needs, quiet, on the database in one directory.
struct Program {
    AppState state;
    QuietDialogs dialogs;
    SystemClock clock;
    SystemRandom random;
    NoHelp help;
    NoNavigation navigator;
    NoPrinter printer;
    AppContext ctx{state, dialogs, clock, random, help, navigator, printer};
    RacerSearchChoices choices;

    explicit Program(const QString& directory) { state.appPath = normalisedAppPath(directory); }
};

class Sqlite {
public:
    explicit Sqlite(const QString& path) {
        if (sqlite3_open_v2(path.toUtf8().constData(), &m_db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
            fail("cannot open", path);
    }
    ~Sqlite() { sqlite3_close(m_db); }
    Sqlite(const Sqlite&) = delete;
    Sqlite& operator=(const Sqlite&) = delete;
    sqlite3_stmt* prepare(const char* sql) const {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(m_db, sql, -1, &statement, nullptr) != SQLITE_OK)
            fail("cannot prepare",
                 QString::fromUtf8(sql) + QStringLiteral(": ") + QString::fromUtf8(sqlite3_errmsg(m_db)));
        return statement;
    }
    void exec(const char* sql) const {
        if (sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
            fail("cannot run",
                 QString::fromUtf8(sql) + QStringLiteral(": ") + QString::fromUtf8(sqlite3_errmsg(m_db)));
    }
    std::vector<int> column(const char* sql) const {
        sqlite3_stmt* statement = prepare(sql);
        std::vector<int> values;
        while (sqlite3_step(statement) == SQLITE_ROW)
            values.push_back(sqlite3_column_int(statement, 0));
        sqlite3_finalize(statement);
        return values;
    }

private:
    sqlite3* m_db = nullptr;
};

// Races as users store them over some 25 years, drawn by a small fixed generator so that every run
// stores the same.
void storeHistory(const QString& path, int raceCount) {
    const Sqlite db(path);
    const std::vector<int> racers = db.column("SELECT 選手ID FROM T_選手 ORDER BY 選手ID");
    const std::vector<int> venues = db.column("SELECT 競輪場ID FROM T_競輪場 ORDER BY 競輪場ID");
    std::string sql = "INSERT INTO T_レース履歴 (調査年, 調査月, 調査日, 競輪場ID, レースNO";
    for (int n = 1; n <= 9; ++n)
        sql += ", 選手" + std::to_string(n) + ", 結果" + std::to_string(n);
    sql += ") VALUES (?, ?, ?, ?, ?";
    for (int n = 1; n <= 9; ++n)
        sql += ", ?, ?";
    sql += ")";
    db.exec("BEGIN");
    sqlite3_stmt* insert = db.prepare(sql.c_str());
    unsigned long long state = 20240401;
    const auto below = [&state](size_t n) {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<size_t>((state >> 33) % n);
    };
    for (int race = 0; race < raceCount; ++race) {
        sqlite3_bind_int(insert, 1, 1995 + race / (raceCount / 25));
        sqlite3_bind_int(insert, 2, 1 + race / 33 % 12);
        sqlite3_bind_int(insert, 3, 1 + race % 28);
        sqlite3_bind_int(insert, 4, venues[below(venues.size())]);
        sqlite3_bind_int(insert, 5, 1 + race % 12);
        for (int slot = 0; slot < 9; ++slot) {
            sqlite3_bind_int(insert, 6 + 2 * slot, racers[below(racers.size())]);
            sqlite3_bind_int(insert, 7 + 2 * slot, slot + 1);
        }
        if (sqlite3_step(insert) != SQLITE_DONE)
            fail("cannot store a race");
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    db.exec("COMMIT");
}

void report(const char* name, const char* unit, double goal, const std::vector<double>& program,
            const std::vector<double>& baseline) {
    std::vector<double> ratios;
    for (size_t i = 0; i < program.size(); ++i)
        ratios.push_back(program[i] / baseline[i]);
    std::printf("%-18s program %8.2f %s (min %8.2f)  baseline %8.2f %s (min %8.2f)\n", name, median(program),
                unit, minimum(program), median(baseline), unit, minimum(baseline));
    std::printf("RATIO %s %.2f %.2f\n", name, median(ratios), goal);
    std::fflush(stdout);
}

// Runs both sides in turn, repetitions times after one warm-up each.
void compare(const char* name, double goal, int repetitions, const std::function<void()>& program,
             const std::function<void()>& baseline) {
    program();
    baseline();
    std::vector<double> programTimes;
    std::vector<double> baselineTimes;
    for (int i = 0; i < repetitions; ++i) {
        QCoreApplication::processEvents();
        auto start = std::chrono::steady_clock::now();
        program();
        programTimes.push_back(msSince(start));
        QCoreApplication::processEvents();
        start = std::chrono::steady_clock::now();
        baseline();
        baselineTimes.push_back(msSince(start));
    }
    report(name, "ms", goal, programTimes, baselineTimes);
}

// A window's opening: made, shown and painted. Closing it afterwards is not timed.
template <typename Window> std::function<void()> opening(std::function<std::unique_ptr<Window>()> make) {
    return [make] {
        std::unique_ptr<Window> window = make();
        window->show();
        QCoreApplication::processEvents();
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [w = window.release()] {
                w->close();
                delete w;
            },
            Qt::QueuedConnection);
    };
}

// The history combo's item text, as the bare side builds it.
const char* const RaceListSql = "SELECT 履歴ID, 調査年, 調査月, 調査日, 競輪場名, レースNO FROM Q_レース履歴";

QStringList bareRaceItems(const QString& path) {
    const Sqlite db(path);
    sqlite3_stmt* query = db.prepare(RaceListSql);
    QStringList items;
    while (sqlite3_step(query) == SQLITE_ROW)
        items << columnText(query, 0) + QStringLiteral(" ： ") + columnText(query, 1) + QLatin1Char('.') +
                     columnText(query, 2) + QLatin1Char('.') + columnText(query, 3) + QStringLiteral("　") +
                     columnText(query, 4) + QStringLiteral("競輪　第") + columnText(query, 5) +
                     QStringLiteral("レース");
    sqlite3_finalize(query);
    return items;
}

// The race table as the bare side shows it: every frame and label of the window with its place, font,
// palette and text, under a menu bar of the same captions; copied once from the window itself.
struct WidgetCopy {
    QRect geometry;
    bool label = false;
    int frameStyle = 0;
    QFont font;
    QPalette palette;
    bool filled = false;
    Qt::Alignment alignment;
    QString text;
};

// A menu bar entry: a command, or a menu of commands.
struct MenuCopy {
    QString caption;
    QStringList commands;
    bool isMenu = false;
};

struct WindowCopy {
    QSize size;
    std::vector<MenuCopy> menus;
    std::vector<WidgetCopy> widgets;
};

WindowCopy copyOf(QMainWindow& window) {
    WindowCopy copy{window.size(), {}, {}};
    for (const QAction* action : window.menuBar()->actions()) {
        MenuCopy menu{action->text(), {}, action->menu() != nullptr};
        if (menu.isMenu) {
            for (const QAction* command : action->menu()->actions())
                menu.commands << command->text();
        }
        copy.menus.push_back(menu);
    }
    QWidget* central = window.centralWidget();
    for (QFrame* frame : central->findChildren<QFrame*>()) {
        auto* label = qobject_cast<QLabel*>(frame);
        copy.widgets.push_back({QRect(frame->mapTo(central, QPoint()), frame->size()), label != nullptr,
                                frame->frameStyle(), frame->font(), frame->palette(),
                                frame->autoFillBackground(), label ? label->alignment() : Qt::Alignment(),
                                label ? label->text() : QString()});
    }
    return copy;
}

std::unique_ptr<QMainWindow> bareWindow(const WindowCopy& copy) {
    auto window = std::make_unique<QMainWindow>();
    for (const MenuCopy& menu : copy.menus) {
        if (!menu.isMenu) {
            window->menuBar()->addAction(menu.caption);
            continue;
        }
        QMenu* submenu = window->menuBar()->addMenu(menu.caption);
        for (const QString& command : menu.commands)
            submenu->addAction(command);
    }
    auto* central = new QWidget;
    window->setCentralWidget(central);
    for (const WidgetCopy& widget : copy.widgets) {
        QFrame* frame = widget.label ? new QLabel(central) : new QFrame(central);
        frame->setGeometry(widget.geometry);
        frame->setFrameStyle(widget.frameStyle);
        frame->setFont(widget.font);
        frame->setPalette(widget.palette);
        frame->setAutoFillBackground(widget.filled);
        if (auto* label = qobject_cast<QLabel*>(frame)) {
            label->setAlignment(widget.alignment);
            label->setText(widget.text);
        }
    }
    window->resize(copy.size);
    return window;
}

// The bare side of registering a race: the same connection settings as the program's and the same
// reads (the velodromes, one found by its trimmed name; the stored row read back, as the window's set
// holds it), the same row stored.
void bareRegistration(const QString& path, const AppState& state) {
    const Sqlite db(path);
    db.exec("PRAGMA foreign_keys = ON; PRAGMA synchronous = EXTRA");
    sqlite3_stmt* venues = db.prepare("SELECT 競輪場ID, 競輪場名, 地区ID FROM T_競輪場");
    int venue = 0;
    while (sqlite3_step(venues) == SQLITE_ROW) {
        if (venue == 0 && columnText(venues, 1).trimmed() == state.surveyVenue)
            venue = sqlite3_column_int(venues, 0);
    }
    sqlite3_finalize(venues);
    if (venue == 0)
        fail("no velodrome named", state.surveyVenue);
    sqlite3_stmt* insert = db.prepare(
        "INSERT INTO T_レース履歴 (調査年, 調査月, 調査日, 競輪場ID, レースNO, 選手1, 選手2, 選手3, 選手4, "
        "選手5, 選手6, 選手7, 選手8, 選手9) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    sqlite3_bind_int(insert, 1, state.surveyDate.year);
    sqlite3_bind_int(insert, 2, state.surveyDate.month);
    sqlite3_bind_int(insert, 3, state.surveyDate.day);
    sqlite3_bind_int(insert, 4, venue);
    sqlite3_bind_int(insert, 5, state.surveyRaceNo);
    for (int slot = 0; slot < AppState::RaceSlotCount; ++slot)
        sqlite3_bind_int(insert, 6 + slot, state.selectedPersons[slot].racerId);
    if (sqlite3_step(insert) != SQLITE_DONE)
        fail("cannot store a race");
    sqlite3_finalize(insert);
    sqlite3_stmt* stored = db.prepare("SELECT rowid, * FROM T_レース履歴 WHERE rowid = last_insert_rowid()");
    if (sqlite3_step(stored) != SQLITE_ROW)
        fail("cannot read the stored race");
    sqlite3_finalize(stored);
}

int raceRows(const QString& path) {
    return Sqlite(path).column("SELECT count(*) FROM T_レース履歴").at(0);
}

// The search list's lines of the first 501 racers, as the bare side builds them.
QStringList bareSearchLines(const QString& path) {
    const Sqlite db(path);
    sqlite3_stmt* query = db.prepare("SELECT * FROM Q_選手 LIMIT 501");
    const int affiliation = 9, id = 0, term = 6, name = 2; // the view's column order
    QStringList lines;
    while (sqlite3_step(query) == SQLITE_ROW) {
        const QString prefecture = columnText(query, affiliation);
        lines << prefecture + QString(prefecture.size() == 2 ? 4 : 1, QLatin1Char(' ')) +
                     columnText(query, id) + QStringLiteral("  ") + columnText(query, term) +
                     QStringLiteral("  ") + columnText(query, name);
    }
    sqlite3_finalize(query);
    return lines;
}

// The race selection window's menu bar as it reads on screen: commands on the bar and two menus.
constexpr benchsupport::MenuBarEntry SelectMenus[] = {
    {u"終了(&X)", false},         {u"ﾊﾞｲｵﾘｽﾞﾑ表示(&H)", false},  {u"選択解除(&C)", false},
    {u"選手ﾃｰﾌﾞﾙ変更(&T)", true}, {u"抽出ﾃｰﾌﾞﾙ追加(&A)", false}, {u"ﾍﾙﾌﾟ(&H)", true},
};

long peakKilobytes() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        fail("cannot read /proc/self/status");
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    }
    fail("no VmHWM");
}

// One side of the memory case in this process: the window after its 501-row search, or the bare
// window listing the same rows. Prints the peak resident size in kB.
int memoryChild(const QString& side, const QString& directory) {
    long lines = 0;
    std::unique_ptr<Program> program;
    std::unique_ptr<SelectForm> form;
    std::unique_ptr<QMainWindow> bare;
    if (side == QStringLiteral("program")) {
        program = std::make_unique<Program>(directory);
        form = std::make_unique<SelectForm>(program->ctx, program->choices);
        form->show();
        QCoreApplication::processEvents();
        form->Command500_Click();
        lines = form->searchResults().size();
        QCoreApplication::processEvents();
    } else {
        // The same list box as the window's, in a bare main window of the same client size under a menu
        // bar of the same captions: the least a Qt program needs to show this list.
        bare = std::make_unique<QMainWindow>();
        // "bare-text" leaves the menu bar out, as this benchmark's bare side first did.
        if (side == QStringLiteral("bare"))
            benchsupport::addMenuBar(*bare, SelectMenus);
        auto* list = new QListWidget;
        list->setFont(QFont(proportionalGothicFace(), 9));
        list->setFixedSize(632, 434);
        bare->setCentralWidget(list);
        bare->adjustSize();
        bare->show();
        QCoreApplication::processEvents();
        list->addItems(bareSearchLines(directory + QStringLiteral("/Korvane.mdb")));
        lines = list->count();
        QCoreApplication::processEvents();
    }
    std::printf("%ld %ld\n", peakKilobytes(), lines);
    return 0;
}

double childPeak(const QString& side, const QString& directory) {
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--memory"), side, directory});
    if (!child.waitForFinished(120000) || child.exitCode() != 0)
        fail("memory child failed",
             side + QStringLiteral(": ") + QString::fromLocal8Bit(child.readAllStandardError()));
    const QList<QByteArray> parts = child.readAllStandardOutput().trimmed().split(' ');
    if (parts.size() != 2 || parts.at(1).toInt() != 501)
        fail("memory child listed a different number of rows", side);
    return parts.at(0).toDouble() / 1024.0;
}

// The race of nine picked racers the race table shows.
void setRace(AppState& state) {
    state.surveyDate = {2026, 4, 1};
    state.surveyVenue = QStringLiteral("京王閣");
    state.surveyRaceNo = 7;
    for (int i = 0; i < AppState::RaceSlotCount; ++i) {
        PersonSlot& slot = state.selectedPersons[i];
        slot.affiliation = QStringLiteral("東京  ");
        slot.racerId = qint16(100 + i);
        slot.name = QStringLiteral("選手%1").arg(i + 1).leftJustified(22);
        slot.term = qint16(60 + i);
        slot.birthYear = qint16(1970 + i);
        slot.birthMonth = qint16(1 + i);
        slot.birthDay = qint16(10 + i);
        slot.bloodType = QStringLiteral("A");
    }
}

// The history window over count races against a bare window that fills the same combo with the same
// items.
void historyCase(const QByteArray& name, Program& program, const QString& directory, int count,
                 int repetitions) {
    const QString path = directory + QStringLiteral("/Korvane.mdb");
    QFont comboFont;
    {
        RirekiForm check(program.ctx);
        auto* combo = check.findChild<QComboBox*>(QStringLiteral("ComboRireki"));
        const QStringList bare = bareRaceItems(path);
        if (!combo || combo->count() != count || bare.size() != count)
            fail(name.constData(), QStringLiteral("the combo does not hold every race"));
        for (int i = 0; i < count; ++i) {
            if (combo->itemText(i) != bare.at(i))
                fail(name.constData(), combo->itemText(i) + QStringLiteral(" / ") + bare.at(i));
        }
        comboFont = combo->font();
        check.close();
    }
    compare(name.constData(), 1.2, repetitions,
            opening<RirekiForm>([&] { return std::make_unique<RirekiForm>(program.ctx); }),
            opening<QMainWindow>([&] {
                auto window = std::make_unique<QMainWindow>();
                window->resize(632, 434);
                auto* central = new QWidget;
                window->setCentralWidget(central);
                auto* combo = new QComboBox(central);
                combo->setFont(comboFont);
                combo->setGeometry(12, 32, 497, 24);
                combo->addItems(bareRaceItems(path));
                combo->setCurrentIndex(-1);
                return window;
            }));
}

// The race table opened and its race registered (履歴登録, answered yes) with the history stored in
// directory, against the raw SQLite C API storing the same row beside a bare copy of the table.
void registrationCase(const char* name, Program& program, const QString& directory, int repetitions) {
    const QString path = directory + QStringLiteral("/Korvane.mdb");
    WindowCopy copy;
    {
        DispForm sample(program.ctx);
        sample.show();
        QCoreApplication::processEvents();
        copy = copyOf(sample);
        sample.close();
    }
    const int before = raceRows(path);
    compare(
        name, 1.1, repetitions,
        [&] {
            auto window = std::make_unique<DispForm>(program.ctx);
            window->show();
            QCoreApplication::processEvents();
            window->Menu_Add_Click();
            window->close();
        },
        [&] {
            std::unique_ptr<QMainWindow> window = bareWindow(copy);
            window->show();
            QCoreApplication::processEvents();
            bareRegistration(path, program.state);
            window->close();
        });
    // Each side stored its race every time, one warm-up each included.
    if (raceRows(path) != before + 2 * (repetitions + 1))
        fail(name, QStringLiteral("a side did not store its race"));
}

// The compaction at exit against the engine's VACUUM INTO of the same file into a scratch file.
void compactionCase(const char* name, const QString& directory, int repetitions) {
    const QString path = directory + QStringLiteral("/Korvane.mdb");
    const QString fresh = directory + QStringLiteral("/korvnew.mdb");
    const QString scratch = directory + QStringLiteral("/vacuum.mdb");
    compare(
        name, 1.2, repetitions,
        [&] {
            if (compactDatabase(path, fresh) != CompactionResult::Compacted)
                fail(name, QStringLiteral("the file was not compacted"));
        },
        [&] {
            QFile::remove(scratch);
            const Sqlite db(path);
            db.exec(QStringLiteral("VACUUM INTO '%1'").arg(scratch).toUtf8().constData());
        });
    QFile::remove(scratch);
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    installFontSubstitutions();
    const QStringList args = QCoreApplication::arguments();
    if (args.size() == 4 && args.at(1) == QStringLiteral("--memory"))
        return memoryChild(args.at(2), args.at(3));
    const int repetitions = args.size() > 1 ? std::max(3, args.at(1).toInt()) : 15;
    // A second argument runs only the case of that name.
    const QString only = args.size() > 2 ? args.at(2) : QString();
    const auto runs = [&only](const char* name) { return only.isEmpty() || only == QLatin1String(name); };

    QTemporaryDir dir;
    const QString small = dir.path() + QStringLiteral("/small");
    const QString large = dir.path() + QStringLiteral("/large");
    const QString races = dir.path() + QStringLiteral("/races");
    const QString manyRaces = dir.path() + QStringLiteral("/many-races");
    for (const QString& d : {small, large, races, manyRaces})
        QDir().mkpath(d);
    std::fprintf(stderr, "Making databases of %d and %d racers, and ones with %d and %d races...\n",
                 seed::defaultRacerCount, seed::maximumRacerCount, RaceCount, ManyRaceCount);
    seed::createDatabase(small + QStringLiteral("/Korvane.mdb"));
    seed::createDatabase(large + QStringLiteral("/Korvane.mdb"), seed::maximumRacerCount, seed::defaultSeed);
    for (const auto& [directory, count] :
         {std::pair{races, RaceCount}, std::pair{manyRaces, ManyRaceCount}}) {
        QFile::copy(small + QStringLiteral("/Korvane.mdb"), directory + QStringLiteral("/Korvane.mdb"));
        storeHistory(directory + QStringLiteral("/Korvane.mdb"), count);
    }

    // The selection window, as the database grows from 2,300 to 32,767 racers.
    Program smallProgram(small);
    Program largeProgram(large);
    if (runs("select-open-32767"))
        compare("select-open-32767", 1.2, repetitions, opening<SelectForm>([&] {
                    return std::make_unique<SelectForm>(largeProgram.ctx, largeProgram.choices);
                }),
                opening<SelectForm>(
                    [&] { return std::make_unique<SelectForm>(smallProgram.ctx, smallProgram.choices); }));

    // The first opening of the number picker's list at 32,767 racers, which reads the numbers (no
    // baseline: printed for reference).
    if (runs("toban-popup-32767")) {
        std::vector<double> times;
        for (int i = 0; i < std::max(3, repetitions / 3); ++i) {
            SelectForm form(largeProgram.ctx, largeProgram.choices);
            form.show();
            QCoreApplication::processEvents();
            auto* box = form.findChild<QComboBox*>(QStringLiteral("ComboToban"));
            const auto start = std::chrono::steady_clock::now();
            box->showPopup();
            QCoreApplication::processEvents();
            times.push_back(msSince(start));
            if (box->count() != seed::maximumRacerCount ||
                box->itemText(box->count() - 1) != QString::number(seed::maximumRacerCount))
                fail("toban-popup-32767", QStringLiteral("the list does not hold every number"));
            box->hidePopup();
            form.close();
        }
        std::printf("%-18s program %8.2f ms (min %8.2f)\n", "toban-popup-32767", median(times),
                    minimum(times));
    }

    // The race table of nine picked racers, with 10,000 stored races and with none.
    Program racesProgram(races);
    for (Program* p : {&smallProgram, &racesProgram})
        setRace(p->state);
    if (runs("disp-open-10000"))
        compare("disp-open-10000", 1.1, repetitions,
                opening<DispForm>([&] { return std::make_unique<DispForm>(racesProgram.ctx); }),
                opening<DispForm>([&] { return std::make_unique<DispForm>(smallProgram.ctx); }));

    // The history window and the registration of a race as the history grows, then the compaction.
    Program manyProgram(manyRaces);
    setRace(manyProgram.state);
    for (const auto& [program, directory, count] :
         {std::tuple{&racesProgram, races, RaceCount}, std::tuple{&manyProgram, manyRaces, ManyRaceCount}}) {
        const QByteArray name = "rireki-open-" + QByteArray::number(count);
        if (runs(name.constData()))
            historyCase(name, *program, directory, count, repetitions);
    }
    for (const auto& [program, directory, name] : {std::tuple{&racesProgram, races, "disp-open-raw-10000"},
                                                   std::tuple{&manyProgram, manyRaces, "disp-open-100000"}}) {
        if (runs(name))
            registrationCase(name, *program, directory, repetitions);
    }
    for (const auto& [directory, name] :
         {std::pair{races, "compaction-10000"}, std::pair{manyRaces, "compaction-100000"}}) {
        if (runs(name))
            compactionCase(name, directory, repetitions);
    }

    // The bare side's menu bar must read as the window's does.
    if (runs("rss-search-32767")) {
        SelectForm form(largeProgram.ctx, largeProgram.choices);
        QStringList window;
        QStringList bare;
        for (const QAction* action : form.menuBar()->actions())
            window << action->text() + (action->menu() ? QStringLiteral(" ▼") : QString());
        for (const benchsupport::MenuBarEntry& entry : SelectMenus)
            bare << QString::fromUtf16(entry.caption) + (entry.menu ? QStringLiteral(" ▼") : QString());
        if (window != bare)
            fail("rss-search-32767",
                 window.join(QLatin1Char(' ')) + QStringLiteral(" / ") + bare.join(QLatin1Char(' ')));
        form.close();
    }

    // Peak memory after a 501-row search at 32,767 racers, each side in its own processes.
    // The window's peak at 2,300 racers is printed beside it: what the window costs whatever the count.
    std::vector<double> programPeaks;
    std::vector<double> barePeaks;
    std::vector<double> noMenuPeaks;
    std::vector<double> smallPeaks;
    for (int i = 0; i < std::max(3, repetitions / 3) && runs("rss-search-32767"); ++i) {
        programPeaks.push_back(childPeak(QStringLiteral("program"), large));
        barePeaks.push_back(childPeak(QStringLiteral("bare"), large));
        noMenuPeaks.push_back(childPeak(QStringLiteral("bare-text"), large));
        smallPeaks.push_back(childPeak(QStringLiteral("program"), small));
    }
    if (!programPeaks.empty()) {
        std::printf("%-18s program %8.2f MiB (min %8.2f)  at 2,300 racers\n", "rss-search-2300",
                    median(smallPeaks), minimum(smallPeaks));
        report("rss-search-32767", "MiB", 1.25, programPeaks, barePeaks);
        report("rss-search-32767-bare", "MiB", 1.33, programPeaks, noMenuPeaks);
    }
    return 0;
}
