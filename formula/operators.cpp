#include "formula/operators.h"

namespace vl {

void RunOperator(CEvalContext& ctx, uint16_t code) {
    (void)code;
    ctx.status = kErrSyntax;
}

} // namespace vl
