#pragma once
// What the status bar's panes say about the active workbook, as pure functions of the
// selection and the document's state.

#include "core/settings.h"
#include "model/cellstore.h"
#include "model/rangedescriptor.h"

#include <array>
#include <cstdint>
#include <string>

namespace vl {

// Right edges of the six panes for a bar `width` wide with horizontal border `border`,
// gap `gap` between panes and `textWidth` the width of twelve "X" in the bar's font.
std::array<int, 6> StatusPaneEdges(int width, int border, int gap, int textWidth);

// Quick statistics of the stored cells of a selection.
struct SelectionStats {
    double sum = 0;
    double min = 0;
    double max = 0;
    uint32_t numbers = 0;
    uint32_t texts = 0;
};
SelectionStats ComputeSelectionStats(const CCellStore& cells, const CellRange& range);
// "Sum=..; Min=..; Max=..; Mean=..; Numbers=n[; Text=n]", "Text=n" or the empty text.
std::string FormatSelectionStats(const SelectionStats& stats, const SeparatorSet& set);

// Pane 0 for a selection of more than one cell: "1 column x 3 rows" and the like.
std::string SelectionSizeText(const CellRange& range);

// What the status bar and the command states read of a workbook window.
struct DocumentState {
    CellRange selection;
    bool imported = false;
    uint8_t importKind = 0; // 1 text, 2 Excel 2003 XML, 3..6 xBase kinds
    uint8_t fileFormat = 0; // 0: the profile's FileFormat
    bool fileOpen = false;
    std::string lastSaved; // ISO 8601 as recorded at the last save
    std::string savedBy;
    uint8_t lockState = 0;
    uint8_t editorState = 0; // 0 closed, 1 open, 2 open in parameter mode
    uint16_t zoom = 100;
    bool readOnly = false;
    uint8_t treePane = 0; // 0, 1, 2
    uint8_t inspectPane = 0;
    int32_t undoPosition = -1;
    bool nextUndoEntry = false;
    bool frozenColumn = false;
    bool frozenRow = false;
    bool splitHorizontal = false;
    bool splitVertical = false;
    uint8_t updateMode = 0;
};

// "Format: Binary" and the like, without the last-save part.
std::string FileFormatText(const DocumentState& doc, uint8_t defaultFormat);
// " Edit - On", " Edit - Param", " Edit - Off".
std::string EditorStateText(uint8_t editorState);
std::string ZoomText(uint16_t zoom);
// The icon of pane 3: 0 none, else 285 or 286.
int LockIconId(uint8_t lockState);

} // namespace vl
