#include "functions/bindall/bindall.h"

#include "functions/general/conditionalfunctions.h"
#include "functions/general/mathfunctions.h"
#include "functions/general/sumfunctions.h"
#include "functions/numeric/statbuiltins.h"

namespace vl {

void BindAllFunctions() {
    BindMathFunctions();
    BindSumFunctions();
    BindConditionalFunctions();
    BindStatisticsBuiltins();
}

} // namespace vl
