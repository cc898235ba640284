#pragma once
// The ranges a loaded record must keep to be one of ours: the binary and version-6 readers
// check what they read against them after a load. Valid values are kept as they were read;
// only damage is refused, or clamped where a safe value is plain.

#include "model/workbook.h"

namespace vl {

// True when every font, style, page, view, container, chart and series record lies within the
// ranges the program and the XML form work with. False (error 21 for the caller) at the first
// field out of range. Damage that has a plain safe value is clamped instead: container edges of
// -2^31, repeated container ids (made unique as the XML reader makes them), a chart type outside
// 1-3 (2D) and a legend code above 8 (no legend).
bool CheckLoadedRecords(CWorkbook& book);

// The page-setup part of that check: true when every form keeps the record and reads it back.
bool CheckPageSetupRecord(const PageSetupRecord& page);

} // namespace vl
