#include "formula/lookupindex.h"

#include "formula/approxnumber.h"
#include "formula/operands.h"
#include "platform/core/cp1252.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>

namespace vl {

namespace {

constexpr uint32_t kNoEntry = UINT32_MAX;
// Keys per sample: a bisection of the samples, which stay in the nearest cache, leaves a few
// cache lines of keys to bisect.
constexpr std::size_t kSampleStride = 32;

// -0 and 0 compare equal, so they share one hash.
uint64_t HashNumber(double x) {
    if (x == 0) x = 0;
    uint64_t bits = 0;
    std::memcpy(&bits, &x, sizeof bits);
    bits ^= bits >> 29;
    return bits * 0x9E3779B97F4A7C15ull;
}

uint64_t HashText(std::string_view upper) {
    return std::hash<std::string_view>()(upper) * 0x9E3779B97F4A7C15ull;
}

bool HoldsText(const uint8_t* record) {
    return cell::IsText(record) ||
           (cell::IsFormula(record) && (cell::ResultFlags(record) & kResultText));
}

std::string Upper(std::string_view text) {
    std::string upper(text);
    UpperInPlace1252(upper);
    return upper;
}

// The characters that make a sought text a pattern, and the one that ends a text early in
// the comparisons.
bool IsPattern(std::string_view v) {
    return v.find_first_of(std::string_view("*?~\0", 4)) != std::string_view::npos;
}

// Bisection without branches on the keys, which a lookup's random key would mispredict: the
// number of keys before the first one above v (`orEqual`) or not below it.
std::size_t CountIn(const double* keys, std::size_t n, double v, bool orEqual) {
    if (n == 0) return 0;
    const double* base = keys;
    while (n > 1) {
        const std::size_t half = n / 2;
        const bool before = orEqual ? base[half - 1] <= v : base[half - 1] < v;
        base += before ? half : 0;
        n -= half;
    }
    const bool before = orEqual ? *base <= v : *base < v;
    return std::size_t(base - keys) + (before ? 1 : 0);
}

} // namespace

bool ReadLookupKey(CEvalContext& ctx, FormulaToken& value, LookupKeys kind, LookupKey& key) {
    key.number = 0;
    if (kind == LookupKeys::kTexts) {
        // A value that yields no text compares as the empty text, not as the cell before.
        key.text.clear();
        GetStringArg(ctx, value, key.text);
        return true;
    }
    // A number looked for meets numbers and texts that hold one; a text of blanks holds none.
    if (value.type == kTokenText) {
        const std::string_view text = ctx.stringPool.PopTempString();
        return value.error == 0 && text.find_first_not_of(' ') != std::string_view::npos &&
               TextAsNumber(text, key.number);
    }
    return GetNumberArg(ctx, value, key.number) == 0;
}

CLookupIndex::Build CLookupIndex::BuildFrom(CEvalContext& ctx, const CCellStore& cells,
                                            const CellRange& rect, LookupKeys kind,
                                            LookupCell& blocker) {
    isText_ = kind == LookupKeys::kTexts;
    CellCursor cursor;
    cursor.flags = kAdvance;
    cursor.page = cells.StartPageForRow(rect.r1);
    LookupKey key;
    while (cursor.page) {
        const uint8_t* r = NextCellInRectangle(cursor, rect.c1, rect.r1, rect.c2, rect.r2);
        if (!r) break;
        if (cell::IsFormula(r) && !(cell::ResultFlags(r) & kResultCalculated)) {
            blocker = {cell::Column(r), cell::Row(r)};
            return Build::kBlocked;
        }
        FormulaToken value;
        ClearOperand(value);
        CellToOperand(ctx, value, r);
        // A text the string pool refused reads differently when the pool has room.
        if (HoldsText(r) && value.type != kTokenText) return Build::kRefused;
        if (!ReadLookupKey(ctx, value, kind, key)) continue;
        if (isText_) {
            if (value.type != kTokenText || key.text.find('\0') != std::string::npos)
                return Build::kRefused;
            texts_.push_back(Upper(key.text));
        } else {
            if (std::isnan(key.number)) return Build::kRefused;
            numbers_.push_back(key.number);
        }
        cells_.push_back({cell::Column(r), cell::Row(r)});
    }
    Arrange(kind);
    return Build::kReady;
}

void CLookupIndex::Arrange(LookupKeys kind) {
    const uint32_t n = uint32_t(cells_.size());
    sorted_.resize(n);
    for (uint32_t i = 0; i < n; ++i) sorted_[i] = i;
    // Stable, so equal keys stay in store order.
    if (kind == LookupKeys::kTexts)
        std::stable_sort(sorted_.begin(), sorted_.end(),
                         [this](uint32_t a, uint32_t b) { return texts_[a] < texts_[b]; });
    else
        std::stable_sort(sorted_.begin(), sorted_.end(),
                         [this](uint32_t a, uint32_t b) { return numbers_[a] < numbers_[b]; });
    if (kind != LookupKeys::kTexts) {
        sortedNumbers_.resize(n);
        places_.resize(n);
        for (uint32_t i = 0; i < n; ++i) {
            sortedNumbers_[i] = numbers_[sorted_[i]];
            places_[sorted_[i]] = i;
        }
        for (std::size_t i = 0; i < n; i += kSampleStride) samples_.push_back(sortedNumbers_[i]);
    }
    std::size_t size = 16;
    while (size < 2 * std::size_t(n)) size *= 2;
    slots_.assign(size, kNoEntry);
    const std::size_t mask = size - 1;
    // Entries go in in store order, so a key's slot holds its first cell.
    for (uint32_t i = 0; i < n; ++i) {
        for (std::size_t at = std::size_t(HashOf(i) >> 20) & mask;; at = (at + 1) & mask) {
            const uint32_t there = slots_[at];
            if (there == kNoEntry) {
                slots_[at] = i;
                break;
            }
            if (isText_ ? texts_[there] == texts_[i] : numbers_[there] == numbers_[i]) break;
        }
    }
}

uint64_t CLookupIndex::HashOf(uint32_t entry) const {
    return isText_ ? HashText(texts_[entry]) : HashNumber(numbers_[entry]);
}

bool CLookupIndex::SameKey(uint32_t entry, double number, std::string_view text) const {
    return isText_ ? texts_[entry] == text : numbers_[entry] == number;
}

int64_t CLookupIndex::FirstOf(uint64_t hash, double number, std::string_view text) const {
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t at = std::size_t(hash >> 20) & mask;; at = (at + 1) & mask) {
        const uint32_t there = slots_[at];
        if (there == kNoEntry) return -1;
        if (SameKey(there, number, text)) return there;
    }
}

LookupAnswer CLookupIndex::Answer(int64_t entry, LookupCell& found) const {
    if (entry < 0) return LookupAnswer::kNotFound;
    found = cells_[std::size_t(entry)];
    return LookupAnswer::kFound;
}

// Keys before v lie in the samples' blocks before the last sample before v, and in part of
// that block.
std::size_t CLookupIndex::CountBefore(double v, bool orEqual) const {
    const std::size_t blocks = CountIn(samples_.data(), samples_.size(), v, orEqual);
    if (blocks == 0) return 0;
    const std::size_t first = (blocks - 1) * kSampleStride;
    const std::size_t n = std::min(kSampleStride, sortedNumbers_.size() - first);
    return first + CountIn(sortedNumbers_.data() + first, n, v, orEqual);
}

// Most keys are unique, so the place before is checked before bisecting.
template <class Less> std::size_t CLookupIndex::FirstEqual(std::size_t place, Less less) const {
    if (place == 0 || less(place - 1, place)) return place;
    std::size_t low = 0, high = place - 1;
    while (low < high) {
        const std::size_t mid = low + (high - low) / 2;
        if (less(mid, place))
            low = mid + 1;
        else
            high = mid;
    }
    return low;
}

// The place after the run of keys equal to the one at i: most keys are unique, so the next
// one is checked before bisecting.
std::size_t CLookupIndex::NextRun(std::size_t i) const {
    const std::size_t n = sortedNumbers_.size();
    if (i + 1 >= n || sortedNumbers_[i + 1] != sortedNumbers_[i]) return i + 1;
    return std::size_t(std::upper_bound(sortedNumbers_.begin() + std::ptrdiff_t(i),
                                        sortedNumbers_.end(), sortedNumbers_[i]) -
                       sortedNumbers_.begin());
}

// Keys equal to v to 15 significant digits count as equal to it, as the walk compares them;
// they lie within |v| 2^-48 of it. Of equal keys the first in store order is found, which
// is the first of each run of the very same key.
// Type 0: the first of them; type 1: the largest key not above v, the first of its equals;
// type -1: the smallest key not below v, the first of its equals.
LookupAnswer CLookupIndex::FindNumber(double v, int type, LookupCell& found) const {
    if (isText_ || std::isnan(v)) return LookupAnswer::kWalk;
    if (type != 0 && type != 1 && type != -1) return LookupAnswer::kNotFound;
    const std::size_t n = sortedNumbers_.size();
    const double reach = std::fabs(v) * 0x1p-48;
    const auto& keys = sortedNumbers_;
    auto firstOf = [this](std::size_t i) {
        return FirstEqual(i, [this](std::size_t a, std::size_t b) {
            return sortedNumbers_[a] < sortedNumbers_[b];
        });
    };
    if (type == 1) {
        std::size_t last = CountBefore(v + reach, true);
        while (last > 0 && keys[last - 1] > v && !ApproxEqual(keys[last - 1], v)) --last;
        if (last == 0) return LookupAnswer::kNotFound;
        const double largest = keys[last - 1];
        std::size_t i = firstOf(last - 1);
        uint32_t best = sorted_[i];
        while (i > 0 && ApproxEqual(keys[i - 1], largest)) {
            i = firstOf(i - 1);
            best = std::min(best, sorted_[i]);
        }
        return Answer(best, found);
    }
    // The very same number, as most sought numbers are, with no other key near it.
    const int64_t same = type == 0 ? FirstOf(HashNumber(v), v, {}) : -1;
    if (same >= 0) {
        const std::size_t place = places_[std::size_t(same)], after = NextRun(place);
        if ((place == 0 || !ApproxEqual(keys[place - 1], v)) &&
            (after == n || !ApproxEqual(keys[after], v)))
            return Answer(same, found);
    }
    // Keys just below v's reach of it may still be more than their own reach below it.
    std::size_t first = CountBefore(v - reach, false);
    while (first < n && keys[first] < v && !ApproxEqual(keys[first], v)) ++first;
    if (first == n) return LookupAnswer::kNotFound;
    if (type == -1) v = keys[first];
    int64_t best = -1;
    for (std::size_t i = first; i < n && ApproxEqual(keys[i], v); i = NextRun(i))
        if (best < 0 || sorted_[i] < uint64_t(best)) best = sorted_[i];
    return Answer(best, found);
}

LookupAnswer CLookupIndex::FindText(std::string_view v, int type, LookupCell& found) const {
    if (!isText_ || v.find('\0') != std::string_view::npos) return LookupAnswer::kWalk;
    if (type == 0) {
        // An empty pattern matches nothing; one with wildcards is matched by the walk.
        if (v.empty()) return LookupAnswer::kNotFound;
        if (IsPattern(v)) return LookupAnswer::kWalk;
        const std::string upper = Upper(v);
        return Answer(FirstOf(HashText(upper), 0, upper), found);
    }
    const std::string key = Upper(v);
    auto less = [this](uint32_t a, const std::string& x) { return texts_[a] < x; };
    auto lower = std::lower_bound(sorted_.begin(), sorted_.end(), key, less);
    if (type == -1) return Answer(lower == sorted_.end() ? -1 : int64_t(*lower), found);
    if (type != 1) return LookupAnswer::kNotFound;
    auto upper =
        std::upper_bound(sorted_.begin(), sorted_.end(), key,
                         [this](const std::string& x, uint32_t a) { return x < texts_[a]; });
    if (upper == sorted_.begin()) return LookupAnswer::kNotFound;
    const std::size_t first =
        FirstEqual(std::size_t(upper - sorted_.begin()) - 1, [this](std::size_t a, std::size_t b) {
            return texts_[sorted_[a]] < texts_[sorted_[b]];
        });
    return Answer(sorted_[first], found);
}

} // namespace vl
