// The function table's rows of the matrix, regression, search and programming built-ins.
#include "formula/functable.h"
#include "functions/numeric/numericbuiltins.h"

namespace vl {

namespace {

struct Row {
    const char* name;
    BuiltinImpl implementation;
};

constexpr Row kRows[] = {
    {"LPROG", LProgBuiltin},           {"LPROGBIN", LProgBinBuiltin},
    {"LPROGINT", LProgIntBuiltin},     {"MINMC", MinMcBuiltin},
    {"MINSIMPLEX", MinSimplexBuiltin}, {"MTXBKSUBST", MtxBkSubstBuiltin},
    {"MTXCHL", MtxChlBuiltin},         {"MTXDIAG", MtxDiagBuiltin},
    {"MTXFWSUBST", MtxFwSubstBuiltin}, {"MTXGAUSS", MtxGaussBuiltin},
    {"MTXLSC", MtxLscBuiltin},         {"MTXLSW", MtxLswBuiltin},
    {"MTXMLT", MtxMltBuiltin},         {"MTXRAND", MtxRandBuiltin},
    {"MTXRAND2", MtxRand2Builtin},     {"MTXSERIES", MtxSeriesBuiltin},
    {"MTXSVD", MtxSvdBuiltin},         {"MTXT", MtxTBuiltin},
    {"POLYPOINTS", PolyPointsBuiltin}, {"POLYREG", PolyRegBuiltin},
    {"QPROG", QProgBuiltin},           {"ROOT", RootBuiltin},
    {"TIMESERIES", TimeSeriesBuiltin},
};

} // namespace

bool BindNumericMethodBuiltins() {
    bool all = true;
    for (const Row& row : kRows) all = BindBuiltinFunction(row.name, row.implementation) && all;
    return all;
}

} // namespace vl
