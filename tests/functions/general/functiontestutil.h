#pragma once
// Function tests evaluate formulas in a test workbook with the general families bound and
// compare the results with shown texts or with printed values: a number agrees with a
// printed value when it lies within half a unit of the last printed digit (or an explicit
// tolerance), a complex text part by part, and anything else when the shown text is the same.

#include "functions/general/annuityfunctions.h"
#include "functions/general/arrayfunctions.h"
#include "functions/general/baseconversion.h"
#include "functions/general/besselfunctions.h"
#include "functions/general/cashflowfunctions.h"
#include "functions/general/catalogue.h"
#include "functions/general/complexfunctions.h"
#include "functions/general/conditionalfunctions.h"
#include "functions/general/datefunctions.h"
#include "functions/general/depreciationfunctions.h"
#include "functions/general/informationfunctions.h"
#include "functions/general/integerfunctions.h"
#include "functions/general/logicalfunctions.h"
#include "functions/general/lookupfunctions.h"
#include "functions/general/mathfunctions.h"
#include "functions/general/referencefunctions.h"
#include "functions/general/roundingfunctions.h"
#include "functions/general/sumfunctions.h"
#include "functions/general/textfunctions.h"
#include "functions/general/workdayfunctions.h"
#include "tests/formula/evaltestutil.h"
#include "tests/functions/numeric/printed.h"

#include <cmath>
#include <initializer_list>
#include <string>
#include <string_view>

namespace vl::test {

inline void BindGeneralFunctions() {
    static const bool bound = [] {
        BindMathFunctions();
        BindSumFunctions();
        BindConditionalFunctions();
        BindRoundingFunctions();
        BindIntegerFunctions();
        BindDateFunctions();
        BindWorkdayFunctions();
        BindAnnuityFunctions();
        BindCashFlowFunctions();
        BindDepreciationFunctions();
        BindBaseConversionFunctions();
        BindComplexFunctions();
        BindBesselFunctions();
        BindTextFunctions();
        BindLookupFunctions();
        BindReferenceFunctions();
        BindArrayFunctions();
        BindLogicalFunctions();
        BindInformationFunctions();
        BindOptionalArguments();
        return true;
    }();
    (void)bound;
}

struct FormulaCase {
    const char* formula;
    const char* shown;
};

struct PrintedCase {
    const char* formula;
    const char* printed;
    double tolerance = 0; // 0: half a unit of the last printed digit
};

class FunctionBook : public TestBook {
public:
    FunctionBook() { BindGeneralFunctions(); }

    // Each formula, evaluated in J20, shows its text and leaves no string behind.
    void Check(std::initializer_list<FormulaCase> cases) {
        for (const FormulaCase& c : cases) {
            EXPECT_EQ(Eval(c.formula, "J20"), c.shown) << c.formula;
            EXPECT_EQ(Ctx().stringPool.count, 0) << c.formula;
        }
    }
    void CheckPrinted(std::initializer_list<PrintedCase> cases);
};

// The formulas in a workbook of their own.
inline void CheckFormulas(std::initializer_list<FormulaCase> cases) {
    FunctionBook().Check(cases);
}
inline void CheckPrinted(std::initializer_list<PrintedCase> cases) {
    FunctionBook().CheckPrinted(cases);
}

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

inline void FunctionBook::CheckPrinted(std::initializer_list<PrintedCase> cases) {
    for (const PrintedCase& c : cases) {
        test::CheckPrinted(*this, c);
        EXPECT_EQ(Ctx().stringPool.count, 0) << c.formula;
    }
}

} // namespace vl::test
