#include "functions/general/catalogue.h"

#include "formula/functable.h"

#include <cctype>
#include <cstring>
#include <string>

namespace vl {

namespace {

constexpr FunctionInfo kCatalogue[kCatalogueRows + 1] = {
// The categories stand in their stored order.
// clang-format off
#include "functions/general/catalogue_mathematical.inc"
#include "functions/general/catalogue_text.inc"
#include "functions/general/catalogue_datetime.inc"
#include "functions/general/catalogue_financial.inc"
#include "functions/general/catalogue_lookup.inc"
#include "functions/general/catalogue_logical.inc"
#include "functions/general/catalogue_information.inc"
#include "functions/general/catalogue_engineering.inc"
#include "functions/general/catalogue_statistical.inc"
#include "functions/general/catalogue_optimization.inc"
#include "functions/general/catalogue_matrix.inc"
    // clang-format on
    {},
};

static_assert(kCatalogue[kCatalogueRows - 1].name != nullptr, "a row is missing");

constexpr const char* kCategoryNames[kCategoryCount] = {
    "mathematical",
    "text",
    "date/time",
    "financial",
    "lookup & reference",
    "logical",
    "informational",
    "engineering",
    "statistical",
    "optimization & minimization",
    "matrix, over-/determined eq. systems",
    "all",
};

} // namespace

std::span<const FunctionInfo> FunctionCatalogue() {
    return {kCatalogue, kCatalogueRows};
}

const FunctionInfo* FunctionCatalogueRows() {
    return kCatalogue;
}

void BindOptionalArguments() {
    for (const FunctionInfo& row : FunctionCatalogue()) {
        const uint8_t fixed = FixedArgumentCount(row);
        uint8_t required = 0;
        const char* name = row.argumentNames;
        for (uint8_t i = 0; i < fixed && name; ++i) {
            if (name[0] != '[') required = uint8_t(i + 1);
            name += std::strlen(name) + 1;
        }
        if (required >= fixed) continue;
        std::string upper(row.name);
        for (char& c : upper) c = char(std::toupper(static_cast<unsigned char>(c)));
        SetRequiredArguments(upper, required);
    }
}

std::string_view FunctionCategoryName(uint8_t category) {
    return category < kCategoryCount ? kCategoryNames[category] : std::string_view();
}

} // namespace vl
