#pragma once

#include "shell/FormWindow.h"

#include <QVariant>
#include <array>
#include <memory>

struct AppContext;
class Database;
class QFrame;
class QLabel;
class Recordset;

// "表示": the race biorhythm table. One row per racer of the race with the three evaluations on the
// survey date; from its menu the race is registered as history, printed, or charted.
class DispForm : public FormWindow {
    Q_OBJECT

public:
    static constexpr int RowCount = 9;

    explicit DispForm(AppContext& ctx, QWidget* parent = nullptr);
    ~DispForm() override;

    // The ID of the velodrome whose trimmed name equals the trimmed argument, or a null QVariant.
    // Walks T_競輪場 from its first record and stays on the match (or past the end).
    QVariant KeirinjyoID(const QString& name);

    void Menu_Close_Click();
    void Menu_Add_Click();
    void Menu_Print_Click();
    void Menu_Disp_Click();
    void SurveyDate_Change() override;

protected:
    void Form_Unload() override;

private:
    struct Row {
        QFrame* strip = nullptr;
        QLabel* no = nullptr;
        QLabel* affiliation = nullptr;
        QLabel* term = nullptr;
        QLabel* name = nullptr;
        QLabel* birthYear = nullptr;
        QLabel* birthMonth = nullptr;
        QLabel* birthDay = nullptr;
        QLabel* bloodType = nullptr;
        QLabel* physical = nullptr;
        QLabel* emotional = nullptr;
        QLabel* intellectual = nullptr;
    };

    void buildMenu();
    void buildLayout();
    void Form_Load();
    void fillRows();
    Recordset& velodromes();

    std::array<QLabel*, 2> m_header{};
    std::array<Row, RowCount> m_rows{};
    // The database comes first so that the record sets are released before it.
    std::unique_ptr<Database> m_db;
    std::unique_ptr<Recordset> m_history;
    std::unique_ptr<Recordset> m_velodromes;
};
