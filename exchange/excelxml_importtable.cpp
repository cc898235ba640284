// Reading one "Table" of an Excel 2003 XML worksheet: column widths and styles, row
// heights, and cells with their values, formulas and styles.

#include "exchange/excelxmlparts.h"
#include "files/xmlfields.h"
#include "formula/literals.h"
#include "formula/translate.h"
#include "model/cellrecord.h"
#include "model/formatstore.h"

#include <cfloat>
#include <string>

namespace vl {

namespace {

constexpr uint16_t kSizeMask = 0x0FFF;

// Where the next column, row and cell go; positions past the grid are read and dropped.
struct TablePlace {
    uint32_t column = 0;
    uint32_t row = 0;
    uint32_t cell = 0;
    CellCursor cells;
    CellCursor runs;
    uint64_t lastCell = 0; // row and column of the last record put, plus one
    uint64_t lastRun = 0;
};

// The position after an element of `span` + 1; anything past the grid is dropped anyway.
uint32_t Advance(uint32_t position, uint32_t span) {
    const uint64_t next = uint64_t(position) + span + 1;
    return next > kMaxRows ? kMaxRows : uint32_t(next);
}

uint64_t Key(uint32_t row, uint32_t column) {
    return (uint64_t(row) << 16 | column) + 1;
}

// "Index" of a column, row or cell: decimal digits only, 1..max.
bool ReadIndex(CXmlReader& r, uint32_t max, uint32_t& position) {
    if (!r.FindAttribute("Index")) return true;
    uint32_t index = 0;
    if (!r.GetU32Attribute(index, 1, max)) return false;
    position = index - 1;
    return true;
}

// "Span" n: the element stands for n + 1 columns or rows.
bool ReadSpan(CXmlReader& r, uint32_t& span) {
    span = 0;
    return !r.FindAttribute("Span") || r.GetU32Attribute(span, 0, kMaxRows);
}

// A name no style has gives the default style, as other readers take it, and is counted.
bool ReadStyleRef(ExcelImport& im, uint16_t& style) {
    style = 0;
    if (!im.reader.FindAttribute("StyleID")) return true;
    if (!im.styles.Resolve(im.reader.Value(), style)) {
        style = 0;
        ++im.workbook.unknownStyles;
    }
    // A slot no "Style" filled has no record to show.
    if (style >= im.workbook.styles.styleCount) style = 0;
    return true;
}

bool ReadColumn(ExcelImport& im, CWorksheet& ws, TablePlace& at) {
    CXmlReader& r = im.reader;
    uint32_t span = 0;
    uint16_t style = 0;
    if (!ReadIndex(r, kMaxColumns, at.column) || !ReadSpan(r, span) || !ReadStyleRef(im, style))
        return false;
    bool custom = false, hasCustom = false;
    if (r.FindAttribute("AutoFitWidth")) {
        uint8_t autoFit = 0;
        if (!r.GetU8Attribute(autoFit, 0, 1)) return false;
        custom = autoFit == 0;
        hasCustom = true;
    }
    uint16_t width = 0;
    const bool hasWidth = r.FindAttribute("Width");
    if (hasWidth && !ReadExcelSize(r, im.logPixelsY, width)) return false;
    const bool hasStyle = r.FindAttribute("StyleID");
    for (uint32_t c = at.column; c <= at.column + span && c < kMaxColumns; ++c) {
        ColumnEntry& e = ws.formats.columns[c];
        if (hasCustom) e.width = uint16_t((e.width & ~1u) | (custom ? 1 : 0));
        if (hasWidth) e.width = uint16_t((e.width & 0xE001) | (width << 1));
        if (hasStyle) e.style = uint16_t((e.style & ~kStyleIndexMask) | style);
    }
    ColumnsChanged(ws.formats);
    at.column = Advance(at.column, span);
    return r.IsEnd() || SkipToEndTag(r, "Column");
}

bool ReadRowHeight(CXmlReader& r, int dpi, CWorksheet& ws, uint32_t row, uint32_t span) {
    if (!r.FindAttribute("Height")) return true;
    uint16_t height = 0;
    if (!ReadExcelSize(r, dpi, height)) return false;
    if (row < ws.formats.rowHeights.ItemCount()) return r.Fail(kErrorXmlElement);
    bool fixed = false;
    if (r.FindAttribute("AutoFitHeight")) {
        const std::string_view v = r.Value();
        if (v == "false" || v == "0")
            fixed = true;
        else if (v != "true" && v != "1")
            return r.Fail(kErrorXmlAttribute);
    }
    for (uint64_t k = row; k <= uint64_t(row) + span && k <= kLastRow; ++k)
        if (!SetFormatStoreRowEntry(ws.formats, uint32_t(k), height, fixed))
            return r.Fail(kErrorXmlMemory);
    return true;
}

std::string_view TrimXmlSpace(std::string_view text) {
    constexpr std::string_view kSpace = " \t\r\n";
    const std::size_t first = text.find_first_not_of(kSpace);
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(kSpace) + 1 - first);
}

// The text of "Data": the runs of rich text between its tags joined, kept as written.
bool ReadDataText(CXmlReader& r, std::string& text) {
    text.clear();
    if (r.IsEnd()) return true;
    for (;;) {
        if (!r.ReadContent(kMaxCellText, true)) return false;
        if (text.size() + r.Text().size() > kMaxCellText) return r.Fail(kErrorXmlData);
        text += r.Text();
        if (!r.ReadNextTag({}, 0)) return false;
        if (r.IsEnd() && !r.IsStart() && r.Name() == "Data") return true;
    }
}

// "RC:R[h-1]C[w-1]", as the export writes it; another text leaves one cell.
void ReadArrayExtent(std::string_view range, FormulaHead& head) {
    head.resultFlags |= kResultArray;
    head.arrayWidth = 1;
    head.arrayHeight = 1;
    uint64_t h = 0, w = 0;
    if (range.substr(0, 5) != "RC:R[") return;
    const std::size_t close = range.find("]C[", 5);
    if (close == std::string_view::npos || range.back() != ']') return;
    if (ParseXmlUnsigned(range.substr(5, close - 5), kMaxRows, 0, kLastRow, h) != kErrorNone ||
        ParseXmlUnsigned(range.substr(close + 3, range.size() - close - 4), kMaxColumns, 0,
                         kLastColumn, w) != kErrorNone)
        return;
    head.arrayHeight = uint32_t(h + 1);
    head.arrayWidth = uint16_t(w + 1);
}

// The cell's value from "Data" into the record being built.
struct CellValue {
    bool formula = false;
    bool value = false; // a plain value was read
    FormulaHead head;
    std::string formulaText;
    std::string text;
    bool isText = false;
    double number = 0;
    uint8_t error = 0;
};

bool ReadData(CXmlReader& r, CellValue& v) {
    if (!r.ReadNextTag("Data", kXmlAttributes | kXmlStart | kXmlOptional)) return r.Ok();
    std::string type = "String";
    if (r.FindAttribute("Type")) type = r.Value();
    std::string text;
    if (!ReadDataText(r, text)) return false;
    if (text.empty()) {
        // A formula's result may be the empty text; a plain empty value stores nothing.
        if (v.formula && type == "String") v.value = v.isText = true;
        return true;
    }
    v.value = true;
    if (type == "Number") {
        v.isText = false;
        // Other writers indent the number; the blanks around it are no part of it.
        return r.Check(ParseXmlDouble(TrimXmlSpace(text), -DBL_MAX, DBL_MAX, v.number));
    }
    if (type == "String" || type == "DateTime") {
        v.isText = true;
        v.text = std::move(text);
        return true;
    }
    if (type == "Error") {
        v.error = uint8_t(ErrorCodeFromText(text) >> 4);
        // Other writers spell it without the closing "!".
        if (!v.error && text == "#N/A") v.error = kErrNA >> 4;
        return true;
    }
    v.number = type == "Boolean" && text == "1" ? 1 : 0;
    return true;
}

bool BuildCell(const CellValue& v, uint16_t column, uint32_t row, CellBuffer& out) {
    if (v.formula) {
        FormulaHead head = v.head;
        std::string_view cached;
        if (v.value && v.isText) {
            head.resultFlags |= kResultText;
            cached = v.text;
        } else if (v.value) {
            head.resultFlags |= kResultNumber;
            head.cachedNumber = v.number;
            head.flags = uint8_t(kCellFormula | (v.error << 4));
        }
        return MakeFormulaCell(out, column, row, head, v.formulaText, cached);
    }
    if (v.isText) return MakeTextCell(out, column, row, v.text);
    return MakeNumberCell(out, column, row, v.number, v.error);
}

bool ReadCell(ExcelImport& im, CWorksheet& ws, TablePlace& at) {
    CXmlReader& r = im.reader;
    const uint32_t lostBefore = r.LostCharacters();
    uint32_t index = at.cell;
    if (r.FindAttribute("Index")) {
        if (!r.GetU32Attribute(index, 1, 65534)) return false;
        --index;
    }
    uint32_t merge = 0;
    if (r.FindAttribute("MergeAcross") && !r.GetU32Attribute(merge, 0, 65534)) return false;
    uint16_t style = 0;
    if (!ReadStyleRef(im, style)) return false;
    const bool inGrid = index <= kLastColumn && at.row <= kLastRow;
    const auto column = uint16_t(index);
    if (inGrid && style) {
        const uint64_t key = Key(at.row, column);
        if (key < at.lastRun) at.runs = CellCursor{};
        at.lastRun = key;
        if (!PutFormatRun(ws.formats, FormatRun{column, column, at.row, style}, at.runs))
            return r.Fail(kErrorXmlMemory);
    }
    CellValue v;
    if (r.FindAttribute("Formula")) {
        std::string formula;
        if (!r.DecodeValue(formula, kMaxFormulaText)) return false;
        // Other writers put formulas of their own notation here, such as "of:=[.A2]*2".
        if (!formula.empty() && formula[0] == '=') {
            v.formula = true;
            std::string own = FormulaFromExcel(formula);
            v.formulaText = own.size() <= kMaxFormulaText ? std::move(own) : std::move(formula);
            v.head.arrayWidth = 1;
            v.head.arrayHeight = 1;
            v.head.resultFlags = 0;
            if (r.FindAttribute("ArrayRange")) ReadArrayExtent(r.Value(), v.head);
        }
    }
    const bool empty = r.IsEnd();
    if (!empty && (!ReadData(r, v) || !SkipToEndTag(r, "Cell"))) return false;
    at.cell = index + merge + 1;
    // A text or formula with a character outside the code page is left out and counted,
    // never stored with '?' in its place; the reading goes on.
    if ((v.formula || v.value) && r.LostCharacters() != lostBefore) {
        ++im.workbook.refusedTexts;
        return true;
    }
    if (!inGrid || (!v.formula && !v.value)) return true;
    CellBuffer record;
    if (!BuildCell(v, column, at.row, record)) return r.Fail(kErrorXmlData);
    const uint64_t key = Key(at.row, column);
    if (key < at.lastCell) at.cells = CellCursor{};
    at.lastCell = key;
    return ws.cells.PutCell(record.bytes, at.cells) || r.Fail(kErrorXmlMemory);
}

bool ReadRow(ExcelImport& im, CWorksheet& ws, TablePlace& at) {
    CXmlReader& r = im.reader;
    uint32_t span = 0;
    if (!ReadIndex(r, kMaxRows, at.row) || !ReadSpan(r, span) ||
        !ReadRowHeight(r, im.logPixelsY, ws, at.row, span))
        return false;
    if (!r.IsEnd()) {
        at.cell = 0;
        while (r.ReadNextTag("Cell", kXmlAttributes | kXmlStart | kXmlOptional))
            if (!ReadCell(im, ws, at)) return false;
        if (!r.Ok() || !SkipToEndTag(r, "Row")) return false;
    }
    at.row = Advance(at.row, span);
    return true;
}

} // namespace

bool ReadExcelXmlTable(ExcelImport& im, CWorksheet& ws) {
    CXmlReader& r = im.reader;
    if (!r.ReadNextTag("Table", kXmlStart | kXmlOptional)) return r.Ok();
    if (r.IsEnd()) return true;
    TablePlace at;
    at.cells = CellCursor{};
    at.runs = CellCursor{};
    while (r.ReadNextTag("Column", kXmlAttributes | kXmlStart | kXmlOptional))
        if (!ReadColumn(im, ws, at)) return false;
    while (r.Ok() && r.ReadNextTag("Row", kXmlAttributes | kXmlStart | kXmlOptional))
        if (!ReadRow(im, ws, at)) return false;
    return r.Ok() && SkipToEndTag(r, "Table");
}

bool ReadExcelSize(CXmlReader& r, int logPixelsY, uint16_t& pixels) {
    double points = 0;
    if (!r.GetDoubleAttribute(points, -DBL_MAX, DBL_MAX)) return false;
    double value = logPixelsY * points / 72;
    if (!(value >= 1)) value = 1;
    if (value > kSizeMask) value = kSizeMask;
    pixels = uint16_t(value);
    return true;
}

} // namespace vl
