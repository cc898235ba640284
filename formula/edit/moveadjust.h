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

// The block and how far it went: the drop range is the source shifted by (dc, dr).
struct BlockMove {
    CellRange source;
    int32_t dc;
    int64_t dr;
};

// The rewrite of one formula text (internal form) that stands at (column, row) after the
// move; `moved` when its cell was in the block. `own` is the store of the formula's
// worksheet, `edited` the store the block moved in. `out` equals `text` when nothing
// changes.
void AdjustFormulaTextForMove(CEvalContext& ctx, std::string_view text, uint16_t column,
                              uint32_t row, const BlockMove& move, bool moved,
                              const CCellStore* own, const CCellStore* edited, std::string& out,
                              ReferenceMemo* memo = nullptr);

// The rewrites of a move over the workbook: `inside`, the moved formulas' new texts at their
// new cells (put in once the block is pasted); `outside`, every other: formulas of the
// edited worksheet outside the source and drop ranges, those of other worksheets, chart
// ranges, and the positions kept outside cells. May throw std::bad_alloc.
void PlanBlockMove(CEvalContext& ctx, const CWorkbook& workbook, CWorksheet& edited,
                   const BlockMove& move, std::vector<FormulaText>& inside, FormulaPlan& outside);

} // namespace vl
