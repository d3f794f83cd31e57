#pragma once

#include "shell/FormWindow.h"
#include <array>

struct AppContext;
class QLabel;
class QPushButton;

// The detail chart's drawing surface: white, optional grey grid lines, the two axes.
// The markers are child labels placed on top of it.
class DetailChart : public QWidget {
public:
    explicit DetailChart(QWidget* parent = nullptr)
        : QWidget(parent) {}

    void setGridLines(bool on);
    bool gridLines() const { return m_grid; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool m_grid = false;
};

// "バイオリズム個別明細": one person's three cycles as day markers over 21 days centred on the
// survey date, with day and month steps, grid lines and the caution message of the centre day.
class Bior2Form : public FormWindow {
    Q_OBJECT

public:
    static constexpr int MarkerCount = 21;

    explicit Bior2Form(AppContext& ctx, QWidget* parent = nullptr);

    // Draws the chart: flag 0 on the first drawing, 1 or 2 afterwards; all draw alike, and markers are
    // made by the first drawing that needs them.
    void Set_Graph(qint16 flag);
    // Sets LabelMSG from the phases of the centre day.
    void Set_LabelMsg(double physicalPhase, double emotionalPhase, double intellectualPhase);

    // 0 前月, 1 前日, 2 翌日, 3 翌月, 4 縦線, 5 MSG.
    void CommandChoYMD_Click(int index);
    void Menu_Close_Click();

    DetailChart* chartArea() const { return m_chart; }
    // Marker i (0..20, 21 the template) of a cycle (23, 28 or 33); null before the first drawing.
    QLabel* marker(int cycle, int index) const;

private:
    void buildLayout();
    void drawChart();
    std::array<QLabel*, MarkerCount + 1>& markersOf(int cycle);

    DetailChart* m_chart = nullptr;
    QLabel* m_name = nullptr;
    QLabel* m_date = nullptr;
    QLabel* m_message = nullptr;
    std::array<QLabel*, MarkerCount + 1> m_body{};
    std::array<QLabel*, MarkerCount + 1> m_soul{};
    std::array<QLabel*, MarkerCount + 1> m_intel{};
};
