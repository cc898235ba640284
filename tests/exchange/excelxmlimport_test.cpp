// Reading Excel 2003 XML: the document level, styles, tables and worksheet options.

#include "excelxmltestutil.h"
#include "exchange/excelxmlparts.h"
#include "exchangetestutil.h"
#include "files/xmlconvert.h"
#include "formula/token.h"
#include "model/cellrecord.h"
#include "model/formatstore.h"
#include "values/formatdefaults.h"

#include <string>
#include <vector>

namespace vl {
namespace {

using namespace excelxmltest;

TEST(ExcelXmlImport, DocumentLevelOutcomes) {
    const std::string kNs = "urn:schemas-microsoft-com:office:spreadsheet";
    const std::string sheets = "<Worksheet ss:Name=\"A\"/><Worksheet ss:Name=\"B\"/>";
    struct Case {
        const char* what;
        std::string document;
        ErrorCode error;
        const char* active;
    };
    const std::vector<Case> cases = {
        {"no declaration", "<Workbook><Worksheet ss:Name=\"A\"/></Workbook>", 56, ""},
        // Counted from 0, as the form's writers count; a number of no worksheet leaves the
        // first, as the peers do.
        {"active 1", Doc("<ExcelWorkbook><ActiveSheet>1</ActiveSheet></ExcelWorkbook>" + sheets), 0,
         "B"},
        {"active 0", Doc("<ExcelWorkbook><ActiveSheet>0</ActiveSheet></ExcelWorkbook>" + sheets), 0,
         "A"},
        {"active 2", Doc("<ExcelWorkbook><ActiveSheet>2</ActiveSheet></ExcelWorkbook>" + sheets), 0,
         "A"},
        {"active -1", Doc("<ExcelWorkbook><ActiveSheet>-1</ActiveSheet></ExcelWorkbook>" + sheets),
         0, "A"},
        // What is no whole number leaves the first too, set aside (counted) rather than
        // refusing the file, as the peers open it.
        {"active not a number",
         Doc("<ExcelWorkbook><ActiveSheet>x</ActiveSheet></ExcelWorkbook>" + sheets), 0, "A"},
        {"active 1.5",
         Doc("<ExcelWorkbook><ActiveSheet>1.5</ActiveSheet></ExcelWorkbook>" + sheets), 0, "A"},
        {"no worksheet",
         Doc("<DocumentProperties><Author>a</Author></DocumentProperties>"
             "<Styles><Style ss:ID=\"Default\"/></Styles>"),
         9, ""},
        {"author of 127",
         Doc("<DocumentProperties><Author>" + std::string(127, 'a') +
             "</Author></DocumentProperties>" + sheets),
         0, "A"},
        {"author of the longest cell text, cut",
         Doc("<DocumentProperties><Author>" + std::string(kMaxCellText, 'a') +
             "</Author></DocumentProperties>" + sheets),
         0, "A"},
        {"author past the longest cell text",
         Doc("<DocumentProperties><Author>" + std::string(kMaxCellText + 1, 'a') +
             "</Author></DocumentProperties>" + sheets),
         59, ""},
        {"author of 128, cut",
         Doc("<DocumentProperties><Author>" + std::string(128, 'a') +
             "</Author></DocumentProperties>" + sheets),
         0, "A"},
        {"no end of the root",
         "<?xml version=\"1.0\"?><Workbook xmlns:ss=\"" + kNs + "\">" + sheets, 0, "A"},
        // Only a root that binds the spreadsheet's namespace is a spreadsheet: a native
        // workbook, whose root has the same name, may begin with a worksheet or a folder.
        {"no namespace", "<?xml version=\"1.0\"?><Workbook>" + sheets + "</Workbook>", 21, ""},
        {"native, a worksheet first",
         "<?xml version=\"1.0\"?><Workbook><Worksheet Name=\"A\"/></Workbook>", 21, ""},
        {"native, a folder first",
         "<?xml version=\"1.0\"?><Workbook><Folder Name=\"F\"><Worksheet Name=\"A\"/>"
         "</Folder></Workbook>",
         21, ""},
        {"native, styles first",
         "<?xml version=\"1.0\"?><Workbook><Styles/>" + sheets + "</Workbook>", 21, ""},
        {"another namespace",
         "<?xml version=\"1.0\"?><Workbook xmlns=\"urn:other\" xmlns:ss=\"urn:other\">" + sheets +
             "</Workbook>",
         21, ""},
        {"namespace as default only",
         "<?xml version=\"1.0\"?><Workbook xmlns=\"" + kNs + "\">" + sheets + "</Workbook>", 0,
         "A"},
        {"namespace as ss only",
         "<?xml version=\"1.0\"?><Workbook xmlns:ss=\"" + kNs + "\">" + sheets + "</Workbook>", 0,
         "A"},
        {"a processing instruction",
         Doc(sheets, "<?xml version=\"1.0\"?>\n<?mso-application progid=\"x\"?>"), 0, "A"},
        {"a document type",
         Doc(sheets, "<?xml version=\"1.0\"?>\n<!DOCTYPE x [<!ENTITY e SYSTEM \"/tmp/fifo\">]>"),
         56, ""},
        {"another root", "<?xml version=\"1.0\"?><Book>" + sheets + "</Book>", 56, ""},
    };
    for (const Case& c : cases) {
        const Imported im = Import(c.document);
        EXPECT_EQ(im.error, c.error) << c.what;
        const bool unreadable =
            std::string(c.what).starts_with("active not") || std::string(c.what) == "active 1.5";
        EXPECT_EQ(im.book->badActiveSheet, unreadable ? 1u : 0u) << c.what;
        // A failed import has no worksheet to read: the case fails, the run goes on.
        if (c.error == 0 && im.book && im.book->tree.active) {
            EXPECT_STREQ(im.book->tree.active->name, c.active) << c.what;
        } else if (c.error == 0) {
            ADD_FAILURE() << c.what << ": no active worksheet";
        }
    }
}

TEST(ExcelXmlImport, ErrorsCarryTheirLine) {
    const Imported im =
        Import("<?xml version=\"1.0\"?>\n<!DOCTYPE lol [\n<!ENTITY lol \"lol\">]>\n<Workbook/>");
    EXPECT_EQ(im.error, 56);
    EXPECT_EQ(im.line, 2u);
    const Imported data = Import(Doc("<Worksheet ss:Name=\"A\"><Table>\n<Column ss:Width=\"x\"/>"
                                     "</Table></Worksheet>"));
    EXPECT_EQ(data.error, 59);
    EXPECT_EQ(data.line, 4u); // the declaration, the root and the table come first
}

TEST(ExcelXmlImport, WorksheetNamesAndProperties) {
    const Imported im = Import(
        Doc("<DocumentProperties><Author>Ann</Author><LastAuthor>Bo</LastAuthor><Company>C&amp;D"
            "</Company><Version>11</Version><Created>2024-01-02T03:04:05Z</Created><LastSaved>x"
            "</LastSaved><LastPrinted>y</LastPrinted><Title>t</Title></DocumentProperties>"
            "<Worksheet ss:Name=\"X\"/><Worksheet ss:Name=\"&lol; &#233;\"/><Worksheet/>"));
    ASSERT_TRUE(im.ok) << int(im.error);
    const DocumentProperties& p = im.book->properties;
    EXPECT_STREQ(p.author, "Ann");
    EXPECT_STREQ(p.lastAuthor, "Bo");
    EXPECT_STREQ(p.company, "C&D");
    EXPECT_STREQ(p.version, "11");
    EXPECT_STREQ(p.created, "2024-01-02T03:04:05Z");
    EXPECT_STREQ(p.lastSaved, "x");
    EXPECT_STREQ(p.lastPrinted, "y");
    std::vector<std::string> names;
    for (const CTreeItem* item = im.book->tree.first; item; item = item->next)
        names.push_back(item->name);
    EXPECT_EQ(names, (std::vector<std::string>{"X", "&lol; \xE9", "Worksheet3"}));
}

TEST(ExcelXmlImport, EncodingDecidesTheConversion) {
    const std::string body = "<Worksheet ss:Name=\"\xC3\xA9\"/>";
    struct Case {
        const char* declaration;
        const char* name;
    };
    for (const Case& c : {Case{"<?xml version=\"1.0\"?>", "\xE9"},
                          Case{"<?xml version=\"1.0\" encoding=\"utf-8\"?>", "\xE9"},
                          Case{"<?xml version=\"1.0\" encoding=\"windows-1250\"?>", "\xC3\xA9"},
                          Case{"<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>", "\xC3\xA9"}}) {
        const Imported im = Import(Doc(body, c.declaration));
        ASSERT_TRUE(im.ok) << c.declaration;
        EXPECT_STREQ(im.First().name, c.name) << c.declaration;
    }
}

// A cell whose text or formula holds a character the code page has not is left out and
// counted; the reading goes on with the next cell, and a question mark of its own is kept.
TEST(ExcelXmlImport, TextsOutsideTheCodePageAreLeftOutAndCounted) {
    const struct {
        const char* cells;
        const char* kept;
        uint32_t refused;
    } cases[] = {
        {"<Cell><Data ss:Type=\"String\">caf\xC3\xA9 ?</Data></Cell>", "A1=t:caf\xE9 ?", 0},
        {"<Cell><Data ss:Type=\"String\">\xD0\x96</Data></Cell><Cell><Data "
         "ss:Type=\"Number\">2</Data></Cell>",
         "B1=n:2", 1},
        {"<Cell><Data ss:Type=\"String\">a\xF0\x9F\x98\x80</Data></Cell><Cell "
         "ss:Formula=\"=&quot;\xD0\x96&quot;\"><Data ss:Type=\"String\">x</Data></Cell><Cell><Data "
         "ss:Type=\"String\">b</Data></Cell>",
         "C1=t:b", 2},
    };
    for (const auto& c : cases) {
        const Imported im = Import(Doc(std::string("<Worksheet ss:Name=\"A\"><Table><Row>") +
                                       c.cells + "</Row></Table></Worksheet>"));
        ASSERT_TRUE(im.ok) << c.cells;
        EXPECT_EQ(exchangetest::AllCells(im.First()), c.kept) << c.cells;
        EXPECT_EQ(im.book->refusedTexts, c.refused) << c.cells;
    }
}

TEST(ExcelXmlImport, StyleIdentifiersTakeSlots) {
    struct Step {
        const char* id;
        bool ok;
        uint16_t slot;
    };
    const std::vector<std::vector<Step>> cases = {
        // "s1" beside "Default" is a style of its own: unstyled cells keep the default.
        {{"Default", true, 0}, {"s21", true, 20}, {"s1", true, 511}, {"s512", true, 510}},
        {{"s1", true, 511}, {"Default", true, 0}, {"s2", true, 1}},
        // A number whose slot a name took goes to a free one.
        {{"ce1", true, 511}, {"co1", true, 510}, {"ce1", true, 511}, {"s512", true, 509}},
        {{"s513", true, 511}, {"s0", true, 510}, {"s531", true, 509}, {"s510", true, 508}},
        {{"Heading_20_1", true, 511}, {"s511", true, 510}, {"x", true, 509}},
    };
    for (const auto& steps : cases) {
        ExcelStyleIds ids;
        for (const Step& s : steps) {
            uint16_t slot = 9999;
            EXPECT_EQ(ids.Define(s.id, slot), s.ok) << s.id;
            if (s.ok) {
                EXPECT_EQ(slot, s.slot) << s.id;
            }
        }
    }
    // Every slot but the default's taken: no other identifier finds room.
    ExcelStyleIds full;
    uint16_t slot = 0;
    for (int n = 2; n <= 512; ++n) ASSERT_TRUE(full.Define("s" + std::to_string(n), slot));
    EXPECT_FALSE(full.Define("other", slot));
    uint16_t resolved = 0;
    EXPECT_TRUE(full.Resolve("s7", resolved));
    EXPECT_EQ(resolved, 6);
    EXPECT_FALSE(full.Resolve("other", resolved));
    EXPECT_FALSE(full.Resolve("s513", resolved));
}

// The style record a cell of the first worksheet shows.
const StyleRecord* CellStyle(const Imported& im, uint32_t row, uint16_t column) {
    CellCursor cursor{kAdvance, im.First().formats.runs.FirstPage(), 0};
    while (const uint8_t* p = FormatRunCursorNext(cursor)) {
        const FormatRun run = LoadFormatRun(p);
        if (run.row == row && run.firstColumn <= column && column <= run.lastColumn)
            return &im.book->styles.styles[run.style];
    }
    return nullptr;
}

std::string StyledCell(const std::string& styles, const std::string& id = "s21") {
    return Doc("<Styles>" + styles +
               "</Styles><Worksheet ss:Name=\"A\"><Table><Row><Cell "
               "ss:StyleID=\"" +
               id + "\"/></Row></Table></Worksheet>");
}

TEST(ExcelXmlImport, StyleContents) {
    const Imported borders = Import(StyledCell(
        "<Style ss:ID=\"s21\"><Borders><Border ss:Position=\"Top\" ss:LineStyle=\"Continuous\" "
        "ss:Weight=\"2\"/><Border ss:Position=\"Bottom\" ss:LineStyle=\"Double\" "
        "ss:Color=\"#0000FF\"/></Borders></Style>"));
    ASSERT_TRUE(borders.ok) << int(borders.error);
    const StyleRecord* s = CellStyle(borders, 0, 0);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->borderSides, kBorderTop | kBorderBottom);
    EXPECT_EQ(s->borderLine.style, FORMAT_LINE_DOUBLE);
    EXPECT_EQ(s->borderLine.colorGiven, 1);
    EXPECT_EQ(s->borderLine.color, 0xFF0000u);

    const Imported solid = Import(StyledCell(
        "<Style ss:ID=\"s21\"><Interior ss:Color=\"#FF0000\" ss:Pattern=\"Solid\"/></Style>"));
    s = CellStyle(solid, 0, 0);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->fill.pattern, FORMAT_PAT_SOLID);
    EXPECT_EQ(s->fill.backgroundColor, 0x0000FFu);
    EXPECT_EQ(s->fill.patternColor, 0x0000FFu);
    EXPECT_EQ(s->fill.backgroundColorGiven, 1);
    EXPECT_EQ(s->fill.patternColorGiven, 1);

    const Imported align = Import(
        StyledCell("<Style ss:ID=\"s21\"><Alignment ss:Horizontal=\"Right\" ss:Vertical=\"Center\" "
                   "ss:Indent=\"-3\" ss:Rotate=\"120\" ss:ShrinkToFit=\"1\"/><NumberFormat "
                   "ss:Format=\"Percent\"/></Style>"));
    s = CellStyle(align, 0, 0);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->horizontalAlignment, 3);
    EXPECT_EQ(s->verticalAlignment, 5);
    EXPECT_EQ(s->horizontalIndent, 4);
    EXPECT_EQ(s->rotation, 90);
    EXPECT_EQ(s->fitToCell, 1);
    EXPECT_EQ(s->numberFormat.kind, STD_STYLE_USER_DEFINED);
    EXPECT_STREQ(s->numberFormat.code, "0.00%");

    const Imported general =
        Import(StyledCell("<Style ss:ID=\"s21\"><NumberFormat ss:Format=\"General\"/></Style>"));
    s = CellStyle(general, 0, 0);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->numberFormat.kind, STD_STYLE_USER_DEFINED);
    EXPECT_STREQ(s->numberFormat.code, "General");
}

// A format name of a kind of ours gives the kind alone: the kind takes its own default
// settings, which a saved workbook keeps, and its code shows the number. The names of
// formats with fixed decimals or words give the codes they stand for.
TEST(ExcelXmlImport, NamedNumberFormatsTakeTheirKindsDefaults) {
    struct Case {
        const char* name;
        uint8_t kind;
        int param; // a default setting checked, or -1
        uint8_t value;
    } const cases[] = {
        {"Fixed", STD_STYLE_USER_DEFINED, -1, 0},
        {"Currency", STD_STYLE_CURRENCY, fmtparam::kCurrencyDecimals, 2},
        {"Accounting", STD_STYLE_ACCOUNTING, fmtparam::kCurrencyDecimals, 2},
        {"Short Date", STD_STYLE_DATE, fmtparam::kDateOrderFlag, 1},
        {"Percent", STD_STYLE_USER_DEFINED, -1, 0},
        {"Fraction", STD_STYLE_GENERAL, -1, 0},
        {"Scientific", STD_STYLE_USER_DEFINED, -1, 0},
        {"Long Time", STD_STYLE_USER_DEFINED, -1, 0},
        {"Yes/No", STD_STYLE_USER_DEFINED, -1, 0},
    };
    for (const Case& c : cases) {
        const Imported im = Import(StyledCell(std::string("<Style ss:ID=\"s21\"><NumberFormat "
                                                          "ss:Format=\"") +
                                              c.name + "\"/></Style>"));
        ASSERT_TRUE(im.ok) << c.name;
        const StyleRecord* s = CellStyle(im, 0, 0);
        ASSERT_NE(s, nullptr) << c.name;
        EXPECT_EQ(s->numberFormat.kind, c.kind) << c.name;
        EXPECT_TRUE(IsValidStandardFormat(s->numberFormat)) << c.name;
        EXPECT_NE(s->numberFormat.code[0], 0) << c.name;
        if (c.param >= 0) {
            EXPECT_EQ(s->numberFormat.params[c.param], c.value) << c.name;
        }
    }
}

TEST(ExcelXmlImport, FontAttributes) {
    struct Case {
        const char* attributes;
        ErrorCode error;
        uint8_t size, weight, italic, underline, family;
    };
    const std::vector<Case> cases = {
        {"ss:Size=\"11.5\"", 0, 11, 0, 0, 0, 0},
        {"ss:Size=\"254\"", 0, 254, 0, 0, 0, 0},
        {"ss:Size=\"300\"", 0, 10, 0, 0, 0, 0},
        {"ss:Size=\"-1\"", 0, 10, 0, 0, 0, 0},
        {"ss:Size=\"12pt\"", 59, 0, 0, 0, 0, 0},
        {"ss:Bold=\"1\" ss:Italic=\"1\" ss:Underline=\"Double\" x:Family=\"Roman\"", 0, 0, 2, 1, 1,
         3},
        {"ss:Bold=\"Regular\" ss:Italic=\"Roman\" ss:Underline=\"None\" x:Family=\"Odd\"", 0, 0, 0,
         0, 0, 0},
    };
    for (const Case& c : cases) {
        const Imported im =
            Import(StyledCell(std::string("<Style ss:ID=\"s21\"><Font ss:FontName=\"Face\" ") +
                              c.attributes + "/></Style>"));
        EXPECT_EQ(im.error, c.error) << c.attributes;
        if (c.error) continue;
        const StyleRecord* s = CellStyle(im, 0, 0);
        ASSERT_NE(s, nullptr) << c.attributes;
        const FontRecord& f = im.book->styles.fonts[s->fontRef.fontIndex];
        EXPECT_STREQ(f.faceName, "Face");
        EXPECT_EQ(f.size, c.size) << c.attributes;
        EXPECT_EQ(f.weight, c.weight) << c.attributes;
        EXPECT_EQ(f.italic, c.italic) << c.attributes;
        EXPECT_EQ(f.underline, c.underline) << c.attributes;
        EXPECT_EQ(f.family, c.family) << c.attributes;
    }
    const Imported open =
        Import(StyledCell("<Style ss:ID=\"s21\"><Font ss:Size=\"9\"></Font></Style>"));
    EXPECT_EQ(open.error, 56);
    const Imported longName = Import(StyledCell("<Style ss:ID=\"s21\"><Font ss:FontName=\"" +
                                                std::string(128, 'f') + "\"/></Style>"));
    EXPECT_EQ(longName.error, 57);
}

TEST(ExcelXmlImport, TheFontTableFillsUp) {
    // 127 new fonts fill the table beside the default; the next style gets font 0.
    std::string styles, cells;
    for (int n = 1; n <= 128; ++n) {
        styles += "<Style ss:ID=\"s" + std::to_string(20 + n) + "\"><Font ss:FontName=\"F" +
                  std::to_string(n) + "\"/></Style>";
        cells += "<Cell ss:StyleID=\"s" + std::to_string(20 + n) + "\"/>";
    }
    const Imported im = Import(Doc("<Styles>" + styles +
                                   "</Styles><Worksheet ss:Name=\"A\">"
                                   "<Table><Row>" +
                                   cells + "</Row></Table></Worksheet>"));
    ASSERT_TRUE(im.ok) << int(im.error);
    EXPECT_STREQ(im.book->styles.fonts[CellStyle(im, 0, 126)->fontRef.fontIndex].faceName, "F127");
    EXPECT_EQ(CellStyle(im, 0, 127)->fontRef.fontIndex, 0);
}

int ColumnWidth(const Imported& im, uint16_t column) {
    return (im.First().formats.columns[column].width >> 1) & 0x0FFF;
}

TEST(ExcelXmlImport, ColumnsAndSizes) {
    struct Case {
        const char* columns;
        int dpi;
        std::vector<int> widths; // columns 0..3
        std::vector<int> custom;
    };
    const std::vector<Case> cases = {
        {"<Column ss:Width=\"48\"/>", 96, {64, 0, 0, 0}, {0, 0, 0, 0}},
        {"<Column ss:Width=\"48\"/>", 120, {80, 0, 0, 0}, {0, 0, 0, 0}},
        {"<Column ss:Width=\"0\"/><Column ss:Width=\"5000\"/>", 96, {1, 4095, 0, 0}, {0, 0, 0, 0}},
        {"<Column ss:Index=\"3\" ss:AutoFitWidth=\"0\" ss:Width=\"30\"/><Column/>",
         96,
         {0, 0, 40, 0},
         {0, 0, 1, 0}},
        {"<Column ss:Span=\"1\" ss:Width=\"12\"/><Column ss:Width=\"24\"/>",
         96,
         {16, 16, 32, 0},
         {0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        const Imported im = Import(Sheet(c.columns), c.dpi);
        ASSERT_TRUE(im.ok) << c.columns << " " << int(im.error);
        for (uint16_t k = 0; k < 4; ++k) {
            EXPECT_EQ(ColumnWidth(im, k), c.widths[k]) << c.columns << " column " << k;
            EXPECT_EQ(im.First().formats.columns[k].width & 1, c.custom[k]) << c.columns;
        }
    }
    for (const char* bad : {"<Column ss:Index=\"0\"/>", "<Column ss:Index=\"2048\"/>",
                            "<Column ss:Width=\"12pt\"/>", "<Column ss:AutoFitWidth=\"2\"/>"})
        EXPECT_EQ(Import(Sheet(bad)).error, 59) << bad;
    EXPECT_TRUE(Import(Sheet("<Column ss:Index=\"2047\" ss:Width=\"6\"/>")).ok);
}

std::vector<uint16_t> Heights(const CWorksheet& ws) {
    std::vector<uint16_t> out;
    for (uint32_t r = 0; r < ws.formats.rowHeights.ItemCount(); ++r)
        out.push_back(*const_cast<CPagedList&>(ws.formats.rowHeights).GetItem2(r));
    return out;
}

TEST(ExcelXmlImport, RowHeights) {
    const Imported im = Import(Sheet("<Row ss:Index=\"5\" ss:Height=\"15\"/>"
                                     "<Row ss:Height=\"30\" ss:AutoFitHeight=\"0\" ss:Span=\"1\"/>"
                                     "<Row ss:Height=\"9\" ss:AutoFitHeight=\"false\"/>"));
    ASSERT_TRUE(im.ok) << int(im.error);
    EXPECT_EQ(Heights(im.First()),
              (std::vector<uint16_t>{0, 0, 0, 0, 20 << 1, 40 << 1 | 1, 40 << 1 | 1, 12 << 1 | 1}));
    EXPECT_EQ(Import(Sheet("<Row ss:Index=\"5\" ss:Height=\"15\"/><Row ss:Index=\"3\" "
                           "ss:Height=\"15\"/>"))
                  .error,
              56);
    EXPECT_EQ(Import(Sheet("<Row ss:Height=\"15\" ss:AutoFitHeight=\"maybe\"/>")).error, 57);
    EXPECT_EQ(Import(Sheet("<Row ss:Index=\"2097153\"/>")).error, 59);
    EXPECT_TRUE(Import(Sheet("<Row ss:Index=\"2097152\"><Cell><Data ss:Type=\"Number\">1</Data>"
                             "</Cell></Row>"))
                    .ok);
}

std::string Options(const std::string& inner) {
    return Sheet("", "<WorksheetOptions xmlns=\"urn:schemas-microsoft-com:office:excel\">" + inner +
                         "</WorksheetOptions>");
}

// A header or footer with a character the cells cannot hold is left out and counted, as a
// cell's text is; the rest of the page setup is read, elements with content and end tags too.
TEST(ExcelXmlImport, APageTextOutsideTheCodePageIsLeftOutAndCounted) {
    const Imported im =
        Import(Options("<PageSetup><Header x:Data=\"&#x4E2D; top\"></Header><Footer x:Data=\"F\">"
                       "<Extra/></Footer><PageMargins x:Left=\"1\"/></PageSetup>"));
    ASSERT_TRUE(im.ok) << int(im.error);
    const PageSetupRecord& p = im.First().pageSetup;
    EXPECT_EQ(im.book->refusedTexts, 1u);
    // The header a new worksheet has stays.
    const Imported plain = Import(Options(""));
    ASSERT_TRUE(plain.ok);
    EXPECT_STREQ(p.headerText, plain.First().pageSetup.headerText);
    EXPECT_STREQ(p.footerText, "F");
    EXPECT_DOUBLE_EQ(p.marginLeft, 25.4);
    // A reference that names no character refuses the file, in a page text as in a cell.
    const Imported bad = Import(Options("<PageSetup><Header x:Data=\"&#; top\"/></PageSetup>"));
    EXPECT_FALSE(bad.ok);
    EXPECT_EQ(bad.error, 59);
}

TEST(ExcelXmlImport, PageSetupOptions) {
    const Imported im = Import(Options(
        "<PageSetup><Layout x:Orientation=\"Landscape\" x:CenterHorizontal=\"1\" "
        "x:CenterVertical=\"0\" x:StartPageNumber=\"65534\"/><Header x:Data=\"Top &amp;D\"/>"
        "<Footer x:Data=\"&amp;P\"/><PageMargins x:Left=\"0.787\" x:Right=\"1\" x:Top=\"0.1\" "
        "x:Bottom=\"0.2\"/></PageSetup><Print><Scale>99.9</Scale><NumberofCopies>0"
        "</NumberofCopies></Print>"));
    ASSERT_TRUE(im.ok) << int(im.error);
    const PageSetupRecord& p = im.First().pageSetup;
    EXPECT_EQ(p.landscape, 1);
    EXPECT_EQ(p.alignment & 7, 2);
    EXPECT_EQ(p.alignment & 56, 8);
    EXPECT_EQ(p.firstPageNumber, 65534);
    EXPECT_STREQ(p.headerText, "Top &D");
    EXPECT_STREQ(p.footerText, "&P");
    EXPECT_DOUBLE_EQ(p.marginLeft, 19.989);
    EXPECT_DOUBLE_EQ(p.marginRight, 25.4);
    EXPECT_DOUBLE_EQ(p.marginTop, 2.54);
    EXPECT_DOUBLE_EQ(p.headerDistance, 0); // below two default rows
    EXPECT_LT(p.footerDistance, 0);
    EXPECT_EQ(p.scale, 99);
    EXPECT_EQ(p.copies, 1);

    struct Limit {
        std::string inner;
        ErrorCode error;
        uint16_t scale, copies;
    };
    for (const Limit& l : std::vector<Limit>{
             {"<Print><Scale>5</Scale></Print>", 0, 10, 1},
             {"<Print><Scale>2000</Scale><NumberofCopies>70000</NumberofCopies></Print>", 0, 1000,
              65535},
             {"<Print><NumberofCopies>4294967294</NumberofCopies></Print>", 0, 100, 65535},
             {"<Print><NumberofCopies>4294967295</NumberofCopies></Print>", 59, 0, 0},
             {"<PageSetup><Layout x:StartPageNumber=\"0\"/></PageSetup>", 59, 0, 0},
             {"<PageSetup><Layout x:StartPageNumber=\"65535\"/></PageSetup>", 59, 0, 0},
             {"<PageSetup><Layout x:StartPageNumber=\"1a\"/></PageSetup>", 59, 0, 0},
             {"<PageSetup><Header x:Data=\"&#x110000;\"/></PageSetup>", 59, 0, 0},
         }) {
        const Imported o = Import(Options(l.inner));
        EXPECT_EQ(o.error, l.error) << l.inner;
        if (l.error) continue;
        EXPECT_EQ(o.First().pageSetup.scale, l.scale) << l.inner;
        EXPECT_EQ(o.First().pageSetup.copies, l.copies) << l.inner;
    }
}

TEST(ExcelXmlImport, ViewOptions) {
    const Imported im = Import(
        Options("<DoNotDisplayGridlines/><DoNotDisplayHeadings/><TopRowVisible>5</TopRowVisible>"
                "<LeftColumnVisible>3</LeftColumnVisible><Selected/><Panes><Pane><Number>3</Number>"
                "<ActiveRow>7</ActiveRow><ActiveCol>2</ActiveCol></Pane></Panes>"));
    ASSERT_TRUE(im.ok) << int(im.error);
    const CWorksheet& ws = im.First();
    EXPECT_EQ(ws.view.showGrid, 0);
    EXPECT_EQ(ws.pageSetup.rowHeadings, 0);
    EXPECT_EQ(ws.pageSetup.columnHeadings, 0);
    EXPECT_EQ(ws.view.topLeft.row, 4u);
    EXPECT_EQ(ws.view.topLeft.column, 2);
    EXPECT_EQ(ws.view.selection[0].row, 6u);
    EXPECT_EQ(ws.view.selection[1].column, 1);

    struct Sel {
        const char* text;
        uint32_t r0, r1;
        uint16_t c0, c1;
    };
    for (const Sel& s : {Sel{"R2:R4", 1, 3, 0, kLastColumn}, Sel{"C3:C3", 0, kLastRow, 2, 2},
                         Sel{"R1C1:R5C2", 0, 4, 0, 1}, Sel{"R9C9", 0, 0, 0, 0}}) {
        const Imported o = Import(Options(std::string("<Panes><Pane><RangeSelection>") + s.text +
                                          "</RangeSelection></Pane></Panes>"));
        ASSERT_TRUE(o.ok) << s.text;
        const ViewSettingsRecord& v = o.First().view;
        EXPECT_EQ(v.selection[0].row, s.r0) << s.text;
        EXPECT_EQ(v.selection[1].row, s.r1) << s.text;
        EXPECT_EQ(v.selection[0].column, s.c0) << s.text;
        EXPECT_EQ(v.selection[1].column, s.c1) << s.text;
    }
    for (const char* bad :
         {"<TopRowVisible>2097153</TopRowVisible>", "<LeftColumnVisible>2048</LeftColumnVisible>",
          "<Panes><ActiveRow>2097153</ActiveRow></Panes>",
          "<Panes><ActiveCol>2048</ActiveCol></Panes>"})
        EXPECT_EQ(Import(Options(bad)).error, 59) << bad;
    for (const char* good :
         {"<TopRowVisible>2097152</TopRowVisible>",
          "<Panes><ActiveRow>2097152</ActiveRow><ActiveCol>2047</ActiveCol></Panes>"})
        EXPECT_TRUE(Import(Options(good)).ok) << good;
}

TEST(ExcelXmlImport, HostileDocumentsAreRefusedAtOnce) {
    std::string laughs = "<?xml version=\"1.0\"?>\n<!DOCTYPE lolz [<!ENTITY lol \"lol\">";
    for (int k = 1; k < 10; ++k)
        laughs += "<!ENTITY lol" + std::to_string(k) + " \"&lol" + std::to_string(k - 1) + ";\">";
    laughs += "]>\n<Workbook>&lol9;</Workbook>";
    EXPECT_EQ(Import(laughs).error, 56);
    std::string deep =
        "<?xml version=\"1.0\"?><Workbook xmlns=\"urn:schemas-microsoft-com:office:spreadsheet\">";
    for (int k = 0; k < 100000; ++k) deep += "<a>";
    EXPECT_EQ(Import(deep + "<Worksheet ss:Name=\"A\"/>").error, 0);
    std::string attributes;
    for (int k = 0; k < 51; ++k) attributes += " a" + std::to_string(k) + "=\"v\"";
    EXPECT_EQ(Import(Doc("<Worksheet" + attributes + "/>")).error, 57);
    const std::string whole = Sheet("<Row><Cell><Data>text</Data></Cell></Row>");
    for (std::size_t cut = 0; cut < whole.size(); cut += 7) {
        const Imported im = Import(whole.substr(0, cut));
        EXPECT_TRUE(im.error == 56 || im.error == 9 || im.error == 0 || im.error == 57) << cut;
    }
}

} // namespace
} // namespace vl
