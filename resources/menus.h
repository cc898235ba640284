#pragma once
// The frame's menu (127), shown while no workbook window is active, and the frame's keys of
// accelerator table 127.

#include <cstddef>

namespace vl {

// One line of a menu: a popup (id 0 with a text), a command, or a separator (no text).
struct MenuLine {
    int level; // 0 for the menu bar's popups
    int id;
    const char* text; // "&" marks the mnemonic
};

// The lines of menu 127 in order.
const MenuLine* MainMenuLines(std::size_t& count);

struct AcceleratorKey {
    const char* keys; // in the portable key-sequence form ("Ctrl+N")
    int id;
};

const AcceleratorKey* FrameAccelerators(std::size_t& count);

// The workbook window's menu (129), shown while a workbook window is active. A popup of
// level 0 without lines of its own is the frame's popup of that text; the frame's commands
// and its recent-file list keep their own items.
const MenuLine* WorkbookMenuLines(std::size_t& count);
// The grid's context menu (263).
const MenuLine* GridContextMenuLines(std::size_t& count);
// The worksheet tree's context menu (262).
const MenuLine* TreeContextMenuLines(std::size_t& count);
// The inspect pane's Add menu (261).
const MenuLine* InspectAddMenuLines(std::size_t& count);
// The workbook window's keys of accelerator table 127; a command may have several.
const AcceleratorKey* WorkbookAccelerators(std::size_t& count);
// The menus of the toolbar drop-downs by resource: 253 the paste list's placeholder, 258
// Date & Time, 249 the quick statistics, 282 the recent formulas' placeholder, 240 charts,
// 280 Go, 281 the address list; null for another.
const MenuLine* DropDownMenuLines(int resource, std::size_t& count);

} // namespace vl
