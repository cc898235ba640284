#pragma once
// The editing commands of a workbook window, without the window: each takes the view's
// selection, records its undo entry, edits the active worksheet and recalculates by the
// update mode. The window ends an open cell edit first, shows a failure's message and
// refreshes itself afterwards.

#include "formula/edit/findreplace.h"
#include "formula/edit/undoexec.h"
#include "model/cellrange.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vl {

class CTreeItem;
struct UndoHistory;

// The active view's selection: the range and the cell cursor.
struct GridSelection {
    CellRange range;
    uint16_t cursorColumn = 0;
    uint32_t cursorRow = 0;
};

// The find and replace boxes hold at most this many bytes, their terminator included.
constexpr size_t kSearchTextSize = 1024;
constexpr const char kNoMoreCellsFound[] = "No more cells found.";

// A text that a search box's list does not hold yet goes to the top of the list.
void RememberSearchText(std::vector<std::string>& list, std::string_view text);

// Find: searches the selection (a single cell searches every column from its row down) from
// the cell right of the selection's first cell; the found cell becomes the selection. False
// when nothing is found: the window then shows kNoMoreCellsFound.
bool FindCommand(CWorkbook& workbook, GridSelection& selection, std::string_view findText,
                 const SearchOptions& options);

// Replace (the selection) and Replace All (the whole worksheet): records the range replaced
// in, then replaces. kFailed with the workbook's error when the record or the replacement
// could not be made; nothing is changed then.
CommandResult ReplaceCommand(CWorkbook& workbook, const GridSelection& selection,
                             std::string_view findText, std::string_view replacement,
                             const SearchOptions& options, bool wholeWorksheet,
                             ReplaceCounts* counts = nullptr);

// Sort, Sort Ascending and Sort Descending: the selection, cut to the used cells, is sorted by
// the keys (each a column and an ascending flag) with its rows' styles; the undo entry keeps
// the permutation. kNothing when fewer than two rows remain or there are more than 100 keys.
CommandResult SortSelection(CWorkbook& workbook, const GridSelection& selection, uint32_t keyCount,
                            const uint16_t* keyColumns, const uint8_t* ascending);

// A Convert Contents menu command on the selection.
CommandResult ConvertContentsCommand(CWorkbook& workbook, const GridSelection& selection,
                                     uint16_t command);

// Insert Rows, Remove Rows, Insert Columns, Remove Columns on the active worksheet: as many
// whole rows (columns) as the selection spans, at its first row (column). Records the undo
// entry (removal keeps the removed cells), moves cells, formats, row heights or column
// entries, and rewrites the formulas. kFailed with 24 (rows) or 23 (columns) when cells or
// references would be pushed off the sheet, 8 when memory runs out; nothing changes then.
CommandResult InsertRowsCommand(CWorkbook& workbook, const GridSelection& selection);
CommandResult RemoveRowsCommand(CWorkbook& workbook, const GridSelection& selection);
CommandResult InsertColumnsCommand(CWorkbook& workbook, const GridSelection& selection);
CommandResult RemoveColumnsCommand(CWorkbook& workbook, const GridSelection& selection);

// Pastes the worksheets or folder kept in `history` entry `index` at `target` and records the
// new items for undo; the first pasted item, or null with the workbook's error.
CTreeItem* PasteWorksheetCommand(CWorkbook& workbook, const GridSelection& selection,
                                 CTreeItem* target, UndoHistory& history, int32_t index);

} // namespace vl
