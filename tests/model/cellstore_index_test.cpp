#include "model/cellwalk.h"
#include "modeltestutil.h"
#include "rowindexcheck.h"

namespace vl {

using namespace storetest;

namespace {

using Records = std::vector<std::vector<uint8_t>>;
using Chain = std::vector<Records>;

// n numbers of a row in columns 2, 4, 6, ...: a gap beside every cell.
Records Wide(uint32_t row, uint32_t n) {
    Records out;
    for (uint32_t k = 0; k < n; ++k)
        out.push_back(Number(uint16_t(2 + 2 * k), row, row + k / 100.0));
    return out;
}

Records Join(std::initializer_list<Records> parts) {
    Records out;
    for (const Records& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

void BuildBlocks(CCellStore& store) {
    CellCursor cursor{kAdvance, nullptr, 0};
    for (uint32_t block : {0u, 1u}) ASSERT_TRUE(store.BuildRowBlockIndex(block, cursor));
}

// Every find of rows around the block boundary, by FindCell and from a fresh cursor, agrees
// with the records the store holds.
::testing::AssertionResult FindsMatchRecords(const CCellStore& store, uint32_t firstRow,
                                             uint32_t lastRow) {
    std::map<std::pair<uint32_t, uint16_t>, std::vector<uint8_t>> cells;
    for (const auto& r : Dump(store)) cells[{cell::Row(r.data()), cell::Column(r.data())}] = r;
    for (uint32_t row = firstRow; row <= lastRow; ++row)
        for (uint16_t c = 0; c <= 44; ++c) {
            const auto it = cells.find({row, c});
            const uint8_t* r = FindCell(store, row, c);
            CellCursor cursor{kAdvance, nullptr, 0};
            const uint8_t* fromCursor = FindCellFromCursor(store, row, c, cursor);
            const bool right = it == cells.end()
                                   ? !r && !fromCursor
                                   : r && r == fromCursor &&
                                         std::vector<uint8_t>(r, r + cell::Length(r)) == it->second;
            if (!right) return ::testing::AssertionFailure() << "cell " << row << "," << c;
        }
    return ::testing::AssertionSuccess();
}

struct IndexedEdit {
    const char* name;
    Chain chain;
    std::function<void(CCellStore&)> edit;
    int pageChange; // pages taken (+) or released (-) by the edit
};

// Rows 1018..1026 (every other one), 20 cells each, on two pages; block 1 starts at 1024.
Chain TwoPages() {
    return {Join({Wide(1018, 20), Wide(1020, 20), Wide(1022, 20)}),
            Join({Wide(1024, 20), Wide(1026, 20)})};
}

// A full page between two others: records a (row 1023) and b (row 1024, the first of block
// 1), with a record of row 1023 put between them. The page before has no room for a head.
IndexedEdit Split(const char* name, uint32_t a, uint32_t b, uint32_t insert, int pageChange) {
    return {name,
            {{Sized(0, 1018, 5000, 'p')},
             {Sized(0, 1023, a, 'a'), Sized(2, 1024, b, 'b')},
             Wide(1026, 20)},
            [insert](CCellStore& s) { ASSERT_TRUE(Put(s, Sized(1, 1023, insert, 'n'))); },
            pageChange};
}

Records FullPageOfRows() {
    Records full;
    for (uint32_t row = 1; row <= 545; ++row) full.push_back(Number(0, row, row));
    return full;
}

void PutNumber(CCellStore& s, uint16_t column, uint32_t row) {
    ASSERT_TRUE(Put(s, Number(column, row, -1)));
}

} // namespace

// Each put and clear of cells moves records on the pages it changes, and every split and
// page release of a put or clear happens once: the index stands after each, every entry and
// mark as a fresh build gives them, and every find right.
TEST(CellStoreIndex, PutsAndClearsKeepTheIndexOfEveryRow) {
    const IndexedEdit edits[] = {
        {"into a gap of a wide row", TwoPages(), [](CCellStore& s) { PutNumber(s, 5, 1020); }, 0},
        {"a longer record in place of one", TwoPages(),
         [](CCellStore& s) { ASSERT_TRUE(Put(s, Sized(4, 1022, 200))); }, 0},
        {"a shorter record in place of one", TwoPages(),
         [](CCellStore& s) { PutNumber(s, 4, 1024); }, 0},
        {"a new row between two", TwoPages(), [](CCellStore& s) { PutNumber(s, 3, 1021); }, 0},
        {"a new row at a page's start", TwoPages(), [](CCellStore& s) { PutNumber(s, 0, 1023); },
         0},
        {"before the first cell of a block's first row", TwoPages(),
         [](CCellStore& s) { PutNumber(s, 0, 1024); }, 0},
        {"before the first cell of the store", TwoPages(),
         [](CCellStore& s) { PutNumber(s, 0, 1018); }, 0},
        {"past the last cell of the store", TwoPages(),
         [](CCellStore& s) { PutNumber(s, 50, 1026); }, 0},
        {"rows cleared across both pages", TwoPages(),
         [](CCellStore& s) {
             ClearRect(s, {0, 1020, 100, 1024}, nullptr, false);
         },
         0},
        {"a page emptied at the chain's end", TwoPages(),
         [](CCellStore& s) {
             ClearRect(s, {0, 1024, 100, 1026}, nullptr, true);
         },
         -1},
        {"columns of every row cleared", TwoPages(),
         [](CCellStore& s) {
             ClearRect(s, {10, 1018, 20, 1026}, nullptr, false);
         },
         0},
        {"one cell of a wide row cleared", TwoPages(),
         [](CCellStore& s) {
             ClearRect(s, {2, 1024, 2, 1024}, nullptr, false);
         },
         0},
        // The record stays and the tail moves; the record opens the new page; a page of
        // its own; the large record opens the new page.
        Split("split keeping the record", 4090, 8182 - 4090, 15, 1),
        Split("split opening a page", 4091, 8182 - 4091, 15, 1),
        Split("split with a page of its own", 5000, 3182, 5001, 2),
        Split("split opening a page with a large record", 5000, 1000, 7000, 1),
        {"split giving the head to the page before",
         {{Text(0, 0, 10)}, FullPageOfRows(), Wide(1024, 20)},
         [](CCellStore& s) { PutNumber(s, 1, 1); },
         0},
        {"split giving a head of earlier rows to the page before",
         {{Text(0, 0, 10)}, FullPageOfRows(), Wide(1024, 20)},
         [](CCellStore& s) { PutNumber(s, 1, 3); },
         0},
        {"an overflowing replacement",
         {Wide(1018, 20),
          {Sized(0, 1023, 3000, 'a'), Sized(1, 1023, 100, 'o'), Sized(2, 1024, 5082, 'b')}},
         [](CCellStore& s) { ASSERT_TRUE(Put(s, Sized(1, 1023, 8000, 'n'))); },
         2},
        // Two edits before any find: the second's rows end above those the first left stale.
        {"a cleared head of a row, then an edit of a page before",
         {Wide(1000, 20), Join({Wide(1012, 20), Wide(1014, 20)})},
         [](CCellStore& s) {
             ClearRect(s, {2, 1012, 2, 1012}, nullptr, false);
             PutNumber(s, 4, 1000);
         },
         0},
        {"onto the end of a less full page before",
         {{Number(0, 1023, 1)}, Join({{Number(10, 1023, 1), Number(11, 1023, 1)}, Wide(1024, 20)})},
         [](CCellStore& s) { PutNumber(s, 5, 1023); },
         0},
    };
    for (const IndexedEdit& e : edits) {
        SCOPED_TRACE(e.name);
        CCellStore store;
        store.AdoptPages(MakeChain(e.chain));
        BuildBlocks(store);
        // Finds before the edit, so that recent places and marks are there to go stale.
        ASSERT_TRUE(FindsMatchRecords(store, 1018, 1026));
        const uint32_t pages = store.PageCount();
        e.edit(store);
        ASSERT_TRUE(Consistent(store));
        EXPECT_TRUE(IndexMatchesPages(store, 0));
        EXPECT_TRUE(IndexMatchesPages(store, 1));
        EXPECT_TRUE(FindsMatchRecords(store, 0, 3));
        EXPECT_TRUE(FindsMatchRecords(store, 1017, 1027));
        EXPECT_TRUE(FindsMatchRecords(store, 999, 1015));
        // The edit took or released the pages its case is about.
        EXPECT_EQ(int(store.PageCount()) - int(pages), e.pageChange);
    }
}

// Columns cleared and the cells past them moved left: the marks named the old columns.
TEST(CellStoreIndex, ColumnsTakenOutDropTheIndex) {
    CCellStore store;
    store.AdoptPages(MakeChain(TwoPages()));
    BuildBlocks(store);
    ASSERT_TRUE(FindsMatchRecords(store, 1018, 1026));
    ClearColumns(store, 3, 6);
    EXPECT_FALSE(store.BlockValid(0) || store.BlockValid(1));
    EXPECT_EQ(cell::Number(FindCell(store, 1024, 4)), 1024 + 0.03); // was column 8
    BuildBlocks(store);
    EXPECT_TRUE(IndexMatchesPages(store, 1));
    EXPECT_TRUE(FindsMatchRecords(store, 1018, 1026));
}

namespace {

// The pages a find of the block's rows may read: from the last page that starts before the
// block to the last that starts before the next one, counted along the chain.
uint32_t PagesOfBlock(const CCellStore& store, uint32_t block) {
    const uint32_t first = block * kRowBlockRows, next = first + kRowBlockRows;
    uint32_t index = 0, from = 0, to = 0;
    for (const Page* p = store.FirstPage(); p; p = p->next, ++index) {
        if (index > 0 && cellwalk::FirstRow(p) < first) from = index;
        if (index > 0 && cellwalk::FirstRow(p) < next) to = index;
    }
    return to - from + 1;
}

} // namespace

// A block wanted on demand is refused for as many finds as it has pages and built at the
// next; off drops it and builds nothing; a whole clear makes it count again.
TEST(CellStoreIndex, BlocksOnDemandAreBuiltOnceTheirFindsCostAsMuch) {
    CCellStore store;
    CellCursor cursor{kAdvance, nullptr, 0};
    for (uint32_t row = 0; row < 2600; ++row)
        for (uint16_t c : {0, 3}) ASSERT_TRUE(Put(store, Number(c, row, row + c), cursor));
    for (uint32_t block : {0u, 1u, 2u, 7u}) {
        SCOPED_TRACE(block);
        const uint32_t pages = PagesOfBlock(store, block);
        ASSERT_GT(pages, block == 7 ? 0u : 2u); // a block over several pages
        for (int round = 0; round < 2; ++round) {
            store.IndexOnDemand(true);
            for (uint32_t k = 0; k < pages; ++k) ASSERT_FALSE(store.BlockValid(block)) << k;
            ASSERT_TRUE(store.BlockValid(block));
            EXPECT_TRUE(IndexMatchesPages(store, block));
            EXPECT_FALSE(store.BlockValid(block == 0 ? 1 : 0)); // the others still count
            // A whole clear leaves the block wanted, counted afresh.
            store.ClearRowIndex(false);
            for (uint32_t k = 0; k < pages; ++k) ASSERT_FALSE(store.BlockValid(block)) << k;
            ASSERT_TRUE(store.BlockValid(block));
            store.IndexOnDemand(false);
            for (uint32_t k = 0; k <= pages; ++k) ASSERT_FALSE(store.BlockValid(block));
        }
    }
    // Finds give the same cells while blocks count and once they are built.
    store.IndexOnDemand(true);
    for (int pass = 0; pass < 40; ++pass)
        for (uint32_t row : {0u, 1023u, 1024u, 2599u, 2600u})
            ASSERT_EQ(FindCell(store, row, 3) ? cell::Number(FindCell(store, row, 3)) : -1.0,
                      row < 2600 ? row + 3.0 : -1.0)
                << row;
    EXPECT_TRUE(store.BlockValid(0) && store.BlockValid(2));
    store.IndexOnDemand(false);
    // Without memory for the block it is left to the finds that do without it.
    store.ClearRowIndex(true);
    store.IndexOnDemand(true);
    EXPECT_FALSE(store.BlockValid(0)); // the first find makes the table, then counts
    {
        AllocFailGuard guard(0);
        for (uint32_t k = 0; k <= PagesOfBlock(store, 1); ++k) EXPECT_FALSE(store.BlockValid(1));
        EXPECT_EQ(cell::Number(FindCell(store, 1500, 0)), 1500);
    }
    // With memory back, the block stays given up until the index is cleared.
    for (uint32_t k = 0; k <= PagesOfBlock(store, 1); ++k) ASSERT_FALSE(store.BlockValid(1));
    store.ClearRowIndex(false);
    for (uint32_t k = 0; k < PagesOfBlock(store, 1); ++k) ASSERT_FALSE(store.BlockValid(1));
    EXPECT_TRUE(store.BlockValid(1));
    store.IndexOnDemand(false);
}

// A cell found lately is taken from its place without a scan only while the record there is
// still that cell: records moved under the note (one taken out by hand, as a writer that
// went round the store would) are found where they are now.
TEST(CellStoreIndex, ARecentlyFoundCellIsCheckedToStillBeTheCell) {
    struct Moved {
        const char* name;
        uint16_t removed; // the column whose record is taken out of the page
        uint16_t sought;  // found again after it
        double expected;  // its number, or -1 for none
    };
    const Moved cases[] = {
        {"the cell itself taken out", 500, 500, -1},
        {"the cell before it taken out", 499, 500, 1025 * 10000.0 + 500},
        {"the cell after it taken out", 501, 500, 1025 * 10000.0 + 500},
    };
    for (const Moved& m : cases) {
        SCOPED_TRACE(m.name);
        CCellStore store;
        CellCursor cursor{kAdvance, nullptr, 0};
        for (uint16_t c = 0; c < 1000; ++c)
            ASSERT_TRUE(Put(store, Number(c, 1025, 1025 * 10000.0 + c), cursor));
        CellCursor build{kAdvance, nullptr, 0};
        ASSERT_TRUE(store.BuildRowBlockIndex(1, build));
        ASSERT_TRUE(store.RowMarked(1025));
        const uint8_t* noted = FindCell(store, 1025, 500);
        ASSERT_NE(noted, nullptr);
        // Take the record out of its page, the rest of the page sliding down.
        Page* page = nullptr;
        for (Page* p = store.FirstPage(); p && !page; p = p->next)
            for (uint32_t at = 0; at < p->used; at += cell::Length(p->payload + at))
                if (cell::Column(p->payload + at) == m.removed) {
                    std::memmove(p->payload + at, p->payload + at + kNumberRecordSize,
                                 p->used - at - kNumberRecordSize);
                    p->used = uint16_t(p->used - kNumberRecordSize);
                    page = p;
                    break;
                }
        ASSERT_NE(page, nullptr);
        const uint8_t* r = FindCell(store, 1025, m.sought);
        EXPECT_EQ(r ? cell::Number(r) : -1.0, m.expected);
        if (r) {
            EXPECT_EQ(cell::Column(r), m.sought);
        }
    }
}

// A block whose first row begins on the page before the one it starts: the entry names the
// row's first cell there, however the build, the refresh of a stale row or a build on demand
// came to it.
TEST(CellStoreIndex, ABlocksFirstRowStartingAPageIsFoundOnThePageBefore) {
    const Chain chain = {Join({Wide(1023, 3), {Number(0, 1024, 0), Number(2, 1024, 2)}}),
                         {Number(4, 1024, 4), Number(6, 1024, 6), Number(0, 1025, 0)},
                         {Number(0, 1030, 0)}};
    const std::function<void(CCellStore&)> routes[] = {
        [](CCellStore& s) {
            CellCursor cursor{kAdvance, nullptr, 0};
            ASSERT_TRUE(s.BuildRowBlockIndex(1, cursor));
        },
        [](CCellStore& s) { // the cursor on the page the row starts
            CellCursor cursor{kAdvance, s.FirstPage()->next, 0};
            ASSERT_TRUE(s.BuildRowBlockIndex(1, cursor));
        },
        [](CCellStore& s) { // the cursor past it, as block 0's build leaves it
            CellCursor cursor{kAdvance, s.FirstPage()->next->next, 0};
            ASSERT_TRUE(s.BuildRowBlockIndex(1, cursor));
        },
        [](CCellStore& s) { // the row stale after a put in place on the later page
            CellCursor cursor{kAdvance, nullptr, 0};
            ASSERT_TRUE(s.BuildRowBlockIndex(1, cursor));
            PutNumber(s, 6, 1024);
        },
        [](CCellStore& s) {
            s.IndexOnDemand(true);
            int finds = 0;
            while (!s.BlockValid(1)) ASSERT_LT(++finds, 10);
        },
    };
    for (size_t i = 0; i < std::size(routes); ++i) {
        SCOPED_TRACE(i);
        CCellStore store;
        store.AdoptPages(MakeChain(chain));
        routes[i](store);
        ASSERT_TRUE(store.BlockValid(1));
        const RowIndexEntry* entry = store.RowEntry(1024);
        ASSERT_NE(entry, nullptr);
        EXPECT_EQ(entry->page, store.FirstPage());
        EXPECT_EQ(cell::Column(entry->page->payload + entry->offset), 0);
        EXPECT_TRUE(IndexMatchesPages(store, 1));
        for (uint16_t c : {0, 2, 4, 6}) EXPECT_NE(FindCell(store, 1024, c), nullptr) << c;
        for (uint16_t c : {1, 5, 7}) EXPECT_EQ(FindCell(store, 1024, c), nullptr) << c;
        store.IndexOnDemand(false);
    }
}

} // namespace vl
