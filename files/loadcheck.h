#pragma once
// The ranges every loaded record must keep so that each native form can hold it: the binary
// and version-6 readers check what they read against them after a load, so that a file of
// one form that loads also saves in the others and reads back.

#include "model/workbook.h"

namespace vl {

// True when every font, style, page, view, container, chart and series record lies within the
// ranges of the XML form; yes/no fields are made 0 or 1 on the way. False (error 21 for the
// caller) at the first field out of range.
bool SettleLoadedRecords(CWorkbook& book);

} // namespace vl
