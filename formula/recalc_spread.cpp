#include "formula/recalc_spread.h"

#include "formula/spreadreach.h"
#include "model/workbook.h"

#include <algorithm>
#include <functional>
#include <queue>
#include <utility>
#include <vector>

namespace vl {

namespace {

constexpr int64_t kNone = -1;

// An area whose cells changed or are about to: `source` writes it, the change of `origin`
// started the marking that reached it.
struct DirtyArea {
    const CCellStore* cells;
    CellRange area;
    int64_t source;
    int64_t origin;
};

class CSettler {
public:
    CSettler(CEvalContext& ctx, CWorkbook& workbook, const CCellStore* only,
             const CellCalculation& calculate)
        : ctx_(ctx), workbook_(workbook), only_(only), calculate_(calculate) {}

    void Run();

private:
    void Mark(const std::vector<SpreadChange>& changes, bool everything);
    bool TryMark(uint32_t id, int64_t origin, std::vector<DirtyArea>& queue);
    std::vector<uint32_t> Order() const;
    void IndexRows(const std::vector<uint32_t>& order) const;
    std::vector<bool> Needed() const;

    CEvalContext& ctx_;
    CWorkbook& workbook_;
    const CCellStore* only_;
    const CellCalculation& calculate_;
    CFormulaReaches reaches_;
    std::vector<uint32_t> markedIn_; // the round a formula was last marked in, 0 never
    std::vector<bool> counted_;      // an array that changed in a round
    std::size_t changedArrays_ = 0;
    uint32_t round_ = 0;
    std::vector<uint32_t> marked_; // this round's, in the order marked
    // An array and a reader of its area, both marked in this round: the reader comes after.
    std::vector<std::pair<uint32_t, uint32_t>> edges_;
};

// The edges from each node, or into it, as ranges of one sorted list.
struct Adjacency {
    std::vector<std::pair<uint32_t, uint32_t>> edges;
    Adjacency(std::vector<std::pair<uint32_t, uint32_t>> list, bool reversed)
        : edges(std::move(list)) {
        if (reversed)
            for (auto& e : edges) std::swap(e.first, e.second);
        std::sort(edges.begin(), edges.end());
        edges.erase(std::unique(edges.begin(), edges.end()), edges.end());
    }
    template <typename F> void ForEach(uint32_t from, F&& f) const {
        auto it =
            std::lower_bound(edges.begin(), edges.end(), std::pair<uint32_t, uint32_t>(from, 0));
        for (; it != edges.end() && it->first == from; ++it) f(it->second);
    }
};

bool CSettler::TryMark(uint32_t id, int64_t origin, std::vector<DirtyArea>& queue) {
    if (markedIn_[id] == round_) return false;
    const FormulaReach& reach = reaches_[id];
    CCellStore& cells = *reaches_.Cells(id);
    uint8_t* r = FindCell(cells, reach.row, reach.column);
    if (!r || !cell::IsFormula(r) || !(r[14] & kResultCalculated)) return false;
    // An array of random numbers gives its readers one set of values per recalculation.
    const bool array = cell::ResultFlags(r) & kResultArray;
    if (array && reach.isVolatile) return false;
    markedIn_[id] = round_;
    marked_.push_back(id);
    r[14] = uint8_t(r[14] & ~(kResultCalculated | kResultWaiting));
    r[13] = 0;
    // A marked array makes its whole area uncalculated: a reader of any element waits.
    CellRange written{reach.column, reach.row, reach.column, reach.row};
    if (array) {
        written.c2 = uint16_t(std::min<uint32_t>(
            reach.column + std::max<uint16_t>(cell::ArrayWidth(r), 1) - 1u, kLastColumn));
        written.r2 = uint32_t(std::min<uint64_t>(
            uint64_t(reach.row) + std::max<uint32_t>(cell::ArrayHeight(r), 1) - 1, kLastRow));
    }
    queue.push_back({&cells, written, int64_t(id), origin});
    return true;
}

// Every formula that reads a changed area, and every one that reads those, becomes
// uncalculated; an array's readers are noted to be calculated after it.
void CSettler::Mark(const std::vector<SpreadChange>& changes, bool everything) {
    marked_.clear();
    std::vector<DirtyArea> queue;
    for (const SpreadChange& c : changes) {
        const int64_t id = reaches_.Find(c.cells, c.row, c.column);
        queue.push_back({c.cells, c.area, kNone, id});
    }
    if (everything)
        for (uint32_t id = 0; id < reaches_.Size(); ++id) TryMark(id, kNone, queue);
    // The formulas that read anything are all met by the first area; after it only the one
    // that area's change started from is left, and arrays need them noted as their readers.
    bool anythingMet = false;
    int64_t anythingOrigin = kNone;
    for (std::size_t i = 0; i < queue.size(); ++i) {
        const DirtyArea d = queue[i];
        // Only an area of elements needs its writer first: a formula cell read before it is
        // calculated is waited for anyway.
        const bool fromArray =
            d.source != kNone && (d.area.c2 > d.area.c1 || d.area.r2 > d.area.r1);
        const auto reader = [&](uint32_t id) {
            // Reading its own elements does not make an array calculated again: they are
            // plain values it takes one turn over.
            if (int64_t(id) == d.origin || int64_t(id) == d.source) return;
            TryMark(id, d.origin, queue);
            if (fromArray && markedIn_[id] == round_) edges_.push_back({uint32_t(d.source), id});
        };
        const bool withAnything = !anythingMet || fromArray;
        reaches_.ForEachReader(d.cells, d.area, withAnything, reader);
        if (!withAnything && anythingOrigin != d.origin && anythingOrigin != kNone &&
            reaches_.ReadsAnything(std::size_t(anythingOrigin)))
            reader(uint32_t(anythingOrigin));
        if (!anythingMet) anythingMet = true, anythingOrigin = d.origin;
    }
}

// The marked formulas, each array before the formulas noted to read it, otherwise in storage
// order; those of a loop of arrays come in storage order.
std::vector<uint32_t> CSettler::Order() const {
    const Adjacency after(edges_, false);
    std::vector<uint32_t> waiting(reaches_.Size(), 0);
    for (const auto& e : after.edges) ++waiting[e.second];
    std::priority_queue<uint32_t, std::vector<uint32_t>, std::greater<>> ready;
    for (uint32_t id : marked_)
        if (waiting[id] == 0) ready.push(id);
    std::vector<uint32_t> order;
    std::vector<bool> placed(reaches_.Size(), false);
    while (!ready.empty()) {
        const uint32_t id = ready.top();
        ready.pop();
        if (placed[id]) continue;
        placed[id] = true;
        order.push_back(id);
        after.ForEach(id, [&](uint32_t reader) {
            if (--waiting[reader] == 0) ready.push(reader);
        });
    }
    std::vector<uint32_t> rest;
    for (uint32_t id : marked_)
        if (!placed[id]) rest.push_back(id);
    std::sort(rest.begin(), rest.end());
    rest.erase(std::unique(rest.begin(), rest.end()), rest.end());
    order.insert(order.end(), rest.begin(), rest.end());
    return order;
}

// With one worksheet recalculated: its marked formulas and the marked arrays they read.
// Formulas they read are calculated on demand; nothing else elsewhere is.
std::vector<bool> CSettler::Needed() const {
    std::vector<bool> needed(reaches_.Size(), only_ == nullptr);
    if (!only_) return needed;
    const Adjacency before(edges_, true);
    std::vector<uint32_t> stack;
    for (uint32_t id : marked_)
        if (reaches_.Cells(id) == only_ && !needed[id]) needed[id] = true, stack.push_back(id);
    while (!stack.empty()) {
        const uint32_t id = stack.back();
        stack.pop_back();
        before.ForEach(id, [&](uint32_t array) {
            if (!needed[array]) needed[array] = true, stack.push_back(array);
        });
    }
    return needed;
}

// A result stored again drops the direct row index of its store; the marked formulas get
// theirs back, so that a precedent is found by a block lookup again.
void CSettler::IndexRows(const std::vector<uint32_t>& order) const {
    std::vector<std::pair<CCellStore*, uint32_t>> blocks;
    for (uint32_t id : order)
        blocks.push_back({reaches_.Cells(id), reaches_[id].row / kRowBlockRows});
    std::sort(blocks.begin(), blocks.end());
    blocks.erase(std::unique(blocks.begin(), blocks.end()), blocks.end());
    CellCursor cursor;
    const CCellStore* last = nullptr;
    for (const auto& [cells, block] : blocks) {
        if (cells != last) cursor = CellCursor{};
        last = cells;
        if (!cells->BlockValid(block)) cells->BuildRowBlockIndex(block, cursor);
    }
}

void CSettler::Run() {
    reaches_.Scan(ctx_, workbook_);
    markedIn_.assign(reaches_.Size(), 0);
    counted_.assign(reaches_.Size(), false);
    for (round_ = 1; !ctx_.spreads.Empty(); ++round_) {
        std::vector<SpreadChange> changes;
        for (std::size_t i = 0; i < ctx_.spreads.Size(); ++i) changes.push_back(ctx_.spreads[i]);
        const bool everything = ctx_.spreads.Lost();
        ctx_.spreads.Clear();
        if (round_ > 1) {
            for (const SpreadChange& c : changes) {
                const int64_t id = reaches_.Find(c.cells, c.row, c.column);
                if (id != kNone && !counted_[std::size_t(id)])
                    counted_[std::size_t(id)] = true, ++changedArrays_;
            }
            // Arrays that keep changing one another: they keep their last results.
            if (round_ > changedArrays_ + 1) break;
        }
        edges_.clear();
        reaches_.AddBuilt(ctx_.spreads);
        Mark(changes, everything);
        if (marked_.empty()) break;
        const std::vector<bool> needed = Needed();
        ctx_.worksheetList = workbook_.tree.first;
        const std::vector<uint32_t> order = Order();
        IndexRows(order);
        for (uint32_t id : order) {
            if (!needed[id]) continue;
            // One calculated already, as a precedent of another, is not calculated twice.
            const FormulaReach& reach = reaches_[id];
            CCellStore& cells = *reaches_.Cells(id);
            const uint8_t* r = FindCell(cells, reach.row, reach.column);
            if (r && cell::IsFormula(r) && !(cell::ResultFlags(r) & kResultCalculated))
                calculate_(cells, reach.row, reach.column);
        }
    }
    ctx_.spreads.Clear();
}

} // namespace

void SettleSpreads(CEvalContext& ctx, CWorkbook& workbook, const CCellStore* only,
                   const CellCalculation& calculate) {
    if (ctx.spreads.Empty()) return;
    CSettler(ctx, workbook, only, calculate).Run();
}

} // namespace vl
