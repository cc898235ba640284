#include "functiontestutil.h"

#include <string>

namespace vl {

using test::FormulaCase;
using test::FunctionBook;

namespace {

// A formula with what it shows under the generic separators and under a decimal comma
// with "." grouping (null: the same).
struct LocaleCase {
    const char* formula;
    const char* point;
    const char* comma;
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

void CheckBothLocales(const LocaleCase* cases, std::size_t n) {
    FunctionBook book;
    for (std::size_t i = 0; i < n; ++i)
        EXPECT_EQ(book.Eval(cases[i].formula, "J20"), cases[i].point) << cases[i].formula;
    CommaLocale comma;
    for (std::size_t i = 0; i < n; ++i) {
        const char* shown = cases[i].comma ? cases[i].comma : cases[i].point;
        EXPECT_EQ(book.Eval(cases[i].formula, "J20"), shown) << "comma: " << cases[i].formula;
        EXPECT_EQ(book.Ctx().stringPool.count, 0) << cases[i].formula;
    }
}

} // namespace

TEST(TextFunctions, PiecesPositionsAndLimits) {
    static const LocaleCase cases[] = {
        {"=LEFT(\"abc\",)", "a", nullptr},
        {"=RIGHT(\"abc\",)", "c", nullptr},
        {"=LEFT(\"abc\",0)&RIGHT(\"abc\",0)", "", nullptr},
        {"=RIGHT(\"abc\",5)", "abc", nullptr},
        {"=LEFT(\"abc\",-1)", "#NUM!", nullptr},
        {"=MID(\"some text\",3,2)", "me", nullptr},
        {"=MID(\"some text\",10,2)", "", nullptr},
        {"=MID(\"some text\",0,2)", "#VALUE!", nullptr},
        {"=MID(\"abc\",2,-1)", "#VALUE!", nullptr},
        {"=MID(\"abc\",,)", "a", nullptr},
        {"=MID(\"abc\",2,2147483647)", "bc", nullptr},
        {"=MID(\"abc\",1/0,\"x\")", "#NUM!", nullptr},
        {"=REPLACE(\"abcd\",3,2,\"*\")", "ab*", nullptr},
        {"=REPLACE(\"abcd\",4,1,\"*\")", "abc*", nullptr},
        {"=REPLACE(\"abcd\",5,1,\"*\")", "#VALUE!", nullptr},
        {"=REPLACE(\"\",1,0,\"x\")", "#VALUE!", nullptr},
        {"=REPLACE(\"abcd\",,1,\"x\")", "#VALUE!", nullptr},
        {"=REPLACE(\"abc\",2,2147483647,\"x\")", "ax", nullptr},
        // The length tested is that of the text built: one character removed, not 100.
        {"=REPLACE(REPT(\"a\",1000),1000,100,REPT(\"b\",120))", "#VALUE!", nullptr},
        {"=LEN(REPLACE(REPT(\"a\",1000),1000,100,REPT(\"b\",25)))", "1024", nullptr},
        {"=LEN(REPT(\"abc\",341))", "1023", nullptr},
        {"=REPT(\"abc\",342)", "#VALUE!", nullptr},
        {"=REPT(\"ab\",0)&REPT(\"ab\",)", "", nullptr},
        {"=LEN(1.5)", "3", nullptr},
        {"=LEN({\"ab\",\"cde\"})", "{2, 3}", nullptr},
        {"=LEFT(1/0,1)", "#DIV/0!", nullptr},
        {"=ASC(\"x y\")", "x y", nullptr},
        {"=CONCATENATE(\"a\",1,\"b\",2.5)", "a1b2.5", nullptr},
        // The walk from the last argument stops at the first that fails.
        {"=CONCATENATE(\"x\"+1,NA())", "#N/A!", nullptr},
        {"=CONCATENATE(\"a\",{\"b\",1;\"c\",2})", "ab1c2", nullptr},
        {"=LEN(CONCATENATE(REPT(\"a\",1000),REPT(\"b\",24)))", "1024", nullptr},
        {"=CONCATENATE(REPT(\"a\",1000),REPT(\"b\",25))", "#VALUE!", nullptr},
    };
    CheckBothLocales(cases, std::size(cases));
}

TEST(TextFunctions, SearchingAndSubstituting) {
    static const LocaleCase cases[] = {
        {"=FIND(\"text\",\"sample text\",1)", "8", nullptr},
        {"=FIND(\"text\",\"sample text\",0)", "#VALUE!", nullptr},
        {"=FIND(\"T\",\"sample text\",1)", "#VALUE!", nullptr},
        {"=FIND(\"\",\"abc\",2)", "2", nullptr},
        {"=FIND(\"c\",\"abc\",3)", "3", nullptr},
        {"=FIND(\"c\",\"abc\",4)", "#VALUE!", nullptr},
        {"=SEARCH(\"?bc?e*\",\"abc abcd abcde ab\",)", "10", nullptr},
        {"=SEARCH(\"T\",\"sample text\",)", "8", nullptr},
        {"=SEARCH(\"b\",\"abcb\",3)", "4", nullptr},
        {"=SEARCH(\"\",\"abc\",)", "#VALUE!", nullptr},
        {"=SEARCH(\"a\",\"abc\",4)", "#VALUE!", nullptr},
        {"=SEARCH(\"a\",\"abc\",1025)", "#NUM!", nullptr},
        {"=SUBSTITUTE(\"a1b1c1d\",\"1\",\"-\",0)", "a-b-c-d", nullptr},
        {"=SUBSTITUTE(\"a1b1c1d\",\"1\",\"-\",2)", "a1b-c1d", nullptr},
        {"=SUBSTITUTE(\"a1b1c1d\",\"1\",\"-\",4)", "a1b1c1d", nullptr},
        {"=SUBSTITUTE(\"abc abcd abcde ab\",\"?bc?e*a\",\"x\",1)", "abc abcd xb", nullptr},
        // A pattern that ends in "*" matches to the end while the scan moves on by its length.
        {"=SUBSTITUTE(\"abc\",\"c*\",\"-\",0)", "ab-", nullptr},
        {"=SUBSTITUTE(\"abc\",\"\",\"-\",0)", "abc", nullptr},
        {"=LEN(SUBSTITUTE(REPT(\"a\",512),\"a\",\"bb\",0))", "1024", nullptr},
        {"=SUBSTITUTE(REPT(\"a\",513),\"a\",\"bb\",0)", "#VALUE!", nullptr},
        {"=SUBSTITUTE(\"abc\",\"b\",\"x\",-1)", "#NUM!", nullptr},
    };
    CheckBothLocales(cases, std::size(cases));
}

TEST(TextFunctions, CaseLettersAndCodes) {
    static const LocaleCase cases[] = {
        {"=CODE(CHAR(233))", "233", nullptr},
        {"=CODE(\"\")", "0", nullptr},
        {"=CHAR(0)", "", nullptr},
        {"=CHAR(65)&CHAR(\"66\")", "AB", nullptr},
        {"=CHAR(256)", "#NUM!", nullptr},
        {"=CHAR(-1)", "#NUM!", nullptr},
        // Bytes 1-31 go; 233 and 128 are characters of the code page and stay.
        {"=LEN(CLEAN(CHAR(233)&CHAR(9)&CHAR(128)&CHAR(31)&\"a\"&CHAR(32)))", "4", nullptr},
        {"=CODE(CLEAN(CHAR(9)&CHAR(233)))", "233", nullptr},
        {"=TRIM(\"  two   words  \")", "two words", nullptr},
        {"=LEN(TRIM(CHAR(9)&\" a \"))", "3", nullptr},
        {"=PROPER(\"o'neil 2nd\")", "O'Neil 2Nd", nullptr},
        {"=CODE(PROPER(CHAR(233)&\"t\"))", "201", nullptr},
        {"=UPPER(\"abc\")&LOWER(\"DEF\")", "ABCdef", nullptr},
        {"=CODE(UPPER(CHAR(255)))", "159", nullptr},
        {"=EXACT(\"Abc\",\"abc\")", "0", nullptr},
        {"=EXACT(\"abc\",\"abc\")", "1", nullptr},
        {"=EXACT(1,\"1\")", "1", nullptr},
    };
    CheckBothLocales(cases, std::size(cases));
}

TEST(TextFunctions, NumbersAsTextInTheUserLocale) {
    static const LocaleCase cases[] = {
        {"=FIXED(10.956,,)", "10.96", "10,96"},
        {"=FIXED(1234.89,-2,0)", "1,200", "1.200"},
        {"=FIXED(1234.89,,)", "1234.89", "1234,89"},
        {"=FIXED(1234.567,1,0)", "1,234.6", "1.234,6"},
        {"=FIXED(-1234.567,0,1)", "-1235", nullptr},
        {"=FIXED(1,15,)", "#NUM!", nullptr},
        {"=FIXED(1,2,{0})", "#VALUE!", nullptr},
        {"=FIXED({1.5,2},0,)", "{\"2\", \"2\"}", nullptr},
        {"=DOLLAR(15,-1)", "$20", nullptr},
        {"=DOLLAR(-15,-1)", "-$10", nullptr},
        {"=DOLLAR(1234.567,)", "$1,234.57", "$1.234,57"},
        {"=DOLLAR(\"x\",2)", "#NUM!", nullptr},
        {"=TEXT(1234.5,\"#,##0.00\")", "1,234.50", "1.234,50"},
        {"=TEXT(25,\"0%\")", "25%", nullptr},
        {"=TEXT(\"x\",\"0\")", "#NUM!", nullptr},
        {"=VALUE(\"10 4/5\")", "10.8", nullptr},
        {"=VALUE(\"$1,000\")", "1000", "1"},
        {"=VALUE(\"123.45\")", "123.45", "#VALUE!"},
        {"=VALUE(\"123,45\")", "#VALUE!", "123.45"},
        {"=VALUE(\"abc\")", "#VALUE!", nullptr},
    };
    CheckBothLocales(cases, std::size(cases));
}

// Text arguments are held to 1,024 characters; IF passes on a text of any length that the
// pool holds.
TEST(TextFunctions, LongTextArgumentsAreRefused) {
    FunctionBook book;
    book.Text("A1", std::string(1024, 'x'));
    book.Text("A2", std::string(1025, 'x'));
    book.Number("B1", 1);
    book.Number("B5", 1);
    book.Text("C5", std::string(3000, 'y'));
    static const FormulaCase cases[] = {
        {"=LEN(A1)", "1024"},
        {"=LEN(A2)", "#VALUE!"},
        {"=UPPER(A2)", "#VALUE!"},
        {"=FIND(\"x\",A2,1)", "#VALUE!"},
        {"=SUBSTITUTE(\"a\",\"a\",A2,0)", "#VALUE!"},
        {"=VLOOKUP(A2,A1:B1,2,0)", "#VALUE!"},
        {"=VLOOKUP(A1,A1:B1,2,0)", "1"},
        {"=MATCH(A2,A1:B1,0)", "#VALUE!"},
    };
    book.Check(cases);
    // VLOOKUP fetches a text of any length.
    EXPECT_EQ(book.Eval("=IF(1,VLOOKUP(1,B5:C5,2,0),0)", "J20"), std::string(3000, 'y'));
    EXPECT_EQ(book.Eval("=IF(0,0,VLOOKUP(1,B5:C5,2,0))", "J20"), std::string(3000, 'y'));
}

// CODE gives the byte CHAR takes, for every byte.
TEST(TextFunctions, CharOfCodeGivesEveryByteBack) {
    FunctionBook book;
    for (int b = 1; b < 256; ++b) {
        std::string n = std::to_string(b);
        EXPECT_EQ(book.Eval("=CODE(CHAR(" + n + "))", "J20"), n);
    }
}

} // namespace vl
