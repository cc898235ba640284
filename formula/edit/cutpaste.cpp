#include "formula/edit/cutpaste.h"

#include "formula/edit/rangecommands.h"
#include "model/workbook.h"

namespace vl {

PendingCut MarkCut(const CWorkbook& workbook, const UndoHistory& copies, const CellRange& source) {
    return {&workbook,           workbook.tree.active, source,
            copies.current,      copies.claims,        workbook.undo.current,
            workbook.undo.claims};
}

bool CutStillPending(const CWorkbook& workbook, const UndoHistory& copies, int32_t index,
                     const PendingCut& cut) {
    return cut.workbook == &workbook && cut.worksheet && cut.worksheet == workbook.tree.active &&
           index == cut.copyIndex && copies.current == cut.copyIndex &&
           copies.claims == cut.copyClaims && workbook.undo.current == cut.undoIndex &&
           workbook.undo.claims == cut.undoClaims && cut.undoIndex >= 0 &&
           cut.undoIndex < kUndoSpareSlot;
}

CommandResult PasteCutCommand(CWorkbook& workbook, const GridSelection& selection,
                              const UndoHistory& copies, int32_t index, const PendingCut& cut,
                              CellRange* drop) {
    if (!CutStillPending(workbook, copies, index, cut)) return CommandResult::kNothing;
    const CellRange& s = cut.source;
    const uint64_t c2 = uint64_t(selection.range.c1) + (s.c2 - s.c1);
    const uint64_t r2 = uint64_t(selection.range.r1) + (s.r2 - s.r1);
    if (c2 > kLastColumn || r2 > kLastRow) return CommandResult::kNothing;
    const CellRange to{selection.range.c1, selection.range.r1, uint16_t(c2), uint32_t(r2)};
    if (drop) *drop = to;
    // The cells go back where the Cut took them, and the Delete leaves no step of its own.
    if (!ExecuteUndoRedo(workbook, uint16_t(cut.undoIndex))) return FinishCommand(workbook, false);
    workbook.DiscardLastUndo(true);
    return MoveRangeCommand(workbook, selection, s, to, false);
}

} // namespace vl
