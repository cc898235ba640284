#include "core/integerlist.h"

#include <algorithm>

namespace vl {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::size_t SkipBlanks(std::string_view text, std::size_t pos) {
    while (pos < text.size() && IsBlank(text[pos])) ++pos;
    return pos;
}

// Decimal digits at `pos`; false when there are none or the value passes `limit`.
bool ScanDigits(std::string_view text, std::size_t& pos, int64_t limit, int64_t& value) {
    std::size_t start = pos;
    value = 0;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
        value = value * 10 + (text[pos] - '0');
        if (value > limit) return false;
        ++pos;
    }
    return pos > start;
}

// Walks the items; `chain` lets a range end start the next range. Calls add(low, high).
template <class Add>
int ScanItems(std::string_view text, int64_t lowest, int64_t highest, bool chain, Add add) {
    int count = 0;
    std::size_t pos = 0;
    for (;;) {
        while (pos < text.size() && (IsBlank(text[pos]) || text[pos] == ',')) ++pos;
        if (pos == text.size()) return count;
        int64_t first = 0, last = 0;
        if (!ScanDigits(text, pos, highest, first) || first < lowest) return -1;
        bool ranged = false;
        for (;;) {
            std::size_t after = SkipBlanks(text, pos);
            if (after == text.size() || text[after] != '-' || (ranged && !chain)) break;
            pos = SkipBlanks(text, after + 1);
            if (!ScanDigits(text, pos, highest, last) || last < lowest) return -1;
            add(std::min(first, last), std::max(first, last));
            ++count;
            first = last;
            ranged = true;
        }
        if (pos < text.size() && !IsBlank(text[pos]) && text[pos] != ',') return -1;
        if (!ranged) {
            add(first, first);
            ++count;
        }
    }
}

} // namespace

int ParseIntegerList(std::string_view text, std::vector<std::pair<int, int>>* pairs, int lowest,
                     int highest) {
    if (pairs) pairs->clear();
    return ScanItems(text, lowest, highest, false, [&](int64_t low, int64_t high) {
        if (pairs) pairs->push_back({int(low) - 1, int(high) - 1});
    });
}

int ParseNumberRanges(std::string_view text, std::vector<std::pair<uint32_t, uint32_t>>* pairs,
                      uint32_t lowest, uint32_t highest) {
    if (pairs) pairs->clear();
    int count = ScanItems(text, lowest, highest, true, [&](int64_t low, int64_t high) {
        if (pairs) pairs->push_back({uint32_t(low), uint32_t(high)});
    });
    if (count < 0 && pairs) pairs->clear();
    return count;
}

} // namespace vl
