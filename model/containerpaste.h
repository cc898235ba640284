#pragma once
// Containers kept by undo-table entries, put back on worksheets: pasted under a free id,
// or exchanged with the container they replaced.

#include "model/container.h"
#include "model/undoentry.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace vl {

class CWorkbook;

constexpr uint16_t kMaxContainerId = 65533;

// The highest id handed out: kMaxContainerId, lowered by tests that must run out of ids
// without placing 65,533 containers (0 puts it back).
void SetContainerIdLimit(uint16_t limit);

// The ids the containers of every worksheet of a workbook use, handing out free ones.
class CContainerIds {
public:
    explicit CContainerIds(const CWorkbook& workbook);
    bool Used(uint16_t id) const { return id < used_.size() && used_[id]; }
    // The smallest free id from 1 to the limit, then counted as used; 0 when none is free.
    uint16_t Take();

private:
    std::vector<bool> used_;
};

// Pastes a copy of the container kept in entry `index` onto the worksheet: anchored at
// `anchor`, its frame moved to left 4, top 2 with its size kept, under the smallest free
// id, at the end of the list. False with 12 for an entry without a container, 8 when memory
// runs out, 22 when no id is free; nothing is pasted then.
bool RestoreContainerFromUndo(CWorkbook& workbook, CWorksheet& ws, const CellRef& anchor,
                              UndoHistory& history, int32_t index);

// Puts `replacement` in the place of `onSheet` in the worksheet's list and hands the
// container it replaced back.
std::unique_ptr<CContainer> ReplaceContainer(CWorksheet& ws, CContainer* onSheet,
                                             std::unique_ptr<CContainer> replacement);

} // namespace vl
