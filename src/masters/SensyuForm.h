#pragma once

#include "race/RacerSearch.h"
#include "shell/FormWindow.h"

#include <QList>
#include <array>
#include <memory>
#include <utility>

class QAction;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QToolButton;
struct AppContext;
class Database;
class Recordset;
class SearchPanel;
namespace records {
struct RacerFields;
struct StoredRacer;
} // namespace records

// What the racer master window remembers of its last search. The program owns one for the whole run,
// so that a delete can repeat the search and a report can follow it in a later opening of the window.
struct SensyuSearchMemory {
    enum Mode : qint16 { Prefecture = 0, RegistrationNumber = 1, Term = 2, Kana = 3, ListAll = 4 };

    qint16 searchMode = Prefecture;
    qint16 lastPrefecture = 0; // the prefecture button pressed last (its 所属ID)
    qint16 lastTerm = 0;       // the term chosen last
    qint16 lastKana = 0;       // the kana button pressed last (its よみがなID)
    // The table the last search read (the extraction mode it ran in), which the report lists from.
    qint16 searchedTable = 0;
};

// The racer master window "選手テーブルメンテナンス": finds racers with the search panel of the race
// selection window, shows one in the edit panel, updates, adds and deletes racers, switches between the
// racer table and the extraction list, and prints racer lists that follow the last search.
class SensyuForm : public FormWindow {
    Q_OBJECT
public:
    static constexpr int AffiliationSlots = 101;
    static constexpr int BloodTypeSlots = 11;
    // Racers per printed page.
    static constexpr int ReportLinesPerPage = 61;

    SensyuForm(AppContext& ctx, SensyuSearchMemory& memory, QWidget* parent = nullptr);
    ~SensyuForm() override;

    // ListRacerIDs: the 選手ID of each line of List1, in list order.
    QList<qint16> listRacerIds() const;
    SearchPanel* searchPanel() const { return m_panel; }

    // Reopens the racer view and the racer table for the extraction mode, the view holding the rows
    // the given conditions select (as many as a search lists).
    void Table_Change(const QList<FieldEquals>& conditions = {});

    // The ID of an affiliation or blood-type name from the caches loaded with the window; 0 (after a
    // message when no slot matches) for an unknown name.
    qint16 SyozokuID_Kensaku(const QString& name);
    qint16 BladID_Kensaku(const QString& name);

    // Prints the racer list of the last search's kind.
    void SensyuPrint();

    void List1_Click(int line);
    void CommandDisp_Click(int index);
    void ComboSyozoku_Click();
    void ComboBladtype_Click();

    void Menu_Close_Click();
    void Menu_Ment_Click(int index);
    void Menu_Table_Click(int index);
    // "ﾌｧｲﾙ(&F)": the table read from and written to a CSV file.
    void Menu_CsvImport_Click();
    void Menu_CsvExport_Click();

    // The searches.
    void Kenmei_Click(int k);
    void ComboNamae_Click(int k);
    void ComboToban_Click();
    void ComboKi_Click();
    void Command500_Click();

protected:
    void Form_Unload() override;
    // The Enter key moves through the edit panel.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildMenus();
    void buildControls();
    void Form_Load();
    void showTableMode();

    Database& database();
    Recordset& racerView();
    int selectedLine() const;
    bool requireSelection();
    bool findListedRacer(qint16 racerId);
    bool positionRacerTable(qint16 racerId);
    QString racerCaption() const;
    // What the edit panel gives for a store, read and checked before anything is written. For an
    // update, stored is the racer as he is: a term shown as 0 for an unknown one stays unknown.
    bool readEditPanel(records::RacerFields& values, const records::StoredRacer* stored);

    void showRacer(int line);
    void updateRacer();
    void addRacer();
    void deleteRacer();
    void printList();

    void search(const SearchRequest& request);
    void showSearchList();
    void repeatLastSearch();
    void switchTable();
    void deleteListedExtraction();

    SensyuSearchMemory& m_memory;
    std::unique_ptr<Database> m_db;
    std::unique_ptr<Recordset> m_racerView;
    std::unique_ptr<Recordset> m_affiliations;
    std::unique_ptr<Recordset> m_bloodTypes;
    std::unique_ptr<Recordset> m_racerTable;
    // The extraction mode the racer view and table were opened for; a table switch leaves them open
    // on the old table until the next search.
    qint16 m_setMode = 0;
    SearchResults m_results;
    // A press that moved the selection has shown the racer already; the click that ends it need not.
    bool m_pressMovedSelection = false;
    std::array<std::pair<qint16, QString>, AffiliationSlots> m_affiliationCache{};
    std::array<std::pair<qint16, QString>, BloodTypeSlots> m_bloodTypeCache{};

    std::array<QToolButton*, 9> m_commandDisp{};
    QLabel* m_labelTable = nullptr;
    QFrame* m_pictureWaku = nullptr;
    SearchPanel* m_panel = nullptr;
    QListWidget* m_list1 = nullptr;
    QComboBox* m_comboSyozoku = nullptr;
    QLineEdit* m_ki = nullptr;
    QLineEdit* m_toban = nullptr;
    QLineEdit* m_namae = nullptr;
    QLineEdit* m_yomigana = nullptr;
    QLineEdit* m_kyu = nullptr;
    QLineEdit* m_seinen = nullptr;
    QLineEdit* m_seituki = nullptr;
    QLineEdit* m_seihi = nullptr;
    QComboBox* m_comboBladtype = nullptr;
    // The fields in the order the Enter key walks them.
    std::array<QWidget*, 10> m_enterChain{};

    std::array<QAction*, 4> m_menuMent{};
    std::array<QAction*, 2> m_menuTable{};
};
