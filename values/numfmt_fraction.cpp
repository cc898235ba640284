// Fraction rendering: a whole part, a numerator and a denominator, either fixed by the
// code ("?/8") or of at most as many digits as the code has placeholders ("??/??").

#include "platform/core/cp1252.h"
#include "values/inttext.h"
#include "values/numfmt_number.h"

#include <cmath>

namespace vl {

namespace {

// 2^63: every magnitude from here on has no 64-bit integer.
constexpr double kInt64Limit = 9223372036854775808.0;
constexpr int kMaxDenominatorDigits = 18;
constexpr double kWholeOnly = 1e15;

// The fixed denominator written as literal digits after the slash; 0 when there is none
// or it does not fit, -1 when the code has placeholders instead.
int64_t FixedDenominator(const FormatToken* tokens, uint16_t first, uint16_t end) {
    if (first >= end || tokens[first].kind != kFmtLiteral || tokens[first].ch < '1' ||
        tokens[first].ch > '9')
        return -1;
    int64_t value = 0;
    for (uint16_t k = first; k < end; ++k) {
        const FormatToken& t = tokens[k];
        if (t.kind != kFmtLiteral || !IsAsciiDigit(char(t.ch))) break;
        if (value > (INT64_MAX - 9) / 10) return 0;
        value = value * 10 + (t.ch - '0');
    }
    return value;
}

// The first token of the numerator: the last run of placeholders before the slash.
uint16_t NumeratorStart(const FormatToken* tokens, uint16_t first, uint16_t slash) {
    int k = int(slash) - 1;
    while (k >= int(first) && tokens[k].kind != kFmtDigit) --k;
    while (k >= int(first) && tokens[k].kind == kFmtDigit) --k;
    return uint16_t(k + 1);
}

bool HasPlaceholder(const FormatToken* tokens, uint16_t first, uint16_t end) {
    for (uint16_t k = first; k < end; ++k)
        if (tokens[k].kind == kFmtDigit) return true;
    return false;
}

struct Fraction {
    int64_t whole = 0;
    int64_t numerator = 0;
    int64_t denominator = 1;
};

// The closest p/q to x (0 <= x < 1) with q at most `limit`, from the continued
// fraction of x and its last semiconvergent.
void BestApproximation(double x, int64_t limit, int64_t& p, int64_t& q) {
    int64_t p0 = 0, q0 = 1, p1 = 1, q1 = 0;
    double y = x;
    for (int step = 0; step < 64; ++step) {
        double a = std::floor(y);
        if (q1 > 0 && a > double(limit - q0) / double(q1)) break;
        int64_t ai = int64_t(a);
        int64_t p2 = p0 + ai * p1, q2 = q0 + ai * q1;
        p0 = p1, q0 = q1, p1 = p2, q1 = q2;
        double rest = y - a;
        if (rest <= 0 || q1 >= limit) break;
        y = 1 / rest;
        if (!(y < kInt64Limit)) break;
    }
    if (q1 == 0) {
        p = 0, q = 1;
        return;
    }
    // The semiconvergent with the largest denominator allowed may lie closer.
    int64_t k = (limit - q0) / q1;
    int64_t ps = p0 + k * p1, qs = q0 + k * q1;
    bool semi =
        k > 0 && std::fabs(x - double(ps) / double(qs)) < std::fabs(x - double(p1) / double(q1));
    p = semi ? ps : p1;
    q = semi ? qs : q1;
}

// Splits `value` (non-negative) into whole part and fraction. A fixed denominator takes
// the rounded numerator as it is; otherwise the closest fraction whose denominator has
// at most the placeholders' digits is used (0.5 with "?/?" is 1/2).
bool MakeFraction(double value, int64_t denominator, bool fixed, Fraction& f) {
    if (!(std::fabs(value) < kInt64Limit)) return false;
    f.whole = int64_t(value);
    double rest = value - double(f.whole);
    if (fixed) {
        f.denominator = denominator;
        double scaled = rest * double(denominator) + 0.5;
        if (!(scaled < kInt64Limit)) return false;
        f.numerator = int64_t(scaled);
    } else {
        BestApproximation(rest, denominator, f.numerator, f.denominator);
    }
    if (f.numerator >= f.denominator) {
        if (__builtin_add_overflow(f.whole, f.numerator / f.denominator, &f.whole)) return false;
        f.numerator %= f.denominator;
    }
    return true;
}

bool IsFractionPart(const FormatToken& t) {
    return t.kind == kFmtDigit || t.kind == kFmtSlash ||
           (t.kind == kFmtLiteral && (t.ch == ' ' || IsAsciiDigit(char(t.ch))));
}

// A whole number under a code with a whole part: the number, and the fraction's place
// kept blank, so that 0.999 through "# ?/?" shows 1 aligned with 1 1/2.
bool RenderWholeOnly(RenderedList& out, std::string_view whole, const FormatToken* tokens,
                     uint16_t first, uint16_t numStart, uint16_t end) {
    uint16_t wholeEnd = numStart;
    while (wholeEnd > first && tokens[wholeEnd - 1].kind != kFmtDigit) --wholeEnd;
    if (!AnalyseDigitPlaceholders(tokens, first, wholeEnd, out, whole, DigitDirection::RightToLeft))
        return false;
    uint16_t fractionEnd = end;
    while (fractionEnd > wholeEnd && !IsFractionPart(tokens[fractionEnd - 1])) --fractionEnd;
    for (uint16_t k = wholeEnd; k < end; ++k) {
        const FormatToken& t = tokens[k];
        bool blank = k < fractionEnd && IsFractionPart(t);
        // A fixed denominator is not a placeholder: it leaves no blank.
        if (blank && t.kind == kFmtLiteral && IsAsciiDigit(char(t.ch))) continue;
        char ch = t.kind == kFmtDigit ? '0' : char(t.ch);
        if (!out.Add(blank ? kRenderedBlank : t.kind, ch)) return false;
    }
    return true;
}

// The section's fraction of `value`: false when the code or the value has none.
bool SectionFraction(double value, const FormatSection& s, const FormatToken* tokens, Fraction& f) {
    uint16_t slash = s.slashIndex;
    uint16_t end = s.EndToken();
    if (slash == kNoToken || slash >= end) return false;
    int64_t denominator = FixedDenominator(tokens, uint16_t(slash + 1), end);
    bool fixed = denominator >= 0;
    if (!fixed) {
        if (s.fracDigits > kMaxDenominatorDigits) return false;
        denominator = 1;
        for (int k = 0; k < s.fracDigits; ++k) denominator *= 10;
        denominator -= 1;
    }
    if (denominator <= 0) return false;
    return MakeFraction(value, denominator, fixed, f);
}

} // namespace

bool FractionShowsZero(double value, const FormatSection& s, const FormatToken* tokens) {
    Fraction f;
    return SectionFraction(value, s, tokens, f) && f.whole == 0 && f.numerator == 0;
}

bool RenderFractionNumber(RenderedList& out, double value, const FormatSection& s,
                          const FormatToken* tokens) {
    uint16_t slash = s.slashIndex;
    uint16_t end = s.EndToken();
    if (slash == kNoToken || slash >= end) return false;
    uint16_t numStart = NumeratorStart(tokens, s.firstToken, slash);
    bool wholePlaceholders = HasPlaceholder(tokens, s.firstToken, numStart);
    // From 10^15 on a value's 15 digits hold no fraction: it shows as the fixed codes
    // show it, without the binary value's digits past the 15th.
    if (value >= kWholeOnly)
        return wholePlaceholders && RenderWholeOnly(out, RoundedFixedText(value, 0), tokens,
                                                    s.firstToken, numStart, end);
    Fraction f;
    if (!SectionFraction(value, s, tokens, f)) return false;
    if (!wholePlaceholders) {
        // Without a whole-part placeholder the whole part joins the numerator (1.5 with
        // "?/?" is 3/2, not 5/9 with the one lost).
        int64_t extra;
        if (__builtin_mul_overflow(f.whole, f.denominator, &extra) ||
            __builtin_add_overflow(f.numerator, extra, &f.numerator))
            return false;
        f.whole = 0;
    }
    if (f.numerator == 0 && wholePlaceholders)
        return RenderWholeOnly(out, IntText(f.whole), tokens, s.firstToken, numStart, end);
    std::string whole = f.whole == 0 ? std::string() : IntText(f.whole);
    return AnalyseDigitPlaceholders(tokens, s.firstToken, numStart, out, whole,
                                    DigitDirection::RightToLeft) &&
           AnalyseDigitPlaceholders(tokens, numStart, slash, out, IntText(f.numerator),
                                    DigitDirection::RightToLeft) &&
           out.Add(kFmtSlash, '/') &&
           AnalyseDigitPlaceholders(tokens, uint16_t(slash + 1), end, out, IntText(f.denominator),
                                    DigitDirection::LeftToRight, true);
}

} // namespace vl
