// Every 3D kind built over uneven values: the corners of columns, bars, ribbons, areas and
// slices and the grid lines of the walls stand where the numbers put them in model space,
// computed here from the values and the axis alone.

#include "charts/draw/chartplot.h"
#include "tests/charts/draw/chart3dtestutil.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <gtest/gtest.h>

namespace vl {
namespace {

using charttest::Chart3D;

// Walls 300 wide and 200 high; the value axis runs from -2 to 10 in six intervals.
struct Geometry3D : ::testing::Test {
    Chart3D f;
    double lo = -2, hi = 10;

    CChartSeries& Add(uint16_t n, const std::vector<double>& values, uint8_t kind) {
        CChartSeries& s = f.Series(n, values, 1, kind);
        s.settings.rangeFlags = kFromValueGiven | kToValueGiven;
        s.settings.fromValue = lo;
        s.settings.toValue = hi;
        s.settings.periods = 6;
        EXPECT_TRUE(UpdateChartScales(*f.chart));
        return s;
    }
    void Build() {
        f.Walls(300, 200);
        ASSERT_TRUE(Build3DFaces(*f.chart));
    }
    double Height(double v) const { return 200 * (v - lo) / (hi - lo); }
    // The corners of every solid (its faces' vertices), by solid in build order.
    std::vector<std::vector<ChartVertex>> Corners() {
        std::vector<std::vector<ChartVertex>> out;
        for (const auto& [reference, faces] : f.Solids()) {
            std::vector<uint32_t> ids;
            for (const ChartFace& face : faces) ids.insert(ids.end(), {face.a, face.b, face.c});
            std::sort(ids.begin(), ids.end());
            ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
            std::vector<ChartVertex> corners;
            for (uint32_t id : ids) corners.push_back(f.Vertex(id));
            out.push_back(corners);
        }
        return out;
    }
    static std::pair<float, float> Range(const std::vector<ChartVertex>& corners,
                                         float ChartVertex::*field) {
        float a = corners[0].*field, b = a;
        for (const ChartVertex& v : corners) a = std::min(a, v.*field), b = std::max(b, v.*field);
        return {a, b};
    }
    // The XY wall's major lines of the first series at the heights of -2 + 2t.
    void ExpectWallGrid() {
        const GridLineSet& set = f.chart->gridLines[0];
        ASSERT_EQ(set.majorCount, 5u);
        for (uint32_t t = 1; t <= 5; ++t) {
            const ChartVertex a = f.Vertex(set.firstVertex + 2 * (t - 1));
            const ChartVertex b = f.Vertex(set.firstVertex + 2 * (t - 1) + 1);
            EXPECT_NEAR(a.modelY, Height(lo + 2.0 * t), 1e-3) << t;
            EXPECT_NEAR(b.modelY, Height(lo + 2.0 * t), 1e-3) << t;
            EXPECT_EQ(std::pair(a.modelX, b.modelX), std::pair(0.0f, 300.0f)) << t;
        }
    }
};

const std::vector<double> kValues = {3.7, -1.2, 8.45, 0.6};

// Four categories of 75 across 300: boxes centred on them from zero to their values. Bars
// number their categories from the right, for the quarter turn that brings the first to the
// bottom.
TEST_F(Geometry3D, ColumnsAndBarsStandFromZeroToTheirValues) {
    for (const uint8_t kind : {7, 8}) {
        SCOPED_TRACE(int(kind));
        f = charttest::Chart3D();
        Add(0, kValues, kind);
        Build();
        const auto solids = Corners();
        ASSERT_EQ(solids.size(), kValues.size());
        for (size_t j = 0; j < kValues.size(); ++j) {
            const auto [x0, x1] = Range(solids[j], &ChartVertex::modelX);
            const auto [y0, y1] = Range(solids[j], &ChartVertex::modelY);
            const double centre = 75 * (j + 0.5);
            EXPECT_NEAR((x0 + x1) / 2, kind == 8 ? 300 - centre : centre, 1e-3) << j;
            EXPECT_NEAR(x1 - x0, 0.7 * 75, 1e-3) << j;
            EXPECT_NEAR(y0, std::min(Height(kValues[j]), Height(0)), 1e-3) << j;
            EXPECT_NEAR(y1, std::max(Height(kValues[j]), Height(0)), 1e-3) << j;
        }
        ExpectWallGrid();
    }
}

// A ribbon segment joins the points of two neighbouring categories at their values.
TEST_F(Geometry3D, RibbonsJoinThePointsAtTheirValues) {
    Add(0, kValues, 9);
    Build();
    const auto solids = Corners();
    ASSERT_EQ(solids.size(), kValues.size() - 1);
    for (size_t j = 0; j + 1 < kValues.size(); ++j)
        for (const ChartVertex& v : solids[j]) {
            const size_t k = v.modelX < 75 * (j + 1) ? j : j + 1;
            EXPECT_NEAR(v.modelX, 75 * (k + 0.5), 1e-3) << j;
            EXPECT_NEAR(v.modelY, Height(kValues[k]), 1e-3) << j;
        }
    ExpectWallGrid();
}

// Area prisms lie between the data line and zero; where the line crosses zero it is split,
// so every corner is a value, a point of zero under a category, or a crossing at zero.
TEST_F(Geometry3D, AreasLieBetweenTheirValuesAndZero) {
    Add(0, kValues, 10);
    Build();
    std::vector<bool> seen(kValues.size(), false);
    for (const auto& solid : Corners())
        for (const ChartVertex& v : solid) {
            if (std::fabs(v.modelY - Height(0)) < 1e-3) continue;
            bool matched = false;
            for (size_t k = 0; k < kValues.size(); ++k)
                if (std::fabs(v.modelX - 75 * (k + 0.5)) < 1e-3 &&
                    std::fabs(v.modelY - Height(kValues[k])) < 1e-3)
                    matched = seen[k] = true;
            EXPECT_TRUE(matched) << v.modelX << " " << v.modelY;
        }
    EXPECT_EQ(seen, std::vector<bool>(kValues.size(), true));
    ExpectWallGrid();
}

// Slices of 1.5, 3.5, 0.5 and 2.5 of 8 span their share of the turn, clockwise from the
// top; each label anchor lies on its slice's middle angle.
TEST_F(Geometry3D, PieSlicesSpanTheirShareOfTheTurn) {
    f.chart->settings.pieSplit = 0;
    const std::vector<double> values = {1.5, 3.5, 0.5, 2.5};
    CChartSeries& s = f.Add(0, values, 11);
    s.settings.labels = 2;
    Build();
    const auto solids = Corners();
    ASSERT_EQ(solids.size(), values.size());
    const ChartVertex& wallTop = f.Vertex(f.chart->walls[kWallXY].firstVertex + 2);
    const double cx = wallTop.modelX / 2, cy = wallTop.modelY / 2;
    double before = 0;
    for (size_t k = 0; k < values.size(); ++k) {
        const double from = 2 * M_PI * before / 8, to = 2 * M_PI * (before + values[k]) / 8;
        const double mid = (from + to) / 2;
        double low = 10, high = -10;
        for (const ChartVertex& v : solids[k]) {
            if (std::hypot(v.modelX - cx, v.modelY - cy) < 1) continue; // a centre
            // The angle from the top, clockwise, taken about the slice's middle.
            double a = std::atan2(v.modelX - cx, v.modelY - cy) - mid;
            a = std::remainder(a, 2 * M_PI);
            low = std::min(low, a);
            high = std::max(high, a);
        }
        EXPECT_NEAR(low + mid, from, 1e-4) << k;
        EXPECT_NEAR(high + mid, to, 1e-4) << k;
        LabelAnchor anchor;
        std::memcpy(&anchor, s.labelAnchors.GetItem24(uint32_t(k)), sizeof anchor);
        const ChartVertex a = f.Vertex(anchor.a), b = f.Vertex(anchor.b);
        EXPECT_NEAR(
            std::remainder(std::atan2(b.modelX - a.modelX, b.modelY - a.modelY) - mid, 2 * M_PI), 0,
            1e-4)
            << k;
        before += values[k];
    }
}

} // namespace
} // namespace vl

namespace vl {
namespace {

// Values all above zero on an axis that holds zero stand on zero, as the 2D columns do.
TEST_F(Geometry3D, ValuesOfOneSignStandOnZeroWhenTheAxisHoldsIt) {
    for (const uint8_t kind : {7, 8}) {
        f = charttest::Chart3D();
        const std::vector<double> values = {1, 6.5, 2};
        Add(0, values, kind);
        Build();
        const auto solids = Corners();
        ASSERT_EQ(solids.size(), values.size());
        for (size_t j = 0; j < values.size(); ++j) {
            const auto [y0, y1] = Range(solids[j], &ChartVertex::modelY);
            EXPECT_NEAR(y0, Height(0), 1e-3) << j;
            EXPECT_NEAR(y1, Height(values[j]), 1e-3) << j;
        }
    }
}

} // namespace
} // namespace vl
