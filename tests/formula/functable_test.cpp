#include "formula/evalcontext.h"
#include "formula/functable.h"

#include <cstring>
#include <gtest/gtest.h>
#include <memory>
#include <set>
#include <sstream>
#include <string>

namespace vl {

namespace {

// Every distinct function name, in byte order.
constexpr const char* kSortedNames =
    "ABS ACCRINT ACCRINTM ACOS ACOSH ADDRESS AMORDEGRC AMORLINC AND AREAS ASC ASIN ASINH ATAN "
    "ATAN2 ATANH AVEDEV AVERAGE AVERAGEA BAHTTEXT BESSELI BESSELJ BESSELK BESSELY BETADIST "
    "BETAINV BIN2DEC BIN2HEX BIN2OCT BINOMDIST CEILING CELL CHAR CHIDIST CHIINV CHITEST CHITEST2 "
    "CHOOSE CLEAN CODE COLUMN COLUMNS COMBIN COMBIN2 COMPLEX CONCATENATE CONFIDENCE CONVERT "
    "CORREL COS COSH COUNT COUNTA COUNTBLANK COUNTIF COUPDAYBS COUPDAYS COUPDAYSNC COUPNCD "
    "COUPNUM COUPPCD COVAR CRITBINOM CUMIPMT CUMPRINC DATE DATEDIFF DATEVALUE DAVERAGE DAY "
    "DAY360 DB DCOUNT DCOUNTA DDB DEC2BIN DEC2HEX DEC2OCT DEGREES DELTA DEVSQ DGET DISC DMAX DMIN "
    "DOLLAR DOLLARDE DOLLARFR DPRODUCT DSTDEV DSTDEVP DSUM DURATION DVAR DVARP EDATE EDATE2 EFFECT "
    "EOMONTH ERF ERFC ERRORTYPE EVEN EXACT EXP EXPONDIST FACT FACTDOUBLE FALSE FDIST FDISTP FIND "
    "FINV FISHER FISHERINV FIXED FLOOR FORECAST FREQUENCY FTEST FV FVSCHEDULE GAMMADIST GAMMAINV "
    "GAMMALN GCD GEOMEAN GETPIVOTDATA GETSTEP GROWTH HARMEAN HEX2BIN HEX2DEC HEX2OCT HLOOKUP HOUR "
    "HYPERLINK HYPGEOMDIST IF IMABS IMAGINARY IMARGUMENT IMCONJUGATE IMCOS IMDIV IMEXP IMLN "
    "IMLOG10 IMLOG2 IMPOWER IMPRODUCT IMREAL IMSIN IMSQRT IMSUB IMSUM INDEX INDIRECT INT INTERCEPT "
    "INTRATE IPMT IRR ISBLANK ISERR ISERROR ISEVEN ISLOGICAL ISNA ISNONTEXT ISNUMBER ISODD ISPMT "
    "ISREF ISTEXT JIS KURT LARGE LCM LEFT LEN LINEST LN LOG LOG10 LOGEST LOGINV LOGNORMDIST LOOKUP "
    "LOWER LPROG LPROGBIN LPROGINT MATCH MAX MAXA MDETERM MDURATION MEDIAN MID MIN MINA MINMC "
    "MINSIMPLEX MINUTE MINVERSE MIRR MMULT MOD MODE MONTH MROUND MTXBKSUBST MTXCHL MTXDIAG "
    "MTXFWSUBST MTXGAUSS MTXLSC MTXLSW MTXMLT MTXRAND MTXRAND2 MTXSERIES MTXSVD MTXT MULTINOMIAL N "
    "NA NEGBINOMDIST NETWORKDAYS NOMINAL NORMDIST NORMINV NORMSDIST NORMSINV NOT NOW NPER NPV "
    "OCT2BIN OCT2DEC OCT2HEX ODD ODDFPRICE ODDFYIELD ODDLPRICE ODDLYIELD OFFSET OR PEARSON "
    "PERCENTILE PERCENTRANK PERMUT PHONETIC PI PMT POISSON POLYPOINTS POLYREG POWER PPMT PRICE "
    "PRICEDISC PRICEMAT PROB PRODUCT PROPER PV QPROG QUARTILE QUOTIENT RADIANS RAND RANDBETWEEN "
    "RANK RATE RECEIVED REPLACE REPT RIGHT ROMAN ROOT ROUND ROUNDDOWN ROUNDUP ROW ROWS RSQ RTD "
    "SEARCH SECOND SERIESSUM SIGN SIN SINH SKEW SLN SLOPE SMALL SORT SQRT SQRTPI STANDARDIZE "
    "STDEV STDEVA STDEVP STDEVPA STEYX SUBSTITUTE SUBTOTAL SUM SUMIF SUMPRODUCT SUMSQ SUMX2MY2 "
    "SUMX2PY2 SUMXMY2 SYD T TAN TANH TBILLEQ TBILLPRICE TBILLYIELD TDIST TEXT TIME TIMESERIES "
    "TIMEVALUE TINV TODAY TRANSPOSE TREND TRIM TRIMMEAN TRUE TRUNC TTEST TTEST2 TYPE UDF UNIQUE "
    "UPPER VALUE VAR VARA VARP VARPA VDB VLOOKUP WEEKDAY WEEKNUM WEIBULL WORKDAY XIRR XNPV YEAR "
    "YEARFRAC YIELD YIELDDISC YIELDMAT ZTEST ZTEST2";

std::string Name(uint16_t index) {
    return GetBuiltinFunction(index).name;
}

uint16_t IndexOf(const char* text) {
    uint16_t index = 0;
    std::size_t end = 0;
    EXPECT_TRUE(FindBuiltinFunction(text, index, end)) << text;
    return index;
}

void Doubling(CEvalContext& ctx) {
    FormulaToken& call = ctx.values[ctx.valueCount];
    FormulaToken& arg = ctx.values[call.firstArgument];
    arg.number *= 2;
    ctx.valueCount = call.firstArgument;
}

} // namespace

TEST(FunctionTable, HoldsEveryNameOnceOrTwiceInByteOrder) {
    ASSERT_EQ(BuiltinFunctionCount(), 365);
    std::istringstream words(kSortedNames);
    std::string word;
    std::set<std::string> expected;
    while (words >> word) expected.insert(word + "(");
    ASSERT_EQ(expected.size(), 363u);
    std::multiset<std::string> names;
    for (uint16_t i = 0; i < 365; ++i) {
        names.insert(Name(i));
        if (i > 0) {
            EXPECT_LE(std::strcmp(GetBuiltinFunction(i - 1).name, Name(i).c_str()), 0);
        }
        EXPECT_LT(Name(i).size(), kFunctionNameSize);
    }
    EXPECT_EQ(std::set<std::string>(names.begin(), names.end()), expected);
    EXPECT_EQ(names.count("WEEKDAY("), 2u);
    EXPECT_EQ(names.count("ISBLANK("), 2u);
    EXPECT_EQ(GetBuiltinFunction(365).name[0], '\0'); // the terminator row
    EXPECT_LT(std::strcmp("LOG(", "LOG10("), 0);
    EXPECT_LT(IndexOf("LOG("), IndexOf("LOG10("));
}

TEST(FindBuiltinFunction, MatchesTheNameWithItsParenthesisInAnyCase) {
    struct Case {
        const char* text;
        const char* name; // null: not found
        std::size_t end;
    } cases[] = {
        {"sum(A1)", "SUM(", 4},    {"SUM(", "SUM(", 4},       {"SUMIF(x", "SUMIF(", 6},
        {"Log10(2)", "LOG10(", 6}, {"log(2)", "LOG(", 4},     {"ATAN2(1,2)", "ATAN2(", 6},
        {"ABS(", "ABS(", 4},       {"ZTEST2(", "ZTEST2(", 7}, {"weekday(1)", "WEEKDAY(", 8},
        {"SUM (", nullptr, 0},     {"SUM", nullptr, 0},       {"SUMX(", nullptr, 0},
        {"", nullptr, 0},          {"(", nullptr, 0},         {"AAA(", nullptr, 0},
        {"ZZZ(", nullptr, 0},      {"SU", nullptr, 0},
    };
    for (const Case& c : cases) {
        uint16_t index = 999;
        std::size_t end = 99;
        bool found = FindBuiltinFunction(c.text, index, end);
        EXPECT_EQ(found, c.name != nullptr) << c.text;
        EXPECT_EQ(end, c.end) << c.text;
        if (found && c.name) {
            EXPECT_EQ(Name(index), c.name) << c.text;
        }
    }
}

TEST(FindBuiltinFunction, FindsEveryRow) {
    for (uint16_t i = 0; i < BuiltinFunctionCount(); ++i) {
        std::string text = Name(i) + "1)";
        uint16_t index = 0;
        std::size_t end = 0;
        ASSERT_TRUE(FindBuiltinFunction(text, index, end)) << text;
        EXPECT_EQ(Name(index), Name(i));
        EXPECT_EQ(end, Name(i).size());
    }
}

TEST(NotImplementedBuiltin, DropsTheArgumentsAndYieldsImpl) {
    auto ctx = std::make_unique<CEvalContext>();
    ctx->BeginFormula(0, 0);
    ASSERT_TRUE(ctx->stringPool.PushString("x"));
    ctx->values[1].type = kTokenNumber;
    ctx->values[2].type = kTokenText;
    ctx->values[3].type = kTokenFunction;
    ctx->values[3].functionIndex = IndexOf("DSUM(");
    ctx->values[3].firstArgument = 1;
    ctx->valueCount = 3;
    GetBuiltinFunction(ctx->values[3].functionIndex).implementation(*ctx);
    EXPECT_EQ(ctx->status, 0);
    EXPECT_EQ(ctx->valueCount, 1);
    EXPECT_EQ(ctx->values[1].type, kTokenEmpty);
    EXPECT_EQ(ctx->values[1].error, kErrImpl);
    EXPECT_EQ(ctx->stringPool.count, 0); // the text argument's string was released

    // Without arguments the call entry itself becomes the result.
    ctx->values[1].type = kTokenFunction;
    ctx->values[1].functionIndex = IndexOf("ROMAN(");
    ctx->values[1].firstArgument = 1;
    ctx->valueCount = 1;
    NotImplementedBuiltin(*ctx);
    EXPECT_EQ(ctx->valueCount, 1);
    EXPECT_EQ(ctx->values[1].error, kErrImpl);
}

TEST(BindBuiltinFunction, GivesEveryRowOfTheNameItsImplementation) {
    EXPECT_FALSE(BindBuiltinFunction("NOSUCH", &Doubling));
    EXPECT_FALSE(BindBuiltinFunction("WEEKDAY(", &Doubling));
    ASSERT_TRUE(BindBuiltinFunction("WEEKDAY", &Doubling));
    int bound = 0;
    for (uint16_t i = 0; i < BuiltinFunctionCount(); ++i)
        if (GetBuiltinFunction(i).implementation == &Doubling) ++bound;
    EXPECT_EQ(bound, 2);
    EXPECT_EQ(GetBuiltinFunction(IndexOf("WEEKNUM(")).implementation, &NotImplementedBuiltin);
    auto ctx = std::make_unique<CEvalContext>();
    ctx->values[1].type = kTokenNumber;
    ctx->values[1].number = 21;
    ctx->values[2].type = kTokenFunction;
    ctx->values[2].firstArgument = 1;
    ctx->valueCount = 2;
    GetBuiltinFunction(IndexOf("WEEKDAY(")).implementation(*ctx);
    EXPECT_EQ(ctx->values[1].number, 42);
    ASSERT_TRUE(BindBuiltinFunction("WEEKDAY", &NotImplementedBuiltin));
}

} // namespace vl
