#include "formula/edit/convert.h"
#include "formula/edit/editcommands.h"
#include "platform/core/alloc.h"
#include "undobook.h"

#include <gtest/gtest.h>

namespace vl {

using namespace edittest;

using Strings = std::vector<std::string>;

// The cells of rows 0..n-1 of `column`, each as KindAndValue gives it.
Strings Column(const CCellStore& store, uint16_t column, size_t n) {
    Strings out;
    for (uint32_t row = 0; row < n; ++row) out.push_back(KindAndValue(store, column, row));
    return out;
}

TEST(ConvertContents, EachModeOnEachKindOfCell) {
    struct Case {
        uint8_t mode;
        Strings in; // text cells, numbers and errors as PutValue reads them
        Strings out;
    };
    const Case cases[] = {
        {kConvertLabelsToNumbers,
         {"'12", "'abc", "7", "'-1.5"},
         {"n 12", "t abc", "n 7", "n -1.5"}},
        {kConvertNumbersToLabels,
         {"0.5", "'x", "#N/A!", "1e20"},
         {"t 0.5", "t x", "t #N/A!", "t 1E+20"}},
        {kConvertToUppercase, {"'hello wORLD-x", "3"}, {"t HELLO WORLD-X", "n 3"}},
        {kConvertToLowercase, {"'hello wORLD-x", "'\xC9T\xC9"}, {"t hello world-x", "t \xE9t\xE9"}},
        {kConvertFirstLettersUp, {"'hello wORLD-x", "'a1b c_d"}, {"t Hello WORLD-X", "t A1b C_D"}},
    };
    for (const Case& c : cases) {
        CUndoBook b;
        CWorksheet& ws = b.S3();
        PutColumn(ws.cells, 4, 0, c.in);
        ASSERT_TRUE(ConvertContents(b.Book(), ws, {4, 0, 4, uint32_t(c.in.size() - 1)}, c.mode));
        EXPECT_EQ(Column(ws.cells, 4, c.in.size()), c.out) << "mode " << int(c.mode);
    }
}

TEST(ConvertContents, FormulasBecomeTheValuesTheyShow) {
    CUndoBook b;
    CWorksheet& ws = b.S3();
    b.Formula(ws, 0, 0, "=1/4");
    b.Formula(ws, 0, 1, "=\"a\"&\"b\"");
    b.Formula(ws, 0, 2, "=1/0");
    b.Formula(ws, 0, 3, "=\"=R1C1\"");
    b.Formula(ws, 0, 4, "=\"00123\"");
    b.Formula(ws, 0, 5, "=2/3");
    RecalculateByUpdateMode(b.Book());
    ASSERT_TRUE(ConvertContents(b.Book(), ws, {0, 0, 0, 5}, kConvertFormulasToValues));
    // A text result stays the text it is, whatever it would read as typed; a number keeps
    // every digit, not only those shown.
    EXPECT_EQ(Column(ws.cells, 0, 5),
              (Strings{"n 0.25", "t ab", "n #DIV/0!", "t =R1C1", "t 00123"}));
    const uint8_t* thirds = FindCell(ws.cells, 5, 0);
    ASSERT_TRUE(thirds && cell::IsNumber(thirds));
    EXPECT_EQ(cell::Number(thirds), 2.0 / 3);
}

TEST(ConvertContents, NothingToConvertLeavesTheRangeAndFailureChangesNothing) {
    CUndoBook b;
    CWorksheet& ws = b.S1();
    const WorkbookDump before = b.Dump();
    ASSERT_TRUE(ConvertContents(b.Book(), ws, {0, 0, 0, 19}, kConvertToLowercase));
    EXPECT_TRUE(SameWorkbook(before, b.Dump()));
    bool succeeded = false;
    for (long fail = 0; fail < 30 && !succeeded; ++fail) {
        SetAllocFailAfter(fail);
        succeeded = ConvertContents(b.Book(), ws, {0, 0, 9, 19}, kConvertToUppercase);
        SetAllocFailAfter(-1);
        if (!succeeded) {
            ASSERT_TRUE(SameWorkbook(before, b.Dump())) << "failing after " << fail;
        }
    }
    EXPECT_TRUE(succeeded);
    EXPECT_EQ(ValueAt(ws.cells, 1, 3), "T3");
}

TEST(ConvertContentsCommand, MenuCommandsChooseTheModes) {
    const std::pair<uint16_t, int> table[] = {{32785, 0}, {32787, 1}, {32786, 2},  {33058, 3},
                                              {33059, 4}, {33060, 5}, {32788, -1}, {0, -1}};
    for (const auto& [command, mode] : table) EXPECT_EQ(ConvertModeOfCommand(command), mode);
    CUndoBook b;
    const WorkbookDump before = b.Dump();
    EXPECT_EQ(ConvertContentsCommand(b.Book(), {{1, 0, 1, 5}, 1, 0}, 32788),
              CommandResult::kNothing);
    EXPECT_EQ(b.Book().undo.current, -1);
    ASSERT_EQ(ConvertContentsCommand(b.Book(), {{1, 0, 1, 5}, 1, 0}, 33058), CommandResult::kDone);
    EXPECT_EQ(ValueAt(b.S1().cells, 1, 2), "T2");
    ASSERT_EQ(UndoCommand(b.Book(), nullptr), CommandResult::kDone);
    EXPECT_TRUE(SameWorkbook(before, b.Dump()));
}

} // namespace vl
