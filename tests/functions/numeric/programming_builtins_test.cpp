// The regression, time-series and linear, integer and quadratic programming built-ins
// inside formulas.
#include "numericbook.h"

namespace vl::test {

namespace {

struct ShownCase {
    const char* formula;
    const char* shown;
};

class ProgrammingBuiltins : public ::testing::Test {
protected:
    void Check(std::initializer_list<ShownCase> cases) {
        for (const ShownCase& c : cases) {
            EXPECT_EQ(book.Eval(c.formula, "J20"), c.shown) << c.formula;
            if (std::string_view(c.shown) == "#SYNTAX!") continue; // the call left the stack alone
            EXPECT_EQ(book.Ctx().stringPool.count, 0) << c.formula;
            EXPECT_EQ(book.Ctx().scratch.arrayCount, c.shown[0] == '{' ? 1 : 0) << c.formula;
        }
    }
    NumericBook book;
};

const char* kSeries = "{11; 8; 7; 2; 1; 3; 8; 4}";

} // namespace

TEST_F(ProgrammingBuiltins, LinearPrograms) {
    Check({
        {"=LPROG({2, 1, 1; 1, 1, 3}, {1; 0}, {5; 10}, {4; 2; 2}, 1, , )", "{1; 0; 3}"},
        {"=LPROG({2, 1, 1; 1, 1, 3}, {1; 0}, {5; 10}, {4; 2; 2}, 0, , )", "2"},
        {"=LPROG({2, 1, 1; 1, 1, 3}, {1; 0}, {5; 10}, {4; 2; 2}, 2, , )", "{0; 2.5; 2.5}"},
        {"=LPROG({2, 1, 1; 1, 1, 3}, {1; 0}, {5; 10}, {4; 2; 2}, 3, , )", "#NULL!"},
        {"=LPROG({1, 0; 0, 2; 3, 2}, {1; 1; 1}, {4; 12; 18}, {3; 5}, 1, , )", "{2; 6}"},
        {"=LPROG({-1, 1}, {1}, {1}, {1; 0}, 1, , )", "#VALUE!"},
        {"=LPROG({1, 1; 1, 1}, {1; -1}, {1; 3}, {1; 1}, 1, , )", "#NULL!"},
        {"=LPROG({0.5, -5.5, -2.5, 9; 0.5, -1.5, -0.5, 1; 1, 0, 0, 0}, {1; 1; 1}, {0; 0; 1}, "
         "{10; -57; -9; -24}, 1, , )",
         "#NUM!"},
        {"=LPROG({2, 1, 1; 1, 1, 3}, {1}, {5; 10}, {4; 2; 2}, 1, , )", "#VALUE!"},
        {"=LPROG({2, 1, 1; 1, 1, 3}, {1; 0}, {5; 10}, {4; 2; 2}, -1, , )", "#NUM!"},
        {"=LPROG({2, 1, 1; 1, 1, 3}, {1; 0}, {5; 10}, {4; 2; 2}, 1, -1, )", "#NUM!"},
        {"=LPROG({2, 1, 1; 1, 1, 3}, {1; 0}, {5; 10}, {4; 2; 2}, 1, 0, 0)", "{1; 0; 3}"},
        {"=LPROG({2, 1, 1; 1, 1, 3}, {1; 0}, {5; 10}, {4; 2; 2}, 1, )", "#SYNTAX!"},
    });
}

TEST_F(ProgrammingBuiltins, IntegerAndQuadraticPrograms) {
    Check({
        {"=LPROGINT({2.5, 1.5, 1; 1, 1.5, 3}, {1; 0}, {15; 10}, {1; 1; 2}, {1; 0; 1}, 1, , )",
         "{4; 0; 2}"},
        {"=LPROGINT({2.5, 1.5, 1; 1, 1.5, 3}, {1; 0}, {15; 10}, {1; 1; 2}, {1; 0; 1}, 2, , )",
         "{4; 2; 1}"},
        {"=LPROGBIN({2.5, 1.5, 1; 1, 1.5, 3}, {1; 0}, {15; 10}, {1; 1; 2}, {1; 0; 1}, 1, , )",
         "{1; 4; 1}"},
        {"=LPROGINT({1, 1; 5, 9}, {1; 1}, {6; 45}, {5; 8}, {1; 1}, 1, , )", "{0; 5}"},
        // Without a mask every variable is continuous.
        {"=LPROGINT({2, 1, 1; 1, 1, 3}, {1; 0}, {5; 10}, {4; 2; 2}, , 1, , )", "{1; 0; 3}"},
        {"=LPROGINT({2, 2}, {0}, {3}, {1; 1}, {1; 1}, 1, , )", "#NULL!"},
        {"=LPROGINT({2, 1, 1; 1, 1, 3}, {1; 0}, {5; 10}, {4; 2; 2}, {1; 1}, 1, , )", "#VALUE!"},
        {"=QPROG({1, 2; 1, 1}, {1; 1}, {10; 9}, {10; 25}, {10, 2; 2, 1}, 1, )", "{0; 5}"},
        {"=QPROG({1, 2}, {1}, {30}, {15; 30}, {2, -2; -2, 4}, 1, )", "{12; 9}"},
        {"=QPROG({1, 2}, {1}, {30}, {15; 30}, {2, -2; -2, 4}, 0, )", "1"},
        {"=QPROG({1, 2}, {1}, {30}, {15; 30}, {2, -2}, 1, )", "#VALUE!"},
    });
}

TEST_F(ProgrammingBuiltins, PolynomialRegressionAndPoints) {
    const std::string fit =
        "{1; 2; 3; 4; 5}, {1.1; 1.2; 1.3; 1.4; 1.5}, {0.2; 0.2; 0.2; 0.2; 0.23}";
    std::vector<double> x = book.Numbers("=POLYREG(" + fit + ", 4, 1)");
    ASSERT_EQ(x.size(), 4u);
    EXPECT_NEAR(x[0], 14.0638, 5e-5);
    EXPECT_NEAR(x[1], 1.4979, 5e-5);
    EXPECT_NEAR(x[2], 0, 1e-9);
    const std::string t = "{1; 2; 3; 4; 5; 6; 7}";
    const std::string y = "{3.1; 1.2; 1.3; 2.4; 3.5; 6.5; 7.5}";
    const std::string sy = "{0.2; 1.8; 0.2; 0.2; 1.9; 2.8; 3.8}";
    const std::string reg = t + ", " + y + ", " + sy + ", 7, ";
    std::string points = "=POLYPOINTS(POLYREG(" + reg + "1), POLYREG(" + reg + "2), POLYREG(" +
                         reg + "3), 7, 5, {1.5; 2.5; 3.5}, 0.85)";
    EXPECT_TRUE(Near(book.Numbers(points), {1.901, 1.176, 1.112, 0.681, 1.754, 0.320}, 5e-4));
    EXPECT_EQ(book.columns, 2u);
    Check({
        {"=POLYREG({1; 2; 3; 4; 5}, {1.1; 1.2; 1.3; 1.4; 1.5}, {0.2; 0.2; 0.2; 0.2; 0.23}, 6, 1)",
         "#VALUE!"},
        {"=POLYREG({1; 2; 3}, {1; 2; 3}, {1; 1; 1}, 2, 4)", "#NUM!"},
        {"=POLYREG({1, 2, 3}, {1; 2; 3}, {1; 1; 1}, 1, 1)", "#VALUE!"},
        {"=POLYPOINTS({1; 2}, {1, 0; 0, 1}, {1; 1}, 7, 3, {1}, 0.85)", "#VALUE!"},
        {"=POLYPOINTS({1; 2}, {1, 0; 0, 1}, {1; 1}, 7, 2, {1},)", "#NUM!"},
    });
}

TEST_F(ProgrammingBuiltins, TimeSeries) {
    std::string y = kSeries;
    std::vector<double> s = book.Numbers("=TIMESERIES(" + y + ", 2, 3, 0.8)");
    ASSERT_EQ(s.size(), 28u);
    EXPECT_EQ(book.rows, 14u);
    EXPECT_TRUE(Near({s[0], s[1], s[2], s[3]}, {35.071, 10.531, 25.929, 7.155}, 5e-4));
    EXPECT_TRUE(Near({s[26], s[27]}, {18.405, 15.109}, 5e-4));
    std::vector<double> cubic = book.Numbers("=TIMESERIES(" + y + ", 3, 2, 0.8)");
    ASSERT_EQ(cubic.size(), 24u);
    EXPECT_TRUE(
        Near({cubic[0], cubic[1], cubic[20], cubic[22]}, {7.8, 71.397, -11.4, -45.4}, 5e-4));
    // l = 2k: the trend with limits that cannot be had.
    std::vector<double> exact = book.Numbers("=TIMESERIES(" + y + ", 2, 1, 0.8)");
    ASSERT_EQ(exact.size(), 20u);
    for (std::size_t i = 0; i < exact.size(); i += 2) {
        EXPECT_TRUE(std::isfinite(exact[i])) << i;
        EXPECT_TRUE(std::isnan(exact[i + 1])) << i;
    }
    Check({
        {"=TIMESERIES({11; 8; 7; 2; 1; 3; 8; 4}, 5, 2, 0.8)", "#VALUE!"},
        {"=TIMESERIES({11; 8; 7; 2; 1; 3; 8; 4}, 2, 2,)", "#NUM!"},
        {"=TIMESERIES({11; 8; 7; 2; 1; 3; 8; 4}, 2, 4, 0.8)", "#VALUE!"},
        {"=TIMESERIES({11, 8; 7, 2; 1, 3}, 1, 1, 0.8)", "#VALUE!"},
        {"=TIMESERIES({11; 8; 7; 2; 1; 3; 8; 4}, 1, 1, 0)", "#NUM!"},
        {"=TIMESERIES({11; 8; 7; 2; 1; 3; 8; 4}, 1, 2000000000, 1)", "#VALUE!"},
    });
}

} // namespace vl::test
