#include "workbookwnd/menumerger.h"

#include "app/mainframe.h"
#include "workbookwnd/workbookwnd.h"

#include <QAction>
#include <QMenuBar>
#include <QPointer>

namespace vl {

namespace {

struct MergeState {
    CMainFrame* frame = nullptr;
    QPointer<QMenuBar> bar;
    QList<QAction*> frameActions;
    CWorkbookWnd* installed = nullptr;
};

MergeState& State() {
    static MergeState state;
    return state;
}

QList<QAction*> Shown(const MergeState& s) {
    if (!s.installed) return s.frameActions;
    const std::vector<QAction*>& actions = s.installed->MenuBarActions();
    return QList<QAction*>(actions.begin(), actions.end());
}

void RemoveShown(MergeState& s) {
    if (!s.bar) return;
    for (QAction* a : Shown(s)) s.bar->removeAction(a);
}

} // namespace

void CMenuMerger::Activate(CMainFrame* frame, CWorkbookWnd* window) {
    MergeState& s = State();
    if (!frame) return;
    if (s.frame != frame || !s.bar) {
        s = MergeState{};
        s.frame = frame;
        s.bar = frame->menuBar();
    }
    if (s.installed == window) return;
    if (!s.installed) s.frameActions = s.bar->actions();
    RemoveShown(s);
    s.installed = window;
    s.bar->addActions(Shown(s));
}

void CMenuMerger::Forget(CWorkbookWnd* window) {
    MergeState& s = State();
    if (s.installed == window && window) Activate(s.frame, nullptr);
}

CWorkbookWnd* CMenuMerger::Installed() {
    return State().installed;
}

} // namespace vl
