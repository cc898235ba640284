#include "values/numfmt_number.h"

#include "platform/core/number.h"
#include "values/formatdouble.h"
#include "values/numfmt_cache.h"

#include <cmath>

namespace vl {

namespace {

constexpr int kPlainForm = -1;

bool HasCondition(const FormatSection& s) {
    for (uint8_t k = 0; k < s.bracketCount; ++k)
        if (s.brackets[k].kind == kFmtCondition) return true;
    return false;
}

// The section's condition, or null.
const BracketItem* Condition(const FormatSection& s) {
    for (uint8_t k = 0; k < s.bracketCount; ++k)
        if (s.brackets[k].kind == kFmtCondition) return &s.brackets[k];
    return nullptr;
}

bool HasConditions(const CompiledFormat& f) {
    for (int k = 0; k < f.declaredSections; ++k)
        if (HasCondition(f.sections[k])) return true;
    return false;
}

// A first section meant for negative values ("[<0]" or "[<=0]", the second section's
// condition, if any, taking values above zero) shows them without the sign, as the second
// section of "0;0" does; any other first section shows the sign.
bool FirstSectionTakesNegatives(const CompiledFormat& f) {
    const BracketItem* first = Condition(f.sections[0]);
    const BracketItem* second = f.declaredSections > 1 ? Condition(f.sections[1]) : nullptr;
    if (!first || first->number != 0 || (second && second->number != 0)) return false;
    const uint32_t other = second ? second->value : 0;
    if (first->value == kCmpLess)
        return other == 0 || other == kCmpGreater || other == kCmpEqual ||
               other == kCmpGreaterEqual;
    return first->value == kCmpLessEqual && (other == 0 || other == kCmpGreater);
}

bool IsTextSection(const FormatSection& s) {
    return (s.kinds & kFmtText) != 0;
}

// A section of text alone ("@"): it shows texts, and a number goes to the first section.
bool IsTextOnlySection(const FormatSection& s) {
    return IsTextSection(s) && !(s.kinds & kFmtDigit);
}

// The section that shows `value`, or kPlainForm.
int ChooseSection(const CompiledFormat& f, double value) {
    int count = f.declaredSections;
    if (count == 0) return kPlainForm;
    // A code of one text section decorates texts; a number shows plainly.
    if (count == 1)
        return TestFormatConditions(f, value, 0) && !f.sections[0].textAt ? 0 : kPlainForm;
    bool conditions = false;
    for (int k = 0; k < count; ++k) conditions |= HasCondition(f.sections[k]);
    if (conditions) {
        for (int k = 0; k < count; ++k)
            if (TestFormatConditions(f, value, k) && !IsTextSection(f.sections[k])) return k;
        return kPlainForm;
    }
    int k = (count >= 3 && value == 0) ? 2 : value < 0 ? 1 : 0;
    return IsTextOnlySection(f.sections[k]) ? 0 : k;
}

// True when the section's digits of `magnitude` are all zeros.
bool ShowsAsZero(double magnitude, const FormatSection& s, const FormatToken* tokens) {
    if (magnitude == 0) return true;
    if (s.exponentIndex != kNoToken || !(s.kinds & kFmtDigit)) return false;
    if (magnitude >= 1) return false;
    if (s.slashIndex != kNoToken) return FractionShowsZero(magnitude, s, tokens);
    return RoundsToZero(magnitude, s.fracDigits);
}

bool AddPlainNumber(RenderedList& out, double value) {
    for (char c : FormatGeneralNumber(value)) {
        uint32_t kind = c == '.'                 ? kFmtDecimal
                        : (c == 'e' || c == 'E') ? kFmtExponent
                                                 : kFmtLiteral;
        if (!out.Add(kind, c)) return false;
    }
    return true;
}

// A section that writes no characters of its own, only colours, conditions, spaces or
// fills ("[red]"), shows the plain number; an empty section shows nothing, and one of
// literal text that text (0;-0;"zero" shows zero as "zero").
bool ShowsPlainNumber(const FormatSection& s) {
    return s.tokenCount > 0 && !(s.kinds & (kFmtLiteral | kFmtText | kFmtDigit));
}

// A section with neither placeholders nor exponent nor slash: its tokens in order, the
// number in place of each "@", or first when the section shows the plain number.
bool RenderTextSection(RenderedList& out, double value, const FormatSection& s,
                       const FormatToken* tokens) {
    if (ShowsPlainNumber(s) && !AddPlainNumber(out, value)) return false;
    for (uint16_t k = s.firstToken; k < s.EndToken(); ++k) {
        const FormatToken& t = tokens[k];
        bool ok = t.kind == kFmtText ? AddPlainNumber(out, value) : out.Add(t.kind, char(t.ch));
        if (!ok) return false;
    }
    return true;
}

bool RenderSection(RenderedList& out, double value, const FormatSection& s,
                   const FormatToken* tokens) {
    if (s.exponentIndex != kNoToken) return RenderScientificNumber(out, value, s, tokens);
    if (s.slashIndex != kNoToken) return RenderFractionNumber(out, value, s, tokens);
    if (s.kinds & kFmtDigit) return RenderFixedNumber(out, value, s, tokens);
    return RenderTextSection(out, value, s, tokens);
}

} // namespace

bool TestFormatConditions(const CompiledFormat& f, double value, int section) {
    if (section < 0 || section >= kMaxFormatSections) return false;
    const FormatSection& s = f.sections[section];
    for (uint8_t k = 0; k < s.bracketCount; ++k) {
        const BracketItem& item = s.brackets[k];
        if (item.kind != kFmtCondition) continue;
        double n = item.number;
        bool pass = false;
        switch (item.value) {
        case kCmpLessEqual:
            pass = value <= n;
            break;
        case kCmpGreaterEqual:
            pass = value >= n;
            break;
        case kCmpEqual:
            pass = value == n;
            break;
        case kCmpNotEqual:
            pass = value != n;
            break;
        case kCmpLess:
            pass = value < n;
            break;
        case kCmpGreater:
            pass = value > n;
            break;
        default:
            break;
        }
        if (!pass) return false;
    }
    return true;
}

bool FormatCompiledNumber(RenderedList& out, double value, const CompiledFormat& f,
                          const SeparatorSet* set) {
    out.Clear();
    if (!std::isfinite(value)) return false;
    int index = ChooseSection(f, value);
    if (index == kPlainForm) {
        // Where conditions of several sections all refuse the value, it shows plainly
        // without its sign, as the sections that take negatives do.
        if (f.declaredSections > 1 && HasConditions(f)) value = std::fabs(value);
        if (!AddPlainNumber(out, value)) return false;
        if (set) ApplySeparators(out, *set);
        return true;
    }
    const FormatSection& s = f.sections[index];
    // Dates are text: a number has no calendar fields to show.
    if (s.kinds & (kFmtDateTimeKinds | kFmtElapsed)) return false;
    double magnitude = std::fabs(value);
    // One section shows the sign itself wherever it shows the number; several show it by
    // their own literals, as the parentheses of (0).
    bool showsNumber = (s.kinds & (kFmtDigit | kFmtText)) || ShowsPlainNumber(s);
    if (s.scaling > 0) magnitude /= std::pow(10.0, 3.0 * s.scaling);
    if (s.percentIndex != kNoToken) magnitude *= 100;
    // A negative value that shows as zero shows no sign: -0.0001 through 0.00 is 0.00.
    // The first section shows the sign itself when it stands alone, or in for a text
    // section ("0.00;@" shows -5 as -5.00).
    // With conditions, the first section shows the sign of any negative value it admits
    // unless it is meant for negative values; the later sections never do.
    bool ownSign = HasConditions(f) ? index == 0 && !FirstSectionTakesNegatives(f)
                                    : f.declaredSections == 1 || (index == 0 && value < 0);
    if (value < 0 && ownSign && showsNumber && !ShowsAsZero(magnitude, s, f.tokens))
        if (!out.Add(kFmtLiteral, '-')) return false;
    if (!RenderSection(out, magnitude, s, f.tokens)) return false;
    ApplySectionColor(out, s);
    if (set) ApplySeparators(out, *set);
    return true;
}

bool FormatNumberValue(RenderedList& out, double value, std::string_view code,
                       const SeparatorSet* set) {
    const CompiledFormat* f = CompileCachedFormat(code);
    if (!f) {
        out.Clear();
        return false;
    }
    return FormatCompiledNumber(out, value, *f, set);
}

bool FormatValueText(double value, std::string_view code, std::string& text,
                     const SeparatorSet* set) {
    RenderedList list;
    if (!FormatNumberValue(list, value, code, set)) {
        text = FormatGeneralNumber(value, set);
        return false;
    }
    text = list.Text();
    return true;
}

namespace {

// A part of a complex text keeps 15 significant digits: the plain form counts places, so a
// small part (2.08186856073021e-009) would keep only a few of them there.
// From 1 to the plain form's largest fixed value it has 15 significant digits too, unless
// rounding carries into a new digit: such parts need no second form.
bool PlainHasFifteenDigits(double value) {
    const double magnitude = std::fabs(value);
    if (!(magnitude >= 1 && magnitude <= 999999999999999.0)) return false;
    double power = 10;
    while (power <= magnitude) power *= 10;
    return magnitude < power - 0.5;
}

std::string ComplexPart(double value) {
    std::string plain = FormatDouble(value);
    if (PlainHasFifteenDigits(value)) return plain;
    std::string digits = FormatNumberG(value, 15);
    double a = 0, b = 0;
    if (ParseNumber(plain, a) && ParseNumber(digits, b) && a != b) return digits;
    return plain;
}

} // namespace

std::string FormatComplex(double real, double imaginary, std::string_view suffix) {
    std::string out = ComplexPart(real);
    out += ' ';
    out += imaginary >= 0 ? '+' : '-';
    out += ' ';
    out += ComplexPart(std::fabs(imaginary));
    out += suffix;
    return out;
}

} // namespace vl
