// Copy, Cut and Paste of the workbook window: copies go to the process's copy history and,
// as text with a private block marking them as ours, to the system clipboard; Paste takes
// the history's newest copy only when that block names this process, else the text.

#include "app/copyhistory.h"
#include "app/mainframe.h"
#include "app/messages.h"
#include "app/uiservices.h"
#include "charts/draw/imageexport.h"
#include "core/errorcode.h"
#include "formula/edit/clipboardtext.h"
#include "model/container.h"
#include "model/containerpaste.h"
#include "model/rangeops.h"
#include "model/undosnapshot.h"
#include "model/worksheettree.h"
#include "platform/core/cp1252.h"
#include "workbookwnd/celleditor.h"
#include "workbookwnd/environment.h"
#include "workbookwnd/treepane.h"
#include "workbookwnd/waitcursor.h"
#include "workbookwnd/workbookwnd.h"
#include "workbookwnd/worksheetview.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTreeWidget>

namespace vl {

namespace {

constexpr int kClipboardError = 110;

uint64_t ThisProcess() {
    return uint64_t(QCoreApplication::applicationPid());
}

} // namespace

QLineEdit* CWorkbookWnd::FocusedAddressEdit() const {
    if (!frame_ || !frame_->AddressBox()) return nullptr;
    QLineEdit* edit = frame_->AddressBox()->lineEdit();
    return edit && QApplication::focusWidget() == edit ? edit : nullptr;
}

bool CWorkbookWnd::TreeHasFocus() const {
    QWidget* focus = QApplication::focusWidget();
    return focus && (focus == tree_ || tree_->isAncestorOf(focus));
}

void CWorkbookWnd::OnEditCopyCut(bool cut) {
    if (QLineEdit* edit = FocusedAddressEdit()) return cut ? edit->cut() : edit->copy();
    CWorksheetView* view = GetActiveView();
    if (!view) return;
    if (view->EditorOpen()) return cut ? view->Editor()->cut() : view->Editor()->copy();
    CWorksheet* sheet = book_->tree.active;
    WaitCursor wait;
    UndoHistory& history = CopyHistory().Entries();
    bool copied = false;
    if (TreeHasFocus()) {
        if (CTreeItem* item = treeCtl_->SelectedItem())
            copied = SnapshotWorksheetToUndo(*book_, *item, history, history.current);
        else
            return;
    } else if (CContainer* container =
                   sheet ? FindContainer(*sheet, view->CurrentContainer()) : nullptr;
               container && view->CurrentContainer()) {
        copied = SnapshotContainer(*book_, sheet, *container, history, history.current);
    } else if (sheet) {
        RangeDescriptor range;
        MakeRangeDescriptor(view->Selection(), &range);
        copied = SnapshotRangeToUndo(*book_, *sheet, range, history, history.current, true, true);
    }
    if (!copied) {
        // The emptied slot goes; the history's newest copy stays the one before.
        DiscardLastUndo(history, true);
        ShowErrorMessage(book_->error);
    }
    CopyToClipboard(history.current, copied);
    // A Cut whose copy failed keeps the cells it could not copy. Cut takes the cells and
    // leaves their formats, whatever keys are held.
    if (cut && copied) DeleteFocused(false);
    UpdateStatus();
}

void CWorkbookWnd::CopyToClipboard(int32_t index, bool withPrivate) {
    CWorksheetView* view = GetActiveView();
    CWorksheet* sheet = book_->tree.active;
    if (!view || !sheet) return;
    auto mime = std::make_unique<QMimeData>();
    const bool container = view->CurrentContainer() && !TreeHasFocus() &&
                           FindContainer(*sheet, view->CurrentContainer());
    if (container) {
        const QImage image = ContainerImage(view->CurrentContainer());
        if (!image.isNull()) mime->setImageData(image);
    } else {
        std::string text;
        WriteRangeText(sheet->cells, view->Selection(), text);
        mime->setText(QString::fromStdString(Cp1252ToUtf8(text)));
    }
    if (withPrivate) {
        const std::string block = WritePrivateClipboardData(index, ThisProcess());
        mime->setData(QLatin1String(kPrivateClipboardMime), QByteArray(block.data(), block.size()));
    }
    if (mime->formats().isEmpty()) return;
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard) return ShowErrorMessage(kClipboardError);
    clipboard->setMimeData(mime.release());
}

QImage CWorkbookWnd::ContainerImage(uint16_t id) {
    std::string sheetPath;
    if (!book_->tree.active || !BuildTreeItemPath(book_->tree.active, sheetPath, false)) return {};
    // The renderer writes files: a PNG in a folder of our own, read back at once.
    QTemporaryDir dir;
    if (!dir.isValid()) return {};
    const std::string file = (dir.path() + QStringLiteral("/container.png")).toStdString();
    if (!RenderContainerToBitmap(*book_, sheetPath.c_str(), id, file.c_str(), kImageFormatPng, 0,
                                 ZoomPair{100, 100}))
        return {};
    return QImage(QString::fromStdString(file));
}

void CWorkbookWnd::OnEditPaste() {
    if (QLineEdit* edit = FocusedAddressEdit()) return edit->paste();
    CWorksheetView* view = GetActiveView();
    if (!view) return;
    if (view->EditorOpen()) {
        view->Editor()->paste();
        view->UpdateCellEditor();
        return;
    }
    QClipboard* clipboard = QGuiApplication::clipboard();
    const QMimeData* mime = clipboard ? clipboard->mimeData() : nullptr;
    if (!mime) return ShowErrorMessage(kClipboardError);
    BeginCommand();
    WaitCursor wait;
    PrivateClipboardData block;
    const bool ours = mime->hasFormat(QLatin1String(kPrivateClipboardMime)) &&
                      ReadPrivateClipboardData(
                          mime->data(QLatin1String(kPrivateClipboardMime)).toStdString(), block) &&
                      block.hasProcess && block.processId == ThisProcess();
    CommandResult result = CommandResult::kNothing;
    if (ours && !CopyHistory().Empty())
        result = PasteInternalEntry(CopyHistory().Entries().current);
    else if (mime->hasText())
        result = PasteText(Utf8ToCp1252(mime->text().toStdString()));
    AfterCommand(result == CommandResult::kNothing ? CommandResult::kDone : result);
}

void CWorkbookWnd::OnPasteCopiedData(int item) {
    if (item < 0 || item > CopyHistory().Entries().current) return;
    BeginCommand();
    WaitCursor wait;
    AfterCommand(PasteInternalEntry(item));
}

CommandResult CWorkbookWnd::PasteInternalEntry(int32_t index) {
    CWorksheetView* view = GetActiveView();
    CWorksheet* sheet = book_->tree.active;
    UndoHistory& history = CopyHistory().Entries();
    if (!view || !sheet || index < 0 || index >= kUndoSpareSlot) return CommandResult::kNothing;
    const UndoEntry& e = history.entries[index];
    const GridSelection grid = CurrentGridSelection();
    const CellRange& sel = grid.range;
    switch (e.kind) {
    case kUndoCells: {
        if (!book_->RecordUndoCell(*sheet, sel.c1, sel.r1, grid.cursorColumn, grid.cursorRow)) {
            book_->error = kErrorWorksheetMemory;
            return CommandResult::kFailed;
        }
        const bool ok = RestoreCellFromUndo(*book_, *sheet, sel.c1, sel.r1, history, index);
        view->RefitRows(sel.r1, sel.r1);
        return FinishCommand(*book_, ok);
    }
    case kUndoRangeCells:
    case kUndoRangeFormats:
    case kUndoRangeBoth: {
        const CellRange kept = e.blockDescriptor.Range();
        const CellRange target = PasteTarget(sel, kept.c2 - kept.c1, kept.r2 - kept.r1);
        if (!book_->RecordUndoRange(target, grid.cursorColumn, grid.cursorRow, true, true)) {
            book_->error = kErrorWorksheetMemory;
            return CommandResult::kFailed;
        }
        // With Shift only the contents are pasted; the formats stay.
        const bool formats = !(WorkbookKeyState() & Qt::ShiftModifier);
        const bool ok = PasteRangeFromEntry(*book_, *sheet, target, history, index, true, formats);
        view->UpdateScrollBars(true, true);
        view->RefitRows(target.r1, target.r2);
        return FinishCommand(*book_, ok);
    }
    case kUndoContainer: {
        if (!RestoreContainerFromUndo(*book_, *sheet, CellRef{sel.c1, sel.r1, 0}, history, index))
            return CommandResult::kFailed;
        CContainer* added = sheet->firstContainer;
        while (added && added->next) added = added->next;
        view->SetCurrentContainer(added ? added->settings.id : 0);
        if (added) book_->RecordUndoContainer(sel, grid.cursorColumn, grid.cursorRow, *added);
        view->UpdateScrollBars(true, true);
        return FinishCommand(*book_, true);
    }
    case kUndoTreeChain: {
        CTreeItem* first =
            PasteWorksheetCommand(*book_, grid, treeCtl_->SelectedItem(), history, index);
        treeCtl_->Fill();
        if (!first) return CommandResult::kFailed;
        return CommandResult::kDone;
    }
    default:
        book_->error = kErrorInvalidCacheIndex;
        return CommandResult::kFailed;
    }
}

CommandResult CWorkbookWnd::PasteText(std::string_view text) {
    CWorksheetView* view = GetActiveView();
    if (!view || !book_->tree.active) return CommandResult::kNothing;
    SyncContext();
    CellRange pasted;
    const CommandResult result =
        PasteTextCommand(*book_, ctx_, CurrentGridSelection(), text, &pasted);
    view->UpdateScrollBars(true, true);
    view->RefitRows(pasted.r1, pasted.r2);
    return result;
}

void CWorkbookWnd::MoveRangeByDrag(const CellRange& source, const CellRange& drop) {
    CWorksheetView* view = GetActiveView();
    CWorksheet* sheet = book_->tree.active;
    if (!view || !sheet) return;
    BeginCommand();
    WaitCursor wait;
    const bool copy = (WorkbookKeyState() & Qt::ControlModifier) != 0;
    UndoHistory& history = CopyHistory().Entries();
    int32_t spare = kUndoSpareSlot;
    RangeDescriptor range;
    MakeRangeDescriptor(source, &range);
    if (!SnapshotRangeToUndo(*book_, *sheet, range, history, spare, true, true))
        return AfterCommand(CommandResult::kFailed);
    const GridSelection grid = CurrentGridSelection();
    const bool sourceKept =
        copy || book_->RecordUndoRange(source, grid.cursorColumn, grid.cursorRow, true, true);
    if (!sourceKept ||
        !book_->RecordUndoRange(drop, grid.cursorColumn, grid.cursorRow, true, true)) {
        FreeUndoEntry(history, kUndoSpareSlot);
        DiscardLastUndo(book_->undo, true);
        if (sourceKept && !copy) DiscardLastUndo(book_->undo, true);
        book_->error = kErrorWorksheetMemory;
        return AfterCommand(CommandResult::kFailed);
    }
    bool ok = true;
    if (!copy) ok = ClearRange(*book_, *sheet, source);
    ok = ok && PasteRangeFromEntry(*book_, *sheet, drop, history, kUndoSpareSlot, true, true);
    FreeUndoEntry(history, kUndoSpareSlot);
    view->SetSelection(drop);
    view->UpdateScrollBars(true, true);
    if (!copy && (source.r1 != drop.r1 || source.r2 != drop.r2))
        view->RefitRows(source.r1, source.r2);
    view->RefitRows(drop.r1, drop.r2);
    AfterCommand(FinishCommand(*book_, ok));
}

} // namespace vl
