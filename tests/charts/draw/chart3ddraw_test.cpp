// Drawing laid-out 3D scenes: which faces and walls are filled or outlined, and golden
// images of every kind of 3D chart, as a new chart shows it and turned, in parallel view and
// in perspective.

#include "charts/draw/containerpainter.h"
#include "model/viewtransform.h"
#include "tests/charts/draw/chart3dtestutil.h"
#include "tests/charts/draw/chartdrawtest.h"
#include "tests/render/rendertest.h"

#include <QImage>
#include <cstring>
#include <gtest/gtest.h>

namespace vl {
namespace {

using charttest::Chart3D;
using charttest::kEmpty;

int CountNotWhite(const QImage& image) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) n += image.pixel(x, y) != qRgb(255, 255, 255);
    return n;
}

// One triangle already on the device, with the normals given.
std::unique_ptr<CChart> Triangle(float viewNormalZ) {
    auto chart = NewBlockObject<CChart>(kChart3D);
    for (auto [x, y] : {std::pair(10.0f, 10.0f), {60.0f, 10.0f}, {10.0f, 60.0f}}) {
        ChartVertex v;
        v.viewX = x, v.viewY = y;
        EXPECT_TRUE(chart->vertices.AppendItem24(&v));
    }
    ChartFace f;
    f.a = 0, f.b = 1, f.c = 2, f.edges = 7;
    f.color = Rgb(0, 0, 200);
    f.viewNormal[2] = viewNormalZ;
    f.lightNormal[2] = 1;
    EXPECT_TRUE(chart->faces.AppendItem52(&f));
    return chart;
}

QImage DrawScene(CChart& chart, bool outline, bool printing = false) {
    return rendertest::Drawn(80, 80, [&](CCanvas& canvas) {
        canvas.SetPrintFlags(printing, false);
        chart.canvas = &canvas;
        DrawChart3D(chart, outline);
    });
}

TEST(Draw3D, FacesFilledOutlinedAndPrinted) {
    // Edge-on: not filled, but outlined in the outline mode.
    auto edgeOn = Triangle(0);
    EXPECT_EQ(CountNotWhite(DrawScene(*edgeOn, false)), 0);
    EXPECT_GT(CountNotWhite(DrawScene(*edgeOn, true)), 100);
    // Turned away: the same.
    auto away = Triangle(-0.5f);
    EXPECT_EQ(CountNotWhite(DrawScene(*away, false)), 0);
    // Facing the viewer: filled in its lit colour, outlined on screen but not on paper.
    auto facing = Triangle(1);
    const QImage screen = DrawScene(*facing, false);
    const QImage paper = DrawScene(*facing, false, true);
    EXPECT_EQ(screen.pixel(20, 20), qRgb(0, 0, 200));
    EXPECT_EQ(paper.pixel(20, 20), qRgb(0, 0, 200));
    EXPECT_GT(CountNotWhite(screen), CountNotWhite(paper));
    EXPECT_EQ(paper.pixel(60, 10), qRgb(255, 255, 255));
    EXPECT_NE(screen.pixel(59, 10), qRgb(255, 255, 255));
}

TEST(Draw3D, WallsFilledOrOutlined) {
    auto chart = NewBlockObject<CChart>(kChart3D);
    for (auto [x, y] : {std::pair(10.0f, 70.0f), {70.0f, 70.0f}, {70.0f, 10.0f}, {10.0f, 10.0f}}) {
        ChartVertex v;
        v.viewX = x, v.viewY = y;
        ASSERT_TRUE(chart->vertices.AppendItem24(&v));
    }
    WallRecord& wall = chart->walls[kWallXY];
    wall.built = wall.shown = 1;
    wall.normal[2] = 1;
    chart->settings.planeFill.pattern = 1;
    chart->settings.planeFill.patternColor = Rgb(200, 0, 0);
    chart->settings.planeBorder = {1, 1, Rgb(0, 0, 0)};
    const QImage filled = DrawScene(*chart, false);
    EXPECT_EQ(filled.pixel(40, 40), qRgb(200, 0, 0));
    // Outline mode and pattern 0 draw the border only.
    EXPECT_EQ(DrawScene(*chart, true).pixel(40, 40), qRgb(255, 255, 255));
    chart->settings.planeFill.pattern = 0;
    const QImage outline = DrawScene(*chart, false);
    EXPECT_EQ(outline.pixel(40, 40), qRgb(255, 255, 255));
    EXPECT_EQ(outline.pixel(40, 10), qRgb(0, 0, 0));
    // Facing away, a wall is drawn filled even in the outline mode, shaded at 30 %.
    chart->settings.planeFill.pattern = 1;
    wall.normal[2] = -1;
    EXPECT_EQ(DrawScene(*chart, true).pixel(40, 40), qRgb(60, 0, 0));
    // Not shown: nothing.
    wall.shown = 0;
    EXPECT_EQ(CountNotWhite(DrawScene(*chart, false)), 0);
}

// A chart of the kind laid out and drawn into the cell, its vertices placed on the device
// and back as the container painter does.
void DrawChartIn(CChart& chart, CCanvas& canvas, const DcRect& cell, bool outline) {
    chart.flags |= kChartScalesValid;
    ClearChartLayout(chart);
    ASSERT_TRUE(DrawChartLayout(chart, &canvas, cell, 100, 100));
    int32_t w = 0, h = 0;
    ApplyChartViewSize(chart, cell, w, h);
    const float cx = float(w / 2 + chart.margins[0] + cell.left);
    const float cy = float(h / 2 + chart.margins[1] + cell.top);
    const auto place = [&](bool on) {
        for (uint32_t i = 0; i < chart.vertices.ItemCount(); ++i) {
            ChartVertex v = LoadVertex(chart, i);
            v.viewX = on ? cx + v.viewX : v.viewX - cx;
            v.viewY = cy - v.viewY;
            StoreVertex(chart, i, v);
        }
    };
    place(true);
    chart.canvas = &canvas;
    DrawChart3D(chart, outline);
    place(false);
}

TEST(Draw3D, APieHasNoWalls) {
    for (uint8_t kind : {11, 7}) {
        Chart3D f;
        f.Add(0, {1, 2, 3}, kind);
        f.chart->settings.planeFill.patternColor = Rgb(255, 0, 255);
        f.chart->light[0] = f.chart->light[1] = 0; // any shade of magenta shows
        const QImage image = rendertest::Drawn(200, 160, [&](CCanvas& canvas) {
            DrawChartIn(*f.chart, canvas, {0, 0, 199, 159}, false);
        });
        bool magenta = false;
        for (int y = 0; y < image.height() && !magenta; ++y)
            for (int x = 0; x < image.width() && !magenta; ++x) {
                const QRgb p = image.pixel(x, y);
                magenta = qRed(p) == qBlue(p) && qRed(p) > 0 && qGreen(p) == 0;
            }
        EXPECT_EQ(magenta, kind == 7) << int(kind);
    }
}

// The kinds of the goldens, each with its data.
struct Kind {
    const char* name;
    uint8_t kind;
    bool stacked;
    std::vector<std::vector<double>> series;
};

void Fill(Chart3D& f, const Kind& k) {
    for (uint16_t n = 0; n < k.series.size(); ++n) {
        CChartSeries& s = f.Add(n, k.series[n], k.kind, k.stacked);
        s.settings.axisType = n == 0 && k.kind != 11 ? 1 : 0;
        if (k.kind == 11) s.settings.labels = 2;
    }
}

// Four views in a 2 x 2 grid: the new chart's view and turned, in parallel view and at
// perspective 40.
QImage FourViews(const Kind& k, bool outline = false, bool printing = false) {
    return rendertest::Drawn(600, 440, [&](CCanvas& canvas) {
        canvas.SetPrintFlags(printing, false);
        for (int view = 0; view < 4; ++view) {
            Chart3D f;
            Fill(f, k);
            if (view % 2) {
                ApplyChartTransform(f.chart->viewMatrix, kRotateX, ChartDegreesToRadians(-30));
                ApplyChartTransform(f.chart->viewMatrix, kRotateY, ChartDegreesToRadians(20));
            }
            f.chart->settings.perspective = view < 2 ? 0 : 40;
            const int32_t left = 300 * (view % 2), top = 220 * (view / 2);
            DrawChartIn(*f.chart, canvas, {left + 10, top + 10, left + 289, top + 209}, outline);
        }
    });
}

const Kind kKinds[] = {
    {"column", 7, false, {{6, 9, 4, 8}, {2, 4, 5, 3}}},
    {"bar", 8, false, {{6, 9, 4, 8}, {2, 4, 5, 3}}},
    {"stacked_column", 7, true, {{3, -2, 4, 5}, {2, 3, -3, 1}, {1, 2, 2, -2}}},
    {"line", 9, false, {{6, 9, 4, 8, 7}, {2, 4, 5, 3, 1}}},
    {"area", 10, false, {{3, -2, 4, 1, -3}}},
    {"stacked_area", 10, true, {{3, 4, 2, 5}, {2, 1, 3, 2}, {1, 2, 2, 1}}},
    {"pie", 11, false, {{3, 5, 2, 6, 4}}},
};

TEST(Draw3DGolden, EveryKindInFourViews) {
    for (const Kind& k : kKinds)
        EXPECT_TRUE(rendertest::MatchesGolden(FourViews(k), std::string("charts/3d_") + k.name))
            << k.name;
}

TEST(Draw3DGolden, OutlineAndPrinted) {
    EXPECT_TRUE(rendertest::MatchesGolden(FourViews(kKinds[0], true), "charts/3d_outline"));
    EXPECT_TRUE(rendertest::MatchesGolden(FourViews(kKinds[2], false, true), "charts/3d_printed"));
}

// The whole road: a container paints its turned 3D chart with title, legend and axes.
struct Chart3DContainer : ::testing::Test, rendertest::SheetFixture {};

TEST_F(Chart3DContainer, AContainerPaintsItsChart) {
    auto chart = charttest::NewDrawnChart(kChart3D);
    charttest::SetText(chart->settings.titleText[0], "Sales");
    chart->settings.legendCode = 5;
    charttest::PutCategories(*chart, 0, {"North", "East", "South", "West"});
    CChartSeries& a = charttest::PutSeries(*chart, 1, "2025", {40, 25, 10, 30}, 7);
    charttest::PutSeries(*chart, 2, "2026", {20, 35, 15, 10}, 7);
    a.settings.axisType = 1, a.settings.periods = 4;
    ApplyChartTransform(chart->viewMatrix, kRotateX, ChartDegreesToRadians(20));
    ApplyChartTransform(chart->viewMatrix, kRotateY, ChartDegreesToRadians(25));
    ASSERT_TRUE(UpdateChartScales(*chart));
    auto c = charttest::ContainerOf(std::move(chart));
    const QImage image = rendertest::Drawn(360, 260, [&](CCanvas& canvas) {
        PaintContainer(Book(), *c, canvas, {0, 0, 359, 259}, 100, 100);
    });
    EXPECT_TRUE(rendertest::MatchesGolden(image, "charts/3d_container"));
}

} // namespace
} // namespace vl
