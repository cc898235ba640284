#include "formula/edit/editcommands.h"
#include "formula/edit/findreplace.h"
#include "model/rangeops.h"
#include "platform/core/alloc.h"
#include "undobook.h"

#include <cstring>
#include <gtest/gtest.h>

namespace vl {

using namespace edittest;

TEST(MatchPattern, WildcardsEscapesCaseAndWholeCells) {
    struct Case {
        const char* pattern;
        const char* text;
        bool matchCase, wholeCell;
        int32_t at;
    };
    const Case cases[] = {
        {"a?c", "abc", false, false, 0},  {"a?c", "ac", false, false, -1},
        {"a?c", "xabc", false, true, -1}, {"a?c", "xabc", false, false, 1},
        {"~*", "a*b", false, false, 1},   {"~*", "ab", false, false, -1},
        {"~?", "ab?", false, false, 2},   {"~~", "a~", false, false, 1},
        {"~a", "x~a", false, false, 1},   {"ABC", "abc", false, false, 0},
        {"ABC", "abc", true, false, -1},  {"\xE9", "\xC9t\xE9", false, false, 0},
        {"a*c", "abc", false, true, 0},   {"a*c", "abcd", false, true, -1},
        {"a*c", "abcd", false, false, 0}, {"a*", "abc", false, true, 0},
        {"b*", "abc", false, false, 1},   {"*", "", false, false, 0},
        {"*", "abc", false, true, 0},     {"", "abc", false, false, -1},
        {"abc", "ab", false, false, -1},  {"a*b*c", "xxaxbyyc", false, false, 2},
        {"??", "a", false, false, -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MatchPattern(c.pattern, c.text, c.matchCase, c.wholeCell), c.at)
            << c.pattern << " in " << c.text << " case " << c.matchCase << " whole " << c.wholeCell;
}

TEST(ReplaceInText, ReplacesEachMatchWholeAndResumesBehindIt) {
    struct Case {
        const char *pattern, *replacement, *text;
        bool wholeCell;
        const char* out; // null: nothing replaced
    };
    const Case cases[] = {
        {"b", "xx", "abcb", false, "axxcxx"},
        {"a*", "X", "abc", false, "X"},
        {"a*", "X", "abc", true, "X"},
        {"a*c", "X", "abcd", true, nullptr},
        {"?", "-", "abc", false, "---"},
        {"b", "", "abcb", false, "ac"},
        {"q", "Z", "abc", false, nullptr},
        {"*", "X", "ab", false, "X"},
        {"abc?", "X", "abcd", false, "X"},
        {"*", "X", "", false, "X"},
        {"*", "X", "", true, "X"},
        {"a", "X", "", false, nullptr},
        // An escaped character is one character of the pattern: nothing after it is lost.
        {"~*", "+", "a*b", false, "a+b"},
        {"~?", "!", "a?b?c", false, "a!b!c"},
        {"~~", "-", "x~y~~z", false, "x-y--z"},
        {"b~*c", "_", "ab*cd", false, "a_d"},
        {"~*?", "#", "1*23*45", false, "1#3#5"},
        {"?~?", "#", "a?b", false, "#b"},
        // A '*' that takes nothing does not skip what follows the match.
        {"a*c", "X", "acd", false, "Xd"},
        {"a*c", "X", "acdac", false, "XdX"},
        {"?*?", "X", "abcde", false, "XXe"},
        // A match is replaced whole: what a '*' took goes with it.
        {" (*)", "", "Smith (London)", false, "Smith"},
        {"(*)", "-", "a(b)c(d)e", false, "a-c-e"},
        {"b*", "X", "abcb", false, "aX"},
        {"a*c", "X", "abcabc", false, "XX"},
        {"~**", "#", "1*23", false, "1#"},
    };
    for (const Case& c : cases) {
        std::string out;
        const bool any = ReplaceInText(c.pattern, c.replacement, c.text, {false, c.wholeCell}, out);
        EXPECT_EQ(any ? out : "<none>", c.out ? c.out : "<none>") << c.pattern << " in " << c.text;
    }
    // A new text is bounded by what a cell holds: at the limit it is made, one past it not.
    std::string out;
    EXPECT_TRUE(ReplaceInText("a", "aa", std::string(4086, 'a') + "b", {}, out));
    EXPECT_EQ(out.size(), kMaxCellText);
    EXPECT_FALSE(ReplaceInText("a", "aa", std::string(4087, 'a'), {}, out));
    // The text after the last match counts too, and so does a whole-cell replacement.
    EXPECT_FALSE(ReplaceInText("a", "aa", std::string(4086, 'a') + "bb", {}, out));
    EXPECT_TRUE(ReplaceInText("x", std::string(kMaxCellText, 'r'), "x", {false, true}, out));
    EXPECT_FALSE(ReplaceInText("x", std::string(kMaxCellText + 1, 'r'), "x", {false, true}, out));
}

namespace {

// A book whose active worksheet holds a few cells for searching.
struct SearchBook {
    CUndoBook b;
    CWorksheet& ws = b.S3();
    SearchBook() {
        b.Book().tree.active = &ws;
        b.Text(ws, 2, 1, "abcb");
        b.Number(ws, 0, 3, 12);
        b.Text(ws, kLastColumn, 4, "edge b");
        b.Text(ws, 0, 5, "next b");
        b.Formula(ws, 3, 6, "=R[-5]C[-1]&\"b\"");
        b.Text(ws, 5, 9, "Bx");
        RecalculateByUpdateMode(b.Book());
    }
};

} // namespace

TEST(FindCommand, WalksInStorageOrderFromRightOfTheSelectionAndWraps) {
    SearchBook s;
    GridSelection sel{{0, 0, 0, 0}, 0, 0};
    std::vector<std::pair<uint16_t, uint32_t>> found;
    while (FindCommand(s.b.Book(), sel, "b", {})) found.emplace_back(sel.range.c1, sel.range.r1);
    const std::vector<std::pair<uint16_t, uint32_t>> expected = {
        {2, 1}, {kLastColumn, 4}, {0, 5}, {3, 6}, {5, 9}};
    EXPECT_EQ(found, expected);
    // Matching case passes over "Bx"; the selection stays on the last cell found.
    sel = {{0, 0, 0, 0}, 0, 0};
    int count = 0;
    while (FindCommand(s.b.Book(), sel, "B", {true, false})) ++count;
    EXPECT_EQ(count, 1);
    EXPECT_EQ(sel.range.c1, 5);
    // A selection of several cells is searched inside itself only.
    sel = {{0, 0, 3, 5}, 0, 0};
    EXPECT_FALSE(FindCommand(s.b.Book(), sel, "edge*", {false, true}));
    ASSERT_TRUE(FindCommand(s.b.Book(), sel, "next*", {false, true}));
    EXPECT_EQ(sel.range.r1, 5u);
}

TEST(FindCommand, FormulasAreSearchedAsTheUserEditsThem) {
    SearchBook s;
    GridSelection sel{{0, 0, 0, 0}, 0, 0};
    ASSERT_TRUE(FindCommand(s.b.Book(), sel, "C2&", {}));
    EXPECT_EQ(sel.range.c1, 3);
    EXPECT_EQ(sel.range.r1, 6u);
    sel = {{0, 0, 0, 0}, 0, 0};
    EXPECT_FALSE(FindCommand(s.b.Book(), sel, "R[-5]", {}));
}

TEST(ReplaceCommand, EntersNewTextsAsTypedAndUndoPutsBackTheWholeWorksheet) {
    SearchBook s;
    const WorkbookDump before = s.b.Dump();
    ReplaceCounts counts;
    ASSERT_EQ(ReplaceCommand(s.b.Book(), {{0, 0, 3, 3}, 0, 0}, "b", "xx", {}, false, &counts),
              CommandResult::kDone);
    EXPECT_EQ(counts.changed, 1u);
    EXPECT_EQ(ValueAt(s.ws.cells, 2, 1), "axxcxx");
    EXPECT_EQ(ValueAt(s.ws.cells, 0, 5), "next b"); // outside the selection
    ASSERT_EQ(ReplaceCommand(s.b.Book(), {{0, 0, 0, 0}, 0, 0}, "1", "3", {}, true, &counts),
              CommandResult::kDone);
    EXPECT_EQ(ValueAt(s.ws.cells, 0, 3), "32");
    EXPECT_TRUE(cell::IsNumber(FindCell(s.ws.cells, 3, 0)));
    ASSERT_EQ(ReplaceCommand(s.b.Book(), {{0, 0, 0, 0}, 0, 0}, "C2", "C4", {}, true, &counts),
              CommandResult::kDone);
    EXPECT_EQ(s.b.FormulaAt(s.ws, 3, 6), "=R[-3]C[-1]&\"b\"");
    // Replace All records the worksheet, so that its undo puts back cells outside the
    // selection too.
    for (int i = 0; i < 3; ++i) ASSERT_EQ(UndoCommand(s.b.Book(), nullptr), CommandResult::kDone);
    EXPECT_TRUE(SameWorkbook(before, s.b.Dump()));
}

// What Replace rewrites: a number in the text it was typed as, whatever its format shows;
// a spread array's elements never (its formula at the anchor is rewritten); a text replaced
// by nothing empties its cell, as typing nothing does.
TEST(ReplaceInRange, NumbersInFullArraysAtTheirAnchorAndNothingEmptiesTheCell) {
    SearchBook s;
    CWorkbook& book = s.b.Book();
    StyleTables& t = book.styles;
    const uint16_t twoDecimals = t.styleCount++;
    t.styles[twoDecimals] = StyleRecord{};
    t.styles[twoDecimals].numberFormat.kind = STD_STYLE_USER_DEFINED;
    std::strcpy(t.styles[twoDecimals].numberFormat.code, "0.00");
    CellCursor runs;
    PutFormatRun(s.ws.formats, {0, 0, 30, twoDecimals}, runs);
    s.b.Number(s.ws, 0, 30, 3.14159);
    s.b.Number(s.ws, 1, 31, 1);
    s.b.Number(s.ws, 1, 32, 2);
    s.b.Formula(s.ws, 0, 31, "=R[0]C[1]:R[1]C[1]*3"); // spreads over A32:A33: 3 and 6
    s.b.Text(s.ws, 2, 30, "(gone)");
    RecalculateByUpdateMode(book);
    ASSERT_EQ(ValueAt(s.ws.cells, 0, 32), "6");
    ReplaceCounts counts;
    ASSERT_TRUE(ReplaceInRange(book, s.ws, {}, "3", "4", {0, 30, 2, 30}, &counts));
    EXPECT_EQ(counts.changed, 1u);
    EXPECT_DOUBLE_EQ(cell::Number(FindCell(s.ws.cells, 30, 0)), 4.14159);
    ASSERT_TRUE(ReplaceInRange(book, s.ws, {}, "~*3", "*4", {0, 31, 0, 32}, &counts));
    EXPECT_EQ(counts.changed, 1u);
    EXPECT_EQ(s.b.FormulaAt(s.ws, 0, 31), "=RC[1]:R[1]C[1]*4");
    RecalculateByUpdateMode(book);
    EXPECT_EQ(ValueAt(s.ws.cells, 0, 31) + "|" + ValueAt(s.ws.cells, 0, 32), "4|8");
    // "6" and "8" were the array's own: a match in an element changes nothing.
    ASSERT_TRUE(ReplaceInRange(book, s.ws, {}, "8", "9", {0, 32, 0, 32}, &counts));
    EXPECT_EQ(counts.changed, 0u);
    EXPECT_EQ(ValueAt(s.ws.cells, 0, 32), "8");
    ASSERT_TRUE(ReplaceInRange(book, s.ws, {}, "(*)", "", {2, 30, 2, 30}, &counts));
    EXPECT_EQ(counts.changed, 1u);
    EXPECT_EQ(FindCell(s.ws.cells, 30, 2), nullptr);
    // A worksheet's only cell replaced by nothing leaves it as clearing does: no page either.
    CWorksheet& lone = *AsWorksheet(book.AppendTreeItem(TREE_TYPE_WORKSHEET, "Lone", 1));
    s.b.Text(lone, 0, 0, "(gone)");
    ASSERT_TRUE(ReplaceInRange(book, lone, {}, "(*)", "", {0, 0, 0, 0}, &counts));
    EXPECT_EQ(counts.changed, 1u);
    EXPECT_EQ(lone.cells.FirstPage(), nullptr);
}

TEST(ReplaceInRange, ATextPastTheCellLimitKeepsTheCell) {
    SearchBook s;
    s.b.Text(s.ws, 0, 20, std::string(4087, 'a'));
    s.b.Text(s.ws, 1, 20, "aaa");
    ReplaceCounts counts;
    ASSERT_TRUE(ReplaceInRange(s.b.Book(), s.ws, {}, "a", "aa", {0, 20, 1, 20}, &counts));
    EXPECT_EQ(counts.changed, 1u);
    EXPECT_EQ(counts.refused, 1u);
    EXPECT_EQ(counts.firstRefusal, CellInput::kTooLong);
    EXPECT_EQ(ValueAt(s.ws.cells, 0, 20).size(), 4087u);
    EXPECT_EQ(ValueAt(s.ws.cells, 1, 20), "aaaaaa");
    // A formula whose new text passes the longest a record holds keeps its text, and says
    // why; the reason of the first refusal stays when a later cell is refused for another.
    s.b.Formula(s.ws, 0, 21, "=1+1");
    s.b.Text(s.ws, 1, 21, std::string(4087, '1'));
    std::string grown = "1";
    while (grown.size() < 4075) grown += "+1"; // "=1+1" becomes 8,152 characters
    ASSERT_TRUE(ReplaceInRange(s.b.Book(), s.ws, {}, "1", grown, {0, 21, 1, 21}, &counts));
    EXPECT_EQ(std::tuple(counts.changed, counts.refused, counts.firstRefusal),
              std::tuple(0u, 2u, CellInput::kFormulaRefused));
    EXPECT_EQ(cell::Formula(FindCell(s.ws.cells, 21, 0)), "=1+1");
}

TEST(ReplaceInRange, RunningOutOfMemoryChangesNoCell) {
    SearchBook s;
    for (int i = 0; i < 400; ++i) s.b.Text(s.ws, uint16_t(i % 7), uint32_t(30 + i), "b and b");
    const WorkbookDump before = s.b.Dump();
    bool succeeded = false;
    for (long fail = 0; fail < 50 && !succeeded; ++fail) {
        s.b.Book().error = 0;
        SetAllocFailAfter(fail);
        succeeded = ReplaceInRange(s.b.Book(), s.ws, {}, "b", "bbbbbbbb", {0, 0, 10, 500});
        SetAllocFailAfter(-1);
        if (!succeeded) {
            EXPECT_EQ(s.b.Book().error, kErrorWorksheetMemory);
            ASSERT_TRUE(SameWorkbook(before, s.b.Dump())) << "failing after " << fail;
        }
    }
    EXPECT_TRUE(succeeded);
}

TEST(RememberSearchText, NewTextsGoOnTopOnceAndEmptyOnesNowhere) {
    std::vector<std::string> list;
    for (const char* text : {"b", "", "a", "b", "c"}) RememberSearchText(list, text);
    EXPECT_EQ(list, (std::vector<std::string>{"c", "a", "b"}));
    RememberSearchText(list, std::string(2000, 'x'));
    EXPECT_EQ(list.front().size(), kSearchTextSize - 1);
}

} // namespace vl
