#include "functions/numeric/matrixargs.h"

namespace vl {

FormulaError CMatrixArg::Take(FormulaToken& slot) {
    FormulaError error = area_.Take(slot);
    taken_ = error == 0;
    return error;
}

FormulaError CMatrixArg::Read(CEvalContext& ctx, Matrix& m, bool codesOnly) {
    if (!taken_) return kErrValue;
    return ReadAreaPositions(ctx, area_, m, codesOnly);
}

void CMatrixArg::Drop(FormulaToken& slot) {
    area_.Take(slot);
    area_.walk.Release();
    taken_ = false;
}

FormulaError OptionalInt(CEvalContext& ctx, FormulaToken& slot, int32_t& out, int32_t minimum,
                         int32_t maximum) {
    if (IsOmitted(slot)) return slot.error;
    return GetIntArg(ctx, slot, out, minimum, maximum);
}

FormulaError OptionalNumber(CEvalContext& ctx, FormulaToken& slot, double& out, double minimum,
                            double maximum) {
    if (IsOmitted(slot)) return slot.error;
    return GetNumberArg(ctx, slot, out, minimum, maximum);
}

FormulaError RequiredInt(CEvalContext& ctx, FormulaToken& slot, int32_t& out, int32_t minimum,
                         int32_t maximum) {
    if (IsOmitted(slot)) return MergeError(slot.error, kErrNum);
    return GetIntArg(ctx, slot, out, minimum, maximum);
}

FormulaError RequiredNumber(CEvalContext& ctx, FormulaToken& slot, double& out, double minimum,
                            double maximum) {
    if (IsOmitted(slot)) return MergeError(slot.error, kErrNum);
    return GetNumberArg(ctx, slot, out, minimum, maximum);
}

FormulaError SizeMatrix(Matrix& m, uint64_t rows, uint64_t columns) {
    if (rows == 0 || columns == 0 || rows > kMaxAreaPositions || columns > kMaxAreaPositions ||
        rows * columns > kMaxAreaPositions)
        return kErrMemory;
    if (!MatrixResize(m, uint32_t(rows), uint32_t(columns), 0)) return kErrMemory;
    ZeroMatrix(m);
    return 0;
}

void ReturnMatrix(CEvalContext& ctx, const Matrix& m, uint32_t rows, uint32_t columns,
                  bool limits) {
    if (limits && (rows > kMaxResultRows || columns > kMaxResultColumns))
        return FailCall(ctx, kErrRef);
    if (rows > kMaxRows || columns > kMaxColumns) return FailCall(ctx, kErrMemory);
    CArrayBuilder builder(ctx);
    for (uint32_t r = 0; r < rows; ++r) {
        for (uint32_t c = 0; c < columns; ++c) {
            FormulaToken cell;
            cell.type = kTokenNumber;
            cell.number = m.data[std::size_t(r) * m.cols + c];
            if (IsOutOfRange(cell.number)) cell.error = kErrNum;
            if (!builder.Put(uint16_t(c), r, cell)) return FailCall(ctx, kErrMemory);
        }
    }
    ReleaseArguments(ctx);
    ReturnArray(ctx, builder.Detach(), uint16_t(columns), rows);
}

void FailCall(CEvalContext& ctx, FormulaError error) {
    ReleaseArguments(ctx);
    ReturnErrorEntry(ctx, error);
}

} // namespace vl
