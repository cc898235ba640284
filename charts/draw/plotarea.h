#pragma once
// What every 2D plotter shares: the plot area read from the XY wall's corners, the points
// and vertices read through their page indexes, device points that the canvas can take,
// the pens and brushes of a series, and the base of its bars.

#include "model/chart.h"
#include "platform/gui/gdi.h"

#include <cstdint>

namespace vl {

class CCanvas;

// The plot inside the wall, one pixel in from each corner: positions run from (x0, y0)
// towards (x1, y1), mirrored when the corners are reversed.
struct PlotArea {
    float x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    float w = 0, h = 0;
    float sx = 1, sy = -1;
    float X(double along) const { return float(x0 + sx * along); }
    float Y(double up) const { return float(y0 + sy * up); }
};

// Reads the plot area and empties the series' label anchors; false when the wall is not
// built or a page index cannot be had.
bool SetupPlotArea(CChart& chart, CChartSeries* const* series, int count, PlotArea& area);
uint32_t LargestPointCount(CChartSeries* const* series, int count);

// Point i of a series whose page index is built; a point past the end has no value.
ChartPoint SeriesPoint(CChartSeries& series, uint32_t i);
inline bool Drawable(const ChartPoint& p) {
    return !(p.flags & (kPointOutside | kPointNoValue));
}
ChartVertex VertexAt(CChart& chart, uint32_t i);

// A device coordinate: truncated, never beyond what the canvas can take.
int32_t DeviceCoord(double v);
DcPoint DevicePoint(double x, double y);

// Fills the closed polygon of `count` corners (the first is repeated to close it).
void FillPolygon(CCanvas& canvas, const DcPoint* corners, int count);
void FillQuad(CCanvas& canvas, double l, double t, double r, double b);

COLORREF FirstFillColor(const InteriorFill& fill);
COLORREF LineColor(const BorderLine& line);
// The solid pen of a bar or column (none when printing) and the brush of the series.
void SelectBarStyle(CCanvas& canvas, const CChartSeries& series);
// The null pen and the fill of a band or slice.
void SelectBandStyle(CCanvas& canvas, const InteriorFill& fill);

// The axis fraction of the value 0 for a series; false when it is not a normal float.
bool ZeroFraction(const CChartSeries& series, float& b);
// The base of a stack on the axis its series share: 0 when none of them has a negative
// value, else the fraction of 0 (false when not normal).
bool StackBase(CChartSeries* const* series, int count, float& b);

// Draws the labels of every series that shows them, each with its X domain.
void DrawAllSeriesLabels(CChart& chart, CChartSeries* const* series, int count);

} // namespace vl
