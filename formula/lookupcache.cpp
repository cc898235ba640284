#include "formula/lookupcache.h"

#include <algorithm>
#include <functional>

namespace vl {

namespace {

// Ranges remembered in a pass; searches of further ranges walk.
constexpr std::size_t kMaxSlots = 8192;
// Indexes alive at once, so that a write checks a few rectangles at most.
constexpr std::size_t kMaxIndexes = 256;
// Cells held by all indexes together.
constexpr std::size_t kMaxIndexedCells = std::size_t(4) << 20;
// Builds of one range in a pass: a range written again and again stops being indexed.
constexpr uint32_t kMaxBuilds = 32;

bool Overlap(const CellRange& a, const CellRange& b) {
    return a.c1 <= b.c2 && b.c1 <= a.c2 && a.r1 <= b.r2 && b.r1 <= a.r2;
}

CellRange Union(const CellRange& a, const CellRange& b) {
    return {std::min(a.c1, b.c1), std::min(a.r1, b.r1), std::max(a.c2, b.c2), std::max(a.r2, b.r2)};
}

} // namespace

bool CLookupCache::Key::operator==(const Key& o) const {
    return cells == o.cells && kind == o.kind && rect.c1 == o.rect.c1 && rect.r1 == o.rect.r1 &&
           rect.c2 == o.rect.c2 && rect.r2 == o.rect.r2;
}

std::size_t CLookupCache::KeyHash::operator()(const Key& k) const {
    std::size_t h = std::hash<const void*>()(k.cells);
    for (uint64_t part : {uint64_t(k.rect.c1) << 32 | k.rect.r1,
                          uint64_t(k.rect.c2) << 32 | k.rect.r2, uint64_t(k.kind)})
        h = (h ^ std::hash<uint64_t>()(part)) * 0x100000001b3ull;
    return h;
}

void CLookupCache::BeginPass() {
    EndPass();
    served_ = 0;
    active_ = true;
}

void CLookupCache::EndPass() {
    slots_.clear();
    built_.clear();
    indexedCells_ = 0;
    active_ = false;
}

bool CLookupCache::StillBlocked(const Slot& slot) const {
    const uint8_t* r = FindCell(*slot.key.cells, slot.blocker.row, slot.blocker.column);
    return r && cell::IsFormula(r) && !(cell::ResultFlags(r) & kResultCalculated);
}

const CLookupIndex* CLookupCache::Find(CEvalContext& ctx, const CCellStore& cells,
                                       const CellRange& rect, LookupKeys kind) {
    if (!active_) return nullptr;
    const Key key{&cells, rect, kind};
    auto it = slots_.find(key);
    if (it == slots_.end()) {
        // The first search walks: a range searched once is not worth an index.
        if (slots_.size() < kMaxSlots) slots_.emplace(key, Slot{key, 1, 0, false, {}, nullptr});
        return nullptr;
    }
    Slot& slot = it->second;
    ++slot.searches;
    if (!slot.index) {
        if (slot.builds >= kMaxBuilds || built_.size() >= kMaxIndexes) return nullptr;
        if (slot.blocked && StillBlocked(slot)) return nullptr;
        if (!Build(ctx, slot)) return nullptr;
    }
    ++served_;
    return slot.index.get();
}

const CLookupIndex* CLookupCache::Build(CEvalContext& ctx, Slot& slot) {
    ++slot.builds;
    auto index = std::make_unique<CLookupIndex>();
    const CLookupIndex::Build result =
        index->BuildFrom(ctx, *slot.key.cells, slot.key.rect, slot.key.kind, slot.blocker);
    slot.blocked = result == CLookupIndex::Build::kBlocked;
    if (result != CLookupIndex::Build::kReady) return nullptr;
    if (indexedCells_ + index->Size() > kMaxIndexedCells) {
        slot.builds = kMaxBuilds;
        return nullptr;
    }
    indexedCells_ += index->Size();
    bounds_ = built_.empty() ? slot.key.rect : Union(bounds_, slot.key.rect);
    slot.index = std::move(index);
    built_.push_back(&slot);
    return slot.index.get();
}

void CLookupCache::Drop(Slot& slot) {
    indexedCells_ -= slot.index->Size();
    slot.index.reset();
}

void CLookupCache::CellsWritten(const CCellStore& cells, const CellRange& rect) {
    if (built_.empty() || !Overlap(bounds_, rect)) return;
    auto gone = [&](Slot* slot) {
        if (slot->key.cells != &cells || !Overlap(slot->key.rect, rect)) return false;
        Drop(*slot);
        return true;
    };
    built_.erase(std::remove_if(built_.begin(), built_.end(), gone), built_.end());
    for (std::size_t i = 0; i < built_.size(); ++i)
        bounds_ = i == 0 ? built_[i]->key.rect : Union(bounds_, built_[i]->key.rect);
}

} // namespace vl
