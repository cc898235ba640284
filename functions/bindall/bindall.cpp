#include "functions/bindall/bindall.h"

#include "functions/general/annuityfunctions.h"
#include "functions/general/arrayfunctions.h"
#include "functions/general/automationbridge.h"
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
#include "functions/general/randomfunctions.h"
#include "functions/general/referencefunctions.h"
#include "functions/general/roundingfunctions.h"
#include "functions/general/sumfunctions.h"
#include "functions/general/textfunctions.h"
#include "functions/general/workdayfunctions.h"
#include "functions/numeric/numericbuiltins.h"
#include "functions/numeric/statbuiltins.h"

namespace vl {

void BindAllFunctions() {
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
    BindStatisticsBuiltins();
    BindRandomMatrixFunctions();
    BindNumericMethodBuiltins();
    BindTextFunctions();
    BindLookupFunctions();
    BindReferenceFunctions();
    BindArrayFunctions();
    BindLogicalFunctions();
    BindInformationFunctions();
    BindAutomationFunctions();
    BindOptionalArguments();
}

} // namespace vl
