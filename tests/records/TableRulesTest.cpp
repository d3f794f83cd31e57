#include "records/TableRules.h"

#include <QTest>

using namespace Qt::StringLiterals;

// The rules are checked with values worked out by hand: the eras from the calendar (明治 from 1868,
// 大正 1912, 昭和 1926, 平成 1989, 令和 2019), the dates from the calendar.
class TableRulesTest : public QObject {
    Q_OBJECT

private slots:
    void wholeNumbers_data();
    void wholeNumbers();
    void eraLabels_data();
    void eraLabels();
    void racerRefusals_data();
    void racerRefusals();
    void rosterAndVelodrome_data();
    void rosterAndVelodrome();
};

void TableRulesTest::wholeNumbers_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("value"); // -99999 for no whole number
    const int none = -99999;
    QTest::newRow("digits") << u"4000"_s << 4000;
    QTest::newRow("blanks around") << u" 12 "_s << 12;
    QTest::newRow("full-width digits and blanks") << u"　１２３　"_s << 123;
    QTest::newRow("sign") << u"-5"_s << -5;
    QTest::newRow("full-width minus") << u"－５"_s << -5;
    QTest::newRow("thousands comma") << u"20,001"_s << 20001;
    QTest::newRow("zero fraction") << u"20002.0"_s << 20002;
    QTest::newRow("empty") << u""_s << none;
    QTest::newRow("blank") << u"　"_s << none;
    QTest::newRow("letters") << u"abc"_s << none;
    QTest::newRow("letters after digits") << u"12abc"_s << none;
    QTest::newRow("true fraction") << u"1.5"_s << none;
    QTest::newRow("comma out of place") << u"2,00"_s << none;
    QTest::newRow("beyond 32 bits") << u"99999999999"_s << none;
}

void TableRulesTest::wholeNumbers() {
    QFETCH(QString, text);
    QFETCH(int, value);
    QCOMPARE(records::wholeNumber(text).value_or(-99999), value);
}

void TableRulesTest::eraLabels_data() {
    QTest::addColumn<int>("year");
    QTest::addColumn<QString>("entry");
    QTest::newRow("before Meiji") << 1867 << u"1867"_s;
    QTest::newRow("Meiji 1") << 1868 << u"1868 (明治1)"_s;
    QTest::newRow("Meiji 44") << 1911 << u"1911 (明治44)"_s;
    QTest::newRow("Taisho 1") << 1912 << u"1912 (大正1)"_s;
    QTest::newRow("Taisho 9") << 1920 << u"1920 (大正9)"_s;
    QTest::newRow("Showa 1") << 1926 << u"1926 (昭和1)"_s;
    QTest::newRow("Showa 63") << 1988 << u"1988 (昭和63)"_s;
    QTest::newRow("Heisei 1") << 1989 << u"1989 (平成1)"_s;
    QTest::newRow("Heisei 30") << 2018 << u"2018 (平成30)"_s;
    QTest::newRow("Reiwa 1") << 2019 << u"2019 (令和1)"_s;
    QTest::newRow("Reiwa 8") << 2026 << u"2026 (令和8)"_s;
}

void TableRulesTest::eraLabels() {
    QFETCH(int, year);
    QFETCH(QString, entry);
    QCOMPARE(records::birthYearEntry(year), entry);
    if (year >= records::FirstBirthYear)
        QCOMPARE(records::birthYearOf(entry).value_or(0), year);
}

void TableRulesTest::racerRefusals_data() {
    QTest::addColumn<QStringList>("texts"); // 選手ID, 名前, よみがな, 期, 級, 生年, 生月, 生日
    QTest::addColumn<QStringList>("messages");
    const QStringList good{u"4000"_s, u"検査花子"_s, u"ケンサハナコ"_s, u"90"_s, u"A1"_s, u"1980"_s,
                           u"2"_s,    u"29"_s};
    const auto with = [&good](int field, const QString& value) {
        QStringList texts = good;
        texts[field] = value;
        return texts;
    };
    QTest::newRow("sound") << good << QStringList{};
    QTest::newRow("unknown term and grade") << with(3, u""_s) << QStringList{};
    QTest::newRow("full-width number") << with(0, u"４０００"_s) << QStringList{};
    QTest::newRow("negative number") << with(0, u"-5"_s)
                                     << QStringList{
                                            u"選手ID「-5」は 1 から 32767 までの整数ではありません。"_s};
    QTest::newRow("number 0") << with(0, u"0"_s)
                              << QStringList{u"選手ID「0」は 1 から 32767 までの整数ではありません。"_s};
    QTest::newRow("blank name") << with(1, u" 　"_s) << QStringList{u"名前がありません。"_s};
    QTest::newRow("letters for a year")
        << with(5, u"abc"_s) << QStringList{u"生年「abc」は 1868 から 2026 までの整数ではありません。"_s};
    QTest::newRow("next year") << with(5, u"2027"_s)
                               << QStringList{u"生年「2027」は 1868 から 2026 までの整数ではありません。"_s};
    QTest::newRow("month 13") << with(6, u"13"_s)
                              << QStringList{u"生月「13」は 1 から 12 までの整数ではありません。"_s};
    QTest::newRow("30 February") << with(7, u"30"_s) << QStringList{u"1980年2月30日という日はありません。"_s};
    QTest::newRow("29 February 1989")
        << with(5, u"1989"_s) << QStringList{u"1989年2月29日という日はありません。"_s};
    QTest::newRow("everything empty")
        << QStringList(8)
        << QStringList{u"選手IDがありません。"_s, u"名前がありません。"_s, u"よみがながありません。"_s,
                       u"生年がありません。"_s,   u"生月がありません。"_s, u"生日がありません。"_s};
}

void TableRulesTest::racerRefusals() {
    QFETCH(QStringList, texts);
    QFETCH(QStringList, messages);
    records::RacerFields fields;
    QList<records::Refusal> refusals;
    const bool ok =
        records::checkRacer({texts[0], texts[1], texts[2], texts[3], texts[4], texts[5], texts[6], texts[7]},
                            2026, fields, refusals);
    QStringList shown;
    for (const records::Refusal& refusal : refusals)
        shown << refusal.message;
    QCOMPARE(shown, messages);
    QCOMPARE(ok, messages.isEmpty());
    if (ok) {
        QCOMPARE(fields.racerId, qint16(4000));
        QCOMPARE(fields.term.isNull(), texts[3].isEmpty());
    }
}

void TableRulesTest::rosterAndVelodrome_data() {
    QTest::addColumn<QStringList>("texts"); // roster: 名前, 生年, 生月, 生日; velodrome: 競輪場ID, 競輪場名
    QTest::addColumn<QStringList>("result"); // what is stored, or the messages
    QTest::newRow("roster entry") << QStringList{u"山田"_s, u"1965 (昭和40)"_s, u"04"_s, u"10"_s}
                                  << QStringList{u"山田"_s, u"1965 (昭和40)"_s, u"4"_s, u"10"_s};
    QTest::newRow("roster year typed, blanks trimmed")
        << QStringList{u"　山田 "_s, u"１９２０"_s, u"1"_s, u"1"_s}
        << QStringList{u"山田"_s, u"1920 (大正9)"_s, u"1"_s, u"1"_s};
    QTest::newRow("roster old era label") << QStringList{u"山田"_s, u"1920 (昭和-5)"_s, u"1"_s, u"1"_s}
                                          << QStringList{u"山田"_s, u"1920 (大正9)"_s, u"1"_s, u"1"_s};
    QTest::newRow("roster day xyz") << QStringList{u""_s, u"1965"_s, u"13"_s, u"xyz"_s}
                                    << QStringList{u"名前がありません。"_s,
                                                   u"生月「13」は 1 から 12 までの整数ではありません。"_s,
                                                   u"生日「xyz」は 1 から 31 までの整数ではありません。"_s};
    QTest::newRow("roster before Meiji")
        << QStringList{u"山田"_s, u"999"_s, u"1"_s, u"1"_s}
        << QStringList{u"生年「999」は 1868 から 2026 までの整数ではありません。"_s};
    QTest::newRow("velodrome") << QStringList{u"１２０"_s, u" 新場 "_s} << QStringList{u"120"_s, u"新場"_s};
    QTest::newRow("velodrome letters, no name")
        << QStringList{u"abc"_s, u"　"_s}
        << QStringList{u"競輪場ID「abc」は 1 から 32767 までの整数ではありません。"_s,
                       u"競輪場名がありません。"_s};
}

void TableRulesTest::rosterAndVelodrome() {
    QFETCH(QStringList, texts);
    QFETCH(QStringList, result);
    QList<records::Refusal> refusals;
    QStringList stored;
    if (texts.size() == 4) {
        records::RosterPerson person;
        if (records::checkRosterPerson(texts[0], texts[1], texts[2], texts[3], 2026, person, refusals))
            stored = person.storedTexts();
    } else {
        records::VelodromeValues values;
        if (records::checkVelodrome(texts[0], texts[1], values, refusals))
            stored = {QString::number(values.id), values.name};
    }
    for (const records::Refusal& refusal : refusals)
        stored << refusal.message;
    QCOMPARE(stored, result);
}

QTEST_MAIN(TableRulesTest)
#include "TableRulesTest.moc"
