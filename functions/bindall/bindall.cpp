#include "functions/bindall/bindall.h"

#include "functions/general/arrayfunctions.h"
#include "functions/general/conditionalfunctions.h"
#include "functions/general/informationfunctions.h"
#include "functions/general/logicalfunctions.h"
#include "functions/general/lookupfunctions.h"
#include "functions/general/mathfunctions.h"
#include "functions/general/randomfunctions.h"
#include "functions/general/referencefunctions.h"
#include "functions/general/sumfunctions.h"
#include "functions/general/textfunctions.h"
#include "functions/numeric/numericbuiltins.h"
#include "functions/numeric/statbuiltins.h"

namespace vl {

void BindAllFunctions() {
    BindMathFunctions();
    BindSumFunctions();
    BindConditionalFunctions();
    BindStatisticsBuiltins();
    BindRandomMatrixFunctions();
    BindNumericMethodBuiltins();
    BindTextFunctions();
    BindLookupFunctions();
    BindReferenceFunctions();
    BindArrayFunctions();
    BindLogicalFunctions();
    BindInformationFunctions();
}

} // namespace vl
