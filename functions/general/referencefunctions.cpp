#include "functions/general/referencefunctions.h"

#include "core/settings.h"
#include "formula/addresstext.h"
#include "formula/cellref.h"
#include "formula/spreadreach.h"
#include "functions/general/generalargs.h"
#include "platform/core/cp1252.h"

#include <string>
#include <vector>

namespace vl {

namespace {

// A path needs no quotes when it starts with a letter and holds only letters, digits,
// '_' and '\'.
bool PlainPath(std::string_view path) {
    for (std::size_t i = 0; i < path.size(); ++i) {
        char c = path[i];
        bool allowed = IsCharAlpha1252(c) || c == '_' || c == '\\' || (i > 0 && IsAsciiDigit(c));
        if (!allowed) return false;
    }
    return true;
}

std::string AddressText(CEvalContext& ctx, CellRef ref, bool a1) {
    std::string out;
    if (!a1) {
        FormatReference(ctx, out, ref);
        return out;
    }
    RefToA1Text(out, ref);
    // A whole column or a whole row is written as that part twice.
    if ((ref.flags & kRefCell) != kRefCell) {
        std::string part = out;
        out += ':';
        out += part;
    }
    return out;
}

void Address(CEvalContext& ctx) {
    if (!CheckArgumentCount(ctx, 5, 5) || ApplyOverArrays(ctx)) return;
    int32_t row = 0, column = 0, type = 1, mode = 1;
    std::string path;
    FormulaError error = GetStringArg(ctx, Argument(ctx, 4), path);
    error = MergeError(error, GetIntArg(ctx, Argument(ctx, 3), mode, 0, 1));
    error = MergeError(error, GetIntArg(ctx, Argument(ctx, 2), type, 1, 4));
    error = MergeError(error, GetIntArg(ctx, Argument(ctx, 1), column, 1, kMaxColumns));
    error = MergeError(error, GetIntArg(ctx, Argument(ctx, 0), row, 1, int32_t(kMaxRows)));
    if (error == 0 && row == 0 && column == 0) error = kErrValue;
    if (error) return ReturnTextError(ctx, error);
    CellRef ref;
    if (type == 2 || type == 4) ref.flags |= kRefColumnRelative;
    if (type == 3 || type == 4) ref.flags |= kRefRowRelative;
    if (column) ref.flags |= kRefColumn;
    if (row) ref.flags |= kRefRow;
    if ((ref.flags & kRefColumn) == 0) ref.flags &= uint8_t(~kRefColumnRelative);
    if ((ref.flags & kRefRow) == 0) ref.flags &= uint8_t(~kRefRowRelative);
    ref.column = uint16_t(column ? column - 1 : 0);
    ref.row = uint32_t(row ? row - 1 : 0);
    std::string address = AddressText(ctx, ref, mode == 1 && Profile().addressingA1);
    if (path.empty()) return ReturnText(ctx, address);
    std::string text = (PlainPath(path) ? path : QuotedLocation(path)) + '!' + address;
    // An address that would not fit an address text is refused, never cut to its range.
    if (text.size() > kMaxAddressText) return ReturnTextError(ctx, kErrValue);
    ReturnText(ctx, text);
}

void Areas(CEvalContext& ctx) {
    if (!CheckArgumentCount(ctx, 1, kMaxArguments)) return;
    FormulaError error = 0;
    double areas = 0;
    for (uint16_t i = 0; i < ArgumentCount(ctx); ++i) {
        const FormulaToken& slot = Argument(ctx, i);
        error = MergeError(error, slot.error);
        if (slot.type & (kTokenReference | kTokenArea)) ++areas;
    }
    ReleaseArguments(ctx);
    ReturnNumber(ctx, areas, error);
}

// The texts and arrays of the value arguments are taken off first, since n lies below them
// on the pool; the chosen one is put back.
void Choose(CEvalContext& ctx) {
    if (!CheckArgumentCount(ctx, 2, kMaxArguments)) return;
    const uint16_t count = ArgumentCount(ctx);
    std::vector<std::string> texts(count);
    std::vector<Page*> chains(count, nullptr);
    for (uint16_t i = count; i-- > 1;) {
        FormulaToken& slot = Argument(ctx, i);
        if (slot.type == kTokenText) texts[i] = ctx.stringPool.PopTempString();
        if (slot.type == kTokenArray) chains[i] = ctx.scratch.PopPointer();
    }
    int32_t n = 0;
    FormulaError error = GetIntArg(ctx, Argument(ctx, 0), n, 1, count - 1);
    if (error == 0 && n == 0) error = kErrNum;
    for (uint16_t i = 1; i < count; ++i)
        if (chains[i] && (error || i != n)) ctx.scratch.cells.FreePageChain(chains[i]);
    if (error) return ReturnError(ctx, error);
    FormulaToken chosen = Argument(ctx, uint16_t(n));
    if (chosen.type == kTokenText && !ctx.stringPool.PushString(texts[n]))
        return ReturnError(ctx, kErrValue);
    if (chosen.type == kTokenArray && !ctx.scratch.PushPointer(chains[n])) {
        if (chains[n]) ctx.scratch.cells.FreePageChain(chains[n]);
        return ReturnError(ctx, kErrValue);
    }
    ReturnValue(ctx, chosen);
}

// COLUMN (Rows false) and ROW: the position of the formula cell, of a reference, or of
// each column or row of a range or array; anything else is left as the result.
template <bool Rows> void Position(CEvalContext& ctx) {
    if (!CheckArgumentCount(ctx, 0, 1)) return;
    if (ArgumentCount(ctx) == 0)
        return ReturnNumber(ctx, Rows ? double(ctx.baseRow) + 1 : double(ctx.baseColumn) + 1);
    FormulaToken& x = Argument(ctx, 0);
    if (x.type == kTokenReference)
        return ReturnNumber(ctx, Rows ? double(x.row) + 1 : double(x.column) + 1, x.error);
    if (!(x.type & kAreaOrArray)) {
        // The argument is the result, its text still on the pool.
        ctx.valueCount = FirstArgument(ctx);
        return;
    }
    const FormulaToken area = x;
    ReleaseOperand(ctx, x);
    if (area.error) return ReturnError(ctx, area.error);
    uint32_t first = Rows ? area.firstRow : area.firstColumn;
    uint32_t last = Rows ? area.lastRow : area.lastColumn;
    if (first == last) return ReturnNumber(ctx, double(first) + 1);
    CArrayBuilder builder(ctx);
    for (uint32_t i = 0; i <= last - first; ++i) {
        CellBuffer b;
        MakeNumberCell(b, Rows ? 0 : uint16_t(i), Rows ? i : 0, double(first + i) + 1);
        if (!builder.PutRecord(b.data())) return ReturnError(ctx, kErrMemory);
    }
    uint32_t count = last - first + 1;
    ReturnArray(ctx, builder.Detach(), Rows ? 1 : uint16_t(count), Rows ? count : 1);
}

// COLUMNS and ROWS count the last argument's columns or rows; an error of any argument
// wins, the largest code first.
template <bool Rows> void Extent(CEvalContext& ctx) {
    if (!CheckArgumentCount(ctx, 1, kMaxArguments)) return;
    // A single cell is a range of one row and one column.
    MakeOneCellArea(Argument(ctx, uint16_t(ArgumentCount(ctx) - 1)));
    const FormulaToken last = Argument(ctx, uint16_t(ArgumentCount(ctx) - 1));
    FormulaError error = 0;
    for (uint16_t i = 0; i < ArgumentCount(ctx); ++i)
        error = MergeError(error, Argument(ctx, i).error);
    ReleaseArguments(ctx);
    if (!(last.type & kAreaOrArray)) error = MergeError(error, kErrValue);
    if (error) return ReturnError(ctx, error);
    double count = Rows ? double(last.lastRow - last.firstRow) + 1
                        : double(last.lastColumn - last.firstColumn) + 1;
    ReturnNumber(ctx, count);
}

// A reference or range moved m rows down and n columns right, of the given size.
void Offset(CEvalContext& ctx) {
    if (!CheckArgumentCount(ctx, 5, 5)) return;
    int32_t height = 0, width = 0, n = 0, m = 0;
    FormulaError error = GetIntArg(ctx, Argument(ctx, 4), height, 1, int32_t(kMaxRows));
    error = MergeError(error, GetIntArg(ctx, Argument(ctx, 3), width, 1, kMaxColumns));
    error = MergeError(error, GetIntArg(ctx, Argument(ctx, 2), n, 0, kLastColumn));
    error = MergeError(error, GetIntArg(ctx, Argument(ctx, 1), m, 0, int32_t(kLastRow)));
    FormulaToken& source = Argument(ctx, 0);
    if (!(source.type & (kTokenReference | kTokenArea))) {
        error = MergeError(error, MergeError(source.error, kErrValue));
        ReleaseOperand(ctx, source);
    }
    error = MergeError(error, source.error);
    if (error) return ReturnError(ctx, error);
    const bool single = source.type == kTokenReference;
    uint32_t top = single ? source.row : source.firstRow;
    uint16_t left = single ? source.column : source.firstColumn;
    if (height == 0) height = single ? 1 : int32_t(source.lastRow - source.firstRow + 1);
    if (width == 0) width = single ? 1 : int32_t(source.lastColumn - source.firstColumn + 1);
    uint64_t r1 = uint64_t(top) + uint64_t(m), c1 = uint64_t(left) + uint64_t(n);
    uint64_t r2 = r1 + uint64_t(height) - 1, c2 = c1 + uint64_t(width) - 1;
    if (r2 > kLastRow || c2 > kLastColumn) return ReturnError(ctx, kErrRef);
    FormulaToken result;
    result.cells = source.cells;
    if (r1 == r2 && c1 == c2) {
        result.type = kTokenReference;
        result.column = uint16_t(c1);
        result.row = uint32_t(r1);
        result.refFlags = kRefCell;
    } else {
        result.type = kTokenArea;
        result.firstColumn = uint16_t(c1);
        result.firstRow = uint32_t(r1);
        result.lastColumn = uint16_t(c2);
        result.lastRow = uint32_t(r2);
        result.firstFlags = result.lastFlags = kRefCell;
    }
    NoteBuiltReference(ctx, result);
    ReturnValue(ctx, result);
}

} // namespace

void BindReferenceFunctions() {
    BindBuiltinFunction("ADDRESS", &Address);
    BindBuiltinFunction("AREAS", &Areas);
    BindBuiltinFunction("CHOOSE", &Choose);
    BindBuiltinFunction("COLUMN", &Position<false>);
    BindBuiltinFunction("ROW", &Position<true>);
    BindBuiltinFunction("COLUMNS", &Extent<false>);
    BindBuiltinFunction("ROWS", &Extent<true>);
    BindBuiltinFunction("OFFSET", &Offset);
    BindIndirectFunction();
    BindIndexFunction();
}

} // namespace vl
