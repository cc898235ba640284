#include "resources/commandids.h"
#include "resources/menus.h"

#include <iterator>

namespace vl {

namespace {

constexpr MenuLine kWorkbookMenu[] = {
    {0, 0, "&File"},
    {1, ID_FILE_NEW, "&New\tCtrl+N"},
    {1, ID_FILE_OPEN, "&Open...\tCtrl+O"},
    {1, ID_FILE_CLOSE, "&Close"},
    {1, 0, nullptr},
    {1, ID_FILE_SAVE, "&Save\tCtrl+S"},
    {1, ID_FILE_SAVE_AS, "Save &As...\tF12"},
    {1, ID_FILE_RELOAD, "&Reload"},
    {1, ID_SAVE_AS_IMAGE, "Save As &Image..."},
    {1, 0, nullptr},
    {1, ID_FILE_STATISTICS, "S&tatistics..."},
    {1, ID_FILE_PROTECTION, "Prot&ection..."},
    {1, 0, nullptr},
    {1, ID_FILE_PAGE_SETUP, "Page Set&up..."},
    {1, ID_FILE_PRINT_PREVIEW, "Print Pre&view"},
    {1, ID_FILE_PRINT, "&Print..."},
    {1, 0, nullptr},
    {1, 0, "Recent &Files"},
    {2, ID_FILE_MRU_FIRST, "(empty)"},
    {1, 0, nullptr},
    {1, ID_APP_EXIT, "E&xit\tCtrl+Q"},
    {0, 0, "&Edit"},
    {1, ID_EDIT_UNDO, "&Undo\tCtrl+Z"},
    {1, ID_EDIT_REDO, "&Redo\tCtrl+Y"},
    {1, 0, nullptr},
    {1, ID_EDIT_CUT, "Cu&t\tCtrl+X"},
    {1, ID_EDIT_COPY, "&Copy\tCtrl+C"},
    {1, ID_EDIT_PASTE, "&Paste\tCtrl+V"},
    {1, ID_EDIT_CLEAR, "&Delete\tDel"},
    {1, 0, nullptr},
    {1, ID_EDIT_SELECT_ALL, "Select &All\tCtrl+A"},
    {1, ID_EDIT_FIND, "&Find && Replace\tF3"},
    {1, 0, nullptr},
    {1, ID_INCREMENT_VALUE, "&Increment Value\tCtrl+Alt+Up"},
    {1, ID_DECREMENT_VALUE, "D&ecrement Value\tCtrl+Alt+Down"},
    {1, 0, "Co&nvert"},
    {2, ID_FORMULAS_TO_VALUES, "&Formulas To Values"},
    {2, ID_NUMBERS_TO_LABELS, "&Numbers To Labels"},
    {2, ID_LABELS_TO_NUMBERS, "&Labels To Numbers"},
    {2, 0, nullptr},
    {2, ID_ALL_UPPERCASE, "All Letters To &Uppercase"},
    {2, ID_ALL_LOWERCASE, "All Letters to Lo&wercase"},
    {2, ID_FIRST_UPPERCASE, "First Letters To Upper&case"},
    {0, 0, "&View"},
    {1, ID_VIEW_TREE, "&Worksheet Tree"},
    {1, ID_VIEW_INSPECT, "&Inspect Cells"},
    {1, 0, nullptr},
    {1, ID_VIEW_TOOLBAR, "&Standard Toolbar"},
    {1, ID_VIEW_FORMATTING_BAR, "&Address && Formatting Toolbar"},
    {1, ID_VIEW_STATUS_BAR, "Status &Bar"},
    {1, ID_VIEW_COMPOSER, "Formula &Composer"},
    {1, ID_VIEW_FULL_SCREEN, "F&ull Screen"},
    {1, ID_ZOOM, "&Zoom..."},
    {1, 0, nullptr},
    {1, 0, "&Freeze Headings"},
    {2, ID_FREEZE_COLUMN, "&Column"},
    {2, ID_FREEZE_ROW, "&Row"},
    {2, ID_FREEZE_NONE, "&None"},
    {1, 0, "Sp&lit Table Window"},
    {2, ID_SPLIT_HORIZONTAL, "&Horizontally"},
    {2, ID_SPLIT_VERTICAL, "&Vertically"},
    {2, ID_SPLIT_NONE, "&None"},
    {1, 0, nullptr},
    {1, ID_NEXT_WORKSHEET, "&Next Worksheet\tCtrl+Down"},
    {1, ID_PREV_WORKSHEET, "&Previous Worksheet\tCtrl+Up"},
    {1, 0, "&Go To"},
    {2, ID_GO_TOP, "&Top"},
    {2, ID_PREV_NONEMPTY, "Previous &Non-empty Cell"},
    {2, ID_PREV_EMPTY, "Previous &Empty Cell"},
    {2, ID_PREV_IDENTICAL, "Previous &Identical Cell"},
    {2, ID_PREV_DIFFERENT, "Previous &Different Cell"},
    {2, 0, nullptr},
    {2, ID_GO_BOTTOM, "&Bottom"},
    {2, ID_NEXT_NONEMPTY, "Next N&on-empty Cell"},
    {2, ID_NEXT_EMPTY, "Next E&mpty Cell"},
    {2, ID_NEXT_IDENTICAL, "Next Identi&cal Cell"},
    {2, ID_NEXT_DIFFERENT, "Next Di&fferent Cell"},
    {0, 0, "&Insert"},
    {1, ID_NEW_WORKSHEET, "New &Worksheet"},
    {1, ID_NEW_FOLDER, "New &Folder"},
    {1, 0, nullptr},
    {1, 0, "&Date && Time"},
    {2, ID_INSERT_DATE, "&Date\tF5"},
    {2, ID_INSERT_TIME, "&Time\tF4"},
    {2, ID_INSERT_DATE_AND_TIME, "Date && T&ime\tF7"},
    {2, 0, nullptr},
    {2, ID_NEXT_WEEK, "&Next Week"},
    {2, ID_PREV_WEEK, "&Previous Week"},
    {2, ID_NEXT_MONTH, "Next &Month"},
    {2, ID_PREV_MONTH, "Previous M&onth"},
    {2, ID_END_NEXT_MONTH, "&End Of Next Month"},
    {2, ID_END_PREV_MONTH, "End Of Previous Mont&h"},
    {1, ID_DATA_SERIES, "Data &Series...\tF8"},
    {1, 0, nullptr},
    {1, ID_EMPTY_CONTAINER, "&Empty Container..."},
    {1, ID_CHART_2D, "&2D Chart..."},
    {1, ID_CHART_3D, "&3D Chart..."},
    {1, ID_CHART_XY, "&XY Chart..."},
    {1, ID_INSERT_IMAGE, "&Image..."},
    {1, ID_INSERT_FUNCTION, "F&unction..."},
    {1, 0, nullptr},
    {1, ID_INSERT_COLUMNS, "Insert Co&lumns\tCtrl+L"},
    {1, ID_REMOVE_COLUMNS, "Remove C&olumns\tCtrl+Shift+L"},
    {1, ID_INSERT_ROWS, "I&nsert Rows\tCtrl+R"},
    {1, ID_REMOVE_ROWS, "Re&move Rows\tCtrl+Shift+R"},
    {0, 0, "F&ormat"},
    {1, ID_FORMAT_FONT, "&Font..."},
    {1, ID_FORMAT_CELL, "&Cell..."},
    {1, ID_FORMAT_STYLE, "&Style..."},
    {1, ID_FORMAT_ALIGNMENT, "&Alignment..."},
    {1, ID_FORMAT_LIST, "&List..."},
    {1, ID_FORMAT_WORKSHEET, "&Worksheet..."},
    {1, 0, nullptr},
    {1, ID_ROW_HEIGHT, "&Row Height..."},
    {1, ID_AUTO_ROW_HEIGHT, "Auto Row &Height"},
    {1, ID_COLUMN_WIDTH, "C&olumn Width..."},
    {1, ID_AUTO_COLUMN_WIDTH, "Auto Column W&idth"},
    {0, 0, "&Tools"},
    {1, ID_TOOLS_SORT, "&Sort..."},
    {1, ID_TRANSPOSE, "&Transpose"},
    {1, 0, nullptr},
    {1, ID_UPDATE_DATA, "Update &Data\tF9"},
    {1, 0, "U&pdating"},
    {2, ID_UPDATE_AUTO_ALL, "&Automatic - All Worksheets"},
    {2, ID_UPDATE_AUTO_ALL + 1, "Automatic - &Current Worksheet"},
    {2, ID_UPDATE_AUTO_ALL + 2, "&Manual - All Worksheets"},
    {2, ID_UPDATE_AUTO_ALL + 3, "Manual - Current &Worksheet"},
    {2, ID_UPDATE_AUTO_ALL + 4, "&Default"},
    {1, 0, "&File Format"},
    {2, ID_FORMAT_XML, "&XML"},
    {2, ID_FORMAT_XML + 1, "XML - &GZipped"},
    {2, ID_FORMAT_XML + 2, "&Binary"},
    {2, ID_FORMAT_XML + 3, "Binary - G&Zipped"},
    {2, ID_FORMAT_XML + 4, "&Default"},
    {1, 0, nullptr},
    {1, ID_RENAME, "&Rename..."},
    {0, 0, "&Settings"},
    {0, 0, "&Window"},
    {1, ID_WINDOW_CASCADE, "&Cascade"},
    {1, ID_WINDOW_TILE, "&Tile"},
    {1, ID_WINDOW_ARRANGE, "&Arrange Icons"},
    {0, 0, "&Help"},
};

// Letters of its own where the menu bar's would meet here (Transpose and Cut, Column Width
// and Remove Columns).
constexpr MenuLine kGridContextMenu[] = {
    {0, 0, "Grid"},
    {1, ID_EDIT_CUT, "Cu&t"},
    {1, ID_EDIT_COPY, "&Copy"},
    {1, ID_EDIT_PASTE, "&Paste"},
    {1, ID_EDIT_CLEAR, "&Delete"},
    {1, 0, nullptr},
    {1, ID_INSERT_COLUMNS, "Insert Co&lumns"},
    {1, ID_REMOVE_COLUMNS, "Remove C&olumns"},
    {1, ID_INSERT_ROWS, "I&nsert Rows"},
    {1, ID_REMOVE_ROWS, "Re&move Rows"},
    {1, 0, nullptr},
    {1, ID_ROW_HEIGHT, "Row &Height..."},
    {1, ID_COLUMN_WIDTH, "Col&umn Width..."},
    {1, 0, nullptr},
    {1, ID_TOOLS_SORT, "&Sort..."},
    {1, ID_TRANSPOSE, "Tr&anspose"},
};

constexpr MenuLine kTreeContextMenu[] = {
    {0, 0, "Tree"},
    {1, ID_NEW_WORKSHEET, "New &Worksheet"},
    {1, ID_NEW_FOLDER, "New &Folder"},
    {1, 0, nullptr},
    {1, ID_RENAME, "R&ename..."},
    {1, 0, nullptr},
    {1, ID_EDIT_COPY, "&Copy"},
    {1, ID_EDIT_PASTE, "&Paste"},
    {1, ID_EDIT_CLEAR, "&Delete"},
    {1, 0, nullptr},
    {1, ID_FILE_PRINT, "P&rint..."},
    {1, ID_PRINT_ALL, "Print &All"},
    {1, ID_FILE_PRINT_PREVIEW, "Print Pre&view"},
    {1, ID_FILE_PAGE_SETUP, "Page Set&up..."},
    {1, 0, nullptr},
    {1, ID_FILE_STATISTICS, "&Statistics..."},
};

constexpr MenuLine kInspectAddMenu[] = {
    {0, 0, "Add"},
    {1, ID_INSPECT_ALL_FORMULAS, "&All Formulas"},
    {1, ID_INSPECT_ERROR_FORMULAS, "&Formulas Returning Errors"},
    {1, ID_INSPECT_SELECTED, "&Selected Cell(s)"},
};

constexpr AcceleratorKey kWorkbookKeys[] = {
    {"Ctrl+S", ID_FILE_SAVE},
    {"F12", ID_FILE_SAVE_AS},
    {"Ctrl+Down", ID_NEXT_WORKSHEET},
    {"Ctrl+Up", ID_PREV_WORKSHEET},
    {"Ctrl+Z", ID_EDIT_UNDO},
    {"Alt+Backspace", ID_EDIT_UNDO},
    {"Ctrl+Y", ID_EDIT_REDO},
    {"Ctrl+C", ID_EDIT_COPY},
    {"Ctrl+Ins", ID_EDIT_COPY},
    {"Ctrl+X", ID_EDIT_CUT},
    {"Shift+Del", ID_EDIT_CUT},
    {"Ctrl+V", ID_EDIT_PASTE},
    {"Shift+Ins", ID_EDIT_PASTE},
    {"Del", ID_EDIT_CLEAR},
    {"Ctrl+Alt+Up", ID_INCREMENT_VALUE},
    {"Ctrl+Alt+Down", ID_DECREMENT_VALUE},
    {"Ctrl+A", ID_EDIT_SELECT_ALL},
    {"Shift+Space", ID_SELECT_ROW},
    {"Ctrl+Space", ID_SELECT_COLUMN},
    {"F2", ID_REFERENCE},
    {"F3", ID_EDIT_FIND},
    {"F5", ID_INSERT_DATE},
    {"F4", ID_INSERT_TIME},
    {"F7", ID_INSERT_DATE_AND_TIME},
    {"F8", ID_DATA_SERIES},
    {"Ctrl+L", ID_INSERT_COLUMNS},
    {"Ctrl+Shift+L", ID_REMOVE_COLUMNS},
    {"Ctrl+R", ID_INSERT_ROWS},
    {"Ctrl+Shift+R", ID_REMOVE_ROWS},
    {"F9", ID_UPDATE_DATA},
    {"Ctrl+B", ID_BOLD},
    {"Ctrl+I", ID_ITALIC},
    {"Ctrl+U", ID_UNDERLINE},
    {"Ctrl+T", ID_FONT_STYLE_4},
    {"F6", ID_NEXT_PANE},
    {"Shift+F6", ID_PREV_PANE},
};

} // namespace

const MenuLine* WorkbookMenuLines(std::size_t& count) {
    count = std::size(kWorkbookMenu);
    return kWorkbookMenu;
}

const MenuLine* GridContextMenuLines(std::size_t& count) {
    count = std::size(kGridContextMenu);
    return kGridContextMenu;
}

const MenuLine* TreeContextMenuLines(std::size_t& count) {
    count = std::size(kTreeContextMenu);
    return kTreeContextMenu;
}

const MenuLine* InspectAddMenuLines(std::size_t& count) {
    count = std::size(kInspectAddMenu);
    return kInspectAddMenu;
}

const AcceleratorKey* WorkbookAccelerators(std::size_t& count) {
    count = std::size(kWorkbookKeys);
    return kWorkbookKeys;
}

} // namespace vl
