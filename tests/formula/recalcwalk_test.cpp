// The recalculation walk with its own work stack: compared with the walk it replaced on
// random workbooks, cycles entered from every side, the evaluations it spends, and a chain
// as tall as a worksheet.
#include "evaltestutil.h"
#include "formula/functable.h"
#include "formula/operands.h"
#include "recalcwalk_oracle.h"
#include "tests/common/shards.h"

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace vl {

using test::TestBook;

namespace {

long gSumCalls = 0;
long gSignCalls = 0;

// The one-range SUM of the function library, which skips error and text cells.
void TestSum(CEvalContext& ctx) {
    ++gSumCalls;
    if (!CheckArgumentCount(ctx, 1, 1)) return;
    CRangeWalk walk(ctx);
    FormulaError error = walk.Take(Argument(ctx, 0));
    double total = 0;
    FormulaToken value;
    while (walk.NextValue(value)) {
        double x = 0;
        if (GetNumberArg(ctx, value, x) == 0) total += x;
    }
    ReturnNumber(ctx, total, error);
}

// Its argument, counting the calls.
void TestSign(CEvalContext& ctx) {
    ++gSignCalls;
    if (!CheckArgumentCount(ctx, 1, 1)) return;
    double x = 0;
    FormulaError error = GetNumberArg(ctx, Argument(ctx, 0), x);
    ReturnNumber(ctx, x, error);
}

BuiltinImpl Bound(const char* name) {
    uint16_t index = 0;
    std::size_t end = 0;
    return FindBuiltinFunction(name, index, end) ? GetBuiltinFunction(index)->implementation
                                                 : nullptr;
}

class RecalcWalk : public ::testing::Test {
protected:
    void SetUp() override {
        BindBuiltinFunction("SUM", &TestSum);
        BindBuiltinFunction("SIGN", &TestSign);
    }
    void TearDown() override {
        BindBuiltinFunction("SUM", sum_);
        BindBuiltinFunction("SIGN", sign_);
    }

private:
    BuiltinImpl sum_ = Bound("SUM(");
    BuiltinImpl sign_ = Bound("SIGN(");
};

// Every record of every worksheet, with the whole state a pass leaves in it.
std::vector<std::string> Dump(CWorkbook& book) {
    std::vector<std::string> out;
    for (CTreeItem* item = book.tree.first; item; item = item->next) {
        CWorksheet* sheet = AsWorksheet(item);
        if (!sheet) continue;
        CellCursor cursor{kAdvance, sheet->cells.FirstPage(), 0};
        while (const uint8_t* r = NextCellRecord(cursor)) {
            char head[160];
            std::snprintf(head, sizeof head, "%s %u,%u f%02x ", item->name, cell::Row(r),
                          cell::Column(r), r[0]);
            std::string line = head;
            if (cell::IsFormula(r)) {
                std::snprintf(head, sizeof head, "v%u c%02x w%u,%u,%u a%ux%u ", r[13], r[14],
                              cell::WaitingWorksheet(r), cell::WaitingRow(r),
                              cell::WaitingColumn(r), cell::ArrayWidth(r), cell::ArrayHeight(r));
                line += head;
                line += cell::Formula(r);
                line += " ";
            }
            line += test::ShownRecord(r);
            out.push_back(line);
        }
    }
    return out;
}

// A random workbook: two worksheets, a folder of two, one more after it; numbers, texts,
// errors, references up and down and across worksheets, sums over blocks of formulas,
// array formulas and folder ranges, with cycles wherever the references close one.
void BuildRandom(TestBook& book, uint32_t seed) {
    std::mt19937 rng(seed);
    auto pick = [&](uint32_t n) { return uint32_t(rng() % n); };
    CWorksheet* sheets[] = {&book.AddSheet("Alpha"), &book.AddSheet("Bravo"), nullptr, nullptr,
                            nullptr};
    book.AddFolder("Fold");
    sheets[2] = &book.AddSheet("Inner", 2);
    sheets[3] = &book.AddSheet("Under", 2);
    sheets[4] = &book.AddSheet("Omega");
    const char* prefixes[] = {"Alpha!", "Bravo!", "'\\Fold\\Inner'!", "'\\Fold\\Under'!", "Omega!"};
    // Every fourth workbook has rows wide enough for the row index to mark places in them.
    const uint32_t rows = 4 + pick(10), columns = seed % 4 == 3 ? 12 + pick(14) : 2 + pick(4);
    auto cellName = [&](uint32_t column, uint32_t row) {
        return std::string(1, char('A' + column)) + std::to_string(row + 1);
    };
    // A third of the workbooks read only rows below, a third only rows above (cycles then
    // close only across worksheets), the rest anywhere.
    const uint32_t direction = seed % 3;
    uint32_t here = 0;
    auto anyRow = [&] {
        if (direction == 0 && here + 1 < rows) return here + 1 + pick(rows - here - 1);
        if (direction == 1 && here > 0) return pick(here);
        return pick(rows);
    };
    auto anyCell = [&] { return cellName(pick(columns), anyRow()); };
    auto block = [&] {
        uint32_t c1 = pick(columns), c2 = pick(columns), r1 = anyRow(), r2 = anyRow();
        return cellName(std::min(c1, c2), std::min(r1, r2)) + ":" +
               cellName(std::max(c1, c2), std::max(r1, r2));
    };
    auto other = [&] { return std::string(prefixes[pick(5)]); };
    for (CWorksheet* sheet : sheets)
        for (uint32_t row = 0; row < rows; ++row)
            for (uint32_t column = 0; column < columns; ++column) {
                const std::string at = cellName(column, row);
                here = row;
                const uint32_t kind = pick(20);
                if (kind < 5) continue;
                if (kind < 8) {
                    book.Number(*sheet, at, double(pick(9)));
                    continue;
                }
                if (kind == 8) {
                    book.Text(*sheet, at, "t");
                    continue;
                }
                std::string f;
                switch (pick(9)) {
                case 0:
                    f = "=" + anyCell() + "+" + anyCell();
                    break;
                case 1:
                    f = "=" + other() + anyCell() + "*2";
                    break;
                case 2:
                    f = "=SUM(" + block() + ")";
                    break;
                case 3:
                    f = "=SUM(" + other() + block() + ")+" + anyCell();
                    break;
                case 4:
                    f = "=" + block();
                    break;
                case 5:
                    f = "='\\Fold'!" + anyCell();
                    break;
                case 6:
                    f = "=" + anyCell() + "/" + std::to_string(pick(2));
                    break;
                case 7:
                    f = "=" + anyCell() + "&\"x\"";
                    break;
                default:
                    f = "={1,2;3,4}";
                    break;
                }
                book.Formula(*sheet, at, f);
            }
}

void ExpectAllCalculated(CWorkbook& book) {
    for (CTreeItem* item = book.tree.first; item; item = item->next) {
        CWorksheet* sheet = AsWorksheet(item);
        if (!sheet) continue;
        CellCursor cursor{kAdvance, sheet->cells.FirstPage(), 0};
        while (const uint8_t* r = NextCellRecord(cursor)) {
            if (!cell::IsFormula(r)) continue;
            EXPECT_EQ(cell::ResultFlags(r) & (kResultCalculated | kResultWaiting),
                      kResultCalculated)
                << item->name << " " << cell::Row(r) << "," << cell::Column(r);
        }
    }
}

constexpr int kWalkShards = 4;
class RecalcWalkRandom : public RecalcWalk, public ::testing::WithParamInterface<int> {};

} // namespace

// Two passes over the whole workbook and one over a single worksheet give, record for
// record, what the former walk gives.
TEST_P(RecalcWalkRandom, SameResultsAsTheFormerWalkOnRandomWorkbooks) {
    for (uint32_t seed = 1; seed <= 400; ++seed) {
        if (!shards::Takes(GetParam(), kWalkShards, seed)) continue;
        SCOPED_TRACE(seed);
        TestBook walked, oracle;
        BuildRandom(walked, seed);
        BuildRandom(oracle, seed);
        ASSERT_EQ(Dump(walked.Book()), Dump(oracle.Book()));
        for (int pass = 0; pass < 3; ++pass) {
            CCellStore* only =
                pass == 2 ? &AsWorksheet(walked.Book().tree.first->next)->cells : nullptr;
            CCellStore* oracleOnly =
                pass == 2 ? &AsWorksheet(oracle.Book().tree.first->next)->cells : nullptr;
            walked.Recalc(only);
            oracle::Recalculate(oracle.Book(), oracle.Ctx(), oracleOnly);
            ASSERT_EQ(Dump(walked.Book()), Dump(oracle.Book())) << "pass " << pass;
        }
    }
}

VORLANE_SHARDS(RecalcWalkRandom, kWalkShards);

// A cell that reads a cycle it is not part of is circular too, also when it held a value
// before; a sum that skips a cycle's errors gives its cells their values.
TEST_F(RecalcWalk, CellsOutsideACycle) {
    TestBook book;
    book.Formula("C1", "=D1+1");
    book.Formula("D1", "=99");
    book.Formula("E1", "=D1+1");
    ASSERT_TRUE(book.Recalc());
    ASSERT_EQ(book.Shown("C1"), "100");
    book.Formula("D1", "=E1+1");
    for (int pass = 0; pass < 2; ++pass) {
        ASSERT_TRUE(book.Recalc());
        EXPECT_EQ((std::vector<std::string>{book.Shown("C1"), book.Shown("D1"), book.Shown("E1")}),
                  (std::vector<std::string>(3, "#CIRC!")));
        ExpectAllCalculated(book.Book());
    }

    TestBook sums;
    for (auto [at, f] : {std::pair("A1", "=C3+1"),
                         {"B2", "=C3*2"},
                         {"C3", "=SUM(E5:E6)+1"},
                         {"E5", "=F5"},
                         {"F5", "=E5"}})
        sums.Formula(at, f);
    ASSERT_TRUE(sums.Recalc());
    EXPECT_EQ((std::vector<std::string>{sums.Shown("A1"), sums.Shown("B2"), sums.Shown("C3"),
                                        sums.Shown("E5"), sums.Shown("F5")}),
              (std::vector<std::string>{"2", "2", "1", "#CIRC!", "#CIRC!"}));
    ExpectAllCalculated(sums.Book());
}

// A cycle of one, two or three cells (in storage order or against it) read at each of its
// cells by a formula before it and by one after it: every cell of the cycle and every "+"
// reader is circular, a SUM reader skips the error. Before the cycle closes, the readers
// hold values, so a stale one would show.
TEST_F(RecalcWalk, CyclesEnteredAtEveryCellFromBeforeAndAfter) {
    const std::vector<std::vector<const char*>> cycles = {
        {"D10"}, {"D10", "D11"}, {"D10", "D11", "D12"}, {"D12", "D11", "D10"}};
    for (const auto& cycle : cycles)
        for (std::size_t at = 0; at < cycle.size(); ++at)
            for (const char* reader : {"A1", "A30"})
                for (bool sum : {false, true}) {
                    SCOPED_TRACE(std::string(cycle[0]) + " len " + std::to_string(cycle.size()) +
                                 " at " + std::to_string(at) + " " + reader +
                                 (sum ? " sum" : " plus"));
                    TestBook book;
                    for (std::size_t i = 0; i < cycle.size(); ++i) book.Formula(cycle[i], "=5");
                    const std::string read = cycle[at];
                    book.Formula(reader,
                                 sum ? "=SUM(" + read + ":" + read + ")+1" : "=" + read + "+1");
                    ASSERT_TRUE(book.Recalc());
                    ASSERT_EQ(book.Shown(reader), "6");
                    for (std::size_t i = 0; i < cycle.size(); ++i)
                        book.Formula(cycle[i],
                                     "=" + std::string(cycle[(i + 1) % cycle.size()]) + "+1");
                    ASSERT_TRUE(book.Recalc());
                    for (const char* c : cycle) EXPECT_EQ(book.Shown(c), "#CIRC!") << c;
                    EXPECT_EQ(book.Shown(reader), sum ? "1" : "#CIRC!");
                    ExpectAllCalculated(book.Book());
                }
}

// A total above a thousand formulas: each of them is evaluated once, the total twice (once
// to learn what it reads). The former walk evaluated the block once per formula in it.
TEST_F(RecalcWalk, EveryFormulaEvaluatedOnce) {
    struct Case {
        const char* total;
        const char* place;
        long sums;
    };
    for (const Case& c : {Case{"=SUM(B2:B1001)", "B1", 2}, Case{"=SUM(B1:B1000)", "B1001", 1}}) {
        SCOPED_TRACE(c.place);
        TestBook book;
        CCellStore& cells = book.Sheet().cells;
        CellCursor cursor;
        const uint32_t first = std::string_view(c.place) == "B1" ? 1 : 0;
        for (uint32_t r = first; r < first + 1000; ++r) {
            CellBuffer b;
            MakeNumberCell(b, 0, r, r);
            ASSERT_TRUE(cells.PutCell(b.data(), cursor));
            MakeFormulaCell(b, 1, r, FormulaHead{}, "=SIGN(RC[-1])");
            ASSERT_TRUE(cells.PutCell(b.data(), cursor));
        }
        book.Formula(c.place, c.total);
        gSumCalls = gSignCalls = 0;
        ASSERT_TRUE(book.Recalc());
        EXPECT_EQ(book.Shown(c.place), std::to_string(1000 * (first + first + 999) / 2));
        EXPECT_EQ(gSignCalls, 1000);
        EXPECT_EQ(gSumCalls, c.sums);
    }
}

// Each of 2,097,152 formulas reads the row below: the chain is as tall as a worksheet
// and its waiting cells do not live on the thread's stack.
TEST(RecalcWalkChain, ColumnAsTallAsAWorksheet) {
    TestBook book;
    CCellStore& cells = book.Sheet().cells;
    CellCursor cursor;
    CellBuffer b;
    for (uint32_t r = 0; r + 1 < kMaxRows; ++r) {
        MakeFormulaCell(b, 0, r, FormulaHead{}, "=R[1]C+1");
        ASSERT_TRUE(cells.PutCell(b.data(), cursor));
    }
    MakeFormulaCell(b, 0, kLastRow, FormulaHead{}, "=1");
    ASSERT_TRUE(cells.PutCell(b.data(), cursor));
    ASSERT_TRUE(book.Recalc());
    EXPECT_EQ(book.Shown("A1"), "2097152");
    EXPECT_EQ(book.Shown("A1048576"), "1048577");
    EXPECT_EQ(book.Shown("A2097152"), "1");
    const uint8_t* top = FindCell(cells, 0, 0);
    EXPECT_EQ(cell::ResultFlags(top) & (kResultCalculated | kResultWaiting), kResultCalculated);
    EXPECT_EQ(cell::Visits(FindCell(cells, 1, 0)), 0);
}

} // namespace vl
