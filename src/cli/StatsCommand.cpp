#include "cli/StatsCommand.h"

#include "core/Errors.h"
#include "records/HistoryStatistics.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDate>
#include <QTextStream>
#include <optional>
#include <utility>

namespace cli {

namespace {

const QString Usage = QStringLiteral(
    "使い方: korvane-cli stats [--database PATH] [--velodrome ID] [--from YYYY-MM-DD] [--to YYYY-MM-DD] "
    "[--format text|json]");

int refuse(QTextStream& err, const QString& message) {
    err << message << '\n' << Usage << '\n';
    err.flush();
    return 1;
}

// A date option as the key the filter compares, or nothing when the text is not a date.
std::optional<int> dateKey(const QString& text) {
    const QDate date = QDate::fromString(text, Qt::ISODate);
    if (!date.isValid() || text.size() != 10)
        return std::nullopt;
    return date.year() * 10000 + date.month() * 100 + date.day();
}

} // namespace

int runStatsCommand(const QStringList& arguments, QTextStream& out, QTextStream& err) {
    QCommandLineParser parser;
    const QCommandLineOption database(QStringLiteral("database"), QString(), QStringLiteral("PATH"));
    const QCommandLineOption velodrome(QStringLiteral("velodrome"), QString(), QStringLiteral("ID"));
    const QCommandLineOption from(QStringLiteral("from"), QString(), QStringLiteral("YYYY-MM-DD"));
    const QCommandLineOption to(QStringLiteral("to"), QString(), QStringLiteral("YYYY-MM-DD"));
    const QCommandLineOption format(QStringLiteral("format"), QString(), QStringLiteral("text|json"),
                                    QStringLiteral("text"));
    parser.addOptions({database, velodrome, from, to, format});
    // The parser takes the first word for the program's name.
    if (!parser.parse(QStringList{QStringLiteral("stats")} + arguments)) {
        if (!parser.unknownOptionNames().isEmpty())
            return refuse(
                err,
                QStringLiteral("知らないオプションです: %1").arg(parser.unknownOptionNames().join(u' ')));
        return refuse(err, QStringLiteral("オプションの値がありません。"));
    }
    if (!parser.positionalArguments().isEmpty())
        return refuse(err, QStringLiteral("余分な引数です: %1").arg(parser.positionalArguments().join(u' ')));

    history::StatisticsFilter filter;
    if (parser.isSet(velodrome)) {
        bool ok = false;
        const short id = parser.value(velodrome).toShort(&ok);
        if (!ok)
            return refuse(
                err, QStringLiteral("競輪場IDは整数で指定してください: %1").arg(parser.value(velodrome)));
        filter.venueId = id;
    }
    for (const auto& [option, key] : {std::pair{&from, &filter.fromKey}, std::pair{&to, &filter.toKey}}) {
        if (!parser.isSet(*option))
            continue;
        const std::optional<int> parsed = dateKey(parser.value(*option));
        if (!parsed)
            return refuse(
                err,
                QStringLiteral("日付は YYYY-MM-DD の形で指定してください: %1").arg(parser.value(*option)));
        *key = *parsed;
    }
    if (filter.fromKey > filter.toKey)
        return refuse(err, QStringLiteral("調査日の範囲が逆です。--from を --to より前にしてください。"));
    const QString kind = parser.value(format);
    if (kind != QStringLiteral("text") && kind != QStringLiteral("json"))
        return refuse(err, QStringLiteral("--format は text か json です: %1").arg(kind));

    const QString path = parser.isSet(database)
                             ? parser.value(database)
                             : QCoreApplication::applicationDirPath() + QStringLiteral("/Korvane.mdb");
    std::vector<history::CountedRace> races;
    try {
        races = history::loadCountedRaces(path);
    } catch (const KorvaneError& error) {
        err << QStringLiteral("データベース %1 を使えません。\n%2").arg(path, error.description()) << '\n';
        err.flush();
        return 2;
    }
    const history::Figures figures = history::computeFigures(races, filter);
    if (kind == QStringLiteral("json"))
        out << QString::fromUtf8(history::reportJson(figures));
    else
        out << history::reportText(figures, history::describeFilter(races, filter));
    out.flush();
    return 0;
}

} // namespace cli
