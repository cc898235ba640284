// Storing a formula's result in its cell record: in place when the record keeps its size,
// rebuilt otherwise, and spread over the cells of its area for an array.
#include "formula/operands.h"
#include "formula/recalc.h"
#include "formula/spreadreach.h"
#include "model/arrayelements.h"
#include "model/clearset.h"
#include "model/rangeops.h"
#include "platform/core/bytes.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace vl {

namespace {

struct Area {
    uint16_t columns;
    uint32_t rows;
};

void SetFormulaError(uint8_t* r, FormulaError error) {
    r[0] = uint8_t((error & 0xF0) | kCellFormula);
}

Area OldArea(const uint8_t* r) {
    if (!(cell::ResultFlags(r) & kResultArray)) return {1, 1};
    return {std::max<uint16_t>(cell::ArrayWidth(r), 1),
            std::max<uint32_t>(cell::ArrayHeight(r), 1)};
}

CellRange AreaAt(uint16_t column, uint32_t row, Area a) {
    return {column, row, uint16_t(std::min<uint32_t>(column + a.columns - 1u, kLastColumn)),
            uint32_t(std::min<uint64_t>(uint64_t(row) + a.rows - 1, kLastRow))};
}

// The cells of an area but its top-left one, which holds the formula.
void ClearAreaButAnchor(CCellStore& cells, uint16_t column, uint32_t row, Area a) {
    const CellRange area = AreaAt(column, row, a);
    const uint16_t lastColumn = area.c2;
    const uint32_t lastRow = area.r2;
    if (lastColumn > column)
        ClearRect(cells, CellRange{uint16_t(column + 1), row, lastColumn, row}, nullptr, false);
    if (lastRow > row)
        ClearRect(cells, CellRange{column, row + 1, lastColumn, lastRow}, nullptr, false);
}

// A record stored again needs a spare page first; without memory the cell gets #MEMORY!.
bool StoreRecord(CCellStore& cells, const CellBuffer& record, CellCursor& cursor) {
    if (record.size && cells.ReserveSparePage() && cells.PutCell(record.bytes, cursor)) return true;
    uint8_t* r = FindCell(cells, cell::Row(record.bytes), cell::Column(record.bytes));
    if (r && cell::IsFormula(r)) SetFormulaError(r, kErrMemory);
    return false;
}

// A formula record rebuilt with the head and cached text given.
void Rebuild(CCellStore& cells, uint16_t column, uint32_t row, const FormulaHead& head,
             std::string_view formula, std::string_view cachedText) {
    CellBuffer record;
    MakeFormulaCell(record, column, row, head, formula, cachedText);
    CellCursor cursor;
    StoreRecord(cells, record, cursor);
}

// A change to the cells of an area besides its anchor, whose own readers wait for it anyway.
void NoteSpread(CEvalContext& ctx, CCellStore& cells, uint16_t column, uint32_t row,
                const CellRange& area) {
    if (area.c2 > area.c1 || area.r2 > area.r1) ctx.spreads.Changed(cells, row, column, area);
}

// A plain result no longer spreads: a former array formula first loses the elements of its
// area. A value typed into the area since is the user's and stays.
FormulaHead PlainHead(CEvalContext& ctx, CCellStore& cells, const uint8_t* r, uint16_t column,
                      uint32_t row) {
    FormulaHead head = ReadFormulaHead(r);
    if (head.resultFlags & kResultArray) {
        const CellRange area = AreaAt(column, row, OldArea(r));
        ClearArrayElements(cells, area, false);
        NoteSpread(ctx, cells, column, row, area);
    }
    head.arrayWidth = FormulaHead{}.arrayWidth;
    head.arrayHeight = FormulaHead{}.arrayHeight;
    return head;
}

void WriteNumber(CEvalContext& ctx, CCellStore& cells, uint8_t* r, std::string_view formula,
                 double value, FormulaError error) {
    // A result of zero is kept as +0 whatever made it, as typed zeros are.
    if (value == 0) value = 0.0;
    uint8_t calc = cell::ResultFlags(r);
    uint8_t kept = calc & (kResultCalculated | kResultWaiting);
    if (!(calc & (kResultArray | kResultText))) {
        SetFormulaError(r, error);
        r[14] = uint8_t(kept | kResultNumber);
        StoreF64(r + 25, value);
        return;
    }
    uint16_t column = cell::Column(r);
    uint32_t row = cell::Row(r);
    FormulaHead head = PlainHead(ctx, cells, r, column, row);
    head.flags = uint8_t((error & 0xF0) | kCellFormula);
    head.resultFlags = uint8_t(kept | kResultNumber);
    head.cachedNumber = value;
    Rebuild(cells, column, row, head, formula, {});
}

void WriteText(CEvalContext& ctx, CCellStore& cells, uint8_t* r, std::string_view formula,
               std::string_view text, FormulaError error) {
    uint8_t calc = cell::ResultFlags(r);
    uint8_t kept = calc & (kResultCalculated | kResultWaiting);
    std::string_view cached = cell::CachedText(r);
    if (!(calc & kResultArray) && (calc & kResultText) && cached.size() == text.size()) {
        std::memcpy(const_cast<char*>(cached.data()), text.data(), text.size());
        SetFormulaError(r, error);
        r[14] = uint8_t(kept | kResultText);
        return;
    }
    uint16_t column = cell::Column(r);
    uint32_t row = cell::Row(r);
    FormulaHead head = PlainHead(ctx, cells, r, column, row);
    head.flags = uint8_t((error & 0xF0) | kCellFormula);
    head.resultFlags = uint8_t(kept | kResultText);
    Rebuild(cells, column, row, head, formula, text);
}

struct Anchor {
    uint16_t column;
    uint32_t row;
};

// The anchor of the spread array whose area holds the element at (column, row), found from the
// top of the worksheet; false for an element that no array holds.
bool FindOwner(CCellStore& cells, uint16_t column, uint32_t row, CellRange& area) {
    CellCursor cursor;
    cursor.flags = kAdvance;
    cursor.page = cells.FirstPage();
    while (const uint8_t* r = cursor.page ? NextCellRecord(cursor) : nullptr) {
        if (cell::Row(r) > row) break;
        if (!IsSpreadArrayAnchor(r)) continue;
        area = SpreadArrayArea(r);
        if (column >= area.c1 && column <= area.c2 && row <= area.r2) return true;
    }
    return false;
}

// Every cell the new area covers must be empty, the formula or an element of the array's own
// area `own`: an array before it in the walk's order keeps the cells it spread over, as a
// typed value does, so that which array shows its elements never depends on which spread
// first. With `later`, the arrays after it that hold cells of the area are added there, to
// give them up; without, any other array's element is in the way. Cells of the own area
// outside the new one lose only their elements, so a value typed there blocks nothing.
bool AreaIsFree(CCellStore& cells, uint16_t column, uint32_t row, Area newArea, Area own,
                std::vector<Anchor>* later) {
    CellCursor cursor;
    cursor.flags = kAdvance;
    cursor.page = cells.StartPageForRow(row);
    if (!cursor.page) return true;
    const CellRange area = AreaAt(column, row, newArea);
    const CellRange mine = AreaAt(column, row, own);
    CellRange owner{1, 1, 0, 0}; // the last owner found, which holds most of the others
    while (const uint8_t* r = NextCellInRectangle(cursor, column, row, area.c2, area.r2)) {
        const uint16_t c = cell::Column(r);
        const uint32_t rr = cell::Row(r);
        if ((rr == row && c == column) ||
            ((r[0] & kCellArrayElement) && c <= mine.c2 && rr <= mine.r2))
            continue;
        if (!(r[0] & kCellArrayElement) || !later) return false;
        if (c >= owner.c1 && c <= owner.c2 && rr >= owner.r1 && rr <= owner.r2) continue;
        // Whatever moved it, an element no array holds belongs to nobody.
        if (!FindOwner(cells, c, rr, owner)) {
            owner = {1, 1, 0, 0};
            continue;
        }
        if (owner.r1 < row || (owner.r1 == row && owner.c1 < column)) return false;
        later->push_back({owner.c1, owner.r1});
    }
    return true;
}

// An array that cannot spread holds no area: the elements it spread before go, cells it did
// not own stay, and the anchor becomes a plain formula carrying the error, whatever it showed
// before.
void Unspread(CEvalContext& ctx, CCellStore& cells, uint8_t* r, std::string_view formula,
              FormulaError error) {
    const uint16_t column = cell::Column(r);
    const uint32_t row = cell::Row(r);
    FormulaHead head = PlainHead(ctx, cells, r, column, row);
    head.flags = uint8_t((error & 0xF0) | kCellFormula);
    head.resultFlags =
        uint8_t((head.resultFlags & (kResultCalculated | kResultWaiting)) | kResultNumber);
    head.cachedNumber = 0;
    Rebuild(cells, column, row, head, formula, {});
}

// An array after another in the walk's order gives up the cells the other spreads over: it
// cannot spread, as if the other had spread first, and spreads again once they are free.
void GiveUp(CEvalContext& ctx, CCellStore& cells, Anchor anchor) {
    uint8_t* r = FindCell(cells, anchor.row, anchor.column);
    if (!r || !IsSpreadArrayAnchor(r)) return;
    if (ctx.lookups.Holding()) ctx.lookups.CellsWritten(cells, SpreadArrayArea(r));
    const std::string formula(cell::Formula(r));
    Unspread(ctx, cells, r, formula, kErrFill);
    ctx.spreads.Blocked(cells, anchor.row, anchor.column);
}

// The element at (0, 0) goes into the formula record, every other one into a cell of its own;
// `next` gives the elements in storage order at places relative to the anchor, then null.
template <typename Next>
void SpreadElements(CCellStore& cells, uint16_t column, uint32_t row, FormulaHead head,
                    std::string_view formula, Next next) {
    const uint8_t* e = next();
    std::string_view firstText;
    head.flags = kCellFormula;
    head.resultFlags |= kResultNumber;
    head.cachedNumber = 0;
    if (e && cell::Row(e) == 0 && cell::Column(e) == 0) {
        head.flags = uint8_t((e[0] & 0xF0) | kCellFormula);
        if (cell::IsText(e) &&
            kFormulaHead + formula.size() + 2 + cell::Text(e).size() > kPagePayload) {
            head.flags = uint8_t(kErrValue | kCellFormula); // no room beside the formula
        } else if (cell::IsText(e)) {
            head.resultFlags = uint8_t((head.resultFlags & ~kResultNumber) | kResultText);
            firstText = cell::Text(e);
        } else {
            head.cachedNumber = cell::Number(e);
        }
        e = next();
    }
    CellBuffer record;
    MakeFormulaCell(record, column, row, head, formula, firstText);
    CellCursor cursor;
    if (!StoreRecord(cells, record, cursor)) return;
    for (; e; e = next()) {
        record.size = cell::Length(e);
        std::memcpy(record.bytes, e, record.size);
        record.bytes[0] |= kCellArrayElement;
        StoreU16(record.bytes + 1, uint16_t(column + cell::Column(e)));
        StoreU32(record.bytes + 3, row + cell::Row(e));
        if (!cells.ReserveSparePage() || !cells.PutCell(record.bytes, cursor)) {
            if (uint8_t* r = FindCell(cells, row, column)) SetFormulaError(r, kErrMemory);
            return;
        }
    }
}

void SpreadArray(CCellStore& cells, uint16_t column, uint32_t row, const FormulaHead& head,
                 std::string_view formula, Page* chain) {
    CellCursor walk;
    walk.flags = kAdvance;
    walk.page = chain;
    SpreadElements(cells, column, row, head, formula,
                   [&walk]() -> const uint8_t* { return NextCellRecord(walk); });
}

// Walks records laid one after another.
class CRecordWalk {
public:
    explicit CRecordWalk(const std::vector<uint8_t>& records) : records_(records) {}
    const uint8_t* operator()() {
        if (at_ >= records_.size()) return nullptr;
        const uint8_t* e = records_.data() + at_;
        at_ += cell::Length(e);
        return e;
    }

private:
    const std::vector<uint8_t>& records_;
    std::size_t at_ = 0;
};

// The array's result at (0, 0) and its elements, at places relative to the anchor, appended.
void CopyElements(CCellStore& cells, const uint8_t* r, uint16_t column, uint32_t row, Area a,
                  std::vector<uint8_t>& out) {
    CellBuffer b;
    const uint8_t error = r[0] & 0xF0;
    if (cell::ResultFlags(r) & kResultText) {
        MakeTextCell(b, 0, 0, cell::CachedText(r));
        b.bytes[0] = uint8_t(b.bytes[0] | error);
    } else {
        MakeNumberCell(b, 0, 0, cell::CachedNumber(r), uint8_t(error >> 4));
    }
    out.insert(out.end(), b.bytes, b.bytes + b.size);
    CellCursor cursor;
    cursor.flags = kAdvance;
    cursor.page = cells.StartPageForRow(row);
    if (!cursor.page) return;
    const CellRange area = AreaAt(column, row, a);
    while (const uint8_t* e = NextCellInRectangle(cursor, column, row, area.c2, area.r2)) {
        if (!(e[0] & kCellArrayElement)) continue;
        const std::size_t at = out.size();
        out.insert(out.end(), e, e + cell::Length(e));
        out[at] = uint8_t(out[at] & ~kCellArrayElement);
        StoreU16(out.data() + at + 1, uint16_t(cell::Column(e) - column));
        StoreU32(out.data() + at + 3, cell::Row(e) - row);
    }
}

// Keeps the elements an array shows before its first change in this recalculation.
void SaveElements(CEvalContext& ctx, CCellStore& cells, const uint8_t* r, uint16_t column,
                  uint32_t row, Area a) {
    constexpr std::size_t kRecordGuess = 16;
    if (uint64_t(a.columns) * a.rows * kRecordGuess > CSpreadLog::kSavedLimit ||
        ctx.spreads.FindSaved(&cells, row, column))
        return;
    std::vector<uint8_t> records;
    CopyElements(cells, r, column, row, a, records);
    if (SavedElements* s = ctx.spreads.SaveRoom(&cells, row, column, records.size())) {
        s->width = a.columns;
        s->height = a.rows;
        s->records = std::move(records);
    }
}

CellRange Union(const CellRange& a, const CellRange& b) {
    return {std::min(a.c1, b.c1), std::min(a.r1, b.r1), std::max(a.c2, b.c2), std::max(a.r2, b.r2)};
}

// Two element records alike but for the array flag and the place given apart.
bool SameElement(const uint8_t* stored, const uint8_t* element) {
    constexpr uint32_t kHead = 7; // flags, column, row
    const uint32_t length = cell::Length(element);
    return length == cell::Length(stored) && ((stored[0] ^ element[0]) & ~kCellArrayElement) == 0 &&
           std::memcmp(stored + kHead, element + kHead, length - kHead) == 0;
}

// Whether the area, the same as before, holds besides its anchor exactly the elements of the
// array, so that no formula that read them before this write read anything else.
bool SameElements(CCellStore& cells, uint16_t column, uint32_t row, Area oldArea, Area newArea,
                  Page* chain) {
    if (oldArea.columns != newArea.columns || oldArea.rows != newArea.rows) return false;
    const CellRange area = AreaAt(column, row, newArea);
    CellCursor stored;
    stored.flags = kAdvance;
    stored.page = cells.StartPageForRow(row);
    CellCursor walk;
    walk.flags = kAdvance;
    walk.page = chain;
    for (;;) {
        const uint8_t* s =
            stored.page ? NextCellInRectangle(stored, column, row, area.c2, area.r2) : nullptr;
        if (s && cell::Row(s) == row && cell::Column(s) == column) continue;
        const uint8_t* e = NextCellRecord(walk);
        if (e && cell::Row(e) == 0 && cell::Column(e) == 0) e = NextCellRecord(walk);
        if (!s || !e) return !s && !e;
        if (cell::Row(s) != row + cell::Row(e) || cell::Column(s) != column + cell::Column(e) ||
            !(s[0] & kCellArrayElement) || !SameElement(s, e))
            return false;
    }
}

// Whether the array's new elements are those it showed before its saved ones were put back.
bool SameAsShown(const SavedElements& s, Area newArea, Page* chain) {
    if (s.shownWidth != newArea.columns || s.shownHeight != newArea.rows) return false;
    CellCursor walk;
    walk.flags = kAdvance;
    walk.page = chain;
    CRecordWalk shown(s.shown);
    for (;;) {
        const uint8_t* e = NextCellRecord(walk);
        const uint8_t* was = shown();
        if (!e || !was) return !e && !was;
        if (cell::Row(e) != cell::Row(was) || cell::Column(e) != cell::Column(was) ||
            !SameElement(was, e))
            return false;
    }
}

// `back`: the elements it showed before this recalculation are back for this turn.
void WriteArray(CEvalContext& ctx, CCellStore& cells, uint8_t* r, std::string_view formula,
                const FormulaToken& value, SavedElements* back) {
    if (value.error) {
        SetFormulaError(r, value.error);
        return;
    }
    uint16_t column = cell::Column(r);
    uint32_t row = cell::Row(r);
    Area newArea{uint16_t(value.lastColumn + 1), value.lastRow + 1};
    if (uint32_t(column) + newArea.columns > kMaxColumns ||
        uint64_t(row) + newArea.rows > kMaxRows) {
        Unspread(ctx, cells, r, formula, kErrRef);
        return;
    }
    Area oldArea = OldArea(r);
    std::vector<Anchor> later;
    if (!AreaIsFree(cells, column, row, newArea, oldArea, &later)) {
        Unspread(ctx, cells, r, formula, kErrFill);
        ctx.spreads.Blocked(cells, row, column);
        return;
    }
    if (!later.empty()) {
        for (const Anchor& a : later) GiveUp(ctx, cells, a);
        // Their records were stored again, which may have moved this one.
        r = FindCell(cells, row, column);
        if (!r) return;
    }
    FormulaHead head = ReadFormulaHead(r);
    head.arrayWidth = newArea.columns;
    head.arrayHeight = newArea.rows;
    head.resultFlags =
        uint8_t((head.resultFlags & (kResultCalculated | kResultWaiting)) | kResultArray);
    Page* chain = ctx.scratch.PopPointer();
    const bool wasArray = cell::ResultFlags(r) & kResultArray;
    // With elements put back for this turn, a change is one from what it showed before.
    const bool same = back ? SameAsShown(*back, newArea, chain)
                           : wasArray && SameElements(cells, column, row, oldArea, newArea, chain);
    if (ctx.spreads.Active() && !same) {
        // An array spreading for the first time keeps what its cell showed too: whether it
        // reads its new elements is known only now, and a second turn must not read them.
        if (!back && (!wasArray || ctx.spreads.ReadOwn()))
            SaveElements(ctx, cells, r, column, row, oldArea);
        CellRange changed = Union(AreaAt(column, row, oldArea), AreaAt(column, row, newArea));
        if (back)
            changed = Union(changed, AreaAt(column, row, {back->shownWidth, back->shownHeight}));
        NoteSpread(ctx, cells, column, row, changed);
    }
    if (back) ctx.spreads.Restored(*back, false);
    ClearArrayElements(cells, AreaAt(column, row, oldArea), false);
    ClearAreaButAnchor(cells, column, row, newArea);
    SpreadArray(cells, column, row, head, formula, chain);
    if (chain) ctx.scratch.cells.FreePageChain(chain);
}

// The cells a result may write: the formula's cell and the larger of its old and new areas.
CellRange WrittenArea(const uint8_t* r, uint16_t column, uint32_t row, uint16_t kind,
                      const FormulaToken& value) {
    Area a = OldArea(r);
    if (kind == kTokenArray) {
        a.columns = uint16_t(std::max<uint32_t>(a.columns, value.lastColumn + 1u));
        a.rows = std::max<uint32_t>(a.rows, value.lastRow + 1u);
    }
    return AreaAt(column, row, a);
}

} // namespace

void WriteFormulaResult(CEvalContext& ctx, CCellStore& cells, uint32_t row, uint16_t column,
                        std::string_view formula, uint16_t kind) {
    uint8_t* r = FindCell(cells, row, column);
    if (!r || !cell::IsFormula(r)) return;
    // The rounds after the walk tell a result evaluated before a change from one after it.
    NoteEvaluation(ctx, &cells, row, column, kMarkCalculated);
    r[14] |= kResultCalculated;
    FormulaToken& value = ctx.values[1];
    if (ctx.lookups.Holding())
        ctx.lookups.CellsWritten(cells, WrittenArea(r, column, row, kind, value));
    SavedElements* back =
        ctx.spreads.AnyRestored() ? ctx.spreads.FindSaved(&cells, row, column) : nullptr;
    if (back && !back->restored) back = nullptr;
    std::string_view text;
    FormulaError error = value.error;
    if (kind == kTokenText) {
        text = ctx.stringPool.PopTempString();
        // A text that the record cannot hold beside its formula is no result the cell keeps.
        if (kFormulaHead + formula.size() + 2 + text.size() > kPagePayload) {
            kind = kTokenEmpty;
            error = MergeError(error, kErrValue);
        }
    }
    switch (kind) {
    case kTokenNumber:
    case kTokenEmpty:
        WriteNumber(ctx, cells, r, formula, value.type == kTokenNumber ? value.number : 0, error);
        break;
    case kTokenText:
        WriteText(ctx, cells, r, formula, text, error);
        break;
    case kTokenArray:
        WriteArray(ctx, cells, r, formula, value, back);
        break;
    default:
        SetFormulaError(r, kErrSyntax);
        break;
    }
    // Elements put back for a turn that ended otherwise than in new elements: what the array
    // showed before changes too.
    if (back && back->restored) {
        const uint8_t* w = FindCell(cells, row, column);
        const CellRange now =
            w ? AreaAt(column, row, OldArea(w)) : CellRange{column, row, column, row};
        NoteSpread(ctx, cells, column, row,
                   Union(now, AreaAt(column, row, {back->shownWidth, back->shownHeight})));
        ctx.spreads.Restored(*back, false);
    }
}

bool RestoreSavedElements(CEvalContext& ctx, CCellStore& cells, uint32_t row, uint16_t column) {
    SavedElements* saved = ctx.spreads.FindSaved(&cells, row, column);
    const uint8_t* r = FindCell(cells, row, column);
    if (!saved || saved->restored || !r || !cell::IsFormula(r) ||
        !(cell::ResultFlags(r) & kResultArray))
        return false;
    const Area now = OldArea(r);
    const Area before{saved->width, saved->height};
    if (!AreaIsFree(cells, column, row, before, now, nullptr)) return false;
    std::vector<uint8_t> shown;
    CopyElements(cells, r, column, row, now, shown);
    FormulaHead head = ReadFormulaHead(r);
    head.arrayWidth = before.columns;
    head.arrayHeight = before.rows;
    head.resultFlags =
        uint8_t((head.resultFlags & (kResultCalculated | kResultWaiting)) | kResultArray);
    const std::string formula(cell::Formula(r));
    const CellRange both = Union(AreaAt(column, row, now), AreaAt(column, row, before));
    if (ctx.lookups.Holding()) ctx.lookups.CellsWritten(cells, both);
    ClearArrayElements(cells, AreaAt(column, row, now), false);
    ClearAreaButAnchor(cells, column, row, before);
    SpreadElements(cells, column, row, head, formula, CRecordWalk(saved->records));
    saved->shown = std::move(shown);
    saved->shownWidth = now.columns;
    saved->shownHeight = now.rows;
    ctx.spreads.Restored(*saved, true);
    return true;
}

} // namespace vl
