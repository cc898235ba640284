// Reading rules of the document, the tree, the lists, the inspected cells, the formatting
// and the cells that the golden document and the error table leave open.

#include "formula/token.h"
#include "model/inspectedcell.h"
#include "xmltestutil.h"

#include <cmath>
#include <tuple>

namespace vl::xmltest {
namespace {

TEST(XmlDocument, EncodingsOfTheDeclaration) {
    const std::string body = "<Workbook><Worksheet Name='caf\xc3\xa9'/></Workbook>";
    const std::pair<std::string, std::string> cases[] = {
        {"<?xml version='1.0'?>", "caf\xe9"},
        {"<?xml version='1.0' encoding='utf-8'?>", "caf\xe9"},
        {"<?xml version='1.0' encoding='windows-1250'?>", "caf\xc3\xa9"},
        {"<?xml version='1.0' encoding='ISO-8859-2'?>", "caf\xc3\xa9"},
        {" \r\n\t<?xml version='1.0' encoding='iso-8859-1'?>", "caf\xc3\xa9"},
        // Attribute names may carry a prefix; the encoding is found by its local name.
        {"<?xml version='1.0' x:standalone='yes'?>", "caf\xe9"},
        {"<?xml version='1.0' p:encoding='windows-1250'?>", "caf\xc3\xa9"},
    };
    for (const auto& [declaration, name] : cases)
        EXPECT_EQ(std::string(SheetOf(Read(declaration + body)).name), name) << declaration;
}

TEST(XmlDocument, TreeNamesLevelsAndTheActiveWorksheet) {
    Loaded l = Read(Document("<Folder/><Worksheet/><Folder Name='F' Expanded='true' "
                             "TreeLevel='1'/><Worksheet TreeLevel='2' Selected='1'/>"
                             "<Worksheet Selected='true'></Worksheet><Worksheet/>"));
    CWorkbook& b = *l.book;
    // Each item as name, level and expanded flag.
    std::string items;
    for (CTreeItem* item = b.tree.first; item; item = item->next)
        items += std::string(item->name) + " " + std::to_string(item->level) + " " +
                 std::to_string(item->expanded) + ";";
    EXPECT_EQ(items,
              "Folder1 1 0;Worksheet1 1 0;F 1 1;Worksheet2 2 0;Worksheet3 1 0;Worksheet4 1 0;");
    EXPECT_EQ(std::tuple(b.tree.worksheetCount, b.tree.folderCount), std::tuple(4u, 2u));
    // The later of two selected worksheets is active; without any, the first.
    EXPECT_EQ(b.tree.active, &SheetOf(l, 4));
    Loaded none = Read(Document("<Worksheet/><Worksheet/>"));
    EXPECT_EQ(none.book->tree.active, &SheetOf(none, 0));
}

TEST(XmlDocument, ALoadStartsAtTheTopOnTheActiveCells) {
    // The document, and whether it loads with the current item and cells set.
    const std::pair<std::string, bool> cases[] = {
        {Document("<Folder/><Worksheet/><Worksheet Selected='1'/>"), true},
        {Document("<Folder/><Folder/>"), false},
        {SheetDocument("<Cells><Cell/>"), false},
    };
    for (const auto& [document, loads] : cases) {
        Loaded l = ReadFromMemory(document);
        const CWorkbook& b = *l.book;
        EXPECT_EQ(l.ok, loads) << document;
        EXPECT_EQ(b.currentItem, loads ? b.tree.first : nullptr) << document;
        EXPECT_EQ(b.currentCells, loads ? &b.tree.active->cells : nullptr) << document;
    }
}

TEST(XmlDocument, LastModificationAndWindow) {
    Loaded l = Read(Document("<LastModification><User> a  b </User><Date>2024-01-02</Date>"
                             "</LastModification><Window><TreePane Visible='No' Width='65534'/>"
                             "<InspectPane Visible='Yes'/></Window><Worksheet/>"));
    const CWorkbook& b = *l.book;
    EXPECT_EQ(std::tuple(std::string(b.lastSavedUser), std::string(b.lastSavedDate)),
              std::tuple(std::string(" a  b "), std::string("2024-01-02")));
    EXPECT_EQ(std::tuple(b.panes.treeShown, b.panes.treeWidth, b.panes.inspectShown,
                         b.panes.inspectHeight),
              std::tuple(0, 65534, 1, 100));
}

TEST(XmlDocument, DropDownLists) {
    Loaded l = Read(Document(
        "<DropDownLists><List ID='007'><Item>a</Item></List><List ID='3'><Name/>"
        "<Item/><Item> x  y </Item></List><List ID='7'><Name>Again</Name><Item>b</Item></List>"
        "<List ID='9'/></DropDownLists><Worksheet/>"));
    const DropDownListRecord* lists = l.book->dropDownLists;
    EXPECT_STREQ(lists[6].name, "Again");
    EXPECT_EQ(lists[6].entries, (std::vector<std::string>{"a", "b"}));
    EXPECT_STREQ(lists[2].name, "");
    EXPECT_EQ(lists[2].entries, (std::vector<std::string>{"", " x  y "}));
    EXPECT_FALSE(DropDownListInUse(lists[8]));
    Loaded unnamed = Read(Document("<DropDownLists><List ID='3'/><List ID='3'></List>"
                                   "</DropDownLists><Worksheet/>"));
    EXPECT_STREQ(unnamed.book->dropDownLists[2].name, "List 3.");
}

TEST(XmlDocument, InspectedCellsFillPagesInOrder) {
    std::string cells;
    for (int i = 1; i <= 21; ++i) cells += "<Cell rc='r" + std::to_string(i) + "c2'/>";
    Loaded l = Read(Document("<InspectCells>" + cells +
                             "<Cell Worksheet='\\a&amp;b' rc='r2097152c2047' Name='x'/>"
                             "</InspectCells><Worksheet/>"));
    CPagedList& list = l.book->inspectedCells;
    ASSERT_EQ(list.ItemCount(), 22u);
    EXPECT_EQ(list.PageCount(), 2u);
    InspectedCellRecord r;
    ASSERT_TRUE(GetInspectedCell(list, 20, r));
    EXPECT_EQ(std::tuple(r.cell.row, r.cell.column, r.cell.flags), std::tuple(20u, 1, kRefCell));
    ASSERT_TRUE(GetInspectedCell(list, 21, r));
    EXPECT_EQ(std::tuple(std::string(r.worksheet), std::string(r.name), r.cell.row, r.cell.column),
              std::tuple(std::string("\\a&b"), std::string("x"), kLastRow, kLastColumn));
}

TEST(XmlDocument, CellPositionsAndValues) {
    Loaded l = Read(
        SheetDocument("<Cells><Cell rc='rc3'><N>1e+020</N></Cell><Cell rc='r[1]c[-1]' Auto='true'>"
                      "<N>0.33333333333333331</N></Cell><Cell rc='r3c1'><F Width='3' Height='2'>"
                      "R1C1</F><Error>#DIV/0!</Error></Cell><Cell rc='rc2'><F/><T/></Cell>"
                      "<Cell rc='rc3'><Error>#SYNTAX!</Error></Cell></Cells>"));
    const CCellStore& cells = SheetOf(l).cells;
    const uint8_t* r[5] = {FindCell(cells, 0, 2), FindCell(cells, 1, 1), FindCell(cells, 2, 0),
                           FindCell(cells, 2, 1), FindCell(cells, 2, 2)};
    for (const uint8_t* p : r) ASSERT_NE(p, nullptr);
    EXPECT_EQ(cell::Number(r[0]), 1e20);
    EXPECT_EQ(cell::Number(r[1]), 1.0 / 3);
    EXPECT_EQ(cell::Flags(r[1]), kCellNumber | kCellArrayElement);
    EXPECT_EQ(std::tuple(cell::Flags(r[2]), cell::ResultFlags(r[2]), cell::ArrayWidth(r[2]),
                         cell::ArrayHeight(r[2]), std::string(cell::Formula(r[2]))),
              std::tuple(kCellFormula | kErrDivZero, kResultNumber | kResultArray, 3, 2u,
                         std::string("R1C1")));
    EXPECT_EQ(std::tuple(cell::ResultFlags(r[3]), cell::ArrayWidth(r[3]),
                         std::string(cell::Formula(r[3])), std::string(cell::CachedText(r[3]))),
              std::tuple(kResultText, 1, std::string(), std::string()));
    EXPECT_EQ(cell::Flags(r[4]), kCellNumber | kErrSyntax);
}

// Other tools write numbers with more digits than a double holds: a text of up to 1,024
// characters is read whole, rounded as the conversion rounds it.
TEST(XmlDocument, LongNumberTextsReadWhole) {
    struct Case {
        std::string text;
        double value;
    } const cases[] = {
        {"3.1415926535897932384626433832795028841971693993751058209749445923", M_PI}, // 66
        {"0." + std::string(62, '0') + "25", 2.5e-63},                                // 66
        {"1." + std::string(1022, '0'), 1.0},                                         // 1,024
        {"-" + std::string(63, '9'), -1e63},                                          // 64
        {std::string(30, '1') + "e-29", 10.0 / 9},
    };
    std::string cells;
    for (size_t i = 0; i < std::size(cases); ++i)
        cells += "<Cell rc='r" + std::to_string(i + 1) + "c1'><N>" + cases[i].text + "</N></Cell>";
    Loaded l = Read(SheetDocument("<Cells>" + cells + "</Cells>"));
    const CCellStore& store = SheetOf(l).cells;
    for (size_t i = 0; i < std::size(cases); ++i) {
        const uint8_t* r = FindCell(store, uint32_t(i), 0);
        ASSERT_NE(r, nullptr) << i;
        EXPECT_DOUBLE_EQ(cell::Number(r), cases[i].value) << cases[i].text.size();
    }
}

TEST(XmlDocument, NumbersKeepEveryBitAndThoseWithoutATextAreTheirError) {
    auto book = CreateWorkbook();
    CWorksheet& ws = AddSheet(*book);
    const double values[] = {
        0.1, 1.0 / 3, -2.0 / 7, 1e20, 123456789012345678.0, 5e-324, 1.7976931348623157e308};
    for (int i = 0; i < 7; ++i) PutNumber(ws, 0, uint32_t(i + 1), values[i]);
    PutNumber(ws, 0, 0, HUGE_VAL);
    PutFormula(ws, 1, 0, "R1C1", std::nan(""));
    const std::string doc = WriteToMemory(*book);
    EXPECT_NE(doc.find("<Cell rc=\"r1c1\"><Error>#NUM!</Error></Cell>\t<Cell rc=\"rc2\">"
                       "<F>R1C1</F><Error>#NUM!</Error></Cell>"),
              std::string::npos);
    Loaded l = Read(doc);
    const CCellStore& cells = SheetOf(l).cells;
    for (int i = 0; i < 7; ++i) {
        const uint8_t* r = FindCell(cells, uint32_t(i + 1), 0);
        ASSERT_NE(r, nullptr);
        EXPECT_EQ(cell::Number(r), values[i]) << i;
    }
    const uint8_t* r = FindCell(cells, 0, 1);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(cell::Flags(r), kCellFormula | kErrNum);
}

TEST(XmlDocument, FormattingRulesAndTheReferenceHeight) {
    auto book = CreateWorkbook();
    book->styles.styleCount = 5;
    CWorksheet& ws = AddSheet(*book);
    ws.formats.columns[0].autoRowHeight = 30; // its only setting: written all the same
    ws.formats.columns[1] = ColumnEntry{uint16_t(GetDefaultColumnWidth() << 1), 3, 0};
    ASSERT_TRUE(SetFormatStoreRowEntry(ws.formats, 0, 30, false));
    ASSERT_TRUE(SetFormatStoreRowEntry(ws.formats, 1, 18, false));
    CellCursor cursor;
    ASSERT_TRUE(PutFormatRun(ws.formats, FormatRun{0, 0, 3, 4}, cursor));
    const std::string doc = WriteToMemory(*book);
    EXPECT_NE(doc.find("\t<Formatting>\r\n"
                       "\t\t<Column rc=\"c1\" AutoRowHeight=\"30\"/>\r\n"
                       "\t\t<Column rc=\"c2\" Width=\"72\" StyleID=\"3\"/>\r\n"
                       "\t\t<Row rc=\"r2\" Height=\"18\"></Row>\r\n"
                       "\t\t<Row rc=\"r4\"><Span rc=\"c1:c1\" StyleID=\"4\"/></Row>\r\n"
                       "\t</Formatting>\r\n\r\n"),
              std::string::npos)
        << doc;
    Loaded l = Read(doc);
    CFormatStore& back = SheetOf(l).formats;
    EXPECT_EQ(std::tuple(back.columns[0].autoRowHeight, back.columns[1].style,
                         *back.rowHeights.GetItem2(1)),
              std::tuple(30, 3, 18 << 1));
    Loaded spans = Read(SheetDocument("<Formatting><Column rc='c3' Width='4095' Fixed='1' "
                                      "AutoRowHeight='4095'/><Row rc='r2' Height='7' "
                                      "Fixed='Yes'><Span rc='c1:c5'/><Span rc='c3:c8'/></Row>"
                                      "<Row rc='r5' Fixed='1'/></Formatting>"));
    CFormatStore& s = SheetOf(spans).formats;
    EXPECT_EQ(std::tuple(s.columns[2].width, s.columns[2].autoRowHeight, s.rowHeights.ItemCount(),
                         *s.rowHeights.GetItem2(1)),
              std::tuple((4095 << 1) | 1, 4095, 2u, (7 << 1) | 1));
    EXPECT_EQ(s.runs.FirstPage(), nullptr); // spans without a style store nothing
}

} // namespace
} // namespace vl::xmltest
