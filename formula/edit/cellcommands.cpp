#include "formula/edit/cellcommands.h"

#include "formula/edit/formatcommands.h"
#include "model/formatattribute.h"
#include "model/rangeops.h"
#include "model/rangestyle.h"
#include "model/workbook.h"
#include "platform/core/errorcode.h"

namespace vl {

CommandResult StoreCellCommand(CWorkbook& workbook, uint16_t column, uint32_t row,
                               const CellBuffer* record, const StandardFormat& format,
                               bool autoFormatting, uint16_t firstColumn, uint32_t firstRow,
                               bool* stored) {
    if (stored) *stored = false;
    CWorksheet* ws = workbook.tree.active;
    if (!ws) return workbook.error = kErrorNoWorksheet, CommandResult::kFailed;
    const CellRange cell{column, row, column, row};
    const StyleRecord style =
        GetStyleRecord(workbook.styles, CellStyleIndex(ws->formats, row, column));
    const bool restyle = record && autoFormatting && format.kind != style.numberFormat.kind;
    if (!(restyle ? workbook.RecordUndoRange(cell, firstColumn, firstRow, true, true)
                  : workbook.RecordUndoCells(cell, firstColumn, firstRow))) {
        workbook.DiscardLastUndo(true); // the failed record's empty slot
        return workbook.error = kErrorWorksheetMemory, CommandResult::kFailed;
    }
    ClearRect(ws->cells, cell, nullptr, false);
    if (record) {
        CellCursor cursor;
        if (!ws->cells.PutCell(record->bytes, cursor))
            return workbook.error = kErrorWorksheetMemory, CommandResult::kFailed;
    }
    if (stored) *stored = true;
    if (!restyle) return CommandResult::kDone;
    StyleRecord source = style;
    source.numberFormat = format;
    return ApplyFormatToRange(workbook, *ws, cell, kAttrNumberFormat, source, DefaultFontRecord())
               ? CommandResult::kDone
               : CommandResult::kFailed;
}

} // namespace vl
