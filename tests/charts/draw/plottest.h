#pragma once
// A chart drawn on the fixed-metrics context, whose shapes and texts the plotter tests read.

#include "charts/draw/chartlayout.h"
#include "charts/draw/chartseries.h"
#include "tests/charts/draw/chartdrawtest.h"
#include "tests/render/rendertest.h"

#include <gtest/gtest.h>
#include <ostream>
#include <string>
#include <vector>

namespace vl {
inline bool operator==(const DcPoint& a, const DcPoint& b) {
    return a.x == b.x && a.y == b.y;
}
inline std::ostream& operator<<(std::ostream& os, const DcPoint& p) {
    return os << '(' << p.x << ", " << p.y << ')';
}
} // namespace vl

namespace vl::charttest {

using Shape = rendertest::CFixedMetricsDC::Shape;
using ShapeKind = rendertest::CFixedMetricsDC::ShapeKind;

// Text 6 units a character and 10 high. The default rectangle gives a plot 600 wide and
// 400 high from (1, 401) to (601, 1) when nothing takes room beside it.
struct PlotTest : ::testing::Test {
    rendertest::CFixedMetricsDC dc{6, 10};
    CCanvas canvas;
    std::unique_ptr<CChart> chart = NewDrawnChart(kChart2D);

    PlotTest() { canvas.AttachDC(&dc); }
    // Series n on an axis from 0 to 10.
    CChartSeries& Put(uint16_t n, const std::vector<double>& values, uint8_t kind,
                      uint8_t role = 1) {
        CChartSeries& s =
            PutSeries(*chart, n, ("S" + std::to_string(n)).c_str(), values, kind, role);
        s.settings.rangeFlags = kFromValueGiven | kToValueGiven;
        s.settings.fromValue = 0;
        s.settings.toValue = 10;
        return s;
    }
    // Lays the chart out and draws it, recording only the drawing.
    void Draw(DcRect rect = {0, 0, 602, 402}, uint16_t zoom = 100) {
        if (!(chart->flags & kChartScalesValid)) {
            ASSERT_TRUE(UpdateChartScales(*chart));
        }
        ASSERT_TRUE(DrawChartLayout(*chart, &canvas, rect, zoom, zoom));
        dc.shapes.clear();
        dc.outputs.clear();
        FitChartPlotArea(*chart, rect, canvas);
    }
    // The polygons filled with the colour, in drawing order.
    std::vector<const Shape*> Filled(COLORREF color) const {
        std::vector<const Shape*> found;
        for (const Shape& s : dc.shapes)
            if (s.kind == ShapeKind::kPolygon && s.brush.color == color) found.push_back(&s);
        return found;
    }
    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const auto& o : dc.outputs) texts.push_back(o.text);
        return texts;
    }
    static COLORREF SeriesColor(int n) { return ChartPaletteColor(n); }
};

} // namespace vl::charttest
