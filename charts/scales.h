#pragma once
// The limits of every value and X axis of a chart and the position of every stored value on
// its axis. Series stacked on one another share one axis, computed from the stack sums.

#include "model/chart.h"
#include "platform/core/errorcode.h"

#include <cstdint>

namespace vl {

// Series of one chart taken together: a stacking group or a single series.
struct SeriesGroup {
    CChartSeries* members[kChartSeries] = {};
    uint16_t count = 0;
};

// The in-use series of the given role, in index order.
void CollectSeriesByRole(CChart& chart, SeriesGroup& group, uint8_t role);
// The data series of the kind whose stacked and relative bytes are set (1) or clear (0).
void CollectSeriesByKind(CChart& chart, SeriesGroup& group, uint8_t kind, uint8_t stacked,
                         uint8_t relative);

// Gives every axis its limits and every point its position, and marks the scales valid.
// False, with the chart's error byte set, on failure; false at once when it is already set.
bool UpdateChartScales(CChart& chart);

// The steps of UpdateChartScales for one group; each gives kErrorNone or the failure's code.
ErrorCode SumStackingGroup(SeriesGroup& group);
ErrorCode SetAxisLimits(SeriesGroup& group);
ErrorCode NormalizeSeriesPoints(SeriesGroup& group);
// Widens lo and hi outward to multiples of a step so that `intervals` steps span them.
// kErrorChartLimits when the limits or the span are no finite numbers.
ErrorCode NiceScale(double& lo, double& hi, uint32_t intervals, bool logarithmic);

// 32 for more than 16 series, 33 for a series with more than 16 user grid lines.
ErrorCode CheckChartCounts(const CChart& chart);

} // namespace vl
