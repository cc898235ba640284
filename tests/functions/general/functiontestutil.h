#pragma once
// Function tests evaluate formulas in a test workbook with the general families bound.

#include "functions/general/annuityfunctions.h"
#include "functions/general/arrayfunctions.h"
#include "functions/general/baseconversion.h"
#include "functions/general/besselfunctions.h"
#include "functions/general/cashflowfunctions.h"
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
        return true;
    }();
    (void)bound;
}

struct FormulaCase {
    const char* formula;
    const char* shown;
};

class FunctionBook : public TestBook {
public:
    FunctionBook() { BindGeneralFunctions(); }

    void Check(const FormulaCase* cases, std::size_t n) {
        for (std::size_t i = 0; i < n; ++i) {
            EXPECT_EQ(Eval(cases[i].formula, "J20"), cases[i].shown) << cases[i].formula;
            EXPECT_EQ(Ctx().stringPool.count, 0) << cases[i].formula;
        }
    }
    template <std::size_t N> void Check(const FormulaCase (&cases)[N]) { Check(cases, N); }
};

} // namespace vl::test
