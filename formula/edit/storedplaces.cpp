#include "formula/edit/storedplaces.h"

#include "model/container.h"
#include "model/inspectedcell.h"
#include "model/workbook.h"
#include "model/worksheettree.h"
#include "platform/core/cp1252.h"

#include <algorithm>
#include <cstring>

namespace vl {

namespace {

// The edit along one dimension, as the formulas' rules see it.
struct Span {
    bool rows, inserted;
    int64_t first, last, count, limit;
};

Span MakeSpan(uint8_t mode, const RangeDescriptor& range) {
    const bool rows = mode == kAdjustRowsInserted || mode == kAdjustRowsRemoved;
    const int64_t first = rows ? range.r1 : range.c1, last = rows ? range.r2 : range.c2;
    return {rows,
            mode == kAdjustRowsInserted || mode == kAdjustColumnsInserted,
            first,
            last,
            last - first + 1,
            rows ? int64_t(kMaxRows) : int64_t(kMaxColumns)};
}

// Where position x stands after the edit; `gone` when it was removed (it then stands where
// the removed ones were).
int64_t Follow(const Span& s, int64_t x, bool& gone) {
    gone = false;
    if (x < s.first) return x;
    if (s.inserted) return std::min(x + s.count, s.limit - 1);
    if (x <= s.last) return gone = true, s.first;
    return x - s.count;
}

char* SeriesText(CWorksheet& ws, uint32_t place) {
    CContainer* c = FindContainer(ws, uint16_t(place >> 16));
    const uint32_t slot = (place >> 8) & 0xFF, series = place & 0xFF;
    if (!c || slot >= kMaxContainerObjects || series >= kChartSeries || !c->slots[slot].chart)
        return nullptr;
    return c->slots[slot].chart->series[series].settings.dataArray;
}

std::string AnchorText(const CellRef& anchor) {
    uint8_t bytes[kCellRefSize];
    WriteCellRef(bytes, anchor);
    return std::string(reinterpret_cast<const char*>(bytes), kCellRefSize);
}

std::string PrintText(uint8_t kind, const RangeDescriptor& range) {
    uint8_t bytes[1 + kRangeDescriptorSize];
    bytes[0] = kind;
    WriteRangeDescriptor(bytes + 1, range);
    return std::string(reinterpret_cast<const char*>(bytes), sizeof bytes);
}

std::string InspectText(const InspectedCellRecord& r) {
    uint8_t bytes[kInspectedCellRecordSize];
    WriteInspectedCellRecord(bytes, r);
    return std::string(reinterpret_cast<const char*>(bytes), kInspectedCellRecordSize);
}

// The waiting Cut's place: a byte 1 while it waits, 0 once an edit ended it, then the range.
std::string CutPlaceText(bool waiting, const CellRange& r) {
    uint8_t bytes[1 + kRangeDescriptorSize];
    bytes[0] = waiting ? 1 : 0;
    RangeDescriptor range;
    MakeRangeDescriptor(r, &range);
    WriteRangeDescriptor(bytes + 1, range);
    return std::string(reinterpret_cast<const char*>(bytes), sizeof bytes);
}

bool SameRange(const CellRange& a, const CellRange& b) {
    return a.c1 == b.c1 && a.r1 == b.r1 && a.c2 == b.c2 && a.r2 == b.r2;
}

// Where the waiting Cut's cells stand after the edit along one dimension: they move whole,
// or the Cut ends (false) when the edit removes any of them, inserts between them or pushes
// them off the sheet, as its block could no longer move whole.
bool FollowCut(const Span& s, int64_t& lo, int64_t& hi) {
    if (hi < s.first) return true;
    if (s.inserted) {
        if (lo < s.first || hi + s.count > s.limit - 1) return false;
        lo += s.count, hi += s.count;
        return true;
    }
    if (lo <= s.last) return false;
    lo -= s.count, hi -= s.count;
    return true;
}

CPagedList& InspectList(const CWorkbook& workbook) {
    // Reading an item needs the list's page index, which reading leaves as it was.
    return const_cast<CPagedList&>(workbook.inspectedCells);
}

SheetTexts& SheetPlan(FormulaPlan& plan, CWorksheet& ws) {
    for (SheetTexts& s : plan)
        if (s.sheet == &ws) return s;
    plan.push_back({&ws, {}});
    return plan.back();
}

bool SamePath(const char* a, std::string_view b, size_t n) {
    for (size_t i = 0; i < n; ++i)
        if (CharUpper1252(a[i]) != CharUpper1252(b[i])) return false;
    return true;
}

// Calls visit(index, record) for each inspect entry that names `ws`.
template <class Visit>
void ForEachInspectedOn(const CWorkbook& workbook, const CWorksheet& ws, Visit&& visit) {
    std::string path;
    BuildTreeItemPath(&ws, path, false);
    CPagedList& list = InspectList(workbook);
    for (uint32_t i = 0; i < list.ItemCount(); ++i) {
        InspectedCellRecord r;
        if (GetInspectedCell(list, i, r) && std::strlen(r.worksheet) == path.size() &&
            SamePath(r.worksheet, path, path.size()))
            visit(i, r);
    }
}

} // namespace

bool ReadStoredPlace(CWorkbook& workbook, CWorksheet& ws, const FormulaText& t, std::string& out) {
    switch (t.column) {
    case kSeriesColumn:
        if (const char* text = SeriesText(ws, t.row)) return out = text, true;
        return false;
    case kAnchorColumn:
        if (const CContainer* c = FindContainer(ws, uint16_t(t.row)))
            return out = AnchorText(c->settings.anchor), true;
        return false;
    case kPrintRangeColumn:
        return out = PrintText(ws.pageSetup.printRangeKind, ws.pageSetup.printRange), true;
    case kInspectColumn: {
        InspectedCellRecord r;
        if (!GetInspectedCell(workbook.inspectedCells, t.row, r)) return false;
        return out = InspectText(r), true;
    }
    case kCutPlaceColumn:
        if (workbook.cutPlace.sheet != &ws) return false;
        return out = CutPlaceText(workbook.cutPlace.waiting, workbook.cutPlace.range), true;
    default:
        return false;
    }
}

void WriteStoredPlace(CWorkbook& workbook, CWorksheet& ws, const FormulaText& t) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(t.text.data());
    switch (t.column) {
    case kSeriesColumn:
        if (char* text = SeriesText(ws, t.row); text && t.text.size() < kDataArraySize)
            std::memcpy(text, t.text.c_str(), t.text.size() + 1);
        break;
    case kAnchorColumn:
        if (CContainer* c = FindContainer(ws, uint16_t(t.row)); c && t.text.size() == kCellRefSize)
            ReadCellRef(bytes, c->settings.anchor);
        break;
    case kPrintRangeColumn:
        if (t.text.size() == 1 + kRangeDescriptorSize) {
            ws.pageSetup.printRangeKind = bytes[0];
            ReadRangeDescriptor(bytes + 1, ws.pageSetup.printRange);
        }
        break;
    case kInspectColumn:
        if (void* item = workbook.inspectedCells.GetItem(t.row, kInspectedCellRecordSize);
            item && t.text.size() == kInspectedCellRecordSize) {
            InspectedCellRecord r;
            ReadInspectedCellRecord(bytes, r);
            WriteInspectedCellRecord(static_cast<uint8_t*>(item), r);
        }
        break;
    case kCutPlaceColumn:
        if (workbook.cutPlace.sheet == &ws && t.text.size() == 1 + kRangeDescriptorSize) {
            RangeDescriptor range;
            ReadRangeDescriptor(bytes + 1, range);
            workbook.cutPlace.waiting = bytes[0] != 0;
            workbook.cutPlace.range = range.Range();
        }
        break;
    default:
        break;
    }
}

void PlanStoredPlacesAfterEdit(const CWorkbook& workbook, CWorksheet& edited, uint8_t mode,
                               const RangeDescriptor& range, FormulaPlan& plan) {
    const Span s = MakeSpan(mode, range);
    std::vector<FormulaText> texts;
    bool gone = false;
    for (const CContainer* c = edited.firstContainer; c; c = c->next) {
        CellRef anchor = c->settings.anchor;
        if (s.rows)
            anchor.row = uint32_t(Follow(s, anchor.row, gone));
        else
            anchor.column = uint16_t(Follow(s, anchor.column, gone));
        if (anchor.row != c->settings.anchor.row || anchor.column != c->settings.anchor.column)
            texts.push_back({kAnchorColumn, c->settings.id, AnchorText(anchor)});
    }
    const PageSetupRecord& page = edited.pageSetup;
    if (page.printRangeKind == kPrintCellRange || page.printRangeKind == kPrintSelection) {
        CellRange r = page.printRange.Range();
        const int64_t lo = s.rows ? r.r1 : r.c1, hi = s.rows ? r.r2 : r.c2;
        bool loGone = false, hiGone = false;
        int64_t newLo = Follow(s, lo, loGone), newHi = Follow(s, hi, hiGone);
        if (hiGone) newHi = s.first - 1;
        if (hi == s.limit - 1) newHi = hi; // a range to the end keeps reaching it
        uint8_t kind = page.printRangeKind;
        if (loGone && hiGone) kind = kPrintAll, newLo = lo, newHi = hi;
        if (s.rows)
            r.r1 = uint32_t(newLo), r.r2 = uint32_t(newHi);
        else
            r.c1 = uint16_t(newLo), r.c2 = uint16_t(newHi);
        RangeDescriptor moved;
        MakeRangeDescriptor(r, &moved);
        if (kind != page.printRangeKind || r.r1 != page.printRange.r1 ||
            r.r2 != page.printRange.r2 || r.c1 != page.printRange.c1 || r.c2 != page.printRange.c2)
            texts.push_back({kPrintRangeColumn, 0, PrintText(kind, moved)});
    }
    ForEachInspectedOn(workbook, edited, [&](uint32_t i, InspectedCellRecord& r) {
        CellRef cell = r.cell;
        if (s.rows)
            cell.row = uint32_t(Follow(s, cell.row, gone));
        else
            cell.column = uint16_t(Follow(s, cell.column, gone));
        if (gone) r.worksheet[0] = 0; // its cell went: the entry names nothing
        if (!gone && cell.row == r.cell.row && cell.column == r.cell.column) return;
        if (!gone) r.cell = cell;
        texts.push_back({kInspectColumn, i, InspectText(r)});
    });
    if (const auto& cut = workbook.cutPlace; cut.sheet == &edited && cut.waiting) {
        CellRange r = cut.range;
        int64_t lo = s.rows ? r.r1 : r.c1, hi = s.rows ? r.r2 : r.c2;
        const bool follows = FollowCut(s, lo, hi);
        if (follows && s.rows)
            r.r1 = uint32_t(lo), r.r2 = uint32_t(hi);
        else if (follows)
            r.c1 = uint16_t(lo), r.c2 = uint16_t(hi);
        if (!follows || !SameRange(r, cut.range))
            texts.push_back({kCutPlaceColumn, 0, CutPlaceText(follows, r)});
    }
    if (texts.empty()) return;
    std::vector<FormulaText>& into = SheetPlan(plan, edited).texts;
    into.insert(into.end(), texts.begin(), texts.end());
}

void PlanStoredPlacesAfterMove(const CWorkbook& workbook, CWorksheet& edited, const BlockMove& move,
                               FormulaPlan& plan) {
    const CellRange& source = move.source;
    const auto within = [&](uint16_t c, uint32_t r) {
        return c >= source.c1 && c <= source.c2 && r >= source.r1 && r <= source.r2;
    };
    const auto shifted = [&](CellRef cell) {
        int64_t column = cell.column, row = cell.row;
        MovedCell(move, column, row);
        cell.column = uint16_t(column);
        cell.row = uint32_t(row);
        return cell;
    };
    std::vector<FormulaText> texts;
    // A container stays on its worksheet.
    for (const CContainer* c = edited.firstContainer; c && !move.into; c = c->next)
        if (within(c->settings.anchor.column, c->settings.anchor.row))
            texts.push_back(
                {kAnchorColumn, c->settings.id, AnchorText(shifted(c->settings.anchor))});
    const PageSetupRecord& page = edited.pageSetup;
    const CellRange printed = page.printRange.Range();
    // Another worksheet keeps a print range of its own; one that printed everything takes the
    // moved one. A print range that cannot go stays on its cells' old place.
    const bool takes = !move.into || move.into->pageSetup.printRangeKind == kPrintAll;
    if ((page.printRangeKind == kPrintCellRange || page.printRangeKind == kPrintSelection) &&
        takes && within(printed.c1, printed.r1) && within(printed.c2, printed.r2)) {
        const CellRef first = shifted({printed.c1, printed.r1, 0});
        const CellRef last = shifted({printed.c2, printed.r2, 0});
        RangeDescriptor moved;
        MakeRangeDescriptor({first.column, first.row, last.column, last.row}, &moved);
        const FormulaText print{kPrintRangeColumn, 0, PrintText(page.printRangeKind, moved)};
        if (!move.into) {
            texts.push_back(print);
        } else {
            // The print range goes with its cells; what it leaves prints everything.
            texts.push_back({kPrintRangeColumn, 0, PrintText(kPrintAll, page.printRange)});
            SheetPlan(plan, *move.into).texts.push_back(print);
        }
    }
    std::string intoPath;
    if (move.into && !BuildTreeItemPath(move.into, intoPath, false)) intoPath.clear();
    ForEachInspectedOn(workbook, edited, [&](uint32_t i, InspectedCellRecord& r) {
        if (!within(r.cell.column, r.cell.row)) return;
        if (move.into && intoPath.size() >= sizeof r.worksheet) return;
        r.cell = shifted(r.cell);
        if (move.into) std::memcpy(r.worksheet, intoPath.c_str(), intoPath.size() + 1);
        texts.push_back({kInspectColumn, i, InspectText(r)});
    });
    // The waiting Cut's cells go with a block that holds them all (its own Paste ends it);
    // a block that holds part of them, or turns more than one, ends it.
    if (const auto& cut = workbook.cutPlace; cut.sheet == &edited && cut.waiting && !move.pasted) {
        const CellRange& r = cut.range;
        const bool all = within(r.c1, r.r1) && within(r.c2, r.r2);
        const bool some =
            r.c1 <= source.c2 && r.c2 >= source.c1 && r.r1 <= source.r2 && r.r2 >= source.r1;
        const bool turned = move.turn && (r.c1 != r.c2 || r.r1 != r.r2);
        if (all && !turned && !move.into) {
            const CellRef first = shifted({r.c1, r.r1, 0}), last = shifted({r.c2, r.r2, 0});
            texts.push_back({kCutPlaceColumn, 0,
                             CutPlaceText(true, {first.column, first.row, last.column, last.row})});
        } else if (some) {
            texts.push_back({kCutPlaceColumn, 0, CutPlaceText(false, r)});
        }
    }
    if (texts.empty()) return;
    std::vector<FormulaText>& into = SheetPlan(plan, edited).texts;
    into.insert(into.end(), texts.begin(), texts.end());
}

void PlanInspectPaths(const CWorkbook& workbook, const CTreeItem& item, std::string_view newPath,
                      FormulaPlan& plan) {
    std::string old;
    if (!BuildTreeItemPath(&item, old, false)) return;
    CTreeItem* end = SubtreeEnd(const_cast<CTreeItem*>(&item));
    CWorksheet* outside = nullptr;
    bool inside = false;
    for (CTreeItem* p = workbook.tree.first; p; p = p->next) {
        if (p == &item) inside = true;
        if (!inside && (outside = AsWorksheet(p))) break;
        if (p == end) inside = false;
    }
    if (!outside) return;
    std::vector<FormulaText> texts;
    CPagedList& list = InspectList(workbook);
    for (uint32_t i = 0; i < list.ItemCount(); ++i) {
        InspectedCellRecord r;
        if (!GetInspectedCell(list, i, r)) continue;
        const size_t length = std::strlen(r.worksheet);
        if (length < old.size() || !SamePath(r.worksheet, old, old.size()) ||
            (length > old.size() && r.worksheet[old.size()] != '\\'))
            continue;
        const std::string path = std::string(newPath) + (r.worksheet + old.size());
        if (path.size() >= size_t(kInspectedPathSize)) continue;
        std::memset(r.worksheet, 0, sizeof r.worksheet);
        std::memcpy(r.worksheet, path.data(), path.size());
        texts.push_back({kInspectColumn, i, InspectText(r)});
    }
    if (texts.empty()) return;
    std::vector<FormulaText>& into = SheetPlan(plan, *outside).texts;
    into.insert(into.end(), texts.begin(), texts.end());
}

} // namespace vl
