#pragma once
// The cell pages of the values-only copy that lets a protected workbook open without its
// password: every formula becomes the cell that typing its shown value gives, every other
// record loses its array-element bit, and the records are packed into as many pages as
// they need.

#include "model/pagedlist.h"

#include <cstdint>
#include <vector>

namespace vl {

class CEvalContext;
class CWorkbook;
class CWorksheet;

struct PlainPage {
    uint16_t used = 0;
    uint8_t bytes[kPagePayload];
};

// Throws std::bad_alloc when the pages cannot be had.
void BuildPlainCopyPages(const CWorkbook& workbook, const CWorksheet& sheet, CEvalContext& ctx,
                         std::vector<PlainPage>& pages);

} // namespace vl
