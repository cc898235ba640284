#pragma once
// The reference data sets under tests/data/strd, and the significant digits a computed
// value shares with a certified one.

#include "platform/core/number.h"

#include <cmath>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace vl::test {

// The numbers of a line separated by blanks, up to the first word that is no number.
inline std::vector<double> LineNumbers(std::string_view line) {
    std::vector<double> out;
    for (std::size_t i = line.find_first_not_of(' '); i < line.size();
         i = line.find_first_not_of(' ', i)) {
        double value = 0;
        NumberScan scan = ScanNumber(line.substr(i), value);
        if (scan.length == 0) break;
        out.push_back(value);
        i += scan.length;
    }
    return out;
}

inline std::vector<std::string> StrdLines(const std::string& name) {
    std::ifstream in(std::string(VORLANE_TEST_DATA) + "/strd/" + name);
    EXPECT_TRUE(in) << "missing data file " << name;
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// A regression set: the certified coefficients B0, B1, ... and the observations, each row
// the response followed by the predictors.
struct StrdRegression {
    std::vector<double> certified;
    std::vector<std::vector<double>> rows;
};

inline StrdRegression LoadRegression(const std::string& name) {
    StrdRegression set;
    bool data = false;
    for (const std::string& line : StrdLines(name)) {
        if (line.size() > 2 && line[0] == 'B' && line[1] >= '0' && line[1] <= '9')
            set.certified.push_back(LineNumbers(line.substr(2)).at(0));
        if (data && !LineNumbers(line).empty()) set.rows.push_back(LineNumbers(line));
        // The second "Data:" line heads the columns.
        if (line.rfind("Data:", 0) == 0 && line.find(" y ") != std::string::npos) data = true;
    }
    return set;
}

// Correct significant digits; an exact result counts as 16.
inline double Digits(double computed, double certified) {
    double error = std::fabs(computed - certified);
    return error == 0 ? 16 : -std::log10(error / std::fabs(certified));
}

} // namespace vl::test
