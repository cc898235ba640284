// The edits of the container properties window on its working copy, without the window.

#include "dialogs/chart/containeredit.h"
#include "platform/core/errorcode.h"

#include <cstring>
#include <gtest/gtest.h>

namespace vl {

namespace {

struct NewContainer {
    NewContainer() { InitContainerDefaults(c, nullptr, nullptr); }
    CContainer c;
};

SeriesSettings& AddSeries(CChart& chart, uint8_t role, const char* name = "") {
    const int i = AddChartSeries(chart);
    SeriesSettings& s = chart.series[i].settings;
    s.role = role;
    std::snprintf(s.name, sizeof s.name, "%s", name);
    return s;
}

} // namespace

TEST(ContainerEdit, ChartsGrowTheGridRowWhenNarrowerElseColumnAndStopAt255) {
    NewContainer n;
    ASSERT_EQ(n.c.settings.columns, 1);
    ASSERT_EQ(n.c.settings.rows, 1);
    const std::pair<int, int> grids[] = {{1, 1}, {2, 1}, {2, 2}, {2, 2}, {3, 2}, {3, 2}, {3, 3}};
    for (const auto& [columns, rows] : grids) {
        ASSERT_EQ(AddChartObject(n.c, kChart2D), 0);
        EXPECT_EQ(n.c.settings.columns, columns) << int(n.c.settings.objectCount);
        EXPECT_EQ(n.c.settings.rows, rows) << int(n.c.settings.objectCount);
    }
    EXPECT_EQ(ChartObjectLabel(n.c, 0), "2D Chart 1.");
    ASSERT_EQ(AddChartObject(n.c, kChartXY), 0);
    ASSERT_EQ(AddChartObject(n.c, kChart3D), 0);
    EXPECT_EQ(ChartObjectLabel(n.c, 7), "XY Chart 8.");
    EXPECT_EQ(ChartObjectLabel(n.c, 8), "3D Chart 9.");
    EXPECT_EQ(ChartObjectLabel(n.c, 9), "");
    while (n.c.settings.objectCount < 255) ASSERT_EQ(AddChartObject(n.c, kChart2D), 0);
    const ContainerSettings before = n.c.settings;
    EXPECT_EQ(AddChartObject(n.c, kChart2D), kErrorTooManyObjects);
    EXPECT_EQ(n.c.settings.objectCount, 255);
    EXPECT_EQ(n.c.settings.columns, before.columns);
    EXPECT_EQ(n.c.settings.rows, before.rows);
}

TEST(ContainerEdit, ObjectsMoveWithinTheListAndRemovalSelectsTheLastLeft) {
    NewContainer n;
    for (uint8_t t : {kChart2D, kChartXY, kChart3D}) ASSERT_EQ(AddChartObject(n.c, t), 0);
    const CChart* second = n.c.slots[1].chart.get();
    int slot = 0;
    EXPECT_FALSE(MoveChartObject(n.c, slot, false));
    EXPECT_EQ(slot, 0);
    slot = 2;
    EXPECT_FALSE(MoveChartObject(n.c, slot, true));
    slot = 1;
    EXPECT_TRUE(MoveChartObject(n.c, slot, false));
    EXPECT_EQ(slot, 0);
    EXPECT_EQ(n.c.slots[0].chart.get(), second);
    EXPECT_EQ(n.c.slots[1].chart->settings.type, kChart2D);
    EXPECT_EQ(RemoveChartObject(n.c, 0), 1);
    EXPECT_EQ(n.c.settings.objectCount, 2);
    EXPECT_EQ(n.c.slots[0].chart->settings.type, kChart2D);
    EXPECT_EQ(n.c.slots[1].chart->settings.type, kChart3D);
    EXPECT_EQ(n.c.slots[2].chart, nullptr);
    EXPECT_EQ(n.c.slots[2].kind, 0);
    EXPECT_EQ(RemoveChartObject(n.c, 1), 0);
    EXPECT_EQ(RemoveChartObject(n.c, 0), -1);
    EXPECT_EQ(n.c.settings.objectCount, 0);
}

TEST(ContainerEdit, SeriesStopAt16AndRemovingTheLastSelectsTheNewLast) {
    CChart chart(kChartXY);
    for (int i = 0; i < 16; ++i) ASSERT_EQ(AddChartSeries(chart), i);
    EXPECT_EQ(AddChartSeries(chart), -1);
    EXPECT_EQ(chart.series[5].settings.kind, 6);
    EXPECT_EQ(chart.series[5].settings.symbol, 4);
    EXPECT_EQ(chart.series[5].settings.line.color, ChartPaletteColor(5));

    CChart three(kChart2D);
    AddSeries(three, 1, "a");
    AddSeries(three, 1, "b");
    AddSeries(three, 3, "c");
    EXPECT_EQ(RemoveChartSeries(three, 2), 1);
    EXPECT_EQ(three.settings.seriesCount, 2);
    EXPECT_EQ(three.series[2].settings.role, 0);
    EXPECT_EQ(RemoveChartSeries(three, 0), 0);
    EXPECT_STREQ(three.series[0].settings.name, "b");
    EXPECT_EQ(RemoveChartSeries(three, 0), -1);
}

TEST(ContainerEdit, ApplyChecksReportMixed3DViewsFirstThenXDomainsThenErrorBars) {
    NewContainer n;
    ASSERT_EQ(AddChartObject(n.c, kChartXY), 0);
    ASSERT_EQ(AddChartObject(n.c, kChart3D), 0);
    ASSERT_EQ(AddChartObject(n.c, kChart2D), 0);
    CChart& xy = *n.c.slots[0].chart;
    CChart& d3 = *n.c.slots[1].chart;
    CChart& d2 = *n.c.slots[2].chart;
    EXPECT_EQ(ContainerApplyProblem(n.c), 0);
    AddSeries(xy, 2, "Xs");
    std::strcpy(AddSeries(xy, 1, "y1").relatedX, "xS"); // the case does not count
    EXPECT_EQ(ContainerApplyProblem(n.c), 0);
    SeriesSettings& y2 = AddSeries(xy, 1, "y2");
    EXPECT_EQ(ContainerApplyProblem(n.c), 152);
    std::strcpy(y2.relatedX, "none");
    EXPECT_EQ(ContainerApplyProblem(n.c), 152);
    AddSeries(d3, 1);
    AddSeries(d3, 1).stacked = 1;
    EXPECT_EQ(ContainerApplyProblem(n.c), 155);
    d3.series[1].settings.stacked = 0;
    std::strcpy(y2.relatedX, "XS");
    EXPECT_EQ(ContainerApplyProblem(n.c), 0);
    std::strcpy(AddSeries(d2, 1).relatedSigma, "err");
    EXPECT_EQ(ContainerApplyProblem(n.c), 153);
    AddSeries(d2, 4, "ERR");
    EXPECT_EQ(ContainerApplyProblem(n.c), 0);
    std::strcpy(xy.series[0].settings.relatedSigma, "sigma"); // the X-series' own
    EXPECT_EQ(ContainerApplyProblem(n.c), 153);
}

// A renamed series takes the links that named it along, whatever their letter case, its
// own links aside; while another series still bears the old name, the links stay with it.
TEST(ContainerEdit, ARenamedSeriesTakesTheLinksThatNamedItAlong) {
    NewContainer n;
    ASSERT_EQ(AddChartObject(n.c, kChartXY), 0);
    CChart& chart = *n.c.slots[0].chart;
    AddSeries(chart, 2, "Month");
    AddSeries(chart, 4, "Err");
    SeriesSettings& a = AddSeries(chart, 1, "a");
    SeriesSettings& b = AddSeries(chart, 1, "b");
    std::strcpy(a.relatedX, "MONTH");
    std::strcpy(a.relatedSigma, "err");
    std::strcpy(b.relatedX, "Other");
    std::strcpy(chart.series[0].settings.relatedSigma, "Month"); // the renamed one's own
    auto rename = [&chart](int index, const char* to) {
        char old[kChartTextSize];
        std::memcpy(old, chart.series[index].settings.name, sizeof old);
        std::snprintf(chart.series[index].settings.name, kChartTextSize, "%s", to);
        CarrySeriesRename(chart, index, old);
    };
    rename(0, "Mon");
    EXPECT_STREQ(a.relatedX, "Mon");
    EXPECT_STREQ(b.relatedX, "Other");
    EXPECT_STREQ(chart.series[0].settings.relatedSigma, "Month");
    rename(1, "Sigma");
    EXPECT_STREQ(a.relatedSigma, "Sigma");
    EXPECT_STREQ(a.relatedX, "Mon");
    // Only the letter case changed: the links read the same series either way.
    rename(0, "MON");
    EXPECT_STREQ(a.relatedX, "Mon");
    // Two of the old name: the links keep it, the one left answers to it.
    std::strcpy(b.name, "Mon");
    rename(0, "Month");
    EXPECT_STREQ(a.relatedX, "Mon");
    // An unnamed series names nothing; an index out of range changes nothing.
    chart.series[3].settings.name[0] = 0;
    CarrySeriesRename(chart, 3, "");
    CarrySeriesRename(chart, 9, "Mon");
    CarrySeriesRename(chart, -1, "Mon");
    EXPECT_STREQ(a.relatedX, "Mon");
    EXPECT_STREQ(a.relatedSigma, "Sigma");
}

TEST(ContainerEdit, PathsAreQuotedWhenANameHoldsOtherCharactersOrStartsWithADigit) {
    const std::pair<const char*, bool> cases[] = {
        {"", false},          {"\\Sheet1", false},     {"\\Folder\\Sheet_2", false},
        {"\\My Sheet", true}, {"\\1Sheet", true},      {"\\Folder\\2nd", true},
        {"\\a-b", true},      {"\\Sheet1\\x9", false},
    };
    for (const auto& [path, quoted] : cases) EXPECT_EQ(NameNeedsQuotes(path), quoted) << path;
    EXPECT_EQ(QualifiedReference("\\Sheet1", "A1:B5"), "\\Sheet1!A1:B5");
    EXPECT_EQ(QualifiedReference("\\My Sheet", "A1"), "\"\\My Sheet\"!A1");
}

TEST(ContainerEdit, SeriesTypesByPositionAndRole) {
    EXPECT_STREQ(SeriesTypeLabel(kChart2D, 1), "Categories");
    EXPECT_STREQ(SeriesTypeLabel(kChartXY, 0), "Y-series");
    EXPECT_STREQ(SeriesTypeLabel(kChartXY, 1), "X-series");
    EXPECT_STREQ(SeriesTypeLabel(kChart3D, 2), "Error bars");
    EXPECT_EQ(RoleOfPosition(kChartXY, 1), 2);
    EXPECT_EQ(RoleOfPosition(kChart3D, 1), 3);
    EXPECT_EQ(RoleOfPosition(kChart2D, 2), 4);
    EXPECT_EQ(RoleOfPosition(kChart2D, 0), 1);
    const int positions[] = {-1, 0, 1, 1, 2, -1};
    for (int role = 0; role < 6; ++role) EXPECT_EQ(PositionOfRole(uint8_t(role)), positions[role]);
}

} // namespace vl
