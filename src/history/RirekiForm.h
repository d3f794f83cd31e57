#pragma once

#include "shell/FormWindow.h"

#include <QVariant>
#include <array>
#include <memory>

struct AppContext;
class Database;
class Recordset;
class QAction;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;

// The race history window: lists the stored races, shows one with its evaluations recomputed for
// its survey date, stores finishing orders, deletes races and prints them.
class RirekiForm : public FormWindow {
    Q_OBJECT

public:
    static constexpr int RowCount = 9;

    explicit RirekiForm(AppContext& ctx, QWidget* parent = nullptr);
    ~RirekiForm() override;

    // Handlers, named after their controls.
    void ComboRireki_Click();
    void Menu_Close_Click();
    void Menu_Edit_Click();
    void Mneu_Delete_Click();
    void Menu_Print_Click();
    void Menu_Toukei_Click();
    // "ﾌｧｲﾙ(&F)" > "CSV出力(&O)...": every stored race into a CSV file.
    void Menu_CsvExport_Click();

    // Fills the nine rows from the query set's current record.
    void LabelDisp();
    // 所属名 of the affiliation with that ID, or a null value when there is none.
    QVariant ShozokuMei(qint16 id);

protected:
    void Form_Unload() override;

private:
    struct Row {
        QFrame* strip = nullptr;
        QLabel* no = nullptr;
        QLabel* shozokuMei = nullptr;
        QLabel* ki = nullptr;
        QLabel* namae = nullptr;
        QLabel* seiNen = nullptr;
        QLabel* seiTuki = nullptr;
        QLabel* seiHi = nullptr;
        QLabel* body = nullptr;
        QLabel* heart = nullptr;
        QLabel* intel = nullptr;
        QLineEdit* jyuni = nullptr;
    };

    void buildLayout();
    void buildMenu();
    void Form_Load();
    void fillCombo();
    // Empties the nine rows, for a pick with no race to show.
    void clearRows();
    // Positions the history set on the race the query set shows; false when it is gone.
    bool findPickedInHistory();
    // The race of the ID in a table or query, as a set of that one row (none when there is no such race).
    std::unique_ptr<Recordset> openRace(const QString& name, double id);
    bool refusedBeforePick();

    std::unique_ptr<Database> m_db;
    std::unique_ptr<Recordset> m_query;       // Q_レース履歴: the race picked
    std::unique_ptr<Recordset> m_history;     // T_レース履歴: the race picked, when it is changed
    std::unique_ptr<Recordset> m_affiliation; // T_所属
    bool m_racePicked = false;

    QFrame* m_pictureWaku = nullptr;
    QLabel* m_labelRireki = nullptr;
    QComboBox* m_comboRireki = nullptr;
    QFrame* m_pictureHyouji = nullptr;
    QLabel* m_labelMidashi = nullptr;
    std::array<Row, RowCount> m_rows;
};
