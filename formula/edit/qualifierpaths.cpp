#include "formula/edit/qualifierpaths.h"

#include "formula/externalref.h"
#include "formula/folderrange.h"
#include "formula/textscan.h"
#include "formula/tokenizer.h"
#include "model/workbook.h"
#include "model/worksheettree.h"
#include "platform/core/cp1252.h"

namespace vl {

namespace {

std::string PathOf(const CTreeItem& item, bool foldersOnly) {
    std::string out;
    BuildTreeItemPath(&item, out, foldersOnly);
    return out;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (CharUpper1252(a[i]) != CharUpper1252(b[i])) return false;
    return true;
}

std::string_view Trim(std::string_view name) {
    const size_t first = name.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return name.substr(first, name.find_last_not_of(' ') + 1 - first);
}

bool InSubtree(const CTreeItem* x, const CTreeItem* item) {
    for (const CTreeItem* p = item; p; p = p->next) {
        if (p != item && p->level <= item->level) return false;
        if (p == x) return true;
    }
    return false;
}

// The paths before and after the change.
class CPaths {
public:
    explicit CPaths(const TreePathChange& change)
        : change_(change), old_(PathOf(*change.item, false)) {}
    bool Changes(const CTreeItem* x) const { return InSubtree(x, change_.item); }
    std::string After(const CTreeItem& x) const {
        const std::string now = PathOf(x, false);
        return Changes(&x) ? change_.newPath + now.substr(old_.size()) : now;
    }
    std::string FolderAfter(const CTreeItem& x) const {
        const std::string path = After(x);
        return path.substr(0, path.rfind('\\') + 1);
    }

private:
    const TreePathChange& change_;
    std::string old_;
};

} // namespace

bool WrittenQualifierName(CEvalContext& ctx, const std::string& name, std::string& out) {
    if (!name.empty() && name[0] != '\'' && name[0] != '"') {
        size_t pos = 0;
        FormulaToken token;
        const uint16_t type = ReadFormulaToken(ctx, name, pos, token, InternalSyntax());
        if (type == kTokenText) ctx.stringPool.PopTempString();
        if (type == kTokenText && pos == name.size()) return out = name, true;
        if (type == kTokenArray)
            if (Page* chain = ctx.scratch.PopPointer()) ctx.scratch.cells.FreePageChain(chain);
    }
    const char quote = name.find('\'') == std::string::npos  ? '\''
                       : name.find('"') == std::string::npos ? '"'
                                                             : 0;
    if (!quote) return false; // no quoting can hold it
    out = quote + name + quote;
    return true;
}

namespace {

// A qualifier naming a worksheet of another open workbook through its file ("[A.vln]\\S1"):
// the file part stays as written, the path follows the change when the worksheet lies in
// the changed subtree.
bool NewExternalName(CEvalContext& ctx, std::string_view name, const CPaths& paths,
                     std::string& out) {
    const size_t close = name.find(']');
    const CWorksheet* ws =
        close == std::string_view::npos ? nullptr : FindOpenExternalWorksheet(name);
    if (!ws || !paths.Changes(ws)) return false;
    const std::string_view rest = name.substr(close + 1);
    std::string wanted = paths.After(*ws);
    if (rest.empty() || rest.front() != '\\') wanted.erase(0, 1);
    if (EqualNoCase(wanted, rest)) return false;
    return WrittenQualifierName(ctx, std::string(name.substr(0, close + 1)) + wanted, out);
}

// The name a qualifier of `sheet` must be written with after the change, when it differs.
bool NewName(CEvalContext& ctx, std::string_view name, const CWorksheet& sheet, const CPaths& paths,
             std::string& out) {
    name = Trim(name);
    if (!name.empty() && name.front() == '[') return NewExternalName(ctx, name, paths, out);
    if (name.empty()) return false;
    CTreeItem* item = nullptr;
    if (!ctx.qualifiers.Find(&sheet.cells, name, item)) {
        std::string path;
        if (name.front() != '\\') path = PathOf(sheet, true);
        path.append(name);
        item = FindNodeByPath(ctx, path);
        ctx.qualifiers.Note(&sheet.cells, name, item);
    }
    if (!item || !(paths.Changes(item) || paths.Changes(&sheet))) return false;
    std::string wanted = paths.After(*item);
    if (name.front() != '\\') {
        // Kept relative while the item stays below the formula's folder.
        const std::string folder = paths.FolderAfter(sheet);
        if (wanted.size() > folder.size() &&
            EqualNoCase(std::string_view(wanted).substr(0, folder.size()), folder))
            wanted.erase(0, folder.size());
    }
    if (EqualNoCase(wanted, name)) return false;
    return WrittenQualifierName(ctx, wanted, out);
}

} // namespace

TreePathChange RenamePathChange(const CTreeItem& item, std::string_view name) {
    return {&item, PathOf(item, true) + std::string(name)};
}

TreePathChange MovePathChange(const CTreeItem& item, const CTreeItem* target) {
    std::string folder = "\\";
    if (target) folder = target->IsFolder() ? PathOf(*target, false) + "\\" : PathOf(*target, true);
    return {&item, folder + item.name};
}

void RewriteQualifierPaths(CEvalContext& ctx, std::string_view text, uint16_t column, uint32_t row,
                           const CWorksheet& sheet, const TreePathChange& change,
                           std::string& out) {
    const CPaths paths(change);
    ctx.BeginFormula(column, row);
    out.clear();
    size_t pos = 0;
    uint16_t previous = 0;
    size_t nameAt = 0; // where the latest text token starts in `out`
    std::string name, written;
    for (;;) {
        const size_t start = SkipBlanks(text, pos);
        out.append(text.substr(pos, start - pos));
        pos = start;
        FormulaToken token;
        const uint16_t type = ReadFormulaToken(ctx, text, pos, token, InternalSyntax());
        if (type == 0 || type == kTokenEnd) break;
        if (type == kTokenText) name = ctx.stringPool.PopTempString();
        if (type == kTokenArray)
            if (Page* chain = ctx.scratch.PopPointer()) ctx.scratch.cells.FreePageChain(chain);
        if (type == kTokenText) nameAt = out.size();
        if (type == kTokenQualifier && previous == kTokenText &&
            NewName(ctx, name, sheet, paths, written))
            out.replace(nameAt, std::string::npos, written);
        out.append(text.substr(start, pos - start));
        previous = type;
    }
    out.append(text.substr(pos));
    ctx.BeginFormula(column, row);
}

void PlanTreePathChange(CEvalContext& ctx, const CWorkbook& workbook, const TreePathChange& change,
                        FormulaPlan& plan) {
    std::string text;
    ctx.qualifiers.Begin();
    for (CTreeItem* item = workbook.tree.first; item; item = item->next) {
        CWorksheet* ws = AsWorksheet(item);
        if (!ws) continue;
        SheetTexts sheet{ws, {}};
        CellCursor cursor{kAdvance, ws->cells.FirstPage(), 0};
        while (const uint8_t* r = NextCellRecord(cursor)) {
            if (!cell::IsFormula(r)) continue;
            const std::string_view formula = cell::Formula(r);
            if (formula.find('!') == std::string_view::npos) continue;
            RewriteQualifierPaths(ctx, formula, cell::Column(r), cell::Row(r), *ws, change, text);
            if (text != formula) sheet.texts.push_back({cell::Column(r), cell::Row(r), text});
        }
        ForEachSeries(*ws, [&](uint32_t place, std::string_view formula) {
            RewriteQualifierPaths(ctx, formula, 0, 0, *ws, change, text);
            if (text != formula) sheet.texts.push_back({kSeriesColumn, place, text});
        });
        if (!sheet.texts.empty()) plan.push_back(std::move(sheet));
    }
    ctx.qualifiers.End();
}

} // namespace vl
