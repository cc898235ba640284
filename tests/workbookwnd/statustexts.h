#pragma once
// The status-bar texts of the commands as the user reads them, written out here on their
// own: the prompt, and after a line break the tooltip of a button without a word.

#include "resources/commandids.h"

#include <QString>

namespace vl::statustexts {

struct Expected {
    int id;
    const char* text;
    bool inMenus; // some menu of the frame or the workbook window shows it
};

inline constexpr Expected kExpected[] = {
    {ID_FILE_PAGE_SETUP, "Change the printing options", true},
    {ID_FILE_PRINT_PREVIEW, "Display full pages", true},
    {ID_PRINT_ALL, "Print all worksheets from the active document", true},
    {ID_SAVE_AS_IMAGE,
     "Saves the current selection (a range or a container) as an image\nSave Selection As Image",
     true},
    {ID_EDIT_UNDO, "Undo the last action\nUndo (Ctrl + Z)", true},
    {ID_EDIT_REDO, "Redo the previously undone action\nRedo (Ctrl + Y)", true},
    {ID_EDIT_COPY, "Copy the selection and put it on the Clipboard\nCopy (Ctrl + C)", true},
    {ID_EDIT_CUT, "Cut the selection and put it on the internal Vorlane Clipboard\nCut (Ctrl + X)",
     true},
    {ID_EDIT_PASTE, "Insert Clipboard contents\nPaste (Ctrl + V)", true},
    {ID_FORMULAS_TO_VALUES,
     "Replace selected formulas with their current values\nConvert Formulas To Values", true},
    {ID_LABELS_TO_NUMBERS, "Convert selected labels to numbers\nConvert Labels To Numbers", true},
    {ID_NUMBERS_TO_LABELS, "Convert selected numbers to labels\nConvert Numbers To Labels", true},
    {ID_ALL_UPPERCASE, "Convert text to uppercase\nUppercase", true},
    {ID_ALL_LOWERCASE, "Convert text to lowercase\nLowercase", true},
    {ID_FIRST_UPPERCASE, "Convert first letters in words to uppercase\nFirst Letters To Uppercase",
     true},
    {ID_INCREMENT_VALUE,
     "Increment number, date or time (respectively by 1, one day, one hour) in the current "
     "cell\nIncrease Value",
     true},
    {ID_DECREMENT_VALUE,
     "Decrement number, date or time (respectively by 1, one day, one hour) in the current "
     "cell\nDecrease Value",
     true},
    {ID_ROW_HEIGHT, "Change the height of the specified rows\nRow Height", true},
    {ID_AUTO_ROW_HEIGHT, "Turn the automatically calculated row height on\nAuto Row Height", true},
    {ID_SPLIT_HORIZONTAL, "Split the table window horizontally\nSplit Window Horizontally", true},
    {ID_SPLIT_VERTICAL, "Split the table window vertically\nSplit Window Vertically", true},
    {ID_NEXT_PANE, "Switch to the next window pane\nNext Pane", false},
    {ID_PREV_PANE, "Switch back to the previous window pane\nPrevious Pane", false},
    {ID_FORMAT_FONT, "Change cell font\nFont", true},
    {ID_FORMAT_CELL, "Change cell interior and borders\nCell", true},
    {ID_FORMAT_STYLE, "Change numeric or date/time style\nStyle", true},
    {ID_FORMAT_ALIGNMENT, "Change alignment and text rotation options\nAlignment", true},
    {ID_FORMAT_LIST, "Choose a drop-down list displayed when editing cells\nList", true},
    {ID_FORMAT_WORKSHEET, "Change the background of the active worksheet window\nWorksheet", true},
    {ID_BOLD, "Bold text\nBold Text", false},
    {ID_ITALIC, "Italic text\nItalic Text", false},
    {ID_UNDERLINE, "Underlined text\nUnderlined Text", false},
    {ID_VIEW_COMPOSER, "Show the formula composer window\nShow Formula Composer", true},
    {ID_DATA_SERIES,
     "Insert a series of numbers or date/time strings based on the initial or last 1-2 elements",
     true},
    {ID_TOOLS_SORT, "Sort selected cells", true},
    {ID_SORT_DESCENDING,
     "Sort selected cells using the descending order and the 1st column as a sort key", false},
    {ID_SORT_ASCENDING,
     "Sort selected cells using the ascending order and the 1st column as a sort key", false},
    {ID_TRANSPOSE, "Transpose selected cells", true},
    {ID_UPDATE_DATA, "Re-calculate all formulas in the current worksheet or in all worksheets",
     true},
    {ID_REMOVE_ITEM, "Remove the current item from the list\nRemove Current Item", true},
    {ID_REMOVE_ALL_ITEMS, "Empty list\nRemove all Items", true},
    // The formula composer's address and history menus.
    {33067, "Use the selected cell or range for the current argument\nCell Address", false},
    {33068,
     "Use the selected cell or range along with the full worksheet path for the current "
     "argument\nWorksheet && Cell Address",
     false},
    {33069, "Use the value of the selected cell or range for the current argument\nCell Value",
     false},
    {33078, "Use relative cell addresses\nRelative Addressing", false},
};

inline const Expected* Find(int id) {
    for (const Expected& e : kExpected)
        if (e.id == id) return &e;
    return nullptr;
}

// The prompt the status bar shows for the command: empty for one without a text.
inline QString Prompt(int id) {
    const Expected* e = Find(id);
    return e ? QString::fromLatin1(e->text).section(QLatin1Char('\n'), 0, 0) : QString();
}

inline QString Tooltip(int id) {
    const Expected* e = Find(id);
    return e ? QString::fromLatin1(e->text).section(QLatin1Char('\n'), 1) : QString();
}

} // namespace vl::statustexts
