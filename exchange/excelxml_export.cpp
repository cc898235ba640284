// Writing an Excel 2003 XML spreadsheet: the prolog, the root with its namespaces, the
// document properties, the fixed settings blocks, the styles and one "Worksheet" per
// worksheet of the tree under a name unique in the file.

#include "exchange/excelxmlparts.h"
#include "model/cellrecord.h"
#include "model/worksheettree.h"
#include "platform/core/cp1252.h"

#include <new>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace vl {

namespace {

constexpr std::size_t kSheetNameLimit = kTreeNameSize - 1;

void WriteRoot(CXmlWriter& w) {
    w.WriteRaw("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n\r\n");
    w.WriteRaw("<Workbook xmlns=\"urn:schemas-microsoft-com:office:spreadsheet\"\r\n"
               "\txmlns:o=\"urn:schemas-microsoft-com:office:office\"\r\n"
               "\txmlns:x=\"urn:schemas-microsoft-com:office:excel\"\r\n"
               "\txmlns:ss=\"urn:schemas-microsoft-com:office:spreadsheet\"\r\n"
               "\txmlns:html=\"http://www.w3.org/TR/REC-html40\">\r\n");
}

void WriteProperties(CXmlWriter& w, const DocumentProperties& p) {
    w.WriteTag("DocumentProperties", "xmlns=\"urn:schemas-microsoft-com:office:office\"",
               kXmlStartTag, 1, 1);
    w.WriteElement("Author", p.author, 2, 1);
    w.WriteElement("LastAuthor", p.lastAuthor, 2, 1);
    w.WriteElement("Created", p.created, 2, 1);
    w.WriteElement("LastSaved", p.lastSaved, 2, 1);
    if (p.company[0]) w.WriteElement("Company", p.company, 2, 1);
    w.WriteElement("Version", p.version, 2, 1);
    w.WriteTag("DocumentProperties", {}, kXmlEndTag, 1, 1);
}

// The active worksheet's place among the worksheets, from 0.
std::size_t ActiveSheetOrdinal(const CWorkbook& wb) {
    std::size_t n = 0;
    for (const CTreeItem* item = wb.tree.first; item; item = item->next) {
        if (!item->IsWorksheet()) continue;
        if (item == wb.tree.active) return n;
        ++n;
    }
    return 0;
}

void WriteSettings(CXmlWriter& w, const CWorkbook& wb) {
    w.WriteTag("OfficeDocumentSettings", "xmlns=\"urn:schemas-microsoft-com:office:office\"",
               kXmlStartTag, 1, 1);
    w.WriteTag("DownloadComponents", {}, kXmlEmptyTag, 2, 1);
    w.WriteTag("LocationOfComponents", {}, kXmlEmptyTag, 2, 1);
    w.WriteTag("OfficeDocumentSettings", {}, kXmlEndTag, 1, 1);
    w.WriteTag("ExcelWorkbook", "xmlns=\"urn:schemas-microsoft-com:office:excel\"", kXmlStartTag, 1,
               1);
    // The window's size and place are the reader's own choice: the elements stay empty.
    for (const char* name : {"WindowHeight", "WindowWidth", "WindowTopX", "WindowTopY"})
        w.WriteElement(name, {}, 2, 1);
    // Counted from 0 by the programs that read the form, ours among them.
    w.WriteElement("ActiveSheet", std::to_string(ActiveSheetOrdinal(wb)), 2, 1);
    w.WriteElement("ProtectStructure", "False", 2, 1);
    w.WriteElement("ProtectWindows", "False", 2, 1);
    w.WriteTag("ExcelWorkbook", {}, kXmlEndTag, 1, 1);
}

// The worksheets' names as written, each the worksheet's own name, else the name followed by
// "(k)" for the first k from 0 that no earlier worksheet took; a long name is shortened so that
// the suffix fits. Names are told apart without regard to letter case. Each name is found at
// once: the taken names are hashed, and the counter of a name goes on where it stopped, as
// every k it passed stays taken.
class SheetNamer {
public:
    const std::string& Add(const std::string& text) {
        const std::string own(text.c_str());
        std::string candidate = own;
        if (taken_.count(Key(candidate))) {
            std::size_t& k = next_[Key(own)];
            for (;; ++k) {
                const std::string suffix = "(" + std::to_string(k) + ")";
                std::string base = own;
                if (base.size() + suffix.size() > kSheetNameLimit)
                    base.resize(kSheetNameLimit - suffix.size());
                candidate = base + suffix;
                if (!taken_.count(Key(candidate))) break;
            }
            ++k;
        }
        taken_.insert(Key(candidate));
        names_.push_back(std::move(candidate));
        return names_.back();
    }
    const std::string& operator[](std::size_t n) const { return names_[n]; }

private:
    // The name as the comparison of names sees it: up to its first NUL, upper-cased.
    static std::string Key(const std::string& name) {
        std::string key(name.c_str());
        UpperInPlace1252(key);
        return key;
    }

    std::vector<std::string> names_;
    std::unordered_set<std::string> taken_;
    std::unordered_map<std::string, std::size_t> next_;
};

void WriteWorksheets(CXmlWriter& w, const CWorkbook& wb, int dpi) {
    // Every name first: a formula may name a worksheet written after its own.
    SheetNamer names;
    ExcelSheetNames byPath;
    for (const CTreeItem* item = wb.tree.first; item; item = item->next) {
        std::string path;
        const bool named = BuildTreeItemPath(item, path, false);
        if (named) UpperInPlace1252(path);
        if (!item->IsWorksheet()) {
            if (named && item->IsFolder()) byPath.folders.insert(path);
            continue;
        }
        const std::string name = names.Add(ExcelXmlSafeText(item->name));
        if (named) byPath.byPath.emplace(path, name);
    }
    std::size_t n = 0;
    for (const CTreeItem* item = wb.tree.first; item; item = item->next) {
        const CWorksheet* ws = AsWorksheet(item);
        if (!ws) continue;
        XmlAttributeText a(w.Utf8());
        a.Text("ss:Name", names[n++]);
        w.WriteTag("Worksheet", a.str(), kXmlStartTag, 1, 1);
        BuildTreeItemPath(item, byPath.folder, true);
        WriteExcelXmlTable(w, *ws, dpi, 2, &byPath);
        WriteExcelXmlWorksheetOptions(w, *ws, 2);
        w.WriteTag("Worksheet", {}, kXmlEndTag, 1, 1);
    }
}

} // namespace

bool WriteExcelXml(CWorkbook& workbook, CXmlWriter& w, int logPixelsY) {
    workbook.error = kErrorNone;
    try {
        WriteRoot(w);
        WriteProperties(w, workbook.properties);
        WriteSettings(w, workbook);
        WriteExcelXmlStyles(w, workbook, 1);
        WriteWorksheets(w, workbook, logPixelsY);
        w.WriteTag("Workbook", {}, kXmlEndTag, 0, 1);
    } catch (const std::bad_alloc&) {
        workbook.error = kErrorXmlMemory;
    }
    w.Flush();
    return workbook.error == kErrorNone;
}

bool WriteExcelXml(CWorkbook& workbook, int logPixelsY) {
    try {
        CXmlWriter writer(&workbook.stream);
        WriteExcelXml(workbook, writer, logPixelsY);
    } catch (const std::bad_alloc&) {
        workbook.error = kErrorXmlMemory;
    }
    if (workbook.stream.GetError()) workbook.error = workbook.stream.GetError();
    return workbook.error == kErrorNone;
}

std::string ExcelStyleId(uint16_t index) {
    return index == 0 ? std::string("Default") : "s" + std::to_string(index + 20);
}

} // namespace vl
