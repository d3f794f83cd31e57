#include "core/SingleInstance.h"
#include "masters/CsvPreviewDialog.h"
#include "masters/SensyuForm.h"
#include "support/Controls.h"
#include "support/DirectSql.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;
using testsupport::DirectSql;

namespace {

const QByteArray RacerHeader = "選手ID,名前,よみがな,所属,期,級,生年,生月,生日,血液型\n";

struct Run {
    int status = -1;
    QString out;
    QString err;
};

// Runs korvane-cli with its lock in a runtime folder of the test's own.
Run runCli(const QStringList& arguments, const QString& runtimeDir) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"XDG_RUNTIME_DIR"_s, runtimeDir);
    process.setProcessEnvironment(environment);
    process.start(testsupport::builtBinDir() + u"/korvane-cli"_s, arguments);
    if (!process.waitForFinished(60000))
        return {};
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

} // namespace

class CliTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { testsupport::initGui(); }
    void commands_data();
    void commands();
    void sameRowsAsWindow();
};

// {dir} stands for the program folder of the test (its database is {dir}Korvane.mdb), in.csv there
// holds the file's bytes. The racers counted after the run show whether anything was written.
void CliTest::commands_data() {
    QTest::addColumn<QString>("arguments");
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<bool>("programRunning");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");
    QTest::addColumn<int>("racers");
    const QByteArray good = RacerHeader + "7,山田,ヤマダ,千葉,80,A1,1970,1,1,A\n";
    const QByteArray oneBad = good + "8,山田,ヤマダ,千葉,80,A1,1970,2,30,A\n";
    const QString figures =
        u"ファイル: {dir}in.csv\n新規: 1 件\n変更: 0 件\n変更なし: 0 件\n不採用: 0 件\n"_s;
    const QString import = u"import racers {dir}in.csv --database {dir}Korvane.mdb"_s;
    QTest::newRow("import") << import << good << false << 0
                            << figures + u"1 件を追加し、0 件を更新しました。\n"_s << QString() << 2301;
    QTest::newRow("dry run") << import + u" --dry-run"_s << good << false << 0
                             << figures + u"調べただけで、何も書き込んでいません。\n"_s << QString() << 2300;
    QTest::newRow("a row rejected")
        << import << oneBad << false << 1
        << u"ファイル: {dir}in.csv\n新規: 1 件\n変更: 0 件\n変更なし: 0 件\n不採用: 1 件\n"
           u"3 行目\t生日\t1970年2月30日という日はありません。\n"_s
        << u"不採用の行が 1 件あるため、何も書き込んでいません。\n"_s << 2300;
    QTest::newRow("an empty file")
        << import << QByteArray("\r\n") << false << 2 << QString()
        << u"ファイル {dir}in.csv は取り込めません。\nファイルが空です。\n何も書き込んでいません。\n"_s
        << 2300;
    QTest::newRow("program running") << import << good << true << 2 << QString()
                                     << u"コルヴァンが起動しているため、データベースに書き込めません。"
                                        u"コルヴァンを終了してから、もう一度実行してください。\n"_s
                                     << 2300;
    QTest::newRow("no database")
        << u"import racers {dir}in.csv --database {dir}none.mdb"_s << good << false << 2 << QString()
        << u"データベース {dir}none.mdb を開けません。\nファイル '{dir}none.mdb' が見つかりません。\n"_s
        << 2300;
    QTest::newRow("export") << u"export velodromes {dir}out.csv --database {dir}Korvane.mdb"_s << QByteArray()
                            << true << 0 << u"{dir}out.csv に書き出しました。\n"_s << QString() << 2300;
    QTest::newRow("export into no folder")
        << u"export history {dir}none/out.csv --database {dir}Korvane.mdb"_s << QByteArray() << false << 2
        << QString() << u"ファイル {dir}none/out.csv に書き出せませんでした。\nフォルダがありません。\n"_s
        << 2300;
    QTest::newRow("check")
        << u"check --database {dir}Korvane.mdb"_s << QByteArray() << false << 0
        << u"データベース: {dir}Korvane.mdb\nスキーマの版: 3（このプログラムの版: 3）\n問題はありません。\n"_s
        << QString() << 2300;
    QTest::newRow("unknown command")
        << u"frob"_s << QByteArray() << false << 2 << QString()
        << u"コマンド「frob」はありません。\n使い方:\n"
           u"  korvane-cli export racers|velodromes|roster|history FILE [--database PATH]\n"
           u"  korvane-cli import racers|velodromes|roster FILE [--database PATH] [--dry-run]\n"
           u"  korvane-cli check [--database PATH]\n"
           u"  korvane-cli stats [--database PATH] [--velodrome ID] [--from YYYY-MM-DD] [--to YYYY-MM-DD] "
           u"[--format text|json]\n"
           u"  korvane-cli repair [--database PATH] [--yes]\n\n"_s
        << 2300;
}

void CliTest::commands() {
    QFETCH(QString, arguments);
    QFETCH(QByteArray, file);
    QFETCH(bool, programRunning);
    QFETCH(int, status);
    QFETCH(QString, out);
    QFETCH(QString, err);
    QFETCH(int, racers);
    const testsupport::ProgramDir dir = testsupport::copyOfProgramDir();
    QTemporaryDir runtime;
    SingleInstance program(runtime.filePath(u"korvane.lock"_s));
    QVERIFY(!programRunning || program.acquire());
    if (!file.isEmpty())
        writeFile(dir.path + u"in.csv"_s, file);
    const Run run = runCli(arguments.replace(u"{dir}"_s, dir.path).split(QLatin1Char(' ')), runtime.path());
    QCOMPARE(run.err, err.replace(u"{dir}"_s, dir.path));
    QCOMPARE(run.out, out.replace(u"{dir}"_s, dir.path));
    QCOMPARE(run.status, status);
    QCOMPARE(DirectSql(dir.database()).count(u"SELECT count(*) FROM T_選手"_s), racers);
}

// A file as a spreadsheet saves it (Shift_JIS, the window's labels in another order, a remark
// column, full-width digits, a thousands comma, a name that looks like a formula) gives the same
// racers through the window's import as through korvane-cli's.
void CliTest::sameRowsAsWindow() {
    const QString text = u"氏名,ﾖﾐｶﾞﾅ,登番,出身,期,級,生年,生月,生日,血液型,備考\r\n"
                         u"\"=HYPERLINK(\"\"x\"\")\",イコール,７,千葉,８０,A1,１９７０,1,1,A,要確認\r\n"
                         u"山田太郎,ヤマダタロウ,\"20,001\",沖縄,,S1,1988.0,2,29,O,\r\n"
                         u"相沢忠,アイザワタダシ,10001,北海道,115,A1,1996,9,11,O,昇級\r\n"_s;
    const testsupport::ProgramDir window = testsupport::copyOfProgramDir();
    const testsupport::ProgramDir cli = testsupport::copyOfProgramDir();
    const QString path = window.path + u"sheet.csv"_s;
    writeFile(path, QStringEncoder("Shift_JIS").encode(text));
    {
        TestContext tc;
        tc.state.appPath = window.path;
        tc.clock.set(QDate(2026, 12, 9));
        SensyuSearchMemory memory;
        SensyuForm form(tc.context, memory);
        tc.dialogs.chooseFile(path);
        QTimer::singleShot(50, [] {
            if (auto* preview = qobject_cast<CsvPreviewDialog*>(QApplication::activeModalWidget()))
                QTest::mouseClick(preview->importButton(), Qt::LeftButton);
        });
        testsupport::action(&form, u"Menu_CsvImport")->trigger();
        QCOMPARE(tc.dialogs.lastText(), u"2 件を追加し、1 件を更新しました。"_s);
    }
    QTemporaryDir runtime;
    const Run run = runCli({u"import"_s, u"racers"_s, path, u"--database"_s, cli.database()}, runtime.path());
    QCOMPARE(run.status, 0);
    QVERIFY(run.out.contains(u"読み込まない列: 備考\n"_s));

    const QString all = u"SELECT * FROM Q_選手 ORDER BY 選手ID"_s;
    QCOMPARE(DirectSql(cli.database()).rows(all), DirectSql(window.database()).rows(all));
    QCOMPARE(
        DirectSql(window.database())
            .rows(
                u"SELECT 選手ID, 名前, coalesce(期, '不明'), 級, 所属名, 生年 FROM Q_選手 WHERE 選手ID IN (7, 10001, 20001)"_s),
        (QList<QVariantList>{{7, u"=HYPERLINK(\"x\")"_s, 80, u"A1"_s, u"千葉"_s, 1970},
                             {10001, u"相沢忠"_s, 115, u"A1"_s, u"北海道"_s, 1996},
                             {20001, u"山田太郎"_s, u"不明"_s, u"S1"_s, u"沖縄"_s, 1988}}));
}

QTEST_MAIN(CliTest)
#include "CliTest.moc"
