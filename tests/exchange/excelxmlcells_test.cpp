// Reading the cells of an Excel 2003 XML table: values, formulas, addressing and limits.

#include "excelxmltestutil.h"
#include "formula/token.h"
#include "model/cellrecord.h"
#include "model/formatstore.h"

#include <string>
#include <vector>

namespace vl {
namespace {

using namespace excelxmltest;

// What a cell holds, as one comparable text: "n:1.5", "t:x", "f:=R[-1]C*2|n:42", "e:64".
std::string Describe(const uint8_t* rec) {
    if (!rec) return "-";
    std::string out;
    if (cell::IsFormula(rec)) {
        out = "f:" + std::string(cell::Formula(rec)) + "|";
        const uint8_t result = cell::ResultFlags(rec);
        if (result & kResultArray)
            out += "a" + std::to_string(cell::ArrayHeight(rec)) + "x" +
                   std::to_string(cell::ArrayWidth(rec)) + "|";
        if (cell::Error(rec)) return out + "e:" + std::to_string(cell::Error(rec) << 4);
        if (result & kResultText) return out + "t:" + std::string(cell::CachedText(rec));
        if (result & kResultNumber) return out + "n:" + std::to_string(cell::CachedNumber(rec));
        return out + "none";
    }
    if (cell::Error(rec)) return "e:" + std::to_string(cell::Error(rec) << 4);
    if (cell::IsText(rec)) return "t:" + std::string(cell::Text(rec));
    return "n:" + std::to_string(cell::Number(rec));
}

TEST(ExcelXmlCells, ValuesByType) {
    struct Case {
        std::string cell;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"<Data ss:Type=\"Number\">1.5</Data>", "n:1.500000"},
        {"<Data ss:Type=\"String\">x</Data>", "t:x"},
        {"<Data>untyped</Data>", "t:untyped"},
        {"<Data ss:Type=\"DateTime\">2024-01-02T00:00:00.000</Data>", "t:2024-01-02T00:00:00.000"},
        {"<Data ss:Type=\"Boolean\">1</Data>", "n:1.000000"},
        {"<Data ss:Type=\"Boolean\">0</Data>", "n:0.000000"},
        {"<Data ss:Type=\"Error\">#N/A</Data>", "e:64"},
        {"<Data ss:Type=\"Error\">#N/A!</Data>", "e:64"},
        {"<Data ss:Type=\"Error\">#DIV/0!</Data>", "e:16"},
        {"<Data ss:Type=\"Error\">#WHAT</Data>", "n:0.000000"},
        {"<ss:Data ss:Type=\"String\" xmlns=\"http://www.w3.org/TR/REC-html40\"><B>Bold</B> "
         "plain</ss:Data>",
         "t:Bold plain"},
        {"<Data ss:Type=\"String\">  two\n lines &amp; &#10;</Data>", "t:  two\n lines & \n"},
        {"<Data ss:Type=\"String\"></Data>", "-"},
        {"<Data ss:Type=\"String\"/>", "-"},
        {"<Comment><Data>note</Data></Comment>", "-"},
    };
    for (const Case& c : cases) {
        const Imported im = Import(Sheet("<Row><Cell>" + c.cell + "</Cell></Row>"));
        ASSERT_TRUE(im.ok) << c.cell << " " << int(im.error) << " line " << im.line;
        EXPECT_EQ(Describe(FindCell(im.First().cells, 0, 0)), c.expected) << c.cell;
    }
    EXPECT_EQ(Import(Sheet("<Row><Cell><Data ss:Type=\"Number\">1e999</Data></Cell></Row>")).error,
              59);
    EXPECT_EQ(Import(Sheet("<Row><Cell><Data ss:Type=\"Number\">12pt</Data></Cell></Row>")).error,
              59);
}

TEST(ExcelXmlCells, Formulas) {
    struct Case {
        std::string cell;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"<Cell ss:Formula=\"=R[-1]C*2\"><Data ss:Type=\"Number\">42</Data></Cell>",
         "f:=R[-1]C*2|n:42.000000"},
        {"<Cell ss:Formula=\"=&quot;a&quot;\"><Data ss:Type=\"String\">a</Data></Cell>",
         "f:=\"a\"|t:a"},
        {"<Cell ss:Formula=\"=1/0\"><Data ss:Type=\"Error\">#DIV/0!</Data></Cell>", "f:=1/0|e:16"},
        {"<Cell ss:Formula=\"=1\"/>", "f:=1|none"},
        {"<Cell ss:Formula=\"=1\" ss:ArrayRange=\"RC:R[2]C[1]\"><Data "
         "ss:Type=\"Number\">1</Data></Cell>",
         "f:=1|a3x2|n:1.000000"},
        {"<Cell ss:Formula=\"=1\" ss:ArrayRange=\"R1C1:R2C2\"/>", "f:=1|a1x1|none"},
        // Another writer's notation is no formula of ours: the value stays.
        {"<Cell ss:Formula=\"of:=[.A2]*2\"><Data ss:Type=\"Number\">6</Data></Cell>", "n:6.000000"},
    };
    for (const Case& c : cases) {
        const Imported im = Import(Sheet("<Row>" + c.cell + "</Row>"));
        ASSERT_TRUE(im.ok) << c.cell << " " << int(im.error);
        EXPECT_EQ(Describe(FindCell(im.First().cells, 0, 0)), c.expected) << c.cell;
    }
}

TEST(ExcelXmlCells, AddressingByIndexMergeAndCounting) {
    const Imported im =
        Import(Sheet("<Row><Cell ss:Index=\"4\"><Data ss:Type=\"Number\">1.5</Data></Cell>"
                     "<Cell><Data ss:Type=\"String\">x</Data></Cell>"
                     "<Cell ss:MergeAcross=\"2\" ss:MergeDown=\"1\"><Data>m</Data></Cell>"
                     "<Cell><Data>after</Data></Cell></Row>"
                     "<Row ss:Span=\"2\"><Cell><Data>spanned</Data></Cell></Row>"
                     "<Row><Cell><Data>next</Data></Cell></Row>"));
    ASSERT_TRUE(im.ok) << int(im.error);
    const CCellStore& c = im.First().cells;
    EXPECT_EQ(Describe(FindCell(c, 0, 3)), "n:1.500000");
    EXPECT_EQ(Describe(FindCell(c, 0, 4)), "t:x");
    EXPECT_EQ(Describe(FindCell(c, 0, 5)), "t:m");
    EXPECT_EQ(Describe(FindCell(c, 0, 8)), "t:after");
    EXPECT_EQ(Describe(FindCell(c, 1, 0)), "t:spanned");
    EXPECT_EQ(Describe(FindCell(c, 2, 0)), "-");
    EXPECT_EQ(Describe(FindCell(c, 4, 0)), "t:next");
}

TEST(ExcelXmlCells, PositionsPastTheGridAreDropped) {
    const Imported im = Import(
        Sheet("<Row><Cell ss:Index=\"2047\"><Data>last</Data></Cell><Cell><Data>past</Data></Cell>"
              "<Cell ss:Index=\"65534\"><Data>far</Data></Cell></Row>"
              "<Row ss:Index=\"2097152\"><Cell><Data>bottom</Data></Cell></Row>"
              "<Row><Cell><Data>below</Data></Cell></Row>"));
    ASSERT_TRUE(im.ok) << int(im.error);
    const CCellStore& c = im.First().cells;
    EXPECT_EQ(Describe(FindCell(c, 0, kLastColumn)), "t:last");
    EXPECT_EQ(Describe(FindCell(c, kLastRow, 0)), "t:bottom");
    uint16_t c0 = 0, c1 = 0;
    uint32_t r0 = 0, r1 = 0;
    ASSERT_TRUE(c.GetUsedRange(&c0, &c1, &r0, &r1));
    EXPECT_EQ(c1, kLastColumn);
    EXPECT_EQ(r1, kLastRow);
    EXPECT_EQ(Import(Sheet("<Row><Cell ss:Index=\"65535\"/></Row>")).error, 59);
    EXPECT_EQ(Import(Sheet("<Row><Cell ss:Index=\"0\"/></Row>")).error, 59);
}

TEST(ExcelXmlCells, LongTextsAndFormulasReadBack) {
    const std::string text(kMaxCellText, 'w');
    const Imported im = Import(Sheet("<Row><Cell><Data>" + text + "</Data></Cell></Row>"));
    ASSERT_TRUE(im.ok) << int(im.error);
    EXPECT_EQ(cell::Text(FindCell(im.First().cells, 0, 0)), text);
    EXPECT_EQ(Import(Sheet("<Row><Cell><Data>" + text + "w</Data></Cell></Row>")).error, 59);
    // A formula of escaped characters well past the attribute limit of other forms.
    std::string formula = "=&quot;";
    for (int k = 0; k < 3000; ++k) formula += "&amp;";
    formula += "&quot;";
    const Imported f = Import(Sheet("<Row><Cell ss:Formula=\"" + formula + "\"/></Row>"));
    ASSERT_TRUE(f.ok) << int(f.error);
    EXPECT_EQ(cell::Formula(FindCell(f.First().cells, 0, 0)).size(), 3003u);
    const std::string tooLong = "=" + std::string(kPagePayload - kFormulaHead, '1');
    EXPECT_EQ(Import(Sheet("<Row><Cell ss:Formula=\"" + tooLong + "\"/></Row>")).error, 57);
}

TEST(ExcelXmlCells, StyledEmptyCellsStoreOnlyTheirRun) {
    const Imported im =
        Import(Doc("<Styles><Style ss:ID=\"s21\"/></Styles><Worksheet ss:Name=\"A\">"
                   "<Table><Row><Cell ss:Index=\"3\" ss:StyleID=\"s21\"/></Row>"
                   "</Table></Worksheet>"));
    ASSERT_TRUE(im.ok);
    EXPECT_EQ(FindCell(im.First().cells, 0, 2), nullptr);
    CellCursor cursor{kAdvance, im.First().formats.runs.FirstPage(), 0};
    const uint8_t* run = FormatRunCursorNext(cursor);
    ASSERT_NE(run, nullptr);
    EXPECT_EQ(LoadFormatRun(run).firstColumn, 2);
    EXPECT_EQ(LoadFormatRun(run).lastColumn, 2);
    EXPECT_EQ(FormatRunCursorNext(cursor), nullptr);
    // A name no style has stores no run (the default style's), counted.
    const Imported nope = Import(Sheet("<Row><Cell ss:StyleID=\"nope\"/></Row>"));
    ASSERT_TRUE(nope.ok) << int(nope.error);
    EXPECT_EQ(nope.book->unknownStyles, 1u);
    CellCursor none{kAdvance, nope.First().formats.runs.FirstPage(), 0};
    EXPECT_EQ(FormatRunCursorNext(none), nullptr);
}

TEST(ExcelXmlCells, EmptyElementsSwallowNothing) {
    const Imported im = Import(
        Doc("<Worksheet ss:Name=\"A\"><Table/><x:WorksheetOptions/></Worksheet>"
            "<Worksheet ss:Name=\"B\"><Table><Row/><Row><Cell><Data>b</Data></Cell></Row></Table>"
            "<WorksheetOptions xmlns=\"urn:schemas-microsoft-com:office:excel\"/></Worksheet>"));
    ASSERT_TRUE(im.ok) << int(im.error);
    const CWorksheet* b = AsWorksheet(im.book->tree.first->next);
    ASSERT_NE(b, nullptr);
    EXPECT_STREQ(b->name, "B");
    EXPECT_EQ(Describe(FindCell(b->cells, 1, 0)), "t:b");
}

TEST(ExcelXmlCells, RowsAreRefittedThroughTheCallback) {
    std::vector<std::pair<uint32_t, uint32_t>> fitted;
    const RowAutoFit fit = [&](CWorkbook&, CWorksheet&, uint32_t first, uint32_t last) {
        fitted.emplace_back(first, last);
    };
    const Imported im = Import(
        Doc("<Worksheet ss:Name=\"A\"><Table><Row ss:Index=\"3\"><Cell><Data>x</Data></Cell></Row>"
            "<Row ss:Index=\"9\"><Cell><Data>y</Data></Cell></Row></Table></Worksheet>"
            "<Worksheet ss:Name=\"B\"/>"),
        96, fit);
    ASSERT_TRUE(im.ok);
    EXPECT_EQ(fitted, (std::vector<std::pair<uint32_t, uint32_t>>{{2, 8}}));
}

} // namespace
} // namespace vl
