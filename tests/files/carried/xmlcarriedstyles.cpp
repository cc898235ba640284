#include "tests/files/carried/xmlcarriedstyles.h"

#include "files/xmlstyleitems.h"
#include "platform/core/bytes.h"

#include <cstring>

namespace vl {

namespace {

using namespace fmtparam;

constexpr int kSymbolLength = 14;
constexpr uint8_t kBorderSideBits = 0x3F;

uint8_t Flag(uint8_t v) {
    return v != 0;
}

// A count written only when its flag is set, read back with the flag as 1.
void KeepGiven(const uint8_t* p, uint8_t* q, int flag, int value) {
    if (!p[flag]) return;
    q[flag] = 1;
    q[value] = p[value];
}

void KeepSymbol(const uint8_t* p, uint8_t* q) {
    for (int i = 0; i < kSymbolLength && p[kCurrencySymbol + i]; ++i)
        q[kCurrencySymbol + i] = p[kCurrencySymbol + i];
    q[kCurrencyDecimals] = p[kCurrencyDecimals];
}

void KeepFraction(const uint8_t* p, uint8_t* q) {
    q[kDenominatorDigits] = 2; // the reader's starting count, also for a fixed denominator
    if (p[kDenominatorMode] == 1) {
        q[kDenominatorMode] = 1;
        std::memcpy(q + kFixedDenominator, p + kFixedDenominator, 8);
    } else {
        q[kDenominatorDigits] = p[kDenominatorDigits];
    }
}

void KeepScientific(const uint8_t* p, uint8_t* q) {
    KeepGiven(p, q, kFixedDecimals, kDecimals);
    if (!p[kExponentForm]) return;
    q[kExponentForm] = p[kExponentForm] == 2 ? 2 : 1;
    q[kExponentNumber] = p[kExponentNumber];
}

// The colours the XML form does not write for a style read back as style 0 has them.
void SettleStyleFill(const StyleRecord& base, InteriorFill& fill) {
    if (fill.pattern == FORMAT_PAT_NONE) {
        fill = base.fill;
        return;
    }
    SetUnwrittenFillColors(fill);
}

void SettleStyleBorder(const StyleRecord& base, StyleRecord& s) {
    s.borderSides &= kBorderSideBits;
    if (!s.borderSides && !s.borderLine.style) {
        s.borderLine = base.borderLine;
        return;
    }
    SetUnwrittenLineColor(s.borderLine);
}

void SettleStyleFields(const StyleRecord& base, StyleRecord& s) {
    SettleFormatParams(s.numberFormat);
    if (!s.fontRef.colorGiven) s.fontRef.color = base.fontRef.color;
    SettleStyleFill(base, s.fill);
    SettleStyleBorder(base, s);
}

} // namespace

void SettleFormatParams(StandardFormat& format) {
    const uint8_t* p = format.params;
    uint8_t q[kStandardFormatParams] = {};
    switch (format.kind) {
    case STD_STYLE_GENERAL:
        KeepGiven(p, q, kFixedDecimals, kDecimals);
        KeepGiven(p, q, kZeroPadded, kIntegerDigits);
        q[kThousands] = Flag(p[kThousands]);
        q[kNegativeStyle] = p[kNegativeStyle];
        break;
    case STD_STYLE_CURRENCY:
        KeepSymbol(p, q);
        q[kSymbolPosition] = p[kSymbolPosition];
        q[kCurrencyNegative] = p[kCurrencyNegative];
        break;
    case STD_STYLE_ACCOUNTING:
        KeepSymbol(p, q);
        break;
    case STD_STYLE_DATE:
        q[kDateStyle] = p[kDateStyle];
        q[kDateOrderFlag] = Flag(p[kDateOrderFlag]);
        break;
    case STD_STYLE_TIME:
        q[kTimeStyle] = p[kTimeStyle];
        break;
    case STD_STYLE_DATE_TIME:
        q[kDateStyle] = p[kDateStyle];
        q[kTimeStyle] = p[kTimeStyle];
        q[kDateOrderFlag] = Flag(p[kDateOrderFlag]);
        q[kTimeFirst] = Flag(p[kTimeFirst]);
        break;
    case STD_STYLE_PERCENTAGE:
        KeepGiven(p, q, kFixedDecimals, kDecimals);
        break;
    case STD_STYLE_FRACTION:
        KeepFraction(p, q);
        break;
    case STD_STYLE_SCIENTIFIC:
        KeepScientific(p, q);
        break;
    case STD_STYLE_DEFAULT:
        format.code[0] = '\0'; // written without a code
        break;
    default: // a user-defined format writes its code only
        break;
    }
    std::memcpy(format.params, q, sizeof q);
}

void SettleStyleTable(StyleTables& tables) {
    tables.fonts[0] = FontRecord{};
    tables.styles[0] = StyleRecord{};
    for (int i = 1; i < tables.styleCount; ++i)
        SettleStyleFields(tables.styles[0], tables.styles[i]);
}

} // namespace vl
