#pragma once
// Matrices for the back-end tests, written row by row.

#include "functions/numeric/matrix.h"

#include <gtest/gtest.h>
#include <initializer_list>
#include <vector>

namespace vl::test {

inline Matrix MatrixOf(std::initializer_list<std::initializer_list<double>> rows,
                       uint32_t spareRows = 0, uint32_t spareCols = 0) {
    Matrix m;
    uint32_t r = uint32_t(rows.size()), c = uint32_t(rows.begin()->size());
    EXPECT_TRUE(MatrixResize(m, r + spareRows, c + spareCols, 0));
    int32_t i = 1;
    for (const auto& row : rows) {
        int32_t j = 1;
        for (double v : row) MatrixElement(m, i, j++) = v;
        ++i;
    }
    return m;
}

// A column vector with room for `size` elements (at least the values given).
inline Matrix VectorOf(std::initializer_list<double> values, uint32_t size = 0) {
    Matrix m;
    EXPECT_TRUE(MatrixResize(m, std::max(size, uint32_t(values.size())), 1, 0));
    int32_t i = 1;
    for (double v : values) VectorAt(m, i++) = v;
    return m;
}

inline std::vector<double> Elements(const Matrix& m, int32_t count) {
    std::vector<double> out;
    for (int32_t i = 1; i <= count; ++i) out.push_back(VectorAt(m, i));
    return out;
}

} // namespace vl::test
