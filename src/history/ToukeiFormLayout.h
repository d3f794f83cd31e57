#pragma once

#include "shell/Controls.h"

#include <QRect>
#include <span>

namespace toukeiform {

// The statistics window's plain controls (ToukeiFormLayout.cpp): the filter labels and the velodrome
// picker, then the summary and the export commands, which follow the table and chart in the tab order.
std::span<const controls::Row> filterLayout();
std::span<const controls::Row> bottomLayout();

// Where the controls the layout table has no kind for go: the two date pickers, the figure table and
// the chart.
constexpr QRect DateKaishi{262, 9, 104, 24};
constexpr QRect DateShuryo{388, 9, 104, 24};
constexpr QRect GridToukei{8, 40, 302, 276};
constexpr QRect ChartToukei{318, 40, 306, 276};

} // namespace toukeiform
