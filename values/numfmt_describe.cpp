// A compiled format written back as code text.

#include "platform/core/number.h"
#include "values/formatdouble.h"
#include "values/numfmt_compile.h"

namespace vl {

namespace {

// A condition's number as the stored code must read it back: the plain text, or as many
// digits as tell it apart.
std::string ConditionNumberText(double x) {
    std::string text = FormatDouble(x);
    double back = 0;
    for (int digits = 16; digits <= 17 && !(ParseNumber(text, back) && back == x); ++digits)
        text = FormatNumberG(x, digits);
    return text;
}

const char* ComparisonText(uint32_t code) {
    switch (code) {
    case kCmpLessEqual:
        return "<=";
    case kCmpGreaterEqual:
        return ">=";
    case kCmpEqual:
        return "=";
    case kCmpNotEqual:
        return "<>";
    case kCmpLess:
        return "<";
    case kCmpGreater:
        return ">";
    default:
        return "";
    }
}

char KeywordLetter(uint32_t kind) {
    switch (kind) {
    case kFmtYear:
        return 'y';
    case kFmtMonth:
        return 'm';
    case kFmtDay:
        return 'd';
    case kFmtHour:
        return 'h';
    case kFmtMinute:
        return 'm';
    case kFmtSecond:
        return 's';
    default:
        return '\0';
    }
}

class CFormatWriter {
public:
    CFormatWriter(const CompiledFormat& f, const SeparatorSet& set) : f_(f), set_(set) {}

    std::string Write() {
        for (uint8_t k = 0; k < f_.declaredSections; ++k) {
            if (k > 0) out_ += ';';
            WriteSection(f_.sections[k]);
        }
        return out_;
    }

private:
    void WriteSection(const FormatSection& s);
    uint16_t WriteLiterals(uint16_t k, uint16_t end, uint16_t percent);
    void WriteKeyword(const FormatToken& t);
    void WriteBracket(const FormatSection& s, uint8_t& bracket);
    // The token after which the scaling separators stand: the last integer placeholder.
    uint16_t ScalingPosition(const FormatSection& s) const;

    const CompiledFormat& f_;
    const SeparatorSet& set_;
    std::string out_;
};

uint16_t CFormatWriter::ScalingPosition(const FormatSection& s) const {
    uint16_t end = s.EndToken();
    for (uint16_t stop : {s.decimalIndex, s.slashIndex, s.exponentIndex})
        if (stop != kNoToken && stop < end) end = stop;
    uint16_t last = kNoToken;
    for (uint16_t k = s.firstToken; k < end; ++k)
        if (f_.tokens[k].kind == kFmtDigit) last = k;
    return last;
}

// A run of literals up to the bare "%" at `percent`, which stays bare so that it scales.
uint16_t CFormatWriter::WriteLiterals(uint16_t k, uint16_t end, uint16_t percent) {
    if (k == percent) {
        out_ += '%';
        return uint16_t(k + 1);
    }
    uint16_t run = k;
    while (run < end && run != percent && f_.tokens[run].kind == kFmtLiteral &&
           f_.tokens[run].ch != '"')
        ++run;
    if (run - k >= 2) {
        out_ += '"';
        for (uint16_t i = k; i < run; ++i) out_ += char(f_.tokens[i].ch);
        out_ += '"';
        return run;
    }
    out_ += '\\';
    out_ += char(f_.tokens[k].ch);
    return uint16_t(k + 1);
}

void CFormatWriter::WriteKeyword(const FormatToken& t) {
    uint32_t kind = t.kind & ~kFmtElapsed;
    if (t.kind & kFmtElapsed) out_ += '[';
    if (kind == kFmtAmPm)
        out_ += t.ch == 3 ? "A/P" : "AM/PM";
    else
        out_.append(t.ch, KeywordLetter(kind));
    if (t.kind & kFmtElapsed) out_ += ']';
}

void CFormatWriter::WriteBracket(const FormatSection& s, uint8_t& bracket) {
    if (bracket >= s.bracketCount) return;
    const BracketItem& item = s.brackets[bracket++];
    out_ += '[';
    if (item.kind == kFmtCondition) {
        out_ += ComparisonText(item.value);
        out_ += ConditionNumberText(item.number);
    } else {
        out_ += FormatColor(item.value, item.kind == kFmtColorName);
    }
    out_ += ']';
}

void CFormatWriter::WriteSection(const FormatSection& s) {
    uint16_t scalingAfter = ScalingPosition(s);
    // Without an integer placeholder the scaling commas lead the section: at its end,
    // after a date keyword, they would read back as literals.
    if (scalingAfter == kNoToken) out_.append(s.scaling, set_.thousands);
    uint8_t bracket = 0;
    uint16_t end = s.EndToken();
    for (uint16_t k = s.firstToken; k < end;) {
        const FormatToken& t = f_.tokens[k];
        if (t.kind == kFmtLiteral) {
            k = WriteLiterals(k, end, s.percentIndex);
            continue;
        }
        switch (t.kind) {
        case kFmtThousands:
            out_ += set_.thousands;
            break;
        case kFmtDecimal:
            out_ += set_.decimal;
            break;
        case kFmtExponent:
            out_ += char(t.ch);
            out_ += char(s.exponentSign);
            break;
        case kFmtSpace:
            out_ += '_', out_ += char(t.ch);
            break;
        case kFmtFill:
            out_ += '*', out_ += char(t.ch);
            break;
        case kFmtCondition:
        case kFmtColorName:
        case kFmtColorHex:
            WriteBracket(s, bracket);
            break;
        case kFmtTimeSep:
            out_ += set_.time;
            break;
        case kFmtDateSep:
            out_ += set_.date;
            break;
        case kFmtDigit:
        case kFmtSlash:
        case kFmtText:
            out_ += char(t.ch);
            break;
        default:
            WriteKeyword(t);
            break;
        }
        if (k == scalingAfter) out_.append(s.scaling, set_.thousands);
        ++k;
    }
}

} // namespace

std::string DescribeFormatCode(const CompiledFormat& format, const SeparatorSet* set) {
    return CFormatWriter(format, set ? *set : InternalSeparators()).Write();
}

} // namespace vl
