#include "workbookwnd/formatapply.h"

#include "app/messages.h"
#include "app/uiservices.h"
#include "formula/recalc.h"
#include "model/formatattribute.h"
#include "model/rangestyle.h"
#include "workbookwnd/waitcursor.h"
#include "workbookwnd/workbookwnd.h"
#include "workbookwnd/worksheetview.h"

#include <vector>

namespace vl {

namespace {

bool WholeColumns(const CellRange& sel) {
    return sel.r1 == 0 && sel.r2 == kLastRow;
}

// One attribute over a rectangle of the active worksheet; whole columns by their column
// form. A full table leaves error 14, memory error 8.
bool ApplyToRect(CWorkbook& book, CWorksheet& sheet, const CellRange& r, uint8_t code,
                 const StyleRecord& style, const FontRecord& font) {
    bool ok = true;
    if (WholeColumns(r)) {
        for (uint32_t c = r.c1; ok && c <= r.c2; ++c)
            ok = ApplyStyleToColumn(book.styles, uint16_t(c), sheet.formats, code, style, font);
    } else {
        ok = ApplyStyleToRange(book.styles, r.c1, r.c2, r.r1, r.r2, sheet.formats, code, style,
                               font);
    }
    if (!ok)
        book.error = book.styles.styleCount >= kMaxStyles || book.styles.fontCount >= kMaxFonts
                         ? kErrorTooManyStyles
                         : kErrorWorksheetMemory;
    return ok;
}

// The invalidated range: the selection's rectangle when it lies inside the sheet.
void InvalidateRange(CWorksheetView& view, const CellRange& r) {
    const DcRect box = view.GetRangeRect(r);
    view.InvalidateRect({box.left, box.top, box.right + 1, box.bottom + 1});
    view.SyncSplitPane();
}

bool RefitsRows(uint8_t code) {
    return code == kAttrFontSize || code == kAttrFontName || code == kAttrFont ||
           (code >= kAttrAlignment && code <= kAttrWrapping);
}

// The common course around the change of one or more rectangles.
template <class Change> bool ApplyAround(CWorkbookWnd& wnd, uint8_t code, Change change) {
    CWorksheetView* view = wnd.GetActiveView();
    CWorkbook& book = wnd.Book();
    CWorksheet* sheet = book.tree.active;
    if (!view || !sheet) return false;
    const CellRange sel = view->Selection();
    const GridSelection grid = wnd.CurrentGridSelection();
    if (!book.RecordUndoRange(sel, grid.cursorColumn, grid.cursorRow, false, true)) {
        ShowErrorMessage(kErrorWorksheetMemory);
        return false;
    }
    const bool ok = change(book, *sheet, sel);
    book.CompactStyleTables();
    if (RefitsRows(code)) {
        view->RefitRows(sel.r1, sel.r2);
        view->InvalidateAll();
    }
    wnd.SetModified(true);
    InvalidateRange(*view, sel);
    wnd.UpdateStatus();
    if (!ok) ShowErrorMessage(book.error);
    return ok;
}

// The part of `sides` that lies on the edges of the strip [c1, c2] x [r1, r2] of `sel`.
uint8_t StripSides(uint8_t sides, const CellRange& sel, const CellRange& strip) {
    uint8_t out = sides & (kBorderDiagonalLeft | kBorderDiagonalRight);
    if (strip.r1 == sel.r1) out |= sides & kBorderTop;
    if (strip.r2 == sel.r2) out |= sides & kBorderBottom;
    if (strip.c1 == sel.c1) out |= sides & kBorderLeft;
    if (strip.c2 == sel.c2) out |= sides & kBorderRight;
    return out;
}

struct Band {
    uint32_t first, last;
};

// The first line, the lines between and the last line of first to last (fewer when they
// are one or two).
std::vector<Band> Bands(uint32_t first, uint32_t last) {
    if (first == last) return {{first, first}};
    if (last == first + 1) return {{first, first}, {last, last}};
    return {{first, first}, {first + 1, last - 1}, {last, last}};
}

} // namespace

bool ApplySelectionFormat(CWorkbookWnd& wnd, uint8_t code, const StyleRecord& style,
                          const FontRecord& font) {
    const bool waiting = code >= kAttrFontSize && code <= kAttrFontColor;
    if (waiting) UiServices().SetWaitCursor(true);
    const bool ok =
        ApplyAround(wnd, code, [&](CWorkbook& book, CWorksheet& sheet, const CellRange& sel) {
            return ApplyToRect(book, sheet, sel, code, style, font);
        });
    if (waiting) UiServices().SetWaitCursor(false);
    return ok;
}

bool ApplyBorderFormat(CWorkbookWnd& wnd, const StyleRecord& style, uint8_t code) {
    // Sides set by the page go onto every cell of the selection, inner edges too.
    if (code != kAttrNothing) return ApplySelectionFormat(wnd, code, style, FontRecord{});
    return ApplyAround(wnd, code, [&](CWorkbook& book, CWorksheet& sheet, const CellRange& sel) {
        const bool whole = WholeColumns(sel);
        // Whole columns take their column form: a top or bottom side there would border
        // every cell of the column.
        const uint8_t outline =
            kBorderLeft | kBorderRight | (whole ? 0 : kBorderTop | kBorderBottom);
        for (const Band& rows : Bands(whole ? 0 : sel.r1, whole ? 0 : sel.r2))
            for (const Band& cols : Bands(sel.c1, sel.c2)) {
                const CellRange strip{uint16_t(cols.first), whole ? 0 : rows.first,
                                      uint16_t(cols.last), whole ? kLastRow : rows.last};
                StyleRecord part = style;
                part.borderSides = StripSides(outline, sel, strip);
                // The cells inside the outline keep their borders.
                if (!part.borderSides) continue;
                if (!ApplyToRect(book, sheet, strip, kAttrBorders, part, FontRecord{}))
                    return false;
            }
        return true;
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
        WaitCursor wait;
        if (!UpdateWorkbookCharts(book)) ShowErrorMessage(book.error);
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
