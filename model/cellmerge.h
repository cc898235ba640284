#pragma once
// Rebuilding the rows of a cell store from its own records and a feed of new ones. Used by
// the block operations and by the undo restores.

#include "model/rangedescriptor.h"
#include "model/rangeops.h"
#include "model/rowsplice.h"

#include <cstdint>
#include <vector>

namespace vl {

// A record to put and the cell it goes to.
struct PlacedCell {
    const uint8_t* record;
    uint32_t size;
    uint16_t column;
    uint32_t row;
};

// The records of a source rectangle, shifted by (dc, dr); the shifted rectangle lies on the
// sheet, so every record read lands on it.
class CRangeFeed {
public:
    CRangeFeed(const CCellStore& source, const CellRange& rect, int64_t dc, int64_t dr)
        : rect_(rect), dc_(dc), dr_(dr), cursor_{kAdvance, source.StartPageForRow(rect.r1), 0} {}
    bool Next(PlacedCell& out) {
        const uint8_t* r = GetNextCellInRange(cursor_, rect_);
        if (!r) return false;
        out = {r, cell::Length(r), uint16_t(cell::Column(r) + dc_), uint32_t(cell::Row(r) + dr_)};
        return true;
    }

private:
    CellRange rect_;
    int64_t dc_, dr_;
    CellCursor cursor_;
};

// Records already placed, in (row, column) order.
class CListFeed {
public:
    explicit CListFeed(const std::vector<PlacedCell>& cells) : cells_(cells) {}
    bool Next(PlacedCell& out) {
        if (next_ >= cells_.size()) return false;
        out = cells_[next_++];
        return true;
    }

private:
    const std::vector<PlacedCell>& cells_;
    size_t next_ = 0;
};

inline uint8_t* AppendPlaced(CRowSplice& splice, const PlacedCell& c) {
    uint8_t* at = splice.Append(c.record, c.size);
    if (at) {
        StoreU16(at + 1, c.column);
        StoreU32(at + 3, c.row);
    }
    return at;
}

// The new content of a splice over rows r1..r2: the old records less those inside the clear
// set, with the feed's records merged in (a fed record replaces an old one of the same
// cell). The feed's cells lie in rows r1..r2 and come in (row, column) order. False when
// pages could not be had; nothing is in place until the splice is committed.
template <class Feed>
bool FillCells(CRowSplice& splice, uint32_t r1, uint32_t r2, const std::vector<CellRange>& clear,
               Feed& feed) {
    CClearSetIndex cleared(clear);
    PlacedCell in{};
    bool haveIn = feed.Next(in);
    while (const uint8_t* old = splice.NextOld()) {
        const uint32_t row = cell::Row(old);
        const uint16_t column = cell::Column(old);
        while (haveIn && cell::Before(in.row, in.column, row, column)) {
            if (!AppendPlaced(splice, in)) return false;
            haveIn = feed.Next(in);
        }
        if (haveIn && in.row == row && in.column == column) continue;
        if (row >= r1 && row <= r2 && cleared.Contains(column, row)) continue;
        if (!splice.Append(old, cell::Length(old))) return false;
    }
    for (; haveIn; haveIn = feed.Next(in))
        if (!AppendPlaced(splice, in)) return false;
    return true;
}

template <class Feed>
bool RebuildCells(CCellStore& store, uint32_t r1, uint32_t r2, const std::vector<CellRange>& clear,
                  Feed& feed) {
    CRowSplice splice(store, kCellLayout, r1, r2);
    if (!FillCells(splice, r1, r2, clear, feed)) return false;
    splice.Commit();
    return true;
}

// The source block whose cells land in target t when (sc, sr) goes to t's top-left cell,
// cut at the sheet's edges; an empty block when t is inverted.
CellRange CopySourceBlock(const CellRange& t, uint16_t sc, uint32_t sr);

} // namespace vl
