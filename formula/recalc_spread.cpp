#include "formula/recalc_spread.h"

#include "formula/evaluator.h"
#include "formula/operands.h"
#include "formula/recalc.h"
#include "formula/spreadloops.h"
#include "formula/spreadreach.h"
#include "model/workbook.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace vl {

namespace {

constexpr int64_t kNone = -1;

// Whether a cell of the rectangle holds no record.
bool HasEmptyCell(const CCellStore& cells, const CellRange& rect) {
    uint64_t held = 0;
    CellCursor cursor{kAdvance, cells.StartPageForRow(rect.r1), 0};
    while (GetNextCellInRange(cursor, rect)) ++held;
    return held < uint64_t(rect.c2 - rect.c1 + 1) * (uint64_t(rect.r2) - rect.r1 + 1);
}
// Evaluations to learn what formulas read, each followed by a new graph, in one round at most.
constexpr int kLearningPasses = 4;

// An area whose cells changed or are about to: `writer` writes it; `met` when that writer is
// to be calculated again rather than changed already, else `clock` tells when it changed.
struct DirtyArea {
    const CCellStore* cells;
    CellRange area;
    int64_t writer;
    bool met;
    uint32_t clock = 0;
};

class CSettler {
public:
    CSettler(CEvalContext& ctx, CWorkbook& workbook, const CCellStore* only,
             const CellCalculation& calculate)
        : ctx_(ctx), workbook_(workbook), only_(only), calculate_(calculate) {}

    // `singles` are formulas the walk left whose results are single cells: nothing the walk
    // calculated read them, so they take their turns once the arrays have settled.
    void Run(const std::vector<FormulaPlace>& deferred, std::vector<FormulaPlace> singles);

private:
    void Mark(const std::vector<SpreadChange>& changes, bool everything,
              const std::vector<FormulaPlace>& deferred);
    void Graph(const std::vector<SpreadChange>& changes, bool everything,
               const std::vector<FormulaPlace>& deferred, std::vector<uint32_t>& starts,
               std::vector<uint32_t>& changed);
    bool ReadUnknown();
    void Learn(std::vector<uint32_t>& ids);
    bool Stale(uint32_t reader, uint32_t clock) const {
        return reaches_.EvaluatedAt(reader) <= clock;
    }
    void Explore(std::vector<DirtyArea>& queue, std::vector<uint32_t>& starts);
    bool Meet(uint32_t id, std::vector<DirtyArea>& queue, bool deferred = false);
    void Keep(const std::vector<uint32_t>& starts, const std::vector<uint32_t>& changed);
    bool Follows(uint32_t writer, uint32_t reader) const;
    void IndexRows(const std::vector<uint32_t>& order) const;
    static void IndexBlocks(std::vector<std::pair<CCellStore*, uint32_t>>& blocks);
    std::vector<bool> Needed() const;
    std::vector<bool> Driving(const std::vector<uint32_t>& order) const;
    bool CalculatePending();
    void CalculateRestored(uint32_t id);
    void Respread(const std::vector<SpreadChange>& changes, std::vector<DirtyArea>& queue,
                  std::vector<uint32_t>& starts);
    void NoteBlocked();

    CEvalContext& ctx_;
    CWorkbook& workbook_;
    const CCellStore* only_;
    const CellCalculation& calculate_;
    CFormulaReaches reaches_;
    CReadGraph graph_;                       // the formulas met in this round and what they read
    std::vector<uint32_t> turns_;            // by formula, its turns in the rounds so far
    std::vector<uint32_t> changedAt_;        // by formula, the clock of its last change this round
    std::vector<bool> kept_;                 // by formula, to be calculated again in this round
    std::vector<uint32_t> marked_;           // those, in the order kept
    std::vector<uint32_t> selfReaders_;      // met formulas whose texts name their own elements
    std::vector<bool> selfReading_;          // by formula, among those
    std::vector<bool> arrayWriter_;          // by met formula, whether its result is an array
    std::vector<uint32_t> pending_;          // formulas whose turn waits until the arrays settle
    std::vector<FormulaPlace> singles_;      // those the walk left, in walk order
    std::vector<uint32_t> pendingArrays_;    // arrays drawing random numbers among them
    std::vector<uint32_t> deferredBuilders_; // those the walk left that build references
    std::vector<uint32_t> blocked_;          // arrays that could not spread in this pass
    std::vector<bool> isBlocked_;            // by formula, among those
};

// A formula calculated in this pass (or one the walk left for now) that reads a changed area:
// it joins the graph, and so do the formulas that read what it writes. An array writes its
// whole area.
bool CSettler::Meet(uint32_t id, std::vector<DirtyArea>& queue, bool deferred) {
    if (graph_.Has(id)) return true;
    const FormulaReach& reach = reaches_[id];
    CCellStore& cells = *reaches_.Cells(id);
    const uint8_t* r = FindCell(cells, reach.row, reach.column);
    if (!r || !cell::IsFormula(r) || !(deferred || (r[14] & kResultCalculated))) return false;
    graph_.Add(id);
    CellRange written{reach.column, reach.row, reach.column, reach.row};
    arrayWriter_[id] = cell::ResultFlags(r) & kResultArray;
    if (arrayWriter_[id]) {
        written.c2 = uint16_t(std::min<uint32_t>(
            reach.column + std::max<uint16_t>(cell::ArrayWidth(r), 1) - 1u, kLastColumn));
        written.r2 = uint32_t(std::min<uint64_t>(
            uint64_t(reach.row) + std::max<uint32_t>(cell::ArrayHeight(r), 1) - 1, kLastRow));
    }
    queue.push_back({&cells, written, int64_t(id), true});
    return true;
}

// Meets every formula that reads a queued area, and those that read them, noting who reads
// whom. A reader of an area whose writer is not known, or one that may read anything, is kept
// whatever else holds.
void CSettler::Explore(std::vector<DirtyArea>& queue, std::vector<uint32_t>& starts) {
    // The formulas that read anything are all met by the first area; after it only the writer
    // of that area is left, and arrays need them noted as their readers.
    bool anythingMet = false;
    int64_t anythingWriter = kNone;
    for (std::size_t i = 0; i < queue.size(); ++i) {
        const DirtyArea d = queue[i];
        const bool elements = d.writer != kNone && (d.area.c2 > d.area.c1 || d.area.r2 > d.area.r1);
        const auto reader = [&](uint32_t id) {
            // Reading its own elements makes no loop: they are plain values it takes one turn
            // over.
            if (int64_t(id) == d.writer) {
                selfReaders_.push_back(id);
                selfReading_[id] = true;
                return;
            }
            if (!Meet(id, queue)) return;
            // One whose text may read anything is not held back by a loop, whatever it read
            // this time; one that read the change already needs no turn for it.
            const bool free =
                d.writer == kNone || reaches_[id].everywhere || reaches_.ReadsAnything(id);
            if (free && (d.met || Stale(id, d.clock))) starts.push_back(id);
            if (d.writer != kNone) graph_.Reads(uint32_t(d.writer), id, elements);
        };
        const bool withAnything = !anythingMet || (elements && d.met);
        reaches_.ForEachReader(d.cells, d.area, withAnything, reader);
        if (!withAnything && anythingWriter != d.writer && anythingWriter != kNone &&
            reaches_.ReadsAnything(std::size_t(anythingWriter)))
            reader(uint32_t(anythingWriter));
        if (!anythingMet) anythingMet = true, anythingWriter = d.writer;
    }
}

// Whether a change of `writer` gives `reader` another turn. Inside a loop the turns are
// counted, so that what a loop shows depends on the loop alone; one drawing random numbers
// takes no more from its own loop.
bool CSettler::Follows(uint32_t writer, uint32_t reader) const {
    if (graph_.Group(writer) != graph_.Group(reader)) return true;
    return !reaches_[reader].isVolatile && turns_[reader] < graph_.GroupSize(reader);
}

// The formulas to calculate again: those the starts and the changed formulas reach, each
// becoming uncalculated.
void CSettler::Keep(const std::vector<uint32_t>& starts, const std::vector<uint32_t>& changed) {
    std::vector<uint32_t> stack;
    // Each array settles once what it reads has, so no formula outside a loop takes more turns
    // than there are formulas; the bound only guards against a read the log never saw.
    const uint32_t maxTurns = uint32_t(reaches_.Size()) + 1;
    const auto keep = [&](uint32_t id) {
        if (kept_[id] || turns_[id] >= maxTurns) return;
        const FormulaReach& reach = reaches_[id];
        uint8_t* r = FindCell(*reaches_.Cells(id), reach.row, reach.column);
        if (!r || !cell::IsFormula(r)) return;
        kept_[id] = true;
        ++turns_[id];
        marked_.push_back(id);
        stack.push_back(id);
        r[14] = uint8_t(r[14] & ~(kResultCalculated | kResultWaiting));
        r[13] = 0;
    };
    for (uint32_t id : starts) keep(id);
    // A formula evaluated after a change read it already.
    for (uint32_t writer : changed)
        graph_.ForEachReader(writer, [&](uint32_t reader) {
            if (!kept_[reader] && Stale(reader, changedAt_[writer]) && Follows(writer, reader))
                keep(reader);
        });
    while (!stack.empty()) {
        const uint32_t writer = stack.back();
        stack.pop_back();
        graph_.ForEachReader(writer, [&](uint32_t reader) {
            if (!kept_[reader] && Follows(writer, reader)) keep(reader);
        });
    }
}

// The graph of the formulas that read the changed areas, and those that read them in turn.
void CSettler::Graph(const std::vector<SpreadChange>& changes, bool everything,
                     const std::vector<FormulaPlace>& deferred, std::vector<uint32_t>& starts,
                     std::vector<uint32_t>& changed) {
    graph_.Clear(reaches_.Size());
    starts.clear();
    changed.clear();
    for (uint32_t id : selfReaders_) selfReading_[id] = false;
    selfReaders_.clear();
    std::vector<DirtyArea> queue;
    for (const SpreadChange& c : changes) {
        const int64_t id = reaches_.Find(c.cells, c.row, c.column);
        if (id != kNone && graph_.Add(uint32_t(id))) changed.push_back(uint32_t(id));
        if (id != kNone)
            changedAt_[std::size_t(id)] = c.clock, arrayWriter_[std::size_t(id)] = true;
        queue.push_back({c.cells, c.area, id, false, c.clock});
    }
    if (everything)
        for (uint32_t id = 0; id < reaches_.Size(); ++id)
            if (Meet(id, queue)) starts.push_back(id);
    Respread(changes, queue, starts);
    deferredBuilders_.clear();
    for (const FormulaPlace& p : deferred) {
        const int64_t id = reaches_.Find(p.cells, p.row, p.column);
        if (id == kNone || !Meet(uint32_t(id), queue, true)) continue;
        starts.push_back(uint32_t(id));
        if (reaches_[std::size_t(id)].builds) deferredBuilders_.push_back(uint32_t(id));
    }
    Explore(queue, starts);
    graph_.FindLoops();
}

// An array that could not spread for the cells in its way may find them free where another
// array gave them up: it spreads again in this round. An array keeps the cells it spread over
// until it gives them up, so one spread never takes another's.
void CSettler::Respread(const std::vector<SpreadChange>& changes, std::vector<DirtyArea>& queue,
                        std::vector<uint32_t>& starts) {
    if (changes.empty() || blocked_.empty()) return;
    for (const SpreadChange& c : changes) {
        const int64_t writer = reaches_.Find(c.cells, c.row, c.column);
        if (writer == kNone) continue;
        const uint16_t sheet = reaches_[std::size_t(writer)].sheet;
        for (uint32_t id : blocked_) {
            const FormulaReach& reach = reaches_[id];
            const CellRange both{std::max(c.area.c1, reach.column), std::max(c.area.r1, reach.row),
                                 c.area.c2, c.area.r2};
            if (reach.sheet != sheet || int64_t(id) == writer || both.c1 > both.c2 ||
                both.r1 > both.r2 || !HasEmptyCell(*c.cells, both))
                continue;
            // One that spread since is in nobody's way.
            const uint8_t* r = FindCell(*c.cells, reach.row, reach.column);
            if (r && (r[0] & 0xF0) == kErrFill && Meet(id, queue, true)) starts.push_back(id);
        }
    }
}

// Notes the arrays that could not spread since the last call.
void CSettler::NoteBlocked() {
    for (const SpreadChange& b : ctx_.spreads.TakeBlocked()) {
        const int64_t id = reaches_.Find(b.cells, b.row, b.column);
        if (id != kNone && !isBlocked_[std::size_t(id)])
            isBlocked_[std::size_t(id)] = true, blocked_.push_back(uint32_t(id));
    }
}

// Formulas whose reads are not known yet and whose texts name what they write, or cells of
// others that seem to read them in turn, are evaluated once without storing a result to learn
// what they read: a branch not taken gives them no second turn. Random numbers are not drawn
// then, so that each formula draws once.
bool CSettler::ReadUnknown() {
    std::vector<uint32_t> unknown;
    for (uint32_t id : graph_.Nodes())
        if (graph_.GroupSize(id) > 1 && !reaches_.Logged(id)) unknown.push_back(id);
    for (uint32_t id : selfReaders_)
        if (!reaches_.Logged(id) && graph_.GroupSize(id) == 1) unknown.push_back(id);
    // One the walk left that finds what it reads while it runs takes its turn after what it
    // reads, which only such an evaluation tells.
    for (uint32_t id : deferredBuilders_)
        if (!reaches_.Logged(id)) unknown.push_back(id);
    if (unknown.empty()) return false;
    Learn(unknown);
    return true;
}

void CSettler::Learn(std::vector<uint32_t>& unknown) {
    std::sort(unknown.begin(), unknown.end());
    unknown.erase(std::unique(unknown.begin(), unknown.end()), unknown.end());
    ctx_.worksheetList = workbook_.tree.first;
    for (uint32_t id : unknown) {
        const FormulaReach& reach = reaches_[id];
        CCellStore& cells = *reaches_.Cells(id);
        const uint8_t* r = FindCell(cells, reach.row, reach.column);
        if (!r || !cell::IsFormula(r)) continue;
        // A search moves records while it tries values.
        const std::string text(cell::Formula(r));
        ctx_.currentCells = &cells;
        NoteEvaluation(ctx_, &cells, reach.row, reach.column, kMarkReadOnly);
        ctx_.readOnly = true;
        if (EvaluateFormula(ctx_, text, reach.column, reach.row) && FinishFormulaResult(ctx_))
            ReleaseOperand(ctx_, ctx_.values[1]);
        ctx_.readOnly = false;
        ClearOperand(ctx_.pendingPrecedent);
        ctx_.pendingCells.Clear();
    }
    reaches_.AddBuilt(ctx_.spreads);
}

// Every formula that reads a changed area, and every one that reads those, becomes
// uncalculated, but for the turns a loop has used up.
void CSettler::Mark(const std::vector<SpreadChange>& changes, bool everything,
                    const std::vector<FormulaPlace>& deferred) {
    for (uint32_t id : marked_) kept_[id] = false;
    marked_.clear();
    std::vector<uint32_t> starts, changed;
    Graph(changes, everything, deferred, starts, changed);
    // What one learns may join others in a loop whose reads are not known either.
    for (int pass = 0; pass < kLearningPasses && ReadUnknown(); ++pass)
        Graph(changes, everything, deferred, starts, changed);
    Keep(starts, changed);
}

// With one worksheet recalculated: its marked formulas and the marked arrays they read.
// Formulas they read are calculated on demand; nothing else elsewhere is.
std::vector<bool> CSettler::Needed() const {
    std::vector<bool> needed(reaches_.Size(), only_ == nullptr);
    if (!only_) return needed;
    std::vector<uint32_t> stack;
    for (uint32_t id : marked_)
        if (reaches_.Cells(id) == only_ && !needed[id]) needed[id] = true, stack.push_back(id);
    while (!stack.empty()) {
        const uint32_t id = stack.back();
        stack.pop_back();
        graph_.ForEachElementWriter(id, [&](uint32_t array) {
            if (kept_[array] && !needed[array]) needed[array] = true, stack.push_back(array);
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
    IndexBlocks(blocks);
}

void CSettler::IndexBlocks(std::vector<std::pair<CCellStore*, uint32_t>>& blocks) {
    if (!std::is_sorted(blocks.begin(), blocks.end())) std::sort(blocks.begin(), blocks.end());
    blocks.erase(std::unique(blocks.begin(), blocks.end()), blocks.end());
    CellCursor cursor;
    const CCellStore* last = nullptr;
    for (const auto& [cells, block] : blocks) {
        if (cells != last) cursor = CellCursor{};
        last = cells;
        if (!cells->BlockValid(block)) cells->BuildRowBlockIndex(block, cursor);
    }
}

// The formulas of a round's order whose results an array takes in this round, directly or
// through others, or that may change what an array spreads over: an array and a loop's formulas.
// The others cannot change an element, so they wait until the arrays settle and are calculated
// once, not once per round. With a formula that may read anything among them, every one
// counts.
std::vector<bool> CSettler::Driving(const std::vector<uint32_t>& order) const {
    std::vector<bool> driving(reaches_.Size(), false);
    bool anything = false;
    for (uint32_t id : graph_.Nodes())
        anything = anything || reaches_[id].everywhere || reaches_.ReadsAnything(id);
    for (auto it = order.rbegin(); it != order.rend(); ++it) {
        const uint32_t id = *it;
        bool d = anything || graph_.GroupSize(id) > 1;
        bool read = false;
        graph_.ForEachReader(id, [&](uint32_t reader) {
            read = read || kept_[reader];
            d = d || (kept_[reader] && driving[reader]);
        });
        // An array drawing random numbers that nothing calculated again reads waits too, so
        // that it draws once: should it change at its turn, the rounds go on from there.
        driving[id] = d || (arrayWriter_[id] && (read || !reaches_[id].isVolatile));
    }
    return driving;
}

// Calculates an array whose elements before this recalculation are back for its turn. Other
// formulas of its loop calculated meanwhile, as what it reads, read those elements: they are
// calculated again on what it shows now.
void CSettler::CalculateRestored(uint32_t id) {
    const auto place = [&](uint32_t m) {
        return FindCell(*reaches_.Cells(m), reaches_[m].row, reaches_[m].column);
    };
    std::vector<uint32_t> waiting; // the loop's formulas not calculated yet
    if (graph_.GroupSize(id) > 1)
        for (uint32_t m : graph_.Nodes()) {
            const uint8_t* r = m != id && graph_.Group(m) == graph_.Group(id) ? place(m) : nullptr;
            if (r && cell::IsFormula(r) && !(r[14] & kResultCalculated)) waiting.push_back(m);
        }
    calculate_(*reaches_.Cells(id), reaches_[id].row, reaches_[id].column);
    for (uint32_t m : waiting) {
        uint8_t* r = place(m);
        // A circular one keeps what the walk of its cycle gave it.
        if (!r || !cell::IsFormula(r) || !(r[14] & kResultCalculated) || (r[0] & 0xF0) == kErrCirc)
            continue;
        r[14] = uint8_t(r[14] & ~(kResultCalculated | kResultWaiting));
        r[13] = 0;
        CCellStore& cells = *reaches_.Cells(m);
        if (selfReading_[m]) RestoreSavedElements(ctx_, cells, reaches_[m].row, reaches_[m].column);
        calculate_(cells, reaches_[m].row, reaches_[m].column);
    }
}

// Calculates the waiting formulas still uncalculated; false when none waited.
bool CSettler::CalculatePending() {
    // The arrays first: should one change, the others wait for the rounds that follow.
    if (!pendingArrays_.empty()) {
        std::sort(pendingArrays_.begin(), pendingArrays_.end());
        ctx_.worksheetList = workbook_.tree.first;
        IndexRows(pendingArrays_);
        for (uint32_t id : pendingArrays_) {
            const FormulaReach& reach = reaches_[id];
            CCellStore& cells = *reaches_.Cells(id);
            const uint8_t* r = FindCell(cells, reach.row, reach.column);
            if (r && cell::IsFormula(r) && !(cell::ResultFlags(r) & kResultCalculated))
                calculate_(cells, reach.row, reach.column);
        }
        pendingArrays_.clear();
        if (!ctx_.spreads.Empty()) return true;
    }
    if (pending_.empty() && singles_.empty()) return false;
    // Those of the rounds in the order the rounds took them, each after what it reads, then the
    // singles in walk order: the singles may be most of the workbook's formulas, so they are
    // taken where they stand, not copied.
    const std::vector<uint32_t> pending = std::move(pending_);
    const std::vector<FormulaPlace> singles = std::move(singles_);
    pending_.clear();
    singles_.clear();
    const auto place = [&](std::size_t i) {
        if (i >= pending.size()) return singles[i - pending.size()];
        const uint32_t id = pending[i];
        return FormulaPlace{reaches_.Cells(id), reaches_[id].row, reaches_[id].column};
    };
    const std::size_t count = pending.size() + singles.size();
    ctx_.worksheetList = workbook_.tree.first;
    std::vector<std::pair<CCellStore*, uint32_t>> blocks;
    for (std::size_t i = 0; i < count; ++i) {
        const FormulaPlace p = place(i);
        if (blocks.empty() || blocks.back() != std::pair(p.cells, p.row / kRowBlockRows))
            blocks.push_back({p.cells, p.row / kRowBlockRows});
    }
    IndexBlocks(blocks);
    // Nothing reads them but formulas that wait too, and no array changes any more, unless
    // one of them spreads after all: then the singles calculated before its change are
    // evaluated again to learn what they read, and so is it. One calculated already is left
    // as it is by the calculation itself.
    ctx_.spreads.LogReads(false);
    std::size_t beforeChange = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const FormulaPlace p = place(i);
        const std::size_t changes = ctx_.spreads.Size();
        calculate_(*p.cells, p.row, p.column);
        if (ctx_.spreads.Size() != changes || ctx_.spreads.Lost()) beforeChange = i + 1;
    }
    ctx_.spreads.LogReads(true);
    if (ctx_.spreads.Empty()) return true;
    std::vector<uint32_t> unknown;
    for (std::size_t i = 0; i < beforeChange; ++i) {
        const FormulaPlace p = place(i);
        const int64_t id = reaches_.Find(p.cells, p.row, p.column);
        if (id != kNone && !reaches_.Logged(std::size_t(id))) unknown.push_back(uint32_t(id));
    }
    Learn(unknown);
    return true;
}

void CSettler::Run(const std::vector<FormulaPlace>& deferred, std::vector<FormulaPlace> singles) {
    reaches_.Scan(ctx_, workbook_);
    blocked_ = reaches_.Blocked();
    isBlocked_.assign(reaches_.Size(), false);
    for (uint32_t id : blocked_) isBlocked_[id] = true;
    turns_.assign(reaches_.Size(), 0);
    changedAt_.assign(reaches_.Size(), 0);
    kept_.assign(reaches_.Size(), false);
    selfReading_.assign(reaches_.Size(), false);
    arrayWriter_.assign(reaches_.Size(), false);
    singles_ = std::move(singles);
    ctx_.spreads.LogReads(true);
    for (uint32_t round = 1;; ++round) {
        // Once no array changes, the formulas that waited take their turns; should one spread
        // after all, the rounds go on.
        if (round > 1 && ctx_.spreads.Empty() && (!CalculatePending() || ctx_.spreads.Empty()))
            break;
        std::vector<SpreadChange> changes;
        for (std::size_t i = 0; i < ctx_.spreads.Size(); ++i) changes.push_back(ctx_.spreads[i]);
        const bool everything = ctx_.spreads.Lost();
        NoteBlocked();
        ctx_.spreads.Clear();
        reaches_.AddBuilt(ctx_.spreads);
        Mark(changes, everything, round == 1 ? deferred : std::vector<FormulaPlace>{});
        if (marked_.empty()) continue;
        const std::vector<bool> needed = Needed();
        ctx_.worksheetList = workbook_.tree.first;
        const std::vector<uint32_t> order = graph_.Order(marked_, kept_);
        const std::vector<bool> driving = Driving(order);
        IndexRows(order);
        for (uint32_t id : order) {
            if (!needed[id]) continue;
            if (!driving[id]) {
                (arrayWriter_[id] ? pendingArrays_ : pending_).push_back(id);
                continue;
            }
            // One calculated already, as a precedent of another, is not calculated twice.
            const FormulaReach& reach = reaches_[id];
            CCellStore& cells = *reaches_.Cells(id);
            const uint8_t* r = FindCell(cells, reach.row, reach.column);
            if (!r || !cell::IsFormula(r) || (cell::ResultFlags(r) & kResultCalculated)) continue;
            // An array reading its own elements reads them as they were before this
            // recalculation: it steps once, however many turns it or its loop takes.
            if (selfReading_[id] && RestoreSavedElements(ctx_, cells, reach.row, reach.column)) {
                CalculateRestored(id);
                continue;
            }
            calculate_(cells, reach.row, reach.column);
        }
    }
    ctx_.spreads.LogReads(false);
    ctx_.spreads.Clear();
}

} // namespace

void SettleSpreads(CEvalContext& ctx, CWorkbook& workbook, const CCellStore* only,
                   const CellCalculation& calculate, const std::vector<FormulaPlace>& deferred) {
    // The formulas the walk left that nothing waited for, on the worksheets recalculated:
    // arrays, and those whose results are single cells.
    std::vector<FormulaPlace> arrays, singles;
    singles.reserve(deferred.size());
    for (const FormulaPlace& p : deferred) {
        const uint8_t* r = FindCell(*p.cells, p.row, p.column);
        if (!r || !cell::IsFormula(r) || (r[14] & kResultCalculated) || (only && p.cells != only))
            continue;
        (r[14] & kResultArray ? arrays : singles).push_back(p);
    }
    // With no array changed and none among them, they read nothing that changes after them
    // and none reads them yet: they take their turns as they come.
    // Should one of them spread for the first time, the rounds follow.
    if (ctx.spreads.Empty() && arrays.empty()) {
        for (const FormulaPlace& p : singles) calculate(*p.cells, p.row, p.column);
        singles.clear();
        if (ctx.spreads.Empty()) return;
    }
    CSettler(ctx, workbook, only, calculate).Run(arrays, std::move(singles));
}

} // namespace vl
