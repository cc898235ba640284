// A chart inserted over a table as the user meets it: the properties window takes the
// selection's reference, the status bar names the next step until Apply draws the chart, a
// second series added by Add Series and Reference leaves the first as it was, and the
// selection's highlight never paints over a container.

#include "app/localeseparators.h"
#include "app/statusbarwnd.h"
#include "charts/axislabel.h"
#include "charts/axismap.h"
#include "charts/points.h"
#include "charts/seriesdata.h"
#include "dialogs/chart/chartpage.h"
#include "dialogs/chart/containerdlg.h"
#include "dialogs/chart/containeredit.h"
#include "formula/recalc.h"
#include "model/container.h"
#include "model/workbook.h"
#include "resources/commandids.h"
#include "wndtest.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <string>
#include <vector>

namespace vl {

namespace {

class ChartSteps : public wndtest::WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        ASSERT_NE(NewWindow(), nullptr);
        InstallChartRefresh();
    }
    void TearDown() override {
        SetChartRefresh(nullptr);
        WindowTest::TearDown();
    }
    CContainerPropertiesDlg& Dlg() const { return *Active()->ContainerProperties(); }
    void Press(const char* button) {
        auto* b = Dlg().findChild<QToolButton*>(QString::fromLatin1(button));
        ASSERT_NE(b, nullptr) << button;
        QTest::mouseClick(b, Qt::LeftButton);
        Settle();
    }
    QString Status() const { return frame->StatusBarWnd()->currentMessage(); }
    // Selects from the cell by Shift and the arrow keys on the grid.
    void SelectBy(uint16_t column, uint32_t row, int right, int down) {
        Select(column, row);
        View()->activateWindow();
        View()->setFocus();
        // The grid itself takes the keys: the properties window may hold the focus.
        for (int i = 0; i < right; ++i) QTest::keyClick(View(), Qt::Key_Right, Qt::ShiftModifier);
        for (int i = 0; i < down; ++i) QTest::keyClick(View(), Qt::Key_Down, Qt::ShiftModifier);
        Settle();
    }
    std::vector<std::string> StoredFormulas() const {
        std::vector<std::string> out;
        const CContainer* c = Book().tree.active->firstContainer;
        const CChart* chart = c ? c->slots[0].chart.get() : nullptr;
        for (int i = 0; chart && i < chart->settings.seriesCount; ++i)
            out.push_back(chart->series[i].settings.dataArray);
        return out;
    }
};

} // namespace

TEST_F(ChartSteps, AddSeriesThenApplyDrawsTheTableAndTheStatusSaysEachStep) {
    // A table of two columns and three rows, selected from its top-left corner.
    for (uint32_t r = 0; r < 3; ++r) {
        Enter(0, r, QString::number(r + 1));
        Enter(1, r, QString::number(10 * (r + 1)));
    }
    SelectBy(0, 0, 1, 2);
    ASSERT_EQ(View()->Selection(), (CellRange{0, 0, 1, 2}));
    Command(ID_CHART_2D);
    ASSERT_NE(Active()->ContainerProperties(), nullptr);
    ASSERT_TRUE(Dlg().isVisible());
    auto* formula = Dlg().findChild<QLineEdit*>(QStringLiteral("id257"));
    EXPECT_EQ(formula->text(), QStringLiteral("=\\Worksheet1!$A$1:$B$3"));
    // Nothing is drawn yet: the chart has no series, and the status bar says why.
    EXPECT_EQ(StoredFormulas(), std::vector<std::string>{});
    EXPECT_TRUE(Status().startsWith(QStringLiteral("Press Add Series"))) << Status().toStdString();

    Press("id33047");
    ASSERT_EQ(Dlg().SelectedChart()->settings.seriesCount, 1);
    EXPECT_STREQ(Dlg().SelectedChart()->series[0].settings.dataArray, "=\\Worksheet1!R1C1:R3C2");
    EXPECT_EQ(StoredFormulas(), std::vector<std::string>{}) << "not applied yet";
    EXPECT_TRUE(Status().startsWith(QStringLiteral("Series 1 added. Press Apply")))
        << Status().toStdString();

    Press("id33045");
    EXPECT_EQ(StoredFormulas(), std::vector<std::string>{"=\\Worksheet1!R1C1:R3C2"});
    EXPECT_TRUE(Status().isEmpty()) << Status().toStdString();
    const CContainer* c = Book().tree.active->firstContainer;
    EXPECT_TRUE(c->slots[0].chart->flags & kChartScalesValid);
    EXPECT_EQ(c->slots[0].chart->series[0].points.ItemCount(), 6u);
}

// A column chart of values all equal, two of them or one alone, draws its columns: the
// value axis runs from zero past them (0 to 10 for 7), and every column stands above it.
TEST_F(ChartSteps, EqualValuesDrawTheirColumnsFromZero) {
    for (const uint32_t rows : {2u, 1u}) {
        SCOPED_TRACE(rows);
        ASSERT_NE(NewWindow(), nullptr);
        for (uint32_t r = 0; r < rows; ++r) Enter(0, r, QStringLiteral("7"));
        SelectBy(0, 0, 0, int(rows) - 1);
        Command(ID_CHART_2D);
        ASSERT_NE(Active()->ContainerProperties(), nullptr);
        Press("id33047");
        Press("id33045");
        const CContainer* c = Book().tree.active->firstContainer;
        ASSERT_NE(c, nullptr);
        ASSERT_TRUE(c->slots[0].chart->flags & kChartScalesValid);
        CChartSeries& s = c->slots[0].chart->series[0];
        EXPECT_EQ(std::tuple(s.minimum, s.maximum), std::tuple(0.0, 10.0)); // one interval
        ASSERT_EQ(s.points.ItemCount(), rows);
        ForEachPoint(s.points, [](ChartPoint& p, uint32_t k) {
            EXPECT_EQ(p.flags, kPointPositive) << k;
            EXPECT_FLOAT_EQ(p.position, 0.7f) << k;
        });
        QTest::keyClick(&Dlg(), Qt::Key_Escape);
        Settle();
    }
}

// Under a German region the value axis writes its ticks as the cells write numbers.
TEST_F(ChartSteps, TheValueAxisTakesTheUsersSeparators) {
    ASSERT_TRUE(ApplyLocaleChoice(61, true)); // de_DE; the fixture takes the generic set back
    Active()->RefreshViews();
    Enter(0, 0, QStringLiteral("0,25"));
    Enter(0, 1, QStringLiteral("0,5"));
    SelectBy(0, 0, 0, 1);
    Command(ID_CHART_2D);
    ASSERT_NE(Active()->ContainerProperties(), nullptr);
    Press("id33047");
    Press("id33045");
    const CContainer* c = Book().tree.active->firstContainer;
    ASSERT_NE(c, nullptr);
    ASSERT_TRUE(c->slots[0].chart->flags & kChartScalesValid);
    const CChartSeries& s = c->slots[0].chart->series[0];
    std::vector<std::string> ticks;
    std::string text;
    for (uint32_t k = 0; FormatAxisLabel(k, s, text) && k <= MajorIntervals(s); ++k)
        ticks.push_back(text);
    EXPECT_EQ(ticks, (std::vector<std::string>{"0", "0,5"}));
}

// A 2D chart's categories series "Month" named as the X domain of its data series: renamed
// "Mon" in the window's name field, the data series names it anew, and the Data page shows
// the X domain in a field the user may change.
TEST_F(ChartSteps, RenamingTheCategoriesSeriesCarriesIntoTheXDomain) {
    const char* months[] = {"Jan", "Feb", "Mar"};
    for (uint32_t r = 0; r < 3; ++r) {
        Enter(0, r, QString::fromLatin1(months[r]));
        Enter(1, r, QString::number(r + 1));
    }
    SelectBy(0, 0, 0, 2);
    Command(ID_CHART_2D);
    ASSERT_NE(Active()->ContainerProperties(), nullptr);
    auto* type = Dlg().findChild<QComboBox*>(QStringLiteral("id215"));
    auto* name = Dlg().findChild<QLineEdit*>(QStringLiteral("id205"));
    auto* list =
        Dlg().findChild<QListWidget*>(QStringLiteral("id1020"), Qt::FindDirectChildrenOnly);
    ASSERT_TRUE(type && name && list);
    // Type a name into the row: all of it replaced by the keys.
    auto typeName = [&](const char* text) {
        name->setFocus();
        QTest::keyClick(name, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(name, QString::fromLatin1(text));
        Settle();
    };
    type->setCurrentIndex(PositionOfRole(3));
    typeName("Month");
    Press("id33047");
    // The second series: Add Series, its type and name, and its cells by Reference.
    Press("id33047");
    type->setCurrentIndex(PositionOfRole(1));
    typeName("Sales");
    SelectBy(1, 0, 0, 2);
    Press("id33046");
    Press("id33045");
    list->setCurrentRow(0);
    list->setCurrentRow(1);
    Settle();
    ASSERT_EQ(Dlg().SelectedChart()->settings.seriesCount, 2);
    // The data series' X domain, typed on the Data page.
    Dlg().Tabs()->setCurrentIndex(0);
    auto* domain = Dlg().Page(0)->findChild<QLineEdit*>(QStringLiteral("id405"));
    ASSERT_NE(domain, nullptr);
    ASSERT_TRUE(domain->isEnabled());
    domain->setFocus();
    QTest::keyClicks(domain, QStringLiteral("month"));
    Press("id33045");
    const CContainer* c = Book().tree.active->firstContainer;
    ASSERT_NE(c, nullptr);
    ASSERT_STREQ(c->slots[0].chart->series[1].settings.relatedX, "month");
    ASSERT_STREQ(c->slots[0].chart->series[0].settings.name, "Month");
    ASSERT_EQ(c->slots[0].chart->series[0].settings.role, 3);
    // The categories series renamed.
    list->setCurrentRow(0);
    Settle();
    ASSERT_EQ(name->text(), QStringLiteral("Month"));
    typeName("Mon");
    Press("id33045");
    const CChart& chart = *c->slots[0].chart;
    EXPECT_STREQ(chart.series[0].settings.name, "Mon");
    EXPECT_STREQ(chart.series[1].settings.relatedX, "Mon");
    EXPECT_STREQ(chart.series[1].settings.name, "Sales");
    EXPECT_STREQ(chart.series[0].settings.relatedX, "");
    list->setCurrentRow(1);
    Settle();
    EXPECT_TRUE(domain->isEnabled());
    EXPECT_EQ(domain->text(), QStringLiteral("Mon"));
}

TEST_F(ChartSteps, ASecondSeriesByAddSeriesAndReferenceKeepsTheFirst) {
    SelectBy(0, 0, 0, 3);
    Command(ID_CHART_2D);
    Press("id33047");
    // The second series: Add Series first, then the new cells by Reference.
    SelectBy(2, 1, 1, 0);
    Press("id33047");
    EXPECT_TRUE(Status().startsWith(QStringLiteral("Series 2 added"))) << Status().toStdString();
    Press("id33046");
    EXPECT_TRUE(Status().startsWith(QStringLiteral("Series 2 now reads these cells")))
        << Status().toStdString();
    Press("id33045");
    EXPECT_EQ(StoredFormulas(),
              (std::vector<std::string>{"=\\Worksheet1!R1C1:R4C1", "=\\Worksheet1!R2C3:R2C4"}));
    // Reference with no series selected only fills the row: the next step is Add Series.
    Press("id33048");
    Press("id33048");
    ASSERT_EQ(Dlg().SelectedChart()->settings.seriesCount, 0);
    Press("id33046");
    EXPECT_TRUE(Status().startsWith(QStringLiteral("Press Add Series"))) << Status().toStdString();
    EXPECT_EQ(StoredFormulas().size(), 2u) << "nothing applied";
    // Closed, the window's next step is no longer shown.
    QTest::keyClick(&Dlg(), Qt::Key_Escape);
    Settle();
    EXPECT_FALSE(Dlg().isVisible());
    EXPECT_TRUE(Status().isEmpty()) << Status().toStdString();
}

TEST_F(ChartSteps, TheHighlightStopsAtEveryContainerAndComesBackWhenItMoves) {
    Command(ID_EMPTY_CONTAINER);
    Active()->ContainerProperties()->hide();
    CContainer* c = Book().tree.active->firstContainer;
    ASSERT_NE(c, nullptr);
    DcRect box{};
    ASSERT_TRUE(View()->ContainerRect(*c, box));
    auto region = [&] {
        return View()->Render().copy(box.left, box.top, box.right - box.left + 1,
                                     box.bottom - box.top + 1);
    };
    auto fresh = [&] {
        View()->InvalidateAll();
        return region();
    };
    Select(60, 1000);
    const QImage alone = fresh();
    // Whole columns, whole rows and a box over the container, each painted incrementally
    // from the previous selection and then from scratch.
    const CellRange over[] = {{0, 0, 30, 0x1FFFFF}, {0, 0, 2046, 60}, {0, 0, 20, 40}};
    for (const CellRange& range : over) {
        View()->SetSelection(range);
        View()->RepaintHighlight();
        EXPECT_EQ(region(), alone) << range.c2 << " " << range.r2;
        EXPECT_EQ(fresh(), alone) << range.c2 << " " << range.r2;
    }
    // Outside the container the same selection is highlighted.
    const QImage& whole = View()->Render();
    const QPoint outside(box.right + 20, box.bottom + 20);
    const QRgb highlighted = whole.pixel(outside);
    Select(60, 1000);
    EXPECT_NE(View()->Render().pixel(outside), highlighted);
    // Moved away with only its old place repainted, the highlight taken back and drawn
    // anew around it gives the picture a full repaint gives.
    View()->SetSelection(over[2]);
    View()->RepaintHighlight();
    View()->RedrawContainer(c->settings.id, true);
    c->settings.anchor = {40, 200, 0};
    View()->SetSelection({1, 2, 5, 9});
    View()->RepaintHighlight();
    const QImage incremental = View()->Render().copy();
    View()->InvalidateAll();
    EXPECT_EQ(View()->Render(), incremental);
}

} // namespace vl
