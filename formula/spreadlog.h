#pragma once
// The areas whose array elements a recalculation pass changed: an array spread for the first
// time, grown, shrunk, given other values or turned into a plain result. Formulas calculated
// before such a change read the old elements; the pass calculates them again afterwards, and
// the windows repaint the areas.

#include "formula/growarray.h"
#include "model/cellrange.h"

#include <cstddef>
#include <cstdint>

namespace vl {

class CCellStore;

// The anchor of the array and the cells its elements were or are now written to.
struct SpreadChange {
    CCellStore* cells;
    uint32_t row;
    uint16_t column;
    CellRange area;
};

// A reference a formula built while it was evaluated (from text, offsets, a worksheet name held
// in a cell, a folder, or in a search's trial evaluations): what it read besides the references
// its text names.
struct BuiltReference {
    const CCellStore* from; // the formula's worksheet
    uint32_t row;
    uint16_t column;
    const CCellStore* cells; // the worksheet read
    CellRange area;
};

class CSpreadLog {
public:
    // Changes are kept only between Begin and End: outside a recalculation no formula
    // waits to be calculated again.
    void Begin() {
        active_ = true;
        Clear();
        ClearBuilt();
    }
    void End() {
        active_ = false;
        Clear();
        ClearBuilt();
    }
    bool Active() const { return active_; }

    void Changed(CCellStore& cells, uint32_t row, uint16_t column, const CellRange& area) {
        if (active_ && !changes_.Push({&cells, row, column, area})) lost_ = true;
        if (shown_.Size() >= kShownLimit || !shown_.Push({&cells, row, column, area}))
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
    bool Empty() const { return changes_.Empty() && !lost_; }
    // A change that could not be kept for want of memory: every formula counts as a reader.
    bool Lost() const { return lost_; }
    std::size_t Size() const { return changes_.Size(); }
    const SpreadChange& operator[](std::size_t i) const { return changes_[i]; }
    void Clear() {
        changes_.Clear();
        lost_ = false;
    }

    // Kept without a limit: a formula that builds references is met again only through what
    // it built. The same reference built again at once (a search's trials) is kept once.
    void Built(const BuiltReference& reference) {
        if (!active_ || builtLost_) return;
        if (!built_.Empty() && Same(built_[built_.Size() - 1], reference)) return;
        if (!built_.Push(reference)) builtLost_ = true;
    }
    std::size_t BuiltSize() const { return built_.Size(); }
    const BuiltReference& BuiltAt(std::size_t i) const { return built_[i]; }
    // A built reference that was not kept: a formula that builds one may read anything.
    bool BuiltLost() const { return builtLost_; }
    void ClearBuilt() {
        built_.Clear();
        builtLost_ = false;
    }

private:
    static bool Same(const BuiltReference& a, const BuiltReference& b) {
        return a.from == b.from && a.row == b.row && a.column == b.column && a.cells == b.cells &&
               a.area.c1 == b.area.c1 && a.area.r1 == b.area.r1 && a.area.c2 == b.area.c2 &&
               a.area.r2 == b.area.r2;
    }

    CGrowArray<SpreadChange> changes_;
    CGrowArray<BuiltReference> built_;
    CGrowArray<SpreadChange> shown_;
    bool shownLost_ = false;
    bool builtLost_ = false;
    bool active_ = false;
    bool lost_ = false;
};

} // namespace vl
