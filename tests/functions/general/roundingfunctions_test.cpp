#include "functiontestutil.h"

namespace vl::test {

TEST(RoundingFunctions, DecimalDigits) {
    CheckFormulas({
        {"=ROUND(2.6,)", "3"},
        {"=ROUND(2.15,1)", "2.2"},
        {"=ROUND(2.149,1)", "2.1"},
        {"=ROUND(-1.475,2)", "-1.48"},
        {"=ROUND(123.5,-2)", "100"},
        {"=ROUND(150,-2)", "200"},
        {"=ROUND(-0.001,2)", "0"},
        {"=ROUND(1.5,1.5)", "1.5"},
        {"=ROUND(1.23456789,14)", "1.23456789"},
        {"=ROUND(5E15,-14)", "5e+015"},
        {"=ROUND(1,15)", "#NUM!"},
        {"=ROUND(1,-15)", "#NUM!"},
        {"=ROUND(1)", "#SYNTAX!"},
        {"=ROUND(1,2,3)", "#SYNTAX!"},
        {"=ROUND(\"x\",1/0)", "#NUM!"},
        {"=ROUND(1/0,\"x\")", "#NUM!"},
        {"=ROUNDUP(-1.21,1)", "-1.3"},
        {"=ROUNDUP(3.2,0)", "4"},
        {"=ROUNDUP(31415.92654,-2)", "31500"},
        {"=ROUNDDOWN(-1.29,1)", "-1.2"},
        {"=ROUNDDOWN(3.99,)", "3"},
        {"=TRUNC(8.9,)", "8"},
        {"=TRUNC(-8.9,)", "-8"},
        {"=TRUNC(1.256,2)", "1.25"},
        {"=ROUND({1.25,-2.5},{1,0})", "{1.3, -3}"},
        {"=ROUND({1.25,-2.5},{1;0})", "#VALUE!"},
    });
}

// Scaling a magnitude near the largest double by 10^digits overflows; such a number has
// no digits left to round there and stays as it is.
TEST(RoundingFunctions, HugeMagnitudesKeepTheirValue) {
    CheckFormulas({
        {"=ROUND(1E300,2)", "1e+300"},
        {"=ROUNDUP(-1.5E308,14)", "-1.5e+308"},
        {"=TRUNC(1.7E308,1)", "1.7e+308"},
        {"=ROUND(1.7E308,-2)", "1.7e+308"},
    });
}

TEST(RoundingFunctions, Multiples) {
    CheckFormulas({
        {"=MROUND(10,3)", "9"},           {"=MROUND(1.3,0.2)", "1.4"},
        {"=MROUND(-10,-3)", "-9"},        {"=MROUND(-1.3,-0.2)", "-1.4"},
        {"=MROUND(-10,3)", "#NUM!"},      {"=MROUND(10,-3)", "#NUM!"},
        {"=MROUND(0,-3)", "0"},           {"=MROUND(5,0)", "#DIV/0!"},
        {"=MROUND(7.5,)", "8"},           {"=MROUND(\"a\",0)", "#NUM!"},
        {"=CEILING(5.1,1)", "6"},         {"=CEILING(-5.1,1)", "-6"},
        {"=CEILING(4.42,0.05)", "4.45"},  {"=CEILING(5,-1)", "#NUM!"},
        {"=CEILING(5,0)", "#DIV/0!"},     {"=CEILING(2.5,)", "3"},
        {"=FLOOR(5.1,1)", "5"},           {"=FLOOR(-5.1,1)", "-5"},
        {"=FLOOR(-0.5,1)", "0"},          {"=FLOOR(5,0)", "#DIV/0!"},
        {"=FLOOR(1E308,1E-10)", "#NUM!"},
    });
}

TEST(RoundingFunctions, EvenOddAndInt) {
    CheckFormulas({
        {"=EVEN(1.5)", "2"},   {"=EVEN(-1)", "-2"},  {"=EVEN(0)", "0"},      {"=EVEN(2.5)", "4"},
        {"=EVEN(4)", "4"},     {"=ODD(6)", "7"},     {"=ODD(-4)", "-5"},     {"=ODD(0)", "1"},
        {"=ODD(7)", "7"},      {"=ODD(-7)", "-7"},   {"=ODD(3.5)", "5"},     {"=ODD(2.5)", "3"},
        {"=ODD(0.5)", "1"},    {"=ODD(-2.5)", "-3"}, {"=ODD(-0.5)", "-1"},   {"=ODD(1.2)", "3"},
        {"=INT(-5.1)", "-6"},  {"=INT(5.9)", "5"},   {"=INT()", "#SYNTAX!"}, {"=INT(A1)", "0"},
        {"=EVEN(\"3\")", "4"},
    });
}

} // namespace vl::test
