#include "formula/functable.h"

#include "formula/evalcontext.h"
#include "formula/literals.h"
#include "platform/core/cp1252.h"

#include <cstring>
#include <mutex>

namespace vl {

namespace {

// Stored order, grouped by category; the sort puts the rows in byte order of the names.
constexpr const char* kStoredNames[kBuiltinRows] = {
    // database
    "DAVERAGE",
    "DCOUNT",
    "DCOUNTA",
    "DGET",
    "DMAX",
    "DMIN",
    "DSTDEV",
    "DPRODUCT",
    "DSTDEVP",
    "DSUM",
    "DVAR",
    "DVARP",
    "GETPIVOTDATA",
    // date and time
    "DATE",
    "DATEDIFF",
    "DATEVALUE",
    "DAY",
    "DAY360",
    "EDATE",
    "EDATE2",
    "EOMONTH",
    "HOUR",
    "MINUTE",
    "MONTH",
    "NETWORKDAYS",
    "NOW",
    "SECOND",
    "TIME",
    "TIMEVALUE",
    "TODAY",
    "WEEKDAY",
    "WEEKDAY",
    "WEEKNUM",
    "WORKDAY",
    "YEAR",
    "YEARFRAC",
    // engineering
    "BESSELI",
    "BESSELJ",
    "BESSELK",
    "BESSELY",
    "BIN2DEC",
    "BIN2HEX",
    "BIN2OCT",
    "COMPLEX",
    "CONVERT",
    "DEC2BIN",
    "DEC2HEX",
    "DEC2OCT",
    "DELTA",
    "ERF",
    "ERFC",
    "GETSTEP",
    "HEX2BIN",
    "HEX2DEC",
    "HEX2OCT",
    "IMABS",
    "IMAGINARY",
    "IMARGUMENT",
    "IMCONJUGATE",
    "IMCOS",
    "IMDIV",
    "IMEXP",
    "IMLN",
    "IMLOG10",
    "IMLOG2",
    "IMPOWER",
    "IMPRODUCT",
    "IMREAL",
    "IMSIN",
    "IMSQRT",
    "IMSUB",
    "IMSUM",
    "OCT2BIN",
    "OCT2DEC",
    "OCT2HEX",
    // financial
    "ACCRINT",
    "ACCRINTM",
    "AMORDEGRC",
    "AMORLINC",
    "COUPDAYBS",
    "COUPDAYS",
    "COUPDAYSNC",
    "COUPNCD",
    "COUPNUM",
    "COUPPCD",
    "CUMIPMT",
    "CUMPRINC",
    "DB",
    "DDB",
    "DISC",
    "DOLLARDE",
    "DOLLARFR",
    "DURATION",
    "EFFECT",
    "FV",
    "FVSCHEDULE",
    "INTRATE",
    "IPMT",
    "IRR",
    "ISPMT",
    "MDURATION",
    "MIRR",
    "NOMINAL",
    "NPER",
    "NPV",
    "ODDFPRICE",
    "ODDFYIELD",
    "ODDLPRICE",
    "ODDLYIELD",
    "PMT",
    "PPMT",
    "PRICE",
    "PRICEDISC",
    "PRICEMAT",
    "PV",
    "RATE",
    "RECEIVED",
    "SLN",
    "SYD",
    "TBILLEQ",
    "TBILLPRICE",
    "TBILLYIELD",
    "VDB",
    "XIRR",
    "XNPV",
    "YIELD",
    "YIELDDISC",
    "YIELDMAT",
    // information
    "CELL",
    "COUNTBLANK",
    "ERRORTYPE",
    "ISBLANK",
    "ISBLANK",
    "ISERR",
    "ISERROR",
    "ISEVEN",
    "ISLOGICAL",
    "ISNA",
    "ISNONTEXT",
    "ISNUMBER",
    "ISODD",
    "ISREF",
    "ISTEXT",
    "N",
    "NA",
    "TYPE",
    // logical
    "AND",
    "FALSE",
    "IF",
    "NOT",
    "OR",
    "TRUE",
    // lookup and reference, with the automation bridge
    "ADDRESS",
    "AREAS",
    "CHOOSE",
    "COLUMN",
    "COLUMNS",
    "HLOOKUP",
    "HYPERLINK",
    "INDEX",
    "INDIRECT",
    "LOOKUP",
    "MATCH",
    "OFFSET",
    "ROW",
    "ROWS",
    "RTD",
    "SORT",
    "TRANSPOSE",
    "VLOOKUP",
    "UNIQUE",
    "UDF",
    // mathematics and trigonometry
    "ABS",
    "ACOS",
    "ACOSH",
    "ASIN",
    "ASINH",
    "ATAN",
    "ATAN2",
    "ATANH",
    "CEILING",
    "COMBIN",
    "COMBIN2",
    "COS",
    "COSH",
    "COUNTIF",
    "DEGREES",
    "EVEN",
    "EXP",
    "FACT",
    "FACTDOUBLE",
    "FLOOR",
    "GCD",
    "INT",
    "LCM",
    "LN",
    "LOG",
    "LOG10",
    "MDETERM",
    "MINVERSE",
    "MMULT",
    "MOD",
    "MROUND",
    "MULTINOMIAL",
    "ODD",
    "PI",
    "POWER",
    "PRODUCT",
    "QUOTIENT",
    "RADIANS",
    "RAND",
    "RANDBETWEEN",
    "ROMAN",
    "ROUND",
    "ROUNDDOWN",
    "ROUNDUP",
    "SERIESSUM",
    "SIGN",
    "SIN",
    "SINH",
    "SQRT",
    "SQRTPI",
    "SUBTOTAL",
    "SUM",
    "SUMIF",
    "SUMPRODUCT",
    "SUMSQ",
    "SUMX2MY2",
    "SUMX2PY2",
    "SUMXMY2",
    "TAN",
    "TANH",
    "TRUNC",
    // statistics
    "AVEDEV",
    "AVERAGE",
    "AVERAGEA",
    "BETADIST",
    "BETAINV",
    "BINOMDIST",
    "CHIDIST",
    "CHIINV",
    "CHITEST",
    "CHITEST2",
    "CONFIDENCE",
    "CORREL",
    "COUNT",
    "COUNTA",
    "COVAR",
    "CRITBINOM",
    "DEVSQ",
    "EXPONDIST",
    "FDIST",
    "FDISTP",
    "FINV",
    "FISHER",
    "FISHERINV",
    "FORECAST",
    "FREQUENCY",
    "FTEST",
    "GAMMADIST",
    "GAMMAINV",
    "GAMMALN",
    "GEOMEAN",
    "GROWTH",
    "HARMEAN",
    "HYPGEOMDIST",
    "INTERCEPT",
    "KURT",
    "LARGE",
    "LINEST",
    "LOGEST",
    "LOGINV",
    "LOGNORMDIST",
    "MAX",
    "MAXA",
    "MEDIAN",
    "MIN",
    "MINA",
    "MODE",
    "NEGBINOMDIST",
    "NORMDIST",
    "NORMINV",
    "NORMSDIST",
    "NORMSINV",
    "PEARSON",
    "PERCENTILE",
    "PERCENTRANK",
    "PERMUT",
    "POISSON",
    "PROB",
    "QUARTILE",
    "RANK",
    "RSQ",
    "SKEW",
    "SLOPE",
    "SMALL",
    "STANDARDIZE",
    "STDEV",
    "STDEVA",
    "STDEVP",
    "STDEVPA",
    "STEYX",
    "TDIST",
    "TINV",
    "TREND",
    "TRIMMEAN",
    "TTEST",
    "TTEST2",
    "VAR",
    "VARA",
    "VARP",
    "VARPA",
    "WEIBULL",
    "ZTEST",
    "ZTEST2",
    // text
    "ASC",
    "BAHTTEXT",
    "CHAR",
    "CLEAN",
    "CODE",
    "CONCATENATE",
    "DOLLAR",
    "EXACT",
    "FIND",
    "FIXED",
    "JIS",
    "LEFT",
    "LEN",
    "LOWER",
    "MID",
    "PHONETIC",
    "PROPER",
    "REPLACE",
    "REPT",
    "RIGHT",
    "SEARCH",
    "SUBSTITUTE",
    "T",
    "TEXT",
    "TRIM",
    "UPPER",
    "VALUE",
    // optimisation, matrices and series
    "LPROG",
    "LPROGINT",
    "LPROGBIN",
    "QPROG",
    "MTXRAND",
    "MTXRAND2",
    "MTXSERIES",
    "POLYREG",
    "POLYPOINTS",
    "TIMESERIES",
    "MINSIMPLEX",
    "MINMC",
    "ROOT",
    "MTXFWSUBST",
    "MTXBKSUBST",
    "MTXGAUSS",
    "MTXCHL",
    "MTXSVD",
    "MTXLSC",
    "MTXLSW",
    "MTXT",
    "MTXDIAG",
    "MTXMLT",
};

// The rows and a terminator row whose name is empty.
BuiltinFunction gTable[kBuiltinRows + 1];
uint16_t gRowCount = 0;
std::once_flag gSorted;
// The characters that can stand in a function's name before its "(", in either case.
bool gSpells[256] = {};
// Each sorted row's name in upper case and its length, so that a search compares bytes.
struct SearchName {
    unsigned char upper[kFunctionNameSize];
    uint8_t length;
};
SearchName gSearchNames[kBuiltinRows + 1];
unsigned char gUpper[256] = {}; // CharUpper1252 of every byte, looked up in a search

// memcmp's order over names of a few bytes, which mostly differ in their first.
int CompareBytes(const unsigned char* a, const unsigned char* b, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i)
        if (a[i] != b[i]) return a[i] < b[i] ? -1 : 1;
    return 0;
}

int CompareNames(const char* a, const char* b) {
    return std::strcmp(a, b); // byte order: "(" sorts before digits and letters
}

void BuildAndSort() {
    for (uint16_t i = 0; i < kBuiltinRows; ++i) {
        BuiltinFunction& row = gTable[i];
        row.implementation = &NotImplementedBuiltin;
        std::size_t n = std::strlen(kStoredNames[i]);
        std::memcpy(row.name, kStoredNames[i], n);
        row.name[n] = '(';
    }
    uint16_t count = 0;
    while (gTable[count].name[0] != '\0') ++count;
    for (uint16_t i = 0; i + 1 < count; ++i)
        for (uint16_t j = i + 1; j < count; ++j)
            if (CompareNames(gTable[i].name, gTable[j].name) > 0) std::swap(gTable[i], gTable[j]);
    gRowCount = count;
    for (uint16_t i = 0; i < count; ++i) {
        SearchName& n = gSearchNames[i];
        n.length = uint8_t(std::strlen(gTable[i].name));
        for (std::size_t k = 0; k < kFunctionNameSize; ++k)
            n.upper[k] = static_cast<unsigned char>(CharUpper1252(gTable[i].name[k]));
    }
    bool upper[256] = {};
    for (uint16_t i = 0; i < kBuiltinRows; ++i)
        for (const char* c = kStoredNames[i]; *c; ++c)
            upper[static_cast<unsigned char>(CharUpper1252(*c))] = true;
    for (int c = 0; c < 256; ++c) {
        gSpells[c] = upper[static_cast<unsigned char>(CharUpper1252(char(c)))];
        gUpper[c] = static_cast<unsigned char>(CharUpper1252(char(c)));
    }
}

} // namespace

void SortFunctionTable() {
    std::call_once(gSorted, BuildAndSort);
}

uint16_t BuiltinFunctionCount() {
    SortFunctionTable();
    return gRowCount;
}

const BuiltinFunction* GetBuiltinFunction(uint16_t index) {
    SortFunctionTable();
    return index < gRowCount ? &gTable[index] : nullptr;
}

bool FindBuiltinFunction(std::string_view text, uint16_t& index, std::size_t& end) {
    SortFunctionTable();
    end = 0;
    // A name matches only where the run of characters that can spell one ends in "(": most
    // other words (worksheet names, names of cells) are told so without a search.
    std::size_t run = 0;
    while (run < text.size() && gSpells[static_cast<unsigned char>(text[run])]) ++run;
    if (run == text.size() || text[run] != '(') return false;
    // No name is longer; a longer word is told apart at its "(", which sorts before every
    // character that spells a name, so the characters after it never decide.
    if (run + 1 >= kFunctionNameSize) return false;
    unsigned char wanted[kFunctionNameSize] = {};
    for (std::size_t k = 0; k <= run; ++k) wanted[k] = gUpper[static_cast<unsigned char>(text[k])];
    int lo = 0;
    int hi = int(gRowCount) - 1;
    while (lo <= hi) {
        int mid = (lo + hi) / 2;
        const SearchName& name = gSearchNames[mid];
        const std::size_t n = name.length;
        const int cmp = CompareBytes(wanted, name.upper, n);
        if (cmp == 0) {
            index = uint16_t(mid);
            end = n;
            return true;
        }
        if (cmp > 0)
            lo = mid + 1;
        else
            hi = mid - 1;
    }
    return false;
}

bool BindBuiltinFunction(std::string_view name, BuiltinImpl implementation) {
    SortFunctionTable();
    bool bound = false;
    for (uint16_t i = 0; i < gRowCount; ++i) {
        std::string_view rowName(gTable[i].name);
        if (rowName.size() == name.size() + 1 && rowName.substr(0, name.size()) == name) {
            gTable[i].implementation = implementation;
            bound = true;
        }
    }
    return bound;
}

namespace {

// Per sorted row; 0xFF: every argument must be written.
uint8_t gRequired[kBuiltinRows];
std::once_flag gRequiredSet;

void ClearRequired() {
    std::memset(gRequired, 0xFF, sizeof gRequired);
}

} // namespace

bool SetRequiredArguments(std::string_view name, uint8_t count) {
    SortFunctionTable();
    std::call_once(gRequiredSet, ClearRequired);
    bool set = false;
    for (uint16_t i = 0; i < gRowCount; ++i) {
        std::string_view rowName(gTable[i].name);
        if (rowName.size() == name.size() + 1 && rowName.substr(0, name.size()) == name) {
            gRequired[i] = count;
            set = true;
        }
    }
    return set;
}

uint8_t RequiredArguments(uint16_t index) {
    std::call_once(gRequiredSet, ClearRequired);
    return index < kBuiltinRows ? gRequired[index] : 0xFF;
}

void NotImplementedBuiltin(CEvalContext& ctx) {
    uint16_t top = ctx.valueCount;
    if (top == 0 || top >= kStackSlots) {
        ctx.status = kErrSyntax;
        return;
    }
    uint16_t first = ctx.values[top].firstArgument;
    if (first == 0 || first > top) {
        ctx.status = kErrSyntax;
        return;
    }
    ReleaseTemporaries(ctx, uint16_t(top - 1), uint16_t(top - first));
    FormulaToken& result = ClearOperand(ctx.values[first]);
    result.type = kTokenEmpty;
    result.error = kErrImpl;
    ctx.valueCount = first;
}

} // namespace vl
