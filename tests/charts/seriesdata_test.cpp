#include "chartcontainer.h"
#include "charts/axislabel.h"
#include "charts/seriesdata.h"
#include "charttestutil.h"
#include "formula/recalc.h"
#include "formula/workbookcontext.h"
#include "model/container.h"
#include "tests/formula/evaltestutil.h"

#include <cstring>
#include <gtest/gtest.h>
#include <string>

namespace vl {
namespace {

using charttest::ChartFixture;
using charttest::kEmpty;

// A workbook whose first worksheet holds one container of `charts` 2D charts.
struct ChartBook : test::TestBook {
    CContainer* container = nullptr;

    explicit ChartBook(int charts) {
        Sheet();
        auto c = charttest::ChartContainer(charts);
        container = c.get();
        LinkContainer(Sheet(), std::move(c));
    }
    CChart& Chart(int k) { return *container->slots[k].chart; }
    void SetSeries(int k, uint16_t n, const char* formula, uint8_t role = 1) {
        SeriesSettings& s = Chart(k).series[n].settings;
        std::strcpy(s.dataArray, formula);
        s.role = role;
        if (Chart(k).settings.seriesCount <= n) Chart(k).settings.seriesCount = uint8_t(n + 1);
    }
    bool Refresh() { return RefreshContainerCharts(Book(), *Book().tree.first, *container); }
};

TEST(ChartData, ValueSummaries) {
    struct Case {
        const char* name;
        std::vector<double> values;
        uint8_t scale;
        uint16_t rangeFlags;
        double from;
        uint8_t flags;
        double minimum, maximum;
    } cases[] = {
        {"zero five ten", {0, 5, 10}, 0, 0, 0, 1 | 4 | 32, 5, 10},
        {"negatives first", {-2, 3, -8, 0}, 0, 0, 0, 1 | 2 | 4, -8, 3},
        {"all below the first", {9, 4}, 0, 0, 0, 1 | 64, 4, 9},
        {"from value", {-1, 0, 2}, 0, kFromValueGiven, 0, 1 | 4 | 8 | 32, 2, 2},
        {"from value minus one", {-1, -2, 2}, 0, kFromValueGiven, -1, 1 | 2 | 8 | 32, -1, 2},
        {"log axis", {0, -3, 4, 2}, 3, 0, 0, 1 | 64, 2, 4},
        {"no values", {kEmpty, kEmpty}, 0, 0, 0, 32, 0, 0},
        {"denormal refused", {1e-310, 6}, 0, 0, 0, 1 | 32, 6, 6},
    };
    for (const Case& c : cases) {
        ChartFixture f;
        SeriesSettings& s = f.chart->series[0].settings;
        s.scale = c.scale, s.rangeFlags = c.rangeFlags, s.fromValue = c.from;
        const CChartSeries& r = f.Series(0, c.values);
        EXPECT_EQ(std::tuple(int(r.valueFlags), r.minimum, r.maximum),
                  std::tuple(int(c.flags), c.minimum, c.maximum))
            << c.name;
        EXPECT_EQ(r.points.ItemCount(), c.values.size()) << c.name;
    }
    // Zero and negatives on a log axis stay empty points; below FromValue is exactly flag 8.
    ChartFixture f;
    f.chart->series[0].settings.scale = 1;
    f.Series(0, {0, -3, 4});
    EXPECT_EQ(std::tuple(f.Point(0, 0).flags, f.Point(0, 1).flags, f.Point(0, 2).flags),
              std::tuple(kPointNoValue, kPointNoValue, 0));
    ChartFixture g;
    g.chart->series[0].settings.rangeFlags = kFromValueGiven;
    g.Series(0, {-1, 1});
    EXPECT_EQ(std::tuple(g.Point(0, 0).flags, g.Point(0, 0).value),
              std::tuple(kPointOutside, -1.0));
}

TEST(ChartData, RefreshStoresPointsAndLabels) {
    ChartBook book(1);
    book.Number("A1", 0), book.Number("A2", 5), book.Number("A3", 10);
    book.Text("B1", "north"), book.Number("B3", 2.5);
    book.Text("C1", std::string(50, 'x'));
    book.SetSeries(0, 0, "=R1C1:R3C1");
    book.SetSeries(0, 1, "=R1C2:R3C2", 3);
    book.SetSeries(0, 2, "R1C3", 3); // a single cell: no array
    book.SetSeries(0, 2, "", 1);     // an empty formula: one empty point
    book.SetSeries(0, 3, "R1C3:R1C4", 3);
    ASSERT_TRUE(book.Refresh());
    CChart& chart = book.Chart(0);
    EXPECT_EQ(std::tuple(chart.error, chart.flags & kChartScalesValid), std::tuple(0, 1));
    const CChartSeries& values = chart.series[0];
    EXPECT_EQ(values.points.ItemCount(), 3u);
    const CChartSeries& categories = chart.series[1];
    std::string text;
    ASSERT_EQ(categories.labels.ItemCount(), 3u);
    EXPECT_EQ(std::tuple(categories.settings.periods, categories.settings.divisor),
              std::tuple(3, 1));
    for (auto [k, expected] : {std::pair(0u, "north"), std::pair(1u, "2"), std::pair(2u, "2.5")}) {
        EXPECT_TRUE(FormatAxisLabel(k, categories, text));
        EXPECT_EQ(text, expected) << k;
    }
    EXPECT_FALSE(FormatAxisLabel(3, categories, text));
    const CChartSeries& empty = chart.series[2];
    ASSERT_EQ(empty.points.ItemCount(), 1u);
    EXPECT_EQ(
        static_cast<const ChartPoint*>(const_cast<CPagedList&>(empty.points).GetItem16(0))->flags,
        kPointNoValue);
    const auto* label = static_cast<ChartLabel*>(chart.series[3].labels.GetItem44(0));
    EXPECT_EQ(std::string(label->text), std::string(42, 'x'));
}

TEST(ChartData, CategoriesOverManyCellsGetADivisor) {
    ChartFixture f;
    f.chart->series[0].settings.role = 3;
    f.chart->settings.seriesCount = 1;
    struct Case {
        uint32_t rows;
        uint32_t before;
        uint32_t divisor;
        uint16_t ticks;
    } cases[] = {{65534, 1, 1, 65534},
                 {65535, 1, 1000, 65},
                 {100000, 1, 1000, 100},
                 {100000, 0, 1000, 100},
                 {100000, 70, 70, 1428},
                 // Fewer cells than before: the divisor comes back down with the count.
                 {10, 1000, 1, 10},
                 {100000, 1000000, 1000, 100},
                 {65534, 1000, 1, 65534},
                 {65535, 1000, 1000, 65},
                 {10, 70, 1, 10},
                 {70, 70, 70, 1}};
    for (const Case& c : cases) {
        f.chart->series[0].settings.divisor = c.before;
        ResetSeriesData(*f.chart, 0);
        ASSERT_TRUE(CollectSeriesPoints(*f.chart, 0, nullptr, c.rows, 1));
        EXPECT_EQ(
            std::tuple(f.chart->series[0].settings.divisor, f.chart->series[0].settings.periods),
            std::tuple(c.divisor, c.ticks))
            << c.rows << " " << c.before;
    }
}

TEST(ChartData, CategoryLabelsTakeTheMiddleOfTheirPeriod) {
    ChartFixture f;
    f.chart->series[0].settings.divisor = 3;
    f.Series(0, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}, 3);
    const CChartSeries& s = f.chart->series[0];
    EXPECT_EQ(s.settings.periods, 4);
    std::string text;
    for (auto [k, expected] :
         {std::pair(0u, "2"), std::pair(1u, "5"), std::pair(2u, "8"), std::pair(3u, "11")}) {
        EXPECT_TRUE(FormatAxisLabel(k, s, text));
        EXPECT_EQ(text, expected) << k;
    }
    EXPECT_FALSE(FormatAxisLabel(4, s, text));
}

TEST(ChartData, FailuresLeaveNoDerivedData) {
    struct Case {
        const char* formula;
        ErrorCode error;
    } cases[] = {
        {"R1C1", kErrorChartArray},          // a single cell
        {"1/0", kErrorChartArray},           // an error
        {"#MEMORY!", kErrorWorksheetMemory}, //
        {"R1C1:", kErrorChartArray},         // malformed
    };
    for (const Case& c : cases) {
        ChartBook book(3);
        book.Number("A1", 1), book.Number("A2", 2);
        for (int k = 0; k < 3; ++k) book.SetSeries(k, 0, "R1C1:R2C1");
        ASSERT_TRUE(book.Refresh());
        CEvalContext& ctx = *WorkbookEvalContext(book.Book());
        const uint32_t freeBefore = ctx.scratch.cells.FreePageCount();
        book.SetSeries(1, 0, c.formula);
        book.SetSeries(1, 1, "R1C1:R2C1");
        EXPECT_FALSE(book.Refresh()) << c.formula;
        EXPECT_EQ(book.Book().error, c.error) << c.formula;
        CChart& failed = book.Chart(1);
        EXPECT_EQ(std::tuple(failed.error, failed.flags & 3, failed.series[0].points.ItemCount(),
                             failed.series[1].points.ItemCount(), failed.series[1].valueFlags,
                             failed.series[1].scaled),
                  std::tuple(c.error, 0, 0u, 0u, 0, 0))
            << c.formula;
        for (int k : {0, 2})
            EXPECT_EQ(std::tuple(book.Chart(k).error, book.Chart(k).flags & 1,
                                 book.Chart(k).series[0].points.ItemCount()),
                      std::tuple(0, 1, 2u));
        // Every page the evaluations took is back on the free-page list: refreshing again
        // takes them from there and gives them back, and nothing is left on the array stack.
        const uint32_t freeAfter = ctx.scratch.cells.FreePageCount();
        EXPECT_GE(freeAfter, freeBefore) << c.formula;
        EXPECT_FALSE(book.Refresh());
        EXPECT_EQ(ctx.scratch.cells.FreePageCount(), freeAfter) << c.formula;
        EXPECT_EQ(ctx.scratch.arrayCount, 0) << c.formula;
    }
}

TEST(ChartData, TheInstalledRefreshRunsAfterARecalculation) {
    ChartBook book(1);
    book.Number("A1", 3), book.Formula("A2", "=A1*2");
    book.SetSeries(0, 0, "R1C1:R2C1");
    InstallChartRefresh();
    EXPECT_TRUE(book.Recalc());
    SetChartRefresh(nullptr);
    const CChartSeries& s = book.Chart(0).series[0];
    EXPECT_EQ(std::tuple(s.points.ItemCount(), s.scaled), std::tuple(2u, 1));
    EXPECT_EQ(static_cast<const ChartPoint*>(const_cast<CPagedList&>(s.points).GetItem16(1))->value,
              6.0);
}

} // namespace
} // namespace vl
