#pragma once
// The parts of the version-6 reader: the sizes of the older records, their conversion into
// the current model, and the readers of the worksheet body. Every reader returns false with
// the workbook's error set: 21 for bytes that break the form or end too soon, 8 when memory
// ran out.

#include "files/v6input.h"
#include "platform/core/errorcode.h"
#include "platform/core/muldiv.h"
#include "platform/core/screen.h"

#include <cstdint>

namespace vl {

class CChart;
class CContainer;
class CEvalContext;
class CWorkbook;
class CWorksheet;
struct ColoredFont;
struct FontRecord;
struct StyleRecord;

constexpr size_t kLogFontSize = 60;
constexpr size_t kV6StyleRecordSize = 72;
constexpr size_t kV6ChartRecordSize = 2640;
constexpr size_t kV6ItemHeaderSize = 96;
// Titles and page-setup texts keep this many characters.
constexpr size_t kV6TextLimit = 127;
// Column widths and column styles of a worksheet's tables cover this many columns.
constexpr uint32_t kV6TableColumns = 512;

// Sets the workbook's error unless one is set already; false.
bool V6Fail(CWorkbook& book, ErrorCode code);
inline bool V6Invalid(CWorkbook& book) {
    return V6Fail(book, kErrorFileFormat);
}
inline bool V6NoMemory(CWorkbook& book) {
    return V6Fail(book, kErrorWorksheetMemory);
}

// `logFont` is the 60-byte font structure of the older files.
void LogFontToFontRecord(FontRecord& out, const uint8_t* logFont);
// A font of the older form with its colour, the colour given.
void SetColoredFont(ColoredFont& out, const uint8_t* logFont, COLORREF color);
// `out` starts as a copy of the workbook's style 0.
void ConvertV6StyleRecord(const CWorkbook& book, const uint8_t* record, StyleRecord& out);
// Fills the chart and its container's background from a 2,640-byte chart record; false for
// a chart kind code above 13.
bool ConvertV6ChartRecord(CContainer& container, CChart& chart, const uint8_t* record);
// Style references to fonts the table does not hold become font 0.
void ResetMissingStyleFonts(CWorkbook& book);

// Without a worksheet: the document's style and font tables. With one: its column widths,
// row heights, column styles and format runs.
bool ReadV6DocumentTables(CWorkbook& book, CV6Input& in, CWorksheet* sheet);
bool ReadV6FormatRuns(CWorkbook& book, CV6Input& in, CWorksheet& sheet);
// One worksheet's body; `body` holds exactly its bytes.
bool ReadV6Worksheet(CWorkbook& book, CV6Input& body, CWorksheet& sheet, CEvalContext& ctx);
bool ReadV6Objects(CWorkbook& book, CV6Input& in, CWorksheet& sheet);
bool ReadV6PageSetup(CWorkbook& book, CV6Input& in, CWorksheet& sheet);
bool ReadV6Cells(CWorkbook& book, CV6Input& in, CWorksheet& sheet, CEvalContext& ctx);

} // namespace vl
