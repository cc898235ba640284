#include "model/arrayelements.h"

#include "model/rangeops.h"

#include <new>
#include <vector>

namespace vl {

namespace {

bool IsElement(const uint8_t* r) {
    return (cell::Flags(r) & kCellArrayElement) != 0;
}

CellRange CellAt(const uint8_t* r) {
    return {cell::Column(r), cell::Row(r), cell::Column(r), cell::Row(r)};
}

} // namespace

void DropStrayArrayElements(CCellStore& store) {
    try {
        std::vector<CellRange> areas;
        bool elements = false;
        CellCursor cursor{kAdvance, store.FirstPage(), 0};
        while (const uint8_t* r = NextCellRecord(cursor)) {
            if (IsSpreadArrayAnchor(r)) areas.push_back(SpreadArrayArea(r));
            elements = elements || IsElement(r);
        }
        if (!elements) return;
        // Records come in (row, column) order, as the index wants its questions.
        CClearSetIndex owned(areas);
        std::vector<CellRange> strays;
        cursor = CellCursor{kAdvance, store.FirstPage(), 0};
        while (const uint8_t* r = NextCellRecord(cursor))
            if (IsElement(r) && !owned.Contains(cell::Column(r), cell::Row(r)))
                strays.push_back(CellAt(r));
        ClearCells(store, strays, true);
    } catch (const std::bad_alloc&) {
    }
}

void ClearArrayElements(CCellStore& store, const CellRange& area, bool freePages) {
    try {
        std::vector<CellRange> elements;
        CellCursor cursor{kAdvance, store.StartPageForRow(area.r1), 0};
        while (const uint8_t* r = GetNextCellInRange(cursor, area))
            if (IsElement(r)) elements.push_back(CellAt(r));
        ClearCells(store, elements, freePages);
    } catch (const std::bad_alloc&) {
    }
}

} // namespace vl
