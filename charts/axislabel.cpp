#include "charts/axislabel.h"

#include "charts/axismap.h"
#include "core/settings.h"
#include "values/numfmt_number.h"
#include "values/standardformat.h"

namespace vl {

namespace {

bool FormatCategoryLabel(uint32_t k, const CChartSeries& s, std::string& text) {
    const uint64_t divisor = CategoryDivisor(s);
    const uint64_t index = k * divisor + divisor / 2;
    if (index >= s.labels.ItemCount()) return false;
    auto& labels = const_cast<CPagedList&>(s.labels);
    const auto* label = static_cast<const ChartLabel*>(labels.GetItem44(uint32_t(index)));
    if (!label) return false;
    if (label->flags & kPointNoValue)
        FormatValueText(double(index + 1), {}, text, nullptr);
    else
        text = label->text;
    return true;
}

} // namespace

bool FormatAxisLabel(uint32_t k, const CChartSeries& s, std::string& text) {
    text.clear();
    if (s.settings.role == 3) return FormatCategoryLabel(k, s, text);
    if (!(s.valueFlags & (kPointPositive | kPointNegative | kPointZero))) return false;
    const double ticks = MajorIntervals(s);
    const uint8_t scale = s.settings.scale;
    if (scale == kScaleLog2 || scale == kScaleLn) {
        const double e = s.logMinimum + k * (s.logMaximum - s.logMinimum) / ticks;
        // "0", not "#": the exponent 0 is a digit too (2^0).
        FormatValueText(e, scale == kScaleLog2 ? "2^0" : "e^0", text, &UserSeparators());
        return true;
    }
    double value = s.minimum + k * (s.maximum - s.minimum) / ticks;
    if (scale == kScaleLog10)
        value = TransformAxisValue(kScaleLog10,
                                   s.logMinimum + k * (s.logMaximum - s.logMinimum) / ticks, true);
    const StandardFormat& format = s.settings.numberFormat;
    std::string code = format.code;
    if (format.kind != STD_STYLE_USER_DEFINED) {
        code = BuildStandardFormatCode(format.kind, format.params);
        if (format.kind == STD_STYLE_PERCENTAGE) value *= 100;
    }
    FormatValueText(value, code, text, &UserSeparators());
    return true;
}

} // namespace vl
