#pragma once
// The loop the tables of judged rows share (the models' and the references'): each row holds a
// formula, the answer its judge must take and one of the same kind beside it that the judge
// must refuse, so that a wrong answer cannot pass the comparison.

#include "tests/functions/bindall/peercases.h"

#include <cstddef>
#include <gtest/gtest.h>
#include <string>

namespace vl::test {

// `judge(row, answer)` is "" when it takes the answer, else what differs. `more(row)` checks
// what else a row asks and is true when the row's right answer is then the judge's to take
// (false where `more` has judged it otherwise).
template <class Row, std::size_t N, class Judge, class More>
void RunJudgedRows(const Row (&rows)[N], Judge judge, More more) {
    for (const Row& row : rows) {
        EXPECT_NE(judge(row, row.wrong), "")
            << row.formula << ": the wrong " << Describe(row.wrong) << " taken";
        if (more(row)) {
            EXPECT_EQ(judge(row, row.right), "")
                << row.formula << ": the right " << Describe(row.right) << " refused";
        }
    }
}

} // namespace vl::test
