#include "formula/edit/sizecommands.h"

#include "model/rowcolumnsizes.h"
#include "model/workbook.h"
#include "platform/core/errorcode.h"

namespace vl {

namespace {

// The sizes of the selection's columns or rows into a new entry; a failed record gives its
// empty slot back.
bool RecordSizes(CWorkbook& workbook, const GridSelection& selection, bool columns) {
    const CellRange& sel = selection.range;
    const uint16_t column = selection.cursorColumn;
    const uint32_t row = selection.cursorRow;
    if (columns ? workbook.RecordUndoColumnWidths(sel, column, row, sel.c1, sel.c2)
                : workbook.RecordUndoRowHeights(sel, column, row, sel.r1, sel.r2))
        return true;
    const ErrorCode error = workbook.error;
    workbook.DiscardLastUndo(true);
    workbook.error = error;
    return false;
}

} // namespace

CommandResult SetSizesCommand(CWorkbook& workbook, const GridSelection& selection, bool columns,
                              uint16_t size, bool* recorded) {
    if (recorded) *recorded = false;
    CWorksheet* ws = workbook.tree.active;
    if (!ws) return workbook.error = kErrorNoWorksheet, CommandResult::kFailed;
    if (!RecordSizes(workbook, selection, columns)) return CommandResult::kFailed;
    if (recorded) *recorded = true;
    const CellRange& sel = selection.range;
    if (columns) {
        SetCustomColumnWidths(ws->formats, sel.c1, sel.c2, size);
    } else if (!SetCustomRowHeights(ws->formats, sel.r1, sel.r2, size)) {
        workbook.error = kErrorWorksheetMemory;
        return CommandResult::kFailed;
    }
    return CommandResult::kDone;
}

CommandResult AutoSizeCommand(CWorkbook& workbook, const GridSelection& selection, bool columns) {
    CWorksheet* ws = workbook.tree.active;
    if (!ws) return workbook.error = kErrorNoWorksheet, CommandResult::kFailed;
    if (!RecordSizes(workbook, selection, columns)) return CommandResult::kFailed;
    if (!columns) ClearCustomRowHeights(ws->formats, selection.range.r1, selection.range.r2);
    return CommandResult::kDone;
}

} // namespace vl
