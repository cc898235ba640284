#pragma once
// What each formula of a workbook may read, as far as its text tells, and the formulas that
// may read a given area: found once per recalculation, so that an array that changed the cells
// it spreads over finds the formulas to calculate again without a scan of every formula.

#include "formula/evalcontext.h"
#include "model/cellrange.h"

#include <cstdint>
#include <cstring>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace vl {

class CWorkbook;

// Notes, while a recalculation runs, that the formula being evaluated built the reference.
void NoteBuiltReference(CEvalContext& ctx, const FormulaToken& reference);

// Whether the formula text calls a function whose result changes on every turn; a name in a
// text may make it say so wrongly, never the other way round.
// Called for every formula of every recalculation: most have no "(" at all.
bool NamesVolatileFunction(std::string_view formula);
inline bool MayCallVolatile(std::string_view formula) {
    return std::memchr(formula.data(), '(', formula.size()) && NamesVolatileFunction(formula);
}

// Kept small: a workbook of a million formulas has a million of these.
struct FormulaReach {
    uint32_t row;
    uint16_t column;
    uint16_t sheet;  // the worksheet's place among the workbook's worksheets
    bool isVolatile; // calls a function whose result changes on every turn
    bool builds;     // builds references from text or offsets (INDIRECT, OFFSET)
    bool everywhere; // names a folder, another workbook or a worksheet held in a cell
};

class CFormulaReaches {
public:
    // Reads the text of every formula of the workbook; nothing is evaluated.
    void Scan(CEvalContext& ctx, CWorkbook& workbook);

    std::size_t Size() const { return reaches_.size(); }
    const FormulaReach& operator[](std::size_t i) const { return reaches_[i]; }
    CCellStore* Cells(std::size_t i) const { return sheetOrder_[reaches_[i].sheet]; }
    // Takes the references built since the last call as read by the formulas that built
    // them, so that those read only what they built in this recalculation.
    void AddBuilt(const CSpreadLog& log);

    // The formula at that place, or -1.
    int64_t Find(const CCellStore* cells, uint32_t row, uint16_t column) const;

    // Whether the formula counts as reading every cell of every worksheet.
    bool ReadsAnything(std::size_t i) const {
        return reaches_[i].everywhere || (builtLost_ && reaches_[i].builds);
    }

    // Every formula that may read a cell of `area` on `cells`, each at most once per area
    // named (a formula naming two overlapping areas may come twice); those that read anything
    // only with `withAnything`.
    template <typename F>
    void ForEachReader(const CCellStore* cells, const CellRange& area, bool withAnything,
                       F&& f) const {
        if (withAnything) {
            for (uint32_t id : everywhere_) f(id);
            if (builtLost_)
                for (uint32_t id : builders_) f(id);
        }
        if (!builtLost_)
            for (const Entry& e : built_[cells])
                if (Reads(e, area)) f(e.id);
        auto sheet = sheets_.find(cells);
        if (sheet == sheets_.end()) return;
        const SheetIndex& index = sheet->second;
        if (!index.entries.empty()) Visit(index, 1, 0, index.blocks, area, f);
    }

private:
    // An area a formula names, in 16 bytes.
    struct Entry {
        uint32_t r1, r2, id;
        uint16_t c1, c2;
    };
    // The areas of one worksheet sorted by first row, in blocks of kBlock, with the largest
    // last row under every node of a binary tree over the blocks, so that a query skips what
    // ends above it and stops where the areas start below it.
    static constexpr std::size_t kBlock = 16;
    struct SheetIndex {
        std::vector<Entry> entries;
        std::vector<uint32_t> maxLastRow; // by tree node, the root 1 over [0, blocks)
        std::size_t blocks = 0;
    };

    static bool Reads(const Entry& e, const CellRange& q) {
        return e.c1 <= q.c2 && q.c1 <= e.c2 && e.r1 <= q.r2 && q.r1 <= e.r2;
    }

    template <typename F>
    static void Visit(const SheetIndex& index, std::size_t node, std::size_t lo, std::size_t hi,
                      const CellRange& q, F& f) {
        if (index.maxLastRow[node] < q.r1) return;
        if (index.entries[lo * kBlock].r1 > q.r2) return; // every later area starts below
        if (hi - lo == 1) {
            const std::size_t end = std::min(index.entries.size(), (lo + 1) * kBlock);
            for (std::size_t i = lo * kBlock; i < end && index.entries[i].r1 <= q.r2; ++i)
                if (Reads(index.entries[i], q)) f(index.entries[i].id);
            return;
        }
        const std::size_t mid = lo + (hi - lo) / 2;
        Visit(index, node * 2, lo, mid, q, f);
        Visit(index, node * 2 + 1, mid, hi, q, f);
    }
    static uint32_t BuildTree(SheetIndex& index, std::size_t node, std::size_t lo, std::size_t hi);

    struct Named {
        const CCellStore* cells;
        CellRange area;
    };
    void ScanFormula(CEvalContext& ctx, const uint8_t* r, CCellStore& cells, FormulaReach& reach,
                     std::vector<Named>& named);
    void BuildIndexes();

    // In the order found: worksheets in tree order, each in storage order, so that a place
    // is found by a binary search.
    std::vector<FormulaReach> reaches_;
    std::vector<CCellStore*> sheetOrder_;
    std::vector<uint32_t> everywhere_;
    std::vector<uint32_t> builders_;
    // Built references by the worksheet they read; few formulas build any.
    mutable std::unordered_map<const CCellStore*, std::vector<Entry>> built_;
    struct BuiltKey {
        const CCellStore* cells;
        uint32_t id;
        CellRange area;
        bool operator==(const BuiltKey& o) const {
            return cells == o.cells && id == o.id && area.c1 == o.area.c1 && area.r1 == o.area.r1 &&
                   area.c2 == o.area.c2 && area.r2 == o.area.r2;
        }
    };
    struct BuiltHash {
        std::size_t operator()(const BuiltKey& k) const {
            uint64_t h = uint64_t(k.id) * 0x9E3779B97F4A7C15ull;
            for (uint64_t v : {uint64_t(k.area.c1), uint64_t(k.area.r1), uint64_t(k.area.c2),
                               uint64_t(k.area.r2)})
                h = (h ^ v) * 0x100000001B3ull;
            return std::hash<const void*>()(k.cells) ^ h;
        }
    };
    std::unordered_set<BuiltKey, BuiltHash> builtKnown_;
    std::size_t builtSeen_ = 0;
    bool builtLost_ = false;
    std::unordered_map<const CCellStore*, SheetIndex> sheets_;
};

} // namespace vl
