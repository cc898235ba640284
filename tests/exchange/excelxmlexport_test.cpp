// Writing Excel 2003 XML: golden pieces of the output and whole round trips.

#include "excelxmltestutil.h"
#include "formula/token.h"
#include "model/cellrecord.h"
#include "model/cellstore.h"
#include "model/formatstore.h"
#include "model/sheetsettings.h"
#include "model/styles.h"
#include "values/formatdefaults.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace vl {
namespace {

using namespace excelxmltest;

std::unique_ptr<CWorkbook> Book(std::initializer_list<const char*> names) {
    std::unique_ptr<CWorkbook> book = CreateWorkbook();
    for (const char* name : names) book->AppendTreeItem(TREE_TYPE_WORKSHEET, name, 1);
    book->tree.active = AsWorksheet(book->tree.first);
    return book;
}

CWorksheet& Sheet0(CWorkbook& book) {
    return *AsWorksheet(book.tree.first);
}

void PutNumber(CWorksheet& ws, uint32_t row, uint16_t column, double value, uint8_t error = 0) {
    CellBuffer b;
    ASSERT_TRUE(MakeNumberCell(b, column, row, value, error));
    CellCursor cursor;
    ASSERT_TRUE(ws.cells.PutCell(b.bytes, cursor));
}

void PutText(CWorksheet& ws, uint32_t row, uint16_t column, const std::string& text) {
    CellBuffer b;
    ASSERT_TRUE(MakeTextCell(b, column, row, text));
    CellCursor cursor;
    ASSERT_TRUE(ws.cells.PutCell(b.bytes, cursor));
}

void PutFormula(CWorksheet& ws, uint32_t row, uint16_t column, const std::string& formula,
                FormulaHead head, const std::string& cached = {}) {
    CellBuffer b;
    ASSERT_TRUE(MakeFormulaCell(b, column, row, head, formula, cached));
    CellCursor cursor;
    ASSERT_TRUE(ws.cells.PutCell(b.bytes, cursor));
}

bool Has(const std::string& text, const std::string& piece) {
    return text.find(piece) != std::string::npos;
}

TEST(ExcelXmlExport, DocumentLevel) {
    auto book = Book({"Data", "data", "DATA", "A(0)", "A", "A"});
    book->AppendTreeItem(TREE_TYPE_FOLDER, "F", 1);
    CopyTextField(book->properties.author, "Ann & <Bo>", 128);
    const std::string out = Export(*book);
    EXPECT_EQ(out.substr(0, 42), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n\r\n");
    EXPECT_TRUE(Has(out, "\t<DocumentProperties xmlns=\"urn:schemas-microsoft-com:office:office\">"
                         "\r\n\t\t<Author>Ann &amp; &lt;Bo&gt;</Author>\r\n\t\t<LastAuthor>"
                         "</LastAuthor>\r\n"));
    EXPECT_FALSE(Has(out, "<Company>"));
    EXPECT_TRUE(Has(out, "\t\t<ActiveSheet>0</ActiveSheet>\r\n"));
    std::vector<std::string> names;
    for (std::size_t at = out.find("<Worksheet ss:Name=\""); at != std::string::npos;
         at = out.find("<Worksheet ss:Name=\"", at + 1)) {
        const std::size_t from = at + 20;
        names.push_back(out.substr(from, out.find('"', from) - from));
    }
    EXPECT_EQ(names, (std::vector<std::string>{"Data", "data(0)", "DATA(1)", "A(0)", "A", "A(1)"}));
    std::size_t selected = 0;
    for (std::size_t at = out.find("<Selected/>"); at != std::string::npos;
         at = out.find("<Selected/>", at + 1))
        ++selected;
    EXPECT_EQ(selected, 6u);
}

// The names of the worksheets as the export wrote them.
std::vector<std::string> WrittenNames(const std::string& out) {
    std::vector<std::string> names;
    for (std::size_t at = out.find("<Worksheet ss:Name=\""); at != std::string::npos;
         at = out.find("<Worksheet ss:Name=\"", at + 1)) {
        const std::size_t from = at + 20;
        names.push_back(out.substr(from, out.find('"', from) - from));
    }
    return names;
}

// The rule, name by name against every name before it: the own name, else the first "(k)"
// from 0 that no earlier worksheet took, letter case aside; a long name shortened for it.
std::vector<std::string> NamesByTheRule(const std::vector<std::string>& own) {
    const auto upper = [](std::string text) {
        for (char& c : text) c = char(std::toupper(static_cast<unsigned char>(c)));
        return text;
    };
    std::vector<std::string> out, taken;
    for (const std::string& name : own) {
        std::string candidate = name;
        for (int k = 0; std::count(taken.begin(), taken.end(), upper(candidate)) > 0; ++k) {
            const std::string suffix = "(" + std::to_string(k) + ")";
            candidate = name.substr(0, std::min(name.size(), 127 - suffix.size())) + suffix;
        }
        out.push_back(candidate);
        taken.push_back(upper(candidate));
    }
    return out;
}

// Many worksheets of few names, in every letter case, some named as a counter would name
// another, some long enough that the counter shortens them: each gets the name the rule gives,
// and the names read back.
TEST(ExcelXmlExport, ManyAlikeNamesGetTheNamesTheRuleGives) {
    std::vector<std::string> pool = {"Data", "data", "DATA",    "Data(0)", "data(2)", "Data(10)",
                                     "A",    "A(0)", "a(0)(0)", "A(1",     "(0)"};
    for (const std::string& name : {std::string(127, 'n'), std::string(126, 'N'),
                                    std::string(124, 'n') + "(0)", std::string(123, 'n') + "(12)"})
        pool.push_back(name);
    std::mt19937 random(117);
    std::vector<std::string> own;
    auto book = CreateWorkbook();
    for (int k = 0; k < 300; ++k) {
        own.push_back(pool[random() % pool.size()]);
        ASSERT_NE(book->AppendTreeItem(TREE_TYPE_WORKSHEET, own.back().c_str(), 1), nullptr);
    }
    book->tree.active = AsWorksheet(book->tree.first);
    const std::string out = Export(*book);
    const std::vector<std::string> expected = NamesByTheRule(own);
    EXPECT_EQ(WrittenNames(out), expected);
    const Imported back = Import(out);
    ASSERT_TRUE(back.ok);
    std::vector<std::string> read;
    for (const CTreeItem* item = back.book->tree.first; item; item = item->next)
        read.emplace_back(item->name);
    EXPECT_EQ(read, expected);
}

TEST(ExcelXmlExport, LongSheetNamesStayUnique) {
    const std::string name(127, 'n');
    auto book = Book({name.c_str(), name.c_str()});
    const std::string out = Export(*book);
    EXPECT_TRUE(Has(out, "ss:Name=\"" + std::string(124, 'n') + "(0)\""));
    const Imported back = Import(out);
    ASSERT_TRUE(back.ok);
    EXPECT_EQ(std::string(back.book->tree.first->next->name), std::string(124, 'n') + "(0)");
}

TEST(ExcelXmlExport, DefaultStyleWritesEveryChild) {
    auto book = Book({"S"});
    const std::string out = Export(*book);
    EXPECT_TRUE(Has(out,
                    "\t\t<Style ss:ID=\"Default\" ss:Name=\"Normal\">\r\n\t\t\t<Alignment/>\r\n"
                    "\t\t\t<Borders/>\r\n\t\t\t<Font/>\r\n"
                    "\t\t\t<Interior/>\r\n\t\t\t<NumberFormat/>\r\n\t\t\t<Protection/>\r\n"
                    "\t\t</Style>\r\n"))
        << out;
}

TEST(ExcelXmlExport, StyleRecords) {
    auto book = Book({"S"});
    StyleTables& t = book->styles;
    t.styleCount = 4;
    StyleRecord& pct = t.styles[1];
    pct.numberFormat.kind = STD_STYLE_PERCENTAGE;
    pct.numberFormat.params[fmtparam::kFixedDecimals] = 1;
    pct.numberFormat.params[fmtparam::kDecimals] = 2;
    StyleRecord& fill = t.styles[2];
    fill.fill.pattern = FORMAT_PAT_GRAY50;
    fill.fill.backgroundColorGiven = fill.fill.patternColorGiven = 1;
    fill.fill.backgroundColor = 0x00CCBBAA;
    fill.fill.patternColor = 0x00332211;
    fill.fontRef.colorGiven = 1;
    fill.fontRef.color = 0x00CCBBAA;
    StyleRecord& border = t.styles[3];
    border.borderSides = kBorderLeft | kBorderBottom;
    border.borderLine.style = FORMAT_LINE_DOUBLE;
    border.borderLine.colorGiven = 1;
    border.borderLine.color = 0x00CCBBAA;
    border.horizontalAlignment = t.styles[0].horizontalAlignment = 3;
    const std::string out = Export(*book);
    EXPECT_TRUE(Has(out, "<Style ss:ID=\"s21\">\r\n\t\t\t<NumberFormat ss:Format=\"#,##0.00%\"/>"));
    EXPECT_TRUE(Has(out, "<Interior ss:Color=\"#AABBCC\" ss:Pattern=\"Gray50\" "
                         "ss:PatternColor=\"#112233\"/>"));
    EXPECT_TRUE(Has(out, "ss:Color=\"#aabbcc\"/>")) << "font colour in small letters";
    EXPECT_TRUE(Has(out, "<Style ss:ID=\"s23\">\r\n\t\t\t<Borders>\r\n\t\t\t\t<Border "
                         "ss:Position=\"Left\" ss:LineStyle=\"Double\" ss:Weight=\"3\" "
                         "ss:Color=\"#AABBCC\"/>\r\n\t\t\t\t<Border ss:Position=\"Bottom\""))
        << "no Horizontal where the default has it";
}

TEST(ExcelXmlExport, TableColumnsRowsAndCells) {
    auto book = Book({"S"});
    CWorksheet& ws = Sheet0(*book);
    ws.formats.columns[0].width = uint16_t(64 << 1 | 1);
    ws.formats.columns[19].style = 1;
    book->styles.styleCount = 2;
    PutNumber(ws, 0, 9, 1.5);
    FormulaHead array;
    array.arrayWidth = 2;
    array.arrayHeight = 3;
    array.resultFlags = kResultArray | kResultNumber;
    array.cachedNumber = 7;
    PutFormula(ws, 1, 0, "=1", array);
    FormulaHead circ;
    circ.flags = kCellFormula | kErrCirc;
    PutFormula(ws, 1, 1, "=R[0]C", circ);
    FormulaHead none;
    none.resultFlags = 0;
    PutFormula(ws, 1, 2, "=2", none);
    ASSERT_TRUE(SetFormatStoreRowEntry(ws.formats, 2, 30, true));
    ASSERT_TRUE(SetFormatStoreRowEntry(ws.formats, 5, 30, true)); // below the used rows
    CellCursor cursor;
    ASSERT_TRUE(PutFormatRun(ws.formats, FormatRun{3, 4, 1, 1}, cursor));
    const std::string out = Export(*book);
    EXPECT_TRUE(Has(out, "<Table ss:ExpandedColumnCount=\"10\" ss:ExpandedRowCount=\"2\" "
                         "x:FullColumns=\"1\" x:FullRows=\"1\">\r\n"
                         "\t\t\t<Column ss:Index=\"1\" ss:AutoFitWidth=\"0\" ss:Width=\"48\"/>\r\n"
                         "\t\t\t<Column ss:Index=\"20\" ss:StyleID=\"s21\"/>\r\n"))
        << out;
    EXPECT_TRUE(Has(out, "<Row ss:Index=\"1\">\r\n\t\t\t\t<Cell ss:Index=\"10\"><Data "
                         "ss:Type=\"Number\">1.5</Data></Cell>\r\n"));
    EXPECT_TRUE(Has(out, "<Cell ss:Index=\"1\" ss:Formula=\"=1\" ss:ArrayRange=\"RC:R[2]C[1]\">"
                         "<Data ss:Type=\"Number\">7</Data></Cell>"));
    EXPECT_TRUE(Has(out, "<Cell ss:Index=\"2\" ss:Formula=\"=R[0]C\"><Data "
                         "ss:Type=\"Error\">#N/A!</Data></Cell>"));
    EXPECT_TRUE(Has(out, "<Cell ss:Index=\"3\" ss:Formula=\"=2\"></Cell>"));
    EXPECT_TRUE(Has(out, "<Cell ss:Index=\"4\" ss:StyleID=\"s21\"/>\r\n\t\t\t\t<Cell "
                         "ss:Index=\"5\" ss:StyleID=\"s21\"/>"));
    EXPECT_FALSE(Has(out, "ss:Index=\"6\" ss:AutoFitHeight"));
    const std::string at120 = Export(*book, 120);
    EXPECT_TRUE(Has(at120, "ss:Width=\"38.4\""));
}

TEST(ExcelXmlExport, RowsWithOnlyAHeightInsideTheUsedRows) {
    auto book = Book({"S"});
    CWorksheet& ws = Sheet0(*book);
    PutNumber(ws, 4, 0, 1);
    ASSERT_TRUE(SetFormatStoreRowEntry(ws.formats, 2, 30, false));
    const std::string out = Export(*book);
    EXPECT_TRUE(Has(out, "<Row ss:Index=\"3\" ss:Height=\"22.5\"/>")) << out;
}

// A page is centred in the file exactly when printing centres it: of several bits of a group
// the lowest holds.
TEST(ExcelXmlExport, CentringFollowsHowThePagePrints) {
    struct Case {
        uint8_t alignment;
        bool across, down;
    } const cases[] = {
        {0, false, false},     {1, false, false},      {2, true, false},
        {3, false, false},     {6, true, false},       {7, false, false},
        {4 | 16, false, true}, {8 | 16, false, false}, {16 | 32, false, true},
        {2 | 16, true, true},  {3 | 24, false, false}, {6 | 48, true, true},
    };
    for (const Case& c : cases) {
        auto book = Book({"S"});
        Sheet0(*book).pageSetup.alignment = c.alignment;
        const std::string out = Export(*book);
        EXPECT_EQ(Has(out, "x:CenterHorizontal=\"1\""), c.across) << int(c.alignment);
        EXPECT_EQ(Has(out, "x:CenterVertical=\"1\""), c.down) << int(c.alignment);
    }
}

TEST(ExcelXmlExport, WorksheetOptions) {
    auto book = Book({"S"});
    CWorksheet& ws = Sheet0(*book);
    ws.pageSetup.headerText[0] = '\0';
    const std::string plain = Export(*book);
    EXPECT_FALSE(Has(plain, "<Layout"));
    EXPECT_TRUE(Has(plain, "<Header x:Data=\"\"/>"));
    EXPECT_FALSE(Has(plain, "TopRowVisible"));
    EXPECT_TRUE(Has(plain, "<ActiveRow>1</ActiveRow>\r\n\t\t\t\t\t<ActiveCol>1</ActiveCol>"));
    ws.pageSetup.marginLeft = 20;
    ws.pageSetup.marginTop = 25.4;
    ws.pageSetup.landscape = 1;
    ws.pageSetup.firstPageNumber = 3;
    CopyTextField(ws.pageSetup.headerText, "&P of &N", kPageTextSize);
    ws.view.topLeft.row = 5;
    ws.view.showGrid = 0;
    const std::string out = Export(*book);
    EXPECT_TRUE(Has(out, "<Layout x:Orientation=\"Landscape\" x:StartPageNumber=\"3\"/>"));
    EXPECT_TRUE(Has(out, "<Header x:Data=\"&amp;P of &amp;N\"/>"));
    EXPECT_TRUE(Has(out, "x:Left=\"0.787\" x:Top=\"1\""));
    EXPECT_TRUE(Has(out, "<TopRowVisible>6</TopRowVisible>"));
    EXPECT_TRUE(Has(out, "<DoNotDisplayGridlines/>"));
}

// Everything a worksheet holds, away from its defaults, comes back.
TEST(ExcelXmlExport, RoundTrip) {
    auto book = Book({"One", "Two & <3>"});
    CWorksheet& ws = Sheet0(*book);
    PutNumber(ws, 0, 0, 0.1 + 0.2);
    PutNumber(ws, 0, 1, -1e300);
    PutNumber(ws, 0, 2, 0, kErrDivZero >> 4);
    PutText(ws, 1, 0, std::string(kMaxCellText, 't'));
    PutText(ws, 1, 1, "line\nbreak \x01 \xE9");
    FormulaHead text;
    text.resultFlags = kResultText;
    PutFormula(ws, 2, 0, "=\"a\"&\"b\"", text, "ab");
    FormulaHead array;
    array.arrayWidth = 2;
    array.arrayHeight = 2;
    array.resultFlags = kResultArray | kResultNumber;
    array.cachedNumber = 4;
    PutFormula(ws, 3, 0, "=R1C1:R2C2", array);
    // The form's last row is written; the rows past it, which other programs refuse the whole
    // file for, are left out (the save asked about that loss).
    PutNumber(ws, kExcelXmlLastRow, kLastColumn, 9);
    PutNumber(ws, kExcelXmlLastRow + 1, 0, 8);
    PutNumber(ws, kLastRow, kLastColumn, 7);
    StyleTables& t = book->styles;
    t.styleCount = 2;
    FontRecord font{};
    std::strcpy(font.faceName, "Caf\xE9 & Serif");
    font.size = 14;
    font.weight = 2;
    font.italic = 1;
    font.family = 3;
    uint8_t fontIndex = 0;
    ASSERT_TRUE(FindOrAddFont(t, font, &fontIndex));
    StyleRecord& s = t.styles[1];
    s.fontRef = {fontIndex, 1, 0x000000FF};
    s.horizontalAlignment = 2;
    s.verticalAlignment = 7;
    s.horizontalIndent = 3;
    s.wrapText = 1;
    s.rotation = -45;
    s.borderSides = kBorderTop | kBorderRight;
    s.borderLine = {FORMAT_LINE_DASH, 1, 0x00123456};
    s.fill = {FORMAT_PAT_DCROSS, 1, 0x00010203, 1, 0x00040506};
    s.numberFormat.kind = STD_STYLE_USER_DEFINED;
    std::strcpy(s.numberFormat.code, "0.000;[Red]-0.000");
    CellCursor cursor;
    ASSERT_TRUE(PutFormatRun(ws.formats, FormatRun{0, 1, 0, 1}, cursor));
    ws.formats.columns[2].width = uint16_t(100 << 1 | 1);
    ws.formats.columns[3].style = 1;
    ASSERT_TRUE(SetFormatStoreRowEntry(ws.formats, 1, 40, true));
    ws.pageSetup.landscape = 1;
    ws.pageSetup.alignment = 2 | 16;
    ws.pageSetup.firstPageNumber = 7;
    ws.pageSetup.scale = 150;
    ws.pageSetup.copies = 3;
    ws.pageSetup.marginLeft = 19.989;
    ws.pageSetup.marginRight = 25.4;
    CopyTextField(ws.pageSetup.headerText, "&F", kPageTextSize);
    CopyTextField(ws.pageSetup.footerText, "Page &P", kPageTextSize);
    ws.view.showGrid = 0;
    ws.view.topLeft = {4, 9, kRefCell};
    ws.view.selection[0] = ws.view.selection[1] = {5, kLastRow, kRefCell};
    ws.pageSetup.rowHeadings = ws.pageSetup.columnHeadings = 0;

    const std::string out = Export(*book);
    const Imported back = Import(out);
    ASSERT_TRUE(back.ok) << int(back.error) << " line " << back.line;
    const CWorksheet& r = back.First();
    EXPECT_STREQ(AsWorksheet(back.book->tree.first->next)->name, "Two & <3>");
    EXPECT_EQ(cell::Number(FindCell(r.cells, 0, 0)), 0.1 + 0.2);
    EXPECT_EQ(cell::Number(FindCell(r.cells, 0, 1)), -1e300);
    EXPECT_EQ(cell::Error(FindCell(r.cells, 0, 2)) << 4, kErrDivZero);
    EXPECT_EQ(cell::Text(FindCell(r.cells, 1, 0)), std::string(kMaxCellText, 't'));
    // A control character no XML document may hold is left out for the file's readers.
    EXPECT_EQ(cell::Text(FindCell(r.cells, 1, 1)), "line\nbreak  \xE9");
    EXPECT_EQ(cell::CachedText(FindCell(r.cells, 2, 0)), "ab");
    EXPECT_EQ(cell::Formula(FindCell(r.cells, 2, 0)), "=\"a\"&\"b\"");
    const uint8_t* a = FindCell(r.cells, 3, 0);
    EXPECT_EQ(cell::ArrayWidth(a), 2);
    EXPECT_EQ(cell::ArrayHeight(a), 2u);
    EXPECT_EQ(cell::CachedNumber(a), 4);
    ASSERT_NE(FindCell(r.cells, kExcelXmlLastRow, kLastColumn), nullptr);
    EXPECT_EQ(cell::Number(FindCell(r.cells, kExcelXmlLastRow, kLastColumn)), 9);
    EXPECT_EQ(FindCell(r.cells, kExcelXmlLastRow + 1, 0), nullptr);
    EXPECT_EQ(FindCell(r.cells, kLastRow, kLastColumn), nullptr);

    CellCursor runs{kAdvance, r.formats.runs.FirstPage(), 0};
    const FormatRun run = LoadFormatRun(FormatRunCursorNext(runs));
    EXPECT_EQ(run.firstColumn, 0);
    EXPECT_EQ(run.lastColumn, 1);
    const StyleRecord& rs = back.book->styles.styles[run.style];
    EXPECT_TRUE(CompareStyleRecords(rs, s) || rs.fontRef.fontIndex != s.fontRef.fontIndex);
    const FontRecord& rf = back.book->styles.fonts[rs.fontRef.fontIndex];
    EXPECT_STREQ(rf.faceName, "Caf\xE9 & Serif");
    EXPECT_EQ(rf.size, 14);
    EXPECT_EQ(rf.weight, 2);
    EXPECT_EQ(rf.italic, 1);
    EXPECT_EQ(rf.family, 3);
    EXPECT_EQ(rs.fontRef.color, 0x000000FFu);
    EXPECT_EQ(rs.horizontalAlignment, 2);
    EXPECT_EQ(rs.verticalAlignment, 7);
    EXPECT_EQ(rs.horizontalIndent, 3);
    EXPECT_EQ(rs.wrapText, 1);
    EXPECT_EQ(rs.rotation, -45);
    EXPECT_EQ(rs.borderSides, kBorderTop | kBorderRight);
    EXPECT_EQ(rs.borderLine.style, FORMAT_LINE_DASH);
    EXPECT_EQ(rs.borderLine.color, 0x00123456u);
    EXPECT_EQ(rs.fill.pattern, FORMAT_PAT_DCROSS);
    EXPECT_EQ(rs.fill.patternColor, 0x00010203u);
    EXPECT_EQ(rs.fill.backgroundColor, 0x00040506u);
    EXPECT_STREQ(rs.numberFormat.code, "0.000;[Red]-0.000");

    EXPECT_EQ(r.formats.columns[2].width, uint16_t(100 << 1 | 1));
    EXPECT_NE(r.formats.columns[3].style & kStyleIndexMask, 0);
    EXPECT_EQ(*const_cast<CPagedList&>(r.formats.rowHeights).GetItem2(1), uint16_t(40 << 1 | 1));
    const PageSetupRecord& p = r.pageSetup;
    EXPECT_EQ(p.landscape, 1);
    EXPECT_EQ(p.alignment, 2 | 16);
    EXPECT_EQ(p.firstPageNumber, 7);
    EXPECT_EQ(p.scale, 150);
    EXPECT_EQ(p.copies, 3);
    EXPECT_DOUBLE_EQ(p.marginLeft, 19.989);
    EXPECT_DOUBLE_EQ(p.marginRight, 25.4);
    EXPECT_STREQ(p.headerText, "&F");
    EXPECT_STREQ(p.footerText, "Page &P");
    EXPECT_EQ(p.columnHeadings, 0);
    EXPECT_EQ(r.view.showGrid, 0);
    EXPECT_EQ(r.view.topLeft.row, 9u);
    EXPECT_EQ(r.view.topLeft.column, 4);
    EXPECT_EQ(r.view.selection[0].row, kLastRow);
    EXPECT_EQ(r.view.selection[0].column, 5);
}

using namespace excelxmltest;

// A document of one number in a cell of a style with that number format code.
std::string StyledCell(const std::string& code) {
    return Doc("<Styles><Style ss:ID=\"Default\"/><Style ss:ID=\"s21\"><NumberFormat "
               "ss:Format=\"" +
               code +
               "\"/></Style></Styles><Worksheet ss:Name=\"A\"><Table><Row><Cell "
               "ss:StyleID=\"s21\"><Data ss:Type=\"Number\">0.4413</Data></Cell></Row></Table>"
               "</Worksheet>");
}

// The number format of the one style besides the default an import defined.
const StandardFormat& NumberFormatOfStyle(const CWorkbook& book) {
    const StyleTables& t = book.styles;
    for (uint16_t n = 1; n < t.styleCount; ++n)
        if (t.styles[n].numberFormat.kind != STD_STYLE_DEFAULT) return t.styles[n].numberFormat;
    return t.styles[0].numberFormat;
}

// A percentage goes out with a plain percent sign and comes back as a percentage with its
// decimals: none, some, the most a percentage takes, and not fixed. A code other programs
// write with an escaped (literal) percent sign stays their own code.
TEST(ExcelXmlPercent, PercentagesRoundTrip) {
    struct Case {
        uint8_t fixed, decimals;
        const char* code;
    } const cases[] = {
        {1, 0, "#,##0%"},
        {1, 2, "#,##0.00%"},
        {1, 14, "#,##0.00000000000000%"},
        {0, 3, "#,##0.#%"},
    };
    for (const Case& c : cases) {
        auto book = Book({"S"});
        StyleTables& t = book->styles;
        t.styleCount = 2;
        StyleRecord& pct = t.styles[1];
        pct.numberFormat = DefaultStandardFormat(STD_STYLE_PERCENTAGE);
        pct.numberFormat.params[fmtparam::kFixedDecimals] = c.fixed;
        pct.numberFormat.params[fmtparam::kDecimals] = c.decimals;
        const std::string out = Export(*book);
        EXPECT_TRUE(Has(out, std::string("<NumberFormat ss:Format=\"") + c.code + "\"/>"))
            << c.code;
        const Imported back = Import(StyledCell(c.code));
        ASSERT_TRUE(back.ok) << c.code;
        const StandardFormat& f = NumberFormatOfStyle(*back.book);
        EXPECT_EQ(f.kind, STD_STYLE_PERCENTAGE) << c.code;
        EXPECT_EQ(f.params[fmtparam::kFixedDecimals], c.fixed) << c.code;
        if (c.fixed) {
            EXPECT_EQ(f.params[fmtparam::kDecimals], c.decimals) << c.code;
        }
    }
    for (const char* code : {"#,##0.00\\%", "0.00%", "#,##0.000000000000000%", "#,##0.0#%"}) {
        const Imported im = Import(StyledCell(code));
        ASSERT_TRUE(im.ok) << code;
        const StandardFormat& f = NumberFormatOfStyle(*im.book);
        EXPECT_EQ(f.kind, STD_STYLE_USER_DEFINED) << code;
        EXPECT_STREQ(f.code, code);
    }
}

} // namespace
} // namespace vl

namespace vl {
namespace {

// Every field the Excel 2003 XML form carries, set at the last value it takes, comes back
// equal from the file the export writes: the worksheet's name, a cell text, the longest code
// a style holds, the header, the footer and the first page number.
TEST(ExcelXmlLimits, FieldsAtTheirLimitsComeBackEqual) {
    auto book = Book({"S"});
    CWorksheet& ws = Sheet0(*book);
    const std::string name(kTreeNameSize - 1, 'W');
    CopyTextField(ws.name, name.c_str(), kTreeNameSize);
    const std::string text(kMaxCellText, 'T');
    PutText(ws, 0, 0, text);
    StyleTables& t = book->styles;
    t.styleCount = 2;
    StandardFormat& f = t.styles[1].numberFormat;
    f.kind = STD_STYLE_USER_DEFINED;
    const std::string code(kMaxFormatCode, '0');
    std::memcpy(f.code, code.c_str(), code.size() + 1);
    CellCursor cursor;
    ASSERT_TRUE(PutFormatRun(ws.formats, FormatRun{0, 0, 0, 1}, cursor));
    const std::string header(kPageTextSize - 1, 'h'), footer(kPageTextSize - 1, 'f');
    CopyTextField(ws.pageSetup.headerText, header.c_str(), kPageTextSize);
    CopyTextField(ws.pageSetup.footerText, footer.c_str(), kPageTextSize);
    ws.pageSetup.firstPageNumber = kMaxFirstPageNumber;
    const Imported back = Import(Export(*book));
    ASSERT_TRUE(back.ok) << int(back.error) << " at line " << back.line;
    const CWorksheet& got = back.First();
    EXPECT_EQ(std::string(got.name), name);
    const uint8_t* cell = FindCell(got.cells, 0, 0);
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(std::string(cell::Text(cell)), text);
    EXPECT_EQ(std::string(NumberFormatOfStyle(*back.book).code), code);
    EXPECT_EQ(std::string(got.pageSetup.headerText), header);
    EXPECT_EQ(std::string(got.pageSetup.footerText), footer);
    EXPECT_EQ(got.pageSetup.firstPageNumber, kMaxFirstPageNumber);
}

} // namespace
} // namespace vl

namespace vl {
namespace {

// What peers refuse or misread stays out of the file: control characters no XML document may
// hold are left out of texts (tab, line feed and carriage return stay), and a worksheet name a
// formula quotes goes out in single quotes, the file's notation, and comes back in double
// quotes; a string value in double quotes stays one. The export leaves the workbook's styles
// as they were.
TEST(ExcelXmlPeers, ControlCharactersQuotedNamesAndTheStylesLeftAlone) {
    auto book = Book({"S", "Other Sheet", "It's"});
    CWorksheet& ws = Sheet0(*book);
    PutText(ws, 0, 0,
            std::string("a\x01"
                        "b\x1F"
                        "c\td\ne\rf",
                        11));
    FormulaHead head;
    head.arrayWidth = 1;
    head.resultFlags = kResultText;
    PutFormula(ws, 1, 0, "=CHAR(1)", head, "\x01");
    head.resultFlags = kResultNumber;
    PutFormula(ws, 2, 0, "=\"Other Sheet\"!R1C1+\"It's\"!R1C1", head);
    PutFormula(ws, 3, 0, "=LEN(\"x\"\"!\")&\"Other Sheet\"", head);
    StyleTables& t = book->styles;
    t.styleCount = 2;
    t.styles[1].numberFormat = DefaultStandardFormat(STD_STYLE_PERCENTAGE);
    const StandardFormat before = t.styles[1].numberFormat;
    const std::string out = Export(*book);
    EXPECT_EQ(std::memcmp(&t.styles[1].numberFormat, &before, sizeof before), 0);
    EXPECT_FALSE(Has(out, "&#01;"));
    EXPECT_FALSE(Has(out, "&#31;"));
    EXPECT_TRUE(Has(out, "<Data ss:Type=\"String\">abc&#09;d&#10;e&#13;f</Data>"));
    EXPECT_TRUE(
        Has(out, "ss:Formula=\"=&apos;Other Sheet&apos;!R1C1+&apos;It&apos;&apos;s&apos;!R1C1\""));
    EXPECT_TRUE(Has(out, "ss:Formula=\"=LEN(&quot;x&quot;&quot;!&quot;)&amp;&quot;Other "
                         "Sheet&quot;\""));
    const Imported back = Import(out);
    ASSERT_TRUE(back.ok) << int(back.error) << " at line " << back.line;
    const CWorksheet& got = back.First();
    const uint8_t* quoted = FindCell(got.cells, 2, 0);
    ASSERT_NE(quoted, nullptr);
    EXPECT_EQ(cell::Formula(quoted), "=\"Other Sheet\"!R1C1+\"It's\"!R1C1");
    const uint8_t* literal = FindCell(got.cells, 3, 0);
    ASSERT_NE(literal, nullptr);
    EXPECT_EQ(cell::Formula(literal), "=LEN(\"x\"\"!\")&\"Other Sheet\"");
}

} // namespace
} // namespace vl

namespace vl {
namespace {

// The file has no folders: a formula naming a worksheet by its path in the tree (from the top,
// or from the formula's own folder, quoted or bare) names it as the file does, so that the
// file's readers, and this program reading it back, find that worksheet. A range over a
// folder, which the file cannot hold (the save says so), becomes #REF! with that value, so
// that the file reads back as that error, never as a stale value.
TEST(ExcelXmlPeers, WorksheetsInFoldersAreNamedAsTheFileNamesThem) {
    auto book = Book({"Top"});
    book->AppendTreeItem(TREE_TYPE_WORKSHEET, "S", 1);
    book->AppendTreeItem(TREE_TYPE_FOLDER, "F", 1);
    book->AppendTreeItem(TREE_TYPE_WORKSHEET, "S", 2);
    book->AppendTreeItem(TREE_TYPE_WORKSHEET, "In", 2);
    CWorksheet& top = Sheet0(*book);
    FormulaHead head;
    head.arrayWidth = 1;
    PutFormula(top, 0, 0, "=\"\\F\\S\"!R1C1+F\\S!R2C1+S!R1C1", head);
    PutFormula(top, 1, 0, "=SUM(\"\\F\"!R1C1)", head);
    CWorksheet& in = *AsWorksheet(book->tree.first->next->next->next->next);
    ASSERT_STREQ(in.name, "In");
    PutFormula(in, 0, 0, "=\"S\"!R1C1*\"\\S\"!R1C1", head);
    const std::string out = Export(*book);
    EXPECT_TRUE(Has(out, "<Worksheet ss:Name=\"S(0)\">")) << out.substr(0, 0);
    EXPECT_TRUE(Has(out, "ss:Formula=\"=&apos;S(0)&apos;!R1C1+&apos;S(0)&apos;!R2C1+&apos;S&apos;"
                         "!R1C1\""));
    EXPECT_TRUE(Has(out, "ss:Formula=\"=SUM(#REF!)\"><Data ss:Type=\"Error\">#REF!</Data>"));
    EXPECT_TRUE(Has(out, "ss:Formula=\"=&apos;S(0)&apos;!R1C1*&apos;S&apos;!R1C1\""));
    const Imported back = Import(out);
    ASSERT_TRUE(back.ok) << int(back.error) << " at line " << back.line;
    const uint8_t* folderSum = FindCell(back.First().cells, 1, 0);
    ASSERT_NE(folderSum, nullptr);
    EXPECT_EQ(cell::Formula(folderSum), "=SUM(#REF!)");
    EXPECT_EQ(cell::Error(folderSum) << 4, kErrRef);
}

// Every form of a folder range becomes #REF! and the rest of the formula stays: quoted or
// bare, from the top or from the formula's folder, a range, a reference with offsets, a
// range between two qualified corners; error values and worksheet names stay as they are.
TEST(ExcelXmlPeers, FolderRangesBecomeRefErrors) {
    auto book = Book({"Top"});
    book->AppendTreeItem(TREE_TYPE_FOLDER, "F", 1);
    book->AppendTreeItem(TREE_TYPE_WORKSHEET, "S", 2);
    book->AppendTreeItem(TREE_TYPE_FOLDER, "G", 2);
    book->AppendTreeItem(TREE_TYPE_WORKSHEET, "In", 2);
    struct Case {
        const char* formula;
        const char* written;
    } const cases[] = {
        {"=SUM(\"\\F\"!R1C1:R3C2)", "=SUM(#REF!)"},
        {"=SUM(\\F!R[-1]C[2]:R[+3]C)*2", "=SUM(#REF!)*2"},
        {"=\"\\F\\G\"!R1C1+\"\\F\\S\"!R1C1", "=#REF!+&apos;S&apos;!R1C1"},
        {"=SUM(\"\\F\"!R1C1:\"\\F\"!R2C1)", "=SUM(#REF!:#REF!)"},
        {"=IF(#N/A!,#DIV/0!,\"\\F\"!R1C1)", "=IF(#N/A,#DIV/0!,#REF!)"},
        {"=\"F!x\"&Top!R1C1", "=&quot;F!x&quot;&amp;&apos;Top&apos;!R1C1"},
    };
    CWorksheet& top = Sheet0(*book);
    FormulaHead head;
    head.arrayWidth = 1;
    for (uint32_t i = 0; i < std::size(cases); ++i) PutFormula(top, i, 0, cases[i].formula, head);
    const std::string out = Export(*book);
    for (uint32_t i = 0; i < std::size(cases); ++i) {
        EXPECT_TRUE(Has(out, std::string("ss:Formula=\"") + cases[i].written + "\""))
            << cases[i].formula;
    }
    const Imported back = Import(out);
    ASSERT_TRUE(back.ok) << int(back.error) << " at line " << back.line;
    for (uint32_t i = 0; i < std::size(cases); ++i) {
        const uint8_t* r = FindCell(back.First().cells, i, 0);
        ASSERT_NE(r, nullptr) << i;
        EXPECT_EQ(cell::Error(r) << 4, i < 5 ? kErrRef : 0) << cases[i].formula;
    }
}

} // namespace
} // namespace vl

namespace vl {
namespace {

// "Not available" goes to the file as its readers spell it ("#N/A", which they take), and
// comes back in the program's spelling from either form; other error values and texts that
// only look like it stay as written.
TEST(ExcelXmlPeers, NotAvailableIsSpelledAsTheFileSpellsIt) {
    auto book = Book({"S"});
    FormulaHead head;
    head.arrayWidth = 1;
    PutFormula(Sheet0(*book), 0, 0, "=IF(ISNA(#N/A!),\"#N/A!\",#n/a!)&#NUM!", head);
    const std::string out = Export(*book);
    EXPECT_TRUE(Has(out, "ss:Formula=\"=IF(ISNA(#N/A),&quot;#N/A!&quot;,#N/A)&amp;#NUM!\""));
    const struct {
        const char* written;
        const char* read;
    } cases[] = {
        {"=#N/A", "=#N/A!"},
        {"=#n/a+1", "=#N/A!+1"},
        {"=#N/A!", "=#N/A!"},
        {"=ISNA(#N/A)&amp;&quot;#N/A&quot;", "=ISNA(#N/A!)&\"#N/A\""},
        {"=IF(ISNA(#N/A),&quot;#N/A!&quot;,#N/A)&amp;#NUM!",
         "=IF(ISNA(#N/A!),\"#N/A!\",#N/A!)&#NUM!"},
    };
    for (const auto& c : cases) {
        const Imported back =
            Import(Sheet(std::string("<Row><Cell ss:Formula=\"") + c.written + "\"/></Row>"));
        ASSERT_TRUE(back.ok) << c.written << ": " << int(back.error);
        const uint8_t* r = FindCell(back.First().cells, 0, 0);
        ASSERT_NE(r, nullptr) << c.written;
        EXPECT_EQ(cell::Formula(r), c.read) << c.written;
    }
}

// Worksheet names and page texts lose the control characters XML cannot hold, as cell texts
// do: no reference to such a character is written, a name left equal to another's is made
// unique, and a formula naming the worksheet names it as the file does.
TEST(ExcelXmlPeers, NamesAndPageTextsLeaveOutControlCharacters) {
    auto book = Book({"Top", "B", "C"});
    CTreeItem* second = book->tree.first->next;
    std::strcpy(second->name, "a\x01"
                              "b");
    std::strcpy(second->next->name, "ab");
    CWorksheet& top = Sheet0(*book);
    std::strcpy(top.pageSetup.headerText, "h\x02i");
    std::strcpy(top.pageSetup.footerText, "\x1f"
                                          "f\tg");
    FormulaHead head;
    head.arrayWidth = 1;
    PutFormula(top, 0, 0,
               "=\"a\x01"
               "b\"!R1C1+ab!R1C1",
               head);
    const std::string out = Export(*book);
    for (const char* reference : {"&#01;", "&#02;", "&#31;"})
        EXPECT_FALSE(Has(out, reference)) << reference;
    EXPECT_TRUE(Has(out, "<Worksheet ss:Name=\"ab\">"));
    EXPECT_TRUE(Has(out, "<Worksheet ss:Name=\"ab(0)\">"));
    EXPECT_TRUE(Has(out, "<Header x:Data=\"hi\"/>"));
    EXPECT_TRUE(Has(out, "<Footer x:Data=\"f&#09;g\"/>"));
    EXPECT_TRUE(Has(out, "ss:Formula=\"=&apos;ab&apos;!R1C1+&apos;ab(0)&apos;!R1C1\""));
    const Imported back = Import(out);
    ASSERT_TRUE(back.ok) << int(back.error) << " at line " << back.line;
    EXPECT_STREQ(back.book->tree.first->next->name, "ab");
    EXPECT_STREQ(back.book->tree.first->next->next->name, "ab(0)");
}

} // namespace
} // namespace vl
