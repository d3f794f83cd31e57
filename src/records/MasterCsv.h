#pragma once

#include "records/TableCsv.h"

#include <memory>

class TableWriter;

namespace records {

// The velodromes as "競輪場ID,競輪場名,地区", the region by name; import adds and updates by 競輪場ID.
class VelodromeCsv : public TableCsv {
public:
    VelodromeCsv();
    ~VelodromeCsv() override;
    QList<CsvColumn> columns() const override;
    QByteArray exportFile(Database& db) override;
    CsvCheck check(Database& db, const csv::Document& document) override;

protected:
    int pendingWrites() const override { return static_cast<int>(m_writes.size()); }
    void beginWrites(Database& db) override;
    void writeOne(int index) override;
    void endWrites() override;

private:
    struct Write {
        qint16 id = 0;
        QString name;
        qint16 regionId = 0;
        bool adding = false;
    };
    QList<Write> m_writes;
    std::unique_ptr<TableWriter> m_writer;
};

// The roster as "名前,生年,生月,生日", the birth year as a Western year. The roster has no key of its
// own: a person already listed with the same name and birth date (by value, however the date was
// typed) is left as it is, any other is added.
class RosterCsv : public TableCsv {
public:
    RosterCsv();
    ~RosterCsv() override;
    QList<CsvColumn> columns() const override;
    QByteArray exportFile(Database& db) override;
    CsvCheck check(Database& db, const csv::Document& document) override;

protected:
    int pendingWrites() const override { return static_cast<int>(m_writes.size()); }
    void beginWrites(Database& db) override;
    void writeOne(int index) override;
    void endWrites() override;

private:
    QList<QStringList> m_writes; // 名前, 生年, 生月, 生日 as the roster stores them
    std::unique_ptr<TableWriter> m_writer;
};

} // namespace records
