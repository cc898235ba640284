// Reading rules of the document, the tree, the lists, the inspected cells, the formatting
// and the cells that the golden document and the error table leave open.

#include "formula/token.h"
#include "model/inspectedcell.h"
#include "xmltestutil.h"

#include <cmath>

namespace vl {
namespace xmltest {
namespace {

Loaded Read(const std::string& doc) {
    Loaded l = ReadFromMemory(doc);
    EXPECT_TRUE(l.ok) << int(l.error) << " at line " << l.line;
    return l;
}

CWorksheet* SheetAt(CWorkbook& book, int index) {
    CTreeItem* item = book.tree.first;
    for (int i = 0; item && i < index; ++i) item = item->next;
    return AsWorksheet(item);
}

TEST(XmlDocument, EncodingsOfTheDeclaration) {
    const std::string body = "<Workbook><Worksheet Name='caf\xc3\xa9'/></Workbook>";
    const std::pair<std::string, std::string> cases[] = {
        {"<?xml version='1.0'?>", "caf\xe9"},
        {"<?xml version='1.0' encoding='utf-8'?>", "caf\xe9"},
        {"<?xml version='1.0' encoding='windows-1250'?>", "caf\xc3\xa9"},
        {"<?xml version='1.0' encoding='ISO-8859-2'?>", "caf\xc3\xa9"},
        {" \r\n\t<?xml version='1.0' encoding='iso-8859-1'?>", "caf\xc3\xa9"},
    };
    for (const auto& [declaration, name] : cases) {
        Loaded l = Read(declaration + body);
        ASSERT_NE(l.book->tree.first, nullptr) << declaration;
        EXPECT_EQ(std::string(l.book->tree.first->name), name) << declaration;
    }
}

TEST(XmlDocument, TreeNamesLevelsAndTheActiveWorksheet) {
    Loaded l = Read(Document("<Folder/><Worksheet/><Folder Name='F' Expanded='true' "
                             "TreeLevel='1'/><Worksheet TreeLevel='2' Selected='1'/>"
                             "<Worksheet Selected='true'></Worksheet><Worksheet/>"));
    CWorkbook& b = *l.book;
    const char* names[] = {"Folder1", "Worksheet1", "F", "Worksheet2", "Worksheet3", "Worksheet4"};
    const uint16_t levels[] = {1, 1, 1, 2, 1, 1};
    CTreeItem* item = b.tree.first;
    for (int i = 0; i < 6; ++i, item = item->next) {
        ASSERT_NE(item, nullptr);
        EXPECT_STREQ(item->name, names[i]);
        EXPECT_EQ(item->level, levels[i]) << names[i];
    }
    EXPECT_EQ(item, nullptr);
    EXPECT_EQ(b.tree.first->next->next->expanded, 1);
    EXPECT_EQ(b.tree.worksheetCount, 4u);
    EXPECT_EQ(b.tree.folderCount, 2u);
    // The later of two selected worksheets is active; without any, the first.
    EXPECT_EQ(b.tree.active, SheetAt(b, 4));
    Loaded none = Read(Document("<Worksheet/><Worksheet/>"));
    EXPECT_EQ(none.book->tree.active, SheetAt(*none.book, 0));
}

TEST(XmlDocument, LastModificationAndWindow) {
    Loaded l = Read(Document("<LastModification><User> a  b </User><Date>2024-01-02</Date>"
                             "</LastModification><Window><TreePane Visible='No' Width='65534'/>"
                             "<InspectPane Visible='Yes'/></Window><Worksheet/>"));
    EXPECT_STREQ(l.book->lastSavedUser, " a  b ");
    EXPECT_STREQ(l.book->lastSavedDate, "2024-01-02");
    EXPECT_EQ(l.book->panes.treeShown, 0);
    EXPECT_EQ(l.book->panes.treeWidth, 65534);
    EXPECT_EQ(l.book->panes.inspectShown, 1);
    EXPECT_EQ(l.book->panes.inspectHeight, 100);
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
    EXPECT_EQ(r.cell.row, 20u);
    EXPECT_EQ(r.cell.column, 1);
    EXPECT_EQ(r.cell.flags, kRefCell);
    ASSERT_TRUE(GetInspectedCell(list, 21, r));
    EXPECT_STREQ(r.worksheet, "\\a&b");
    EXPECT_STREQ(r.name, "x");
    EXPECT_EQ(r.cell.row, kLastRow);
    EXPECT_EQ(r.cell.column, kLastColumn);
}

TEST(XmlDocument, CellPositionsAndValues) {
    Loaded l = Read(
        SheetDocument("<Cells><Cell rc='rc3'><N>1e+020</N></Cell><Cell rc='r[1]c[-1]' Auto='true'>"
                      "<N>0.33333333333333331</N></Cell><Cell rc='r3c1'><F Width='3' Height='2'>"
                      "R1C1</F><Error>#DIV/0!</Error></Cell><Cell rc='rc2'><F/><T/></Cell>"
                      "<Cell rc='rc3'><Error>#SYNTAX!</Error></Cell></Cells>"));
    CWorksheet& ws = *SheetAt(*l.book, 0);
    const uint8_t* r = FindCell(ws.cells, 0, 2);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(cell::Number(r), 1e20);
    r = FindCell(ws.cells, 1, 1);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(cell::Number(r), 1.0 / 3);
    EXPECT_EQ(cell::Flags(r), kCellNumber | kCellArrayElement);
    r = FindCell(ws.cells, 2, 0);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(cell::Flags(r), kCellFormula | kErrDivZero);
    EXPECT_EQ(cell::ResultFlags(r), kResultNumber | kResultArray);
    EXPECT_EQ(cell::ArrayWidth(r), 3);
    EXPECT_EQ(cell::ArrayHeight(r), 2u);
    EXPECT_EQ(cell::Formula(r), "R1C1");
    r = FindCell(ws.cells, 2, 1);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(cell::ResultFlags(r), kResultText);
    EXPECT_EQ(cell::ArrayWidth(r), 1);
    EXPECT_EQ(cell::Formula(r), "");
    EXPECT_EQ(cell::CachedText(r), "");
    r = FindCell(ws.cells, 2, 2);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(cell::Flags(r), kCellNumber | kErrSyntax);
}

TEST(XmlDocument, NumbersKeepEveryBit) {
    auto book = CreateWorkbook();
    CWorksheet& ws = AddSheet(*book);
    const double values[] = {
        0.1, 1.0 / 3, -2.0 / 7, 1e20, 123456789012345678.0, 5e-324, 1.7976931348623157e308};
    for (int i = 0; i < 7; ++i) PutNumber(ws, 0, uint32_t(i), values[i]);
    Loaded l = Read(WriteToMemory(*book));
    for (int i = 0; i < 7; ++i) {
        const uint8_t* r = FindCell(SheetAt(*l.book, 0)->cells, uint32_t(i), 0);
        ASSERT_NE(r, nullptr);
        EXPECT_EQ(cell::Number(r), values[i]) << i;
    }
}

TEST(XmlDocument, NumbersWithoutATextAreWrittenAsTheirError) {
    auto book = CreateWorkbook();
    CWorksheet& ws = AddSheet(*book);
    PutNumber(ws, 0, 0, HUGE_VAL);
    PutFormula(ws, 1, 0, "R1C1", std::nan(""));
    const std::string doc = WriteToMemory(*book);
    EXPECT_NE(doc.find("<Cell rc=\"r1c1\"><Error>#NUM!</Error></Cell>\t<Cell rc=\"rc2\">"
                       "<F>R1C1</F><Error>#NUM!</Error></Cell>"),
              std::string::npos);
    Loaded l = Read(doc);
    const uint8_t* r = FindCell(SheetAt(*l.book, 0)->cells, 0, 1);
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
    CWorksheet& back = *SheetAt(*l.book, 0);
    EXPECT_EQ(back.formats.columns[0].autoRowHeight, 30);
    EXPECT_EQ(back.formats.columns[1].style, 3);
    EXPECT_EQ(*back.formats.rowHeights.GetItem2(1), 18 << 1);

    Loaded spans = Read(SheetDocument("<Formatting><Column rc='c3' Width='4095' Fixed='1' "
                                      "AutoRowHeight='4095'/><Row rc='r2' Height='7' "
                                      "Fixed='Yes'><Span rc='c1:c5'/><Span rc='c3:c8'/></Row>"
                                      "<Row rc='r5' Fixed='1'/></Formatting>"));
    CWorksheet& s = *SheetAt(*spans.book, 0);
    EXPECT_EQ(s.formats.columns[2].width, (4095 << 1) | 1);
    EXPECT_EQ(s.formats.columns[2].autoRowHeight, 4095);
    EXPECT_EQ(s.formats.rowHeights.ItemCount(), 2u);
    EXPECT_EQ(*s.formats.rowHeights.GetItem2(1), (7 << 1) | 1);
    EXPECT_EQ(s.formats.runs.FirstPage(), nullptr); // spans without a style store nothing
}

} // namespace
} // namespace xmltest
} // namespace vl
