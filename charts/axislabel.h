#pragma once
// The text of one tick of an axis: a category label, or a value of a value or X axis in the
// series' number format.

#include "model/chart.h"

#include <cstdint>
#include <string>

namespace vl {

// The text of tick k; false when the series holds no values, or for a category past the
// last label.
bool FormatAxisLabel(uint32_t k, const CChartSeries& series, std::string& text);

} // namespace vl
