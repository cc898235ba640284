// Copy, Cut and Paste of the workbook window: copies go to the process's copy history and,
// as text with a private block marking them as ours, to the system clipboard; Paste takes
// the history's newest copy only when that block names this process, else the text.

#include "app/copyhistory.h"
#include "app/mainframe.h"
#include "charts/draw/imageexport.h"
#include "formula/edit/clipboardtext.h"
#include "formula/edit/rangecommands.h"
#include "model/container.h"
#include "model/containerpaste.h"
#include "model/rangeops.h"
#include "model/undosnapshot.h"
#include "model/worksheettree.h"
#include "platform/core/cp1252.h"
#include "platform/core/errorcode.h"
#include "ui/messages.h"
#include "ui/uiservices.h"
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
#include <utility>

namespace vl {

namespace {

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
    // A Cut that could not take its cells would be a Copy.
    if (cut && refPick_ == kRefPickPicking) return UiServices().Beep();
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
    if (copied)
        CopyHistory().NoteOrigin(history.current, book_.get(),
                                 TreeHasFocus() ? treeCtl_->SelectedItem() : sheet);
    if (!copied) {
        // The emptied slot goes; the history's newest copy stays the one before.
        DiscardLastUndo(history, true);
        ShowErrorMessage(book_->error);
    }
    CopyToClipboard(history.current, copied);
    // A Cut whose copy failed keeps the cells it could not copy. Cut takes the cells and
    // leaves their formats, whatever keys are held.
    const bool cells = !TreeHasFocus() && !(sheet && view->CurrentContainer() &&
                                            FindContainer(*sheet, view->CurrentContainer()));
    const CellRange source = view->Selection();
    const uint64_t claims = book_->undo.claims;
    if (cut && copied) DeleteFocused(false);
    // The cells a Cut took move with their readers when its copy is pasted.
    cut_ = {};
    if (cut && copied && cells && book_->undo.claims == claims + 1)
        cut_ = MarkCut(*book_, history, source);
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
    if (!clipboard) return ShowErrorMessage(kErrorClipboard);
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
    if (!mime) return ShowErrorMessage(kErrorClipboard);
    if (!BeginCommand()) return;
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
        result = PasteCodePageText(mime->text().toStdString());
    AfterCommand(result == CommandResult::kNothing ? CommandResult::kDone : result);
}

CommandResult CWorkbookWnd::PasteCodePageText(const std::string& utf8) {
    const std::string text = Utf8ToCp1252(utf8);
    // A character no cell holds is refused with the whole text, never stored as "?".
    if (Cp1252ToUtf8(text) != utf8) {
        ShowErrorMessage(kErrorCodePage);
        return CommandResult::kNothing;
    }
    return PasteText(text);
}

void CWorkbookWnd::OnPasteCopiedData(int item) {
    const int32_t index = CopyHistory().ListedEntry(item);
    if (index < 0) return;
    if (!BeginCommand()) return;
    WaitCursor wait;
    AfterCommand(PasteInternalEntry(index));
}

CommandResult CWorkbookWnd::PasteInternalEntry(int32_t index) {
    CWorksheetView* view = GetActiveView();
    UndoHistory& history = CopyHistory().Entries();
    if (!view || !book_->tree.active || index < 0 || index >= kUndoSpareSlot)
        return CommandResult::kNothing;
    const GridSelection grid = CurrentGridSelection();
    if (history.entries[index].kind == kUndoTreeChain) {
        CTreeItem* first =
            PasteWorksheetCommand(*book_, grid, treeCtl_->SelectedItem(), history, index);
        treeCtl_->Fill();
        return first ? CommandResult::kDone : CommandResult::kFailed;
    }
    if (CutStillPending(*book_, history, index, cut_)) {
        CellRange drop;
        const CommandResult moved = PasteCutCommand(*book_, grid, history, index, cut_, &drop);
        // A refused move changes nothing: the Cut still waits for a Paste elsewhere.
        if (moved == CommandResult::kFailed) return moved;
        if (moved != CommandResult::kNothing) {
            const CellRange source = std::exchange(cut_, PendingCut{}).source;
            view->SetSelection(drop);
            view->UpdateScrollBars(true, true);
            view->RefitRows(source.r1, source.r2);
            view->RefitRows(drop.r1, drop.r2);
            return moved;
        }
    }
    // With Shift only the contents are pasted; the formats stay.
    const bool formats = !(WorkbookKeyState() & Qt::ShiftModifier);
    PastedEntry pasted;
    const CommandResult result = PasteEntryCommand(*book_, grid, history, index, formats, &pasted);
    if (result != CommandResult::kDone) return result;
    if (pasted.container) view->SetCurrentContainer(pasted.container->settings.id);
    view->UpdateScrollBars(true, true);
    view->RefitRows(pasted.range.r1, pasted.range.r2);
    return result;
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
    if (!view || !book_->tree.active) return;
    if (!BeginCommand()) return;
    WaitCursor wait;
    const bool copy = (WorkbookKeyState() & Qt::ControlModifier) != 0;
    const CommandResult result =
        MoveRangeCommand(*book_, CurrentGridSelection(), source, drop, copy);
    if (result != CommandResult::kDone) return AfterCommand(result);
    view->SetSelection(drop);
    view->UpdateScrollBars(true, true);
    if (!copy && (source.r1 != drop.r1 || source.r2 != drop.r2))
        view->RefitRows(source.r1, source.r2);
    view->RefitRows(drop.r1, drop.r2);
    AfterCommand(result);
}

} // namespace vl
