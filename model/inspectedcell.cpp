#include "model/inspectedcell.h"

#include "model/rangedescriptor.h"
#include "model/stylerecords.h"

#include <vector>

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

bool RemoveInspectedCell(CPagedList& list, uint32_t index) {
    const uint32_t count = list.ItemCount();
    if (index >= count) return false;
    std::vector<uint8_t> kept;
    kept.reserve(size_t(count - 1) * kInspectedCellRecordSize);
    for (uint32_t i = 0; i < count; ++i) {
        if (i == index) continue;
        const auto* item = static_cast<const uint8_t*>(list.GetItem(i, kInspectedCellRecordSize));
        kept.insert(kept.end(), item, item + kInspectedCellRecordSize);
    }
    list.Clear(true);
    for (size_t at = 0; at < kept.size(); at += kInspectedCellRecordSize)
        if (!list.AppendItem(kept.data() + at, kInspectedCellRecordSize)) return false;
    return true;
}

} // namespace vl
