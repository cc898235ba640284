// The references of the functions the peer has none of: each meets the answer its definition
// (or the help's worked example) gives and refuses one beside it, so that the comparison's
// judgement can fail; a reference that works the whole result out meets the example element
// by element, and every element of every generated case's result (the comparison itself
// reads only the first) where the first meets it.
#include "functions/bindall/bindall.h"
#include "tests/functions/bindall/judgedrows.h"
#include "tests/functions/bindall/peercases.h"
#include "tests/functions/bindall/peerreferences.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace vl::test {

namespace {

using reference::ScalarGrid;

Answer Num(double x) {
    return Answer{'n', x, ""};
}

Answer Txt(const char* text) {
    return Answer{'t', 0, text};
}

Answer Err(const char* text) {
    return Answer{'e', 0, text};
}

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

// The help's examples are written to 14 digits.
bool MeetsExample(const Answer& element, const Answer& want) {
    Grid example;
    example.cells.push_back(want);
    example.scale = 1e-1;
    return MeetsReference(element, example, 0) || (want.kind == 'n' && element.kind == 'n' &&
                                                   std::abs(element.number - want.number) < 1e-13);
}

// The comparison's data block in the book, recalculated.
bool OpenPeerData(TestBook& book, PeerFile& file) {
    BindAllFunctions();
    file = ReadPeerFile();
    book.Sheet();
    PutData(book, file.data);
    return book.Recalc();
}

} // namespace

TEST(PeerReferences, MeetTheDefinitionAndRefuseWhatIsBesideIt) {
    PeerFile file;
    TestBook book;
    ASSERT_TRUE(OpenPeerData(book, file));
    // A reference that works the whole result out is held to every element of its example.
    struct Row {
        const char* function;
        const char* formula;
        Answer right, wrong;
        std::vector<Answer> rest = {}; // a whole result's elements after the first
    } rows[] = {
        // Worked examples: LPROG {1; 0; 3}, LPROGINT {4; 0; 2}, LPROGBIN {1; 4; 1}, QPROG {0; 5}.
        {"LProg", "=INDEX(LPROG({2,1,1;1,1,3},{1;0},{5;10},{4;2;2},1,,),3)", Num(3), Num(2.5)},
        {"LProg", "=LPROG({1,1;1,1},{1;-1},{2;5},{1;1},1,,)", Err("#NULL!"), Err("#VALUE!")},
        {"LProg", "=LPROG({1,-1},{1},{1},{1;1},1,,)", Err("#VALUE!"), Err("#NULL!")},
        {"LProg", "=LPROG({1,1;1,3},{1},{4;6},{1;2},1,,)", Err("#VALUE!"), Num(0)},
        {"LProg", "=LPROG({2,1,1;1,1,3},{1;0},{5;10},{4;2;2},1/0,,)", Err("#DIV/0!"),
         Err("#VALUE!")},
        {"LProgInt", "=INDEX(LPROGINT({2.5,1.5,1;1,1.5,3},{1;0},{15;10},{1;1;2},{1;0;1},1,,),1)",
         Num(4), Num(4.5)},
        {"LProgInt", "=LPROGINT({2},{0},{3},{1},{1},1,,)", Err("#NULL!"), Num(1.5)},
        {"LProgBin", "=INDEX(LPROGBIN({2.5,1.5,1;1,1.5,3},{1;0},{15;10},{1;1;2},{1;0;1},1,,),2)",
         Num(4), Num(3)},
        {"QProg", "=INDEX(QPROG({1,2;1,1},{1;1},{10;9},{10;25},{10,2;2,1},1,),2)", Num(5),
         Num(4.9)},
        {"QProg", "=INDEX(QPROG({1},{1},{4},{4},{1},1,),1)", Num(2), Num(4)},
        // H1 = A1 + G1 (G1 = 2): its root -2; AF4 = AF2^3 - AF2 - 1: 1.32471795724475.
        {"root", "=ROOT(H1,A1,-10,10,)", Num(-2), Num(-2.0001)},
        {"root", "=ROOT(AF4,AF2,1,2,)", Num(1.324717957244746), Num(1.3247179572)},
        {"root", "=ROOT(H1,A1,2,1,)", Err("#NUM!"), Err("#VALUE!")},
        {"root", "=ROOT(H1,A1,0,10,)", Err("#VALUE!"), Num(0)},
        {"root", "=ROOT(H1,A1:A2,-10,10,)", Err("#REF!"), Num(-2)},
        // AF1 = (AF2 - 3)^2 + (AF3 + 1)^2 + 2: lowest 2 at (3, -1); H1 has no lowest point.
        {"minSimplex", "=MINSIMPLEX(AF1,AF2:AF3,{1;1},,,,2)", Num(2), Num(2.01)},
        {"minSimplex", "=INDEX(MINSIMPLEX(AF1,AF2:AF3,{1;1},,,,1),2)", Num(-1), Num(-0.99)},
        {"minSimplex", "=INDEX(MINSIMPLEX(AF1,AF2:AF3,{1;0},,,,1),2)", Num(0.25), Num(-1)},
        {"minSimplex", "=MINSIMPLEX(H1,A1:A1,{1},,,,1)", Err("#NUM!"), Num(-1e300)},
        {"minSimplex", "=MINSIMPLEX(AF1,AF2:AF3,{1;1;1},,,,1)", Err("#VALUE!"), Err("#REF!")},
        // AF1 does not read itself: flat along its own value, the search ends where it starts.
        {"minSimplex", "=MINSIMPLEX(AF1,AF1:AF1,{1},,,,1)", Num(9.8125), Err("#NUM!")},
        {"minSimplex", "=MINSIMPLEX(AF1,AF1:AF1,{1},,,,3)", Num(1), Num(2)},
        // MINMC's best of 1,000 points of an increasing line lies near the lower end.
        {"minMC", "=MINMC(H1,A1:A1,{1},-4,6,1000)", Num(-3.99), Num(-3.5)},
        {"minMC", "=INDEX(MINMC(AF1,AF2:AF3,{1;0},0,10,500),2)", Num(0.25), Num(3)},
        {"minMC", "=MINMC(AF1,AF2:AF3,{1;1},5,5,100)", Err("#NUM!"), Num(5)},
        // A straight line through five points: x = {14.0638...; 1.4979...}.
        {"polyReg",
         "=INDEX(POLYREG({1;2;3;4;5},{1.1;1.2;1.3;1.4;1.5},{0.2;0.2;0.2;0.2;0.23},4,1),2)",
         Num(1.497878733250143), Num(1.4979)},
        {"polyReg", "=POLYREG({1;2;3;4;5},{1.1;1.2;1.3;1.4;1.5},{0.2;0.2;0.2;0.2;0.23},6,1)",
         Err("#VALUE!"), Err("#NUM!")},
        // f_1 = 1, f_2 = 1 + t, f_3 = t + t^2 at t = 1.5: 1 + 2 x 2.5 + 3 x 3.75.
        {"polyPoints",
         "=INDEX(POLYPOINTS({1;2;3},{1,0,0;1,1,0;0,1,1},{0;0;0},5,3,{1.5;-2;2.5},0.85),1,1)",
         Num(17.25), Num(17.3)},
        {"polyPoints",
         "=INDEX(POLYPOINTS({1;2;3},{1,0,0;1,1,0;0,1,1},{0;0;0},5,3,{1.5;-2;2.5},0),1,1)",
         Err("#NUM!"), Num(17.25)},
        // The worked series: the first row (35.071, 10.531), the fifth trend 7.5.
        {"timeSeries", "=INDEX(TIMESERIES({11;8;7;2;1;3;8;4},2,3,0.8),5,1)", Num(7.5), Num(7.6)},
        // A trend is met to 1e-9 relative, not to 1e-5.
        {"timeSeries", "=INDEX(TIMESERIES({11;8;7;2;1;3;8;4},2,3,0.8),5,1)", Num(7.5 + 7.5e-10),
         Num(7.5 + 7.5e-5)},
        {"timeSeries", "=INDEX(TIMESERIES({11;8;7;2;1;3;8;4},5,2,0.8),1,1)", Err("#VALUE!"),
         Num(7.8)},
        {"rtd", "=RTD(\"Test.Functions\",,\"Value\")", Err("#REF!"), Err("#VALUE!")},
        {"rtd", "=RTD(\"Test.Functions\",,REPT(\"a\",1023))", Err("#REF!"), Err("#VALUE!")},
        {"rtd", "=RTD(\"Test.Functions\",,REPT(\"a\",1024))", Err("#VALUE!"), Err("#REF!")},
        {"rtd", "=RTD(\"Test.Functions\",,1/0)", Err("#DIV/0!"), Err("#REF!")},
        {"udf", "=UDF(\"Test.Functions\",,\"Add\",1,2)", Err("#REF!"), Num(3)},
        {"udf", "=UDF(\"Test.Functions\",,\"Add\",1/0,NA())", Err("#N/A!"), Err("#DIV/0!")},
        {"mtxSVD",
         "=MTXSVD({1,2;2,3;7,1},{1;2;3},,1)",
         Num(0.37476459510358),
         Num(0.3748),
         {Num(0.38418079096045)}},
        {"mtxSVD",
         "=MTXSVD({1,2;2,3;7,1},,,6)",
         Num(7.68114574786861),
         Num(7.6811),
         {Num(0), Num(0), Num(3), Num(0), Num(0)}},
        // The help's {0.2; 0.6} meets the constraint but is no least-squares solution.
        {"mtxLSC",
         "=MTXLSC({1,2;2,3;7,1},{1;2;3},{1,3},{2},,1)",
         Num(139.0 / 410),
         Num(0.2),
         {Num(227.0 / 410)}},
        {"mtxGauss", "=MTXGAUSS({2,-1,3;1,3,1;4,1,1},,,,6)", Num(-32), Num(32)},
        {"mtxDiag",
         "=MTXDIAG(3,{1,2,3})",
         Num(1),
         Num(3),
         {Num(0), Num(0), Num(0), Num(2), Num(0), Num(0), Num(0), Num(3)}},
        {"mtxSeries",
         "=MTXSERIES(5,1,0.1)",
         Num(1),
         Num(1.1),
         {Num(1.1), Num(1.2), Num(1.3), Num(1.4)}},
        {"mtxSeries",
         "=MTXSERIES(3,\"2005-12-01\",\"P1D\")",
         Txt("2005-12-01"),
         Txt("2005-12-02"),
         {Txt("2005-12-02"), Txt("2005-12-03")}},
        {"mtxSeries", "=MTXSERIES(3,1,\"P1D\")", Err("#VALUE!"), Num(1)},
        {"sort", "=SORT({3;1;5;2;4},1,1)", Num(2), Num(1), {Num(4), Num(1), Num(5), Num(3)}},
        {"sort", "=SORT({3;1;5;2;4},1,0)", Num(3), Num(2), {Num(5), Num(1), Num(4), Num(2)}},
        {"sort",
         "=SORT({2,\"b\";2,\"a\";3,\"d\";3,\"c\";1,\"e\"},1,1,2,1)",
         Num(5),
         Num(1),
         {Num(2), Num(1), Num(4), Num(3)}},
        {"sort", "=SORT({3;1},1,1,2)", Err("#VALUE!"), Err("#SYNTAX!")},
        {"unique", "=UNIQUE({2;3;1;2;5;3;1},1)", Num(1), Num(2), {Num(2), Num(3), Num(5)}},
        {"unique",
         "=UNIQUE({\"a\";\"b\";\"cd\";\"a\";\"cd\";\"b\";\"d\"},2)",
         Txt("a"),
         Txt("b"),
         {Num(2), Txt("b"), Num(2), Txt("cd"), Num(2), Txt("d"), Num(1)}},
        {"unique", "=UNIQUE({\"a\";\"A\"},2)", Txt("a"), Txt("A"), {Num(2)}},
        {"unique", "=UNIQUE({1,2},1)", Err("#VALUE!"), Num(1)},
        {"dateDiff", "=DATEDIFF(\"2005-01-01\",\"2005-12-31\")", Txt("P364D"), Txt("P365D")},
        {"dateDiff", "=DATEDIFF(\"2005-01-01T18:15:10\",\"2005-01-04T12:10:00\")",
         Txt("P2DT17H54M50S"), Txt("-P2DT17H54M50S")},
        {"dateDiff", "=DATEDIFF(\"2005-01-04T12:10:00\",\"2005-01-01T18:15:10\")",
         Txt("-P2DT17H54M50S"), Txt("P2DT17H54M50S")},
        {"dateDiff", "=DATEDIFF(\"10:00:00\",\"11:00:00\")", Txt("PT1H"), Txt("PT60M")},
        {"eDate2", "=EDATE2(\"2005-03-03\",\"-P30D\")", Txt("2005-02-01"), Txt("2005-02-03")},
        {"eDate2", "=EDATE2(\"2005-08-10T15:27:36.10\",\"P10DT3H7M12.95S\")",
         Txt("2005-08-20T18:34:49.050"), Txt("2005-08-20T18:34:49.05")},
        {"eDate2", "=EDATE2(\"13:34:22.330\",\"PT1H7M\")", Txt("14:41:22.330"), Txt("14:41:22")},
        {"eDate2", "=EDATE2(\"13:34:22\",\"P1D\")", Err("#VALUE!"), Txt("13:34:22")},
        {"eDate2", "=EDATE2(\"2005-01-30\",\"P1M\")", Txt("2005-02-28"), Txt("2005-03-02")},
        {"eDate2", "=EDATE2(\"2005-02-01\",\"P30D\")", Txt("2005-03-03"), Txt("2005-03-01")},
        {"eDate2", "=EDATE2(\"2005-01-01Z\",\"P1D\")", Err("#VALUE!"), Txt("2005-01-02")},
    };
    auto judge = [&](const Row& row, const Answer& answer) {
        return References().at(row.function).judge(book, row.formula, answer).fault;
    };
    RunJudgedRows(rows, judge, [&](const Row& row) {
        const Reference& reference = References().at(row.function);
        if (!reference.whole) return true;
        std::vector<Answer> right = {row.right};
        right.insert(right.end(), row.rest.begin(), row.rest.end());
        Grid whole;
        EXPECT_TRUE(reference.whole(book, row.formula, whole)) << row.formula;
        EXPECT_EQ(whole.cells.size(), right.size()) << row.formula << ": " << Shown(whole);
        for (std::size_t i = 0; i < right.size() && i < whole.cells.size(); ++i)
            EXPECT_TRUE(MeetsExample(whole.cells[i], right[i]))
                << row.formula << " element " << i << ": " << Describe(whole.cells[i]);
        return false;
    });
}

// Every element of a generated case's result meets the reference where the first does (a
// first element that does not is the comparison's to list).
TEST(PeerReferences, WholeResultsMeetTheReferences) {
    PeerFile file;
    TestBook book;
    ASSERT_TRUE(OpenPeerData(book, file));
    int judged = 0, elements = 0;
    std::map<std::string, std::array<int, 3>> perFunction; // cases, values, errors
    for (const PeerCase& c : file.cases) {
        auto worked = References().find(c.function);
        Grid reference;
        if (c.kind != "function" || worked == References().end() || !worked->second.whole ||
            !worked->second.whole(book, c.formula, reference))
            continue;
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

// The quantiles the confidence limits take, against their tables.
TEST(PeerReferences, QuantilesMeetTheirTables) {
    EXPECT_NEAR(double(reference::NormalQuantile(0.975L)), 1.959963984540054, 1e-14);
    EXPECT_NEAR(double(reference::StudentQuantile(0.975L, 10)), 2.228138851986274, 1e-12);
    EXPECT_NEAR(double(reference::StudentQuantile(0.9L, 1)), 3.077683537175253, 1e-12);
    EXPECT_EQ(double(reference::NormalQuantile(1)), 1.7976931348623157e308);
}

} // namespace vl::test
