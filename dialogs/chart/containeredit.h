#pragma once
// The edits the container properties window makes on its working copy: charts added,
// ordered and removed, series added and removed, the labels it shows, the checks Apply
// makes, and the worksheet reference a series formula takes from the selection.

#include "model/container.h"

#include <string>
#include <string_view>

namespace vl {

// "2D Chart 1." and so on; empty for a slot without a chart.
std::string ChartObjectLabel(const CContainer& c, int slot);
// The series types of the type combo by position, and the role each stands for.
const char* SeriesTypeLabel(uint8_t chartType, int position);
uint8_t RoleOfPosition(uint8_t chartType, int position);
// -1 for a role the combo does not show.
int PositionOfRole(uint8_t role);

// Adds a chart of the type in the next slot, growing the object grid by a row when it has
// fewer rows than columns, else by a column, once it is full. 0, or the error code shown
// (too many objects, or no memory).
int AddChartObject(CContainer& c, uint8_t chartType);
// Deletes the object and closes the gap; the object to select next (-1 the container).
int RemoveChartObject(CContainer& c, int slot);
// Swaps the object with its neighbour, later or earlier; false when it has none there.
bool MoveChartObject(CContainer& c, int& slot, bool later);

// A new series of the chart's defaults at the next index; its index, or -1 when the chart
// holds the most it can.
int AddChartSeries(CChart& chart);
// Closes the gap the series leaves; the index to select next (-1 none).
int RemoveChartSeries(CChart& chart, int index);
// After series `index` was renamed from `oldName`: the X domain and sigma links of the other
// series that named it name it anew, as formulas follow a renamed worksheet. Links stay
// while another series still bears the old name (letter case aside).
void CarrySeriesRename(CChart& chart, int index, const char* oldName);

// 0 when the container may be applied, else the string that says why not: mixed views of
// a 3D chart first, then a Y-series without its X-series, then a missing error-bar series.
int ContainerApplyProblem(const CContainer& c);

// Whether a worksheet path must be put in double quotes in a reference.
bool NameNeedsQuotes(std::string_view path);
// The path, "!" and the reference, the path quoted when it must be.
std::string QualifiedReference(std::string_view path, std::string_view reference);

} // namespace vl
