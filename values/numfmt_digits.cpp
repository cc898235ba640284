#include "platform/core/cp1252.h"
#include "values/numfmt_number.h"

#include <algorithm>

namespace vl {

namespace {

bool IsPlaceholder(const FormatToken& t, bool literalDigits) {
    return t.kind == kFmtDigit ||
           (literalDigits && t.kind == kFmtLiteral && IsAsciiDigit(char(t.ch)));
}

bool IsZeroPlaceholder(const FormatToken& t) {
    return t.kind == kFmtDigit && t.ch == '0';
}

// What a placeholder shows when it has no digit left: "0" a zero, "?" (and a literal
// digit) a blank as wide as a zero, "#" nothing.
bool AddEmpty(RenderedList& out, const FormatToken& t) {
    if (IsZeroPlaceholder(t)) return out.Add(kFmtLiteral, '0');
    if (t.ch != '#') return out.Add(kRenderedBlank, '0');
    return true;
}

constexpr int kGroupWidth = 3;

// The integer part, written into `out` from the right and turned round at the end.
class CIntegerPlacer {
public:
    CIntegerPlacer(RenderedList& out, const FormatToken* tokens, uint16_t first, uint16_t end,
                   bool literalDigits)
        : out_(out), tokens_(tokens), first_(first), end_(end), literalDigits_(literalDigits) {
        for (uint16_t k = first; k < end; ++k) {
            // Digits group by thousands however many placeholders the code puts
            // between its separators ("#,#" shows 1000 as 1,000).
            if (tokens[k].kind == kFmtThousands) group_ = kGroupWidth;
            if (IsPlaceholder(tokens[k], literalDigits) && leftmost_ < 0) leftmost_ = k;
        }
    }

    bool Place(std::string_view digits, int& placed) {
        uint16_t start = out_.count;
        std::size_t left = digits.size();
        // Without a placeholder the digits still show, at the end of the range.
        if (leftmost_ < 0)
            while (left > 0)
                if (!AddDigit(digits[--left], placed)) return false;
        for (int k = int(end_) - 1; k >= int(first_); --k) {
            const FormatToken& t = tokens_[k];
            bool ok = true;
            if (IsPlaceholder(t, literalDigits_)) {
                if (left == 0)
                    ok = IsZeroPlaceholder(t) ? AddDigit('0', placed) : AddEmpty(out_, t);
                // The leftmost placeholder takes every digit left over.
                do {
                    if (left > 0) ok = ok && AddDigit(digits[--left], placed);
                } while (k == leftmost_ && left > 0 && ok);
            } else if (t.kind != kFmtThousands) {
                ok = out_.Add(t.kind, char(t.ch));
            }
            if (!ok) return false;
        }
        std::reverse(out_.items + start, out_.items + out_.count);
        return true;
    }

private:
    bool AddDigit(char c, int& placed) {
        if (group_ > 0 && count_ > 0 && count_ % group_ == 0 &&
            !out_.Add(kFmtThousands, InternalSeparators().thousands))
            return false;
        ++count_;
        ++placed;
        return out_.Add(kFmtLiteral, c);
    }

    RenderedList& out_;
    const FormatToken* tokens_;
    uint16_t first_, end_;
    bool literalDigits_;
    int leftmost_ = -1;
    int group_ = 0;
    int count_ = 0;
};

} // namespace

bool AnalyseDigitPlaceholders(const FormatToken* tokens, uint16_t first, uint16_t end,
                              RenderedList& out, std::string_view digits, DigitDirection dir,
                              bool literalDigits, int* placed) {
    int count = 0;
    if (dir == DigitDirection::RightToLeft) {
        if (!CIntegerPlacer(out, tokens, first, end, literalDigits).Place(digits, count))
            return false;
    } else {
        std::size_t next = 0;
        for (uint16_t k = first; k < end; ++k) {
            const FormatToken& t = tokens[k];
            bool ok = true;
            if (IsPlaceholder(t, literalDigits)) {
                if (next < digits.size()) {
                    ok = out.Add(kFmtLiteral, digits[next++]);
                    ++count;
                } else {
                    ok = AddEmpty(out, t);
                    if (IsZeroPlaceholder(t)) ++count;
                }
            } else if (t.kind != kFmtThousands) {
                ok = out.Add(t.kind, char(t.ch));
            }
            if (!ok) return false;
        }
    }
    if (placed) *placed = count;
    return true;
}

} // namespace vl
