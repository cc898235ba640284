#include "functions/numeric/matrix.h"

#include <cstdint>
#include <cstring>

namespace vl {

std::size_t MatrixBlockBytes(std::size_t elements) {
    std::size_t bytes = elements * sizeof(double);
    return (bytes + kMatrixBlockUnit - 1) / kMatrixBlockUnit * kMatrixBlockUnit;
}

void FreeMatrix(Matrix& m) {
    if (!m.data) return;
    m.cols = m.rows = 0;
    m.flag = 0;
    m.data.reset();
}

void ZeroMatrix(Matrix& m) {
    if (m.data) std::memset(m.data.get(), 0, std::size_t(m.rows) * m.cols * sizeof(double));
}

bool MatrixResize(Matrix& m, uint32_t rows, uint32_t cols, uint8_t flag) {
    std::size_t elements = std::size_t(rows) * cols;
    if (m.data && elements <= std::size_t(m.rows) * m.cols && flag == m.flag) {
        m.rows = rows;
        m.cols = cols;
        return true;
    }
    FreeMatrix(m);
    if (cols != 0 && rows > SIZE_MAX / sizeof(double) / cols) return false;
    std::size_t bytes = MatrixBlockBytes(elements);
    if (bytes == 0) {
        m.rows = rows;
        m.cols = cols;
        return true;
    }
    auto* block = static_cast<double*>(AllocBlock(bytes));
    if (!block) return false;
    std::memset(block, 0, bytes);
    m.data.reset(block);
    m.rows = rows;
    m.cols = cols;
    return true;
}

} // namespace vl
