// Record sets that hold only some columns, row counts taken without reading rows, and sets large
// enough to span many blocks of packed values, checked against the database read directly.
#include "core/Errors.h"
#include "store/Database.h"
#include "store/Recordset.h"
#include "support/DirectSql.h"
#include "support/TestSupport.h"

#include <QTest>

using namespace Qt::StringLiterals;
using testsupport::DirectSql;
using testsupport::errorNumberOf;

class PartialReadTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        m_dir = testsupport::copyOfProgramDir();
        m_db = std::make_unique<Database>(m_dir.database());
    }
    void cleanup() {
        m_db.reset();
        m_dir = {};
    }

    // The set holds the columns asked for, in that order, with a saved query's key column first;
    // every value matches the file, and a column not held is unknown.
    void heldColumns_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("asked");
        QTest::addColumn<QStringList>("held");
        QTest::addColumn<QString>("notHeld");
        QTest::newRow("view, key asked second") << u"Q_競輪場"_s << QStringList{u"競輪場名"_s, u"競輪場ID"_s}
                                                << QStringList{u"競輪場ID"_s, u"競輪場名"_s} << u"地区名"_s;
        QTest::newRow("view, key not asked") << u"Q_選手"_s << QStringList{u"名前"_s, u"期"_s}
                                             << QStringList{u"選手ID"_s, u"名前"_s, u"期"_s} << u"所属名"_s;
        QTest::newRow("table, one column")
            << u"T_競輪場"_s << QStringList{u"競輪場名"_s} << QStringList{u"競輪場名"_s} << u"競輪場ID"_s;
        QTest::newRow("names in other case, asked twice")
            << u"Q_競輪場"_s << QStringList{u"地区名"_s, u"競輪場id"_s, u"地区名"_s}
            << QStringList{u"競輪場ID"_s, u"地区名"_s} << u"地区ID"_s;
    }
    void heldColumns() {
        QFETCH(QString, name);
        QFETCH(QStringList, asked);
        QFETCH(QStringList, held);
        QFETCH(QString, notHeld);
        auto set = m_db->openColumns(name, asked);
        QCOMPARE(set->fieldNames(), held);
        const QList<QVariantList> rows =
            DirectSql(m_dir.database())
                .rows(u"SELECT "_s + held.join(u", "_s) + u" FROM "_s + name +
                      (name.startsWith(u'T') ? u" ORDER BY rowid"_s : QString()));
        QVERIFY(rows.size() > 20);
        QCOMPARE(set->recordCount(), rows.size());
        for (const QVariantList& row : rows) {
            for (int c = 0; c < held.size(); ++c)
                QCOMPARE(set->field(held.at(c)).toString(), row.at(c).toString());
            set->moveNext();
        }
        QVERIFY(set->eof());
        set->moveFirst();
        QCOMPARE(errorNumberOf([&] { set->field(notHeld); }), ErrorNumber::UnknownField);
        QCOMPARE(errorNumberOf([&] { m_db->openColumns(name, {u"無い列"_s}); }), ErrorNumber::UnknownField);
    }

    // Writes through a set of a few columns store those columns and leave the others as they were;
    // writes elsewhere are seen, and a row deleted elsewhere reads as deleted.
    void writesThroughHeldColumns() {
        const DirectSql sql(m_dir.database());
        const QList<int> ids = sql.ints(u"SELECT 選手ID FROM T_選手 ORDER BY 選手ID LIMIT 2 OFFSET 10"_s);
        const QString first = QString::number(ids.at(0));
        auto names = m_db->openColumns(u"Q_選手"_s, {u"名前"_s});
        QVERIFY(names->findFirst(u"選手ID = "_s + first));
        const QString others = u"SELECT 期, 所属ID, よみがな FROM T_選手 WHERE 選手ID = "_s + first;
        const QVariantList before = sql.rows(others).value(0);
        names->edit();
        names->setField(u"名前"_s, u"書き換え"_s);
        names->update();
        QCOMPARE(sql.rows(u"SELECT 名前 FROM T_選手 WHERE 選手ID = "_s + first).value(0).value(0).toString(),
                 u"書き換え"_s);
        QCOMPARE(sql.rows(others).value(0), before);

        auto table = m_db->openRecordset(u"T_選手"_s, {{u"選手ID"_s, ids.at(0)}});
        table->edit();
        table->setField(u"名前"_s, u"別の名"_s);
        table->update();
        QCOMPARE(names->field(u"名前"_s).toString(), u"別の名"_s);
        table->deleteCurrent();
        QCOMPARE(errorNumberOf([&] { names->field(u"名前"_s); }), ErrorNumber::RecordDeleted);
        QVERIFY(!names->findFirst(u"選手ID = "_s + first));
        QVERIFY(names->findFirst(u"選手ID = %1"_s.arg(ids.at(1))));
        QCOMPARE(names->field(u"名前"_s).toString(),
                 sql.rows(u"SELECT 名前 FROM T_選手 WHERE 選手ID = %1"_s.arg(ids.at(1)))
                     .value(0)
                     .value(0)
                     .toString());
    }

    // Rows deleted elsewhere at different times stay deleted through every later reading of the
    // whole set, and the rows around them keep their own values.
    void rowsDeletedElsewhereOverSeveralWrites() {
        auto view = m_db->openRecordset(u"Q_選手"_s);
        const int count = view->recordCount();
        // The 21st, 22nd and 501st racers, each with the racer that follows it.
        const QList<int> ids =
            DirectSql(m_dir.database()).ints(u"SELECT 選手ID FROM T_選手 ORDER BY 選手ID LIMIT 502"_s);
        for (const int position : {20, 21, 500}) {
            const int id = ids.at(position);
            auto table = m_db->openRecordset(u"T_選手"_s, {{u"選手ID"_s, id}});
            table->deleteCurrent();
            QVERIFY(!view->findFirst(u"選手ID = %1"_s.arg(id)));
            QVERIFY(view->findFirst(u"選手ID = %1"_s.arg(ids.at(position + 1))));
            QCOMPARE(view->field(u"選手ID"_s).toInt(), ids.at(position + 1));
        }
        QCOMPARE(view->recordCount(), count);
        const QList<QVariantList> rows =
            DirectSql(m_dir.database()).rows(u"SELECT 選手ID, 名前, よみがな FROM Q_選手"_s);
        QCOMPARE(rows.size(), count - 3);
        view->moveFirst();
        int deleted = 0;
        for (const QVariantList& row : rows) {
            while (errorNumberOf([&] { view->field(u"名前"_s); }) == ErrorNumber::RecordDeleted) {
                ++deleted;
                view->moveNext();
            }
            QCOMPARE(view->field(u"選手ID"_s).toInt(), row.at(0).toInt());
            QCOMPARE(view->field(u"名前"_s).toString(), row.at(1).toString());
            QCOMPARE(view->field(u"よみがな"_s).toString(), row.at(2).toString());
            view->moveNext();
        }
        QCOMPARE(deleted, 3);
    }

    // The number of rows, counted by the file, where the conditions hold.
    void countsRows_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("field");
        QTest::addColumn<qint64>("value");
        QTest::addColumn<QString>("where");
        QTest::newRow("whole table") << u"T_選手"_s << QString() << qint64(0) << QString();
        QTest::newRow("whole view") << u"Q_登番"_s << QString() << qint64(0) << QString();
        QTest::newRow("one prefecture") << u"Q_選手"_s << u"所属ID"_s << qint64(13) << u"所属ID = 13"_s;
        QTest::newRow("one term") << u"T_選手"_s << u"期"_s << qint64(70) << u"期 = 70"_s;
        QTest::newRow("one racer number")
            << u"Q_選手"_s << u"選手ID"_s << qint64(32767) << u"選手ID = 32767"_s;
        QTest::newRow("empty table") << u"T_選手抽出"_s << QString() << qint64(0) << QString();
    }
    void countsRows() {
        QFETCH(QString, name);
        QFETCH(QString, field);
        QFETCH(qint64, value);
        QFETCH(QString, where);
        QList<FieldEquals> conditions;
        if (!field.isEmpty())
            conditions.append({field, value});
        const int expected = DirectSql(m_dir.database())
                                 .count(u"SELECT COUNT(*) FROM "_s + name +
                                        (where.isEmpty() ? QString() : u" WHERE "_s + where));
        QCOMPARE(m_db->countRows(name, conditions), expected);
        QCOMPARE(m_db->openRecordset(name, conditions)->recordCount(), expected);
    }

    void countOfUnknownNames() {
        QCOMPARE(errorNumberOf([&] { m_db->countRows(u"T_無い"_s); }), ErrorNumber::UnknownObject);
        QCOMPARE(errorNumberOf([&] {
                     m_db->countRows(u"T_選手"_s, {{u"無い列"_s, 1}});
                 }),
                 ErrorNumber::UnknownField);
    }

    // A set opened to add rows reads none, and the rows it adds join it.
    void setOpenedToAdd() {
        const DirectSql sql(m_dir.database());
        auto history = m_db->openRecordset(u"T_レース履歴"_s, {}, 0);
        QVERIFY(history->bof() && history->eof());
        for (const int race : {3, 4}) {
            history->addNew();
            history->setField(u"調査年"_s, 2024);
            history->setField(u"調査月"_s, 5);
            history->setField(u"調査日"_s, 6);
            history->setField(u"競輪場ID"_s, 1);
            history->setField(u"レースNO"_s, race);
            history->update();
        }
        QCOMPARE(history->recordCount(), 2);
        history->moveLast();
        QCOMPARE(history->field(u"レースNO"_s).toInt(), 4);
        QCOMPARE(sql.ints(u"SELECT レースNO FROM T_レース履歴 ORDER BY 履歴ID"_s), (QList<int>{3, 4}));
        QCOMPARE(m_db->countRows(u"T_レース履歴"_s), 2);
    }

    // Rows read once come in the order a record set yields them, with the columns asked for in that
    // order (no key column added); an unknown column hands no row.
    void readsColumnsOnce_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("columns");
        QTest::addColumn<int>("count");
        QTest::addColumn<QStringList>("first");
        QTest::addColumn<QStringList>("second");
        QTest::addColumn<QStringList>("last");
        QTest::newRow("view") << u"Q_競輪場"_s << QStringList{u"競輪場ID"_s, u"競輪場名"_s} << 43
                              << QStringList{u"1"_s, u"函館"_s} << QStringList{u"2"_s, u"青森"_s}
                              << QStringList{u"43"_s, u"熊本"_s};
        QTest::newRow("table, key last, other case")
            << u"T_所属"_s << QStringList{u"所属名"_s, u"所属id"_s} << 47 << QStringList{u"北海道"_s, u"1"_s}
            << QStringList{u"青森"_s, u"2"_s} << QStringList{u"沖縄"_s, u"47"_s};
    }
    void readsColumnsOnce() {
        QFETCH(QString, name);
        QFETCH(QStringList, columns);
        QFETCH(int, count);
        QFETCH(QStringList, first);
        QFETCH(QStringList, second);
        QFETCH(QStringList, last);
        QList<QStringList> rows;
        m_db->readColumns(name, columns, [&rows](const QVariantList& values) {
            QStringList texts;
            for (const QVariant& value : values)
                texts << value.toString();
            rows << texts;
        });
        QCOMPARE(rows.size(), count);
        QCOMPARE(rows.at(0), first);
        QCOMPARE(rows.at(1), second);
        QCOMPARE(rows.last(), last);
        // The same rows, in the same order, as the record set of those columns.
        auto set = m_db->openColumns(name, columns);
        for (const QStringList& row : std::as_const(rows)) {
            QVERIFY(!set->eof());
            QCOMPARE(set->field(columns.at(0)).toString(), row.at(0));
            set->moveNext();
        }
        QVERIFY(set->eof());
    }

    void readColumnsOfUnknownNames() {
        int handed = 0;
        const auto count = [&handed](const QVariantList&) { ++handed; };
        QCOMPARE(errorNumberOf([&] {
                     m_db->readColumns(u"Q_競輪場"_s, {u"競輪場名"_s, u"無い列"_s}, count);
                 }),
                 ErrorNumber::UnknownField);
        QCOMPARE(errorNumberOf([&] { m_db->readColumns(u"T_無い"_s, {u"名前"_s}, count); }),
                 ErrorNumber::UnknownObject);
        QCOMPARE(handed, 0);
    }

private:
    testsupport::ProgramDir m_dir;
    std::unique_ptr<Database> m_db;
};

QTEST_GUILESS_MAIN(PartialReadTest)
#include "PartialReadTest.moc"
