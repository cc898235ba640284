#pragma once
// Paints one physical sheet of a printout: the pages of the page list that fall on it, each
// in its cell of the sheet's page grid, then the header and the footer.

#include "print/pagination.h"

#include <string>

namespace vl {

class CCanvas;
class CCellDisplay;

constexpr int kPageInfoWords = 255;

// \Folder\Sheet: the worksheet's name after those of its enclosing folders, outermost first.
std::string DocumentPathText(const CWorkbook& workbook, const CWorksheet& sheet);

// The 1-based list positions of the printed pages that fall on the sheet (0-based number).
std::vector<uint32_t> PagesOnSheet(const CWorkbook& workbook, const PageSetupRecord& setup,
                                   uint32_t sheetNumber);

// The page's place in its cell by the alignment flags; a centred page keeps the odd pixel
// at its right.
DcRect PlacePage(const DcRect& cell, uint32_t width, uint32_t height, uint8_t alignment);

// `filePath` is the workbook's file as the file system names it (UTF-8): the date and time
// codes examine it and the file-name code prints it in the code page; null or empty for a
// workbook without a file.
bool PaintPrintPage(CWorkbook& workbook, CCellDisplay& display, CCanvas& canvas,
                    uint32_t sheetNumber, CWorksheet& sheet, const PrintMetrics& metrics,
                    ZoomPair scale, const char* filePath = "");
void PaintPageBody(CWorkbook& workbook, CCellDisplay& display, CCanvas& canvas, const DcRect& rect,
                   CWorksheet& sheet, const PageRecord& page, ZoomPair scale);

} // namespace vl
