#include "workbookwnd/formatapply.h"

#include "formula/edit/formatcommands.h"
#include "formula/recalc.h"
#include "model/formatattribute.h"
#include "ui/messages.h"
#include "ui/uiservices.h"
#include "workbookwnd/waitcursor.h"
#include "workbookwnd/workbookwnd.h"
#include "workbookwnd/worksheetview.h"

namespace vl {

namespace {

// The invalidated range: the selection's rectangle when it lies inside the sheet.
void InvalidateRange(CWorksheetView& view, const CellRange& r) {
    const DcRect box = view.GetRangeRect(r);
    view.InvalidateRect({box.left, box.top, box.right + 1, box.bottom + 1});
    view.SyncSplitPane();
}

bool RefitsRows(uint8_t code) {
    return code == kAttrFontSize || code == kAttrFontName || code == kAttrFont ||
           (code >= kAttrAlignment && code <= kAttrWrapping) ||
           (code >= kAttrAlignmentRotation && code <= kAttrRotation);
}

// The common course around a formatting command.
template <class Command> bool ApplyAround(CWorkbookWnd& wnd, uint8_t code, Command command) {
    CWorksheetView* view = wnd.GetActiveView();
    CWorkbook& book = wnd.Book();
    if (!view || !book.tree.active) return false;
    const CellRange sel = view->Selection();
    bool recorded = false;
    const CommandResult result = command(book, wnd.CurrentGridSelection(), &recorded);
    if (!recorded) {
        ShowErrorMessage(book.error);
        return false;
    }
    if (RefitsRows(code)) {
        view->RefitRows(sel.r1, sel.r2);
        view->InvalidateAll();
    }
    wnd.SetModified(true);
    InvalidateRange(*view, sel);
    wnd.UpdateStatus();
    if (result != CommandResult::kDone) ShowErrorMessage(book.error);
    return result == CommandResult::kDone;
}

} // namespace

bool ApplySelectionFormat(CWorkbookWnd& wnd, uint8_t code, const StyleRecord& style,
                          const FontRecord& font) {
    const bool waiting = code >= kAttrFontSize && code <= kAttrFontColor;
    if (waiting) UiServices().SetWaitCursor(true);
    const bool ok =
        ApplyAround(wnd, code, [&](CWorkbook& book, const GridSelection& grid, bool* recorded) {
            return FormatCommand(book, grid, code, style, font, recorded);
        });
    if (waiting) UiServices().SetWaitCursor(false);
    return ok;
}

bool ApplyBorderFormat(CWorkbookWnd& wnd, const StyleRecord& style, uint8_t code) {
    // Sides set by the page go onto every cell of the selection, inner edges too.
    if (code != kAttrNothing) return ApplySelectionFormat(wnd, code, style, FontRecord{});
    return ApplyAround(wnd, code, [&](CWorkbook& book, const GridSelection& grid, bool* recorded) {
        return OutlineBordersCommand(book, grid, style, recorded);
    });
}

bool ApplyBackgroundFormat(CWorkbookWnd& wnd, const ViewSettingsRecord& view) {
    CWorksheet* sheet = wnd.Book().tree.active;
    CWorksheetView* active = wnd.GetActiveView();
    if (!sheet || !active) return false;
    // Only what the page edits: the position, selection, panes and zoom stay the window's.
    ViewSettingsRecord& target = sheet->view;
    target.background = view.background;
    target.showGrid = view.showGrid;
    target.gridColorGiven = view.gridColorGiven;
    target.gridColor = view.gridColor;
    target.headingsColorGiven = view.headingsColorGiven;
    target.headingsColor = view.headingsColor;
    wnd.SetModified(true);
    active->InvalidateAll();
    active->SyncSplitPane();
    wnd.UpdateStatus();
    return true;
}

void ApplyZoomToWindow(CWorkbookWnd& wnd, uint16_t zoom, bool allWorksheets) {
    CWorkbook& book = wnd.Book();
    if (!book.tree.active) return;
    if (allWorksheets) {
        for (CTreeItem* item = book.tree.first; item; item = item->next)
            if (CWorksheet* ws = AsWorksheet(item)) ws->view.scale = zoom;
    } else {
        book.tree.active->view.scale = zoom;
    }
    {
        // A chart that fails keeps its error in its own and its container's error byte and
        // draws nothing; the edit or command that made it fail has told the user already.
        WaitCursor wait;
        UpdateWorkbookCharts(book);
    }
    wnd.SetModified(true);
    if (CWorksheetView* view = wnd.GetActiveView()) {
        view->InvalidateAll();
        view->UpdateScrollBars(false, true);
        view->SyncSplitPane();
    }
    wnd.UpdateStatus();
}

} // namespace vl
