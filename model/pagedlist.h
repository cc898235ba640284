#pragma once
// A growable list of fixed-size items in chained 8,192-byte pages, with a free-page
// list for reuse and a page index that is rebuilt only on demand. A list is only ever
// used with one item size, fixed by the typed operations its owner calls.

#include <cstdint>
#include <cstring>

namespace vl {

constexpr uint32_t kPagePayload = 8182;

// One page of a list or store. The payload size is fixed at 8,182 bytes whatever the
// pointer size, because records and item counts per page depend on it. The payload is
// 8-byte aligned so that fixed-size items of 8-byte multiples stay aligned.
struct Page {
    Page* next;
    Page* prev;
    uint16_t used;
    alignas(8) uint8_t payload[kPagePayload];
};

// A page fresh from the heap or a free-page list: unlinked and empty.
inline void ClearPageHeader(Page* page) {
    page->next = nullptr;
    page->prev = nullptr;
    page->used = 0;
}

// Iterator position of a page walk; bit 3 of flags (value 8) advances past the item.
struct PagedListIter {
    uint8_t flags = 0;
    Page* page = nullptr;
    uint16_t offset = 0;
};

constexpr uint8_t kAdvance = 8;

class CPagedList {
public:
    CPagedList() = default;
    ~CPagedList() { FreeAll(); }
    CPagedList(const CPagedList&) = delete;
    CPagedList& operator=(const CPagedList&) = delete;

    uint16_t* GetItem2(uint32_t i) { return static_cast<uint16_t*>(GetItemOf<2>(i)); }
    bool AppendItem2(uint16_t item);
    bool GrowTo2(uint32_t count, uint16_t fill, bool buildIndex);
    // Sets item i, growing the list with zero items to reach it; false when no page was had
    // (the list may have grown by zero items).
    bool SetItem2(uint32_t i, uint16_t value);
    uint16_t* NextItem2(PagedListIter& it);

    void* GetItem16(uint32_t i) { return GetItemOf<16>(i); }
    bool AppendItem16(const void* item) { return AppendItemOf<16>(item); }
    void* GetItem24(uint32_t i) { return GetItemOf<24>(i); }
    bool AppendItem24(const void* item) { return AppendItemOf<24>(item); }
    bool AppendItem28(const void* item) { return AppendItemOf<28>(item); }
    void* GetItem44(uint32_t i) { return GetItemOf<44>(i); }
    bool AppendItem44(const void* item) { return AppendItemOf<44>(item); }
    void* GetItem52(uint32_t i) { return GetItemOf<52>(i); }
    bool AppendItem52(const void* item) { return AppendItemOf<52>(item); }
    bool AppendItem128(const void* item) { return AppendItemOf<128>(item); }

    void Clear(bool recycle);
    // Keeps the first `count` items of `size` bytes; the pages past them go to the free-page
    // list.
    void Truncate(uint32_t count, uint32_t size);
    void FreeAll();
    Page* AllocPage();
    bool BuildPageIndex();

    // Size-generic forms of the typed operations above.
    void* GetItem(uint32_t i, uint32_t size);
    // Item i of a size known here: through the page index, when it stands, without a call or
    // a division at run time (the chart code reads millions of items a second).
    template <uint32_t Size> void* GetItemOf(uint32_t i) {
        static_assert(Size > 0 && Size <= kPagePayload);
        constexpr uint32_t perPage = kPagePayload / Size;
        if (indexValid_ && i < itemCount_) return pageIndex_[i / perPage] + (i % perPage) * Size;
        return GetItem(i, Size);
    }
    // Appends to the last page while it has room, else as `AppendItem` does.
    template <uint32_t Size> bool AppendItemOf(const void* item) {
        static_assert(Size > 0 && Size <= kPagePayload);
        Page* page = currentPage_;
        if (!page || page->next || page->used + Size > kPagePayload) return AppendItem(item, Size);
        PutOnPage(page, item, Size);
        return true;
    }
    bool AppendItem(const void* item, uint32_t size);

    Page* FirstPage() const { return firstPage_; }
    uint32_t PageCount() const { return pageCount_; }
    uint32_t FreePageCount() const { return freePageCount_; }
    uint32_t ItemCount() const { return itemCount_; }
    bool IndexValid() const { return indexValid_ != 0; }

private:
    Page* PageForAppend(uint32_t size);
    // Appends the item at the end of the page, which has room for it.
    void PutOnPage(Page* page, const void* item, uint32_t size) {
        std::memcpy(page->payload + page->used, item, size);
        page->used = uint16_t(page->used + size);
        currentPage_ = page;
        ++itemCount_;
        indexValid_ = 0;
    }

    Page* firstPage_ = nullptr;
    Page* freePages_ = nullptr;
    Page* currentPage_ = nullptr;
    uint8_t** pageIndex_ = nullptr;
    uint32_t indexCapacity_ = 0;
    // Pages only ever join the end of the chain, so an index rebuilt after appends
    // keeps the entries it had and adds the new pages.
    uint32_t indexedPages_ = 0;
    Page* lastIndexed_ = nullptr;
    uint8_t indexValid_ = 0;
    uint32_t pageCount_ = 0;
    uint32_t freePageCount_ = 0;
    uint32_t itemCount_ = 0;
};

} // namespace vl
