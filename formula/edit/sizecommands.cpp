#include "formula/edit/sizecommands.h"

#include "model/rowcolumnsizes.h"
#include "model/workbook.h"
#include "platform/core/errorcode.h"

#include <algorithm>

namespace vl {

namespace {

// The sizes of columns or rows first to last into a new entry; a failed record gives its
// empty slot back.
bool RecordSizes(CWorkbook& workbook, const GridSelection& selection, bool columns, uint32_t first,
                 uint32_t last) {
    const CellRange& sel = selection.range;
    const uint16_t column = selection.cursorColumn;
    const uint32_t row = selection.cursorRow;
    if (columns ? workbook.RecordUndoColumnWidths(sel, column, row, uint16_t(first), uint16_t(last))
                : workbook.RecordUndoRowHeights(sel, column, row, first, last))
        return true;
    const ErrorCode error = workbook.error;
    workbook.DiscardLastUndo(true);
    workbook.error = error;
    return false;
}

bool RecordSelectionSizes(CWorkbook& workbook, const GridSelection& selection, bool columns) {
    const CellRange& sel = selection.range;
    return columns ? RecordSizes(workbook, selection, true, sel.c1, sel.c2)
                   : RecordSizes(workbook, selection, false, sel.r1, sel.r2);
}

bool OnSheet(bool columns, uint32_t line) {
    return columns ? line <= kLastColumn : line <= kLastRow;
}

} // namespace

CommandResult SetSizesCommand(CWorkbook& workbook, const GridSelection& selection, bool columns,
                              uint16_t size, bool* recorded) {
    if (recorded) *recorded = false;
    CWorksheet* ws = workbook.tree.active;
    if (!ws) return workbook.error = kErrorNoWorksheet, CommandResult::kFailed;
    if (!RecordSelectionSizes(workbook, selection, columns)) return CommandResult::kFailed;
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
    if (!RecordSelectionSizes(workbook, selection, columns)) return CommandResult::kFailed;
    if (!columns) ClearCustomRowHeights(ws->formats, selection.range.r1, selection.range.r2);
    return CommandResult::kDone;
}

CommandResult RecordLineSizeCommand(CWorkbook& workbook, const GridSelection& selection,
                                    bool columns, uint32_t line) {
    if (!workbook.tree.active) return workbook.error = kErrorNoWorksheet, CommandResult::kFailed;
    if (!OnSheet(columns, line)) return CommandResult::kNothing;
    if (!RecordSizes(workbook, selection, columns, line, line)) return CommandResult::kFailed;
    return CommandResult::kDone;
}

CommandResult SetLineSizeCommand(CWorkbook& workbook, bool columns, uint32_t line, uint16_t size) {
    CWorksheet* ws = workbook.tree.active;
    if (!ws) return workbook.error = kErrorNoWorksheet, CommandResult::kFailed;
    if (!OnSheet(columns, line)) return CommandResult::kNothing;
    size = std::min(size, kLargestCustomSize);
    CFormatStore& formats = ws->formats;
    const uint16_t* entry =
        columns ? &formats.columns[line].width : formats.rowHeights.GetItem2(line);
    const uint16_t old = entry ? *entry : 0;
    if (uint16_t((old & 0xE000) | (size << 1) | 1) == old) return CommandResult::kNothing;
    if (columns) {
        SetCustomColumnWidths(formats, uint16_t(line), uint16_t(line), size);
    } else if (!SetCustomRowHeights(formats, line, line, size)) {
        workbook.error = kErrorWorksheetMemory;
        return CommandResult::kFailed;
    }
    return CommandResult::kDone;
}

} // namespace vl
