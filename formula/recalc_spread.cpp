#include "formula/recalc_spread.h"

#include "formula/functable.h"
#include "formula/recalc.h"
#include "formula/tokenizer.h"
#include "model/workbook.h"

#include <algorithm>
#include <vector>

namespace vl {

namespace {

// The cells a formula may read, as far as its text tells: the box around every reference
// it names in its own worksheet, or anything when it names another worksheet or builds a
// reference from text or offsets.
struct Reach {
    CCellStore* cells;
    uint32_t row;
    uint16_t column;
    CellRange box;
    bool any;        // names at least one reference
    bool everywhere; // may read any cell of any worksheet
    bool marked;     // to be calculated again in the next round
    // An array formula's own references one by one: whether it reads its own elements.
    std::vector<CellRange> areas;
};

struct Dirty {
    const CCellStore* cells;
    CellRange area;
};

constexpr std::size_t kDirtyAreas = 64;

bool Intersect(const CellRange& a, const CellRange& b) {
    return a.c1 <= b.c2 && b.c1 <= a.c2 && a.r1 <= b.r2 && b.r1 <= a.r2;
}

CellRange Union(const CellRange& a, const CellRange& b) {
    return {std::min(a.c1, b.c1), std::min(a.r1, b.r1), std::max(a.c2, b.c2), std::max(a.r2, b.r2)};
}

bool IsFunction(uint16_t index, const char* name) {
    uint16_t found = 0;
    std::size_t end = 0;
    return FindBuiltinFunction(name, found, end) && found == index;
}

CellRange TokenArea(const FormulaToken& t) {
    if (t.type == kTokenArea) return {t.firstColumn, t.firstRow, t.lastColumn, t.lastRow};
    const bool row = t.refFlags & kRefRow;
    const bool column = t.refFlags & kRefColumn;
    return {column ? t.column : uint16_t(0), row ? t.row : 0,
            column ? t.column : uint16_t(kLastColumn), row ? t.row : kLastRow};
}

// Reads the formula's tokens without evaluating them; the temporaries they make are dropped.
void ScanFormula(CEvalContext& ctx, const uint8_t* r, Reach& reach, bool keepAreas) {
    const std::string_view text = cell::Formula(r);
    ctx.currentCells = reach.cells;
    ctx.BeginFormula(reach.column, reach.row);
    std::size_t pos = 1;
    FormulaToken token;
    for (;;) {
        const uint16_t type = GetFormulaToken(ctx, text, pos, token, true);
        if (type == 0 || type == kTokenEnd) break;
        if (type == kTokenReference || type == kTokenArea) {
            if (token.error) continue;
            const CellRange area = TokenArea(token);
            reach.box = reach.any ? Union(reach.box, area) : area;
            reach.any = true;
            if (keepAreas) reach.areas.push_back(area);
        } else if (type == kTokenQualifier) {
            reach.everywhere = true;
        } else if (type == kTokenFunction) {
            if (IsFunction(token.functionIndex, "INDIRECT(") ||
                IsFunction(token.functionIndex, "OFFSET("))
                reach.everywhere = true;
        } else if (type == kTokenText) {
            ctx.stringPool.PopTempString();
        } else if (type == kTokenArray) {
            if (Page* chain = ctx.scratch.PopPointer()) ctx.scratch.cells.FreePageChain(chain);
        }
    }
    ctx.BeginFormula(reach.column, reach.row);
}

// The reach of every formula of the workbook and the number of array formulas among them.
std::size_t ScanWorkbook(CEvalContext& ctx, CWorkbook& workbook, std::vector<Reach>& reaches) {
    std::size_t arrays = 0;
    for (CTreeItem* item = workbook.tree.first; item; item = item->next) {
        CWorksheet* sheet = AsWorksheet(item);
        if (!sheet) continue;
        CellCursor cursor;
        cursor.flags = kAdvance;
        cursor.page = sheet->cells.FirstPage();
        while (const uint8_t* r = NextCellRecord(cursor)) {
            if (!cell::IsFormula(r)) continue;
            const bool array = cell::ResultFlags(r) & kResultArray;
            if (array) ++arrays;
            Reach reach{&sheet->cells, cell::Row(r), cell::Column(r), {}, false, false, false, {}};
            ScanFormula(ctx, r, reach, array);
            reaches.push_back(reach);
        }
    }
    return arrays;
}

// Kept short: past the limit the areas of each worksheet merge into the box around them,
// which only makes more formulas count as readers.
void AddDirty(std::vector<Dirty>& dirty, const CCellStore* cells, const CellRange& area) {
    dirty.push_back({cells, area});
    if (dirty.size() <= kDirtyAreas) return;
    std::vector<Dirty> merged;
    for (const Dirty& d : dirty) {
        auto same = std::find_if(merged.begin(), merged.end(),
                                 [&](const Dirty& m) { return m.cells == d.cells; });
        if (same == merged.end())
            merged.push_back(d);
        else
            same->area = Union(same->area, d.area);
    }
    dirty.swap(merged);
}

bool Reads(const Reach& reach, const std::vector<Dirty>& dirty) {
    if (reach.everywhere) return true;
    if (!reach.any) return false;
    for (const Dirty& d : dirty)
        if (d.cells == reach.cells && Intersect(d.area, reach.box)) return true;
    return false;
}

// Whether the array that made `change` names a reference into the area it spread over. A
// reference built from text (INDIRECT, OFFSET) or on another worksheet does not count: an
// array of random numbers over such a reference changes on every turn without reading itself.
bool ReadsOwnArea(const std::vector<Reach>& reaches, const SpreadChange& change) {
    for (const Reach& reach : reaches) {
        if (reach.cells != change.cells || reach.row != change.row || reach.column != change.column)
            continue;
        return std::any_of(reach.areas.begin(), reach.areas.end(),
                           [&](const CellRange& a) { return Intersect(a, change.area); });
    }
    return false;
}

bool IsStopped(const Reach& reach, const std::vector<SpreadChange>& stopped) {
    for (const SpreadChange& c : stopped)
        if (c.cells == reach.cells && c.row == reach.row && c.column == reach.column) return true;
    return false;
}

// Marks every calculated formula that reads a dirty cell, and every one that reads those,
// uncalculated; the cells a marked formula writes are dirty in turn.
bool MarkReaders(std::vector<Reach>& reaches, std::vector<Dirty>& dirty, bool everything,
                 const std::vector<SpreadChange>& stopped) {
    bool any = false;
    for (bool grew = true; grew;) {
        grew = false;
        for (Reach& reach : reaches) {
            if (reach.marked || !(everything || Reads(reach, dirty))) continue;
            uint8_t* r = FindCell(*reach.cells, reach.row, reach.column);
            if (!r || !cell::IsFormula(r) || !(r[14] & kResultCalculated) ||
                IsStopped(reach, stopped))
                continue;
            reach.marked = true;
            r[14] = uint8_t(r[14] & ~(kResultCalculated | kResultWaiting));
            r[13] = 0;
            CellRange written{reach.column, reach.row, reach.column, reach.row};
            if (cell::ResultFlags(r) & kResultArray) {
                written.c2 = uint16_t(std::min<uint32_t>(
                    reach.column + std::max<uint16_t>(cell::ArrayWidth(r), 1) - 1u, kLastColumn));
                written.r2 = uint32_t(std::min<uint64_t>(
                    uint64_t(reach.row) + std::max<uint32_t>(cell::ArrayHeight(r), 1) - 1,
                    kLastRow));
            }
            AddDirty(dirty, reach.cells, written);
            any = grew = true;
        }
    }
    return any;
}

} // namespace

void SettleSpreads(CEvalContext& ctx, CWorkbook& workbook, SheetWalk walk) {
    std::vector<SpreadChange> stopped;
    std::size_t limit = 0;
    for (std::size_t round = 1; !ctx.spreads.Empty(); ++round) {
        std::vector<Reach> reaches;
        std::size_t arrays = ScanWorkbook(ctx, workbook, reaches);
        // An array that has just become a plain result still counts as one.
        for (std::size_t i = 0; i < ctx.spreads.Size(); ++i) {
            const SpreadChange& c = ctx.spreads[i];
            const uint8_t* r = FindCell(*c.cells, c.row, c.column);
            if (r && cell::IsFormula(r) && !(cell::ResultFlags(r) & kResultArray)) ++arrays;
        }
        limit = std::max(limit, arrays + 1);
        std::vector<SpreadChange> changes;
        for (std::size_t i = 0; i < ctx.spreads.Size(); ++i) changes.push_back(ctx.spreads[i]);
        const bool everything = ctx.spreads.Lost();
        ctx.spreads.Clear();
        // Still changing after every array had its turn: no more turns for those arrays. One
        // that names its own elements is circular (its clearing is a change of its own); the
        // others (random numbers, a loop through other formulas) keep their last result.
        if (round >= limit) {
            for (const SpreadChange& c : changes) {
                Reach anchor{c.cells, c.row, c.column, {}, false, false, false, {}};
                if (IsStopped(anchor, stopped)) continue;
                stopped.push_back(c);
                if (ReadsOwnArea(reaches, c)) WriteCircularArray(ctx, *c.cells, c.row, c.column);
            }
            for (std::size_t i = 0; i < ctx.spreads.Size(); ++i) changes.push_back(ctx.spreads[i]);
            ctx.spreads.Clear();
        }
        std::vector<Dirty> dirty;
        for (const SpreadChange& c : changes) AddDirty(dirty, c.cells, c.area);
        if (!MarkReaders(reaches, dirty, everything, stopped)) break;
        for (CTreeItem* item = workbook.tree.first; item; item = item->next) {
            CWorksheet* sheet = AsWorksheet(item);
            if (!sheet) continue;
            const bool marked = std::any_of(reaches.begin(), reaches.end(), [&](const Reach& r) {
                return r.marked && r.cells == &sheet->cells;
            });
            if (marked) walk(ctx, sheet->cells, workbook.tree.first);
        }
    }
}

} // namespace vl
