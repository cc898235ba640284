#include "values/numfmt_compile.h"

#include "platform/core/cp1252.h"

namespace vl {

namespace {

constexpr uint32_t kAllKinds = 0x1FFFFF;
constexpr uint32_t kSeparatorKinds = kFmtTimeSep | kFmtDateSep;
constexpr uint32_t kNumberKinds =
    kFmtDigit | kFmtThousands | kFmtDecimal | kFmtExponent | kFmtSlash;
// What elapsed fields must not follow.
constexpr uint32_t kBeforeElapsed = kNumberKinds | kFmtDateTimeKinds | kSeparatorKinds;

class CFormatCompiler {
public:
    CFormatCompiler(CompiledFormat& f, std::string_view code, const SeparatorSet& set)
        : f_(f), t_(code), set_(set) {}

    bool Run();

private:
    FormatSection& Section() { return f_.sections[section_]; }
    bool Allowed(uint32_t kind) const { return (allowed_ & kind) != 0; }
    char At(std::size_t k) const { return k < t_.size() ? t_[k] : '\0'; }
    bool Add(uint32_t kind, char ch) { return AddFormatToken(f_, kind, section_, uint8_t(ch)); }
    void PendingIntoScaling() {
        Section().scaling = uint16_t(Section().scaling + pending_);
        pending_ = 0;
    }

    bool Step();
    bool PlaceholderFollows() const;
    bool DigitPlaceholder(char c);
    bool DecimalSeparator();
    bool Slash();
    bool Exponent(char letter, char sign);
    bool Bracket();
    bool CurrencyBracket();
    bool ElapsedField();
    bool Quoted(char quote);
    bool DateTimeSeparator(uint32_t kind, char ch);
    bool NextSection();
    bool Keyword(uint32_t kind, uint8_t letters, bool elapsed);
    int PreviousDateTimeToken() const;
    void RecomputeKinds();
    bool Finish();
    bool FinishSection(FormatSection& s);

    CompiledFormat& f_;
    std::string_view t_;
    const SeparatorSet& set_;
    std::size_t pos_ = 0;
    uint8_t section_ = 0;
    uint32_t allowed_ = kAllKinds;
    uint16_t pending_ = 0;
};

bool CFormatCompiler::Run() {
    while (pos_ < t_.size())
        if (!Step()) return false;
    PendingIntoScaling();
    return Finish();
}

bool CFormatCompiler::Step() {
    char c = t_[pos_];
    if ((c == '#' || c == '0' || c == '?') && Allowed(kFmtDigit)) return DigitPlaceholder(c);
    // A separator after the number's digits and then text is text itself: "0.0%," ends
    // in a comma.
    if (c == set_.thousands && Allowed(kFmtThousands) && pending_ == 0 &&
        (Section().kinds & kFmtDigit) && f_.tokens[f_.tokenCount - 1].kind == kFmtLiteral &&
        Allowed(kFmtLiteral) && !PlaceholderFollows()) {
        ++pos_;
        return Add(kFmtLiteral, c);
    }
    if (c == set_.thousands && Allowed(kFmtThousands)) {
        ++pending_;
        ++pos_;
        return true;
    }
    if (c == set_.decimal && Allowed(kFmtDecimal)) return DecimalSeparator();
    if (c == '/' && Allowed(kFmtSlash)) return Slash();
    if ((c == 'E' || c == 'e') && (At(pos_ + 1) == '+' || At(pos_ + 1) == '-') &&
        Allowed(kFmtExponent))
        return Exponent(c, At(pos_ + 1));
    if (c == '@' && Allowed(kFmtText)) {
        ++pos_;
        Section().textAt = 1;
        return Add(kFmtText, '@');
    }
    if (Allowed(kFmtText) && t_.size() - pos_ >= 7) {
        std::string_view word = t_.substr(pos_, 7);
        bool general = true;
        for (std::size_t k = 0; k < 7; ++k) general &= AsciiLower(word[k]) == "general"[k];
        if (general) {
            pos_ += 7;
            return Add(kFmtText, '@');
        }
    }
    if (c == '[') return Bracket();
    if ((c == '_' || c == '*') && pos_ + 1 < t_.size()) {
        pos_ += 2;
        return Add(c == '_' ? kFmtSpace : kFmtFill, t_[pos_ - 1]);
    }
    if ((c == '"' || c == '\'') && Allowed(kFmtLiteral)) return Quoted(c);
    if (c == '\\' && pos_ + 1 < t_.size()) {
        pos_ += 2;
        return Add(kFmtLiteral, t_[pos_ - 1]);
    }
    if (c == set_.date && Allowed(kFmtDateSep))
        return DateTimeSeparator(kFmtDateSep, InternalSeparators().date);
    if (c == set_.time && Allowed(kFmtTimeSep))
        return DateTimeSeparator(kFmtTimeSep, InternalSeparators().time);
    if (c == ';') return NextSection();
    uint8_t letters = 0;
    uint32_t kind = ScanDateTimeKeyword(t_, pos_, letters);
    if (kind) return Keyword(kind, letters, false);
    if (!Allowed(kFmtLiteral)) return false;
    ++pos_;
    // Only a bare "%" scales; a quoted or escaped one is text.
    if (c == '%' && Section().percentIndex == kNoToken) Section().percentIndex = f_.tokenCount;
    return Add(kFmtLiteral, c);
}

// True when a digit placeholder comes later in the section, outside quotes, brackets and
// the characters that "\\", "_" and "*" take.
bool CFormatCompiler::PlaceholderFollows() const {
    for (std::size_t k = pos_ + 1; k < t_.size(); ++k) {
        char c = t_[k];
        if (c == ';') return false;
        if (c == '#' || c == '0' || c == '?') return true;
        if (c == '\\' || c == '_' || c == '*') {
            ++k;
        } else if (c == '"' || c == '\'' || c == '[') {
            std::size_t close = t_.find(c == '[' ? ']' : c, k + 1);
            if (close == std::string_view::npos) return false;
            k = close;
        }
    }
    return false;
}

bool CFormatCompiler::DigitPlaceholder(char c) {
    FormatSection& s = Section();
    // A "0" after the first digit of a fixed denominator is that number's digit: "?/100".
    if (c == '0' && s.slashIndex != kNoToken && f_.tokenCount > s.slashIndex + 1) {
        const FormatToken& prev = f_.tokens[f_.tokenCount - 1];
        if (prev.kind == kFmtLiteral && IsAsciiDigit(char(prev.ch))) {
            ++pos_;
            return Add(kFmtLiteral, c);
        }
    }
    if (s.exponentIndex != kNoToken) {
        ++s.exponentDigits;
    } else if (s.decimalIndex != kNoToken || s.slashIndex != kNoToken) {
        ++s.fracDigits;
        s.lastFracIsHash = c == '#';
    } else {
        ++s.intDigits;
        if (pending_ > 0) {
            pending_ = 0;
            if (!Add(kFmtThousands, InternalSeparators().thousands)) return false;
        }
    }
    ++pos_;
    allowed_ &= ~kFmtDateTimeKinds;
    return Add(kFmtDigit, c);
}

bool CFormatCompiler::DecimalSeparator() {
    FormatSection& s = Section();
    if ((s.kinds & kFmtSecond) && !(s.kinds & kFmtDigit)) {
        // Fractions of a second follow.
        allowed_ = (allowed_ & ~kFmtDecimal) | kFmtDigit;
    } else {
        PendingIntoScaling();
        allowed_ &= ~(kFmtDecimal | kFmtSlash | kFmtText | kFmtDateTimeKinds);
    }
    s.decimalIndex = f_.tokenCount;
    ++pos_;
    return Add(kFmtDecimal, InternalSeparators().decimal);
}

bool CFormatCompiler::Slash() {
    PendingIntoScaling();
    allowed_ &= ~(kFmtDecimal | kFmtSlash | kFmtDateTimeKinds);
    Section().slashIndex = f_.tokenCount;
    ++pos_;
    return Add(kFmtSlash, '/');
}

bool CFormatCompiler::Exponent(char letter, char sign) {
    PendingIntoScaling();
    allowed_ &= kFmtLiteral | kFmtDigit | kFmtThousands | kFmtText | kFmtSpace | kFmtFill |
                kFmtBracketKinds;
    Section().exponentIndex = f_.tokenCount;
    Section().exponentSign = uint8_t(sign);
    pos_ += 2;
    return Add(kFmtExponent, letter);
}

bool CFormatCompiler::Bracket() {
    ++pos_;
    while (pos_ < t_.size() && t_[pos_] == ' ') ++pos_;
    if (At(pos_) == '$') return CurrencyBracket();
    BracketItem item;
    uint32_t kind = ParseFormatBracket(t_, pos_, item);
    if (kind) {
        FormatSection& s = Section();
        if (s.bracketCount >= kMaxBracketItems) return false;
        s.brackets[s.bracketCount++] = item;
        if (!Add(kind, ' ')) return false;
    } else if (!ElapsedField()) {
        return false;
    }
    while (pos_ < t_.size() && t_[pos_] == ' ') ++pos_;
    if (At(pos_) != ']') return false;
    ++pos_;
    return true;
}

// "[$symbol-locale]": the symbol is text where it stands; the locale after "-" is passed
// over ("[$-409]" writes nothing).
bool CFormatCompiler::CurrencyBracket() {
    ++pos_;
    for (; pos_ < t_.size() && t_[pos_] != '-' && t_[pos_] != ']'; ++pos_)
        if (!Allowed(kFmtLiteral) || !Add(kFmtLiteral, t_[pos_])) return false;
    while (pos_ < t_.size() && t_[pos_] != ']') ++pos_;
    if (At(pos_) != ']') return false;
    ++pos_;
    return true;
}

bool CFormatCompiler::ElapsedField() {
    if ((Section().kinds & kBeforeElapsed) || pending_ > 0) return false;
    uint8_t letters = 0;
    uint32_t kind = ScanDateTimeKeyword(t_, pos_, letters);
    if (kind == 0) {
        // Unknown bracket content (a locale tag, say) is passed over.
        while (pos_ < t_.size() && t_[pos_] != ']') ++pos_;
        return true;
    }
    if (kind == kFmtMonth && letters <= 2) kind = kFmtMinute;
    bool accepted = kind == kFmtHour || kind == kFmtMinute || kind == kFmtSecond ||
                    (kind == kFmtDay && letters <= 2);
    return accepted && Keyword(kind, letters, true);
}

bool CFormatCompiler::Quoted(char quote) {
    std::size_t close = t_.find(quote, pos_ + 1);
    if (close == std::string_view::npos) return false;
    for (std::size_t k = pos_ + 1; k < close; ++k)
        if (!Add(kFmtLiteral, t_[k])) return false;
    pos_ = close + 1;
    return true;
}

bool CFormatCompiler::DateTimeSeparator(uint32_t kind, char ch) {
    allowed_ &= kFmtLiteral | kFmtText | kFmtSpace | kFmtFill | kFmtBracketKinds |
                kFmtDateTimeKinds | kSeparatorKinds;
    ++pos_;
    return Add(kind, ch);
}

bool CFormatCompiler::NextSection() {
    PendingIntoScaling();
    if (section_ + 1 >= kMaxFormatSections) return false;
    ++section_;
    Section().firstToken = f_.tokenCount;
    allowed_ = kAllKinds;
    ++pos_;
    return true;
}

int CFormatCompiler::PreviousDateTimeToken() const {
    for (int k = int(f_.tokenCount) - 1; k >= int(f_.sections[section_].firstToken); --k)
        if (f_.tokens[k].kind & kFmtDateTimeKinds) return k;
    return -1;
}

void CFormatCompiler::RecomputeKinds() {
    FormatSection& s = Section();
    s.kinds = 0;
    for (uint16_t k = s.firstToken; k < s.EndToken(); ++k) s.kinds |= f_.tokens[k].kind;
}

bool CFormatCompiler::Keyword(uint32_t kind, uint8_t letters, bool elapsed) {
    int prev = PreviousDateTimeToken();
    uint32_t prevKind = prev >= 0 ? (f_.tokens[prev].kind & ~kFmtElapsed) : 0;
    if (kind == kFmtMonth && letters <= 2 && prevKind == kFmtHour) kind = kFmtMinute;
    if (kind == kFmtSecond && prevKind == kFmtMonth && f_.tokens[prev].ch <= 2) {
        f_.tokens[prev].kind = kFmtMinute | (f_.tokens[prev].kind & kFmtElapsed);
        RecomputeKinds();
    }
    if (!Allowed(kind)) return false;
    if (!Add(elapsed ? (kind | kFmtElapsed) : kind, char(letters))) return false;
    allowed_ &= ~kNumberKinds;
    if (kind == kFmtSecond) allowed_ |= kFmtDecimal;
    return true;
}

// Literal digits after `from`: leading zeros skipped, then the run of digits counted.
uint16_t CountLiteralDigits(const CompiledFormat& f, uint16_t from, uint16_t end) {
    uint16_t k = from;
    auto literalDigit = [&f](uint16_t i) {
        return f.tokens[i].kind == kFmtLiteral && IsAsciiDigit(char(f.tokens[i].ch));
    };
    while (k < end && literalDigit(k) && f.tokens[k].ch == '0') ++k;
    uint16_t count = 0;
    for (; k < end && literalDigit(k); ++k) ++count;
    return count;
}

bool CFormatCompiler::FinishSection(FormatSection& s) {
    if (s.exponentIndex != kNoToken && s.exponentDigits == 0) {
        s.exponentDigits = CountLiteralDigits(f_, uint16_t(s.exponentIndex + 1), s.EndToken());
        if (s.exponentDigits == 0) return false;
    }
    if (s.slashIndex != kNoToken) {
        if (s.fracDigits == 0)
            s.fracDigits = CountLiteralDigits(f_, uint16_t(s.slashIndex + 1), s.EndToken());
        if (s.fracDigits == 0 || s.intDigits == 0) return false;
    }
    return true;
}

bool CFormatCompiler::Finish() {
    if (f_.overflow) return false;
    f_.sectionCount = 0;
    for (uint8_t k = 0; k <= section_; ++k) {
        if (!FinishSection(f_.sections[k])) return false;
        if (f_.sections[k].tokenCount > 0) f_.sectionCount = uint8_t(k + 1);
    }
    f_.declaredSections = f_.sectionCount > 0 ? uint8_t(section_ + 1) : 0;
    return true;
}

} // namespace

bool CompileFormatCode(CompiledFormat& out, std::string_view code, const SeparatorSet* set) {
    out.tokenCount = 0;
    out.overflow = 0;
    out.sectionCount = 0;
    out.declaredSections = 0;
    for (FormatSection& s : out.sections) s = FormatSection{};
    CFormatCompiler compiler(out, code, set ? *set : InternalSeparators());
    return compiler.Run();
}

} // namespace vl
