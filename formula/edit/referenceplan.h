#pragma once
// One plan of formula rewrites over the worksheets of a workbook, made before a structural
// edit changes anything, put in once the edit is made and kept with its undo entry. Carried
// out, the entry exchanges the kept texts with those in the cells, so that the same
// exchange serves undo and redo.

#include "formula/edit/formulaadjust.h"
#include "model/container.h"
#include "model/worksheet.h"

#include <cstdint>
#include <vector>

namespace vl {

class CWorkbook;
class CWorksheet;

// A chart series' range formula stands in a plan as a text of this column, whose row holds
// the container id (high 16 bits), the chart's slot (next 8) and the series (low 8).
constexpr uint16_t kSeriesColumn = 0xFFFF;
// Other positions kept outside cells stand in a plan the same way (storedplaces.h): a
// container's anchor (row: its id), the print range, an inspect entry (row: its index), the
// cells of a Cut that waits for its Paste.
constexpr uint16_t kAnchorColumn = 0xFFFE;
constexpr uint16_t kPrintRangeColumn = 0xFFFD;
constexpr uint16_t kInspectColumn = 0xFFFC;
constexpr uint16_t kCutPlaceColumn = 0xFFFB;
constexpr uint16_t kFirstStoredColumn = kCutPlaceColumn;

// Calls visit(place, text) for every series of a chart on the worksheet that holds a range
// formula, the place as a plan's row holds it.
template <class Visit> void ForEachSeries(CWorksheet& ws, Visit&& visit);

// New texts for formula cells (and chart series) of one worksheet.
struct SheetTexts {
    CWorksheet* sheet;
    std::vector<FormulaText> texts;
};
using FormulaPlan = std::vector<SheetTexts>;

// The rewrites of every other worksheet's formulas, and of every chart's ranges, for rows
// (columns) of `edited` inserted or removed; their cells do not move. False when a reference
// would be pushed off the sheet.
bool PlanOtherWorksheets(CEvalContext& ctx, const CWorkbook& workbook, const CWorksheet& edited,
                         uint8_t mode, const RangeDescriptor& range, FormulaPlan& plan);

// Whether every planned text fits its field: a formula its 1,024 characters, in the stored
// form and as the editor shows it; a chart range its field. False sets the workbook's error
// 117; nothing changes.
bool TextsFitFields(CWorkbook& workbook, CEvalContext& ctx, const CWorksheet& ws,
                    const std::vector<FormulaText>& texts);
bool PlanFitsFields(CWorkbook& workbook, CEvalContext& ctx, const FormulaPlan& plan);

// Puts the texts into their cells. All or nothing: false, every cell as it was, when
// memory runs out.
bool ApplyFormulaPlan(CWorkbook& workbook, const FormulaPlan& plan);

// A plan in one heap block, each worksheet named by its position in the tree: u32 count;
// per worksheet i32 position, u32 size and the texts as PackFormulaTexts packs them. Null
// when memory runs out; an empty plan packs to nothing (null, size 0) and is no failure.
BlockPtr PackFormulaPlan(const CWorkbook& workbook, const FormulaPlan& plan, uint32_t& size,
                         bool& failed);
// False for a block that overruns its size or names no worksheet.
bool UnpackFormulaPlan(const CWorkbook& workbook, const uint8_t* block, uint32_t size,
                       FormulaPlan& plan);

// One worksheet's texts made ready: its cells' texts in store order (the plan's own copy
// when it needs sorting or names series), their records and what taking them out puts back.
struct PreparedSheet {
    std::vector<FormulaText> own;
    PreparedTexts cells;
    std::vector<FormulaText> oldSeries;
};

// An exchange of texts with an undo entry made ready, so that an edit can put it in at its
// place and take it out again if a later step fails, with nothing but pages.
struct PreparedExchange {
    FormulaPlan texts;
    BlockPtr block; // the texts they replace, packed; the entry's old block once committed
    uint32_t size = 0;
    std::vector<PreparedSheet> sheets;
    CWorkbook* workbook = nullptr;
    bool committed = false;
};

// The exchange that keeps `plan`'s texts in an entry, or that carries out the entry's kept
// texts (nothing for an entry without). False with the workbook's error (8, 12); nothing
// changes.
bool PrepareKeep(CWorkbook& workbook, const FormulaPlan& plan, PreparedExchange& ex);
bool PrepareKeep(CWorkbook& workbook, FormulaPlan&& plan, PreparedExchange& ex);
bool PrepareExchange(CWorkbook& workbook, const UndoEntry& entry, PreparedExchange& ex);
// Puts the texts in and the replaced ones into the entry (the tree must stand as when the
// entry was recorded); all or nothing, false with error 8. Revert takes a committed
// exchange back.
bool CommitExchange(CWorkbook& workbook, UndoEntry& entry, PreparedExchange& ex);
void RevertExchange(UndoEntry& entry, PreparedExchange& ex);

// Prepare and commit at once: the way undo and redo carry the rewrites of worksheets whose
// cells did not move.
bool KeepFormulaPlan(CWorkbook& workbook, UndoEntry& entry, const FormulaPlan& plan);
bool ExchangeFormulaPlan(CWorkbook& workbook, UndoEntry& entry);

template <class Visit> void ForEachSeries(CWorksheet& ws, Visit&& visit) {
    for (CContainer* c = ws.firstContainer; c; c = c->next)
        for (uint32_t slot = 0; slot < kMaxContainerObjects; ++slot) {
            const CChart* chart = c->slots[slot].chart.get();
            if (c->slots[slot].kind != kObjectChart || !chart) continue;
            for (uint32_t n = 0; n < kChartSeries; ++n) {
                const char* text = chart->series[n].settings.dataArray;
                if (text[0]) visit(uint32_t(c->settings.id) << 16 | slot << 8 | n, text);
            }
        }
}

} // namespace vl
