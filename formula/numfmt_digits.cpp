#include "formula/numfmt_number.h"
#include "platform/core/cp1252.h"

#include <vector>

namespace vl {

namespace {

bool IsPlaceholder(const FormatToken& t, bool literalDigits) {
    return t.kind == kFmtDigit ||
           (literalDigits && t.kind == kFmtLiteral && IsAsciiDigit(char(t.ch)));
}

// What a placeholder shows when it has no digit left: "0" a zero, "?" (and a literal
// digit) a blank as wide as a zero, "#" nothing. Returns the digits written.
int AddEmpty(std::vector<RenderedItem>& items, const FormatToken& t) {
    if (t.kind == kFmtDigit && t.ch == '0') {
        items.push_back({kFmtLiteral, '0'});
        return 1;
    }
    if (t.ch != '#') items.push_back({kRenderedBlank, '0'});
    return 0;
}

class CIntegerPlacer {
public:
    CIntegerPlacer(const FormatToken* tokens, uint16_t first, uint16_t end, bool literalDigits)
        : tokens_(tokens), first_(first), end_(end), literalDigits_(literalDigits) {
        int firstThousands = -1;
        for (uint16_t k = first; k < end; ++k) {
            if (tokens[k].kind == kFmtThousands && firstThousands < 0) firstThousands = k;
            if (IsPlaceholder(tokens[k], literalDigits)) {
                if (leftmost_ < 0) leftmost_ = k;
                if (firstThousands >= 0) ++group_;
            }
        }
    }

    // Reversed output: the rightmost character first.
    std::vector<RenderedItem> Place(std::string_view digits, int& placed) {
        std::size_t left = digits.size();
        for (int k = int(end_) - 1; k >= int(first_); --k) {
            const FormatToken& t = tokens_[k];
            if (IsPlaceholder(t, literalDigits_)) {
                bool leftmost = k == leftmost_;
                if (left == 0) {
                    if (t.kind == kFmtDigit && t.ch == '0') {
                        AddDigit('0');
                        ++placed;
                    } else {
                        AddEmpty(items_, t);
                    }
                }
                while (left > 0) {
                    AddDigit(digits[--left]);
                    ++placed;
                    if (!leftmost) break;
                }
            } else if (t.kind != kFmtThousands) {
                items_.push_back({t.kind, t.ch});
            }
        }
        if (leftmost_ < 0) {
            // No placeholder: the digits still show, at the end of the range.
            std::vector<RenderedItem> digitItems;
            while (left > 0) digitItems.push_back({kFmtLiteral, uint8_t(digits[--left])});
            items_.insert(items_.begin(), digitItems.begin(), digitItems.end());
            placed += int(digitItems.size());
        }
        return items_;
    }

private:
    void AddDigit(char c) {
        if (group_ > 0 && count_ > 0 && count_ % group_ == 0)
            items_.push_back({kFmtThousands, uint8_t(InternalSeparators().thousands)});
        items_.push_back({kFmtLiteral, uint8_t(c)});
        ++count_;
    }

    const FormatToken* tokens_;
    uint16_t first_, end_;
    bool literalDigits_;
    int leftmost_ = -1;
    int group_ = 0;
    int count_ = 0;
    std::vector<RenderedItem> items_;
};

} // namespace

bool AnalyseDigitPlaceholders(const FormatToken* tokens, uint16_t first, uint16_t end,
                              RenderedList& out, std::string_view digits, DigitDirection dir,
                              bool literalDigits, int* placed) {
    int count = 0;
    std::vector<RenderedItem> items;
    if (dir == DigitDirection::RightToLeft) {
        CIntegerPlacer placer(tokens, first, end, literalDigits);
        items = placer.Place(digits, count);
        for (auto it = items.rbegin(); it != items.rend(); ++it)
            if (!out.Add(it->kind, char(it->ch))) return false;
    } else {
        std::size_t next = 0;
        for (uint16_t k = first; k < end; ++k) {
            const FormatToken& t = tokens[k];
            if (IsPlaceholder(t, literalDigits)) {
                if (next < digits.size()) {
                    items.push_back({kFmtLiteral, uint8_t(digits[next++])});
                    ++count;
                } else {
                    count += AddEmpty(items, t);
                }
            } else if (t.kind != kFmtThousands) {
                items.push_back({t.kind, t.ch});
            }
        }
        for (const RenderedItem& it : items)
            if (!out.Add(it.kind, char(it.ch))) return false;
    }
    if (placed) *placed = count;
    return true;
}

} // namespace vl
