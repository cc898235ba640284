// The container properties window of a workbook window: opened by a double click on a
// container, its Apply stored with one undo entry as a copy, and drags followed by it.

#include "containertest.h"
#include "dialogs/chart/chartpage.h"
#include "dialogs/chart/containerdlg.h"
#include "dialogs/chart/containeredit.h"
#include "formula/recalc.h"
#include "model/container.h"
#include "model/workbook.h"
#include "platform/core/alloc.h"
#include "resources/commandids.h"
#include "tests/common/waits.h"

#include <QLineEdit>
#include <QTest>
#include <QToolButton>
#include <cstring>

namespace vl {

namespace {

class ContainerApply : public wndtest::ContainerTest {
protected:
    void TearDown() override {
        SetAllocFailAfter(-1);
        ContainerTest::TearDown();
    }
    CContainer& Add(uint16_t id) {
        auto c = NewBlockObject<CContainer>();
        InitContainerDefaults(*c, nullptr, nullptr);
        c->settings.id = id;
        c->settings.anchor = {1, 1, 0};
        c->settings.left = 10;
        c->settings.top = 5;
        c->settings.right = 209;
        c->settings.bottom = 104;
        EXPECT_EQ(AddChartObject(*c, kChart2D), 0);
        AddChartSeries(*c->slots[0].chart);
        c->slots[0].chart->series[0].settings.role = 1;
        std::strcpy(c->slots[0].chart->series[0].settings.name, "old");
        CContainer& ref = *c;
        LinkContainer(*Book().tree.active, std::move(c));
        return ref;
    }
    CContainerPropertiesDlg& Open(CContainer& c) {
        Active()->OpenContainerProperties(c);
        return *Active()->ContainerProperties();
    }
    int UndoCount() const { return Book().undo.current + 1; }
};

} // namespace

TEST_F(ContainerApply, ApplyStoresACopyWithOneUndoEntryAndRefreshesTheCharts) {
    CContainer& c = Add(5);
    CContainerPropertiesDlg& dlg = Open(c);
    ASSERT_TRUE(dlg.isVisible());
    dlg.ChooseObject(CContainerPropertiesDlg::kAddXY);
    CContainer& work = dlg.Working();
    work.settings.right = 409; // wider
    std::strcpy(work.slots[0].chart->series[0].settings.name, "new");
    const int undo = UndoCount();
    dlg.ChooseObject(2);
    dlg.OnCommand(CContainerPropertiesDlg::kApply);
    EXPECT_EQ(UndoCount(), undo + 1);
    EXPECT_EQ(refreshes, 1);
    EXPECT_EQ(c.settings.objectCount, 2);
    EXPECT_EQ(c.settings.right, 409);
    EXPECT_EQ(c.selected, 0);
    EXPECT_STREQ(c.slots[0].chart->series[0].settings.name, "new");
    EXPECT_NE(c.slots[0].chart.get(), work.slots[0].chart.get());
    EXPECT_TRUE(Active()->IsModified());
    // Later edits in the window leave the worksheet alone.
    std::strcpy(work.slots[0].chart->series[0].settings.name, "later");
    EXPECT_STREQ(c.slots[0].chart->series[0].settings.name, "new");
    // Undo puts the old container back.
    Active()->SendCommand(ID_EDIT_UNDO);
    CContainer* back = FindContainer(*Book().tree.active, 5);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->settings.objectCount, 1);
    EXPECT_EQ(back->settings.right, 209);
}

TEST_F(ContainerApply, ACopyWhoseContainerWasDeletedChangesNothing) {
    CContainer& c = Add(5);
    CContainerPropertiesDlg& dlg = Open(c);
    UnlinkContainer(*Book().tree.active, &c);
    const int undo = UndoCount();
    dlg.OnCommand(CContainerPropertiesDlg::kApply);
    EXPECT_EQ(UndoCount(), undo);
    EXPECT_EQ(refreshes, 0);
    EXPECT_FALSE(Active()->IsModified());
}

TEST_F(ContainerApply, RunningOutOfMemoryAnywhereAppliesAllOrNothing) {
    CContainer& c = Add(5);
    CContainerPropertiesDlg& dlg = Open(c);
    dlg.ChooseObject(CContainerPropertiesDlg::kAdd3D);
    dlg.Working().settings.bottom = 304;
    bool applied = false;
    for (long n = 0; n < 200 && !applied; ++n) {
        SetAllocFailAfter(n);
        Active()->ApplyContainerEdits(dlg.Working());
        SetAllocFailAfter(-1);
        applied = c.settings.objectCount == 2;
        if (applied) {
            EXPECT_EQ(c.settings.bottom, 304) << n;
            EXPECT_EQ(c.slots[1].chart->settings.type, kChart3D) << n;
        } else {
            EXPECT_EQ(c.settings.bottom, 104) << n;
            ASSERT_NE(c.slots[0].chart, nullptr) << n;
            EXPECT_STREQ(c.slots[0].chart->series[0].settings.name, "old") << n;
            EXPECT_EQ(c.slots[0].chart->settings.seriesCount, 1) << n;
            EXPECT_EQ(c.slots[1].chart, nullptr) << n;
        }
    }
    EXPECT_TRUE(applied);
}

TEST_F(ContainerApply, ADoubleClickOpensTheWindowOnTheFirstObjectWithAnUndoEntry) {
    CContainer& c = Add(6);
    View()->InvalidateAll();
    View()->Render();
    DcRect r{};
    ASSERT_TRUE(View()->ContainerRect(c, r));
    const QPoint inside(r.left + 40, r.top + 30);
    QTest::mouseClick(View()->viewport(), Qt::LeftButton, {}, inside);
    ASSERT_EQ(View()->CurrentContainer(), 6);
    const int undo = UndoCount();
    QTest::mouseDClick(View()->viewport(), Qt::LeftButton, {}, inside);
    CContainerPropertiesDlg* dlg = Active()->ContainerProperties();
    ASSERT_NE(dlg, nullptr);
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_EQ(dlg->windowTitle(), "Container [id: 6]");
    EXPECT_EQ(dlg->SelectedObject(), 0);
    EXPECT_EQ(UndoCount(), undo + 1);
}

TEST_F(ContainerApply, ADragOnTheGridUpdatesTheOpenWindowsSizeFields) {
    CContainer& c = Add(8);
    CContainerPropertiesDlg& dlg = Open(c);
    dlg.ChooseObject(1); // the container, Contents/Size shown
    ASSERT_EQ(dlg.ShownPage(), CContainerPropertiesDlg::kChartPages);
    View()->InvalidateAll();
    View()->Render();
    DcRect r{};
    ASSERT_TRUE(View()->ContainerRect(c, r));
    const QPoint edge(r.right, (r.top + r.bottom) / 2);
    QTest::mousePress(View()->viewport(), Qt::LeftButton, {}, edge);
    View()->OnMouseMove(edge + QPoint(30, 0), Qt::LeftButton);
    QTest::mouseRelease(View()->viewport(), Qt::LeftButton, {}, edge + QPoint(30, 0));
    EXPECT_EQ(c.settings.right, 209 + 30);
    EXPECT_EQ(dlg.Working().settings.right, 209 + 30);
    EXPECT_EQ(dlg.Page(CContainerPropertiesDlg::kChartPages)->Item<QLineEdit>(1006)->text(), "230");
}

TEST_F(ContainerApply, TheWindowFollowsAContainerMovedOnTheGrid) {
    CContainer& c = Add(7);
    CContainerPropertiesDlg& dlg = Open(c);
    c.settings.left = 40;
    c.settings.right = 239;
    c.settings.anchor = {3, 4, 0};
    Active()->SyncPlacement(c);
    EXPECT_EQ(dlg.Working().settings.left, 40);
    EXPECT_EQ(dlg.Working().settings.anchor.column, 3);
}

// Rows inserted while the window is open move the container and rewrite its series; the
// window's copy follows where the user has not changed it, so Apply keeps the new place
// and ranges, and both Undos bring the copy back with the container.
TEST_F(ContainerApply, TheWindowsCopyFollowsRowsInsertedMeanwhile) {
    CContainer& c = Add(9);
    CChart& chart = *c.slots[0].chart;
    AddChartSeries(chart);
    chart.series[1].settings.role = 1;
    std::strcpy(chart.series[0].settings.dataArray, "\\Worksheet1!R2C1:R6C1");
    std::strcpy(chart.series[1].settings.dataArray, "\\Worksheet1!R1C2:R3C2");
    CContainerPropertiesDlg& dlg = Open(c);
    // The user's own change, not applied yet: a wider frame, typed into the size page.
    dlg.ChooseObject(1);
    QLineEdit* width = dlg.Page(CContainerPropertiesDlg::kChartPages)->Item<QLineEdit>(1006);
    ASSERT_NE(width, nullptr);
    dlg.activateWindow();
    ASSERT_TRUE(testwait::UntilActive(&dlg));
    width->setFocus();
    ASSERT_TRUE(testwait::UntilFocused(width));
    ASSERT_EQ(width->text(), "200");
    ASSERT_TRUE(testwait::PressKey(Qt::Key_End));
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(testwait::PressKey(Qt::Key_Backspace));
    for (Qt::Key digit : {Qt::Key_4, Qt::Key_0, Qt::Key_0}) ASSERT_TRUE(testwait::PressKey(digit));
    ASSERT_EQ(width->text(), "400");
    frame->activateWindow();
    ASSERT_TRUE(testwait::UntilActive(frame.get()));
    SelectRange(0, 0, 0, 0);
    ASSERT_TRUE(testwait::UntilFocused(View()));
    ASSERT_TRUE(testwait::PressKey(Qt::Key_R, Qt::ControlModifier));
    ASSERT_TRUE(testwait::Until([&] { return c.settings.anchor.row == 2; }));
    struct Shape {
        uint32_t row;
        int32_t right;
        const char* first;
        const char* second;
    };
    auto expect = [](const CContainer& k, const Shape& want) {
        EXPECT_EQ(k.settings.anchor.row, want.row);
        EXPECT_EQ(k.settings.anchor.column, 1);
        EXPECT_EQ(k.settings.right, want.right);
        EXPECT_STREQ(k.slots[0].chart->series[0].settings.dataArray, want.first);
        EXPECT_STREQ(k.slots[0].chart->series[1].settings.dataArray, want.second);
    };
    const Shape moved{2, 409, "\\Worksheet1!R3C1:R7C1", "\\Worksheet1!R2C2:R4C2"};
    const Shape original{1, 209, "\\Worksheet1!R2C1:R6C1", "\\Worksheet1!R1C2:R3C2"};
    expect(dlg.Working(), moved);
    QTest::mouseClick(dlg.Button(CContainerPropertiesDlg::kApply), Qt::LeftButton);
    CContainer* applied = FindContainer(*Book().tree.active, 9);
    ASSERT_NE(applied, nullptr);
    expect(*applied, moved);
    // Undo the Apply, then the rows: the copy follows the container back each time.
    for (const Shape& back : {Shape{2, 209, moved.first, moved.second}, original}) {
        frame->activateWindow();
        ASSERT_TRUE(testwait::UntilActive(frame.get()));
        View()->setFocus();
        ASSERT_TRUE(testwait::UntilFocused(View()));
        const int undo = UndoCount();
        ASSERT_TRUE(testwait::PressKey(Qt::Key_Z, Qt::ControlModifier));
        ASSERT_TRUE(testwait::Until([&] { return UndoCount() == undo - 1; }));
        CContainer* now = FindContainer(*Book().tree.active, 9);
        ASSERT_NE(now, nullptr);
        expect(*now, back);
        expect(dlg.Working(), back);
    }
}

} // namespace vl
