#pragma once

#include "shell/Controls.h"

#include <QRect>
#include <QSize>
#include <span>

namespace toukeiform {

// The window's client area: larger than a work window's, to hold both tables beside the chart.
constexpr QSize Client{760, 628};

// The statistics window's plain controls (ToukeiFormLayout.cpp): the filter labels and the velodrome
// picker, then the notes, the summary and the export commands, which follow the tables and the chart
// in the tab order.
std::span<const controls::Row> filterLayout();
std::span<const controls::Row> bottomLayout();

// Where the controls the layout table has no kind for go: the two date pickers, the two tables and
// the chart.
constexpr QRect DateKaishi{262, 9, 104, 24};
constexpr QRect DateShuryo{388, 9, 104, 24};
constexpr QRect GridToukei{8, 40, 328, 215};
constexpr QRect ChartToukei{344, 40, 408, 263};
constexpr QRect GridKentei{8, 311, 744, 215};

} // namespace toukeiform
