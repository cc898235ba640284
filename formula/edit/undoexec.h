#pragma once
// Carrying out entries of a workbook's undo history. Every case works by exchange: the state
// about to be replaced is kept first (through the spare slot 200), the entry's state is put
// back, and the entry then holds what was replaced, ready for the opposite direction. Undo
// and redo are thus one operation on different entries.

#include "model/cellrange.h"

#include <cstdint>
#include <vector>

namespace vl {

class CEvalContext;
class CTreeItem;
class CWorkbook;

// Carries out entry `index` (0 to 199) in either direction; the history's current index is
// left as it is. False with the workbook's error code: 12 for an empty entry, 8 when memory
// runs out, 11 for a container no longer there, 9 for a tree change that would remove every
// worksheet, 23 or 24 when inserting columns or rows again would push a cell or a
// reference off the sheet, 14 when kept styles no longer fit the tables. A failed case
// leaves the workbook and the entry as they were. An entry of an operation outside 1 to 11
// is not carried out.
bool ExecuteUndoRedo(CWorkbook& workbook, uint16_t index);

// The evaluator context of the workbook, attached when it has none yet; null (error 8) when
// it cannot be had.
CEvalContext* EditContext(CWorkbook& workbook);

// Where the view goes after an undo or redo: the entry's worksheet, cursor and selection.
struct UndoPlace {
    uint8_t operation = 0;
    CTreeItem* worksheet = nullptr;
    uint16_t cursorColumn = 0;
    uint32_t cursorRow = 0;
    CellRange selection;
    // The selections of the other entries of the same edit, carried out with it.
    std::vector<CellRange> joined;
};

enum class CommandResult : uint8_t {
    kNothing, // nothing to do; nothing changed
    kDone,
    kFailed, // the workbook's error code says why; show it
};

// Ends a command with the recalculation the update mode asks for; a failed command keeps
// its own error code through it, for the window to show.
CommandResult FinishCommand(CWorkbook& workbook, bool done);

// The Undo and Redo commands: carry out the entry at the current index (undo) or after it
// (redo), step the current index (also after a failure, so that a failed entry is stepped
// over), fill `place` from the entry and recalculate by the update mode.
CommandResult UndoCommand(CWorkbook& workbook, UndoPlace* place);
CommandResult RedoCommand(CWorkbook& workbook, UndoPlace* place);

// Recalculates as the update mode says: the document's own mode, or the settings' when the
// document has none; 1 the whole workbook, 2 the active worksheet, others nothing. False
// when the recalculation reported a failure.
bool RecalculateByUpdateMode(CWorkbook& workbook);

} // namespace vl
