#pragma once
// a × b / c in 64 bits, rounded half away from zero, as the platform's MulDiv: font heights,
// zoomed sizes and dialog units all scale through it. -1 when c is 0 or the result does not
// fit 32 bits.

#include <cstdint>

namespace vl {

inline int32_t MulDiv(int32_t a, int32_t b, int32_t c) {
    if (c == 0) return -1;
    const int64_t product = int64_t(a) * b;
    const int64_t p = product < 0 ? -product : product;
    const int64_t d = c < 0 ? -int64_t(c) : int64_t(c);
    const int64_t q = (p + d / 2) / d;
    const int64_t result = (product < 0) != (c < 0) ? -q : q;
    return result < INT32_MIN || result > INT32_MAX ? -1 : int32_t(result);
}

} // namespace vl
