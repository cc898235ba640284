// The window's data commands in its one command table: the clipboard, Insert, series fill,
// quick statistics, sorting and transposing, cell values, find and replace.

#include "resources/commandids.h"
#include "workbookwnd/workbookwnd.h"

namespace vl {

void CWorkbookWnd::RegisterDataCommands() {
    auto& c = commands_;
    c[ID_EDIT_COPY] = [this] { OnEditCopyCut(false); };
    c[ID_EDIT_CUT] = [this] { OnEditCopyCut(true); };
    c[ID_EDIT_PASTE] = [this] { OnEditPaste(); };
    for (int id = ID_COPIED_DATA_FIRST; id <= ID_COPIED_DATA_LAST; ++id)
        c[id] = [this, id] { OnPasteCopiedData(id - ID_COPIED_DATA_FIRST); };
}

} // namespace vl
