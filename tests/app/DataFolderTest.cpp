#include "app/DataFolder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

// A layout on disk: each entry "relative/path=content" is a file; "relative/path/" a folder.
void lay(const QString& root, const QStringList& entries) {
    for (const QString& entry : entries) {
        if (entry.endsWith(QLatin1Char('/'))) {
            QVERIFY(QDir().mkpath(root + entry));
            continue;
        }
        const QString path = root + entry.section(QLatin1Char('='), 0, 0);
        QVERIFY(QDir().mkpath(path.section(QLatin1Char('/'), 0, -2)));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(entry.section(QLatin1Char('='), 1).toUtf8());
    }
}

QByteArray contentOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(none)");
}

} // namespace

class DataFolderTest : public QObject {
    Q_OBJECT

private slots:
    void choice_data();
    void choice();
    void sharedFolderOfAnInstalledProgram();
};

// Folders under one temporary root: bin/ is the program folder, share/korvane/ what was installed
// beside it, home/.local/share/korvane/ the user's data folder.
void DataFolderTest::choice_data() {
    QTest::addColumn<QStringList>("layout");
    QTest::addColumn<QString>("userFolder");
    QTest::addColumn<QString>("data");     // the chosen data folder, under the root
    QTest::addColumn<QString>("help");     // the chosen help folder, under the root
    QTest::addColumn<QString>("database"); // what Korvane.mdb in the data folder holds afterwards
    QTest::addColumn<QString>("problem");  // the message, {root} standing for the root

    const QString user = QStringLiteral("home/.local/share/korvane");
    QTest::newRow("portable: the program folder's own database")
        << QStringList{QStringLiteral("bin/Korvane.mdb=build tree"), QStringLiteral("bin/Korvane.hlp=help"),
                       QStringLiteral("share/korvane/Korvane.mdb=seed"),
                       QStringLiteral("share/korvane/Korvane.hlp=help")}
        << user << QStringLiteral("bin/") << QStringLiteral("bin/") << QStringLiteral("build tree")
        << QString();
    QTest::newRow("installed, first start: the seed is copied")
        << QStringList{QStringLiteral("bin/"), QStringLiteral("share/korvane/Korvane.mdb=seed"),
                       QStringLiteral("share/korvane/Korvane.hlp=help")}
        << user << user + QLatin1Char('/') << QStringLiteral("share/korvane/") << QStringLiteral("seed")
        << QString();
    QTest::newRow("installed, later start: the user's database stays")
        << QStringList{QStringLiteral("bin/"), QStringLiteral("share/korvane/Korvane.mdb=seed"),
                       QStringLiteral("share/korvane/Korvane.hlp=help"),
                       user + QStringLiteral("/Korvane.mdb=mine")}
        << user << user + QLatin1Char('/') << QStringLiteral("share/korvane/") << QStringLiteral("mine")
        << QString();
    // A file where a folder of the path should be stops even root.
    QTest::newRow("data folder cannot be made")
        << QStringList{QStringLiteral("bin/"), QStringLiteral("share/korvane/Korvane.mdb=seed"),
                       QStringLiteral("home/.local=a file")}
        << user << user + QLatin1Char('/') << QStringLiteral("bin/") << QStringLiteral("(none)")
        << QStringLiteral("データフォルダ '{root}home/.local/share/korvane/' を作成できません。");
}

void DataFolderTest::choice() {
    QFETCH(QStringList, layout);
    QFETCH(QString, userFolder);
    QFETCH(QString, data);
    QFETCH(QString, help);
    QFETCH(QString, database);
    QFETCH(QString, problem);
    QTemporaryDir dir;
    const QString root = dir.path() + QLatin1Char('/');
    lay(root, layout);

    const DataFolders folders = chooseDataFolders(root + QStringLiteral("bin"),
                                                  root + QStringLiteral("share/korvane"), root + userFolder);
    QCOMPARE(folders.problem, QString(problem).replace(QStringLiteral("{root}"), root));
    QCOMPARE(folders.dataFolder, root + data);
    QCOMPARE(folders.helpFolder, root + help);
    QCOMPARE(contentOf(folders.dataFolder + QStringLiteral("Korvane.mdb")), database.toUtf8());
    // The shipped seed is only ever read.
    if (QFile::exists(root + QStringLiteral("share/korvane/Korvane.mdb")))
        QCOMPARE(contentOf(root + QStringLiteral("share/korvane/Korvane.mdb")), QByteArray("seed"));
}

void DataFolderTest::sharedFolderOfAnInstalledProgram() {
    QCOMPARE(installedSharedFolder(QStringLiteral("/usr/bin")), QStringLiteral("/usr/share/korvane/"));
    QCOMPARE(installedSharedFolder(QStringLiteral("/opt/k/bin/")), QStringLiteral("/opt/k/share/korvane/"));
}

QTEST_MAIN(DataFolderTest)
#include "DataFolderTest.moc"
