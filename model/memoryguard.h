#pragma once
// Edits keep their working lists in standard containers. Running out of memory there must
// end the edit the way a refused page does: error 8 and the worksheet as it was. Every
// edit wrapped here builds its result aside and commits only with operations that
// allocate nothing, so leaving by the exception changes nothing.

#include "platform/core/errorcode.h"

#include <new>

namespace vl {

template <class Workbook, class Edit> bool GuardWorksheetMemory(Workbook& workbook, Edit&& edit) {
    try {
        return edit();
    } catch (const std::bad_alloc&) {
        workbook.error = kErrorWorksheetMemory;
        return false;
    }
}

} // namespace vl
