#include "formula/spreadreach.h"

#include "formula/folderrange.h"
#include "formula/functable.h"
#include "formula/tokenizer.h"
#include "model/workbook.h"

#include <algorithm>
#include <string>
#include <tuple>

namespace vl {

namespace {

CellRange Union(const CellRange& a, const CellRange& b) {
    return {std::min(a.c1, b.c1), std::min(a.r1, b.r1), std::max(a.c2, b.c2), std::max(a.r2, b.r2)};
}

CellRange TokenArea(const FormulaToken& t) {
    if (t.type == kTokenArea) return {t.firstColumn, t.firstRow, t.lastColumn, t.lastRow};
    const bool row = t.refFlags & kRefRow;
    const bool column = t.refFlags & kRefColumn;
    return {column ? t.column : uint16_t(0), row ? t.row : 0,
            column ? t.column : uint16_t(kLastColumn), row ? t.row : kLastRow};
}

uint16_t FunctionIndex(const char* name) {
    uint16_t found = 0;
    std::size_t end = 0;
    return FindBuiltinFunction(name, found, end) ? found : UINT16_MAX;
}

struct KnownFunctions {
    uint16_t indirect = FunctionIndex("INDIRECT(");
    uint16_t offset = FunctionIndex("OFFSET(");
    uint16_t volatiles[6] = {FunctionIndex("RAND("),    FunctionIndex("RANDBETWEEN("),
                             FunctionIndex("NOW("),     FunctionIndex("TODAY("),
                             FunctionIndex("MTXRAND("), FunctionIndex("MTXRAND2(")};
};

const KnownFunctions& Known() {
    static const KnownFunctions known;
    return known;
}

// The store of the worksheet a qualifier names, seen from the formula's own worksheet; null
// for a folder, another workbook or a name that finds nothing.
CCellStore* QualifiedStore(CEvalContext& ctx, const CCellStore* from, std::string_view name) {
    while (!name.empty() && name.front() == ' ') name.remove_prefix(1);
    while (!name.empty() && name.back() == ' ') name.remove_suffix(1);
    if (name.empty() || name.front() == '[') return nullptr;
    std::string path;
    if (name.front() != '\\') GetFolderPath(ctx, from, path);
    path.append(name);
    CTreeItem* item = FindNodeByPath(ctx, path);
    CWorksheet* sheet = item ? AsWorksheet(item) : nullptr;
    return sheet ? &sheet->cells : nullptr;
}

} // namespace

// The temporaries the tokens make are dropped as they come.
void CFormulaReaches::ScanFormula(CEvalContext& ctx, const uint8_t* r, FormulaReach& reach,
                                  std::vector<Named>& named) {
    const KnownFunctions& known = Known();
    const std::string_view text = cell::Formula(r);
    ctx.currentCells = reach.cells;
    ctx.BeginFormula(reach.column, reach.row);
    named.clear();
    std::size_t pos = 1;
    FormulaToken token;
    std::string lastText;
    const CCellStore* qualified = nullptr; // the worksheet the next reference lies on
    uint16_t previous = 0;
    // OFFSET's first argument is where it starts counting, not a cell it reads.
    bool offsetBase = false;
    for (;;) {
        const uint16_t type = GetFormulaToken(ctx, text, pos, token, true);
        if (type == 0 || type == kTokenEnd) break;
        if (type == kTokenReference || type == kTokenArea) {
            if (offsetBase) {
                // The base may be a range "A1:B2": its second end goes too.
            } else if (!token.error) {
                const CellRange area = TokenArea(token);
                // The second end of "A1:B2" widens the area of the first, on its worksheet.
                if (previous == kTokenRange && !named.empty())
                    named.back().area = Union(named.back().area, area);
                else
                    named.push_back({qualified ? qualified : reach.cells, area});
            }
            qualified = nullptr;
        } else if (type == kTokenQualifier) {
            qualified =
                previous == kTokenText ? QualifiedStore(ctx, reach.cells, lastText) : nullptr;
            // A folder, another workbook or a name taken from a cell: anything may be read.
            if (!qualified) reach.everywhere = true;
        } else if (type == kTokenFunction) {
            const uint16_t f = token.functionIndex;
            if (f == known.indirect || f == known.offset) reach.builds = true;
            if (std::find(std::begin(known.volatiles), std::end(known.volatiles), f) !=
                std::end(known.volatiles))
                reach.isVolatile = true;
        } else if (type == kTokenText) {
            lastText = ctx.stringPool.PopTempString();
        } else if (type == kTokenArray) {
            if (Page* chain = ctx.scratch.PopPointer()) ctx.scratch.cells.FreePageChain(chain);
        }
        if (type != kTokenReference && type != kTokenArea && type != kTokenQualifier)
            qualified = type == kTokenRange ? qualified : nullptr;
        if (type == kTokenFunction)
            offsetBase = token.functionIndex == known.offset;
        else if (type != kTokenReference && type != kTokenArea && type != kTokenRange &&
                 type != kTokenQualifier && type != kTokenText)
            offsetBase = false;
        previous = type;
    }
    ctx.BeginFormula(reach.column, reach.row);
}

void CFormulaReaches::Scan(CEvalContext& ctx, CWorkbook& workbook) {
    CCellStore* const savedCells = ctx.currentCells;
    std::vector<Named> named;
    for (CTreeItem* item = workbook.tree.first; item; item = item->next) {
        CWorksheet* sheet = AsWorksheet(item);
        if (!sheet) continue;
        sheetOrder_.push_back(&sheet->cells);
        CellCursor cursor;
        cursor.flags = kAdvance;
        cursor.page = sheet->cells.FirstPage();
        while (const uint8_t* r = NextCellRecord(cursor)) {
            if (!cell::IsFormula(r)) continue;
            FormulaReach reach{&sheet->cells,
                               cell::Row(r),
                               cell::Column(r),
                               (cell::ResultFlags(r) & kResultArray) != 0,
                               false,
                               false,
                               false};
            ScanFormula(ctx, r, reach, named);
            const uint32_t id = uint32_t(reaches_.size());
            reaches_.push_back(reach);
            if (reach.everywhere) continue;
            for (const Named& n : named) sheets_[n.cells].entries.push_back({n.area, id});
        }
    }
    ctx.currentCells = savedCells;
    BuildIndexes();
}

void CFormulaReaches::AddBuilt(const CSpreadLog& log) {
    builtLost_ = builtLost_ || log.BuiltLost();
    for (; builtSeen_ < log.BuiltSize(); ++builtSeen_) {
        const BuiltReference& b = log.BuiltAt(builtSeen_);
        const int64_t id = Find(b.from, b.row, b.column);
        if (id < 0 || !reaches_[std::size_t(id)].builds) continue;
        if (builtKnown_.insert({b.cells, uint32_t(id), b.area}).second)
            built_[b.cells].push_back({b.area, uint32_t(id)});
    }
}

void NoteBuiltReference(CEvalContext& ctx, const FormulaToken& reference) {
    if (!ctx.spreads.Active() || !reference.cells) return;
    CellRange area{reference.column, reference.row, reference.column, reference.row};
    if (reference.type == kTokenArea)
        area = {reference.firstColumn, reference.firstRow, reference.lastColumn, reference.lastRow};
    ctx.spreads.Built({ctx.currentCells, ctx.baseRow, ctx.baseColumn, reference.cells, area});
}

int64_t CFormulaReaches::Find(const CCellStore* cells, uint32_t row, uint16_t column) const {
    const auto sheet = std::find(sheetOrder_.begin(), sheetOrder_.end(), cells);
    if (sheet == sheetOrder_.end()) return -1;
    const std::size_t order = std::size_t(sheet - sheetOrder_.begin());
    const auto key = [&](const FormulaReach& f) {
        const std::size_t o =
            f.cells == cells
                ? order
                : std::size_t(std::find(sheetOrder_.begin(), sheetOrder_.end(), f.cells) -
                              sheetOrder_.begin());
        return std::tuple(o, f.row, f.column);
    };
    const auto wanted = std::tuple(order, row, column);
    const auto it =
        std::lower_bound(reaches_.begin(), reaches_.end(), wanted,
                         [&](const FormulaReach& f, const auto& w) { return key(f) < w; });
    if (it == reaches_.end() || key(*it) != wanted) return -1;
    return int64_t(it - reaches_.begin());
}

namespace {

uint32_t BuildTree(std::vector<uint32_t>& tree, const std::vector<CellRange>& areas,
                   std::size_t node, std::size_t lo, std::size_t hi) {
    if (hi - lo == 1) return tree[node] = areas[lo].r2;
    const std::size_t mid = lo + (hi - lo) / 2;
    return tree[node] = std::max(BuildTree(tree, areas, node * 2, lo, mid),
                                 BuildTree(tree, areas, node * 2 + 1, mid, hi));
}

} // namespace

void CFormulaReaches::BuildIndexes() {
    for (uint32_t id = 0; id < reaches_.size(); ++id) {
        if (reaches_[id].everywhere) everywhere_.push_back(id);
        if (reaches_[id].builds) builders_.push_back(id);
    }
    for (auto& [cells, index] : sheets_) {
        std::sort(index.entries.begin(), index.entries.end(),
                  [](const Entry& a, const Entry& b) { return a.area.r1 < b.area.r1; });
        index.size = index.entries.size();
        std::vector<CellRange> areas;
        areas.reserve(index.size);
        for (const Entry& e : index.entries) areas.push_back(e.area);
        index.maxLastRow.assign(index.size * 4, 0);
        BuildTree(index.maxLastRow, areas, 1, 0, index.size);
    }
}

} // namespace vl
