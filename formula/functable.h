#pragma once
// The built-in function table: one row per function name of formula text with its
// implementation. Sorted by name once per process, searched by bisection; a function
// token carries the row index, which stays valid for the life of the process.

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace vl {

class CEvalContext;

// Takes the context whose value stack holds the call entry on top; replaces the
// arguments and the call by one result, or sets the status to #SYNTAX! and leaves the
// stack as it was.
using BuiltinImpl = void (*)(CEvalContext&);

constexpr std::size_t kFunctionNameSize = 20;
constexpr uint16_t kBuiltinRows = 365;

struct BuiltinFunction {
    uint32_t reserved = 0;
    BuiltinImpl implementation = nullptr;
    char name[kFunctionNameSize] = {}; // upper case with its "(", NUL-padded
};

// Sorts the table by the bytes of the names on the first call; later calls do nothing.
void SortFunctionTable();

// The function whose name with its "(" begins `text` (any case): its row and `end` just
// past the "(". False, with `end` 0, when no name matches.
bool FindBuiltinFunction(std::string_view text, uint16_t& index, std::size_t& end);

uint16_t BuiltinFunctionCount();
// The row at `index`, or null past the table: an index from a damaged token must never
// reach a call.
const BuiltinFunction* GetBuiltinFunction(uint16_t index);

// Gives every row of the name (without "(", upper case) this implementation. The
// function libraries bind theirs at start-up; an unbound row yields #IMPL!.
bool BindBuiltinFunction(std::string_view name, BuiltinImpl implementation);

// The fewest arguments a call of the name (without "(", upper case) may be written with
// when its last arguments have defaults: a call with fewer than its function asks but at
// least these reads the missing trailing ones as empty. Without a setting a function takes
// the count it asks for.
bool SetRequiredArguments(std::string_view name, uint8_t count);
uint8_t RequiredArguments(uint16_t index);

// Drops the call's arguments and makes the result the error #IMPL!.
void NotImplementedBuiltin(CEvalContext& ctx);

} // namespace vl
