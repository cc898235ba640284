#pragma once
// Paints the visible part of a worksheet: its background, the headings, then row by row
// each visible cell (fill, shown value, corner marks) and the gridlines, then every cell
// border over all of it.

#include "model/workbook.h"
#include "render/sheetlayout.h"

#include <cstdint>

namespace vl {

class CCanvas;
class CCellDisplay;
class CPagedList;

// A bordered cell as painting collects it: the style's edges and line, and the cell box
// grown by one pixel on every side, so that the lines lie on the gridlines.
struct CellBorderRecord {
    uint8_t edges = 0;
    BorderLine line;
    DcRect box;
};
constexpr uint32_t kCellBorderRecordSize = 28;
void WriteCellBorderRecord(uint8_t* p, const CellBorderRecord& r);
void ReadCellBorderRecord(const uint8_t* p, CellBorderRecord& r);

// Draws every record of the list, each edge as a line with the record's pen at `size` %.
void DrawBorderRecords(CCanvas& canvas, const CPagedList& list, uint16_t size);

// Corner 0 top left, 1 top right, 2 bottom right, 3 bottom left; nothing when the workbook
// hides cell markers.
void DrawCornerMark(const CWorkbook& workbook, CCanvas& canvas, const DcRect& box, COLORREF color,
                    uint8_t corner, ZoomPair zoom);

constexpr COLORREF kFormulaMarkColor = 0x00BE00;
constexpr COLORREF kListMarkColor = 0xBE0000;

// Draws a worksheet's containers over its cells. `origin` holds the gridlines left of the
// first painted column and above the first painted row, and the area's right and bottom.
using SheetContainersPainter = void (*)(CWorkbook& workbook, CCanvas& canvas, const DcRect& origin,
                                        CWorksheet& sheet, uint16_t firstColumn, uint32_t firstRow,
                                        ZoomPair zoom);

// `area` is inclusive; the display gives the cells' texts (its show-formulas switch follows
// the workbook's). The containers, when a painter is given, come last, clipped to the cells.
void PaintSheet(CWorkbook& workbook, CCellDisplay& display, CCanvas& canvas, const DcRect& area,
                CWorksheet& sheet, uint32_t firstRow, uint16_t firstColumn, ZoomPair zoom,
                SheetContainersPainter containers = nullptr);

} // namespace vl
