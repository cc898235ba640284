#pragma once
// The layout of a chart for one canvas, rectangle and zoom: titles, legend and axes measured
// into the margins, then the plot wall with its grid lines and the axis bands with their
// ticks built into the chart's vertex list. The layout is kept until the chart changes.

#include "model/chart.h"
#include "platform/gui/devicecontext.h"

#include <cstdint>

namespace vl {

class CCanvas;

// The most vertices one layout may build (24 bytes each); a file may ask for billions of
// minor lines, which no layout can hold.
constexpr uint64_t kMaxLayoutVertices = uint64_t(1) << 22;

// Lays the chart out; true when the layout is valid, freshly built or kept from before.
// False when the scales are not valid or a step failed (the chart's error byte says why).
bool DrawChartLayout(CChart& chart, CCanvas* canvas, const DcRect& rect, uint16_t zoomX,
                     uint16_t zoomY);
// Forgets the layout, so that the next DrawChartLayout builds a new one.
void ClearChartLayout(CChart& chart);
// The plot width and height in the rectangle less the margins, shrunk about its centre to
// the chart's view size (the margins grow by what it loses).
void ApplyChartViewSize(CChart& chart, const DcRect& rect, int32_t& width, int32_t& height);

// The device size of a scatter symbol at 100 %.
int32_t GetMarkerSize(uint8_t symbol);
// The legend key of a series at a font zoom: its symbol for a Scatter series, else size 7.
int32_t LegendKeySize(const CChartSeries& series, uint16_t zoom);

// Measuring passes: the top margin grows by the titles, the legend's side by the legend.
void MeasureChartTextBoxes(CChart& chart, const DcRect& rect);
bool MeasureChartLegend(CChart& chart, const DcRect& rect);

} // namespace vl
