// Times each racer search as the selection window runs it (record set opened, rows listed, the list box
// filled) against a bare program doing the same with the raw SQLite C API: the same SQL, every column of
// every row stepped forward once, the same line text, the same kind of list box filled. Database of
// 32,767 racers; wall clock, the two sides interleaved, median and minimum of all repetitions.
// Prints "RATIO search-<kind> <median ratio> 1.3" per search.
#include "BenchSupport.h"
#include "BenchTiming.h"
#include "race/RacerSearch.h"
#include "store/Database.h"
#include "store/Recordset.h"
#include "store/SeedDatabase.h"

#include <QApplication>
#include <QFont>
#include <QListWidget>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <sqlite3.h>
#include <vector>

namespace {

using benchsupport::Bare;
using benchsupport::fail;

int columnIndex(sqlite3_stmt* statement, const char* name) {
    for (int c = 0; c < sqlite3_column_count(statement); ++c) {
        if (qstrcmp(sqlite3_column_name(statement, c), name) == 0)
            return c;
    }
    fail("no column", QString::fromUtf8(name));
}

struct SearchCase {
    const char* name;
    qint16 mode;
    SearchRequest request;
    QString where;
    std::vector<qint64> binds;
};

// One bare search: its statement and where the line's columns are.
struct BareSearch {
    sqlite3_stmt* statement = nullptr;
    int affiliation = 0, id = 0, term = 0, name = 0;

    QStringList run(const std::vector<qint64>& binds) const {
        for (size_t i = 0; i < binds.size(); ++i)
            sqlite3_bind_int64(statement, int(i) + 1, binds[i]);
        const int columns = sqlite3_column_count(statement);
        std::vector<QVariant> values(static_cast<size_t>(columns));
        QStringList lines;
        while (sqlite3_step(statement) == SQLITE_ROW) {
            // Every column, as the record set reads them.
            for (int c = 0; c < columns; ++c) {
                switch (sqlite3_column_type(statement, c)) {
                case SQLITE_INTEGER:
                    values[size_t(c)] = QVariant(qlonglong(sqlite3_column_int64(statement, c)));
                    break;
                case SQLITE_TEXT:
                    values[size_t(c)] = QVariant(
                        QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, c)),
                                          sqlite3_column_bytes(statement, c)));
                    break;
                case SQLITE_NULL:
                    values[size_t(c)] = QVariant();
                    break;
                default:
                    values[size_t(c)] = QVariant(sqlite3_column_double(statement, c));
                    break;
                }
            }
            const QString prefecture = values[size_t(affiliation)].toString();
            lines << prefecture + QString(prefecture.size() == 2 ? 4 : 1, QLatin1Char(' ')) +
                         values[size_t(id)].toString() + QStringLiteral("  ") +
                         (values[size_t(term)].isNull() ? QString() : values[size_t(term)].toString()) +
                         QStringLiteral("  ") + values[size_t(name)].toString();
        }
        sqlite3_reset(statement);
        return lines;
    }
};

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int repetitions = argc > 1 ? std::max(3, atoi(argv[1])) : 31;

    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/Korvane.mdb");
    std::fprintf(stderr, "Making a database of %d racers...\n", seed::maximumRacerCount);
    seed::createDatabase(path, seed::maximumRacerCount, seed::defaultSeed);
    Bare bare(path);
    // 500 racers spread over the whole table make the extraction list.
    bare.exec(
        QStringLiteral("INSERT INTO T_選手抽出 (選手ID) SELECT 選手ID FROM T_選手 WHERE 選手ID % 61 = 0 "
                       "ORDER BY 選手ID LIMIT 500"));
    const auto busiest = [&](const char* column) {
        return qint16(bare.first(QStringLiteral("SELECT %1 FROM Q_選手 WHERE %1 IS NOT NULL GROUP BY %1 "
                                                "ORDER BY COUNT(*) DESC LIMIT 1")
                                     .arg(QString::fromUtf8(column))));
    };
    const qint16 term = busiest("期");
    const qint16 prefecture = busiest("所属ID");
    const qint16 kana = busiest("よみがなID");
    const qint16 number = qint16(bare.first(QStringLiteral("SELECT 登番 FROM Q_選手 LIMIT 1 OFFSET 16000")));
    const qint16 andTerm = qint16(bare.first(
        QStringLiteral("SELECT 期 FROM T_選手 WHERE 所属ID = %1 GROUP BY 期 ORDER BY COUNT(*) DESC")
            .arg(prefecture)));
    Database db(path);

    const std::vector<SearchCase> cases = {
        {"search-term", 0, SearchRequest::term(term, false, 0), QStringLiteral("期 = ?"), {term}},
        {"search-number", 0, SearchRequest::registrationNumber(number), QStringLiteral("登番 = ?"), {number}},
        {"search-kana", 0, SearchRequest::kana(kana), QStringLiteral("よみがなID = ?"), {kana}},
        {"search-prefecture",
         0,
         SearchRequest::prefecture(prefecture, false, 0),
         QStringLiteral("所属ID = ?"),
         {prefecture}},
        {"search-and",
         0,
         SearchRequest::prefecture(prefecture, true, andTerm),
         QStringLiteral("所属ID = ? AND 期 = ?"),
         {prefecture, andTerm}},
        {"search-extraction", 1, SearchRequest::wholeTable(), QString(), {}},
    };

    // One list box of the selection window's font and size takes both sides' lines.
    QListWidget list;
    list.setFont(QFont(QStringLiteral("IPAGothic"), 9));
    list.resize(265, 280);
    list.show();
    const auto fill = [&list](const QStringList& lines) {
        list.clear();
        list.addItems(lines);
    };

    for (const SearchCase& c : cases) {
        BareSearch b;
        b.statement = bare.prepare(QStringLiteral("SELECT * FROM ") + racerViewName(c.mode) +
                                   (c.where.isEmpty() ? QString() : QStringLiteral(" WHERE ") + c.where) +
                                   QStringLiteral(" LIMIT 501"));
        b.affiliation = columnIndex(b.statement, "所属名");
        b.id = columnIndex(b.statement, "選手ID");
        b.term = columnIndex(b.statement, "期");
        b.name = columnIndex(b.statement, "名前");

        const auto program = [&] {
            SearchResults results;
            std::unique_ptr<Recordset> source = openRacerSource(db, c.mode, c.request);
            listRacers(*source, c.request, results);
            source->close();
            fill(results.lines);
            return results.lines;
        };
        const auto bareSide = [&] { fill(b.run(c.binds)); };

        // Both sides must list the same lines before their times mean anything.
        const QStringList ours = program();
        const QStringList theirs = b.run(c.binds);
        if (ours != theirs || ours.isEmpty())
            fail(c.name, QStringLiteral("the search listed %1 lines, the bare query %2")
                             .arg(ours.size())
                             .arg(theirs.size()));
        std::fprintf(stderr, "%-24s %4lld rows\n", c.name, static_cast<long long>(ours.size()));
        benchtiming::compare(c.name, 1.3, repetitions, program, bareSide);
    }
    return 0;
}
