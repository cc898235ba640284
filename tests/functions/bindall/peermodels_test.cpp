// The models of the accepted differences: each takes our answer to a case and refuses one of
// the same kind beside it (another number, another error), so that a wrong answer cannot pass
// the comparison under its reason.
#include "functions/bindall/bindall.h"
#include "tests/functions/bindall/judgedrows.h"
#include "tests/functions/bindall/peermodels.h"

namespace vl::test {

namespace {

struct Row {
    const char* reason;
    const char* formula;
    Answer right, wrong;
};

Answer Num(double x) {
    return Answer{'n', x, ""};
}

Answer Err(const char* text) {
    return Answer{'e', 0, text};
}

Answer Text(const char* text) {
    return Answer{'t', 0, text};
}

class PeerModels : public ::testing::Test {
protected:
    void SetUp() override {
        BindAllFunctions();
        book.Sheet();
        PutData(book, ReadPeerFile().data);
        ASSERT_TRUE(book.Recalc());
    }
    std::string Judge(const Row& row, const Answer& ours) {
        const Answer peer = Err("#VALUE!");
        return Models().at(row.reason)(book, ReadModelCase(book, row.formula, ours, peer));
    }
    TestBook book;
};

} // namespace

TEST_F(PeerModels, TakeOurAnswerAndRefuseOneOfItsKindBeside) {
    const Row rows[] = {
        // A numeric text is its number, the empty text 0, areas leave other texts out.
        {"type rule", "=FACT(\"\")", Num(1), Num(2)},
        {"type rule", "=ZTEST(A1:A6,B10)", Err("#NUM!"), Num(0.99)},
        {"type rule", "=FIXED(\"\",-2)", Text("0"), Text("1")},
        {"type rule", "=ABS(\"abc\")", Err("#NUM!"), Err("#VALUE!")},
        // A reversed range #REF!, an empty intersection #NULL!, the area measures #VALUE!.
        {"error rule", "=SUM(C5:A3_G1:G12)", Err("#NULL!"), Err("#REF!")},
        {"error rule", "=D4:F8_B2", Err("#NULL!"), Err("#REF!")},
        {"error rule", "=ROWS(A12:A1)", Err("#VALUE!"), Err("#REF!")},
        {"error rule", "=ROWS(A1:A12_A12:A1)", Err("#VALUE!"), Err("#NULL!")},
        {"error rule", "=ROW(A12:A1)", Err("#REF!"), Err("#VALUE!")},
        {"error rule", "=SUMPRODUCT(D1:D12,A12:A1)", Err("#REF!"), Err("#VALUE!")},
        {"error rule", "=SUMPRODUCT(D1:D12,A1:G2,A12:A1)", Err("#VALUE!"), Err("#REF!")},
        {"error rule", "=COLUMN(B12:B1/0.5)+-3", Err("#REF!"), Err("#VALUE!")},
        {"error rule", "=COUNTA(B12:B1,A2,B3)", Num(2), Num(3)},
        {"error rule", "=AVERAGE(A12:A1_B2)", Err("#N/A!"), Err("#NULL!")},
        // The walk over every cell; types, columns and flags out of bounds #NUM!.
        {"lookup search", "=MATCH(\"3\",H1:H12,3)", Err("#NUM!"), Err("#N/A!")},
        {"lookup search", "=MATCH(NA(),A1:A6,0)", Err("#N/A!"), Err("#NUM!")},
        {"lookup search", "=HLOOKUP(0.5,{5},1,2)", Err("#NUM!"), Err("#REF!")},
        {"lookup search", "=VLOOKUP(8.325,I9:J10,B10,)", Err("#NUM!"), Err("#VALUE!")},
        {"lookup search", "=VLOOKUP(10,A1:A3,171,)", Err("#REF!"), Err("#NUM!")},
        {"lookup search", "=VLOOKUP(1,{1,2},2047,)", Err("#REF!"), Err("#NUM!")},
        {"lookup search", "=VLOOKUP(1,{1,2},2048,)", Err("#NUM!"), Err("#REF!")},
        {"lookup search", "=HLOOKUP(1,{1,2},2097152,)", Err("#REF!"), Err("#NUM!")},
        {"lookup search", "=HLOOKUP(1,{1,2},2097153,)", Err("#NUM!"), Err("#REF!")},
        {"lookup search", "=HLOOKUP(1,{1,2},0,)", Err("#NUM!"), Err("#REF!")},
        {"lookup search", "=LOOKUP(2,{1,2,3},{7,8,9})", Num(8), Num(7)},
        {"lookup search", "=LOOKUP(3,{1,2,3},{7,8})", Num(0), Num(8)},
        {"lookup search", "=MATCH(3,AC1:AC8,-1)", Num(4), Num(5)},
        {"lookup search", "=MATCH(2,{1,2,3},\"a\")", Err("#NUM!"), Err("#N/A!")},
        {"lookup search", "=VLOOKUP(2,{1,2;3,4},2,NA())", Err("#N/A!"), Err("#NUM!")},
        // A text that is no number in a paired array #NUM!, the largest error code winning.
        {"paired arrays", "=SUMX2MY2(A1:A12,B1:B12)", Err("#DIV/0!"), Err("#NUM!")},
        {"paired arrays", "=SUMXMY2({1,2},B5:B6)", Err("#VALUE!"), Err("#NUM!")},
        {"paired arrays", "=SUMX2PY2(A2,B2)", Num(0), Num(2.5)},
        // B5 is #DIV/0!, B10 the empty text (0): SERIESSUM stops at its first faulty
        // coefficient.
        {"paired arrays", "=SUMX2MY2(B5:B10,A1:A6)", Err("#DIV/0!"), Err("#NUM!")},
        {"paired arrays", "=SUMX2MY2(B5:B5,{\"a\"})", Err("#DIV/0!"), Err("#NUM!")},
        {"paired arrays", "=SERIESSUM(2,0,1,B5:B10)", Err("#DIV/0!"), Err("#NUM!")},
        // The largest of the codes given and of the call's own.
        {"largest error", "=ROUNDUP(NA(),32768)", Err("#NUM!"), Err("#N/A!")},
        {"largest error", "=NORMINV(1/0,NA(),1E+10)", Err("#N/A!"), Err("#DIV/0!")},
        {"largest error", "=NORMINV(1/0,NA(),1E+10)", Err("#N/A!"), Err("#NUM!")},
        {"largest error", "=NA()-\"abc\"", Err("#NUM!"), Err("#N/A!")},
        // Flows: no rate #NUM!, a single flow #DIV/0!, sums past the doubles #NUM!.
        {"flow arguments", "=IRR(A2)", Err("#NUM!"), Err("#DIV/0!")},
        {"flow arguments", "=IRR({-100,50,60},0.1)", Num(0.0639410298049854), Num(0.06394)},
        {"flow arguments", "=MIRR(A1:A1,0)", Err("#DIV/0!"), Err("#NUM!")},
        {"flow arguments", "=MIRR({-100,50,60},0.1)", Num(0.0723805294763608),
         Num(0.0732738758338533)},
        {"flow arguments", "=NPV(-1,1,2)", Err("#NUM!"), Err("#DIV/0!")},
        {"flow arguments", "=FVSCHEDULE(1.7E+308,0.0725,2)", Err("#NUM!"), Err("#DIV/0!")},
        // MOD on the divisor's side, 0 for a decimal's whole quotient; errors before the 0.
        {"remainder sign", "=MOD(-3,2)", Num(1), Num(-1)},
        {"remainder sign", "=MOD(0.3,0.1)", Num(0), Num(0.1)},
        {"remainder sign", "=MOD(\"abc\",0)", Err("#NUM!"), Err("#DIV/0!")},
        {"remainder sign", "=MOD(NA(),\"abc\")", Err("#NUM!"), Err("#N/A!")},
        {"remainder sign", "=MOD(5,\"\")", Err("#DIV/0!"), Err("#NUM!")},
        // Fields carried, an empty one 0; the fields' own errors, the largest code.
        {"date fields", "=DATE(\"abc\",1,1)", Err("#NUM!"), Err("#VALUE!")},
        {"date fields", "=DATE(2024,NA(),1/0)", Err("#N/A!"), Err("#DIV/0!")},
        {"date fields", "=DATE(,1,1)", Err("#NUM!"), Err("#VALUE!")},
        {"date fields", "=DATE(2024,1,\"\")", Text("2023-12-31"), Text("2024-01-01")},
        {"date fields", "=TIME(2147483648,0,0)", Err("#NUM!"), Err("#VALUE!")},
        {"date fields", "=TIME(1,\"x\",NA())", Err("#NUM!"), Err("#N/A!")},
        // The arguments' errors, the cells', a sum or variance past the doubles, a small sample.
        {"f cumulative", "=FTEST(A12:A1,G1:G12)", Err("#REF!"), Err("#VALUE!")},
        {"f cumulative", "=FTEST(A1:A12,5)", Err("#VALUE!"), Err("#DIV/0!")},
        {"f cumulative", "=FTEST(B2,A1:A6)", Err("#DIV/0!"), Err("#NUM!")},
        {"f cumulative", "=FTEST({1,1,1},A1:A6)", Err("#DIV/0!"), Err("#NUM!")},
        {"f cumulative", "=FTEST(F1:F4,A1:A6)", Err("#NUM!"), Err("#DIV/0!")},
        {"f cumulative", "=FTEST({1,2,\"a\",TRUE},{1;2;3;4})", Num(0.828826267612698), Num(0.8288)},
        // Positions in characters of the code page; the arguments' errors first.
        {"text positions", "=REPLACE(\"abc\",2,5,\"x\")", Text("ax"), Text("a")},
        {"text positions", "=REPLACE(\"Straße\",6,1,\"x\")", Text("Straßx"), Text("Straxe")},
        {"text positions", "=REPLACE(\"abc\",\"x\",1,NA())", Err("#NUM!"), Err("#N/A!")},
        {"text positions", "=REPLACE(NA(),2,1,\"x\")", Err("#N/A!"), Err("#VALUE!")},
        {"text positions", "=REPLACE(\"abc\",,1,\"x\")", Err("#VALUE!"), Err("#NUM!")},
        {"text positions", "=REPLACE(\"abc\",0,1,\"x\")", Err("#NUM!"), Err("#VALUE!")},
        {"text positions", "=SUBSTITUTE(\"a1b1\",\"1\",\"-\",\"x\")", Err("#NUM!"), Err("#VALUE!")},
        {"text positions", "=SUBSTITUTE(\"a1b1\",\"1\",\"-\",2)", Text("a1b-"), Text("a-b-")},
        {"text positions", "=SUBSTITUTE(NA(),\"1\",\"-\",-1)", Err("#NUM!"), Err("#N/A!")},
        {"text positions", "=FIND(\"\",\"\")", Err("#VALUE!"), Err("#NUM!")},
        {"text positions", "=FIND(\"\",\"abc\",5)", Err("#VALUE!"), Err("#NUM!")},
        {"text positions", "=FIND(\"b\",\"abcb\",3)", Num(4), Num(2)},
        {"text positions", "=FIND(\"ß\",\"Straße\",0.5)", Num(5), Num(6)},
        {"text positions", "=MID(\"Straße\",5,9)", Text("ße"), Text("ß")},
        {"text positions", "=MID(\"abc\",0,1)", Err("#VALUE!"), Err("#NUM!")},
        {"text positions", "=SUBSTITUTE(Other!A2,E5,1,Other!B3)", Text("2.5"), Text("1")},
        {"text positions", "=SUBSTITUTE(\"a1b1\",\"1\",\"-\",Other!B3)", Text("a-b-"),
         Text("a1b-")},
        // The code page's characters and cases.
        {"code page", "=CHAR(129)", Text("\u0081"), Text("")},
        {"code page", "=CHAR(128)", Text("€"), Text("\u0080")},
        {"code page", "=CHAR(256)", Err("#NUM!"), Err("#VALUE!")},
        {"code page", "=CHAR(\"abc\")", Err("#NUM!"), Err("#VALUE!")},
        {"code page", "=CHAR(NA())", Err("#N/A!"), Err("#NUM!")},
        {"code page", "=UPPER(\"šœžÿ\")", Text("ŠŒŽŸ"), Text("šœžÿ")},
        {"code page", "=LOWER(\"ŠŒŽŸÀ\")", Text("šœžÿà"), Text("ŠŒŽŸà")},
        {"code page", "=CODE(\"€uro\")", Num(128), Num(8364)},
        {"code page", "=CODE(NA())", Err("#N/A!"), Err("#VALUE!")},
        // The arguments' errors first; a given deviation of 0 #NUM!; the statistics.
        {"small samples", "=TTEST2(A12:A1,A2)", Err("#REF!"), Err("#N/A!")},
        {"small samples", "=ZTEST2(A2,2,0)", Err("#NUM!"), Err("#DIV/0!")},
        {"small samples", "=ZTEST2(A1:A12,2,\"\")", Err("#NUM!"), Err("#DIV/0!")},
        {"small samples", "=ZTEST2(A1:A12,NA(),0)", Err("#N/A!"), Err("#NUM!")},
        {"small samples", "=TTEST2(A1:A12,G1:G12)", Num(-0.55574750703595), Num(0.55574750703595)},
        {"small samples", "=ZTEST(A1:A12,2,1)", Num(1.75837083851172E-14), Num(1.76E-14)},
        // Probabilities 0 and 1 have no inverse but CHIINV's and FINV's 0.
        {"inverse ends", "=CONFIDENCE(0,1,10)", Err("#NUM!"), Err("#VALUE!")},
        {"inverse ends", "=FINV(0,10,0.5)", Num(0), Num(1E-300)},
        // DOLLAR and FIXED: 15 digits rounded as written, empty places 2, separators, signs.
        {"fifteen digits", "=DOLLAR(8.325,)", Text("$8.33"), Text("$8.32")},
        {"fifteen digits", "=FIXED(1.005,,0)", Text("1.01"), Text("1.00")},
        {"fifteen digits", "=FIXED(1234567.891,2,0)", Text("1,234,567.89"), Text("1234567.89")},
        {"fifteen digits", "=DOLLAR(-1234.5,-1)", Text("-$1,230"), Text("-$1,240")},
        {"fifteen digits", "=DOLLAR(-5,-1)", Text("$0"), Text("-$10")},
        {"fifteen digits", "=DOLLAR(-0.001,2)", Text("$0.00"), Text("-$0.00")},
        {"fifteen digits", "=FIXED(0.006,2)", Text("0.01"), Text("0.00")},
        {"fifteen digits", "=FIXED(9.995,2)", Text("10.00"), Text("9.99")},
        {"fifteen digits", "=FIXED(9007199254740993,1.9)", Text("9,007,199,254,740,990.00"),
         Text("9,007,199,254,740,993.00")},
        {"fifteen digits", "=FIXED(1,15)", Err("#NUM!"), Err("#VALUE!")},
        {"fifteen digits", "=FIXED(\"x\",NA())", Err("#NUM!"), Err("#N/A!")},
        // The largest error code of the arguments; then digits the base lacks, or a value the
        // target cannot hold, #VALUE!; a decimal past the target's range #NUM!.
        {"base digits", "=OCT2HEX(1/0,-308)", Err("#NUM!"), Err("#DIV/0!")},
        {"base digits", "=DEC2HEX(B5,11)", Err("#NUM!"), Err("#DIV/0!")},
        {"base digits", "=DEC2BIN(5,\"a\")", Err("#NUM!"), Err("#VALUE!")},
        {"base digits", "=DEC2BIN(511)", Text("0111111111"), Text("111111111")},
        {"base digits", "=DEC2BIN(512)", Err("#NUM!"), Err("#VALUE!")},
        {"base digits", "=DEC2BIN(-512)", Text("1000000000"), Text("-1000000000")},
        {"base digits", "=DEC2BIN(-513)", Err("#NUM!"), Err("#VALUE!")},
        {"base digits", "=HEX2BIN(\"1FF\")", Text("0111111111"), Text("111111111")},
        {"base digits", "=HEX2BIN(\"200\")", Err("#VALUE!"), Err("#NUM!")},
        {"base digits", "=BIN2HEX(\"12\")", Err("#VALUE!"), Err("#NUM!")},
        {"base digits", "=BIN2HEX(1.5)", Err("#VALUE!"), Err("#NUM!")},
        {"base digits", "=BIN2HEX(\"1\",10)", Text("0000000001"), Text("1")},
        {"base digits", "=BIN2HEX(\"1\",11)", Err("#NUM!"), Err("#VALUE!")},
        {"base digits", "=BIN2DEC(\"1111111111\")", Num(-1), Num(1023)},
        // Unequal counts and pairs whose errors differ #N/A!; texts and pairs of one error
        // passed over; PROB's limits read first.
        {"pair walk", "=PEARSON(E1:E3,E1:E3)", Err("#N/A!"), Err("#DIV/0!")},
        {"pair walk", "=PROB(E1:E2,A1:A2,\"x\")", Err("#NUM!"), Err("#N/A!")},
        {"pair walk", "=PROB(E1:E2,A1:A2,0,100)", Num(0), Num(4.5)},
        {"pair walk", "=PROB(B5:B6,B5:B6,1)", Num(1), Num(0)},
        {"pair walk", "=PROB(B3:B5,B4:B6,0,100)", Err("#N/A!"), Err("#DIV/0!")},
        {"pair walk", "=RSQ(box!A1:B2,Other!A:A)", Err("#N/A!"), Err("#DIV/0!")},
        // A whole column has the grid's rows, however few of them are used.
        {"pair walk", "=RSQ(Other!A:A,'\\Box\\Inner'!A1:B6)", Err("#N/A!"), Num(0.5)},
        // OFFSET's and INDEX's bounds, their error codes and the moved corner.
        {"range results", "=OFFSET(A1:A3,\"x\",0)", Err("#NUM!"), Err("#VALUE!")},
        {"range results", "=OFFSET(A1:A3,-1,0)", Err("#NUM!"), Err("#REF!")},
        {"range results", "=OFFSET(1,0,0)", Err("#VALUE!"), Err("#NUM!")},
        {"range results", "=OFFSET(A1,0,2046)", Num(0), Num(3)},
        {"range results", "=OFFSET(A1,0,2047)", Err("#NUM!"), Err("#REF!")},
        {"range results", "=OFFSET(A1,0,2046,2)", Err("#REF!"), Err("#NUM!")},
        {"range results", "=OFFSET(A1,2097150,0,,2)", Num(0), Num(3)},
        {"range results", "=OFFSET(A1,2097150,0,,3)", Err("#REF!"), Err("#NUM!")},
        {"range results", "=OFFSET(A1,2,1,0)", Err("#NUM!"), Err("#REF!")},
        {"range results", "=IF(\"x\",A1:A3,G1:G3)", Err("#NUM!"), Num(2)},
        {"range results", "=IF(NA(),A1:A3,1/0)", Err("#N/A!"), Err("#DIV/0!")},
        {"range results", "=IF(1,,G1:G3)", Num(1), Num(0)},
        {"range results", "=IF(0,A1:A3,B5:B6)", Err("#DIV/0!"), Num(1)},
        {"range results", "=CHOOSE(0,A1:A3,G1:G3)", Err("#NUM!"), Num(3)},
        {"range results", "=CHOOSE(2,A1:A3,G1:G3)", Num(2), Num(3)},
        {"range results", "=CHOOSE(3,A1:A3,G1:G3)", Err("#NUM!"), Err("#VALUE!")},
        {"range results", "=CHOOSE(1/0,A1:A3,G1:G3)", Err("#DIV/0!"), Err("#NUM!")},
        {"range results", "=INDEX(I1:K2,2,3)", Num(1), Num(2)},
        {"range results", "=INDEX(I1:K2,3)", Err("#REF!"), Err("#NUM!")},
        {"range results", "=INDEX(I1:K2,1,-1)", Err("#NUM!"), Err("#REF!")},
        // The moved range stays on the source's worksheet.
        {"range results", "=OFFSET(Other!A1:A3,1,0)", Num(2.5), Num(1.5)},
        {"range results", "=OFFSET(Other!A2:A5,100,Other!A2,Other!C2,)", Num(0), Err("#VALUE!")},
        // A place that names nothing is its #NAME?, to AVERAGE and AVEDEV too.
        {"list reading", "=AVEDEV(\"7\",Nowhere!A1:A3,Nowhere!A1)", Err("#NAME?"), Num(0)},
        {"list reading", "=AVERAGE(Nowhere!A1,4,Other!A2)", Err("#NAME?"), Num(3.25)},
        {"list reading", "=DEVSQ(Nowhere!A1,4)", Err("#NAME?"), Num(0)},
        // A flag that fails beside the other arguments' errors; an empty one as its default.
        {"truth flags", "=NORMDIST(1,0,1,\"x\")", Err("#NUM!"), Err("#VALUE!")},
        {"truth flags", "=NORMDIST(\"a\",0,1,1/0)", Err("#NUM!"), Err("#DIV/0!")},
        {"truth flags", "=NORMDIST(NA(),0,1,1/0)", Err("#N/A!"), Err("#DIV/0!")},
        {"truth flags", "=EXPONDIST(1,1,)", Num(0.367879441171442), Num(0.632120558828558)},
        {"truth flags", "=ADDRESS(1,1,1,,)", Text("$A$1"), Text("R1C1")},
        // The denominator from 1, the value within the 32-bit integers, errors merged.
        {"fraction digits", "=DOLLARFR(1.5,0)", Err("#NUM!"), Err("#DIV/0!")},
        {"fraction digits", "=DOLLARFR(B5,\"x\")", Err("#NUM!"), Err("#DIV/0!")},
        {"fraction digits", "=DOLLARFR(NA(),0.5)", Err("#N/A!"), Err("#NUM!")},
        {"fraction digits", "=DOLLARDE(2147483647,2)", Num(2147483647), Num(2147483648)},
        {"fraction digits", "=DOLLARDE(-2147483648,2)", Num(-2147483648), Num(-2147483647)},
        {"fraction digits", "=DOLLARDE(-2147483648.5,2)", Err("#NUM!"), Err("#VALUE!")},
        {"fraction digits", "=DOLLARDE(2147483648,2)", Err("#NUM!"), Err("#VALUE!")},
        {"fraction digits", "=DOLLARFR(1.5,)", Num(1.1), Num(1.5)},
        // The arguments' errors before the multiple's rules.
        {"multiples", "=CEILING(B5,-1)", Err("#NUM!"), Err("#DIV/0!")},
        {"multiples", "=FLOOR(\"x\",1/0)", Err("#NUM!"), Err("#DIV/0!")},
        {"multiples", "=MROUND(NA(),-1)", Err("#N/A!"), Err("#NUM!")},
        {"multiples", "=CEILING(,2)", Num(0), Num(2)},
        {"multiples", "=FLOOR(7,)", Num(7), Num(0)},
        // ZTEST: fewer than two values #DIV/0!, a statistic past the doubles #NUM!.
        {"domain rule", "=ZTEST(A1:A1,1,)", Err("#DIV/0!"), Err("#NUM!")},
        {"domain rule", "=ZTEST2({1,1},0,)", Err("#NUM!"), Err("#DIV/0!")},
    };
    RunJudgedRows(
        rows, [&](const Row& row, const Answer& a) { return Judge(row, a); },
        [&](const Row& row) {
            // The answer taken is ours.
            const Answer ours = Evaluate(book, row.formula, 19, 0);
            EXPECT_TRUE(Agree(ours, row.right)) << row.formula << " gives " << Describe(ours);
            return true;
        });
}

} // namespace vl::test
