#include "tests/charts/draw/plottest.h"

#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <tuple>
#include <vector>

namespace vl {
namespace {

using namespace charttest;

struct LegendTest : PlotTest {
    // Two series whose names are 12 and 36 units wide.
    void Names() {
        Put(0, {1, 2}, 1);
        Put(1, {2, 3}, 1);
        std::strcpy(chart->series[0].settings.name, "ab");
        std::strcpy(chart->series[1].settings.name, "cdefgh");
    }
};

TEST_F(LegendTest, TinyChartsDrawOnlyTheEntriesInsideTheirRectangle) {
    Names();
    // code: the names a 31 x 16 chart shows (a 601 x 401 one shows both, at the Part's places)
    const std::tuple<uint8_t, std::vector<std::string>, DcPoint> cases[] = {
        {1, {}, {115, 290}}, {2, {"ab"}, {115, 295}}, {3, {}, {388, 104}}, {4, {}, {368, 104}},
        {5, {}, {660, 290}}, {6, {}, {621, 295}},     {7, {}, {388, 476}}, {8, {}, {368, 486}},
    };
    for (const auto& [code, tiny, bigFirst] : cases) {
        chart->settings.legendCode = code;
        const DcRect small{100, 100, 130, 115};
        chart->flags &= ~kChartLaidOut;
        Draw(small);
        EXPECT_EQ(Texts(), tiny) << int(code);
        for (const auto& o : dc.outputs) {
            EXPECT_TRUE(o.x >= small.left && o.x + 6 * int32_t(o.text.size()) - 1 <= small.right &&
                        o.y >= small.top && o.y + 9 <= small.bottom)
                << int(code) << " " << o.text << " at " << o.x << "," << o.y;
        }
        chart->flags &= ~kChartLaidOut;
        Draw({100, 100, 700, 500});
        EXPECT_EQ(Texts(), (std::vector<std::string>{"ab", "cdefgh"})) << int(code);
        ASSERT_FALSE(dc.outputs.empty());
        EXPECT_EQ((DcPoint{dc.outputs[0].x, dc.outputs[0].y}), bigFirst) << int(code);
    }
}

} // namespace
} // namespace vl
