#pragma once
// The dense matrix that the least-squares and regression routines exchange: row-major
// doubles addressed from 1, in zero-filled blocks of whole 8,192-byte units so that a
// later shape that needs no more elements reuses the block.

#include "platform/core/alloc.h"

#include <cstdint>
#include <memory>

namespace vl {

struct MatrixBlockDeleter {
    void operator()(double* block) const { FreeBlock(block); }
};

struct Matrix {
    std::unique_ptr<double[], MatrixBlockDeleter> data;
    uint32_t cols = 0; // also the distance between two rows
    uint32_t rows = 0;
    uint8_t flag = 0;
};

constexpr std::size_t kMatrixBlockUnit = 8192;

// Bytes of the block that holds this many elements.
std::size_t MatrixBlockBytes(std::size_t elements);

void FreeMatrix(Matrix& m);
void ZeroMatrix(Matrix& m);

// Element (row, col), both from 1; no bounds check.
inline double* MatrixAt(Matrix& m, uint32_t row, uint32_t col) {
    return m.data.get() + std::size_t(row - 1) * m.cols + (col - 1);
}
inline double MatrixAt(const Matrix& m, uint32_t row, uint32_t col) {
    return m.data[std::size_t(row - 1) * m.cols + (col - 1)];
}

// Keeps the block, values untouched, when the new shape needs no more elements and the
// flag is the same; otherwise allocates a new zeroed block. False when that fails.
bool MatrixResize(Matrix& m, uint32_t rows, uint32_t cols, uint8_t flag);

} // namespace vl
