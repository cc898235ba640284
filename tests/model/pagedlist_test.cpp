#include "model/pagedlist.h"
#include "platform/core/alloc.h"
#include "storetestutil.h"

#include <cstring>
#include <gtest/gtest.h>
#include <vector>

namespace vl {

using storetest::AllocFailGuard;

namespace {

// An item of `size` bytes whose bytes identify its index.
std::vector<uint8_t> Item(uint32_t size, uint32_t index) {
    std::vector<uint8_t> item(size);
    for (uint32_t k = 0; k < size; ++k) item[k] = uint8_t(index * 7 + k);
    return item;
}

uint32_t ChainLength(const CPagedList& list) {
    uint32_t n = 0;
    for (const Page* p = list.FirstPage(); p; p = p->next) ++n;
    return n;
}

} // namespace

struct PerPageCase {
    uint32_t size;
    uint32_t perPage;
};

class PagedListPerPage : public ::testing::TestWithParam<PerPageCase> {};

TEST_P(PagedListPerPage, FullPageThenSecondPageAndItemsReadBack) {
    const auto [size, perPage] = GetParam();
    CPagedList list;
    for (uint32_t i = 0; i < perPage; ++i) ASSERT_TRUE(list.AppendItem(Item(size, i).data(), size));
    EXPECT_EQ(list.PageCount(), 1u);
    EXPECT_EQ(list.FirstPage()->used, perPage * size);
    ASSERT_TRUE(list.AppendItem(Item(size, perPage).data(), size));
    EXPECT_EQ(list.PageCount(), 2u);
    EXPECT_EQ(ChainLength(list), 2u);
    EXPECT_EQ(list.FirstPage()->next->used, size);
    for (bool indexed : {false, true}) {
        if (indexed) {
            ASSERT_TRUE(list.BuildPageIndex());
        }
        for (uint32_t i : {0u, perPage - 1, perPage}) {
            const void* got = list.GetItem(i, size);
            ASSERT_NE(got, nullptr) << i;
            EXPECT_EQ(std::memcmp(got, Item(size, i).data(), size), 0) << i;
        }
        EXPECT_EQ(list.GetItem(perPage + 1, size), nullptr);
    }
}

INSTANTIATE_TEST_SUITE_P(ItemSizes, PagedListPerPage,
                         ::testing::Values(PerPageCase{2, 4091}, PerPageCase{16, 511},
                                           PerPageCase{24, 340}, PerPageCase{28, 292},
                                           PerPageCase{44, 185}, PerPageCase{52, 157},
                                           PerPageCase{128, 63}));

TEST(PagedList, PageOf128ByteItemsLeaves118BytesFree) {
    CPagedList list;
    for (uint32_t i = 0; i < 63; ++i) ASSERT_TRUE(list.AppendItem128(Item(128, i).data()));
    EXPECT_EQ(list.FirstPage()->used, 8064);
    EXPECT_EQ(kPagePayload - list.FirstPage()->used, 118u);
    EXPECT_EQ(list.PageCount(), 1u);
}

TEST(PagedList, GetPastTheEndIsNull) {
    CPagedList list;
    EXPECT_EQ(list.GetItem2(0), nullptr);
    EXPECT_EQ(list.GetItem16(0), nullptr);
    ASSERT_TRUE(list.AppendItem2(5));
    EXPECT_NE(list.GetItem2(0), nullptr);
    EXPECT_EQ(list.GetItem2(1), nullptr);
    ASSERT_TRUE(list.BuildPageIndex());
    EXPECT_EQ(list.GetItem2(1), nullptr);
}

TEST(PagedList, ClearWithRecycleReusesPagesWithoutAllocation) {
    CPagedList list;
    const uint32_t items = 3 * 4091;
    for (uint32_t i = 0; i < items; ++i) ASSERT_TRUE(list.AppendItem2(uint16_t(i)));
    ASSERT_EQ(list.PageCount(), 3u);
    ASSERT_TRUE(list.BuildPageIndex());
    list.Clear(true);
    EXPECT_EQ(list.PageCount(), 0u);
    EXPECT_EQ(list.ItemCount(), 0u);
    EXPECT_EQ(list.FreePageCount(), 3u);
    EXPECT_EQ(list.GetItem2(0), nullptr);

    const long before = AllocationCount();
    for (uint32_t i = 0; i < items; ++i) ASSERT_TRUE(list.AppendItem2(uint16_t(i + 1)));
    EXPECT_EQ(AllocationCount(), before);
    EXPECT_EQ(list.FreePageCount(), 0u);
    EXPECT_EQ(list.PageCount(), 3u);
    EXPECT_EQ(*list.GetItem2(items - 1), uint16_t(items));
    // The pages came back in another order: the index must follow the new chain.
    ASSERT_TRUE(list.BuildPageIndex());
    for (uint32_t i : {0u, 4090u, 4091u, 8182u, items - 1})
        EXPECT_EQ(*list.GetItem2(i), uint16_t(i + 1)) << i;
}

TEST(PagedList, ClearWithoutRecycleGivesPagesBack) {
    CPagedList list;
    const long live = LiveBlockCount();
    for (uint32_t i = 0; i < 5000; ++i) ASSERT_TRUE(list.AppendItem2(1));
    EXPECT_EQ(LiveBlockCount(), live + 2);
    list.Clear(false);
    EXPECT_EQ(LiveBlockCount(), live);
    EXPECT_EQ(list.FreePageCount(), 0u);
}

TEST(PagedList, GrowTo2FillsAndOnlyBuildsTheIndexWhenAlreadyLongEnough) {
    CPagedList list;
    ASSERT_TRUE(list.GrowTo2(5000, 0x1234, false));
    EXPECT_EQ(list.ItemCount(), 5000u);
    EXPECT_EQ(list.PageCount(), 2u);
    EXPECT_FALSE(list.IndexValid());
    EXPECT_EQ(*list.GetItem2(0), 0x1234);
    EXPECT_EQ(*list.GetItem2(4999), 0x1234);

    ASSERT_TRUE(list.GrowTo2(100, 7, false));
    EXPECT_EQ(list.ItemCount(), 5000u);
    EXPECT_FALSE(list.IndexValid());
    ASSERT_TRUE(list.GrowTo2(100, 7, true));
    EXPECT_EQ(list.ItemCount(), 5000u);
    EXPECT_TRUE(list.IndexValid());
    EXPECT_EQ(*list.GetItem2(4095), 0x1234);

    // Appending invalidates the index; growing with the flag builds it again.
    ASSERT_TRUE(list.GrowTo2(9000, 9, true));
    EXPECT_TRUE(list.IndexValid());
    EXPECT_EQ(*list.GetItem2(4999), 0x1234);
    EXPECT_EQ(*list.GetItem2(5000), 9);
    EXPECT_EQ(*list.GetItem2(8999), 9);
    EXPECT_EQ(list.GetItem2(9000), nullptr);
}

TEST(PagedList, GrowTo2ReportsSuccessWhenOnlyTheIndexFails) {
    CPagedList list;
    AllocFailGuard guard(1); // the page, not the index
    EXPECT_TRUE(list.GrowTo2(10, 3, true));
    EXPECT_FALSE(list.IndexValid());
    EXPECT_EQ(*list.GetItem2(9), 3);
}

TEST(PagedList, AppendFailsCleanlyWithoutMemory) {
    CPagedList list;
    {
        AllocFailGuard guard(0);
        EXPECT_FALSE(list.AppendItem2(1));
        EXPECT_EQ(list.ItemCount(), 0u);
        EXPECT_EQ(list.PageCount(), 0u);
    }
    for (uint32_t i = 0; i < 4091; ++i) ASSERT_TRUE(list.AppendItem2(uint16_t(i)));
    AllocFailGuard guard(0);
    EXPECT_FALSE(list.AppendItem2(1));
    EXPECT_FALSE(list.GrowTo2(5000, 0, false));
    EXPECT_EQ(list.ItemCount(), 4091u);
    EXPECT_EQ(list.PageCount(), 1u);
}

TEST(PagedList, IteratorOnEmptyListEndsAtOnce) {
    CPagedList list;
    PagedListIter it{kAdvance, nullptr, 0};
    EXPECT_EQ(list.NextItem2(it), nullptr);
}

TEST(PagedList, IteratorCrossesFromFirstPageToSecond) {
    CPagedList list;
    const uint32_t items = 4091 + 3;
    for (uint32_t i = 0; i < items; ++i) ASSERT_TRUE(list.AppendItem2(uint16_t(i)));
    PagedListIter it{kAdvance, nullptr, 0};
    std::vector<uint16_t> seen;
    while (uint16_t* item = list.NextItem2(it)) seen.push_back(*item);
    ASSERT_EQ(seen.size(), items);
    for (uint32_t i = 0; i < items; ++i) ASSERT_EQ(seen[i], i);
    EXPECT_EQ(it.page, list.FirstPage()->next);

    // Without the advance flag the iterator stays on the item it returned.
    PagedListIter still{0, nullptr, 0};
    EXPECT_EQ(*list.NextItem2(still), 0);
    EXPECT_EQ(*list.NextItem2(still), 0);
}

TEST(PagedList, AllocPageCountsButDoesNotLink) {
    CPagedList list;
    Page* page = list.AllocPage();
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(list.PageCount(), 1u);
    EXPECT_EQ(page->used, 0);
    EXPECT_EQ(page->next, nullptr);
    EXPECT_EQ(list.FirstPage(), nullptr);
    FreeBlock(page);
}

TEST(PagedList, FreeAllLeavesAnEmptyUsableList) {
    CPagedList list;
    const long live = LiveBlockCount();
    for (uint32_t i = 0; i < 5000; ++i) ASSERT_TRUE(list.AppendItem2(uint16_t(i)));
    ASSERT_TRUE(list.BuildPageIndex());
    list.FreeAll();
    EXPECT_EQ(LiveBlockCount(), live);
    EXPECT_EQ(list.ItemCount(), 0u);
    EXPECT_FALSE(list.IndexValid());
    EXPECT_EQ(list.GetItem2(0), nullptr);
    ASSERT_TRUE(list.AppendItem2(42));
    EXPECT_EQ(*list.GetItem2(0), 42);
}

} // namespace vl
