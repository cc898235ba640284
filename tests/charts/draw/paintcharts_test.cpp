#include "charts/draw/containerpainter.h"
#include "tests/charts/draw/plottest.h"

#include <gtest/gtest.h>

namespace vl {
namespace {

using namespace charttest;

struct PaintChartsTest : PlotTest, rendertest::SheetFixture {
    static std::unique_ptr<CChart> Ready() {
        auto chart = NewDrawnChart(kChart2D);
        PutSeries(*chart, 0, "S", {1, 2}, 1);
        EXPECT_TRUE(UpdateChartScales(*chart));
        return chart;
    }
    void Paint(CContainer& c, DcRect rect = {0, 0, 399, 299}, uint16_t zoom = 100) {
        dc.shapes.clear();
        PaintContainer(Book(), c, canvas, rect, zoom, zoom);
    }
    // The plane fills, one per drawn chart.
    std::vector<const Shape*> Planes() const { return dc.ShapesOf(ShapeKind::kFill); }
};

TEST_F(PaintChartsTest, ThreeChartsInATwoByTwoGrid) {
    auto c = ContainerOf(Ready());
    c->settings.columns = c->settings.rows = 2;
    for (int k = 1; k < 3; ++k) {
        c->slots[k].kind = kObjectChart;
        c->slots[k].chart = Ready();
    }
    c->settings.objectCount = 3;
    Paint(*c);
    const auto planes = Planes();
    ASSERT_EQ(planes.size(), 4u); // the container's background and three planes
    for (size_t k = 1; k < 4; ++k) {
        const bool right = planes[k]->points[0].x >= 200, low = planes[k]->points[0].y >= 150;
        EXPECT_FALSE(right && low) << k;
        EXPECT_EQ(right, k == 2);
        EXPECT_EQ(low, k == 3);
    }
    for (int k = 0; k < 3; ++k) EXPECT_EQ(c->slots[k].chart->canvas, nullptr);
}

TEST_F(PaintChartsTest, GridsOfNoColumnsAndSmallZooms) {
    auto c = ContainerOf(Ready());
    c->settings.columns = c->settings.rows = 0;
    Paint(*c);
    ASSERT_EQ(Planes().size(), 2u);
    EXPECT_LT(Planes()[1]->points[0].x, 40);
    EXPECT_GT(Planes()[1]->points[1].x, 360);
    c->settings.horzSpacing = c->settings.vertSpacing = 4;
    const DcRect cell = ContainerObjectCell(*c, {0, 0, 99, 99}, 0, 10, 10);
    EXPECT_EQ(std::tuple(cell.left, cell.top, cell.right, cell.bottom), std::tuple(1, 1, 98, 98));
}

TEST_F(PaintChartsTest, RepaintsDrawTheSameAndKeepTheLayout) {
    auto chart = Ready();
    chart->settings.viewWidth = 50;
    chart->series[0].settings.labels = 2;
    auto c = ContainerOf(std::move(chart));
    CChart& kept = *c->slots[0].chart;
    Paint(*c);
    const auto first = dc.shapes.size();
    const uint32_t vertices = kept.vertices.ItemCount();
    int32_t margins[4];
    std::copy(kept.margins, kept.margins + 4, margins);
    const std::vector<DcPoint> plane = Planes()[1]->points;
    for (int k = 0; k < 3; ++k) Paint(*c);
    EXPECT_EQ(dc.shapes.size(), first);
    EXPECT_EQ(kept.vertices.ItemCount(), vertices);
    EXPECT_TRUE(std::equal(margins, margins + 4, kept.margins));
    EXPECT_EQ(Planes()[1]->points, plane);
    // The plot is half the cell's width, about its centre.
    EXPECT_NEAR(plane[1].x - plane[0].x, 196, 3);
}

TEST_F(PaintChartsTest, AnotherZoomOrCellLaysTheChartOutAgain) {
    auto c = ContainerOf(Ready());
    struct Case {
        DcRect rect;
        uint16_t zoom;
    } cases[] = {{{0, 0, 399, 299}, 100},
                 {{0, 0, 799, 599}, 200},
                 {{0, 0, 299, 199}, 200},
                 {{10, 10, 309, 209}, 200}};
    for (const Case& k : cases) {
        Paint(*c, k.rect, k.zoom);
        const std::vector<DcPoint> kept = Planes()[1]->points;
        ClearChartLayout(*c->slots[0].chart);
        Paint(*c, k.rect, k.zoom);
        EXPECT_EQ(Planes()[1]->points, kept) << k.zoom;
    }
}

TEST_F(PaintChartsTest, AFailingChartLeavesItsCodeAndTheOthersDraw) {
    auto bad = NewDrawnChart(kChart2D);
    PutSeries(*bad, 0, "S", {1, 2}, 1);
    bad->settings.seriesCount = 17;
    EXPECT_FALSE(UpdateChartScales(*bad));
    auto c = ContainerOf(std::move(bad));
    c->settings.columns = 2;
    c->settings.rows = 1;
    c->slots[1].kind = kObjectChart;
    c->slots[1].chart = Ready();
    c->settings.objectCount = 2;
    Paint(*c);
    EXPECT_EQ(c->status, kErrorChartSeries);
    EXPECT_EQ(Planes().size(), 2u);
}

} // namespace
} // namespace vl
