// The "InspectCells" element: the watched cells of the inspect pane, in list order.

#include "files/xmlelements.h"
#include "formula/cellref.h"
#include "model/inspectedcell.h"
#include "values/inttext.h"

#include <cstring>

namespace vl {

namespace {

// A decoded text attribute into a fixed field; 57 when it does not fit.
bool ReadTextAttribute(CXmlReader& r, std::string_view name, char* field, std::size_t size) {
    if (!r.FindAttribute(name)) return true;
    std::string text;
    if (!r.DecodeValue(text, size - 1)) return false;
    std::memcpy(field, text.c_str(), text.size() + 1);
    return true;
}

bool ReadInspectedCell(CXmlReader& r, CWorkbook& workbook) {
    InspectedCellRecord entry;
    if (!r.FindAttribute("rc")) return r.Fail(kErrorXmlMissing);
    CellRef ref;
    std::size_t end = 0;
    const std::string_view rc = r.Value();
    // Only an absolute position names a cell without a base.
    const uint8_t flags = ParseR1C1Ref(rc, 0, 0, ref, end);
    if (flags != kRefCell || end != rc.size()) return r.Fail(kErrorXmlAttribute);
    entry.cell = CellRef{ref.column, ref.row, kRefCell};
    if (!ReadTextAttribute(r, "Worksheet", entry.worksheet, kInspectedPathSize) ||
        !ReadTextAttribute(r, "Name", entry.name, kInspectedNameSize))
        return false;
    return AppendInspectedCell(workbook.inspectedCells, entry) || r.Fail(kErrorXmlMemory);
}

} // namespace

bool ReadXmlInspectCells(CXmlReader& r, CWorkbook& workbook) {
    if (!r.ReadNextTag("InspectCells", kXmlStart | kXmlOptional)) return r.Ok();
    if (r.IsEnd()) return true;
    while (r.ReadNextTag("Cell", kXmlAttributes | kXmlStart | kXmlEnd | kXmlOptional))
        if (!ReadInspectedCell(r, workbook)) return false;
    return r.Ok() && r.ReadNextTag("InspectCells", kXmlEnd);
}

void WriteXmlInspectCells(CXmlWriter& w, CWorkbook& workbook) {
    w.WriteTag("InspectCells", {}, kXmlStartTag, 0, 1);
    InspectedCellRecord entry;
    for (uint32_t i = 0; GetInspectedCell(workbook.inspectedCells, i, entry); ++i) {
        XmlAttributeText a;
        if (entry.worksheet[0]) a.Text("Worksheet", entry.worksheet);
        a.Raw("rc", "r" + IntText(int64_t(entry.cell.row) + 1) + "c" +
                        IntText(int64_t(entry.cell.column) + 1));
        if (entry.name[0]) a.Text("Name", entry.name);
        w.WriteTag("Cell", a.str(), kXmlEmptyTag, 1, 1);
    }
    w.WriteTag("InspectCells", {}, kXmlEndTag, 0, 2);
}

} // namespace vl
