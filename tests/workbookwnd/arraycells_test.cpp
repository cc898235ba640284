// Arrays and their neighbours by the window's keys: an array kept from spreading by another's
// cells, the value steps refused on an array's cells, and a Cut pasted on a worksheet that
// prints a range of its own.

#include "copytest.h"
#include "formula/celltext.h"
#include "formula/literals.h"
#include "model/cellrecord.h"
#include "model/rangedescriptor.h"
#include "model/rangeops.h"
#include "model/workbook.h"
#include "resources/commandids.h"

#include <cstdio>
#include <string>
#include <vector>

namespace vl {

namespace {

using Strings = std::vector<std::string>;

class ArrayCellsTest : public wndtest::CopyTest {
protected:
    void FocusGrid() {
        View()->setFocus();
        Settle();
    }
    // What the cell shows: its value, an error's name, or "" when empty.
    std::string Shown(uint16_t column, uint32_t row) {
        const uint8_t* r = FindCell(Book().tree.active->cells, row, column);
        if (!r) return "";
        if (const uint8_t error = r[0] & 0xF0) return std::string(GetFormulaErrorText(error));
        if (!cell::IsFormula(r)) return CellText(column, row);
        char text[32];
        std::snprintf(text, sizeof text, "%g", cell::CachedNumber(r));
        return text;
    }
};

} // namespace

TEST_F(ArrayCellsTest, AnArrayThatWouldSpreadOverAnothersCellsShowsFill) {
    // B2 spreads over C2 first; C1, typed after it but before it in the walk, takes C2 and B2
    // cannot spread. Below, B11 would spread over D11 once A1 is 0, which D10 before it holds.
    Enter(0, 0, QStringLiteral("1"));
    Enter(1, 1, QStringLiteral("=IF($A$1,{1,2},{1,2,3})"));
    Enter(2, 0, QStringLiteral("={5;6}"));
    Enter(3, 4, QStringLiteral("=SUM(A3:B3)+SUM(C1:C2)"));
    Enter(1, 10, QStringLiteral("=IF($A$1,{1,2},{1,2,3})"));
    Enter(3, 9, QStringLiteral("={5;6}"));
    Enter(5, 9, QStringLiteral("=SUM(D10:D11)"));
    Enter(5, 10, QStringLiteral("=SUM(B11:C11)"));
    const auto shown = [&] {
        return Strings{Shown(2, 0),  Shown(1, 1),  Shown(2, 1),  Shown(3, 1), Shown(3, 4),
                       Shown(1, 10), Shown(2, 10), Shown(3, 10), Shown(5, 9), Shown(5, 10)};
    };
    //                         C1   B2        C2   D2  D5    B11  C11  D11  F10   F11
    const Strings withOne{"5", "#FILL!", "6", "", "11", "1", "2", "6", "11", "3"};
    EXPECT_EQ(shown(), withOne);
    Enter(0, 0, QStringLiteral("0"));
    EXPECT_EQ(shown(), (Strings{"5", "#FILL!", "6", "", "11", "#FILL!", "", "6", "11", "#FILL!"}));
    // Undo brings B11 back over C11, and F11 with it.
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(shown(), withOne);
}

TEST_F(ArrayCellsTest, ValueStepsOnAnArraysCellsAreRefused) {
    // A1 spreads A1:B1 * 3 over A1:B2; B1 and B2 hold 2 and 4 beside it.
    Enter(1, 0, QStringLiteral("2"));
    Enter(1, 1, QStringLiteral("4"));
    Enter(0, 0, QStringLiteral("=B1:B2*3"));
    ASSERT_EQ(Shown(0, 1), "12");
    struct Case {
        const char* name;
        uint32_t row;
        Qt::Key key;
    };
    const Case cases[] = {
        {"Ctrl+Alt+Up on the element", 1, Qt::Key_Up},
        {"Ctrl+Alt+Down on the element", 1, Qt::Key_Down},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const int32_t undo = Book().undo.current;
        Select(0, c.row);
        FocusGrid();
        ui.boxes.clear();
        Key(c.key, Qt::ControlModifier | Qt::AltModifier);
        Settle();
        ASSERT_EQ(ui.boxes.size(), 1u);
        EXPECT_TRUE(ui.boxes.back().text.startsWith(
            QStringLiteral("The range cuts through an array formula.")))
            << ui.boxes.back().text.toStdString();
        EXPECT_EQ(Book().undo.current, undo);
        EXPECT_EQ(Shown(0, 0), "6");
        EXPECT_EQ(Shown(0, 1), "12");
        EXPECT_NE(FindCell(Book().tree.active->cells, 1, 0)[0] & kCellArrayElement, 0);
    }
    // The numbers it reads still step, and the array follows them.
    Select(1, 1);
    FocusGrid();
    ui.boxes.clear();
    Key(Qt::Key_Up, Qt::ControlModifier | Qt::AltModifier);
    Settle();
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_EQ(Shown(1, 1), "5");
    EXPECT_EQ(Shown(0, 1), "15");
}

TEST_F(ArrayCellsTest, APasteOnAnotherWorksheetLeavesItsOwnPrintRange) {
    // The first worksheet prints A1:B1, which is cut; the second prints D1:F10 and gets the
    // block at B2 by the keys: each keeps its own print range.
    Enter(0, 0, QStringLiteral("5"));
    Enter(1, 0, QStringLiteral("7"));
    Enter(2, 0, QStringLiteral("=A1*2"));
    CWorksheet* first = Book().tree.active;
    first->pageSetup.printRangeKind = kPrintCellRange;
    MakeRangeDescriptor({0, 0, 1, 0}, &first->pageSetup.printRange);
    View()->SetSelection({0, 0, 1, 0});
    FocusGrid();
    Key(Qt::Key_X, Qt::ControlModifier);
    Active()->HandleCommand(ID_NEW_WORKSHEET);
    Settle();
    CWorksheet* second = Book().tree.active;
    ASSERT_NE(second, first);
    second->pageSetup.printRangeKind = kPrintCellRange;
    MakeRangeDescriptor({3, 0, 5, 9}, &second->pageSetup.printRange);
    Select(1, 1);
    FocusGrid();
    Key(Qt::Key_V, Qt::ControlModifier);
    ASSERT_EQ(CellText(1, 1), "5");
    EXPECT_EQ(cell::CachedNumber(FindCell(first->cells, 0, 2)), 10);
    EXPECT_EQ(second->pageSetup.printRangeKind, kPrintCellRange);
    EXPECT_EQ(second->pageSetup.printRange.Range(), (CellRange{3, 0, 5, 9}));
    EXPECT_EQ(first->pageSetup.printRangeKind, kPrintCellRange);
    EXPECT_EQ(first->pageSetup.printRange.Range(), (CellRange{0, 0, 1, 0}));
    // The second worksheet now prints the block alone; cut again, the block goes on to a new
    // worksheet, which printed everything: the print range goes with it, and what it left
    // prints everything.
    MakeRangeDescriptor({1, 1, 2, 1}, &second->pageSetup.printRange);
    View()->SetSelection({1, 1, 2, 1});
    FocusGrid();
    Key(Qt::Key_X, Qt::ControlModifier);
    Active()->HandleCommand(ID_NEW_WORKSHEET);
    Settle();
    CWorksheet* third = Book().tree.active;
    ASSERT_NE(third, second);
    ASSERT_EQ(third->pageSetup.printRangeKind, kPrintAll);
    Select(0, 4);
    FocusGrid();
    Key(Qt::Key_V, Qt::ControlModifier);
    ASSERT_EQ(CellText(0, 4), "5");
    EXPECT_EQ(third->pageSetup.printRangeKind, kPrintCellRange);
    EXPECT_EQ(third->pageSetup.printRange.Range(), (CellRange{0, 4, 1, 4}));
    EXPECT_EQ(second->pageSetup.printRangeKind, kPrintAll);
    EXPECT_EQ(first->pageSetup.printRange.Range(), (CellRange{0, 0, 1, 0}));
    EXPECT_EQ(cell::CachedNumber(FindCell(first->cells, 0, 2)), 10);
}

} // namespace vl
