#include "charts/axismap.h"
#include "charts/draw/chartlayout.h"
#include "render/canvas.h"

#include <algorithm>

namespace vl {

int32_t GetMarkerSize(uint8_t symbol) {
    switch (symbol) {
    case 1:
        return 1;
    case 2:
        return 3;
    case 3:
    case 6:
    case 9:
        return 5;
    case 5:
    case 8:
    case 11:
    case 13:
    case 15:
        return 9;
    default:
        return 7;
    }
}

int32_t LegendKeySize(const CChartSeries& s, uint16_t zoom) {
    const uint8_t symbol = s.settings.kind == 6 ? s.settings.symbol : 4;
    return GetMarkerSize(symbol) * zoom / 100;
}

void MeasureChartTextBoxes(CChart& chart, const DcRect& rect) {
    bool any = false;
    for (int k = 0; k < 2 && chart.canvas; ++k) {
        const char* text = chart.settings.titleText[k];
        if (!text[0]) continue;
        const ColoredFont& font = chart.settings.titleFont[k];
        chart.canvas->SelectFont(font.font, 0, chart.zoomY);
        chart.canvas->SetTextColor(font.color);
        chart.canvas->SetBkMode(1);
        DcRect line = rect;
        DeflateRectBy(line, chart.margins[0], chart.margins[1], chart.margins[2], chart.margins[3]);
        // The text takes its rectangle from the top down: bottom - top + 1 of it.
        if (chart.canvas->DrawHeaderFooter(line, text, true))
            chart.margins[1] += line.bottom - line.top + 1;
        any = true;
    }
    if (any) chart.margins[1] += chart.gap;
}

bool MeasureChartLegend(CChart& chart, const DcRect& rect) {
    const uint8_t code = chart.settings.legendCode;
    if (code == 0 || code > 8) return true;
    if (!chart.canvas) return false;
    const ColoredFont& font = chart.settings.legendFont;
    chart.canvas->SelectFont(font.font, 0, chart.zoomY);
    chart.canvas->SetTextColor(font.color);
    chart.canvas->SetBkMode(1);
    const int32_t g = chart.gap;
    const bool stacked = code % 2 == 1;
    int32_t width = 0, height = 0;
    for (uint16_t i = 0; i < UsedSeriesCount(chart); ++i) {
        const CChartSeries& s = chart.series[i];
        if (s.settings.role != 1 || !s.settings.visible) continue;
        const int32_t key = LegendKeySize(s, chart.zoomY);
        int32_t tw = 0, th = 0;
        if (!chart.canvas->MeasureText(s.settings.name, tw, th)) return false;
        if (stacked) {
            width = std::max({width, key, tw + key + g});
            height += std::max(key, th);
        } else {
            width += tw + 3 * g + key;
            height = std::max({height, key, th});
        }
    }
    (void)rect;
    switch (code) {
    case 1:
    case 2:
        chart.margins[0] += width + 2 * g;
        break;
    case 3:
    case 4:
        chart.margins[1] += height + 2 * g;
        break;
    case 5:
    case 6:
        chart.margins[2] += width + 2 * g;
        break;
    default:
        chart.margins[3] += height + 2 * g;
        break;
    }
    return true;
}

} // namespace vl
