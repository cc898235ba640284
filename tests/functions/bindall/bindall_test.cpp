#include "formula/evalcontext.h"
#include "formula/evaluator.h"
#include "functions/bindall/bindall.h"

#include <gtest/gtest.h>
#include <memory>

namespace vl {

TEST(BindAllFunctions, EveryFamilyIsBound) {
    BindAllFunctions();
    auto ctx = std::make_unique<CEvalContext>();
    // Functions of three families: sums, mathematics and conditions.
    ASSERT_EQ(EvaluateFormulaText(*ctx, "=SUM(1,2)+SQRT(16)+COUNTIF({1,2,3},\">1\")", 0, 0),
              kTokenNumber);
    EXPECT_EQ(ctx->values[1].number, 9);
}

} // namespace vl
