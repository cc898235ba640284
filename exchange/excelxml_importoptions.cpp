// Reading "WorksheetOptions": page setup, print scale and copies, gridlines and headings,
// the scroll position and the selection.

#include "exchange/excelxmlparts.h"
#include "files/xmlfields.h"
#include "files/xmltext.h"
#include "formula/cellref.h"
#include "model/cellrecord.h"

#include <cfloat>
#include <cmath>
#include <cstring>

namespace vl {

namespace {

constexpr std::size_t kElementTextLimit = 1024;
constexpr uint8_t kCenterHorizontally = 2;
constexpr uint8_t kCenterVertically = 16;
constexpr uint8_t kAlignLeft = 1, kAlignTop = 8;

void SetCentring(CXmlReader& r, std::string_view name, uint8_t bit, uint8_t fallback, uint8_t mask,
                 uint8_t& alignment) {
    if (!r.FindAttribute(name)) return;
    alignment = uint8_t((alignment & ~mask) | (r.Value() == "1" ? bit : fallback));
}

bool ReadLayout(CXmlReader& r, PageSetupRecord& p) {
    if (r.FindAttribute("Orientation")) {
        if (r.Value() == "Landscape") p.landscape = 1;
        if (r.Value() == "Portrait") p.landscape = 0;
    }
    SetCentring(r, "CenterHorizontal", kCenterHorizontally, kAlignLeft, 7, p.alignment);
    SetCentring(r, "CenterVertical", kCenterVertically, kAlignTop, 56, p.alignment);
    return !r.FindAttribute("StartPageNumber") || r.GetU16Attribute(p.firstPageNumber, 1, 65534);
}

// Header and footer texts: decoded, at most 1,024 characters, the first 127 kept. One with
// a character outside the code page is left out and counted in `refused`, as cell texts are.
bool ReadPageText(CXmlReader& r, char (&field)[kPageTextSize], uint32_t& refused) {
    if (!r.FindAttribute("Data")) return true;
    std::string text;
    uint32_t lost = 0;
    if (!r.Check(DecodeXmlText(r.Value(), r.Utf8(), kElementTextLimit, text, &lost))) return false;
    if (lost) {
        ++refused;
        return true;
    }
    CopyTextField(field, text.c_str(), kPageTextSize);
    return true;
}

double TwoDefaultRows(int dpi) {
    return std::floor(2.0 * GetDefaultRowHeight() * 1000 / dpi * 25.3995 + 0.5) / 1000;
}

bool ReadMargin(CXmlReader& r, std::string_view name, double& out) {
    if (!r.FindAttribute(name)) return false;
    double inches = 0;
    if (!r.GetDoubleAttribute(inches, -DBL_MAX, DBL_MAX)) return false;
    out = InchesToMillimetres(inches);
    return true;
}

bool ReadMargins(CXmlReader& r, int dpi, PageSetupRecord& p) {
    ReadMargin(r, "Left", p.marginLeft);
    ReadMargin(r, "Right", p.marginRight);
    if (ReadMargin(r, "Top", p.marginTop))
        p.headerDistance = std::max(0.0, p.marginTop - TwoDefaultRows(dpi));
    if (ReadMargin(r, "Bottom", p.marginBottom))
        p.footerDistance = p.marginBottom - TwoDefaultRows(dpi);
    return r.Ok();
}

bool ReadPageSetup(CXmlReader& r, int dpi, PageSetupRecord& p, uint32_t& refused) {
    constexpr uint8_t kTag = kXmlAttributes | kXmlStart | kXmlOptional;
    if (r.ReadNextTag("Layout", kTag) &&
        (!ReadLayout(r, p) || (!r.IsEnd() && !SkipToEndTag(r, "Layout"))))
        return false;
    if (r.Ok() && r.ReadNextTag("Header", kTag) &&
        (!ReadPageText(r, p.headerText, refused) || (!r.IsEnd() && !SkipToEndTag(r, "Header"))))
        return false;
    if (r.Ok() && r.ReadNextTag("Footer", kTag) &&
        (!ReadPageText(r, p.footerText, refused) || (!r.IsEnd() && !SkipToEndTag(r, "Footer"))))
        return false;
    if (r.Ok() && r.ReadNextTag("PageMargins", kTag) &&
        (!ReadMargins(r, dpi, p) || (!r.IsEnd() && !SkipToEndTag(r, "PageMargins"))))
        return false;
    return r.Ok() && SkipToEndTag(r, "PageSetup");
}

// The text of the element whose start tag was just read, then its end tag.
bool ReadNumberText(CXmlReader& r, std::string_view name, std::string& text) {
    text.clear();
    if (r.IsEnd()) return true;
    if (!r.ReadContent(kElementTextLimit)) return false;
    text = r.Text();
    return SkipToEndTag(r, name);
}

bool ReadUnsignedText(CXmlReader& r, std::string_view name, uint64_t max, uint64_t& out) {
    std::string text;
    return ReadNumberText(r, name, text) && r.Check(ParseXmlUnsigned(text, max, 0, max, out));
}

bool ReadPrint(CXmlReader& r, PageSetupRecord& p) {
    while (r.ReadNextTag({}, 0)) {
        if (!r.IsStart()) {
            if (r.Name() == "Print") return true;
            continue;
        }
        const std::string name = r.Name();
        if (name == "Scale") {
            std::string text;
            double scale = 0;
            if (!ReadNumberText(r, name, text) ||
                !r.Check(ParseXmlDouble(text, -DBL_MAX, DBL_MAX, scale)))
                return false;
            p.scale = uint16_t(scale < 10 ? 10 : scale > 1000 ? 1000 : scale);
        } else if (name == "NumberofCopies") {
            uint64_t copies = 0;
            if (!ReadUnsignedText(r, name, 4294967294u, copies)) return false;
            p.copies = uint16_t(copies < 1 ? 1 : copies > 65535 ? 65535 : copies);
        } else if (!r.IsEnd() && !SkipToEndTag(r, name)) {
            return false;
        }
    }
    return false;
}

void SetSelection(ViewSettingsRecord& v, const CellRef& a, const CellRef& b) {
    v.selection[0] = a;
    v.selection[1] = b;
}

// "R2:R4", "C3:C3" or "R1C1:R5C2": whole rows and columns are widened to the grid.
void ReadRangeSelection(std::string_view text, ViewSettingsRecord& v) {
    CellRef a, b;
    std::size_t end = 0, end2 = 0;
    const uint8_t fa = ParseR1C1Ref(text, 0, 0, a, end);
    if (!fa || end >= text.size() || text[end] != ':') return;
    const std::string_view rest = text.substr(end + 1);
    if (!ParseR1C1Ref(rest, 0, 0, b, end2) || end2 != rest.size()) return;
    if ((a.flags | b.flags) & kRefOutOfRange) return;
    if (!(fa & kRefColumn)) {
        a.column = 0;
        b.column = kLastColumn;
        a.flags |= kRefColumn;
        b.flags |= kRefColumn;
    } else if (!(fa & kRefRow)) {
        a.row = 0;
        b.row = kLastRow;
        a.flags |= kRefRow;
        b.flags |= kRefRow;
    }
    SetSelection(v, a, b);
}

bool ReadPanes(CXmlReader& r, ViewSettingsRecord& v) {
    while (r.ReadNextTag({}, 0)) {
        if (!r.IsStart()) {
            if (r.Name() == "Panes") return true;
            continue;
        }
        const std::string name = r.Name();
        uint64_t n = 0;
        if (name == "ActiveRow") {
            // The export writes the last row as 2,097,152: it must read back.
            if (!ReadUnsignedText(r, name, kMaxRows, n)) return false;
            v.selection[0].row = v.selection[1].row = uint32_t(n > 0 ? n - 1 : 0);
            v.selection[1].flags |= kRefRow;
            v.selection[0].flags = v.selection[1].flags;
        } else if (name == "ActiveCol") {
            if (!ReadUnsignedText(r, name, kMaxColumns, n)) return false;
            v.selection[0].column = v.selection[1].column = uint16_t(n > 0 ? n - 1 : 0);
            v.selection[1].flags |= kRefColumn;
            v.selection[0].flags = v.selection[1].flags;
        } else if (name == "RangeSelection") {
            std::string text;
            if (!ReadNumberText(r, name, text)) return false;
            ReadRangeSelection(text, v);
        }
    }
    return false;
}

bool ReadOption(CXmlReader& r, int dpi, CWorksheet& ws, const std::string& name,
                uint32_t& refused) {
    PageSetupRecord& p = ws.pageSetup;
    ViewSettingsRecord& v = ws.view;
    const bool empty = r.IsEnd();
    uint64_t n = 0;
    if (name == "PageSetup") return empty || ReadPageSetup(r, dpi, p, refused);
    if (name == "Print") return empty || ReadPrint(r, p);
    if (name == "Panes") return empty || ReadPanes(r, v);
    if (name == "DoNotDisplayGridlines") {
        v.showGrid = 0;
    } else if (name == "DoNotDisplayHeadings") {
        p.rowHeadings = p.columnHeadings = 0;
    } else if (name == "TopRowVisible") {
        if (!ReadUnsignedText(r, name, kMaxRows, n)) return false;
        v.topLeft.row = uint32_t(n > 0 ? n - 1 : 0);
        v.topLeft.flags = kRefCell;
        return true;
    } else if (name == "LeftColumnVisible") {
        if (!ReadUnsignedText(r, name, kMaxColumns, n)) return false;
        v.topLeft.column = uint16_t(n > 0 ? n - 1 : 0);
        v.topLeft.flags = kRefCell;
        return true;
    }
    // Anything else is passed over one tag at a time, so that the names above are found
    // inside elements this reader does not know.
    return true;
}

} // namespace

bool ReadExcelXmlWorksheetOptions(ExcelImport& im, CWorksheet& ws) {
    CXmlReader& r = im.reader;
    if (!r.ReadNextTag("WorksheetOptions", kXmlStart | kXmlOptional)) return r.Ok();
    if (r.IsEnd()) return true;
    while (r.ReadNextTag({}, kXmlAttributes)) {
        if (!r.IsStart()) {
            if (r.Name() == "WorksheetOptions") return true;
            continue;
        }
        const std::string name = r.Name();
        if (!ReadOption(r, im.logPixelsY, ws, name, im.workbook.refusedTexts)) return false;
    }
    return false;
}

double InchesToMillimetres(double inches) {
    return std::floor(inches * 25399.5 + 0.5) / 1000;
}

double MillimetresToInches(double millimetres) {
    return std::floor(millimetres * 1000 / 25.3995 + 0.5) / 1000;
}

} // namespace vl
