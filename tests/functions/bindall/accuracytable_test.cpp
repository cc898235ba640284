// The accuracy table: formulas of the number functions at large offsets, tiny and huge
// magnitudes, domain edges and tiny and huge rates, each typed into a fresh worksheet and
// compared with a reference worked out at 60 digits (tools/make-accuracy-table.py). A number
// must lie within 1e-13 relative or 4 ulps of it; an error must be the same error. A row
// noted "limit" is one where the function's own formula is the limit and the peer fails
// alike: it carries the accuracy the formula reaches, or ("=") what it gives instead, and
// the test holds it to that.
#include "functions/bindall/bindall.h"
#include "tests/formula/evaltestutil.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <limits>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace vl::test {

namespace {

struct AccuracyRow {
    int line = 0;
    std::string function, formula, expected, note;
};

std::vector<AccuracyRow> ReadAccuracyTable() {
    std::vector<AccuracyRow> rows;
    std::ifstream in(std::string(VORLANE_TEST_DATA) + "/functions/accuracy.tsv");
    EXPECT_TRUE(in.is_open());
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        AccuracyRow row;
        row.line = number;
        std::getline(fields, row.function, '\t');
        std::getline(fields, row.formula, '\t');
        std::getline(fields, row.expected, '\t');
        std::getline(fields, row.note, '\t');
        rows.push_back(row);
    }
    return rows;
}

double Ulp(double x) {
    x = std::fabs(x);
    return std::nextafter(x, std::numeric_limits<double>::infinity()) - x;
}

// What a row asks: a number within `relative` of the reference, or the shown error.
struct Expectation {
    bool number = false;
    double reference = 0, relative = 1e-13;
    std::string shown;
};

Expectation ExpectationOf(const AccuracyRow& row) {
    Expectation e;
    std::string expected = row.expected;
    if (row.note.rfind("limit ", 0) == 0) {
        // The limit ends at the blank before the peer's answer.
        std::string limit = row.note.substr(6, row.note.find(' ', 6) - 6);
        if (limit[0] == '=')
            expected = limit.substr(1);
        else
            e.relative = std::stod(limit);
    }
    if (expected[0] == '#') {
        e.shown = expected;
        return e;
    }
    e.number = true;
    e.reference = std::strtod(expected.c_str(), nullptr);
    return e;
}

// The formula as typed into J20 of a fresh worksheet: its number, or its shown text.
struct Outcome {
    bool number = false;
    double value = 0;
    std::string shown;
};

Outcome Evaluate(const std::string& formula) {
    TestBook book;
    book.Sheet();
    std::string stored = book.Internal(formula, At("J20"));
    book.Ctx().worksheetList = book.Book().tree.first;
    book.Ctx().currentCells = &book.Sheet().cells;
    uint16_t kind = EvaluateFormulaText(book.Ctx(), stored, 9, 19);
    const FormulaToken& v = book.Ctx().values[1];
    Outcome o;
    if (kind == kTokenNumber && v.error == 0) {
        o.number = true;
        o.value = v.number;
        return o;
    }
    if (kind == kTokenText) book.Ctx().stringPool.PopTempString();
    if (kind == kTokenArray) book.Ctx().scratch.ReleaseArrays();
    o.shown = book.Eval(formula, "J20");
    return o;
}

::testing::AssertionResult Meets(const Outcome& o, const Expectation& e) {
    if (!e.number) {
        if (!o.number && o.shown == e.shown) return ::testing::AssertionSuccess();
        std::ostringstream given;
        given.precision(17);
        if (o.number)
            given << o.value;
        else
            given << o.shown;
        return ::testing::AssertionFailure() << "gives " << given.str() << ", not " << e.shown;
    }
    if (!o.number) return ::testing::AssertionFailure() << "gives " << o.shown;
    double gap = std::fabs(o.value - e.reference);
    double allowed = std::max(e.relative * std::fabs(e.reference), 4 * Ulp(e.reference));
    if (gap <= allowed) return ::testing::AssertionSuccess();
    std::ostringstream text;
    text.precision(17);
    text << "gives " << o.value << ", reference " << e.reference << ", relative error "
         << gap / std::max(std::fabs(e.reference), std::numeric_limits<double>::min());
    return ::testing::AssertionFailure() << text.str();
}

} // namespace

TEST(AccuracyTable, EveryRowMeetsItsReference) {
    BindAllFunctions();
    std::vector<AccuracyRow> rows = ReadAccuracyTable();
    std::set<std::string> functions;
    for (const AccuracyRow& row : rows) {
        functions.insert(row.function);
        EXPECT_TRUE(Meets(Evaluate(row.formula), ExpectationOf(row)))
            << "line " << row.line << ": " << row.formula;
    }
    EXPECT_GE(rows.size(), 400u);
    EXPECT_GE(functions.size(), 120u);
}

// The tolerance itself: a reference is met within 1e-13 relative and missed just past it,
// and a limit row is held to the accuracy it records.
TEST(AccuracyTable, ToleranceMeetsAndMisses) {
    Outcome near{true, 1 + 0.9e-13, ""}, far{true, 1 + 1.1e-13, ""};
    AccuracyRow plain{1, "X", "=X()", "1", ""};
    EXPECT_TRUE(Meets(near, ExpectationOf(plain)));
    EXPECT_FALSE(Meets(far, ExpectationOf(plain)));
    Outcome tiny{true, 1e-300 + 3 * Ulp(1e-300), ""};
    EXPECT_TRUE(Meets(tiny, ExpectationOf({1, "X", "=X()", "1e-300", ""})));
    AccuracyRow limit{1, "X", "=X()", "1", "limit 1e-6"};
    EXPECT_TRUE(Meets(Outcome{true, 1 + 0.9e-6, ""}, ExpectationOf(limit)));
    EXPECT_FALSE(Meets(Outcome{true, 1 + 1.1e-6, ""}, ExpectationOf(limit)));
    AccuracyRow error{1, "X", "=X()", "#NUM!", ""};
    EXPECT_TRUE(Meets(Outcome{false, 0, "#NUM!"}, ExpectationOf(error)));
    EXPECT_FALSE(Meets(Outcome{false, 0, "#VALUE!"}, ExpectationOf(error)));
    EXPECT_FALSE(Meets(Outcome{true, 0, ""}, ExpectationOf(error)));
    AccuracyRow limitError{1, "X", "=X()", "5", "limit =#NUM!"};
    EXPECT_TRUE(Meets(Outcome{false, 0, "#NUM!"}, ExpectationOf(limitError)));
    EXPECT_FALSE(Meets(Outcome{true, 5, ""}, ExpectationOf(limitError)));
    AccuracyRow limitValue{1, "X", "=X()", "1e-300", "limit =0"};
    EXPECT_TRUE(Meets(Outcome{true, 0, ""}, ExpectationOf(limitValue)));
    EXPECT_FALSE(Meets(Outcome{true, 1e-300, ""}, ExpectationOf(limitValue)));
}

} // namespace vl::test
