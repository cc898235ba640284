#pragma once
// References for functions the peer has none of: each generated case's answer worked out in
// the test from the function's rule by arithmetic of its own (long double linear algebra, a
// sort and a calendar written here), never by the engine's routine. The comparison judges
// our answer against the reference as it judges the peer's.

#include "tests/functions/bindall/peercases.h"
#include "tests/functions/bindall/peermodels.h"

#include <cstddef>
#include <string>
#include <vector>

namespace vl::test {

// A result as a reference makes it: rows x columns answers, a scalar one element (a result
// past kWholeElements elements holds its first only and is judged by it and its shape). `scale`
// is the magnitude the elements' rounding errors are measured against (the largest element,
// or the largest the computation passed through); 0 judges each element by itself.
constexpr std::size_t kWholeElements = 65536;

struct Grid {
    std::size_t rows = 1, columns = 1;
    std::vector<Answer> cells;
    double scale = 0;
    // Where a result is not unique (a singular vector's sign, an order among equals), the
    // elements that may stand at a place: `cells` holds one of them.
    std::vector<std::vector<Answer>> alternatives;
};

Grid ScalarGrid(const Answer& a);
Grid ErrorGrid(const char* error);

// Whether our element meets the reference's at the place (row-major index).
bool MeetsReference(const Answer& ours, const Grid& reference, std::size_t index);

// The reference of a case whose function has one; false for every other function.
bool ReferenceOf(TestBook& book, const std::string& formula, Grid& reference);

// Each family: false when the call is none of its functions.
bool MatrixReference(TestBook& book, const ModelCase& call, Grid& reference);
bool ConstructionReference(TestBook& book, const ModelCase& call, Grid& reference);
bool OrderReference(TestBook& book, const ModelCase& call, Grid& reference);
bool DateReference(TestBook& book, const ModelCase& call, Grid& reference);

// ISO 8601 text plus a duration, as the date functions and text series add them; false
// when either does not read or the parts do not suit the value.
bool AddIsoDuration(const std::string& value, const std::string& duration, std::string& out);

// Scalars read as the matrix and list functions' getters read them.
struct Scalar {
    bool omitted = false;
    int error = 0; // an error kind's order (1 #DIV/0! ... 7 #VALUE!), 0 for none
    double x = 0;
};
Scalar ReadScalarArgument(const Argument& a);
// A whole number rounded half away from zero within [low, high]; #NUM! (5) beyond.
int WholeNumber(const Scalar& s, double low, double high, double& out);
bool IsAreaText(const std::string& text);
// An area's or array's shape, an intersection's too.
void ShapeOf(const Argument& a, std::size_t& rows, std::size_t& columns);
// A call with fewer or more arguments than its function takes, as the evaluator refuses it.
Answer TooFewArguments();

} // namespace vl::test
