#pragma once
// The edits of the worksheet tree: rename, new worksheet or folder, remove, and the move of
// an item with its subtree. For the window each records its undo entry, edits the tree and
// recalculates by the update mode, as its undo and redo do, since references by worksheet
// name may now find another worksheet or none; the window keeps its own tree widget in step
// afterwards.

#include "formula/edit/editcommands.h"
#include "formula/edit/undoexec.h"

#include <string_view>

namespace vl {

class CTreeItem;
class CWorkbook;

// Who edits the tree. Automation names items with any text, has no undo history to record
// into, and recalculates only when its client asks (UpdateWorkbook): its edits only edit.
enum class TreeEditor : uint8_t { kWindow, kAutomation };

// Names are taken as formulas read them: without the blanks at their ends, and without a
// backslash, which would read as a folder's.

// Renames `item` to `name`, cut to the 127 bytes its field holds. kNothing for the name it
// has, and for the window's empty name; kFailed with the workbook's error, the name
// unchanged, when the window's undo record cannot be made, the name holds a backslash (123)
// or its path is another item's (116) or too long (120).
CommandResult RenameTreeItemCommand(CWorkbook& workbook, const GridSelection& selection,
                                    CTreeItem& item, std::string_view name,
                                    TreeEditor editor = TreeEditor::kWindow);

// Adds a new worksheet (or folder) named `name` at level 1 into `target`'s folder: a
// selected folder itself, a worksheet's own folder, or the end of the tree without one.
// `added` gets the new item. kFailed with error 8 when it cannot be had.
CommandResult NewTreeItemCommand(CWorkbook& workbook, const GridSelection& selection, bool folder,
                                 const char* name, CTreeItem* target, CTreeItem** added = nullptr);

// Adds a new worksheet (or folder) named `name` where InsertTreeItem links a chain: at the
// end of a target folder's contents one level deeper, before a target worksheet at its
// level, or at the end of the tree at level 1 without a target. It does not become active;
// `added` gets it. kFailed, nothing changed, with error 8 when it cannot be had, 123 for a
// name with a backslash, 116 when its path is another item's and 120 when too long.
CommandResult InsertTreeItemCommand(CWorkbook& workbook, const GridSelection& selection,
                                    bool folder, const char* name, CTreeItem* target,
                                    CTreeItem** added = nullptr,
                                    TreeEditor editor = TreeEditor::kWindow);

// Removes `item` with its subtree, into the undo entry for the window, freed for
// automation. kFailed with error 9 when the subtree holds every worksheet, 10 (9 for
// automation) for an item not in the tree; nothing changes then. Automation's removal
// fails in no other way.
CommandResult RemoveTreeItemCommand(CWorkbook& workbook, const GridSelection& selection,
                                    CTreeItem& item, TreeEditor editor = TreeEditor::kWindow);

// Moves `dragged` with its subtree to `target` (see InsertTreeItem; null for the end of the
// tree at level 1) as a copy put in and the original taken out, two entries. kNothing for a
// target inside the dragged subtree. kFailed with the workbook's error when the copy or
// the removal cannot be made; the tree and the history are then as they were. `moved` gets
// the copy now in the tree.
CommandResult MoveTreeItemCommand(CWorkbook& workbook, const GridSelection& selection,
                                  CTreeItem& dragged, CTreeItem* target,
                                  CTreeItem** moved = nullptr);

} // namespace vl
