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
        // Numbers are found by bisection alone: a hash finds only the very same number.
        sortedNumbers_.resize(n);
        for (uint32_t i = 0; i < n; ++i) sortedNumbers_[i] = numbers_[sorted_[i]];
        for (std::size_t i = 0; i < n; i += kSampleStride) samples_.push_back(sortedNumbers_[i]);
        return;
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
            if (texts_[there] == texts_[i]) break;
        }
    }
}

uint64_t CLookupIndex::HashOf(uint32_t entry) const {
    return HashText(texts_[entry]);
}

bool CLookupIndex::SameKey(uint32_t entry, std::string_view text) const {
    return texts_[entry] == text;
}

int64_t CLookupIndex::FirstOf(uint64_t hash, std::string_view text) const {
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t at = std::size_t(hash >> 20) & mask;; at = (at + 1) & mask) {
        const uint32_t there = slots_[at];
        if (there == kNoEntry) return -1;
        if (SameKey(there, text)) return there;
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

// The sorted keys a number equal to x to 15 significant digits may lie among: [first, last).
std::pair<std::size_t, std::size_t> CLookupIndex::Around(double x) const {
    const double reach = std::fabs(x) * 0x1p-48;
    return {CountBefore(x - reach, false), CountBefore(x + reach, true)};
}

// Of the sorted keys in [first, last) equal to x to 15 significant digits, the one first in
// store order; -1 when there is none. Equal keys are sorted in store order, so only the
// first of each run of them is looked at.
int64_t CLookupIndex::FirstApprox(std::size_t first, std::size_t last, double x) const {
    int64_t best = -1;
    for (std::size_t i = first; i < last;) {
        const double key = sortedNumbers_[i];
        if (ApproxEqual(key, x) && (best < 0 || sorted_[i] < uint64_t(best))) best = sorted_[i];
        i = std::size_t(std::upper_bound(sortedNumbers_.begin() + std::ptrdiff_t(i),
                                         sortedNumbers_.begin() + std::ptrdiff_t(last), key) -
                        sortedNumbers_.begin());
    }
    return best;
}

// Keys equal to v to 15 significant digits count as equal to it, as the walk compares them.
// Type 0: the first of them; type 1: the largest key not above v, the first of its equals;
// type -1: the smallest key not below v, the first of its equals.
LookupAnswer CLookupIndex::FindNumber(double v, int type, LookupCell& found) const {
    if (isText_ || std::isnan(v)) return LookupAnswer::kWalk;
    if (type != 0 && type != 1 && type != -1) return LookupAnswer::kNotFound;
    auto [first, last] = Around(v);
    if (type == 0) return Answer(FirstApprox(first, last, v), found);
    const std::size_t n = sortedNumbers_.size();
    if (type == 1) {
        while (last > first && sortedNumbers_[last - 1] > v &&
               !ApproxEqual(sortedNumbers_[last - 1], v))
            --last;
        if (last == 0) return LookupAnswer::kNotFound;
        const double largest = sortedNumbers_[last - 1];
        return Answer(FirstApprox(Around(largest).first, last, largest), found);
    }
    while (first < last && sortedNumbers_[first] < v && !ApproxEqual(sortedNumbers_[first], v))
        ++first;
    if (first == n) return LookupAnswer::kNotFound;
    const double smallest = sortedNumbers_[first];
    return Answer(FirstApprox(first, Around(smallest).second, smallest), found);
}

LookupAnswer CLookupIndex::FindText(std::string_view v, int type, LookupCell& found) const {
    if (!isText_ || v.find('\0') != std::string_view::npos) return LookupAnswer::kWalk;
    if (type == 0) {
        // An empty pattern matches nothing; one with wildcards is matched by the walk.
        if (v.empty()) return LookupAnswer::kNotFound;
        if (IsPattern(v)) return LookupAnswer::kWalk;
        const std::string upper = Upper(v);
        return Answer(FirstOf(HashText(upper), upper), found);
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
