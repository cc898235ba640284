#pragma once
// The commands that move blocks of cells on the active worksheet: Transpose, a paste of an
// entry of the copy history, and the move or copy of a range dragged by its border. Each
// records its undo entries, edits and recalculates by the update mode; the window refits
// rows, scrolls and selects afterwards.

#include "formula/edit/editcommands.h"
#include "formula/edit/undoexec.h"
#include "model/cellrange.h"

#include <cstdint>

namespace vl {

class CContainer;
class CWorkbook;
struct UndoHistory;

// Transpose: the selection's rows become columns from its top-left cell; `transposed` gets
// the range written. Formulas elsewhere that read the turned cells follow them (a range
// wholly in the selection turns with it). kNothing with `offSheet` set when that range would
// pass the sheet's last column or row; kFailed with error 121 when the selection or the
// range written takes part of an array formula's area, 122 when a formula reads a range the
// turn would scatter; nothing is recorded then.
CommandResult TransposeCommand(CWorkbook& workbook, const GridSelection& selection,
                               CellRange* transposed = nullptr, bool* offSheet = nullptr);

// What a paste of a copy-history entry wrote: the cells' range, or the container added.
struct PastedEntry {
    CellRange range;
    CContainer* container = nullptr;
};

// Pastes `history` entry `index` (a cell, a range or a container) at the selection's first
// cell: a range grows from a single selected cell to the entry's size, and with `formats`
// cleared only its contents are pasted. kFailed with error 13 without an active worksheet,
// 8 when the undo record cannot be made, and 12 for an entry of another kind (worksheets go
// through PasteWorksheetCommand); nothing changes then.
CommandResult PasteEntryCommand(CWorkbook& workbook, const GridSelection& selection,
                                UndoHistory& history, int32_t index, bool formats,
                                PastedEntry* pasted = nullptr);

// Moves (or with `copy` copies) the cells and formats of `source` to `drop`, which has the
// same size. A move records the source and then the drop range, a copy the drop range only.
// kFailed with error 8 when the block or a record cannot be had, 121 when the moved block or
// the drop range takes part of an array formula's area; nothing changes then.
CommandResult MoveRangeCommand(CWorkbook& workbook, const GridSelection& selection,
                               const CellRange& source, const CellRange& drop, bool copy);

} // namespace vl
