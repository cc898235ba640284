// The conversions of the version-6 records: fonts, styles and charts.

#include "files/v6records.h"
#include "model/container.h"
#include "model/workbook.h"
#include "platform/core/bytes.h"
#include "v6fixtures.h"

#include <climits>
#include <gtest/gtest.h>

namespace vl {

using namespace v6test;

namespace {

FontRecord Convert(const V6LogFont& f) {
    uint8_t bytes[60];
    PutLogFont(bytes, f);
    FontRecord out;
    LogFontToFontRecord(out, bytes);
    return out;
}

StyleRecord Convert(const CWorkbook& book, const V6Style& s) {
    StyleRecord out;
    ConvertV6StyleRecord(book, V6StyleBytes(s).data(), out);
    return out;
}

struct ConvertedChart {
    std::unique_ptr<CContainer> container = NewBlockObject<CContainer>();
    std::unique_ptr<CChart> chart = NewBlockObject<CChart>(uint8_t(0));
    bool ok = false;
};

ConvertedChart Convert(const V6Chart& c) {
    ConvertedChart out;
    InitContainerDefaults(*out.container, nullptr, nullptr);
    out.ok = ConvertV6ChartRecord(*out.container, *out.chart, ChartRecord(c).data());
    return out;
}

} // namespace

TEST(V6Records, MulDivRoundsHalfAwayFromZero) {
    struct Case {
        int32_t a, b, c, expected;
    } cases[] = {
        {-13, 72, 96, -10},   {13, 72, 96, 10}, {2, 1, 4, 1},  {-2, 1, 4, -1},
        {1, 1, 4, 0},         {5, 72, -96, -4}, {7, 3, 0, -1}, {INT32_MIN, 72, 96, -1610612736},
        {INT32_MAX, 2, 1, -1}};
    for (const Case& c : cases) EXPECT_EQ(MulDiv(c.a, c.b, c.c), c.expected) << c.a << "," << c.c;
}

TEST(V6Records, LogFontTakesEachFieldByItsTable) {
    struct Case {
        int32_t height, weight;
        uint8_t charSet, pitch;
        uint8_t size, fontWeight, fontCharSet, family;
    } cases[] = {
        {-13, 100, 0, 16, 10, 1, 1, 3},   {16, 700, 2, 32, 12, 2, 12, 1},
        {-1, 900, 77, 48, 1, 3, 8, 2},    {0, 400, 128, 64, 0, 0, 11, 4},
        {-72, 0, 129, 80, 54, 0, 7, 5},   {8, 701, 134, 34, 6, 0, 5, 0},
        {-339, 0, 136, 0, 254, 0, 3, 0},  {-338, 0, 161, 1, 254, 0, 6, 0},
        {-337, 0, 162, 0, 253, 0, 13, 0}, {INT32_MIN, 0, 177, 0, 254, 0, 14, 0},
        {1, 0, 178, 0, 1, 0, 15, 0},      {0, 0, 186, 0, 0, 0, 2, 0},
        {0, 0, 204, 0, 0, 0, 10, 0},      {0, 0, 222, 0, 0, 0, 16, 0},
        {0, 0, 238, 0, 0, 0, 4, 0},       {0, 0, 255, 0, 0, 0, 9, 0},
        {0, 0, 1, 0, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        const V6LogFont f{c.height, c.weight, 0, 0, 0, c.charSet, c.pitch};
        const FontRecord r = Convert(f);
        EXPECT_EQ(Of(r.size, r.weight, r.charSet, r.family),
                  Of(c.size, c.fontWeight, c.fontCharSet, c.family))
            << c.height << " " << c.weight << " " << int(c.charSet) << " " << int(c.pitch);
    }
    // The face field holds 32 bytes and no terminator.
    const FontRecord r = Convert({0, 0, 2, 255, 1, 0, 0, std::string(40, 'F')});
    EXPECT_EQ(r.italic + r.underline + r.strikeout, 3);
    EXPECT_EQ(std::string(r.faceName), std::string(32, 'F'));
}

TEST(V6Records, StyleFlagsPickTheFirstMatchingRule) {
    NotationScope notation(',', ';', true);
    auto book = CreateWorkbook();
    book->styles.styles[0].horizontalIndent = 9; // the starting point shows through
    struct Case {
        V6Style in;
        uint8_t kind, decimals, horizontal, vertical, sides, line, pattern;
        uint16_t list;
    } cases[] = {
        {{0, 7, 0, 0x010203, 0, 0, 0, 0}, 0, 0, 0, 0, 0, 0, 0, 0},
        {{1 | 4, 0, 0, 0, 0, 0, 9, 0}, STD_STYLE_CURRENCY, 2, 0, 0, 0, 0, 0, 0},
        {{1 | 8192, 0, 0, 0, 0, 0, 9, 0}, STD_STYLE_CURRENCY, 9, 0, 0, 0, 0, 0, 0},
        {{4, 0, 0, 0, 0, 0, 9, 0}, STD_STYLE_PERCENTAGE, 0, 0, 0, 0, 0, 0, 0},
        {{4 | 8192, 0, 0, 0, 0, 0, 15, 0}, STD_STYLE_PERCENTAGE, 14, 0, 0, 0, 0, 0, 0},
        {{(1u << 18) | 8192, 0, 0, 0, 0, 0, 3, 0}, STD_STYLE_DATE, 0, 0, 0, 0, 0, 0, 0},
        {{8192, 0, 0, 0, 0, 0, 3, 0}, STD_STYLE_GENERAL, 3, 0, 0, 0, 0, 0, 0},
        {{8 | 16 | 32, 0, 0, 0, 0, 0, 0, 0}, 0, 0, 1, 0, 0, 0, 0, 0},
        {{16 | 32 | 16384 | 32768, 0, 0, 0, 0, 0, 0, 0}, 0, 0, 3, 4, 0, 0, 0, 0},
        {{32 | 32768, 0, 0, 0, 0, 0, 0, 0}, 0, 0, 2, 7, 0, 0, 0, 0},
        {{128, 0, 0, 0, 0, 545, 0, 0}, 0, 0, 0, 0, 15, FORMAT_LINE_DOUBLE, 0, 0},
        {{128, 0, 0, 0, 0, 0x01, 0, 0}, 0, 0, 0, 0, 15, FORMAT_LINE_SOLID, 0, 0},
        {{128, 0, 0, 0, 0, 0x06 | 0x100, 0, 0}, 0, 0, 0, 0, 3, FORMAT_LINE_SOLID_2, 0, 0},
        {{128, 0, 0, 0, 0, 0x18 | 0x700, 0, 0}, 0, 0, 0, 0, 12, FORMAT_LINE_SOLID_2, 0, 0},
        {{128, 0, 0, 0, 0, 0x300, 0, 0}, 0, 0, 0, 0, 0, FORMAT_LINE_DOUBLE, 0, 0},
        {{128, 0, 0, 0, 0, 0x400, 0, 0}, 0, 0, 0, 0, 0, FORMAT_LINE_DOT, 0, 0},
        {{128, 0, 0, 0, 0, 0x800, 0, 0}, 0, 0, 0, 0, 0, FORMAT_LINE_DOT, 0, 0},
        {{128, 0, 0, 0, 0, 0x600, 0, 0}, 0, 0, 0, 0, 0, FORMAT_LINE_DASH_DOT, 0, 0},
        {{128, 0, 0, 0, 0, 0xFFFFFF00, 0, 0}, 0, 0, 0, 0, 0, 0, 0, 0},
        {{512, 0, 0x00FF0000, 0, 0, 0, 0, 0}, 0, 0, 0, 0, 0, 0, FORMAT_PAT_SOLID, 0},
        {{512, 0, 0x01000000, 0, 0, 0, 0, 0}, 0, 0, 0, 0, 0, 0, FORMAT_PAT_HSTRIPE, 0},
        {{512, 0, 0x02000000, 0, 0, 0, 0, 0}, 0, 0, 0, 0, 0, 0, FORMAT_PAT_VSTRIPE, 0},
        {{512, 0, 0x04000000, 0, 0, 0, 0, 0}, 0, 0, 0, 0, 0, 0, FORMAT_PAT_RDSTRIPE, 0},
        {{512, 0, 0x05000000, 0, 0, 0, 0, 0}, 0, 0, 0, 0, 0, 0, FORMAT_PAT_DCROSS, 0},
        {{512, 0, 0x06000000, 0, 0, 0, 0, 0}, 0, 0, 0, 0, 0, 0, FORMAT_PAT_DCROSS, 0},
        {{512, 0, 0xFF000000, 0, 0, 0, 0, 0}, 0, 0, 0, 0, 0, 0, FORMAT_PAT_SOLID, 0},
        {{65536, 0, 0, 0, 0, 0, 0, 100}, 0, 0, 0, 0, 0, 0, 0, 100},
        {{65536, 0, 0, 0, 0, 0, 0, 101}, 0, 0, 0, 0, 0, 0, 0, 0},
        {{0, 0, 0, 0, 0, 0, 0, 55}, 0, 0, 0, 0, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        const StyleRecord s = Convert(*book, c.in);
        const uint8_t* p = s.numberFormat.params;
        const uint8_t decimals =
            c.kind == STD_STYLE_CURRENCY ? p[fmtparam::kCurrencyDecimals] : p[fmtparam::kDecimals];
        EXPECT_EQ(Of(s.numberFormat.kind, decimals, s.horizontalAlignment, s.verticalAlignment,
                     s.borderSides, s.borderLine.style, s.fill.pattern, s.dropDownList,
                     s.horizontalIndent, s.fontRef.colorGiven),
                  Of(c.kind, c.decimals, c.horizontal, c.vertical, c.sides, c.line, c.pattern,
                     c.list, 9, 1))
            << c.in.flags << " " << c.in.borders << " " << c.in.fill << " " << c.in.list;
    }
    const StyleRecord currency = Convert(*book, {1, 0, 0, 0, 0, 0, 0, 0});
    EXPECT_STREQ(reinterpret_cast<const char*>(currency.numberFormat.params), "EUR");
    EXPECT_STRNE(currency.numberFormat.code, "");
    const StyleRecord general = Convert(*book, {8192 | 2, 0, 0, 0, 0, 0, 1, 0});
    EXPECT_EQ(general.numberFormat.params[fmtparam::kThousands], 1);
}

TEST(V6Records, StyleFontIndexIsKeptOnlyInsideTheTable) {
    auto book = CreateWorkbook();
    const struct {
        uint32_t font;
        uint8_t expected;
    } cases[] = {{5, 5}, {127, 127}, {128, 0}, {300, 0}, {0xFFFF, 0}, {0x8000, 0}, {0x10005, 5}};
    for (const auto& c : cases)
        EXPECT_EQ(Convert(*book, {0, c.font, 0, 0, 0, 0, 0, 0}).fontRef.fontIndex, c.expected)
            << c.font;
}

TEST(V6Records, ChartKindCodesGiveTypeAndSeriesKind) {
    struct Case {
        uint8_t code, xy, bars;
        bool ok;
        uint8_t type, kind;
    } cases[] = {
        {0, 0, 0, true, kChart2D, 1},   {2, 0, 1, true, kChart2D, 2},
        {3, 0, 1, true, kChart2D, 6},   {4, 0, 0, true, kChart2D, 3},
        {5, 0, 0, true, kChart2D, 4},   {6, 0, 1, true, kChart2D, 5},
        {7, 0, 0, true, kChart3D, 7},   {8, 0, 1, true, kChart3D, 8},
        {9, 0, 0, true, kChart3D, 7},   {10, 0, 1, true, kChart3D, 9},
        {11, 0, 0, true, kChart3D, 9},  {12, 0, 0, true, kChart3D, 10},
        {13, 0, 1, true, kChart3D, 11}, {8, 1, 0, true, kChartXY, 6},
        {0, 1, 1, true, kChartXY, 6},   {14, 0, 0, false, 0, 0},
        {255, 1, 0, false, 0, 0},
    };
    for (const Case& c : cases) {
        const ConvertedChart out = Convert(V6Chart{.hasValues = 1,
                                                   .valueRect = {0, 3, 0, 3},
                                                   .kindCode = c.code,
                                                   .xy = c.xy,
                                                   .bars = c.bars});
        EXPECT_EQ(out.ok, c.ok) << int(c.code);
        if (!c.ok) continue;
        const ChartSettings& s = out.chart->settings;
        EXPECT_EQ(
            Of(s.type, out.chart->series[1].settings.kind, out.chart->series[0].settings.role),
            Of(c.type, c.kind, c.xy ? 2 : 3))
            << int(c.code);
    }
}

TEST(V6Records, ValueRectangleGivesOneSeriesPerRowUpTo15) {
    struct Case {
        uint32_t hasValues, noValues;
        int32_t firstRow, lastRow;
        int series;
    } cases[] = {
        {1, 0, 2, 4, 3}, {1, 0, 5, 5, 1},   {1, 0, 5, 4, 0},   {0, 0, 2, 4, 0},
        {1, 1, 2, 4, 0}, {1, 0, 1, 15, 15}, {1, 0, 1, 16, 15}, {1, 0, INT32_MIN, INT32_MAX, 15}};
    for (const Case& c : cases) {
        V6Chart record{.hasValues = c.hasValues,
                       .valueRect = {0, c.firstRow, 0, c.lastRow},
                       .noValues = c.noValues,
                       .majorShown = {0, 1},
                       .majorStyle = 2};
        for (int i = 0; i < 16; ++i) record.seriesColors[i] = uint32_t(i + 1);
        const ConvertedChart out = Convert(record);
        ASSERT_TRUE(out.ok);
        ASSERT_EQ(out.chart->settings.seriesCount, 1 + c.series) << c.firstRow << ".." << c.lastRow;
        for (int i = 0; i <= c.series; ++i)
            EXPECT_EQ(out.chart->series[i].settings.majorGrid.style, FORMAT_LINE_DOT);
        if (c.series == 15) {
            EXPECT_EQ(out.chart->series[15].settings.fill.patternColor, 15u);
        }
    }
}

TEST(V6Records, LegendCodeFromPositionAndLayout) {
    const struct {
        uint8_t shown, position, horizontal, code;
    } cases[] = {{1, 0, 0, 5}, {1, 1, 1, 8}, {1, 2, 0, 1}, {1, 3, 1, 4},
                 {1, 3, 2, 3}, {1, 4, 1, 0}, {0, 1, 1, 0}};
    for (const auto& c : cases) {
        const V6Chart record{
            .legendShown = c.shown, .legendPosition = c.position, .legendHorizontal = c.horizontal};
        EXPECT_EQ(Convert(record).chart->settings.legendCode, c.code) << int(c.position);
    }
}

// Titles are read inside their fields and cut to 127 characters; the plane colour comes from
// the first shown plane.
TEST(V6Records, ChartTitlesAndPlanes) {
    // The first title fills its 260-byte field without a NUL.
    const ConvertedChart out = Convert(V6Chart{
        .planeYZ = 1, .planeYZColor = 0x777777, .title = {std::string(300, 'a'), "second"}});
    EXPECT_EQ(std::string(out.chart->settings.titleText[0]), std::string(127, 'a'));
    EXPECT_STREQ(out.chart->settings.titleText[1], "second");
    EXPECT_EQ(out.chart->settings.planeFill.patternColor, 0x777777u);
    EXPECT_EQ(out.chart->settings.planeFill.patternColorGiven, 1);
    const ConvertedChart plain = Convert(V6Chart{});
    EXPECT_EQ(plain.chart->settings.planeFill.patternColorGiven, 0);
    EXPECT_STREQ(plain.chart->settings.titleText[0], "");
    EXPECT_EQ(plain.container->settings.background.pattern.patternColorGiven, 0);
}

} // namespace vl
