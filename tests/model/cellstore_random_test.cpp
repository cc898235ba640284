// Puts, replaces, clears and finds many cells of every kind and size in random order,
// checking the store against a plain ordered map after every batch and after compaction.

#include "modeltestutil.h"

namespace vl {

using namespace storetest;

namespace {

using modeltest::Key;
using Reference = modeltest::Cells;

class RandomCells {
public:
    explicit RandomCells(uint32_t seed) : rng_(seed) {}

    uint32_t Below(uint32_t n) { return std::uniform_int_distribution<uint32_t>(0, n - 1)(rng_); }

    Key AnyKey() {
        if (Below(500) == 0) return {kLastRow - Below(3), uint16_t(kLastColumn - Below(3))};
        return {Below(60000), uint16_t(Below(120))};
    }

    // Mostly numbers and short texts, some formulas, now and then a text up to a page.
    std::vector<uint8_t> Record(Key key) {
        const auto [row, column] = key;
        const uint32_t kind = Below(100);
        if (kind < 60) return Number(column, row, double(Below(1000000)) / 8);
        if (kind < 85) return Text(column, row, TextLength(), char('a' + Below(26)));
        FormulaHead head;
        head.resultFlags = Below(2) ? kResultText : kResultNumber;
        head.flags = uint8_t(kCellFormula | (Below(10) == 0 ? Below(12) + 1 : 0) << 4);
        head.cachedNumber = Below(1000);
        head.arrayWidth = uint16_t(Below(3));
        CellBuffer b;
        const std::string formula(Below(60), 'F');
        const std::string cached(Below(40) == 0 ? 2000 + Below(5000) : Below(30), 'c');
        EXPECT_TRUE(MakeFormulaCell(b, column, row, head, formula, cached));
        return {b.bytes, b.bytes + b.size};
    }

private:
    uint32_t TextLength() {
        const uint32_t pick = Below(1000);
        if (pick < 3) return kMaxCellText - Below(2);
        if (pick < 15) return 3000 + Below(kMaxCellText - 3000);
        return Below(40);
    }

    std::mt19937 rng_;
};

void ExpectSameAsReference(const CCellStore& store, const Reference& ref, RandomCells& rnd) {
    ASSERT_TRUE(Consistent(store));
    ASSERT_EQ(modeltest::Dump(store), ref);

    uint16_t c1 = 0, c2 = 0, minCol = UINT16_MAX, maxCol = 0;
    uint32_t r1 = 0, r2 = 0, maxRow = 0;
    for (const auto& [key, bytes] : ref) {
        minCol = std::min(minCol, key.second);
        maxCol = std::max(maxCol, key.second);
        maxRow = std::max(maxRow, key.first);
    }
    ASSERT_EQ(store.GetUsedRange(&c1, &c2, &r1, &r2), !ref.empty());
    if (!ref.empty()) {
        EXPECT_EQ(std::tuple(c1, c2, r1, r2),
                  std::tuple(minCol, maxCol, ref.begin()->first.first, maxRow));
    }

    const uint16_t qc1 = uint16_t(rnd.Below(60)), qc2 = uint16_t(qc1 + rnd.Below(80));
    const uint32_t qr1 = rnd.Below(30000), qr2 = qr1 + rnd.Below(30000);
    uint32_t counts[6], expected[6] = {};
    store.CountCellKinds(counts, {qc1, qr1, qc2, qr2});
    for (const auto& [key, bytes] : ref) {
        if (key.first < qr1 || key.first > qr2 || key.second < qc1 || key.second > qc2) continue;
        const uint8_t* r = bytes.data();
        const int kind = cell::IsText(r)                        ? 1
                         : cell::IsNumber(r)                    ? 0
                         : cell::Error(r)                       ? 5
                         : cell::ResultFlags(r) & kResultText   ? 3
                         : cell::ResultFlags(r) & kResultNumber ? 2
                                                                : -1;
        if (kind >= 0) ++expected[kind];
    }
    EXPECT_TRUE(std::equal(counts, counts + 6, expected));
}

void ExpectFinds(CCellStore& store, const Reference& ref, RandomCells& rnd) {
    for (bool indexed : {false, true}) {
        if (indexed) {
            CellCursor cursor{kAdvance, nullptr, 0};
            for (uint32_t block = 0; block < 60; ++block)
                ASSERT_TRUE(store.BuildRowBlockIndex(block, cursor));
        }
        for (int n = 0; n < 2000; ++n) {
            const Key key = rnd.AnyKey();
            const uint8_t* r = FindCell(store, key.first, key.second);
            const auto it = ref.find(key);
            ASSERT_EQ(r != nullptr, it != ref.end()) << key.first << "," << key.second;
            if (r) {
                ASSERT_TRUE(std::equal(it->second.begin(), it->second.end(), r));
            }
        }
        store.ClearRowIndex(false);
    }
}

} // namespace

TEST(CellStoreRandom, MatchesAnOrderedMapThroughPutsReplacesAndCompaction) {
    RandomCells rnd(20240611);
    CCellStore store;
    Reference ref;
    const int batches = 12, putsPerBatch = 20000;
    int compactions = 0, ownPageSplits = 0;
    for (int batch = 0; batch < batches; ++batch) {
        for (int n = 0; n < putsPerBatch;) {
            if (rnd.Below(10000) == 0) {
                // Clearing half the columns of a band of rows frees bytes in the pages that
                // stay, which a later put repacks.
                const uint32_t top = rnd.Below(60000);
                const CellRange rect{0, top, 60, top + 10000 + rnd.Below(20000)};
                ClearRect(store, rect, nullptr, rnd.Below(2) == 0);
                std::erase_if(ref, [&](const auto& e) {
                    return RangeContains(rect, e.first.second, e.first.first);
                });
                continue;
            }
            if (rnd.Below(50) == 0 && !ref.empty()) {
                // A run of increasing cells from some existing one, written with a cursor.
                auto it = ref.lower_bound(rnd.AnyKey());
                if (it == ref.end()) continue;
                CellCursor cursor{kAdvance, nullptr, 0};
                ASSERT_NE(FindCellFromCursor(store, it->first.first, it->first.second, cursor),
                          nullptr);
                Key key = it->first;
                for (int k = 0; k < 200 && key.second < 2000; ++k, ++n) {
                    key.second = uint16_t(key.second + 1 + rnd.Below(3));
                    auto record = rnd.Record(key);
                    const uint32_t freeBytes = store.FreeBytes();
                    ASSERT_TRUE(Put(store, record, cursor));
                    compactions += freeBytes > 1000000 && store.FreeBytes() == 0;
                    ref[key] = std::move(record);
                }
                continue;
            }
            Key key = rnd.AnyKey();
            if (rnd.Below(4) == 0 && !ref.empty()) {
                auto it = ref.lower_bound(key);
                if (it != ref.end()) key = it->first; // a replacement
            }
            auto record = rnd.Record(key);
            const uint32_t pages = store.PageCount(), freeBytes = store.FreeBytes();
            ASSERT_TRUE(Put(store, record));
            // Make sure the run went through the repacking and the three-way split.
            compactions += freeBytes > 1000000 && store.FreeBytes() == 0;
            ownPageSplits += store.PageCount() == pages + 2;
            ref[key] = std::move(record);
            ++n;
        }
        ExpectSameAsReference(store, ref, rnd);
        ExpectFinds(store, ref, rnd);
        if (HasFatalFailure()) return;
    }
    EXPECT_GT(compactions, 0);
    EXPECT_GT(ownPageSplits, 0);
    for (bool freePages : {false, true}) {
        for (int n = 0; n < 3000; ++n) {
            const Key key = rnd.AnyKey();
            auto record = rnd.Record(key);
            ASSERT_TRUE(Put(store, record));
            ref[key] = std::move(record);
        }
        const uint32_t spare = store.FreePageCount();
        store.Compact(freePages);
        ExpectSameAsReference(store, ref, rnd);
        ExpectFinds(store, ref, rnd);
        EXPECT_EQ(store.FreeBytes(), 0u);
        EXPECT_TRUE(freePages ? store.FreePageCount() == spare : store.FreePageCount() >= spare);
    }
}

} // namespace vl
