#pragma once
// What each formula of a workbook may read, as far as its text tells, and the formulas that
// may read a given area: found once per recalculation, so that an array that changed the cells
// it spreads over finds the formulas to calculate again without a scan of every formula.

#include "formula/areaindex.h"
#include "formula/evalcontext.h"
#include "model/cellrange.h"

#include <cstdint>
#include <cstring>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace vl {

class CWorkbook;

// Notes, while a recalculation runs, that the formula being evaluated built the reference.
void NoteBuiltReference(CEvalContext& ctx, const FormulaToken& reference);
// The same for an area of `cells` it reached otherwise (a folder, a worksheet named in a cell).
void NoteBuiltArea(CEvalContext& ctx, const CCellStore* cells, const CellRange& area);

// Whether every area the formula being evaluated reads is noted as it reads it.
bool ReadsNoted(CEvalContext& ctx);

// Notes, while reads are logged, that the formula being evaluated read the area: what it
// reads when evaluated, rather than what its text names, tells whom it waits for.
void NoteReadArea(CEvalContext& ctx, const CCellStore* cells, const CellRange& area);
inline void NoteRead(CEvalContext& ctx, const CCellStore* cells, const CellRange& area) {
    if (ctx.readsFor || ctx.spreads.LoggingReads() || ctx.spreads.Watching())
        NoteReadArea(ctx, cells, area);
}
// Marks an evaluation of the formula at that place, while reads are logged.
inline void NoteEvaluation(CEvalContext& ctx, const CCellStore* cells, uint32_t row,
                           uint16_t column, uint16_t mark) {
    if (ctx.spreads.LoggingReads())
        ctx.spreads.Built({cells, row, column, nullptr, {mark, 0, mark, 0}, 0});
}

// Whether the formula text calls a function whose result changes on every turn; a name in a
// text may make it say so wrongly, never the other way round.
// Called for every formula of every recalculation: most have no "(" at all.
bool NamesVolatileFunction(std::string_view formula);
inline bool MayCallVolatile(std::string_view formula) {
    return std::memchr(formula.data(), '(', formula.size()) && NamesVolatileFunction(formula);
}

// Kept small: a workbook of a million formulas has a million of these.
struct FormulaReach {
    uint32_t row;
    uint16_t column;
    uint16_t sheet;  // the worksheet's place among the workbook's worksheets
    bool isVolatile; // calls a function whose result changes on every turn
    // Reads what it finds while it runs (INDIRECT, OFFSET, the trials of a search, a folder or
    // a worksheet named in a cell): what it built is noted then.
    bool builds;
    bool everywhere; // names another workbook, or a worksheet by a name it works out
};

class CFormulaReaches {
public:
    // Reads the text of every formula of the workbook; nothing is evaluated. A random number
    // the walk left in a single cell is not read: nothing calculated read it, so its reads
    // count from its first evaluation on.
    void Scan(CEvalContext& ctx, CWorkbook& workbook);

    std::size_t Size() const { return reaches_.size(); }
    const FormulaReach& operator[](std::size_t i) const { return reaches_[i]; }
    // The formulas that could not spread for the cells in their way, when scanned.
    const std::vector<uint32_t>& Blocked() const { return blocked_; }
    CCellStore* Cells(std::size_t i) const { return sheetOrder_[reaches_[i].sheet]; }
    // Takes the references built or read since the last call as read by the formulas that
    // built them, so that those read only what they built in this recalculation. A formula
    // evaluated while reads were logged reads what it read then, whatever its text names.
    void AddBuilt(CSpreadLog& log);
    // Whether the formula's reads were logged in an evaluation of this recalculation.
    bool Logged(std::size_t i) const { return logged_[i] != 0; }
    // The changes noted before the formula's last stored result was evaluated; 0 when that
    // was in the walk, whose changes are not told apart.
    uint32_t EvaluatedAt(std::size_t i) const { return evaluatedAt_[i]; }

    // The formula at that place, or -1.
    int64_t Find(const CCellStore* cells, uint32_t row, uint16_t column) const;

    // Whether the formula counts as reading every cell of every worksheet.
    bool ReadsAnything(std::size_t i) const {
        if (builtLost_) return reaches_[i].everywhere || reaches_[i].builds;
        return reaches_[i].everywhere && !logged_[i];
    }

    // Every formula that may read a cell of `area` on `cells`, once per area it named or
    // built (so possibly more than once); those that read anything only with `withAnything`.
    template <typename F>
    void ForEachReader(const CCellStore* cells, const CellRange& area, bool withAnything,
                       F&& f) const {
        // What the text names counts only until the formula's own reads are known.
        const auto named = [&](uint32_t id) {
            if (builtLost_ || !logged_[id]) f(id);
        };
        if (withAnything) {
            for (uint32_t id : builtLost_ ? everywhereAll_ : everywhere_) named(id);
            if (builtLost_)
                for (uint32_t id : builders_) f(id);
        }
        if (!builtLost_) {
            auto built = built_.find(cells);
            if (built != built_.end()) built->second.ForEach(area, f);
        }
        auto sheet = sheets_.find(cells);
        if (sheet == sheets_.end()) return;
        if (anyLogged_ && !builtLost_)
            sheet->second.ForEach(area, named);
        else
            sheet->second.ForEach(area, f);
    }

private:
    std::vector<uint32_t> blocked_;
    struct Named {
        const CCellStore* cells;
        CellRange area;
    };
    // Find, trying the formula after `previous` first.
    int64_t FindAfter(int64_t previous, const CCellStore* cells, uint32_t row,
                      uint16_t column) const;
    void ScanFormula(CEvalContext& ctx, const uint8_t* r, CCellStore& cells, FormulaReach& reach,
                     std::vector<Named>& named);
    void BuildIndexes();

    // In the order found: worksheets in tree order, each in storage order, so that a place
    // is found by a binary search.
    std::vector<FormulaReach> reaches_;
    std::vector<CCellStore*> sheetOrder_;
    std::vector<uint32_t> everywhere_; // those whose reads are not known yet
    std::vector<uint32_t> everywhereAll_;
    std::vector<uint32_t> builders_;
    std::vector<uint8_t> logged_;
    bool anyLogged_ = false;
    std::vector<uint32_t> evaluatedAt_;
    // Built references by the worksheet they read, added once per round.
    std::unordered_map<const CCellStore*, CGrowingAreaIndex> built_;
    std::size_t builtSeen_ = 0;
    bool builtLost_ = false;
    std::unordered_map<const CCellStore*, CAreaIndex> sheets_;
};

} // namespace vl
