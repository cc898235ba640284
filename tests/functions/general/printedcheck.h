#pragma once
// Formula results against printed values: a number agrees when it lies within half a unit
// of the last printed digit (or an explicit tolerance), a complex text part by part, and
// anything else (dates, digit texts, error values) when the shown text is the same.

#include "functiontestutil.h"
#include "tests/functions/numeric/printed.h"

#include <cmath>
#include <string>
#include <string_view>

namespace vl::test {

struct PrintedCase {
    const char* formula;
    const char* printed;
    double tolerance = 0; // 0: half a unit of the last printed digit
};

inline bool IsPlainNumber(std::string_view text) {
    double x = 0;
    return ParseNumber(text, x);
}

// "a + bi" split into its parts' texts; false when the text is no complex number.
inline bool SplitComplex(std::string_view text, std::string& re, std::string& im) {
    if (text.size() < 6 || (text.back() != 'i' && text.back() != 'j')) return false;
    std::size_t sign = text.find(" + ", 1);
    if (sign == std::string_view::npos) sign = text.find(" - ", 1);
    if (sign == std::string_view::npos) return false;
    re = std::string(text.substr(0, sign));
    im = (text[sign + 1] == '-' ? "-" : "") +
         std::string(text.substr(sign + 3, text.size() - sign - 4));
    return IsPlainNumber(re) && IsPlainNumber(im);
}

inline ::testing::AssertionResult Agrees(double actual, const std::string& printed,
                                         double tolerance) {
    if (tolerance == 0) return MatchesPrinted(actual, printed);
    double expected = 0;
    ParseNumber(printed, expected);
    if (std::fabs(actual - expected) <= tolerance) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << ::testing::PrintToString(actual) << " is not within "
                                         << tolerance << " of " << printed;
}

// Evaluates the formula in J20 as FunctionBook::Check does; the result is values[1].
inline uint16_t EvaluateInJ20(FunctionBook& book, std::string_view formula) {
    std::string stored = book.Internal(formula, At("J20"));
    book.Ctx().worksheetList = book.Book().tree.first;
    book.Ctx().currentCells = &book.Sheet().cells;
    return EvaluateFormulaText(book.Ctx(), stored, 9, 19);
}

inline void CheckPrinted(FunctionBook& book, const PrintedCase& c) {
    SCOPED_TRACE(c.formula);
    std::string_view printed(c.printed);
    uint16_t kind = EvaluateInJ20(book, c.formula);
    const FormulaToken& v = book.Ctx().values[1];
    if (kind == kTokenNumber && v.error == 0 && IsPlainNumber(printed)) {
        EXPECT_TRUE(Agrees(v.number, c.printed, c.tolerance));
        return;
    }
    if (kind == kTokenText) book.Ctx().stringPool.PopTempString();
    if (kind == kTokenArray) book.Ctx().scratch.ReleaseArrays();
    std::string shown = book.Eval(c.formula, "J20");
    std::string re, im, shownRe, shownIm;
    if (SplitComplex(printed, re, im) && SplitComplex(shown, shownRe, shownIm)) {
        double a = 0, b = 0;
        ParseNumber(shownRe, a);
        ParseNumber(shownIm, b);
        EXPECT_TRUE(Agrees(a, re, c.tolerance)) << "real part of " << shown;
        EXPECT_TRUE(Agrees(b, im, c.tolerance)) << "imaginary part of " << shown;
        EXPECT_EQ(shown.back(), printed.back());
        return;
    }
    EXPECT_EQ(shown, printed);
}

template <std::size_t N> void CheckPrinted(FunctionBook& book, const PrintedCase (&cases)[N]) {
    for (const PrintedCase& c : cases) {
        CheckPrinted(book, c);
        EXPECT_EQ(book.Ctx().stringPool.count, 0) << c.formula;
    }
}

} // namespace vl::test
