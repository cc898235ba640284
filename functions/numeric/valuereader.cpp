#include "functions/numeric/valuereader.h"

#include <new>

namespace vl {

namespace {

void Decided(ListValue& out, ValueFate fate, double number, FormulaError error) {
    out.fate = fate;
    out.number = number;
    out.error = error;
    out.type = fate == ValueFate::Number ? kTokenNumber : kTokenEmpty;
    out.leftOut = fate == ValueFate::LeftOut;
}

} // namespace

uint64_t LinearPlace(const CRangeWalk& walk) {
    return uint64_t(walk.RowOffset()) * kMaxColumns + walk.ColumnOffset();
}

void ReadValue(CEvalContext& ctx, ValueShape shape, FormulaToken& value, RangeTexts texts,
               ListValue& out) {
    if (shape == ValueShape::Constant) {
        // The A forms count a text they are given as 0, whatever it writes.
        if (texts == RangeTexts::Zero && value.type == kTokenText && value.error == 0) {
            ReleaseOperand(ctx, value);
            Decided(out, ValueFate::Number, 0, 0);
            return;
        }
        // A constant converts as any number argument does: a numeric text is its number.
        double x = 0;
        const FormulaError error = GetListNumber(ctx, value, x);
        Decided(out, error ? ValueFate::Error : ValueFate::Number, x, error);
        out.type = error ? kTokenEmpty : value.type;
        return;
    }
    ResolveReferenceValue(ctx, value);
    if (value.error) {
        const FormulaError error = value.error;
        ReleaseOperand(ctx, value);
        Decided(out, ValueFate::Error, 0, error);
        return;
    }
    if (value.type == kTokenNumber) {
        Decided(out, ValueFate::Number, value.number, 0);
        return;
    }
    const bool text = value.type == kTokenText;
    ReleaseOperand(ctx, value);
    if (text && texts == RangeTexts::Zero)
        Decided(out, ValueFate::Number, 0, 0);
    else
        Decided(out, ValueFate::LeftOut, 0, 0);
}

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

void ReadCell(CEvalContext& ctx, const AreaWalk& area, const uint8_t* record, RangeTexts texts,
              ListValue& value) {
    FormulaToken slot;
    area.Load(ctx, record, slot);
    ReadValue(ctx, area.Shape(), slot, texts, value);
}

FormulaError ReadNumbersInOrder(CEvalContext& ctx, uint16_t first, uint16_t last,
                                std::vector<double>& numbers) {
    // Out of memory, every argument is still read, so that none is left on the stacks.
    FormulaError error = 0;
    bool memory = false;
    std::vector<std::vector<double>> runs;
    try {
        runs.resize(last - first);
    } catch (const std::bad_alloc&) {
        memory = true;
    }
    for (uint16_t i = last; i-- > first;) {
        ReadArgumentValues(ctx, i, [&](const ListValue& v) {
            if (v.fate == ValueFate::Error) error = MergeError(error, v.error);
            if (error || memory) return;
            try {
                runs[i - first].push_back(v.number);
            } catch (const std::bad_alloc&) {
                memory = true;
            }
        });
    }
    try {
        for (const std::vector<double>& run : runs)
            numbers.insert(numbers.end(), run.begin(), run.end());
    } catch (const std::bad_alloc&) {
        memory = true;
    }
    return memory ? MergeError(error, kErrMemory) : error;
}

namespace {

// A cell of an argument whose numbers are codes: a text is read as the number it writes,
// any other text is #VALUE!.
void ReadCode(CEvalContext& ctx, const AreaWalk& area, const uint8_t* record, ListValue& v) {
    FormulaToken slot;
    area.Load(ctx, record, slot);
    if (slot.type != kTokenText || slot.error) {
        ReadValue(ctx, area.Shape(), slot, RangeTexts::LeftOut, v);
        return;
    }
    TextToNumberOperand(ctx, slot);
    if (slot.type == kTokenNumber)
        Decided(v, ValueFate::Number, slot.number, 0);
    else
        Decided(v, ValueFate::Error, 0, kErrValue);
}

} // namespace

FormulaError ReadPositionGrid(CEvalContext& ctx, AreaWalk& area, PositionGrid& grid,
                              uint64_t maxPositions, bool codesOnly) {
    const CRangeWalk& walk = area.walk;
    grid.rows = walk.Rows();
    grid.columns = walk.Columns();
    const uint64_t count = uint64_t(grid.rows) * grid.columns;
    if (count > maxPositions) return kErrMemory;
    try {
        grid.numbers.assign(count, 0);
        grid.present.assign(count, 0);
    } catch (const std::bad_alloc&) {
        return kErrMemory;
    }
    FormulaError error = 0;
    while (const uint8_t* record = area.Next()) {
        ListValue v;
        if (codesOnly)
            ReadCode(ctx, area, record, v);
        else
            ReadCell(ctx, area, record, RangeTexts::LeftOut, v);
        const uint64_t place = uint64_t(walk.RowOffset()) * grid.columns + walk.ColumnOffset();
        if (v.fate == ValueFate::Error) {
            error = MergeError(error, v.error);
        } else if (v.fate == ValueFate::Number) {
            grid.numbers[place] = v.number;
            grid.present[place] = 1;
        }
    }
    return error;
}

FormulaError ReadPairs(CEvalContext& ctx, uint16_t firstIndex, uint16_t secondIndex,
                       std::vector<double>& first, std::vector<double>& second, bool& sameShape) {
    AreaWalk b(ctx), a(ctx);
    FormulaError error = b.Take(Argument(ctx, secondIndex));
    error = MergeError(error, a.Take(Argument(ctx, firstIndex)));
    sameShape = a.walk.Rows() == b.walk.Rows() && a.walk.Columns() == b.walk.Columns();
    if (error || !sameShape) return error;
    // Both walks visit their stored cells in the same order of places; a place stored on
    // one side only is blank on the other, which leaves the pair out.
    const uint8_t* ra = a.Next();
    const uint8_t* rb = b.Next();
    while (ra || rb) {
        const uint64_t pa = ra ? LinearPlace(a.walk) : UINT64_MAX;
        const uint64_t pb = rb ? LinearPlace(b.walk) : UINT64_MAX;
        ListValue va, vb;
        va.fate = vb.fate = ValueFate::LeftOut;
        if (pa <= pb) {
            ReadCell(ctx, a, ra, RangeTexts::LeftOut, va);
            ra = a.Next();
        }
        if (pb <= pa) {
            ReadCell(ctx, b, rb, RangeTexts::LeftOut, vb);
            rb = b.Next();
        }
        if (va.fate == ValueFate::Error) error = MergeError(error, va.error);
        if (vb.fate == ValueFate::Error) error = MergeError(error, vb.error);
        if (error || va.fate != ValueFate::Number || vb.fate != ValueFate::Number) continue;
        try {
            first.push_back(va.number);
            second.push_back(vb.number);
        } catch (const std::bad_alloc&) {
            error = kErrMemory;
        }
    }
    return error;
}

} // namespace vl
