#include "functions/general/argreader.h"

namespace vl {

bool BeginPartlyScalarCall(CEvalContext& ctx, uint16_t minimum, uint16_t maximum,
                           uint64_t elementwise) {
    if (!CheckArgumentCount(ctx, minimum, maximum)) return false;
    const uint16_t first = FirstArgument(ctx);
    if (ArgumentCount(ctx) > kMaxArguments) return true;
    uint8_t flags[kMaxArguments]; // each one below the count is set
    bool any = false;
    for (uint16_t i = 0; i < ArgumentCount(ctx); ++i) {
        // The mask names the first 64 arguments; the ones after them are never elementwise.
        const bool marked = i < 64 && ((elementwise >> i) & 1);
        flags[i] = marked && (Argument(ctx, i).type & kAreaOrArray) ? 1 : 0;
        any = any || flags[i];
    }
    if (!any) return true;
    ApplyElementwise(ctx, flags, first);
    ctx.valueCount = first;
    return false;
}

FormulaError ReadDateTimeArg(CEvalContext& ctx, FormulaToken& slot, IsoDateTime& out) {
    ResolveReferenceValue(ctx, slot);
    if (slot.type == kTokenText) {
        const StringPool& pool = ctx.stringPool;
        std::size_t length =
            pool.count ? std::size_t(pool.offsets[pool.count] - pool.offsets[pool.count - 1] - 1)
                       : 0;
        if (length > kMaxDateText) {
            ReleaseOperand(ctx, slot);
            if (slot.error == 0) slot.error = kErrValue;
        }
    }
    FormulaError error = GetDateTimeArg(ctx, slot, out);
    if (error == 0 && slot.type == kTokenEmpty) error = slot.error = kErrValue;
    return error;
}

} // namespace vl
