#pragma once

#include "records/RacerRecord.h"
#include "records/TableCsv.h"

#include <QHash>
#include <memory>
#include <vector>

class Recordset;

namespace records {

// The racers as "選手ID,名前,よみがな,所属,期,級,生年,生月,生日,血液型", affiliation and blood type by
// name. Export lists the racer table or the extraction list; import adds new racers and updates
// the others by 選手ID, in the racer table.
class RacerCsv : public TableCsv {
public:
    explicit RacerCsv(int extractionMode = 0);
    ~RacerCsv() override;

    QStringList header() const override;
    QByteArray exportFile(Database& db) override;
    CsvCheck check(Database& db, const csv::Document& document) override;

protected:
    int pendingWrites() const override { return static_cast<int>(m_writes.size()); }
    void beginWrites(Database& db) override;
    void writeOne(Database& db, int index) override;
    void endWrites() override;

private:
    struct Write {
        RacerFields fields;
        bool adding = false;
        StoredRacer stored; // the racer as he is, for a change
    };
    int m_extractionMode;
    QList<Write> m_writes;    // in the file's order
    std::vector<int> m_order; // the order they are written in
    std::unique_ptr<Recordset> m_racers;
};

} // namespace records
