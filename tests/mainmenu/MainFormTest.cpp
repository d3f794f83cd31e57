#include "mainmenu/MainForm.h"
#include "support/Controls.h"
#include "support/Racers.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>
#include <sys/stat.h>

Q_DECLARE_METATYPE(WindowId)

namespace {

// A navigator that offers only some windows, as a build without every window would.
class PartialNavigator : public RecordingNavigator {
public:
    explicit PartialNavigator(QList<WindowId> available)
        : m_available(std::move(available)) {}
    bool isAvailable(WindowId id) const override { return m_available.contains(id); }

private:
    QList<WindowId> m_available;
};

QString connectionName() {
    static int counter = 0;
    return QStringLiteral("MainFormTest%1").arg(++counter);
}

// Every table's rows in rowid order, as text: equal dumps mean equal contents.
QString dumpDatabase(const QString& path) {
    QString dump;
    const QString name = connectionName();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        if (!db.open())
            return QStringLiteral("cannot open");
        QSqlQuery tables(db);
        tables.exec(QStringLiteral("SELECT name, sql FROM sqlite_master ORDER BY type, name"));
        QStringList tableNames;
        while (tables.next()) {
            dump += tables.value(1).toString() + QLatin1Char('\n');
            const QString table = tables.value(0).toString();
            QSqlQuery type(db);
            type.exec(QStringLiteral("SELECT type FROM sqlite_master WHERE name = '%1'").arg(table));
            if (type.next() && type.value(0).toString() == QStringLiteral("table") &&
                !table.startsWith(QStringLiteral("sqlite_")))
                tableNames << table;
        }
        for (const QString& table : tableNames) {
            QSqlQuery rows(db);
            rows.exec(QStringLiteral("SELECT * FROM \"%1\" ORDER BY rowid").arg(table));
            while (rows.next()) {
                const QSqlRecord record = rows.record();
                for (int i = 0; i < record.count(); ++i)
                    dump += record.value(i).toString() + QLatin1Char('|');
                dump += QLatin1Char('\n');
            }
        }
    }
    QSqlDatabase::removeDatabase(name);
    return dump;
}

// Leaves free pages in the file, so that a compacted copy is visibly smaller.
void addFreePages(const QString& path) {
    const QString name = connectionName();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        QVERIFY(db.open());
        QSqlQuery q(db);
        QVERIFY(q.exec(QStringLiteral("CREATE TABLE scratch(x BLOB)")));
        QVERIFY(q.exec(QStringLiteral("INSERT INTO scratch VALUES (zeroblob(400000))")));
        QVERIFY(q.exec(QStringLiteral("DROP TABLE scratch")));
    }
    QSqlDatabase::removeDatabase(name);
}

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

ino_t inodeOf(const QString& path) {
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_ino : 0;
}

} // namespace

class MainFormTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { testsupport::initGui(); }
    void windowAndClientArea();
    void controlPlaces_data();
    void controlPlaces();
    void commandCaptions();
    void menuCaptions_data();
    void menuCaptions();
    void captionEscaping_data();
    void captionEscaping();
    void commandsOpenWindows_data();
    void commandsOpenWindows();
    void masterCommandsClearSixSlots_data();
    void masterCommandsClearSixSlots();
    void unavailableWindowsAreDisabled();
    void versionBox();
    void help();
    void exitNoKeepsMenu();
    void exitYesCompactsDatabase();
    void exitWithDatabaseInExclusiveUse();
    void exitWithOtherErrorShowsTrap();
    void closeByFrameEndsWithoutCompaction();
    void screenshot();
};

void MainFormTest::windowAndClientArea() {
    TestContext t;
    MainForm form(t.context);
    QCOMPARE(form.windowTitle(), QStringLiteral("メインメニュー"));
    QCOMPARE(form.centralWidget()->size(), QSize(632, 434));
    auto* title = testsupport::label(&form, u"LabelTitle");
    QVERIFY(title);
    QCOMPARE(title->text(), QStringLiteral("コルヴァン Ver2.10"));
    // 18 points at 15 twips per pixel: 24 pixels.
    QCOMPARE(title->font().pixelSize(), 24);
    QVERIFY(!form.timer().isActive());
}

void MainFormTest::controlPlaces_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");
    QTest::newRow("title") << "LabelTitle" << QRect(8, 16, 417, 33);
    QTest::newRow("panel") << "PictureWaku" << QRect(432, 16, 188, 404);
    for (int i = 0; i < MainForm::CommandCount; ++i)
        QTest::addRow("command %d", i)
            << QStringLiteral("CommandSelect(%1)").arg(i) << QRect(0, 40 * i, 185, 41);
    QTest::newRow("race picture") << "PictureRace" << QRect(8, 56, 417, 363);
    QTest::newRow("banner") << "LabelJyuni" << QRect(128, 136, 153, 33);
    QTest::newRow("lap caption") << "LabelSyukaiMei" << QRect(136, 320, 41, 25);
    QTest::newRow("lap") << "LabelSyukai" << QRect(176, 320, 25, 25);
    QTest::newRow("standings caption") << "LabelResultMei" << QRect(216, 320, 41, 25);
    QTest::newRow("standings") << "LabelResult" << QRect(256, 320, 65, 25);
    QTest::newRow("start") << "CommandStart" << QRect(336, 320, 65, 25);
    for (int i = 0; i < 6; ++i)
        QTest::addRow("rider %d", i) << QStringLiteral("Senshu(%1)").arg(i)
                                     << QRect(176, 192 + 16 * i, 32, 32);
    for (int i = 0; i < 12; ++i)
        QTest::addRow("template %d", i)
            << QStringLiteral("ImageSenshu(%1)").arg(i) << QRect(352, 24 * i, 32, 32);
}

void MainFormTest::controlPlaces() {
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    TestContext t;
    MainForm form(t.context);
    auto* control = testsupport::child(&form, name);
    QVERIFY2(control, qPrintable(name));
    QCOMPARE(control->geometry(), geometry);
}

void MainFormTest::commandCaptions() {
    TestContext t;
    MainForm form(t.context);
    const QStringList expected{QStringLiteral("選手検索"),
                               QStringLiteral("レース履歴"),
                               QStringLiteral("個別調査"),
                               QStringLiteral("選手テーブルメンテナンス"),
                               QStringLiteral("競輪場テーブルメンテナンス"),
                               QStringLiteral("ヘルプ"),
                               QStringLiteral("バージョン情報"),
                               QStringLiteral("作者ソフト紹介"),
                               QStringLiteral("終了")};
    QStringList captions;
    for (int i = 0; i < MainForm::CommandCount; ++i) {
        auto* button = testsupport::child<QPushButton>(&form, u"CommandSelect", i);
        QVERIFY(button);
        captions << button->text();
        // Font size 9: 12 pixels.
        QCOMPARE(button->font().pixelSize(), 12);
    }
    QCOMPARE(captions, expected);
    // The panel holds every button inside its 404 pixels.
    auto* last = testsupport::child<QPushButton>(&form, u"CommandSelect(8)");
    QVERIFY(last->geometry().bottom() < 404);
    QCOMPARE(testsupport::label(&form, u"LabelSyukai")->text(), QStringLiteral("0"));
    QCOMPARE(testsupport::label(&form, u"LabelSyukaiMei")->text(), QStringLiteral("周回"));
    QCOMPARE(testsupport::label(&form, u"LabelResultMei")->text(), QStringLiteral("順位"));
    QCOMPARE(testsupport::child<QPushButton>(&form, u"CommandStart")->text(), QStringLiteral("Start"));
}

void MainFormTest::menuCaptions_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("parentMenu");
    QTest::addColumn<QString>("text");
    // The second marker is the kana key of the old menus: it is dropped, not shown as a "&".
    QTest::newRow("select") << "Menu_Select" << QString() << "選手検索(&Sﾄ)";
    QTest::newRow("history") << "Menu_Rireki" << QString() << "ﾚｰｽ履歴(&Rｽ)";
    QTest::newRow("roster") << "Menu_Original" << QString() << "個別調査(&Oﾗ)";
    QTest::newRow("racers") << "Menu_Sensyu"
                            << "ﾏｽﾀｰﾒﾝﾃ(&Mﾓ)"
                            << "選手ﾃｰﾌﾞﾙ(&Sﾄ)";
    QTest::newRow("velodromes") << "Menu_Kyoteijyo"
                                << "ﾏｽﾀｰﾒﾝﾃ(&Mﾓ)"
                                << "競艇場ﾃｰﾌﾞﾙ(&Kﾉ)";
    QTest::newRow("help") << "Menu_Help_Card"
                          << "ﾍﾙﾌﾟ(&Hｸ)"
                          << "ﾍﾙﾌﾟ(&Hｸ)";
    QTest::newRow("version") << "Menu_Help_About"
                             << "ﾍﾙﾌﾟ(&Hｸ)"
                             << "ﾊﾞｰｼﾞｮﾝ(&Aﾁ)";
    QTest::newRow("introduction") << "Menu_Help_Sales"
                                  << "ﾍﾙﾌﾟ(&Hｸ)"
                                  << "作者ソフト紹介(&Iﾆ)";
    QTest::newRow("exit") << "Menu_Close" << QString() << "終了(&X)";
}

void MainFormTest::menuCaptions() {
    QFETCH(QString, name);
    QFETCH(QString, parentMenu);
    QFETCH(QString, text);
    TestContext t;
    MainForm form(t.context);
    auto* action = testsupport::action(&form, name);
    QVERIFY(action);
    QCOMPARE(action->text(), text);
    if (parentMenu.isEmpty()) {
        QVERIFY(form.menuBar()->actions().contains(action));
    } else {
        QMenu* menu = nullptr;
        for (QAction* top : form.menuBar()->actions()) {
            if (top->menu() && top->text() == parentMenu)
                menu = top->menu();
        }
        QVERIFY2(menu, qPrintable(parentMenu));
        QVERIFY(menu->actions().contains(action));
    }
}

void MainFormTest::captionEscaping_data() {
    QTest::addColumn<QString>("given");
    QTest::addColumn<QString>("qtText");
    QTest::newRow("two markers") << "選手検索(&S&ﾄ)"
                                 << "選手検索(&Sﾄ)";
    QTest::newRow("one marker") << "終了(&X)"
                                << "終了(&X)";
    QTest::newRow("none") << "Start"
                          << "Start";
    QTest::newRow("literal ampersand kept") << "A&&B(&C)"
                                            << "A&&B(&C)";
    QTest::newRow("three markers") << "&a&b&c"
                                   << "&abc";
}

void MainFormTest::captionEscaping() {
    QFETCH(QString, given);
    QFETCH(QString, qtText);
    QCOMPARE(menuCaption(given), qtText);
}

void MainFormTest::commandsOpenWindows_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<WindowId>("window");
    QTest::newRow("button select") << "CommandSelect(0)" << WindowId::SelectForm;
    QTest::newRow("button history") << "CommandSelect(1)" << WindowId::RirekiForm;
    QTest::newRow("button roster") << "CommandSelect(2)" << WindowId::OriginalForm;
    QTest::newRow("button racers") << "CommandSelect(3)" << WindowId::SensyuForm;
    QTest::newRow("button velodromes") << "CommandSelect(4)" << WindowId::KeirinjyoForm;
    QTest::newRow("button introduction") << "CommandSelect(7)" << WindowId::SalesForm;
    QTest::newRow("menu select") << "Menu_Select" << WindowId::SelectForm;
    QTest::newRow("menu history") << "Menu_Rireki" << WindowId::RirekiForm;
    QTest::newRow("menu roster") << "Menu_Original" << WindowId::OriginalForm;
    QTest::newRow("menu racers") << "Menu_Sensyu" << WindowId::SensyuForm;
    QTest::newRow("menu velodromes") << "Menu_Kyoteijyo" << WindowId::KeirinjyoForm;
    QTest::newRow("menu introduction") << "Menu_Help_Sales" << WindowId::SalesForm;
}

void MainFormTest::commandsOpenWindows() {
    QFETCH(QString, control);
    QFETCH(WindowId, window);
    TestContext t;
    MainForm form(t.context);
    if (auto* button = testsupport::child<QPushButton>(&form, control)) {
        QTest::mouseClick(button, Qt::LeftButton);
    } else {
        auto* action = testsupport::action(&form, control);
        QVERIFY(action);
        action->trigger();
    }
    QCOMPARE(t.navigator.opened(), QList<WindowId>{window});
    QVERIFY(t.navigator.closedWindows().isEmpty());
    QVERIFY(t.dialogs.shown().isEmpty());
    QCOMPARE(t.help.shownCount(), 0);
}

void MainFormTest::masterCommandsClearSixSlots_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<bool>("clears");
    QTest::newRow("racer button") << "CommandSelect(3)" << true;
    QTest::newRow("velodrome button") << "CommandSelect(4)" << true;
    QTest::newRow("racer menu") << "Menu_Sensyu" << true;
    QTest::newRow("velodrome menu") << "Menu_Kyoteijyo" << true;
    QTest::newRow("select keeps slots") << "CommandSelect(0)" << false;
    QTest::newRow("roster keeps slots") << "CommandSelect(2)" << false;
}

void MainFormTest::masterCommandsClearSixSlots() {
    QFETCH(QString, control);
    QFETCH(bool, clears);
    TestContext t;
    testsupport::fillAllSlots(t.state);
    const auto before = t.state.selectedPersons;
    MainForm form(t.context);
    if (auto* button = testsupport::child<QPushButton>(&form, control))
        QTest::mouseClick(button, Qt::LeftButton);
    else
        testsupport::action(&form, control)->trigger();

    QCOMPARE(t.navigator.opened().size(), 1);
    for (int i = 0; i < AppState::SlotCount; ++i) {
        const PersonSlot& slot = t.state.selectedPersons[std::size_t(i)];
        const PersonSlot& old = before[std::size_t(i)];
        const PersonSlot expected = clears && i < 6 ? testsupport::clearedSlot(old.racerId) : old;
        QCOMPARE(testsupport::slotText(slot), testsupport::slotText(expected));
    }
    QCOMPARE(t.state.chartSlot, qint16(clears ? 0 : 6));
}

void MainFormTest::unavailableWindowsAreDisabled() {
    TestContext t;
    PartialNavigator navigator({WindowId::SalesForm, WindowId::SelectForm});
    AppContext ctx{t.state, t.dialogs, t.clock, t.random, t.help, navigator, t.printer};
    testsupport::fillAllSlots(t.state);
    MainForm form(ctx);
    const QList<bool> enabled{true, false, false, false, false, true, true, true, true};
    for (int i = 0; i < MainForm::CommandCount; ++i) {
        auto* button = testsupport::child<QPushButton>(&form, u"CommandSelect", i);
        QVERIFY(!button->isHidden());
        QCOMPARE(button->isEnabled(), enabled.at(i));
    }
    for (const char* name : {"Menu_Rireki", "Menu_Original", "Menu_Sensyu", "Menu_Kyoteijyo"})
        QVERIFY2(!testsupport::action(&form, name)->isEnabled(), name);
    for (const char* name :
         {"Menu_Select", "Menu_Help_Sales", "Menu_Help_Card", "Menu_Help_About", "Menu_Close"})
        QVERIFY2(testsupport::action(&form, name)->isEnabled(), name);

    // Even a direct call leaves a missing window alone, and the slots untouched.
    form.CommandSelect_Click(MainForm::Sensyu);
    testsupport::click(&form, u"CommandSelect(1)");
    QVERIFY(navigator.opened().isEmpty());
    QCOMPARE(t.state.selectedPersons[0].term, qint16(50));
}

void MainFormTest::versionBox() {
    for (const bool byMenu : {false, true}) {
        TestContext t;
        MainForm form(t.context);
        if (byMenu)
            testsupport::action(&form, u"Menu_Help_About")->trigger();
        else
            testsupport::click(&form, u"CommandSelect(6)");
        QCOMPARE(t.dialogs.shown().size(), 1);
        QCOMPARE(t.dialogs.shown().first().kind, ShownBox::Kind::Information);
        QCOMPARE(t.dialogs.shown().first().title, QStringLiteral("コルヴァン Ver2.10"));
        QVERIFY(t.dialogs.shown().first().text.contains(QStringLiteral("Ver2.10")));
    }
}

void MainFormTest::help() {
    TestContext t;
    MainForm form(t.context);
    testsupport::click(&form, u"CommandSelect(5)");
    QCOMPARE(t.help.shownCount(), 1);
    testsupport::action(&form, u"Menu_Help_Card")->trigger();
    QCOMPARE(t.help.shownCount(), 2);
    QVERIFY(t.navigator.opened().isEmpty());
    QVERIFY(t.dialogs.shown().isEmpty());
}

void MainFormTest::exitNoKeepsMenu() {
    for (const bool byMenu : {false, true}) {
        TestContext t;
        const auto dir = testsupport::copyOfProgramDir();
        t.state.appPath = dir.path;
        const QByteArray before = fileBytes(dir.database());
        MainForm form(t.context);
        form.show();
        t.dialogs.answerNo();
        if (byMenu)
            testsupport::action(&form, u"Menu_Close")->trigger();
        else
            testsupport::click(&form, u"CommandSelect(8)");
        QCOMPARE(t.dialogs.shown().size(), 1);
        QCOMPARE(t.dialogs.shown().first().kind, ShownBox::Kind::Question);
        QCOMPARE(t.dialogs.shown().first().text, QStringLiteral("コルヴァンを終了しますか。\r\n"));
        QCOMPARE(t.dialogs.shown().first().title, QStringLiteral("コルヴァン終了"));
        QVERIFY(form.isVisible());
        QVERIFY(t.navigator.closedWindows().isEmpty());
        QCOMPARE(fileBytes(dir.database()), before);
    }
}

void MainFormTest::exitYesCompactsDatabase() {
    TestContext t;
    const auto dir = testsupport::copyOfProgramDir();
    QVERIFY(QFileInfo::exists(dir.database()));
    t.state.appPath = dir.path;
    addFreePages(dir.database());
    const QString contentBefore = dumpDatabase(dir.database());
    const qint64 sizeBefore = QFileInfo(dir.database()).size();
    const ino_t inodeBefore = inodeOf(dir.database());

    MainForm form(t.context);
    form.show();
    t.dialogs.answerYes();
    QCOMPARE(form.exitProgram(), MainForm::ExitOutcome::Compacted);

    QCOMPARE(t.dialogs.shown().size(), 1); // the question only
    QVERIFY(!form.isVisible());
    QCOMPARE(t.navigator.closedWindows(), QList<WindowId>{WindowId::MainForm});
    QVERIFY(QFileInfo::exists(dir.database()));
    QVERIFY(!QFileInfo::exists(dir.path + QStringLiteral("korvnew.mdb")));
    QVERIFY(inodeOf(dir.database()) != inodeBefore);
    QVERIFY2(QFileInfo(dir.database()).size() < sizeBefore, "free pages are gone");
    QCOMPARE(dumpDatabase(dir.database()), contentBefore);
}

void MainFormTest::exitWithDatabaseInExclusiveUse() {
    TestContext t;
    const auto dir = testsupport::copyOfProgramDir();
    t.state.appPath = dir.path;
    const QByteArray before = fileBytes(dir.database());
    const QString name = connectionName();
    {
        QSqlDatabase holder = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        holder.setDatabaseName(dir.database());
        QVERIFY(holder.open());
        QSqlQuery lock(holder);
        QVERIFY2(lock.exec(QStringLiteral("BEGIN EXCLUSIVE")), qPrintable(lock.lastError().text()));

        MainForm form(t.context);
        form.show();
        t.dialogs.answerYes();
        testsupport::click(&form, u"CommandSelect(8)");
        QCOMPARE(t.dialogs.shown().size(), 1); // nothing after the question
        QCOMPARE(t.navigator.closedWindows(), QList<WindowId>{WindowId::MainForm});
        QVERIFY(!form.isVisible());
        QVERIFY(lock.exec(QStringLiteral("ROLLBACK")));
        holder.close();
    }
    QSqlDatabase::removeDatabase(name);
    QCOMPARE(fileBytes(dir.database()), before);
    QVERIFY(!QFileInfo::exists(dir.path + QStringLiteral("korvnew.mdb")));
}

void MainFormTest::exitWithOtherErrorShowsTrap() {
    TestContext t;
    const auto dir = testsupport::copyOfProgramDir();
    t.state.appPath = dir.path;
    QVERIFY(QFile::remove(dir.database()));
    MainForm form(t.context);
    form.show();
    t.dialogs.answerYes();
    QCOMPARE(form.exitProgram(), MainForm::ExitOutcome::Failed);
    QCOMPARE(t.dialogs.shown().size(), 2);
    QCOMPARE(t.dialogs.shown().at(1).title, QStringLiteral("エラー"));
    QVERIFY(t.dialogs.shown().at(1).text.startsWith(QStringLiteral("エラー番号  ")));
    QVERIFY(t.dialogs.shown().at(1).text.contains(QStringLiteral(" でエラーが発生しました。 \r")));
    // The program still ends, and no file appears where there was none.
    QCOMPARE(t.navigator.closedWindows(), QList<WindowId>{WindowId::MainForm});
    QVERIFY(!QFileInfo::exists(dir.database()));
    QVERIFY(!QFileInfo::exists(dir.path + QStringLiteral("korvnew.mdb")));
}

void MainFormTest::closeByFrameEndsWithoutCompaction() {
    TestContext t;
    const auto dir = testsupport::copyOfProgramDir();
    t.state.appPath = dir.path;
    addFreePages(dir.database());
    const QByteArray before = fileBytes(dir.database());
    MainForm form(t.context);
    form.show();
    testsupport::click(&form, u"CommandStart");
    QVERIFY(form.timer().isActive());
    QVERIFY(form.close());
    QVERIFY(t.dialogs.shown().isEmpty());
    QCOMPARE(t.navigator.closedWindows(), QList<WindowId>{WindowId::MainForm});
    QVERIFY(!form.timer().isActive());
    QCOMPARE(fileBytes(dir.database()), before);
}

void MainFormTest::screenshot() {
    TestContext t;
    MainForm form(t.context);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    // The race pictures are drawn just after the menu first shows.
    QTRY_VERIFY(!testsupport::label(&form, u"PictureRace")->pixmap().isNull());
    testsupport::saveScreenshot(&form, QStringLiteral("MainForm"));
}

QTEST_MAIN(MainFormTest)
#include "MainFormTest.moc"
