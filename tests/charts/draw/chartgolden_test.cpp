#include "chartdrawtest.h"
#include "charts/draw/chartlayout.h"
#include "charts/draw/containerpainter.h"
#include "render/canvas.h"
#include "rendertest.h"

#include <gtest/gtest.h>

namespace vl {
namespace {

using namespace charttest;
using rendertest::MatchesGolden;

struct ChartGolden : ::testing::Test, rendertest::SheetFixture {
    // The container painted at the zoom into a white image of its size.
    QImage Paint(CContainer& c, int width, int height, uint16_t zoom = 100, bool printing = false) {
        return rendertest::Drawn(width, height, [&](CCanvas& canvas) {
            canvas.SetPrintFlags(printing, false);
            PaintContainer(Book(), c, canvas, {0, 0, width - 1, height - 1}, zoom, zoom);
        });
    }
};

std::unique_ptr<CChart> Ready(std::unique_ptr<CChart> chart) {
    EXPECT_TRUE(UpdateChartScales(*chart));
    return chart;
}

void ValueAxis(CChartSeries& s, uint16_t ticks = 4) {
    s.settings.axisType = 1;
    s.settings.periods = ticks;
}

std::unique_ptr<CChart> ColumnChart(uint8_t kind, uint8_t stacked, uint8_t relative) {
    auto chart = NewDrawnChart(kChart2D);
    SetText(chart->settings.titleText[0], "Sales");
    chart->settings.legendCode = 5;
    PutCategories(*chart, 0, {"North", "East", "South", "West"});
    const std::vector<std::vector<double>> values = {
        {40, 25, -10, 30}, {20, 35, 15, 10}, {10, 5, 25, 20}};
    const char* names[] = {"2024", "2025", "2026"};
    for (uint16_t i = 0; i < 3; ++i) {
        CChartSeries& s = PutSeries(*chart, uint16_t(i + 1), names[i], values[i], kind);
        s.settings.stacked = stacked;
        s.settings.relative = relative;
        s.settings.labels = i == 0 ? 2 : 0;
    }
    ValueAxis(chart->series[1]);
    return Ready(std::move(chart));
}

} // namespace

TEST_F(ChartGolden, ColumnAndBar) {
    for (auto [kind, stacked, relative, name] :
         {std::tuple{uint8_t(1), uint8_t(0), uint8_t(0), "column"},
          std::tuple{uint8_t(2), uint8_t(0), uint8_t(0), "bar"},
          std::tuple{uint8_t(1), uint8_t(1), uint8_t(0), "stacked_column"},
          std::tuple{uint8_t(2), uint8_t(1), uint8_t(1), "relative_bar"}}) {
        auto c = ContainerOf(ColumnChart(kind, stacked, relative));
        EXPECT_TRUE(MatchesGolden(Paint(*c, 360, 240), std::string("charts/") + name)) << name;
    }
}

} // namespace vl

namespace vl {
namespace {

using namespace charttest;

const double kGap = std::nan("");

std::unique_ptr<CChart> LineChart() {
    auto chart = NewDrawnChart(kChart2D);
    chart->settings.legendCode = 7;
    PutCategories(*chart, 0, {"Jan", "Feb", "Mar", "Apr", "May", "Jun"});
    CChartSeries& a = PutSeries(*chart, 1, "Rain", {12, 30, kGap, 22, 8, 18}, 3);
    a.settings.labels = 2;
    a.settings.axisType = 1;
    a.settings.periods = 4;
    CChartSeries& b = PutSeries(*chart, 2, "Sun", {5, 9, 14, 11, 20, 25}, 3);
    b.settings.line.style = FORMAT_LINE_DASH;
    return chart;
}

std::unique_ptr<CChart> AreaChart() {
    auto chart = NewDrawnChart(kChart2D);
    chart->settings.legendCode = 1;
    PutCategories(*chart, 0, {"Q1", "Q2", "Q3", "Q4", "Q5"});
    CChartSeries& a = PutSeries(*chart, 1, "Base", {10, 20, 15, 25, 30}, 4);
    CChartSeries& b = PutSeries(*chart, 2, "Extra", {5, 10, 20, 10, 5}, 4);
    a.settings.stacked = b.settings.stacked = 1;
    a.settings.axisType = 1;
    a.settings.periods = 5;
    CChartSeries& c = PutSeries(*chart, 3, "Alone", {4, 8, 6, 2}, 4);
    c.settings.labels = 2;
    c.settings.fill.pattern = 5;
    c.settings.fill.backgroundColorGiven = 1;
    c.settings.fill.backgroundColor = Rgb(255, 255, 255);
    c.settings.rangeFlags = kFromValueGiven | kToValueGiven;
    c.settings.toValue = 40;
    return chart;
}

std::unique_ptr<CChart> PieChart() {
    auto chart = NewDrawnChart(kChart2D);
    chart->settings.legendCode = 3;
    SetText(chart->settings.titleText[0], "&cShare");
    PutCategories(*chart, 0, {"Oak", "Ash", "Elm", "Yew"}).settings.axisType = 0;
    CChartSeries& s = PutSeries(*chart, 1, "Trees", {40, 25, 20, 15}, 5);
    s.settings.labels = 3;
    SetText(s.settings.relatedX, "categories");
    return chart;
}

std::unique_ptr<CChart> ScatterChart() {
    auto chart = NewDrawnChart(kChart2D);
    chart->settings.legendCode = 6;
    CChartSeries& s = PutSeries(*chart, 0, "Measured", {3, 5, 4, 8, 7, 9}, 6);
    s.settings.axisType = 1;
    s.settings.periods = 5;
    s.settings.connectingLine = {FORMAT_LINE_SOLID, 1, Rgb(0, 128, 0)};
    s.settings.symbol = 10;
    SetText(s.settings.relatedSigma, "Error");
    PutSeries(*chart, 1, "Error", {1, 2, 0.2, 4, 1.5, 1}, 6, 4);
    CChartSeries& t = PutSeries(*chart, 2, "Model", {2, 4, 6, 6, 8, 10}, 6);
    t.settings.symbol = 7;
    t.settings.labels = 2;
    return chart;
}

std::unique_ptr<CChart> XYChart() {
    auto chart = NewDrawnChart(kChartXY);
    chart->settings.legendCode = 5;
    CChartSeries& x = PutSeries(*chart, 0, "X", {1, 2, 4, 7, 9}, 6, 2);
    x.settings.axisType = 1;
    x.settings.periods = 5;
    SetText(x.settings.relatedSigma, "XErr");
    PutSeries(*chart, 1, "XErr", {0.5, 0.5, 1, 1, 2}, 6, 4);
    CChartSeries& y = PutSeries(*chart, 2, "Y", {2, 8, 3, 6, 5}, 6);
    y.settings.axisType = 1;
    y.settings.periods = 4;
    y.settings.symbol = 13;
    y.settings.labels = 4;
    y.settings.connectingLine = {FORMAT_LINE_DOT, 1, Rgb(128, 0, 128)};
    SetText(y.settings.relatedX, "x");
    SetText(y.settings.relatedSigma, "YErr");
    PutSeries(*chart, 3, "YErr", {1, 3, 1, 1, 1}, 6, 4);
    return chart;
}

std::unique_ptr<CChart> MixedChart() {
    auto chart = NewDrawnChart(kChart2D);
    chart->settings.legendCode = 8;
    PutCategories(*chart, 0, {"A", "B", "C", "D"});
    CChartSeries& area = PutSeries(*chart, 1, "Area", {10, 30, 20, 40}, 4);
    area.settings.stacked = 1;
    CChartSeries& col = PutSeries(*chart, 2, "Columns", {15, 25, 35, 20}, 1);
    col.settings.axisType = 1;
    col.settings.periods = 4;
    PutSeries(*chart, 3, "Line", {5, 35, 10, 30}, 3);
    return chart;
}

std::unique_ptr<CChart> AxesChart() {
    auto chart = NewDrawnChart(kChart2D);
    PutCategories(*chart, 0, {"one", "two", "three"}).settings.axisFlags = 0x72 | 8;
    SetText(chart->series[0].settings.axisTitle, "Category");
    CChartSeries& s = PutSeries(*chart, 1, "Log", {2, 300, 40}, 1);
    s.settings.scale = 3;
    s.settings.axisType = 3;
    s.settings.periods = 3;
    s.settings.axisFlags = 16 | 32 | 1 | 4;
    s.settings.subperiods = 3;
    SetText(s.settings.axisTitle, "Amount");
    return chart;
}

struct NamedChart {
    const char* name;
    std::unique_ptr<CChart> (*make)();
};

} // namespace

TEST_F(ChartGolden, EveryKindAtTwoZoomsAndPrinted) {
    const NamedChart charts[] = {{"line", LineChart},     {"area", AreaChart},
                                 {"pie", PieChart},       {"scatter", ScatterChart},
                                 {"xy_scatter", XYChart}, {"mixed", MixedChart},
                                 {"axes_log", AxesChart}};
    for (const NamedChart& n : charts) {
        auto c = ContainerOf(Ready(n.make()));
        const std::string name = std::string("charts/") + n.name;
        EXPECT_TRUE(MatchesGolden(Paint(*c, 360, 240), name)) << name;
        EXPECT_TRUE(MatchesGolden(Paint(*c, 720, 480, 200), name + "_200")) << name;
        EXPECT_TRUE(MatchesGolden(Paint(*c, 360, 240, 100, true), name + "_printed")) << name;
    }
}

TEST_F(ChartGolden, AContainerOfFourWithCaptionsAndBorder) {
    auto c = ContainerOf(Ready(ColumnChart(1, 0, 0)));
    c->settings.columns = c->settings.rows = 2;
    c->settings.horzSpacing = c->settings.vertSpacing = 4;
    const NamedChart more[] = {{"pie", PieChart}, {"line", LineChart}, {"xy", XYChart}};
    for (int k = 0; k < 3; ++k) {
        c->slots[k + 1].kind = kObjectChart;
        c->slots[k + 1].chart = Ready(more[k].make());
    }
    c->settings.objectCount = 4;
    SetText(c->settings.titleText[0], "&cFour charts");
    SetText(c->settings.titleText[1], "&rcaption");
    c->settings.titleFont[0].font = c->settings.titleFont[1].font = SansFont(9);
    c->settings.border = {FORMAT_LINE_SOLID, 1, Rgb(0, 0, 128)};
    EXPECT_TRUE(MatchesGolden(Paint(*c, 640, 480), "charts/container_four"));
}

TEST_F(ChartGolden, TheLegendOnEachSide) {
    for (uint8_t code = 1; code <= 8; ++code) {
        auto chart = ColumnChart(1, 0, 0);
        chart->settings.legendCode = code;
        auto c = ContainerOf(std::move(chart));
        EXPECT_TRUE(MatchesGolden(Paint(*c, 300, 200), "charts/legend_" + std::to_string(code)))
            << int(code);
    }
}

} // namespace vl
