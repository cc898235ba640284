// Whether a file form keeps the whole workbook, and the key of what it would lose: the window
// asks before such a save, and auto-save passes a loss by until the user agreed to that key.
#include "exchange/foreignfile.h"
#include "exchange/memofile.h"
#include "exchange/xbase.h"
#include "formula/token.h"
#include "model/cellrecord.h"
#include "model/dropdownlist.h"
#include "model/inspectedcell.h"
#include "model/sheetsettings.h"
#include "tests/exchange/exchangetestutil.h"

#include <cstring>
#include <gtest/gtest.h>

namespace vl {
namespace {

using namespace exchangetest;

std::unique_ptr<CWorkbook> TwoSheets() {
    auto book = CreateWorkbook();
    book->AppendTreeItem(TREE_TYPE_WORKSHEET, "A", 1);
    book->AppendTreeItem(TREE_TYPE_WORKSHEET, "B", 1);
    book->tree.active = AsWorksheet(book->tree.first);
    return book;
}

void PutControlFormula(CWorkbook& book, const std::string& formula, const std::string& result) {
    FormulaHead head;
    head.resultFlags = kResultText;
    CellBuffer b;
    ASSERT_TRUE(MakeFormulaCell(b, 3, 4, head, formula, result));
    CellCursor cursor;
    ASSERT_TRUE(book.tree.active->cells.PutCell(b.bytes, cursor));
}

// A constant error value in the first worksheet.
void PutError(CWorkbook& book, FormulaError error) {
    PutNumber(*book.tree.active, 2, 5, 0);
    cell::SetError(FindCell(book.tree.active->cells, 5, 2), uint8_t(error >> 4));
}

// One kind of content at a time, each form: what it loses.
TEST(FormLoss, EveryKindAFormCannotHoldIsSeen) {
    struct Case {
        const char* what;
        void (*add)(CWorkbook&);
        bool text, spreadsheet;
    } const cases[] = {
        {"worksheets only", [](CWorkbook&) {}, true, false},
        {"a folder", [](CWorkbook& b) { b.AppendTreeItem(TREE_TYPE_FOLDER, "F", 1); }, true, true},
        {"a drop-down list", [](CWorkbook& b) { AddDropDownEntry(b.dropDownLists[0], "x"); }, true,
         true},
        {"a named empty list", [](CWorkbook& b) { SetDropDownName(b.dropDownLists[3], "L"); }, true,
         true},
        {"an inspected cell",
         [](CWorkbook& b) { ASSERT_TRUE(AppendInspectedCell(b.inspectedCells, {})); }, true, true},
        // Control characters: the spreadsheet form keeps tab, line feed and carriage return only.
        {"a text of tab, line feed and return",
         [](CWorkbook& b) { PutText(*b.tree.active, 1, 2, "a\tb\nc\rd"); }, true, false},
        {"a text with byte 1", [](CWorkbook& b) { PutText(*b.tree.active, 1, 2, "a\x01"); }, true,
         true},
        {"a text with byte 31",
         [](CWorkbook& b) { PutText(*AsWorksheet(b.tree.first->next), 0, 0, "\x1f"); }, true, true},
        {"a formula's text result", [](CWorkbook& b) { PutControlFormula(b, "=CHAR(1)", "\x01"); },
         true, true},
        {"a formula's own text", [](CWorkbook& b) { PutControlFormula(b, "=\"\x02\"", "x"); }, true,
         true},
        {"a formula without one", [](CWorkbook& b) { PutControlFormula(b, "=CHAR(9)", "\t"); },
         true, false},
        {"a worksheet name with byte 1",
         [](CWorkbook& b) { std::strcpy(b.tree.first->next->name, "B\x01"); }, true, true},
        {"a header with byte 2",
         [](CWorkbook& b) { std::strcpy(b.tree.active->pageSetup.headerText, "\x02"); }, true,
         true},
        {"a footer with byte 3",
         [](CWorkbook& b) { std::strcpy(b.tree.active->pageSetup.footerText, "f\x03"); }, true,
         true},
        // Error values: the spreadsheet form knows #DIV/0! to #VALUE!, and writes the program's
        // own (#SYNTAX!, #IMPL!, ...) as #N/A; a formula's own error is computed again.
        {"the error value #DIV/0!", [](CWorkbook& b) { PutError(b, kErrDivZero); }, true, false},
        {"the error value #VALUE!", [](CWorkbook& b) { PutError(b, kErrValue); }, true, false},
        {"the error value #IMPL!", [](CWorkbook& b) { PutError(b, kErrImpl); }, true, true},
    };
    for (const Case& c : cases) {
        auto book = TwoSheets();
        c.add(*book);
        EXPECT_EQ(FormLosesContent(*book, kFileText), c.text) << c.what;
        EXPECT_EQ(FormLosesContent(*book, kFileDBase4), c.text) << c.what;
        EXPECT_EQ(FormLosesContent(*book, kFileExcelXml), c.spreadsheet) << c.what;
        EXPECT_FALSE(FormLosesContent(*book, kFileNative)) << c.what;
        EXPECT_EQ(FormLossKey(*book, kFileExcelXml).empty(), !c.spreadsheet) << c.what;
    }
}

// A number column whose widest whole part leaves its fractions too little room: the table
// would hold some numbers rounded, and says how many. 1E15 leaves a dBase III field of 20
// characters three decimals: 0.125 is the last number held whole, 0.0625 the first rounded.
TEST(FormLoss, TheNumbersATableWouldRoundAreNamed) {
    const struct {
        double value;
        bool rounded;
    } cases[] = {{0.125, false},
                 {0.0625, true},
                 {-0.001, false},
                 {0.0006, true},
                 // One that would read as 0 is refused when written (118), not rounded.
                 {0.0001, false}};
    for (const uint8_t family : {kFileDBase3, kFileClipper}) {
        for (const auto& c : cases) {
            auto book = CreateWorkbook();
            book->AppendTreeItem(TREE_TYPE_WORKSHEET, "A", 1);
            book->tree.active = AsWorksheet(book->tree.first);
            PutText(*book->tree.active, 0, 0, "N");
            PutNumber(*book->tree.active, 0, 1, 1e15);
            PutNumber(*book->tree.active, 0, 2, c.value);
            EXPECT_EQ(FormLosesContent(*book, family), c.rounded) << c.value;
            EXPECT_EQ(FormLossText(*book, family),
                      c.rounded ? "\n- 1 number rounded to its field's width" : "")
                << c.value;
            EXPECT_FALSE(FormLosesContent(*book, kFileText)) << c.value;
        }
        // The first row names the fields: a number there is no value of the table.
        auto book = CreateWorkbook();
        book->AppendTreeItem(TREE_TYPE_WORKSHEET, "A", 1);
        book->tree.active = AsWorksheet(book->tree.first);
        PutNumber(*book->tree.active, 0, 0, 2.5);
        PutNumber(*book->tree.active, 0, 1, 1e15);
        EXPECT_EQ(FormLossText(*book, family), "");
    }
}

// The key changes with the worksheet a text file keeps and with what is lost, not with the
// values that are kept.
TEST(FormLoss, TheKeyFollowsWhatIsLost) {
    auto book = TwoSheets();
    const std::string first = FormLossKey(*book, kFileText);
    ASSERT_FALSE(first.empty());
    // A tree with no active worksheet keeps none: its key is not the first worksheet's.
    book->tree.active = nullptr;
    EXPECT_NE(FormLossKey(*book, kFileText), first);
    book->tree.active = AsWorksheet(book->tree.first);
    PutText(*book->tree.active, 0, 0, "kept");
    EXPECT_EQ(FormLossKey(*book, kFileText), first);
    book->tree.active = AsWorksheet(book->tree.first->next);
    const std::string second = FormLossKey(*book, kFileText);
    EXPECT_NE(second, first);
    book->AppendTreeItem(TREE_TYPE_WORKSHEET, "C", 1);
    EXPECT_NE(FormLossKey(*book, kFileText), second);
    EXPECT_NE(FormLossKey(*book, kFileText), FormLossKey(*book, kFileDBase3));
    // A spreadsheet keeps every worksheet: which is active loses nothing.
    book->AppendTreeItem(TREE_TYPE_FOLDER, "F", 1);
    const std::string sheets = FormLossKey(*book, kFileExcelXml);
    book->tree.active = AsWorksheet(book->tree.first);
    EXPECT_EQ(FormLossKey(*book, kFileExcelXml), sheets);
    // Another cell with a control character is another loss.
    PutText(*book->tree.active, 0, 1, "\x07");
    const std::string bell = FormLossKey(*book, kFileExcelXml);
    EXPECT_NE(bell, sheets);
    PutText(*book->tree.active, 0, 2, "\x07");
    EXPECT_NE(FormLossKey(*book, kFileExcelXml), bell);
}

} // namespace
// A fixed field cuts a number longer than its width into another number, and the OEM code
// page writes '?' for a character it lacks: each is named before the text file is written.
// A number of the width's length, a text cut to its width and '?' itself lose nothing.
TEST(FormLoss, TheNumbersAFixedWidthCutsAndTheOemGapsAreNamed) {
    const struct {
        const char* what;
        double number;
        const char* text;
        uint8_t fixed, encoding;
        const char* loss;
    } cases[] = {
        {"1E-20 in 4", 1e-20, "ab", 1, 2,
         "\n- 1 number longer than its field's width (cut, it reads back as another number)"},
        {"1234 in 4", 1234, "abcdef", 1, 2, ""},
        {"12345 in 4", 12345, "ab", 1, 2,
         "\n- 1 number longer than its field's width (cut, it reads back as another number)"},
        {"delimited", 1e-20, "ab", 0, 2, ""},
        {"OEM euro", 1, "5 \x80", 0, 3,
         "\n- 1 text with characters the OEM code page lacks (written as ?)"},
        {"OEM question mark", 1, "why?", 0, 3, ""},
        {"ANSI euro", 1, "5 \x80", 0, 2, ""},
        {"UTF-8 euro", 1, "5 \x80", 0, 1, ""},
    };
    for (const auto& c : cases) {
        auto book = CreateWorkbook();
        book->AppendTreeItem(TREE_TYPE_WORKSHEET, "A", 1);
        book->tree.active = AsWorksheet(book->tree.first);
        PutNumber(*book->tree.active, 0, 0, c.number);
        PutText(*book->tree.active, 1, 0, c.text);
        book->textFile.useFixedColWidths = c.fixed;
        book->textFile.columnWidths[0] = 4;
        book->textFile.columnWidths[1] = 4;
        book->textFile.encoding = c.encoding;
        EXPECT_EQ(FormLossText(*book, kFileText), c.loss) << c.what;
        EXPECT_EQ(FormLosesContent(*book, kFileText), *c.loss != 0) << c.what;
        // Another key when the loss changes, so that an agreed save asks again.
        if (*c.loss) {
            const std::string key = FormLossKey(*book, kFileText);
            PutNumber(*book->tree.active, 0, 1, 1e-30);
            PutText(*book->tree.active, 1, 1, "\x8C");
            EXPECT_NE(FormLossKey(*book, kFileText), key) << c.what;
        }
        EXPECT_FALSE(FormLosesContent(*book, kFileDBase4)) << c.what;
    }
    // A formula's number is cut as a number is; its text result or error value is no number.
    for (const uint8_t flags : {kResultNumber, kResultText}) {
        auto book = CreateWorkbook();
        book->AppendTreeItem(TREE_TYPE_WORKSHEET, "A", 1);
        book->tree.active = AsWorksheet(book->tree.first);
        FormulaHead head;
        head.resultFlags = flags;
        head.cachedNumber = 1e-20;
        CellBuffer b;
        ASSERT_TRUE(MakeFormulaCell(b, 0, 0, head, "=1E-20", "1e-20"));
        CellCursor cursor;
        ASSERT_TRUE(book->tree.active->cells.PutCell(b.bytes, cursor));
        book->textFile.useFixedColWidths = 1;
        book->textFile.columnWidths[0] = 4;
        EXPECT_EQ(FormLossText(*book, kFileText).find("1 number longer") != std::string::npos,
                  flags == kResultNumber)
            << int(flags);
        cell::SetError(FindCell(book->tree.active->cells, 0, 0), uint8_t(kErrNum >> 4));
        EXPECT_EQ(FormLossText(*book, kFileText).find("number longer"), std::string::npos);
    }
}

// A table's field list decides what a client's save writes otherwise: a text in a number
// field that reads as no number (one past the double range kept from a load) would be 0, a
// text the OEM code page lacks would hold '?'; such a save is refused. The window asks about
// the code page; its Save makes the field list afresh (such a column a Character field), and
// without a list nothing in a number field is lost.
TEST(FormLoss, ATablesFieldsCountWhatTheyWouldWriteOtherwise) {
    const struct {
        const char* what;
        bool listed;
        uint8_t encoding;
        const char* loss;
        ErrorCode refused;
    } cases[] = {
        {"oem with fields", true, 3,
         "\n- 1 text with characters the OEM code page lacks (written as ?)", kErrorFieldOverflow},
        {"ansi with fields", true, 2, "", kErrorFieldOverflow},
        {"oem, fields derived", false, 3,
         "\n- 1 text with characters the OEM code page lacks (written as ?)", kErrorCodePage},
        {"ansi, fields derived", false, 2, "", kErrorNone},
    };
    for (const auto& c : cases) {
        auto book = CreateWorkbook();
        book->AppendTreeItem(TREE_TYPE_WORKSHEET, "A", 1);
        book->tree.active = AsWorksheet(book->tree.first);
        CWorksheet& sheet = *book->tree.active;
        PutText(sheet, 0, 0, "N");
        PutText(sheet, 1, 0, "C\x80"); // a field's name is no value of the table
        PutText(sheet, 0, 1, "1e400");
        PutText(sheet, 0, 2, "12.5");
        PutNumber(sheet, 0, 3, 5);
        PutText(sheet, 1, 1, "euro \x80");
        PutText(sheet, 1, 2, "plain");
        XBaseSaveOptions& o = book->xbase;
        o.format = kXBaseDBase4;
        o.encoding = c.encoding;
        if (c.listed) {
            ASSERT_TRUE(AllocateDescriptors(o, 2));
            o.fieldDescriptors[11] = 'N', o.fieldDescriptors[16] = 20;
            o.fieldDescriptors[32 + 11] = 'C', o.fieldDescriptors[32 + 16] = 20;
            FillXBaseHeader(o, 2, 41, 0, false);
        }
        EXPECT_EQ(FormLossText(*book, kFileDBase4), c.loss) << c.what;
        std::string refusal;
        EXPECT_EQ(WrittenOtherwise(*book, kFileDBase4, refusal), c.refused) << c.what;
        EXPECT_EQ(refusal.find("1 text a number field cannot hold") != std::string::npos, c.listed)
            << c.what;
        EXPECT_EQ(refusal.find("1 text with characters the OEM code page lacks") !=
                      std::string::npos,
                  c.encoding == 3)
            << c.what;
        ReleaseXBaseSaveOptions(o);
    }
}

} // namespace vl
