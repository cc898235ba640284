// Charts made from random bytes, the fuzz target's inputs, laid out on the test device
// context and drawn on it: no crash, failures only with the chart codes, finite geometry and
// device points within bounds.

#include "charts/draw/chartlayout.h"
#include "charts/draw/chartseries.h"
#include "charts/scales.h"
#include "model/chartprojection.h"
#include "tests/charts/chartfrombytes.h"
#include "tests/render/rendertest.h"

#include <cmath>
#include <gtest/gtest.h>
#include <random>
#include <vector>

namespace vl {
namespace {

TEST(ChartLayoutRandom, RandomChartsLayOutOrFailWithAChartCode) {
    rendertest::CFixedMetricsDC dc(7, 12);
    CCanvas canvas;
    canvas.AttachDC(&dc);
    std::mt19937 random(20261207);
    int laidOut = 0;
    for (int round = 0; round < 300; ++round) {
        std::vector<uint8_t> bytes(1 + random() % 3000);
        for (uint8_t& b : bytes) b = uint8_t(random());
        bool collected = false;
        auto chart = charttest::ChartFromBytes(bytes.data(), bytes.size(), collected);
        if (!collected || !UpdateChartScales(*chart)) continue;
        const DcRect rect{0, 0, int32_t(random() % 900) - 50, int32_t(random() % 700) - 50};
        const uint16_t zx = uint16_t(10 + random() % 400), zy = uint16_t(10 + random() % 400);
        if (!DrawChartLayout(*chart, &canvas, rect, zx, zy)) {
            EXPECT_GE(chart->error, kErrorChartMemory) << round;
            EXPECT_LE(chart->error, kErrorChartGridlines) << round;
            continue;
        }
        ++laidOut;
        const uint32_t count = chart->vertices.ItemCount();
        ASSERT_LE(count, kMaxLayoutVertices) << round;
        for (uint32_t i = 0; i < count; ++i) {
            const ChartVertex v = LoadVertex(*chart, i);
            ASSERT_TRUE(std::isfinite(v.viewX) && std::isfinite(v.viewY) && std::isfinite(v.viewZ))
                << round << " " << i;
        }
        EXPECT_LE(chart->axisCount, 32) << round;
        // Drawn, every point handed to the device stays well inside 32 bits, and the layout
        // is left as it was.
        dc.shapes.clear();
        FitChartPlotArea(*chart, rect, canvas);
        EXPECT_EQ(chart->vertices.ItemCount(), count) << round;
        EXPECT_EQ(chart->canvas, nullptr);
        for (const auto& shape : dc.shapes)
            for (const DcPoint& p : shape.points)
                ASSERT_TRUE(std::abs(int64_t(p.x)) <= (1 << 29) &&
                            std::abs(int64_t(p.y)) <= (1 << 29))
                    << round;
    }
    // The inputs reach the layout often enough to mean something.
    EXPECT_GT(laidOut, 30);
}

} // namespace
} // namespace vl
