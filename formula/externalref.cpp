#include "formula/externalref.h"

#include "formula/folderrange.h"
#include "formula/operands.h"
#include "formula/spreadreach.h"
#include "model/workbook.h"

#include <memory>
#include <new>

namespace vl {

namespace {

ExternalWorkbookLoader gLoader = nullptr;
OpenDocumentEntry gOpenDocument = nullptr;

bool Refuse(FormulaToken& entry, FormulaError error) {
    ClearOperand(entry);
    entry.type = kTokenEmpty;
    entry.error = error;
    return false;
}

bool SamePath(const std::string& a, const std::string& b) {
    return a.size() == b.size() && CompareNoCase(a.c_str(), b.c_str()) == 0;
}

// The item path a name stands for: a name that starts with "\" is one already; any other
// lies in the folder of the other workbook's active worksheet. False when it is too long.
bool WantedPath(const CWorkbook& other, const std::string& name, std::string& out) {
    if (!name.empty() && name.front() == '\\') {
        out = name;
    } else if (!other.tree.active) {
        out = "\\" + name;
    } else {
        if (!BuildTreeItemPath(other.tree.active, out, true)) return false;
        out += name;
    }
    return out.size() < kMaxTreePath;
}

void ReadItem(CEvalContext& fresh, FormulaToken& entry, CTreeItem* item) {
    if (CWorksheet* sheet = item ? AsWorksheet(item) : nullptr) {
        entry.cells = &sheet->cells;
        // The workbook may be this one, open in a window.
        NoteBuiltReference(fresh, entry);
        if (entry.type == kTokenReference)
            ResolveReferenceValue(fresh, entry);
        else
            FetchRangeValues(fresh, entry);
    } else if (item && item->IsFolder()) {
        GatherFolderRange(fresh, entry, *item);
    } else {
        Refuse(entry, kErrRef);
    }
}

// Moves the text or array of the result from the other workbook's context to the caller's:
// the string is copied, an array's page chain changes hands without copying a cell.
void HandOver(CEvalContext& from, CEvalContext& to, FormulaToken& entry) {
    if (entry.type == kTokenText && !to.stringPool.PushString(from.stringPool.PopTempString())) {
        entry.type = kTokenEmpty;
        entry.number = 0;
        entry.error = MergeError(entry.error, kErrValue);
    } else if (entry.type == kTokenArray) {
        Page* chain = from.scratch.PopPointer();
        if (!to.scratch.PushPointer(chain)) {
            // Every array value needs its chain on the stack, so a full stack keeps none.
            if (chain) from.scratch.cells.FreePageChain(chain);
            entry.type = kTokenEmpty;
            entry.number = 0;
            entry.error = MergeError(entry.error, kErrMemory);
        }
    }
    // The other workbook may be gone once the call returns.
    entry.cells = nullptr;
}

} // namespace

void SetExternalWorkbookLoader(ExternalWorkbookLoader loader) {
    gLoader = loader;
}

void SetOpenDocumentTable(OpenDocumentEntry entry) {
    gOpenDocument = entry;
}

CWorkbook* FindOpenWorkbook(std::string_view path) {
    if (!gOpenDocument) return nullptr;
    const std::string wanted(path);
    for (uint32_t i = 0; i < kOpenDocumentEntries; ++i) {
        CWorkbook* workbook = gOpenDocument(i);
        if (workbook && SamePath(workbook->stream.GetPath(), wanted)) return workbook;
    }
    return nullptr;
}

CWorkbook* OpenWorkbookAt(uint32_t index) {
    return gOpenDocument && index < kOpenDocumentEntries ? gOpenDocument(index) : nullptr;
}

CWorksheet* FindOpenExternalWorksheet(std::string_view qualifier) {
    std::string path, name, wanted;
    if (!ParseExternalReference(qualifier, path, name)) return nullptr;
    CWorkbook* other = FindOpenWorkbook(path);
    if (!other || !WantedPath(*other, name, wanted)) return nullptr;
    return AsWorksheet(FindTreeItemByPath(other->tree.first, wanted));
}

bool ParseExternalReference(std::string_view text, std::string& path, std::string& name) {
    path.clear();
    name.clear();
    char quote = 0;
    if (!text.empty() && (text.front() == '\'' || text.front() == '"')) {
        quote = text.front();
        text.remove_prefix(1);
    }
    const std::size_t close = text.find(']');
    if (text.empty() || text.front() != '[' || close == std::string_view::npos) return false;
    std::string_view file = text.substr(1, close - 1);
    while (!file.empty() && file.back() == ' ') file.remove_suffix(1);
    std::string_view item = text.substr(close + 1);
    item = item.substr(0, item.find(quote ? quote : '!'));
    if (file.size() >= kExternalTextSize || item.size() >= kExternalTextSize) return false;
    path.assign(file);
    name.assign(item);
    return true;
}

bool ResolveExternalReference(CEvalContext& ctx, std::string_view text, FormulaToken& entry) {
    std::string path, name;
    if (!ParseExternalReference(text, path, name) || path.empty()) return Refuse(entry, kErrRef);
    // A workbook this call reads from its file lives only for this call.
    std::unique_ptr<CWorkbook> created;
    CWorkbook* other = FindOpenWorkbook(path);
    if (!other) {
        if (!gLoader) return Refuse(entry, kErrRef);
        created = CreateWorkbook();
        if (!created) return Refuse(entry, kErrMemory);
        if (!gLoader(*created, path.c_str())) return Refuse(entry, kErrRef);
        other = created.get();
    }
    // The other workbook's own stacks, pool and pending precedent stay out of the caller's.
    std::unique_ptr<CEvalContext> fresh(new (std::nothrow) CEvalContext);
    if (!fresh) return Refuse(entry, kErrMemory);
    fresh->worksheetList = other->tree.first;
    fresh->readsFor = &ctx;
    fresh->currentCells = other->tree.active ? &other->tree.active->cells : nullptr;
    std::string wanted;
    if (!WantedPath(*other, name, wanted)) return Refuse(entry, kErrRef);
    ReadItem(*fresh, entry, FindNodeByPath(*fresh, wanted));
    HandOver(*fresh, ctx, entry);
    return true;
}

} // namespace vl
