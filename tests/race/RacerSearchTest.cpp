#include "race/RacerSearch.h"
#include "core/Errors.h"
#include "store/Recordset.h"

#include <QTest>

namespace {

using Row = QHash<QString, QVariant>;

// An in-memory record set holding whole racer rows, walked as the searches walk the store's sets.
class FakeRecordset : public Recordset {
public:
    explicit FakeRecordset(QList<Row> rows)
        : m_rows(std::move(rows)) {}

    QString name() const override { return QStringLiteral("Q_選手"); }
    QStringList fieldNames() const override {
        return m_rows.isEmpty() ? QStringList() : m_rows.first().keys();
    }
    bool bof() const override { return m_rows.isEmpty() || m_pos < 0; }
    bool eof() const override { return m_rows.isEmpty() || m_pos >= m_rows.size(); }
    int recordCount() const override { return static_cast<int>(m_rows.size()); }
    void moveFirst() override { m_pos = 0; }
    void moveNext() override {
        if (eof())
            throw KorvaneError(ErrorNumber::NoCurrentRecord, QStringLiteral("fake"), QStringLiteral("eof"));
        ++m_pos;
    }
    void movePrevious() override { --m_pos; }
    void moveLast() override { m_pos = static_cast<int>(m_rows.size()) - 1; }
    bool findFirst(const QString&) override { return false; }
    bool noMatch() const override { return true; }
    QVariant field(const QString& name) const override {
        if (eof() || bof())
            throw KorvaneError(ErrorNumber::NoCurrentRecord, QStringLiteral("fake"),
                               QStringLiteral("no row"));
        return m_rows.at(m_pos).value(name);
    }
    void edit() override {}
    void addNew() override {}
    void setField(const QString&, const QVariant&) override {}
    void update() override {}
    void cancelUpdate() override {}
    bool isEditing() const override { return false; }
    void deleteCurrent() override {}
    void close() override {}

private:
    QList<Row> m_rows;
    int m_pos = 0;
};

Row racer(int id, int prefecture, const QString& affiliation, QVariant term, const QString& name,
          int kana = 0) {
    return Row{{QStringLiteral("所属ID"), prefecture},
               {QStringLiteral("所属名"), affiliation},
               {QStringLiteral("選手ID"), id},
               {QStringLiteral("登番"), id},
               {QStringLiteral("期"), term},
               {QStringLiteral("名前"), name},
               {QStringLiteral("よみがなID"), kana},
               {QStringLiteral("生年"), 1970},
               {QStringLiteral("生月"), 4},
               {QStringLiteral("生日"), 15},
               {QStringLiteral("血液型名"), QStringLiteral("A")}};
}

// A small racer table in view order, deliberately not sorted by any key.
QList<Row> sampleRacers() {
    return {
        racer(4321, 4, QStringLiteral("岩手"), 58, QStringLiteral("山田太郎"), 35),
        racer(1200, 1, QStringLiteral("北海道"), 58, QStringLiteral("北野一"), 20),
        racer(3001, 4, QStringLiteral("岩手"), 60, QStringLiteral("岩井次郎"), 1),
        racer(77, 14, QStringLiteral("神奈川"), 58, QStringLiteral("川村三郎"), 10),
        racer(4000, 4, QStringLiteral("岩手"), 58, QStringLiteral("石田四郎"), 1),
        racer(5000, 5, QStringLiteral("宮城"), QVariant(), QStringLiteral("期無し"), 2),
        racer(6000, 0, QStringLiteral("不明"), 0, QStringLiteral("所属無し"), 49),
    };
}

QList<qint16> ids(const SearchResults& results) {
    QList<qint16> list;
    for (const PersonSlot& slot : results.rows)
        list << slot.racerId;
    return list;
}

QList<Row> manyRacers(int count, int term) {
    QList<Row> rows;
    for (int i = 0; i < count; ++i)
        rows << racer(1 + i, 1 + i % 47, QStringLiteral("東京"), term, QStringLiteral("選手%1").arg(i));
    return rows;
}

} // namespace

class RacerSearchTest : public QObject {
    Q_OBJECT

private slots:
    void rowText_data();
    void rowText();
    void rowSlot();
    void listing_data();
    void listing();
    void conditions_data();
    void conditions();
    void rowLimit_data();
    void rowLimit();
    void nothingFound();
    void faultyRow_data();
    void faultyRow();
};

void RacerSearchTest::rowText_data() {
    QTest::addColumn<QString>("affiliation");
    QTest::addColumn<int>("id");
    QTest::addColumn<QVariant>("term");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("expected");

    QTest::newRow("two characters get four blanks")
        << QStringLiteral("岩手") << 4321 << QVariant(58) << QStringLiteral("山田太郎")
        << QStringLiteral("岩手    4321  58  山田太郎");
    QTest::newRow("three characters get one blank")
        << QStringLiteral("神奈川") << 77 << QVariant(5) << QStringLiteral("川村三郎")
        << QStringLiteral("神奈川 77  5  川村三郎");
    QTest::newRow("one character gets one blank")
        << QStringLiteral("X") << -3 << QVariant(0) << QStringLiteral("名") << QStringLiteral("X -3  0  名");
    QTest::newRow("trailing blanks count as characters")
        << QStringLiteral("東京 ") << 1 << QVariant(1) << QStringLiteral(" 名 ")
        << QStringLiteral("東京  1  1   名 ");
    QTest::newRow("store integer") << QStringLiteral("宮城") << 12 << QVariant(qlonglong(-7))
                                   << QStringLiteral("名") << QStringLiteral("宮城    12  -7  名");
    QTest::newRow("whole real") << QStringLiteral("宮城") << 12 << QVariant(30.0) << QStringLiteral("名")
                                << QStringLiteral("宮城    12  30  名");
    QTest::newRow("no term shows an empty term")
        << QStringLiteral("宮城") << 5000 << QVariant() << QStringLiteral("期無し")
        << QStringLiteral("宮城    5000    期無し");
    QTest::newRow("no term after three characters")
        << QStringLiteral("鹿児島") << 29247 << QVariant() << QStringLiteral("羽柴楓")
        << QStringLiteral("鹿児島 29247    羽柴楓");
}

void RacerSearchTest::rowText() {
    QFETCH(QString, affiliation);
    QFETCH(int, id);
    QFETCH(QVariant, term);
    QFETCH(QString, name);
    QFETCH(QString, expected);
    FakeRecordset rs({racer(id, 1, affiliation, term, name)});
    QCOMPARE(racerRowText(rs), expected);
}

void RacerSearchTest::rowSlot() {
    Row row = racer(32767, 3, QStringLiteral("秋田"), -32768,
                    QStringLiteral("とても長い名前の選手でございます二十二文字を超える"));
    row[QStringLiteral("生年")] = 1965.5; // halves round to even
    row[QStringLiteral("生月")] = 2.5;
    row[QStringLiteral("血液型名")] = QStringLiteral("AB");
    FakeRecordset rs({row});
    const PersonSlot slot = racerRowSlot(rs);
    QCOMPARE(slot.affiliation, QStringLiteral("秋田    "));
    QCOMPARE(slot.racerId, qint16(32767));
    QCOMPARE(slot.name.size(), 22);
    QCOMPARE(slot.name, QStringLiteral("とても長い名前の選手でございます二十二文字を超える").left(22));
    QCOMPARE(slot.term, qint16(-32768));
    QCOMPARE(slot.birthYear, qint16(1966));
    QCOMPARE(slot.birthMonth, qint16(2));
    QCOMPARE(slot.birthDay, qint16(15));
    QCOMPARE(slot.bloodType, QStringLiteral("AB"));

    FakeRecordset shortName({racer(1, 1, QStringLiteral("北海道"), 1, QStringLiteral("一"))});
    QCOMPARE(racerRowSlot(shortName).name, QStringLiteral("一") + QString(21, QLatin1Char(' ')));
    QCOMPARE(racerRowSlot(shortName).affiliation, QStringLiteral("北海道   "));

    // A racer without a term gets term 0; his other values are kept as for anyone.
    FakeRecordset noTerm({racer(5000, 5, QStringLiteral("宮城"), QVariant(), QStringLiteral("期無し"))});
    const PersonSlot unnumbered = racerRowSlot(noTerm);
    QCOMPARE(unnumbered.term, qint16(0));
    QCOMPARE(unnumbered.racerId, qint16(5000));
    QCOMPARE(unnumbered.affiliation, QStringLiteral("宮城    "));
    QCOMPARE(unnumbered.birthYear, qint16(1970));
    QCOMPARE(unnumbered.bloodType, QStringLiteral("A"));
}

void RacerSearchTest::listing_data() {
    QTest::addColumn<SearchRequest>("request");
    QTest::addColumn<QList<qint16>>("expected");

    QTest::newRow("term in view order, null term skipped")
        << SearchRequest::term(58, false, 0) << QList<qint16>{4321, 1200, 77, 4000};
    QTest::newRow("term AND prefecture") << SearchRequest::term(58, true, 4) << QList<qint16>{4321, 4000};
    QTest::newRow("term AND no prefecture chosen yet") << SearchRequest::term(58, true, 0) << QList<qint16>{};
    QTest::newRow("term 0 AND prefecture 0 finds the racer of affiliation 0")
        << SearchRequest::term(0, true, 0) << QList<qint16>{6000};
    QTest::newRow("prefecture") << SearchRequest::prefecture(4, false, 0) << QList<qint16>{4321, 3001, 4000};
    QTest::newRow("prefecture AND term") << SearchRequest::prefecture(4, true, 60) << QList<qint16>{3001};
    QTest::newRow("registration number") << SearchRequest::registrationNumber(77) << QList<qint16>{77};
    QTest::newRow("kana") << SearchRequest::kana(1) << QList<qint16>{3001, 4000};
    QTest::newRow("kana without racers") << SearchRequest::kana(48) << QList<qint16>{};
    QTest::newRow("whole table lists the racer without a term")
        << SearchRequest::wholeTable() << QList<qint16>{4321, 1200, 3001, 77, 4000, 5000, 6000};
    QTest::newRow("kana lists the racer without a term") << SearchRequest::kana(2) << QList<qint16>{5000};
    QTest::newRow("prefecture lists the racer without a term")
        << SearchRequest::prefecture(5, false, 0) << QList<qint16>{5000};
    QTest::newRow("prefecture AND term passes over the racer without a term")
        << SearchRequest::prefecture(5, true, 0) << QList<qint16>{};
}

void RacerSearchTest::listing() {
    QFETCH(SearchRequest, request);
    QFETCH(QList<qint16>, expected);
    FakeRecordset rs(sampleRacers());
    rs.moveLast(); // the listing starts at the first row wherever the set stands
    SearchResults results;
    results.lines << QStringLiteral("old line");
    results.rows << PersonSlot{};
    const SearchOutcome outcome = listRacers(rs, request, results);
    QCOMPARE(ids(results), expected);
    QCOMPARE(results.lines.size(), results.rows.size());
    QCOMPARE(outcome, expected.isEmpty() ? SearchOutcome::NoMatch : SearchOutcome::Listed);
    for (int i = 0; i < results.size(); ++i)
        QVERIFY(results.lines.at(i).contains(QString::number(expected.at(i))));
}

void RacerSearchTest::conditions_data() {
    QTest::addColumn<SearchRequest>("request");
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<QList<qint64>>("values");

    QTest::newRow("term") << SearchRequest::term(5, false, 9) << QStringList{QStringLiteral("期")}
                          << QList<qint64>{5};
    QTest::newRow("term AND") << SearchRequest::term(5, true, 9)
                              << QStringList{QStringLiteral("期"), QStringLiteral("所属ID")}
                              << QList<qint64>{5, 9};
    QTest::newRow("registration number")
        << SearchRequest::registrationNumber(-7) << QStringList{QStringLiteral("登番")} << QList<qint64>{-7};
    QTest::newRow("kana") << SearchRequest::kana(49) << QStringList{QStringLiteral("よみがなID")}
                          << QList<qint64>{49};
    QTest::newRow("prefecture AND") << SearchRequest::prefecture(47, true, 0)
                                    << QStringList{QStringLiteral("所属ID"), QStringLiteral("期")}
                                    << QList<qint64>{47, 0};
    QTest::newRow("whole table") << SearchRequest::wholeTable() << QStringList{} << QList<qint64>{};
}

void RacerSearchTest::conditions() {
    QFETCH(SearchRequest, request);
    QFETCH(QStringList, fields);
    QFETCH(QList<qint64>, values);
    const QList<FieldEquals> conditions = searchConditions(request);
    QCOMPARE(conditions.size(), fields.size());
    for (int i = 0; i < conditions.size(); ++i) {
        QCOMPARE(conditions.at(i).field, fields.at(i));
        QCOMPARE(conditions.at(i).value, values.at(i));
    }
    QCOMPARE(racerViewName(0), QStringLiteral("Q_選手"));
    QCOMPARE(racerViewName(1), QStringLiteral("Q_選手抽出"));
}

void RacerSearchTest::rowLimit_data() {
    QTest::addColumn<int>("matching");
    QTest::addColumn<SearchRequest>("request");
    QTest::addColumn<int>("listed");
    QTest::addColumn<QString>("message");

    QTest::newRow("500 fit") << 500 << SearchRequest::term(7, false, 0) << 500 << QString();
    QTest::newRow("501 listed and still the overflow")
        << 501 << SearchRequest::term(7, false, 0) << 501 << QStringLiteral("期別領域オーバーフロー");
    QTest::newRow("600 cut at 501") << 600 << SearchRequest::term(7, false, 0) << 501
                                    << QStringLiteral("期別領域オーバーフロー");
    QTest::newRow("registration numbers")
        << 700 << SearchRequest::registrationNumber(0) << 501 << QStringLiteral("登番別領域オーバーフロー");
    QTest::newRow("kana") << 502 << SearchRequest::kana(0) << 501
                          << QStringLiteral("よみがな別領域オーバーフロー");
    QTest::newRow("whole table") << 501 << SearchRequest::wholeTable() << 501
                                 << QStringLiteral("一覧検索領域オーバーフロー");
}

void RacerSearchTest::rowLimit() {
    QFETCH(int, matching);
    QFETCH(SearchRequest, request);
    QFETCH(int, listed);
    QFETCH(QString, message);
    QList<Row> rows = manyRacers(matching, 7);
    for (Row& row : rows) {
        row[QStringLiteral("登番")] = 0;
        row[QStringLiteral("よみがなID")] = 0;
    }
    // Racers of another term in between must not count.
    rows.insert(3, racer(30000, 1, QStringLiteral("東京"), 8, QStringLiteral("別期"), 1));
    rows[3][QStringLiteral("登番")] = 1;
    FakeRecordset rs(rows);
    SearchResults results;
    const SearchOutcome outcome = listRacers(rs, request, results);
    QCOMPARE(results.size(), listed);
    QCOMPARE(results.rows.size(), listed);
    QCOMPARE(outcomeMessage(request.kind, outcome), message);
    // The racer of another term is listed only by the whole-table listing.
    const bool wholeTable = request.kind == SearchKind::WholeTable;
    QCOMPARE(ids(results).contains(30000), wholeTable);
    QCOMPARE(results.rows.last().racerId, qint16(wholeTable ? listed - 1 : listed));
}

void RacerSearchTest::nothingFound() {
    SearchResults results;
    results.lines << QStringLiteral("kept");
    results.rows << PersonSlot{};

    FakeRecordset empty({});
    QCOMPARE(listRacers(empty, SearchRequest::wholeTable(), results), SearchOutcome::EmptyTable);
    QCOMPARE(results.lines, QStringList{QStringLiteral("kept")});
    QCOMPARE(outcomeMessage(SearchKind::WholeTable, SearchOutcome::EmptyTable),
             QStringLiteral("該当レコードがありません"));

    FakeRecordset none(sampleRacers());
    QCOMPARE(listRacers(none, SearchRequest::term(99, false, 0), results), SearchOutcome::NoMatch);
    QCOMPARE(results.size(), 0);
    QCOMPARE(outcomeMessage(SearchKind::Term, SearchOutcome::NoMatch),
             QStringLiteral("該当レコードがありません"));

    FakeRecordset emptyKeyed({});
    results.lines << QStringLiteral("gone");
    QCOMPARE(listRacers(emptyKeyed, SearchRequest::kana(3), results), SearchOutcome::NoMatch);
    QCOMPARE(results.size(), 0);
}

void RacerSearchTest::faultyRow_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<int>("error");

    QTest::newRow("null affiliation")
        << QStringLiteral("所属名") << QVariant() << int(ErrorNumber::InvalidUseOfNull);
    QTest::newRow("null racer ID") << QStringLiteral("選手ID") << QVariant()
                                   << int(ErrorNumber::InvalidUseOfNull);
    QTest::newRow("null name") << QStringLiteral("名前") << QVariant() << int(ErrorNumber::InvalidUseOfNull);
    QTest::newRow("null birth day") << QStringLiteral("生日") << QVariant()
                                    << int(ErrorNumber::InvalidUseOfNull);
    QTest::newRow("null blood type") << QStringLiteral("血液型名") << QVariant()
                                     << int(ErrorNumber::InvalidUseOfNull);
    QTest::newRow("term beyond 16 bits")
        << QStringLiteral("期") << QVariant(qlonglong(32768)) << int(ErrorNumber::Overflow);
    QTest::newRow("racer ID beyond 16 bits")
        << QStringLiteral("選手ID") << QVariant(40000) << int(ErrorNumber::Overflow);
    QTest::newRow("birth year below 16 bits")
        << QStringLiteral("生年") << QVariant(-32769) << int(ErrorNumber::Overflow);
}

void RacerSearchTest::faultyRow() {
    QFETCH(QString, field);
    QFETCH(QVariant, value);
    QFETCH(int, error);
    QList<Row> rows = manyRacers(4, 9);
    rows[2][field] = value;
    FakeRecordset rs(rows);
    SearchResults results;
    try {
        listRacers(rs, SearchRequest::wholeTable(), results);
        QFAIL("the faulty row was listed");
    } catch (const KorvaneError& e) {
        QCOMPARE(e.number(), error);
    }
    // The rows before the faulty one stay, each line with its values.
    QCOMPARE(ids(results), (QList<qint16>{1, 2}));
    QCOMPARE(results.lines.size(), 2);
}

QTEST_APPLESS_MAIN(RacerSearchTest)
#include "RacerSearchTest.moc"
