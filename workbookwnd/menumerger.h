#pragma once
// The frame's menu bar shows the menus of the active workbook window in place of its own,
// and its own again when no workbook window is active.

namespace vl {

class CMainFrame;
class CWorkbookWnd;

class CMenuMerger {
public:
    // Shows the window's menus, or the frame's own when `window` is null.
    static void Activate(CMainFrame* frame, CWorkbookWnd* window);
    // A window that goes: the frame's menus come back when it was showing its own.
    static void Forget(CWorkbookWnd* window);
    static CWorkbookWnd* Installed();
};

} // namespace vl
