#include "formula/edit/otherbooks.h"

#include "formula/edit/undoexec.h"
#include "formula/externalref.h"
#include "model/memoryguard.h"
#include "model/workbook.h"
#include "model/worksheettree.h"

namespace vl {

namespace {

bool StillOpen(const CWorkbook* book) {
    for (uint32_t i = 0; book && i < kOpenDocumentEntries; ++i)
        if (OpenWorkbookAt(i) == book) return true;
    return false;
}

// One workbook's rewrites; false when one cannot be made.
bool PlanBook(CWorkbook& other, CEvalContext& ctx, const OtherBookRewrite& rewrite,
              OtherBookPlan& plan) {
    std::string text;
    for (CTreeItem* item = other.tree.first; item; item = item->next) {
        CWorksheet* ws = AsWorksheet(item);
        if (!ws) continue;
        SheetTexts before{ws, {}}, after{ws, {}};
        CRecordWalk walk(ws->cells);
        while (const uint8_t* r = walk.Next()) {
            if (!cell::IsFormula(r)) continue;
            const std::string_view formula = cell::Formula(r);
            // Only a qualifier naming a file can name another workbook's worksheet.
            if (formula.find('[') == std::string_view::npos) continue;
            if (!rewrite(ctx, formula, cell::Column(r), cell::Row(r), *ws, text)) return false;
            if (text == formula) continue;
            before.texts.push_back({cell::Column(r), cell::Row(r), std::string(formula)});
            after.texts.push_back({cell::Column(r), cell::Row(r), text});
        }
        if (after.texts.empty()) continue;
        plan.before.push_back(std::move(before));
        plan.after.push_back(std::move(after));
    }
    return true;
}

bool TextIn(const CWorksheet& ws, const FormulaText& t, std::string_view& out) {
    const uint8_t* r = FindCell(ws.cells, t.row, t.column);
    if (!r || !cell::IsFormula(r)) return false;
    out = cell::Formula(r);
    return true;
}

} // namespace

bool PlanOtherWorkbooks(CWorkbook& workbook, const OtherBookRewrite& rewrite, ErrorCode refused,
                        std::vector<OtherBookPlan>& plans) {
    for (uint32_t i = 0; i < kOpenDocumentEntries; ++i) {
        CWorkbook* other = OpenWorkbookAt(i);
        CEvalContext* ctx = other && other != &workbook ? EditContext(*other) : nullptr;
        if (!ctx) continue;
        OtherBookPlan plan{other, {}, {}};
        ctx->qualifiers.Begin();
        bool made = false;
        const bool read = GuardWorksheetMemory(workbook, [&] {
            made = PlanBook(*other, *ctx, rewrite, plan);
            return true;
        });
        ctx->qualifiers.End();
        if (!read) return false;
        if (!made) return workbook.error = refused, false;
        if (!PlanFitsFields(*other, *ctx, plan.after)) return workbook.error = other->error, false;
        if (!plan.after.empty()) plans.push_back(std::move(plan));
    }
    return true;
}

bool ApplyOtherWorkbooks(std::vector<OtherBookPlan>& plans, UndoEntry* entry) {
    bool applied = true;
    for (OtherBookPlan& p : plans) {
        try {
            KeptOtherBook kept;
            kept.book = p.book;
            bool failed = false;
            if (entry) {
                kept.before = PackFormulaPlan(*p.book, p.before, kept.beforeSize, failed);
                if (!failed) kept.after = PackFormulaPlan(*p.book, p.after, kept.afterSize, failed);
                if (!failed) entry->otherBooks.reserve(entry->otherBooks.size() + 1);
            }
            if (failed || !ApplyFormulaPlan(*p.book, p.after)) {
                applied = false;
                continue;
            }
            if (entry) entry->otherBooks.push_back(std::move(kept));
        } catch (const std::bad_alloc&) {
            applied = false;
        }
    }
    return applied;
}

bool ExchangeOtherWorkbooks(const UndoEntry& entry) {
    bool exchanged = true;
    for (const KeptOtherBook& kept : entry.otherBooks) {
        if (!StillOpen(kept.book)) continue;
        CWorkbook& book = *const_cast<CWorkbook*>(kept.book);
        try {
            FormulaPlan before, after, put;
            // A workbook whose worksheets changed since names other cells: left alone.
            if (!UnpackFormulaPlan(book, kept.before.get(), kept.beforeSize, before) ||
                !UnpackFormulaPlan(book, kept.after.get(), kept.afterSize, after) ||
                before.size() != after.size())
                continue;
            for (size_t i = 0; i < after.size(); ++i) {
                SheetTexts sheet{after[i].sheet, {}};
                const auto& was = before[i].texts;
                const auto& now = after[i].texts;
                for (size_t j = 0; j < now.size() && j < was.size(); ++j) {
                    std::string_view text;
                    if (!TextIn(*sheet.sheet, now[j], text)) continue;
                    if (text == now[j].text)
                        sheet.texts.push_back(was[j]);
                    else if (text == was[j].text)
                        sheet.texts.push_back(now[j]);
                }
                if (!sheet.texts.empty()) put.push_back(std::move(sheet));
            }
            exchanged = ApplyFormulaPlan(book, put) && exchanged;
        } catch (const std::bad_alloc&) {
            exchanged = false;
        }
    }
    return exchanged;
}

} // namespace vl
