#pragma once
// The data update of charts: each series' range formula is evaluated as an array, its
// values are stored as points (or, for a categories series, formatted as labels) and the
// axis scales are computed again.

#include "model/chart.h"

#include <cstdint>

namespace vl {

class CContainer;
class CEvalContext;
class CTreeItem;
class CWorkbook;

// Labels and points one series may hold: a formula over a whole worksheet of empty cells
// asks for billions, which no chart can show.
constexpr uint64_t kMaxSeriesItems = uint64_t(1) << 26;

// Stores the values of an evaluated array (its page chain, rows and columns) in series n.
// False on failure, with the chart's error byte set when memory ran out.
bool CollectSeriesPoints(CChart& chart, uint16_t n, Page* pages, uint32_t rows, uint32_t columns);

// Empties what a layout built: grid lines, axes, walls, margins, light, canvas, zooms, gap
// and the vertex and face lists, their pages kept for reuse.
void ResetChartLayoutState(CChart& chart);

// Evaluates the series of one chart in the worksheet's context and stores their data; on
// failure the chart holds no derived data and its error byte says why. Every page the
// evaluation took goes back to the evaluator's free-page list.
bool RefreshChart(CEvalContext& ctx, CTreeItem& worksheet, CChart& chart);

// Refreshes every chart of the container in object order; a failing chart does not stop
// the others. False when any failed, with its code in the workbook's error. This is the
// refresh the program installs for recalculations and opened files.
bool RefreshContainerCharts(CWorkbook& workbook, CTreeItem& worksheet, CContainer& container);
// Installs RefreshContainerCharts as the refresh of every recalculation and opened file.
void InstallChartRefresh();

} // namespace vl
