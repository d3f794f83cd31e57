#include "core/Csv.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <unistd.h>

namespace {

// The records as "line:field|field", one per record, joined by " / ".
QString shown(const QList<csv::Record>& records) {
    QStringList lines;
    for (const csv::Record& record : records)
        lines << QString::number(record.line) + QLatin1Char(':') + record.fields.join(QLatin1Char('|'));
    return lines.join(QStringLiteral(" / "));
}

} // namespace

class CsvTest : public QObject {
    Q_OBJECT

private slots:
    void splits_data();
    void splits();
    void encodings_data();
    void encodings();
    void refuses_data();
    void refuses();
    void refusesLargeFile();
    void writes();
    void guardsFormulas_data();
    void guardsFormulas();
    void savesWholeOrNothing();
    void saveFailures_data();
    void saveFailures();
};

void CsvTest::splits_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("records");
    QTest::newRow("plain, CR LF") << QByteArray("a,b\r\nc,d\r\n") << QStringLiteral("1:a|b / 2:c|d");
    QTest::newRow("comma in quotes") << QByteArray("\"a,b\",c\n") << QStringLiteral("1:a,b|c");
    QTest::newRow("doubled quotes") << QByteArray("\"say \"\"hi\"\"\",x\n")
                                    << QStringLiteral("1:say \"hi\"|x");
    QTest::newRow("line break in quotes") << QByteArray("id,text\n1,\"two\nlines\"\n2,z\n")
                                          << QStringLiteral("1:id|text / 2:1|two\nlines / 4:2|z");
    QTest::newRow("CR LF in quotes") << QByteArray("\"a\r\nb\"\r\nc\r\n") << QStringLiteral("1:a\r\nb / 3:c");
    QTest::newRow("empty fields") << QByteArray(",,\n\"\",x\n") << QStringLiteral("1:|| / 2:|x");
    QTest::newRow("blanks kept") << QByteArray(" a , b \n") << QStringLiteral("1: a | b ");
    QTest::newRow("blank lines skipped") << QByteArray("a\n\n\r\nb\n") << QStringLiteral("1:a / 4:b");
    QTest::newRow("no final line end") << QByteArray("a,b") << QStringLiteral("1:a|b");
    QTest::newRow("kana and kanji") << QByteArray("選手ID,名前\n1,山田ｱｲ\n")
                                    << QStringLiteral("1:選手ID|名前 / 2:1|山田ｱｲ");
    QTest::newRow("CR only line ends")
        << QByteArray("a,b\rc,\"d\re\"\r\rf\r") << QStringLiteral("1:a|b / 2:c|d\re / 5:f");
    QTest::newRow("DOS end-of-file mark") << QByteArray("a,b\r\nc\r\n\x1A") << QStringLiteral("1:a|b / 2:c");
    QTest::newRow("end-of-file mark after last field")
        << QByteArray("a\r\nb\x1A") << QStringLiteral("1:a / 2:b");
    QTest::newRow("formula guard dropped once")
        << QByteArray("'=1+2,'@x,''-y,'abc,'-5\n") << QStringLiteral("1:=1+2|@x|'-y|'abc|'-5");
}

void CsvTest::splits() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, records);
    const csv::Document document = csv::parse(bytes);
    QVERIFY2(document.ok(), qPrintable(document.error));
    QCOMPARE(shown(document.records), records);
}

// The same two records in the encodings spreadsheets write. The Shift_JIS bytes are taken from the
// JIS X 0208 code table: 山 8E52, 田 9363, ソ 835C (its second byte is a backslash), ア 8341,
// half-width ｱ B1, and ① 8740 from the vendor rows of CP932.
void CsvTest::encodings_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("encoding");
    const QByteArray utf8("名前,よみ\r\n山田ソ,ア\xEF\xBD\xB1①\r\n");
    QTest::newRow("UTF-8") << utf8 << int(csv::Encoding::Utf8);
    QTest::newRow("UTF-8 with mark") << QByteArray("\xEF\xBB\xBF") + utf8 << int(csv::Encoding::Utf8WithMark);
    QTest::newRow("Shift_JIS (CP932)") << QByteArray("\x96\xBC\x91\x4F,\x82\xE6\x82\xDD\r\n"
                                                     "\x8E\x52\x93\x63\x83\x5C,\x83\x41\xB1\x87\x40\r\n")
                                       << int(csv::Encoding::ShiftJis);
}

void CsvTest::encodings() {
    QFETCH(QByteArray, bytes);
    QFETCH(int, encoding);
    const csv::Document document = csv::parse(bytes);
    QVERIFY2(document.ok(), qPrintable(document.error));
    QCOMPARE(int(document.encoding), encoding);
    QCOMPARE(shown(document.records), QStringLiteral("1:名前|よみ / 2:山田ソ|アｱ①"));
}

void CsvTest::refuses_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("error");
    QTest::newRow("empty") << QByteArray() << QStringLiteral("ファイルが空です。");
    QTest::newRow("mark and line ends only")
        << QByteArray("\xEF\xBB\xBF\r\n\r\n") << QStringLiteral("ファイルが空です。");
    QTest::newRow("binary") << QByteArray("PK\x03\x04\x00\x00", 6)
                            << QStringLiteral(
                                   "CSV ファイルではありません（文字でないデータを含んでいます）。");
    QTest::newRow("neither UTF-8 nor Shift_JIS")
        << QByteArray("a,\xFF\xFF\n") << QStringLiteral("文字コードが UTF-8 でも Shift_JIS でもありません。");
    QTest::newRow("unterminated quote")
        << QByteArray("x,y\n1,\"abc\nmore\n")
        << QStringLiteral("2 行目 2 列目で始まる項目の引用符 (\") が閉じられていません。");
    QTest::newRow("too many records") << QByteArray("a\n").repeated(csv::MaxRecords + 2)
                                      << QStringLiteral("行が多すぎます（100000 行まで）。");
    QTest::newRow("too many fields") << QByteArray("a\n") + QByteArray(",").repeated(1000) + "\n"
                                     << QStringLiteral("2 行目: 項目が多すぎます（1000 項目まで）。");
    QTest::newRow("text after closing quote")
        << QByteArray("x\n\"ab\"c\n")
        << QStringLiteral("2 行目 1 列目: 引用符 (\") の使い方が正しくありません。");
    QTest::newRow("quote in the third field")
        << QByteArray("a,b,c\n1,2,\"x\"y\n")
        << QStringLiteral("2 行目 3 列目: 引用符 (\") の使い方が正しくありません。");
}

void CsvTest::refuses() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, error);
    const csv::Document document = csv::parse(bytes);
    QCOMPARE(document.error, error);
    QVERIFY(document.records.isEmpty());
}

void CsvTest::refusesLargeFile() {
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("big.csv")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    QVERIFY(file.resize(100LL * 1024 * 1024)); // 100 MB, sparse: never read
    file.close();
    QCOMPARE(csv::readFile(file.fileName()).error,
             QStringLiteral("ファイルが大きすぎます（16 MB を超えています）。"));
    QVERIFY(csv::readFile(dir.filePath(QStringLiteral("missing.csv")))
                .error.startsWith(QStringLiteral("ファイルを開けません")));
}

void CsvTest::writes() {
    csv::Writer writer;
    writer.record({QStringLiteral("選手ID"), QStringLiteral("名前")});
    writer.field(1);
    writer.field(QStringLiteral("a,b"));
    writer.endRecord();
    writer.record({QStringLiteral("2"), QStringLiteral("say \"hi\"")});
    writer.record({QStringLiteral("3"), QStringLiteral("two\nlines")});
    writer.record({QString(), QStringLiteral(" x ")});
    QCOMPARE(writer.bytes(), QByteArray("\xEF\xBB\xBF選手ID,名前\r\n"
                                        "1,\"a,b\"\r\n"
                                        "2,\"say \"\"hi\"\"\"\r\n"
                                        "3,\"two\nlines\"\r\n"
                                        ", x \r\n"));
}

// A text cell a spreadsheet would run as a formula goes out behind an apostrophe, which the reading
// takes away again; numbers, signed ones too, go out as they are.
void CsvTest::guardsFormulas_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("written");
    QTest::newRow("equals") << QStringLiteral("=HYPERLINK(\"x\")")
                            << QByteArray("\"'=HYPERLINK(\"\"x\"\")\"");
    QTest::newRow("plus") << QStringLiteral("+cmd") << QByteArray("'+cmd");
    QTest::newRow("minus") << QStringLiteral("-2+3") << QByteArray("'-2+3");
    QTest::newRow("at") << QStringLiteral("@SUM(A1)") << QByteArray("'@SUM(A1)");
    QTest::newRow("tab") << QStringLiteral("\tx") << QByteArray("'\tx");
    QTest::newRow("CR") << QStringLiteral("\rx") << QByteArray("\"'\rx\"");
    QTest::newRow("apostrophe before a sign") << QStringLiteral("'=x") << QByteArray("''=x");
    QTest::newRow("apostrophe before a letter") << QStringLiteral("'x") << QByteArray("'x");
    QTest::newRow("negative number") << QStringLiteral("-6.72") << QByteArray("-6.72");
    QTest::newRow("signed whole number") << QStringLiteral("+15") << QByteArray("+15");
    QTest::newRow("sign inside") << QStringLiteral("a=b") << QByteArray("a=b");
}

void CsvTest::guardsFormulas() {
    QFETCH(QString, text);
    QFETCH(QByteArray, written);
    csv::Writer writer;
    writer.record({text, QStringLiteral("z")});
    QCOMPARE(writer.bytes(), "\xEF\xBB\xBF" + written + ",z\r\n");
    const csv::Document document = csv::parse(writer.bytes());
    QVERIFY2(document.ok(), qPrintable(document.error));
    QCOMPARE(document.records.value(0).fields, (QStringList{text, QStringLiteral("z")}));
}

// A file in a folder that cannot be written keeps its old content (root is stopped by the
// immutable flag, which chmod does not do for it).
void CsvTest::savesWholeOrNothing() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("out.csv"));
    QCOMPARE(csv::saveWhole(path, "a,b\r\n"), QString());
    const bool root = ::geteuid() == 0;
    const auto lock = [&](bool locked) {
        if (root)
            return QProcess::execute(
                       QStringLiteral("chattr"),
                       {locked ? QStringLiteral("+i") : QStringLiteral("-i"), path, dir.path()}) == 0;
        return QFile::setPermissions(dir.path(),
                                     locked ? QFile::ReadOwner | QFile::ExeOwner
                                            : QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    };
    if (!lock(true))
        QSKIP("the folder cannot be made read-only here");
    const QString failure = csv::saveWhole(path, "c,d\r\n");
    QVERIFY(lock(false));
    QVERIFY(!failure.isEmpty());
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("a,b\r\n"));
}

// The reason a save failed is the system's, not that the save was given up.
void CsvTest::saveFailures_data() {
    QTest::addColumn<QString>("where");
    QTest::addColumn<QString>("reason");
    QTest::newRow("full disk") << QStringLiteral("full") << QStringLiteral("ディスクに空きがありません。");
    QTest::newRow("no such folder") << QStringLiteral("missing") << QStringLiteral("フォルダがありません。");
    QTest::newRow("a folder of that name")
        << QStringLiteral("folder") << QStringLiteral("同じ名前のフォルダがあります。");
}

void CsvTest::saveFailures() {
    QFETCH(QString, where);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("out.csv"));
    const QByteArray bytes(64 * 1024, 'a');
    QString failure;
    if (where == QLatin1String("full")) {
        // A 16 KB file system, which only root may mount.
        const QString small = dir.filePath(QStringLiteral("small"));
        QVERIFY(QDir().mkdir(small));
        if (::geteuid() != 0 ||
            QProcess::execute(QStringLiteral("mount"),
                              {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                               QStringLiteral("size=16k"), QStringLiteral("tmpfs"), small}) != 0)
            QSKIP("no small file system can be mounted here");
        const auto unmount = qScopeGuard([&] { QProcess::execute(QStringLiteral("umount"), {small}); });
        failure = csv::saveWhole(small + QStringLiteral("/out.csv"), bytes);
        QCOMPARE(QDir(small).entryList(QDir::Files | QDir::Hidden), QStringList());
    } else if (where == QLatin1String("missing")) {
        failure = csv::saveWhole(dir.filePath(QStringLiteral("none/out.csv")), bytes);
    } else {
        QVERIFY(QDir().mkdir(path));
        failure = csv::saveWhole(path, bytes);
    }
    QCOMPARE(failure, reason);
    QCOMPARE(QDir(dir.path()).entryList({QStringLiteral("*.csv*")}, QDir::Files | QDir::Hidden),
             QStringList());
}

QTEST_APPLESS_MAIN(CsvTest)
#include "CsvTest.moc"
