#pragma once
// Cut then Paste as one move: the Cut takes its cells at once (a Delete with its own undo
// entry) and remembers what it took; a Paste of that copy while nothing else changed puts
// the cells back, takes the Delete off the history and moves the block as a drag does, so
// that the formulas reading the cut cells follow them and one Undo takes the whole move back.

#include "formula/edit/editcommands.h"
#include "formula/edit/undoexec.h"
#include "model/cellrange.h"

#include <cstdint>

namespace vl {

class CTreeItem;
class CWorkbook;
struct UndoHistory;

// What a Cut took and the state of both histories right after it.
struct PendingCut {
    const CWorkbook* workbook = nullptr;
    const CTreeItem* worksheet = nullptr;
    CellRange source;
    int32_t copyIndex = -1; // the copy history's entry the Cut filled
    uint64_t copyClaims = 0;
    int32_t undoIndex = -1; // the Delete's undo entry
    uint64_t undoClaims = 0;
};

// The mark of a Cut just made: `copies` and the workbook's history as they stand, the
// source the active worksheet's `source`.
PendingCut MarkCut(const CWorkbook& workbook, const UndoHistory& copies, const CellRange& source);

// Whether a Paste of copy `index` at the active worksheet is the move `cut` waits for: the
// same workbook, worksheet and copy, and no entry made or carried out in either history
// since.
bool CutStillPending(const CWorkbook& workbook, const UndoHistory& copies, int32_t index,
                     const PendingCut& cut);

// The move: the block of `cut` goes to the selection's first cell (`drop` gets the range).
// kNothing, nothing changed, when the Cut no longer waits (a plain paste is then due) or the
// block would pass the sheet's last column or row; kFailed with the workbook's error when
// the Delete cannot be taken back or the move fails (the cells then stand where the Cut
// took them from, and the Cut is off the history).
CommandResult PasteCutCommand(CWorkbook& workbook, const GridSelection& selection,
                              const UndoHistory& copies, int32_t index, const PendingCut& cut,
                              CellRange* drop = nullptr);

} // namespace vl
