#pragma once
// References for the functions the peer has none of: each case of such a function is judged
// against an answer worked out here by other means (a solver of its own, the definition
// recomputed in long double, a sort and a calendar written here, the rule for an unlisted
// server), never by the engine's code.

#include "tests/functions/bindall/peermodels.h"

#include <cstddef>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace vl::test {

// What the reference says of our answer: empty when it meets it, else what differs. A drawn
// answer (a random search) changes on each evaluation, so it is judged but never stored. A
// formula that is no call the reference reads is not judged: the peer judges it.
struct Judgement {
    std::string fault;
    bool drawn = false;
    bool judged = true;
};

// A result as a reference works it out whole: rows x columns answers, a scalar one element (a
// result past kWholeElements elements holds its first only and is judged by it and its
// shape). `scale` is the magnitude the elements' rounding errors are measured against (the
// largest element, or the largest the computation passed through); 0 judges each element by
// itself.
constexpr std::size_t kWholeElements = 65536;

struct Grid {
    std::size_t rows = 1, columns = 1;
    std::vector<Answer> cells;
    double scale = 0;
    // Where a result is not unique (a singular vector's sign, an order among equals), the
    // elements that may stand at a place: `cells` holds one of them.
    std::vector<std::vector<Answer>> alternatives;
};

// Whether our element meets the reference's at the place (row-major index).
bool MeetsReference(const Answer& ours, const Grid& reference, std::size_t index);

using Judge = std::function<Judgement(TestBook&, const std::string& formula, const Answer&)>;
// The whole result of a direct call of the function; false for any other formula.
using Whole = std::function<bool(TestBook&, const std::string& formula, Grid&)>;

struct Reference {
    Judge judge;
    Whole whole; // where the reference works out every element (matrices, lists, dates)
    // Whether it judges the cases in which the peer works out an equivalent too (our answer
    // then meets both); those of a function with a whole result are the peer's alone.
    bool withEquivalents = true;
};

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

// A call with fewer arguments than the catalogue's function needs, or more than it takes
// (255 for a list of any length), is refused as #SYNTAX!: false then; else optional ones
// left off the end of a fixed list are added as omitted.
bool CountFits(Call& call, const std::string& function);

// Who reads a scalar: the number readers (solvers, searches, series), or the matrix, list
// and date functions' getters, which take only a single value (an intersection, empty or
// not, is #VALUE!), a text written in quotes as no area, an empty or blank text as 0 and a
// numeric text past the doubles as its infinity.
enum class Getter { kNumbers, kMatrix };

// Whether the argument is written as an area or array, as the getter tells.
bool IsAreaText(const std::string& text, Getter getter = Getter::kNumbers);

// A scalar argument: omitted (or a blank cell) keeps the default, a text must read as a
// number (#NUM!), an area or array is #VALUE!, a range from its far corner #REF!.
struct Scalar {
    int error = 0;
    bool omitted = false, blank = false;
    bool beyond = false; // a whole number read, but past its bounds
    double x = 0;
    bool Default() const { return omitted || blank; }
};
Scalar ReadScalar(const Argument& a, Getter getter = Getter::kNumbers);
// A whole number rounded half away from zero within [low, high], else #NUM! (x keeps the
// rounded number past the bounds).
Scalar ReadWhole(const Argument& a, double low, double high, Getter getter = Getter::kNumbers);
// The number into `out` where one was read (a whole one past its bounds too); its error.
int Take(const Scalar& s, double& out);

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
// An area's or array's shape, an intersection's too.
void ShapeOf(const Argument& a, std::size_t& rows, std::size_t& columns);

// An error answer of the given code (the codes ErrorCode numbers); 0 for none.
Answer Error(int code);
// Our answer meets a number within a relative tolerance (absolute below 1).
bool Near(const Answer& ours, Real want, Real tolerance);
std::string Says(const Answer& ours, const std::string& what);
// Our answer is the error of the code.
Judgement ExpectError(const Answer& ours, int code, const std::string& rule);

// The element (row, column) of our result to the call, evaluated here.
Answer OurElement(TestBook& book, const Call& call, std::size_t row, std::size_t column);

// Quantiles: the standard normal one and Student's t of d degrees of freedom.
Real NormalQuantile(Real q);
Real StudentQuantile(Real q, Real d);

// A reference judged on the call of `name` with its arguments counted (a miscount must be
// #SYNTAX!); a formula that is no such call is a fault.
using CallJudge = std::function<Judgement(TestBook&, const Call&, const Answer&)>;
Reference Counted(const std::string& function, const std::string& name, CallJudge judge);
// A reference that works the whole result of a direct call of `name` out from its counted
// arguments, our answer meeting its first element.
using Build = Grid (*)(const ModelCase&);
Reference Worked(const std::string& function, const std::string& name, Build build);

Grid ScalarGrid(const Answer& a);
Grid ErrorGrid(const char* error);

// ISO 8601 text plus a duration, as the date functions and text series add them; false
// when either does not read or the parts do not suit the value.
bool AddIsoDuration(const std::string& value, const std::string& duration, std::string& out);

void AddSolverReferences(std::map<std::string, Reference>& references);
void AddSearchReferences(std::map<std::string, Reference>& references);
void AddSeriesReferences(std::map<std::string, Reference>& references);
void AddMatrixReferences(std::map<std::string, Reference>& references);
void AddListReferences(std::map<std::string, Reference>& references);
void AddDateReferences(std::map<std::string, Reference>& references);

} // namespace reference

} // namespace vl::test
