// The function table's rows of the matrix, regression, search and programming built-ins.
#include "formula/functable.h"
#include "functions/numeric/numericbuiltins.h"
#include "functions/numeric/statargs.h"

namespace vl {

namespace {

// Running out of memory in a standard container ends the call with #MEMORY!.
template <BuiltinImpl F> void Guarded(CEvalContext& ctx) {
    GuardStatMemory(ctx, [&] { F(ctx); });
}

struct Row {
    const char* name;
    BuiltinImpl implementation;
};

constexpr Row kRows[] = {
    // clang-format off
    {"LPROG", Guarded<LProgBuiltin>},
    {"LPROGBIN", Guarded<LProgBinBuiltin>},
    {"LPROGINT", Guarded<LProgIntBuiltin>},
    {"MINMC", Guarded<MinMcBuiltin>},
    {"MINSIMPLEX", Guarded<MinSimplexBuiltin>},
    {"MTXBKSUBST", Guarded<MtxBkSubstBuiltin>},
    {"MTXCHL", Guarded<MtxChlBuiltin>},
    {"MTXDIAG", Guarded<MtxDiagBuiltin>},
    {"MTXFWSUBST", Guarded<MtxFwSubstBuiltin>},
    {"MTXGAUSS", Guarded<MtxGaussBuiltin>},
    {"MTXLSC", Guarded<MtxLscBuiltin>},
    {"MTXLSW", Guarded<MtxLswBuiltin>},
    {"MTXMLT", MtxMltBuiltin}, // one implementation with MMULT; it guards itself
    {"MTXRAND", Guarded<MtxRandBuiltin>},
    {"MTXRAND2", Guarded<MtxRand2Builtin>},
    {"MTXSERIES", Guarded<MtxSeriesBuiltin>},
    {"MTXSVD", Guarded<MtxSvdBuiltin>},
    {"MTXT", Guarded<MtxTBuiltin>},
    {"POLYPOINTS", Guarded<PolyPointsBuiltin>},
    {"POLYREG", Guarded<PolyRegBuiltin>},
    {"QPROG", Guarded<QProgBuiltin>},
    {"ROOT", Guarded<RootBuiltin>},
    {"TIMESERIES", Guarded<TimeSeriesBuiltin>},
    // clang-format on
};

} // namespace

bool BindNumericMethodBuiltins() {
    bool all = true;
    for (const Row& row : kRows) all = BindBuiltinFunction(row.name, row.implementation) && all;
    return all;
}

} // namespace vl
