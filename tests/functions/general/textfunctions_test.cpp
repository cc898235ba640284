#include "functiontestutil.h"

#include <cmath>
#include <string>

namespace vl::test {

namespace {

// A formula with what it shows under the generic separators and under a decimal comma
// with "." grouping (null: the same).
struct LocaleCase {
    const char* formula;
    const char* point;
    const char* comma = nullptr;
};

// The user separators of a decimal-comma locale for the time of a test.
class CommaLocale {
public:
    CommaLocale() : saved_(UserSeparators()) {
        UserSeparators().decimal = ',';
        UserSeparators().thousands = '.';
    }
    ~CommaLocale() { UserSeparators() = saved_; }

private:
    SeparatorSet saved_;
};

void CheckBothLocales(std::initializer_list<LocaleCase> cases) {
    FunctionBook book;
    for (const LocaleCase& c : cases) EXPECT_EQ(book.Eval(c.formula, "J20"), c.point) << c.formula;
    CommaLocale comma;
    for (const LocaleCase& c : cases) {
        EXPECT_EQ(book.Eval(c.formula, "J20"), c.comma ? c.comma : c.point)
            << "comma: " << c.formula;
        EXPECT_EQ(book.Ctx().stringPool.count, 0) << c.formula;
    }
}

} // namespace

TEST(TextFunctions, PiecesPositionsAndLimits) {
    CheckBothLocales({
        {"=LEFT(\"abc\",)", "a"},
        {"=RIGHT(\"abc\",)", "c"},
        {"=LEFT(\"abc\",0)&RIGHT(\"abc\",0)", ""},
        {"=RIGHT(\"abc\",5)", "abc"},
        {"=LEFT(\"abc\",-1)", "#NUM!"},
        {"=MID(\"some text\",3,2)", "me"},
        {"=MID(\"some text\",10,2)", ""},
        {"=MID(\"some text\",0,2)", "#VALUE!"},
        {"=MID(\"abc\",2,-1)", "#VALUE!"},
        {"=MID(\"abc\",,)", "a"},
        {"=MID(\"abc\",2,2147483647)", "bc"},
        {"=MID(\"abc\",1/0,\"x\")", "#NUM!"},
        {"=REPLACE(\"abcd\",3,2,\"*\")", "ab*"},
        {"=REPLACE(\"abcd\",4,1,\"*\")", "abc*"},
        {"=REPLACE(\"abcd\",5,1,\"*\")", "#VALUE!"},
        {"=REPLACE(\"\",1,0,\"x\")", "#VALUE!"},
        {"=REPLACE(\"abcd\",,1,\"x\")", "#VALUE!"},
        {"=REPLACE(\"abc\",2,2147483647,\"x\")", "ax"},
        // The length tested is that of the text built: one character removed, not 100.
        {"=REPLACE(REPT(\"a\",8000),8000,100,REPT(\"b\",175))", "#VALUE!"},
        {"=LEN(REPLACE(REPT(\"a\",8000),8000,100,REPT(\"b\",174)))", "8173"},
        {"=LEN(REPT(\"abc\",2724))", "8172"},
        {"=REPT(\"abc\",2725)", "#VALUE!"},
        {"=LEN(REPT(\"a\",8173))", "8173"}, // the longest result: what a cell holds
        {"=REPT(\"ab\",4087)", "#VALUE!"},  // 8,174 characters: refused
        {"=REPT(\"ab\",0)&REPT(\"ab\",)", ""},
        {"=LEN(1.5)", "3"},
        {"=LEFT(-1E-300,100)", "-1E-300"},
        {"=CONCATENATE(\"a\",1E+22)", "a1E+22"},
        {"=LEN({\"ab\",\"cde\"})", "{2, 3}"},
        {"=LEFT(1/0,1)", "#DIV/0!"},
        {"=ASC(\"x y\")", "x y"},
        {"=CONCATENATE(\"a\",1,\"b\",2.5)", "a1b2.5"},
        // The walk from the last argument stops at the first that fails.
        {"=CONCATENATE(\"x\"+1,NA())", "#N/A!"},
        {"=CONCATENATE(\"a\",{\"b\",1;\"c\",2})", "ab1c2"},
        {"=LEN(CONCATENATE(REPT(\"a\",8000),REPT(\"b\",173)))", "8173"},
        {"=CONCATENATE(REPT(\"a\",8000),REPT(\"b\",174))", "#VALUE!"},
    });
}

TEST(TextFunctions, SearchingAndSubstituting) {
    CheckBothLocales({
        {"=FIND(\"text\",\"sample text\",1)", "8"},
        {"=FIND(\"text\",\"sample text\",0)", "#VALUE!"},
        {"=FIND(\"T\",\"sample text\",1)", "#VALUE!"},
        {"=FIND(\"\",\"abc\",2)", "2"},
        {"=FIND(\"c\",\"abc\",3)", "3"},
        {"=FIND(\"c\",\"abc\",4)", "#VALUE!"},
        {"=SEARCH(\"?bc?e*\",\"abc abcd abcde ab\",)", "10"},
        {"=SEARCH(\"T\",\"sample text\",)", "8"},
        {"=SEARCH(\"b\",\"abcb\",3)", "4"},
        {"=SEARCH(\"\",\"abc\",)", "#VALUE!"},
        {"=SEARCH(\"a\",\"abc\",4)", "#VALUE!"},
        {"=SEARCH(\"a\",\"abc\",8174)", "#NUM!"},
        {"=SUBSTITUTE(\"a1b1c1d\",\"1\",\"-\",0)", "a-b-c-d"},
        {"=SUBSTITUTE(\"a1b1c1d\",\"1\",\"-\",2)", "a1b-c1d"},
        {"=SUBSTITUTE(\"a1b1c1d\",\"1\",\"-\",4)", "a1b1c1d"},
        {"=SUBSTITUTE(\"abc abcd abcde ab\",\"?bc?e*a\",\"x\",1)", "abc abcd abcde ab"},
        // A pattern that ends in "*" matches to the end while the scan moves on by its length.
        {"=SUBSTITUTE(\"abc\",\"c*\",\"-\",0)", "abc"},
        {"=SUBSTITUTE(\"abc\",\"\",\"-\",0)", "abc"},
        {"=LEN(SUBSTITUTE(REPT(\"a\",4086),\"a\",\"bb\",0))", "8172"},
        {"=SUBSTITUTE(REPT(\"a\",4087),\"a\",\"bb\",0)", "#VALUE!"},
        {"=SUBSTITUTE(\"abc\",\"b\",\"x\",-1)", "#NUM!"},
    });
}

TEST(TextFunctions, CaseLettersAndCodes) {
    CheckBothLocales({
        {"=CODE(CHAR(233))", "233"},
        {"=CODE(\"\")", "0"},
        {"=CHAR(0)", ""},
        {"=CHAR(65)&CHAR(\"66\")", "AB"},
        {"=CHAR(256)", "#NUM!"},
        {"=CHAR(-1)", "#NUM!"},
        // Bytes 1-31 go; 233 and 128 are characters of the code page and stay.
        {"=LEN(CLEAN(CHAR(233)&CHAR(9)&CHAR(128)&CHAR(31)&\"a\"&CHAR(32)))", "4"},
        {"=CODE(CLEAN(CHAR(9)&CHAR(233)))", "233"},
        {"=TRIM(\"  two   words  \")", "two words"},
        {"=LEN(TRIM(CHAR(9)&\" a \"))", "3"},
        {"=PROPER(\"o'neil 2nd\")", "O'Neil 2Nd"},
        {"=CODE(PROPER(CHAR(233)&\"t\"))", "201"},
        {"=UPPER(\"abc\")&LOWER(\"DEF\")", "ABCdef"},
        {"=CODE(UPPER(CHAR(255)))", "159"},
        {"=EXACT(\"Abc\",\"abc\")", "0"},
        {"=EXACT(\"abc\",\"abc\")", "1"},
        {"=EXACT(1,\"1\")", "1"},
    });
}

TEST(TextFunctions, NumbersAsTextInTheUserLocale) {
    CheckBothLocales({
        {"=FIXED(10.956,,)", "10.96", "10,96"},
        {"=FIXED(1234.89,-2,0)", "1,200", "1.200"},
        {"=FIXED(1234.89,,)", "1,234.89", "1.234,89"},
        {"=FIXED(1234.89)", "1,234.89", "1.234,89"},
        {"=FIXED(1234.89,1)", "1,234.9", "1.234,9"},
        {"=FIXED(1234.567,1,0)", "1,234.6", "1.234,6"},
        {"=FIXED(-1234.567,0,1)", "-1235"},
        {"=FIXED(2.5,0,1)", "3"}, // an exact half rounds away from zero
        {"=FIXED(-0.125,2,1)", "-0.13", "-0,13"},
        {"=TEXT(2.5,\"0\")", "3"},
        {"=FIXED(1,15,)", "#NUM!"},
        {"=FIXED(1,2,{0})", "#VALUE!"},
        {"=FIXED({1.5,2},0,)", "{\"2\", \"2\"}"},
        {"=DOLLAR(15,-1)", "$20"},
        {"=DOLLAR(-15,-1)", "-$10"},
        {"=DOLLAR(1234.567,)", "$1,234.57", "$1.234,57"},
        {"=DOLLAR(\"x\",2)", "#NUM!"},
        {"=TEXT(1234.5,\"#,##0.00\")", "1,234.50", "1.234,50"},
        {"=TEXT(0.25,\"0%\")", "25%"}, // a bare "%" scales by 100
        {"=TEXT(25,\"0\\%\")", "25%"}, // an escaped one is text
        {"=TEXT(\"x\",\"0\")", "#NUM!"},
        {"=VALUE(\"10 4/5\")", "10.8"},
        {"=VALUE(\"$1,000\")", "1000", "1"},
        {"=VALUE(\"123.45\")", "123.45", "#VALUE!"},
        {"=VALUE(\"123,45\")", "#VALUE!", "123.45"},
        {"=VALUE(\"abc\")", "#VALUE!"},
    });
}

// Text arguments of any length a cell holds are read; IF and VLOOKUP pass such a text on.
TEST(TextFunctions, LongTextArguments) {
    FunctionBook book;
    book.Text("A1", std::string(8172, 'x'));
    book.Text("A2", std::string(8173, 'x'));
    book.Number("B1", 1);
    book.Number("B5", 1);
    book.Text("C5", std::string(8173, 'y'));
    book.Check({
        {"=LEN(A1)", "8172"},
        {"=LEN(A2)", "8173"},
        {"=LEN(UPPER(A2))", "8173"},
        {"=FIND(\"x\",A2,8173)", "8173"},
        {"=LEN(SUBSTITUTE(\"a\",\"a\",A2,0))", "8173"},
        {"=SUBSTITUTE(\"aa\",\"a\",A2,0)", "#VALUE!"},
        {"=VLOOKUP(A2,A1:B1,2,0)", "#N/A!"},
        {"=VLOOKUP(A1,A1:B1,2,0)", "1"},
        {"=MATCH(A2,A1:B1,0)", "#N/A!"},
    });
    EXPECT_EQ(book.Eval("=IF(1,VLOOKUP(1,B5:C5,2,0),0)", "J20"), std::string(8173, 'y'));
    EXPECT_EQ(book.Eval("=IF(0,0,VLOOKUP(1,B5:C5,2,0))", "J20"), std::string(8173, 'y'));
}

// CODE gives the byte CHAR takes, for every byte.
TEST(TextFunctions, CharOfCodeGivesEveryByteBack) {
    FunctionBook book;
    for (int b = 1; b < 256; ++b) {
        std::string n = std::to_string(b);
        EXPECT_EQ(book.Eval("=CODE(CHAR(" + n + "))", "J20"), n);
    }
}

} // namespace vl::test

namespace vl::test {

// A zero of any sign that a formula makes is kept, shown and converted as "0".
TEST(TextFunctions, NegativeZeroNeitherShowsNorConverts) {
    FunctionBook book;
    const char* formulas[] = {"=VALUE(\"-0\")",         "=N(\"-0\")",
                              "=IF(1,VALUE(\"-0\"),1)", "=VALUE(\"-0\")&\"\"",
                              "=-VALUE(\"0\")",         "=TEXT(VALUE(\"-0\"),\"0.0\")"};
    const char* shown[] = {"0", "0", "0", "0", "0", "0.0"};
    for (std::size_t i = 0; i < std::size(formulas); ++i)
        book.Formula("B" + std::to_string(i + 2), formulas[i]);
    ASSERT_TRUE(book.Recalc());
    for (std::size_t i = 0; i < std::size(formulas); ++i) {
        const std::string a1 = "B" + std::to_string(i + 2);
        EXPECT_EQ(book.Shown(a1), shown[i]) << formulas[i];
        const Place p = At(a1);
        const uint8_t* r = FindCell(book.Sheet().cells, p.row, p.column);
        ASSERT_NE(r, nullptr);
        if (!(cell::ResultFlags(r) & kResultText)) {
            EXPECT_FALSE(std::signbit(cell::CachedNumber(r))) << formulas[i];
        }
    }
}

} // namespace vl::test
