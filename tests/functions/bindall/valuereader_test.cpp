// How functions read their values: every shape an argument comes in (a range, a whole
// column, a cell named on its own, a constant, an array) against every content a value
// holds (a number, a blank, a text, a text of digits, a "" result, a truth value, an
// error), typed as the grid stores typed text and shown as a General cell shows it. Each
// row keeps both peer spreadsheets' answers (truth values as 1 and 0); where they agree
// ours is theirs unless the row names why not.
#include "formula/cellinput.h"
#include "formula/celltext.h"
#include "functions/bindall/bindall.h"
#include "tests/formula/evaltestutil.h"

#include <string>
#include <vector>

namespace vl::test {

namespace {

struct ReaderRow {
    const char* shape;
    const char* formula;
    const char* libreOffice;
    const char* gnumeric;
    const char* ours;
    const char* why = nullptr; // why ours differs from peers that agree, or follows one
};

// A1:A3 2, 4, 10 | B1:B2 2, 4 over a blank B3 | C1:C3 2, 4, n/a | D1:D3 1, 2, 3 |
// H1:H12 three runs of =2, =4 over ="3", ="", =TRUE(), =1/0.
const std::vector<std::pair<const char*, const char*>>& Data() {
    static const std::vector<std::pair<const char*, const char*>> data = {
        {"A1", "2"},   {"A2", "4"},     {"A3", "10"},    {"B1", "2"},      {"B2", "4"},
        {"C1", "2"},   {"C2", "4"},     {"C3", "n/a"},   {"D1", "1"},      {"D2", "2"},
        {"D3", "3"},   {"H1", "=2"},    {"H2", "=4"},    {"H3", "=\"3\""}, {"H4", "=2"},
        {"H5", "=4"},  {"H6", "=\"\""}, {"H7", "=2"},    {"H8", "=4"},     {"H9", "=TRUE()"},
        {"H10", "=2"}, {"H11", "=4"},   {"H12", "=1/0"},
    };
    return data;
}

class TypedBook : public TestBook {
public:
    TypedBook() {
        BindAllFunctions();
        Sheet();
    }

    // The text as the grid stores what a user types into the cell.
    void Type(const std::string& a1, const std::string& text) {
        Place p = At(a1);
        StandardFormat format;
        CellBuffer record;
        ASSERT_EQ(ParseCellInput(Ctx(), text, format, p.row, p.column, record), CellInput::kStored)
            << text;
        CellCursor cursor;
        ASSERT_TRUE(Sheet().cells.PutCell(record.data(), cursor));
    }

    // The cell's value as a General cell shows it.
    std::string Shown(const std::string& a1) {
        Place p = At(a1);
        std::string text;
        const uint8_t* record = FindCell(Sheet().cells, p.row, p.column);
        EXPECT_TRUE(record && FormatCellValue(record, StandardFormat{}, text)) << a1;
        return text;
    }
};

// Each formula typed beside the data, then one recalculation.
void CheckReader(const std::vector<ReaderRow>& rows) {
    TypedBook book;
    for (const auto& [cell, text] : Data()) book.Type(cell, text);
    for (std::size_t k = 0; k < rows.size(); ++k)
        book.Type("K" + std::to_string(k + 1), rows[k].formula);
    ASSERT_TRUE(book.Recalc());
    for (std::size_t k = 0; k < rows.size(); ++k) {
        const ReaderRow& r = rows[k];
        EXPECT_EQ(book.Shown("K" + std::to_string(k + 1)), r.ours) << r.shape << " " << r.formula;
        const std::string ours = r.ours;
        if (!r.why) {
            EXPECT_TRUE(ours == r.libreOffice || ours == r.gnumeric)
                << r.formula << ": neither peer's answer and no reason";
            EXPECT_TRUE(std::string(r.libreOffice) != r.gnumeric || ours == r.libreOffice)
                << r.formula << ": the peers agree on another answer";
        }
    }
}

} // namespace

TEST(ValueReader, NumbersTakePart) {
    CheckReader({
        {"range", "=SUM(A1:A3)", "16", "16", "16"},
        {"cell", "=SUM(2,4,A3)", "16", "16", "16"},
        {"constant", "=SUM(2,4,10)", "16", "16", "16"},
        {"array", "=SUM({2,4,10})", "16", "16", "16"},
        {"range", "=AVERAGE(A1:A3)", "5.33333333333333", "5.33333333333333", "5.33333333333333"},
        {"cell", "=AVERAGE(2,4,A3)", "5.33333333333333", "5.33333333333333", "5.33333333333333"},
        {"constant", "=AVERAGE(2,4,10)", "5.33333333333333", "5.33333333333333",
         "5.33333333333333"},
        {"array", "=AVERAGE({2,4,10})", "5.33333333333333", "5.33333333333333", "5.33333333333333"},
        {"range", "=AVERAGEA(A1:A3)", "5.33333333333333", "5.33333333333333", "5.33333333333333"},
        {"cell", "=AVERAGEA(2,4,A3)", "5.33333333333333", "5.33333333333333", "5.33333333333333"},
        {"constant", "=AVERAGEA(2,4,10)", "5.33333333333333", "5.33333333333333",
         "5.33333333333333"},
        {"array", "=AVERAGEA({2,4,10})", "5.33333333333333", "5.33333333333333",
         "5.33333333333333"},
        {"range", "=MAX(A1:A3)", "10", "10", "10"},
        {"cell", "=MAX(2,4,A3)", "10", "10", "10"},
        {"constant", "=MAX(2,4,10)", "10", "10", "10"},
        {"array", "=MAX({2,4,10})", "10", "10", "10"},
        {"range", "=MIN(A1:A3)", "2", "2", "2"},
        {"cell", "=MIN(2,4,A3)", "2", "2", "2"},
        {"constant", "=MIN(2,4,10)", "2", "2", "2"},
        {"array", "=MIN({2,4,10})", "2", "2", "2"},
        {"range", "=MEDIAN(A1:A3)", "4", "4", "4"},
        {"cell", "=MEDIAN(2,4,A3)", "4", "4", "4"},
        {"constant", "=MEDIAN(2,4,10)", "4", "4", "4"},
        {"array", "=MEDIAN({2,4,10})", "4", "4", "4"},
        {"range", "=LARGE(A1:A3,3)", "2", "2", "2"},
        {"array", "=LARGE({2,4,10},3)", "2", "2", "2"},
        {"range", "=STDEV(A1:A3)", "4.16333199893227", "4.16333199893227", "4.16333199893227"},
        {"cell", "=STDEV(2,4,A3)", "4.16333199893227", "4.16333199893227", "4.16333199893227"},
        {"constant", "=STDEV(2,4,10)", "4.16333199893227", "4.16333199893227", "4.16333199893227"},
        {"array", "=STDEV({2,4,10})", "4.16333199893227", "4.16333199893227", "4.16333199893227"},
        {"range", "=PRODUCT(A1:A3)", "80", "80", "80"},
        {"cell", "=PRODUCT(2,4,A3)", "80", "80", "80"},
        {"constant", "=PRODUCT(2,4,10)", "80", "80", "80"},
        {"array", "=PRODUCT({2,4,10})", "80", "80", "80"},
        {"range", "=NPV(0.1,A1:A3)", "12.6371149511645", "12.6371149511645", "12.6371149511645"},
        {"cell", "=NPV(0.1,2,4,A3)", "12.6371149511645", "12.6371149511645", "12.6371149511645"},
        {"constant", "=NPV(0.1,2,4,10)", "12.6371149511645", "12.6371149511645",
         "12.6371149511645"},
        {"array", "=NPV(0.1,{2,4,10})", "12.6371149511645", "12.6371149511645", "12.6371149511645"},
        {"range", "=AND(A1:A3)", "1", "1", "1"},
        {"cell", "=AND(2,4,A3)", "1", "1", "1"},
        {"constant", "=AND(2,4,10)", "1", "1", "1"},
        {"array", "=AND({2,4,10})", "1", "1", "1"},
        {"range", "=OR(A1:A3)", "1", "1", "1"},
        {"cell", "=OR(2,4,A3)", "1", "1", "1"},
        {"constant", "=OR(2,4,10)", "1", "1", "1"},
        {"array", "=OR({2,4,10})", "1", "1", "1"},
        {"range", "=SUMSQ(A1:A3)", "120", "120", "120"},
        {"cell", "=SUMSQ(2,4,A3)", "120", "120", "120"},
        {"constant", "=SUMSQ(2,4,10)", "120", "120", "120"},
        {"array", "=SUMSQ({2,4,10})", "120", "120", "120"},
        {"column", "=SUM(A:A)", "16", "16", "16"},
        {"column", "=AVERAGE(A:A)", "5.33333333333333", "5.33333333333333", "5.33333333333333"},
        {"column", "=AVERAGEA(A:A)", "5.33333333333333", "5.33333333333333", "5.33333333333333"},
        {"column", "=MAX(A:A)", "10", "10", "10"},
        {"column", "=MIN(A:A)", "2", "2", "2"},
        {"column", "=MEDIAN(A:A)", "4", "4", "4"},
        {"column", "=LARGE(A:A,3)", "2", "2", "2"},
        {"column", "=STDEV(A:A)", "4.16333199893227", "4.16333199893227", "4.16333199893227"},
        {"column", "=PRODUCT(A:A)", "80", "80", "80"},
        {"column", "=NPV(0.1,A:A)", "12.6371149511645", "12.6371149511645", "12.6371149511645"},
        {"column", "=AND(A:A)", "1", "1", "1"},
        {"column", "=OR(A:A)", "1", "1", "1"},
        {"column", "=SUMSQ(A:A)", "120", "120", "120"},
        {"range", "=SLOPE(A1:A3,D1:D3)", "4", "4", "4"},
        {"range", "=CORREL(A1:A3,D1:D3)", "0.960768922830523", "0.960768922830523",
         "0.960768922830523"},
        {"range", "=PEARSON(A1:A3,D1:D3)", "0.960768922830523", "0.960768922830523",
         "0.960768922830523"},
        {"range", "=SUMPRODUCT(A1:A3,D1:D3)", "40", "40", "40"},
        {"range", "=SUMX2PY2(A1:A3,D1:D3)", "134", "134", "134"},
        {"range", "=SUMXMY2(A1:A3,D1:D3)", "54", "54", "54"},
        {"range", "=IRR(A1:A3)", "Err:523", "#NUM!", "#NUM!"},
        {"range", "=RANK(4,A1:A3)", "2", "2", "2"},
        {"range", "=PERCENTILE(A1:A3,0.5)", "4", "4", "4"},
        {"range", "=SMALL(A1:A3,1)", "2", "2", "2"},
    });
}

TEST(ValueReader, BlanksAreLeftOut) {
    CheckReader({
        {"range", "=SUM(B1:B3)", "6", "6", "6"},
        {"cell", "=SUM(2,4,B3)", "6", "6", "6"},
        {"constant", "=SUM(2,4,)", "6", "6", "6"},
        {"range", "=AVERAGE(B1:B3)", "3", "3", "3"},
        {"cell", "=AVERAGE(2,4,B3)", "3", "3", "3"},
        {"constant", "=AVERAGE(2,4,)", "2", "3", "3"},
        {"range", "=AVERAGEA(B1:B3)", "3", "3", "3"},
        {"cell", "=AVERAGEA(2,4,B3)", "3", "3", "3"},
        {"constant", "=AVERAGEA(2,4,)", "2", "3", "3"},
        {"range", "=MAX(B1:B3)", "4", "4", "4"},
        {"cell", "=MAX(2,4,B3)", "4", "4", "4"},
        {"constant", "=MAX(2,4,)", "4", "4", "4"},
        {"range", "=MIN(B1:B3)", "2", "2", "2"},
        {"cell", "=MIN(2,4,B3)", "2", "2", "2"},
        {"constant", "=MIN(2,4,)", "0", "2", "0"},
        {"range", "=MEDIAN(B1:B3)", "3", "3", "3"},
        {"cell", "=MEDIAN(2,4,B3)", "3", "3", "3"},
        {"constant", "=MEDIAN(2,4,)", "2", "3", "2"},
        {"range", "=LARGE(B1:B3,3)", "#VALUE!", "#NUM!", "#NUM!"},
        {"range", "=STDEV(B1:B3)", "1.4142135623731", "1.4142135623731", "1.4142135623731"},
        {"cell", "=STDEV(2,4,B3)", "1.4142135623731", "1.4142135623731", "1.4142135623731"},
        {"constant", "=STDEV(2,4,)", "2", "1.4142135623731", "2"},
        {"range", "=PRODUCT(B1:B3)", "8", "8", "8"},
        {"cell", "=PRODUCT(2,4,B3)", "8", "8", "8"},
        {"constant", "=PRODUCT(2,4,)", "0", "8", "0"},
        {"range", "=NPV(0.1,B1:B3)", "5.12396694214876", "5.12396694214876", "5.12396694214876"},
        {"cell", "=NPV(0.1,2,4,B3)", "5.12396694214876", "5.12396694214876", "5.12396694214876"},
        {"constant", "=NPV(0.1,2,4,)", "5.12396694214876", "5.12396694214876", "5.12396694214876"},
        {"range", "=AND(B1:B3)", "1", "1", "1"},
        {"cell", "=AND(2,4,B3)", "1", "1", "1"},
        {"constant", "=AND(2,4,)", "0", "0", "0"},
        {"range", "=OR(B1:B3)", "1", "1", "1"},
        {"cell", "=OR(2,4,B3)", "1", "1", "1"},
        {"constant", "=OR(2,4,)", "1", "1", "1"},
        {"range", "=SUMSQ(B1:B3)", "20", "20", "20"},
        {"cell", "=SUMSQ(2,4,B3)", "20", "20", "20"},
        {"constant", "=SUMSQ(2,4,)", "20", "20", "20"},
        {"column", "=SUM(B:B)", "6", "6", "6"},
        {"column", "=AVERAGE(B:B)", "3", "3", "3"},
        {"column", "=AVERAGEA(B:B)", "3", "3", "3"},
        {"column", "=MAX(B:B)", "4", "4", "4"},
        {"column", "=MIN(B:B)", "2", "2", "2"},
        {"column", "=MEDIAN(B:B)", "3", "3", "3"},
        {"column", "=LARGE(B:B,3)", "#VALUE!", "#NUM!", "#NUM!"},
        {"column", "=STDEV(B:B)", "1.4142135623731", "1.4142135623731", "1.4142135623731"},
        {"column", "=PRODUCT(B:B)", "8", "8", "8"},
        {"column", "=NPV(0.1,B:B)", "5.12396694214876", "5.12396694214876", "5.12396694214876"},
        {"column", "=AND(B:B)", "1", "1", "1"},
        {"column", "=OR(B:B)", "1", "1", "1"},
        {"column", "=SUMSQ(B:B)", "20", "20", "20"},
        {"range", "=SLOPE(B1:B3,D1:D3)", "2", "2", "2"},
        {"range", "=CORREL(B1:B3,D1:D3)", "1", "1", "1"},
        {"range", "=PEARSON(B1:B3,D1:D3)", "1", "1", "1"},
        {"range", "=SUMPRODUCT(B1:B3,D1:D3)", "10", "10", "10"},
        {"range", "=SUMX2PY2(B1:B3,D1:D3)", "25", "25", "25"},
        {"range", "=SUMXMY2(B1:B3,D1:D3)", "14", "5", "5"},
        {"range", "=IRR(B1:B3)", "Err:523", "#NUM!", "#NUM!"},
        {"range", "=RANK(4,B1:B3)", "1", "1", "1"},
        {"range", "=PERCENTILE(B1:B3,0.5)", "3", "3", "3"},
        {"range", "=SMALL(B1:B3,1)", "2", "2", "2"},
    });
}

TEST(ValueReader, TextsAreLeftOut) {
    CheckReader({
        {"range", "=SUM(C1:C3)", "6", "6", "6"},
        {"cell", "=SUM(2,4,C3)", "6", "6", "6"},
        {"constant", "=SUM(2,4,\"n/a\")", "#VALUE!", "6", "#NUM!",
         "error kinds: a text that is no number is #NUM! here"},
        {"array", "=SUM({2,4,\"n/a\"})", "6", "6", "6"},
        {"range", "=AVERAGE(C1:C3)", "3", "3", "3"},
        {"cell", "=AVERAGE(2,4,C3)", "3", "3", "3"},
        {"constant", "=AVERAGE(2,4,\"n/a\")", "#VALUE!", "3", "#NUM!",
         "error kinds: a text that is no number is #NUM! here"},
        {"array", "=AVERAGE({2,4,\"n/a\"})", "3", "3", "3"},
        {"range", "=AVERAGEA(C1:C3)", "2", "2", "2"},
        {"cell", "=AVERAGEA(2,4,C3)", "2", "2", "2"},
        {"constant", "=AVERAGEA(2,4,\"n/a\")", "2", "2", "2"},
        {"array", "=AVERAGEA({2,4,\"n/a\"})", "2", "2", "2"},
        {"range", "=MAX(C1:C3)", "4", "4", "4"},
        {"cell", "=MAX(2,4,C3)", "4", "4", "4"},
        {"constant", "=MAX(2,4,\"n/a\")", "Err:504", "4", "#NUM!",
         "error kinds: a text that is no number is #NUM! here"},
        {"array", "=MAX({2,4,\"n/a\"})", "4", "4", "4"},
        {"range", "=MIN(C1:C3)", "2", "2", "2"},
        {"cell", "=MIN(2,4,C3)", "2", "2", "2"},
        {"constant", "=MIN(2,4,\"n/a\")", "Err:504", "2", "#NUM!",
         "error kinds: a text that is no number is #NUM! here"},
        {"array", "=MIN({2,4,\"n/a\"})", "2", "2", "2"},
        {"range", "=MEDIAN(C1:C3)", "3", "3", "3"},
        {"cell", "=MEDIAN(2,4,C3)", "3", "3", "3"},
        {"constant", "=MEDIAN(2,4,\"n/a\")", "Err:504", "3", "#NUM!",
         "error kinds: a text that is no number is #NUM! here"},
        {"array", "=MEDIAN({2,4,\"n/a\"})", "3", "3", "3"},
        {"range", "=LARGE(C1:C3,3)", "#VALUE!", "#NUM!", "#NUM!"},
        {"array", "=LARGE({2,4,\"n/a\"},3)", "#VALUE!", "#NUM!", "#NUM!"},
        {"range", "=STDEV(C1:C3)", "1.4142135623731", "1.4142135623731", "1.4142135623731"},
        {"cell", "=STDEV(2,4,C3)", "1.4142135623731", "1.4142135623731", "1.4142135623731"},
        {"constant", "=STDEV(2,4,\"n/a\")", "Err:504", "1.4142135623731", "#NUM!",
         "error kinds: a text that is no number is #NUM! here"},
        {"array", "=STDEV({2,4,\"n/a\"})", "1.4142135623731", "1.4142135623731", "1.4142135623731"},
        {"range", "=PRODUCT(C1:C3)", "8", "8", "8"},
        {"cell", "=PRODUCT(2,4,C3)", "8", "8", "8"},
        {"constant", "=PRODUCT(2,4,\"n/a\")", "#VALUE!", "8", "#NUM!",
         "error kinds: a text that is no number is #NUM! here"},
        {"array", "=PRODUCT({2,4,\"n/a\"})", "8", "8", "8"},
        {"range", "=NPV(0.1,C1:C3)", "5.12396694214876", "5.12396694214876", "5.12396694214876"},
        {"cell", "=NPV(0.1,2,4,C3)", "5.12396694214876", "5.12396694214876", "5.12396694214876"},
        {"constant", "=NPV(0.1,2,4,\"n/a\")", "Err:504", "5.12396694214876", "#NUM!",
         "error kinds: a text that is no number is #NUM! here"},
        {"array", "=NPV(0.1,{2,4,\"n/a\"})", "Err:502", "5.12396694214876", "5.12396694214876"},
        {"range", "=AND(C1:C3)", "1", "1", "1"},
        {"cell", "=AND(2,4,C3)", "1", "1", "1"},
        {"constant", "=AND(2,4,\"n/a\")", "#VALUE!", "1", "#NUM!",
         "error kinds: a text that is no number is #NUM! here"},
        {"array", "=AND({2,4,\"n/a\"})", "Err:502", "1", "1"},
        {"range", "=OR(C1:C3)", "1", "1", "1"},
        {"cell", "=OR(2,4,C3)", "1", "1", "1"},
        {"constant", "=OR(2,4,\"n/a\")", "#VALUE!", "1", "#NUM!",
         "error kinds: a text that is no number is #NUM! here"},
        {"array", "=OR({2,4,\"n/a\"})", "Err:502", "1", "1"},
        {"range", "=SUMSQ(C1:C3)", "20", "20", "20"},
        {"cell", "=SUMSQ(2,4,C3)", "20", "20", "20"},
        {"constant", "=SUMSQ(2,4,\"n/a\")", "#VALUE!", "20", "#NUM!",
         "error kinds: a text that is no number is #NUM! here"},
        {"array", "=SUMSQ({2,4,\"n/a\"})", "20", "20", "20"},
        {"column", "=SUM(C:C)", "6", "6", "6"},
        {"column", "=AVERAGE(C:C)", "3", "3", "3"},
        {"column", "=AVERAGEA(C:C)", "2", "2", "2"},
        {"column", "=MAX(C:C)", "4", "4", "4"},
        {"column", "=MIN(C:C)", "2", "2", "2"},
        {"column", "=MEDIAN(C:C)", "3", "3", "3"},
        {"column", "=LARGE(C:C,3)", "#VALUE!", "#NUM!", "#NUM!"},
        {"column", "=STDEV(C:C)", "1.4142135623731", "1.4142135623731", "1.4142135623731"},
        {"column", "=PRODUCT(C:C)", "8", "8", "8"},
        {"column", "=NPV(0.1,C:C)", "5.12396694214876", "5.12396694214876", "5.12396694214876"},
        {"column", "=AND(C:C)", "1", "1", "1"},
        {"column", "=OR(C:C)", "1", "1", "1"},
        {"column", "=SUMSQ(C:C)", "20", "20", "20"},
        {"range", "=SLOPE(C1:C3,D1:D3)", "2", "2", "2"},
        {"range", "=CORREL(C1:C3,D1:D3)", "1", "1", "1"},
        {"range", "=PEARSON(C1:C3,D1:D3)", "1", "1", "1"},
        {"range", "=SUMPRODUCT(C1:C3,D1:D3)", "10", "10", "10"},
        {"range", "=SUMX2PY2(C1:C3,D1:D3)", "25", "25", "25"},
        {"range", "=SUMXMY2(C1:C3,D1:D3)", "#VALUE!", "5", "5"},
        {"range", "=IRR(C1:C3)", "Err:523", "#NUM!", "#NUM!"},
        {"range", "=RANK(4,C1:C3)", "1", "1", "1"},
        {"range", "=PERCENTILE(C1:C3,0.5)", "3", "3", "3"},
        {"range", "=SMALL(C1:C3,1)", "2", "2", "2"},
    });
}

TEST(ValueReader, NumericTextsOfCellsAreLeftOut) {
    CheckReader({
        {"range", "=SUM(H1:H3)", "6", "6", "6"},
        {"cell", "=SUM(2,4,H3)", "6", "6", "6"},
        {"constant", "=SUM(2,4,\"3\")", "#VALUE!", "6", "9",
         "a constant text that reads as a number is that number"},
        {"array", "=SUM({2,4,\"3\"})", "6", "9", "6"},
        {"range", "=AVERAGE(H1:H3)", "3", "3", "3"},
        {"cell", "=AVERAGE(2,4,H3)", "3", "3", "3"},
        {"constant", "=AVERAGE(2,4,\"3\")", "#VALUE!", "3", "3"},
        {"array", "=AVERAGE({2,4,\"3\"})", "3", "3", "3"},
        {"range", "=AVERAGEA(H1:H3)", "2", "2", "2"},
        {"cell", "=AVERAGEA(2,4,H3)", "2", "2", "2"},
        {"constant", "=AVERAGEA(2,4,\"3\")", "2", "2", "2"},
        {"array", "=AVERAGEA({2,4,\"3\"})", "2", "3", "2"},
        {"range", "=MAX(H1:H3)", "4", "4", "4"},
        {"cell", "=MAX(2,4,H3)", "4", "4", "4"},
        {"constant", "=MAX(2,4,\"3\")", "Err:504", "4", "4"},
        {"array", "=MAX({2,4,\"3\"})", "4", "4", "4"},
        {"range", "=MIN(H1:H3)", "2", "2", "2"},
        {"cell", "=MIN(2,4,H3)", "2", "2", "2"},
        {"constant", "=MIN(2,4,\"3\")", "Err:504", "2", "2"},
        {"array", "=MIN({2,4,\"3\"})", "2", "2", "2"},
        {"range", "=MEDIAN(H1:H3)", "3", "3", "3"},
        {"cell", "=MEDIAN(2,4,H3)", "3", "3", "3"},
        {"constant", "=MEDIAN(2,4,\"3\")", "Err:504", "3", "3"},
        {"array", "=MEDIAN({2,4,\"3\"})", "3", "3", "3"},
        {"range", "=LARGE(H1:H3,3)", "#VALUE!", "#NUM!", "#NUM!"},
        {"array", "=LARGE({2,4,\"3\"},3)", "#VALUE!", "2", "#NUM!",
         "an array's text is left out as a range's is; k past the count is #NUM!"},
        {"range", "=STDEV(H1:H3)", "1.4142135623731", "1.4142135623731", "1.4142135623731"},
        {"cell", "=STDEV(2,4,H3)", "1.4142135623731", "1.4142135623731", "1.4142135623731"},
        {"constant", "=STDEV(2,4,\"3\")", "Err:504", "1.4142135623731", "1",
         "a constant text that reads as a number is that number"},
        {"array", "=STDEV({2,4,\"3\"})", "1.4142135623731", "1", "1.4142135623731"},
        {"range", "=PRODUCT(H1:H3)", "8", "8", "8"},
        {"cell", "=PRODUCT(2,4,H3)", "8", "8", "8"},
        {"constant", "=PRODUCT(2,4,\"3\")", "#VALUE!", "8", "24",
         "a constant text that reads as a number is that number"},
        {"array", "=PRODUCT({2,4,\"3\"})", "8", "24", "8"},
        {"range", "=NPV(0.1,H1:H3)", "5.12396694214876", "5.12396694214876", "5.12396694214876"},
        {"cell", "=NPV(0.1,2,4,H3)", "5.12396694214876", "5.12396694214876", "5.12396694214876"},
        {"constant", "=NPV(0.1,2,4,\"3\")", "Err:504", "5.12396694214876", "7.37791134485349",
         "a constant text that reads as a number is that number"},
        {"array", "=NPV(0.1,{2,4,\"3\"})", "Err:502", "7.37791134485349", "5.12396694214876",
         "an array's text is left out as a range's is"},
        {"range", "=AND(H1:H3)", "1", "1", "1"},
        {"cell", "=AND(2,4,H3)", "1", "1", "1"},
        {"constant", "=AND(2,4,\"3\")", "#VALUE!", "1", "1"},
        {"array", "=AND({2,4,\"3\"})", "Err:502", "1", "1"},
        {"range", "=OR(H1:H3)", "1", "1", "1"},
        {"cell", "=OR(2,4,H3)", "1", "1", "1"},
        {"constant", "=OR(2,4,\"3\")", "#VALUE!", "1", "1"},
        {"array", "=OR({2,4,\"3\"})", "Err:502", "1", "1"},
        {"range", "=SUMSQ(H1:H3)", "20", "20", "20"},
        {"cell", "=SUMSQ(2,4,H3)", "20", "20", "20"},
        {"constant", "=SUMSQ(2,4,\"3\")", "#VALUE!", "20", "29",
         "a constant text that reads as a number is that number"},
        {"array", "=SUMSQ({2,4,\"3\"})", "20", "29", "20"},
        {"range", "=SLOPE(H1:H3,D1:D3)", "2", "2", "2"},
        {"range", "=CORREL(H1:H3,D1:D3)", "1", "1", "1"},
        {"range", "=PEARSON(H1:H3,D1:D3)", "1", "1", "1"},
        {"range", "=SUMPRODUCT(H1:H3,D1:D3)", "10", "10", "10"},
        {"range", "=SUMX2PY2(H1:H3,D1:D3)", "25", "25", "25"},
        {"range", "=SUMXMY2(H1:H3,D1:D3)", "5", "5", "5"},
        {"range", "=IRR(H1:H3)", "Err:523", "#NUM!", "#NUM!"},
        {"range", "=RANK(4,H1:H3)", "1", "1", "1"},
        {"range", "=PERCENTILE(H1:H3,0.5)", "3", "3", "3"},
        {"range", "=SMALL(H1:H3,1)", "2", "2", "2"},
    });
}

TEST(ValueReader, EmptyTextResultsAreLeftOut) {
    CheckReader({
        {"range", "=SUM(H4:H6)", "6", "6", "6"},
        {"cell", "=SUM(2,4,H6)", "6", "6", "6"},
        {"constant", "=SUM(2,4,\"\")", "#VALUE!", "6", "#NUM!",
         "error kinds: a text that is no number is #NUM! here"},
        {"array", "=SUM({2,4,\"\"})", "6", "6", "6"},
        {"range", "=AVERAGE(H4:H6)", "3", "3", "3"},
        {"cell", "=AVERAGE(2,4,H6)", "3", "3", "3"},
        {"constant", "=AVERAGE(2,4,\"\")", "#VALUE!", "3", "#NUM!",
         "error kinds: a text that is no number is #NUM! here"},
        {"array", "=AVERAGE({2,4,\"\"})", "3", "3", "3"},
        {"range", "=AVERAGEA(H4:H6)", "2", "2", "2"},
        {"cell", "=AVERAGEA(2,4,H6)", "2", "2", "2"},
        {"constant", "=AVERAGEA(2,4,\"\")", "2", "2", "2"},
        {"array", "=AVERAGEA({2,4,\"\"})", "2", "2", "2"},
        {"range", "=MAX(H4:H6)", "4", "4", "4"},
        {"cell", "=MAX(2,4,H6)", "4", "4", "4"},
        {"constant", "=MAX(2,4,\"\")", "Err:504", "4", "#NUM!",
         "error kinds: a text that is no number is #NUM! here"},
        {"array", "=MAX({2,4,\"\"})", "4", "4", "4"},
        {"range", "=MIN(H4:H6)", "2", "2", "2"},
        {"cell", "=MIN(2,4,H6)", "2", "2", "2"},
        {"constant", "=MIN(2,4,\"\")", "Err:504", "2", "#NUM!",
         "error kinds: a text that is no number is #NUM! here"},
        {"array", "=MIN({2,4,\"\"})", "2", "2", "2"},
        {"range", "=MEDIAN(H4:H6)", "3", "3", "3"},
        {"cell", "=MEDIAN(2,4,H6)", "3", "3", "3"},
        {"constant", "=MEDIAN(2,4,\"\")", "Err:504", "3", "#NUM!",
         "error kinds: a text that is no number is #NUM! here"},
        {"array", "=MEDIAN({2,4,\"\"})", "3", "3", "3"},
        {"range", "=LARGE(H4:H6,3)", "#VALUE!", "#NUM!", "#NUM!"},
        {"array", "=LARGE({2,4,\"\"},3)", "#VALUE!", "#NUM!", "#NUM!"},
        {"range", "=STDEV(H4:H6)", "1.4142135623731", "1.4142135623731", "1.4142135623731"},
        {"cell", "=STDEV(2,4,H6)", "1.4142135623731", "1.4142135623731", "1.4142135623731"},
        {"constant", "=STDEV(2,4,\"\")", "Err:504", "1.4142135623731", "#NUM!",
         "error kinds: a text that is no number is #NUM! here"},
        {"array", "=STDEV({2,4,\"\"})", "1.4142135623731", "1.4142135623731", "1.4142135623731"},
        {"range", "=PRODUCT(H4:H6)", "8", "8", "8"},
        {"cell", "=PRODUCT(2,4,H6)", "8", "8", "8"},
        {"constant", "=PRODUCT(2,4,\"\")", "#VALUE!", "8", "#NUM!",
         "error kinds: a text that is no number is #NUM! here"},
        {"array", "=PRODUCT({2,4,\"\"})", "8", "8", "8"},
        {"range", "=NPV(0.1,H4:H6)", "5.12396694214876", "5.12396694214876", "5.12396694214876"},
        {"cell", "=NPV(0.1,2,4,H6)", "5.12396694214876", "5.12396694214876", "5.12396694214876"},
        {"constant", "=NPV(0.1,2,4,\"\")", "Err:504", "5.12396694214876", "#NUM!",
         "error kinds: a text that is no number is #NUM! here"},
        {"array", "=NPV(0.1,{2,4,\"\"})", "Err:502", "5.12396694214876", "5.12396694214876"},
        {"range", "=AND(H4:H6)", "1", "1", "1"},
        {"cell", "=AND(2,4,H6)", "1", "1", "1"},
        {"constant", "=AND(2,4,\"\")", "#VALUE!", "1", "#NUM!",
         "error kinds: a text that is no number is #NUM! here"},
        {"array", "=AND({2,4,\"\"})", "Err:502", "1", "1"},
        {"range", "=OR(H4:H6)", "1", "1", "1"},
        {"cell", "=OR(2,4,H6)", "1", "1", "1"},
        {"constant", "=OR(2,4,\"\")", "#VALUE!", "1", "#NUM!",
         "error kinds: a text that is no number is #NUM! here"},
        {"array", "=OR({2,4,\"\"})", "Err:502", "1", "1"},
        {"range", "=SUMSQ(H4:H6)", "20", "20", "20"},
        {"cell", "=SUMSQ(2,4,H6)", "20", "20", "20"},
        {"constant", "=SUMSQ(2,4,\"\")", "#VALUE!", "20", "#NUM!",
         "error kinds: a text that is no number is #NUM! here"},
        {"array", "=SUMSQ({2,4,\"\"})", "20", "20", "20"},
        {"range", "=SLOPE(H4:H6,D1:D3)", "2", "2", "2"},
        {"range", "=CORREL(H4:H6,D1:D3)", "1", "1", "1"},
        {"range", "=PEARSON(H4:H6,D1:D3)", "1", "1", "1"},
        {"range", "=SUMPRODUCT(H4:H6,D1:D3)", "10", "10", "10"},
        {"range", "=SUMX2PY2(H4:H6,D1:D3)", "25", "25", "25"},
        {"range", "=SUMXMY2(H4:H6,D1:D3)", "#VALUE!", "5", "5"},
        {"range", "=IRR(H4:H6)", "Err:523", "#NUM!", "#NUM!"},
        {"range", "=RANK(4,H4:H6)", "1", "1", "1"},
        {"range", "=PERCENTILE(H4:H6,0.5)", "3", "3", "3"},
        {"range", "=SMALL(H4:H6,1)", "2", "2", "2"},
    });
}

TEST(ValueReader, TruthValuesAreNumbers) {
    CheckReader({
        {"range", "=SUM(H7:H9)", "7", "6", "7"},
        {"cell", "=SUM(2,4,H9)", "7", "6", "7"},
        {"constant", "=SUM(2,4,TRUE)", "7", "6", "7"},
        {"array", "=SUM({2,4,TRUE})", "7", "6", "7"},
        {"range", "=AVERAGE(H7:H9)", "2.33333333333333", "3", "2.33333333333333"},
        {"cell", "=AVERAGE(2,4,H9)", "2.33333333333333", "3", "2.33333333333333"},
        {"constant", "=AVERAGE(2,4,TRUE)", "2.33333333333333", "3", "2.33333333333333"},
        {"array", "=AVERAGE({2,4,TRUE})", "2.33333333333333", "3", "2.33333333333333"},
        {"range", "=AVERAGEA(H7:H9)", "2.33333333333333", "2.33333333333333", "2.33333333333333"},
        {"cell", "=AVERAGEA(2,4,H9)", "2.33333333333333", "2.33333333333333", "2.33333333333333"},
        {"constant", "=AVERAGEA(2,4,TRUE)", "2.33333333333333", "2.33333333333333",
         "2.33333333333333"},
        {"array", "=AVERAGEA({2,4,TRUE})", "2.33333333333333", "2.33333333333333",
         "2.33333333333333"},
        {"range", "=MAX(H7:H9)", "4", "4", "4"},
        {"cell", "=MAX(2,4,H9)", "4", "4", "4"},
        {"constant", "=MAX(2,4,TRUE)", "4", "4", "4"},
        {"array", "=MAX({2,4,TRUE})", "4", "4", "4"},
        {"range", "=MIN(H7:H9)", "1", "2", "1"},
        {"cell", "=MIN(2,4,H9)", "1", "2", "1"},
        {"constant", "=MIN(2,4,TRUE)", "1", "2", "1"},
        {"array", "=MIN({2,4,TRUE})", "1", "2", "1"},
        {"range", "=MEDIAN(H7:H9)", "2", "3", "2"},
        {"cell", "=MEDIAN(2,4,H9)", "2", "3", "2"},
        {"constant", "=MEDIAN(2,4,TRUE)", "2", "3", "2"},
        {"array", "=MEDIAN({2,4,TRUE})", "2", "3", "2"},
        {"range", "=LARGE(H7:H9,3)", "1", "#NUM!", "1"},
        {"array", "=LARGE({2,4,TRUE},3)", "1", "#NUM!", "1"},
        {"range", "=STDEV(H7:H9)", "1.52752523165195", "1.4142135623731", "1.52752523165195"},
        {"cell", "=STDEV(2,4,H9)", "1.52752523165195", "1.4142135623731", "1.52752523165195"},
        {"constant", "=STDEV(2,4,TRUE)", "1.52752523165195", "1.4142135623731", "1.52752523165195"},
        {"array", "=STDEV({2,4,TRUE})", "1.52752523165195", "1.4142135623731", "1.52752523165195"},
        {"range", "=PRODUCT(H7:H9)", "8", "8", "8"},
        {"cell", "=PRODUCT(2,4,H9)", "8", "8", "8"},
        {"constant", "=PRODUCT(2,4,TRUE)", "8", "8", "8"},
        {"array", "=PRODUCT({2,4,TRUE})", "8", "8", "8"},
        {"range", "=NPV(0.1,H7:H9)", "5.87528174305034", "5.12396694214876", "5.87528174305034"},
        {"cell", "=NPV(0.1,2,4,H9)", "5.87528174305034", "5.12396694214876", "5.87528174305034"},
        {"constant", "=NPV(0.1,2,4,TRUE)", "5.87528174305034", "5.12396694214876",
         "5.87528174305034"},
        {"array", "=NPV(0.1,{2,4,TRUE})", "5.87528174305034", "5.12396694214876",
         "5.87528174305034"},
        {"range", "=AND(H7:H9)", "1", "1", "1"},
        {"cell", "=AND(2,4,H9)", "1", "1", "1"},
        {"constant", "=AND(2,4,TRUE)", "1", "1", "1"},
        {"array", "=AND({2,4,TRUE})", "1", "1", "1"},
        {"range", "=OR(H7:H9)", "1", "1", "1"},
        {"cell", "=OR(2,4,H9)", "1", "1", "1"},
        {"constant", "=OR(2,4,TRUE)", "1", "1", "1"},
        {"array", "=OR({2,4,TRUE})", "1", "1", "1"},
        {"range", "=SUMSQ(H7:H9)", "21", "20", "21"},
        {"cell", "=SUMSQ(2,4,H9)", "21", "20", "21"},
        {"constant", "=SUMSQ(2,4,TRUE)", "21", "20", "21"},
        {"array", "=SUMSQ({2,4,TRUE})", "21", "20", "21"},
        {"range", "=SLOPE(H7:H9,D1:D3)", "-0.5", "2", "-0.5"},
        {"range", "=CORREL(H7:H9,D1:D3)", "-0.327326835353989", "1", "-0.327326835353989"},
        {"range", "=PEARSON(H7:H9,D1:D3)", "-0.327326835353989", "1", "-0.327326835353989"},
        {"range", "=SUMPRODUCT(H7:H9,D1:D3)", "13", "10", "13"},
        {"range", "=SUMX2PY2(H7:H9,D1:D3)", "35", "25", "35"},
        {"range", "=SUMXMY2(H7:H9,D1:D3)", "9", "5", "9"},
        {"range", "=IRR(H7:H9)", "Err:523", "#VALUE!", "#NUM!",
         "error kinds: no rate found is #NUM! here"},
        {"range", "=RANK(4,H7:H9)", "1", "1", "1"},
        {"range", "=PERCENTILE(H7:H9,0.5)", "2", "3", "2"},
        {"range", "=SMALL(H7:H9,1)", "1", "2", "1"},
    });
}

TEST(ValueReader, AnErrorIsTheResult) {
    CheckReader({
        {"range", "=SUM(H10:H12)", "#DIV/0!", "#DIV/0!", "#DIV/0!"},
        {"cell", "=SUM(2,4,H12)", "#DIV/0!", "#DIV/0!", "#DIV/0!"},
        {"constant", "=SUM(2,4,1/0)", "#DIV/0!", "#DIV/0!", "#DIV/0!"},
        {"range", "=AVERAGE(H10:H12)", "#DIV/0!", "#DIV/0!", "#DIV/0!"},
        {"cell", "=AVERAGE(2,4,H12)", "#DIV/0!", "#DIV/0!", "#DIV/0!"},
        {"constant", "=AVERAGE(2,4,1/0)", "#DIV/0!", "#DIV/0!", "#DIV/0!"},
        {"range", "=AVERAGEA(H10:H12)", "#DIV/0!", "#DIV/0!", "#DIV/0!"},
        {"cell", "=AVERAGEA(2,4,H12)", "#DIV/0!", "#DIV/0!", "#DIV/0!"},
        {"constant", "=AVERAGEA(2,4,1/0)", "#DIV/0!", "#DIV/0!", "#DIV/0!"},
        {"range", "=MAX(H10:H12)", "#DIV/0!", "#DIV/0!", "#DIV/0!"},
        {"cell", "=MAX(2,4,H12)", "#DIV/0!", "#DIV/0!", "#DIV/0!"},
        {"constant", "=MAX(2,4,1/0)", "#DIV/0!", "#DIV/0!", "#DIV/0!"},
        {"range", "=MIN(H10:H12)", "#DIV/0!", "#DIV/0!", "#DIV/0!"},
        {"cell", "=MIN(2,4,H12)", "#DIV/0!", "#DIV/0!", "#DIV/0!"},
        {"constant", "=MIN(2,4,1/0)", "#DIV/0!", "#DIV/0!", "#DIV/0!"},
        {"range", "=MEDIAN(H10:H12)", "#DIV/0!", "#DIV/0!", "#DIV/0!"},
        {"cell", "=MEDIAN(2,4,H12)", "#DIV/0!", "#DIV/0!", "#DIV/0!"},
        {"constant", "=MEDIAN(2,4,1/0)", "#DIV/0!", "#DIV/0!", "#DIV/0!"},
        {"range", "=LARGE(H10:H12,3)", "#DIV/0!", "#DIV/0!", "#DIV/0!"},
        {"range", "=STDEV(H10:H12)", "#DIV/0!", "#DIV/0!", "#DIV/0!"},
        {"cell", "=STDEV(2,4,H12)", "#DIV/0!", "#DIV/0!", "#DIV/0!"},
        {"constant", "=STDEV(2,4,1/0)", "#DIV/0!", "#DIV/0!", "#DIV/0!"},
        {"range", "=PRODUCT(H10:H12)", "#DIV/0!", "#DIV/0!", "#DIV/0!"},
        {"cell", "=PRODUCT(2,4,H12)", "#DIV/0!", "#DIV/0!", "#DIV/0!"},
        {"constant", "=PRODUCT(2,4,1/0)", "#DIV/0!", "#DIV/0!", "#DIV/0!"},
        {"range", "=NPV(0.1,H10:H12)", "#DIV/0!", "#DIV/0!", "#DIV/0!"},
        {"cell", "=NPV(0.1,2,4,H12)", "#DIV/0!", "#DIV/0!", "#DIV/0!"},
        {"constant", "=NPV(0.1,2,4,1/0)", "#DIV/0!", "#DIV/0!", "#DIV/0!"},
        {"range", "=AND(H10:H12)", "#DIV/0!", "#DIV/0!", "#DIV/0!"},
        {"cell", "=AND(2,4,H12)", "#DIV/0!", "#DIV/0!", "#DIV/0!"},
        {"constant", "=AND(2,4,1/0)", "#DIV/0!", "#DIV/0!", "#DIV/0!"},
        {"range", "=OR(H10:H12)", "#DIV/0!", "#DIV/0!", "#DIV/0!"},
        {"cell", "=OR(2,4,H12)", "#DIV/0!", "#DIV/0!", "#DIV/0!"},
        {"constant", "=OR(2,4,1/0)", "#DIV/0!", "#DIV/0!", "#DIV/0!"},
        {"range", "=SUMSQ(H10:H12)", "#DIV/0!", "#DIV/0!", "#DIV/0!"},
        {"cell", "=SUMSQ(2,4,H12)", "#DIV/0!", "#DIV/0!", "#DIV/0!"},
        {"constant", "=SUMSQ(2,4,1/0)", "#DIV/0!", "#DIV/0!", "#DIV/0!"},
        {"range", "=SLOPE(H10:H12,D1:D3)", "#DIV/0!", "#DIV/0!", "#DIV/0!"},
        {"range", "=CORREL(H10:H12,D1:D3)", "#DIV/0!", "#DIV/0!", "#DIV/0!"},
        {"range", "=PEARSON(H10:H12,D1:D3)", "#DIV/0!", "#DIV/0!", "#DIV/0!"},
        {"range", "=SUMPRODUCT(H10:H12,D1:D3)", "#DIV/0!", "#DIV/0!", "#DIV/0!"},
        {"range", "=SUMX2PY2(H10:H12,D1:D3)", "#DIV/0!", "#DIV/0!", "#DIV/0!"},
        {"range", "=SUMXMY2(H10:H12,D1:D3)", "#DIV/0!", "#DIV/0!", "#DIV/0!"},
        {"range", "=IRR(H10:H12)", "#DIV/0!", "#DIV/0!", "#DIV/0!"},
        {"range", "=RANK(4,H10:H12)", "#DIV/0!", "#DIV/0!", "#DIV/0!"},
        {"range", "=PERCENTILE(H10:H12,0.5)", "#DIV/0!", "#DIV/0!", "#DIV/0!"},
        {"range", "=SMALL(H10:H12,1)", "#DIV/0!", "#DIV/0!", "#DIV/0!"},
    });
}

namespace {

// A sheet as people keep one: headers over the columns, a gap, an "n/a", a ="" result and
// rows in error.
//   A1:A5 Qty, 1..4 | B1:B6 Pay, 10, 65, (blank), 72, n/a | C1:C5 x: 1, 2, (blank), 4, 5 |
//   D1:D5 y = 2x: 2, n/a, 6, 8, 10 | E1:E6 Flow, -800, 300, 400, 500, n/a | F1:G2 1, 2; 3, 4 |
//   H1:H11 =1, =2, =3, =4, =1/0, ="", ="a"+1, =1, ="", =3, =1/0 | I1:J2 1, 2; 3, =1/0.
const std::vector<std::pair<const char*, const char*>>& Kept() {
    static const std::vector<std::pair<const char*, const char*>> data = {
        {"A1", "Qty"},      {"A2", "1"},   {"A3", "2"},     {"A4", "3"},    {"A5", "4"},
        {"B1", "Pay"},      {"B2", "10"},  {"B3", "65"},    {"B5", "72"},   {"B6", "n/a"},
        {"C1", "1"},        {"C2", "2"},   {"C4", "4"},     {"C5", "5"},    {"D1", "2"},
        {"D2", "n/a"},      {"D3", "6"},   {"D4", "8"},     {"D5", "10"},   {"E1", "Flow"},
        {"E2", "-800"},     {"E3", "300"}, {"E4", "400"},   {"E5", "500"},  {"E6", "n/a"},
        {"F1", "1"},        {"F2", "3"},   {"G1", "2"},     {"G2", "4"},    {"H1", "=1"},
        {"H2", "=2"},       {"H3", "=3"},  {"H4", "=4"},    {"H5", "=1/0"}, {"H6", "=\"\""},
        {"H7", "=\"a\"+1"}, {"H8", "=1"},  {"H9", "=\"\""}, {"H10", "=3"},  {"H11", "=1/0"},
        {"I1", "1"},        {"J1", "2"},   {"I2", "3"},     {"J2", "=1/0"},
    };
    return data;
}

// Both peers answer every row alike.
void CheckKept(const std::vector<std::pair<const char*, const char*>>& rows) {
    TypedBook book;
    for (const auto& [cell, text] : Kept()) book.Type(cell, text);
    for (std::size_t k = 0; k < rows.size(); ++k)
        book.Type("K" + std::to_string(k + 1), rows[k].first);
    ASSERT_TRUE(book.Recalc());
    for (std::size_t k = 0; k < rows.size(); ++k)
        EXPECT_EQ(book.Shown("K" + std::to_string(k + 1)), rows[k].second) << rows[k].first;
}

} // namespace

// One row in error among the others makes every total and every ranked answer that error.
TEST(RangesAsPeopleKeepThem, AnErrorInsideARangeIsTheResult) {
    CheckKept({
        {"=SUM(B2:B6,H11)", "#DIV/0!"},
        {"=SUM(A1:A5,H5)", "#DIV/0!"},
        {"=SUM(H1:H5)", "#DIV/0!"},
        {"=SUM(J:J)", "#DIV/0!"},
        {"=MAX(H1:H5)", "#DIV/0!"},
        {"=MAX(J:J)", "#DIV/0!"},
        {"=MIN(H1:H5)", "#DIV/0!"},
        {"=LARGE(H1:H5,1)", "#DIV/0!"},
        {"=SMALL(H1:H5,2)", "#DIV/0!"},
        {"=MEDIAN(H1:H5)", "#DIV/0!"},
        {"=PERCENTILE(H1:H5,0.5)", "#DIV/0!"},
        {"=RANK(1,H1:H5,1)", "#DIV/0!"},
        {"=SUMPRODUCT(H1:H5,A1:A5)", "#DIV/0!"},
        {"=SUMPRODUCT((A2:A5>1)*H1:H4)", "9"},
        {"=SUMPRODUCT((H1:H5>1)*A2:A6)", "#DIV/0!"},
        {"=SUMIF(A2:A5,\">0\",H2:H5)", "#DIV/0!"},
        {"=SUMIF(A2:A5,\"<3\",H2:H5)", "5"},
        {"=MDETERM(F1:G2)", "-2"},
        {"=MDETERM(I1:J2)", "#DIV/0!"},
        {"=INDEX(MINVERSE(I1:J2),1,1)", "#DIV/0!"},
    });
}

// A blank, a text or a "" cell named on its own is left out, as it is inside a range.
TEST(RangesAsPeopleKeepThem, ACellNamedOnItsOwnThatHoldsNoNumberIsLeftOut) {
    CheckKept({
        {"=AVERAGE(B3,B4,B5)", "68.5"},
        {"=MIN(B3,B4,B5)", "65"},
        {"=MAX(B3,B4,B5)", "72"},
        {"=STDEV(B3,B4,B5)", "4.94974746830583"},
        {"=VAR(B3,B4,B5)", "24.5"},
        {"=MEDIAN(B3,B4,B5)", "68.5"},
        {"=PRODUCT(B3,B4,B5)", "4680"},
        {"=SUM(B2,B6)", "10"},
        {"=AVERAGE(B2:B3,H6)", "37.5"},
        {"=AVERAGE(B2,B6,H6)", "10"},
    });
}

// y = 2x with a gap in each column: the pairs with a gap on either side are left out;
// LINEST and TREND refuse gaps, as both peers do.
TEST(RangesAsPeopleKeepThem, PairsWithAGapOnEitherSideAreLeftOut) {
    CheckKept({
        {"=SLOPE(D1:D5,C1:C5)", "2"},
        {"=INTERCEPT(D1:D5,C1:C5)", "0"},
        {"=FORECAST(6,D1:D5,C1:C5)", "12"},
        {"=PEARSON(C1:C5,D1:D5)", "1"},
        {"=CORREL(C1:C5,D1:D5)", "1"},
        {"=RSQ(D1:D5,C1:C5)", "1"},
        {"=STEYX(D1:D5,C1:C5)", "0"},
        {"=COVAR(C1:C5,D1:D5)", "5.77777777777778"},
        {"=INDEX(LINEST(D1:D5,C1:C5),1,1)", "#VALUE!"},
        {"=INDEX(TREND(D1:D5,C1:C5,C1:C5,1),1,1)", "#VALUE!"},
    });
}

// Cash flows and truth values under a header and beside texts and "" results. MIRR takes
// one rate here, where the peers take two: they were asked MIRR(E1:E6,0.12,0.12).
TEST(RangesAsPeopleKeepThem, FlowsAndTruthsLeaveHeadersAndTextsOut) {
    CheckKept({
        {"=NPV(0.1,E:E)", "162.69380506796"},
        {"=NPV(0.1,E1:E6)", "162.69380506796"},
        {"=IRR(E1:E6)", "0.212498047582673"},
        {"=MIRR(E1:E6,0.12)", "0.182953436648508"},
        {"=SUMX2PY2(E1:E6,A1:A6)", "1140030"},
        {"=SUMX2MY2(E1:E6,A1:A6)", "1139970"},
        {"=OR(2,B6:B6)", "1"},
        {"=OR(0,A1:A1)", "0"},
        {"=AND(H8:H9)", "1"},
        {"=AND(1,H9)", "1"},
        {"=OR(0,H9)", "0"},
    });
}

} // namespace vl::test
