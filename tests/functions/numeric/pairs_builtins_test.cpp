#include "callharness.h"

namespace vl::stattest {

namespace {

class PairedData : public ::testing::Test {
protected:
    void SetUp() override {
        // A1:A5 and B1:B5 with empty cells in different places; C1:D2 texts facing.
        h.PutColumn(0, 0, {1.0, Cell{}, 3.0, 4.0, 5.0});
        h.PutColumn(1, 0, {2.0, 4.0, 7.0, Cell{}, 9.0});
        h.PutColumn(2, 0, {std::string("a"), 1.0});
        h.PutColumn(3, 0, {std::string("b"), std::string("c")});
    }
    CallHarness h;
};

const ArrayArg kY = NumbersRow({2, 3, 9, 1, 8});
const ArrayArg kX = NumbersRow({6, 5, 11, 7, 5});

} // namespace

TEST_F(PairedData, CorrelationOverPairedCells) {
    const ArrayArg a = NumbersRow({9, 7, 5, 3, 1}), b = NumbersRow({10, 6, 1, 5, 3});
    RunCases(
        h, {
               {"PEARSON", {a, b}, Num("0.69937860618024")},
               {"RSQ", {a, b}, Num("0.48913043478261")},
               {"STEYX", {kY, kX}, Num("3.74560674557182")},
               {"PEARSON(A1:A5, B1:B5)",
                {Area{0, 0, 0, 4}, Area{1, 0, 1, 4}},
                Num("0.973035471890234")},
               {"PEARSON(C1, D1)", {Area{2, 0, 2, 0}, Area{3, 0, 3, 0}}, Err(kErrNA)},
               {"PEARSON(C1:C2, D1:D2)", {Area{2, 0, 2, 1}, Area{3, 0, 3, 1}}, Err(kErrNA)},
               {"PEARSON(1x5, 5x1)",
                {NumbersRow({1, 2, 3, 4, 5}), NumbersColumn({1, 2, 3, 4, 5})},
                Err(kErrNA)},
               {"PEARSON(2x3, 2x4)",
                {ArrayArg{{{1.0, 2.0, 3.0}, {4.0, 5.0, 6.0}}},
                 ArrayArg{{{1.0, 2.0, 4.0, Cell{}}, {3.0, 5.0, 7.0}}}},
                Num("0.940256152680248")},
               {"PEARSON({1, 1}, {2, 3})", {NumbersRow({1, 1}), NumbersRow({2, 3})}, Err(kErrNum)},
               {"PEARSON(1, {2})", {1.0, NumbersRow({2})}, Err(kErrValue)},
               {"PEARSON(#REF!, \"x\")", {ErrorValue{kErrRef}, std::string("x")}, Err(kErrValue)},
               {"STEYX({1, 2}, {3, 4})", {NumbersRow({1, 2}), NumbersRow({3, 4})}, Err(kErrNum)},
               {"STEYX({1}, {3})", {NumbersRow({1}), NumbersRow({3})}, Err(kErrNA)},
               {"STEYX(line)", {NumbersRow({1, 3, 5, 7}), NumbersRow({0, 1, 2, 3})}, Num("0")},
               {"PEARSON(a, b, c)", {a, b, a}, BadCount()},
           });
}

TEST_F(PairedData, LinesThroughPositions) {
    RunCases(
        h,
        {
            {"INTERCEPT", {kY, kX}, Num("0.04838709677419")},
            {"SLOPE", {kY, kX}, Num("0.66935483870968")},
            {"SLOPE({1, 2, 3, 4, 5}, {1, 2, 3, 4})",
             {NumbersRow({1, 2, 3, 4, 5}), NumbersRow({1, 2, 3, 4})},
             Err(kErrValue)},
            {"SLOPE(B1:B5, A1:A5)", {Area{1, 0, 1, 4}, Area{0, 0, 0, 4}}, Num("0.627906976744186")},
            {"SLOPE({2, 2, 2}, {3, 3, 3})",
             {NumbersRow({2, 2, 2}), NumbersRow({3, 3, 3})},
             Num("0.6")},
            {"INTERCEPT(#N/A!, x)", {ErrorValue{kErrNA}, kX}, Err(kErrNA)},
        });
    Outcome o = h.Call("LINEST", {kY, kX, Omit{}});
    ASSERT_TRUE(o.isArray);
    ASSERT_EQ(o.rows, 2u);
    EXPECT_TRUE(MatchesPrinted(std::get<double>(o.cells[0]), "0.04838709677419"));
    EXPECT_TRUE(MatchesPrinted(std::get<double>(o.cells[1]), "0.66935483870968"));
    o = h.Call("LINEST", {kY, kX, 0.0});
    ASSERT_TRUE(o.isArray);
    EXPECT_NEAR(std::get<double>(o.cells[0]), 0, 1e-15);
    EXPECT_TRUE(MatchesPrinted(std::get<double>(o.cells[1]), "0.67578125"));
    o = h.Call("TREND", {kY, kX, NumbersRow({12, 13, 14}), 1.0});
    ASSERT_TRUE(o.isArray);
    ASSERT_EQ(o.rows, 3u);
    EXPECT_TRUE(MatchesPrinted(std::get<double>(o.cells[0]), "8.08064516129032"));
    EXPECT_TRUE(MatchesPrinted(std::get<double>(o.cells[1]), "8.75"));
    EXPECT_TRUE(MatchesPrinted(std::get<double>(o.cells[2]), "9.41935483870968"));
    EXPECT_TRUE(o.tidy);
    // Omitted x: the rows numbered from 2, so the line through 1, 3, 5 is 2x − 3.
    o = h.Call("LINEST", {NumbersColumn({1, 3, 5}), Omit{}, Omit{}});
    ASSERT_TRUE(o.isArray);
    EXPECT_NEAR(std::get<double>(o.cells[0]), -3, 1e-12);
    EXPECT_NEAR(std::get<double>(o.cells[1]), 2, 1e-12);
    o = h.Call("TREND", {NumbersColumn({1, 3, 5}), Omit{}, Omit{}, Omit{}});
    ASSERT_TRUE(o.isArray);
    ASSERT_EQ(o.rows, 3u);
    EXPECT_NEAR(std::get<double>(o.cells[2]), 5, 1e-12);
    EXPECT_TRUE(IsError(h.Call("TREND", {kY, kX, kX, 2.0}), kErrNum));
}

TEST(HypothesisTests, GiveTheQuotedValues) {
    CallHarness h;
    h.PutColumn(0, 0, {3.0, 4.0, std::string("x"), 5.0, 8.0});
    const ArrayArg f1 = NumbersRow({6, 7, 9, 15, 21}), f2 = NumbersRow({20, 28, 31, 38, 40});
    const ArrayArg t1 = NumbersRow({3, 4, 5, 8, 9, 1, 2, 4, 5}),
                   t2 = NumbersRow({6, 19, 3, 2, 14, 4, 5, 17, 1});
    const ArrayArg z = NumbersRow({3, 6, 7, 8, 6, 5, 4, 2, 1, 9});
    const ArrayArg observed{{{58.0, 35.0}, {11.0, 25.0}, {10.0, 23.0}}};
    const ArrayArg expected{{{45.35, 47.65}, {17.56, 18.44}, {16.09, 16.91}}};
    RunCases(h, {
                    {"FTEST", {f1, f2}, Num("0.67584107664634")},
                    {"TTEST", {t1, t2, 2.0}, Num("0.1919958849411")},
                    {"TTEST(tails 1)", {t1, t2, 1.0}, Num("0.09599794247055")},
                    {"TTEST(tails 3)", {t1, t2, 3.0}, Err(kErrNum)},
                    {"TTEST2", {t1, t2}, Num("-1.3622298275595")},
                    {"ZTEST", {z, 4.0, Omit{}}, Num("0.09057420261958")},
                    {"ZTEST2", {z, 4.0, Omit{}}, Num("1.33722748248063")},
                    {"ZTEST(x above the mean)", {z, 6.0, Omit{}}, Num("0.8630434")},
                    {"ZTEST2(sigma 2)", {z, 4.0, 2.0}, Num("1.73925271309261")},
                    {"CHITEST", {observed, expected}, Num("0.99969180798302")},
                    {"CHITEST2", {observed, expected}, Num("16.1695750747969")},
                    {"TTEST(A1:A5, t2, 2)", {Area{0, 0, 0, 4}, t2, 2.0}, Num("0.43706923")},
                    {"FTEST(A1:A5, f2)", {Area{0, 0, 0, 4}, f2}, Err(kErrNum)},
                    {"ZTEST(A1:A5, 4,)", {Area{0, 0, 0, 4}, 4.0, Omit{}}, Err(kErrNum)},
                    {"FTEST({1}, f2)", {NumbersRow({1}), f2}, Err(kErrDivZero)},
                    {"ZTEST({1}, 1,)", {NumbersRow({1}), 1.0, Omit{}}, Err(kErrDivZero)},
                    {"TTEST({1}, t2, 2)", {NumbersRow({1}), t2, 2.0}, Err(kErrNA)},
                    {"FTEST({2, 2}, f2)", {NumbersRow({2, 2}), f2}, Err(kErrDivZero)},
                    {"TTEST(t1, t2)", {t1, t2}, BadCount()},
                });
    Outcome o = h.Call("ZTEST", {z, NumbersColumn({4, 6}), Omit{}});
    ASSERT_TRUE(o.isArray);
    ASSERT_EQ(o.rows, 2u);
    EXPECT_TRUE(MatchesPrinted(std::get<double>(o.cells[0]), "0.09057420261958"));
    EXPECT_TRUE(o.tidy);
}

} // namespace vl::stattest
