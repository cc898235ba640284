// An operator or a scalar function applied once per element of its range and array
// arguments, collecting the results into a temporary array.
#include "formula/arraylimits.h"
#include "formula/operands.h"
#include "formula/spreadreach.h"

#include <algorithm>
#include <memory>
#include <new>
#include <string>

namespace vl {

namespace {

struct Shape {
    uint16_t columns = 0;
    uint32_t rows = 0;
};

struct ElementArgument {
    bool elementwise = false;
    Shape shape;                   // element-wise: the argument's own shape
    Page* start = nullptr;         // element-wise: where its walk begins
    CellCursor cursor;             // element-wise: position in the range's store or array's chain
    const uint8_t* next = nullptr; // element-wise: the next stored cell, not yet passed
    bool exhausted = false;
    uint32_t lastRow = 0; // element-wise: the position asked for last
    uint16_t lastColumn = 0;
    Page* chain = nullptr; // an array's pages, held until the end
    std::string text;      // a whole text argument
    bool hasText = false;
};

Shape ShapeOf(const FormulaToken& t) {
    return {uint16_t(t.lastColumn - t.firstColumn + 1), t.lastRow - t.firstRow + 1};
}

// The shape of the result: a side of one cell repeats along the others' side (a column
// against a row makes a matrix); sides of different lengths above one do not pair.
bool CommonShape(const CEvalContext& ctx, const uint8_t* flags, uint16_t first, uint16_t count,
                 Shape& shape) {
    bool any = false;
    for (uint16_t i = 0; i < count; ++i) {
        if (!flags[i]) continue;
        Shape s = ShapeOf(ctx.values[first + i]);
        if (!any) {
            shape = s;
            any = true;
            continue;
        }
        if (s.columns != shape.columns && s.columns != 1 && shape.columns != 1) return false;
        if (s.rows != shape.rows && s.rows != 1 && shape.rows != 1) return false;
        shape.columns = std::max(shape.columns, s.columns);
        shape.rows = std::max(shape.rows, s.rows);
    }
    return any;
}

void Rewind(ElementArgument& arg) {
    arg.cursor = CellCursor{};
    arg.cursor.flags = kAdvance;
    arg.cursor.page = arg.start;
    arg.next = nullptr;
    arg.exhausted = !arg.start;
}

void Prepare(CEvalContext& ctx, FormulaToken& slot, bool elementwise, ElementArgument& arg) {
    arg.elementwise = elementwise;
    if (slot.type == kTokenArray) {
        arg.chain = ctx.scratch.PopPointer();
        if (elementwise) arg.start = arg.chain;
    } else if (elementwise) {
        arg.start = slot.cells ? slot.cells->StartPageForRow(slot.firstRow) : nullptr;
        if (slot.cells)
            NoteRead(ctx, slot.cells,
                     {slot.firstColumn, slot.firstRow, slot.lastColumn, slot.lastRow});
    } else if (slot.type == kTokenText) {
        arg.text.assign(ctx.stringPool.PopTempString());
        arg.hasText = true;
    }
    if (elementwise) arg.shape = ShapeOf(slot);
    Rewind(arg);
}

// The element-wise argument's next cell, peeked; its position from the top-left corner.
bool Peek(ElementArgument& arg, const FormulaToken& saved, uint32_t& row, uint16_t& column) {
    if (!arg.next && !arg.exhausted) {
        arg.next = NextCellInRectangle(arg.cursor, saved.firstColumn, saved.firstRow,
                                       saved.lastColumn, saved.lastRow);
        arg.exhausted = arg.next == nullptr;
    }
    if (!arg.next) return false;
    row = cell::Row(arg.next) - saved.firstRow;
    column = uint16_t(cell::Column(arg.next) - saved.firstColumn);
    return true;
}

// The argument's stored cell for the result's position (row, column), null where none is
// stored. A side of one cell is read again for every position along it; a row read for
// each row of the result starts its walk again.
const uint8_t* CellFor(ElementArgument& arg, const FormulaToken& saved, uint32_t row,
                       uint16_t column) {
    if (arg.shape.rows == 1) row = 0;
    if (arg.shape.columns == 1) column = 0;
    if (cell::Before(row, column, arg.lastRow, arg.lastColumn)) Rewind(arg);
    arg.lastRow = row;
    arg.lastColumn = column;
    uint32_t r = 0;
    uint16_t c = 0;
    while (Peek(arg, saved, r, c) && cell::Before(r, c, row, column)) arg.next = nullptr;
    return arg.next && r == row && c == column ? arg.next : nullptr;
}

Page* CopyChain(CEvalContext& ctx, const Page* chain) {
    Page* head = nullptr;
    Page* tail = nullptr;
    for (const Page* p = chain; p; p = p->next) {
        Page* copy = ctx.scratch.cells.AllocPage(true);
        if (!copy) {
            if (head) ctx.scratch.cells.FreePageChain(head);
            return nullptr;
        }
        copy->used = p->used;
        std::copy(p->payload, p->payload + p->used, copy->payload);
        copy->prev = tail;
        (tail ? tail->next : head) = copy;
        tail = copy;
    }
    return head;
}

// A whole array argument gets a fresh copy of its chain for every evaluation.
void FillWholeArray(CEvalContext& ctx, FormulaToken& slot, const ElementArgument& arg) {
    Page* copy = arg.chain ? CopyChain(ctx, arg.chain) : nullptr;
    if ((arg.chain && !copy) || !ctx.scratch.PushPointer(copy)) {
        if (copy) ctx.scratch.cells.FreePageChain(copy);
        slot.type = kTokenEmpty;
        slot.number = 0;
        slot.error = MergeError(slot.error, kErrValue);
    }
}

void FillElement(CEvalContext& ctx, FormulaToken& slot, ElementArgument& arg, uint32_t row,
                 uint16_t column) {
    FormulaToken saved = slot;
    ClearOperand(slot);
    const uint8_t* record = CellFor(arg, saved, row, column);
    if (!record) {
        slot.type = kTokenEmpty;
        slot.error = saved.error;
        return;
    }
    slot.cells = saved.type == kTokenArea ? saved.cells : nullptr;
    CellToOperand(ctx, slot, record);
    slot.error = MergeError(slot.error, saved.error);
}

// Pushes the arguments of one position, the first argument's temporaries oldest.
void FillArguments(CEvalContext& ctx, uint16_t first, uint16_t count, ElementArgument* args,
                   uint32_t row, uint16_t column) {
    for (uint16_t i = 0; i < count; ++i) {
        FormulaToken& slot = ctx.values[first + i];
        ElementArgument& arg = args[i];
        if (arg.elementwise) {
            FillElement(ctx, slot, arg, row, column);
        } else if (arg.hasText) {
            if (!ctx.stringPool.PushString(arg.text)) {
                slot.type = kTokenEmpty;
                slot.error = MergeError(slot.error, kErrValue);
            }
        } else if (slot.type == kTokenArray) {
            FillWholeArray(ctx, slot, arg);
        }
    }
}

// The one value a pass leaves: references are read, anything that is no single value is
// dropped with #VALUE!.
void SingleValue(CEvalContext& ctx, FormulaToken& result) {
    ResolveReferenceValue(ctx, result);
    if (result.type & (kTokenArea | kTokenArray)) {
        ReleaseOperand(ctx, result);
        result.type = kTokenEmpty;
        result.error = MergeError(result.error, kErrValue);
    }
}

// Drops the arguments: the call gives the error instead of a result.
void Refuse(CEvalContext& ctx, uint16_t first, uint16_t top, FormulaError error) {
    for (uint16_t i = top; i-- > first;) ReleaseOperand(ctx, ctx.values[i]);
    FormulaToken& slot = ctx.values[first];
    slot.type = kTokenEmpty;
    slot.number = 0;
    slot.cells = nullptr;
    slot.error = MergeError(slot.error, error);
}

} // namespace

bool ApplyElementwise(CEvalContext& ctx, const uint8_t* flags, uint16_t first) {
    const uint16_t top = ctx.valueCount;
    if (first == 0 || first >= top || top >= kStackSlots) return false;
    const uint16_t count = uint16_t(top - first);
    Shape shape;
    if (!CommonShape(ctx, flags, first, count, shape)) {
        Refuse(ctx, first, top, kErrValue);
        return false;
    }
    // The result has a position for every one of the shape's, filled or not.
    if (uint64_t(shape.columns) * shape.rows > kMaxArrayPositions) {
        Refuse(ctx, first, top, kErrMemory);
        return true;
    }
    // Calls of few arguments keep their working entries on the stack, as most calls have.
    constexpr uint16_t kLocal = 50;
    ElementArgument localArgs[kLocal];
    FormulaToken localSaved[kLocal];
    std::unique_ptr<ElementArgument[]> wideArgs;
    std::unique_ptr<FormulaToken[]> wideSaved;
    ElementArgument* args = localArgs;
    FormulaToken* saved = localSaved;
    if (count + 1 > kLocal) {
        wideArgs.reset(new (std::nothrow) ElementArgument[count]);
        wideSaved.reset(new (std::nothrow) FormulaToken[count + 1]);
        if (!wideArgs || !wideSaved) {
            Refuse(ctx, first, top, kErrMemory);
            return true;
        }
        args = wideArgs.get();
        saved = wideSaved.get();
    }
    for (uint16_t i = count; i-- > 0;) Prepare(ctx, ctx.values[first + i], flags[i] != 0, args[i]);
    for (uint16_t i = 0; i <= count; ++i) saved[i] = ctx.values[first + i];

    CArrayBuilder builder(ctx);
    bool memoryFailed = false;
    // An empty cell is a value too (0 to a number function, "" to a text function): every
    // position is evaluated, so that COS over empty cells gives 1s.
    for (uint32_t row = 0, column = 0; row < shape.rows;) {
        for (uint16_t i = 0; i <= count; ++i) ctx.values[first + i] = saved[i];
        FillArguments(ctx, first, count, args, row, uint16_t(column));
        ctx.valueCount = top;
        if (!EvalToken(ctx)) {
            ctx.valueCount = top;
            break;
        }
        FormulaToken& result = ctx.values[ctx.valueCount];
        SingleValue(ctx, result);
        bool stored = builder.Put(uint16_t(column), row, result);
        ctx.valueCount = top;
        if (!stored) {
            memoryFailed = true;
            break;
        }
        if (++column == shape.columns) {
            column = 0;
            ++row;
        }
    }
    for (uint16_t i = 0; i <= count; ++i) ctx.values[first + i] = saved[i];
    for (uint16_t i = 0; i < count; ++i)
        if (args[i].chain) ctx.scratch.cells.FreePageChain(args[i].chain);

    FormulaToken& slot = ctx.values[first];
    slot.error = memoryFailed ? MergeError(slot.error, kErrMemory) : saved[0].error;
    PushArrayValue(ctx, slot, builder.Detach(), shape.columns, shape.rows);
    return true;
}

} // namespace vl
