#pragma once
// Turns a worksheet and its page settings into the workbook's page list: the blocks of
// rows and columns (or the one container) each printed page shows, at the printer's pixels.

#include "model/workbook.h"
#include "platform/core/printerrors.h"
#include "print/printprogress.h"
#include "render/sheetlayout.h"

#include <cstdint>
#include <utility>
#include <vector>

namespace vl {

class CCanvas;
class CCellDisplay;

struct PageRecord {
    uint16_t objectId = 0; // a container page's container
    uint32_t firstRow = 0;
    uint32_t firstColumn = 0;
    uint32_t lastRow = 0;
    uint16_t lastColumn = 0;
    uint32_t width = 0; // content size at the final scale
    uint32_t height = 0;
    uint8_t continued = 0; // text flows past the right edge
    uint8_t print = 0;
};
constexpr uint32_t kPageRecordSize = 32;

// Device pixels, origin at the printable area's top left.
struct PrintMetrics {
    int32_t pageLeft = 0, pageTop = 0, pageRight = 0, pageBottom = 0;
    int32_t marginLeft = 0, marginTop = 0, marginRight = 0, marginBottom = 0;
    int32_t headerY = 0, footerY = 0;
};

constexpr uint32_t kLastPrintRow = 2097151;
constexpr uint16_t kLastPrintColumn = 2046;
constexpr uint32_t kMaxPageNumber = 2147483647;
// The most pages one pagination makes, and the most its copies make of them: a worksheet used
// to its last row and column would make millions, for minutes and hundreds of megabytes, so
// past these the printout is refused and the user told (kErrorTooManyPages).
constexpr uint32_t kMaxPrintPages = 10000;
constexpr uint32_t kMaxCopiedPages = 100000;

// The rows or columns a text excludes, parsed once: 0-based, sorted, merged.
class CExclusions {
public:
    CExclusions() = default;
    // An empty or invalid text excludes nothing.
    CExclusions(const char* text, uint32_t highest);
    // Leaves one more line out: the pinned one, printed before every page's own lines.
    void Add(uint32_t line);
    bool Contains(uint32_t line) const;
    // The first line from `line` on that is not excluded.
    uint32_t NextIncluded(uint32_t line) const;

private:
    void Merge();

    std::vector<std::pair<uint32_t, uint32_t>> ranges_;
};

uint32_t PageListCount(const CWorkbook& workbook);
bool GetPageRecord(const CWorkbook& workbook, uint32_t index, PageRecord& record);
// The exclusions of the page walks: the texts' lines and the pinned row or column.
CExclusions PageRows(const CWorksheet& sheet);
CExclusions PageColumns(const CWorksheet& sheet);
bool IsRowExcluded(const CWorksheet& sheet, uint32_t row);
bool IsColumnExcluded(const CWorksheet& sheet, uint16_t column);

// Pages per sheet as pagination and painting count them: each within 1 to 10.
std::pair<int32_t, int32_t> PagesPerSheet(const PageSetupRecord& setup);

// The extent of what the worksheet holds: cells, containers, filled or bordered runs.
void GetPrintedArea(const CWorkbook& workbook, CWorksheet& sheet, uint32_t& lastRow,
                    uint16_t& lastColumn, ZoomPair scale);
void GetPageContentSize(CCanvas& canvas, CWorksheet& sheet, const CExclusions& rows,
                        const CExclusions& columns, PageRecord& page, ZoomPair scale);

// Builds the page list; false with the workbook's error (16, 17, 18, 8, and 130 past the
// page limits, the list then emptied). The scale may come back lowered; fit to sheet size
// leaves the pages per sheet at 1 x 1. `progress` hears of each page made; when it stops the
// work the list is emptied and the answer is false with no error. Texts are measured as
// `display` shows them on paper (formulas while the workbook shows them); without one, as
// values.
bool PaginateSheet(CWorkbook& workbook, CCanvas& canvas, CWorksheet& sheet,
                   const PrintMetrics& metrics, ZoomPair& scale,
                   IPrintProgress* progress = nullptr, CCellDisplay* display = nullptr);
void FreePageList(CWorkbook& workbook);

} // namespace vl
