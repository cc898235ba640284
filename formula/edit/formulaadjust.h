#pragma once
// Rewriting the references of formulas after rows or columns were inserted or removed, so
// that each still reaches the cell it reached before. Formula text keeps relative references
// as distances from its own cell (R[-2], C[3]), which move with the cell, and absolute ones
// as indexes (R17); what must change are the distances that now cross the inserted or
// removed span and the indexes at or past it, on the edited worksheet and on every other
// worksheet that names it.

#include "formula/evalcontext.h"
#include "model/cellmerge.h"
#include "model/rangedescriptor.h"
#include "model/undoentry.h"

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

// A formula text and the cell it belongs to.
struct FormulaText {
    uint16_t column;
    uint32_t row;
    std::string text;
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

// Puts formula texts into their cells, each record keeping its head and cached result; all or
// nothing (false when a record could not be had). A later text for the same cell wins.
bool ReplaceFormulaTexts(CCellStore& store, const std::vector<FormulaText>& texts);

// Texts made ready to go into a store: the records of changed length built aside, so that
// putting them in takes nothing but the store's own pages. `texts` (in store order, one per
// cell) must outlive it.
struct PreparedTexts {
    const std::vector<FormulaText>* texts = nullptr;
    std::vector<uint8_t> staging;
    std::vector<PlacedCell> cells;
    std::vector<const uint8_t*> records;
    // For RevertFormulaTexts: the replaced records of changed length, the replaced texts.
    std::vector<uint8_t> oldRecords;
    std::vector<PlacedCell> oldCells;
    std::vector<char> oldTexts;
};
// May throw std::bad_alloc; false when a record cannot be built. Changes nothing.
bool PrepareFormulaTexts(const CCellStore& store, const std::vector<FormulaText>& texts,
                         PreparedTexts& out);
// All or nothing: false, the store as it was, when its pages run out.
bool CommitFormulaTexts(CCellStore& store, PreparedTexts& prepared);
// Takes committed texts out again, putting back the records they replaced; needs nothing
// but the pages the commit gave back.
bool RevertFormulaTexts(CCellStore& store, PreparedTexts& prepared);

// The formula record of each text's cell (null when the cell holds none), for texts in
// store order (by row, then column), found in one walk.
void FindFormulaRecords(const CCellStore& store, const std::vector<FormulaText>& texts,
                        std::vector<const uint8_t*>& records);

// Formula texts in one heap block (u32 count; per text u16 column, u32 row, u16 length and
// the text), as an undo entry keeps them; null when it cannot be had. Unpacking reads
// within the size and gives false for a block that overruns it.
BlockPtr PackFormulaTexts(const std::vector<FormulaText>& texts, uint32_t& size);
bool UnpackFormulaTexts(const uint8_t* block, uint32_t size, std::vector<FormulaText>& texts);

// The references of the latest formula text read, kept so that the next cell holding the
// same text (a column of copies) is rewritten without reading it again.
struct ReferenceMemo {
    std::string text;
    const CCellStore* own = nullptr;
    const CCellStore* edited = nullptr;
    std::vector<uint32_t> pieces; // per reference: start, end, what it reads
    bool valid = false;
};

// The rewrite of one formula text (internal form) of the cell at (column, row), as it
// stands after the edit, for rows or columns of the worksheet whose store is `edited`: every
// reference part, relative or absolute, keeps reaching the cell it reached, wherever the
// edit took that cell and the formula. `own` is the store of the formula's worksheet (its
// cell moved when it is the edited one, unless `cellMoves` is clear: a chart's range
// formula stands nowhere; null `edited` says it is); references that no rule follows (a
// folder range, another workbook, a name that finds nothing) stay as written.
// False when a reference would be pushed off the sheet; `out` is the text with the changes,
// equal to `text` when none applies. `reachedSpan`, when given, is set when a reference
// reached into a removed span.
bool AdjustFormulaText(CEvalContext& ctx, std::string_view text, uint16_t column, uint32_t row,
                       uint8_t mode, const RangeDescriptor& range, std::string& out,
                       bool* reachedSpan = nullptr, const CCellStore* own = nullptr,
                       const CCellStore* edited = nullptr, bool cellMoves = true,
                       ReferenceMemo* memo = nullptr);

} // namespace vl
