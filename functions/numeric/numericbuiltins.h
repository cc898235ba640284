#pragma once
// The matrix, polynomial regression, equation-solving, minimisation and linear, integer
// and quadratic programming built-ins. BindNumericMethodBuiltins gives the function
// table's rows these implementations.

#include "formula/evalcontext.h"

namespace vl {

// False when a name is missing from the table.
bool BindNumericMethodBuiltins();

// Decomposition and solving.
void MtxChlBuiltin(CEvalContext& ctx);
void MtxGaussBuiltin(CEvalContext& ctx);
void MtxFwSubstBuiltin(CEvalContext& ctx);
void MtxBkSubstBuiltin(CEvalContext& ctx);
void MtxSvdBuiltin(CEvalContext& ctx);
void MtxLswBuiltin(CEvalContext& ctx);
void MtxLscBuiltin(CEvalContext& ctx);

// Construction; MMULT shares the product, which guards itself against running out of
// memory as the table's rows of the others do.
void MtxMltBuiltin(CEvalContext& ctx);
void MtxTBuiltin(CEvalContext& ctx);
void MtxDiagBuiltin(CEvalContext& ctx);
void MtxRandBuiltin(CEvalContext& ctx);
void MtxRand2Builtin(CEvalContext& ctx);
void MtxSeriesBuiltin(CEvalContext& ctx);

// Polynomial regression and time series.
void PolyRegBuiltin(CEvalContext& ctx);
void PolyPointsBuiltin(CEvalContext& ctx);
void TimeSeriesBuiltin(CEvalContext& ctx);

// Searches over worksheet cells.
void RootBuiltin(CEvalContext& ctx);
void MinMcBuiltin(CEvalContext& ctx);
void MinSimplexBuiltin(CEvalContext& ctx);

// Linear, integer and quadratic programming.
void LProgBuiltin(CEvalContext& ctx);
void LProgIntBuiltin(CEvalContext& ctx);
void LProgBinBuiltin(CEvalContext& ctx);
void QProgBuiltin(CEvalContext& ctx);

} // namespace vl
