#include "formula/edit/referenceplan.h"

#include "formula/edit/storedplaces.h"
#include "formula/edit/undoexec.h"
#include "formula/externalref.h"
#include "formula/translate.h"
#include "model/chart.h"
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

void PrepareSheet(CWorkbook& workbook, const SheetTexts& s, PreparedSheet& out) {
    const auto series = [](const FormulaText& t) { return IsStoredPlace(t); };
    const auto before = [](const FormulaText& a, const FormulaText& b) {
        return cell::Before(a.row, a.column, b.row, b.column);
    };
    const std::vector<FormulaText>* texts = &s.texts;
    const bool ordered = std::adjacent_find(s.texts.begin(), s.texts.end(), [&](auto& a, auto& b) {
                             return !before(a, b);
                         }) == s.texts.end();
    if (!ordered || std::any_of(s.texts.begin(), s.texts.end(), series)) {
        for (const FormulaText& t : s.texts)
            if (!series(t)) out.own.push_back(t);
        std::stable_sort(out.own.begin(), out.own.end(), before);
        // Of several texts for one cell the last given stays.
        std::vector<FormulaText> unique;
        for (FormulaText& t : out.own) {
            if (!unique.empty() && unique.back().row == t.row && unique.back().column == t.column)
                unique.back() = std::move(t);
            else
                unique.push_back(std::move(t));
        }
        out.own = std::move(unique);
        texts = &out.own;
    }
    if (!PrepareFormulaTexts(s.sheet->cells, *texts, out.cells)) throw std::bad_alloc();
    std::string text;
    for (const FormulaText& t : s.texts)
        if (series(t) && ReadStoredPlace(workbook, *s.sheet, t, text))
            out.oldSeries.push_back({t.column, t.row, text});
}

// The series' texts and the other places kept outside cells; this cannot fail.
void CommitSeries(CWorkbook& workbook, const SheetTexts& s) {
    for (const FormulaText& t : s.texts)
        if (IsStoredPlace(t)) WriteStoredPlace(workbook, *s.sheet, t);
}

// Puts a prepared worksheet's texts in: the cells' all or nothing, then the series', which
// cannot fail.
bool CommitSheet(CWorkbook& workbook, const SheetTexts& s, PreparedSheet& prepared) {
    if (!CommitFormulaTexts(s.sheet->cells, prepared.cells)) return false;
    CommitSeries(workbook, s);
    return true;
}

// Everything the texts, and taking them out again, need; throws std::bad_alloc.
void PreparePlan(CWorkbook& workbook, const FormulaPlan& plan,
                 std::vector<PreparedSheet>& prepared) {
    prepared.resize(plan.size());
    for (size_t i = 0; i < plan.size(); ++i) PrepareSheet(workbook, plan[i], prepared[i]);
}

// All or nothing, with nothing but pages: the worksheets done give their texts back when
// one fails.
bool CommitPlan(CWorkbook& workbook, const FormulaPlan& plan,
                std::vector<PreparedSheet>& prepared) {
    for (size_t i = 0; i < plan.size(); ++i) {
        if (CommitSheet(workbook, plan[i], prepared[i])) continue;
        while (i-- > 0) {
            RevertFormulaTexts(plan[i].sheet->cells, prepared[i].cells);
            CommitSeries(workbook, {plan[i].sheet, prepared[i].oldSeries});
        }
        return false;
    }
    return true;
}

void RevertPlan(CWorkbook& workbook, const FormulaPlan& plan,
                std::vector<PreparedSheet>& prepared) {
    for (size_t i = plan.size(); i-- > 0;) {
        RevertFormulaTexts(plan[i].sheet->cells, prepared[i].cells);
        CommitSeries(workbook, {plan[i].sheet, prepared[i].oldSeries});
    }
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

bool TextsFitFields(CWorkbook& workbook, CEvalContext& ctx, const CWorksheet& ws,
                    const std::vector<FormulaText>& texts) {
    CCellStore* before = ctx.currentCells;
    ctx.currentCells = const_cast<CCellStore*>(&ws.cells);
    bool fit = true;
    const bool read = GuardWorksheetMemory(workbook, [&] {
        std::string shown;
        for (const FormulaText& t : texts) {
            if (IsStoredPlace(t)) {
                fit = t.column != kSeriesColumn || t.text.size() < size_t(kDataArraySize);
            } else {
                // The editor's form may be longer than the stored one: it must translate too.
                fit = t.text.size() <= kMaxFormulaText;
                if (fit && t.text.size() > kMaxFormulaText / 2) {
                    shown = t.text;
                    fit = TranslateFormula(ctx, shown, t.column, t.row, false);
                }
            }
            if (!fit) break;
        }
        return true;
    });
    ctx.currentCells = before;
    return read && (fit || Fail(workbook, kErrorFormulaTooLong));
}

bool PlanFitsFields(CWorkbook& workbook, CEvalContext& ctx, const FormulaPlan& plan) {
    for (const SheetTexts& s : plan)
        if (!TextsFitFields(workbook, ctx, *s.sheet, s.texts)) return false;
    return true;
}

bool ApplyFormulaPlan(CWorkbook& workbook, const FormulaPlan& plan) {
    PreparedExchange ex;
    try {
        PreparePlan(workbook, plan, ex.sheets);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return CommitPlan(workbook, plan, ex.sheets);
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

namespace {

// The texts a prepared plan replaces, packed as PackFormulaPlan packs them: the places kept
// outside cells, then the cells' texts read straight from their records.
BlockPtr PackReplacedTexts(const CWorkbook& workbook, const FormulaPlan& plan,
                           const std::vector<PreparedSheet>& prepared, uint32_t& size) {
    size = 0;
    if (plan.empty()) return nullptr;
    std::vector<uint64_t> parts(plan.size(), 4);
    uint64_t total = 4;
    for (size_t i = 0; i < plan.size(); ++i) {
        for (const FormulaText& t : prepared[i].oldSeries) parts[i] += 8 + t.text.size();
        for (const uint8_t* r : prepared[i].cells.records)
            if (r) parts[i] += 8 + cell::FormulaLength(r);
        total += 8 + parts[i];
    }
    if (total > UINT32_MAX) return nullptr;
    BlockPtr block(static_cast<uint8_t*>(AllocBlock(uint32_t(total))));
    if (!block) return nullptr;
    uint8_t* p = block.get();
    const auto put = [&p](uint16_t column, uint32_t row, std::string_view text) {
        StoreU16(p, column);
        StoreU32(p + 2, row);
        StoreU16(p + 6, uint16_t(text.size()));
        std::memcpy(p + 8, text.data(), text.size());
        p += 8 + text.size();
    };
    StoreU32(p, uint32_t(plan.size()));
    p += 4;
    for (size_t i = 0; i < plan.size(); ++i) {
        const PreparedSheet& s = prepared[i];
        uint32_t count = uint32_t(s.oldSeries.size());
        for (const uint8_t* r : s.cells.records) count += r ? 1 : 0;
        StoreU32(p, uint32_t(GetTreeItemIndex(plan[i].sheet, workbook.tree.first)));
        StoreU32(p + 4, uint32_t(parts[i]));
        StoreU32(p + 8, count);
        p += 12;
        for (const FormulaText& t : s.oldSeries) put(t.column, t.row, t.text);
        for (const uint8_t* r : s.cells.records)
            if (r) put(cell::Column(r), cell::Row(r), cell::Formula(r));
    }
    size = uint32_t(total);
    return block;
}

// The texts of the plan in `ex.texts` already; the texts they replace packed beside them.
bool PrepareTexts(CWorkbook& workbook, PreparedExchange& ex) {
    ex.workbook = &workbook;
    PreparePlan(workbook, ex.texts, ex.sheets);
    ex.block = PackReplacedTexts(workbook, ex.texts, ex.sheets, ex.size);
    if (!ex.block && !ex.texts.empty()) return Fail(workbook, kErrorWorksheetMemory);
    return true;
}

} // namespace

bool PrepareKeep(CWorkbook& workbook, const FormulaPlan& plan, PreparedExchange& ex) {
    return GuardWorksheetMemory(workbook, [&] {
        ex.texts = plan;
        return PrepareTexts(workbook, ex);
    });
}

bool PrepareKeep(CWorkbook& workbook, FormulaPlan&& plan, PreparedExchange& ex) {
    ex.texts = std::move(plan);
    return GuardWorksheetMemory(workbook, [&] { return PrepareTexts(workbook, ex); });
}

bool PrepareExchange(CWorkbook& workbook, const UndoEntry& entry, PreparedExchange& ex) {
    if (!entry.formulaTexts) return true;
    FormulaPlan kept;
    const bool unpacked = GuardWorksheetMemory(workbook, [&] {
        return UnpackFormulaPlan(workbook, entry.formulaTexts.get(), entry.formulaTextsSize,
                                 kept) ||
               Fail(workbook, kErrorInvalidCacheIndex);
    });
    return unpacked && PrepareKeep(workbook, kept, ex);
}

bool CommitExchange(CWorkbook& workbook, UndoEntry& entry, PreparedExchange& ex) {
    if (ex.texts.empty() && !ex.block) return true;
    if (!CommitPlan(workbook, ex.texts, ex.sheets)) return Fail(workbook, kErrorWorksheetMemory);
    std::swap(entry.formulaTexts, ex.block);
    std::swap(entry.formulaTextsSize, ex.size);
    ex.committed = true;
    return true;
}

void RevertExchange(UndoEntry& entry, PreparedExchange& ex) {
    if (!ex.committed) return;
    RevertPlan(*ex.workbook, ex.texts, ex.sheets);
    std::swap(entry.formulaTexts, ex.block);
    std::swap(entry.formulaTextsSize, ex.size);
    ex.committed = false;
}

bool KeepFormulaPlan(CWorkbook& workbook, UndoEntry& entry, const FormulaPlan& plan) {
    PreparedExchange ex;
    return PrepareKeep(workbook, plan, ex) && CommitExchange(workbook, entry, ex);
}

bool ExchangeFormulaPlan(CWorkbook& workbook, UndoEntry& entry) {
    PreparedExchange ex;
    return PrepareExchange(workbook, entry, ex) && CommitExchange(workbook, entry, ex);
}

} // namespace vl
