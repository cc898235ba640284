#pragma once
// Pasting copied worksheets and folders: a further copy of the chain an undo-table entry
// keeps, its styles brought into the workbook's tables, linked into the tree under a name
// no sibling has. Also the linking back of a detached chain at its old place.

#include "model/undoentry.h"

#include <cstdint>
#include <string>

namespace vl {

class CWorkbook;
struct TreeHead;

// "Data" gives "Data(1)", "Data(1)" gives "Data(2)", "Data(9)" gives "Data(10)". False, with
// the name unchanged in `out`, when the new name would pass `limit` characters.
bool NextCopyName(const char* name, std::string& out, size_t limit);

// Pastes the chain kept in entry `index` at `target` (see InsertTreeItem) and returns its
// first item, renamed so that no sibling has its name (letter case aside). Null with error 12
// for an entry without a chain, 8 when memory runs out, 14 when its styles would take the
// tables past 128 fonts or 512 styles, 22 when its containers find no free id, 116 when its
// name has no room for the counter that would set it apart from a sibling's; nothing is
// pasted then.
CTreeItem* CopyWorksheetUnique(CWorkbook& workbook, CTreeItem* target, UndoHistory& history,
                               int32_t index);

// Gives the item a name no sibling has: while a sibling's name equals it, the item takes the
// next copy name of that sibling's. False when a sibling keeps its name: the counter would
// take the name past 127 characters.
bool MakeSiblingNameUnique(CTreeItem& item);

// Links a free-standing chain back so that its first item stands at `position` of the list
// (at the end when the list is shorter), levels as they are; the counts grow by its items.
void LinkTreeChainAt(TreeHead& head, CTreeItem* chain, int32_t position);

} // namespace vl
