#pragma once
// Values onto value axes: the logarithmic scales, the fraction of an axis at which a value
// lies, and the test that such a fraction can be drawn.

#include "model/chart.h"

#include <cstdint>

namespace vl {

enum AxisScale : uint8_t { kScaleLinear = 0, kScaleLog2 = 1, kScaleLn = 2, kScaleLog10 = 3 };

inline bool IsLogScale(uint8_t scale) {
    return scale >= kScaleLog2 && scale <= kScaleLog10;
}

// The logarithm of `value` in the scale's base (0 for a value of 0 or less), or with
// `inverse` the base to that power; any other scale leaves the value as it is.
double TransformAxisValue(uint8_t scale, double value, bool inverse);
// Infinities, NaNs, magnitudes beyond the float range and non-zero magnitudes below the
// smallest normal float.
bool IsAbnormalFloat(float f);
bool IsAbnormalDouble(double d);
// The fraction of the series' axis at which `value` (in the axis's own space: logarithms on
// a logarithmic scale) lies, 0 at the axis bottom; false when it is no usable float.
bool ValueToAxisFraction(double value, float& fraction, const CChartSeries& series);

// The axis fraction that the series' bars and areas grow from, for the value flags of its
// points: 0 on an axis that zero lies below, 1 on one that it lies above, and the fraction of
// zero wherever the axis holds it, whatever side the values are on. False when that fraction
// is no usable float.
bool BaseFraction(const CChartSeries& series, uint8_t valueFlags, float& fraction);

// Counts below 1 read from a file count as 1.
inline uint32_t MajorIntervals(const CChartSeries& s) {
    return s.settings.periods ? s.settings.periods : 1u;
}
inline uint32_t MinorIntervals(const CChartSeries& s) {
    return s.settings.subperiods ? s.settings.subperiods : 1u;
}
inline uint32_t CategoryDivisor(const CChartSeries& s) {
    return s.settings.divisor ? s.settings.divisor : 1u;
}
// Series records beyond the 16 are never read, whatever count a file gave.
inline uint16_t UsedSeriesCount(const CChart& chart) {
    return chart.settings.seriesCount < kChartSeries ? chart.settings.seriesCount : kChartSeries;
}

} // namespace vl
