#include "store/Recordset.h"
#include "core/Errors.h"
#include "store/Database.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QTest>
#include <functional>

namespace {

// The values of one field over the whole set, from the first row to the end.
QList<qlonglong> column(Recordset& set, const QString& field) {
    QList<qlonglong> values;
    if (set.recordCount() == 0)
        return values;
    set.moveFirst();
    while (!set.eof()) {
        values.append(set.field(field).toLongLong());
        set.moveNext();
    }
    return values;
}

} // namespace

class RecordsetTest : public QObject {
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

    void movesAtBothEnds_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("keyField");
        QTest::newRow("table") << QStringLiteral("T_競輪場") << QStringLiteral("競輪場ID");
        QTest::newRow("view") << QStringLiteral("Q_競輪場") << QStringLiteral("競輪場ID");
        QTest::newRow("racer view") << QStringLiteral("Q_選手") << QStringLiteral("選手ID");
    }
    void movesAtBothEnds() {
        QFETCH(QString, name);
        QFETCH(QString, keyField);
        auto set = m_db->openRecordset(name);
        QVERIFY(set->recordCount() > 2);
        QVERIFY(!set->bof());
        QVERIFY(!set->eof());
        const qlonglong first = set->field(keyField).toLongLong();

        set->movePrevious();
        QVERIFY(set->bof());
        QVERIFY(!set->eof());
        QCOMPARE(testsupport::errorNumberOf([&] { set->field(keyField); }), ErrorNumber::NoCurrentRecord);
        QCOMPARE(testsupport::errorNumberOf([&] { set->movePrevious(); }), ErrorNumber::NoCurrentRecord);
        set->moveNext();
        QCOMPARE(set->field(keyField).toLongLong(), first);

        set->moveLast();
        const qlonglong last = set->field(keyField).toLongLong();
        QVERIFY(last > first);
        set->moveNext();
        QVERIFY(set->eof());
        QVERIFY(!set->bof());
        QCOMPARE(testsupport::errorNumberOf([&] { set->field(keyField); }), ErrorNumber::NoCurrentRecord);
        QCOMPARE(testsupport::errorNumberOf([&] { set->moveNext(); }), ErrorNumber::NoCurrentRecord);
        set->movePrevious();
        QCOMPARE(set->field(keyField).toLongLong(), last);
    }

    void emptySet_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("criterion");
        QTest::newRow("extraction table") << QStringLiteral("T_選手抽出") << QStringLiteral("選手ID = 10001");
        QTest::newRow("extraction view") << QStringLiteral("Q_選手抽出") << QStringLiteral("期=90");
        QTest::newRow("history view") << QStringLiteral("Q_レース履歴") << QStringLiteral("履歴ID = 1");
    }
    void emptySet() {
        QFETCH(QString, name);
        QFETCH(QString, criterion);
        auto set = m_db->openRecordset(name);
        QCOMPARE(set->recordCount(), 0);
        QVERIFY(set->bof());
        QVERIFY(set->eof());
        QCOMPARE(testsupport::errorNumberOf([&] { set->moveFirst(); }), ErrorNumber::NoCurrentRecord);
        QCOMPARE(testsupport::errorNumberOf([&] { set->moveLast(); }), ErrorNumber::NoCurrentRecord);
        QCOMPARE(testsupport::errorNumberOf([&] { set->moveNext(); }), ErrorNumber::NoCurrentRecord);
        QCOMPARE(testsupport::errorNumberOf([&] { set->movePrevious(); }), ErrorNumber::NoCurrentRecord);
        QCOMPARE(testsupport::errorNumberOf([&] { set->edit(); }), ErrorNumber::NoCurrentRecord);
        QCOMPARE(testsupport::errorNumberOf([&] { set->deleteCurrent(); }), ErrorNumber::NoCurrentRecord);
        QVERIFY(!set->findFirst(criterion));
        QVERIFY(set->noMatch());
        QVERIFY(set->bof());
        QVERIFY(set->eof());
    }

    void findFirstForms_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("criterion");
        QTest::addColumn<int>("value");
        QTest::newRow("term") << QStringLiteral("Q_選手") << QStringLiteral("期") << QStringLiteral("期=")
                              << 90;
        QTest::newRow("registration number")
            << QStringLiteral("Q_選手") << QStringLiteral("登番") << QStringLiteral("登番=") << 0;
        QTest::newRow("kana") << QStringLiteral("Q_選手") << QStringLiteral("よみがなID")
                              << QStringLiteral("よみがなID=") << 25;
        QTest::newRow("prefecture") << QStringLiteral("Q_選手") << QStringLiteral("所属ID")
                                    << QStringLiteral("所属ID=") << 47;
        QTest::newRow("racer with blanks")
            << QStringLiteral("T_選手") << QStringLiteral("選手ID") << QStringLiteral("選手ID = ") << 0;
        QTest::newRow("velodrome") << QStringLiteral("Q_競輪場") << QStringLiteral("競輪場ID")
                                   << QStringLiteral("競輪場ID = ") << 40;
    }
    void findFirstForms() {
        QFETCH(QString, name);
        QFETCH(QString, field);
        QFETCH(QString, criterion);
        QFETCH(int, value);
        auto set = m_db->openRecordset(name);
        if (value == 0) { // a value from the middle of the set
            set->moveLast();
            for (int i = 0; i < set->recordCount() / 2; ++i)
                set->movePrevious();
            value = set->field(field).toInt();
            set->moveFirst();
        }
        // The first match in set order, found by walking.
        int expected = -1;
        int position = 0;
        for (set->moveFirst(); !set->eof(); set->moveNext(), ++position) {
            if (!set->field(field).isNull() && set->field(field).toInt() == value) {
                expected = position;
                break;
            }
        }
        QVERIFY(expected >= 0);
        set->moveLast();
        QVERIFY(set->findFirst(criterion + QString::number(value)));
        QVERIFY(!set->noMatch());
        QCOMPARE(set->field(field).toInt(), value);
        int before = 0;
        while (!set->bof()) {
            set->movePrevious();
            ++before;
        }
        QCOMPARE(before - 1, expected);
    }

    void findFirstWithoutMatchKeepsPosition() {
        auto set = m_db->openRecordset(QStringLiteral("Q_選手"));
        set->moveNext();
        const QVariant id = set->field(QStringLiteral("選手ID"));
        QVERIFY(!set->findFirst(QStringLiteral("期=5")));
        QVERIFY(set->noMatch());
        QCOMPARE(set->field(QStringLiteral("選手ID")), id);
        QVERIFY(set->findFirst(QStringLiteral("所属ID=1")));
        QVERIFY(!set->noMatch());
    }

    void rejectedCriteria_data() {
        QTest::addColumn<QString>("criterion");
        QTest::newRow("or") << QStringLiteral("期=5 OR 1=1");
        QTest::newRow("text") << QStringLiteral("名前='x'");
        QTest::newRow("beyond 16 bits") << QStringLiteral("期=99999");
        QTest::newRow("below 16 bits") << QStringLiteral("期=-32769");
        QTest::newRow("unknown field") << QStringLiteral("番号=5");
        QTest::newRow("no value") << QStringLiteral("期=");
        QTest::newRow("comparison") << QStringLiteral("期>5");
        QTest::newRow("statement") << QStringLiteral("期=5; DROP TABLE T_選手");
        QTest::newRow("empty") << QString();
    }
    void rejectedCriteria() {
        QFETCH(QString, criterion);
        auto set = m_db->openRecordset(QStringLiteral("Q_選手"));
        QCOMPARE(testsupport::errorNumberOf([&] { set->findFirst(criterion); }),
                 ErrorNumber::InvalidCriterion);
        QCOMPARE(m_db->openRecordset(QStringLiteral("T_選手"))->recordCount(), set->recordCount());
    }

    void filteredSetHoldsMatchingRowsInOrder() {
        auto all = m_db->openRecordset(QStringLiteral("Q_選手"));
        QList<qlonglong> expected;
        for (all->moveFirst(); !all->eof(); all->moveNext())
            if (all->field(QStringLiteral("期")).toInt() == 100 &&
                all->field(QStringLiteral("所属ID")).toInt() == 12)
                expected.append(all->field(QStringLiteral("選手ID")).toLongLong());
        auto filtered = m_db->openRecordset(QStringLiteral("Q_選手"),
                                            {{QStringLiteral("期"), 100}, {QStringLiteral("所属ID"), 12}});
        QCOMPARE(column(*filtered, QStringLiteral("選手ID")), expected);
        QCOMPARE(testsupport::errorNumberOf([&] {
                     m_db->openRecordset(QStringLiteral("Q_選手"), {{QStringLiteral("x"), 1}});
                 }),
                 ErrorNumber::UnknownField);
    }

    void limitedSetHoldsFirstRows_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QList<FieldEquals>>("conditions");
        QTest::addColumn<QString>("keyField");
        QTest::addColumn<int>("maxRows");
        const QList<FieldEquals> none;
        QTest::newRow("table, three rows")
            << QStringLiteral("T_所属") << none << QStringLiteral("所属ID") << 3;
        QTest::newRow("table, one row")
            << QStringLiteral("T_競輪場") << none << QStringLiteral("競輪場ID") << 1;
        QTest::newRow("table, more than it has")
            << QStringLiteral("T_所属") << none << QStringLiteral("所属ID") << 1000;
        QTest::newRow("view, no rows") << QStringLiteral("Q_選手") << none << QStringLiteral("選手ID") << 0;
        QTest::newRow("filtered view, two rows")
            << QStringLiteral("Q_選手") << QList<FieldEquals>{{QStringLiteral("所属ID"), 12}}
            << QStringLiteral("選手ID") << 2;
        QTest::newRow("filtered view, every row")
            << QStringLiteral("Q_選手") << QList<FieldEquals>{{QStringLiteral("よみがなID"), 10}}
            << QStringLiteral("選手ID") << 501;
        QTest::newRow("view of terms") << QStringLiteral("Q_期") << none << QStringLiteral("期") << 4;
    }
    void limitedSetHoldsFirstRows() {
        QFETCH(QString, name);
        QFETCH(QList<FieldEquals>, conditions);
        QFETCH(QString, keyField);
        QFETCH(int, maxRows);
        auto all = m_db->openRecordset(name, conditions);
        const QList<qlonglong> every = column(*all, keyField);
        QVERIFY(!every.isEmpty());
        const QList<qlonglong> first = every.mid(0, maxRows);

        auto limited = m_db->openRecordset(name, conditions, maxRows);
        QCOMPARE(limited->recordCount(), first.size());
        QCOMPARE(column(*limited, keyField), first);
        QCOMPARE(limited->fieldNames(), all->fieldNames());
        if (first.isEmpty()) {
            QVERIFY(limited->bof() && limited->eof());
            QCOMPARE(testsupport::errorNumberOf([&] { limited->moveLast(); }), ErrorNumber::NoCurrentRecord);
            return;
        }
        limited->moveLast();
        QCOMPARE(limited->field(keyField).toLongLong(), first.last());
        limited->moveNext();
        QVERIFY(limited->eof());
        QCOMPARE(testsupport::errorNumberOf([&] { limited->moveNext(); }), ErrorNumber::NoCurrentRecord);
        // Rows beyond the limit are not in the set.
        if (every.size() > first.size())
            QVERIFY(!limited->findFirst(keyField + QStringLiteral(" = ") + QString::number(every.last())));
        QVERIFY(limited->findFirst(keyField + QStringLiteral(" = ") + QString::number(first.last())));
    }

    void limitedSetTakesWrites() {
        QCOMPARE(testsupport::errorNumberOf([&] { m_db->openRecordset(QStringLiteral("T_所属"), {}, -1); }),
                 ErrorNumber::StoreFailure);
        QCOMPARE(testsupport::errorNumberOf([&] {
                     m_db->openRecordset(QStringLiteral("Q_選手"), {{QStringLiteral("x"), 1}}, 5);
                 }),
                 ErrorNumber::UnknownField);

        // A row added through a limited set joins its end, beyond the limit.
        auto extraction = m_db->openRecordset(QStringLiteral("T_選手抽出"), {}, 0);
        auto racers = m_db->openRecordset(QStringLiteral("T_選手"), {}, 3);
        racers->moveLast();
        const QVariant third = racers->field(QStringLiteral("選手ID"));
        extraction->addNew();
        extraction->setField(QStringLiteral("選手ID"), third);
        extraction->update();
        QCOMPARE(extraction->recordCount(), 1);
        extraction->moveFirst();
        QCOMPARE(extraction->field(QStringLiteral("選手ID")), third);

        // An edit through a limited view is stored and read back; a later open sees it.
        auto view = m_db->openRecordset(QStringLiteral("Q_選手"), {{QStringLiteral("所属ID"), 12}}, 2);
        view->moveLast();
        const QVariant id = view->field(QStringLiteral("選手ID"));
        view->edit();
        view->setField(QStringLiteral("名前"), QStringLiteral("新しい名"));
        view->update();
        QCOMPARE(view->field(QStringLiteral("名前")).toString(), QStringLiteral("新しい名"));
        auto again = m_db->openRecordset(QStringLiteral("Q_選手"), {{QStringLiteral("所属ID"), 12}}, 2);
        again->moveLast();
        QCOMPARE(again->field(QStringLiteral("選手ID")), id);
        QCOMPARE(again->field(QStringLiteral("名前")).toString(), QStringLiteral("新しい名"));
        view->deleteCurrent();
        auto after = m_db->openRecordset(QStringLiteral("Q_選手"), {{QStringLiteral("所属ID"), 12}}, 2);
        after->moveLast();
        QVERIFY(after->field(QStringLiteral("選手ID")) != id);
    }

    // The same statements serve every open: a failed write leaves them fit for the next one.
    void statementsServeAgainAfterFailure() {
        auto extraction = m_db->openRecordset(QStringLiteral("T_選手抽出"));
        auto racers = m_db->openRecordset(QStringLiteral("T_選手"), {}, 2);
        const QVariant first = racers->field(QStringLiteral("選手ID"));
        racers->moveNext();
        const QVariant second = racers->field(QStringLiteral("選手ID"));
        for (int round = 0; round < 2; ++round) {
            extraction->addNew();
            extraction->setField(QStringLiteral("選手ID"), first);
            if (round == 0) {
                extraction->update();
            } else {
                QCOMPARE(testsupport::errorNumberOf([&] { extraction->update(); }),
                         ErrorNumber::DuplicateKey);
                extraction->cancelUpdate();
            }
        }
        extraction->addNew();
        extraction->setField(QStringLiteral("選手ID"), second);
        extraction->update();
        QCOMPARE(column(*m_db->openRecordset(QStringLiteral("T_選手抽出")), QStringLiteral("選手ID")),
                 (QList<qlonglong>{first.toLongLong(), second.toLongLong()}));
    }

    void unknownNames() {
        QCOMPARE(testsupport::errorNumberOf([&] { m_db->openRecordset(QStringLiteral("T_なし")); }),
                 ErrorNumber::UnknownObject);
        auto set = m_db->openRecordset(QStringLiteral("T_所属"));
        QCOMPARE(testsupport::errorNumberOf([&] { set->field(QStringLiteral("名前")); }),
                 ErrorNumber::UnknownField);
        set->edit();
        QCOMPARE(testsupport::errorNumberOf([&] { set->setField(QStringLiteral("名前"), 1); }),
                 ErrorNumber::UnknownField);
    }

    void valueTypes() {
        auto set = m_db->openRecordset(QStringLiteral("Q_選手"));
        QVERIFY(set->findFirst(QStringLiteral("期=90")));
        QCOMPARE(set->field(QStringLiteral("期")).typeId(), QMetaType::LongLong);
        QCOMPARE(set->field(QStringLiteral("名前")).typeId(), QMetaType::QString);
        auto history = m_db->openRecordset(QStringLiteral("T_レース履歴"));
        history->addNew();
        history->setField(QStringLiteral("調査年"), 1999);
        history->update();
        history->moveFirst();
        QCOMPARE(history->field(QStringLiteral("競輪場ID")), QVariant());
        QVERIFY(history->field(QStringLiteral("競輪場ID")).isNull());
        history->edit();
        history->setField(QStringLiteral("結果1"), 2.5);
        history->update();
        QCOMPARE(history->field(QStringLiteral("結果1")).typeId(), QMetaType::Double);
        QCOMPARE(history->field(QStringLiteral("結果1")).toDouble(), 2.5);
    }

    void editThroughRacerViewRenumbers() {
        auto racers = m_db->openRecordset(QStringLiteral("Q_選手"));
        racers->moveNext();
        const qlonglong oldId = racers->field(QStringLiteral("選手ID")).toLongLong();
        racers->edit();
        racers->setField(QStringLiteral("選手ID"), QStringLiteral("9999"));
        racers->setField(QStringLiteral("名前"), QStringLiteral("試験走者"));
        racers->setField(QStringLiteral("よみがな"), QStringLiteral("ぱぴぷ"));
        racers->setField(QStringLiteral("所属ID"), 13);
        QCOMPARE(racers->field(QStringLiteral("名前")).toString(), QStringLiteral("試験走者"));
        racers->update();
        QVERIFY(!racers->isEditing());
        // The record set shows the stored row with its derived columns.
        QCOMPARE(racers->field(QStringLiteral("選手ID")).toLongLong(), 9999);
        QCOMPARE(racers->field(QStringLiteral("登番")).toLongLong(), 9999);
        QCOMPARE(racers->field(QStringLiteral("所属名")).toString(), QStringLiteral("千葉"));
        QCOMPARE(racers->field(QStringLiteral("よみがなID")).toInt(), 25);

        auto table = m_db->openRecordset(QStringLiteral("T_選手"));
        QVERIFY(!table->findFirst(QStringLiteral("選手ID = ") + QString::number(oldId)));
        QVERIFY(table->findFirst(QStringLiteral("選手ID = 9999")));
        QCOMPARE(table->field(QStringLiteral("名前")).toString(), QStringLiteral("試験走者"));
        QCOMPARE(table->field(QStringLiteral("所属ID")).toInt(), 13);
    }

    void renumberingToTakenIdIsDuplicate_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("keyField");
        QTest::newRow("racer view") << QStringLiteral("Q_選手") << QStringLiteral("選手ID");
        QTest::newRow("racer table") << QStringLiteral("T_選手") << QStringLiteral("選手ID");
        QTest::newRow("velodrome view") << QStringLiteral("Q_競輪場") << QStringLiteral("競輪場ID");
    }
    void renumberingToTakenIdIsDuplicate() {
        QFETCH(QString, name);
        QFETCH(QString, keyField);
        auto set = m_db->openRecordset(name);
        const QVariant firstKey = set->field(keyField);
        set->moveNext();
        const QVariant secondKey = set->field(keyField);
        set->edit();
        set->setField(keyField, firstKey);
        QCOMPARE(testsupport::errorNumberOf([&] { set->update(); }), ErrorNumber::DuplicateKey);
        set->cancelUpdate();
        QCOMPARE(set->field(keyField), secondKey);
        set->addNew();
        set->setField(keyField, firstKey);
        QCOMPARE(testsupport::errorNumberOf([&] { set->update(); }), ErrorNumber::DuplicateKey);
    }

    void addThroughViewsAppendsAndKeepsPosition_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("keyField");
        QTest::addColumn<QString>("nameField");
        QTest::addColumn<QString>("derivedField");
        QTest::addColumn<QString>("derivedValue");
        QTest::addColumn<QString>("codeField");
        QTest::addColumn<int>("code");
        QTest::newRow("racers") << QStringLiteral("Q_選手") << QStringLiteral("選手ID")
                                << QStringLiteral("名前") << QStringLiteral("所属名")
                                << QStringLiteral("沖縄") << QStringLiteral("所属ID") << 47;
        QTest::newRow("velodromes") << QStringLiteral("Q_競輪場") << QStringLiteral("競輪場ID")
                                    << QStringLiteral("競輪場名") << QStringLiteral("地区名")
                                    << QStringLiteral("四国") << QStringLiteral("地区ID") << 7;
    }
    void addThroughViewsAppendsAndKeepsPosition() {
        QFETCH(QString, name);
        QFETCH(QString, keyField);
        QFETCH(QString, nameField);
        QFETCH(QString, derivedField);
        QFETCH(QString, derivedValue);
        QFETCH(QString, codeField);
        QFETCH(int, code);
        auto set = m_db->openRecordset(name);
        const int count = set->recordCount();
        set->moveNext();
        const QVariant current = set->field(keyField);
        set->addNew();
        set->setField(keyField, 1234);
        set->setField(nameField, QStringLiteral("新規"));
        set->setField(codeField, code);
        set->update();
        QCOMPARE(set->recordCount(), count + 1);
        QCOMPARE(set->field(keyField), current);
        set->moveLast();
        QCOMPARE(set->field(keyField).toLongLong(), 1234);
        QCOMPARE(set->field(derivedField).toString(), derivedValue);

        // A fresh set shows the new row in the view's order.
        auto again = m_db->openRecordset(name);
        QVERIFY(again->findFirst(keyField + QStringLiteral(" = 1234")));
        QCOMPARE(again->field(nameField).toString(), QStringLiteral("新規"));
        const QList<qlonglong> keys = column(*again, keyField);
        QVERIFY(keys.contains(1234));
        QVERIFY(std::is_sorted(keys.begin(), keys.end()));
    }

    void deleteThroughViewsAndTables_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("keyField");
        QTest::addColumn<QString>("baseTable");
        QTest::newRow("racer view") << QStringLiteral("Q_選手") << QStringLiteral("選手ID")
                                    << QStringLiteral("T_選手");
        QTest::newRow("racer table") << QStringLiteral("T_選手") << QStringLiteral("選手ID")
                                     << QStringLiteral("T_選手");
        QTest::newRow("velodrome view")
            << QStringLiteral("Q_競輪場") << QStringLiteral("競輪場ID") << QStringLiteral("T_競輪場");
        QTest::newRow("roster") << QStringLiteral("T_個別名簿") << QStringLiteral("名簿ID")
                                << QStringLiteral("T_個別名簿");
    }
    void deleteThroughViewsAndTables() {
        QFETCH(QString, name);
        QFETCH(QString, keyField);
        QFETCH(QString, baseTable);
        auto set = m_db->openRecordset(name);
        const QList<qlonglong> keys = column(*set, keyField);
        set->moveFirst();
        set->moveNext();
        set->deleteCurrent();
        QCOMPARE(testsupport::errorNumberOf([&] { set->field(keyField); }), ErrorNumber::RecordDeleted);
        QCOMPARE(testsupport::errorNumberOf([&] { set->edit(); }), ErrorNumber::RecordDeleted);
        QCOMPARE(testsupport::errorNumberOf([&] { set->deleteCurrent(); }), ErrorNumber::RecordDeleted);
        QCOMPARE(set->recordCount(), keys.size() - 1);
        set->moveNext(); // the row after the deleted one
        QCOMPARE(set->field(keyField).toLongLong(), keys.at(2));
        set->movePrevious();
        QCOMPARE(set->field(keyField).toLongLong(), keys.at(0));

        QList<qlonglong> expected = keys;
        expected.removeAt(1);
        QCOMPARE(column(*m_db->openRecordset(baseTable), keyField), expected);
    }

    void deleteThenMovePrevious() {
        auto set = m_db->openRecordset(QStringLiteral("T_個別名簿"));
        set->moveLast();
        set->deleteCurrent();
        set->moveNext();
        QVERIFY(set->eof());
        set->movePrevious();
        QCOMPARE(set->field(QStringLiteral("名簿ID")).toInt(), 2);
        set->deleteCurrent();
        set->movePrevious();
        QCOMPARE(set->field(QStringLiteral("名簿ID")).toInt(), 1);
        set->deleteCurrent();
        set->movePrevious();
        QVERIFY(set->bof());
        QCOMPARE(set->recordCount(), 0);
    }

    void writesWithoutEditAreRefused() {
        auto set = m_db->openRecordset(QStringLiteral("T_個別名簿"));
        QCOMPARE(
            testsupport::errorNumberOf([&] { set->setField(QStringLiteral("名前"), QStringLiteral("x")); }),
            ErrorNumber::NotEditing);
        QCOMPARE(testsupport::errorNumberOf([&] { set->update(); }), ErrorNumber::NotEditing);
        set->edit();
        set->setField(QStringLiteral("名前"), QStringLiteral("x"));
        set->moveNext(); // moving drops the edit
        QVERIFY(!set->isEditing());
        set->movePrevious();
        QCOMPARE(set->field(QStringLiteral("名前")).toString(), QStringLiteral("見本　一郎"));
        set->edit();
        set->setField(QStringLiteral("名前"), QStringLiteral("y"));
        set->cancelUpdate();
        QCOMPARE(set->field(QStringLiteral("名前")).toString(), QStringLiteral("見本　一郎"));
        QCOMPARE(m_db->openRecordset(QStringLiteral("T_個別名簿"))->field(QStringLiteral("名前")).toString(),
                 QStringLiteral("見本　一郎"));
    }

    void writesElsewhereAreSeen() {
        auto view = m_db->openRecordset(QStringLiteral("Q_選手"));
        auto table = m_db->openRecordset(QStringLiteral("T_選手"));
        const QVariant id = view->field(QStringLiteral("選手ID"));
        table->edit();
        table->setField(QStringLiteral("名前"), QStringLiteral("別名"));
        table->update();
        QCOMPARE(view->field(QStringLiteral("名前")).toString(), QStringLiteral("別名"));
        table->deleteCurrent();
        QCOMPARE(testsupport::errorNumberOf([&] { view->field(QStringLiteral("名前")); }),
                 ErrorNumber::RecordDeleted);
        QVERIFY(!view->findFirst(QStringLiteral("選手ID = ") + id.toString()));
    }

    void updateOfRowDeletedElsewhere_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("view") << QStringLiteral("Q_選手");
        QTest::newRow("table") << QStringLiteral("T_選手");
    }
    void updateOfRowDeletedElsewhere() {
        QFETCH(QString, name);
        auto set = m_db->openRecordset(name);
        auto other = m_db->openRecordset(QStringLiteral("T_選手"));
        const int count = other->recordCount();
        set->edit();
        set->setField(QStringLiteral("名前"), QStringLiteral("消えた"));
        other->deleteCurrent();
        QCOMPARE(testsupport::errorNumberOf([&] { set->update(); }), ErrorNumber::RecordDeleted);
        QCOMPARE(m_db->openRecordset(QStringLiteral("T_選手"))->recordCount(), count - 1);
        set->moveNext();
        QVERIFY(set->field(QStringLiteral("名前")).toString() != QStringLiteral("消えた"));
    }

    // Statements kept for reuse must not keep the file open once the database is closed.
    void closeLetsGoOfTheFile() {
        const QString path = QFileInfo(m_dir.database()).canonicalFilePath();
        const auto handlesOnFile = [&] {
            int count = 0;
            const QFileInfoList links =
                QDir(QStringLiteral("/proc/self/fd")).entryInfoList(QDir::AllEntries | QDir::System);
            for (const QFileInfo& link : links)
                count += link.symLinkTarget() == path;
            return count;
        };
        QVERIFY(handlesOnFile() > 0);
        for (int round = 0; round < 2; ++round) {
            auto racers = m_db->openRecordset(QStringLiteral("Q_選手"), {{QStringLiteral("所属ID"), 3}}, 5);
            racers->edit();
            racers->setField(QStringLiteral("名前"), QStringLiteral("書き換え"));
            racers->update();
            QVERIFY(racers->findFirst(QStringLiteral("所属ID=3")));
            m_db->openRecordset(QStringLiteral("T_所属"))->moveLast();
        }
        m_db->close();
        QCOMPARE(handlesOnFile(), 0);
    }

    void closedSetsAndDatabase() {
        auto set = m_db->openRecordset(QStringLiteral("T_所属"));
        set->close();
        QVERIFY(testsupport::errorNumberOf([&] { set->moveNext(); }) != 0);
        auto other = m_db->openRecordset(QStringLiteral("T_所属"));
        m_db->close();
        QVERIFY(!m_db->isOpen());
        QVERIFY(testsupport::errorNumberOf([&] { other->field(QStringLiteral("所属名")); }) != 0);
        QVERIFY(testsupport::errorNumberOf([&] { m_db->openRecordset(QStringLiteral("T_所属")); }) != 0);
    }

private:
    testsupport::ProgramDir m_dir;
    std::unique_ptr<Database> m_db;
};

QTEST_GUILESS_MAIN(RecordsetTest)
#include "RecordsetTest.moc"
