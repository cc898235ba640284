#include "formula/arrayconst.h"

#include "formula/evalcontext.h"
#include "formula/formulanumber.h"
#include "formula/literals.h"
#include "formula/textscan.h"
#include "formula/translate.h"
#include "platform/core/cp1252.h"

#include <cmath>

namespace vl {

namespace {

constexpr std::size_t kMaxArrayText = kMaxFormulaText; // with the "=" of its formula, no longer
constexpr std::string_view kStopCharacters = ".,;()+-*:/!&=$#%{}";

// Characters that end a bare word: the fixed set and the active separators.
bool IsStop(char c, const SeparatorSet& set) {
    return c == '\0' || kStopCharacters.find(c) != std::string_view::npos || c == set.list ||
           c == set.arrayRow;
}

// One element read from the text: nothing, a number (with an error code) or a text.
struct Element {
    enum Kind { kNone, kNumber, kText } kind = kNone;
    double number = 0;
    FormulaError error = 0;
    std::string_view text;
    std::string unquoted; // a quoted text's characters when it doubled a quote
};

bool ReadNumberElement(std::string_view t, std::size_t& i, const SeparatorSet& set,
                       bool internalForm, Element& e) {
    bool negative = At(t, i) == '-';
    std::size_t j = negative ? i + 1 : i;
    if (negative && !internalForm) j = SkipBlanks(t, j);
    FormulaNumber n = ScanFormulaNumber(t.substr(j), set.decimal, internalForm);
    if (!n.ok) return false;
    i = j + n.length;
    e.kind = Element::kNumber;
    if (std::isinf(n.value)) {
        // A number too large for a double reads as the error it would give anywhere else.
        e.error = kErrNum;
        e.number = kErrNum >> 4;
    } else {
        e.number = negative ? -n.value : n.value;
    }
    return true;
}

// False when the element is malformed.
bool ReadElement(std::string_view t, std::size_t& i, const SeparatorSet& set, bool internalForm,
                 Element& e) {
    char c = At(t, i);
    if (IsAsciiDigit(c) || c == '-' || c == set.decimal)
        return ReadNumberElement(t, i, set, internalForm, e);
    if (c == '#') {
        std::size_t end = 0;
        FormulaError code = 0;
        if (!ScanErrorLiteral(t.substr(i), code, end)) return false;
        i += end;
        e.kind = Element::kNumber;
        e.error = code;
        e.number = code >> 4;
        return true;
    }
    if (c == '"' || c == '\'') {
        std::size_t next = 0;
        std::size_t close = QuotedTextEnd(t, i, next);
        e.kind = Element::kText;
        e.text = t.substr(i + 1, close - i - 1);
        if (e.text.find(c) != std::string_view::npos) {
            e.unquoted = UnquotedText(e.text, c);
            e.text = e.unquoted;
        }
        i = next;
        return true;
    }
    std::size_t wordEnd = 0;
    double truth = 0;
    if (IsCharAlpha1252(c) && ScanBooleanLiteral(t.substr(i), truth, wordEnd) &&
        !IsCharAlpha1252(At(t, i + wordEnd))) {
        i += wordEnd;
        e.kind = Element::kNumber;
        e.number = truth;
        return true;
    }
    if (IsStop(c, set)) return true; // an empty position
    std::size_t end = i;
    while (!IsStop(At(t, end), set)) ++end;
    e.kind = Element::kText;
    e.error = kErrName;
    e.text = t.substr(i, end - i);
    i = end;
    return true;
}

bool StoreElement(CCellStore& store, CellCursor& cursor, const Element& e, uint16_t column,
                  uint32_t row) {
    CellBuffer record;
    if (e.kind == Element::kNumber) {
        MakeNumberCell(record, column, row, e.number, uint8_t(e.error >> 4));
    } else {
        if (!MakeTextCell(record, column, row, e.text)) return false;
        cell::SetError(record.bytes, uint8_t(e.error >> 4));
    }
    return store.PutCell(record.data(), cursor);
}

void AppendElement(std::string& out, const uint8_t* record, char decimal, bool exact) {
    uint8_t error = cell::Error(record);
    if (error != 0)
        out += GetFormulaErrorText(uint8_t(error << 4));
    else if (cell::IsText(record))
        AppendQuotedText(out, cell::Text(record));
    else if (cell::IsNumber(record))
        AppendFormulaNumber(out, cell::Number(record), decimal, exact);
}

} // namespace

void AppendQuotedText(std::string& out, std::string_view text) {
    const bool doubleQuotes = text.find('"') == std::string_view::npos;
    // A text holding both quote characters doubles the one it is written in.
    const char quote = doubleQuotes || text.find('\'') != std::string_view::npos ? '"' : '\'';
    out += quote;
    for (const char c : text) {
        if (c == quote) out += quote;
        out += c;
    }
    out += quote;
}

bool ParseArrayConstant(CEvalContext& ctx, std::string_view text, std::size_t& end,
                        CCellStore& store, uint16_t& lastColumn, uint32_t& lastRow,
                        FormulaError& error, const SeparatorSet& set, bool internalForm) {
    lastColumn = 0;
    lastRow = 0;
    error = 0;
    if (At(text, 0) != '{') return false;
    std::size_t i = 1;
    uint32_t column = 0;
    uint32_t row = 0;
    CellCursor cursor;
    cursor.flags = kAdvance;
    for (;;) {
        // Here after the "{" or a separator, where the end of the text ends the constant.
        i = SkipBlanks(text, i);
        if (At(text, i) == '\0') {
            end = i;
            return true;
        }
        Element element;
        if (!ReadElement(text, i, set, internalForm, element)) break;
        if (element.kind != Element::kNone &&
            !StoreElement(store, cursor, element, uint16_t(column), row))
            error = kErrMemory;
        i = SkipBlanks(text, i);
        char c = At(text, i);
        if (c == '}') {
            end = i + 1;
            return true;
        }
        if (c == set.list && c != '\0') {
            if (++column > kLastColumn) break;
            if (column > lastColumn) lastColumn = uint16_t(column);
        } else if (c == set.arrayRow && c != '\0') {
            if (++row > kLastRow) break;
            column = 0;
            lastRow = row;
        } else {
            break;
        }
        ++i;
    }
    ctx.status = kErrSyntax;
    return false;
}

bool FormatArrayConstant(std::string& out, Page* chain, uint16_t lastColumn, uint32_t lastRow,
                         const SeparatorSet& set, bool exact) {
    std::size_t start = out.size();
    auto tooLong = [&] { return out.size() - start >= kMaxArrayText; };
    CellCursor cursor;
    cursor.flags = kAdvance;
    cursor.page = chain;
    const uint8_t* record = chain ? NextCellRecord(cursor) : nullptr;
    out += '{';
    for (uint32_t row = 0; row <= lastRow; ++row) {
        for (uint32_t column = 0; column <= lastColumn; ++column) {
            while (record &&
                   cell::Before(cell::Row(record), cell::Column(record), row, uint16_t(column)))
                record = NextCellRecord(cursor);
            if (record && cell::Row(record) == row && cell::Column(record) == column)
                AppendElement(out, record, set.decimal, exact);
            if (column < lastColumn) {
                out += set.list;
                out += ' ';
            }
            if (tooLong()) {
                out.resize(start);
                return false;
            }
        }
        if (row < lastRow) {
            out += set.arrayRow;
            out += ' ';
        }
    }
    out += '}';
    if (tooLong()) {
        out.resize(start);
        return false;
    }
    return true;
}

bool FormatArrayConstant(std::string& out, const CCellStore& store, uint16_t lastColumn,
                         uint32_t lastRow, const SeparatorSet& set) {
    return FormatArrayConstant(out, store.FirstPage(), lastColumn, lastRow, set);
}

} // namespace vl
