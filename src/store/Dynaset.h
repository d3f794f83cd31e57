#pragma once

#include "store/Database.h"
#include "store/Recordset.h"
#include "store/StoreInternal.h"

#include <array>
#include <deque>
#include <vector>

namespace store {

// The record set of the store: the keyset and the rows' values are read with one query when the
// set opens, so moves and find-first work in memory. A write through any record set of the same
// connection makes the rows held elsewhere stale; they are read again, by key, when next used.
// With maxRows of 0 or more the set holds no more than the first maxRows rows; a negative maxRows
// sets no limit. With columns, only those columns are read (a view's first column, its key, is
// always among them, first).
class Dynaset final : public Recordset {
public:
    Dynaset(std::shared_ptr<Connection> connection, const ObjectInfo& object,
            const QList<FieldEquals>& conditions, int maxRows = -1, const QStringList& columns = {});

    QString name() const override;
    QStringList fieldNames() const override;

    bool bof() const override;
    bool eof() const override;
    int recordCount() const override;

    void moveFirst() override;
    void moveNext() override;
    void movePrevious() override;
    void moveLast() override;

    bool findFirst(const QString& criterion) override;
    bool noMatch() const override;

    QVariant field(const QString& name) const override;

    void edit() override;
    void addNew() override;
    void setField(const QString& name, const QVariant& value) override;
    void update() override;
    void cancelUpdate() override;
    bool isEditing() const override;

    void deleteCurrent() override;

    void close() override;

private:
    struct Row {
        qint64 rowid = 0;             // a table row's key; a view row's key is its first value
        const char* values = nullptr; // the row's packed values, in m_values
        quint64 version = 0;
        bool gone = false; // deleted through another record set
    };
    // The rows' packed values in blocks that never move once written: a large set grows by adding
    // blocks, without copying what it holds.
    class PackedValues {
    public:
        const char* append(const std::vector<char>& packed);
        void clear() { m_blocks.clear(); }

    private:
        std::vector<std::vector<char>> m_blocks;
    };
    enum class Mode { None, Edit, Add };

    void checkOpen() const;
    QVariant field(int index) const;
    int fieldIndex(const QString& name) const;
    int lookupField(const QString& name) const;
    void requireCurrent() const;
    void leaveEdit();
    QString selectHead() const;
    QVariant keyOf(const Row& row) const;
    void readRow(const Statement& query, Row& row, PackedValues& values) const;
    bool fetchRow(const QVariant& key, Row& row) const;
    void refreshRow(Row& row) const;
    void refreshAll();
    void storeEdit();
    void storeNew();
    QList<int> pendingColumns() const;
    const QString& writeSql(QList<int> columns, bool update);

    std::shared_ptr<Connection> m_connection;
    ObjectInfo m_object;
    QString m_selectList;
    mutable std::deque<Row> m_rows;
    mutable PackedValues m_values;
    mutable std::vector<char> m_scratch; // one row being packed
    // The last names asked for: windows ask with the same literals over and over, a search for up
    // to thirteen of them per row.
    mutable std::array<std::pair<QString, int>, 16> m_recentFields;
    mutable size_t m_nextRecent = 0;
    int m_index = -1;
    bool m_bof = true;
    bool m_eof = true;
    bool m_currentDeleted = false;
    bool m_noMatch = false;
    bool m_closed = false;
    Mode m_mode = Mode::None;
    QList<std::pair<int, QVariant>> m_pending; // fields set since edit or add new, in order
    // The text of the statements this set ran last: a run of writes (an import) sets the same
    // fields row after row, and building the text cost more than running the statement.
    mutable QString m_fetchSql;
    std::array<std::pair<QList<int>, QString>, 2> m_writeSql; // [0] insert, [1] update
};

} // namespace store
