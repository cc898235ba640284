#include "charts/draw/chartgeometry.h"
#include "charts/draw/chartlayout.h"
#include "charts/scales.h"
#include "model/chartprojection.h"
#include "tests/charts/charttestutil.h"
#include "tests/render/rendertest.h"

#include <cstring>
#include <gtest/gtest.h>
#include <vector>

namespace vl {
namespace {

using charttest::ChartFixture;

constexpr uint16_t kTicksOnly = 16 | 32; // axis flags: tick marks, no labels, no title

// Text 6 units wide a character and 10 high.
struct LayoutTest : ::testing::Test {
    rendertest::CFixedMetricsDC dc{6, 10};
    CCanvas canvas;
    LayoutTest() { canvas.AttachDC(&dc); }

    bool Layout(CChart& chart, DcRect rect = {0, 0, 400, 300}, uint16_t zx = 100,
                uint16_t zy = 100) {
        if (!(chart.flags & kChartScalesValid)) {
            EXPECT_TRUE(UpdateChartScales(chart));
        }
        return DrawChartLayout(chart, &canvas, rect, zx, zy);
    }
    static std::vector<int32_t> Margins(const CChart& c) {
        return {c.margins[0], c.margins[1], c.margins[2], c.margins[3]};
    }
    static ChartVertex Vertex(CChart& c, uint32_t i) { return LoadVertex(c, i); }
    // A data series with a value axis of the type, and a categories series.
    static void ColumnChart(ChartFixture& f, uint8_t axisType, uint16_t flags = kTicksOnly) {
        CChartSeries& v = f.Series(0, {3, 97});
        v.settings.axisType = axisType;
        v.settings.axisFlags = flags;
    }
};

TEST_F(LayoutTest, GapFollowsTheLargerZoom) {
    struct Case {
        uint16_t zx, zy, gap;
    } cases[] = {{100, 100, 4}, {250, 100, 10}, {100, 250, 10}, {24, 10, 0}, {25, 10, 1}};
    for (const Case& c : cases) {
        ChartFixture f;
        f.Series(0, {1, 2});
        ASSERT_TRUE(Layout(*f.chart, {0, 0, 400, 300}, c.zx, c.zy));
        EXPECT_EQ(std::tuple(f.chart->gap, f.chart->zoomX, f.chart->zoomY, f.chart->canvas),
                  std::tuple(c.gap, c.zx, c.zy, &canvas));
    }
}

TEST_F(LayoutTest, ViewSizeShrinksAboutTheCentre) {
    ChartFixture f;
    f.chart->settings.viewWidth = 50;
    int32_t w = 0, h = 0;
    ApplyChartViewSize(*f.chart, {0, 0, 400, 300}, w, h);
    EXPECT_EQ(std::tuple(w, h, Margins(*f.chart)),
              std::tuple(200, 300, std::vector<int32_t>{100, 0, 100, 0}));
    f.chart->settings.viewHeight = 99;
    ApplyChartViewSize(*f.chart, {0, 0, 400, 300}, w, h);
    EXPECT_EQ(std::tuple(w, h, Margins(*f.chart)),
              std::tuple(100, 298, std::vector<int32_t>{150, 1, 150, 1}))
        << "the second call starts from the margins it left";
}

TEST_F(LayoutTest, TitlesAndLegendTakeTheirMargins) {
    struct Case {
        const char* name;
        const char* title;
        const char* subtitle;
        uint8_t legend;
        std::vector<int32_t> margins;
    } cases[] = {
        {"none", "", "", 0, {0, 0, 0, 0}},
        {"subtitle", "", "Q2", 0, {0, 15, 0, 0}},
        {"both", "Sales", "Q2", 0, {0, 26, 0, 0}},
        {"sections", "&LLeft&RRight&&", "", 0, {0, 15, 0, 0}},
        {"legend 7", "", "", 7, {0, 0, 0, 28}},
        {"legend 8", "", "", 8, {0, 0, 0, 18}},
        {"legend 1", "", "", 1, {8 + 36 + 7 + 4, 0, 0, 0}},
        {"legend 6", "", "", 6, {0, 0, 8 + 12 + 12 + 7 + 36 + 12 + 7, 0}},
    };
    for (const Case& c : cases) {
        ChartFixture f;
        std::strcpy(f.chart->settings.titleText[0], c.title);
        std::strcpy(f.chart->settings.titleText[1], c.subtitle);
        f.chart->settings.legendCode = c.legend;
        f.Series(0, {1, 2});
        f.Series(1, {1, 2});
        f.Series(2, {1, 2}); // hidden
        f.Series(3, {1, 2}, 3);
        std::strcpy(f.chart->series[0].settings.name, "ab");
        std::strcpy(f.chart->series[1].settings.name, "cdefgh");
        std::strcpy(f.chart->series[2].settings.name, "a hidden series");
        std::strcpy(f.chart->series[3].settings.name, "categories not listed");
        f.chart->series[2].settings.visible = 0;
        ASSERT_TRUE(Layout(*f.chart)) << c.name;
        EXPECT_EQ(Margins(*f.chart), c.margins) << c.name;
    }
}

TEST_F(LayoutTest, MarkerAndKeySizes) {
    const int32_t sizes[] = {7, 1, 3, 5, 7, 9, 5, 7, 9, 5, 7, 9, 7, 9, 7, 9, 7, 7};
    for (int symbol = 0; symbol < 18; ++symbol)
        EXPECT_EQ(GetMarkerSize(uint8_t(symbol)), sizes[symbol]) << symbol;
    EXPECT_EQ(GetMarkerSize(255), 7);
    ChartFixture f;
    CChartSeries& s = f.chart->series[0];
    s.settings.kind = 6, s.settings.symbol = 5;
    EXPECT_EQ(LegendKeySize(s, 200), 18);
    s.settings.kind = 1; // not a scatter: the key is a "Rectangle7"
    EXPECT_EQ(LegendKeySize(s, 200), 14);
}

TEST_F(LayoutTest, AxisSides) {
    struct Case {
        const char* name;
        uint8_t chartType;
        uint8_t kind;
        uint8_t role;
        uint8_t first, second;
    } cases[] = {
        {"2D column", kChart2D, 1, 1, 1, 2},      {"2D bar", kChart2D, 2, 1, 8, 4},
        {"2D categories", kChart2D, 1, 3, 8, 4},  {"2D bar categories", kChart2D, 2, 3, 1, 2},
        {"3D column", kChart3D, 7, 1, 16, 2},     {"3D bar", kChart3D, 8, 1, 1, 128},
        {"3D categories", kChart3D, 7, 3, 32, 4}, {"XY", kChartXY, 6, 2, 8, 4},
        {"error bars", kChart2D, 1, 4, 0, 0},
    };
    for (const Case& c : cases) {
        ChartFixture f(c.chartType);
        f.Series(0, {1, 2}, 1, c.kind);
        CChartSeries& s = f.Series(1, {1, 2}, c.role, c.kind);
        EXPECT_EQ(std::tuple(GetAxisSide(*f.chart, 1, s), GetAxisSide(*f.chart, 2, s)),
                  std::tuple(c.first, c.second))
            << c.name;
    }
}

TEST_F(LayoutTest, AxesReserveAndStack) {
    // Dual on a 2D Column: sides 1 and 2, each G + T with nothing shown.
    ChartFixture dual;
    ColumnChart(dual, 3);
    ASSERT_TRUE(Layout(*dual.chart));
    EXPECT_EQ(std::tuple(dual.chart->axisCount, dual.chart->axes[0].side, dual.chart->axes[1].side,
                         Margins(*dual.chart)),
              std::tuple(2, 1, 2, std::vector<int32_t>{14, 0, 14, 0}));
    // With a Bar series they move below and above.
    ChartFixture bars;
    ColumnChart(bars, 3);
    bars.Series(1, {1}, 1, 2);
    ASSERT_TRUE(Layout(*bars.chart));
    EXPECT_EQ(std::tuple(bars.chart->axes[0].side, bars.chart->axes[1].side, Margins(*bars.chart)),
              std::tuple(8, 4, std::vector<int32_t>{0, 14, 0, 14}));
    // A second Primary axis lies X + g + T further out: 0 + 3 + 10.
    ChartFixture two;
    ColumnChart(two, 1);
    two.Series(1, {5, 6}).settings.axisType = 1;
    two.chart->series[1].settings.axisFlags = kTicksOnly;
    ASSERT_TRUE(Layout(*two.chart));
    ASSERT_EQ(two.chart->axisCount, 2);
    const float centre = (400 - 28) / 2.0f;
    EXPECT_EQ(Vertex(*two.chart, two.chart->axes[0].firstVertex + 1).modelX + centre, -13);
    EXPECT_EQ(Vertex(*two.chart, two.chart->axes[1].firstVertex + 1).modelX + centre, -26);
    // Axis type None reserves and builds nothing.
    ChartFixture none;
    ColumnChart(none, 0);
    ASSERT_TRUE(Layout(*none.chart));
    EXPECT_EQ(std::tuple(none.chart->axisCount, Margins(*none.chart)),
              std::tuple(0, std::vector<int32_t>{0, 0, 0, 0}));
    // 3D sides 16 and 32 take G only.
    ChartFixture deep(kChart3D);
    deep.Series(0, {1, 2}, 1, 7).settings.axisType = 1;
    deep.Series(1, {1, 2}, 3, 7).settings.axisType = 1;
    deep.chart->series[0].settings.axisFlags = deep.chart->series[1].settings.axisFlags = 0;
    ASSERT_TRUE(UpdateChartScales(*deep.chart));
    deep.chart->canvas = &canvas;
    ReserveAxisMargins(*deep.chart);
    EXPECT_EQ(Margins(*deep.chart), (std::vector<int32_t>{4, 0, 0, 4}));
}

TEST_F(LayoutTest, LabelsMeasuredPerTick) {
    // 0, 500 and 1000 over two intervals: the widest, at the last tick, is measured.
    ChartFixture values;
    values.Series(0, {0, 1000}).settings.periods = 2;
    ASSERT_TRUE(UpdateChartScales(*values.chart));
    values.chart->canvas = &canvas;
    AxisRecord record;
    record.side = kSideLeft;
    MeasureAxisLabels(*values.chart, values.chart->series[0], record);
    EXPECT_EQ(std::tuple(record.labelWidth, record.labelHeight, record.extent),
              std::tuple(24u, 10u, 28u));
    // Categories measure one label per interval: the fourth, longest, is not reached.
    ChartFixture categories;
    CChartSeries& c = categories.Series(0, {1, 2, 3, 4444}, 3);
    std::strcpy(c.settings.axisTitle, "Months");
    c.settings.axisFlags = 2 | 4; // labels horizontal, title vertical
    c.settings.periods = 3;
    categories.chart->canvas = &canvas;
    record.side = kSideBottom;
    MeasureAxisLabels(*categories.chart, c, record);
    EXPECT_EQ(std::tuple(record.labelWidth, record.titleWidth, record.titleHeight, record.extent),
              std::tuple(6u, 36u, 10u, 10u + 4 + 36 + 4));
}

TEST_F(LayoutTest, GridLines) {
    ChartFixture f;
    CChartSeries& s = f.Series(0, {10, 40}); // an axis of 0 to 50
    s.settings.periods = 1, s.settings.subperiods = 4;
    s.settings.userGridCount = 3;
    s.settings.userGridValues[0] = 30; // kept
    s.settings.userGridValues[1] = 51; // past the maximum 50
    s.settings.userGridValues[2] = 50; // the maximum itself
    ASSERT_TRUE(Layout(*f.chart));
    ASSERT_EQ(f.chart->gridLineCount, 1);
    const GridLineSet& g = f.chart->gridLines[0];
    EXPECT_EQ(
        std::tuple(g.majorCount, g.minorCount, g.userFlags[0], g.userFlags[1], g.userFlags[2]),
        std::tuple(0u, 3u, 1, 0, 1));
    // Minor lines are inset a pixel at each end; the first lies at a quarter of the height.
    const float cx = 200, cy = 150;
    const ChartVertex a = Vertex(*f.chart, g.firstVertex), b = Vertex(*f.chart, g.firstVertex + 1);
    EXPECT_EQ(std::tuple(a.modelX + cx, a.modelY + cy, b.modelX + cx),
              std::tuple(1.0f, 75.0f, 399.0f));
    const ChartVertex u = Vertex(*f.chart, g.firstVertex + 6);
    EXPECT_EQ(u.modelY + cy, 180.0f);
    // A log axis crowds its minor lines towards the upper major value.
    ChartFixture log;
    CChartSeries& l = log.Series(0, {1, 100});
    l.settings.scale = 3, l.settings.periods = 1, l.settings.subperiods = 2;
    log.Collect(0, {1, 100});
    ASSERT_TRUE(UpdateChartScales(*log.chart));
    float f1 = 0;
    ASSERT_TRUE(AxisTickFraction(log.chart->series[0], 0, 1, f1));
    EXPECT_FLOAT_EQ(f1, float(std::log10(50.5) / 2));
}

TEST_F(LayoutTest, Depth) {
    ChartFixture columns(kChart3D);
    for (uint16_t n = 0; n < 3; ++n)
        columns.Series(n, std::vector<double>(n == 1 ? 10 : 4, 1.0), 1, 7);
    EXPECT_EQ(ChartDepth(*columns.chart, 300, 200), 120.0f);
    columns.chart->series[2].settings.stacked = 1;
    EXPECT_EQ(ChartDepth(*columns.chart, 300, 200), 90.0f);
    ChartFixture pie(kChart3D);
    pie.Series(0, {1, 2}, 1, 11);
    EXPECT_EQ(ChartDepth(*pie.chart, 300, 200), 200.0f);
    ChartFixture flat;
    flat.Series(0, {1, 2});
    EXPECT_EQ(ChartDepth(*flat.chart, 300, 200), 0.0f);
}

TEST_F(LayoutTest, WorkedColumnChartAndTheCache) {
    ChartFixture f;
    ColumnChart(f, 1);
    f.chart->series[0].settings.periods = 4; // 0 to 200
    f.Series(1, {1, 2}, 3).settings.axisType = 1;
    f.chart->series[1].settings.axisFlags = kTicksOnly;
    ASSERT_TRUE(Layout(*f.chart));
    EXPECT_EQ(Margins(*f.chart), (std::vector<int32_t>{14, 0, 0, 14}));
    const WallRecord& wall = f.chart->walls[kWallXY];
    EXPECT_EQ(std::tuple(wall.built, wall.shown), std::tuple(1, 1));
    const ChartVertex far = Vertex(*f.chart, wall.firstVertex + 2);
    EXPECT_EQ(std::tuple(far.modelX, far.modelY, far.viewX, far.viewY),
              std::tuple(193.0f, 143.0f, 193.0f, 143.0f));
    const AxisRecord& band = f.chart->axes[0];
    EXPECT_EQ(std::tuple(Vertex(*f.chart, band.firstVertex).modelX + 193,
                         Vertex(*f.chart, band.firstVertex + 1).modelX + 193),
              std::tuple(-3.0f, -13.0f));
    EXPECT_EQ(std::tuple(band.majorTicks, band.minorTicks), std::tuple(3u, 0u));
    EXPECT_TRUE(f.chart->flags & kChartLaidOut);
    const uint32_t vertices = f.chart->vertices.ItemCount();
    // Another rectangle and zoom reuse the layout; ClearChartLayout forces a new one.
    ASSERT_TRUE(Layout(*f.chart, {0, 0, 800, 600}, 200, 200));
    EXPECT_EQ(std::tuple(Margins(*f.chart), f.chart->vertices.ItemCount(), f.chart->gap),
              std::tuple(std::vector<int32_t>{14, 0, 0, 14}, vertices, 4));
    ClearChartLayout(*f.chart);
    EXPECT_EQ(std::tuple(f.chart->flags & kChartLaidOut, f.chart->vertices.ItemCount(),
                         f.chart->axisCount, f.chart->gridLineCount),
              std::tuple(0, 0u, 0, 0));
    ASSERT_TRUE(Layout(*f.chart, {0, 0, 800, 600}, 200, 200));
    EXPECT_EQ(Margins(*f.chart), (std::vector<int32_t>{28, 0, 0, 28}));
}

TEST_F(LayoutTest, FaultsEndInCleanLayoutsOrCleanFailures) {
    // A chart whose scales are not valid: false, nothing touched.
    ChartFixture unusable;
    unusable.chart->error = 30;
    unusable.chart->margins[0] = 7;
    EXPECT_FALSE(DrawChartLayout(*unusable.chart, &canvas, {0, 0, 400, 300}, 100, 100));
    EXPECT_EQ(std::tuple(unusable.chart->error, unusable.chart->margins[0]), std::tuple(30, 7));
    // Margins that leave no plot: laid out with no wall and no axis.
    for (DcRect rect : {DcRect{0, 0, 14, 300}, DcRect{0, 0, 15, 14}, DcRect{0, 0, 10, 10}}) {
        ChartFixture f;
        ColumnChart(f, 1);
        f.Series(1, {1, 2}, 3).settings.axisType = 1;
        ASSERT_TRUE(Layout(*f.chart, rect));
        EXPECT_EQ(std::tuple(f.chart->walls[kWallXY].built, f.chart->axisCount,
                             f.chart->vertices.ItemCount()),
                  std::tuple(0, 0, 0u))
            << rect.right;
    }
    ChartFixture one;
    ColumnChart(one, 1);
    ASSERT_TRUE(Layout(one.chart.operator*(), {0, 0, 15, 1}));
    EXPECT_EQ(std::tuple(one.chart->walls[kWallXY].built, one.chart->axisCount), std::tuple(1, 1));
    // An error-bar series with an axis gets none.
    ChartFixture bars;
    ColumnChart(bars, 0);
    bars.Series(1, {1, 2}, 4).settings.axisType = 3;
    ASSERT_TRUE(Layout(*bars.chart));
    EXPECT_EQ(std::tuple(bars.chart->error, bars.chart->axisCount, bars.chart->gridLineCount),
              std::tuple(0, 0, 1));
    // Minor lines past the ceiling: 27 before anything is allocated.
    ChartFixture huge;
    ColumnChart(huge, 3);
    ASSERT_TRUE(UpdateChartScales(*huge.chart));
    huge.chart->series[0].settings.periods = 65535;
    huge.chart->series[0].settings.subperiods = 65535;
    EXPECT_FALSE(Layout(*huge.chart));
    EXPECT_EQ(std::tuple(huge.chart->error, huge.chart->flags & kChartLaidOut,
                         huge.chart->vertices.ItemCount(), huge.chart->vertices.PageCount()),
              std::tuple(27, 0, 0u, 0u));
    huge.chart->series[0].settings.periods = 100;
    huge.chart->series[0].settings.subperiods = 10;
    EXPECT_TRUE(Layout(*huge.chart)) << "the next call starts again";
    EXPECT_EQ(huge.chart->error, 0);
    // The axis table: the 33rd record is the last; a 34th fails with 31.
    ChartFixture full;
    ColumnChart(full, 1);
    ASSERT_TRUE(UpdateChartScales(*full.chart));
    full.chart->canvas = &canvas;
    full.chart->axisCount = 32;
    EXPECT_TRUE(BuildAxisRecord(*full.chart, kSideLeft, 100, 100, full.chart->series[0]));
    EXPECT_FALSE(BuildAxisRecord(*full.chart, kSideLeft, 100, 100, full.chart->series[0]));
    EXPECT_EQ(std::tuple(full.chart->error, full.chart->axisCount), std::tuple(31, 33));
    full.chart->axisCount = 0;
    full.chart->error = 0;
    EXPECT_FALSE(BuildAxisRecord(*full.chart, 3, 100, 100, full.chart->series[0]));
    EXPECT_EQ(std::tuple(full.chart->error, full.chart->axisCount), std::tuple(0, 0));
}

} // namespace
} // namespace vl
