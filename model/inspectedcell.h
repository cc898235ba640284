#pragma once
// One watched cell of the inspect pane. The workbook keeps them in a paged list whose items
// are the 396-byte stored form, twenty to a page, so that files copy them whole.

#include "model/cellref.h"
#include "model/pagedlist.h"

#include <cstdint>

namespace vl {

constexpr uint32_t kInspectedCellRecordSize = 396;
constexpr int kInspectedPathSize = 256;
constexpr int kInspectedNameSize = 128;

struct InspectedCellRecord {
    CellRef cell{0, 0, kRefCell};            // the inspect pane and the readers store flags 9
    char worksheet[kInspectedPathSize] = {}; // the worksheet's tree path, empty when none
    char name[kInspectedNameSize] = {};      // the caption, empty when none
};

void WriteInspectedCellRecord(uint8_t* p, const InspectedCellRecord& r);
void ReadInspectedCellRecord(const uint8_t* p, InspectedCellRecord& r);

// Item `index` of a list of inspected cells; false past its end.
bool GetInspectedCell(CPagedList& list, uint32_t index, InspectedCellRecord& out);
// Appends a record to a list of inspected cells; false when no page was to be had.
bool AppendInspectedCell(CPagedList& list, const InspectedCellRecord& r);
// Removes item `index`; the later items move up by one. False past the end, or when the
// list could not be rebuilt (it then holds the items before the failure).
bool RemoveInspectedCell(CPagedList& list, uint32_t index);

} // namespace vl
