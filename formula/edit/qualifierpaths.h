#pragma once
// Rewriting the worksheet and folder names that formulas qualify references with, when a
// tree item is renamed or moved: a formula that named the item (or anything below it) by
// its old path names it by the new one, and a formula on a moved worksheet that named
// another item from its old folder still names that item from the new one.

#include "formula/edit/referenceplan.h"

#include <string>
#include <string_view>

namespace vl {

class CTreeItem;

// An item, with its subtree, about to get the path `newPath` ("\A\Name").
struct TreePathChange {
    const CTreeItem* item;
    std::string newPath;
};

// The change of a rename of `item` to `name`.
TreePathChange RenamePathChange(const CTreeItem& item, std::string_view name);
// The change of a move of `item` to `target` as InsertTreeItem places it: into a target
// folder, beside a target worksheet, or at the top level without one.
TreePathChange MovePathChange(const CTreeItem& item, const CTreeItem* target);

// The rewrite of the formula text of cell (column, row) of `sheet`, made before the tree
// changes. `out` equals `text` when no name changes. A name is written bare when it reads
// back as one, else quoted.
void RewriteQualifierPaths(CEvalContext& ctx, std::string_view text, uint16_t column, uint32_t row,
                           const CWorksheet& sheet, const TreePathChange& change, std::string& out);

// The name as a formula writes it: bare when it reads back as that one name, else quoted;
// false when no quoting can hold it.
bool WrittenQualifierName(CEvalContext& ctx, const std::string& name, std::string& out);

// The rewrites of every worksheet's formulas for the change, worksheets inside the changed
// subtree included.
void PlanTreePathChange(CEvalContext& ctx, const CWorkbook& workbook, const TreePathChange& change,
                        FormulaPlan& plan);

} // namespace vl
