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
class QScatterSeries;
class QTableWidget;
class QValueAxis;

// "バイオリズム統計": over every stored race with finishing orders, the starters' mean evaluations by
// finishing position with their intervals and a chart of them, and per cycle two tested questions
// (do caution days go with winning, do evaluations go with the finishing order) with a summary that
// claims a relation only beyond chance; opened from the race history window. The races are read once
// when the window opens; the filters only recount them.
class ToukeiForm : public FormWindow {
    Q_OBJECT

public:
    // Asks where to save a file: the dialog's title, a suggested path and a name filter; an empty
    // answer means the user cancelled. The suggestion lies in the folder of the last export, or at
    // first in the user's documents folder.
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
    void showTables(bool inverted);
    void showChart();
    history::StatisticsFilter currentFilter() const;
    // The chosen path, with the suffix added when the name lacks it; empty when cancelled.
    QString chooseSavePath(const QString& title, const QString& fileName, const QString& filter,
                           const QString& suffix);

    std::vector<history::CountedRace> m_races;
    history::Figures m_figures;
    PathChooser m_choosePath;
    bool m_filling = false;

    QComboBox* m_comboBasho = nullptr;
    QDateEdit* m_dateKaishi = nullptr;
    QDateEdit* m_dateShuryo = nullptr;
    QTableWidget* m_grid = nullptr;
    QTableWidget* m_tests = nullptr;
    QChartView* m_chartView = nullptr;
    QChart* m_chart = nullptr;
    // The means as points, one series per cycle (the legend's); lines between neighbouring positions
    // and the error bars are series of their own, made afresh with the figures.
    std::array<QScatterSeries*, history::CycleCount> m_points{};
    std::vector<QLineSeries*> m_lines;
    QValueAxis* m_axisX = nullptr;
    QValueAxis* m_axisY = nullptr;
    QLabel* m_note = nullptr;
    QLabel* m_summary = nullptr;
    QPushButton* m_commandGazou = nullptr;
    QPushButton* m_commandCsv = nullptr;
};
