// The 2,640-byte chart record of the version-6 form, converted into a chart's settings and
// series and its container's background. What the record does not say keeps the defaults
// the chart and the container were built with.

#include "files/v6records.h"
#include "files/xmlchartparts.h"
#include "model/container.h"

#include <algorithm>
#include <string>

namespace vl {

namespace {

constexpr uint8_t kLastKindCode = 13;
// One category series and at most this many value series fill a chart's 16.
constexpr int64_t kMaxValueSeries = kChartSeries - 1;
constexpr size_t kFirstTitleField = 260;  // offsets 664 to 923
constexpr size_t kSecondTitleField = 259; // offsets 989 to 1247

struct KindRow {
    uint8_t type;
    uint8_t kind;
    uint8_t barKind; // with bars instead of columns
};

constexpr KindRow kKinds[kLastKindCode + 1] = {
    {kChart2D, 1, 2}, {kChart2D, 1, 2}, {kChart2D, 1, 2},   {kChart2D, 6, 6},   {kChart2D, 3, 3},
    {kChart2D, 4, 4}, {kChart2D, 5, 5}, {kChart3D, 7, 8},   {kChart3D, 7, 8},   {kChart3D, 7, 8},
    {kChart3D, 9, 9}, {kChart3D, 9, 9}, {kChart3D, 10, 10}, {kChart3D, 11, 11},
};

constexpr uint8_t kLegendCodes[] = {5, 7, 1, 3}; // right, bottom, left, top

std::string RangeText(int32_t row1, int32_t column1, int32_t row2, int32_t column2) {
    return "=r" + std::to_string(row1) + "c" + std::to_string(column1) + ":r" +
           std::to_string(row2) + "c" + std::to_string(column2);
}

void SetText(char* field, const std::string& text) {
    CopyTextField(field, text.c_str(), kChartTextSize);
}

uint8_t GridStyle(uint8_t code) {
    switch (code) {
    case 2:
        return FORMAT_LINE_DOT;
    case 3:
        return FORMAT_LINE_DASH_DOT;
    case 4:
        return FORMAT_LINE_DASH_DOTDOT;
    default:
        return FORMAT_LINE_SOLID;
    }
}

// Periods outside what a series can hold keep the default.
void SetPeriods(SeriesSettings& s, uint16_t periods) {
    if (periods >= 1 && periods <= 65534) s.periods = periods;
}

// The axis of one series: primary, with its title font and ticks.
void SetAxis(SeriesSettings& s, const uint8_t* r, size_t font, size_t color) {
    s.axisType = 1;
    SetColoredFont(s.axisFont, r + font, LoadU32(r + color));
    s.axisFlags |= 16;
}

void SetLabels(SeriesSettings& s, uint8_t given, uint8_t vertical) {
    if (given) s.axisFlags = uint16_t((s.axisFlags & ~3u) | (vertical ? 1 : 2));
}

void ConvertLegend(ChartSettings& s, const uint8_t* r) {
    if (!r[2284]) return;
    SetColoredFont(s.legendFont, r + 2288, LoadU32(r + 2348));
    const uint8_t position = r[2352];
    if (position < std::size(kLegendCodes))
        s.legendCode = uint8_t(kLegendCodes[position] + (r[2353] == 1 ? 1 : 0));
}

void ConvertTitle(ChartSettings& s, int n, const uint8_t* r, size_t text, size_t field, size_t font,
                  size_t color) {
    size_t length = 0;
    while (length < field && length < kV6TextLimit && r[text + length] != 0) ++length;
    if (length == 0) return;
    CopyTextField(s.titleText[n],
                  std::string(reinterpret_cast<const char*>(r + text), length).c_str(),
                  kChartTextSize);
    SetColoredFont(s.titleFont[n], r + font, LoadU32(r + color));
}

void ConvertPlanes(ChartSettings& s, const uint8_t* r) {
    s.planeXY = r[640] != 0;
    s.planeXZ = r[656] != 0;
    s.planeYZ = r[648] != 0;
    const size_t color = s.planeXY ? 644 : s.planeXZ ? 660 : s.planeYZ ? 652 : 0;
    if (color == 0) return;
    s.planeFill.patternColor = LoadU32(r + color);
    s.planeFill.patternColorGiven = 1;
}

void ConvertCategorySeries(CChart& chart, const uint8_t* r) {
    SeriesSettings& s = chart.series[0].settings;
    SetText(s.name, "series 1");
    SetText(s.dataArray,
            RangeText(LoadI32(r + 76), LoadI32(r + 72), LoadI32(r + 84), LoadI32(r + 80)));
    s.role = r[105] ? 2 : 3;
    SetAxis(s, r, 140, 200);
    if (r[112]) {
        s.fromValue = LoadF64(r + 120);
        s.toValue = LoadF64(r + 128);
        s.rangeFlags |= kFromValueGiven | kToValueGiven;
    }
    if (chart.settings.type == kChartXY) SetPeriods(s, LoadU16(r + 536));
    SetLabels(s, r[138], r[139]);
}

// The value series, one per row of the value rectangle; returns how many were made.
int ConvertValueSeries(CChart& chart, const uint8_t* r, uint8_t kind) {
    const int32_t column1 = LoadI32(r + 12), row1 = LoadI32(r + 16);
    const int32_t column2 = LoadI32(r + 20), row2 = LoadI32(r + 24);
    if (LoadU32(r) == 0 || LoadU32(r + 60) != 0 || row1 > row2) return 0;
    const int count = int(std::min<int64_t>(int64_t(row2) - row1 + 1, kMaxValueSeries));
    for (int i = 0; i < count; ++i) {
        SeriesSettings& s = chart.series[i + 1].settings;
        const int32_t row = row1 + i;
        SetText(s.name, "series " + std::to_string(i + 2));
        SetText(s.dataArray, RangeText(row, column1, row, column2));
        s.kind = kind;
        s.fill.pattern = FORMAT_PAT_SOLID;
        s.fill.patternColor = LoadU32(r + 2428 + 4 * (i % 16));
        s.fill.patternColorGiven = 1;
        s.role = 1;
        SetAxis(s, r, 468, 528);
        if (r[204]) {
            s.fromValue = LoadF64(r + 208 + 8 * i);
            s.toValue = LoadF64(r + 336 + 8 * i);
            s.rangeFlags |= kFromValueGiven | kToValueGiven;
        }
        SetPeriods(s, LoadU16(r + 544));
        SetLabels(s, r[466], r[467]);
    }
    return count;
}

void ConvertGrids(CChart& chart, const uint8_t* r) {
    for (int i = 0; i < chart.settings.seriesCount; ++i) {
        SeriesSettings& s = chart.series[i].settings;
        if (r[616] || r[617]) s.majorGrid = {GridStyle(r[618]), 1, LoadU32(r + 620)};
        if (r[624] || r[625]) s.minorGrid = {GridStyle(r[626]), 1, LoadU32(r + 628)};
    }
}

// What the XML form writes of the chart, so that the converted chart reads back the same from
// it: side planes only for 3D charts; the kind and symbol of a value series as its style
// element carries them, and of any other series those of a new series.
void SettleAsWritten(CChart& chart) {
    ChartSettings& s = chart.settings;
    if (s.type != kChart3D) s.planeXZ = s.planeYZ = 1;
    for (int i = 0; i < s.seriesCount && i < kChartSeries; ++i) {
        SeriesSettings& series = chart.series[i].settings;
        if (series.role == 1 /* values */) {
            SettleXmlSeriesStyle(s.type, series);
            continue;
        }
        series.kind = DefaultSeriesKind(s.type);
        series.symbol = kNewSeriesSymbol;
    }
}

} // namespace

void SetColoredFont(ColoredFont& out, const uint8_t* logFont, COLORREF color) {
    LogFontToFontRecord(out.font, logFont);
    out.color = color;
    out.colorGiven = 1;
}

bool ConvertV6ChartRecord(CContainer& container, CChart& chart, const uint8_t* r) {
    const uint8_t code = r[104];
    if (code > kLastKindCode) return false;
    const KindRow row = r[105] ? KindRow{kChartXY, 6, 6} : kKinds[code];
    chart.settings.type = row.type;
    const uint8_t kind = r[107] ? row.barKind : row.kind;
    BackgroundRecord& background = container.settings.background;
    background.kind = kBackgroundPattern;
    if (LoadU32(r + 2420) != 0) {
        background.pattern.pattern = FORMAT_PAT_SOLID;
        background.pattern.patternColor = LoadU32(r + 2424);
        background.pattern.patternColorGiven = 1;
    }
    ChartSettings& s = chart.settings;
    ConvertLegend(s, r);
    ConvertTitle(s, 0, r, 664, kFirstTitleField, 924, 984);
    ConvertTitle(s, 1, r, 989, kSecondTitleField, 1248, 1308);
    ConvertPlanes(s, r);
    ConvertCategorySeries(chart, r);
    s.seriesCount = uint8_t(1 + ConvertValueSeries(chart, r, kind));
    ConvertGrids(chart, r);
    SettleAsWritten(chart);
    return true;
}

} // namespace vl
