#pragma once
// Drawing a laid-out chart whose vertices are in device coordinates: the axis bands with
// their ticks, labels and titles, and the data point labels that every plotter (2D and 3D)
// writes after its shapes.

#include "model/chart.h"

#include <cstdint>

namespace vl {

// One label position recorded by a plotter (label-anchor lists, 24-byte items): the point,
// three vertices and the alignment codes (both 0: chosen from the direction A to B or C).
struct LabelAnchor {
    uint32_t point = 0;
    uint32_t a = 0, b = 0, c = 0;
    uint8_t horizontal = 0; // 0 automatic, 1 left, 2 centre, 3 right
    uint8_t vertical = 0;   // 0 automatic, 4 top, 5 centre, 7 bottom
    uint8_t reserved[6] = {};
};
static_assert(sizeof(LabelAnchor) == 24);

// Alignment codes of an anchor.
enum : uint8_t {
    kLabelAuto = 0,
    kLabelLeft = 1,
    kLabelCentre = 2,
    kLabelRight = 3,
    kLabelTop = 4,
    kLabelMiddle = 5,
    kLabelBottom = 7,
};

// The longest label text that is measured or drawn.
constexpr size_t kMaxLabelText = 1024;

// Appends a vertex at device position (x, y) and an anchor for point `point` with A, B and C
// on it; false when no page could be had.
bool AddLabelAnchor(CChart& chart, CChartSeries& series, uint32_t point, float x, float y,
                    uint8_t horizontal, uint8_t vertical);

// The first of the chart's series whose name matches the series' X domain, case-blind; null
// when the domain is empty or names none.
CChartSeries* FindXDomainSeries(CChart& chart, const CChartSeries& series);

// The axis line through the band's corners with its major and minor tick marks.
void DrawAxisLine(CChart& chart, const AxisRecord& axis);
// The tick labels of a value or X axis, one per major tick, both ends included.
void DrawValueAxisLabels(CChart& chart, const AxisRecord& axis);
// The tick labels of a category axis, each centred on its period.
void DrawCategoryAxisLabels(CChart& chart, const AxisRecord& axis);
// The axis title beside the band, outside its labels.
void DrawAxisTitle(CChart& chart, const AxisRecord& axis);

// Writes the labels of the anchors the plotter recorded for the series.
void DrawSeriesLabels(CChart& chart, CChartSeries& series, const CChartSeries* xDomain);
// The widest and tallest label of the series' drawable points, 0 and 0 without labels.
void MeasureSeriesLabels(CChart& chart, CChartSeries& series, const CChartSeries* xDomain,
                         uint32_t& width, uint32_t& height);

} // namespace vl
