#include "evaltestutil.h"
#include "model/container.h"
#include "platform/core/alloc.h"

#include <string>
#include <vector>

namespace vl {

using test::At;
using test::TestBook;

namespace {

// Every formula record of the store carries the calculated bit and no waiting bit.
void ExpectAllCalculated(const CCellStore& cells) {
    CellCursor cursor{kAdvance, cells.FirstPage(), 0};
    while (const uint8_t* r = NextCellRecord(cursor)) {
        if (!cell::IsFormula(r)) continue;
        EXPECT_TRUE(cell::ResultFlags(r) & kResultCalculated)
            << cell::Row(r) << "," << cell::Column(r);
        EXPECT_FALSE(cell::ResultFlags(r) & kResultWaiting) << cell::Row(r);
    }
}

// Gives a formula record a new text and keeps its head, as a rewrite of the text would.
void KeepHeadNewFormula(TestBook& book, const char* a1, std::string_view formula) {
    test::Place p = At(a1);
    const uint8_t* r = FindCell(book.Sheet().cells, p.row, p.column);
    ASSERT_NE(r, nullptr);
    FormulaHead head;
    head.flags = r[0];
    head.arrayWidth = cell::ArrayWidth(r);
    head.arrayHeight = cell::ArrayHeight(r);
    head.resultFlags = uint8_t(cell::ResultFlags(r) & ~kResultText);
    CellBuffer b;
    ASSERT_TRUE(MakeFormulaCell(b, p.column, p.row, head, book.Internal(formula, p)));
    CellCursor cursor;
    ASSERT_TRUE(book.Sheet().cells.PutCell(b.data(), cursor));
}

using Strings = std::vector<std::string>;

void Formulas(TestBook& book, std::initializer_list<std::pair<const char*, const char*>> cells) {
    for (const auto& [a1, formula] : cells) book.Formula(a1, formula);
}

Strings Shown(TestBook& book, std::initializer_list<const char*> places) {
    Strings out;
    for (const char* a1 : places) out.push_back(book.Shown(a1));
    return out;
}

uint32_t RecordCount(const CCellStore& cells) {
    uint32_t n = 0;
    CellCursor cursor{kAdvance, cells.FirstPage(), 0};
    while (NextCellRecord(cursor)) ++n;
    return n;
}

} // namespace

// Formulas that read cells below, above and in cycles: every cell of a cycle, and every
// cell that reads one, is circular.
TEST(RecalculateWorkbook, OrderOfCalculationAndCycles) {
    struct Case {
        std::vector<std::pair<const char*, const char*>> cells;
        std::initializer_list<const char*> places;
        Strings shown;
    };
    const Case cases[] = {
        {{{"A1", "=A2+1"}, {"A2", "=5"}}, {"A1", "A2"}, {"6", "5"}},
        {{{"A1", "=A2"}, {"A2", "=A1"}, {"C1", "=A1+1"}},
         {"A1", "A2", "C1"},
         {"#CIRC!", "#CIRC!", "#CIRC!"}},
        {{{"A1", "=A2+1"}, {"A2", "=A3+1"}, {"A3", "=A1+1"}, {"C1", "=A1+1"}},
         {"A1", "A2", "A3", "C1"},
         {"#CIRC!", "#CIRC!", "#CIRC!", "#CIRC!"}},
        {{{"A1", "=A1+1"}, {"C1", "=A1+1"}}, {"A1", "C1"}, {"#CIRC!", "#CIRC!"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.cells[0].second);
        TestBook book;
        for (auto& [place, formula] : c.cells) book.Formula(place, formula);
        ASSERT_TRUE(book.Recalc());
        EXPECT_EQ(Shown(book, c.places), c.shown);
        ExpectAllCalculated(book.Sheet().cells);
    }
}

TEST(RecalculateWorkbook, ChainsInBothDirections) {
    TestBook book;
    const int n = 300;
    book.Number("A1", 1);
    for (int i = 2; i <= n; ++i)
        book.Formula("A" + std::to_string(i), "=A" + std::to_string(i - 1) + "+1");
    book.Number("B" + std::to_string(n), 1);
    for (int i = n - 1; i >= 1; --i)
        book.Formula("B" + std::to_string(i), "=B" + std::to_string(i + 1) + "+1");
    ASSERT_TRUE(book.Recalc());
    EXPECT_EQ(Shown(book, {"A300", "B1", "B150"}), (Strings{"300", "300", "151"}));
    ExpectAllCalculated(book.Sheet().cells);
    // A second pass gives the same values.
    ASSERT_TRUE(book.Recalc());
    EXPECT_EQ(book.Shown("B1"), std::to_string(n));
}

TEST(RecalculateWorkbook, PrecedentsAcrossWorksheetsAndFolders) {
    TestBook book;
    CWorksheet& first = book.AddSheet("First");
    book.AddFolder("Data");
    CWorksheet& inner = book.AddSheet("Inner", 2);
    CWorksheet& last = book.AddSheet("Last");
    book.Formula(first, "A1", "='\\Data\\Inner'!A1*2");
    book.Formula(inner, "A1", "='\\Last'!A1+1");
    book.Formula(last, "A1", "=First!B1+10");
    book.Formula(first, "B1", "=3");
    ASSERT_TRUE(book.Recalc());
    EXPECT_EQ((Strings{book.Shown(first, "B1"), book.Shown(last, "A1"), book.Shown(inner, "A1"),
                       book.Shown(first, "A1")}),
              (Strings{"3", "13", "14", "28"}));
    for (CWorksheet* s : {&first, &inner, &last}) ExpectAllCalculated(s->cells);

    // Recalculating one worksheet still calculates the precedents it reads elsewhere.
    book.Formula(first, "B1", "=4");
    book.Formula(last, "A1", "=First!B1+20");
    ASSERT_TRUE(book.Recalc(&first.cells));
    EXPECT_EQ(book.Shown(first, "A1"), "50");
}

TEST(RecalculateWorkbook, BreakingACycleLeavesNoStaleCell) {
    TestBook book;
    Formulas(book, {{"A1", "=A5"}, {"A2", "=7"}, {"A3", "=A2*2"}, {"A4", "=A3+1"}, {"A5", "=A1"}});
    ASSERT_TRUE(book.Recalc());
    EXPECT_EQ(Shown(book, {"A1", "A2", "A3", "A4", "A5"}),
              (Strings{"#CIRC!", "7", "14", "15", "#CIRC!"}));
    ExpectAllCalculated(book.Sheet().cells);

    // The cycle broken: every cell of the former chain gets its value.
    book.Formula("A5", "=A4");
    ASSERT_TRUE(book.Recalc());
    EXPECT_EQ(Shown(book, {"A1", "A5"}), (Strings{"15", "15"}));
    ExpectAllCalculated(book.Sheet().cells);
}

TEST(RecalculateWorkbook, ResultsOfEveryKind) {
    TestBook book;
    Formulas(
        book,
        {{"A1", "=1+"}, {"A2", "=\"ab\""}, {"A3", "=1/0"}, {"A4", "=B9"}, {"A5", "=A2&\"c\""}});
    ASSERT_TRUE(book.Recalc());
    EXPECT_EQ(Shown(book, {"A1", "A2", "A3", "A4", "A5"}),
              (Strings{"#SYNTAX!", "ab", "#DIV/0!", "0", "abc"}));

    // A text of the same length is written in place, another length rebuilds the record,
    // and a number after a text drops the cached text.
    book.Formula("A2", "=\"cd\"");
    ASSERT_TRUE(book.Recalc());
    EXPECT_EQ(book.Shown("A5"), "cdc");
    book.Formula("A2", "=\"longer\"");
    ASSERT_TRUE(book.Recalc());
    EXPECT_EQ(book.Shown("A5"), "longerc");
    ASSERT_TRUE(book.Recalc());
    EXPECT_EQ(book.Shown("A2"), "longer");
    book.Formula("A2", "=2");
    ASSERT_TRUE(book.Recalc());
    EXPECT_EQ(Shown(book, {"A2", "A5"}), (Strings{"2", "2c"}));
    const uint8_t* r = FindCell(book.Sheet().cells, 1, 0);
    EXPECT_EQ(cell::ResultFlags(r) & (kResultText | kResultNumber), kResultNumber);
}

// A text result is kept when the record holds it beside its formula; one character more is
// #VALUE!, which a shorter text then replaces again. An array's first text alike.
TEST(RecalculateWorkbook, TextResultsAsLongAsTheRecordHolds) {
    TestBook book;
    book.Formula("A1", "=B1"); // "=RC[1]"
    book.Formula("A2", "=B1:C1");
    const std::size_t room = kPagePayload - kFormulaHead - 6 - 2;
    const uint8_t* anchor = nullptr;
    for (std::size_t length : {room, room + 1, std::size_t(3)}) {
        book.Text("B1", std::string(length, 't'));
        ASSERT_TRUE(book.Recalc());
        const std::string want = length <= room ? std::string(length, 't') : "#VALUE!";
        EXPECT_EQ(book.Shown("A1"), want) << length;
        anchor = FindCell(book.Sheet().cells, 0, 0);
        ASSERT_NE(anchor, nullptr);
        EXPECT_EQ(cell::Formula(anchor), "=RC[1]");
    }
    book.Text("B1", std::string(room - 14, 't')); // "=R[-1]C[1]:R[-1]C[2]" is 14 longer
    ASSERT_TRUE(book.Recalc());
    EXPECT_EQ(book.Shown("A2"), std::string(room - 14, 't'));
    book.Text("B1", std::string(room - 13, 't'));
    ASSERT_TRUE(book.Recalc());
    EXPECT_EQ(book.Shown("A2"), "#VALUE!");
}

TEST(RecalculateWorkbook, ArrayFormulasSpreadAndShrink) {
    TestBook book;
    book.Formula("B2", "={1,2;3,\"x\"}");
    book.Number("A1", 9);
    ASSERT_TRUE(book.Recalc());
    EXPECT_EQ(Shown(book, {"B2", "C2", "B3", "C3"}), (Strings{"1", "2", "3", "x"}));
    const uint8_t* anchor = FindCell(book.Sheet().cells, 1, 1);
    EXPECT_TRUE(cell::ResultFlags(anchor) & kResultArray);
    EXPECT_EQ(std::pair(cell::ArrayWidth(anchor), cell::ArrayHeight(anchor)),
              std::pair(uint16_t(2), 2u));
    EXPECT_TRUE(FindCell(book.Sheet().cells, 2, 2)[0] & kCellArrayElement);
    EXPECT_EQ(RecordCount(book.Sheet().cells), 5u);

    // Recalculated again the area is rewritten over its own elements.
    ASSERT_TRUE(book.Recalc());
    EXPECT_EQ(RecordCount(book.Sheet().cells), 5u);

    // A new formula text in the same record keeps the area it spread over.
    KeepHeadNewFormula(book, "B2", "={5;6;7}");
    ASSERT_TRUE(book.Recalc());
    EXPECT_EQ(book.Shown("B4"), "7");
    EXPECT_EQ(FindCell(book.Sheet().cells, 1, 2), nullptr); // C2 gone
    EXPECT_EQ(FindCell(book.Sheet().cells, 2, 2), nullptr); // C3 gone
    EXPECT_EQ(RecordCount(book.Sheet().cells), 4u);

    // A plain result ends the area.
    KeepHeadNewFormula(book, "B2", "=8");
    ASSERT_TRUE(book.Recalc());
    EXPECT_EQ(book.Shown("B2"), "8");
    EXPECT_EQ(RecordCount(book.Sheet().cells), 2u);
    EXPECT_FALSE(cell::ResultFlags(FindCell(book.Sheet().cells, 1, 1)) & kResultArray);
}

TEST(RecalculateWorkbook, FolderArrayShrinksWhenAnItemGoes) {
    TestBook book;
    CWorksheet& main = book.AddSheet("Main");
    book.AddFolder("F");
    for (const char* name : {"S1", "S2", "S3"})
        book.Number(book.AddSheet(name, 2), "A1", name[1] - '0');
    book.Formula(main, "B1", "='\\F'!A1");
    ASSERT_TRUE(book.Recalc());
    EXPECT_EQ(book.Shown(main, "B3"), "3");
    CTreeItem* s3 = book.Book().tree.first;
    while (std::string_view(s3->name) != "S3") s3 = s3->next;
    ErrorCode error = kErrorNone;
    ASSERT_TRUE(DetachTreeItem(book.Book().tree, s3, error));
    TreeChain detached(s3);
    ASSERT_TRUE(book.Recalc());
    EXPECT_EQ(book.Shown(main, "B2"), "2");
    EXPECT_EQ(FindCell(main.cells, 2, 1), nullptr);
    EXPECT_EQ(cell::ArrayHeight(FindCell(main.cells, 0, 1)), 2u);
}

TEST(RecalculateWorkbook, ArrayOverAValueIsFillAndLeavesCellsAlone) {
    TestBook book;
    book.Formula("A1", "=B5:C6");
    book.Number("B5", 1);
    book.Number("C6", 2);
    book.Text("B2", "keep");
    ASSERT_TRUE(book.Recalc());
    EXPECT_EQ(Shown(book, {"A1", "B2"}), (Strings{"#FILL!", "keep"}));
    EXPECT_EQ(RecordCount(book.Sheet().cells), 4u);

    // An area past the last column is #REF!.
    book.Formula("BZS1", "={1,2}");
    ASSERT_TRUE(book.Recalc());
    EXPECT_EQ(book.Shown("BZS1"), "#REF!");
}

TEST(RecalculateWorkbook, ChartRefreshFailureIsReported) {
    TestBook book;
    CWorksheet& sheet = book.Sheet();
    sheet.firstContainer = NewBlockObject<CContainer>().release();
    EXPECT_TRUE(book.Recalc());
    SetChartRefresh([](CWorkbook&, CTreeItem&, CContainer&) { return false; });
    EXPECT_FALSE(book.Recalc());
    SetChartRefresh(nullptr);
    EXPECT_TRUE(book.Recalc());
}

TEST(RecalculateWorkbook, ResultThatCannotBeStoredIsMemoryError) {
    TestBook book;
    Formulas(book, {{"A1", "=\"a\""}, {"A2", "=A1&\"b\""}});
    // No spare page and no memory: the rebuilt text records cannot be stored.
    book.Sheet().cells.PurgeFreePages();
    SetAllocFailAfter(0);
    bool refreshed = book.Recalc();
    SetAllocFailAfter(-1);
    EXPECT_TRUE(refreshed);
    EXPECT_EQ(Shown(book, {"A1", "A2"}), (Strings{"#MEMORY!", "#MEMORY!"}));
    ASSERT_TRUE(book.Recalc());
    EXPECT_EQ(book.Shown("A2"), "ab");
}

} // namespace vl

namespace vl::test {

// Automation servers that timed out are skipped by the number of the recalculation: two
// workbooks must never share one.
TEST(RecalculateWorkbook, EachRecalculationHasANumberOfItsOwn) {
    TestBook first, second;
    first.Sheet();
    second.Sheet();
    ASSERT_TRUE(first.Recalc());
    const uint32_t a = first.Ctx().recalculation;
    ASSERT_TRUE(second.Recalc());
    const uint32_t b = second.Ctx().recalculation;
    ASSERT_TRUE(first.Recalc());
    EXPECT_NE(a, 0u);
    EXPECT_NE(b, a);
    EXPECT_NE(first.Ctx().recalculation, a);
    EXPECT_NE(first.Ctx().recalculation, b);
}

} // namespace vl::test
