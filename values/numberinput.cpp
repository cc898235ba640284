#include "values/numberinput.h"

#include "platform/core/bytes.h"
#include "platform/core/cp1252.h"
#include "platform/core/number.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <string>

namespace vl {

namespace {

// What may still come, besides the features.
constexpr uint32_t kAllowAll = 0xFFFFFFFF;
// Fixed denominators up to here are kept as they were typed; a format holds no larger one
// (a stored file refuses it), so a larger denominator is kept as its count of digits.
constexpr double kLastFixedDenominator = 4294967294.0;

std::string_view CurrencyOf(const SeparatorSet& set) {
    std::size_t n = 0;
    while (n < sizeof set.currency - 1 && set.currency[n] != '\0') ++n;
    return {set.currency, n};
}

class CNumberMatcher {
public:
    CNumberMatcher(NumberScanRecord& scan, std::string_view text, const SeparatorSet& set)
        : s_(scan), t_(text), set_(set), symbol_(CurrencyOf(set)) {}

    bool Run();

private:
    bool Step();
    bool Digit(char c);
    bool Decimal();
    bool PointBeforeExponent() const;
    bool Thousands();
    bool Blank();
    bool Currency();
    bool Exponent();
    bool End() const;
    void Add(uint32_t kind, char ch) {
        if (s_.count >= kMaxNumberScanItems) {
            s_.overflow = 1;
            return;
        }
        s_.items[s_.count++] = NumberScanItem{kind, ch};
        s_.features |= kind;
    }
    bool Allowed(uint32_t what) const { return (allowed_ & what) != 0; }
    bool AfterDigit() const { return s_.count > 0 && s_.items[s_.count - 1].kind == kNumDigit; }

    NumberScanRecord& s_;
    std::string_view t_;
    const SeparatorSet& set_;
    std::string_view symbol_;
    std::size_t pos_ = 0;
    uint32_t allowed_ = kAllowAll;
    bool closed_ = false;   // after ")" nothing, after "%" behind digits only ")"
    bool finished_ = false; // after ")"
    bool digitSeen_ = false;
    int group_ = 0;           // digits of the current thousands group
    bool groupsDone_ = false; // the groups were closed by a blank-fraction
};

bool CNumberMatcher::Run() {
    while (pos_ < t_.size())
        if (!Step()) return false;
    return End();
}

bool CNumberMatcher::Step() {
    char c = t_[pos_];
    if (c == ' ') return Blank();
    if (finished_) return false;
    if (!symbol_.empty() && t_.substr(pos_, symbol_.size()) == symbol_) return Currency();
    if (IsAsciiDigit(c)) return Digit(c);
    if (closed_ && c != ')') return false;
    // The plain text of a number writes its exponent form with "." in every set.
    if (c == set_.decimal || (c == '.' && PointBeforeExponent())) return Decimal();
    if (c == set_.thousands) return Thousands();
    if (c == 'E' || c == 'e') return Exponent();
    if (c == '/') {
        if (!Allowed(kNumSlash) || !AfterDigit()) return false;
        s_.slashPos = s_.count;
        Add(kNumSlash, '/');
        allowed_ &= ~(kNumThousands | kNumDecimal | kNumExponent | kNumSlash | kNumBlankFraction);
        ++pos_;
        return true;
    }
    if (c == '+' || c == '-') {
        if (!Allowed(kNumSign) || digitSeen_) return false;
        Add(kNumSign, c);
        allowed_ &= ~kNumSign;
        ++pos_;
        return true;
    }
    if (c == '(') {
        if (!Allowed(kNumOpenParen) || digitSeen_) return false;
        s_.features |= kNumOpenParen;
        allowed_ &= ~kNumOpenParen;
        ++pos_;
        return true;
    }
    if (c == ')') {
        if (!(s_.features & kNumOpenParen) || (s_.features & kNumCloseParen)) return false;
        s_.features |= kNumCloseParen;
        finished_ = true;
        ++pos_;
        return true;
    }
    if (c == '%') {
        if (!Allowed(kNumPercent)) return false;
        s_.features |= kNumPercent;
        allowed_ &= ~(kNumPercent | kNumCurrency);
        if (digitSeen_)
            closed_ = true;
        else
            allowed_ &= ~kNumOpenParen;
        ++pos_;
        return true;
    }
    return false;
}

bool CNumberMatcher::Digit(char c) {
    if (closed_) return false;
    Add(kNumDigit, c);
    digitSeen_ = true;
    if (s_.exponentPos >= 0) {
        ++s_.expDigits;
    } else if (s_.decimalPos >= 0 || s_.slashPos >= 0) {
        ++s_.fracDigits;
    } else {
        ++s_.intDigits;
        if (!(s_.features & kNumBlankFraction)) {
            ++group_;
            if ((s_.features & kNumThousands) && group_ >= 4) return false;
        }
    }
    allowed_ &= ~(kNumOpenParen | kNumSign);
    ++pos_;
    return true;
}

bool CNumberMatcher::Decimal() {
    if (!Allowed(kNumDecimal)) return false;
    s_.decimalPos = s_.count;
    Add(kNumDecimal, InternalSeparators().decimal);
    allowed_ &=
        ~(kNumDecimal | kNumThousands | kNumSlash | kNumBlankFraction | kNumOpenParen | kNumSign);
    ++pos_;
    return true;
}

// A "." followed by digits and an exponent letter.
bool CNumberMatcher::PointBeforeExponent() const {
    std::size_t k = pos_ + 1;
    while (k < t_.size() && IsAsciiDigit(t_[k])) ++k;
    return k > pos_ + 1 && k < t_.size() && (t_[k] == 'e' || t_[k] == 'E');
}

bool CNumberMatcher::Thousands() {
    bool fits = group_ >= 1 && group_ <= 3 && (!(s_.features & kNumThousands) || group_ == 3);
    if (!Allowed(kNumThousands) || !fits) return false;
    Add(kNumThousands, InternalSeparators().thousands);
    group_ = 0;
    ++pos_;
    return true;
}

bool CNumberMatcher::Blank() {
    std::size_t next = pos_;
    while (next < t_.size() && t_[next] == ' ') ++next;
    std::size_t digitsEnd = next;
    while (digitsEnd < t_.size() && IsAsciiDigit(t_[digitsEnd])) ++digitsEnd;
    if (!digitSeen_ || digitsEnd == next || finished_ || closed_) {
        pos_ = next;
        return true;
    }
    if (digitsEnd < t_.size() && t_[digitsEnd] == '/') {
        if (!Allowed(kNumBlankFraction)) return false;
        if ((s_.features & kNumThousands) && group_ != 3) return false;
        groupsDone_ = true;
        Add(kNumBlankFraction, ' ');
        allowed_ &= ~(kNumBlankFraction | kNumThousands | kNumDecimal | kNumExponent);
        pos_ = next;
        return true;
    }
    if (set_.thousands == ' ') {
        if (next != pos_ + 1) return false; // one blank is one separator
        return Thousands();
    }
    // Digits a blank separates are two numbers ("0 5", "1 000"), as both peers read them:
    // joined they would be another number.
    return false;
}

bool CNumberMatcher::Currency() {
    if (!Allowed(kNumCurrency) || (s_.features & (kNumCurrency | kNumPercent))) return false;
    Add(kNumCurrency, '$');
    if (digitSeen_) {
        bool blank = pos_ > 0 && t_[pos_ - 1] == ' ';
        s_.features |= blank ? kNumCurrencyAfterBlank : kNumCurrencyAfter;
    } else {
        std::size_t after = pos_ + symbol_.size();
        bool blank = after < t_.size() && t_[after] == ' ';
        s_.features |= blank ? kNumCurrencyBeforeBlank : kNumCurrencyBefore;
    }
    allowed_ &= ~(kNumCurrency | kNumPercent);
    pos_ += symbol_.size();
    return true;
}

bool CNumberMatcher::Exponent() {
    if (!Allowed(kNumExponent) || !AfterDigit()) return false;
    s_.exponentPos = s_.count;
    Add(kNumExponent, 'e');
    ++pos_;
    while (pos_ < t_.size() && t_[pos_] == ' ') ++pos_;
    if (pos_ < t_.size() && (t_[pos_] == '+' || t_[pos_] == '-')) Add(kNumExponent, t_[pos_++]);
    allowed_ &= ~(kNumThousands | kNumDecimal | kNumExponent | kNumSlash | kNumBlankFraction);
    return true;
}

bool CNumberMatcher::End() const {
    if (!digitSeen_ || s_.overflow) return false;
    if (s_.exponentPos >= 0 && s_.expDigits == 0) return false;
    if (s_.slashPos >= 0 && s_.fracDigits == 0) return false;
    if ((s_.features & kNumThousands) && !groupsDone_ && group_ != 3) return false;
    if ((s_.features & kNumBlankFraction) && s_.slashPos < 0) return false;
    // "(5" is no number: the parenthesis that makes it negative must be closed.
    if ((s_.features & kNumOpenParen) && !(s_.features & kNumCloseParen)) return false;
    return true;
}

// The text of the items in [first, end) of the kinds given.
std::string Join(const NumberScanRecord& s, int first, int end, uint32_t kinds) {
    std::string out;
    for (int k = first; k < end; ++k)
        if (s.items[k].kind & kinds) out += s.items[k].ch;
    return out;
}

double ToNumber(const std::string& text) {
    double v = 0;
    return ParseNumber(text, v) ? v : NAN;
}

// Whole part, numerator and denominator of a typed fraction.
bool FractionValue(const NumberScanRecord& s, double& value, double& denominator) {
    int blank = -1;
    for (int k = 0; k < s.count; ++k)
        if (s.items[k].kind == kNumBlankFraction) blank = k;
    double whole = 0;
    int numStart = 0;
    if (blank >= 0) {
        whole = ToNumber(Join(s, 0, blank, kNumDigit | kNumSign));
        numStart = blank + 1;
    }
    double numerator = ToNumber(Join(s, numStart, s.slashPos, kNumDigit | kNumSign));
    denominator = ToNumber(Join(s, s.slashPos + 1, s.count, kNumDigit));
    // A zero denominator is no number.
    if (std::isnan(whole) || std::isnan(numerator) || !(denominator > 0)) return false;
    value = std::signbit(whole) ? whole - numerator / denominator : whole + numerator / denominator;
    return std::isfinite(value);
}

// A format shows at most 14 digits after the point or under the bar; more typed ones are
// still part of the value.
constexpr int kMaxImpliedDigits = 14;

// Decimals typed are decimals shown: 12.345% shows as typed, not as 12.3%, which the
// code without fixed decimals ("0.#") would round it to.
void TypedDecimals(const NumberScanRecord& s, uint8_t params[kStandardFormatParams]) {
    using namespace fmtparam;
    if (s.fracDigits == 0) return;
    params[kFixedDecimals] = 1;
    params[kDecimals] = uint8_t(std::min<int>(s.fracDigits, kMaxImpliedDigits));
}

void ImpliedFormat(const NumberScanRecord& s, const SeparatorSet& set, double denominator,
                   uint8_t& kind, uint8_t params[kStandardFormatParams]) {
    using namespace fmtparam;
    std::memset(params, 0, kStandardFormatParams);
    uint32_t f = s.features;
    bool parens = (f & kNumOpenParen) != 0;
    if (f & kNumCurrency) {
        kind = STD_STYLE_CURRENCY;
        std::string_view symbol = CurrencyOf(set);
        std::memcpy(params + kCurrencySymbol, symbol.data(), symbol.size());
        params[kCurrencyDecimals] =
            uint8_t(s.slashPos >= 0 ? 2 : std::min<int>(s.fracDigits, kMaxImpliedDigits));
        params[kSymbolPosition] = (f & kNumCurrencyBeforeBlank)  ? 1
                                  : (f & kNumCurrencyAfter)      ? 2
                                  : (f & kNumCurrencyAfterBlank) ? 3
                                                                 : 0;
        params[kCurrencyNegative] = parens ? 2 : 0;
    } else if (s.slashPos >= 0) {
        if (f & kNumPercent) {
            kind = STD_STYLE_PERCENTAGE;
        } else {
            kind = STD_STYLE_FRACTION;
            if (denominator <= kLastFixedDenominator) {
                params[kDenominatorMode] = 1;
                StoreU64(params + kFixedDenominator, uint64_t(std::llround(denominator)));
            } else {
                params[kDenominatorDigits] =
                    uint8_t(std::min<int>(s.fracDigits, kMaxImpliedDigits));
            }
        }
    } else if (f & kNumExponent) {
        kind = STD_STYLE_SCIENTIFIC;
        TypedDecimals(s, params);
    } else if (f & kNumPercent) {
        kind = STD_STYLE_PERCENTAGE;
        TypedDecimals(s, params);
    } else if (f & (kNumThousands | kNumOpenParen)) {
        kind = STD_STYLE_GENERAL;
        params[kThousands] = (f & kNumThousands) ? 1 : 0;
        params[kNegativeStyle] = parens ? 2 : 0;
        TypedDecimals(s, params);
    } else {
        kind = STD_STYLE_DEFAULT;
    }
}

} // namespace

bool MatchNumberPattern(NumberScanRecord& scan, std::string_view text, const SeparatorSet& set) {
    scan.count = 0;
    scan.overflow = 0;
    scan.features = 0;
    scan.intDigits = scan.fracDigits = scan.expDigits = 0;
    scan.decimalPos = scan.slashPos = scan.exponentPos = -1;
    return CNumberMatcher(scan, text, set).Run();
}

int ParseNumberText(std::string_view text, double& value, uint8_t& kind,
                    uint8_t params[kStandardFormatParams], const SeparatorSet& set) {
    kind = STD_STYLE_DEFAULT;
    value = 0;
    if (text.empty() || text.size() > kMaxNumberText) return 0;
    auto scan = std::make_unique<NumberScanRecord>();
    if (!MatchNumberPattern(*scan, text, set)) return 0;
    double v = 0, denominator = 0;
    if (scan->slashPos >= 0) {
        if (!FractionValue(*scan, v, denominator)) return 0;
    } else {
        v = ToNumber(
            Join(*scan, 0, scan->count, kNumDigit | kNumDecimal | kNumExponent | kNumSign));
        if (!std::isfinite(v)) return 0;
    }
    ImpliedFormat(*scan, set, denominator, kind, params);
    if (scan->features & kNumOpenParen) v = -v;
    if (scan->features & kNumPercent) v *= 0.01;
    value = v;
    return 1;
}

} // namespace vl
