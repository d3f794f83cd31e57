#include "cli/Commands.h"

#include "cli/RepairCommand.h"
#include "cli/StatsCommand.h"
#include "core/AppState.h"
#include "core/Csv.h"
#include "core/Errors.h"
#include "core/SingleInstance.h"
#include "records/HistoryCsv.h"
#include "records/MasterCsv.h"
#include "records/RacerCsv.h"
#include "store/Database.h"
#include "store/Recordset.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QTextStream>
#include <cstdio>
#include <memory>
#include <utility>

namespace cli {

namespace {

void write(std::FILE* stream, const QString& text) {
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
}

// A result line on standard output, a message on standard error.
void say(const QString& text) {
    write(stdout, text + QLatin1Char('\n'));
}
void complain(const QString& text) {
    write(stderr, text + QLatin1Char('\n'));
}

QString shownPath(const QString& path) {
    return QDir::toNativeSeparators(path);
}

struct Command {
    const char16_t* name;
    const char16_t* usage;
    int (*run)(const Options&);
};

// Each command is one function here; a new command is one more row.
const Command Commands[] = {
    {u"export", u"export racers|velodromes|roster|history FILE [--database PATH]", exportTable},
    {u"import", u"import racers|velodromes|roster FILE [--database PATH] [--dry-run]", importTable},
    {u"check", u"check [--database PATH]", checkDatabase},
};

// Listed with the others; run() hands them their own words.
const char16_t* const OwnWordsUsage =
    u"stats [--database PATH] [--velodrome ID] [--from YYYY-MM-DD] [--to YYYY-MM-DD] [--format text|json]\n"
    u"  korvane-cli repair [--database PATH] [--yes]";

QString usage() {
    QString text = QStringLiteral("使い方:\n");
    for (const Command& command : Commands)
        text += QStringLiteral("  korvane-cli ") + QString::fromUtf16(command.usage) + QLatin1Char('\n');
    return text + QStringLiteral("  korvane-cli ") + QString::fromUtf16(OwnWordsUsage) + QLatin1Char('\n');
}

QString helpText() {
    return usage() +
           QStringLiteral(
               "\nコルヴァンの表を CSV ファイルに書き出し、CSV "
               "ファイルから取り込みます（窓の「ﾌｧｲﾙ」メニューと同じ"
               "処理です）。\n"
               "  export   表を FILE に書き出します（UTF-8、BOM 付き）。\n"
               "  import   FILE を調べて結果を表示し、不採用の行がなければすべての行を書き込みます"
               "（一行でも不採用なら何も書き込みません）。\n"
               "  check    データベースの整合性とスキーマの版を調べます。\n"
               "  stats    バイオリズム統計の数字を表示します（--format json で JSON）。\n"
               "  repair   今の規則で保存できない値を一覧し、--yes で控えを残してから空（不明）にします。\n"
               "\nオプション:\n"
               "  --database PATH  使うデータベース（既定はこのプログラムと同じフォルダの Korvane.mdb）\n"
               "  --dry-run        調べて表示するだけで、書き込みません。\n"
               "  -h, --help       この説明を表示します。\n"
               "  -v, --version    版を表示します。\n"
               "\n終了コード: 0 成功、1 不採用の行がある（または整合性に問題がある）、2 ファイルや"
               "データベースを使えない。\n");
}

// The table a name stands for, or none.
std::unique_ptr<records::TableCsv> tableNamed(const QString& name) {
    if (name == QLatin1String("racers"))
        return std::make_unique<records::RacerCsv>();
    if (name == QLatin1String("velodromes"))
        return std::make_unique<records::VelodromeCsv>();
    if (name == QLatin1String("roster"))
        return std::make_unique<records::RosterCsv>();
    return nullptr;
}

std::unique_ptr<Database> openDatabase(const QString& path) {
    try {
        return std::make_unique<Database>(path);
    } catch (const KorvaneError& error) {
        complain(
            QStringLiteral("データベース %1 を開けません。\n%2").arg(shownPath(path), error.description()));
        return nullptr;
    }
}

void showCheck(const QString& path, const records::CsvCheck& check) {
    say(QStringLiteral("ファイル: %1").arg(shownPath(path)));
    say(QStringLiteral("新規: %1 件").arg(check.added));
    say(QStringLiteral("変更: %1 件").arg(check.changed));
    say(QStringLiteral("変更なし: %1 件").arg(check.unchanged));
    say(QStringLiteral("不採用: %1 件").arg(check.rejected));
    if (!check.ignoredColumns.isEmpty())
        say(QStringLiteral("読み込まない列: %1").arg(check.ignoredColumns.join(QStringLiteral("、"))));
    for (const records::CsvRejection& rejection : check.rejections)
        say(QStringLiteral("%1 行目\t%2\t%3").arg(rejection.line).arg(rejection.column, rejection.reason));
}

} // namespace

int exportTable(const Options& options) {
    if (options.arguments.size() != 2 || options.dryRun) {
        complain(usage());
        return Unusable;
    }
    const QString& name = options.arguments.at(0);
    const QString& path = options.arguments.at(1);
    const std::unique_ptr<records::TableCsv> table = tableNamed(name);
    if (!table && name != QLatin1String("history")) {
        complain(QStringLiteral("表「%1」はありません（racers, velodromes, roster, history のどれかです）。")
                     .arg(name));
        return Unusable;
    }
    const std::unique_ptr<Database> db = openDatabase(options.database);
    if (!db)
        return Unusable;
    QByteArray bytes;
    try {
        if (table) {
            bytes = table->exportFile(*db);
        } else {
            const std::unique_ptr<Recordset> races = db->openRecordset(QStringLiteral("Q_レース履歴"));
            bytes = records::historyCsv(*races);
        }
    } catch (const KorvaneError& error) {
        complain(QStringLiteral("データベース %1 を読めません。\n%2")
                     .arg(shownPath(options.database), error.description()));
        return Unusable;
    }
    const QString failure = csv::saveWhole(path, bytes);
    if (!failure.isEmpty()) {
        complain(QStringLiteral("ファイル %1 に書き出せませんでした。\n%2").arg(shownPath(path), failure));
        return Unusable;
    }
    say(QStringLiteral("%1 に書き出しました。").arg(shownPath(path)));
    return Done;
}

int importTable(const Options& options) {
    if (options.arguments.size() != 2) {
        complain(usage());
        return Unusable;
    }
    const QString& name = options.arguments.at(0);
    const QString& path = options.arguments.at(1);
    const std::unique_ptr<records::TableCsv> table = tableNamed(name);
    if (!table) {
        complain(QStringLiteral("表「%1」には取り込めません（racers, velodromes, roster のどれかです）。")
                     .arg(name));
        return Unusable;
    }
    const auto refuse = [&](const QString& why) {
        complain(QStringLiteral("ファイル %1 は取り込めません。\n%2\n何も書き込んでいません。")
                     .arg(shownPath(path), why));
        return Unusable;
    };
    // Held from before the check until the write is done, so that the program cannot start and
    // change the table in between.
    SingleInstance instance;
    if (!options.dryRun) {
        switch (instance.tryAcquire()) {
        case SingleInstance::Outcome::Acquired:
            break;
        case SingleInstance::Outcome::Running:
            complain(QStringLiteral("コルヴァンが起動しているため、データベースに書き込めません。"
                                    "コルヴァンを終了してから、もう一度実行してください。"));
            return Unusable;
        case SingleInstance::Outcome::Failed:
            complain(instance.failureMessage());
            return Unusable;
        }
    }
    const csv::Document document = csv::readFile(path);
    if (!document.ok())
        return refuse(document.error);
    const std::unique_ptr<Database> db = openDatabase(options.database);
    if (!db)
        return Unusable;
    table->setThisYear(QDate::currentDate().year());
    records::CsvCheck check;
    try {
        check = table->check(*db, document);
    } catch (const KorvaneError& error) {
        complain(QStringLiteral("データベース %1 を読めません。\n%2")
                     .arg(shownPath(options.database), error.description()));
        return Unusable;
    }
    if (!check.error.isEmpty())
        return refuse(check.error);
    showCheck(path, check);
    if (check.rejected > 0) {
        complain(QStringLiteral("不採用の行が %1 件あるため、何も書き込んでいません。").arg(check.rejected));
        return Rejected;
    }
    if (options.dryRun) {
        say(QStringLiteral("調べただけで、何も書き込んでいません。"));
        return Done;
    }
    try {
        table->write(*db, {});
    } catch (const KorvaneError& error) {
        complain(QStringLiteral("データベース %1 に書き込めませんでした。\n%2\n何も書き込んでいません。")
                     .arg(shownPath(options.database), error.description()));
        return Unusable;
    }
    say(QStringLiteral("%1 件を追加し、%2 件を更新しました。").arg(check.added).arg(check.changed));
    return Done;
}

int checkDatabase(const Options& options) {
    if (!options.arguments.isEmpty() || options.dryRun) {
        complain(usage());
        return Unusable;
    }
    FileCheck check;
    try {
        check = checkDatabaseFile(options.database);
    } catch (const KorvaneError& error) {
        complain(QStringLiteral("データベース %1 を調べられません。\n%2")
                     .arg(shownPath(options.database), error.description()));
        return Unusable;
    }
    say(QStringLiteral("データベース: %1").arg(shownPath(options.database)));
    say(QStringLiteral("スキーマの版: %1（このプログラムの版: %2）")
            .arg(check.schemaVersion)
            .arg(check.programVersion));
    if (check.schemaVersion > check.programVersion) {
        for (const QString& problem : check.problems)
            say(QStringLiteral("問題: %1").arg(problem));
        complain(QStringLiteral("このプログラムより新しい版のデータベースです。"));
        return Rejected;
    }
    // Values the current rules refuse keep an older file from being brought up to date: each is listed,
    // and korvane-cli repair can store them as unknown.
    try {
        for (const QString& value : refusedValueLines(options.database))
            check.problems << QStringLiteral("保存できない値: %1").arg(value);
    } catch (const KorvaneError& error) {
        complain(QStringLiteral("データベース %1 を調べられません。\n%2")
                     .arg(shownPath(options.database), error.description()));
        return Unusable;
    }
    for (const QString& problem : check.problems)
        say(QStringLiteral("問題: %1").arg(problem));
    if (!check.problems.isEmpty()) {
        complain(QStringLiteral("データベースに %1 件の問題があります。").arg(check.problems.size()));
        return Rejected;
    }
    say(check.schemaVersion < check.programVersion
            ? QStringLiteral("問題はありません（古い版です。プログラムで開くと新しい版に更新されます）。")
            : QStringLiteral("問題はありません。"));
    return Done;
}

int run(const QStringList& commandLine) {
    // The statistics and the repair take options of their own, so they read their words themselves.
    using OwnWords = int (*)(const QStringList&, QTextStream&, QTextStream&);
    const std::pair<const char*, OwnWords> ownWords[] = {{"stats", runStatsCommand},
                                                         {"repair", runRepairCommand}};
    for (const auto& [name, command] : ownWords)
        if (commandLine.value(1) == QLatin1String(name)) {
            QTextStream out(stdout);
            QTextStream err(stderr);
            const int status = command(commandLine.mid(2), out, err);
            out.flush();
            err.flush();
            return status;
        }
    QCommandLineParser parser;
    const QCommandLineOption database(QStringLiteral("database"), QString(), QStringLiteral("PATH"));
    const QCommandLineOption dryRun(QStringLiteral("dry-run"));
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")});
    parser.addOptions({database, dryRun, help, version});
    if (!parser.parse(commandLine)) {
        complain(QStringLiteral("オプションが正しくありません: %1\n").arg(parser.errorText()) + usage());
        return Unusable;
    }
    if (parser.isSet(help)) {
        say(helpText());
        return Done;
    }
    if (parser.isSet(version)) {
        say(QStringLiteral("korvane-cli %1").arg(QCoreApplication::applicationVersion()));
        return Done;
    }
    QStringList arguments = parser.positionalArguments();
    if (arguments.isEmpty()) {
        complain(usage());
        return Unusable;
    }
    const QString name = arguments.takeFirst();
    Options options;
    options.arguments = arguments;
    options.dryRun = parser.isSet(dryRun);
    options.database = parser.isSet(database) ? parser.value(database)
                                              : normalisedAppPath(QCoreApplication::applicationDirPath()) +
                                                    QStringLiteral("Korvane.mdb");
    for (const Command& command : Commands)
        if (name == QString::fromUtf16(command.name)) {
            if (options.dryRun && command.run != importTable) {
                complain(QStringLiteral("--dry-run は import にだけ使えます。\n") + usage());
                return Unusable;
            }
            return command.run(options);
        }
    complain(QStringLiteral("コマンド「%1」はありません。\n").arg(name) + usage());
    return Unusable;
}

} // namespace cli
