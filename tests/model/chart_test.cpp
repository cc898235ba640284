#include "model/chart.h"
#include "model/chartrecords.h"
#include "platform/core/alloc.h"
#include "platform/core/bytes.h"

#include <cstring>
#include <gtest/gtest.h>
#include <vector>

namespace vl {

TEST(Chart, ConstructorDefaults) {
    auto chart = NewBlockObject<CChart>(kChart3D);
    ASSERT_TRUE(chart);
    const ChartSettings& s = chart->settings;
    EXPECT_EQ(s.type, kChart3D);
    const uint8_t options[7] = {s.viewWidth,   s.viewHeight,     s.barSize, s.stackBarSize,
                                s.lineWidth3D, s.pieThickness3D, s.pieSplit};
    const uint8_t expected[7] = {100, 100, 70, 70, 70, 25, 15};
    EXPECT_EQ(0, std::memcmp(options, expected, 7));
    EXPECT_EQ(s.lightDirectionX, 80);
    EXPECT_EQ(s.lightDirectionY, 100);
    EXPECT_EQ(s.perspective, 40);
    EXPECT_EQ(s.seriesCount, 0);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(chart->viewMatrix[i], (i % 5 == 0) ? 1.0f : 0.0f);
    EXPECT_EQ(chart->light[2], 1.0f);
    EXPECT_EQ(chart->gap, 4);
    EXPECT_EQ(chart->zoomX, 100);
    EXPECT_EQ(chart->zoomY, 100);
    // The series were reset while the type was still 0.
    for (const CChartSeries& series : chart->series) EXPECT_EQ(series.settings.kind, 0);
}

TEST(Chart, SeriesKindFollowsChartType) {
    struct Case {
        uint8_t type;
        uint8_t kind;
    };
    for (Case c : {Case{kChart2D, 1}, Case{kChart3D, 7}, Case{kChartXY, 6}, Case{0, 0}}) {
        auto chart = NewBlockObject<CChart>(c.type);
        InitSeries(*chart, 2);
        EXPECT_EQ(chart->series[2].settings.kind, c.kind) << int(c.type);
    }
}

TEST(Chart, SeriesDefaultsTakeTheirPaletteEntry) {
    auto chart = NewBlockObject<CChart>(kChart2D);
    for (uint16_t i = 0; i < kChartSeries; ++i) InitSeries(*chart, i);
    InitSeries(*chart, 16); // past the array: ignored
    const SeriesSettings& s2 = chart->series[2].settings;
    EXPECT_EQ(s2.line.color, 0x0000FFu);
    EXPECT_EQ(s2.fill.patternColor, 0x0000FFu);
    EXPECT_EQ(s2.fill.backgroundColor, GetSystemColor(kColorWindow));
    EXPECT_EQ(s2.visible, 1);
    EXPECT_EQ(s2.symbol, 4);
    EXPECT_EQ(s2.periods, 1);
    EXPECT_EQ(s2.subperiods, 1);
    EXPECT_EQ(s2.divisor, 1u);
    EXPECT_EQ(s2.axisFlags, 0x72);
    EXPECT_EQ(chart->series[0].settings.line.color, 0x00FF00u);  // green
    EXPECT_EQ(chart->series[15].settings.fill.patternColor, 0u); // black
    for (int k = 0; k < 16; ++k) EXPECT_EQ(s2.sliceFills[k].patternColor, ChartPaletteColor(k));
}

TEST(Chart, ClearThenDestroyFreesEverythingOnce) {
    const long before = LiveBlockCount();
    {
        auto chart = NewBlockObject<CChart>(kChart2D);
        chart->settings.seriesCount = 2;
        chart->series[0].settings.role = 1;
        chart->series[1].settings.role = 1;
        chart->series[1].settings.rangeFlags = kFromValueGiven | kStackLimitsFixed;
        uint8_t item[52] = {};
        for (int i = 0; i < 600; ++i) ASSERT_TRUE(chart->series[0].points.AppendItem16(item));
        ASSERT_TRUE(chart->series[5].labels.AppendItem44(item)); // a series not in use
        ASSERT_TRUE(chart->vertices.AppendItem24(item));
        ASSERT_TRUE(chart->faces.AppendItem52(item));
        chart->flags = kChartScalesValid | kChartLaidOut | 4;
        ClearChart(*chart);
        EXPECT_EQ(LiveBlockCount(), before + 1); // only the chart itself
        EXPECT_EQ(chart->flags, 4);
        EXPECT_EQ(chart->series[1].settings.rangeFlags, kFromValueGiven);
        EXPECT_EQ(chart->series[0].points.ItemCount(), 0u);
        // Still usable after the teardown.
        ASSERT_TRUE(chart->series[0].points.AppendItem16(item));
        EXPECT_NE(chart->series[0].points.GetItem16(0), nullptr);
    }
    EXPECT_EQ(LiveBlockCount(), before);
}

TEST(Chart, ResetSeriesDataKeepsPagesForReuse) {
    auto chart = NewBlockObject<CChart>(kChart2D);
    uint8_t item[16] = {};
    ASSERT_TRUE(chart->series[3].points.AppendItem16(item));
    chart->series[3].valueFlags = 5;
    chart->series[3].maximum = 9;
    ResetSeriesData(*chart, 3);
    EXPECT_EQ(chart->series[3].points.ItemCount(), 0u);
    EXPECT_EQ(chart->series[3].points.FreePageCount(), 1u);
    EXPECT_EQ(chart->series[3].valueFlags, 0);
    EXPECT_EQ(chart->series[3].maximum, 0);
}

TEST(Chart, FailedAllocationGivesNoChart) {
    SetAllocFailAfter(0);
    auto chart = NewBlockObject<CChart>(kChart2D);
    SetAllocFailAfter(-1);
    EXPECT_EQ(chart, nullptr);
}

TEST(ChartRecords, SettingsRecordOfANewChart) {
    auto chart = NewBlockObject<CChart>(kChartXY);
    std::vector<uint8_t> bytes(kChartSettingsRecordSize, 0xEE);
    WriteChartSettingsRecord(bytes.data(), chart->settings);
    const COLORREF text = GetSystemColor(kColorWindowText);
    const COLORREF window = GetSystemColor(kColorWindow);
    EXPECT_EQ(bytes[0], kChartXY);
    const uint8_t options[7] = {100, 100, 70, 70, 70, 25, 15};
    EXPECT_EQ(0, std::memcmp(bytes.data() + 1, options, 7));
    EXPECT_EQ(LoadU32(&bytes[144]), text);
    EXPECT_EQ(LoadU32(&bytes[412]), text);
    EXPECT_EQ(LoadU16(&bytes[694]), 80);
    EXPECT_EQ(LoadU16(&bytes[696]), 100);
    EXPECT_EQ(LoadU16(&bytes[698]), 40);
    EXPECT_EQ(bytes[700] + bytes[701] + bytes[702], 3);
    EXPECT_EQ(bytes[704], 1);
    EXPECT_EQ(LoadU32(&bytes[708]), window);
    EXPECT_EQ(LoadU32(&bytes[716]), window);
    EXPECT_EQ(bytes[720], 1);
    EXPECT_EQ(LoadU32(&bytes[724]), text);
    EXPECT_EQ(bytes[728], 0);
    EXPECT_EQ(bytes[545] | bytes[546] | bytes[547] | bytes[703] | bytes[729], 0);

    ChartSettings back;
    ReadChartSettingsRecord(bytes.data(), back);
    std::vector<uint8_t> again(kChartSettingsRecordSize);
    WriteChartSettingsRecord(again.data(), back);
    EXPECT_EQ(bytes, again);
}

TEST(ChartRecords, SeriesRecordOffsets) {
    auto chart = NewBlockObject<CChart>(kChart2D);
    InitSeries(*chart, 2);
    SeriesSettings& s = chart->series[2].settings;
    s.rangeFlags = kFromValueGiven | kToValueGiven;
    s.fromValue = -1.5;
    s.toValue = 2.5;
    std::memset(s.dataArray, 'A', 1024);
    std::vector<uint8_t> bytes(kSeriesSettingsRecordSize);
    WriteSeriesSettingsRecord(bytes.data(), s);
    EXPECT_EQ(LoadU16(&bytes[2]), 6);
    EXPECT_EQ(LoadF64(&bytes[1416]), -1.5);
    EXPECT_EQ(LoadF64(&bytes[1432]), 2.5);
    EXPECT_EQ(bytes[389 + 1023], 'A');
    EXPECT_EQ(bytes[1413], 0); // the data array's NUL, last byte of its field
    EXPECT_EQ(LoadU16(&bytes[1448]), 1);
    EXPECT_EQ(LoadU16(&bytes[1450]), 1);
    EXPECT_EQ(LoadU32(&bytes[1452]), 1u);
    EXPECT_EQ(bytes[2520], 1);
    EXPECT_EQ(bytes[2523], 1);
    EXPECT_EQ(bytes[2668], 1);
    EXPECT_EQ(bytes[2669], 1);
    EXPECT_EQ(LoadU32(&bytes[2672]), 0x0000FFu);
    EXPECT_EQ(LoadU32(&bytes[2680]), 0x0000FFu);
    EXPECT_EQ(bytes[2692], 4);
    EXPECT_EQ(bytes[2704], 16);
    EXPECT_EQ(LoadU32(&bytes[2708 + 16 * 3 + 4]), ChartPaletteColor(3));
    EXPECT_EQ(LoadU16(&bytes[2966]), 0x72);
    EXPECT_EQ(bytes[3248], 1);
    EXPECT_EQ(bytes[3268 + 8 * 15], 1);

    SeriesSettings back;
    ReadSeriesSettingsRecord(bytes.data(), back);
    std::vector<uint8_t> again(kSeriesSettingsRecordSize);
    WriteSeriesSettingsRecord(again.data(), back);
    EXPECT_EQ(bytes, again);
}

TEST(ChartRecords, ViewMatrixRoundTrip) {
    float m[16], back[16];
    for (int i = 0; i < 16; ++i) m[i] = float(i) * 0.25f - 1;
    uint8_t bytes[kViewMatrixRecordSize];
    WriteViewMatrixRecord(bytes, m);
    EXPECT_EQ(LoadF32(bytes + 4 * 5), m[5]);
    ReadViewMatrixRecord(bytes, back);
    EXPECT_EQ(0, std::memcmp(m, back, sizeof m));
}

} // namespace vl
