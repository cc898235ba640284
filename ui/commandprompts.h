#pragma once
// Menu items carry their command: its identifier and the prompt of its status text. A menu
// marked as the frame's shows the prompt of its highlighted item in the status bar, and so
// do the submenus under it.

class QAction;
class QMenu;

namespace vl {

// The item's command identifier and its prompt (empty for a command without a text).
void SetItemCommand(QAction& action, int id);

void MarkPromptMenu(QMenu& menu);
// True for a marked menu and for the submenus of one.
bool ShowsPrompts(const QMenu& menu);

} // namespace vl
