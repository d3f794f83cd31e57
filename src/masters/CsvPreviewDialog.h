#pragma once

#include "records/TableCsv.h"

#include <QDialog>

struct AppContext;
class QLabel;
class QPushButton;
class QTableWidget;

// "CSV取込の確認": what an import would do (rows new, changed, unchanged and rejected, and why each
// rejected row is), shown before anything is written. "取込" goes on; it is disabled when there is
// nothing to write.
class CsvPreviewDialog : public QDialog {
    Q_OBJECT
public:
    CsvPreviewDialog(const QString& path, const records::CsvCheck& check, QWidget* parent = nullptr);

    QPushButton* importButton() const { return m_import; }
    QPushButton* cancelButton() const { return m_cancel; }

private:
    QPushButton* m_import = nullptr;
    QPushButton* m_cancel = nullptr;
};

namespace masters {

// Rows written above this many are written under a progress dialog that can stop the import.
constexpr int ProgressThreshold = 2000;

// "CSV出力": asks for a file (offering fileName in the program folder) and writes the table to it.
void exportCsv(AppContext& ctx, records::TableCsv& table, Database& db, const QString& fileName);

// "CSV取込": asks for a file, checks it against the table, shows the preview and, when the user goes
// on, writes the accepted rows in one transaction. True when rows were written.
bool importCsv(AppContext& ctx, QWidget* parent, records::TableCsv& table, Database& db);

} // namespace masters
