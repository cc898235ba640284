// The Grid page and its gridline dialog.

#include "../dialogtest.h"
#include "dialogs/chart/gridpage.h"
#include "dialogs/combos.h"
#include "model/chart.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <algorithm>
#include <cmath>
#include <vector>

namespace vl {

namespace {

struct GridPageTest : ::testing::Test {
    GridPageTest() {
        InitSeries(chart, 0);
        chart.settings.seriesCount = 1;
        S().role = 1;
        S().kind = 1;
        page.editGridline = [this](double& value, BorderLine& line) {
            ++dialogs;
            value = nextValue;
            line = {uint8_t(3), 1, 0x0000FF};
            return answer;
        };
    }
    SeriesSettings& S() { return chart.series[0].settings; }
    void Add(double v) {
        nextValue = v;
        page.OnAddGridline();
    }

    dialogtest::FakeUi ui;
    CChartGridPage page;
    CChart chart{kChart2D};
    double nextValue = 0;
    bool answer = true;
    int dialogs = 0;
};

} // namespace

TEST_F(GridPageTest, After16GridlinesAddOnlyBeeps) {
    ASSERT_TRUE(page.Exchange(false, &chart, 0));
    for (int i = 0; i < 16; ++i) Add(i);
    EXPECT_EQ(page.List()->count(), 16);
    Add(99);
    EXPECT_EQ(page.List()->count(), 16);
    EXPECT_EQ(dialogs, 16);
    EXPECT_EQ(ui.beeps, 1);
    ASSERT_TRUE(page.Exchange(true, &chart, 0));
    EXPECT_EQ(S().userGridCount, 16);
    EXPECT_EQ(S().userGridValues[15], 15.0);
    EXPECT_EQ(S().userGridLines[15].style, 3);
    answer = false; // Cancel adds nothing
    delete page.List()->takeItem(0);
    Add(5);
    EXPECT_EQ(page.List()->count(), 15);
}

TEST_F(GridPageTest, RemovingTheSecondOfThreeKeepsTheOthersAndSelectsTheNewSecond) {
    ASSERT_TRUE(page.Exchange(false, &chart, 0));
    Add(1);
    Add(2);
    Add(3);
    page.List()->setCurrentRow(1);
    page.OnRemoveGridline();
    EXPECT_EQ(page.List()->count(), 2);
    EXPECT_EQ(page.List()->currentRow(), 1);
    EXPECT_EQ(page.Value(0), 1.0);
    EXPECT_EQ(page.Value(1), 3.0);
    page.OnRemoveGridline();
    EXPECT_EQ(page.List()->currentRow(), 0);
    page.OnRemoveGridline();
    EXPECT_EQ(page.List()->count(), 0);
    EXPECT_EQ(page.List()->currentRow(), -1);
    page.OnRemoveGridline(); // nothing selected: nothing happens
}

TEST_F(GridPageTest, ACategoriesSlotSavesOnlyItsTwoLineFormatsAndPiesAreOff) {
    S().role = 3;
    S().majorGrid = {4, 1, 0x00FF00};
    S().minorGrid = {2, 0, 0};
    S().userGridCount = 2;
    S().userGridValues[0] = 7;
    ASSERT_TRUE(page.Exchange(false, &chart, 0));
    EXPECT_TRUE(page.List()->isEnabled());
    EXPECT_EQ(page.List()->count(), 0);
    EXPECT_FALSE(page.Item<QWidget>(33049)->isEnabled());
    S().majorGrid = {};
    S().minorGrid = {};
    ASSERT_TRUE(page.Exchange(true, &chart, 0));
    EXPECT_EQ(S().majorGrid.style, 4);
    EXPECT_EQ(S().majorGrid.color, 0x00FF00u);
    EXPECT_EQ(S().minorGrid.style, 2);
    EXPECT_EQ(S().userGridCount, 2);
    EXPECT_EQ(S().userGridValues[0], 7.0);
    S().role = 1;
    S().kind = 11;
    ASSERT_TRUE(page.Exchange(false, &chart, 0));
    EXPECT_FALSE(page.List()->isEnabled());
    EXPECT_FALSE(page.Item<QWidget>(215)->isEnabled());
}

// A log axis leaves out gridlines at 0 or below; the page says so while it lists one, and
// keeps every value the user gave.
TEST_F(GridPageTest, ALogAxisSaysItLeavesOutGridlinesAtZeroOrBelow) {
    struct Case {
        uint8_t scale;
        std::vector<double> values;
        bool note;
    } cases[] = {
        {3, {5, 0}, true},         {3, {5, 1e-300}, false}, {3, {-2}, true},
        {1, {0.5, 8}, false},      {2, {-1e-300}, true},    {0, {0, -4}, false},
        {3, {std::nan("")}, true}, {4, {0}, false}, // a scale no page sets draws linear
    };
    for (const Case& c : cases) {
        S().scale = c.scale;
        S().userGridCount = uint8_t(c.values.size());
        std::copy(c.values.begin(), c.values.end(), S().userGridValues);
        ASSERT_TRUE(page.Exchange(false, &chart, 0));
        EXPECT_EQ(!page.LogNote()->isHidden(), c.note) << int(c.scale) << " " << c.values[0];
        ASSERT_TRUE(page.Exchange(true, &chart, 0));
        EXPECT_EQ(S().userGridCount, c.values.size());
    }
    EXPECT_EQ(page.LogNote()->text(), "A logarithmic axis draws no gridline at 0 or below.");
    // Adding, editing and removing lines update it.
    S().scale = 3;
    S().userGridCount = 1;
    S().userGridValues[0] = 10;
    ASSERT_TRUE(page.Exchange(false, &chart, 0));
    EXPECT_TRUE(page.LogNote()->isHidden());
    Add(0);
    EXPECT_FALSE(page.LogNote()->isHidden());
    page.List()->setCurrentRow(1);
    nextValue = 3;
    page.OnEditGridline();
    EXPECT_TRUE(page.LogNote()->isHidden());
    Add(-1);
    EXPECT_FALSE(page.LogNote()->isHidden());
    page.List()->setCurrentRow(2);
    page.OnRemoveGridline();
    EXPECT_TRUE(page.LogNote()->isHidden());
    // Another slot, or none, hides it.
    Add(-1);
    ASSERT_FALSE(page.LogNote()->isHidden());
    ASSERT_TRUE(page.Exchange(false, &chart, -1));
    EXPECT_TRUE(page.LogNote()->isHidden());
}

TEST(UserGridlineDlg, ShowsItsLabelsAndRefusesLetters) {
    dialogtest::FakeUi ui;
    CUserGridlineDlg dlg(2.5, {5, 1, 0xFF0000}, nullptr);
    EXPECT_EQ(dlg.windowTitle(), "User Defined Gridline");
    EXPECT_EQ(dlg.ValueEdit()->text(), "2.5");
    EXPECT_EQ(dlg.ValueEdit()->maxLength(), 329);
    const auto labels = dlg.findChildren<QLabel*>();
    QStringList texts;
    for (QLabel* l : labels) texts << l->text();
    EXPECT_TRUE(texts.contains("Gridline &value:"));
    EXPECT_TRUE(texts.contains("Gridline &style:"));
    dlg.ValueEdit()->setText("abc");
    dlg.accept();
    EXPECT_NE(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(ui.beeps, 1);
    dlg.ValueEdit()->setText("-4");
    dlg.accept();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(dlg.Value(), -4.0);
    EXPECT_EQ(dlg.Line().style, 5);
    EXPECT_EQ(dlg.Line().color, 0xFF0000u);
}

} // namespace vl
