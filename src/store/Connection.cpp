#include "store/StoreInternal.h"

#include "core/Errors.h"

#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QUrl>
#include <atomic>
#include <cstring>
#include <sqlite3.h>
#include <utility>

namespace store {

QString errorSource() {
    return QStringLiteral("Database");
}

void raise(int number, const QString& description) {
    throw KorvaneError(number, errorSource(), description);
}

namespace {

// The rule a column's check enforces, for the message; the checks are named after their column.
QString ruleOfColumn(const QString& column) {
    if (column.startsWith(QStringLiteral("結果")))
        return QStringLiteral("数値");
    return QStringLiteral("-32768 から 32767 までの整数");
}

// What the engine's result code means, in the words of the program's messages.
QString engineReason(int code) {
    struct Reason {
        int code;
        const char16_t* text;
    };
    static constexpr Reason reasons[] = {
        {SQLITE_ERROR, u"データベースへの命令に誤りがあるか、データベースの内容が正しくありません。"},
        {SQLITE_INTERNAL, u"データベース エンジンの内部エラーです。"},
        {SQLITE_PERM, u"アクセスが拒否されました。"},
        {SQLITE_ABORT, u"操作が中止されました。"},
        {SQLITE_NOMEM, u"メモリが不足しています。"},
        {SQLITE_INTERRUPT, u"操作が中断されました。"},
        {SQLITE_IOERR, u"ディスクの読み書きに失敗しました。"},
        {SQLITE_CANTOPEN, u"データベース ファイルを開けません。"},
        {SQLITE_PROTOCOL, u"データベースのロックの手順に失敗しました。"},
        {SQLITE_SCHEMA, u"データベースの構造が変わりました。"},
        {SQLITE_TOOBIG, u"文字列またはデータが大きすぎます。"},
        {SQLITE_MISUSE, u"データベース エンジンの使い方に誤りがあります。"},
        {SQLITE_NOLFS, u"大きなファイルを扱えません。"},
        {SQLITE_AUTH, u"この操作は認められていません。"},
        {SQLITE_RANGE, u"パラメータの番号が範囲外です。"},
    };
    for (const Reason& known : reasons) {
        if (known.code == (code & 0xff))
            return QString::fromUtf16(known.text);
    }
    return QStringLiteral("データベース エンジンでエラーが発生しました。");
}

// The reason, then the engine's own text in brackets when there is one.
QString reasonAndDetail(int code, const QString& detail) {
    const QString reason = engineReason(code);
    return detail.isEmpty() ? reason : reason + QStringLiteral(" (") + detail + QLatin1Char(')');
}

} // namespace

void raiseEngineError(sqlite3* handle, int resultCode, const QString& path) {
    const int code = handle ? sqlite3_extended_errcode(handle) : resultCode;
    const QString detail = handle ? QString::fromUtf8(sqlite3_errmsg(handle)) : QString();
    QString file = path;
    if (file.isEmpty() && handle) {
        if (const char* name = sqlite3_db_filename(handle, "main"))
            file = QString::fromUtf8(name);
    }
    const QString withDetail = detail.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(detail);
    switch (code & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        raise(ErrorNumber::ExclusiveUse,
              QStringLiteral("データベース '%1' は他のプロセスが使用中のため、ロックできませんでした。")
                  .arg(file));
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
        raise(ErrorNumber::NotADatabase,
              QStringLiteral("データベース '%1' の形式を認識できないか、ファイルが壊れています。").arg(file));
    case SQLITE_FULL:
        raise(ErrorNumber::DiskFull,
              QStringLiteral("ディスクの空き容量が足りないため、データベース '%1' に書き込めません。")
                  .arg(file));
    case SQLITE_READONLY:
        if (code == SQLITE_READONLY_DBMOVED)
            raise(ErrorNumber::ReadOnly,
                  QStringLiteral(
                      "データベース '%1' は開いた後で別のファイルに置き換えられたため、変更を保存できません。"
                      "画面を閉じてから開き直して下さい。")
                      .arg(file));
        raise(
            ErrorNumber::ReadOnly,
            QStringLiteral("データベース '%1' またはそのフォルダは読み取り専用のため、変更を保存できません。")
                .arg(file));
    case SQLITE_CANTOPEN:
    case SQLITE_PERM:
    case SQLITE_AUTH:
        raise(ErrorNumber::CannotOpenFile, QStringLiteral("データベース '%1' を使用できません。 %2")
                                               .arg(file, reasonAndDetail(code, detail)));
    case SQLITE_MISMATCH:
        raise(ErrorNumber::ValidationRule,
              QStringLiteral("キー フィールドには整数しか保存できないため、データベース '%1' "
                             "に変更を保存できませんでした。")
                  .arg(file));
    case SQLITE_CONSTRAINT:
        if (code == SQLITE_CONSTRAINT_PRIMARYKEY || code == SQLITE_CONSTRAINT_UNIQUE ||
            code == SQLITE_CONSTRAINT_ROWID)
            raise(ErrorNumber::DuplicateKey,
                  QStringLiteral("インデックスまたは主キーに重複する値があるため、データベース '%1' "
                                 "に変更を保存できませんでした。")
                      .arg(file));
        if (code == SQLITE_CONSTRAINT_CHECK) {
            const QString column = detail.section(QStringLiteral(": "), 1).trimmed();
            raise(ErrorNumber::ValidationRule,
                  QStringLiteral("フィールド '%1' には%2しか保存できないため、データベース '%3' "
                                 "に変更を保存できませんでした。")
                      .arg(column, ruleOfColumn(column), file));
        }
        raise(ErrorNumber::ConstraintFailed,
              QStringLiteral("必須フィールドに値がないか、値が規則に反しているため、データベース '%1' "
                             "に変更を保存できませんでした。%2")
                  .arg(file, withDetail));
    default:
        raise(ErrorNumber::StoreFailure, QStringLiteral("データベース '%1' でエラーが発生しました。 %2")
                                             .arg(file, reasonAndDetail(code, detail)));
    }
}

QString quoteIdentifier(const QString& name) {
    QString quoted = name;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString storedColumn(const ObjectInfo& object, const QString& field) {
    auto index = object.fieldIndex.constFind(field);
    if (index == object.fieldIndex.constEnd())
        index = object.fieldIndex.constFind(field.toLower());
    if (index == object.fieldIndex.constEnd())
        raise(ErrorNumber::UnknownField,
              QStringLiteral("フィールド '%1' は '%2' にありません。").arg(field, object.name));
    return object.columns.at(*index);
}

Connection::~Connection() {
    close();
}

void Connection::close() {
    if (!handle)
        return;
    for (sqlite3_stmt* statement : std::as_const(statements))
        sqlite3_finalize(statement);
    statements.clear();
    handle = nullptr;
    qtDatabase.close();
    qtDatabase = QSqlDatabase();
    QSqlDatabase::removeDatabase(connectionName);
}

void Connection::execute(const QString& sql) {
    if (!handle)
        raise(ErrorNumber::StoreFailure, QStringLiteral("データベース '%1' は閉じられています。").arg(path));
    const int rc = sqlite3_exec(handle, sql.toUtf8().constData(), nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        raiseEngineError(handle, rc);
}

sqlite3_stmt* Connection::takeStatement(const QString& sql) {
    if (!handle)
        raise(ErrorNumber::StoreFailure, QStringLiteral("データベース '%1' は閉じられています。").arg(path));
    if (sqlite3_stmt* cached = statements.take(sql))
        return cached;
    const QByteArray text = sql.toUtf8();
    sqlite3_stmt* statement = nullptr;
    const int rc = sqlite3_prepare_v3(handle, text.constData(), static_cast<int>(text.size()),
                                      SQLITE_PREPARE_PERSISTENT, &statement, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_finalize(statement);
        raiseEngineError(handle, rc);
    }
    return statement;
}

void Connection::giveBackStatement(const QString& sql, sqlite3_stmt* statement) {
    // Writes build their SQL from the fields they set, so the cache is bounded.
    constexpr qsizetype maxCached = 64;
    if (!statement)
        return;
    if (!handle || statements.contains(sql) || statements.size() >= maxCached) {
        sqlite3_finalize(statement);
        return;
    }
    sqlite3_reset(statement);
    sqlite3_clear_bindings(statement);
    statements.insert(sql, statement);
}

const ObjectInfo& Connection::object(const QString& name) {
    const QString lookup = name.toLower();
    if (auto found = objects.constFind(lookup); found != objects.constEnd())
        return *found;

    // One statement finds the object and its columns: every window opens its sets on a new connection.
    ObjectInfo info;
    Statement find(*this, QStringLiteral("SELECT s.name, s.type, p.name, p.type, p.pk "
                                         "FROM sqlite_schema AS s, pragma_table_info(s.name) AS p "
                                         "WHERE s.type IN ('table', 'view') AND s.name = ?1 COLLATE NOCASE "
                                         "ORDER BY p.cid"));
    find.bind(1, name);
    QStringList keys;
    QString keyType;
    while (find.step()) {
        info.name = find.value(0).toString();
        info.isView = find.value(1).toString() == QLatin1String("view");
        info.columns.append(find.value(2).toString());
        if (find.integer(4) > 0) {
            keys.append(find.value(2).toString());
            keyType = find.value(3).toString();
        }
    }
    if (info.name.isEmpty())
        raise(ErrorNumber::UnknownObject,
              QStringLiteral("テーブルまたはクエリ '%1' が見つかりません。").arg(name));
    for (int i = 0; i < info.columns.size(); ++i) {
        info.fieldIndex.insert(info.columns.at(i), i);
        info.fieldIndex.insert(info.columns.at(i).toLower(), i);
    }
    if (info.isView) {
        info.keyExpression = quoteIdentifier(info.columns.value(0));
    } else {
        info.keyExpression = QStringLiteral("rowid");
        if (keys.size() == 1 && keyType.compare(QLatin1String("INTEGER"), Qt::CaseInsensitive) == 0)
            info.integerKeyColumn = keys.first();
    }
    return *objects.insert(lookup, info);
}

std::shared_ptr<Connection> openConnection(const QString& path, bool create) {
    const QFileInfo file(path);
    if (!create && !file.exists())
        raise(ErrorNumber::FileNotFound, QStringLiteral("ファイル '%1' が見つかりません。").arg(path));
    if (file.exists() && !file.isFile())
        raise(ErrorNumber::NotADatabase,
              QStringLiteral("'%1' はデータベースファイルではありません。").arg(path));

    static std::atomic<int> counter{0};
    auto connection = std::make_shared<Connection>();
    connection->path = path;
    connection->connectionName = QStringLiteral("korvane-store-%1").arg(++counter);
    connection->qtDatabase = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection->connectionName);
    // The URI form with mode=rw keeps the engine from creating a missing file.
    QUrl url = QUrl::fromLocalFile(file.absoluteFilePath());
    url.setQuery(create ? QStringLiteral("mode=rwc") : QStringLiteral("mode=rw"));
    connection->qtDatabase.setDatabaseName(url.toString(QUrl::FullyEncoded));
    connection->qtDatabase.setConnectOptions(
        QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=%1").arg(busyTimeoutMs));
    if (!connection->qtDatabase.open()) {
        const QSqlError error = connection->qtDatabase.lastError();
        connection->qtDatabase = QSqlDatabase();
        QSqlDatabase::removeDatabase(connection->connectionName);
        if (!QFileInfo::exists(path))
            raise(ErrorNumber::FileNotFound, QStringLiteral("ファイル '%1' が見つかりません。").arg(path));
        raise(ErrorNumber::CannotOpenFile,
              QStringLiteral("データベース '%1' を使用できません。 %2")
                  .arg(path, reasonAndDetail(error.nativeErrorCode().toInt(), error.databaseText())));
    }
    const QVariant handle = connection->qtDatabase.driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0) {
        connection->close();
        raise(ErrorNumber::StoreFailure,
              QStringLiteral("データベース '%1' のためにデータベースエンジンに接続できませんでした。")
                  .arg(path));
    }
    connection->handle = *static_cast<sqlite3* const*>(handle.constData());
    sqlite3_busy_timeout(connection->handle, busyTimeoutMs);
    sqlite3_extended_result_codes(connection->handle, 1);
    // Reading the schema fails at once on a file that is not a database, and waits no longer than
    // the busy timeout on one that another process holds locked.
    connection->execute(QStringLiteral("PRAGMA foreign_keys = ON"));
    // A commit ends by removing the journal; only EXTRA flushes the folder after that, without
    // which a power cut can bring the journal back and roll a reported commit back with it.
    connection->execute(QStringLiteral("PRAGMA synchronous = EXTRA"));
    Statement check(*connection, QStringLiteral("SELECT count(*) FROM sqlite_schema"));
    check.step();
    // An empty file would pass for an empty database; it is no Korvane database either.
    if (!create && check.value(0).toLongLong() == 0)
        raise(ErrorNumber::NotADatabase,
              QStringLiteral("'%1' はコルヴァンのデータベースではありません (テーブルがありません)。")
                  .arg(path));
    return connection;
}

Statement::Statement(Connection& connection, const QString& sql)
    : m_connection(connection)
    , m_sql(sql)
    , m_statement(connection.takeStatement(sql)) {}

Statement::~Statement() {
    m_connection.giveBackStatement(m_sql, m_statement);
}

void Statement::bind(int index, const QVariant& value) {
    int rc = SQLITE_OK;
    if (value.isNull()) {
        rc = sqlite3_bind_null(m_statement, index);
    } else {
        switch (value.typeId()) {
        case QMetaType::Bool:
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::Short:
        case QMetaType::UShort:
        case QMetaType::Long:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Char:
        case QMetaType::SChar:
        case QMetaType::UChar:
            rc = sqlite3_bind_int64(m_statement, index, value.toLongLong());
            break;
        case QMetaType::Double:
        case QMetaType::Float:
            rc = sqlite3_bind_double(m_statement, index, value.toDouble());
            break;
        case QMetaType::QByteArray: {
            const QByteArray bytes = value.toByteArray();
            rc = sqlite3_bind_blob64(m_statement, index, bytes.constData(),
                                     static_cast<sqlite3_uint64>(bytes.size()), SQLITE_TRANSIENT);
            break;
        }
        default: {
            const QByteArray text = value.toString().toUtf8();
            rc = sqlite3_bind_text64(m_statement, index, text.constData(),
                                     static_cast<sqlite3_uint64>(text.size()), SQLITE_TRANSIENT, SQLITE_UTF8);
            break;
        }
        }
    }
    if (rc != SQLITE_OK)
        raiseEngineError(m_connection.handle, rc);
}

bool Statement::step() {
    const int rc = sqlite3_step(m_statement);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    sqlite3_reset(m_statement);
    raiseEngineError(m_connection.handle, rc);
}

void Statement::reset() {
    sqlite3_reset(m_statement);
    sqlite3_clear_bindings(m_statement);
}

int Statement::columnCount() const {
    return sqlite3_column_count(m_statement);
}

QString Statement::columnName(int column) const {
    return QString::fromUtf8(sqlite3_column_name(m_statement, column));
}

QVariant Statement::value(int column) const {
    switch (sqlite3_column_type(m_statement, column)) {
    case SQLITE_INTEGER:
        return QVariant(static_cast<qlonglong>(sqlite3_column_int64(m_statement, column)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(m_statement, column));
    case SQLITE_TEXT:
        return QVariant(
            QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(m_statement, column)),
                              sqlite3_column_bytes(m_statement, column)));
    case SQLITE_BLOB:
        return QVariant(QByteArray(static_cast<const char*>(sqlite3_column_blob(m_statement, column)),
                                   sqlite3_column_bytes(m_statement, column)));
    default:
        return QVariant();
    }
}

qint64 Statement::integer(int column) const {
    return sqlite3_column_int64(m_statement, column);
}

namespace {

// Packed row: per value one type byte, then 8 bytes for a number, or a 4-byte length and the
// bytes for a text or blob. One buffer holds a whole record set, which keeps loading fast.
enum PackedType : char { PackedNull, PackedInteger, PackedReal, PackedText, PackedBlob };

template <typename T> T readRaw(const char* data) {
    T value;
    std::memcpy(&value, data, sizeof value);
    return value;
}

// Steps over one packed value; returns the start of the next.
const char* skipValue(const char* data) {
    switch (data[0]) {
    case PackedInteger:
    case PackedReal:
        return data + 1 + 8;
    case PackedText:
    case PackedBlob:
        return data + 1 + 4 + readRaw<quint32>(data + 1);
    default:
        return data + 1;
    }
}

} // namespace

const char* findPackedValue(const char* data, int column) {
    for (int i = 0; i < column; ++i)
        data = skipValue(data);
    return data;
}

void Statement::encodeRow(std::vector<char>& buffer, int firstColumn) const {
    const int count = sqlite3_column_count(m_statement);
    for (int column = firstColumn; column < count; ++column) {
        const int type = sqlite3_column_type(m_statement, column);
        if (type == SQLITE_INTEGER || type == SQLITE_FLOAT) {
            char packed[9];
            if (type == SQLITE_INTEGER) {
                packed[0] = PackedInteger;
                const qint64 value = sqlite3_column_int64(m_statement, column);
                std::memcpy(packed + 1, &value, 8);
            } else {
                packed[0] = PackedReal;
                const double value = sqlite3_column_double(m_statement, column);
                std::memcpy(packed + 1, &value, 8);
            }
            buffer.insert(buffer.end(), packed, packed + 9);
        } else if (type == SQLITE_TEXT || type == SQLITE_BLOB) {
            // For a text the length must be taken after the text, so that it is the UTF-8 length.
            const char* bytes = type == SQLITE_TEXT
                                    ? reinterpret_cast<const char*>(sqlite3_column_text(m_statement, column))
                                    : static_cast<const char*>(sqlite3_column_blob(m_statement, column));
            const quint32 length = static_cast<quint32>(sqlite3_column_bytes(m_statement, column));
            char header[5];
            header[0] = type == SQLITE_TEXT ? PackedText : PackedBlob;
            std::memcpy(header + 1, &length, 4);
            buffer.insert(buffer.end(), header, header + 5);
            if (length > 0)
                buffer.insert(buffer.end(), bytes, bytes + length);
        } else {
            buffer.push_back(PackedNull);
        }
    }
}

QVariant decodeValue(const char* data, int column) {
    const char* value = findPackedValue(data, column);
    switch (value[0]) {
    case PackedInteger:
        return QVariant(static_cast<qlonglong>(readRaw<qint64>(value + 1)));
    case PackedReal:
        return QVariant(readRaw<double>(value + 1));
    case PackedText:
        return QVariant(QString::fromUtf8(value + 5, static_cast<qsizetype>(readRaw<quint32>(value + 1))));
    case PackedBlob:
        return QVariant(QByteArray(value + 5, static_cast<qsizetype>(readRaw<quint32>(value + 1))));
    default:
        return QVariant();
    }
}

bool decodedEquals(const char* data, int column, qint64 number) {
    const char* value = findPackedValue(data, column);
    switch (value[0]) {
    case PackedInteger:
        return readRaw<qint64>(value + 1) == number;
    case PackedReal:
        return readRaw<double>(value + 1) == static_cast<double>(number);
    case PackedText: {
        bool ok = false;
        const double d =
            QString::fromUtf8(value + 5, static_cast<qsizetype>(readRaw<quint32>(value + 1))).toDouble(&ok);
        return ok && d == static_cast<double>(number);
    }
    default:
        return false;
    }
}

} // namespace store
