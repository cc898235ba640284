#pragma once
// Compares a computed number with a value printed in a help text or a reference table:
// they agree when the computed number rounds to the printed digits.

#include "platform/core/number.h"

#include <cmath>
#include <gtest/gtest.h>
#include <string_view>

namespace vl {

// Half a unit of the last printed digit.
inline double PrintedTolerance(std::string_view printed) {
    std::size_t e = printed.find_first_of("eE");
    std::string_view mantissa = printed.substr(0, e);
    int exponent = 0;
    if (e != std::string_view::npos) {
        double x = 0;
        ParseNumber(printed.substr(e + 1), x);
        exponent = int(x);
    }
    std::size_t dot = mantissa.find('.');
    int decimals = dot == std::string_view::npos ? 0 : int(mantissa.size() - dot - 1);
    return 0.5 * std::pow(10.0, exponent - decimals);
}

inline ::testing::AssertionResult MatchesPrinted(double actual, std::string_view printed) {
    double expected = 0;
    if (!ParseNumber(printed, expected))
        return ::testing::AssertionFailure() << "unreadable " << printed;
    double tolerance = PrintedTolerance(printed);
    if (std::fabs(actual - expected) <= tolerance * (1 + 1e-9))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << ::testing::PrintToString(actual) << " does not round to " << printed << " (off by "
           << std::fabs(actual - expected) << ")";
}

} // namespace vl
