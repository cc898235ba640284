// The container properties window of a workbook window: opened on a container, fed with
// the selection's reference, followed by drags on the grid, and its Apply stored in the
// worksheet with one undo entry.

#include "app/mainframe.h"
#include "app/statusbarwnd.h"
#include "dialogs/chart/containerdlg.h"
#include "formula/edit/containercommands.h"
#include "formula/recalc.h"
#include "formula/translate.h"
#include "functions/general/composertext.h"
#include "model/container.h"
#include "model/worksheettree.h"
#include "platform/core/errorcode.h"
#include "ui/messages.h"
#include "workbookwnd/workbookwnd.h"
#include "workbookwnd/worksheetview.h"

namespace vl {

namespace {

bool SamePlacement(const ContainerSettings& a, const ContainerSettings& b) {
    return a.anchor.column == b.anchor.column && a.anchor.row == b.anchor.row && a.left == b.left &&
           a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

} // namespace

void CWorkbookWnd::OpenContainerProperties(CContainer& container) {
    if (!containerDlg_) {
        ContainerDlgHost host;
        host.apply = [this](const CContainer& edited) { ApplyContainerEdits(edited); };
        host.context = [this] {
            SyncContext();
            return &ctx_;
        };
        host.selection = [this](std::string& path, std::string& reference) {
            CWorksheetView* view = GetActiveView();
            if (!view || !book_->tree.active) return false;
            BuildTreeItemPath(book_->tree.active, path, false);
            const CellRange sel = view->Selection();
            reference = SelectionReference(uint16_t(sel.c1), sel.r1, uint16_t(sel.c2), sel.r2,
                                           CurrentUserNotation().addressingA1, false, true, 0, 0);
            return true;
        };
        host.help = [this](int topic) {
            if (frame_) frame_->ShowHelpTopic(topic);
        };
        host.hint = [this](const QString& text) {
            if (!frame_ || !frame_->StatusBarWnd()) return;
            if (text.isEmpty())
                frame_->StatusBarWnd()->clearMessage();
            else
                frame_->StatusBarWnd()->showMessage(text);
        };
        host.formatPages = Pages();
        containerDlg_ = new CContainerPropertiesDlg(std::move(host), this);
    }
    containerDlg_->Open(&container);
}

bool CWorkbookWnd::ShowContainerProperties(bool shown) {
    if (!containerDlg_) return false;
    const bool was = containerDlg_->isVisible();
    containerDlg_->setVisible(shown);
    return was;
}

void CWorkbookWnd::InsertSelectionReference(CContainer&) {
    if (containerDlg_ && containerDlg_->isVisible())
        containerDlg_->OnCommand(CContainerPropertiesDlg::kInsertReference);
}

void CWorkbookWnd::SyncPlacement(const CContainer& container) {
    if (containerDlg_) containerDlg_->SyncPlacement(container);
}

void CWorkbookWnd::FollowContainerWindow() {
    if (!containerDlg_ || !containerDlg_->isVisible()) return;
    if (const CContainer* c = FindBookContainer(*book_, containerDlg_->Working().settings.id))
        containerDlg_->Follow(*c);
}

void CWorkbookWnd::ApplyContainerEdits(const CContainer& edited) {
    CWorksheet* sheet = nullptr;
    CContainer* target = FindBookContainer(*book_, edited.settings.id, &sheet);
    if (!target) return;
    CWorksheetView* view = GetActiveView();
    const uint16_t id = target->settings.id;
    const bool moved = !SamePlacement(target->settings, edited.settings);
    // The old place is repainted before the container leaves it.
    if (view && moved) view->RedrawContainer(id, true);
    bool unrecorded = false;
    if (EditContainerCommand(*book_, CurrentGridSelection(), *target, edited, &unrecorded) !=
        CommandResult::kDone)
        return ShowErrorMessage(book_->error);
    if (unrecorded) ShowErrorMessage(book_->error);
    if (!UpdateCharts(*book_, *sheet, *target)) ShowErrorMessage(book_->error);
    if (view) {
        view->RedrawContainer(id, true);
        view->SyncSplitPane();
    }
    FollowContainerWindow();
    SetModified(true);
    UpdateTitle();
    UpdateStatus();
}

} // namespace vl
