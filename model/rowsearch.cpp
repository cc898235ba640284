#include "model/rowsearch.h"

#include "model/cellrecord.h"
#include "model/cellstore.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace vl {

namespace {

// Two cells are identical when their records match byte for byte with the row set aside.
bool SameCell(const uint8_t* a, const uint8_t* b) {
    const uint32_t length = cell::Length(a);
    if (length != cell::Length(b) || a[0] != b[0] || std::memcmp(a + 1, b + 1, 2) != 0)
        return false;
    return std::memcmp(a + 7, b + 7, length - 7) == 0;
}

class RowJudge {
public:
    RowJudge(const CCellStore& store, uint16_t first, uint16_t last, uint32_t startRow,
             RowSearch kind)
        : first_(first), width_(uint32_t(last - first) + 1), kind_(kind), start_(width_),
          row_(width_) {
        if (kind == RowSearch::kIdentical || kind == RowSearch::kDifferent) {
            CellCursor cursor{kAdvance, store.FirstPage(), 0};
            const CellRange rect{first, startRow, last, startRow};
            while (const uint8_t* r = GetNextCellInRange(cursor, rect)) {
                start_[cell::Column(r) - first] = r;
                ++startCount_;
            }
        }
    }

    // Whether a row holding none of the columns qualifies.
    bool EmptyQualifies() const {
        switch (kind_) {
        case RowSearch::kNonEmpty:
            return false;
        case RowSearch::kEmpty:
            return true;
        case RowSearch::kIdentical:
            return startCount_ == 0;
        case RowSearch::kDifferent:
            return startCount_ == width_;
        }
        return false;
    }

    void Add(const uint8_t* record) {
        row_[cell::Column(record) - first_] = record;
        ++rowCount_;
    }

    // Judges the row gathered by Add and forgets it.
    bool TakeRow() {
        bool ok = true;
        switch (kind_) {
        case RowSearch::kNonEmpty:
            ok = rowCount_ == width_;
            break;
        case RowSearch::kEmpty:
            ok = rowCount_ == 0;
            break;
        case RowSearch::kIdentical:
        case RowSearch::kDifferent:
            for (uint32_t i = 0; i < width_ && ok; ++i) {
                const uint8_t *a = start_[i], *b = row_[i];
                const bool same = (!a && !b) || (a && b && SameCell(a, b));
                ok = (kind_ == RowSearch::kIdentical) == same;
            }
            break;
        }
        if (rowCount_) std::fill(row_.begin(), row_.end(), nullptr);
        rowCount_ = 0;
        return ok;
    }

private:
    uint16_t first_;
    uint32_t width_;
    RowSearch kind_;
    std::vector<const uint8_t*> start_;
    std::vector<const uint8_t*> row_;
    uint32_t startCount_ = 0;
    uint32_t rowCount_ = 0;
};

} // namespace

int64_t FindQualifyingRow(const CCellStore& store, uint16_t firstColumn, uint16_t lastColumn,
                          uint32_t startRow, RowSearch kind, bool backward) {
    if (firstColumn > lastColumn || lastColumn > kLastColumn || startRow > kLastRow) return -1;
    if (backward ? startRow == 0 : startRow == kLastRow) return -1;
    RowJudge judge(store, firstColumn, lastColumn, startRow, kind);
    const bool empties = judge.EmptyQualifies();
    // Upwards the walk still runs forwards, over the rows above the start, keeping the last
    // row that qualifies.
    const uint32_t from = backward ? 0 : startRow + 1;
    const uint32_t to = backward ? startRow - 1 : kLastRow;
    const CellRange rect{firstColumn, from, lastColumn, to};
    CellCursor cursor{kAdvance, store.FirstPage(), 0};
    int64_t found = -1;
    uint32_t expected = from; // the first row not yet judged
    int64_t gathering = -1;
    auto closeRow = [&]() -> bool {
        if (gathering < 0) return false;
        if (judge.TakeRow()) {
            found = gathering;
            if (!backward) return true;
        }
        expected = uint32_t(gathering) + 1;
        gathering = -1;
        return false;
    };
    while (const uint8_t* r = GetNextCellInRange(cursor, rect)) {
        const uint32_t row = cell::Row(r);
        if (int64_t(row) != gathering) {
            if (closeRow()) return found;
            if (row > expected && empties) {
                if (!backward) return expected;
                found = row - 1;
            }
            gathering = row;
        }
        judge.Add(r);
    }
    if (closeRow()) return found;
    if (expected <= to && empties) return backward ? int64_t(to) : int64_t(expected);
    return found;
}

} // namespace vl
