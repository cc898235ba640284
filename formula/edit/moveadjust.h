#pragma once
// Rewriting references after a block of cells of one worksheet was moved (dragged by its
// border): a reference to a moved cell, or a range wholly inside the block, reaches the cell
// where it went; a moved formula keeps reaching the cells it read outside the block; a
// reference to a cell the block was dropped on keeps naming that cell. A range only partly
// inside the block keeps its cells.

#include "formula/edit/referenceplan.h"
#include "model/cellrange.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vl {

// The block and how far it went: the drop range is the source shifted by (dc, dr). A turn
// (Transpose) moves each cell about the diagonal through the source's first cell instead:
// its rows become columns, and (dc, dr) are 0.
struct BlockMove {
    CellRange source;
    int32_t dc;
    int64_t dr;
    bool turn = false;
    // A Cut pasted later: the moved formulas come from the copy, none on the worksheet moves.
    bool pasted = false;
    // The worksheet the block goes to when not its own, with the qualifiers ("\\Sb!") that
    // name it and the block's worksheet.
    CWorksheet* into = nullptr;
    std::string intoQualifier{}, fromQualifier{};
};

// The cell (column, row) of the source where the move takes it.
inline void MovedCell(const BlockMove& move, int64_t& column, int64_t& row) {
    if (!move.turn) {
        column += move.dc, row += move.dr;
        return;
    }
    const int64_t across = column - move.source.c1;
    column = move.source.c1 + (row - move.source.r1);
    row = move.source.r1 + across;
}

// The range the source covers after the move.
inline CellRange MovedRange(const BlockMove& move) {
    const CellRange& s = move.source;
    if (!move.turn)
        return {uint16_t(s.c1 + move.dc), uint32_t(s.r1 + move.dr), uint16_t(s.c2 + move.dc),
                uint32_t(s.r2 + move.dr)};
    return {s.c1, s.r1, uint16_t(s.c1 + (s.r2 - s.r1)), uint32_t(s.r1 + (s.c2 - s.c1))};
}

// The rewrite of one formula text (internal form) that stands at (column, row) after the
// move; `moved` when its cell was in the block. `own` is the store of the formula's
// worksheet, `edited` the store the block moved in. `out` equals `text` when nothing
// changes. False when a turn would scatter a range the formula reads: a range reaching into
// the block that neither lies wholly in it nor holds the whole block and its turned place.
bool AdjustFormulaTextForMove(CEvalContext& ctx, std::string_view text, uint16_t column,
                              uint32_t row, const BlockMove& move, bool moved,
                              const CCellStore* own, const CCellStore* edited, std::string& out,
                              ReferenceMemo* memo = nullptr);

// The rewrites of a move over the workbook: `inside`, the moved formulas' new texts at their
// new cells (put in once the block is pasted); `outside`, every other: formulas of the
// edited worksheet outside the source and drop ranges, those of other worksheets, chart
// ranges, and the positions kept outside cells. A moved formula's references to cells of
// the block follow them, the others keep reading what they read, for a turn as for a shift.
// A turn is false, the plan incomplete, when it would scatter a range a formula or a chart
// reads. May throw std::bad_alloc.
bool PlanBlockMove(CEvalContext& ctx, const CWorkbook& workbook, CWorksheet& edited,
                   const BlockMove& move, std::vector<FormulaText>& inside, FormulaPlan& outside);

// The texts of the formulas a pasted Cut put at its drop (as they read at the source) once
// moved: their references to the block follow it, the others keep reading what they read.
// May throw std::bad_alloc.
void PlanPastedFormulas(CEvalContext& ctx, const CWorksheet& edited, const BlockMove& move,
                        std::vector<FormulaText>& inside);

// The qualifier naming the worksheet in a formula ("\\A\\Sb!", quoted where needed); empty
// when no qualifier can name it.
std::string QualifierFor(CEvalContext& ctx, const CWorksheet& ws);

} // namespace vl
