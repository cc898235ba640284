// INDEX: a cell, a row, a column or the whole of a range or array, or rows or columns
// picked by a vector of numbers.
#include "functions/general/argumentarea.h"
#include "functions/general/generalargs.h"
#include "functions/general/referencefunctions.h"

namespace vl {

namespace {

// A row or column number, or a vector of them.
struct Selector {
    bool vector = false;
    int32_t number = 0; // 0: all
};

FormulaError ReadSelector(CEvalContext& ctx, FormulaToken& slot, int32_t maximum,
                          CArgumentArea& vector, Selector& s) {
    s.vector = (slot.type & kAreaOrArray) != 0;
    if (s.vector) return vector.Take(slot);
    return GetIntArg(ctx, slot, s.number, 0, maximum);
}

// Copies the stored cells of one row (or column) of x to row (column) `to` of the result.
bool CopyLine(const CArgumentArea& x, bool row, uint32_t from, uint32_t to,
              CArrayBuilder& builder) {
    CellRange part = row ? CellRange{0, from, uint16_t(x.Columns() - 1), from}
                         : CellRange{uint16_t(from), 0, uint16_t(from), x.Rows() - 1};
    CArgumentArea::CPartWalk walk(x, part);
    while (const uint8_t* record = walk.Next()) {
        uint16_t column = row ? walk.ColumnOffset() : uint16_t(to);
        uint32_t r = row ? to : walk.RowOffset();
        if (!x.CopyCell(record, column, r, builder)) return false;
    }
    return true;
}

// Rows (or columns) of x in the order the vector's stored numbers name them; a number that
// names none gives an empty line, an element with an error ends the walk with it.
void ReturnPicked(CEvalContext& ctx, const CArgumentArea& x, const CArgumentArea& vector,
                  bool rows) {
    CArrayBuilder builder(ctx);
    const uint32_t lines = rows ? x.Rows() : x.Columns();
    uint32_t count = 0;
    CArgumentArea::CPartWalk walk(
        vector, CellRange{0, 0, uint16_t(vector.Columns() - 1), vector.Rows() - 1});
    while (const uint8_t* record = walk.Next()) {
        FormulaToken value;
        vector.ReadValue(record, value);
        int32_t k = 0;
        if (FormulaError error = GetIntArg(ctx, value, k, INT32_MIN + 1, INT32_MAX))
            return ReturnError(ctx, error);
        if (k >= 1 && uint32_t(k) <= lines && !CopyLine(x, rows, uint32_t(k) - 1, count, builder))
            return ReturnError(ctx, kErrMemory);
        ++count;
    }
    if (rows) return ReturnArray(ctx, builder.Detach(), x.Columns(), count);
    ReturnArray(ctx, builder.Detach(), uint16_t(count), x.Rows());
}

// One row (or column) of an array as a new array.
void ReturnLine(CEvalContext& ctx, const CArgumentArea& x, bool row, uint32_t line) {
    CArrayBuilder builder(ctx);
    if (!CopyLine(x, row, line, 0, builder)) return ReturnError(ctx, kErrMemory);
    if (row) return ReturnArray(ctx, builder.Detach(), x.Columns(), 1);
    ReturnArray(ctx, builder.Detach(), 1, x.Rows());
}

FormulaToken RangeOf(const FormulaToken& x, const CellRange& r) {
    FormulaToken t;
    t.cells = x.cells;
    if (r.c1 == r.c2 && r.r1 == r.r2) {
        t.type = kTokenReference;
        t.column = r.c1;
        t.row = r.r1;
        t.refFlags = kRefCell;
        return t;
    }
    t.type = kTokenArea;
    t.firstColumn = r.c1;
    t.firstRow = r.r1;
    t.lastColumn = r.c2;
    t.lastRow = r.r2;
    t.firstFlags = t.lastFlags = kRefCell;
    return t;
}

// m and n both numbers: a cell, a row, a column or all of x.
void ReturnSelected(CEvalContext& ctx, const FormulaToken& slot, CArgumentArea& x, uint32_t m,
                    uint32_t n) {
    if (m > x.Rows() || n > x.Columns()) return ReturnError(ctx, kErrRef);
    const CellRange& r = x.Rectangle();
    const bool range = x.Store() != nullptr;
    if (m && n) {
        if (range)
            return ReturnValue(ctx, RangeOf(slot, {uint16_t(r.c1 + n - 1), r.r1 + m - 1,
                                                   uint16_t(r.c1 + n - 1), r.r1 + m - 1}));
        FormulaToken value;
        x.ReadValue(x.CellAt(m - 1, n - 1), value);
        return ReturnValue(ctx, value);
    }
    if (m) {
        if (range) return ReturnValue(ctx, RangeOf(slot, {r.c1, r.r1 + m - 1, r.c2, r.r1 + m - 1}));
        return ReturnLine(ctx, x, true, m - 1);
    }
    if (n) {
        CellRange column{uint16_t(r.c1 + n - 1), r.r1, uint16_t(r.c1 + n - 1), r.r2};
        if (range) return ReturnValue(ctx, RangeOf(slot, column));
        return ReturnLine(ctx, x, false, n - 1);
    }
    if (range) return ReturnValue(ctx, RangeOf(slot, r));
    uint16_t columns = x.Columns();
    uint32_t rows = x.Rows();
    ReturnArray(ctx, x.DetachChain(), columns, rows);
}

void Index(CEvalContext& ctx) {
    if (!CheckArgumentCount(ctx, 3, 3)) return;
    CArgumentArea columns(ctx), rows(ctx), x(ctx);
    Selector m, n;
    FormulaError error = ReadSelector(ctx, Argument(ctx, 2), kMaxColumns, columns, n);
    error = MergeError(error, ReadSelector(ctx, Argument(ctx, 1), int32_t(kMaxRows), rows, m));
    const FormulaToken slot = Argument(ctx, 0);
    error = MergeError(error, x.Take(Argument(ctx, 0)));
    if (error) return ReturnError(ctx, error);
    if (m.vector && !n.vector && n.number == 0) return ReturnPicked(ctx, x, rows, true);
    if (n.vector && !m.vector && m.number == 0) return ReturnPicked(ctx, x, columns, false);
    // A vector beside a number or another vector picks nothing settled.
    if (m.vector || n.vector) return ReturnError(ctx, kErrValue);
    ReturnSelected(ctx, slot, x, uint32_t(m.number), uint32_t(n.number));
}

} // namespace

void BindIndexFunction() {
    BindBuiltinFunction("INDEX", &Index);
}

} // namespace vl
