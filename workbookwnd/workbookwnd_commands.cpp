#include "app/mainframe.h"
#include "core/settings.h"
#include "resources/commandids.h"
#include "ui/uiservices.h"
#include "workbookwnd/celleditor.h"
#include "workbookwnd/environment.h"
#include "workbookwnd/workbookwnd.h"
#include "workbookwnd/worksheetview.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QSplitter>

namespace vl {

namespace {

// The text keys the open editor keeps for itself: characters (Shift+Space among them),
// Delete, Backspace, and cutting, copying and pasting text.
bool EditorTextKey(const QKeyEvent& event) {
    const Qt::KeyboardModifiers mods = event.modifiers() & ~Qt::KeypadModifier;
    const bool ctrl = mods & Qt::ControlModifier, alt = mods & Qt::AltModifier;
    if (!ctrl && !alt) {
        if (event.key() == Qt::Key_Delete || event.key() == Qt::Key_Backspace) return true;
        const QString text = event.text();
        return !text.isEmpty() && text[0].isPrint();
    }
    return ctrl && !alt && !(mods & Qt::ShiftModifier) &&
           (event.key() == Qt::Key_C || event.key() == Qt::Key_X || event.key() == Qt::Key_V);
}

QKeyCombination Combination(const QKeyEvent& event) {
    const Qt::KeyboardModifiers mods =
        event.modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    return QKeyCombination(mods, Qt::Key(event.key()));
}

// Shift+Ins and Ctrl+Ins: a line of text pastes and copies its own text by them.
bool LineClipboardKey(const QKeyEvent& event) {
    const QKeyCombination pressed = Combination(event);
    return pressed == QKeyCombination(Qt::SHIFT | Qt::Key_Insert) ||
           pressed == QKeyCombination(Qt::CTRL | Qt::Key_Insert);
}

// Keys a line of text handles itself beyond typing: select all, undo and redo.
bool LineEditKey(const QKeyEvent& event) {
    const QKeyCombination pressed = Combination(event);
    return pressed == QKeyCombination(Qt::CTRL | Qt::Key_A) ||
           pressed == QKeyCombination(Qt::CTRL | Qt::Key_Z) ||
           pressed == QKeyCombination(Qt::CTRL | Qt::Key_Y) ||
           pressed == QKeyCombination(Qt::CTRL | Qt::SHIFT | Qt::Key_Z);
}

// Keys a box of the frame's bars (the address box, the search bar's boxes) keeps: moving its
// caret, choosing in its list, leaving it, pasting and copying its text by Shift+Ins and
// Ctrl+Ins; the workbook's other keys (Ctrl+S, F12) go on to the window.
bool BoxKey(const QKeyEvent& event) {
    if (EditorTextKey(event) || LineEditKey(event)) return true;
    const bool ctrl = event.modifiers() & Qt::ControlModifier;
    switch (event.key()) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_F4:
    case Qt::Key_Insert:
        return true;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        return !ctrl;
    default:
        return false;
    }
}

// A text box of the frame outside every workbook window: the bars' boxes.
bool IsFrameBox(const QWidget* focus, const QWidget* frame) {
    if (focus->window() != frame) return false;
    for (const QWidget* w = focus; w; w = w->parentWidget()) {
        if (dynamic_cast<const CWorkbookWnd*>(w)) return false;
        if (qobject_cast<const QComboBox*>(w) || qobject_cast<const QLineEdit*>(w)) return true;
    }
    return false;
}

} // namespace

void CWorkbookWnd::RegisterCommands() {
    auto& c = commands_;
    c[ID_FILE_CLOSE] = [this] {
        // The save question of a closing window applies.
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
                    sub->close();
                else
                    close();
            },
            Qt::QueuedConnection);
    };
    c[ID_FILE_SAVE] = [this] { OnFileSave(); };
    c[ID_FILE_SAVE_AS] = [this] { OnFileSaveAs(); };
    c[ID_FILE_RELOAD] = [this] { OnFileReload(); };
    c[ID_SAVE_AS_IMAGE] = [this] { OnSaveAsImage(); };
    c[ID_EDIT_SELECT_ALL] = [this] { OnSelectAll(); };
    c[ID_SELECT_ROW] = [this] { OnSelectRow(); };
    c[ID_SELECT_COLUMN] = [this] { OnSelectColumn(); };
    for (int id : {int(ID_FREEZE_COLUMN), int(ID_FREEZE_ROW), int(ID_FREEZE_NONE)})
        c[id] = [this, id] { OnFreeze(id); };
    c[ID_SPLIT_NONE] = [this] { OnSplitNone(); };
    for (int i = 0; i < 5; ++i) {
        c[ID_UPDATE_AUTO_ALL + i] = [this, i] { OnUpdateMode(ID_UPDATE_AUTO_ALL + i); };
        c[ID_FORMAT_XML + i] = [this, i] { OnFileFormat(ID_FORMAT_XML + i); };
    }
    c[ID_VIEW_TREE] = [this] { OnViewTree(); };
    c[ID_VIEW_INSPECT] = [this] { OnViewInspect(); };
    c[ID_REFERENCE] = [this] { OnReferenceCommand(nullptr); };
    RegisterPaneCommands();
    RegisterDataCommands();
    RegisterFormatCommands();
}

bool CWorkbookWnd::CommandAvailable(int id) const {
    // Sort waits for a dialog to ask for its keys.
    if (id == ID_TOOLS_SORT && !UiServices().HasSortDialog()) return false;
    return commands_.count(id) != 0 && FormatCommandAvailable(id);
}

bool CWorkbookWnd::MenuCommandAvailable(int id) const {
    if (commands_.count(id)) return CommandEnabled(id);
    return frame_ && frame_->HasHandler(id) && frame_->CommandHandled(id);
}

void CWorkbookWnd::RunMenuCommand(int id) {
    if (commands_.count(id)) {
        HandleCommand(id);
        return;
    }
    if (frame_ && frame_->HasHandler(id)) frame_->OnCommand(id);
}

bool CWorkbookWnd::HandleCommand(int id) {
    auto it = commands_.find(id);
    if (it == commands_.end()) return false;
    it->second();
    return true;
}

bool CWorkbookWnd::ForwardKey(QKeyEvent* event) {
    QWidget* focus = QApplication::focusWidget();
    if (!focus) return false;
    if (!isAncestorOf(focus) && (!IsFrameBox(focus, window()) || BoxKey(*event))) return false;
    CWorksheetView* view = GetActiveView();
    const bool inEditor = view && view->EditorOpen() &&
                          (focus == view->Editor() || focus == static_cast<QWidget*>(view->List()));
    if (inEditor && EditorTextKey(*event)) return false;
    // A name typed into the tree (or any line of text in the window) keeps its text keys,
    // Ctrl+A and its own undo: Delete there had deleted the worksheet being renamed, and
    // Ctrl+Z undid the workbook's last edit under the open name.
    if (qobject_cast<QLineEdit*>(focus) &&
        (EditorTextKey(*event) || LineEditKey(*event) || (!inEditor && LineClipboardKey(*event))))
        return false;
    std::size_t count = 0;
    const AcceleratorKey* keys = WorkbookAccelerators(count);
    const QKeyCombination pressed = Combination(*event);
    for (std::size_t i = 0; i < count; ++i) {
        const QKeySequence sequence(QString::fromLatin1(keys[i].keys));
        if (sequence.isEmpty() || sequence[0] != pressed) continue;
        // The frame's own commands (Find/Replace) go through the frame.
        if (frame_ && frame_->HasHandler(keys[i].id)) {
            frame_->OnCommand(keys[i].id);
            return true;
        }
        // A command whose work is not here yet leaves the key to the grid or the editor.
        if (!CommandAvailable(keys[i].id)) return false;
        // A key does what its menu item does: nothing while the item is disabled.
        if (!CommandEnabled(keys[i].id)) return true;
        const InvokingKeyScope invoking(pressed.keyboardModifiers());
        HandleCommand(keys[i].id);
        return true;
    }
    return false;
}

void CWorkbookWnd::AfterEdit() {
    if (!modified_) SetModified(true);
    UpdateStatus();
}

void CWorkbookWnd::OnSelectAll() {
    CWorksheetView* view = GetActiveView();
    if (!view || !book_->tree.active) return;
    view->EndCellEdit(kEditStay);
    uint16_t c1 = 0, c2 = 0;
    uint32_t r1 = 0, r2 = 0;
    book_->tree.active->cells.GetUsedRange(&c1, &c2, &r1, &r2);
    SetActiveSelection(c1, r1, c2, r2);
    view->UpdateScrollBars(false, true);
    view->RepaintHighlight();
    UpdateStatus();
}

void CWorkbookWnd::OnSelectRow() {
    CWorksheetView* view = GetActiveView();
    if (!view || refPick_ == kRefPickEditing) return;
    const uint32_t row = view->Selection().r1;
    view->SetSelection({0, row, kLastColumn, row});
    view->InvalidateAll();
    UpdateStatus();
}

void CWorkbookWnd::OnSelectColumn() {
    CWorksheetView* view = GetActiveView();
    if (!view) return;
    view->EndCellEdit(kEditStay);
    const uint16_t column = view->Selection().c1;
    view->SetSelection({column, 0, column, kLastRow});
    view->InvalidateAll();
    UpdateStatus();
}

void CWorkbookWnd::OnFreeze(int id) {
    CWorksheetView* view = GetActiveView();
    CWorksheet* sheet = book_->tree.active;
    if (!view || !sheet) return;
    view->EndCellEdit(kEditStay);
    CellRef& pin = sheet->view.freezed;
    bool changed = false;
    if (id == ID_FREEZE_COLUMN && !(pin.flags & kRefColumn)) {
        pin.column = view->FirstColumn();
        pin.flags = kRefColumn;
        changed = true;
    } else if (id == ID_FREEZE_ROW && !(pin.flags & kRefRow)) {
        pin.row = view->FirstRow();
        pin.flags = kRefRow;
        changed = true;
    } else if (id == ID_FREEZE_NONE && (pin.flags & (kRefColumn | kRefRow))) {
        pin.flags = 0;
        changed = true;
    }
    if (changed) SetModified(true);
    view->InvalidateAll();
    view->SyncSplitPane();
    UpdateStatus();
}

void CWorkbookWnd::OnSplitNone() {
    if (CWorksheetView* view = GetActiveView()) view->EndCellEdit(kEditStay);
    // The table shows its first pane alone.
    if (views_[1]) views_[1]->hide();
    activeView_ = 0;
    if (CWorksheet* sheet = book_->tree.active) sheet->split[0] = sheet->split[1] = 0;
    UpdateStatus();
}

void CWorkbookWnd::OnUpdateMode(int id) {
    if (CWorksheetView* view = GetActiveView()) view->EndCellEdit(kEditStay);
    static const uint8_t kModes[] = {1, 2, 3, 4, 0};
    book_->updateMode = kModes[id - ID_UPDATE_AUTO_ALL];
    AfterEdit();
}

void CWorkbookWnd::OnFileFormat(int id) {
    if (CWorksheetView* view = GetActiveView()) view->EndCellEdit(kEditStay);
    static const uint8_t kFormats[] = {1, 2, 3, 4, 0};
    book_->fileKind = kFormats[id - ID_FORMAT_XML];
    AfterEdit();
}

void CWorkbookWnd::OnViewTree() {
    if (CWorksheetView* view = GetActiveView()) view->EndCellEdit(kEditStay);
    PaneLayout& panes = book_->panes;
    panes.treeShown = !panes.treeShown;
    if (panes.treeShown) {
        treePane_->show();
        const int total = std::max(outer_->width(), panes.treeWidth + 60);
        outer_->setSizes({int(panes.treeWidth), total - panes.treeWidth});
    } else {
        if (!outer_->sizes().isEmpty())
            panes.treeWidth = uint16_t(std::clamp(outer_->sizes()[0], 0, 0xFFFF));
        treePane_->hide();
    }
    UpdateStatus();
}

void CWorkbookWnd::OnViewInspect() {
    if (CWorksheetView* view = GetActiveView()) view->EndCellEdit(kEditStay);
    PaneLayout& panes = book_->panes;
    panes.inspectShown = !panes.inspectShown;
    if (panes.inspectShown) {
        inspectPane_->show();
        const int total = std::max(inner_->height(), panes.inspectHeight + 60);
        inner_->setSizes({total - panes.inspectHeight, int(panes.inspectHeight)});
    } else {
        if (inner_->sizes().size() > 1)
            panes.inspectHeight = uint16_t(std::clamp(inner_->sizes()[1], 0, 0xFFFF));
        inspectPane_->hide();
    }
    UpdateStatus();
}

} // namespace vl
