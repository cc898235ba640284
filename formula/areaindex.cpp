#include "formula/areaindex.h"

#include <iterator>
#include <tuple>

namespace vl {

namespace {

// A lambda, so that the sort inlines it.
constexpr auto ByFirstRow = [](const AreaEntry& a, const AreaEntry& b) { return a.r1 < b.r1; };

auto Key(const AreaEntry& e) {
    return std::tuple(e.r1, e.id, e.r2, e.c1, e.c2);
}

} // namespace

uint32_t CAreaIndex::BuildTree(std::size_t node, std::size_t lo, std::size_t hi) {
    if (hi - lo == 1) {
        uint32_t last = 0;
        const std::size_t end = std::min(entries_.size(), (lo + 1) * kBlock);
        for (std::size_t i = lo * kBlock; i < end; ++i) last = std::max(last, entries_[i].r2);
        return maxLastRow_[node] = last;
    }
    const std::size_t mid = lo + (hi - lo) / 2;
    const uint32_t left = BuildTree(node * 2, lo, mid);
    return maxLastRow_[node] = std::max(left, BuildTree(node * 2 + 1, mid, hi));
}

void CAreaIndex::Build() {
    // Areas come mostly in the order of their formulas, which a stable sort keeps.
    std::stable_sort(entries_.begin(), entries_.end(), ByFirstRow);
    BuildBlocks();
}

void CAreaIndex::BuildOnce() {
    std::sort(entries_.begin(), entries_.end(),
              [](const AreaEntry& a, const AreaEntry& b) { return Key(a) < Key(b); });
    entries_.erase(
        std::unique(entries_.begin(), entries_.end(),
                    [](const AreaEntry& a, const AreaEntry& b) { return Key(a) == Key(b); }),
        entries_.end());
    BuildBlocks();
}

void CAreaIndex::BuildBlocks() {
    blocks_ = (entries_.size() + kBlock - 1) / kBlock;
    maxLastRow_.assign(blocks_ * 4, 0);
    if (blocks_) BuildTree(1, 0, blocks_);
}

void CAreaIndex::Merge(CAreaIndex& other) {
    std::vector<AreaEntry> merged;
    merged.reserve(entries_.size() + other.entries_.size());
    std::merge(entries_.begin(), entries_.end(), other.entries_.begin(), other.entries_.end(),
               std::back_inserter(merged), ByFirstRow);
    entries_ = std::move(merged);
    other = CAreaIndex{};
    BuildBlocks();
}

void CGrowingAreaIndex::AddBatch(CAreaIndex batch) {
    batch.BuildOnce();
    if (batch.Size() == 0) return;
    levels_.push_back(std::move(batch));
    while (levels_.size() >= 2 && levels_[levels_.size() - 2].Size() <= 2 * levels_.back().Size()) {
        levels_[levels_.size() - 2].Merge(levels_.back());
        levels_.pop_back();
    }
}

std::size_t CGrowingAreaIndex::Size() const {
    std::size_t n = 0;
    for (const CAreaIndex& level : levels_) n += level.Size();
    return n;
}

} // namespace vl
