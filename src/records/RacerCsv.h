#pragma once

#include "records/RacerRecord.h"
#include "records/TableCsv.h"

#include <memory>
#include <vector>

class TableWriter;

namespace records {

// The racers as "選手ID,名前,よみがな,所属,期,級,生年,生月,生日,血液型", affiliation and blood type by
// name. Export lists the racer table or the extraction list; import adds new racers and updates
// the others by 選手ID, in the racer table.
class RacerCsv : public TableCsv {
public:
    explicit RacerCsv(int extractionMode = 0);
    ~RacerCsv() override;

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
        RacerFields fields;
        bool adding = false;
        StoredRacer stored; // the racer as he is, for a change
    };
    int m_extractionMode;
    std::vector<Write> m_writes; // in the file's order
    std::unique_ptr<TableWriter> m_writer;
};

} // namespace records
