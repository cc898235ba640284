// The Axes page: what it shows per role and kind, tick counts stored plus one, and the
// title and label bits.

#include "../dialogtest.h"
#include "dialogs/chart/axespage.h"
#include "model/chart.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <cstring>

namespace vl {

namespace {

struct AxesPageTest : ::testing::Test {
    SeriesSettings& Series(uint8_t role, uint8_t kind = 1) {
        InitSeries(chart, 0);
        chart.settings.seriesCount = 1;
        chart.series[0].settings.role = role;
        chart.series[0].settings.kind = kind;
        return chart.series[0].settings;
    }
    QLineEdit* Edit(int id) { return page.Item<QLineEdit>(id); }

    dialogtest::FakeUi ui;
    CChartAxesPage page;
    CChart chart{kChart2D};
};

} // namespace

TEST_F(AxesPageTest, CombosCarryTheirItems) {
    const auto* type = page.Item<QComboBox>(215);
    const auto* scale = page.Item<QComboBox>(1021);
    ASSERT_EQ(type->count(), 4);
    ASSERT_EQ(scale->count(), 4);
    EXPECT_EQ(type->itemText(3), "Dual");
    EXPECT_EQ(scale->itemText(2), "LogE");
    EXPECT_EQ(page.Item<QCheckBox>(216)->text(), "Major tick marks:");
    EXPECT_EQ(Edit(405)->maxLength(), 127);
}

TEST_F(AxesPageTest, PiesAreOffAndCategoriesKeepTicksAndScale) {
    SeriesSettings& pie = Series(1, 5);
    pie.axisType = 2;
    ASSERT_TRUE(page.Exchange(false, &chart, 0));
    EXPECT_FALSE(page.Item<QComboBox>(215)->isEnabled());
    page.Item<QComboBox>(215)->setCurrentIndex(0);
    ASSERT_TRUE(page.Exchange(true, &chart, 0));
    EXPECT_EQ(pie.axisType, 2);

    SeriesSettings& cat = Series(3);
    cat.periods = 9;
    cat.scale = 3;
    ASSERT_TRUE(page.Exchange(false, &chart, 0));
    EXPECT_TRUE(page.Item<QComboBox>(215)->isEnabled());
    EXPECT_FALSE(Edit(205)->isEnabled());
    EXPECT_FALSE(page.Item<QComboBox>(1021)->isEnabled());
    ASSERT_TRUE(page.Exchange(true, &chart, 0));
    EXPECT_EQ(cat.periods, 9);
    EXPECT_EQ(cat.scale, 3);
}

TEST_F(AxesPageTest, TickCountsAreStoredPlusOneUpTo65533) {
    SeriesSettings& s = Series(1);
    ASSERT_TRUE(page.Exchange(false, &chart, 0));
    EXPECT_EQ(Edit(205)->text(), "0");
    EXPECT_EQ(Edit(257)->text(), "0");
    ASSERT_TRUE(page.Exchange(true, &chart, 0));
    EXPECT_EQ(s.periods, 1);
    Edit(205)->setText("65533");
    Edit(257)->setText("7");
    ASSERT_TRUE(page.Exchange(true, &chart, 0));
    EXPECT_EQ(s.periods, 65534);
    EXPECT_EQ(s.subperiods, 8);
    for (const char* refused : {"65534", "", "x"}) {
        Edit(205)->setText(refused);
        EXPECT_FALSE(page.Exchange(true, &chart, 0)) << refused;
        EXPECT_EQ(s.periods, 65534) << refused;
        EXPECT_TRUE(Edit(205)->hasFocus() || !page.isVisible());
    }
    EXPECT_EQ(ui.beeps, 3);
}

TEST_F(AxesPageTest, FlagsRoundTripAndUncheckingTitleClearsBothTitleBits) {
    SeriesSettings& s = Series(1);
    s.axisFlags = 16 | 32 | 4 | 1;
    s.axisType = 3;
    s.scale = 2;
    s.axisLine = {3, 1, 0x00FF00};
    std::strcpy(s.axisTitle, "Euro");
    s.axisFont.color = 0x112233;
    ASSERT_TRUE(page.Exchange(false, &chart, 0));
    EXPECT_TRUE(page.Item<QRadioButton>(189)->isChecked());
    EXPECT_TRUE(page.Item<QRadioButton>(1051)->isChecked());
    SeriesSettings before = s;
    s = SeriesSettings{};
    s.role = 1;
    s.kind = 1;
    ASSERT_TRUE(page.Exchange(true, &chart, 0));
    EXPECT_EQ(s.axisFlags, before.axisFlags);
    EXPECT_EQ(s.axisType, 3);
    EXPECT_EQ(s.scale, 2);
    EXPECT_EQ(s.axisLine.style, 3);
    EXPECT_EQ(s.axisLine.color, 0x00FF00u);
    EXPECT_STREQ(s.axisTitle, "Euro");
    EXPECT_EQ(s.axisFont.color, 0x112233u);
    page.Item<QCheckBox>(1001)->setChecked(false);
    page.Item<QComboBox>(1021)->setCurrentIndex(-1); // no selection keeps the scale
    ASSERT_TRUE(page.Exchange(true, &chart, 0));
    EXPECT_EQ(s.axisFlags & (4 | 8), 0);
    EXPECT_EQ(s.axisFlags, 16 | 32 | 1);
    EXPECT_EQ(s.scale, 2);
}

} // namespace vl
