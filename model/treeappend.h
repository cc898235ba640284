#pragma once
// Appending to the tree item after item, as a reader does, without walking it each time.

#include "model/workbook.h"

namespace vl {

// As CWorkbook::AppendTreeItem, with `last` the tree's last item (null for an empty tree),
// which the caller keeps: a reader of many items then appends each at once.
CTreeItem* AppendTreeItemAfter(CWorkbook& workbook, CTreeItem* last, uint8_t type, const char* name,
                               uint16_t level);

} // namespace vl
