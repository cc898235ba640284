#include "functions/general/arrayfunctions.h"

#include "functions/general/argumentarea.h"
#include "functions/general/generalargs.h"

namespace vl {

namespace {

// Rows become columns; the result is written row by row, one source column at a time.
void Transpose(CEvalContext& ctx) {
    if (!CheckArgumentCount(ctx, 1, 1)) return;
    CArgumentArea source(ctx);
    if (FormulaError error = source.Take(Argument(ctx, 0))) return ReturnError(ctx, error);
    if (source.Rows() >= kMaxColumns) return ReturnError(ctx, kErrRef);
    CArrayBuilder builder(ctx);
    for (uint16_t column = 0; column < source.Columns(); ++column) {
        CArgumentArea::CPartWalk walk(source, CellRange{column, 0, column, source.Rows() - 1});
        while (const uint8_t* record = walk.Next()) {
            FormulaToken value;
            source.ReadValue(record, value);
            if (!builder.Put(uint16_t(walk.RowOffset()), column, value))
                return ReturnError(ctx, kErrMemory);
        }
    }
    ReturnArray(ctx, builder.Detach(), uint16_t(source.Rows()), source.Columns());
}

} // namespace

void BindArrayFunctions() {
    BindBuiltinFunction("TRANSPOSE", &Transpose);
}

} // namespace vl
