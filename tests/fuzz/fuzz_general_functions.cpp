// Random date, period, complex and digit texts through the date, working-day, financial and
// engineering built-ins: no crash, no hang, and each formula leaves one result with no
// stray string or temporary array.
#include "formula/evaluator.h"
#include "functions/bindall/bindall.h"
#include "harness.h"

namespace {

using Reader = vl::fuzz::ByteReader;

// A function and the kinds of its arguments: d date, p period, c complex, x digits,
// n number, a array of dates or numbers.
struct Call {
    const char* name;
    const char* kinds;
};
const Call kCalls[] = {
    {"YEAR", "d"},          {"SECOND", "d"},      {"DATEVALUE", "d"}, {"TIMEVALUE", "d"},
    {"DATEDIFF", "dd"},     {"EDATE", "dn"},      {"EDATE2", "dp"},   {"EOMONTH", "dn"},
    {"WEEKDAY", "dn"},      {"WEEKNUM", "dn"},    {"DATE", "nnn"},    {"TIME", "nnn"},
    {"NETWORKDAYS", "dda"}, {"WORKDAY", "dna"},   {"XNPV", "naa"},    {"XIRR", "aan"},
    {"IRR", "nnnn"},        {"RATE", "nnnnnn"},   {"PMT", "nnnnn"},   {"CUMIPMT", "nnnnn"},
    {"DB", "nnnnn"},        {"DOLLARDE", "nn"},   {"DOLLARFR", "nn"}, {"MULTINOMIAL", "nn"},
    {"LCM", "nnn"},         {"ROUND", "nn"},      {"MROUND", "nn"},   {"COMPLEX", "nnc"},
    {"IMABS", "c"},         {"IMSQRT", "c"},      {"IMLN", "c"},      {"IMPOWER", "cn"},
    {"IMDIV", "cc"},        {"IMPRODUCT", "ccc"}, {"IMSUM", "cc"},    {"BIN2DEC", "x"},
    {"HEX2BIN", "xn"},      {"OCT2HEX", "xn"},    {"DEC2HEX", "nn"},  {"HEX2OCT", "xn"},
    {"BESSELJ", "nn"},      {"BESSELY", "nn"},    {"ERF", "nn"},      {"ERFC", "n"},
};

const char* const kDates[] = {"2005-01-31",  "2004-02-29T23:59:59.999", "13:10:55-02:30",
                              "50000-12-31", "0001-01-01T00:00:00",     "2005-1-1"};
const char* const kPeriods[] = {"P1Y2M3DT10H30M50S", "-P120D", "PT0.500S", "P", "P214748353M"};
const char* const kComplex[] = {"3 + 4i", "-i", "2.5e-3j", "1e308+1e308i", "0", "- 7.5 - 2i"};
const char* const kDigits[] = {"1111111111", "FFFFFFFDFF", "7777777000", "A5", "0", ""};
const char* const kNumbers[] = {"0",  "1",    "-1",         "2.5",   "1e308",  "-2147483648",
                                "48", "-200", "2147483647", "0.077", "1e-310", "100001"};
const char kAlphabet[] = "0123456789-+:.TPYMDHSijAF e";

// A template of the argument's kind with a few characters replaced, or raw input bytes.
std::string Text(Reader& r, char kind) {
    std::string text;
    uint8_t mode = r.Byte();
    if (mode % 4 == 0) {
        for (uint8_t n = r.Byte() % 40; n > 0; --n) {
            char c = char(r.Byte());
            if (c != '"' && c != 0) text += c;
        }
        return text;
    }
    text = kind == 'p'   ? r.Pick(kPeriods)
           : kind == 'c' ? r.Pick(kComplex)
           : kind == 'x' ? r.Pick(kDigits)
                         : r.Pick(kDates);
    for (uint8_t n = mode % 4; n > 1 && !text.empty(); --n) {
        std::size_t at = r.Byte() % text.size();
        text[at] = kAlphabet[r.Byte() % (sizeof(kAlphabet) - 1)];
    }
    return text;
}

std::string Argument(Reader& r, char kind) {
    uint8_t choice = r.Byte();
    if (choice % 8 == 0) return "";
    if (kind == 'n' || choice % 8 == 1) return r.Pick(kNumbers);
    if (kind == 'a') {
        std::string array = "{";
        for (uint8_t n = 1 + r.Byte() % 4; n > 0; --n) {
            array += r.Byte() % 2 ? "\"" + Text(r, 'd') + "\"" : r.Pick(kNumbers);
            if (n > 1) array += ',';
        }
        return array + "}";
    }
    return "\"" + Text(r, kind) + "\"";
}

vl::CEvalContext& Context() {
    static vl::CEvalContext* ctx = [] {
        vl::BindAllFunctions();
        return new vl::CEvalContext();
    }();
    return *ctx;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Reader r{data, size};
    vl::CEvalContext& ctx = Context();
    while (r.More()) {
        const Call& call = r.Pick(kCalls);
        std::string formula = std::string("=") + call.name + "(";
        for (const char* k = call.kinds; *k; ++k) {
            if (k != call.kinds) formula += ',';
            formula += Argument(r, *k);
        }
        formula += ')';
        const uint16_t kind = vl::EvaluateFormulaText(ctx, formula, 0, 0);
        if (kind != 0) vl::fuzz::RequireOnlyResult(ctx, kind);
        ctx.stringPool.ResetStringStack();
        ctx.scratch.ReleaseArrays();
    }
    return 0;
}
