// The models' reading of places beyond the first worksheet: an area qualified with the name or
// path of a worksheet or folder (a folder stacks the area of each item under it), and the
// model of the tree paths.
#include "tests/functions/bindall/peermodelsupport.h"

#include <algorithm>
#include <cctype>
#include <regex>

namespace vl::test::peermodel {

namespace {

std::string Upper(std::string text) {
    for (char& c : text) c = char(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

constexpr int kWholeColumn = -2;

// The qualifier of "Other!A1:B2", "'\Box\Inner'!A1" or "\"Other\"!A2", unquoted, and its area.
bool SplitQualified(const std::string& text, std::string& name, Area& area) {
    static const std::regex qualified(
        R"re(^(?:'([^']*)'|"([^"]*)"|([A-Za-z_\\][A-Za-z0-9_\\]*))!(.+)$)re");
    static const std::regex wholeColumns(R"re(^\$?([A-Za-z]+):\$?([A-Za-z]+)$)re");
    std::smatch m, columns;
    if (!std::regex_match(text, m, qualified)) return false;
    const std::string place = m[4].str();
    if (std::regex_match(place, columns, wholeColumns)) {
        // Whole columns: the rows are cut to the worksheet's used ones when it is read.
        Area top;
        if (!ReadArea(columns[1].str() + "1", top) || !ReadArea(columns[2].str() + "1", area))
            return false;
        area.c1 = top.c1;
        area.r1 = 0;
        area.r2 = kWholeColumn;
    } else if (!ReadArea(place, area)) {
        return false;
    }
    name = m[1].matched ? m[1].str() : m[2].matched ? m[2].str() : m[3].str();
    return true;
}

// Whole columns are read down to the worksheet's last used row: the cells below are empty,
// and the models that read such an area (COUNTIF, SUMIF) give empty cells no weight but with
// an operand, which none of these cases has.
void CutToUsedRows(const CCellStore& cells, Area& area) {
    if (area.r2 != kWholeColumn) return;
    uint16_t firstCol = 0, lastCol = 0;
    uint32_t firstRow = 0, lastRow = 0;
    area.r2 = cells.GetUsedRange(&firstCol, &lastCol, &firstRow, &lastRow) ? int(lastRow) : 0;
}

// Each item with its path from the top of the tree ("\Box\Inner"), in tree order.
std::vector<std::pair<const CTreeItem*, std::string>> ItemPaths(TestBook& book) {
    std::vector<std::pair<const CTreeItem*, std::string>> out;
    std::vector<std::string> folders;
    for (const CTreeItem* item = book.Book().tree.first; item; item = item->next) {
        folders.resize(std::min<std::size_t>(folders.size(), item->level - 1u));
        std::string path;
        for (const std::string& f : folders) path += "\\" + f;
        out.push_back({item, path + "\\" + item->name});
        if (item->IsFolder()) folders.push_back(item->name);
    }
    return out;
}

// The item of a path, case ignored; null for none.
const CTreeItem* FindItem(TestBook& book, const std::string& path) {
    for (const auto& [item, itemPath] : ItemPaths(book))
        if (Upper(itemPath) == Upper(path)) return item;
    return nullptr;
}

void ReadStore(const CCellStore& cells, const Area& a, std::vector<Answer>& values) {
    for (int r = std::min(a.r1, a.r2); r <= std::max(a.r1, a.r2); ++r)
        for (int c = std::min(a.c1, a.c2); c <= std::max(a.c1, a.c2); ++c) {
            const uint8_t* cell = FindCell(cells, uint32_t(r), uint16_t(c));
            values.push_back(cell ? FromRecord(cell) : Blank());
        }
}

// The tree paths: a name alone is looked up at the top of the tree (the first worksheet's
// folder), where the folder's worksheets are not: #NAME?. The same formula with the path of
// the worksheet the peer finds by its name must give the peer's answer.
std::string TreePaths(TestBook& book, const ModelCase& m) {
    static const std::regex qualifier(R"re((^|[^A-Za-z0-9_'"\\])([A-Za-z_][A-Za-z0-9_]*)!)re");
    std::smatch found;
    if (!std::regex_search(m.formula, found, qualifier)) return Expect(false, m, "a qualifier");
    const std::string name = found[2];
    if (FindItem(book, "\\" + name)) return Expect(false, m, "a name not at the top of the tree");
    if (!IsError(m.ours, "#NAME?")) return Expect(false, m, "a name that names nothing");
    for (const auto& [item, path] : ItemPaths(book)) {
        if (Upper(item->name) != Upper(name)) continue;
        std::string written = m.formula;
        written.replace(std::size_t(found.position(2)), name.size(), "'" + path + "'");
        return Expect(Agree(Evaluate(book, written, 19, 0), m.peer), m,
                      "the formula with the worksheet's path (" + written + ")");
    }
    return Expect(false, m, "a worksheet of that name in a folder");
}

// Passed errors: the largest error code the arguments hold (a reversed range's #REF! too) is
// the answer, whatever the function would refuse of the rest; the peer gives its own refusal
// or the first failing argument's error.
std::string PassedErrors(TestBook&, const ModelCase& m) {
    int given = 0;
    for (const Argument& a : m.args) {
        if (a.reversed) given = std::max(given, ErrorCode(Answer{'e', 0, "#REF!"}));
        for (const Answer& v : a.values) given = std::max(given, ErrorCode(v));
    }
    if (given == 0) return Expect(false, m, "an error among the arguments");
    if (m.peer.kind != 'e') return Expect(false, m, "the peer's error");
    return Expect(ErrorCode(m.ours) == given, m, "the largest error the arguments hold");
}

} // namespace

bool ReadPlacedArgument(TestBook& book, const std::string& text, Argument& a) {
    std::string name;
    Area area;
    if (!SplitQualified(text, name, area)) return false;
    const CTreeItem* item = FindItem(book, name[0] == '\\' ? name : "\\" + name);
    if (const CWorksheet* sheet = item ? AsWorksheet(item) : nullptr)
        CutToUsedRows(sheet->cells, area);
    // A folder's or a missing place's whole columns are left to the engine's own reading.
    if (area.r2 == kWholeColumn) return false;
    a.rows = std::size_t(std::abs(area.r2 - area.r1) + 1);
    a.columns = std::size_t(std::abs(area.c2 - area.c1) + 1);
    if (!item) {
        // A name that names nothing is an empty value carrying #NAME?.
        a.unnamed = true;
        a.values.push_back(Answer{'e', 0, "#NAME?"});
        a.rows = a.columns = 1;
        return true;
    }
    if (const CWorksheet* sheet = AsWorksheet(item)) {
        ReadStore(sheet->cells, area, a.values);
        return true;
    }
    std::size_t blocks = 0;
    for (const CTreeItem* below = item->next; below && below->level > item->level;
         below = below->next, ++blocks) {
        if (const CWorksheet* sheet = AsWorksheet(below))
            ReadStore(sheet->cells, area, a.values);
        else
            a.values.resize(a.values.size() + a.rows * a.columns, Blank());
    }
    a.rows *= blocks;
    return true;
}

const CCellStore* PlacedArea(TestBook& book, const std::string& text, Area& area) {
    std::string name;
    if (!SplitQualified(text, name, area))
        return ReadArea(text, area) ? &book.Sheet().cells : nullptr;
    const CTreeItem* item = FindItem(book, name[0] == '\\' ? name : "\\" + name);
    const CWorksheet* sheet = item ? AsWorksheet(item) : nullptr;
    if (area.r2 == kWholeColumn) area.r2 = int(kLastRow);
    return sheet ? &sheet->cells : nullptr;
}

void AddPlaceModels(std::map<std::string, Model>& models) {
    models.insert({{"tree paths", TreePaths}, {"passed errors", PassedErrors}});
}

} // namespace vl::test::peermodel
