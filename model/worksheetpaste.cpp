#include "model/worksheetpaste.h"

#include "model/containerpaste.h"
#include "model/memoryguard.h"
#include "model/workbook.h"

#include <cstring>
#include <map>

namespace vl {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Adds 1 to a run of decimal digits, written without leading zeros ("" counts as 0). The
// run is taken as text so that no count is too long to go on.
std::string Increment(std::string_view digits) {
    while (digits.size() > 1 && digits[0] == '0') digits.remove_prefix(1);
    std::string out(digits.empty() ? "0" : digits);
    for (size_t i = out.size(); i-- > 0;) {
        if (out[i] != '9') {
            ++out[i];
            return out;
        }
        out[i] = '0';
    }
    return "1" + out;
}

// The styles of a pasted chain brought into the workbook's tables. The chain's runs and
// column entries carry the numbers of the entry's kept styles (the workbook's own when the
// entry keeps none).
bool ImportChainStyles(CWorkbook& workbook, CTreeItem* chain, const KeptStyles* kept) {
    if (!kept) return true;
    const StyleView view = kept->View();
    std::map<uint16_t, uint16_t> mapped{{0, 0}};
    const auto map = [&](uint16_t style, uint16_t* out) {
        const auto found = mapped.find(style);
        if (found != mapped.end()) return *out = found->second, true;
        if (!ImportStyle(workbook.styles, view, style, out)) return false;
        mapped[style] = *out;
        return true;
    };
    for (CTreeItem* p = chain; p; p = p->next) {
        CWorksheet* ws = AsWorksheet(p);
        if (!ws) continue;
        for (Page* page = ws->formats.runs.FirstPage(); page; page = page->next) {
            for (uint32_t at = 0; at + kFormatRunSize <= page->used; at += kFormatRunSize) {
                FormatRun run = LoadFormatRun(page->payload + at);
                if (!map(run.style, &run.style)) return false;
                StoreFormatRun(page->payload + at, run);
            }
        }
        for (ColumnEntry& c : ws->formats.columns) {
            uint16_t style = c.style & kStyleIndexMask;
            if (!map(style, &style)) return false;
            c.style = uint16_t((c.style & ~kStyleIndexMask) | style);
        }
        ColumnsChanged(ws->formats);
    }
    return true;
}

// Container ids stay unique over the workbook: a pasted container whose id is taken gets
// the smallest free one.
bool GiveContainerIds(CWorkbook& workbook, CTreeItem* chain) {
    CContainerIds ids(workbook);
    for (CTreeItem* p = chain; p; p = p->next) {
        CWorksheet* ws = AsWorksheet(p);
        for (CContainer* c = ws ? ws->firstContainer : nullptr; c; c = c->next) {
            if (c->settings.id == 0 || ids.Used(c->settings.id)) {
                c->settings.id = ids.Take();
                if (c->settings.id == 0) return false;
            }
        }
    }
    return true;
}

// The siblings of an item, before it and after it: the items at its level up to the first
// item of a lower level either way, deeper items passed over. True when one matched.
template <class Visit> bool ForEachSibling(CTreeItem& item, Visit&& visit) {
    for (CTreeItem* p = item.prev; p && p->level >= item.level; p = p->prev)
        if (p->level == item.level && visit(*p)) return true;
    for (CTreeItem* p = item.next; p && p->level >= item.level; p = p->next)
        if (p->level == item.level && visit(*p)) return true;
    return false;
}

CTreeItem* PasteUnguarded(CWorkbook& workbook, CTreeItem* target, const UndoEntry& e) {
    TreeChain chain(CWorksheet::Clone(workbook, e.treeChain.get()));
    if (!chain) return workbook.error = kErrorWorksheetMemory, nullptr;
    if (!ImportChainStyles(workbook, chain.get(), e.keptStyles.get()))
        return workbook.error = kErrorTooManyStyles, nullptr;
    if (!GiveContainerIds(workbook, chain.get()))
        return workbook.error = kErrorTooManyContainers, nullptr;
    CTreeItem* first = chain.release();
    InsertTreeItem(workbook.tree, first, target);
    if (!MakeSiblingNameUnique(*first)) {
        // A name with no room for a counter would give two siblings one path, which
        // formulas could no longer tell apart: the paste goes again.
        ErrorCode unused = kErrorNone;
        if (DetachTreeItem(workbook.tree, first, unused)) chain.reset(first);
        return workbook.error = kErrorDuplicatePath, nullptr;
    }
    // Inside deep folders a pasted path could pass what formulas can name.
    std::string path;
    for (CTreeItem *p = first, *end = SubtreeEnd(first);; p = p->next) {
        if (!BuildTreeItemPath(p, path, false)) {
            ErrorCode unused = kErrorNone;
            if (DetachTreeItem(workbook.tree, first, unused)) chain.reset(first);
            return workbook.error = kErrorPathTooLong, nullptr;
        }
        if (p == end) break;
    }
    return first;
}

} // namespace

bool NextCopyName(const char* name, std::string& out, size_t limit) {
    const std::string_view text(name);
    size_t cut = text.size();
    std::string_view digits;
    if (!text.empty() && text.back() == ')') {
        size_t open = text.size() - 1;
        while (open > 0 && IsDigit(text[open - 1])) --open;
        if (open > 0 && text[open - 1] == '(') {
            cut = open - 1;
            digits = text.substr(open, text.size() - 1 - open);
        }
    }
    const std::string suffix = "(" + Increment(digits) + ")";
    if (cut + suffix.size() > limit) {
        out.assign(text);
        return false;
    }
    out.assign(text.substr(0, cut));
    out += suffix;
    return true;
}

bool MakeSiblingNameUnique(CTreeItem& item) {
    for (bool changed = true; changed;) {
        changed = false;
        bool stuck = false;
        ForEachSibling(item, [&](CTreeItem& sibling) {
            if (CompareNoCase(sibling.name, item.name) != 0) return false;
            std::string next;
            if (!NextCopyName(sibling.name, next, kTreeNameSize - 1)) return stuck = true;
            item.SetName(next.c_str());
            changed = true;
            return false;
        });
        if (stuck) return false;
    }
    return true;
}

CTreeItem* CopyWorksheetUnique(CWorkbook& workbook, CTreeItem* target, UndoHistory& history,
                               int32_t index) {
    const UndoEntry* e = index >= 0 && index < kUndoSlots ? &history.entries[index] : nullptr;
    if (!e || e->kind != kUndoTreeChain || !e->treeChain)
        return workbook.error = kErrorInvalidCacheIndex, nullptr;
    // Styles appended for a paste that fails go again.
    const uint16_t styleCount = workbook.styles.styleCount;
    const uint8_t fontCount = workbook.styles.fontCount;
    CTreeItem* first = nullptr;
    GuardWorksheetMemory(workbook, [&] { return (first = PasteUnguarded(workbook, target, *e)); });
    if (!first) {
        workbook.styles.styleCount = styleCount;
        workbook.styles.fontCount = fontCount;
    }
    return first;
}

void LinkTreeChainAt(TreeHead& head, CTreeItem* chain, int32_t position) {
    if (!chain) return;
    CTreeItem* before = position > 0 ? GetTreeItemAt(position - 1, head.first) : nullptr;
    if (position > 0 && !before)
        for (before = head.first; before && before->next;) before = before->next;
    CTreeItem* after = before ? before->next : head.first;
    CTreeItem* last = chain;
    for (CTreeItem* p = chain; p; p = p->next) {
        if (p->IsWorksheet()) ++head.worksheetCount;
        if (p->IsFolder()) ++head.folderCount;
        last = p;
    }
    chain->prev = before;
    (before ? before->next : head.first) = chain;
    last->next = after;
    if (after) after->prev = last;
}

} // namespace vl
