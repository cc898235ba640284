// The grid's mouse, wheel and scroll bars: clicks on cells and headings, resize drags on the
// fake clock, drag selection with its auto-scroll, the wheel's notches and the thumb.

#include "formula/edit/sizecommands.h"
#include "model/workbook.h"
#include "render/metrics.h"
#include "wndtest.h"
#include "workbookwnd/mousewheelwnd.h"

#include <QApplication>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>

namespace vl {

namespace {

class GridTest : public wndtest::WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        ASSERT_NE(NewWindow(), nullptr);
        View()->Render();
    }
    CWorksheet& Sheet() const { return *Book().tree.active; }
    // The right gridline of a column in the heading band and the middle of the band.
    int BorderX(uint16_t column) { return View()->GetRangeRect({column, 0, column, 0}).right; }
    int LeftX(uint16_t column) { return View()->GetRangeRect({column, 0, column, 0}).left; }
    int BandY() const { return View()->HeadingHeight() / 2; }
    void Press(QPoint p, Qt::KeyboardModifiers m = Qt::NoModifier) {
        QTest::mousePress(View()->viewport(), Qt::LeftButton, m, p);
    }
    void Release(QPoint p) { QTest::mouseRelease(View()->viewport(), Qt::LeftButton, {}, p); }
    void Wheel(int delta, Qt::KeyboardModifiers m = Qt::NoModifier) {
        const QPointF at(200, 200);
        QWheelEvent event(at, View()->viewport()->mapToGlobal(at), QPoint(), QPoint(0, delta),
                          Qt::NoButton, m, Qt::NoScrollPhase, false);
        QApplication::sendEvent(View()->viewport(), &event);
    }
    int Width(uint16_t column) const { return GetColumnWidth(Sheet(), column, 100); }
};

TEST_F(GridTest, ClicksNearAHeadingBorderResizeAndFartherInSelect) {
    struct Case {
        int offset; // from the right border of column B
        bool resizes;
    };
    for (const Case& c : {Case{-2, true}, Case{2, true}, Case{-3, true}, Case{-4, false}}) {
        Press({BorderX(1) + c.offset, BandY()});
        EXPECT_EQ(View()->CurrentDrag() == CWorksheetView::Drag::kColumnResize, c.resizes)
            << c.offset;
        Release({BorderX(1) + c.offset, BandY()});
        if (!c.resizes) {
            EXPECT_EQ(View()->Selection().c1, 1);
            EXPECT_EQ(View()->Selection().r2, kLastRow);
        }
    }
}

TEST_F(GridTest, AResizeAppliesAfterTheMouseRestsAndStopsAtTheLimit) {
    const int left = LeftX(1);
    Press({BorderX(1), BandY()});
    View()->OnMouseMove({left + 101, BandY()}, Qt::LeftButton);
    timers->Advance(300);
    EXPECT_EQ(Width(1), 72);
    EXPECT_FALSE(Active()->IsModified());
    timers->Advance(100);
    EXPECT_EQ(Width(1), 100);
    EXPECT_TRUE(Active()->IsModified());
    // Moving starts the rest over.
    View()->OnMouseMove({left + 51, BandY()}, Qt::LeftButton);
    timers->Advance(300);
    EXPECT_EQ(Width(1), 100);
    View()->OnMouseMove({left + 10000, BandY()}, Qt::LeftButton);
    EXPECT_EQ(View()->ResizeLine(), left + 4096);
    Release({left + 10000, BandY()});
    EXPECT_EQ(Width(1), 4095);
    EXPECT_FALSE(timers->Armed());
    // The undo history kept the width from before the drag.
    EXPECT_GE(Book().undo.current, 0);
}

TEST_F(GridTest, AtTwiceTheZoomAColumnStoresHalfItsPixels) {
    Sheet().view.scale = 200;
    View()->InvalidateAll();
    View()->Render();
    const int left = LeftX(0);
    Press({BorderX(0), BandY()});
    View()->OnMouseMove({left + 102, BandY()}, Qt::LeftButton);
    Release({left + 102, BandY()});
    EXPECT_EQ(Sheet().formats.columns[0].width >> 1 & 0x0FFF, 50);
    EXPECT_EQ(GetColumnWidth(Sheet(), 0, 200), 100);
}

TEST_F(GridTest, RowBordersResizeRows) {
    const DcRect row = View()->GetRangeRect({0, 2, 0, 2});
    Press({View()->HeadingWidth() / 2, row.bottom - 1});
    EXPECT_EQ(View()->CurrentDrag(), CWorksheetView::Drag::kRowResize);
    View()->OnMouseMove({View()->HeadingWidth() / 2, row.top + 41}, Qt::LeftButton);
    Release({View()->HeadingWidth() / 2, row.top + 41});
    EXPECT_EQ(GetRowHeight(Sheet(), 2, 100), 40);
}

TEST_F(GridTest, DragSelectionScrollsOneLinePerTickAndStopsAtTheEdge) {
    const DcRect b2 = View()->GetRangeRect({1, 1, 1, 1});
    Press({b2.left + 5, b2.top + 5});
    EXPECT_EQ(View()->CurrentDrag(), CWorksheetView::Drag::kSelect);
    const QPoint below(b2.left + 5, View()->viewport()->height() + 20);
    View()->OnMouseMove(below, Qt::LeftButton);
    const uint32_t last = View()->Selection().r2;
    // Resting below the view: one row per 100 ms tick, nothing between ticks.
    timers->Advance(99);
    EXPECT_EQ(View()->Selection().r2, last);
    timers->Advance(1);
    EXPECT_EQ(View()->Selection().r2, last + 1);
    timers->Advance(900);
    EXPECT_EQ(View()->Selection().r2, last + 10);
    EXPECT_EQ(View()->Selection().r1, 1u);
    // Back over a cell the selection follows the pointer and the ticks stop.
    View()->OnMouseMove({b2.left + 5, b2.top + 5}, Qt::LeftButton);
    Release({b2.left + 5, b2.top + 5});
    EXPECT_FALSE(timers->Armed());
    // At the last column the ticks end by themselves.
    View()->SetScrollPosition(0, kLastColumn - 3);
    View()->Render();
    const DcRect near = View()->GetRangeRect({kLastColumn - 2, 1, kLastColumn - 2, 1});
    Press({near.left + 5, near.top + 5});
    View()->OnMouseMove({View()->viewport()->width() + 30, near.top + 5}, Qt::LeftButton);
    timers->Advance(5000);
    EXPECT_EQ(View()->Selection().c2, kLastColumn);
    EXPECT_FALSE(timers->Armed());
    Release({near.left + 5, near.top + 5});
}

TEST_F(GridTest, TheWheelMovesOneRowPerNotch) {
    struct Case {
        std::vector<int> deltas;
        Qt::KeyboardModifiers modifiers;
        uint32_t row;
    };
    const Case cases[] = {{{240}, Qt::NoModifier, 8},       {{60, 60}, Qt::NoModifier, 9},
                          {{-60, -60}, Qt::NoModifier, 11}, {{60, -60, -60}, Qt::NoModifier, 11},
                          {{240}, Qt::ControlModifier, 10}, {{-360}, Qt::NoModifier, 13}};
    for (const Case& c : cases) {
        Select(0, 10);
        for (int delta : c.deltas) Wheel(delta, c.modifiers);
        EXPECT_EQ(View()->Selection().r1, c.row) << c.deltas.front();
    }
}

TEST_F(GridTest, TheThumbFollowsTheCursorAndTheRangeGrows) {
    QScrollBar* vertical = View()->verticalScrollBar();
    QScrollBar* horizontal = View()->horizontalScrollBar();
    for (int i = 0; i < 3; ++i) Key(Qt::Key_Down);
    Key(Qt::Key_Right);
    EXPECT_EQ(vertical->value(), 3);
    EXPECT_EQ(horizontal->value(), 1);
    EXPECT_GE(vertical->maximum(), 3);
    Select(4, 60);
    Key(Qt::Key_Down);
    EXPECT_EQ(vertical->value(), 61);
    EXPECT_EQ(vertical->maximum(), 61);
    Key(Qt::Key_PageUp);
    EXPECT_EQ(uint32_t(vertical->value()), View()->Selection().r1);
    // A step of the bar moves the cursor, not only the view.
    vertical->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(uint32_t(vertical->value()), View()->Selection().r1);
    // Dragging the thumb moves the view and leaves the cursor.
    const CellRange before = View()->Selection();
    const uint32_t first = View()->FirstRow();
    vertical->setSliderDown(true);
    vertical->setSliderPosition(vertical->value() + 2);
    vertical->setSliderPosition(vertical->value() + 10);
    vertical->setSliderDown(false);
    EXPECT_EQ(View()->FirstRow(), first + 10);
    EXPECT_EQ(View()->Selection().r1, before.r1);
}

TEST_F(GridTest, CtrlPageDownGoesToTheLastUsedRow) {
    CellBuffer b;
    ASSERT_TRUE(MakeNumberCell(b, 0, 5000, 1));
    CellCursor cursor;
    ASSERT_TRUE(Sheet().cells.PutCell(b.bytes, cursor));
    Key(Qt::Key_PageDown, Qt::ControlModifier);
    EXPECT_EQ(View()->Selection().r1, 5000u);
    EXPECT_GT(View()->FirstRow(), 4900u);
    Key(Qt::Key_PageUp, Qt::ControlModifier);
    EXPECT_EQ(View()->Selection().r1, 0u);
    EXPECT_EQ(View()->FirstRow(), 0u);
}

TEST_F(GridTest, TheMiddleButtonScrollsTowardsThePointer) {
    Select(5, 40);
    const QPoint origin = View()->viewport()->mapToGlobal(QPoint(300, 200));
    QTest::mouseClick(View()->viewport(), Qt::MiddleButton, {}, QPoint(300, 200));
    CMouseWheelWnd* wnd = View()->AutoScrollWindow();
    ASSERT_NE(wnd, nullptr);
    const int half = wnd->width() / 2;
    struct Case {
        QPoint offset;
        int cursor;
        int pause;
        int columns; // the cursor's move
        int rows;
    };
    const Case cases[] = {{{0, 0}, 449, 0, 0, 0},
                          {{half + 3, 0}, 449, 0, 0, 0},
                          {{half + 4, 0}, 450, 400, 1, 0},
                          {{0, -(half + 16)}, 452, 100, 0, -1},
                          {{-(half + 31), half + 16}, 457, 0, -1, 1},
                          {{half + 20, -(half + 40)}, 451, 0, 1, -1}};
    for (const Case& c : cases) {
        const CellRange before = View()->Selection();
        EXPECT_EQ(wnd->CursorId(origin + c.offset), c.cursor)
            << c.offset.x() << "," << c.offset.y();
        EXPECT_EQ(wnd->Tick(origin + c.offset), c.pause) << c.offset.x() << "," << c.offset.y();
        EXPECT_EQ(int(View()->Selection().c1) - int(before.c1), c.columns);
        EXPECT_EQ(int64_t(View()->Selection().r1) - int64_t(before.r1), c.rows);
    }
    // Far away a whole page goes by each tick.
    const uint32_t row = View()->Selection().r1;
    wnd->Tick(origin + QPoint(0, half + 60));
    EXPECT_GT(View()->Selection().r1, row + 5);
    wnd->hide();
    EXPECT_FALSE(timers->Armed());
}

TEST_F(GridTest, AColumnBorderDraggedPastItsLeftEdgeGivesWidthZero) {
    // C's right border dragged to points around its own left edge, by mouse events on the
    // heading band; the last pixel that keeps one pixel of width and the first that gives none.
    struct Case {
        int fromLeft; // pixels right of the column's left edge
        int width;
    };
    const Case cases[] = {{2, 1}, {1, 0}, {0, 0}, {-1, 0}, {-40, 0}};
    for (const Case& c : cases) {
        ASSERT_TRUE(SetLineSizeCommand(Book(), true, 2, 64) == CommandResult::kDone);
        View()->InvalidateAll();
        View()->Render();
        const int left = LeftX(2);
        Press({BorderX(2), BandY()});
        ASSERT_EQ(View()->CurrentDrag(), CWorksheetView::Drag::kColumnResize) << c.fromLeft;
        const QPoint to(left + c.fromLeft, BandY());
        QMouseEvent move(QEvent::MouseMove, QPointF(to),
                         View()->viewport()->mapToGlobal(QPointF(to)), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(View()->viewport(), &move);
        Release(to);
        EXPECT_EQ(Width(2), c.width) << c.fromLeft;
        EXPECT_EQ(Sheet().formats.columns[2].width & 1, 1) << c.fromLeft; // a size of its own
        // Its neighbours keep their widths.
        EXPECT_EQ(Width(1), GetDefaultColumnWidth()) << c.fromLeft;
        EXPECT_EQ(Width(3), GetDefaultColumnWidth()) << c.fromLeft;
    }
}

} // namespace

} // namespace vl
