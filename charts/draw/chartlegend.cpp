#include "charts/axismap.h"
#include "charts/draw/chartlayout.h"
#include "charts/draw/chartseries.h"
#include "charts/draw/plotarea.h"
#include "render/canvas.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace vl {

namespace {

struct LegendEntry {
    CChartSeries* series;
    int32_t key, width, height;
};

// The block's top-left corner on its side, inside the area bounded by the margins.
DcPoint LegendCorner(uint8_t code, const DcRect& area, int32_t g, int32_t width, int32_t height) {
    const int32_t midX = (area.left + area.right) / 2 - width / 2;
    const int32_t midY = (area.top + area.bottom) / 2 - height / 2;
    switch (code) {
    case 1:
    case 2:
        return {area.left + g, midY};
    case 5:
    case 6:
        return {area.right - width - g, midY};
    case 3:
    case 4:
        return {midX, area.top + g};
    default:
        return {midX, area.bottom - height - g};
    }
}

void DrawLegendEntry(CChart& chart, const LegendEntry& e, int32_t x, int32_t y, int32_t rowHeight) {
    CCanvas& canvas = *chart.canvas;
    const SeriesSettings& s = e.series->settings;
    const bool lined = s.kind == 3 || s.kind == 6;
    const COLORREF keyColor = lined ? LineColor(s.line) : FirstFillColor(s.fill);
    canvas.SetPen(1, keyColor, 100);
    canvas.SelectFill(s.fill);
    canvas.SetTextColor(FirstFillColor(s.fill));
    const uint8_t symbol = s.kind == 6 ? s.symbol : 4;
    DrawScatterSymbol(chart, x + e.key / 2, y + rowHeight / 2, symbol, {}, chart.zoomY);
    const ColoredFont& font = chart.settings.legendFont;
    canvas.SetTextColor(LineColor({1, font.colorGiven, font.color}));
    canvas.SetTextAlign(kAlignLeft, kAlignTop);
    canvas.DrawTextLines(x + e.key + chart.gap, y + (rowHeight - e.height) / 2,
                         std::string(s.name, strnlen(s.name, kChartTextSize - 1)), 0);
}

} // namespace

void DrawChartTextBoxes(CChart& chart, const DcRect& rect, bool measureOnly) {
    bool any = false;
    for (int k = 0; k < 2 && chart.canvas; ++k) {
        const char* text = chart.settings.titleText[k];
        if (!text[0]) continue;
        const ColoredFont& font = chart.settings.titleFont[k];
        chart.canvas->SelectFont(font.font, 0, chart.zoomY);
        chart.canvas->SetTextColor(LineColor({1, font.colorGiven, font.color}));
        chart.canvas->SetBkMode(1);
        DcRect line = rect;
        DeflateRectBy(line, chart.margins[0], chart.margins[1], chart.margins[2], chart.margins[3]);
        const std::string_view shown(text, strnlen(text, kChartTextSize - 1));
        // The text takes its rectangle from the top down: bottom - top + 1 of it.
        if (chart.canvas->DrawHeaderFooter(line, shown, measureOnly))
            chart.margins[1] += line.bottom - line.top + 1;
        any = true;
    }
    if (any) chart.margins[1] += chart.gap;
}

bool DrawChartLegend(CChart& chart, const DcRect& rect, bool measureOnly) {
    const uint8_t code = chart.settings.legendCode;
    if (code == 0 || code > 8) return true;
    if (!chart.canvas) return false;
    const ColoredFont& font = chart.settings.legendFont;
    chart.canvas->SelectFont(font.font, 0, chart.zoomY);
    chart.canvas->SetTextColor(LineColor({1, font.colorGiven, font.color}));
    chart.canvas->SetBkMode(1);
    const int32_t g = chart.gap;
    const bool stacked = code % 2 == 1;
    LegendEntry entries[kChartSeries];
    int count = 0;
    int32_t width = 0, height = 0;
    for (uint16_t i = 0; i < UsedSeriesCount(chart); ++i) {
        CChartSeries& s = chart.series[i];
        if (s.settings.role != 1 || !s.settings.visible) continue;
        LegendEntry& e = entries[count++];
        e.series = &s;
        e.key = LegendKeySize(s, chart.zoomY);
        const std::string name(s.settings.name, strnlen(s.settings.name, kChartTextSize - 1));
        if (!chart.canvas->MeasureText(name, e.width, e.height)) return false;
        if (stacked) {
            width = std::max({width, e.key, e.width + e.key + g});
            height += std::max(e.key, e.height);
        } else {
            width += e.width + 3 * g + e.key;
            height = std::max({height, e.key, e.height});
        }
    }
    DcRect area = rect;
    DeflateRectBy(area, chart.margins[0], chart.margins[1], chart.margins[2], chart.margins[3]);
    const int32_t grow = (code <= 2 || code == 5 || code == 6 ? width : height) + 2 * g;
    chart.margins[code <= 2 ? 0 : code <= 4 ? 1 : code <= 6 ? 2 : 3] += grow;
    if (measureOnly) return true;
    DcPoint at = LegendCorner(code, area, g, width, height);
    for (int k = 0; k < count; ++k) {
        const LegendEntry& e = entries[k];
        const int32_t rowHeight = stacked ? std::max(e.key, e.height) : height;
        // A chart too small for its legend shows only the entries that fit inside it, so
        // that none is drawn over the chart beside it.
        if (at.x >= rect.left && at.y >= rect.top && at.x + e.key + g + e.width - 1 <= rect.right &&
            at.y + rowHeight - 1 <= rect.bottom)
            DrawLegendEntry(chart, e, at.x, at.y, rowHeight);
        if (stacked)
            at.y += rowHeight;
        else
            at.x += e.width + 3 * g + e.key;
    }
    return true;
}

} // namespace vl
