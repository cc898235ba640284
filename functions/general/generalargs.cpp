#include "functions/general/generalargs.h"

namespace vl {

bool ApplyOverArraysOf(CEvalContext& ctx, uint32_t mask) {
    uint16_t first = FirstArgument(ctx);
    uint16_t count = ArgumentCount(ctx);
    uint8_t flags[kStackSlots] = {};
    bool any = false;
    for (uint16_t i = 0; i < count && i < 32; ++i) {
        bool eligible = (mask >> i) & 1u;
        flags[i] = eligible && (ctx.values[first + i].type & kAreaOrArray) ? 1 : 0;
        any = any || flags[i];
    }
    if (!any) return false;
    ApplyElementwise(ctx, flags, first);
    ctx.valueCount = first;
    return true;
}

FormulaError GetTextArg(CEvalContext& ctx, FormulaToken& slot, std::string& out) {
    FormulaError error = GetStringArg(ctx, slot, out);
    if (error == 0 && out.size() > kMaxTextArgument) error = kErrValue;
    return error;
}

void ReturnTextError(CEvalContext& ctx, FormulaError error) {
    ReturnError(ctx, error);
    FormulaToken& slot = ctx.values[ctx.valueCount];
    slot.type = kTokenEmpty;
}

void ReturnTextResult(CEvalContext& ctx, std::string_view text, FormulaError error) {
    if (error) return ReturnTextError(ctx, error);
    ReturnText(ctx, text);
}

void ReturnValue(CEvalContext& ctx, const FormulaToken& value) {
    uint16_t first = FirstArgument(ctx);
    FormulaToken result = value;
    result.functionIndex = 0;
    result.firstArgument = 0;
    ctx.values[first] = result;
    ctx.valueCount = first;
}

} // namespace vl
