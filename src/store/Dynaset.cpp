#include "store/Dynaset.h"

#include "core/Errors.h"
#include "store/Criterion.h"

#include <algorithm>
#include <cstdint>
#include <sqlite3.h>

namespace store {

namespace {

[[noreturn]] void raiseNoCurrentRecord() {
    raise(ErrorNumber::NoCurrentRecord, QStringLiteral("カレント レコードがありません。"));
}

[[noreturn]] void raiseRecordDeleted() {
    raise(ErrorNumber::RecordDeleted, QStringLiteral("レコードは削除されています。"));
}

[[noreturn]] void raiseInvalidCriterion(const QString& criterion) {
    raise(ErrorNumber::InvalidCriterion,
          QStringLiteral("検索条件 '%1' の構文が正しくありません。").arg(criterion));
}

} // namespace

Dynaset::Dynaset(std::shared_ptr<Connection> connection, const ObjectInfo& object,
                 const QList<FieldEquals>& conditions, int maxRows, const QStringList& columns)
    : m_connection(std::move(connection))
    , m_object(object) {
    QStringList where;
    for (const FieldEquals& condition : conditions)
        where.append(quoteIdentifier(storedColumn(object, condition.field)) + QStringLiteral(" = ?"));

    if (columns.isEmpty()) {
        m_selectList = QStringLiteral("*");
    } else {
        // A view's rows are found again by its first column, so the set always holds it.
        QStringList held;
        if (object.isView)
            held.append(object.columns.value(0));
        for (const QString& column : columns) {
            const QString stored = storedColumn(object, column);
            if (!held.contains(stored))
                held.append(stored);
        }
        m_object.columns = held;
        m_object.fieldIndex.clear();
        QStringList quoted;
        for (int i = 0; i < held.size(); ++i) {
            m_object.fieldIndex.insert(held.at(i), i);
            m_object.fieldIndex.insert(held.at(i).toLower(), i);
            quoted.append(quoteIdentifier(held.at(i)));
        }
        m_selectList = quoted.join(QStringLiteral(", "));
    }

    // A set opened to add rows reads none: its query is not even prepared.
    if (maxRows == 0)
        return;
    QString sql = selectHead();
    if (!where.isEmpty())
        sql += QStringLiteral(" WHERE ") + where.join(QStringLiteral(" AND "));
    // A view yields its own order; a table is read in key order.
    if (!m_object.isView)
        sql += QStringLiteral(" ORDER BY rowid");

    Statement query(*m_connection, sql);
    for (int i = 0; i < conditions.size(); ++i)
        query.bind(i + 1, QVariant::fromValue(conditions.at(i).value));
    const quint64 version = m_connection->writeVersion;
    const size_t limit = maxRows < 0 ? SIZE_MAX : static_cast<size_t>(maxRows);
    while (m_rows.size() < limit && query.step()) {
        Row row;
        readRow(query, row, m_values);
        row.version = version;
        m_rows.push_back(row);
    }
    if (!m_rows.empty()) {
        m_index = 0;
        m_bof = m_eof = false;
    }
}

const char* Dynaset::PackedValues::append(const std::vector<char>& packed) {
    // Blocks start small, so that a set of a few rows stays small, and grow to a limit.
    constexpr size_t firstBlock = 4 * 1024;
    constexpr size_t largestBlock = 64 * 1024;
    if (m_blocks.empty() || m_blocks.back().capacity() - m_blocks.back().size() < packed.size()) {
        const size_t next =
            m_blocks.empty() ? firstBlock : std::min(largestBlock, 2 * m_blocks.back().capacity());
        m_blocks.emplace_back();
        m_blocks.back().reserve(std::max(next, packed.size()));
    }
    std::vector<char>& block = m_blocks.back();
    const size_t at = block.size();
    block.insert(block.end(), packed.begin(), packed.end());
    return block.data() + at;
}

QString Dynaset::name() const {
    return m_object.name;
}

QStringList Dynaset::fieldNames() const {
    return m_object.columns;
}

bool Dynaset::bof() const {
    return m_bof;
}

bool Dynaset::eof() const {
    return m_eof;
}

int Dynaset::recordCount() const {
    return static_cast<int>(m_rows.size());
}

void Dynaset::checkOpen() const {
    if (m_closed || !m_connection->isOpen())
        raise(ErrorNumber::StoreFailure, QStringLiteral("レコードセットは閉じられています。"));
}

int Dynaset::fieldIndex(const QString& name) const {
    for (const auto& [recent, index] : m_recentFields)
        if (recent.constData() == name.constData() && recent.size() == name.size())
            return index;
    const int index = lookupField(name);
    m_recentFields[m_nextRecent] = {name, index};
    m_nextRecent = (m_nextRecent + 1) % m_recentFields.size();
    return index;
}

int Dynaset::lookupField(const QString& name) const {
    auto found = m_object.fieldIndex.constFind(name);
    if (found == m_object.fieldIndex.constEnd())
        found = m_object.fieldIndex.constFind(name.toLower());
    if (found == m_object.fieldIndex.constEnd())
        raise(ErrorNumber::UnknownField,
              QStringLiteral("フィールド '%1' はこのレコードセットにありません。").arg(name));
    return *found;
}

void Dynaset::requireCurrent() const {
    if (m_currentDeleted)
        raiseRecordDeleted();
    if (m_bof || m_eof || m_index < 0 || m_index >= static_cast<int>(m_rows.size()))
        raiseNoCurrentRecord();
}

void Dynaset::leaveEdit() {
    m_mode = Mode::None;
    m_pending.clear();
}

void Dynaset::moveFirst() {
    checkOpen();
    leaveEdit();
    if (m_rows.empty())
        raiseNoCurrentRecord();
    m_index = 0;
    m_bof = m_eof = m_currentDeleted = false;
}

void Dynaset::moveLast() {
    checkOpen();
    leaveEdit();
    if (m_rows.empty())
        raiseNoCurrentRecord();
    m_index = static_cast<int>(m_rows.size()) - 1;
    m_bof = m_eof = m_currentDeleted = false;
}

void Dynaset::moveNext() {
    checkOpen();
    if (m_eof)
        raiseNoCurrentRecord();
    leaveEdit();
    // After a delete the following row has taken the deleted row's place.
    if (m_bof)
        m_index = 0;
    else if (!m_currentDeleted)
        ++m_index;
    m_bof = m_currentDeleted = false;
    if (m_index >= static_cast<int>(m_rows.size())) {
        m_index = static_cast<int>(m_rows.size());
        m_eof = true;
    }
}

void Dynaset::movePrevious() {
    checkOpen();
    if (m_bof)
        raiseNoCurrentRecord();
    leaveEdit();
    m_index = m_eof ? static_cast<int>(m_rows.size()) - 1 : m_index - 1;
    m_eof = m_currentDeleted = false;
    if (m_index < 0) {
        m_index = -1;
        m_bof = true;
    }
}

bool Dynaset::findFirst(const QString& criterion) {
    checkOpen();
    const std::optional<Criterion> parsed = parseCriterion(criterion);
    if (!parsed)
        raiseInvalidCriterion(criterion);
    auto found = m_object.fieldIndex.constFind(parsed->field);
    if (found == m_object.fieldIndex.constEnd())
        found = m_object.fieldIndex.constFind(parsed->field.toLower());
    if (found == m_object.fieldIndex.constEnd())
        raiseInvalidCriterion(criterion);
    const int column = *found;
    const qint64 number = parsed->value;

    refreshAll();
    for (int i = 0; i < static_cast<int>(m_rows.size()); ++i) {
        const Row& row = m_rows[static_cast<size_t>(i)];
        if (!row.gone && decodedEquals(row.values, column, number)) {
            leaveEdit();
            m_index = i;
            m_bof = m_eof = m_currentDeleted = false;
            m_noMatch = false;
            return true;
        }
    }
    m_noMatch = true;
    return false;
}

bool Dynaset::noMatch() const {
    return m_noMatch;
}

// The select list: a table's rows carry their rowid first, a view's rows are found again by their
// first column.
QString Dynaset::selectHead() const {
    return m_object.isView
               ? QStringLiteral("SELECT %1 FROM %2").arg(m_selectList, quoteIdentifier(m_object.name))
               : QStringLiteral("SELECT rowid, %1 FROM %2").arg(m_selectList, quoteIdentifier(m_object.name));
}

QVariant Dynaset::keyOf(const Row& row) const {
    if (m_object.isView)
        return decodeValue(row.values, 0);
    return QVariant(static_cast<qlonglong>(row.rowid));
}

void Dynaset::readRow(const Statement& query, Row& row, PackedValues& values) const {
    m_scratch.clear();
    if (m_object.isView) {
        query.encodeRow(m_scratch, 0);
    } else {
        row.rowid = query.integer(0);
        query.encodeRow(m_scratch, 1);
    }
    row.values = values.append(m_scratch);
}

bool Dynaset::fetchRow(const QVariant& key, Row& row) const {
    if (m_fetchSql.isEmpty())
        m_fetchSql = selectHead() + QStringLiteral(" WHERE %1 = ?1").arg(m_object.keyExpression);
    Statement query(*m_connection, m_fetchSql);
    query.bind(1, key);
    if (!query.step())
        return false;
    readRow(query, row, m_values);
    row.version = m_connection->writeVersion;
    row.gone = false;
    return true;
}

void Dynaset::refreshRow(Row& row) const {
    if (row.gone || row.version == m_connection->writeVersion)
        return;
    if (!fetchRow(keyOf(row), row))
        row.gone = true;
}

void Dynaset::refreshAll() {
    const quint64 version = m_connection->writeVersion;
    if (std::all_of(m_rows.begin(), m_rows.end(), [&](const Row& row) { return row.version == version; }))
        return;
    // One query for the whole relation; rows it no longer yields were deleted elsewhere.
    QHash<QString, size_t> positions;
    for (size_t i = 0; i < m_rows.size(); ++i)
        positions.insert(keyOf(m_rows[i]).toString(), i);
    Statement query(*m_connection, selectHead());
    PackedValues values;
    while (query.step()) {
        const QVariant key = m_object.isView ? query.value(0) : QVariant(query.integer(0));
        const auto position = positions.constFind(key.toString());
        if (position == positions.constEnd())
            continue;
        Row& held = m_rows[*position];
        readRow(query, held, values);
        held.version = version;
        held.gone = false;
    }
    // A row no longer yielded keeps its values, which hold a view row's key.
    for (Row& held : m_rows) {
        if (held.version != version) {
            held.gone = true;
            const char* end = findPackedValue(held.values, static_cast<int>(m_object.columns.size()));
            m_scratch.assign(held.values, end);
            held.values = values.append(m_scratch);
        }
    }
    m_values = std::move(values);
}

QVariant Dynaset::field(const QString& name) const {
    return field(fieldIndex(name));
}

QVariant Dynaset::field(int index) const {
    checkOpen();
    if (m_mode != Mode::None) {
        for (const auto& [pendingIndex, value] : m_pending)
            if (pendingIndex == index)
                return value;
        if (m_mode == Mode::Add)
            return QVariant();
    }
    requireCurrent();
    Row& row = m_rows[static_cast<size_t>(m_index)];
    refreshRow(row);
    if (row.gone)
        raiseRecordDeleted();
    return decodeValue(row.values, index);
}

void Dynaset::edit() {
    checkOpen();
    requireCurrent();
    Row& row = m_rows[static_cast<size_t>(m_index)];
    refreshRow(row);
    if (row.gone)
        raiseRecordDeleted();
    m_pending.clear();
    m_mode = Mode::Edit;
}

void Dynaset::addNew() {
    checkOpen();
    m_pending.clear();
    m_mode = Mode::Add;
}

void Dynaset::setField(const QString& name, const QVariant& value) {
    checkOpen();
    const int index = fieldIndex(name);
    if (m_mode == Mode::None)
        raise(ErrorNumber::NotEditing,
              QStringLiteral("Edit または AddNew を実行せずに値を設定しようとしました。"));
    for (auto& [pendingIndex, pendingValue] : m_pending) {
        if (pendingIndex == index) {
            pendingValue = value;
            return;
        }
    }
    m_pending.append({index, value});
}

void Dynaset::update() {
    checkOpen();
    if (m_mode == Mode::None)
        raise(ErrorNumber::NotEditing,
              QStringLiteral("Edit または AddNew を実行せずに Update を実行しようとしました。"));
    if (m_mode == Mode::Edit)
        storeEdit();
    else
        storeNew();
    leaveEdit();
}

void Dynaset::storeEdit() {
    requireCurrent();
    Row& row = m_rows[static_cast<size_t>(m_index)];
    refreshRow(row);
    if (row.gone)
        raiseRecordDeleted();
    if (m_pending.isEmpty())
        return;
    QVariant newKey = keyOf(row);
    for (const auto& [index, value] : m_pending) {
        if (m_object.isView ? index == 0 : m_object.columns.at(index) == m_object.integerKeyColumn)
            newKey = value;
    }
    Statement write(*m_connection, writeSql(pendingColumns(), true));
    int parameter = 1;
    for (const auto& pending : m_pending)
        write.bind(parameter++, pending.second);
    write.bind(parameter, keyOf(row));
    write.step();
    // Through a view's trigger the engine reports no changed rows, so only a table can tell.
    const bool tableRowMissing = !m_object.isView && sqlite3_changes(m_connection->handle) == 0;
    ++m_connection->writeVersion;
    if (tableRowMissing) {
        row.gone = true;
        raiseRecordDeleted();
    }
    if (!fetchRow(newKey, row)) {
        row.gone = true;
        raiseRecordDeleted();
    }
}

QList<int> Dynaset::pendingColumns() const {
    QList<int> columns;
    columns.reserve(m_pending.size());
    for (const auto& pending : m_pending)
        columns.append(pending.first);
    return columns;
}

const QString& Dynaset::writeSql(QList<int> columns, bool update) {
    auto& [cachedColumns, sql] = m_writeSql[update ? 1 : 0];
    if (!sql.isEmpty() && cachedColumns == columns)
        return sql;
    QStringList names;
    for (int index : columns)
        names.append(quoteIdentifier(m_object.columns.at(index)));
    const QString table = quoteIdentifier(m_object.name);
    if (update)
        sql = QStringLiteral("UPDATE %1 SET %2 = ? WHERE %3 = ?")
                  .arg(table, names.join(QStringLiteral(" = ?, ")), m_object.keyExpression);
    else if (names.isEmpty())
        sql = QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(table);
    else
        sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (?%3)")
                  .arg(table, names.join(QStringLiteral(", ")),
                       QStringLiteral(", ?").repeated(names.size() - 1));
    cachedColumns = std::move(columns);
    return sql;
}

void Dynaset::storeNew() {
    QVariant key;
    for (const auto& [index, value] : m_pending) {
        if (m_object.isView ? index == 0 : m_object.columns.at(index) == m_object.integerKeyColumn)
            key = value;
    }
    // A view gives no rowid of the row its trigger stores, so the row is found again by its key.
    if (m_object.isView && key.isNull())
        raise(ErrorNumber::ConstraintFailed,
              QStringLiteral("キー フィールド '%1' に値がありません。").arg(m_object.columns.value(0)));
    Statement write(*m_connection, writeSql(pendingColumns(), false));
    int parameter = 1;
    for (const auto& pending : m_pending)
        write.bind(parameter++, pending.second);
    write.step();
    ++m_connection->writeVersion;
    if (!m_object.isView && key.isNull())
        key = QVariant(static_cast<qlonglong>(sqlite3_last_insert_rowid(m_connection->handle)));
    Row row;
    if (fetchRow(key, row))
        m_rows.push_back(std::move(row));
}

void Dynaset::cancelUpdate() {
    checkOpen();
    leaveEdit();
}

bool Dynaset::isEditing() const {
    return m_mode != Mode::None;
}

void Dynaset::deleteCurrent() {
    checkOpen();
    requireCurrent();
    leaveEdit();
    Row& row = m_rows[static_cast<size_t>(m_index)];
    Statement write(*m_connection, QStringLiteral("DELETE FROM %1 WHERE %2 = ?")
                                       .arg(quoteIdentifier(m_object.name), m_object.keyExpression));
    write.bind(1, keyOf(row));
    write.step();
    const bool tableRowMissing = !m_object.isView && sqlite3_changes(m_connection->handle) == 0;
    ++m_connection->writeVersion;
    if (tableRowMissing) {
        row.gone = true;
        raiseRecordDeleted();
    }
    m_rows.erase(m_rows.begin() + m_index);
    m_currentDeleted = true;
}

void Dynaset::close() {
    leaveEdit();
    m_closed = true;
    m_rows.clear();
    m_values.clear();
    m_bof = m_eof = true;
}

} // namespace store
