#include "model/cellstore.h"
#include "platform/core/alloc.h"

#include <cstring>

namespace vl {

namespace {

void FreeChain(Page* page) {
    while (page) {
        Page* next = page->next;
        FreeBlock(page);
        page = next;
    }
}

} // namespace

void CCellStore::PushFreePage(Page* page) {
    page->prev = nullptr;
    page->next = freePages_;
    if (freePages_) freePages_->prev = page;
    freePages_ = page;
    ++freePageCount_;
}

Page* CCellStore::AllocPage(bool uncounted) {
    Page* page = freePages_;
    if (page) {
        freePages_ = page->next;
        if (freePages_) freePages_->prev = nullptr;
        --freePageCount_;
    } else {
        page = static_cast<Page*>(AllocBlock(sizeof(Page)));
        if (!page) return nullptr;
    }
    if (!uncounted) {
        ++pageCount_;
        freeBytes_ += kPagePayload;
    }
    ClearPageHeader(page);
    return page;
}

// Either all `count` pages (uncounted, unlinked) or none, with the free-page list as it was.
bool CCellStore::TakePages(Page** out, uint32_t count) {
    uint32_t popped = 0;
    for (uint32_t i = 0; i < count; ++i) {
        const bool fromList = freePages_ != nullptr;
        out[i] = AllocPage(true);
        if (!out[i]) {
            for (uint32_t k = i; k-- > 0;) {
                if (k < popped)
                    PushFreePage(out[k]);
                else
                    FreeBlock(out[k]);
            }
            return false;
        }
        if (fromList) ++popped;
    }
    return true;
}

void CCellStore::LinkPage(Page* page, Page* after) {
    page->prev = after;
    if (after) {
        page->next = after->next;
        after->next = page;
    } else {
        page->next = firstPage_;
        firstPage_ = page;
    }
    if (page->next) page->next->prev = page;
    if (!rowsEdits_) ClearRowIndex(false);
    DirectoryInsert(page, after);
}

void CCellStore::ReleasePage(Page* page, bool free) {
    Page* const prev = page->prev;
    if (page->prev)
        page->prev->next = page->next;
    else
        firstPage_ = page->next;
    if (page->next) page->next->prev = page->prev;
    // While the page is still there to be read: the directory's search may meet it.
    DirectoryErase(page, prev);
    if (free)
        FreeBlock(page);
    else
        PushFreePage(page);
    if (pageCount_) --pageCount_;
    if (!rowsEdits_) ClearRowIndex(false);
}

void CCellStore::ReleaseAllPages(bool free) {
    while (firstPage_) ReleasePage(firstPage_, free);
    pageCount_ = 0;
    freeBytes_ = 0;
}

void CCellStore::FreePageChain(Page* chain) {
    while (chain) {
        Page* next = chain->next;
        PushFreePage(chain);
        chain = next;
    }
}

void CCellStore::AdoptPages(Page* chain) {
    // The store's own chain would otherwise land on the free-page list and stay in use.
    if (chain != firstPage_) ReleaseAllPages(false);
    pageCount_ = 0;
    freeBytes_ = 0;
    ClearRowIndex(false);
    DropDirectory();
    firstPage_ = chain;
    if (chain) chain->prev = nullptr;
    for (Page* p = chain; p; p = p->next) {
        ++pageCount_;
        freeBytes_ += kPagePayload - p->used;
    }
}

Page* CCellStore::DetachPages(bool empty) {
    Page* first = firstPage_;
    if (empty) {
        firstPage_ = nullptr;
        pageCount_ = 0;
        freeBytes_ = 0;
        ClearRowIndex(false);
        DropDirectory();
    }
    return first;
}

bool CCellStore::ReserveSparePage() {
    if (freePageCount_ != 0) return true;
    Page* page = static_cast<Page*>(AllocBlock(sizeof(Page)));
    if (!page) return false;
    ClearPageHeader(page);
    PushFreePage(page);
    return true;
}

void CCellStore::PurgeFreePages() {
    FreeChain(freePages_);
    freePages_ = nullptr;
    freePageCount_ = 0;
}

void CCellStore::ClearRowIndex(bool freePages) {
    ForgetRecent();
    if (freePages) {
        rowIndex_.reset();
        FreeColumnMarks();
        validBlocks_ = 0;
        onDemand_ = false;
        flagsTouched_ = false;
        return;
    }
    if (validBlocks_ || flagsTouched_) {
        std::memset(rowIndex_->flags, onDemand_ ? kBlockOnDemand : 0, sizeof rowIndex_->flags);
        validBlocks_ = 0;
        flagsTouched_ = false;
    }
}

void CCellStore::RowIndexFree::operator()(RowIndexTable* table) const {
    for (RowIndexEntry* block : table->blocks) FreeBlock(block);
    FreeBlock(table);
}

void CCellStore::FreeAll() {
    ClearRowIndex(true);
    FreeChain(firstPage_);
    firstPage_ = nullptr;
    PurgeFreePages();
    pageCount_ = 0;
    freeBytes_ = 0;
    FreeDirectory();
}

} // namespace vl
