#pragma once
// References for the functions the peer has none of: each case of such a function is judged
// against an answer worked out here by other means (a solver of its own, the definition
// recomputed in long double, the rule for an unlisted server), never by the engine's code.

#include "tests/functions/bindall/peermodels.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace vl::test {

// What the reference says of our answer: empty when it meets it, else what differs. A drawn
// answer (a random search) changes on each evaluation, so it is judged but never stored.
struct Judgement {
    std::string fault;
    bool drawn = false;
};

using Reference = std::function<Judgement(TestBook&, const std::string& formula, const Answer&)>;

// function name (as the catalogue writes it) -> its reference.
const std::map<std::string, Reference>& References();

namespace reference {

using Real = long double;

// The case's call of `name` (upper case) and the element of its result the case shows: the
// call itself shows its first element, INDEX(call, row, column) the one it picks.
struct Call {
    bool read = false;
    std::string text; // "NAME(...)" as written
    ModelCase m;      // the call's arguments and values
    std::size_t row = 1, column = 1;
};
Call ReadCall(TestBook& book, const std::string& formula, const std::string& name);

// A scalar argument as the number readers take it: omitted (or a blank cell) keeps the
// default, a text must read as a number (#NUM!), an area or array is #VALUE!.
struct Scalar {
    int error = 0;
    bool omitted = false, blank = false;
    double x = 0;
};
Scalar ReadScalar(const Argument& a);
// A whole number rounded half away from zero within [low, high], else #NUM!.
Scalar ReadWhole(const Argument& a, double low, double high);

// A range argument: its shape and numbers by position (an error or a text that is no number
// counts 0); `texts` tells that a text that is no number was met.
struct Range {
    int error = 0;
    bool given = true, texts = false;
    std::size_t rows = 0, columns = 0;
    std::vector<Real> v; // row by row
    Real At(std::size_t r, std::size_t c) const { return v[r * columns + c]; }
};
Range ReadRange(const Argument& a);

// An error answer of the given code (the codes ErrorCode numbers); 0 for none.
Answer Error(int code);
// Our answer meets a number within a relative tolerance (absolute below 1).
bool Near(const Answer& ours, Real want, Real tolerance);
std::string Says(const Answer& ours, const std::string& what);
// A call with fewer arguments than the catalogue's function needs, or more than it takes, is
// refused: its judgement, or "-" when the count is right (optional ones left off the end are
// then added as omitted).
Judgement ExpectCount(Call& call, const std::string& function, const Answer& ours);
// Our answer is the error of the code.
Judgement ExpectError(const Answer& ours, int code, const std::string& rule);

// The element (row, column) of our result to the call, evaluated here.
Answer OurElement(TestBook& book, const Call& call, std::size_t row, std::size_t column);

// Quantiles: the standard normal one and Student's t of d degrees of freedom.
Real NormalQuantile(Real q);
Real StudentQuantile(Real q, Real d);

// Solves the square system by Gaussian elimination with partial pivoting; false if singular.
bool SolveSquare(std::vector<std::vector<Real>> m, std::vector<Real> rhs, std::vector<Real>& x);

void AddSolverReferences(std::map<std::string, Reference>& references);
void AddSearchReferences(std::map<std::string, Reference>& references);
void AddSeriesReferences(std::map<std::string, Reference>& references);

} // namespace reference

} // namespace vl::test
