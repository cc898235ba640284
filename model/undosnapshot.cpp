#include "model/undosnapshot.h"

#include "model/cellmerge.h"
#include "model/memoryguard.h"
#include "model/rangeops.h"
#include "model/workbook.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <string>

namespace vl {

namespace {

bool Fail(CWorkbook& workbook, UndoEntry& e, ErrorCode code) {
    e = UndoEntry{};
    workbook.error = code;
    return false;
}

// The entry of a slot; null with error 12 for an index outside the history.
UndoEntry* SlotOf(CWorkbook& workbook, UndoHistory& history, int32_t slot) {
    if (slot >= 0 && slot < kUndoSlots) return &history.entries[slot];
    workbook.error = kErrorInvalidCacheIndex;
    return nullptr;
}

// The place every snapshot notes: the worksheet's path and its position in the tree.
void NoteWorksheet(CWorkbook& workbook, const CTreeItem& item, UndoEntry& e) {
    std::string path;
    BuildTreeItemPath(&item, path, false);
    CopyTextField(e.worksheetPath, path.c_str(), kUndoPathSize);
    e.treePosition = GetTreeItemIndex(&item, workbook.tree.first);
}

// What a kept cell keeps: its kind byte and text.
uint8_t KeptKind(const uint8_t* r, std::string_view* text) {
    *text = {};
    if (cell::IsFormula(r)) return *text = cell::Formula(r), kCellFormula;
    if (cell::Error(r))
        return uint8_t((cell::Flags(r) & ~(kCellText | kCellFormula | kCellArrayElement)) |
                       kCellNumber);
    if (cell::IsNumber(r)) return kCellNumber;
    return *text = cell::Text(r), kCellText;
}

// Styles of the workbook renumbered into an entry's own small table.
class CStyleKeeper {
public:
    CStyleKeeper(const StyleTables& tables, KeptStyles& kept) : tables_(tables), kept_(kept) {
        kept_.styles.clear();
        kept_.fonts.clear();
        Keep(0);
    }
    uint16_t Keep(uint16_t style) {
        if (style >= tables_.styleCount) style = 0;
        const auto found = styles_.find(style);
        if (found != styles_.end()) return found->second;
        StyleRecord record = tables_.styles[style];
        record.fontRef.fontIndex = KeepFont(record.fontRef.fontIndex);
        const uint16_t local = uint16_t(kept_.styles.size());
        kept_.styles.push_back(record);
        styles_[style] = local;
        return local;
    }

private:
    uint8_t KeepFont(uint8_t font) {
        if (font >= tables_.fontCount) font = 0;
        const auto found = fonts_.find(font);
        if (found != fonts_.end()) return found->second;
        const uint8_t local = uint8_t(kept_.fonts.size());
        kept_.fonts.push_back(tables_.fonts[font]);
        fonts_[font] = local;
        return local;
    }

    const StyleTables& tables_;
    KeptStyles& kept_;
    std::map<uint16_t, uint16_t> styles_;
    std::map<uint8_t, uint8_t> fonts_;
};

uint16_t KeepColumnStyle(CStyleKeeper& keeper, uint16_t word) {
    return uint16_t((word & ~kStyleIndexMask) | keeper.Keep(word & kStyleIndexMask));
}

std::unique_ptr<CWorksheet> NewScratch(const CWorksheet& ws) {
    return NewBlockObject<CWorksheet>(ws.name, 1);
}

} // namespace

static bool SnapshotCellsToUndoUnguarded(CWorkbook& workbook, CWorksheet& ws, const CellRange& rect,
                                         int32_t slot) {
    UndoEntry* slotEntry = SlotOf(workbook, workbook.undo, slot);
    if (!slotEntry) return false;
    UndoEntry& e = *slotEntry;
    e = UndoEntry{};
    uint32_t size = kKeptCellsHead, count = 0;
    std::string_view text;
    CellCursor cursor{kAdvance, ws.cells.FirstPage(), 0};
    while (const uint8_t* r = GetNextCellInRange(cursor, rect)) {
        KeptKind(r, &text);
        size += kKeptCellHead + uint32_t(text.size()) + 1;
        ++count;
    }
    BlockPtr buffer(static_cast<uint8_t*>(AllocBlock(size)));
    if (!buffer) return Fail(workbook, e, kErrorWorksheetMemory);
    uint8_t* p = buffer.get();
    StoreU16(p, rect.c1);
    StoreU32(p + 2, rect.r1);
    StoreU16(p + 6, rect.c2);
    StoreU32(p + 8, rect.r2);
    StoreU32(p + 12, count);
    p += kKeptCellsHead;
    cursor = CellCursor{kAdvance, ws.cells.FirstPage(), 0};
    while (const uint8_t* r = GetNextCellInRange(cursor, rect)) {
        const uint8_t kind = KeptKind(r, &text);
        StoreU16(p, cell::Column(r));
        StoreU32(p + 2, cell::Row(r));
        p[6] = kind;
        StoreF64(p + 7, kind == kCellNumber ? cell::Number(r) : 0.0);
        StoreU16(p + 15, uint16_t(text.size()));
        if (!text.empty()) std::memcpy(p + kKeptCellHead, text.data(), text.size());
        p[kKeptCellHead + text.size()] = 0;
        p += kKeptCellHead + text.size() + 1;
    }
    e.kind = kUndoCells;
    e.bufferOwnership = 1;
    e.cellBuffer = std::move(buffer);
    NoteWorksheet(workbook, ws, e);
    return true;
}

bool SnapshotCellToUndo(CWorkbook& workbook, CWorksheet& ws, uint16_t column, uint32_t row,
                        int32_t slot) {
    return SnapshotCellsToUndo(workbook, ws, {column, row, column, row}, slot);
}

static bool RestoreCellFromUndoUnguarded(CWorkbook& workbook, CWorksheet& ws, uint16_t column,
                                         uint32_t row, UndoHistory& history, int32_t slot) {
    UndoEntry* slotEntry = SlotOf(workbook, history, slot);
    if (!slotEntry) return false;
    UndoEntry& e = *slotEntry;
    if (e.kind != kUndoCells || !e.cellBuffer) {
        workbook.error = kErrorInvalidCacheIndex;
        return false;
    }
    const uint8_t* p = e.cellBuffer.get();
    const int64_t dc = int64_t(column) - LoadU16(p);
    const int64_t dr = int64_t(row) - LoadU32(p + 2);
    const CellRange kept{LoadU16(p), LoadU32(p + 2), LoadU16(p + 6), LoadU32(p + 8)};
    const uint32_t count = LoadU32(p + 12);
    const CellRange target{column, row, uint16_t(std::min<int64_t>(kept.c2 + dc, kLastColumn)),
                           uint32_t(std::min<int64_t>(kept.r2 + dr, kLastRow))};
    // Build the records first; pointers into the staging bytes are taken once it is complete.
    std::vector<uint8_t> staging;
    std::vector<PlacedCell> cells;
    p += kKeptCellsHead;
    for (uint32_t i = 0; i < count; ++i) {
        const int64_t c = LoadU16(p) + dc, r = LoadU32(p + 2) + dr;
        const uint8_t kind = p[6];
        const std::string_view text(reinterpret_cast<const char*>(p + kKeptCellHead),
                                    LoadU16(p + 15));
        CellBuffer b;
        bool made = false;
        if (c <= kLastColumn && r <= kLastRow) {
            if (kind == kCellFormula) {
                FormulaHead head;
                head.arrayHeight = 0;
                head.resultFlags = 0;
                made = MakeFormulaCell(b, uint16_t(c), uint32_t(r), head, text);
            } else if (kind == kCellText) {
                made = MakeTextCell(b, uint16_t(c), uint32_t(r), text);
            } else {
                made = MakeNumberCell(b, uint16_t(c), uint32_t(r),
                                      kind == kCellNumber ? LoadF64(p + 7) : 0.0, kind >> 4);
            }
        }
        if (made) {
            cells.push_back({nullptr, b.size, uint16_t(c), uint32_t(r)});
            staging.insert(staging.end(), b.bytes, b.bytes + b.size);
        }
        p += kKeptCellHead + text.size() + 1;
    }
    size_t offset = 0;
    for (PlacedCell& c : cells) c.record = staging.data() + offset, offset += c.size;
    const std::vector<CellRange> clear = CollectClearSet(ws.cells, target);
    uint32_t top, bottom;
    ClearSetRows(clear, &top, &bottom);
    CListFeed feed(cells);
    if (!RebuildCells(ws.cells, top, bottom, clear, feed)) {
        workbook.error = kErrorWorksheetMemory;
        return false;
    }
    return true;
}

bool SnapshotFormatsToUndo(const StyleTables& tables, const CellRange& rect, CFormatStore& source,
                           CFormatStore& scratch, KeptStyles& kept) {
    CStyleKeeper keeper(tables, kept);
    CellCursor cursor{kAdvance, nullptr, 0};
    for (FormatRun run : RunsInRect(source, rect)) {
        run.style = keeper.Keep(run.style);
        if (!PutFormatRun(scratch, run, cursor)) return false;
    }
    if (rect.r1 == 0 && rect.r2 == kLastRow) {
        for (uint32_t c = rect.c1; c <= rect.c2; ++c) {
            scratch.columns[c] = source.columns[c];
            scratch.columns[c].style = KeepColumnStyle(keeper, source.columns[c].style);
        }
    }
    if (rect.c1 == 0 && rect.c2 == kLastColumn) {
        CPagedList& heights = source.rowHeights;
        for (uint32_t r = rect.r1; r <= rect.r2 && r < heights.ItemCount(); ++r) {
            if (!scratch.rowHeights.GrowTo2(r + 1, 0, false)) return false;
            *scratch.rowHeights.GetItem2(r) = *heights.GetItem2(r);
        }
    }
    return true;
}

static bool SnapshotRangeToUndoUnguarded(CWorkbook& workbook, CWorksheet& ws,
                                         const RangeDescriptor& range, int32_t slot, bool cells,
                                         bool formats) {
    UndoEntry* slotEntry = SlotOf(workbook, workbook.undo, slot);
    if (!slotEntry) return false;
    UndoEntry& e = *slotEntry;
    e = UndoEntry{};
    const CellRange rect = range.Range();
    auto scratch = NewScratch(ws);
    if (!scratch) return Fail(workbook, e, kErrorWorksheetMemory);
    if (cells && !CopyBlock(scratch->cells, rect, rect.c1, rect.r1, ws.cells))
        return Fail(workbook, e, kErrorWorksheetMemory);
    if (formats) {
        e.keptStyles = NewBlockObject<KeptStyles>();
        if (!e.keptStyles || !SnapshotFormatsToUndo(workbook.styles, rect, ws.formats,
                                                    scratch->formats, *e.keptStyles))
            return Fail(workbook, e, kErrorWorksheetMemory);
    }
    e.kind = cells && formats ? kUndoRangeBoth : formats ? kUndoRangeFormats : kUndoRangeCells;
    e.object = std::move(scratch);
    e.blockDescriptor = range;
    NoteWorksheet(workbook, ws, e);
    return true;
}

static bool RestoreRangeFromUndoUnguarded(CWorkbook& workbook, CWorksheet& ws, UndoHistory& history,
                                          int32_t slot, bool cells, bool formats) {
    UndoEntry* slotEntry = SlotOf(workbook, history, slot);
    if (!slotEntry) return false;
    UndoEntry& e = *slotEntry;
    CWorksheet* scratch = e.Scratch();
    if (e.kind < kUndoRangeCells || e.kind > kUndoRangeBoth || !scratch) {
        workbook.error = kErrorInvalidCacheIndex;
        return false;
    }
    const CellRange rect = e.blockDescriptor.Range();
    CFormatBlockCopy formatCopy;
    if (formats && e.kind != kUndoRangeCells && e.keptStyles) {
        const ErrorCode code = formatCopy.Prepare(workbook.styles, rect, rect, ws.formats,
                                                  scratch->formats, e.keptStyles->View());
        if (code != kErrorNone) {
            workbook.error = code;
            return false;
        }
    }
    if (cells && e.kind != kUndoRangeFormats) {
        const std::vector<CellRange> clear = CollectClearSet(ws.cells, rect);
        uint32_t top, bottom;
        ClearSetRows(clear, &top, &bottom);
        CRowSplice splice(ws.cells, kCellLayout, top, bottom);
        CRangeFeed feed(scratch->cells, rect, 0, 0);
        if (!FillCells(splice, top, bottom, clear, feed)) {
            workbook.error = kErrorWorksheetMemory;
            return false;
        }
        splice.Commit();
    }
    formatCopy.Commit();
    return true;
}

static bool SnapshotColumnsToUndoUnguarded(CWorkbook& workbook, CWorksheet& ws, int32_t slot) {
    UndoEntry* slotEntry = SlotOf(workbook, workbook.undo, slot);
    if (!slotEntry) return false;
    UndoEntry& e = *slotEntry;
    e = UndoEntry{};
    auto scratch = NewScratch(ws);
    e.keptStyles = NewBlockObject<KeptStyles>();
    if (!scratch || !e.keptStyles) return Fail(workbook, e, kErrorWorksheetMemory);
    CStyleKeeper keeper(workbook.styles, *e.keptStyles);
    for (int c = 0; c < kMaxColumns; ++c) {
        scratch->formats.columns[c] = ws.formats.columns[c];
        scratch->formats.columns[c].style = KeepColumnStyle(keeper, ws.formats.columns[c].style);
    }
    e.kind = kUndoRangeCells;
    e.object = std::move(scratch);
    NoteWorksheet(workbook, ws, e);
    return true;
}

static bool SnapshotRowHeightsToUndoUnguarded(CWorkbook& workbook, CWorksheet& ws, int32_t slot) {
    UndoEntry* slotEntry = SlotOf(workbook, workbook.undo, slot);
    if (!slotEntry) return false;
    UndoEntry& e = *slotEntry;
    e = UndoEntry{};
    auto scratch = NewScratch(ws);
    if (!scratch) return Fail(workbook, e, kErrorWorksheetMemory);
    PagedListIter it{kAdvance, nullptr, 0};
    while (const uint16_t* h = ws.formats.rowHeights.NextItem2(it))
        if (!scratch->formats.rowHeights.AppendItem2(*h))
            return Fail(workbook, e, kErrorWorksheetMemory);
    e.kind = kUndoRangeCells;
    e.object = std::move(scratch);
    NoteWorksheet(workbook, ws, e);
    return true;
}

static bool SnapshotItemNameToUndoUnguarded(CWorkbook& workbook, const CTreeItem& item,
                                            UndoHistory& history, int32_t slot) {
    UndoEntry* slotEntry = SlotOf(workbook, history, slot);
    if (!slotEntry) return false;
    UndoEntry& e = *slotEntry;
    e = UndoEntry{};
    BlockPtr buffer(static_cast<uint8_t*>(AllocBlock(kTreeNameSize)));
    if (!buffer) return Fail(workbook, e, kErrorWorksheetMemory);
    std::memcpy(buffer.get(), item.name, kTreeNameSize);
    e.kind = kUndoCells;
    e.bufferOwnership = 1;
    e.cellBuffer = std::move(buffer);
    NoteWorksheet(workbook, item, e);
    return true;
}

static bool SnapshotWorksheetToUndoUnguarded(CWorkbook& workbook, CWorksheet& ws, int32_t slot) {
    UndoEntry* slotEntry = SlotOf(workbook, workbook.undo, slot);
    if (!slotEntry) return false;
    UndoEntry& e = *slotEntry;
    e = UndoEntry{};
    TreeChain chain(CWorksheet::Clone(workbook, &ws));
    e.keptStyles = NewBlockObject<KeptStyles>();
    if (!chain || !e.keptStyles) return Fail(workbook, e, kErrorWorksheetMemory);
    CStyleKeeper keeper(workbook.styles, *e.keptStyles);
    for (CTreeItem* item = chain.get(); item; item = item->next) {
        CWorksheet* copy = AsWorksheet(item);
        if (!copy) continue;
        for (Page* page = copy->formats.runs.FirstPage(); page; page = page->next) {
            for (uint32_t at = 0; at + kFormatRunSize <= page->used; at += kFormatRunSize) {
                FormatRun run = LoadFormatRun(page->payload + at);
                run.style = keeper.Keep(run.style);
                StoreFormatRun(page->payload + at, run);
            }
        }
        for (ColumnEntry& c : copy->formats.columns) c.style = KeepColumnStyle(keeper, c.style);
    }
    e.kind = kUndoTreeChain;
    e.treeChain = std::move(chain);
    NoteWorksheet(workbook, ws, e);
    return true;
}

static bool SnapshotContainerUnguarded(CWorkbook& workbook, CTreeItem* item, CContainer& container,
                                       UndoHistory& history, int32_t slot) {
    UndoEntry* slotEntry = SlotOf(workbook, history, slot);
    if (!slotEntry) return false;
    UndoEntry& e = *slotEntry;
    e = UndoEntry{};
    const uint8_t status = container.status;
    e.container = CloneContainer(container);
    if (!e.container) {
        container.status = status; // reported through the workbook instead
        return Fail(workbook, e, kErrorWorksheetMemory);
    }
    e.kind = kUndoContainer;
    e.containerId = container.settings.id;
    if (item) e.treePosition = GetTreeItemIndex(item, workbook.tree.first);
    if (workbook.tree.active) {
        std::string path;
        BuildTreeItemPath(workbook.tree.active, path, false);
        CopyTextField(e.worksheetPath, path.c_str(), kUndoPathSize);
    }
    return true;
}

// Snapshots and restores keep working lists in standard containers. Running out of memory
// there ends them like a refused page: a snapshot leaves its slot empty, a restore leaves
// the worksheet as it was (it commits only with operations that allocate nothing).
namespace {

template <class Edit>
bool GuardSnapshot(CWorkbook& workbook, UndoHistory& history, int32_t slot, Edit&& edit) {
    const bool done = GuardWorksheetMemory(workbook, edit);
    if (!done && workbook.error == kErrorWorksheetMemory && slot >= 0 && slot < kUndoSlots)
        history.entries[slot] = UndoEntry{};
    return done;
}

} // namespace

bool SnapshotCellsToUndo(CWorkbook& workbook, CWorksheet& ws, const CellRange& rect, int32_t slot) {
    return GuardSnapshot(workbook, workbook.undo, slot,
                         [&] { return SnapshotCellsToUndoUnguarded(workbook, ws, rect, slot); });
}

bool SnapshotRangeToUndo(CWorkbook& workbook, CWorksheet& ws, const RangeDescriptor& range,
                         int32_t slot, bool cells, bool formats) {
    return GuardSnapshot(workbook, workbook.undo, slot, [&] {
        return SnapshotRangeToUndoUnguarded(workbook, ws, range, slot, cells, formats);
    });
}

bool SnapshotColumnsToUndo(CWorkbook& workbook, CWorksheet& ws, int32_t slot) {
    return GuardSnapshot(workbook, workbook.undo, slot,
                         [&] { return SnapshotColumnsToUndoUnguarded(workbook, ws, slot); });
}

bool SnapshotRowHeightsToUndo(CWorkbook& workbook, CWorksheet& ws, int32_t slot) {
    return GuardSnapshot(workbook, workbook.undo, slot,
                         [&] { return SnapshotRowHeightsToUndoUnguarded(workbook, ws, slot); });
}

bool SnapshotItemNameToUndo(CWorkbook& workbook, const CTreeItem& item, UndoHistory& history,
                            int32_t slot) {
    return GuardSnapshot(workbook, history, slot, [&] {
        return SnapshotItemNameToUndoUnguarded(workbook, item, history, slot);
    });
}

bool SnapshotWorksheetToUndo(CWorkbook& workbook, CWorksheet& ws, int32_t slot) {
    return GuardSnapshot(workbook, workbook.undo, slot,
                         [&] { return SnapshotWorksheetToUndoUnguarded(workbook, ws, slot); });
}

bool SnapshotContainer(CWorkbook& workbook, CTreeItem* item, CContainer& container,
                       UndoHistory& history, int32_t slot) {
    return GuardSnapshot(workbook, history, slot, [&] {
        return SnapshotContainerUnguarded(workbook, item, container, history, slot);
    });
}

bool RestoreCellFromUndo(CWorkbook& workbook, CWorksheet& ws, uint16_t column, uint32_t row,
                         UndoHistory& history, int32_t slot) {
    return GuardWorksheetMemory(workbook, [&] {
        return RestoreCellFromUndoUnguarded(workbook, ws, column, row, history, slot);
    });
}

bool RestoreRangeFromUndo(CWorkbook& workbook, CWorksheet& ws, UndoHistory& history, int32_t slot,
                          bool cells, bool formats) {
    return GuardWorksheetMemory(workbook, [&] {
        return RestoreRangeFromUndoUnguarded(workbook, ws, history, slot, cells, formats);
    });
}

} // namespace vl
