#include "core/Errors.h"
#include "store/Database.h"
#include "store/Recordset.h"
#include "store/SeedDatabase.h"
#include "support/TestSupport.h"

#include <QDate>
#include <QElapsedTimer>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <sqlite3.h>

using namespace Qt::StringLiterals;

namespace {

QList<QVariantList> rows(Database& db, const QString& name, const QStringList& fields) {
    QList<QVariantList> result;
    auto set = db.openRecordset(name);
    for (; !set->eof(); set->moveNext()) {
        QVariantList row;
        for (const QString& field : fields)
            row.append(set->field(field));
        result.append(row);
    }
    return result;
}

QStringList splitNames(const char16_t* names) {
    return QString::fromUtf16(names).split(QLatin1Char(' '));
}

} // namespace

class SchemaTest : public QObject {
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

    void columnsOfTablesAndViews_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("columns");
        const QStringList racer =
            splitNames(u"選手ID 登番 名前 よみがな よみがなID よみがな１桁 期 級 所属ID 所属名 生年 生月 "
                       u"生日 血液型ID 血液型名");
        QTest::newRow("T_選手")
            << QStringLiteral("T_選手")
            << splitNames(u"選手ID 名前 よみがな よみがな１桁 期 級 所属ID 生年 生月 生日 血液型ID");
        QTest::newRow("T_所属") << QStringLiteral("T_所属") << splitNames(u"所属ID 所属名");
        QTest::newRow("T_血液型") << QStringLiteral("T_血液型") << splitNames(u"血液型ID 血液型名");
        QTest::newRow("T_競輪場") << QStringLiteral("T_競輪場") << splitNames(u"競輪場ID 競輪場名 地区ID");
        QTest::newRow("T_地区") << QStringLiteral("T_地区") << splitNames(u"地区ID 地区名");
        QTest::newRow("T_選手抽出") << QStringLiteral("T_選手抽出") << splitNames(u"選手ID");
        QTest::newRow("T_個別名簿") << QStringLiteral("T_個別名簿")
                                    << splitNames(u"名簿ID 名前 生年 生月 生日");
        QStringList history = splitNames(u"履歴ID 調査年 調査月 調査日 競輪場ID レースNO");
        QStringList historyView = splitNames(u"履歴ID 調査年 調査月 調査日 競輪場ID 競輪場名 レースNO");
        for (int n = 1; n <= 9; ++n) {
            history.append(QStringLiteral("選手%1").arg(n));
            for (const QString& stem : splitNames(u"選手 所属ID 期 名前 生年 生月 生日 結果"))
                historyView.append(stem + QString::number(n));
        }
        for (int n = 1; n <= 9; ++n)
            history.append(QStringLiteral("結果%1").arg(n));
        QTest::newRow("T_レース履歴") << QStringLiteral("T_レース履歴") << history;
        QTest::newRow("Q_選手") << QStringLiteral("Q_選手") << racer;
        QTest::newRow("Q_選手抽出") << QStringLiteral("Q_選手抽出") << racer;
        QTest::newRow("Q_期") << QStringLiteral("Q_期") << splitNames(u"期");
        QTest::newRow("Q_登番") << QStringLiteral("Q_登番") << splitNames(u"登番");
        QTest::newRow("Q_競輪場") << QStringLiteral("Q_競輪場")
                                  << splitNames(u"競輪場ID 競輪場名 地区ID 地区名");
        QTest::newRow("Q_レース履歴") << QStringLiteral("Q_レース履歴") << historyView;
    }
    void columnsOfTablesAndViews() {
        QFETCH(QString, name);
        QFETCH(QStringList, columns);
        QCOMPARE(m_db->openRecordset(name)->fieldNames(), columns);
    }

    void seedCounts_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("count");
        QTest::newRow("prefectures") << QStringLiteral("T_所属") << 47;
        QTest::newRow("blood types") << QStringLiteral("T_血液型") << 4;
        QTest::newRow("regions") << QStringLiteral("T_地区") << 8;
        QTest::newRow("velodromes") << QStringLiteral("T_競輪場") << 43;
        QTest::newRow("racers") << QStringLiteral("T_選手") << seed::defaultRacerCount;
        QTest::newRow("racer view") << QStringLiteral("Q_選手") << seed::defaultRacerCount;
        QTest::newRow("registration numbers") << QStringLiteral("Q_登番") << seed::defaultRacerCount;
        QTest::newRow("roster") << QStringLiteral("T_個別名簿") << 3;
        QTest::newRow("extraction") << QStringLiteral("T_選手抽出") << 0;
        QTest::newRow("history") << QStringLiteral("T_レース履歴") << 0;
    }
    void seedCounts() {
        QFETCH(QString, name);
        QFETCH(int, count);
        QCOMPARE(m_db->openRecordset(name)->recordCount(), count);
    }

    void prefecturesInButtonNumbering() {
        const QStringList names = splitNames(u"北海道 青森 秋田 岩手 宮城 山形 福島 群馬 栃木 茨城 埼玉 東京 "
                                             u"千葉 神奈川 山梨 長野 静岡 愛知 岐阜 三重 新潟 "
                                             u"富山 石川 福井 滋賀 京都 奈良 大阪 和歌山 兵庫 岡山 広島 山口 "
                                             u"島根 鳥取 徳島 愛媛 香川 高知 福岡 長崎 佐賀 "
                                             u"大分 熊本 宮崎 鹿児島 沖縄");
        QList<QVariantList> expected;
        for (int i = 0; i < names.size(); ++i)
            expected.append({qlonglong(i + 1), names.at(i)});
        QCOMPARE(rows(*m_db, QStringLiteral("T_所属"), splitNames(u"所属ID 所属名")), expected);
    }

    void velodromesWithRegions() {
        const QList<QVariantList> velodromes =
            rows(*m_db, QStringLiteral("Q_競輪場"), splitNames(u"競輪場ID 競輪場名 地区ID 地区名"));
        QCOMPARE(velodromes.size(), 43);
        QCOMPARE(velodromes.at(0),
                 (QVariantList{1LL, QStringLiteral("函館"), 1LL, QStringLiteral("北日本")}));
        QCOMPARE(velodromes.at(10),
                 (QVariantList{11LL, QStringLiteral("立川"), 2LL, QStringLiteral("関東")}));
        QCOMPARE(velodromes.at(17),
                 (QVariantList{18LL, QStringLiteral("静岡"), 3LL, QStringLiteral("南関東")}));
        QCOMPARE(velodromes.at(29),
                 (QVariantList{30LL, QStringLiteral("岸和田"), 5LL, QStringLiteral("近畿")}));
        QCOMPARE(velodromes.at(42),
                 (QVariantList{43LL, QStringLiteral("熊本"), 8LL, QStringLiteral("九州")}));
        QCOMPARE(rows(*m_db, QStringLiteral("T_地区"), splitNames(u"地区名")).at(3).at(0).toString(),
                 QStringLiteral("中部"));
    }

    void racersArePlausible() {
        auto racers = m_db->openRecordset(QStringLiteral("Q_選手"));
        QSet<qlonglong> prefectures;
        QSet<QString> grades;
        int nullTerms = 0;
        int nullGrades = 0;
        int hiragana = 0;
        qlonglong previous = 0;
        for (; !racers->eof(); racers->moveNext()) {
            const qlonglong id = racers->field(QStringLiteral("選手ID")).toLongLong();
            QVERIFY(id > previous); // ascending and unique
            QVERIFY(id >= 10000 && id <= 32767);
            previous = id;
            QCOMPARE(racers->field(QStringLiteral("登番")).toLongLong(), id);
            prefectures.insert(racers->field(QStringLiteral("所属ID")).toLongLong());
            QVERIFY(!racers->field(QStringLiteral("所属名")).toString().isEmpty());
            QVERIFY(!racers->field(QStringLiteral("血液型名")).toString().isEmpty());
            const QString reading = racers->field(QStringLiteral("よみがな")).toString();
            QCOMPARE(racers->field(QStringLiteral("よみがな１桁")).toString(), reading.left(1));
            QVERIFY(!racers->field(QStringLiteral("よみがなID")).isNull());
            if (reading.at(0).unicode() < 0x30A0)
                ++hiragana;
            const QDate birth(racers->field(QStringLiteral("生年")).toInt(),
                              racers->field(QStringLiteral("生月")).toInt(),
                              racers->field(QStringLiteral("生日")).toInt());
            QVERIFY(birth.isValid());
            const QVariant term = racers->field(QStringLiteral("期"));
            if (term.isNull()) {
                ++nullTerms;
            } else {
                QVERIFY(term.toInt() >= 60 && term.toInt() <= 127);
                // Debut at 19 to 24: term 60 came out in 1987, term 127 in 2025.
                const int debut = 1987 + (term.toInt() - 60) * 38 / 67;
                QVERIFY2(debut - birth.year() >= 19 && debut - birth.year() <= 24,
                         qPrintable(QString::number(id)));
            }
            const QVariant grade = racers->field(QStringLiteral("級"));
            if (grade.isNull())
                ++nullGrades;
            else
                grades.insert(grade.toString());
        }
        QCOMPARE(prefectures.size(), 47);
        QCOMPARE(grades, (QSet<QString>{QStringLiteral("SS"), QStringLiteral("S1"), QStringLiteral("S2"),
                                        QStringLiteral("A1"), QStringLiteral("A2"), QStringLiteral("A3"),
                                        QStringLiteral("L1")}));
        QVERIFY(nullTerms > 0 && nullTerms < 100);
        QVERIFY(nullGrades > 0 && nullGrades < 100);
        QVERIFY(hiragana > 0 && hiragana < 200);
    }

    void everyPrefectureSearchFindsRacers() {
        for (int prefecture = 1; prefecture <= 47; ++prefecture) {
            auto set =
                m_db->openRecordset(QStringLiteral("Q_選手"), {{QStringLiteral("所属ID"), prefecture}});
            QVERIFY2(set->recordCount() > 0, qPrintable(QString::number(prefecture)));
        }
    }

    void termsAndNumbersInOrder() {
        QList<qlonglong> terms;
        for (const QVariantList& row : rows(*m_db, QStringLiteral("Q_期"), {QStringLiteral("期")})) {
            QVERIFY(!row.at(0).isNull());
            terms.append(row.at(0).toLongLong());
        }
        QList<qlonglong> sorted = terms;
        std::sort(sorted.begin(), sorted.end());
        sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
        QCOMPARE(terms, sorted);
        QCOMPARE(terms.first(), 60);
        QCOMPARE(terms.last(), 127);

        QList<qlonglong> numbers;
        for (const QVariantList& row : rows(*m_db, QStringLiteral("Q_登番"), {QStringLiteral("登番")}))
            numbers.append(row.at(0).toLongLong());
        QVERIFY(std::is_sorted(numbers.begin(), numbers.end()));
    }

    void kanaInitials_data() {
        QTest::addColumn<QString>("reading");
        QTest::addColumn<int>("id"); // -1: null
        const struct {
            const char* tag;
            const char16_t* reading;
            int id;
        } cases[] = {
            {"katakana a", u"アイザワ", 0},
            {"hiragana a", u"あいざわ", 0},
            {"half-width a", u"ｱｲｻﾞﾜ", 0},
            {"katakana o", u"オノ", 4},
            {"katakana ka", u"カドクラ", 5},
            {"voiced ga", u"ガモウ", 5},
            {"hiragana voiced gi", u"ぎん", 6},
            {"half-width voiced ga", u"ｶﾞﾓｳ", 5},
            {"voiced za", u"ザイゼン", 10},
            {"voiced zo", u"ゾノ", 14},
            {"voiced da", u"ダイドウ", 15},
            {"voiced do", u"ドイ", 19},
            {"ta", u"タカ", 15},
            {"tsu", u"ツクシ", 17},
            {"small tsu", u"ッタ", 17},
            {"hiragana small tsu", u"っと", 17},
            {"na", u"ナグモ", 20},
            {"no", u"ノワキ", 24},
            {"ha", u"ハシバ", 25},
            {"voiced ba", u"バンドウ", 25},
            {"semi-voiced pa", u"パク", 25},
            {"hiragana semi-voiced po", u"ぽん", 29},
            {"half-width pi", u"ﾋﾟｱ", 26},
            {"he", u"ヘンミ", 28},
            {"ma", u"マカベ", 30},
            {"mo", u"モチヅキ", 34},
            {"ya", u"ヤクモ", 35},
            {"small ya", u"ャア", 35},
            {"yu", u"ユウキ", 37},
            {"hiragana small yu", u"ゅう", 37},
            {"yo", u"ヨコミネ", 39},
            {"half-width small yo", u"ｮｼ", 39},
            {"ra", u"ラチ", 40},
            {"ro", u"ロッカク", 44},
            {"wa", u"ワシオ", 45},
            {"small wa", u"ゎ", 45},
            {"n", u"ン", 49},
            {"half-width n", u"ﾝ", 49},
            {"small a", u"ぁ", 0},
            {"small ka", u"ヵ", 5},
            {"small ke", u"ヶ", 8},
            {"vu", u"ヴィ", 2},
            {"hiragana vu", u"ゔ", 2},
            {"wo", u"ヲ", 4},
            {"hiragana wo", u"を", 4},
            {"half-width wo", u"ｦ", 4},
            {"wi", u"ヰ", 1},
            {"we", u"ゑ", 3},
            {"kanji", u"山田", -1},
            {"latin", u"Abe", -1},
            {"long vowel", u"ーア", -1},
            {"blank", u" アイ", -1},
            {"half-width voicing mark", u"ﾞｱ", -1},
            {"empty", u"", -1},
        };
        for (const auto& c : cases)
            QTest::newRow(c.tag) << QString::fromUtf16(c.reading) << c.id;
    }
    void kanaInitials() {
        QFETCH(QString, reading);
        QFETCH(int, id);
        auto racers = m_db->openRecordset(QStringLiteral("Q_選手"));
        racers->edit();
        racers->setField(QStringLiteral("よみがな"), reading);
        racers->update();
        const QVariant kana = racers->field(QStringLiteral("よみがなID"));
        if (id < 0)
            QVERIFY2(kana.isNull(), qPrintable(kana.toString()));
        else
            QCOMPARE(kana, QVariant(qlonglong(id)));
    }

    // The lists the windows read in the views' order come from an index, not from a sort of the whole
    // table: with years of history, a sort at every opening is what makes a window slow.
    void listsAreReadWithoutSorting_data() {
        QTest::addColumn<QString>("query");
        QTest::newRow("history window's list")
            << u"SELECT 履歴ID, 調査年, 調査月, 調査日, 競輪場名, レースNO FROM Q_レース履歴"_s;
        QTest::newRow("statistics") << u"SELECT 履歴ID, 調査年, 調査月, 調査日, 競輪場ID, 競輪場名, 選手1, "
                                       u"生年1, 結果1, 選手9, 生日9, "
                                       u"結果9 FROM Q_レース履歴"_s;
        QTest::newRow("history export") << u"SELECT * FROM Q_レース履歴"_s;
        QTest::newRow("racers") << u"SELECT * FROM Q_選手"_s;
        QTest::newRow("racers of a term") << u"SELECT * FROM Q_選手 WHERE 期 = 80"_s;
        QTest::newRow("terms") << u"SELECT * FROM Q_期"_s;
        QTest::newRow("registration numbers") << u"SELECT * FROM Q_登番"_s;
    }
    void listsAreReadWithoutSorting() {
        QFETCH(QString, query);
        sqlite3* db = nullptr;
        QCOMPARE(sqlite3_open_v2(QFile::encodeName(m_dir.database()).constData(), &db, SQLITE_OPEN_READONLY,
                                 nullptr),
                 SQLITE_OK);
        sqlite3_stmt* plan = nullptr;
        const QByteArray sql = (u"EXPLAIN QUERY PLAN "_s + query).toUtf8();
        const int prepared = sqlite3_prepare_v2(db, sql.constData(), -1, &plan, nullptr);
        QStringList steps;
        while (prepared == SQLITE_OK && sqlite3_step(plan) == SQLITE_ROW)
            steps.append(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(plan, 3))));
        sqlite3_finalize(plan);
        sqlite3_close(db);
        QCOMPARE(prepared, SQLITE_OK);
        QVERIFY2(!steps.isEmpty() && !steps.join(QLatin1Char('\n')).contains(u"TEMP B-TREE"_s),
                 qPrintable(steps.join(QLatin1Char('\n'))));
    }

    void historyViewSlotsAndOrder() {
        auto racers = m_db->openRecordset(QStringLiteral("Q_選手"));
        const qlonglong racer = racers->field(QStringLiteral("選手ID")).toLongLong();
        const QVariant prefecture = racers->field(QStringLiteral("所属ID"));
        const QVariant name = racers->field(QStringLiteral("名前"));

        auto history = m_db->openRecordset(QStringLiteral("T_レース履歴"));
        // (year, month, day, velodrome, first slot's racer)
        const QList<QList<int>> races = {{1999, 12, 8, 1, int(racer)},
                                         {2000, 1, 5, 43, 0},
                                         {1999, 12, 8, 2, 0},
                                         {1998, 3, 31, 12, int(racer)}};
        for (const QList<int>& race : races) {
            history->addNew();
            history->setField(QStringLiteral("調査年"), race.at(0));
            history->setField(QStringLiteral("調査月"), race.at(1));
            history->setField(QStringLiteral("調査日"), race.at(2));
            history->setField(QStringLiteral("競輪場ID"), race.at(3));
            history->setField(QStringLiteral("レースNO"), 7);
            for (int n = 1; n <= 9; ++n)
                history->setField(QStringLiteral("選手%1").arg(n), n == 1 ? race.at(4) : 0);
            history->update();
        }
        QCOMPARE(history->recordCount(), 4);
        auto view = m_db->openRecordset(QStringLiteral("Q_レース履歴"));
        QCOMPARE(rows(*m_db, QStringLiteral("Q_レース履歴"), splitNames(u"履歴ID 競輪場名")),
                 (QList<QVariantList>{{2LL, QStringLiteral("熊本")},
                                      {3LL, QStringLiteral("青森")},
                                      {1LL, QStringLiteral("函館")},
                                      {4LL, QStringLiteral("松戸")}}));
        view->moveLast();
        QCOMPARE(view->field(QStringLiteral("所属ID1")), prefecture);
        QCOMPARE(view->field(QStringLiteral("名前1")), name);
        QCOMPARE(view->field(QStringLiteral("結果1")), QVariant(0LL));
        for (int n = 2; n <= 9; ++n) {
            const QString slot = QString::number(n);
            QCOMPARE(view->field(QStringLiteral("選手") + slot), QVariant(0LL));
            QCOMPARE(view->field(QStringLiteral("所属ID") + slot), QVariant(0LL));
            QVERIFY(!view->field(QStringLiteral("名前") + slot).isNull());
            QVERIFY(!view->field(QStringLiteral("期") + slot).isNull());
            QVERIFY(!view->field(QStringLiteral("生年") + slot).isNull());
            QCOMPARE(view->field(QStringLiteral("結果") + slot), QVariant(0LL));
        }
    }

    void historyIdIncreasesAndIsNotReused() {
        auto history = m_db->openRecordset(QStringLiteral("T_レース履歴"));
        QList<qlonglong> ids;
        for (int i = 0; i < 3; ++i) {
            history->addNew();
            history->setField(QStringLiteral("調査年"), 2001);
            history->update();
            history->moveLast();
            ids.append(history->field(QStringLiteral("履歴ID")).toLongLong());
        }
        QCOMPARE(ids, (QList<qlonglong>{1, 2, 3}));
        history->deleteCurrent();
        history->addNew();
        history->update();
        history->moveLast();
        QCOMPARE(history->field(QStringLiteral("履歴ID")).toLongLong(), 4);
        for (int n = 1; n <= 9; ++n)
            QCOMPARE(history->field(QStringLiteral("結果%1").arg(n)), QVariant(0LL));
    }

    void renumberedRacerAndVelodromeKeepTheirRaces() {
        auto racers = m_db->openRecordset(QStringLiteral("Q_選手"));
        const qlonglong racer = racers->field(QStringLiteral("選手ID")).toLongLong();
        auto history = m_db->openRecordset(QStringLiteral("T_レース履歴"));
        history->addNew();
        history->setField(QStringLiteral("競輪場ID"), 5);
        history->setField(QStringLiteral("選手3"), racer);
        history->update();

        racers->edit();
        racers->setField(QStringLiteral("選手ID"), 777);
        racers->update();
        auto velodromes = m_db->openRecordset(QStringLiteral("Q_競輪場"));
        QVERIFY(velodromes->findFirst(QStringLiteral("競輪場ID = 5")));
        velodromes->edit();
        velodromes->setField(QStringLiteral("競輪場ID"), 99);
        velodromes->update();

        auto view = m_db->openRecordset(QStringLiteral("Q_レース履歴"));
        QCOMPARE(view->field(QStringLiteral("選手3")).toLongLong(), 777);
        QCOMPARE(view->field(QStringLiteral("名前3")), racers->field(QStringLiteral("名前")));
        QCOMPARE(view->field(QStringLiteral("競輪場名")).toString(), QStringLiteral("前橋"));
    }

    // 0 in a race slot means "no racer": a racer numbered 0 is never joined to it, and renumbering
    // that racer leaves the empty slots alone. A deleted racer's slot keeps its number.
    void racerNumberZeroOwnsNoSlot() {
        auto racers = m_db->openRecordset(QStringLiteral("Q_選手"));
        const QVariant prefecture = racers->field(QStringLiteral("所属ID"));
        const qlonglong kept = racers->field(QStringLiteral("選手ID")).toLongLong();
        racers->moveNext();
        const qlonglong deleted = racers->field(QStringLiteral("選手ID")).toLongLong();
        racers->addNew();
        racers->setField(QStringLiteral("選手ID"), 0);
        racers->setField(QStringLiteral("名前"), QStringLiteral("零番"));
        racers->setField(QStringLiteral("よみがな"), QStringLiteral("れいばん"));
        racers->setField(QStringLiteral("所属ID"), prefecture);
        racers->setField(QStringLiteral("生年"), 1970);
        racers->setField(QStringLiteral("生月"), 1);
        racers->setField(QStringLiteral("生日"), 1);
        racers->update();

        auto history = m_db->openRecordset(QStringLiteral("T_レース履歴"));
        history->addNew();
        history->setField(QStringLiteral("選手1"), kept);
        history->setField(QStringLiteral("選手2"), 0);
        history->setField(QStringLiteral("選手3"), deleted);
        history->update();

        auto table = m_db->openRecordset(QStringLiteral("T_選手"));
        QVERIFY(table->findFirst(QStringLiteral("選手ID = %1").arg(deleted)));
        table->deleteCurrent();
        QVERIFY(table->findFirst(QStringLiteral("選手ID = 0")));
        table->edit();
        table->setField(QStringLiteral("選手ID"), 30000);
        table->update();

        auto view = m_db->openRecordset(QStringLiteral("Q_レース履歴"));
        QCOMPARE(view->field(QStringLiteral("選手1")).toLongLong(), kept);
        QCOMPARE(view->field(QStringLiteral("所属ID1")), prefecture);
        QCOMPARE(view->field(QStringLiteral("選手2")), QVariant(0LL));
        QCOMPARE(view->field(QStringLiteral("所属ID2")), QVariant(0LL));
        QCOMPARE(view->field(QStringLiteral("名前2")), QVariant(QString()));
        QCOMPARE(view->field(QStringLiteral("選手3")).toLongLong(), deleted);
        QCOMPARE(view->field(QStringLiteral("所属ID3")), QVariant(0LL));
        for (int n = 4; n <= 9; ++n)
            QCOMPARE(view->field(QStringLiteral("選手%1").arg(n)), QVariant(0LL));
    }

    void extractionList() {
        auto picks = m_db->openRecordset(QStringLiteral("T_選手抽出"));
        auto racers = m_db->openRecordset(QStringLiteral("Q_選手"));
        QList<qlonglong> ids;
        for (int i = 0; i < 3; ++i, racers->moveNext())
            ids.prepend(racers->field(QStringLiteral("選手ID")).toLongLong());
        for (qlonglong id : ids) { // added in descending order, listed ascending
            picks->addNew();
            picks->setField(QStringLiteral("選手ID"), id);
            picks->update();
        }
        picks->addNew();
        picks->setField(QStringLiteral("選手ID"), ids.first());
        QCOMPARE(testsupportError([&] { picks->update(); }), ErrorNumber::DuplicateKey);
        picks->cancelUpdate();
        // A pick needs a racer.
        picks->addNew();
        picks->setField(QStringLiteral("選手ID"), 5);
        QCOMPARE(testsupportError([&] { picks->update(); }), ErrorNumber::ConstraintFailed);
        picks->cancelUpdate();

        std::sort(ids.begin(), ids.end());
        auto listed = m_db->openRecordset(QStringLiteral("Q_選手抽出"));
        QList<qlonglong> listedIds;
        for (; !listed->eof(); listed->moveNext())
            listedIds.append(listed->field(QStringLiteral("選手ID")).toLongLong());
        QCOMPARE(listedIds, ids);
        auto table = m_db->openRecordset(QStringLiteral("T_選手抽出"));
        QCOMPARE(table->field(QStringLiteral("選手ID")).toLongLong(), ids.first());

        // Editing through the list changes the racer; deleting through it removes only the pick.
        listed->moveFirst();
        listed->edit();
        listed->setField(QStringLiteral("選手ID"), 4321);
        listed->setField(QStringLiteral("級"), QStringLiteral("S1"));
        listed->update();
        QCOMPARE(listed->field(QStringLiteral("選手ID")).toLongLong(), 4321);
        auto all = m_db->openRecordset(QStringLiteral("Q_選手"));
        QVERIFY(all->findFirst(QStringLiteral("選手ID = 4321")));
        QCOMPARE(all->field(QStringLiteral("級")).toString(), QStringLiteral("S1"));
        listed->deleteCurrent();
        QVERIFY(m_db->openRecordset(QStringLiteral("Q_選手"))->findFirst(QStringLiteral("選手ID = 4321")));
        QCOMPARE(m_db->openRecordset(QStringLiteral("T_選手抽出"))->recordCount(), 2);

        // Adding through the list picks a known racer; a racer already listed is a duplicate.
        listed->addNew();
        listed->setField(QStringLiteral("選手ID"), 4321);
        listed->update();
        listed->moveLast();
        QCOMPARE(listed->field(QStringLiteral("所属名")), all->field(QStringLiteral("所属名")));
        listed->addNew();
        listed->setField(QStringLiteral("選手ID"), 4321);
        QCOMPARE(testsupportError([&] { listed->update(); }), ErrorNumber::DuplicateKey);

        // A racer deleted from the master leaves the list too.
        all->deleteCurrent();
        QCOMPARE(m_db->openRecordset(QStringLiteral("T_選手抽出"))->recordCount(), 2);
    }

    void generatorIsDeterministicAndScales() {
        QTemporaryDir dir;
        const QString a = dir.filePath(QStringLiteral("a.mdb"));
        const QString b = dir.filePath(QStringLiteral("b.mdb"));
        const QString c = dir.filePath(QStringLiteral("c.mdb"));
        seed::createDatabase(a, 200, 7);
        seed::createDatabase(b, 200, 7);
        seed::createDatabase(c, 200, 8);
        const QStringList fields = splitNames(u"選手ID 名前 よみがな 期 級 所属ID 生年 生月 生日 血液型ID");
        Database da(a), db(b), dc(c);
        QCOMPARE(rows(da, QStringLiteral("T_選手"), fields), rows(db, QStringLiteral("T_選手"), fields));
        QVERIFY(rows(da, QStringLiteral("T_選手"), fields) != rows(dc, QStringLiteral("T_選手"), fields));
        QCOMPARE(testsupportError([&] { seed::createDatabase(a, 10, 7); }), ErrorNumber::StoreFailure);
        QCOMPARE(
            testsupportError([&] { seed::createDatabase(dir.filePath(QStringLiteral("d.mdb")), 32768, 7); }),
            ErrorNumber::Overflow);
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("d.mdb"))));
    }

    void fullSizeDatabaseOpensQuickly() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Korvane.mdb"));
        seed::createDatabase(path, seed::maximumRacerCount, 3);
        Database db(path);
        QElapsedTimer timer;
        timer.start();
        auto racers = db.openRecordset(QStringLiteral("Q_選手"));
        const qint64 elapsed = timer.elapsed();
        QCOMPARE(racers->recordCount(), 32767);
        QCOMPARE(racers->field(QStringLiteral("選手ID")).toLongLong(), 1);
        racers->moveLast();
        QCOMPARE(racers->field(QStringLiteral("選手ID")).toLongLong(), 32767);
        QVERIFY2(elapsed < 1000, qPrintable(QString::number(elapsed)));
    }

private:
    template <typename F> static int testsupportError(F&& action) {
        try {
            action();
        } catch (const KorvaneError& error) {
            return error.number();
        }
        return 0;
    }

    testsupport::ProgramDir m_dir;
    std::unique_ptr<Database> m_db;
};

QTEST_GUILESS_MAIN(SchemaTest)
#include "SchemaTest.moc"
