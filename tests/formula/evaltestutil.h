#pragma once
// A workbook with its evaluator context for formula tests: cells are set in A1 notation
// (formulas are stored in the internal form, as typed input would store them), formulas
// are evaluated or the workbook recalculated, and values come back as shown text.

#include "formula/arrayconst.h"
#include "formula/evalcontext.h"
#include "formula/evaluator.h"
#include "formula/literals.h"
#include "formula/recalc.h"
#include "formula/translate.h"
#include "model/workbook.h"
#include "separatortestutil.h"
#include "values/formatdouble.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <string_view>

namespace vl::test {

struct Place {
    uint16_t column;
    uint32_t row;
};

// "B3" as a 0-based place.
inline Place At(std::string_view a1) {
    Place p{0, 0};
    std::size_t i = 0;
    uint32_t column = 0;
    while (i < a1.size() && a1[i] >= 'A' && a1[i] <= 'Z')
        column = column * 26 + uint32_t(a1[i++] - 'A' + 1);
    uint32_t row = 0;
    while (i < a1.size()) row = row * 10 + uint32_t(a1[i++] - '0');
    p.column = uint16_t(column - 1);
    p.row = row - 1;
    return p;
}

// The shown text of a value: an error's text, a number in the general form, a text as it is.
inline std::string ShownRecord(const uint8_t* r) {
    if (!r) return "<none>";
    if (uint8_t error = uint8_t(r[0] & 0xF0)) return std::string(GetFormulaErrorText(error));
    if (cell::IsText(r)) return std::string(cell::Text(r));
    if (cell::IsNumber(r)) return FormatDouble(cell::Number(r));
    if (cell::ResultFlags(r) & kResultText) return std::string(cell::CachedText(r));
    return FormatDouble(cell::CachedNumber(r));
}

// A fresh evaluator context with the generic and the decimal-comma separators at hand.
class FormulaTextTest : public ::testing::Test {
protected:
    std::unique_ptr<CEvalContext> ctx_ = std::make_unique<CEvalContext>();
    SeparatorSet generic_;
    SeparatorSet comma_ = formulatest::CommaFormulaSeparators();
};

class TestBook {
public:
    TestBook() : book_(CreateWorkbook()), ctx_(std::make_unique<CEvalContext>()) {}

    CWorkbook& Book() { return *book_; }
    CEvalContext& Ctx() { return *ctx_; }

    CWorksheet& AddSheet(const char* name, uint16_t level = 1) {
        CTreeItem* item = book_->AppendTreeItem(TREE_TYPE_WORKSHEET, name, level);
        return *AsWorksheet(item);
    }
    CTreeItem& AddFolder(const char* name, uint16_t level = 1) {
        return *book_->AppendTreeItem(TREE_TYPE_FOLDER, name, level);
    }
    CWorksheet& Sheet() {
        if (!book_->tree.active) AddSheet("Sheet1");
        return *book_->tree.active;
    }

    void Number(CWorksheet& s, std::string_view a1, double value) {
        Place p = At(a1);
        CellBuffer b;
        MakeNumberCell(b, p.column, p.row, value);
        Put(s, b);
    }
    void Number(std::string_view a1, double value) { Number(Sheet(), a1, value); }
    void Text(CWorksheet& s, std::string_view a1, std::string_view text) {
        Place p = At(a1);
        CellBuffer b;
        MakeTextCell(b, p.column, p.row, text);
        Put(s, b);
    }
    void Text(std::string_view a1, std::string_view text) { Text(Sheet(), a1, text); }
    // The formula in A1 notation with "." and ",".
    void Formula(CWorksheet& s, std::string_view a1, std::string_view formula) {
        Place p = At(a1);
        std::string stored = Internal(formula, p);
        CellBuffer b;
        FormulaHead head;
        MakeFormulaCell(b, p.column, p.row, head, stored);
        Put(s, b);
    }
    void Formula(std::string_view a1, std::string_view formula) { Formula(Sheet(), a1, formula); }

    std::string Internal(std::string_view formula, Place p) {
        std::string text(formula);
        static const SeparatorSet internal = InternalSeparators();
        TranslateFormula(*ctx_, text, p.column, p.row, true, UserNotation{&internal, true});
        return text;
    }

    bool Recalc(CCellStore* only = nullptr) { return RecalculateWorkbook(*book_, *ctx_, only); }

    std::string Shown(CWorksheet& s, std::string_view a1) {
        Place p = At(a1);
        return ShownRecord(FindCell(s.cells, p.row, p.column));
    }
    std::string Shown(std::string_view a1) { return Shown(Sheet(), a1); }

    // Evaluates a formula as if it stood in `a1` of the active worksheet; the result as
    // shown text, an array as an array constant, "<syntax>" for no result.
    std::string Eval(std::string_view formula, std::string_view a1 = "A1") {
        Place p = At(a1);
        std::string stored = Internal(formula, p);
        ctx_->worksheetList = book_->tree.first;
        ctx_->currentCells = &Sheet().cells;
        uint16_t kind = EvaluateFormulaText(*ctx_, stored, p.column, p.row);
        const FormulaToken& v = ctx_->values[1];
        if (kind == 0)
            return ctx_->status ? std::string(GetFormulaErrorText(ctx_->status)) : "<none>";
        if (v.error) return std::string(GetFormulaErrorText(v.error));
        if (kind == kTokenText) return std::string(ctx_->stringPool.PopTempString());
        if (kind == kTokenArray) {
            std::string out;
            Page* chain = ctx_->scratch.arrayCount
                              ? ctx_->scratch.arrays[ctx_->scratch.arrayCount - 1]
                              : nullptr;
            FormatArrayConstant(out, chain, v.lastColumn, v.lastRow, InternalSeparators());
            return out;
        }
        return FormatDouble(v.type == kTokenNumber ? v.number : 0);
    }

private:
    void Put(CWorksheet& s, const CellBuffer& b) {
        CellCursor cursor;
        ASSERT_TRUE(s.cells.PutCell(b.data(), cursor));
    }

    std::unique_ptr<CWorkbook> book_;
    std::unique_ptr<CEvalContext> ctx_;
};

} // namespace vl::test
