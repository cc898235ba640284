#include "charts/draw/chartgeometry.h"
#include "charts/draw/chartplot.h"
#include "model/chartprojection.h"
#include "tests/charts/draw/plottest.h"

#include <gtest/gtest.h>

namespace vl {
namespace {

using namespace charttest;

struct LabelTest : PlotTest {
    LabelTest() { chart->canvas = &canvas; }
    // The labels of series 0 drawn at anchors recorded by hand.
    std::vector<std::string> Drawn(const CChartSeries* domain) {
        CChartSeries& s = chart->series[0];
        s.labelAnchors.Clear(true);
        for (uint32_t p = 0; p < s.points.ItemCount(); ++p)
            EXPECT_TRUE(AddLabelAnchor(*chart, s, p, 10, 10, kLabelLeft, kLabelTop));
        dc.outputs.clear();
        DrawSeriesLabels(*chart, s, domain);
        std::vector<std::string> lines;
        for (const auto& o : dc.outputs) lines.push_back(o.text);
        return lines;
    }
};

TEST_F(LabelTest, TextsOfEveryKindAndDomain) {
    CChartSeries& s = Put(0, {1.5, 2, 3}, 1);
    CChartSeries& texts = PutCategories(*chart, 1, {"a", "", "c"});
    texts.labels.Truncate(2, sizeof(ChartLabel)); // a shorter domain: "a" and the empty one
    CChartSeries& numbers = Put(2, {10, 20, 30}, 1, 2);
    struct Case {
        uint8_t labels, family;
        const CChartSeries* domain;
        std::vector<std::string> lines;
    } cases[] = {
        {1, 0, &texts, {"a", "2", "3"}},
        {2, 0, nullptr, {"1.5", "2", "3"}},
        {3, 0, nullptr, {"1.5", "2", "3"}}, // an empty first line above each value
        {4, 0, &numbers, {"1.5", "10", "2", "20", "3", "30"}},
        {3, STD_STYLE_PERCENTAGE, &numbers, {"1,000%", "150%", "2,000%", "200%", "3,000%", "300%"}},
    };
    for (const Case& c : cases) {
        s.settings.labels = c.labels;
        s.settings.numberFormat.kind = c.family;
        EXPECT_EQ(Drawn(c.domain), c.lines) << int(c.labels);
    }
    // The empty first line moves the value down one line.
    s.settings.labels = 3;
    s.settings.numberFormat.kind = 0;
    Drawn(nullptr);
    EXPECT_EQ(dc.outputs[0].y, 20);
}

// The values are written with the user's separators, as the cells show them.
TEST_F(LabelTest, ValuesTakeTheUsersSeparators) {
    const SeparatorSet kept = UserSeparators();
    SeparatorSet& user = UserSeparators();
    user.decimal = ',';
    user.thousands = '.';
    CChartSeries& s = Put(0, {1.5, 1234.5}, 1);
    s.settings.labels = 2;
    const struct {
        uint8_t family;
        std::vector<std::string> lines;
    } cases[] = {
        {0, {"1,5", "1234,5"}},
        {STD_STYLE_PERCENTAGE, {"150%", "123.450%"}},
    };
    for (const auto& c : cases) {
        s.settings.numberFormat.kind = c.family;
        EXPECT_EQ(Drawn(nullptr), c.lines) << int(c.family);
    }
    UserSeparators() = kept;
    s.settings.numberFormat.kind = 0;
    EXPECT_EQ(Drawn(nullptr), (std::vector<std::string>{"1.5", "1234.5"}));
}

TEST_F(LabelTest, AutomaticAlignmentByDirection) {
    CChartSeries& s = Put(0, {1}, 1);
    s.settings.labels = 2;
    struct Case {
        float bx, by, cx, cy;
        DcPoint at;
        uint32_t align;
    } cases[] = {
        // Equal distances keep B; a B level with A counts as straight up: centre, bottom.
        {110, 100, 100, 110, {110, 90}, TA_CENTER | TA_TOP},
        // 10 degrees (as near as floats hold it) is the first row: left, centre.
        {100 + 100 * std::cos(float(M_PI) / 18),
         100 - 100 * std::sin(float(M_PI) / 18),
         100,
         100,
         {198, 77},
         TA_LEFT | TA_TOP},
        // C is further: straight down from A, below and centred.
        {101, 100, 100, 150, {100, 150}, TA_CENTER | TA_TOP},
        // Up and to the left: right-aligned and bottom.
        {50, 50, 100, 100, {50, 40}, TA_RIGHT | TA_TOP},
    };
    for (const Case& c : cases) {
        s.labelAnchors.Clear(true);
        const uint32_t at = chart->vertices.ItemCount();
        ASSERT_TRUE(AddVertex(*chart, 100, 100, 0));
        ASSERT_TRUE(AddVertex(*chart, c.bx, c.by, 0));
        ASSERT_TRUE(AddVertex(*chart, c.cx, c.cy, 0));
        const LabelAnchor anchor{0, at, at + 1, at + 2, 0, 0, {}};
        ASSERT_TRUE(s.labelAnchors.AppendItem24(&anchor));
        dc.outputs.clear();
        DrawSeriesLabels(*chart, s, nullptr);
        ASSERT_EQ(dc.outputs.size(), 1u);
        EXPECT_EQ(std::tuple(dc.outputs[0].x, dc.outputs[0].y, dc.outputs[0].align),
                  std::tuple(c.at.x, c.at.y, c.align));
    }
}

TEST_F(LabelTest, MeasuringAndLongTexts) {
    CChartSeries& s = Put(0, {1, 22, std::nan("")}, 1);
    uint32_t w = 1, h = 1;
    MeasureSeriesLabels(*chart, s, nullptr, w, h);
    EXPECT_EQ(std::pair(w, h), std::pair(0u, 0u));
    s.settings.labels = 3;
    MeasureSeriesLabels(*chart, s, nullptr, w, h);
    EXPECT_EQ(std::pair(w, h), std::pair(12u, 20u));
    // A value text of 1,025 characters and an X text: cut at 1,024 to measure and draw.
    s.settings.numberFormat.kind = STD_STYLE_USER_DEFINED;
    std::string code = "\"" + std::string(1025, 'x') + "\"";
    std::strncpy(s.settings.numberFormat.code, code.c_str(), kMaxFormatCode);
    CChartSeries& texts = PutCategories(*chart, 1, {"label"});
    s.settings.labels = 4;
    MeasureSeriesLabels(*chart, s, &texts, w, h);
    EXPECT_EQ(std::pair(w, h), std::pair(6u * 1024, 10u));
    EXPECT_EQ(Drawn(&texts), std::vector<std::string>(3, std::string(1024, 'x')));
}

} // namespace
} // namespace vl
