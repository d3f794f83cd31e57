#include "core/Errors.h"
#include "store/StoreInternal.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

static void initStoreResources() {
    Q_INIT_RESOURCE(store);
}

namespace store {

void keepCopy(const QString& path, const QString& backup) {
    const QString partial = backup + QStringLiteral(".part");
    const QByteArray partialName = QFile::encodeName(partial);
    const auto fail = [&](int error) {
        raise(error == ENOSPC ? ErrorNumber::DiskFull : ErrorNumber::CannotOpenFile,
              QStringLiteral("データベースの控え '%1' を作成できません。 %2")
                  .arg(backup, systemErrorText(error)));
    };

    struct stat original {};
    const int in = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (in < 0 || ::fstat(in, &original) != 0) {
        const int error = errno;
        if (in >= 0)
            ::close(in);
        fail(error);
    }
    ::unlink(partialName.constData()); // a part left by an earlier attempt
    const int out = ::open(partialName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                           original.st_mode & 0777);
    if (out < 0) {
        const int error = errno;
        ::close(in);
        fail(error);
    }
    int error = 0;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(in, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            error = errno;
            break;
        }
        if (n == 0)
            break;
        for (ssize_t done = 0; done < n && error == 0;) {
            const ssize_t w = ::write(out, buffer + done, static_cast<size_t>(n - done));
            if (w < 0 && errno == EINTR)
                continue;
            if (w <= 0)
                error = w < 0 ? errno : ENOSPC;
            else
                done += w;
        }
        if (error != 0)
            break;
    }
    if (error == 0 && ::fsync(out) != 0)
        error = errno;
    if (::close(out) != 0 && error == 0)
        error = errno;
    ::close(in);
    if (error == 0 && ::rename(partialName.constData(), QFile::encodeName(backup).constData()) != 0)
        error = errno;
    if (error != 0) {
        ::unlink(partialName.constData());
        fail(error);
    }
}

namespace {

QStringList columnsOf(Connection& connection, const QString& table) {
    QStringList columns;
    Statement info(connection, QStringLiteral("SELECT name FROM pragma_table_info(?1)"));
    info.bind(1, table);
    while (info.step())
        columns.append(info.value(0).toString());
    return columns;
}

QStringList namesOf(Connection& connection, const QString& sql) {
    QStringList names;
    Statement query(connection, sql);
    while (query.step())
        names.append(query.value(0).toString());
    return names;
}

// The suffix that keeps an earlier version's table while its rows move to the new one.
const QString earlierSuffix = QStringLiteral("__earlier");

void rebuild(Connection& connection) {
    // Every view and trigger is made again from the program's own definitions; the tables are
    // made anew with their current checks and get the earlier rows, keys included.
    for (const QString& kind : {QStringLiteral("trigger"), QStringLiteral("view")}) {
        for (const QString& name : namesOf(
                 connection, QStringLiteral("SELECT name FROM sqlite_schema WHERE type = '%1'").arg(kind)))
            connection.execute(QStringLiteral("DROP %1 %2").arg(kind.toUpper(), quoteIdentifier(name)));
    }
    for (const QString& name :
         namesOf(connection,
                 QStringLiteral("SELECT name FROM sqlite_schema WHERE type = 'index' AND sql IS NOT NULL")))
        connection.execute(QStringLiteral("DROP INDEX %1").arg(quoteIdentifier(name)));

    // The kana lookup is the program's data, not the user's: made afresh.
    connection.execute(QStringLiteral("DROP TABLE IF EXISTS T_よみがな索引"));
    const QStringList tables = programTables();
    QHash<QString, qint64> sequences;
    const bool haveSequences =
        !namesOf(connection, QStringLiteral("SELECT name FROM sqlite_schema WHERE name = 'sqlite_sequence'"))
             .isEmpty();
    for (const QString& table : haveSequences ? tables : QStringList()) {
        Statement sequence(connection, QStringLiteral("SELECT seq FROM sqlite_sequence WHERE name = ?1"));
        sequence.bind(1, table);
        if (sequence.step())
            sequences.insert(table, sequence.integer(0));
    }
    for (const QString& table : tables)
        connection.execute(QStringLiteral("ALTER TABLE %1 RENAME TO %2")
                               .arg(quoteIdentifier(table), quoteIdentifier(table + earlierSuffix)));

    connection.execute(resourceText(QStringLiteral("schema.sql")));
    connection.execute(resourceText(QStringLiteral("kana.sql")));

    for (const QString& table : tables) {
        const QString earlier = table + earlierSuffix;
        const QStringList had = columnsOf(connection, earlier);
        QStringList common;
        for (const QString& column : columnsOf(connection, table))
            if (had.contains(column))
                common.append(quoteIdentifier(column));
        const QString list = common.join(QStringLiteral(", "));
        connection.execute(QStringLiteral("INSERT INTO %1 (%2) SELECT %2 FROM %3 ORDER BY rowid")
                               .arg(quoteIdentifier(table), list, quoteIdentifier(earlier)));
        // Keys handed out before and since deleted stay used.
        if (sequences.contains(table)) {
            Statement keep(connection,
                           QStringLiteral("UPDATE sqlite_sequence SET seq = max(seq, ?2) WHERE name = ?1"));
            keep.bind(1, table);
            keep.bind(2, sequences.value(table));
            keep.step();
            if (sqlite3_changes(connection.handle) == 0) {
                Statement add(connection,
                              QStringLiteral("INSERT INTO sqlite_sequence (name, seq) VALUES (?1, ?2)"));
                add.bind(1, table);
                add.bind(2, sequences.value(table));
                add.step();
            }
        }
        connection.execute(QStringLiteral("DROP TABLE %1").arg(quoteIdentifier(earlier)));
    }
    connection.execute(resourceText(QStringLiteral("views.sql")));
}

// Why a file of an earlier version cannot be brought up to date, or nothing when it can.
QString reasonNotToUpgrade(Connection& connection) {
    if (sqlite3_db_readonly(connection.handle, "main") == 1)
        return QStringLiteral("ファイルが読み取り専用です。");
    const QList<RefusedValue> refused = refusedValues(connection);
    if (refused.isEmpty())
        return {};
    QString reason = describe(refused.first()) + QStringLiteral(" はこの版では保存できません。");
    if (refused.size() > 1)
        reason += QStringLiteral("ほかにも保存できない値が %1 件あります。").arg(refused.size() - 1);
    return reason + QStringLiteral("korvane-cli check で一覧し、korvane-cli repair で空の値に直せます。");
}

} // namespace

QString resourceText(const QString& name) {
    initStoreResources();
    QFile file(QStringLiteral(":/db/") + name);
    if (!file.open(QIODevice::ReadOnly))
        raise(ErrorNumber::StoreFailure, QStringLiteral("スキーマ '%1' を読めません。").arg(name));
    return QString::fromUtf8(file.readAll());
}

int currentSchemaVersion() {
    static const int version = [] {
        static const QRegularExpression pragma(QStringLiteral("PRAGMA\\s+user_version\\s*=\\s*(\\d+)"),
                                               QRegularExpression::CaseInsensitiveOption);
        return pragma.match(resourceText(QStringLiteral("schema.sql"))).captured(1).toInt();
    }();
    return version;
}

const QStringList& programTables() {
    static const QStringList tables = [] {
        static const QRegularExpression create(QStringLiteral("CREATE\\s+TABLE\\s+(\\S+)\\s*\\("),
                                               QRegularExpression::CaseInsensitiveOption);
        QStringList names;
        for (auto it = create.globalMatch(resourceText(QStringLiteral("schema.sql"))); it.hasNext();)
            names.append(it.next().captured(1));
        return names;
    }();
    return tables;
}

QString backupPath(const QString& path) {
    return path + QStringLiteral(".bak");
}

int schemaVersion(Connection& connection) {
    const QStringList& tables = programTables();
    QStringList placeholders;
    for (int i = 0; i < tables.size(); ++i)
        placeholders.append(QStringLiteral("?%1").arg(i + 1));
    // One statement: every window asks this of each connection it opens.
    Statement present(
        connection,
        QStringLiteral("SELECT (SELECT count(*) FROM sqlite_schema WHERE type = 'table' AND name IN "
                       "(%1)), (SELECT user_version FROM pragma_user_version)")
            .arg(placeholders.join(QStringLiteral(", "))));
    for (int i = 0; i < tables.size(); ++i)
        present.bind(i + 1, tables.at(i));
    present.step();
    const bool allTables = present.integer(0) == tables.size();
    const int number = static_cast<int>(present.integer(1));
    if (!allTables || number < 0)
        raise(ErrorNumber::NotADatabase,
              QStringLiteral("'%1' はコルヴァンのデータベースではありません。").arg(connection.path));
    // The first version wrote no number into its files; its tables tell it.
    return std::max(number, 1);
}

void upgradeSchema(const QString& path) {
    auto connection = openConnection(path);
    // Keys are checked by the new tables' definitions once the rows are in; while the tables are
    // swapped, references by name must not follow a renamed table.
    connection->execute(QStringLiteral("PRAGMA foreign_keys = OFF"));
    connection->execute(QStringLiteral("PRAGMA legacy_alter_table = ON"));
    // Other writers wait until the upgrade is over; the copy is taken under the same lock.
    connection->execute(QStringLiteral("BEGIN IMMEDIATE"));
    QString reason;
    try {
        const int version = schemaVersion(*connection);
        if (version >= currentSchemaVersion()) {
            connection->execute(QStringLiteral("ROLLBACK"));
            return;
        }
        // What would make the upgrade fail is found before the copy is kept, so that no .bak is
        // left beside a file that cannot be brought up to date.
        reason = reasonNotToUpgrade(*connection);
        if (reason.isEmpty()) {
            keepCopy(path, backupPath(path));
            rebuild(*connection);
            connection->execute(QStringLiteral("COMMIT"));
            return;
        }
        connection->execute(QStringLiteral("ROLLBACK"));
    } catch (const KorvaneError& error) {
        try {
            connection->execute(QStringLiteral("ROLLBACK"));
        } catch (const KorvaneError&) {
            // The engine has already rolled back.
        }
        if (error.number() == ErrorNumber::ExclusiveUse)
            throw;
        reason = error.description();
    }
    raise(ErrorNumber::CannotUpgrade,
          QStringLiteral(
              "データベース '%1' は以前の版のコルヴァンのもので、この版の形式に更新できませんでした。"
              "ファイルは変更していません。 (%2)")
              .arg(path, reason));
}

} // namespace store
