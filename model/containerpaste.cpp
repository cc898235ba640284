#include "model/containerpaste.h"

#include "model/memoryguard.h"
#include "model/workbook.h"

namespace vl {

namespace {
uint16_t gIdLimit = kMaxContainerId;
}

void SetContainerIdLimit(uint16_t limit) {
    gIdLimit = limit == 0 || limit > kMaxContainerId ? kMaxContainerId : limit;
}

CContainerIds::CContainerIds(const CWorkbook& workbook) : used_(size_t(kMaxContainerId) + 1) {
    used_[0] = true; // 0 is no id
    for (const CTreeItem* p = workbook.tree.first; p; p = p->next)
        if (const CWorksheet* ws = AsWorksheet(p))
            for (const CContainer* c = ws->firstContainer; c; c = c->next)
                if (c->settings.id <= kMaxContainerId) used_[c->settings.id] = true;
}

uint16_t CContainerIds::Take() {
    for (uint32_t id = 1; id <= gIdLimit; ++id) {
        if (!used_[id]) {
            used_[id] = true;
            return uint16_t(id);
        }
    }
    return 0;
}

bool RestoreContainerFromUndo(CWorkbook& workbook, CWorksheet& ws, const CellRef& anchor,
                              UndoHistory& history, int32_t index) {
    CContainer* kept =
        index >= 0 && index < kUndoSlots && history.entries[index].kind == kUndoContainer
            ? history.entries[index].container.get()
            : nullptr;
    if (!kept) return workbook.error = kErrorInvalidCacheIndex, false;
    return GuardWorksheetMemory(workbook, [&] {
        const uint8_t status = kept->status;
        std::unique_ptr<CContainer> copy = CloneContainer(*kept);
        if (!copy) {
            kept->status = status; // reported through the workbook instead
            return workbook.error = kErrorWorksheetMemory, false;
        }
        // With no free id the copy goes again, and the workbook says why.
        const uint16_t id = CContainerIds(workbook).Take();
        if (id == 0) return workbook.error = kErrorTooManyContainers, false;
        ContainerSettings& s = copy->settings;
        s.anchor = anchor;
        s.right = 4 + (s.right - s.left);
        s.bottom = 2 + (s.bottom - s.top);
        s.left = 4;
        s.top = 2;
        s.id = id;
        LinkContainer(ws, std::move(copy));
        return true;
    });
}

std::unique_ptr<CContainer> ReplaceContainer(CWorksheet& ws, CContainer* onSheet,
                                             std::unique_ptr<CContainer> replacement) {
    CContainer* r = replacement.release();
    r->prev = onSheet->prev;
    r->next = onSheet->next;
    (r->prev ? r->prev->next : ws.firstContainer) = r;
    if (r->next) r->next->prev = r;
    onSheet->prev = onSheet->next = nullptr;
    return std::unique_ptr<CContainer>(onSheet);
}

} // namespace vl
