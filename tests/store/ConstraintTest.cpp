#include "core/Errors.h"
#include "store/Database.h"
#include "store/Recordset.h"
#include "support/TestSupport.h"

#include <QFile>
#include <QTest>
#include <csignal>
#include <sys/resource.h>

namespace {

KorvaneError errorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const KorvaneError& error) {
        return error;
    }
    return KorvaneError(0, {}, {});
}

} // namespace

// The store refuses at the write what the windows could not read back.
class ConstraintTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        m_dir = testsupport::copyOfProgramDir();
        m_db = std::make_unique<Database>(m_dir.database());
        auto history = m_db->openRecordset(QStringLiteral("T_レース履歴"));
        history->addNew();
        history->setField(QStringLiteral("調査年"), 1999);
        history->setField(QStringLiteral("レースNO"), 11);
        history->update();
    }
    void cleanup() {
        m_db.reset();
        m_dir = {};
    }

    void valuesTheReadersCannotRead_data() {
        QTest::addColumn<QString>("set");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<int>("error"); // 0: stored
        QTest::addColumn<bool>("namesField");
        QTest::newRow("birth year with a letter")
            << QStringLiteral("T_選手") << QStringLiteral("生年") << QVariant(QStringLiteral("1965x"))
            << ErrorNumber::ValidationRule << true;
        QTest::newRow("birth year as numeric text") << QStringLiteral("T_選手") << QStringLiteral("生年")
                                                    << QVariant(QStringLiteral("1965")) << 0 << true;
        QTest::newRow("birth year fraction") << QStringLiteral("T_選手") << QStringLiteral("生年")
                                             << QVariant(1965.5) << ErrorNumber::ValidationRule << true;
        QTest::newRow("whole real") << QStringLiteral("T_選手") << QStringLiteral("生月") << QVariant(7.0)
                                    << 0 << true;
        QTest::newRow("term 32767") << QStringLiteral("Q_選手") << QStringLiteral("期") << QVariant(32767)
                                    << 0 << true;
        QTest::newRow("term 32768") << QStringLiteral("Q_選手") << QStringLiteral("期") << QVariant(32768)
                                    << ErrorNumber::ValidationRule << true;
        QTest::newRow("term -32769") << QStringLiteral("Q_選手") << QStringLiteral("期") << QVariant(-32769)
                                     << ErrorNumber::ValidationRule << true;
        QTest::newRow("term unknown")
            << QStringLiteral("Q_選手") << QStringLiteral("期") << QVariant() << 0 << true;
        QTest::newRow("racer ID 40000") << QStringLiteral("T_選手") << QStringLiteral("選手ID")
                                        << QVariant(40000) << ErrorNumber::ValidationRule << true;
        QTest::newRow("racer ID as text")
            << QStringLiteral("T_選手") << QStringLiteral("選手ID") << QVariant(QStringLiteral("abc"))
            << ErrorNumber::ValidationRule << false;
        QTest::newRow("race number text")
            << QStringLiteral("T_レース履歴") << QStringLiteral("レースNO") << QVariant(QStringLiteral("11R"))
            << ErrorNumber::ValidationRule << true;
        QTest::newRow("slot racer 40000") << QStringLiteral("T_レース履歴") << QStringLiteral("選手1")
                                          << QVariant(40000) << ErrorNumber::ValidationRule << true;
        QTest::newRow("finishing order fraction")
            << QStringLiteral("T_レース履歴") << QStringLiteral("結果1") << QVariant(2.5) << 0 << true;
        QTest::newRow("finishing order text")
            << QStringLiteral("T_レース履歴") << QStringLiteral("結果1") << QVariant(QStringLiteral("落車"))
            << ErrorNumber::ValidationRule << true;
        QTest::newRow("velodrome region 70000") << QStringLiteral("Q_競輪場") << QStringLiteral("地区ID")
                                                << QVariant(70000) << ErrorNumber::ValidationRule << true;
    }
    void valuesTheReadersCannotRead() {
        QFETCH(QString, set);
        QFETCH(QString, field);
        QFETCH(QVariant, value);
        QFETCH(int, error);
        QFETCH(bool, namesField);
        auto rows = m_db->openRecordset(set);
        const QVariant key = rows->field(rows->fieldNames().first());
        const QVariant before = rows->field(field);
        rows->edit();
        rows->setField(field, value);
        const KorvaneError raised = errorOf([&] { rows->update(); });
        QCOMPARE(raised.number(), error);
        if (error != 0) {
            rows->cancelUpdate();
            // The message names the field and the file.
            QVERIFY2(!namesField || raised.description().contains(field), qPrintable(raised.description()));
            QVERIFY2(raised.description().contains(m_dir.database()), qPrintable(raised.description()));
            QCOMPARE(rows->field(field), before);
        }
        // What is stored reads back as a number or nothing.
        Database fresh(m_dir.database());
        auto check = fresh.openRecordset(set);
        for (; !check->eof(); check->moveNext()) {
            if (check->field(check->fieldNames().first()) == key)
                break;
        }
        QVERIFY(!check->eof());
        const QVariant stored = check->field(field);
        QVERIFY(stored.isNull() || stored.typeId() == QMetaType::LongLong ||
                stored.typeId() == QMetaType::Double);
    }

    void newRowsAreCheckedToo() {
        auto history = m_db->openRecordset(QStringLiteral("T_レース履歴"));
        history->addNew();
        history->setField(QStringLiteral("調査年"), QStringLiteral("平成11"));
        QCOMPARE(errorOf([&] { history->update(); }).number(), ErrorNumber::ValidationRule);
        QCOMPARE(history->recordCount(), 1); // the race of init() only
    }

    // A write that the disk cannot take: a Japanese message naming the file, the file as it was.
    void fullDiskNamesTheFile() {
        const qint64 size = QFile(m_dir.database()).size();
        auto roster = m_db->openRecordset(QStringLiteral("T_個別名簿"));
        struct rlimit old {};
        QCOMPARE(::getrlimit(RLIMIT_FSIZE, &old), 0);
        const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit tight = old;
        tight.rlim_cur = static_cast<rlim_t>(size);
        QCOMPARE(::setrlimit(RLIMIT_FSIZE, &tight), 0);
        const KorvaneError raised = errorOf([&] {
            for (int i = 0; i < 200; ++i) {
                roster->addNew();
                roster->setField(QStringLiteral("名前"), QString(2000, QChar(u'長')));
                roster->update();
            }
        });
        ::setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, previousHandler);
        QVERIFY(raised.number() == ErrorNumber::DiskFull || raised.number() == ErrorNumber::StoreFailure);
        QVERIFY2(raised.description().contains(m_dir.database()), qPrintable(raised.description()));
        QVERIFY2(raised.description().startsWith(QStringLiteral("ディスク")) ||
                     raised.description().startsWith(QStringLiteral("データベース")),
                 qPrintable(raised.description()));
        m_db.reset();
        Database reopened(m_dir.database());
        QCOMPARE(reopened.openRecordset(QStringLiteral("T_地区"))->recordCount(), 8);
    }

private:
    testsupport::ProgramDir m_dir;
    std::unique_ptr<Database> m_db;
};

QTEST_GUILESS_MAIN(ConstraintTest)
#include "ConstraintTest.moc"
