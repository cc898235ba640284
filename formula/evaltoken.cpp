// Dispatch of the token on top of the value stack: a built-in function call or an operator.
#include "formula/functable.h"
#include "formula/operands.h"
#include "formula/operators.h"

namespace vl {

bool EvalToken(CEvalContext& ctx) {
    uint16_t top = ctx.valueCount;
    if (top == 0 || top >= kStackSlots) {
        ctx.status = kErrSyntax;
        return false;
    }
    const FormulaToken& token = ctx.values[top];
    if (token.type == kTokenFunction) {
        BuiltinImpl implementation = token.functionIndex < BuiltinFunctionCount()
                                         ? GetBuiltinFunction(token.functionIndex).implementation
                                         : nullptr;
        if (!implementation) {
            ctx.status = kErrSyntax;
            return false;
        }
        implementation(ctx);
        // Whatever a function computed, a number that is not finite is #NUM!.
        FormulaToken& result = ctx.values[ctx.valueCount];
        if (ctx.status == 0 && result.type == kTokenNumber && result.error == 0 &&
            IsOutOfRange(result.number))
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
