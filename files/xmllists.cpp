// The "DropDownLists" element: the workbook's named lists of cell entries.

#include "files/xmlelements.h"
#include "values/inttext.h"

namespace vl {

namespace {

bool ReadListName(CXmlReader& r, DropDownListRecord& list, uint16_t number) {
    if (r.ReadElementText("Name", kDropDownNameSize - 1, kXmlOptional, true)) {
        SetDropDownName(list, r.Text().c_str());
        return true;
    }
    if (!r.Ok()) return false;
    SetDropDownName(list, ("List " + IntText(number) + ".").c_str());
    return true;
}

bool ReadList(CXmlReader& r, CWorkbook& workbook) {
    if (!r.FindAttribute("ID")) return r.Fail(kErrorXmlMissing);
    uint16_t number = 0;
    if (!r.GetU16Attribute(number, 1, kDropDownLists)) return false;
    if (r.IsEnd()) return true;
    DropDownListRecord& list = workbook.dropDownLists[number - 1];
    if (!ReadListName(r, list, number)) return false;
    while (r.ReadElementText("Item", kMaxDropDownEntry, kXmlOptional, true))
        AddDropDownEntry(list, r.Text());
    return r.Ok() && r.ReadNextTag("List", kXmlEnd);
}

} // namespace

bool ReadXmlDropDownLists(CXmlReader& r, CWorkbook& workbook) {
    if (!r.ReadNextTag("DropDownLists", kXmlStart | kXmlOptional)) return r.Ok();
    if (r.IsEnd()) return true;
    while (r.ReadNextTag("List", kXmlAttributes | kXmlStart | kXmlOptional))
        if (!ReadList(r, workbook)) return false;
    return r.Ok() && r.ReadNextTag("DropDownLists", kXmlEnd);
}

void WriteXmlDropDownLists(CXmlWriter& w, const CWorkbook& workbook) {
    w.WriteTag("DropDownLists", {}, kXmlStartTag, 0, 1);
    for (int i = 0; i < kDropDownLists; ++i) {
        const DropDownListRecord& list = workbook.dropDownLists[i];
        if (!DropDownListInUse(list)) continue;
        XmlAttributeText a;
        a.Int("ID", i + 1);
        w.WriteTag("List", a.str(), kXmlStartTag, 1, 1);
        w.WriteElement("Name", list.name, 2, 1);
        for (const std::string& entry : list.entries) w.WriteElement("Item", entry, 2, 1);
        w.WriteTag("List", {}, kXmlEndTag, 1, 1);
    }
    w.WriteTag("DropDownLists", {}, kXmlEndTag, 0, 2);
}

} // namespace vl
