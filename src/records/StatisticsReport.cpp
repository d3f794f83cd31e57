// The history statistics in words and tables: the summary line, the window's two tables, and the
// report that the CSV export and korvane-cli write.
#include "core/Conversions.h"
#include "core/Csv.h"
#include "records/HistoryStatistics.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>

namespace history {

namespace {

QString percent(double fraction) {
    return QString::number(100 * fraction, 'f', 1) + QLatin1Char('%');
}

// A rate with its 95 % interval, "8.1% (4.7～13.7)"; empty for an empty group.
QString rateText(const Rate& rate) {
    if (rate.total == 0)
        return {};
    const Interval interval = wilsonInterval(rate.hits, rate.total);
    return QStringLiteral("%1 (%2～%3)")
        .arg(percent(static_cast<double>(rate.hits) / rate.total),
             QString::number(100 * interval.low, 'f', 1), QString::number(100 * interval.high, 'f', 1));
}

// A mean with the half width of its interval, "0.60±3.08"; one starter has a mean and no interval.
QString meanText(const Figures& f, int cycle, int position) {
    const int n = f.positionCount[position];
    if (n == 0)
        return {};
    const QString mean = conv::formatAmount(f.positionMean[cycle][position]);
    if (n == 1)
        return mean;
    return mean + QStringLiteral("±") + QString::number(f.positionMargin[cycle][position], 'f', 2);
}

QString correlationText(double r) {
    if (std::isnan(r))
        return {};
    if (std::abs(r) < 0.005)
        return QStringLiteral("0.00");
    return (r > 0 ? QStringLiteral("+") : QString()) + QString::number(r, 'f', 2);
}

// p as the window shows it: three places, and "<0.001" below them.
QString pText(double p) {
    return p < 0.001 ? QStringLiteral("<0.001") : QString::number(p, 'f', 3);
}

// p in a sentence: "p = 0.012", "p < 0.001".
QString pPhrase(double p) {
    return p < 0.001 ? QStringLiteral("p < 0.001") : QStringLiteral("p = ") + QString::number(p, 'f', 3);
}

// p for the files: enough places to recompute a correction.
QString pNumber(double p) {
    return p >= 0.0001 ? QString::number(p, 'f', 4) : QString::number(p, 'e', 2);
}

QString number(double value, int decimals) {
    return std::isnan(value) ? QString() : QString::number(value, 'f', decimals);
}

QString methodText(TestMethod method) {
    switch (method) {
    case TestMethod::Exact:
        return QStringLiteral("正確");
    case TestMethod::Permutation:
        return QStringLiteral("並べ替え %1 回").arg(RankPermutations);
    case TestMethod::Normal:
        break;
    }
    return QStringLiteral("正規近似");
}

QString dateText(int key) {
    return QStringLiteral("%1.%2.%3")
        .arg(key / 10000, 4, 10, QLatin1Char('0'))
        .arg(key / 100 % 100, 2, 10, QLatin1Char('0'))
        .arg(key % 100, 2, 10, QLatin1Char('0'));
}

QString cautionClaim(int k, const CycleFigures& cycle) {
    const Rate& caution = cycle.caution[0];
    const Rate& other = cycle.other[0];
    const double cautionRate = static_cast<double>(caution.hits) / caution.total;
    const double otherRate = static_cast<double>(other.hits) / other.total;
    return QStringLiteral(
               "%1の要注意日の選手は1着率が%2なっています（要注意日 %3、その他の日 %4、補正後 %5）。")
        .arg(cycleName(k), cautionRate > otherRate ? QStringLiteral("高く") : QStringLiteral("低く"),
             percent(cautionRate), percent(otherRate), pPhrase(cycle.pCaution));
}

QString rankClaim(int k, const CycleFigures& cycle) {
    return QStringLiteral("%1の評価値が%2選手ほど着順が上です（順位相関 %3、補正後 %4）。")
        .arg(cycleName(k), cycle.rankCorrelation > 0 ? QStringLiteral("高い") : QStringLiteral("低い"),
             correlationText(cycle.rankCorrelation), pPhrase(cycle.pRank));
}

} // namespace

QString summaryLine(const Figures& figures) {
    // Picking one velodrome or period out of many finds chance patterns in some of them.
    const QString subsetNote =
        figures.subset
            ? QStringLiteral(
                  "絞り込んだ一部のレースです。多くの絞り込みを見れば、偶然の偏りもどれかに現れます。")
            : QString();
    if (figures.races < EnoughRaces)
        return QStringLiteral("着順のあるレースは %1 件です。データが足りません（%2 件以上で傾向を見ます）。")
                   .arg(figures.races)
                   .arg(EnoughRaces) +
               subsetNote;
    QString claims;
    QStringList thin;
    for (int k = 0; k < CycleCount; ++k) {
        const CycleFigures& cycle = figures.cycles[k];
        if (!cycle.enough)
            thin << cycleName(k);
        if (cycle.claimCaution)
            claims += cautionClaim(k, cycle);
        if (cycle.claimRank)
            claims += rankClaim(k, cycle);
    }
    QString line = QStringLiteral("着順のあるレース %1 件では、").arg(figures.races) +
                   (claims.isEmpty() ? QStringLiteral("バイオリズムと着順の関係は見られません。") : claims);
    if (!thin.isEmpty())
        line += QStringLiteral("%1はデータが足りません（要注意日の出走が %2 人未満）。")
                    .arg(thin.join(QStringLiteral("・")))
                    .arg(EnoughCautionStarters);
    return line + subsetNote;
}

QList<QStringList> figureTable(const Figures& figures) {
    QList<QStringList> table;
    table << QStringList{QStringLiteral("着順"), QStringLiteral("人数"), cycleName(0), cycleName(1),
                         cycleName(2)};
    for (int p = 0; p < PositionCount; ++p) {
        QStringList row{QString::number(p + 1) + QStringLiteral("着"),
                        QString::number(figures.positionCount[p])};
        for (int k = 0; k < CycleCount; ++k)
            row << meanText(figures, k, p);
        table << row;
    }
    return table;
}

QList<QStringList> testTable(const Figures& figures) {
    QList<QStringList> table;
    table << QStringList{QStringLiteral("周期"),    QStringLiteral("区分"),     QStringLiteral("人数"),
                         QStringLiteral("1着率"),   QStringLiteral("2連対率"),  QStringLiteral("3連対率"),
                         QStringLiteral("1着 p値"), QStringLiteral("順位相関"), QStringLiteral("相関 p値")};
    for (int k = 0; k < CycleCount; ++k) {
        const CycleFigures& cycle = figures.cycles[k];
        const bool any = figures.races > 0;
        QStringList caution{cycleName(k), QStringLiteral("要注意日"),
                            QString::number(cycle.caution[0].total)};
        QStringList other{QString(), QStringLiteral("その他の日"), QString::number(cycle.other[0].total)};
        QStringList chance{QString(), QStringLiteral("偶然なら"), QString()};
        for (int j = 0; j < PlaceCount; ++j) {
            caution << rateText(cycle.caution[j]);
            other << rateText(cycle.other[j]);
            chance << (std::isnan(cycle.expected[j]) ? QString() : percent(cycle.expected[j]));
        }
        caution << (any ? pText(cycle.pCaution) : QString()) << correlationText(cycle.rankCorrelation)
                << (any ? pText(cycle.pRank) : QString());
        other << QString() << QString() << QString();
        chance << QString() << QString() << QString();
        table << caution << other << chance;
    }
    return table;
}

QString describeFilter(const std::vector<CountedRace>& races, const StatisticsFilter& filter) {
    QString venue = QStringLiteral("全競輪場");
    if (filter.venueId) {
        venue = QStringLiteral("競輪場ID %1").arg(*filter.venueId);
        for (const CountedRace& race : races) {
            if (race.venueId == *filter.venueId && !race.venueName.trimmed().isEmpty()) {
                venue = race.venueName.trimmed();
                break;
            }
        }
    }
    const bool from = filter.fromKey > 0;
    const bool to = filter.toKey < 99991231;
    const QString period = from || to ? (from ? dateText(filter.fromKey) : QString()) + QStringLiteral("～") +
                                            (to ? dateText(filter.toKey) : QString())
                                      : QStringLiteral("全期間");
    return QStringLiteral("競輪場 %1、調査日 %2").arg(venue, period);
}

QList<QStringList> reportTable(const Figures& figures, const QString& filterText) {
    QList<QStringList> table;
    table << QStringList{QStringLiteral("条件"), filterText};
    table << QStringList{QStringLiteral("着順のあるレース"), QString::number(figures.races)};
    table << QStringList{QStringLiteral("出走者"), QString::number(figures.starters)};
    table << QStringList{QStringLiteral("レースより後に生まれて除いた選手"), QString::number(figures.unborn)};
    table << QStringList{QStringLiteral("要約"), summaryLine(figures)};
    table << QStringList{};

    QStringList heading{QStringLiteral("着順"), QStringLiteral("人数")};
    for (int k = 0; k < CycleCount; ++k)
        heading << cycleName(k) + QStringLiteral(" 平均") << cycleName(k) + QStringLiteral(" 95%下限")
                << cycleName(k) + QStringLiteral(" 95%上限");
    table << heading;
    for (int p = 0; p < PositionCount; ++p) {
        const int n = figures.positionCount[p];
        QStringList row{QString::number(p + 1) + QStringLiteral("着"), QString::number(n)};
        for (int k = 0; k < CycleCount; ++k) {
            const double mean = figures.positionMean[k][p];
            const double margin = figures.positionMargin[k][p];
            row << (n > 0 ? number(mean, 4) : QString()) << (n > 1 ? number(mean - margin, 4) : QString())
                << (n > 1 ? number(mean + margin, 4) : QString());
        }
        table << row;
    }
    table << QStringList{};

    heading = QStringList{QStringLiteral("周期"), QStringLiteral("区分"), QStringLiteral("人数")};
    const QString places[PlaceCount] = {QStringLiteral("1着"), QStringLiteral("2着以内"),
                                        QStringLiteral("3着以内")};
    const QString rates[PlaceCount] = {QStringLiteral("1着率"), QStringLiteral("2連対率"),
                                       QStringLiteral("3連対率")};
    for (int j = 0; j < PlaceCount; ++j)
        heading << places[j] << rates[j] << QStringLiteral("95%下限") << QStringLiteral("95%上限");
    table << heading;
    const auto rateCells = [](const Rate& rate) {
        if (rate.total == 0)
            return QStringList{QString::number(rate.hits), QString(), QString(), QString()};
        const Interval interval = wilsonInterval(rate.hits, rate.total);
        return QStringList{QString::number(rate.hits), percent(static_cast<double>(rate.hits) / rate.total),
                           percent(interval.low), percent(interval.high)};
    };
    for (int k = 0; k < CycleCount; ++k) {
        const CycleFigures& cycle = figures.cycles[k];
        QStringList caution{cycleName(k), QStringLiteral("要注意日"),
                            QString::number(cycle.caution[0].total)};
        QStringList other{cycleName(k), QStringLiteral("その他の日"), QString::number(cycle.other[0].total)};
        QStringList chance{cycleName(k), QStringLiteral("偶然なら（要注意日の出走者）"),
                           QString::number(cycle.caution[0].total)};
        for (int j = 0; j < PlaceCount; ++j) {
            caution << rateCells(cycle.caution[j]);
            other << rateCells(cycle.other[j]);
            chance << QString() << (std::isnan(cycle.expected[j]) ? QString() : percent(cycle.expected[j]))
                   << QString() << QString();
        }
        table << caution << other << chance;
    }
    table << QStringList{};

    table << QStringList{QStringLiteral("周期"),           QStringLiteral("要注意日と1着 p値"),
                         QStringLiteral("補正後 p値"),     QStringLiteral("方法"),
                         QStringLiteral("順位相関"),       QStringLiteral("順位相関 p値"),
                         QStringLiteral("補正後 p値"),     QStringLiteral("方法"),
                         QStringLiteral("データが足りる"), QStringLiteral("関係あり")};
    const auto yesNo = [](bool yes) { return yes ? QStringLiteral("はい") : QStringLiteral("いいえ"); };
    for (int k = 0; k < CycleCount; ++k) {
        const CycleFigures& cycle = figures.cycles[k];
        table << QStringList{cycleName(k),
                             pNumber(cycle.cautionTest.p),
                             pNumber(cycle.pCaution),
                             methodText(cycle.cautionTest.method),
                             number(cycle.rankCorrelation, 4),
                             pNumber(cycle.rankTest.p),
                             pNumber(cycle.pRank),
                             methodText(cycle.rankTest.method),
                             yesNo(cycle.enough),
                             yesNo(cycle.claim())};
    }
    return table;
}

QByteArray tableCsv(const QList<QStringList>& table) {
    return csv::document(table);
}

QString reportText(const Figures& figures, const QString& filterText) {
    QString text;
    for (const QStringList& row : reportTable(figures, filterText))
        text += row.join(QLatin1Char('\t')) + QLatin1Char('\n');
    return text;
}

QByteArray reportJson(const Figures& figures) {
    const auto value = [](double v) { return std::isnan(v) ? QJsonValue(QJsonValue::Null) : QJsonValue(v); };
    const auto rate = [](const Rate& r) {
        return r.total == 0 ? QJsonValue(QJsonValue::Null)
                            : QJsonValue(static_cast<double>(r.hits) / r.total);
    };
    QJsonArray cycles;
    for (int k = 0; k < CycleCount; ++k) {
        const CycleFigures& cycle = figures.cycles[k];
        cycles.append(QJsonObject{{QStringLiteral("name"), cycleName(k)},
                                  {QStringLiteral("caution_win_rate"), rate(cycle.caution[0])},
                                  {QStringLiteral("other_win_rate"), rate(cycle.other[0])},
                                  {QStringLiteral("expected_win_rate"), value(cycle.expected[0])},
                                  {QStringLiteral("rank_correlation"), value(cycle.rankCorrelation)},
                                  {QStringLiteral("p_caution"), cycle.pCaution},
                                  {QStringLiteral("p_rank"), cycle.pRank},
                                  {QStringLiteral("claim"), cycle.claim()}});
    }
    const QJsonObject root{{QStringLiteral("races"), figures.races},
                           {QStringLiteral("starters"), figures.starters},
                           {QStringLiteral("cycles"), cycles},
                           {QStringLiteral("summary"), summaryLine(figures)}};
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

} // namespace history
