// The "PageSettings" element: a worksheet's printer and paper, print range, copies, header
// and footer, margins and page layout.

#include "files/xmlelements.h"
#include "files/xmlfields.h"
#include "files/xmlstyleitems.h"
#include "files/xmlwritten.h"
#include "formula/addresstext.h"
#include "values/inttext.h"

#include <array>
#include <charconv>

namespace vl {

namespace {

constexpr uint8_t kEmptyElement = kXmlAttributes | kXmlStart | kXmlEnd;
constexpr double kAbsentMargin = 1.5;

struct AlignmentWord {
    std::string_view word;
    uint8_t bit;
};
constexpr std::array<AlignmentWord, 3> kHorizontal = {{{"Left", 1}, {"Center", 2}, {"Right", 4}}};
constexpr std::array<AlignmentWord, 3> kVertical = {{{"Top", 8}, {"Center", 16}, {"Bottom", 32}}};

bool ReadPrinter(CXmlReader& r, PageSetupRecord& p) {
    if (!r.ReadNextTag("Printer", kXmlStart | kXmlOptional)) return r.Ok();
    return ReadXmlTextField(r, "Name", p.printerName, kPageTextSize) &&
           ReadXmlTextField(r, "SheetSize", p.paperName, kPageTextSize, kXmlAttributes) &&
           ReadXmlBoolIf(r, "Landscape", p.landscape) && r.ReadNextTag("Printer", kXmlEnd);
}

// "Scale" and "FirstPageNumber" of a range element; only "All" and "Selection" may fit.
bool ReadRangeScale(CXmlReader& r, PageSetupRecord& p, bool mayFit) {
    p.scale = 100;
    if (r.FindAttribute("Scale")) {
        if (mayFit && r.Value() == "FitToSheetSize")
            p.fitToSheetSize = 1;
        else if (!GetPercentAttribute(r, p.scale, 10, 1000))
            return false;
    }
    p.firstPageNumber = 1;
    return !r.FindAttribute("FirstPageNumber") ||
           r.GetU16Attribute(p.firstPageNumber, 1, kMaxFirstPageNumber);
}

// A selection resolved when it was printed keeps its cell range or its container; a bare
// one is resolved again at the next printing.
bool ReadSelectionTarget(CXmlReader& r, PageSetupRecord& p) {
    if (r.FindAttribute("Range")) {
        RangeDescriptor range;
        if (!ParseGoRange(r.Value(), false, 0, 0, range)) return r.Fail(kErrorXmlAttribute);
        p.printRangeKind = kPrintCellRange;
        p.printRange = range;
        return true;
    }
    if (!r.FindAttribute("Container")) return true;
    // Read exactly: a capped value would name another container.
    const std::string_view text = r.Value();
    uint32_t id = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), id);
    if (ec != std::errc() || end != text.data() + text.size() || id < 1 || id > UINT16_MAX)
        return r.Fail(kErrorXmlAttribute);
    p.printedContainer = uint16_t(id);
    p.printRangeKind = kPrintContainer;
    return true;
}

bool ReadRangeKind(CXmlReader& r, PageSetupRecord& p) {
    if (r.ReadNextTag("All", kEmptyElement | kXmlOptional)) {
        p.printRangeKind = kPrintAll;
        return ReadRangeScale(r, p, true);
    }
    if (r.Ok() && r.ReadNextTag("Selection", kEmptyElement | kXmlOptional)) {
        p.printRangeKind = kPrintSelection;
        return ReadSelectionTarget(r, p) && ReadRangeScale(r, p, true);
    }
    if (r.Ok() &&
        r.ReadElementText("Pages", kPageTextSize - 1, kXmlAttributes | kXmlOptional, true)) {
        p.printRangeKind = kPrintPageList;
        CopyTextField(p.pages, r.Text().c_str(), kPageTextSize);
        return ReadRangeScale(r, p, false);
    }
    return r.Ok() && r.Fail(kErrorXmlElement);
}

bool ReadPrintRange(CXmlReader& r, PageSetupRecord& p) {
    if (!r.ReadNextTag("PrintRange", kXmlStart | kXmlOptional)) return r.Ok();
    uint64_t copies = 0;
    if (!ReadRangeKind(r, p) ||
        !ReadXmlTextField(r, "ExcludedRows", p.excludedRows, kPageTextSize) ||
        !ReadXmlTextField(r, "ExcludedColumns", p.excludedColumns, kPageTextSize) ||
        !ReadXmlElementUnsigned(r, "Copies", kXmlCapU16, 1, kXmlCapU16, copies))
        return false;
    p.copies = uint16_t(copies);
    return ReadXmlBoolIf(r, "Collate", p.collate) &&
           ReadXmlBoolIf(r, "BackToFrontOrder", p.backToFront) &&
           r.ReadNextTag("PrintRange", kXmlEnd);
}

// A required empty "Margins" whose absent sides are 1.5.
bool ReadMargins(CXmlReader& r, std::initializer_list<std::pair<std::string_view, double*>> sides) {
    if (!r.ReadNextTag("Margins", kEmptyElement)) return false;
    for (const auto& [name, field] : sides) {
        *field = kAbsentMargin;
        if (!ReadXmlDoubleIf(r, name, *field)) return false;
    }
    return true;
}

bool ReadHeaders(CXmlReader& r, PageSetupRecord& p) {
    if (!r.ReadNextTag("Headers", kXmlAttributes | kXmlStart | kXmlOptional)) return r.Ok();
    p.onFirstPage = 1;
    return ReadXmlBoolIf(r, "OnFirstPage", p.onFirstPage) &&
           ReadMargins(r, {{"Top", &p.headerDistance}, {"Bottom", &p.footerDistance}}) &&
           ReadXmlTextField(r, "HeaderText", p.headerText, kPageTextSize) &&
           ReadXmlTextField(r, "FooterText", p.footerText, kPageTextSize) &&
           r.ReadNextTag("Font", kEmptyElement) && ReadXmlColoredFont(r, p.headerFont) &&
           r.ReadNextTag("Headers", kXmlEnd);
}

bool ReadPagesPerSheet(CXmlReader& r, PageSetupRecord& p) {
    if (!r.ReadNextTag("PagesPerSheet", kEmptyElement)) return false;
    p.pagesPerSheetColumns = p.pagesPerSheetRows = 1;
    return (!r.FindAttribute("Columns") || r.GetU8Attribute(p.pagesPerSheetColumns, 1, 254)) &&
           (!r.FindAttribute("Rows") || r.GetU8Attribute(p.pagesPerSheetRows, 1, 254));
}

// The bit of a named alignment is added to what the record holds.
bool ReadAlignmentWord(CXmlReader& r, std::string_view name,
                       const std::array<AlignmentWord, 3>& words, uint8_t& alignment) {
    if (!r.FindAttribute(name)) return true;
    for (const AlignmentWord& w : words)
        if (r.Value() == w.word) {
            alignment |= w.bit;
            return true;
        }
    return r.Fail(kErrorXmlAttribute);
}

bool ReadPageLayout(CXmlReader& r, PageSetupRecord& p) {
    if (!r.ReadNextTag("PageLayout", kXmlStart | kXmlOptional)) return r.Ok();
    return ReadMargins(r, {{"Left", &p.marginLeft},
                           {"Right", &p.marginRight},
                           {"Top", &p.marginTop},
                           {"Bottom", &p.marginBottom}}) &&
           ReadPagesPerSheet(r, p) && r.ReadNextTag("Alignment", kEmptyElement) &&
           ReadAlignmentWord(r, "HorizontalAlignment", kHorizontal, p.alignment) &&
           ReadAlignmentWord(r, "VerticalAlignment", kVertical, p.alignment) &&
           r.ReadNextTag("PageLayout", kXmlEnd);
}

bool ReadHeadings(CXmlReader& r, std::string_view name, uint8_t& visible) {
    if (!r.ReadNextTag(name, kEmptyElement | kXmlOptional)) return r.Ok();
    return ReadXmlBoolIf(r, "Visible", visible);
}

// The word of the group's first bit set, none when no bit is (which places the page left or
// at the top): reading adds the bit of a word, so a record without one reads back whole.
void AddAlignmentName(XmlAttributeText& a, std::string_view name, uint8_t alignment,
                      uint8_t counted, const std::array<AlignmentWord, 3>& words) {
    if ((alignment & (words[0].bit | words[1].bit | words[2].bit)) == 0) return;
    for (const AlignmentWord& w : words)
        if (counted == w.bit) a.Raw(name, w.word);
}

void WritePrintRange(CXmlWriter& w, const PageSetupRecord& p) {
    w.WriteTag("PrintRange", {}, kXmlStartTag, 2, 1);
    XmlAttributeText a;
    const bool pages = p.printRangeKind == kPrintPageList;
    if (p.fitToSheetSize && !pages)
        a.Raw("Scale", "FitToSheetSize");
    else
        a.Raw("Scale", IntText(p.scale) + "%");
    a.Int("FirstPageNumber", StoredFirstPageNumber(p));
    if (p.printRangeKind == kPrintAll)
        w.WriteTag("All", a.str(), kXmlEmptyTag, 3, 1);
    else if (p.printRangeKind <= kPrintSelection) {
        if (p.printRangeKind == kPrintCellRange)
            a.Raw("Range", FormatRangeText(p.printRange, false));
        else if (p.printRangeKind == kPrintContainer)
            a.Int("Container", p.printedContainer);
        w.WriteTag("Selection", a.str(), kXmlEmptyTag, 3, 1);
    } else if (pages)
        WriteXmlTextElement(w, "Pages", a.str(), p.pages, 3);
    w.WriteElement("ExcludedRows", p.excludedRows, 3, 1);
    w.WriteElement("ExcludedColumns", p.excludedColumns, 3, 1);
    XmlAttributeText copies;
    copies.Bool("Collate", p.collate).Bool("BackToFrontOrder", p.backToFront);
    WriteXmlTextElement(w, "Copies", copies.str(), IntText(p.copies), 3);
    w.WriteTag("PrintRange", {}, kXmlEndTag, 2, 1);
}

void WriteHeaders(CXmlWriter& w, const PageSetupRecord& p) {
    XmlAttributeText a;
    a.Bool("OnFirstPage", p.onFirstPage);
    w.WriteTag("Headers", a.str(), kXmlStartTag, 2, 1);
    XmlAttributeText margins;
    margins.Raw("Top", XmlNumberText(p.headerDistance));
    margins.Raw("Bottom", XmlNumberText(p.footerDistance));
    w.WriteTag("Margins", margins.str(), kXmlEmptyTag, 3, 1);
    w.WriteElement("HeaderText", p.headerText, 3, 1);
    w.WriteElement("FooterText", p.footerText, 3, 1);
    WriteXmlColorFont(w, XmlWrittenHeaderFont(p.headerFont), 3);
    w.WriteTag("Headers", {}, kXmlEndTag, 2, 1);
}

void WritePageLayout(CXmlWriter& w, const PageSetupRecord& p) {
    w.WriteTag("PageLayout", {}, kXmlStartTag, 2, 1);
    XmlAttributeText margins;
    margins.Raw("Left", XmlNumberText(p.marginLeft)).Raw("Top", XmlNumberText(p.marginTop));
    margins.Raw("Right", XmlNumberText(p.marginRight));
    margins.Raw("Bottom", XmlNumberText(p.marginBottom));
    w.WriteTag("Margins", margins.str(), kXmlEmptyTag, 3, 1);
    XmlAttributeText pages;
    pages.Int("Columns", p.pagesPerSheetColumns).Int("Rows", p.pagesPerSheetRows);
    w.WriteTag("PagesPerSheet", pages.str(), kXmlEmptyTag, 3, 1);
    XmlAttributeText alignment;
    AddAlignmentName(alignment, "HorizontalAlignment", p.alignment,
                     PageHorizontalAlignment(p.alignment), kHorizontal);
    AddAlignmentName(alignment, "VerticalAlignment", p.alignment,
                     PageVerticalAlignment(p.alignment), kVertical);
    w.WriteTag("Alignment", alignment.str(), kXmlEmptyTag, 3, 1);
    w.WriteTag("PageLayout", {}, kXmlEndTag, 2, 1);
}

void WriteHeadings(CXmlWriter& w, std::string_view name, uint8_t visible) {
    w.WriteTag(name, visible ? "" : "Visible=\"0\"", kXmlEmptyTag, 2, 1);
}

} // namespace

bool ReadXmlPageSettings(CXmlReader& r, CWorksheet& worksheet) {
    if (!r.ReadNextTag("PageSettings", kXmlStart | kXmlOptional)) return r.Ok();
    if (r.IsEnd()) return true;
    PageSetupRecord& p = worksheet.pageSetup;
    return ReadPrinter(r, p) && ReadPrintRange(r, p) && ReadHeaders(r, p) && ReadPageLayout(r, p) &&
           ReadHeadings(r, "RowHeadings", p.rowHeadings) &&
           ReadHeadings(r, "ColumnHeadings", p.columnHeadings) &&
           r.ReadNextTag("PageSettings", kXmlEnd);
}

void WriteXmlPageSettings(CXmlWriter& w, const CWorksheet& worksheet) {
    const PageSetupRecord& p = worksheet.pageSetup;
    w.WriteTag("PageSettings", {}, kXmlStartTag, 1, 1);
    w.WriteTag("Printer", {}, kXmlStartTag, 2, 1);
    w.WriteElement("Name", p.printerName, 3, 1);
    XmlAttributeText landscape;
    landscape.Bool("Landscape", p.landscape);
    WriteXmlTextElement(w, "SheetSize", landscape.str(), p.paperName, 3);
    w.WriteTag("Printer", {}, kXmlEndTag, 2, 1);
    WritePrintRange(w, p);
    WriteHeaders(w, p);
    WritePageLayout(w, p);
    WriteHeadings(w, "RowHeadings", p.rowHeadings);
    WriteHeadings(w, "ColumnHeadings", p.columnHeadings);
    w.WriteTag("PageSettings", {}, kXmlEndTag, 1, 2);
}

} // namespace vl
