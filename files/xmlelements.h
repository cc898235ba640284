#pragma once
// Readers and writers of the elements of the native XML workbook document, each named
// after its element. A reader finds its element optional at the reader's position and
// returns false only on an error (kept in the reader); a writer writes its element whole.

#include "files/xmlreader.h"
#include "files/xmlwriter.h"
#include "model/workbook.h"

namespace vl {

class CChart;
class CContainer;

bool ReadXmlDropDownLists(CXmlReader& reader, CWorkbook& workbook);
void WriteXmlDropDownLists(CXmlWriter& writer, const CWorkbook& workbook);

bool ReadXmlStyles(CXmlReader& reader, CWorkbook& workbook);
void WriteXmlStyles(CXmlWriter& writer, const CWorkbook& workbook);

bool ReadXmlInspectCells(CXmlReader& reader, CWorkbook& workbook);
void WriteXmlInspectCells(CXmlWriter& writer, CWorkbook& workbook);

bool ReadXmlFormatting(CXmlReader& reader, const CWorkbook& workbook, CWorksheet& worksheet);
void WriteXmlFormatting(CXmlWriter& writer, const CWorksheet& worksheet);
// The height rows are measured against: a row of this height that is not fixed is not
// written.
uint16_t XmlReferenceRowHeight(const CFormatStore& formats);

bool ReadXmlCells(CXmlReader& reader, CWorksheet& worksheet);
void WriteXmlCells(CXmlWriter& writer, const CWorksheet& worksheet);

// "GeneralSettings": the view state of a worksheet, its background included.
bool ReadXmlGeneralSettings(CXmlReader& reader, CWorksheet& worksheet);
void WriteXmlGeneralSettings(CXmlWriter& writer, const CWorksheet& worksheet);

// "PageSettings": the page setup of a worksheet.
bool ReadXmlPageSettings(CXmlReader& reader, CWorksheet& worksheet);
void WriteXmlPageSettings(CXmlWriter& writer, const CWorksheet& worksheet);

// "Container": one container of a worksheet with its charts and other objects. The reader
// takes the element only when a "Container" start tag comes next.
bool ReadXmlContainer(CXmlReader& reader, CContainer& container);
void WriteXmlContainer(CXmlWriter& writer, const CContainer& container);

// "Background" of a container or a worksheet; the reader takes it only when it comes next.
bool ReadXmlBackground(CXmlReader& reader, BackgroundRecord& background);
void WriteXmlBackground(CXmlWriter& writer, const BackgroundRecord& background, int level);
// 1 BMP, 2 JPEG, 3 PNG by the text from the last dot, compared over the known extension's
// length without regard to case (".bmpx" is BMP); 0 otherwise.
uint8_t GetImageKindFromPath(std::string_view path);
inline bool IsImageFileName(std::string_view path) {
    return GetImageKindFromPath(path) != 0;
}

// "Chart2D", "Chart3D" or "ChartXY": one chart object of a container. The reader leaves the
// position alone when none of them comes next.
bool ReadXmlChart(CXmlReader& reader, CChart& chart);
void WriteXmlChart(CXmlWriter& writer, const CChart& chart);

// A position read from a file: "r%dc%d" forms relative to a base, single rows ("r%d") and
// single columns ("c%d"). Each is the whole text and lies inside the grid; otherwise 57.
bool ReadXmlCellPosition(CXmlReader& reader, uint16_t baseColumn, uint32_t baseRow,
                         uint16_t& column, uint32_t& row);
bool ReadXmlRowPosition(CXmlReader& reader, uint32_t& row);
bool ReadXmlColumnRange(CXmlReader& reader, uint16_t& first, uint16_t& last, bool range);

} // namespace vl
