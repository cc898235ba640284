#include "model/rowsplice.h"

#include "model/formatstore.h"
#include "platform/core/bytes.h"

#include <cstring>

namespace vl {

namespace {

uint32_t CellLength(const uint8_t* r) {
    return cell::Length(r);
}
uint32_t CellRow(const uint8_t* r) {
    return cell::Row(r);
}
uint16_t CellColumn(const uint8_t* r) {
    return cell::Column(r);
}
uint32_t RunLength(const uint8_t*) {
    return kFormatRunSize;
}
uint32_t RunRow(const uint8_t* r) {
    return LoadU32(r + 4);
}
uint16_t RunColumn(const uint8_t* r) {
    return LoadU16(r);
}

} // namespace

const RecordLayout kCellLayout = {CellLength, CellRow, CellColumn};
const RecordLayout kRunLayout = {RunLength, RunRow, RunColumn};

CRowSplice::CRowSplice(CCellStore& store, const RecordLayout& layout, uint32_t r1, uint32_t r2)
    : store_(store), layout_(layout) {
    Page* page = store.FirstPage();
    if (!page) return;
    // Pages whose successor starts before r1 end before it.
    while (page->next && page->next->used && layout.row(page->next->payload) < r1)
        page = page->next;
    oldFirst_ = page;
    while (page->next && page->next->used && layout.row(page->next->payload) <= r2)
        page = page->next;
    oldLast_ = page;
    readPage_ = oldFirst_;
}

CRowSplice::~CRowSplice() {
    if (!committed_ && newFirst_) store_.FreePageChain(newFirst_);
}

const uint8_t* CRowSplice::NextOld() {
    while (readPage_ && readOffset_ >= readPage_->used) {
        readPage_ = readPage_ == oldLast_ ? nullptr : readPage_->next;
        readOffset_ = 0;
    }
    if (!readPage_) return nullptr;
    const uint8_t* r = readPage_->payload + readOffset_;
    readOffset_ += layout_.length(r);
    return r;
}

uint8_t* CRowSplice::Append(const uint8_t* record, uint32_t size) {
    if (!newLast_ || newLast_->used + size > kPagePayload) {
        Page* page = store_.AllocPage(true);
        if (!page) return nullptr;
        page->prev = newLast_;
        if (newLast_)
            newLast_->next = page;
        else
            newFirst_ = page;
        newLast_ = page;
    }
    uint8_t* at = newLast_->payload + newLast_->used;
    std::memcpy(at, record, size);
    newLast_->used = uint16_t(newLast_->used + size);
    return at;
}

void CRowSplice::Commit() {
    committed_ = true;
    Page* first = store_.DetachPages(true);
    if (!oldFirst_) {
        store_.AdoptPages(newFirst_);
        return;
    }
    Page* before = oldFirst_->prev;
    Page* after = oldLast_->next;
    oldFirst_->prev = nullptr;
    oldLast_->next = nullptr;
    Page* middleFirst = newFirst_ ? newFirst_ : after;
    Page* middleLast = newFirst_ ? newLast_ : before;
    if (newFirst_) {
        newFirst_->prev = before;
        newLast_->next = after;
    }
    if (before) before->next = middleFirst;
    if (after) after->prev = middleLast;
    store_.FreePageChain(oldFirst_);
    store_.AdoptPages(before ? first : middleFirst);
}

} // namespace vl
