// The calling convention of built-in functions: where a call finds its arguments and
// where its one result goes.
#include "formula/formulanumber.h"
#include "formula/functable.h"
#include "formula/operands.h"

#include <cmath>

namespace vl {

namespace {

FormulaToken& ResultSlot(CEvalContext& ctx) {
    return ctx.values[FirstArgument(ctx)];
}

void Finish(CEvalContext& ctx) {
    ctx.valueCount = FirstArgument(ctx);
}

} // namespace

uint16_t FirstArgument(const CEvalContext& ctx) {
    uint16_t top = ctx.valueCount;
    if (top == 0 || top >= kStackSlots) return top;
    uint16_t first = ctx.values[top].firstArgument;
    return first == 0 || first > top ? top : first;
}

uint16_t ArgumentCount(const CEvalContext& ctx) {
    return uint16_t(ctx.valueCount - FirstArgument(ctx));
}

FormulaToken& Argument(CEvalContext& ctx, uint16_t i) {
    return ctx.values[FirstArgument(ctx) + i];
}

namespace {

// Trailing arguments left out of a call whose function gives them defaults: empty
// arguments are put in their place, the call entry moving up above them.
void PadOmittedArguments(CEvalContext& ctx, uint16_t count, uint16_t minimum) {
    const uint16_t top = ctx.valueCount;
    if (top == 0 || top >= kStackSlots) return;
    const FormulaToken call = ctx.values[top];
    if (call.type != kTokenFunction) return;
    if (count < RequiredArguments(call.functionIndex)) return;
    const uint16_t added = uint16_t(minimum - count);
    if (top + added >= kStackSlots) return;
    ctx.values[top + added] = call;
    for (uint16_t i = 0; i < added; ++i) ClearOperand(ctx.values[top + i]).type = kTokenEmpty;
    ctx.valueCount = uint16_t(top + added);
}

} // namespace

bool CheckArgumentCount(CEvalContext& ctx, uint16_t minimum, uint16_t maximum) {
    uint16_t count = ArgumentCount(ctx);
    if (count < minimum) {
        PadOmittedArguments(ctx, count, minimum);
        count = ArgumentCount(ctx);
    }
    if (count >= minimum && count <= maximum) return true;
    ctx.status = kErrSyntax;
    return false;
}

bool ApplyOverArrays(CEvalContext& ctx) {
    uint16_t first = FirstArgument(ctx);
    uint16_t count = ArgumentCount(ctx);
    if (count > kMaxArguments) return false;
    uint8_t flags[kMaxArguments]; // each one below the count is set
    bool any = false;
    for (uint16_t i = 0; i < count; ++i) {
        flags[i] = (ctx.values[first + i].type & kAreaOrArray) ? 1 : 0;
        any = any || flags[i];
    }
    if (!any) return false;
    ApplyElementwise(ctx, flags, first);
    ctx.valueCount = first;
    return true;
}

void ReleaseArguments(CEvalContext& ctx) {
    uint16_t first = FirstArgument(ctx);
    for (uint16_t i = ctx.valueCount; i-- > first;) ReleaseOperand(ctx, ctx.values[i]);
}

void ReturnNumber(CEvalContext& ctx, double value, FormulaError error) {
    FormulaToken& slot = ClearOperand(ResultSlot(ctx));
    slot.type = kTokenNumber;
    slot.number = value;
    slot.error = error == 0 && IsOutOfRange(value) ? kErrNum : error;
    Finish(ctx);
}

void ReturnUncheckedNumber(CEvalContext& ctx, double value, FormulaError error) {
    FormulaToken& slot = ClearOperand(ResultSlot(ctx));
    slot.type = kTokenNumber;
    slot.number = value;
    slot.error = error == 0 && !std::isfinite(value) ? kErrNum : error;
    ctx.subnormalResult = true;
    Finish(ctx);
}

void ReturnText(CEvalContext& ctx, std::string_view text) {
    FormulaToken& slot = ClearOperand(ResultSlot(ctx));
    if (ctx.stringPool.PushString(text)) {
        slot.type = kTokenText;
    } else {
        slot.type = kTokenEmpty;
        slot.error = kErrValue;
    }
    Finish(ctx);
}

void ReturnError(CEvalContext& ctx, FormulaError error) {
    FormulaToken& slot = ClearOperand(ResultSlot(ctx));
    slot.type = kTokenNumber;
    slot.error = error;
    Finish(ctx);
}

void ReturnErrorEntry(CEvalContext& ctx, FormulaError error) {
    FormulaToken& slot = ClearOperand(ResultSlot(ctx));
    slot.type = kTokenEmpty;
    slot.error = error;
    Finish(ctx);
}

void ReturnArray(CEvalContext& ctx, Page* chain, uint16_t columns, uint32_t rows,
                 FormulaError error) {
    FormulaToken& slot = ClearOperand(ResultSlot(ctx));
    slot.error = error;
    PushArrayValue(ctx, slot, chain, columns, rows);
    Finish(ctx);
}

bool PushArrayValue(CEvalContext& ctx, FormulaToken& slot, Page* chain, uint16_t columns,
                    uint32_t rows) {
    if (columns == 0 || rows == 0 || !ctx.scratch.PushPointer(chain)) {
        if (chain) ctx.scratch.cells.FreePageChain(chain);
        slot.type = kTokenEmpty;
        slot.number = 0;
        slot.cells = nullptr;
        slot.error = MergeError(slot.error, columns == 0 || rows == 0 ? kErrRef : kErrMemory);
        return false;
    }
    InitArrayEntry(slot, columns, rows);
    return true;
}

} // namespace vl
