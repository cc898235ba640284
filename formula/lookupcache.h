#pragma once
// The lookup indexes of one recalculation: a range searched a second time in the pass is
// indexed and the index serves every later search of it, until the pass ends or a cell of
// the range is written. Outside a recalculation nothing is kept and every search walks.

#include "formula/lookupindex.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

namespace vl {

class CLookupCache {
public:
    void BeginPass();
    // Drops every index and stops keeping them.
    void EndPass();
    bool Active() const { return active_; }

    // The index of the rectangle of the store read as `kind`, null when the search must walk:
    // no pass, the first search of the range, a formula cell of it not calculated yet.
    const CLookupIndex* Find(CEvalContext& ctx, const CCellStore& cells, const CellRange& rect,
                             LookupKeys kind);
    // Whether any index stands, so that a write with none to drop costs no more than this.
    bool Holding() const { return !built_.empty(); }
    // A rectangle of the store changed: the indexes over any of its cells go.
    void CellsWritten(const CCellStore& cells, const CellRange& rect);

    std::size_t IndexCount() const { return built_.size(); }
    // Searches an index served since the last pass began.
    uint64_t Served() const { return served_; }

private:
    struct Key {
        const CCellStore* cells;
        CellRange rect;
        LookupKeys kind;
        bool operator==(const Key& o) const;
    };
    struct KeyHash {
        std::size_t operator()(const Key& k) const;
    };
    struct Slot {
        Key key;
        uint32_t searches = 0;
        uint32_t builds = 0;
        bool blocked = false;
        LookupCell blocker;
        std::unique_ptr<CLookupIndex> index;
    };

    bool StillBlocked(const Slot& slot) const;
    const CLookupIndex* Build(CEvalContext& ctx, Slot& slot);
    void Drop(Slot& slot);

    bool active_ = false;
    std::unordered_map<Key, Slot, KeyHash> slots_;
    std::vector<Slot*> built_;
    std::size_t indexedCells_ = 0;
    uint64_t served_ = 0;
    // Bounds every index's rectangle, so that most writes are told apart at once.
    CellRange bounds_;
};

} // namespace vl
