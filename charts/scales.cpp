#include "charts/scales.h"

#include "charts/axismap.h"
#include "charts/points.h"

#include <algorithm>
#include <cmath>

namespace vl {

namespace {

constexpr uint8_t kHasValues = kPointPositive | kPointNegative | kPointZero;

bool HoldsValues(const CChartSeries& s) {
    return (s.valueFlags & (kHasValues | kPointOutside)) != 0;
}

// The order in which stacking groups are scaled: kind, relative.
constexpr uint8_t kStackOrder[12][2] = {{4, 0},  {4, 1},  {2, 0}, {2, 1}, {1, 0}, {1, 1},
                                        {10, 0}, {10, 1}, {7, 0}, {7, 1}, {8, 0}, {8, 1}};

// The largest number of steps NiceScale tries; a span that needs more is no usable span.
constexpr int kMaxNiceSteps = 100000;

bool RangeSettingsDiffer(const SeriesSettings& a, const SeriesSettings& b) {
    const uint16_t mask = kFromValueGiven | kToValueGiven;
    if (a.scale != b.scale || (a.rangeFlags & mask) != (b.rangeFlags & mask)) return true;
    if ((a.rangeFlags & kFromValueGiven) && a.fromValue != b.fromValue) return true;
    return (a.rangeFlags & kToValueGiven) && a.toValue != b.toValue;
}

// Tries one step: true, with the limits, when `intervals` steps of it cover lo to hi.
bool TryStep(double s, uint32_t intervals, double lo, double hi, double& low, double& high) {
    const double span = intervals * s;
    if (hi - lo > span) return false;
    if (lo >= 0 || hi > 0) {
        low = std::floor(lo / s) * s;
        high = low + span;
    } else {
        high = std::ceil(hi / s) * s;
        low = high - span;
    }
    return low <= lo && high >= hi;
}

ErrorCode LogLimits(uint8_t scale, double lo, double hi, double& logLo, double& logHi) {
    logLo = TransformAxisValue(scale, lo, false);
    logHi = TransformAxisValue(scale, hi, false);
    if (IsAbnormalDouble(logLo) || IsAbnormalDouble(logHi)) return kErrorChartLimits;
    return kErrorNone;
}

// Axes that span zero need two intervals at least, so that zero can be a tick.
void RaiseTicksAcrossZero(SeriesGroup& group, double lo, double hi) {
    if (!(lo < 0 && hi > 0) || group.members[0]->settings.periods >= 2) return;
    uint16_t ticks = 2;
    for (uint16_t i = 0; i < group.count; ++i)
        ticks = std::max(ticks, group.members[i]->settings.periods);
    for (uint16_t i = 0; i < group.count; ++i) group.members[i]->settings.periods = ticks;
}

} // namespace

ErrorCode CheckChartCounts(const CChart& chart) {
    if (chart.settings.seriesCount > kChartSeries) return kErrorChartSeries;
    for (uint16_t i = 0; i < chart.settings.seriesCount; ++i)
        if (chart.series[i].settings.role != 0 && chart.series[i].settings.userGridCount > 16)
            return kErrorChartGridlines;
    return kErrorNone;
}

void CollectSeriesByRole(CChart& chart, SeriesGroup& group, uint8_t role) {
    group.count = 0;
    for (uint16_t i = 0; i < UsedSeriesCount(chart); ++i)
        if (chart.series[i].settings.role == role) group.members[group.count++] = &chart.series[i];
}

void CollectSeriesByKind(CChart& chart, SeriesGroup& group, uint8_t kind, uint8_t stacked,
                         uint8_t relative) {
    group.count = 0;
    for (uint16_t i = 0; i < UsedSeriesCount(chart); ++i) {
        const SeriesSettings& s = chart.series[i].settings;
        if (s.role == 1 && s.kind == kind && (s.stacked != 0) == (stacked != 0) &&
            (s.relative != 0) == (relative != 0))
            group.members[group.count++] = &chart.series[i];
    }
}

ErrorCode NiceScale(double& lo, double& hi, uint32_t intervals, bool logarithmic) {
    if (intervals < 1) intervals = 1;
    if (!std::isfinite(lo) || !std::isfinite(hi) || !std::isfinite(hi - lo))
        return kErrorChartLimits;
    static constexpr double kSteps[] = {1,   2,   5,    10,   20,   50,   100,
                                        200, 500, 1000, 2000, 5000, 10000};
    int e = 0;
    if (!logarithmic && lo < hi) {
        while (std::pow(10.0, e) >= hi - lo) --e;
        while (std::pow(10.0, e) * 10000 <= hi - lo) ++e;
    }
    double low = 0, high = 0;
    for (int k = 0; k < kMaxNiceSteps; ++k) {
        double s = k + 1.0;
        if (!logarithmic) {
            const int entry = k % 13;
            if (k > 0 && entry == 0) ++e;
            s = std::pow(10.0, e) * kSteps[entry];
        }
        if (s == 0) continue;
        if (!std::isfinite(s) || !std::isfinite(intervals * s)) return kErrorChartLimits;
        if (TryStep(s, intervals, lo, hi, low, high)) {
            if (!std::isfinite(low) || !std::isfinite(high)) return kErrorChartLimits;
            lo = low;
            hi = high;
            return kErrorNone;
        }
    }
    return kErrorChartLimits;
}

ErrorCode SumStackingGroup(SeriesGroup& group) {
    if (group.count == 0) return kErrorNone;
    const SeriesSettings& first = group.members[0]->settings;
    uint32_t points = 0;
    for (uint16_t i = 0; i < group.count; ++i)
        points = std::max(points, group.members[i]->points.ItemCount());
    std::unique_ptr<double[]> positive(new (std::nothrow) double[points + 1]());
    std::unique_ptr<double[]> negative(new (std::nothrow) double[points + 1]());
    if (!positive || !negative) return kErrorChartMemory;
    auto valid = [](const ChartPoint& p) { return !(p.flags & (kPointOutside | kPointNoValue)); };
    for (uint16_t i = 0; i < group.count; ++i)
        ForEachPoint(group.members[i]->points, [&](ChartPoint& p, uint32_t j) {
            if (!valid(p)) return;
            if (p.value > 0) positive[j] += p.value;
            if (p.value < 0) negative[j] += p.value;
        });
    double largest = 0, smallest = 0;
    uint8_t flags = 0;
    std::unique_ptr<uint8_t[]> outside(new (std::nothrow) uint8_t[points + 1]());
    if (!outside) return kErrorChartMemory;
    for (uint32_t j = 0; j < points; ++j) {
        if (((first.rangeFlags & kFromValueGiven) && negative[j] < first.fromValue) ||
            ((first.rangeFlags & kToValueGiven) && positive[j] > first.toValue)) {
            outside[j] = 1;
            continue;
        }
        largest = std::max(largest, positive[j]);
        smallest = std::min(smallest, negative[j]);
    }
    for (uint16_t i = 0; i < group.count; ++i) {
        CChartSeries& s = *group.members[i];
        ForEachPoint(s.points, [&](ChartPoint& p, uint32_t j) {
            if (outside[j]) {
                p.flags = kPointOutside;
                s.valueFlags |= kPointOutside;
            } else if (first.relative && valid(p)) {
                if (p.value > 0) p.value /= positive[j];
                if (p.value < 0) p.value = -(p.value / negative[j]);
            }
        });
        flags |= s.valueFlags;
    }
    const bool relative = first.relative != 0;
    for (uint16_t i = 0; i < group.count; ++i) {
        CChartSeries& s = *group.members[i];
        s.valueFlags = flags;
        if (relative) {
            s.minimum = (flags & kPointNegative) ? -1 : 0;
            s.maximum = (flags & kPointPositive) ? 1 : 0;
            s.settings.stackLower = s.minimum;
            s.settings.stackUpper = s.maximum;
            s.settings.rangeFlags |= kStackLimitsFixed;
        } else {
            s.minimum = (flags & kPointNegative) ? smallest : 0;
            s.maximum = (flags & kPointPositive) ? largest : 0;
        }
    }
    return kErrorNone;
}

ErrorCode SetAxisLimits(SeriesGroup& group) {
    if (group.count == 0) return kErrorNone;
    CChartSeries& first = *group.members[0];
    const SeriesSettings& fs = first.settings;
    for (uint16_t i = 1; i < group.count; ++i) {
        SeriesSettings& s = group.members[i]->settings;
        if (RangeSettingsDiffer(fs, s)) return kErrorChartStack;
    }
    for (uint16_t i = 1; i < group.count; ++i) {
        group.members[i]->settings.periods = fs.periods;
        group.members[i]->settings.subperiods = fs.subperiods;
    }
    double lo = first.minimum, hi = first.maximum;
    bool any = false;
    for (uint16_t i = 0; i < group.count; ++i) {
        const CChartSeries& s = *group.members[i];
        if (!(s.valueFlags & kHasValues)) continue;
        lo = any ? std::min(lo, s.minimum) : s.minimum;
        hi = any ? std::max(hi, s.maximum) : s.maximum;
        any = true;
    }
    const bool log = IsLogScale(fs.scale);
    double logLo = 0, logHi = 0;
    const uint16_t fixed = kFromValueGiven | kToValueGiven | kStackLimitsFixed;
    if (!(fs.rangeFlags & fixed)) {
        if (!log) {
            // Values all equal span no range: the axis reaches to zero from them, so that
            // their columns and bars stand as high as they are.
            if (lo == hi && lo > 0) lo = 0;
            if (lo == hi && hi < 0) hi = 0;
            RaiseTicksAcrossZero(group, lo, hi);
            if (ErrorCode e = NiceScale(lo, hi, MajorIntervals(first), false)) return e;
        } else {
            if (ErrorCode e = LogLimits(fs.scale, lo, hi, logLo, logHi)) return e;
            RaiseTicksAcrossZero(group, logLo, logHi);
            if (ErrorCode e = NiceScale(logLo, logHi, MajorIntervals(first), true)) return e;
        }
    } else {
        if (fs.rangeFlags & kStackLimitsFixed) {
            lo = fs.stackLower;
            hi = fs.stackUpper;
        } else {
            if (fs.rangeFlags & kFromValueGiven) lo = fs.fromValue;
            if (fs.rangeFlags & kToValueGiven) hi = fs.toValue;
        }
        if (log)
            if (ErrorCode e = LogLimits(fs.scale, lo, hi, logLo, logHi)) return e;
    }
    for (uint16_t i = 0; i < group.count; ++i) {
        CChartSeries& s = *group.members[i];
        s.scaled = 1;
        s.minimum = lo;
        s.maximum = hi;
        if (log) s.logMinimum = logLo, s.logMaximum = logHi;
    }
    return kErrorNone;
}

ErrorCode NormalizeSeriesPoints(SeriesGroup& group) {
    for (uint16_t i = 0; i < group.count; ++i) {
        CChartSeries& s = *group.members[i];
        if (!HoldsValues(s)) continue;
        s.valueFlags &= uint8_t(~kHasValues);
        const bool log = IsLogScale(s.settings.scale);
        const double lo = log ? s.logMinimum : s.minimum;
        const double hi = log ? s.logMaximum : s.maximum;
        double base = 0;
        if (lo >= 0 && hi >= 0 && !(lo == 0 && hi == 0))
            base = lo;
        else if (lo <= 0 && hi <= 0)
            base = hi;
        const double range = hi - lo;
        const bool flat = !(hi > lo);
        uint8_t seen = 0;
        ForEachPoint(s.points, [&](ChartPoint& p, uint32_t) {
            if (p.flags & (kPointOutside | kPointNoValue)) return;
            const double v = log ? TransformAxisValue(s.settings.scale, p.value, false) : p.value;
            const float position = flat ? 0.0f : float((v - base) / range);
            if (IsAbnormalFloat(position)) {
                p.flags = kPointNoValue;
                return;
            }
            p.position = position;
            p.flags = position > 0 ? kPointPositive : position < 0 ? kPointNegative : kPointZero;
            seen |= p.flags;
        });
        const float low = flat ? 0.0f : float((lo - base) / range);
        const float high = flat ? 0.0f : float((hi - base) / range);
        if (!std::isfinite(low) || !std::isfinite(high)) return kErrorChartLimits;
        s.valueFlags |= seen;
        s.lowPosition = low;
        s.highPosition = high;
        s.baseOffset = 0;
        if (low < 0) {
            s.baseOffset = low;
            ForEachPoint(s.points, [&](ChartPoint& p, uint32_t) {
                if (p.flags & (kHasValues | kPointOutside)) p.position -= low;
            });
            s.highPosition -= low;
            s.lowPosition = 0;
        }
    }
    return kErrorNone;
}

bool UpdateChartScales(CChart& chart) {
    chart.flags &= uint8_t(~kChartScalesValid);
    if (chart.error) return false;
    ErrorCode e = CheckChartCounts(chart);
    SeriesGroup group;
    for (const auto& order : kStackOrder) {
        if (e) break;
        CollectSeriesByKind(chart, group, order[0], 1, order[1]);
        if (group.count == 0) continue;
        e = SumStackingGroup(group);
        if (!e) e = SetAxisLimits(group);
        if (!e) e = NormalizeSeriesPoints(group);
    }
    for (uint8_t role : {uint8_t(2), uint8_t(1)}) {
        for (uint16_t i = 0; i < UsedSeriesCount(chart) && !e; ++i) {
            CChartSeries& s = chart.series[i];
            if (s.settings.role != role || s.scaled) continue;
            group.members[0] = &s;
            group.count = 1;
            e = SetAxisLimits(group);
            if (!e) e = NormalizeSeriesPoints(group);
        }
    }
    if (e) {
        chart.error = e;
        return false;
    }
    chart.flags |= kChartScalesValid;
    return true;
}

} // namespace vl
