#include "functions/general/arrayfunctions.h"

#include "formula/approxnumber.h"
#include "formula/edit/rowsort.h"
#include "functions/general/argumentarea.h"
#include "functions/general/generalargs.h"

#include <memory>
#include <new>

namespace vl {

namespace {

// The argument's cells from position (0, 0) in a store of their own, which SortRows
// indexes: a range's cells are copied as values, an array's pages taken over. The pages
// go back to the scratch store at the end.
class CSortStore {
public:
    explicit CSortStore(CEvalContext& ctx) : ctx_(ctx) {}
    ~CSortStore() {
        Page* chain = store_.DetachPages(true);
        if (chain) ctx_.scratch.cells.FreePageChain(chain);
    }
    CSortStore(const CSortStore&) = delete;
    CSortStore& operator=(const CSortStore&) = delete;

    FormulaError Take(FormulaToken& slot) {
        CArgumentArea area(ctx_);
        if (FormulaError error = area.Take(slot)) return error;
        columns_ = area.Columns();
        rows_ = area.Rows();
        if (!area.Store()) {
            store_.AdoptPages(area.DetachChain());
            return 0;
        }
        CArrayBuilder builder(ctx_);
        CArgumentArea::CPartWalk walk(area, CellRange{0, 0, uint16_t(columns_ - 1), rows_ - 1});
        while (const uint8_t* record = walk.Next())
            if (!area.CopyCell(record, walk.ColumnOffset(), walk.RowOffset(), builder))
                return kErrMemory;
        store_.AdoptPages(builder.Detach());
        return 0;
    }

    CCellStore& Store() { return store_; }
    uint16_t Columns() const { return columns_; }
    uint32_t Rows() const { return rows_; }

private:
    CEvalContext& ctx_;
    CCellStore store_;
    uint16_t columns_ = 0;
    uint32_t rows_ = 0;
};

// The rows in sorted order, or null when the heap refuses the vector.
std::unique_ptr<uint32_t[]> SortedRows(CEvalContext& ctx, CSortStore& source, uint32_t keys,
                                       const uint16_t* columns, const uint8_t* ascending) {
    std::unique_ptr<uint32_t[]> order(new (std::nothrow) uint32_t[source.Rows()]);
    if (order)
        SortRows(ctx, source.Store(), 0, source.Rows() - 1, keys, columns, ascending, order.get());
    return order;
}

// The array's row numbers, from 1, in the order that sorts the rows by the key columns.
void Sort(CEvalContext& ctx) {
    if (!CheckArgumentCount(ctx, 3, kMaxArguments)) return;
    const uint16_t count = ArgumentCount(ctx);
    if (count % 2 == 0) {
        ReleaseArguments(ctx);
        return ReturnError(ctx, kErrValue);
    }
    const uint32_t keys = (count - 1) / 2;
    uint16_t columns[kMaxArguments] = {};
    uint8_t ascending[kMaxArguments] = {};
    FormulaError error = 0;
    for (uint32_t k = keys; k-- > 0;) {
        int32_t order = 1, column = 0;
        error = MergeError(error, GetIntArg(ctx, Argument(ctx, uint16_t(2 + 2 * k)), order, 0, 1));
        FormulaError e = GetIntArg(ctx, Argument(ctx, uint16_t(1 + 2 * k)), column, 1, kMaxColumns);
        // A column left empty names none.
        if (e == 0 && column == 0) e = kErrNum;
        error = MergeError(error, e);
        columns[k] = uint16_t(column - 1);
        ascending[k] = uint8_t(order);
    }
    CSortStore source(ctx);
    error = MergeError(error, source.Take(Argument(ctx, 0)));
    if (error) return ReturnError(ctx, error);
    std::unique_ptr<uint32_t[]> order = SortedRows(ctx, source, keys, columns, ascending);
    if (!order) return ReturnError(ctx, kErrMemory);
    CArrayBuilder builder(ctx);
    for (uint32_t k = 0; k < source.Rows(); ++k) {
        CellBuffer b;
        MakeNumberCell(b, 0, k, double(order[k]) + 1);
        if (!builder.PutRecord(b.bytes)) return ReturnError(ctx, kErrMemory);
    }
    ReturnArray(ctx, builder.Detach(), 1, source.Rows());
}

bool CopyValue(const uint8_t* record, uint16_t column, uint32_t row, CArrayBuilder& builder) {
    CellBuffer b;
    if (cell::IsText(record)) {
        if (!MakeTextCell(b, column, row, cell::Text(record))) return false;
        cell::SetError(b.bytes, cell::Error(record));
    } else {
        MakeNumberCell(b, column, row, cell::Number(record), cell::Error(record));
    }
    return builder.PutRecord(b.bytes);
}

// One result row of UNIQUE: type 0 the position of the group's first row, 1 its value, 2
// its value and the group's size.
bool PutGroup(CArrayBuilder& builder, int32_t type, const uint8_t* head, uint32_t headRow,
              uint32_t size, uint32_t group) {
    CellBuffer b;
    if (type == 0) {
        MakeNumberCell(b, 0, group, double(headRow) + 1);
        return builder.PutRecord(b.bytes);
    }
    if (!CopyValue(head, 0, group, builder)) return false;
    if (type == 1) return true;
    MakeNumberCell(b, 1, group, double(size));
    return builder.PutRecord(b.bytes);
}

// Values the sort takes for equal, or numbers equal to 15 significant digits, which the sort
// puts next to each other.
bool SameGroup(CEvalContext& ctx, const uint8_t* head, const uint8_t* record) {
    const uint8_t ascending = 1;
    if (CompareRows(ctx, &head, &record, 1, &ascending) == 0) return true;
    return cell::IsNumber(head) && cell::IsNumber(record) && !cell::Error(head) &&
           !cell::Error(record) && ApproxEqual(cell::Number(head), cell::Number(record));
}

// The rows sorted on the column, each run of values the sort takes for equal one group: the
// sort's order puts every value next to those equal to it, wherever they stood. Empty
// cells take no part; each error code is a group of its own.
void Unique(CEvalContext& ctx) {
    if (!CheckArgumentCount(ctx, 2, 2)) return;
    int32_t type = 1;
    FormulaError error = GetIntArg(ctx, Argument(ctx, 1), type, 0, 2);
    CSortStore source(ctx);
    error = MergeError(error, source.Take(Argument(ctx, 0)));
    if (error == 0 && source.Columns() != 1) error = kErrValue;
    if (error) return ReturnError(ctx, error);
    const uint16_t column = 0;
    const uint8_t ascending = 1;
    std::unique_ptr<uint32_t[]> order = SortedRows(ctx, source, 1, &column, &ascending);
    if (!order) return ReturnError(ctx, kErrMemory);
    CArrayBuilder builder(ctx);
    const uint32_t rows = source.Rows();
    uint32_t groups = 0, headRow = 0, size = 0;
    const uint8_t* head = nullptr;
    for (uint32_t k = 0; k <= rows; ++k) {
        const uint8_t* record = k < rows ? FindCell(source.Store(), order[k], 0) : nullptr;
        if (k < rows && !record) continue;
        if (head && record && SameGroup(ctx, head, record)) {
            ++size;
            continue;
        }
        if (head && !PutGroup(builder, type, head, headRow, size, groups++))
            return ReturnError(ctx, kErrMemory);
        head = record;
        headRow = k < rows ? order[k] : 0;
        size = 1;
    }
    ReturnArray(ctx, builder.Detach(), type == 2 ? 2 : 1, groups);
}

// Rows become columns; the result is written row by row, one source column at a time.
void Transpose(CEvalContext& ctx) {
    if (!CheckArgumentCount(ctx, 1, 1)) return;
    CArgumentArea source(ctx);
    if (FormulaError error = source.Take(Argument(ctx, 0))) return ReturnError(ctx, error);
    if (source.Rows() >= kMaxColumns) return ReturnError(ctx, kErrRef);
    CArrayBuilder builder(ctx);
    for (uint16_t column = 0; column < source.Columns(); ++column) {
        CArgumentArea::CPartWalk walk(source, CellRange{column, 0, column, source.Rows() - 1});
        while (const uint8_t* record = walk.Next())
            if (!source.CopyCell(record, uint16_t(walk.RowOffset()), column, builder))
                return ReturnError(ctx, kErrMemory);
    }
    ReturnArray(ctx, builder.Detach(), uint16_t(source.Rows()), source.Columns());
}

} // namespace

void BindArrayFunctions() {
    BindBuiltinFunction("SORT", &Sort);
    BindBuiltinFunction("UNIQUE", &Unique);
    BindBuiltinFunction("TRANSPOSE", &Transpose);
}

} // namespace vl
