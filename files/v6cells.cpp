// The cells of a version-6 worksheet: texts, numbers and formulas, the formulas written in
// the user's form and translated into the internal form as they are read.

#include "files/v6records.h"
#include "formula/evalcontext.h"
#include "formula/token.h"
#include "formula/translate.h"
#include "model/workbook.h"

#include <cmath>
#include <memory>
#include <string>
#include <string_view>

namespace vl {

namespace {

constexpr uint8_t kV6TypeMask = 0x3F;
constexpr uint8_t kV6Text = 1;
constexpr uint8_t kV6Number = 2;

bool IsFormulaType(uint8_t type) {
    return type == 4 || type == 16 || type == 32;
}

// A zero byte would end the text early wherever it is passed on: no cell holds one.
bool HoldsZero(std::string_view text) {
    return text.find('\0') != text.npos;
}

std::string_view CutText(std::string_view text) {
    return text.substr(0, kMaxCellText);
}

class CCellReader {
public:
    CCellReader(CWorkbook& book, CWorksheet& sheet, CEvalContext& ctx)
        : book_(book), sheet_(sheet), ctx_(ctx), user_(CurrentUserNotation()),
          buffer_(std::make_unique<CellBuffer>()) {
        ctx_.worksheetList = book.tree.first;
        ctx_.currentCells = &sheet.cells;
    }

    bool Read(CV6Input& in) {
        const bool wideRows = in.U8() != 0;
        if (!in.Ok()) return V6Invalid(book_);
        while (!in.AtEnd())
            if (!ReadCell(in, wideRows)) return false;
        return true;
    }

private:
    bool ReadCell(CV6Input& in, bool wideRows) {
        const uint16_t column = in.U16();
        const uint32_t row = wideRows ? in.U32() : in.U16();
        const uint8_t type = in.U8() & kV6TypeMask;
        if (!in.Ok() || column > kLastColumn || row > kLastRow) return V6Invalid(book_);
        CellBuffer& cell = *buffer_;
        if (type == kV6Text) {
            const std::string_view text = in.Text(in.U16());
            if (!in.Ok() || HoldsZero(text)) return V6Invalid(book_);
            MakeTextCell(cell, column, row, CutText(text));
        } else if (type == kV6Number) {
            const double value = in.F64();
            if (!in.Ok()) return V6Invalid(book_);
            // An infinite or NaN number is what computing it gives: #NUM!.
            const bool finite = std::isfinite(value);
            MakeNumberCell(cell, column, row, finite ? value : 0, finite ? 0 : kErrNum >> 4);
        } else if (IsFormulaType(type)) {
            const std::string_view text = in.Text(in.U16());
            const double cached = in.F64();
            if (!in.Ok() || HoldsZero(text)) return V6Invalid(book_);
            MakeFormula(column, row, text, cached);
        } else {
            return true; // a type of no known kind carries nothing
        }
        return Put(column, row);
    }

    // A formula that does not translate, or translates too long, stays as its text.
    void MakeFormula(uint16_t column, uint32_t row, std::string_view text, double cached) {
        formula_.clear();
        if (text.empty() || text[0] != '=') formula_ += '=';
        formula_ += text;
        if (!TranslateFormula(ctx_, formula_, translated_, column, row, true, user_) ||
            translated_.size() > kMaxFormulaText) {
            MakeTextCell(*buffer_, column, row, CutText(formula_));
            return;
        }
        FormulaHead head;
        // One cell, as a typed formula and as the XML form reads it.
        head.arrayWidth = 1;
        head.arrayHeight = 1;
        head.resultFlags = kResultNumber;
        head.cachedNumber = std::isfinite(cached) ? cached : 0;
        if (!std::isfinite(cached)) head.flags = uint8_t(kCellFormula | kErrNum);
        MakeFormulaCell(*buffer_, column, row, head, translated_);
    }

    // Cells come in row order, so each is put from the place of the one before; one that
    // goes back starts its search afresh.
    bool Put(uint16_t column, uint32_t row) {
        if (any_ && !cell::Before(lastRow_, lastColumn_, row, column)) cursor_ = CellCursor{};
        if (!sheet_.cells.PutCell(buffer_->bytes, cursor_)) return V6NoMemory(book_);
        any_ = true;
        lastRow_ = row;
        lastColumn_ = column;
        return true;
    }

    CWorkbook& book_;
    CWorksheet& sheet_;
    CEvalContext& ctx_;
    UserNotation user_;
    std::unique_ptr<CellBuffer> buffer_;
    std::string formula_;
    std::string translated_;
    CellCursor cursor_;
    bool any_ = false;
    uint32_t lastRow_ = 0;
    uint16_t lastColumn_ = 0;
};

} // namespace

bool ReadV6Cells(CWorkbook& book, CV6Input& in, CWorksheet& sheet, CEvalContext& ctx) {
    CCellReader reader(book, sheet, ctx);
    return reader.Read(in);
}

} // namespace vl
