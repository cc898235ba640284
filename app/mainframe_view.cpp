// The View commands of the frame: its bars shown and hidden (and remembered in the
// profile), the formula composer, full screen, the search toolbar, and the Zoom pop-up.

#include "app/mainframe.h"
#include "app/printservices.h"
#include "app/statusbarwnd.h"
#include "core/settings.h"
#include "dialogs/composerpane.h"
#include "resources/commandids.h"
#include "ui/uiservices.h"

#include <QAction>
#include <QComboBox>
#include <QKeyEvent>
#include <QToolBar>

namespace vl {

void IWorkbookWnd::FocusActiveView() {
    if (QWidget* widget = Widget()) widget->setFocus();
}

void CMainFrame::RegisterViewHandlers() {
    auto& h = handlers_;
    for (int id : {int(ID_VIEW_TOOLBAR), int(ID_VIEW_FORMATTING_BAR), int(ID_VIEW_STATUS_BAR)})
        h[id] = [this, id] { OnViewBar(id); };
    h[ID_VIEW_FULL_SCREEN] = [this] { OnViewFullScreen(); };
    h[ID_EDIT_FIND] = [this] { OnFindReplace(); };
    h[ID_ZOOM] = [this] { OnZoom(); };
}

void CMainFrame::OnViewBar(int id) {
    SettingsProfile& p = Profile();
    int32_t& flag = id == ID_VIEW_TOOLBAR          ? p.standardToolbarVisible
                    : id == ID_VIEW_FORMATTING_BAR ? p.formattingToolbarVisible
                                                   : p.statusBarVisible;
    flag = flag ? 0 : 1;
    const bool shown = flag != 0;
    if (QAction* a = Action(id)) a->setChecked(shown);
    // The preview's Close shows the toolbars the settings then ask for.
    if (preview_ && id != ID_VIEW_STATUS_BAR) return;
    if (id == ID_VIEW_TOOLBAR) {
        bars_[kStandardBar]->setVisible(shown);
    } else if (id == ID_VIEW_FORMATTING_BAR) {
        bars_[kAddressBar]->setVisible(shown);
        bars_[kFormattingBar]->setVisible(shown);
        if (shown) LayoutAddressBox();
    } else {
        status_->setVisible(shown);
    }
}

void CMainFrame::OnViewComposer() {
    IComposerPane* pane = ComposerPane();
    if (!pane) return;
    SettingsProfile& p = Profile();
    p.composerVisible = pane->Toggle(this) ? 1 : 0;
    // Shown from the menu or the button, it takes the keyboard as any window opened so does;
    // without a window manager nothing else would give it.
    if (p.composerVisible) pane->TakeKeyboard();
    if (QAction* a = Action(ID_VIEW_COMPOSER)) a->setChecked(p.composerVisible);
    if (QAction* a = ToolAction(ID_VIEW_COMPOSER)) a->setChecked(p.composerVisible);
}

void CMainFrame::OnViewFullScreen() {
    if (isMaximized())
        showNormal();
    else
        showMaximized();
    LayoutAddressBox();
}

void CMainFrame::OnFindReplace() {
    QToolBar* bar = bars_[kSearchBar];
    if (bar->isVisible()) {
        // The second Find/Replace searches.
        if (IWorkbookWnd* wnd = GetActiveWorkbookWnd()) wnd->HandleCommand(ID_EDIT_FIND);
        return;
    }
    bar->show();
    for (QComboBox* box : bar->findChildren<QComboBox*>()) box->setEnabled(true);
    if (QComboBox* find = bar->findChild<QComboBox*>()) find->setFocus();
}

void CMainFrame::OnSearchBarCommand() {
    QToolBar* bar = bars_[kSearchBar];
    for (QComboBox* box : bar->findChildren<QComboBox*>()) box->setEnabled(false);
    if (!bar->isVisible()) return;
    bar->hide();
    if (IWorkbookWnd* wnd = GetActiveWorkbookWnd()) wnd->FocusActiveView();
}

bool CMainFrame::SearchBoxKey(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType()) return false;
    auto* widget = static_cast<QWidget*>(watched);
    const auto* key = static_cast<QKeyEvent*>(event);
    // The keypad's Enter comes with the keypad modifier; it is Enter all the same.
    if ((key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier ||
        !bars_[kSearchBar]->isAncestorOf(widget))
        return false;
    // F3 in either box finds the next match, as it does in the grid; Enter in the find box
    // does the same, so that a typed text is looked for at once; Escape leaves either box.
    const QList<QComboBox*> boxes = bars_[kSearchBar]->findChildren<QComboBox*>();
    const bool inFindBox =
        !boxes.isEmpty() && (widget == boxes.first() || boxes.first()->isAncestorOf(widget));
    if (key->key() == Qt::Key_Escape) {
        // Back to the grid, so that a keyboard user is not held in the box.
        IWorkbookWnd* wnd = GetActiveWorkbookWnd();
        if (!wnd) return false;
        wnd->FocusActiveView();
        return true;
    }
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (key->key() != Qt::Key_F3 && !(enter && inFindBox)) return false;
    OnCommand(ID_EDIT_FIND);
    return true;
}

void CMainFrame::OnZoom() {
    IWorkbookWnd* wnd = GetActiveWorkbookWnd();
    if (!wnd || !wnd->Workbook() || !UiServices().HasZoomDialog()) return;
    wnd->CommitCellEdit();
    // The pop-up's lower-right corner at the zoom pane's upper-right one.
    const QPoint at = status_->mapToGlobal(status_->PaneRect(5).topRight());
    UiServices().ZoomDialog(this, at, wnd->ActiveZoom(), [this](uint16_t zoom, bool all) {
        if (IWorkbookWnd* active = GetActiveWorkbookWnd()) active->ApplyZoom(zoom, all);
        UpdateStatusBar();
    });
}

} // namespace vl
