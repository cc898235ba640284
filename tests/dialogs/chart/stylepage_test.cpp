// The Style page and its advanced dialog.

#include "../dialogtest.h"
#include "dialogs/chart/stylepage.h"
#include "dialogs/combos.h"
#include "model/chart.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

namespace vl {

namespace {

struct StylePageTest : ::testing::Test {
    CChart& Chart(uint8_t type, uint8_t kind) {
        chart = NewBlockObject<CChart>(type);
        InitSeries(*chart, 0);
        chart->settings.seriesCount = 1;
        chart->series[0].settings.role = 1;
        chart->series[0].settings.kind = kind;
        return *chart;
    }
    SeriesSettings& S() { return chart->series[0].settings; }
    void Step(int delta) { page.StepSlice(delta); }

    dialogtest::FakeUi ui;
    CChartStylePage page;
    std::unique_ptr<CChart> chart;
};

} // namespace

TEST_F(StylePageTest, LabelsComboAndWhatEachKindEnables) {
    auto* labels = page.Item<QComboBox>(215);
    ASSERT_EQ(labels->count(), 5);
    EXPECT_EQ(labels->itemText(2), "Y-values (Data)");
    EXPECT_EQ(labels->itemText(4), "Y / X");
    struct Case {
        uint8_t type, kind;
        bool labels, line, symbol, slice;
    } cases[] = {
        {kChart2D, 1, true, false, false, false},  {kChart2D, 3, true, true, false, false},
        {kChart2D, 6, true, true, true, false},    {kChart2D, 5, true, false, false, true},
        {kChart3D, 7, false, false, false, false}, {kChart3D, 11, true, false, false, true},
    };
    for (const Case& c : cases) {
        Chart(c.type, c.kind);
        ASSERT_TRUE(page.Exchange(false, chart.get(), 0));
        const std::string tag = std::to_string(c.type) + "/" + std::to_string(c.kind);
        EXPECT_EQ(labels->isEnabled(), c.labels) << tag;
        EXPECT_EQ(page.Item<QWidget>(221)->isEnabled(), c.line) << tag;
        EXPECT_EQ(page.Item<QWidget>(220)->isEnabled(), c.symbol) << tag;
        EXPECT_EQ(page.Item<QWidget>(369)->isEnabled(), c.slice) << tag;
        EXPECT_TRUE(page.Item<QWidget>(216)->isEnabled()) << tag;
    }
    // A 3D series other than a pie offers only none and solid.
    Chart(kChart3D, 7);
    ASSERT_TRUE(page.Exchange(false, chart.get(), 0));
    EXPECT_EQ(page.Item<QComboBox>(229)->count(), 2);
}

TEST_F(StylePageTest, SaveWritesOnlyWhatTheFillShowed) {
    // A Line series keeps its fill.
    Chart(kChart2D, 3);
    S().fill.pattern = 7;
    ASSERT_TRUE(page.Exchange(false, chart.get(), 0));
    ASSERT_TRUE(page.Exchange(true, chart.get(), 0));
    EXPECT_EQ(S().fill.pattern, 7);
    // A 3D column series keeps its labels and label font.
    Chart(kChart3D, 7);
    S().labels = 3;
    S().font.color = 0x0000FF;
    ASSERT_TRUE(page.Exchange(false, chart.get(), 0));
    ASSERT_TRUE(page.Exchange(true, chart.get(), 0));
    EXPECT_EQ(S().labels, 3);
    EXPECT_EQ(S().font.color, 0x0000FFu);
    // A Column series keeps its line; a label code the combo lacks stays.
    Chart(kChart2D, 1);
    S().line.style = 5;
    S().labels = 9;
    ASSERT_TRUE(page.Exchange(false, chart.get(), 0));
    ASSERT_TRUE(page.Exchange(true, chart.get(), 0));
    EXPECT_EQ(S().line.style, 5);
    EXPECT_EQ(S().labels, 9);
}

TEST_F(StylePageTest, ScatterWithoutConnectingStoresStyle0InTheLinesColour) {
    Chart(kChart2D, 6);
    S().line = {2, 1, 0x00FF00};
    S().connectingLine = {1, 1, 0x0000FF};
    S().symbol = 9;
    ASSERT_TRUE(page.Exchange(false, chart.get(), 0));
    EXPECT_TRUE(page.Item<QCheckBox>(218)->isChecked());
    page.Item<QCheckBox>(218)->setChecked(false);
    ASSERT_TRUE(page.Exchange(true, chart.get(), 0));
    EXPECT_EQ(S().connectingLine.style, 0);
    EXPECT_EQ(S().connectingLine.colorGiven, 1);
    EXPECT_EQ(S().connectingLine.color, 0x00FF00u);
    EXPECT_EQ(S().symbol, 9);
    ASSERT_TRUE(page.Exchange(false, chart.get(), 0));
    EXPECT_FALSE(page.Item<QCheckBox>(218)->isChecked());
}

TEST_F(StylePageTest, SlicesStopAt1And16AndSteppingStoresTheSliceLeft) {
    Chart(kChart2D, 5);
    for (int k = 0; k < 16; ++k) S().sliceFills[k].pattern = uint8_t(k % 2);
    ASSERT_TRUE(page.Exchange(false, chart.get(), 0));
    Step(-1);
    EXPECT_EQ(page.Slice(), 0);
    EXPECT_EQ(page.Item<QLineEdit>(205)->text(), "Pie Style 1.");
    auto* pattern = page.Item<CPatternCombo>(229);
    pattern->setCurrentIndex(0); // none
    Step(1);
    EXPECT_EQ(page.Slice(), 1);
    EXPECT_EQ(page.SliceFill(0).pattern, 0);
    for (int i = 0; i < 20; ++i) Step(1);
    EXPECT_EQ(page.Slice(), 15);
    EXPECT_EQ(page.Item<QLineEdit>(205)->text(), "Pie Style 16.");
    // The slice number outlives a fill.
    ASSERT_TRUE(page.Exchange(false, chart.get(), 0));
    EXPECT_EQ(page.Item<QLineEdit>(205)->text(), "Pie Style 16.");
}

TEST_F(StylePageTest, AdvancedFieldsTakeTheirRanges) {
    struct Case {
        int row;
        const char* label;
        const char* lowest;
        const char* refusedLow;
    } cases[] = {
        {0, "&Column/Bar size:", "1", "0"}, {1, "&Stacked column/bar size:", "1", "0"},
        {2, "&Pie split:", "0", "-1"},      {3, "3D-line &width:", "1", "0"},
        {4, "3D-pie &tickness:", "1", "0"},
    };
    ChartProportions values{70, 70, 15, 70, 25};
    for (const Case& c : cases) {
        for (const char* text : {c.lowest, "100"}) {
            CChartStyleAdvancedDlg dlg(values, nullptr);
            dlg.Edit(c.row)->setText(text);
            dlg.accept();
            EXPECT_EQ(dlg.result(), QDialog::Accepted) << c.label << " " << text;
            EXPECT_EQ(values[c.row], QString(text).toInt()) << c.label;
        }
        for (const char* text : {c.refusedLow, "101"}) {
            const ChartProportions before = values;
            CChartStyleAdvancedDlg dlg(values, nullptr);
            dlg.Edit(c.row)->setText(text);
            dlg.accept();
            EXPECT_NE(dlg.result(), QDialog::Accepted) << c.label << " " << text;
            EXPECT_EQ(values, before) << c.label;
        }
        CChartStyleAdvancedDlg dlg(values, nullptr);
        const auto labels = dlg.findChildren<QLabel*>();
        EXPECT_TRUE(std::any_of(labels.begin(), labels.end(), [&](QLabel* l) {
            return l->text() == c.label;
        })) << c.label;
    }
    EXPECT_EQ(ui.beeps, 10);
}

TEST_F(StylePageTest, ProportionsGoToTheChartForAnyRole) {
    Chart(kChart2D, 1);
    S().role = 3;
    chart->settings.pieSplit = 33;
    ASSERT_TRUE(page.Exchange(false, chart.get(), 0));
    EXPECT_EQ(page.Proportions()[2], 33);
    page.Proportions()[2] = 0;
    ASSERT_TRUE(page.Exchange(true, chart.get(), 0));
    EXPECT_EQ(chart->settings.pieSplit, 0);
}

} // namespace vl
