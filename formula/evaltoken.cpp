// Dispatch of the token on top of the value stack: a built-in function call or an operator.
#include "formula/functable.h"
#include "formula/operands.h"
#include "formula/operators.h"

#include <cmath>

namespace vl {

bool EvalToken(CEvalContext& ctx) {
    uint16_t top = ctx.valueCount;
    if (top == 0 || top >= kStackSlots) {
        ctx.status = kErrSyntax;
        return false;
    }
    const FormulaToken& token = ctx.values[top];
    if (token.type == kTokenFunction) {
        const BuiltinFunction* row = GetBuiltinFunction(token.functionIndex);
        BuiltinImpl implementation = row ? row->implementation : nullptr;
        if (!implementation) {
            ctx.status = kErrSyntax;
            return false;
        }
        ctx.subnormalResult = false;
        implementation(ctx);
        // Whatever a function computed, a number that is not finite is #NUM!; a subnormal one
        // too, unless the function gives such results.
        FormulaToken& result = ctx.values[ctx.valueCount];
        const bool kept = ctx.subnormalResult && std::isfinite(result.number);
        ctx.subnormalResult = false;
        if (ctx.status == 0 && result.type == kTokenNumber && result.error == 0 &&
            IsOutOfRange(result.number) && !kept)
            result.error = kErrNum;
        return ctx.status == 0;
    }
    if (token.type >= kTokenEqual && token.type <= kLastOperator) {
        RunOperator(ctx, token.type);
        return ctx.status == 0;
    }
    ctx.status = kErrSyntax;
    return false;
}

} // namespace vl
