#include "formula/edit/transposerefs.h"

#include "model/cellrecord.h"
#include "model/clearset.h"
#include "model/rangeops.h"

#include <algorithm>

namespace vl {

bool TurnCutsArray(const CCellStore& store, const CellRange& source, const CellRange& turned) {
    const auto meets = [](const CellRange& a, const CellRange& b) {
        return a.c1 <= b.c2 && b.c1 <= a.c2 && a.r1 <= b.r2 && b.r1 <= a.r2;
    };
    const auto holds = [](const CellRange& outer, const CellRange& inner) {
        return inner.c1 >= outer.c1 && inner.c2 <= outer.c2 && inner.r1 >= outer.r1 &&
               inner.r2 <= outer.r2;
    };
    CRecordWalk walk(store);
    while (const uint8_t* r = walk.Next()) {
        if (cell::Row(r) > std::max(source.r2, turned.r2)) break;
        if (!IsSpreadArrayAnchor(r)) continue;
        const CellRange area = SpreadArrayArea(r);
        if (holds(source, area)) continue;
        if (meets(area, source) || (meets(area, turned) && !holds(turned, area))) return true;
    }
    return false;
}

} // namespace vl
