// The life of lookup indexes within a recalculation: built at a range's second search,
// held back by formula cells not yet calculated, dropped by writes that touch the range.
#include "formula/evalcontext.h"
#include "formula/lookupcache.h"

#include <gtest/gtest.h>

namespace vl {

namespace {

// Numbers 10, 20, ... in B3:B6 and C3:C6 (columns 1 and 2, rows 2 to 5) of a 2 x 4 range.
const CellRange kRange{1, 2, 2, 5};

struct Fixture {
    CCellStore cells;
    CEvalContext ctx;
    Fixture() {
        CellCursor cursor;
        for (uint32_t row = kRange.r1; row <= kRange.r2; ++row)
            for (uint16_t column = kRange.c1; column <= kRange.c2; ++column) {
                CellBuffer b;
                MakeNumberCell(b, column, row, 10.0 * (row - 1) + column);
                cells.PutCell(b.data(), cursor);
            }
    }
    const CLookupIndex* Find() {
        return ctx.lookups.Find(ctx, cells, kRange, LookupKeys::kNumbers);
    }
};

} // namespace

TEST(LookupCache, BuiltAtTheSecondSearchOfAPassOnly) {
    Fixture f;
    EXPECT_EQ(f.Find(), nullptr);
    EXPECT_EQ(f.Find(), nullptr) << "outside a pass";
    f.ctx.lookups.BeginPass();
    EXPECT_EQ(f.Find(), nullptr) << "first search";
    const CLookupIndex* index = f.Find();
    ASSERT_NE(index, nullptr);
    EXPECT_EQ(index->Size(), 8u);
    EXPECT_EQ(f.Find(), index);
    // Another reading of the same cells is another index.
    EXPECT_EQ(f.ctx.lookups.Find(f.ctx, f.cells, kRange, LookupKeys::kTexts), nullptr);
    EXPECT_EQ(f.ctx.lookups.Served(), 2u);
    f.ctx.lookups.EndPass();
    EXPECT_EQ(f.Find(), nullptr);
    EXPECT_EQ(f.ctx.lookups.IndexCount(), 0u);
}

TEST(LookupCache, WritesTouchingTheRangeDropItsIndex) {
    struct Case {
        CellRange written;
        bool dropped;
    };
    const Case cases[] = {
        {{1, 2, 1, 2}, true},     // the top-left cell
        {{2, 5, 2, 5}, true},     // the bottom-right cell
        {{0, 0, 1, 2}, true},     // overlapping at the top-left corner only
        {{2, 5, 9, 9}, true},     // overlapping at the bottom-right corner only
        {{0, 0, 2046, 1}, false}, // the whole rows above
        {{3, 0, 3, 100}, false},  // the column right of it
        {{0, 6, 2046, 6}, false}, // the row below
        {{0, 0, 0, 100}, false},  // the column left of it
        {{0, 0, 2046, 2097151}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.written.c1 << "," << c.written.r1 << ":"
                                          << c.written.c2 << "," << c.written.r2);
        Fixture f;
        f.ctx.lookups.BeginPass();
        f.Find();
        ASSERT_NE(f.Find(), nullptr);
        CCellStore other;
        f.ctx.lookups.CellsWritten(other, c.written);
        EXPECT_EQ(f.ctx.lookups.IndexCount(), 1u) << "another store";
        f.ctx.lookups.CellsWritten(f.cells, c.written);
        EXPECT_EQ(f.ctx.lookups.IndexCount(), c.dropped ? 0u : 1u);
        // A dropped index is built again from the cells as they are now.
        EXPECT_NE(f.Find(), nullptr);
        EXPECT_EQ(f.ctx.lookups.IndexCount(), 1u);
    }
}

TEST(LookupCache, AFormulaNotCalculatedHoldsTheIndexBack) {
    Fixture f;
    CellBuffer b;
    MakeFormulaCell(b, 2, 4, FormulaHead{}, "=1");
    CellCursor cursor;
    ASSERT_TRUE(f.cells.PutCell(b.data(), cursor));
    uint8_t* formula = FindCell(f.cells, 4, 2);
    ASSERT_NE(formula, nullptr);
    formula[14] = uint8_t(formula[14] & ~kResultCalculated);
    f.ctx.lookups.BeginPass();
    EXPECT_EQ(f.Find(), nullptr);
    EXPECT_EQ(f.Find(), nullptr) << "blocked";
    EXPECT_EQ(f.Find(), nullptr) << "still blocked";
    EXPECT_EQ(f.ctx.pendingCells.cells.Size(), 0u) << "nothing reported as a precedent";
    formula[14] = uint8_t(formula[14] | kResultCalculated | kResultNumber);
    const CLookupIndex* index = f.Find();
    ASSERT_NE(index, nullptr);
    EXPECT_EQ(index->Size(), 8u);
    LookupCell found;
    // The formula's cached result, 0, is the smallest key now.
    EXPECT_EQ(index->FindNumber(-1, -1, found), LookupAnswer::kFound);
    EXPECT_EQ(found.column, 2);
    EXPECT_EQ(found.row, 4u);
}

} // namespace vl
