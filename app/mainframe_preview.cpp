// The frame's bars and panes around the print preview: its toolbar stands alone while it is
// open, and Close brings back what was shown before, and only that.

#include "app/mainframe.h"
#include "core/settings.h"
#include "dialogs/composerpane.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QTimer>
#include <QToolBar>

namespace vl {

void CMainFrame::HideForPreview(IWorkbookWnd& window) {
    previewHidden_ = {};
    previewHidden_.window = &window;
    previewHidden_.containerProperties = window.ShowContainerProperties(false);
    if (IComposerPane* composer = ComposerPane(); composer && composer->IsVisible()) {
        composer->SetShown(false);
        previewHidden_.composer = true;
    }
    previewHidden_.searchBar = !bars_[kSearchBar]->isHidden();
    menuBar()->hide();
    for (int bar : {kStandardBar, kFormattingBar, kAddressBar, kSearchBar}) bars_[bar]->hide();
    bars_[kPreviewBar]->show();
}

void CMainFrame::RestoreAfterPreview() {
    bars_[kPreviewBar]->hide();
    menuBar()->show();
    // The toggles may have changed during the preview: the settings say what comes back.
    const SettingsProfile& p = Profile();
    bars_[kStandardBar]->setVisible(p.standardToolbarVisible != 0);
    bars_[kAddressBar]->setVisible(p.formattingToolbarVisible != 0);
    // The formatting toolbar stands only by a workbook.
    bars_[kFormattingBar]->setVisible(p.formattingToolbarVisible != 0 && OpenDocumentCount() > 0);
    bars_[kSearchBar]->setVisible(previewHidden_.searchBar && OpenDocumentCount() > 0);
    LayoutAddressBox();
    IWorkbookWnd* window = previewHidden_.window;
    if (auto* sub =
            window ? qobject_cast<QMdiSubWindow*>(window->Widget()->parentWidget()) : nullptr)
        MdiArea()->setActiveSubWindow(sub);
    if (!window) {
        // The previewed window is being closed: once it has left the area, the window used
        // before it takes its place, as after any close.
        QTimer::singleShot(0, this, [this] {
            if (MdiArea()->activeSubWindow()) return;
            const QList<QMdiSubWindow*> left =
                MdiArea()->subWindowList(QMdiArea::ActivationHistoryOrder);
            if (left.isEmpty()) return;
            MdiArea()->setActiveSubWindow(left.back());
            if (IWorkbookWnd* active = GetActiveWorkbookWnd()) active->FocusActiveView();
        });
    }
    if (window && previewHidden_.containerProperties) window->ShowContainerProperties(true);
    if (IComposerPane* composer = ComposerPane(); composer && previewHidden_.composer)
        composer->SetShown(true);
    previewHidden_ = {};
    // The keys go to the grid again, where they went before the preview.
    if (IWorkbookWnd* active = GetActiveWorkbookWnd()) active->FocusActiveView();
}

} // namespace vl
