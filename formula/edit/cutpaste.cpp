#include "formula/edit/cutpaste.h"

#include "formula/edit/deletecommand.h"
#include "formula/edit/moveadjust.h"
#include "formula/edit/rangecommands.h"
#include "formula/edit/transposerefs.h"
#include "model/memoryguard.h"
#include "model/undosnapshot.h"
#include "model/workbook.h"
#include "model/worksheettree.h"
#include "platform/core/editerrors.h"
#include "platform/core/errorcode.h"

namespace vl {

namespace {

bool InTree(const CWorkbook& workbook, const CTreeItem* item) {
    for (const CTreeItem* p = workbook.tree.first; p; p = p->next)
        if (p == item) return true;
    return false;
}

// The block comes from the copy: the drop's old cells are kept for Undo, the copy goes in,
// and every reference to the cut cells, on every worksheet and in the stored places, follows.
CommandResult PasteAsMove(CWorkbook& workbook, const GridSelection& selection, UndoHistory& copies,
                          int32_t index, CWorksheet& from, const CellRange& source,
                          const CellRange& to) {
    CWorksheet* sheet = workbook.tree.active;
    CEvalContext* ctx = EditContext(workbook);
    if (!ctx) return CommandResult::kFailed;
    if (TurnCutsArray(sheet->cells, to, to))
        return workbook.error = kErrorArrayCut, CommandResult::kFailed;
    BlockMove move{source, int32_t(to.c1) - source.c1, int64_t(to.r1) - source.r1};
    move.pasted = true;
    if (sheet != &from) {
        move.into = sheet;
        move.intoQualifier = QualifierFor(*ctx, *sheet);
        move.fromQualifier = QualifierFor(*ctx, from);
        if (move.intoQualifier.empty() || move.fromQualifier.empty())
            return workbook.error = kErrorWorksheetMemory, CommandResult::kFailed;
    }
    FormulaPlan outside;
    std::vector<FormulaText> unused;
    if (!GuardWorksheetMemory(workbook,
                              [&] {
                                  PlanBlockMove(*ctx, workbook, from, move, unused, outside);
                                  return true;
                              }) ||
        !PlanFitsFields(workbook, *ctx, outside))
        return CommandResult::kFailed;
    if (!workbook.RecordUndoRange(to, selection.cursorColumn, selection.cursorRow, true, true)) {
        workbook.DiscardLastUndo(true);
        workbook.error = kErrorWorksheetMemory;
        return CommandResult::kFailed;
    }
    PreparedExchange ex;
    UndoEntry& entry = workbook.undo.entries[workbook.undo.current];
    if (!PrepareKeep(workbook, std::move(outside), ex) || !CommitExchange(workbook, entry, ex)) {
        workbook.DiscardLastUndo(true);
        return CommandResult::kFailed;
    }
    bool ok = PasteRangeFromEntry(workbook, *sheet, to, copies, index, true, true);
    std::vector<FormulaText> inside;
    ok = ok && GuardWorksheetMemory(workbook, [&] {
             PlanPastedFormulas(*ctx, from, move, inside);
             return true;
         });
    ok = ok && TextsFitFields(workbook, *ctx, *sheet, inside);
    if (ok && !ReplaceFormulaTexts(sheet->cells, inside)) {
        workbook.error = kErrorWorksheetMemory;
        ok = false;
    }
    if (!ok) {
        // The drop's cells and the readers go back as they were, and the Paste keeps no step.
        const ErrorCode error = workbook.error;
        if (ExecuteUndoRedo(workbook, uint16_t(workbook.undo.current)))
            workbook.DiscardLastUndo(true);
        workbook.error = error;
    }
    return FinishCommand(workbook, ok);
}

// Right after the Cut the cells go back where it took them, the Delete leaves no step of its
// own, and the block moves as a drag moves it: one Undo takes it all back. A refused move
// takes the cells again with a Delete of the same selection, so that the Cut still waits.
CommandResult PasteRightAfterCut(CWorkbook& workbook, const GridSelection& selection,
                                 UndoHistory& copies, PendingCut& cut, const CellRange& to) {
    const UndoEntry& entry = workbook.undo.entries[cut.undoIndex];
    const GridSelection taken{entry.selection, entry.cursorColumn, entry.cursorRow};
    if (!ExecuteUndoRedo(workbook, uint16_t(cut.undoIndex))) return FinishCommand(workbook, false);
    workbook.DiscardLastUndo(true);
    const CommandResult moved = MoveRangeCommand(workbook, selection, cut.source, to, false);
    if (moved != CommandResult::kFailed) return moved;
    const ErrorCode error = workbook.error;
    const CellRange source = cut.source;
    if (DeleteRangeCommand(workbook, taken, false) == CommandResult::kDone)
        cut = MarkCut(workbook, copies, source);
    workbook.error = error;
    return moved;
}

} // namespace

PendingCut MarkCut(CWorkbook& workbook, const UndoHistory& copies, const CellRange& source) {
    UndoHistory& undo = workbook.undo;
    const uint64_t serial =
        undo.current >= 0 && undo.current < kUndoSpareSlot ? undo.entries[undo.current].serial : 0;
    undo.watched = serial;
    undo.watchedUndone = false;
    workbook.cutPlace = {workbook.tree.active, source, true};
    return {&workbook,     workbook.tree.active, source,      copies.current,
            copies.claims, undo.current,         undo.claims, serial};
}

bool CutStillPending(const CWorkbook& workbook, const UndoHistory& copies, int32_t index,
                     const PendingCut& cut) {
    return cut.workbook == &workbook && cut.worksheet && InTree(workbook, cut.worksheet) &&
           index == cut.copyIndex && copies.current == cut.copyIndex &&
           copies.claims == cut.copyClaims && UndoEntryInForce(workbook.undo, cut.serial);
}

CommandResult PasteCutCommand(CWorkbook& workbook, const GridSelection& selection,
                              UndoHistory& copies, int32_t index, PendingCut& cut,
                              CellRange* drop) {
    if (!CutStillPending(workbook, copies, index, cut) || !workbook.tree.active)
        return CommandResult::kNothing;
    // The cells stand where the rows and columns inserted and removed since have moved them;
    // an edit that took or split them ended the Cut.
    const auto& place = workbook.cutPlace;
    if (place.sheet != cut.worksheet || !place.waiting) return CommandResult::kNothing;
    const CellRange s = place.range;
    const uint64_t c2 = uint64_t(selection.range.c1) + (s.c2 - s.c1);
    const uint64_t r2 = uint64_t(selection.range.r1) + (s.r2 - s.r1);
    if (c2 > kLastColumn || r2 > kLastRow) return CommandResult::kNothing;
    const CellRange to{selection.range.c1, selection.range.r1, uint16_t(c2), uint32_t(r2)};
    if (drop) *drop = to;
    CWorksheet* from = AsWorksheet(const_cast<CTreeItem*>(cut.worksheet));
    if (!from) return CommandResult::kNothing;
    cut.source = s;
    const bool untouched = workbook.undo.current == cut.undoIndex &&
                           workbook.undo.claims == cut.undoClaims && from == workbook.tree.active;
    CommandResult result = CommandResult::kNothing;
    if (!untouched) {
        result = PasteAsMove(workbook, selection, copies, index, *from, s, to);
    } else {
        result = PasteRightAfterCut(workbook, selection, copies, cut, to);
    }
    if (result == CommandResult::kDone) workbook.cutPlace = {};
    return result;
}

} // namespace vl
