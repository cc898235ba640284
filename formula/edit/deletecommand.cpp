#include "formula/edit/deletecommand.h"

#include "model/formatstore.h"
#include "model/rangeops.h"
#include "model/workbook.h"

namespace vl {

CommandResult DeleteRangeCommand(CWorkbook& workbook, const GridSelection& selection,
                                 bool formats) {
    CWorksheet* ws = workbook.tree.active;
    if (!ws) return CommandResult::kNothing;
    const CellRange& range = selection.range;
    if (!workbook.RecordUndoRange(range, selection.cursorColumn, selection.cursorRow, !formats,
                                  formats)) {
        workbook.error = kErrorWorksheetMemory;
        return CommandResult::kFailed;
    }
    bool ok = true;
    if (formats)
        ok = ClearFormatRect(ws->formats, range, nullptr, true);
    else
        ClearRect(ws->cells, range, nullptr, true);
    if (!ok) workbook.error = kErrorWorksheetMemory;
    return FinishCommand(workbook, ok);
}

} // namespace vl
