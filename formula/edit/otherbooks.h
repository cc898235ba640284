#pragma once
// Formulas of other open workbooks that name a worksheet of the edited one through its file
// ("'[A.vln]\\S1'!A5") follow its edits. They are planned before the edit, so that a
// reference pushed off the sheet or a text past its limit refuses the edit whole, and kept
// with its undo entry, so that Undo and Redo give back exactly the texts of each.

#include "formula/edit/referenceplan.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vl {

struct OtherBookPlan {
    CWorkbook* book;
    FormulaPlan before, after;
};

// The rewrite of one formula (internal text, cell, its worksheet) into `out`;
// false when it cannot be made.
using OtherBookRewrite =
    std::function<bool(CEvalContext& ctx, std::string_view text, uint16_t column, uint32_t row,
                       const CWorksheet& own, std::string& out)>;

// The rewrites in every other open workbook. False with `workbook`'s error: `refused` when a
// rewrite cannot be made, 117 when a text would pass its limit, 8 when memory runs out.
bool PlanOtherWorkbooks(CWorkbook& workbook, const OtherBookRewrite& rewrite, ErrorCode refused,
                        std::vector<OtherBookPlan>& plans);

// Puts the planned texts in and, given an entry, keeps them there. False when memory ran
// out for one of the workbooks, which then keeps its texts.
bool ApplyOtherWorkbooks(std::vector<OtherBookPlan>& plans, UndoEntry* entry);

// Carries out an entry's kept rewrites in the workbooks still open (undo or redo alike).
// False when memory ran out.
bool ExchangeOtherWorkbooks(const UndoEntry& entry);

} // namespace vl
