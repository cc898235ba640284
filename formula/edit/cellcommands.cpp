#include "formula/edit/cellcommands.h"

#include "formula/cellinput.h"
#include "formula/edit/editcommands.h"
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

CommandResult StoreTextInRangeCommand(CWorkbook& workbook, CEvalContext& ctx,
                                      const GridSelection& selection, std::string_view text,
                                      bool autoFormatting) {
    CWorksheet* ws = workbook.tree.active;
    if (!ws) return workbook.error = kErrorNoWorksheet, CommandResult::kFailed;
    const CellRange& s = selection.range;
    if (!workbook.RecordUndoRange(s, selection.cursorColumn, selection.cursorRow, true,
                                  autoFormatting)) {
        workbook.DiscardLastUndo(true);
        return workbook.error = kErrorWorksheetMemory, CommandResult::kFailed;
    }
    ClearRect(ws->cells, s, nullptr, false);
    CellCursor cursor;
    // One cell as typing stores it; false ends the command.
    auto store = [&](uint16_t column, uint32_t row) {
        const StyleRecord style =
            GetStyleRecord(workbook.styles, CellStyleIndex(ws->formats, row, column));
        StandardFormat format = style.numberFormat;
        CellBuffer record;
        if (ParseCellInput(ctx, text, format, row, column, record) != CellInput::kStored ||
            !ws->cells.PutCell(record.bytes, cursor))
            return Fail(workbook, kErrorWorksheetMemory);
        if (!autoFormatting || format.kind == style.numberFormat.kind) return true;
        StyleRecord source = style;
        source.numberFormat = format;
        return ApplyFormatToRange(workbook, *ws, {column, row, column, row}, kAttrNumberFormat,
                                  source, DefaultFontRecord());
    };
    bool ok = true;
    for (uint32_t r = s.r1; ok; ++r) {
        for (uint32_t c = s.c1; c <= s.c2 && ok; ++c) ok = store(uint16_t(c), r);
        if (r == s.r2) break;
    }
    return FinishCommand(workbook, ok);
}

} // namespace vl
