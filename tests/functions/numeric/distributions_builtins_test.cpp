#include "callharness.h"

#include <cfloat>

namespace vl::stattest {

TEST(DistributionBuiltins, GiveTheQuotedValues) {
    CallHarness h;
    RunCases(
        h,
        {
            {"NORMDIST(42, 40, 1.5, 1)", {42.0, 40.0, 1.5, 1.0}, Num("0.90878877482188")},
            {"NORMDIST(42, 40, 1.5, 0.5)", {42.0, 40.0, 1.5, 0.5}, Num("0.90878877482188")},
            {"NORMDIST(42, 40, 1.5, 0)", {42.0, 40.0, 1.5, 0.0}, Num("0.109340049783996")},
            {"NORMINV(0.90878877482188, 40, 1.5)",
             {0.90878877482188, 40.0, 1.5},
             Num("42.0000000014901")},
            {"NORMSINV(0.90878877482188)", {0.90878877482188}, Num("1.33333333432674")},
            {"NORMSDIST(1.33333333432674)", {1.33333333432674}, Num("0.90878877498481")},
            {"HYPGEOMDIST(1, 4, 8, 20)", {1.0, 4.0, 8.0, 20.0}, Num("0.36326109391125")},
            {"PERMUT(100, 3)", {100.0, 3.0}, Num("970200")},
            {"POISSON(2, 5, 0)", {2.0, 5.0, 0.0}, Num("0.08422433748857")},
            {"POISSON(2, 5, 1)", {2.0, 5.0, 1.0}, Num("0.124652019483081")},
            {"WEIBULL(105, 20, 100, 1)", {105.0, 20.0, 100.0, 1.0}, Num("0.92958139006928")},
            {"TDIST(1.96, 60)", {1.96, 60.0}, Num("0.97267753526449")},
            {"TINV(0.97267753526449, 60)", {0.97267753526449, 60.0}, Num("1.95999983312891")},
            {"STANDARDIZE(42, 40, 1.5)", {42.0, 40.0, 1.5}, Num("1.33333333333333")},
            {"BINOMDIST(6, 10, 0.5, FALSE)", {6.0, 10.0, 0.5, 0.0}, Num("0.205078125")},
            {"CHIDIST(18.307, 10)", {18.307, 10.0}, Num("0.9499994109077")},
            {"CHIINV(0.9499994109077, 10)", {0.9499994109077, 10.0}, Num("18.307")},
            {"CONFIDENCE(0.05, 2.5, 50)", {0.05, 2.5, 50.0}, Num("0.6929519802241")},
            {"CRITBINOM(6, 0.5, 0.75)", {6.0, 0.5, 0.75}, Num("4")},
            {"CRITBINOM(6, 0.5, 0)", {6.0, 0.5, 0.0}, Num("0")},
            {"EXPONDIST(0.2, 10, 1)", {0.2, 10.0, 1.0}, Num("0.86466471676339")},
            {"FDIST(15.20675, 6, 4)", {15.20675, 6.0, 4.0}, Num("0.99729988597273")},
            {"FINV(0.99729988597273, 6, 4)", {0.99729988597273, 6.0, 4.0}, Num("15.206750002102")},
            {"FINV(1, 6, 4)", {1.0, 6.0, 4.0}, Num("1e10")},
            {"FISHER(0.75)", {0.75}, Num("0.97295507452766")},
            {"FISHERINV(0.97295507452766)", {0.97295507452766}, Num("0.75")},
            {"PROB({0, 1, 2, 3}, {0.2, 0.3, 0.1, 0.4}, 1, 3)",
             {NumbersRow({0, 1, 2, 3}), NumbersRow({0.2, 0.3, 0.1, 0.4}), 1.0, 3.0},
             Num("0.8")},
            {"PROB({0, 1, 2, 3}, {0.2, 0.3, 0.1, 0.4}, 1,)",
             {NumbersRow({0, 1, 2, 3}), NumbersRow({0.2, 0.3, 0.1, 0.4}), 1.0, Omit{}},
             Num("0.3")},
        });
}

TEST(DistributionBuiltins, CheckTheirArguments) {
    CallHarness h;
    RunCases(h, {
                    {"NORMDIST(42, 40, 1.5, 2)", {42.0, 40.0, 1.5, 2.0}, Err(kErrNum)},
                    {"NORMDIST(42, 40, 0, 0)", {42.0, 40.0, 0.0, 0.0}, Err(kErrNum)},
                    {"NORMDIST(42, 40, -1, 1)", {42.0, 40.0, -1.0, 1.0}, Err(kErrNum)},
                    {"NORMDIST(\"a\", #DIV/0!, 1, 1)",
                     {std::string("a"), ErrorValue{kErrDivZero}, 1.0, 1.0},
                     Err(kErrNum)},
                    {"NORMDIST(\" 42 \", 40, 1.5, 1)",
                     {std::string(" 42 "), 40.0, 1.5, 1.0},
                     Num("0.90878877482188")},
                    {"POISSON(0, 5, 1)", {0.0, 5.0, 1.0}, Err(kErrNum)},
                    {"POISSON(2, 0, 0)", {2.0, 0.0, 0.0}, Err(kErrNum)},
                    {"POISSON(0, #REF!, 0)", {0.0, ErrorValue{kErrRef}, 0.0}, Err(kErrRef)},
                    {"STANDARDIZE(42, 40, 0)", {42.0, 40.0, 0.0}, Err(kErrNum)},
                    {"PERMUT(3, 5)", {3.0, 5.0}, Num("0")},
                    {"PERMUT(0, 5)", {0.0, 5.0}, Err(kErrNum)},
                    {"NORMSINV(1.5)", {1.5}, Num("1e10")},
                    {"NORMINV(0, 3, 2)", {0.0, 3.0, 2.0}, Num("-1e10")},
                    {"TINV(1, 60)", {1.0, 60.0}, Num("1.7976931348623157e308")},
                    {"TINV(0, 60)", {0.0, 60.0}, Num("-1.7976931348623157e308")},
                    {"TINV(-0.1, 60)", {-0.1, 60.0}, Err(kErrNum)},
                    {"TDIST(1.96, 0)", {1.96, 0.0}, Err(kErrNum)},
                    {"TDIST(1.96, 60.4)", {1.96, 60.4}, Num("0.97267753526449")},
                    {"WEIBULL(1, 0, 1, 1)", {1.0, 0.0, 1.0, 1.0}, Err(kErrNum)},
                    {"WEIBULL(1, 1, -1, 1)", {1.0, 1.0, -1.0, 1.0}, Err(kErrNum)},
                    {"BINOMDIST(0, 10, 0.5, 0)", {0.0, 10.0, 0.5, 0.0}, Err(kErrNum)},
                    {"BINOMDIST(12, 10, 0.5, 0)", {12.0, 10.0, 0.5, 0.0}, Num("0")},
                    {"FISHER(1)", {1.0}, Err(kErrNum)},
                    {"FISHER(1.5)", {1.5}, Err(kErrNum)},
                    {"FISHERINV(400)", {400.0}, Num("1")},
                    {"FISHERINV(1e6)", {1e6}, Err(kErrNum)},
                    {"EXPONDIST(-1, 10, 1)", {-1.0, 10.0, 1.0}, Err(kErrNum)},
                    {"CHIINV(1, 10)", {1.0, 10.0}, Num("1e10")},
                    {"CHIINV(0, 10)", {0.0, 10.0}, Num("0")},
                    {"PROB({0, 1}, {0.5}, 0, 1)",
                     {NumbersRow({0, 1}), NumbersRow({0.5}), 0.0, 1.0},
                     Err(kErrNA)},
                    {"PROB({0, \"a\"}, {0.5, 1}, 0, 1)",
                     {RowOf({0.0, std::string("a")}), NumbersRow({0.5, 1}), 0.0, 1.0},
                     Err(kErrNA)},
                    {"PROB({0, \"a\"}, {0.5, \"b\"}, 0, 1)",
                     {RowOf({0.0, std::string("a")}), RowOf({0.5, std::string("b")}), 0.0, 1.0},
                     Num("0.5")},
                    {"NORMSDIST()", {}, BadCount()},
                    {"NORMSDIST(1, 2)", {1.0, 2.0}, BadCount()},
                    {"PROB(x, p, 1)", {NumbersRow({0}), NumbersRow({1}), 1.0}, BadCount()},
                });
}

// Mended: the centre of the normal and t distributions, F searches below 0, and
// PERMUT and POISSON beyond the double range.
TEST(DistributionBuiltins, MendedFaults) {
    CallHarness h;
    RunCases(h, {
                    {"NORMSDIST(0.001)", {0.001}, Num("0.500398942")},
                    {"NORMSINV(0.5002)", {0.5002}, Num("0.00050133")},
                    {"TDIST(0.0005, 60)", {0.0005, 60.0}, Num("0.5001986")},
                    {"PERMUT(1000, 200)", {1000.0, 200.0}, Err(kErrNum)},
                    {"PERMUT(2147483647, 2147483647)", {2147483647.0, 2147483647.0}, Err(kErrNum)},
                    {"POISSON(200, 1000, 1)", {200.0, 1000.0, 1.0}, Err(kErrNum)},
                    {"POISSON(1e300, 0.5, 1)", {1e300, 0.5, 1.0}, Num("1")},
                    {"HYPGEOMDIST(2e9, 2e9, 2e9, 2e9)", {2e9, 2e9, 2e9, 2e9}, Err(kErrNum)},
                    {"CRITBINOM(2e9, 0.5, 0.9)", {2e9, 0.5, 0.9}, Err(kErrNum)},
                });
    Outcome o = h.Call("FINV", {0.01148, 28.0, 25.0});
    EXPECT_EQ(o.error, 0);
    EXPECT_GT(o.number, 0.1);
}

TEST(DistributionBuiltins, ApplyThemselvesOverRanges) {
    CallHarness h;
    h.PutColumn(0, 0, {18.307, Cell{}, std::string("x")});
    Outcome o = h.Call("CHIDIST", {Area{0, 0, 0, 2}, 10.0});
    ASSERT_TRUE(o.isArray);
    ASSERT_EQ(o.rows, 3u);
    EXPECT_TRUE(MatchesPrinted(std::get<double>(o.cells[0]), "0.9499994109077"));
    EXPECT_EQ(o.cells[1], Cell{0.0});
    EXPECT_EQ(o.cells[2], Cell{ErrorValue{kErrNum}});
    EXPECT_TRUE(o.tidy);
    o = h.Call("PROB", {NumbersRow({0, 1, 2, 3}), NumbersRow({0.2, 0.3, 0.1, 0.4}),
                        NumbersColumn({0, 1}), NumbersColumn({3, 1})});
    ASSERT_TRUE(o.isArray);
    ASSERT_EQ(o.rows, 2u);
    EXPECT_TRUE(MatchesPrinted(std::get<double>(o.cells[0]), "1"));
    EXPECT_TRUE(MatchesPrinted(std::get<double>(o.cells[1]), "0.3"));
    EXPECT_TRUE(o.tidy);
}

} // namespace vl::stattest
