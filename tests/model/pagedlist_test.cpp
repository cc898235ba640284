#include "model/pagedlist.h"
#include "modeltestutil.h"

namespace vl {

using storetest::AllocFailGuard;

namespace {

// An item of `size` bytes whose bytes identify its index.
std::vector<uint8_t> Item(uint32_t size, uint32_t index) {
    std::vector<uint8_t> item(size);
    for (uint32_t k = 0; k < size; ++k) item[k] = uint8_t(index * 7 + k);
    return item;
}

} // namespace

class PagedListPerPage : public ::testing::TestWithParam<std::pair<uint32_t, uint32_t>> {};

// A page holds exactly floor(8,182 / size) items; one more opens a second page.
TEST_P(PagedListPerPage, FullPageThenSecondPageAndItemsReadBack) {
    const auto [size, perPage] = GetParam();
    CPagedList list;
    for (uint32_t i = 0; i < perPage; ++i) ASSERT_TRUE(list.AppendItem(Item(size, i).data(), size));
    EXPECT_EQ(std::tuple(list.PageCount(), uint32_t(list.FirstPage()->used)),
              std::tuple(1u, perPage * size));
    ASSERT_TRUE(list.AppendItem(Item(size, perPage).data(), size));
    EXPECT_EQ(std::tuple(list.PageCount(), uint32_t(list.FirstPage()->next->used)),
              std::tuple(2u, size));
    for (bool indexed : {false, true}) {
        ASSERT_TRUE(!indexed || list.BuildPageIndex());
        for (uint32_t i : {0u, perPage - 1, perPage})
            EXPECT_EQ(std::memcmp(list.GetItem(i, size), Item(size, i).data(), size), 0) << i;
        EXPECT_EQ(list.GetItem(perPage + 1, size), nullptr);
    }
}

INSTANTIATE_TEST_SUITE_P(ItemSizes, PagedListPerPage,
                         ::testing::Values(std::pair{2u, 4091u}, std::pair{16u, 511u},
                                           std::pair{24u, 340u}, std::pair{28u, 292u},
                                           std::pair{44u, 185u}, std::pair{52u, 157u},
                                           std::pair{128u, 63u})); // 8,064 used, 118 free

// The fixed-size appends and reads take a short way on the last page and through the index;
// across page ends, with and without the index and when a page cannot be had, they must
// keep the list as the general ones do.
TEST(PagedList, FixedSizeAppendsAndReadsMatchTheGeneralOnes) {
    struct Kind {
        uint32_t size, perPage;
        bool (CPagedList::*append)(const void*);
    } kinds[] = {{16, 511, &CPagedList::AppendItem16}, {24, 340, &CPagedList::AppendItem24},
                 {28, 292, &CPagedList::AppendItem28}, {44, 185, &CPagedList::AppendItem44},
                 {52, 157, &CPagedList::AppendItem52}, {128, 63, &CPagedList::AppendItem128}};
    for (const Kind& k : kinds) {
        CPagedList list;
        const uint32_t count = 2 * k.perPage + 1;
        for (uint32_t i = 0; i < count; ++i) {
            if (i == k.perPage) {
                // The first item of the second page needs a page: none to be had.
                AllocFailGuard guard(0);
                ASSERT_FALSE((list.*k.append)(Item(k.size, i).data()));
                EXPECT_EQ(std::tuple(list.ItemCount(), list.PageCount()),
                          std::tuple(k.perPage, 1u));
            }
            ASSERT_TRUE((list.*k.append)(Item(k.size, i).data())) << k.size << " " << i;
            if (i % 97 == 0) {
                ASSERT_TRUE(list.BuildPageIndex()); // appends drop it again
            }
        }
        EXPECT_EQ(std::tuple(list.ItemCount(), list.PageCount(), list.IndexValid()),
                  std::tuple(count, 3u, false));
        for (bool indexed : {false, true}) {
            ASSERT_TRUE(!indexed || list.BuildPageIndex());
            for (uint32_t i : {0u, k.perPage - 1, k.perPage, count - 1}) {
                const void* fixed = k.size == 16   ? list.GetItem16(i)
                                    : k.size == 24 ? list.GetItem24(i)
                                    : k.size == 44 ? list.GetItem44(i)
                                    : k.size == 52 ? list.GetItem52(i)
                                                   : list.GetItem(i, k.size);
                ASSERT_EQ(fixed, list.GetItem(i, k.size)) << k.size << " " << i;
                EXPECT_EQ(std::memcmp(fixed, Item(k.size, i).data(), k.size), 0) << i;
            }
            EXPECT_EQ(list.GetItem24(count + 1000), nullptr);
        }
    }
}

TEST(PagedList, ClearWithOrWithoutRecycle) {
    for (bool recycle : {true, false}) {
        CPagedList list;
        const long live = LiveBlockCount();
        const uint32_t items = 3 * 4091;
        for (uint32_t i = 0; i < items; ++i) ASSERT_TRUE(list.AppendItem2(uint16_t(i)));
        ASSERT_TRUE(list.BuildPageIndex());
        list.Clear(recycle);
        EXPECT_EQ(list.PageCount() + list.ItemCount(), 0u);
        EXPECT_EQ(std::tuple(list.GetItem2(0), list.FreePageCount()),
                  std::tuple(static_cast<uint16_t*>(nullptr), recycle ? 3u : 0u));
        // The index array stays for reuse; pages go to the free list or the heap.
        EXPECT_EQ(LiveBlockCount(), live + (recycle ? 4 : 1));
        if (!recycle) continue;
        const long before = AllocationCount();
        for (uint32_t i = 0; i < items; ++i) ASSERT_TRUE(list.AppendItem2(uint16_t(i + 1)));
        EXPECT_EQ(std::tuple(AllocationCount(), list.FreePageCount()), std::tuple(before, 0u));
        // The pages came back in another order: the index must follow the new chain.
        ASSERT_TRUE(list.BuildPageIndex());
        for (uint32_t i : {0u, 4090u, 4091u, 8182u, items - 1})
            EXPECT_EQ(*list.GetItem2(i), uint16_t(i + 1)) << i;
    }
}

TEST(PagedList, GrowAndSetTwoByteItems) {
    CPagedList list;
    ASSERT_TRUE(list.GrowTo2(5000, 0x1234, false));
    EXPECT_EQ(std::tuple(list.ItemCount(), list.IndexValid()), std::tuple(5000u, false));
    // Not above the count: nothing appended, the index built only when asked, or by a read.
    ASSERT_TRUE(list.GrowTo2(5000, 7, false));
    EXPECT_FALSE(list.IndexValid());
    EXPECT_EQ(*list.GetItem2(4999), uint16_t(0x1234));
    EXPECT_TRUE(list.IndexValid());
    ASSERT_TRUE(list.GrowTo2(100, 7, true));
    EXPECT_EQ(std::tuple(list.ItemCount(), list.IndexValid()), std::tuple(5000u, true));
    ASSERT_TRUE(list.GrowTo2(9000, 9, true));
    EXPECT_EQ(std::tuple(*list.GetItem2(4999), *list.GetItem2(5000)),
              std::tuple(uint16_t(0x1234), uint16_t(9)));
    EXPECT_EQ(list.GetItem2(9000), nullptr);
    // SetItem2 extends the list with zero items to reach its index.
    ASSERT_TRUE(list.SetItem2(9000, 5));
    ASSERT_TRUE(list.SetItem2(12000, 6));
    EXPECT_EQ(std::tuple(list.ItemCount(), *list.GetItem2(9000), *list.GetItem2(11999),
                         *list.GetItem2(12000)),
              std::tuple(12001u, uint16_t(5), uint16_t(0), uint16_t(6)));
}

TEST(PagedList, RunningOutOfMemory) {
    CPagedList list;
    {
        AllocFailGuard guard(1); // the page, not the index: grow still succeeds
        EXPECT_TRUE(list.GrowTo2(10, 3, true));
        EXPECT_EQ(std::tuple(list.IndexValid(), *list.GetItem2(9)), std::tuple(false, uint16_t(3)));
    }
    ASSERT_TRUE(list.GrowTo2(4091, 0, false));
    AllocFailGuard guard(0);
    EXPECT_FALSE(list.AppendItem2(1));
    EXPECT_FALSE(list.GrowTo2(5000, 0, false));
    EXPECT_FALSE(list.SetItem2(5000, 1));
    EXPECT_EQ(std::tuple(list.ItemCount(), list.PageCount()), std::tuple(4091u, 1u));
}

TEST(PagedList, IteratorEndsAtOnceOrCrossesPages) {
    CPagedList list;
    PagedListIter it{kAdvance, nullptr, 0};
    EXPECT_EQ(list.NextItem2(it), nullptr);
    const uint32_t items = 4091 + 3;
    for (uint32_t i = 0; i < items; ++i) ASSERT_TRUE(list.AppendItem2(uint16_t(i)));
    std::vector<uint16_t> seen;
    it = {kAdvance, nullptr, 0};
    while (uint16_t* item = list.NextItem2(it)) seen.push_back(*item);
    ASSERT_EQ(seen.size(), items);
    for (uint32_t i = 0; i < items; ++i) ASSERT_EQ(seen[i], i);
    EXPECT_EQ(it.page, list.FirstPage()->next);
    // Without the advance flag the iterator stays on the item it returned.
    PagedListIter still{0, nullptr, 0};
    EXPECT_EQ(*list.NextItem2(still), 0);
    EXPECT_EQ(*list.NextItem2(still), 0);
}

TEST(PagedList, AllocPageAndFreeAll) {
    CPagedList list;
    const long live = LiveBlockCount();
    Page* page = list.AllocPage();
    ASSERT_NE(page, nullptr);
    // Counted, not linked.
    EXPECT_EQ(std::tuple(list.PageCount(), uint32_t(page->used), page->next, list.FirstPage()),
              std::tuple(1u, 0u, nullptr, nullptr));
    FreeBlock(page);
    CPagedList full;
    for (uint32_t i = 0; i < 5000; ++i) ASSERT_TRUE(full.AppendItem2(uint16_t(i)));
    ASSERT_TRUE(full.BuildPageIndex());
    full.FreeAll();
    EXPECT_EQ(LiveBlockCount(), live);
    EXPECT_EQ(full.GetItem2(0), nullptr);
    ASSERT_TRUE(full.AppendItem2(42));
    EXPECT_EQ(*full.GetItem2(0), 42);
}

} // namespace vl
