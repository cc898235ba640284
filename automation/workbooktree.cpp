// ITree: walking and editing the document's worksheet tree. Indexes count the items in
// display order from 0; an index below 1 names the first item, and one past the end makes
// the method change nothing and return S_FALSE. The edits are the window's tree commands,
// carried for automation: no undo entry (the document has no undo) and no recalculation
// (that is UpdateWorkbook's).
#include "automation/errorreport.h"
#include "automation/typelib.h"
#include "automation/workbookobj.h"
#include "formula/edit/treecommands.h"
#include "model/workbook.h"
#include "platform/core/cp1252.h"
#include "platform/core/editerrors.h"

namespace vl {

namespace {

constexpr size_t kPathBuffer = 256;

// The path of an item, upper-cased for comparison when asked; false when it is too long.
bool ItemPath(const CTreeItem* item, std::string& path, bool upper) {
    if (!BuildTreeItemPath(item, path, false)) return false;
    if (upper) UpperInPlace1252(path);
    return true;
}

// A name the item's field holds whole: in the code page and at most 127 bytes. Anything
// else would be cut or turned into question marks, so the call refuses it.
bool ItemName(const CBstr& name, std::string& out) {
    return name.ToAnsiExact(kTreeNameSize, out);
}

// The refusals of a name that a client is told with their messages.
bool NameRefused(ErrorCode code) {
    return code == kErrorDuplicatePath || code == kErrorPathTooLong || code == kErrorNameBackslash;
}

// The item whose path equals `path` without regard to case, or null.
CTreeItem* FindByPathNoCase(CTreeItem* first, const CBstr& path) {
    std::string wanted, candidate;
    if (!path.ToAnsi(kPathBuffer + 1, wanted)) return nullptr;
    UpperInPlace1252(wanted);
    for (CTreeItem* p = first; p; p = p->next)
        if (ItemPath(p, candidate, true) && candidate == wanted) return p;
    return nullptr;
}

} // namespace

HRESULT CWorkbookObj::GetItemCount(int32_t& count) {
    count = 0;
    for (const CTreeItem* p = doc_->tree.first; p; p = p->next) ++count;
    return S_OK;
}

HRESULT CWorkbookObj::GetFirstChildOf(int32_t folder, int32_t& child) {
    child = -1;
    const CTreeItem* item = GetTreeItemAt(folder, doc_->tree.first);
    if (!item) return S_FALSE;
    if (item->next && item->next->level > item->level)
        child = GetTreeItemIndex(item, doc_->tree.first) + 1;
    return S_OK;
}

HRESULT CWorkbookObj::GetNextItem(int32_t current, int32_t& next) {
    next = -1;
    const CTreeItem* item = GetTreeItemAt(current, doc_->tree.first);
    if (!item) return S_FALSE;
    int32_t index = GetTreeItemIndex(item, doc_->tree.first);
    for (const CTreeItem* p = item->next; p && p->level >= item->level; p = p->next) {
        ++index;
        if (p->level == item->level) {
            next = index;
            break;
        }
    }
    return S_OK;
}

HRESULT CWorkbookObj::GetPreviousItem(int32_t current, int32_t& previous) {
    previous = -1;
    const CTreeItem* item = GetTreeItemAt(current, doc_->tree.first);
    if (!item) return S_FALSE;
    int32_t index = GetTreeItemIndex(item, doc_->tree.first);
    for (const CTreeItem* p = item->prev; p && p->level >= item->level; p = p->prev) {
        --index;
        if (p->level == item->level) {
            previous = index;
            break;
        }
    }
    return S_OK;
}

HRESULT CWorkbookObj::InsertItem(int32_t insertAt, int32_t type, const CBstr& name,
                                 int32_t& index) {
    index = -1;
    std::string ansi;
    if ((type != TREE_TYPE_WORKSHEET && type != TREE_TYPE_FOLDER) || !ItemName(name, ansi))
        return E_INVALIDARG;
    CTreeItem* target = nullptr;
    if (insertAt != -1) {
        target = GetTreeItemAt(insertAt, doc_->tree.first);
        if (!target) return S_FALSE;
    }
    const ErrorCode kept = doc_->error;
    CTreeItem* added = nullptr;
    // A failure is told by the result code alone, and the document's error stays as it was:
    // a name no path could read, or one another item's path has, is refused with its
    // message; memory is the other failure.
    if (InsertTreeItemCommand(*doc_, {}, type == TREE_TYPE_FOLDER, ansi.c_str(), target, &added,
                              TreeEditor::kAutomation) != CommandResult::kDone) {
        const ErrorCode refusal = doc_->error;
        doc_->error = kept;
        return NameRefused(refusal) ? ReportAutomationError(refusal, IID_ITree) : E_OUTOFMEMORY;
    }
    index = GetTreeItemIndex(added, doc_->tree.first);
    return S_OK;
}

HRESULT CWorkbookObj::DeleteItem(int32_t position) {
    CTreeItem* item = GetTreeItemAt(position, doc_->tree.first);
    if (!item) return S_FALSE;
    // A group holding every worksheet stays; the call still succeeds, and error 9 in the
    // document tells the client why nothing went.
    RemoveTreeItemCommand(*doc_, {}, *item, TreeEditor::kAutomation);
    return S_OK;
}

HRESULT CWorkbookObj::GetItemName(int32_t position, CBstr& name) {
    const CTreeItem* item = GetTreeItemAt(position, doc_->tree.first);
    if (!item) return S_FALSE;
    name = CBstr::FromAnsi(item->name);
    return S_OK;
}

HRESULT CWorkbookObj::SetItemName(int32_t position, const CBstr& name) {
    std::string ansi;
    if (!ItemName(name, ansi)) return E_INVALIDARG;
    CTreeItem* item = GetTreeItemAt(position, doc_->tree.first);
    if (!item) return S_FALSE;
    // Without an undo record a rename fails only when memory for the formulas that follow
    // it runs out; the name then stays, and so does the document's error code (the tree
    // interface sets none but 9).
    const ErrorCode error = doc_->error;
    const CommandResult result =
        RenameTreeItemCommand(*doc_, {}, *item, ansi, TreeEditor::kAutomation);
    const ErrorCode refusal = doc_->error;
    doc_->error = error;
    // A name another item of the folder has, or one too long for its paths, is refused
    // with its message.
    if (result == CommandResult::kFailed && NameRefused(refusal))
        return ReportAutomationError(refusal, IID_ITree);
    return result == CommandResult::kFailed ? E_OUTOFMEMORY : S_OK;
}

HRESULT CWorkbookObj::IsWorksheet(int32_t position, int32_t& result) {
    result = 0;
    const CTreeItem* item = GetTreeItemAt(position, doc_->tree.first);
    if (!item) return S_FALSE;
    result = (item->itemType & TREE_TYPE_WORKSHEET) ? 1 : 0;
    return S_OK;
}

HRESULT CWorkbookObj::IsFolder(int32_t position, int32_t& result) {
    result = 0;
    const CTreeItem* item = GetTreeItemAt(position, doc_->tree.first);
    if (!item) return S_FALSE;
    result = (item->itemType & TREE_TYPE_FOLDER) ? 1 : 0;
    return S_OK;
}

HRESULT CWorkbookObj::GetItemPath(int32_t position, CBstr& path) {
    const CTreeItem* item = GetTreeItemAt(position, doc_->tree.first);
    std::string text;
    if (!item || !ItemPath(item, text, false)) return S_FALSE;
    path = CBstr::FromAnsi(text);
    return S_OK;
}

HRESULT CWorkbookObj::GetItemIndex(const CBstr& path, int32_t& index) {
    const CTreeItem* item = FindByPathNoCase(doc_->tree.first, path);
    index = item ? GetTreeItemIndex(item, doc_->tree.first) : -1;
    return item ? S_OK : S_FALSE;
}

HRESULT CWorkbookObj::SetActiveWorksheet(const CBstr& path) {
    CWorksheet* sheet = AsWorksheet(FindByPathNoCase(doc_->tree.first, path));
    if (!sheet) return S_FALSE;
    doc_->tree.active = sheet;
    return S_OK;
}

HRESULT CWorkbookObj::GetActiveWorksheet(CBstr& path) {
    std::string text;
    if (!doc_->tree.active || !ItemPath(doc_->tree.active, text, false)) return S_FALSE;
    path = CBstr::FromAnsi(text);
    return S_OK;
}

} // namespace vl
