#pragma once
// What clearing a rectangle empties: the rectangle and the whole area of every multi-cell
// array formula anchored in it (and, in turn, in those areas). The set can hold tens of
// thousands of areas, so it is collected and asked in n log n.

#include "model/cellstore.h"

#include <cstdint>
#include <vector>

namespace vl {

// Whether a record anchors an array formula spread over more than one cell ("#FILL!" anchors
// spread over nothing), and the area it spreads over.
bool IsSpreadArrayAnchor(const uint8_t* record);
CellRange SpreadArrayArea(const uint8_t* record);

// The rectangles that clearing `rect` empties, without repeats; anchors whose spreading
// failed ("#FILL!") count as single cells.
std::vector<CellRange> CollectClearSet(const CCellStore& store, const CellRange& rect);

// The rows a clear set spans (kLastRow and 0 for an empty set).
void ClearSetRows(const std::vector<CellRange>& set, uint32_t* r1, uint32_t* r2);

// Answers whether a cell lies in a set of rectangles. Asked in (row, column) order, as the
// walks over a store ask, each question costs a logarithm of the columns: a sweep over the
// rows keeps the rectangles that reach the current row as coverage counts of the columns.
// A question out of order starts the sweep again.
class CClearSetIndex {
public:
    explicit CClearSetIndex(const std::vector<CellRange>& set);
    bool Contains(uint16_t column, uint32_t row);

private:
    void Restart();
    void Cover(uint16_t c1, uint16_t c2, int delta);
    int CoverageAt(uint16_t column) const;

    std::vector<CellRange> byTop_; // by first row
    std::vector<uint32_t> ends_;   // indexes into byTop_, a heap on the last row
    std::vector<int> columns_;     // Fenwick tree of column coverage changes
    size_t next_ = 0;
    uint32_t row_ = 0;
    bool started_ = false;
};

} // namespace vl
