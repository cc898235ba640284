#pragma once
// The element readers and writers of the Excel 2003 XML form, and the rules they share:
// style identifiers, sizes in points and lengths in inches.

#include "exchange/excelxml.h"

#include <array>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <string_view>

namespace vl {

// The fill patterns by code (0 to 22), as both directions name them.
constexpr std::array<std::string_view, 23> kPatternNames = {
    "None",           "Solid",
    "Gray125",        "Gray75",
    "Gray50",         "Gray25",
    "Gray0625",       "HorzStripe",
    "VertStripe",     "ReverseDiagStripe",
    "DiagStripe",     "DiagCross",
    "ThickDiagCross", "ThinHorzStripe",
    "ThinVertStripe", "ThinReverseDiagStripe",
    "ThinDiagStripe", "ThinHorzCross",
    "ThinDiagCross",  "VertGradient",
    "HorzGradient",   "VertSymGradient",
    "HorzSymGradient"};

// Style slots by the identifiers of one document. "Default" keeps slot 0 and one letter and
// a number 2 to 512 slot number - 1; any other identifier (other writers name styles "ce1"
// or "Heading_20_1"), "s1", and a number whose slot is taken take the highest slot no
// identifier holds yet.
class ExcelStyleIds {
public:
    // The slot of an identifier a "Style" defines; false when none is free.
    bool Define(std::string_view id, uint16_t& slot);
    // The slot an identifier refers to ("StyleID", "Parent"); false for an identifier
    // that is neither defined nor numbered.
    bool Resolve(std::string_view id, uint16_t& slot) const;

private:
    std::map<std::string, uint16_t, std::less<>> named_;
    std::array<bool, 512> taken_{};
};

// The state of one import.
struct ExcelImport {
    CXmlReader& reader;
    CWorkbook& workbook;
    int logPixelsY;
    ExcelStyleIds styles;
};

// Reads the consecutive "Style" elements; the reader stands before the first.
bool ReadExcelXmlStyle(ExcelImport& import);
// One "Table" of a worksheet; nothing when the next tag is not a "Table" start tag.
bool ReadExcelXmlTable(ExcelImport& import, CWorksheet& worksheet);
// "WorksheetOptions"; nothing when it does not come next.
bool ReadExcelXmlWorksheetOptions(ExcelImport& import, CWorksheet& worksheet);

// Skips everything up to the end tag of `name`; the start tag is read already.
bool SkipToEndTag(CXmlReader& reader, std::string_view name);

// Points to pixels: density x points / 72, cut to whole pixels within 1 to 4,095. The
// whole text must be a finite number, else 59.
bool ReadExcelSize(CXmlReader& reader, int logPixelsY, uint16_t& pixels);
// Pixels to points, rounded half up to 1/400 point, as the text written.
std::string ExcelPointsText(uint16_t pixels, int logPixelsY);
// Inches with 25.3995 millimetres to the inch, both ways, rounded half up to thousandths.
double InchesToMillimetres(double inches);
double MillimetresToInches(double millimetres);

void WriteExcelXmlStyles(CXmlWriter& writer, CWorkbook& workbook, int level);
// The worksheets' names in the file by their tree paths in upper case ("\F\S"), the paths
// of the folders ("\F"), and the folder path of the worksheet being written ("\F\"): what
// its formulas name worksheets by.
struct ExcelSheetNames {
    std::map<std::string, std::string> byPath;
    std::set<std::string> folders;
    std::string folder;
};
void WriteExcelXmlTable(CXmlWriter& writer, const CWorksheet& worksheet, int logPixelsY, int level,
                        const ExcelSheetNames* names = nullptr);
void WriteExcelXmlWorksheetOptions(CXmlWriter& writer, const CWorksheet& worksheet, int level);

// A formula in the file's notation of worksheet names ('Other Sheet'!R1C1), and back. With
// `names`, a worksheet named by its path in the tree (relative to the formula's folder or
// from the top) is named as the file names it, and a range over a folder becomes #REF!
// (`lost` set); a name not found stays as written. "#N/A!" is written "#N/A", as the file's
// readers spell it, and both spellings read back as "#N/A!".
std::string ExcelFormulaText(std::string_view formula, const ExcelSheetNames* names = nullptr,
                             bool* lost = nullptr);
std::string FormulaFromExcel(std::string_view formula);
// The text without the control characters an XML document cannot hold (all below 32 but
// tab, line feed and carriage return), which every reader would refuse the file for.
std::string ExcelXmlSafeText(std::string_view text);

// The identifier of style record n in the file: "Default", else "s" and n + 20.
std::string ExcelStyleId(uint16_t index);

} // namespace vl
