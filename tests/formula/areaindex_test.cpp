// The index of areas read by formulas: every query finds exactly the areas that overlap it,
// once per time each was added, whether they came at once or in batches that merge.
#include "formula/areaindex.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <random>
#include <vector>

namespace vl::test {

namespace {

bool Overlaps(const AreaEntry& e, const CellRange& q) {
    return e.c1 <= q.c2 && q.c1 <= e.c2 && e.r1 <= q.r2 && q.r1 <= e.r2;
}

// Mostly small areas, some whole columns, some long rows: uneven, so that blocks hold areas
// of very different last rows.
AreaEntry RandomArea(std::mt19937& rng, uint32_t id) {
    const uint32_t r1 = rng() % 2000;
    const uint16_t c1 = uint16_t(rng() % 30);
    uint32_t r2 = r1 + rng() % 4;
    uint16_t c2 = uint16_t(c1 + rng() % 3);
    switch (rng() % 10) {
    case 0:
        r2 = r1 + 1500;
        break;
    case 1:
        c2 = 2046;
        break;
    default:
        break;
    }
    return {r1, r2, id, c1, c2};
}

CellRange RandomQuery(std::mt19937& rng) {
    const uint32_t r1 = rng() % 2100;
    const uint16_t c1 = uint16_t(rng() % 35);
    return {c1, r1, uint16_t(c1 + rng() % 4), uint32_t(r1 + rng() % 40)};
}

std::vector<uint32_t> Expected(const std::vector<AreaEntry>& all, const CellRange& q) {
    std::vector<uint32_t> ids;
    for (const AreaEntry& e : all)
        if (Overlaps(e, q)) ids.push_back(e.id);
    std::sort(ids.begin(), ids.end());
    return ids;
}

template <typename Index> std::vector<uint32_t> Found(const Index& index, const CellRange& q) {
    std::vector<uint32_t> ids;
    index.ForEach(q, [&](uint32_t id) { ids.push_back(id); });
    std::sort(ids.begin(), ids.end());
    return ids;
}

} // namespace

// Built with BuildOnce, the same area added twice for one formula is found once.
TEST(AreaIndex, AQueryFindsEveryOverlappingAreaOnce) {
    for (std::size_t n : {0u, 1u, 15u, 16u, 17u, 1000u, 4099u}) {
        SCOPED_TRACE(n);
        std::mt19937 rng(uint32_t(n) + 1);
        std::vector<AreaEntry> all;
        CAreaIndex index, plain; // with repeats, and each area once
        for (uint32_t i = 0; i < n; ++i) {
            all.push_back(RandomArea(rng, i));
            index.Add(all.back());
            plain.Add(all.back());
            if (i % 7 == 3) index.Add(all.back());
        }
        index.BuildOnce();
        plain.Build();
        ASSERT_EQ(index.Size(), all.size());
        for (int q = 0; q < 300; ++q) {
            const CellRange query = RandomQuery(rng);
            ASSERT_EQ(Found(index, query), Expected(all, query)) << q;
            ASSERT_EQ(Found(plain, query), Expected(all, query)) << q;
        }
        // Edges: the first and last rows of the grid.
        for (CellRange query : {CellRange{0, 0, 2046, 0}, CellRange{0, 3499, 2046, 3499},
                                CellRange{0, 3500, 2046, 2097151}})
            ASSERT_EQ(Found(index, query), Expected(all, query));
    }
}

// Batches of uneven sizes queried after every batch. An area that comes twice in one batch is
// found once; one that comes again in a later batch is found again.
TEST(AreaIndex, BatchesAddedOneAfterAnotherAreAllFound) {
    std::mt19937 rng(7);
    std::vector<AreaEntry> all; // each batch's areas once
    CGrowingAreaIndex index;
    const std::size_t sizes[] = {1, 1, 2, 300, 5, 5, 5, 5, 40, 0, 1, 2000, 3, 17, 16, 900};
    uint32_t id = 0;
    for (std::size_t size : sizes) {
        CAreaIndex batch;
        for (std::size_t i = 0; i < size; ++i) {
            all.push_back(RandomArea(rng, id++));
            batch.Add(all.back());
        }
        if (size == 5) {
            batch.Add(all.back());
            batch.Add(all.front());
            all.push_back(all.front());
        }
        index.AddBatch(std::move(batch));
        ASSERT_EQ(index.Size(), all.size());
        for (int q = 0; q < 100; ++q) {
            const CellRange query = RandomQuery(rng);
            ASSERT_EQ(Found(index, query), Expected(all, query)) << all.size() << " " << q;
        }
    }
}

} // namespace vl::test
