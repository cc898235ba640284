// Array formulas across edits, sorts, undo and redo: after each, every element belongs to the
// array whose area holds it, and undo gives back exactly the cells it took.

#include "formula/edit/editcommands.h"
#include "formula/edit/formulaadjust.h"
#include "model/clearset.h"
#include "undobook.h"

#include <functional>
#include <gtest/gtest.h>

namespace vl {

using namespace edittest;

namespace {

// Every element lies in the area of an array spread over it.
::testing::AssertionResult ElementsOwned(const CCellStore& store) {
    std::vector<CellRange> areas;
    CellCursor cursor{kAdvance, store.FirstPage(), 0};
    while (const uint8_t* r = NextCellRecord(cursor))
        if (IsSpreadArrayAnchor(r)) areas.push_back(SpreadArrayArea(r));
    cursor = CellCursor{kAdvance, store.FirstPage(), 0};
    while (const uint8_t* r = NextCellRecord(cursor)) {
        if (!(cell::Flags(r) & kCellArrayElement)) continue;
        bool owned = false;
        for (const CellRange& a : areas)
            owned = owned || (cell::Column(r) >= a.c1 && cell::Column(r) <= a.c2 &&
                              cell::Row(r) >= a.r1 && cell::Row(r) <= a.r2);
        if (!owned)
            return ::testing::AssertionFailure()
                   << "stray element at column " << cell::Column(r) << " row " << cell::Row(r);
    }
    return ::testing::AssertionSuccess();
}

// The values of `rows` cells from (column, row) down, or across with `across`, "|"-joined.
std::string Values(const CCellStore& store, uint16_t column, uint32_t row, int count,
                   bool across = false) {
    std::string out;
    for (int i = 0; i < count; ++i) {
        if (i) out += "|";
        out += across ? ValueAt(store, uint16_t(column + i), row)
                      : ValueAt(store, column, row + uint32_t(i));
    }
    return out;
}

struct Case {
    const char* name;
    std::function<void(CUndoBook&)> setup;
    std::function<void(CUndoBook&)> edit;
    std::function<std::string(const CCellStore&)> shown;
    const char* before;
    const char* after;
};

GridSelection Rows(uint32_t first, uint32_t last) {
    return {{0, first, kLastColumn, last}, 0, first};
}

} // namespace

TEST(ArrayEdits, ElementsFollowTheirArrayThroughEditsUndoAndRedo) {
    const auto columnA = [](const CCellStore& s) { return Values(s, 0, 0, 5); };
    const auto columnB = [](const CCellStore& s) { return Values(s, 1, 0, 5); };
    const auto row6 = [](const CCellStore& s) { return Values(s, 0, 5, 5, true); };
    const auto array123 = [](CUndoBook& b) { b.Formula(b.S3(), 0, 0, "={1;2;3}"); };
    const Case cases[] = {
        {"typed into an element", array123,
         [](CUndoBook& b) {
             ASSERT_TRUE(b.Book().RecordUndoCells({0, 1, 0, 1}, 0, 1));
             b.Number(b.S3(), 0, 1, 5);
         },
         columnA, "1|2|3||", "#FILL!|5|||"},
        {"row inserted inside", array123,
         [](CUndoBook& b) { InsertRowsCommand(b.Book(), Rows(1, 1)); }, columnA, "1|2|3||",
         "1|2|3||"},
        {"row removed inside", array123,
         [](CUndoBook& b) { RemoveRowsCommand(b.Book(), Rows(1, 1)); }, columnA, "1|2|3||",
         "1|2|3||"},
        {"removal frees a #FILL! array",
         [](CUndoBook& b) {
             b.Formula(b.S3(), 0, 0, "={1;2;3}");
             b.Text(b.S3(), 0, 2, "x");
         },
         [](CUndoBook& b) { RemoveRowsCommand(b.Book(), Rows(2, 2)); }, columnA, "#FILL!||x||",
         "1|2|3||"},
        {"sort takes the anchor away",
         [](CUndoBook& b) {
             for (uint32_t r = 0; r < 3; ++r) b.Number(b.S3(), 0, r, 3.0 - r);
             b.Formula(b.S3(), 1, 0, "={10;20}");
         },
         [](CUndoBook& b) {
             const uint16_t keys[] = {0};
             const uint8_t ascending[] = {1};
             SortSelection(b.Book(), {{0, 0, 1, 2}, 0, 0}, 1, keys, ascending);
         },
         columnB, "10|20|||", "||10|20|"},
        {"a bare range spreads over rows inserted inside it",
         [](CUndoBook& b) {
             for (uint32_t r = 0; r < 6; ++r) b.Number(b.S3(), 0, r, r + 1.0);
             b.Formula(b.S3(), 2, 0, "=R[2]C[-2]:R[5]C[-2]");
         },
         [](CUndoBook& b) { InsertRowsCommand(b.Book(), Rows(1, 1)); },
         [](const CCellStore& s) { return Values(s, 2, 0, 6); }, "3|4|5|6||", "3|4|5|6||"},
        {"a bare range spreads over rows removed inside it",
         [](CUndoBook& b) {
             for (uint32_t r = 0; r < 6; ++r) b.Number(b.S3(), 0, r, r + 1.0);
             b.Formula(b.S3(), 2, 0, "=R[2]C[-2]:R[5]C[-2]");
         },
         [](CUndoBook& b) { RemoveRowsCommand(b.Book(), Rows(1, 1)); },
         [](const CCellStore& s) { return Values(s, 2, 0, 6); }, "3|4|5|6||", "3|4|5|6||"},
        {"column inserted inside", [](CUndoBook& b) { b.Formula(b.S3(), 0, 5, "={1,2,3}"); },
         [](CUndoBook& b) {
             InsertColumnsCommand(b.Book(), {{1, 0, 1, kLastRow}, 1, 0});
         },
         row6, "1|2|3||", "1|2|3||"},
        {"column removed inside", [](CUndoBook& b) { b.Formula(b.S3(), 0, 5, "={1,2,3}"); },
         [](CUndoBook& b) {
             RemoveColumnsCommand(b.Book(), {{1, 0, 1, kLastRow}, 1, 0});
         },
         row6, "1|2|3||", "1|2|3||"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CUndoBook b;
        b.Book().tree.active = &b.S3();
        c.setup(b);
        RecalculateByUpdateMode(b.Book());
        const CCellStore& cells = b.S3().cells;
        ASSERT_EQ(c.shown(cells), c.before);
        const WorkbookDump before = b.Dump();
        b.Book().FreeUndoHistoryEntries();
        c.edit(b);
        RecalculateByUpdateMode(b.Book());
        EXPECT_EQ(c.shown(cells), c.after);
        EXPECT_TRUE(ElementsOwned(cells));
        const WorkbookDump after = b.Dump();
        ASSERT_EQ(UndoCommand(b.Book(), nullptr), CommandResult::kDone);
        EXPECT_EQ(c.shown(cells), c.before);
        EXPECT_TRUE(ElementsOwned(cells));
        EXPECT_TRUE(SameWorkbook(before, b.Dump()));
        ASSERT_EQ(RedoCommand(b.Book(), nullptr), CommandResult::kDone);
        EXPECT_TRUE(ElementsOwned(cells));
        EXPECT_TRUE(SameWorkbook(after, b.Dump()));
    }
}

// A value typed into an area blocks the array, which then holds no elements; the value stays
// when the array's result no longer reaches it, also when the result becomes a single value,
// and the array spreads again once the value is gone. The formula's text is changed in place,
// its record keeping its head, as a rewrite after an edit does.
TEST(ArrayEdits, ABlockedArrayHoldsNoElementsAndKeepsWhatWasTyped) {
    CUndoBook b;
    b.Book().tree.active = &b.S3();
    CCellStore& cells = b.S3().cells;
    const auto result = [&](const char* formula) {
        EXPECT_TRUE(ReplaceFormulaTexts(cells, {{0, 0, formula}}));
        RecalculateByUpdateMode(b.Book());
        EXPECT_TRUE(ElementsOwned(cells)) << formula;
        return Values(cells, 0, 0, 4);
    };
    b.Formula(b.S3(), 0, 0, "={1;2;3}");
    EXPECT_EQ(result("={1;2;3}"), "1|2|3|");
    b.Text(b.S3(), 0, 2, "kept");
    EXPECT_EQ(result("={1;2;3}"), "#FILL!||kept|");
    EXPECT_EQ(cell::ResultFlags(FindCell(cells, 0, 0)) & kResultArray, 0);
    EXPECT_EQ(result("={1;2;4}"), "#FILL!||kept|");
    EXPECT_EQ(result("={1;2}"), "1|2|kept|");
    EXPECT_EQ(result("=1"), "1||kept|");
    EXPECT_EQ(result("={1;2;3}"), "#FILL!||kept|");
    ClearRect(cells, {0, 2, 0, 2}, nullptr, false);
    EXPECT_EQ(result("={1;2;3}"), "1|2|3|");
    // An array that ends in the last row spreads; one row more is #REF!, holding nothing.
    b.Formula(b.S3(), 0, kLastRow - 1, "={1;2}");
    RecalculateByUpdateMode(b.Book());
    EXPECT_EQ(Values(cells, 0, kLastRow - 1, 2), "1|2");
    EXPECT_TRUE(ReplaceFormulaTexts(cells, {{0, kLastRow - 1, "={1;2;3}"}}));
    RecalculateByUpdateMode(b.Book());
    EXPECT_EQ(Values(cells, 0, kLastRow - 1, 2), "#REF!|");
    EXPECT_TRUE(ElementsOwned(cells));
    // And one that ends in the last column spreads; a column more is #REF!.
    b.Formula(b.S3(), kLastColumn - 1, 3, "={1,2}");
    RecalculateByUpdateMode(b.Book());
    EXPECT_EQ(Values(cells, kLastColumn - 1, 3, 2, true), "1|2");
    EXPECT_TRUE(ReplaceFormulaTexts(cells, {{kLastColumn - 1, 3, "={1,2,3}"}}));
    RecalculateByUpdateMode(b.Book());
    EXPECT_EQ(Values(cells, kLastColumn - 1, 3, 2, true), "#REF!|");
    EXPECT_TRUE(ElementsOwned(cells));
}

} // namespace vl
