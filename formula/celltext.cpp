#include "formula/celltext.h"

#include "formula/arrayconst.h"
#include "formula/literals.h"
#include "formula/translate.h"
#include "platform/core/number.h"
#include "values/formatdouble.h"
#include "values/numfmt_date.h"
#include "values/numfmt_number.h"

#include <cmath>
#include <string_view>

namespace vl {

namespace {

bool IsDateKind(uint8_t kind) {
    return kind == STD_STYLE_DATE || kind == STD_STYLE_TIME || kind == STD_STYLE_DATE_TIME;
}

bool HasTextValue(const uint8_t* cell) {
    return cell::IsText(cell) ||
           (cell::IsFormula(cell) && (cell::ResultFlags(cell) & kResultText) != 0);
}

std::string_view TextValue(const uint8_t* cell) {
    return cell::IsText(cell) ? cell::Text(cell) : cell::CachedText(cell);
}

double NumberValue(const uint8_t* cell) {
    return cell::IsNumber(cell) ? cell::Number(cell) : cell::CachedNumber(cell);
}

std::string ErrorText(const uint8_t* cell) {
    return std::string(GetFormulaErrorText(uint8_t(cell::Error(cell) << 4)));
}

// The code a text is shown through, or empty when the kind shows texts as they are.
std::string DateCode(const StandardFormat& format) {
    if (format.kind == STD_STYLE_USER_DEFINED) return format.code;
    if (IsDateKind(format.kind)) return BuildStandardFormatCode(format.kind, format.params);
    return {};
}

// The code a number is shown through, or empty for the plain form; percentages are
// scaled here, not by the renderer.
std::string NumberCode(const StandardFormat& format, double& value) {
    if (format.kind == STD_STYLE_USER_DEFINED) return format.code;
    if (format.kind == STD_STYLE_DEFAULT || IsDateKind(format.kind)) return {};
    if (format.kind == STD_STYLE_PERCENTAGE) value *= 100;
    return BuildStandardFormatCode(format.kind, format.params);
}

// Appends what fits of a text to a rendered list.
void AddTextItems(RenderedList& out, std::string_view text) {
    for (char c : text)
        if (!out.Add(kFmtLiteral, c)) break;
}

std::string Quoted(std::string_view text) {
    std::string out;
    AppendQuotedText(out, text);
    return out;
}

// A number as the editor starts from it: the plain form when it reads back as the number,
// so that Enter stores the number again; otherwise 15 significant digits, in exponent form
// where that is shorter, or 16 or 17 where 15 read back as another number.
std::string EditorNumberText(double value, const SeparatorSet& set) {
    double back = 0;
    if (!std::isfinite(value) || (ParseNumber(FormatDouble(value), back) && back == value))
        return FormatDouble(value, &set);
    std::string text = FormatNumberG(value, 15);
    for (int digits = 16; digits <= 17 && !(ParseNumber(text, back) && back == value); ++digits)
        text = FormatNumberG(value, digits);
    const std::size_t dot = text.find('.');
    if (dot != std::string::npos && text.find('e') == std::string::npos) text[dot] = set.decimal;
    return text;
}

// One value of an array constant.
std::string RangeValue(const uint8_t* cell) {
    if (!cell) return {};
    if (cell::Error(cell)) return ErrorText(cell);
    if (HasTextValue(cell)) return Quoted(TextValue(cell));
    return EditorNumberText(NumberValue(cell), UserSeparators());
}

} // namespace

bool FormatCellValue(const uint8_t* cell, const StandardFormat& format, std::string& text) {
    const SeparatorSet& user = UserSeparators();
    if (cell::Error(cell)) {
        text = ErrorText(cell);
        return true;
    }
    if (HasTextValue(cell)) {
        std::string_view value = TextValue(cell);
        std::string code = DateCode(format);
        if (code.empty())
            text.assign(value);
        else
            FormatDateText(value, code, text, &user);
        return true;
    }
    double value = NumberValue(cell);
    std::string code = NumberCode(format, value);
    if (code.empty() || !FormatValueText(value, code, text, &user))
        text = FormatGeneralNumber(NumberValue(cell), &user);
    return true;
}

bool UserFormulaFormIsInternal() {
    const SeparatorSet& user = UserSeparators();
    const SeparatorSet& internal = InternalSeparators();
    return !Profile().addressingA1 && user.decimal == internal.decimal &&
           user.thousands == internal.thousands && user.list == internal.list &&
           user.arrayRow == internal.arrayRow;
}

std::string GetFormulaUserText(CEvalContext& ctx, const uint8_t* cell) {
    std::string text(cell::Formula(cell));
    if (!UserFormulaFormIsInternal() || IsKeptText(text))
        TranslateFormula(ctx, text, cell::Column(cell), cell::Row(cell), false);
    return text;
}

bool CCellDisplay::GetCellDisplayText(const uint8_t* cell, const StandardFormat& format,
                                      RenderedList& out) {
    out.Clear();
    if (showFormulas_ && cell::IsFormula(cell)) {
        AddTextItems(out, GetFormulaUserText(ctx_, cell));
        return true;
    }
    return GetValueDisplayText(cell, format, out);
}

bool GetValueDisplayText(const uint8_t* cell, const StandardFormat& format, RenderedList& out) {
    const SeparatorSet& user = UserSeparators();
    out.Clear();
    if (cell::Error(cell)) {
        AddTextItems(out, ErrorText(cell));
        return true;
    }
    if (HasTextValue(cell)) {
        std::string_view value = TextValue(cell);
        std::string code = DateCode(format);
        if (code.empty() || !FormatDateTimeValue(out, value, code, &user)) {
            out.Clear();
            AddTextItems(out, value);
        }
        return true;
    }
    double value = NumberValue(cell);
    std::string code = NumberCode(format, value);
    if (code.empty() || !FormatNumberValue(out, value, code, &user))
        FormatNumberValue(out, NumberValue(cell), {}, &user);
    return true;
}

std::string GetCellEditText(CEvalContext& ctx, const uint8_t* cell) {
    if (cell::IsFormula(cell)) return GetFormulaUserText(ctx, cell);
    if (cell::IsNumber(cell) && !cell::Error(cell))
        return EditorNumberText(cell::Number(cell), UserSeparators());
    std::string text;
    FormatCellValue(cell, StandardFormat{}, text);
    return text;
}

std::string GetCellText(CEvalContext& ctx, const CCellStore& cells, uint16_t firstColumn,
                        uint32_t firstRow, uint16_t lastColumn, uint32_t lastRow, bool quoteTexts,
                        bool range) {
    const SeparatorSet& user = UserSeparators();
    if (!range && firstColumn == lastColumn && firstRow == lastRow) {
        const uint8_t* cell = FindCell(cells, firstRow, firstColumn);
        if (!cell) return {};
        std::string text = GetCellEditText(ctx, cell);
        if (quoteTexts && cell::IsText(cell) && !cell::Error(cell) &&
            text.size() + 2 <= kMaxFormulaText)
            text = '"' + text + '"';
        return text;
    }
    std::string text = "={";
    if (firstColumn > lastColumn || firstRow > lastRow) return text + "}";
    if (lastColumn > kLastColumn) lastColumn = kLastColumn;
    if (lastRow > kLastRow) lastRow = kLastRow;
    for (uint32_t row = firstRow; row <= lastRow; ++row) {
        for (uint32_t column = firstColumn; column <= lastColumn; ++column) {
            std::string piece;
            if (column > firstColumn)
                piece += user.list;
            else if (row > firstRow)
                piece += user.arrayRow;
            piece += RangeValue(FindCell(cells, row, uint16_t(column)));
            // The closing brace must still fit.
            if (text.size() + piece.size() + 1 > kMaxFormulaText) return text + "}";
            text += piece;
        }
    }
    return text + "}";
}

std::string DescribeCell(CEvalContext& ctx, const CCellStore& cells, uint32_t row, uint16_t column,
                         const CellLabels& labels) {
    const uint8_t* cell = FindCell(cells, row, column);
    if (!cell) return labels.none ? labels.none : "";
    const char* label;
    std::string text;
    if (cell::IsFormula(cell)) {
        label = labels.formula;
        text = GetFormulaUserText(ctx, cell);
    } else {
        label = cell::Error(cell) ? labels.error : cell::IsText(cell) ? labels.text : labels.number;
        FormatCellValue(cell, StandardFormat{}, text);
    }
    return std::string(label ? label : "") + ": " + text;
}

} // namespace vl
