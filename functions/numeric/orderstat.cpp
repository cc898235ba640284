#include "functions/numeric/orderstat.h"

#include "formula/approxnumber.h"
#include "formula/formulanumber.h"
#include "platform/core/number.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace vl {

Extreme::Extreme(bool findLargest)
    : largest(findLargest), value(findLargest ? -DBL_MAX : DBL_MAX) {}

void Extreme::Add(double x) {
    ++count;
    if (largest ? x > value : x < value) value = x;
}

StatResult ExtremeResult(const Extreme& extreme) {
    if (extreme.count == 0) return {0, 0};
    if (IsOutOfRange(extreme.value)) return StatError(kErrNum);
    return {extreme.value, 0};
}

StatResult Median(std::vector<double>& values) {
    std::size_t n = values.size();
    if (n == 0) return StatError(kErrValue);
    std::sort(values.begin(), values.end());
    if (n % 2) return {values[n / 2], 0};
    double median = (values[n / 2 - 1] + values[n / 2]) * 0.5;
    if (IsOutOfRange(median)) return StatError(kErrNum);
    return {median, 0};
}

StatResult Mode(std::vector<double>& values) {
    if (values.empty()) return StatError(kErrValue);
    std::sort(values.begin(), values.end());
    double best = values[0];
    std::size_t bestCount = 1, run = 1;
    for (std::size_t i = 1; i < values.size(); ++i) {
        run = values[i] == values[i - 1] ? run + 1 : 1;
        if (run > bestCount) {
            best = values[i];
            bestCount = run;
        }
    }
    // Values that each occur once have no mode.
    if (bestCount == 1) return StatError(kErrNA);
    return {best, 0};
}

PickedItem LargeSmall(const std::vector<DataItem>& sorted, int32_t k) {
    PickedItem picked;
    if (k < 1 || std::size_t(k) > sorted.size()) {
        picked.number = StatError(kErrNum);
        return picked;
    }
    const DataItem& item = sorted[std::size_t(k) - 1];
    if (item.isText && !item.error) {
        picked.isText = true;
        picked.text = item.text;
        return picked;
    }
    picked.number = item.conversion ? StatError(kErrValue) : StatResult{item.number, 0};
    return picked;
}

StatResult Percentile(const std::vector<DataItem>& sorted, double k) {
    std::size_t n = sorted.size();
    if (n == 0) return StatError(kErrNum);
    // One value stands for every fraction.
    if (n == 1) return {sorted[0].number, sorted[0].conversion};
    double last = double(n - 1);
    std::size_t i = 0;
    while (i < n - 1 && !(k <= i / last)) ++i;
    const DataItem& hi = sorted[i];
    double ti = i / last;
    if (k == ti || i == 0) return {hi.number, hi.conversion};
    const DataItem& lo = sorted[i - 1];
    double tl = (i - 1) / last;
    double value = lo.number + (hi.number - lo.number) * (k - tl) / (ti - tl);
    return {value, JoinError(lo.conversion, hi.conversion)};
}

double QuartileFraction(int32_t quartile) {
    return quartile * 0.25;
}

StatResult PercentRank(const std::vector<DataItem>& sorted, double x, int32_t significance) {
    std::size_t n = sorted.size();
    if (n == 0) return StatError(kErrNum);
    std::size_t i = 0;
    while (i < n && x > sorted[i].number) ++i;
    if (i == n) return StatError(kErrValue);
    const DataItem& v = sorted[i];
    double r = 0;
    double last = double(n - 1);
    if (x == v.number)
        r = n == 1 ? 1 : i / last;
    else if (i > 0)
        r = (x - sorted[i - 1].number) / (v.number - sorted[i - 1].number) / last + (i - 1) / last;
    double rounded = 0;
    ParseNumber(FormatNumberF(r, significance), rounded);
    return {rounded, v.conversion};
}

StatResult Rank(const std::vector<DataItem>& sorted, double x, bool ascending) {
    std::size_t n = sorted.size();
    if (n == 0) return StatError(kErrNum);
    for (std::size_t i = 0; i < n; ++i) {
        const DataItem& v = sorted[i];
        if (v.number == x) return {double(i + 1), v.conversion};
        if (ascending ? v.number > x : v.number < x) {
            if (i == 0) return StatError(kErrValue);
            double previous = sorted[i - 1].number;
            return {i + (x - previous) / (v.number - previous), v.conversion};
        }
    }
    return StatError(kErrValue);
}

std::size_t TrimCount(double x) {
    // The even count at or below n × percent; a product a unit of the last place below a
    // whole number is that number.
    auto t = std::size_t(CutReady(x));
    return t - t % 2;
}

StatResult TrimMean(const std::vector<DataItem>& sorted, double percent) {
    std::size_t n = sorted.size();
    std::size_t m = TrimCount(n * percent);
    if (m >= n) return StatError(kErrNum);
    double sum = 0;
    FormulaError error = 0;
    for (std::size_t i = m / 2; i < n - m / 2; ++i) {
        if (sorted[i].conversion) error = kErrNum;
        sum += sorted[i].number;
    }
    return {sum / double(n - m), error};
}

} // namespace vl
