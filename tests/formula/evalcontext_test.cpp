#include "formula/evalcontext.h"
#include "platform/core/alloc.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <tuple>

namespace vl {

namespace {

bool PutNumber(CCellStore& store, uint16_t column, uint32_t row, double value) {
    CellBuffer record;
    MakeNumberCell(record, column, row, value);
    CellCursor cursor;
    return store.PutCell(record.data(), cursor);
}

} // namespace

TEST(StringPool, HoldsAStringForEverySlotAndGivesThemNewestFirst) {
    auto pool = std::make_unique<StringPool>();
    EXPECT_FALSE(pool->PushString(std::string(kMaxTextValue + 1, 'a'))); // longer than a cell's
    EXPECT_EQ(pool->count, 0);
    EXPECT_TRUE(pool->PushString(std::string(kMaxTextValue, 'a')));
    EXPECT_EQ(pool->PopTempString().size(), kMaxTextValue);
    for (int i = 0; i < kPoolStrings; ++i) ASSERT_TRUE(pool->PushString("x")) << i;
    EXPECT_FALSE(pool->PushString("y")); // one string more than the stack has slots
    EXPECT_EQ(pool->count, kPoolStrings);
    pool->ResetStringStack();
    EXPECT_EQ(pool->count, 0);
    for (const char* text : {"first", "", "third"}) EXPECT_TRUE(pool->PushString(text));
    EXPECT_EQ(pool->PopTempString(), "third");
    EXPECT_EQ(pool->PopTempString(), "");
    std::string_view first = pool->PopTempString();
    EXPECT_EQ(first, "first");
    EXPECT_EQ(first.data()[first.size()], '\0');
    EXPECT_EQ(pool->PopTempString(), ""); // none left: the empty text
    EXPECT_EQ(pool->count, 0);
}

TEST(ScratchStore, KeepsPointerSizedChainHeadsAndOneForEverySlot) {
    auto store = std::make_unique<ScratchStore>();
    // A head above 4 GiB must come back whole.
    auto* high = reinterpret_cast<Page*>(uintptr_t(0x7ABCDEF012340ull));
    static_assert(sizeof(store->arrays[0]) == sizeof(void*));
    ASSERT_TRUE(store->PushPointer(high));
    EXPECT_EQ(store->PopPointer(), high);
    EXPECT_EQ(store->PopPointer(), nullptr);
    for (int i = 0; i < kMaxTempArrays; ++i) ASSERT_TRUE(store->PushPointer(nullptr));
    EXPECT_FALSE(store->PushPointer(nullptr));
    store->ReleaseArrays();
    EXPECT_EQ(store->arrayCount, 0);
}

TEST(ScratchStore, ReturnsArrayPagesToTheFreeListAndFreesThemAll) {
    long before = LiveBlockCount();
    {
        auto ctx = std::make_unique<CEvalContext>();
        CCellStore& cells = ctx->scratch.cells;
        for (int a = 0; a < 3; ++a) {
            ASSERT_TRUE(PutNumber(cells, 0, 0, a));
            ASSERT_TRUE(ctx->scratch.PushPointer(cells.DetachPages(true)));
        }
        EXPECT_EQ(cells.PageCount(), 0u);
        ctx->BeginFormula(3, 4); // pops the arrays, keeping their pages for reuse
        EXPECT_EQ(ctx->scratch.arrayCount, 0);
        EXPECT_EQ(cells.FreePageCount(), 3u);
        long allocations = AllocationCount();
        ASSERT_TRUE(PutNumber(cells, 0, 0, 1));
        EXPECT_EQ(AllocationCount(), allocations);

        ASSERT_TRUE(ctx->scratch.PushPointer(cells.DetachPages(true)));
        ctx->ReleaseScratchArrays();
        EXPECT_EQ(cells.FreePageCount(), 0u);
        EXPECT_EQ(LiveBlockCount(), before);
        ASSERT_TRUE(PutNumber(cells, 0, 0, 1));
        ASSERT_TRUE(ctx->scratch.PushPointer(cells.DetachPages(true)));
    } // a context destroyed with an array still held frees it too
    EXPECT_EQ(LiveBlockCount(), before);
}

TEST(CEvalContext, BeginFormulaClearsTheStacksStatusAndPool) {
    auto ctx = std::make_unique<CEvalContext>();
    ctx->valueCount = 5;
    ctx->operatorCount = 2;
    ctx->status = kErrSyntax;
    ASSERT_TRUE(ctx->stringPool.PushString("left over"));
    ctx->BeginFormula(7, 11);
    EXPECT_EQ(std::tuple(int(ctx->baseColumn), ctx->baseRow, int(ctx->valueCount),
                         int(ctx->operatorCount), int(ctx->status), int(ctx->stringPool.count)),
              std::tuple(7, 11u, 0, 0, 0, 0));
}

TEST(ReleaseTemporaries, PopsStringsAndArraysOfTheGivenEntriesOnly) {
    auto ctx = std::make_unique<CEvalContext>();
    CCellStore& cells = ctx->scratch.cells;
    ASSERT_TRUE(ctx->stringPool.PushString("kept"));
    ctx->values[1].type = kTokenText;
    ASSERT_TRUE(PutNumber(cells, 0, 0, 1));
    ASSERT_TRUE(ctx->scratch.PushPointer(cells.DetachPages(true)));
    ctx->values[2].type = kTokenArray;
    ctx->values[3].type = kTokenNumber;
    ASSERT_TRUE(ctx->stringPool.PushString("dropped"));
    ctx->values[4].type = kTokenText;
    ctx->valueCount = 4;
    ReleaseTemporaries(*ctx, 4, 3);
    EXPECT_EQ(
        std::tuple(int(ctx->stringPool.count), int(ctx->scratch.arrayCount), cells.FreePageCount()),
        std::tuple(1, 0, 1u));
    EXPECT_EQ(ctx->stringPool.PopTempString(), "kept");
    EXPECT_EQ(ctx->values[4].type, kTokenText); // the entries themselves stay
}

} // namespace vl
