#include "model/cellmerge.h"
#include "model/memoryguard.h"
#include "model/undosnapshot.h"
#include "model/workbook.h"

#include <algorithm>
#include <vector>

namespace vl {

namespace {

const UndoEntry* EntryAt(const UndoHistory& history, int32_t index) {
    return index >= 0 && index < kUndoSlots ? &history.entries[index] : nullptr;
}

// One kept cell of a buffer, read within its bounds.
struct KeptCell {
    uint16_t column;
    uint32_t row;
    uint8_t kind;
    double number;
    uint16_t arrayWidth; // formulas
    uint32_t arrayHeight;
    std::string_view text;
};

// The kept cells of an entry that holds a cell buffer, or false when the entry holds
// something else (a name, a worksheet) or a buffer whose counts overrun it.
bool ReadKeptCells(const UndoEntry& e, CellRange* kept, std::vector<KeptCell>* cells) {
    if (e.kind != kUndoCells || !(e.holds & kHoldsKeptCells) || !e.cellBuffer) return false;
    if (e.operation != kOpNone && e.operation != kOpCells) return false;
    const uint8_t* p = e.cellBuffer.get();
    const uint8_t* end = p + e.cellBufferSize;
    if (e.cellBufferSize < kKeptCellsHead) return false;
    *kept = {LoadU16(p), LoadU32(p + 2), LoadU16(p + 6), LoadU32(p + 8)};
    const uint32_t count = LoadU32(p + 12);
    p += kKeptCellsHead;
    for (uint32_t i = 0; i < count; ++i) {
        if (uint64_t(end - p) < kKeptCellHead) return false;
        const uint16_t length = LoadU16(p + 15);
        if (uint64_t(end - p) < uint64_t(kKeptCellHead) + length + 1) return false;
        cells->push_back({LoadU16(p),
                          LoadU32(p + 2),
                          p[6],
                          LoadF64(p + 7),
                          LoadU16(p + 7),
                          LoadU32(p + 9),
                          {reinterpret_cast<const char*>(p + kKeptCellHead), length}});
        p += kKeptCellHead + length + 1;
    }
    return true;
}

// The record a kept cell becomes at (c, r): a formula without a result, to be recalculated;
// an array's element stays one.
bool MakeKeptRecord(CellBuffer& b, const KeptCell& k, uint16_t c, uint32_t r) {
    if (k.kind == kCellFormula) {
        FormulaHead head;
        head.arrayWidth = k.arrayWidth;
        head.arrayHeight = k.arrayHeight;
        head.resultFlags = 0;
        return MakeFormulaCell(b, c, r, head, k.text);
    }
    const uint8_t kind = k.kind & ~kCellArrayElement;
    const bool made =
        kind == kCellText
            ? MakeTextCell(b, c, r, k.text)
            : MakeNumberCell(b, c, r, kind == kCellNumber ? k.number : 0.0, kind >> 4);
    if (made) b.bytes[0] |= k.kind & kCellArrayElement;
    return made;
}

bool RestoreCellUnguarded(CWorkbook& workbook, CWorksheet& ws, uint16_t column, uint32_t row,
                          const UndoHistory& history, int32_t index) {
    const UndoEntry* e = EntryAt(history, index);
    CellRange kept;
    std::vector<KeptCell> keptCells;
    if (!e || !ReadKeptCells(*e, &kept, &keptCells)) return Fail(workbook, kErrorInvalidCacheIndex);
    const int64_t dc = int64_t(column) - kept.c1, dr = int64_t(row) - kept.r1;
    const CellRange target{column, row, uint16_t(std::min<int64_t>(kept.c2 + dc, kLastColumn)),
                           uint32_t(std::min<int64_t>(kept.r2 + dr, kLastRow))};
    // Build the records first; pointers into the staging bytes are taken once it is complete.
    std::vector<uint8_t> staging;
    std::vector<PlacedCell> cells;
    for (const KeptCell& k : keptCells) {
        const int64_t c = k.column + dc, r = k.row + dr;
        CellBuffer b;
        if (c > kLastColumn || r > kLastRow || !MakeKeptRecord(b, k, uint16_t(c), uint32_t(r)))
            continue;
        cells.push_back({nullptr, b.size, uint16_t(c), uint32_t(r)});
        staging.insert(staging.end(), b.bytes, b.bytes + b.size);
    }
    // A buffer is written in (row, column) order; one that is not was not made here.
    for (size_t i = 1; i < cells.size(); ++i)
        if (!cell::Before(cells[i - 1].row, cells[i - 1].column, cells[i].row, cells[i].column))
            return Fail(workbook, kErrorInvalidCacheIndex);
    size_t offset = 0;
    for (PlacedCell& c : cells) c.record = staging.data() + offset, offset += c.size;
    const std::vector<CellRange> clear = CollectClearSet(ws.cells, target);
    uint32_t top, bottom;
    ClearSetRows(clear, &top, &bottom);
    CListFeed feed(cells);
    if (!RebuildCells(ws.cells, top, bottom, clear, feed))
        return Fail(workbook, kErrorWorksheetMemory);
    return true;
}

// The column entries of columns c1..c2 kept by a width entry, their styles brought into the
// workbook's tables; false (tables as they were) when they would overflow.
bool PrepareColumns(CWorkbook& workbook, const CWorksheet& scratch, const KeptStyles& kept,
                    const CellRange& rect, std::vector<ColumnEntry>& out) {
    const StyleView view = kept.View();
    for (uint32_t c = rect.c1; c <= rect.c2 && c < kMaxColumns; ++c) {
        ColumnEntry entry = scratch.formats.columns[c];
        uint16_t style = entry.style & kStyleIndexMask;
        if (style != 0 && !ImportStyle(workbook.styles, view, style, &style)) return false;
        entry.style = uint16_t((entry.style & ~kStyleIndexMask) | style);
        out.push_back(entry);
    }
    return true;
}

// The heights of rows r1..r2 kept by a height entry, as far as either list reaches; the
// target list is grown first (its new entries are default heights).
bool PrepareHeights(CWorksheet& ws, CWorksheet& scratch, const CellRange& rect,
                    std::vector<std::pair<uint32_t, uint16_t>>& out) {
    CPagedList& kept = scratch.formats.rowHeights;
    const uint32_t end = std::max(kept.ItemCount(), ws.formats.rowHeights.ItemCount());
    for (uint32_t r = rect.r1; r <= rect.r2 && r < end; ++r) {
        const uint16_t* h = r < kept.ItemCount() ? kept.GetItem2(r) : nullptr;
        out.emplace_back(r, h ? *h : uint16_t(0));
    }
    return out.empty() || ws.formats.rowHeights.GrowTo2(out.back().first + 1, 0, true);
}

bool RestoreRangeUnguarded(CWorkbook& workbook, CWorksheet& ws, UndoHistory& history, int32_t index,
                           bool cells, bool formats) {
    const UndoEntry* e = EntryAt(history, index);
    CWorksheet* scratch = e ? e->Scratch() : nullptr;
    if (!scratch || e->kind < kUndoRangeCells || e->kind > kUndoRangeBoth)
        return Fail(workbook, kErrorInvalidCacheIndex);
    const CellRange rect = e->blockDescriptor.Range();
    // Styles appended on the way are dropped again by the caller when this fails.
    std::vector<ColumnEntry> columns;
    std::vector<std::pair<uint32_t, uint16_t>> heights;
    if ((e->holds & kHoldsColumns) &&
        (!e->keptStyles || !PrepareColumns(workbook, *scratch, *e->keptStyles, rect, columns)))
        return Fail(workbook, e->keptStyles ? kErrorTooManyStyles : kErrorInvalidCacheIndex);
    if ((e->holds & kHoldsRowHeights) && !PrepareHeights(ws, *scratch, rect, heights))
        return Fail(workbook, kErrorWorksheetMemory);
    BlockCopyParts parts;
    parts.cells = cells && (e->holds & kHoldsCells);
    const StyleView kept = e->keptStyles ? e->keptStyles->View() : ViewOf(workbook.styles);
    if (formats && (e->holds & kHoldsFormats) && e->keptStyles) parts.formats = &kept;
    if ((parts.cells || parts.formats) &&
        !CopyBlockParts(workbook, ws, rect, *scratch, rect.c1, rect.r1, parts))
        return false;
    for (size_t i = 0; i < columns.size(); ++i) ws.formats.columns[rect.c1 + i] = columns[i];
    for (const auto& [row, height] : heights) *ws.formats.rowHeights.GetItem2(row) = height;
    return true;
}

bool PasteUnguarded(CWorkbook& workbook, CWorksheet& ws, const CellRange& target,
                    UndoHistory& history, int32_t index, bool cells, bool formats) {
    const UndoEntry* e = EntryAt(history, index);
    CWorksheet* scratch = e ? e->Scratch() : nullptr;
    if (!scratch || e->kind < kUndoRangeCells || e->kind > kUndoRangeBoth ||
        !(e->holds & (kHoldsCells | kHoldsFormats)))
        return Fail(workbook, kErrorInvalidCacheIndex);
    const CellRange kept = e->blockDescriptor.Range();
    CellRange t = target;
    if (t.c1 == t.c2 && t.r1 == t.r2) {
        t.c2 = uint16_t(std::min<int64_t>(int64_t(t.c1) + (kept.c2 - kept.c1), kLastColumn));
        t.r2 = uint32_t(std::min<int64_t>(int64_t(t.r1) + (kept.r2 - kept.r1), kLastRow));
    }
    // Only the kept block is pasted, however large the target.
    t.c2 = uint16_t(std::min<int64_t>(t.c2, int64_t(t.c1) + (kept.c2 - kept.c1)));
    t.r2 = uint32_t(std::min<int64_t>(t.r2, int64_t(t.r1) + (kept.r2 - kept.r1)));
    BlockCopyParts parts;
    parts.cells = cells && (e->holds & kHoldsCells);
    const StyleView keptStyles = e->keptStyles ? e->keptStyles->View() : ViewOf(workbook.styles);
    if (formats && (e->holds & kHoldsFormats) && e->keptStyles) parts.formats = &keptStyles;
    if (!parts.cells && !parts.formats) return true;
    return CopyBlockParts(workbook, ws, t, *scratch, kept.c1, kept.r1, parts);
}

} // namespace

bool RestoreCellFromUndo(CWorkbook& workbook, CWorksheet& ws, uint16_t column, uint32_t row,
                         UndoHistory& history, int32_t index) {
    return GuardWorksheetMemory(
        workbook, [&] { return RestoreCellUnguarded(workbook, ws, column, row, history, index); });
}

bool RestoreRangeFromUndo(CWorkbook& workbook, CWorksheet& ws, UndoHistory& history, int32_t index,
                          bool cells, bool formats) {
    const uint16_t styleCount = workbook.styles.styleCount;
    const uint8_t fontCount = workbook.styles.fontCount;
    const bool done = GuardWorksheetMemory(workbook, [&] {
        return RestoreRangeUnguarded(workbook, ws, history, index, cells, formats);
    });
    if (!done) {
        workbook.styles.styleCount = styleCount;
        workbook.styles.fontCount = fontCount;
    }
    return done;
}

bool PasteRangeFromEntry(CWorkbook& workbook, CWorksheet& ws, const CellRange& target,
                         UndoHistory& history, int32_t index, bool cells, bool formats) {
    return GuardWorksheetMemory(workbook, [&] {
        return PasteUnguarded(workbook, ws, target, history, index, cells, formats);
    });
}

} // namespace vl
