#pragma once
// Checks a block of a store's row index against the pages themselves: what building the
// block afresh would give.

#include "model/cellstore.h"

#include <gtest/gtest.h>
#include <map>
#include <tuple>
#include <vector>

namespace vl::storetest {

// Every row of the block names its first record (or none), and the block's column marks are
// exactly the records 8, 16, ... of each row (its first counted as 0), in order.
inline ::testing::AssertionResult IndexMatchesPages(const CCellStore& store, uint32_t block) {
    if (!store.BlockValid(block)) return ::testing::AssertionFailure() << "block not indexed";
    const uint32_t first = block * kRowBlockRows, end = first + kRowBlockRows;
    std::map<uint32_t, std::pair<const Page*, uint32_t>> firsts;
    std::map<uint32_t, uint32_t> seen;
    using Mark = std::tuple<const Page*, uint32_t, uint16_t, uint32_t>;
    std::vector<Mark> marks;
    for (const Page* p = store.FirstPage(); p; p = p->next)
        for (uint32_t at = 0; at < p->used; at += cell::Length(p->payload + at)) {
            const uint8_t* r = p->payload + at;
            const uint32_t row = cell::Row(r);
            if (row < first || row >= end) continue;
            const uint32_t k = seen[row]++;
            if (k == 0) firsts[row] = {p, at};
            if (k > 0 && k % kColumnMarkEvery == 0) marks.emplace_back(p, row, cell::Column(r), at);
        }
    for (uint32_t row = first; row < end; ++row) {
        const RowIndexEntry* entry = store.RowEntry(row);
        const auto it = firsts.find(row);
        const Page* page = it == firsts.end() ? nullptr : it->second.first;
        const uint32_t offset = it == firsts.end() ? 0 : it->second.second;
        if (!entry || entry->page != page || (page && entry->offset != offset))
            return ::testing::AssertionFailure() << "entry of row " << row;
    }
    std::vector<Mark> held;
    for (uint32_t i = 0; i < store.ColumnMarkCount(block); ++i) {
        const ColumnMark& m = store.ColumnMarks(block)[i];
        held.emplace_back(m.page, m.row, m.column, m.offset);
    }
    if (held != marks)
        return ::testing::AssertionFailure() << "block " << block << ": " << held.size()
                                             << " marks, " << marks.size() << " records to mark";
    return ::testing::AssertionSuccess();
}

} // namespace vl::storetest
