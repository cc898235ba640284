#include "model/pagedlist.h"

#include "platform/core/alloc.h"

#include <algorithm>
#include <cstring>

namespace vl {

namespace {

void LinkAfter(Page* page, Page* prev) {
    page->prev = prev;
    page->next = nullptr;
    prev->next = page;
}

} // namespace

Page* CPagedList::AllocPage() {
    Page* page = freePages_;
    if (page) {
        freePages_ = page->next;
        if (freePages_) freePages_->prev = nullptr;
        --freePageCount_;
    } else {
        page = static_cast<Page*>(AllocBlock(sizeof(Page)));
        if (!page) return nullptr;
    }
    ++pageCount_;
    ClearPageHeader(page);
    return page;
}

// The page that the next item of `size` bytes goes to, opening one when the last is full.
Page* CPagedList::PageForAppend(uint32_t size) {
    if (!firstPage_) {
        firstPage_ = AllocPage();
        if (!firstPage_) return nullptr;
    }
    Page* page = currentPage_ ? currentPage_ : firstPage_;
    while (page->used != 0 && page->next) page = page->next;
    if (page->used + size > kPagePayload) {
        Page* fresh = AllocPage();
        if (!fresh) return nullptr;
        LinkAfter(fresh, page);
        page = fresh;
    }
    return page;
}

bool CPagedList::AppendItem(const void* item, uint32_t size) {
    if (size == 0 || size > kPagePayload) return false;
    Page* page = PageForAppend(size);
    if (!page) return false;
    PutOnPage(page, item, size);
    return true;
}

void* CPagedList::GetItem(uint32_t i, uint32_t size) {
    if (size == 0 || size > kPagePayload || i >= itemCount_) return nullptr;
    const uint32_t perPage = kPagePayload / size;
    const uint32_t pageNo = i / perPage;
    const uint32_t offset = (i % perPage) * size;
    // Reads by position come in runs over the whole list: walking the chain for each would
    // make a run quadratic. Only a list whose index cannot be had is walked.
    if (indexValid_ || BuildPageIndex()) return pageIndex_[pageNo] + offset;
    Page* page = firstPage_;
    for (uint32_t n = 0; page && n < pageNo; ++n) page = page->next;
    return page ? page->payload + offset : nullptr;
}

bool CPagedList::AppendItem2(uint16_t item) {
    return AppendItem(&item, 2);
}

bool CPagedList::GrowTo2(uint32_t count, uint16_t fill, bool buildIndex) {
    while (itemCount_ < count) {
        Page* page = PageForAppend(2);
        if (!page) return false;
        const uint32_t room = (kPagePayload - page->used) / 2;
        const uint32_t n = std::min(room, count - itemCount_);
        uint8_t* p = page->payload + page->used;
        for (uint32_t k = 0; k < n; ++k) std::memcpy(p + 2 * k, &fill, 2);
        page->used = uint16_t(page->used + 2 * n);
        currentPage_ = page;
        itemCount_ += n;
        indexValid_ = 0;
    }
    // A list without an index still answers, only more slowly.
    if (buildIndex) BuildPageIndex();
    return true;
}

bool CPagedList::SetItem2(uint32_t i, uint16_t value) {
    if (i == UINT32_MAX || !GrowTo2(i + 1, 0, true)) return false;
    uint16_t* item = GetItem2(i);
    if (!item) return false;
    *item = value;
    return true;
}

uint16_t* CPagedList::NextItem2(PagedListIter& it) {
    Page* page = it.page ? it.page : firstPage_;
    if (!page) return nullptr;
    uint32_t offset = it.page ? it.offset : 0;
    if (offset >= page->used) {
        page = page->next;
        if (!page || page->used == 0) return nullptr;
        offset = 0;
    }
    it.page = page;
    it.offset = uint16_t(offset);
    if (it.flags & kAdvance) it.offset = uint16_t(offset + 2);
    return reinterpret_cast<uint16_t*>(page->payload + offset);
}

bool CPagedList::BuildPageIndex() {
    if (indexValid_) return true;
    Page* start = lastIndexed_ ? lastIndexed_->next : firstPage_;
    uint32_t pages = indexedPages_;
    for (Page* p = start; p; p = p->next) ++pages;
    if (indexCapacity_ < pages) {
        // Grown geometrically so that an index rebuilt after every append stays cheap.
        const uint32_t capacity = std::max(pages, indexCapacity_ * 2);
        auto* grown = static_cast<uint8_t**>(AllocBlock(sizeof(uint8_t*) * capacity));
        if (!grown) return false;
        if (indexedPages_) std::memcpy(grown, pageIndex_, sizeof(uint8_t*) * indexedPages_);
        FreeBlock(pageIndex_);
        pageIndex_ = grown;
        indexCapacity_ = capacity;
    }
    for (Page* p = start; p; p = p->next) {
        pageIndex_[indexedPages_++] = p->payload;
        lastIndexed_ = p;
    }
    indexValid_ = 1;
    return true;
}

void CPagedList::Clear(bool recycle) {
    while (Page* page = firstPage_) {
        firstPage_ = page->next;
        if (recycle) {
            page->prev = nullptr;
            page->next = freePages_;
            if (freePages_) freePages_->prev = page;
            freePages_ = page;
            ++freePageCount_;
        } else {
            FreeBlock(page);
        }
    }
    currentPage_ = nullptr;
    pageCount_ = 0;
    itemCount_ = 0;
    indexValid_ = 0;
    indexedPages_ = 0;
    lastIndexed_ = nullptr;
}

void CPagedList::Truncate(uint32_t count, uint32_t size) {
    if (count >= itemCount_ || size == 0 || size > kPagePayload) return;
    if (count == 0) {
        Clear(true);
        return;
    }
    const uint32_t perPage = kPagePayload / size;
    const uint32_t keep = (count + perPage - 1) / perPage;
    Page* last = firstPage_;
    for (uint32_t n = 1; n < keep; ++n) last = last->next;
    last->used = uint16_t((count - (keep - 1) * perPage) * size);
    while (Page* page = last->next) {
        last->next = page->next;
        page->prev = nullptr;
        page->next = freePages_;
        if (freePages_) freePages_->prev = page;
        freePages_ = page;
        ++freePageCount_;
        --pageCount_;
    }
    currentPage_ = last;
    itemCount_ = count;
    if (indexedPages_ > keep) {
        indexedPages_ = keep;
        lastIndexed_ = last;
    }
    // The entries left still point at the kept pages.
    indexValid_ = indexedPages_ == keep ? 1 : 0;
}

void CPagedList::FreeAll() {
    for (Page* chain : {firstPage_, freePages_}) {
        while (chain) {
            Page* next = chain->next;
            FreeBlock(chain);
            chain = next;
        }
    }
    FreeBlock(pageIndex_);
    // Nothing may point at the freed memory: the list is left as a new one.
    firstPage_ = freePages_ = currentPage_ = nullptr;
    pageIndex_ = nullptr;
    indexCapacity_ = 0;
    indexValid_ = 0;
    indexedPages_ = 0;
    lastIndexed_ = nullptr;
    pageCount_ = freePageCount_ = itemCount_ = 0;
}

} // namespace vl
