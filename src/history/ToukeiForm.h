#pragma once

#include "records/HistoryStatistics.h"
#include "shell/FormWindow.h"

#include <functional>
#include <memory>
#include <vector>

struct AppContext;
class QChart;
class QChartView;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineSeries;
class QPushButton;
class QTableWidget;
class QValueAxis;

// "バイオリズム統計": over every stored race with finishing orders, the starters' mean evaluations by
// finishing position and how often winners were on a caution day, with a chart; opened from the race
// history window. The races are read once when the window opens; the filters only recount them.
class ToukeiForm : public FormWindow {
    Q_OBJECT

public:
    // Asks where to save a file: the dialog's title, a suggested path and a name filter; an empty
    // answer means the user cancelled.
    using PathChooser =
        std::function<QString(const QString& title, const QString& suggestedPath, const QString& filter)>;

    explicit ToukeiForm(AppContext& ctx, QWidget* parent = nullptr);
    ~ToukeiForm() override;

    void setPathChooser(PathChooser chooser) { m_choosePath = std::move(chooser); }

    // Handlers, named after their controls.
    void ComboBasho_Click();
    void DateKaishi_Change();
    void DateShuryo_Change();
    void CommandGazou_Click();
    void CommandCsv_Click();
    void Menu_Close_Click();

    const history::Figures& figures() const { return m_figures; }

private:
    void buildMenu();
    void buildLayout();
    void buildChart();
    void Form_Load();
    void fillFilters();
    // Counts the races the filters let through and shows the figures and the chart.
    void showFigures();
    void showChart();
    QString chooseSavePath(const QString& title, const QString& fileName, const QString& filter);

    std::vector<history::CountedRace> m_races;
    history::Figures m_figures;
    PathChooser m_choosePath;
    bool m_filling = false;

    QComboBox* m_comboBasho = nullptr;
    QDateEdit* m_dateKaishi = nullptr;
    QDateEdit* m_dateShuryo = nullptr;
    QTableWidget* m_grid = nullptr;
    QChartView* m_chartView = nullptr;
    QChart* m_chart = nullptr;
    std::array<QLineSeries*, history::CycleCount> m_series{};
    QValueAxis* m_axisX = nullptr;
    QValueAxis* m_axisY = nullptr;
    QLabel* m_summary = nullptr;
};
