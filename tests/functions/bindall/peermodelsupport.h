#pragma once
// What the models of peermodels*.cpp share: reading a case's arguments and values, the rules
// of reading numbers, and the way a model reports what differs.

#include "tests/functions/bindall/peermodels.h"

#include <cfloat>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace vl::test::peermodel {

// Splits on the separator at depth 0, outside quotes, braces and brackets.
std::vector<std::string> SplitTopLevel(const std::string& text, const std::string& separators);

int ColumnNumber(const std::string& letters);

Answer Blank();

struct Area {
    int c1 = 0, r1 = 0, c2 = 0, r2 = 0;
};

// A reference or range as written ("B12:B1" keeps its corners as written).
bool ReadArea(const std::string& text, Area& area);

void ReadCells(TestBook& book, const Area& a, std::vector<Answer>& values);

Argument ReadArgument(TestBook& book, const std::string& written);

// An area qualified with a worksheet's or folder's name or path ("Other!A1:B6", "Box!A1"):
// false when the text is none.
bool ReadPlacedArgument(TestBook& book, const std::string& text, Argument& a);

// The cells of the worksheet an area written alone or qualified lies on, with the area (whole
// columns to the grid's last row); null for no area, a folder or a name that names nothing.
const CCellStore* PlacedArea(TestBook& book, const std::string& text, Area& area);

// A text the engine reads as a number: digits with blanks around them at most.
bool NumericText(const std::string& text);

bool TextNoNumber(const Answer& a);

bool IsoMoment(const Answer& a);

template <class Pred> bool AnyValue(const ModelCase& m, Pred pred) {
    for (const Argument& a : m.args)
        for (const Answer& v : a.values)
            if (pred(v)) return true;
    return false;
}

bool IsError(const Answer& a, const char* error);

std::string Expect(bool holds, const ModelCase& m, const std::string& rule);

std::string JoinCall(const std::string& name, const std::vector<std::string>& args);

double RoundHalfAway(double x);

// The call with some arguments written otherwise, evaluated here.
Answer Substituted(TestBook& book, const ModelCase& m, const std::vector<std::string>& texts);

std::vector<std::string> Texts(const ModelCase& m);

// An area as an array constant of its values, each written by `write`.
std::string AsArray(const Argument& a, const std::function<std::string(const Answer&)>& write);

std::string Number(double x);

// DOLLARFR writes the numerator in as many digits as the denominator has; DOLLARDE reads
// that many back; the denominator is a whole number rounded half away from zero.
bool ReadNumber(const Answer& v, double& x);

// The first call of `name` in the formula, as written, or empty.
std::string CallText(const std::string& formula, const std::string& name);

// An argument written as an area (or an intersection of areas, in parentheses or not).
bool IsReference(const std::string& written);

// SUM, MAX and MIN (and MAXA, MINA) read numbers and numeric texts; they leave errors, other
// texts and empty cells out of areas and arrays, MAX and MIN errors and other texts out of
// every argument; a text that is no number given alone to SUM is #NUM!, an error given
// alone to it that error. With no value MAX and MIN are 0.
bool HasReversedRange(const std::string& text);

int ErrorCode(const Answer& a);

Answer ErrorOfCode(int code);

// The formula with the call replaced by its model's answer, evaluated here.
Answer WithCallAnswer(TestBook& book, const std::string& formula, const std::string& call,
                      const Answer& answer);

// The numbers an argument holds as the statistics read them: numbers and numeric texts, an
// empty cell or argument named alone as 0 (one in an area left out); a text that is no number
// given alone (#NUM!) or an error raises `worst` to its code unless `leaveOut` leaves both
// out, and areas leave such texts out. False when `worst` is set.
bool ReadSample(const Argument& a, bool leaveOut, std::vector<double>& out, int& worst);

// One value read as a function reads a number argument: its error's code, #NUM! for a text
// that is no number or a number past [low, high]; an empty value leaves `x` at its default.
// Returns the code, 0 for none.
int ReadScalar(const Answer& v, double& x, double low = -DBL_MAX, double high = DBL_MAX);

// As ReadScalar, rounded half away from zero to a whole number within [low, high].
int ReadWhole(const Answer& v, double& x, double low, double high);

// A result a function gives as #NUM!: NaN, an infinity or a subnormal number.
bool OutsideDoubles(double x);

// Our answer worked out at whole-number arguments where the peer takes or refuses the fraction.
bool WholeArgumentsComputed(TestBook& book, const ModelCase& m);

// Whether every argument holds one value (no area or array to apply the call over).
bool SingleValues(const ModelCase& m);

// An argument read where a number is asked: 0 with its number (an empty cell, the empty text
// and blanks 0), else the error code it gives (a text that is no number #NUM!).
int ScalarNumber(const Argument& a, double& x);

// A whole-number argument: absent or an empty cell keeps `n`; a number rounded half away from
// zero, #NUM! past 32 bits or outside [low, high]; else ScalarNumber's error code.
int WholeArgument(const Argument* a, double& n, double low, double high);

// A text argument in characters: a number in its general form, an empty cell the empty text;
// an error its code, #VALUE! past the characters a cell holds.
int TextArgument(TestBook& book, const Argument* a, std::u32string& out);

// Each part adds the models of its reasons.
void AddReadingModels(std::map<std::string, Model>& models);
void AddAreaModels(std::map<std::string, Model>& models);
void AddNumberModels(std::map<std::string, Model>& models);
void AddBoundsModels(std::map<std::string, Model>& models);
void AddRankedModels(std::map<std::string, Model>& models);
void AddCriteriaModels(std::map<std::string, Model>& models);
void AddCallModels(std::map<std::string, Model>& models);
void AddPlaceModels(std::map<std::string, Model>& models);
void AddTextModels(std::map<std::string, Model>& models);
void AddSampleModels(std::map<std::string, Model>& models);

} // namespace vl::test::peermodel
