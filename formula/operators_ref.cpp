// The reference operators: intersection, range and the worksheet or folder qualifier.
#include "formula/externalref.h"
#include "formula/folderrange.h"
#include "formula/operands.h"
#include "formula/operators.h"
#include "formula/spreadreach.h"
#include "model/worksheet.h"

#include <algorithm>

namespace vl {

namespace {

void MakeError(FormulaToken& t, FormulaError error) {
    ClearOperand(t);
    t.type = kTokenEmpty;
    t.error = error;
}

bool WholeRows(const FormulaToken& t) {
    return (t.firstFlags & kRefRow) && !(t.firstFlags & kRefColumn);
}

bool WholeColumns(const FormulaToken& t) {
    return (t.firstFlags & kRefColumn) && !(t.firstFlags & kRefRow);
}

// Two references give the range between them; corners are not reordered.
void RangeOfReferences(FormulaToken& left, const FormulaToken& right) {
    if (MergeError(left.error, right.error)) {
        MakeError(left, kErrRef);
        return;
    }
    left.firstColumn = left.column;
    left.firstRow = left.row;
    left.firstFlags = left.refFlags;
    left.lastColumn = right.column;
    left.lastRow = right.row;
    left.lastFlags = right.refFlags;
    left.type = kTokenArea;
    if (left.lastColumn < left.firstColumn || left.lastRow < left.firstRow)
        MakeError(left, kErrRef);
}

// Whole rows to whole rows, or whole columns to whole columns, from the rows or columns
// their references named.
void RangeOfRanges(FormulaToken& left, const FormulaToken& right) {
    if (MergeError(left.error, right.error)) {
        MakeError(left, kErrRef);
    } else if (WholeRows(left) && WholeRows(right)) {
        left.firstRow = std::min(left.row, right.row);
        left.lastRow = std::max(left.row, right.row);
    } else if (WholeColumns(left) && WholeColumns(right)) {
        left.firstColumn = std::min(left.column, right.column);
        left.lastColumn = std::max(left.column, right.column);
    } else {
        MakeError(left, kErrRef);
    }
}

bool IsCellRange(const FormulaToken& t) {
    return t.type == kTokenArea || t.type == kTokenReference;
}

// A single cell takes part in an intersection as the range of that one cell.
FormulaToken& AsRange(FormulaToken& t) {
    if (t.type != kTokenReference) return t;
    t.firstColumn = t.lastColumn = t.column;
    t.firstRow = t.lastRow = t.row;
    t.firstFlags = t.lastFlags = t.refFlags;
    t.type = kTokenArea;
    return t;
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text;
}

// The worksheet, folder or other workbook file that a name or path qualifies the right
// entry with; `written` when the formula's text holds the name.
void ResolveQualifier(CEvalContext& ctx, FormulaToken& left, const FormulaToken& right,
                      std::string_view name, bool written) {
    if (!name.empty() && name.front() == '[') {
        FormulaToken entry = right;
        ResolveExternalReference(ctx, name, entry);
        left = entry;
        return;
    }
    CTreeItem* item = nullptr;
    if (!ctx.qualifiers.Find(right.cells, name, item)) {
        std::string path;
        if (name.front() != '\\') GetFolderPath(ctx, right.cells, path);
        path.append(name);
        item = FindNodeByPath(ctx, path);
        ctx.qualifiers.Note(right.cells, name, item);
    }
    if (!item) {
        MakeError(left, kErrName);
        return;
    }
    left = right;
    left.error = 0;
    if (CWorksheet* sheet = AsWorksheet(item)) {
        left.cells = &sheet->cells;
        // The formula's text does not tell which worksheet it reads; where reads are noted as
        // they are made, a reference never read (a branch not taken) is not.
        if (!written && !ReadsNoted(ctx)) NoteBuiltReference(ctx, left);
    } else {
        GatherFolderRange(ctx, left, *item);
    }
}

} // namespace

void Intersect(CEvalContext& ctx) {
    uint16_t n = ctx.valueCount;
    if (n < 3) {
        // Only the operator goes; the caller finds the extra operand.
        ctx.valueCount = uint16_t(n - 1);
        return;
    }
    if (!IsCellRange(ctx.values[n - 2]) || !IsCellRange(ctx.values[n - 1])) {
        // An array, a value or a range that is an error (a reversed one) shares no cells.
        ReleaseOperand(ctx, ctx.values[n - 1]);
        ReleaseOperand(ctx, ctx.values[n - 2]);
        MakeError(ctx.values[n - 2], kErrNull);
        ctx.valueCount = uint16_t(n - 2);
        return;
    }
    FormulaToken& left = AsRange(ctx.values[n - 2]);
    const FormulaToken right = AsRange(ctx.values[n - 1]);
    uint16_t c1 = std::max(left.firstColumn, right.firstColumn);
    uint16_t c2 = std::min(left.lastColumn, right.lastColumn);
    uint32_t r1 = std::max(left.firstRow, right.firstRow);
    uint32_t r2 = std::min(left.lastRow, right.lastRow);
    FormulaError error = MergeError(left.error, right.error);
    if (c1 > c2 || r1 > r2 || left.cells != right.cells) {
        MakeError(left, MergeError(error, kErrNull));
    } else {
        left.firstColumn = c1;
        left.lastColumn = c2;
        left.firstRow = r1;
        left.lastRow = r2;
        left.firstFlags |= kRefCell;
        left.lastFlags |= kRefCell;
        left.error = error;
        left.type = kTokenArea;
        if (c1 == c2 && r1 == r2) {
            left.type = kTokenReference;
            left.column = c1;
            left.row = r1;
            left.refFlags = left.firstFlags;
        }
    }
    ctx.valueCount = uint16_t(n - 2);
}

void MakeRange(CEvalContext& ctx) {
    uint16_t n = ctx.valueCount;
    FormulaToken& left = ctx.values[n - 2];
    FormulaToken& right = ctx.values[n - 1];
    if (left.type == kTokenReference && right.type == kTokenReference) {
        RangeOfReferences(left, right);
    } else if (left.type == kTokenArea && right.type == kTokenArea) {
        RangeOfRanges(left, right);
    } else {
        FormulaError error = MergeError(left.error, right.error);
        ReleaseOperand(ctx, right);
        ReleaseOperand(ctx, left);
        MakeError(left, error ? error : kErrValue);
    }
    ctx.valueCount = uint16_t(n - 2);
}

void Qualify(CEvalContext& ctx) {
    uint16_t n = ctx.valueCount;
    const bool written =
        ctx.values[n].type == kTokenQualifier && (ctx.values[n].refFlags & kQualifierWritten);
    FormulaToken& left = ctx.values[n - 2];
    FormulaToken& right = ctx.values[n - 1];
    ctx.valueCount = uint16_t(n - 2);
    if (!(right.type & (kTokenReference | kTokenArea))) {
        // The right operand is the newer one on the pool and the array stack.
        FormulaError error = MergeError(left.error, right.error);
        ReleaseOperand(ctx, right);
        ReleaseOperand(ctx, left);
        MakeError(left, error ? error : kErrValue);
        return;
    }
    // The name may come from a cell's text.
    const bool fromCell = left.type == kTokenReference && left.error == 0;
    if (fromCell) ResolveReferenceValue(ctx, left);
    FormulaError error = MergeError(left.error, right.error);
    if (left.type != kTokenText) {
        ReleaseOperand(ctx, left);
        MakeError(left, error ? error : kErrValue);
        return;
    }
    std::string_view name = Trim(ctx.stringPool.PopTempString());
    // A bare name carries #NAME? from the tokenizer, which a found item drops.
    if (right.error || (left.error && left.error != kErrName)) {
        MakeError(left, error);
        return;
    }
    ResolveQualifier(ctx, left, right, name, written && !fromCell);
}

} // namespace vl
