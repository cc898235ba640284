#pragma once
// The status-bar texts of the commands, by command identifier, as the string table holds
// them: the prompt the status bar shows while the command's menu item is highlighted, then
// after a line break the tooltip of a toolbar button that has no word of its own.

#include <string>

namespace vl {

// The whole text ("prompt\ntooltip", or a prompt alone); null for a command without one.
const char* CommandStatusText(int id);
// The part before the line break; empty for a command without a text.
std::string CommandPrompt(int id);
// The part after the line break; empty when there is none.
std::string CommandTooltip(int id);

} // namespace vl
