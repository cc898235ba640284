#include "formula/formulanumber.h"
#include "functions/general/baseconversion.h"
#include "functiontestutil.h"

#include <random>

namespace vl::test {

TEST(BaseConversion, ReadingDigitTexts) {
    CheckFormulas({
        {"=BIN2DEC(\"1100100\")", "100"},
        {"=BIN2DEC(\"1111111111\")", "-1"},
        {"=BIN2DEC(\"1000000000\")", "-512"},
        {"=BIN2DEC(\"0111111111\")", "511"},
        {"=BIN2DEC(\"\")", "0"},
        {"=BIN2DEC(\"110010011001\")", "#VALUE!"},
        {"=BIN2DEC(\"12\")", "#VALUE!"},
        {"=BIN2DEC(1100100)", "100"},
        {"=HEX2DEC(\"A5\")", "165"},
        {"=HEX2DEC(\"a5\")", "165"},
        {"=HEX2DEC(\"FFFFFFFFFF\")", "-1"},
        {"=HEX2DEC(\"8000000000\")", "-549755813888"},
        {"=HEX2DEC(\"7FFFFFFFFF\")", "549755813887"},
        {"=HEX2DEC(\"G123456789\")", "#VALUE!"},
        {"=OCT2DEC(54)", "44"},
        {"=OCT2DEC(7777777777)", "-1"},
        {"=OCT2DEC(\"1000000000\")", "134217728"},
        {"=OCT2DEC(\"4000000000\")", "-536870912"},
        {"=OCT2DEC(\"8\")", "#VALUE!"},
        {"=OCT2DEC(1/0)", "#DIV/0!"},
    });
}

TEST(BaseConversion, WritingDigitTexts) {
    CheckFormulas({
        {"=DEC2BIN(9,4)", "1001"},
        {"=DEC2BIN(-1,)", "1111111111"},
        {"=DEC2BIN(512,)", "#NUM!"},
        {"=DEC2BIN(-513,)", "#NUM!"},
        {"=DEC2BIN(-512,)", "1000000000"},
        {"=DEC2BIN(0,0)", "0"},
        {"=DEC2BIN(0,)", "0000000000"},
        {"=DEC2BIN(9,11)", "#NUM!"},
        {"=DEC2BIN(9,-1)", "#NUM!"},
        {"=DEC2BIN(8.5,)", "0000001001"},
        {"=DEC2HEX(-1,)", "FFFFFFFFFF"},
        {"=DEC2HEX(549755813888,)", "#NUM!"},
        {"=DEC2HEX(549755813887,)", "7FFFFFFFFF"},
        {"=DEC2HEX(-549755813888,)", "8000000000"},
        {"=DEC2HEX(255,1)", "FF"},
        {"=DEC2OCT(536870911,)", "3777777777"},
        {"=DEC2OCT(-536870912,)", "4000000000"},
        {"=DEC2OCT(536870912,)", "#NUM!"},
        {"=HEX2BIN(\"F\",8)", "00001111"},
        {"=HEX2BIN(\"FFFFFFFFFF\",)", "1111111111"},
        {"=HEX2BIN(\"FFFFFFFDFF\",)", "#VALUE!"},
        {"=HEX2BIN(\"200\",)", "#VALUE!"},
        {"=HEX2OCT(\"F\",3)", "017"},
        {"=HEX2OCT(\"FFE0000000\",)", "4000000000"},
        {"=HEX2OCT(\"FFDFFFFFFF\",)", "#VALUE!"},
        {"=OCT2BIN(3,3)", "011"},
        {"=OCT2BIN(7777777000,)", "1000000000"},
        {"=OCT2BIN(1000,)", "#VALUE!"},
        {"=OCT2HEX(100,4)", "0040"},
        {"=OCT2HEX(\"4000000000\",)", "FFE0000000"},
        {"=BIN2HEX(11111011,4)", "00FB"},
        {"=BIN2HEX(\"1000000000\",)", "FFFFFFFE00"},
        {"=BIN2OCT(\"1000000000\",)", "7777777000"},
        {"=BIN2OCT(\"2\",)", "#VALUE!"},
        {"=BIN2OCT(1)", "0000000001"},
        // 0 keeps its one digit where places of 0 (rounded) ask for none.
        {"=BIN2OCT(\"\",0)", "0"},
        {"=HEX2OCT(\"0\",0)", "0"},
        {"=OCT2BIN(0,-0.29)", "0"},
        {"=DEC2HEX(0,0)", "0"},
        {"=DEC2BIN(5,0)", "101"},
        {"=DEC2BIN({1,2},4)", "{\"0001\", \"0010\"}"},
    });
}

// Every value of each width written and read back, the ends of the ranges among them.
TEST(BaseConversion, DigitTextsReadBackToTheirValues) {
    struct Width {
        int32_t bits;
        int64_t minimum, maximum;
    };
    static const Width widths[] = {
        {1, -512, 511}, {3, -536870912, 536870911}, {4, -549755813888, 549755813887}};
    std::mt19937_64 random(17);
    for (const Width& w : widths) {
        std::uniform_int_distribution<int64_t> pick(w.minimum, w.maximum);
        for (int i = 0; i < 2000; ++i) {
            int64_t v = i == 0 ? w.minimum : (i == 1 ? w.maximum : (i == 2 ? 0 : pick(random)));
            std::string text = WriteBaseDigits(v, w.bits, 10);
            int64_t back = 12345;
            ASSERT_TRUE(ReadBaseDigits(text, w.bits, back)) << text;
            ASSERT_EQ(back, v) << text;
            ASSERT_EQ(text.size(), 10u) << text;
        }
    }
}

TEST(BesselFunctions, BesselErrorAndStep) {
    CheckPrinted({
        {"=BESSELJ(1.9,2)", "0.32992572769239"},
        {"=BESSELY(2.5,1)", "0.14591813796679"},
        {"=BESSELJ(1.9,-1)", "#NUM!"},
        {"=BESSELY(0,1)", "#NUM!"},
        {"=BESSELY(-1,1)", "#NUM!"},
        {"=BESSELJ(1.9,2.5)-BESSELJ(1.9,3)", "0", 0},
        // Every order up to 2^31 - 1; far above |x| the value rounds to 0.
        {"=BESSELJ(1,100000)", "0"},
        {"=BESSELJ(1,100001)", "0"},
        {"=BESSELJ(1,2147483647)", "0"},
        {"=BESSELJ(-1e6,2147483647)", "0"},
        {"=BESSELJ(1.7e9,2147483647)", "0"},
        {"=BESSELJ(1,2147483648)", "#NUM!"},
        {"=BESSELJ(1e6,100001)", "0.0007909", 5e-8},
        {"=BESSELJ(1e6,100000)+BESSELJ(1e6,100002)-2*100001/1e6*BESSELJ(1e6,100001)", "0", 1e-15},
        {"=BESSELY(1,2147483647)", "#NUM!"},
        {"=BESSELY(1e6,100000)+BESSELY(1e6,100002)-2*100001/1e6*BESSELY(1e6,100001)", "0", 1e-15},
        {"=ERF(0.745,)", "0.707928920095738"},
        {"=ERFC(1)", "0.157299207050285", 1e-15},
        // erfc far in the tail, not 1 − erf; a short interval without cancellation.
        {"=ERFC(10)", "2.08848758376254e-45"},
        {"=ERF(1E-300,)", "1.12837916709551e-300"},
        {"=ERF(1,1+1E-10)", "4.15107531725232e-11"},
        {"=ERF(5,6)", "1.53743827469132e-12"},
        {"=ERF(-6,-5)", "1.53743827469132e-12"},
        {"=ERF(-0.745,)+ERF(0.745,)", "0", 0},
        {"=ERFC(-1)-(2-ERFC(1))", "0", 1e-15},
        {"=ERF(0.3,0.3)", "0"},
        {"=ERF(0,)", "0"},
        {"=ERF(0,0.745)", "0.707928920095738"},
        {"=ERF(A1,0.745)", "0.707928920095738"},
        {"=ERF(\"x\",)", "#NUM!"},
        // The optional second bound left out reads as empty.
        {"=ERF(1)", "0.842700792949715"},
        {"=DELTA(12,11)", "0"},
        {"=DELTA(0,)", "1"},
        {"=DELTA(0.1+0.2,0.3)", "0"},
        {"=GETSTEP(1.4,)", "1"},
        {"=GETSTEP(5,5)", "1"},
        {"=GETSTEP(4,5)", "0"},
    });
}

// Orders far above |x| are answered without the library's walk through every order; the
// answers agree with the walk's on both sides of where that starts.
TEST(BesselFunctions, HighOrdersAgreeWithTheRecurrence) {
    FunctionBook book;
    int shortcuts = 0;
    for (double x : {0.5, 1.0, -3.0, 30.0, 1000.0}) {
        for (int n = 0; n <= 2500; n += 3) {
            const std::string formula =
                "=BESSELJ(" + FormatDouble(x) + "," + std::to_string(n) + ")";
            const double walked = jn(n, x);
            const std::string expected = IsOutOfRange(walked) ? "#NUM!" : FormatDouble(walked);
            ASSERT_EQ(book.Eval(formula, "J20"), expected) << formula;
            if (n > 2 * std::fabs(x) && expected == "0") ++shortcuts;
        }
    }
    EXPECT_GT(shortcuts, 1000);
}

TEST(ComplexFunctions, BuildingReadingAndParts) {
    CheckFormulas({
        {"=COMPLEX(1,2,)", "1 + 2i"},
        {"=COMPLEX(3.5,4.6,\"j\")", "3.5 + 4.6j"},
        {"=COMPLEX(3,0,)", "3 + 0i"},
        {"=COMPLEX(3,-4,)", "3 - 4i"},
        {"=COMPLEX(-0,-0,)", "0 + 0i"},
        {"=COMPLEX(\"a\",1,)", "#NUM!"},
        {"=COMPLEX(1,2)", "1 + 2i"},
        {"=COMPLEX(1,2,\"\")", "1 + 2i"},
        {"=COMPLEX(1,2,\"i\")", "1 + 2i"},
        {"=COMPLEX(1,2,\"I\")", "#VALUE!"},
        {"=COMPLEX(1,2,\"ij\")", "#VALUE!"},
        {"=COMPLEX(1,2,REPT(\"x\",1025))", "#VALUE!"},
        {"=COMPLEX(1,2,5)", "#VALUE!"},
        {"=COMPLEX(1,2,1/0)", "#DIV/0!"},
        {"=COMPLEX(1/3,1E-9/3,)", "0.333333333333333 + 3.33333333333333e-010i"},
        // rounding that carries into a new digit; a tie keeps the plain form's rounding
        {"=COMPLEX(9.99999999999999,-99999.9999999999)", "9.99999999999999 - 99999.9999999999i"},
        {"=COMPLEX(78948847783565.25,1)", "78948847783565.3 + 1i"},
        // A number is read as itself, not through its 15-digit text.
        {"=IMREAL(9007199254740993)-9007199254740000", "992"},
        {"=IMCOS(9007199254740992)", "-0.528511784413089 + 0i"},
        {"=IMABS(\"5 + 12i\")", "13"},
        {"=IMABS(\"0\")", "0"},
        {"=IMABS(\"1.5E308+1.5E308i\")", "#VALUE!"},
        {"=IMABS(\"1E308+1E308i\")", "1.4142135623731e+308"},
        {"=IMREAL(\"3 + 4i\")", "3"},
        {"=IMAGINARY(\"3 + 4i\")", "4"},
        {"=IMAGINARY(\"-i\")", "-1"},
        {"=IMAGINARY(\"i\")", "1"},
        {"=IMREAL(\"1+2j\")", "1"},
        {"=IMREAL(\"-3\")", "-3"},
        {"=IMAGINARY(\"4i\")", "4"},
        {"=IMREAL(\"\")", "0"},
        {"=IMREAL(5)", "5"},
        {"=IMREAL(\"1 + 2i \")", "#VALUE!"},
        {"=IMREAL(\"1 + 2k\")", "#VALUE!"},
        {"=IMREAL(\"1 + 2\")", "#VALUE!"},
        {"=IMREAL(\"1E999\")", "#VALUE!"},
        {"=IMARGUMENT(\"0\")", "0"},
        {"=IMCONJUGATE(\"3 + 4i\")", "3 - 4i"},
        {"=IMCONJUGATE(\"3\")", "3 + 0i"},
        {"=IMSUB(\"10 + 5i\",\"9 + 4i\")", "1 + 1i"},
        {"=IMDIV(\"1 + 2i\",\"2 + 1i\")", "0.8 + 0.6i"},
        {"=IMDIV(-1,1)", "-1 + 0i"},
        {"=IMDIV(\"1 + 2i\",\"2i\")", "1 - 0.5i"},
        {"=IMDIV(\"1 + 2i\",0)", "#NUM!"},
        {"=IMDIV(\"x\",0)", "#VALUE!"},
        {"=IMPRODUCT(\"3+4i\",\"5-3i\")", "27 + 11i"},
        {"=IMPRODUCT({\"1+i\",\"1-i\"},2)", "4 + 0i"},
        {"=IMPRODUCT(\"1E200\",\"1E200\")", "#NUM!"},
        {"=IMSUM(\"1 + 1i\",\"2 + 2i\",{\"1 + 1i\",\"1 + 1i\"},1,\"1i\")", "6 + 6i"},
        {"=IMSUM(\"1 + 1i\",\"x\")", "#VALUE!"},
        {"=IMSUM(\"1 + 1i\",1/0)", "#DIV/0!"},
        {"=IMSUM()", "#SYNTAX!"},
        {"=IMSQRT(\"0\")", "0 + 0i"},
        {"=IMPOWER(\"0\",2)", "0 + 0i"},
        {"=IMPOWER(\"0\",0)", "1 + 0i"},
        {"=IMPOWER(\"0\",-1)", "#NUM!"},
        {"=IMPOWER(NA(),-1E+300)", "#N/A!"},
        {"=IMPOWER(\"2\",)", "1 + 0i"}, // an empty power is 0
        {"=IMLN(\"0\")", "#NUM!"},
        {"=IMLOG10(\"0\")", "#NUM!"},
        // Powers of the base are whole: the logarithm's own base, not a rounded constant.
        {"=IMLOG10(\"100\")", "2 + 0i"},
        {"=IMLOG10(\"0.001\")", "-3 + 0i"},
        {"=IMLOG10(\"8\")", "0.903089986991944 + 0i"}, // to its fifteenth digit
        {"=IMLOG10(\"-100\")", "2 + 1.36437635384184i"},
        {"=IMLOG2(\"8\")", "3 + 0i"},
        {"=IMLOG2(\"1024\")", "10 + 0i"},
        {"=IMLOG2(\"8i\")", "3 + 2.2661800709136i"},
        {"=IMLOG2(\"0\")", "#NUM!"},
        {"=IMCONJUGATE({\"1+i\",\"2\"})", "{\"1 - 1i\", \"2 + 0i\"}"},
    });
}

// Results compared part by part, within the tolerance given.
TEST(ComplexFunctions, ComputedValues) {
    CheckPrinted({
        {"=IMPOWER(\"2+3i\",3)", "-46 + 9i", 1e-12},
        {"=IMEXP(\"1 + 1i\")", "1.46869393991589 + 2.28735528717884i", 1e-13},
        {"=IMARGUMENT(\"3 + 4i\")", "0.927295218001612", 1e-13},
        {"=IMREAL(IMLN(\"3 + 4i\"))", "1.6094379124341"},
        {"=IMAGINARY(IMCOS(\"1 + 1i\"))", "-0.98889770576287"},
        {"=IMCOS(\"1 + 1i\")", "0.833730025131149 - 0.988897705762865i", 1e-14},
        {"=IMSIN(\"1 + 1i\")", "1.29845758141598 + 0.634963914784736i", 1e-14},
        {"=IMLN(\"-1\")", "0 + 3.14159265358979i", 1e-14},
        {"=IMSQRT(\"-4\")", "0 + 2i", 1e-15},
        {"=IMSQRT(\"3 + 4i\")", "2 + 1i", 1e-15},
        {"=IMLOG10(\"100\")", "2 + 0i", 1e-13},
        {"=IMLOG2(\"8\")", "3 + 0i", 1e-13},
        {"=IMPOWER(\"1+i\",-2)", "0 - 0.5i", 1e-15},
        {"=IMPOWER(\"3+4i\",2.5)", "-38 + 41i", 1e-13},
        {"=IMPOWER(\"4\",0.5)", "2 + 0i", 1e-15},
        {"=IMPOWER(\"-1\",0.1)", "0.951056516295154 + 0.309016994374947i", 1e-14},
        {"=IMPOWER(\"0\",0.1)", "0 + 0i"},
        {"=IMPOWER(\"1E+100+1E+100i\",-1E+300)", "0 + 0i"},
        // Whole powers by products: i to a multiple of 4 is exactly 1.
        {"=IMPOWER(\"i\",2147483648)", "1 + 0i", 1e-13},
        {"=IMPOWER(\"i\",-3)", "0 + 1i", 1e-15},
    });
}

} // namespace vl::test
