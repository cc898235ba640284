#pragma once
// The keys of a searched range as the lookup functions compare them, read once and answered
// by hashing (exact match) or bisection (not-greater and not-smaller match). The answer is the
// cell the walk in store order would find: of equal keys the first in store order.

#include "formula/token.h"
#include "model/cellrange.h"
#include "model/cellstore.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vl {

class CEvalContext;

// How the cells of a searched range are read: as numbers passing over cells that are none,
// or as texts.
enum class LookupKeys : uint8_t { kNumbers, kTexts };

struct LookupKey {
    double number = 0;
    std::string text;
};

// Reads a cell's value (as CellToOperand gave it) into the key; false when the cell takes no
// part. The one reader of the walk and of the index, so both see the same keys.
bool ReadLookupKey(CEvalContext& ctx, FormulaToken& value, LookupKeys kind, LookupKey& key);

enum class LookupAnswer : uint8_t { kFound, kNotFound, kWalk };

struct LookupCell {
    uint16_t column = 0;
    uint32_t row = 0;
};

class CLookupIndex {
public:
    // How a build ended: ready; stopped at a formula cell not calculated in this pass (its
    // place in `blocker`); or stopped by keys that cannot be indexed here.
    enum class Build : uint8_t { kReady, kBlocked, kRefused };

    // Reads every stored cell of the rectangle. Nothing is reported as a precedent.
    Build BuildFrom(CEvalContext& ctx, const CCellStore& cells, const CellRange& rect,
                    LookupKeys kind, LookupCell& blocker);

    // The cell the walk would find for the sought value and match type (0, 1 or -1); kWalk
    // when the value cannot be answered here (a wildcard pattern, a NaN).
    LookupAnswer FindNumber(double v, int type, LookupCell& found) const;
    LookupAnswer FindText(std::string_view v, int type, LookupCell& found) const;

    std::size_t Size() const { return cells_.size(); }

private:
    LookupAnswer Answer(int64_t entry, LookupCell& found) const;
    void Arrange(LookupKeys kind);
    // Open addressing over entry numbers: the first entry of each key, -1 when none.
    uint64_t HashOf(uint32_t entry) const;
    bool SameKey(uint32_t entry, double number, std::string_view text) const;
    int64_t FirstOf(uint64_t hash, double number, std::string_view text) const;
    // The number of sorted keys below v (or not above it, `orEqual`).
    std::size_t CountBefore(double v, bool orEqual) const;
    std::size_t NextRun(std::size_t i) const;
    // The first place in sorted_ of the key at `place`.
    template <class Less> std::size_t FirstEqual(std::size_t place, Less less) const;

    std::vector<LookupCell> cells_; // in store order
    std::vector<double> numbers_;
    std::vector<std::string> texts_;    // upper case, by the code page's case mapping
    std::vector<uint32_t> sorted_;      // entries by key, then by store order
    std::vector<double> sortedNumbers_; // the keys of sorted_, for bisection in one array
    std::vector<double> samples_;       // every kSampleStride-th of them, to bisect first
    std::vector<uint32_t> places_;      // each entry's place in sorted_ (numbers)
    std::vector<uint32_t> slots_;       // a power of two, at most half full
    bool isText_ = false;
};

} // namespace vl
