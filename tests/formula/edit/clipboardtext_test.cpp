#include "formula/edit/clipboardtext.h"
#include "formula/edit/editcommands.h"
#include "formula/translate.h"
#include "platform/core/alloc.h"
#include "undobook.h"

#include <gtest/gtest.h>

namespace vl {

using namespace edittest;

TEST(WriteRangeText, FieldsTabsRowsAndQuotes) {
    CCellStore store;
    PutColumn(store, 0, 0, {"1", "3", "'a\"b", "'x\ty", "#N/A"});
    PutColumn(store, 1, 0, {"2", "4", "", "'line\nbreak", ""});
    // Numbers keep 15 significant digits, in exponent form where that is shorter.
    PutColumn(store, 9, 0, {"5.444511618E-13", "0.00142857142857143", "3E+23", "0.0001"});
    struct Case {
        CellRange range;
        const char* text;
    };
    const Case cases[] = {
        {{0, 0, 1, 1}, "1\t2\r\n3\t4"},
        {{0, 2, 0, 2}, "\"a\"\"b\""},
        {{0, 3, 1, 3}, "\"x\ty\"\t\"line\nbreak\""},
        {{0, 4, 0, 4}, "#N/A"},
        {{5, 5, 5, 5}, ""},
        {{5, 5, 7, 6}, "\t\t\r\n\t\t"},
        {{1, 1, 2, 2}, "4\t\r\n\t"},
        {{9, 0, 9, 3}, "5.444511618E-13\r\n0.00142857142857143\r\n3E+23\r\n0.0001"},
    };
    std::string out;
    for (const Case& c : cases) {
        WriteRangeText(store, c.range, out);
        EXPECT_EQ(out, c.text) << c.range.c1 << "," << c.range.r1;
    }
}

TEST(PrivateClipboardData, WrittenAndReadBack) {
    const std::string data = WritePrivateClipboardData(0x12345, 98765);
    ASSERT_EQ(data.size(), kPrivateBlockSize + 5);
    EXPECT_EQ(data.substr(0, 6), std::string("9029\0\0", 6)); // the low 16 bits
    PrivateClipboardData read;
    ASSERT_TRUE(ReadPrivateClipboardData(data, read));
    EXPECT_EQ(read.index, 9029);
    EXPECT_TRUE(read.hasProcess);
    EXPECT_EQ(read.processId, 98765u);
    struct Case {
        std::string data;
        bool ok;
    };
    const std::string zeros(9, '\0');
    const Case cases[] = {
        {"0" + zeros, true},
        {"65535" + std::string(5, '\0'), true},
        {"65536" + std::string(5, '\0'), false},
        {"12" + std::string(7, '\0'), false}, // nine bytes
        {std::string(10, '\0'), false},       // no digits
        {"1x" + std::string(8, '\0'), false}, // garbage in the block
        {"0" + zeros + "18446744073709551615", true},
        {"0" + zeros + "18446744073709551616", false},
        {"0" + zeros + "12a", false},
    };
    for (const Case& c : cases) EXPECT_EQ(ReadPrivateClipboardData(c.data, read), c.ok) << c.data;
}

TEST(ParseClipboardText, RowsColumnsLimitsAndExtent) {
    CUndoBook b;
    CEvalContext* ctx = EditContext(b.Book());
    ASSERT_NE(ctx, nullptr);
    struct Case {
        std::string text;
        uint16_t column;
        uint32_t row;
        uint16_t lastColumn;
        uint32_t lastRow;
        std::vector<std::tuple<uint16_t, uint32_t, std::string>> cells;
    };
    const std::string limit(kPastedFieldLimit, 'a');
    const Case cases[] = {
        {"1\t2\r\n3", 0, 0, 1, 1, {{0, 0, "1"}, {1, 0, "2"}, {0, 1, "3"}}},
        {"5\t6\n7", 2, 3, 1, 1, {{2, 3, "5"}, {3, 3, "6"}, {2, 4, "7"}}},
        {"a\r\r\nb", 0, 0, 0, 2, {{0, 0, "a"}, {0, 2, "b"}}},
        // Quoted as WriteRangeText quotes: a field's tabs, line breaks and quotes are its own.
        {"\"a\"\"b\"", 0, 0, 0, 0, {{0, 0, "a\"b"}}},
        {"\"x\ty\"\t\"l\r\nm\"\r\nz", 0, 0, 1, 1, {{0, 0, "x\ty"}, {1, 0, "l\r\nm"}, {0, 1, "z"}}},
        {"\"q\"r\ts", 0, 0, 1, 0, {{0, 0, "qr"}, {1, 0, "s"}}},
        // A quote that never closes, or one inside a field, is the field's own.
        {"\"open\tx", 0, 0, 1, 0, {{0, 0, "\"open"}, {1, 0, "x"}}},
        {"say \"hi\"", 0, 0, 0, 0, {{0, 0, "say \"hi\""}}},
        {"\t\tx", 0, 0, 2, 0, {{2, 0, "x"}}},
        {"x\ty", kLastColumn, 0, 0, 0, {{kLastColumn, 0, "x"}}},
        {"x\ny", 0, kLastRow, 0, 0, {{0, kLastRow, "x"}}},
        {limit, 0, 0, 0, 0, {{0, 0, limit}}},
        {limit + "bcd\tz", 0, 0, 1, 0, {{0, 0, limit}, {1, 0, "z"}}},
    };
    for (const Case& c : cases) {
        CCellStore scratch;
        const ParsedText parsed = ParseClipboardText(*ctx, c.text, c.column, c.row, scratch);
        EXPECT_FALSE(parsed.failed);
        EXPECT_EQ(parsed.lastColumn, c.lastColumn) << c.text.substr(0, 20);
        EXPECT_EQ(parsed.lastRow, c.lastRow) << c.text.substr(0, 20);
        EXPECT_EQ(DumpStore(scratch).size(), c.cells.size()) << c.text.substr(0, 20);
        for (const auto& [column, row, value] : c.cells)
            EXPECT_EQ(ValueAt(scratch, column, row), value) << c.text.substr(0, 20);
    }
}

TEST(PasteTextCommand, FillsClearsCutsAndUndoes) {
    CUndoBook b;
    CWorksheet& ws = b.S3();
    b.Book().tree.active = &ws;
    b.Number(ws, 1, 1, 99); // B2, cleared by the paste
    b.Number(ws, 2, 0, 42); // C1, outside the target
    const WorkbookDump before = b.Dump();
    CEvalContext* ctx = EditContext(b.Book());
    CellRange pasted;
    ASSERT_EQ(PasteTextCommand(b.Book(), *ctx, {{0, 0, 0, 0}, 0, 0}, "1\t2\r\n3", &pasted),
              CommandResult::kDone);
    EXPECT_EQ(pasted.c2, 1);
    EXPECT_EQ(pasted.r2, 1u);
    EXPECT_EQ(KindAndValue(ws.cells, 0, 0), "n 1");
    EXPECT_EQ(ValueAt(ws.cells, 1, 0), "2");
    EXPECT_EQ(ValueAt(ws.cells, 0, 1), "3");
    EXPECT_EQ(ValueAt(ws.cells, 1, 1), "");
    EXPECT_EQ(ValueAt(ws.cells, 2, 0), "42");
    const WorkbookDump after = b.Dump();
    ExpectUndoRedo(b, before, after);
    // A smaller selection drops what lies past it.
    ASSERT_EQ(PasteTextCommand(b.Book(), *ctx, {{4, 0, 4, 1}, 0, 0}, "7\t8\r\n9\t10"),
              CommandResult::kDone);
    EXPECT_EQ(ValueAt(ws.cells, 4, 0), "7");
    EXPECT_EQ(ValueAt(ws.cells, 4, 1), "9");
    EXPECT_EQ(ValueAt(ws.cells, 5, 0), "");
    // At the last column the target is cut.
    ASSERT_EQ(
        PasteTextCommand(b.Book(), *ctx, {{kLastColumn, 9, kLastColumn, 9}, 0, 0}, "1\t2", &pasted),
        CommandResult::kDone);
    EXPECT_EQ(pasted.c2, kLastColumn);
}

// A pasted formula is held to the formula limit as a typed one: at the longest a record
// holds it is stored; one character more and its cell stays empty, the rest is pasted, and
// the paste reports 117.
TEST(PasteTextCommand, AFormulaPastTheLimitIsReportedAndTheRestPasted) {
    struct Case {
        size_t length;
        CommandResult result;
    };
    for (const Case& c : {Case{kMaxFormulaText, CommandResult::kDone},
                          Case{kMaxFormulaText + 1, CommandResult::kFailed}}) {
        SCOPED_TRACE(c.length);
        CUndoBook b;
        CWorksheet& ws = b.S3();
        b.Book().tree.active = &ws;
        b.Number(ws, 0, 0, 5); // cleared by the paste
        std::string formula = "=1";
        while (formula.size() + 2 <= c.length) formula += "+1";
        if (formula.size() < c.length) formula.insert(1, "+");
        ASSERT_EQ(formula.size(), c.length);
        const WorkbookDump before = b.Dump();
        const int32_t undo = b.Book().undo.current;
        b.Book().error = kErrorNone;
        EXPECT_EQ(PasteTextCommand(b.Book(), *EditContext(b.Book()), {{0, 0, 0, 0}, 0, 0},
                                   formula + "\t7"),
                  c.result);
        EXPECT_EQ(b.Book().error,
                  c.result == CommandResult::kDone ? kErrorNone : kErrorFormulaTooLong);
        EXPECT_EQ(b.Book().undo.current, undo + 1);
        EXPECT_EQ(ValueAt(ws.cells, 1, 0), "7");
        const uint8_t* cell = FindCell(ws.cells, 0, 0);
        EXPECT_EQ(cell != nullptr, c.result == CommandResult::kDone);
        ASSERT_EQ(UndoCommand(b.Book(), nullptr), CommandResult::kDone);
        EXPECT_TRUE(SameWorkbook(before, b.Dump()));
    }
}

TEST(PasteTextCommand, OutOfMemoryLeavesTheWorksheetAsItWas) {
    CUndoBook b;
    CWorksheet& ws = b.S3();
    b.Book().tree.active = &ws;
    CEvalContext* ctx = EditContext(b.Book());
    std::string text;
    for (int i = 0; i < 300; ++i) text += "text " + std::to_string(i) + "\tmore\r\n";
    const WorkbookDump before = b.Dump();
    const int32_t undo = b.Book().undo.current;
    bool done = false;
    for (long fail = 0; fail < 60 && !done; ++fail) {
        SetAllocFailAfter(fail);
        const CommandResult result = PasteTextCommand(b.Book(), *ctx, {{0, 0, 0, 0}, 0, 0}, text);
        SetAllocFailAfter(-1);
        done = result == CommandResult::kDone;
        if (done) break;
        EXPECT_EQ(b.Book().error, kErrorWorksheetMemory);
        const int32_t top = b.Book().undo.current;
        // A failed record leaves its slot empty; a parse cut short pastes what it read,
        // and the entry's undo puts the worksheet back.
        if (top >= 0 && b.Book().undo.entries[top].kind != kUndoEmpty && top != undo) {
            ASSERT_EQ(UndoCommand(b.Book(), nullptr), CommandResult::kDone);
        }
        ASSERT_TRUE(SameWorkbook(before, b.Dump())) << "failing after " << fail;
    }
    EXPECT_TRUE(done);
}

} // namespace vl
