#include "functions/general/lookupfunctions.h"

#include "formula/approxnumber.h"
#include "formula/lookupindex.h"
#include "functions/general/argumentarea.h"
#include "functions/general/generalargs.h"
#include "functions/general/wildcard.h"
#include "model/cellrecord.h"

#include <cmath>
#include <string>

namespace vl {

namespace {

// The value looked for: a number (an empty value counts as 0) or a text. A number equal to
// it to 15 significant digits lies within [low, high].
struct Sought {
    bool isText = false;
    LookupKey key;
    double low = 0, high = 0;
};

FormulaError ReadSought(CEvalContext& ctx, FormulaToken& slot, Sought& v) {
    ResolveReferenceValue(ctx, slot);
    v.isText = slot.type == kTokenText;
    if (v.isText) return GetTextArg(ctx, slot, v.key.text);
    const FormulaError error = GetNumberArg(ctx, slot, v.key.number);
    const double reach = std::fabs(v.key.number) * 0x1p-48;
    v.low = v.key.number - reach;
    v.high = v.key.number + reach;
    return error;
}

// Numbers equal to 15 significant digits are equal, as the comparison operators take them.
int CompareKeys(bool text, const LookupKey& a, const LookupKey& b) {
    if (text) return CompareNoCase(a.text.c_str(), b.text.c_str());
    return CompareApprox(a.number, b.number);
}

// Exact match: numbers by value, texts by the wildcard pattern that v is.
bool Equal(const Sought& v, const LookupKey& key) {
    if (!v.isText)
        return key.number >= v.low && key.number <= v.high && ApproxEqual(key.number, v.key.number);
    uint8_t full = 0;
    return MatchWildcard(v.key.text, key.text, &full) == 0 && full;
}

// Whether `key` replaces the best so far: type 1 the largest not above v, type -1 the
// smallest not below it; of equal values the first stays.
bool Better(const Sought& v, int type, const LookupKey& key, const LookupKey* best) {
    int toSought = CompareKeys(v.isText, key, v.key);
    if (type == 1) return toSought <= 0 && (!best || CompareKeys(v.isText, key, *best) > 0);
    if (type == -1) return toSought >= 0 && (!best || CompareKeys(v.isText, key, *best) < 0);
    return false;
}

struct Found {
    bool any = false;
    uint16_t column = 0;
    uint32_t row = 0;
};

LookupKeys KeysOf(const Sought& v) {
    return v.isText ? LookupKeys::kTexts : LookupKeys::kNumbers;
}

// A range searched again in a recalculation is answered by its index, which finds the cell
// the walk would find; kWalk when there is none or it cannot answer.
LookupAnswer SearchIndex(CEvalContext& ctx, const CArgumentArea& area, const CellRange& part,
                         const Sought& v, int type, Found& found) {
    if (!area.Store() || !ctx.lookups.Active()) return LookupAnswer::kWalk;
    const CellRange& r = area.Rectangle();
    const CellRange rect{uint16_t(r.c1 + part.c1), r.r1 + part.r1, uint16_t(r.c1 + part.c2),
                         r.r1 + part.r2};
    const CLookupIndex* index = ctx.lookups.Find(ctx, *area.Store(), rect, KeysOf(v));
    if (!index) return LookupAnswer::kWalk;
    LookupCell cell;
    const LookupAnswer answer = v.isText ? index->FindText(v.key.text, type, cell)
                                         : index->FindNumber(v.key.number, type, cell);
    if (answer == LookupAnswer::kFound)
        found = Found{true, uint16_t(cell.column - r.c1), cell.row - r.r1};
    return answer;
}

// The search shared by the four functions over a part of the area; a number looked for
// passes over the cells that hold none: errors and texts that are no number.
Found SearchPart(CEvalContext& ctx, const CArgumentArea& area, const CellRange& part,
                 const Sought& v, int type) {
    Found found;
    if (SearchIndex(ctx, area, part, v, type, found) != LookupAnswer::kWalk) return found;
    const LookupKeys kind = KeysOf(v);
    LookupKey best, key;
    CArgumentArea::CPartWalk walk(area, part);
    while (const uint8_t* record = walk.Next()) {
        FormulaToken value;
        area.ReadValue(record, value);
        if (!ReadLookupKey(ctx, value, kind, key)) continue;
        bool hit = type == 0 ? Equal(v, key) : Better(v, type, key, found.any ? &best : nullptr);
        if (!hit) continue;
        found = Found{true, walk.ColumnOffset(), walk.RowOffset()};
        if (type == 0) break;
        std::swap(best, key);
    }
    return found;
}

// The value of the cell at the offsets in `from`; no cell gives an empty value.
void ReturnCellValue(CEvalContext& ctx, const CArgumentArea& from, uint64_t row, uint64_t column) {
    FormulaToken value;
    from.ReadValue(from.CellAt(row, column), value);
    ReturnValue(ctx, value);
}

// VLOOKUP (by rows) and HLOOKUP (by columns): v, the area, the column or row to fetch,
// the match type.
template <bool Vertical> void TableLookup(CEvalContext& ctx) {
    if (!CheckArgumentCount(ctx, 4, 4) || ApplyOverParameters(ctx, {0})) return;
    int32_t type = 1, n = 0;
    CArgumentArea area(ctx);
    Sought v;
    FormulaError error = GetIntArg(ctx, Argument(ctx, 3), type, -1, 1);
    error = MergeError(error, GetIntArg(ctx, Argument(ctx, 2), n, 1,
                                        Vertical ? int32_t(kMaxColumns) : int32_t(kMaxRows)));
    error = MergeError(error, area.Take(Argument(ctx, 1)));
    error = MergeError(error, ReadSought(ctx, Argument(ctx, 0), v));
    // An n left empty is 0, outside its bounds.
    if (error == 0 && n == 0) error = kErrNum;
    if (error == 0 && uint32_t(n) > (Vertical ? area.Columns() : area.Rows())) error = kErrRef;
    if (error) return ReturnError(ctx, error);
    CellRange part = Vertical ? CellRange{0, 0, 0, area.Rows() - 1}
                              : CellRange{0, 0, uint16_t(area.Columns() - 1), 0};
    Found found = SearchPart(ctx, area, part, v, type);
    if (!found.any) return ReturnError(ctx, kErrNA);
    if (Vertical) return ReturnCellValue(ctx, area, found.row, uint64_t(n) - 1);
    ReturnCellValue(ctx, area, uint64_t(n) - 1, found.column);
}

// Two arguments: the longer side is searched and the opposite edge fetched, not-greater
// match. Three: an exact match in the first area, fetched from the second at the place.
void Lookup(CEvalContext& ctx) {
    if (!CheckArgumentCount(ctx, 2, 3) || ApplyOverParameters(ctx, {0})) return;
    const bool separate = ArgumentCount(ctx) == 3;
    CArgumentArea result(ctx), searched(ctx);
    Sought v;
    FormulaError error = separate ? result.Take(Argument(ctx, 2)) : 0;
    error = MergeError(error, searched.Take(Argument(ctx, 1)));
    error = MergeError(error, ReadSought(ctx, Argument(ctx, 0), v));
    if (error) return ReturnError(ctx, error);
    const uint16_t lastColumn = uint16_t(searched.Columns() - 1);
    const uint32_t lastRow = searched.Rows() - 1;
    if (separate) {
        Found found = SearchPart(ctx, searched, CellRange{0, 0, lastColumn, lastRow}, v, 0);
        if (!found.any) return ReturnError(ctx, kErrNA);
        // A vector's answer is at the same position along the result vector, whichever way
        // either runs (a single cell runs as the searched vector does); a result of rows and
        // columns is read at the found cell's offsets.
        const uint64_t position = uint64_t(found.row) * searched.Columns() + found.column;
        const bool across = result.Rows() == 1 && (result.Columns() > 1 || searched.Rows() == 1);
        if (across) return ReturnCellValue(ctx, result, 0, position);
        if (result.Columns() == 1) return ReturnCellValue(ctx, result, position, 0);
        return ReturnCellValue(ctx, result, found.row, found.column);
    }
    const bool byRows = lastColumn <= lastRow;
    CellRange part = byRows ? CellRange{0, 0, 0, lastRow} : CellRange{0, 0, lastColumn, 0};
    Found found = SearchPart(ctx, searched, part, v, 1);
    if (!found.any) return ReturnError(ctx, kErrNA);
    if (byRows) return ReturnCellValue(ctx, searched, found.row, lastColumn);
    ReturnCellValue(ctx, searched, lastRow, found.column);
}

// The position of the cell found, counted row by row over the whole rectangle.
void Match(CEvalContext& ctx) {
    if (!CheckArgumentCount(ctx, 3, 3) || ApplyOverParameters(ctx, {0, 2})) return;
    int32_t type = 1;
    CArgumentArea area(ctx);
    Sought v;
    FormulaError error = GetIntArg(ctx, Argument(ctx, 2), type, -1, 1);
    error = MergeError(error, area.Take(Argument(ctx, 1)));
    error = MergeError(error, ReadSought(ctx, Argument(ctx, 0), v));
    if (error) return ReturnError(ctx, error);
    CellRange whole{0, 0, uint16_t(area.Columns() - 1), area.Rows() - 1};
    Found found = SearchPart(ctx, area, whole, v, type);
    if (!found.any) return ReturnError(ctx, kErrNA);
    ReturnNumber(ctx, double(area.Columns()) * found.row + found.column + 1);
}

} // namespace

void BindLookupFunctions() {
    BindBuiltinFunction("VLOOKUP", &TableLookup<true>);
    BindBuiltinFunction("HLOOKUP", &TableLookup<false>);
    BindBuiltinFunction("LOOKUP", &Lookup);
    BindBuiltinFunction("MATCH", &Match);
}

} // namespace vl
