#include "cli/RepairCommand.h"

#include "core/AppState.h"
#include "core/Errors.h"
#include "store/RefusedValues.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QTextStream>

namespace cli {

namespace {

constexpr int Repaired = 0;
constexpr int Refused = 1;
constexpr int Unusable = 2;

QStringList lines(const QList<store::RefusedValue>& values) {
    QStringList result;
    for (const store::RefusedValue& value : values)
        result.append(store::describe(value));
    return result;
}

void list(QTextStream& out, const QString& heading, const QStringList& values) {
    out << heading.arg(values.size()) << '\n';
    for (const QString& value : values)
        out << "  " << value << '\n';
}

} // namespace

QStringList refusedValueLines(const QString& databasePath) {
    return lines(store::findRefusedValues(databasePath));
}

int runRepairCommand(const QStringList& arguments, QTextStream& out, QTextStream& err) {
    QCommandLineParser parser;
    const QCommandLineOption database(QStringLiteral("database"), QString(), QStringLiteral("PATH"));
    const QCommandLineOption yes(QStringLiteral("yes"));
    parser.addOptions({database, yes});
    if (!parser.parse(QStringList{QStringLiteral("repair")} + arguments) ||
        !parser.positionalArguments().isEmpty()) {
        err << "使い方: korvane-cli repair [--database PATH] [--yes]\n";
        return Unusable;
    }
    const QString path = parser.isSet(database) ? parser.value(database)
                                                : normalisedAppPath(QCoreApplication::applicationDirPath()) +
                                                      QStringLiteral("Korvane.mdb");
    const QString shown = QDir::toNativeSeparators(path);
    try {
        const QStringList refused = refusedValueLines(path);
        if (refused.isEmpty()) {
            out << QStringLiteral("データベース %1 に直す値はありません。\n").arg(shown);
            return Repaired;
        }
        list(out, QStringLiteral("この版の規則では保存できない値: %1 件"), refused);
        if (!parser.isSet(yes)) {
            err << QStringLiteral("これらの値を空 (不明) にするには --yes を付けて実行して下さい。"
                                  "データベースは変更していません。\n");
            return Refused;
        }
        const store::RepairOutcome outcome = store::repairRefusedValues(path);
        if (outcome.cleared.isEmpty()) {
            out << QStringLiteral("データベース %1 に直す値はありません。\n").arg(shown);
            return Repaired;
        }
        out << QStringLiteral("元のファイルを %1 に控えました。\n")
                   .arg(QDir::toNativeSeparators(outcome.backup));
        list(out, QStringLiteral("空 (不明) にした値: %1 件"), lines(outcome.cleared));
        return Repaired;
    } catch (const KorvaneError& error) {
        err << error.description() << '\n';
        return error.number() == ErrorNumber::ValidationRule ? Refused : Unusable;
    }
}

} // namespace cli
