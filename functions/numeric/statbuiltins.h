#pragma once
// The statistical built-in functions: each takes the evaluator context, reads its
// arguments from the value stack and leaves one result there. BindStatisticsBuiltins
// gives the function table's rows these implementations.

#include "formula/evalcontext.h"

namespace vl {

// Binds every statistics row this library implements; false when a name is missing from
// the table.
bool BindStatisticsBuiltins();

// Extremes, median, mode and the ranked selections.
void MaxBuiltin(CEvalContext& ctx);
void MinBuiltin(CEvalContext& ctx);
void MaxABuiltin(CEvalContext& ctx);
void MinABuiltin(CEvalContext& ctx);
void MedianBuiltin(CEvalContext& ctx);
void ModeBuiltin(CEvalContext& ctx);
void LargeBuiltin(CEvalContext& ctx);
void SmallBuiltin(CEvalContext& ctx);
void PercentileBuiltin(CEvalContext& ctx);
void QuartileBuiltin(CEvalContext& ctx);
void PercentRankBuiltin(CEvalContext& ctx);
void RankBuiltin(CEvalContext& ctx);
void TrimMeanBuiltin(CEvalContext& ctx);

// Moments and means.
void VarBuiltin(CEvalContext& ctx);
void VarPBuiltin(CEvalContext& ctx);
void StDevBuiltin(CEvalContext& ctx);
void StDevPBuiltin(CEvalContext& ctx);
// The A forms count a range's text that is no number as 0.
void VarABuiltin(CEvalContext& ctx);
void VarPABuiltin(CEvalContext& ctx);
void StDevABuiltin(CEvalContext& ctx);
void StDevPABuiltin(CEvalContext& ctx);
void SkewBuiltin(CEvalContext& ctx);
void KurtBuiltin(CEvalContext& ctx);
void GeoMeanBuiltin(CEvalContext& ctx);
void HarMeanBuiltin(CEvalContext& ctx);

// Descriptive statistics.
void AverageBuiltin(CEvalContext& ctx);
void AverageABuiltin(CEvalContext& ctx);
void AveDevBuiltin(CEvalContext& ctx);
void DevSqBuiltin(CEvalContext& ctx);
void CountBuiltin(CEvalContext& ctx);
void CountABuiltin(CEvalContext& ctx);
void CovarBuiltin(CEvalContext& ctx);
void CorrelBuiltin(CEvalContext& ctx);
void ForecastBuiltin(CEvalContext& ctx);
void FrequencyBuiltin(CEvalContext& ctx);

// Correlation over paired cells and least-squares lines.
void PearsonBuiltin(CEvalContext& ctx);
void RsqBuiltin(CEvalContext& ctx);
void SteyxBuiltin(CEvalContext& ctx);
void InterceptBuiltin(CEvalContext& ctx);
void SlopeBuiltin(CEvalContext& ctx);
void LinestBuiltin(CEvalContext& ctx);
void TrendBuiltin(CEvalContext& ctx);

// Hypothesis tests.
void FTestBuiltin(CEvalContext& ctx);
void TTestBuiltin(CEvalContext& ctx);
void TTest2Builtin(CEvalContext& ctx);
void ZTestBuiltin(CEvalContext& ctx);
void ZTest2Builtin(CEvalContext& ctx);
void ChiTestBuiltin(CEvalContext& ctx);
void ChiTest2Builtin(CEvalContext& ctx);

// Distributions.
void HypGeomDistBuiltin(CEvalContext& ctx);
void NormDistBuiltin(CEvalContext& ctx);
void NormInvBuiltin(CEvalContext& ctx);
void NormSDistBuiltin(CEvalContext& ctx);
void NormSInvBuiltin(CEvalContext& ctx);
void PermutBuiltin(CEvalContext& ctx);
void PoissonBuiltin(CEvalContext& ctx);
void ProbBuiltin(CEvalContext& ctx);
void StandardizeBuiltin(CEvalContext& ctx);
void TDistBuiltin(CEvalContext& ctx);
void TInvBuiltin(CEvalContext& ctx);
void WeibullBuiltin(CEvalContext& ctx);
void BinomDistBuiltin(CEvalContext& ctx);
void ChiDistBuiltin(CEvalContext& ctx);
void ChiInvBuiltin(CEvalContext& ctx);
void ConfidenceBuiltin(CEvalContext& ctx);
void CritBinomBuiltin(CEvalContext& ctx);
void ExponDistBuiltin(CEvalContext& ctx);
void FDistBuiltin(CEvalContext& ctx);
void FDistPBuiltin(CEvalContext& ctx);
void FInvBuiltin(CEvalContext& ctx);
void FisherBuiltin(CEvalContext& ctx);
void FisherInvBuiltin(CEvalContext& ctx);

} // namespace vl
