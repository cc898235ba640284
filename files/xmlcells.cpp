// The "Cells" element: every record of a worksheet's cell store, one line per row.

#include "files/xmlelements.h"
#include "files/xmlfields.h"
#include "formula/literals.h"
#include "formula/translate.h"
#include "values/inttext.h"

#include <cfloat>
#include <cmath>

namespace vl {

namespace {

// A number is element text like any other: files of other tools write long digit strings.
constexpr std::size_t kMaxNumberText = 1024;
constexpr std::size_t kMaxErrorText = 16;

// The cached or plain value of a cell: exactly one of N, T and Error.
struct CellValue {
    uint8_t kind = 0; // kCellNumber or kCellText; an error is a number with a code
    uint8_t error = 0;
    double number = 0;
    std::string text;
};

bool ReadValue(CXmlReader& r, CellValue& v) {
    if (r.ReadElementText("N", kMaxNumberText, kXmlOptional)) {
        v.kind = kCellNumber;
        return r.Check(ParseXmlDouble(r.Text(), -DBL_MAX, DBL_MAX, v.number));
    }
    if (r.Ok() && r.ReadElementText("T", kMaxCellText, kXmlOptional, true)) {
        v.kind = kCellText;
        v.text = r.Text();
        return true;
    }
    if (r.Ok() && r.ReadElementText("Error", kMaxErrorText, kXmlOptional)) {
        v.kind = kCellNumber;
        v.error = uint8_t(ErrorCodeFromText(r.Text()) >> 4);
        return v.error != 0 || r.Fail(kErrorXmlData);
    }
    return r.Ok() && r.Fail(kErrorXmlElement);
}

bool ReadFormula(CXmlReader& r, uint16_t column, uint32_t row, CellBuffer& out) {
    FormulaHead head;
    head.arrayWidth = 1;
    head.arrayHeight = 1;
    head.resultFlags = 0;
    if (r.FindAttribute("Width")) {
        if (!r.GetU16Attribute(head.arrayWidth, 1, kMaxColumns)) return false;
        head.resultFlags |= kResultArray;
    }
    if (r.FindAttribute("Height")) {
        if (!r.GetU32Attribute(head.arrayHeight, 1, kMaxRows)) return false;
        head.resultFlags |= kResultArray;
    }
    std::string formula;
    if (!r.IsEnd()) {
        if (!r.ReadContent(kMaxFormulaText, true) || !r.ReadNextTag("F", kXmlEnd)) return false;
        formula = r.Text();
    }
    CellValue v;
    if (!ReadValue(r, v)) return false;
    head.flags = uint8_t(kCellFormula | (v.error << 4));
    head.resultFlags |= v.kind == kCellText ? kResultText : kResultNumber;
    head.cachedNumber = v.kind == kCellNumber ? v.number : 0;
    // Formula and cached text share one record; together they may not fit.
    return MakeFormulaCell(out, column, row, head, formula, v.text) || r.Fail(kErrorXmlData);
}

bool ReadPlain(CXmlReader& r, uint16_t column, uint32_t row, bool automatic, CellBuffer& out) {
    CellValue v;
    if (!ReadValue(r, v)) return false;
    if (v.kind == kCellText)
        MakeTextCell(out, column, row, v.text);
    else
        MakeNumberCell(out, column, row, v.number, v.error);
    if (automatic) out.bytes[0] |= kCellArrayElement;
    return true;
}

bool ReadCell(CXmlReader& r, uint16_t column, uint32_t row, CellBuffer& out) {
    bool automatic = false;
    if (r.FindAttribute("Auto") && !r.GetBoolAttribute(automatic)) return false;
    if (r.ReadNextTag("F", kXmlAttributes | kXmlStart | kXmlOptional))
        return ReadFormula(r, column, row, out);
    return r.Ok() && ReadPlain(r, column, row, automatic, out);
}

void WriteValue(CXmlWriter& w, uint8_t error, bool isText, double number, std::string_view text) {
    // No number text stands for infinity or NaN; computing them gives this error.
    if (!error && !isText && !std::isfinite(number)) error = kErrNum >> 4;
    if (error)
        w.WriteElement("Error", GetFormulaErrorText(uint8_t(error << 4)), 0, 0);
    else if (isText)
        w.WriteElement("T", text, 0, 0);
    else
        w.WriteElement("N", XmlNumberText(number), 0, 0);
}

void WriteFormula(CXmlWriter& w, const uint8_t* rec) {
    const uint8_t result = cell::ResultFlags(rec);
    XmlAttributeText a;
    if (result & kResultArray) {
        a.Int("Width", cell::ArrayWidth(rec));
        a.Int("Height", cell::ArrayHeight(rec));
    }
    w.WriteTag("F", a.str(), kXmlStartTag, 0, 0);
    w.EncodeText(cell::Formula(rec));
    w.WriteTag("F", {}, kXmlEndTag, 0, 0);
    // A result not yet computed is written as its number, so that the cell reads back.
    const bool isText = !(result & kResultNumber) && (result & kResultText);
    WriteValue(w, cell::Error(rec), isText, cell::CachedNumber(rec), cell::CachedText(rec));
}

} // namespace

bool ReadXmlCells(CXmlReader& r, CWorksheet& worksheet) {
    if (!r.ReadNextTag("Cells", kXmlStart | kXmlOptional)) return r.Ok();
    if (r.IsEnd()) return true;
    uint16_t column = 0;
    uint32_t row = 0;
    bool previous = false;
    CellCursor cursor;
    CellBuffer record;
    while (r.ReadNextTag("Cell", kXmlAttributes | kXmlStart | kXmlOptional)) {
        if (r.IsEnd()) return r.Fail(kErrorXmlElement);
        if (!r.FindAttribute("rc")) return r.Fail(kErrorXmlMissing);
        uint16_t c = 0;
        uint32_t rw = 0;
        if (!ReadXmlCellPosition(r, column, row, c, rw)) return false;
        if (previous && !cell::Before(row, column, rw, c)) return r.Fail(kErrorXmlAttribute);
        column = c;
        row = rw;
        previous = true;
        if (!ReadCell(r, c, rw, record)) return false;
        if (!worksheet.cells.PutCell(record.bytes, cursor)) return r.Fail(kErrorXmlMemory);
        if (!r.ReadNextTag("Cell", kXmlEnd)) return false;
    }
    return r.Ok() && r.ReadNextTag("Cells", kXmlEnd);
}

void WriteXmlCells(CXmlWriter& w, const CWorksheet& worksheet) {
    w.WriteTag("Cells", {}, kXmlStartTag, 1, 0);
    uint32_t previousRow = kMaxRows;
    CellCursor cursor{kAdvance, worksheet.cells.FirstPage(), 0};
    std::string rc;
    while (const uint8_t* rec = NextCellRecord(cursor)) {
        const uint32_t row = cell::Row(rec);
        const bool newRow = row != previousRow;
        previousRow = row;
        rc = newRow ? "r" + IntText(int64_t(row) + 1) + "c" : "rc";
        AppendInt(rc, cell::Column(rec) + 1);
        XmlAttributeText a;
        a.Raw("rc", rc);
        const bool formula = cell::IsFormula(rec);
        // A formula cell takes no Auto flag when read, so none is written for it.
        if (!formula && (cell::Flags(rec) & kCellArrayElement)) a.Raw("Auto", "1");
        if (newRow) w.WriteLineEnds(1);
        w.WriteTag("Cell", a.str(), kXmlStartTag, newRow ? 2 : 1, 0);
        if (formula)
            WriteFormula(w, rec);
        else
            WriteValue(w, cell::Error(rec), cell::IsText(rec),
                       cell::IsText(rec) ? 0 : cell::Number(rec), cell::Text(rec));
        w.WriteTag("Cell", {}, kXmlEndTag, 0, 0);
    }
    w.WriteLineEnds(1);
    w.WriteTag("Cells", {}, kXmlEndTag, 1, 2);
}

} // namespace vl
