#include "values/standardformat.h"

#include "platform/core/bytes.h"
#include "values/inttext.h"

#include <cstring>

namespace vl {

namespace {

using namespace fmtparam;

std::string Repeat(int count, char c) {
    return std::string(count > 0 ? count : 0, c);
}

// printf's "%0*d" of the value 0: `width` zeros, and one zero for a width of 0.
std::string Zeros(int width) {
    return Repeat(width > 0 ? width : 1, '0');
}

// The negative styles: minus, red, parentheses, red parentheses.
std::string WithNegativeStyle(const std::string& part, uint8_t style) {
    switch (style) {
    case 1:
        return part + ";[red]" + part;
    case 2:
        return part + ";(" + part + ")";
    case 3:
        return part + ";[red](" + part + ")";
    default:
        return part;
    }
}

std::string Thousands(const SeparatorSet& s) {
    return std::string("#") + s.thousands + "##0";
}

std::string BuildGeneral(const uint8_t* p, const SeparatorSet& s) {
    std::string decimals;
    if (!p[kFixedDecimals])
        decimals = std::string(1, s.decimal) + "#";
    else if (p[kDecimals] != 0)
        decimals = s.decimal + Zeros(p[kDecimals]);
    std::string integer = p[kZeroPadded]  ? Zeros(p[kIntegerDigits])
                          : p[kThousands] ? Thousands(s)
                                          : "0";
    return WithNegativeStyle(integer + decimals, p[kNegativeStyle]);
}

std::string CurrencySymbol(const uint8_t* p) {
    char symbol[16] = {};
    std::memcpy(symbol, p + kCurrencySymbol, 15);
    return symbol;
}

// The text between double quotes; a double quote of its own closes the run, stands
// escaped and opens the next run, so that a symbol holding one still builds a code.
std::string Quoted(const std::string& text) {
    std::string out;
    out.reserve(text.size() + 2);
    out += '"';
    for (char c : text) {
        if (c == '"')
            out += "\"\\\"\"";
        else
            out += c;
    }
    out += '"';
    return out;
}

std::string BuildCurrency(const uint8_t* p, const SeparatorSet& s) {
    uint8_t position = p[kSymbolPosition] <= 3 ? p[kSymbolPosition] : 0;
    std::string symbol = CurrencySymbol(p);
    if (position == 1) symbol += ' ';
    if (position == 3) symbol.insert(0, 1, ' ');
    std::string quoted = Quoted(symbol);
    std::string number = Thousands(s);
    if (p[kCurrencyDecimals] > 0) number += s.decimal + Zeros(p[kCurrencyDecimals]);
    std::string part = position < 2 ? quoted + number : number + quoted;
    return WithNegativeStyle(part, p[kCurrencyNegative]);
}

std::string BuildAccounting(const uint8_t* p, const SeparatorSet& s) {
    std::string q = Quoted(CurrencySymbol(p));
    int d = p[kCurrencyDecimals];
    std::string number = Thousands(s);
    if (d > 0) number += s.decimal + Zeros(d);
    std::string out;
    for (const std::string& piece :
         {std::string("_("), q, std::string("* "), number, std::string("_);\\("), q,
          std::string("* "), number, std::string("\\);_("), q, std::string("* -"), Repeat(d, '?'),
          std::string("_);_(@_)")})
        out += piece;
    return out;
}

struct DateTemplate {
    const char* mdy;
    const char* dmy;
    const char* ymd;
};

// "|" stands for the date separator.
constexpr DateTemplate kDateTemplates[11] = {
    {"m|d|yyyy", "d|m|yyyy", "yyyy|m|d"},
    {"mm|dd|yyyy", "dd|mm|yyyy", "yyyy|mm|dd"},
    {"m|d|yy", "d|m|yy", "yy|m|d"},
    {"mm|dd|yy", "dd|mm|yy", "yy|mm|dd"},
    {"m|d", "d|m", "m|d"},
    {"mm|yy", "mm|yy", "yy|mm"},
    {"mmm-d", "d-mmm", "mmm-d"},
    {"mmm-d-yyyy", "d-mmm-yyyy", "yyyy-mmm-d"},
    {"mmm-d-yy", "d-mmm-yy", "yy-mmm-d"},
    {"mmmm d, yyyy", "d mmmm, yyyy", "yyyy, mmmm d"},
    {"dddd, mmmm dd, yyyy", "dddd, dd mmmm, yyyy", "yyyy, mmmm dd, dddd"},
};

// "|" stands for the time separator and "." for the decimal separator.
constexpr const char* kTimeTemplates[10] = {
    "h|mm",          "h|mm AM/PM", "hh|mm",          "hh|mm AM/PM", "h|mm|ss",
    "h|mm|ss AM/PM", "hh|mm|ss",   "hh|mm|ss AM/PM", "[m]|ss.00",   "[h]|mm|ss",
};

std::string Substitute(const char* pattern, char separator, char dot) {
    std::string out = pattern;
    for (char& c : out) {
        if (c == '|')
            c = separator;
        else if (c == '.')
            c = dot;
    }
    return out;
}

std::string BuildDate(const uint8_t* p, const SeparatorSet& s) {
    uint8_t style = p[kDateStyle] <= 10 ? p[kDateStyle] : 0;
    const SeparatorSet& orders = p[kDateOrderFlag] ? UserSeparators() : s;
    uint8_t order = style >= 9 ? orders.longDateOrder : orders.shortDateOrder;
    const DateTemplate& t = kDateTemplates[style];
    const char* pattern = order == 1 ? t.dmy : order == 2 ? t.ymd : t.mdy;
    return Substitute(pattern, s.date, '.');
}

std::string BuildTime(const uint8_t* p, const SeparatorSet& s) {
    uint8_t style = p[kTimeStyle] <= 9 ? p[kTimeStyle] : 0;
    return Substitute(kTimeTemplates[style], s.time, s.decimal);
}

std::string BuildDateTime(const uint8_t* p, const SeparatorSet& s) {
    std::string date = BuildDate(p, s), time = BuildTime(p, s);
    return p[kTimeFirst] ? time + "\\ " + date : date + "\\ " + time;
}

std::string BuildPercentage(const uint8_t* p, const SeparatorSet& s) {
    std::string number = Thousands(s);
    if (!p[kFixedDecimals])
        number += std::string(1, s.decimal) + "#";
    else if (p[kDecimals] > 0)
        number += s.decimal + Zeros(p[kDecimals]);
    return number + "\\%";
}

std::string BuildFraction(const uint8_t* p) {
    if (p[kDenominatorMode] == 1) {
        std::string denominator;
        AppendUnsigned(denominator, LoadU64(p + kFixedDenominator));
        return "?\\ " + Repeat(int(denominator.size()), '?') + "/\"" + denominator + "\"";
    }
    std::string digits = Repeat(p[kDenominatorDigits], '?');
    return "?\\ " + digits + "/" + digits;
}

std::string BuildScientific(const uint8_t* p, const SeparatorSet& s) {
    std::string mantissa = "0";
    if (!p[kFixedDecimals])
        mantissa += std::string(1, s.decimal) + "#";
    else if (p[kDecimals] > 0)
        mantissa += s.decimal + Zeros(p[kDecimals]);
    switch (p[kExponentForm]) {
    case 1:
        return mantissa + "e+\"" + IntText(p[kExponentNumber], 2) + "\"";
    case 2:
        return mantissa + "e-\"" + IntText(p[kExponentNumber], 2) + "\"";
    default:
        return mantissa + "e+00";
    }
}

} // namespace

std::string BuildStandardFormatCode(uint8_t kind, const uint8_t* params, const SeparatorSet* set) {
    const SeparatorSet& s = set ? *set : InternalSeparators();
    switch (kind) {
    case STD_STYLE_DEFAULT:
    case STD_STYLE_USER_DEFINED:
        return {};
    case STD_STYLE_GENERAL:
        return BuildGeneral(params, s);
    case STD_STYLE_CURRENCY:
        return BuildCurrency(params, s);
    case STD_STYLE_ACCOUNTING:
        return BuildAccounting(params, s);
    case STD_STYLE_DATE:
        return BuildDate(params, s);
    case STD_STYLE_TIME:
        return BuildTime(params, s);
    case STD_STYLE_DATE_TIME:
        return BuildDateTime(params, s);
    case STD_STYLE_PERCENTAGE:
        return BuildPercentage(params, s);
    case STD_STYLE_FRACTION:
        return BuildFraction(params);
    case STD_STYLE_SCIENTIFIC:
        return BuildScientific(params, s);
    default:
        return std::string("#") + s.decimal + "#";
    }
}

void BuildStandardFormatCode(StandardFormat& format, const SeparatorSet* set) {
    if (format.kind == STD_STYLE_USER_DEFINED) return;
    std::string code = BuildStandardFormatCode(format.kind, format.params, set);
    std::size_t n = code.size() < std::size_t(kMaxFormatCode) ? code.size() : kMaxFormatCode;
    std::memcpy(format.code, code.data(), n);
    format.code[n] = '\0';
}

void WriteStandardFormat(uint8_t* p, const StandardFormat& r) {
    std::memset(p, 0, kStandardFormatSize);
    StoreU8(p, r.kind);
    std::memcpy(p + 8, r.params, kStandardFormatParams);
    std::size_t n = 0;
    while (n < std::size_t(kMaxFormatCode) && r.code[n] != '\0') ++n;
    std::memcpy(p + 32, r.code, n);
}

void ReadStandardFormat(const uint8_t* p, StandardFormat& r) {
    r.kind = LoadU8(p);
    std::memcpy(r.params, p + 8, kStandardFormatParams);
    // A code without its NUL is cut at the field's end.
    std::memcpy(r.code, p + 32, kMaxFormatCode);
    r.code[kMaxFormatCode] = '\0';
}

} // namespace vl
