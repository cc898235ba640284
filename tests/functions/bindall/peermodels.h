#pragma once
// The rules behind the differences the comparison accepts: for a reason that covers many
// entries, a model that works out from the case's arguments what our answer must be. The
// comparison runs the reason's model on every entry listed under it.

#include "tests/functions/bindall/peercases.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace vl::test {

// An argument as written and its values: each cell of a reference (kind 'b' for a blank
// one), each element of an array constant, or the one value of any other expression.
struct Argument {
    std::string text;
    std::vector<Answer> values;
    bool reversed = false;             // a range written from its far corner (B12:B1)
    std::size_t rows = 1, columns = 1; // an area's or array constant's shape
    bool unnamed = false;              // qualified with a name that names nothing: no value
};

// A case read as a call: its function's name and arguments, their values beside the data.
struct ModelCase {
    std::string formula, name;
    std::vector<Argument> args;
    Answer ours, peer;
};

// The arguments of the formula's outermost call, split where they are written.
bool SplitCall(const std::string& formula, std::string& name, std::vector<std::string>& args);

// The case with its arguments' values read in the book holding the data block.
ModelCase ReadModelCase(TestBook& book, const std::string& formula, const Answer& ours,
                        const Answer& peer);

// reason -> its model: empty when our answer is the one the rule gives, else what differs.
using Model = std::function<std::string(TestBook&, const ModelCase&)>;
const std::map<std::string, Model>& Models();

} // namespace vl::test
