// Reading an Excel 2003 XML spreadsheet: the prolog, the document properties, the active
// worksheet, and one worksheet per "Worksheet" with its table and options.

#include "exchange/excelxmlparts.h"
#include "files/xmlfields.h"
#include "model/cellrecord.h"
#include "model/treeappend.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <new>
#include <utility>

namespace vl {

namespace {

constexpr std::size_t kElementTextLimit = 1024;
// No worksheet named: the first one stays active.
constexpr int64_t kNoActiveSheet = -1;
// A worksheet's formulas are attributes: raw values may hold a whole formula with every
// character escaped.
constexpr std::size_t kFormulaValueLimit = 6 * (kPagePayload - kFormulaHead);

// A native workbook in its XML form begins with one of these elements; the spreadsheet has
// none of them. Read as a spreadsheet it would give its worksheet names and none of its cells.
constexpr std::array<std::string_view, 4> kNativeFirstElements = {"LastModification", "Window",
                                                                  "DropDownLists", "InspectCells"};

bool IsNativeFirstElement(std::string_view name) {
    return std::find(kNativeFirstElements.begin(), kNativeFirstElements.end(), name) !=
           kNativeFirstElements.end();
}

// The spreadsheet's root binds its namespace, as default or as "ss" (the writer does both):
// a native workbook's root, of the same name, binds none and is not read as one.
bool DeclaresSpreadsheet(CXmlReader& r) {
    constexpr std::string_view kSpreadsheet = "urn:schemas-microsoft-com:office:spreadsheet";
    for (const std::string_view name : {"xmlns", "ss"})
        if (r.FindAttribute(name) && r.Value() == kSpreadsheet) return true;
    return false;
}

struct PropertyField {
    std::string_view name;
    char* field;
    std::size_t size;
};

// A property longer than its field keeps what fits, and the cut is counted for the user.
bool ReadProperties(CXmlReader& r, DocumentProperties& p, uint32_t& cut) {
    const PropertyField fields[] = {
        {"Author", p.author, sizeof p.author},
        {"LastAuthor", p.lastAuthor, sizeof p.lastAuthor},
        {"Company", p.company, sizeof p.company},
        {"Version", p.version, sizeof p.version},
        {"LastPrinted", p.lastPrinted, sizeof p.lastPrinted},
        {"Created", p.created, sizeof p.created},
        {"LastSaved", p.lastSaved, sizeof p.lastSaved},
    };
    while (r.ReadNextTag({}, 0)) {
        if (r.IsEnd() && !r.IsStart()) {
            if (r.Name() == "DocumentProperties") return true;
            continue;
        }
        if (r.IsEnd()) continue; // an empty child sets nothing
        const std::string name = r.Name();
        for (const PropertyField& f : fields) {
            if (f.name != name) continue;
            if (!r.ReadContent(kMaxCellText)) return false;
            const std::size_t kept = std::min(r.Text().size(), f.size - 1);
            if (kept < r.Text().size()) ++cut;
            std::memcpy(f.field, r.Text().data(), kept);
            f.field[kept] = 0;
        }
        if (!SkipToEndTag(r, name)) return false;
    }
    return false;
}

// The active worksheet, counted from 0; a number of no worksheet (-1, past the count) leaves
// the first, as other readers do, and so does a text that is no whole number, counted in
// `bad` for the user.
bool ReadExcelWorkbook(CXmlReader& r, int64_t& activeSheet, uint32_t& bad) {
    while (r.ReadNextTag({}, 0)) {
        if (r.IsEnd() && !r.IsStart()) {
            if (r.Name() == "ExcelWorkbook") return true;
            continue;
        }
        if (r.IsEnd() || r.Name() != "ActiveSheet") continue;
        if (!r.ReadContent(kElementTextLimit)) return false;
        int64_t value = 0;
        if (ParseXmlSigned(r.Text(), INT64_MAX, -INT64_MAX, INT64_MAX, value) != kErrorNone) {
            value = kNoActiveSheet;
            bad = 1;
        }
        activeSheet = value < 0 ? kNoActiveSheet : value;
        if (!SkipToEndTag(r, "ActiveSheet")) return false;
    }
    return false;
}

bool ReadWorksheet(ExcelImport& im, CWorksheet*& last) {
    CXmlReader& r = im.reader;
    std::string name;
    const bool named = r.FindAttribute("Name");
    if (named && !r.DecodeValue(name, r.ValueLimit())) return false;
    if (name.size() > kTreeNameSize - 1) name.resize(kTreeNameSize - 1);
    // After the first worksheet, each is appended after the one before: no walk of the tree.
    const char* itemName = named ? name.c_str() : nullptr;
    CTreeItem* item = last
                          ? AppendTreeItemAfter(im.workbook, last, TREE_TYPE_WORKSHEET, itemName, 1)
                          : im.workbook.AppendTreeItem(TREE_TYPE_WORKSHEET, itemName, 1);
    if (!item) return r.Fail(kErrorXmlMemory);
    last = static_cast<CWorksheet*>(item);
    if (!im.workbook.tree.active) im.workbook.tree.active = last;
    if (r.IsEnd()) return true;
    for (;;) {
        if (r.ReadNextTag("Table", kXmlStart | kXmlOptional | kXmlPeek)) {
            if (!ReadExcelXmlTable(im, *last)) return false;
        } else if (r.Ok() &&
                   r.ReadNextTag("WorksheetOptions", kXmlStart | kXmlOptional | kXmlPeek)) {
            if (!ReadExcelXmlWorksheetOptions(im, *last)) return false;
        } else if (!r.Ok() || !r.ReadNextTag({}, 0)) {
            return false;
        } else if (r.IsEnd() && !r.IsStart() && r.Name() == "Worksheet") {
            return true;
        }
    }
}

bool ReadRoot(ExcelImport& im, int64_t& activeSheet) {
    CXmlReader& r = im.reader;
    if (!r.ReadDeclaration()) return false;
    r.AdoptDeclaredEncoding();
    if (!r.SkipInstructions()) return false;
    if (!r.ReadNextTag("Workbook", kXmlStart | kXmlAttributes)) return false;
    if (!DeclaresSpreadsheet(r)) return r.Fail(kErrorFileFormat);
    if (r.IsEnd()) return true;
    CWorksheet* last = nullptr;
    bool first = true;
    while (r.ReadNextTag({}, kXmlAttributes | kXmlOptional)) {
        const std::string name = r.Name();
        if (std::exchange(first, false) && r.IsStart() && IsNativeFirstElement(name))
            return r.Fail(kErrorFileFormat);
        if (!r.IsStart()) {
            if (name == "Workbook") return true;
            continue;
        }
        const bool empty = r.IsEnd();
        bool ok = true;
        if (name == "DocumentProperties")
            ok = empty || ReadProperties(r, im.workbook.properties, im.workbook.cutProperties);
        else if (name == "OfficeDocumentSettings")
            ok = empty || SkipToEndTag(r, name);
        else if (name == "ExcelWorkbook")
            ok = empty || ReadExcelWorkbook(r, activeSheet, im.workbook.badActiveSheet);
        else if (name == "Styles")
            ok = empty || (ReadExcelXmlStyle(im) && SkipToEndTag(r, "Styles"));
        else if (name == "Worksheet")
            ok = ReadWorksheet(im, last);
        if (!ok) return false;
    }
    return r.Ok();
}

// The worksheet of that ordinal (from 0) becomes the active one; any other number leaves the
// first. Then the automatic heights of the rows in use are measured again.
void Finish(CWorkbook& wb, int64_t activeSheet, const RowAutoFit& autoFit) {
    int64_t ordinal = 0;
    for (CTreeItem* item = wb.tree.first; item; item = item->next) {
        CWorksheet* ws = AsWorksheet(item);
        if (!ws) continue;
        if (ordinal++ == activeSheet) wb.tree.active = ws;
        if (!autoFit) continue;
        uint16_t c0 = 0, c1 = 0, f0 = 0, f1 = 0;
        uint32_t r0 = 0, r1 = 0, q0 = 0, q1 = 0;
        const bool cells = ws->cells.GetUsedRange(&c0, &c1, &r0, &r1);
        const bool runs = GetFormatRunsRange(ws->formats, &f0, &f1, &q0, &q1);
        if (!cells && !runs) continue;
        const uint32_t first = cells && runs ? std::min(r0, q0) : cells ? r0 : q0;
        const uint32_t lastRow = cells && runs ? std::max(r1, q1) : cells ? r1 : q1;
        autoFit(wb, *ws, first, lastRow);
    }
    wb.CompactStyleTables();
}

} // namespace

bool SkipToEndTag(CXmlReader& r, std::string_view name) {
    while (r.ReadNextTag({}, 0))
        if (r.IsEnd() && !r.IsStart() && r.Name() == name) return true;
    return false;
}

bool ReadExcelXml(CWorkbook& workbook, CXmlReader& reader, const RowAutoFit& autoFit,
                  int logPixelsY) {
    workbook.error = kErrorNone;
    workbook.xmlErrorLine = 0;
    workbook.refusedTexts = 0;
    workbook.cutProperties = 0;
    workbook.unknownStyles = 0;
    workbook.badActiveSheet = 0;
    reader.SetValueLimit(kFormulaValueLimit);
    ExcelImport im{reader, workbook, logPixelsY, {}};
    int64_t activeSheet = kNoActiveSheet;
    try {
        ReadRoot(im, activeSheet);
    } catch (const std::bad_alloc&) {
        reader.Fail(kErrorXmlMemory);
    }
    workbook.error = reader.Error();
    workbook.xmlErrorLine = reader.ErrorLine();
    if (workbook.stream.IsOpen() && workbook.stream.GetError())
        workbook.error = workbook.stream.GetError();
    if (workbook.error == kErrorNone && !workbook.tree.active) workbook.error = kErrorLastWorksheet;
    if (workbook.error == kErrorNone) {
        workbook.currentItem = workbook.tree.first;
        workbook.currentCells = &workbook.tree.active->cells;
    }
    try {
        Finish(workbook, activeSheet, autoFit);
    } catch (const std::bad_alloc&) {
        if (workbook.error == kErrorNone) workbook.error = kErrorWorksheetMemory;
    }
    if (workbook.error == kErrorNone && workbook.tree.active)
        workbook.currentCells = &workbook.tree.active->cells;
    return workbook.error == kErrorNone;
}

bool ReadExcelXml(CWorkbook& workbook, const RowAutoFit& autoFit, int logPixelsY) {
    workbook.stream.Seek(kSeekStart, 0);
    try {
        CXmlReader reader;
        reader.Reset(&workbook.stream);
        return ReadExcelXml(workbook, reader, autoFit, logPixelsY);
    } catch (const std::bad_alloc&) {
        workbook.error = kErrorXmlMemory;
        workbook.xmlErrorLine = 0;
        return false;
    }
}

} // namespace vl
