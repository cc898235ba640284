#pragma once
// Workbooks with every kind of content the XML form carries, drawn at random but in
// the form a reader gives back (a colour that is not given holds the default the reader
// fills in, parameters a format kind does not use are zero), and their comparison record by
// record.

#include "model/workbook.h"

#include <cstdint>
#include <memory>

namespace vl::xmltest {

struct RandomBookShape {
    uint32_t seed = 1;
    int worksheets = 3;
    int cellsPerSheet = 400;
    bool fullTables = true; // 128 fonts, 512 styles, 100 lists, every column set
    int containersPerSheet = 2;
};

std::unique_ptr<CWorkbook> RandomWorkbook(const RandomBookShape& shape);

// Every field the XML form carries, compared with gtest expectations.
void ExpectSameWorkbook(CWorkbook& expected, CWorkbook& actual);

} // namespace vl::xmltest
