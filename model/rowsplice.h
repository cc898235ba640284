#pragma once
// Rebuilding the rows of a page store all at once: the pages that hold a span of rows are
// written afresh into pages taken aside, and swapped in only when the whole new content is
// there. A failure on the way gives the new pages back and leaves the store as it was; the
// swap itself cannot fail.

#include "model/cellstore.h"

#include <cstdint>

namespace vl {

// How to read the records of a store: cell records or 10-byte format runs.
struct RecordLayout {
    uint32_t (*length)(const uint8_t*);
    uint32_t (*row)(const uint8_t*);
    uint16_t (*column)(const uint8_t*);
};
extern const RecordLayout kCellLayout;
extern const RecordLayout kRunLayout;

class CRowSplice {
public:
    // Takes aside the pages that hold rows r1..r2 (with the records they also hold before
    // and after those rows).
    CRowSplice(CCellStore& store, const RecordLayout& layout, uint32_t r1, uint32_t r2);
    ~CRowSplice();
    CRowSplice(const CRowSplice&) = delete;
    CRowSplice& operator=(const CRowSplice&) = delete;

    // The old records of those pages, in order; null after the last.
    const uint8_t* NextOld();
    // Appends a record to the new content; the returned bytes may be patched in place.
    uint8_t* Append(const uint8_t* record, uint32_t size);
    // Puts the new pages in place of the old ones, which go to the free-page list.
    void Commit();

private:
    CCellStore& store_;
    const RecordLayout& layout_;
    Page* oldFirst_ = nullptr; // null: the store has no page
    Page* oldLast_ = nullptr;
    Page* readPage_ = nullptr;
    uint32_t readOffset_ = 0;
    Page* newFirst_ = nullptr;
    Page* newLast_ = nullptr;
    bool committed_ = false;
};

} // namespace vl
