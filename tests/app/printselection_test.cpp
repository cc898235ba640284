// Which cells a print of "the selection" covers: the selection stored with the worksheet,
// whatever corner it was started from, or the window's own selection or container.

#include "app/frameprinting.h"
#include "model/workbook.h"

#include <gtest/gtest.h>

namespace vl {

TEST(PrintSelection, StoredSelectionsFromEveryCornerAndTheKindsThatAskForOne) {
    struct Case {
        const char* what;
        uint8_t kind;
        CellRef start, end; // as stored: the start cell, then where the selection ended
        const CellRange* given;
        uint16_t container;
        uint8_t kindAfter;
        CellRange printed; // when the kind after is a cell range
    };
    const CellRange window{4, 10, 6, 11};
    const Case cases[] = {
        {"start below and right of the end",
         kPrintSelection,
         {7, 40, 0},
         {2, 5, 0},
         nullptr,
         0,
         kPrintCellRange,
         {2, 5, 7, 40}},
        {"start above and left",
         kPrintSelection,
         {2, 5, 0},
         {7, 40, 0},
         nullptr,
         0,
         kPrintCellRange,
         {2, 5, 7, 40}},
        {"start top right",
         kPrintSelection,
         {7, 5, 0},
         {2, 40, 0},
         nullptr,
         0,
         kPrintCellRange,
         {2, 5, 7, 40}},
        {"start bottom left",
         kPrintSelection,
         {2, 40, 0},
         {7, 5, 0},
         nullptr,
         0,
         kPrintCellRange,
         {2, 5, 7, 40}},
        {"one cell",
         kPrintSelection,
         {3, 9, 0},
         {3, 9, 0},
         nullptr,
         0,
         kPrintCellRange,
         {3, 9, 3, 9}},
        {"a stored range asks again",
         kPrintCellRange,
         {9, 1, 0},
         {8, 0, 0},
         nullptr,
         0,
         kPrintCellRange,
         {8, 0, 9, 1}},
        {"the window's selection wins",
         kPrintSelection,
         {7, 40, 0},
         {2, 5, 0},
         &window,
         0,
         kPrintCellRange,
         window},
        {"a selected container",
         kPrintSelection,
         {7, 40, 0},
         {2, 5, 0},
         &window,
         12,
         kPrintContainer,
         {}},
        {"all stays all", kPrintAll, {7, 40, 0}, {2, 5, 0}, &window, 0, kPrintAll, {}},
        {"pages stay pages", kPrintPageList, {7, 40, 0}, {2, 5, 0}, nullptr, 0, kPrintPageList, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto book = CreateWorkbook();
        CWorksheet* sheet = AsWorksheet(book->AppendTreeItem(TREE_TYPE_WORKSHEET, "S", 1));
        ASSERT_NE(sheet, nullptr);
        sheet->InitPageSetup();
        PageSetupRecord& setup = sheet->pageSetup;
        setup.printRangeKind = c.kind;
        setup.printRange = {1, 1, 0, 1, 1, 0};
        sheet->view.selection[0] = c.start;
        sheet->view.selection[1] = c.end;
        ResolvePrintSelection(*sheet, c.given, c.container);
        EXPECT_EQ(setup.printRangeKind, c.kindAfter);
        if (c.kindAfter == kPrintCellRange) {
            const CellRange r = setup.printRange.Range();
            EXPECT_EQ(std::tuple(r.c1, r.r1, r.c2, r.r2),
                      std::tuple(c.printed.c1, c.printed.r1, c.printed.c2, c.printed.r2));
        } else {
            // Nothing else is touched.
            EXPECT_EQ(std::tuple(setup.printRange.c1, setup.printRange.r1),
                      std::tuple(uint16_t(1), 1u));
        }
        if (c.kindAfter == kPrintContainer) {
            EXPECT_EQ(setup.printedContainer, c.container);
        }
    }
}

} // namespace vl
