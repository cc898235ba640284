#pragma once
// RTD and UDF: formulas that read properties of, and call methods on, objects of the
// automation servers the user registered (automationclient.h), with the replies turned into
// formula values.

#include "formula/operands.h"
#include "platform/com/variant.h"

#include <span>
#include <string>
#include <vector>

namespace vl {

// The longest list of property names, their characters counted without separators.
constexpr std::size_t kMaxTopicCharacters = 1023;

// The replies of two or more properties as a column, one row per property: a number or text
// element, nothing for an empty value, a number element carrying an error. A property that
// returns an array is #REF!, a record that cannot be stored #MEMORY!.
class CPropertyColumn {
public:
    explicit CPropertyColumn(CEvalContext& ctx) : ctx_(ctx), builder_(ctx) {}

    // False once the column has failed (`error` says why); nothing more is taken then.
    bool Add(const CVariant& reply);
    // The column as an array value, or empty carrying the error.
    void Finish(FormulaToken& value);

    FormulaError error = 0;

private:
    CEvalContext& ctx_;
    CArrayBuilder builder_;
    uint32_t rows_ = 0;
};

// Reads the properties in order from a new object of the ProgID's server into `value`: the
// one reply as it stands, or a column for two or more. #REF! when the server or a name is
// unknown or does not answer.
void CallRtdServer(CEvalContext& ctx, const std::string& progId,
                   const std::vector<std::string>& topics, FormulaToken& value);
// Calls the method on a new object of the ProgID's server with the arguments in formula
// order and converts its reply into `value`.
void CallUdfMethod(CEvalContext& ctx, const std::string& progId, const std::string& method,
                   std::span<const CVariant> arguments, FormulaToken& value);

void Rtd(CEvalContext& ctx);
void Udf(CEvalContext& ctx);
void BindAutomationFunctions();

} // namespace vl
