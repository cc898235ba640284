#pragma once
// Helpers of the cell-store and format-store tests: record builders, a whole-store dump,
// the structural checks every edit must keep, hand-built page chains and an
// allocation-failure guard.

#include "model/cellstore.h"
#include "platform/core/alloc.h"

#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <tuple>
#include <vector>

namespace vl::storetest {

// Restores the allocator's normal behaviour when a test ends, however it ends.
struct AllocFailGuard {
    explicit AllocFailGuard(long successes) { SetAllocFailAfter(successes); }
    ~AllocFailGuard() { SetAllocFailAfter(-1); }
};

inline std::vector<uint8_t> Number(uint16_t column, uint32_t row, double value) {
    CellBuffer b;
    MakeNumberCell(b, column, row, value);
    return {b.bytes, b.bytes + b.size};
}

inline std::vector<uint8_t> Text(uint16_t column, uint32_t row, size_t length, char fill = 't') {
    CellBuffer b;
    EXPECT_TRUE(MakeTextCell(b, column, row, std::string(length, fill)));
    return {b.bytes, b.bytes + b.size};
}

// A text record of exactly `size` bytes.
inline std::vector<uint8_t> Sized(uint16_t column, uint32_t row, size_t size, char fill = 's') {
    return Text(column, row, size - kTextHead, fill);
}

inline bool Put(CCellStore& store, const std::vector<uint8_t>& record, CellCursor& cursor) {
    return store.PutCell(record.data(), cursor);
}

inline bool Put(CCellStore& store, const std::vector<uint8_t>& record) {
    CellCursor cursor;
    return store.PutCell(record.data(), cursor);
}

// Every record of the store, in chain order.
inline std::vector<std::vector<uint8_t>> Dump(const CCellStore& store) {
    std::vector<std::vector<uint8_t>> out;
    CellCursor cursor{kAdvance, store.FirstPage(), 0};
    while (const uint8_t* r = NextCellRecord(cursor)) out.emplace_back(r, r + cell::Length(r));
    return out;
}

// Records lie in increasing (row, column) order, fill each page without a gap, no page
// is empty or over-full, the links agree both ways and the page count matches the chain.
inline ::testing::AssertionResult Consistent(const CCellStore& store) {
    uint32_t pages = 0;
    bool haveLast = false;
    uint32_t lastRow = 0;
    uint16_t lastColumn = 0;
    const Page* prev = nullptr;
    for (const Page* p = store.FirstPage(); p; prev = p, p = p->next) {
        ++pages;
        if (p->prev != prev) return ::testing::AssertionFailure() << "broken back link";
        if (p->used == 0 || p->used > kPagePayload)
            return ::testing::AssertionFailure() << "page " << pages << " used " << p->used;
        uint32_t offset = 0;
        while (offset < p->used) {
            const uint8_t* r = p->payload + offset;
            const uint32_t len = cell::CheckedLength(r);
            if (len == 0 || offset + len > p->used)
                return ::testing::AssertionFailure() << "record overruns page " << pages;
            if (haveLast && !cell::Before(lastRow, lastColumn, cell::Row(r), cell::Column(r)))
                return ::testing::AssertionFailure()
                       << "order broken at row " << cell::Row(r) << " col " << cell::Column(r);
            haveLast = true;
            lastRow = cell::Row(r);
            lastColumn = cell::Column(r);
            offset += len;
        }
    }
    if (pages != store.PageCount())
        return ::testing::AssertionFailure()
               << "page count " << store.PageCount() << " but chain " << pages;
    return ::testing::AssertionSuccess();
}

// A chain of pages holding the given records, page by page, for AdoptPages.
inline Page* MakeChain(const std::vector<std::vector<std::vector<uint8_t>>>& pages) {
    Page* first = nullptr;
    Page* last = nullptr;
    for (const auto& records : pages) {
        auto* page = static_cast<Page*>(AllocBlock(sizeof(Page)));
        page->next = nullptr;
        page->prev = last;
        page->used = 0;
        for (const auto& r : records) {
            std::memcpy(page->payload + page->used, r.data(), r.size());
            page->used = uint16_t(page->used + r.size());
        }
        if (last)
            last->next = page;
        else
            first = page;
        last = page;
    }
    return first;
}

// The (row, column) keys of the records on each page.
inline std::vector<std::vector<std::pair<uint32_t, uint16_t>>> PageKeys(const CCellStore& s) {
    std::vector<std::vector<std::pair<uint32_t, uint16_t>>> out;
    for (const Page* p = s.FirstPage(); p; p = p->next) {
        out.emplace_back();
        for (uint32_t offset = 0; offset < p->used;) {
            const uint8_t* r = p->payload + offset;
            out.back().emplace_back(cell::Row(r), cell::Column(r));
            offset += cell::Length(r);
        }
    }
    return out;
}

// The columns of the records on each page, pages parted by " | ".
inline std::string Layout(const CCellStore& s) {
    std::string out;
    for (const Page* p = s.FirstPage(); p; p = p->next) {
        out += out.empty() ? "" : " |";
        for (uint32_t offset = 0; offset < p->used; offset += cell::Length(p->payload + offset))
            out += " " + std::to_string(cell::Column(p->payload + offset));
    }
    return out;
}

// What a failed edit must leave as it was: the records, the page and free-byte counts, the
// free pages and the blocks in use.
inline auto StoreState(const CCellStore& s) {
    return std::tuple(Dump(s), s.PageCount(), s.FreeBytes(), s.FreePageCount(), LiveBlockCount());
}

} // namespace vl::storetest
