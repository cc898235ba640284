#include "core/settings.h"
#include "formula/cellinput.h"
#include "formula/edit/cellcommands.h"
#include "model/clearset.h"
#include "model/formatattribute.h"
#include "model/rangeops.h"
#include "model/rangestyle.h"
#include "model/workbook.h"
#include "platform/core/cp1252.h"
#include "render/metrics.h"
#include "ui/messages.h"
#include "workbookwnd/workbookwnd.h"
#include "workbookwnd/worksheetview.h"

#include <QGuiApplication>

namespace vl {

bool CWorksheetView::SetCellFromText(const std::string& text, uint32_t row, uint16_t column,
                                     bool parse) {
    CWorksheet* sheet = Sheet();
    if (!sheet) return false;
    CWorkbook& book = Book();
    const CellRange cellRange{column, row, column, row};
    const StyleRecord style =
        GetStyleRecord(book.styles, CellStyleIndex(sheet->formats, row, column));
    StandardFormat format = style.numberFormat;
    CellBuffer record;
    if (!text.empty()) {
        // Shift held while the edit ends keeps the text as typed: held as the key or click
        // that ends it was made, not as the keyboard stands when it is handled, which a busy
        // program may reach after Shift was let go.
        const bool literal = !parse || (QGuiApplication::keyboardModifiers() & Qt::ShiftModifier);
        CellInput made = CellInput::kStored;
        if (literal) {
            if (!MakeTextCell(record, column, row, text)) made = CellInput::kTooLong;
        } else {
            owner_->SyncContext();
            made = ParseCellInput(*owner_->EvalContext(), text, format, row, column, record);
        }
        if (made != CellInput::kStored) {
            // The text is refused before anything changed: the cell keeps what it held.
            ShowMessageText(QString::fromStdString(Cp1252ToUtf8(CellInputMessage(made))));
            return true;
        }
    }
    // An array stored here loses the cells it spread over with it.
    const uint8_t* before = FindCell(sheet->cells, row, column);
    const CellRange replaced =
        before && IsSpreadArrayAnchor(before) ? SpreadArrayArea(before) : cellRange;
    bool stored = false;
    const bool restyle =
        !text.empty() && Profile().autoFormatting && format.kind != style.numberFormat.kind;
    bool ok = StoreCellCommand(book, column, row, text.empty() ? nullptr : &record, format,
                               Profile().autoFormatting, firstColumn_, firstRow_,
                               &stored) == CommandResult::kDone;
    if (!stored) return false;
    if (restyle) owner_->UpdateStatus();
    const int32_t height = GetRowHeight(*sheet, row, 100);
    ok = AutoFitRowHeights(book, owner_->Display(), measure_, *sheet, row, row) && ok;
    const int32_t after = GetRowHeight(*sheet, row, 100);
    // The whole row band: the cell's old text may have flowed over its neighbours on either
    // side, and a neighbour's text may now flow over this cell or stop at it.
    const DcRect box = GetRangeRect(cellRange);
    const int bottom = after != height ? viewport()->height() - 1 : box.bottom;
    InvalidateRect({0, box.top, viewport()->width(), bottom + 1});
    InvalidateRowBand(replaced, Layout());
    return ok;
}

void CWorksheetView::RefitRows(uint32_t first, uint32_t last) {
    CWorksheet* sheet = Sheet();
    if (!sheet || first > last) return;
    if (!AutoFitRowHeights(Book(), owner_->Display(), measure_, *sheet, first, last))
        ShowErrorMessage(Book().error);
}

void CWorksheetView::RefitColumns(uint16_t first, uint16_t last) {
    if (CWorksheet* sheet = Sheet(); sheet && first <= last)
        AutoFitColumnWidths(Book(), measure_, *sheet, first, last);
}

} // namespace vl
