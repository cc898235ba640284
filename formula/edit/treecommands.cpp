#include "formula/edit/treecommands.h"

#include "formula/edit/otherbooks.h"
#include "formula/edit/qualifierpaths.h"
#include "formula/edit/storedplaces.h"
#include "model/blockobject.h"
#include "model/memoryguard.h"
#include "model/workbook.h"
#include "model/worksheettree.h"
#include "platform/core/cp1252.h"
#include "platform/core/editerrors.h"
#include "platform/core/errorcode.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

namespace vl {

namespace {

bool InSubtree(const CTreeItem* item, CTreeItem* branch) {
    for (CTreeItem *p = branch, *end = SubtreeEnd(branch);; p = p->next) {
        if (p == item) return true;
        if (p == end || !p) return false;
    }
}

// Whether an item outside `item`'s subtree (any item without one) already has `path` (in
// any case, as formulas find it): a rename or move onto it would leave formulas naming
// either one ambiguously.
bool PathTaken(const CWorkbook& workbook, const CTreeItem* item, const std::string& path) {
    const CTreeItem* end = item ? SubtreeEnd(const_cast<CTreeItem*>(item)) : nullptr;
    bool inside = false;
    std::string other;
    for (const CTreeItem* p = workbook.tree.first; p; p = p->next) {
        if (p == item) inside = true;
        if (!inside && BuildTreeItemPath(p, other, false) && other.size() == path.size() &&
            std::equal(other.begin(), other.end(), path.begin(),
                       [](char a, char b) { return CharUpper1252(a) == CharUpper1252(b); }))
            return true;
        if (p == end) inside = false;
    }
    return false;
}

// The name as formulas read it (they drop the blanks at a name's ends); false for one with
// a backslash, which formulas read as a folder's end.
bool NameAsRead(std::string_view& name) {
    while (!name.empty() && name.front() == ' ') name.remove_prefix(1);
    while (!name.empty() && name.back() == ' ') name.remove_suffix(1);
    return name.find('\\') == std::string_view::npos;
}

// The path an item named `name` gets when InsertTreeItem links it at `target`; false when it
// would reach 256 characters.
bool InsertedPath(const CTreeItem* target, std::string_view name, std::string& out) {
    out = "\\";
    if (target && !BuildTreeItemPath(target, out, !target->IsFolder())) return false;
    if (target && target->IsFolder()) out += '\\';
    out.append(name);
    return out.size() < kMaxTreePath;
}

// The length of `item`'s whole path, however long.
size_t FullPathLength(const CTreeItem& item) {
    size_t length = 1 + std::strlen(item.name);
    uint16_t level = item.level;
    for (const CTreeItem* p = item.prev; p && level >= 2; p = p->prev) {
        if (!p->IsFolder() || p->level >= level) continue;
        length += 1 + std::strlen(p->name);
        level = p->level;
    }
    return length;
}

// Whether giving `change.item` its new path would make its own path or one inside it too
// long to be written (formulas, addresses and inspect entries name items by path). A change
// that lengthens nothing is let through, so that a long path read from a file can still be
// shortened.
bool PathTooLong(const TreePathChange& change) {
    const CTreeItem& item = *change.item;
    const size_t now = FullPathLength(item);
    if (change.newPath.size() <= now) return false;
    const size_t growth = change.newPath.size() - now;
    CTreeItem* start = const_cast<CTreeItem*>(&item);
    for (const CTreeItem *p = start, *end = SubtreeEnd(start);; p = p->next) {
        if (FullPathLength(*p) + growth >= kMaxTreePath) return true;
        if (p == end) return false;
    }
}

// Takes a chain put in back out of the tree and frees it.
void TakeBack(CWorkbook& workbook, CTreeItem* head) {
    ErrorCode error = kErrorNone;
    DetachTreeItem(workbook.tree, head, error);
    FreeTreeItemList(head);
}

// Puts the planned texts of worksheets inside `original` into the same worksheets of its
// copy `chain` (the same order); the other worksheets' texts go to `outside`. False when
// memory runs out.
bool SplitForCopy(CWorkbook& workbook, const FormulaPlan& plan, CTreeItem* original,
                  CTreeItem* chain, FormulaPlan& outside) {
    FormulaPlan inside;
    for (const SheetTexts& s : plan) {
        if (!InSubtree(s.sheet, original)) {
            outside.push_back(s);
            continue;
        }
        CTreeItem* o = original;
        CTreeItem* c = chain;
        while (o != s.sheet) o = o->next, c = c->next;
        inside.push_back({AsWorksheet(c), s.texts});
    }
    return ApplyFormulaPlan(workbook, inside);
}

// Formulas of other open workbooks that name a changed item through this workbook's file.
bool PlanOtherBooks(CWorkbook& workbook, const CTreeItem& item, std::string_view name,
                    const CTreeItem* target, bool move, std::vector<OtherBookPlan>& plans) {
    return GuardWorksheetMemory(workbook, [&] {
        const TreePathChange change =
            move ? MovePathChange(item, target) : RenamePathChange(item, name);
        const auto rewrite = [&](CEvalContext& c, std::string_view text, uint16_t column,
                                 uint32_t row, const CWorksheet& own, std::string& out) {
            RewriteQualifierPaths(c, text, column, row, own, change, out);
            return true;
        };
        return PlanOtherWorkbooks(workbook, rewrite, kErrorWorksheetMemory, plans);
    });
}

CommandResult Finish(CWorkbook& workbook, TreeEditor editor) {
    return editor == TreeEditor::kWindow ? FinishCommand(workbook, true) : CommandResult::kDone;
}

} // namespace

CommandResult RenameTreeItemCommand(CWorkbook& workbook, const GridSelection& selection,
                                    CTreeItem& item, std::string_view name, TreeEditor editor) {
    const bool window = editor == TreeEditor::kWindow;
    name = name.substr(0, std::min(name.size(), size_t(kTreeNameSize) - 1));
    if (!NameAsRead(name)) return workbook.error = kErrorNameBackslash, CommandResult::kFailed;
    if ((name.empty() && window) || name == item.name) return CommandResult::kNothing;
    // Formulas that name the item by its path follow it, planned before anything changes.
    FormulaPlan plan;
    CEvalContext* ctx = EditContext(workbook);
    if (!ctx ||
        !GuardWorksheetMemory(workbook,
                              [&] {
                                  const TreePathChange change = RenamePathChange(item, name);
                                  if (PathTaken(workbook, &item, change.newPath))
                                      return Fail(workbook, kErrorDuplicatePath);
                                  if (PathTooLong(change)) return Fail(workbook, kErrorPathTooLong);
                                  PlanTreePathChange(*ctx, workbook, change, plan);
                                  PlanInspectPaths(workbook, item, change.newPath, plan);
                                  return true;
                              }) ||
        !PlanFitsFields(workbook, *ctx, plan))
        return CommandResult::kFailed;
    std::vector<OtherBookPlan> otherBooks;
    if (!PlanOtherBooks(workbook, item, name, nullptr, false, otherBooks))
        return CommandResult::kFailed;
    const CellRange& sel = selection.range;
    if (window && !workbook.RecordUndoRename(sel, sel.c1, sel.r1, &item)) {
        const ErrorCode error = workbook.error;
        workbook.DiscardLastUndo(true);
        workbook.error = error;
        return CommandResult::kFailed;
    }
    const bool kept =
        window
            ? KeepFormulaPlan(workbook, workbook.undo.entries[workbook.undo.current], plan)
            : GuardWorksheetMemory(workbook, [&] {
                  return ApplyFormulaPlan(workbook, plan) || Fail(workbook, kErrorWorksheetMemory);
              });
    if (!kept) {
        const ErrorCode error = workbook.error;
        if (window) workbook.DiscardLastUndo(true);
        workbook.error = error;
        return CommandResult::kFailed;
    }
    item.SetName(std::string(name).c_str());
    if (!ApplyOtherWorkbooks(otherBooks,
                             window ? &workbook.undo.entries[workbook.undo.current] : nullptr)) {
        workbook.error = kErrorWorksheetMemory;
        return window ? FinishCommand(workbook, false) : CommandResult::kFailed;
    }
    return Finish(workbook, editor);
}

CommandResult NewTreeItemCommand(CWorkbook& workbook, const GridSelection& selection, bool folder,
                                 const char* name, CTreeItem* target, CTreeItem** added) {
    if (target && target->IsWorksheet()) {
        CTreeItem* p = target->prev;
        while (p && !(p->IsFolder() && p->level < target->level)) p = p->prev;
        target = p;
    }
    return InsertTreeItemCommand(workbook, selection, folder, name, target, added);
}

CommandResult InsertTreeItemCommand(CWorkbook& workbook, const GridSelection& selection,
                                    bool folder, const char* name, CTreeItem* target,
                                    CTreeItem** added, TreeEditor editor) {
    std::string_view read(name);
    read = read.substr(0, std::min(read.size(), size_t(kTreeNameSize) - 1));
    if (!NameAsRead(read)) return workbook.error = kErrorNameBackslash, CommandResult::kFailed;
    const std::string own(read);
    std::string path;
    if (!InsertedPath(target, own, path))
        return workbook.error = kErrorPathTooLong, CommandResult::kFailed;
    if (PathTaken(workbook, nullptr, path))
        return workbook.error = kErrorDuplicatePath, CommandResult::kFailed;
    std::unique_ptr<CTreeItem> item;
    if (folder)
        item = NewBlockObject<CTreeItem>(own.c_str(), 1, TREE_TYPE_FOLDER, 0);
    else
        item = NewBlockObject<CWorksheet>(own.c_str(), 1);
    if (!item) return workbook.error = kErrorWorksheetMemory, CommandResult::kFailed;
    CTreeItem* raw = item.release();
    InsertTreeItem(workbook.tree, raw, target);
    const CellRange& sel = selection.range;
    if (editor == TreeEditor::kWindow)
        workbook.RecordUndoTreeChange(sel, sel.c1, sel.r1,
                                      GetTreeItemIndex(raw, workbook.tree.first));
    if (added) *added = raw;
    return Finish(workbook, editor);
}

CommandResult RemoveTreeItemCommand(CWorkbook& workbook, const GridSelection& selection,
                                    CTreeItem& item, TreeEditor editor) {
    if (editor == TreeEditor::kAutomation) {
        if (!DetachTreeItem(workbook.tree, &item, workbook.error)) return CommandResult::kFailed;
        FreeTreeItemList(&item);
        return CommandResult::kDone;
    }
    const CellRange& sel = selection.range;
    if (workbook.RecordUndoTreeRemove(sel, sel.c1, sel.r1, &item))
        return FinishCommand(workbook, true);
    const ErrorCode error = workbook.error;
    workbook.DiscardLastUndo(false);
    workbook.error = error;
    return CommandResult::kFailed;
}

CommandResult MoveTreeItemCommand(CWorkbook& workbook, const GridSelection& selection,
                                  CTreeItem& dragged, CTreeItem* target, CTreeItem** moved) {
    if (target && InSubtree(target, &dragged)) return CommandResult::kNothing;
    // Formulas that name a moved item, and those on moved worksheets, follow the move: the
    // copy gets its new texts before it goes in, the other worksheets theirs once it is in.
    FormulaPlan plan;
    CEvalContext* ctx = EditContext(workbook);
    if (!ctx ||
        !GuardWorksheetMemory(workbook,
                              [&] {
                                  const TreePathChange change = MovePathChange(dragged, target);
                                  if (PathTaken(workbook, &dragged, change.newPath))
                                      return Fail(workbook, kErrorDuplicatePath);
                                  if (PathTooLong(change)) return Fail(workbook, kErrorPathTooLong);
                                  PlanTreePathChange(*ctx, workbook, change, plan);
                                  PlanInspectPaths(workbook, dragged, change.newPath, plan);
                                  return true;
                              }) ||
        !PlanFitsFields(workbook, *ctx, plan))
        return CommandResult::kFailed;
    std::vector<OtherBookPlan> otherBooks;
    if (!PlanOtherBooks(workbook, dragged, {}, target, true, otherBooks))
        return CommandResult::kFailed;
    TreeChain copy(CWorksheet::Clone(workbook, &dragged));
    if (!copy) return CommandResult::kFailed;
    FormulaPlan outside;
    if (!GuardWorksheetMemory(workbook, [&] {
            return SplitForCopy(workbook, plan, &dragged, copy.get(), outside) ||
                   Fail(workbook, kErrorWorksheetMemory);
        }))
        return CommandResult::kFailed;
    CTreeItem* head = copy.release();
    InsertTreeItem(workbook.tree, head, target);
    const CellRange& sel = selection.range;
    workbook.RecordUndoTreeChange(sel, sel.c1, sel.r1, GetTreeItemIndex(head, workbook.tree.first));
    // Kept while both the copy and the original are in the tree, where undo and redo of the
    // removal exchange them.
    UndoEntry texts;
    PreparedExchange ex;
    const bool kept = PrepareKeep(workbook, outside, ex) && CommitExchange(workbook, texts, ex);
    // The copy's insertion and the original's removal are one edit for Undo and Redo.
    workbook.undo.joinNext = kept;
    const bool recorded = kept && workbook.RecordUndoTreeRemove(sel, sel.c1, sel.r1, &dragged);
    workbook.undo.joinNext = false;
    if (!recorded) {
        // The copy goes again, so that a refused move leaves no second item behind.
        const ErrorCode error = workbook.error;
        if (kept) {
            workbook.DiscardLastUndo(false);
            RevertExchange(texts, ex);
        }
        workbook.DiscardLastUndo(true);
        TakeBack(workbook, head);
        workbook.error = error;
        return CommandResult::kFailed;
    }
    UndoEntry& removal = workbook.undo.entries[workbook.undo.current];
    removal.formulaTexts = std::move(texts.formulaTexts);
    removal.formulaTextsSize = texts.formulaTextsSize;
    if (moved) *moved = head;
    if (!ApplyOtherWorkbooks(otherBooks, &removal)) {
        workbook.error = kErrorWorksheetMemory;
        return FinishCommand(workbook, false);
    }
    return FinishCommand(workbook, true);
}

} // namespace vl
