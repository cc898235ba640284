// The Data, Contents/Size and Titles pages: what they show, what a save stores, and what a
// save refuses.

#include "../dialogtest.h"
#include "core/settings.h"
#include "dialogs/chart/containerpages.h"
#include "dialogs/chart/datapage.h"
#include "model/container.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <cstring>

namespace vl {

namespace {

QLineEdit* EditOf(QWidget& page, int id) {
    return page.findChild<QLineEdit*>(QStringLiteral("id%1").arg(id));
}

struct DataPageTest : ::testing::Test {
    dialogtest::FakeUi ui;
    CChartDataPage page;
};

} // namespace

TEST_F(DataPageTest, ControlsCarryTheirLabelsAndLimits) {
    const std::pair<int, int> limits[] = {{205, 329}, {257, 329}, {405, 127}, {207, 127}};
    for (const auto& [id, length] : limits) EXPECT_EQ(EditOf(page, id)->maxLength(), length) << id;
    EXPECT_EQ(page.Item<QCheckBox>(216)->text(), "From value:");
    EXPECT_EQ(page.Item<QCheckBox>(218)->text(), "To value:");
    EXPECT_EQ(page.Item<QPushButton>(408)->text(), "Numeric Format...");
}

TEST_F(DataPageTest, WhatIsEnabledFollowsRoleKindAndChartType) {
    struct Case {
        uint8_t type, role, kind;
        bool range, xDomain, errorBars;
    } cases[] = {
        // A data series of every type names its labels' X domain.
        {kChart2D, 1, 1, true, true, false},   {kChart2D, 1, 6, true, true, true},
        {kChart3D, 1, 7, true, true, false},   {kChartXY, 1, 6, true, true, true},
        {kChartXY, 2, 6, true, false, true},   {kChart2D, 3, 1, false, false, false},
        {kChart3D, 4, 7, false, false, false}, {kChart3D, 0, 7, false, false, false},
    };
    for (const Case& c : cases) {
        CChart chart(c.type);
        InitSeries(chart, 0);
        chart.settings.seriesCount = 1;
        chart.series[0].settings.role = c.role;
        chart.series[0].settings.kind = c.kind;
        ASSERT_TRUE(page.Exchange(false, &chart, 0));
        const std::string tag = std::to_string(c.type) + "/" + std::to_string(c.role);
        EXPECT_EQ(page.Item<QCheckBox>(216)->isEnabled(), c.range) << tag;
        EXPECT_EQ(EditOf(page, 257)->isEnabled(), c.range) << tag;
        EXPECT_EQ(page.Item<QPushButton>(408)->isEnabled(), c.range) << tag;
        EXPECT_EQ(EditOf(page, 405)->isEnabled(), c.xDomain) << tag;
        EXPECT_EQ(EditOf(page, 207)->isEnabled(), c.errorBars) << tag;
        // Saving a page that shows nothing changes nothing.
        if (c.range) continue;
        SeriesSettings& s = chart.series[0].settings;
        s.fromValue = 3;
        s.rangeFlags = kFromValueGiven;
        std::strcpy(s.relatedSigma, "kept");
        page.Item<QCheckBox>(216)->setChecked(false);
        EXPECT_TRUE(page.Exchange(true, &chart, 0));
        EXPECT_EQ(s.rangeFlags, kFromValueGiven) << tag;
        EXPECT_EQ(s.fromValue, 3.0) << tag;
        EXPECT_STREQ(s.relatedSigma, "kept") << tag;
    }
    CChart none(kChart2D);
    EXPECT_TRUE(page.Exchange(false, &none, -1));
    EXPECT_FALSE(page.Item<QCheckBox>(216)->isEnabled());
    EXPECT_TRUE(page.Exchange(true, &none, -1));
}

TEST_F(DataPageTest, SavesRoundTripAndAnUncheckedLimitKeepsItsValue) {
    CChart chart(kChartXY);
    InitSeries(chart, 0);
    chart.settings.seriesCount = 1;
    SeriesSettings& s = chart.series[0].settings;
    s.role = 1;
    s.rangeFlags = kFromValueGiven | kToValueGiven | kStackLimitsFixed;
    s.fromValue = -2.5;
    s.toValue = 1e20;
    std::strcpy(s.relatedX, "Xs");
    std::strcpy(s.relatedSigma, "Err");
    s.numberFormat.kind = 3;
    ASSERT_TRUE(page.Exchange(false, &chart, 0));
    EXPECT_EQ(EditOf(page, 205)->text(), "-2.5");
    EXPECT_EQ(EditOf(page, 405)->text(), "Xs");
    EXPECT_EQ(page.NumberFormat().kind, 3);
    page.Item<QCheckBox>(216)->setChecked(false);
    EditOf(page, 257)->setText("7");
    EditOf(page, 405)->setText("Other  \t");
    ASSERT_TRUE(page.Exchange(true, &chart, 0));
    EXPECT_EQ(s.rangeFlags, kToValueGiven | kStackLimitsFixed);
    EXPECT_EQ(s.fromValue, -2.5);
    EXPECT_EQ(s.toValue, 7.0);
    EXPECT_STREQ(s.relatedX, "Other");
    EXPECT_STREQ(s.relatedSigma, "Err");
    ASSERT_TRUE(page.Exchange(false, &chart, 0));
    EXPECT_EQ(EditOf(page, 205)->text(), "");
    EXPECT_FALSE(page.Item<QCheckBox>(216)->isChecked());
}

TEST_F(DataPageTest, ADecimalCommaIsReadAndLettersAreRefused) {
    const SeparatorSet saved = UserSeparators();
    UserSeparators().decimal = ',';
    UserSeparators().thousands = '.';
    UserSeparators().list = ';';
    CChart chart(kChart2D);
    InitSeries(chart, 0);
    chart.settings.seriesCount = 1;
    chart.series[0].settings.role = 1;
    ASSERT_TRUE(page.Exchange(false, &chart, 0));
    page.Item<QCheckBox>(216)->setChecked(true);
    EditOf(page, 205)->setText("  12,5");
    EXPECT_TRUE(page.Exchange(true, &chart, 0));
    EXPECT_EQ(chart.series[0].settings.fromValue, 12.5);
    page.Item<QCheckBox>(218)->setChecked(true);
    EditOf(page, 257)->setText("abc");
    EXPECT_FALSE(page.Exchange(true, &chart, 0));
    EXPECT_EQ(ui.beeps, 1);
    EXPECT_FALSE(chart.series[0].settings.rangeFlags & kToValueGiven);
    UserSeparators() = saved;
}

namespace {

bool SameFields(const ContainerSettings& a, const ContainerSettings& b) {
    return a.columns == b.columns && a.rows == b.rows && a.horzSpacing == b.horzSpacing &&
           a.vertSpacing == b.vertSpacing && a.left == b.left && a.top == b.top &&
           a.right == b.right && a.bottom == b.bottom;
}

struct ContentsPageTest : ::testing::Test {
    ContentsPageTest() {
        InitContainerDefaults(c, nullptr, nullptr);
        c.settings.left = 20;
        c.settings.top = 30;
        c.settings.right = 219;
        c.settings.bottom = 129;
    }
    dialogtest::FakeUi ui;
    CContainerContentsPage page;
    CContainer c;
};

} // namespace

TEST_F(ContentsPageTest, FieldsShowTheirLabelsUnitsAndAcceptTheirRanges) {
    struct Case {
        int id;
        const char* label;
        const char* lowRefused;
        const char* low;
        const char* high;
        const char* highRefused;
    } cases[] = {
        {205, "Columns:", "0", "1", "10", "11"},
        {257, "Rows:", "0", "1", "10", "11"},
        {405, "Horizontal spacing:", "-1", "0", "255", "256"},
        {207, "Vertical spacing:", "-1", "0", "255", "256"},
        {1006, "Width:", "-1", "0", "10000", "10001"},
        {1005, "Height:", "-1", "0", "10000", "10001"},
    };
    ASSERT_TRUE(page.Exchange(false, c));
    EXPECT_EQ(EditOf(page, 1006)->text(), "200");
    EXPECT_EQ(EditOf(page, 1005)->text(), "100");
    for (int units : {215, 229, 1019, 1021}) {
        auto* combo = page.findChild<QComboBox*>(QStringLiteral("id%1").arg(units));
        ASSERT_NE(combo, nullptr) << units;
        EXPECT_EQ(combo->currentText(), "pixels");
    }
    for (const Case& k : cases) {
        QLineEdit* edit = EditOf(page, k.id);
        for (const char* text : {k.low, k.high}) {
            ASSERT_TRUE(page.Exchange(false, c));
            edit->setText(text);
            EXPECT_TRUE(page.Exchange(true, c)) << k.label << " " << text;
        }
        for (const char* text : {k.lowRefused, k.highRefused, "x"}) {
            ASSERT_TRUE(page.Exchange(false, c));
            const ContainerSettings before = c.settings;
            edit->setText(text);
            EXPECT_FALSE(page.Exchange(true, c)) << k.label << " " << text;
            EXPECT_TRUE(SameFields(before, c.settings)) << k.label;
        }
    }
    EXPECT_EQ(ui.beeps, 18);
}

TEST_F(ContentsPageTest, SizesMoveOnlyTheFarEdgesAndAGridOver10IsTakenBackUnchanged) {
    ASSERT_TRUE(page.Exchange(false, c));
    EditOf(page, 1006)->setText("0");
    EditOf(page, 1005)->setText("50");
    EditOf(page, 405)->setText("255");
    EditOf(page, 207)->setText("0");
    ASSERT_TRUE(page.Exchange(true, c));
    EXPECT_EQ(c.settings.left, 20);
    EXPECT_EQ(c.settings.right, 19);
    EXPECT_EQ(c.settings.top, 30);
    EXPECT_EQ(c.settings.bottom, 79);
    EXPECT_EQ(c.settings.horzSpacing, 255);
    EXPECT_EQ(c.settings.vertSpacing, 0);
    // The 101st chart grew the grid to 11 columns: the page takes that back as shown.
    c.settings.columns = 11;
    c.settings.rows = 10;
    ASSERT_TRUE(page.Exchange(false, c));
    EXPECT_TRUE(page.Exchange(true, c));
    EXPECT_EQ(c.settings.columns, 11);
    EditOf(page, 257)->setText("11"); // typed, not shown
    EXPECT_FALSE(page.Exchange(true, c));
    EXPECT_EQ(c.settings.rows, 10);
}

TEST(ContainerTitlesPage, TextsAndFontsRoundTrip) {
    dialogtest::FakeUi ui;
    CContainerTitlesPage page;
    CContainer c;
    InitContainerDefaults(c, nullptr, nullptr);
    std::strcpy(c.settings.titleText[0], "Sales");
    std::strcpy(c.settings.titleText[1], "2026");
    c.settings.titleFont[0].color = 0x123456;
    c.settings.titleFont[1].colorGiven = 1;
    ASSERT_TRUE(page.Exchange(false, c));
    EXPECT_EQ(EditOf(page, 205)->maxLength(), 127);
    EXPECT_EQ(EditOf(page, 205)->text(), "Sales");
    EditOf(page, 257)->setText(QString(127, 'x'));
    page.TitleFont().colorGiven = 1;
    CContainer out;
    InitContainerDefaults(out, nullptr, nullptr);
    ASSERT_TRUE(page.Exchange(true, out));
    EXPECT_STREQ(out.settings.titleText[0], "Sales");
    EXPECT_EQ(std::string(out.settings.titleText[1]), std::string(127, 'x'));
    EXPECT_EQ(out.settings.titleFont[0].color, 0x123456u);
    EXPECT_EQ(out.settings.titleFont[0].colorGiven, 1);
    EXPECT_EQ(out.settings.titleFont[1].colorGiven, 1);
}

} // namespace vl
