#include "core/Errors.h"
#include "store/Database.h"
#include "store/Recordset.h"
#include "store/SeedDatabase.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>
#include <functional>

namespace {

QByteArray contents(const QString& path) {
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

// Every row of every table and view, as text, in each one's order.
QStringList dump(const QString& path) {
    QStringList lines;
    Database db(path);
    for (const char16_t* name :
         {u"T_所属", u"T_血液型", u"T_地区", u"T_競輪場", u"T_選手", u"T_選手抽出", u"T_個別名簿",
          u"T_レース履歴", u"Q_選手", u"Q_選手抽出", u"Q_期", u"Q_登番", u"Q_競輪場", u"Q_レース履歴"}) {
        auto set = db.openRecordset(QString::fromUtf16(name));
        lines.append(QString::fromUtf16(name));
        for (; !set->eof(); set->moveNext()) {
            QStringList values;
            for (const QString& field : set->fieldNames())
                values.append(set->field(field).isNull() ? QStringLiteral("<null>")
                                                         : set->field(field).toString());
            lines.append(values.join(QLatin1Char('|')));
        }
    }
    return lines;
}

// Leaves free pages behind: races added and most of them deleted again, racers removed.
void churn(const QString& path) {
    Database db(path);
    auto history = db.openRecordset(QStringLiteral("T_レース履歴"));
    for (int i = 0; i < 200; ++i) {
        history->addNew();
        history->setField(QStringLiteral("調査年"), 1990 + i % 10);
        history->setField(QStringLiteral("競輪場ID"), 1 + i % 43);
        history->setField(QStringLiteral("選手1"), 10000 + i);
        history->update();
    }
    history->moveFirst();
    for (int i = 0; i < 195; ++i) {
        history->deleteCurrent();
        history->moveNext();
    }
    auto racers = db.openRecordset(QStringLiteral("T_選手"));
    for (int i = 0; i < 300; ++i) {
        racers->deleteCurrent();
        racers->moveNext();
    }
}

} // namespace

class CompactionTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        m_dir = testsupport::copyOfProgramDir();
        m_path = m_dir.database();
        m_compact = m_dir.path + QStringLiteral("korvnew.mdb");
    }
    void cleanup() { m_dir = {}; }

    void keepsContentAndShrinks() {
        churn(m_path);
        const QStringList before = dump(m_path);
        const qint64 sizeBefore = QFileInfo(m_path).size();
        compactDatabase(m_path, m_compact);
        QVERIFY(!QFile::exists(m_compact));
        QCOMPARE(dump(m_path), before);
        QVERIFY(QFileInfo(m_path).size() < sizeBefore);
    }

    void historyIdsStayUnusedAfterCompaction() {
        {
            Database db(m_path);
            auto history = db.openRecordset(QStringLiteral("T_レース履歴"));
            for (int i = 0; i < 3; ++i) {
                history->addNew();
                history->update();
            }
            history->moveLast();
            history->deleteCurrent();
        }
        compactDatabase(m_path, m_compact);
        Database db(m_path);
        auto history = db.openRecordset(QStringLiteral("T_レース履歴"));
        history->addNew();
        history->update();
        history->moveLast();
        QCOMPARE(history->field(QStringLiteral("履歴ID")).toLongLong(), 4);
    }

    void staleCopyIsReplaced() {
        QFile stale(m_compact);
        QVERIFY(stale.open(QIODevice::WriteOnly));
        stale.write("left over from a crash");
        stale.close();
        const QStringList before = dump(m_path);
        compactDatabase(m_path, m_compact);
        QVERIFY(!QFile::exists(m_compact));
        QCOMPARE(dump(m_path), before);
    }

    void failureLeavesOriginal_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("targetIsDirectory");
        QTest::newRow("directory missing") << QStringLiteral("missing/korvnew.mdb") << false;
        QTest::newRow("target is a directory") << QStringLiteral("korvnew.mdb") << true;
        QTest::newRow("target is the database") << QStringLiteral("Korvane.mdb") << false;
    }
    void failureLeavesOriginal() {
        QFETCH(QString, target);
        QFETCH(bool, targetIsDirectory);
        if (targetIsDirectory)
            QVERIFY(QDir(m_dir.path).mkdir(target));
        const QByteArray before = contents(m_path);
        const QStringList entries =
            QDir(m_dir.path).entryList(QDir::NoDotAndDotDot | QDir::AllEntries, QDir::Name);
        QCOMPARE(testsupport::errorNumberOf([&] { compactDatabase(m_path, m_dir.path + target); }),
                 ErrorNumber::StoreFailure);
        QCOMPARE(contents(m_path), before);
        QCOMPARE(QDir(m_dir.path).entryList(QDir::NoDotAndDotDot | QDir::AllEntries, QDir::Name), entries);
        QCOMPARE(dump(m_path).size(), dump(m_dir.database()).size());
    }

    void lockedDatabaseIsLeftAlone() {
        const QByteArray before = contents(m_path);
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("locker"));
            db.setDatabaseName(m_path);
            QVERIFY(db.open());
            QSqlQuery query(db);
            QVERIFY(query.exec(QStringLiteral("BEGIN EXCLUSIVE")));
            QVERIFY(query.exec(QStringLiteral("DELETE FROM T_個別名簿")));
            QCOMPARE(testsupport::errorNumberOf([&] { compactDatabase(m_path, m_compact); }),
                     ErrorNumber::ExclusiveUse);
            QVERIFY(!QFile::exists(m_compact));
            query.exec(QStringLiteral("ROLLBACK"));
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("locker"));
        QCOMPARE(contents(m_path), before);
    }

    void missingDatabase() {
        QVERIFY(QFile::remove(m_path));
        QCOMPARE(testsupport::errorNumberOf([&] { compactDatabase(m_path, m_compact); }),
                 ErrorNumber::FileNotFound);
        QVERIFY(!QFile::exists(m_path));
        QVERIFY(!QFile::exists(m_compact));
    }

private:
    testsupport::ProgramDir m_dir;
    QString m_path;
    QString m_compact;
};

QTEST_GUILESS_MAIN(CompactionTest)
#include "CompactionTest.moc"
