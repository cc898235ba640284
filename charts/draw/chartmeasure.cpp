#include "charts/axismap.h"
#include "charts/draw/chartlayout.h"
#include "charts/draw/chartseries.h"
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
    DrawChartTextBoxes(chart, rect, true);
}

bool MeasureChartLegend(CChart& chart, const DcRect& rect) {
    return DrawChartLegend(chart, rect, true);
}

} // namespace vl
