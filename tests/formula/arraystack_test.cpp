#include "evaltestutil.h"
#include "formula/folderrange.h"
#include "formula/operands.h"
#include "platform/core/alloc.h"

#include <tuple>

namespace vl {

using test::TestBook;

namespace {

// Fills the array stack with one-page chains, so that the next push is refused.
void FillArrayStack(CEvalContext& ctx) {
    while (ctx.scratch.arrayCount < kMaxTempArrays) {
        Page* p = ctx.scratch.cells.AllocPage(true);
        ASSERT_NE(p, nullptr);
        ASSERT_TRUE(ctx.scratch.PushPointer(p));
    }
}

// Pages the scratch store holds on chains of the array stack and on its free list.
uint32_t ScratchPages(const CEvalContext& ctx) {
    uint32_t n = ctx.scratch.cells.FreePageCount();
    for (uint16_t i = 0; i < ctx.scratch.arrayCount; ++i)
        for (const Page* p = ctx.scratch.arrays[i]; p; p = p->next) ++n;
    return n;
}

FormulaToken Range(CWorksheet& sheet, uint16_t c1, uint32_t r1, uint16_t c2, uint32_t r2) {
    FormulaToken t;
    t.type = kTokenArea;
    t.firstColumn = c1;
    t.firstRow = r1;
    t.lastColumn = c2;
    t.lastRow = r2;
    t.firstFlags = t.lastFlags = kRefCell;
    t.cells = &sheet.cells;
    return t;
}

void ExpectRefusedArray(const CEvalContext& ctx, const FormulaToken& slot, long liveBefore) {
    EXPECT_EQ(slot.type, kTokenEmpty);
    EXPECT_EQ(slot.error, kErrMemory);
    EXPECT_EQ(ctx.scratch.arrayCount, kMaxTempArrays);
    EXPECT_EQ(LiveBlockCount(), liveBefore); // nothing taken is lost
}

} // namespace

TEST(TemporaryArrays, AFullStackRefusesAndReleasesWhatWasTaken) {
    TestBook book;
    CEvalContext& ctx = book.Ctx();
    CWorksheet& s = book.Sheet();
    for (uint32_t r = 0; r < 3; ++r) book.Number(s, "A" + std::to_string(r + 1), r);

    FillArrayStack(ctx);
    long live = LiveBlockCount();
    uint32_t pages = ScratchPages(ctx);

    FormulaToken slot;
    Page* chain = ctx.scratch.cells.AllocPage(true);
    EXPECT_FALSE(PushArrayValue(ctx, slot, chain, 1, 1));
    EXPECT_EQ(ScratchPages(ctx), pages + 1);
    live = LiveBlockCount();
    ExpectRefusedArray(ctx, slot, live);

    // An operator over a range.
    ctx.valueCount = 0;
    ctx.values[1] = Range(s, 0, 0, 0, 2);
    ctx.values[2].type = kTokenNumber;
    ctx.values[2].number = 1;
    ctx.values[3] = FormulaToken{};
    ctx.values[3].type = kTokenPlus;
    ctx.valueCount = 3;
    EXPECT_TRUE(EvalToken(ctx));
    EXPECT_EQ(ctx.valueCount, 1);
    ExpectRefusedArray(ctx, ctx.values[1], LiveBlockCount());

    FormulaToken fetched = Range(s, 0, 0, 0, 2);
    FetchRangeValues(ctx, fetched);
    ExpectRefusedArray(ctx, fetched, LiveBlockCount());

    // A gathered folder array.
    CTreeItem& folder = book.AddFolder("F");
    book.AddSheet("Inside", 2);
    ctx.worksheetList = book.Book().tree.first;
    FormulaToken gathered = Range(s, 0, 0, 0, 2);
    GatherFolderRange(ctx, gathered, folder);
    ExpectRefusedArray(ctx, gathered, LiveBlockCount());
}

TEST(TemporaryArrays, ElementsThatCannotBeStoredGiveMemoryError) {
    TestBook book;
    CEvalContext& ctx = book.Ctx();
    CWorksheet& s = book.Sheet();
    for (uint32_t r = 0; r < 2000; ++r) book.Number(s, "A" + std::to_string(r + 1), r);
    ctx.scratch.cells.PurgeFreePages();
    ctx.values[1] = Range(s, 0, 0, 0, 1999);
    ctx.values[2] = FormulaToken{};
    ctx.values[2].type = kTokenNegate;
    ctx.valueCount = 2;
    SetAllocFailAfter(2); // the first pages of the result, then nothing
    bool ran = EvalToken(ctx);
    SetAllocFailAfter(-1);
    EXPECT_TRUE(ran);
    EXPECT_EQ(std::tuple(int(ctx.valueCount), int(ctx.values[1].type), ctx.values[1].error,
                         int(ctx.scratch.arrayCount)),
              std::tuple(1, int(kTokenArray), kErrMemory, 1));
    // What was stored is kept: the first elements, in order.
    CellCursor cursor{kAdvance, ctx.scratch.arrays[0], 0};
    uint32_t n = 0;
    while (const uint8_t* r = NextCellRecord(cursor)) {
        EXPECT_EQ(cell::Row(r), n);
        EXPECT_EQ(cell::Number(r), -double(n));
        ++n;
    }
    EXPECT_GT(n, 0u);
    EXPECT_LT(n, 2000u);
}

TEST(TemporaryArrays, ReleasedArraysReuseTheScratchPages) {
    TestBook book;
    for (uint32_t r = 0; r < 10; ++r) book.Number("A" + std::to_string(r + 1), r);
    EXPECT_EQ(book.Eval("=A1:A10*2"), "{0; 2; 4; 6; 8; 10; 12; 14; 16; 18}");
    book.Eval("=A1:A10*2+A1:A10");
    long allocations = AllocationCount();
    for (int i = 0; i < 100; ++i) book.Eval("=A1:A10*2+A1:A10");
    EXPECT_EQ(AllocationCount(), allocations);
}

} // namespace vl
