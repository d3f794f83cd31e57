#include "core/Csv.h"
#include "history/RirekiForm.h"
#include "masters/CsvPreviewDialog.h"
#include "masters/KeirinjyoForm.h"
#include "masters/OriginalForm.h"
#include "masters/SensyuForm.h"
#include "records/HistoryCsv.h"
#include "records/MasterCsv.h"
#include "records/RacerCsv.h"
#include "store/Database.h"
#include "store/Recordset.h"
#include "support/Controls.h"
#include "support/DirectSql.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QStringEncoder>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <functional>
#include <unistd.h>

using namespace Qt::StringLiterals;
using testsupport::DirectSql;

namespace {

const QByteArray RacerHeader = "選手ID,名前,よみがな,所属,期,級,生年,生月,生日,血液型\n";
const QString AllRacers = u"SELECT * FROM T_選手 ORDER BY 選手ID"_s;
const QString AllRacersShown = u"SELECT * FROM Q_選手 ORDER BY 選手ID"_s;

QString writeFile(const QString& dir, const QString& name, const QByteArray& bytes) {
    const QString path = dir + name;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Runs action on the next modal dialog of type T as soon as it is up, looking every delay ms.
template <typename T> void onModal(std::function<void(T*)> action, int delay = 10, int tries = 200) {
    QTimer::singleShot(delay, [action, delay, tries] {
        if (auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget()); dialog && dialog->isVisible())
            action(dialog);
        else if (tries > 0)
            onModal<T>(action, delay, tries - 1);
    });
}

// The preview's figures: "new changed unchanged rejected".
QString previewFigures(const CsvPreviewDialog* dialog) {
    QStringList figures;
    for (const char16_t* name : {u"LabelAdded", u"LabelChanged", u"LabelUnchanged", u"LabelRejected"})
        figures << testsupport::label(dialog, name)->text();
    return figures.join(QLatin1Char(' '));
}

// Makes the database and its folder unwritable, also for root (which chmod does not stop), and back.
bool setWritable(const QString& dir, const QString& file, bool writable) {
    if (::geteuid() == 0)
        return QProcess::execute(u"chattr"_s, {writable ? u"-i"_s : u"+i"_s, file, dir}) == 0;
    const auto mode = writable ? QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
                               : QFile::ReadOwner | QFile::ExeOwner;
    return QFile::setPermissions(dir, mode) &&
           QFile::setPermissions(file, writable ? QFile::ReadOwner | QFile::WriteOwner : QFile::ReadOwner);
}

struct Fixture {
    TestContext tc;
    testsupport::ProgramDir dir = testsupport::copyOfProgramDir();
    SensyuSearchMemory memory;
    // Birth years are accepted up to the year of the clock: the seed has racers born up to 2006.
    Fixture() {
        tc.state.appPath = dir.path;
        tc.clock.set(QDate(2026, 12, 9));
    }
    QList<QVariantList> racers() const { return DirectSql(dir.database()).rows(AllRacers); }
    QString file(const QString& name, const QByteArray& bytes) const {
        return writeFile(dir.path, name, bytes);
    }
};

} // namespace

class CsvTransferTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { testsupport::initGui(); }
    void seedRacersRoundTrip();
    void rejections_data();
    void rejections();
    void headings_data();
    void headings();
    void changesRacer();
    void encodingsAndQuoting_data();
    void encodingsAndQuoting();
    void badFiles_data();
    void badFiles();
    void previewCancelWritesNothing();
    void progressCancelWritesNothing();
    void failedWriteLeavesTable_data();
    void failedWriteLeavesTable();
    void exportFollowsTableMode();
    void exportFailureIsReported();
    void velodromesAndRoster();
    void rosterMatches_data();
    void rosterMatches();
    void historyExport();
};

// Exported seed racers read back into the same file change nothing, and into an empty racer table
// bring back every racer as he was, with the columns the view derives from him.
void CsvTransferTest::seedRacersRoundTrip() {
    Fixture f;
    const QList<QVariantList> before = f.racers();
    QCOMPARE(before.size(), 2300);
    const QList<QVariantList> shownBefore = DirectSql(f.dir.database()).rows(AllRacersShown);
    const QString path = f.dir.path + u"racers.csv"_s;
    {
        SensyuForm form(f.tc.context, f.memory);
        f.tc.dialogs.chooseFile(path);
        testsupport::action(&form, u"Menu_CsvExport")->trigger();
        QVERIFY2(f.tc.dialogs.texts().size() == 1, qPrintable(f.tc.dialogs.lastText()));
        QVERIFY(readFile(path).startsWith("\xEF\xBB\xBF" + RacerHeader.chopped(1) +
                                          "\r\n10001,相沢忠,アイザワタダシ,北海道,115,A2,1996,9,11,O\r\n"));

        f.tc.dialogs.chooseFile(path);
        QString figures;
        onModal<CsvPreviewDialog>([&](CsvPreviewDialog* d) {
            figures = previewFigures(d);
            QVERIFY(!d->importButton()->isEnabled());
            d->reject();
        });
        testsupport::action(&form, u"Menu_CsvImport")->trigger();
        QCOMPARE(figures, u"0 件 0 件 2300 件 0 件"_s);
    }
    QCOMPARE(f.racers(), before);

    DirectSql(f.dir.database()).exec(u"DELETE FROM T_選手"_s);
    Database db(f.dir.database());
    records::RacerCsv table;
    const records::CsvCheck check = table.check(db, csv::readFile(path));
    QCOMPARE(check.added, 2300);
    QCOMPARE(check.changed + check.unchanged + int(check.rejections.size()), 0);
    QVERIFY(table.write(db, {}));
    db.close();
    QCOMPARE(f.racers(), before);
    QCOMPARE(DirectSql(f.dir.database()).rows(AllRacersShown), shownBefore);
}

// One record after the header (two for the duplicate); each rejection as "line column reason".
void CsvTransferTest::rejections_data() {
    QTest::addColumn<QByteArray>("rows");
    QTest::addColumn<QString>("rejection");
    const QByteArray good = "1,山田太郎,ヤマダタロウ,千葉,80,A1,1970,1,1,A\n";
    QTest::newRow("選手ID 0") << QByteArray("0,山田,ヤマダ,千葉,80,A1,1970,1,1,A")
                              << u"2 選手ID 選手ID「0」は 1 から 32767 までの整数ではありません。"_s;
    QTest::newRow("選手ID 32768") << QByteArray("32768,山田,ヤマダ,千葉,80,A1,1970,1,1,A")
                                  << u"2 選手ID 選手ID「32768」は 1 から 32767 までの整数ではありません。"_s;
    QTest::newRow("no name") << QByteArray("5,,ヤマダ,千葉,80,A1,1970,1,1,A")
                             << u"2 名前 名前がありません。"_s;
    QTest::newRow("blank reading") << QByteArray("5,山田, ,千葉,80,A1,1970,1,1,A")
                                   << u"2 よみがな よみがながありません。"_s;
    QTest::newRow("unknown prefecture")
        << QByteArray("5,山田,ヤマダ,ハワイ,80,A1,1970,1,1,A") << u"2 所属 所属「ハワイ」はありません。"_s;
    QTest::newRow("unknown blood type")
        << QByteArray("5,山田,ヤマダ,千葉,80,A1,1970,1,1,C") << u"2 血液型 血液型「C」はありません。"_s;
    QTest::newRow("30 February") << QByteArray("5,山田,ヤマダ,千葉,80,A1,1970,2,30,A")
                                 << u"2 生日 1970年2月30日という日はありません。"_s;
    QTest::newRow("month 13") << QByteArray("5,山田,ヤマダ,千葉,80,A1,1970,13,1,A")
                              << u"2 生月 生月「13」は 1 から 12 までの整数ではありません。"_s;
    QTest::newRow("term text") << QByteArray("5,山田,ヤマダ,千葉,x,A1,1970,1,1,A")
                               << u"2 期 期「x」は 0 から 32767 までの整数ではありません。"_s;
    QTest::newRow("too few fields") << QByteArray("5,山田")
                                    << u"2  項目の数が 2 です（10 項目のはずです）。"_s;
    QTest::newRow("duplicate 選手ID") << good + "1,山田次郎,ヤマダジロウ,千葉,80,A1,1971,2,2,B"
                                      << u"3 選手ID 選手ID 1 は 2 行目にもあります。"_s;
    QTest::newRow("unknown prefecture and blood type")
        << QByteArray("5,山田,ヤマダ,ハワイ,80,A1,1970,1,1,C")
        << u"2 所属 所属「ハワイ」はありません。 / 2 血液型 血液型「C」はありません。"_s;
    QTest::newRow("too many fields") << QByteArray("5,山田,ヤマダ,千葉,80,A1,1970,1,1,A,x")
                                     << u"2  項目の数が 11 です（10 項目のはずです）。"_s;
    QTest::newRow("empty fields after the last column")
        << QByteArray("5,山田,ヤマダ,千葉,80,A1,1970,1,31,A,,\n6,山田,ヤマダ,千葉,80,A1,1970,2,31,A")
        << u"3 生日 1970年2月31日という日はありません。"_s;
}

void CsvTransferTest::rejections() {
    QFETCH(QByteArray, rows);
    QFETCH(QString, rejection);
    Fixture f;
    Database db(f.dir.database());
    records::RacerCsv table;
    const records::CsvCheck check = table.check(db, csv::parse(RacerHeader + rows + "\n"));
    QStringList shown;
    for (const records::CsvRejection& r : check.rejections)
        shown << QString::number(r.line) + QLatin1Char(' ') + r.column + QLatin1Char(' ') + r.reason;
    QCOMPARE(shown.join(u" / "_s), rejection);
}

// Columns found by their headings. The outcome: new and rejected records, the columns not read in
// brackets, then each rejection as "column: reason", or the racer checked as "選手ID|名前|期|生年".
void CsvTransferTest::headings_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("outcome");
    const QByteArray racer = "表太郎,ヒョウタロウ,7,1970,1,1,千葉,80,A1,A\n";
    QTest::newRow("columns in another order")
        << "名前,よみがな,選手ID,生年,生月,生日,所属,期,級,血液型\n" + racer << u"1 0 [] 7|表太郎|80|1970"_s;
    QTest::newRow("the windows' labels")
        << QByteArray("氏名,ﾖﾐｶﾞﾅ,登番,生年,生月,生日,出身,期,級,血液型\n") + racer
        << u"1 0 [] 7|表太郎|80|1970"_s;
    QTest::newRow("full-width and blank-padded headings")
        << QByteArray(" 名前　,ヨミガナ,選手ＩＤ,生年,生月,生日,所属名,期,級,血液型名\n") + racer
        << u"1 0 [] 7|表太郎|80|1970"_s;
    QTest::newRow("a remark column and empty ones after it")
        << QByteArray("名前,よみがな,選手ID,生年,生月,生日,所属,期,級,血液型,備考,,\n"
                      "表太郎,ヒョウタロウ,7,1970,1,1,千葉,80,A1,A,速い,,\n")
        << u"1 0 [備考] 7|表太郎|80|1970"_s;
    QTest::newRow("rejections name the file's headings")
        << QByteArray("氏名,ﾖﾐｶﾞﾅ,登番,生年,生月,生日,出身,期,級,血液型\n"
                      "表太郎,ヒョウタロウ,0,1970,1,1,ハワイ,80,A1,A\n")
        << u"0 1 [] 登番: 登番「0」は 1 から 32767 までの整数ではありません。 / 出身: 出身「ハワイ」はありません。"_s;
    QTest::newRow("a column missing")
        << QByteArray("名前,選手ID,生年,生月,生日,所属,期,級,血液型,備考\n")
        << u"1 行目の見出しに「よみがな」の列がありません。\r\n見出しは次の通りです（順不同）。\r\n"
           u"選手ID,名前,よみがな,所属,期,級,生年,生月,生日,血液型"_s;
    QTest::newRow("a column twice")
        << QByteArray("名前,氏名,よみがな,選手ID,生年,生月,生日,所属,期,級,血液型\n")
        << u"1 行目の見出しに「名前」の列が二つ以上あります。\r\n見出しは次の通りです（順不同）。\r\n"
           u"選手ID,名前,よみがな,所属,期,級,生年,生月,生日,血液型"_s;
}

void CsvTransferTest::headings() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, outcome);
    Fixture f;
    Database db(f.dir.database());
    records::RacerCsv table;
    const records::CsvCheck check = table.check(db, csv::parse(bytes));
    QString shown = check.error;
    if (shown.isEmpty()) {
        QStringList rejections;
        for (const records::CsvRejection& r : check.rejections)
            rejections << r.column + u": "_s + r.reason;
        shown = u"%1 %2 [%3] "_s.arg(check.added).arg(check.rejected).arg(check.ignoredColumns.join(u","_s));
        shown += rejections.join(u" / "_s);
        if (rejections.isEmpty()) {
            QVERIFY(table.write(db, {}));
            shown +=
                DirectSql(f.dir.database())
                    .rows(
                        u"SELECT 選手ID || '|' || 名前 || '|' || 期 || '|' || 生年 FROM T_選手 WHERE 名前 = '表太郎'"_s)
                    .value(0)
                    .value(0)
                    .toString();
        }
    }
    QCOMPARE(shown, outcome);
}

// A changed racer gets the file's fields; his reading's initial and kana button follow the reading.
void CsvTransferTest::changesRacer() {
    Fixture f;
    Database db(f.dir.database());
    records::RacerCsv table;
    const records::CsvCheck check =
        table.check(db, csv::parse(RacerHeader + "10001,相沢忠,ベツメイ,沖縄,115,,1996,9,11,AB\n"
                                                 "10003,内海俊彦,ウツミトシヒコ,青森,63,A1,1964,9,11,A\n"));
    QCOMPARE(check.changed, 1);
    QCOMPARE(check.unchanged, 1);
    QVERIFY(table.write(db, {}));
    db.close();
    QCOMPARE(DirectSql(f.dir.database())
                 .rows(u"SELECT 名前, よみがな, よみがな１桁, よみがなID, 期, 級 IS NULL, 所属ID, 生年, "
                       u"生月, 生日, 血液型ID "
                       u"FROM Q_選手 WHERE 選手ID = 10001"_s),
             (QList<QVariantList>{{u"相沢忠"_s, u"ベツメイ"_s, u"ベ"_s, 28, 115, 1, 47, 1996, 9, 11, 4}}));
}

// The same racers written in each encoding, with quoted fields, give the same stored racers.
void CsvTransferTest::encodingsAndQuoting_data() {
    QTest::addColumn<QByteArray>("bytes");
    const QString text = QString::fromUtf8(RacerHeader) +
                         u"7,\"山田, \"\"太郎\"\"\",ヤマダタロウ,千葉,80,,1970,1,1,AB\r\n"
                         u"8,\"二行\r\n目\",ぱぴぷ,沖縄,,S1,1988,2,29,O\r\n"_s;
    QTest::newRow("UTF-8") << text.toUtf8();
    QTest::newRow("UTF-8 with mark") << "\xEF\xBB\xBF" + text.toUtf8();
    QStringEncoder shiftJis("Shift_JIS");
    QTest::newRow("Shift_JIS") << QByteArray(shiftJis.encode(text));
}

void CsvTransferTest::encodingsAndQuoting() {
    QFETCH(QByteArray, bytes);
    Fixture f;
    Database db(f.dir.database());
    records::RacerCsv table;
    const records::CsvCheck check = table.check(db, csv::parse(bytes));
    QCOMPARE(check.added, 2);
    QVERIFY(check.rejections.isEmpty());
    QVERIFY(table.write(db, {}));
    db.close();
    const QList<QVariantList> rows =
        DirectSql(f.dir.database())
            .rows(u"SELECT 選手ID, 名前, よみがな, よみがな１桁, よみがなID, 期, 級, 所属名, "
                  u"生年, 生月, 生日, 血液型名 FROM Q_選手 WHERE 選手ID IN (7, 8)"_s);
    QCOMPARE(rows.size(), 2);
    const auto shown = [](const QVariantList& row) {
        QStringList texts;
        for (const QVariant& value : row)
            texts << (value.isNull() ? u"null"_s : value.toString());
        return texts.join(QLatin1Char('|'));
    };
    QCOMPARE(shown(rows.at(0)), u"7|山田, \"太郎\"|ヤマダタロウ|ヤ|35|80|null|千葉|1970|1|1|AB"_s);
    // ぱ is found under ﾊ, the 26th kana button (index 25).
    QCOMPARE(shown(rows.at(1)), u"8|二行\r\n目|ぱぴぷ|ぱ|25|null|S1|沖縄|1988|2|29|O"_s);
}

void CsvTransferTest::badFiles_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("reason");
    QTest::newRow("empty") << QByteArray() << u"ファイルが空です。"_s;
    QTest::newRow("binary") << QByteArray("\x89PNG\r\n\x1A\n\x00\x00\x00\x0DIHDR", 16)
                            << u"CSV ファイルではありません（文字でないデータを含んでいます）。"_s;
    QTest::newRow("wrong header")
        << QByteArray("ID,名前\n1,山田\n")
        << u"1 行目の見出しに「選手ID」「よみがな」「所属」「期」「級」「生年」「生月」「生日」"
           u"「血液型」の列がありません。\r\n見出しは次の通りです（順不同）。\r\n"
           u"選手ID,名前,よみがな,所属,期,級,生年,生月,生日,血液型"_s;
    QTest::newRow("unterminated quote") << RacerHeader + "9,\"山田,ヤマダ,千葉,80,A1,1970,1,1,A\n"
                                        << u"2 行目 2 列目で始まる項目の引用符 (\") が閉じられていません。"_s;
}

void CsvTransferTest::badFiles() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, reason);
    Fixture f;
    const QList<QVariantList> before = f.racers();
    const QString path = f.file(u"bad.csv"_s, bytes);
    SensyuForm form(f.tc.context, f.memory);
    f.tc.dialogs.chooseFile(path);
    testsupport::action(&form, u"Menu_CsvImport")->trigger();
    QCOMPARE(f.tc.dialogs.shown().last().kind, ShownBox::Kind::Critical);
    QCOMPARE(f.tc.dialogs.shown().last().title, u"CSV取込"_s);
    QCOMPARE(f.tc.dialogs.lastText(),
             u"ファイル %1 は取り込めません。\r\n%2\r\n何も書き込んでいません。"_s.arg(path, reason));
    QCOMPARE(f.racers(), before);
}

// The preview names the column it does not read and every fault of a record.
void CsvTransferTest::previewCancelWritesNothing() {
    Fixture f;
    const QList<QVariantList> before = f.racers();
    const QString path = f.file(
        u"some.csv"_s, RacerHeader.chopped(1) + ",備考\n"
                                                "7,山田,ヤマダ,千葉,80,A1,1970,1,1,A,\n"
                                                "10001,相沢忠,アイザワタダシ,沖縄,115,A2,1996,9,11,O,移籍\n"
                                                "8,山田,ヤマダ,ハワイ,80,A1,1970,2,30,A,\n");
    SensyuForm form(f.tc.context, f.memory);
    f.tc.dialogs.chooseFile(path);
    QString figures;
    onModal<CsvPreviewDialog>([&](CsvPreviewDialog* d) {
        figures = previewFigures(d);
        QCOMPARE(testsupport::label(d, u"LabelIgnored")->text(), u"読み込まない列: 備考"_s);
        auto* table = testsupport::child<QTableWidget>(d, u"TableRejected");
        QStringList rows;
        for (int row = 0; row < table->rowCount(); ++row)
            rows << table->item(row, 0)->text() + QLatin1Char(' ') + table->item(row, 1)->text() +
                        QLatin1Char(' ') + table->item(row, 2)->text();
        QCOMPARE(rows, (QStringList{u"4 生日 1970年2月30日という日はありません。"_s,
                                    u"4 所属 所属「ハワイ」はありません。"_s}));
        testsupport::saveScreenshot(d, u"CsvPreviewDialog"_s);
        QTest::mouseClick(d->cancelButton(), Qt::LeftButton);
    });
    testsupport::action(&form, u"Menu_CsvImport")->trigger();
    QCOMPARE(figures, u"1 件 1 件 0 件 1 件"_s);
    QVERIFY(f.tc.dialogs.texts().size() == 1); // the file dialog only
    QCOMPARE(f.racers(), before);
}

// 2,500 new racers are written under a progress dialog; its cancel leaves the table as it was.
void CsvTransferTest::progressCancelWritesNothing() {
    Fixture f;
    const QList<QVariantList> before = f.racers();
    QByteArray bytes = RacerHeader;
    for (int id = 1; id <= 2500; ++id)
        bytes += QByteArray::number(id) + ",山田,ヤマダ,千葉,80,A1,1970,1,1,A\n";
    const QString path = f.file(u"many.csv"_s, bytes);
    SensyuForm form(f.tc.context, f.memory);
    form.show();
    f.tc.dialogs.chooseFile(path);
    bool cancelled = false;
    onModal<CsvPreviewDialog>([&](CsvPreviewDialog* d) {
        // Looked for at every turn of the events, which the progress dialog gives while it writes.
        onModal<QProgressDialog>(
            [&](QProgressDialog* progress) {
                cancelled = true;
                progress->cancel();
            },
            0, 100000);
        QTest::mouseClick(d->importButton(), Qt::LeftButton);
    });
    testsupport::action(&form, u"Menu_CsvImport")->trigger();
    QVERIFY(cancelled);
    QCOMPARE(f.tc.dialogs.lastText(), u"取込を中止しました。何も書き込んでいません。"_s);
    QCOMPARE(f.racers(), before);
}

// A write refused by the engine half way (a rule refusing the third new racer), or by a database
// file and folder that cannot be written, leaves every racer as he was.
void CsvTransferTest::failedWriteLeavesTable_data() {
    QTest::addColumn<bool>("readOnly");
    QTest::newRow("refused half way") << false;
    QTest::newRow("read-only file") << true;
}

void CsvTransferTest::failedWriteLeavesTable() {
    QFETCH(bool, readOnly);
    Fixture f;
    if (!readOnly)
        DirectSql(f.dir.database())
            .exec(u"CREATE TRIGGER refuse BEFORE INSERT ON T_選手 WHEN NEW.選手ID = 3 "
                  u"BEGIN SELECT RAISE(ABORT, 'refused'); END"_s);
    const QList<QVariantList> before = f.racers();
    const QString path =
        f.file(u"three.csv"_s, RacerHeader + "1,山田,ヤマダ,千葉,80,A1,1970,1,1,A\n"
                                             "10001,相沢忠,アイザワタダシ,沖縄,115,A2,1996,9,11,O\n"
                                             "3,山田,ヤマダ,千葉,80,A1,1970,1,1,A\n");
    SensyuForm form(f.tc.context, f.memory);
    f.tc.dialogs.chooseFile(path);
    onModal<CsvPreviewDialog>(
        [](CsvPreviewDialog* d) { QTest::mouseClick(d->importButton(), Qt::LeftButton); });
    const QString folder = f.dir.path.chopped(1);
    if (readOnly && !setWritable(folder, f.dir.database(), false))
        QSKIP("the database cannot be made read-only here");
    testsupport::action(&form, u"Menu_CsvImport")->trigger();
    if (readOnly)
        QVERIFY(setWritable(folder, f.dir.database(), true));
    QCOMPARE(f.tc.dialogs.shown().last().kind, ShownBox::Kind::Critical);
    QVERIFY2(f.tc.dialogs.lastText().startsWith(
                 u"データベース %1 に書き込めませんでした。"_s.arg(f.dir.database())),
             qPrintable(f.tc.dialogs.lastText()));
    QVERIFY(f.tc.dialogs.lastText().endsWith(u"何も書き込んでいません。"_s));
    QCOMPARE(f.racers(), before);
}

void CsvTransferTest::exportFollowsTableMode() {
    Fixture f;
    DirectSql(f.dir.database()).exec(u"INSERT INTO T_選手抽出 (選手ID) VALUES (10003), (10006)"_s);
    f.tc.state.extractionMode = 1;
    SensyuForm form(f.tc.context, f.memory);
    f.tc.dialogs.chooseFile(f.dir.path + u"picked.csv"_s);
    testsupport::action(&form, u"Menu_CsvExport")->trigger();
    QCOMPARE(f.tc.dialogs.shown().first().text, f.dir.path + u"選手抽出.csv"_s);
    QCOMPARE(readFile(f.dir.path + u"picked.csv"_s),
             "\xEF\xBB\xBF" + RacerHeader.chopped(1) +
                 "\r\n10003,内海俊彦,ウツミトシヒコ,青森,63,A1,1964,9,11,A\r\n"
                 "10006,天野陽平,アマノヨウヘイ,秋田,89,A3,1979,10,6,A\r\n");
}

void CsvTransferTest::exportFailureIsReported() {
    Fixture f;
    SensyuForm form(f.tc.context, f.memory);
    // A folder of that name stands where the file would go.
    const QString path = f.dir.path + u"taken.csv"_s;
    QVERIFY(QDir().mkdir(path));
    f.tc.dialogs.chooseFile(path);
    testsupport::action(&form, u"Menu_CsvExport")->trigger();
    QCOMPARE(f.tc.dialogs.shown().last().kind, ShownBox::Kind::Critical);
    QCOMPARE(f.tc.dialogs.lastText(),
             u"ファイル %1 に書き出せませんでした。\r\n同じ名前のフォルダがあります。"_s.arg(path));
}

// Both windows write their table and read it back unchanged; a new velodrome and a new person are
// stored as the windows store them.
void CsvTransferTest::velodromesAndRoster() {
    Fixture f;
    const QString velodromes = f.dir.path + u"v.csv"_s;
    const QString roster = f.dir.path + u"r.csv"_s;
    {
        KeirinjyoForm form(f.tc.context);
        f.tc.dialogs.chooseFile(velodromes);
        testsupport::action(&form, u"Menu_CsvExport")->trigger();
        QVERIFY(readFile(velodromes).startsWith("\xEF\xBB\xBF競輪場ID,競輪場名,地区\r\n1,函館,北日本\r\n"));
        QFile file(velodromes);
        QVERIFY(file.open(QIODevice::Append));
        file.write("99,\"新,競輪場\",関東\r\n1,函館,関東\r\n");
        file.close();
        f.tc.dialogs.chooseFile(velodromes);
        QString figures;
        onModal<CsvPreviewDialog>([&](CsvPreviewDialog* d) {
            figures = previewFigures(d);
            QTest::mouseClick(d->importButton(), Qt::LeftButton);
        });
        testsupport::action(&form, u"Menu_CsvImport")->trigger();
        QCOMPARE(figures, u"1 件 0 件 43 件 1 件"_s); // the second 1 is a duplicate
        QCOMPARE(form.recordTotal(), 44);
    }
    QCOMPARE(DirectSql(f.dir.database()).rows(u"SELECT 競輪場名, 地区名 FROM Q_競輪場 WHERE 競輪場ID = 99"_s),
             (QList<QVariantList>{{u"新,競輪場"_s, u"関東"_s}}));
    {
        OriginalForm form(f.tc.context);
        f.tc.dialogs.chooseFile(roster);
        testsupport::action(&form, u"Menu_CsvExport")->trigger();
        QByteArray bytes = readFile(roster);
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF名前,生年,生月,生日\r\n"));
        bytes += "鈴木一郎,1965,4,10\r\n令和花子,2019,5,1\r\n";
        writeFile(QString(), roster, bytes);
        f.tc.dialogs.chooseFile(roster);
        QString figures;
        onModal<CsvPreviewDialog>([&](CsvPreviewDialog* d) {
            figures = previewFigures(d);
            QTest::mouseClick(d->importButton(), Qt::LeftButton);
        });
        testsupport::action(&form, u"Menu_CsvImport")->trigger();
        QCOMPARE(figures, u"2 件 0 件 3 件 0 件"_s);
        QCOMPARE(form.recordTotal(), 5);
    }
    QCOMPARE(
        DirectSql(f.dir.database())
            .rows(u"SELECT 生年, 生月, 生日 FROM T_個別名簿 ORDER BY 名簿ID DESC LIMIT 2"_s),
        (QList<QVariantList>{{u"2019 (令和1)"_s, u"5"_s, u"1"_s}, {u"1965 (昭和40)"_s, u"4"_s, u"10"_s}}));
}

// One stored person against one record: the program's own export of him (an empty record) or a file's
// record. The same name and birth date, whatever their text form, are the same person.
void CsvTransferTest::rosterMatches_data() {
    QTest::addColumn<QStringList>("stored");
    QTest::addColumn<QByteArray>("record");
    QTest::addColumn<QString>("figures"); // new, unchanged, rejected
    const QStringList typed{u"鈴木一郎"_s, u"1965"_s, u"04"_s, u"10"_s};
    const QStringList picked{u"鈴木一郎"_s, u"1965 (昭和40)"_s, u"4"_s, u"10"_s};
    QTest::newRow("typed by hand, own export") << typed << QByteArray() << u"0 1 0"_s;
    QTest::newRow("typed by hand, picker texts")
        << typed << QByteArray("鈴木一郎,1965 (昭和40),4,10") << u"0 1 0"_s;
    QTest::newRow("picked, spreadsheet numbers")
        << picked << QByteArray("鈴木一郎,１９６５,04,10.0") << u"0 1 0"_s;
    QTest::newRow("blanks around the name")
        << picked << QByteArray(" 鈴木一郎\u3000,1965,4,10") << u"0 1 0"_s;
    QTest::newRow("old era label, own export")
        << QStringList{u"古川二郎"_s, u"1920 (昭和-5)"_s, u"3"_s, u"3"_s} << QByteArray() << u"0 1 0"_s;
    QTest::newRow("another day") << typed << QByteArray("鈴木一郎,1965,4,11") << u"1 0 0"_s;
    QTest::newRow("year before 明治") << typed << QByteArray("鈴木一郎,1867,4,10") << u"0 0 1"_s;
}

void CsvTransferTest::rosterMatches() {
    QFETCH(QStringList, stored);
    QFETCH(QByteArray, record);
    QFETCH(QString, figures);
    Fixture f;
    {
        DirectSql sql(f.dir.database());
        sql.exec(u"DELETE FROM T_個別名簿"_s);
        sql.exec(u"INSERT INTO T_個別名簿 (名前, 生年, 生月, 生日) VALUES (?, ?, ?, ?)"_s,
                 {stored.at(0), stored.at(1), stored.at(2), stored.at(3)});
    }
    Database db(f.dir.database());
    records::RosterCsv table;
    table.setThisYear(2026);
    const QByteArray bytes =
        record.isEmpty() ? table.exportFile(db) : "名前,生年,生月,生日\n" + record + "\n";
    const records::CsvCheck check = table.check(db, csv::parse(bytes));
    QCOMPARE(u"%1 %2 %3"_s.arg(check.added).arg(check.unchanged).arg(check.rejected), figures);
}

// One line per race: slot 1 a racer, slot 2 empty, slot 3 a racer since deleted; the evaluations
// are the worked values of racer 10001 surveyed on 1999-12-08.
void CsvTransferTest::historyExport() {
    Fixture f;
    DirectSql(f.dir.database())
        .exec(u"INSERT INTO T_レース履歴 (調査年, 調査月, 調査日, 競輪場ID, レースNO, 選手1, 選手2, 選手3, "
              u"結果1, 結果3) "
              u"VALUES (1999, 12, 8, 1, 5, 10001, 0, 9999, 2, 7)"_s);
    RirekiForm form(f.tc.context);
    const QString path = f.dir.path + u"h.csv"_s;
    f.tc.dialogs.chooseFile(path);
    testsupport::action(&form, u"Menu_CsvExport")->trigger();
    const csv::Document document = csv::readFile(path);
    QVERIFY(document.ok());
    QCOMPARE(document.records.size(), 2);
    QCOMPARE(document.records.at(0).fields.mid(0, 9),
             (QStringList{u"調査年月日"_s, u"競輪場"_s, u"レースNO"_s, u"選手ID1"_s, u"名前1"_s, u"身体1"_s,
                          u"感情1"_s, u"知性1"_s, u"順位1"_s}));
    QCOMPARE(document.records.at(0).fields.size(), 3 + 9 * 6);
    const QStringList race = document.records.at(1).fields;
    QCOMPARE(race.mid(0, 21).join(QLatin1Char('|')),
             u"1999/12/8|函館|5|10001|相沢忠|2.29|7.00|-6.72|2|||||||9999|||||7"_s);
    QCOMPARE(race.size(), 3 + 9 * 6);
}

QTEST_MAIN(CsvTransferTest)
#include "CsvTransferTest.moc"
