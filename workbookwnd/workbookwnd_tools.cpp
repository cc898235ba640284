// The Tools and value commands of the workbook window: sorting, transposing, Update Data,
// Increment and Decrement, Convert Contents, and find and replace from the search toolbar.

#include "app/frametoolbars.h"
#include "app/mainframe.h"
#include "formula/edit/datacommands.h"
#include "formula/edit/rangecommands.h"
#include "formula/recalc.h"
#include "model/rangeops.h"
#include "platform/core/cp1252.h"
#include "platform/core/errorcode.h"
#include "resources/commandids.h"
#include "resources/strings.h"
#include "ui/messages.h"
#include "ui/uiservices.h"
#include "workbookwnd/waitcursor.h"
#include "workbookwnd/workbookwnd.h"
#include "workbookwnd/worksheetview.h"

#include <QAction>
#include <QComboBox>
#include <QToolBar>

namespace vl {

namespace {

// The Sort dialog's settings since the program started.
SortSettings& RememberedSort() {
    static SortSettings settings;
    return settings;
}

} // namespace

void CWorkbookWnd::SortWithKeys(const std::vector<uint16_t>& positions,
                                const std::vector<uint8_t>& ascending) {
    CWorksheetView* view = GetActiveView();
    if (!view || !book_->tree.active) return;
    WaitCursor wait;
    const GridSelection grid = CurrentGridSelection();
    std::vector<uint16_t> columns;
    for (uint16_t position : positions)
        columns.push_back(uint16_t(std::min<uint32_t>(kLastColumn, grid.range.c1 + position - 1)));
    const CommandResult result =
        SortSelection(*book_, grid, uint32_t(columns.size()), columns.data(), ascending.data());
    if (result != CommandResult::kNothing) view->RefitRows(grid.range.r1, grid.range.r2);
    AfterCommand(result);
}

void CWorkbookWnd::OnSortAscDesc(bool descending) {
    if (!BeginCommand()) return;
    SortWithKeys({1}, {uint8_t(descending ? 0 : 1)});
}

void CWorkbookWnd::OnToolsSort() {
    if (!BeginCommand()) return;
    SortSettings settings = RememberedSort();
    if (UiServices().SortDialog(settings) != IDOK) return;
    RememberedSort() = settings;
    std::vector<uint16_t> positions;
    std::vector<uint8_t> ascending;
    for (const SortKeySetting& key : settings.keys) {
        if (!key.enabled) continue;
        positions.push_back(uint16_t(std::clamp<uint32_t>(key.position, 1, kLastColumn + 1)));
        ascending.push_back(key.descending ? 0 : 1);
    }
    SortWithKeys(positions, ascending);
}

void CWorkbookWnd::OnTranspose() {
    CWorksheetView* view = GetActiveView();
    if (!view || !book_->tree.active) return;
    if (!BeginCommand()) return;
    WaitCursor wait;
    const GridSelection grid = CurrentGridSelection();
    CellRange result;
    bool offSheet = false;
    const CommandResult done = TransposeCommand(*book_, grid, &result, &offSheet);
    if (offSheet) {
        ShowStringMessage(IDS_CANNOT_TRANSPOSE, MB_ICONEXCLAMATION);
        return;
    }
    if (done == CommandResult::kDone) {
        view->UpdateScrollBars(true, true);
        view->RefitRows(grid.range.r1, std::max(grid.range.r2, result.r2));
        view->SetSelection(result);
    }
    AfterCommand(done);
}

void CWorkbookWnd::OnUpdateData() {
    CWorksheetView* view = GetActiveView();
    if (!view) return;
    view->EndCellEdit(kEditStay);
    WaitCursor wait;
    SyncContext();
    const uint8_t mode = UpdateMode();
    CCellStore* only =
        (mode == 2 || mode == 4) && book_->tree.active ? &book_->tree.active->cells : nullptr;
    if (!RecalculateWorkbook(*book_, ctx_, only)) ShowErrorMessage(book_->error);
    view->ScrollToCell(view->Selection().r1, view->Selection().c1);
    for (CWorksheetView* v : views_)
        if (v) v->InvalidateValueCells(false);
    RefreshViews();
    view->SyncSplitPane();
    UpdateStatus();
}

void CWorkbookWnd::OnStepValue(int step) {
    CWorksheetView* view = GetActiveView();
    if (!view) return;
    if (!BeginCommand()) return;
    const GridSelection grid = CurrentGridSelection();
    AfterCommand(StepValueCommand(*book_, grid, grid.range.c1, grid.range.r1, step));
}

void CWorkbookWnd::OnConvertContents(int id) {
    if (!GetActiveView()) return;
    if (!BeginCommand()) return;
    WaitCursor wait;
    AfterCommand(ConvertContentsCommand(*book_, CurrentGridSelection(), uint16_t(id)));
}

QComboBox* CWorkbookWnd::SearchBox(int index) const {
    if (!frame_ || !frame_->Toolbar(kSearchBar)) return nullptr;
    const QList<QComboBox*> boxes = frame_->Toolbar(kSearchBar)->findChildren<QComboBox*>();
    return index < boxes.size() ? boxes[index] : nullptr;
}

SearchOptions CWorkbookWnd::SearchFlags() const {
    SearchOptions options;
    if (!frame_) return options;
    if (QAction* a = frame_->ToolAction(ID_SEARCH_MATCH_CASE)) options.matchCase = a->isChecked();
    if (QAction* a = frame_->ToolAction(ID_SEARCH_WHOLE_CELLS)) options.wholeCell = a->isChecked();
    return options;
}

namespace {

// A box's text in the program's code page, cut to the box's size; a text that is not empty
// and not yet in the box's list goes to its top. A text listed already keeps its place.
std::string TakeSearchText(QComboBox* box, bool remember) {
    if (!box) return {};
    const QString typed = box->currentText();
    std::string text = Utf8ToCp1252(typed.toStdString());
    if (text.size() > kSearchTextSize - 1) text.resize(kSearchTextSize - 1);
    if (!remember || text.empty() || box->findText(typed) >= 0) return text;
    box->insertItem(0, typed);
    box->setCurrentIndex(0);
    return text;
}

} // namespace

void CWorkbookWnd::OnFindNext() {
    CWorksheetView* view = GetActiveView();
    if (!view) return;
    view->EndCellEdit(kEditStay);
    const std::string text = TakeSearchText(SearchBox(0), true);
    GridSelection grid = CurrentGridSelection();
    if (!FindCommand(*book_, grid, text, SearchFlags())) {
        UiServices().MessageBox(QString::fromLatin1(kNoMoreCellsFound), AppTitle(),
                                MB_ICONINFORMATION | MB_TASKMODAL);
        return;
    }
    view->SetSelection(grid.range);
    view->ScrollToCell(grid.range.r1, grid.range.c1);
    view->InvalidateAll();
    view->SyncSplitPane();
    UpdateStatus();
}

void CWorkbookWnd::OnReplace(bool all) {
    if (!GetActiveView()) return;
    if (!BeginCommand()) return;
    WaitCursor wait;
    const std::string find = TakeSearchText(SearchBox(0), false);
    const std::string replacement = TakeSearchText(SearchBox(1), true);
    ReplaceCounts counts;
    AfterCommand(ReplaceCommand(*book_, CurrentGridSelection(), find, replacement, SearchFlags(),
                                all, &counts));
    // Cells whose new text would not be stored keep their old one; the user is told why, as
    // typing the text would tell.
    if (counts.refused > 0)
        ShowMessageText(
            QString::fromStdString(Cp1252ToUtf8(CellInputMessage(counts.firstRefusal))));
}

} // namespace vl
