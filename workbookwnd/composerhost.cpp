#include "workbookwnd/composerhost.h"

#include "core/settings.h"
#include "formula/addresstext.h"
#include "formula/cellinput.h"
#include "formula/celltext.h"
#include "formula/edit/editcommands.h"
#include "formula/recalc.h"
#include "model/clearset.h"
#include "model/worksheettree.h"
#include "platform/core/errorcode.h"
#include "resources/commandids.h"
#include "ui/messages.h"
#include "workbookwnd/waitcursor.h"
#include "workbookwnd/workbookwnd.h"
#include "workbookwnd/worksheetview.h"

namespace vl {

namespace {

// Whether typed input would store the text: a refused formula leaves the cell as it was,
// so nothing after the store may act on the cell.
bool Storable(CWorkbookWnd& window, const std::string& text, uint32_t row, uint16_t column) {
    window.SyncContext();
    StandardFormat format;
    CellBuffer record;
    return ParseCellInput(*window.EvalContext(), text, format, row, column, record) ==
           CellInput::kStored;
}

// By the update mode: the workbook, the active worksheet, or nothing in the manual modes.
void Recalculate(CWorkbookWnd& window, uint32_t row, uint16_t column) {
    const uint8_t mode = window.UpdateMode();
    if (mode != kUpdateWorkbook && mode != kUpdateWorksheet) return;
    WaitCursor wait;
    CWorkbook& book = window.Book();
    const bool ok = RecalculateWorkbook(
        book, *window.EvalContext(), mode == kUpdateWorksheet ? &book.tree.active->cells : nullptr);
    window.SyncContext();
    if (!ok) ShowErrorMessage(book.error);
    window.GetActiveView()->ScrollToCell(row, column);
}

} // namespace

CWorkbookWnd* CComposerHost::Window() const {
    CWorkbookWnd* window = active_ ? AsWorkbookWnd(active_()) : nullptr;
    if (!window || !window->GetActiveView() || !window->Book().tree.active) return nullptr;
    return window;
}

bool CComposerHost::HasActiveWorkbook() const {
    return Window() != nullptr;
}

bool CComposerHost::GetSelection(Selection& out) const {
    CWorkbookWnd* window = Window();
    if (!window) return false;
    const CellRange& sel = window->GetActiveView()->Selection();
    CWorksheet* sheet = window->Book().tree.active;
    out.left = sel.c1;
    out.right = sel.c2;
    out.top = sel.r1;
    out.bottom = sel.r2;
    out.a1 = Profile().addressingA1 != 0;
    out.activeColumn = sel.c1;
    out.activeRow = sel.r1;
    // The path as an address writes it: quoted when a formula would not read it bare.
    std::string path;
    BuildTreeItemPath(sheet, path, false);
    out.sheetPath = IsUnquotedName(path) ? path : '"' + path + '"';
    window->SyncContext();
    out.activeCellText = GetCellText(*window->EvalContext(), sheet->cells, sel.c1, sel.r1, sel.c1,
                                     sel.r1, false, false);
    return true;
}

bool CComposerHost::InsertFormula(const std::string& text, bool asValue) {
    CWorkbookWnd* window = Window();
    if (!window) return false;
    CWorksheetView* view = window->GetActiveView();
    // What the user was typing goes in first, as before any command.
    view->EndCellEdit(kEditStay);
    const uint32_t row = view->Selection().r1;
    const uint16_t column = view->Selection().c1;
    if (!Storable(*window, text, row, column)) {
        view->SetCellFromText(text, row, column, true); // tells the user why
        return false;
    }
    if (!view->SetCellFromText(text, row, column, true)) {
        ShowErrorMessage(kErrorWorksheetMemory);
        return false;
    }
    Recalculate(*window, row, column);
    window->SetModified(true);
    if (asValue) ReplaceByValue(*window);
    for (int i = 0; i < 2; ++i)
        if (CWorksheetView* v = window->View(i)) v->InvalidateValueCells(false);
    window->RefreshViews();
    view->SyncSplitPane();
    window->UpdateStatus();
    return true;
}

// The formula just stored becomes its value; its array's whole area when it spreads.
void CComposerHost::ReplaceByValue(CWorkbookWnd& window) {
    CWorksheetView* view = window.GetActiveView();
    CWorksheet* sheet = window.Book().tree.active;
    GridSelection grid = window.CurrentGridSelection();
    const uint16_t column = view->Selection().c1;
    const uint32_t row = view->Selection().r1;
    grid.range = CellRange{column, row, column, row};
    if (const uint8_t* record = FindCell(sheet->cells, row, column);
        record && IsSpreadArrayAnchor(record))
        grid.range = SpreadArrayArea(record);
    WaitCursor wait;
    const CommandResult result = ConvertContentsCommand(window.Book(), grid, ID_FORMULAS_TO_VALUES);
    window.SyncContext();
    if (result == CommandResult::kFailed) return ShowErrorMessage(window.Book().error);
    view->UpdateScrollBars(true, true);
    window.SetModified(true);
}

} // namespace vl
