// The document level: declaration, root, last modification, window panes and the tree.

#include "files/xmlworkbook.h"

#include "files/containerids.h"
#include "files/xmlelements.h"
#include "files/xmlwritten.h"
#include "model/container.h"
#include "model/treeappend.h"

#include <cstring>
#include <new>

namespace vl {

namespace {

bool ReadText(CXmlReader& r, std::string_view name, char* field, std::size_t size) {
    if (!r.ReadElementText(name, size - 1, 0, true)) return false;
    std::memcpy(field, r.Text().c_str(), r.Text().size() + 1);
    return true;
}

bool ReadLastModification(CXmlReader& r, CWorkbook& wb) {
    if (!r.ReadNextTag("LastModification", kXmlStart | kXmlOptional)) return r.Ok();
    return ReadText(r, "User", wb.lastSavedUser, kLastSavedUserSize) &&
           ReadText(r, "Date", wb.lastSavedDate, kLastSavedDateSize) &&
           r.ReadNextTag("LastModification", kXmlEnd);
}

bool ReadPane(CXmlReader& r, std::string_view name, std::string_view sizeName, uint8_t& shown,
              uint16_t& size) {
    if (!r.ReadNextTag(name, kXmlAttributes | kXmlStart | kXmlEnd | kXmlOptional)) return r.Ok();
    return (!r.FindAttribute("Visible") || r.GetBoolAttribute(shown)) &&
           (!r.FindAttribute(sizeName) || r.GetU16Attribute(size, 0, uint16_t(kXmlCapU16)));
}

bool ReadXmlWindow(CXmlReader& r, CWorkbook& wb) {
    if (!r.ReadNextTag("Window", kXmlStart | kXmlOptional)) return r.Ok();
    if (r.IsEnd()) return true;
    return ReadPane(r, "TreePane", "Width", wb.panes.treeShown, wb.panes.treeWidth) &&
           ReadPane(r, "InspectPane", "Height", wb.panes.inspectShown, wb.panes.inspectHeight) &&
           r.ReadNextTag("Window", kXmlEnd);
}

// "Name" and "TreeLevel" of a tree item; an absent name stays empty.
bool ReadItemAttributes(CXmlReader& r, std::string& name, bool& named, uint16_t& level) {
    named = r.FindAttribute("Name");
    if (named && !r.DecodeValue(name, kTreeNameSize - 1)) return false;
    level = 1;
    return !r.FindAttribute("TreeLevel") || r.GetU16Attribute(level, 1, uint16_t(kXmlCapU16));
}

bool ReadFolder(CXmlReader& r, CWorkbook& wb, CTreeItem*& last) {
    std::string name;
    bool named = false;
    uint16_t level = 1;
    bool expanded = false;
    if (!ReadItemAttributes(r, name, named, level)) return false;
    if (r.FindAttribute("Expanded") && !r.GetBoolAttribute(expanded)) return false;
    CTreeItem* item =
        AppendTreeItemAfter(wb, last, TREE_TYPE_FOLDER, named ? name.c_str() : nullptr, level);
    if (!item) return r.Fail(kErrorXmlMemory);
    last = item;
    item->expanded = expanded ? 1 : 0;
    return true;
}

bool ReadContainers(CXmlReader& r, CWorksheet& ws, ContainerIds& taken) {
    while (r.ReadNextTag("Container", kXmlStart | kXmlOptional | kXmlPeek)) {
        auto owned = NewBlockObject<CContainer>();
        if (!owned) return r.Fail(kErrorXmlMemory);
        CContainer& c = *owned;
        InitContainerDefaults(c, nullptr, nullptr);
        LinkContainer(ws, std::move(owned));
        if (!ReadXmlContainer(r, c)) return false;
        taken.MakeUnique(c.settings.id);
    }
    return r.Ok();
}

// The elements of a worksheet, in their order.
bool ReadWorksheetBody(CXmlReader& r, CWorkbook& wb, CWorksheet& ws, ContainerIds& taken) {
    return ReadContainers(r, ws, taken) && ReadXmlFormatting(r, wb, ws) && ReadXmlCells(r, ws) &&
           ReadXmlGeneralSettings(r, ws) && ReadXmlPageSettings(r, ws) &&
           r.ReadNextTag("Worksheet", kXmlEnd);
}

bool ReadWorksheet(CXmlReader& r, CWorkbook& wb, ContainerIds& taken, CTreeItem*& last) {
    std::string name;
    bool named = false;
    uint16_t level = 1;
    bool selected = false;
    if (!ReadItemAttributes(r, name, named, level)) return false;
    if (r.FindAttribute("Selected") && !r.GetBoolAttribute(selected)) return false;
    CTreeItem* item =
        AppendTreeItemAfter(wb, last, TREE_TYPE_WORKSHEET, named ? name.c_str() : nullptr, level);
    if (!item) return r.Fail(kErrorXmlMemory);
    last = item;
    CWorksheet& ws = *static_cast<CWorksheet*>(item);
    if (selected) wb.tree.active = &ws;
    return r.IsEnd() || ReadWorksheetBody(r, wb, ws, taken);
}

bool ReadTree(CXmlReader& r, CWorkbook& wb) {
    ContainerIds taken;
    // Items are appended one after the other: the last is kept rather than sought.
    CTreeItem* last = wb.tree.first;
    while (last && last->next) last = last->next;
    for (;;) {
        if (r.ReadNextTag("Worksheet", kXmlAttributes | kXmlStart | kXmlOptional)) {
            if (!ReadWorksheet(r, wb, taken, last)) return false;
        } else if (!r.Ok()) {
            return false;
        } else if (r.ReadNextTag("Folder", kXmlAttributes | kXmlStart | kXmlEnd | kXmlOptional)) {
            if (!ReadFolder(r, wb, last)) return false;
        } else {
            return r.Ok();
        }
    }
}

bool ReadDocument(CXmlReader& r, CWorkbook& wb) {
    if (!r.ReadDeclaration()) return false;
    r.AdoptDeclaredEncoding();
    // The workbook comes back whole or not at all: no text is read with '?' in its place.
    r.RefuseLostCharacters();
    if (!r.ReadNextTag("Workbook", kXmlStart)) return false;
    if (!ReadLastModification(r, wb) || !ReadXmlWindow(r, wb) || !ReadXmlDropDownLists(r, wb) ||
        !ReadXmlStyles(r, wb) || !ReadXmlInspectCells(r, wb) || !ReadTree(r, wb) ||
        !r.ReadNextTag("Workbook", kXmlEnd))
        return false;
    if (!wb.tree.active) return r.Fail(kErrorLastWorksheet);
    NormalizeTreeLevels(wb.tree.first);
    return true;
}

void WriteHead(CXmlWriter& w, const CWorkbook& wb) {
    w.WriteRaw("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n\r\n");
    w.WriteTag("Workbook", {}, kXmlStartTag, 0, 2);
    w.WriteTag("LastModification", {}, kXmlStartTag, 0, 1);
    w.WriteElement("User", wb.lastSavedUser, 1, 1);
    w.WriteElement("Date", wb.lastSavedDate, 1, 1);
    w.WriteTag("LastModification", {}, kXmlEndTag, 0, 2);
    w.WriteTag("Window", {}, kXmlStartTag, 0, 1);
    XmlAttributeText tree, inspect;
    tree.Bool("Visible", wb.panes.treeShown).Int("Width", XmlWrittenPaneSize(wb.panes.treeWidth));
    inspect.Bool("Visible", wb.panes.inspectShown)
        .Int("Height", XmlWrittenPaneSize(wb.panes.inspectHeight));
    w.WriteTag("TreePane", tree.str(), kXmlEmptyTag, 1, 1);
    w.WriteTag("InspectPane", inspect.str(), kXmlEmptyTag, 1, 1);
    w.WriteTag("Window", {}, kXmlEndTag, 0, 2);
}

void WriteTree(CXmlWriter& w, const CWorkbook& wb) {
    for (const CTreeItem* item = wb.tree.first; item; item = item->next) {
        XmlAttributeText a(w.Utf8());
        a.Text("Name", item->name);
        if (const CWorksheet* ws = AsWorksheet(item)) {
            a.Int("TreeLevel", item->level);
            if (ws == wb.tree.active) a.Raw("Selected", "1");
            w.WriteTag("Worksheet", a.str(), kXmlStartTag, 0, 2);
            for (const CContainer* c = ws->firstContainer; c; c = c->next) WriteXmlContainer(w, *c);
            WriteXmlFormatting(w, *ws);
            WriteXmlCells(w, *ws);
            WriteXmlGeneralSettings(w, *ws);
            WriteXmlPageSettings(w, *ws);
            w.WriteTag("Worksheet", {}, kXmlEndTag, 0, 2);
        } else {
            a.Bool("Expanded", item->expanded).Int("TreeLevel", item->level);
            w.WriteTag("Folder", a.str(), kXmlEmptyTag, 0, 2);
        }
    }
}

void ReadInto(CWorkbook& workbook, CXmlReader& reader) {
    workbook.error = kErrorNone;
    workbook.xmlErrorLine = 0;
    try {
        ReadDocument(reader, workbook);
    } catch (const std::bad_alloc&) {
        reader.Fail(kErrorXmlMemory);
    }
    workbook.error = reader.Error();
    workbook.xmlErrorLine = reader.ErrorLine();
}

// A loaded workbook starts at the top of its tree, on the active worksheet's cells.
bool FinishRead(CWorkbook& workbook) {
    if (workbook.error != kErrorNone) return false;
    workbook.currentItem = workbook.tree.first;
    workbook.currentCells = &workbook.tree.active->cells;
    return true;
}

} // namespace

bool ReadXmlWorkbook(CWorkbook& workbook, CXmlReader& reader) {
    ReadInto(workbook, reader);
    return FinishRead(workbook);
}

bool ReadXmlWorkbook(CWorkbook& workbook) {
    workbook.stream.Seek(kSeekStart, 0);
    try {
        CXmlReader reader;
        reader.Reset(&workbook.stream);
        ReadInto(workbook, reader);
    } catch (const std::bad_alloc&) {
        workbook.error = kErrorXmlMemory; // the reader's own buffers
        workbook.xmlErrorLine = 0;
    }
    if (workbook.stream.GetError()) workbook.error = workbook.stream.GetError();
    return FinishRead(workbook);
}

bool WriteXmlWorkbook(CWorkbook& workbook, CXmlWriter& w) {
    workbook.error = kErrorNone;
    try {
        WriteHead(w, workbook);
        WriteXmlDropDownLists(w, workbook);
        WriteXmlStyles(w, workbook);
        WriteXmlInspectCells(w, workbook);
        WriteTree(w, workbook);
        w.WriteTag("Workbook", {}, kXmlEndTag, 0, 1);
    } catch (const std::bad_alloc&) {
        workbook.error = kErrorXmlMemory;
    }
    w.Flush();
    return workbook.error == kErrorNone;
}

bool WriteXmlWorkbook(CWorkbook& workbook) {
    try {
        CXmlWriter writer(&workbook.stream);
        WriteXmlWorkbook(workbook, writer);
    } catch (const std::bad_alloc&) {
        workbook.error = kErrorXmlMemory; // the writer's own block
    }
    if (workbook.stream.GetError()) workbook.error = workbook.stream.GetError();
    return workbook.error == kErrorNone;
}

} // namespace vl
