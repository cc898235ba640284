#pragma once
// The buttons of the frame's five toolbars, in order, with their pictures' strips.

#include <cstddef>

namespace vl {

enum class ButtonKind { kSeparator, kButton, kDropArrow, kWholeDrop, kCheck, kPlace };

struct ToolButton {
    ButtonKind kind;
    int id;
    const char* tip;
    const char* text = nullptr; // shown beside the picture when given
    int width = 0;              // of a place that holds a box
};

struct ToolbarSpec {
    const char* name;
    int bitmap; // the strip of 16-pixel pictures, one per button in order
    const ToolButton* buttons;
    std::size_t count;
};

enum ToolbarIndex { kStandardBar, kFormattingBar, kAddressBar, kPreviewBar, kSearchBar, kToolbars };

const ToolbarSpec& FrameToolbar(int index);

} // namespace vl
