// The exact bytes of a small workbook's document, and the same document read back.

#include "formula/token.h"
#include "model/inspectedcell.h"
#include "xmltestutil.h"

#include <cstring>

namespace vl {
namespace xmltest {

std::unique_ptr<CWorkbook> SampleWorkbook() {
    auto book = CreateWorkbook();
    CopyTextField(book->lastSavedUser, "ann", kLastSavedUserSize);
    CopyTextField(book->lastSavedDate, "2024-05-06T07:08:09", kLastSavedDateSize);
    SetDropDownName(book->dropDownLists[2], "Fruit");
    AddDropDownEntry(book->dropDownLists[2], "apple");
    AddDropDownEntry(book->dropDownLists[2], "pear & plum");

    StyleTables& t = book->styles;
    FontRecord& font = t.fonts[t.fontCount++];
    CopyTextField(font.faceName, "Arial", kFaceNameSize);
    font.family = 1;
    font.size = 10;
    font.weight = 2;
    font.italic = 1;
    font.charSet = 1;
    StyleRecord& s = t.styles[t.styleCount++];
    s.fontRef = FontRef{1, 1, Rgb(255, 0, 0)};
    s.numberFormat.kind = STD_STYLE_CURRENCY;
    std::memcpy(s.numberFormat.params + fmtparam::kCurrencySymbol, "\x80", 2);
    s.numberFormat.params[fmtparam::kCurrencyDecimals] = 2;
    s.numberFormat.params[fmtparam::kSymbolPosition] = 3;
    s.numberFormat.params[fmtparam::kCurrencyNegative] = 1;
    BuildStandardFormatCode(s.numberFormat);
    s.fill = InteriorFill{FORMAT_PAT_GRAY50, 1, Rgb(0, 0, 255), 0, GetSystemColor(kColorWindow)};
    s.borderSides = kBorderLeft | kBorderTop;
    s.borderLine = BorderLine{FORMAT_LINE_SOLID, 1, Rgb(0, 255, 128)};
    s.verticalAlignment = 5;
    s.horizontalAlignment = 3;
    s.wrapText = 1;
    s.dropDownList = 3;
    s.sort = 1;
    s.isProtected = 1;
    t.styleCount++; // style 2: the defaults

    CTreeItem* folder = book->AppendTreeItem(TREE_TYPE_FOLDER, "Folder1", 1);
    folder->expanded = 1;
    CWorksheet& ws =
        *static_cast<CWorksheet*>(book->AppendTreeItem(TREE_TYPE_WORKSHEET, "a&b\"c\t", 2));
    book->AppendTreeItem(TREE_TYPE_WORKSHEET, "Plain", 1);
    book->tree.active = &ws;

    InspectedCellRecord watched;
    watched.cell = CellRef{2, 9, kRefCell};
    CopyTextField(watched.worksheet, "\\Folder1\\a&b\"c\t", kInspectedPathSize);
    CopyTextField(watched.name, "x<y", kInspectedNameSize);
    EXPECT_TRUE(AppendInspectedCell(book->inspectedCells, watched));

    ws.formats.columns[1] = ColumnEntry{uint16_t(80 << 1), 1, 0};
    ws.formats.columns[4] = ColumnEntry{1, 0, 0};
    CellCursor cursor;
    EXPECT_TRUE(PutFormatRun(ws.formats, FormatRun{0, 2, 0, 2}, cursor));
    EXPECT_TRUE(PutFormatRun(ws.formats, FormatRun{4, 4, 0, 1}, cursor));
    EXPECT_TRUE(SetFormatStoreRowEntry(ws.formats, 2, 30, false));

    PutNumber(ws, 0, 0, 0.1);
    PutText(ws, 2, 0, "  two  blanks");
    PutNumber(ws, 1, 1, 0, kErrDivZero >> 4);
    PutFormula(ws, 3, 1, "R1C1*2", 0.2);
    PutFormula(ws, 0, 2, "\"t\"&\"xt\"", 0, "txt");
    PutFormula(ws, 1, 2, "1/0", 0, nullptr, kErrDivZero >> 4);
    PutFormula(ws, 0, 3, "R1C1:R1C2", 5, nullptr, 0, 2, 1);
    CellBuffer b;
    MakeNumberCell(b, 1, 3, 1e20);
    b.bytes[0] |= kCellArrayElement;
    Put(ws, b);
    return book;
}

namespace {

// The view and page settings of a new worksheet.
const std::string kNewSheetSettings =
    "\t<GeneralSettings>\r\n"
    "\t\t<Background>\r\n"
    "\t\t\t<FillPattern PatternType=\"Solid\"/>\r\n"
    "\t\t</Background>\r\n"
    "\t\t<Table>\r\n"
    "\t\t\t<TopLeft rc=\"r1c1\"/>\r\n"
    "\t\t\t<Selection rc=\"r1c1:r1c1\"/>\r\n"
    "\t\t</Table>\r\n"
    "\t</GeneralSettings>\r\n"
    "\r\n"
    "\t<PageSettings>\r\n"
    "\t\t<Printer>\r\n"
    "\t\t\t<Name></Name>\r\n"
    "\t\t\t<SheetSize Landscape=\"0\"></SheetSize>\r\n"
    "\t\t</Printer>\r\n"
    "\t\t<PrintRange>\r\n"
    "\t\t\t<All Scale=\"100%\" FirstPageNumber=\"1\"/>\r\n"
    "\t\t\t<ExcludedRows></ExcludedRows>\r\n"
    "\t\t\t<ExcludedColumns></ExcludedColumns>\r\n"
    "\t\t\t<Copies Collate=\"0\" BackToFrontOrder=\"0\">1</Copies>\r\n"
    "\t\t</PrintRange>\r\n"
    "\t\t<Headers OnFirstPage=\"1\">\r\n"
    "\t\t\t<Margins Top=\"12.7\" Bottom=\"20.32\"/>\r\n"
    "\t\t\t<HeaderText>&amp;c Document: &amp;f</HeaderText>\r\n"
    "\t\t\t<FooterText>&amp;c &amp;p</FooterText>\r\n"
    "\t\t\t<Font Color=\"#000000\"/>\r\n"
    "\t\t</Headers>\r\n"
    "\t\t<PageLayout>\r\n"
    "\t\t\t<Margins Left=\"12.7\" Top=\"20.32\" Right=\"12.7\" Bottom=\"27.939\"/>\r\n"
    "\t\t\t<PagesPerSheet Columns=\"1\" Rows=\"1\"/>\r\n"
    "\t\t\t<Alignment HorizontalAlignment=\"Left\" VerticalAlignment=\"Top\"/>\r\n"
    "\t\t</PageLayout>\r\n"
    "\t\t<RowHeadings/>\r\n"
    "\t\t<ColumnHeadings/>\r\n"
    "\t</PageSettings>\r\n"
    "\r\n";

const std::string kSample =
    std::string(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
        "\r\n"
        "<Workbook>\r\n"
        "\r\n"
        "<LastModification>\r\n"
        "\t<User>ann</User>\r\n"
        "\t<Date>2024-05-06T07:08:09</Date>\r\n"
        "</LastModification>\r\n"
        "\r\n"
        "<Window>\r\n"
        "\t<TreePane Visible=\"1\" Width=\"100\"/>\r\n"
        "\t<InspectPane Visible=\"0\" Height=\"100\"/>\r\n"
        "</Window>\r\n"
        "\r\n"
        "<DropDownLists>\r\n"
        "\t<List ID=\"3\">\r\n"
        "\t\t<Name>Fruit</Name>\r\n"
        "\t\t<Item>apple</Item>\r\n"
        "\t\t<Item>pear &amp; plum</Item>\r\n"
        "\t</List>\r\n"
        "</DropDownLists>\r\n"
        "\r\n"
        "<Styles>\r\n"
        "\t<Font ID=\"1\" Name=\"Arial\" Family=\"Swiss\" Size=\"10\" Weight=\"Bold\" "
        "Slant=\"Italic\" CharSet=\"Ansi\"/>\r\n"
        "\t<Style ID=\"1\">\r\n"
        "\t\t<FontRef FontID=\"1\" Color=\"#ff0000\"/>\r\n"
        "\t\t<NumberFormat>\r\n"
        "\t\t\t<Currency DecimalDigits=\"2\" Symbol=\"\xe2\x82\xac\" SymbolPosition=\"1.1 $\" "
        "Negative=\"Red\"/>\r\n"
        "\t\t</NumberFormat>\r\n"
        "\t\t<FillPattern PatternType=\"Gray50\" PatternColor=\"#0000FF\"/>\r\n"
        "\t\t<Alignment VerticalAlignment=\"Center\" HorizontalAlignment=\"Right\" "
        "HorizontalIndent=\"4\" VerticalIndent=\"2\" WrapText=\"1\" FitToCell=\"0\" "
        "Rotation=\"0\"/>\r\n"
        "\t\t<DropDownListRef ListID=\"3\" Sort=\"1\" AutoAppend=\"0\" AutoComplete=\"0\"/>\r\n"
        "\t\t<Protection Protected=\"1\" Hidden=\"0\"/>\r\n"
        "\t\t<Borders Style=\"Continuous\" Color=\"#00ff80\">Left Top</Borders>\r\n"
        "\t</Style>\r\n"
        "\t<Style ID=\"2\">\r\n"
        "\t\t<Alignment/>\r\n"
        "\t</Style>\r\n"
        "</Styles>\r\n"
        "\r\n"
        "<InspectCells>\r\n"
        "\t<Cell Worksheet=\"\\Folder1\\a&amp;b&quot;c&#09;\" rc=\"r10c3\" Name=\"x&lt;y\"/>\r\n"
        "</InspectCells>\r\n"
        "\r\n"
        "<Folder Name=\"Folder1\" Expanded=\"1\" TreeLevel=\"1\"/>\r\n"
        "\r\n"
        "<Worksheet Name=\"a&amp;b&quot;c&#09;\" TreeLevel=\"2\" Selected=\"1\">\r\n"
        "\r\n"
        "\t<Formatting>\r\n"
        "\t\t<Column rc=\"c2\" Width=\"80\" StyleID=\"1\"/>\r\n"
        "\t\t<Column rc=\"c5\" Width=\"0\" Fixed=\"1\"/>\r\n"
        "\t\t<Row rc=\"r1\"><Span rc=\"c1:c3\" StyleID=\"2\"/><Span rc=\"c5:c5\" "
        "StyleID=\"1\"/></Row>\r\n"
        "\t\t<Row rc=\"r3\" Height=\"30\"></Row>\r\n"
        "\t</Formatting>\r\n"
        "\r\n"
        "\t<Cells>\r\n"
        "\t\t<Cell rc=\"r1c1\"><N>0.1</N></Cell>\t<Cell rc=\"rc3\"><T>  two  blanks</T></Cell>\r\n"
        "\t\t<Cell rc=\"r2c2\"><Error>#DIV/0!</Error></Cell>\t<Cell "
        "rc=\"rc4\"><F>R1C1*2</F><N>0.2</N></Cell>\r\n"
        "\t\t<Cell rc=\"r3c1\"><F>&quot;t&quot;&amp;&quot;xt&quot;</F><T>txt</T></Cell>\t"
        "<Cell rc=\"rc2\"><F>1/0</F><Error>#DIV/0!</Error></Cell>\r\n"
        "\t\t<Cell rc=\"r4c1\"><F Width=\"2\" Height=\"1\">R1C1:R1C2</F><N>5</N></Cell>\t"
        "<Cell rc=\"rc2\" Auto=\"1\"><N>1e+020</N></Cell>\r\n"
        "\t</Cells>\r\n"
        "\r\n") +
    kNewSheetSettings +
    "</Worksheet>\r\n"
    "\r\n"
    "<Worksheet Name=\"Plain\" TreeLevel=\"1\">\r\n"
    "\r\n"
    "\t<Formatting>\r\n"
    "\t</Formatting>\r\n"
    "\r\n"
    "\t<Cells>\r\n"
    "\t</Cells>\r\n"
    "\r\n" +
    kNewSheetSettings +
    "</Worksheet>\r\n"
    "\r\n"
    "</Workbook>\r\n";

} // namespace

const char* const kSampleDocument = kSample.c_str();

namespace {

TEST(XmlGolden, SampleWorkbookDocument) {
    auto book = SampleWorkbook();
    const std::string doc = WriteToMemory(*book);
    EXPECT_EQ(doc, kSampleDocument);
}

TEST(XmlGolden, SampleDocumentReadsBackToTheSameBytes) {
    Loaded l = ReadFromMemory(kSampleDocument);
    ASSERT_TRUE(l.ok) << int(l.error) << " at line " << l.line;
    EXPECT_EQ(WriteToMemory(*l.book), kSampleDocument);
    const CWorksheet* ws = AsWorksheet(l.book->tree.first->next);
    ASSERT_NE(ws, nullptr);
    EXPECT_STREQ(ws->name, "a&b\"c\t");
    EXPECT_EQ(l.book->tree.active, ws);
    const uint8_t* text = FindCell(ws->cells, 0, 2);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(cell::Text(text), "  two  blanks");
}

} // namespace
} // namespace xmltest
} // namespace vl
