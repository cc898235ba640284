#pragma once
// Readers and writers of the elements of the native XML workbook document, each named
// after its element. A reader finds its element optional at the reader's position and
// returns false only on an error (kept in the reader); a writer writes its element whole.

#include "files/xmlreader.h"
#include "files/xmlwriter.h"
#include "model/workbook.h"

namespace vl {

bool ReadXmlDropDownLists(CXmlReader& reader, CWorkbook& workbook);
void WriteXmlDropDownLists(CXmlWriter& writer, const CWorkbook& workbook);

bool ReadXmlStyles(CXmlReader& reader, CWorkbook& workbook);
void WriteXmlStyles(CXmlWriter& writer, const CWorkbook& workbook);

bool ReadXmlInspectCells(CXmlReader& reader, CWorkbook& workbook);
void WriteXmlInspectCells(CXmlWriter& writer, CWorkbook& workbook);

bool ReadXmlFormatting(CXmlReader& reader, const CWorkbook& workbook, CWorksheet& worksheet);
void WriteXmlFormatting(CXmlWriter& writer, const CWorksheet& worksheet);

bool ReadXmlCells(CXmlReader& reader, CWorksheet& worksheet);
void WriteXmlCells(CXmlWriter& writer, const CWorksheet& worksheet);

// A position read from a file: "r%dc%d" forms relative to a base, single rows ("r%d") and
// single columns ("c%d"). Each is the whole text and lies inside the grid; otherwise 57.
bool ReadXmlCellPosition(CXmlReader& reader, uint16_t baseColumn, uint32_t baseRow,
                         uint16_t& column, uint32_t& row);
bool ReadXmlRowPosition(CXmlReader& reader, uint32_t& row);
bool ReadXmlColumnRange(CXmlReader& reader, uint16_t& first, uint16_t& last, bool range);

} // namespace vl
