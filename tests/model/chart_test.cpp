#include "model/chart.h"
#include "model/chartrecords.h"
#include "modeltestutil.h"

namespace vl {

using namespace modeltest;

// A reset of the settings restores their defaults but keeps the chart's type, so every
// series is reset to the kind of that type.
TEST(Chart, SeriesFollowTheChartTypeAndAResetKeepsIt) {
    for (auto [type, kind] : {std::pair{kChart2D, 1}, std::pair{kChart3D, 7},
                              std::pair{kChartXY, 6}, std::pair{ChartType(0), 0}}) {
        auto chart = NewBlockObject<CChart>(type);
        chart->settings.viewWidth = chart->settings.pieSplit = 3;
        chart->viewMatrix[1] = 5;
        InitChartSettings(*chart);
        EXPECT_EQ(std::tuple(chart->settings.type, chart->settings.viewWidth,
                             chart->settings.pieSplit, chart->viewMatrix[1]),
                  std::tuple(type, 100, 15, 0));
        for (const CChartSeries& s : chart->series) EXPECT_EQ(s.settings.kind, kind) << int(type);
    }
    auto chart = NewBlockObject<CChart>(kChart2D);
    InitSeries(*chart, 16); // past the array: ignored
    const SeriesSettings& s2 = chart->series[2].settings;
    EXPECT_EQ(std::tuple(s2.line.color, s2.fill.patternColor, s2.fill.backgroundColor),
              std::tuple(ChartPaletteColor(2), ChartPaletteColor(2), GetSystemColor(kColorWindow)));
    for (int k = 0; k < 16; ++k) EXPECT_EQ(s2.sliceFills[k].patternColor, ChartPaletteColor(k));
}

TEST(Chart, ClearThenDestroyFreesEverythingOnce) {
    const long before = LiveBlockCount();
    {
        auto chart = NewBlockObject<CChart>(kChart2D);
        chart->settings.seriesCount = 2;
        chart->series[0].settings.role = chart->series[1].settings.role = 1;
        chart->series[1].settings.rangeFlags = kFromValueGiven | kStackLimitsFixed;
        chart->series[3].valueFlags = 5;
        uint8_t item[52] = {};
        for (int i = 0; i < 600; ++i) ASSERT_TRUE(chart->series[0].points.AppendItem16(item));
        ASSERT_TRUE(chart->series[3].points.AppendItem16(item));
        ASSERT_TRUE(chart->series[5].labels.AppendItem44(item)); // a series not in use
        ASSERT_TRUE(chart->vertices.AppendItem24(item));
        ASSERT_TRUE(chart->faces.AppendItem52(item));
        ResetSeriesData(*chart, 3); // empties the data, keeps the page
        EXPECT_EQ(std::tuple(chart->series[3].points.ItemCount(), chart->series[3].valueFlags,
                             chart->series[3].points.FreePageCount()),
                  std::tuple(0u, 0, 1u));
        chart->flags = kChartScalesValid | kChartLaidOut | 4;
        ClearChart(*chart);
        // Only the chart itself is left.
        EXPECT_EQ(std::tuple(LiveBlockCount(), chart->flags, chart->series[1].settings.rangeFlags),
                  std::tuple(before + 1, 4, kFromValueGiven));
        ASSERT_TRUE(chart->series[0].points.AppendItem16(item)); // still usable
    }
    EXPECT_EQ(LiveBlockCount(), before);
    AllocFailGuard fail(0);
    EXPECT_EQ(NewBlockObject<CChart>(kChart2D), nullptr);
}

// A clone holds its own copies of everything: settings, series with their points and
// labels, the scene and the layout state; its axis bands point at its own series.
TEST(Chart, CloneIsDeepAndAllOrNothing) {
    auto chart = NewBlockObject<CChart>(kChart3D);
    chart->flags = 3;
    chart->error = 27;
    chart->settings.perspective = 7;
    chart->viewMatrix[6] = 0.5f;
    chart->series[4].settings.role = 1;
    chart->series[4].maximum = 9.5;
    for (int i = 0; i < 600; ++i) {
        const ChartPoint point{i * 1.5, float(i) / 600, kPointPositive};
        ASSERT_TRUE(chart->series[4].points.AppendItem16(&point));
    }
    ChartLabel label;
    std::strcpy(label.text, "north");
    label.flags = 0;
    ASSERT_TRUE(chart->series[4].labels.AppendItem44(&label));
    const ChartVertex vertex{1, 2, 3, 4, 5, 6};
    ASSERT_TRUE(chart->vertices.AppendItem24(&vertex));
    ChartFace face;
    face.color = 0x123456;
    ASSERT_TRUE(chart->faces.AppendItem52(&face));
    chart->walls[kWallFloor] = {1, 1, 9, 2, {0, 1, 0}};
    chart->axes[0].series = &chart->series[4];
    chart->axes[0].extent = 12;
    chart->axisCount = 1;
    chart->gridLines[2] = {kPlaneFloor, &chart->series[4], 17, 3, 5, {}};
    chart->gridLines[2].userFlags[15] = 1;
    chart->gridLineCount = 3;
    chart->margins[3] = -4;
    auto copy = chart->Clone();
    ASSERT_TRUE(copy);
    EXPECT_EQ(std::tuple(copy->flags, copy->error, copy->settings.perspective, copy->viewMatrix[6],
                         copy->series[4].maximum),
              std::tuple(3, 27, 7, 0.5f, 9.5));
    EXPECT_EQ(
        Written(WriteSeriesSettingsRecord, copy->series[4].settings, kSeriesSettingsRecordSize),
        Written(WriteSeriesSettingsRecord, chart->series[4].settings, kSeriesSettingsRecordSize));
    ASSERT_EQ(copy->series[4].points.ItemCount(), 600u);
    ChartPoint p;
    std::memcpy(&p, copy->series[4].points.GetItem16(599), sizeof p);
    EXPECT_EQ(std::tuple(p.value, p.flags), std::tuple(898.5, uint8_t(kPointPositive)));
    EXPECT_STREQ(static_cast<const ChartLabel*>(copy->series[4].labels.GetItem44(0))->text,
                 "north");
    EXPECT_EQ(std::memcmp(copy->vertices.GetItem24(0), &vertex, sizeof vertex), 0);
    EXPECT_EQ(std::tuple(static_cast<const ChartFace*>(copy->faces.GetItem52(0))->color,
                         copy->walls[kWallFloor].firstVertex, copy->axes[0].series, copy->axisCount,
                         copy->axes[0].extent, copy->margins[3]),
              std::tuple(0x123456u, 9u, &copy->series[4], 1, 12u, -4));
    const GridLineSet& grid = copy->gridLines[2];
    EXPECT_EQ(std::tuple(copy->gridLineCount, grid.plane, grid.series, grid.firstVertex,
                         grid.majorCount, grid.minorCount, grid.userFlags[15], grid.userFlags[0]),
              std::tuple(3, kPlaneFloor, &copy->series[4], 17u, 3u, 5u, 1, 0));
    EXPECT_NE(copy->series[4].points.FirstPage(), chart->series[4].points.FirstPage());
    const long live = LiveBlockCount();
    for (long budget = 0; budget < 4; ++budget) {
        AllocFailGuard fail(budget);
        EXPECT_EQ(chart->Clone(), nullptr);
        EXPECT_EQ(LiveBlockCount(), live);
    }
}

TEST(ChartRecords, SeriesRecordOffsetsAndTheViewMatrix) {
    auto chart = NewBlockObject<CChart>(kChart2D);
    InitSeries(*chart, 2); // a new chart's series were reset before its type was set
    SeriesSettings& s = chart->series[2].settings;
    s.rangeFlags = kFromValueGiven | kToValueGiven;
    s.fromValue = -1.5;
    s.toValue = 2.5;
    std::memset(s.dataArray, 'A', 1024);
    EXPECT_TRUE(WritesDump(s, kSeriesSettingsRecordSize, WriteSeriesSettingsRecord,
                           ReadSeriesSettingsRecord, "series-settings"));
    float m[16], mback[16];
    for (int i = 0; i < 16; ++i) m[i] = float(i) * 0.25f - 1;
    uint8_t mb[kViewMatrixRecordSize];
    WriteViewMatrixRecord(mb, m);
    EXPECT_EQ(LoadF32(mb + 4 * 5), m[5]);
    ReadViewMatrixRecord(mb, mback);
    EXPECT_EQ(0, std::memcmp(m, mback, sizeof m));
}

// A new chart's sixteen series carry the kind of its type from the start, before any reset.
TEST(Chart, NewChartSeriesCarryTheKindOfItsType) {
    for (auto [type, kind] : {std::pair{kChart2D, 1}, std::pair{kChart3D, 7},
                              std::pair{kChartXY, 6}, std::pair{ChartType(0), 0}}) {
        auto chart = NewBlockObject<CChart>(type);
        EXPECT_EQ(chart->settings.type, type);
        for (const CChartSeries& s : chart->series) EXPECT_EQ(s.settings.kind, kind) << int(type);
    }
}

} // namespace vl
