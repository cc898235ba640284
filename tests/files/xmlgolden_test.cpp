// The exact bytes of a small workbook's document.

#include "formula/token.h"
#include "model/inspectedcell.h"
#include "xmltestutil.h"

#include <cstring>

namespace vl::xmltest {

std::unique_ptr<CWorkbook> SampleWorkbook() {
    auto book = CreateWorkbook();
    CopyTextField(book->lastSavedUser, "ann", kLastSavedUserSize);
    CopyTextField(book->lastSavedDate, "2024-05-06T07:08:09", kLastSavedDateSize);
    SetDropDownName(book->dropDownLists[2], "Fruit");
    AddDropDownEntry(book->dropDownLists[2], "apple");
    AddDropDownEntry(book->dropDownLists[2], "pear & plum");

    StyleTables& t = book->styles;
    t.fonts[t.fontCount++] = FontRecord{"Arial", 1, 10, 2, 1, 0, 0, 1};
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
    s.wrapText = s.sort = s.isProtected = 1;
    s.dropDownList = 3;
    t.styleCount++; // style 2: the defaults

    book->AppendTreeItem(TREE_TYPE_FOLDER, "Folder1", 1)->expanded = 1;
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
    CellBuffer b;
    EXPECT_TRUE(MakeTextCell(b, 2, 0, "  two  blanks"));
    Put(ws, b);
    PutNumber(ws, 1, 1, 0, kErrDivZero >> 4);
    PutFormula(ws, 3, 1, "R1C1*2", 0.2);
    PutFormula(ws, 0, 2, "\"t\"&\"xt\"", 0, "txt");
    PutFormula(ws, 1, 2, "1/0", 0, nullptr, kErrDivZero >> 4);
    PutFormula(ws, 0, 3, "R1C1:R1C2", 5, nullptr, 0, 2, 1);
    MakeNumberCell(b, 1, 3, 1e20);
    b.bytes[0] |= kCellArrayElement;
    Put(ws, b);
    return book;
}

namespace {

// Read back, it writes the same document again: see the open and save tests.
TEST(XmlGolden, SampleWorkbookDocument) {
    EXPECT_EQ(WriteToMemory(*SampleWorkbook()), SampleDocument());
}

} // namespace
} // namespace vl::xmltest
