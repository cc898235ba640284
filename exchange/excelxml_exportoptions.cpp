// Writing "WorksheetOptions": page setup, print scale and copies, gridlines and headings,
// the scroll position and the active cell.

#include "exchange/excelxmlparts.h"
#include "model/sheetsettings.h"
#include "values/formatdouble.h"

#include <string>

namespace vl {

namespace {

std::string Inches(double millimetres) {
    return FormatDouble(MillimetresToInches(millimetres));
}

void WritePageSetup(CXmlWriter& w, const PageSetupRecord& p, int level) {
    w.WriteTag("PageSetup", {}, kXmlStartTag, level, 1);
    XmlAttributeText layout;
    if (p.landscape) layout.Raw("x:Orientation", "Landscape");
    // Centred as printing places the page: of several bits of a group the lowest holds.
    if (PageHorizontalAlignment(p.alignment) == kPageAlignCenter)
        layout.Raw("x:CenterHorizontal", "1");
    if (PageVerticalAlignment(p.alignment) == kPageAlignMiddle) layout.Raw("x:CenterVertical", "1");
    if (p.firstPageNumber > 1) layout.Int("x:StartPageNumber", p.firstPageNumber);
    if (!layout.empty()) w.WriteTag("Layout", layout.str(), kXmlEmptyTag, level + 1, 1);
    XmlAttributeText header(w.Utf8()), footer(w.Utf8());
    header.Text("x:Data", ExcelXmlSafeText(p.headerText));
    footer.Text("x:Data", ExcelXmlSafeText(p.footerText));
    w.WriteTag("Header", header.str(), kXmlEmptyTag, level + 1, 1);
    w.WriteTag("Footer", footer.str(), kXmlEmptyTag, level + 1, 1);
    XmlAttributeText margins;
    margins.Raw("x:Left", Inches(p.marginLeft))
        .Raw("x:Top", Inches(p.marginTop))
        .Raw("x:Right", Inches(p.marginRight))
        .Raw("x:Bottom", Inches(p.marginBottom));
    w.WriteTag("PageMargins", margins.str(), kXmlEmptyTag, level + 1, 1);
    w.WriteTag("PageSetup", {}, kXmlEndTag, level, 1);
}

} // namespace

void WriteExcelXmlWorksheetOptions(CXmlWriter& w, const CWorksheet& ws, int level) {
    const PageSetupRecord& p = ws.pageSetup;
    const ViewSettingsRecord& v = ws.view;
    w.WriteTag("WorksheetOptions", "xmlns=\"urn:schemas-microsoft-com:office:excel\"", kXmlStartTag,
               level, 1);
    WritePageSetup(w, p, level + 1);
    w.WriteTag("Print", {}, kXmlStartTag, level + 1, 1);
    w.WriteElement("Scale", std::to_string(p.scale), level + 2, 1);
    w.WriteElement("NumberofCopies", std::to_string(p.copies), level + 2, 1);
    w.WriteTag("Print", {}, kXmlEndTag, level + 1, 1);
    if (!v.showGrid) w.WriteTag("DoNotDisplayGridlines", {}, kXmlEmptyTag, level + 1, 1);
    if (!p.columnHeadings) w.WriteTag("DoNotDisplayHeadings", {}, kXmlEmptyTag, level + 1, 1);
    // Written one past the index, as the import and "ActiveRow" read them, so that the
    // scroll position comes back.
    if (v.topLeft.row != 0)
        w.WriteElement("TopRowVisible", std::to_string(uint64_t(v.topLeft.row) + 1), level + 1, 1);
    if (v.topLeft.column != 0)
        w.WriteElement("LeftColumnVisible", std::to_string(v.topLeft.column + 1), level + 1, 1);
    w.WriteTag("Selected", {}, kXmlEmptyTag, level + 1, 1);
    w.WriteTag("Panes", {}, kXmlStartTag, level + 1, 1);
    w.WriteTag("Pane", {}, kXmlStartTag, level + 2, 1);
    w.WriteElement("Number", "3", level + 3, 1);
    w.WriteElement("ActiveRow", std::to_string(uint64_t(v.selection[0].row) + 1), level + 3, 1);
    w.WriteElement("ActiveCol", std::to_string(v.selection[0].column + 1), level + 3, 1);
    w.WriteTag("Pane", {}, kXmlEndTag, level + 2, 1);
    w.WriteTag("Panes", {}, kXmlEndTag, level + 1, 1);
    w.WriteElement("ProtectObjects", "False", level + 1, 1);
    w.WriteElement("ProtectScenarios", "False", level + 1, 1);
    w.WriteTag("WorksheetOptions", {}, kXmlEndTag, level, 1);
}

} // namespace vl
