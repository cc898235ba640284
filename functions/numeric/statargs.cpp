#include "functions/numeric/statargs.h"

#include "formula/edit/permsort.h"
#include "formula/edit/sortkey.h"

#include <algorithm>

namespace vl {

bool ApplyOverParameters(CEvalContext& ctx, std::initializer_list<uint16_t> parameters) {
    uint16_t count = ArgumentCount(ctx);
    if (count > kMaxArguments) return false;
    uint8_t flags[kMaxArguments];
    std::fill_n(flags, count, uint8_t(0));
    bool any = false;
    for (uint16_t i : parameters) {
        if (i >= count || !(Argument(ctx, i).type & kAreaOrArray)) continue;
        flags[i] = 1;
        any = true;
    }
    if (!any) return false;
    uint16_t first = FirstArgument(ctx);
    ApplyElementwise(ctx, flags, first);
    ctx.valueCount = first;
    return true;
}

FormulaError GatherDataItems(CEvalContext& ctx, AreaWalk& area, std::vector<DataItem>& items) {
    FormulaError error = 0;
    while (const uint8_t* record = area.Next()) {
        ListValue v;
        ReadCell(ctx, area, record, RangeTexts::LeftOut, v);
        if (v.fate == ValueFate::Error) error = MergeError(error, v.error);
        if (v.fate != ValueFate::Number || error) continue;
        DataItem item;
        item.number = v.number;
        item.record = record;
        items.push_back(item);
    }
    return error;
}

namespace {

// The items' cells compared one against the pivot by their keys, made once for each item.
class CItemKeys {
public:
    CItemKeys(const std::vector<SortKey>& keys, bool ascending)
        : keys_(keys), ascending_(ascending) {}
    bool HasKey(const DataItem& item) const { return item.record != nullptr; }
    void LoadPivot(const DataItem& item) { pivot_ = &keys_[item.position]; }
    int RowToPivot(const DataItem& item) const {
        return CompareSortKeys(keys_[item.position], *pivot_, ascending_);
    }
    int PivotToRow(const DataItem& item) const {
        return CompareSortKeys(*pivot_, keys_[item.position], ascending_);
    }
    uint32_t Position(const DataItem& item) const { return item.position; }

private:
    const std::vector<SortKey>& keys_;
    bool ascending_;
    const SortKey* pivot_ = nullptr;
};

} // namespace

void SortDataItems(std::vector<DataItem>& items, bool ascending) {
    std::vector<SortKey> keys(items.size());
    for (uint32_t i = 0; i < items.size(); ++i) {
        items[i].position = i;
        keys[i] = MakeSortKey(items[i].record);
    }
    CItemKeys order(keys, ascending);
    CPermutationSort<CItemKeys, DataItem>(order, items.data()).Sort(uint32_t(items.size()));
}

FormulaError ReadAreaPositions(CEvalContext& ctx, AreaWalk& area, Matrix& positions,
                               bool codesOnly) {
    PositionGrid grid;
    FormulaError error = ReadPositionGrid(ctx, area, grid, kMaxAreaPositions, codesOnly);
    if (error == kErrMemory) return error;
    if (!MatrixResize(positions, grid.rows, grid.columns, 0)) return kErrMemory;
    ZeroMatrix(positions);
    for (uint32_t r = 0; r < grid.rows; ++r)
        for (uint32_t c = 0; c < grid.columns; ++c)
            *MatrixAt(positions, r + 1, c + 1) = grid.numbers[std::size_t(r) * grid.columns + c];
    return error;
}

FormulaError ReadPairedAreas(CEvalContext& ctx, uint16_t firstIndex, uint16_t secondIndex,
                             Matrix& first, Matrix& second, bool& sameShape) {
    AreaWalk b(ctx), a(ctx);
    FormulaError error = b.Take(Argument(ctx, secondIndex));
    error = JoinError(error, a.Take(Argument(ctx, firstIndex)));
    sameShape = a.walk.Rows() == b.walk.Rows() && a.walk.Columns() == b.walk.Columns();
    if (error || !sameShape) return error;
    error = ReadAreaPositions(ctx, a, first);
    return JoinError(error, ReadAreaPositions(ctx, b, second));
}

void ReturnColumn(CEvalContext& ctx, const double* values, uint32_t count) {
    CArrayBuilder builder(ctx);
    for (uint32_t row = 0; row < count; ++row) {
        FormulaToken cell;
        cell.type = kTokenNumber;
        cell.number = values[row];
        if (IsOutOfRange(cell.number)) cell.error = kErrNum;
        if (!builder.Put(0, row, cell)) {
            ReleaseArguments(ctx);
            ReturnError(ctx, kErrMemory);
            return;
        }
    }
    ReturnArray(ctx, builder.Detach(), 1, count);
}

} // namespace vl
