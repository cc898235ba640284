// The window's panes: splitting the table, closing a side pane, moving the focus between
// panes, and picking a reference into the formula being edited.

#include "app/mainframe.h"
#include "core/settings.h"
#include "formula/addresstext.h"
#include "model/workbook.h"
#include "model/worksheettree.h"
#include "platform/core/cp1252.h"
#include "resources/commandids.h"
#include "workbookwnd/celleditor.h"
#include "workbookwnd/environment.h"
#include "workbookwnd/treepane.h"
#include "workbookwnd/workbookwnd.h"
#include "workbookwnd/worksheetview.h"

#include <QApplication>
#include <QComboBox>
#include <QListWidget>
#include <QSplitter>
#include <QTextCursor>
#include <QTreeWidget>

namespace vl {

void CWorkbookWnd::RegisterPaneCommands() {
    auto& c = commands_;
    c[ID_EDIT_UNDO] = [this] { OnEditUndoRedo(false); };
    c[ID_EDIT_REDO] = [this] { OnEditUndoRedo(true); };
    for (int id :
         {int(ID_INSERT_ROWS), int(ID_REMOVE_ROWS), int(ID_INSERT_COLUMNS), int(ID_REMOVE_COLUMNS)})
        c[id] = [this, id] { OnInsertRemove(id); };
    c[ID_EDIT_CLEAR] = [this] { OnEditDelete(); };
    c[ID_NEW_WORKSHEET] = [this] { treeCtl_->NewItem(false); };
    c[ID_NEW_FOLDER] = [this] { treeCtl_->NewItem(true); };
    c[ID_RENAME] = [this] { treeCtl_->Rename(); };
    c[ID_SPLIT_HORIZONTAL] = [this] { OnSplit(Qt::Vertical); };
    c[ID_SPLIT_VERTICAL] = [this] { OnSplit(Qt::Horizontal); };
    c[ID_PANE_CLOSE] = [this] {
        QWidget* focus = QApplication::focusWidget();
        OnPaneClose(focus && inspectPane_->isAncestorOf(focus) ? inspectPane_ : treePane_);
    };
    c[ID_NEXT_PANE] = [this] { OnNextPrevPane((WorkbookKeyState() & Qt::ShiftModifier) != 0); };
    c[ID_PREV_PANE] = [this] { OnNextPrevPane(true); };
    // After a Go the keys go to the grid again; a refused address stays in the box.
    c[ID_GO_TO_ADDRESS] = [this] {
        if (frame_ && frame_->AddressBox() &&
            GoToAddress(Utf8ToCp1252(frame_->AddressBox()->currentText().toStdString())))
            FocusActiveView();
    };
    c[ID_NEXT_WORKSHEET] = [this] { OnNextPrevWorksheet(true); };
    c[ID_PREV_WORKSHEET] = [this] { OnNextPrevWorksheet(false); };
    for (int id :
         {int(ID_GO_TOP), int(ID_PREV_NONEMPTY), int(ID_PREV_EMPTY), int(ID_PREV_IDENTICAL),
          int(ID_PREV_DIFFERENT), int(ID_GO_BOTTOM), int(ID_NEXT_NONEMPTY), int(ID_NEXT_EMPTY),
          int(ID_NEXT_IDENTICAL), int(ID_NEXT_DIFFERENT)})
        c[id] = [this, id] { OnGoToCell(id); };
}

void CWorkbookWnd::OnSplit(Qt::Orientation orientation) {
    if (CWorksheetView* view = GetActiveView()) view->EndCellEdit(kEditStay);
    // One splitter serves both kinds: it takes the asked orientation and shows both views,
    // the first active, split at half.
    table_->setOrientation(orientation);
    views_[1]->show();
    views_[1]->LoadViewPosition();
    activeView_ = 0;
    const int extent = orientation == Qt::Vertical ? table_->height() : table_->width();
    const int half = std::max(extent / 2, 30);
    table_->setSizes({half, std::max(extent - half, 30)});
    if (CWorksheet* sheet = book_->tree.active) {
        sheet->split[0] = orientation == Qt::Vertical;
        sheet->split[1] = orientation == Qt::Horizontal;
    }
    UpdateStatus();
}

void CWorkbookWnd::RestoreSplit() {
    const CWorksheet* sheet = book_->tree.active;
    if (sheet && sheet->split[0])
        OnSplit(Qt::Vertical);
    else if (sheet && sheet->split[1])
        OnSplit(Qt::Horizontal);
    else
        OnSplitNone();
}

void CWorkbookWnd::OnPaneClose(QWidget* pane) {
    if (CWorksheetView* view = GetActiveView()) view->EndCellEdit(kEditStay);
    if (pane == treePane_ && book_->panes.treeShown)
        OnViewTree();
    else if (pane == inspectPane_ && book_->panes.inspectShown)
        OnViewInspect();
    UpdateStatus();
}

void CWorkbookWnd::OnNextPrevPane(bool backward) {
    QWidget* panes[4] = {tree_, views_[0], views_[1], inspect_};
    const bool shown[4] = {treePane_->isVisible(), views_[0]->isVisible(), views_[1]->isVisible(),
                           inspectPane_->isVisible()};
    QWidget* focus = QApplication::focusWidget();
    int current = -1;
    for (int i = 0; i < 4 && current < 0; ++i)
        if (panes[i] && focus && (focus == panes[i] || panes[i]->isAncestorOf(focus))) current = i;
    if (current < 0) return;
    for (int step = 1; step < 4; ++step) {
        const int next = (current + (backward ? 4 - step : step)) % 4;
        if (!shown[next]) continue;
        if (current == 1 || current == 2) views_[current - 1]->SetExtending(false);
        if (next == 1 || next == 2) activeView_ = next - 1;
        panes[next]->setFocus(Qt::OtherFocusReason);
        return;
    }
}

void CWorkbookWnd::StartPicking() {
    CWorksheetView* view = GetActiveView();
    if (!view || !view->EditorOpen()) return;
    const QTextCursor cursor = view->Editor()->textCursor();
    picked_.text = view->Editor()->toPlainText();
    picked_.selStart = cursor.selectionStart();
    picked_.selEnd = cursor.selectionEnd();
    picked_.sheet = book_->tree.active;
    picked_.column = view->Selection().c1;
    picked_.row = view->Selection().r1;
    view->CancelCellEdit();
    refPick_ = kRefPickPicking;
    UpdateStatus();
}

void CWorkbookWnd::FinishPicking() {
    CWorksheetView* view = GetActiveView();
    if (!view) return;
    const CellRange sel = view->Selection();
    RangeDescriptor range;
    MakeRangeDescriptor(sel, &range);
    // The worksheet's whole path from the top, as the composer writes it: a bare name would
    // be looked up in the edited worksheet's own folder.
    std::string location;
    if (book_->tree.active != picked_.sheet && book_->tree.active)
        BuildTreeItemPath(book_->tree.active, location, false);
    const std::string reference =
        FormatCellAddress({}, location, range, Profile().addressingA1 == 0, SIZE_MAX);
    // Back to the edited cell, with the kept text.
    if (picked_.sheet && picked_.sheet != book_->tree.active) treeCtl_->Select(picked_.sheet);
    view = GetActiveView();
    view->SetSelection({picked_.column, picked_.row, picked_.column, picked_.row});
    view->ScrollToCell(picked_.row, picked_.column);
    view->SyncSplitPane();
    refPick_ = kRefPickEditing;
    if (!view->BeginCellEdit(Utf8ToCp1252(picked_.text.toStdString()), 0)) {
        refPick_ = kRefPickNone;
        return UpdateStatus();
    }
    CCellEditor* editor = view->Editor();
    QTextCursor cursor = editor->textCursor();
    cursor.setPosition(picked_.selStart);
    cursor.setPosition(picked_.selEnd, QTextCursor::KeepAnchor);
    cursor.insertText(QString::fromStdString(Cp1252ToUtf8(reference)));
    editor->setTextCursor(cursor);
    editor->ensureCursorVisible();
    view->UpdateCellEditor();
    UpdateStatus();
}

} // namespace vl
