#include "store/SeedDatabase.h"

#include "core/Errors.h"
#include "store/StoreInternal.h"

#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <array>
#include <vector>

namespace seed {

namespace {

// A small generator of our own, so that the racers do not depend on the standard library's
// distributions.
class SplitMix {
public:
    explicit SplitMix(quint64 seed)
        : m_state(seed) {}
    quint64 next() {
        quint64 z = (m_state += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    // Uniform in [low, high].
    int between(int low, int high) {
        return low + static_cast<int>(next() % static_cast<quint64>(high - low + 1));
    }
    // True with the given chance in percent.
    bool percent(int chance) { return between(1, 100) <= chance; }

private:
    quint64 m_state;
};

struct NamePart {
    const char16_t* kanji;
    const char16_t* kana;
};

// Names are combined at random from these parts, so the racers are made up.
constexpr std::array surnames{
    NamePart{u"相沢", u"アイザワ"},   NamePart{u"秋葉", u"アキバ"},     NamePart{u"浅海", u"アサミ"},
    NamePart{u"天野", u"アマノ"},     NamePart{u"五十嵐", u"イガラシ"}, NamePart{u"池端", u"イケハタ"},
    NamePart{u"稲穂", u"イナホ"},     NamePart{u"岩城", u"イワキ"},     NamePart{u"猪狩", u"イガリ"},
    NamePart{u"上杉", u"ウエスギ"},   NamePart{u"内海", u"ウツミ"},     NamePart{u"梅園", u"ウメゾノ"},
    NamePart{u"江波", u"エナミ"},     NamePart{u"大角", u"オオスミ"},   NamePart{u"小野寺", u"オノデラ"},
    NamePart{u"織部", u"オリベ"},     NamePart{u"角倉", u"カドクラ"},   NamePart{u"鏑木", u"カブラギ"},
    NamePart{u"川霧", u"カワギリ"},   NamePart{u"桐生", u"キリュウ"},   NamePart{u"吉良", u"キラ"},
    NamePart{u"久我", u"クガ"},       NamePart{u"雲井", u"クモイ"},     NamePart{u"剣持", u"ケンモチ"},
    NamePart{u"木暮", u"コグレ"},     NamePart{u"権田", u"ゴンダ"},     NamePart{u"財前", u"ザイゼン"},
    NamePart{u"榊", u"サカキ"},       NamePart{u"佐久間", u"サクマ"},   NamePart{u"椎名", u"シイナ"},
    NamePart{u"東雲", u"シノノメ"},   NamePart{u"須藤", u"スドウ"},     NamePart{u"瀬川", u"セガワ"},
    NamePart{u"関根", u"セキネ"},     NamePart{u"園部", u"ソノベ"},     NamePart{u"大道", u"ダイドウ"},
    NamePart{u"高坂", u"タカサカ"},   NamePart{u"千早", u"チハヤ"},     NamePart{u"筑紫", u"ツクシ"},
    NamePart{u"手塚", u"テヅカ"},     NamePart{u"土岐", u"トキ"},       NamePart{u"藤堂", u"トウドウ"},
    NamePart{u"中条", u"ナカジョウ"}, NamePart{u"南雲", u"ナグモ"},     NamePart{u"新見", u"ニイミ"},
    NamePart{u"沼尻", u"ヌマジリ"},   NamePart{u"根岸", u"ネギシ"},     NamePart{u"野分", u"ノワキ"},
    NamePart{u"羽柴", u"ハシバ"},     NamePart{u"坂東", u"バンドウ"},   NamePart{u"氷室", u"ヒムロ"},
    NamePart{u"日向", u"ヒナタ"},     NamePart{u"二見", u"フタミ"},     NamePart{u"舟木", u"フナキ"},
    NamePart{u"逸見", u"ヘンミ"},     NamePart{u"星野", u"ホシノ"},     NamePart{u"堀川", u"ホリカワ"},
    NamePart{u"真壁", u"マカベ"},     NamePart{u"三雲", u"ミクモ"},     NamePart{u"武藤", u"ムトウ"},
    NamePart{u"村雨", u"ムラサメ"},   NamePart{u"目黒", u"メグロ"},     NamePart{u"望月", u"モチヅキ"},
    NamePart{u"八雲", u"ヤクモ"},     NamePart{u"柳生", u"ヤギュウ"},   NamePart{u"結城", u"ユウキ"},
    NamePart{u"湯川", u"ユカワ"},     NamePart{u"横峯", u"ヨコミネ"},   NamePart{u"林道", u"リンドウ"},
    NamePart{u"冷泉", u"レイゼイ"},   NamePart{u"六角", u"ロッカク"},   NamePart{u"若狭", u"ワカサ"},
    NamePart{u"鷲尾", u"ワシオ"},     NamePart{u"渡会", u"ワタライ"},   NamePart{u"北斗", u"ホクト"},
};

constexpr std::array maleNames{
    NamePart{u"一馬", u"カズマ"},     NamePart{u"蒼", u"アオイ"},
    NamePart{u"颯太", u"ソウタ"},     NamePart{u"隼人", u"ハヤト"},
    NamePart{u"拓真", u"タクマ"},     NamePart{u"翔", u"ショウ"},
    NamePart{u"航", u"ワタル"},       NamePart{u"陸斗", u"リクト"},
    NamePart{u"大輝", u"ダイキ"},     NamePart{u"健吾", u"ケンゴ"},
    NamePart{u"慎也", u"シンヤ"},     NamePart{u"誠", u"マコト"},
    NamePart{u"亮介", u"リョウスケ"}, NamePart{u"崇", u"タカシ"},
    NamePart{u"俊彦", u"トシヒコ"},   NamePart{u"雅人", u"マサト"},
    NamePart{u"和也", u"カズヤ"},     NamePart{u"勇気", u"ユウキ"},
    NamePart{u"悠真", u"ユウマ"},     NamePart{u"直樹", u"ナオキ"},
    NamePart{u"浩二", u"コウジ"},     NamePart{u"剛", u"ツヨシ"},
    NamePart{u"稔", u"ミノル"},       NamePart{u"聡", u"サトシ"},
    NamePart{u"英樹", u"ヒデキ"},     NamePart{u"光太郎", u"コウタロウ"},
    NamePart{u"源太", u"ゲンタ"},     NamePart{u"秀平", u"シュウヘイ"},
    NamePart{u"智之", u"トモユキ"},   NamePart{u"晃", u"アキラ"},
    NamePart{u"恭平", u"キョウヘイ"}, NamePart{u"龍之介", u"リュウノスケ"},
    NamePart{u"一輝", u"カズキ"},     NamePart{u"豪", u"ゴウ"},
    NamePart{u"圭", u"ケイ"},         NamePart{u"陽平", u"ヨウヘイ"},
    NamePart{u"達也", u"タツヤ"},     NamePart{u"将吾", u"ショウゴ"},
    NamePart{u"忠", u"タダシ"},       NamePart{u"徹", u"トオル"},
};

constexpr std::array femaleNames{
    NamePart{u"美咲", u"ミサキ"}, NamePart{u"彩", u"アヤ"},   NamePart{u"遥", u"ハルカ"},
    NamePart{u"葵", u"アオイ"},   NamePart{u"真由", u"マユ"}, NamePart{u"千尋", u"チヒロ"},
    NamePart{u"菜摘", u"ナツミ"}, NamePart{u"理沙", u"リサ"}, NamePart{u"紗希", u"サキ"},
    NamePart{u"朋美", u"トモミ"}, NamePart{u"由佳", u"ユカ"}, NamePart{u"瞳", u"ヒトミ"},
    NamePart{u"梓", u"アズサ"},   NamePart{u"楓", u"カエデ"}, NamePart{u"恵", u"メグミ"},
};

constexpr int prefectureCount = 47;
constexpr int firstTerm = 60;
constexpr int lastTerm = 127;

QString text(const char16_t* s) {
    return QString::fromUtf16(s);
}

// Katakana to hiragana, for the few readings kept in hiragana.
QString toHiragana(const QString& katakana) {
    QString result = katakana;
    for (QChar& c : result)
        if (c.unicode() >= 0x30A1 && c.unicode() <= 0x30F6)
            c = QChar(static_cast<char16_t>(c.unicode() - 0x60));
    return result;
}

// The year a term made its debut: about 1.8 terms a year from term 60 in 1987.
int debutYear(int term) {
    return 1987 + (term - firstTerm) * 38 / (lastTerm - firstTerm);
}

QString grade(SplitMix& random) {
    const int roll = random.between(1, 1000);
    if (roll <= 10)
        return QStringLiteral("SS");
    if (roll <= 190)
        return QStringLiteral("S1");
    if (roll <= 410)
        return QStringLiteral("S2");
    if (roll <= 610)
        return QStringLiteral("A1");
    if (roll <= 790)
        return QStringLiteral("A2");
    if (roll <= 950)
        return QStringLiteral("A3");
    if (roll <= 990)
        return QStringLiteral("L1");
    return {};
}

int bloodType(SplitMix& random) {
    const int roll = random.between(1, 10); // A 4, B 2, O 3, AB 1 in ten
    return roll <= 4 ? 1 : roll <= 6 ? 2 : roll <= 9 ? 3 : 4;
}

// racerCount distinct IDs: five-digit numbers while they suffice.
std::vector<int> racerIds(int racerCount, SplitMix& random) {
    const int low = racerCount <= 32767 - 10000 + 1 ? 10000 : 1;
    std::vector<int> pool(static_cast<size_t>(32767 - low + 1));
    for (size_t i = 0; i < pool.size(); ++i)
        pool[i] = low + static_cast<int>(i);
    for (int i = 0; i < racerCount; ++i) {
        const int j = random.between(i, static_cast<int>(pool.size()) - 1);
        std::swap(pool[static_cast<size_t>(i)], pool[static_cast<size_t>(j)]);
    }
    pool.resize(static_cast<size_t>(racerCount));
    std::sort(pool.begin(), pool.end());
    return pool;
}

void insertRacers(store::Connection& connection, int racerCount, quint32 seed) {
    SplitMix random(seed);
    const std::vector<int> ids = racerIds(racerCount, random);
    store::Statement insert(
        connection,
        QStringLiteral("INSERT INTO T_選手 (選手ID, 名前, よみがな, よみがな１桁, 期, 級, 所属ID, "
                       "生年, 生月, 生日, 血液型ID) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    for (int i = 0; i < racerCount; ++i) {
        // The first racers cover every prefecture once; the rest are spread at random.
        const int prefecture = i < prefectureCount ? i + 1 : random.between(1, prefectureCount);
        const QString klass = grade(random);
        const NamePart& surname =
            surnames[static_cast<size_t>(random.between(0, static_cast<int>(surnames.size()) - 1))];
        const NamePart& given =
            klass == QLatin1String("L1")
                ? femaleNames[static_cast<size_t>(
                      random.between(0, static_cast<int>(femaleNames.size()) - 1))]
                : maleNames[static_cast<size_t>(random.between(0, static_cast<int>(maleNames.size()) - 1))];
        QString reading = text(surname.kana) + text(given.kana);
        if (random.percent(3))
            reading = toHiragana(reading);
        const bool termKnown = !random.percent(1);
        const int term = random.between(firstTerm, lastTerm);
        const int birthYear =
            termKnown ? debutYear(term) - random.between(19, 24) : random.between(1962, 2004);
        const int birthMonth = random.between(1, 12);
        const int birthDay = random.between(1, QDate(birthYear, birthMonth, 1).daysInMonth());

        insert.reset();
        insert.bind(1, ids[static_cast<size_t>(i)]);
        insert.bind(2, text(surname.kanji) + text(given.kanji));
        insert.bind(3, reading);
        insert.bind(4, reading.left(1));
        insert.bind(5, termKnown ? QVariant(term) : QVariant());
        insert.bind(6, klass.isEmpty() ? QVariant() : QVariant(klass));
        insert.bind(7, prefecture);
        insert.bind(8, birthYear);
        insert.bind(9, birthMonth);
        insert.bind(10, birthDay);
        insert.bind(11, bloodType(random));
        insert.step();
    }
}

} // namespace

void createDatabase(const QString& path, int racerCount, quint32 seed) {
    if (racerCount < 0 || racerCount > maximumRacerCount)
        store::raise(ErrorNumber::Overflow,
                     QStringLiteral("選手数は 0 から %1 までです。").arg(maximumRacerCount));
    if (QFileInfo::exists(path))
        store::raise(ErrorNumber::StoreFailure, QStringLiteral("ファイル '%1' は既にあります。").arg(path));
    try {
        auto connection = store::openConnection(path, true);
        connection->execute(QStringLiteral("BEGIN"));
        for (const QString& script : {QStringLiteral("schema.sql"), QStringLiteral("kana.sql"),
                                      QStringLiteral("views.sql"), QStringLiteral("masters.sql")})
            connection->execute(store::resourceText(script));
        insertRacers(*connection, racerCount, seed);
        connection->execute(QStringLiteral("COMMIT"));
        connection->close();
    } catch (...) {
        // A half-made file is of no use to anyone.
        QFile::remove(path);
        throw;
    }
}

} // namespace seed
