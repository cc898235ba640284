// Files of other writers, kept in tests/data/excelxml with the cells they must give, and
// the golden export that other readers are shown.

#include "excelxmltestutil.h"
#include "model/cellrecord.h"
#include "model/styles.h"
#include "platform/core/cp1252.h"

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>

namespace vl {
namespace {

using namespace excelxmltest;

std::string DataPath(const std::string& name) {
    return std::string(VORLANE_TEST_DATA) + "/excelxml/" + name;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string Describe(const uint8_t* rec) {
    std::ostringstream out;
    if (cell::IsFormula(rec)) {
        out << "f:" << cell::Formula(rec) << "|";
        const uint8_t result = cell::ResultFlags(rec);
        if (result & kResultArray)
            out << "a" << cell::ArrayHeight(rec) << "x" << cell::ArrayWidth(rec) << "|";
        if (cell::Error(rec)) return out.str() + "e:" + std::to_string(cell::Error(rec) << 4);
        if (result & kResultText) return out.str() + "t:" + std::string(cell::CachedText(rec));
        out << "n:" << cell::CachedNumber(rec);
        return out.str();
    }
    if (cell::Error(rec)) return "e:" + std::to_string(cell::Error(rec) << 4);
    if (cell::IsText(rec)) return "t:" + std::string(cell::Text(rec));
    out << "n:" << cell::Number(rec);
    return out.str();
}

// "sheet row column" to what the cell holds, in the program's code page.
std::map<std::string, std::string> ExpectedCells(const std::string& path) {
    std::map<std::string, std::string> cells;
    std::istringstream in(ReadFile(path));
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        std::string sheet, row, column, value;
        fields >> sheet >> row >> column;
        std::getline(fields >> std::ws, value);
        for (std::size_t at = value.find("\\n"); at != std::string::npos; at = value.find("\\n"))
            value.replace(at, 2, "\n");
        cells[Utf8ToCp1252(sheet) + " " + row + " " + column] = Utf8ToCp1252(value);
    }
    return cells;
}

std::map<std::string, std::string> ImportedCells(const CWorkbook& book) {
    std::map<std::string, std::string> cells;
    for (const CTreeItem* item = book.tree.first; item; item = item->next) {
        const CWorksheet* ws = AsWorksheet(item);
        CellCursor cursor{kAdvance, ws->cells.FirstPage(), 0};
        while (const uint8_t* rec = NextCellRecord(cursor))
            cells[std::string(ws->name) + " " + std::to_string(cell::Row(rec) + 1) + " " +
                  std::to_string(cell::Column(rec) + 1)] = Describe(rec);
    }
    return cells;
}

TEST(ExcelXmlFiles, OtherWritersFilesGiveTheirCells) {
    for (const char* name : {"foreign/excelxml-sheets", "handwritten"}) {
        const Imported im = Import(ReadFile(DataPath(std::string(name) + ".xml")));
        ASSERT_TRUE(im.ok) << name << " " << int(im.error) << " line " << im.line;
        EXPECT_EQ(ImportedCells(*im.book), ExpectedCells(DataPath(std::string(name) + ".cells")))
            << name;
    }
}

TEST(ExcelXmlFiles, OtherWritersSizesAndStyles) {
    const Imported im = Import(ReadFile(DataPath("foreign/excelxml-sheets.xml")));
    ASSERT_TRUE(im.ok);
    const CWorksheet& ws = im.First();
    const auto width = [&](int c) { return (ws.formats.columns[c].width >> 1) & 0x0FFF; };
    EXPECT_EQ(width(0), 85);
    EXPECT_EQ(width(1), 85);
    EXPECT_EQ(width(2), 144);
    EXPECT_EQ(width(4), 85);
    EXPECT_EQ(*const_cast<CPagedList&>(ws.formats.rowHeights).GetItem2(4), uint16_t(48 << 1 | 1));
    // "ce7" of the fifth row: bold blue on yellow with red borders all round.
    CellCursor cursor{kAdvance, ws.formats.runs.FirstPage(), 0};
    const StyleRecord* styled = nullptr;
    while (const uint8_t* p = FormatRunCursorNext(cursor)) {
        const FormatRun run = LoadFormatRun(p);
        if (run.row == 4 && run.firstColumn == 0) styled = &im.book->styles.styles[run.style];
    }
    ASSERT_NE(styled, nullptr);
    EXPECT_EQ(styled->borderSides, 15);
    EXPECT_EQ(styled->borderLine.style, FORMAT_LINE_SOLID_1);
    EXPECT_EQ(styled->fill.backgroundColor, 0x0000FFFFu);
    EXPECT_EQ(styled->fontRef.color, 0x00FF0000u);
    EXPECT_EQ(im.book->styles.fonts[styled->fontRef.fontIndex].weight, 2);
}

// A workbook of every kind of content, exported byte for byte as tests/data/excelxml/ours.xml
// (VORLANE_UPDATE_GOLDENS=1 writes it again; look at it before committing).
TEST(ExcelXmlFiles, GoldenExport) {
    auto book = CreateWorkbook();
    auto* ws = static_cast<CWorksheet*>(book->AppendTreeItem(TREE_TYPE_WORKSHEET, "Prices", 1));
    book->AppendTreeItem(TREE_TYPE_WORKSHEET, "Notes & more", 1);
    book->tree.active = ws;
    CopyTextField(book->properties.author, "Ann", 128);
    CopyTextField(book->properties.created, "2026-12-07T10:00:00Z", 50);
    CellBuffer b;
    CellCursor cursor;
    const auto put = [&] { ASSERT_TRUE(ws->cells.PutCell(b.bytes, cursor)); };
    MakeTextCell(b, 0, 0, "Item");
    put();
    MakeTextCell(b, 1, 0, "Price");
    put();
    MakeTextCell(b, 0, 1,
                 "Gr\xFC\xDF"
                 "e");
    put();
    MakeNumberCell(b, 1, 1, 12.5);
    put();
    MakeTextCell(b, 0, 2, "Tea");
    put();
    MakeNumberCell(b, 1, 2, 3.25);
    put();
    FormulaHead sum;
    sum.arrayWidth = 1;
    sum.cachedNumber = 15.75;
    MakeFormulaCell(b, 1, 3, sum, "=SUM(R[-2]C:R[-1]C)");
    put();
    StyleTables& t = book->styles;
    t.styleCount = 2;
    FontRecord bold{};
    std::strcpy(bold.faceName, "Liberation Sans");
    bold.size = 12;
    bold.weight = 2;
    uint8_t font = 0;
    ASSERT_TRUE(FindOrAddFont(t, bold, &font));
    t.styles[1].fontRef.fontIndex = font;
    t.styles[1].fill = {FORMAT_PAT_SOLID, 1, 0x00CCFFFF, 0, 0};
    CellCursor runs;
    ASSERT_TRUE(PutFormatRun(ws->formats, FormatRun{0, 1, 0, 1}, runs));
    ws->formats.columns[0].width = uint16_t(120 << 1 | 1);
    const std::string out = Export(*book);
    const std::string path = DataPath("ours.xml");
    if (std::getenv("VORLANE_UPDATE_GOLDENS")) std::ofstream(path, std::ios::binary) << out;
    EXPECT_EQ(out, ReadFile(path));
    const Imported back = Import(out);
    ASSERT_TRUE(back.ok);
    EXPECT_EQ(ImportedCells(*back.book), ImportedCells(*book));
}

} // namespace
} // namespace vl
