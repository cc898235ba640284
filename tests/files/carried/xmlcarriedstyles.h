#pragma once
// Styles and number formats brought to what the XML form carries of them: a field the form
// does not write for a record reads back as the record's starting value. Used to compare
// records across forms; the binary form keeps styles as they are.

#include "model/styles.h"

namespace vl {

// Keeps only the parameters the format's family writes, each as it reads back (a flag as 0
// or 1, a two-bit choice as the one the writer names); the others become 0.
void SettleFormatParams(StandardFormat& format);

// Font 0 and style 0 become the built-in defaults, which no form but the binary one stores;
// each other style keeps only the fields the XML form writes for it.
void SettleStyleTable(StyleTables& tables);

} // namespace vl
