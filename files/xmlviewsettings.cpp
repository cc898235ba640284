// The "GeneralSettings" element: a worksheet's background, zoom, grid and heading colours,
// top-left cell, selection and frozen rows or columns.

#include "files/xmlelements.h"
#include "files/xmlfields.h"
#include "formula/cellref.h"
#include "values/inttext.h"

namespace vl {

namespace {

// The relative and backward bits: a view position is always absolute.
constexpr uint8_t kRelativeBits =
    kRefRowRelative | kRefRowBackward | kRefColumnRelative | kRefColumnBackward;
constexpr uint8_t kEmptyElement = kXmlAttributes | kXmlStart | kXmlEnd | kXmlOptional;

// One absolute reference inside the grid at the start of `text`: its flags, 0 otherwise.
uint8_t ScanAbsolute(std::string_view text, CellRef& ref, std::size_t& end) {
    const uint8_t flags = ParseR1C1Ref(text, 0, 0, ref, end);
    return (flags & (kRelativeBits | kRefOutOfRange)) ? 0 : flags;
}

bool ReadColorIf(CXmlReader& r, std::string_view name, uint8_t& given, COLORREF& color,
                 SystemColor fallback) {
    if (!r.FindAttribute(name)) {
        color = GetSystemColor(fallback);
        return true;
    }
    if (!r.GetColorAttribute(color)) return false;
    given = 1;
    return true;
}

bool ReadTableAttributes(CXmlReader& r, ViewSettingsRecord& v) {
    if (r.FindAttribute("Scale") && !GetPercentAttribute(r, v.scale, 10, 1000)) return false;
    return ReadXmlBoolIf(r, "ShowGrid", v.showGrid) &&
           ReadColorIf(r, "GridColor", v.gridColorGiven, v.gridColor, kColorButtonFace) &&
           ReadColorIf(r, "HeadingsColor", v.headingsColorGiven, v.headingsColor, kColorButtonFace);
}

bool ReadTopLeft(CXmlReader& r, ViewSettingsRecord& v) {
    if (!r.ReadNextTag("TopLeft", kEmptyElement)) return r.Ok();
    if (!r.FindAttribute("rc")) return true;
    CellRef ref;
    std::size_t end = 0;
    const std::string_view text = r.Value();
    if (ScanAbsolute(text, ref, end) != kRefCell || end != text.size())
        return r.Fail(kErrorXmlAttribute);
    v.topLeft = ref;
    return true;
}

bool ReadSelection(CXmlReader& r, ViewSettingsRecord& v) {
    if (!r.ReadNextTag("Selection", kEmptyElement)) return r.Ok();
    if (!r.FindAttribute("rc")) return true;
    CellRef first, second;
    std::size_t end = 0, secondEnd = 0;
    const std::string_view text = r.Value();
    if (ScanAbsolute(text, first, end) != kRefCell || end >= text.size() || text[end] != ':')
        return r.Fail(kErrorXmlAttribute);
    const std::string_view rest = text.substr(end + 1);
    if (ScanAbsolute(rest, second, secondEnd) != kRefCell || secondEnd != rest.size())
        return r.Fail(kErrorXmlAttribute);
    v.selection[0] = first;
    v.selection[1] = second;
    return true;
}

bool ReadFreezed(CXmlReader& r, ViewSettingsRecord& v) {
    if (!r.ReadNextTag("Freezed", kEmptyElement)) return r.Ok();
    if (!r.FindAttribute("rc")) return true;
    CellRef ref;
    std::size_t end = 0;
    const std::string_view text = r.Value();
    const uint8_t flags = ScanAbsolute(text, ref, end);
    if (!flags || flags == kRefCell || end != text.size()) return r.Fail(kErrorXmlAttribute);
    v.freezed = ref;
    return true;
}

std::string CellText(const CellRef& ref) {
    return "r" + IntText(int64_t(ref.row) + 1) + "c" + IntText(int64_t(ref.column) + 1);
}

} // namespace

bool ReadXmlGeneralSettings(CXmlReader& r, CWorksheet& worksheet) {
    if (!r.ReadNextTag("GeneralSettings", kXmlStart | kXmlOptional)) return r.Ok();
    if (r.IsEnd()) return true;
    ViewSettingsRecord& v = worksheet.view;
    if (!ReadXmlBackground(r, v.background) ||
        !r.ReadNextTag("Table", kXmlAttributes | kXmlStart) || !ReadTableAttributes(r, v))
        return false;
    if (r.IsEnd()) return r.ReadNextTag("GeneralSettings", kXmlEnd);
    return ReadTopLeft(r, v) && ReadSelection(r, v) && ReadFreezed(r, v) &&
           r.ReadNextTag("Table", kXmlEnd) && r.ReadNextTag("GeneralSettings", kXmlEnd);
}

void WriteXmlGeneralSettings(CXmlWriter& w, const CWorksheet& worksheet) {
    const ViewSettingsRecord& v = worksheet.view;
    w.WriteTag("GeneralSettings", {}, kXmlStartTag, 1, 1);
    WriteXmlBackground(w, v.background, 2);
    XmlAttributeText table;
    if (v.scale != 100) table.Raw("Scale", IntText(v.scale) + "%");
    if (!v.showGrid) table.Raw("ShowGrid", "0");
    if (v.gridColorGiven) table.Color("GridColor", v.gridColor, true);
    if (v.headingsColorGiven) table.Color("HeadingsColor", v.headingsColor, true);
    w.WriteTag("Table", table.str(), kXmlStartTag, 2, 1);
    XmlAttributeText a;
    a.Raw("rc", CellText(v.topLeft));
    w.WriteTag("TopLeft", a.str(), kXmlEmptyTag, 3, 1);
    a = XmlAttributeText();
    a.Raw("rc", CellText(v.selection[0]) + ":" + CellText(v.selection[1]));
    w.WriteTag("Selection", a.str(), kXmlEmptyTag, 3, 1);
    a = XmlAttributeText();
    if (v.freezed.flags & kRefRow)
        a.Raw("rc", "r" + IntText(int64_t(v.freezed.row) + 1));
    else if (v.freezed.flags & kRefColumn)
        a.Raw("rc", "c" + IntText(int64_t(v.freezed.column) + 1));
    if (!a.empty()) w.WriteTag("Freezed", a.str(), kXmlEmptyTag, 3, 1);
    w.WriteTag("Table", {}, kXmlEndTag, 2, 1);
    w.WriteTag("GeneralSettings", {}, kXmlEndTag, 1, 2);
}

} // namespace vl
