#include "app/AppNavigator.h"
#include "core/Errors.h"
#include "mainmenu/MainForm.h"
#include "support/Controls.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMainWindow>
#include <QPointer>
#include <QPushButton>
#include <QTest>

Q_DECLARE_METATYPE(WindowId)

namespace {

// Stands in for another branch's window: it tells the navigator when it has closed, as real ones do.
class DummyWindow : public QMainWindow {
public:
    DummyWindow(Navigator& navigator, WindowId id)
        : m_navigator(navigator)
        , m_id(id) {}

protected:
    void closeEvent(QCloseEvent* event) override {
        event->accept();
        m_navigator.closed(m_id);
    }

private:
    Navigator& m_navigator;
    WindowId m_id;
};

void processDeletes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

struct Fixture {
    int quitCount = 0;
    int created = 0;
    AppNavigator navigator{[this] { ++quitCount; }};

    void registerDummy(WindowId id) {
        navigator.registerWindow(id, [this, id] {
            ++created;
            return new DummyWindow(navigator, id);
        });
    }
    void registerAll() {
        for (WindowId id : {WindowId::MainForm, WindowId::SelectForm, WindowId::DispForm, WindowId::BiorForm,
                            WindowId::Bior2Form, WindowId::RirekiForm, WindowId::OriginalForm,
                            WindowId::SensyuForm, WindowId::KeirinjyoForm, WindowId::SalesForm})
            registerDummy(id);
    }
};

} // namespace

class AppNavigatorTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { testsupport::initGui(); }
    void availability();
    void workWindowReplacesMainMenu_data();
    void workWindowReplacesMainMenu();
    void stackedWindowsRaiseOrReturn();
    void detailChartIsMadeAnew();
    void windowsAboveCloseWithTheirWindow();
    void introductionOverMainMenu();
    void mainMenuClosedEndsProgram();
    void failingWorkWindowBringsMainMenuBack();
    void windowsGoWithTheNavigator();
    void realMainMenuRoundTrip();
    void realMainMenuFrameCloseQuits();
};

void AppNavigatorTest::availability() {
    Fixture f;
    f.registerDummy(WindowId::MainForm);
    f.registerDummy(WindowId::SelectForm);
    QVERIFY(f.navigator.isAvailable(WindowId::MainForm));
    QVERIFY(f.navigator.isAvailable(WindowId::SelectForm));
    QVERIFY(!f.navigator.isAvailable(WindowId::RirekiForm));
    QVERIFY(!f.navigator.isAvailable(WindowId::SalesForm));
    f.navigator.open(WindowId::MainForm);
    f.navigator.open(WindowId::RirekiForm);
    // A window that is not there changes nothing: the main menu stays.
    QVERIFY(f.navigator.window(WindowId::MainForm));
    QVERIFY(f.navigator.window(WindowId::MainForm)->isVisible());
    QCOMPARE(f.created, 1);
}

void AppNavigatorTest::workWindowReplacesMainMenu_data() {
    QTest::addColumn<WindowId>("id");
    QTest::newRow("select") << WindowId::SelectForm;
    QTest::newRow("history") << WindowId::RirekiForm;
    QTest::newRow("roster") << WindowId::OriginalForm;
    QTest::newRow("racers") << WindowId::SensyuForm;
    QTest::newRow("velodromes") << WindowId::KeirinjyoForm;
}

void AppNavigatorTest::workWindowReplacesMainMenu() {
    QFETCH(WindowId, id);
    Fixture f;
    f.registerAll();
    f.navigator.open(WindowId::MainForm);
    QPointer<QWidget> menu = f.navigator.window(WindowId::MainForm);
    QVERIFY(menu && menu->isVisible());

    f.navigator.open(id);
    QVERIFY(!f.navigator.window(WindowId::MainForm));
    QVERIFY(!menu || !menu->isVisible());
    QPointer<QWidget> work = f.navigator.window(id);
    QVERIFY(work && work->isVisible());
    QVERIFY(work->testAttribute(Qt::WA_DeleteOnClose));
    processDeletes();
    QVERIFY(menu.isNull());
    QCOMPARE(f.quitCount, 0);

    // Closing the work window brings a new main menu; the work window is gone.
    QVERIFY(work->close());
    processDeletes();
    QVERIFY(work.isNull());
    QPointer<QWidget> again = f.navigator.window(WindowId::MainForm);
    QVERIFY(again && again->isVisible());
    QCOMPARE(f.created, 3);
    QCOMPARE(f.quitCount, 0);
}

void AppNavigatorTest::stackedWindowsRaiseOrReturn() {
    Fixture f;
    f.registerAll();
    f.navigator.open(WindowId::MainForm);
    f.navigator.open(WindowId::SelectForm);
    QPointer<QWidget> select = f.navigator.window(WindowId::SelectForm);

    f.navigator.open(WindowId::DispForm);
    QPointer<QWidget> disp = f.navigator.window(WindowId::DispForm);
    QVERIFY(disp && disp->isVisible());
    QVERIFY(select && select->isVisible());
    // Asking again brings the same window forward instead of a second one.
    f.navigator.open(WindowId::DispForm);
    QCOMPARE(f.navigator.window(WindowId::DispForm), disp.data());

    f.navigator.open(WindowId::BiorForm);
    QPointer<QWidget> bior = f.navigator.window(WindowId::BiorForm);
    f.navigator.open(WindowId::BiorForm);
    QCOMPARE(f.navigator.window(WindowId::BiorForm), bior.data());
    const int createdSoFar = f.created;

    QVERIFY(bior->close());
    processDeletes();
    QVERIFY(bior.isNull());
    QVERIFY(disp && disp->isVisible());
    QVERIFY(select && select->isVisible());
    QVERIFY(!f.navigator.window(WindowId::MainForm));

    QVERIFY(disp->close());
    processDeletes();
    QVERIFY(disp.isNull());
    QVERIFY(select && select->isVisible());
    QVERIFY(!f.navigator.window(WindowId::MainForm));
    QCOMPARE(f.created, createdSoFar);
}

void AppNavigatorTest::detailChartIsMadeAnew() {
    Fixture f;
    f.registerAll();
    f.navigator.open(WindowId::MainForm);
    f.navigator.open(WindowId::OriginalForm);
    f.navigator.open(WindowId::Bior2Form);
    QPointer<QWidget> first = f.navigator.window(WindowId::Bior2Form);
    QVERIFY(first && first->isVisible());
    f.navigator.open(WindowId::Bior2Form);
    QPointer<QWidget> second = f.navigator.window(WindowId::Bior2Form);
    QVERIFY(second && second->isVisible());
    QVERIFY(second.data() != first.data());
    processDeletes();
    QVERIFY(first.isNull());
    QVERIFY(f.navigator.window(WindowId::OriginalForm)->isVisible());

    // Closing it shows nothing else.
    QVERIFY(second->close());
    processDeletes();
    QVERIFY(!f.navigator.window(WindowId::MainForm));
    QVERIFY(f.navigator.window(WindowId::OriginalForm)->isVisible());
}

void AppNavigatorTest::windowsAboveCloseWithTheirWindow() {
    Fixture f;
    f.registerAll();
    f.navigator.open(WindowId::MainForm);
    f.navigator.open(WindowId::SelectForm);
    f.navigator.open(WindowId::DispForm);
    f.navigator.open(WindowId::BiorForm);
    f.navigator.open(WindowId::Bior2Form);
    QPointer<QWidget> select = f.navigator.window(WindowId::SelectForm);
    QPointer<QWidget> disp = f.navigator.window(WindowId::DispForm);
    QPointer<QWidget> bior = f.navigator.window(WindowId::BiorForm);
    QPointer<QWidget> detail = f.navigator.window(WindowId::Bior2Form);

    // Closing the nine charts takes the detail chart along and leaves the race table.
    QVERIFY(bior->close());
    processDeletes();
    QVERIFY(bior.isNull());
    QVERIFY(detail.isNull());
    QVERIFY(disp && disp->isVisible());

    // Closing the selection takes the race table along and brings back the main menu.
    f.navigator.open(WindowId::BiorForm);
    bior = f.navigator.window(WindowId::BiorForm);
    QVERIFY(select->close());
    processDeletes();
    QVERIFY(select.isNull());
    QVERIFY(disp.isNull());
    QVERIFY(bior.isNull());
    QVERIFY(f.navigator.window(WindowId::MainForm));
    QVERIFY(f.navigator.window(WindowId::MainForm)->isVisible());
    QCOMPARE(f.quitCount, 0);
}

void AppNavigatorTest::introductionOverMainMenu() {
    Fixture f;
    f.registerAll();
    f.navigator.open(WindowId::MainForm);
    QPointer<QWidget> menu = f.navigator.window(WindowId::MainForm);
    f.navigator.open(WindowId::SalesForm);
    QPointer<QWidget> sales = f.navigator.window(WindowId::SalesForm);
    QVERIFY(sales && sales->isVisible());
    QVERIFY(menu && menu->isVisible());
    QVERIFY(sales->close());
    processDeletes();
    QVERIFY(sales.isNull());
    QCOMPARE(f.navigator.window(WindowId::MainForm), menu.data());
    QCOMPARE(f.quitCount, 0);
}

void AppNavigatorTest::mainMenuClosedEndsProgram() {
    Fixture f;
    f.registerAll();
    f.navigator.open(WindowId::MainForm);
    f.navigator.open(WindowId::SalesForm);
    QPointer<QWidget> menu = f.navigator.window(WindowId::MainForm);
    QVERIFY(menu->close());
    QCOMPARE(f.quitCount, 1);
    processDeletes();
    QVERIFY(menu.isNull());
    // While the program ends, windows that close bring nothing back.
    f.navigator.closed(WindowId::SelectForm);
    f.navigator.open(WindowId::MainForm);
    QVERIFY(!f.navigator.window(WindowId::MainForm));
    QCOMPARE(f.quitCount, 1);
}

void AppNavigatorTest::failingWorkWindowBringsMainMenuBack() {
    Fixture f;
    f.registerDummy(WindowId::MainForm);
    f.navigator.registerWindow(WindowId::RirekiForm, []() -> QWidget* {
        throw KorvaneError(ErrorNumber::FileNotFound, QStringLiteral("Database"),
                           QStringLiteral("ファイルが見つかりません。"));
    });
    f.navigator.open(WindowId::MainForm);
    QPointer<QWidget> menu = f.navigator.window(WindowId::MainForm);
    bool thrown = false;
    try {
        f.navigator.open(WindowId::RirekiForm);
    } catch (const KorvaneError& error) {
        thrown = error.number() == ErrorNumber::FileNotFound;
    }
    QVERIFY(thrown);
    QWidget* back = f.navigator.window(WindowId::MainForm);
    QVERIFY(back && back->isVisible());
    QVERIFY(!f.navigator.window(WindowId::RirekiForm));
    QCOMPARE(f.quitCount, 0);
}

void AppNavigatorTest::windowsGoWithTheNavigator() {
    QPointer<QWidget> select;
    QPointer<QWidget> disp;
    {
        Fixture f;
        f.registerAll();
        f.navigator.open(WindowId::MainForm);
        f.navigator.open(WindowId::SelectForm);
        f.navigator.open(WindowId::DispForm);
        select = f.navigator.window(WindowId::SelectForm);
        disp = f.navigator.window(WindowId::DispForm);
        QVERIFY(select && disp);
    }
    QVERIFY(select.isNull());
    QVERIFY(disp.isNull());
}

void AppNavigatorTest::realMainMenuRoundTrip() {
    TestContext t;
    int quits = 0;
    AppNavigator navigator([&quits] { ++quits; });
    AppContext ctx{t.state, t.dialogs, t.clock, t.random, t.help, navigator, t.printer};
    navigator.registerWindow(WindowId::MainForm, [&ctx] { return new MainForm(ctx); });
    navigator.registerWindow(WindowId::SensyuForm,
                             [&navigator] { return new DummyWindow(navigator, WindowId::SensyuForm); });
    t.state.selectedPersons[0].term = 12;
    navigator.open(WindowId::MainForm);
    QPointer<MainForm> menu = qobject_cast<MainForm*>(navigator.window(WindowId::MainForm));
    QVERIFY(menu);
    // Only the racer master is there: the other work windows are disabled.
    QVERIFY(!testsupport::child<QPushButton>(menu, u"CommandSelect(0)")->isEnabled());
    QVERIFY(testsupport::child<QPushButton>(menu, u"CommandSelect(3)")->isEnabled());

    testsupport::click(menu, u"CommandSelect(3)");
    processDeletes();
    QVERIFY(menu.isNull());
    QCOMPARE(t.state.selectedPersons[0].term, qint16(0));
    QWidget* master = navigator.window(WindowId::SensyuForm);
    QVERIFY(master && master->isVisible());

    QVERIFY(master->close());
    processDeletes();
    auto* again = qobject_cast<MainForm*>(navigator.window(WindowId::MainForm));
    QVERIFY(again && again->isVisible());
    QCOMPARE(quits, 0);

    // The exit command ends the program once the question is answered Yes.
    const auto dir = testsupport::copyOfProgramDir();
    t.state.appPath = dir.path;
    t.dialogs.answerYes();
    testsupport::click(again, u"CommandSelect(8)");
    QCOMPARE(quits, 1);
    QVERIFY(!navigator.window(WindowId::MainForm));
}

void AppNavigatorTest::realMainMenuFrameCloseQuits() {
    TestContext t;
    int quits = 0;
    AppNavigator navigator([&quits] { ++quits; });
    AppContext ctx{t.state, t.dialogs, t.clock, t.random, t.help, navigator, t.printer};
    navigator.registerWindow(WindowId::MainForm, [&ctx] { return new MainForm(ctx); });
    navigator.open(WindowId::MainForm);
    QPointer<QWidget> menu = navigator.window(WindowId::MainForm);
    QVERIFY(menu->close());
    QCOMPARE(quits, 1);
    QVERIFY(t.dialogs.shown().isEmpty());
    processDeletes();
    QVERIFY(menu.isNull());
}

QTEST_MAIN(AppNavigatorTest)
#include "AppNavigatorTest.moc"
