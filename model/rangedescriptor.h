#pragma once
// Cell references and ranges as commands, views, page setups and the undo history pass them.

#include "model/cellrange.h"
#include "model/cellrecord.h"
#include "model/cellref.h"

#include <cstdint>

namespace vl {

enum RangeKind : uint8_t {
    kRangeWholeRows = 1,
    kRangeWholeColumns = 8,
    kRangePlain = 9,
};

struct RangeDescriptor {
    uint16_t c1 = 0;
    uint32_t r1 = 0;
    uint8_t kind = 0;
    uint16_t c2 = 0;
    uint32_t r2 = 0;
    uint8_t kind2 = 0; // the kind again
    CellRange Range() const { return {c1, r1, c2, r2}; }
};

// Whole columns are tested first, so the whole sheet is kind 8.
void MakeRangeDescriptor(const CellRange& range, RangeDescriptor* out);

constexpr uint32_t kCellRefSize = 12;
constexpr uint32_t kRangeDescriptorSize = 24;
void WriteCellRef(uint8_t* p, const CellRef& r);
void ReadCellRef(const uint8_t* p, CellRef& r);
void WriteRangeDescriptor(uint8_t* p, const RangeDescriptor& r);
void ReadRangeDescriptor(const uint8_t* p, RangeDescriptor& r);

} // namespace vl
