#pragma once
// Format runs that lie over each other, as an older program stored them when a style was set
// over cells that had one: laid apart again on reading. Where runs of a row overlap, the run
// stored first keeps the cells (it was the one shown and read back), and the others keep only
// the cells no earlier run covers.

#include "model/formatstore.h"

#include <vector>

namespace vl {

// Lays the runs of one row apart, in column order; the earlier in the list keeps a cell.
void SeparateRowRuns(std::vector<FormatRun>& runs);

// Rewrites the runs of a store whose rows come in order but whose runs within a row may
// overlap or stand out of column order. False when memory runs out (the store is then empty).
bool SeparateFormatRuns(CFormatStore& store);

} // namespace vl
