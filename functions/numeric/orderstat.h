#pragma once
// Order statistics: extremes, median and mode of gathered numbers, and the ranked
// selections (LARGE, SMALL, PERCENTILE, QUARTILE, PERCENTRANK, RANK, TRIMMEAN) over the
// sorted items of a data argument, whose cells may be numbers, texts or errors.

#include "functions/numeric/statresult.h"

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace vl {

// MAX and MIN: a running extreme starting at the far end of the finite range.
struct Extreme {
    bool largest = true;
    double value = 0;
    uint32_t count = 0;

    explicit Extreme(bool findLargest);
    void Add(double x);
};
// 0 when nothing was taken; a subnormal extreme is #NUM!.
StatResult ExtremeResult(const Extreme& extreme);

// MEDIAN and MODE of the gathered numbers, which they sort; #VALUE! for none, and #N/A! for
// a MODE where no value repeats.
StatResult Median(std::vector<double>& values);
StatResult Mode(std::vector<double>& values);

// One cell of a data argument as the ranked functions see it.
struct DataItem {
    double number = 0;     // the value when it reads as a number (else 0)
    std::string_view text; // a text cell's text, or a formula's text result
    bool isText = false;
    FormulaError error = 0; // the cell's own error
    // The error of reading the item as a number: the cell's own, or #NUM! for a text
    // that is no number; 0 when it reads as one.
    FormulaError conversion = 0;
    const uint8_t* record = nullptr; // the cell, which decides the item's place in a sort
    uint32_t position = 0;           // its place before the sort, which decides ties
};

// A picked item of LARGE or SMALL: its text, or its number.
struct PickedItem {
    StatResult number;
    bool isText = false;
    std::string_view text;
};
// The k-th item (from 1) of the items sorted descending (LARGE) or ascending (SMALL);
// #NUM! for k beyond the count, #VALUE! for an error cell.
PickedItem LargeSmall(const std::vector<DataItem>& sorted, int32_t k);

// PERCENTILE and QUARTILE over items sorted ascending; k a fraction in [0, 1].
StatResult Percentile(const std::vector<DataItem>& sorted, double k);
// The fraction of quartile 0 to 4.
double QuartileFraction(int32_t quartile);

// PERCENTRANK over items sorted ascending, rounded to `significance` decimals.
StatResult PercentRank(const std::vector<DataItem>& sorted, double x, int32_t significance);

// RANK over items sorted ascending (order 1) or descending (order 0).
StatResult Rank(const std::vector<DataItem>& sorted, double x, bool ascending);

// TRIMMEAN over items sorted ascending; `percent` in [0, 1].
StatResult TrimMean(const std::vector<DataItem>& sorted, double percent);

// Values TRIMMEAN drops for x = n·percent: the even count at or below x.
std::size_t TrimCount(double x);

} // namespace vl
