// Documents that fail to load: each coded error with the line it arises at.

#include "xmltestutil.h"

namespace vl {
namespace xmltest {
namespace {

struct ErrorCase {
    std::string name;
    std::string document;
    ErrorCode error;
    uint32_t line;
};

const std::string kHead = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<Workbook>\r\n";

// A worksheet on line 3 holding `inner` from line 4 on.
std::string Sheet(const std::string& inner) {
    return kHead + "<Worksheet>\r\n" + inner + "\r\n</Worksheet>\r\n</Workbook>\r\n";
}

std::string Cells(const std::string& cells) {
    return Sheet("<Cells>\r\n" + cells + "\r\n</Cells>");
}

std::vector<ErrorCase> Cases() {
    return {
        {"NoDeclaration", "<Workbook></Workbook>", kErrorXmlElement, 1},
        {"OtherRoot", "<?xml version='1.0'?>\r\n<Book>\r\n</Book>", kErrorXmlElement, 2},
        {"FoldersOnly", kHead + "<Folder Name='F'/>\r\n<Folder/>\r\n</Workbook>\r\n",
         kErrorLastWorksheet, 5},
        {"Empty", kHead + "</Workbook>", kErrorLastWorksheet, 3},
        {"NoEnd", kHead + "<Worksheet/>\r\n", kErrorXmlElement, 4},
        {"WindowBeforeLastModification",
         kHead + "<Window></Window>\r\n<LastModification><User/><Date/></LastModification>",
         kErrorXmlElement, 4},
        {"FolderWithEndTag", kHead + "<Worksheet/>\r\n<Folder>\r\n</Folder>\r\n</Workbook>",
         kErrorXmlElement, 4},
        {"BadBoolean", kHead + "<Worksheet Selected='yes'/>\r\n</Workbook>", kErrorXmlAttribute, 3},
        {"NameTooLong", kHead + "<Worksheet Name='" + std::string(128, 'n') + "'/>\r\n</Workbook>",
         kErrorXmlAttribute, 3},
        {"LevelZero", kHead + "<Worksheet TreeLevel='0'/>\r\n</Workbook>", kErrorXmlData, 3},
        {"UserTooLong",
         kHead + "<LastModification>\r\n<User>" + std::string(128, 'u') +
             "</User><Date/></LastModification>\r\n<Worksheet/></Workbook>",
         kErrorXmlData, 4},
        {"PaneWidth", kHead + "<Window>\r\n<TreePane Width='65535'/>\r\n</Window>", kErrorXmlData,
         4},
        {"AutoYes",
         Cells("<Cell rc='r1c1'><N>1</N></Cell>\r\n<Cell rc='r2c1' Auto=\"yes\">"
               "<N>1</N></Cell>"),
         kErrorXmlAttribute, 6},
        {"CellWithoutRc", Cells("\r\n<Cell><N>1</N></Cell>"), kErrorXmlMissing, 6},
        {"CellsOutOfOrder", Cells("<Cell rc='r1c3'><N>1</N></Cell><Cell rc='r1c1'><N>1</N></Cell>"),
         kErrorXmlAttribute, 5},
        {"SameCellTwice", Cells("<Cell rc='r1c3'><N>1</N></Cell><Cell rc='rc3'><N>1</N></Cell>"),
         kErrorXmlAttribute, 5},
        {"RowZero", Cells("<Cell rc='r0c1'><N>1</N></Cell>"), kErrorXmlAttribute, 5},
        {"RowPastTheLast", Cells("<Cell rc='r2097153c1'><N>1</N></Cell>"), kErrorXmlAttribute, 5},
        {"ColumnPastTheLast", Cells("<Cell rc='r1c2048'><N>1</N></Cell>"), kErrorXmlAttribute, 5},
        {"ColumnZero", Cells("<Cell rc='r1c0'><N>1</N></Cell>"), kErrorXmlAttribute, 5},
        {"RelativePastTheEnd",
         Cells("<Cell rc='r2097152c1'><N>1</N></Cell><Cell rc='r[1]c1'><N>1</N></Cell>"),
         kErrorXmlAttribute, 5},
        {"RcWithoutColumn", Cells("<Cell rc='r1'><N>1</N></Cell>"), kErrorXmlAttribute, 5},
        {"RcWithText", Cells("<Cell rc='r1c1x'><N>1</N></Cell>"), kErrorXmlAttribute, 5},
        {"EmptyCell", Cells("<Cell rc='r1c1'/>"), kErrorXmlElement, 5},
        {"CellWithoutContent", Cells("<Cell rc='r1c1'></Cell>"), kErrorXmlElement, 5},
        {"FormulaWithoutResult", Cells("<Cell rc='r1c1'><F>1+1</F></Cell>"), kErrorXmlElement, 5},
        {"NumberWithText", Cells("<Cell rc='r1c1'>\r\n<N>1.5x</N></Cell>"), kErrorXmlData, 6},
        {"UnknownError", Cells("<Cell rc='r1c1'><Error>#FOO</Error></Cell>"), kErrorXmlData, 5},
        {"WidthZero", Cells("<Cell rc='r1c1'><F Width='0'>1</F><N>1</N></Cell>"), kErrorXmlData, 5},
        {"HeightPastTheGrid", Cells("<Cell rc='r1c1'><F Height='2097153'>1</F><N>1</N></Cell>"),
         kErrorXmlData, 5},
        {"TextTooLong",
         Cells("<Cell rc='r1c1'><T>" + std::string(kMaxCellText + 1, 't') + "</T></Cell>"),
         kErrorXmlData, 5},
        {"FormulaAndTextTooLong",
         Cells("<Cell rc='r1c1'><F>" + std::string(5000, 'f') + "</F><T>" + std::string(5000, 't') +
               "</T></Cell>"),
         kErrorXmlData, 5},
        {"ColumnOfRow", Sheet("<Formatting>\r\n<Column rc='r1c1'/>\r\n</Formatting>"),
         kErrorXmlAttribute, 5},
        {"ColumnWithoutRc", Sheet("<Formatting>\r\n<Column Width='3'/>\r\n</Formatting>"),
         kErrorXmlMissing, 5},
        {"ColumnWidth4096", Sheet("<Formatting>\r\n<Column rc='c1' Width='4096'/></Formatting>"),
         kErrorXmlData, 5},
        {"ColumnPastTheGrid", Sheet("<Formatting>\r\n<Column rc='c2048'/></Formatting>"),
         kErrorXmlAttribute, 5},
        {"StyleId600", Sheet("<Formatting>\r\n<Column rc='c1' StyleID='600'/></Formatting>"),
         kErrorXmlData, 5},
        {"StyleIdNotInTable", Sheet("<Formatting>\r\n<Column rc='c1' StyleID='1'/></Formatting>"),
         kErrorXmlAttribute, 5},
        {"RowTwice", Sheet("<Formatting>\r\n<Row rc='r4'/>\r\n<Row rc='r4'/></Formatting>"),
         kErrorXmlAttribute, 6},
        {"FirstRowTwice", Sheet("<Formatting>\r\n<Row rc='r1'/>\r\n<Row rc='r1'/></Formatting>"),
         kErrorXmlAttribute, 6},
        {"RowZeroInFormatting", Sheet("<Formatting>\r\n<Row rc='r0'/></Formatting>"),
         kErrorXmlAttribute, 5},
        {"SpanBackwards",
         Sheet("<Formatting>\r\n<Row rc='r1'><Span rc='c3:c1'/></Row></Formatting>"),
         kErrorXmlAttribute, 5},
        {"SpanInsideThePrevious",
         Sheet("<Formatting>\r\n<Row rc='r1'><Span rc='c1:c5'/><Span rc='c2:c4'/></Row>"
               "</Formatting>"),
         kErrorXmlAttribute, 5},
        {"SpanWithoutRc", Sheet("<Formatting>\r\n<Row rc='r1'><Span/></Row></Formatting>"),
         kErrorXmlMissing, 5},
        {"SpanPastTheGrid",
         Sheet("<Formatting>\r\n<Row rc='r1'><Span rc='c1:c2048'/></Row></Formatting>"),
         kErrorXmlAttribute, 5},
        {"RowHeight4096", Sheet("<Formatting>\r\n<Row rc='r1' Height='4096'/></Formatting>"),
         kErrorXmlData, 5},
        {"ListWithoutId", kHead + "<DropDownLists>\r\n<List/>\r\n</DropDownLists>",
         kErrorXmlMissing, 4},
        {"ListId101", kHead + "<DropDownLists>\r\n<List ID='101'/>", kErrorXmlData, 4},
        {"ListId0", kHead + "<DropDownLists>\r\n<List ID='0'/>", kErrorXmlData, 4},
        {"ListId7a", kHead + "<DropDownLists>\r\n<List ID='7a'/>", kErrorXmlData, 4},
        {"ListNameTooLong",
         kHead + "<DropDownLists>\r\n<List ID='1'><Name>" + std::string(30, 'n') + "</Name>",
         kErrorXmlData, 4},
        {"ItemBeforeName",
         kHead + "<DropDownLists>\r\n<List ID='1'><Item>a</Item>\r\n<Name>n</Name></List>",
         kErrorXmlElement, 5},
        {"InspectRelative", kHead + "<InspectCells>\r\n<Cell rc='rc3'/>\r\n</InspectCells>",
         kErrorXmlAttribute, 4},
        {"InspectWithoutRc", kHead + "<InspectCells>\r\n<Cell/>\r\n</InspectCells>",
         kErrorXmlMissing, 4},
        {"InspectLabelTooLong",
         kHead + "<InspectCells>\r\n<Cell rc='r1c1' Name='" + std::string(128, 'n') + "'/>",
         kErrorXmlAttribute, 4},
        {"InspectOtherElement", kHead + "<InspectCells>\r\n<Row/>\r\n</InspectCells>",
         kErrorXmlElement, 4},
    };
}

TEST(XmlLoadErrors, EachCodeAtItsLine) {
    for (const ErrorCase& c : Cases()) {
        Loaded l = ReadFromMemory(c.document);
        EXPECT_FALSE(l.ok) << c.name;
        EXPECT_EQ(l.error, c.error) << c.name;
        EXPECT_EQ(l.line, c.line) << c.name;
    }
}

TEST(XmlLoadErrors, MessagesOfTheCodes) {
    EXPECT_STREQ(GetErrorMessage(kErrorXmlMemory), "Ouf of memory while loading an xml document");
    EXPECT_STREQ(GetErrorMessage(kErrorXmlElement), "An unexpected xml element");
    EXPECT_STREQ(GetErrorMessage(kErrorXmlAttribute), "An invalid attribute value");
    EXPECT_STREQ(GetErrorMessage(kErrorXmlMissing), "A required attribute is missing");
    EXPECT_STREQ(GetErrorMessage(kErrorXmlData), "Invalid xml element data (c_data)");
    EXPECT_STREQ(GetErrorMessage(kErrorLastWorksheet),
                 "A workbook must contain at least one worksheet");
}

TEST(XmlLoadErrors, OutOfMemoryIs55) {
    const std::string doc = Cells("<Cell rc='r1c1'><N>1</N></Cell>");
    int failures = 0;
    for (long successes = 0; successes < 64; ++successes) {
        auto book = CreateWorkbook();
        CXmlReader reader;
        reader.ResetMemory(doc);
        SetAllocFailAfter(successes);
        const bool ok = ReadXmlWorkbook(*book, reader);
        SetAllocFailAfter(-1);
        if (ok) break;
        ++failures;
        EXPECT_EQ(book->error, kErrorXmlMemory) << successes;
    }
    EXPECT_GT(failures, 0);
}

} // namespace
} // namespace xmltest
} // namespace vl
