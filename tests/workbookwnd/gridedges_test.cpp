// The grid at its edges, through its widgets: the frame drag's first step of each direction,
// the heading band after a jump to the last column or row, and the automatic height of rows
// of small and large text.

#include "formula/edit/sizecommands.h"
#include "model/formatattribute.h"
#include "model/rangestyle.h"
#include "model/workbook.h"
#include "render/metrics.h"
#include "resources/commandids.h"
#include "wndtest.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTest>

namespace vl {

namespace {

class GridEdgesTest : public wndtest::WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        ASSERT_NE(NewWindow(), nullptr);
        View()->Render();
    }
    CWorksheet& Sheet() const { return *Book().tree.active; }
    // The pointer moved over the grid with the left button held.
    void DragTo(QPoint p) {
        QMouseEvent event(QEvent::MouseMove, QPointF(p),
                          View()->viewport()->mapToGlobal(QPointF(p)), Qt::NoButton, Qt::LeftButton,
                          Qt::NoModifier);
        QApplication::sendEvent(View()->viewport(), &event);
    }
    // Types an address into the frame's address box and presses Enter.
    void GoTo(const char* address) {
        QLineEdit* edit = frame->AddressBox()->lineEdit();
        ASSERT_NE(edit, nullptr);
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, QString::fromLatin1(address));
        QTest::keyClick(edit, Qt::Key_Return);
        Settle();
    }
    // The first pixel of the rectangle of the shown grid that is not white, as "x,y".
    std::string NotWhite(int left, int top, int right, int bottom) {
        Settle();
        const QImage& shown = View()->Render();
        for (int y = top; y <= bottom; ++y)
            for (int x = left; x <= right; ++x)
                if (shown.pixel(x, y) != qRgb(255, 255, 255))
                    return std::to_string(x) + "," + std::to_string(y);
        return {};
    }
    void SetFont(uint16_t column, uint32_t row, uint8_t size, uint8_t weight) {
        FontRecord font = DefaultFontRecord();
        font.size = size;
        font.weight = weight;
        ASSERT_TRUE(ApplyStyleToRange(Book().styles, column, column, row, row, Sheet().formats,
                                      kAttrFont, StyleRecord{}, font));
    }
    int32_t RowHeight(uint32_t row) const { return GetRowHeight(Sheet(), row, 100); }
};

// The target steps one column or row once the pointer has gone one pixel past the size of
// the column or row it leaves (the one before, going back); a pixel less leaves it.
TEST_F(GridEdgesTest, TheFrameDragStepsOnePixelPastTheCellSize) {
    // Column A 50, B 60 pixels; row 1 24, row 2 30: each step has its own threshold.
    const struct {
        bool columns;
        uint32_t line;
        uint16_t size;
    } sizes[] = {{true, 0, 50}, {true, 1, 60}, {false, 0, 24}, {false, 1, 30}};
    for (const auto& s : sizes)
        ASSERT_EQ(SetLineSizeCommand(Book(), s.columns, s.line, s.size), CommandResult::kDone);
    View()->InvalidateAll();
    struct Case {
        const char* name;
        bool fromBottom; // pressed on the bottom band instead of the top one
        int dx, dy;
        CellRange target;
    };
    // The selection B2:D5; A is 50 wide, B 60, row 1 24 high, row 2 30.
    const CellRange sel{1, 1, 3, 4};
    const Case cases[] = {
        {"right at width + 1", false, 61, 0, sel},
        {"right at width + 2", false, 62, 0, {2, 1, 4, 4}},
        {"left at width + 1", false, -51, 0, sel},
        {"left at width + 2", false, -52, 0, {0, 1, 2, 4}},
        {"down at height + 1", false, 0, 31, sel},
        {"down at height + 2", false, 0, 32, {1, 2, 3, 5}},
        {"up at height + 1", true, 0, -25, sel},
        {"up at height + 2", true, 0, -26, {1, 0, 3, 3}},
        {"both at + 2", false, 62, 32, {2, 2, 4, 5}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SelectRange(sel.c1, sel.r1, sel.c2, sel.r2);
        View()->Render();
        const DcRect rect = View()->GetRangeRect(sel);
        const QPoint start(rect.left + 100, c.fromBottom ? rect.bottom - 2 : rect.top + 2);
        QTest::mousePress(View()->viewport(), Qt::LeftButton, Qt::NoModifier, start);
        ASSERT_EQ(View()->CurrentDrag(), CWorksheetView::Drag::kMoveSelection);
        DragTo(start + QPoint(c.dx, c.dy));
        EXPECT_EQ(View()->MoveTarget(), c.target);
        // Back where it started, nothing moves.
        DragTo(start);
        EXPECT_EQ(View()->MoveTarget(), sel);
        QTest::mouseRelease(View()->viewport(), Qt::LeftButton, Qt::NoModifier, start);
        EXPECT_EQ(View()->CurrentDrag(), CWorksheetView::Drag::kNone);
    }
}

// A jump from the start to the last column or row leaves the band past the sheet's end
// blank: no heading of the view before stays standing there.
TEST_F(GridEdgesTest, TheHeadingBandPastTheSheetsEndIsBlankAfterAJump) {
    struct Case {
        const char* address;
        bool columns;
    };
    for (const Case& c : {Case{"BZS1", true}, Case{"A2097152", false}, Case{"BZS2097152", true}}) {
        SCOPED_TRACE(c.address);
        GoTo("A1");
        View()->Render();
        GoTo(c.address);
        const CellRange sel = View()->Selection();
        ASSERT_EQ(c.columns ? sel.c1 : sel.r1, c.columns ? kLastColumn : kLastRow);
        const DcRect last = View()->GetRangeRect(sel);
        const int width = View()->viewport()->width(), height = View()->viewport()->height();
        if (c.columns) {
            ASSERT_LT(last.right + 2, width - 1) << "the last column fills the view";
            EXPECT_EQ(NotWhite(last.right + 2, 0, width - 1, View()->HeadingHeight() - 1), "");
        } else {
            ASSERT_LT(last.bottom + 2, height - 1) << "the last row fills the view";
            EXPECT_EQ(NotWhite(0, last.bottom + 2, View()->HeadingWidth() - 1, height - 1), "");
        }
    }
}

// A row takes the height its text measures: small text gives a lower row than the default,
// text of the default size keeps the default, larger text a higher one; typing and Auto
// Row Height agree.
TEST_F(GridEdgesTest, RowsTakeTheHeightTheirTextMeasures) {
    enum Expect { kBelow, kDefault, kAbove };
    struct Case {
        const char* name;
        uint8_t size, weight; // of the font of column B; 0 for none set
        bool defaultBeside;   // a default-font text in column C of the same row
        Expect expect;
    };
    const Case cases[] = {
        {"6 points", 6, 0, false, kBelow},
        {"6 points beside the default", 6, 0, true, kDefault},
        {"default font", 0, 0, false, kDefault},
        {"bold 10 points", 10, 2, false, kDefault},
        {"14 points", 14, 0, false, kAbove},
    };
    const int32_t standard = RowHeight(100);
    ASSERT_EQ(standard, 18);
    uint32_t row = 1;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.size) SetFont(1, row, c.size, c.weight);
        Enter(1, row, QStringLiteral("Text"));
        if (c.defaultBeside) Enter(2, row, QStringLiteral("More"));
        const int32_t typed = RowHeight(row);
        EXPECT_GT(typed, 0);
        if (c.expect == kBelow) {
            EXPECT_LT(typed, standard);
        } else if (c.expect == kDefault) {
            EXPECT_EQ(typed, standard);
        } else {
            EXPECT_GT(typed, standard);
        }
        // A custom height, then Auto Row Height on the row: the measured height again.
        ASSERT_EQ(SetLineSizeCommand(Book(), false, row, 40), CommandResult::kDone);
        ASSERT_EQ(RowHeight(row), 40);
        Select(1, row);
        Command(ID_AUTO_ROW_HEIGHT);
        EXPECT_EQ(RowHeight(row), typed);
        row += 2;
    }
    // Rows never typed in keep the default.
    EXPECT_EQ(RowHeight(0), standard);
    EXPECT_EQ(RowHeight(2), standard);
}

} // namespace

} // namespace vl
