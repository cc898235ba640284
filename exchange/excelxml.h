#pragma once
// Excel 2003 XML spreadsheets: a flat workbook of worksheets with styles, column widths,
// row heights, cells with formulas and cached values, page setup and view. Sizes in the
// file are points, which become pixels through the screen's vertical density.

#include "files/xmlreader.h"
#include "files/xmlwriter.h"
#include "model/workbook.h"
#include "platform/core/screen.h"

#include <cstdint>
#include <functional>

namespace vl {

// The last row (from 0) the programs that read the form take: a file with a row past it is
// refused whole by them, so the export leaves such rows out.
constexpr uint32_t kExcelXmlLastRow = 1048575;

// Recomputes the automatic heights of the rows first..last of a worksheet. Measuring
// text stands above the engine, so the caller passes it; null leaves the heights alone.
using RowAutoFit = std::function<void(CWorkbook&, CWorksheet&, uint32_t first, uint32_t last)>;

// Reads the spreadsheet from the workbook's open stream into a workbook whose tree is
// empty, one worksheet per "Worksheet". False with the code in the workbook's error and
// the line in its XML error line; the worksheets read so far stay.
bool ReadExcelXml(CWorkbook& workbook, const RowAutoFit& autoFit, int logPixelsY = kScreenDpi);
// The same from a reader already set on its source.
bool ReadExcelXml(CWorkbook& workbook, CXmlReader& reader, const RowAutoFit& autoFit,
                  int logPixelsY = kScreenDpi);

// Writes every worksheet of the tree (folders are not written) to the workbook's open
// stream; false with the code in the workbook's error.
bool WriteExcelXml(CWorkbook& workbook, int logPixelsY = kScreenDpi);
// The same through a writer (in memory when it has no stream).
bool WriteExcelXml(CWorkbook& workbook, CXmlWriter& writer, int logPixelsY = kScreenDpi);

} // namespace vl
