#include "formula/spreadreach.h"

#include "formula/folderrange.h"
#include "formula/functable.h"
#include "formula/recalc.h"
#include "formula/tokenizer.h"
#include "model/workbook.h"

#include <algorithm>
#include <cstring>
#include <iterator>
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

// The functions whose result changes on every turn, with their "(".
constexpr std::string_view kVolatileNames[] = {"RAND(",  "RANDBETWEEN(", "NOW(",
                                               "TODAY(", "MTXRAND(",     "MTXRAND2("};

struct KnownFunctions {
    // Those that read what they find while they run; a search reads what its trials read.
    uint16_t builders[5] = {FunctionIndex("INDIRECT("), FunctionIndex("OFFSET("),
                            FunctionIndex("ROOT("), FunctionIndex("MINMC("),
                            FunctionIndex("MINSIMPLEX(")};
    uint16_t offset = FunctionIndex("OFFSET(");
    uint16_t volatiles[std::size(kVolatileNames)] = {};
    KnownFunctions() {
        for (std::size_t i = 0; i < std::size(kVolatileNames); ++i)
            volatiles[i] = FunctionIndex(kVolatileNames[i].data());
    }
};

const KnownFunctions& Known() {
    static const KnownFunctions known;
    return known;
}

std::string_view Trimmed(std::string_view name) {
    while (!name.empty() && name.front() == ' ') name.remove_prefix(1);
    while (!name.empty() && name.back() == ' ') name.remove_suffix(1);
    return name;
}

bool NamesOtherWorkbook(std::string_view name) {
    name = Trimmed(name);
    return !name.empty() && name.front() == '[';
}

// The worksheet or folder a qualifier names, seen from the formula's own worksheet; null for
// another workbook or a name that finds nothing.
CTreeItem* QualifiedItem(CEvalContext& ctx, const CCellStore* from, std::string_view name) {
    name = Trimmed(name);
    if (name.empty() || name.front() == '[') return nullptr;
    std::string path;
    if (name.front() != '\\') GetFolderPath(ctx, from, path);
    path.append(name);
    return FindNodeByPath(ctx, path);
}

} // namespace

// The temporaries the tokens make are dropped as they come.
void CFormulaReaches::ScanFormula(CEvalContext& ctx, const uint8_t* r, CCellStore& cells,
                                  FormulaReach& reach, std::vector<Named>& named) {
    const KnownFunctions& known = Known();
    const std::string_view text = cell::Formula(r);
    ctx.currentCells = &cells;
    ctx.BeginFormula(reach.column, reach.row);
    named.clear();
    std::size_t pos = 1;
    FormulaToken token;
    std::string lastText;
    const CCellStore* qualified = nullptr; // the worksheet the next reference lies on
    // The next reference lies on worksheets found while it is read: noted then, not here.
    bool elsewhere = false;
    uint16_t previous = 0;
    // OFFSET's first argument is where it starts counting, not a cell it reads.
    bool offsetBase = false;
    for (;;) {
        const uint16_t type = GetFormulaToken(ctx, text, pos, token, true);
        if (type == 0 || type == kTokenEnd) break;
        if (type == kTokenReference || type == kTokenArea) {
            if (offsetBase || elsewhere) {
                // The base may be a range "A1:B2": its second end goes too.
            } else if (!token.error) {
                const CellRange area = TokenArea(token);
                // The second end of "A1:B2" widens the area of the first, on its worksheet.
                if (previous == kTokenRange && !named.empty())
                    named.back().area = Union(named.back().area, area);
                else
                    named.push_back({qualified ? qualified : &cells, area});
            }
            qualified = nullptr;
            elsewhere = previous == kTokenRange ? false : elsewhere;
        } else if (type == kTokenQualifier) {
            CTreeItem* item =
                previous == kTokenText ? QualifiedItem(ctx, &cells, lastText) : nullptr;
            CWorksheet* sheet = item ? AsWorksheet(item) : nullptr;
            qualified = sheet ? &sheet->cells : nullptr;
            elsewhere = !sheet;
            // The worksheets of a folder or another workbook, or the one a cell or an
            // expression names, are noted as they are read; a name that finds nothing may
            // read anything.
            const bool noted = item || previous != kTokenText || NamesOtherWorkbook(lastText);
            if (!sheet && noted)
                reach.builds = true;
            else if (!sheet)
                reach.everywhere = true;
        } else if (type == kTokenFunction) {
            const uint16_t f = token.functionIndex;
            if (std::find(std::begin(known.builders), std::end(known.builders), f) !=
                std::end(known.builders))
                reach.builds = true;
            if (std::find(std::begin(known.volatiles), std::end(known.volatiles), f) !=
                std::end(known.volatiles))
                reach.isVolatile = true;
        } else if (type == kTokenText) {
            lastText = ctx.stringPool.PopTempString();
        } else if (type == kTokenArray) {
            if (Page* chain = ctx.scratch.PopPointer()) ctx.scratch.cells.FreePageChain(chain);
        }
        if (type != kTokenReference && type != kTokenArea && type != kTokenQualifier) {
            qualified = type == kTokenRange ? qualified : nullptr;
            elsewhere = type == kTokenRange && elsewhere;
        }
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
    // Counted first, so that the lists are made to size rather than doubled as they grow.
    std::size_t formulas = 0;
    for (CTreeItem* item = workbook.tree.first; item; item = item->next)
        if (CWorksheet* sheet = AsWorksheet(item)) {
            sheetOrder_.push_back(&sheet->cells);
            CellCursor cursor;
            cursor.flags = kAdvance;
            cursor.page = sheet->cells.FirstPage();
            std::size_t count = 0;
            while (const uint8_t* r = NextCellRecord(cursor)) count += cell::IsFormula(r);
            if (count) sheets_[&sheet->cells].Reserve(count);
            formulas += count;
        }
    reaches_.reserve(formulas);
    std::vector<Named> named;
    for (std::size_t s = 0; s < sheetOrder_.size(); ++s) {
        CCellStore& cells = *sheetOrder_[s];
        CellCursor cursor;
        cursor.flags = kAdvance;
        cursor.page = cells.FirstPage();
        while (const uint8_t* r = NextCellRecord(cursor)) {
            if (!cell::IsFormula(r)) continue;
            FormulaReach reach{cell::Row(r), cell::Column(r), uint16_t(s), false, false, false};
            const uint8_t result = cell::ResultFlags(r);
            if ((result & kResultDeferred) && !(result & (kResultArray | kResultCalculated))) {
                reach.isVolatile = true;
                reaches_.push_back(reach);
                continue;
            }
            ScanFormula(ctx, r, cells, reach, named);
            const uint32_t id = uint32_t(reaches_.size());
            if ((r[0] & 0xF0) == kErrFill) blocked_.push_back(id);
            reaches_.push_back(reach);
            if (reach.everywhere) continue;
            for (const Named& n : named)
                sheets_[n.cells].Add({n.area.r1, n.area.r2, id, n.area.c1, n.area.c2});
        }
    }
    ctx.currentCells = savedCells;
    BuildIndexes();
}

void CFormulaReaches::AddBuilt(CSpreadLog& log) {
    builtLost_ = builtLost_ || log.BuiltLost();
    // A round's references by the worksheet they read; most read the formula's own.
    std::unordered_map<const CCellStore*, CAreaIndex> batches;
    const CCellStore* lastCells = nullptr;
    CAreaIndex* batch = nullptr;
    int64_t id = -1;
    const BuiltReference* last = nullptr;
    const std::size_t taken = log.TakeBuilt();
    for (; builtSeen_ < taken; ++builtSeen_) {
        const BuiltReference& b = log.BuiltAt(builtSeen_);
        // A formula's references come together, and formulas mostly in storage order.
        if (!last || b.from != last->from || b.row != last->row || b.column != last->column)
            id = FindAfter(id, b.from, b.row, b.column);
        last = &b;
        if (id < 0) continue;
        if (!b.cells) {
            logged_[std::size_t(id)] = 1;
            anyLogged_ = true;
            if (b.area.c1 == kMarkCalculated) evaluatedAt_[std::size_t(id)] = b.clock;
            continue;
        }
        if (!batch || b.cells != lastCells) batch = &batches[b.cells];
        lastCells = b.cells;
        batch->Add({b.area.r1, b.area.r2, uint32_t(id), b.area.c1, b.area.c2});
    }
    for (auto& [cells, entries] : batches) built_[cells].AddBatch(std::move(entries));
    // Those whose reads are known are found through them from now on.
    if (anyLogged_ && !builtLost_)
        std::erase_if(everywhere_, [&](uint32_t id) { return logged_[id] != 0; });
}

int64_t CFormulaReaches::FindAfter(int64_t previous, const CCellStore* cells, uint32_t row,
                                   uint16_t column) const {
    // The next formula that builds is often a few places on, in the same row or the next.
    if (previous >= 0)
        for (std::size_t next = std::size_t(previous) + 1;
             next < reaches_.size() && next <= std::size_t(previous) + 4; ++next) {
            const FormulaReach& f = reaches_[next];
            if (f.row == row && f.column == column && sheetOrder_[f.sheet] == cells)
                return int64_t(next);
        }
    return Find(cells, row, column);
}

namespace {

// A search's trial evaluation reads for the formula that called the search.
CEvalContext& Reader(CEvalContext& ctx) {
    CEvalContext* reader = &ctx;
    while (reader->readsFor) reader = reader->readsFor;
    return *reader;
}

} // namespace

void NoteBuiltArea(CEvalContext& ctx, const CCellStore* cells, const CellRange& area) {
    CEvalContext& reader = Reader(ctx);
    if (!reader.spreads.Active() || !cells) return;
    reader.spreads.Built({reader.currentCells, reader.baseRow, reader.baseColumn, cells, area, 0});
}

bool ReadsNoted(CEvalContext& ctx) {
    return Reader(ctx).spreads.LoggingReads();
}

void NoteReadArea(CEvalContext& ctx, const CCellStore* cells, const CellRange& area) {
    CSpreadLog& log = Reader(ctx).spreads;
    if (log.Watching()) log.Read(cells, area);
    if (log.LoggingReads()) NoteBuiltArea(ctx, cells, area);
}

void NoteBuiltReference(CEvalContext& ctx, const FormulaToken& reference) {
    CellRange area{reference.column, reference.row, reference.column, reference.row};
    if (reference.type == kTokenArea)
        area = {reference.firstColumn, reference.firstRow, reference.lastColumn, reference.lastRow};
    NoteBuiltArea(ctx, reference.cells, area);
}

// Most calls end at the letter before the first "(".
bool NamesVolatileFunction(std::string_view formula) {
    const char* const begin = formula.data();
    const char* const end = begin + formula.size();
    for (const char* open = begin;
         (open = static_cast<const char*>(std::memchr(open, '(', std::size_t(end - open))));
         ++open) {
        if (open == begin) continue;
        // Every name ends in one of these.
        const char last = char(open[-1] & ~0x20);
        if (last != 'D' && last != 'N' && last != 'W' && last != 'Y' && open[-1] != '2') continue;
        // The names are ASCII letters and digits: a lower-case letter folds by its bit, without
        // a call per character.
        const auto alnum = [](char c) {
            return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
        };
        const char* start = open;
        while (start > begin && alnum(start[-1])) --start;
        const std::string_view name(start, std::size_t(open + 1 - start));
        for (std::string_view known : kVolatileNames)
            if (name.size() == known.size() &&
                std::equal(name.begin(), name.end(), known.begin(), [](char a, char b) {
                    return (a >= 'a' && a <= 'z' ? char(a & ~0x20) : a) == b;
                }))
                return true;
    }
    return false;
}

int64_t CFormulaReaches::Find(const CCellStore* cells, uint32_t row, uint16_t column) const {
    const auto sheet = std::find(sheetOrder_.begin(), sheetOrder_.end(), cells);
    if (sheet == sheetOrder_.end()) return -1;
    const auto wanted = std::tuple(uint16_t(sheet - sheetOrder_.begin()), row, column);
    const auto key = [](const FormulaReach& f) { return std::tuple(f.sheet, f.row, f.column); };
    const auto it = std::lower_bound(
        reaches_.begin(), reaches_.end(), wanted,
        [&](const FormulaReach& f, const decltype(wanted)& w) { return key(f) < w; });
    if (it == reaches_.end() || key(*it) != wanted) return -1;
    return int64_t(it - reaches_.begin());
}

void CFormulaReaches::BuildIndexes() {
    logged_.assign(reaches_.size(), 0);
    evaluatedAt_.assign(reaches_.size(), 0);
    for (uint32_t id = 0; id < reaches_.size(); ++id) {
        if (reaches_[id].everywhere) everywhereAll_.push_back(id);
        if (reaches_[id].builds) builders_.push_back(id);
    }
    everywhere_ = everywhereAll_;
    for (auto& [cells, index] : sheets_) index.Build();
}

} // namespace vl
