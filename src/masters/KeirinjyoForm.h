#pragma once

#include "shell/FormWindow.h"

#include <QList>
#include <QString>
#include <memory>

struct AppContext;
class Database;
class QComboBox;
class QLineEdit;
class RecordBrowser;
class Recordset;

// "競輪場テーブルメンテナンス": the velodromes one at a time (ID, name, region), moved through record by
// record, updated, added and deleted after a question, and printed as the list "競輪場一覧表".
class KeirinjyoForm : public FormWindow {
    Q_OBJECT

public:
    explicit KeirinjyoForm(AppContext& ctx, QWidget* parent = nullptr);
    ~KeirinjyoForm() override;

    // 0 first, 1 previous, 2 next, 3 last, 4 update, 5 add, 6 delete, 7 print.
    void CommandDB_Click(int index);
    // The menu entries 4..7 do what the buttons of the same index do.
    void Menu_Ment_Click(int index);
    void Menu_Close_Click();
    // "ﾌｧｲﾙ(&F)": the table read from and written to a CSV file.
    void Menu_CsvImport_Click();
    void Menu_CsvExport_Click();

    // The 地区ID of the loaded region of that name; 0 after "地区テーブルなし" when there is none.
    qint16 ChikuID_Kensaku(const QString& name);
    // Prints "競輪場一覧表" under its own error trap.
    void Keirinjyo_Print();

    int currentRecordNo() const;
    int recordTotal() const;

protected:
    void Form_Unload() override;

private:
    struct Region {
        qint16 id = 0;
        QString name;
    };

    void buildMenu();
    void buildControls();
    void Form_Load();
    void showRecord();
    Recordset& velodromes();
    // Update (edit) and add (addNew) write the same three fields from the boxes.
    bool storeFromBoxes(bool adding);

    std::unique_ptr<Database> m_db;
    std::unique_ptr<Recordset> m_keirinjyo; // Q_競輪場
    std::unique_ptr<Recordset> m_chiku;     // T_地区
    QList<Region> m_regionCache;
    std::unique_ptr<RecordBrowser> m_browser;

    QLineEdit* m_recordNo = nullptr;
    QLineEdit* m_keirinjyoID = nullptr;
    QLineEdit* m_keirinjyoMei = nullptr;
    QComboBox* m_comboChikuMei = nullptr;
};
