#include "model/undosnapshot.h"

#include "model/memoryguard.h"
#include "model/rangeops.h"
#include "model/workbook.h"

#include <cstring>
#include <map>
#include <string>

namespace vl {

namespace {

// Claims the slot, fills it, and empties it again when the fill fails (also when a working
// list ran out of memory).
template <class Fill>
bool Snapshot(CWorkbook& workbook, UndoHistory& history, int32_t& index, Fill&& fill) {
    UndoEntry* e = ClaimUndoSlot(history, index);
    if (!e) return Fail(workbook, kErrorInvalidCacheIndex);
    const bool done = GuardWorksheetMemory(workbook, [&] { return fill(*e); });
    if (!done) *e = UndoEntry{};
    return done;
}

// The place every snapshot notes: the item's path and its position in the tree.
void NoteItem(CWorkbook& workbook, const CTreeItem& item, UndoEntry& e, bool foldersOnly) {
    std::string path;
    BuildTreeItemPath(&item, path, foldersOnly);
    CopyTextField(e.worksheetPath, path.c_str(), kUndoPathSize);
    e.treePosition = GetTreeItemIndex(&item, workbook.tree.first);
}

// What a kept cell keeps: its kind byte and text. An element of an array keeps its flag, so
// that the array it belongs to finds it again as its own.
uint8_t KeptKind(const uint8_t* r, std::string_view* text) {
    *text = {};
    if (cell::IsFormula(r)) return *text = cell::Formula(r), kCellFormula;
    const uint8_t element = cell::Flags(r) & kCellArrayElement;
    if (cell::Error(r))
        return uint8_t((cell::Flags(r) & ~(kCellText | kCellFormula)) | kCellNumber);
    if (cell::IsNumber(r)) return uint8_t(kCellNumber | element);
    return *text = cell::Text(r), uint8_t(kCellText | element);
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
        // An index past the table is stored as a client gave it, and a copy keeps it: it
        // stays past the kept table too, which is never longer than the workbook's.
        if (style >= tables_.styleCount) return style;
        const auto found = styles_.find(style);
        if (found != styles_.end()) return found->second;
        StyleRecord record = tables_.styles[style];
        record.fontRef.fontIndex = KeepFont(record.fontRef.fontIndex);
        const uint16_t local = uint16_t(kept_.styles.size());
        kept_.styles.push_back(record);
        styles_[style] = local;
        return local;
    }
    uint16_t KeepColumn(uint16_t word) {
        return uint16_t((word & ~kStyleIndexMask) | Keep(word & kStyleIndexMask));
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

std::unique_ptr<CWorksheet> NewScratch(const CWorksheet& ws) {
    return NewBlockObject<CWorksheet>(ws.name, 1);
}

bool FillKeptCells(CWorkbook& workbook, CWorksheet& ws, const CellRange& rect, UndoEntry& e) {
    uint32_t size = kKeptCellsHead, count = 0;
    std::string_view text;
    CellCursor cursor{kAdvance, ws.cells.StartPageForRow(rect.r1), 0};
    while (const uint8_t* r = GetNextCellInRange(cursor, rect)) {
        KeptKind(r, &text);
        size += kKeptCellHead + uint32_t(text.size()) + 1;
        ++count;
    }
    BlockPtr buffer(static_cast<uint8_t*>(AllocBlock(size)));
    if (!buffer) return Fail(workbook, kErrorWorksheetMemory);
    uint8_t* p = buffer.get();
    StoreU16(p, rect.c1);
    StoreU32(p + 2, rect.r1);
    StoreU16(p + 6, rect.c2);
    StoreU32(p + 8, rect.r2);
    StoreU32(p + 12, count);
    p += kKeptCellsHead;
    cursor = CellCursor{kAdvance, ws.cells.StartPageForRow(rect.r1), 0};
    while (const uint8_t* r = GetNextCellInRange(cursor, rect)) {
        const uint8_t kind = KeptKind(r, &text);
        StoreU16(p, cell::Column(r));
        StoreU32(p + 2, cell::Row(r));
        p[6] = kind;
        StoreF64(p + 7, (kind & ~kCellArrayElement) == kCellNumber ? cell::Number(r) : 0.0);
        // A formula keeps its array size in the number's place: put back, it is as it was
        // once recalculated.
        if (kind == kCellFormula) {
            StoreU16(p + 7, cell::ArrayWidth(r));
            StoreU32(p + 9, cell::ArrayHeight(r));
        }
        StoreU16(p + 15, uint16_t(text.size()));
        if (!text.empty()) std::memcpy(p + kKeptCellHead, text.data(), text.size());
        p[kKeptCellHead + text.size()] = 0;
        p += kKeptCellHead + text.size() + 1;
    }
    e.kind = kUndoCells;
    e.holds = kHoldsKeptCells;
    e.bufferOwnership = 1;
    e.cellBuffer = std::move(buffer);
    e.cellBufferSize = size;
    NoteItem(workbook, ws, e, false);
    return true;
}

bool FillRange(CWorkbook& workbook, CWorksheet& ws, const RangeDescriptor& range, bool cells,
               bool formats, UndoEntry& e) {
    const CellRange rect = range.Range();
    auto scratch = NewScratch(ws);
    if (!scratch) return Fail(workbook, kErrorWorksheetMemory);
    if (cells && !CopyBlock(scratch->cells, rect, rect.c1, rect.r1, ws.cells))
        return Fail(workbook, kErrorWorksheetMemory);
    if (formats) {
        e.keptStyles = NewBlockObject<KeptStyles>();
        if (!e.keptStyles || !SnapshotFormatsToUndo(workbook.styles, rect, ws.formats,
                                                    scratch->formats, *e.keptStyles))
            return Fail(workbook, kErrorWorksheetMemory);
    }
    e.kind = cells && formats ? kUndoRangeBoth : formats ? kUndoRangeFormats : kUndoRangeCells;
    e.holds = uint8_t((cells ? kHoldsCells : 0) | (formats ? kHoldsFormats : 0));
    e.object = std::move(scratch);
    e.blockDescriptor = range;
    NoteItem(workbook, ws, e, false);
    return true;
}

bool FillColumns(CWorkbook& workbook, CWorksheet& ws, UndoEntry& e) {
    auto scratch = NewScratch(ws);
    e.keptStyles = NewBlockObject<KeptStyles>();
    if (!scratch || !e.keptStyles) return Fail(workbook, kErrorWorksheetMemory);
    CStyleKeeper keeper(workbook.styles, *e.keptStyles);
    for (int c = 0; c < kMaxColumns; ++c) {
        scratch->formats.columns[c] = ws.formats.columns[c];
        scratch->formats.columns[c].style = keeper.KeepColumn(ws.formats.columns[c].style);
    }
    e.kind = kUndoRangeCells;
    e.holds = kHoldsColumns;
    e.object = std::move(scratch);
    MakeRangeDescriptor({0, 0, kLastColumn, kLastRow}, &e.blockDescriptor);
    NoteItem(workbook, ws, e, false);
    return true;
}

bool FillRowHeights(CWorkbook& workbook, CWorksheet& ws, UndoEntry& e) {
    auto scratch = NewScratch(ws);
    if (!scratch) return Fail(workbook, kErrorWorksheetMemory);
    PagedListIter it{kAdvance, nullptr, 0};
    while (const uint16_t* h = ws.formats.rowHeights.NextItem2(it))
        if (!scratch->formats.rowHeights.AppendItem2(*h))
            return Fail(workbook, kErrorWorksheetMemory);
    e.kind = kUndoRangeCells;
    e.holds = kHoldsRowHeights;
    e.object = std::move(scratch);
    MakeRangeDescriptor({0, 0, kLastColumn, kLastRow}, &e.blockDescriptor);
    NoteItem(workbook, ws, e, false);
    return true;
}

bool FillName(CWorkbook& workbook, const CTreeItem& item, UndoEntry& e) {
    BlockPtr buffer(static_cast<uint8_t*>(AllocBlock(kTreeNameSize)));
    if (!buffer) return Fail(workbook, kErrorWorksheetMemory);
    std::memcpy(buffer.get(), item.name, kTreeNameSize);
    e.kind = kUndoCells;
    e.holds = kHoldsName;
    e.bufferOwnership = 1;
    e.cellBuffer = std::move(buffer);
    e.cellBufferSize = kTreeNameSize;
    // The enclosing folders: the item's own name changes with the rename.
    NoteItem(workbook, item, e, true);
    return true;
}

bool FillWorksheetCopy(CWorkbook& workbook, CTreeItem& item, UndoEntry& e) {
    TreeChain chain(CWorksheet::Clone(workbook, &item));
    e.keptStyles = NewBlockObject<KeptStyles>();
    if (!chain || !e.keptStyles) return Fail(workbook, kErrorWorksheetMemory);
    CStyleKeeper keeper(workbook.styles, *e.keptStyles);
    for (CTreeItem* p = chain.get(); p; p = p->next) {
        CWorksheet* copy = AsWorksheet(p);
        if (!copy) continue;
        for (Page* page = copy->formats.runs.FirstPage(); page; page = page->next) {
            for (uint32_t at = 0; at + kFormatRunSize <= page->used; at += kFormatRunSize) {
                FormatRun run = LoadFormatRun(page->payload + at);
                run.style = keeper.Keep(run.style);
                StoreFormatRun(page->payload + at, run);
            }
        }
        for (ColumnEntry& c : copy->formats.columns) c.style = keeper.KeepColumn(c.style);
    }
    e.kind = kUndoTreeChain;
    e.treeChain = std::move(chain);
    NoteItem(workbook, item, e, false);
    return true;
}

bool FillContainer(CWorkbook& workbook, CTreeItem* item, CContainer& container, UndoEntry& e) {
    const uint8_t status = container.status;
    e.container = CloneContainer(container);
    if (!e.container) {
        container.status = status; // reported through the workbook instead
        return Fail(workbook, kErrorWorksheetMemory);
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

} // namespace

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
            scratch.columns[c].style = keeper.KeepColumn(source.columns[c].style);
        }
    }
    if (rect.c1 == 0 && rect.c2 == kLastColumn) {
        CPagedList& heights = source.rowHeights;
        for (uint32_t r = rect.r1; r <= rect.r2 && r < heights.ItemCount(); ++r)
            if (!scratch.rowHeights.SetItem2(r, *heights.GetItem2(r))) return false;
    }
    return true;
}

bool SnapshotCellsToUndo(CWorkbook& workbook, CWorksheet& ws, const CellRange& rect,
                         UndoHistory& history, int32_t& index) {
    return Snapshot(workbook, history, index,
                    [&](UndoEntry& e) { return FillKeptCells(workbook, ws, rect, e); });
}

bool SnapshotCellToUndo(CWorkbook& workbook, CWorksheet& ws, uint16_t column, uint32_t row,
                        UndoHistory& history, int32_t& index) {
    return SnapshotCellsToUndo(workbook, ws, {column, row, column, row}, history, index);
}

bool SnapshotRangeToUndo(CWorkbook& workbook, CWorksheet& ws, const RangeDescriptor& range,
                         UndoHistory& history, int32_t& index, bool cells, bool formats) {
    return Snapshot(workbook, history, index, [&](UndoEntry& e) {
        return FillRange(workbook, ws, range, cells, formats, e);
    });
}

bool SnapshotColumnsToUndo(CWorkbook& workbook, CWorksheet& ws, UndoHistory& history,
                           int32_t& index) {
    return Snapshot(workbook, history, index,
                    [&](UndoEntry& e) { return FillColumns(workbook, ws, e); });
}

bool SnapshotRowHeightsToUndo(CWorkbook& workbook, CWorksheet& ws, UndoHistory& history,
                              int32_t& index) {
    return Snapshot(workbook, history, index,
                    [&](UndoEntry& e) { return FillRowHeights(workbook, ws, e); });
}

bool SnapshotItemNameToUndo(CWorkbook& workbook, const CTreeItem& item, UndoHistory& history,
                            int32_t& index) {
    return Snapshot(workbook, history, index,
                    [&](UndoEntry& e) { return FillName(workbook, item, e); });
}

bool SnapshotWorksheetToUndo(CWorkbook& workbook, CTreeItem& item, UndoHistory& history,
                             int32_t& index) {
    return Snapshot(workbook, history, index,
                    [&](UndoEntry& e) { return FillWorksheetCopy(workbook, item, e); });
}

bool SnapshotContainer(CWorkbook& workbook, CTreeItem* item, CContainer& container,
                       UndoHistory& history, int32_t& index) {
    return Snapshot(workbook, history, index,
                    [&](UndoEntry& e) { return FillContainer(workbook, item, container, e); });
}

} // namespace vl
