#include "functions/general/generalargs.h"

namespace vl {

FormulaError GetTextArg(CEvalContext& ctx, FormulaToken& slot, std::string& out) {
    FormulaError error = GetStringArg(ctx, slot, out);
    if (error == 0 && out.size() > kMaxTextArgument) error = kErrValue;
    return error;
}

void ReturnTextError(CEvalContext& ctx, FormulaError error) {
    ReturnErrorEntry(ctx, error);
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
