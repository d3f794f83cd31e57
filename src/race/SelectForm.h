#pragma once

#include "race/RacerSearch.h"
#include "shell/FormWindow.h"

#include <QHash>
#include <array>
#include <memory>

class QAction;
class QComboBox;
class QFrame;
class QLabel;
class QListWidget;
class QMenu;
class QToolButton;
struct AppContext;
class Database;
class Recordset;
class SearchPanel;

// The race selection window "選手検索": survey date, velodrome and race number of one race, the racer
// searches, and up to nine picked racers handed to the race table through the shared state.
class SelectForm : public FormWindow {
    Q_OBJECT
public:
    static constexpr int MaxPicks = 9;
    static constexpr int ExtractionLimit = 500;

    SelectForm(AppContext& ctx, RacerSearchChoices& choices, QWidget* parent = nullptr);
    ~SelectForm() override;

    qint16 pickCount() const { return m_pickCount; }
    const SearchResults& searchResults() const { return m_results; }
    SearchPanel* searchPanel() const { return m_panel; }

    // Reopens the racer source on the extraction or the normal racer view, by the extraction mode,
    // holding the rows the given conditions select.
    void Table_Change(const QList<FieldEquals>& conditions = {});

    // Date, velodrome and race boxes: each change or click writes the shared value at once.
    void ComboNen_Change();
    void ComboTuki_Change();
    void ComboHi_Change();
    void ComboBasho_Change();
    void ComboRace_Change();
    // The detail chart stepped the survey date: the date boxes show it.
    void SurveyDate_Change() override;

    void List1_Click(int line);
    void List2_Click(int line);
    void CommandDisp_Click(int index);

    void Menu_Close_Click();
    void Menu_Disp_Click();
    void Menu_Cancel_Click();
    void Menu_Table_Click(int index);
    void Menu_Select_Click();

    // The searches.
    void ComboKi_Click();
    void ComboToban_Click();
    void ComboNamae_Click(int k);
    void Kenmei_Click(int k);
    void Command500_Click();

protected:
    void Form_Unload() override;

private:
    void buildControls();
    void buildMenus();
    void Form_Load();
    void showTableMode();
    void rememberBoxTexts();

    void pickRacer(int line);
    void removeRacer(int line);
    void clearSelection();
    void openRaceTable();

    void search(SearchRequest request);
    void showSearchList();
    void switchTable();
    void addToExtractionTable();
    void setAddActionAvailable(bool available);

    Database& database();

    RacerSearchChoices& m_choices;
    std::unique_ptr<Database> m_db;
    std::unique_ptr<Recordset> m_racerSource;
    qint16 m_pickCount = 0;
    SearchResults m_results;
    // The text each date, velodrome and race box had when it was last handled.
    QHash<QComboBox*, QString> m_handledText;
    bool m_fillingBoxes = false;

    QFrame* m_pictureBotton = nullptr;
    std::array<QToolButton*, 7> m_commandDisp{};
    QLabel* m_imageTuika = nullptr;
    QLabel* m_labelTable = nullptr;
    QFrame* m_pictureWaku = nullptr;
    std::array<QFrame*, 2> m_picZentei{};
    QLabel* m_labelChoNen = nullptr;
    QComboBox* m_comboNen = nullptr;
    QComboBox* m_comboTuki = nullptr;
    QComboBox* m_comboHi = nullptr;
    std::array<QLabel*, 3> m_labelYMD{};
    std::array<QLabel*, 3> m_labelRace{};
    QComboBox* m_comboBasho = nullptr;
    QComboBox* m_comboRace = nullptr;
    SearchPanel* m_panel = nullptr;
    QLabel* m_labelHyouji = nullptr;
    QListWidget* m_list1 = nullptr;
    QLabel* m_labelSentaku = nullptr;
    QListWidget* m_list2 = nullptr;

    QAction* m_menuClose = nullptr;
    QAction* m_menuDisp = nullptr;
    QAction* m_menuCancel = nullptr;
    QMenu* m_menuChange = nullptr;
    std::array<QAction*, 2> m_menuTable{};
    QAction* m_menuSelect = nullptr;
};
