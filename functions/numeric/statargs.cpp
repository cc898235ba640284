#include "functions/numeric/statargs.h"

#include "formula/edit/permsort.h"
#include "formula/edit/sortkey.h"

#include <algorithm>

namespace vl {

FormulaError AreaWalk::Take(FormulaToken& slot) {
    FormulaError error = walk.Take(slot);
    cells = slot.type == kTokenArea ? slot.cells : nullptr;
    if (slot.type == kTokenArray) slot.type = kTokenEmpty;
    return error;
}

void AreaWalk::Load(CEvalContext& ctx, const uint8_t* record, FormulaToken& slot) const {
    ClearOperand(slot);
    slot.cells = cells;
    CellToOperand(ctx, slot, record);
}

void ConvertCell(CEvalContext& ctx, const AreaWalk& area, const uint8_t* record, ListValue& value) {
    FormulaToken slot;
    area.Load(ctx, record, slot);
    const bool text = slot.type == kTokenText && slot.error == 0;
    value.number = 0;
    value.error = GetListNumber(ctx, slot, value.number);
    value.type = slot.type;
    value.leftOut = text && value.error != 0;
}

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

void GatherDataItems(CEvalContext& ctx, AreaWalk& area, std::vector<DataItem>& items) {
    while (const uint8_t* record = area.Next()) {
        DataItem item;
        item.error = FormulaError(record[0] & 0xF0);
        if (cell::IsText(record)) {
            item.isText = true;
            item.text = cell::Text(record);
        } else if (cell::IsFormula(record) && (cell::ResultFlags(record) & kResultText)) {
            item.isText = true;
            item.text = cell::CachedText(record);
        }
        FormulaToken slot;
        area.Load(ctx, record, slot);
        item.conversion = GetNumberArg(ctx, slot, item.number);
        item.record = record;
        // A text that is no number (a header, "", blanks, which read as 0) is no datum.
        const bool blanks = item.text.find_first_not_of(' ') == std::string_view::npos;
        if (item.isText && !item.error && (item.conversion || blanks)) continue;
        items.push_back(item);
    }
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
    const CRangeWalk& walk = area.walk;
    uint64_t count = uint64_t(walk.Rows()) * walk.Columns();
    if (count > kMaxAreaPositions || !MatrixResize(positions, walk.Rows(), walk.Columns(), 0))
        return kErrMemory;
    ZeroMatrix(positions);
    FormulaError error = 0;
    while (const uint8_t* record = area.Next()) {
        FormulaToken slot;
        area.Load(ctx, record, slot);
        if (slot.error) {
            ReleaseOperand(ctx, slot);
            continue;
        }
        const bool text = slot.type == kTokenText;
        TextToNumberOperand(ctx, slot);
        if (slot.type == kTokenNumber)
            *MatrixAt(positions, walk.RowOffset() + 1, walk.ColumnOffset() + 1u) = slot.number;
        else if (text && codesOnly)
            error = kErrValue;
    }
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
