#pragma once
// The areas of one worksheet that formulas read, each with the formula's number, found by the
// area they overlap: the index that lets a changed array find its readers without a scan of
// every formula, whether the formulas name the areas or build them while they run.

#include "model/cellrange.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace vl {

// Kept small: a workbook of a million formulas has a million of these.
struct AreaEntry {
    uint32_t r1, r2, id;
    uint16_t c1, c2;
};

// The areas sorted by first row, in blocks of kBlock, with the largest last row under every
// node of a binary tree over the blocks, so that a query skips what ends above it and stops
// where the areas start below it.
class CAreaIndex {
public:
    void Reserve(std::size_t n) { entries_.reserve(n); }
    // Areas added after the last Build are found only after the next.
    void Add(const AreaEntry& e) { entries_.push_back(e); }
    void Build();
    // Build, keeping an area added twice for one formula once.
    void BuildOnce();
    // Takes the areas of `other`, which is left empty; both must be built.
    void Merge(CAreaIndex& other);
    std::size_t Size() const { return entries_.size(); }

    // Every area that overlaps `q`.
    template <typename F> void ForEach(const CellRange& q, F&& f) const {
        if (!entries_.empty()) Visit(1, 0, blocks_, q, f);
    }

private:
    static constexpr std::size_t kBlock = 16;

    static bool Reads(const AreaEntry& e, const CellRange& q) {
        return e.c1 <= q.c2 && q.c1 <= e.c2 && e.r1 <= q.r2 && q.r1 <= e.r2;
    }

    template <typename F>
    void Visit(std::size_t node, std::size_t lo, std::size_t hi, const CellRange& q, F& f) const {
        if (maxLastRow_[node] < q.r1) return;
        if (entries_[lo * kBlock].r1 > q.r2) return; // every later area starts below
        if (hi - lo == 1) {
            const std::size_t end = std::min(entries_.size(), (lo + 1) * kBlock);
            for (std::size_t i = lo * kBlock; i < end && entries_[i].r1 <= q.r2; ++i)
                if (Reads(entries_[i], q)) f(entries_[i].id);
            return;
        }
        const std::size_t mid = lo + (hi - lo) / 2;
        Visit(node * 2, lo, mid, q, f);
        Visit(node * 2 + 1, mid, hi, q, f);
    }
    void BuildBlocks();
    uint32_t BuildTree(std::size_t node, std::size_t lo, std::size_t hi);

    std::vector<AreaEntry> entries_;
    std::vector<uint32_t> maxLastRow_; // by tree node, the root 1 over [0, blocks_)
    std::size_t blocks_ = 0;
};

// Areas that come in batches, one per round of a recalculation: each batch becomes an index
// of its own, merged with the one before while that is not more than twice as large, so
// that a batch costs about its own sorting and a query visits a few indexes. An area that
// comes again in a later batch is found once more.
class CGrowingAreaIndex {
public:
    // The areas added to `batch` since it was built become found.
    void AddBatch(CAreaIndex batch);
    std::size_t Size() const;

    template <typename F> void ForEach(const CellRange& q, F&& f) const {
        for (const CAreaIndex& level : levels_) level.ForEach(q, f);
    }

private:
    std::vector<CAreaIndex> levels_;
};

} // namespace vl
