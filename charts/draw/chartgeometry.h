#pragma once
// The builders of a layout's geometry: the XY wall with the grid lines of every axis, and
// the axis bands with their tick marks, stacked outward on their sides.

#include "model/chart.h"
#include "platform/core/errorcode.h"

#include <cstdint>
#include <functional>

namespace vl {

// Axis side codes.
enum AxisSide : uint8_t {
    kSideLeft = 1,
    kSideRight = 2,
    kSideTop = 4,
    kSideBottom = 8,
    kSideDepthLeft = 16,
    kSideDepthBottom = 32,
    kSideDepthRight64 = 64,
    kSideDepthRight = 128,
};

// Axis flags of a series.
enum AxisFlag : uint16_t {
    kLabelsVertical = 1,
    kLabelsHorizontal = 2,
    kTitleVertical = 4,
    kTitleHorizontal = 8,
    kMajorTickMarks = 16,
    kMinorTickMarks = 32,
};

// The depth of a 3D chart's scene (0 for other charts and for none of data series).
float ChartDepth(CChart& chart, int32_t w, int32_t h);
// Appends a vertex at the model position; false when no page could be had.
bool AddVertex(CChart& chart, float x, float y, float z);

// One grid line at fraction f of its axis; false when its vertices cannot be had.
enum GridLineKind : uint8_t { kGridMajor, kGridMinor, kGridUser };
using GridLineEmitter = std::function<bool(float f, GridLineKind kind)>;
// Opens the next grid-line set of the plane for the series and emits its major, minor and
// user lines; false when the table is full or a line fails.
bool BuildGridLineSet(CChart& chart, CChartSeries& series, uint8_t plane,
                      const GridLineEmitter& line);

// The wall of a 2D chart's plot and one grid-line set per axis-owning series.
bool BuildXYWall(CChart& chart, int32_t w, int32_t h);

// The side of a series' first (which 1) or second (which 2) axis; 0 when it has none.
uint8_t GetAxisSide(CChart& chart, int which, const CChartSeries& series);
// The tick length and the gap of the current layout.
int32_t TickLength(const CChart& chart);
// Widens the margins by the room every shown axis needs.
void ReserveAxisMargins(CChart& chart);
// Fills the label, title and extent fields of a record whose side is set.
void MeasureAxisLabels(CChart& chart, const CChartSeries& series, AxisRecord& record);
bool BuildChartAxes(CChart& chart, int32_t w, int32_t h);
// One axis band with its ticks; false with 31 when the table is full, 27 when a vertex
// cannot be had, and false with no code for a side outside the table.
bool BuildAxisRecord(CChart& chart, uint8_t side, int32_t w, int32_t h, CChartSeries& series);

// The fraction of the axis at major tick t, or minor tick k of interval t (k 0 for major).
bool AxisTickFraction(const CChartSeries& series, uint32_t t, uint32_t k, float& f);
// The number of vertices the wall and axes of the chart would take, counted before any is
// built.
uint64_t CountLayoutVertices(const CChart& chart);

} // namespace vl
