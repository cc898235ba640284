#pragma once
// The pictures of the dialogs' tool buttons, taken from the shared image lists: in colour,
// and greyed while the button is disabled.

#include <QIcon>

class QAction;
class QToolButton;

namespace vl {

// Image lists by their number, 1 to 7, as the shell builds them.
enum SharedList : int {
    kFormatPageList = 6, // Copy, Paste, Help, Close of the format pages
    kContainerList = 7,  // the container window's seven buttons, the Grid page's Add, Remove
};

// Image `image` of list `list`, greyed for the disabled state; null when the lists are not
// built or lack the image.
QIcon SharedToolIcon(int list, int image);

// The button shows the picture; with `keepText` its text beside it, otherwise the text only
// as its tip. A button whose picture is missing keeps its text.
void ShowToolPicture(QToolButton& button, int list, int image, bool keepText = false);
void ShowToolPicture(QAction& action, int list, int image);

} // namespace vl
