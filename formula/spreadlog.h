#pragma once
// The areas whose array elements a recalculation pass changed: an array spread for the first
// time, grown, shrunk, given other values or turned into a plain result. Formulas calculated
// before such a change read the old elements; the pass calculates them again afterwards, and
// the windows repaint the areas.

#include "formula/growarray.h"
#include "model/cellrange.h"

#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <utility>
#include <vector>

namespace vl {

class CCellStore;

// The anchor of the array and the cells its elements were or are now written to.
struct SpreadChange {
    CCellStore* cells;
    uint32_t row;
    uint16_t column;
    CellRange area;
    uint32_t clock; // the changes noted before it in this recalculation
};

// A reference a formula built while it was evaluated (from text, offsets, a worksheet name held
// in a cell, a folder, or in a search's trial evaluations): what it read besides the references
// its text names.
// While reads are logged (the rounds after the walk), every reference an evaluation reads is
// noted the same way, and each evaluation leaves a mark (`cells` null) so that a formula that
// read nothing is known too.
struct BuiltReference {
    const CCellStore* from; // the formula's worksheet
    uint32_t row;
    uint16_t column;
    const CCellStore* cells; // the worksheet read; null for the mark of an evaluation
    CellRange area;
    uint32_t clock = 0; // the changes noted before the read
};

// What an evaluation's mark says in its area's first column.
constexpr uint16_t kMarkCalculated = 0; // the result was stored
constexpr uint16_t kMarkReadOnly = 1;   // evaluated only to learn what it reads

// The elements an array showed before a recalculation first changed them (its anchor's result
// at (0, 0)), records at places relative to the anchor: a second turn of an array that reads
// its own elements reads them as they were, so that it steps once per recalculation.
struct SavedElements {
    const CCellStore* cells;
    uint32_t row;
    uint16_t column;
    uint16_t width;
    uint32_t height;
    std::vector<uint8_t> records;
    // While they are back in the worksheet for such a turn, what the array showed before.
    bool restored = false;
    uint16_t shownWidth = 0;
    uint32_t shownHeight = 0;
    std::vector<uint8_t> shown;
};

class CSpreadLog {
public:
    // Changes are kept only between Begin and End: outside a recalculation no formula
    // waits to be calculated again.
    void Begin() {
        active_ = true;
        clock_ = 0;
        Clear();
        ClearBuilt();
        ClearSaved();
        StopWatching();
    }
    void End() {
        active_ = false;
        logReads_ = false;
        Clear();
        ClearBuilt();
        ClearSaved();
        StopWatching();
    }
    bool Active() const { return active_; }

    void Changed(CCellStore& cells, uint32_t row, uint16_t column, const CellRange& area) {
        if (active_ && !changes_.Push({&cells, row, column, area, clock_++})) lost_ = true;
        if (shown_.Size() >= kShownLimit || !shown_.Push({&cells, row, column, area, clock_}))
            shownLost_ = true;
    }
    // The changed areas stay noted past the recalculation until the views that show them
    // take them to repaint; false when some were not kept, so that everything is repainted.
    static constexpr std::size_t kShownLimit = 1024;
    template <typename F> bool TakeShown(F&& repaint) {
        for (std::size_t i = 0; i < shown_.Size(); ++i) repaint(shown_[i]);
        const bool whole = !shownLost_;
        shown_.Clear();
        shownLost_ = false;
        return whole;
    }
    // An array kept from spreading by the cells in its way: should another array give them
    // up in this recalculation, it spreads again.
    void Blocked(CCellStore& cells, uint32_t row, uint16_t column) {
        if (active_) blocked_.push_back({&cells, row, column, {column, row, column, row}, clock_});
    }
    std::vector<SpreadChange> TakeBlocked() { return std::exchange(blocked_, {}); }
    bool Empty() const { return changes_.Empty() && !lost_; }
    // A change that could not be kept for want of memory: every formula counts as a reader.
    bool Lost() const { return lost_; }
    std::size_t Size() const { return changes_.Size(); }
    const SpreadChange& operator[](std::size_t i) const { return changes_[i]; }
    void Clear() {
        changes_.Clear();
        lost_ = false;
        blocked_.clear();
    }

    // Kept without a limit: a formula that builds references is met again only through what
    // it built. One evaluation's reads of the same worksheet and columns at the same clock
    // that overlap or touch are kept as one area, their union (a search's trials read the
    // same cells over and over, or cells next to each other): what a formula keeps grows with
    // the separate areas it read, not with its reads.
    void Built(const BuiltReference& reference);
    // Whether every reference an evaluation reads is noted, not only those it built.
    void LogReads(bool on) { logReads_ = on && active_; }
    bool LoggingReads() const { return logReads_; }
    // The changes noted so far in this recalculation.
    uint32_t Clock() const { return clock_; }
    std::size_t BuiltSize() const { return built_.Size(); }
    const BuiltReference& BuiltAt(std::size_t i) const { return built_[i]; }
    // The number of references noted so far, which stay as they are from now on: a reader
    // takes them up to there and later reads are noted past them.
    std::size_t TakeBuilt();
    // A built reference that was not kept: a formula that builds one may read anything.
    bool BuiltLost() const { return builtLost_; }
    void ClearBuilt() {
        built_.Clear();
        builtLost_ = false;
        runStart_ = taken_ = sortedBegin_ = sortedEnd_ = compacted_ = 0;
    }

    // While the array at `area` of `cells` is evaluated, whether it reads its own elements:
    // only those of such an array are kept before it changes them.
    void WatchOwn(const CCellStore* cells, const CellRange& area) {
        ownCells_ = cells;
        ownArea_ = area;
        readOwn_ = false;
    }
    void StopWatching() { ownCells_ = nullptr; }
    bool Watching() const { return ownCells_ != nullptr; }
    void Read(const CCellStore* cells, const CellRange& area) {
        if (cells == ownCells_ && area.c1 <= ownArea_.c2 && ownArea_.c1 <= area.c2 &&
            area.r1 <= ownArea_.r2 && ownArea_.r1 <= area.r2)
            readOwn_ = true;
    }
    bool ReadOwn() const { return ownCells_ && readOwn_; }

    // The array's elements as they were before this recalculation, if they were kept.
    SavedElements* FindSaved(const CCellStore* cells, uint32_t row, uint16_t column);
    // Room for an array's elements before it first changes them; null when they are kept
    // already or would pass the limit, which bounds what a recalculation copies.
    SavedElements* SaveRoom(const CCellStore* cells, uint32_t row, uint16_t column,
                            std::size_t bytes);
    static constexpr std::size_t kSavedLimit = std::size_t(4) << 20; // bytes
    void ClearSaved() {
        saved_.clear();
        savedAt_.clear();
        savedBytes_ = 0;
        restored_ = 0;
    }
    // Counts the arrays whose saved elements are back in their worksheets.
    void Restored(SavedElements& s, bool back) {
        if (s.restored != back) back ? ++restored_ : --restored_;
        s.restored = back;
        if (!back) s.shown.clear();
    }
    bool AnyRestored() const { return restored_ != 0; }

private:
    // Whether the formula's latest references hold the read already, or one of them that it
    // overlaps or touches could take it in.
    bool Absorbed(const BuiltReference& read);
    // Merges the formula's references past those taken: each area once, those that overlap
    // or touch as one, the marks after them in their order.
    void Compact();
    std::size_t TailStart() const { return runStart_ > taken_ ? runStart_ : taken_; }
    static bool SameFormula(const BuiltReference& a, const BuiltReference& b) {
        return a.from == b.from && a.row == b.row && a.column == b.column;
    }
    static bool Same(const BuiltReference& a, const BuiltReference& b) {
        return a.from == b.from && a.row == b.row && a.column == b.column && a.cells == b.cells &&
               a.area.c1 == b.area.c1 && a.area.r1 == b.area.r1 && a.area.c2 == b.area.c2 &&
               a.area.r2 == b.area.r2;
    }

    CGrowArray<SpreadChange> changes_;
    std::vector<SpreadChange> blocked_;
    CGrowArray<BuiltReference> built_;
    // The references of the formula that noted the last one start at `runStart_`; those
    // before `taken_` are not changed any more. [sortedBegin_, sortedEnd_) holds the
    // formula's reads as the last merge left them, in order and apart; `compacted_` counts
    // its references past those taken after that merge.
    std::size_t runStart_ = 0;
    std::size_t taken_ = 0;
    std::size_t sortedBegin_ = 0;
    std::size_t sortedEnd_ = 0;
    std::size_t compacted_ = 0;
    static uint64_t SavedKey(const CCellStore* cells, uint32_t row, uint16_t column) {
        return (uint64_t(reinterpret_cast<uintptr_t>(cells)) << 40) ^ (uint64_t(row) << 16) ^
               column;
    }
    const CCellStore* ownCells_ = nullptr;
    CellRange ownArea_{};
    bool readOwn_ = false;
    std::vector<SavedElements> saved_;
    std::unordered_multimap<uint64_t, std::size_t> savedAt_; // by SavedKey, the place in saved_
    std::size_t savedBytes_ = 0;
    std::size_t restored_ = 0;
    CGrowArray<SpreadChange> shown_;
    bool shownLost_ = false;
    bool builtLost_ = false;
    bool active_ = false;
    bool lost_ = false;
    bool logReads_ = false;
    uint32_t clock_ = 0;
};

} // namespace vl
