#include "resources/commandtexts.h"

#include "resources/commandids.h"

#include <cstring>

namespace vl {

namespace {

struct CommandText {
    int id;
    const char* text;
};

// The composer's commands, beside those of resources/commandids.h.
constexpr int kComposerCellAddress = 33067;
constexpr int kComposerSheetAddress = 33068;
constexpr int kComposerCellValue = 33069;
constexpr int kComposerRelative = 33078;

constexpr CommandText kTexts[] = {
    // File
    {ID_FILE_PAGE_SETUP, "Change the printing options"},
    {ID_FILE_PRINT_PREVIEW, "Display full pages"},
    {ID_PRINT_ALL, "Print all worksheets from the active document"},
    {ID_SAVE_AS_IMAGE, "Saves the current selection (a range or a container) as an "
                       "image\nSave Selection As Image"},
    // Edit
    {ID_EDIT_UNDO, "Undo the last action\nUndo (Ctrl + Z)"},
    {ID_EDIT_REDO, "Redo the previously undone action\nRedo (Ctrl + Y)"},
    {ID_EDIT_CUT, "Cut the selection and put it on the internal Vorlane Clipboard\nCut (Ctrl + X)"},
    {ID_EDIT_COPY, "Copy the selection and put it on the Clipboard\nCopy (Ctrl + C)"},
    {ID_EDIT_PASTE, "Insert Clipboard contents\nPaste (Ctrl + V)"},
    {ID_INCREMENT_VALUE, "Increment number, date or time (respectively by 1, one day, one hour) "
                         "in the current cell\nIncrease Value"},
    {ID_DECREMENT_VALUE, "Decrement number, date or time (respectively by 1, one day, one hour) "
                         "in the current cell\nDecrease Value"},
    {ID_FORMULAS_TO_VALUES,
     "Replace selected formulas with their current values\nConvert Formulas To Values"},
    {ID_LABELS_TO_NUMBERS, "Convert selected labels to numbers\nConvert Labels To Numbers"},
    {ID_NUMBERS_TO_LABELS, "Convert selected numbers to labels\nConvert Numbers To Labels"},
    {ID_ALL_UPPERCASE, "Convert text to uppercase\nUppercase"},
    {ID_ALL_LOWERCASE, "Convert text to lowercase\nLowercase"},
    {ID_FIRST_UPPERCASE, "Convert first letters in words to uppercase\nFirst Letters To Uppercase"},
    // View and the window's panes
    {ID_VIEW_COMPOSER, "Show the formula composer window\nShow Formula Composer"},
    {ID_SPLIT_HORIZONTAL, "Split the table window horizontally\nSplit Window Horizontally"},
    {ID_SPLIT_VERTICAL, "Split the table window vertically\nSplit Window Vertically"},
    {ID_NEXT_PANE, "Switch to the next window pane\nNext Pane"},
    {ID_PREV_PANE, "Switch back to the previous window pane\nPrevious Pane"},
    // Insert
    {ID_DATA_SERIES, "Insert a series of numbers or date/time strings based on the initial or "
                     "last 1-2 elements"},
    // Format
    {ID_FORMAT_FONT, "Change cell font\nFont"},
    {ID_FORMAT_CELL, "Change cell interior and borders\nCell"},
    {ID_FORMAT_STYLE, "Change numeric or date/time style\nStyle"},
    {ID_FORMAT_ALIGNMENT, "Change alignment and text rotation options\nAlignment"},
    {ID_FORMAT_LIST, "Choose a drop-down list displayed when editing cells\nList"},
    {ID_FORMAT_WORKSHEET, "Change the background of the active worksheet window\nWorksheet"},
    {ID_ROW_HEIGHT, "Change the height of the specified rows\nRow Height"},
    {ID_AUTO_ROW_HEIGHT, "Turn the automatically calculated row height on\nAuto Row Height"},
    {ID_BOLD, "Bold text\nBold Text"},
    {ID_ITALIC, "Italic text\nItalic Text"},
    {ID_UNDERLINE, "Underlined text\nUnderlined Text"},
    // Tools
    {ID_TOOLS_SORT, "Sort selected cells"},
    {ID_SORT_DESCENDING,
     "Sort selected cells using the descending order and the 1st column as a sort key"},
    {ID_SORT_ASCENDING,
     "Sort selected cells using the ascending order and the 1st column as a sort key"},
    {ID_TRANSPOSE, "Transpose selected cells"},
    {ID_UPDATE_DATA, "Re-calculate all formulas in the current worksheet or in all worksheets"},
    // The address list and the composer
    {ID_REMOVE_ITEM, "Remove the current item from the list\nRemove Current Item"},
    {ID_REMOVE_ALL_ITEMS, "Empty list\nRemove all Items"},
    {kComposerCellAddress, "Use the selected cell or range for the current argument\nCell Address"},
    {kComposerSheetAddress, "Use the selected cell or range along with the full worksheet path "
                            "for the current argument\nWorksheet && Cell Address"},
    {kComposerCellValue,
     "Use the value of the selected cell or range for the current argument\nCell Value"},
    {kComposerRelative, "Use relative cell addresses\nRelative Addressing"},
};

} // namespace

const char* CommandStatusText(int id) {
    for (const CommandText& t : kTexts)
        if (t.id == id) return t.text;
    return nullptr;
}

std::string CommandPrompt(int id) {
    const char* text = CommandStatusText(id);
    if (!text) return {};
    const char* end = std::strchr(text, '\n');
    return end ? std::string(text, end) : std::string(text);
}

std::string CommandTooltip(int id) {
    const char* text = CommandStatusText(id);
    const char* start = text ? std::strchr(text, '\n') : nullptr;
    return start ? std::string(start + 1) : std::string();
}

} // namespace vl
