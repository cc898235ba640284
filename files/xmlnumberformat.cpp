// The "NumberFormat" element: one child naming the family with its parameters as
// attributes, or "UserDefined" with the format code as text.

#include "files/xmlfields.h"
#include "files/xmlnames.h"
#include "files/xmlstyleitems.h"
#include "platform/core/bytes.h"
#include "values/inttext.h"

#include <cstring>

namespace vl {

namespace {

using namespace fmtparam;

// Children in the order the reader tries them, with their kinds.
struct FamilyElement {
    std::string_view name;
    uint8_t kind;
};
constexpr FamilyElement kFamilies[] = {
    {"General", STD_STYLE_GENERAL},
    {"Currency", STD_STYLE_CURRENCY},
    {"Accounting", STD_STYLE_ACCOUNTING},
    {"Time", STD_STYLE_TIME},
    {"Date", STD_STYLE_DATE},
    {"DateTime", STD_STYLE_DATE_TIME},
    {"Percentage", STD_STYLE_PERCENTAGE},
    {"Fraction", STD_STYLE_FRACTION},
    {"Scientific", STD_STYLE_SCIENTIFIC},
};

constexpr std::size_t kSymbolLength = 14;
// A user's code in the file: the whole code a style holds, so that every code the writer
// writes reads back, the longest a binary workbook carries too.
constexpr std::size_t kUserCodeLength = kMaxFormatCode;

std::string_view FamilyName(uint8_t kind) {
    for (const FamilyElement& f : kFamilies)
        if (f.kind == kind) return f.name;
    return {};
}

bool ReadU8(CXmlReader& r, std::string_view name, uint8_t& out, uint8_t min, uint8_t max) {
    return !r.FindAttribute(name) || r.GetU8Attribute(out, min, max);
}

bool ReadBool(CXmlReader& r, std::string_view name, uint8_t& out) {
    return !r.FindAttribute(name) || r.GetBoolAttribute(out);
}

// A value with a "given" flag: both set when the attribute is there.
bool ReadGivenU8(CXmlReader& r, std::string_view name, uint8_t* p, int flag, int value) {
    if (!r.FindAttribute(name)) return true;
    if (!r.GetU8Attribute(p[value], 0, 14)) return false;
    p[flag] = 1;
    return true;
}

// The required currency symbol: 58 when absent, 57 when its raw value passes 1,024 bytes,
// 59 when longer than 14 after decoding (a value the field cannot hold, as other values).
constexpr std::size_t kRawSymbolLimit = 1024;

bool ReadSymbol(CXmlReader& r, uint8_t* p) {
    if (!r.FindAttribute("Symbol")) return r.Fail(kErrorXmlMissing);
    std::string symbol;
    if (!r.DecodeValue(symbol, kRawSymbolLimit)) return false;
    if (symbol.size() > kSymbolLength) return r.Fail(kErrorXmlData);
    std::memset(p + kCurrencySymbol, 0, kSymbolLength + 1);
    std::memcpy(p + kCurrencySymbol, symbol.data(), symbol.size());
    return true;
}

bool ReadFraction(CXmlReader& r, uint8_t* p) {
    p[kDenominatorDigits] = 2;
    if (r.FindAttribute("DenominatorDigits")) {
        p[kDenominatorMode] = 0;
        return r.GetU8Attribute(p[kDenominatorDigits], 1, 14);
    }
    if (!r.FindAttribute("Denominator")) return true;
    uint32_t denominator = 0;
    if (!r.GetU32Attribute(denominator, 1, uint32_t(kXmlCapU32))) return false;
    p[kDenominatorMode] = 1;
    StoreU64(p + kFixedDenominator, denominator);
    return true;
}

bool ReadScientific(CXmlReader& r, uint8_t* p) {
    if (!ReadGivenU8(r, "DecimalDigits", p, kFixedDecimals, kDecimals)) return false;
    if (!r.FindAttribute("Exponent")) return true;
    int32_t exponent = 0;
    // A number's text starts at its sign or digit, as every other number attribute's does.
    if (!r.Value().empty() && (r.Value()[0] == ' ' || r.Value()[0] == '\t'))
        return r.Fail(kErrorXmlData);
    if (!r.GetI32Attribute(exponent, -99, 99)) return false;
    // The sign is taken from the text, so that a written "-0" reads back as minus.
    p[kExponentForm] = !r.Value().empty() && r.Value()[0] == '-' ? 2 : 1;
    p[kExponentNumber] = uint8_t(exponent < 0 ? -exponent : exponent);
    return true;
}

bool ReadFamilyAttributes(CXmlReader& r, uint8_t kind, uint8_t* p) {
    switch (kind) {
    case STD_STYLE_GENERAL:
        return ReadGivenU8(r, "DecimalDigits", p, kFixedDecimals, kDecimals) &&
               ReadGivenU8(r, "LeadingZeroes", p, kZeroPadded, kIntegerDigits) &&
               ReadBool(r, "GroupDigits", p[kThousands]) &&
               ReadXmlKeywordIf(r, "Negative", kXmlNegativeForms, p[kNegativeStyle]);
    case STD_STYLE_CURRENCY:
        p[kCurrencyDecimals] = 2;
        return ReadU8(r, "DecimalDigits", p[kCurrencyDecimals], 0, 14) && ReadSymbol(r, p) &&
               ReadXmlKeywordIf(r, "SymbolPosition", kXmlSymbolPositions, p[kSymbolPosition]) &&
               ReadXmlKeywordIf(r, "Negative", kXmlNegativeForms, p[kCurrencyNegative]);
    case STD_STYLE_ACCOUNTING:
        p[kCurrencyDecimals] = 2;
        return ReadU8(r, "DecimalDigits", p[kCurrencyDecimals], 0, 14) && ReadSymbol(r, p);
    case STD_STYLE_TIME:
        return ReadU8(r, "Index", p[kTimeStyle], 0, 9);
    case STD_STYLE_DATE:
        return ReadBool(r, "SystemDateOrder", p[kDateOrderFlag]) &&
               ReadU8(r, "Index", p[kDateStyle], 0, 10);
    case STD_STYLE_DATE_TIME:
        return ReadU8(r, "DateIndex", p[kDateStyle], 0, 10) &&
               ReadU8(r, "TimeIndex", p[kTimeStyle], 0, 10) &&
               ReadBool(r, "DateAfterTime", p[kTimeFirst]) &&
               ReadBool(r, "SystemDateOrder", p[kDateOrderFlag]);
    case STD_STYLE_PERCENTAGE:
        return ReadGivenU8(r, "DecimalDigits", p, kFixedDecimals, kDecimals);
    case STD_STYLE_FRACTION:
        return ReadFraction(r, p);
    default:
        return ReadScientific(r, p);
    }
}

// The child element; false with the reader still fine when none of the families is there.
bool ReadFamily(CXmlReader& r, StandardFormat& format) {
    for (const FamilyElement& f : kFamilies) {
        if (!r.ReadNextTag(f.name, kXmlAttributes | kXmlStart | kXmlEnd | kXmlOptional)) {
            if (!r.Ok()) return false;
            continue;
        }
        format.kind = f.kind;
        if (!ReadFamilyAttributes(r, f.kind, format.params)) return false;
        BuildStandardFormatCode(format, &InternalSeparators());
        return true;
    }
    return false;
}

bool ReadUserDefined(CXmlReader& r, StandardFormat& format) {
    if (!r.ReadElementText("UserDefined", kUserCodeLength, kXmlOptional, true)) return r.Ok();
    if (r.Text().empty()) return true;
    format.kind = STD_STYLE_USER_DEFINED;
    std::memcpy(format.code, r.Text().c_str(), r.Text().size() + 1);
    return true;
}

void AppendFamilyAttributes(XmlAttributeText& a, uint8_t kind, const uint8_t* p) {
    switch (kind) {
    case STD_STYLE_GENERAL:
        if (p[kFixedDecimals]) a.Int("DecimalDigits", p[kDecimals]);
        if (p[kZeroPadded]) a.Int("LeadingZeroes", p[kIntegerDigits]);
        if (p[kThousands]) a.Raw("GroupDigits", "1");
        a.Raw("Negative", XmlNameOf(kXmlNegativeForms, p[kNegativeStyle]));
        break;
    case STD_STYLE_CURRENCY:
    case STD_STYLE_ACCOUNTING: {
        char symbol[kSymbolLength + 1] = {};
        std::memcpy(symbol, p + kCurrencySymbol, kSymbolLength);
        a.Int("DecimalDigits", p[kCurrencyDecimals]);
        a.Text("Symbol", symbol);
        if (kind == STD_STYLE_ACCOUNTING) break;
        a.Raw("SymbolPosition", XmlNameOf(kXmlSymbolPositions, p[kSymbolPosition]));
        a.Raw("Negative", XmlNameOf(kXmlNegativeForms, p[kCurrencyNegative]));
        break;
    }
    case STD_STYLE_DATE:
        a.Int("Index", p[kDateStyle]).Bool("SystemDateOrder", p[kDateOrderFlag]);
        break;
    case STD_STYLE_TIME:
        a.Int("Index", p[kTimeStyle]);
        break;
    case STD_STYLE_DATE_TIME:
        a.Int("DateIndex", p[kDateStyle]).Int("TimeIndex", p[kTimeStyle]);
        a.Bool("DateAfterTime", p[kTimeFirst]).Bool("SystemDateOrder", p[kDateOrderFlag]);
        break;
    case STD_STYLE_PERCENTAGE:
        // Only a fixed count is written: a written count always reads back as fixed.
        if (p[kFixedDecimals]) a.Int("DecimalDigits", p[kDecimals]);
        break;
    case STD_STYLE_FRACTION:
        if (p[kDenominatorMode] == 1) {
            std::string digits;
            AppendUnsigned(digits, LoadU64(p + kFixedDenominator));
            a.Raw("Denominator", digits);
        } else {
            a.Int("DenominatorDigits", p[kDenominatorDigits]);
        }
        break;
    case STD_STYLE_SCIENTIFIC:
        if (p[kFixedDecimals]) a.Int("DecimalDigits", p[kDecimals]);
        if (p[kExponentForm]) {
            std::string exponent = p[kExponentForm] == 2 ? "-" : "";
            AppendUnsigned(exponent, p[kExponentNumber]);
            a.Raw("Exponent", exponent);
        }
        break;
    default:
        break;
    }
}

} // namespace

bool ReadXmlNumberFormat(CXmlReader& r, StandardFormat& format) {
    if (!r.ReadNextTag("NumberFormat", kXmlOptional)) return r.Ok();
    if (r.IsEnd()) return true;
    if (r.ReadNextTag("Default", kXmlAttributes | kXmlStart | kXmlEnd | kXmlOptional)) {
        format.kind = STD_STYLE_DEFAULT;
    } else if (!r.Ok() || (!ReadFamily(r, format) && (!r.Ok() || !ReadUserDefined(r, format)))) {
        return false;
    }
    return r.ReadNextTag("NumberFormat", kXmlEnd);
}

void WriteXmlNumberFormat(CXmlWriter& w, const StandardFormat& format, int level) {
    w.WriteTag("NumberFormat", {}, kXmlStartTag, level, 1);
    if (format.kind == STD_STYLE_DEFAULT) {
        w.WriteTag("Default", {}, kXmlEmptyTag, level + 1, 1);
    } else if (format.kind == STD_STYLE_USER_DEFINED) {
        w.WriteElement("UserDefined", format.code, level + 1, 1);
    } else {
        XmlAttributeText a(w.Utf8());
        AppendFamilyAttributes(a, format.kind, format.params);
        w.WriteTag(FamilyName(format.kind), a.str(), kXmlEmptyTag, level + 1, 1);
    }
    w.WriteTag("NumberFormat", {}, kXmlEndTag, level, 1);
}

} // namespace vl
