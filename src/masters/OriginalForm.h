#pragma once

#include "core/AppState.h"
#include "shell/FormWindow.h"

#include <QString>
#include <QStringList>
#include <memory>

struct AppContext;
class Database;
class QComboBox;
class QLineEdit;
class RecordBrowser;
class Recordset;

// "個別調査": a free roster of persons with name and birth date, moved through record by record,
// updated, added, deleted and printed; a survey date picked here; and the detail chart of the person
// on screen.
class OriginalForm : public FormWindow {
    Q_OBJECT

public:
    explicit OriginalForm(AppContext& ctx, QWidget* parent = nullptr);
    ~OriginalForm() override;

    // 0 first, 1 previous, 2 next, 3 last, 4 update, 5 add, 6 delete, 7 print.
    void CommandDB_Click(int index);
    // The menu entries 4..7 do what the buttons of the same index do.
    void Menu_Ment_Click(int index);
    // The person on screen into slot 6 and the detail chart opened for it.
    void Menu_Disp_Click();
    void Menu_Sales_Click();
    void Menu_Close_Click();
    // "ﾌｧｲﾙ(&F)": the table read from and written to a CSV file.
    void Menu_CsvImport_Click();
    void Menu_CsvExport_Click();

    // The survey-date pickers: every change or click writes the shared survey date and checks it.
    void ComboChoNen_Change();
    void ComboChoTuki_Change();
    void ComboChoHi_Change();

    // The detail chart stepped the shared survey date: the survey pickers follow it.
    void SurveyDate_Change() override;

    // Prints "個別名簿一覧表" under its own error trap.
    void Meibo_Print();

    int currentRecordNo() const;
    int recordTotal() const;

protected:
    void Form_Unload() override;

private:
    void buildMenu();
    void buildControls();
    void Form_Load();
    void fillPickers();
    void showRecord();
    Recordset& roster();
    bool storeFromBoxes(bool adding);
    void surveyPartChanged(qint16 SurveyDate::*part, const QComboBox* box);

    std::unique_ptr<Database> m_db;
    std::unique_ptr<Recordset> m_meibo; // T_個別名簿
    std::unique_ptr<RecordBrowser> m_browser;

    QComboBox* m_comboChoNen = nullptr;
    QComboBox* m_comboChoTuki = nullptr;
    QComboBox* m_comboChoHi = nullptr;
    QLineEdit* m_recordNo = nullptr;
    QLineEdit* m_textNamae = nullptr;
    QComboBox* m_comboNen = nullptr;
    QComboBox* m_comboTuki = nullptr;
    QComboBox* m_comboHi = nullptr;
    bool m_fillingBoxes = false;
    QStringList m_shown; // 名前, 生年, 生月, 生日 as the shown record holds them
};
