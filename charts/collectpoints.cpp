#include "charts/axismap.h"
#include "charts/points.h"
#include "charts/seriesdata.h"
#include "core/settings.h"
#include "model/cellrecord.h"
#include "model/cellstore.h"
#include "platform/core/errorcode.h"
#include "values/numfmt_date.h"
#include "values/numfmt_number.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace vl {

namespace {

constexpr uint32_t kMaxCategoryTicks = 65534;

// Every item is appended before any is stored, so that the page index is built once and
// every store is a direct lookup.
template <class Item>
bool AppendEmptyItems(CChart& chart, CPagedList& list, const Item& empty, uint64_t count) {
    while (list.ItemCount() < count)
        if (!list.AppendItem(&empty, sizeof empty)) {
            chart.error = kErrorChartMemory;
            return false;
        }
    if (list.BuildPageIndex()) return true;
    chart.error = kErrorChartMemory;
    return false;
}

void CutLabel(ChartLabel& label, const std::string& text) {
    const size_t n = std::min<size_t>(text.size(), kChartLabelSize - 1);
    std::memcpy(label.text, text.data(), n);
    label.text[n] = 0;
    label.flags = 0;
}

bool CollectLabels(CChart& chart, CChartSeries& s, Page* pages, uint32_t rows, uint32_t columns) {
    const uint64_t count = uint64_t(rows) * columns;
    // Recomputed from the count: a divisor grown for more cells shrinks back when the range
    // holds fewer, and one past the count would leave no tick, so no label, at all.
    uint64_t divisor = CategoryDivisor(s);
    while (divisor >= 1000 && divisor % 1000 == 0 && count / (divisor / 1000) <= kMaxCategoryTicks)
        divisor /= 1000;
    if (count > 0 && count < divisor) divisor = 1;
    while (count / divisor > kMaxCategoryTicks) divisor *= 1000;
    s.settings.divisor = uint32_t(divisor);
    s.settings.periods = uint16_t(count / divisor);
    if (!AppendEmptyItems(chart, s.labels, ChartLabel{}, count)) return false;
    if (s.settings.numberFormat.kind != STD_STYLE_USER_DEFINED)
        BuildStandardFormatCode(s.settings.numberFormat);
    const std::string_view code = s.settings.numberFormat.code;
    CellCursor cursor;
    cursor.flags = kAdvance;
    cursor.page = pages;
    std::string text;
    while (const uint8_t* r = pages ? NextCellRecord(cursor) : nullptr) {
        if (cell::Error(r) || cell::Row(r) >= rows || cell::Column(r) >= columns) continue;
        if (cell::IsText(r))
            FormatDateText(cell::Text(r), code, text, &UserSeparators());
        else if (cell::IsNumber(r))
            FormatValueText(cell::Number(r), code, text, &UserSeparators());
        else
            return false;
        auto* label = static_cast<ChartLabel*>(
            s.labels.GetItem44(uint32_t(uint64_t(cell::Row(r)) * columns + cell::Column(r))));
        CutLabel(*label, text);
    }
    return true;
}

// The running summary of the values stored: flags, the extremes of each sign, and whether
// any value lay below or above the first.
struct ValueSummary {
    uint8_t flags = 0;
    double first = 0;
    double lowPositive = 0, highPositive = 0, lowNegative = 0, highNegative = 0;
    bool below = false, above = false;

    void Add(double v) {
        if (!(flags & (kPointPositive | kPointNegative | kPointZero)))
            first = v;
        else
            below |= v<first, above |= v> first;
        if (v > 0) {
            if (!(flags & kPointPositive)) lowPositive = highPositive = v;
            lowPositive = std::min(lowPositive, v), highPositive = std::max(highPositive, v);
            flags |= kPointPositive;
        } else if (v < 0) {
            if (!(flags & kPointNegative)) lowNegative = highNegative = v;
            lowNegative = std::min(lowNegative, v), highNegative = std::max(highNegative, v);
            flags |= kPointNegative;
        } else {
            flags |= kPointZero;
        }
    }
};

bool AcceptedValue(const CChartSeries& s, double v) {
    if (IsAbnormalDouble(v)) return false;
    return !IsLogScale(s.settings.scale) || v > 0;
}

bool OutsideRange(const SeriesSettings& s, double v) {
    return ((s.rangeFlags & kFromValueGiven) && v < s.fromValue) ||
           ((s.rangeFlags & kToValueGiven) && v > s.toValue);
}

bool CollectValues(CChart& chart, CChartSeries& s, Page* pages, uint32_t rows, uint32_t columns) {
    const uint64_t count = uint64_t(rows) * columns;
    if (!AppendEmptyItems(chart, s.points, ChartPoint{}, count)) return false;
    ValueSummary sum;
    CellCursor cursor;
    cursor.flags = kAdvance;
    cursor.page = pages;
    while (const uint8_t* r = pages ? NextCellRecord(cursor) : nullptr) {
        if (cell::Error(r) || cell::Row(r) >= rows || cell::Column(r) >= columns) continue;
        if (!cell::IsNumber(r)) continue;
        const double v = cell::Number(r);
        if (!AcceptedValue(s, v)) continue;
        const uint32_t index = uint32_t(uint64_t(cell::Row(r)) * columns + cell::Column(r));
        ChartPoint p{v, 0, 0};
        if (OutsideRange(s.settings, v)) {
            p.flags = kPointOutside;
            s.valueFlags |= kPointOutside;
        } else {
            sum.Add(v);
        }
        StorePoint(static_cast<uint8_t*>(s.points.GetItem16(index)), p);
    }
    s.valueFlags |= sum.flags;
    if (!sum.below)
        s.valueFlags |= 32;
    else if (!sum.above)
        s.valueFlags |= 64;
    s.minimum = (sum.flags & kPointNegative)   ? sum.lowNegative
                : (sum.flags & kPointPositive) ? sum.lowPositive
                                               : 0;
    s.maximum = (sum.flags & kPointPositive)   ? sum.highPositive
                : (sum.flags & kPointNegative) ? sum.highNegative
                                               : 0;
    return true;
}

} // namespace

bool CollectSeriesPoints(CChart& chart, uint16_t n, Page* pages, uint32_t rows, uint32_t columns) {
    if (n >= kChartSeries) return false;
    if (uint64_t(rows) * columns > kMaxSeriesItems) {
        chart.error = kErrorChartMemory;
        return false;
    }
    CChartSeries& s = chart.series[n];
    if (s.settings.role == 3) return CollectLabels(chart, s, pages, rows, columns);
    return CollectValues(chart, s, pages, rows, columns);
}

} // namespace vl
