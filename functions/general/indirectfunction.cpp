// INDIRECT: a reference or range read from A1 or R1C1 text, on the formula's worksheet.
#include "formula/cellref.h"
#include "formula/spreadreach.h"
#include "functions/general/generalargs.h"
#include "functions/general/referencefunctions.h"

#include <algorithm>
#include <string>

namespace vl {

namespace {

std::size_t SkipSpaces(std::string_view text, std::size_t i) {
    while (i < text.size() && text[i] == ' ') ++i;
    return i;
}

// One part at `i`: its flags, 0 when none can be read; `i` moves past it.
uint8_t ReadPart(const CEvalContext& ctx, std::string_view text, std::size_t& i, bool a1,
                 CellRef& ref) {
    std::size_t end = 0;
    std::string_view rest = text.substr(i);
    uint8_t flags = a1 ? ParseA1Ref(rest, ref, end) : ParseR1C1Ref(ctx, rest, ref, end);
    i += end;
    return flags;
}

// Whole rows or columns stretch a part that names only a row or only a column.
void Widen(const CellRef& ref, uint16_t& c1, uint32_t& r1, uint16_t& c2, uint32_t& r2) {
    bool row = ref.flags & kRefRow, column = ref.flags & kRefColumn;
    c1 = column ? ref.column : 0;
    c2 = column ? ref.column : kLastColumn;
    r1 = row ? ref.row : 0;
    r2 = row ? ref.row : kLastRow;
}

// The reference the text names, or #REF!.
FormulaError ParseReferenceText(const CEvalContext& ctx, std::string_view text, bool a1,
                                FormulaToken& out) {
    std::size_t i = SkipSpaces(text, 0);
    CellRef first, second;
    uint8_t f1 = ReadPart(ctx, text, i, a1, first);
    if (f1 == 0) return kErrRef;
    uint8_t f2 = f1;
    second = first;
    bool pair = i < text.size() && text[i] == ':';
    if (pair) {
        ++i;
        f2 = ReadPart(ctx, text, i, a1, second);
        if (f2 == 0) return kErrRef;
    } else if (a1 && (f1 & kRefCell) != kRefCell) {
        return kErrRef;
    }
    if (((f1 ^ f2) & kRefCell) != 0 || ((f1 | f2) & kRefOutOfRange) != 0) return kErrRef;
    if (SkipSpaces(text, i) != text.size()) return kErrRef;
    uint16_t c1, c2, d1, d2;
    uint32_t r1, r2, s1, s2;
    Widen(first, c1, r1, c2, r2);
    Widen(second, d1, s1, d2, s2);
    out.firstColumn = std::min(c1, d1);
    out.lastColumn = std::max(c2, d2);
    out.firstRow = std::min(r1, s1);
    out.lastRow = std::max(r2, s2);
    if (out.firstColumn == out.lastColumn && out.firstRow == out.lastRow) {
        out.type = kTokenReference;
        out.column = out.firstColumn;
        out.row = out.firstRow;
        out.refFlags = kRefCell;
    } else {
        out.type = kTokenArea;
        out.firstFlags = out.lastFlags = kRefCell;
    }
    return 0;
}

void Indirect(CEvalContext& ctx) {
    if (!CheckArgumentCount(ctx, 2, 2) || ApplyOverArrays(ctx)) return;
    int32_t mode = 1;
    std::string text;
    FormulaError error = GetIntArg(ctx, Argument(ctx, 1), mode, 0, 1);
    error = MergeError(error, GetStringArg(ctx, Argument(ctx, 0), text));
    FormulaToken result;
    if (error == 0) error = ParseReferenceText(ctx, text, mode == 1, result);
    if (error) return ReturnError(ctx, error);
    result.cells = ctx.currentCells;
    NoteBuiltReference(ctx, result);
    ReturnValue(ctx, result);
}

} // namespace

void BindIndirectFunction() {
    BindBuiltinFunction("INDIRECT", &Indirect);
}

} // namespace vl
