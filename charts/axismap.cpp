#include "charts/axismap.h"

#include <cfloat>
#include <cmath>

namespace vl {

double TransformAxisValue(uint8_t scale, double value, bool inverse) {
    switch (scale) {
    case kScaleLog2:
        if (inverse) return std::pow(2.0, value);
        return value <= 0 ? 0 : std::log10(value) / std::log10(2.0);
    case kScaleLn:
        if (inverse) return std::exp(value);
        return value <= 0 ? 0 : std::log(value);
    case kScaleLog10:
        if (inverse) return std::pow(10.0, value);
        return value <= 0 ? 0 : std::log10(value);
    default:
        return value;
    }
}

bool IsAbnormalFloat(float f) {
    if (!std::isfinite(f)) return true;
    const float magnitude = std::fabs(f);
    return magnitude != 0 && magnitude < FLT_MIN;
}

bool IsAbnormalDouble(double d) {
    if (!std::isfinite(d)) return true;
    const double magnitude = std::fabs(d);
    return magnitude != 0 && magnitude < DBL_MIN;
}

bool ValueToAxisFraction(double value, float& fraction, const CChartSeries& series) {
    const bool log = series.settings.scale != kScaleLinear;
    const double lo = log ? series.logMinimum : series.minimum;
    const double hi = log ? series.logMaximum : series.maximum;
    double base = 0;
    if (lo <= 0 && hi <= 0)
        base = hi;
    else if (lo >= 0 && hi >= 0)
        base = lo;
    const double f = (value - base) / (hi - lo) - series.baseOffset;
    if (std::fabs(f) > FLT_MAX || std::isnan(f)) return false;
    fraction = float(f);
    return !IsAbnormalFloat(fraction);
}

bool BaseFraction(const CChartSeries& series, uint8_t valueFlags, float& fraction) {
    const bool log = IsLogScale(series.settings.scale);
    const double lo = log ? series.logMinimum : series.minimum;
    const double hi = log ? series.logMaximum : series.maximum;
    const bool negative = valueFlags & kPointNegative, positive = valueFlags & kPointPositive;
    // Values of one sign on an axis that holds zero still stand on zero, not on its end.
    if ((negative && positive) || (lo < 0 && hi > 0))
        return ValueToAxisFraction(0, fraction, series);
    fraction = negative ? 1.0f : 0.0f;
    return true;
}

} // namespace vl
