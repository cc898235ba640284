#pragma once
// The separators of a decimal-comma locale as formula text uses them: "," decimal, ";"
// list and "|" array row (";" is taken by the list).

#include "app/core/settings.h"

namespace vl::formulatest {

inline SeparatorSet CommaFormulaSeparators() {
    SeparatorSet s;
    s.decimal = ',';
    s.list = ';';
    s.arrayRow = '|';
    return s;
}

} // namespace vl::formulatest
