#pragma once
// Worksheets and folders named in formulas: item paths looked up case-insensitively, the
// folder path of a worksheet, a rectangle gathered from every item below a folder, and a
// range read into a temporary array.

#include "formula/evalcontext.h"

#include <string>
#include <string_view>

namespace vl {

class CTreeItem;

// The folder path ("\" or "\A\B\") of the worksheet whose store `cells` is; empty when no
// worksheet of the context's list owns it.
void GetFolderPath(const CEvalContext& ctx, const CCellStore* cells, std::string& out);

// The first item from `start` (null: the head of the context's list) whose path equals
// `path` in any case; null when none. Paths of 256 characters or more match nothing.
CTreeItem* FindNodeByPath(const CEvalContext& ctx, std::string_view path,
                          CTreeItem* start = nullptr);

// Turns a reference or range entry into the array that stacks its rectangle from every
// item below the folder, one block of rows per item in tree order (folders leave theirs
// empty). A folder with nothing below it gives #REF!.
void GatherFolderRange(CEvalContext& ctx, FormulaToken& entry, const CTreeItem& folder);

// Turns a range entry into a temporary array of the values of its cells.
void FetchRangeValues(CEvalContext& ctx, FormulaToken& entry);

} // namespace vl
