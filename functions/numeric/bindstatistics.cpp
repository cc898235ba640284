// The function table's statistics rows and their implementations.
#include "formula/functable.h"
#include "functions/numeric/statbuiltins.h"

namespace vl {

namespace {

struct Row {
    const char* name;
    BuiltinImpl implementation;
};

constexpr Row kRows[] = {
    {"AVEDEV", AveDevBuiltin},
    {"AVERAGE", AverageBuiltin},
    {"AVERAGEA", AverageABuiltin},
    {"BINOMDIST", BinomDistBuiltin},
    {"CHIDIST", ChiDistBuiltin},
    {"CHIINV", ChiInvBuiltin},
    {"CHITEST", ChiTestBuiltin},
    {"CHITEST2", ChiTest2Builtin},
    {"CONFIDENCE", ConfidenceBuiltin},
    {"CORREL", CorrelBuiltin},
    {"COUNT", CountBuiltin},
    {"COUNTA", CountABuiltin},
    {"COVAR", CovarBuiltin},
    {"CRITBINOM", CritBinomBuiltin},
    {"DEVSQ", DevSqBuiltin},
    {"EXPONDIST", ExponDistBuiltin},
    {"FDIST", FDistBuiltin},
    {"FDISTP", FDistPBuiltin},
    {"FINV", FInvBuiltin},
    {"FISHER", FisherBuiltin},
    {"FISHERINV", FisherInvBuiltin},
    {"FORECAST", ForecastBuiltin},
    {"FREQUENCY", FrequencyBuiltin},
    {"FTEST", FTestBuiltin},
    {"GEOMEAN", GeoMeanBuiltin},
    {"HARMEAN", HarMeanBuiltin},
    {"HYPGEOMDIST", HypGeomDistBuiltin},
    {"INTERCEPT", InterceptBuiltin},
    {"KURT", KurtBuiltin},
    {"LARGE", LargeBuiltin},
    {"LINEST", LinestBuiltin},
    {"MAX", MaxBuiltin},
    {"MAXA", MaxABuiltin},
    {"MEDIAN", MedianBuiltin},
    {"MIN", MinBuiltin},
    {"MINA", MinABuiltin},
    {"MODE", ModeBuiltin},
    {"NORMDIST", NormDistBuiltin},
    {"NORMINV", NormInvBuiltin},
    {"NORMSDIST", NormSDistBuiltin},
    {"NORMSINV", NormSInvBuiltin},
    {"PEARSON", PearsonBuiltin},
    {"PERCENTILE", PercentileBuiltin},
    {"PERCENTRANK", PercentRankBuiltin},
    {"PERMUT", PermutBuiltin},
    {"POISSON", PoissonBuiltin},
    {"PROB", ProbBuiltin},
    {"QUARTILE", QuartileBuiltin},
    {"RANK", RankBuiltin},
    {"RSQ", RsqBuiltin},
    {"SKEW", SkewBuiltin},
    {"SLOPE", SlopeBuiltin},
    {"SMALL", SmallBuiltin},
    {"STANDARDIZE", StandardizeBuiltin},
    {"STDEV", StDevBuiltin},
    {"STDEVA", StDevABuiltin},
    {"STDEVP", StDevPBuiltin},
    {"STDEVPA", StDevPABuiltin},
    {"STEYX", SteyxBuiltin},
    {"TDIST", TDistBuiltin},
    {"TINV", TInvBuiltin},
    {"TREND", TrendBuiltin},
    {"TRIMMEAN", TrimMeanBuiltin},
    {"TTEST", TTestBuiltin},
    {"TTEST2", TTest2Builtin},
    {"VAR", VarBuiltin},
    {"VARA", VarABuiltin},
    {"VARP", VarPBuiltin},
    {"VARPA", VarPABuiltin},
    {"WEIBULL", WeibullBuiltin},
    {"ZTEST", ZTestBuiltin},
    {"ZTEST2", ZTest2Builtin},
};

} // namespace

bool BindStatisticsBuiltins() {
    bool all = true;
    for (const Row& row : kRows) all = BindBuiltinFunction(row.name, row.implementation) && all;
    return all;
}

} // namespace vl
