#pragma once
// What a statistical computation gives back: a number, or a formula error code in
// whose presence the number means nothing.

#include "formula/token.h"

namespace vl {

struct StatResult {
    double value = 0;
    FormulaError error = 0;
};

inline StatResult StatError(FormulaError error) {
    return {0, error};
}

// Of two errors the higher code wins.
inline FormulaError JoinError(FormulaError a, FormulaError b) {
    return a > b ? a : b;
}

} // namespace vl
