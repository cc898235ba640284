// The references of the functions the peer has none of: each meets the answer its definition
// gives and refuses one beside it, so that the comparison's judgement can fail.
#include "functions/bindall/bindall.h"
#include "tests/functions/bindall/peerreferences.h"

#include <cmath>

namespace vl::test {

namespace {

struct Row {
    const char* function;
    const char* formula;
    Answer right, wrong;
};

Answer Num(double x) {
    return Answer{'n', x, ""};
}

Answer Err(const char* text) {
    return Answer{'e', 0, text};
}

} // namespace

TEST(PeerReferences, MeetTheDefinitionAndRefuseWhatIsBesideIt) {
    BindAllFunctions();
    PeerFile file = ReadPeerFile();
    TestBook book;
    book.Sheet();
    PutData(book, file.data);
    ASSERT_TRUE(book.Recalc());
    const Row rows[] = {
        // Worked examples: LPROG {1; 0; 3}, LPROGINT {4; 0; 2}, LPROGBIN {1; 4; 1}, QPROG {0; 5}.
        {"LProg", "=INDEX(LPROG({2,1,1;1,1,3},{1;0},{5;10},{4;2;2},1,,),3)", Num(3), Num(2.5)},
        {"LProg", "=LPROG({1,1;1,1},{1;-1},{2;5},{1;1},1,,)", Err("#NULL!"), Err("#VALUE!")},
        {"LProg", "=LPROG({1,-1},{1},{1},{1;1},1,,)", Err("#VALUE!"), Err("#NULL!")},
        {"LProg", "=LPROG({1,1;1,3},{1},{4;6},{1;2},1,,)", Err("#VALUE!"), Num(0)},
        {"LProg", "=LPROG({2,1,1;1,1,3},{1;0},{5;10},{4;2;2},1/0,,)", Err("#DIV/0!"),
         Err("#VALUE!")},
        {"LProgInt", "=INDEX(LPROGINT({2.5,1.5,1;1,1.5,3},{1;0},{15;10},{1;1;2},{1;0;1},1,,),1)",
         Num(4), Num(4.5)},
        {"LProgInt", "=LPROGINT({2},{0},{3},{1},{1},1,,)", Err("#NULL!"), Num(1.5)},
        {"LProgBin", "=INDEX(LPROGBIN({2.5,1.5,1;1,1.5,3},{1;0},{15;10},{1;1;2},{1;0;1},1,,),2)",
         Num(4), Num(3)},
        {"QProg", "=INDEX(QPROG({1,2;1,1},{1;1},{10;9},{10;25},{10,2;2,1},1,),2)", Num(5),
         Num(4.9)},
        {"QProg", "=INDEX(QPROG({1},{1},{4},{4},{1},1,),1)", Num(2), Num(4)},
        // H1 = A1 + G1 (G1 = 2): its root -2; AF4 = AF2^3 - AF2 - 1: 1.32471795724475.
        {"root", "=ROOT(H1,A1,-10,10,)", Num(-2), Num(-2.0001)},
        {"root", "=ROOT(AF4,AF2,1,2,)", Num(1.324717957244746), Num(1.3247179572)},
        {"root", "=ROOT(H1,A1,2,1,)", Err("#NUM!"), Err("#VALUE!")},
        {"root", "=ROOT(H1,A1,0,10,)", Err("#VALUE!"), Num(0)},
        {"root", "=ROOT(H1,A1:A2,-10,10,)", Err("#REF!"), Num(-2)},
        // AF1 = (AF2 - 3)^2 + (AF3 + 1)^2 + 2: lowest 2 at (3, -1); H1 has no lowest point.
        {"minSimplex", "=MINSIMPLEX(AF1,AF2:AF3,{1;1},,,,2)", Num(2), Num(2.01)},
        {"minSimplex", "=INDEX(MINSIMPLEX(AF1,AF2:AF3,{1;1},,,,1),2)", Num(-1), Num(-0.99)},
        {"minSimplex", "=INDEX(MINSIMPLEX(AF1,AF2:AF3,{1;0},,,,1),2)", Num(0.25), Num(-1)},
        {"minSimplex", "=MINSIMPLEX(H1,A1:A1,{1},,,,1)", Err("#NUM!"), Num(-1e300)},
        {"minSimplex", "=MINSIMPLEX(AF1,AF2:AF3,{1;1;1},,,,1)", Err("#VALUE!"), Err("#REF!")},
        // AF1 does not read itself: flat along its own value, the search ends where it starts.
        {"minSimplex", "=MINSIMPLEX(AF1,AF1:AF1,{1},,,,1)", Num(9.8125), Err("#NUM!")},
        {"minSimplex", "=MINSIMPLEX(AF1,AF1:AF1,{1},,,,3)", Num(1), Num(2)},
        // MINMC's best of 1,000 points of an increasing line lies near the lower end.
        {"minMC", "=MINMC(H1,A1:A1,{1},-4,6,1000)", Num(-3.99), Num(-3.5)},
        {"minMC", "=INDEX(MINMC(AF1,AF2:AF3,{1;0},0,10,500),2)", Num(0.25), Num(3)},
        {"minMC", "=MINMC(AF1,AF2:AF3,{1;1},5,5,100)", Err("#NUM!"), Num(5)},
        // A straight line through five points: x = {14.0638...; 1.4979...}.
        {"polyReg",
         "=INDEX(POLYREG({1;2;3;4;5},{1.1;1.2;1.3;1.4;1.5},{0.2;0.2;0.2;0.2;0.23},4,1),2)",
         Num(1.497878733250143), Num(1.4979)},
        {"polyReg", "=POLYREG({1;2;3;4;5},{1.1;1.2;1.3;1.4;1.5},{0.2;0.2;0.2;0.2;0.23},6,1)",
         Err("#VALUE!"), Err("#NUM!")},
        // f_1 = 1, f_2 = 1 + t, f_3 = t + t^2 at t = 1.5: 1 + 2 x 2.5 + 3 x 3.75.
        {"polyPoints",
         "=INDEX(POLYPOINTS({1;2;3},{1,0,0;1,1,0;0,1,1},{0;0;0},5,3,{1.5;-2;2.5},0.85),1,1)",
         Num(17.25), Num(17.3)},
        {"polyPoints",
         "=INDEX(POLYPOINTS({1;2;3},{1,0,0;1,1,0;0,1,1},{0;0;0},5,3,{1.5;-2;2.5},0),1,1)",
         Err("#NUM!"), Num(17.25)},
        // The worked series: the first row (35.071, 10.531), the fifth trend 7.5.
        {"timeSeries", "=INDEX(TIMESERIES({11;8;7;2;1;3;8;4},2,3,0.8),5,1)", Num(7.5), Num(7.6)},
        {"timeSeries", "=INDEX(TIMESERIES({11;8;7;2;1;3;8;4},5,2,0.8),1,1)", Err("#VALUE!"),
         Num(7.8)},
        {"rtd", "=RTD(\"Test.Functions\",,\"Value\")", Err("#REF!"), Err("#VALUE!")},
        {"rtd", "=RTD(\"Test.Functions\",,REPT(\"a\",1023))", Err("#REF!"), Err("#VALUE!")},
        {"rtd", "=RTD(\"Test.Functions\",,REPT(\"a\",1024))", Err("#VALUE!"), Err("#REF!")},
        {"rtd", "=RTD(\"Test.Functions\",,1/0)", Err("#DIV/0!"), Err("#REF!")},
        {"udf", "=UDF(\"Test.Functions\",,\"Add\",1,2)", Err("#REF!"), Num(3)},
        {"udf", "=UDF(\"Test.Functions\",,\"Add\",1/0,NA())", Err("#N/A!"), Err("#DIV/0!")},
    };
    for (const Row& row : rows) {
        const Reference& judge = References().at(row.function);
        EXPECT_EQ(judge(book, row.formula, row.right).fault, "") << row.formula;
        EXPECT_NE(judge(book, row.formula, row.wrong).fault, "") << row.formula;
    }
}

// The quantiles the confidence limits take, against their tables.
TEST(PeerReferences, QuantilesMeetTheirTables) {
    EXPECT_NEAR(double(reference::NormalQuantile(0.975L)), 1.959963984540054, 1e-14);
    EXPECT_NEAR(double(reference::StudentQuantile(0.975L, 10)), 2.228138851986274, 1e-12);
    EXPECT_NEAR(double(reference::StudentQuantile(0.9L, 1)), 3.077683537175253, 1e-12);
    EXPECT_EQ(double(reference::NormalQuantile(1)), 1.7976931348623157e308);
}

} // namespace vl::test
