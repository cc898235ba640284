// Containers on the grid: clicks frame the upper one and move the frame, a cell click removes
// it, drags of an edge or of the whole container store the change once, and the scroll ranges
// reach a container's edges.

#include "containertest.h"
#include "formula/recalc.h"
#include "model/container.h"
#include "model/workbook.h"

#include <QScrollBar>
#include <QTest>
#include <tuple>

namespace vl {

namespace {

class GridContainers : public wndtest::ContainerTest {
protected:
    CWorksheet& Sheet() const { return *Book().tree.active; }
    CContainer& Add(uint16_t id, uint16_t column, uint32_t row, int32_t w, int32_t h) {
        auto c = NewBlockObject<CContainer>();
        InitContainerDefaults(*c, nullptr, nullptr);
        c->settings.id = id;
        c->settings.anchor = {column, row, 0};
        c->settings.left = 10;
        c->settings.top = 5;
        c->settings.right = 10 + w - 1;
        c->settings.bottom = 5 + h - 1;
        CContainer& ref = *c;
        LinkContainer(Sheet(), std::move(c));
        return ref;
    }
    DcRect RectOf(const CContainer& c) {
        DcRect r{};
        EXPECT_TRUE(View()->ContainerRect(c, r));
        return r;
    }
    void Press(QPoint p) { QTest::mousePress(View()->viewport(), Qt::LeftButton, {}, p); }
    void Release(QPoint p) { QTest::mouseRelease(View()->viewport(), Qt::LeftButton, {}, p); }
    void Render() {
        View()->InvalidateAll();
        View()->Render();
    }
};

} // namespace

TEST_F(GridContainers, ClicksFrameTheUpperOneAndACellClickRemovesTheFrame) {
    CContainer& lower = Add(1, 1, 1, 150, 100);
    CContainer& upper = Add(2, 1, 2, 150, 100); // overlaps the lower one
    Render();
    const DcRect a = RectOf(lower), b = RectOf(upper);
    const QPoint both(b.left + 30, b.top + 20);
    Press(both);
    Release(both);
    EXPECT_EQ(View()->CurrentContainer(), 2);
    // The frame's top-left handle is drawn in the highlight colour.
    View()->Render();
    EXPECT_EQ(View()->BackBuffer().pixel(b.left, b.top) & 0xFFFFFF, 0x0A246Au);
    // The lower one, clicked where only it lies, comes to the end of the list and takes the frame.
    const QPoint onlyLower(a.left + 30, a.top + 10);
    Press(onlyLower);
    Release(onlyLower);
    EXPECT_EQ(View()->CurrentContainer(), 1);
    EXPECT_EQ(Sheet().firstContainer, &upper);
    EXPECT_EQ(upper.next, &lower);
    View()->Render();
    EXPECT_NE(View()->BackBuffer().pixel(b.left + 75, b.bottom) & 0xFFFFFF, 0x0A246Au);
    // A cell click forgets it.
    const DcRect cell = View()->GetRangeRect({5, 12, 5, 12});
    Press({cell.left + 5, cell.top + 5});
    Release({cell.left + 5, cell.top + 5});
    EXPECT_EQ(View()->CurrentContainer(), 0);
    View()->Render();
    EXPECT_NE(View()->BackBuffer().pixel(a.left, a.top) & 0xFFFFFF, 0x0A246Au);
}

TEST_F(GridContainers, ARightEdgeDraggedAtTwiceTheZoomStoresHalfThePixels) {
    Sheet().view.scale = 200;
    CContainer& c = Add(3, 1, 1, 100, 60);
    Render();
    const DcRect r = RectOf(c);
    const int32_t undoBefore = Book().undo.current;
    const QPoint edge(r.right, (r.top + r.bottom) / 2);
    Press(edge);
    EXPECT_EQ(View()->CurrentDrag(), CWorksheetView::Drag::kContainer);
    View()->OnMouseMove(edge + QPoint(10, 3), Qt::LeftButton);
    View()->OnMouseMove(edge + QPoint(20, 7), Qt::LeftButton);
    EXPECT_EQ(View()->ContainerDragRect().right, edge.x() + 20);
    Release(edge + QPoint(20, 7));
    const ContainerSettings& s = c.settings;
    EXPECT_EQ(std::tuple(s.left, s.top, s.right, s.bottom),
              std::tuple(10, 5, 10 + 99 + 10, 5 + 59));
    EXPECT_EQ(Book().undo.current, undoBefore + 1);
    EXPECT_EQ(refreshes, 1);
    EXPECT_TRUE(Active()->IsModified());
}

TEST_F(GridContainers, AMoveKeepsTheSizeAndReanchors) {
    CContainer& c = Add(4, 1, 1, 100, 60);
    Render();
    const DcRect r = RectOf(c);
    const QPoint inside(r.left + 40, r.top + 30);
    Press(inside);
    View()->OnMouseMove(inside + QPoint(80, 40), Qt::LeftButton);
    Release(inside + QPoint(80, 40));
    const ContainerSettings& s = c.settings;
    EXPECT_EQ(std::tuple(s.right - s.left, s.bottom - s.top), std::tuple(99, 59));
    const DcRect moved = RectOf(c);
    EXPECT_EQ(std::tuple(moved.left, moved.top), std::tuple(r.left + 80, r.top + 40));
    // 10 + 80 passes column B's 73 pixels: the anchor moves one column right.
    EXPECT_EQ(std::tuple(s.anchor.column, s.left), std::tuple(2, 17));
    EXPECT_EQ(refreshes, 0);
    // A click without a move changes nothing and records nothing.
    const int32_t undo = Book().undo.current;
    Press({moved.left + 40, moved.top + 30});
    Release({moved.left + 40, moved.top + 30});
    EXPECT_EQ(Book().undo.current, undo);
}

TEST_F(GridContainers, ScrollRangesReachAContainersEdges) {
    Add(5, 40, 300, 200, 100); // right edge at 209 in column 42, lower one at 104 in row 305
    View()->UpdateScrollBars(true, true);
    EXPECT_EQ(View()->horizontalScrollBar()->maximum(), 42);
    EXPECT_EQ(View()->verticalScrollBar()->maximum(), 305);
}

} // namespace vl
