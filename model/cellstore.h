#pragma once
// Sparse storage of one worksheet's cells: variable-length cell records packed in
// (row, column) order into chained pages, a free-page list, and a row index of
// 2,048 blocks of 1,024 rows that readers build on demand. An edit of records marks only the
// rows of the pages it changes to be found again; other edits clear the whole index.

#include "model/cellrange.h"
#include "model/cellrecord.h"
#include "model/pagedlist.h"

#include <cstdint>
#include <memory>

namespace vl {

// Position of every cell-store walk; flag kAdvance (8) moves past the record returned.
struct CellCursor {
    uint8_t flags = 0;
    Page* page = nullptr;
    uint16_t offset = 0;
};

constexpr uint32_t kRowBlockRows = 1024;
constexpr uint32_t kRowBlocks = 2048;
// A page is split at half its payload.
constexpr uint32_t kSplitOffset = 4091;

// The length of a record of a page's kind (cell records or format runs).
using RecordLengthFn = uint32_t (*)(const uint8_t*);

// Row index entry: the page and offset of the first record of a row (null page: none).
struct RowIndexEntry {
    Page* page;
    uint16_t offset;
};

// A place inside a wide row kept beside the row index: every kColumnMarkEvery-th record of a
// row, so that a cell far along a row is found after a short scan from the mark before it.
struct ColumnMark {
    Page* page;
    uint32_t row;
    uint16_t column;
    uint16_t offset;
};
constexpr uint32_t kColumnMarkEvery = 8;

// The blocks of the row index with their flags, made when a block is first built: most
// stores (the undo entries' among them) are never indexed. A valid block may have stale
// rows, found again from the pages before the block is next read; a block to be indexed on
// demand is built once the finds without it have cost about what building it costs.
struct RowIndexTable {
    RowIndexEntry* blocks[kRowBlocks];
    uint8_t flags[kRowBlocks];
    uint32_t staleFirst[kRowBlocks];
    uint32_t staleLast[kRowBlocks];
    // Finds left before an on-demand block is built, once counted.
    uint32_t findsLeft[kRowBlocks];
};
constexpr uint8_t kBlockValid = 1;
constexpr uint8_t kBlockStale = 2;
constexpr uint8_t kBlockOnDemand = 4;
constexpr uint8_t kBlockCounted = 8;

class CCellStore {
public:
    CCellStore() = default;
    ~CCellStore() { FreeAll(); }
    CCellStore(const CCellStore&) = delete;
    CCellStore& operator=(const CCellStore&) = delete;

    // Inserts the record or replaces the one at its row and column. The cursor is a hint
    // for sequential writes and must not lie past the insertion point.
    bool PutCell(const uint8_t* record, CellCursor& cursor);

    bool BuildRowBlockIndex(uint32_t block, CellCursor& cursor);
    // Drops the whole index; blocks wanted on demand stay wanted.
    void ClearRowIndex(bool freePages);
    // While on, every block not indexed is built when its finds have cost about what
    // building it costs (a recalculation reads worksheets that hold no formula too). Off
    // drops the index.
    void IndexOnDemand(bool on);
    // Between the two, linking and releasing pages keep the row index: the caller changes
    // only the records of rows first..last and the pages that hold them, and EndRowsEdit
    // marks those rows stale.
    void BeginRowsEdit() { ++rowsEdits_; }
    void EndRowsEdit(uint32_t first, uint32_t last);
    bool GetUsedRange(uint16_t* firstCol, uint16_t* lastCol, uint32_t* firstRow,
                      uint32_t* lastRow) const;
    // counts[0] numbers, [1] texts, [2] numeric formulas, [3] text formulas,
    // [4] array formulas without a cached kind, [5] formulas with an error.
    void CountCellKinds(uint32_t counts[6], const CellRange& rect) const;
    void Compact(bool freePages);

    Page* AllocPage(bool uncounted = false);
    void ReleasePage(Page* page, bool free);
    void ReleaseAllPages(bool free);
    void FreePageChain(Page* chain);
    void AdoptPages(Page* chain);
    Page* DetachPages(bool empty);
    bool ReserveSparePage();
    void PurgeFreePages();
    void FreeAll();

    // Page-level operations shared with the format store and the range operations.
    // Writes `size` bytes at `offset` of `page` in place of the `removeLen` bytes there,
    // taking the previous page when the offset is 0 and that page is less full, and
    // splitting the page when the record does not fit. All pages it needs are had
    // before anything changes, so false leaves the store as it was. The cursor is left
    // at the record (past it with kAdvance).
    // `length` reads the length of the page's records (cell records when not given).
    bool PlaceRecord(Page* page, uint32_t offset, uint32_t removeLen, const uint8_t* record,
                     uint32_t size, CellCursor& cursor, RecordLengthFn length = nullptr);
    // Links a page (from AllocPage) after `after`, or at the front when that is null.
    void LinkPage(Page* page, Page* after);
    void SetFreeBytes(uint32_t bytes) { freeBytes_ = bytes; }

    Page* FirstPage() const { return firstPage_; }
    uint32_t PageCount() const { return pageCount_; }
    uint32_t FreePageCount() const { return freePageCount_; }
    uint32_t FreeBytes() const { return freeBytes_; }
    // Whether the block is indexed, after its stale rows are found again and, when it is
    // wanted on demand and its finds have cost enough, after it is built.
    bool BlockValid(uint32_t block) const {
        if (block >= kRowBlocks) return false;
        if (!rowIndex_) return onDemand_ && BringBlockUp(block);
        const uint8_t flags = rowIndex_->flags[block];
        if (flags == kBlockValid) return true;
        return flags != 0 && BringBlockUp(block);
    }
    const RowIndexEntry* RowEntry(uint32_t row) const;
    // The column marks of an indexed block, in (row, column) order; none when the block is
    // not indexed.
    uint32_t ColumnMarkCount(uint32_t block) const;
    const ColumnMark* ColumnMarks(uint32_t block) const;
    // Whether a row of an indexed block holds column marks. A row without them has a few
    // records and is scanned from its first, with no more work than that scan.
    bool RowMarked(uint32_t row) const {
        if (!columnMarks_) return false;
        const MarkList& list = columnMarks_[row / kRowBlockRows];
        const uint32_t at = row % kRowBlockRows;
        return list.count != 0 && list.rowStart[at + 1] != list.rowStart[at];
    }
    // The place a scan for (row, column) of a marked row starts from, given the row's first
    // record: the cell itself when it was found lately (true), else the last column mark of
    // the row at or before the column (false; the first record when none is).
    bool MarkedStart(uint32_t row, uint16_t column, Page*& page, uint32_t& offset) const;
    // The place of a cell among the last few found while the row index stood; false when
    // it is not one of them. A recalculation reads, writes and finishes one cell in turn.
    bool RecentCell(uint32_t row, uint16_t column, Page*& page, uint32_t& offset) const;
    void NoteFound(uint32_t row, uint16_t column, Page* page, uint32_t offset) const;

    // The page a search for `row` starts on when it has no better place: the last page
    // whose first record lies before the row, else the first page (null when empty).
    // The same page the walk from the first page reaches, found by bisection.
    Page* StartPageForRow(uint32_t row) const;

    // One page of the directory below, with its first row as last seen.
    struct DirectoryEntry {
        Page* page;
        uint32_t row;
    };

private:
    friend uint8_t* FindCell(const CCellStore&, uint32_t, uint16_t);

    bool TakePages(Page** out, uint32_t count);
    bool EnsureIndexTable();
    // The index is a cache of the pages: bringing a block up to date changes no record, so
    // it is done for const readers too (a store is never a const object).
    bool BringBlockUp(uint32_t block) const;
    void RefreshStaleRows(uint32_t block);
    bool BuildOnDemand(uint32_t block);
    // Marks rows first..last of every valid block stale.
    void RowsChanged(uint32_t first, uint32_t last);
    void SpliceColumnMarks(uint32_t block, uint32_t first, uint32_t last, const ColumnMark* marks,
                           uint32_t count);
    // The pages that hold rows first..last, from the directory (an estimate without it).
    uint32_t PagesForRows(uint32_t first, uint32_t last) const;
    uint32_t DirectoryIndexForRow(uint32_t row) const;
    // Compact with pages filled up to `fill` bytes.
    void CompactTo(uint32_t fill, bool freePages);
    void PushFreePage(Page* page);
    void CompactIfSparse(const uint8_t* record, CellCursor& cursor);
    // The marks are a cache in plain heap memory: a mark that cannot be had is left out,
    // which only lengthens the scans of its row.
    void ResetColumnMarks(uint32_t block);
    void AddColumnMark(uint32_t block, const ColumnMark& mark);
    // Notes where each row's marks begin, once the block's marks are all in.
    void FinishColumnMarks(uint32_t block);
    void FreeColumnMarks();
    void ForgetRecent();

    Page* firstPage_ = nullptr;
    Page* freePages_ = nullptr;
    struct RowIndexFree {
        void operator()(RowIndexTable* table) const;
    };
    std::unique_ptr<RowIndexTable, RowIndexFree> rowIndex_;
    uint32_t pageCount_ = 0;
    uint32_t freePageCount_ = 0;
    uint32_t freeBytes_ = 0;
    struct MarkList {
        ColumnMark* marks;
        uint32_t count;
        uint32_t capacity;
        // kRowBlockRows + 1 entries: the index of the first mark of each row of the block.
        uint32_t* rowStart;
    };
    // kRowBlocks lists, made with the first mark.
    MarkList* columnMarks_ = nullptr;
    // Cells found while their block was indexed, dropped with the index: a record keeps its
    // place until the layout changes, and every change clears the index.
    struct Found {
        Page* page;
        uint32_t row;
        uint16_t column;
        uint16_t offset;
    };
    static constexpr uint32_t kRecent = 4;
    mutable Found recent_[kRecent] = {};
    mutable uint32_t recentNext_ = 0;
    // Blocks whose flag is set, so that edits drop a stale index without a scan.
    uint32_t validBlocks_ = 0;
    bool onDemand_ = false;
    // Some block carries more than its base flag (a count of finds).
    bool flagsTouched_ = false;
    uint32_t rowsEdits_ = 0;
    // The pages of the chain in order, for bisection, each with its first row as it was
    // last seen: built on demand, followed by pages linked and released one by one, and
    // dropped when whole chains change. A search checks the rows it relies on against the
    // pages themselves, so a row seen before an edit only costs a slower search.
    mutable DirectoryEntry* directory_ = nullptr;
    mutable uint32_t directorySize_ = 0;
    mutable uint32_t directoryCapacity_ = 0;
    mutable bool directoryValid_ = false;
    bool BuildDirectory() const;
    void DropDirectory() { directoryValid_ = false; }
    void FreeDirectory();
    void DirectoryInsert(Page* page, Page* after);
    void DirectoryErase(Page* page, Page* prev);
};

// Records are returned in place: callers may rewrite a record's bytes as long as its
// position and length stay.
uint8_t* FindCell(const CCellStore& store, uint32_t row, uint16_t column);
uint8_t* FindCellFromCursor(const CCellStore& store, uint32_t row, uint16_t column,
                            CellCursor& cursor);
// The caller sets the cursor's page to the store's first page before the first call.
uint8_t* NextCellRecord(CellCursor& cursor);
// The next record inside the rectangle, or null past its last row.
uint8_t* GetNextCellInRange(CellCursor& cursor, const CellRange& rect);

} // namespace vl
