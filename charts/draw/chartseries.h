#pragma once
// The 2D plotters of a laid-out chart whose vertices are in device coordinates, the plot
// dispatcher that runs them in their fixed order over the plane, grid lines and axes, and
// the titles and legend drawn around the plot.

#include "model/chart.h"
#include "platform/gui/gdi.h"

#include <cstdint>

namespace vl {

class CCanvas;

bool PlotColumnSeries(CChart& chart, CChartSeries* const* series, int count, bool outline);
bool PlotBarSeries(CChart& chart, CChartSeries* const* series, int count, bool outline);
bool PlotStackedColumnSeries(CChart& chart, CChartSeries* const* series, int count, bool outline);
bool PlotStackedBarSeries(CChart& chart, CChartSeries* const* series, int count, bool outline);
bool PlotPieSeries(CChart& chart, CChartSeries& series, bool outline);
bool PlotLineSeries(CChart& chart, CChartSeries* const* series, int count);
bool PlotAreaSeries(CChart& chart, CChartSeries* const* series, int count, bool outline);
bool PlotScatterSeries(CChart& chart, CChartSeries* const* series, int count);
bool PlotXYScatterSeries(CChart& chart, CChartSeries* const* series, int count);

// Error-bar clip flags: the bar reaches the plot's edge.
enum : uint8_t { kClipLeft = 1, kClipRight = 2, kClipUp = 4, kClipDown = 8 };
// Lengths of the four error bars of a symbol, in pixels (0 for none), and their clip flags.
struct ErrorBars {
    int32_t left = 0, right = 0, down = 0, up = 0;
    uint8_t clip = 0;
};
// Draws a symbol with its error bars in the canvas's current pen and brush.
void DrawScatterSymbol(CChart& chart, int32_t x, int32_t y, uint8_t symbol, const ErrorBars& bars,
                       uint16_t scale);

// The plane, grid lines, axes and every series group in order; false when a plotter fails.
bool PlotChartSeries(CChart& chart, bool outline);

// Titles above the plot and the legend on its side: with `measureOnly` the margins grow by
// their room, else they are drawn into it.
void DrawChartTextBoxes(CChart& chart, const DcRect& rect, bool measureOnly);
bool DrawChartLegend(CChart& chart, const DcRect& rect, bool measureOnly);

// Draws a laid-out chart into the rectangle it was laid out for, on the canvas: the plot
// moved to the rectangle, the series, then titles and legend.
void FitChartPlotArea(CChart& chart, const DcRect& rect, CCanvas& canvas);

} // namespace vl
