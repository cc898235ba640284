#include "model/inspectedcell.h"

#include "model/rangedescriptor.h"
#include "model/stylerecords.h"

namespace vl {

void WriteInspectedCellRecord(uint8_t* p, const InspectedCellRecord& r) {
    WriteCellRef(p, r.cell);
    WriteTextField(p + 12, r.worksheet, kInspectedPathSize);
    WriteTextField(p + 268, r.name, kInspectedNameSize);
}

void ReadInspectedCellRecord(const uint8_t* p, InspectedCellRecord& r) {
    ReadCellRef(p, r.cell);
    ReadTextField(p + 12, r.worksheet, kInspectedPathSize);
    ReadTextField(p + 268, r.name, kInspectedNameSize);
}

bool GetInspectedCell(CPagedList& list, uint32_t index, InspectedCellRecord& out) {
    const void* item = list.GetItem(index, kInspectedCellRecordSize);
    if (!item) return false;
    ReadInspectedCellRecord(static_cast<const uint8_t*>(item), out);
    return true;
}

bool AppendInspectedCell(CPagedList& list, const InspectedCellRecord& r) {
    uint8_t bytes[kInspectedCellRecordSize];
    WriteInspectedCellRecord(bytes, r);
    return list.AppendItem(bytes, kInspectedCellRecordSize);
}

} // namespace vl
