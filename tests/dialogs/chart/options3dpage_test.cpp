// The 3D Options page: perspective steps, lamp sliders, the exact rotation step, and
// applying after every change.

#include "../dialogtest.h"
#include "dialogs/chart/options3dpage.h"
#include "model/chart.h"
#include "model/viewtransform.h"

#include <QCheckBox>
#include <QSlider>
#include <cmath>
#include <tuple>

namespace vl {

namespace {

struct Options3DTest : ::testing::Test {
    Options3DTest() {
        page.apply = [this] { ++applies; };
    }
    QSlider* Slider(int id) { return page.Item<QSlider>(id); }

    dialogtest::FakeUi ui;
    CChart3DOptionsPage page;
    CChart chart{kChart3D};
    int applies = 0;
};

} // namespace

TEST_F(Options3DTest, PerspectiveShowsTheFirstStepNotBelowItAndSavesThatStep) {
    const struct {
        uint16_t stored;
        bool checked;
        int position;
        uint16_t saved;
    } cases[] = {
        {41, true, 11, 50}, {40, true, 10, 40},    {5, true, 1, 5},     {4, true, 1, 5},
        {61, true, 12, 60}, {100, false, 10, 100}, {0, false, 10, 100}, {99, true, 12, 60},
    };
    for (const auto& c : cases) {
        chart.settings.perspective = c.stored;
        ASSERT_TRUE(page.Exchange(false, &chart, -1));
        EXPECT_EQ(page.Item<QCheckBox>(216)->isChecked(), c.checked) << c.stored;
        EXPECT_EQ(Slider(411)->value(), c.position) << c.stored;
        ASSERT_TRUE(page.Exchange(true, &chart, -1));
        EXPECT_EQ(chart.settings.perspective, c.saved) << c.stored;
    }
    EXPECT_EQ(applies, 0); // fills apply nothing
}

TEST_F(Options3DTest, LampSlidersShow180MinusTheAnglesAndA2DChartKeepsItsSettings) {
    InitChartSettings(chart);
    ASSERT_TRUE(page.Exchange(false, &chart, -1));
    EXPECT_EQ(Slider(422)->value(), 100);
    EXPECT_EQ(Slider(425)->value(), 80);
    EXPECT_EQ(Slider(422)->maximum(), 180);
    EXPECT_EQ(Slider(422)->tickInterval(), 18);
    // The disabled page of a 2D chart stores nothing: what the chart keeps for a 3D view
    // (here not the defaults) stays, and so does a 3D chart's after a 2D one's fill.
    CChart flat(kChart2D);
    flat.settings.perspective = 25;
    flat.settings.lightDirectionX = 30;
    flat.settings.lightDirectionY = 170;
    ASSERT_TRUE(page.Exchange(false, &flat, -1));
    EXPECT_FALSE(Slider(411)->isEnabled());
    EXPECT_EQ(Slider(422)->value(), 80);
    ASSERT_TRUE(page.Exchange(true, &flat, -1));
    EXPECT_EQ(std::tuple(flat.settings.perspective, flat.settings.lightDirectionX,
                         flat.settings.lightDirectionY),
              std::tuple(25, 30, 170));
    chart.settings.lightDirectionX = 50;
    ASSERT_TRUE(page.Exchange(true, &chart, -1));
    EXPECT_EQ(chart.settings.lightDirectionX, 50);
    // Rotation has no chart to turn.
    page.OnRotate(1, 1);
    EXPECT_EQ(applies, 0);
    // Turned 3D afterwards, a fill shows what it kept.
    flat.settings.type = kChart3D;
    ASSERT_TRUE(page.Exchange(false, &flat, -1));
    EXPECT_EQ(std::tuple(Slider(411)->value(), Slider(422)->value(), Slider(425)->value()),
              std::tuple(8, 150, 10));
}

TEST_F(Options3DTest, OneXStepMultipliesByTheRotationExactlyAndEveryChangeApplies) {
    ASSERT_TRUE(page.Exchange(false, &chart, -1));
    float start[16];
    SetIdentityMatrix(start);
    ApplyChartTransform(start, kRotateY, 0.3);
    std::copy(start, start + 16, chart.viewMatrix);
    page.OnRotate(1, 1);
    const double a = -1 * 3.14159265358979 * 0.005555555555555556;
    const float c = float(std::cos(a)), s = float(std::sin(a));
    const float r[16] = {1, 0, 0, 0, 0, c, -s, 0, 0, s, c, 0, 0, 0, 0, 1};
    float expected[16];
    MultiplyMatrix4(r, start, expected);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(chart.viewMatrix[i], expected[i]) << i;
    EXPECT_EQ(applies, 1);
    page.OnRotate(3, 5);
    EXPECT_EQ(applies, 2);
    page.OnReset();
    float identity[16];
    SetIdentityMatrix(identity);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(chart.viewMatrix[i], identity[i]) << i;
    Slider(425)->setValue(30);
    page.Item<QCheckBox>(216)->click();
    EXPECT_EQ(applies, 5);
    ASSERT_TRUE(page.Exchange(true, &chart, -1));
    EXPECT_EQ(chart.settings.lightDirectionY, 150);
    EXPECT_EQ(chart.settings.perspective, 100);
}

} // namespace vl
