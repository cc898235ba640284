// Moving through the workbook without editing it: the next or previous worksheet in tree
// order, the row search of the navigation menu, and Go to an address.

#include "core/settings.h"
#include "formula/addresstext.h"
#include "model/rowsearch.h"
#include "model/workbook.h"
#include "platform/core/cp1252.h"
#include "resources/commandids.h"
#include "resources/strings.h"
#include "ui/messages.h"
#include "ui/uiservices.h"
#include "workbookwnd/treepane.h"
#include "workbookwnd/workbookwnd.h"
#include "workbookwnd/worksheetview.h"

#include <QTreeWidget>
#include <strings.h>

namespace vl {

namespace {

struct RowCommand {
    int id;
    RowSearch kind;
    bool backward;
};

constexpr RowCommand kRowCommands[] = {
    {ID_NEXT_NONEMPTY, RowSearch::kNonEmpty, false},
    {ID_NEXT_EMPTY, RowSearch::kEmpty, false},
    {ID_NEXT_IDENTICAL, RowSearch::kIdentical, false},
    {ID_NEXT_DIFFERENT, RowSearch::kDifferent, false},
    {ID_PREV_NONEMPTY, RowSearch::kNonEmpty, true},
    {ID_PREV_EMPTY, RowSearch::kEmpty, true},
    {ID_PREV_IDENTICAL, RowSearch::kIdentical, true},
    {ID_PREV_DIFFERENT, RowSearch::kDifferent, true},
};

} // namespace

void CWorkbookWnd::OnNextPrevWorksheet(bool next) {
    if (CWorksheetView* view = GetActiveView()) view->EndCellEdit(kEditStay);
    CTreeItem* item = book_->tree.active;
    if (!item) return;
    do item = next ? item->next : item->prev;
    while (item && !item->IsWorksheet());
    // No wrap-around.
    if (item) treeCtl_->Select(item);
}

void CWorkbookWnd::OnGoToCell(int id) {
    CWorksheetView* view = GetActiveView();
    CWorksheet* sheet = book_->tree.active;
    if (!view || !sheet) return;
    view->EndCellEdit(kEditStay);
    if (id == ID_GO_TOP || id == ID_GO_BOTTOM)
        return view->OnVScroll(id == ID_GO_TOP ? SB_TOP : SB_BOTTOM);
    for (const RowCommand& command : kRowCommands) {
        if (command.id != id) continue;
        const CellRange sel = view->Selection();
        const int64_t row =
            FindQualifyingRow(sheet->cells, sel.c1, sel.c2, sel.r1, command.kind, command.backward);
        if (row < 0) return UiServices().Beep();
        view->SetSelection({sel.c1, uint32_t(row), sel.c2, uint32_t(row)});
        // The first visible column stays.
        view->ScrollToCell(uint32_t(row), view->FirstColumn());
        view->RepaintHighlight();
        view->SyncSplitPane();
        UpdateStatus();
        return;
    }
}

std::string CWorkbookWnd::SelectionAddress(bool r1c1) {
    CWorksheetView* view = GetActiveView();
    if (!view || !book_->tree.active) return {};
    std::string location;
    BuildTreeItemPath(book_->tree.active, location, false);
    RangeDescriptor range;
    MakeRangeDescriptor(view->Selection(), &range);
    return FormatCellAddress(Utf8ToCp1252(path_), location, range, r1c1);
}

bool CWorkbookWnd::ActiveSelection(CellRange& range, uint16_t& container) const {
    const CWorksheetView* view = GetActiveView();
    if (!view) return false;
    range = view->Selection();
    container = view->CurrentContainer();
    return true;
}

QString CWorkbookWnd::FilePath() const {
    return HasOpenFile() ? QString::fromStdString(path_) : QString();
}

bool CWorkbookWnd::GoToAddress(const std::string& text) {
    auto fail = [] {
        ShowMessageText(AppString(IDS_INVALID_ADDRESS));
        return false;
    };
    AddressParts parts;
    if (text.size() > kMaxAddressText || !SplitAddressText(text, parts)) return fail();
    CWorksheetView* view = GetActiveView();
    if (!view) return fail();
    view->EndCellEdit(kEditStay);
    CWorksheet* target = book_->tree.active;
    if (parts.hasLocation) {
        std::string path = parts.location;
        // A path without a leading "\" lies in the active worksheet's folder.
        if (path.empty() || path[0] != '\\') {
            std::string folder;
            if (book_->tree.active) BuildTreeItemPath(book_->tree.active, folder, true);
            path = (folder.empty() ? std::string("\\") : folder) + path;
        }
        target = nullptr;
        for (CTreeItem* p = book_->tree.first; p && !target; p = p->next) {
            std::string itemPath;
            if (!p->IsWorksheet() || !BuildTreeItemPath(p, itemPath, false)) continue;
            if (itemPath.size() == path.size() && strcasecmp(itemPath.c_str(), path.c_str()) == 0)
                target = static_cast<CWorksheet*>(p);
        }
        if (!target) return fail();
    }
    RangeDescriptor range;
    const CellRange sel = view->Selection();
    // A bookmark chosen from the list brings its name behind the range.
    const std::string_view reference = parts.rest.substr(0, parts.rest.find(kBookmarkSeparator));
    if (!ParseGoRange(reference, Profile().addressingA1 == 0, sel.c1, sel.r1, range)) return fail();
    if (target != book_->tree.active) treeCtl_->Select(target);
    SetActiveSelection(range.c1, range.r1, range.c2, range.r2);
    GetActiveView()->InvalidateAll();
    UpdateStatus();
    return true;
}

QRect CWorkbookWnd::ActiveCellRect() const {
    CWorksheetView* view = GetActiveView();
    if (!view || !book_->tree.active) return {};
    const CellRange& sel = view->Selection();
    const DcRect cell = view->GetRangeRect({sel.c1, sel.r1, sel.c1, sel.r1});
    QWidget* port = view->viewport();
    const QRect shown = QRect(QPoint(cell.left, cell.top), QPoint(cell.right, cell.bottom))
                            .intersected(port->rect());
    if (shown.isEmpty()) return {};
    return QRect(port->mapToGlobal(shown.topLeft()), shown.size());
}

void CWorkbookWnd::FocusActiveView() {
    if (CWorksheetView* view = GetActiveView()) view->setFocus(Qt::OtherFocusReason);
}

} // namespace vl
