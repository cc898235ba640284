#include "model/cellstore.h"
#include "model/cellwalk.h"

#include <cstdlib>
#include <cstring>

namespace vl {

namespace {

using Entry = CCellStore::DirectoryEntry;

uint32_t RowOf(const Page* page) {
    return page->used ? cellwalk::FirstRow(page) : 0;
}

// Position of `page` in the directory, or `size` when it is not there. The pages' first
// rows never decrease along the chain, so a page that holds records is found by
// bisection among the few that start on the same row.
uint32_t Find(const Entry* directory, uint32_t size, const Page* page) {
    if (page->used) {
        const uint32_t row = cellwalk::FirstRow(page);
        uint32_t lo = 0, hi = size;
        while (lo < hi) {
            const uint32_t mid = lo + (hi - lo) / 2;
            const Page* p = directory[mid].page;
            if (p->used && cellwalk::FirstRow(p) < row)
                lo = mid + 1;
            else
                hi = mid;
        }
        for (uint32_t i = lo; i < size && directory[i].page->used; ++i) {
            if (directory[i].page == page) return i;
            if (cellwalk::FirstRow(directory[i].page) != row) break;
        }
    }
    uint32_t i = 0;
    while (i < size && directory[i].page != page) ++i;
    return i;
}

} // namespace

// Only the prefix of non-empty pages goes in: a walk never passes an empty page either.
// The directory is a cache, so it takes plain heap memory and does without on failure.
bool CCellStore::BuildDirectory() const {
    if (directoryValid_) return true;
    if (directoryCapacity_ < pageCount_) {
        std::free(directory_);
        directoryCapacity_ = 0;
        // Room to follow the splits of a while before it has to be built again.
        const uint32_t capacity = pageCount_ + pageCount_ / 4 + 16;
        directory_ = static_cast<Entry*>(std::malloc(sizeof(Entry) * capacity));
        if (!directory_) return false;
        directoryCapacity_ = capacity;
    }
    uint32_t n = 0;
    for (Page* p = firstPage_; p && n < directoryCapacity_; p = p->next) {
        if (n > 0 && p->used == 0) break;
        directory_[n++] = {p, RowOf(p)};
    }
    directorySize_ = n;
    directoryValid_ = true;
    return true;
}

void CCellStore::FreeDirectory() {
    std::free(directory_);
    directory_ = nullptr;
    directorySize_ = directoryCapacity_ = 0;
    directoryValid_ = false;
}

// A page linked after `after` (at the front when null) takes the place after it. An empty
// page past the first, or one that does not fit, makes the directory be built afresh.
void CCellStore::DirectoryInsert(Page* page, Page* after) {
    if (!directoryValid_) return;
    const uint32_t at = after ? Find(directory_, directorySize_, after) + 1 : 0;
    // An empty page stays out unless it is the first, and then nothing may follow it.
    const bool emptyInside = (page->used == 0 && page != firstPage_) ||
                             (at == 0 && directorySize_ > 0 && directory_[0].page->used == 0);
    if (at > directorySize_ || emptyInside || directorySize_ == directoryCapacity_) {
        DropDirectory();
        return;
    }
    std::memmove(directory_ + at + 1, directory_ + at, (directorySize_ - at) * sizeof(Entry));
    directory_[at] = {page, RowOf(page)};
    if (at > 0) directory_[at - 1].row = RowOf(directory_[at - 1].page);
    ++directorySize_;
}

void CCellStore::DirectoryErase(Page* page, Page* prev) {
    if (!directoryValid_) return;
    // The page is emptied or gone; it stood just after its previous page.
    uint32_t at = prev ? Find(directory_, directorySize_, prev) + 1 : 0;
    if (at >= directorySize_ || directory_[at].page != page) at = directorySize_;
    // A page past the directory's end may have been what ended it.
    if (at == directorySize_ || !firstPage_) {
        DropDirectory();
        return;
    }
    std::memmove(directory_ + at, directory_ + at + 1, (directorySize_ - at - 1) * sizeof(Entry));
    --directorySize_;
}

Page* CCellStore::StartPageForRow(uint32_t row) const {
    if (!firstPage_) return nullptr;
    const uint32_t at = DirectoryIndexForRow(row);
    if (at == UINT32_MAX) {
        Page* page = firstPage_;
        uint32_t offset = 0;
        cellwalk::PositionOnRow(page, offset, row);
        return page;
    }
    return directory_[at].page;
}

uint32_t CCellStore::DirectoryIndexForRow(uint32_t row) const {
    if (!firstPage_ || !BuildDirectory()) return UINT32_MAX;
    // Pages 1.. whose first row lies before `row` form a prefix; take its last page. The
    // rows kept in the entries find it without reading the pages; the two pages that
    // decide are then read to make sure.
    const auto search = [&](bool kept) {
        uint32_t lo = 1, hi = directorySize_;
        while (lo < hi) {
            const uint32_t mid = lo + (hi - lo) / 2;
            Entry& e = directory_[mid];
            if (!kept) e.row = RowOf(e.page);
            if (e.row < row)
                lo = mid + 1;
            else
                hi = mid;
        }
        return lo - 1;
    };
    uint32_t at = search(true);
    const bool before = at == 0 || RowOf(directory_[at].page) < row;
    const bool last = at + 1 == directorySize_ || RowOf(directory_[at + 1].page) >= row;
    if (!before || !last) at = search(false);
    return at;
}

} // namespace vl
