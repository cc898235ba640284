#pragma once
// The working state of one PaintSheet call: the layout, the gridline flags of the row being
// painted and the border records collected on the way.

#include "model/pagedlist.h"
#include "render/paintsheet.h"
#include "render/rowscan.h"
#include "render/textflow.h"

#include <functional>

namespace vl {

// Gridline flags of a cell, reset for each row.
enum : uint8_t {
    kLineRight = 1,     // the vertical gridline at the cell's right
    kLineBelow = 2,     // the horizontal gridline under the cell
    kLineCorner = 4,    // that gridline reaches the corner pixel at its right end
    kNotFlowedInto = 8, // no text flows into the cell from a neighbour
};

// A printed page: its last row and column, the lines left out of it, and its headings
// drawn by the caller. No background, and gridlines in the window text colour.
struct PagePaint {
    uint32_t lastRow = 0;
    uint16_t lastColumn = 0;
    int32_t headingWidth = 0;
    int32_t bandHeight = 0;
    std::function<bool(uint32_t)> rowExcluded;
    std::function<bool(uint16_t)> columnExcluded;
};

class CSheetPainter {
public:
    CSheetPainter(CWorkbook& workbook, CCellDisplay& display, CCanvas& canvas, const DcRect& area,
                  CWorksheet& sheet, uint32_t firstRow, uint16_t firstColumn, ZoomPair zoom,
                  SheetContainersPainter containers, const PagePaint* page = nullptr);
    void Paint();

private:
    // One cell position of the row being painted.
    struct CellPlace {
        uint16_t column;
        int32_t x;     // the gridline left of the cell
        int32_t width; // zoomed
        bool pinned;   // the pinned column
        DcRect box;    // inside the gridlines
    };
    void PaintRow(uint32_t row, int32_t y, bool firstSeen);
    void PaintCell(const CellPlace& place, const uint8_t* cell, const StyleRecord& style);
    void PaintEmptyCell(const CellPlace& place, const StyleRecord& style);
    int32_t TextGap() const;
    void MarkFlowedInto(const CellPlace& place, const TextSpan& span);
    void FillBox(const CellPlace& place, const StyleRecord& style, const TextSpan& span);
    void AddBorder(const StyleRecord& style, const DcRect& box);
    void DrawGridlines(int32_t y);
    void DrawContainers();
    void PaintPageRows();
    bool RowLeftOut(uint32_t row) const { return page_ && page_->rowExcluded(row); }
    bool ColumnLeftOut(uint32_t column) const {
        return page_ && page_->columnExcluded(uint16_t(column));
    }
    COLORREF GridColor() const;
    uint8_t& Flags(const CellPlace& place) {
        return place.pinned ? pinnedFlags_ : flags_[place.column];
    }
    bool Visible(const DcRect& box) const;

    CWorkbook& workbook_;
    CCellDisplay& display_;
    CCanvas& canvas_;
    DcRect area_;
    CWorksheet& sheet_;
    uint32_t firstRow_;
    uint16_t firstColumn_;
    ZoomPair zoom_;
    SheetContainersPainter containers_;
    const PagePaint* page_;
    SheetLayout layout_;
    int32_t cellsLeft_ = 0;    // the gridline left of the first painted column
    int32_t scrolledLeft_ = 0; // the gridline left of the first scrolled column
    int32_t rowHeight_ = 0;
    bool firstRowSeen_ = false;
    uint8_t flags_[kMaxColumns];
    uint8_t pinnedFlags_ = 0xFF;
    CRowScan scan_;
    CPagedList borders_;
};

} // namespace vl
