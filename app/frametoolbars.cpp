#include "app/frametoolbars.h"

#include "resources/commandids.h"

#include <iterator>

namespace vl {

namespace {

using K = ButtonKind;
constexpr ToolButton kSep{K::kSeparator, 0, nullptr};

constexpr ToolButton kStandard[] = {
    {K::kButton, ID_FILE_NEW, "New"},
    {K::kButton, ID_FILE_OPEN, "Open"},
    {K::kButton, ID_FILE_SAVE, "Save"},
    kSep,
    {K::kButton, ID_NEW_WORKSHEET, "New Worksheet"},
    {K::kButton, ID_NEW_FOLDER, "New Folder"},
    kSep,
    {K::kButton, ID_EDIT_CUT, "Cut"},
    {K::kButton, ID_EDIT_COPY, "Copy"},
    {K::kDropArrow, ID_EDIT_PASTE, "Paste"},
    kSep,
    {K::kButton, ID_FILE_PRINT_PREVIEW, "Print Preview"},
    {K::kButton, ID_FILE_PRINT, "Print"},
    kSep,
    {K::kButton, ID_EDIT_UNDO, "Undo"},
    {K::kButton, ID_EDIT_REDO, "Redo"},
    kSep,
    {K::kButton, ID_EDIT_FIND, "Find/Replace"},
    {K::kButton, ID_SORT_ASCENDING, "Sort Ascending"},
    {K::kButton, ID_SORT_DESCENDING, "Sort Descending"},
    kSep,
    {K::kWholeDrop, ID_INSERT_DATE_TIME, "Insert Date/Time"},
    {K::kWholeDrop, ID_INSERT_FORMULA, "Insert Formula"},
    {K::kDropArrow, ID_VIEW_COMPOSER, "Formula Composer"},
    kSep,
    {K::kWholeDrop, ID_INSERT_CHART, "Insert Chart"},
    {K::kButton, ID_INSERT_IMAGE, "Insert Image"},
    kSep,
    {K::kButton, ID_UPDATE_DATA, "Update Data"},
};

constexpr ToolButton kFormatting[] = {
    {K::kWholeDrop, ID_FORMAT_FONT, "Font", " Font"},
    {K::kWholeDrop, ID_FORMAT_CELL, "Cell", " Cell"},
    {K::kWholeDrop, ID_FORMAT_STYLE, "Style", " Style"},
    {K::kWholeDrop, ID_FORMAT_ALIGNMENT, "Alignment", " Alignment"},
    {K::kWholeDrop, ID_FORMAT_LIST, "List", " List"},
    {K::kWholeDrop, ID_FORMAT_WORKSHEET, "Worksheet", " Worksheet"},
};

constexpr ToolButton kAddress[] = {
    {K::kPlace, 0, "Address", nullptr, 400},
    {K::kDropArrow, ID_GO_TO_ADDRESS, "Go", " Go"},
    {K::kButton, ID_CURRENT_ADDRESS, "Current Address"},
    {K::kButton, ID_ADD_BOOKMARK, "Add Bookmark"},
    {K::kDropArrow, ID_REMOVE_ITEM, "Remove Current Item"},
};

constexpr ToolButton kPreview[] = {
    {K::kButton, ID_PREVIEW_PRINT, "Print All", " Print All"},
    kSep,
    {K::kButton, ID_PREVIEW_GO_TO, "Go To", " Go To "},
    {K::kPlace, 0, "Page", nullptr, 100},
    {K::kButton, ID_PREVIEW_PREV, "Previous Page", " Previous Page"},
    {K::kButton, ID_PREVIEW_NEXT, "Next Page", " Next Page"},
    kSep,
    {K::kButton, ID_PREVIEW_ZOOM_IN, "Zoom In", " Zoom In"},
    {K::kButton, ID_PREVIEW_ZOOM_OUT, "Zoom Out", " Zoom Out"},
    kSep,
    {K::kButton, ID_PREVIEW_CLOSE, "Close"},
};

constexpr ToolButton kSearch[] = {
    {K::kButton, ID_SEARCH_FIND, "Find Text (F3)", "Find Text (F3)"},
    {K::kPlace, 0, "Find", nullptr, 181},
    kSep,
    {K::kButton, ID_SEARCH_REPLACE, "Replace with", "Replace with"},
    {K::kPlace, 0, "Replace", nullptr, 181},
    {K::kButton, ID_SEARCH_REPLACE_ALL, "Replace All", "Replace All"},
    kSep,
    {K::kCheck, ID_SEARCH_MATCH_CASE, "Match case"},
    {K::kCheck, ID_SEARCH_WHOLE_CELLS, "Match whole cells"},
    kSep,
    {K::kButton, ID_SEARCH_CLOSE, "Close"},
};

constexpr ToolbarSpec kBars[kToolbars] = {
    {"Standard", 267, kStandard, std::size(kStandard)},
    {"Formatting", 227, kFormatting, std::size(kFormatting)},
    {"Address", 231, kAddress, std::size(kAddress)},
    {"Print Preview", 108, kPreview, std::size(kPreview)},
    {"Search", 268, kSearch, std::size(kSearch)},
};

} // namespace

const ToolbarSpec& FrameToolbar(int index) {
    return kBars[index];
}

} // namespace vl
