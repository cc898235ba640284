#include "formula/edit/referenceplan.h"

#include "model/container.h"
#include "model/memoryguard.h"
#include "model/workbook.h"
#include "model/worksheettree.h"
#include "platform/core/bytes.h"

#include <algorithm>
#include <cstring>
#include <string_view>

namespace vl {

namespace {

char* SeriesText(CWorksheet& ws, uint32_t place) {
    CContainer* c = FindContainer(ws, uint16_t(place >> 16));
    const uint32_t slot = (place >> 8) & 0xFF, series = place & 0xFF;
    if (!c || slot >= kMaxContainerObjects || series >= kChartSeries || !c->slots[slot].chart)
        return nullptr;
    return c->slots[slot].chart->series[series].settings.dataArray;
}

// The texts now in the cells and series the plan names.
void TextsNow(const SheetTexts& planned, SheetTexts& now) {
    now.sheet = planned.sheet;
    std::vector<FormulaText> cells;
    for (const FormulaText& t : planned.texts) {
        if (t.column != kSeriesColumn) {
            cells.push_back({t.column, t.row, {}});
        } else if (const char* text = SeriesText(*planned.sheet, t.row)) {
            now.texts.push_back({t.column, t.row, text});
        }
    }
    const auto before = [](const FormulaText& a, const FormulaText& b) {
        return cell::Before(a.row, a.column, b.row, b.column);
    };
    if (!std::is_sorted(cells.begin(), cells.end(), before))
        std::sort(cells.begin(), cells.end(), before);
    std::vector<const uint8_t*> records;
    FindFormulaRecords(planned.sheet->cells, cells, records);
    for (size_t i = 0; i < cells.size(); ++i)
        if (records[i])
            now.texts.push_back(
                {cells[i].column, cells[i].row, std::string(cell::Formula(records[i]))});
}

// Puts one worksheet's texts in: the cells' all or nothing, then the series', which cannot
// fail.
bool ApplySheetTexts(const SheetTexts& s) {
    const auto series = [](const FormulaText& t) { return t.column == kSeriesColumn; };
    if (std::none_of(s.texts.begin(), s.texts.end(), series))
        return ReplaceFormulaTexts(s.sheet->cells, s.texts);
    std::vector<FormulaText> cells;
    for (const FormulaText& t : s.texts)
        if (!series(t)) cells.push_back(t);
    if (!ReplaceFormulaTexts(s.sheet->cells, cells)) return false;
    for (const FormulaText& t : s.texts) {
        char* text = t.column == kSeriesColumn ? SeriesText(*s.sheet, t.row) : nullptr;
        if (text && t.text.size() < kDataArraySize)
            std::memcpy(text, t.text.c_str(), t.text.size() + 1);
    }
    return true;
}

} // namespace

bool PlanOtherWorksheets(CEvalContext& ctx, const CWorkbook& workbook, const CWorksheet& edited,
                         uint8_t mode, const RangeDescriptor& range, FormulaPlan& plan) {
    std::string text;
    ReferenceMemo memo;
    bool planned = true;
    ctx.qualifiers.Begin();
    for (CTreeItem* item = workbook.tree.first; item && planned; item = item->next) {
        CWorksheet* ws = AsWorksheet(item);
        if (!ws) continue;
        SheetTexts sheet{ws, {}};
        CellCursor cursor{kAdvance, ws->cells.FirstPage(), 0};
        while (const uint8_t* r = ws == &edited ? nullptr : NextCellRecord(cursor)) {
            if (!cell::IsFormula(r)) continue;
            const std::string_view formula = cell::Formula(r);
            // Only a qualifier can name the edited worksheet.
            if (formula.find('!') == std::string_view::npos) continue;
            if (!AdjustFormulaText(ctx, formula, cell::Column(r), cell::Row(r), mode, range, text,
                                   nullptr, &ws->cells, &edited.cells, true, &memo)) {
                planned = false;
                break;
            }
            if (text != formula) sheet.texts.push_back({cell::Column(r), cell::Row(r), text});
        }
        // A chart reads its ranges from no cell of its own.
        ForEachSeries(*ws, [&](uint32_t place, std::string_view formula) {
            if (!planned) return;
            planned = AdjustFormulaText(ctx, formula, 0, 0, mode, range, text, nullptr, &ws->cells,
                                        &edited.cells, false);
            if (planned && text != formula) sheet.texts.push_back({kSeriesColumn, place, text});
        });
        if (!sheet.texts.empty()) plan.push_back(std::move(sheet));
    }
    ctx.qualifiers.End();
    return planned;
}

bool ApplyFormulaPlan(const FormulaPlan& plan, FormulaPlan* replaced) {
    FormulaPlan before;
    try {
        for (const SheetTexts& s : plan) {
            before.push_back({});
            TextsNow(s, before.back());
        }
    } catch (const std::bad_alloc&) {
        return false;
    }
    for (size_t i = 0; i < plan.size(); ++i) {
        if (ApplySheetTexts(plan[i])) continue;
        // The worksheets done get their texts back: each takes the room its new texts took.
        while (i-- > 0) ApplySheetTexts(before[i]);
        return false;
    }
    if (replaced) *replaced = std::move(before);
    return true;
}

BlockPtr PackFormulaPlan(const CWorkbook& workbook, const FormulaPlan& plan, uint32_t& size,
                         bool& failed) {
    failed = false;
    size = 0;
    if (plan.empty()) return nullptr;
    std::vector<BlockPtr> parts;
    std::vector<uint32_t> sizes;
    uint32_t total = 4;
    for (const SheetTexts& s : plan) {
        uint32_t part = 0;
        parts.push_back(PackFormulaTexts(s.texts, part));
        if (!parts.back()) return failed = true, nullptr;
        sizes.push_back(part);
        total += 8 + part;
    }
    BlockPtr block(static_cast<uint8_t*>(AllocBlock(total)));
    if (!block) return failed = true, nullptr;
    uint8_t* p = block.get();
    StoreU32(p, uint32_t(plan.size()));
    p += 4;
    for (size_t i = 0; i < plan.size(); ++i) {
        StoreU32(p, uint32_t(GetTreeItemIndex(plan[i].sheet, workbook.tree.first)));
        StoreU32(p + 4, sizes[i]);
        std::memcpy(p + 8, parts[i].get(), sizes[i]);
        p += 8 + sizes[i];
    }
    size = total;
    return block;
}

bool UnpackFormulaPlan(const CWorkbook& workbook, const uint8_t* block, uint32_t size,
                       FormulaPlan& plan) {
    if (!block || size < 4) return false;
    const uint8_t* p = block + 4;
    const uint8_t* end = block + size;
    for (uint32_t n = LoadU32(block); n > 0; --n) {
        if (end - p < 8 || uint64_t(end - p) < 8u + LoadU32(p + 4)) return false;
        const int32_t position = int32_t(LoadU32(p));
        CWorksheet* ws =
            position < 0 ? nullptr : AsWorksheet(GetTreeItemAt(position, workbook.tree.first));
        if (!ws) return false;
        plan.push_back({ws, {}});
        if (!UnpackFormulaTexts(p + 8, LoadU32(p + 4), plan.back().texts)) return false;
        p += 8 + LoadU32(p + 4);
    }
    return true;
}

bool KeepFormulaPlan(CWorkbook& workbook, UndoEntry& entry, const FormulaPlan& plan) {
    return GuardWorksheetMemory(workbook, [&] {
        FormulaPlan replaced;
        if (!ApplyFormulaPlan(plan, &replaced)) return Fail(workbook, kErrorWorksheetMemory);
        bool failed = false;
        uint32_t size = 0;
        BlockPtr block = PackFormulaPlan(workbook, replaced, size, failed);
        if (failed) {
            ApplyFormulaPlan(replaced);
            return Fail(workbook, kErrorWorksheetMemory);
        }
        entry.formulaTexts = std::move(block);
        entry.formulaTextsSize = size;
        return true;
    });
}

bool ExchangeFormulaPlan(CWorkbook& workbook, UndoEntry& entry) {
    if (!entry.formulaTexts) return true;
    return GuardWorksheetMemory(workbook, [&] {
        FormulaPlan kept;
        if (!UnpackFormulaPlan(workbook, entry.formulaTexts.get(), entry.formulaTextsSize, kept))
            return Fail(workbook, kErrorInvalidCacheIndex);
        return KeepFormulaPlan(workbook, entry, kept);
    });
}

} // namespace vl
