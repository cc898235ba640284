// What a formula may hold at the limits the other spreadsheets have: calls nested 98 deep,
// 255 arguments to a call, and texts as long as a cell holds through every kind of function.
#include "functiontestutil.h"

#include <string>
#include <vector>

namespace vl::test {

namespace {

std::string Repeat(std::string_view piece, int n, std::string_view separator = "") {
    std::string out;
    for (int i = 0; i < n; ++i) {
        if (i) out += separator;
        out += piece;
    }
    return out;
}

// `depth` calls, each around the next; the innermost holds `core`.
std::string Nested(std::string_view open, std::string_view close, int depth,
                   std::string_view core) {
    return "=" + Repeat(open, depth) + std::string(core) + Repeat(close, depth);
}

struct LimitCase {
    std::string formula;
    std::string shown;
};

void CheckLimits(FunctionBook& book, const std::vector<LimitCase>& cases) {
    for (const LimitCase& c : cases) {
        EXPECT_EQ(book.Eval(c.formula, "J20"), c.shown) << c.formula.substr(0, 70);
        if (c.shown == "#SYNTAX!") continue; // the next evaluation empties the pool
        EXPECT_EQ(book.Ctx().stringPool.count, 0) << c.formula.substr(0, 70);
        EXPECT_EQ(book.Ctx().scratch.arrayCount, 0) << c.formula.substr(0, 70);
    }
}

} // namespace

// One call more than the deepest nesting, or one argument more than 255, is #SYNTAX!.
TEST(FormulaLimits, CallsNestAndTakeArgumentsAsFarAsThePeers) {
    const std::string ones255 = Repeat("1", 255, ",");
    const std::string ones254 = Repeat("1", 254, ",");
    FunctionBook book;
    book.Number("A2", 2);
    CheckLimits(
        book,
        {
            {Nested("IF(A1=0,", ",2)", kMaxNesting, "7"), "7"},
            {Nested("IF(A1=0,", ",2)", kMaxNesting + 1, "7"), "#SYNTAX!"},
            {Nested("SUM(", ")", kMaxNesting, "3"), "3"},
            {Nested("SUM(", ")", kMaxNesting + 1, "3"), "#SYNTAX!"},
            {Nested("SUM((", "))", kMaxNesting / 2, "3"), "3"},
            {Nested("SUM((", "))", kMaxNesting / 2, "(3)"), "#SYNTAX!"},
            {"=SUM(" + ones255 + ")", "255"},
            {"=SUM(" + Repeat("1", 256, ",") + ")", "#SYNTAX!"},
            {"=SUM(" + std::string(254, ',') + ")", "0"}, // 255 arguments left out
            {"=SUM(" + std::string(255, ',') + ")", "#SYNTAX!"},
            {"=SUM(" + Repeat("A2", 255, ",") + ")", "510"},
            {"=SUM(" + Repeat("A2", 256, ",") + ")", "#SYNTAX!"},
            {"=LEN(CONCATENATE(" + Repeat("\"ab\"", 255, ",") + "))", "510"},
            {"=LEN(CONCATENATE(" + Repeat("\"ab\"", 256, ",") + "))", "#SYNTAX!"},
            {"=SUM(" + Repeat("{1;2}", 255, ",") + ")", "765"}, // an array for each argument
            {"=SUM(" + Repeat("A1:A2", 255, ",") + ")", "510"},
            {"=AND(" + Repeat("A2", 255, ",") + ")", "1"},
            {"=NPV(0," + ones254 + ")", "254"},
            // Element by element over a call of many arguments.
            {"=SUM(NPV({0,0}," + ones254 + "))", "508"},
            {"=SUM(NPV({0,0}," + Repeat("1", 48, ",") + "))", "96"},
            // The widest call at the deepest nesting, and wide calls pending around wide calls.
            {Nested("SUM(", ")", kMaxNesting - 1, "SUM(" + ones255 + ")"), "255"},
            {"=SUM(" + ones254 + ",SUM(" + ones254 + ",SUM(" + ones255 + ")))", "763"},
        });
}

// A text as long as a cell holds is read by every function; a result longer than that is
// #VALUE!.
TEST(FormulaLimits, TextsOfTheLongestCellAreRead) {
    const std::size_t n = kMaxTextValue;
    const std::string longest(n, 'x');
    const std::string N = std::to_string(n);
    FunctionBook book;
    book.Text("A1", longest);
    book.Text("A2", "a" + std::string(n - 1, 'b'));
    book.Number("B1", 1);
    CheckLimits(
        book, {
                  {"=ISTEXT(A1)", "1"},
                  {"=ISERROR(A1)", "0"},
                  {"=ISNONTEXT(A1)", "0"},
                  {"=TYPE(A1)", "2"},
                  {"=COUNTIF(A1:A2,\"a*\")", "1"},
                  {"=COUNTIF(A1:A2,\"x*x\")", "1"},
                  {"=COUNTIF(A1:A2,A1)", "1"},
                  {"=A1=A1", "1"},
                  {"=A1=A2", "0"},
                  {"=A2<A1", "1"},
                  {"=EXACT(A1,A1)", "1"},
                  {"=LEN(A1)", N},
                  {"=LEN(IF(1,A1))", N},
                  {"=LEN(UPPER(A1))", N},
                  {"=LEN(TRIM(A1))", N},
                  {"=LEN(CLEAN(A1))", N},
                  {"=CODE(A1)", "120"},
                  {"=MID(A1," + N + ",1)", "x"},
                  {"=MID(A1," + std::to_string(n + 1) + ",1)", ""},
                  {"=LEN(MID(A1,2,9000))", std::to_string(n - 1)},
                  {"=LEN(LEFT(A1,9000))", N},
                  {"=RIGHT(A2,1)", "b"},
                  {"=FIND(\"x\",A1," + N + ")", N},
                  {"=SEARCH(\"B\",A2," + N + ")", N},
                  {"=SEARCH(\"b\",A2," + std::to_string(n + 1) + ")", "#NUM!"},
                  {"=LEN(SUBSTITUTE(A1,\"x\",\"y\"))", N},
                  {"=LEN(SUBSTITUTE(A1,\"x\",\"\"))", "0"},
                  {"=SUBSTITUTE(A1,\"x\",\"yy\",1)", "#VALUE!"},
                  {"=LEN(REPLACE(A1,1,1,\"\"))", std::to_string(n - 1)},
                  {"=REPLACE(A1,1,0,\"y\")", "#VALUE!"},
                  {"=LEN(A1&\"\")", N},
                  {"=A1&\"y\"", "#VALUE!"},
                  {"=LEN(CONCATENATE(A1))", N},
                  {"=LEN(CONCATENATE(\"\",A1:A1,\"\"))", N},
                  {"=CONCATENATE(A1,\"y\")", "#VALUE!"},
                  {"=CONCATENATE(A1:A2)", "#VALUE!"},
                  {"=LEN(REPT(\"a\"," + N + "))", N},
                  {"=REPT(\"a\"," + std::to_string(n + 1) + ")", "#VALUE!"},
                  {"=LEN(REPT(\"abc\"," + std::to_string(n / 3) + "))", std::to_string(n / 3 * 3)},
                  {"=REPT(\"abc\"," + std::to_string(n / 3 + 1) + ")", "#VALUE!"},
                  {"=VALUE(A1)", "#VALUE!"},
                  {"=VLOOKUP(A1,A1:B1,2,0)", "1"},
                  {"=MATCH(A2,A1:A2,0)", "2"},
                  {"=LEN(INDEX(A1:A2,2))", N},
                  {"=LEN(A1)+LEN(A2)+LEN(A1&\"\")+LEN(LOWER(A2))", std::to_string(4 * n)},
              });
    // The old working lengths: 1,024 for text arguments, 1,535 for a comparison's two texts
    // and 3,071 for the pool.
    for (std::size_t length : {1024u, 1025u, 1535u, 1536u, 3070u, 3071u, 3072u}) {
        book.Text("C1", std::string(length, 'x'));
        const std::string L = std::to_string(length);
        CheckLimits(book, {
                              {"=ISTEXT(C1)", "1"},
                              {"=C1=C1", "1"},
                              {"=LEN(C1)", L},
                              {"=LEN(C1&C1)", std::to_string(2 * length)},
                              {"=COUNTIF(C1:C1,\"x*\")", "1"},
                          });
    }
}

} // namespace vl::test
