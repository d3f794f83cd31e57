// Times a cold start: from starting a process to the main menu painted on screen, against the least a Qt
// program needs to show that screen: a QMainWindow of the same size with the same menu bar captions in
// the same font, so that both sides start fontconfig and shape the same Japanese text. A window without
// any text (which never starts fontconfig) is timed beside them. All sides are this program run again as
// a child, so that loading the same binary costs each the same; the child writes the moment of its first
// complete paint and ends at once. Wall clock, the three sides interleaved, median and minimum of all
// repetitions. Prints "RATIO cold-start <median ratio> 1.25" against the window with the menu bar and
// "RATIO cold-start-bare <median ratio> 1.55" against the window without text.
#include "BenchSupport.h"
#include "BenchTiming.h"
#include "app/Startup.h"
#include "core/Dialogs.h"

#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace {

const char* const ProgramMode = "--child-program";
const char* const MenuMode = "--child-menu";
const char* const BareMode = "--child-bare";

// The main menu's bar as it reads on screen: commands on the bar itself and two menus.
constexpr benchsupport::MenuBarEntry MenuBarEntries[] = {
    {u"選手検索(&S)", false}, {u"ﾚｰｽ履歴(&R)", false}, {u"個別調査(&O)", false},
    {u"ﾏｽﾀｰﾒﾝﾃ(&M)", true},   {u"ﾍﾙﾌﾟ(&H)", true},     {u"終了(&X)", false},
};

qint64 nowNanoseconds() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Watches for the first paint of the named window; once that paint is over (the next turn of the event
// loop), writes "SHOWN <steady clock ns> <width> <height>" and ends the process.
class FirstPaint : public QObject {
public:
    explicit FirstPaint(QString windowName)
        : m_windowName(std::move(windowName)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Paint || m_seen)
            return false;
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!widget || widget->window()->objectName() != m_windowName)
            return false;
        m_seen = true;
        QWidget* window = widget->window();
        QTimer::singleShot(0, [window] {
            std::printf("SHOWN %lld %d %d\n", static_cast<long long>(nowNanoseconds()), window->width(),
                        window->height());
            std::fflush(stdout);
            std::_Exit(0);
        });
        return false;
    }

private:
    QString m_windowName;
    bool m_seen = false;
};

enum class Side { Program, Menu, Bare };

int runChild(int argc, char* argv[], Side side) {
    QApplication app(argc, argv);
    FirstPaint watcher(side == Side::Program ? QStringLiteral("MainForm") : QStringLiteral("BareWindow"));
    app.installEventFilter(&watcher);
    if (side == Side::Program) {
        benchsupport::QuietDialogs dialogs(Dialogs::Answer::No);
        return runKorvane(app, dialogs);
    }
    QMainWindow window;
    window.setObjectName(QStringLiteral("BareWindow"));
    if (side == Side::Menu) {
        benchsupport::addMenuBar(window, MenuBarEntries);
    }
    window.resize(atoi(argv[2]), atoi(argv[3]));
    window.show();
    return app.exec();
}

struct Shown {
    double ms = 0;
    int width = 0;
    int height = 0;
};

// Starts a child and returns the time from the start to its first paint.
Shown startChild(const QStringList& arguments, const QString& runtimeDir) {
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // A lock of its own, away from any copy of the program the user has running.
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDir);
    child.setProcessEnvironment(environment);
    const qint64 start = nowNanoseconds();
    child.start(QCoreApplication::applicationFilePath(), arguments);
    if (!child.waitForFinished(30000) || child.exitCode() != 0) {
        std::fprintf(stderr, "child %s did not show its window\n",
                     qPrintable(arguments.join(QLatin1Char(' '))));
        std::exit(1);
    }
    const QList<QByteArray> words = child.readAllStandardOutput().trimmed().split(' ');
    if (words.size() != 4 || words.at(0) != "SHOWN") {
        std::fprintf(stderr, "child %s wrote no time\n", qPrintable(arguments.join(QLatin1Char(' '))));
        std::exit(1);
    }
    return {double(words.at(1).toLongLong() - start) / 1e6, words.at(2).toInt(), words.at(3).toInt()};
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc >= 2 && qstrcmp(argv[1], ProgramMode) == 0)
        return runChild(argc, argv, Side::Program);
    if (argc >= 4 && qstrcmp(argv[1], MenuMode) == 0)
        return runChild(argc, argv, Side::Menu);
    if (argc >= 4 && qstrcmp(argv[1], BareMode) == 0)
        return runChild(argc, argv, Side::Bare);

    QCoreApplication app(argc, argv);
    const int repetitions = argc > 1 ? std::max(3, atoi(argv[1])) : 21;
    QTemporaryDir runtimeDir;
    const Shown first = startChild({QString::fromLatin1(ProgramMode)}, runtimeDir.path());
    std::fprintf(stderr, "main menu %d x %d\n", first.width, first.height);
    const QStringList size{QString::number(first.width), QString::number(first.height)};
    const QStringList programArguments{QString::fromLatin1(ProgramMode)};
    const QStringList menuArguments = QStringList{QString::fromLatin1(MenuMode)} + size;
    const QStringList bareArguments = QStringList{QString::fromLatin1(BareMode)} + size;
    // Each side once to warm up, then the three in turn.
    startChild(menuArguments, runtimeDir.path());
    startChild(bareArguments, runtimeDir.path());
    benchtiming::Samples menu;
    benchtiming::Samples bare;
    for (int i = 0; i < repetitions; ++i) {
        const double program = startChild(programArguments, runtimeDir.path()).ms;
        menu.program.push_back(program);
        bare.program.push_back(program);
        menu.bare.push_back(startChild(menuArguments, runtimeDir.path()).ms);
        bare.bare.push_back(startChild(bareArguments, runtimeDir.path()).ms);
        menu.ratios.push_back(program / menu.bare.back());
        bare.ratios.push_back(program / bare.bare.back());
    }
    benchtiming::report("cold-start", 1.25, menu);
    benchtiming::report("cold-start-bare", 1.55, bare);
    return 0;
}
