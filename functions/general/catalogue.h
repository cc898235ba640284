#pragma once
// The function catalogue that the formula composer reads: per function its category, its
// argument count and names, the kinds of its argument fields and a help text. The
// evaluator never consults it; row indexes are stored (the composer's history), so rows
// keep their order.

#include <cstdint>
#include <span>
#include <string_view>

namespace vl {

struct FunctionInfo {
    // Bits 0-7 the category, 8-15 the fixed arguments, bit 16 a variable list after them.
    uint32_t code = 0;
    const char* name = nullptr; // mixed case, as the composer shows and inserts it
    // The fixed arguments' names as consecutive NUL-terminated texts; optional ones in
    // square brackets.
    const char* argumentNames = nullptr;
    // One character per argument field: '0' a single value, '1' a range or array.
    const char* argumentKinds = nullptr;
    // Signature, empty line, description, examples; lines end with CR LF.
    const char* helpText = nullptr;
};

constexpr std::size_t kCatalogueRows = 294;
constexpr std::size_t kCategoryCount = 12; // the last one lists every function
constexpr uint8_t kCategoryAll = 11;

// The rows in stored order, grouped by category.
std::span<const FunctionInfo> FunctionCatalogue();
// The rows followed by a row of zeros.
const FunctionInfo* FunctionCatalogueRows();
// The name of a category 0 to 11; empty past them.
std::string_view FunctionCategoryName(uint8_t category);

// Lets every function whose last catalogue arguments are optional ("[fv]") be called
// without them: they then read as empty arguments, as if written ",,".
void BindOptionalArguments();

inline uint8_t CategoryOf(const FunctionInfo& row) {
    return uint8_t(row.code & 0xFF);
}
inline uint8_t FixedArgumentCount(const FunctionInfo& row) {
    return uint8_t((row.code >> 8) & 0xFF);
}
inline bool TakesArgumentList(const FunctionInfo& row) {
    return (row.code & 0x10000) != 0;
}

} // namespace vl
