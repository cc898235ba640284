#include "model/container.h"
#include "model/rangeops.h"
#include "model/workbook.h"

namespace vl {

namespace {

// A copy of one worksheet, or null when its cells or formats could not be copied.
std::unique_ptr<CWorksheet> CloneWorksheet(CWorksheet& source) {
    auto copy = NewBlockObject<CWorksheet>(source.name, source.level);
    if (!copy) return nullptr;
    if (!CopyFrom(source.cells, copy->cells) || !CopyFormatStore(source.formats, copy->formats))
        return nullptr;
    for (CContainer* c = source.firstContainer; c; c = c->next) {
        auto container = NewBlockObject<CContainer>();
        if (!container) {
            c->status = kContainerCopyFailed;
            continue;
        }
        InitContainerDefaults(*container, nullptr, nullptr);
        if (!CopyContainerTo(*c, *container)) {
            c->status = kContainerCopyFailed;
            continue;
        }
        LinkContainer(*copy, std::move(container));
    }
    copy->pageSetup = source.pageSetup;
    copy->view = source.view;
    return copy;
}

} // namespace

CTreeItem* CWorksheet::Clone(CWorkbook& workbook, CTreeItem* item) {
    TreeChain chain;
    CTreeItem* last = nullptr;
    for (CTreeItem* p = item; p && (p == item || p->level > item->level); p = p->next) {
        std::unique_ptr<CTreeItem> copy;
        if (p->IsWorksheet())
            copy = CloneWorksheet(*static_cast<CWorksheet*>(p));
        else
            copy = NewBlockObject<CTreeItem>(p->name, p->level, p->itemType, p->expanded);
        if (!copy) {
            // All or nothing: a chain with a worksheet missing would paste or undo wrong.
            workbook.error = kErrorWorksheetMemory;
            return nullptr;
        }
        copy->prev = last;
        if (last)
            last->next = copy.get();
        else
            chain.reset(copy.get());
        last = copy.release();
    }
    return chain.release();
}

} // namespace vl
