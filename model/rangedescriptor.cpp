#include "model/rangedescriptor.h"

#include "platform/core/bytes.h"

#include <cstring>

namespace vl {

void MakeRangeDescriptor(const CellRange& range, RangeDescriptor* out) {
    uint8_t kind = kRangePlain;
    if (range.r1 == 0 && range.r2 == kLastRow)
        kind = kRangeWholeColumns;
    else if (range.c1 == 0 && range.c2 == kLastColumn)
        kind = kRangeWholeRows;
    *out = {range.c1, range.r1, kind, range.c2, range.r2, kind};
}

void WriteCellRef(uint8_t* p, const CellRef& r) {
    std::memset(p, 0, kCellRefSize);
    StoreU16(p, r.column);
    StoreU32(p + 4, r.row);
    p[8] = r.flags;
}

void ReadCellRef(const uint8_t* p, CellRef& r) {
    r.column = LoadU16(p);
    r.row = LoadU32(p + 4);
    r.flags = p[8];
}

void WriteRangeDescriptor(uint8_t* p, const RangeDescriptor& r) {
    WriteCellRef(p, {r.c1, r.r1, r.kind});
    WriteCellRef(p + kCellRefSize, {r.c2, r.r2, r.kind2});
}

void ReadRangeDescriptor(const uint8_t* p, RangeDescriptor& r) {
    CellRef first, last;
    ReadCellRef(p, first);
    ReadCellRef(p + kCellRefSize, last);
    r = {first.column, first.row, first.flags, last.column, last.row, last.flags};
}

} // namespace vl
