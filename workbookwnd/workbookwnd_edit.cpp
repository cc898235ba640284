// The window's editing commands over the engine's: Undo and Redo, inserting and removing
// rows and columns, and Delete; each ends with the window's one after-edit refresh.

#include "formula/edit/containercommands.h"
#include "formula/edit/deletecommand.h"
#include "formula/edit/editcommands.h"
#include "model/container.h"
#include "resources/commandids.h"
#include "ui/messages.h"
#include "ui/uiservices.h"
#include "workbookwnd/celleditor.h"
#include "workbookwnd/environment.h"
#include "workbookwnd/treepane.h"
#include "workbookwnd/workbookwnd.h"
#include "workbookwnd/worksheetview.h"

#include <QApplication>
#include <QTextCursor>
#include <QTreeWidget>
#include <algorithm>

namespace vl {

namespace {

// The wait cursor for the length of a command.
class WaitCursor {
public:
    WaitCursor() { UiServices().SetWaitCursor(true); }
    ~WaitCursor() { UiServices().SetWaitCursor(false); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

} // namespace

GridSelection CWorkbookWnd::CurrentGridSelection() const {
    GridSelection grid;
    if (CWorksheetView* view = GetActiveView()) {
        grid.range = view->Selection();
        // The history notes the view's first visible cell as the cursor.
        grid.cursorColumn = view->FirstColumn();
        grid.cursorRow = view->FirstRow();
    }
    return grid;
}

void CWorkbookWnd::AfterCommand(CommandResult result) {
    if (result == CommandResult::kNothing) return;
    if (result == CommandResult::kFailed) ShowErrorMessage(book_->error);
    FollowContainerWindow();
    SyncContext();
    for (CWorksheetView* view : views_)
        if (view) view->InvalidateValueCells(false);
    RefreshViews();
    if (CWorksheetView* view = GetActiveView()) view->SyncSplitPane();
    if (result == CommandResult::kDone || book_->undo.current != undoBefore_) SetModified(true);
    // A renamed worksheet or folder shows in the title whether or not the flag changed.
    UpdateTitle();
    UpdateStatus();
}

bool CWorkbookWnd::BeginCommand() {
    if (refPick_ == kRefPickPicking) {
        UiServices().Beep();
        return false;
    }
    if (CWorksheetView* view = GetActiveView()) view->EndCellEdit(kEditStay);
    undoBefore_ = book_->undo.current;
    return true;
}

void CWorkbookWnd::GoToUndoPlace(const UndoPlace& place, const CWorksheet* shownBefore) {
    // The executor makes the entry's worksheet the active one; shown, it is activated as a
    // click in the tree would: its icon, its view position, its split and the title follow.
    const bool switched = book_->tree.active != shownBefore;
    if (switched || place.operation == kOpTree || place.operation == kOpRename)
        treeCtl_->Fill();
    else if (QTreeWidgetItem* handle = treeCtl_->FindHandle(book_->tree.active);
             handle && tree_->currentItem() != handle)
        treeCtl_->Select(book_->tree.active);
    SyncContext();
    if (switched) {
        for (CWorksheetView* view : views_)
            if (view) view->LoadViewPosition();
        RestoreSplit();
    }
    CWorksheetView* view = GetActiveView();
    if (!view) return;
    view->SetSelection(place.selection);
    view->ScrollToCell(place.selection.r1, place.selection.c1);
    const uint8_t op = place.operation;
    if (op == kOpCells || op == kOpRange || op == kOpRowHeights || op == kOpRows || op == kOpSort) {
        view->RefitRows(place.selection.r1, place.selection.r2);
        // A drag-move's other half changed its rows too.
        for (const CellRange& other : place.joined) view->RefitRows(other.r1, other.r2);
    }
    view->InvalidateAll();
}

void CWorkbookWnd::FitScrollExtents() {
    // The ranges grow as cells are filled and the cursor moves; an undone edit may leave
    // less to reach, so they are measured again from the worksheet.
    for (CWorksheetView* view : views_) {
        if (!view || view->isHidden()) continue;
        view->ResetScrollBars();
        view->UpdateScrollBars(true, false);
        view->SetScrollBars(true, true, true, true);
    }
}

void CWorkbookWnd::OnEditUndoRedo(bool redo) {
    if (!BeginCommand()) return;
    WaitCursor wait;
    // Columns coming back or going again change the wrapped texts of every row they hold,
    // before and after.
    auto usedRows = [this](uint32_t& first, uint32_t& last) {
        uint16_t c1 = 0, c2 = 0;
        uint32_t r1 = 0, r2 = 0;
        if (!book_->tree.active || !book_->tree.active->cells.GetUsedRange(&c1, &c2, &r1, &r2))
            return;
        first = std::min(first, r1);
        last = std::max(last, r2);
    };
    uint32_t first = kLastRow, last = 0;
    usedRows(first, last);
    const CWorksheet* shownBefore = book_->tree.active;
    UndoPlace place;
    const CommandResult result = redo ? RedoCommand(*book_, &place) : UndoCommand(*book_, &place);
    if (result == CommandResult::kNothing) return;
    GoToUndoPlace(place, shownBefore);
    if (place.operation == kOpColumns || place.operation == kOpColumnWidths) {
        usedRows(first, last);
        if (first <= last && GetActiveView()) GetActiveView()->RefitRows(first, last);
    }
    FitScrollExtents();
    AfterCommand(result == CommandResult::kFailed ? result : CommandResult::kDone);
}

void CWorkbookWnd::OnInsertRemove(int id) {
    CWorksheetView* view = GetActiveView();
    if (!view || !book_->tree.active) return;
    if (!BeginCommand()) return;
    WaitCursor wait;
    const GridSelection grid = CurrentGridSelection();
    uint16_t c1 = 0, c2 = 0;
    uint32_t r1 = 0, r2 = 0;
    const bool used = book_->tree.active->cells.GetUsedRange(&c1, &c2, &r1, &r2);
    CommandResult result = CommandResult::kNothing;
    const bool columns = id == ID_INSERT_COLUMNS || id == ID_REMOVE_COLUMNS;
    switch (id) {
    case ID_INSERT_ROWS:
        result = InsertRowsCommand(*book_, grid);
        break;
    case ID_REMOVE_ROWS:
        result = RemoveRowsCommand(*book_, grid);
        break;
    case ID_INSERT_COLUMNS:
        result = InsertColumnsCommand(*book_, grid);
        break;
    case ID_REMOVE_COLUMNS:
        result = RemoveColumnsCommand(*book_, grid);
        break;
    default:
        return;
    }
    if (result == CommandResult::kDone) {
        CellRange sel = grid.range;
        if (columns)
            sel.c2 = sel.c1;
        else
            sel.r2 = sel.r1;
        view->SetSelection(sel);
        // Wrapped texts may have changed their columns.
        if (id == ID_REMOVE_COLUMNS && used) view->RefitRows(r1, r2);
        view->UpdateScrollBars(true, true);
    }
    AfterCommand(result);
}

void CWorkbookWnd::OnEditDelete() {
    // Ctrl held at the time of the command (Ctrl+Delete in the grid) deletes formats.
    DeleteFocused((WorkbookKeyState() & Qt::ControlModifier) != 0);
}

void CWorkbookWnd::DeleteFocused(bool formats) {
    CWorksheetView* view = GetActiveView();
    if (!view) return;
    // An open editor loses its selected characters only.
    if (view->EditorOpen()) {
        QTextCursor cursor = view->Editor()->textCursor();
        cursor.removeSelectedText();
        view->Editor()->setTextCursor(cursor);
        return;
    }
    QWidget* focus = QApplication::focusWidget();
    const bool treeFocus = focus && (focus == tree_ || tree_->isAncestorOf(focus));
    const bool gridFocus = focus && (views_[0]->isAncestorOf(focus) || focus == views_[0] ||
                                     focus == views_[1] || views_[1]->isAncestorOf(focus));
    if (!treeFocus && !gridFocus) return;
    if (!BeginCommand()) return;
    WaitCursor wait;
    if (treeFocus) {
        treeCtl_->DeleteSelected();
        return;
    }
    CWorksheet* sheet = book_->tree.active;
    if (!sheet) return;
    const GridSelection grid = CurrentGridSelection();
    if (const uint16_t id = view->CurrentContainer(); id && FindContainer(*sheet, id)) {
        view->SetCurrentContainer(0);
        return AfterCommand(DeleteContainerCommand(*book_, grid, id));
    }
    const CommandResult result = DeleteRangeCommand(*book_, grid, formats);
    if (result == CommandResult::kDone) view->RefitRows(grid.range.r1, grid.range.r2);
    AfterCommand(result);
}

} // namespace vl
