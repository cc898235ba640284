// The references of the functions the peer has none of: first held against the worked
// examples of the functions' help, then every element of every generated case's result
// (the comparison itself reads only the first) against them.
#include "functions/bindall/bindall.h"
#include "tests/functions/bindall/peercases.h"
#include "tests/functions/bindall/peerexact.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <iostream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace vl::test {

namespace {

// The whole result of a formula: an array's elements by place (absent ones blank), or the
// one value.
Grid EvaluateWhole(TestBook& book, const std::string& formula) {
    CEvalContext& ctx = book.Ctx();
    std::string stored = book.Internal(formula, Place{19, 0});
    ctx.worksheetList = book.Book().tree.first;
    ctx.currentCells = &book.Sheet().cells;
    uint16_t kind = EvaluateFormulaText(ctx, stored, 19, 0);
    Grid g;
    if (kind != kTokenArray) {
        ctx.stringPool.ResetStringStack();
        ctx.scratch.ReleaseArrays();
        return ScalarGrid(Evaluate(book, formula, 19, 0));
    }
    const FormulaToken& v = ctx.values[1];
    // An empty array's last row lies before its first.
    g.columns = v.lastColumn == 0xFFFF ? 0 : std::size_t(v.lastColumn) + 1;
    g.rows = v.lastRow == 0xFFFFFFFF ? 0 : std::size_t(v.lastRow) + 1;
    g.cells.assign(std::min(g.rows * g.columns, kWholeElements), Answer{'b', 0, ""});
    Page* chain = ctx.scratch.arrayCount ? ctx.scratch.arrays[ctx.scratch.arrayCount - 1] : nullptr;
    CellCursor cursor;
    cursor.flags = kAdvance;
    cursor.page = chain;
    while (const uint8_t* record = chain ? NextCellRecord(cursor) : nullptr) {
        std::size_t at = std::size_t(cell::Row(record)) * g.columns + cell::Column(record);
        if (at < g.cells.size()) g.cells[at] = FromRecord(record);
    }
    ctx.scratch.ReleaseArrays();
    ctx.stringPool.ResetStringStack();
    return g;
}

std::string Shown(const Grid& g) {
    std::ostringstream out;
    out << g.rows << "x" << g.columns << " {";
    for (std::size_t i = 0; i < g.cells.size() && i < 12; ++i)
        out << (i ? ", " : "") << Describe(g.cells[i]);
    return out.str() + (g.cells.size() > 12 ? ", ...}" : "}");
}

// A singular vector may stand with either sign, but with one sign in all its elements.
bool OneSignPerColumn(const Grid& ours, const Grid& reference) {
    if (reference.alternatives.empty()) return true;
    for (std::size_t k = 0; k < ours.columns; ++k) {
        int sign = 0;
        for (std::size_t i = 0; i < ours.rows; ++i) {
            const Answer &a = ours.cells[i * ours.columns + k],
                         &r = reference.cells[i * ours.columns + k];
            if (a.kind != 'n' || r.kind != 'n' || std::fabs(r.number) < 1e-12) continue;
            const int here = (a.number < 0) == (r.number < 0) ? 1 : -1;
            if (sign && here != sign) return false;
            sign = here;
        }
    }
    return true;
}

} // namespace

// Each reference gives the help's worked examples (and the functions' rules at their edges).
TEST(FormulaReferences, ReferencesGiveTheWorkedExamples) {
    TestBook book;
    book.Sheet();
    struct Row {
        const char* formula;
        std::vector<Answer> want;
    } rows[] = {
        {"=MTXSVD({1,2;2,3;7,1},{1;2;3},,1)",
         {{'n', 0.37476459510358, ""}, {'n', 0.38418079096045, ""}}},
        {"=MTXSVD({1,2;2,3;7,1},,,6)",
         {{'n', 7.68114574786861, ""},
          {'n', 0, ""},
          {'n', 0, ""},
          {'n', 3, ""},
          {'n', 0, ""},
          {'n', 0, ""}}},
        // The help's {0.2; 0.6} meets the constraint but is no least-squares solution.
        {"=MTXLSC({1,2;2,3;7,1},{1;2;3},{1,3},{2},,1)",
         {{'n', 139.0 / 410, ""}, {'n', 227.0 / 410, ""}}},
        {"=MTXGAUSS({2,-1,3;1,3,1;4,1,1},,,,6)", {{'n', -32, ""}}},
        {"=MTXDIAG(3,{1,2,3})",
         {{'n', 1, ""},
          {'n', 0, ""},
          {'n', 0, ""},
          {'n', 0, ""},
          {'n', 2, ""},
          {'n', 0, ""},
          {'n', 0, ""},
          {'n', 0, ""},
          {'n', 3, ""}}},
        {"=MTXSERIES(5,1,0.1)",
         {{'n', 1, ""}, {'n', 1.1, ""}, {'n', 1.2, ""}, {'n', 1.3, ""}, {'n', 1.4, ""}}},
        {"=MTXSERIES(3,\"2005-12-01\",\"P1D\")",
         {{'t', 0, "2005-12-01"}, {'t', 0, "2005-12-02"}, {'t', 0, "2005-12-03"}}},
        {"=MTXSERIES(3,1,\"P1D\")", {{'e', 0, "#VALUE!"}}},
        {"=SORT({3;1;5;2;4},1,1)",
         {{'n', 2, ""}, {'n', 4, ""}, {'n', 1, ""}, {'n', 5, ""}, {'n', 3, ""}}},
        {"=SORT({3;1;5;2;4},1,0)",
         {{'n', 3, ""}, {'n', 5, ""}, {'n', 1, ""}, {'n', 4, ""}, {'n', 2, ""}}},
        {"=SORT({2,\"b\";2,\"a\";3,\"d\";3,\"c\";1,\"e\"},1,1,2,1)",
         {{'n', 5, ""}, {'n', 2, ""}, {'n', 1, ""}, {'n', 4, ""}, {'n', 3, ""}}},
        {"=SORT({3;1},1,1,2)", {{'e', 0, "#VALUE!"}}},
        {"=UNIQUE({2;3;1;2;5;3;1},1)", {{'n', 1, ""}, {'n', 2, ""}, {'n', 3, ""}, {'n', 5, ""}}},
        {"=UNIQUE({\"a\";\"b\";\"cd\";\"a\";\"cd\";\"b\";\"d\"},2)",
         {{'t', 0, "a"},
          {'n', 2, ""},
          {'t', 0, "b"},
          {'n', 2, ""},
          {'t', 0, "cd"},
          {'n', 2, ""},
          {'t', 0, "d"},
          {'n', 1, ""}}},
        {"=UNIQUE({\"a\";\"A\"},2)", {{'t', 0, "a"}, {'n', 2, ""}}},
        {"=UNIQUE({1,2},1)", {{'e', 0, "#VALUE!"}}},
        {"=DATEDIFF(\"2005-01-01\",\"2005-12-31\")", {{'t', 0, "P364D"}}},
        {"=DATEDIFF(\"2005-01-01T18:15:10\",\"2005-01-04T12:10:00\")", {{'t', 0, "P2DT17H54M50S"}}},
        {"=DATEDIFF(\"2005-01-04T12:10:00\",\"2005-01-01T18:15:10\")",
         {{'t', 0, "-P2DT17H54M50S"}}},
        {"=DATEDIFF(\"10:00:00\",\"11:00:00\")", {{'t', 0, "PT1H"}}},
        {"=EDATE2(\"2005-03-03\",\"-P30D\")", {{'t', 0, "2005-02-01"}}},
        {"=EDATE2(\"2005-08-10T15:27:36.10\",\"P10DT3H7M12.95S\")",
         {{'t', 0, "2005-08-20T18:34:49.050"}}},
        {"=EDATE2(\"13:34:22.330\",\"PT1H7M\")", {{'t', 0, "14:41:22.330"}}},
        {"=EDATE2(\"13:34:22\",\"P1D\")", {{'e', 0, "#VALUE!"}}},
        {"=EDATE2(\"2005-01-30\",\"P1M\")", {{'t', 0, "2005-02-28"}}},
        {"=EDATE2(\"2005-02-01\",\"P30D\")", {{'t', 0, "2005-03-03"}}},
        {"=EDATE2(\"2005-01-01Z\",\"P1D\")", {{'e', 0, "#VALUE!"}}},
    };
    for (const Row& row : rows) {
        Grid reference;
        ASSERT_TRUE(ReferenceOf(book, row.formula, reference)) << row.formula;
        ASSERT_EQ(reference.cells.size(), row.want.size())
            << row.formula << ": " << Shown(reference);
        for (std::size_t i = 0; i < row.want.size(); ++i) {
            Grid want = ScalarGrid(row.want[i]);
            want.scale = 1e-1; // the help's examples are written to 14 digits
            EXPECT_TRUE(MeetsReference(reference.cells[i], want, 0) ||
                        (row.want[i].kind == 'n' && reference.cells[i].kind == 'n' &&
                         std::abs(reference.cells[i].number - row.want[i].number) < 1e-13))
                << row.formula << " element " << i << ": " << Describe(reference.cells[i]);
        }
    }
}

// Every element of a generated case's result meets the reference where the first does (a
// first element that does not is the comparison's to list).
TEST(FormulaReferences, WholeResultsMeetTheReferences) {
    BindAllFunctions();
    PeerFile file = ReadPeerFile();
    TestBook book;
    book.Sheet();
    PutData(book, file.data);
    ASSERT_TRUE(book.Recalc());
    int judged = 0, elements = 0;
    std::map<std::string, std::array<int, 3>> perFunction; // cases, values, errors
    for (const PeerCase& c : file.cases) {
        Grid reference;
        if (c.kind != "function" || !ReferenceOf(book, c.formula, reference)) continue;
        ++perFunction[c.function][reference.cells.front().kind == 'e' ? 2 : 1];
        ++perFunction[c.function][0];
        Grid ours = EvaluateWhole(book, c.formula);
        if (ours.cells.empty() || !MeetsReference(ours.cells.front(), reference, 0)) continue;
        ++judged;
        EXPECT_TRUE(ours.rows == reference.rows && ours.columns == reference.columns)
            << c.formula << ": ours " << Shown(ours) << ", the reference " << Shown(reference);
        // A result past kWholeElements is judged by its shape and first element.
        if (ours.cells.size() != reference.cells.size() || reference.cells.size() >= kWholeElements)
            continue;
        for (std::size_t i = 0; i < ours.cells.size(); ++i, ++elements)
            EXPECT_TRUE(MeetsReference(ours.cells[i], reference, i))
                << c.formula << " element " << i << ": ours " << Describe(ours.cells[i])
                << ", the reference " << Describe(reference.cells[i]);
        EXPECT_TRUE(OneSignPerColumn(ours, reference)) << c.formula << ": ours " << Shown(ours);
    }
    std::cout << "  whole results judged: " << judged << " cases, " << elements << " elements\n";
    for (const auto& [function, counts] : perFunction)
        std::cout << "    " << function << ": " << counts[0] << " cases, " << counts[1]
                  << " values, " << counts[2] << " errors\n";
    EXPECT_GE(judged, 1000);
}

} // namespace vl::test
