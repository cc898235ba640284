#pragma once
// Rewriting the references of formulas after rows or columns were inserted or removed, so
// that each still reaches the cell it reached before (or reads #REF! when that cell went).
// Formula text keeps relative references
// as distances from its own cell (R[-2], C[3]), which move with the cell, and absolute ones
// as indexes (R17); what must change are the distances that now cross the inserted or
// removed span and the indexes at or past it, on the edited worksheet and on every other
// worksheet that names it.

#include "formula/edit/formulatexts.h"
#include "formula/evalcontext.h"
#include "model/rangedescriptor.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vl {

enum AdjustMode : uint8_t {
    kAdjustRowsInserted = 1,
    kAdjustRowsRemoved = 2,
    kAdjustColumnsInserted = 3,
    kAdjustColumnsRemoved = 4,
};

// Rewrites every formula of the store for rows (columns) of `range` inserted or removed;
// the store already holds the cells where the edit put them. References qualified with
// another worksheet keep reaching their cells there. False, changing no
// formula, when a rewrite would take a reference off the sheet or a record could not be
// had. A removal cannot be rewritten back for a formula that reached into the removed
// span; with `lost` given, such formulas come back with the texts they had and the cells
// they stood in before the removal, to be put back when the span is inserted again.
bool AdjustFormulasAfterEdit(CEvalContext& ctx, CCellStore& store, uint8_t mode,
                             const RangeDescriptor& range,
                             std::vector<FormulaText>* lost = nullptr);

// The same rewrite planned before the edit: the new texts of the store's formulas at the
// cells where the edit will put them (formulas of a removed span leave out), to be written
// with ReplaceFormulaTexts once the edit is made. With the plan made first, an edit can be
// refused, or run out of memory, before anything changes.
bool PlanFormulasAfterEdit(CEvalContext& ctx, const CCellStore& store, uint8_t mode,
                           const RangeDescriptor& range, std::vector<FormulaText>& texts,
                           std::vector<FormulaText>* lost = nullptr);

// One reference of a formula text: where it stands, where its qualifier starts (its start
// when it has none), what it reads and whether it is one end of a range ("R1C1:R5C1").
struct ReferencePiece {
    uint32_t start, end, qualified;
    uint8_t target;
    uint8_t role; // 0 alone, 1 a range's first end, 2 its second
};

// The references of the latest formula text read, kept so that the next cell holding the
// same text (a column of copies) is rewritten without reading it again.
struct ReferenceMemo {
    std::string text;
    const CCellStore* own = nullptr;
    const CCellStore* edited = nullptr;
    std::vector<ReferencePiece> pieces;
    bool valid = false;
};

// Where each reference of a formula text (internal form) stands, with its qualifier, what it
// reads (0 the worksheet whose store is `edited`, 1 another worksheet, 2 nothing a rule
// follows) and whether it ends a range, into `memo`. Unqualified references read `edited`
// when `onEdited`. The caller brackets the reads with the context's qualifier cache.
void ReadReferences(CEvalContext& ctx, std::string_view text, const CCellStore* own,
                    const CCellStore* edited, bool onEdited, ReferenceMemo& memo);

// The rewrite of one formula text (internal form) of the cell at (column, row), as it
// stands after the edit, for rows or columns of the worksheet whose store is `edited`: every
// reference part, relative or absolute, keeps reaching the cell it reached, wherever the
// edit took that cell and the formula. `own` is the store of the formula's worksheet (its
// cell moved when it is the edited one, unless `cellMoves` is clear: a chart's range
// formula stands nowhere; null `edited` says it is); references that no rule follows (a
// folder range, another workbook, a name that finds nothing) stay as written.
// A reference whose cell is removed becomes #REF!, a range that loses some of its cells keeps
// the survivors (all lost, #REF!), and a range's end at the last row (column) stays there.
// False when a reference would be pushed off the sheet; `out` is the text with the changes,
// equal to `text` when none applies. `reachedSpan`, when given, is set when a reference
// reached into a removed span.
bool AdjustFormulaText(CEvalContext& ctx, std::string_view text, uint16_t column, uint32_t row,
                       uint8_t mode, const RangeDescriptor& range, std::string& out,
                       bool* reachedSpan = nullptr, const CCellStore* own = nullptr,
                       const CCellStore* edited = nullptr, bool cellMoves = true,
                       ReferenceMemo* memo = nullptr);

} // namespace vl
