#pragma once
// Cut then Paste as one move: the Cut takes its cells at once (a Delete with its own undo
// entry) and remembers what it took. A Paste of that copy moves the block as a drag does, so
// that the formulas reading the cut cells follow them, for as long as the copy is the newest
// and the Delete stands: other edits may come between (rows and columns inserted and removed
// move the cut place with the formulas, CWorkbook::cutPlace), and the Paste may go to another
// worksheet. Right after the Cut on its own worksheet one Undo takes the whole move back.

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
    uint64_t serial = 0; // the Delete's entry, wherever it moves in the history
};

// The mark of a Cut just made: `copies` and the workbook's history as they stand, the
// source the active worksheet's `source`. The workbook's history watches the Delete.
PendingCut MarkCut(CWorkbook& workbook, const UndoHistory& copies, const CellRange& source);

// Whether a Paste of copy `index` is the move `cut` waits for: the same workbook, its
// worksheet still in the tree, the same copy with none made since, and the Delete neither
// undone nor gone with an undone edit.
bool CutStillPending(const CWorkbook& workbook, const UndoHistory& copies, int32_t index,
                     const PendingCut& cut);

// The move: the block of `cut`, where the rows and columns inserted and removed since have
// moved it, goes to the selection's first cell of the active worksheet (`drop` gets the
// range). kNothing, nothing changed, when the Cut no longer waits (a plain paste is then
// due: an edit removed or split its cells, or ended it otherwise) or the block would pass
// the sheet's last column or row; kFailed with the workbook's error when the move is refused
// or fails: the cells and the history then stand as before the Paste and the Cut still waits
// (`cut` is renewed where its Delete had to be made again).
CommandResult PasteCutCommand(CWorkbook& workbook, const GridSelection& selection,
                              UndoHistory& copies, int32_t index, PendingCut& cut,
                              CellRange* drop = nullptr);

} // namespace vl
