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
        {"=HEX2DEC(\"G\")", "#VALUE!"},
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
        {"=DEC2BIN(0,0)", ""},
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
        {"=BIN2OCT(1)", "#SYNTAX!"},
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

} // namespace vl::test
