// The Walls/Size and Titles/Legend pages.

#include "../dialogtest.h"
#include "dialogs/chart/wallspage.h"
#include "model/chart.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <cstring>

namespace vl {

// The sizes take what every file reader takes, 1 to 100: a 0 stored here would make the
// saved workbook unreadable.
TEST(ChartWallsPage, SizesTake1To100AndA2DChartKeepsItsYZWallAndFloor) {
    dialogtest::FakeUi ui;
    CChartWallsPage page;
    CChart chart(kChart2D);
    chart.settings.planeYZ = 1;
    chart.settings.planeXZ = 1;
    chart.settings.planeXY = 0;
    chart.settings.planeBorder = {4, 1, 0x00FF00};
    chart.settings.planeFill = {19, 1, 0x0000FF, 0, 0};
    ASSERT_TRUE(page.Exchange(false, &chart, -1));
    EXPECT_FALSE(page.Item<QCheckBox>(218)->isEnabled());
    EXPECT_EQ(page.Item<QLineEdit>(205)->maxLength(), 4);
    EXPECT_EQ(page.Item<QLineEdit>(205)->text(), "100");
    page.Item<QCheckBox>(216)->setChecked(true);
    page.Item<QCheckBox>(218)->setChecked(false);
    const std::pair<const char*, bool> sizes[] = {{"0", false},   {"1", true},    {"100", true},
                                                  {"101", false}, {"300", false}, {"x", false}};
    for (const auto& [text, taken] : sizes) {
        chart.settings.viewWidth = 55;
        page.Item<QLineEdit>(205)->setText(text);
        EXPECT_EQ(page.Exchange(true, &chart, -1), taken) << text;
        EXPECT_EQ(chart.settings.viewWidth, taken ? QString(text).toInt() : 55) << text;
    }
    page.Item<QLineEdit>(205)->setText(QStringLiteral("100"));
    for (const auto& [text, taken] : sizes) {
        chart.settings.viewHeight = 44;
        page.Item<QLineEdit>(257)->setText(text);
        EXPECT_EQ(page.Exchange(true, &chart, -1), taken) << text;
        EXPECT_EQ(chart.settings.viewHeight, taken ? QString(text).toInt() : 44) << text;
    }
    page.Item<QLineEdit>(257)->setText(QStringLiteral("100"));
    EXPECT_EQ(ui.beeps, 8);
    EXPECT_EQ(chart.settings.planeXY, 1);
    EXPECT_EQ(chart.settings.planeYZ, 1);
    EXPECT_EQ(chart.settings.planeXZ, 1);
    EXPECT_EQ(chart.settings.planeBorder.style, 4);
    EXPECT_EQ(chart.settings.planeFill.pattern, 19);
    EXPECT_EQ(chart.settings.planeFill.patternColor, 0x0000FFu);
}

TEST(ChartWallsPage, A3DChartOffersNoneAndSolidAndStoresItsFlags) {
    dialogtest::FakeUi ui;
    CChartWallsPage page;
    CChart chart(kChart3D);
    ASSERT_TRUE(page.Exchange(false, &chart, -1));
    EXPECT_EQ(page.Item<QComboBox>(215)->count(), 2);
    EXPECT_TRUE(page.Item<QCheckBox>(1001)->isEnabled());
    page.Item<QCheckBox>(218)->setChecked(true);
    page.Item<QCheckBox>(1001)->setChecked(false);
    chart.settings.planeXZ = 1;
    ASSERT_TRUE(page.Exchange(true, &chart, -1));
    EXPECT_EQ(chart.settings.planeYZ, 1);
    EXPECT_EQ(chart.settings.planeXZ, 0);
}

TEST(ChartTitlesPage, LegendCodesRoundTripAndAlignNeverChanges) {
    dialogtest::FakeUi ui;
    CChartTitlesPage page;
    auto* position = page.Item<QComboBox>(215);
    auto* expand = page.Item<QComboBox>(1019);
    auto* align = page.Item<QComboBox>(229);
    EXPECT_EQ(position->count(), 5);
    EXPECT_EQ(expand->itemText(0), "Width");
    EXPECT_FALSE(align->isEnabled());
    CChart chart(kChart2D);
    for (int code = 0; code <= 8; ++code) {
        chart.settings.legendCode = uint8_t(code);
        ASSERT_TRUE(page.Exchange(false, &chart, -1));
        chart.settings.legendCode = 99;
        ASSERT_TRUE(page.Exchange(true, &chart, -1));
        EXPECT_EQ(chart.settings.legendCode, code);
        EXPECT_EQ(align->currentText(), "Center");
    }
    position->setCurrentIndex(4);
    expand->setCurrentIndex(0);
    ASSERT_TRUE(page.Exchange(true, &chart, -1));
    EXPECT_EQ(chart.settings.legendCode, 8);
    ASSERT_TRUE(page.Exchange(false, &chart, -1));
    EXPECT_EQ(position->currentText(), "Bottom");
    EXPECT_EQ(expand->currentText(), "Width");
    position->setCurrentIndex(0); // no legend, whatever the expansion
    ASSERT_TRUE(page.Exchange(true, &chart, -1));
    EXPECT_EQ(chart.settings.legendCode, 0);
    chart.settings.legendCode = 12; // an unknown code shows no legend and height
    ASSERT_TRUE(page.Exchange(false, &chart, -1));
    EXPECT_EQ(position->currentIndex(), 0);
    EXPECT_EQ(expand->currentText(), "Height");
}

TEST(ChartTitlesPage, TextsAndThreeFontsRoundTrip) {
    dialogtest::FakeUi ui;
    CChartTitlesPage page;
    CChart chart(kChartXY);
    std::strcpy(chart.settings.titleText[0], "Title");
    std::strcpy(chart.settings.titleText[1], "Sub");
    chart.settings.titleFont[0].color = 1;
    chart.settings.titleFont[1].color = 2;
    chart.settings.legendFont.color = 3;
    ASSERT_TRUE(page.Exchange(false, &chart, -1));
    EXPECT_EQ(page.Item<QLineEdit>(257)->maxLength(), 127);
    CChart out(kChartXY);
    ASSERT_TRUE(page.Exchange(true, &out, -1));
    EXPECT_STREQ(out.settings.titleText[0], "Title");
    EXPECT_STREQ(out.settings.titleText[1], "Sub");
    EXPECT_EQ(out.settings.titleFont[0].color, 1u);
    EXPECT_EQ(out.settings.titleFont[1].color, 2u);
    EXPECT_EQ(out.settings.legendFont.color, 3u);
}

} // namespace vl
